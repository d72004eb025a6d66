#pragma once

#include "options/ConversionOptions.h"
#include "platform/ChildProcess.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

class StopGate;

// One Ghostscript process that writes PDF after PDF: each workbook is a job
// handed over on its standard input (the output file switched to the job's
// PDF, the pdfmarks, every print file, the pdfmarks again), and Ghostscript
// tells the job's end by a line of its own. Starting Ghostscript costs more
// than joining a small workbook's pages, so a run keeps one process and starts
// a new one only when the command line has to change (other security,
// compatibility level or distiller settings) or after a failed job. Each print
// file is read with the PDF reader it needs (see ToUnicodeCheck).
// One thread at a time uses it.
class GhostscriptServer {
public:
    struct Job {
        ConversionOptions options;
        QString outputPdf;        // written from scratch; any folder below the write folder
        QString pdfmarks;         // below the read folder
        QStringList inputFiles;   // below the read folder, in page order
        QHash<QString, QString> bookmarks; // outline title of the sheet an input file begins
        QString opening;          // below the read folder, run once before the pages (may be empty)
        QString closing;          // below the read folder, run once after the pages (may be empty)
    };
    struct Outcome {
        bool ok = false;       // the job ended and Ghostscript reported no error
        bool started = true;   // false: Ghostscript could not be started (see message)
        bool stopped = false;  // a stop request ended it
        int exitCode = 0;      // of a process that ended during the job (-1: a signal)
        QString message;       // Ghostscript's error line that names the error, or why it could not start
    };

    // readFolder: private folder of the run; the argument file with the
    // passwords is kept there, and every file a job reads lies below it.
    // writeFolder: the folder of the PDFs. interpreter: empty for the default.
    GhostscriptServer(const QString& readFolder, const QString& writeFolder, const QString& interpreter = {});
    ~GhostscriptServer();
    GhostscriptServer(const GhostscriptServer&) = delete;
    GhostscriptServer& operator=(const GhostscriptServer&) = delete;

    // Runs one job; a stop request on the gate ends the process at once.
    Outcome Run(const Job& job, StopGate* gate);

    // A job handed over piece by piece, so that Ghostscript joins the first
    // files while later ones are still being printed. Begin sends the job's
    // start with the input files it names so far (none to wait for), Add one
    // more input file (false once the process has ended), Finish the job's end,
    // waiting for it like Run. Nothing else uses the server from Begin to
    // Finish or Abandon. Begin ends the outcome with ok when the job began.
    Outcome Begin(const Job& job, StopGate* gate);
    bool Add(const QString& inputFile, const QString& bookmark = {});
    Outcome Finish(StopGate* gate);
    // Ends a begun job without waiting for it: its process is ended at once.
    void Abandon();
    // Ends the process (waiting briefly for it to finish on its own).
    void End();

    // The running process, 0 when there is none.
    pid_t Pid() const;

    // A file name as a PostScript string: any bytes, nothing taken for syntax.
    static QByteArray PostScriptString(const QByteArray& bytes);

private:
    QString KeyOf(const Job& job) const;
    bool StartFor(const Job& job, Outcome* outcome);
    // The job's start: its output file, pdfmarks and the input files it names.
    QByteArray JobText(const Job& job) const;
    static QByteArray RunLine(const QString& file);
    // RunLine for a print file: read with the PDF reader it needs.
    static QByteArray InputLine(const QString& file);
    // An outline entry for the page that comes next, then the file's InputLine.
    static QByteArray InputLine(const QString& file, const QString& bookmark);
    // Writes what the pipe takes now and reads what the process has printed, without waiting.
    void Flush();
    // One write of what is still to be sent; false when the pipe takes nothing now.
    bool WriteSome();
    // Takes the complete lines received: true at the job's end line (anywhere in a line).
    bool TakeLines(bool* failed);
    // Reads output until the job's end line; false when the process ended first.
    bool AwaitEnd(bool* failed);
    Outcome Ended(StopGate* gate);

    QString m_strReadFolder;
    QString m_strWriteFolder;
    QString m_strInterpreter;
    QString m_strKey;            // what the running process was started for
    QString m_strArgumentFile;   // its security arguments (0600), removed with it
    std::unique_ptr<ChildProcess> m_pProcess;
    QByteArray m_baToSend;      // what is still to be written to its input
    QByteArray m_baReceived;    // its output not yet taken as lines
    QString m_strDiagnostic;    // the current job's error line that tells most
    int m_nDiagnosticWeight = 0; // how much it tells (DiagnosticOf in the source)
    QString m_strPdfmarks;      // of the current job, run again at its end
    QString m_strClosing;       // of the current job, run last
    int m_nJob = 0;
};
