#include "automation/ExcelWorkbooks.h"

#include "automation/DispatchArgs.h"
#include "automation/ExcelAppContext.h"
#include "automation/ExcelMembers.h"
#include "automation/ExcelWorkbook.h"
#include "automation/OfficeProcess.h"
#include "automation/WorkbookLoader.h"

namespace {
// Open's arguments, in call order.
enum OpenArg : size_t {
    Filename, UpdateLinks, ReadOnly, Format, Password, WriteResPassword, IgnoreReadOnlyRecommended,
    Origin, Delimiter, Editable, Notify, Converter, AddToMru, OpenArgCount
};
} // namespace

ExcelWorkbooks::ExcelWorkbooks(std::shared_ptr<ExcelAppContext> context) : m_pContext(std::move(context))
{
}

Variant ExcelWorkbooks::Invoke(int32_t dispid, InvokeKind kind, const std::vector<Variant>& args)
{
    if (dispid != XlMember::Open)
        DispatchArgs::NoSuchMember(dispid, kind);
    DispatchArgs::ExpectMethod("Open", kind);
    return Open(args);
}

Variant ExcelWorkbooks::Open(const std::vector<Variant>& args)
{
    DispatchArgs in("Open", args);
    in.ExpectCount(OpenArgCount);
    WorkbookLoader::Request request;
    request.path = in.String(Filename);
    request.readOnly = in.OptionalFlag(ReadOnly).value_or(false);
    request.password = in.OptionalString(Password).value_or(QString());
    // The rest are checked for their types; none changes how a workbook is printed.
    in.OptionalInt(UpdateLinks);
    in.OptionalInt(Format);
    in.OptionalString(WriteResPassword);
    in.OptionalFlag(IgnoreReadOnlyRecommended);
    in.OptionalInt(Origin);
    in.OptionalString(Delimiter);
    in.OptionalFlag(Editable);
    in.OptionalFlag(Notify);
    in.OptionalInt(Converter);
    in.OptionalFlag(AddToMru);

    std::shared_ptr<OfficeProcess> office = m_pContext->Office();
    auto model = WorkbookLoader::Load(*office, request);
    auto workbook = std::make_shared<ExcelWorkbook>(m_pContext, office, model);
    m_pContext->Track(workbook);
    return Variant::Dispatch(workbook);
}
