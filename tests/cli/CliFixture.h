#pragma once

// orvik-xl2pdf run as a program: each run gets a temporary folder of its own
// (TMPDIR) and no terminal (a new session), so that what it leaves behind and
// its password questions are under the test's eye.
#include "platform/PrinterQueue.h"
#include "support/RealTools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace clitest {

inline QString TestData(const QString& name)
{
    return QStringLiteral(ORVIK_TESTDATA_DIR "/") + name;
}

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs a program and returns its standard output ("" when it failed).
inline QString Output(const QString& program, const QStringList& args, int* code = nullptr)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    if (code)
        *code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput());
}

// One pdfinfo field of a PDF opened with the given password.
inline QString PdfInfo(const QString& pdf, const QString& field, const QString& userPassword = QString())
{
    QStringList args;
    if (!userPassword.isEmpty())
        args << "-upw" << userPassword;
    for (const QString& line : Output("pdfinfo", args << pdf).split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed();
    return {};
}

// The test's side of a new pseudo-terminal (ptsname names the program's), or -1.
inline int OpenTerminal()
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master >= 0 && (::grantpt(master) != 0 || ::unlockpt(master) != 0)) {
        ::close(master);
        return -1;
    }
    return master;
}

// Reads from the terminal's other end until the text comes (at most ms); all that was read.
inline QByteArray ReadUntil(int master, const QByteArray& text, QByteArray& seen, int ms = 120000)
{
    for (int waited = 0; !seen.contains(text) && waited < ms; waited += 50) {
        pollfd fd{master, POLLIN, 0};
        if (::poll(&fd, 1, 50) > 0) {
            char buffer[512];
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n > 0)
                seen.append(buffer, n);
        }
    }
    return seen;
}

class CliEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("soffice"), "LibreOffice (soffice)");
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("gs"), "Ghostscript (gs)");
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("qpdf"), "qpdf");
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("pdfinfo"), "poppler-utils (pdfinfo)");
        ORVIK_REQUIRE_TOOL(CPrinterQueue::Check(QString(CPrinterQueue::kQueueName)) == CPrinterQueue::Ready,
                           "CUPS with the printer queue OrvikExcelToPDF");
        QDir().mkpath(Tmp());
    }

    QString Tmp() const { return scratch.filePath("tmp"); }
    QString Pdf(const QString& base) const { return out.filePath(base + ".pdf"); }
    QString Secret(const QString& name, const QByteArray& text)
    {
        const QString path = scratch.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text);
        return path;
    }

    // What of the program goes to its terminal besides the terminal itself (/dev/tty).
    enum Wiring { kErrorToTerminal = 1, kInputFromTerminal = 2 };
    // terminal: the pseudo-terminal that becomes the program's terminal; empty: it has none.
    // wiring: its standard error and/or input go to that terminal too.
    void Start(QProcess& p, const QStringList& args, const QByteArray& terminal = {}, int wiring = 0)
    {
        QProcessEnvironment env = environment;
        if (!env.contains("TMPDIR"))
            env.insert("TMPDIR", Tmp());
        p.setProcessEnvironment(env);
        // A new session: no terminal, so a password question cannot reach a person,
        // unless a pseudo-terminal is opened as its terminal.
        p.setChildProcessModifier([terminal, wiring] {
            ::setsid();
            const int fd = terminal.isEmpty() ? -1 : ::open(terminal.constData(), O_RDWR);
            if (fd >= 0 && (wiring & kErrorToTerminal))
                ::dup2(fd, STDERR_FILENO);
            if (fd >= 0 && (wiring & kInputFromTerminal))
                ::dup2(fd, STDIN_FILENO);
        });
        p.start(QStringLiteral(ORVIK_XL2PDF), args);
        ASSERT_TRUE(p.waitForStarted());
    }
    CliResult Run(const QStringList& args, const QByteArray& input = {})
    {
        QProcess p;
        Start(p, args);
        p.write(input);
        p.closeWriteChannel();
        return Finished(p);
    }
    static CliResult Finished(QProcess& p)
    {
        p.waitForFinished(300000);
        CliResult r;
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    // Nothing left in the program's temporary folder: no run folder, nothing of its office.
    void ExpectNothingLeft()
    {
        const QDir tmp(Tmp());
        EXPECT_EQ(QStringList(), tmp.entryList({"orvik-*"}, QDir::AllEntries | QDir::Hidden)) << "run folder left";
        EXPECT_EQ(QStringList(), tmp.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
            << "the office left its temporary files";
        EXPECT_EQ(QStringList(), QDir(out.path()).entryList({"*.part"}, QDir::Files | QDir::Hidden));
    }

    QTemporaryDir scratch, out;
    // The program's environment (TMPDIR is added when it has none).
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
};

} // namespace clitest
