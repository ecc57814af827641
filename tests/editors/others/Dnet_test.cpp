// The DeviceNet network and offsets editors.
#include "OthersKit.h"

#include "editors/UDNet.h"
#include "editors/UDefOffset.h"
#include "editors/USet_PDO_Access.h"
#include "editors/UTransmitCAN.h"
#include "editors/U_Rec_Info.h"
#include "support/ToolkitTest.h"
#include "platform/controls/TabControls.h"

namespace {

QByteArray Net(std::initializer_list<const char*> rows)
{
    QByteArray b = "<DNET_Net>";
    for (const char* r : rows)
        b += r;
    return b + "</DNET_Net>";
}

} // namespace

TEST_F(OthersTest, DnetChecksEveryRowToTheFirstEmptyId)
{
    auto* f = Make<TFDNet>();
    EXPECT_EQ(f->ClientWidth(), 609);
    EXPECT_EQ(f->SG->RowCount(), 65);
    EXPECT_EQ(f->Cell(DN_NB_OUT, 0), "N BYTE OUT");
    const QString E = "Error in row 1!! ";
    const struct {
        QStringList row;
        QString message;
    } cases[] = {
        {{"5", "0", "0", ""}, ""},
        {{"62", "1", "65535", ""}, ""},
        {{"63", "0", "0", ""}, ""},
        {{"0x3F", "0", "0", ""}, ""},
        {{"64", "0", "0", ""}, E + "ID must be 0 or 63"},
        {{"-1", "0", "0", ""}, E + "ID must be 0 or 63"},
        {{" ", "0", "0", ""}, E + "ID must be 0 or 63"},
        {{"1", "65536", "0", ""}, E + "Number Byte IN must be 0 or 65535"},
        {{"1", "0", "", ""}, E + "Number Byte OUT must be 0 or 65535"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Check(f, {c.row}), c.message) << c.row.join('|').toStdString();

    // All 64 rows: the last is checked and written like the others.
    f->FormShow(nullptr);
    for (int r = 1; r <= 64; ++r)
        Fill(f, r, {QString::number(r % 64), "1", "2", ""});
    f->Set_Cell(DN_ID, 64, "0x3F");
    Model_Code = 7;
    ASSERT_TRUE(Ok(f)) << LastMessage().toStdString();
    const QByteArray file = Read(File_DNETM_Net);
    EXPECT_EQ(file.count("<row "), 64);
    EXPECT_TRUE(file.contains("<row ID=\"0x3F\" NB_IN=\"1\" NB_OUT=\"2\" Mnemonic=\"\" />"));
    EXPECT_TRUE(file.endsWith("</DNET_Net>\n<!--SW_VERSION = 1.000-->\n"));
    f->Set_Cell(DN_NB_IN, 64, "x");
    EXPECT_FALSE(Ok(f));
    EXPECT_EQ(LastMessage(), "Error in row 64!! Number Byte IN must be 0 or 65535");
}

TEST_F(OthersTest, DnetLoadNeedsEveryAttribute)
{
    auto* f = Make<TFDNet>();
    Write(File_DNETM_Net, Net({"<row ID=\"3\" NB_IN=\"1\" NB_OUT=\"2\" Mnemonic=\"a\"/>", "<row ID=\"4\" NB_IN=\"1\"/>"}));
    f->FormShow(nullptr);
    ASSERT_EQ(Script.Shown.size(), 1);
    EXPECT_TRUE(LastMessage().contains("NB_OUT")) << LastMessage().toStdString();
    EXPECT_EQ(RowOf(f, 1), QStringList({"3", "1", "2", "a"}));
    EXPECT_EQ(f->Cell(DN_ID, 2), "4");
}

TEST_F(OthersTest, DefOffsetWithoutANetworkWritesOnlyTheRoot)
{
    Model_Code = 7;
    auto* f = Make<TFDefOffset>();
    EXPECT_EQ(f->ClientWidth(), 482);
    EXPECT_EQ(f->ClientHeight(), 610);
    EXPECT_EQ(f->TabSheet2->Caption(), "Byte OUT");
    EXPECT_EQ(f->Label1->Caption(), "Select the Slave DeviceNet");
    f->FormShow(nullptr);
    EXPECT_TRUE(Script.Shown.isEmpty());
    EXPECT_EQ(f->ACG_DN_Slaves->RowCount(), 1);
    EXPECT_EQ(f->ACG_ByteIN->RowCount(), 1);
    EXPECT_EQ(f->ACG_DN_Slaves->GetCellEx(DS_ID, 0), "ID");
    ASSERT_TRUE(Ok(f)) << LastMessage().toStdString();
    EXPECT_EQ(Read(File_DNETM_DefOff), QByteArray("<Define_Offset />\n<!--SW_VERSION = 1.000-->\n"));
}

TEST_F(OthersTest, DefOffsetPairsOffsetsWithSlavesByPositionAndKeepsEdits)
{
    Model_Code = 7;
    Write(File_DNETM_Net, Net({"<row ID=\"3\" NB_IN=\"2\" NB_OUT=\"1\" Mnemonic=\"first\"/>",
                               "<row ID=\"5\" NB_IN=\"0\" NB_OUT=\"3\" Mnemonic=\"second\"/>"}));
    // The stored first node had three input bytes: the third is dropped.
    Write(File_DNETM_DefOff, "<Define_Offset>"
                             "<Nodo_DNET><ByteIN><row Offset=\"7\" Mnemonic=\"a\"/><row Offset=\"None\" Mnemonic=\"\"/>"
                             "<row Offset=\"9\" Mnemonic=\"gone\"/></ByteIN><ByteOUT/></Nodo_DNET>"
                             "<Nodo_DNET><ByteIN/><ByteOUT><row Offset=\"12\" Mnemonic=\"m\"/></ByteOUT></Nodo_DNET>"
                             "<Nodo_DNET><ByteIN/><ByteOUT/></Nodo_DNET>"
                             "</Define_Offset>");
    auto* f = Make<TFDefOffset>();
    f->FormShow(nullptr);
    EXPECT_TRUE(Script.Shown.isEmpty()) << LastMessage().toStdString();
    ASSERT_EQ(f->List_Slaves_DN.size(), 2u);
    EXPECT_EQ(f->ACG_DN_Slaves->GetCellEx(DS_ID, 2), "5");
    EXPECT_EQ(f->ACG_DN_Slaves->GetCellEx(DS_NB_IN, 2), "0");
    EXPECT_EQ(f->ACG_DN_Slaves->GetCellEx(DS_Mnemonic, 2), "second");
    EXPECT_EQ(f->Slave_Before_Select, 0);
    ASSERT_EQ(f->ACG_ByteIN->RowCount(), 3);
    EXPECT_EQ(f->ACG_ByteIN->GetCellEx(DB_Byte, 1), "0");
    EXPECT_EQ(f->ACG_ByteIN->GetCellEx(DB_Offset, 1), "7");
    EXPECT_EQ(f->ACG_ByteIN->GetCellEx(DB_Mnemonic, 1), "a");
    EXPECT_EQ(f->ACG_ByteOUT->GetCellEx(DB_Offset, 1), "None");

    // An edit on the first slave survives choosing the second and back.
    f->ACG_ByteOUT->SetCellEx(DB_Offset, 1, "40");
    f->ACG_DN_Slaves->SetRow(2);
    EXPECT_EQ(f->Slave_Before_Select, 1);
    ASSERT_EQ(f->ACG_ByteOUT->RowCount(), 4);
    EXPECT_EQ(f->ACG_ByteIN->RowCount(), 1);
    EXPECT_EQ(f->ACG_ByteOUT->GetCellEx(DB_Offset, 1), "12");
    EXPECT_EQ(f->ACG_ByteOUT->GetCellEx(DB_Offset, 3), "None");
    f->ACG_ByteOUT->SetCellEx(DB_Mnemonic, 3, "last");
    f->ACG_DN_Slaves->SetRow(1);
    EXPECT_EQ(f->ACG_ByteOUT->GetCellEx(DB_Offset, 1), "40");

    ASSERT_TRUE(Ok(f)) << LastMessage().toStdString();
    EXPECT_EQ(Read(File_DNETM_DefOff),
              QByteArray("<Define_Offset>\n"
                         "\t<Nodo_DNET>\n"
                         "\t\t<ByteIN>\n"
                         "\t\t\t<row Offset=\"7\" Mnemonic=\"a\" />\n"
                         "\t\t\t<row Offset=\"None\" Mnemonic=\"\" />\n"
                         "\t\t</ByteIN>\n"
                         "\t\t<ByteOUT>\n"
                         "\t\t\t<row Offset=\"40\" Mnemonic=\"\" />\n"
                         "\t\t</ByteOUT>\n"
                         "\t</Nodo_DNET>\n"
                         "\t<Nodo_DNET>\n"
                         "\t\t<ByteIN />\n"
                         "\t\t<ByteOUT>\n"
                         "\t\t\t<row Offset=\"12\" Mnemonic=\"m\" />\n"
                         "\t\t\t<row Offset=\"None\" Mnemonic=\"\" />\n"
                         "\t\t\t<row Offset=\"None\" Mnemonic=\"last\" />\n"
                         "\t\t</ByteOUT>\n"
                         "\t</Nodo_DNET>\n"
                         "</Define_Offset>\n"
                         "<!--SW_VERSION = 1.000-->\n"));
}

TEST_F(OthersTest, DefOffsetRefusesTwoOutputBytesOnOnePosition)
{
    Write(File_DNETM_Net, Net({"<row ID=\"3\" NB_IN=\"2\" NB_OUT=\"1\" Mnemonic=\"\"/>",
                               "<row ID=\"5\" NB_IN=\"1\" NB_OUT=\"2\" Mnemonic=\"\"/>"}));
    auto* f = Make<TFDefOffset>();
    f->FormShow(nullptr);
    // Inputs may share a position, with each other and with an output.
    f->ACG_ByteIN->SetCellEx(DB_Offset, 1, "10");
    f->ACG_ByteIN->SetCellEx(DB_Offset, 2, "10");
    f->ACG_ByteOUT->SetCellEx(DB_Offset, 1, "10");
    f->ACG_DN_Slaves->SetRow(2);
    f->ACG_ByteOUT->SetCellEx(DB_Offset, 1, "None");
    f->ACG_ByteOUT->SetCellEx(DB_Offset, 2, "2000"); // outside the array: takes no position
    EXPECT_TRUE(f->Controllo_Dati()) << LastMessage().toStdString();
    f->ACG_ByteOUT->SetCellEx(DB_Offset, 2, "10");
    EXPECT_FALSE(Ok(f));
    EXPECT_EQ(LastMessage(), "Error in ByteOUT! The same byte of BACnet is used in two bytes DeviceNet.\n\r"
                             "( First ID = 3 Byte = 0, Second ID = 5 Byte = 1)");
    EXPECT_FALSE(FileExists(File_DNETM_DefOff));
    EXPECT_EQ(f->ACG_ByteOUT->GetCellEx(DB_Offset, 2), "10");

    // A position outside the array, as a hand-edited file may hold, is
    // written back unchanged.
    f->ACG_ByteOUT->SetCellEx(DB_Offset, 2, "2000");
    ASSERT_TRUE(Ok(f)) << LastMessage().toStdString();
    EXPECT_TRUE(Read(File_DNETM_DefOff).contains("<row Offset=\"2000\" Mnemonic=\"\" />"));
}

TEST_F(OthersTest, DefOffsetRefusesSlaveNumbersOutsideTheirFields)
{
    auto* f = Make<TFDefOffset>();
    for (const char* row : {"<row ID=\"256\" NB_IN=\"0\" NB_OUT=\"0\" Mnemonic=\"\"/>",
                            "<row ID=\"1\" NB_IN=\"-1\" NB_OUT=\"0\" Mnemonic=\"\"/>",
                            "<row ID=\"1\" NB_IN=\"0\" NB_OUT=\"65536\" Mnemonic=\"\"/>",
                            "<row ID=\"x\" NB_IN=\"0\" NB_OUT=\"0\" Mnemonic=\"\"/>"}) {
        Write(File_DNETM_Net, Net({"<row ID=\"9\" NB_IN=\"1\" NB_OUT=\"1\" Mnemonic=\"ok\"/>", row}));
        Script.Shown.clear();
        f->FormShow(nullptr);
        ASSERT_EQ(Script.Shown.size(), 1) << row;
        EXPECT_EQ(Script.Last().Type, mtError);
        // The slave read before the fault stays; the list shows only it.
        EXPECT_EQ(f->List_Slaves_DN.size(), 1u) << row;
        EXPECT_EQ(f->ACG_DN_Slaves->RowCount(), 2) << row;
    }
}

TEST_F(OthersTest, TheDialogsRenderForAPerson)
{
    const QString dir = PathJoin(QStringLiteral(KAL_BUILD_DIR), QStringLiteral("screens"));
    ASSERT_TRUE(ForceDirectories(dir));
    Write(File_DNETM_Net, Net({"<row ID=\"3\" NB_IN=\"2\" NB_OUT=\"1\" Mnemonic=\"drive\"/>",
                               "<row ID=\"5\" NB_IN=\"0\" NB_OUT=\"3\" Mnemonic=\"valve\"/>"}));
    auto* offsets = Make<TFDefOffset>();
    offsets->FormShow(nullptr);
    RenderFormToPng(offsets, PathJoin(dir, QStringLiteral("dnet_offsets.png")));
    auto* pdo = Make<TFSet_PDO_Access>();
    pdo->FormShow(nullptr);
    FillPage(pdo, 1, 1, {"0x201", "2", "0", "1", "", "", "", "", "", "", "100", "Y", "out"});
    pdo->Set_Active_Page(1);
    RenderFormToPng(pdo, PathJoin(dir, QStringLiteral("canopen_pdo.png")));
    auto* can = Make<TFTransmitCAN>();
    can->FormShow(nullptr);
    Fill(can, 1, {"Y", "0x181", "2.0A (11 bits)", "2", "Y", "N", "N", "", "10", "None"});
    RenderFormToPng(can, PathJoin(dir, QStringLiteral("can_transmit.png")));
    auto* info = Make<TF_Rec_Info>();
    info->FormShow(nullptr);
    RenderFormToPng(info, PathJoin(dir, QStringLiteral("can_rec_info.png")));
    EXPECT_TRUE(FileExists(PathJoin(dir, QStringLiteral("canopen_pdo.png"))));
}
