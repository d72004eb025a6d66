// The embedded artwork: every image the windows ask for exists with exactly its
// size and format (and at twice the size), strips change look between states,
// window shapes are cut cleanly with the key colour, and unknown numbers give
// nothing.
#include "res/Resources.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {
struct Listed {
    int id;
    int width;
    int height;
};

// Backgrounds of the skinned top-level windows: shaped by magenta.
const Listed kWindows[] = {
    {157, 700, 522}, {156, 387, 313}, {187, 286, 157}, {163, 428, 497}, {174, 377, 199}, {145, 499, 170},
};
// The other BITMAP resources.
const Listed kOtherBitmaps[] = {
    {161, 685, 410}, {137, 429, 24}, {138, 13, 20}, {189, 9, 20}, {188, 11, 20}, {181, 279, 28}, {182, 279, 28},
};
// "PNG" strips of three frames.
const Listed kStrips[] = {
    {152, 87, 21},  {153, 294, 23}, {154, 294, 23}, {158, 84, 20},  {160, 87, 20},  {164, 294, 23},
    {165, 294, 23}, {166, 294, 23}, {167, 294, 23}, {168, 294, 23}, {169, 402, 34}, {183, 402, 34},
    {170, 249, 30}, {171, 249, 30}, {172, 249, 30}, {175, 294, 23}, {176, 312, 23}, {177, 351, 23},
    {185, 207, 23}, {186, 207, 23},
};

constexpr QRgb kMagenta = 0xFF00FF;
constexpr QRgb kWhite = 0xFFFFFF;

quint16 U16(const QByteArray& b, int at) { return qFromLittleEndian<quint16>(b.constData() + at); }
quint32 U32(const QByteArray& b, int at) { return qFromLittleEndian<quint32>(b.constData() + at); }
qint32 S32(const QByteArray& b, int at) { return qFromLittleEndian<qint32>(b.constData() + at); }

// Checks the file and info headers of a 24-bit, bottom-up, uncompressed bitmap.
void ExpectBmp24(const QByteArray& bytes, int width, int height, int id)
{
    SCOPED_TRACE(testing::Message() << "bitmap " << id);
    ASSERT_GE(bytes.size(), 54);
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(U32(bytes, 2), quint32(bytes.size()));
    EXPECT_EQ(U32(bytes, 10), 54u);
    EXPECT_EQ(U32(bytes, 14), 40u);
    EXPECT_EQ(S32(bytes, 18), width);
    EXPECT_EQ(S32(bytes, 22), height); // positive: rows stored bottom-up
    EXPECT_EQ(U16(bytes, 26), 1);
    EXPECT_EQ(U16(bytes, 28), 24);
    EXPECT_EQ(U32(bytes, 30), 0u); // BI_RGB
    const int stride = (width * 3 + 3) & ~3;
    EXPECT_EQ(bytes.size(), 54 + stride * height);
}

// Checks the PNG signature and IHDR: size, bit depth 8, colour type 6 (RGBA).
void ExpectPngRgba8(const QByteArray& bytes, int width, int height, int id)
{
    SCOPED_TRACE(testing::Message() << "png " << id);
    ASSERT_GE(bytes.size(), 33);
    EXPECT_EQ(bytes.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(bytes.mid(12, 4), QByteArray("IHDR"));
    EXPECT_EQ(qFromBigEndian<quint32>(bytes.constData() + 16), quint32(width));
    EXPECT_EQ(qFromBigEndian<quint32>(bytes.constData() + 20), quint32(height));
    EXPECT_EQ(quint8(bytes[24]), 8);
    EXPECT_EQ(quint8(bytes[25]), 6);
}

QImage Decode(const QByteArray& bytes)
{
    return QImage::fromData(bytes).convertToFormat(QImage::Format_ARGB32);
}

QRgb Rgb(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }

QImage FrameOf(const QImage& strip, int index)
{
    const int w = strip.width() / 3;
    return strip.copy(index * w, 0, w, strip.height());
}

// A colour that leans towards the key colour: red and blue well above green.
bool Pinkish(QRgb c)
{
    return qRed(c) > qGreen(c) + 60 && qBlue(c) > qGreen(c) + 60;
}

// Every opaque pixel that touches a cut pixel must be a plain colour of the
// artwork, never a blend into magenta. Returns the number of offending pixels.
int PinkishEdgePixels(const QImage& img)
{
    int bad = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = Rgb(img, x, y);
            if (c == kMagenta)
                continue;
            bool touches = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < img.width() && ny < img.height() && Rgb(img, nx, ny) == kMagenta)
                        touches = true;
                }
            if (touches && Pinkish(c))
                ++bad;
        }
    return bad;
}

int CountColour(const QImage& img, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += Rgb(img, x, y) == colour;
    return n;
}
} // namespace

TEST(EmbeddedImages, BitmapsHaveTheirListedSizeIn24Bits)
{
    for (const Listed& l : kWindows)
        ExpectBmp24(Resources::Bitmap(l.id), l.width, l.height, l.id);
    for (const Listed& l : kOtherBitmaps)
        ExpectBmp24(Resources::Bitmap(l.id), l.width, l.height, l.id);
}

TEST(EmbeddedImages, ButtonStripsAreRgbaPngsOfThreeFrames)
{
    for (const Listed& l : kStrips) {
        ExpectPngRgba8(Resources::Png(l.id), l.width, l.height, l.id);
        EXPECT_EQ(l.width % 3, 0) << l.id;
    }
    ExpectPngRgba8(Resources::Icon(128), 256, 256, 128);
}

TEST(EmbeddedImages, EachImageComesAtTwiceTheSizeCutWhereItsBaseIsCut)
{
    QList<Listed> bitmaps(std::begin(kWindows), std::end(kWindows));
    bitmaps += QList<Listed>(std::begin(kOtherBitmaps), std::end(kOtherBitmaps));
    for (const Listed& l : bitmaps)
        ExpectBmp24(Resources::Bitmap(l.id, 2), 2 * l.width, 2 * l.height, l.id);
    for (const Listed& l : kStrips)
        ExpectPngRgba8(Resources::Png(l.id, 2), 2 * l.width, 2 * l.height, l.id);

    // Shapes (of the windows and the progress track) come from the base
    // pictures: the larger ones may show no key colour inside them, nor paint
    // where the shape is cut.
    QList<Listed> shapes(std::begin(kWindows), std::end(kWindows));
    shapes << Listed{137, 429, 24};
    for (const Listed& l : shapes) {
        const QImage base = Decode(Resources::Bitmap(l.id)), high = Decode(Resources::Bitmap(l.id, 2));
        ASSERT_EQ(high.size(), base.size() * 2) << l.id;
        int mismatched = 0;
        for (int y = 0; y < high.height(); ++y) {
            const auto* under = reinterpret_cast<const QRgb*>(base.constScanLine(y / 2));
            const auto* line = reinterpret_cast<const QRgb*>(high.constScanLine(y));
            for (int x = 0; x < high.width(); ++x)
                mismatched += ((line[x] & 0xFFFFFF) == kMagenta) != ((under[x / 2] & 0xFFFFFF) == kMagenta);
        }
        EXPECT_EQ(mismatched, 0) << l.id;
    }
}

TEST(EmbeddedImages, StripFramesDifferFromEachOther)
{
    for (const Listed& l : kStrips) {
        const QImage strip = Decode(Resources::Png(l.id));
        ASSERT_FALSE(strip.isNull()) << l.id;
        const QImage normal = FrameOf(strip, 0), disabled = FrameOf(strip, 1), active = FrameOf(strip, 2);
        EXPECT_NE(normal, disabled) << l.id;
        EXPECT_NE(normal, active) << l.id;
        EXPECT_NE(disabled, active) << l.id;
    }
    for (int id : {181, 182}) {
        const QImage strip = Decode(Resources::Bitmap(id));
        EXPECT_NE(FrameOf(strip, 0), FrameOf(strip, 1)) << id;
        EXPECT_NE(FrameOf(strip, 0), FrameOf(strip, 2)) << id;
        EXPECT_NE(FrameOf(strip, 1), FrameOf(strip, 2)) << id;
    }
    // The selected tab and the others do not look alike.
    EXPECT_NE(FrameOf(Decode(Resources::Bitmap(181)), 0), FrameOf(Decode(Resources::Bitmap(182)), 0));
    // Convert and Stop are told apart at a glance, in every state but disabled.
    EXPECT_NE(FrameOf(Decode(Resources::Png(169)), 0), FrameOf(Decode(Resources::Png(183)), 0));
}

TEST(EmbeddedImages, DisabledFramesAreGreyed)
{
    // The disabled frame of a coloured button carries no strong colour.
    for (int id : {154, 169, 183, 177, 186}) {
        const QImage disabled = FrameOf(Decode(Resources::Png(id)), 1);
        int saturated = 0;
        for (int y = 0; y < disabled.height(); ++y)
            for (int x = 0; x < disabled.width(); ++x) {
                const QColor c = QColor::fromRgba(disabled.pixel(x, y));
                if (c.alpha() > 200 && c.hsvSaturation() > 80)
                    ++saturated;
            }
        EXPECT_EQ(saturated, 0) << id;
    }
}

TEST(EmbeddedImages, ButtonFramesBlendAtTheirRoundedCorners)
{
    // Push buttons are rounded: their outermost corner pixel lets the
    // background through, their middle is opaque.
    for (int id : {153, 154, 164, 165, 166, 167, 168, 169, 183, 175, 176, 177, 185, 186}) {
        const QImage frame = FrameOf(Decode(Resources::Png(id)), 0);
        EXPECT_LT(qAlpha(frame.pixel(0, 0)), 128) << id;
        EXPECT_EQ(qAlpha(frame.pixel(frame.width() / 2, frame.height() / 2)), 255) << id;
    }
}

TEST(EmbeddedImages, WindowBackgroundsAreCutAtTheCornersOnly)
{
    for (const Listed& l : kWindows) {
        SCOPED_TRACE(testing::Message() << "bitmap " << l.id);
        const QImage img = Decode(Resources::Bitmap(l.id));
        ASSERT_EQ(img.size(), QSize(l.width, l.height));
        EXPECT_EQ(Rgb(img, 0, 0), kMagenta);
        EXPECT_EQ(Rgb(img, l.width - 1, 0), kMagenta);
        EXPECT_EQ(Rgb(img, 0, l.height - 1), kMagenta);
        EXPECT_EQ(Rgb(img, l.width - 1, l.height - 1), kMagenta);
        // The cut stays within the corners: the middle of every edge and the
        // centre belong to the window.
        EXPECT_NE(Rgb(img, l.width / 2, 0), kMagenta);
        EXPECT_NE(Rgb(img, l.width / 2, l.height - 1), kMagenta);
        EXPECT_NE(Rgb(img, 0, l.height / 2), kMagenta);
        EXPECT_NE(Rgb(img, l.width - 1, l.height / 2), kMagenta);
        EXPECT_NE(Rgb(img, l.width / 2, l.height / 2), kMagenta);
        EXPECT_LT(CountColour(img, kMagenta), 4 * 40);
        EXPECT_EQ(PinkishEdgePixels(img), 0);
    }
}

TEST(EmbeddedImages, TheTitleBandReadsAsItsOwnStrip)
{
    // Rows 0..25 drag the window: the band differs from the body below it.
    for (const Listed& l : kWindows) {
        const QImage img = Decode(Resources::Bitmap(l.id));
        EXPECT_NE(Rgb(img, l.width / 3, 14), Rgb(img, l.width / 3, 40)) << l.id;
    }
}

TEST(EmbeddedImages, OpaqueBitmapsHaveNoKeyColour)
{
    // The page is a child window and the tabs and fill body are copied as they
    // are: a magenta pixel there would show.
    for (int id : {161, 138, 181, 182}) {
        const QImage img = Decode(Resources::Bitmap(id));
        EXPECT_EQ(CountColour(img, kMagenta), 0) << id;
    }
}

TEST(EmbeddedImages, TabsAvoidTheGreysOfThreeDColourMapping)
{
    // Loading with 3D-colour mapping replaces exactly these greys by system
    // colours; the tab strips must not contain them.
    for (int id : {181, 182}) {
        const QImage img = Decode(Resources::Bitmap(id));
        for (QRgb grey : {0x808080u, 0xC0C0C0u, 0xDFDFDFu})
            EXPECT_EQ(CountColour(img, grey), 0) << id << " " << std::hex << grey;
    }
}

TEST(EmbeddedImages, ProgressPiecesUseTheirTransparentColours)
{
    const QImage track = Decode(Resources::Bitmap(137));
    EXPECT_EQ(Rgb(track, 0, 0), kMagenta);
    EXPECT_EQ(Rgb(track, 428, 23), kMagenta);
    EXPECT_NE(Rgb(track, 214, 12), kMagenta);
    EXPECT_EQ(PinkishEdgePixels(track), 0);

    // The left end of the fill is rounded with magenta, then full height.
    const QImage start = Decode(Resources::Bitmap(189));
    EXPECT_EQ(Rgb(start, 0, 0), kMagenta);
    EXPECT_EQ(Rgb(start, 0, 19), kMagenta);
    for (int y = 0; y < 20; ++y)
        EXPECT_NE(Rgb(start, 8, y), kMagenta) << y;
    EXPECT_EQ(PinkishEdgePixels(start), 0);

    // The end piece is transparent in white (and only there): its leading
    // columns are opaque, its trailing columns cut.
    const QImage end = Decode(Resources::Bitmap(188));
    EXPECT_EQ(CountColour(end, kMagenta), 0);
    for (int y = 0; y < 20; ++y) {
        EXPECT_NE(Rgb(end, 0, y), kWhite) << y;
        EXPECT_EQ(Rgb(end, 10, y), kWhite) << y;
    }
    const QImage body = Decode(Resources::Bitmap(138));
    EXPECT_EQ(CountColour(body, kWhite), 0);
}

TEST(EmbeddedImages, UnknownNumbersGiveNothing)
{
    EXPECT_TRUE(Resources::Bitmap(999).isEmpty());
    EXPECT_TRUE(Resources::Bitmap(0).isEmpty());
    EXPECT_TRUE(Resources::Bitmap(-157).isEmpty());
    EXPECT_TRUE(Resources::Png(999).isEmpty());
    // The types are separate: a bitmap number is no PNG and the other way round.
    EXPECT_TRUE(Resources::Png(157).isEmpty());
    EXPECT_TRUE(Resources::Bitmap(152).isEmpty());
    EXPECT_TRUE(Resources::Icon(157).isEmpty());
}

TEST(EmbeddedImages, EveryCommittedImageIsEmbeddedUnchanged)
{
    const QString folder = QStringLiteral(ORVIK_SOURCE_DIR "/res/images");
    int files = 0;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString type = info.dir().dirName();
        if (type == QStringLiteral("hicolor"))
            continue; // the desktop's icons are installed beside the program, not embedded
        const QStringList name = info.baseName().split('@'); // "157" or "157@2x"
        const int id = name[0].toInt();
        const int scale = name.size() > 1 ? name[1].chopped(1).toInt() : 1;
        const QByteArray embedded = type == "bitmap" ? Resources::Bitmap(id, scale)
                                  : type == "png"    ? Resources::Png(id, scale)
                                                     : Resources::Icon(id);
        QFile file(info.filePath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(embedded, file.readAll()) << info.filePath().toStdString();
        ++files;
    }
    EXPECT_EQ(files, int(2 * (std::size(kWindows) + std::size(kOtherBitmaps) + std::size(kStrips)) + 1));
}

// Not a check: a contact sheet of the embedded images in the build folder,
// for a look at what the program will show.
TEST(EmbeddedImages, WritesAContactSheet)
{
    QList<QImage> images;
    for (const Listed& l : kWindows)
        images << Decode(Resources::Bitmap(l.id));
    for (const Listed& l : kOtherBitmaps)
        images << Decode(Resources::Bitmap(l.id));
    for (const Listed& l : kStrips)
        images << Decode(Resources::Png(l.id));
    images << Decode(Resources::Icon(128));
    QImage sheet(1460, 2400, QImage::Format_RGB32);
    sheet.fill(QColor(0xD0, 0xD4, 0xD8));
    QPainter p(&sheet);
    int x = 10, y = 10, rowH = 0;
    for (const QImage& img : images) {
        if (x + img.width() > sheet.width() - 10) {
            x = 10;
            y += rowH + 10;
            rowH = 0;
        }
        p.drawImage(x, y, img);
        x += img.width() + 10;
        rowH = qMax(rowH, img.height());
    }
    p.end();
    const QString path = QStringLiteral(ORVIK_BINARY_DIR "/res-contact-sheet.png");
    EXPECT_TRUE(sheet.copy(0, 0, sheet.width(), y + rowH + 10).save(path));
}
