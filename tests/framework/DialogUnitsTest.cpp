// Dialog units to pixels, and whether the templates' sizes meet their artwork.
#include "framework/DialogUnits.h"
#include "res/DialogTemplates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

TEST(DialogUnits, BaseUnitsOfTheTemplateFonts)
{
    const DialogUnits shell = DialogUnits::ForFont("MS Shell Dlg", 8);
    EXPECT_EQ(shell.BaseX(), 6);
    EXPECT_EQ(shell.BaseY(), 13);
    const DialogUnits sans = DialogUnits::ForFont("Microsoft Sans Serif", 9);
    EXPECT_EQ(sans.BaseX(), 7);
    EXPECT_EQ(sans.BaseY(), 15);
}

TEST(DialogUnits, RectanglesMapEdgeByEdgeWithRounding)
{
    const DialogUnits units(6, 13);
    EXPECT_EQ(units.MapX(4), 6);
    EXPECT_EQ(units.MapY(8), 13);
    EXPECT_EQ(units.MapX(1), 2); // 1.5 rounds up
    EXPECT_EQ(units.MapY(1), 2); // 1.625
    // Each edge is rounded on its own: the width is the difference of the edges,
    // not the mapped width (which would be 2 × 2).
    EXPECT_EQ(units.MapRect(QRect(1, 1, 1, 1)), QRect(2, 2, 1, 1));
    // The password edit of the prompt.
    EXPECT_EQ(units.MapRect(QRect(81, 59, 208, 14)), QRect(122, 96, 312, 23));
    EXPECT_EQ(units.MapSize(QSize(465, 332)), QSize(698, 540));
}

// The skinned windows take their size from their bitmaps; the template size maps
// close to it. Heights of two templates are further off (see DialogUnits.h).
TEST(DialogUnits, SkinnedTemplatesMapCloseToTheirBitmaps)
{
    struct Case {
        int id;
        QSize bitmap;
        double heightTolerance;
    };
    const Case cases[] = {
        {102, {700, 522}, 0.05}, {100, {387, 313}, 0.05}, {184, {286, 157}, 0.065}, {162, {428, 497}, 0.05},
        {136, {377, 199}, 0.05}, {148, {499, 170}, 0.085}, {130, {685, 410}, 0.05},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const DialogTemplate* t = DialogTemplates::Find(c.id);
        ASSERT_NE(t, nullptr);
        const QSize pixels = DialogUnits::ForFont(t->fontFace, t->fontPoints).MapSize(t->rect.size());
        EXPECT_LE(std::abs(pixels.width() - c.bitmap.width()), 0.05 * c.bitmap.width());
        EXPECT_LE(std::abs(pixels.height() - c.bitmap.height()), c.heightTolerance * c.bitmap.height());
    }
}

TEST(DialogUnits, PagePlaceholderMatchesThePageArtwork)
{
    const DialogTemplate* main = DialogTemplates::Find(102);
    ASSERT_NE(main, nullptr);
    const QRect place = DialogUnits::ForFont(main->fontFace, main->fontPoints).MapRect(main->Control(1001)->rect);
    EXPECT_LE(std::abs(place.width() - 685), 3);
    EXPECT_LE(std::abs(place.height() - 410), 3);
}

TEST(DialogUnits, TemplateFontIsSizedInPixels)
{
    EXPECT_EQ(DialogUnits::TemplateFont("MS Shell Dlg", 8).pixelSize(), 11);
    EXPECT_EQ(DialogUnits::TemplateFont("Microsoft Sans Serif", 9).pixelSize(), 12);
}
