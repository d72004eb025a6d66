#include "framework/FileDialogSeam.h"

#include <QMutex>
#include <QMutexLocker>

namespace {
QMutex& SeamMutex()
{
    static QMutex mutex;
    return mutex;
}

FileDialogSeam*& Current()
{
    static FileDialogSeam* current = nullptr;
    return current;
}
} // namespace

FileDialogSeam::FileDialogSeam()
{
    QMutexLocker lock(&SeamMutex());
    m_previous = Current();
    Current() = this;
}

FileDialogSeam::~FileDialogSeam()
{
    QMutexLocker lock(&SeamMutex());
    if (Current() == this)
        Current() = m_previous;
}

void FileDialogSeam::QueueFiles(const QStringList& files)
{
    QMutexLocker lock(&SeamMutex());
    m_answers.append(Answer{Call::OpenFiles, false, files});
}

void FileDialogSeam::QueueFolder(const QString& folder)
{
    QMutexLocker lock(&SeamMutex());
    m_answers.append(Answer{Call::Folder, false, {folder}});
}

void FileDialogSeam::QueueCancel()
{
    QMutexLocker lock(&SeamMutex());
    m_answers.append(Answer());
}

QList<FileDialogSeam::Call> FileDialogSeam::Calls() const
{
    QMutexLocker lock(&SeamMutex());
    return m_calls;
}

std::optional<FileDialogSeam::Answer> FileDialogSeam::Take(const Call& call)
{
    FileDialogSeam* seam = Current();
    if (!seam)
        return std::nullopt;
    seam->m_calls.append(call);
    if (seam->m_answers.isEmpty())
        return Answer();
    Answer answer = seam->m_answers.takeFirst();
    if (answer.kind != call.kind)
        return Answer();
    return answer;
}

std::optional<QStringList> FileDialogSeam::InterceptOpenFiles(QWidget* owner, const QString& filter)
{
    QMutexLocker lock(&SeamMutex());
    const std::optional<Answer> answer = Take({Call::OpenFiles, filter, owner});
    if (!answer)
        return std::nullopt;
    return answer->cancel ? QStringList() : answer->files;
}

std::optional<QString> FileDialogSeam::InterceptFolder(QWidget* owner)
{
    QMutexLocker lock(&SeamMutex());
    const std::optional<Answer> answer = Take({Call::Folder, QString(), owner});
    if (!answer)
        return std::nullopt;
    return answer->cancel || answer->files.isEmpty() ? QString() : answer->files.first();
}
