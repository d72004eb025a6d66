#pragma once

#include <QByteArray>

#include <cstddef>
#include <memory>
#include <vector>

// A decoded button strip: rows top to bottom, `width` pixels of 4 bytes each,
// red, green, blue premultiplied by alpha, then 255 - alpha.
struct PngImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels; // height * width * 4 bytes

    const unsigned char* Row(int y) const { return pixels.data() + std::size_t(y) * std::size_t(width) * 4; }
    unsigned char* Row(int y) { return pixels.data() + std::size_t(y) * std::size_t(width) * 4; }
};

// Decodes 8-bit RGBA PNG bytes (after palette and transparency expansion)
// into premultiplied pixels with inverse alpha. Null for data the library
// cannot read (its error is caught here) and for images without alpha.
std::unique_ptr<PngImage> DecodePngImage(const unsigned char* bytes, std::size_t size);
std::unique_ptr<PngImage> DecodePngImage(const QByteArray& bytes);
