#pragma once

#include "automation/Dispatch.h"

#include <memory>

class ExcelAppContext;

// The workbooks collection: Open. The workbook file is loaded hidden and
// without running macros or updating links; Filename, ReadOnly and Password
// are honoured. A refused open (wrong password, damaged file, not a workbook)
// raises DispatchException.
class ExcelWorkbooks : public IDispatchObject {
public:
    explicit ExcelWorkbooks(std::shared_ptr<ExcelAppContext> context);
    Variant Invoke(int32_t dispid, InvokeKind kind, const std::vector<Variant>& args) override;

private:
    Variant Open(const std::vector<Variant>& args);

    std::shared_ptr<ExcelAppContext> m_pContext;
};
