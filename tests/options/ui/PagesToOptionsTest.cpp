// What the pages hold reaches the right field of the options a workbook is
// converted with: every text field, every flag, both levels, every list item;
// the lists keep the item order; fresh pages convert with the defaults.
#include "SettingsFixture.h"

#include "engine/GhostscriptCommand.h"
#include "engine/Pdfmarks.h"

#include <gtest/gtest.h>

using settingstest::Settings;

namespace {

// A distinct text in each field, typed, committed with OK.
TEST(PagesToOptions, EachTextFieldReachesItsOwnOption)
{
    Settings s;
    s.Open();
    s.Type(s.Edit(s.description, 1021), "the title");
    s.Type(s.Edit(s.description, 1023), "the subject");
    s.Type(s.Edit(s.description, 1026), "the author");
    s.Type(s.Keywords(), "the keywords");
    s.EnableSecurity("the owner");
    s.Type(s.Edit(s.security, 1015), "the user");
    s.Ok();

    const ConversionOptions o = s.Options();
    EXPECT_EQ(o.m_strDocTitle, "the title");
    EXPECT_EQ(o.m_strDocSubject, "the subject");
    EXPECT_EQ(o.m_strDocAuthor, "the author");
    EXPECT_EQ(o.m_strDocKeywords, "the keywords");
    EXPECT_EQ(o.m_strOwnerPassword, "the owner");
    EXPECT_EQ(o.m_strUserPassword, "the user");
    EXPECT_EQ(o.m_bEnableSecurity, 1);
}

// Each flag alone, by a click on its box, and nothing else changes with it.
TEST(PagesToOptions, EachFlagAloneReachesItsOwnOption)
{
    struct Flag {
        int id;
        int ConversionOptions::*field;
    };
    const Flag flags[] = {{1008, &ConversionOptions::m_bCopyExtract}, {1009, &ConversionOptions::m_bFormFill},
                          {1010, &ConversionOptions::m_bChangeDoc}, {1011, &ConversionOptions::m_bPrinting},
                          {1006, &ConversionOptions::m_bUserPassword}, {1007, &ConversionOptions::m_bOwnerPassword}};
    for (const Flag& flag : flags) {
        SCOPED_TRACE(flag.id);
        Settings s;
        s.Open();
        s.Click(1005);
        const ConversionOptions before = [&] {
            s.StartExchange();
            return s.Options();
        }();
        s.Click(flag.id);
        s.StartExchange();
        const ConversionOptions after = s.Options();
        EXPECT_NE(after.*flag.field, before.*flag.field);
        for (const Flag& other : flags)
            if (other.id != flag.id) {
                EXPECT_EQ(after.*other.field, before.*other.field) << other.id;
            }
        EXPECT_EQ(after.m_bEnableSecurity, 1);
    }
}

TEST(PagesToOptions, BothEncryptionLevels)
{
    Settings s;
    s.Open();
    s.Click(1005);
    s.StartExchange();
    EXPECT_EQ(s.Options().m_nEncryptionLevel, 0);
    s.Click(1013);
    s.StartExchange();
    EXPECT_EQ(s.Options().m_nEncryptionLevel, 1);
    EXPECT_FALSE(s.security.IsDlgButtonChecked(1012));
    s.Click(1012);
    s.StartExchange();
    EXPECT_EQ(s.Options().m_nEncryptionLevel, 0);
}

// The lists offer exactly the option items in their order (four of them sorted
// lists, which must not reorder them), each starts at the default option, and
// every item reaches its own option.
TEST(PagesToOptions, EveryItemOfEveryListReachesItsOwnOption)
{
    struct ListCase {
        int id;
        const QStringList& items;
        QString ConversionOptions::*field;
    };
    const ListCase lists[] = {
        {1026, OptionItems::PageLayout(), &ConversionOptions::m_strPageLayout},
        {1027, OptionItems::PageMode(), &ConversionOptions::m_strPageMode},
        {1028, OptionItems::DocCompression(), &ConversionOptions::m_strDocCompression},
        {1029, OptionItems::ImageCompression(), &ConversionOptions::m_strImageCompression},
        {1024, OptionItems::JpegQuality(), &ConversionOptions::m_strJpegQuality},
        {1025, OptionItems::PdfVersion(), &ConversionOptions::m_strPdfVersion},
    };
    Settings s;
    s.Open();
    for (const ListCase& list : lists) {
        SCOPED_TRACE(list.id);
        QComboBox* combo = s.List(list.id);
        ASSERT_NE(combo, nullptr);
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i)
            shown << combo->itemText(i);
        EXPECT_EQ(shown, list.items);
        const int start = combo->currentIndex();
        EXPECT_EQ(combo->itemText(start), ConversionOptions().*list.field) << "each list starts at its default";
        for (int i = 0; i < list.items.size(); ++i) {
            combo->setCurrentIndex(i);
            const ConversionOptions o = s.Options();
            EXPECT_EQ(o.*list.field, list.items[i]);
            EXPECT_EQ(s.advanced.SelectedText(list.id), list.items[i]);
            // The other lists still give their defaults.
            for (const ListCase& other : lists)
                if (other.id != list.id) {
                    EXPECT_EQ(o.*other.field, ConversionOptions().*other.field) << other.id;
                }
        }
        combo->setCurrentIndex(start);
    }
    EXPECT_TRUE(s.advanced.SelectedText(1030).isEmpty()); // the hidden check box is no list
}

// Fresh pages convert exactly as the default options do.
TEST(PagesToOptions, FreshPagesGiveTheDefaultArgumentsAndPdfmarks)
{
    Settings s;
    const GhostscriptFiles files{"gs", "/out/Book.pdf", {"/run/tmp_1.ps"}, "/run/pdfmarks", "/run/args", true};
    const ConversionOptions fresh = s.Options();
    const ConversionOptions defaults;
    EXPECT_EQ(BuildGhostscriptCommand(fresh, files).Arguments(), BuildGhostscriptCommand(defaults, files).Arguments());
    EXPECT_EQ(Pdfmarks::BuildText(fresh), Pdfmarks::BuildText(defaults));
    EXPECT_TRUE(GhostscriptCommand::SecurityArguments(fresh).isEmpty());

    // Still so after the window was opened and left with either button.
    s.Open();
    s.Close();
    EXPECT_EQ(BuildGhostscriptCommand(s.Options(), files).Arguments(),
              BuildGhostscriptCommand(defaults, files).Arguments());
    s.Open();
    s.Ok();
    EXPECT_EQ(BuildGhostscriptCommand(s.Options(), files).Arguments(),
              BuildGhostscriptCommand(defaults, files).Arguments());
    EXPECT_EQ(Pdfmarks::BuildText(s.Options()), Pdfmarks::BuildText(defaults));
}

} // namespace
