#include "engine/GhostscriptServer.h"

#include "engine/ToUnicodeCheck.h"

#include "engine/GhostscriptCommand.h"
#include "engine/Pdfmarks.h"
#include "engine/PrivateFile.h"
#include "engine/ToUnicodeCheck.h"
#include "platform/StopGate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

// Defined once per process. A job's steps run inside "stopped": the first
// error is printed as one line and marks the job failed, and its later steps
// are skipped. The end of a job closes its PDF (the output switches to
// /dev/null) and prints the job's end line, on a line of its own even after
// text a print file printed without a newline. Each definition is one line:
// the process runs its input line by line.
const char* const kPrelude =
    "/orvik.fail { userdict /orvik.failed true put (Error: ) print $error /errorname get ==only ( in ) print "
    "$error /command get ==only (\\n) print $error /newerror false put } bind def\n"
    "/orvik.do { userdict /orvik.failed get { pop } { stopped { orvik.fail } if } ifelse } bind def\n"
    "/orvik.run { /run load 2 array astore cvx orvik.do } bind def\n"
    "/orvik.older { << /NEWPDF false >> begin stopped end { stop } if } bind def\n"
    "/orvik.runolder { /run load 2 array astore cvx /orvik.older cvx 2 array astore cvx orvik.do } bind def\n"
    "/orvik.end { { << /OutputFile (/dev/null) >> setpagedevice } stopped { orvik.fail } if "
    "(\\n%%[orvik-job ) print =only userdict /orvik.failed get { ( failed]%%) } { ( ok]%%) } ifelse print "
    "(\\n) print flush userdict /orvik.failed false put } bind def\n"
    "userdict /orvik.failed false put\n";

QByteArray EndLine(int job, bool failed)
{
    return QByteArray("%%[orvik-job ") + QByteArray::number(job) + (failed ? " failed]%%" : " ok]%%");
}

// Ghostscript checks the names it opens against its permitted folders as
// text: both sides are written the same way, absolute and clean.
QString AbsolutePath(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// What one line of output tells about why a job failed, and how well: an
// error report ("Error: /name in command", perhaps after text a print file
// printed without a newline) outranks any other line that mentions an error,
// such as the notice about a repaired file that comes before the real error.
struct Diagnostic {
    int weight = 0; // 0: nothing
    QString text;
};

Diagnostic DiagnosticOf(const QString& line)
{
    static const QRegularExpression report(QStringLiteral("Error: /\\S+ in "));
    if (!line.contains(QLatin1String("Error"), Qt::CaseInsensitive) ||
        line.contains(QLatin1String("Password"), Qt::CaseInsensitive))
        return {};
    const QRegularExpressionMatch m = report.match(line);
    return m.hasMatch() ? Diagnostic{2, line.mid(m.capturedStart())} : Diagnostic{1, line};
}

// Writing into the pipe of a Ghostscript that has ended must not end this
// program: SIGPIPE is blocked on this thread while it writes, and one it
// raised is taken back before the block is lifted.
class PipeSignalBlock {
public:
    PipeSignalBlock()
    {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_old);
    }
    ~PipeSignalBlock()
    {
        const timespec none{0, 0};
        while (sigtimedwait(&m_pipe, nullptr, &none) > 0) {
        }
        pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }

private:
    sigset_t m_pipe;
    sigset_t m_old;
};

} // namespace

GhostscriptServer::GhostscriptServer(const QString& readFolder, const QString& writeFolder,
                                     const QString& interpreter)
    : m_strReadFolder(AbsolutePath(readFolder)),
      m_strWriteFolder(AbsolutePath(writeFolder)),
      m_strInterpreter(interpreter)
{
}

GhostscriptServer::~GhostscriptServer()
{
    End();
}

pid_t GhostscriptServer::Pid() const
{
    return m_pProcess && m_pProcess->Running() ? m_pProcess->Pid() : 0;
}

QByteArray GhostscriptServer::PostScriptString(const QByteArray& bytes)
{
    QByteArray out("(");
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '(' || c == ')' || c == '\\')
            out += '\\', out += c;
        else if (u < 0x20 || u > 0x7E)
            out += '\\' + QByteArray::number(u, 8).rightJustified(3, '0');
        else
            out += c;
    }
    return out + ')';
}

QString GhostscriptServer::KeyOf(const Job& job) const
{
    const ConversionOptions& o = job.options;
    // The distiller settings stay with the process from job to job, so they belong to its key.
    return QStringList{GhostscriptCommand::SecurityArguments(o).join(QLatin1Char(' ')),
                       GhostscriptCommand::EffectiveLevel(o),
                       o.m_strDocCompression, o.m_strImageCompression, o.m_strJpegQuality,
                       o.m_bPdfA ? QStringLiteral("PDF/A") : QString()}
        .join(QLatin1Char('\n'));
}

bool GhostscriptServer::StartFor(const Job& job, Outcome* outcome)
{
    End();
    QString error;
    if (job.options.SecurityApplies()) {
        m_strArgumentFile = PrivateFile::CreateUnique(m_strReadFolder, QStringLiteral("gs-args-"), QString(), &error);
        const QByteArray text = GhostscriptCommand::ArgumentFileText(job.options).toLatin1();
        if (m_strArgumentFile.isEmpty() || !PrivateFile::Write(m_strArgumentFile, text, &error)) {
            End();
            outcome->started = false;
            outcome->message = error;
            return false;
        }
    }
    const GhostscriptCommand command = GhostscriptCommand::BuildServer(
        job.options,
        GhostscriptFiles{m_strInterpreter, QStringLiteral("/dev/null"), {}, QString(), m_strArgumentFile, false},
        m_strReadFolder, m_strWriteFolder);
    m_pProcess = std::make_unique<ChildProcess>();
    m_pProcess->SetPiped(true);
    // Its scratch files go into the private folder, so an interrupted run leaves none in /tmp.
    m_pProcess->SetExtraEnvironment({QStringLiteral("TMPDIR=") + m_strReadFolder});
    if (!m_pProcess->Start(command.Program(), command.Arguments(), &error)) {
        End();
        outcome->started = false;
        outcome->message = QStringLiteral("Ghostscript could not be started: %1").arg(error);
        return false;
    }
    fcntl(m_pProcess->InputFd(), F_SETFL, fcntl(m_pProcess->InputFd(), F_GETFL) | O_NONBLOCK);
    m_strKey = KeyOf(job);
    m_baToSend = QByteArray(kPrelude);
    return true;
}

QByteArray GhostscriptServer::JobText(const Job& job) const
{
    const QByteArray output = PostScriptString(
        QFile::encodeName(GhostscriptCommand::EscapeOutputName(AbsolutePath(job.outputPdf))));
    QByteArray text = "% job " + QByteArray::number(m_nJob) + "\n";
    text += "{ << /OutputFile " + output + " >> setpagedevice } orvik.do\n";
    // The distiller parameters act only on pages read after them; the document
    // information must come after the pages, or the print files' own title wins.
    text += RunLine(job.pdfmarks);
    if (!job.opening.isEmpty())
        text += RunLine(job.opening);
    for (const QString& input : job.inputFiles)
        text += InputLine(input, job.bookmarks.value(input));
    return text;
}

GhostscriptServer::Outcome GhostscriptServer::Run(const Job& job, StopGate* gate)
{
    Outcome outcome = Begin(job, gate);
    return outcome.ok ? Finish(gate) : outcome;
}

GhostscriptServer::Outcome GhostscriptServer::Begin(const Job& job, StopGate* gate)
{
    Outcome outcome;
    if (gate && gate->StopRequested()) {
        outcome.stopped = true;
        return outcome;
    }
    if ((!m_pProcess || !m_pProcess->Running() || KeyOf(job) != m_strKey) && !StartFor(job, &outcome))
        return outcome;
    ++m_nJob;
    m_strDiagnostic.clear();
    m_nDiagnosticWeight = 0;
    m_baReceived.clear();
    m_strPdfmarks = job.pdfmarks;
    m_strClosing = job.closing;
    // m_baToSend holds what is still to be sent: the prelude of a new process, then the job.
    m_baToSend += JobText(job);
    Flush();
    outcome.ok = true;
    return outcome;
}

bool GhostscriptServer::Add(const QString& inputFile, const QString& bookmark)
{
    if (!m_pProcess || !m_pProcess->Running())
        return false;
    m_baToSend += InputLine(inputFile, bookmark);
    Flush();
    return m_pProcess->Running();
}

GhostscriptServer::Outcome GhostscriptServer::Finish(StopGate* gate)
{
    Outcome outcome;
    if (!m_pProcess) {
        outcome.stopped = gate && gate->StopRequested();
        return outcome;
    }
    m_baToSend += RunLine(m_strPdfmarks);
    if (!m_strClosing.isEmpty())
        m_baToSend += RunLine(m_strClosing);
    m_baToSend += QByteArray::number(m_nJob) + " orvik.end\n";
    bool failed = false;
    bool ended;
    {
        // Attached only while the job's end is awaited: a stop ends it, even one asked just before.
        StopGateAttachment attachment(gate, m_pProcess.get());
        ended = AwaitEnd(&failed);
    }
    if (!ended)
        return Ended(gate);
    if (failed) {
        // What a failed job leaves in the interpreter is unknown: the next job gets a fresh one.
        outcome.message = m_strDiagnostic;
        End();
        return outcome;
    }
    outcome.ok = true;
    return outcome;
}

void GhostscriptServer::Abandon()
{
    // Its PDF is not wanted: what it still has to read would only delay the end.
    if (m_pProcess)
        m_pProcess->Kill();
    End();
    // A Ghostscript ended at once leaves its scratch files; this server's is
    // the only Ghostscript that keeps them in the read folder.
    QDir folder(m_strReadFolder);
    for (const QString& name : folder.entryList({QStringLiteral("gs_*")}, QDir::Files | QDir::Hidden))
        folder.remove(name);
}

QByteArray GhostscriptServer::RunLine(const QString& file)
{
    return PostScriptString(QFile::encodeName(AbsolutePath(file))) + " orvik.run\n";
}

QByteArray GhostscriptServer::InputLine(const QString& file)
{
    // The older reader is asked for by a NEWPDF of false on the dictionary
    // stack while the file is read, so one process serves files of both kinds.
    const char* const run = ToUnicodeCheck::NeedsOlderReader(file) ? " orvik.runolder\n" : " orvik.run\n";
    return PostScriptString(QFile::encodeName(AbsolutePath(file))) + run;
}

QByteArray GhostscriptServer::InputLine(const QString& file, const QString& bookmark)
{
    if (bookmark.isEmpty())
        return InputLine(file);
    return "{ " + Pdfmarks::Bookmark(bookmark).toLatin1() + " } orvik.do\n" + InputLine(file);
}

void GhostscriptServer::Flush()
{
    PipeSignalBlock noSigpipe;
    while (!m_baToSend.isEmpty() && WriteSome()) {
    }
    // What it printed meanwhile is kept, so that it never waits on a full pipe.
    char buffer[4096];
    ssize_t n;
    pollfd output{m_pProcess->OutputFd(), POLLIN, 0};
    while (poll(&output, 1, 0) > 0 && (n = ::read(output.fd, buffer, sizeof buffer)) > 0)
        m_baReceived.append(buffer, n);
}

bool GhostscriptServer::WriteSome()
{
    const ssize_t n = ::write(m_pProcess->InputFd(), m_baToSend.constData(), size_t(m_baToSend.size()));
    if (n > 0) {
        m_baToSend.remove(0, n);
        return true;
    }
    if (n < 0 && errno == EINTR)
        return true;
    if (n < 0 && errno != EAGAIN)
        m_baToSend.clear(); // the process has ended; its output tells the rest
    return false;
}

bool GhostscriptServer::TakeLines(bool* failed)
{
    const QByteArray ok = EndLine(m_nJob, false);
    const QByteArray bad = EndLine(m_nJob, true);
    qsizetype newline;
    while ((newline = m_baReceived.indexOf('\n')) >= 0) {
        const QByteArray line = m_baReceived.left(newline).trimmed();
        m_baReceived.remove(0, newline + 1);
        if (line.contains(ok) || line.contains(bad)) {
            *failed = line.contains(bad);
            return true;
        }
        const Diagnostic diagnostic = DiagnosticOf(QString::fromUtf8(line));
        if (diagnostic.weight > m_nDiagnosticWeight) {
            m_strDiagnostic = diagnostic.text;
            m_nDiagnosticWeight = diagnostic.weight;
        }
    }
    return false;
}

bool GhostscriptServer::AwaitEnd(bool* failed)
{
    PipeSignalBlock noSigpipe;
    const int in = m_pProcess->InputFd();
    const int out = m_pProcess->OutputFd();
    // Writing and reading at once: a long job must not fill one pipe while this side waits on the other.
    for (;;) {
        if (TakeLines(failed))
            return true;
        pollfd fds[2] = {{out, POLLIN, 0}, {m_baToSend.isEmpty() ? -1 : in, POLLOUT, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (fds[1].revents & (POLLOUT | POLLERR | POLLHUP))
            WriteSome();
        if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        char buffer[4096];
        const ssize_t n = ::read(out, buffer, sizeof buffer);
        if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN))
            return false;
        if (n > 0)
            m_baReceived.append(buffer, n);
    }
}

GhostscriptServer::Outcome GhostscriptServer::Ended(StopGate* gate)
{
    Outcome outcome;
    m_pProcess->WaitForExit(2000);
    outcome.exitCode = m_pProcess->Running() ? -1 : m_pProcess->ExitCode();
    outcome.stopped = gate && gate->StopRequested();
    outcome.message = m_strDiagnostic;
    End();
    return outcome;
}

void GhostscriptServer::End()
{
    if (m_pProcess) {
        // The end of its input ends an idle Ghostscript; one that does not go is ended.
        m_pProcess->CloseInput();
        if (!m_pProcess->WaitForExit(2000))
            m_pProcess->Kill();
        m_pProcess.reset();
    }
    if (!m_strArgumentFile.isEmpty())
        QFile::remove(m_strArgumentFile);
    m_strArgumentFile.clear();
    m_strKey.clear();
    m_baToSend.clear();
    m_baReceived.clear();
}
