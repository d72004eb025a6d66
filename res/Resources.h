#pragma once

#include <QByteArray>

// The program's embedded images, looked up by type and number as the windows
// name them. Each returns the file's bytes, or an empty array when the program
// has no such resource. Bitmaps and PNG strips also come drawn at twice the
// size (scale 2, "<number>@2x"), for screens with two device pixels per window
// pixel; windows still take their sizes and shapes from the scale-1 images.
namespace Resources {
QByteArray Bitmap(int id, int scale = 1); // a BITMAP resource: the bytes of a .bmp file
QByteArray Png(int id, int scale = 1);    // a "PNG" resource: the bytes of a .png file
QByteArray Icon(int id);                  // an icon resource: the bytes of a 256 x 256 .png file
} // namespace Resources
