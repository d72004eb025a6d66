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

bool CPrintFile::WriteBlankPage(const QString& path)
{
    // The smallest whole PDF: catalog, page tree and one page without content,
    // with the cross-reference table that points at each object.
    const QByteArrayList objects{
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << >> >>",
    };
    QByteArray pdf = "%PDF-1.4\n";
    QList<qint64> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    const qint64 xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qint64 offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           QByteArray::number(xref) + "\n%%EOF\n";
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(pdf) == pdf.size() && file.flush();
}
