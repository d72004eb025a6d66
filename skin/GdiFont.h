#pragma once

#include <QFont>
#include <QString>

// Font heights of the dialogs are given as for CreateFontW: a positive height
// is the character cell (ascent + descent), a negative one the em height.
// Qt's pixel size is the em height, so a cell height is converted with the
// face's own metrics.
void SetCreateFontHeight(QFont& font, int height);

// A font of the given face with a CreateFontW height (normal weight).
QFont MakeGdiFont(const QString& face, int height);
