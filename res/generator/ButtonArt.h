#pragma once

#include "Glyphs.h"

#include <QColor>
#include <QImage>
#include <QString>

// The button strips: three frames side by side. Hover buttons (PNG, RGBA)
// are normal, disabled, pressed-or-hover; the settings tabs (opaque bitmaps,
// no caption: the program draws it) are normal, pressed, hover.
class ButtonArt {
public:
    enum class Style { Secondary, Primary, Go, Stop, Ghost, CaptionClose, CaptionMinimise };
    enum class State { Normal, Disabled, Active, Pressed };

    struct Design {
        Style style;
        QString caption;
        Glyphs::Kind glyph;
        int frameWidth;
        int height;
    };

    // Returns an RGBA8888 strip of 3 × frameWidth by height, times `scale`.
    static QImage HoverStrip(const Design& design, int scale = 1);
    // Returns a 279 × 28 opaque strip (times `scale`) drawn over the given background.
    static QImage TabStrip(bool selected, const QColor& background, int scale = 1);

private:
    static void PaintFrame(QPainter& p, const Design& design, State state);
    static void PaintPush(QPainter& p, const Design& design, State state);
    static void PaintGhost(QPainter& p, const Design& design, State state);
    static void PaintCaption(QPainter& p, const Design& design, State state);
    static void PaintContent(QPainter& p, const QRectF& body, const Design& design, const QColor& ink,
                             const QColor& glyphInk);
    static void PaintTab(QPainter& p, bool selected, State state);
};
