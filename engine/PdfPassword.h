#pragma once

#include <QByteArray>
#include <QString>

// Passwords of RC4-encrypted PDFs (revisions 2 and 3) are byte strings in
// PDFDocEncoding, not UTF-8: a reader turns the typed "é" into the byte 0xE9
// before it tries it. The writer must use the same bytes, so a password is
// encoded here, and one holding a character PDFDocEncoding lacks is refused.
namespace PdfPassword {

// The longest password RC4 encryption keeps whole, in bytes.
constexpr int kMaxBytes = 32;

// The PDFDocEncoding bytes of text. False when a character has no byte there;
// *badChar (when given) receives the first such character.
bool ToPdfDocEncoding(const QString& text, QByteArray* bytes, QString* badChar = nullptr);

// Empty when the password can be used; otherwise a one-line reason for the user,
// naming which password (e.g. "owner", "user"): a character a PDF password
// cannot hold, or more than kMaxBytes of them.
QString CheckPassword(const QString& password, const QString& which);

// PostScript hex string of the password's bytes, e.g. "<E9>" for "é". The
// password must have passed CheckPassword.
QString HexString(const QString& password);

} // namespace PdfPassword
