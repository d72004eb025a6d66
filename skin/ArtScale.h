#pragma once

class QPainter;

// The program's images come at two scales: one image pixel per window pixel,
// and twice that for screens with two (or more) device pixels per window pixel.
namespace ArtScale {
constexpr int kHigh = 2;

// The scale of image a painter needs: kHigh when one window pixel covers more
// than one device pixel (a scaled screen, or a picture taken at such a ratio),
// else 1.
int For(const QPainter& painter);
} // namespace ArtScale
