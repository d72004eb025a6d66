#include "Catalogue.h"

#include "ArtKit.h"
#include "BmpWriter.h"
#include "ButtonArt.h"
#include "Logo.h"
#include "Palette.h"
#include "ProgressArt.h"
#include "WindowArt.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
using S = ButtonArt::Style;
using G = Glyphs::Kind;

Catalogue::Entry Bitmap(int id, int w, int h, const QString& use, std::function<QImage(int)> paint)
{
    return {Catalogue::Type::Bitmap, id, w, h, use, std::move(paint)};
}

// A bitmap whose magenta pixels cut the shape of what shows it.
Catalogue::Entry Shape(int id, int w, int h, const QString& use, std::function<QImage(int)> paint)
{
    return {Catalogue::Type::Bitmap, id, w, h, use, std::move(paint), true};
}

Catalogue::Entry Button(int id, int frameWidth, int h, const QString& use, S style, const QString& caption,
                        G glyph)
{
    const ButtonArt::Design design{style, caption, glyph, frameWidth, h};
    return {Catalogue::Type::Png, id, frameWidth * 3, h, use,
            [design](int scale) { return ButtonArt::HoverStrip(design, scale); }};
}
} // namespace

QString Catalogue::Entry::Alias(int scale) const
{
    const QString name = scale == 1 ? QString::number(id) : QStringLiteral("%1@%2x").arg(id).arg(scale);
    switch (type) {
    case Type::Bitmap: return QStringLiteral("bitmap/%1.bmp").arg(name);
    case Type::Png: return QStringLiteral("png/%1.png").arg(name);
    case Type::Icon: return QStringLiteral("icon/%1.png").arg(name);
    case Type::HicolorIcon: return QStringLiteral("hicolor/%1.png").arg(name);
    }
    return {};
}

QString Catalogue::Entry::FileName(int scale) const
{
    return QStringLiteral("images/") + Alias(scale);
}

QList<int> Catalogue::Entry::Scales() const
{
    // The icon is 256 pixels already, the desktop's icons come at their sizes.
    if (type == Type::Icon || type == Type::HicolorIcon)
        return {1};
    return {1, 2};
}

QList<Catalogue::Entry> Catalogue::All()
{
    const ProgressArt progress(Palette::PageFill);
    return {
        Shape(157, 700, 522, QStringLiteral("main window"), &WindowArt::Main),
        Bitmap(161, 685, 410, QStringLiteral("conversion page"), &WindowArt::Page),
        Shape(156, 387, 313, QStringLiteral("about box"), &WindowArt::About),
        Shape(187, 286, 157, QStringLiteral("message box"), &WindowArt::Message),
        Shape(163, 428, 497, QStringLiteral("settings window"), &WindowArt::Settings),
        Shape(174, 377, WindowArt::FinishHeight(), QStringLiteral("finish dialog"), &WindowArt::Finish),
        Shape(145, 499, 170, QStringLiteral("password prompt"), &WindowArt::Password),
        Shape(137, 429, 24, QStringLiteral("progress track"),
              [progress](int scale) { return progress.Track(scale); }),
        Bitmap(138, 13, 20, QStringLiteral("progress fill body"),
               [progress](int scale) { return progress.FillBody(scale); }),
        Bitmap(189, 9, 20, QStringLiteral("progress fill start"),
               [progress](int scale) { return progress.FillStart(scale); }),
        Bitmap(188, 11, 20, QStringLiteral("progress fill end (white is transparent)"),
               [progress](int scale) { return progress.FillEnd(scale); }),
        Bitmap(181, 279, 28, QStringLiteral("settings tab, page on show"),
               [](int scale) { return ButtonArt::TabStrip(true, WindowArt::SettingsCard(), scale); }),
        Bitmap(182, 279, 28, QStringLiteral("settings tab, other pages"),
               [](int scale) { return ButtonArt::TabStrip(false, WindowArt::SettingsCard(), scale); }),

        Button(152, 29, 21, QStringLiteral("close button of the dialogs"), S::CaptionClose, {}, G::None),
        Button(153, 98, 23, QStringLiteral("Cancel"), S::Secondary, QStringLiteral("Cancel"), G::None),
        Button(154, 98, 23, QStringLiteral("OK"), S::Primary, QStringLiteral("OK"), G::None),
        Button(158, 28, 20, QStringLiteral("main window minimise"), S::CaptionMinimise, {}, G::None),
        Button(160, 29, 20, QStringLiteral("main window close"), S::CaptionClose, {}, G::None),
        Button(164, 98, 23, QStringLiteral("Setting"), S::Secondary, QStringLiteral("Setting"), G::Gear),
        Button(165, 98, 23, QStringLiteral("Add File(s)"), S::Secondary, QStringLiteral("Add File(s)"), G::Plus),
        Button(166, 98, 23, QStringLiteral("Browse"), S::Secondary, QStringLiteral("Browse"), G::Folder),
        Button(167, 98, 23, QStringLiteral("Remove All"), S::Secondary, QStringLiteral("Remove All"), G::Trash),
        Button(168, 98, 23, QStringLiteral("Remove"), S::Secondary, QStringLiteral("Remove"), G::Minus),
        Button(169, 134, 34, QStringLiteral("Convert"), S::Go, QStringLiteral("Convert"), G::ArrowRight),
        Button(183, 134, 34, QStringLiteral("Stop"), S::Stop, QStringLiteral("Stop"), G::StopSquare),
        Button(170, 83, 30, QStringLiteral("Website"), S::Ghost, QStringLiteral("Website"), G::Globe),
        Button(171, 83, 30, QStringLiteral("About"), S::Ghost, QStringLiteral("About"), G::Info),
        Button(172, 83, 30, QStringLiteral("Help"), S::Ghost, QStringLiteral("Help"), G::Help),
        Button(175, 98, 23, QStringLiteral("Close"), S::Secondary, QStringLiteral("Close"), G::None),
        Button(176, 104, 23, QStringLiteral("Open File"), S::Secondary, QStringLiteral("Open File"), G::Document),
        Button(177, 117, 23, QStringLiteral("Open Folder"), S::Primary, QStringLiteral("Open Folder"), G::OpenFolder),
        Button(185, 69, 23, QStringLiteral("No"), S::Secondary, QStringLiteral("No"), G::None),
        Button(186, 69, 23, QStringLiteral("Yes"), S::Primary, QStringLiteral("Yes"), G::None),

        {Type::Icon, 128, 256, 256, QStringLiteral("application icon"),
         [](int scale) { return Logo::Image(256, scale); }},
        {Type::HicolorIcon, 48, 48, 48, QStringLiteral("desktop icon, menus"),
         [](int scale) { return Logo::Image(48, scale); }},
        {Type::HicolorIcon, 128, 128, 128, QStringLiteral("desktop icon"),
         [](int scale) { return Logo::Image(128, scale); }},
        {Type::HicolorIcon, 256, 256, 256, QStringLiteral("desktop icon, large"),
         [](int scale) { return Logo::Image(256, scale); }},
    };
}

QByteArray Catalogue::Encode(const Entry& entry, const QImage& image)
{
    if (entry.type == Type::Bitmap)
        return BmpWriter::Encode(image);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGBA8888).save(&buffer, "PNG");
    return bytes;
}

QImage Catalogue::Paint(const Entry& entry, int scale)
{
    const QImage image = entry.paint(scale);
    return entry.shapesWindow && scale > 1 ? ArtKit::KeyLike(image, entry.paint(1), qRgb(255, 0, 255)) : image;
}

bool Catalogue::WriteAll(const QString& resFolder, QString* error)
{
    const QDir res(resFolder);
    QString qrc = QStringLiteral("<!-- Written by the artwork generator (res/generator); do not edit. -->\n"
                                 "<RCC>\n  <qresource prefix=\"/orvik\">\n");
    for (const Entry& entry : All()) {
        for (const int scale : entry.Scales()) {
            const QImage image = Paint(entry, scale);
            if (image.width() != entry.width * scale || image.height() != entry.height * scale) {
                *error = QStringLiteral("%1: painted %2 x %3, listed %4 x %5")
                             .arg(entry.Alias(scale))
                             .arg(image.width())
                             .arg(image.height())
                             .arg(entry.width * scale)
                             .arg(entry.height * scale);
                return false;
            }
            const QString path = res.filePath(entry.FileName(scale));
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(Encode(entry, image)) < 0) {
                *error = QStringLiteral("cannot write %1").arg(path);
                return false;
            }
            if (entry.type != Type::HicolorIcon)
                qrc += QStringLiteral("    <file alias=\"%1\">%2</file>\n").arg(entry.Alias(scale), entry.FileName(scale));
        }
    }
    qrc += QStringLiteral("  </qresource>\n</RCC>\n");
    QFile out(res.filePath(QStringLiteral("resources.qrc")));
    if (!out.open(QIODevice::WriteOnly) || out.write(qrc.toUtf8()) < 0) {
        *error = QStringLiteral("cannot write resources.qrc");
        return false;
    }
    return true;
}
