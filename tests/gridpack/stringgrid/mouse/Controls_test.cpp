// The CONTROL tags of a cell's mark-up: the keyboard walks from one editable
// tag to the next, the editors write their value back into the tag, and the
// mouse operates CHECK tags and opens the editors.
#include "MouseKit.h"

#include "gridpack/basegrid/SgHTMLE.h"
#include "platform/controls/Messages.h"

namespace {
const QString kForm = "<P>Name <CONTROL TYPE=\"BUTTON\" ID=\"go\" VALUE=\"Go\" WIDTH=\"30\"> "
                      "<CONTROL TYPE=\"EDIT\" ID=\"first\" VALUE=\"Ann\" WIDTH=\"50\"> "
                      "<CONTROL TYPE=\"CHECK\" ID=\"ok\" VALUE=\"FALSE\" WIDTH=\"16\"> "
                      "<CONTROL TYPE=\"EDIT\" ID=\"last\" VALUE=\"Lee\" WIDTH=\"50\"></P>";

class ControlsTest : public MouseTest {
protected:
    void SetUp() override
    {
        MouseTest::SetUp();
        Grid->SetColWidths(1, 320);
        Grid->SetRowHeights(2, 40);
        Grid->SetCells(1, 2, kForm);
        Grid->OnControlEditDone = [this](TObject*, int ARow, int ACol, const QString& ID, const QString& Type,
                                         const QString& Value) {
            Done << QString("%1,%2 %3 %4 %5").arg(ARow).arg(ACol).arg(ID, Type, Value);
        };
    }
    // The control's rectangle as the grid lays the cell out.
    TRect ControlRect(const QString& id)
    {
        TRect R = Grid->CellRect(1, 2);
        R.Left += Grid->XYOffset().X + 1;
        R.Top += Grid->XYOffset().Y + 1;
        R.Right -= Grid->XYOffset().X;
        THTMLRenderParams p;
        p.Canvas = Grid->Canvas();
        p.Text = Grid->Cells(1, 2);
        p.Rect = R;
        p.HitTest = true;
        p.ControlID = id;
        EXPECT_TRUE(RenderHTML(p));
        return p.ControlRect;
    }
    QString Value(const QString& id)
    {
        QString v;
        GetControlValue(Grid->Cells(1, 2), id, v);
        return v;
    }
    QStringList Done;
};
} // namespace

TEST_F(ControlsTest, TheKeyboardWalksFromEditableTagToTag)
{
    Grid->SetCol(1);
    Grid->SetRow(2);
    Grid->FocusNextCellControl(1, 2, QString());
    TControlEdit* ed = Grid->ControlEdit();
    // The button and the check box are passed over.
    ASSERT_TRUE(ed->Visible());
    EXPECT_EQ(Grid->FCtrlID, "first");
    EXPECT_EQ(ed->Text(), "Ann");
    EXPECT_TRUE(ed->Focused());
    ed->SetText("Bea");
    Key(VK_TAB);
    // Tab wrote the first tag and moved on to the next editable one.
    EXPECT_EQ(Value("first"), "Bea");
    EXPECT_EQ(Grid->FCtrlID, "last");
    EXPECT_TRUE(ed->Visible());
    EXPECT_EQ(ed->Text(), "Lee");
    ed->SetText("Moe");
    Key(VK_TAB);
    // After the last tag the keyboard goes back to the grid.
    EXPECT_EQ(Value("last"), "Moe");
    EXPECT_FALSE(ed->Visible());
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(Done, (QStringList{"2,1 first EDIT Bea", "2,1 last EDIT Moe"}));
}

TEST_F(ControlsTest, EnterEndsTheTagEditAndTheGridTakesTheFocus)
{
    Grid->FocusNextCellControl(1, 2, "first");
    TControlEdit* ed = Grid->ControlEdit();
    ASSERT_TRUE(ed->Visible());
    EXPECT_EQ(Grid->FCtrlID, "last");
    ed->SetText("Roe");
    Key(VK_RETURN);
    EXPECT_FALSE(ed->Visible());
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(Value("last"), "Roe");
    EXPECT_EQ(Done, QStringList{"2,1 last EDIT Roe"});
}

TEST_F(ControlsTest, APressOnTagsTogglesChecksAndOpensEditors)
{
    Grid->SetOptions(Grid->Options() | goEditing);
    QStringList clicks;
    Grid->OnControlClick = [&](TObject*, int ARow, int ACol, const QString& ID, const QString& Type,
                               const QString& Value) {
        clicks << QString("%1,%2 %3 %4 %5").arg(ARow).arg(ACol).arg(ID, Type, Value);
    };
    const TRect check = ControlRect("ok");
    Input::Click(Grid, (check.Left + check.Right) / 2, (check.Top + check.Bottom) / 2);
    DrainPostedMessages();
    EXPECT_EQ(Value("ok"), "TRUE");
    const TRect edit = ControlRect("first");
    Input::Click(Grid, edit.Left + 5, (edit.Top + edit.Bottom) / 2);
    DrainPostedMessages();
    EXPECT_TRUE(Grid->ControlEdit()->Visible());
    EXPECT_EQ(Grid->ControlEdit()->Text(), "Ann");
    EXPECT_EQ(clicks, (QStringList{"2,1 ok CHECK FALSE", "2,1 first EDIT Ann"}));
    // No cell editor opened over the cell.
    EXPECT_FALSE(EditorUp());
}

TEST_F(ControlsTest, AComboTagTakesItsItemsFromTheEvent)
{
    Grid->SetCells(1, 2, "<P>Kind <CONTROL TYPE=\"COMBO\" ID=\"kind\" VALUE=\"Two\" WIDTH=\"80\"></P>");
    Grid->OnControlComboList = [](TObject*, int, int, const QString&, const QString&, const QString&,
                                  TStringList* Values, bool& Edit, int& DropCount) {
        Values->Add("One");
        Values->Add("Two");
        Values->Add("Three");
        Edit = false;
        DropCount = 5;
    };
    QStringList selected;
    Grid->OnControlComboSelect = [&](TObject*, int, int, int ItemIndex, const QString& ID, const QString& Value) {
        selected << QString("%1 %2 %3").arg(ID).arg(ItemIndex).arg(Value);
    };
    Grid->FocusNextCellControl(1, 2, QString());
    TControlCombo* cb = Grid->ControlCombo();
    ASSERT_TRUE(cb->Visible());
    EXPECT_EQ(cb->Style(), csDropDownList);
    EXPECT_EQ(cb->ItemIndex(), 1);
    EXPECT_EQ(cb->DropDownCount(), 5);
    EXPECT_TRUE(cb->DroppedDown());
    Key(VK_DOWN);
    Key(VK_RETURN);
    EXPECT_EQ(selected, QStringList{"kind 2 Three"});
    Key(VK_RETURN);
    EXPECT_FALSE(cb->Visible());
    EXPECT_EQ(Value("kind"), "Three");
}
