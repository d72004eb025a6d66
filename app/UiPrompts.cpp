#include "app/UiPrompts.h"

#include "app/MessageBox.h"
#include "app/PromptSeam.h"
#include "framework/MessageBox.h"
#include "framework/UiThread.h"
#include "options/ui/EnterPassWordDlg.h"

int CUiPrompts::ShowMessageBox(const QString& text, int type)
{
    return ::ShowMessageBox(text, type);
}

void CUiPrompts::ShowPlainMessage(const QString& text)
{
    AfxMessageBox(text, MB_OK);
}

int CUiPrompts::AskWorkbookPassword(const QString& fileName, QString* password)
{
    // The prompt names the file alone, also when handed a whole path.
    const QString name = fileName.mid(fileName.lastIndexOf(QLatin1Char('/')) + 1);
    QString typed;
    const int result = RunOnUiThread([&] {
        if (const auto answer = CPromptSeam::InterceptPassword(name)) {
            typed = answer->password;
            return answer->result;
        }
        // Made without a parent: the modal run takes the main window as owner,
        // disables it and centres the prompt over it.
        CEnterPassWordDlg dlg;
        dlg.m_strFileName = name;
        const int r = dlg.DoModal();
        typed = dlg.m_strPassword;
        return r;
    });
    if (password)
        *password = result == IDOK ? typed : QString();
    return result;
}
