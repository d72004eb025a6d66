#include "automation/OfficeProcess.h"

#include "automation/OfficeProfileTemplate.h"
#include "platform/StaleRunFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QUrl>

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/DisposedException.hpp>

#include <atomic>
#include <chrono>
#include <langinfo.h>
#include <random>
#include <thread>
#include <unistd.h>

namespace {

const QString kOfficeBinary = QStringLiteral(ORVIK_OFFICE_PROGRAM_DIR "/soffice.bin");
const QString kOfficeLauncher = QStringLiteral(ORVIK_OFFICE_PROGRAM_DIR "/soffice");
// The office's exit code when it wants to be started again (a new profile).
constexpr int kRestartExitCode = 81;

QString NewPipeName()
{
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    return QStringLiteral("orvik-office-%1-%2-%3")
        .arg(getpid())
        .arg(++counter)
        .arg(random(), 8, 16, QLatin1Char('0'));
}

} // namespace

std::shared_ptr<OfficeProcess> OfficeProcess::Launch(const OfficeOptions& options)
{
    QString error;
    OfficeProfileTemplate::Ensure(options, &error); // without a template, a fresh profile serves
    if (Stopped(options))
        throw DispatchException(E_FAIL, StoppedMessage());
    bool fromTemplate = false;
    std::unique_ptr<QTemporaryDir> profile = OfficeProfileTemplate::NewProfileFolder(&fromTemplate);
    if (!profile)
        throw DispatchException(E_FAIL, QStringLiteral("No private folder could be made for the spreadsheet application."));
    auto office = std::make_shared<OfficeProcess>(options, profile->path(), !fromTemplate);
    office->AdoptProfileFolder(std::move(profile));
    if (office->Start(&error))
        return office;
    if (fromTemplate) {
        // A damaged template must not stop the conversion: start on an empty profile.
        profile = std::make_unique<QTemporaryDir>(OfficeProfileTemplate::NewFolderPattern());
        office = std::make_shared<OfficeProcess>(options, profile->path(), true);
        office->AdoptProfileFolder(std::move(profile));
        if (office->Start(&error))
            return office;
    }
    throw DispatchException(E_FAIL, error);
}

OfficeProcess::OfficeProcess(const OfficeOptions& options, const QString& profileFolder, bool viaLauncher)
    : m_options(options),
      m_strProfileFolder(profileFolder),
      m_bViaLauncher(viaLauncher),
      m_strPipeName(NewPipeName()),
      m_watchdog([this] { m_process.Terminate(); })
{
}

OfficeProcess::~OfficeProcess()
{
    Kill();
    m_xDesktop.clear();
    m_xContext.clear();
}

bool OfficeProcess::Start(QString* error)
{
    const QStringList arguments{
        QStringLiteral("-env:UserInstallation=") + ProfileUrl(),
        QStringLiteral("--headless"),
        QStringLiteral("--invisible"),
        QStringLiteral("--norestore"),
        QStringLiteral("--nologo"),
        QStringLiteral("--nodefault"),
        QStringLiteral("--nolockcheck"),
        QStringLiteral("--accept=pipe,name=%1;urp;").arg(m_strPipeName),
    };
    m_process.SetEndWithParent(true); // never outlive the program, even when it is killed
    // The office's scratch files live in its private profile folder and go with it,
    // also when the office is killed on a stop or a hang.
    const QString scratch = m_strProfileFolder + QStringLiteral("/scratch");
    QDir().mkpath(scratch);
    m_process.SetExtraEnvironment(QStringList{QStringLiteral("TMPDIR=") + scratch} + Utf8FileNames());
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!m_process.Start(m_bViaLauncher ? kOfficeLauncher : kOfficeBinary, arguments, error))
            return false;
        AttachGate();
        if (Connect(error))
            return true;
        const bool restart = !m_process.Running() && m_process.ExitCode() == kRestartExitCode && !StopRequested();
        Kill();
        if (!restart)
            return false;
    }
    return false;
}

bool OfficeProcess::Connect(QString* error)
{
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + m_options.startTimeout;
    std::lock_guard lock(m_callMutex);
    // A start that hangs is ended like a hung call.
    m_watchdog.Arm(m_options.startTimeout);
    try {
        auto resolver = css::bridge::UnoUrlResolver::create(UnoRuntime::LocalContext());
        const OUString url = UnoRuntime::ToOU(
            QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(m_strPipeName));
        while (!m_xContext.is()) {
            // A stop ends the office through the gate; it is not waited for.
            if (StopRequested() || !m_process.Running() || steady_clock::now() >= deadline) {
                m_watchdog.Disarm();
                if (error)
                    *error = StopRequested()         ? StoppedMessage()
                             : m_process.Running() ? QStringLiteral("The spreadsheet application did not answer after its start.")
                                                   : QStringLiteral("The spreadsheet application ended during its start (exit code %1).")
                                                         .arg(m_process.ExitCode());
                return false;
            }
            try {
                m_xContext.set(resolver->resolve(url), css::uno::UNO_QUERY);
            } catch (const css::connection::NoConnectException&) {
                std::this_thread::sleep_for(milliseconds(50));
            }
        }
        m_xDesktop = css::frame::Desktop::create(m_xContext);
    } catch (const css::uno::Exception& e) {
        const bool fired = m_watchdog.Disarm();
        if (error)
            *error = fired ? QStringLiteral("The spreadsheet application did not answer after its start.")
                           : QStringLiteral("The spreadsheet application could not be reached: %1")
                                 .arg(UnoRuntime::ToQ(e.Message));
        return false;
    } catch (const DispatchException& e) {
        m_watchdog.Disarm();
        if (error)
            *error = e.Message();
        return false;
    }
    if (m_watchdog.Disarm()) {
        if (error)
            *error = QStringLiteral("The spreadsheet application did not answer after its start.");
        return false;
    }
    return true;
}

QStringList OfficeProcess::Utf8FileNames()
{
    // The office turns the file URLs it is given into file names with the
    // character set of its locale: under "C" (cron, services, env -i) every
    // name beyond ASCII would be refused. File names are bytes, taken as UTF-8
    // here as everywhere in this program, so a locale without UTF-8 gets UTF-8
    // for its characters only; numbers, dates and messages keep the user's locale.
    const QByteArray codeset = nl_langinfo(CODESET);
    if (codeset == "UTF-8")
        return {};
    QStringList entries{QStringLiteral("LC_CTYPE=C.UTF-8")};
    const QByteArray all = qgetenv("LC_ALL");
    if (!all.isEmpty())
        entries << QStringLiteral("LC_ALL=") << QStringLiteral("LANG=") + QString::fromLatin1(all);
    return entries;
}

bool OfficeProcess::Stopped(const OfficeOptions& options)
{
    return options.stopGate && options.stopGate->StopRequested();
}

bool OfficeProcess::StopRequested()
{
    std::lock_guard lock(m_gateMutex);
    return Stopped(m_options);
}

QString OfficeProcess::StoppedMessage()
{
    return QStringLiteral("The spreadsheet application was ended by a stop.");
}

bool OfficeProcess::Alive() const
{
    return !m_bHung && m_process.Running();
}

void OfficeProcess::SetStopGate(StopGate* gate)
{
    {
        std::lock_guard lock(m_gateMutex);
        m_options.stopGate = gate;
    }
    if (m_process.Running())
        AttachGate();
}

void OfficeProcess::AttachGate()
{
    std::lock_guard lock(m_gateMutex);
    m_pGateAttachment.reset();
    m_pGateAttachment = std::make_unique<StopGateAttachment>(m_options.stopGate, &m_process);
}

void OfficeProcess::SetCallTimeout(std::chrono::milliseconds bound)
{
    std::lock_guard lock(m_callMutex);
    m_options.callTimeout = bound;
}

void OfficeProcess::Kill()
{
    const bool started = m_process.Pid() > 0;
    m_process.Kill();
    if (started)
        RemovePipeFiles();
    std::lock_guard lock(m_gateMutex);
    m_pGateAttachment.reset();
}

bool OfficeProcess::Shutdown()
{
    if (!m_process.Running())
        return false;
    {
        std::lock_guard lock(m_callMutex);
        m_watchdog.Arm(m_options.callTimeout);
        try {
            if (m_xDesktop.is())
                m_xDesktop->terminate();
        } catch (const css::uno::Exception&) {
            // The connection goes down while the office ends: expected.
        }
        m_watchdog.Disarm();
    }
    const int waitMs = static_cast<int>(std::min<long long>(m_options.callTimeout.count(), 30000));
    const bool ended = m_process.WaitForExit(waitMs) && m_process.ExitCode() == 0;
    Kill();
    return ended;
}

void OfficeProcess::RemovePipeFiles() const
{
    // A killed office leaves the socket files of its two pipes behind: ours, and
    // the one it keeps for its single instance.
    for (const QString& name : {m_strPipeName, StaleRunFiles::SingleInstancePipeName(m_strProfileFolder)})
        for (const QString& socket : StaleRunFiles::OfficeSocketFiles(name))
            QFile::remove(socket);
}

QString OfficeProcess::ProfileUrl() const
{
    return QUrl::fromLocalFile(m_strProfileFolder).toString(QUrl::FullyEncoded);
}

QString OfficeProcess::HungMessage()
{
    return QStringLiteral("The spreadsheet application stopped answering and was ended.");
}

QString OfficeProcess::EndedMessage()
{
    return QStringLiteral("The spreadsheet application ended unexpectedly.");
}

void OfficeProcess::ThrowIfEnded() const
{
    if (m_bHung)
        throw DispatchException(E_FAIL, HungMessage());
    if (!m_process.Running())
        throw DispatchException(E_FAIL, EndedMessage());
}

void OfficeProcess::CheckNotHung()
{
    if (m_watchdog.Disarm()) {
        m_bHung = true;
        Kill();
        throw DispatchException(E_FAIL, HungMessage());
    }
}

void OfficeProcess::Fail(const QString& what, const css::uno::Exception& e, bool disposed)
{
    if (m_watchdog.Disarm() || m_bHung) {
        m_bHung = true;
        Kill(); // reaped before the caller goes on
        throw DispatchException(E_FAIL, HungMessage());
    }
    // A lost connection: the office died (crash, or ended through the stop gate).
    // Without its connection the office is of no more use: it is ended.
    const bool lost = disposed && UnoRuntime::ToQ(e.Message).contains(QStringLiteral("bridge"), Qt::CaseInsensitive);
    if (lost || !m_process.Running()) {
        Kill();
        throw DispatchException(E_FAIL, EndedMessage());
    }
    QString message = UnoRuntime::ToQ(e.Message).trimmed();
    // The office appends its source location (" at ./path/file.cxx:123"): not for users.
    const int at = message.lastIndexOf(QStringLiteral(" at ./"));
    if (at > 0)
        message.truncate(at);
    throw DispatchException(DISP_E_EXCEPTION, message.isEmpty() ? what : what + QStringLiteral(": ") + message);
}
