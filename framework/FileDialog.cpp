#include "framework/FileDialog.h"

#include "framework/FileDialogSeam.h"
#include "framework/UiThread.h"

#include <QFileDialog>
#include <QPointer>

namespace {
// The folder the last dialog ended in: the next one opens there.
QString& LastFolder()
{
    static QString folder;
    return folder;
}

void Prepare(QFileDialog& dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!LastFolder().isEmpty())
        dialog.setDirectory(LastFolder());
}

QStringList Run(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted)
        return {};
    LastFolder() = dialog.directory().absolutePath();
    return dialog.selectedFiles();
}

QWidget* WindowOf(QWidget* owner)
{
    return owner ? owner->window() : nullptr;
}

QStringList RunOpenFiles(QWidget* owner, const QString& filter)
{
    QFileDialog dialog(WindowOf(owner));
    Prepare(dialog);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilter(filter);
    // Workbook names come in any case (Book.XLSX under *.xlsx): make sure the
    // patterns are matched without regard to it.
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    return Run(dialog);
}

QString RunFolder(QWidget* owner)
{
    QFileDialog dialog(WindowOf(owner));
    Prepare(dialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return Run(dialog).value(0);
}
} // namespace

QStringList CFileDialog::GetOpenFileNames(QWidget* owner, const QString& filter)
{
    if (std::optional<QStringList> answer = FileDialogSeam::InterceptOpenFiles(owner, filter))
        return *answer;
    QPointer<QWidget> ownerRef(owner);
    return RunOnUiThread([&] { return RunOpenFiles(ownerRef.data(), filter); });
}

QString CFileDialog::GetExistingDirectory(QWidget* owner)
{
    if (std::optional<QString> answer = FileDialogSeam::InterceptFolder(owner))
        return *answer;
    QPointer<QWidget> ownerRef(owner);
    return RunOnUiThread([&] { return RunFolder(ownerRef.data()); });
}
