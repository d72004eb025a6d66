// The link control: fitting to its text, colours by state, hover capture,
// the failure messages, and clicks that open through the desktop's opener or
// the text/html handler.
#include "DialogDriver.h"
#include "XdgSandbox.h"

#include "framework/MessageBoxSeam.h"
#include "skin/HyperLink.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

namespace {

const QString kTarget = QStringLiteral("https://www.orvik-software.example/excel-to-pdf/");

// A shown window holding one link on the given rectangle.
struct LinkWindow {
    explicit LinkWindow(const QString& text, Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop,
                        QRect place = QRect(20, 20, 360, 40))
    {
        window.resize(420, 100);
        link = new CHyperLink(&window);
        link->setAlignment(align);
        link->setGeometry(place);
        link->setText(text);
        link->PreSubclassWindow();
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QWidget window;
    CHyperLink* link;
};

int TextWidth(const CHyperLink& link)
{
    return QFontMetrics(link.LinkFont()).horizontalAdvance(link.text());
}

// The most saturated pixel of the link as drawn over its window.
QColor InkOf(LinkWindow& w)
{
    const QImage image = w.window.grab(w.link->geometry()).toImage();
    QColor best;
    int bestChroma = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int chroma = std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()});
            if (chroma > bestChroma) {
                bestChroma = chroma;
                best = c;
            }
        }
    return best;
}

TEST(HyperLink, TakesTargetFromTextWithUnderlineHandCursorAndTooltip)
{
    LinkWindow w(kTarget);
    EXPECT_EQ(w.link->Target(), kTarget);
    EXPECT_EQ(w.link->toolTip(), kTarget);
    EXPECT_EQ(w.link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(w.link->LinkFont().underline());
    EXPECT_TRUE(w.link->font().underline());

    // A target set beforehand fills an empty text.
    CHyperLink empty(&w.window);
    empty.SetTarget("https://other.example/");
    empty.PreSubclassWindow();
    EXPECT_EQ(empty.text(), QStringLiteral("https://other.example/"));
}

TEST(HyperLink, FitsToTextKeepingItsAlignment)
{
    LinkWindow left(kTarget);
    const int width = TextWidth(*left.link);
    const int height = QFontMetrics(left.link->LinkFont()).height();
    EXPECT_EQ(left.link->geometry(), QRect(20, 20, width, height));

    LinkWindow right(kTarget, Qt::AlignRight | Qt::AlignTop);
    EXPECT_EQ(right.link->geometry().right(), 20 + 360 - 1);
    EXPECT_EQ(right.link->width(), width);

    LinkWindow centred(kTarget, Qt::AlignHCenter | Qt::AlignVCenter);
    EXPECT_LE(std::abs(centred.link->geometry().center().x() - QRect(20, 20, 360, 40).center().x()), 1);
    EXPECT_LE(std::abs(centred.link->geometry().center().y() - QRect(20, 20, 360, 40).center().y()), 1);
    EXPECT_LE(std::abs(centred.link->width() - width), 1);
    EXPECT_LE(std::abs(centred.link->height() - height), 1);

    // A text wider than the control widens it.
    LinkWindow narrow(kTarget, Qt::AlignLeft | Qt::AlignTop, QRect(20, 20, 30, 10));
    EXPECT_EQ(narrow.link->width(), width);
}

TEST(HyperLink, ColoursByStateHoverWinsOverOpened)
{
    XdgSandbox box;
    box.FailingXdgOpen(0); // an opener that succeeds
    LinkWindow w(kTarget);
    EXPECT_EQ(w.link->CurrentTextColor(), 0xEE0000u);
    const QColor blue = InkOf(w);
    EXPECT_GT(blue.blue(), blue.red() + 100) << blue.name().toStdString();
    EXPECT_GT(blue.blue(), blue.green() + 100);

    const QPoint inside(3, 3);
    QTest::mouseMove(w.link, inside);
    EXPECT_TRUE(w.link->IsOver());
    EXPECT_EQ(w.link->CurrentTextColor(), w.link->m_crHover);

    QTest::mouseClick(w.link, Qt::LeftButton, {}, inside);
    EXPECT_TRUE(w.link->IsOpened());
    EXPECT_EQ(w.link->CurrentTextColor(), w.link->m_crHover) << "the hover colour wins while over it";

    QTest::mouseMove(w.link, QPoint(-5, w.link->height() + 5));
    EXPECT_FALSE(w.link->IsOver());
    EXPECT_EQ(w.link->CurrentTextColor(), 0x8B1A55u);
    const QColor purple = InkOf(w);
    EXPECT_GT(purple.blue(), purple.green() + 50) << purple.name().toStdString();
    EXPECT_GT(purple.red(), purple.green() + 20);
}

// A link once opened keeps its opened colour when a later click fails.
TEST(HyperLink, OpenedColourStaysAfterALaterFailedClick)
{
    XdgSandbox box;
    box.FailingXdgOpen(0);
    MessageBoxSeam seam;
    LinkWindow w(kTarget);
    QTest::mouseClick(w.link, Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_TRUE(w.link->IsOpened());

    box.FailingXdgOpen(3); // no program found, and no text/html handler to fall back on
    QTest::mouseClick(w.link, Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_EQ(seam.Questions().size(), 1) << "the second click failed";
    EXPECT_TRUE(w.link->IsOpened());
    QTest::mouseMove(w.link, QPoint(-5, w.link->height() + 5));
    EXPECT_EQ(w.link->CurrentTextColor(), 0x8B1A55u);
}

TEST(HyperLink, HoverCapturesTheMouseUntilItLeaves)
{
    LinkWindow w(kTarget);
    QTest::mouseMove(w.link, QPoint(2, 2));
    EXPECT_TRUE(w.link->IsOver());
    EXPECT_EQ(QWidget::mouseGrabber(), w.link);
    QTest::mouseMove(w.link, QPoint(4, 3)); // still inside: nothing changes
    EXPECT_TRUE(w.link->IsOver());
    QTest::mouseMove(w.link, QPoint(w.link->width() + 3, 2));
    EXPECT_FALSE(w.link->IsOver());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST(HyperLink, FailureMessagesFollowTheReasonTable)
{
    EXPECT_EQ(CHyperLink::OpenFailureMessage(26),
              QStringLiteral("Unable to open hyperlink:\n\nA sharing violation occurred. "));
    EXPECT_EQ(CHyperLink::OpenFailureMessage(1), QStringLiteral("Unable to open hyperlink:\n\nUnknown Error (1) occurred."));
    EXPECT_EQ(CHyperLink::OpenFailureReason(-1), QStringLiteral("Unknown Error (-1) occurred."));
    EXPECT_EQ(CHyperLink::OpenFailureReason(33), QStringLiteral("Unknown Error (33) occurred."));
    EXPECT_EQ(CHyperLink::OpenFailureReason(31),
              QStringLiteral("There is no application associated\nwith the given filename extension."));
    EXPECT_EQ(CHyperLink::OpenFailureReason(11),
              QStringLiteral("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."));

    MessageBoxSeam seam;
    CHyperLink::ShowOpenFailure(5);
    ASSERT_EQ(seam.Questions().size(), 1);
    EXPECT_EQ(seam.Questions()[0].text,
              QStringLiteral("Unable to open hyperlink:\n\nThe operating system denied\naccess to the specified file."));
    EXPECT_EQ(seam.Questions()[0].caption, QStringLiteral("Orvik Excel To PDF"));
    EXPECT_EQ(seam.Questions()[0].type, 0x30u);
}

TEST(HyperLink, EmptyLinkStaysEmptyAndReportsFailureOnClick)
{
    XdgSandbox box;
    box.FailingXdgOpen(0); // would succeed for any target it were given
    MessageBoxSeam seam;
    LinkWindow w{QString()};
    EXPECT_TRUE(w.link->text().isEmpty());
    EXPECT_TRUE(w.link->Target().isEmpty());
    w.link->resize(20, 10); // something to click on
    QTest::mouseClick(w.link, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_FALSE(w.link->IsOpened());
    ASSERT_EQ(seam.Questions().size(), 1);
    EXPECT_EQ(seam.Questions()[0].text, QStringLiteral("Unable to open hyperlink:\n\nThe specified file was not found."));
}

TEST(HyperLink, ClickFallsBackToTheHtmlHandlerWhenTheOpenerFails)
{
    XdgSandbox box;
    box.FailingXdgOpen(3); // no program found
    box.InstallEntry("recorder.desktop", "\"" + box.Recorder() + "\" --new-window \"%u\"");
    box.SetDefault("config/mimeapps.list", "recorder.desktop");
    MessageBoxSeam seam;
    LinkWindow w(kTarget);
    QTest::mouseClick(w.link, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(box.Recorded(), (QStringList{"--new-window", kTarget}));
    EXPECT_TRUE(w.link->IsOpened());
    EXPECT_TRUE(seam.Questions().isEmpty());
}

TEST(HyperLink, ClickWithNoOpenerAndNoHandlerSaysNoAssociation)
{
    XdgSandbox box;
    qputenv("PATH", QFile::encodeName(box.Path("bin"))); // no xdg-open at all
    MessageBoxSeam seam;
    LinkWindow w(kTarget);
    QTest::mouseClick(w.link, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_FALSE(w.link->IsOpened());
    EXPECT_EQ(w.link->CurrentTextColor() == 0xEE0000u || w.link->IsOver(), true);
    ASSERT_EQ(seam.Questions().size(), 1);
    EXPECT_EQ(seam.Questions()[0].text,
              QStringLiteral("Unable to open hyperlink:\n\nThere is no application associated\n"
                             "with the given filename extension."));
}

} // namespace
