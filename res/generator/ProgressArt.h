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

    QImage Track() const;     // 429 x 24
    QImage FillBody() const;  // 13 x 20
    QImage FillStart() const; // 9 x 20
    QImage FillEnd() const;   // 11 x 20

private:
    QImage TrackArgb() const;
    QColor FillColour(int column, int row, bool striped) const;
    QColor GrooveColour(int row) const; // the track's inside at fill row `row`

    QColor m_page;
};
