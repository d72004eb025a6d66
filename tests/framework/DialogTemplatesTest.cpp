// The dialog templates as data: lookups, exact texts and rectangles, style facts.
#include "res/DialogTemplates.h"

#include <gtest/gtest.h>

#include <set>

namespace {
const ControlTemplate& ControlOf(int dialog, int control)
{
    const DialogTemplate* t = DialogTemplates::Find(dialog);
    EXPECT_NE(t, nullptr);
    const ControlTemplate* c = t ? t->Control(control) : nullptr;
    EXPECT_NE(c, nullptr) << dialog << "/" << control;
    static const ControlTemplate none;
    return c ? *c : none;
}
} // namespace

TEST(DialogTemplates, EveryTemplateIsFoundByItsId)
{
    const std::set<int> expected = {100, 102, 130, 133, 134, 135, 136, 148, 162, 184};
    std::set<int> ids;
    for (const DialogTemplate& t : DialogTemplates::All())
        ids.insert(t.id);
    EXPECT_EQ(ids, expected);
    EXPECT_EQ(DialogTemplates::All().size(), expected.size());
    for (int id : expected)
        EXPECT_EQ(DialogTemplates::Find(id)->id, id);
    EXPECT_EQ(DialogTemplates::Find(101), nullptr);
}

TEST(DialogTemplates, SizesFontsAndWindowStyles)
{
    const DialogTemplate* about = DialogTemplates::Find(100);
    EXPECT_EQ(about->rect.size(), QSize(218, 172));
    EXPECT_EQ(about->fontFace, "Microsoft Sans Serif");
    EXPECT_EQ(about->fontPoints, 9);

    const DialogTemplate* main = DialogTemplates::Find(102);
    EXPECT_EQ(main->rect, QRect(0, 0, 465, 332));
    EXPECT_EQ(main->fontFace, "MS Shell Dlg");
    EXPECT_TRUE(main->Has(WindowStyle::Visible | WindowStyle::AppWindow));
    EXPECT_FALSE(main->Has(WindowStyle::Child));

    const DialogTemplate* settings = DialogTemplates::Find(162);
    EXPECT_EQ(settings->rect.size(), QSize(288, 314));
    EXPECT_TRUE(settings->Has(WindowStyle::Topmost));
    EXPECT_FALSE(settings->Has(WindowStyle::Visible));

    EXPECT_TRUE(DialogTemplates::Find(130)->Has(WindowStyle::Child | WindowStyle::StaticEdge));
    for (int page : {133, 134, 135}) {
        EXPECT_TRUE(DialogTemplates::Find(page)->Has(WindowStyle::Child)) << page;
        EXPECT_FALSE(DialogTemplates::Find(page)->Has(WindowStyle::Visible)) << page;
    }
    EXPECT_EQ(DialogTemplates::Find(184)->rect.size(), QSize(189, 91));
    EXPECT_EQ(DialogTemplates::Find(136)->rect.size(), QSize(248, 118));
    EXPECT_EQ(DialogTemplates::Find(148)->rect.size(), QSize(340, 113));
    EXPECT_EQ(DialogTemplates::Find(148)->style, WindowStyle::None);
}

TEST(DialogTemplates, ExactTextsAndRectangles)
{
    EXPECT_EQ(ControlOf(130, 1009).text, "Add File(s)");
    EXPECT_EQ(ControlOf(130, 1009).rect, QRect(25, 124, 63, 14));
    EXPECT_EQ(ControlOf(130, -1).text, "Output Path:");
    EXPECT_EQ(ControlOf(130, 1027).text, "static");
    EXPECT_EQ(ControlOf(133, 1009).text, "Form Filling,Signing,Commenting");
    EXPECT_EQ(ControlOf(133, 1012).text, "Low(40-bit RC4)");
    EXPECT_EQ(ControlOf(133, 1048).rect, QRect(15, 24, 217, 79));
    EXPECT_EQ(ControlOf(148, 1050).text, "Enter Password:");
    EXPECT_EQ(ControlOf(148, 1050).rect, QRect(19, 60, 54, 8));
    EXPECT_EQ(ControlOf(136, 1026).text, "Open Folder");
    EXPECT_EQ(ControlOf(162, 1046).text, "Description");
    EXPECT_EQ(ControlOf(184, 1049).text, "No");
    EXPECT_TRUE(ControlOf(102, 1033).text.isEmpty());
    EXPECT_EQ(ControlOf(134, 1025).rect, QRect(95, 145, 133, 43));
}

TEST(DialogTemplates, ControlStyleFacts)
{
    EXPECT_TRUE(ControlOf(102, 1001).Has(ControlStyle::Hidden));
    EXPECT_TRUE(ControlOf(184, 1049).Has(ControlStyle::Hidden));
    EXPECT_TRUE(ControlOf(136, 1033).Has(ControlStyle::Hidden));
    EXPECT_TRUE(ControlOf(134, 1030).Has(ControlStyle::Hidden));
    EXPECT_TRUE(ControlOf(184, 1).Has(ControlStyle::DefaultButton));
    EXPECT_TRUE(ControlOf(136, 1026).Has(ControlStyle::DefaultButton));
    EXPECT_FALSE(ControlOf(136, 2).Has(ControlStyle::DefaultButton));
    EXPECT_TRUE(ControlOf(148, 1031).Has(ControlStyle::Password));
    EXPECT_TRUE(ControlOf(133, 1015).Has(ControlStyle::Password));
    EXPECT_TRUE(ControlOf(135, 1024).Has(ControlStyle::MultiLine | ControlStyle::WantReturn));
    EXPECT_TRUE(ControlOf(130, 1008).Has(ControlStyle::Sorted | ControlStyle::ExtendedSel | ControlStyle::AcceptFiles));
    EXPECT_FALSE(ControlOf(136, 1024).Has(ControlStyle::ExtendedSel));
    EXPECT_TRUE(ControlOf(134, 1026).Has(ControlStyle::Sorted));
    EXPECT_FALSE(ControlOf(134, 1024).Has(ControlStyle::Sorted));
    EXPECT_TRUE(ControlOf(133, 1012).Has(ControlStyle::Group));
    EXPECT_FALSE(ControlOf(133, 1012).Has(ControlStyle::TabStop));
    EXPECT_FALSE(ControlOf(130, 1023).Has(ControlStyle::Border));
}

TEST(DialogTemplates, TabOrderFollowsTheTemplate)
{
    std::vector<int> edits;
    for (const ControlTemplate& c : DialogTemplates::Find(135)->controls)
        if (c.kind == ControlKind::Edit)
            edits.push_back(c.id);
    EXPECT_EQ(edits, (std::vector<int>{1021, 1023, 1026, 1024})); // Title, Subject, Author, Keywords
}

TEST(DialogTemplates, EveryControlLiesInsideItsDialog)
{
    for (const DialogTemplate& t : DialogTemplates::All())
        for (const ControlTemplate& c : t.controls) {
            EXPECT_TRUE(QRect(QPoint(0, 0), t.rect.size()).contains(c.rect)) << t.id << "/" << c.id;
            EXPECT_GT(c.rect.width(), 0);
            EXPECT_GT(c.rect.height(), 0);
        }
}
