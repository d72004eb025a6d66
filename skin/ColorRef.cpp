#include "skin/ColorRef.h"

QColor ColorFromCOLORREF(quint32 colorRef)
{
    return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

quint32 RgbQuadFromCOLORREF(quint32 colorRef)
{
    return ((colorRef & 0xFF) << 16) | (colorRef & 0xFF00) | ((colorRef >> 16) & 0xFF);
}
