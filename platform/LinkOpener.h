#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Opens a link target (a web address or a file) with the desktop's opener
// (xdg-open); when that fails, with the desktop's default program for
// text/html, taken from its desktop entry's Exec line. Programs are started
// from argument lists, never through a shell.
//
// Results use the numbering of the hyperlink failure messages: a value above
// 32 means the target was handed to a program; 0 to 32 name a reason.
class CLinkOpener {
public:
    static constexpr int kOpened = 33;
    static constexpr int kOutOfResources = 0;
    static constexpr int kFileNotFound = 2;
    static constexpr int kPathNotFound = 3;
    static constexpr int kAccessDenied = 5;
    static constexpr int kOutOfMemory = 8;
    static constexpr int kBadProgram = 11;
    static constexpr int kNoAssociation = 31;
    static constexpr int kUnknownFailure = -1;

    // The first step: the desktop's opener. Replaceable for tests.
    using DesktopOpener = std::function<int(const QString& target)>;

    CLinkOpener();

    void SetDesktopOpener(DesktopOpener opener) { m_opener = std::move(opener); }

    // The opener's result when it succeeds; otherwise the text/html handler's
    // start result, or the opener's failure when there is no handler to run.
    int Open(const QString& target) const;

    // xdg-open from PATH: 31 when it is missing or finds no program, 2 for a
    // missing file, 5 for an unreadable one. A call still running after three
    // seconds (a browser kept in the foreground) counts as opened.
    static int OpenWithXdgOpen(const QString& target);

    // Starts the text/html handler with the target. Sets *ran to false (and
    // returns 31) when no handler or no usable Exec line is found.
    static int RunHtmlHandler(const QString& target, bool* ran);

    // --- Exec lines (desktop entry rules) ---

    // The command cut at its first placeholder ("%1", "%u", "%U", "%f", "%F"):
    // the first one in double quotes, else the first bare one; the placeholder,
    // its quotes and everything after it are dropped.
    static QString CutAtPlaceholder(const QString& command);
    // The cut command, one blank and the target.
    static QString FallbackCommandLine(const QString& command, const QString& target);
    // Splits an Exec value into arguments: blanks separate, double quotes
    // group, and inside quotes a backslash escapes " ` $ and \. False for an
    // unterminated quote.
    static bool SplitExecLine(const QString& exec, QStringList* arguments);
    // Program and arguments for the fallback: the cut command's arguments
    // (remaining field codes dropped, "%%" made "%") and the target as one
    // more argument. Empty when the line cannot be used.
    static QStringList FallbackArguments(const QString& exec, const QString& target);

    // --- Finding the handler ---

    // The desktop file id of the default program for a MIME type, from the
    // mimeapps.list files of the XDG configuration and data folders (then the
    // older defaults.list and mimeinfo.cache); empty when none is installed.
    static QString DefaultHandlerId(const QString& mimeType);
    // Full path of an installed desktop file id, or empty.
    static QString FindDesktopFile(const QString& desktopId);
    // The unescaped Exec value of a desktop file's [Desktop Entry] group.
    static QString ReadExecLine(const QString& desktopFilePath);

    // Starts a program from an argument list without waiting for it; the
    // result maps the start failure (missing program 2, no permission 5, not a
    // program 11) or kOpened.
    static int StartDetached(const QStringList& argv);

private:
    DesktopOpener m_opener;
};
