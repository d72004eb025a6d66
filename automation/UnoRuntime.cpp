#include "automation/UnoRuntime.h"

#include "automation/Dispatch.h"

#include <cppuhelper/bootstrap.hxx>
#include <com/sun/star/uno/Exception.hpp>

#include <csignal>
#include <cstdlib>
#include <mutex>

namespace {

std::once_flag g_bootstrapOnce;
// Deliberately never released: UNO must not be torn down by static destructors
// while a bridge thread may still be winding down.
css::uno::Reference<css::uno::XComponentContext>* g_pLocalContext = nullptr;
QString g_strBootstrapError;

void Bootstrap()
{
    // The runtime finds its type libraries and services through this file; without
    // it bootstrapping crashes.
    setenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:" ORVIK_OFFICE_PROGRAM_DIR "/fundamentalrc", 0);
    // A write to the pipe of an office that has just died must fail, not end us.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        g_pLocalContext = new css::uno::Reference<css::uno::XComponentContext>(
            cppu::defaultBootstrap_InitialComponentContext());
    } catch (const css::uno::Exception& e) {
        g_strBootstrapError = UnoRuntime::ToQ(e.Message);
    }
    if (g_pLocalContext && !g_pLocalContext->is()) {
        delete g_pLocalContext;
        g_pLocalContext = nullptr;
    }
}

} // namespace

css::uno::Reference<css::uno::XComponentContext> UnoRuntime::LocalContext()
{
    std::call_once(g_bootstrapOnce, Bootstrap);
    if (!g_pLocalContext)
        throw DispatchException(E_FAIL, QStringLiteral("The spreadsheet application's runtime could not be "
                                                       "loaded. %1").arg(g_strBootstrapError).trimmed());
    return *g_pLocalContext;
}

OUString UnoRuntime::ToOU(const QString& text)
{
    return OUString(reinterpret_cast<const sal_Unicode*>(text.utf16()), static_cast<sal_Int32>(text.size()));
}

QString UnoRuntime::ToQ(const OUString& text)
{
    return QString(reinterpret_cast<const QChar*>(text.getStr()), text.getLength());
}
