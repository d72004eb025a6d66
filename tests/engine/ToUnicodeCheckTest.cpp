// Which print files may go through Ghostscript's new PDF reader: only those
// whose every ToUnicode mapping is one UTF-16 unit, checked for sure.
#include "engine/ToUnicodeCheck.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QByteArray kSingle = "/CIDInit/ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                           "/CIDSystemInfo<<\n/Registry (Adobe)\n/Ordering (UCS)\n/Supplement 0\n>> def\n"
                           "1 begincodespacerange\n<00> <FF>\nendcodespacerange\n"
                           "2 beginbfchar\n<01> <0077>\n<02> <006F>\nendbfchar\n"
                           "1 beginbfrange\n<03> <05> <0041>\nendbfrange\nendcmap\nend\nend\n";
const QByteArray kLigature = QByteArray(kSingle).replace("<02> <006F>", "<02> <00660069>");

QByteArray Flate(const QByteArray& data)
{
    return qCompress(data).mid(4); // without Qt's size prefix: a plain zlib stream
}

QByteArray StreamObject(int number, const QByteArray& dictionary, const QByteArray& data)
{
    return QByteArray::number(number) + " 0 obj\n<</Length " + QByteArray::number(data.size()) + dictionary +
           ">>\nstream\n" + data + "\nendstream\nendobj\n";
}

// A one-font PDF whose font names object 5 as its ToUnicode CMap.
QByteArray Pdf(const QByteArray& cmapObject, const QByteArray& extra = {})
{
    return "%PDF-1.4\n1 0 obj\n<</Type/Font/Subtype/TrueType/BaseFont/BAAAAA+DejaVuSans\n/ToUnicode 5 0 R>>\nendobj\n" +
           cmapObject + extra + "trailer\n<</Root 2 0 R>>\n%%EOF\n";
}

class ToUnicodeFiles : public ::testing::Test {
protected:
    bool NeedsOlder(const QByteArray& contents)
    {
        const QString path = dir.filePath(QStringLiteral("tmp_%1.pdf").arg(++count));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contents);
        f.close();
        return ToUnicodeCheck::NeedsOlderReader(path);
    }
    QTemporaryDir dir;
    int count = 0;
};

} // namespace

TEST(ToUnicodeCheck, CMapTextOneUnitPerCodeOnly)
{
    EXPECT_FALSE(ToUnicodeCheck::HasMultiUnitMapping(kSingle));
    EXPECT_FALSE(ToUnicodeCheck::HasMultiUnitMapping(""));
    EXPECT_TRUE(ToUnicodeCheck::HasMultiUnitMapping(kLigature));
    // A character outside the basic plane is two units (a surrogate pair).
    EXPECT_TRUE(ToUnicodeCheck::HasMultiUnitMapping("1 beginbfchar\n<01> <D83DDE00>\nendbfchar\n"));
    // Blanks may split a hex string; the digits count, not the characters.
    EXPECT_TRUE(ToUnicodeCheck::HasMultiUnitMapping("1 beginbfchar\n<01> <0066 0069>\nendbfchar\n"));
    EXPECT_FALSE(ToUnicodeCheck::HasMultiUnitMapping("1 beginbfchar\n<01> <00 66>\nendbfchar\n"));
    // A ligature may hide in a range's array of destinations, or in a CMap it builds on.
    EXPECT_TRUE(ToUnicodeCheck::HasMultiUnitMapping("1 beginbfrange\n<01> <02> [<0041> <00660066>]\nendbfrange\n"));
    EXPECT_TRUE(ToUnicodeCheck::HasMultiUnitMapping("/Other usecmap\n"));
    // What is not plainly a hex string counts as a possible ligature.
    EXPECT_TRUE(ToUnicodeCheck::HasMultiUnitMapping("1 beginbfchar\n<01> <00g6>\nendbfchar\n"));
    EXPECT_TRUE(ToUnicodeCheck::HasMultiUnitMapping("1 beginbfchar\n<01> <0066"));
}

TEST_F(ToUnicodeFiles, CompressedOrPlainMappingsAreRead)
{
    EXPECT_FALSE(NeedsOlder(Pdf(StreamObject(5, "/Filter/FlateDecode", Flate(kSingle)))));
    EXPECT_TRUE(NeedsOlder(Pdf(StreamObject(5, "/Filter/FlateDecode", Flate(kLigature)))));
    EXPECT_FALSE(NeedsOlder(Pdf(StreamObject(5, "/Filter [ /FlateDecode ]", Flate(kSingle)))));
    EXPECT_FALSE(NeedsOlder(Pdf(StreamObject(5, "", kSingle))));
    EXPECT_TRUE(NeedsOlder(Pdf(StreamObject(5, "", kLigature))));
    // No font maps anything: nothing for the new reader to get wrong.
    EXPECT_FALSE(NeedsOlder("%PDF-1.4\n1 0 obj\n<</Type/Catalog>>\nendobj\n%%EOF\n"));
}

TEST_F(ToUnicodeFiles, EveryMappingOfTheFileCounts)
{
    // The second font's CMap holds the ligature; 15 0 obj must not pass for 5 0 obj.
    const QByteArray second = "6 0 obj\n<</Type/Font/ToUnicode 7 0 R>>\nendobj\n" +
                              StreamObject(15, "", kLigature) + StreamObject(7, "/Filter/FlateDecode", Flate(kSingle));
    EXPECT_FALSE(NeedsOlder(Pdf(StreamObject(5, "", kSingle), second)));
    EXPECT_TRUE(NeedsOlder(Pdf(StreamObject(5, "", kSingle),
                               QByteArray(second).replace("/ToUnicode 7 0 R", "/ToUnicode 15 0 R"))));
    // An updated file may define the object again; the later definition counts as well.
    EXPECT_TRUE(NeedsOlder(Pdf(StreamObject(5, "", kSingle), StreamObject(5, "", kLigature))));
}

TEST_F(ToUnicodeFiles, WhatCannotBeCheckedTakesTheOlderReader)
{
    EXPECT_TRUE(ToUnicodeCheck::NeedsOlderReader(dir.filePath("missing.pdf")));
    EXPECT_TRUE(NeedsOlder("%!PS-Adobe-3.0\n%%EOF\n"));
    const QByteArray single = StreamObject(5, "/Filter/FlateDecode", Flate(kSingle));
    EXPECT_TRUE(NeedsOlder(Pdf(single, "9 0 obj\n<</Filter/Standard/V 1>>\nendobj\n/Encrypt 9 0 R\n")));
    EXPECT_TRUE(NeedsOlder(Pdf(single, "9 0 obj\n<</Type/ObjStm/N 1>>\nendobj\n")));
    // The referenced CMap is missing, is no stream, or is stored in a way not read here.
    EXPECT_TRUE(NeedsOlder(Pdf("")));
    EXPECT_TRUE(NeedsOlder(Pdf("5 0 obj\n<</A 1>>\nendobj\n")));
    EXPECT_TRUE(NeedsOlder(Pdf(StreamObject(5, "/Filter/ASCIIHexDecode", kSingle.toHex()))));
    EXPECT_TRUE(NeedsOlder(Pdf(StreamObject(5, "/Filter[/ASCII85Decode/FlateDecode]", Flate(kSingle)))));
    EXPECT_TRUE(NeedsOlder(Pdf(StreamObject(5, "/Filter/FlateDecode/DecodeParms<</Predictor 12>>", Flate(kSingle)))));
    EXPECT_TRUE(NeedsOlder(Pdf(StreamObject(5, "/Filter/FlateDecode", "not flate at all"))));
    EXPECT_TRUE(NeedsOlder(Pdf(StreamObject(5, "/Filter/FlateDecode", Flate(kSingle).left(20)))));
    // A ToUnicode entry that is no reference to a stream.
    EXPECT_TRUE(NeedsOlder(Pdf(single, "8 0 obj\n<</ToUnicode/Identity-H>>\nendobj\n")));
}
