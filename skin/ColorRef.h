#pragma once

#include <QColor>

// Colours of the artwork and the controls are written as COLORREF values,
// 0x00BBGGRR: red in the low byte, blue in the third.
QColor ColorFromCOLORREF(quint32 colorRef);

// The same colour as a bitmap colour-table entry (RGBQUAD read as a 32-bit
// value: 0x00RRGGBB).
quint32 RgbQuadFromCOLORREF(quint32 colorRef);
