// The list box: items and selection (single or multiple), scrolling,
// keyboard, mouse and owner drawing.
#include "platform/controls/StdCtrls.h"
#include "platform/controls/ScrollBars.h"

#include <algorithm>

namespace {
constexpr int kEdge = 2;
}  // namespace

TCustomListBox::TCustomListBox(TComponent* AOwner) : TCustomControl(AOwner), FItems(std::make_unique<TControlStrings>()) {
    // OnClick comes with a change of the selection.
    ControlStyle = csCaptureMouse | csSetCaption | csDoubleClicks | csOpaque;
    SetParentColor(false);
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 121, 97);
    FItems->SetDuplicates(dupAccept);
    FItems->OnInserted = [this](int i) {
        FSel.insert(std::clamp(i, 0, int(FSel.size())), false);
        if (FItemIndex >= 0 && i <= FItemIndex) ++FItemIndex;
        ItemsChanged();
    };
    FItems->OnDeleted = [this](int i) {
        if (i >= 0 && i < FSel.size()) FSel.removeAt(i);
        if (i == FItemIndex) FItemIndex = -1;
        else if (i < FItemIndex) --FItemIndex;
        ItemsChanged();
    };
    FItems->OnCleared = [this] {
        FSel.clear();
        FItemIndex = -1;
        FTopIndex = 0;
        ItemsChanged();
    };
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
}

TCustomListBox::~TCustomListBox() {
    FItems->OnInserted = nullptr;
    FItems->OnDeleted = nullptr;
    FItems->OnCleared = nullptr;
    FItems->OnChange = nullptr;
}

void TCustomListBox::ItemsChanged() {
    // Sorting and moves do not report where items went: the flags follow the
    // count, and the selection is kept only while it still points at an item.
    while (FSel.size() < FItems->Count()) FSel << false;
    while (FSel.size() > FItems->Count()) FSel.removeLast();
    if (FItemIndex >= FItems->Count()) FItemIndex = -1;
    FTopIndex = std::clamp(FTopIndex, 0, std::max(0, int(FItems->Count()) - 1));
    SyncScrollBar();
    Invalidate();
}

void TCustomListBox::WMNCCalcSize(TMessage& M) {
    if (M.LParam && FBorderStyle == bsSingle) InflateRect(*reinterpret_cast<TRect*>(M.LParam), -kEdge, -kEdge);
    TCustomControl::WMNCCalcSize(M);
}

void TCustomListBox::WMNCPaint(TMessage& M) {
    if (M.WParam && FBorderStyle == bsSingle) {
        TCanvas c;
        reinterpret_cast<const TPaintTarget*>(M.WParam)->AttachCanvas(c);
        TRect e = Rect(0, 0, Width(), Height());
        c.DrawEdge(e, EDGE_SUNKEN, BF_RECT);
    }
    TCustomControl::WMNCPaint(M);
}

void TCustomListBox::SyncScrollBar() {
    // The bar's room changes the visible count: settle it once more when
    // the bar came or went.
    for (int pass = 0; pass < 2; ++pass) {
        TScrollInfo si;
        si.fMask = SIF_ALL;
        si.nMin = 0;
        si.nMax = std::max(0, int(FItems->Count()) - 1);
        si.nPage = unsigned(FItems->Count() > 0 ? VisibleCount() : 1);
        si.nPos = FTopIndex;
        const bool wasShown = ScrollBarsState()->Bar(SB_VERT).Shown;
        SetScrollInfo(this, SB_VERT, si, true);
        if (ScrollBarsState()->Bar(SB_VERT).Shown == wasShown) break;
    }
}

void TCustomListBox::SetItemIndex(int v) {
    if (v < -1 || v >= FItems->Count()) v = -1;
    if (FMultiSelect) {
        // In a multi-selection list the index is the focused item; it is
        // selected as well, the others stay as they are.
        if (v >= 0) FSel[v] = true;
    } else {
        for (int i = 0; i < FSel.size(); ++i) FSel[i] = i == v;
    }
    FItemIndex = v;
    FAnchor = v;
    MakeVisible(v);
    Invalidate();
}

void TCustomListBox::SetMultiSelect(bool v) {
    if (v == FMultiSelect) return;
    FMultiSelect = v;
    for (int i = 0; i < FSel.size(); ++i) FSel[i] = i == FItemIndex;
    RecreateWnd();
    Invalidate();
}

bool TCustomListBox::Selected(int index) const {
    if (index < 0 || index >= FItems->Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return FMultiSelect ? FSel[index] : index == FItemIndex;
}

void TCustomListBox::SetSelected(int index, bool v) {
    if (index < 0 || index >= FItems->Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    if (!FMultiSelect) {
        if (v) SetItemIndex(index);
        else if (index == FItemIndex) SetItemIndex(-1);
        return;
    }
    FSel[index] = v;
    Invalidate();
}

int TCustomListBox::SelCount() const {
    if (!FMultiSelect) return -1;
    return int(std::count(FSel.begin(), FSel.end(), true));
}

void TCustomListBox::ClearSelection() {
    for (auto& s : FSel) s = false;
    if (!FMultiSelect) FItemIndex = -1;
    Invalidate();
}

void TCustomListBox::SelectAll() {
    if (!FMultiSelect) return;
    for (auto& s : FSel) s = true;
    Invalidate();
}

void TCustomListBox::SetSorted(bool v) {
    if (v == FSorted) return;
    FSorted = v;
    const QString cur = FItemIndex >= 0 ? FItems->Strings(FItemIndex) : QString();
    FItems->SetSorted(v);
    if (FItemIndex >= 0) {
        const int i = FItems->IndexOf(cur);
        FItemIndex = i;
        for (int k = 0; k < FSel.size(); ++k) FSel[k] = !FMultiSelect && k == i;
    }
    Invalidate();
}

int TCustomListBox::ItemHeight() {
    if (FItemHeight > 0) return FItemHeight;
    TCanvas* c = Canvas();
    c->Font().Assign(*Font());
    return std::max(1, c->TextHeight(QStringLiteral("Wg")));
}

int TCustomListBox::ItemHeightOf(int index) {
    int h = ItemHeight();
    if (FStyle == lbOwnerDrawVariable && OnMeasureItem) OnMeasureItem(this, index, h);
    return std::max(1, h);
}

void TCustomListBox::SetTopIndex(int v) {
    FTopIndex = std::clamp(v, 0, std::max(0, int(FItems->Count()) - 1));
    SyncScrollBar();
    Invalidate();
}

int TCustomListBox::VisibleCount() {
    const int h = ClientRect().Height();
    int used = 0, n = 0;
    for (int i = FTopIndex; i < FItems->Count(); ++i) {
        used += ItemHeightOf(i);
        if (used > h) break;
        ++n;
    }
    return std::max(1, n);
}

void TCustomListBox::MakeVisible(int index) {
    if (index < 0) return;
    if (index < FTopIndex) FTopIndex = index;
    else
        while (index >= FTopIndex + VisibleCount() && FTopIndex < index) ++FTopIndex;
    SyncScrollBar();
}

TRect TCustomListBox::ItemRect(int index) {
    const TRect cr = ClientRect();
    int y = cr.Top;
    if (index >= FTopIndex)
        for (int i = FTopIndex; i < index; ++i) y += ItemHeightOf(i);
    else
        for (int i = index; i < FTopIndex; ++i) y -= ItemHeightOf(i);
    return Rect(cr.Left, y, cr.Right, y + ItemHeightOf(index));
}

int TCustomListBox::ItemAtPos(TPoint p, bool existing) {
    const TRect cr = ClientRect();
    if (p.X < cr.Left || p.X >= cr.Right || p.Y < cr.Top) return existing ? -1 : FTopIndex;
    int y = cr.Top;
    for (int i = FTopIndex; i < FItems->Count(); ++i) {
        const int h = ItemHeightOf(i);
        if (p.Y < y + h) return i;
        y += h;
    }
    return existing ? -1 : int(FItems->Count());
}

void TCustomListBox::UserSelect(int index, TShiftState shift) {
    if (index < 0 || index >= FItems->Count()) return;
    bool changed = false;
    if (!FMultiSelect) {
        changed = index != FItemIndex;
        FItemIndex = index;
        for (int i = 0; i < FSel.size(); ++i) FSel[i] = i == index;
    } else if (FExtendedSelect && (shift & ssShift) && FAnchor >= 0) {
        const int a = std::min(FAnchor, index), b = std::max(FAnchor, index);
        for (int i = 0; i < FSel.size(); ++i) {
            const bool on = (i >= a && i <= b) || ((shift & ssCtrl) && FSel[i]);
            changed = changed || on != FSel[i];
            FSel[i] = on;
        }
        FItemIndex = index;
    } else if (!FExtendedSelect || (shift & ssCtrl)) {
        FSel[index] = !FSel[index];
        FItemIndex = index;
        FAnchor = index;
        changed = true;
    } else {
        for (int i = 0; i < FSel.size(); ++i) {
            const bool on = i == index;
            changed = changed || on != FSel[i];
            FSel[i] = on;
        }
        FItemIndex = index;
        FAnchor = index;
    }
    MakeVisible(index);
    Invalidate();
    if (!changed) return;
    SendNotification(this, LBN_SELCHANGE);
    Click();
}

void TCustomListBox::WndProc(TMessage& M) {
    switch (M.Msg) {
    case LB_GETCOUNT: M.Result = FItems->Count(); return;
    case LB_GETCURSEL: M.Result = FItemIndex; return;
    case LB_SETCURSEL: SetItemIndex(int(static_cast<std::intptr_t>(M.WParam))); return;
    case LB_GETTOPINDEX: M.Result = FTopIndex; return;
    case LB_SETTOPINDEX: SetTopIndex(int(M.WParam)); return;
    case WM_VSCROLL: {
        const int page = VisibleCount();
        int top = FTopIndex;
        switch (M.WParam & 0xFFFF) {
        case SB_LINEUP: --top; break;
        case SB_LINEDOWN: ++top; break;
        case SB_PAGEUP: top -= page; break;
        case SB_PAGEDOWN: top += page; break;
        case SB_THUMBTRACK: case SB_THUMBPOSITION: top = int((M.WParam >> 16) & 0xFFFF); break;
        case SB_TOP: top = 0; break;
        case SB_BOTTOM: top = int(FItems->Count()) - 1; break;
        default: return;
        }
        // The last page ends with the last item.
        TScrollInfo si;
        si.fMask = SIF_RANGE | SIF_PAGE;
        GetScrollInfo(this, SB_VERT, si);
        SetTopIndex(std::clamp(top, 0, std::max(0, si.nMax - int(si.nPage) + 1)));
        return;
    }
    case LB_GETITEMHEIGHT: M.Result = ItemHeight(); return;
    case LB_SETITEMHEIGHT: SetItemHeight(int(M.LParam)); return;
    case LB_GETSELCOUNT: M.Result = SelCount(); return;
    case LB_GETSEL: {
        const int i = int(M.WParam);
        M.Result = i >= 0 && i < FItems->Count() ? (Selected(i) ? 1 : 0) : -1;
        return;
    }
    case LB_SETSEL: {
        const int i = int(static_cast<std::intptr_t>(M.LParam));
        if (i == -1) {
            for (auto& s : FSel) s = M.WParam != 0;
            Invalidate();
        } else if (i >= 0 && i < FItems->Count()) {
            SetSelected(i, M.WParam != 0);
        }
        return;
    }
    case LB_ITEMFROMPOINT: {
        const int i = ItemAtPos(Point(GetXLParam(M.LParam), GetYLParam(M.LParam)), false);
        M.Result = MakeLParam(std::max(0, std::min(i, int(FItems->Count()) - 1)), i >= FItems->Count() ? 1 : 0);
        return;
    }
    default: TCustomControl::WndProc(M);
    }
}

void TCustomListBox::WMGetDlgCode(TMessage& M) { M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

void TCustomListBox::WMKeyDown(TMessage& M) {
    if (DoKeyDown(M)) {
        M.Result = 1;
        return;
    }
    const int n = FItems->Count();
    if (n == 0) return;
    const int cur = FItemIndex;
    const int page = std::max(1, VisibleCount() - 1);
    int to = cur;
    switch (M.WParam) {
    case VK_UP: case VK_LEFT: to = cur - 1; break;
    case VK_DOWN: case VK_RIGHT: to = cur + 1; break;
    case VK_PRIOR: to = cur - page; break;
    case VK_NEXT: to = cur + page; break;
    case VK_HOME: to = 0; break;
    case VK_END: to = n - 1; break;
    case VK_SPACE:
        if (FMultiSelect && cur >= 0) UserSelect(cur, ssCtrl);
        return;
    default: return;
    }
    to = std::clamp(to, 0, n - 1);
    UserSelect(to, KeyboardShiftState());
}

void TCustomListBox::WMChar(TMessage& M) {
    if (DoKeyPress(M)) {
        M.Result = 1;
        return;
    }
    const QChar ch(char16_t(M.WParam));
    const int n = FItems->Count();
    if (ch.unicode() <= 32 || n == 0) return;
    const int found = FTypeAhead.Type(*FItems, ch, TickCount(), FItemIndex);
    if (found >= 0) UserSelect(found, 0);
}

void TCustomListBox::WMLButtonDown(TMessage& M) {
    if (CanFocus() && !Focused()) SetFocus();
    TCustomControl::WMLButtonDown(M);
    const int i = ItemAtPos(Point(GetXLParam(M.LParam), GetYLParam(M.LParam)));
    if (i >= 0) UserSelect(i, KeyboardShiftState() | ((M.WParam & MK_SHIFT) ? ssShift : 0u) |
                                  ((M.WParam & MK_CONTROL) ? ssCtrl : 0u));
}

void TCustomListBox::WMMouseMove(TMessage& M) {
    TCustomControl::WMMouseMove(M);
    // Dragging with the button down moves a single selection along.
    if (!FMultiSelect && MouseCapture() && (M.WParam & MK_LBUTTON)) {
        const int i = ItemAtPos(Point(GetXLParam(M.LParam), GetYLParam(M.LParam)));
        if (i >= 0) UserSelect(i, 0);
    }
}

void TCustomListBox::WMLButtonDblClk(TMessage& M) {
    TCustomControl::WMLButtonDblClk(M);
    SendNotification(this, LBN_DBLCLK);
}

void TCustomListBox::WMMouseWheel(TMessage& M) {
    const int delta = static_cast<std::int16_t>((M.WParam >> 16) & 0xFFFF);
    TCustomControl::WMMouseWheel(M);
    if (M.Result) return;
    SetTopIndex(FTopIndex + (delta < 0 ? WheelScrollLines() : -WheelScrollLines()));
    M.Result = 1;
}

void TCustomListBox::DrawItem(int Index, TRect R, TOwnerDrawState State) {
    TCanvas* c = Canvas();
    if (FStyle != lbStandard && OnDrawItem) {
        OnDrawItem(this, Index, R, State);
        return;
    }
    c->FillRect(R);
    c->Brush().SetStyle(bsClear);
    c->TextOut(R.Left + 2, R.Top, FItems->Strings(Index));
}

void TCustomListBox::Paint() {
    TCanvas* c = Canvas();
    const TRect cr = ClientRect();
    c->Brush().SetColor(Enabled() ? Color() : clBtnFace);
    c->FillRect(cr);
    c->SaveState();
    c->IntersectClipRect(cr.Left, cr.Top, cr.Right, cr.Bottom);
    for (int i = FTopIndex; i < FItems->Count(); ++i) {
        const TRect r = ItemRect(i);
        if (r.Top >= cr.Bottom) break;
        const bool sel = FMultiSelect ? FSel[i] : i == FItemIndex;
        TOwnerDrawState st = sel ? odSelected : 0u;
        if (Focused() && i == FItemIndex) st |= odFocused;
        if (!Enabled()) st |= odDisabled;
        c->Font().Assign(*Font());
        if (sel) {
            c->Brush().SetColor(clHighlight);
            c->Font().SetColor(clHighlightText);
        } else {
            c->Brush().SetColor(Color());
            if (!Enabled()) c->Font().SetColor(clGrayText);
        }
        DrawItem(i, r, st);
        if (st & odFocused) c->DrawFocusRect(r);
    }
    c->RestoreState();
}
