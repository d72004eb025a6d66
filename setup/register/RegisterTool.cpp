#include "setup/register/RegisterTool.h"

#include "platform/ChildProcess.h"
#include "setup/common/AddinLibrary.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <unistd.h>

CRegisterTool::CRegisterTool(const QString& folder)
    : m_strFolder(folder)
{
}

int CRegisterTool::VersionClass(int major, int minor)
{
    if (major == 5 && minor == 1)
        return kXP;
    if (major == 6 && minor == 0)
        return kVista;
    if (major == 6 && minor == 1)
        return kWin7;
    return kOtherVersion;
}

QString CRegisterTool::ScriptOfClass(int versionClass)
{
    switch (versionClass) {
    case kVista:
        return QStringLiteral("PrinterExcelToPDFVista.bat");
    case kWin7:
        return QStringLiteral("PrinterExcelToPDFWin7.bat");
    default:
        return QStringLiteral("PrinterExcelToPDFXP.bat");
    }
}

int CRegisterTool::Run()
{
    m_lstProblems.clear();
    RunScript();
    RegisterAddin();
    if (!m_lstProblems.isEmpty() && ::geteuid() != 0)
        Report(QStringLiteral("OrvikRegister needs administrator rights: run it with sudo."));
    return 0;
}

void CRegisterTool::Report(const QString& line)
{
    m_lstProblems.append(line);
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

void CRegisterTool::RunScript()
{
    const QString script = QDir(m_strFolder).absoluteFilePath(ScriptOfClass(RunningVersionClass()));
    if (!QFileInfo(script).isFile()) {
        Report(QStringLiteral("The printer queue script %1 was not found; the printer queue was not installed.")
                   .arg(script));
        return;
    }
    std::fflush(stderr);
    ChildProcess child;
    child.SetOutputFile(QStringLiteral("/dev/stderr"));
    QString error;
    if (!child.Start(script, {}, &error)) {
        child.SetOutputFile(QString()); // standard error that cannot be reopened: output dropped
        if (!child.Start(script, {}, &error)) {
            Report(QStringLiteral("The printer queue script %1 could not be started: %2").arg(script, error));
            return;
        }
    }
    if (!child.WaitForExit(m_nScriptLimitMs)) {
        child.Kill();
        Report(QStringLiteral("The printer queue script %1 did not end within %2 s and was stopped.")
                   .arg(script)
                   .arg(m_nScriptLimitMs / 1000.0));
        return;
    }
    if (child.ExitCode() != 0)
        Report(QStringLiteral("The printer queue script %1 failed (exit code %2); the printer queue may be missing.")
                   .arg(script)
                   .arg(child.ExitCode()));
}

void CRegisterTool::RegisterAddin()
{
    QString message;
    if (!CAddinLibrary::Call(m_strFolder, CAddinLibrary::kRegister, &message))
        Report(message);
}
