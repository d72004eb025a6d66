#pragma once

#include "ArtKit.h"

#include <QImage>

class QPainter;

// The background bitmaps of the skinned windows. Each is painted to the
// window's exact size (times `scale` image pixels per window pixel, 2 for
// high-density screens), with its panels, wells and frames where the template
// puts the controls; top-level windows get rounded corners cut with magenta
// and a 26-pixel title band to drag them by.
class WindowArt {
public:
    static QImage Main(int scale = 1);     // 157, 700 x 522
    static QImage Page(int scale = 1);     // 161, 685 x 410 (child page: opaque, no cut)
    static QImage About(int scale = 1);    // 156, 387 x 313
    static QImage Message(int scale = 1);  // 187, 286 x 157
    static QImage Settings(int scale = 1); // 163, 428 x 497
    static QImage Finish(int scale = 1);   // 174, 377 x FinishHeight()
    static QImage Password(int scale = 1); // 145, 499 x 170

    static int FinishHeight();    // 199: fits the finish dialog's controls
    static QColor SettingsCard(); // the colour under the settings tabs

private:
    static QImage Frame(int w, int h, const QColor& body, int scale);
    static void TitleBand(QPainter& p, int w);
    static QImage CutOut(QImage& argb);
    static void Card(QPainter& p, const QRectF& r, const QColor& fill, qreal radius = 6);
    static void Well(QPainter& p, const QRectF& control, const QColor& fill);
    static void Footer(QPainter& p, int w, int h, int top);
};
