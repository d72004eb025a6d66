#pragma once

#include <QFont>
#include <QGroupBox>
#include <QPainter>
#include <QRect>
#include <QString>

// A group box that draws its own etched frame, its caption in Tahoma 8 pt set
// into a gap of the top line.
class CSxGroupBox : public QGroupBox {
    Q_OBJECT
public:
    // Caption alignments, as in the control's style.
    static constexpr int kAlignLeft = 0x100;
    static constexpr int kAlignRight = 0x200;
    static constexpr int kAlignCenter = 0x300;
    // Height of the paint context's initial (system) font; it places the frame line.
    static constexpr int kInitialFontHeight = 16;

    explicit CSxGroupBox(QWidget* parent = nullptr);
    explicit CSxGroupBox(const QString& title, QWidget* parent = nullptr);

    // Takes caption, alignment and frame from the control as it stands now,
    // with the window style and extended style its template gives (caption
    // alignment bits 0x300, flat 0x8000; edges 0x1, 0x200, 0x20000; any of
    // 0xC0 hides the caption). Without alignment bits the group box's own
    // alignment counts.
    void Attach(quint32 style = 0, quint32 exStyle = 0);

    // Where the frame line runs and which part of it the caption leaves open.
    struct Geometry {
        int lineY = 0;
        int x0 = 0; // caption span, the gap in the top line
        int x1 = 0;
        QRect captionBox;   // enabled caption: centred on the frame line
        QPoint embossOrigin; // disabled caption: top-left of the embossed text
    };
    static Geometry ComputeGeometry(const QRect& frame, int initialFontHeight, int captionWidth,
                                    int captionHeight, int align, int margin, int raise);
    Geometry CurrentGeometry() const;

    QRect FrameRect() const { return m_rcFrame; }
    QString CaptionText() const; // the caption with a blank on each side
    QFont CaptionFont() const { return m_captionFont; }
    int CaptionAlign() const { return m_nAlign; }
    bool NoCaption() const { return m_bNoCaption; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect FrameFromClient() const;
    void DrawFrame(QPainter& painter, const Geometry& g) const;
    void DrawCaption(QPainter& painter, const Geometry& g) const;

    quint32 m_crShadow;
    quint32 m_crHighlight;
    quint32 m_crShadowOff;
    quint32 m_crHighlightOff;
    bool m_bNoCaption = false;
    int m_nLineWidth = 1;
    quint32 m_crText = 0;
    QFont m_captionFont;
    QString m_strCaption;
    int m_nAlign = kAlignLeft;
    int m_nCaptionMargin = 8;
    int m_nCaptionRaise = 0;
    int m_nBoxStyle = 11;
    quint32 m_exStyle = 0;
    QRect m_rcFrame;
};
