#include "cli/WorkbookFileCheck.h"

#include "cli/ArgumentBytes.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {
// A ZIP archive (Office Open XML).
const QByteArray kZip("PK\x03\x04", 4);
// A compound file: Excel 97-2003, and every encrypted workbook.
const QByteArray kCompound("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
// What the command line converts: Excel's workbooks and templates (macros
// never run) and OpenDocument spreadsheets. All but .xls are ZIP archives.
const QStringList kSuffixes{QStringLiteral("xls"),  QStringLiteral("xlsx"), QStringLiteral("xlsm"), QStringLiteral("xlsb"),
                            QStringLiteral("xltx"), QStringLiteral("xltm"), QStringLiteral("ods")};
} // namespace

QString WorkbookFileCheck::Problem(const QString& path)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix().toLower();
    // Such a name cannot be handed on to the office, nor can the PDF be named after it.
    if (!ArgumentBytes::IsText(path))
        return QStringLiteral("its name is not valid UTF-8 text; rename the file.");
    if (!info.exists())
        return QStringLiteral("no such file.");
    if (!info.isFile())
        return QStringLiteral("not a file.");
    if (!kSuffixes.contains(suffix))
        return QStringLiteral("not a workbook (.xls, .xlsx, .xlsm, .xlsb, .xltx, .xltm, .ods).");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("it cannot be read: %1.").arg(file.errorString());
    const QByteArray head = file.read(kCompound.size());
    if (head.isEmpty())
        return QStringLiteral("it is empty, not a workbook.");
    if (!LooksLikeWorkbook(head, suffix))
        return QStringLiteral("it is not a workbook, or it is damaged.");
    return QString();
}

bool WorkbookFileCheck::LooksLikeWorkbook(const QByteArray& head, const QString& suffix)
{
    if (head.startsWith(kCompound))
        return true;
    // The newer formats are ZIP archives. An .xls may also be an older Excel
    // file, or a page or table saved under that name, which the office reads too.
    return suffix == QLatin1String("xls") || head.startsWith(kZip);
}
