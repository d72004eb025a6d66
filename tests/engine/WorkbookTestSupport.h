#pragma once

// Shared by the workbook conversion tests: a queue of answers to the engine's
// questions, and small PDF helpers over the real Ghostscript and poppler.
#include "engine/ConversionPrompts.h"

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <deque>
#include <mutex>
#include <utility>

namespace workbooktest {

// Answers the engine's questions from a queue and records what was asked.
class QueuedPrompts : public ConversionPrompts {
public:
    // The next password prompt's answer: 1 (OK) with the password, or 2 (Cancel).
    void QueuePassword(int result, const QString& password = QString())
    {
        std::lock_guard lock(m_mutex);
        m_answers.emplace_back(result, password);
    }

    int ShowMessageBox(const QString& text, int) override
    {
        std::lock_guard lock(m_mutex);
        boxes << text;
        return 6;
    }
    void ShowPlainMessage(const QString& text) override
    {
        std::lock_guard lock(m_mutex);
        plain << text;
    }
    // An empty queue answers Cancel.
    int AskWorkbookPassword(const QString& fileName, QString* password) override
    {
        std::lock_guard lock(m_mutex);
        asked << fileName;
        if (m_answers.empty())
            return 2;
        auto [result, typed] = m_answers.front();
        m_answers.pop_front();
        *password = result == 1 ? typed : QString();
        return result;
    }
    size_t Unanswered() const
    {
        std::lock_guard lock(m_mutex);
        return m_answers.size();
    }

    QStringList boxes;
    QStringList plain;
    QStringList asked;

private:
    mutable std::mutex m_mutex;
    std::deque<std::pair<int, QString>> m_answers;
};

// Runs a program and returns its standard output ("" when it failed).
inline QByteArray RunForOutput(const QString& program, const QStringList& args, int* exitCode = nullptr)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(120000);
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAllStandardOutput();
}

// Pages of a PDF file (-1 when it cannot be read).
inline int PageCount(const QString& pdf)
{
    int code = 0;
    const QByteArray info = RunForOutput(QStringLiteral("pdfinfo"), {pdf}, &code);
    if (code != 0)
        return -1;
    for (const QByteArray& line : info.split('\n'))
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    return -1;
}

// The searchable text of a PDF, pages separated by form feeds.
inline QString PdfText(const QString& pdf)
{
    return QString::fromUtf8(RunForOutput(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}));
}

// A one-page PDF showing text (ASCII letters, digits and blanks), made by Ghostscript.
inline QByteArray TextPdf(const QString& text, const QString& scratchFolder)
{
    const QString out = scratchFolder + QStringLiteral("/page.pdf");
    const QString ps = QStringLiteral("/Helvetica findfont 24 scalefont setfont 72 700 moveto (%1) show showpage").arg(text);
    RunForOutput(QStringLiteral("gs"), {QStringLiteral("-q"), QStringLiteral("-dSAFER"), QStringLiteral("-dNOPAUSE"),
                                        QStringLiteral("-dBATCH"), QStringLiteral("-sDEVICE=pdfwrite"),
                                        QStringLiteral("-sOutputFile=") + out, QStringLiteral("-c"), ps});
    QFile file(out);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    file.close();
    QFile::remove(out);
    return bytes;
}

} // namespace workbooktest
