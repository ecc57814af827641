// The binary cell stream and its record container.
#include "GridData2Fixture.h"

#include "platform/core/BinComponentStream.h"
#include "platform/core/Streams.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/ImageList.h"

#include <cstring>

namespace {

class GridBinaryTest : public GridData2Test {};

QByteArray Str(const char* s) { return QByteArray(1, char(std::strlen(s))) + s; }

TEST_F(GridBinaryTest, RecordsAreWrittenInTheClassLibraryForm)
{
    auto* g = NewGrid(6, 8, 0, 0);
    for (int c = 0; c < 6; ++c)
        g->SetColWidths(c, 64);
    for (int r = 0; r < 8; ++r)
        g->SetRowHeights(r, 22);
    g->SetCellEx(3, 5, "x");
    TMemoryStream s;
    g->SaveRectToBinStream(TRect{3, 5, 4, 6}, &s);
    const QByteArray b = s.Bytes();
    const QByteArray head = QByteArray("TPF0") + Str("TGridPropIO") + QByteArray(1, 0) + Str("ColCount") +
                            QByteArray("\x02\x02", 2) + Str("RowCount") + QByteArray("\x02\x02", 2) +
                            Str("ColWidths") + "\x06" + Str("64,64") + Str("RowHeights") + "\x06" + Str("22,22") +
                            Str("FullGrid") + "\x08" + Str("ID");
    ASSERT_TRUE(b.startsWith(head));
    const QByteArray cell = QByteArray("TPF0") + Str("TGridCellIO") + QByteArray(1, 0) + Str("Col") +
                            QByteArray("\x02\x03", 2) + Str("Row") + QByteArray("\x02\x05", 2) + Str("Cell") +
                            "\x06" + Str("x") + Str("HasProp") + QByteArray("\x08\x00\x00", 3);
    EXPECT_TRUE(b.contains(cell));
    // four cell records
    EXPECT_EQ(b.count("TGridCellIO"), 4);
}

TEST_F(GridBinaryTest, PartOfAGridLandsAtThePointAndKeepsTheSize)
{
    auto* g = NewGrid(6, 8, 0, 0);
    g->SetCellEx(3, 5, "a");
    g->SetCellEx(4, 5, "b");
    g->SetCellEx(3, 6, "c");
    g->SetCellEx(4, 6, "d");
    TMemoryStream s;
    g->SaveRectToBinStream(TRect{3, 5, 4, 6}, &s);
    auto* h = NewGrid(4, 4, 0, 0);
    s.SetPosition(0);
    h->LoadAtPointFromBinStream(TPoint{0, 1}, &s);
    EXPECT_EQ(h->ColCount(), 4);
    EXPECT_EQ(h->RowCount(), 4);
    EXPECT_EQ(h->GetCellEx(0, 1), "a");
    EXPECT_EQ(h->GetCellEx(1, 1), "b");
    EXPECT_EQ(h->GetCellEx(0, 2), "c");
    EXPECT_EQ(h->GetCellEx(1, 2), "d");
    EXPECT_EQ(h->GetCellEx(0, 0), "");

    // cells outside the target grid are skipped, the rest placed
    s.SetPosition(0);
    h->LoadAtPointFromBinStream(TPoint{3, 3}, &s);
    EXPECT_EQ(h->GetCellEx(3, 3), "a");
}

TEST_F(GridBinaryTest, WholeGridRoundTripWithLooksAndGraphics)
{
    auto* g = NewGrid(4, 4, 1, 1);
    g->SetColWidths(2, 90);
    g->SetRowHeights(3, 40);
    g->SetCellEx(1, 1, "text");
    g->SetColors(1, 1, TColor(0x123456));
    g->SetFontColors(1, 1, clNone);
    g->SetFontStyles(1, 1, fsBold | fsItalic);
    g->SetFontNames(1, 1, "Courier");
    g->SetFontSizes(1, 1, 14);
    g->SetAlignments(1, 1, taCenter);
    g->SetCellEx(2, 1, "wide");
    g->MergeCells(2, 1, 2, 1);
    TBitmap* bmp = g->CreateBitmap(1, 2, false, haLeft, vaTop);
    bmp->SetSize(3, 2);
    bmp->Canvas()->SetPixels(1, 1, TColor(0x0000FF));
    TImageList images(16, 16);
    auto* list = &images;
    g->GridImages = list;
    g->AddMultiImage(2, 3, 0, haLeft, vaTop);
    g->GetCellImages(2, 3)->SetStrValue("1,4,7");
    TStrings* radio = g->CreateRadio(3, 3, 0, 1);
    radio->Add("one");
    radio->Add(QString::fromUtf8("zw\xC3\xB6lf"));

    TMemoryStream s;
    g->SaveToBinStream(&s);
    s.WriteBuffer(QByteArray(1, 0)); // a trailing zero byte is ignored
    s.SetPosition(0);
    auto* h = NewGrid(2, 2, 1, 1);
    h->GridImages = list;
    h->LoadFromBinStream(&s);
    EXPECT_EQ(h->ColCount(), 4);
    EXPECT_EQ(h->RowCount(), 4);
    EXPECT_EQ(h->ColWidths(2), 90);
    EXPECT_EQ(h->RowHeights(3), 40);
    EXPECT_EQ(h->GetCellEx(1, 1), "text");
    EXPECT_EQ(h->GetColors(1, 1), TColor(0x123456));
    EXPECT_EQ(h->GetFontColors(1, 1), clNone);
    EXPECT_EQ(h->GetFontStyles(1, 1), TFontStyles(fsBold | fsItalic));
    EXPECT_EQ(h->GetFontNames(1, 1), "Courier");
    EXPECT_EQ(h->GetFontSizes(1, 1), 14);
    EXPECT_EQ(h->GetAlignments(1, 1), taCenter);
    EXPECT_EQ(h->CellSpan(2, 1).X, 1);
    EXPECT_FALSE(h->IsBaseCell(3, 1));
    ASSERT_NE(h->GetBitmap(1, 2), nullptr);
    EXPECT_EQ(h->GetBitmap(1, 2)->Width(), 3);
    EXPECT_EQ(h->GetBitmap(1, 2)->Canvas()->Pixels(1, 1), TColor(0x0000FF));
    ASSERT_NE(h->GetCellImages(2, 3), nullptr);
    EXPECT_EQ(h->GetCellImages(2, 3)->StrValue(), "1,4,7");
    ASSERT_NE(h->GetRadioStrings(3, 3), nullptr);
    EXPECT_EQ(h->GetRadioStrings(3, 3)->Count(), 2);
    EXPECT_EQ(h->GetRadioStrings(3, 3)->Strings(1), QString::fromUtf8("zw\xC3\xB6lf"));
    g->GridImages = nullptr;
    h->GridImages = nullptr;
}

TEST_F(GridBinaryTest, FilePictureTravelsByNameOnly)
{
    TBitmap pic(2, 2);
    WriteFileWhole(Path("p.bmp"), pic.SaveToBytes());
    auto* g = NewGrid(2, 2, 0, 0);
    g->CreateFilePicture(1, 1, false, noStretch, 0, haLeft, vaTop)->SetFilename(Path("p.bmp"));
    TMemoryStream s;
    g->SaveToBinStream(&s);
    EXPECT_FALSE(s.Bytes().contains("BM")); // no picture data
    s.SetPosition(0);
    auto* h = NewGrid(2, 2, 0, 0);
    h->LoadFromBinStream(&s);
    ASSERT_NE(h->GetFilePicture(1, 1), nullptr);
    EXPECT_EQ(h->GetFilePicture(1, 1)->Filename(), Path("p.bmp"));
}

TEST_F(GridBinaryTest, DamagedStreamsChangeNothing)
{
    auto* g = NewGrid(3, 3, 0, 0);
    g->SetCellEx(1, 1, "v");
    g->SetColors(1, 1, clRed);
    TMemoryStream s;
    g->SaveToBinStream(&s);
    const QByteArray good = s.Bytes();

    std::vector<QByteArray> bad;
    bad.push_back(good.left(good.size() - 3));                     // ends inside a record
    bad.push_back(QByteArray(good).replace("TGridCellIO", "TGridCellXX")); // unknown class
    QByteArray widths = good;
    widths.replace("\x06\x08" "64,64,64", "\x06\x08" "64,64,-1");
    bad.push_back(widths); // a negative width
    QByteArray count = good;
    count.replace(QByteArray("ColCount\x02\x03", 10), QByteArray("ColCount\x04\x00\x10\x00\x00", 13));
    bad.push_back(count); // more columns than a grid holds
    QByteArray tag = good;
    tag.replace(QByteArray("HasProp\x09", 8), QByteArray("HasProp\x0F", 8));
    bad.push_back(tag); // unknown value tag
    for (size_t i = 0; i < bad.size(); ++i) {
        auto* h = NewGrid(2, 2, 0, 0);
        h->SetCellEx(0, 0, "keep");
        TMemoryStream m;
        m.WriteBuffer(bad[i]);
        m.SetPosition(0);
        // a damaged record is a read error; a grid too wide for this one has
        // the grid's own message
        if (i == 3)
            EXPECT_THROW(h->LoadFromBinStream(&m), DOriVireZuvez) << i;
        else
            EXPECT_THROW(h->LoadFromBinStream(&m), EReadError) << i;
        EXPECT_EQ(h->GetCellEx(0, 0), "keep") << i;
        EXPECT_EQ(h->ColCount(), 2) << i;
        EXPECT_EQ(h->GetCellEx(1, 1), "") << i;
    }
}

TEST_F(GridBinaryTest, BinaryFileRoundTrip)
{
    auto* g = NewGrid(3, 3, 0, 0);
    g->SetCellEx(2, 2, "end");
    g->SaveToBinFile(Path("g.bin"));
    auto* h = NewGrid(1, 1, 0, 0);
    h->LoadFromBinFile(Path("g.bin"));
    EXPECT_EQ(h->RowCount(), 3);
    EXPECT_EQ(h->GetCellEx(2, 2), "end");
}

TEST(BinComponentStreamTest, ValuesTravel)
{
    QByteArray out;
    TBinRecordWriter w(out, "TThing");
    w.Int("small", -5);
    w.Int("mid", 300);
    w.Int("big", -100000);
    w.Extended("x", 2.5);
    w.String("long", QString(300, 'a'));
    w.String("wide", QString::fromUtf8("\xC3\xA9"));
    w.Ident("id", "clNone");
    w.Bool("t", true);
    w.Set("s", {"fsBold", "fsItalic"});
    w.Binary("b", QByteArray("\x00\x01", 2));
    w.StringList("l", {"a", "b"});
    w.Finish();
    TMemoryStream m;
    m.WriteBuffer(out);
    m.SetPosition(0);
    const TBinRecord r = ReadBinRecord(&m);
    EXPECT_EQ(r.ClassName, "TThing");
    EXPECT_EQ(r.Find("small")->Int, -5);
    EXPECT_EQ(r.Find("mid")->Int, 300);
    EXPECT_EQ(r.Find("big")->Int, -100000);
    EXPECT_DOUBLE_EQ(r.Find("x")->Extended, 2.5);
    EXPECT_EQ(r.Find("long")->Text, QString(300, 'a'));
    EXPECT_EQ(r.Find("wide")->Text, QString::fromUtf8("\xC3\xA9"));
    EXPECT_EQ(r.Find("id")->Ident, "clNone");
    EXPECT_TRUE(r.Find("t")->Bool);
    EXPECT_EQ(r.Find("s")->Items, (QStringList{"fsBold", "fsItalic"}));
    EXPECT_EQ(r.Find("b")->Binary, QByteArray("\x00\x01", 2));
    EXPECT_EQ(r.Find("l")->Items, (QStringList{"a", "b"}));
    EXPECT_EQ(m.Position(), m.Size());
    // 10-byte extended: 1.0 is 0x3FFF exponent, explicit integer bit
    EXPECT_EQ(DoubleToExtended(1.0), QByteArray("\x00\x00\x00\x00\x00\x00\x00\x80\xFF\x3F", 10));
    for (double v : {0.1, -3.75e300, 5e-320})
        EXPECT_EQ(ExtendedToDouble(DoubleToExtended(v)), v);
}

TEST(BinComponentStreamTest, HugeLengthIsRefused)
{
    QByteArray b = QByteArray("TPF0") + Str("T") + QByteArray(1, 0) + Str("b") + "\x0A" +
                   QByteArray("\xFF\xFF\xFF\x7F", 4);
    TMemoryStream m;
    m.WriteBuffer(b);
    m.SetPosition(0);
    EXPECT_THROW(ReadBinRecord(&m), EReadError);
}

} // namespace

namespace {

// The 16-bit position fields wrap past row 65535; the cells still land by
// their order inside the rectangle.
TEST_F(GridBinaryTest, RectanglePastRow65535LandsAtThePoint)
{
    auto* g = NewGrid(2, 65540, 0, 0);
    g->SetCellEx(0, 65537, "a");
    g->SetCellEx(1, 65538, "d");
    TMemoryStream s;
    g->SaveRectToBinStream(TRect{0, 65537, 1, 65538}, &s);
    auto* h = NewGrid(3, 3, 0, 0);
    s.SetPosition(0);
    h->LoadAtPointFromBinStream(TPoint{1, 1}, &s);
    EXPECT_EQ(h->GetCellEx(1, 1), "a");
    EXPECT_EQ(h->GetCellEx(2, 2), "d");
    EXPECT_EQ(h->GetCellEx(2, 1), "");
}

} // namespace
