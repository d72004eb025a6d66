#include "skin/ArtScale.h"

#include <QPainter>
#include <QTransform>

int ArtScale::For(const QPainter& painter)
{
    // The device transform carries the device pixel ratio of whatever the
    // painter draws on: the screen's backing store, or an image it renders into.
    const QTransform t = painter.deviceTransform();
    return qMax(qAbs(t.m11()), qAbs(t.m22())) > 1.0 ? kHigh : 1;
}
