#include "platform/LinkOpener.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>
#include <QUrl>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace {

// How long xdg-open may take to report a failure; a call still running after
// this has handed the target to a program that stays in the foreground.
constexpr auto kOpenerReportTime = std::chrono::seconds(3);

constexpr char kPlaceholderLetters[] = "1uUfF";

// A program started without waiting; a thread of its own reaps it so that no
// zombie stays behind, and tells whoever waits how it ended.
struct ChildEnd {
    std::mutex mutex;
    std::condition_variable changed;
    bool ended = false;
    int status = 0;
};

int CodeForSpawnError(int error)
{
    switch (error) {
    case ENOENT: return CLinkOpener::kFileNotFound;
    case ENOTDIR: return CLinkOpener::kPathNotFound;
    case EACCES:
    case EPERM: return CLinkOpener::kAccessDenied;
    case ENOEXEC: return CLinkOpener::kBadProgram;
    case ENOMEM:
    case E2BIG: return CLinkOpener::kOutOfMemory;
    case EAGAIN: return CLinkOpener::kOutOfResources;
    default: return CLinkOpener::kUnknownFailure;
    }
}

// Starts argv[0] (looked up on PATH when it has no slash). Returns 0 or errno.
int Spawn(const QStringList& argv, std::shared_ptr<ChildEnd> end)
{
    std::vector<QByteArray> bytes;
    for (const QString& a : argv)
        bytes.push_back(QFile::encodeName(a));
    std::vector<char*> ptrs;
    for (QByteArray& b : bytes)
        ptrs.push_back(b.data());
    ptrs.push_back(nullptr);

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID); // not ended with our terminal or group
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, ptrs[0], nullptr, &attr, ptrs.data(), environ);
    posix_spawnattr_destroy(&attr);
    if (error != 0)
        return error;
    std::thread([pid, end] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        std::lock_guard<std::mutex> lock(end->mutex);
        end->ended = true;
        end->status = status;
        end->changed.notify_all();
    }).detach();
    return 0;
}

// A target that begins with '-' would be read as an option by the program.
QString Guarded(const QString& target)
{
    return target.startsWith(QLatin1Char('-')) ? QStringLiteral("./") + target : target;
}

// A local file target that is missing or unreadable, as a failure code; 0 otherwise.
int LocalFileProblem(const QString& target)
{
    QString path;
    if (target.startsWith(QLatin1String("file:")))
        path = QUrl(target).toLocalFile();
    else if (target.startsWith(QLatin1Char('/')))
        path = target;
    if (path.isEmpty())
        return 0;
    const QFileInfo info(path);
    if (!info.exists())
        return info.dir().exists() ? CLinkOpener::kFileNotFound : CLinkOpener::kPathNotFound;
    return info.isReadable() ? 0 : CLinkOpener::kAccessDenied;
}

int CodeForXdgOpenExit(int exitCode)
{
    switch (exitCode) {
    case 0: return CLinkOpener::kOpened;
    case 2: return CLinkOpener::kFileNotFound;
    case 3: // no tool to open it with
    case 4: return CLinkOpener::kNoAssociation; // the program it chose failed or none fits
    default: return CLinkOpener::kUnknownFailure;
    }
}

QString EnvOr(const char* name, const QString& fallback)
{
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? fallback : value;
}

QStringList EnvList(const char* name, const QString& fallback)
{
    return EnvOr(name, fallback).split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

QStringList ConfigDirs()
{
    QStringList dirs{EnvOr("XDG_CONFIG_HOME", QDir::homePath() + QStringLiteral("/.config"))};
    return dirs + EnvList("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
}

QStringList ApplicationDirs()
{
    QStringList dirs{EnvOr("XDG_DATA_HOME", QDir::homePath() + QStringLiteral("/.local/share"))};
    dirs += EnvList("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    for (QString& d : dirs)
        d += QStringLiteral("/applications");
    return dirs;
}

// mimeapps.list file names of a folder: the desktop-specific ones first.
QStringList MimeAppsFiles(const QString& dir)
{
    QStringList files;
    for (const QString& desktop : EnvList("XDG_CURRENT_DESKTOP", QString()))
        files << dir + QLatin1Char('/') + desktop.toLower() + QStringLiteral("-mimeapps.list");
    files << dir + QStringLiteral("/mimeapps.list");
    return files;
}

// The value of `key` in group `group` of an ini-like file, raw.
QString ReadKey(const QString& path, const QString& group, const QString& key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream in(&file);
    bool inGroup = false;
    const QString header = QLatin1Char('[') + group + QLatin1Char(']');
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = (line == header);
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (inGroup && eq > 0 && line.left(eq).trimmed() == key)
            return line.mid(eq + 1).trimmed();
    }
    return QString();
}

// The first installed desktop id of a ';'-separated list.
QString FirstInstalled(const QString& list)
{
    for (const QString& id : list.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (!CLinkOpener::FindDesktopFile(id.trimmed()).isEmpty())
            return id.trimmed();
    }
    return QString();
}

QString UnescapeDesktopValue(const QString& raw)
{
    QString out;
    for (int i = 0; i < raw.size(); ++i) {
        if (raw[i] != QLatin1Char('\\') || i + 1 == raw.size()) {
            out += raw[i];
            continue;
        }
        const QChar c = raw[++i];
        if (c == QLatin1Char('s')) out += QLatin1Char(' ');
        else if (c == QLatin1Char('n')) out += QLatin1Char('\n');
        else if (c == QLatin1Char('t')) out += QLatin1Char('\t');
        else if (c == QLatin1Char('r')) out += QLatin1Char('\r');
        else if (c == QLatin1Char('\\')) out += QLatin1Char('\\');
        else out += QLatin1Char('\\') + QString(c); // kept for the Exec quoting rules
    }
    return out;
}

// Field codes left in an argument: a lone code disappears, "%%" becomes "%".
bool ExpandFieldCodes(const QString& arg, QString* out)
{
    static const QString lone = QStringLiteral("fFuUdDnNickvm");
    if (arg.size() == 2 && arg[0] == QLatin1Char('%') && lone.contains(arg[1]))
        return false;
    out->clear();
    for (int i = 0; i < arg.size(); ++i) {
        if (arg[i] == QLatin1Char('%') && i + 1 < arg.size()) {
            ++i;
            if (arg[i] == QLatin1Char('%'))
                *out += QLatin1Char('%');
            continue;
        }
        *out += arg[i];
    }
    return true;
}

} // namespace

CLinkOpener::CLinkOpener()
    : m_opener(&CLinkOpener::OpenWithXdgOpen)
{
}

int CLinkOpener::Open(const QString& target) const
{
    if (target.isEmpty())
        return kFileNotFound; // nothing to open: no program is started
    const int result = m_opener ? m_opener(target) : kNoAssociation;
    if (result > 32)
        return result;
    bool ran = false;
    const int fallback = RunHtmlHandler(target, &ran);
    return ran ? fallback : result;
}

int CLinkOpener::OpenWithXdgOpen(const QString& target)
{
    if (const int problem = LocalFileProblem(target))
        return problem;
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return kNoAssociation;
    auto end = std::make_shared<ChildEnd>();
    if (const int error = Spawn({opener, Guarded(target)}, end))
        return error == ENOENT ? kNoAssociation : CodeForSpawnError(error);
    std::unique_lock<std::mutex> lock(end->mutex);
    if (!end->changed.wait_for(lock, kOpenerReportTime, [&] { return end->ended; }))
        return kOpened;
    if (!WIFEXITED(end->status))
        return kUnknownFailure;
    return CodeForXdgOpenExit(WEXITSTATUS(end->status));
}

int CLinkOpener::RunHtmlHandler(const QString& target, bool* ran)
{
    *ran = false;
    const QString id = DefaultHandlerId(QStringLiteral("text/html"));
    if (id.isEmpty())
        return kNoAssociation;
    const QStringList argv = FallbackArguments(ReadExecLine(FindDesktopFile(id)), target);
    if (argv.isEmpty())
        return kNoAssociation;
    *ran = true;
    return StartDetached(argv);
}

QString CLinkOpener::CutAtPlaceholder(const QString& command)
{
    int quoted = -1;
    int bare = -1;
    for (int i = 0; i + 1 < command.size() && quoted < 0; ++i) {
        if (command[i] != QLatin1Char('%'))
            continue;
        const QChar code = command[i + 1];
        if (code == QLatin1Char('%')) {
            ++i; // "%%" is a literal percent sign
            continue;
        }
        if (!QString::fromLatin1(kPlaceholderLetters).contains(code))
            continue;
        const bool inQuotes = i > 0 && command[i - 1] == QLatin1Char('"') && i + 2 < command.size()
            && command[i + 2] == QLatin1Char('"');
        if (inQuotes)
            quoted = i - 1;
        else if (bare < 0)
            bare = i;
    }
    const int cut = quoted >= 0 ? quoted : bare;
    return cut >= 0 ? command.left(cut) : command;
}

QString CLinkOpener::FallbackCommandLine(const QString& command, const QString& target)
{
    return CutAtPlaceholder(command) + QLatin1Char(' ') + target;
}

bool CLinkOpener::SplitExecLine(const QString& exec, QStringList* arguments)
{
    static const QString escapable = QStringLiteral("\"`$\\");
    arguments->clear();
    QString current;
    bool inArg = false;
    bool quoted = false;
    for (int i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < exec.size() && escapable.contains(exec[i + 1]))
                current += exec[++i];
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                current += c;
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inArg)
                arguments->append(current);
            current.clear();
            inArg = false;
        } else {
            inArg = true;
            if (c == QLatin1Char('"'))
                quoted = true;
            else
                current += c;
        }
    }
    if (inArg)
        arguments->append(current);
    return !quoted;
}

QStringList CLinkOpener::FallbackArguments(const QString& exec, const QString& target)
{
    QStringList split;
    if (!SplitExecLine(CutAtPlaceholder(exec), &split))
        return {};
    QStringList argv;
    QString expanded;
    for (const QString& arg : split) {
        if (ExpandFieldCodes(arg, &expanded))
            argv << expanded;
    }
    if (argv.isEmpty() || argv.first().isEmpty())
        return {};
    return argv << Guarded(target);
}

QString CLinkOpener::DefaultHandlerId(const QString& mimeType)
{
    QStringList lists;
    for (const QString& dir : ConfigDirs())
        lists << MimeAppsFiles(dir);
    for (const QString& dir : ApplicationDirs())
        lists << MimeAppsFiles(dir);
    for (const QString& path : lists) {
        const QString id = FirstInstalled(ReadKey(path, QStringLiteral("Default Applications"), mimeType));
        if (!id.isEmpty())
            return id;
    }
    // Older lists, then whatever program declares the type.
    for (const QString& dir : ApplicationDirs()) {
        const QString id = FirstInstalled(
            ReadKey(dir + QStringLiteral("/defaults.list"), QStringLiteral("Default Applications"), mimeType));
        if (!id.isEmpty())
            return id;
    }
    for (const QString& dir : ApplicationDirs()) {
        const QString id = FirstInstalled(
            ReadKey(dir + QStringLiteral("/mimeinfo.cache"), QStringLiteral("MIME Cache"), mimeType));
        if (!id.isEmpty())
            return id;
    }
    return QString();
}

QString CLinkOpener::FindDesktopFile(const QString& desktopId)
{
    if (desktopId.isEmpty() || desktopId.contains(QLatin1Char('/')))
        return QString();
    // "vendor-app.desktop" may also live at vendor/app.desktop.
    QStringList names{desktopId};
    for (int dash = desktopId.indexOf(QLatin1Char('-')); dash > 0;
         dash = desktopId.indexOf(QLatin1Char('-'), dash + 1)) {
        names << desktopId.left(dash) + QLatin1Char('/') + desktopId.mid(dash + 1);
    }
    for (const QString& dir : ApplicationDirs()) {
        for (const QString& name : names) {
            const QString path = dir + QLatin1Char('/') + name;
            if (QFileInfo(path).isFile())
                return path;
        }
    }
    return QString();
}

QString CLinkOpener::ReadExecLine(const QString& desktopFilePath)
{
    if (desktopFilePath.isEmpty())
        return QString();
    return UnescapeDesktopValue(ReadKey(desktopFilePath, QStringLiteral("Desktop Entry"), QStringLiteral("Exec")));
}

int CLinkOpener::StartDetached(const QStringList& argv)
{
    if (argv.isEmpty() || argv.first().isEmpty())
        return kFileNotFound;
    const int error = Spawn(argv, std::make_shared<ChildEnd>());
    return error == 0 ? kOpened : CodeForSpawnError(error);
}
