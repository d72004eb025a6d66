// Settings made in the pages, carried by the options into a PDF written by the
// real Ghostscript, and read back with pdfinfo and qpdf.
#include "SettingsFixture.h"

#include "engine/GhostscriptStage.h"
#include "platform/RunFolder.h"
#include "support/RealTools.h"

#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

using settingstest::Settings;
using testsupport::HaveProgram;

namespace {

QString Tool(const QString& program, const QStringList& args)
{
    return testsupport::ToolOutput(program, args);
}

// pdfinfo's value for key; a value over several lines runs to the next "Key:" line.
QString InfoField(const QString& info, const QString& key)
{
    const QStringList lines = info.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        if (!lines[i].startsWith(key + ":"))
            continue;
        QStringList value{lines[i].mid(key.size() + 1).trimmed()};
        static const QRegularExpression nextKey(QStringLiteral("^[A-Za-z][A-Za-z ]*:"));
        for (int j = i + 1; j < lines.size() && !lines[j].isEmpty() && !nextKey.match(lines[j]).hasMatch(); ++j)
            value << lines[j];
        return value.join('\n');
    }
    return QStringLiteral("<missing>");
}

TEST(OptionsToPdfReal, PageSettingsReachThePdf)
{
    ORVIK_REQUIRE_TOOL(HaveProgram("gs"), "Ghostscript (gs)");
    ORVIK_REQUIRE_TOOL(HaveProgram("qpdf"), "qpdf");
    ORVIK_REQUIRE_TOOL(HaveProgram("pdfinfo"), "poppler-utils");
    const QString title = QStringLiteral("Отчёт 2024 – 売上");

    Settings s;
    s.Open();
    s.Edit(s.description, 1021)->setText(title);
    s.Type(s.Edit(s.description, 1026), "Finance (North)");
    s.Type(s.Keywords(), "sales");
    QTest::keyClick(s.Keywords(), Qt::Key_Return);
    s.Type(s.Keywords(), "2024");
    QTest::mouseClick(&s.window.m_btnSecurity, Qt::LeftButton);
    s.EnableSecurity("owner secret");
    s.Click(1006); // no user password: the PDF opens without one
    s.Click(1011); // printing withdrawn
    s.Click(1013);
    QTest::mouseClick(&s.window.m_btnAdvanced, Qt::LeftButton);
    s.Pick(1025, "V1.5");
    s.Ok();
    ASSERT_FALSE(s.window.isVisible());

    RunFolder run, out;
    ASSERT_TRUE(run.IsValid());
    ASSERT_TRUE(out.IsValid());
    const QString print = run.FilePath("tmp_1.ps");
    ASSERT_TRUE(gstest::WriteFile(print, gstest::TextPagePs("Sheet one")));
    const GhostscriptJob job{s.Options(), "/books/Sales.xlsx", out.Path(), {print}, run.Path(), QString()};
    const GhostscriptResult r = ConvertWithGhostscript(job);
    ASSERT_TRUE(r.ok) << r.message.toStdString();

    const QString info = Tool("pdfinfo", {"-enc", "UTF-8", r.pdfPath});
    EXPECT_EQ(InfoField(info, "Title"), title);
    EXPECT_EQ(InfoField(info, "Author"), "Finance (North)");
    EXPECT_EQ(InfoField(info, "Keywords"), "sales\n2024");
    EXPECT_EQ(InfoField(info, "PDF version"), "1.5");
    EXPECT_TRUE(InfoField(info, "Encrypted").startsWith("yes (print:no copy:yes change:yes addNotes:yes"))
        << InfoField(info, "Encrypted").toStdString();

    const QString encryption = Tool("qpdf", {"--show-encryption", r.pdfPath});
    EXPECT_TRUE(encryption.contains("R = 3\n")) << encryption.toStdString(); // 128-bit RC4
    EXPECT_TRUE(encryption.contains("print low resolution: not allowed"));
    EXPECT_TRUE(encryption.contains("print high resolution: not allowed"));
    EXPECT_TRUE(encryption.contains("extract for any purpose: allowed"));
    EXPECT_TRUE(encryption.contains("modify other: allowed"));
    // The owner password typed on the page is the PDF's (given in a private file).
    const QString passwordFile = run.FilePath("owner");
    ASSERT_TRUE(gstest::WriteFile(passwordFile, "owner secret"));
    EXPECT_TRUE(Tool("qpdf", {"--show-encryption", "--password-file=" + passwordFile, r.pdfPath})
                    .contains("Supplied password is owner password"));
}

} // namespace
