#include "cli/TerminalPrompts.h"

#include "cli/QuietTerminal.h"
#include "cli/WakePipe.h"

#include <QByteArray>

namespace {
constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr int kYes = 6;
constexpr int kNo = 7;
// Longer than any password anyone types.
constexpr qsizetype kMaxLine = 64 * 1024;
} // namespace

TerminalPrompts::TerminalPrompts(const WakePipe& stop, bool overwrite, bool havePassword, const QString& password,
                                 FILE* messages)
    : m_stop(stop), m_bOverwrite(overwrite), m_bHavePassword(havePassword), m_strPassword(password),
      m_pMessages(messages)
{
}

int TerminalPrompts::ShowMessageBox(const QString& text, int type)
{
    if (type == 0) {
        ShowPlainMessage(text);
        return kYes;
    }
    // The only yes-or-no question of a run: replace an existing PDF.
    return m_bOverwrite ? kYes : kNo;
}

void TerminalPrompts::ShowPlainMessage(const QString& text)
{
    std::fprintf(m_pMessages, "orvik-xl2pdf: %s\n", text.simplified().toLocal8Bit().constData());
    std::fflush(m_pMessages);
}

int TerminalPrompts::AskWorkbookPassword(const QString& fileName, QString* password)
{
    password->clear();
    if (m_bHavePassword && !m_bFileTried) {
        m_bFileTried = true;
        *password = m_strPassword;
        return kOk;
    }
    const QString prompt = (m_nTerminalAsks > 0 || m_bFileTried ? QStringLiteral("Wrong password. ") : QString())
                           + QStringLiteral("Password for %1 (Ctrl-D skips it): ").arg(fileName);
    ++m_nTerminalAsks;
    QString typed;
    if (!ReadFromTerminal(prompt, &typed))
        return kCancel;
    *password = typed;
    return kOk;
}

void TerminalPrompts::NewWorkbook()
{
    m_bFileTried = false;
    m_nTerminalAsks = 0;
}

bool TerminalPrompts::ReadFromTerminal(const QString& prompt, QString* line)
{
    QuietTerminal tty;
    if (!tty.IsOpen() || !tty.EchoOff()) {
        m_bNoOneToAsk = true;
        return false;
    }
    tty.Write(prompt.toLocal8Bit());
    QByteArray bytes;
    // Ctrl-D on an empty line ends the input: the workbook is skipped.
    const WakePipe::Read end = m_stop.ReadLine(tty.Fd(), kMaxLine, &bytes);
    if (end == WakePipe::Read::Woken)
        tty.Write(QByteArrayLiteral("\n")); // the question's line, left open by the stop
    if (end != WakePipe::Read::Line)
        return false;
    *line = QString::fromLocal8Bit(bytes.left(bytes.indexOf('\n')));
    return true;
}
