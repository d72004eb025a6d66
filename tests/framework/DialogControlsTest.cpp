// Controls made from the templates: kinds, style facts, places, and a window's own
// control classes put at an id before and after creation.
#include "framework/CDialog.h"
#include "framework/DataExchange.h"
#include "framework/DialogControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {
// A child template needs a parent.
struct Host {
    QWidget window;
    CDialog page;
    explicit Host(int templateId) { EXPECT_TRUE(page.Create(templateId, &window)); }
};

class TitleStatic : public QLabel {};
class ImageButton : public QPushButton {};
} // namespace

TEST(DialogControls, KindsAndStyleFactsOfTheSecurityPage)
{
    Host host(133);
    CDialog& dlg = host.page;
    auto* user = dlg.GetDlgItem<QLineEdit>(1015);
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(user->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(user->hasFrame());
    EXPECT_NE(dlg.GetDlgItem<QCheckBox>(1005), nullptr);
    EXPECT_NE(dlg.GetDlgItem<QRadioButton>(1013), nullptr);
    auto* group = dlg.GetDlgItem<QGroupBox>(1021);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), "Allowed Actions");
    EXPECT_EQ(dlg.GetDlgItem(1012)->focusPolicy(), Qt::ClickFocus); // no tab stop
    EXPECT_EQ(dlg.GetDlgItem(1005)->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(dlg.GetDlgItem(9999), nullptr);
    EXPECT_EQ(CDialog::GetDlgCtrlID(user), 1015);
    // The group box frames the permission boxes without covering them.
    QWidget* printing = dlg.GetDlgItem(1011);
    EXPECT_EQ(dlg.childAt(printing->geometry().center()), printing);
}

TEST(DialogControls, PlacesAreTheTemplateRectanglesInPixels)
{
    CDialog dlg(148);
    ASSERT_TRUE(dlg.Create(148));
    EXPECT_EQ(dlg.GetDlgItem(1031)->geometry(), QRect(122, 96, 312, 23));
    EXPECT_EQ(dlg.size(), QSize(510, 184));
    EXPECT_TRUE(dlg.isWindow());
    EXPECT_TRUE(dlg.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(dlg.isVisible()); // the template is not visible
    EXPECT_EQ(dlg.GetDlgItem<QLineEdit>(1031)->echoMode(), QLineEdit::Password);
}

TEST(DialogControls, ListsAndDropDownListsKeepTheirOrder)
{
    Host page(130);
    auto* files = page.page.GetDlgItem<QListWidget>(1008);
    ASSERT_NE(files, nullptr);
    files->addItem("/data/c.xls");
    files->addItem("/data/a.xls");
    files->addItem("/data/b.xlsx");
    EXPECT_EQ(files->item(0)->text(), "/data/a.xls");
    EXPECT_EQ(files->item(2)->text(), "/data/c.xls");
    EXPECT_EQ(files->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(files->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_FALSE(page.page.GetDlgItem<QLineEdit>(1023)->hasFrame());
    EXPECT_TRUE(page.page.GetDlgItem<QLineEdit>(1017)->hasFrame());

    Host advanced(134);
    auto* version = advanced.page.GetDlgItem<QComboBox>(1025); // sorted
    auto* quality = advanced.page.GetDlgItem<QComboBox>(1024); // not sorted
    ASSERT_TRUE(version && quality);
    EXPECT_FALSE(version->isEditable());
    for (const char* text : {"V1.5", "V1.3(Acrobat 4.xx)", "V1.4"})
        version->addItem(text);
    EXPECT_EQ(version->itemText(0), "V1.3(Acrobat 4.xx)");
    EXPECT_EQ(version->itemText(2), "V1.5");
    for (const char* text : {"Minimum", "Low", "Medium"})
        quality->addItem(text);
    EXPECT_EQ(quality->itemText(0), "Minimum");
    EXPECT_EQ(quality->itemText(1), "Low");
    // A closed drop-down list is one line high, not its dropped height.
    EXPECT_LT(quality->height(), advanced.page.MapDialogRect(QRect(0, 0, 1, 46)).height());
    EXPECT_TRUE(advanced.page.GetDlgItem(1030)->isHidden());
}

TEST(DialogControls, MultiLineAndHiddenControls)
{
    Host description(135);
    EXPECT_NE(description.page.GetDlgItem<QPlainTextEdit>(1024), nullptr);
    EXPECT_NE(description.page.GetDlgItem<QLineEdit>(1021), nullptr);
    EXPECT_TRUE(DialogControls::WantsReturn(description.page.GetDlgItem(1024)));
    EXPECT_FALSE(DialogControls::WantsReturn(description.page.GetDlgItem(1021)));

    CDialog box(184);
    ASSERT_TRUE(box.Create(184));
    EXPECT_TRUE(box.GetDlgItem(1049)->isHidden());
    EXPECT_FALSE(box.GetDlgItem(1)->isHidden());
    EXPECT_TRUE(box.GetDlgItem<QPushButton>(1)->isDefault());
}

TEST(DialogControls, DisabledAndHiddenFlagsApplyToAnyWidget)
{
    QWidget parent;
    QPushButton button(&parent);
    ControlTemplate item{77, ControlKind::PushButton, "Go", QRect(4, 8, 40, 16),
                         ControlStyle::Disabled | ControlStyle::Hidden | ControlStyle::TabStop};
    DialogControls::Apply(&button, item, DialogUnits(6, 13));
    EXPECT_FALSE(button.isEnabled());
    EXPECT_TRUE(button.isHidden());
    EXPECT_EQ(button.text(), "Go");
    EXPECT_EQ(button.geometry(), QRect(6, 13, 60, 26));
    EXPECT_EQ(CDialog::GetDlgCtrlID(&button), 77);
}

TEST(DialogControls, TabOrderFollowsTheTemplateNotTheScreen)
{
    Host description(135);
    CDialog& dlg = description.page;
    std::vector<int> order;
    QWidget* start = dlg.GetDlgItem(1021);
    QWidget* w = start;
    do {
        if (dlg.isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus))
            order.push_back(CDialog::GetDlgCtrlID(w));
        w = w->nextInFocusChain();
    } while (w != start && order.size() < 10);
    EXPECT_EQ(order, (std::vector<int>{1021, 1023, 1026, 1024}));
}

TEST(DialogControls, OwnControlClassAttachedBeforeCreation)
{
    CDialog box(184);
    TitleStatic title;
    box.AttachControl(1032, title);
    ASSERT_TRUE(box.Create(184));
    EXPECT_EQ(box.GetDlgItem(1032), &title);
    EXPECT_EQ(title.text(), "Static");
    EXPECT_EQ(title.parentWidget(), &box);
    EXPECT_EQ(title.geometry(), box.MapDialogRect(QRect(6, 3, 108, 9)));
    // Destroying the window leaves the window class's own control alive, ready for
    // the next creation.
    box.DestroyWindow();
    EXPECT_EQ(title.parentWidget(), nullptr);
    ASSERT_TRUE(box.Create(184));
    EXPECT_EQ(box.GetDlgItem(1032), &title);
}

TEST(DialogControls, OwnControlClassReplacesAGenericOneAfterCreation)
{
    class Box : public CDialog {
    public:
        Box() : CDialog(184) { ON_COMMAND(1049, &Box::OnNo); }
        ImageButton no;
        int clicks = 0;

    protected:
        void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 1049, no); }
        void OnNo() { ++clicks; }
    };
    Box box;
    ASSERT_TRUE(box.Create(184)); // OnInitDialog exchanges data, which binds 1049
    EXPECT_EQ(box.GetDlgItem(1049), &box.no);
    EXPECT_EQ(box.no.text(), "No");
    EXPECT_TRUE(box.no.isHidden());
    EXPECT_EQ(box.findChildren<QPushButton*>().size(), 3); // OK, close, and this one
    box.no.click();
    EXPECT_EQ(box.clicks, 1);
}
