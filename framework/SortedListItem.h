#pragma once

#include <QListWidgetItem>
#include <QString>

// An item of a sorted list box. The list sorts without regard to case, as the
// program's lists always have; two texts that differ only in case keep a fixed
// order by their exact text.
class CSortedListItem : public QListWidgetItem {
public:
    explicit CSortedListItem(const QString& text);

    bool operator<(const QListWidgetItem& other) const override;

    // The order of the list: case-insensitive first, then by exact text.
    static bool Less(const QString& a, const QString& b);
};
