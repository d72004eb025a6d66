#include "engine/Pdfmarks.h"

#include "engine/GhostscriptServer.h"
#include "engine/PrivateFile.h"
#include "platform/InstallationFolder.h"
#include "options/ConversionOptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace {

bool IsAscii(const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() > 0x7E)
            return false;
    }
    return true;
}

// Control characters go as octal escapes: PostScript reads a bare CR (or CR LF)
// in a string as LF.
QString LiteralString(const QString& text)
{
    QString out = QStringLiteral("(");
    for (QChar c : text) {
        if (c.unicode() < 0x20) {
            out += QStringLiteral("\\%1").arg(static_cast<int>(c.unicode()), 3, 8, QLatin1Char('0'));
            continue;
        }
        if (c == QLatin1Char('(') || c == QLatin1Char(')') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out + QLatin1Char(')');
}

QString Utf16HexString(const QString& text)
{
    QString out = QStringLiteral("<FEFF");
    for (QChar c : text)
        out += QStringLiteral("%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    return out + QLatin1Char('>');
}

// key is " /Title" etc.; the closing after the string is " \n" or "\n".
QString InfoEntry(const char* key, const QString& text, const char* closing)
{
    if (text.isEmpty())
        return QString();
    return QLatin1String(key) + QLatin1Char(' ') + Pdfmarks::InfoString(text) +
           QLatin1String(closing);
}

QString DocumentInfo(const ConversionOptions& o)
{
    const QString entries = InfoEntry(" /Title", o.m_strDocTitle, " \n") +
                            InfoEntry(" /Author", o.m_strDocAuthor, "\n") +
                            InfoEntry(" /Subject", o.m_strDocSubject, "\n") +
                            InfoEntry(" /Keywords", o.m_strDocKeywords, "\n");
    if (entries.isEmpty())
        return QString();
    return QStringLiteral("[") + entries + QStringLiteral("/DOCINFO pdfmark");
}

QString PageCompression(const QString& item)
{
    if (item == QLatin1String("Flate"))
        return QStringLiteral("/CompressPages true\n/UseFlateCompression true\n");
    if (item == QLatin1String("LZW"))
        return QStringLiteral("/CompressPages true\n/UseFlateCompression false\n");
    return QString();
}

QString ImageDictionaries(const char* colorKey, const char* grayKey, const QString& q)
{
    return QStringLiteral("\n/%1 \n").arg(QLatin1String(colorKey)) + q +
           QStringLiteral("\n/%1 \n").arg(QLatin1String(grayKey)) + q;
}

QString ImageCompression(const QString& item, const QString& q)
{
    if (item == QLatin1String("JPEG"))
        return QStringLiteral("/AutoFilterColorImages false\n/AutoFilterGrayImages false\n"
                              "/EncodeColorImages true\n/EncodeGrayImages true\n"
                              "/ColorImageFilter /DCTEncode\n/GrayImageFilter /DCTEncode") +
               ImageDictionaries("ColorImageDict", "GrayImageDict", q);
    if (item == QLatin1String("Flate"))
        return QStringLiteral("/AutoFilterColorImages false\n/AutoFilterGrayImages false\n"
                              "/EncodeColorImages true\n/EncodeGrayImages true\n"
                              "/EncodeMonoImages true\n/ColorImageFilter /FlateEncode\n"
                              "/GrayImageFilter /FlateEncode\n/MonoImageFilter /FlateEncode") +
               ImageDictionaries("ColorImageDict", "GrayImageDict", q);
    if (item == QLatin1String("Automatic"))
        return QStringLiteral("/AutoFilterColorImages true\n/AutoFilterGrayImages true\n"
                              "/EncodeColorImages true\n/EncodeGrayImages true\n"
                              "/ColorImageFilter /DCTEncode\n/GrayImageFilter /DCTEncode") +
               ImageDictionaries("ColorACSImageDict", "GrayACSImageDict", q);
    return QString();
}

} // namespace

namespace Pdfmarks {

QString QualityDictionary(const QString& jpegQuality)
{
    QString factor, sampling = QStringLiteral("[2 1 1 2]");
    if (jpegQuality == QLatin1String("Minimum"))
        factor = QStringLiteral("1.5");
    else if (jpegQuality == QLatin1String("Low"))
        factor = QStringLiteral("0.8");
    else if (jpegQuality == QLatin1String("Medium"))
        factor = QStringLiteral("0.55");
    else if (jpegQuality == QLatin1String("Maximum"))
        factor = QStringLiteral("0.1"), sampling = QStringLiteral("[1 1 1 1]");
    else
        return QString();
    return QStringLiteral("<</QFactor %1 /HSamples %2 /VSamples %2 /Blend 1 /ColorTransform 1 >>")
        .arg(factor, sampling);
}

QString InfoString(const QString& text)
{
    return IsAscii(text) ? LiteralString(text) : Utf16HexString(text);
}

QString DocumentView(const QString& pageLayout, const QString& pageMode)
{
    static const QHash<QString, QString> layouts = {{QStringLiteral("Continuous"), QStringLiteral("/OneColumn")},
                                                    {QStringLiteral("Single Page"), QStringLiteral("/SinglePage")},
                                                    {QStringLiteral("Facing"), QStringLiteral("/TwoPageLeft")},
                                                    {QStringLiteral("Continuous Facing"), QStringLiteral("/TwoColumnLeft")}};
    static const QHash<QString, QString> modes = {{QStringLiteral("Normal"), QStringLiteral("/UseNone")},
                                                  {QStringLiteral("Bookmarks"), QStringLiteral("/UseOutlines")},
                                                  {QStringLiteral("Thumbnails"), QStringLiteral("/UseThumbs")},
                                                  {QStringLiteral("Full Screen"), QStringLiteral("/FullScreen")}};
    QString entries;
    if (layouts.contains(pageLayout))
        entries += QStringLiteral("/PageLayout ") + layouts.value(pageLayout) + QLatin1Char(' ');
    if (modes.contains(pageMode))
        entries += QStringLiteral("/PageMode ") + modes.value(pageMode) + QLatin1Char(' ');
    return entries.isEmpty() ? QString() : QStringLiteral("[") + entries + QStringLiteral("/DOCVIEW pdfmark\n");
}

QString BuildText(const ConversionOptions& options)
{
    const QString q = QualityDictionary(options.m_strJpegQuality);
    return DocumentInfo(options) + QStringLiteral("\n") +
           DocumentView(options.m_strPageLayout, options.m_strPageMode) + QStringLiteral("\n\n\n<<") +
           QStringLiteral("\n") +
           PageCompression(options.m_strDocCompression) +
           ImageCompression(options.m_strImageCompression, q) +
           QStringLiteral("\n>> setdistillerparams");
}

QString Bookmark(const QString& title, int page, int count)
{
    QString entry = QStringLiteral("[/Title ") + InfoString(title);
    if (count > 0)
        entry += QStringLiteral(" /Count %1").arg(count);
    if (page > 0)
        entry += QStringLiteral(" /Page %1").arg(page);
    return entry + QStringLiteral(" /View [/Fit] /OUT pdfmark");
}

QString OutputIntent(const QString& iccPath)
{
    return QStringLiteral("[/_objdef {orvik_icc} /type /stream /OBJ pdfmark\n"
                          "[{orvik_icc} << /N 3 >> /PUT pdfmark\n"
                          "[{orvik_icc} %1 (r) file /PUT pdfmark\n"
                          "[/_objdef {orvik_intent} /type /dict /OBJ pdfmark\n"
                          "[{orvik_intent} << /Type /OutputIntent /S /GTS_PDFA1 /DestOutputProfile {orvik_icc} "
                          "/OutputConditionIdentifier (sRGB IEC61966-2.1) /Info (sRGB IEC61966-2.1) >> /PUT pdfmark\n"
                          "[{Catalog} << /OutputIntents [ {orvik_intent} ] >> /PUT pdfmark\n")
        .arg(QString::fromLatin1(GhostscriptServer::PostScriptString(QFile::encodeName(iccPath))));
}

QString SrgbProfile()
{
    const QString beside = InstallationFolder() + QStringLiteral("/gs/share/ghostscript/iccprofiles/srgb.icc");
    QStringList candidates{beside, QStringLiteral("/usr/share/color/icc/ghostscript/srgb.icc")};
    for (const QString& folder : QDir(QStringLiteral("/usr/share/ghostscript")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        candidates << QStringLiteral("/usr/share/ghostscript/%1/iccprofiles/srgb.icc").arg(folder);
    for (const QString& path : candidates)
        if (QFileInfo(path).isFile())
            return path;
    return QString();
}

bool WritePdfmarksFile(const QString& path, const QString& text, QString* error)
{
    // The text is ASCII: non-ASCII information went into hex strings.
    return PrivateFile::Write(path, text.toLatin1(), error);
}

} // namespace Pdfmarks
