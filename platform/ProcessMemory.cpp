#include "platform/ProcessMemory.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <unistd.h>

namespace {

// Field n (1-based) of /proc/<pid>/stat, counted after the command name,
// which may itself hold blanks and parentheses.
QByteArray StatField(const QByteArray& stat, int n)
{
    const qsizetype end = stat.lastIndexOf(')');
    if (end < 0)
        return {};
    const QList<QByteArray> fields = stat.mid(end + 2).split(' ');
    const qsizetype at = n - 3; // fields 1 and 2 are the pid and the name
    return at >= 0 && at < fields.size() ? fields.at(at) : QByteArray();
}

} // namespace

qint64 ProcessMemory::AvailableBytes()
{
    QFile file(QStringLiteral("/proc/meminfo"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("MemAvailable:"))
            return line.mid(13).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return 0;
}

qint64 ProcessMemory::GroupResidentBytes(pid_t group)
{
    if (group <= 0)
        return 0;
    const qint64 page = sysconf(_SC_PAGESIZE);
    qint64 total = 0;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& pid : pids) {
        if (!pid.front().isDigit())
            continue;
        QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!file.open(QIODevice::ReadOnly))
            continue; // ended meanwhile
        const QByteArray stat = file.readAll();
        if (StatField(stat, 5).toLongLong() == group)
            total += StatField(stat, 24).toLongLong() * page;
    }
    return total;
}
