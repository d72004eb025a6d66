#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QString>

class QPainter;

// Shared painting helpers of the artwork generator: faces, canvases, dialog
// units, rounded shapes and the magenta cut of window shapes.
class ArtKit {
public:
    enum class DialogFont { ShellDlg8, SansSerif9 };

    // Loads Tahoma (regular and bold) from Wine's fonts, or falls back to
    // DejaVu Sans. Returns the family used for every caption.
    static QString LoadFaces();
    static QFont Font(qreal pixelSize, bool bold = false);

    // A transparent, premultiplied ARGB canvas of width x height window pixels
    // at `scale` image pixels each (its device pixel ratio), so that painting
    // in window pixels gives the sharper picture for high-density screens.
    static QImage Canvas(int width, int height, int scale = 1);
    // The same, opaque, filled with one colour.
    static QImage Filled(int width, int height, int scale, const QColor& fill,
                         QImage::Format format = QImage::Format_RGB32);

    // Template rectangle in dialog units to pixels.
    static QRectF Dlu(DialogFont font, qreal x, qreal y, qreal w, qreal h);

    static QPainterPath Rounded(const QRectF& rect, qreal radius);
    // A rounded rectangle with only the top or only the bottom corners rounded.
    static QPainterPath RoundedTop(const QRectF& rect, qreal radius);

    // Turns an ARGB picture of a window into an opaque 24-bit-ready image: a
    // pixel less than half covered becomes exactly magenta, every other pixel
    // keeps its own colour at full opacity (no blending into the key colour).
    static QImage CutWithMagenta(const QImage& argb);

    // The same cut for a shape whose surroundings are known: pixels at least
    // half covered are composed over that background, the rest are magenta.
    static QImage CutWithMagentaOver(const QImage& argb, const QColor& background);

    // Flattens an ARGB picture over a known background colour.
    static QImage Flatten(const QImage& argb, const QColor& background);

    // A larger picture of an image cut with `key` (each base pixel `scale`
    // times `scale` pixels) made to cut exactly where the base does: a window's
    // shape comes from the base image, so no key colour may show inside it. A
    // pixel the key covers in the larger picture alone takes its base pixel's colour.
    static QImage KeyLike(const QImage& larger, const QImage& base, QRgb key);

    // A soft drop shadow of the given path (blurred, moved down by offsetY),
    // painted onto the whole device of p; paint the shape itself afterwards.
    static void Shadow(QPainter& p, const QPainterPath& path, int blur, qreal offsetY, int alpha);

    static QColor Mix(const QColor& a, const QColor& b, qreal t);

    // Text centred in a rectangle, single line.
    static void CentredText(QPainter& p, const QRectF& r, const QString& text, const QFont& font,
                            const QColor& colour);
    static qreal TextWidth(const QString& text, const QFont& font);
};
