// From a new project to the device image through the program's own windows:
// the rows are typed and clicked into the three model-9 editors with the
// platform's input layer, saved with OK, and "Update Device" writes them into
// bin/bank.bin where and as the image builder lays them out.
#include "KnxKit.h"

#include "app/UBootTCP.h"
#include "app/UKalmetoreFirmWare.h"
#include "app/UNew_Project.h"
#include "editors/EditorSteps.h"
#include "editors/UReceiveJ1939.h"
#include "editors/UTransmitJ1939.h"
#include "image/ImageTestUtil.h"
#include "image/USaveBincc.h"
#include "platform/controls/Input.h"
#include "platform/controls/Messages.h"
#include "platform/controls/Timers.h"
#include "platform/sys/LinkOpener.h"

#include <QScopeGuard>

namespace {

// Cell input as a person gives it: a click makes the cell current (a check
// box ticks), typing opens its editor with the first character, Enter
// closes it. A list cell takes the item the typed letters lead to.
void Click(TExColumnGrid* g, int c, int r)
{
    const TRect rc = g->CellRect(c, r);
    Input::Click(g, (rc.Left + rc.Right) / 2, (rc.Top + rc.Bottom) / 2);
    DrainPostedMessages();
}

void Put(TExColumnGrid* g, int c, int r, const QString& text)
{
    // A person's pause between two cells: a list's type-ahead starts anew.
    AdvanceTime(2000);
    Click(g, c, r);
    // A click on the current cell opened its editor, its text selected.
    for (QChar ch : text) {
        Input::Char(ch);
        DrainPostedMessages();
    }
    Input::KeyStroke(VK_RETURN, 0);
    DrainPostedMessages();
}

struct TCell {
    int Col;
    const char* Text; // nullptr: a click on the check box
};

void Enter_Row(TExColumnGrid* g, int r, std::initializer_list<TCell> cells)
{
    for (const TCell& c : cells) {
        if (c.Text)
            Put(g, c.Col, r, QString::fromLatin1(c.Text));
        else
            Click(g, c.Col, r);
    }
}

class EndToEnd : public MapEditorTest {
protected:
    void SetUp() override
    {
        MapEditorTest::SetUp();
        Saved_Model = Model_Code;
        Start_Model9_Program_In(Program.path());
        SetTickCountForTest(100000);
    }
    void TearDown() override
    {
        Show_Update_Wizard = {};
        Device_Image_Writer = {};
        SetTickCountForTest(-1);
        Clear_Language_Listeners();
        Clear_Steps();
        Set_Program_Start_Folder(QString());
        Sys::SetLinks(nullptr);
        Name_Project.clear();
        Model_Code = Saved_Model;
        MapEditorTest::TearDown();
        Set_Files();
    }
    QTemporaryDir Program;
    int Saved_Model = 9;
};

} // namespace

TEST_F(EndToEnd, RowsTypedIntoTheEditorsReachTheDeviceImage)
{
    // The windows as the program's main block makes and connects them.
    std::unique_ptr<TFKalmetoreFirmWare> main(NewObject<TFKalmetoreFirmWare>(nullptr));
    std::unique_ptr<TFNew_Project> newProject(NewObject<TFNew_Project>(nullptr));
    std::unique_ptr<TFKNXAccess> knx(NewObject<TFKNXAccess>(nullptr));
    std::unique_ptr<TFReceiveJ1939> rec(NewObject<TFReceiveJ1939>(nullptr));
    std::unique_ptr<TFTransmitJ1939> send(NewObject<TFTransmitJ1939>(nullptr));
    Register_Editor_Steps();
    Device_Image_Writer = Write_Device_Image;
    int wizardShows = 0;
    Show_Update_Wizard = [&] { ++wizardShows; };
    const auto cleanUp = qScopeGuard([] {
        FKalmetoreFirmWare = nullptr;
        FNew_Project = nullptr;
    });

    // New project.
    Script.AnswerModal([&](TCustomForm* f) {
        ASSERT_EQ(f, newProject.get());
        newProject->E_New_Proj->SetText("Plant E2E");
        newProject->Btn_OK->Click();
    });
    main->Button(TMainButton::New)->Click();
    ASSERT_EQ(Dir_Project, Dir_Projects + "/Plant E2E");

    // Three KNX rows (Enable stands ticked in a new table): Extended, ReTest
    // and On_Command ticked and unticked again (so "N"), On_Change ticked.
    Script.AnswerModal([&](TCustomForm* f) {
        ASSERT_EQ(f, knx.get());
        TExColumnGrid* g = knx->sga;
        const struct {
            const char *Source, *Dest, *Position;
        } rows[] = {{"1.1.10", "1/2/3", "0"}, {"1.1.11", "1/2/4", "2"}, {"1.1.12", "1/2/5", "4"}};
        int r = 1;
        for (const auto& row : rows) {
            EXPECT_EQ(knx->Cell(KA_Enable, r), "Y");
            Enter_Row(g, r,
                      {{KA_Source, row.Source},
                       {KA_Dest, row.Dest},
                       {KA_APCI, "Write"},
                       {KA_Priority, "L"},
                       {KA_Format, "N"},
                       {KA_Extended, nullptr},
                       {KA_Extended, nullptr},
                       {KA_ReTest, nullptr},
                       {KA_ReTest, nullptr},
                       {KA_On_Command, nullptr},
                       {KA_On_Command, nullptr},
                       {KA_On_Change, nullptr},
                       {KA_On_Timer, nullptr},
                       {KA_On_Timer, nullptr},
                       {KA_Position, row.Position},
                       {KA_Bit_Mode, "N"},
                       {KA_Length, "2"}});
            ++r;
        }
        EXPECT_EQ(knx->Cell(KA_Priority, 1), "Low");
        EXPECT_EQ(knx->Cell(KA_Bit_Mode, 3), "No");
        EXPECT_EQ(knx->Cell(KA_Position, 3), "4");
        knx->Btn_OK->Click();
        EXPECT_EQ(knx->ModalResult(), mrOk) << LastMessage().toStdString();
    });
    main->Button(TMainButton::KNX_Access)->Click();

    // Two receive rows.
    Script.AnswerModal([&](TCustomForm* f) {
        ASSERT_EQ(f, rec.get());
        TExColumnGrid* g = rec->sga;
        Enter_Row(g, 1, {{RJ_DP, "0"}, {RJ_PGN, "65262"}, {RJ_SA, "0"}, {RJ_OnReq_Time, "1000"}});
        Enter_Row(g, 2, {{RJ_DP, "1"}, {RJ_PGN, "256"}, {RJ_SA, "7"}, {RJ_Delete, nullptr}, {RJ_OnReq_Time, "500"}});
        rec->Btn_OK->Click();
        EXPECT_EQ(rec->ModalResult(), mrOk) << LastMessage().toStdString();
    });
    main->Button(TMainButton::J1939_Rec_Frame)->Click();

    // Two transmit rows.
    Script.AnswerModal([&](TCustomForm* f) {
        ASSERT_EQ(f, send.get());
        TExColumnGrid* g = send->sga;
        Enter_Row(g, 1,
                  {{TJ_Priority, "6"},
                   {TJ_DP, "0"},
                   {TJ_PGN, "61444"},
                   {TJ_SA, "0"},
                   {TJ_TP_NByte, "8"},
                   {TJ_On_Timer, nullptr},
                   {TJ_SendTimer, "100"}});
        Enter_Row(g, 2, {{TJ_Priority, "3"}, {TJ_DP, "1"}, {TJ_PGN, "256"}, {TJ_SA, "7"}, {TJ_TP_NByte, "4"}});
        send->Btn_OK->Click();
        EXPECT_EQ(send->ModalResult(), mrOk) << LastMessage().toStdString();
    });
    main->Button(TMainButton::J1939_Send_Frame)->Click();
    for (const TDialogRecord& r : Script.Shown)
        EXPECT_NE(r.Kind, TDialogKind::MessageBox) << r.Text.toStdString();

    // Update Device.
    main->Button(TMainButton::CreateBin)->Click();
    EXPECT_EQ(wizardShows, 1);
    const QByteArray bank = Read(Dir_Project + "/bin/bank.bin");
    ASSERT_EQ(bank.size(), 55296);

    // The receive table: the first row as the image tests have it; the
    // second with data page 1, its delete time and its data after the
    // first row's 8 bytes.
    EXPECT_EQ(bank.mid(0, 32), Hex("00eefe00 00000000 00000000 0000 0000 0800 0000 e8030000 00000000 0000 00 00"));
    EXPECT_EQ(ReadLE(bank, 32, 4), 0x01010007u);
    EXPECT_EQ(bank.mid(32 + 20, 4), Hex("f4010000"));
    EXPECT_EQ(bank.mid(64, 32), Hex("ffffffff ffffffff ffffffff 0000 0000 0000 0000 ffffffff 00000000 0000 00 00"));
    // The send table, as the image tests have these two rows.
    EXPECT_EQ(bank.mid(16384, 32), Hex("0004f018 64000000 ffffffff 0000 0000 0800 0000 ffffffff 00000000 0000 11 00"));
    EXPECT_EQ(bank.mid(16416, 32), Hex("0700010d 00000000 ffffffff 0800 0000 0400 0000 ffffffff 00000000 0000 01 00"));
    // The KNX table: 20-byte records; source and destination codes and the
    // position differ from row to row.
    EXPECT_EQ(bank.mid(32768, 20), Hex("00000000 00000000 03 02 2100 8000 0a11 030a 0000"));
    EXPECT_EQ(bank.mid(32788, 20), Hex("00000000 00000000 03 02 2100 8000 0b11 040a 0200"));
    EXPECT_EQ(bank.mid(32808, 20), Hex("00000000 00000000 03 02 2100 8000 0c11 050a 0400"));
    EXPECT_EQ(bank.mid(32828, 20), QByteArray(20, '\0'));

    const QByteArray block = bank.mid(53248);
    EXPECT_EQ(ReadLE(block, 144, 4), 2u); // receive rows
    EXPECT_EQ(ReadLE(block, 148, 4), 2u); // send rows
    EXPECT_EQ(ReadLE(block, 456, 4), 3u); // KNX objects
    EXPECT_EQ(ReadLE(block, 2044, 4), ByteSum(block, 0, 2044));
}
