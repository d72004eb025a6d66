#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>

// The bitmap-drawn progress bar of the conversion page. It has no text and no
// animation: whoever changes its value makes it repaint. A paint composes the
// bar from four bitmaps off-screen (the empty track 137, the fill's left end
// 189, its repeating body 138 and the cap 188 at its right end) and puts the
// result on the screen in one copy, inside the track's shape only, with no
// background erase before it. On a screen of two device pixels per window pixel
// the bar is composed from the bitmaps' pictures at twice the size, column for
// column as at scale 1; the shape stays the scale-1 track's.
class CProgress : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTrackBitmap = 137;
    static constexpr int kFillBitmap = 138;
    static constexpr int kFillStartBitmap = 189;
    static constexpr int kFillEndBitmap = 188;

    explicit CProgress(QWidget* parent = nullptr);

    unsigned m_nMax = 100; // full scale
    unsigned m_nPos = 0;   // current value

    // Full scale (the page sets 100); a change repaints.
    void SetRange(unsigned max);
    // Stores the value and repaints, only when it differs. Window thread.
    void SetPos(unsigned pos);
    unsigned GetPos() const { return m_nPos; }

    // Number of filled columns for the current value: pos / max of the track's
    // inner width (its width less 6), never more; 0 for a full scale of 0.
    int FilledColumns() const;
    // The bar exactly as a paint draws it, the track's size (times the image
    // scale, 1 or ArtScale::kHigh, when the larger pieces are there; the
    // result's device pixel ratio says which); pixels outside the track's shape
    // are transparent.
    QImage Compose(int scale = 1) const;
    // The track's shape: its pixels that are not magenta.
    const QRegion& TrackRegion() const { return m_rgnTrack; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The four bitmaps at one image scale.
    struct Pieces {
        int scale = 1;
        QImage track;
        QImage fill;
        QImage start;
        QImage end;
        bool IsComplete() const;
    };
    static Pieces LoadPieces(int scale);
    void DrawFill(const Pieces& art, QImage& work, int filled) const;

    Pieces m_art;     // scale 1: sizes, columns and the shape come from these
    Pieces m_artHigh; // scale ArtScale::kHigh; incomplete when not built in
    QRegion m_rgnTrack;
};
