// The add-in library and its Calc extension, with the real office: installed into
// a private shared extension folder (ORVIK_ADDIN_SHARED_DIR), seen by a headless
// office, its command run over UNO on real workbooks, and removed without trace.
#include "SetupTestSupport.h"
#include "TestOffice.h"

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/container/XHierarchicalNameAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/script/XLibraryContainer.hpp>
#include <com/sun/star/script/provider/XScript.hpp>
#include <com/sun/star/script/provider/XScriptProvider.hpp>
#include <com/sun/star/script/provider/theMasterScriptProviderFactory.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <QDirIterator>
#include <QRegularExpression>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <grp.h>
#include <sys/wait.h>

using namespace setuptest;
using rtl::OUString;
using testsupport::HaveProgram;


namespace {

const QString kId = QStringLiteral("example.orvik-software.excel-to-pdf");
constexpr uint32_t kAccessDenied = 0x80070005;
constexpr int kCallLimitMs = 120000;

OUString Ou(const QString& s)
{
    const QByteArray u = s.toUtf8();
    return OUString(u.constData(), u.size(), RTL_TEXTENCODING_UTF8);
}

QString Qs(const OUString& s)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(s.getStr()), s.getLength());
}

bool MakeOpen(const QString& path)
{
    return QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                           | QFileDevice::ReadOther | QFileDevice::ExeOther);
}

// An installation folder (with a blank in its path) holding the add-in library
// and a link to the real command-line converter.
class AddinFolder {
public:
    explicit AddinFolder(const QString& name = QStringLiteral("orvik install"))
    {
        m_path = m_top.filePath(name);
        QDir().mkpath(m_path);
        MakeOpen(m_top.path());
        MakeOpen(m_path);
        QFile::copy(QStringLiteral(ORVIK_BINARY_DIR "/setup/OrvikExcelToPDF.so"), Library());
        MakeOpen(Library());
        QFile::link(QStringLiteral(ORVIK_BINARY_DIR "/cli/orvik-xl2pdf"), Converter());
    }
    QString Path() const { return m_path; }
    QString Library() const { return m_path + QStringLiteral("/OrvikExcelToPDF.so"); }
    QString Converter() const { return m_path + QStringLiteral("/orvik-xl2pdf"); }

    // Calls an entry point of the library in this process.
    uint32_t Call(const char* entryPoint) const
    {
        void* library = ::dlopen(QFile::encodeName(Library()).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return 1;
        auto call = reinterpret_cast<int32_t (*)()>(::dlsym(library, entryPoint));
        const uint32_t result = call ? static_cast<uint32_t>(call()) : 2;
        ::dlclose(library);
        return result;
    }

private:
    QTemporaryDir m_top;
    QString m_path;
};

// The shared extension folder the add-in and the test office use instead of the
// office's own.
class SharedFolder {
public:
    SharedFolder()
        : m_path(m_top.filePath(QStringLiteral("shared")))
        , m_seam("ORVIK_ADDIN_SHARED_DIR", m_path)
    {
        QDir().mkpath(m_path);
        MakeOpen(m_top.path());
        MakeOpen(m_path);
    }
    QString Path() const { return m_path; }

    // How often unopkg lists the extension there.
    int Listed() const
    {
        QTemporaryDir scratch;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), scratch.path());
        env.insert(QStringLiteral("XDG_CACHE_HOME"), scratch.path());
        const QString url = CTestOffice::FileUrl(m_path);
        const RunResult r = RunProgram(QStringLiteral(ORVIK_OFFICE_PROGRAM_DIR "/unopkg"),
                                       {QStringLiteral("list"), QStringLiteral("--shared"),
                                        QStringLiteral("-env:UNO_SHARED_PACKAGES=") + url,
                                        QStringLiteral("-env:UNO_SHARED_PACKAGES_CACHE=") + url + QStringLiteral("/cache")},
                                       QString(), env);
        return r.out.count(QStringLiteral("Identifier: ") + kId);
    }

private:
    QTemporaryDir m_top;
    QString m_path;
    EnvOverride m_seam;
};

// Files below folder whose name or content names the extension or the converter.
QStringList FilesNaming(const QString& folder, const QStringList& needles)
{
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        const QByteArray content = f.open(QIODevice::ReadOnly) ? f.read(8 << 20) : QByteArray();
        for (const QString& n : needles)
            if (path.contains(n, Qt::CaseInsensitive) || content.contains(n.toUtf8()))
                found.append(path);
    }
    found.removeDuplicates();
    return found;
}

bool HaveOffice()
{
    return QFileInfo(QStringLiteral(ORVIK_OFFICE_PROGRAM_DIR "/unopkg")).isExecutable()
        && QFileInfo(QStringLiteral(ORVIK_OFFICE_PROGRAM_DIR "/soffice")).isExecutable();
}

#define REQUIRE_OFFICE() ORVIK_REQUIRE_TOOL(HaveOffice(), "LibreOffice (soffice, unopkg)")

// What a headless office sees of the extension.
struct Seen {
    bool mergeNode = false;
    QString mergePoint;
    bool toolbarNode = false;
    bool basicLibrary = false;
};

Seen LookAround(CTestOffice& office, QString* error)
{
    Seen seen;
    office.Bounded(kCallLimitMs, [&] {
        auto ctx = office.Context();
        auto provider = css::configuration::theDefaultProvider::get(ctx);
        css::uno::Sequence<css::uno::Any> args(1);
        args.getArray()[0] <<= css::beans::NamedValue(Ou(QStringLiteral("nodepath")),
                                                       css::uno::Any(Ou(QStringLiteral("/org.openoffice.Office.Addons/AddonUI"))));
        css::uno::Reference<css::container::XHierarchicalNameAccess> ui(
            provider->createInstanceWithArguments(Ou(QStringLiteral("com.sun.star.configuration.ConfigurationAccess")), args),
            css::uno::UNO_QUERY_THROW);
        const QString merging = QStringLiteral("OfficeMenuBarMerging/") + kId;
        seen.mergeNode = ui->hasByHierarchicalName(Ou(merging));
        if (seen.mergeNode) {
            OUString point;
            ui->getByHierarchicalName(Ou(merging + QStringLiteral("/ConvertAfterExportToPDF/MergePoint"))) >>= point;
            seen.mergePoint = Qs(point);
        }
        seen.toolbarNode = ui->hasByHierarchicalName(Ou(QStringLiteral("OfficeToolBar/") + kId));
        css::uno::Reference<css::script::XLibraryContainer> basic(
            ctx->getServiceManager()->createInstanceWithContext(
                Ou(QStringLiteral("com.sun.star.script.ApplicationScriptLibraryContainer")), ctx),
            css::uno::UNO_QUERY_THROW);
        seen.basicLibrary = basic->hasByName(Ou(QStringLiteral("OrvikExcelToPDF")));
    }, error);
    return seen;
}

} // namespace

// Registered twice it is there once; the office sees the menu entry and the Basic
// library; removed (twice) it leaves nothing, not even in a profile that had it.
TEST(AddinRegistration, InstallsOnceIsSeenByTheOfficeAndGoesWithoutTrace)
{
    REQUIRE_OFFICE();
    SharedFolder shared;
    AddinFolder folder;
    EXPECT_EQ(0u, folder.Call("DllRegisterServer"));
    EXPECT_EQ(0u, folder.Call("DllRegisterServer"));
    EXPECT_EQ(1, shared.Listed());

    // The converter's path, blank included, is in the Basic module.
    const QStringList modules = FilesNaming(shared.Path(), {QStringLiteral("Convert.xba")});
    ASSERT_FALSE(modules.isEmpty());
    EXPECT_TRUE(ReadText(modules.first()).contains(QStringLiteral("ConverterPath = &quot;") + folder.Converter()
                                                   + QStringLiteral("&quot;")))
        << modules.first().toStdString();

    QTemporaryDir profileTop;
    const QString profile = profileTop.filePath(QStringLiteral("profile"));
    {
        CTestOffice office(profile, shared.Path());
        QString error;
        ASSERT_TRUE(office.Start(&error)) << error.toStdString();
        const Seen seen = LookAround(office, &error);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        EXPECT_TRUE(seen.mergeNode);
        EXPECT_EQ(QStringLiteral(".uno:PickList\\.uno:ExportToPDF"), seen.mergePoint);
        EXPECT_TRUE(seen.toolbarNode);
        EXPECT_TRUE(seen.basicLibrary);
    }
    EXPECT_FALSE(FilesNaming(profile, {kId}).isEmpty()) << "the profile never knew the extension";

    EXPECT_EQ(0u, folder.Call("DllUnregisterServer"));
    EXPECT_EQ(0u, folder.Call("DllUnregisterServer"));
    EXPECT_EQ(0, shared.Listed());
    const QStringList ours{kId, QStringLiteral("OrvikExcelToPDF"), QStringLiteral("orvik-xl2pdf")};
    EXPECT_EQ(QStringList(), FilesNaming(shared.Path(), ours));
    {
        CTestOffice office(profile, shared.Path());
        QString error;
        ASSERT_TRUE(office.Start(&error)) << error.toStdString();
        const Seen seen = LookAround(office, &error);
        EXPECT_FALSE(seen.mergeNode);
        EXPECT_FALSE(seen.basicLibrary);
    }
    EXPECT_EQ(QStringList(), FilesNaming(profile, {kId}));
}

// The office loads the extension's Basic library, its scripts and its dialogs, as
// Calc does when it starts on a desktop: without an error box, which would wait
// for an answer here and keep the call from returning.
TEST(AddinRegistration, TheOfficeLoadsItsScriptAndDialogLibraryWithoutAnError)
{
    REQUIRE_OFFICE();
    SharedFolder shared;
    AddinFolder folder;
    ASSERT_EQ(0u, folder.Call("DllRegisterServer"));
    QTemporaryDir profile;
    CTestOffice office(profile.filePath(QStringLiteral("profile")), shared.Path());
    office.SetWindowed(true);
    QString error;
    ASSERT_TRUE(office.Start(&error)) << error.toStdString();
    const OUString library = Ou(QStringLiteral("OrvikExcelToPDF"));
    for (const char* service : {"com.sun.star.script.ApplicationScriptLibraryContainer",
                                "com.sun.star.script.ApplicationDialogLibraryContainer"}) {
        SCOPED_TRACE(service);
        bool loaded = false;
        ASSERT_TRUE(office.Bounded(kCallLimitMs, [&] {
            auto ctx = office.Context();
            css::uno::Reference<css::script::XLibraryContainer> container(
                ctx->getServiceManager()->createInstanceWithContext(Ou(QLatin1String(service)), ctx),
                css::uno::UNO_QUERY_THROW);
            container->loadLibrary(library);
            loaded = container->isLibraryLoaded(library);
        }, &error)) << error.toStdString() << " (an error box keeps the office waiting?)";
        EXPECT_TRUE(loaded);
    }
}

// A converter path that the Basic module could not hold is refused before
// anything is written.
TEST(AddinRegistration, RefusesAConverterPathItCannotPassOn)
{
    REQUIRE_OFFICE();
    for (const QString& name : {QStringLiteral("with \"quote"), QStringLiteral("with\nnewline")}) {
        SharedFolder shared;
        AddinFolder folder(name);
        ASSERT_TRUE(QFileInfo::exists(folder.Library()));
        EXPECT_EQ(0x80004005u, folder.Call("DllRegisterServer"));
        EXPECT_EQ(QStringList(), QDir(shared.Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot));
    }
}

// An ordinary user gets "access denied" and the shared folder stays as it was.
TEST(AddinRegistration, AsAnOrdinaryUserFailsAndWritesNothing)
{
    REQUIRE_OFFICE();
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to try the add-in as an ordinary user";
    SharedFolder shared;
    AddinFolder folder;
    for (const char* entry : {"DllRegisterServer", "DllUnregisterServer"}) {
        SCOPED_TRACE(entry);
        const pid_t child = ::fork();
        if (child == 0) {
            const uid_t nobody = 65534;
            if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
                ::_exit(3);
            ::setenv("HOME", "/nonexistent", 1);
            const uint32_t result = folder.Call(entry);
            ::_exit(result == kAccessDenied ? 0 : result == 0 ? 4 : 5);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        // Removing what is not there is no failure, for anybody.
        EXPECT_EQ(QLatin1String(entry) == QLatin1String("DllRegisterServer") ? 0 : 4, WEXITSTATUS(status));
        EXPECT_EQ(QStringList(), QDir(shared.Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot));
    }
}

namespace {

// The Calc command's logic, called over UNO in an office that has the add-in.
class CalcCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveOffice() || !HaveProgram("pdfinfo") || !HaveProgram("pdftotext"))
            return;
        ASSERT_EQ(0u, m_folder.Call("DllRegisterServer"));
        m_office = std::make_unique<CTestOffice>(m_profile.filePath(QStringLiteral("profile")), m_shared.Path());
        QString error;
        ASSERT_TRUE(m_office->Start(&error)) << error.toStdString();
        m_bReady = true;
    }
    void TearDown() override
    {
        m_office.reset();
        m_folder.Call("DllUnregisterServer");
    }

    css::uno::Reference<css::lang::XComponent> Load(const QString& url)
    {
        css::uno::Reference<css::lang::XComponent> doc;
        QString error;
        css::uno::Sequence<css::beans::PropertyValue> props(1);
        props.getArray()[0].Name = Ou(QStringLiteral("Hidden"));
        props.getArray()[0].Value <<= true;
        EXPECT_TRUE(m_office->Bounded(kCallLimitMs, [&] {
            css::uno::Reference<css::frame::XComponentLoader> loader(m_office->Desktop(), css::uno::UNO_QUERY_THROW);
            doc = loader->loadComponentFromURL(Ou(url), Ou(QStringLiteral("_blank")), 0, props);
        }, &error)) << error.toStdString();
        return doc;
    }

    std::string Convert(const css::uno::Reference<css::lang::XComponent>& doc, bool replace)
    {
        QString result = QStringLiteral("(no answer)");
        QString error;
        const bool ok = m_office->Bounded(kCallLimitMs, [&] {
            auto factory = css::script::provider::theMasterScriptProviderFactory::get(m_office->Context());
            auto provider = factory->createScriptProvider(css::uno::Any(OUString()));
            auto script = provider->getScript(Ou(QStringLiteral(
                "vnd.sun.star.script:OrvikExcelToPDF.Convert.ConvertDocument?language=Basic&location=application")));
            css::uno::Sequence<css::uno::Any> args(2);
            args.getArray()[0] <<= doc;
            args.getArray()[1] <<= replace;
            css::uno::Sequence<sal_Int16> outIndex;
            css::uno::Sequence<css::uno::Any> outArgs;
            OUString answer;
            script->invoke(args, outIndex, outArgs) >>= answer;
            result = Qs(answer);
        }, &error);
        return (ok ? result : QStringLiteral("failed: ") + error).toStdString();
    }

    void Close(const css::uno::Reference<css::lang::XComponent>& doc)
    {
        QString ignored;
        m_office->Bounded(kCallLimitMs, [&] {
            css::uno::Reference<css::util::XCloseable> closeable(doc, css::uno::UNO_QUERY);
            if (closeable.is())
                closeable->close(true);
        }, &ignored);
    }

    // A copy of a sample workbook in a folder of the given name.
    QString Sample(const QString& folderName, const QString& name = QStringLiteral("SampleSS.xlsx"))
    {
        const QString folder = m_work.filePath(folderName);
        QDir().mkpath(folder);
        const QString path = folder + QLatin1Char('/') + name;
        QFile::copy(QStringLiteral(ORVIK_TESTDATA_DIR "/SampleSS.xlsx"), path);
        return path;
    }

    SharedFolder m_shared;
    AddinFolder m_folder;
    QTemporaryDir m_profile;
    QTemporaryDir m_work;
    std::unique_ptr<CTestOffice> m_office;
    bool m_bReady = false;
};

int Pages(const QString& pdf)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                          .match(RunProgram(QStringLiteral("pdfinfo"), {pdf}).out);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

#define REQUIRE_READY()                                                                                 \
    ORVIK_REQUIRE_TOOL(HaveOffice(), "LibreOffice (soffice, unopkg)");                                 \
    ORVIK_REQUIRE_TOOL(HaveProgram("pdfinfo") && HaveProgram("pdftotext"), "poppler-utils");          \
    ASSERT_TRUE(m_bReady)

} // namespace

// The PDF lands beside the workbook, one page per sheet, its text searchable; an
// existing PDF is kept when replacing is refused and replaced when it is not.
TEST_F(CalcCommand, ConvertsTheWorkbookBesideItAndKeepsOrReplacesThePdf)
{
    REQUIRE_READY();
    const QString workbook = Sample(QStringLiteral("my workbooks"));
    const QString pdf = QFileInfo(workbook).path() + QStringLiteral("/SampleSS.pdf");
    auto doc = Load(CTestOffice::FileUrl(workbook));
    ASSERT_TRUE(doc.is());

    EXPECT_EQ("converted", Convert(doc, false));
    ASSERT_TRUE(QFileInfo::exists(pdf));
    // The same PDF as the converter makes from the command line.
    const QString direct = Sample(QStringLiteral("direct"));
    const RunResult cli = RunProgram(m_folder.Converter(), {direct, QStringLiteral("-o"), QFileInfo(direct).path()});
    ASSERT_EQ(0, cli.exitCode) << cli.err.toStdString();
    EXPECT_EQ(Pages(QFileInfo(direct).path() + QStringLiteral("/SampleSS.pdf")), Pages(pdf));
    EXPECT_GE(Pages(pdf), 2);
    const QString text = RunProgram(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).out;
    EXPECT_TRUE(text.contains(QLatin1String("Test spreadsheet"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QLatin1String("Start of 2nd sheet"))) << text.toStdString();

    // Refused: the PDF stays as it is, byte for byte and by its time.
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("an older PDF");
    f.close();
    const QDateTime written = QFileInfo(pdf).lastModified();
    EXPECT_EQ("kept", Convert(doc, false));
    EXPECT_EQ(QStringLiteral("an older PDF"), ReadText(pdf));
    EXPECT_EQ(written, QFileInfo(pdf).lastModified());

    EXPECT_EQ("converted", Convert(doc, true));
    EXPECT_TRUE(ReadText(pdf).startsWith(QLatin1String("%PDF")));
    Close(doc);
}

// What the command cannot convert is refused before anything runs.
TEST_F(CalcCommand, RefusesWhatItCannotConvertAndRunsNothing)
{
    REQUIRE_READY();
    // A spreadsheet saved in the office's own format.
    const QString workbook = Sample(QStringLiteral("ods here"));
    auto doc = Load(CTestOffice::FileUrl(workbook));
    ASSERT_TRUE(doc.is());
    const QString ods = QFileInfo(workbook).path() + QStringLiteral("/Other.ods");
    QString error;
    ASSERT_TRUE(m_office->Bounded(kCallLimitMs, [&] {
        css::uno::Reference<css::frame::XStorable> storable(doc, css::uno::UNO_QUERY_THROW);
        css::uno::Sequence<css::beans::PropertyValue> props(1);
        props.getArray()[0].Name = Ou(QStringLiteral("FilterName"));
        props.getArray()[0].Value <<= Ou(QStringLiteral("calc8"));
        storable->storeAsURL(Ou(CTestOffice::FileUrl(ods)), props);
    }, &error)) << error.toStdString();
    EXPECT_EQ("refused", Convert(doc, true));
    Close(doc);

    // A new document never saved.
    auto fresh = Load(QStringLiteral("private:factory/scalc"));
    ASSERT_TRUE(fresh.is());
    EXPECT_EQ("refused", Convert(fresh, true));
    Close(fresh);

    // A path the converter's command line could not carry.
    const QString quoted = Sample(QStringLiteral("say \"cheese\""));
    auto third = Load(CTestOffice::FileUrl(quoted));
    ASSERT_TRUE(third.is());
    EXPECT_EQ("refused", Convert(third, true));
    Close(third);

    // Unsaved changes with no answer to the question: nothing happens.
    const QString changed = Sample(QStringLiteral("changed"));
    auto fourth = Load(CTestOffice::FileUrl(changed));
    ASSERT_TRUE(fourth.is());
    ASSERT_TRUE(m_office->Bounded(kCallLimitMs, [&] {
        css::uno::Reference<css::sheet::XSpreadsheetDocument> sheets(fourth, css::uno::UNO_QUERY_THROW);
        css::uno::Reference<css::container::XIndexAccess> all(sheets->getSheets(), css::uno::UNO_QUERY_THROW);
        css::uno::Reference<css::sheet::XSpreadsheet> first(all->getByIndex(0), css::uno::UNO_QUERY_THROW);
        first->getCellByPosition(5, 5)->setFormula(Ou(QStringLiteral("changed")));
    }, &error)) << error.toStdString();
    EXPECT_EQ("cancelled", Convert(fourth, true));
    Close(fourth);

    QStringList pdfs;
    QDirIterator it(m_work.path(), {QStringLiteral("*.pdf")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        pdfs.append(it.next());
    EXPECT_EQ(QStringList(), pdfs);
}
