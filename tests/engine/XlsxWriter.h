#pragma once

// Writes small .xlsx workbooks for tests: each sheet holds one line of text in
// A1 (or nothing), or that text numbered down column A over many rows with a
// page-number footer, and may be hidden; it may also carry a drawing: a half
// see-through box and a picture (PNG). The package is a plain zip archive with
// its members stored, which every reader of the format accepts.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <vector>

namespace workbooktest {

struct XlsxSheet {
    QString name;
    QString text;        // empty: the sheet has nothing on it
    bool hidden = false;
    int rows = 0;        // > 0: "<text> 1" .. "<text> <rows>" in A1..A<rows>, footer "Page <n> of <total>"
    QByteArray picture{}; // a PNG: the sheet has a drawing, a half see-through box above this picture
    int columns = 0;     // > 0: row 1 holds "<text> C1" .. "<text> C<columns>" in columns 20 characters wide
};

class XlsxWriter {
public:
    static bool Write(const QString& path, const std::vector<XlsxSheet>& sheets)
    {
        XlsxWriter zip;
        QByteArray types, entries, rels;
        // As Excel saves it, the active sheet is never a hidden one.
        size_t active = 0;
        while (active + 1 < sheets.size() && sheets[active].hidden)
            ++active;
        for (size_t i = 0; i < sheets.size(); ++i) {
            const QByteArray n = QByteArray::number(qulonglong(i + 1));
            types += "<Override PartName=\"/xl/worksheets/sheet" + n +
                     ".xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
            entries += "<sheet name=\"" + Escaped(sheets[i].name) + "\" sheetId=\"" + n + "\"" +
                       (sheets[i].hidden ? " state=\"hidden\"" : "") + " r:id=\"rId" + n + "\"/>";
            rels += "<Relationship Id=\"rId" + n +
                    "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
                    "Target=\"worksheets/sheet" + n + ".xml\"/>";
            if (!sheets[i].picture.isEmpty()) {
                types += "<Override PartName=\"/xl/drawings/drawing" + n +
                         ".xml\" ContentType=\"application/vnd.openxmlformats-officedocument.drawing+xml\"/>";
                AddDrawing(zip, n, sheets[i].picture);
            }
        }
        zip.Add("[Content_Types].xml",
                kXml + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                       "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                       "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                       "<Default Extension=\"png\" ContentType=\"image/png\"/>"
                       "<Override PartName=\"/xl/workbook.xml\" "
                       "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>" +
                    types + "</Types>");
        zip.Add("_rels/.rels",
                kXml + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                       "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                       "relationships/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
        zip.Add("xl/workbook.xml",
                kXml + "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                       "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                       "<bookViews><workbookView activeTab=\"" +
                    QByteArray::number(qulonglong(active)) + "\"/></bookViews><sheets>" + entries + "</sheets></workbook>");
        zip.Add("xl/_rels/workbook.xml.rels",
                kXml + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" + rels +
                    "</Relationships>");
        for (size_t i = 0; i < sheets.size(); ++i)
            zip.Add("xl/worksheets/sheet" + QByteArray::number(qulonglong(i + 1)) + ".xml", SheetXml(sheets[i]));
        QFile file(path);
        const QByteArray bytes = zip.Finish();
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    }

private:
    static QByteArray Cell(int row, const QString& text)
    {
        const QByteArray r = QByteArray::number(row);
        return "<row r=\"" + r + "\"><c r=\"A" + r + "\" t=\"inlineStr\"><is><t>" + Escaped(text) + "</t></is></c></row>";
    }

    // "A".."Z", "AA".. for a 1-based column number.
    static QByteArray ColumnName(int column)
    {
        QByteArray name;
        for (; column > 0; column = (column - 1) / 26)
            name.prepend(char('A' + (column - 1) % 26));
        return name;
    }

    static QByteArray Relationship(const QByteArray& type, const QByteArray& target)
    {
        return kXml + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                      "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                      "relationships/" + type + "\" Target=\"" + target + "\"/></Relationships>";
    }

    static QByteArray Anchor(int fromColumn, int fromRow, int toColumn, int toRow)
    {
        const auto corner = [](const char* tag, int column, int row) {
            return QByteArray("<xdr:") + tag + "><xdr:col>" + QByteArray::number(column) +
                   "</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>" + QByteArray::number(row) +
                   "</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:" + tag + ">";
        };
        return corner("from", fromColumn, fromRow) + corner("to", toColumn, toRow);
    }

    // Sheet n's drawing: a box filled half see-through over B3:D8, the picture over B11:C16.
    static void AddDrawing(XlsxWriter& zip, const QByteArray& n, const QByteArray& png)
    {
        zip.Add("xl/worksheets/_rels/sheet" + n + ".xml.rels", Relationship("drawing", "../drawings/drawing" + n + ".xml"));
        zip.Add("xl/drawings/_rels/drawing" + n + ".xml.rels", Relationship("image", "../media/image" + n + ".png"));
        zip.Add("xl/media/image" + n + ".png", png);
        zip.Add("xl/drawings/drawing" + n + ".xml",
                kXml + "<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
                       "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
                       "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                       "<xdr:twoCellAnchor>" + Anchor(1, 2, 4, 8) +
                    "<xdr:sp><xdr:nvSpPr><xdr:cNvPr id=\"2\" name=\"Box\"/><xdr:cNvSpPr/></xdr:nvSpPr><xdr:spPr>"
                    "<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom><a:solidFill><a:srgbClr val=\"3060C0\">"
                    "<a:alpha val=\"50000\"/></a:srgbClr></a:solidFill></xdr:spPr></xdr:sp><xdr:clientData/>"
                    "</xdr:twoCellAnchor><xdr:twoCellAnchor>" + Anchor(1, 10, 3, 16) +
                    "<xdr:pic><xdr:nvPicPr><xdr:cNvPr id=\"3\" name=\"Picture\"/><xdr:cNvPicPr/></xdr:nvPicPr>"
                    "<xdr:blipFill><a:blip r:embed=\"rId1\"/><a:stretch><a:fillRect/></a:stretch></xdr:blipFill>"
                    "<xdr:spPr><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></xdr:spPr></xdr:pic>"
                    "<xdr:clientData/></xdr:twoCellAnchor></xdr:wsDr>");
    }

    static QByteArray SheetXml(const XlsxSheet& sheet)
    {
        QByteArray cells, footer, cols;
        if (sheet.columns > 0) {
            cols = "<cols><col min=\"1\" max=\"" + QByteArray::number(sheet.columns) +
                   "\" width=\"20\" customWidth=\"1\"/></cols>";
            cells = "<row r=\"1\">";
            for (int c = 1; c <= sheet.columns; ++c)
                cells += "<c r=\"" + ColumnName(c) + "1\" t=\"inlineStr\"><is><t>" +
                         Escaped(sheet.text + QStringLiteral(" C%1").arg(c)) + "</t></is></c>";
            cells += "</row>";
        } else if (sheet.rows > 0) {
            for (int r = 1; r <= sheet.rows; ++r)
                cells += Cell(r, sheet.text + QLatin1Char(' ') + QString::number(r));
            footer = "<headerFooter><oddFooter>&amp;CPage &amp;P of &amp;N</oddFooter></headerFooter>";
        } else if (!sheet.text.isEmpty()) {
            cells = Cell(1, sheet.text);
        }
        const QByteArray drawing = sheet.picture.isEmpty() ? QByteArray() : QByteArray("<drawing r:id=\"rId1\"/>");
        return kXml + "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                      "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">" + cols + "<sheetData>" +
               cells + "</sheetData>" + footer + drawing + "</worksheet>";
    }

    static inline const QByteArray kXml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

    static QByteArray Escaped(const QString& text)
    {
        return text.toHtmlEscaped().toUtf8();
    }
    static uint32_t Crc32(const QByteArray& data)
    {
        uint32_t crc = 0xFFFFFFFFu;
        for (const char byte : data) {
            crc ^= uint8_t(byte);
            for (int k = 0; k < 8; ++k)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
        return ~crc;
    }
    static void Put(QByteArray& out, uint32_t value, int bytes)
    {
        for (int i = 0; i < bytes; ++i)
            out += char((value >> (8 * i)) & 0xFF);
    }
    // The fields a local header and a central directory entry share, from "version needed" on.
    static QByteArray Common(const QByteArray& name, const QByteArray& data)
    {
        QByteArray h;
        Put(h, 20, 2);           // version needed
        Put(h, 0, 2);            // flags
        Put(h, 0, 2);            // stored
        Put(h, 0, 2);            // time
        Put(h, 0x21, 2);         // date: 1980-01-01
        Put(h, Crc32(data), 4);
        Put(h, uint32_t(data.size()), 4);
        Put(h, uint32_t(data.size()), 4);
        Put(h, uint32_t(name.size()), 2);
        Put(h, 0, 2);            // extra field
        return h;
    }
    void Add(const QByteArray& name, const QByteArray& data)
    {
        const uint32_t offset = uint32_t(m_body.size());
        Put(m_body, 0x04034b50, 4);
        m_body += Common(name, data) + name + data;
        Put(m_directory, 0x02014b50, 4);
        Put(m_directory, 20, 2); // version made by
        m_directory += Common(name, data);
        Put(m_directory, 0, 2);  // comment
        Put(m_directory, 0, 2);  // disk
        Put(m_directory, 0, 2);  // internal attributes
        Put(m_directory, 0, 4);  // external attributes
        Put(m_directory, offset, 4);
        m_directory += name;
        ++m_nEntries;
    }
    QByteArray Finish() const
    {
        QByteArray out = m_body + m_directory;
        Put(out, 0x06054b50, 4);
        Put(out, 0, 2);
        Put(out, 0, 2);
        Put(out, m_nEntries, 2);
        Put(out, m_nEntries, 2);
        Put(out, uint32_t(m_directory.size()), 4);
        Put(out, uint32_t(m_body.size()), 4);
        Put(out, 0, 2);
        return out;
    }

    QByteArray m_body;
    QByteArray m_directory;
    uint32_t m_nEntries = 0;
};

} // namespace workbooktest
