// The CAN frame editors' column hints, shown by the application's hint
// machinery when the mouse rests over a column header.
#include "OthersKit.h"

#include "editors/UReceiveCAN.h"
#include "editors/UTransmitCAN.h"
#include "platform/controls/Input.h"
#include "platform/controls/Timers.h"

namespace {

// Rests the mouse over the middle of (c, r) of the editor's grid for the
// application's pause; the caption of the hint shown, empty for none.
QString RestOver(TExColumnGrid* g, int c, int r)
{
    const TRect rc = g->CellRect(c, r);
    Input::MouseMove(g, (rc.Left + rc.Right) / 2, (rc.Top + rc.Bottom) / 2);
    AdvanceTime(unsigned(Application()->HintPause));
    THintWindow* w = Application()->HintWindow();
    return w && w->Active() ? w->Caption() : QString();
}

} // namespace

TEST_F(OthersTest, CanEditorsShowTheColumnHintOverAHeaderCell)
{
    auto* rec = Make<TFReceiveCAN>();
    rec->FormShow(nullptr);
    rec->Show();
    ASSERT_FALSE(rec->sga->CellRect(RC_CAN_Type, 0).IsEmpty());
    const QString type = RestOver(rec->sga, RC_CAN_Type, 0);
    EXPECT_TRUE(type.startsWith("Select the Type of CAN")) << type.toStdString();
    EXPECT_TRUE(RestOver(rec->sga, RC_TimeOut, 0).startsWith("Insert the TimeOut in milliseconds"));
    // A data cell has no hint of its own.
    EXPECT_EQ(RestOver(rec->sga, RC_CAN_Type, 2), "");
    rec->Hide();

    auto* send = Make<TFTransmitCAN>();
    send->FormShow(nullptr);
    send->Show();
    ASSERT_FALSE(send->sga->CellRect(TC_OnCMD, 0).IsEmpty());
    EXPECT_EQ(RestOver(send->sga, TC_OnCMD, 0), "Enable or Disable the possibility to send the CAN Frame by Command");
    send->Hide();
}
