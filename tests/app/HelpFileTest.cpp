// The help beside the built program: well-formed, every link and picture
// resolves inside it, nothing comes from the network, and it names every
// button, label and option item the windows show (so it cannot drift from
// them unnoticed).
#include "app/shell/OrvikAllToPDFDlg.h"
#include "options/ConversionOptions.h"
#include "res/DialogTemplates.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {
struct HelpPage {
    QString text; // every text node, blanks collapsed
    QSet<QString> ids;
    QStringList links;   // href values
    QStringList sources; // src values of images and anything else
    QStringList elements;
    QString error;
};

HelpPage Read(const QString& path)
{
    HelpPage page;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        page.error = "cannot open " + path;
        return page;
    }
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            page.elements << xml.name().toString();
            const QXmlStreamAttributes attributes = xml.attributes();
            if (attributes.hasAttribute("id"))
                page.ids << attributes.value("id").toString();
            if (attributes.hasAttribute("href"))
                page.links << attributes.value("href").toString();
            if (attributes.hasAttribute("src"))
                page.sources << attributes.value("src").toString();
        } else if (xml.isCharacters()) {
            page.text += xml.text().toString() + QLatin1Char(' ');
        }
    }
    if (xml.hasError())
        page.error = xml.errorString() + " at line " + QString::number(xml.lineNumber());
    page.text = page.text.simplified();
    return page;
}

// The texts a user reads on a window: labels and buttons that are shown,
// without the "Static" placeholders the program replaces.
QStringList VisibleTexts(int templateId)
{
    QStringList texts;
    const DialogTemplate* t = DialogTemplates::Find(templateId);
    if (!t)
        return {"<no template " + QString::number(templateId) + ">"};
    for (const ControlTemplate& c : t->controls) {
        const QString text = QString(c.text).remove(QLatin1Char('&')).simplified();
        if (text.isEmpty() || text.compare("static", Qt::CaseInsensitive) == 0 || c.Has(ControlStyle::Hidden))
            continue;
        if (text.startsWith("http"))
            continue; // the about box's link shows the web address
        texts << text;
    }
    return texts;
}

const QString kBuiltHelp = QStringLiteral(ORVIK_BINARY_DIR "/app/") + COrvikAllToPDFDlg::kHelpFileName;
} // namespace

TEST(HelpFile, LiesBesideTheBuiltProgramAndIsWellFormed)
{
    EXPECT_TRUE(QFileInfo(QStringLiteral(ORVIK_BINARY_DIR "/app/OrvikExcelToPDF")).isExecutable());
    ASSERT_TRUE(QFileInfo::exists(kBuiltHelp)) << kBuiltHelp.toStdString();
    const HelpPage page = Read(kBuiltHelp);
    EXPECT_TRUE(page.error.isEmpty()) << page.error.toStdString();
    EXPECT_EQ(QFileInfo(kBuiltHelp).completeBaseName(), "Orvik Excel To PDF - Help");
}

TEST(HelpFile, LinksAndPicturesResolveAndNothingComesFromTheNetwork)
{
    const HelpPage page = Read(kBuiltHelp);
    ASSERT_TRUE(page.error.isEmpty()) << page.error.toStdString();
    EXPECT_FALSE(page.sources.isEmpty());
    for (const QString& src : page.sources) {
        EXPECT_FALSE(src.contains(':') || src.startsWith("//")) << "from elsewhere: " << src.toStdString();
        EXPECT_TRUE(QFileInfo::exists(QFileInfo(kBuiltHelp).path() + "/" + src)) << src.toStdString();
    }
    for (const QString& link : page.links) {
        ASSERT_TRUE(link.startsWith('#')) << "a link out of the guide: " << link.toStdString();
        EXPECT_TRUE(page.ids.contains(link.mid(1))) << "no anchor " << link.toStdString();
    }
    EXPECT_FALSE(page.elements.contains("script"));
    EXPECT_FALSE(page.elements.contains("link")) << "style sheets stay inside the page";
}

TEST(HelpFile, NamesEveryButtonLabelAndOptionTheWindowsShow)
{
    const HelpPage page = Read(kBuiltHelp);
    ASSERT_TRUE(page.error.isEmpty()) << page.error.toStdString();
    QStringList expected;
    for (int id : {102, 130, 133, 134, 135, 136, 162})
        expected << VisibleTexts(id);
    for (const QStringList* items : {&OptionItems::PageLayout(), &OptionItems::PageMode(),
                                     &OptionItems::DocCompression(), &OptionItems::ImageCompression(),
                                     &OptionItems::JpegQuality(), &OptionItems::PdfVersion()})
        expected << *items;
    EXPECT_GT(expected.size(), 40);
    for (const QString& text : expected)
        EXPECT_TRUE(page.text.contains(text)) << "the help does not mention \"" << text.toStdString() << "\"";
    for (const char* topic : {"orvik-xl2pdf", "OrvikExcelToPDF", "Ghostscript", "LibreOffice", "F1"})
        EXPECT_TRUE(page.text.contains(QLatin1String(topic))) << topic;
}
