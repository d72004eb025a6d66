// The link opener: how the text/html handler's command is cut and split, how
// the handler is found, and that the fallback really starts it.
#include "platform/LinkOpener.h"
#include "XdgSandbox.h"

#include <gtest/gtest.h>

namespace {

const QString kTarget = QStringLiteral("https://www.orvik-software.example/excel-to-pdf/");

TEST(LinkFallbackCommand, CutsAtQuotedPlaceholderKeepingTheBlankBeforeIt)
{
    const QString command = QStringLiteral("\"/opt/Web Browser/browser\" -osint -url \"%1\"");
    EXPECT_EQ(CLinkOpener::FallbackCommandLine(command, kTarget),
              QStringLiteral("\"/opt/Web Browser/browser\" -osint -url  ") + kTarget);
}

TEST(LinkFallbackCommand, CutsAtBarePlaceholderAndDropsWhatFollows)
{
    EXPECT_EQ(CLinkOpener::FallbackCommandLine(QStringLiteral("browser %1 --new-window"), kTarget),
              QStringLiteral("browser  ") + kTarget);
    EXPECT_EQ(CLinkOpener::FallbackCommandLine(QStringLiteral("firefox-esr %u"), kTarget),
              QStringLiteral("firefox-esr  ") + kTarget);
}

TEST(LinkFallbackCommand, WithoutPlaceholderAppendsBlankAndTarget)
{
    EXPECT_EQ(CLinkOpener::FallbackCommandLine(QStringLiteral("browser --new"), kTarget),
              QStringLiteral("browser --new ") + kTarget);
    // "%%u" is a literal "%u", not a placeholder.
    EXPECT_EQ(CLinkOpener::CutAtPlaceholder(QStringLiteral("tool --pct=%%u")), QStringLiteral("tool --pct=%%u"));
}

TEST(LinkFallbackCommand, QuotedPlaceholderWinsOverAnEarlierBareOne)
{
    EXPECT_EQ(CLinkOpener::CutAtPlaceholder(QStringLiteral("b %F --x \"%U\" y")), QStringLiteral("b %F --x "));
    EXPECT_EQ(CLinkOpener::CutAtPlaceholder(QStringLiteral("b --x %f \"%%u\"")), QStringLiteral("b --x "));
}

TEST(LinkFallbackCommand, SplitsByDesktopEntryQuoting)
{
    QStringList args;
    ASSERT_TRUE(CLinkOpener::SplitExecLine(
        QStringLiteral("\"/opt/My Browser/run\"  --a=\"x y\" \"q\\\"\\`\\$\\\\z\" \"\" \"\\n\""), &args));
    EXPECT_EQ(args, (QStringList{"/opt/My Browser/run", "--a=x y", "q\"`$\\z", "", "\\n"}));
    EXPECT_FALSE(CLinkOpener::SplitExecLine(QStringLiteral("run \"open"), &args));
}

TEST(LinkFallbackCommand, ArgumentsKeepTheTargetWholeAndDropLeftoverFieldCodes)
{
    const QString target = QStringLiteral("/tmp/a \"b\" $c.htm");
    EXPECT_EQ(CLinkOpener::FallbackArguments(QStringLiteral("web %i --p=100%% \"%u\""), target),
              (QStringList{"web", "--p=100%", target}));
    // A target that looks like an option reaches the program as a path.
    EXPECT_EQ(CLinkOpener::FallbackArguments(QStringLiteral("web"), QStringLiteral("--kiosk")),
              (QStringList{"web", "./--kiosk"}));
    // Nothing to run: an empty line, or a quote the cut left open.
    EXPECT_TRUE(CLinkOpener::FallbackArguments(QString(), target).isEmpty());
    EXPECT_TRUE(CLinkOpener::FallbackArguments(QStringLiteral("sh -c \"web %u\""), target).isEmpty());
}

TEST(LinkHandlerLookup, ConfigListWinsAndUninstalledEntriesAreSkipped)
{
    XdgSandbox box;
    box.InstallEntry("data-browser.desktop", "data");
    box.InstallEntry("config-browser.desktop", "config");
    box.SetDefault("data/applications/mimeapps.list", "data-browser.desktop;");
    EXPECT_EQ(CLinkOpener::DefaultHandlerId("text/html"), QStringLiteral("data-browser.desktop"));

    box.SetDefault("config/mimeapps.list", "gone.desktop;config-browser.desktop;");
    EXPECT_EQ(CLinkOpener::DefaultHandlerId("text/html"), QStringLiteral("config-browser.desktop"));
    EXPECT_TRUE(CLinkOpener::DefaultHandlerId("application/x-none").isEmpty());

    qputenv("XDG_CURRENT_DESKTOP", "Test:Other");
    box.SetDefault("config/test-mimeapps.list", "data-browser.desktop");
    EXPECT_EQ(CLinkOpener::DefaultHandlerId("text/html"), QStringLiteral("data-browser.desktop"));
}

TEST(LinkHandlerLookup, FindsVendorFolderAndReadsUnescapedExec)
{
    XdgSandbox box;
    box.InstallEntry("vendor/web.desktop", "\"/opt/web\\\\dir/run\"\\s--flag %U", "share/applications");
    const QString path = CLinkOpener::FindDesktopFile("vendor-web.desktop");
    EXPECT_EQ(path, box.Path("share/applications/vendor/web.desktop"));
    EXPECT_EQ(CLinkOpener::ReadExecLine(path), QStringLiteral("\"/opt/web\\dir/run\" --flag %U"));
    EXPECT_TRUE(CLinkOpener::FindDesktopFile("missing.desktop").isEmpty());
}

TEST(LinkOpen, FailingOpenerStartsTheHtmlHandlerWithTheTarget)
{
    XdgSandbox box;
    box.FailingXdgOpen(3);
    box.InstallEntry("recorder.desktop", "\"" + box.Recorder() + "\" --new-tab \"%u\" --ignored");
    box.SetDefault("config/mimeapps.list", "recorder.desktop");

    const int result = CLinkOpener().Open(kTarget);
    EXPECT_GT(result, 32);
    EXPECT_EQ(box.Recorded(), (QStringList{"--new-tab", kTarget}));
}

TEST(LinkOpen, OpenerFailureIsReportedWhenThereIsNoHandler)
{
    XdgSandbox box;
    CLinkOpener opener;
    box.FailingXdgOpen(3);
    EXPECT_EQ(opener.Open(kTarget), CLinkOpener::kNoAssociation);
    box.FailingXdgOpen(2);
    EXPECT_EQ(opener.Open(kTarget), CLinkOpener::kFileNotFound);
    box.FailingXdgOpen(1);
    EXPECT_EQ(opener.Open(kTarget), CLinkOpener::kUnknownFailure);
    // An entry without Exec is no handler either.
    box.Write("data/applications/noexec.desktop", "[Desktop Entry]\nName=x\n");
    box.SetDefault("config/mimeapps.list", "noexec.desktop");
    EXPECT_EQ(opener.Open(kTarget), CLinkOpener::kUnknownFailure);
}

TEST(LinkOpen, HandlerStartFailuresMapOntoReasonCodes)
{
    XdgSandbox box;
    CLinkOpener opener;
    opener.SetDesktopOpener([](const QString&) { return CLinkOpener::kNoAssociation; });
    box.SetDefault("config/mimeapps.list", "web.desktop");

    box.InstallEntry("web.desktop", box.Path("bin/absent") + " %u");
    EXPECT_EQ(opener.Open(kTarget), CLinkOpener::kFileNotFound);

    box.Write("bin/noexec", "#!/bin/sh\n");
    box.InstallEntry("web.desktop", box.Path("bin/noexec") + " %u");
    EXPECT_EQ(opener.Open(kTarget), CLinkOpener::kAccessDenied);

    box.Write("bin/garbage", "not a program\n", true);
    box.InstallEntry("web.desktop", box.Path("bin/garbage") + " %u");
    EXPECT_EQ(opener.Open(kTarget), CLinkOpener::kBadProgram);
}

TEST(LinkOpen, SuccessfulOpenerSkipsTheFallback)
{
    XdgSandbox box;
    box.InstallEntry("web.desktop", box.Path("bin/absent") + " %u"); // would report 2 if it ran
    box.SetDefault("config/mimeapps.list", "web.desktop");
    CLinkOpener opener;
    QString opened;
    opener.SetDesktopOpener([&](const QString& t) {
        opened = t;
        return 42;
    });
    EXPECT_EQ(opener.Open(kTarget), 42);
    EXPECT_EQ(opened, kTarget);
}

TEST(LinkOpen, XdgOpenMissingOrLocalFileProblems)
{
    XdgSandbox box;
    qputenv("PATH", QFile::encodeName(box.Path("bin"))); // no xdg-open anywhere
    EXPECT_EQ(CLinkOpener::OpenWithXdgOpen(kTarget), CLinkOpener::kNoAssociation);

    box.FailingXdgOpen(0); // would succeed: the file checks come first
    EXPECT_EQ(CLinkOpener::OpenWithXdgOpen(box.Path("missing.htm")), CLinkOpener::kFileNotFound);
    EXPECT_EQ(CLinkOpener::OpenWithXdgOpen("file://" + box.Path("no/such/dir/x.htm")), CLinkOpener::kPathNotFound);
    EXPECT_EQ(CLinkOpener::OpenWithXdgOpen(kTarget), CLinkOpener::kOpened);
    // An empty target opens nothing and starts nothing.
    EXPECT_EQ(CLinkOpener().Open(QString()), CLinkOpener::kFileNotFound);
}

} // namespace
