#pragma once

#include <QByteArray>
#include <QString>

// PDF 1.3 has no soft masks. Asked for 1.3, Ghostscript turns every page that
// holds a soft-masked image into one picture of the whole page, its text
// included; read without transparency (see GhostscriptCommand) it would draw
// such an image without its mask instead, showing the pixels the mask hides
// (the office stores them black). So before Ghostscript reads a print file for
// PDF 1.3, each of its soft-masked images becomes an image PDF 1.3 holds: its
// colours laid over white as far as the mask lets them through, and the pixels
// the mask hides entirely cut out by a stencil mask, so that whatever lies
// below them (cell colours, grid lines) still shows.
class SoftMaskImages {
public:
    // Rewrites the soft-masked images of the PDF file at pdfPath by appending
    // an update to the file (the file is the run's own print file). Returns how
    // many were rewritten; 0 leaves the file as it was: none found, or a file
    // or an image this reading does not understand (8-bit grey or RGB images
    // stored with Flate, in a file with a cross-reference table).
    static int Replace(const QString& pdfPath);

    // The image samples (8 bits, `components` a pixel) laid over white by the
    // mask's coverage (one byte a pixel; inverted: 0 stands for fully covered).
    static QByteArray OverWhite(const QByteArray& samples, int components, const QByteArray& mask, bool inverted);
    // A stencil of the pixels the mask hides entirely: one bit a pixel, rows
    // padded to whole bytes, 1 where the image is left out. Empty when the mask
    // hides no pixel.
    static QByteArray Stencil(const QByteArray& mask, int width, int height, bool inverted);
};
