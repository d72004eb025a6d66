#pragma once

#include <QAbstractButton>
#include <QImage>

// A tab-like image button: an opaque bitmap strip of three frames (0 normal,
// 1 pressed, 2 mouse resting on it) with the button's text centred on top. A
// strip drawn at twice the size, when given, is used on screens of two device
// pixels per window pixel.
class CBmpHoverButton : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr quint32 kTextColor = 0x646464; // COLORREF

    explicit CBmpHoverButton(QWidget* parent = nullptr);

    // Loads bitmap resource `resourceId` (or .bmp bytes) and makes the button
    // one frame large without moving it. Returns false, leaving the button as
    // it was, when the bitmap is missing or unreadable. The larger strip (the
    // resource's scale-2 picture) is kept when it is exactly twice the size.
    bool SetBitmapImage(int resourceId);
    bool SetBitmapImage(const QByteArray& bmp, const QByteArray& bmpHigh = QByteArray());

    int FrameWidth() const { return m_nFrameWidth; }
    int FrameHeight() const { return m_nFrameHeight; }
    bool IsHover() const { return m_bHover; }
    int CurrentFrame() const;
    // Top-left corner of the caption's text box inside the button.
    QPoint TextOrigin() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool m_bHover = false;
    int m_nFrameWidth = 0;
    int m_nFrameHeight = 0;
    QImage m_bmpStrip;
    QImage m_bmpStripHigh; // device pixel ratio 2, or null
    bool m_bTracking = false;
    quint32 m_crText = kTextColor;
};
