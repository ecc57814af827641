// The J1939 dialogs edited with the mouse as a person does: ticking the
// check-box columns and choosing the data page from its drop-down list.
#include "J1939Kit.h"

#include "platform/controls/Input.h"
#include "platform/controls/Messages.h"
#include "platform/controls/StdCtrls.h"

namespace {
class J1939Mouse : public J1939Test {
protected:
    static TPoint Middle(TExColumnGrid* g, int c, int r)
    {
        const TRect rc = g->CellRect(c, r);
        return Point((rc.Left + rc.Right) / 2, (rc.Top + rc.Bottom) / 2);
    }
    static void ClickCell(TExColumnGrid* g, int c, int r)
    {
        const TPoint p = Middle(g, c, r);
        Input::Click(g, p.X, p.Y);
        DrainPostedMessages();
    }
    static void Type(const QString& s)
    {
        for (QChar ch : s) {
            Input::Char(ch);
            DrainPostedMessages();
        }
        Input::KeyStroke(VK_RETURN, 0);
        DrainPostedMessages();
    }
    // Opens the data page list of (c, r) with the mouse and clicks item i.
    static void ChooseFromList(TExColumnGrid* g, int c, int r, int i)
    {
        ClickCell(g, c, r);
        // The second press on the now current cell opens the list editor.
        ClickCell(g, c, r);
        TGridCombo* cb = g->Combobox();
        ASSERT_TRUE(cb->Visible());
        // A press on the combo opens its list.
        Input::Click(cb, cb->Width() - 5, cb->Height() / 2);
        DrainPostedMessages();
        ASSERT_TRUE(cb->DroppedDown());
        TComboListWindow* list = cb->ListWindow();
        const TRect item = list->ItemRect(i);
        Input::Click(list, item.Left + 5, (item.Top + item.Bottom) / 2);
        DrainPostedMessages();
        EXPECT_FALSE(cb->DroppedDown());
        // The choice is committed when the editor closes.
        Input::KeyStroke(VK_RETURN, 0);
        DrainPostedMessages();
    }
};
} // namespace

TEST_F(J1939Mouse, ReceiveTicksAndTheDataPageListReachTheFile)
{
    Rec->Show();
    DrainPostedMessages();
    TExColumnGrid* g = Rec->sga;
    ChooseFromList(g, RJ_DP, 1, 1);
    EXPECT_EQ(Rec->Cell(RJ_DP, 1), "1");
    ClickCell(g, RJ_PGN, 1);
    Type("0xF004");
    ClickCell(g, RJ_SA, 1);
    Type("3");
    for (int c : {int(RJ_TP), int(RJ_OnRequest)})
        ClickCell(g, c, 1);
    EXPECT_EQ(Rec->Cell(RJ_TP, 1), "Y");
    EXPECT_EQ(Rec->Cell(RJ_OnRequest, 1), "Y");
    // A second press unticks.
    ClickCell(g, RJ_Delete, 1);
    ClickCell(g, RJ_Delete, 1);
    EXPECT_EQ(Rec->Cell(RJ_Delete, 1), "N");
    ClickCell(g, RJ_TP_Start, 1);
    Type("0");
    ClickCell(g, RJ_TP_NByte, 1);
    Type("8");
    ClickCell(g, RJ_OnReq_Time, 1);
    Type("1000");
    Rec->Btn_OK->Click();
    EXPECT_EQ(Rec->ModalResult(), mrOk) << LastMessage().toStdString();
    EXPECT_TRUE(Read(File_J1939_Rec_Frames)
                    .contains("<row DP=\"1\" PGN=\"0xF004\" SA=\"3\" TP=\"Y\" TP_Start=\"0\" TP_NByte=\"8\" "
                              "Delete=\"N\" OnRequest=\"Y\" OnReq_Time=\"1000\""))
        << Read(File_J1939_Rec_Frames).toStdString();
    Rec->Hide();
}

TEST_F(J1939Mouse, TransmitChecksTheSendTimerOnlyWhenOnTimerIsTicked)
{
    Send->Show();
    DrainPostedMessages();
    TExColumnGrid* g = Send->sga;
    ClickCell(g, TJ_Priority, 1);
    Type("6");
    ChooseFromList(g, TJ_DP, 1, 0);
    EXPECT_EQ(Send->Cell(TJ_DP, 1), "0");
    ClickCell(g, TJ_PGN, 1);
    Type("65226");
    ClickCell(g, TJ_SA, 1);
    Type("0");
    ClickCell(g, TJ_TP_NByte, 1);
    Type("8");
    ClickCell(g, TJ_SendTimer, 1);
    Type("0");
    ClickCell(g, TJ_On_Timer, 1);
    EXPECT_EQ(Send->Cell(TJ_On_Timer, 1), "Y");
    Send->SetModalResult(mrNone);
    Send->Btn_OK->Click();
    EXPECT_NE(Send->ModalResult(), mrOk);
    EXPECT_TRUE(LastMessage().startsWith("Error in row 1")) << LastMessage().toStdString();
    EXPECT_TRUE(LastMessage().endsWith(Texts[717])) << LastMessage().toStdString();
    // Unticked, the same timer passes.
    ClickCell(g, TJ_On_Timer, 1);
    EXPECT_EQ(Send->Cell(TJ_On_Timer, 1), "N");
    Send->Btn_OK->Click();
    EXPECT_EQ(Send->ModalResult(), mrOk) << LastMessage().toStdString();
    Send->Hide();
}
