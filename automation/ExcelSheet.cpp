#include "automation/ExcelSheet.h"

#include "automation/DispatchArgs.h"
#include "automation/ExcelMembers.h"
#include "automation/ExcelPageSetup.h"
#include "automation/ExcelWorkbook.h"
#include "automation/OfficeProcess.h"
#include "automation/SheetPrinter.h"
#include "automation/UnoRuntime.h"

#include <com/sun/star/container/XNamed.hpp>

namespace {
// Sheet visibility as the automation model gives it (xlSheetVisible, xlSheetHidden).
constexpr int32_t kSheetVisible = -1;
constexpr int32_t kSheetHidden = 0;
// PrintOut's arguments, in call order.
enum PrintOutArg : size_t { From, To, Copies, Preview, ActivePrinter, PrintToFile, Collate, PrToFileName, PrintOutArgCount };
} // namespace

ExcelSheet::ExcelSheet(std::shared_ptr<ExcelWorkbook> workbook, int32_t index,
                       css::uno::Reference<css::sheet::XSpreadsheet> sheet)
    : m_pWorkbook(std::move(workbook)), m_nIndex(index), m_xSheet(std::move(sheet))
{
}

Variant ExcelSheet::Invoke(int32_t dispid, InvokeKind kind, const std::vector<Variant>& args)
{
    switch (dispid) {
    case XlMember::Activate: {
        DispatchArgs::ExpectMethod("Activate", kind);
        DispatchArgs("Activate", args).ExpectCount(0);
        SheetPrinter(*m_pWorkbook, m_nIndex, m_xSheet).Activate();
        return {};
    }
    case XlMember::Visible:
        DispatchArgs::ExpectGet("Visible", kind, args);
        return Variant::Long(SheetPrinter(*m_pWorkbook, m_nIndex, m_xSheet).IsVisible() ? kSheetVisible : kSheetHidden);
    case XlMember::PrintOut:
        DispatchArgs::ExpectMethod("PrintOut", kind);
        return PrintOut(args);
    case XlMember::Name:
        DispatchArgs::ExpectGet("Name", kind, args);
        return Variant::String(m_pWorkbook->Office().Call(QStringLiteral("Name"), [&] {
            return UnoRuntime::ToQ(css::uno::Reference<css::container::XNamed>(m_xSheet, css::uno::UNO_QUERY_THROW)->getName());
        }));
    case XlMember::PageSetup:
        DispatchArgs::ExpectGet("PageSetup", kind, args);
        return Variant::Dispatch(std::make_shared<ExcelPageSetup>(m_pWorkbook, m_nIndex, m_xSheet));
    default:
        DispatchArgs::NoSuchMember(dispid, kind);
    }
}

Variant ExcelSheet::PrintOut(const std::vector<Variant>& args)
{
    DispatchArgs in("PrintOut", args);
    in.ExpectCount(PrintOutArgCount);
    SheetPrinter::Job job;
    job.fromPage = in.OptionalInt(From);
    job.toPage = in.OptionalInt(To);
    job.copies = in.OptionalInt(Copies).value_or(1);
    in.OptionalFlag(Preview); // there is nobody to show a preview to
    job.printer = in.OptionalString(ActivePrinter);
    in.OptionalFlag(PrintToFile); // the file name alone decides
    job.collate = in.OptionalFlag(Collate);
    const std::optional<QString> file = in.OptionalString(PrToFileName);
    if (!file || file->isEmpty())
        throw DispatchException(DISP_E_PARAMNOTFOUND,
                                QStringLiteral("PrintOut needs the name of the print file (PrToFileName)."));
    if (job.copies < 1 || job.copies > 999 || job.fromPage.value_or(1) < 1 || job.toPage.value_or(1) < 1)
        throw DispatchException(DISP_E_TYPEMISMATCH, QStringLiteral("PrintOut was given a page or copy count out of range."));
    job.file = *file;
    SheetPrinter printer(*m_pWorkbook, m_nIndex, m_xSheet);
    return Variant::Bool(printer.Print(job));
}
