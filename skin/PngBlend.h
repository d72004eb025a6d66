#pragma once

#include "skin/DibImage.h"
#include "skin/PngImage.h"

#include <QImage>

// Blends columns xOffset .. xOffset + width - 1 of a decoded strip over what
// `target` holds at 0,0 (width x height, in the target's own pixels whatever
// its device pixel ratio), the way the buttons draw: the target
// pixels go into a bottom-up 24-bit buffer, each channel becomes
// ((background * (255 - alpha)) >> 8) + premultiplied colour, in 8 bits, and
// the buffer is copied back. The frame is clipped to the strip; nothing
// happens when less than one pixel remains.
void BlendPngFrame(const PngImage& image, QImage& target, int width, int height, int xOffset);

// The pixel loop alone, over a 24-bit bottom-up buffer as large as the frame.
void BlendPngRows(const PngImage& image, DibImage& dib, int xOffset);
