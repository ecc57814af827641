// The CAN receive and transmit frame editors: columns and hints, loading
// with every default, the frame checks and the image built from their files.
#include "OthersKit.h"

#include "editors/UReceiveCAN.h"
#include "editors/UTransmitCAN.h"
#include "image/USaveBincc.h"

namespace {

// Enable, CobID, Type, Dim, TimeOut, Byte1..Byte8, Mnemonic.
QStringList Rec(const char* cob, const char* type, const char* dim, const QStringList& bytes = {},
                const char* timeout = "0", const char* enable = "Y")
{
    QStringList row = {enable, cob, type, dim, timeout};
    for (int k = 0; k < 8; ++k)
        row << (k < bytes.size() ? bytes[k] : QString());
    row << "";
    return row;
}
// Enable, CobID, Type, Dim, OnChange, OnCMD, OnTimer, Time, Byte1..Byte8, Mnemonic.
QStringList Send(const char* cob, const char* type, const char* dim, const char* onTimer, const char* time,
                 const QStringList& bytes = {})
{
    QStringList row = {"Y", cob, type, dim, "Y", "N", onTimer, time};
    for (int k = 0; k < 8; ++k)
        row << (k < bytes.size() ? bytes[k] : QString());
    row << "";
    return row;
}
const char* const A11 = "2.0A (11 bits)";
const char* const B29 = "2.0B (29 bits)";

} // namespace

TEST_F(OthersTest, CanFrameEditorsColumnsHintsAndShowing)
{
    auto* rec = Make<TFReceiveCAN>();
    auto* send = Make<TFTransmitCAN>();
    EXPECT_EQ(rec->ClientWidth(), 1010);
    EXPECT_EQ(send->ClientWidth(), 1100);
    EXPECT_EQ(rec->Caption(), "Receive CAN Frames Set Access");
    EXPECT_EQ(send->Btn_PasteRow->Caption(), "Paste Row");
    EXPECT_EQ(rec->Btn_OK->Hint(), "Confirm and save the Receive CAN Frames List");
    EXPECT_EQ(rec->sga->ColCount(), 15);
    EXPECT_EQ(send->sga->ColCount(), 18);
    EXPECT_EQ(send->Cell(TC_OnCMD, 0), "OnCMD");
    EXPECT_EQ(send->Cell(TC_Byte8, 0), "Byte8");
    EXPECT_EQ(rec->sga->DefaultRowHeight(), 22);

    QString hint = "cell text";
    rec->ACG_CAN_ReceiveGridHint(rec->sga, 0, RC_Mnemonic, hint);
    EXPECT_EQ(hint, "Insert a description of the CAN Frame");
    rec->ACG_CAN_ReceiveGridHint(rec->sga, 0, RC_TimeOut, hint);
    EXPECT_TRUE(hint.startsWith("Insert the TimeOut in milliseconds")) << hint.toStdString();
    send->ACG_CAN_TransmitGridHint(send->sga, 0, TC_OnCMD, hint);
    EXPECT_EQ(hint, "Enable or Disable the possibility to send the CAN Frame by Command");
    // The grid's own hint event reaches the handler.
    ASSERT_TRUE(bool(rec->sga->OnGridHint));
    hint.clear();
    rec->sga->OnGridHint(rec->sga, 0, RC_CAN_Type, hint);
    EXPECT_TRUE(hint.startsWith("Select the Type of CAN")) << hint.toStdString();
    EXPECT_TRUE(bool(rec->sga->OnDblClickCell) && bool(rec->sga->OnKeyPress));
    hint = "cell text";
    rec->ACG_CAN_ReceiveGridHint(rec->sga, 3, RC_Mnemonic, hint);
    EXPECT_EQ(hint, "");
    hint = "x";
    send->ACG_CAN_TransmitGridHint(send->sga, 0, 0, hint);
    EXPECT_EQ(hint, "");

    // The hints follow the texts loaded when the dialog is shown.
    Texts[1146] = QStringLiteral("Beschreibung");
    send->FormShow(nullptr);
    send->ACG_CAN_TransmitGridHint(send->sga, 0, TC_Mnemonic, hint);
    EXPECT_EQ(hint, "Beschreibung");

    rec->FormShow(nullptr);
    EXPECT_EQ(rec->Cell(RC_Enable, 512), "Y");
    EXPECT_EQ(rec->Cell(RC_COBID, 512), "");
    TStrings* items = rec->sga->Columns()->Items(RC_Byte8)->ComboItems();
    ASSERT_EQ(items->Count(), 1440);
    EXPECT_EQ(items->Strings(0), "None");
    EXPECT_EQ(items->Strings(1439), "1438");
}

TEST_F(OthersTest, CanByteItemsAreBuiltOncePerShowingAndShared)
{
    auto* send = Make<TFTransmitCAN>();
    for (int showing = 0; showing < 2; ++showing) {
        send->FormShow(nullptr);
        TStrings* first = send->sga->Columns()->Items(TC_Byte1)->ComboItems();
        ASSERT_EQ(first->Count(), 1440);
        for (int col = TC_Byte1 + 1; col <= TC_Byte8; ++col) {
            TStrings* items = send->sga->Columns()->Items(col)->ComboItems();
            ASSERT_EQ(items->Count(), 1440) << col;
            // Texts made once and shared, not made again for each column.
            for (int k : {0, 1, 700, 1439})
                EXPECT_EQ(items->Strings(k).constData(), first->Strings(k).constData()) << col << ' ' << k;
        }
    }
}

TEST_F(OthersTest, CanFramesLoadWithTheirDefaults)
{
    auto* rec = Make<TFReceiveCAN>();
    auto* send = Make<TFTransmitCAN>();
    Write(File_CAN_Rec_Frames, "<Receive_Frames><row COBID=\"0x181\" Dim=\"2\" Byte1=\"10\"/></Receive_Frames>");
    Write(File_CAN_Send_Frames, "<Transmit_Frames>"
                                "<row Enable=\"N\" COBID=\"1\" Dim=\"1\" Byte1=\"5\"/>"
                                "<row COBID=\"2\" OnTimer=\"Y\" OnChange=\"N\"/>"
                                "<row COBID=\"3\" OnTimer=\"y\" CAN_Type=\"\"/>"
                                "</Transmit_Frames>");
    rec->FormShow(nullptr);
    send->FormShow(nullptr);
    EXPECT_TRUE(Script.Shown.isEmpty()) << LastMessage().toStdString();
    EXPECT_EQ(RowOf(rec, 1), Rec("0x181", "", "2", {"10"}, "0"));
    EXPECT_EQ(RowOf(send, 1),
              QStringList({"N", "1", A11, "1", "Y", "N", "N", "", "5", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(RowOf(send, 2).mid(0, 8), QStringList({"Y", "2", A11, "", "N", "N", "Y", "0"}));
    // Only the exact "Y" gives the period its default.
    EXPECT_EQ(RowOf(send, 3).mid(0, 8), QStringList({"Y", "3", "", "", "Y", "N", "y", ""}));
}

TEST_F(OthersTest, CanAFileInTheListLayoutLoadsAsOneEmptyFrame)
{
    auto* rec = Make<TFReceiveCAN>();
    auto* send = Make<TFTransmitCAN>();
    Model_Code = 5;
    Write(File_CAN_Rec_Frames, "<PROFINET_to_Receive_CAN><Receive_Frames><row Cob_Id=\"5\" Type=\"2.0A (11 bits)\" "
                               "Dimension=\"1\" TimeOut=\"0\" Mnemonic=\"\"/></Receive_Frames></PROFINET_to_Receive_CAN>");
    Write(File_CAN_Send_Frames, "<PROFINET_to_Send_CAN><Send_Frames/></PROFINET_to_Send_CAN>");
    rec->FormShow(nullptr);
    send->FormShow(nullptr);
    EXPECT_EQ(RowOf(rec, 1), Rec("", "", "", {}, "0"));
    EXPECT_EQ(RowOf(send, 1).mid(0, 8), QStringList({"Y", "", A11, "", "Y", "N", "N", ""}));
    ASSERT_TRUE(Ok(rec));
    ASSERT_TRUE(Ok(send));
    EXPECT_EQ(Read(File_CAN_Rec_Frames), QByteArray("<Receive_Frames />\n<!--SW_VERSION = 1.101-->\n"));
    EXPECT_EQ(Read(File_CAN_Send_Frames), QByteArray("<Transmit_Frames />\n<!--SW_VERSION = 1.101-->\n"));
}

TEST_F(OthersTest, CanFramesAreWrittenAsTypedUpToTheFirstBlankCobId)
{
    auto* send = Make<TFTransmitCAN>();
    Model_Code = 9; // not the CAN model: no version comment
    send->FormShow(nullptr);
    Fill(send, 1, Send("0x7FF", A11, "1", "N", "abc", {"None", "x"}));
    Fill(send, 2, Send(" ", A11, "1", "N", ""));
    Fill(send, 3, Send("1", A11, "1", "N", ""));
    ASSERT_TRUE(Ok(send)) << LastMessage().toStdString();
    EXPECT_EQ(Read(File_CAN_Send_Frames),
              QByteArray("<Transmit_Frames>\n\t<row Enable=\"Y\" COBID=\"0x7FF\" CAN_Type=\"2.0A (11 bits)\" Dim=\"1\" "
                         "OnChange=\"Y\" OnCMD=\"N\" OnTimer=\"N\" Time=\"abc\" Byte1=\"None\" Byte2=\"x\" Byte3=\"\" "
                         "Byte4=\"\" Byte5=\"\" Byte6=\"\" Byte7=\"\" Byte8=\"\" Mnemonic=\"\" />\n"
                         "</Transmit_Frames>\n"));
}

TEST_F(OthersTest, CanReceiveChecks)
{
    auto* rec = Make<TFReceiveCAN>();
    const QString E = "Error row 1!! ";
    const struct {
        const char* name;
        QStringList row;
        QString message;
    } cases[] = {
        {"11-bit hexadecimal", Rec("0x7FF", A11, "1"), ""},
        {"11-bit 2048", Rec("2048", A11, "1"), E + "CobID must be between 0 and 2047"},
        {"type is trimmed", Rec("2048", " 2.0A (11 bits) ", "1"), E + "CobID must be between 0 and 2047"},
        {"29-bit top", Rec("536870911", B29, "1"), ""},
        {"29-bit over", Rec("536870912", B29, "1"), E + "CobID must be between 0x00000000 and 0x1FFFFFFF"},
        {"29-bit spaced type", Rec("536870911", " 2.0B (29 bits)", "1"), ""},
        {"empty type is 11-bit", Rec("2048", "", "1"), E + "CobID must be between 0 and 2047"},
        {"other case is 11-bit", Rec("2048", "2.0b (29 bits)", "1"), E + "CobID must be between 0 and 2047"},
        {"negative", Rec("-1", A11, "1"), E + "CobID must be between 0 and 2047"},
        {"enabled with blanks", Rec("x", A11, "1", {}, "0", " y "), E + "CobID must be between 0 and 2047"},
        {"disabled", Rec("x", A11, "0", {}, "x", "N"), ""},
        {"dimension 0", Rec("1", A11, "0"), E + "Dimension must be between 1 and 8"},
        {"dimension 9", Rec("1", A11, "9"), E + "Dimension must be between 1 and 8"},
        {"timeout top", Rec("1", A11, "1", {}, "100000000"), ""},
        {"timeout over", Rec("1", A11, "1", {}, "100000001"), E + "TimeOut must be between 0 and 100000000 milliseconds"},
        {"byte beyond the dimension", Rec("1", A11, "2", {"1", "2", "abc"}), ""},
        {"byte within the dimension", Rec("1", A11, "2", {"1", "abc"}), E + "Byte2 must be between 0 and 1438 or None"},
        {"None", Rec("1", A11, "8", {"None", " None ", "", "0", "1438", "$10", "0x5", "None"}), ""},
        {"none in lower case", Rec("1", A11, "1", {"none"}), E + "Byte1 must be between 0 and 1438 or None"},
        {"byte 1439", Rec("1", A11, "8", {"0", "0", "0", "0", "0", "0", "0", "1439"}),
         E + "Byte8 must be between 0 and 1438 or None"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Check(rec, {c.row}), c.message) << c.name;
    // A blank CobID in row 4 ends the table.
    EXPECT_EQ(Check(rec, {Rec("1", A11, "1"), Rec("2", A11, "1"), Rec("3", A11, "1"), Rec("", A11, "x"),
                          Rec("x", A11, "x")}),
              "");
    EXPECT_EQ(Check(rec, {Rec("1", A11, "1"), Rec("1", A11, "1", {"1439"})}),
              "Error row 2!! Byte1 must be between 0 and 1438 or None");
}

TEST_F(OthersTest, CanTransmitChecks)
{
    auto* send = Make<TFTransmitCAN>();
    const QString E = "Error row 1!! ";
    const struct {
        const char* name;
        QStringList row;
        QString message;
    } cases[] = {
        {"timer with letters", Send("1", A11, "1", "Y", "abc"), E + "Time must be between 0 and 100000000 milliseconds"},
        {"timer empty", Send("1", A11, "1", "Y", ""), E + "Time must be between 0 and 100000000 milliseconds"},
        {"timer ticked in lower case", Send("1", A11, "1", " y", "abc"), E + "Time must be between 0 and 100000000 milliseconds"},
        {"no timer", Send("1", A11, "1", "N", "abc"), ""},
        {"timer top", Send("1", A11, "1", "Y", "100000000"), ""},
        {"timer over", Send("1", A11, "1", "Y", "100000001"), E + "Time must be between 0 and 100000000 milliseconds"},
        {"11-bit 2048", Send("2048", A11, "1", "N", ""), E + "CobID must be between 0 and 2047"},
        {"empty type 2048", Send("2048", "", "1", "N", ""), E + "CobID must be between 0 and 2047"},
        {"29-bit over", Send("536870912", B29, "1", "N", ""), E + "CobID must be between 0x00000000 and 0x1FFFFFFF"},
        {"dimension", Send("1", A11, "", "N", ""), E + "Dimension must be between 1 and 8"},
        {"byte 3 of 3", Send("1", A11, "3", "N", "", {"0", "0", "1439", "1439"}), E + "Byte3 must be between 0 and 1438 or None"},
        {"byte 4 of 3", Send("1", A11, "3", "N", "", {"0", "0", "0", "1439"}), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Check(send, {c.row}), c.message) << c.name;
    QStringList quiet = Send("1", A11, "1", "N", "");
    quiet[4] = "N";
    EXPECT_EQ(Check(send, {quiet}), "");
}

TEST_F(OthersTest, CanCopyAndPasteWithinAShowing)
{
    auto* rec = Make<TFReceiveCAN>();
    rec->FormShow(nullptr);
    Fill(rec, 1, Rec("5", A11, "1", {"3"}));
    rec->sga->SetRow(1);
    rec->Btn_CopyRowClick(nullptr);
    EXPECT_TRUE(rec->Do_Copy);
    rec->sga->SetRow(2);
    rec->Btn_PasteRowClick(nullptr);
    EXPECT_TRUE(Script.Shown.isEmpty());
    EXPECT_EQ(RowOf(rec, 2), RowOf(rec, 1));
    rec->FormShow(nullptr);
    EXPECT_FALSE(rec->Do_Copy);
    rec->Btn_PasteRowClick(nullptr);
    EXPECT_EQ(LastMessage(), "Error!!! Copy a valid row before Paste it");
    Script.Answer(mrYes);
    rec->sga->SetRow(3);
    rec->Btn_DelRowClick(nullptr);
    EXPECT_EQ(LastMessage(), "Are you sure to delete the Row number 3");
}

TEST_F(OthersTest, CanFramesSavedByTheDialogsBuildTheImage)
{
    Model_Code = 5;
    auto* rec = Make<TFReceiveCAN>();
    auto* send = Make<TFTransmitCAN>();
    rec->FormShow(nullptr);
    Fill(rec, 1, Rec("0x181", A11, "2", {"10", "None"}, "1000"));
    ASSERT_TRUE(Ok(rec)) << LastMessage().toStdString();
    send->FormShow(nullptr);
    QStringList frame = Send("536870911", B29, "8", "Y", "100", {"0", "1", "2", "3", "4", "5", "6", "7"});
    Fill(send, 1, frame);
    ASSERT_TRUE(Ok(send)) << LastMessage().toStdString();
    const TImageResult image = Build_Image(Tmp.path(), 5);
    ASSERT_EQ(image.Status, TBuildStatus::Built) << image.Note.toStdString();
    EXPECT_EQ(image.Bank.mid(0, 32).toHex(' '),
              Hex("81010000 00000000 e8030000 00 00 02 00 0a00 ffff ffff ffff ffff ffff ffff ffff").toHex(' '));
    EXPECT_EQ(image.Bank.mid(32, 32).toHex(' '),
              Hex("ffffff9f 64000000 00000000 00 07 08 00 0000 0100 0200 0300 0400 0500 0600 0700").toHex(' '));
    EXPECT_EQ(image.Bank.mid(53360, 4), Hex("02000000"));
}
