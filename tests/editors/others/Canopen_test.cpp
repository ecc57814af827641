// The three CANopen editors: their checks, their files as typed, and the
// image and data sheet built from what they save.
#include "OthersKit.h"

#include "editors/USet_PDO_Access.h"
#include "editors/USet_SDO_Client_Access.h"
#include "editors/USet_SDO_Server_Access.h"
#include "image/UEds.h"
#include "image/USaveBincc.h"
#include "platform/controls/TabControls.h"
#include "platform/core/DateTime.h"

namespace {

// Index, SubIndex, NByte, Add Byte1..4, Mnemonic.
QStringList Server(const char* index, const char* nbyte = "1", const QStringList& bytes = {"0"}, const char* sub = "0")
{
    QStringList row = {index, sub, nbyte};
    for (int k = 0; k < 4; ++k)
        row << (k < bytes.size() ? bytes[k] : QString());
    row << "";
    return row;
}
// ID, Index, SubIndex, NByte, Poll, [On Change,] Add Byte1..4, Mnemonic.
QStringList Client(const char* id, const char* index, const char* poll, bool write, const char* nbyte = "1",
                   const QStringList& bytes = {"0"})
{
    QStringList row = {id, index, "0", nbyte, poll};
    if (write)
        row << "N";
    for (int k = 0; k < 4; ++k)
        row << (k < bytes.size() ? bytes[k] : QString());
    row << "";
    return row;
}
// COB-ID, Dimension, Add B1..B8, TimeOut (receive) or Send Time and On Change.
QStringList Pdo(const char* cob, const char* dim, const QStringList& bytes, const char* time, bool transmit)
{
    QStringList row = {cob, dim};
    for (int k = 0; k < 8; ++k)
        row << (k < bytes.size() ? bytes[k] : QString());
    row << time;
    if (transmit)
        row << "N";
    row << "";
    return row;
}

} // namespace

TEST_F(OthersTest, CanopenEditorsFormsAndPages)
{
    auto* server = Make<TFSet_SDO_Server_Access>();
    auto* client = Make<TFSet_SDO_Client_Access>();
    auto* pdo = Make<TFSet_PDO_Access>();
    EXPECT_EQ(server->ClientWidth(), 749);
    EXPECT_EQ(client->ClientWidth(), 798);
    EXPECT_EQ(pdo->ClientHeight(), 337);
    EXPECT_EQ(server->Sheet[1]->Caption(), "SDO in Write");
    EXPECT_EQ(client->Sheet[0]->Caption(), "SDO Read");
    EXPECT_EQ(pdo->Sheet[1]->Caption(), "Transmit PDO");
    EXPECT_EQ(server->Grid(0)->RowCount(), 501);
    EXPECT_EQ(client->Grid(1)->RowCount(), 257);
    EXPECT_EQ(pdo->Grid(1)->RowCount(), 31);
    EXPECT_EQ(pdo->Grid(1)->ColCount(), 14);
    EXPECT_EQ(client->Cell(1, CW_On_Change, 0), "On Change");
    EXPECT_EQ(client->Grid(1)->Columns()->Items(CW_On_Change)->Editor(), edDataCheckBox);
    EXPECT_EQ(server->Btn_CopyRow, nullptr);
    pdo->FormShow(nullptr);
    EXPECT_EQ(pdo->PROFINET_NByte_IN, 6000);
    EXPECT_EQ(pdo->Cell(1, TP_On_Change, 30), "");
    EXPECT_EQ(pdo->Cell(1, 0, 30), "30");
}

TEST_F(OthersTest, CanopenSdoServerChecks)
{
    auto* f = Make<TFSet_SDO_Server_Access>();
    const QString R = "Error row 1!! [SDO in Read] ";
    const struct {
        const char* name;
        QList<QStringList> read, write;
        QString message;
    } cases[] = {
        {"0x1FFF", {Server("0x1FFF")}, {}, R + "Index must be between 0x2000 and 0x5FFF"},
        {"8191", {Server("8191")}, {}, R + "Index must be between 0x2000 and 0x5FFF"},
        {"0x2000 $2000 8192 0x5FFF", {Server("0x2000"), Server("$2000"), Server("8192"), Server("0x5FFF")}, {}, ""},
        {"0x6000", {Server("0x6000")}, {}, R + "Index must be between 0x2000 and 0x5FFF"},
        {"subindex", {Server("0x2000", "1", {"0"}, "256")}, {}, R + "SubIndex must be between 0x00 and 0xFF"},
        {"3 bytes", {Server("0x2000", "3", {"0", "0", "0"})}, {}, R + "N Byte must be 1 or 2 or 4"},
        {"byte 1 1439", {Server("0x2000", "1", {"1439"})}, {}, R + "Address Byte1 must be between 0 and 1438"},
        {"1 byte ignores the rest", {Server("0x2000", "1", {"0", "x", "y", "z"})}, {}, ""},
        {"2 bytes ignore 3 and 4", {Server("0x2000", "2", {"0", "1438", "x", "y"})}, {}, ""},
        {"2 bytes", {Server("0x2000", "2", {"0", ""})}, {}, R + "Address Byte2 must be between 0 and 1438"},
        {"4 bytes", {Server("0x2000", "4", {"0", "1", "2", "-1"})}, {}, R + "Address Byte4 must be between 0 and 1438"},
        {"write page", {}, {Server("0x1FFF")}, "Error row 1!! [SDO in Write] Index must be between 0x2000 and 0x5FFF"},
        {"blank index ends", {Server("0x2000"), Server(" "), Server("0")}, {}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Check(f, c.read, c.write), c.message) << c.name;
}

TEST_F(OthersTest, CanopenSdoClientChecks)
{
    auto* f = Make<TFSet_SDO_Client_Access>();
    const QString R = "Error row 1!! [SDO Read] ";
    const QString W = "Error row 1!! [SDO Write] ";
    const struct {
        const char* name;
        QList<QStringList> read, write;
        QString message;
    } cases[] = {
        {"id 0", {Client("0", "0x1000", "1", false)}, {}, R + "Device ID must be between 1 and 127"},
        {"id 128", {Client("128", "0x1000", "1", false)}, {}, R + "Device ID must be between 1 and 127"},
        {"write id 0", {}, {Client("0", "0x1000", "1", true)}, W + "Device ID must be between 1 and 127"},
        {"index bounds", {Client("1", "0x1000", "1", false), Client("127", "0xFFFF", "1", false)}, {}, ""},
        {"index 0x0FFF", {Client("1", "0x0FFF", "1", false)}, {}, R + "Index must be between 0x1000 and 0xFFFF"},
        {"index 0x10000", {Client("1", "0x10000", "1", false)}, {}, R + "Index must be between 0x1000 and 0xFFFF"},
        {"read poll 0", {Client("1", "0x1000", "0", false)}, {}, R + "Poll Time must be between 1 and 100000000"},
        {"write poll 0", {}, {Client("1", "0x1000", "0", true)}, ""},
        {"write 2 bytes", {}, {Client("1", "0x1000", "0", true, "2", {"0", "1439"})},
         W + "Address Byte2 must be between 0 and 1438"},
        {"write 2 bytes ignore 3", {}, {Client("1", "0x1000", "0", true, "2", {"0", "1", "x"})}, ""},
        {"n byte", {Client("1", "0x1000", "1", false, "0")}, {}, R + "N Byte must be 1 or 2 or 4"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Check(f, c.read, c.write), c.message) << c.name;
}

TEST_F(OthersTest, CanopenPdoChecks)
{
    auto* f = Make<TFSet_PDO_Access>();
    const QString R = "Error row 1!! [Receive PDO] ";
    const QString T = "Error row 1!! [Transmit PDO] ";
    const struct {
        const char* name;
        QList<QStringList> rx, tx;
        QString message;
    } cases[] = {
        {"0x7FF and 0x181", {Pdo("0x7FF", "1", {"0"}, "0", false), Pdo("385", "1", {"0"}, "0", false)}, {}, ""},
        {"0x800", {Pdo("0x800", "1", {"0"}, "0", false)}, {}, R + "COB-ID must be between 0x000 and 0x7FF"},
        {"dimension 9", {}, {Pdo("1", "9", {}, "0", true)}, T + "Dimension must be between 1 and 8"},
        {"add b1 5999", {Pdo("1", "1", {"5999"}, "0", false)}, {}, ""},
        {"add b1 6000", {Pdo("1", "1", {"6000"}, "0", false)}, {}, R + "Address Byte1 must be between 0 and 5999"},
        {"dimension 3 ignores b4", {Pdo("1", "3", {"0", "1", "2", "x"}, "0", false)}, {}, ""},
        {"transmit b3", {}, {Pdo("1", "3", {"0", "1", "y"}, "0", true)}, T + "Address Byte3 must be between 0 and 5999"},
        {"timeout 65536", {Pdo("1", "1", {"0"}, "65536", false)}, {}, R + "TimeOut must be between 0 and 65535"},
        {"send time top", {}, {Pdo("1", "1", {"0"}, "100000000", true)}, ""},
        {"send time over", {}, {Pdo("1", "1", {"0"}, "100000001", true)}, T + "Send Time must be between 0 and 100000000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Check(f, c.rx, c.tx), c.message) << c.name;
}

TEST_F(OthersTest, CanopenFilesKeepWhatWasTypedAndNeedEveryAttribute)
{
    auto* f = Make<TFSet_PDO_Access>();
    Model_Code = 6;
    f->FormShow(nullptr);
    FillPage(f, 0, 1, Pdo("0x181", "3", {"100", "101", "102", "x", "", "", "", "7000"}, "500", false));
    ASSERT_TRUE(Ok(f)) << LastMessage().toStdString();
    EXPECT_EQ(Read(File_PDO_CANopen),
              QByteArray("<PDO_CANopen>\n\t<Receive_PDO>\n\t\t<row COB-ID=\"0x181\" Dimension=\"3\" Address_B1=\"100\" "
                         "Address_B2=\"101\" Address_B3=\"102\" Address_B4=\"x\" Address_B5=\"\" Address_B6=\"\" "
                         "Address_B7=\"\" Address_B8=\"7000\" TimeOut=\"500\" Mnemonic=\"\" />\n\t</Receive_PDO>\n"
                         "\t<Transmit_PDO />\n</PDO_CANopen>\n<!--SW_VERSION = 1.000-->\n"));

    auto* server = Make<TFSet_SDO_Server_Access>();
    Write(File_SDO_Server_CANopen, "<SDO_Server_CANopen><SDO_Read>"
                                   "<row Index=\"$2000\" SubIndex=\"1\" NByte=\"1\" Address_B1=\"0\" Address_B2=\"\" "
                                   "Address_B3=\"\" Address_B4=\"\" Mnemonic=\"a\"/>"
                                   "<row Index=\"0x2001\" SubIndex=\"1\" NByte=\"1\" Address_B1=\"0\"/>"
                                   "</SDO_Read><SDO_Write/></SDO_Server_CANopen>");
    server->FormShow(nullptr);
    ASSERT_EQ(Script.Shown.size(), 1);
    EXPECT_TRUE(LastMessage().contains("Address_B2")) << LastMessage().toStdString();
    EXPECT_EQ(server->Cell(0, SS_Index, 1), "$2000");
    EXPECT_EQ(server->Cell(0, SS_Index, 2), "0x2001");
    EXPECT_EQ(server->Cell(0, SS_Mnemonic, 2), "");
    // Another model writes no version comment.
    Model_Code = 9;
    ASSERT_TRUE(Ok(server)) << LastMessage().toStdString();
    EXPECT_FALSE(Read(File_SDO_Server_CANopen).contains("SW_VERSION"));
    EXPECT_TRUE(Read(File_SDO_Server_CANopen).contains("Index=\"$2000\""));
}

TEST_F(OthersTest, CanopenTablesSavedByTheDialogsBuildTheImageAndTheDataSheet)
{
    Model_Code = 6;
    auto* server = Make<TFSet_SDO_Server_Access>();
    auto* client = Make<TFSet_SDO_Client_Access>();
    auto* pdo = Make<TFSet_PDO_Access>();
    server->FormShow(nullptr);
    FillPage(server, 0, 1, Server("0x2000", "2", {"10", "11"}, "1"));
    FillPage(server, 1, 1, Server("0x2001", "4", {"20", "21", "22", "23"}, "0"));
    ASSERT_TRUE(Ok(server)) << LastMessage().toStdString();
    client->FormShow(nullptr);
    FillPage(client, 0, 1, Client("5", "0x1000", "100", false));
    QStringList onChange = Client("5", "0x1001", "0", true);
    onChange[5] = "Y";
    FillPage(client, 1, 1, onChange);
    ASSERT_TRUE(Ok(client)) << LastMessage().toStdString();
    pdo->FormShow(nullptr);
    FillPage(pdo, 0, 1, Pdo("0x181", "3", {"100", "101", "102"}, "500", false));
    FillPage(pdo, 1, 1, Pdo("0x201", "1", {"0"}, "1000", true));
    ASSERT_TRUE(Ok(pdo)) << LastMessage().toStdString();

    const TImageResult image = Build_Image(Tmp.path(), 6);
    ASSERT_EQ(image.Status, TBuildStatus::Built) << image.Note.toStdString();
    const QByteArray& bank = image.Bank;
    EXPECT_EQ(bank.mid(0, 32).toHex(' '),
              Hex("00000000 0020 01 00 00000000 0000 0000 0000 0000 0a00 0b00 0000 0000 02 00 0000").toHex(' '));
    EXPECT_EQ(int(bank.at(16384 + 29)), 1);
    EXPECT_EQ(bank.mid(49152, 32).toHex(' '),
              Hex("81010000 0000 00 00 f4010000 6400 6500 6600 0000 0000 0000 0000 0000 03 00 0000").toHex(' '));
    EXPECT_EQ(bank.mid(77996, 24), Hex("01000000 01000000 01000000 01000000 01000000 01000000"));
    // The client write row, sent on change (the client write table starts 40960 bytes in).
    EXPECT_EQ(int(bank.at(40960 + 29)), 3);

    EDS_Load_PDO();
    EXPECT_EQ(Num_RPDO, 1);
    EXPECT_EQ(Num_TPDO, 1);
    const QStringList eds = EDS_Lines(Now());
    EXPECT_TRUE(eds.contains("NrOfRXPDO=1"));
    EXPECT_TRUE(eds.contains("NrOfTXPDO=1"));
}
