// Showing a file in the file manager: the URI the file manager gets, the
// folder opened when it cannot be asked or refuses, and that the caller never
// waits for the answer. Runs against a private dbus-daemon; its own program, as
// the session bus is connected once per process.
#include "platform/DesktopDoubles.h"
#include "support/RealTools.h"

#include "platform/FileManagerReveal.h"

#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <optional>

namespace {

using desktoptest::FakeFileManager;
using desktoptest::PrivateBus;
using desktoptest::RecordingXdgOpen;
using Outcome = CFileManagerReveal::Outcome;

// A real file with a blank, a non-ASCII letter and a '#' in its name.
struct OutputFolder {
    OutputFolder()
    {
        folder = dir.path() + QStringLiteral("/Aus gabe ö/");
        QDir().mkpath(folder);
        file = folder + QStringLiteral("Bericht März #1.pdf");
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write("%PDF-1.3\n");
    }
    QTemporaryDir dir;
    QString folder;
    QString file;
};

// Asks for filePath and waits for the outcome (on the window thread).
Outcome Reveal(const QString& filePath)
{
    std::optional<Outcome> outcome;
    CFileManagerReveal::ShowItem(filePath, [&](Outcome o) { outcome = o; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return outcome.has_value(); }, 30000));
    return outcome.value_or(Outcome::NothingOpened);
}

class FileManagerReveal : public ::testing::Test {
protected:
    void SetUp() override
    {
        ORVIK_REQUIRE_TOOL(testsupport::HaveProgram("dbus-daemon"), "dbus-daemon");
        bus.emplace();
        ASSERT_TRUE(bus->IsRunning());
        CFileManagerReveal::SetBusAddress(bus->Address());
    }
    void TearDown() override { CFileManagerReveal::SetBusAddress(QString()); }

    RecordingXdgOpen xdgOpen;
    OutputFolder out;
    std::optional<PrivateBus> bus;
};

TEST(FileManagerUri, IsAbsoluteAndPercentEncodesThePathBytes)
{
    const QString path = QStringLiteral("/tmp/Aus gabe/Bericht März #1?.pdf");
    EXPECT_EQ(CFileManagerReveal::FileUri(path),
              QStringLiteral("file:///tmp/Aus%20gabe/Bericht%20M%C3%A4rz%20%231%3F.pdf"));
    EXPECT_EQ(QUrl(CFileManagerReveal::FileUri(path)).toLocalFile(), path);
    EXPECT_EQ(CFileManagerReveal::FileUri(QStringLiteral("a b.pdf")),
              QUrl::fromLocalFile(QDir::currentPath() + QStringLiteral("/a b.pdf")).toString(QUrl::FullyEncoded));
}

TEST(FileManagerUri, FolderKeepsItsTrailingSlash)
{
    EXPECT_EQ(CFileManagerReveal::FolderOf(QStringLiteral("/out/x y/a.pdf")), QStringLiteral("/out/x y/"));
    EXPECT_EQ(CFileManagerReveal::FolderOf(QStringLiteral("/a.pdf")), QStringLiteral("/"));
}

TEST_F(FileManagerReveal, FileManagerGetsTheFileUriAndNoStartupId)
{
    FakeFileManager fm(bus->Address());
    ASSERT_TRUE(fm.IsRegistered());
    EXPECT_EQ(Reveal(out.file), Outcome::Shown);
    const QList<QDBusMessage> calls = fm.Calls();
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].interface(), QString::fromLatin1(CFileManagerReveal::kInterface));
    EXPECT_EQ(calls[0].path(), QString::fromLatin1(CFileManagerReveal::kObjectPath));
    const QByteArray bytes = QFile::encodeName(out.file);
    EXPECT_EQ(desktoptest::UrisOf(calls[0]),
              QStringList{QStringLiteral("file://") + QString::fromLatin1(QUrl::toPercentEncoding(bytes, "/"))});
    EXPECT_EQ(desktoptest::StartupIdOf(calls[0]), QString());
}

TEST_F(FileManagerReveal, RefusalNoServiceNoBusOrMissingFileOpenTheFolder)
{
    {
        FakeFileManager fm(bus->Address());
        fm.SetAnswer(FakeFileManager::Answer::Error);
        EXPECT_EQ(Reveal(out.file), Outcome::FolderOpened);
        EXPECT_EQ(fm.Snapshot().size(), 1);
    }
    EXPECT_EQ(Reveal(out.file), Outcome::FolderOpened); // nobody owns the name now

    const QString gone = QStringLiteral("unix:path=") + out.dir.path() + QStringLiteral("/no-bus");
    CFileManagerReveal::SetBusAddress(gone);
    EXPECT_EQ(Reveal(out.file), Outcome::FolderOpened);

    FakeFileManager fm(bus->Address());
    CFileManagerReveal::SetBusAddress(bus->Address());
    EXPECT_EQ(Reveal(out.folder + QStringLiteral("deleted.pdf")), Outcome::FolderOpened);
    EXPECT_TRUE(fm.Snapshot().isEmpty()) << "a missing file is not shown";

    const QList<QStringList> opened = xdgOpen.Calls(4);
    EXPECT_EQ(opened, QList<QStringList>(4, QStringList{out.folder}));
}

TEST_F(FileManagerReveal, CallerGoesOnWhileTheFileManagerHasNotAnswered)
{
    FakeFileManager fm(bus->Address());
    fm.SetAnswer(FakeFileManager::Answer::Hold);
    std::optional<Outcome> outcome;
    CFileManagerReveal::ShowItem(out.file, [&](Outcome o) { outcome = o; });
    EXPECT_FALSE(outcome.has_value());
    ASSERT_EQ(fm.Calls().size(), 1); // the window thread's events keep flowing meanwhile
    QTest::qWait(50);
    EXPECT_FALSE(outcome.has_value()) << "no answer yet";
    fm.Release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return outcome.has_value(); }, 30000));
    EXPECT_EQ(*outcome, Outcome::Shown);
    EXPECT_TRUE(xdgOpen.Snapshot().isEmpty());
}

// The program's own way: the session bus named by the environment. The only
// test here that touches the session bus (it is connected once per process).
TEST_F(FileManagerReveal, SessionBusOfTheEnvironmentIsAsked)
{
    const QByteArray saved = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus->Address().toUtf8());
    CFileManagerReveal::SetBusAddress(QString());
    FakeFileManager fm(bus->Address());
    EXPECT_EQ(Reveal(out.file), Outcome::Shown);
    EXPECT_EQ(desktoptest::UrisOf(fm.Calls().value(0)), QStringList{CFileManagerReveal::FileUri(out.file)});
    qputenv("DBUS_SESSION_BUS_ADDRESS", saved);
}

} // namespace
