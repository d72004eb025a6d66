#pragma once

#include <QImage>
#include <QList>
#include <QString>

#include <functional>

// Every image the program embeds: its type, number, exact size and how it is
// painted. Writing the catalogue produces res/images/ and res/resources.qrc.
// Embedded images also come at twice the size, "<number>@2x", for screens of
// two device pixels per window pixel.
class Catalogue {
public:
    // HicolorIcon: the application icon at one size for the desktop's menus,
    // installed into the desktop's icon theme, not embedded (id = size in pixels).
    enum class Type { Bitmap, Png, Icon, HicolorIcon };

    struct Entry {
        Type type;
        int id;
        int width;
        int height;
        QString use;
        std::function<QImage(int scale)> paint; // scale image pixels per window pixel
        bool shapesWindow = false; // its magenta pixels cut a window's (or control's) shape

        QString Alias(int scale = 1) const;    // e.g. "bitmap/157.bmp", "bitmap/157@2x.bmp" below /orvik
        QString FileName(int scale = 1) const; // e.g. "images/bitmap/157.bmp", below res/
        QList<int> Scales() const;             // 1 and 2; the icon only at its own size
    };

    static QList<Entry> All();

    // Paints every entry at each of its scales, checks its size and writes it
    // (24-bit BMP, or RGBA PNG) below resFolder, then the resource collection
    // file. Returns false with a message on the first failure.
    static bool WriteAll(const QString& resFolder, QString* error);
    // The entry's picture at `scale`; a larger picture of a shape keeps the
    // base picture's cut.
    static QImage Paint(const Entry& entry, int scale);

    static QByteArray Encode(const Entry& entry, const QImage& image);
};
