// The stage with the real Ghostscript; results read back with qpdf and poppler.
#include "GhostscriptTestFiles.h"
#include "engine/GhostscriptStage.h"
#include "platform/RunFolder.h"
#include "platform/StopGate.h"
#include "support/RealTools.h"

#include <QDir>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using testsupport::HaveProgram;

namespace {

#define REQUIRE_PDF_TOOLS()                                                                    \
    ORVIK_REQUIRE_TOOL(HaveProgram("gs"), "Ghostscript (gs)");                                 \
    ORVIK_REQUIRE_TOOL(HaveProgram("qpdf"), "qpdf");                                           \
    ORVIK_REQUIRE_TOOL(HaveProgram("pdfinfo") && HaveProgram("pdfimages"), "poppler-utils")

QString Tool(const QString& program, const QStringList& args, int* exitCode = nullptr)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput());
}

// One "Key: value" line of pdfinfo (the value trimmed).
QString InfoField(const QString& pdf, const QString& key)
{
    for (const QString& line : Tool("pdfinfo", {"-enc", "UTF-8", pdf}).split('\n')) {
        if (line.startsWith(key + ":"))
            return line.mid(key.size() + 1).trimmed();
    }
    return QStringLiteral("<missing>");
}

QByteArray Header(const QString& pdf)
{
    QFile f(pdf);
    return f.open(QIODevice::ReadOnly) ? f.read(8) : QByteArray();
}

QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

class GhostscriptReal : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_run.IsValid());
        ASSERT_TRUE(m_out.isValid());
        // Print files are named .pdf whatever they hold: the stage must not care.
        AddInput(gstest::TextPagePdf("Sheet one"));
        AddInput(gstest::ImagePagePs());
        AddInput(gstest::TextPagePs("Sheet three"));
    }

    void AddInput(const QByteArray& data)
    {
        const QString path = m_run.FilePath(QStringLiteral("tmp_%1.pdf").arg(m_inputs.size() + 1));
        ASSERT_TRUE(gstest::WriteFile(path, data));
        m_inputs << path;
    }

    GhostscriptResult Convert(const ConversionOptions& o, const QStringList& inputs,
                              const QString& workbook = "/books/Book1.xlsx", StopGate* gate = nullptr)
    {
        GhostscriptJob job{o, workbook, m_out.path(), inputs, m_run.Path(), QString(),
                           GhostscriptJob::Existing::Replace};
        return ConvertWithGhostscript(job, gate);
    }

    // qpdf's view of the encryption, opened with exactly these password bytes.
    QJsonObject Encryption(const QString& pdf, const QByteArray& password, bool exactBytes = true)
    {
        const QString file = m_run.FilePath("qpdf-password");
        gstest::WriteFile(file, password);
        QStringList args{"--json=2", "--json-key=encrypt", "--password-file=" + file, pdf};
        if (exactBytes)
            args.prepend("--suppress-password-recovery");
        int rc = 0;
        const QString json = Tool("qpdf", args, &rc);
        QFile::remove(file);
        if (rc != 0 && rc != 3)
            return {};
        return QJsonDocument::fromJson(json.toUtf8()).object().value("encrypt").toObject();
    }

    RunFolder m_run;
    QTemporaryDir m_out;
    QStringList m_inputs;
};

struct SecurityCase {
    int level;
    bool copy, form, change, print;
    const char* owner;               // UTF-8 as typed
    const char* user;                // nullptr: user password not enabled
    int permissions, revision, bits;
    const char* ownerBytes = nullptr;  // PDFDocEncoding bytes when not the typed ASCII
    const char* userBytes = nullptr;
};

} // namespace

TEST_F(GhostscriptReal, EncryptionLevelsPermissionsAndPasswordsReadBackExactly)
{
    REQUIRE_PDF_TOOLS();
    const SecurityCase cases[] = {
        {0, false, false, false, false, "a b \"c\" d\\e", nullptr, -4, 2, 40},
        {0, false, false, false, true, "\"leading quote", "ends in backslash\\", -8, 2, 40},
        {0, true, true, true, true, "\\\"", "x\"", -64, 2, 40},
        {1, true, true, true, true, "é-Ł€ü", " blanks around ", -3392, 3, 128, "\xE9-\x95\xA0\xFC"},
        {1, false, false, false, true, "#hash start", "", -2056, 3, 128},
        {1, true, false, true, false, "copy and change", nullptr, -1052, 3, 128},
        {1, false, true, false, false, "forms", nullptr, -292, 3, 128},
        {1, false, false, false, false, "\t tab", "é", -4, 3, 128, nullptr, "\xE9"},
    };
    for (const SecurityCase& c : cases) {
        SCOPED_TRACE(c.owner);
        ConversionOptions o;
        o.m_bEnableSecurity = o.m_bOwnerPassword = 1;
        o.m_strOwnerPassword = QString::fromUtf8(c.owner);
        o.m_bUserPassword = c.user != nullptr;
        o.m_strUserPassword = QString::fromUtf8(c.user ? c.user : "");
        o.m_nEncryptionLevel = c.level;
        o.m_bCopyExtract = c.copy, o.m_bFormFill = c.form, o.m_bChangeDoc = c.change,
        o.m_bPrinting = c.print;
        const GhostscriptResult r = Convert(o, {m_inputs.at(0)});
        ASSERT_TRUE(r.ok) << r.message.toStdString();

        // Passwords are PDFDocEncoding bytes (é is 0xE9), read back with no recovery by qpdf.
        QJsonObject e = Encryption(r.pdfPath, c.ownerBytes ? c.ownerBytes : c.owner);
        ASSERT_TRUE(e.value("ownerpasswordmatched").toBool()) << c.owner;
        const QJsonObject p = e.value("parameters").toObject();
        EXPECT_EQ(c.permissions, p.value("P").toInt());
        EXPECT_EQ(c.revision, p.value("R").toInt());
        EXPECT_EQ(c.bits, p.value("bits").toInt());
        // What a reader allows is exactly what was not checked.
        const QJsonObject can = e.value("capabilities").toObject();
        EXPECT_EQ(!c.print, can.value("printlow").toBool());
        EXPECT_EQ(!c.print, can.value("printhigh").toBool());
        EXPECT_EQ(!c.copy, can.value("extract").toBool());
        EXPECT_EQ(!c.change, can.value("modifyother").toBool());
        EXPECT_EQ(!c.form, can.value("modifyannotations").toBool());
        if (c.level == 1) {
            EXPECT_EQ(!c.form, can.value("modifyforms").toBool());
            EXPECT_EQ(!c.change, can.value("modifyassembly").toBool());
            EXPECT_TRUE(can.value("accessibility").toBool());
        }

        const bool openWithoutPassword = c.user == nullptr || QByteArray(c.user).isEmpty();
        EXPECT_EQ(openWithoutPassword, Encryption(r.pdfPath, "").value("userpasswordmatched").toBool());
        if (c.user && *c.user) {
            const QByteArray bytes = c.userBytes ? c.userBytes : c.user;
            EXPECT_TRUE(Encryption(r.pdfPath, bytes).value("userpasswordmatched").toBool()) << c.user;
            EXPECT_TRUE(Encryption(r.pdfPath, "wrong").isEmpty());
        }
        if (c.level == 1) {
            EXPECT_EQ("%PDF-1.4", Header(r.pdfPath));  // raised from the default 1.3
        }
    }
    // As a user types it: qpdf --password=é (UTF-8) opens; the UTF-8 bytes themselves do not.
    int rc = -1;
    Tool("qpdf", {"--password=é", "--check", PdfPathFor(m_out.path(), "Book1.xlsx")}, &rc);
    EXPECT_EQ(0, rc);
    EXPECT_TRUE(Encryption(PdfPathFor(m_out.path(), "Book1.xlsx"), "\xC3\xA9").isEmpty());
    // Nothing is left behind: no argument file with passwords, no partial PDF.
    EXPECT_EQ(QStringList({"tmp_1.pdf", "tmp_2.pdf", "tmp_3.pdf"}), FilesIn(m_run.Path()));
    EXPECT_EQ(QStringList{"Book1.pdf"}, FilesIn(m_out.path()));
}

TEST_F(GhostscriptReal, SecurityNotAppliedWritesAnOpenPdf)
{
    REQUIRE_PDF_TOOLS();
    ConversionOptions o;
    o.m_bEnableSecurity = 1;
    o.m_bUserPassword = 1;
    o.m_strUserPassword = "user";  // a user password alone protects nothing
    o.m_nEncryptionLevel = 1;
    const GhostscriptResult r = Convert(o, {m_inputs.at(0)});
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ("no", InfoField(r.pdfPath, "Encrypted"));
    EXPECT_EQ("1.3", InfoField(r.pdfPath, "PDF version"));
}

TEST_F(GhostscriptReal, UnusablePasswordsAreRefusedBeforeAnythingRuns)
{
    REQUIRE_PDF_TOOLS();
    ConversionOptions o;
    o.m_bEnableSecurity = o.m_bOwnerPassword = 1;
    o.m_strOwnerPassword = QString::fromUtf8("пароль");
    GhostscriptResult r = Convert(o, m_inputs);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(PdfPathFor(m_out.path(), "Book1.xlsx"), r.pdfPath);
    EXPECT_TRUE(r.message.contains("owner password")) << r.message.toStdString();

    o.m_strOwnerPassword = "fine";
    o.m_bUserPassword = 1;
    o.m_strUserPassword = QString::fromUtf8("日本");
    r = Convert(o, m_inputs);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains("user password")) << r.message.toStdString();
    EXPECT_TRUE(FilesIn(m_out.path()).isEmpty());
    EXPECT_EQ(3, FilesIn(m_run.Path()).size());
}

TEST_F(GhostscriptReal, InformationVersionsInputsAndImageCompression)
{
    REQUIRE_PDF_TOOLS();
    ConversionOptions o;
    o.m_strDocTitle = QStringLiteral("Report (Q1) \\ final)(\r\tdraft");
    o.m_strDocAuthor = QString::fromUtf8("Jürgen Ørsted");
    o.m_strDocSubject = QString::fromUtf8("Отчёт за квартал");
    o.m_strDocKeywords = QString::fromUtf8("東京 (draft)");
    o.m_strPdfVersion = "V1.5";
    GhostscriptResult r = Convert(o, m_inputs, "/books/Info.xls");
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(o.m_strDocTitle, InfoField(r.pdfPath, "Title"));
    EXPECT_EQ(o.m_strDocAuthor, InfoField(r.pdfPath, "Author"));
    EXPECT_EQ(o.m_strDocSubject, InfoField(r.pdfPath, "Subject"));
    EXPECT_EQ(o.m_strDocKeywords, InfoField(r.pdfPath, "Keywords"));
    EXPECT_EQ("1.5", InfoField(r.pdfPath, "PDF version"));
    // PDF and PostScript print files, in sheet order.
    EXPECT_EQ("3", InfoField(r.pdfPath, "Pages"));
    EXPECT_TRUE(Tool("pdftotext", {"-f", "1", "-l", "1", r.pdfPath, "-"}).contains("Sheet one"));
    EXPECT_TRUE(Tool("pdftotext", {"-f", "3", "-l", "3", r.pdfPath, "-"}).contains("Sheet three"));
    // Flate images are lossless ("image"), though Ghostscript would pick JPEG for this photo on its own.
    EXPECT_TRUE(Tool("pdfimages", {"-list", r.pdfPath}).split('\n').value(2).contains(" image "));

    // Each JPEG quality, each version (an unknown one leaves Ghostscript's default).
    const QStringList versions{"V1.3(Acrobat 4.xx)", "V1.4", "V1.5", "V7"};
    const QStringList expectedVersions{"1.3", "1.4", "1.5", "1.7"};
    QList<long long> sizes;
    o = ConversionOptions();
    o.m_strImageCompression = "JPEG";
    for (int i = 0; i < 4; ++i) {
        o.m_strJpegQuality = OptionItems::JpegQuality().at(i);
        o.m_strPdfVersion = versions.at(i);
        r = Convert(o, {m_inputs.at(1)}, "/books/Q.xlsx");
        ASSERT_TRUE(r.ok) << r.message.toStdString();
        EXPECT_EQ(expectedVersions.at(i), InfoField(r.pdfPath, "PDF version"));
        const QString list = Tool("pdfimages", {"-list", r.pdfPath});
        EXPECT_TRUE(list.split('\n').value(2).contains(" jpeg ")) << list.toStdString();
        const QJsonObject objects = QJsonDocument::fromJson(
            Tool("qpdf", {"--json=2", "--json-key=qpdf", r.pdfPath}).toUtf8())
                                        .object().value("qpdf").toArray().at(1).toObject();
        for (const QJsonValue& v : objects) {
            const QJsonObject dict = v.toObject().value("stream").toObject().value("dict").toObject();
            if (dict.value("/Subtype").toString() == "/Image")
                sizes << dict.value("/Length").toInteger();
        }
    }
    // Minimum quality is the smallest image, Maximum the largest.
    ASSERT_EQ(4, sizes.size());
    for (int i = 1; i < 4; ++i)
        EXPECT_LT(sizes.at(i - 1), sizes.at(i)) << "quality " << i;
}

TEST_F(GhostscriptReal, FailedRunKeepsTheExistingPdf)
{
    REQUIRE_PDF_TOOLS();
    const QString target = PdfPathFor(m_out.path(), "Book1.xlsx");
    ASSERT_TRUE(gstest::WriteFile(target, "previous PDF"));
    AddInput(gstest::DamagedPs());

    GhostscriptResult r = Convert(ConversionOptions(), m_inputs);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(target, r.pdfPath);
    EXPECT_TRUE(r.message.startsWith("Ghostscript failed")) << r.message.toStdString();

    r = Convert(ConversionOptions(), {m_run.FilePath("not-printed.pdf")});
    EXPECT_FALSE(r.ok);

    GhostscriptJob missing{ConversionOptions(), "Book1.xlsx", m_out.path(), {m_inputs.at(0)},
                           m_run.Path(), m_run.FilePath("no-gs-here")};
    r = ConvertWithGhostscript(missing);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains("could not be started")) << r.message.toStdString();

    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QByteArray("previous PDF"), f.readAll());
    EXPECT_EQ(QStringList{"Book1.pdf"}, FilesIn(m_out.path()));

    // A good run then replaces it, with the permissions of a new file.
    r = Convert(ConversionOptions(), {m_inputs.at(0)});
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ("1", InfoField(target, "Pages"));
    const mode_t mask = ::umask(022);
    ::umask(mask);
    struct stat st{};
    ASSERT_EQ(0, ::stat(target.toLocal8Bit().constData(), &st));
    EXPECT_EQ(0666u & ~mask, st.st_mode & 0777);
}

TEST_F(GhostscriptReal, StopEndsGhostscriptAtOnceAndLeavesNoFile)
{
    ORVIK_REQUIRE_TOOL(HaveProgram("gs"), "Ghostscript (gs)");
    AddInput(gstest::EndlessPs());
    StopGate gate;
    std::thread stopper([&gate] {
        // Wait until Ghostscript runs as our child, then stop.
        for (int i = 0; i < 1000; ++i) {
            QDirIterator it("/proc", QDir::Dirs);
            bool running = false;
            while (it.hasNext() && !running) {
                QFile stat(it.next() + "/stat");
                if (!stat.open(QIODevice::ReadOnly))
                    continue;
                const QList<QByteArray> f = stat.readAll().split(' ');
                running = f.size() > 3 && f[1] == "(gs)" && f[3].toInt() == int(::getpid());
            }
            if (running)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        gate.RequestStop();
    });
    const GhostscriptResult r = Convert(ConversionOptions(), m_inputs, "/books/Book1.xlsx", &gate);
    stopper.join();
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains("stopped")) << r.message.toStdString();
    EXPECT_TRUE(FilesIn(m_out.path()).isEmpty());

    // A stop already requested starts nothing.
    EXPECT_FALSE(Convert(ConversionOptions(), {m_inputs.at(0)}, "/books/Book1.xlsx", &gate).ok);
    EXPECT_TRUE(FilesIn(m_out.path()).isEmpty());
}
