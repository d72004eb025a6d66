#pragma once

#include <QColor>
#include <QImage>

// The pieces of the progress bar: the empty track (its outside cut with
// magenta), the repeating body of the filled part, the left end of the fill
// (magenta where the track shows) and the leading edge drawn at the fill's
// right end (white where the track shows).
class ProgressArt {
public:
    explicit ProgressArt(const QColor& pageColour);

    // Each piece at `scale` image pixels per bar pixel (2 for high-density
    // screens); sizes in bar pixels.
    QImage Track(int scale = 1) const;     // 429 x 24
    QImage FillBody(int scale = 1) const;  // 13 x 20
    QImage FillStart(int scale = 1) const; // 9 x 20
    QImage FillEnd(int scale = 1) const;   // 11 x 20

private:
    QImage TrackArgb(int scale) const;
    // The fill at image pixel x, y of a piece drawn at `scale`.
    QColor FillColour(int x, int y, bool striped, int scale) const;
    QColor GrooveColour(int y, int scale) const; // the track's inside at fill image row y

    QColor m_page;
};
