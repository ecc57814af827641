// The combo box: its items and selection, the edit part of the edit styles,
// the drop-down list window, keyboard and mouse, and the notifications.
#include "platform/controls/Clipboard.h"
#include "platform/controls/ScrollBars.h"
#include "platform/controls/StdCtrls.h"

#include <QImage>
#include <algorithm>

namespace {
constexpr int kEdge = 2;
}  // namespace

// ---------------------------------------------------------------------------
// TControlStrings
// ---------------------------------------------------------------------------

void TControlStrings::InsertItem(int index, const QString& s, TObject* obj) {
    TStringList::InsertItem(index, s, obj);
    if (OnInserted) OnInserted(index);
}

void TControlStrings::Delete(int index) {
    TStringList::Delete(index);
    if (OnDeleted) OnDeleted(index);
}

void TControlStrings::Clear() {
    TStringList::Clear();
    if (OnCleared) OnCleared();
}

// ---------------------------------------------------------------------------
// TComboListWindow
// ---------------------------------------------------------------------------

TComboListWindow::TComboListWindow(TCustomComboBox* combo) : TPopupForm(combo), FCombo(combo) {
    SetColor(clWindow);
}

int TComboListWindow::VisibleCount() const {
    const int n = FCombo->Items()->Count();
    return std::clamp(n, 1, FCombo->DropDownCount());
}

TRect TComboListWindow::ItemRect(int index) const {
    int y = 1;
    for (int i = FTopIndex; i < index; ++i) y += FCombo->ItemHeightOf(i);
    return Rect(1, y, ClientWidth() - 1, y + FCombo->ItemHeightOf(index));
}

int TComboListWindow::ItemAtPos(TPoint p) const {
    if (p.X < 0 || p.X >= ClientWidth()) return -1;
    int y = 1;
    const int n = FCombo->Items()->Count();
    for (int i = FTopIndex; i < n; ++i) {
        const int h = FCombo->ItemHeightOf(i);
        if (p.Y >= y && p.Y < y + h) return i;
        y += h;
        if (y >= Height()) break;
    }
    return -1;
}

void TComboListWindow::SetTopIndex(int v) {
    const int n = FCombo->Items()->Count();
    FTopIndex = std::clamp(v, 0, std::max(0, n - VisibleCount()));
    UpdateScrollBar();
    Invalidate();
}

void TComboListWindow::UpdateScrollBar() {
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = std::max(0, FCombo->Items()->Count() - 1);
    si.nPage = unsigned(VisibleCount());
    si.nPos = FTopIndex;
    SetScrollInfo(this, SB_VERT, si, true);
}

void TComboListWindow::WndProc(TMessage& M) {
    if (M.Msg == WM_VSCROLL) {
        const int page = std::max(1, VisibleCount() - 1);
        switch (LoWord(LPARAM(M.WParam))) {
        case SB_LINEUP: SetTopIndex(FTopIndex - 1); break;
        case SB_LINEDOWN: SetTopIndex(FTopIndex + 1); break;
        case SB_PAGEUP: SetTopIndex(FTopIndex - page); break;
        case SB_PAGEDOWN: SetTopIndex(FTopIndex + page); break;
        case SB_TOP: SetTopIndex(0); break;
        case SB_BOTTOM: SetTopIndex(FCombo->Items()->Count()); break;
        case SB_THUMBTRACK: case SB_THUMBPOSITION: {
            // The whole position, not the message's 16 bits.
            TScrollInfo si;
            si.fMask = SIF_TRACKPOS;
            GetScrollInfo(this, SB_VERT, si);
            SetTopIndex(LoWord(LPARAM(M.WParam)) == SB_THUMBTRACK ? si.nTrackPos : HiWord(LPARAM(M.WParam)));
            break;
        }
        default: break;
        }
        M.Result = 0;
        return;
    }
    TPopupForm::WndProc(M);
    // The bar held the mouse while it was pressed; the combo takes it back,
    // as it holds it for as long as its list is down. A cancelled press
    // leaves the mouse with whoever took it.
    if (M.Msg == WM_LBUTTONUP && FCombo->DroppedDown() && !GetCaptureControl())
        SetCaptureControl(FCombo);
}

void TComboListWindow::MakeVisible(int index) {
    if (index < 0) return;
    if (index < FTopIndex) SetTopIndex(index);
    else if (index >= FTopIndex + VisibleCount()) SetTopIndex(index - VisibleCount() + 1);
}

void TComboListWindow::PaintWindow(const TPaintTarget& window) { FCombo->PaintList(window); }

void TComboListWindow::Deactivate() {
    TPopupForm::Deactivate();
    // A click on the combo box itself is the combo's to judge (it holds the
    // mouse while its list is down).
    if (GetCaptureControl() == FCombo) return;
    if (FCombo->DroppedDown()) FCombo->CloseList(false);
}

// ---------------------------------------------------------------------------
// TCustomComboBox
// ---------------------------------------------------------------------------

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TCustomControl(AOwner), FItems(std::make_unique<TControlStrings>()),
      FListScratch(std::make_unique<QImage>(1, 1, QImage::Format_RGB32)) {
    // OnClick comes with a change of the selection, not with any click.
    ControlStyle = csCaptureMouse | csSetCaption | csDoubleClicks | csFixedHeight;
    SetParentColor(false);
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 145, 21);
    FItems->SetDuplicates(dupAccept);
    FItems->OnInserted = [this](int i) {
        if (FItemIndex >= 0 && i <= FItemIndex) ++FItemIndex;
        ItemsChanged();
    };
    FItems->OnDeleted = [this](int i) {
        if (i == FItemIndex) FItemIndex = -1;
        else if (i < FItemIndex) --FItemIndex;
        ItemsChanged();
    };
    FItems->OnCleared = [this] {
        FItemIndex = -1;
        ItemsChanged();
    };
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
}

TCustomComboBox::~TCustomComboBox() {
    FItems->OnInserted = nullptr;
    FItems->OnDeleted = nullptr;
    FItems->OnCleared = nullptr;
    FItems->OnChange = nullptr;
    // The list window is owned, and goes with the combo's components. The
    // canvas may still be bound to the list's scratch surface, which goes now.
    Canvas()->Detach();
}

void TCustomComboBox::ItemsChanged() {
    if (FItemIndex >= FItems->Count()) FItemIndex = -1;
    // The list styles show the selected item; a changed item text shows.
    if (!HasEditPart()) SyncTextToIndex();
    if (FList && FList->Showing()) FList->SetTopIndex(FList->TopIndex());
    Invalidate();
}

void TCustomComboBox::SetStyle(TComboBoxStyle v) {
    if (v == FStyle) return;
    FStyle = v;
    RecreateWnd();
    if (!HasEditPart()) SyncTextToIndex();
    Invalidate();
}

void TCustomComboBox::SetSorted(bool v) {
    if (v == FSorted) return;
    FSorted = v;
    const QString cur = FItemIndex >= 0 ? FItems->Strings(FItemIndex) : QString();
    TObject* curObj = FItemIndex >= 0 ? FItems->Objects(FItemIndex) : nullptr;
    FItems->SetSorted(v);
    if (FItemIndex >= 0) {
        // The selection stays on its item.
        for (int i = 0; i < FItems->Count(); ++i)
            if (FItems->Strings(i) == cur && FItems->Objects(i) == curObj) {
                FItemIndex = i;
                break;
            }
    }
    Invalidate();
}

int TCustomComboBox::IndexOfText(const QString& s) const {
    for (int i = 0; i < FItems->Count(); ++i)
        if (FItems->Strings(i).compare(s, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

void TCustomComboBox::SyncTextToIndex() {
    const QString t = FItemIndex >= 0 ? FItems->Strings(FItemIndex) : QString();
    FSettingText = true;
    struct Reset { bool& f; ~Reset() { f = false; } } reset{FSettingText};
    TControl::SetText(t);
    FEdit.Assign(t);
    FEdit.SelectAll();
}

void TCustomComboBox::SetItemIndex(int v) {
    if (v < -1 || v >= FItems->Count()) v = -1;
    FItemIndex = v;
    if (FList && FList->Showing()) {
        FHighlight = v;
        FList->MakeVisible(v);
    }
    // Choosing "no item" clears the edit part too.
    SyncTextToIndex();
    Invalidate();
}

void TCustomComboBox::SetText(const QString& v) {
    if (!HasEditPart()) {
        // A drop-down list shows only its items: the text picks one.
        FItemIndex = IndexOfText(v);
        SyncTextToIndex();
        Invalidate();
        return;
    }
    FSettingText = true;
    struct Reset { bool& f; ~Reset() { f = false; } } reset{FSettingText};
    TControl::SetText(v);
    FEdit.Assign(v);
    FEdit.SelectAll();
    Invalidate();
}

void TCustomComboBox::CMTextChanged(TMessage& M) {
    // Text set through the control's generic text (not this class's setter)
    // is taken the same way, without a change notice.
    if (!FSettingText) {
        const QString t = Text();
        if (!HasEditPart()) {
            FItemIndex = IndexOfText(t);
            if (FItemIndex < 0 && !t.isEmpty()) SyncTextToIndex();
        } else {
            FEdit.Assign(t);
        }
    }
    TCustomControl::CMTextChanged(M);
}

void TCustomComboBox::Clear() {
    FItems->Clear();
    SetText(QString());
}

int TCustomComboBox::ItemHeight() {
    if (FItemHeight > 0) return FItemHeight;
    TCanvas* c = Canvas();
    c->Font().Assign(*Font());
    return std::max(1, c->TextHeight(QStringLiteral("Wg")));
}

void TCustomComboBox::SetItemHeight(int v) {
    FItemHeight = v > 0 ? v : 0;
    Invalidate();
}

int TCustomComboBox::ItemHeightOf(int index) {
    int h = ItemHeight();
    if (FStyle == csOwnerDrawVariable && index >= 0 && index < FItems->Count()) MeasureItem(index, h);
    return std::max(1, h);
}

void TCustomComboBox::MeasureItem(int Index, int& Height) {
    if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

int TCustomComboBox::DroppedWidth() const { return std::max(FDroppedWidth, Width()); }

void TCustomComboBox::SetDroppedWidth(int v) {
    FDroppedWidth = v > 0 ? v : 0;
    if (FList && FList->Showing()) FList->SetWidth(DroppedWidth());
}

// -- notifications ------------------------------------------------------------

void TCustomComboBox::Notify(unsigned code) {
    SendNotification(this, code);
    TMessage m{CN_COMMAND, MakeWParam(0, int(code)), LPARAM(Handle()), 0};
    CNCommand(m);
}

void TCustomComboBox::CNCommand(TMessage& M) {
    switch (HiWord(LPARAM(M.WParam))) {
    case CBN_SELCHANGE:
        Click();
        Select();
        break;
    case CBN_EDITCHANGE: Change(); break;
    case CBN_DROPDOWN: DropDown(); break;
    case CBN_CLOSEUP: CloseUp(); break;
    case CBN_DBLCLK: DblClick(); break;
    default: break;
    }
}

void TCustomComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
    // A choice from the list raises OnSelect when there is one, else
    // OnChange, as the class library does.
    if (OnSelect) OnSelect(this);
    else Change();
}

void TCustomComboBox::DropDown() {
    if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
    if (OnCloseUp) OnCloseUp(this);
}

void TCustomComboBox::UserSelect(int index) {
    if (index < 0 || index >= FItems->Count() || index == FItemIndex) return;
    FItemIndex = index;
    SyncTextToIndex();
    Invalidate();
    Notify(CBN_SELCHANGE);
}

void TCustomComboBox::EditTyped(const TEditCore& next) {
    FSettingText = true;
    {
        struct Reset { bool& f; ~Reset() { f = false; } } reset{FSettingText};
        TControl::SetText(next.Text());
    }
    FEdit = next;
    FItemIndex = IndexOfText(next.Text());
    Invalidate();
    Notify(CBN_EDITUPDATE);
    Notify(CBN_EDITCHANGE);
}

// -- the list -----------------------------------------------------------------

void TCustomComboBox::SetDroppedDown(bool v) {
    if (v) OpenList();
    else CloseList(false);
}

void TCustomComboBox::OpenList() {
    if (DroppedDown() || FStyle == csSimple || !Enabled()) return;
    // OnDropDown may still fill the items.
    Notify(CBN_DROPDOWN);
    if (!FList) {
        FList = new TComboListWindow(this);
        FList->AfterConstruction();
    }
    FHighlight = FItemIndex;
    int h = 2;
    const int n = FItems->Count();
    const int shown = std::clamp(n, 1, FDropDownCount);
    for (int i = 0; i < shown; ++i) h += ItemHeightOf(i < n ? i : -1);
    TPoint at = ClientToScreen(Point(0, Height()));
    // A list that would run past the bottom of the work area opens above the
    // combo instead, when there is more room there.
    const TRect work = ScreenWorkArea();
    const int top = ClientToScreen(Point(0, 0)).Y;
    if (at.Y + h > work.Bottom && top - work.Top > work.Bottom - at.Y) at.Y = top - h;
    FList->SetBounds(at.X, at.Y, DroppedWidth(), h);
    FList->SetTopIndex(0);
    FList->MakeVisible(FHighlight);
    FList->Show();
    SetCaptureControl(this);
    Invalidate();
    // The list asks for its colours as it first paints; a dialog's own
    // procedure may move it then.
    Perform(WM_CTLCOLORLISTBOX, 0, FList->Handle());
}

void TCustomComboBox::CloseList(bool accept) {
    if (!DroppedDown()) return;
    FList->Hide();
    if (GetCaptureControl() == this && !FInMouseUp) SetCaptureControl(nullptr);
    Invalidate();
    if (accept && FHighlight >= 0) UserSelect(FHighlight);
    Notify(CBN_CLOSEUP);
    Notify(accept ? CBN_SELENDOK : CBN_SELENDCANCEL);
}

bool TCustomComboBox::PointInList(TPoint p, TPoint& inList) const {
    if (!FList || !FList->Showing()) return false;
    const TPoint s = ClientToScreen(p);
    inList = Point(s.X - FList->Left(), s.Y - FList->Top());
    return FList->BoundsRect().Contains(s);
}

void TCustomComboBox::PaintList(const TPaintTarget& window) {
    TCanvas* c = Canvas();
    c->Detach();
    window.AttachCanvas(*c);
    struct Rebind {
        TCustomComboBox* self;
        ~Rebind() {
            self->Canvas()->Detach();
            self->Canvas()->Attach(self->FListScratch.get());
        }
    } rebind{this};
    c->Font().Assign(*Font());
    // The client area: the list's scroll bar, when shown, is its non-client
    // part and is painted by the platform.
    const TRect all = Rect(0, 0, FList->ClientWidth(), FList->ClientHeight());
    c->Brush().SetColor(Color());
    c->FillRect(all);
    c->Brush().SetColor(clWindowFrame);
    c->FrameRect(all);
    for (int i = FList->TopIndex(); i < FItems->Count(); ++i) {
        const TRect r = FList->ItemRect(i);
        if (r.Top >= all.Bottom - 1) break;
        c->SaveState();
        c->IntersectClipRect(1, 1, all.Right - 1, all.Bottom - 1);
        DrawItem(i, r, i == FHighlight ? odSelected | odFocused : 0u);
        c->RestoreState();
    }
}

// -- painting -----------------------------------------------------------------

TRect TCustomComboBox::ButtonRect() const {
    if (FStyle == csSimple) return TRect();
    const int w = GetSystemMetrics(SM_CXVSCROLL) > 0 ? GetSystemMetrics(SM_CXVSCROLL) : 17;
    return Rect(Width() - kEdge - w, kEdge, Width() - kEdge, Height() - kEdge);
}

TRect TCustomComboBox::EditRect() const {
    const TRect b = ButtonRect();
    const int right = FStyle == csSimple ? Width() - kEdge : b.Left;
    return Rect(kEdge + 1, kEdge + 1, right - 1, Height() - kEdge - 1);
}

void TCustomComboBox::DrawItem(int Index, TRect R, TOwnerDrawState State) {
    TCanvas* c = Canvas();
    if (State & odSelected) {
        c->Brush().SetColor(clHighlight);
        c->Font().SetColor(clHighlightText);
    } else {
        c->Brush().SetColor(Color());
        c->Font().SetColor(Enabled() ? Font()->Color() : clGrayText);
    }
    if (OwnerDrawn() && OnDrawItem) {
        OnDrawItem(this, Index, R, State);
        return;
    }
    c->FillRect(R);
    if (Index < 0 || Index >= FItems->Count()) return;
    c->Brush().SetStyle(bsClear);
    c->TextOut(R.Left + 2, R.Top + std::max(0, (R.Height() - c->TextHeight(QStringLiteral("Wg"))) / 2),
               FItems->Strings(Index));
}

void TCustomComboBox::Paint() {
    TCanvas* c = Canvas();
    const TRect all = ClientRect();
    c->Brush().SetColor(Enabled() ? Color() : clBtnFace);
    c->FillRect(all);
    TRect e = all;
    c->DrawEdge(e, EDGE_SUNKEN, BF_RECT);
    if (FStyle != csSimple) {
        TRect b = ButtonRect();
        c->DrawFrameControl(b, DFC_SCROLL,
                            DFCS_SCROLLCOMBOBOX | (DroppedDown() ? unsigned(DFCS_PUSHED) : 0u) |
                                (Enabled() ? 0u : unsigned(DFCS_INACTIVE)));
    }
    const TRect field = EditRect();
    c->SaveState();
    c->IntersectClipRect(field.Left, field.Top, field.Right, field.Bottom);
    c->Font().Assign(*Font());
    const bool focused = Focused() && !DroppedDown();
    if (HasEditPart()) {
        const int th = c->TextHeight(QStringLiteral("Wg"));
        const int y = field.Top + std::max(0, (field.Height() - th) / 2);
        if (!Enabled()) c->Font().SetColor(clGrayText);
        c->Brush().SetStyle(bsClear);
        c->TextOut(field.Left + 1, y, Text());
        if (Focused() && FEdit.SelLength() > 0) {
            const int x1 = field.Left + 1 + c->TextWidth(Text().left(FEdit.SelStart()));
            const int x2 = x1 + c->TextWidth(FEdit.SelText());
            c->Brush().SetColor(clHighlight);
            c->FillRect(Rect(x1, y, x2, y + th));
            c->Font().SetColor(clHighlightText);
            c->Brush().SetStyle(bsClear);
            c->TextOut(x1, y, FEdit.SelText());
        } else if (Focused()) {
            const int x = field.Left + 1 + c->TextWidth(Text().left(FEdit.Caret()));
            c->Pen().SetColor(clWindowText);
            c->MoveTo(x, y);
            c->LineTo(x, y + th);
        }
    } else if (OwnerDrawn()) {
        const TOwnerDrawState st = odComboBoxEdit | (focused ? odSelected | odFocused : 0u);
        if (FItemIndex >= 0) DrawItem(FItemIndex, field, st);
        else {
            c->Brush().SetColor(focused ? clHighlight : Color());
            c->FillRect(field);
        }
        if (focused) c->DrawFocusRect(field);
    } else {
        // The selection field of a drop-down list: highlighted while focused.
        DrawItem(FItemIndex, field, focused ? odSelected | odFocused : 0u);
        if (focused) c->DrawFocusRect(field);
    }
    c->RestoreState();
}

// -- messages -----------------------------------------------------------------

void TCustomComboBox::WndProc(TMessage& M) {
    switch (M.Msg) {
    case CN_COMMAND: CNCommand(M); return;
    case WM_CTLCOLORLISTBOX: case WM_CTLCOLOREDIT:
        // Colours are the parent's to choose, as the platform's combo box does.
        if (Parent()) M.Result = Parent()->Perform(M.Msg, M.WParam, M.LParam);
        return;
    case WM_CAPTURECHANGED:
        // The list's own scroll bar holds the mouse while it is pressed.
        if (DroppedDown() && !FInMouseUp && GetCaptureControl() != this && GetCaptureControl() != FList)
            CloseList(false);
        TCustomControl::WndProc(M);
        return;
    case CB_GETCOUNT: M.Result = FItems->Count(); return;
    case CB_GETCURSEL: M.Result = FItemIndex; return;
    case CB_SETCURSEL: SetItemIndex(int(static_cast<std::intptr_t>(M.WParam))); M.Result = FItemIndex; return;
    case CB_SHOWDROPDOWN: SetDroppedDown(M.WParam != 0); M.Result = 1; return;
    case CB_GETDROPPEDSTATE: M.Result = DroppedDown() ? 1 : 0; return;
    case CB_GETDROPPEDWIDTH: M.Result = DroppedWidth(); return;
    case CB_SETDROPPEDWIDTH: SetDroppedWidth(int(M.WParam)); M.Result = DroppedWidth(); return;
    case CB_GETITEMHEIGHT:
        M.Result = static_cast<std::intptr_t>(M.WParam) == -1 || M.WParam == WPARAM(-1)
                       ? (FEditHeight > 0 ? FEditHeight : EditRect().Height())
                       : ItemHeight();
        return;
    case CB_SETITEMHEIGHT:
        if (M.WParam == WPARAM(-1)) FEditHeight = int(M.LParam);
        else SetItemHeight(int(M.LParam));
        Invalidate();
        return;
    case CB_LIMITTEXT: SetMaxLength(int(M.WParam)); M.Result = 1; return;
    case CB_GETEDITSEL:
        M.Result = MakeLParam(FEdit.SelStart(), FEdit.SelStart() + FEdit.SelLength());
        return;
    case CB_SETEDITSEL:
        FEdit.SetAnchorCaret(LoWord(M.LParam), HiWord(M.LParam) == 0xFFFF ? int(Text().size()) : HiWord(M.LParam));
        Invalidate();
        M.Result = 1;
        return;
    case CB_RESETCONTENT: FItems->Clear(); return;
    case WM_COPY:
        if (HasEditPart() && FEdit.SelLength() > 0) Clipboard()->SetAsText(FEdit.SelText());
        return;
    case WM_CUT: case WM_CLEAR:
        if (HasEditPart() && FEdit.SelLength() > 0) {
            if (M.Msg == WM_CUT) Clipboard()->SetAsText(FEdit.SelText());
            TEditCore next = FEdit;
            next.DeleteBack();
            EditTyped(next);
        }
        return;
    case WM_PASTE:
        if (HasEditPart() && Clipboard()->HasFormat(CF_TEXT)) {
            QString s = Clipboard()->AsText();
            const int brk = int(s.indexOf(QLatin1Char('\r')) >= 0 ? s.indexOf(QLatin1Char('\r')) : s.indexOf(QLatin1Char('\n')));
            if (brk >= 0) s.truncate(brk);
            TEditCore next = FEdit;
            if (next.ReplaceSel(s)) EditTyped(next);
        }
        return;
    default: TCustomControl::WndProc(M);
    }
}

void TCustomComboBox::WMGetDlgCode(TMessage& M) {
    M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (HasEditPart() ? unsigned(DLGC_HASSETSEL) : 0u);
}

void TCustomComboBox::CMWantSpecialKey(TMessage& M) {
    // While the list is down Enter and Escape close it, not the dialog.
    M.Result = (DroppedDown() && (M.WParam == VK_RETURN || M.WParam == VK_ESCAPE)) ? 1 : 0;
}

void TCustomComboBox::WMSetFocus(TMessage& M) {
    TCustomControl::WMSetFocus(M);
    if (HasEditPart()) FEdit.SelectAll();
    Invalidate();
    Notify(CBN_SETFOCUS);
}

void TCustomComboBox::WMKillFocus(TMessage& M) {
    CloseList(false);
    TCustomControl::WMKillFocus(M);
    Invalidate();
    Notify(CBN_KILLFOCUS);
}

bool TCustomComboBox::ListKey(unsigned key) {
    const int n = FItems->Count();
    if (n == 0) return false;
    const bool dropped = DroppedDown();
    const int cur = dropped ? FHighlight : FItemIndex;
    const int page = std::max(1, FDropDownCount - 1);
    int to = cur;
    switch (key) {
    case VK_UP: case VK_LEFT: to = cur < 0 ? 0 : cur - 1; break;
    case VK_DOWN: case VK_RIGHT: to = cur + 1; break;
    case VK_PRIOR: to = cur - page; break;
    case VK_NEXT: to = cur < 0 ? page - 1 : cur + page; break;
    case VK_HOME: to = 0; break;
    case VK_END: to = n - 1; break;
    default: return false;
    }
    to = std::clamp(to, 0, n - 1);
    if (dropped) {
        FHighlight = to;
        FList->MakeVisible(to);
        FList->Invalidate();
    } else {
        UserSelect(to);
    }
    return true;
}

void TCustomComboBox::EditKey(unsigned key, TShiftState shift) {
    const bool extend = shift & ssShift;
    TEditCore next = FEdit;
    switch (key) {
    case VK_LEFT: next.MoveCaret(shift & ssCtrl ? next.WordLeft(next.Caret()) : next.Caret() - 1, extend); break;
    case VK_RIGHT: next.MoveCaret(shift & ssCtrl ? next.WordRight(next.Caret()) : next.Caret() + 1, extend); break;
    case VK_HOME: next.MoveCaret(0, extend); break;
    case VK_END: next.MoveCaret(int(Text().size()), extend); break;
    case VK_DELETE:
        if (next.DeleteForward()) {
            EditTyped(next);
            return;
        }
        break;
    default: return;
    }
    FEdit = next;
    Invalidate();
}

void TCustomComboBox::WMKeyDown(TMessage& M) {
    if (DoKeyDown(M)) {
        M.Result = 1;
        return;
    }
    const unsigned key = unsigned(M.WParam);
    const TShiftState shift = KeyboardShiftState();
    if (key == VK_F4 && !(shift & ssAlt)) {
        SetDroppedDown(!DroppedDown());
        return;
    }
    if (DroppedDown()) {
        if (key == VK_RETURN) CloseList(true);
        else if (key == VK_ESCAPE) CloseList(false);
        else if (!(HasEditPart() && (key == VK_LEFT || key == VK_RIGHT || key == VK_HOME || key == VK_END)))
            ListKey(key);
        else EditKey(key, shift);
        return;
    }
    if (HasEditPart()) {
        if (key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT) ListKey(key);
        else EditKey(key, shift);
        return;
    }
    ListKey(key);
}

void TCustomComboBox::WMSysKeyDown(TMessage& M) {
    if (DoKeyDown(M)) {
        M.Result = 1;
        return;
    }
    // Alt+Down and Alt+Up open and close the list.
    if (M.WParam == VK_DOWN || M.WParam == VK_UP) SetDroppedDown(!DroppedDown());
}

void TCustomComboBox::WMChar(TMessage& M) {
    if (DoKeyPress(M)) {
        M.Result = 1;
        return;
    }
    const QChar ch(char16_t(M.WParam));
    if (HasEditPart()) {
        switch (ch.unicode()) {
        case 1: FEdit.SelectAll(); Invalidate(); return;
        case 3: Perform(WM_COPY); return;
        case 22: Perform(WM_PASTE); return;
        case 24: Perform(WM_CUT); return;
        case 8: {
            TEditCore next = FEdit;
            if (next.DeleteBack()) EditTyped(next);
            return;
        }
        default: break;
        }
        if (ch.unicode() < 32) return;
        TEditCore next = FEdit;
        if (next.ReplaceSel(QString(ch))) EditTyped(next);
        else MessageBeep(0);
        return;
    }
    if (ch.unicode() < 32 || FItems->Count() == 0) return;
    // Letters typed in quick succession search by the whole prefix; a
    // letter on its own (or repeated) steps to the next item with it.
    const int found = FTypeAhead.Type(*FItems, ch, TickCount(), DroppedDown() ? FHighlight : FItemIndex);
    if (found < 0) {
        MessageBeep(0);
        return;
    }
    if (DroppedDown()) {
        FHighlight = found;
        FList->MakeVisible(found);
        FList->Invalidate();
    } else {
        UserSelect(found);
    }
}

void TCustomComboBox::WMLButtonDown(TMessage& M) {
    const TPoint p(GetXLParam(M.LParam), GetYLParam(M.LParam));
    TPoint inList;
    if (DroppedDown()) {
        if (PointInList(p, inList)) {
            // A press on the list's scroll bar is the bar's (the combo holds
            // the mouse, so it hands the press on).
            const TPoint s = ClientToScreen(p);
            const LPARAM at = MakeLParam(s.X, s.Y);
            const LRESULT hit = FList->Perform(WM_NCHITTEST, 0, at);
            if (hit == HTVSCROLL) {
                FList->Perform(WM_NCLBUTTONDOWN, WPARAM(hit), at);
                return;
            }
            const int i = FList->ItemAtPos(inList);
            if (i >= 0) FHighlight = i;
            FList->Invalidate();
            return;
        }
        // Anywhere else, the combo box included, closes the list unchanged.
        CloseList(false);
        if (!ClientRect().Contains(p)) return;
        TCustomControl::WMLButtonDown(M);
        return;
    }
    if (CanFocus() && !Focused()) SetFocus();
    TCustomControl::WMLButtonDown(M);
    const bool onButton = ButtonRect().Contains(p);
    if (onButton || !HasEditPart()) OpenList();
    else {
        // The edit part takes the caret where it was clicked.
        TCanvas* c = Canvas();
        c->Font().Assign(*Font());
        int best = 0, bestDist = 1 << 30;
        for (int i = 0; i <= Text().size(); ++i) {
            const int d = std::abs(EditRect().Left + 1 + c->TextWidth(Text().left(i)) - p.X);
            if (d < bestDist) {
                bestDist = d;
                best = i;
            }
        }
        FEdit.MoveCaret(best, (M.WParam & MK_SHIFT) != 0);
        Invalidate();
    }
}

void TCustomComboBox::WMMouseMove(TMessage& M) {
    TPoint inList;
    if (DroppedDown() && PointInList(Point(GetXLParam(M.LParam), GetYLParam(M.LParam)), inList)) {
        const int i = FList->ItemAtPos(inList);
        if (i >= 0 && i != FHighlight) {
            FHighlight = i;
            FList->Invalidate();
        }
    }
    TCustomControl::WMMouseMove(M);
}

void TCustomComboBox::WMLButtonUp(TMessage& M) {
    const TPoint p(GetXLParam(M.LParam), GetYLParam(M.LParam));
    FInMouseUp = true;
    {
        struct Reset { bool& f; ~Reset() { f = false; } } reset{FInMouseUp};
        TCustomControl::WMLButtonUp(M);
    }
    TPoint inList;
    if (!DroppedDown()) return;
    if (PointInList(p, inList)) {
        const int i = FList->ItemAtPos(inList);
        if (i >= 0) {
            FHighlight = i;
            CloseList(true);
            return;
        }
    }
    // The list stays down and keeps the mouse.
    SetCaptureControl(this);
}

void TCustomComboBox::WMMouseWheel(TMessage& M) {
    const int delta = static_cast<std::int16_t>((M.WParam >> 16) & 0xFFFF);
    if (DroppedDown()) {
        FList->SetTopIndex(FList->TopIndex() + (delta < 0 ? 3 : -3));
        M.Result = 1;
        return;
    }
    if (Focused() && FItems->Count() > 0) {
        ListKey(delta < 0 ? VK_DOWN : VK_UP);
        M.Result = 1;
        return;
    }
    TCustomControl::WMMouseWheel(M);
}
