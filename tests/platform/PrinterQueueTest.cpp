#include "platform/PrinterQueue.h"

#include "support/CupsServerDoubles.h"
#include "support/RealTools.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cups/cups.h>

#include <cstdlib>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

using testsupport::HaveProgram;

namespace {

using testsupport::DeadPort;
using testsupport::ServerOverride;

const QString kQueue = QString::fromLatin1(CPrinterQueue::kQueueName);

QString ScriptDir()
{
    return QStringLiteral(ORVIK_SOURCE_DIR "/setup/printer");
}

struct RunResult {
    int exitCode = -1;
    QString out; // standard output and error together
};

RunResult RunProgram(const QString& program, const QStringList& args,
               const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    RunResult r;
    if (!p.waitForStarted(10000) || !p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        r.out = QStringLiteral("did not run: ") + p.errorString();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAll());
    return r;
}

RunResult RunScript(const QString& name, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    return RunProgram(ScriptDir() + QLatin1Char('/') + name, {}, env);
}

bool CupsRunning()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    return RunProgram(QStringLiteral("lpstat"), {QStringLiteral("-r")}, env)
        .out.startsWith(QLatin1String("scheduler is running"));
}

QString OwnQueueName(const char* what)
{
    return QStringLiteral("OrvikTest%1-%2").arg(QLatin1String(what)).arg(::getpid());
}

#define REQUIRE_CUPS()                                                                           \
    ORVIK_REQUIRE_TOOL(HaveProgram("lpadmin") && HaveProgram("lpstat") && HaveProgram("lp"),     \
                       "CUPS (lpadmin, lpstat, lp)");                                            \
    ORVIK_REQUIRE_TOOL(CupsRunning(), "a running CUPS scheduler (start it with /usr/sbin/cupsd)")

} // namespace

// The scripts install the queue closed to other programs; installing again is harmless.
TEST(PrinterQueueScripts, InstallAClosedUnsharedQueueAndCanRunAgain)
{
    REQUIRE_CUPS();
    for (const char* name : {"PrinterExcelToPDFWin7.bat", "PrinterExcelToPDFWin7.bat",
                             "PrinterExcelToPDFXP.bat", "PrinterExcelToPDFVista.bat"}) {
        SCOPED_TRACE(name);
        const RunResult r = RunScript(QString::fromLatin1(name));
        ASSERT_EQ(0, r.exitCode) << r.out.toStdString();
        EXPECT_TRUE(r.out.contains(kQueue)) << r.out.toStdString();
    }

    QProcessEnvironment c = QProcessEnvironment::systemEnvironment();
    c.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    const RunResult printer = RunProgram(QStringLiteral("lpstat"), {QStringLiteral("-p"), kQueue}, c);
    ASSERT_EQ(0, printer.exitCode) << printer.out.toStdString();
    EXPECT_TRUE(printer.out.contains(QLatin1String("disabled"))) << printer.out.toStdString();
    const RunResult accepting = RunProgram(QStringLiteral("lpstat"), {QStringLiteral("-a"), kQueue}, c);
    EXPECT_TRUE(accepting.out.contains(QLatin1String("not accepting"))) << accepting.out.toStdString();
    const RunResult device = RunProgram(QStringLiteral("lpstat"), {QStringLiteral("-v"), kQueue}, c);
    EXPECT_TRUE(device.out.contains(QLatin1String("/dev/null"))) << device.out.toStdString();
    const RunResult options = RunProgram(QStringLiteral("lpoptions"), {QStringLiteral("-p"), kQueue}, c);
    EXPECT_TRUE(options.out.contains(QLatin1String("printer-is-shared=false"))) << options.out.toStdString();
    EXPECT_TRUE(options.out.contains(QLatin1String("printer-make-and-model='Generic PostScript Printer'")))
        << options.out.toStdString();

    // Another program's job is refused, loudly.
    QTemporaryDir dir;
    const QString job = dir.filePath(QStringLiteral("job.txt"));
    QFile f(job);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("a job that must not vanish\n");
    f.close();
    const RunResult lp = RunProgram(QStringLiteral("lp"), {QStringLiteral("-d"), kQueue, job}, c);
    EXPECT_NE(0, lp.exitCode) << lp.out.toStdString();
    EXPECT_TRUE(lp.out.contains(QLatin1String("not accepting"))) << lp.out.toStdString();

    QString message = QStringLiteral("stale");
    EXPECT_EQ(CPrinterQueue::Ready, CPrinterQueue::Check(kQueue, &message));
    EXPECT_TRUE(message.isEmpty()) << message.toStdString();
}

TEST(PrinterQueueScripts, FailClearlyWhenCupsIsNotRunning)
{
    ORVIK_REQUIRE_TOOL(HaveProgram("lpadmin") && HaveProgram("lpstat"), "CUPS (lpadmin, lpstat)");
    DeadPort closed(false);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CUPS_SERVER"), closed.Server());
    const RunResult r = RunScript(QStringLiteral("PrinterExcelToPDFXP.bat"), env);
    EXPECT_EQ(3, r.exitCode) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QLatin1String("is not running"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QLatin1String("service cups start"))) << r.out.toStdString();
}

TEST(PrinterQueueScripts, FailClearlyWithoutLpadmin)
{
    // Every program of the system except lpadmin.
    QTemporaryDir bin;
    for (const QString& dirPath : {QStringLiteral("/usr/bin"), QStringLiteral("/usr/sbin")}) {
        for (const QFileInfo& fi : QDir(dirPath).entryInfoList(QDir::Files | QDir::System)) {
            if (fi.fileName() != QLatin1String("lpadmin") && !QFile::exists(bin.filePath(fi.fileName())))
                QFile::link(fi.filePath(), bin.filePath(fi.fileName()));
        }
    }
    ASSERT_TRUE(QFile::exists(bin.filePath(QStringLiteral("sh"))));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), bin.path());
    const RunResult r = RunScript(QStringLiteral("PrinterExcelToPDFWin7.bat"), env);
    EXPECT_EQ(2, r.exitCode) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QLatin1String("\"lpadmin\" was not found"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QLatin1String("apt-get install"))) << r.out.toStdString();
}

TEST(PrinterQueueScripts, FailClearlyWithoutAdministratorRights)
{
    REQUIRE_CUPS();
    if (::geteuid() != 0 || !HaveProgram("runuser"))
        GTEST_SKIP() << "needs root and runuser to try the scripts as an ordinary user";
    // Copies the other user can read (the project folder may be private).
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                      | QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther));
    for (const char* name : {"PrinterExcelToPDFWin7.bat", "PrinterExcelToPDFVista.bat"})
        ASSERT_TRUE(QFile::copy(ScriptDir() + QLatin1Char('/') + QLatin1String(name),
                                dir.filePath(QLatin1String(name))));
    const RunResult r = RunProgram(QStringLiteral("runuser"),
                             {QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"),
                              dir.filePath(QStringLiteral("PrinterExcelToPDFVista.bat"))});
    EXPECT_EQ(4, r.exitCode) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QLatin1String("needs administrator rights"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QLatin1String("sudo "))) << r.out.toStdString();
}

TEST(PrinterQueue, CheckNamesTheMissingQueueAndItsInstallScript)
{
    REQUIRE_CUPS();
    const QString name = OwnQueueName("Missing");
    QString message;
    EXPECT_EQ(CPrinterQueue::Missing, CPrinterQueue::Check(name, &message));
    EXPECT_TRUE(message.contains(QLatin1Char('"') + name + QLatin1Char('"'))) << message.toStdString();
    EXPECT_TRUE(message.contains(QLatin1String("sudo "))) << message.toStdString();

    // The script it names is the project's real, runnable one.
    const QString script = CPrinterQueue::InstallScriptPath();
    EXPECT_TRUE(message.endsWith(script)) << message.toStdString();
    EXPECT_TRUE(QFileInfo(script).isExecutable()) << script.toStdString();
    EXPECT_EQ(QFileInfo(ScriptDir() + QStringLiteral("/PrinterExcelToPDFWin7.bat")).canonicalFilePath(),
              QFileInfo(script).canonicalFilePath());

    // Names CUPS cannot hold are missing, not sent to the scheduler.
    for (const QString& bad : {QString(), QStringLiteral("a/b"), QStringLiteral("with blank"),
                               QStringLiteral("x?y#z"), QString(128, QLatin1Char('q'))}) {
        EXPECT_EQ(CPrinterQueue::Missing, CPrinterQueue::Check(bad, &message)) << bad.toStdString();
        EXPECT_TRUE(CPrinterQueue::Delete(bad, &message)) << bad.toStdString();
    }
}

TEST(PrinterQueue, DeleteRemovesAQueueAndSkipsAMissingOne)
{
    REQUIRE_CUPS();
    const QString name = OwnQueueName("Delete");
    const RunResult add = RunProgram(QStringLiteral("lpadmin"),
                               {QStringLiteral("-p"), name, QStringLiteral("-v"),
                                QStringLiteral("file:///dev/null"), QStringLiteral("-m"),
                                QStringLiteral("drv:///sample.drv/generic.ppd")});
    ASSERT_EQ(0, add.exitCode) << add.out.toStdString();
    EXPECT_EQ(CPrinterQueue::Ready, CPrinterQueue::Check(name));
    // Queue names are not case-sensitive in CUPS.
    EXPECT_EQ(CPrinterQueue::Ready, CPrinterQueue::Check(name.toLower()));

    QString message;
    EXPECT_TRUE(CPrinterQueue::Delete(name, &message)) << message.toStdString();
    EXPECT_TRUE(message.contains(QLatin1String("was deleted"))) << message.toStdString();
    EXPECT_EQ(CPrinterQueue::Missing, CPrinterQueue::Check(name));
    EXPECT_NE(0, RunProgram(QStringLiteral("lpstat"), {QStringLiteral("-p"), name}).exitCode);

    EXPECT_TRUE(CPrinterQueue::Delete(name, &message));
    EXPECT_TRUE(message.contains(QLatin1String("not installed"))) << message.toStdString();

    // The real queue was left alone.
    EXPECT_EQ(CPrinterQueue::Ready, CPrinterQueue::Check(kQueue, &message)) << message.toStdString();
}

// A scheduler that is not there, or that takes the connection and never answers,
// gives NoService within a few seconds (libcups alone would wait a minute or more).
TEST(PrinterQueue, NoServiceComesQuicklyWhenTheSchedulerDoesNotAnswer)
{
    struct Case {
        const char* what;
        bool listening;
        qint64 boundMs;
    };
    for (const Case& c : {Case{"closed port", false, 2500}, Case{"silent server", true, 6000}}) {
        SCOPED_TRACE(c.what);
        DeadPort port(c.listening);
        ServerOverride server(port.Server());
        QElapsedTimer clock;
        clock.start();
        QString message;
        EXPECT_EQ(CPrinterQueue::NoService, CPrinterQueue::Check(kQueue, &message));
        EXPECT_LT(clock.elapsed(), c.boundMs);
        EXPECT_TRUE(message.contains(QLatin1Char('"') + kQueue + QLatin1Char('"'))) << message.toStdString();
        EXPECT_TRUE(message.contains(c.listening ? QLatin1String("restart it with: sudo service cups restart")
                                                 : QLatin1String("Start it with: sudo service cups start")))
            << message.toStdString();
        if (!c.listening) {
            clock.restart();
            EXPECT_FALSE(CPrinterQueue::Delete(kQueue, &message));
            EXPECT_LT(clock.elapsed(), c.boundMs);
            EXPECT_TRUE(message.contains(QLatin1String("cannot be deleted"))) << message.toStdString();
        }
    }

    // A local socket path where no scheduler listens.
    QTemporaryDir dir;
    ServerOverride server(dir.filePath(QStringLiteral("cups.sock")));
    QString message;
    EXPECT_EQ(CPrinterQueue::NoService, CPrinterQueue::Check(kQueue, &message));
    EXPECT_TRUE(message.contains(QLatin1String("CUPS"))) << message.toStdString();
}

// Without administrator rights the queue stays, and the refusal is reported.
TEST(PrinterQueue, DeleteWithoutRightsFailsAndKeepsTheQueue)
{
    REQUIRE_CUPS();
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to try a deletion as an ordinary user";
    const QString name = OwnQueueName("Rights");
    ASSERT_EQ(0, RunProgram(QStringLiteral("lpadmin"),
                            {QStringLiteral("-p"), name, QStringLiteral("-v"), QStringLiteral("file:///dev/null")})
                     .exitCode);
    int pipeFds[2];
    ASSERT_EQ(0, ::pipe(pipeFds));
    const pid_t child = ::fork();
    ASSERT_NE(-1, child);
    if (child == 0) {
        ::close(pipeFds[0]);
        const uid_t nobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
            ::_exit(3);
        cupsSetUser(nullptr); // the user name cached before the switch
        QString message;
        const bool ok = CPrinterQueue::Delete(name, &message);
        const QByteArray text = message.toUtf8();
        (void)!::write(pipeFds[1], text.constData(), text.size());
        ::_exit(ok ? 0 : 1);
    }
    ::close(pipeFds[1]);
    QByteArray text;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof(buffer))) > 0;)
        text.append(buffer, n);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(1, WEXITSTATUS(status)) << text.toStdString();
    EXPECT_TRUE(text.contains("needs administrator rights")) << text.toStdString();

    EXPECT_EQ(CPrinterQueue::Ready, CPrinterQueue::Check(name));
    EXPECT_TRUE(CPrinterQueue::Delete(name));
}
