#include "framework/MessageBox.h"

#include "framework/MainWnd.h"
#include "framework/MessageBoxSeam.h"
#include "framework/UiThread.h"
#include "framework/WindowsCodes.h"

#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <vector>

namespace {
struct Choice {
    QMessageBox::StandardButton button;
    int id;
};

std::vector<Choice> Choices(unsigned type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
        return {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    case MB_RETRYCANCEL:
        return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    default:
        return {{QMessageBox::Ok, IDOK}};
    }
}

QMessageBox::Icon IconOf(unsigned type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONSTOP:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int ShowBox(QWidget* owner, const QString& text, const QString& caption, unsigned type)
{
    const std::vector<Choice> choices = Choices(type);
    QMessageBox box(IconOf(type), caption, text, QMessageBox::NoButton, owner ? owner->window() : nullptr);
    for (const Choice& c : choices)
        box.addButton(c.button);
    const size_t defaultIndex = (type & MB_DEFMASK) >> 8;
    if (defaultIndex < choices.size())
        box.setDefaultButton(choices[defaultIndex].button);
    box.exec();
    const QMessageBox::StandardButton pressed = box.standardButton(box.clickedButton());
    for (const Choice& c : choices)
        if (c.button == pressed)
            return c.id;
    // Closed without a button: the cancel-like answer, else the only one.
    return choices.size() == 1 ? choices.front().id : IDCANCEL;
}
} // namespace

int MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type)
{
    if (std::optional<int> answer = MessageBoxSeam::Intercept({text, caption, type}))
        return *answer;
    QPointer<QWidget> ownerRef(owner);
    return RunOnUiThread([&] { return ShowBox(ownerRef.data(), text, caption, type); });
}

int AfxMessageBox(const QString& text, unsigned type)
{
    if (std::optional<int> answer = MessageBoxSeam::Intercept({text, QString::fromLatin1(kProgramTitle), type}))
        return *answer;
    unsigned shown = type;
    if ((type & MB_ICONMASK) == 0) {
        const unsigned kind = type & MB_TYPEMASK;
        if (kind == MB_OK || kind == MB_OKCANCEL)
            shown |= MB_ICONEXCLAMATION;
        else if (kind == MB_YESNO || kind == MB_YESNOCANCEL)
            shown |= MB_ICONQUESTION;
    }
    return RunOnUiThread([&] { return ShowBox(AfxGetMainWnd(), text, QString::fromLatin1(kProgramTitle), shown); });
}
