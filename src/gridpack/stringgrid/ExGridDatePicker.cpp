// The grid's date and time picker editor (edDateEdit, edDateEditUpDown,
// edTimeEdit): made on first use, opened holding the cell's date or time,
// its keys, the field advance after a typed digit, and the value written
// back.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/stringgrid/ExGridEditors.h"

#include "platform/controls/Messages.h"

namespace {
// Sets the picker's value, kept inside its limits; false when the text is
// no date (or time).
bool SetPickerFromText(TDateTimePicker* p, const QString& text)
{
    TDateTime d;
    const bool ok = p->Kind() == dtkTime ? TryStrToTime(text, d) : TryStrToDate(text, d);
    if (!ok)
        return false;
    if (p->Kind() == dtkTime)
        d = p->Date() + d;
    try {
        p->SetDateTime(d);
    } catch (const EDateTimeError&) {
        return false;
    }
    return true;
}

void SetPickerNow(TDateTimePicker* p)
{
    try {
        p->SetDateTime(Now());
    } catch (const EDateTimeError&) {
        // Now lies outside the limits: the picker keeps its value.
    }
}
} // namespace

// ---------------------------------------------------------------------------
// The grid's side
// ---------------------------------------------------------------------------

TGridDatePicker* TExStringGrid::EditDatePicker()
{
    if (!FEditDate) {
        FEditDate = new TGridDatePicker(this);
        FEditDate->SetVisible(false);
        FEditDate->SetEnabled(false);
        FEditDate->SetParent(this);
        FEditDate->OnCloseUp = [this](TObject* s) { DateEditorCloseUp(s); };
        FEditDate->OnDropDown = [this](TObject* s) { DateEditorDropDown(s); };
        FEditDate->OnChange = [this](TObject* s) { DateEditorChange(s); };
    }
    return FEditDate;
}

void TExStringGrid::DateEditorChange(TObject* Sender)
{
    if (!OnEditChange || !FEditDate)
        return;
    const QString v =
        FEditDate->Kind() == dtkTime ? TimeToStr(FEditDate->DateTime()) : DateToStr(FEditDate->DateTime());
    OnEditChange(Sender, Col(), Row(), v);
}

void TExStringGrid::DateEditorCloseUp(TObject* Sender)
{
    if (OnDatePickerCloseUp)
        OnDatePickerCloseUp(Sender, Row(), Col());
    if (MouseActions()->DirectDateClose)
        HideInplaceEdit();
}

void TExStringGrid::DateEditorDropDown(TObject* Sender)
{
    if (FEditDate) {
        if (TMonthCalendar* cal = FEditDate->MonthCalendar()) {
            cal->SetWeekNumbers(FEditDate->Weeknumbers);
            cal->SetShowToday(FEditDate->ShowToday);
            cal->SetShowTodayCircle(FEditDate->ShowTodayCircle);
            const TRect r = cal->GetMinReqRect();
            cal->SetBounds(0, 0, r.Width() + 2, r.Height() + 2);
        }
    }
    if (OnDatePickerDropDown)
        OnDatePickerDropDown(Sender, Row(), Col());
}

void TExStringGrid::OpenDateEditor(const TRect& R, int RCol, int ARow, int ACol)
{
    EditMode = true;
    if (!ComCtl32Above469())
        return;
    TGridDatePicker* dp = EditDatePicker();
    const int W = R.Right - R.Left - 1, H = R.Bottom - R.Top - 1;
    dp->SetParent(this);
    dp->RecreateWnd();
    const QString text = GetEditText(ACol, ARow);
    if (EditControl == edTimeEdit) {
        dp->SetKind(dtkTime);
        TDateTime t;
        if (text.trimmed().isEmpty() || !TryStrToTime(text, t))
            SetPickerNow(dp);
        else
            SetPickerFromText(dp, text);
        dp->SetBounds(R.Left, R.Top, W, H);
        dp->SetEnabled(true);
        dp->SetVisible(true);
        dp->SetColor(EditorCellColor(RCol, ARow));
        GetEditorProp(RCol, ARow, FEditLink);
        if (dp->CanFocus())
            dp->SetFocus();
        EditCtrl = dp;
        return;
    }
    TDateTime d = Now();
    if (!text.isEmpty()) {
        if (OnCustomStrToDate) {
            OnCustomStrToDate(this, text, d);
        } else if (TryStrToDateTime(text, d)) {
            if (dp->MaxDate() != 0 && d > dp->MaxDate())
                d = dp->MaxDate() - 1;
            if (dp->MinDate() != 0 && d <= dp->MinDate())
                d = dp->MinDate() + 1;
        } else {
            d = Now();
        }
    }
    dp->SetKind(dtkDate);
    try {
        dp->SetDateTime(d);
    } catch (const EDateTimeError&) {
        SetPickerNow(dp);
    }
    dp->SetDateMode(EditControl == edDateEditUpDown ? dmUpDown : dmComboBox);
    GetEditorProp(RCol, ARow, FEditLink);
    dp->SetBounds(R.Left, R.Top, W, dp->Height() != H ? H : dp->Height());
    dp->SetEnabled(true);
    dp->SetVisible(true);
    dp->SetColor(EditorCellColor(RCol, ARow));
    if (dp->CanFocus())
        dp->SetFocus();
    if (MouseActions()->DirectDateDrop)
        dp->Perform(WM_KEYDOWN, VK_F4, 0);
    if (!FStartEditChar.isNull())
        PostMessage(dp->Handle(), WM_CHAR, WPARAM(FStartEditChar.unicode()), 0);
    EditCtrl = dp;
}

void TExStringGrid::CloseDateEditor(int RCol, int ARow)
{
    TGridDatePicker* dp = FEditDate;
    if (!dp || !ComCtl32Above469()) {
        EditMode = false;
        return;
    }
    if (EditControl == edTimeEdit) {
        // The picker's own display format gives the text written.
        StoreEditValue(RCol, ARow, dp->DisplayText());
        dp->SetVisible(false);
        dp->SetEnabled(false);
        EditMode = false;
        return;
    }
    StoreEditValue(RCol, ARow, dp->Checked() ? dp->DisplayText() : QString());
    EditMode = false;
    if (dp->DroppedDown())
        dp->CloseUp(false);
    dp->SetVisible(false);
    dp->SetEnabled(false);
}

// ---------------------------------------------------------------------------
// TGridDatePicker
// ---------------------------------------------------------------------------

TGridDatePicker::TGridDatePicker(TComponent* AOwner) : TSgDateTimePicker(AOwner), FGrid(GridOfEditor(AOwner)) {}

void TGridDatePicker::KeyDown(unsigned& Key, TShiftState Shift)
{
    TExStringGrid* g = FGrid;
    if (Key != VK_TAB && Key != VK_RETURN && Key != VK_ESCAPE && Key != VK_PRIOR && Key != VK_NEXT &&
        Key != VK_END) {
        TSgDateTimePicker::KeyDown(Key, Shift);
        return;
    }
    if (Key == VK_ESCAPE) {
        if (!SetPickerFromText(this, g->GetCurrentCell()))
            SetPickerNow(this);
    }
    if (Key == VK_RETURN) {
        // The field being typed is completed first.
        Perform(WM_KEYDOWN, VK_RIGHT, 0);
        Perform(WM_KEYUP, VK_RIGHT, 0);
        g->SetCurrentCell(DisplayText());
        if (!g->ValidateCell(g->GetCurrentCell())) {
            SetPickerFromText(this, g->FNewCellText);
            Invalidate();
            Key = 0;
            g->FNoAutoAdvance = true;
            return;
        }
        SetPickerFromText(this, g->GetCurrentCell());
    }
    if (Key == VK_TAB && g->HasCellValidation()) {
        g->SetCurrentCell(DisplayText());
        if (!g->ValidateCell(g->GetCurrentCell())) {
            SetPickerFromText(this, g->FNewCellText);
            Invalidate();
            Key = 0;
            return;
        }
        if (g->Options() & goTabs) {
            g->HideInplaceEdit();
            if (g->CanFocus())
                g->SetFocus();
            g->MoveFromEditor(Shift & ssShift);
            Key = 0;
            return;
        }
        PostMessage(g->Handle(), WM_KEYDOWN, VK_TAB, 0);
    }
    if (!DroppedDown()) {
        if (Key == VK_RETURN || Key == VK_TAB || Key == VK_ESCAPE)
            g->FCharOfClosedEditor = QChar(Key == VK_RETURN ? 13 : Key == VK_TAB ? 9 : 27);
        g->DoneInplaceEdit(Key, Shift);
        Key = 0;
    }
}

void TGridDatePicker::KeyPress(QChar& Key)
{
    if (Key.isDigit()) {
        int y, m, d, h, n, s, ms;
        DecodeDate(DateTime(), y, m, d);
        DecodeTime(DateTime(), h, n, s, ms);
        Fy = std::uint16_t(y);
        Fm = std::uint16_t(m);
        Fd = std::uint16_t(d);
        Fth = std::uint16_t(h);
        Ftm = std::uint16_t(n);
        Fts = std::uint16_t(s);
        Ftms = std::uint16_t(ms);
        QChar k = Key;
        TSgDateTimePicker::KeyPress(k);
        PostMessage(Handle(), GridDTPShiftFocusMsg(), 0, 0);
    } else {
        TSgDateTimePicker::KeyPress(Key);
    }
    TExStringGrid* g = FGrid;
    if (g->OnKeyPress)
        g->OnKeyPress(g, Key);
}

void TGridDatePicker::ShiftFocus()
{
    int y, m, d, h, n, s, ms;
    DecodeDate(DateTime(), y, m, d);
    DecodeTime(DateTime(), h, n, s, ms);
    bool advance = false;
    if (Kind() == dtkTime) {
        advance = h != Fth || n != Ftm || s != Fts;
    } else if (!Format().isEmpty()) {
        const QChar L = Format().back().toLower();
        const bool dayChanged = d != Fd, monthChanged = m != Fm, yearChanged = y != Fy;
        if ((dayChanged && L == QLatin1Char('d')) || (monthChanged && L == QLatin1Char('m')) ||
            (yearChanged && L == QLatin1Char('y')))
            advance = false;
        else
            advance = dayChanged || monthChanged || yearChanged;
    } else {
        advance = d != Fd || m != Fm;
    }
    if (advance)
        PostMessage(Handle(), WM_KEYDOWN, VK_RIGHT, 0);
}

void TGridDatePicker::WndProc(TMessage& M)
{
    if (M.Msg == GridDTPShiftFocusMsg()) {
        ShiftFocus();
        M.Result = 0;
        return;
    }
    if (M.Msg == CN_NOTIFY && M.LParam) {
        const unsigned code = reinterpret_cast<const NMHDR*>(M.LParam)->code;
        if (code == DTN_DROPDOWN)
            FOldDropped = true;
        else if (code == DTN_CLOSEUP)
            FOldDropped = false;
    }
    TSgDateTimePicker::WndProc(M);
    if (M.Msg == CN_NOTIFY) {
        // The grid hears of a picked date as a parent hears of its child's.
        if (M.LParam && FGrid && reinterpret_cast<const NMHDR*>(M.LParam)->code == DTN_DATETIMECHANGE)
            FGrid->Perform(WM_NOTIFY, 0, M.LParam);
        M.Result = 0;
    }
}

void TGridDatePicker::Paint()
{
    TSgDateTimePicker::Paint();
    TCanvas* c = Canvas();
    c->Brush().SetColor(clWindow);
    c->FrameRect(Rect(0, 0, Width(), Height()));
    c->FrameRect(Rect(1, 1, Width() - 1, Height() - 1));
}

void TGridDatePicker::DoExit()
{
    FGrid->HideInplaceEdit();
    TSgDateTimePicker::DoExit();
}

void TGridDatePicker::CMWantSpecialKey(TMessage& M)
{
    TSgDateTimePicker::CMWantSpecialKey(M);
    const unsigned key = unsigned(M.WParam);
    if (key == VK_RETURN || key == VK_ESCAPE || (key == VK_TAB && FGrid->HasCellValidation()))
        M.Result = 1;
}
