#include "options/ui/EnableEdit.h"

CEnableEdit::CEnableEdit(QWidget* parent)
    : QLineEdit(parent)
{
    // A read-only edit refuses every user change in one place (keys, paste by
    // any route, cut, undo, drops) and still selects and copies.
    setReadOnly(true);
    setAcceptDrops(false);
}
