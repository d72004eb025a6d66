// The progress bar: its pixels at 0, part and full scale from the shipped
// bitmaps, its shape, repaints only on a change, and values out of range.
#include "convert_page/Progress.h"
#include "res/Resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QPainter>
#include <QTest>

#include <climits>

#include <gtest/gtest.h>

namespace {

// The pieces decoded by Qt's own reader, independent of the bar's loader.
QImage Piece(int id, int scale = 1)
{
    return QImage::fromData(Resources::Bitmap(id, scale), "BMP").convertToFormat(QImage::Format_RGB32);
}

QRgb Rgb(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }

constexpr QRgb kMagenta = 0xFF00FF;
constexpr QRgb kWhite = 0xFFFFFF;

class ProgressPixels : public ::testing::Test {
protected:
    QImage track = Piece(CProgress::kTrackBitmap);
    QImage body = Piece(CProgress::kFillBitmap);
    QImage start = Piece(CProgress::kFillStartBitmap);
    QImage cap = Piece(CProgress::kFillEndBitmap);
    CProgress bar;

    QImage At(unsigned pos)
    {
        bar.SetPos(pos);
        return bar.Compose();
    }

    // Inside the shape every pixel is the track's, outside every one is clear.
    void ExpectTrackOnly(const QImage& img, int fromX = 0)
    {
        for (int y = 0; y < track.height(); ++y)
            for (int x = fromX; x < track.width(); ++x) {
                if (Rgb(track, x, y) == kMagenta)
                    ASSERT_EQ(qAlpha(img.pixel(x, y)), 0) << x << "," << y;
                else
                    ASSERT_EQ(img.pixel(x, y), track.pixel(x, y) | 0xFF000000) << x << "," << y;
            }
    }

    // The pixel the fill puts at track column x (row y of the fill), below the cap.
    QRgb FillPixel(int x, int y) const
    {
        const int i = x - 3;
        return i < start.width() ? Rgb(start, i, y) : Rgb(body, i % body.width(), y);
    }
};

TEST_F(ProgressPixels, ShippedPiecesHaveTheSizesTheBarIsBuiltFor)
{
    ASSERT_EQ(track.size(), QSize(429, 24));
    ASSERT_EQ(body.size(), QSize(13, 20));
    ASSERT_EQ(start.size(), QSize(9, 20));
    ASSERT_EQ(cap.size(), QSize(11, 20));
    EXPECT_EQ(bar.m_nMax, 100u);
    EXPECT_EQ(bar.GetPos(), 0u);
    EXPECT_EQ(bar.Compose().size(), track.size());
}

TEST_F(ProgressPixels, ZeroShowsTheTrackOnly)
{
    EXPECT_EQ(bar.FilledColumns(), 0);
    ExpectTrackOnly(At(0));
    // Back to 0 after a fill leaves no trace of it.
    At(60);
    ExpectTrackOnly(At(0));
}

TEST_F(ProgressPixels, HalfFillsColumnsFromTheLeftEndWithTheCapAtTheFillsEnd)
{
    const QImage img = At(50);
    const int n = bar.FilledColumns();
    ASSERT_EQ(n, 211); // trunc(0.5 * 423)

    for (int y = 0; y < 20; ++y) {
        // Body and start piece up to the cap, magenta of the start piece showing the track.
        for (int x = 3; x < n - 3; ++x) {
            const QRgb fill = FillPixel(x, y);
            const QRgb expected = fill == kMagenta ? Rgb(track, x, y + 2) : fill;
            if (Rgb(track, x, y + 2) != kMagenta) {
                ASSERT_EQ(Rgb(img, x, y + 2), expected) << x << "," << y;
            }
        }
        // The cap at x = N - 3: its coloured columns drawn, its white ones leave the track.
        for (int c = 0; c < cap.width(); ++c) {
            const int x = n - 3 + c;
            const QRgb expected = Rgb(cap, c, y) == kWhite ? Rgb(track, x, y + 2) : Rgb(cap, c, y);
            ASSERT_EQ(Rgb(img, x, y + 2), expected) << x << "," << y;
        }
    }
    // The pattern counts from the bar's left end: the first body column is column 9 of 138.
    int row = 0;
    while (row < 20 && Rgb(body, 9, row) == Rgb(body, 0, row))
        ++row;
    ASSERT_LT(row, 20) << "the body's columns 0 and 9 look alike";
    EXPECT_EQ(Rgb(img, 3 + 9, row + 2), Rgb(body, 9, row));
    // The start piece's cut corner shows the track; its column 8 is drawn.
    EXPECT_EQ(Rgb(img, 3, 2), Rgb(track, 3, 2));
    EXPECT_EQ(Rgb(img, 11, 10), Rgb(start, 8, 8));
    // Right of the cap, above and below the fill: the track.
    ExpectTrackOnly(img, n + 8);
    for (int x = 0; x < track.width(); ++x)
        for (int y : {0, 1, 22, 23})
            if (Rgb(track, x, y) != kMagenta) {
                ASSERT_EQ(Rgb(img, x, y), Rgb(track, x, y)) << x << "," << y;
            }
}

TEST_F(ProgressPixels, FullFillsColumnsThreeToFourHundredTwentyFiveCapAtFourTwenty)
{
    const QImage img = At(100);
    ASSERT_EQ(bar.FilledColumns(), 423);
    for (int y = 0; y < 20; ++y) {
        for (int x = 3; x <= 425; ++x) {
            const bool inCap = x >= 420 && Rgb(cap, x - 420, y) != kWhite;
            const QRgb drawn = inCap ? Rgb(cap, x - 420, y) : FillPixel(x, y);
            if (drawn != kMagenta && Rgb(track, x, y + 2) != kMagenta) {
                ASSERT_EQ(Rgb(img, x, y + 2), drawn) << x << "," << y;
            }
        }
        // The fill ends at 425: the track's right end stays.
        for (int x = 426; x < track.width(); ++x)
            if (Rgb(track, x, y + 2) != kMagenta) {
                ASSERT_EQ(Rgb(img, x, y + 2), Rgb(track, x, y + 2)) << x << "," << y;
            }
    }
    EXPECT_EQ(Rgb(img, 420, 12), Rgb(cap, 0, 10));
    EXPECT_EQ(Rgb(img, 425, 12), Rgb(cap, 5, 10));
}

TEST_F(ProgressPixels, NothingIsDrawnOutsideTheTracksShape)
{
    const QRegion shape = bar.TrackRegion();
    ASSERT_FALSE(shape.isEmpty());
    EXPECT_FALSE(shape.contains(QPoint(0, 0)));
    EXPECT_TRUE(shape.contains(QPoint(214, 12)));
    for (unsigned pos : {1u, 2u, 50u, 99u, 100u}) {
        const QImage img = At(pos);
        for (int y = 0; y < track.height(); ++y)
            for (int x = 0; x < track.width(); ++x) {
                const bool inside = Rgb(track, x, y) != kMagenta;
                ASSERT_EQ(shape.contains(QPoint(x, y)), inside) << x << "," << y;
                ASSERT_EQ(qAlpha(img.pixel(x, y)), inside ? 255 : 0) << pos << ": " << x << "," << y;
            }
    }

    // On the screen the page shows through the cut corners, and the bar
    // reaches the screen as composed.
    QWidget page;
    page.setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0x00, 0x80, 0x00));
    page.setPalette(palette);
    page.resize(track.size() + QSize(10, 10));
    CProgress onPage(&page);
    onPage.setGeometry(QRect(QPoint(5, 5), track.size()));
    onPage.SetPos(100);
    const QImage shot = page.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage composed = onPage.Compose();
    for (int y = 0; y < track.height(); ++y)
        for (int x = 0; x < track.width(); ++x) {
            const QRgb expected = qAlpha(composed.pixel(x, y)) ? composed.pixel(x, y) & 0xFFFFFF : 0x008000;
            ASSERT_EQ(Rgb(shot, x + 5, y + 5), expected) << x << "," << y;
        }
}

// Counts the paints a widget gets.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

TEST(Progress, RepaintsOnlyWhenTheValueChanges)
{
    QWidget page;
    page.resize(440, 40);
    CProgress bar(&page);
    bar.setGeometry(5, 5, 429, 24);
    PaintCounter counter;
    bar.installEventFilter(&counter);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    Settle();

    counter.paints = 0;
    bar.SetPos(0);
    bar.SetRange(100);
    Settle();
    EXPECT_EQ(counter.paints, 0) << "an unchanged value repainted";

    bar.SetPos(33);
    Settle();
    EXPECT_GE(counter.paints, 1) << "a new value did not repaint";
    EXPECT_EQ(bar.GetPos(), 33u);

    counter.paints = 0;
    bar.SetPos(33);
    Settle();
    EXPECT_EQ(counter.paints, 0);
}

TEST_F(ProgressPixels, ValuesOutOfRangeAreSafe)
{
    const QImage full = At(100);
    // Above full scale: a full bar, never past the track's end.
    bar.SetPos(250);
    EXPECT_EQ(bar.FilledColumns(), 423);
    EXPECT_EQ(bar.Compose(), full);
    bar.SetPos(UINT_MAX);
    EXPECT_EQ(bar.Compose(), full);

    // Full scale 0: the track only, whatever the value.
    bar.SetRange(0);
    for (unsigned pos : {0u, 5u, UINT_MAX}) {
        bar.SetPos(pos);
        EXPECT_EQ(bar.FilledColumns(), 0) << pos;
        ExpectTrackOnly(bar.Compose());
    }

    // Large scales are divided, not multiplied out.
    bar.SetRange(UINT_MAX);
    bar.SetPos(UINT_MAX - 1);
    EXPECT_EQ(bar.FilledColumns(), 422);
    bar.SetRange(3);
    bar.SetPos(1);
    EXPECT_EQ(bar.FilledColumns(), 141); // a fraction, not a whole-number quotient
}

TEST_F(ProgressPixels, ACapLeftOfTheTrackIsCutAtItsEdge)
{
    // Fills narrower than the cap put it partly left of the bar: only its
    // columns from x = 0 on are drawn, and the rest of the bar is the track.
    bar.SetRange(423);
    for (unsigned pos : {1u, 2u, 3u}) {
        const QImage img = At(pos);
        const int n = bar.FilledColumns();
        ASSERT_EQ(n, int(pos));
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x <= n + 2; ++x) {
                const int c = x - (n - 3);
                QRgb expected = Rgb(cap, c, y) != kWhite ? Rgb(cap, c, y)
                                : x >= 3                 ? FillPixel(x, y)
                                                         : Rgb(track, x, y + 2);
                if (expected == kMagenta)
                    expected = Rgb(track, x, y + 2);
                if (Rgb(track, x, y + 2) != kMagenta) {
                    ASSERT_EQ(Rgb(img, x, y + 2), expected) << pos << ": " << x << "," << y;
                }
            }
        ExpectTrackOnly(img, n + 8);
    }
}

// The rightmost column of the middle row where the bar differs from the empty track.
int FilledTo(const QImage& bar, const QImage& track)
{
    const int y = bar.height() / 2;
    for (int x = bar.width() - 1; x >= 0; --x)
        if (Rgb(bar, x, y) != Rgb(track, x, y))
            return x;
    return -1;
}

// On a screen of two device pixels per window pixel the bar is composed from
// the pieces drawn at twice the size: the same columns filled, two pixels each,
// and the cap over the fill's last columns.
TEST_F(ProgressPixels, AtScaleTwoTheLargerPiecesFillTheSameColumns)
{
    const QImage fineTrack = Piece(CProgress::kTrackBitmap, 2);
    for (const unsigned pos : {0u, 37u, 100u}) {
        bar.SetPos(pos);
        const QImage plain = bar.Compose(), fine = bar.Compose(2);
        ASSERT_EQ(fine.size(), plain.size() * 2);
        EXPECT_EQ(fine.devicePixelRatio(), 2.0);
        const int plainEnd = FilledTo(plain, track);
        EXPECT_EQ(FilledTo(fine, fineTrack), plainEnd < 0 ? -1 : 2 * plainEnd + 1) << pos;
    }
    // The cap's leading columns (fill row 10, its middle) at the fill's end.
    const QImage fineCap = Piece(CProgress::kFillEndBitmap, 2);
    bar.SetPos(37);
    const QImage fine = bar.Compose(2);
    const int capAt = 2 * (bar.FilledColumns() - 3);
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(Rgb(fine, capAt + x, 2 * 12), Rgb(fineCap, x, 2 * 10)) << x;
}

TEST(Progress, ScreenshotAtZeroHalfAndFull)
{
    QWidget page;
    page.setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0xF1, 0xF1, 0xF1));
    page.setPalette(palette);
    page.resize(449, 104);
    const unsigned values[] = {0, 50, 100};
    for (int k = 0; k < 3; ++k) {
        auto* bar = new CProgress(&page);
        bar->setGeometry(10, 10 + 32 * k, 429, 24);
        bar->SetPos(values[k]);
    }
    const QString folder = QStringLiteral(ORVIK_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    EXPECT_TRUE(page.grab().save(folder + QStringLiteral("/progress_0_50_100.png")));
}

} // namespace
