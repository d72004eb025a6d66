#pragma once

#include "automation/Dispatch.h"

#include <memory>

class ExcelWorkbook;

// The sheets of a workbook in tab order: Count, and Item by 1-based index.
class ExcelSheets : public IDispatchObject {
public:
    explicit ExcelSheets(std::shared_ptr<ExcelWorkbook> workbook);
    Variant Invoke(int32_t dispid, InvokeKind kind, const std::vector<Variant>& args) override;

private:
    int32_t Count() const;
    Variant Item(const std::vector<Variant>& args) const;

    std::shared_ptr<ExcelWorkbook> m_pWorkbook;
};
