#pragma once

#include "automation/Dispatch.h"

#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/uno/Reference.hxx>

#include <memory>

class ExcelWorkbook;

// One sheet: Name (get: VT_BSTR), Visible (get: VT_I4, -1 shown, 0 hidden), Activate, PageSetup
// (its Pages.Count: the pages PrintOut prints), and PrintOut into a PDF print file. PrintOut returns VT_BOOL true when it wrote the file,
// and VT_BOOL false, writing no file (and removing an old file of that name),
// when the sheet is empty (the office would print a blank page for it) or hidden.
class ExcelSheet : public IDispatchObject {
public:
    ExcelSheet(std::shared_ptr<ExcelWorkbook> workbook, int32_t index,
               css::uno::Reference<css::sheet::XSpreadsheet> sheet);
    Variant Invoke(int32_t dispid, InvokeKind kind, const std::vector<Variant>& args) override;

private:
    Variant PrintOut(const std::vector<Variant>& args);

    std::shared_ptr<ExcelWorkbook> m_pWorkbook;
    int32_t m_nIndex; // 0-based
    css::uno::Reference<css::sheet::XSpreadsheet> m_xSheet;
};
