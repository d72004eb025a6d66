#include "automation/ExcelSheets.h"

#include "automation/DispatchArgs.h"
#include "automation/ExcelMembers.h"
#include "automation/ExcelSheet.h"
#include "automation/ExcelWorkbook.h"
#include "automation/OfficeProcess.h"

#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

ExcelSheets::ExcelSheets(std::shared_ptr<ExcelWorkbook> workbook) : m_pWorkbook(std::move(workbook))
{
}

Variant ExcelSheets::Invoke(int32_t dispid, InvokeKind kind, const std::vector<Variant>& args)
{
    switch (dispid) {
    case XlMember::Count:
        DispatchArgs::ExpectGet("Count", kind, args);
        return Variant::Long(Count());
    case XlMember::Item:
        if (kind != DISPATCH_PROPERTYGET && kind != DISPATCH_METHOD)
            DispatchArgs::NoSuchMember(dispid, kind);
        return Item(args);
    default:
        DispatchArgs::NoSuchMember(dispid, kind);
    }
}

void ExcelSheets::FetchSheets() const
{
    if (m_xSheets.is())
        return;
    Reference<css::sheet::XSpreadsheetDocument> document(m_pWorkbook->Model(), UNO_QUERY_THROW);
    m_xSheets.set(document->getSheets(), UNO_QUERY_THROW);
    m_nCount = m_xSheets->getCount();
}

int32_t ExcelSheets::Count() const
{
    return m_pWorkbook->Office().Call(QStringLiteral("Count"), [&] {
        FetchSheets();
        return m_xSheets->getCount();
    });
}

Variant ExcelSheets::Item(const std::vector<Variant>& args) const
{
    DispatchArgs in("Item", args);
    in.ExpectCount(1);
    const int32_t index = in.Int(0);
    auto sheet = m_pWorkbook->Office().Call(QStringLiteral("Item"), [&] {
        FetchSheets();
        if (index < 1 || index > m_nCount)
            return Reference<css::sheet::XSpreadsheet>();
        return Reference<css::sheet::XSpreadsheet>(m_xSheets->getByIndex(index - 1), UNO_QUERY_THROW);
    });
    if (!sheet.is())
        throw DispatchException(DISP_E_EXCEPTION, QStringLiteral("The workbook has no sheet %1.").arg(index));
    return Variant::Dispatch(std::make_shared<ExcelSheet>(m_pWorkbook, index - 1, sheet));
}
