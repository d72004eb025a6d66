#include "skin/PngImage.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace {

struct MemorySource {
    const unsigned char* data;
    std::size_t left;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count)
{
    auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (source->left < count)
        png_error(png, "io error");
    std::memcpy(out, source->data, count);
    source->data += count;
    source->left -= count;
}

// Reads the whole image; false when the library raised its error. Nothing
// with a destructor lives in this frame, so the long jump skips nothing.
bool ReadWholeImage(png_structp png, png_infop info, MemorySource* source)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, source, ReadFromMemory);
    png_read_png(png, info, PNG_TRANSFORM_EXPAND, nullptr);
    return true;
}

bool IsRgba8(png_structp png, png_infop info)
{
    return png_get_valid(png, info, PNG_INFO_IDAT)
        && png_get_channels(png, info) * png_get_bit_depth(png, info) == 32;
}

std::unique_ptr<PngImage> Premultiply(png_structp png, png_infop info)
{
    auto image = std::make_unique<PngImage>();
    image->width = int(png_get_image_width(png, info));
    image->height = int(png_get_image_height(png, info));
    image->pixels.resize(std::size_t(image->width) * std::size_t(image->height) * 4);
    png_bytepp rows = png_get_rows(png, info);
    for (int y = 0; y < image->height; ++y) {
        const png_byte* in = rows[y];
        unsigned char* out = image->Row(y);
        for (int x = 0; x < image->width; ++x, in += 4, out += 4) {
            const unsigned a = in[3];
            out[0] = static_cast<unsigned char>(in[0] * a / 255);
            out[1] = static_cast<unsigned char>(in[1] * a / 255);
            out[2] = static_cast<unsigned char>(in[2] * a / 255);
            out[3] = static_cast<unsigned char>(255 - a);
        }
    }
    return image;
}

} // namespace

std::unique_ptr<PngImage> DecodePngImage(const unsigned char* bytes, std::size_t size)
{
    if (!bytes || size == 0)
        return nullptr;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return nullptr;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }
    MemorySource source{bytes, size};
    std::unique_ptr<PngImage> image;
    if (ReadWholeImage(png, info, &source) && IsRgba8(png, info))
        image = Premultiply(png, info);
    png_destroy_read_struct(&png, &info, nullptr);
    return image;
}

std::unique_ptr<PngImage> DecodePngImage(const QByteArray& bytes)
{
    return DecodePngImage(reinterpret_cast<const unsigned char*>(bytes.constData()), std::size_t(bytes.size()));
}
