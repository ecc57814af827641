// The CONTROL tags of a cell's mark-up: opening the edit or combo over a
// tag, writing the value back into the tag, pressing BUTTON, CHECK and RADIO
// tags with the mouse, and walking the keyboard from tag to tag.
#include "gridpack/stringgrid/ExGrid.h"

#include "gridpack/basegrid/RorIdad.h"
#include "gridpack/basegrid/SgHTMLE.h"
#include "platform/controls/Messages.h"

namespace {
TExStringGrid* GridParent(TControl* c) { return dynamic_cast<TExStringGrid*>(c->Parent()); }

// After the exit processing of a control editor (which ends the control
// edit) the grid has the focus.
void LeaveToGrid(TExStringGrid* g)
{
    if (g->CanFocus())
        g->SetFocus();
    g->EndControlEdit();
}

void TabOn(TExStringGrid* g)
{
    LeaveToGrid(g);
    if (g->Navigation()->AdvanceAuto())
        g->AdvanceEditCell(g->Col(), g->Row(), true, false, true, true, false);
    else
        g->FocusNextCellControl(g->Col(), g->Row(), g->FCtrlID);
}

// Enter leaves a control editor for the grid, Tab walks on to the next tag;
// both keys are taken. Answers whether the key was one of them.
bool ControlEditorKey(TControl* editor, QChar& Key)
{
    TExStringGrid* g = GridParent(editor);
    if (!g)
        return false;
    if (Key == QChar('\r')) {
        Key = QChar();
        LeaveToGrid(g);
        return true;
    }
    if (Key == QChar('\t')) {
        Key = QChar();
        TabOn(g);
        return true;
    }
    return false;
}
} // namespace

void TExStringGrid::StartControlEdit(const QString& Text, const QString& CtrlType, const QString& CtrlID,
                                     const QString& CtrlValue, const TRect& ControlRect, int ACol, int RealCol,
                                     int ARow)
{
    const QString type = CtrlType.toUpper();
    const TRect& R = ControlRect;
    if (type == QLatin1String("EDIT") || type == QLatin1String("PASSWORD") || type == QLatin1String("MASK")) {
        FCtrlXY = TPoint(RealCol, ARow);
        FCtrlID = CtrlID;
        FCtrlType = type;
        FCtrlEditing = true;
        TControlEdit* ed = FEditControl;
        ed->SetWidth(0);
        ed->SetPasswordChar(type == QLatin1String("PASSWORD") ? QChar('*') : QChar());
        ed->SetEditMask(type == QLatin1String("MASK") ? GetControlProp(Text, CtrlID) : QString());
        ed->OnExit = [this](TObject*) { EndControlEdit(); };
        ed->SetText(CtrlValue);
        ed->SetBorderStyle(bsNone);
        ed->SetBounds(R.Left + 1, R.Top + 8, R.Right - R.Left - 4, 14);
        ed->SetMaxLength(GetControlMaxLen(Text, CtrlID));
        ed->SetEnabled(true);
        ed->SetVisible(true);
        if (ed->CanFocus())
            ed->SetFocus();
        return;
    }
    if (type != QLatin1String("COMBO"))
        return;
    (void)ACol;
    FCtrlXY = TPoint(RealCol, ARow);
    FCtrlID = CtrlID;
    FCtrlType = type;
    FCtrlEditing = true;
    TControlCombo* cb = FComboControl;
    cb->IsWinXP = FIsWinXP;
    cb->SetWidth(0);
    cb->SetFlat(false);
    cb->SetBounds(R.Left - 1, R.Top + 4, R.Right - R.Left, cb->Height());
    cb->OnSelect = [this](TObject* Sender) { ControlComboSelect(Sender); };
    bool edit = true;
    int dropCount = 8;
    cb->Items()->Clear();
    if (OnControlComboList)
        OnControlComboList(this, ARow, ACol, CtrlID, type, CtrlValue, cb->Items(), edit, dropCount);
    cb->SetStyle(edit ? csDropDown : csDropDownList);
    cb->SelectItem(CtrlValue);
    if (edit)
        cb->SetText(CtrlValue);
    cb->SetDropDownCount(dropCount);
    cb->OnExit = [this](TObject*) { EndControlEdit(); };
    cb->SetMaxLength(GetControlMaxLen(Text, CtrlID));
    cb->SetEnabled(true);
    cb->SetVisible(true);
    if (cb->CanFocus())
        cb->SetFocus();
    cb->SetDroppedDown(true);
}

void TExStringGrid::EndControlEdit()
{
    if (!FCtrlEditing)
        return;
    FCtrlEditing = false;
    const bool combo = FCtrlType == QLatin1String("COMBO");
    const QString value = combo ? FComboControl->Text() : FEditControl->Text();
    if (FCtrlXY.X >= 0 && FCtrlXY.Y >= 0) {
        QString s = Cells(FCtrlXY.X, FCtrlXY.Y);
        if (SetControlValue(s, FCtrlID, value))
            SetCells(FCtrlXY.X, FCtrlXY.Y, s);
    }
    if (combo) {
        FComboControl->SetDroppedDown(false);
        FComboControl->SetVisible(false);
    } else {
        FEditControl->SetVisible(false);
    }
    if (OnControlEditDone)
        OnControlEditDone(this, FCtrlXY.Y, FCtrlXY.X, FCtrlID, FCtrlType, value);
    FCtrlType.clear();
}

void TExStringGrid::ControlComboSelect(TObject*)
{
    if (!OnControlComboSelect)
        return;
    const int i = FComboControl->ItemIndex();
    const QString s = i >= 0 ? FComboControl->Items()->Strings(i) : QString();
    OnControlComboSelect(this, FCtrlXY.Y, FCtrlXY.X, i, FCtrlID, s);
}

THTMLRenderParams TExStringGrid::MarkupHitParams(TCanvas* Canvas, const QString& Text, const TRect& R, int RealCol,
                                                 int ARow, int X, int Y)
{
    THTMLRenderParams p;
    p.Canvas = Canvas;
    p.Text = Text;
    p.Rect = R;
    p.Images = GetCellImageList(RealCol, ARow);
    p.Container = PictureContainer();
    p.PictureCache = ImageCache();
    p.LinkColor = URLColor;
    p.ShadowColor = clGray;
    p.HitTest = true;
    p.X = X;
    p.Y = Y;
    return p;
}

void TExStringGrid::FocusNextCellControl(int ACol, int ARow, const QString& CtrlID)
{
    const int realCol = RealColIndex(ACol);
    const QString text = Cells(realCol, ARow);
    // 1., 2.
    const QString next = NextEditableControlID(text, CtrlID);
    if (next.isEmpty()) {
        if (CanFocus())
            SetFocus();
        return;
    }
    // 3.
    TRect R = CellRect(ACol, ARow);
    R.Left += XYOffset().X + 1;
    R.Top += XYOffset().Y + 1;
    if (HasCheckBox(realCol, ARow))
        R.Left += ControlLook()->CheckSize();
    // 4.
    THTMLRenderParams p = MarkupHitParams(Canvas(), text, R, realCol, ARow, -1, -1);
    p.ControlID = next;
    if (!RenderHTML(p) || p.ControlID != next)
        return;
    // 5.
    StartControlEdit(text, p.ControlType, next, p.ControlValue, p.ControlRect, ACol, realCol, ARow);
}

bool TExStringGrid::PressControlTag(int ACol, int ARow, int RealCol, int OrigCol, int OrigRow, int X, int Y)
{
    // 1.
    QString text = Cells(RealCol, ARow);
    const int kind = DetectTextKind(text, EnableHTML);
    if (kind != 1)
        return false;
    // 2. The cell's mark-up laid out as painting lays it out.
    TRect R = CellRect(ACol, ARow);
    R.Left += XYOffset().X + 1;
    R.Top += XYOffset().Y + 1;
    R.Right -= XYOffset().X;
    if (HasCheckBox(RealCol, ARow))
        R.Left += ControlLook()->CheckSize();
    THTMLRenderParams p = MarkupHitParams(Canvas(), text, R, RealCol, ARow, X, Y);
    if (!RenderHTML(p))
        p.Anchor.clear();
    // 3. A CONTROL tag under the press.
    if (!p.Anchor.isEmpty() && !p.ControlID.isEmpty()) {
        bool canEdit = ((Options() & goEditing) || FEditDisable) && !GetReadOnly(OrigCol, OrigRow);
        if (OnCanEditCell)
            OnCanEditCell(this, OrigRow, OrigCol, canEdit);
        if (!canEdit)
            return true;
        if (FCtrlEditing) {
            EndControlEdit();
            text = Cells(RealCol, ARow);
        }
        const QString id = p.ControlID, type = p.ControlType.toUpper(), value = p.ControlValue;
        if (type == QLatin1String("BUTTON")) {
            FCtrlXY = TPoint(RealCol, ARow);
            FCtrlDown = true;
            RepaintCell(ACol, ARow);
        } else if (type == QLatin1String("CHECK")) {
            SetControlValue(text, id, value.toUpper() == QLatin1String("TRUE") ? QStringLiteral("FALSE")
                                                                                : QStringLiteral("TRUE"));
            SetCells(RealCol, ARow, text);
        } else if (type == QLatin1String("RADIO")) {
            text = ClearRadioControls(text);
            SetControlValue(text, id, QStringLiteral("TRUE"));
            SetCells(RealCol, ARow, text);
        }
        if (OnControlClick)
            OnControlClick(this, ARow, ACol, id, type, value);
        StartControlEdit(text, type, id, value, p.ControlRect, ACol, RealCol, ARow);
        return true;
    }
    // 4. A cell with CONTROL tags takes the press without the editor.
    if (p.Anchor.isEmpty() && text.toUpper().contains(QLatin1String("<CONTROL"))) {
        if (OnClickCell)
            OnClickCell(this, OrigRow, OrigCol);
        HideInplaceEdit();
        SetSelection(TGridRect{ACol, ARow, ACol, ARow});
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// The control editors' keys
// ---------------------------------------------------------------------------

void TControlEdit::KeyPress(QChar& Key)
{
    if (!ControlEditorKey(this, Key))
        TMaskEdit::KeyPress(Key);
}

void TControlEdit::CMWantSpecialKey(TMessage& M)
{
    TMaskEdit::CMWantSpecialKey(M);
    if (M.WParam == VK_TAB)
        M.Result = 1;
    else if (M.WParam == VK_RETURN)
        M.Result = 0;
}

void TControlCombo::KeyPress(QChar& Key)
{
    if (!ControlEditorKey(this, Key))
        TSgComboBox::KeyPress(Key);
}

void TControlCombo::CMWantSpecialKey(TMessage& M) { M.Result = M.WParam == VK_TAB ? 1 : 0; }
