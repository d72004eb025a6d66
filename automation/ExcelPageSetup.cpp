#include "automation/ExcelPageSetup.h"

#include "automation/DispatchArgs.h"
#include "automation/ExcelMembers.h"
#include "automation/ExcelPages.h"

ExcelPageSetup::ExcelPageSetup(std::shared_ptr<ExcelWorkbook> workbook, int32_t index,
                               css::uno::Reference<css::sheet::XSpreadsheet> sheet)
    : m_pWorkbook(std::move(workbook)), m_nIndex(index), m_xSheet(std::move(sheet))
{
}

Variant ExcelPageSetup::Invoke(int32_t dispid, InvokeKind kind, const std::vector<Variant>& args)
{
    if (dispid != XlMember::Pages)
        DispatchArgs::NoSuchMember(dispid, kind);
    DispatchArgs::ExpectGet("Pages", kind, args);
    return Variant::Dispatch(std::make_shared<ExcelPages>(m_pWorkbook, m_nIndex, m_xSheet));
}
