#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

// Seam for tests: while a FileDialogSeam exists, no file or folder dialog is
// shown; every call is recorded and answered from the seam's queue (a list of
// files, a folder, or a cancel; an empty queue cancels, and so does an answer of
// the other kind). The program itself never creates one. Safe to use from any
// thread; the newest seam is the one in force.
class FileDialogSeam {
public:
    struct Call {
        enum Kind { OpenFiles, Folder } kind = OpenFiles;
        QString filter;          // empty for the folder browser
        QWidget* owner = nullptr;
    };

    FileDialogSeam();
    ~FileDialogSeam();
    FileDialogSeam(const FileDialogSeam&) = delete;
    FileDialogSeam& operator=(const FileDialogSeam&) = delete;

    void QueueFiles(const QStringList& files);
    void QueueFolder(const QString& folder);
    void QueueCancel();
    QList<Call> Calls() const;

    // Used by the dialogs: the answer when a seam is in force (empty = cancelled), else nothing.
    static std::optional<QStringList> InterceptOpenFiles(QWidget* owner, const QString& filter);
    static std::optional<QString> InterceptFolder(QWidget* owner);

private:
    struct Answer {
        Call::Kind kind = Call::OpenFiles;
        bool cancel = true;
        QStringList files;       // the files, or the one folder
    };

    // Caller holds the seam lock.
    static std::optional<Answer> Take(const Call& call);

    FileDialogSeam* m_previous = nullptr;
    QList<Answer> m_answers;
    QList<Call> m_calls;
};
