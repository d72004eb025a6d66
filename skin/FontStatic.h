#pragma once

#include "skin/WindowDrag.h"

#include <QFont>
#include <QLabel>
#include <QString>

// A static text that draws itself transparently over the skin, in a face,
// height, colour, weight and alignment of its own. As a title line it can move
// its window when pressed.
class CFontStatic : public QLabel {
    Q_OBJECT
public:
    // Flags of SetFontStyle.
    enum StyleFlag : quint8 {
        Bold = 0x01,
        Italic = 0x02,
        Underline = 0x04,
        StrikeOut = 0x08,
        AntiAliased = 0x10,
        Centered = 0x20,
        Plain = 0x40, // no effect
        RightAligned = 0x80, // only without Centered
    };

    explicit CFontStatic(QWidget* parent = nullptr);

    // Face, CreateFontW height, COLORREF colour and flags; takes effect at the
    // next paint. Bold to anti-aliased are only ever switched on; the
    // alignment is set anew by every call.
    void SetFontStyle(const QString& face, int height, quint32 colorRef, quint8 flags);

    // The title line of a skinned window: Tahoma, cell height 16, dark grey,
    // plain, left-aligned, dragging its window; then the text.
    void SetTitleLine(const QString& text);

    // A left-button press moves the window this static belongs to.
    bool m_bDragWindow = false;

    bool IsBold() const { return m_bBold; }
    bool IsItalic() const { return m_bItalic; }
    bool IsUnderline() const { return m_bUnderline; }
    bool IsStrikeOut() const { return m_bStrikeOut; }
    bool IsAntiAliased() const { return m_bAntiAliased; }
    Qt::Alignment TextAlignment() const;
    QString Face() const { return m_strFace; }
    quint32 TextColor() const { return m_crText; }
    int FontHeight() const { return m_nHeight; }

    // The font a paint draws with.
    QFont CreateTextFont() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool m_bBold = false;
    bool m_bItalic = false;
    bool m_bUnderline = false;
    bool m_bStrikeOut = false;
    bool m_bAntiAliased = false;
    bool m_bCenter = false;
    bool m_bLeft = true;
    bool m_bRight = false;
    QString m_strFace = QStringLiteral("MS Sans Serif");
    quint32 m_crText = 0;
    int m_nHeight = 8;
    CWindowDrag m_drag;
};
