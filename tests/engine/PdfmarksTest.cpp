#include "engine/Pdfmarks.h"
#include "options/ConversionOptions.h"
#include "platform/RunFolder.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// The default document view: continuous pages, no panel open.
const std::string kView = "[/PageLayout /OneColumn /PageMode /UseNone /DOCVIEW pdfmark\n";
const char* const kQMinimum = "<</QFactor 1.5 /HSamples [2 1 1 2] /VSamples [2 1 1 2] /Blend 1 /ColorTransform 1 >>";

std::string Text(const ConversionOptions& o)
{
    return Pdfmarks::BuildText(o).toStdString();
}

} // namespace

TEST(Pdfmarks, DefaultsWithoutDescription)
{
    const std::string q = kQMinimum;
    EXPECT_EQ("\n" + kView + "\n\n\n<<\n/CompressPages true\n/UseFlateCompression true\n"
              "/AutoFilterColorImages false\n/AutoFilterGrayImages false\n/EncodeColorImages true\n"
              "/EncodeGrayImages true\n/EncodeMonoImages true\n/ColorImageFilter /FlateEncode\n"
              "/GrayImageFilter /FlateEncode\n/MonoImageFilter /FlateEncode\n/ColorImageDict \n" + q +
                  "\n/GrayImageDict \n" + q + "\n>> setdistillerparams",
              Text(ConversionOptions()));
}

TEST(Pdfmarks, DocumentInformationEntries)
{
    ConversionOptions o;
    o.m_strDocKeywords = "k1 k2";
    EXPECT_EQ(0u, Text(o).find("[ /Keywords (k1 k2)\n/DOCINFO pdfmark\n" + kView + "\n\n\n<<\n"));

    o.m_strDocTitle = "T";
    o.m_strDocAuthor = "A";
    o.m_strDocSubject = "S";
    EXPECT_EQ(0u, Text(o).find("[ /Title (T) \n /Author (A)\n /Subject (S)\n /Keywords (k1 k2)\n"
                               "/DOCINFO pdfmark\n" + kView + "\n\n\n<<\n"));

    // Parentheses and backslashes are escaped; other characters go as UTF-16 with a BOM.
    EXPECT_EQ("(a\\(b\\)c\\\\d \\)\\()", Pdfmarks::InfoString("a(b)c\\d )(").toStdString());
    // Control characters go as octal escapes: a bare CR would be read as LF.
    EXPECT_EQ("(a\\015b\\015\\012c\\011\\001)", Pdfmarks::InfoString(QStringLiteral("a\rb\r\nc\t\x01")).toStdString());
    EXPECT_EQ("<FEFF004A00FC0072>", Pdfmarks::InfoString(QString::fromUtf8("Jür")).toStdString());
    EXPECT_EQ("<FEFF0028D83DDE00>", Pdfmarks::InfoString(QString::fromUtf8("(😀")).toStdString());
    ConversionOptions unicode;
    unicode.m_strDocTitle = QString::fromUtf8("Отчёт");
    EXPECT_EQ(0u, Text(unicode).find("[ /Title <FEFF041E0442044704510442> \n/DOCINFO pdfmark"));
}

TEST(Pdfmarks, PageLayoutAndModeGoToTheCatalogueByItemText)
{
    EXPECT_EQ("[/PageLayout /TwoColumnLeft /PageMode /FullScreen /DOCVIEW pdfmark\n",
              Pdfmarks::DocumentView("Continuous Facing", "Full Screen").toStdString());
    EXPECT_EQ("[/PageLayout /SinglePage /PageMode /UseThumbs /DOCVIEW pdfmark\n",
              Pdfmarks::DocumentView("Single Page", "Thumbnails").toStdString());
    EXPECT_EQ("[/PageLayout /TwoPageLeft /PageMode /UseOutlines /DOCVIEW pdfmark\n",
              Pdfmarks::DocumentView("Facing", "Bookmarks").toStdString());
    // An item of another text sets nothing of its own.
    EXPECT_EQ("[/PageMode /UseNone /DOCVIEW pdfmark\n", Pdfmarks::DocumentView("Book", "Normal").toStdString());
    EXPECT_EQ("", Pdfmarks::DocumentView("", "").toStdString());
}

TEST(Pdfmarks, CompressionAndImageParameters)
{
    ConversionOptions o;
    o.m_strDocCompression = "LZW";
    o.m_strImageCompression = "JPEG";
    o.m_strJpegQuality = "Maximum";
    const std::string q = "<</QFactor 0.1 /HSamples [1 1 1 1] /VSamples [1 1 1 1] /Blend 1 /ColorTransform 1 >>";
    EXPECT_EQ("\n" + kView + "\n\n\n<<\n/CompressPages true\n/UseFlateCompression false\n"
              "/AutoFilterColorImages false\n/AutoFilterGrayImages false\n/EncodeColorImages true\n"
              "/EncodeGrayImages true\n/ColorImageFilter /DCTEncode\n/GrayImageFilter /DCTEncode\n"
              "/ColorImageDict \n" + q + "\n/GrayImageDict \n" + q + "\n>> setdistillerparams",
              Text(o));

    o.m_strImageCompression = "Automatic";
    o.m_strJpegQuality = "Medium";
    const std::string medium = "<</QFactor 0.55 /HSamples [2 1 1 2] /VSamples [2 1 1 2] /Blend 1 /ColorTransform 1 >>";
    EXPECT_NE(std::string::npos,
              Text(o).find("/AutoFilterColorImages true\n/AutoFilterGrayImages true\n/EncodeColorImages true\n"
                           "/EncodeGrayImages true\n/ColorImageFilter /DCTEncode\n/GrayImageFilter /DCTEncode\n"
                           "/ColorACSImageDict \n" + medium + "\n/GrayACSImageDict \n" + medium +
                           "\n>> setdistillerparams"));

    // Unknown texts add nothing; an unknown quality leaves the dictionaries empty.
    o.m_strDocCompression = "Zip";
    o.m_strImageCompression = "PNG";
    EXPECT_EQ("\n" + kView + "\n\n\n<<\n\n>> setdistillerparams", Text(o));
    o.m_strImageCompression = "Flate";
    o.m_strJpegQuality = "Best";
    EXPECT_NE(std::string::npos, Text(o).find("/MonoImageFilter /FlateEncode\n/ColorImageDict \n\n/GrayImageDict \n\n>>"));
}

TEST(Pdfmarks, QualityDictionaryPerItem)
{
    const char* factors[] = {"1.5", "0.8", "0.55", "0.1"};
    const char* samples[] = {"[2 1 1 2]", "[2 1 1 2]", "[2 1 1 2]", "[1 1 1 1]"};
    const QStringList items = OptionItems::JpegQuality();
    ASSERT_EQ(4, items.size());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(QStringLiteral("<</QFactor %1 /HSamples %2 /VSamples %2 /Blend 1 /ColorTransform 1 >>")
                      .arg(factors[i], samples[i]),
                  Pdfmarks::QualityDictionary(items.at(i)));
    EXPECT_TRUE(Pdfmarks::QualityDictionary("minimum").isEmpty());
    EXPECT_EQ(kQMinimum, Pdfmarks::QualityDictionary("Minimum").toStdString());
}

TEST(Pdfmarks, FileIsWrittenExactlyAndPrivately)
{
    RunFolder run;
    const QString path = run.FilePath("pdfmarks");
    QString error;
    ASSERT_TRUE(Pdfmarks::WritePdfmarksFile(path, "long old text that must go", &error));
    ASSERT_TRUE(Pdfmarks::WritePdfmarksFile(path, "\n\n<<\n>> setdistillerparams", &error));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QByteArray("\n\n<<\n>> setdistillerparams"), f.readAll());
    struct stat st{};
    ASSERT_EQ(0, ::stat(path.toLocal8Bit().constData(), &st));
    EXPECT_EQ(0600u, st.st_mode & 0777);
    EXPECT_FALSE(Pdfmarks::WritePdfmarksFile(run.FilePath("missing/pdfmarks"), "x", &error));
    EXPECT_TRUE(error.contains("missing/pdfmarks"));
}
