#include "engine/SoftMaskImages.h"

#include "engine/PdfObjects.h"

#include <QFile>
#include <QList>
#include <QRegularExpression>

#include <algorithm>

namespace {

// Print files are small; a huge one is left as it is.
constexpr qint64 kLargestRewritten = 64 * 1024 * 1024;

// An object to append: its number and everything between "obj" and "endobj".
struct NewObject {
    int number = 0;
    QByteArray body;
};

// The whole-number value of /key in a dictionary, -1 when absent.
int IntEntry(const QString& dictionary, const QString& key)
{
    const QRegularExpression entry(QLatin1Char('/') + key + QStringLiteral("\\s+([0-9]+)(?![0-9.])"));
    const QRegularExpressionMatch m = entry.match(dictionary);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

bool HasName(const QString& dictionary, const QString& key, const QString& name)
{
    const QRegularExpression entry(QLatin1Char('/') + key + QStringLiteral("\\s*/") + name +
                                   QStringLiteral("(?![A-Za-z0-9])"));
    return entry.match(dictionary).hasMatch();
}

bool HasKey(const QString& dictionary, const QString& key)
{
    return QRegularExpression(QLatin1Char('/') + key + QStringLiteral("(?![A-Za-z0-9])")).match(dictionary).hasMatch();
}

// The last definition of object "number 0" (the one an update left in force), -1 when none.
qsizetype LastDefinition(const QString& text, const QString& number)
{
    const QList<qsizetype> starts = PdfObjects::Definitions(text, number, QStringLiteral("0"));
    return starts.isEmpty() ? -1 : starts.last();
}

QByteArray ImageObject(int width, int height, const QByteArray& colorSpace, int bits, const QByteArray& data,
                       const QByteArray& extra)
{
    return "<</Type/XObject/Subtype/Image/Width " + QByteArray::number(width) + "/Height " +
           QByteArray::number(height) + colorSpace + "/BitsPerComponent " + QByteArray::number(bits) +
           "/Filter/FlateDecode/Length " + QByteArray::number(data.size()) + extra + ">>\nstream\n" + data +
           "\nendstream";
}

// A soft-masked image as this reading understands it: the image's and its
// mask's decoded samples, and how the mask reads.
struct SoftMasked {
    int width = 0;
    int height = 0;
    int components = 0;    // 3 for RGB, 1 for grey
    bool inverted = false; // the mask's Decode [1 0]: 0 stands for fully covered
    QByteArray samples;
    QByteArray coverage;
};

// The image's dictionary is one this reading handles: 8-bit RGB or grey with Flate, nothing else masking it.
bool PlainImage(const QString& image, SoftMasked* found)
{
    found->width = IntEntry(image, QStringLiteral("Width"));
    found->height = IntEntry(image, QStringLiteral("Height"));
    found->components = HasName(image, QStringLiteral("ColorSpace"), QStringLiteral("DeviceRGB"))    ? 3
                        : HasName(image, QStringLiteral("ColorSpace"), QStringLiteral("DeviceGray")) ? 1
                                                                                                      : 0;
    return found->width > 0 && found->height > 0 && found->components > 0 &&
           IntEntry(image, QStringLiteral("BitsPerComponent")) == 8 && image.contains(QLatin1String("/FlateDecode")) &&
           !HasKey(image, QStringLiteral("Decode")) && !HasKey(image, QStringLiteral("Mask"));
}

// The mask's dictionary fits the image: 8-bit grey of the same size, Flate, not premultiplied (Matte).
bool PlainMask(const QString& mask, SoftMasked* found)
{
    static const QRegularExpression inverse(QStringLiteral("/Decode\\s*\\[\\s*1(\\.0*)?\\s+0(\\.0*)?\\s*\\]"));
    found->inverted = inverse.match(mask).hasMatch();
    return IntEntry(mask, QStringLiteral("Width")) == found->width &&
           IntEntry(mask, QStringLiteral("Height")) == found->height &&
           HasName(mask, QStringLiteral("ColorSpace"), QStringLiteral("DeviceGray")) &&
           IntEntry(mask, QStringLiteral("BitsPerComponent")) == 8 && mask.contains(QLatin1String("/FlateDecode")) &&
           !HasKey(mask, QStringLiteral("Matte")) && (found->inverted || !HasKey(mask, QStringLiteral("Decode")));
}

// Reads the soft-masked image defined at imageStart; false for one this reading leaves alone.
bool ReadSoftMasked(const QByteArray& pdf, const QString& text, qsizetype imageStart, SoftMasked* found)
{
    const QString image = PdfObjects::Dictionary(pdf, imageStart);
    static const QRegularExpression softMask(QStringLiteral("/SMask\\s+([0-9]+)\\s+0\\s+R"));
    const QRegularExpressionMatch sm = softMask.match(image);
    if (!sm.hasMatch() || !PlainImage(image, found))
        return false;
    const qsizetype maskStart = LastDefinition(text, sm.captured(1));
    if (maskStart < 0 || !PlainMask(PdfObjects::Dictionary(pdf, maskStart), found))
        return false;
    const qsizetype pixels = qsizetype(found->width) * found->height;
    return PdfObjects::StreamContents(pdf, imageStart, &found->samples) &&
           found->samples.size() == pixels * found->components &&
           PdfObjects::StreamContents(pdf, maskStart, &found->coverage) && found->coverage.size() == pixels;
}

// The replacements of image `number`: the image laid over white, and its
// stencil (a new object numbered *nextNumber) when some pixels are hidden entirely.
void Replacements(const SoftMasked& image, int number, int* nextNumber, QList<NewObject>* objects)
{
    const QByteArray stencil = SoftMaskImages::Stencil(image.coverage, image.width, image.height, image.inverted);
    QByteArray extra;
    if (!stencil.isEmpty()) {
        const int stencilNumber = (*nextNumber)++;
        extra = "/Mask " + QByteArray::number(stencilNumber) + " 0 R";
        objects->append({stencilNumber, ImageObject(image.width, image.height, "/ImageMask true", 1,
                                                    PdfObjects::Deflate(stencil), QByteArray())});
    }
    const QByteArray colorSpace = image.components == 3 ? "/ColorSpace/DeviceRGB" : "/ColorSpace/DeviceGray";
    const QByteArray laid = SoftMaskImages::OverWhite(image.samples, image.components, image.coverage, image.inverted);
    objects->append({number, ImageObject(image.width, image.height, colorSpace, 8, PdfObjects::Deflate(laid), extra)});
}

// The update that puts the new objects in force: the objects, their
// cross-reference section and a trailer that points back to the file's own.
QByteArray Update(const QByteArray& pdf, const QString& trailer, qsizetype previousXref, int size,
                  QList<NewObject> objects)
{
    std::sort(objects.begin(), objects.end(),
              [](const NewObject& a, const NewObject& b) { return a.number < b.number; });
    QByteArray update = pdf.endsWith('\n') || pdf.endsWith('\r') ? QByteArray() : QByteArray("\n");
    QByteArray xref = "xref\n";
    for (const NewObject& object : objects) {
        const qsizetype offset = pdf.size() + update.size();
        xref += QByteArray::number(object.number) + " 1\n" + QByteArray::number(offset).rightJustified(10, '0') +
                " 00000 n \n";
        update += QByteArray::number(object.number) + " 0 obj\n" + object.body + "\nendobj\n";
    }
    const qsizetype xrefOffset = pdf.size() + update.size();
    QByteArray kept;
    static const QRegularExpression carried(
        QStringLiteral("/(Root|Info)\\s+[0-9]+\\s+[0-9]+\\s+R|/ID\\s*\\[[^\\]]*\\]"));
    for (auto it = carried.globalMatch(trailer); it.hasNext();)
        kept += it.next().captured(0).toLatin1();
    update += xref + "trailer\n<</Size " + QByteArray::number(size) + kept + "/Prev " +
              QByteArray::number(previousXref) + ">>\nstartxref\n" + QByteArray::number(xrefOffset) + "\n%%EOF\n";
    return update;
}

} // namespace

QByteArray SoftMaskImages::OverWhite(const QByteArray& samples, int components, const QByteArray& mask,
                                     bool inverted)
{
    QByteArray laid(samples.size(), '\0');
    for (qsizetype i = 0; i < samples.size(); ++i) {
        const int cover = uchar(mask[i / components]);
        const int alpha = inverted ? 255 - cover : cover;
        laid[i] = char((uchar(samples[i]) * alpha + 255 * (255 - alpha) + 127) / 255);
    }
    return laid;
}

QByteArray SoftMaskImages::Stencil(const QByteArray& mask, int width, int height, bool inverted)
{
    const int rowBytes = (width + 7) / 8;
    QByteArray stencil(qsizetype(rowBytes) * height, '\0');
    bool hidden = false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int cover = uchar(mask[qsizetype(y) * width + x]);
            if ((inverted ? 255 - cover : cover) != 0)
                continue;
            char& bits = stencil[qsizetype(y) * rowBytes + x / 8];
            bits = char(uchar(bits) | (0x80 >> (x % 8)));
            hidden = true;
        }
    return hidden ? stencil : QByteArray();
}

int SoftMaskImages::Replace(const QString& pdfPath)
{
    QFile file(pdfPath);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestRewritten)
        return 0;
    const QByteArray pdf = file.readAll();
    file.close();
    if (!pdf.contains("/SMask") || !pdf.startsWith("%PDF-") || pdf.contains("/Encrypt") || pdf.contains("/ObjStm") ||
        pdf.contains("/XRefStm"))
        return 0;
    const QString text = QString::fromLatin1(pdf);
    const qsizetype trailerAt = text.lastIndexOf(QLatin1String("trailer"));
    static const QRegularExpression startXref(QStringLiteral("startxref\\s+([0-9]+)\\s+%%EOF\\s*$"));
    const QRegularExpressionMatch xref = startXref.match(text);
    if (trailerAt < 0 || !xref.hasMatch())
        return 0;
    const QString trailer = text.mid(trailerAt, xref.capturedStart() - trailerAt);
    int nextNumber = IntEntry(trailer, QStringLiteral("Size"));
    if (nextNumber <= 0 || !trailer.contains(QLatin1String("/Root")))
        return 0;

    static const QRegularExpression imageHeader(QStringLiteral("(?<![0-9])([0-9]+)\\s+0\\s+obj"));
    QList<NewObject> objects;
    int rewritten = 0;
    for (auto it = imageHeader.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString dictionary = PdfObjects::Dictionary(pdf, m.capturedEnd());
        if (!dictionary.contains(QLatin1String("/SMask")) ||
            !HasName(dictionary, QStringLiteral("Subtype"), QStringLiteral("Image")) ||
            LastDefinition(text, m.captured(1)) != m.capturedEnd())
            continue;
        SoftMasked image;
        if (!ReadSoftMasked(pdf, text, m.capturedEnd(), &image))
            continue;
        Replacements(image, m.captured(1).toInt(), &nextNumber, &objects);
        ++rewritten;
    }
    if (rewritten == 0 || !file.open(QIODevice::Append))
        return 0;
    const QByteArray update = Update(pdf, trailer, xref.captured(1).toLongLong(), nextNumber, objects);
    return file.write(update) == update.size() && file.flush() ? rewritten : 0;
}
