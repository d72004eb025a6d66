#include "platform/StaleRunFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kRunPrefix = QStringLiteral("orvik-run-");
const QString kOfficePrefix = QStringLiteral("orvik-office-");
const QString kPrintPrefix = QStringLiteral("orvik-print-");

bool OwnedByUs(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && st.st_uid == ::getuid();
}
} // namespace

QString StaleRunFiles::NamePart(pid_t pid)
{
    return QString::number(pid) + QLatin1Char('@') + HostTag() + QLatin1Char('-');
}

QString StaleRunFiles::HostTag()
{
    static const QString tag = [] {
        char name[256] = {};
        if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0')
            return QStringLiteral("localhost");
        QString text = QString::fromLatin1(name);
        for (QChar& c : text)
            if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('.'))
                c = QLatin1Char('_');
        return text;
    }();
    return tag;
}

QString StaleRunFiles::NamePart()
{
    return NamePart(::getpid());
}

bool StaleRunFiles::ProcessGone(pid_t pid)
{
    return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH;
}

pid_t StaleRunFiles::OwnerOf(const QString& name, const QString& prefix)
{
    if (!name.startsWith(prefix))
        return 0;
    const qsizetype dash = name.indexOf(QLatin1Char('-'), prefix.size());
    if (dash <= prefix.size())
        return 0;
    const QString part = name.mid(prefix.size(), dash - prefix.size());
    const qsizetype at = part.indexOf(QLatin1Char('@'));
    if (at >= 0 && part.mid(at + 1) != HostTag())
        return 0;
    bool number = false;
    const long pid = part.left(at).toLong(&number);
    return number && pid > 0 ? pid_t(pid) : 0;
}

bool StaleRunFiles::Stale(const QString& path, pid_t owner)
{
    return owner > 0 && owner != ::getpid() && OwnedByUs(path) && ProcessGone(owner);
}

int StaleRunFiles::SweepTemporaryFolder(const QString& folder)
{
    return SweepFolders(folder, kRunPrefix) + SweepFolders(folder, kOfficePrefix)
           + SweepFolders(folder, kPrintPrefix)
           + SweepPipes(QStringLiteral("OSL_PIPE_%1_%2").arg(::getuid()).arg(kOfficePrefix));
}

int StaleRunFiles::SweepFolders(const QString& folder, const QString& prefix)
{
    int removed = 0;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({prefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString path = dir.filePath(name);
        if (!Stale(path, OwnerOf(name, prefix)) || QFileInfo(path).isSymLink())
            continue;
        // A killed office leaves its single-instance socket behind.
        if (prefix == kOfficePrefix)
            for (const QString& socket : OfficeSocketFiles(SingleInstancePipeName(path)))
                QFile::remove(socket);
        if (QDir(path).removeRecursively())
            ++removed;
    }
    return removed;
}

int StaleRunFiles::SweepPipes(const QString& pipePrefix)
{
    int removed = 0;
    for (const QString& folder : SocketFolders()) {
        const QDir dir(folder);
        for (const QString& name : dir.entryList({pipePrefix + QLatin1Char('*')}, QDir::System | QDir::Files)) {
            const QString path = dir.filePath(name);
            if (Stale(path, OwnerOf(name, pipePrefix)) && QFile::remove(path))
                ++removed;
        }
    }
    return removed;
}

int StaleRunFiles::SweepOutputFolder(const QString& folder)
{
    static const QRegularExpression part(QStringLiteral("^\\..*\\.pdf\\.(\\d+(@[A-Za-z0-9._]+)?)-[A-Za-z0-9]{6}\\.part$"));
    int removed = 0;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden)) {
        const QRegularExpressionMatch m = part.match(name);
        const QString path = dir.filePath(name);
        if (m.hasMatch() && !QFileInfo(path).isSymLink() && Stale(path, OwnerOf(m.captured(1) + QLatin1Char('-'), QString()))
            && QFile::remove(path))
            ++removed;
    }
    return removed;
}

QStringList StaleRunFiles::SocketFolders()
{
    return {QStringLiteral("/tmp"), QStringLiteral("/var/tmp")};
}

QString StaleRunFiles::SingleInstancePipeName(const QString& profileFolder)
{
    const QString url = QUrl::fromLocalFile(profileFolder).toString(QUrl::FullyEncoded);
    QByteArray utf16;
    for (QChar c : url) {
        utf16.append(static_cast<char>(c.unicode() & 0xFF));
        utf16.append(static_cast<char>(c.unicode() >> 8));
    }
    // Each byte in hex without its leading zero, as the office writes it.
    QString hash;
    for (unsigned char b : QCryptographicHash::hash(utf16, QCryptographicHash::Md5))
        hash += QString::number(b, 16);
    return QStringLiteral("SingleOfficeIPC_") + hash;
}

QStringList StaleRunFiles::OfficeSocketFiles(const QString& pipeName)
{
    QStringList files;
    const QString socket = QStringLiteral("OSL_PIPE_%1_%2").arg(::getuid()).arg(pipeName);
    for (const QString& folder : SocketFolders())
        files << folder + QLatin1Char('/') + socket;
    return files;
}
