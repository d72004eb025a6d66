#pragma once

#include <QString>

// What can be told of a listed workbook before the office sees it: whether it
// exists, is a file, can be read, and starts the way a workbook of its kind
// does. A file that fails here never reaches the office, so it is never
// mistaken for one that needs a password.
class WorkbookFileCheck {
public:
    // Empty when the run can take the workbook; otherwise why not, as the end of
    // "NAME: not converted: ..." (e.g. "it is empty.").
    static QString Problem(const QString& path);

    // True when the first bytes are those of a workbook of that suffix ("xls",
    // "xlsx", "ods", ...: lower case, without the dot).
    static bool LooksLikeWorkbook(const QByteArray& head, const QString& suffix);
};
