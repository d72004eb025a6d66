#include "WindowArt.h"

#include "Glyphs.h"
#include "Logo.h"
#include "Palette.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace {
constexpr int kBand = 26;      // rows 0..25 drag the window
constexpr qreal kCorner = 8;
using DF = ArtKit::DialogFont;

QPainterPath Outline(int w, int h)
{
    return ArtKit::Rounded(QRectF(0, 0, w, h), kCorner);
}

QPainter* Begin(QImage& img, QPainter& p)
{
    p.begin(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QSize size = img.deviceIndependentSize().toSize(); // window pixels
    p.setClipPath(Outline(size.width(), size.height()));
    return &p;
}
} // namespace

QImage WindowArt::Frame(int w, int h, const QColor& body, int scale)
{
    QImage img = ArtKit::Canvas(w, h, scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawPath(Outline(w, h));
    p.setClipPath(Outline(w, h));
    TitleBand(p, w);
    return img;
}

void WindowArt::TitleBand(QPainter& p, int w)
{
    QLinearGradient band(0, 0, 0, kBand);
    band.setColorAt(0.0, Palette::BandTop);
    band.setColorAt(1.0, Palette::BandBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(band);
    p.drawRect(QRectF(0, 0, w, kBand));
    // Brand stripe along the top edge and the band's lower edge.
    p.setBrush(Palette::Product);
    p.drawRect(QRectF(0, 0, w, 2));
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawRect(QRectF(0, 2, w, 1));
    p.setBrush(Palette::BandLine);
    p.drawRect(QRectF(0, kBand - 1, w, 1));
}

QImage WindowArt::CutOut(QImage& argb)
{
    // The window's own outline, then the cut: corners are either key colour or
    // the opaque border colour, never a blend into magenta.
    {
        QPainter p(&argb);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Palette::WindowBorder, 1));
        p.setBrush(Qt::NoBrush);
        const QSizeF size = argb.deviceIndependentSize();
        p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1.0, size.height() - 1.0), kCorner - 0.5,
                          kCorner - 0.5);
    }
    return ArtKit::CutWithMagenta(argb);
}

void WindowArt::Card(QPainter& p, const QRectF& r, const QColor& fill, qreal radius)
{
    const QPainterPath path = ArtKit::Rounded(r, radius);
    ArtKit::Shadow(p, path, 2, 1.0, 46);
    p.setPen(QPen(Palette::CardBorder, 1));
    p.setBrush(fill);
    p.drawRoundedRect(r, radius, radius);
}

void WindowArt::Well(QPainter& p, const QRectF& control, const QColor& fill)
{
    // One pixel round the control, where its own border sits, a soft ring.
    const QRectF ring = QRectF(qFloor(control.left()) - 1.5, qFloor(control.top()) - 1.5,
                               qCeil(control.width()) + 3.0, qCeil(control.height()) + 3.0);
    p.setPen(QPen(QColor(0xDA, 0xE1, 0xE8), 1));
    p.setBrush(fill);
    p.drawRoundedRect(ring.adjusted(-1, -1, 1, 1), 4, 4);
    p.setPen(QPen(Palette::WellBorder, 1));
    p.drawRoundedRect(ring, 3, 3);
}

void WindowArt::Footer(QPainter& p, int w, int h, int top)
{
    QLinearGradient g(0, top, 0, h);
    g.setColorAt(0, QColor(0xEE, 0xF1, 0xF4));
    g.setColorAt(1, QColor(0xE6, 0xEA, 0xEE));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRect(QRectF(0, top, w, h - top));
    p.setBrush(QColor(0xD8, 0xDF, 0xE6));
    p.drawRect(QRectF(0, top, w, 1));
}

QColor WindowArt::SettingsCard()
{
    return Qt::white;
}

QImage WindowArt::Page(int scale)
{
    QImage img = ArtKit::Filled(685, 410, scale, Palette::Gutter, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QColor card = Palette::PageFill;

    // Workbooks: heading, list and the list buttons.
    Card(p, QRectF(12.5, 6.5, 660, 230), card);
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::Product);
    p.drawRoundedRect(QRectF(28, 16, 4, 15), 2, 2);
    const QRectF list = ArtKit::Dlu(DF::ShellDlg8, 18, 25, 419, 91);
    Well(p, list, Qt::white);
    p.setPen(QPen(QColor(0xE1, 0xE6, 0xEB), 1));
    p.drawLine(QPointF(26, 195.5), QPointF(659, 195.5));

    // Output folder.
    Card(p, QRectF(12.5, 246.5, 660, 83), card);
    Well(p, ArtKit::Dlu(DF::ShellDlg8, 23, 180, 289, 14), card);

    // Status, progress and the Convert command.
    Card(p, QRectF(12.5, 339.5, 660, 64), card);
    p.setPen(QPen(QColor(0xDD, 0xE3, 0xE9), 1));
    p.drawLine(QPointF(488.5, 350), QPointF(488.5, 394));
    return img.convertToFormat(QImage::Format_RGB32);
}

QImage WindowArt::Main(int scale)
{
    const int w = 700, h = 522;
    QImage img = Frame(w, h, Palette::Gutter, scale);
    QPainter p;
    Begin(img, p);

    // Small mark left of the title line.
    Logo::Draw(p, QRectF(9, 6, 16, 16));

    // Banner under the band: the product mark on the left, the header buttons
    // (Website, Help, About) on the right at rows 50..80.
    const QRectF banner(0, kBand, w, 92 - kBand);
    QLinearGradient bg(0, 0, w, 0);
    bg.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
    bg.setColorAt(0.55, QColor(0xF3, 0xF8, 0xFC));
    bg.setColorAt(1.0, QColor(0xE2, 0xEE, 0xF8));
    p.setPen(Qt::NoPen);
    p.setBrush(bg);
    p.drawRect(banner);
    // Soft light shapes behind the header buttons.
    p.setClipRect(banner, Qt::IntersectClip);
    QRadialGradient glow(QPointF(610, 20), 190);
    glow.setColorAt(0, QColor(0x9C, 0xCC, 0xEC, 90));
    glow.setColorAt(1, QColor(0x9C, 0xCC, 0xEC, 0));
    p.setBrush(glow);
    p.drawEllipse(QPointF(610, 20), 190, 190);
    p.setPen(QPen(QColor(255, 255, 255, 160), 14));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(700, 150), 150, 150);
    p.setPen(QPen(QColor(0x8E, 0xC3, 0xE6, 50), 6));
    p.drawEllipse(QPointF(500, 180), 140, 140);
    p.setClipPath(Outline(w, h));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xCC, 0xD6, 0xE0));
    p.drawRect(QRectF(0, 91, w, 1));

    Logo::Draw(p, QRectF(20, 35, 48, 48));
    p.setFont(ArtKit::Font(22, true));
    p.setPen(Palette::Product);
    p.drawText(QPointF(80, 58), QStringLiteral("Excel To PDF"));
    p.setFont(ArtKit::Font(12));
    p.setPen(QColor(0x5E, 0x6B, 0x78));
    p.drawText(QPointF(81, 76), QStringLiteral("Turn workbooks into PDF documents"));

    // The page sits at rows 92..502; under it, the page's own artwork.
    p.drawImage(QPointF(7, 92), Page(scale));

    // Footer line.
    p.setFont(ArtKit::Font(11));
    p.setPen(Palette::Muted);
    p.drawText(QRectF(0, 502, w - 14, 20), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Version 4.0"));
    p.end();
    return CutOut(img);
}

QImage WindowArt::About(int scale)
{
    const int w = 387, h = 313;
    QImage img = Frame(w, h, QColor(0xFC, 0xFD, 0xFE), scale);
    QPainter p;
    Begin(img, p);

    // Hero: product name (drawn by the window at 31,69) and the large mark.
    const QRectF hero(0, kBand, w, 136 - kBand);
    QLinearGradient bg(0, hero.top(), w, hero.bottom());
    bg.setColorAt(0, QColor(0xF6, 0xFA, 0xFD));
    bg.setColorAt(1, QColor(0xDE, 0xEC, 0xF7));
    p.setPen(Qt::NoPen);
    p.setBrush(bg);
    p.drawRect(hero);
    p.setClipRect(hero, Qt::IntersectClip);
    p.setPen(QPen(QColor(255, 255, 255, 170), 16));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(360, 150), 110, 110);
    p.setPen(QPen(QColor(0x8E, 0xC3, 0xE6, 45), 5));
    p.drawEllipse(QPointF(250, 190), 120, 120);
    p.setClipPath(Outline(w, h));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xCF, 0xDA, 0xE4));
    p.drawRect(QRectF(0, 135, w, 1));
    Logo::Draw(p, QRectF(296, 52, 66, 66));
    p.setBrush(Palette::Product);
    p.drawRoundedRect(QRectF(33, 106, 44, 3), 1.5, 1.5);

    Footer(p, w, h, 281);
    p.end();
    return CutOut(img);
}

QImage WindowArt::Message(int scale)
{
    const int w = 286, h = 157;
    QImage img = Frame(w, h, Palette::Body, scale);
    QPainter p;
    Begin(img, p);
    Footer(p, w, h, 113);
    p.end();
    return CutOut(img);
}

QImage WindowArt::Settings(int scale)
{
    const int w = 428, h = 497;
    QImage img = Frame(w, h, QColor(0xEC, 0xEF, 0xF3), scale);
    QPainter p;
    Begin(img, p);
    // One white card holds the tab row (rows 47..74) and the page host
    // (25..382 x 89..445), separated by a hairline under the tabs.
    Card(p, QRectF(13.5, 37.5, 401, 414), SettingsCard(), 7);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xDA, 0xE1, 0xE8));
    p.drawRect(QRectF(25, 75, 378, 1));
    p.end();
    return CutOut(img);
}

int WindowArt::FinishHeight()
{
    // The buttons' row (template row 97, 23 pixels high) is the lowest; below it
    // the same margin the buttons keep from the left edge, no blank band.
    const QRectF buttons = ArtKit::Dlu(DF::ShellDlg8, 12, 97, 58, 14);
    constexpr int kButtonHeight = 23;
    return qRound(buttons.top()) + kButtonHeight + qRound(buttons.left());
}

QImage WindowArt::Finish(int scale)
{
    const int w = 377, h = FinishHeight();
    QImage img = Frame(w, h, Palette::Body, scale);
    QPainter p;
    Begin(img, p);
    // A success mark left of the message line (at 88,39).
    const QRectF mark(58, 33, 24, 24);
    QLinearGradient g(0, mark.top(), 0, mark.bottom());
    g.setColorAt(0, QColor(0x45, 0xC0, 0x74));
    g.setColorAt(1, QColor(0x1E, 0x8E, 0x4A));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 80, 40, 40));
    p.drawEllipse(mark.translated(0, 1));
    p.setBrush(g);
    p.drawEllipse(mark);
    Glyphs::Draw(p, Glyphs::Kind::Check, mark.adjusted(5, 5, -5, -5), Qt::white);
    Well(p, ArtKit::Dlu(DF::ShellDlg8, 13, 40, 221, 52), Qt::white);
    p.end();
    return CutOut(img);
}

QImage WindowArt::Password(int scale)
{
    const int w = 499, h = 170;
    QImage img = Frame(w, h, Palette::Body, scale);
    QPainter p;
    Begin(img, p);
    Footer(p, w, h, 126);
    Well(p, ArtKit::Dlu(DF::ShellDlg8, 81, 59, 208, 14), Qt::white);
    p.end();
    return CutOut(img);
}
