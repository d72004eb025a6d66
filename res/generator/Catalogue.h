#pragma once

#include <QImage>
#include <QList>
#include <QString>

#include <functional>

// Every image the program embeds: its type, number, exact size and how it is
// painted. Writing the catalogue produces res/images/ and res/resources.qrc.
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
        std::function<QImage()> paint;

        QString Alias() const;    // e.g. "bitmap/157.bmp", below the prefix /orvik
        QString FileName() const; // e.g. "images/bitmap/157.bmp", below res/
    };

    static QList<Entry> All();

    // Paints every entry, checks its size and writes it (24-bit BMP, or RGBA
    // PNG) below resFolder, then the resource collection file. Returns false
    // with a message on the first failure.
    static bool WriteAll(const QString& resFolder, QString* error);

    static QByteArray Encode(const Entry& entry, const QImage& image);
};
