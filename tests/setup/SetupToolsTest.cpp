// OrvikRegister and OrvikUnregister: their steps in process, and the programs
// themselves run from an installation folder, with the real printer scripts and
// CUPS. A stand-in add-in library records which entry point is called when.
#include "SetupTestSupport.h"
#include "support/NamedSleepers.h"

#include "framework/MessageBoxSeam.h"
#include "framework/WindowsCodes.h"
#include "setup/register/RegisterTool.h"
#include "setup/unregister/ExcelWarning.h"
#include "setup/unregister/UnregisterTool.h"

#include <QFileInfo>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>

using namespace setuptest;

namespace {

// An installation folder (its path holds a blank) made of copies.
class InstallFolder {
public:
    InstallFolder()
    {
        m_path = m_top.filePath(QStringLiteral("orvik install"));
        QDir().mkpath(m_path);
        // Readable by other users, for the runs as nobody.
        for (const QString& d : {m_top.path(), m_path})
            QFile::setPermissions(d, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                         | QFileDevice::ReadOther | QFileDevice::ExeOther);
    }
    QString Path() const { return m_path; }
    QString File(const QString& name) const { return m_path + QLatin1Char('/') + name; }
    QString Log() const { return m_top.filePath(QStringLiteral("addin.log")); }

    bool Add(const QString& source, const QString& name)
    {
        return QFile::copy(source, File(name))
            && QFile::setPermissions(File(name), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                     | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                                     | QFileDevice::ExeOther);
    }
    bool AddRealScripts()
    {
        for (const QString& s : ScriptNames())
            if (!Add(ScriptSource(s), s))
                return false;
        return true;
    }
    bool AddFakeAddin() { return Add(QStringLiteral(ORVIK_FAKE_ADDIN), QStringLiteral("OrvikExcelToPDF.so")); }
    bool AddTool(const char* name)
    {
        return Add(QStringLiteral(ORVIK_BINARY_DIR "/setup/") + QLatin1String(name), QLatin1String(name));
    }
    // A stand-in XP script that notes its run in the log, then runs body.
    bool AddScript(const QByteArray& body)
    {
        return WriteScript(File(QStringLiteral("PrinterExcelToPDFXP.bat")),
                           "echo script >> '" + Log().toUtf8() + "'\n" + body);
    }
    // The package's maintainer script as configured in the build folder, run on
    // this folder instead of the package's; its path, empty when it is missing.
    QString MaintainerScript(const char* name) const
    {
        QString text = ReadText(QStringLiteral(ORVIK_BINARY_DIR "/setup/debian/") + QLatin1String(name));
        if (text.isEmpty())
            return QString();
        const QString path = m_top.filePath(QLatin1String(name));
        text.replace(QStringLiteral("/usr/lib/orvik-excel-to-pdf"), m_path);
        text.remove(0, text.indexOf(QLatin1Char('\n')) + 1); // WriteScript puts the first line back
        return WriteScript(path, text.toUtf8()) ? path : QString();
    }
    QProcessEnvironment Env() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ORVIK_FAKE_ADDIN_LOG"), Log());
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        return env;
    }

private:
    QTemporaryDir m_top;
    QString m_path;
};

// Running: there, and not an ended process waiting to be collected.
bool Alive(pid_t pid)
{
    const QString stat = ReadText(QStringLiteral("/proc/%1/stat").arg(pid));
    const int close = stat.lastIndexOf(QLatin1Char(')'));
    return close > 0 && stat.mid(close + 2, 1) != QLatin1String("Z");
}

using testsupport::NamedSleepers;

} // namespace

TEST(RegisterTool, VersionClassesPickTheirScripts)
{
    struct Case {
        int major, minor;
        const char* script;
    };
    for (const Case& c : {Case{5, 1, "PrinterExcelToPDFXP.bat"}, Case{6, 0, "PrinterExcelToPDFVista.bat"},
                          Case{6, 1, "PrinterExcelToPDFWin7.bat"}, Case{5, 0, "PrinterExcelToPDFXP.bat"},
                          Case{5, 2, "PrinterExcelToPDFXP.bat"}, Case{6, 2, "PrinterExcelToPDFXP.bat"},
                          Case{10, 0, "PrinterExcelToPDFXP.bat"}}) {
        EXPECT_EQ(QLatin1String(c.script), CRegisterTool::ScriptOfClass(CRegisterTool::VersionClass(c.major, c.minor)))
            << c.major << '.' << c.minor;
    }
    EXPECT_EQ(QStringLiteral("PrinterExcelToPDFXP.bat"),
              CRegisterTool::ScriptOfClass(CRegisterTool::RunningVersionClass()));
}

// The real program in an installation folder: the folder's own script installs
// the queue (one planted in the current folder is not run), then the add-in.
TEST(RegisterTool, ProgramInstallsTheQueueFromItsOwnFolderThenTheAddin)
{
    REQUIRE_CUPS();
    if (::geteuid() != 0)
        GTEST_SKIP() << "installing the printer queue needs root";
    QueueRestorer restore;
    InstallFolder folder;
    ASSERT_TRUE(folder.AddTool("OrvikRegister") && folder.AddRealScripts() && folder.AddFakeAddin());
    QTemporaryDir elsewhere;
    const QString planted = elsewhere.filePath(QStringLiteral("planted-ran"));
    ASSERT_TRUE(WriteScript(elsewhere.filePath(QStringLiteral("PrinterExcelToPDFXP.bat")),
                            "touch '" + planted.toUtf8() + "'\n"));
    QString message;
    ASSERT_TRUE(CPrinterQueue::Delete(RealQueue(), &message)) << message.toStdString();
    ASSERT_EQ(CPrinterQueue::Missing, CPrinterQueue::Check(RealQueue()));

    QProcessEnvironment env = folder.Env();
    env.insert(QStringLiteral("PATH"), elsewhere.path() + QStringLiteral(":/usr/sbin:/usr/bin:/sbin:/bin"));
    const RunResult r = RunProgram(folder.File(QStringLiteral("OrvikRegister")), {}, elsewhere.path(), env);
    EXPECT_EQ(0, r.exitCode) << r.err.toStdString();
    // Only the script's own report, which it writes to the tool's standard error.
    EXPECT_EQ(QStringList{QStringLiteral("The printer queue \"OrvikExcelToPDF\" is installed: not shared, and closed "
                                         "to jobs that other programs send.")},
              Lines(r.err));
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    EXPECT_EQ(CPrinterQueue::Ready, CPrinterQueue::Check(RealQueue(), &message)) << message.toStdString();
    EXPECT_FALSE(QFile::exists(planted)) << "the script of the current folder was run";
    EXPECT_EQ(QStringLiteral("DllRegisterServer\n"), ReadText(folder.Log()));
}

// A script that never ends is stopped at the limit, with whatever it started;
// the add-in is still registered.
TEST(RegisterTool, AScriptThatNeverEndsIsStoppedAndTheToolGoesOn)
{
    InstallFolder folder;
    const QString child = folder.File(QStringLiteral("child.pid"));
    ASSERT_TRUE(folder.AddScript("sleep 1000 &\necho $! > '" + child.toUtf8() + "'\nwait\n"));
    ASSERT_TRUE(folder.AddFakeAddin());
    EnvOverride log("ORVIK_FAKE_ADDIN_LOG", folder.Log());

    CRegisterTool tool(folder.Path());
    tool.SetScriptLimitMs(2000);
    EXPECT_EQ(0, tool.Run());
    ASSERT_EQ(1, tool.Problems().size()) << tool.Problems().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(tool.Problems()[0].contains(QLatin1String("did not end within 2 s"))) << tool.Problems()[0].toStdString();
    EXPECT_EQ(QStringLiteral("script\nDllRegisterServer\n"), ReadText(folder.Log()));
    const pid_t grandchild = ReadText(child).trimmed().toInt();
    ASSERT_GT(grandchild, 0);
    for (int i = 0; i < 100 && Alive(grandchild); ++i)
        ::usleep(10000);
    EXPECT_FALSE(Alive(grandchild)) << "the script's own child outlived the limit";
}

// Each failed step is one line; the later steps still run.
TEST(RegisterTool, EachFailedStepIsOneLineAndTheNextStepsRun)
{
    struct Case {
        const char* what;
        const char* script;  // nullptr: no script
        const char* library; // nullptr: no library
        const char* result;  // the stand-in's result, hex
        const char* expected;
        const char* log;
    };
    const QByteArray fake = ORVIK_FAKE_ADDIN;
    const QByteArray noexport = ORVIK_NOEXPORT_ADDIN;
    for (const Case& c : {
             Case{"no script", nullptr, fake, "0", "PrinterExcelToPDFXP.bat was not found", "DllRegisterServer\n"},
             Case{"script fails", "exit 4\n", fake, "0", "failed (exit code 4)", "script\nDllRegisterServer\n"},
             Case{"no library", "exit 0\n", nullptr, "0", "OrvikExcelToPDF.so was not found", "script\n"},
             Case{"no entry point", "exit 0\n", noexport, "0", "has no entry point DllRegisterServer", "script\n"},
             Case{"register fails", "exit 0\n", fake, "80004005", "DllRegisterServer of", "script\nDllRegisterServer\n"},
         }) {
        SCOPED_TRACE(c.what);
        InstallFolder folder;
        if (c.script) {
            ASSERT_TRUE(folder.AddScript(c.script));
        }
        if (c.library) {
            ASSERT_TRUE(folder.Add(QString::fromUtf8(c.library), QStringLiteral("OrvikExcelToPDF.so")));
        }
        EnvOverride log("ORVIK_FAKE_ADDIN_LOG", folder.Log());
        EnvOverride result("ORVIK_FAKE_ADDIN_RESULT", QLatin1String(c.result));
        CRegisterTool tool(folder.Path());
        EXPECT_EQ(0, tool.Run());
        const int rightsLine = ::geteuid() != 0 ? 1 : 0;
        ASSERT_EQ(1 + rightsLine, tool.Problems().size()) << tool.Problems().join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(tool.Problems()[0].contains(QLatin1String(c.expected))) << tool.Problems()[0].toStdString();
        EXPECT_EQ(QLatin1String(c.log), ReadText(folder.Log()));
    }
    // The failure code is named as the library gave it.
    InstallFolder folder;
    ASSERT_TRUE(folder.AddScript("exit 0\n") && folder.AddFakeAddin());
    EnvOverride result("ORVIK_FAKE_ADDIN_RESULT", QStringLiteral("80070005"));
    CRegisterTool tool(folder.Path());
    tool.Run();
    ASSERT_FALSE(tool.Problems().isEmpty());
    EXPECT_TRUE(tool.Problems()[0].contains(QLatin1String("0x80070005"))) << tool.Problems()[0].toStdString();
}

// Without administrator rights the queue is left as it was, each step says why,
// and the user is told to use sudo.
TEST(RegisterTool, ProgramAsAnOrdinaryUserChangesNothingAndSaysWhy)
{
    REQUIRE_CUPS();
    if (::geteuid() != 0 || !testsupport::HaveProgram("runuser"))
        GTEST_SKIP() << "needs root and runuser to try the tool as an ordinary user";
    QueueRestorer restore;
    InstallFolder folder;
    ASSERT_TRUE(folder.AddTool("OrvikRegister") && folder.AddRealScripts());
    const RunResult before = RunProgram(QStringLiteral("lpstat"), {QStringLiteral("-l"), QStringLiteral("-p"), RealQueue()});
    const RunResult r = RunProgram(QStringLiteral("runuser"),
                            {QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"),
                             folder.File(QStringLiteral("OrvikRegister"))},
                            QStringLiteral("/"), folder.Env());
    EXPECT_EQ(0, r.exitCode) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QLatin1String("needs administrator rights"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QLatin1String("failed (exit code 4)"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QLatin1String("OrvikExcelToPDF.so was not found"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.trimmed().endsWith(QLatin1String("OrvikRegister needs administrator rights: run it with sudo.")))
        << r.err.toStdString();
    EXPECT_EQ(before.out, RunProgram(QStringLiteral("lpstat"), {QStringLiteral("-l"), QStringLiteral("-p"), RealQueue()}).out);
}

// Excel processes: one warning, exactly worded; only the two exact names are
// ended, and only after the answer.
TEST(UnregisterTool, OneWarningThenOnlyExcelProcessesAreEnded)
{
    NamedSleepers s;
    const pid_t upper = s.Start(QStringLiteral("EXCEL.EXE"));
    const pid_t lower = s.Start(QStringLiteral("excel.exe"));
    const pid_t lower2 = s.Start(QStringLiteral("excel.exe"));
    const std::vector<pid_t> others{s.Start(QStringLiteral("Excel.exe")), s.Start(QStringLiteral("EXCEL.EXE.bak")),
                                    s.Start(QStringLiteral("soffice.bin"))};
    InstallFolder folder;
    ASSERT_TRUE(folder.AddFakeAddin());
    EnvOverride log("ORVIK_FAKE_ADDIN_LOG", folder.Log());
    ClosedPort closed;
    ServerOverride cups(closed.Server());

    MessageBoxSeam seam;
    seam.QueueAnswer(IDOK);
    bool allAliveAtQuestion = false;
    QString logAtQuestion = QStringLiteral("unset");
    CUnregisterTool tool(folder.Path());
    tool.SetWarning([&](const QString& text, const QString& caption) {
        allAliveAtQuestion = Alive(upper) && NamedSleepers::KilledBy(upper) == 0
            && NamedSleepers::KilledBy(lower) == 0 && NamedSleepers::KilledBy(lower2) == 0;
        logAtQuestion = ReadText(folder.Log());
        // A process that ends while the question is open is no error.
        ::kill(lower2, SIGKILL);
        CExcelWarning::Show(text, caption);
    });
    EXPECT_EQ(0, tool.Run());

    const QList<MessageBoxSeam::Question> questions = seam.Questions();
    ASSERT_EQ(1, questions.size());
    EXPECT_EQ(QStringLiteral("Please close all Excel files "), questions[0].text);
    EXPECT_EQ(QStringLiteral("Warning"), questions[0].caption);
    EXPECT_EQ(static_cast<unsigned>(MB_OK), questions[0].type);
    EXPECT_TRUE(allAliveAtQuestion) << "a process was ended before the answer";
    EXPECT_TRUE(logAtQuestion.isEmpty()) << "the add-in was unregistered before the answer";
    EXPECT_EQ(SIGKILL, NamedSleepers::KilledBy(upper));
    EXPECT_EQ(SIGKILL, NamedSleepers::KilledBy(lower));
    for (pid_t other : others)
        EXPECT_EQ(0, NamedSleepers::KilledBy(other)) << other;
    EXPECT_EQ(QStringLiteral("DllUnregisterServer\n"), ReadText(folder.Log()));
    // The unreachable printing service is the one problem.
    ASSERT_EQ(::geteuid() != 0 ? 2 : 1, tool.Problems().size()) << tool.Problems().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(tool.Problems()[0].contains(QLatin1String("CUPS"))) << tool.Problems()[0].toStdString();
}

TEST(UnregisterTool, NoExcelNoQuestion)
{
    NamedSleepers s;
    s.Start(QStringLiteral("Excel.exe"));
    InstallFolder folder;
    ASSERT_TRUE(folder.AddFakeAddin());
    ClosedPort closed;
    ServerOverride cups(closed.Server());
    int warnings = 0;
    CUnregisterTool tool(folder.Path());
    tool.SetWarning([&](const QString&, const QString&) { ++warnings; });
    EXPECT_EQ(0, tool.Run());
    EXPECT_EQ(0, warnings);
}

// Without a display and without a terminal the warning goes to standard error
// and the tool does not wait for anyone.
TEST(UnregisterTool, ProgramWithoutDisplayWarnsOnStandardErrorAndGoesOn)
{
    InstallFolder folder;
    ASSERT_TRUE(folder.AddTool("OrvikUnregister") && folder.AddFakeAddin());
    NamedSleepers s;
    const pid_t excel = s.Start(QStringLiteral("EXCEL.EXE"));
    ClosedPort closed;
    QProcessEnvironment env = folder.Env();
    env.insert(QStringLiteral("CUPS_SERVER"), closed.Server());
    const RunResult r = RunProgram(folder.File(QStringLiteral("OrvikUnregister")), {}, QString(), env, 15000);
    EXPECT_EQ(0, r.exitCode) << r.err.toStdString();
    EXPECT_EQ(1, r.err.count(QLatin1String("Please close all Excel files "))) << r.err.toStdString();
    EXPECT_EQ(SIGKILL, NamedSleepers::KilledBy(excel));
    EXPECT_EQ(QStringLiteral("DllUnregisterServer\n"), ReadText(folder.Log()));
    EXPECT_TRUE(r.err.contains(QLatin1String("CUPS"))) << r.err.toStdString();
}

// The package's prerm as apt runs it on a desktop: a display within reach, a
// terminal-less standard input that never ends. The warning goes to standard
// error and the tool goes on; an upgrade leaves everything as it is.
TEST(MaintainerScripts, PrermNeverWaitsForAnAnswer)
{
    InstallFolder folder;
    ASSERT_TRUE(folder.AddTool("OrvikUnregister") && folder.AddFakeAddin());
    const QString prerm = folder.MaintainerScript("prerm");
    ASSERT_FALSE(prerm.isEmpty());
    NamedSleepers s;
    const pid_t excel = s.Start(QStringLiteral("EXCEL.EXE"));
    ClosedPort closed;
    QProcessEnvironment env = folder.Env();
    env.insert(QStringLiteral("CUPS_SERVER"), closed.Server());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("DISPLAY"), qEnvironmentVariable("DISPLAY", QStringLiteral(":0")));

    const RunResult upgrade = RunProgram(prerm, {QStringLiteral("upgrade"), QStringLiteral("9.9")}, QString(), env, 15000);
    EXPECT_EQ(0, upgrade.exitCode) << upgrade.err.toStdString();
    EXPECT_EQ(0, NamedSleepers::KilledBy(excel));
    EXPECT_EQ(QString(), ReadText(folder.Log()));

    // timeout ends the script with all it started, should the tool wait after all.
    const RunResult r = RunProgram(QStringLiteral("timeout"), {QStringLiteral("-s"), QStringLiteral("KILL"),
                                   QStringLiteral("30"), prerm, QStringLiteral("remove")}, QString(), env);
    EXPECT_EQ(0, r.exitCode) << r.err.toStdString();
    EXPECT_EQ(1, r.err.count(QLatin1String("Please close all Excel files "))) << r.err.toStdString();
    EXPECT_EQ(SIGKILL, NamedSleepers::KilledBy(excel));
    EXPECT_EQ(QStringLiteral("DllUnregisterServer\n"), ReadText(folder.Log()));
}

// The postinst registers whenever the package ends up configured: installed, or
// a removal, deconfiguration or upgrade that failed half-way.
TEST(MaintainerScripts, PostinstRegistersAgainAfterAFailedRemoval)
{
    for (const char* action : {"configure", "abort-remove", "abort-deconfigure", "abort-upgrade"}) {
        SCOPED_TRACE(action);
        InstallFolder folder;
        ASSERT_TRUE(folder.AddTool("OrvikRegister") && folder.AddScript("exit 0\n") && folder.AddFakeAddin());
        const QString postinst = folder.MaintainerScript("postinst");
        ASSERT_FALSE(postinst.isEmpty());
        const RunResult r = RunProgram(postinst, {QLatin1String(action), QStringLiteral("1.0")}, QString(), folder.Env());
        EXPECT_EQ(0, r.exitCode) << r.err.toStdString();
        EXPECT_EQ(QStringLiteral("script\nDllRegisterServer\n"), ReadText(folder.Log()));
    }
}

// The real queue is deleted; run again with it gone, the add-in is still
// unregistered and nothing is reported. The queue is put back afterwards.
TEST(UnregisterTool, ProgramDeletesTheQueueAndRunsAgainWithoutIt)
{
    REQUIRE_CUPS();
    if (::geteuid() != 0)
        GTEST_SKIP() << "deleting the printer queue needs root";
    QueueRestorer restore;
    ASSERT_EQ(0, RunProgram(ScriptSource(QStringLiteral("PrinterExcelToPDFWin7.bat")), {}).exitCode);
    InstallFolder folder;
    ASSERT_TRUE(folder.AddTool("OrvikUnregister") && folder.AddFakeAddin());
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        const RunResult r = RunProgram(folder.File(QStringLiteral("OrvikUnregister")), {}, QString(), folder.Env(), 15000);
        EXPECT_EQ(0, r.exitCode);
        EXPECT_TRUE(r.err.trimmed().isEmpty()) << r.err.toStdString();
        EXPECT_EQ(CPrinterQueue::Missing, CPrinterQueue::Check(RealQueue()));
    }
    EXPECT_EQ(QStringLiteral("DllUnregisterServer\nDllUnregisterServer\n"), ReadText(folder.Log()));
}
