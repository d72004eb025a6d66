#pragma once

#include "automation/Dispatch.h"

#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/uno/Reference.hxx>

#include <memory>

class ExcelWorkbook;

// The printed pages of one sheet: Count (VT_I4), as many pages as PrintOut
// prints for it; 0 for a sheet with nothing to print or a hidden one.
class ExcelPages : public IDispatchObject {
public:
    ExcelPages(std::shared_ptr<ExcelWorkbook> workbook, int32_t index,
               css::uno::Reference<css::sheet::XSpreadsheet> sheet);
    Variant Invoke(int32_t dispid, InvokeKind kind, const std::vector<Variant>& args) override;

private:
    std::shared_ptr<ExcelWorkbook> m_pWorkbook;
    int32_t m_nIndex; // 0-based
    css::uno::Reference<css::sheet::XSpreadsheet> m_xSheet;
};
