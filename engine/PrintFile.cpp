#include "engine/PrintFile.h"

#include "platform/StopGate.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace {
// The end-of-file comment may be followed by a line end and a little padding.
constexpr qint64 kTailBytes = 1024;
constexpr int kPollMs = 20;

qint64 FileSize(const QString& path)
{
    QFileInfo info(path);
    info.setCaching(false);
    return info.exists() ? info.size() : -1;
}
} // namespace

bool CPrintFile::EndsWithEofMarker(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    if (size > kTailBytes)
        file.seek(size - kTailBytes);
    return file.readAll().contains("%%EOF");
}

CPrintFile::State CPrintFile::WaitComplete(const QString& path, StopGate* gate, int timeoutMs)
{
    if (FileSize(path) <= 0)
        return Nothing;
    QElapsedTimer clock;
    clock.start();
    // The end-of-file comment is the last thing a print job writes.
    while (!EndsWithEofMarker(path)) {
        if (clock.elapsed() >= timeoutMs || (gate && gate->StopRequested()))
            return Incomplete;
        QThread::msleep(kPollMs);
    }
    return Complete;
}
