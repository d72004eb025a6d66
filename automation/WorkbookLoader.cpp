#include "automation/WorkbookLoader.h"

#include "automation/ExcelLoadInteraction.h"
#include "automation/ExcelMembers.h"
#include "automation/OfficeProcess.h"

#include <QFileInfo>
#include <QUrl>

#include <rtl/ref.hxx>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/io/IOException.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/util/XCloseable.hpp>

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;

namespace {

css::uno::Sequence<css::beans::PropertyValue> LoadProperties(const WorkbookLoader::Request& request,
                                                             const Reference<css::task::XInteractionHandler>& handler)
{
    std::vector<css::beans::PropertyValue> props{
        UnoRuntime::Property("InteractionHandler", Any(handler)),
        UnoRuntime::Property("Hidden", Any(true)),
        UnoRuntime::Property("ReadOnly", Any(request.readOnly)),
        UnoRuntime::Property("MacroExecutionMode", Any(css::document::MacroExecMode::NEVER_EXECUTE)),
        UnoRuntime::Property("UpdateDocMode", Any(css::document::UpdateDocMode::NO_UPDATE)),
    };
    if (!request.password.isEmpty())
        props.push_back(UnoRuntime::Property("Password", Any(UnoRuntime::ToOU(request.password))));
    return css::uno::Sequence<css::beans::PropertyValue>(props.data(), static_cast<sal_Int32>(props.size()));
}

QString DamagedMessage(const QString& path)
{
    return QStringLiteral("The file \"%1\" is damaged or is not a workbook.").arg(QFileInfo(path).fileName());
}

[[noreturn]] void ThrowRefused(const QString& path, const ExcelLoadInteraction& interaction)
{
    if (interaction.PasswordRequested())
        throw DispatchException(XlError::PasswordRequired,
                                QStringLiteral("The workbook \"%1\" is encrypted, and the password given does not open it.")
                                    .arg(QFileInfo(path).fileName()));
    throw DispatchException(DISP_E_EXCEPTION, DamagedMessage(path));
}

} // namespace

Reference<css::frame::XModel> WorkbookLoader::Load(OfficeProcess& office, const Request& request)
{
    const QString path = CheckedPath(request.path);
    const OUString url = UnoRuntime::ToOU(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
    // The office says itself when the workbook needs a password.
    rtl::Reference<ExcelLoadInteraction> interaction(new ExcelLoadInteraction);
    const auto props = LoadProperties(request, interaction.get());
    Reference<css::frame::XModel> model;
    try {
        model = office.Call(QStringLiteral("Open"), [&] {
            Reference<css::frame::XComponentLoader> loader(office.Desktop(), css::uno::UNO_QUERY_THROW);
            return Reference<css::frame::XModel>(
                loader->loadComponentFromURL(url, "_blank", 0, props), UNO_QUERY);
        });
    } catch (const DispatchException& e) {
        // A hung or ended office keeps its own message; any other refusal is the file's.
        if (e.Code() == E_FAIL)
            throw;
        ThrowRefused(path, *interaction);
    }
    if (!model.is())
        ThrowRefused(path, *interaction);
    const bool spreadsheet = office.Call(QStringLiteral("Open"), [&] {
        return Reference<css::sheet::XSpreadsheetDocument>(model, UNO_QUERY).is() && !LoadedAsPlainText(model);
    });
    if (!spreadsheet)
        Refuse(office, model, DamagedMessage(path));
    return model;
}

QString WorkbookLoader::CheckedPath(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        throw DispatchException(DISP_E_EXCEPTION,
                                QStringLiteral("The workbook \"%1\" could not be found.").arg(path));
    if (info.size() == 0)
        throw DispatchException(DISP_E_EXCEPTION, DamagedMessage(path));
    return info.absoluteFilePath();
}

bool WorkbookLoader::LoadedAsPlainText(const Reference<css::frame::XModel>& model)
{
    // The office falls back to its plain-text import for a file it cannot
    // recognise, such as a binary workbook cut short: that is no workbook.
    for (const css::beans::PropertyValue& arg : model->getArgs()) {
        OUString filter;
        if (arg.Name == "FilterName" && (arg.Value >>= filter))
            return filter.startsWith("Text - txt - csv");
    }
    return false;
}

void WorkbookLoader::Refuse(OfficeProcess& office, const Reference<css::frame::XModel>& model, const QString& message)
{
    try {
        office.Call(QStringLiteral("Close"), [&] {
            Reference<css::util::XCloseable> closeable(model, UNO_QUERY);
            if (closeable.is())
                closeable->close(true);
        });
    } catch (const DispatchException&) {
        // The refusal below is what counts.
    }
    throw DispatchException(DISP_E_EXCEPTION, message);
}
