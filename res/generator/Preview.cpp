#include "Preview.h"

#include "ArtKit.h"
#include "Catalogue.h"
#include "Palette.h"

#include <QDir>
#include <QPainter>

namespace {
using DF = ArtKit::DialogFont;

// The cell height a window asks for becomes roughly this em size.
QFont CellFont(int height, bool bold = false)
{
    return ArtKit::Font(height * 0.83, bold);
}

QImage KeyToTransparent(const QImage& bmp, QRgb key)
{
    QImage out = bmp.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] & 0xFFFFFF) == (key & 0xFFFFFF))
                line[x] = 0;
    }
    return out;
}

void Frame(QPainter& p, const QImage& strip, int frame, const QPointF& at)
{
    const int fw = strip.width() / 3;
    p.drawImage(at, strip, QRect(frame * fw, 0, fw, strip.height()));
}

void Text(QPainter& p, const QRectF& r, const QString& text, const QFont& font, const QColor& colour,
          int align = Qt::AlignLeft)
{
    p.setFont(font);
    p.setPen(colour);
    p.drawText(r, align | Qt::AlignTop | Qt::TextWordWrap, text);
}

// A plain control as the framework would draw it (sunken frame, fill).
void Box(QPainter& p, const QRectF& r, const QColor& fill)
{
    p.setPen(QPen(QColor(0x8E, 0x99, 0xA4), 1));
    p.setBrush(fill);
    p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
}

QPointF At(const QRectF& r)
{
    return QPointF(qFloor(r.left()), qFloor(r.top()));
}

void Tab(QPainter& p, const QImage& strip, int frame, const QRectF& r, const QString& caption)
{
    Frame(p, strip, frame, At(r));
    Text(p, QRectF(At(r), QSizeF(93, 28)).adjusted(0, 7, 0, 0), caption, ArtKit::Font(11), Palette::TabText,
         Qt::AlignHCenter);
}
} // namespace

Preview::Preview(const QString& resFolder)
    : m_res(resFolder)
{
}

QImage Preview::Bitmap(int id) const
{
    return QImage(QDir(m_res).filePath(QStringLiteral("images/bitmap/%1.bmp").arg(id)));
}

QImage Preview::Png(int id) const
{
    return QImage(QDir(m_res).filePath(QStringLiteral("images/png/%1.png").arg(id)));
}

QImage Preview::ContactSheet() const
{
    const QList<Catalogue::Entry> entries = Catalogue::All();
    const int width = 1500;
    QImage sheet(width, 3000, QImage::Format_RGB32);
    sheet.fill(QColor(0xD8, 0xDC, 0xE0));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::TextAntialiasing);
    int x = 10, y = 10, rowHeight = 0;
    for (const Catalogue::Entry& e : entries) {
        QImage img(QDir(m_res).filePath(e.FileName()));
        const int scale = img.width() < 40 ? 4 : (img.height() <= 34 ? 2 : 1);
        const QSize shown = img.size() * scale;
        if (x + shown.width() + 10 > width) {
            x = 10;
            y += rowHeight + 10;
            rowHeight = 0;
        }
        p.setPen(Qt::black);
        p.setFont(ArtKit::Font(11, true));
        p.drawText(QPointF(x, y + 12), QStringLiteral("%1 %2  %3 x %4  %5")
                                           .arg(e.type == Catalogue::Type::Bitmap ? QStringLiteral("BMP") : QStringLiteral("PNG"))
                                           .arg(e.id)
                                           .arg(img.width())
                                           .arg(img.height())
                                           .arg(e.use));
        const QRect target(x, y + 16, shown.width(), shown.height());
        if (e.type != Catalogue::Type::Bitmap) {
            for (int cy = 0; cy < shown.height(); cy += 8)
                for (int cx = 0; cx < shown.width(); cx += 8)
                    p.fillRect(QRect(target.left() + cx, target.top() + cy, 8, 8),
                               ((cx + cy) / 8) % 2 ? QColor(0xF4, 0xF4, 0xF4) : QColor(0xE2, 0xE2, 0xE2));
        }
        p.drawImage(target, img);
        const int w = qMax(shown.width(), 260);
        x += w + 14;
        rowHeight = qMax(rowHeight, shown.height() + 18);
    }
    p.end();
    return sheet.copy(0, 0, width, y + rowHeight + 10);
}

QImage Preview::ProgressBar(int percent) const
{
    // The bar's own drawing: track copy, fill columns (magenta transparent),
    // end piece (white transparent), clipped to the track's shape.
    const QImage track = Bitmap(137);
    const QImage body = Bitmap(138).convertToFormat(QImage::Format_RGB32);
    const QImage start = Bitmap(189).convertToFormat(QImage::Format_RGB32);
    const QImage end = Bitmap(188).convertToFormat(QImage::Format_RGB32);
    QImage b = track.convertToFormat(QImage::Format_RGB32);
    const int n = int(percent / 100.0 * (b.width() - 6));
    auto put = [&b](const QImage& src, int sx, int dx, QRgb key) {
        for (int y = 0; y < src.height(); ++y) {
            const QRgb c = src.pixel(sx, y);
            if ((c & 0xFFFFFF) != (key & 0xFFFFFF) && dx >= 0 && dx < b.width())
                b.setPixel(dx, y + 2, c);
        }
    };
    for (int i = 0; i < n; ++i) {
        if (i < start.width())
            put(start, i, i + 3, 0xFF00FF);
        else
            put(body, i % body.width(), i + 3, 0xFF00FF);
    }
    if (n > 0)
        for (int k = 0; k < end.width(); ++k)
            put(end, k, n - 3 + k, 0xFFFFFF);
    QImage out = b.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            if ((track.pixel(x, y) & 0xFFFFFF) == 0xFF00FF)
                out.setPixel(x, y, 0);
    return out;
}

QImage Preview::MainWindow() const
{
    QImage win = KeyToTransparent(Bitmap(157), 0xFF00FF);
    QPainter p(&win);
    p.setRenderHint(QPainter::TextAntialiasing);
    auto r = [](qreal x, qreal y, qreal w, qreal h) { return ArtKit::Dlu(DF::ShellDlg8, x, y, w, h); };
    Text(p, r(20, 2, 256, 13).adjusted(0, 3, 0, 0), QStringLiteral("Orvik Excel To PDF"), CellFont(16), Palette::TitleText);
    Frame(p, Png(160), 0, At(r(444, 0, 18, 14)));
    Frame(p, Png(158), 0, At(r(427, 0, 18, 14)));
    Frame(p, Png(170), 0, At(r(253, 31, 40, 17)));
    Frame(p, Png(172), 2, At(r(328, 31, 40, 17)));
    Frame(p, Png(171), 0, At(r(386, 31, 40, 17)));

    // The page as a child at the placeholder.
    const QPointF page = At(r(5, 57, 456, 251));
    p.translate(page);
    p.drawImage(0, 0, Bitmap(161));
    Text(p, r(26, 9, 114, 10), QStringLiteral("Convert Excel To PDF"), CellFont(18), Palette::Heading);
    const QRectF list = r(18, 25, 419, 91);
    Box(p, list, Qt::white);
    p.fillRect(QRectF(list.right() - 17, list.top() + 1, 16, list.height() - 2), QColor(0xEC, 0xEE, 0xF0));
    const char* items[] = {"/home/anna/Reports/budget-2024.xlsx", "/home/anna/Reports/inventory.xls",
                           "/home/anna/Reports/sales-q3.xlsx"};
    for (int i = 0; i < 3; ++i) {
        const QRectF row(list.left() + 2, list.top() + 2 + i * 15, list.width() - 21, 15);
        if (i == 1)
            p.fillRect(row, QColor(0x30, 0x8C, 0xC6));
        Text(p, row.adjusted(3, 1, 0, 0), QString::fromLatin1(items[i]), ArtKit::Font(11), i == 1 ? Qt::white : Qt::black);
    }
    Frame(p, Png(165), 0, At(r(25, 124, 63, 14)));
    Frame(p, Png(168), 2, At(r(138, 125, 63, 14)));
    Frame(p, Png(167), 0, At(r(251, 125, 63, 14)));
    Frame(p, Png(164), 0, At(r(364, 125, 63, 14)));
    Text(p, r(25, 163, 53, 8), QStringLiteral("Output Path:"), ArtKit::Font(11), Qt::black);
    const QRectF edit = r(23, 180, 289, 14);
    Box(p, edit, Palette::PageFill);
    Text(p, edit.adjusted(4, 4, 0, 0), QStringLiteral("/home/anna/Reports/"), ArtKit::Font(11), Qt::black);
    Frame(p, Png(166), 1, At(r(338, 180, 63, 14)));
    Text(p, r(25, 215, 46, 10), QStringLiteral("Status"), CellFont(16), Palette::Heading);
    Text(p, r(76, 215, 200, 12).adjusted(0, 2, 0, 0), QStringLiteral("Start to convert..."), ArtKit::Font(11), Qt::black);
    p.drawImage(At(r(23, 227, 291, 14)), ProgressBar(62));
    Frame(p, Png(183), 0, At(r(338, 223, 63, 14)));
    p.end();
    return win;
}

QImage Preview::SettingsWindow() const
{
    QImage win = KeyToTransparent(Bitmap(163), 0xFF00FF);
    QPainter p(&win);
    p.setRenderHint(QPainter::TextAntialiasing);
    auto r = [](qreal x, qreal y, qreal w, qreal h) { return ArtKit::Dlu(DF::ShellDlg8, x, y, w, h); };
    Text(p, r(9, 3, 150, 10).adjusted(0, 1, 0, 0), QStringLiteral("Orvik Excel To PDF"), CellFont(16), Palette::TitleText);
    Frame(p, Png(152), 0, At(r(259, 0, 20, 14)));
    Tab(p, Bitmap(181), 0, r(18, 29, 50, 14), QStringLiteral("Description"));
    Tab(p, Bitmap(182), 2, r(80, 29, 50, 14), QStringLiteral("Security"));
    Tab(p, Bitmap(182), 0, r(142, 29, 50, 14), QStringLiteral("Advanced"));
    // A sketch of the description page inside the host.
    const QPointF host = At(r(17, 55, 238, 219));
    const char* labels[] = {"Title:", "Subject:", "Author:", "Keywords:"};
    const int ys[] = {10, 46, 82, 118};
    for (int i = 0; i < 4; ++i) {
        Text(p, ArtKit::Dlu(DF::ShellDlg8, 13, ys[i], 200, 9).translated(host), QString::fromLatin1(labels[i]), ArtKit::Font(11),
             Qt::black);
        Box(p, ArtKit::Dlu(DF::ShellDlg8, 13, ys[i] + 13, 221, i == 3 ? 67 : 14).translated(host), Qt::white);
    }
    Frame(p, Png(154), 0, At(r(203, 283, 50, 14)));
    p.end();
    return win;
}

QImage Preview::AboutBox() const
{
    QImage win = KeyToTransparent(Bitmap(156), 0xFF00FF);
    QPainter p(&win);
    p.setRenderHint(QPainter::TextAntialiasing);
    auto r = [](qreal x, qreal y, qreal w, qreal h) { return ArtKit::Dlu(DF::SansSerif9, x, y, w, h); };
    Text(p, r(6, 2, 174, 15), QStringLiteral("About Orvik Excel To PDF"), CellFont(16), Palette::TitleText);
    Frame(p, Png(152), 0, At(r(199, 0, 18, 14)));
    Text(p, r(18, 37, 165, 23), QStringLiteral("Orvik Excel To PDF 4.0"), CellFont(24), Palette::Product);
    Text(p, r(13, 78, 184, 39),
         QStringLiteral("Converts Excel workbooks into PDF documents, one PDF per workbook, with document "
                        "information, security and compression of your choice."),
         CellFont(16), Palette::TitleText);
    QFont link = ArtKit::Font(11);
    link.setUnderline(true);
    Text(p, r(14, 118, 105, 8), QStringLiteral("https://www.orvik.example/"), link, QColor(0, 0, 238));
    Frame(p, Png(154), 2, At(r(150, 132, 50, 14)));
    Text(p, r(68, 153, 146, 8), QStringLiteral("Copyright (C) Orvik. All rights reserved."), CellFont(13), QColor(80, 80, 80),
         Qt::AlignRight);
    p.end();
    return win;
}

QImage Preview::MessageBox(bool ask) const
{
    QImage win = KeyToTransparent(Bitmap(187), 0xFF00FF);
    QPainter p(&win);
    p.setRenderHint(QPainter::TextAntialiasing);
    auto r = [](qreal x, qreal y, qreal w, qreal h) { return ArtKit::Dlu(DF::ShellDlg8, x, y, w, h); };
    Text(p, r(6, 3, 108, 9), QStringLiteral("Orvik Excel To PDF"), CellFont(16), Palette::TitleText);
    Frame(p, Png(152), 0, At(r(169, 0, 18, 14)));
    Text(p, r(14, 35, 169, 34),
         ask ? QStringLiteral("Are you sure you want to stop the conversion? ")
             : QStringLiteral("The output path is not existed, please input a valid path!"),
         CellFont(16), Palette::TitleText);
    if (ask) {
        Frame(p, Png(186), 0, At(r(67, 74, 50, 14)) - QPointF(70, 0));
        Frame(p, Png(185), 2, At(r(121, 74, 50, 14)));
    } else {
        Frame(p, Png(154), 0, At(r(67, 74, 50, 14)));
    }
    p.end();
    return win;
}

QImage Preview::FinishDialog() const
{
    QImage win = KeyToTransparent(Bitmap(174), 0xFF00FF);
    QPainter p(&win);
    p.setRenderHint(QPainter::TextAntialiasing);
    auto r = [](qreal x, qreal y, qreal w, qreal h) { return ArtKit::Dlu(DF::ShellDlg8, x, y, w, h); };
    Text(p, r(7, 2, 195, 10).adjusted(0, 2, 0, 0), QStringLiteral("Orvik Excel To PDF"), CellFont(16), Palette::TitleText);
    Text(p, r(59, 24, 173, 9), QStringLiteral("Conversion Completes!"), CellFont(16), Palette::TitleText);
    const QRectF list = r(13, 40, 221, 52);
    Box(p, list, Qt::white);
    p.fillRect(QRectF(list.left() + 2, list.top() + 2, list.width() - 4, 15), QColor(0x30, 0x8C, 0xC6));
    Text(p, list.adjusted(5, 3, 0, 0), QStringLiteral("budget-2024.pdf"), ArtKit::Font(11), Qt::white);
    Text(p, list.adjusted(5, 18, 0, 0), QStringLiteral("inventory.pdf"), ArtKit::Font(11), Qt::black);
    Frame(p, Png(176), 0, At(r(12, 97, 58, 14)));
    Frame(p, Png(177), 0, At(r(92, 97, 58, 14)));
    Frame(p, Png(175), 2, At(r(176, 97, 58, 14)));
    p.end();
    return win;
}

QImage Preview::PasswordPrompt() const
{
    QImage win = KeyToTransparent(Bitmap(145), 0xFF00FF);
    QPainter p(&win);
    p.setRenderHint(QPainter::TextAntialiasing);
    auto r = [](qreal x, qreal y, qreal w, qreal h) { return ArtKit::Dlu(DF::ShellDlg8, x, y, w, h); };
    Text(p, r(3, 1, 301, 15).adjusted(3, 3, 0, 0), QStringLiteral("Orvik Excel To PDF"), CellFont(16), Palette::TitleText);
    Frame(p, Png(152), 2, At(r(310, 0, 20, 14)));
    Text(p, r(19, 29, 305, 27),
         QStringLiteral("The program has detected that file \"budget-2024.xlsx\"  is password protected. "
                        "Please enter the password for the conversion."),
         ArtKit::Font(11), Qt::black);
    Text(p, r(19, 60, 54, 8), QStringLiteral("Enter Password:"), ArtKit::Font(11), Qt::black);
    Box(p, r(81, 59, 208, 14), Qt::white);
    Text(p, r(81, 59, 208, 14).adjusted(5, 4, 0, 0), QString(6, QChar(0x25CF)), ArtKit::Font(9), Qt::black);
    Frame(p, Png(154), 0, At(r(88, 82, 50, 14)));
    Frame(p, Png(153), 0, At(r(201, 82, 50, 14)));
    p.end();
    return win;
}

QImage Preview::Details() const
{
    struct Crop {
        QString label;
        QImage image;
        QRect rect;
        int scale;
    };
    const QImage main = Bitmap(157);
    const QList<Crop> crops = {
        {QStringLiteral("main, top left"), main, QRect(0, 0, 40, 30), 6},
        {QStringLiteral("main, top right"), main, QRect(636, 0, 64, 30), 6},
        {QStringLiteral("main, bottom right"), main, QRect(670, 500, 30, 22), 6},
        {QStringLiteral("track, left end"), Bitmap(137), QRect(0, 0, 30, 24), 6},
        {QStringLiteral("bar 1%"), ProgressBar(1), QRect(0, 0, 30, 24), 6},
        {QStringLiteral("bar 62%, fill end"), ProgressBar(62), QRect(250, 0, 30, 24), 6},
        {QStringLiteral("bar 100%, right end"), ProgressBar(100), QRect(399, 0, 30, 24), 6},
        {QStringLiteral("tabs 181"), Bitmap(181), QRect(0, 0, 279, 28), 2},
        {QStringLiteral("tabs 182"), Bitmap(182), QRect(0, 0, 279, 28), 2},
        {QStringLiteral("close 152"), Png(152), QRect(0, 0, 87, 21), 4},
        {QStringLiteral("minimise 158"), Png(158), QRect(0, 0, 84, 20), 4},
        {QStringLiteral("Add File(s) 165"), Png(165), QRect(0, 0, 294, 23), 3},
        {QStringLiteral("Setting 164"), Png(164), QRect(0, 0, 294, 23), 3},
        {QStringLiteral("Remove All 167"), Png(167), QRect(0, 0, 294, 23), 3},
        {QStringLiteral("Browse 166"), Png(166), QRect(0, 0, 294, 23), 3},
        {QStringLiteral("Open Folder 177"), Png(177), QRect(0, 0, 351, 23), 3},
        {QStringLiteral("Open File 176"), Png(176), QRect(0, 0, 312, 23), 3},
        {QStringLiteral("Stop 183"), Png(183), QRect(0, 0, 402, 34), 2},
        {QStringLiteral("Help 172"), Png(172), QRect(0, 0, 249, 30), 3},
    };
    QImage out(1400, 1400, QImage::Format_RGB32);
    out.fill(QColor(0x40, 0x48, 0x50));
    QPainter p(&out);
    int x = 10, y = 10, rowH = 0;
    for (const Crop& c : crops) {
        const QImage part = c.image.copy(c.rect).scaled(c.rect.size() * c.scale, Qt::IgnoreAspectRatio,
                                                         Qt::FastTransformation);
        if (x + part.width() > out.width() - 10) {
            x = 10;
            y += rowH + 24;
            rowH = 0;
        }
        p.setPen(Qt::white);
        p.setFont(ArtKit::Font(12, true));
        p.drawText(QPointF(x, y + 12), c.label);
        p.fillRect(QRect(x, y + 16, part.width(), part.height()), QColor(0x80, 0xA0, 0x60));
        p.drawImage(x, y + 16, part);
        x += part.width() + 16;
        rowH = qMax(rowH, part.height() + 16);
    }
    p.end();
    return out.copy(0, 0, out.width(), y + rowH + 30);
}

QMap<QString, QImage> Preview::Windows() const
{
    return {{QStringLiteral("main"), MainWindow()},
            {QStringLiteral("settings"), SettingsWindow()},
            {QStringLiteral("about"), AboutBox()},
            {QStringLiteral("message-ok"), MessageBox(false)},
            {QStringLiteral("message-ask"), MessageBox(true)},
            {QStringLiteral("finish"), FinishDialog()},
            {QStringLiteral("password"), PasswordPrompt()}};
}
