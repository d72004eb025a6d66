#pragma once

#include <QByteArray>
#include <QString>

// Whether Ghostscript may read a print file with its new PDF reader. Ghostscript
// 10.0's new reader byte-swaps the Unicode of a glyph that stands for several
// characters (the ligatures "fi", "ffi": "fi" becomes a CJK character), so a file
// with such mappings must go through the older reader. The new reader is about
// twice as fast, so files without them use it.
class ToUnicodeCheck {
public:
    // True when some font of the PDF maps a code to more than one UTF-16 unit,
    // and whenever that cannot be told for sure: an unreadable or non-PDF file,
    // encryption, compressed object streams, a mapping stored in another way
    // than plain or Flate-compressed, or one that does not decompress.
    static bool NeedsOlderReader(const QString& pdfPath);
    // The same for the contents of one ToUnicode CMap: any hex string longer than
    // one UTF-16 unit (four hex digits), or a CMap built on another (usecmap).
    static bool HasMultiUnitMapping(const QByteArray& cmap);
};
