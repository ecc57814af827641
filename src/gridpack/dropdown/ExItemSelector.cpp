#include "gridpack/dropdown/ExItemSelector.h"

#include "gridpack/basegrid/RorIdad.h"
#include "gridpack/basegrid/SgHTMLE.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ScrollBars.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/ImageList.h"

namespace {
// The hot and selected colours of the selection colour styles.
struct TItemColorPreset {
    TSelectionColorStyle Style;
    TColor ColorHot, ColorHotTo, ColorMirrorHot, ColorMirrorHotTo, BorderColorTop, BorderColorBottom, BorderColor,
        EdgeColor, ColorSelected, ColorSelectedTo, ColorMirrorSelected, ColorMirrorSelectedTo;
};
constexpr TItemColorPreset kItemColorPresets[] = {
    {scOffice2007, 0xD7FFFD, 0x58D4FC, 0x58D4FC, 0xB3F1FC, 0xF4FEFF, 0xCAF8FF, 0x8DD7D3, 0xC3D9DF, 0xA6FFFB, 0x04B9F4,
     0x15C1FB, 0x68E3F9},
    {scWindowsVista, 0xFDF8F1, 0xFCEFD5, clNone, clNone, 0xFDFBF6, 0xFDF5E7, 0xFDDE99, 0xFCEDCB, 0xFAEEDE, 0xFAE3B4,
     clNone, clNone},
    {scWindows7, 0xFCEBDC, 0xFCDBC1, clNone, clNone, 0xFDF4EB, 0xFDEADB, 0xCEA27D, 0xE0C5AE, 0xF9D8B9, 0xFBCAA2,
     clNone, clNone},
};

// The twelve colours a preset sets, as member pointers in table order.
constexpr TColor TItemAppearance::*kPresetFields[] = {
    &TItemAppearance::ColorHot,       &TItemAppearance::ColorHotTo,      &TItemAppearance::ColorMirrorHot,
    &TItemAppearance::ColorMirrorHotTo, &TItemAppearance::BorderColorTop, &TItemAppearance::BorderColorBottom,
    &TItemAppearance::BorderColor,    &TItemAppearance::EdgeColor,       &TItemAppearance::ColorSelected,
    &TItemAppearance::ColorSelectedTo, &TItemAppearance::ColorMirrorSelected, &TItemAppearance::ColorMirrorSelectedTo,
};
constexpr TColor TItemColorPreset::*kPresetValues[] = {
    &TItemColorPreset::ColorHot,       &TItemColorPreset::ColorHotTo,      &TItemColorPreset::ColorMirrorHot,
    &TItemColorPreset::ColorMirrorHotTo, &TItemColorPreset::BorderColorTop, &TItemColorPreset::BorderColorBottom,
    &TItemColorPreset::BorderColor,    &TItemColorPreset::EdgeColor,       &TItemColorPreset::ColorSelected,
    &TItemColorPreset::ColorSelectedTo, &TItemColorPreset::ColorMirrorSelected,
    &TItemColorPreset::ColorMirrorSelectedTo,
};
static_assert(std::size(kPresetFields) == std::size(kPresetValues), "one value per preset colour");
}  // namespace

// ---------------------------------------------------------------------------
// Items
// ---------------------------------------------------------------------------

TSelectorItem::TSelectorItem(TCollection* Collection) : TCollectionItem(Collection) {}

void TSelectorItem::Notify() {
    if (auto* c = dynamic_cast<TSelectorItems*>(Collection())) c->ItemChanged();
}

void TSelectorItem::SetCaption(const QString& v) {
    if (v == FCaption) return;
    FCaption = v;
    FCaptionExtent = TSize(-1, -1);
    Notify();
}

void TSelectorItem::SetColor(TColor v) {
    if (v == FColor) return;
    FColor = v;
    Notify();
}

void TSelectorItem::SetImageIndex(int v) {
    if (v == FImageIndex) return;
    FImageIndex = v;
    Notify();
}

void TSelectorItem::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TSelectorItem*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    FCaption = s->FCaption;
    FColor = s->FColor;
    FImageIndex = s->FImageIndex;
    FImage.Assign(&s->FImage);
    FEnabled = s->FEnabled;
    Hint = s->Hint;
}

TSelectorItems::TSelectorItems(TPersistent* AOwner)
    : TOwnedCollection(AOwner, TCollection::ItemClass<TSelectorItem>()) {}

void TSelectorItems::ItemChanged() {
    if (UpdateCount() > 0) {
        FPendingChange = true;
        return;
    }
    if (OnChange) OnChange(this);
}

void TSelectorItems::Update(TCollectionItem* Item) {
    TOwnedCollection::Update(Item);
    // Adding and deleting items lay nothing out; a held-back item change
    // does, once.
    if (Item || !FPendingChange || UpdateCount() > 0) return;
    FPendingChange = false;
    if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// TItemAppearance
// ---------------------------------------------------------------------------

TItemAppearance::TItemAppearance() { SetColorStyle(scOffice2007); }

void TItemAppearance::SetColorStyle(TSelectionColorStyle S) {
    if (S == FColorStyle) return;
    FColorStyle = S;
    for (const TItemColorPreset& p : kItemColorPresets) {
        if (p.Style != S) continue;
        for (std::size_t i = 0; i < std::size(kPresetFields); ++i) this->*kPresetFields[i] = p.*kPresetValues[i];
    }
}

void TItemAppearance::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TItemAppearance*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    for (auto f : kPresetFields) this->*f = s->*f;
    FFont.Assign(s->FFont);
    // A named style of the source replaces the colours just copied when
    // the style changes.
    SetColorStyle(s->FColorStyle);
    ColorHotText = s->ColorHotText;
    ColorSelectedText = s->ColorSelectedText;
    BorderColorHot = s->BorderColorHot;
    BorderColorSelected = s->BorderColorSelected;
}

// ---------------------------------------------------------------------------
// TCustomItemSelector (the inner panel)
// ---------------------------------------------------------------------------

TCustomItemSelector::TCustomItemSelector(TComponent* AOwner) : TCustomControl(AOwner) {
    FOwner = dynamic_cast<TExCustomItemSelector*>(AOwner);
    if (!FOwner) throw Exception(QStringLiteral("Invalid parent"));
    SetParentColor(true);
}

TSelectorItems* TCustomItemSelector::Items() const { return FOwner->Items(); }
int TCustomItemSelector::Columns() const { return FOwner->Columns(); }
TSelectorType TCustomItemSelector::SelectorType() const { return FOwner->SelectorType(); }
TItemLayout TCustomItemSelector::ItemLayout() const { return FOwner->ItemLayout(); }
TImageList* TCustomItemSelector::Images() const { return FOwner->Images(); }
TSelectionColorStyle TCustomItemSelector::ItemColorStyle() const { return FOwner->ItemAppearance()->ColorStyle(); }
int TCustomItemSelector::ColorBoxWidth() const { return FOwner->ColorBoxWidth(); }
int TCustomItemSelector::ColorBoxHeight() const { return FOwner->ColorBoxHeight(); }

void TCustomItemSelector::SetItemIndex(int Value) {
    TSelectorItems* items = Items();
    if (Value >= 0 && Value < items->Count() && !items->Item(Value)->FEnabled) return;
    const int old = FItemIndex;
    FItemIndex = Value;
    if (old >= 0 && old != Value) InvalidateItem(old);
    if (Value >= 0) {
        InvalidateItem(Value);
        // Selecting the selected item announces it again.
        if (OnItemSelect) OnItemSelect(this);
    }
}

void TCustomItemSelector::SetItemHot(int Index) {
    TSelectorItems* items = Items();
    if (Index == FItemHot) return;
    if (Index >= 0 && Index < items->Count() && !items->Item(Index)->FEnabled) return;
    const int old = FItemHot;
    FItemHot = Index;
    if (old >= 0) InvalidateItem(old);
    if (Index >= 0) InvalidateItem(Index);
}

void TCustomItemSelector::SelectFirst() {
    if (Items()->Count() > 0) SetItemIndex(0);
}

void TCustomItemSelector::SelectLast() {
    if (Items()->Count() > 0) SetItemIndex(Items()->Count() - 1);
}

void TCustomItemSelector::SelectNext() {
    const int n = Items()->Count();
    if (n == 0) return;
    if (FItemIndex < 0) SetItemIndex(0);
    else if (FItemIndex + 1 < n) SetItemIndex(FItemIndex + 1);
}

void TCustomItemSelector::SelectPrevious() {
    if (Items()->Count() == 0) return;
    if (FItemIndex < 0) SetItemIndex(0);
    else if (FItemIndex > 0) SetItemIndex(FItemIndex - 1);
}

void TCustomItemSelector::HotNext() {
    const int n = Items()->Count();
    if (n == 0) return;
    if (FItemHot < 0) SetItemHot(0);
    else if (FItemHot + 1 < n) SetItemHot(FItemHot + 1);
}

void TCustomItemSelector::HotPrevious() {
    if (Items()->Count() == 0) return;
    if (FItemHot < 0) SetItemHot(0);
    else if (FItemHot > 0) SetItemHot(FItemHot - 1);
}

bool TCustomItemSelector::LookupItem(const QString& S) {
    TSelectorItems* items = Items();
    if (items->Count() == 0 || S.isEmpty()) return false;
    for (int i = 0; i < items->Count(); ++i) {
        // The text is compared as given: callers pass it upper-cased.
        if (StripMarkup(items->Item(i)->Caption()).trimmed().toUpper().startsWith(S)) {
            SetItemIndex(i);
            return true;
        }
    }
    return false;
}

int TCustomItemSelector::ItemAtPos(int X, int Y) const {
    TSelectorItems* items = Items();
    for (int i = 0; i < items->Count(); ++i)
        if (items->Item(i)->FRect.Contains(Point(X, Y))) return i;
    return -1;
}

void TCustomItemSelector::GetItemRect(int Index, TRect& R) const {
    if (Index < 0 || Index >= Items()->Count()) R = Rect(-1, -1, -1, -1);
    else R = Items()->Item(Index)->FRect;
}

void TCustomItemSelector::GetItemsRect(TRect& R) const {
    R = ClientRect();
    InflateRect(R, -FOffSetX, -FOffSetY);
}

TSize TCustomItemSelector::ContentSize(TSelectorItem* Item) const {
    if (SelectorType() == stColor) return TSize(ColorBoxWidth(), ColorBoxHeight());
    if (Item->Image()->Width() > 0) return TSize(Item->Image()->Width(), Item->Image()->Height());
    if (Images() && Item->ImageIndex() >= 0) return TSize(Images()->Width(), Images()->Height());
    return TSize(0, 0);
}

TSize TCustomItemSelector::MeasureCaption(TCanvas* C, const QString& S, const TRect& R) const {
    TSize e(0, 0);
    DrawMarkupText(C, S, R, e, Images(), false);
    return e;
}

void TCustomItemSelector::GetItemSize(TSize& S) {
    if (FOwner->OnItemSize) {
        FOwner->OnItemSize(this, S);
        return;
    }
    // 1-2. The largest content and caption.
    int cw = 0, ch = 0;
    if (SelectorType() == stColor) {
        cw = ColorBoxWidth();
        ch = ColorBoxHeight();
    }
    TCanvas* c = Canvas();
    c->Font().Assign(*FOwner->ItemAppearance()->Font());
    int tw = 0, th = 0;
    TSelectorItems* items = Items();
    for (int i = 0; i < items->Count(); ++i) {
        TSelectorItem* it = items->Item(i);
        if (SelectorType() == stImage) {
            const TSize cs = ContentSize(it);
            cw = std::max<int>(cw, cs.cx);
            ch = std::max<int>(ch, cs.cy);
        }
        const TSize e = MeasureCaption(c, it->Caption(), Rect(0, 0, 1000, 500));
        it->FCaptionExtent = e;
        tw = std::max<int>(tw, e.cx);
        th = std::max<int>(th, e.cy);
    }
    // 3.
    if (tw > 0) tw += 4;
    // 4-5.
    if (ItemLayout() == ilCaptionLeft || ItemLayout() == ilCaptionRight) {
        int w = 2 * FItemOffSetX;
        if (cw > 0) w += cw;
        if (cw > 0 && tw > 0) w += FCaptionGap;
        w += tw;
        S = TSize(w, std::max(th, ch) + 2 * FItemOffSetY);
    } else {
        int h = 2 * FItemOffSetY;
        if (ch > 0) h += ch;
        if (th >= 1) {
            if (ch > 0) h += FCaptionGap;
            h += th;
        }
        S = TSize(std::max(tw, cw) + 2 * FItemOffSetX, h);
    }
}

void TCustomItemSelector::UpdateItemsPosition() {
    TSelectorItems* items = Items();
    // 1.
    if (items->Count() == 0) {
        SetBounds(Left(), Top(), 100, 50);
        return;
    }
    // 2.
    FItemHot = -1;
    TSize sz;
    GetItemSize(sz);
    const int w = sz.cx, h = sz.cy;
    TRect area;
    GetItemsRect(area);
    // 3. Columns to a row, no gaps.
    int x = area.Left, y = area.Top, widest = area.Left, col = 0;
    for (int i = 0; i < items->Count(); ++i) {
        items->Item(i)->FRect = Rect(x, y, x + w, y + h);
        widest = std::max(widest, x);
        if (i == items->Count() - 1) break;
        if (++col < Columns()) {
            x += w;
        } else {
            col = 0;
            x = area.Left;
            y += h;
        }
    }
    // 4.
    SetBounds(Left(), Top(), widest + w + area.Left, y + h + area.Top);
    Invalidate();
}

void TCustomItemSelector::InvalidateItem(int Index) {
    if (Index < 0 || Index >= Items()->Count()) return;
    const TRect r = Items()->Item(Index)->FRect;
    ::InvalidateRect(this, &r, false);
}

TItemColors TCustomItemSelector::GetItemColors(int Index) const {
    const TItemAppearance* a = FOwner->ItemAppearance();
    TItemColors c;
    c.Border = a->BorderColor;
    c.Top = a->BorderColorTop;
    c.Bottom = a->BorderColorBottom;
    c.Edge = a->EdgeColor;
    auto state = [&](TColor f, TColor fTo, TColor m, TColor mTo, TColor border, TColor text) {
        c.Filled = true;
        c.Color = f;
        c.ColorTo = fTo;
        c.Mirror = m;
        c.MirrorTo = mTo;
        c.Text = text;
        if (border != clNone) {
            c.Border = border;
            c.Top = c.Bottom = c.Edge = clNone;
        }
    };
    // A hot item that is also selected is painted as selected.
    if (Index == FItemIndex)
        state(a->ColorSelected, a->ColorSelectedTo, a->ColorMirrorSelected, a->ColorMirrorSelectedTo,
              a->BorderColorSelected, a->ColorSelectedText);
    else if (Index == FItemHot)
        state(a->ColorHot, a->ColorHotTo, a->ColorMirrorHot, a->ColorMirrorHotTo, a->BorderColorHot,
              a->ColorHotText);
    return c;
}

bool TCustomItemSelector::GetItemLayout(int Index, TRect& Content, TRect& Caption) {
    if (Index < 0 || Index >= Items()->Count()) return false;
    TSelectorItem* it = Items()->Item(Index);
    if (it->FRect.Left < 0 && it->FRect.Right < 0) return false;
    const TSize cs = ContentSize(it);
    const int w = cs.cx, h = cs.cy;
    TRect C = it->FRect;
    InflateRect(C, -FItemOffSetX, -FItemOffSetY);
    TCanvas* c = Canvas();
    c->Font().Assign(*FOwner->ItemAppearance()->Font());
    const QString caption = it->Caption();
    const bool box = SelectorType() == stColor;
    int x = C.Left, y = C.Top;
    TRect cap = C;
    // Centred vertically in C: colour boxes stay at the top on the sides.
    auto middleY = [&] { return C.Top + (C.Height() - h) / 2; };
    // The layout measured every caption in a wider area than any item's, so
    // its extent stands while the font is the one it measured with.
    const bool measured = it->FCaptionExtent.cx >= 0 && !FOwner->OnItemSize;
    auto measure = [&](const TRect& area) { return measured ? it->FCaptionExtent : MeasureCaption(c, caption, area); };
    switch (ItemLayout()) {
    case ilCaptionLeft: {
        cap.Right -= w;
        int tw = 0;
        if (!caption.isEmpty()) {
            const TSize e = measure(cap);
            tw = e.cx;
            if (e.cy < cap.Height()) cap.Top += (cap.Height() - e.cy) / 2;
            x = C.Left + tw + FCaptionGap;
        }
        y = box ? C.Top : middleY();
        break;
    }
    case ilCaptionRight: {
        y = box ? C.Top : middleY();
        cap.Left = C.Left + w + FCaptionGap;
        const TSize e = measure(cap);
        if (e.cy < cap.Height()) cap.Top += (cap.Height() - e.cy) / 2;
        break;
    }
    case ilCaptionTop:
        x = C.Left + (C.Width() - w) / 2;
        if (!caption.isEmpty()) {
            cap.Bottom -= h;
            const TSize e = measure(cap);
            y = cap.Top + e.cy + FCaptionGap;
        } else {
            y = middleY();
        }
        break;
    case ilCaptionBottom:
        x = C.Left + (C.Width() - w) / 2;
        y = caption.isEmpty() ? middleY() : C.Top;
        cap.Top = y + h + FCaptionGap;
        break;
    }
    Content = Rect(x, y, x + w, y + h);
    Caption = cap;
    return true;
}

void TCustomItemSelector::DrawItem(int Index, TCanvas* ACanvas) {
    if (!ACanvas || Index < 0 || Index >= Items()->Count()) return;
    TSelectorItem* it = Items()->Item(Index);
    const TRect R = it->FRect;
    if (R.Left < 0 && R.Right < 0) return;
    // 1-2. The state's background.
    const TItemColors col = GetItemColors(Index);
    if (!col.Filled) {
        ACanvas->Brush().SetColor(Color());
        ACanvas->FillRect(R);
    } else if (col.Top == clNone) {
        DrawGradientBox(ACanvas, R, col.Color, col.ColorTo, gdVertical, 1, col.Border);
    } else {
        PaintSelectionFrame(ACanvas, col.Color, col.ColorTo, col.Mirror, col.MirrorTo, col.Top, col.Bottom,
                            col.Border, col.Edge, Color(), R, 0);
    }
    // 3.
    if (FOwner->OnDrawItem) {
        FOwner->OnDrawItem(this, ACanvas, Index, R);
        return;
    }
    // 4-6.
    TRect content, caption;
    if (!GetItemLayout(Index, content, caption)) return;
    ACanvas->Font().Assign(*FOwner->ItemAppearance()->Font());
    if (col.Filled) ACanvas->Font().SetColor(col.Text);
    if (SelectorType() == stColor) {
        ACanvas->Brush().SetColor(it->Color());
        ACanvas->Pen().SetColor(clBlack);
        ACanvas->Pen().SetWidth(1);
        ACanvas->Rectangle(content);
    } else if (it->Image()->Width() > 0) {
        ACanvas->Draw(content.Left, content.Top, it->Image()->Graphic());
    } else if (Images() && it->ImageIndex() >= 0) {
        Images()->Draw(ACanvas, content.Left, content.Top, it->ImageIndex(), it->FEnabled);
    }
    if (!it->Caption().isEmpty()) {
        TSize e;
        ACanvas->Brush().SetStyle(bsClear);
        DrawMarkupText(ACanvas, it->Caption(), caption, e, Images(), true);
        ACanvas->Brush().SetStyle(bsSolid);
    }
}

void TCustomItemSelector::Paint() {
    TCanvas* c = Canvas();
    c->Brush().SetColor(Color());
    c->FillRect(ClientRect());
    for (int i = 0; i < Items()->Count(); ++i) DrawItem(i, c);
}

void TCustomItemSelector::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    const int i = ItemAtPos(X, Y);
    if (i >= 0 && Items()->Item(i)->FEnabled) SetItemIndex(i);
}

void TCustomItemSelector::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    const int i = ItemAtPos(X, Y);
    if (i < 0) {
        SetItemHot(-1);
        return;
    }
    if (i == FItemHot) return;
    TSelectorItem* it = Items()->Item(i);
    if (!it->FEnabled) {
        SetItemHot(-1);
        return;
    }
    SetItemHot(i);
    SetHint(it->Hint);
    Application()->CancelHint();
}

void TCustomItemSelector::CMMouseLeave(TMessage& M) {
    TCustomControl::CMMouseLeave(M);
    SetItemHot(-1);
}

// ---------------------------------------------------------------------------
// TExCustomItemSelector
// ---------------------------------------------------------------------------

TExCustomItemSelector::TExCustomItemSelector(TComponent* AOwner) : TScrollBox(AOwner) {
    // A scrolling control without a frame of its own: the popup draws it.
    SetBorderStyle(bsNone);
    FItems = new TSelectorItems(this);
    FItemAppearance = new TItemAppearance();
    FItemAppearance->OnChange = [](TObject*) {};
    FItems->OnChange = [this](TObject*) { UpdateSelectorPanel(); };
    FItemSelectorPanel = new TCustomItemSelector(this);
    FItemSelectorPanel->SetParent(this);
    FItemSelectorPanel->OnItemSelect = [this](TObject*) {
        if (OnItemSelect) OnItemSelect(this);
    };
    UpdateSelectorPanel();
}

TExCustomItemSelector::~TExCustomItemSelector() {
    FItems->OnChange = nullptr;
    delete FItems;
    delete FItemAppearance;
}

void TExCustomItemSelector::Notification(TComponent* AComponent, TOperation Operation) {
    TScrollBox::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FItemSelectorPanel) FItemSelectorPanel = nullptr;
    if (FImages && AComponent == dynamic_cast<TComponent*>(FImages)) FImages = nullptr;
}

void TExCustomItemSelector::SetSelectorType(TSelectorType v) {
    if (v == FSelectorType) return;
    FSelectorType = v;
    UpdateSelectorPanel();
}

void TExCustomItemSelector::SetColumns(int v) {
    if (v <= 0 || v == FColumns) return;
    FColumns = v;
    UpdateSelectorPanel();
}

void TExCustomItemSelector::SetColorBoxWidth(int v) {
    if (v == FColorBoxWidth) return;
    FColorBoxWidth = v;
    UpdateSelectorPanel();
}

void TExCustomItemSelector::SetColorBoxHeight(int v) {
    if (v == FColorBoxHeight) return;
    FColorBoxHeight = v;
    UpdateSelectorPanel();
}

void TExCustomItemSelector::SetImages(TImageList* v) {
    if (v == FImages) return;
    if (auto* c = dynamic_cast<TComponent*>(FImages)) c->RemoveFreeNotification(this);
    FImages = v;
    if (auto* c = dynamic_cast<TComponent*>(FImages)) c->FreeNotification(this);
    UpdateSelectorPanel();
}

void TExCustomItemSelector::SetItemIndex(int v) {
    if (!FItemSelectorPanel) return;
    FItemSelectorPanel->SetItemIndex(v);
    ScrollItemInView(FItemSelectorPanel->ItemIndex());
}

template <class F>
void TExCustomItemSelector::Forward(F f, bool hot) {
    if (!FItemSelectorPanel) return;
    (FItemSelectorPanel->*f)();
    ScrollItemInView(hot ? FItemSelectorPanel->ItemHot() : FItemSelectorPanel->ItemIndex());
}

void TExCustomItemSelector::SelectFirst() { Forward(&TCustomItemSelector::SelectFirst, false); }
void TExCustomItemSelector::SelectLast() { Forward(&TCustomItemSelector::SelectLast, false); }
void TExCustomItemSelector::SelectNext() { Forward(&TCustomItemSelector::SelectNext, false); }
void TExCustomItemSelector::SelectPrevious() { Forward(&TCustomItemSelector::SelectPrevious, false); }
void TExCustomItemSelector::HotNext() { Forward(&TCustomItemSelector::HotNext, true); }
void TExCustomItemSelector::HotPrevious() { Forward(&TCustomItemSelector::HotPrevious, true); }

bool TExCustomItemSelector::LookupItem(const QString& S) {
    return FItemSelectorPanel && FItemSelectorPanel->LookupItem(S);
}

void TExCustomItemSelector::ScrollItemInView(int Index) {
    if (!FItemSelectorPanel || Index < 0 || Index >= FItems->Count()) return;
    if (!HasScrollBarsState() || !ScrollBarsState()->Bar(SB_VERT).Shown) return;
    TRect r;
    FItemSelectorPanel->GetItemRect(Index, r);
    // To the outer client's coordinates (the bar's margin is 0).
    r.Top += FItemSelectorPanel->Top();
    r.Bottom += FItemSelectorPanel->Top();
    const int client = ClientHeight();
    if (r.Top < 0) {
        SetVertPosition(VertPosition() + r.Top);
    } else if (r.Bottom > client) {
        // An item taller than the view is aligned by its top.
        const int by = r.Height() > client ? r.Top : r.Bottom - client;
        SetVertPosition(VertPosition() + by);
    }
}

int TExCustomItemSelector::GetVisibleItemCount() {
    if (!FItemSelectorPanel || FItems->Count() == 0) return 0;
    TRect first;
    FItemSelectorPanel->GetItemRect(0, first);
    // An item without height fits no whole count.
    if (first.Height() <= 0) return 0;
    int h = Height();
    if (HasScrollBarsState() && ScrollBarsState()->Bar(SB_HORZ).Shown) h -= 20;
    return h / first.Height() * FColumns;
}

void TExCustomItemSelector::UpdateSelectorPanel() {
    if (!FItemSelectorPanel) return;
    FItemSelectorPanel->UpdateItemsPosition();
    UpdateScrollBars();
}

void TExCustomItemSelector::GetSelectorPanelSize(TSize& S) const {
    if (!FItemSelectorPanel) S = TSize(100, 50);
    else S = TSize(FItemSelectorPanel->Width(), FItemSelectorPanel->Height());
}

void TExCustomItemSelector::WMGetDlgCode(TMessage& M) { M.Result = DLGC_WANTARROWS | DLGC_WANTALLKEYS; }
