#pragma once

#include "automation/Dispatch.h"

#include <memory>

class ExcelAppContext;

// The application object behind "Excel.Application": Visible, Workbooks, Quit.
// The office always runs hidden; Visible is accepted and reads back false.
class ExcelApplication : public IDispatchObject {
public:
    explicit ExcelApplication(std::shared_ptr<ExcelAppContext> context);
    Variant Invoke(int32_t dispid, InvokeKind kind, const std::vector<Variant>& args) override;

private:
    std::shared_ptr<ExcelAppContext> m_pContext;
};
