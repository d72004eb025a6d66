#pragma once

#include <QByteArray>
#include <QString>

// Files only the user may read (mode 0600): argument files with passwords,
// pdfmarks, and the unique names a run reserves in a folder.
namespace PrivateFile {

// Writes data to path, created or truncated, mode 0600; a symbolic link there is refused.
bool Write(const QString& path, const QByteArray& data, QString* error);

// Creates a new empty file named prefix + "<process id>-" + six unique characters
// + suffix in folder (mode 0600) and returns its path; empty (with a message) on failure.
QString CreateUnique(const QString& folder, const QString& prefix, const QString& suffix,
                     QString* error);

} // namespace PrivateFile
