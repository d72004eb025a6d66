#pragma once

#include "skin/BitmapRegion.h"
#include "skin/DibImage.h"
#include "skin/WindowDrag.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRegion>
#include <QWidget>

// The look every skinned window shares, attached to any widget: its background
// is painted from one bitmap, it takes the bitmap's size, its shape leaves out
// the key-coloured pixels, and (where asked) a left-button press in the top
// band moves the window. On a screen of two device pixels per window pixel the
// background is painted from the bitmap resource's picture at twice the size,
// loaded at the first such paint; size and shape stay those of the bitmap.
class CSkinFrame : public QObject {
    Q_OBJECT
public:
    enum Feature {
        PaintBackground = 0x0,      // always on
        ShapeWindow = 0x1,          // size to the bitmap, cut out the key colour, frameless
        DragByTopBand = 0x2,        // a press in rows 0 to 25 moves the window
    };
    Q_DECLARE_FLAGS(Features, Feature)

    static constexpr int kDragBandHeight = 26;
    // The skinned top-level windows with and without the drag band, and the page.
    static constexpr Features kDraggableWindow = Features(ShapeWindow | DragByTopBand);
    static constexpr Features kFixedWindow = Features(ShapeWindow);
    static constexpr Features kBackgroundOnly = Features(PaintBackground);

    explicit CSkinFrame(QObject* parent = nullptr);
    ~CSkinFrame() override;

    // Attaches to `widget` with bitmap resource `bitmapId` (or the bytes of a
    // .bmp file, which has no larger picture). Returns false when the bitmap is
    // missing or unreadable; the widget then keeps its own look, size and shape.
    bool Attach(QWidget* widget, int bitmapId, Features features, quint32 keyColorRef = kSkinKeyMagenta);
    bool Attach(QWidget* widget, const QByteArray& bmp, Features features, quint32 keyColorRef = kSkinKeyMagenta);

    const QImage& Skin() const { return m_skin; }
    // The picture a paint at image scale 1 or ArtScale::kHigh draws: the larger
    // one (its device pixel ratio 2) when the resource has it, else Skin().
    const QImage& SkinAt(int scale);
    const QRegion& SkinRegion() const { return m_region; }
    Features ActiveFeatures() const { return m_features; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The step that starts a window move after a press in the band.
    virtual void StartWindowMove(const QPoint& globalPos);

private:
    void PaintSkin();
    void ApplyShape();
    void OnPress(QEvent* event);

    QPointer<QWidget> m_widget;
    Features m_features = PaintBackground;
    QImage m_skin;
    int m_bitmapId = 0; // the resource behind m_skin, 0 for bytes
    bool m_highLoaded = false;
    QImage m_skinHigh;
    QRegion m_region;
    CWindowDrag m_drag;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(CSkinFrame::Features)
