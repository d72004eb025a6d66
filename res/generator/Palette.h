#pragma once

#include <QColor>

// The colours of the whole look. The text colours the windows draw over the
// artwork are fixed by the program (title grey 60, heading blue, product blue,
// page grey F1); the artwork is built around them.
namespace Palette {
inline const QColor Magenta(255, 0, 255);
inline const QColor TitleText(60, 60, 60);
inline const QColor Heading(35, 105, 156);
inline const QColor Product(1, 125, 176);
inline const QColor PageFill(0xF1, 0xF1, 0xF1);
inline const QColor TabText(100, 100, 100);

inline const QColor WindowBorder(0x6F, 0x7F, 0x8F);
inline const QColor BandTop(0xFB, 0xFC, 0xFD);
inline const QColor BandBottom(0xE6, 0xEC, 0xF2);
inline const QColor BandLine(0xC6, 0xD0, 0xDA);
inline const QColor Body(0xF7, 0xF8, 0xFA);
inline const QColor Gutter(0xE2, 0xE7, 0xEC);
inline const QColor CardBorder(0xCB, 0xD4, 0xDD);
inline const QColor WellBorder(0xB4, 0xC0, 0xCC);
inline const QColor Muted(0x7A, 0x86, 0x92);

inline const QColor Green(0x22, 0x9A, 0x50);
inline const QColor Red(0xD2, 0x3F, 0x37);
inline const QColor ExcelGreen(0x1E, 0x7B, 0x45);
inline const QColor PdfRed(0xD6, 0x2F, 0x2F);
} // namespace Palette
