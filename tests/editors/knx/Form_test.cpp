// Creation and showing: the layout and the limits of every model, the
// Position items, and the reset rows.
#include "KnxKit.h"

#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/Input.h"
#include "platform/controls/Messages.h"

TEST_F(KnxTest, Model9HasTheFullLayoutAndTexts)
{
    EXPECT_EQ(Knx->ClientWidth(), 1141);
    EXPECT_EQ(Knx->ClientHeight(), 337);
    EXPECT_EQ(Knx->L_SW_Code->Caption(), "CF31A06");
    EXPECT_EQ(Knx->Caption(), "KNX Set Access");
    EXPECT_EQ(Knx->L_SW_Desc->Caption(), "KNX Set Access");
    EXPECT_EQ(Knx->Btn_CopyRow->Caption(), "Copy Row");
    EXPECT_EQ(Knx->Btn_PasteRow->Caption(), "Paste Row");
    EXPECT_EQ(Knx->Btn_CopyRow->Left(), 488);
    EXPECT_EQ(Knx->Btn_PasteRow->Left(), 606);
    EXPECT_EQ(Knx->ACG_KNX_in_Write, Knx->sga);
    EXPECT_EQ(Knx->sga->RowCount(), 1025);
    // Columns 4, 9 and 10 are shown: all 17 columns count.
    EXPECT_EQ(Knx->sga->ColCount(), 17);
    for (int c : {KA_APCI, KA_On_Command, KA_On_Change})
        EXPECT_FALSE(Knx->sga->IsHiddenColumn(c)) << c;
    EXPECT_EQ(Knx->sga->Columns()->Items(KA_Mnemonic)->Width(), 96);
    QStringList headers;
    for (int c = 0; c < KA_Count; ++c)
        headers << Knx->Cell(c, 0);
    EXPECT_EQ(headers, QStringList({"N", "Enable", "Source Add", "Dest/Group", "APCI", "Priority", "Format",
                                    "Extended", "ReTest", "OnCMD", "OnChange", "OnTimer", "Poll Time", "Position",
                                    "Bit Mode", "Length", "Mnemonic"}));
    auto* apci = Knx->sga->Columns()->Items(KA_APCI);
    EXPECT_EQ(apci->Editor(), edComboEdit);
    EXPECT_EQ(apci->ComboItems()->Count(), 2);
    EXPECT_EQ(Knx->sga->Columns()->Items(KA_Priority)->ComboItems()->Strings(3), "Low");
    EXPECT_EQ(Knx->sga->Columns()->Items(KA_Format)->ComboItems()->Count(), 10);
    EXPECT_EQ(Knx->sga->Columns()->Items(KA_Bit_Mode)->ComboItems()->Strings(0), "No");
    for (int c : {KA_Enable, KA_Extended, KA_ReTest, KA_On_Command, KA_On_Change, KA_On_Timer})
        EXPECT_EQ(Knx->sga->Columns()->Items(c)->Editor(), edDataCheckBox) << c;
    EXPECT_EQ(Knx->sga->Columns()->Items(KA_Position)->Color(), TColor(0xF4D6FC));
}

TEST_F(KnxTest, ShowingResetsEveryRowEnabledAndFillsThePositions)
{
    Knx->Set_Cell(KA_Source, 7, "left over");
    Knx->Set_Cell(KA_Enable, 7, "N");
    Knx->FormShow(nullptr);
    EXPECT_TRUE(Script.Shown.isEmpty());
    QStringList reset(KA_Count - 1, QString());
    reset[0] = "Y";
    for (int r = 1; r <= 1024; ++r) {
        ASSERT_EQ(Knx->Cell(0, r), QString::number(r));
        ASSERT_EQ(RowOf(r), reset) << r;
    }
    const TStrings* items = Knx->sga->Columns()->Items(KA_Position)->ComboItems();
    ASSERT_EQ(items->Count(), 1439);
    EXPECT_EQ(items->Strings(0), "0");
    EXPECT_EQ(items->Strings(1438), "1438");
    EXPECT_EQ(Knx->Max_Num_Byte, 1439);
    // A second showing replaces the items rather than adding to them.
    Knx->FormShow(nullptr);
    EXPECT_EQ(items->Count(), 1439);
}

namespace {

struct TModelCase {
    int model;
    QByteArray parGen; // empty: no ParGen.xml
    int maxByte, readLimit, writeLimit;
    bool dmxOut;
};

} // namespace

TEST_F(KnxTest, TheLimitsOfEveryModel)
{
    const TModelCase cases[] = {
        {9, "", 1439, 0, 0, false},
        {1, "<DMX_Num_Channels>100</DMX_Num_Channels>", 1439, 0, 0, false},
        {8, "", 455, 0, 0, false},
        {12, "", 1438, 1438, 1438, false},
        {1012, "<PROFINET_NB_IN>10</PROFINET_NB_IN><PROFINET_NB_OUT>20</PROFINET_NB_OUT>", 1438, 20, 10, false},
        {12, "<PROFINET_NB_IN>x</PROFINET_NB_IN>", 1438, 1438, 1438, false},
        {13, "", 1439, 496, 496, false},
        {13, "<EtherNetIP_NB_IN>30</EtherNetIP_NB_IN><EtherNetIP_NB_OUT>40</EtherNetIP_NB_OUT>", 1439, 30, 40, false},
        {11, "", 512, 0, 0, true},
        {11, "<DMX_DMX>0</DMX_DMX><DMX_Num_Channels>100</DMX_Num_Channels>", 100, 0, 0, false},
        {1011, "<DMX_DMX>1</DMX_DMX><DMX_Num_Channels>24</DMX_Num_Channels>", 24, 0, 0, true},
        {11, "<DMX_DMX>?</DMX_DMX><DMX_Num_Channels> 9</DMX_Num_Channels>", 9, 0, 0, true},
        // A channel count the byte array cannot hold keeps the default.
        {11, "<DMX_Num_Channels>2000000000</DMX_Num_Channels>", 512, 0, 0, true},
        {11, "<DMX_Num_Channels>0</DMX_Num_Channels>", 512, 0, 0, true},
        // A file that cannot be read gives the defaults without a message.
        {11, "<DMX_DMX>0</DMX_DMX><broken", 512, 0, 0, true},
    };
    for (const TModelCase& c : cases) {
        QFile::remove(File_ParGen);
        if (!c.parGen.isEmpty())
            WriteParGen(c.parGen);
        Make(c.model);
        Script.Shown.clear();
        Knx->FormShow(nullptr);
        const QString what = QStringLiteral("model %1 %2").arg(c.model).arg(QString::fromLatin1(c.parGen));
        EXPECT_TRUE(Script.Shown.isEmpty()) << qPrintable(what);
        EXPECT_EQ(Knx->Max_Num_Byte, c.maxByte) << qPrintable(what);
        EXPECT_EQ(Knx->Num_Byte_Read_InPROFI, c.readLimit) << qPrintable(what);
        EXPECT_EQ(Knx->Num_Byte_Write_OutPROFI, c.writeLimit) << qPrintable(what);
        EXPECT_EQ(Knx->DMX_Out_Mode(), c.dmxOut) << qPrintable(what);
        EXPECT_EQ(Knx->sga->Columns()->Items(KA_Position)->ComboItems()->Count(), c.maxByte) << qPrintable(what);
        EXPECT_EQ(Knx->ClientWidth(), c.dmxOut ? 1062 : 1141) << qPrintable(what);
        EXPECT_EQ(Knx->sga->ColCount(), c.dmxOut ? 14 : 17) << qPrintable(what);
        EXPECT_EQ(Knx->sga->Columns()->Items(KA_Mnemonic)->Width(), c.dmxOut ? 200 : 96) << qPrintable(what);
        for (int col : {KA_APCI, KA_On_Command, KA_On_Change})
            EXPECT_EQ(Knx->sga->IsHiddenColumn(col), c.dmxOut) << qPrintable(what) << " column " << col;
    }
}

TEST_F(KnxTest, TheDmxLayoutFollowsParGenFromOneShowingToTheNext)
{
    Make(11);
    // Created in DMX OUT mode: the three columns hidden before any showing.
    EXPECT_EQ(Knx->ClientWidth(), 1062);
    EXPECT_TRUE(Knx->sga->IsHiddenColumn(KA_APCI));
    WriteParGen("<DMX_DMX>0</DMX_DMX>");
    Knx->FormShow(nullptr);
    EXPECT_FALSE(Knx->sga->IsHiddenColumn(KA_APCI));
    EXPECT_EQ(Knx->ClientWidth(), 1141);
    WriteParGen("<DMX_DMX>1</DMX_DMX>");
    Knx->FormShow(nullptr);
    EXPECT_TRUE(Knx->sga->IsHiddenColumn(KA_On_Change));
    EXPECT_EQ(Knx->ClientWidth(), 1062);
    EXPECT_EQ(Knx->sga->ColCount(), 14);
}

TEST_F(KnxTest, TheDialogRendersForAPerson)
{
    const QString dir = PathJoin(QStringLiteral(KAL_BUILD_DIR), QStringLiteral("screens"));
    ASSERT_TRUE(ForceDirectories(dir));
    WriteKnx("<row Enable=\"Y\" Source_Address=\"1.1.1\" Destination_Address=\"1/2/3\" APCI=\"Write\" "
             "Priority=\"Normal\" Format=\"None\" Extended=\"N\" ReTest=\"N\" On_Command=\"N\" On_Change=\"Y\" "
             "On_Timer=\"N\" Poll_Time=\"1000\" Position=\"0\" Bit_Mode=\"No\" Length=\"2\" Mnemonic=\"temp\"/>");
    Knx->FormShow(nullptr);
    const QString png = PathJoin(dir, QStringLiteral("knx_access.png"));
    RenderFormToPng(Knx, png);
    EXPECT_TRUE(FileExists(png));
}

// Escape is the Cancel button's key: the editor closes and its file keeps
// every byte, whatever was typed in the grid.
TEST_F(KnxTest, EscapeClosesTheEditorWithNothingWritten)
{
    WriteKnx("<row Enable=\"Y\" Source_Address=\"1.1.1\" Destination_Address=\"1/2/3\" APCI=\"Write\" "
             "Priority=\"Urgent\" Format=\"Swap16\" Extended=\"Y\" ReTest=\"N\" On_Command=\"Y\" On_Change=\"N\" "
             "On_Timer=\"Y\" Poll_Time=\"500\" Position=\"10\" Bit_Mode=\"3\" Length=\"4\" Mnemonic=\"lamp\"/>");
    const QByteArray before = Read(File_KNX_SetAccess);
    bool answered = false;
    Script.AnswerModal([&](TCustomForm* shown) {
        ASSERT_EQ(shown, Knx);
        Fill(1, {"Y", "1.1.11", "1/2/4"});
        ASSERT_TRUE(FocusedControl());
        Input::KeyStroke(VK_ESCAPE);
        answered = Knx->ModalResult() == mrCancel;
    });
    EXPECT_EQ(Knx->ShowModal(), mrCancel);
    EXPECT_TRUE(answered) << "Escape did not cancel";
    EXPECT_EQ(Read(File_KNX_SetAccess), before);
    EXPECT_TRUE(Messages().isEmpty()) << Messages().join('|').toStdString();
}

// The Priority list opened over its cell (F2 opens the editor, Alt+Down the
// list) steps with Down and Up through the items shown and takes the item
// stepped to with Return; Escape leaves the cell as it was. An empty cell's
// editor shows the first item, and its list starts there.
TEST_F(KnxTest, AnOpenPriorityListStepsWithTheArrowsAndCommitsWithReturn)
{
    struct Case {
        const char* Start;
        std::vector<unsigned> Keys;
        const char* Result;
    };
    const Case cases[] = {
        {"", {VK_DOWN, VK_DOWN, VK_RETURN}, "Normal"},
        {"Normal", {VK_DOWN, VK_RETURN}, "Low"},
        {"Normal", {VK_UP, VK_UP, VK_RETURN}, "System"},
        {"Low", {VK_DOWN, VK_DOWN, VK_RETURN}, "Low"},
        {"Urgent", {VK_DOWN, VK_ESCAPE}, "Urgent"},
    };
    Knx->Show();
    TExColumnGrid* g = Knx->ACG_KNX_in_Write;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Start);
        Knx->Set_Cell(KA_Priority, 1, QString::fromLatin1(c.Start));
        const TRect rc = g->CellRect(KA_Priority, 1);
        Input::Click(g, (rc.Left + rc.Right) / 2, (rc.Top + rc.Bottom) / 2);
        DrainPostedMessages();
        Input::KeyStroke(VK_F2);
        Input::KeyStroke(VK_DOWN, ssAlt);
        DrainPostedMessages();
        ASSERT_TRUE(g->Combobox() && g->Combobox()->DroppedDown());
        for (unsigned k : c.Keys) {
            Input::KeyStroke(k);
            DrainPostedMessages();
        }
        EXPECT_FALSE(g->Combobox()->DroppedDown());
        g->HideInplaceEdit();
        EXPECT_EQ(Knx->Cell(KA_Priority, 1), QString::fromLatin1(c.Result));
    }
}

TEST_F(KnxTest, ACellOfAMillionCharactersOpensAndPaintsWhatItsStartPaints)
{
    // Every text cell of the first row holds a million characters without a
    // blank; the table shows only their first few dozen, so the dialog must
    // show and paint as it does with the first 200 of them.
    auto rowWith = [](qsizetype n) {
        QByteArray value;
        value.reserve(n);
        while (value.size() < n)
            value += "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
        value.truncate(n);
        QByteArray row = "<row Enable=\"Y\"";
        for (int c = KA_Source; c < KA_Count; ++c) {
            const bool box = KNX_Access_Columns[c].Editor == edDataCheckBox;
            row += " " + KNX_Access_Columns[c].Attribute->toUtf8() + "=\"" + (box ? QByteArray("N") : value) + "\"";
        }
        return row + "/>";
    };
    WriteKnx(rowWith(200));
    Knx->FormShow(nullptr);
    const QImage start = Knx->RenderClient();

    WriteKnx(rowWith(1000000));
    Knx->FormShow(nullptr);
    EXPECT_EQ(Knx->Cell(KA_Mnemonic, 1).size(), 1000000) << Messages().join("|").toStdString();
    EXPECT_TRUE(Knx->RenderClient() == start);
}
