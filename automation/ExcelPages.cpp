#include "automation/ExcelPages.h"

#include "automation/DispatchArgs.h"
#include "automation/ExcelMembers.h"
#include "automation/SheetPrinter.h"

ExcelPages::ExcelPages(std::shared_ptr<ExcelWorkbook> workbook, int32_t index,
                       css::uno::Reference<css::sheet::XSpreadsheet> sheet)
    : m_pWorkbook(std::move(workbook)), m_nIndex(index), m_xSheet(std::move(sheet))
{
}

Variant ExcelPages::Invoke(int32_t dispid, InvokeKind kind, const std::vector<Variant>& args)
{
    if (dispid != XlMember::Count)
        DispatchArgs::NoSuchMember(dispid, kind);
    DispatchArgs::ExpectGet("Count", kind, args);
    return Variant::Long(SheetPrinter(*m_pWorkbook, m_nIndex, m_xSheet).PageCount());
}
