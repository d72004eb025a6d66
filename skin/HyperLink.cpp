#include "skin/HyperLink.h"

#include "framework/MessageBox.h"
#include "framework/WindowsCodes.h"
#include "platform/LinkOpener.h"
#include "skin/ColorRef.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace {

quint32 ColorRefOf(const QColor& c)
{
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

} // namespace

int OpenLinkTarget(const QString& target)
{
    return CLinkOpener().Open(target);
}

CHyperLink::CHyperLink(QWidget* parent)
    : QLabel(parent)
    , m_crHover(ColorRefOf(QApplication::palette().color(QPalette::Highlight)))
{
    setMouseTracking(true);
}

void CHyperLink::PreSubclassWindow()
{
    if (m_strTarget.isEmpty())
        m_strTarget = text();
    if (text().isEmpty())
        setText(m_strTarget);
    m_fontLink = font();
    m_fontLink.setUnderline(m_bUnderlined);
    setFont(m_fontLink);
    FitToText();
    LoadHandCursor();
    setToolTip(m_strTarget);
}

void CHyperLink::FitToText()
{
    if (!m_bFitToText)
        return;
    QRect r = geometry();
    const QFontMetrics metrics(m_fontLink);
    const int textWidth = metrics.horizontalAdvance(text());
    const int textHeight = metrics.height();
    const Qt::Alignment align = alignment();
    if (align & Qt::AlignVCenter) {
        const int d = (r.height() - textHeight) / 2;
        r.adjust(0, d, 0, -d);
    } else {
        r.setHeight(textHeight);
    }
    if (align & Qt::AlignHCenter) {
        const int d = (r.width() - textWidth) / 2;
        r.adjust(d, 0, -d, 0);
    } else if (align & Qt::AlignRight) {
        r.setLeft(r.left() + r.width() - textWidth);
    } else {
        r.setWidth(textWidth);
    }
    setGeometry(r);
}

void CHyperLink::LoadHandCursor()
{
    if (m_hHandCursor)
        return;
    setCursor(Qt::PointingHandCursor);
    m_hHandCursor = true;
}

QString CHyperLink::OpenFailureReason(int code)
{
    switch (code) {
    case 0: return QStringLiteral("The operating system is out\nof memory or resources.");
    case 2: return QStringLiteral("The specified file was not found.");
    case 3: return QStringLiteral("The specified path was not found.");
    case 5: return QStringLiteral("The operating system denied\naccess to the specified file.");
    case 8: return QStringLiteral("There was not enough memory to complete the operation.");
    case 11: return QStringLiteral("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
    case 26: return QStringLiteral("A sharing violation occurred. ");
    case 27: return QStringLiteral("The filename association is\nincomplete or invalid.");
    case 28: return QStringLiteral("The DDE transaction could not\nbe completed because the request timed out.");
    case 29: return QStringLiteral("The DDE transaction failed.");
    case 30:
        return QStringLiteral("The DDE transaction could not\nbe completed because other DDE transactions\n"
                              "were being processed.");
    case 31: return QStringLiteral("There is no application associated\nwith the given filename extension.");
    case 32: return QStringLiteral("The specified dynamic-link library was not found.");
    default: return QStringLiteral("Unknown Error (%1) occurred.").arg(code);
    }
}

QString CHyperLink::OpenFailureMessage(int code)
{
    return QStringLiteral("Unable to open hyperlink:\n\n") + OpenFailureReason(code);
}

void CHyperLink::ShowOpenFailure(int code)
{
    AfxMessageBox(OpenFailureMessage(code), MB_ICONEXCLAMATION);
}

quint32 CHyperLink::CurrentTextColor() const
{
    if (m_bOver)
        return m_crHover;
    return m_bOpened ? m_crOpened : m_crLink;
}

void CHyperLink::paintEvent(QPaintEvent*)
{
    // Transparent: the window's skin stays under the text.
    QPainter painter(this);
    painter.setFont(m_fontLink);
    painter.setPen(ColorFromCOLORREF(CurrentTextColor()));
    painter.drawText(rect(), int(alignment()) | Qt::TextSingleLine, text());
}

void CHyperLink::SetOver(bool over)
{
    m_bOver = over;
    repaint();
}

void CHyperLink::mouseMoveEvent(QMouseEvent* event)
{
    QLabel::mouseMoveEvent(event);
    const bool inside = rect().contains(event->position().toPoint());
    if (m_bOver && !inside) {
        // Held so that leaving is seen as a move outside; let go now.
        releaseMouse();
        SetOver(false);
    } else if (!m_bOver && inside) {
        SetOver(true);
        grabMouse();
    }
}

void CHyperLink::leaveEvent(QEvent* event)
{
    // Where the window system gives no capture, the leave ends the hover.
    QLabel::leaveEvent(event);
    if (m_bOver && !rect().contains(mapFromGlobal(QCursor::pos()))) {
        releaseMouse();
        SetOver(false);
    }
}

void CHyperLink::mousePressEvent(QMouseEvent* event)
{
    m_bPressed = event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    event->accept();
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_bPressed && event->button() == Qt::LeftButton
        && rect().contains(event->position().toPoint());
    m_bPressed = false;
    event->accept();
    if (click) {
        OnClicked();
        emit clicked();
    }
}

void CHyperLink::OnClicked()
{
    const int result = OpenLinkTarget(m_strTarget);
    // Once opened, the link keeps its opened colour, whatever later clicks do.
    if (result > 32) {
        m_bOpened = true;
        update();
        return;
    }
    QApplication::beep();
    ShowOpenFailure(result);
}
