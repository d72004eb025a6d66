#pragma once

#include "automation/CallWatchdog.h"
#include "automation/Dispatch.h"
#include "automation/OfficeOptions.h"
#include "automation/UnoRuntime.h"
#include "platform/ChildProcess.h"
#include "platform/StopGate.h"

#include <QString>
#include <QTemporaryDir>

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/uno/Exception.hpp>

#include <memory>
#include <mutex>
#include <type_traits>

// One headless office process of our own: a private profile folder, a private
// pipe, its own process group. Every call into it goes through Call(), which
// runs one call at a time and bounds its time: an office that does not answer
// within the bound is killed, and the call raises.
class OfficeProcess {
public:
    // Starts an office with a copy of the profile template (made on first use)
    // and connects to it. Throws DispatchException when it cannot be started.
    static std::shared_ptr<OfficeProcess> Launch(const OfficeOptions& options);

    // An office on the given profile folder; viaLauncher starts it through the
    // office's start script, which also restarts it when a new profile asks for that.
    OfficeProcess(const OfficeOptions& options, const QString& profileFolder, bool viaLauncher);
    ~OfficeProcess();
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;

    // Starts the process and waits (within the start bound) until it answers.
    bool Start(QString* error);

    // Runs fn (UNO calls into this office) within the call bound. UNO exceptions
    // become DispatchException: "<what>: <office message>", or the texts below
    // when the office hung or ended.
    template <class F>
    auto Call(const QString& what, F&& fn) -> decltype(fn());

    css::uno::Reference<css::frame::XDesktop2> Desktop() const { return m_xDesktop; }
    css::uno::Reference<css::uno::XComponentContext> Context() const { return m_xContext; }
    const OfficeOptions& Options() const { return m_options; }

    // Running and answering: not ended, not taken for hung.
    bool Alive() const;
    pid_t Pid() const { return m_process.Pid(); }
    void SetStopGate(StopGate* gate);
    void SetCallTimeout(std::chrono::milliseconds bound);
    // Ends the process (and its process group) at once.
    void Kill();
    // Asks the office to end and waits for it; kills it when it does not. True
    // when it ended on its own (its profile is then complete).
    bool Shutdown();
    // Deleted together with this object, after the process has ended.
    void AdoptProfileFolder(std::unique_ptr<QTemporaryDir> folder) { m_pOwnedProfile = std::move(folder); }

    static QString HungMessage();
    static QString EndedMessage();
    static QString StoppedMessage();
    // Environment entries that let the office read UTF-8 file names whatever
    // the locale (none when the locale uses UTF-8 already).
    static QStringList Utf8FileNames();

private:
    bool Connect(QString* error);
    // A stop was requested on the gate of these options (or of this office).
    static bool Stopped(const OfficeOptions& options);
    bool StopRequested();
    void AttachGate();
    QString ProfileUrl() const;
    void RemovePipeFiles() const;
    void ThrowIfEnded() const;
    [[noreturn]] void Fail(const QString& what, const css::uno::Exception& e, bool disposed);
    void CheckNotHung();

    OfficeOptions m_options;
    QString m_strProfileFolder;
    bool m_bViaLauncher;
    QString m_strPipeName;
    ChildProcess m_process;
    std::mutex m_gateMutex; // guards the attachment: a session may set its gate from another thread
    std::unique_ptr<StopGateAttachment> m_pGateAttachment;
    CallWatchdog m_watchdog;
    std::mutex m_callMutex;
    bool m_bHung = false;
    css::uno::Reference<css::uno::XComponentContext> m_xContext;
    css::uno::Reference<css::frame::XDesktop2> m_xDesktop;
    std::unique_ptr<QTemporaryDir> m_pOwnedProfile;
};

template <class F>
auto OfficeProcess::Call(const QString& what, F&& fn) -> decltype(fn())
{
    std::lock_guard lock(m_callMutex);
    ThrowIfEnded();
    m_watchdog.Arm(m_options.callTimeout);
    try {
        if constexpr (std::is_void_v<decltype(fn())>) {
            fn();
            CheckNotHung();
        } else {
            auto result = fn();
            CheckNotHung();
            return result;
        }
    } catch (const css::lang::DisposedException& e) {
        Fail(what, e, true);
    } catch (const css::uno::Exception& e) {
        Fail(what, e, false);
    } catch (...) {
        m_watchdog.Disarm();
        throw;
    }
}
