#include "skin/FontStatic.h"

#include "skin/ColorRef.h"
#include "skin/GdiFont.h"

#include <QMouseEvent>
#include <QPainter>

CFontStatic::CFontStatic(QWidget* parent)
    : QLabel(parent)
{
    setAutoFillBackground(false);
}

void CFontStatic::SetFontStyle(const QString& face, int height, quint32 colorRef, quint8 flags)
{
    m_strFace = face;
    m_nHeight = height;
    m_crText = colorRef;
    m_bBold = m_bBold || (flags & Bold);
    m_bItalic = m_bItalic || (flags & Italic);
    m_bUnderline = m_bUnderline || (flags & Underline);
    m_bStrikeOut = m_bStrikeOut || (flags & StrikeOut);
    m_bAntiAliased = m_bAntiAliased || (flags & AntiAliased);
    m_bCenter = (flags & Centered) != 0;
    m_bRight = !m_bCenter && (flags & RightAligned);
    m_bLeft = !m_bCenter && !m_bRight;
    update();
}

void CFontStatic::SetTitleLine(const QString& text)
{
    SetFontStyle(QStringLiteral("Tahoma"), 16, 0x3C3C3C, Plain);
    m_bDragWindow = true;
    setText(text);
}

Qt::Alignment CFontStatic::TextAlignment() const
{
    if (m_bCenter)
        return Qt::AlignHCenter;
    return m_bRight ? Qt::AlignRight : Qt::AlignLeft;
}

QFont CFontStatic::CreateTextFont() const
{
    QFont font(m_strFace);
    font.setWeight(m_bBold ? QFont::Black : QFont::Normal);
    font.setItalic(m_bItalic);
    font.setUnderline(m_bUnderline);
    font.setStrikeOut(m_bStrikeOut);
    font.setStyleStrategy(m_bAntiAliased ? QFont::PreferAntialias : QFont::PreferDefault);
    SetCreateFontHeight(font, m_nHeight);
    return font;
}

void CFontStatic::paintEvent(QPaintEvent*)
{
    // Nothing is erased: the parent's skin stays under the text.
    QPainter painter(this);
    painter.setFont(CreateTextFont());
    painter.setPen(ColorFromCOLORREF(m_crText));
    painter.drawText(rect(), int(TextAlignment() | Qt::AlignTop | Qt::TextWordWrap), text());
}

void CFontStatic::mousePressEvent(QMouseEvent* event)
{
    // The press stays with the static in every case: it never reaches the
    // window underneath (whose own top band could otherwise start a move).
    event->accept();
    if (m_bDragWindow && event->button() == Qt::LeftButton)
        m_drag.Begin(this, window(), event->globalPosition().toPoint());
}
