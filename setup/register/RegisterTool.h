#pragma once

#include <QString>
#include <QStringList>

// OrvikRegister's work: run the printer-queue script of the system's version
// class, then register the add-in library, both taken from the tool's own folder.
// Every step runs even when an earlier one failed; each failure is one line on
// standard error. The exit code is always 0: installers rely on it.
class CRegisterTool {
public:
    // Version classes of the Windows versions the scripts are named after.
    enum { kOtherVersion = -1, kXP = 0, kVista = 1, kWin7 = 2 };

    explicit CRegisterTool(const QString& folder);

    // How long the script may take before its process group is killed.
    void SetScriptLimitMs(int ms) { m_nScriptLimitMs = ms; }

    int Run();

    // The lines written to standard error by the last Run().
    const QStringList& Problems() const { return m_lstProblems; }

    static int VersionClass(int major, int minor);
    static QString ScriptOfClass(int versionClass);
    // This system has no Windows version: always the "other" class.
    static int RunningVersionClass() { return kOtherVersion; }

    static constexpr int kDefaultScriptLimitMs = 60000;

private:
    void RunScript();
    void RegisterAddin();
    void Report(const QString& line);

    QString m_strFolder;
    int m_nScriptLimitMs = kDefaultScriptLimitMs;
    QStringList m_lstProblems;
};
