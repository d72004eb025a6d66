#pragma once

// Shared by the set-up tool tests: running programs, the real printer queue, and
// installation folders made of copies.
#include "platform/PrinterQueue.h"
#include "support/CupsServerDoubles.h"
#include "support/RealTools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <cups/cups.h>

#include <unistd.h>

namespace setuptest {

struct RunResult {
    int exitCode = -1;
    QString out;
    QString err;
};

inline RunResult RunProgram(const QString& program, const QStringList& args, const QString& workDir = QString(),
                     const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(), int limitMs = 120000)
{
    QProcess p;
    p.setProcessEnvironment(env);
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.start(program, args);
    RunResult r;
    if (!p.waitForStarted(10000) || !p.waitForFinished(limitMs)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("did not run to its end: ") + p.errorString();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

inline QStringList Lines(const QString& text)
{
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

inline QString ReadText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

inline bool WriteScript(const QString& path, const QByteArray& body)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write("#!/bin/sh\n" + body);
    f.close();
    return f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                            | QFileDevice::ReadOther | QFileDevice::ExeOther);
}

inline QString ScriptSource(const QString& name)
{
    return QStringLiteral(ORVIK_SOURCE_DIR "/setup/printer/") + name;
}

inline const QStringList& ScriptNames()
{
    static const QStringList names{QStringLiteral("PrinterExcelToPDFXP.bat"), QStringLiteral("PrinterExcelToPDFVista.bat"),
                                   QStringLiteral("PrinterExcelToPDFWin7.bat")};
    return names;
}

inline bool CupsRunning()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    return RunProgram(QStringLiteral("lpstat"), {QStringLiteral("-r")}, QString(), env)
        .out.startsWith(QLatin1String("scheduler is running"));
}

inline QString RealQueue()
{
    return QString::fromLatin1(CPrinterQueue::kQueueName);
}

// Puts the real printer queue back as the project's script installs it, whatever
// the test did to it.
class QueueRestorer {
public:
    ~QueueRestorer()
    {
        if (CPrinterQueue::Check(RealQueue()) != CPrinterQueue::Ready)
            RunProgram(ScriptSource(QStringLiteral("PrinterExcelToPDFWin7.bat")), {});
    }
};

// Whether unopkg lists the add-in's Calc extension in the office's own shared location.
inline bool RealAddinListed()
{
    const QString id = QStringLiteral("example.orvik-software.excel-to-pdf");
    QTemporaryDir scratch;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), scratch.path());
    env.insert(QStringLiteral("XDG_CACHE_HOME"), scratch.path());
    env.remove(QStringLiteral("ORVIK_ADDIN_SHARED_DIR"));
    return RunProgram(QStringLiteral("/usr/lib/libreoffice/program/unopkg"),
                      {QStringLiteral("list"), QStringLiteral("--shared"), id}, QString(), env)
        .out.contains(QStringLiteral("Identifier: ") + id);
}

// The office makes the folder of its shared extension cache on its first look
// at it: removed again (when empty) if it was not there when the object was made.
class SharedCacheRestorer {
public:
    SharedCacheRestorer()
        : m_path(QFileInfo(QStringLiteral("/usr/lib/libreoffice/share/uno_packages/cache")).canonicalFilePath()
                 + QStringLiteral("/uno_packages"))
        , m_bThere(QFileInfo::exists(m_path))
    {
    }
    ~SharedCacheRestorer()
    {
        if (!m_bThere)
            QDir().rmdir(m_path);
    }

private:
    QString m_path;
    bool m_bThere;
};

// A closed local port (a CUPS server there is unreachable at once), and libcups
// pointed at it.
struct ClosedPort : testsupport::DeadPort {
    ClosedPort() : DeadPort(false) {}
};
using testsupport::ServerOverride;

// Sets an environment variable of this process for the scope of the object.
class EnvOverride {
public:
    EnvOverride(const char* name, const QString& value)
        : m_name(name)
    {
        ::setenv(name, value.toUtf8().constData(), 1);
    }
    ~EnvOverride() { ::unsetenv(m_name); }

private:
    const char* m_name;
};

} // namespace setuptest

#define REQUIRE_CUPS()                                                                             \
    ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("lpadmin") && testsupport::HaveProgram("lpstat"), \
                       "CUPS (lpadmin, lpstat)");                                                 \
    ORVIK_REQUIRE_TOOL(setuptest::CupsRunning(), "a running CUPS scheduler (start it with /usr/sbin/cupsd)")
