// The grid's combo editor (edComboEdit, edComboList) and check-box editor
// (edCheckBox): opening them over the cell, writing their value back, their
// keys, and the grid's combo-item API and combo notices.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/stringgrid/ExGridEditors.h"

#include "platform/controls/Forms.h"
#include "platform/controls/Messages.h"
#include "platform/controls/StdMessages.h"

TExStringGrid* GridOfEditor(TComponent* AOwner)
{
    auto* g = dynamic_cast<TExStringGrid*>(AOwner);
    if (!g)
        throw EInvalidGridOperation(QStringLiteral("Grid editor must be owned by a grid"));
    return g;
}

bool KeyIsOneOf(unsigned Key, std::initializer_list<unsigned> Keys)
{
    for (unsigned k : Keys)
        if (k == Key)
            return true;
    return false;
}

void AdvanceSideways(TExStringGrid* g, bool ShowEditor, bool Forward, bool AutoEdit)
{
    TNavigation* nav = g->Navigation();
    const TAdvanceDirection saved = nav->AdvanceDirection();
    nav->SetAdvanceDirection(adLeftRight);
    g->AdvanceEditCell(g->Col(), g->Row(), ShowEditor, false, Forward, AutoEdit, true);
    nav->SetAdvanceDirection(saved);
}

// ---------------------------------------------------------------------------
// Opening and closing the special editors
// ---------------------------------------------------------------------------

void TExStringGrid::OpenCellEditor(int ACol, int ARow)
{
    // 1.
    FEditing = true;
    FSpecialEditor = true;
    FEditActive = true;
    // 2. The cell the editor covers (the whole block of a merged cell).
    const TRect R = CellRect(ACol, ARow);
    const int rcol = RealColIndex(ACol);
    // 4.
    EditCtrl = nullptr;
    if (EditControl != edCustom)
        FLastValidation = true;
    // 5.
    switch (EditControl) {
    case edComboEdit:
    case edComboList:
        if (EditCombo)
            OpenComboEditor(R, rcol, ARow, EditControl == edComboList);
        else
            EditMode = true;
        break;
    case edSpinEdit:
    case edFloatSpinEdit:
    case edTimeSpinEdit:
    case edDateSpinEdit:
        OpenSpinEditor(R, rcol, ARow, ACol);
        break;
    case edCheckBox:
        if (EditCheck)
            OpenCheckEditor(R, ACol, ARow);
        else
            EditMode = true;
        break;
    case edEditBtn:
    case edNumericEditBtn:
    case edFloatEditBtn:
    case edMaskEditBtn:
        OpenEditBtnEditor(R, rcol, ARow, ACol);
        break;
    case edUnitEditBtn:
    case edNumericUnitEditBtn:
    case edFloatUnitEditBtn:
        OpenUnitEditor(R, rcol, ARow, ACol);
        break;
    case edButton:
        OpenButtonEditor(R, ACol, ARow);
        break;
    case edDateEdit:
    case edDateEditUpDown:
    case edTimeEdit:
        OpenDateEditor(R, rcol, ARow, ACol);
        break;
    case edCustom:
        OpenCustomEditor(R, rcol, ARow, ACol);
        break;
    case edRichEdit:
        OpenRichEditor(R, rcol, ARow);
        break;
    default:
        // The kinds served by a registered factory; the others stay in the
        // special-edit state without a control and closing writes nothing.
        if (const TGridKindEditorFactory* f = GridKindEditor(int(EditControl)))
            f->Open(this, KindEditor(EditControl), R, rcol, ARow, ACol);
        else
            EditMode = true;
        break;
    }
    // 6.
    FStartEditChar = QChar();
}

void TExStringGrid::OpenComboEditor(const TRect& R, int RCol, int ARow, bool ListOnly)
{
    TGridCombo* cb = EditCombo;
    const int dcol = DisplColIndex(RCol);
    const int W = R.Right - R.Left - 1;
    const int H = R.Bottom - R.Top - 1;
    EditMode = true;
    cb->SetDropDownCount(ControlLook()->DropDownCount);
    GetEditorProp(RCol, ARow, nullptr);
    cb->SetBounds(R.Left, R.Top, 0, 0);
    cb->SetEnabled(true);
    cb->SetDroppedDown(false);
    cb->SetStyle(ListOnly ? csDropDownList : csDropDown);
    // The library keeps the selection field's height; the dropped list's
    // height follows DropDownCount.
    cb->Perform(CB_SETITEMHEIGHT, WPARAM(-1), LPARAM(H - 6));
    const QString text = GetEditText(dcol, ARow);
    bool forced = false;
    if (ListOnly) {
        int bc = RCol, br = ARow;
        if (IsMergedNonBaseCell(RCol, ARow)) {
            const TPoint b = BaseCell(RCol, ARow);
            bc = b.X;
            br = b.Y;
        }
        cb->SetItemIndex(cb->IndexOfText(Cells(bc, br)));
        if (FComboIdx == -1 && cb->ItemIndex() < 0) {
            const int i = cb->IndexOfText(text);
            cb->SetItemIndex(i >= 0 ? i : 0);
            cb->ChangeNow();
            forced = true;
        } else if (cb->ItemIndex() < 0) {
            cb->SetItemIndex(FComboIdx);
        }
    } else {
        cb->SetText(text);
        if (FComboIdx != -1 && cb->ItemIndex() < 0)
            cb->SetItemIndex(FComboIdx);
    }
    cb->SetBounds(R.Left, R.Top, W, H);
    TFont font;
    TBrush brush;
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    bool ww = false;
    TCellGradientDirection gd{};
    GetCellDefaults(RCol, ARow, &font, &brush, colorTo, mirror, mirrorTo, ha, va, ww, gd);
    cb->SetColor(brush.Color() != clNone ? brush.Color() : Color());
    if (!ListOnly)
        cb->SetMaxLength(MaxComboLength);
    cb->SetVisible(true);
    const bool flat = Look == glSoft || Look == glXP || Look == glVista || Look == glWin7 || Look == glOffice2007;
    cb->SetFlat(flat);
    cb->SetEtched(flat);
    if (Navigation()->AutoComboDropSize)
        cb->SizeDropDownWidth();
    else if (cb->DropWidth() > 0)
        cb->Perform(CB_SETDROPPEDWIDTH, WPARAM(cb->DropWidth()), 0);
    if (cb->CanFocus())
        cb->SetFocus();
    if (MouseActions()->DirectComboDrop || ControlLook()->DropDownAlwaysVisible())
        cb->SetDroppedDown(true);
    if (MouseActions()->DirectEdit && MouseActions()->DirectComboDrop) {
        const TGridRect s = Selection();
        SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
    }
    if (forced && cb->Items()->Count() > 0)
        ComboChanged(cb->ItemIndex(), cb->Items()->Strings(cb->ItemIndex()));
    if (!FStartEditChar.isNull())
        PostMessage(cb->Handle(), WM_CHAR, WPARAM(FStartEditChar.unicode()), 0);
    EditCtrl = cb;
}

void TExStringGrid::OpenCheckEditor(const TRect& R, int ACol, int ARow)
{
    TGridCheckBox* ck = EditCheck;
    EditMode = true;
    ck->SetBounds(R.Left, R.Top, R.Right - R.Left - 1, R.Bottom - R.Top - 1);
    ck->SetCaption(GetEditText(ACol, ARow));
    ck->SetEnabled(true);
    ck->SetState(cbUnchecked);
    ck->SetVisible(true);
    if (ck->CanFocus())
        ck->SetFocus();
}

void TExStringGrid::CloseCellEditor(int ACol, int ARow)
{
    // 1.
    if (ComponentState() & csDestroying)
        return;
    // 2.
    FSpecialEditor = false;
    FBlockKill = true;
    const int rc = RealColIndex(ACol);
    FStartEditChar = QChar();
    // 3.
    auto close = [](TWinControl* c) {
        if (c) {
            c->SetVisible(false);
            c->SetEnabled(false);
        }
    };
    switch (EditControl) {
    case edComboEdit:
    case edComboList:
        if (EditMode && EditCombo) {
            EditMode = false;
            EditCombo->SetDroppedDown(false);
            StoreEditValue(rc, ARow, EditCombo->Text());
        }
        close(EditCombo);
        break;
    case edSpinEdit:
    case edFloatSpinEdit:
    case edTimeSpinEdit:
    case edDateSpinEdit:
        CloseSpinEditor(rc, ARow);
        break;
    case edCheckBox:
        close(EditCheck);
        EditMode = false;
        break;
    case edEditBtn:
    case edNumericEditBtn:
    case edFloatEditBtn:
    case edMaskEditBtn:
        if (EditMode && EditBtn) {
            EditMode = false;
            StoreEditValue(rc, ARow, EditBtn->Text());
        }
        close(EditBtn);
        break;
    case edUnitEditBtn:
    case edNumericUnitEditBtn:
    case edFloatUnitEditBtn:
        if (UnitEditBtn)
            StoreEditValue(rc, ARow, UnitEditBtn->Text() + UnitEditBtn->UnitID());
        close(UnitEditBtn);
        EditMode = false;
        break;
    case edButton:
        close(GridButton);
        EditMode = false;
        break;
    case edDateEdit:
    case edDateEditUpDown:
    case edTimeEdit:
        CloseDateEditor(rc, ARow);
        break;
    case edCustom:
        CloseCustomEditor(rc, ARow);
        break;
    case edRichEdit:
        CloseRichEditor(rc, ARow);
        break;
    default:
        if (const TGridKindEditorFactory* f = GridKindEditor(int(EditControl)))
            f->Close(this, KindEditorIfMade(EditControl), rc, ARow);
        else if (!IsTextEditorKind(EditControl) && EditControl != edDataCheckBox && EditControl != edNone)
            EditMode = false;
        break;
    }
    // 4.
    if (EditControl != edNormal && FEditActive)
        NotifyEditingDone(rc, ARow);
    FBlockKill = false;
    FEditActive = false;
}

// ---------------------------------------------------------------------------
// The combo notices and the combo-item API
// ---------------------------------------------------------------------------

void TExStringGrid::ComboChanged(int Index, const QString& Text)
{
    const int rc = RealColIndex(Col());
    const bool valid = EditCombo && Index >= 0 && Index < EditCombo->Items()->Count();
    const QString s = valid ? EditCombo->Items()->Strings(Index) : Text;
    if (OnComboChange)
        OnComboChange(this, rc, Row(), Index, s);
    if (OnComboObjectChange)
        OnComboObjectChange(this, rc, Row(), Index, s, valid ? EditCombo->Items()->Objects(Index) : nullptr);
}

void TExStringGrid::ComboCommand(unsigned Code)
{
    TGridCombo* cb = EditCombo;
    switch (Code) {
    case CBN_SELCHANGE:
    case CBN_EDITCHANGE:
        if (EditMode && EditControl != edNormal)
            ComboChanged(cb->ItemIndex(), cb->Text());
        break;
    case CBN_CLOSEUP:
        if (MouseActions()->DirectComboClose && EditMode) {
            if (cb->ItemIndex() >= 0)
                cb->SetText(cb->Items()->Strings(cb->ItemIndex()));
            ComboChanged(cb->ItemIndex(), cb->Text());
            EditControl = edComboEdit;
            EditMode = true;
            {
                TRestoreBool direct(MouseActions()->DirectEdit, false);
                HideInplaceEdit();
            }
            if (CanFocus())
                SetFocus();
        }
        ComboCloseUp(Row(), RealColIndex(Col()));
        break;
    case CBN_DROPDOWN: ComboDropDown(Row(), RealColIndex(Col())); break;
    default: break;
    }
}

void TExStringGrid::ClearComboString()
{
    if (EditCombo)
        EditCombo->Items()->Clear();
}

void TExStringGrid::AddComboString(const QString& S)
{
    if (EditCombo)
        EditCombo->Items()->Add(S);
}

void TExStringGrid::AddComboStringObject(const QString& S, TObject* AObject)
{
    if (EditCombo)
        EditCombo->Items()->AddObject(S, AObject);
}

bool TExStringGrid::RemoveComboString(const QString& S)
{
    if (!EditCombo)
        return false;
    const int i = EditCombo->Items()->IndexOf(S);
    if (i < 0)
        return false;
    EditCombo->Items()->Delete(i);
    return true;
}

bool TExStringGrid::SetComboSelectionString(const QString& S)
{
    const int i = EditCombo ? EditCombo->Items()->IndexOf(S) : -1;
    if (i < 0)
        return false;
    FComboIdx = i;
    return true;
}

int TExStringGrid::GetComboCount() { return EditCombo ? EditCombo->Items()->Count() : 0; }

void TExStringGrid::SetComboIndex(int ACol, int ARow, int Index)
{
    GetEditorProp(ACol, ARow, nullptr);
    if (EditCombo && Index >= 0 && Index < EditCombo->Items()->Count())
        SetCells(ACol, ARow, EditCombo->Items()->Strings(Index));
}

int TExStringGrid::GetComboIndex(int ACol, int ARow)
{
    GetEditorProp(ACol, ARow, nullptr);
    return EditCombo ? EditCombo->Items()->IndexOf(Cells(ACol, ARow)) : -1;
}

// ---------------------------------------------------------------------------
// TGridCombo
// ---------------------------------------------------------------------------

TGridCombo::TGridCombo(TComponent* AOwner) : TSgComboBox(AOwner), FGrid(GridOfEditor(AOwner)) { SetButtonWidth(16); }

int TGridCombo::IndexOfText(const QString& S) const
{
    auto* items = const_cast<TGridCombo*>(this)->Items();
    for (int i = 0; i < items->Count(); ++i)
        if (items->Strings(i) == S)
            return i;
    return -1;
}

bool TGridCombo::ListOnly() const { return Style() == csDropDownList; }

void TGridCombo::SizeDropDownWidth()
{
    int w = Width();
    TCanvas* c = FGrid->Canvas();
    const bool bar = Items()->Count() > DropDownCount();
    for (int i = 0; i < Items()->Count(); ++i) {
        const int tw = c->TextWidth(Items()->Strings(i));
        if (bar && tw > w - 25)
            w = tw + 25;
        else if (!bar && tw > w - 5)
            w = tw + 8;
    }
    Perform(CB_SETDROPPEDWIDTH, WPARAM(w), 0);
}

bool TGridCombo::CommitAndValidate(bool SelectAllOnRefusal, bool)
{
    TExStringGrid* g = FGrid;
    g->SetCurrentCell(Text());
    if (!g->ValidateCell(g->GetCurrentCell())) {
        SetText(g->FNewCellText);
        if (SelectAllOnRefusal && !ListOnly())
            SelectAll();
        else if (!ListOnly())
            SetSelStart(int(Text().size()));
        Invalidate();
        return false;
    }
    const QString now = g->GetCurrentCell();
    if (ListOnly())
        SetItemIndex(IndexOfText(now));
    else
        SetText(now);
    return true;
}

bool TGridCombo::TabWithValidation(unsigned& Key, TShiftState Shift)
{
    TExStringGrid* g = FGrid;
    if (!CommitAndValidate(false, false)) {
        Key = 0;
        return true;
    }
    if (g->Options() & goTabs) {
        g->HideInplaceEdit();
        if (g->CanFocus())
            g->SetFocus();
        g->MoveFromEditor(Shift & ssShift);
        Key = 0;
        return true;
    }
    PostMessage(g->Handle(), WM_KEYDOWN, VK_TAB, 0);
    return false;
}

void TGridCombo::KeyDown(unsigned& Key, TShiftState Shift)
{
    TExStringGrid* g = FGrid;
    TNavigation* nav = g->Navigation();
    const bool alt = Shift & ssAlt;
    // 1.
    WorkMode = !(Key == VK_BACK || Key == VK_DELETE);
    // 2. Up and Down move the grid's current cell instead of the item.
    bool movedGrid = false;
    if ((Key == VK_UP || Key == VK_DOWN) && !nav->ComboGetUpDown && !DroppedDown() && !alt) {
        g->HideInplaceEdit();
        {
            TRestoreBool always(nav->AlwaysEdit, false);
            if (g->CanFocus())
                g->SetFocus();
        }
        g->KeyDown(Key, Shift);
        movedGrid = true;
    }
    // 3.
    bool handled;
    if (ListOnly() || DroppedDown())
        handled = KeyIsOneOf(Key, {VK_TAB, VK_RETURN, VK_ESCAPE, VK_LEFT, VK_RIGHT});
    else
        handled = KeyIsOneOf(Key, {VK_TAB, VK_RETURN, VK_ESCAPE, VK_PRIOR, VK_NEXT, VK_END, VK_UP, VK_DOWN});
    if (alt && Key == VK_DOWN)
        handled = false;
    if (!handled) {
        TSgComboBox::KeyDown(Key, Shift);
        // The key already moved the grid; the hidden combo keeps its item.
        if (movedGrid)
            Key = 0;
        return;
    }
    // 4.
    if (Key == VK_ESCAPE) {
        const QString s = g->GetCurrentCell();
        SetText(s);
        SelectItem(s);
        g->FCharOfClosedEditor = QChar(27);
        g->HideInplaceEdit();
        if (g->CanFocus())
            g->SetFocus();
        Key = 0;
        return;
    }
    // Enter in an open list takes the item the arrows stepped to, as a click
    // on it would: the list closes with it and the grid hears the choice.
    // What is left is the commit of a closed combo.
    if (Key == VK_RETURN && DroppedDown()) {
        CloseList(true);
        if (!Visible()) {
            Key = 0;
            return;
        }
    }
    // 5.
    if (Key == VK_RETURN || Key == VK_UP || Key == VK_DOWN) {
        if (!CommitAndValidate(true, true)) {
            Key = 0;
            return;
        }
    }
    // 6.
    if (Key == VK_TAB && g->HasCellValidation()) {
        if (TabWithValidation(Key, Shift))
            return;
    }
    // 7.
    if (ListOnly() || DroppedDown()) {
        {
            TRestoreBool direct(g->MouseActions()->DirectComboClose, false);
            g->HideInplaceEdit();
        }
        if (Key == VK_LEFT || Key == VK_RIGHT)
            g->KeyDown(Key, Shift);
        if (KeyIsOneOf(Key, {VK_PRIOR, VK_NEXT, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN}))
            Key = 0;
    } else if (Key == VK_END || (alt && Key == VK_DOWN)) {
        TSgComboBox::KeyDown(Key, Shift);
        return;
    }
    // 8.
    if (Key == VK_RETURN || Key == VK_TAB)
        g->FCharOfClosedEditor = QChar(Key == VK_RETURN ? 13 : 9);
    g->DoneInplaceEdit(Key, Shift);
    if (nav->AdvanceOnEnter && nav->AdvanceAutoEdit && Key == VK_RETURN)
        g->ShowInplaceEdit();
    Key = 0;
    TSgComboBox::KeyDown(Key, Shift);
}

void TGridCombo::WMSysKeyDown(TMessage& M)
{
    // Alt+Down opens and closes the list as the library's combo does.
    TSgComboBox::WMSysKeyDown(M);
}

void TGridCombo::KeyPress(QChar& Key)
{
    TExStringGrid* g = FGrid;
    if (g->OnKeyPress)
        g->OnKeyPress(this, Key);
    if (Key == QChar(27))
        Key = QChar();
    if (Key == QChar('\r') && OnReturnKey)
        OnReturnKey(this);
    if (Key == QChar('\r') || Key == QChar('\t'))
        Key = QChar();
    TSgComboBox::KeyPress(Key);
}

void TGridCombo::WMChar(TMessage& M)
{
    const int before = ItemIndex();
    TSgComboBox::WMChar(M);
    if (ItemIndex() != before && Visible())
        FGrid->ComboChanged(ItemIndex(), Text());
}

void TGridCombo::KeyUp(unsigned& Key, TShiftState Shift)
{
    TExStringGrid* g = FGrid;
    TNavigation* nav = g->Navigation();
    // The cursor walk out of an editable combo at either end of its text.
    if (!ListOnly() && nav->CursorWalkEditor && !(Shift & (ssShift | ssCtrl | ssAlt)) && SelLength() == 0) {
        const bool left = Key == VK_LEFT && SelStart() == 0;
        const bool right = Key == VK_RIGHT && SelStart() >= int(Text().size()) &&
                           g->Col() < g->ColCount() - g->FixedRightCols() - 1;
        if ((left && g->Col() > g->FixedCols()) || right) {
            Key = 0;
            if (g->CanFocus())
                g->SetFocus();
            AdvanceSideways(g, false, right, false);
            if (nav->CursorWalkAlwaysEdit)
                g->ShowInplaceEdit();
            return;
        }
    }
    if (Key != VK_RETURN)
        TSgComboBox::KeyUp(Key, Shift);
    DoLookup();
}

void TGridCombo::DoLookup()
{
    TExStringGrid* g = FGrid;
    if (!WorkMode || !g->Lookup || ListOnly())
        return;
    const bool cs = g->LookupCaseSensitive;
    const QString typed = Text().left(SelStart());
    if (typed.isEmpty())
        return;
    const QString prefix = cs ? typed : typed.toUpper();
    auto find = [&](TStrings* list) {
        for (int i = 0; i < list->Count(); ++i) {
            const QString s = cs ? list->Strings(i) : list->Strings(i).toUpper();
            if (s.startsWith(prefix))
                return i;
        }
        return -1;
    };
    int i = find(Items());
    QString match;
    bool inItems = i >= 0;
    if (inItems)
        match = Items()->Strings(i);
    else if (g->LookupItems()) {
        const int j = find(g->LookupItems());
        if (j < 0)
            return;
        match = g->LookupItems()->Strings(j);
    } else {
        return;
    }
    const QString completed = typed + match.mid(typed.size(), 255);
    if (inItems)
        SetItemIndex(i);
    SetText(completed);
    Perform(CB_SETEDITSEL, 0, MakeLParam(int(typed.size()), int(completed.size())));
}

void TGridCombo::WndProc(TMessage& M)
{
    if (M.Msg == WM_MOUSEWHEEL || (FGrid->wheelmsg != 0 && M.Msg == FGrid->wheelmsg)) {
        const int delta = static_cast<std::int16_t>((M.WParam >> 16) & 0xFFFF);
        const int n = Items()->Count();
        int i = ItemIndex();
        if (delta < 0 && i + 1 < n)
            SetItemIndex(i + 1);
        else if (delta > 0 && i > 0)
            SetItemIndex(i - 1);
        i = ItemIndex();
        TExStringGrid* g = FGrid;
        const QString s = i >= 0 ? Items()->Strings(i) : Text();
        const int rc = g->RealColIndex(g->Col());
        if (g->OnEditChange)
            g->OnEditChange(g, rc, g->Row(), s);
        if (g->OnComboChange)
            g->OnComboChange(g, rc, g->Row(), i, s);
        if (g->OnComboObjectChange)
            g->OnComboObjectChange(g, rc, g->Row(), i, s, i >= 0 ? Items()->Objects(i) : nullptr);
        M.Result = 0;
        return;
    }
    TSgComboBox::WndProc(M);
}

void TGridCombo::Change()
{
    TSgComboBox::Change();
    TExStringGrid* g = FGrid;
    if (g->OnEditChange)
        g->OnEditChange(g, g->Col(), g->Row(), Text());
}

void TGridCombo::AddToHistory()
{
    if (FGrid->LookupHistory && !Text().isEmpty() && IndexOfText(Text()) < 0)
        Items()->Add(Text());
}

// Leaving by the focus: the exit notice; leaving by a key that hid the
// combo: only the window's focus loss.
void TGridCombo::DoExit()
{
    AddToHistory();
    FGrid->HideInplaceEdit();
    TSgComboBox::DoExit();
}

void TGridCombo::WMKillFocus(TMessage& M)
{
    AddToHistory();
    TSgComboBox::WMKillFocus(M);
}

void TGridCombo::WMSetFocus(TMessage& M)
{
    TSgComboBox::WMSetFocus(M);
    if (!FGrid->Navigation()->EditSelectAll && !ListOnly())
        SetSelStart(int(Text().size()));
}

void TGridCombo::CMWantSpecialKey(TMessage& M)
{
    TSgComboBox::CMWantSpecialKey(M);
    const unsigned key = unsigned(M.WParam);
    if (key == VK_RETURN || key == VK_ESCAPE || (key == VK_TAB && FGrid->HasCellValidation()))
        M.Result = 1;
}

void TGridCombo::WMLButtonDblClk(TMessage& M)
{
    TExStringGrid* g = FGrid;
    if (g->OnDblClickCell)
        g->OnDblClickCell(g, g->Row(), g->Col());
    TSgComboBox::WMLButtonDblClk(M);
}

// ---------------------------------------------------------------------------
// TGridCheckBox
// ---------------------------------------------------------------------------

TGridCheckBox::TGridCheckBox(TComponent* AOwner) : TCheckBox(AOwner), FGrid(GridOfEditor(AOwner)) {}

void TGridCheckBox::WMLButtonDown(TMessage& M)
{
    SetChecked(!Checked());
    TCheckBox::WMLButtonDown(M);
}

void TGridCheckBox::KeyDown(unsigned& Key, TShiftState Shift)
{
    TExStringGrid* g = FGrid;
    if (Key == VK_SPACE) {
        SetChecked(!Checked());
        TCheckBox::KeyDown(Key, Shift);
        return;
    }
    if (KeyIsOneOf(Key, {VK_RETURN, VK_PRIOR, VK_NEXT, VK_END, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN})) {
        const unsigned k = Key;
        if (k == VK_RETURN)
            g->FCharOfClosedEditor = QChar(13);
        g->HideInplaceEdit();
        if (g->CanFocus())
            g->SetFocus();
        if (k == VK_RETURN && g->Navigation()->AdvanceOnEnter)
            g->AdvanceEditCell(g->Col(), g->Row(), true, false, true, g->Navigation()->AdvanceAutoEdit, false);
        if (k == VK_UP || k == VK_DOWN) {
            unsigned kk = k;
            g->KeyDown(kk, Shift);
        }
        Key = 0;
        return;
    }
    TCheckBox::KeyDown(Key, Shift);
}

void TGridCheckBox::DoExit()
{
    FGrid->HideInplaceEdit();
    TCheckBox::DoExit();
}
