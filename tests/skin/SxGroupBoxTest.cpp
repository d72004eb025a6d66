// The etched group box: where its frame line and caption gap go, and what it paints.
#include "CraftedImages.h"

#include "skin/SkinFrame.h"
#include "skin/SxGroupBox.h"
#include "skin/TahomaFace.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const QRgb kBackground = qRgb(100, 150, 200);
const QRgb kShadow = qRgb(160, 160, 160);
const QRgb kHighlight = qRgb(255, 255, 255);

TEST(SxGroupBox, CaptionGapByAlignment)
{
    const QRect frame(0, 0, 200, 100);
    using G = CSxGroupBox;
    const G::Geometry left = G::ComputeGeometry(frame, 16, 40, 13, G::kAlignLeft, 8, 0);
    EXPECT_EQ(left.lineY, 7);
    EXPECT_EQ(std::make_pair(left.x0, left.x1), std::make_pair(8, 48));
    EXPECT_EQ(left.captionBox, QRect(8, 7, 40, 0));
    EXPECT_EQ(left.embossOrigin, QPoint(8, 1));
    const G::Geometry right = G::ComputeGeometry(frame, 16, 40, 13, G::kAlignRight, 8, 0);
    EXPECT_EQ(std::make_pair(right.x0, right.x1), std::make_pair(152, 192));
    const G::Geometry centre = G::ComputeGeometry(QRect(0, 10, 201, 50), 16, 41, 13, G::kAlignCenter, 8, 0);
    EXPECT_EQ(std::make_pair(centre.x0, centre.x1), std::make_pair(80, 121));
    EXPECT_EQ(centre.lineY, 17);
    const G::Geometry none = G::ComputeGeometry(frame, 16, 0, 13, G::kAlignLeft, 8, 0);
    EXPECT_EQ(none.x0, none.x1);
}

TEST(SxGroupBox, AttachReadsStylesAndEdges)
{
    CSxGroupBox box(QStringLiteral("Security"));
    box.resize(200, 80);
    box.Attach(0x200, 0x200);
    EXPECT_EQ(box.CaptionAlign(), CSxGroupBox::kAlignRight);
    EXPECT_EQ(box.FrameRect(), QRect(QPoint(2, 3), QPoint(196, 76)));
    EXPECT_FALSE(box.NoCaption());
    EXPECT_EQ(box.CaptionText(), QStringLiteral(" Security "));
    box.Attach(0x300, 0x40);
    EXPECT_EQ(box.CaptionAlign(), CSxGroupBox::kAlignCenter);
    EXPECT_EQ(box.FrameRect(), QRect(0, 0, 200, 80));
    EXPECT_TRUE(box.NoCaption());
    box.setAlignment(Qt::AlignRight);
    box.Attach();
    EXPECT_EQ(box.CaptionAlign(), CSxGroupBox::kAlignRight);
}

struct BoxOnSkin {
    explicit BoxOnSkin(const QString& caption)
        : box(caption, &parent)
    {
        InstallTahomaFace();
        skin.Attach(&parent, MakeSolidBmp(220, 100, QColor(kBackground)), CSkinFrame::kBackgroundOnly);
        parent.resize(220, 100);
        box.setGeometry(0, 0, 200, 80);
        box.Attach();
        parent.show();
    }
    QImage Shot() { return parent.grab().toImage(); }
    // Pixels of the area within `tolerance` of the colour in every channel
    // (the caption is anti-aliased).
    int Count(const QImage& shot, QRgb colour, int x0, int x1, int y0, int y1, int tolerance = 12)
    {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const QRgb p = shot.pixel(x, y);
                n += std::abs(qRed(p) - qRed(colour)) <= tolerance && std::abs(qGreen(p) - qGreen(colour)) <= tolerance
                    && std::abs(qBlue(p) - qBlue(colour)) <= tolerance;
            }
        return n;
    }

    QWidget parent;
    CSkinFrame skin;
    CSxGroupBox box;
};

TEST(SxGroupBox, EmptyCaptionClosesTheTopLine)
{
    BoxOnSkin s{QString()};
    const QImage shot = s.Shot();
    const int y = s.box.CurrentGeometry().lineY;
    EXPECT_EQ(y, 7);
    for (int x = 0; x < 199; ++x)
        ASSERT_EQ(shot.pixel(x, y), kShadow) << x;
    for (int x = 1; x < 198; ++x)
        ASSERT_EQ(shot.pixel(x, y + 1), kHighlight) << x;
    EXPECT_EQ(shot.pixel(0, 40), kShadow);     // left side
    EXPECT_EQ(shot.pixel(199, 40), kShadow);   // right side
    EXPECT_EQ(shot.pixel(100, 79), kShadow);   // bottom
    EXPECT_EQ(shot.pixel(100, 40), kBackground);
}

TEST(SxGroupBox, CaptionSitsInAGapOfTheLine)
{
    BoxOnSkin s{QStringLiteral("Security")};
    const CSxGroupBox::Geometry g = s.box.CurrentGeometry();
    EXPECT_EQ(g.x0, 8);
    EXPECT_GT(g.x1, g.x0 + 20);
    const QImage shot = s.Shot();
    EXPECT_EQ(shot.pixel(g.x0 - 1, g.lineY), kShadow);
    EXPECT_EQ(shot.pixel(g.x1 + 1, g.lineY), kShadow);
    EXPECT_EQ(shot.pixel(g.x0 + 1, g.lineY), kBackground); // the leading blank
    EXPECT_EQ(shot.pixel(g.x1 - 1, g.lineY), kBackground); // the trailing blank
    EXPECT_EQ(s.Count(shot, kHighlight, g.x0 + 1, g.x1 - 1, 0, 20, 40), 0);
    EXPECT_GT(s.Count(shot, qRgb(0, 0, 0), g.x0, g.x1, 0, 20, 40), 0);
}

TEST(SxGroupBox, DisabledCaptionIsEmbossed)
{
    BoxOnSkin s{QStringLiteral("Security")};
    s.box.setEnabled(false);
    const CSxGroupBox::Geometry g = s.box.CurrentGeometry();
    const QImage shot = s.Shot();
    EXPECT_GT(s.Count(shot, kHighlight, g.x0 + 1, g.x1, 0, 20), 0);
    EXPECT_GT(s.Count(shot, kShadow, g.x0 + 1, g.x1 - 1, 0, g.lineY), 0);
    EXPECT_EQ(s.Count(shot, qRgb(0, 0, 0), g.x0, g.x1, 0, 20, 40), 0);
    EXPECT_EQ(shot.pixel(g.x0 - 1, g.lineY), kShadow);
}

} // namespace
