#include "automation/ExcelPageSetup.h"

#include "automation/DispatchArgs.h"
#include "automation/ExcelMembers.h"
#include "automation/ExcelPages.h"
#include "automation/ExcelWorkbook.h"
#include "automation/OfficeProcess.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

ExcelPageSetup::ExcelPageSetup(std::shared_ptr<ExcelWorkbook> workbook, int32_t index,
                               css::uno::Reference<css::sheet::XSpreadsheet> sheet)
    : m_pWorkbook(std::move(workbook)), m_nIndex(index), m_xSheet(std::move(sheet))
{
}

Variant ExcelPageSetup::Invoke(int32_t dispid, InvokeKind kind, const std::vector<Variant>& args)
{
    switch (dispid) {
    case XlMember::Pages:
        DispatchArgs::ExpectGet("Pages", kind, args);
        return Variant::Dispatch(std::make_shared<ExcelPages>(m_pWorkbook, m_nIndex, m_xSheet));
    case XlMember::FitToPagesWide:
        FitTo("FitToPagesWide", "ScaleToPagesX", kind, args);
        return {};
    case XlMember::FitToPagesTall:
        FitTo("FitToPagesTall", "ScaleToPagesY", kind, args);
        return {};
    default:
        DispatchArgs::NoSuchMember(dispid, kind);
    }
}

void ExcelPageSetup::FitTo(const char* member, const char* property, InvokeKind kind,
                           const std::vector<Variant>& args)
{
    if (kind != DISPATCH_PROPERTYPUT)
        DispatchArgs::NoSuchMember(XlMember::FitToPagesWide, kind);
    DispatchArgs put(member, args);
    put.ExpectCount(1);
    // False (or 0) leaves that direction free: as many pages as the content needs.
    const int32_t pages = args.front().vt == VT_BOOL ? 0 : put.Int(0);
    if (pages < 0 || pages > 0x7FFF)
        throw DispatchException(DISP_E_TYPEMISMATCH, QStringLiteral("%1 takes 0 to 32767 pages.").arg(QLatin1String(member)));
    // The scale belongs to the sheet's page style; the document is closed
    // without saving, so the workbook's file keeps its own.
    m_pWorkbook->Office().Call(QStringLiteral("PageSetup"), [&] {
        OUString styleName;
        Reference<css::beans::XPropertySet>(m_xSheet, UNO_QUERY_THROW)->getPropertyValue("PageStyle") >>= styleName;
        Reference<css::style::XStyleFamiliesSupplier> families(m_pWorkbook->Model(), UNO_QUERY_THROW);
        Reference<css::container::XNameAccess> pageStyles(families->getStyleFamilies()->getByName("PageStyles"),
                                                          UNO_QUERY_THROW);
        Reference<css::beans::XPropertySet> style(pageStyles->getByName(styleName), UNO_QUERY_THROW);
        style->setPropertyValue(OUString::createFromAscii(property), Any(sal_Int16(pages)));
    });
}
