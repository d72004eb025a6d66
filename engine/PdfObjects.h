#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The little of PDF syntax the checks and repairs of the office's print files
// need: objects found by their header, stream contents stored plainly or with
// Flate. The office writes its print files that simply (a cross-reference
// table, no object streams), so a reading this small serves; whatever it does
// not understand it reports, and its callers then leave the file alone.
class PdfObjects {
public:
    // Flate data (zlib format) inflated; empty when it does not inflate.
    static QByteArray Inflate(const QByteArray& data);
    // Data compressed to zlib format, as /FlateDecode reads it.
    static QByteArray Deflate(const QByteArray& data);
    // Every definition of object "number generation obj" in the file, as the
    // offsets just after "obj" (an updated file may hold several).
    static QList<qsizetype> Definitions(const QString& pdf, const QString& number, const QString& generation);
    // The text from objStart to the keyword "stream" (or "endobj"): the object's dictionary.
    static QString Dictionary(const QByteArray& pdf, qsizetype objStart);
    // The decoded contents of the stream object that starts at objStart (just
    // after "obj"); false when it is no stream, or one stored in another way
    // than plain or Flate (other filters, or decode parameters).
    // The page objects in the file (each "/Type /Page" dictionary); an
    // updated file that redefines a page counts it twice, so callers count the
    // office's print files only, written in one piece.
    static int CountPages(const QByteArray& pdf);
    static bool StreamContents(const QByteArray& pdf, qsizetype objStart, QByteArray* contents);
};
