#pragma once

#include "skin/PngImage.h"

#include <QAbstractButton>
#include <QImage>

#include <memory>

// An image push button whose look comes from a PNG strip of three frames with
// alpha: 0 normal, 1 disabled, 2 pressed or mouse resting on it. The frame is
// blended over what lies under the button, so the skin shows through soft
// edges. The caption is part of the image.
class CHoverButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CHoverButton(QWidget* parent = nullptr);
    ~CHoverButton() override;

    // Loads PNG resource `resourceId` (or PNG bytes), decodes it and makes the
    // button one frame large without moving it. Returns false, leaving the
    // button as it was, when the resource is missing or cannot be decoded.
    // May be called from another thread: the new image is then handed to the
    // button's thread.
    bool SetPngImage(int resourceId);
    bool SetPngImage(const QByteArray& png);

    bool HasImage() const { return m_pImage != nullptr; }
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
    void ApplyImage(std::shared_ptr<const PngImage> image);
    QImage BackgroundUnder() const;
    void DrawWithoutImage(QImage& canvas) const;

    bool m_bHover = false;
    int m_nFrameWidth = 0;
    int m_nFrameHeight = 0;
    bool m_bTracking = false;
    // Shared so that a paint still using a replaced image keeps it alive.
    std::shared_ptr<const PngImage> m_pImage;
};
