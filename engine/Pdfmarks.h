#pragma once

#include <QString>

struct ConversionOptions;

// The small PostScript program given to Ghostscript before the pages: the
// document-information pdfmark, the document-view pdfmark (page layout and
// page mode of the catalogue) and the distiller parameters (page and image
// compression, JPEG quality).
namespace Pdfmarks {

// The quality dictionary for the selected "JPEG Quality" item text (empty for any other text).
QString QualityDictionary(const QString& jpegQuality);

// One document-information value as a PostScript string: "(...)" with parentheses
// and backslashes escaped and control characters in octal for ASCII text,
// "<FEFF...>" (UTF-16BE with a byte-order mark) for text with other characters.
QString InfoString(const QString& text);

// The document-view pdfmark line for the selected "Page Layout" and "Page
// Mode" item texts (an item of another text is left out; empty for neither).
QString DocumentView(const QString& pageLayout, const QString& pageMode);

// The whole program text (ASCII only).
QString BuildText(const ConversionOptions& options);

// An outline entry (ASCII only, one line, no line end) that opens the given
// page fitted in the window: the page about to be written when page is 0;
// count is the number of entries that follow it as its children.
QString Bookmark(const QString& title, int page = 0, int count = 0);

// The PDF/A output intent for the sRGB profile at iccPath (ASCII only).
QString OutputIntent(const QString& iccPath);
// Ghostscript's sRGB profile, empty when none is found.
QString SrgbProfile();

// Writes text to path (created or truncated, mode 0600). False with a message on failure.
bool WritePdfmarksFile(const QString& path, const QString& text, QString* error);

} // namespace Pdfmarks
