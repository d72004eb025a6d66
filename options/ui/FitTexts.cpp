#include "options/ui/FitTexts.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

#include <algorithm>

namespace {
int NeededWidth(const QWidget* w)
{
    if (auto* label = qobject_cast<const QLabel*>(w))
        return label->fontMetrics().horizontalAdvance(label->text()) + 2 * label->margin() + 1;
    if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w))
        return w->sizeHint().width();
    return 0;
}
} // namespace

void FitTexts(QWidget& page)
{
    for (QWidget* w : page.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const int needed = std::min(NeededWidth(w), page.width() - w->x());
        if (needed > w->width())
            w->resize(needed, w->height());
    }
}
