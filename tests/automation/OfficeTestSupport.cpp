#include "OfficeTestSupport.h"

#include "automation/OfficeServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

namespace officetest {

QString TestData(const QString& name)
{
    return QStringLiteral(ORVIK_TESTDATA_DIR "/") + name;
}

bool OfficeInstalled()
{
    return QFileInfo(QStringLiteral("/usr/lib/libreoffice/program/soffice.bin")).isExecutable()
           && QFileInfo::exists(QStringLiteral("/usr/lib/libreoffice/program/libsclo.so"));
}

bool QueueInstalled()
{
    QProcess lpstat;
    lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-p"), QString::fromLatin1(kQueue)});
    return lpstat.waitForFinished(10000) && lpstat.exitStatus() == QProcess::NormalExit && lpstat.exitCode() == 0;
}

std::vector<Variant> OpenArgs(const QString& path, const QString& password)
{
    const Variant omitted = Variant::Omitted();
    const Variant yes = Variant::Short(1);
    const Variant no = Variant::Short(0);
    return {Variant::String(path), Variant::Long(0), yes, omitted, Variant::String(password), omitted, yes,
            omitted, omitted, no, no, omitted, no};
}

std::vector<Variant> PrintOutArgs(const QString& file, const QString& printer)
{
    const Variant omitted = Variant::Omitted();
    return {omitted, omitted, Variant::Long(1), Variant::Short(0), Variant::String(printer), omitted, omitted,
            Variant::String(file)};
}

std::vector<Variant> CloseArgs()
{
    return {Variant::Short(0), Variant::Short(0), Variant::Short(0)};
}

std::vector<pid_t> OfficeChildren()
{
    std::vector<pid_t> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool numeric = false;
        const pid_t pid = entry.toInt(&numeric);
        if (!numeric)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // pid (comm) state ppid ...
        const QByteArray line = stat.readAll();
        const int close = line.lastIndexOf(')');
        const QByteArray comm = line.mid(line.indexOf('(') + 1, close - line.indexOf('(') - 1);
        const QList<QByteArray> rest = line.mid(close + 2).split(' ');
        if (comm == "soffice.bin" && rest.size() > 1 && rest[0] != "Z" && rest[1].toInt() == getpid())
            children.push_back(pid);
    }
    return children;
}

QString PdfText(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

bool IsWholePdf(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray all = f.readAll();
    return all.startsWith("%PDF-") && all.trimmed().endsWith("%%EOF");
}

CDispatchDriver OpenWorkbook::Sheet(int index)
{
    return CDispatchDriver(sheets.GetObjectProperty(170, {Variant::Short(static_cast<int16_t>(index))}));
}

bool OpenWorkbook::Print(int index, const QString& file, const QString& printer)
{
    CDispatchDriver sheet = Sheet(index);
    sheet.InvokeHelper(304, DISPATCH_METHOD);
    const Variant result = sheet.InvokeHelper(1772, DISPATCH_METHOD, PrintOutArgs(file, printer));
    EXPECT_EQ(result.vt, VT_BOOL);
    return result.boolVal;
}

void OpenWorkbook::CloseAndQuit()
{
    book.InvokeHelper(277, DISPATCH_METHOD, CloseArgs());
    app.InvokeHelper(302, DISPATCH_METHOD);
}

OpenWorkbook Open(const QString& path, const QString& password)
{
    OpenWorkbook w;
    QString error;
    w.app.AttachDispatch(DispatchRegistry::Create(QStringLiteral("Excel.Application"), &error));
    if (!w.app.IsAttached())
        throw DispatchException(E_FAIL, QStringLiteral("Couldn't get Excel object: ") + error);
    w.app.SetProperty(558, Variant::Bool(false));
    w.books.AttachDispatch(w.app.GetObjectProperty(572));
    const Variant book = w.books.InvokeHelper(682, DISPATCH_METHOD, OpenArgs(path, password));
    w.book.AttachDispatch(book.pdispVal);
    w.sheets.AttachDispatch(w.book.GetObjectProperty(485));
    const Variant count = w.sheets.GetProperty(118);
    EXPECT_EQ(count.vt, VT_I4);
    w.count = count.lVal;
    return w;
}

namespace {

// Every test program runs with a HOME of its own, to show that the office never
// writes into the user's configuration (~/.config/libreoffice) or anywhere else
// there; the cache folder stays the user's, so the profile template is reused.
class OfficeEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
        if (cache.isEmpty())
            cache = QDir::homePath() + QStringLiteral("/.cache");
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache));
        m_home = std::make_unique<QTemporaryDir>();
        QDir().mkpath(m_home->path() + QStringLiteral("/.config"));
        qputenv("HOME", QFile::encodeName(m_home->path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home->path() + QStringLiteral("/.config")));
        RegisterOfficeServer();
    }

    void TearDown() override
    {
        EXPECT_TRUE(OfficeChildren().empty()) << "an office process outlived its tests";
        const QStringList left = QDir(m_home->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        EXPECT_EQ(left, QStringList{QStringLiteral(".config")}) << "the office wrote into HOME";
        EXPECT_TRUE(QDir(m_home->path() + QStringLiteral("/.config")).isEmpty())
            << "the office wrote into the user's configuration folder";
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new OfficeEnvironment);

} // namespace

} // namespace officetest
