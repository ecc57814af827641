#include "platform/controls/TabControls.h"

#include "platform/controls/Forms.h"
#include "platform/core/Exceptions.h"

#include <algorithm>

namespace {
// Room around the text inside a tab, the gap between image and text, and the
// margin between the control's edge and the first tab or row.
constexpr int kTabPadding = 6;
constexpr int kImageGap = 3;
constexpr int kEdge = 2;
// The two scroll arrows of a single row that does not fit.
constexpr int kArrowSize = 16;

[[noreturn]] void ListIndexError(int i) {
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(i));
}
}  // namespace

// ---------------------------------------------------------------------------
// TTabStrings
// ---------------------------------------------------------------------------

void TTabStrings::Check(int i) const {
    if (i < 0 || i >= FItems.size()) ListIndexError(i);
}

QString TTabStrings::Strings(int i) const {
    Check(i);
    return FItems[i].Text;
}

TObject* TTabStrings::Objects(int i) const {
    Check(i);
    return FItems[i].Object;
}

void TTabStrings::Put(int i, const QString& s) {
    Check(i);
    FItems[i].Text = s;
    FControl->TabsChanged();
}

void TTabStrings::PutObject(int i, TObject* o) {
    Check(i);
    FItems[i].Object = o;
}

int TTabStrings::AddObject(const QString& s, TObject* o) {
    InsertObject(Count(), s, o);
    return Count() - 1;
}

void TTabStrings::InsertObject(int i, const QString& s, TObject* o) {
    if (i < 0 || i > FItems.size()) ListIndexError(i);
    FItems.insert(i, Item{s, o, false});
    // The selection stays on the same tab, as the platform keeps it.
    if (FControl->FTabIndex >= i && FControl->FTabIndex >= 0) ++FControl->FTabIndex;
    FControl->TabsChanged();
}

void TTabStrings::Delete(int i) {
    Check(i);
    FItems.removeAt(i);
    int& sel = FControl->FTabIndex;
    if (sel == i) sel = -1;  // the platform leaves no tab selected
    else if (sel > i) --sel;
    FControl->FFirstVisible = std::clamp(FControl->FFirstVisible, 0, std::max(0, Count() - 1));
    FControl->TabsChanged();
}

void TTabStrings::Move(int cur, int dest) {
    if (cur == dest) return;
    Check(cur);
    Check(dest);
    TObject* selected = FControl->FTabIndex >= 0 ? FItems[FControl->FTabIndex].Object : nullptr;
    const bool movedSelected = FControl->FTabIndex == cur;
    FItems.move(cur, dest);
    if (movedSelected) FControl->FTabIndex = dest;
    else if (selected) FControl->FTabIndex = IndexOfObject(selected);
    FControl->TabsChanged();
}

void TTabStrings::Clear() {
    FItems.clear();
    FControl->FTabIndex = -1;
    FControl->FFirstVisible = 0;
    FControl->TabsChanged();
}

int TTabStrings::IndexOf(const QString& s) const {
    for (int i = 0; i < FItems.size(); ++i)
        if (FItems[i].Text.compare(s, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int TTabStrings::IndexOfObject(const TObject* o) const {
    for (int i = 0; i < FItems.size(); ++i)
        if (FItems[i].Object == o) return i;
    return -1;
}

// ---------------------------------------------------------------------------
// TCustomTabControl
// ---------------------------------------------------------------------------

TCustomTabControl::TCustomTabControl(TComponent* AOwner) : TCustomControl(AOwner), FTabs(this) {
    SetBounds(0, 0, 289, 193);
    SetTabStop(true);
    ControlStyle |= csDoubleClicks | csOpaque;
}

TCustomTabControl::~TCustomTabControl() = default;

void TCustomTabControl::SetTabIndex(int v) {
    if (v < -1 || v >= FTabs.Count()) v = -1;
    if (v == FTabIndex) return;
    FTabIndex = v;
    InvalidateLayout();
    if (v >= 0 && !FMultiLine) {
        // Scroll the single row so that the selected tab shows.
        if (v < FFirstVisible) FFirstVisible = v;
        while (FFirstVisible < v && TabRect(v).IsEmpty()) {
            ++FFirstVisible;
            InvalidateLayout();
        }
    }
    Invalidate();
}

void TCustomTabControl::SetTabPosition(TTabPosition v) {
    if (v == FTabPosition) return;
    FTabPosition = v;
    TabsChanged();
}

void TCustomTabControl::SetTabHeight(int v) {
    if (v < 0) v = 0;
    if (v == FTabHeight) return;
    FTabHeight = v;
    TabsChanged();
}

void TCustomTabControl::SetTabWidth(int v) {
    if (v < 0) v = 0;
    if (v == FTabWidth) return;
    FTabWidth = v;
    TabsChanged();
}

void TCustomTabControl::SetMultiLine(bool v) {
    if (v == FMultiLine) return;
    FMultiLine = v;
    FFirstVisible = 0;
    TabsChanged();
}

void TCustomTabControl::SetRaggedRight(bool v) {
    if (v == FRaggedRight) return;
    FRaggedRight = v;
    TabsChanged();
}

void TCustomTabControl::SetScrollOpposite(bool v) {
    if (v == FScrollOpposite) return;
    FScrollOpposite = v;
    TabsChanged();
}

void TCustomTabControl::SetOwnerDraw(bool v) {
    if (v == FOwnerDraw) return;
    FOwnerDraw = v;
    Invalidate();
}

void TCustomTabControl::SetImages(TImageList* v) {
    FImages = v;
    TabsChanged();
}

void TCustomTabControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    const bool resized = AWidth != Width() || AHeight != Height();
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (resized) TabsChanged();
}

void TCustomTabControl::Resize() {
    InvalidateLayout();
    TCustomControl::Resize();
}

void TCustomTabControl::CMFontChanged(TMessage& M) {
    TCustomControl::CMFontChanged(M);
    TabsChanged();
}

void TCustomTabControl::TabsChanged() {
    InvalidateLayout();
    Invalidate();
}

void TCustomTabControl::InvalidateLayout() { FLayout.Valid = false; }

bool TCustomTabControl::CanChange() {
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    return allow;
}

void TCustomTabControl::Change() {
    if (OnChange) OnChange(this);
}

bool TCustomTabControl::CanShowTab(int) { return true; }

int TCustomTabControl::GetImageIndex(int TabIndex) {
    int index = TabIndex;
    if (OnGetImageIndex) OnGetImageIndex(this, TabIndex, index);
    return index;
}

void TCustomTabControl::SetTabHighlighted(int i, bool on) {
    FTabs.Check(i);
    FTabs.FItems[i].Highlighted = on;
    Invalidate();
}

bool TCustomTabControl::TabHighlighted(int i) const {
    FTabs.Check(i);
    return FTabs.FItems[i].Highlighted;
}

// -- layout ------------------------------------------------------------------

int TCustomTabControl::RowThickness() {
    if (FTabHeight > 0) return FTabHeight;
    Canvas()->Font().Assign(*Font());
    int content = Canvas()->TextHeight(QStringLiteral("Wg"));
    if (FImages) content = std::max(content, IsVertical() ? FImages->Width() : FImages->Height());
    return content + kTabPadding;
}

int TCustomTabControl::TabLength(int i) {
    if (FTabWidth > 0) return FTabWidth;
    Canvas()->Font().Assign(*Font());
    int len = Canvas()->TextWidth(StripHotkey(FTabs.Strings(i))) + 2 * kTabPadding;
    if (FImages && GetImageIndex(i) >= 0) {
        const int room = IsVertical() ? FImages->Height() : FImages->Width();
        if (room > 0) len += room + kImageGap;
    }
    return len;
}

const TCustomTabControl::TTabLayout& TCustomTabControl::GetLayout() {
    if (FLayout.Valid) return FLayout;
    TTabLayout L;
    const int n = FTabs.Count();
    const int thick = RowThickness();
    const int length = (IsVertical() ? Height() : Width()) - 2 * kEdge;
    QList<int> lens;
    for (int i = 0; i < n; ++i) lens << TabLength(i);

    // Each tab's row (counted from the first row filled) and its start along
    // the strip.
    QList<int> row(n, 0), start(n, 0), len = lens;
    int rows = n > 0 ? 1 : 0;
    if (FMultiLine) {
        int pos = 0;
        for (int i = 0; i < n; ++i) {
            if (pos > 0 && pos + lens[i] > length) {
                ++rows;
                pos = 0;
            }
            row[i] = rows - 1;
            start[i] = pos;
            pos += lens[i];
        }
        // Rows fill the whole length unless ragged; a single row stays as
        // it is.
        if (rows > 1 && !FRaggedRight) {
            for (int r = 0; r < rows; ++r) {
                QList<int> members;
                int used = 0;
                for (int i = 0; i < n; ++i)
                    if (row[i] == r) { members << i; used += lens[i]; }
                const int extra = std::max(0, length - used);
                int pos2 = 0;
                for (int k = 0; k < members.size(); ++k) {
                    const int i = members[k];
                    const int share = extra / int(members.size()) + (k < extra % int(members.size()) ? 1 : 0);
                    start[i] = pos2;
                    len[i] = lens[i] + share;
                    pos2 += len[i];
                }
            }
        }
    } else {
        int pos = 0;
        for (int i = 0; i < n; ++i) {
            if (i < FFirstVisible) { start[i] = -1; continue; }
            start[i] = pos;
            pos += lens[i];
        }
        L.Overflow = FFirstVisible > 0 || pos > length;
    }

    // The row of the selected tab lies next to the page; the others keep
    // their order round it.
    const int selRow = (FTabIndex >= 0 && FTabIndex < n) ? row[FTabIndex] : 0;
    L.Rows = rows;
    L.StripDepth = kEdge + rows * thick;
    const int available = length - (L.Overflow ? 2 * kArrowSize : 0);
    for (int i = 0; i < n; ++i) {
        const int fromPage = rows > 0 ? (row[i] - selRow + rows) % rows : 0;
        L.RowOf << fromPage;
        if (start[i] < 0 || (!FMultiLine && start[i] >= available)) {
            L.Rects << TRect();
            continue;
        }
        const int a = kEdge + start[i];
        const int b = a + len[i];
        const int depth = (rows - 1 - fromPage) * thick;  // from the outer edge
        TRect r;
        switch (FTabPosition) {
        case tpTop: r = Rect(a, kEdge + depth, b, kEdge + depth + thick); break;
        case tpBottom: r = Rect(a, Height() - kEdge - depth - thick, b, Height() - kEdge - depth); break;
        case tpLeft: r = Rect(kEdge + depth, a, kEdge + depth + thick, b); break;
        case tpRight: r = Rect(Width() - kEdge - depth - thick, a, Width() - kEdge - depth, b); break;
        }
        L.Rects << r;
    }
    L.Valid = true;
    FLayout = L;
    return FLayout;
}

TRect TCustomTabControl::TabRect(int i) {
    const TTabLayout& L = GetLayout();
    if (i < 0 || i >= L.Rects.size()) return TRect();
    return L.Rects[i];
}

int TCustomTabControl::IndexOfTabAt(int X, int Y) {
    if (ScrollButtonsRect().Contains(Point(X, Y))) return -1;
    const TTabLayout& L = GetLayout();
    for (int i = 0; i < L.Rects.size(); ++i)
        if (L.Rects[i].Contains(Point(X, Y))) return i;
    return -1;
}

int TCustomTabControl::RowCount() { return GetLayout().Rows; }

TRect TCustomTabControl::DisplayRect() {
    const int d = GetLayout().StripDepth;
    // Four pixels of frame round the page, two on the side of the tabs.
    switch (FTabPosition) {
    case tpTop: return Rect(4, d + 2, Width() - 4, Height() - 4);
    case tpBottom: return Rect(4, 4, Width() - 4, Height() - d - 2);
    case tpLeft: return Rect(d + 2, 4, Width() - 4, Height() - 4);
    case tpRight: return Rect(4, 4, Width() - d - 2, Height() - 4);
    }
    return ClientRect();
}

TRect TCustomTabControl::ScrollButtonsRect() {
    const TTabLayout& L = GetLayout();
    if (FMultiLine || !L.Overflow) return TRect();
    const int d = L.StripDepth;
    switch (FTabPosition) {
    case tpTop: return Rect(Width() - kEdge - 2 * kArrowSize, d - kArrowSize, Width() - kEdge, d);
    case tpBottom: return Rect(Width() - kEdge - 2 * kArrowSize, Height() - d, Width() - kEdge, Height() - d + kArrowSize);
    case tpLeft: return Rect(d - kArrowSize, Height() - kEdge - 2 * kArrowSize, d, Height() - kEdge);
    case tpRight: return Rect(Width() - d, Height() - kEdge - 2 * kArrowSize, Width() - d + kArrowSize, Height() - kEdge);
    }
    return TRect();
}

void TCustomTabControl::ScrollTabs(int delta) {
    const int v = std::clamp(FFirstVisible + delta, 0, std::max(0, FTabs.Count() - 1));
    if (v == FFirstVisible) return;
    FFirstVisible = v;
    TabsChanged();
}

// -- user input --------------------------------------------------------------

bool TCustomTabControl::SelectTabByUser(int i) {
    if (i < 0 || i >= FTabs.Count() || i == FTabIndex) return false;
    if (!CanChange()) return false;
    SetTabIndex(i);
    Change();
    Invalidate();
    return true;
}

void TCustomTabControl::WMLButtonDown(TMessage& M) {
    TCustomControl::WMLButtonDown(M);
    const int x = GetXLParam(M.LParam), y = GetYLParam(M.LParam);
    const TRect arrows = ScrollButtonsRect();
    if (arrows.Contains(Point(x, y))) {
        const bool back = IsVertical() ? y < arrows.Top + kArrowSize : x < arrows.Left + kArrowSize;
        ScrollTabs(back ? -1 : 1);
        return;
    }
    const int i = IndexOfTabAt(x, y);
    if (i < 0) return;
    if (CanFocus() && !Focused()) SetFocus();
    if (i != FTabIndex && CanShowTab(i)) SelectTabByUser(i);
}

void TCustomTabControl::WMGetDlgCode(TMessage& M) { M.Result = DLGC_WANTARROWS; }

void TCustomTabControl::KeyDown(unsigned& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    int step = 0;
    if (Key == VK_LEFT || Key == VK_UP) step = -1;
    else if (Key == VK_RIGHT || Key == VK_DOWN) step = 1;
    if (step == 0 || FTabs.Count() == 0) return;
    // The next tab that may be shown, without wrapping round.
    for (int i = FTabIndex + step; i >= 0 && i < FTabs.Count(); i += step)
        if (CanShowTab(i)) {
            SelectTabByUser(i);
            break;
        }
    Key = 0;
}

// -- docking -----------------------------------------------------------------

void TCustomTabControl::DockDrop(TControl* Client, int X, int Y) {
    if (!FDockSite || !Client || FDockClients.contains(Client)) return;
    Perform(CM_DOCKCLIENT, 0, 0);
    FDockClients << Client;
    try {
        DoAddDockClient(Client, Bounds(X, Y, Client->Width(), Client->Height()));
    } catch (...) {
        FDockClients.removeAll(Client);
        throw;
    }
}

bool TCustomTabControl::UndockClient(TControl* Client) {
    if (!FDockClients.contains(Client)) return false;
    Perform(CM_UNDOCKCLIENT, 0, 0);
    FDockClients.removeAll(Client);
    DoRemoveDockClient(Client);
    return true;
}

void TCustomTabControl::DoAddDockClient(TControl* Client, const TRect& ARect) {
    Client->SetParent(this);
    Client->SetBoundsRect(ARect);
}

void TCustomTabControl::DoRemoveDockClient(TControl*) {}

// -- painting ----------------------------------------------------------------

void TCustomTabControl::DrawTab(int TabIndex, const TRect& Rect, bool Active) {
    if (OnDrawTab) OnDrawTab(this, TabIndex, Rect, Active);
    else PaintTabFace(TabIndex, Rect, Active);
}

void TCustomTabControl::PaintTabFace(int i, const TRect& r0, bool active) {
    TCanvas* c = Canvas();
    TRect r = r0;
    // The selected tab stands out by two pixels and covers the frame line
    // between it and the page.
    if (active) {
        InflateRect(r, IsVertical() ? 0 : 2, IsVertical() ? 2 : 0);
        switch (FTabPosition) {
        case tpTop: r.Top -= 2; r.Bottom += 1; break;
        case tpBottom: r.Bottom += 2; r.Top -= 1; break;
        case tpLeft: r.Left -= 2; r.Right += 1; break;
        case tpRight: r.Right += 2; r.Left -= 1; break;
        }
    }
    c->Brush().SetColor(FTabs.FItems[i].Highlighted ? clHighlight : Color());
    c->FillRect(r);
    // Light on the outer and leading sides, shadow on the trailing one; the
    // side towards the page stays open.
    const TColor light = clBtnHighlight, dark = cl3DDkShadow;
    auto line = [c](TColor col, int x1, int y1, int x2, int y2) {
        c->Pen().SetColor(col);
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    };
    switch (FTabPosition) {
    case tpTop:
        line(light, r.Left, r.Bottom, r.Left, r.Top);
        line(light, r.Left, r.Top, r.Right - 1, r.Top);
        line(dark, r.Right - 1, r.Top, r.Right - 1, r.Bottom);
        break;
    case tpBottom:
        line(light, r.Left, r.Top, r.Left, r.Bottom - 1);
        line(dark, r.Left, r.Bottom - 1, r.Right - 1, r.Bottom - 1);
        line(dark, r.Right - 1, r.Bottom - 1, r.Right - 1, r.Top - 1);
        break;
    case tpLeft:
        line(light, r.Right, r.Top, r.Left, r.Top);
        line(light, r.Left, r.Top, r.Left, r.Bottom - 1);
        line(dark, r.Left, r.Bottom - 1, r.Right, r.Bottom - 1);
        break;
    case tpRight:
        line(light, r.Left - 1, r.Top, r.Right - 1, r.Top);
        line(dark, r.Right - 1, r.Top, r.Right - 1, r.Bottom - 1);
        line(dark, r.Right - 1, r.Bottom - 1, r.Left - 1, r.Bottom - 1);
        break;
    }

    // Image first, then the text, along the tab.
    const QString text = FTabs.FItems[i].Text;
    c->Font().Assign(*Font());
    if (FTabs.FItems[i].Highlighted) c->Font().SetColor(clHighlightText);
    if (!CanShowTab(i)) c->Font().SetColor(clGrayText);
    c->SetBkMode(TRANSPARENT);
    int lead = kTabPadding;
    const int image = FImages ? GetImageIndex(i) : -1;
    if (!IsVertical()) {
        int x = r.Left + lead;
        if (image >= 0 && FImages->Width() > 0) {
            if (image < FImages->Count())
                FImages->Draw(c, x, r.Top + (r.Height() - FImages->Height()) / 2, image, Enabled());
            x += FImages->Width() + kImageGap;
        }
        TRect tr = Rect(x, r.Top, r.Right - kTabPadding + 2, r.Bottom);
        c->DrawText(text, tr, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOCLIP);
    } else {
        // Left tabs read upwards, right tabs downwards.
        const int th = c->TextHeight(QStringLiteral("Wg"));
        if (FTabPosition == tpLeft) {
            int y = r.Bottom - lead;
            if (image >= 0 && FImages->Height() > 0) {
                if (image < FImages->Count())
                    FImages->Draw(c, r.Left + (r.Width() - FImages->Width()) / 2, y - FImages->Height(), image, Enabled());
                y -= FImages->Height() + kImageGap;
            }
            c->Font().SetOrientation(900);
            c->TextOut(r.Left + (r.Width() - th) / 2, y, StripHotkey(text));
        } else {
            int y = r.Top + lead;
            if (image >= 0 && FImages->Height() > 0) {
                if (image < FImages->Count())
                    FImages->Draw(c, r.Left + (r.Width() - FImages->Width()) / 2, y, image, Enabled());
                y += FImages->Height() + kImageGap;
            }
            c->Font().SetOrientation(2700);
            c->TextOut(r.Right - (r.Width() - th) / 2, y, StripHotkey(text));
        }
        c->Font().SetOrientation(0);
    }
    if (active && Focused()) {
        TRect fr = r;
        InflateRect(fr, -3, -3);
        c->DrawFocusRect(fr);
    }
}

void TCustomTabControl::Paint() {
    TCanvas* c = Canvas();
    c->Brush().SetColor(Color());
    c->FillRect(ClientRect());
    const TTabLayout& L = GetLayout();
    // The page frame.
    TRect frame = ClientRect();
    switch (FTabPosition) {
    case tpTop: frame.Top = L.StripDepth; break;
    case tpBottom: frame.Bottom -= L.StripDepth; break;
    case tpLeft: frame.Left = L.StripDepth; break;
    case tpRight: frame.Right -= L.StripDepth; break;
    }
    c->DrawEdge(frame, EDGE_RAISED, BF_RECT);
    // Rows from the outer edge in, the selected tab last so that it lies on
    // top of its neighbours.
    for (int row = L.Rows - 1; row >= 0; --row)
        for (int i = 0; i < L.Rects.size(); ++i) {
            if (L.RowOf[i] != row || i == FTabIndex || L.Rects[i].IsEmpty()) continue;
            if (FOwnerDraw) DrawTab(i, L.Rects[i], false);
            else PaintTabFace(i, L.Rects[i], false);
        }
    if (FTabIndex >= 0 && FTabIndex < L.Rects.size() && !L.Rects[FTabIndex].IsEmpty()) {
        if (FOwnerDraw) DrawTab(FTabIndex, L.Rects[FTabIndex], true);
        else PaintTabFace(FTabIndex, L.Rects[FTabIndex], true);
    }
    const TRect arrows = ScrollButtonsRect();
    if (!arrows.IsEmpty()) {
        TRect a = arrows, b = arrows;
        if (IsVertical()) { a.Bottom = a.Top + kArrowSize; b.Top = a.Bottom; }
        else { a.Right = a.Left + kArrowSize; b.Left = a.Right; }
        c->DrawFrameControl(a, DFC_SCROLL, IsVertical() ? DFCS_SCROLLUP : DFCS_SCROLLLEFT);
        c->DrawFrameControl(b, DFC_SCROLL, IsVertical() ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT);
    }
}

// ---------------------------------------------------------------------------
// TTabSheet
// ---------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* AOwner) : TCustomControl(AOwner) {
    ControlStyle |= csAcceptsControls;
    // Hidden until its page control shows it.
    SetVisible(false);
}

TTabSheet::~TTabSheet() {
    if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* v) {
    if (v == FPageControl) return;
    if (FPageControl) FPageControl->RemovePage(this);
    SetParent(v);
    if (v) v->InsertPage(this);
}

int TTabSheet::PageIndex() const { return FPageControl ? int(FPageControl->FPages.indexOf(const_cast<TTabSheet*>(this))) : -1; }

void TTabSheet::SetPageIndex(int v) {
    if (!FPageControl) return;
    const int count = FPageControl->PageCount();
    if (v < 0 || v > count - 1)
        throw EListError(QStringLiteral("%1 is an invalid PageIndex value.  PageIndex must be between 0 and %2")
                             .arg(v)
                             .arg(count - 1));
    const int old = PageIndex();
    if (old == v) return;
    const int oldTab = TabIndex();
    FPageControl->FPages.move(old, v);
    if (oldTab >= 0) FPageControl->Tabs()->Move(oldTab, TabIndex());
}

int TTabSheet::TabIndex() const {
    if (!FPageControl || !FTabVisible) return -1;
    int n = 0;
    for (TTabSheet* p : FPageControl->FPages) {
        if (p == this) return n;
        if (p->FTabVisible) ++n;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool v) {
    if (v == FTabVisible) return;
    if (FPageControl && !v) FPageControl->HideSheetTab(this);
    FTabVisible = v;
    if (FPageControl && v) FPageControl->ShowSheetTab(this);
}

void TTabSheet::SetHighlighted(bool v) {
    FHighlighted = v;
    if (const int t = TabIndex(); t >= 0) FPageControl->SetTabHighlighted(t, v);
}

void TTabSheet::SetImageIndex(int v) {
    FImageIndex = v;
    if (FPageControl) FPageControl->TabsChanged();
}

void TTabSheet::CMTextChanged(TMessage& M) {
    TCustomControl::CMTextChanged(M);
    if (FPageControl) FPageControl->UpdateTab(this);
}

void TTabSheet::CMVisibleChanged(TMessage& M) {
    TCustomControl::CMVisibleChanged(M);
    // An error in the page's own handler goes to the error box.
    if (Visible()) {
        if (OnShow) Application()->Guard([this] { OnShow(this); });
    } else if (OnHide) {
        Application()->Guard([this] { OnHide(this); });
    }
}

void TTabSheet::Paint() {
    Canvas()->Brush().SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

// ---------------------------------------------------------------------------
// TPageControl
// ---------------------------------------------------------------------------

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {
    ControlStyle |= csAcceptsControls;
}

TPageControl::~TPageControl() {
    // The pages forget their control before it goes.
    for (TTabSheet* p : QList<TTabSheet*>(FPages)) p->FPageControl = nullptr;
    FPages.clear();
}

TTabSheet* TPageControl::Pages(int i) const {
    if (i < 0 || i >= FPages.size()) ListIndexError(i);
    return FPages[i];
}

int TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int v) {
    SetActivePage(v >= 0 && v < FPages.size() ? FPages[v] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page && page->FPageControl != this) return;
    if (page == FActivePage) {
        if (page) SetTabIndex(page->TabIndex());
        return;
    }
    TCustomForm* form = GetParentForm(this);
    TWinControl* focused = FocusedControl();
    const bool focusOnOld = FActivePage && focused && (focused == FActivePage || FActivePage->ContainsControl(focused));
    if (form && focusOnOld) {
        // The focus leaves the old page first; a form that keeps it there
        // keeps the page too.
        form->FocusControl(FActivePage);
        if (FocusedControl() != FActivePage) {
            SetTabIndex(FActivePage->TabIndex());
            return;
        }
    }
    TTabSheet* old = FActivePage;
    if (page) {
        PlaceSheets();
        page->SetVisible(true);
        page->AlignControls();
    }
    FActivePage = page;
    if (old) old->SetVisible(false);
    if (form && focusOnOld) {
        if (page && page->CanFocus()) {
            QList<TWinControl*> order;
            page->GetTabOrderList(order);
            TWinControl* first = nullptr;
            for (TWinControl* c : order)
                if (c->CanFocus() && c->TabStop()) { first = c; break; }
            form->FocusControl(first ? first : page);
        } else if (CanFocus()) {
            form->FocusControl(this);
        }
    }
    SetTabIndex(page ? page->TabIndex() : -1);
    Invalidate();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) {
    const int n = int(FPages.size());
    if (n == 0) return nullptr;
    int start = FPages.indexOf(CurPage);
    if (start < 0) start = GoForward ? n - 1 : 0;
    int i = start;
    for (int k = 0; k < n; ++k) {
        i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
        if (!CheckTabVisible || FPages[i]->FTabVisible) return FPages[i];
    }
    return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
    TTabSheet* page = FindNextPage(FActivePage, GoForward, CheckTabVisible);
    if (!page || page == FActivePage || !CanChange()) return;
    SetActivePage(page);
    Change();
}

int TPageControl::IndexOfPageAt(int X, int Y) {
    const int tab = IndexOfTabAt(X, Y);
    return tab < 0 ? -1 : PageIndexOfTab(tab);
}

int TPageControl::PageIndexOfTab(int tab) const {
    int n = -1;
    for (int i = 0; i < FPages.size(); ++i)
        if (FPages[i]->FTabVisible && ++n == tab) return i;
    return -1;
}

void TPageControl::Change() {
    UpdateActivePage();
    TCustomTabControl::Change();
}

void TPageControl::UpdateActivePage() {
    const int page = TabIndex() >= 0 ? PageIndexOfTab(TabIndex()) : -1;
    SetActivePage(page >= 0 ? FPages[page] : nullptr);
}

bool TPageControl::CanShowTab(int TabIndex) {
    const int page = PageIndexOfTab(TabIndex);
    return page >= 0 && FPages[page]->Enabled();
}

int TPageControl::GetImageIndex(int TabIndex) {
    const int page = PageIndexOfTab(TabIndex);
    int index = page >= 0 ? FPages[page]->FImageIndex : TabIndex;
    if (OnGetImageIndex) OnGetImageIndex(this, TabIndex, index);
    return index;
}

void TPageControl::TabsChanged() {
    TCustomTabControl::TabsChanged();
    PlaceSheets();
}

void TPageControl::PlaceSheets() {
    const TRect r = DisplayRect();
    for (TTabSheet* p : FPages) p->SetBoundsRect(r);
}

void TPageControl::CMDialogKey(TMessage& M) {
    TWinControl* focused = FocusedControl();
    const bool focusInside = focused && (focused == this || ContainsControl(focused));
    if (focusInside && M.WParam == VK_TAB && GetKeyState(VK_CONTROL) < 0) {
        SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
        M.Result = 1;
        return;
    }
    TCustomTabControl::CMDialogKey(M);
}

void TPageControl::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomTabControl::Notification(AComponent, Operation);
    if (Operation == opRemove && FActivePage == AComponent) FActivePage = nullptr;
}

void TPageControl::InsertPage(TTabSheet* page) {
    FPages << page;
    page->FPageControl = this;
    page->SetBoundsRect(DisplayRect());
    ShowSheetTab(page);
}

void TPageControl::RemovePage(TTabSheet* page) {
    TTabSheet* next = FindNextPage(page, true, true);
    if (next == page) next = nullptr;
    const bool wasActive = page == FActivePage;
    if (wasActive) {
        // The next page forwards takes over, not the neighbour of the tab.
        FActivePage = nullptr;
        page->SetVisible(false);
    }
    HideSheetTab(page);
    page->FPageControl = nullptr;
    FPages.removeAll(page);
    if (wasActive) SetActivePage(next);
    else if (FActivePage) SetTabIndex(FActivePage->TabIndex());
}

void TPageControl::ShowSheetTab(TTabSheet* page) {
    if (!page->FTabVisible) return;
    const int t = page->TabIndex();
    Tabs()->InsertObject(t, page->TabCaption(), page);
    if (page->FHighlighted) SetTabHighlighted(t, true);
    // The first page that joins becomes the shown one.
    if (!FActivePage) SetActivePage(page);
    else SetTabIndex(FActivePage->TabIndex());
}

void TPageControl::HideSheetTab(TTabSheet* page) {
    const int t = page->TabIndex();
    if (t < 0) return;
    // While its tab goes the page counts as hidden, so the indexes of the
    // others are right; the page keeps its own TabVisible setting.
    const bool keep = page->FTabVisible;
    page->FTabVisible = false;
    struct Restore {
        TTabSheet* p;
        bool v;
        ~Restore() { p->FTabVisible = v; }
    } restore{page, keep};
    Tabs()->Delete(t);
    if (page == FActivePage) {
        // The selection moves to the same place, or to the last tab.
        const int sel = std::min(t, Tabs()->Count() - 1);
        SetTabIndex(sel);
        UpdateActivePage();
    } else if (FActivePage) {
        SetTabIndex(FActivePage->TabIndex());
    }
}

void TPageControl::UpdateTab(TTabSheet* page) {
    const int t = page->TabIndex();
    if (t >= 0) Tabs()->Put(t, page->TabCaption());
}
