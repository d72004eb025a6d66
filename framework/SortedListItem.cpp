#include "framework/SortedListItem.h"

CSortedListItem::CSortedListItem(const QString& text) : QListWidgetItem(text) {}

bool CSortedListItem::operator<(const QListWidgetItem& other) const
{
    return Less(text(), other.text());
}

bool CSortedListItem::Less(const QString& a, const QString& b)
{
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}
