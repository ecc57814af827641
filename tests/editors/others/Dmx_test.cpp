// The DMX default values editor: its channel count, file and check, and the
// image of a DMX gateway built from what it saves.
#include "OthersKit.h"

#include "editors/UDMXDefVal.h"
#include "image/USaveBincc.h"

TEST_F(OthersTest, DmxWithoutParGenOffersEveryChannel)
{
    auto* f = Make<TFDMXDefVal>();
    EXPECT_EQ(f->ClientWidth(), 475);
    EXPECT_EQ(f->ClientHeight(), 337);
    EXPECT_EQ(f->Caption(), "DMX Default Value");
    EXPECT_FALSE(f->Btn_DelRow->Visible());
    f->FormShow(nullptr);
    EXPECT_EQ(f->ACG_DMX_Def_Val->RowCount(), 513);
    EXPECT_EQ(f->Cell(0, 0), "Channel");
    EXPECT_EQ(f->Cell(0, 512), "512");
    EXPECT_EQ(f->Cell(DV_Default_Value, 512), "0");
    EXPECT_EQ(f->Cell(DV_Mnemonic, 512), "");
}

TEST_F(OthersTest, DmxChannelCountSizesTheTableAndTheNextSave)
{
    auto* f = Make<TFDMXDefVal>();
    QByteArray rows;
    for (int i = 0; i < 512; ++i)
        rows += "<Row Default_Value=\"" + QByteArray::number(i % 256) + "\" Mnemonic=\"m" + QByteArray::number(i) + "\"/>";
    Write(File_DMX_Default_Values, "<DMX_Default_Values>" + rows + "</DMX_Default_Values>");
    WriteParGen("<DMX_Num_Channels>24</DMX_Num_Channels>");
    f->FormShow(nullptr);
    EXPECT_EQ(f->ACG_DMX_Def_Val->RowCount(), 25);
    EXPECT_EQ(f->Cell(DV_Default_Value, 24), "23");
    EXPECT_EQ(f->Cell(DV_Mnemonic, 24), "m23");
    ASSERT_TRUE(Ok(f)) << LastMessage().toStdString();
    const QByteArray file = Read(File_DMX_Default_Values);
    EXPECT_EQ(file.count("<Row "), 24);
    EXPECT_TRUE(file.startsWith("<DMX_Default_Values>\n\t<Row Default_Value=\"0\" Mnemonic=\"m0\" />\n"));
    EXPECT_TRUE(file.endsWith("</DMX_Default_Values>\n<!--SW_VERSION = 1.104-->\n"));

    // A shorter file leaves the other channels at "0" without a mnemonic;
    // a row without its attributes loads their defaults.
    Write(File_DMX_Default_Values, "<DMX_Default_Values><Row Default_Value=\"9\"/><Row Mnemonic=\"x\"/></DMX_Default_Values>");
    WriteParGen("<DMX_Num_Channels>512</DMX_Num_Channels>");
    f->FormShow(nullptr);
    EXPECT_EQ(f->ACG_DMX_Def_Val->RowCount(), 513);
    EXPECT_EQ(RowOf(f, 1), QStringList({"9", ""}));
    EXPECT_EQ(RowOf(f, 2), QStringList({"0", "x"}));
    EXPECT_EQ(RowOf(f, 11), QStringList({"0", ""}));
}

TEST_F(OthersTest, DmxChannelCountsTheImageCannotHoldAreTakenAs512)
{
    auto* f = Make<TFDMXDefVal>();
    for (const char* count : {"0", "-3", "513", "abc", ""}) {
        WriteParGen(QByteArray("<DMX_Num_Channels>") + count + "</DMX_Num_Channels>");
        f->FormShow(nullptr);
        EXPECT_EQ(f->ACG_DMX_Def_Val->RowCount(), 513) << count;
    }
    WriteParGen("<DMX_Num_Channels>1</DMX_Num_Channels>");
    f->FormShow(nullptr);
    EXPECT_EQ(f->ACG_DMX_Def_Val->RowCount(), 2);
}

TEST_F(OthersTest, DmxDefaultValuesAreBytes)
{
    auto* f = Make<TFDMXDefVal>();
    WriteParGen("<DMX_Num_Channels>24</DMX_Num_Channels>");
    const struct {
        const char* value;
        int row;
        bool ok;
    } cases[] = {{"0xFF", 1, true}, {"255", 1, true}, {"$10", 5, true}, {"256", 1, false},
                 {"-1", 1, false},  {"", 3, false},   {"1 ", 24, false}, {"x", 2, false}};
    for (const auto& c : cases) {
        f->FormShow(nullptr);
        f->Set_Cell(DV_Default_Value, c.row, QString::fromLatin1(c.value));
        EXPECT_EQ(Run_Check(f), c.ok ? QString()
                                     : QStringLiteral("Error row %1!! Default Value must be between 0 and 255").arg(c.row))
            << c.value;
    }
}

TEST_F(OthersTest, DmxValuesSavedByTheDialogBuildTheImage)
{
    Model_Code = 11;
    auto* f = Make<TFDMXDefVal>();
    WriteParGen("<DMX_Num_Channels>24</DMX_Num_Channels>");
    f->FormShow(nullptr);
    f->Set_Cell(DV_Default_Value, 1, "255");
    f->Set_Cell(DV_Default_Value, 2, "0x10");
    f->Set_Cell(DV_Default_Value, 24, "7");
    ASSERT_TRUE(Ok(f)) << LastMessage().toStdString();
    const TImageResult image = Build_Image(Tmp.path(), 11);
    ASSERT_EQ(image.Status, TBuildStatus::Built) << image.Note.toStdString();
    ASSERT_EQ(image.Bank.size(), 23040);
    EXPECT_EQ(image.Bank.mid(22528, 2), Hex("ff10"));
    EXPECT_EQ(image.Bank.mid(22530, 21), QByteArray(21, '\0'));
    EXPECT_EQ(image.Bank.at(22551), '\x07');
    EXPECT_EQ(image.Bank.mid(22552, 512 - 24), QByteArray(512 - 24, '\0'));
}
