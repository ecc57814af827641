// The older CAN dialogs that no step opens: the frame lists in their own
// layout and the byte maps of their frames.
#include "OthersKit.h"

#include "editors/UCAN_Rec_Frames.h"
#include "editors/UCAN_Send_Frame.h"
#include "editors/U_Rec_Info.h"
#include "editors/U_Sen_Info.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"

namespace {

QByteArray RecFrames(const QByteArray& rows)
{
    return "<PROFINET_to_Receive_CAN><Receive_Frames>" + rows + "</Receive_Frames></PROFINET_to_Receive_CAN>";
}
QByteArray Frame(const char* cob, const char* dim)
{
    return QByteArray("<row Cob_Id=\"") + cob + "\" Type=\"2.0A (11 bits)\" Dimension=\"" + dim +
           "\" TimeOut=\"0\" Mnemonic=\"\"/>";
}

} // namespace

TEST_F(OthersTest, CanFrameListsCheckAndWriteTheirLayout)
{
    auto* rec = Make<TFCAN_Rec_Frames>();
    auto* send = Make<TFCAN_Send_Frame>();
    EXPECT_EQ(rec->ClientWidth(), 759);
    EXPECT_EQ(send->Caption(), "Send CAN Frames");
    EXPECT_EQ(send->Cell(SL_Send_Type, 0), "Send Frame Type");
    EXPECT_EQ(rec->sga->RowCount(), 501);
    const QString E = "Error row 1!! ";
    const struct {
        QStringList row;
        QString message;
    } recCases[] = {
        {{"0x7FF", "2.0a (11 BITS)", "1", "10000000", ""}, ""},
        {{"2048", "2.0A (11 bits)", "1", "0", ""}, E + "CAN Cob-Id must be between 0x000 and 0x7FF"},
        {{"536870911", "other", "1", "0", ""}, ""},
        {{"536870912", "2.0B (29 bits)", "1", "0", ""}, E + "CAN Cob-Id must be between 0x000 and 0x1FFFFFFF"},
        {{"abc", "2.0B (29 bits)", "1", "0", ""}, E + "CAN Cob-Id must be between 0x000 and 0x1FFFFFFF"},
        {{"1", " ", "1", "0", ""}, E + "Cob-Id Type must be 2.0A (11 bits) or 2.0B (29 bits)"},
        {{"1", "2.0A (11 bits)", "9", "0", ""}, E + "CAN Dimension must be between 1 and 8"},
        {{"1", "2.0A (11 bits)", "1", "10000001", ""}, E + "TimeOut must be between 0 and 10000000 ms"},
    };
    for (const auto& c : recCases)
        EXPECT_EQ(Check(rec, {c.row}), c.message) << c.row.join('|').toStdString();
    EXPECT_EQ(Check(send, {{"1", "2.0A (11 bits)", "1", "anything", "10000001", ""}}),
              "Error row 1!! TimeOut must be between 0 and 10000000 ms");
    EXPECT_EQ(Check(send, {{"1", "2.0A (11 bits)", "1", "", "10000000", ""}}), "");

    // A Cob-ID of 0 is a frame like any other: it and the rows below are saved.
    Model_Code = 5;
    rec->FormShow(nullptr);
    Fill(rec, 1, {"0", "2.0A (11 bits)", "1", "0", "zero"});
    Fill(rec, 2, {"5", "2.0A (11 bits)", "2", "100", ""});
    ASSERT_TRUE(Ok(rec)) << LastMessage().toStdString();
    EXPECT_EQ(Read(File_CAN_Rec_Frames),
              QByteArray("<PROFINET_to_Receive_CAN>\n\t<Receive_Frames>\n"
                         "\t\t<row Cob_Id=\"0\" Type=\"2.0A (11 bits)\" Dimension=\"1\" TimeOut=\"0\" Mnemonic=\"zero\" />\n"
                         "\t\t<row Cob_Id=\"5\" Type=\"2.0A (11 bits)\" Dimension=\"2\" TimeOut=\"100\" Mnemonic=\"\" />\n"
                         "\t</Receive_Frames>\n</PROFINET_to_Receive_CAN>\n<!--SW_VERSION = 1.101-->\n"));
    rec->FormShow(nullptr);
    EXPECT_EQ(rec->Cell(RL_Mnemonic, 1), "zero");

    // A file in the frame editors' layout has no list: the load stops.
    Write(File_CAN_Rec_Frames, "<Receive_Frames><row COBID=\"1\"/></Receive_Frames>");
    Script.Shown.clear();
    rec->FormShow(nullptr);
    EXPECT_EQ(Script.Shown.size(), 1);
    EXPECT_EQ(rec->Cell(RL_Cob_Id, 1), "");
}

TEST_F(OthersTest, CanByteMapWithoutFramesDisablesEveryByte)
{
    Model_Code = 5;
    auto* f = Make<TF_Rec_Info>();
    EXPECT_EQ(f->ClientWidth(), 654);
    EXPECT_EQ(f->ClientHeight(), 508);
    EXPECT_EQ(f->Byte_Caption[7]->Caption(), "Byte 8 of frame CAN go to byte");
    f->FormShow(nullptr);
    for (TPanel* p : f->Panel)
        EXPECT_FALSE(p->Enabled());
    f->bitbtn1Click(nullptr);
    EXPECT_EQ(f->ModalResult(), mrOk);
    EXPECT_EQ(Read(File_CAN_Rec_Info), QByteArray("<Receive_Frames_Info />\n<!--SW_VERSION = 1.101-->\n"));
}

TEST_F(OthersTest, CanByteMapFieldsAndTheDuplicateCheck)
{
    Model_Code = 5;
    Write(File_CAN_Rec_Frames, RecFrames(Frame("0x100", "3") + Frame("0x200", "2")));
    Write(File_CAN_Rec_Info, "<Receive_Frames_Info><row B1=\"12\" B2=\"65535\" B3=\"3\" B4=\"9\" B5=\"9\" B6=\"9\" "
                             "B7=\"9\" B8=\"9\"/></Receive_Frames_Info>");
    auto* f = Make<TF_Rec_Info>();
    f->FormShow(nullptr);
    EXPECT_TRUE(Script.Shown.isEmpty()) << LastMessage().toStdString();
    ASSERT_EQ(f->Data_arr.size(), 2u);
    EXPECT_EQ(f->ListBox1->Items()->Strings(1), "0x200");
    EXPECT_EQ(f->Edit[0]->Text(), "12");
    EXPECT_EQ(f->Edit[1]->Text(), "none");
    EXPECT_EQ(f->Edit[2]->Text(), "3");
    EXPECT_EQ(f->Edit[3]->Text(), "none"); // beyond the dimension: not read
    EXPECT_TRUE(f->Panel[2]->Enabled());
    EXPECT_FALSE(f->Panel[3]->Enabled());
    EXPECT_TRUE(f->Not_In_Use[3]->Visible());
    EXPECT_FALSE(f->Not_In_Use[2]->Visible());

    // Field rules on leaving a field.
    f->Edit[0]->SetText("1439");
    f->Edit_Done(1);
    EXPECT_EQ(LastMessage(), "Error Byte 1!! Value have to be between 0 to 1438 or none");
    EXPECT_EQ(f->Data_arr[0].PosB[0], 12);
    for (const char* none : {"NoNe", "", "  "}) {
        f->Edit[0]->SetText(QString::fromLatin1(none));
        f->Edit_Done(1);
        EXPECT_EQ(f->Data_arr[0].PosB[0], 65535) << none;
    }
    f->Edit[0]->SetText("1438");
    f->Edit_Done(1);
    EXPECT_EQ(f->Data_arr[0].PosB[0], 1438);

    // Byte 2 of the second frame and byte 1 of the first on one position.
    f->Edit[0]->SetText("12");
    f->Edit_Done(1);
    f->ListBox1->SetItemIndex(1);
    f->ListBox1Click(nullptr);
    EXPECT_FALSE(f->Panel[2]->Enabled());
    f->Edit[1]->SetText("12");
    f->Edit_Done(2);
    Script.Shown.clear();
    f->bitbtn1Click(nullptr);
    EXPECT_EQ(LastMessage(), "Error!! The Byte 12 is used in COB ID 0x200 in Byte 2 and in COB ID 0x100 in Byte 1");
    EXPECT_NE(f->ModalResult(), mrOk);

    f->Edit[1]->SetText("none");
    f->Edit_Done(2);
    f->bitbtn1Click(nullptr);
    EXPECT_EQ(f->ModalResult(), mrOk);
    EXPECT_EQ(Read(File_CAN_Rec_Info),
              QByteArray("<Receive_Frames_Info>\n"
                         "\t<row B1=\"12\" B2=\"65535\" B3=\"3\" B4=\"65535\" B5=\"65535\" B6=\"65535\" B7=\"65535\" "
                         "B8=\"65535\" />\n"
                         "\t<row B1=\"65535\" B2=\"65535\" B3=\"65535\" B4=\"65535\" B5=\"65535\" B6=\"65535\" "
                         "B7=\"65535\" B8=\"65535\" />\n"
                         "</Receive_Frames_Info>\n<!--SW_VERSION = 1.101-->\n"));
}

TEST_F(OthersTest, CanByteMapPositionsOutsideTheArrayFailTheReceiveCheck)
{
    Write(File_CAN_Rec_Frames, RecFrames(Frame("0x100", "2")));
    const QByteArray info = "<Receive_Frames_Info><row B1=\"1\" B2=\"1500\"/></Receive_Frames_Info>";
    Write(File_CAN_Rec_Info, info);
    auto* f = Make<TF_Rec_Info>();
    f->FormShow(nullptr);
    EXPECT_TRUE(Script.Shown.isEmpty()) << LastMessage().toStdString();
    f->bitbtn1Click(nullptr);
    EXPECT_EQ(LastMessage(), "Error Byte 2!! Value have to be between 0 to 1438 or none");
    EXPECT_EQ(Read(File_CAN_Rec_Info), info);
}

TEST_F(OthersTest, CanSendByteMapChecksEveryChangeAndAllowsSharedPositions)
{
    Write(File_CAN_Send_Frames, "<PROFINET_to_Send_CAN><Send_Frames>"
                                "<row Cob_Id=\"7\" Type=\"x\" Dimension=\"2\" Send_Type=\"\" Timer_Send=\"\" Mnemonic=\"\"/>"
                                "</Send_Frames></PROFINET_to_Send_CAN>");
    auto* f = Make<TF_Sen_Info>();
    f->FormShow(nullptr);
    EXPECT_EQ(f->Caption(), "Send CAN Frames Info");
    f->Edit[0]->SetText("n");
    EXPECT_EQ(LastMessage(), "Error Byte 1!! Value have to be between 0 to 1438 or none");
    f->Edit[0]->SetText("5");
    f->Edit[1]->SetText("5");
    EXPECT_EQ(f->Data_arr[0].PosB[1], 5);
    f->bitbtn1Click(nullptr);
    EXPECT_EQ(f->ModalResult(), mrOk);
    EXPECT_TRUE(Read(File_CAN_Send_Info).startsWith("<Send_Frames_Info>\n\t<row B1=\"5\" B2=\"5\" B3=\"65535\""));
}
