// The row commands of the KNX table (copy, paste, delete, insert), the row
// selection by a click on the row number, and the main window's step.
#include "KnxKit.h"
#include "platform/controls/Input.h"

#include "app/UKalmetoreFirmWare.h"
#include "editors/EditorSteps.h"
#include "editors/UReceiveJ1939.h"
#include "editors/UTransmitJ1939.h"
#include "platform/sys/LinkOpener.h"

TEST_F(KnxTest, PasteBeforeAnyCopyIsRefusedEvenWithARowFromAnEarlierShowing)
{
    Knx->FormShow(nullptr);
    Fill(1, Good_Row());
    Knx->sga->SetRow(1);
    Knx->Btn_CopyRow->Click();
    EXPECT_TRUE(Knx->Do_Copy_In_Write);
    EXPECT_FALSE(Knx->Do_Copy_In_Read);
    EXPECT_EQ(Row_Clipboard, Good_Row());
    Knx->FormShow(nullptr);
    EXPECT_FALSE(Knx->Do_Copy_In_Write);
    Knx->sga->SetRow(2);
    Knx->Btn_PasteRow->Click();
    EXPECT_EQ(Messages(), QStringList({"Error!!! Copy a valid row before Paste it"}));
    EXPECT_EQ(Knx->Cell(KA_Source, 2), "");
}

TEST_F(KnxTest, CopyThenPasteAsksOnlyForAUsedRow)
{
    Knx->FormShow(nullptr);
    Fill(1, Good_Row());
    Knx->sga->SetRow(1);
    Knx->Btn_CopyRow->Click();

    // Row 2 holds only ticked check boxes: pasted without a question.
    for (int c : {KA_Enable, KA_Extended, KA_ReTest, KA_On_Command, KA_On_Change, KA_On_Timer})
        Knx->Set_Cell(c, 2, "Y");
    Knx->sga->SetRow(2);
    Knx->Btn_PasteRow->Click();
    EXPECT_TRUE(Script.Shown.isEmpty());
    EXPECT_EQ(RowOf(2), Good_Row());

    // Row 3 holds a mnemonic: the question, and No keeps it.
    Knx->Set_Cell(KA_Mnemonic, 3, "mine");
    Knx->sga->SetRow(3);
    Script.Answer(mrNo);
    Knx->Btn_PasteRow->Click();
    EXPECT_EQ(Messages(), QStringList({"Row Already used. Do you want to overwrite the values?"}));
    EXPECT_EQ(Script.Last().Type, mtConfirmation);
    EXPECT_EQ(Knx->Cell(KA_Mnemonic, 3), "mine");
    EXPECT_EQ(Knx->Cell(KA_Source, 3), "");
    Script.Answer(mrYes);
    Knx->Btn_PasteRow->Click();
    EXPECT_EQ(RowOf(3), Good_Row());
}

TEST_F(KnxTest, DeleteAsksWithTheRowNumberAndInsertDoesNot)
{
    Knx->FormShow(nullptr);
    Fill(1, Good_Row());
    Knx->Set_Cell(KA_Source, 2, "2.2.2");
    Knx->sga->SetRow(1);
    Script.Answer(mrNo);
    Knx->Btn_DelRow->Click();
    EXPECT_EQ(LastMessage(), "Are you sure to delete the Row number 1");
    EXPECT_EQ(Knx->Cell(KA_Source, 1), "1.1.1");
    Script.Answer(mrYes);
    Knx->Btn_DelRow->Click();
    EXPECT_EQ(Knx->Cell(KA_Source, 1), "2.2.2");
    EXPECT_EQ(Knx->Cell(KA_Enable, 1), "Y");
    Script.Shown.clear();
    Knx->Btn_InsRow->Click();
    EXPECT_TRUE(Script.Shown.isEmpty());
    EXPECT_EQ(Knx->Cell(KA_Source, 1), "");
    EXPECT_EQ(Knx->Cell(KA_Source, 2), "2.2.2");
    EXPECT_EQ(Knx->Cell(0, 2), "2");
}

TEST_F(KnxTest, AClickOnTheRowNumberSelectsTheWholeRow)
{
    Knx->FormShow(nullptr);
    Knx->ACG_KNX_in_WriteClickCell(Knx->sga, 5, 3);
    EXPECT_NE(Knx->sga->Selection().Top, 5);
    Knx->ACG_KNX_in_WriteClickCell(Knx->sga, 5, 0);
    const TGridRect sel = Knx->sga->Selection();
    EXPECT_EQ(sel.Top, 5);
    EXPECT_EQ(sel.Bottom, 5);
    EXPECT_EQ(sel.Left, 1);
    EXPECT_EQ(sel.Right, Knx->sga->ColCount() - 1);
}

TEST_F(KnxTest, AMouseClickOnTheRowNumberSelectsTheWholeRow)
{
    Knx->Show();
    DrainPostedMessages();
    TExColumnGrid* g = Knx->sga;
    const TRect num = g->CellRect(0, 4);
    Input::Click(g, (num.Left + num.Right) / 2, (num.Top + num.Bottom) / 2);
    DrainPostedMessages();
    TGridRect sel = g->Selection();
    EXPECT_EQ(sel.Top, 4);
    EXPECT_EQ(sel.Bottom, 4);
    EXPECT_EQ(sel.Left, 1);
    EXPECT_EQ(sel.Right, g->ColCount() - 1);
    // A click on a data cell selects that cell only.
    const TRect src = g->CellRect(KA_Source, 6);
    Input::Click(g, (src.Left + src.Right) / 2, (src.Top + src.Bottom) / 2);
    DrainPostedMessages();
    sel = g->Selection();
    EXPECT_EQ(sel.Top, 6);
    EXPECT_EQ(sel.Left, int(KA_Source));
    EXPECT_EQ(sel.Right, int(KA_Source));
    Knx->Hide();
}

TEST_F(KnxTest, CancelWritesNothingAndTheNextShowingReloads)
{
    const QByteArray file = "<BACnet_to_KNX><KNX_in_Read/><KNX_in_Write><row Source_Address=\"1.1.1\" "
                            "Destination_Address=\"1/1\" APCI=\"Read\" Extended=\"N\" ReTest=\"N\" On_Change=\"N\" "
                            "Poll_Time=\"\" Position=\"0\" Bit_Mode=\"No\" Length=\"1\" Mnemonic=\"\"/>"
                            "</KNX_in_Write></BACnet_to_KNX>";
    Write(File_KNX_SetAccess, file);
    Script.AnswerModal([this](TCustomForm* f) {
        EXPECT_EQ(f, Knx);
        EXPECT_EQ(Knx->Cell(KA_Source, 1), "1.1.1");
        Knx->Set_Cell(KA_Source, 1, "2.2.2");
        Knx->Btn_Cancel->Click();
    });
    EXPECT_EQ(Knx->ShowModal(), mrCancel);
    EXPECT_EQ(Read(File_KNX_SetAccess), file);
    Knx->FormShow(nullptr);
    EXPECT_EQ(Knx->Cell(KA_Source, 1), "1.1.1");
}

namespace {

// The main window of model 9 in a program folder of its own.
class KnxStep : public KnxTest {
protected:
    void SetUp() override
    {
        KnxTest::SetUp();
        Name_Project.clear();
        Dir_Project.clear();
        Language = QStringLiteral("English");
        Enable_Internet = 0;
        Enable_Update = 0;
        Set_Program_Folders(Program.path());
        Force_Program_Folders();
        Set_Files();
        Sys::SetLinks(std::make_unique<Sys::FakeLinkOpener>());
        Set_Program_Start_Folder(Program.path());
        Main = new TFKalmetoreFirmWare(nullptr);
        Main->AfterConstruction();
        // The main block makes every editor the steps name.
        Rec = new TFReceiveJ1939(nullptr);
        Rec->AfterConstruction();
        Send = new TFTransmitJ1939(nullptr);
        Send->AfterConstruction();
        Register_Editor_Steps();
    }
    void TearDown() override
    {
        Clear_Language_Listeners();
        Clear_Steps();
        delete Send;
        delete Rec;
        delete Main;
        FKalmetoreFirmWare = nullptr;
        Set_Program_Start_Folder(QString());
        Sys::SetLinks(nullptr);
        KnxTest::TearDown();
    }
    QTemporaryDir Program;
    TFKalmetoreFirmWare* Main = nullptr;
    TFReceiveJ1939* Rec = nullptr;
    TFTransmitJ1939* Send = nullptr;
};

} // namespace

TEST_F(KnxStep, TheKnxAccessStepOpensTheDialogOnlyWithAProject)
{
    ASSERT_FALSE(Project_Is_Open());
    Main->Button(TMainButton::KNX_Access)->Click();
    ASSERT_EQ(Script.Shown.size(), 1);
    EXPECT_EQ(Script.Last().Text, "Error! Project not Valid");

    ASSERT_TRUE(ForceDirectories(PathJoin(Dir_Projects, QStringLiteral("K1"))));
    ASSERT_TRUE(Open_Project_Named(QStringLiteral("K1")));
    Script.Shown.clear();
    TCustomForm* shown = nullptr;
    Script.AnswerModal([&shown](TCustomForm* f) {
        shown = f;
        auto* knx = static_cast<TFKNXAccess*>(f);
        knx->Set_Cell(KA_Source, 1, "1.1.1"); // fails: the rest of the row is empty
        knx->Btn_OK->Click();
        knx->Set_Cell(KA_Source, 1, "");
        knx->Btn_OK->Click();
    });
    Main->Button(TMainButton::KNX_Access)->Click();
    EXPECT_EQ(shown, Knx);
    ASSERT_GE(Script.Shown.size(), 1);
    EXPECT_EQ(Script.Shown.first().Text,
              QStringLiteral("Error row 1!! [KNX in Write] Destination Address must be a valid KNX Group Address "
                             "(Ex. 31/2047 or 31/7/255)"));
    EXPECT_EQ(Read(PathJoin(Dir_Project, QStringLiteral("KNX_SetAccess.xml"))),
              QByteArray("<BACnet_to_KNX>\n\t<KNX_in_Read />\n\t<KNX_in_Write />\n</BACnet_to_KNX>\n"
                         "<!--SW_VERSION = 1.100-->\n"));
}

TEST_F(KnxStep, TheLanguageChangeRetextsTheDialog)
{
    Texts[168] = QStringLiteral("KNX Zugriff");
    Texts[878] = QStringLiteral("Zeile einfügen");
    Texts[203] = QStringLiteral("Stelle");
    Main->Change_Language();
    EXPECT_EQ(Knx->Caption(), "KNX Zugriff");
    EXPECT_EQ(Knx->Btn_PasteRow->Caption(), "Zeile einfügen");
    EXPECT_EQ(Knx->Cell(KA_Position, 0), "Stelle");
}
