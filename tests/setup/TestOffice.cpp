#include "TestOffice.h"

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <cppuhelper/bootstrap.hxx>

#include <QDir>
#include <QUrl>

#include <chrono>
#include <thread>
#include <unistd.h>

using rtl::OUString;

namespace {

constexpr int kStartLimitMs = 60000;

OUString Ou(const QString& s)
{
    const QByteArray u = s.toUtf8();
    return OUString(u.constData(), u.size(), RTL_TEXTENCODING_UTF8);
}

QString Qs(const OUString& s)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(s.getStr()), s.getLength());
}

css::uno::Reference<css::uno::XComponentContext> LocalContext()
{
    static css::uno::Reference<css::uno::XComponentContext> context = [] {
        ::setenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:" ORVIK_OFFICE_PROGRAM_DIR "/fundamentalrc", 0);
        return cppu::defaultBootstrap_InitialComponentContext();
    }();
    return context;
}

} // namespace

CTestOffice::CTestOffice(const QString& profileFolder, const QString& sharedFolder)
    : m_strProfile(profileFolder)
    , m_strShared(sharedFolder)
    , m_strPipe(QStringLiteral("orvik_addin_test_%1_%2").arg(::getpid()).arg(reinterpret_cast<quintptr>(this)))
{
}

CTestOffice::~CTestOffice()
{
    Stop();
}

QString CTestOffice::FileUrl(const QString& path)
{
    return QString::fromUtf8(QUrl::fromLocalFile(path).toEncoded());
}

bool CTestOffice::Start(QString* error)
{
    const QString scratch = m_strProfile + QStringLiteral("-scratch");
    QDir().mkpath(scratch);
    m_process.SetEndWithParent(true);
    QStringList env{QStringLiteral("TMPDIR=") + scratch};
    if (m_bWindowed)
        env.append(QStringLiteral("SAL_USE_VCLPLUGIN=svp"));
    m_process.SetExtraEnvironment(env);
    const QString shared = FileUrl(m_strShared);
    QStringList args{
        QStringLiteral("-env:UserInstallation=") + FileUrl(m_strProfile),
        QStringLiteral("-env:UNO_SHARED_PACKAGES=") + shared,
        QStringLiteral("-env:UNO_SHARED_PACKAGES_CACHE=") + shared + QStringLiteral("/cache"),
        QStringLiteral("--invisible"), QStringLiteral("--norestore"),
        QStringLiteral("--nologo"), QStringLiteral("--nodefault"), QStringLiteral("--nolockcheck"),
        QStringLiteral("--accept=pipe,name=%1;urp;").arg(m_strPipe)};
    if (!m_bWindowed)
        args.append(QStringLiteral("--headless"));
    if (!m_process.Start(QStringLiteral(ORVIK_OFFICE_PROGRAM_DIR "/soffice"), args, error))
        return false;
    if (Connect(error))
        return true;
    Stop();
    return false;
}

bool CTestOffice::Connect(QString* error)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartLimitMs);
    auto resolver = css::bridge::UnoUrlResolver::create(LocalContext());
    const OUString url = Ou(QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(m_strPipe));
    while (std::chrono::steady_clock::now() < deadline) {
        try {
            m_xContext.set(resolver->resolve(url), css::uno::UNO_QUERY_THROW);
            m_xDesktop = css::frame::Desktop::create(m_xContext);
            return true;
        } catch (const css::connection::NoConnectException&) {
        } catch (const css::uno::Exception& e) {
            *error = QStringLiteral("the office did not answer: ") + Qs(e.Message);
            return false;
        }
        if (!m_process.Running()) {
            *error = QStringLiteral("the office ended at its start (exit code %1)").arg(m_process.ExitCode());
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    *error = QStringLiteral("the office did not answer within %1 s").arg(kStartLimitMs / 1000);
    return false;
}

void CTestOffice::Stop()
{
    if (m_xDesktop.is() && m_process.Running()) {
        QString ignored;
        Bounded(10000, [this] { m_xDesktop->terminate(); }, &ignored);
        m_process.WaitForExit(10000);
    }
    m_xDesktop.clear();
    m_xContext.clear();
    if (m_process.Running())
        m_process.Kill();
}

bool CTestOffice::Bounded(int limitMs, const std::function<void()>& call, QString* error)
{
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool cutOff = false;
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        if (!done.wait_for(lock, std::chrono::milliseconds(limitMs), [&] { return finished; })) {
            cutOff = true;
            m_process.Terminate();
        }
    });
    bool ok = true;
    try {
        call();
    } catch (const css::uno::Exception& e) {
        ok = false;
        *error = Qs(e.Message);
    }
    {
        std::lock_guard lock(mutex);
        finished = true;
    }
    done.notify_all();
    watchdog.join();
    if (cutOff) {
        *error = QStringLiteral("the office did not answer within %1 s and was killed").arg(limitMs / 1000);
        return false;
    }
    return ok;
}
