#pragma once

#include <QString>
#include <QStringList>

#include <sys/types.h>

// What runs that are gone left behind. A run names everything it leaves in
// shared places after its process id and its machine (NamePart()): its run
// folder, its office's profile folder and its scratch folder for print files
// in the temporary folder, the office's pipe sockets, and the partial PDF
// Ghostscript writes in the output folder. A killed run
// cannot remove them; a later run does: only entries of the calling user and
// of this machine whose process id no longer runs, never those of a run still
// alive, of another user, or of another machine (an output folder or a home
// folder shared over the network is seen by runs on many machines at once).
class StaleRunFiles {
public:
    // "<pid>@<host>-": put into a name right before its unique characters.
    // Names without "@<host>" (older ones) count as this machine's.
    static QString NamePart(pid_t pid);
    static QString NamePart();
    // This machine's name as names carry it: letters, digits and dots, other characters as "_".
    static QString HostTag();

    // Run folders (orvik-run-<pid>-*), office profile folders (orvik-office-<pid>-*)
    // and print scratch folders (orvik-print-<pid>-*) of ended runs, with the
    // office's pipe sockets.
    static int SweepTemporaryFolder(const QString& folder);
    // Folders named prefix + "<pid>-" + unique characters, of ended runs.
    static int SweepFolders(const QString& folder, const QString& prefix);
    // Partial PDFs (.NAME.pdf.<pid>-XXXXXX.part) of ended runs.
    static int SweepOutputFolder(const QString& folder);

    // The socket files the office keeps for a profile folder: the single-instance
    // pipe is named after the MD5 of the profile URL in UTF-16.
    static QStringList OfficeSocketFiles(const QString& pipeName);
    static QString SingleInstancePipeName(const QString& profileFolder);
    // The folders the office puts its pipe sockets in.
    static QStringList SocketFolders();

    // True when no process of that id runs (one of another user counts as running).
    static bool ProcessGone(pid_t pid);

private:
    // The process id in a name (after prefix, up to "-"), or 0 when it has none
    // or names another machine.
    static pid_t OwnerOf(const QString& name, const QString& prefix);
    static bool Stale(const QString& path, pid_t owner);
    static int SweepPipes(const QString& pipePrefix);
};
