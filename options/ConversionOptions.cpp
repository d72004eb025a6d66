#include "options/ConversionOptions.h"

namespace OptionItems {
// Both lists are sorted controls: their items come in alphabetical order.
const QStringList& PageLayout()
{
    static const QStringList items{QStringLiteral("Continuous"), QStringLiteral("Continuous Facing"),
                                   QStringLiteral("Facing"), QStringLiteral("Single Page")};
    return items;
}
const QStringList& PageMode()
{
    static const QStringList items{QStringLiteral("Bookmarks"), QStringLiteral("Full Screen"),
                                   QStringLiteral("Normal"), QStringLiteral("Thumbnails")};
    return items;
}
const QStringList& DocCompression()
{
    static const QStringList items{QStringLiteral("Flate"), QStringLiteral("LZW")};
    return items;
}
const QStringList& ImageCompression()
{
    static const QStringList items{QStringLiteral("Flate"), QStringLiteral("JPEG"),
                                   QStringLiteral("Automatic")};
    return items;
}
const QStringList& JpegQuality()
{
    static const QStringList items{QStringLiteral("Minimum"), QStringLiteral("Low"),
                                   QStringLiteral("Medium"), QStringLiteral("Maximum")};
    return items;
}
const QStringList& PdfVersion()
{
    static const QStringList items{QStringLiteral("V1.3(Acrobat 4.xx)"), QStringLiteral("V1.4"),
                                   QStringLiteral("V1.5")};
    return items;
}
} // namespace OptionItems

ConversionOptions::ConversionOptions()
    : m_strPageLayout(QStringLiteral("Continuous")),
      m_strPageMode(QStringLiteral("Normal")),
      m_strDocCompression(OptionItems::DocCompression().first()),
      m_strImageCompression(OptionItems::ImageCompression().first()),
      m_strJpegQuality(OptionItems::JpegQuality().first()),
      m_strPdfVersion(OptionItems::PdfVersion().first())
{
}

bool ConversionOptions::SecurityApplies() const
{
    return m_bEnableSecurity && m_bOwnerPassword && !m_strOwnerPassword.isEmpty();
}
