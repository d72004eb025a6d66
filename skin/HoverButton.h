#pragma once

#include "skin/PngImage.h"

#include <QAbstractButton>
#include <QImage>

#include <memory>

// An image push button whose look comes from a PNG strip of three frames with
// alpha: 0 normal, 1 disabled, 2 pressed or mouse resting on it. The frame is
// blended over what lies under the button, so the skin shows through soft
// edges. The caption is part of the image. A strip drawn at twice the size,
// when given, is used on screens of two device pixels per window pixel.
class CHoverButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CHoverButton(QWidget* parent = nullptr);
    ~CHoverButton() override;

    // Loads PNG resource `resourceId` (or PNG bytes), decodes it and makes the
    // button one frame large without moving it. Returns false, leaving the
    // button as it was, when the resource is missing or cannot be decoded.
    // The larger strip (the resource's scale-2 picture) is kept when it is
    // exactly twice the size. May be called from another thread: the new
    // images are then handed to the button's thread.
    bool SetPngImage(int resourceId);
    bool SetPngImage(const QByteArray& png, const QByteArray& pngHigh = QByteArray());

    bool HasImage() const { return m_pImage != nullptr; }
    bool HasHighImage() const { return m_pImageHigh != nullptr; }
    int FrameWidth() const { return m_nFrameWidth; }
    int FrameHeight() const { return m_nFrameHeight; }
    bool IsHover() const { return m_bHover; }
    // The frame a paint shows now.
    int CurrentFrame() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void ApplyImage(std::shared_ptr<const PngImage> image, std::shared_ptr<const PngImage> high);
    // What lies under the button, at `scale` image pixels per window pixel.
    QImage BackgroundUnder(int scale) const;
    void DrawWithoutImage(QImage& canvas) const;

    bool m_bHover = false;
    int m_nFrameWidth = 0;
    int m_nFrameHeight = 0;
    bool m_bTracking = false;
    // Shared so that a paint still using a replaced image keeps it alive.
    std::shared_ptr<const PngImage> m_pImage;
    std::shared_ptr<const PngImage> m_pImageHigh; // twice the size, or none
};
