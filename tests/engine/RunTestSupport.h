#pragma once

// Shared by the conversion run tests: scripted answers to the run's questions,
// an observer that records what the run reports, a spreadsheet server that can
// hold a sheet's printing, and a Ghostscript that waits before it starts.
#include "automation/Dispatch.h"
#include "engine/ConversionPrompts.h"
#include "engine/ConversionRun.h"
#include "engine/ExcelDispatch.h"
#include "platform/PrinterQueue.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include <unistd.h>

namespace runtest {

using namespace std::chrono_literals;

// Long enough for any real step here; a test that waits this long has failed.
constexpr auto kPatience = 120s;

inline bool QueueReady()
{
    return CPrinterQueue::Check(QString(CPrinterQueue::kQueueName)) == CPrinterQueue::Ready;
}

// Answers the run's questions from queues and records them with their type.
class ScriptedPrompts : public ConversionPrompts {
public:
    void QueueBox(int answer)
    {
        std::lock_guard lock(m_mutex);
        m_boxAnswers.push_back(answer);
    }
    void QueuePassword(int result, const QString& password = QString())
    {
        std::lock_guard lock(m_mutex);
        m_passwords.emplace_back(result, password);
    }

    // An empty queue answers Yes.
    int ShowMessageBox(const QString& text, int type) override
    {
        if (onQuestion)
            onQuestion(text);
        std::lock_guard lock(m_mutex);
        boxes << text;
        boxTypes.push_back(type);
        if (m_boxAnswers.empty())
            return 6;
        const int answer = m_boxAnswers.front();
        m_boxAnswers.pop_front();
        return answer;
    }
    void ShowPlainMessage(const QString& text) override
    {
        std::lock_guard lock(m_mutex);
        plain << text;
    }
    // An empty queue answers Cancel.
    int AskWorkbookPassword(const QString& fileName, QString* password) override
    {
        if (onQuestion)
            onQuestion(fileName);
        std::lock_guard lock(m_mutex);
        asked << fileName;
        if (m_passwords.empty())
            return 2;
        auto [result, typed] = m_passwords.front();
        m_passwords.pop_front();
        *password = result == 1 ? typed : QString();
        return result;
    }

    // Called (on the worker thread) when a question is about to be asked.
    std::function<void(const QString&)> onQuestion;
    QStringList boxes;
    std::vector<int> boxTypes;
    QStringList plain;
    QStringList asked;

private:
    std::mutex m_mutex;
    std::deque<int> m_boxAnswers;
    std::deque<std::pair<int, QString>> m_passwords;
};

// Records everything a run reports, in the order it came.
class RecordingObserver : public ConversionRunObserver {
public:
    void WorkbookStarted(int index, const QString& path) override
    {
        {
            std::lock_guard lock(m_mutex);
            events << QStringLiteral("start %1").arg(index);
        }
        if (onStarted)
            onStarted(index, path);
    }
    void ProgressChanged(int percent) override
    {
        std::lock_guard lock(m_mutex);
        progress.push_back(percent);
        events << QStringLiteral("progress %1").arg(percent);
    }
    void WorkbookFinished(const WorkbookReport& report) override
    {
        {
            std::lock_guard lock(m_mutex);
            finished.push_back(report);
            events << QStringLiteral("finished %1").arg(report.index);
            m_cv.notify_all();
        }
        if (onFinished)
            onFinished(report);
    }
    void RunFinished(const ConversionRunSummary& s) override
    {
        std::lock_guard lock(m_mutex);
        summary = s;
        runFinished = true;
        events << QStringLiteral("run finished");
        m_cv.notify_all();
    }

    // Waits until count workbooks have been reported; false when that took too long.
    bool WaitFinished(size_t count)
    {
        std::unique_lock lock(m_mutex);
        return m_cv.wait_for(lock, kPatience, [&] { return finished.size() >= count; });
    }
    std::vector<int> Progress()
    {
        std::lock_guard lock(m_mutex);
        return progress;
    }
    size_t FinishedCount()
    {
        std::lock_guard lock(m_mutex);
        return finished.size();
    }
    QStringList Events()
    {
        std::lock_guard lock(m_mutex);
        return events;
    }

    std::function<void(int, const QString&)> onStarted;
    std::function<void(const WorkbookReport&)> onFinished;
    std::vector<int> progress;
    std::vector<WorkbookReport> finished;
    QStringList events;
    ConversionRunSummary summary;
    bool runFinished = false;

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
};

// A spreadsheet server behind "Excel.Application": every workbook opens with
// three sheets, each sheet prints a real one-page PDF. The printing of one
// chosen sheet can be held until the test lets it go.
class HoldingServer {
public:
    explicit HoldingServer(QByteArray page) : m_page(std::move(page)) {}

    // PrintOut of this sheet (1-based) of the workbook with this file name waits for Release().
    void HoldAt(const QString& fileName, int sheet)
    {
        std::lock_guard lock(m_mutex);
        m_holdBook = fileName;
        m_holdSheet = sheet;
    }
    // Waits until the held sheet is printing; false when it never came.
    bool WaitHeld()
    {
        std::unique_lock lock(m_mutex);
        return m_cv.wait_for(lock, kPatience, [&] { return m_bHeld; });
    }
    void Release()
    {
        std::lock_guard lock(m_mutex);
        m_bReleased = true;
        m_cv.notify_all();
    }
    // Opening the workbook with this file name fails, as a protected one does.
    void Refuse(const QString& fileName)
    {
        std::lock_guard lock(m_mutex);
        m_lstRefused << fileName;
    }
    // Printing this sheet (1-based) of the workbook with this file name fails, as a crashed office does.
    void FailAt(const QString& fileName, int sheet)
    {
        std::lock_guard lock(m_mutex);
        m_failBook = fileName;
        m_failSheet = sheet;
    }
    bool Refuses(const QString& fileName)
    {
        std::lock_guard lock(m_mutex);
        return m_lstRefused.contains(fileName);
    }
    int PrintOuts()
    {
        std::lock_guard lock(m_mutex);
        return m_nPrintOuts;
    }
    QStringList Opened()
    {
        std::lock_guard lock(m_mutex);
        return m_lstOpened;
    }

    void Register();
    static void Unregister() { DispatchRegistry::Unregister(QStringLiteral("Excel.Application")); }

    // Called (on the worker thread) with the file name of every workbook opened, before it opens.
    std::function<void(const QString&)> onOpen;

private:
    friend class HoldingObject;
    void Printing(const QString& book, int sheet, const QString& file)
    {
        std::unique_lock lock(m_mutex);
        if (book == m_holdBook && sheet == m_holdSheet) {
            m_bHeld = true;
            m_cv.notify_all();
            m_cv.wait(lock, [&] { return m_bReleased; });
        }
        if (book == m_failBook && sheet == m_failSheet)
            throw DispatchException(E_FAIL, QStringLiteral("the office ended."));
        ++m_nPrintOuts;
        QFile out(file);
        if (out.open(QIODevice::WriteOnly))
            out.write(m_page);
    }
    void Opening(const QString& book)
    {
        {
            std::lock_guard lock(m_mutex);
            m_lstOpened << book;
        }
        if (onOpen)
            onOpen(book);
    }

    QByteArray m_page;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    QString m_holdBook;
    int m_holdSheet = 0;
    QString m_failBook;
    int m_failSheet = 0;
    bool m_bHeld = false;
    bool m_bReleased = false;
    int m_nPrintOuts = 0;
    QStringList m_lstOpened;
    QStringList m_lstRefused;
};

class HoldingObject : public IDispatchObject {
public:
    HoldingObject(HoldingServer* server, QString role, QString book = {}, int sheet = 0)
        : m_pServer(server), m_role(std::move(role)), m_book(std::move(book)), m_sheet(sheet) {}

    Variant Invoke(int32_t dispid, InvokeKind, const std::vector<Variant>& args) override
    {
        using namespace ExcelDispid;
        if (m_role == "Application" && dispid == Workbooks)
            return Make("Workbooks");
        if (m_role == "Workbooks" && dispid == Open) {
            const QString book = QFileInfo(args.at(0).bstrVal).fileName();
            m_pServer->Opening(book);
            if (m_pServer->Refuses(book))
                return {};
            return Make("Workbook", book);
        }
        if (m_role == "Workbook" && dispid == Sheets)
            return Make("Sheets", m_book);
        if (m_role == "Sheets" && dispid == Count)
            return Variant::Long(3);
        if (m_role == "Sheets" && dispid == Item)
            return Make("Sheet", m_book, args.at(0).iVal);
        if (m_role == "Sheet" && dispid == PrintOut)
            m_pServer->Printing(m_book, m_sheet, args.at(7).bstrVal);
        return {};
    }

private:
    Variant Make(const QString& role, const QString& book = {}, int sheet = 0)
    {
        return Variant::Dispatch(std::make_shared<HoldingObject>(m_pServer, role, book, sheet));
    }

    HoldingServer* m_pServer;
    QString m_role;
    QString m_book;
    int m_sheet;
};

inline void HoldingServer::Register()
{
    DispatchRegistry::Register(QStringLiteral("Excel.Application"), [this] {
        return std::static_pointer_cast<IDispatchObject>(std::make_shared<HoldingObject>(this, "Application"));
    });
}

// A one-page PDF made by the real Ghostscript.
inline QByteArray OnePagePdf(const QString& scratchFolder)
{
    const QString out = scratchFolder + QStringLiteral("/page.pdf");
    QProcess gs;
    gs.start(QStringLiteral("gs"), {QStringLiteral("-q"), QStringLiteral("-dSAFER"), QStringLiteral("-dNOPAUSE"),
                                    QStringLiteral("-dBATCH"), QStringLiteral("-sDEVICE=pdfwrite"),
                                    QStringLiteral("-sOutputFile=") + out, QStringLiteral("-c"),
                                    QStringLiteral("/Helvetica findfont 24 scalefont setfont 72 700 moveto "
                                                   "(A sheet) show showpage")});
    gs.waitForFinished(60000);
    QFile file(out);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Puts a "gs" first on PATH that records its process id and becomes the real
// Ghostscript. BeforeStart holds it before it starts until the test lets it go;
// AfterPages lets it read every page of a workbook and then holds it before it
// finishes the PDF (its temporary files are in place then). PATH is restored on destruction.
class GhostscriptHold {
public:
    enum Moment { BeforeStart, AfterPages };

    explicit GhostscriptHold(Moment moment = BeforeStart)
    {
        const QString realGs = QStandardPaths::findExecutable(QStringLiteral("gs"));
        const QString dir = m_dir.path();
        QString script = QStringLiteral("#!/bin/sh\necho $$ > '%1/started.'$$\n").arg(dir);
        if (moment == BeforeStart)
            script += QStringLiteral("while [ ! -e '%1/release' ]; do sleep 0.02; done\nexec '%2' \"$@\"\n").arg(dir, realGs);
        else
            // Ghostscript runs its input line by line; the hold goes before a
            // job's end line. Ghostscript stays this process, fed through a FIFO.
            script += QStringLiteral("mkfifo '%1/in.'$$\nexec 3<&0\n"
                                     "sed -u 's|^[0-9][0-9]* orvik.end$|(%1/held) (w) file closefile "
                                     "{ (%1/release) status { pop pop pop pop exit } if } loop &|' "
                                     "<&3 >'%1/in.'$$ 2>/dev/null &\n"
                                     "exec '%2' --permit-file-all='%1/' \"$@\" <'%1/in.'$$ 3<&-\n")
                          .arg(dir, realGs);
        QFile file(m_dir.filePath(QStringLiteral("gs")));
        file.open(QIODevice::WriteOnly);
        file.write(script.toUtf8());
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir) + ':' + m_oldPath);
    }
    ~GhostscriptHold()
    {
        Release();
        qputenv("PATH", m_oldPath);
    }

    // Waits until a held Ghostscript runs; its process id, or 0 when none came.
    pid_t WaitStarted()
    {
        if (!WaitFor(QStringLiteral("started.*")))
            return 0;
        return pid_t(QDir(m_dir.path()).entryList({QStringLiteral("started.*")}, QDir::Files).first().mid(8).toInt());
    }
    // AfterPages: waits until Ghostscript has read every page.
    bool WaitHeld() { return WaitFor(QStringLiteral("held")); }
    void Release()
    {
        QFile release(m_dir.filePath(QStringLiteral("release")));
        release.open(QIODevice::WriteOnly);
    }

private:
    bool WaitFor(const QString& pattern)
    {
        const auto until = std::chrono::steady_clock::now() + kPatience;
        while (std::chrono::steady_clock::now() < until) {
            if (!QDir(m_dir.path()).entryList({pattern}, QDir::Files).isEmpty())
                return true;
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    QTemporaryDir m_dir;
    QByteArray m_oldPath;
};

// Points TMPDIR (the system's temporary folder) somewhere else while it lives.
class TemporaryFolderOverride {
public:
    explicit TemporaryFolderOverride(const QString& folder) : m_old(qgetenv("TMPDIR")), m_bHad(qEnvironmentVariableIsSet("TMPDIR"))
    {
        qputenv("TMPDIR", QFile::encodeName(folder));
    }
    ~TemporaryFolderOverride()
    {
        if (m_bHad)
            qputenv("TMPDIR", m_old);
        else
            qunsetenv("TMPDIR");
    }

private:
    QByteArray m_old;
    bool m_bHad;
};

// True while a process of that id runs (an ended, unreaped one counts as gone).
inline bool ProcessRuns(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close > 0 && text.size() > close + 2 && text.at(close + 2) != 'Z';
}

// Every file below a folder (relative paths), sorted.
inline QStringList FilesBelow(const QString& folder)
{
    QStringList files;
    std::function<void(const QString&)> walk = [&](const QString& dir) {
        for (const QFileInfo& i : QDir(dir).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
            if (i.isDir())
                walk(i.filePath());
            else
                files << QDir(folder).relativeFilePath(i.filePath());
        }
    };
    walk(folder);
    files.sort();
    return files;
}

// Processes (running, not ended) started by this test program whose names start with one of the prefixes.
inline std::vector<pid_t> OurProcesses(const QList<QByteArray>& prefixes)
{
    QHash<pid_t, pid_t> parents;
    std::vector<pid_t> offices;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const pid_t pid = pid_t(entry.toInt(&number));
        if (!number)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const qsizetype open = text.indexOf('('), close = text.lastIndexOf(')');
        const QList<QByteArray> rest = text.mid(close + 2).split(' ');
        if (open < 0 || close < 0 || rest.size() < 2)
            continue;
        parents.insert(pid, pid_t(rest.at(1).toInt()));
        const QByteArray name = text.mid(open + 1, close - open - 1);
        if (std::any_of(prefixes.begin(), prefixes.end(), [&](const QByteArray& p) { return name.startsWith(p); }) &&
            ProcessRuns(pid))
            offices.push_back(pid);
    }
    std::vector<pid_t> ours;
    for (pid_t pid : offices) {
        for (pid_t p = parents.value(pid); p > 1; p = parents.value(p))
            if (p == getpid()) {
                ours.push_back(pid);
                break;
            }
    }
    return ours;
}

// Office processes (running, not ended) started by this test program.
inline std::vector<pid_t> OurOfficeProcesses()
{
    return OurProcesses({"soffice", "oosplash"});
}

// A workbook of the shared test data.
inline QString TestData(const QString& name)
{
    return QStringLiteral(ORVIK_TESTDATA_DIR "/") + name;
}

// The value of one pdfinfo field ("" when missing).
inline QString PdfInfo(const QString& pdf, const QString& field)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished(60000);
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (line.startsWith(field + QLatin1Char(':')))
            return line.mid(field.size() + 1).trimmed();
    return {};
}

} // namespace runtest
