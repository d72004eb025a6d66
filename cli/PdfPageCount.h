#pragma once

#include <QByteArray>
#include <QString>

// The pages of a PDF, read cheaply without a PDF library: the /Count of its
// page tree, the largest among its /Type /Pages objects (the root counts
// every page). Ghostscript writes those objects plainly, also in an
// encrypted PDF, where only strings and streams are enciphered.
class PdfPageCount {
public:
    // -1 when the file cannot be read or holds no page tree in plain sight
    // (one inside a compressed object stream, say).
    static int Count(const QString& pdf);
    static int CountIn(const QByteArray& pdf);

private:
    // The /Count of the object around position (the /Type /Pages in it), or -1.
    static int CountOfObjectAt(const QByteArray& pdf, qsizetype position);
};
