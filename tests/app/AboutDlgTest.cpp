// The about box: its texts and link, how it closes, and that only its title
// line moves it; a click on its link opens our web address.
#include "DialogDriver.h"
#include "XdgSandbox.h"

#include "app/AboutDlg.h"
#include "app/ProductInfo.h"
#include "skin/WindowDrag.h"

#include <gtest/gtest.h>

using dialogtest::RunModal;

namespace {

int RunAbout(const std::function<void(CAboutDlg&)>& act)
{
    CAboutDlg dlg;
    return RunModal<CAboutDlg>(dlg, act);
}

TEST(AboutDlg, ShowsProductNoticeRightsAndTheWebLink)
{
    RunAbout([](CAboutDlg& dlg) {
        EXPECT_EQ(dlg.size(), QSize(387, 313));
        EXPECT_EQ(dlg.m_stTitle.text(), QStringLiteral("About Orvik Excel To PDF"));
        EXPECT_EQ(dlg.m_stProduct.text(), QStringLiteral("Orvik Excel To PDF 4.0"));
        EXPECT_EQ(dlg.m_stProduct.FontHeight(), 24);
        EXPECT_EQ(dlg.m_stProduct.TextColor(), 0xB07D01u);
        EXPECT_FALSE(dlg.m_stNotice.text().isEmpty());
        EXPECT_EQ(dlg.m_stRights.TextAlignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        EXPECT_EQ(dlg.m_stRights.FontHeight(), 13);
        const QString web = QString::fromLatin1(ProductInfo::kWebAddress);
        EXPECT_EQ(dlg.m_linkWeb.text(), web);
        EXPECT_EQ(dlg.m_linkWeb.Target(), web);
        EXPECT_EQ(dlg.m_linkWeb.toolTip(), web);
        EXPECT_TRUE(dlg.rect().contains(dlg.m_linkWeb.geometry())) << "the fitted link stays inside the box";
        EXPECT_FALSE(dlg.m_linkWeb.geometry().intersects(dlg.m_btnOK.geometry()));
        EXPECT_EQ(dlg.m_btnOK.size(), QSize(98, 23));
        EXPECT_EQ(dlg.m_btnClose.size(), QSize(29, 21));
        dialogtest::Screenshot(dlg, "about_box");
        dlg.EndDialog(1);
    });
}

TEST(AboutDlg, ClosesByOkEnterEscapeAndCloseButton)
{
    EXPECT_EQ(RunAbout([](CAboutDlg& d) { QTest::mouseClick(&d.m_btnOK, Qt::LeftButton); }), 1);
    EXPECT_EQ(RunAbout([](CAboutDlg& d) { QTest::keyClick(&d, Qt::Key_Return); }), 1);
    EXPECT_EQ(RunAbout([](CAboutDlg& d) { QTest::keyClick(&d, Qt::Key_Escape); }), 2);
    EXPECT_EQ(RunAbout([](CAboutDlg& d) { QTest::mouseClick(&d.m_btnClose, Qt::LeftButton); }), 2);
}

TEST(AboutDlg, MovedByTheTitleLineOnly)
{
    std::vector<QWidget*> moved;
    CWindowDrag::SetObserver([&](QWidget* w) { moved.push_back(w); });
    RunAbout([&](CAboutDlg& dlg) {
        for (const QPoint p : {QPoint(330, 10), QPoint(200, 150)}) {
            QTest::mousePress(&dlg, Qt::LeftButton, {}, p);
            QTest::mouseRelease(&dlg, Qt::LeftButton, {}, p);
        }
        EXPECT_TRUE(moved.empty());
        QTest::mousePress(&dlg.m_stTitle, Qt::LeftButton, {}, QPoint(10, 5));
        QTest::mouseRelease(&dlg.m_stTitle, Qt::LeftButton, {}, QPoint(10, 5));
        ASSERT_EQ(moved.size(), 1u);
        EXPECT_EQ(moved[0], &dlg);
        dlg.EndDialog(1);
    });
    CWindowDrag::SetObserver({});
}

TEST(AboutDlg, LinkClickOpensTheWebAddressThroughTheFallback)
{
    XdgSandbox box;
    box.FailingXdgOpen(4);
    box.InstallEntry("recorder.desktop", box.Recorder() + " %U");
    box.SetDefault("config/mimeapps.list", "recorder.desktop");
    RunAbout([](CAboutDlg& dlg) {
        QTest::mouseClick(&dlg.m_linkWeb, Qt::LeftButton, {}, QPoint(4, 4));
        EXPECT_TRUE(dlg.m_linkWeb.IsOpened());
        dlg.EndDialog(1);
    });
    EXPECT_EQ(box.Recorded(), QStringList{QString::fromLatin1(ProductInfo::kWebAddress)});
}

} // namespace
