#pragma once

// A headless office for the add-in tests: its own profile, the add-in's shared
// extension folder given by the test, connected over a private pipe. Every call
// into it goes through Bounded(), which kills the office when the call hangs
// (a Basic error dialog would hang a headless office for good).
#include "platform/ChildProcess.h"

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <QString>

#include <condition_variable>
#include <functional>
#include <mutex>

namespace css = com::sun::star;

class CTestOffice {
public:
    // profileFolder: the user profile (kept between starts when the same folder
    // is given); sharedFolder: where shared extensions live (the add-in's seam).
    CTestOffice(const QString& profileFolder, const QString& sharedFolder);
    ~CTestOffice();

    // On: the office runs with windows drawn into memory instead of headless, so
    // that an error box waits for an answer as on a desktop (a headless office
    // drops it unseen) and a call that shows one does not return. Before Start().
    void SetWindowed(bool on) { m_bWindowed = on; }

    bool Start(QString* error);
    // Ends the office (terminate, then its process group) and waits for it.
    void Stop();

    css::uno::Reference<css::uno::XComponentContext> Context() const { return m_xContext; }
    css::uno::Reference<css::frame::XDesktop2> Desktop() const { return m_xDesktop; }

    // Runs call; kills the office when it has not returned within limitMs.
    // False, with *error, when it threw or was cut off.
    bool Bounded(int limitMs, const std::function<void()>& call, QString* error);

    // A file URL of a local path.
    static QString FileUrl(const QString& path);

private:
    bool Connect(QString* error);

    QString m_strProfile;
    QString m_strShared;
    QString m_strPipe;
    bool m_bWindowed = false;
    ChildProcess m_process;
    css::uno::Reference<css::uno::XComponentContext> m_xContext;
    css::uno::Reference<css::frame::XDesktop2> m_xDesktop;
};
