#pragma once

#include <QString>

// A private folder for the temporary files of one conversion run (print files,
// pdfmarks, argument files): made with mode 0700 under the system's temporary
// folder, so no other user can read or replace what is in it, and removed with
// everything in it when the object goes (or on Remove()).
class RunFolder {
public:
    RunFolder();
    ~RunFolder();
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    // False when the folder could not be made; ErrorText() says why.
    bool IsValid() const { return !m_strPath.isEmpty(); }
    QString ErrorText() const { return m_strError; }
    // The folder, without a trailing separator; empty when it could not be made or was removed.
    QString Path() const { return m_strPath; }
    // Path of a file inside the folder.
    QString FilePath(const QString& name) const;
    // Deletes the folder and its contents now; later calls do nothing.
    void Remove();

private:
    QString m_strPath;
    QString m_strError;
};
