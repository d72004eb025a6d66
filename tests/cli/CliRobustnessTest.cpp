// orvik-xl2pdf under a hostile but realistic user: stops at any moment, two
// workbooks of one name, file names in several scripts without a locale, a
// killed program, Windows password files, full or unwritable folders, files
// that are no workbooks. Everything runs through the real office and Ghostscript.
#include "CliFixture.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>

#include <sys/mount.h>
#include <sys/stat.h>

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
