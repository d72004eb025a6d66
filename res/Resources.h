#pragma once

#include <QByteArray>

// The program's embedded images, looked up by type and number as the windows
// name them. Each returns the file's bytes, or an empty array when the program
// has no such resource.
namespace Resources {
QByteArray Bitmap(int id); // a BITMAP resource: the bytes of a .bmp file
QByteArray Png(int id);    // a "PNG" resource: the bytes of a .png file
QByteArray Icon(int id);   // an icon resource: the bytes of a 256 x 256 .png file
} // namespace Resources
