#include "automation/ExcelApplication.h"

#include "automation/DispatchArgs.h"
#include "automation/ExcelAppContext.h"
#include "automation/ExcelMembers.h"
#include "automation/ExcelWorkbooks.h"

ExcelApplication::ExcelApplication(std::shared_ptr<ExcelAppContext> context) : m_pContext(std::move(context))
{
}

Variant ExcelApplication::Invoke(int32_t dispid, InvokeKind kind, const std::vector<Variant>& args)
{
    switch (dispid) {
    case XlMember::Visible:
        if (kind == DISPATCH_PROPERTYPUT) {
            DispatchArgs put("Visible", args);
            put.ExpectCount(1);
            put.Flag(0); // checked, but the office stays hidden
            return {};
        }
        DispatchArgs::ExpectGet("Visible", kind, args);
        return Variant::Bool(false);
    case XlMember::Workbooks:
        DispatchArgs::ExpectGet("Workbooks", kind, args);
        m_pContext->Office(); // raises after Quit
        return Variant::Dispatch(std::make_shared<ExcelWorkbooks>(m_pContext));
    case XlMember::Quit:
        DispatchArgs::ExpectMethod("Quit", kind);
        DispatchArgs("Quit", args).ExpectCount(0);
        m_pContext->Quit();
        return {};
    default:
        DispatchArgs::NoSuchMember(dispid, kind);
    }
}
