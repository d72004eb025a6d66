#pragma once

#include <QString>

// Moves a finished PDF from its temporary name to its place in the output
// folder. Where the user did not agree to replace a PDF, the move never
// replaces anything: a file of that name that appeared meanwhile (another run,
// a script) is kept, and so is a symbolic link of that name, dangling or not.
class PdfPublisher {
public:
    // What lies at a PDF's path, seen without following a symbolic link.
    enum class Target { Absent, File, Folder };
    enum class Result { Published, TargetExists, Failed };

    static Target Inspect(const QString& target);
    // Moves partial over (replace) or to (no replace) target; a replaced file's
    // permissions carry over. TargetExists leaves partial where it is.
    static Result Publish(const QString& partial, const QString& target, bool replace, QString* error);

private:
    static bool MoveNoReplace(const QByteArray& from, const QByteArray& to, int* error);
};
