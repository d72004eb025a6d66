#pragma once

#include "automation/Dispatch.h"

#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/uno/Reference.hxx>

#include <memory>

class ExcelWorkbook;

// The page setup of one sheet: Pages, the pages it prints on; FitToPagesWide
// and FitToPagesTall (puts) scale its print to that many pages across or down.
class ExcelPageSetup : public IDispatchObject {
public:
    ExcelPageSetup(std::shared_ptr<ExcelWorkbook> workbook, int32_t index,
                   css::uno::Reference<css::sheet::XSpreadsheet> sheet);
    Variant Invoke(int32_t dispid, InvokeKind kind, const std::vector<Variant>& args) override;

private:
    void FitTo(const char* member, const char* property, InvokeKind kind, const std::vector<Variant>& args);

    std::shared_ptr<ExcelWorkbook> m_pWorkbook;
    int32_t m_nIndex; // 0-based
    css::uno::Reference<css::sheet::XSpreadsheet> m_xSheet;
};
