#include "skin/SxGroupBox.h"

#include "skin/ColorRef.h"
#include "skin/GdiFont.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

// The classic button-face colours (shadow and highlight) and edge sizes.
constexpr quint32 kBtnShadow = 0xA0A0A0;
constexpr quint32 kBtnHighlight = 0xFFFFFF;
constexpr int kEdge = 2;   // SM_CXEDGE, SM_CYEDGE
constexpr int kBorder = 1; // SM_CXBORDER, SM_CYBORDER

constexpr quint32 kDlgModalFrame = 0x1;
constexpr quint32 kClientEdge = 0x200;
constexpr quint32 kStaticEdge = 0x20000;
constexpr quint32 kNoCaptionBits = 0xC0;
constexpr quint32 kFlat = 0x8000;

// "Tahoma" 8 pt made as a point font on a 96 dpi screen: an em of 11 pixels.
constexpr int kCaptionFontHeight = -11;

QRect Shrunk(const QRect& r, int dx, int dy)
{
    return r.adjusted(dx, dy, -dx, -dy);
}

} // namespace

CSxGroupBox::CSxGroupBox(QWidget* parent)
    : CSxGroupBox(QString(), parent)
{
}

CSxGroupBox::CSxGroupBox(const QString& title, QWidget* parent)
    : QGroupBox(title, parent)
    , m_crShadow(kBtnShadow)
    , m_crHighlight(kBtnHighlight)
    , m_crShadowOff(kBtnShadow)
    , m_crHighlightOff(kBtnHighlight)
    , m_captionFont(MakeGdiFont(QStringLiteral("Tahoma"), kCaptionFontHeight))
{
}

void CSxGroupBox::Attach(quint32 style, quint32 exStyle)
{
    m_strCaption = title();
    switch (style & 0x300) {
    case 0x200: m_nAlign = kAlignRight; break;
    case 0x300: m_nAlign = kAlignCenter; break;
    case 0x100: m_nAlign = kAlignLeft; break;
    default:
        m_nAlign = (alignment() & Qt::AlignRight) ? kAlignRight
                 : (alignment() & Qt::AlignHCenter) ? kAlignCenter : kAlignLeft;
    }
    m_exStyle = exStyle;
    m_rcFrame = FrameFromClient();
    m_nBoxStyle = (style & kFlat) ? 0 : 1;
    m_bNoCaption = (exStyle & kNoCaptionBits) != 0;
    update();
}

QRect CSxGroupBox::FrameFromClient() const
{
    QRect frame = rect();
    if (m_exStyle & kDlgModalFrame) {
        frame = Shrunk(frame, 2 * kEdge, 2 * kEdge);
        frame.setLeft(frame.left() - 1);
    }
    if (m_exStyle & kClientEdge) {
        frame = Shrunk(frame, kEdge + 1, kEdge + 1);
        frame.setLeft(frame.left() - 1);
        if (m_exStyle & kDlgModalFrame)
            frame.setRight(frame.right() + 1);
    }
    if (m_exStyle & kStaticEdge) {
        frame = Shrunk(frame, 2 * kBorder, 2 * kBorder);
        frame.setLeft(frame.left() - 1);
    }
    return frame;
}

void CSxGroupBox::resizeEvent(QResizeEvent* event)
{
    m_rcFrame = FrameFromClient();
    QGroupBox::resizeEvent(event);
}

QString CSxGroupBox::CaptionText() const
{
    // No blanks around an empty caption: its top line stays closed.
    return m_strCaption.isEmpty() ? QString() : QStringLiteral(" %1 ").arg(m_strCaption);
}

CSxGroupBox::Geometry CSxGroupBox::ComputeGeometry(const QRect& frame, int initialFontHeight, int captionWidth,
                                                   int captionHeight, int align, int margin, int raise)
{
    const int left = frame.left(), right = frame.left() + frame.width();
    Geometry g;
    g.lineY = frame.top() + initialFontHeight / 2 - 1;
    if (align == kAlignRight) {
        g.x1 = right - margin;
        g.x0 = g.x1 - captionWidth;
    } else if (align == kAlignCenter) {
        g.x0 = (right - captionWidth - left) / 2;
        g.x1 = g.x0 + captionWidth;
    } else {
        g.x0 = left + margin;
        g.x1 = g.x0 + captionWidth;
    }
    g.captionBox = QRect(g.x0, g.lineY - raise, g.x1 - g.x0, raise);
    g.embossOrigin = QPoint(g.x0, g.lineY - captionHeight / 2);
    return g;
}

CSxGroupBox::Geometry CSxGroupBox::CurrentGeometry() const
{
    const QFontMetrics metrics(m_captionFont);
    const QString caption = CaptionText();
    const QRect frame = m_rcFrame.isNull() ? rect() : m_rcFrame;
    return ComputeGeometry(frame, kInitialFontHeight, caption.isEmpty() ? 0 : metrics.horizontalAdvance(caption),
                           metrics.height(), m_nAlign, m_nCaptionMargin, m_nCaptionRaise);
}

void CSxGroupBox::DrawFrame(QPainter& painter, const Geometry& g) const
{
    const bool enabled = isEnabled();
    const QColor dark = ColorFromCOLORREF(enabled ? m_crShadow : m_crShadowOff);
    const QColor light = ColorFromCOLORREF(enabled ? m_crHighlight : m_crHighlightOff);
    const int w = m_nLineWidth;
    const QRect frame = m_rcFrame.isNull() ? rect() : m_rcFrame;
    const int L = frame.left(), T = frame.top(), R = frame.left() + frame.width(), B = frame.top() + frame.height();
    Q_UNUSED(T);
    const int y = g.lineY;

    painter.setPen(QPen(dark, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const QPoint darkLine[] = {{g.x0, y}, {L, y}, {L, B - w}, {R - w, B - w}, {R - w, y}, {g.x1, y}};
    painter.drawPolyline(darkLine, 6);

    painter.setPen(QPen(light, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const QPoint lightLeft[] = {{g.x0, y + w}, {L + w, y + w}, {L + w, B - 2 * w}};
    painter.drawPolyline(lightLeft, 3);
    const QPoint lightBottom[] = {{L + w, B}, {R, B}, {R, y + w}};
    painter.drawPolyline(lightBottom, 3);
    painter.drawLine(QPoint(R - 2 * w, y + w), QPoint(g.x1, y + w));
}

void CSxGroupBox::DrawCaption(QPainter& painter, const Geometry& g) const
{
    const QString caption = CaptionText();
    if (caption.isEmpty() || m_bNoCaption)
        return;
    painter.setFont(m_captionFont);
    if (isEnabled()) {
        painter.setPen(ColorFromCOLORREF(m_crText));
        painter.drawText(g.captionBox, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip | Qt::TextSingleLine,
                         caption);
        return;
    }
    // Embossed: the light text one pixel down and right, the dark text over it.
    const QFontMetrics metrics(m_captionFont);
    const QRect box(g.embossOrigin, QSize(g.x1 - g.x0, metrics.height()));
    painter.setPen(ColorFromCOLORREF(m_crHighlightOff));
    painter.drawText(box.translated(1, 1), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption);
    painter.setPen(ColorFromCOLORREF(m_crShadowOff));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption);
}

void CSxGroupBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const Geometry g = CurrentGeometry();
    DrawFrame(painter, g);
    DrawCaption(painter, g);
}
