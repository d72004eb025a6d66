// orvik-xl2pdf under a hostile but realistic user: stops at any moment, two
// workbooks of one name, file names in several scripts without a locale, a
// killed program, Windows password files, full or unwritable folders, files
// that are no workbooks. Everything runs through the real office and Ghostscript.
#include "CliFixture.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>

#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <termios.h>

using namespace clitest;

namespace {

// Long enough for any stop to take effect; the old fault took two minutes.
constexpr int kStopBoundMs = 10000;

class CliRobustness : public CliEndToEnd {
protected:
    // A copy of a sample workbook at path (below scratch), folders made.
    QString Copy(const QString& sample, const QString& relative)
    {
        const QString path = scratch.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile::remove(path);
        EXPECT_TRUE(QFile::copy(TestData(sample), path));
        return path;
    }
    QString Make(const QString& relative, const QByteArray& content)
    {
        const QString path = scratch.filePath(relative);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return path;
    }
    // Processes whose command line names the program's temporary or output folder. A process
    // killed with its group (an office's own children) may take a moment to go.
    QStringList Leftovers() const
    {
        QStringList left = ProcessesNamingOurFolders();
        for (int i = 0; i < 100 && !left.isEmpty(); ++i) {
            QThread::msleep(20);
            left = ProcessesNamingOurFolders();
        }
        return left;
    }
    QStringList ProcessesNamingOurFolders() const
    {
        QStringList left;
        for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
            QFile cmdline("/proc/" + entry + "/cmdline");
            if (!cmdline.open(QIODevice::ReadOnly))
                continue;
            const QByteArray line = cmdline.readAll();
            if (line.contains(Tmp().toUtf8()) || line.contains(out.path().toUtf8()))
                left << entry + ": " + QString::fromUtf8(line).replace(QChar(0), ' ');
        }
        return left;
    }
    // A "gs" first on PATH that waits for a file before it becomes the real one.
    // A "gs" first on PATH that runs the real one and holds it once a
    // workbook's pages are all read, before its PDF is finished: it writes its
    // process id into "pid", then "started" when it holds, until "release".
    // Ghostscript takes its jobs line by line; the hold goes before a job's end line.
    QString HoldGhostscript()
    {
        const QString dir = scratch.filePath("gs-hold");
        QDir().mkpath(dir);
        const QString realGs = QStandardPaths::findExecutable("gs");
        QFile script(dir + "/gs");
        EXPECT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QString("#!/bin/sh\necho $$ > '%1/pid'\nmkfifo '%1/in.'$$\nexec 3<&0\n"
                             "sed -u 's|^[0-9][0-9]* orvik.end$|(%1/started) (w) file closefile "
                             "{ (%1/release) status { pop pop pop pop exit } if } loop &|' "
                             "<&3 >'%1/in.'$$ 2>/dev/null &\n"
                             "exec '%2' --permit-file-all='%1/' \"$@\" <'%1/in.'$$ 3<&-\n")
                         .arg(dir, realGs)
                         .toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment.insert("PATH", dir + ":" + environment.value("PATH"));
        return dir;
    }
    // Signals the program while it runs (an ended QProcess has no process id,
    // and a signal to id 0 would reach this test's own process group).
    static void Signal(QProcess& p, int signal)
    {
        if (p.processId() > 0)
            ::kill(pid_t(p.processId()), signal);
    }
    // True once the program has started (at most ms): it blocks the stop signals
    // for its signal thread, its first step; a signal before that ends any program.
    static bool WaitStarted(QProcess& p, int ms = 10000)
    {
        for (int waited = 0; waited < ms; waited += 5) {
            QFile status(QString("/proc/%1/status").arg(p.processId()));
            if (status.open(QIODevice::ReadOnly))
                for (const QByteArray& line : status.readAll().split('\n'))
                    if (line.startsWith("SigBlk:") && (line.mid(7).trimmed().toULongLong(nullptr, 16) & (1u << (SIGINT - 1))))
                        return true;
            QThread::msleep(5);
        }
        return false;
    }
    // True once the program has the file open (at most ms).
    static bool WaitOpened(QProcess& p, const QString& path, int ms = 5000)
    {
        const QDir fds(QString("/proc/%1/fd").arg(p.processId()));
        for (int waited = 0; waited < ms; waited += 20) {
            for (const QFileInfo& fd : fds.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
                if (fd.symLinkTarget() == path)
                    return true;
            QThread::msleep(20);
        }
        return false;
    }
    // The program run by a shell, so that words such as "$(printf 'caf\351')" give it names
    // that are not UTF-8; it runs in scratch.
    CliResult RunInShell(const QString& words)
    {
        QProcess p;
        QProcessEnvironment env = environment;
        env.insert("TMPDIR", Tmp());
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(scratch.path());
        p.start("sh", {"-c", "exec \"$0\" " + words, ORVIK_XL2PDF});
        p.closeWriteChannel();
        return Finished(p);
    }
    static bool WaitFile(const QString& path, int ms = 120000)
    {
        for (int waited = 0; !QFile::exists(path) && waited < ms; waited += 20)
            QThread::msleep(20);
        return QFile::exists(path);
    }
};

// A stop at any moment ends the run quickly, the office with it; a stop before
// the office answers used to be ignored for two minutes.
TEST_F(CliRobustness, AStopAtAnyMomentEndsTheRunAndEveryChild)
{
    for (int delayMs : {50, 300, 800, 1500}) {
        SCOPED_TRACE(delayMs);
        QProcess p;
        Start(p, {TestData("SampleSS.xlsx"), TestData("WithTextBox.xlsx"), "-o", out.path()});
        ASSERT_TRUE(WaitStarted(p));
        QThread::msleep(delayMs);
        Signal(p, SIGINT);
        QElapsedTimer timer;
        timer.start();
        ASSERT_TRUE(p.waitForFinished(kStopBoundMs)) << "the run went on after the stop";
        EXPECT_LT(timer.elapsed(), kStopBoundMs);
        EXPECT_EQ(QProcess::NormalExit, p.exitStatus());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_FALSE(err.contains("Couldn't get Excel object")) << err.toStdString();
        EXPECT_EQ(QStringList(), Leftovers()) << Leftovers().join('\n').toStdString();
        ExpectNothingLeft();
        for (const QString& pdf : QDir(out.path()).entryList(QDir::Files))
            QFile::remove(out.filePath(pdf));
    }
}

// The first stop lets the PDF whose sheets are all printed be finished; a
// second one ends Ghostscript at once and leaves nothing half-written.
TEST_F(CliRobustness, ASecondStopEndsGhostscriptAtOnce)
{
    const QString hold = HoldGhostscript();
    QProcess p;
    Start(p, {TestData("SampleSS.xlsx"), "-o", out.path()});
    ASSERT_TRUE(WaitFile(hold + "/started"));
    Signal(p, SIGINT);
    EXPECT_FALSE(p.waitForFinished(500)) << "the first stop ended the joining of a printed workbook";
    Signal(p, SIGINT);
    ASSERT_TRUE(p.waitForFinished(kStopBoundMs));
    const CliResult r = Finished(p);
    EXPECT_EQ(1, r.exitCode);
    EXPECT_TRUE(r.err.contains("stopping at once.")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("0 of 1 workbook(s) converted, 1 not converted. Stopped.")) << r.err.toStdString();
    EXPECT_EQ(QStringList(), Leftovers());
    EXPECT_EQ(QStringList(), QDir(out.path()).entryList(QDir::Files | QDir::Hidden));
    ExpectNothingLeft();
}

// A stop while the program waits for a password ends it at once, with exit
// status 1: a FIFO nobody writes, under each stop signal, and one whose writer
// never ends the line.
TEST_F(CliRobustness, AStopEndsTheWaitForAPasswordFile)
{
    const QString fifo = scratch.filePath("owner.fifo");
    ASSERT_EQ(0, ::mkfifo(QFile::encodeName(fifo).constData(), 0600));
    const std::pair<int, bool> cases[] = {{SIGINT, false}, {SIGTERM, false}, {SIGHUP, false}, {SIGINT, true}};
    for (const auto& [stop, writerCase] : cases) {
        SCOPED_TRACE(testing::Message() << "signal " << stop << (writerCase ? ", half a line written" : ""));
        QProcess p;
        Start(p, {"--owner-password-file", fifo, TestData("SampleSS.xlsx"), "-o", out.path()});
        int writer = -1;
        if (writerCase) {
            // A writer gets in only once the program reads; the FIFO empties when it has read.
            for (int waited = 0; writer < 0 && waited < kStopBoundMs; waited += 20) {
                writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                QThread::msleep(writer < 0 ? 20 : 0);
            }
            ASSERT_EQ(4, ::write(writer, "half", 4));
            for (int queued = 1, waited = 0; queued > 0 && waited < kStopBoundMs; waited += 20) {
                QThread::msleep(20);
                ::ioctl(writer, FIONREAD, &queued);
            }
        } else {
            WaitOpened(p, fifo); // the old program never got this far: it waited in the open
        }
        Signal(p, stop);
        const bool ended = p.waitForFinished(kStopBoundMs);
        if (writer >= 0)
            ::close(writer);
        ASSERT_TRUE(ended) << "the wait for the password went on after the stop";
        const CliResult r = Finished(p);
        EXPECT_EQ(1, r.exitCode);
        EXPECT_TRUE(r.err.contains("orvik-xl2pdf: stopped before any workbook was converted.")) << r.err.toStdString();
    }
    ExpectNothingLeft();
}

// A password typed on the terminal for "-" is asked for and not shown; Ctrl-C
// ends the wait, and the terminal gets its echo back.
TEST_F(CliRobustness, APasswordFromTheTerminalIsNotShownAndCtrlCEndsTheWait)
{
    const int master = OpenTerminal();
    ASSERT_GE(master, 0);
    const QByteArray terminal(::ptsname(master));
    const int slave = ::open(terminal.constData(), O_RDWR | O_NOCTTY); // keeps the terminal between the programs
    const QStringList args{"--owner-password-file", "-", scratch.filePath("missing.xlsx"), "-o", out.path()};

    // A whole line is taken: the program goes on to the workbook (which is not
    // there), so any echo of the password has come by then.
    QProcess typed;
    Start(typed, args, terminal, kErrorToTerminal | kInputFromTerminal);
    QByteArray seen;
    EXPECT_TRUE(ReadUntil(master, "Owner password", seen, kStopBoundMs).contains("of the PDFs: ")) << seen.toStdString();
    ASSERT_EQ(8, ::write(master, "secret7\n", 8));
    EXPECT_TRUE(ReadUntil(master, "converted.", seen, kStopBoundMs).contains("missing.xlsx: not converted: no such file."))
        << seen.toStdString();
    EXPECT_FALSE(seen.contains("secret7")) << "the typed password was shown: " << seen.toStdString();
    EXPECT_TRUE(typed.waitForFinished(kStopBoundMs));

    QProcess stopped;
    Start(stopped, args, terminal, kErrorToTerminal | kInputFromTerminal);
    seen.clear();
    ReadUntil(master, "Owner password", seen, kStopBoundMs);
    ASSERT_EQ(4, ::write(master, "sec\x03", 4)); // Ctrl-C while typing
    const bool ended = stopped.waitForFinished(kStopBoundMs);
    ReadUntil(master, "converted.", seen, 1000);
    termios after{};
    ::tcgetattr(slave, &after);
    ::close(slave);
    ::close(master);
    ASSERT_TRUE(ended) << "Ctrl-C did not end the wait for the password";
    EXPECT_EQ(1, stopped.exitCode());
    EXPECT_TRUE(seen.contains("stopped before any workbook was converted.")) << seen.toStdString();
    EXPECT_TRUE(after.c_lflag & ECHO) << "the terminal was left without echo";
}

// Two workbooks of one base name: the second never replaces the PDF the first
// made in this run, with --overwrite or without; a PDF from before the run is
// replaced with --overwrite only.
TEST_F(CliRobustness, TwoWorkbooksOfOneNameKeepTheFirstPdf)
{
    const QString a = Copy("SampleSS.xlsx", "a/Book.xlsx");
    const QString b = Copy("WithTextBox.xlsx", "b/Book.xlsx");
    const QString pdf = Pdf("Book");
    for (const QStringList& extra : {QStringList{"--overwrite"}, QStringList{}}) {
        SCOPED_TRACE(extra.join(' ').toStdString());
        QFile::remove(pdf);
        const CliResult r = Run(extra + QStringList{a, b, "-o", out.path()});
        EXPECT_EQ(1, r.exitCode) << r.err.toStdString();
        EXPECT_EQ(pdf + '\n', r.out) << "the same PDF printed twice";
        EXPECT_TRUE(r.err.contains(b + ": not converted: " + pdf + " was made from " + a + " earlier in this run."))
            << r.err.toStdString();
        EXPECT_FALSE(r.err.contains("--overwrite replaces")) << "advice that leads to the loss";
        EXPECT_TRUE(Output("pdftotext", {pdf, "-"}).contains("Test spreadsheet")) << "the PDF is not the first workbook's";
    }
    // A PDF from an earlier run is replaced with --overwrite.
    const CliResult again = Run({"--overwrite", b, "-o", out.path()});
    EXPECT_EQ(0, again.exitCode) << again.err.toStdString();
    EXPECT_FALSE(Output("pdftotext", {pdf, "-"}).contains("Test spreadsheet"));
    ExpectNothingLeft();
}

// File names are bytes: without any locale (cron, services, env -i) names in
// several scripts convert as they do under a UTF-8 locale.
TEST_F(CliRobustness, NamesInFourScriptsConvertWithoutALocale)
{
    const QStringList names{"Café é/Tableau é.xlsx", "日本/売上 日本.xlsx", "Отчёт/Книга.xlsx", "Ελλάδα/Βιβλίο.xls"};
    QStringList args;
    for (const QString& name : names)
        args << Copy(name.endsWith(".xls") ? "SampleSS.xls" : "SampleSS.xlsx", name);
    environment = QProcessEnvironment();
    environment.insert("PATH", qEnvironmentVariable("PATH"));
    environment.insert("HOME", QDir::homePath());
    const CliResult r = Run(args << "-o" << out.path());
    EXPECT_EQ(0, r.exitCode) << r.err.toStdString();
    for (const QString& name : names) {
        const QString pdf = Pdf(QFileInfo(name).completeBaseName());
        EXPECT_TRUE(r.out.contains(pdf + '\n')) << pdf.toStdString();
        EXPECT_GT(PdfInfo(pdf, "Pages").toInt(), 0) << pdf.toStdString();
    }
    ExpectNothingLeft();
}

// Names that are not UTF-8 text (Latin-1 bytes) are refused with that reason,
// never as missing files: a workbook (exit 1), the output folder or a password
// file (exit 2); so is a document title, which would reach the PDF garbled.
TEST_F(CliRobustness, NamesThatAreNotUtf8AreRefusedForWhatTheyAre)
{
    const QByteArray dir = QFile::encodeName(scratch.path());
    // Qt cannot name these files, so the temporary folder could not remove them.
    struct RemoveRaw {
        QByteArray dir;
        ~RemoveRaw()
        {
            ::unlink((dir + "/caf\xe9.xlsx").constData());
            ::unlink((dir + "/cl\xe9").constData());
            ::rmdir((dir + "/d\xe9p\xf4t").constData());
        }
    } removeRaw{dir};
    ASSERT_TRUE(QFile::copy(TestData("SampleSS.xlsx"), scratch.filePath("book")));
    ASSERT_EQ(0, ::rename((dir + "/book").constData(), (dir + "/caf\xe9.xlsx").constData()));
    ASSERT_EQ(0, ::mkdir((dir + "/d\xe9p\xf4t").constData(), 0700));
    ASSERT_EQ(0, ::close(::open((dir + "/cl\xe9").constData(), O_CREAT | O_WRONLY, 0600)));
    const QString book = TestData("SampleSS.xlsx");

    const CliResult workbook = RunInShell("\"$(printf 'caf\\351.xlsx')\" -o " + out.path());
    EXPECT_EQ(1, workbook.exitCode);
    EXPECT_TRUE(workbook.err.contains("caf\\xe9.xlsx: not converted: its name is not valid UTF-8 text; rename the file."))
        << workbook.err.toStdString();
    EXPECT_FALSE(workbook.err.contains("no such file"));

    const CliResult folder = RunInShell(book + " -o \"$(printf 'd\\351p\\364t')\"");
    EXPECT_EQ(2, folder.exitCode);
    EXPECT_TRUE(folder.err.contains("the output folder d\\xe9p\\xf4t: its name is not valid UTF-8 text; rename it."))
        << folder.err.toStdString();

    const CliResult password = RunInShell("--owner-password-file \"$(printf 'cl\\351')\" " + book + " -o " + out.path());
    EXPECT_EQ(2, password.exitCode);
    EXPECT_TRUE(password.err.contains("the password file cl\\xe9: its name is not valid UTF-8 text; rename it."))
        << password.err.toStdString();
    const CliResult title = RunInShell("--title \"$(printf 'caf\\351')\" " + book + " -o " + out.path());
    EXPECT_EQ(2, title.exitCode);
    EXPECT_TRUE(title.err.contains("the value of --title is not valid UTF-8 text")) << title.err.toStdString();
    EXPECT_EQ(QStringList(), QDir(out.path()).entryList(QDir::Files));
    ExpectNothingLeft();
}

// A killed program takes Ghostscript with it; the next run removes what the
// killed one left (run and profile folders, the partial PDF), but nothing of a
// run still alive.
TEST_F(CliRobustness, AKilledRunIsSweptByTheNextOne)
{
    const QString hold = HoldGhostscript();
    QProcess p;
    Start(p, {TestData("SampleSS.xlsx"), "-o", out.path()});
    ASSERT_TRUE(WaitFile(hold + "/started"));
    QFile pidFile(hold + "/pid");
    ASSERT_TRUE(pidFile.open(QIODevice::ReadOnly));
    const pid_t gs = pid_t(pidFile.readAll().trimmed().toInt());
    Signal(p, SIGKILL);
    p.waitForFinished();
    for (int i = 0; i < 200 && QFile::exists(QString("/proc/%1").arg(gs)); ++i)
        QThread::msleep(10);
    QFile stat(QString("/proc/%1/stat").arg(gs));
    const bool gone = !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z");
    EXPECT_TRUE(gone) << "Ghostscript outlived the killed program";
    ASSERT_FALSE(QDir(Tmp()).entryList({"orvik-run-*"}, QDir::Dirs).isEmpty()) << "the killed run left nothing to sweep";
    ASSERT_FALSE(QDir(out.path()).entryList({".*.part"}, QDir::Files | QDir::Hidden).isEmpty());

    // What a live run (this test program) has in the same places stays.
    const QString live = QString::number(getpid());
    const QString liveFolder = Tmp() + "/orvik-run-" + live + "-Zz9Yy8";
    const QString livePart = out.filePath(".Live.pdf." + live + "-Ab12Cd.part");
    QDir().mkpath(liveFolder);
    QFile(livePart).open(QIODevice::WriteOnly);
    environment = QProcessEnvironment::systemEnvironment();
    const CliResult r = Run({TestData("WithTextBox.xlsx"), "-o", out.path()});
    EXPECT_EQ(0, r.exitCode) << r.err.toStdString();
    EXPECT_EQ(QStringList{"orvik-run-" + live + "-Zz9Yy8"}, QDir(Tmp()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    EXPECT_EQ((QStringList{".Live.pdf." + live + "-Ab12Cd.part", "WithTextBox.pdf"}),
              QDir(out.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name));
    QDir(liveFolder).removeRecursively();
    QFile::remove(livePart);
}

// Password files: a Windows line end is no part of the password; one longer
// than a PDF keeps whole is refused before anything starts.
TEST_F(CliRobustness, PasswordFilesWithCrLfAndThirtyThreeBytes)
{
    const QString owner = Secret("owner", "owner7\r\n");
    const QString user = Secret("user", "user9\r\n");
    const CliResult r = Run({"--owner-password-file", owner, "--user-password-file", user, TestData("SampleSS.xlsx"),
                             "-o", out.path()});
    ASSERT_EQ(0, r.exitCode) << r.err.toStdString();
    int code = 0;
    Output("qpdf", {"--check", "--password=user9", Pdf("SampleSS")}, &code);
    EXPECT_EQ(0, code) << "the PDF does not open with the password of the file";
    Output("qpdf", {"--check", "--password=user9\r", Pdf("SampleSS")}, &code);
    EXPECT_NE(0, code);

    const QString longOwner = Secret("long", QByteArray(33, 'o') + "\n");
    const CliResult refused = Run({"--owner-password-file", longOwner, TestData("SampleSS.xlsx"), "-o", out.path()});
    EXPECT_EQ(2, refused.exitCode);
    EXPECT_TRUE(refused.err.contains("The owner password is 33 characters long; a PDF password can have at most 32."))
        << refused.err.toStdString();
    ExpectNothingLeft();
}

// Files that never reach the office say what they are; a refused password of
// the password file is not told as a missing terminal.
TEST_F(CliRobustness, FilesThatAreNoWorkbooksSayWhatTheyAre)
{
    const QString empty = Make("empty.xlsx", "");
    const QString text = Make("notes.xlsx", "just some text, no workbook\n");
    const QString folder = scratch.filePath("folder.xlsx");
    QDir().mkpath(folder);
    const QString book = Secret("book", "wrong\n");
    const CliResult r = Run({"--workbook-password-file", book, empty, text, folder, TestData("protected_passtika.xlsx"),
                             "-o", out.path()});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_TRUE(r.err.contains(empty + ": not converted: it is empty, not a workbook.")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(text + ": not converted: it is not a workbook, or it is damaged.")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(folder + ": not converted: not a file."));
    EXPECT_TRUE(r.err.contains("protected_passtika.xlsx: not converted: the password of --workbook-password-file was "
                               "refused, and there is no terminal to ask for another."))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("0 of 4 workbook(s) converted, 4 not converted.")) << r.err.toStdString();
    if (getuid() != 0) { // root reads any file
        const QString locked = Copy("SampleSS.xlsx", "locked.xlsx");
        QFile::setPermissions(locked, QFile::WriteOwner);
        const CliResult unreadable = Run({locked, "-o", out.path()});
        EXPECT_TRUE(unreadable.err.contains(locked + ": not converted: it cannot be read:")) << unreadable.err.toStdString();
    }
    ExpectNothingLeft();
}

// The output folder is checked before anything starts: exit 2, at once.
TEST_F(CliRobustness, AnOutputFolderThatCannotTakeThePdfsIsRefusedFirst)
{
    const QString file = Make("plain-file", "x");
    const CliResult notFolder = Run({TestData("SampleSS.xlsx"), "-o", file});
    EXPECT_EQ(2, notFolder.exitCode);
    EXPECT_TRUE(notFolder.err.contains("the output folder " + file + " is not a folder.")) << notFolder.err.toStdString();

    const QString locked = scratch.filePath("locked");
    QDir().mkpath(locked);
    bool mounted = false;
    if (getuid() == 0)
        mounted = ::mount("tmpfs", QFile::encodeName(locked).constData(), "tmpfs", MS_RDONLY, "size=64k") == 0;
    else
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    if (getuid() == 0 && !mounted)
        GTEST_SKIP() << "no read-only file system could be mounted";
    const CliResult r = Run({TestData("SampleSS.xlsx"), TestData("WithTextBox.xlsx"), "-o", locked});
    if (mounted)
        ::umount(QFile::encodeName(locked).constData());
    EXPECT_EQ(2, r.exitCode);
    EXPECT_TRUE(r.err.contains("the output folder " + locked + " cannot be written: ")) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("SampleSS")) << "no workbook was started";
    ExpectNothingLeft();
}

// Without a home folder nothing is written at the root of the file system: the
// office's profile template goes to a private folder in the temporary folder.
TEST_F(CliRobustness, WithoutAHomeNothingIsWrittenAtTheRoot)
{
    const bool before = QFileInfo::exists("/.cache/orvik-excel-to-pdf");
    environment.remove("HOME");
    environment.remove("XDG_CACHE_HOME");
    const CliResult r = Run({TestData("SampleSS.xlsx"), "-o", out.path()});
    EXPECT_EQ(0, r.exitCode) << r.err.toStdString();
    if (!before) {
        EXPECT_FALSE(QFileInfo::exists("/.cache/orvik-excel-to-pdf"));
    }
    const QFileInfo cache(Tmp() + "/orvik-excel-to-pdf-" + QString::number(getuid()));
    EXPECT_TRUE(cache.isDir());
    EXPECT_EQ(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner,
              cache.permissions() & (QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                     | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
}

// A small tmpfs, full, as the temporary folder and as the output folder: each
// is named in the message, and a full temporary folder is found before the office starts.
TEST_F(CliRobustness, AFullTemporaryOrOutputFolderIsNamed)
{
    ORVIK_REQUIRE_TOOL(getuid() == 0, "root (to mount a small tmpfs)");
    const QString small = scratch.filePath("small");
    QDir().mkpath(small);
    ASSERT_EQ(0, ::mount("tmpfs", QFile::encodeName(small).constData(), "tmpfs", 0, "size=256k"));
    struct Unmount {
        QString path;
        ~Unmount() { ::umount2(QFile::encodeName(path).constData(), MNT_DETACH); }
    } unmount{small};
    Make("small/filler", QByteArray(200 * 1024, 'x'));
    QFile filler(small + "/filler2");
    filler.open(QIODevice::WriteOnly);
    while (filler.write(QByteArray(4096, 'x')) > 0 && filler.flush()) {
    }
    filler.close();

    environment.insert("TMPDIR", small);
    QElapsedTimer timer;
    timer.start();
    const CliResult tmpFull = Run({TestData("SampleSS.xlsx"), "-o", out.path()});
    EXPECT_EQ(1, tmpFull.exitCode);
    EXPECT_TRUE(tmpFull.err.contains("The temporary folder " + small + " is full")) << tmpFull.err.toStdString();
    EXPECT_TRUE(tmpFull.err.contains("SampleSS.xlsx: not converted: the temporary folder " + small + " is full."));
    EXPECT_LT(timer.elapsed(), 30000) << "no wait for an office that cannot start";

    environment.remove("TMPDIR");
    const CliResult outFull = Run({TestData("SampleSS.xlsx"), "-o", small});
    EXPECT_EQ(1, outFull.exitCode);
    EXPECT_TRUE(outFull.err.contains("SampleSS.xlsx: not converted: the disk of the output folder " + small + " is full."))
        << outFull.err.toStdString();
    EXPECT_EQ(QStringList({"filler", "filler2"}), QDir(small).entryList(QDir::Files | QDir::Hidden, QDir::Name));
}

} // namespace
