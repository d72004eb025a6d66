#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>

// The bitmap-drawn progress bar of the conversion page. It has no text and no
// animation: whoever changes its value makes it repaint. A paint composes the
// bar from four bitmaps off-screen (the empty track 137, the fill's left end
// 189, its repeating body 138 and the cap 188 at its right end) and puts the
// result on the screen in one copy, inside the track's shape only, with no
// background erase before it.
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
    // The bar exactly as a paint draws it, the track's size; pixels outside the
    // track's shape are transparent.
    QImage Compose() const;
    // The track's shape: its pixels that are not magenta.
    const QRegion& TrackRegion() const { return m_rgnTrack; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawFill(QImage& work, int filled) const;

    QImage m_bmpTrack;
    QImage m_bmpFill;
    QImage m_bmpFillStart;
    QImage m_bmpFillEnd;
    QRegion m_rgnTrack;
};
