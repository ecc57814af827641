#include "gridpack/pagecontrol/ExPageControl.h"

#include "platform/controls/Forms.h"
#include "platform/core/Exceptions.h"
#include "platform/core/StringList.h"

#include <algorithm>

namespace {

[[noreturn]] void ListIndexError(int i) {
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(i));
}

bool IsSide(TTabPosition p) { return p == tpLeft || p == tpRight; }

bool HasPicture(const TBitmap* b) { return b && !b->Empty(); }

}  // namespace

// ---------------------------------------------------------------------------
// TTabMargin
// ---------------------------------------------------------------------------

void TTabMargin::Set(TMarginSize& field, TMarginSize v, int index) {
    if (v == field) return;
    if (FOnMarginChange) FOnMarginChange(v, field, index);
    field = v;
}

void TTabMargin::Assign(const TPersistent* source) {
    const auto* m = dynamic_cast<const TTabMargin*>(source);
    if (!m) return;
    FLeftMargin = m->FLeftMargin;
    FTopMargin = m->FTopMargin;
    FRightMargin = m->FRightMargin;
}

// ---------------------------------------------------------------------------
// TExTabSheet
// ---------------------------------------------------------------------------

TExTabSheet::TExTabSheet(TComponent* AOwner) : TCustomControl(AOwner) {
    ControlStyle |= csAcceptsControls;
    // Hidden until its control activates it.
    SetVisible(false);
}

TExTabSheet::~TExTabSheet() {
    if (FPageControl) {
        TExPageControl* pc = FPageControl;
        pc->RemovePage(this);
        SetParent(nullptr);
    }
}

void TExTabSheet::SetExPageControl(TExPageControl* v) {
    if (v == FPageControl) return;
    if (FPageControl) FPageControl->RemovePage(this);
    SetParent(v);
    if (v) v->InsertPage(this);
}

int TExTabSheet::PageIndex() const {
    return FPageControl ? int(FPageControl->FPages.indexOf(const_cast<TExTabSheet*>(this))) : -1;
}

void TExTabSheet::SetPageIndex(int v) {
    if (!FPageControl) return;
    const int last = FPageControl->PageCount() - 1;
    if (v < 0 || v > last)
        throw EListError(
            QStringLiteral("%1 is an invalid PageIndex value.  PageIndex must be between 0 and %2").arg(v).arg(last));
    const int old = PageIndex();
    if (old == v) return;
    const int oldTab = TabIndex();
    FPageControl->FPages.move(old, v);
    if (FTabShowing) FPageControl->MoveTab(oldTab, TabIndex());
}

int TExTabSheet::TabIndex() const {
    if (!FPageControl || !FTabShowing) return -1;
    int n = 0;
    for (TExTabSheet* p : FPageControl->FPages) {
        if (p == this) return n;
        if (p->FTabShowing) ++n;
    }
    return -1;
}

void TExTabSheet::SetTabVisible(bool v) {
    if (v == FTabVisible) return;
    FTabVisible = v;
    UpdateTabShowing();
}

void TExTabSheet::SetTabEnable(bool v) {
    if (v == FTabEnable) return;
    if (!v && FPageControl && FPageControl->FActivePage == this)
        throw Exception(QStringLiteral("Can not disable active tab."));
    FTabEnable = v;
    Changed();
}

void TExTabSheet::SetShowClose(bool v) {
    if (v == FShowClose) return;
    FShowClose = v;
    UpdateTabCaption();
    Changed();
}

void TExTabSheet::SetHighlighted(bool v) {
    FHighlighted = v;
    if (FPageControl && FPageControl->FPropertiesLoaded && FTabShowing)
        FPageControl->SetTabHighlighted(TabIndex(), v);
}

void TExTabSheet::SetImageIndex(int v) {
    if (v < 0) v = -1;
    FImageIndex = v;
    FImageIndexDummy = v < 0 ? 0 : v;
    UpdateTabCaption();
    if (FPageControl) FPageControl->TabsChanged();
}

void TExTabSheet::SetTextColor(TColor v) {
    if (v == FTextColor) return;
    FTextColor = v;
    Changed();
}

void TExTabSheet::SetTabColor(TColor v) {
    if (v == FTabColor) return;
    FTabColor = v;
    Changed();
}

void TExTabSheet::SetTabColorTo(TColor v) {
    if (v == FTabColorTo) return;
    FTabColorTo = v;
    Changed();
}

void TExTabSheet::SetTabGradientDirection(TGradientDirection v) {
    if (v == FTabGradientDirection) return;
    FTabGradientDirection = v;
    Changed();
}

void TExTabSheet::SetColorTo(TColor v) {
    if (v == FColorTo) return;
    FColorTo = v;
    Invalidate();
    Changed();
}

void TExTabSheet::Changed() {
    if (FPageControl) FPageControl->Invalidate();
}

void TExTabSheet::UpdateTabCaption() {
    const QString c = Caption();
    FTabCaption = FShowClose ? c + QLatin1Char(' ') : c.left(std::max(0, int(c.size()) - 2));
    if (FPageControl) FPageControl->UpdateTabText(this);
}

void TExTabSheet::UpdateTabShowing() { SetTabShowing(FPageControl != nullptr && FTabVisible); }

void TExTabSheet::SetTabShowing(bool v) {
    if (v == FTabShowing) return;
    if (v) {
        FTabShowing = true;
        FPageControl->ShowSheetTab(this);
    } else {
        FPageControl->HideSheetTab(this);
    }
}

void TExTabSheet::CMTextChanged(TMessage& M) {
    TCustomControl::CMTextChanged(M);
    UpdateTabCaption();
}

void TExTabSheet::CMVisibleChanged(TMessage& M) {
    TCustomControl::CMVisibleChanged(M);
    // An error in the page's own handler goes to the error box.
    if (Visible()) {
        if (OnShow) Application()->Guard([this] { OnShow(this); });
    } else if (OnHide) {
        Application()->Guard([this] { OnHide(this); });
    }
}

void TExTabSheet::CMColorChanged(TMessage& M) {
    TCustomControl::CMColorChanged(M);
    // The frame round the page takes the page's colour.
    Changed();
}

void TExTabSheet::Paint() {
    TCanvas* c = Canvas();
    c->Brush().SetColor(Color());
    c->FillRect(ClientRect());
    if (FColorTo != clNone) TExPageControl::DrawGradient(c, Color(), FColorTo, 64, ClientRect(), false);
}

// ---------------------------------------------------------------------------
// TExPageControl: construction and pages
// ---------------------------------------------------------------------------

TExPageControl::TExPageControl(TComponent* AOwner)
    : TCustomTabControl(AOwner), FClosedTabList(std::make_unique<TStringList>()),
      FDummyImages(std::make_unique<TImageList>(0, 0)) {
    ControlStyle |= csAcceptsControls | csOpaque | csDoubleClicks;
    SetOwnerDraw(true);
    TCustomTabControl::SetImages(FDummyImages.get());
    FTabMargin.FOnMarginChange = [this](TMarginSize n, TMarginSize o, int i) { MarginChanged(n, o, i); };
    FActiveFont.OnChange = [this](TGraphicsObject*) {
        UpdateTabText(FActivePage);
        Invalidate();
    };
}

TExPageControl::~TExPageControl() {
    // The pages forget their control before it goes; the closed ones stop
    // telling it that they go.
    for (TExTabSheet* p : QList<TExTabSheet*>(FPages)) {
        p->FPageControl = nullptr;
        p->FTabShowing = false;
    }
    FPages.clear();
    FActivePage = nullptr;
    for (int i = 0; i < FClosedTabList->Count(); ++i)
        if (auto* s = dynamic_cast<TExTabSheet*>(FClosedTabList->Objects(i))) RemoveFreeNotification(s);
    FClosedTabList->Clear();
}

void TExPageControl::AfterConstruction() {
    TCustomTabControl::AfterConstruction();
    // Controls built in code count as loaded once built; a control loaded
    // from a description waits for Loaded.
    if (!InState(csLoading)) Loaded();
}

void TExPageControl::Loaded() {
    TCustomTabControl::Loaded();
    for (TExTabSheet* p : FPages)
        if (p->FTabShowing) SetTabHighlighted(p->TabIndex(), p->FHighlighted);
    FPropertiesLoaded = true;
    UpdateMarginRoom();
}

TExTabSheet* TExPageControl::GetPage(int Index) const {
    if (Index < 0 || Index >= FPages.size()) ListIndexError(Index);
    return FPages[Index];
}

int TExPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TExPageControl::SetActivePageIndex(int v) {
    SetActivePage(v >= 0 && v < FPages.size() ? FPages[v] : nullptr);
}

int TExPageControl::TabToPageIndex(int TabIndex) const {
    if (TabIndex < 0) return -1;
    int n = -1;
    for (int i = 0; i < FPages.size(); ++i)
        if (FPages[i]->FTabShowing && ++n == TabIndex) return i;
    return -1;
}

int TExPageControl::PageToTabIndex(int PageIndex) const {
    if (PageIndex < 0 || PageIndex >= FPages.size()) return -1;
    return FPages[PageIndex]->TabIndex();
}

int TExPageControl::PageIndexAt(int X, int Y) { return TabToPageIndex(IndexOfTabAt(X, Y)); }

void TExPageControl::InsertPage(TExTabSheet* Page) {
    FPages << Page;
    Page->FPageControl = this;
    // Colours the sheet lacks come from the control's defaults.
    if (Page->FTextColor == clBlack) Page->FTextColor = FDefaultTextColor;
    if (Page->FTabColor == clNone) Page->FTabColor = FDefaultTabColor;
    if (Page->FTabColorTo == clNone) Page->FTabColorTo = FDefaultTabColorTo;
    Page->SetBoundsRect(DisplayRect());
    Page->UpdateTabShowing();
    Invalidate();
}

void TExPageControl::RemovePage(TExTabSheet* Page) {
    TExTabSheet* next = FindNextPage(Page, true, true);
    if (next == Page) next = nullptr;
    Page->SetTabShowing(false);
    Page->FPageControl = nullptr;
    FPages.removeAll(Page);
    if (FActivePage == Page) {
        FActivePage = nullptr;
        Page->SetVisible(false);
    }
    FHoverTab = -1;
    FHoverClosedButton = false;
    SetActivePage(next);
    Invalidate();
}

void TExPageControl::ShowSheetTab(TExTabSheet* Page) {
    const int t = Page->TabIndex();
    const bool first = Tabs()->Count() == 0;
    Tabs()->InsertObject(t, TabTextOf(Page), Page);
    // The platform's tab control selects its first tab by itself.
    if (first && TabIndex() < 0) SetTabIndex(0);
    if (FPropertiesLoaded && Page->FHighlighted) SetTabHighlighted(t, true);
    SyncActivePage();
}

void TExPageControl::HideSheetTab(TExTabSheet* Page) {
    const int t = Page->TabIndex();
    Page->FTabShowing = false;
    if (t < 0) return;
    Tabs()->Delete(t);
    if (Page == FActivePage) SetTabIndex(std::min(t, Tabs()->Count() - 1));
    SyncActivePage();
}

void TExPageControl::MoveTab(int CurIndex, int NewIndex) {
    if (CurIndex < 0 || NewIndex < 0) return;
    Tabs()->Move(CurIndex, NewIndex);
}

void TExPageControl::SetChildOrder(TExTabSheet* Child, int Order) {
    if (Child && Child->FPageControl == this) Child->SetPageIndex(Order);
}

TExTabSheet* TExPageControl::FindNextPage(TExTabSheet* CurPage, bool GoForward, bool CheckTabVisible) {
    const int n = int(FPages.size());
    if (n == 0) return nullptr;
    int i = FPages.indexOf(CurPage);
    if (i < 0) i = GoForward ? n - 1 : 0;
    for (int k = 0; k < n; ++k) {
        i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
        if (!CheckTabVisible || FPages[i]->FTabVisible) return FPages[i];
    }
    return nullptr;
}

// -- activation ---------------------------------------------------------------

void TExPageControl::SetActivePage(TExTabSheet* Page) {
    if (Page && Page->FPageControl != this) return;
    ChangeActivePage(Page);
    if (!Page) SetTabIndex(-1);
    else if (Page == FActivePage) SetTabIndex(Page->TabIndex());
    // A page that refused (its tab disabled) leaves the selection on the
    // page still shown.
    else SetTabIndex(FActivePage ? FActivePage->TabIndex() : -1);
}

void TExPageControl::ChangeActivePage(TExTabSheet* Page) {
    if (Page == FActivePage) return;
    if (!Page) {
        // No page at all: the one shown until now goes too, so no page is
        // left showing without its tab selected.
        TExTabSheet* old = FActivePage;
        FActivePage = nullptr;
        if (old) {
            old->SetVisible(false);
            UpdateTabText(old);
        }
        Invalidate();
        return;
    }
    if (!Page->FTabEnable) return;
    TCustomForm* form = GetParentForm(this);
    TWinControl* focused = FocusedControl();
    const bool focusOnOld =
        FActivePage && focused && (focused == FActivePage || FActivePage->ContainsControl(focused));
    if (form && focusOnOld) {
        // The focus leaves the old page first; a form that keeps it there
        // keeps the page too.
        form->FocusControl(FActivePage);
        if (FocusedControl() != FActivePage) {
            SetTabIndex(FActivePage->TabIndex());
            return;
        }
    }
    Page->SetBoundsRect(DisplayRect());
    Page->SetVisible(true);
    Page->AlignControls();
    if (form && focusOnOld) {
        if (Page->CanFocus()) form->FocusControl(Page);
        else if (CanFocus()) form->FocusControl(this);
    }
    TExTabSheet* old = FActivePage;
    if (old) old->SetVisible(false);
    FActivePage = Page;
    UpdateTabText(old);
    UpdateTabText(Page);
    if (form && FocusedControl() == Page) {
        QList<TWinControl*> order;
        Page->GetTabOrderList(order);
        for (TWinControl* c : order)
            if (c->CanFocus() && c->TabStop()) {
                form->FocusControl(c);
                break;
            }
    }
    Invalidate();
}

void TExPageControl::ShowControl(TControl* AControl) {
    auto* sheet = dynamic_cast<TExTabSheet*>(AControl);
    if (sheet && sheet->FPageControl == this) SetActivePage(sheet);
}

void TExPageControl::SyncActivePage() {
    const int t = TabIndex();
    SetActivePage(t >= 0 ? static_cast<TExTabSheet*>(Tabs()->Objects(t)) : nullptr);
}

bool TExPageControl::CanChangeTo(int ToPage) {
    bool allow = true;
    if (OnCanChange) OnCanChange(this, ActivePageIndex(), ToPage, allow);
    if (!allow) return false;
    return TCustomTabControl::CanChange();
}

bool TExPageControl::CanChange() { return CanChangeTo(PageIndexAt(FMousePoint.X, FMousePoint.Y)); }

void TExPageControl::Change() {
    SyncActivePage();
    TCustomTabControl::Change();
    Invalidate();
}

void TExPageControl::SelectNextPage(bool GoForward) {
    TExTabSheet* page = FindNextPage(FActivePage, GoForward, true);
    if (!page || page == FActivePage || !CanChangeTo(page->PageIndex())) return;
    SetTabIndex(page->TabIndex());
    Change();
}

bool TExPageControl::CanShowTab(int TabIndex) {
    const int page = TabToPageIndex(TabIndex);
    return page >= 0 && FPages[page]->Enabled();
}

int TExPageControl::GetImageIndex(int TabIndex) {
    const int page = TabToPageIndex(TabIndex);
    int index = -1;
    if (page >= 0) index = FTabBorder3D ? FPages[page]->FImageIndex : FPages[page]->FImageIndexDummy;
    if (OnGetImageIndex) OnGetImageIndex(this, TabIndex, index);
    return index;
}

void TExPageControl::DrawTab(int TabIndex, const TRect& Rect, bool Active) {
    // The tabs are painted by the pass after the base's painting; only an
    // owner's own drawing runs here.
    if (OnDrawTab) OnDrawTab(this, TabIndex, Rect, Active);
}

// -- tab texts ----------------------------------------------------------------

QString TExPageControl::TabTextOf(TExTabSheet* Page) {
    if (FTabBorder3D) return Page->Caption();
    QString s = Page->FTabCaption;
    if (Page == FActivePage && (FActiveFont.Style() & (fsBold | fsItalic))) {
        // Blanks in the normal font that make up for the wider active font.
        TCanvas* c = Canvas();
        c->Font().Assign(FActiveFont);
        const int active = c->TextWidth(s);
        c->Font().Assign(*Font());
        const int need = active - c->TextWidth(s);
        QString blanks;
        while (c->TextWidth(blanks) < need) blanks += QLatin1Char(' ');
        s += blanks;
    }
    return s;
}

void TExPageControl::UpdateTabText(TExTabSheet* Page) {
    if (!Page || Page->FPageControl != this || !Page->FTabShowing) return;
    const int t = Page->TabIndex();
    const QString text = TabTextOf(Page);
    if (Tabs()->Strings(t) != text) Tabs()->Put(t, text);
}

void TExPageControl::UpdateAllTabTexts() {
    for (TExTabSheet* p : FPages) UpdateTabText(p);
}

// -- closing ------------------------------------------------------------------

TRect TExPageControl::CloseButtonRect(int PageIndex) {
    const int tab = PageToTabIndex(PageIndex);
    if (tab < 0) return TRect();
    const TRect r = TabRect(tab);
    if (r.IsEmpty()) return TRect();
    const bool bga = HasPicture(FTabBackGroundActive.get());
    if (TabPosition() == tpLeft) {
        const int x = r.Left + FTabMargin.LeftMargin() + 2 + (bga ? 2 : 0);
        const int bottom = r.Bottom - FTabMargin.TopMargin() + (bga ? FTabOverlap : 0);
        return Rect(x, bottom - 13, x + 12, bottom - 2);
    }
    const int x = r.Left + FTabMargin.LeftMargin() + 2;
    const int y = r.Top + FTabMargin.TopMargin() + 2;
    return Rect(x, y, x + 12, y + 11);
}

void TExPageControl::CloseActivePage() {
    TExTabSheet* sheet = FActivePage;
    if (!sheet) return;
    TExTabSheet* next = FindNextPage(sheet, true, true);
    bool canClose = true;
    if (sheet->OnCanClose) sheet->OnCanClose(sheet, canClose);
    if (!canClose) return;
    if (sheet->OnClose) sheet->OnClose(sheet);
    if (next && next != sheet) SetActivePage(next);
    FCloseButtonState = cbsNormal;
    FHoverClosedButton = false;
    if (FFreeOnClose) {
        sheet->Free();
    } else {
        FClosedTabList->AddObject(sheet->Name(), sheet);
        // A closed sheet that goes later leaves the list.
        sheet->FreeNotification(this);
        sheet->SetExPageControl(nullptr);
    }
    Invalidate();
}

bool TExPageControl::OpenClosedTab(const QString& TabName) {
    const int i = FClosedTabList->IndexOf(TabName);
    if (i < 0) return false;
    auto* sheet = dynamic_cast<TExTabSheet*>(FClosedTabList->Objects(i));
    if (!sheet) return false;
    sheet->SetExPageControl(this);
    return true;
}

void TExPageControl::OpenAllClosedTabs() {
    for (int i = 0; i < FClosedTabList->Count(); ++i)
        if (auto* sheet = dynamic_cast<TExTabSheet*>(FClosedTabList->Objects(i))) sheet->SetExPageControl(this);
}

void TExPageControl::ForgetClosedSheet(TExTabSheet* Sheet) {
    for (int i = FClosedTabList->Count() - 1; i >= 0; --i)
        if (FClosedTabList->Objects(i) == static_cast<TObject*>(Sheet)) FClosedTabList->Delete(i);
}

void TExPageControl::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomTabControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    // Only the pointer is compared: the component is half gone.
    for (int i = FClosedTabList->Count() - 1; i >= 0; --i)
        if (FClosedTabList->Objects(i) == static_cast<TObject*>(AComponent)) FClosedTabList->Delete(i);
    for (TExTabSheet* p : FPages)
        if (p->FDockedClient && static_cast<TComponent*>(p->FDockedClient) == AComponent) {
            // The docked control is being destroyed: its sheet lets go of it
            // without touching it again.
            p->FDockedClient = nullptr;
            p->FDockedClientProc = nullptr;
        }
}

// -- mouse and keys -----------------------------------------------------------

bool TExPageControl::HoverActive() const { return FTabHoverColor != clNone && !FTabBorder3D; }

void TExPageControl::InvalidatePageTab(int PageIndex) {
    const int tab = PageToTabIndex(PageIndex);
    if (tab < 0) return;
    TRect r = TabRect(tab);
    InflateRect(r, 2, 2);
    InvalidateRect(this, &r, false);
}

void TExPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FMousePoint = Point(X, Y);
    TCustomTabControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (!FTabBorder3D && FActivePage && FActivePage->FShowClose &&
        CloseButtonRect(ActivePageIndex()).Contains(Point(X, Y))) {
        FCloseButtonState = cbsPressed;
        Invalidate();
        return;
    }
    // A press on the tab of a docked control starts dragging that control.
    if (DockSite()) {
        const int page = PageIndexAt(X, Y);
        if (page >= 0 && FPages[page]->FDockedClient) FPages[page]->FDockedClient->BeginDrag(false);
    }
}

void TExPageControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FMousePoint = Point(X, Y);
    TCustomTabControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    const bool wasPressed = FCloseButtonState == cbsPressed;
    if (wasPressed) {
        FCloseButtonState = FHoverClosedButton ? cbsHot : cbsNormal;
        Invalidate();
    }
    if (!FTabBorder3D && FActivePage && FActivePage->FShowClose &&
        CloseButtonRect(ActivePageIndex()).Contains(Point(X, Y)))
        CloseActivePage();
}

void TExPageControl::MouseMove(TShiftState Shift, int X, int Y) {
    FMousePoint = Point(X, Y);
    TCustomTabControl::MouseMove(Shift, X, Y);
    if (!HoverActive()) return;
    if (!HasPicture(FTabBackGround.get())) {
        const int page = PageIndexAt(X, Y);
        if (page != FHoverTab) {
            const int old = FHoverTab;
            FHoverTab = page;
            InvalidatePageTab(old);
            InvalidatePageTab(page);
        }
    }
    if (FActivePage && FActivePage->FShowClose) {
        const bool in = CloseButtonRect(ActivePageIndex()).Contains(Point(X, Y));
        if (in != FHoverClosedButton) {
            FHoverClosedButton = in;
            if (FCloseButtonState != cbsPressed) FCloseButtonState = in ? cbsHot : cbsNormal;
            Invalidate();
        }
    }
}

void TExPageControl::CMMouseLeave(TMessage& M) {
    TCustomTabControl::CMMouseLeave(M);
    if (!HoverActive()) return;
    if (!HasPicture(FTabBackGround.get())) InvalidatePageTab(FHoverTab);
    FHoverTab = -1;
    if (FHoverClosedButton) {
        FHoverClosedButton = false;
        if (FCloseButtonState == cbsHot) FCloseButtonState = cbsNormal;
        Invalidate();
    }
}

void TExPageControl::WMLButtonDblClk(TMessage& M) {
    TCustomTabControl::WMLButtonDblClk(M);
    // A double click on the tab of a docked control floats it.
    const int page = PageIndexAt(GetXLParam(M.LParam), GetYLParam(M.LParam));
    if (page < 0 || !FPages[page]->FDockedClient) return;
    TControl* client = FPages[page]->FDockedClient;
    UndockClient(client);
    if (auto* form = dynamic_cast<TCustomForm*>(client)) form->Show();
}

void TExPageControl::CMDialogKey(TMessage& M) {
    TWinControl* focused = FocusedControl();
    const bool focusInside = focused && (focused == this || ContainsControl(focused));
    if (focusInside && M.WParam == VK_TAB && GetKeyState(VK_CONTROL) < 0) {
        SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
        M.Result = 1;
        return;
    }
    TCustomTabControl::CMDialogKey(M);
}

// -- docking ------------------------------------------------------------------

void TExPageControl::DoAddDockClient(TControl* Client, const TRect&) {
    auto* sheet = NewObject<TExTabSheet>(this);
    FNewDockSheet = sheet;
    try {
        if (dynamic_cast<TCustomForm*>(Client)) sheet->SetCaption(Client->Caption());
        sheet->SetExPageControl(this);
        Client->SetParent(sheet);
        Client->SetAlign(alClient);
        Client->SetBoundsRect(sheet->ClientRect());
        sheet->FDockedClient = Client;
        sheet->FDockedClientProc = Client->WindowProc;
        Client->FreeNotification(this);
        // While docked, the control's caption and visibility follow to the
        // sheet and its tab.
        Client->WindowProc = [sheet, Client](TMessage& m) {
            TWndMethod own = sheet->FDockedClientProc;
            if (own) own(m);
            if (sheet->FDockedClient != Client) return;
            if (m.Msg == CM_TEXTCHANGED) {
                QString text = Client->Caption();
                for (int i = 0; i < text.size(); ++i)
                    if (text[i] == QLatin1Char('\r') || text[i] == QLatin1Char('\n')) {
                        text.truncate(i);
                        break;
                    }
                sheet->SetCaption(text);
            } else if (m.Msg == CM_VISIBLECHANGED) {
                sheet->SetTabVisible(Client->Visible());
            }
        };
        sheet->SetTabVisible(Client->Visible());
        if (Client->Visible()) SetActivePage(sheet);
    } catch (...) {
        if (sheet->FDockedClient) {
            Client->WindowProc = sheet->FDockedClientProc;
            sheet->FDockedClient = nullptr;
        }
        FNewDockSheet = nullptr;
        delete sheet;
        throw;
    }
    FNewDockSheet = nullptr;
}

void TExPageControl::DoRemoveDockClient(TControl* Client) {
    TExTabSheet* sheet = nullptr;
    for (TExTabSheet* p : FPages)
        if (p->FDockedClient == Client) sheet = p;
    if (!sheet) return;
    FUndockingPage = sheet;
    Client->WindowProc = sheet->FDockedClientProc;
    sheet->FDockedClient = nullptr;
    sheet->FDockedClientProc = nullptr;
    RemoveFreeNotification(Client);
    Client->SetAlign(alNone);
    Client->SetParent(nullptr);
    if (TExTabSheet* next = FindNextPage(sheet, true, true); next && next != sheet) SetActivePage(next);
    FUndockingPage = nullptr;
    delete sheet;
}

// -- properties ---------------------------------------------------------------

void TExPageControl::SetColorProp(TColor& field, TColor v) {
    if (field == v) return;
    field = v;
    Invalidate();
}

void TExPageControl::DefaultChanged(TColor TExTabSheet::*field, TColor& own, TColor v) {
    if (own == v) return;
    for (TExTabSheet* p : FPages)
        if (p->*field == own) p->*field = v;
    own = v;
    Invalidate();
}

void TExPageControl::SetDefaultTextColor(TColor v) { DefaultChanged(&TExTabSheet::FTextColor, FDefaultTextColor, v); }
void TExPageControl::SetDefaultTabColor(TColor v) { DefaultChanged(&TExTabSheet::FTabColor, FDefaultTabColor, v); }
void TExPageControl::SetDefaultTabColorTo(TColor v) {
    DefaultChanged(&TExTabSheet::FTabColorTo, FDefaultTabColorTo, v);
}

void TExPageControl::SetTabStyle(TTabStyle v) {
    if (v == FTabStyle) return;
    FTabStyle = v;
    Invalidate();
}

void TExPageControl::SetTabSplitLine(bool v) {
    if (v && FTabStyle == tsDotNet) throw Exception(QStringLiteral("TabSplitLine must be false when TabStyle is tsDotNet"));
    if (v == FTabSplitLine) return;
    FTabSplitLine = v;
    Invalidate();
}

void TExPageControl::SetTabBorder3D(bool v) {
    if (v == FTabBorder3D) return;
    FTabBorder3D = v;
    SetOwnerDraw(!v);
    FHoverTab = -1;
    UpdateMarginRoom();
    UpdateAllTabTexts();
    Invalidate();
}

void TExPageControl::SetTabSheet3D(bool v) {
    if (v == FTabSheet3D) return;
    FTabSheet3D = v;
    Invalidate();
}

void TExPageControl::SetRoundEdges(bool v) {
    if (v == FRoundEdges) return;
    FRoundEdges = v;
    Invalidate();
}

void TExPageControl::SetLowerActive(int v) {
    if (v == FLowerActive) return;
    FLowerActive = v;
    Invalidate();
}

void TExPageControl::SetShowFocus(bool v) {
    if (v == FShowFocus) return;
    FShowFocus = v;
    Invalidate();
}

void TExPageControl::SetTabOverlap(TTabOverlapSize v) {
    v = std::clamp(v, 0, 15);
    if (v == FTabOverlap) return;
    FTabOverlap = v;
    Invalidate();
}

namespace {
void CopyPicture(std::unique_ptr<TBitmap>& field, const TBitmap* v) {
    if (!v || v->Empty()) {
        field.reset();
        return;
    }
    field = std::make_unique<TBitmap>();
    field->Assign(v);
}
}  // namespace

void TExPageControl::SetTabBackGround(const TBitmap* v) {
    CopyPicture(FTabBackGround, v);
    Invalidate();
}

void TExPageControl::SetTabBackGroundActive(const TBitmap* v) {
    CopyPicture(FTabBackGroundActive, v);
    Invalidate();
}

void TExPageControl::SetCloseGlyph(const TBitmap* v) {
    CopyPicture(FCloseGlyph, v);
    Invalidate();
}

void TExPageControl::SetImages(TImageList* v) {
    FImages = v;
    UpdateMarginRoom();
    Invalidate();
}

void TExPageControl::SetTabPosition(TTabPosition v) {
    if (v == TabPosition()) return;
    TCustomTabControl::SetTabPosition(v);
    UpdateMarginRoom();
    PlaceSheets();
}

QString TExPageControl::Version() const {
    return QStringLiteral("%1.%2.%3.%4")
        .arg((VersionNr >> 24) & 0xFF)
        .arg((VersionNr >> 16) & 0xFF)
        .arg((VersionNr >> 8) & 0xFF)
        .arg(VersionNr & 0xFF);
}

void TExPageControl::MarginChanged(TMarginSize NewValue, TMarginSize, int Index) {
    if (FPropertiesLoaded && !FTabBorder3D) {
        // The value is stored after this step: the room is worked out with
        // the new one in its place.
        TMarginSize l = FTabMargin.FLeftMargin, t = FTabMargin.FTopMargin, r = FTabMargin.FRightMargin;
        (Index == 0 ? l : Index == 1 ? t : r) = NewValue;
        SetMarginRoom(l, t, r);
    }
    Invalidate();
}

void TExPageControl::UpdateMarginRoom() {
    if (FTabBorder3D) {
        TCustomTabControl::SetImages(FImages);
        return;
    }
    SetMarginRoom(FTabMargin.FLeftMargin, FTabMargin.FTopMargin, FTabMargin.FRightMargin);
}

void TExPageControl::SetMarginRoom(TMarginSize Left, TMarginSize Top, TMarginSize Right) {
    // Worked out whole from the images and the margins, so the order in
    // which margins and images are set does not matter.
    const bool side = IsSide(TabPosition());
    const int img = FImages ? (side ? FImages->Height() : FImages->Width()) : 0;
    const int room = std::max(0, img + (side ? Top : Left) + Right);
    if (side) FDummyImages->SetSize(0, room);
    else FDummyImages->SetSize(room, 0);
    TCustomTabControl::SetImages(FDummyImages.get());
}

void TExPageControl::PlaceSheets() {
    const TRect r = DisplayRect();
    for (TExTabSheet* p : FPages) p->SetBoundsRect(r);
}

void TExPageControl::TabsChanged() {
    TCustomTabControl::TabsChanged();
    PlaceSheets();
}

void TExPageControl::CMFontChanged(TMessage& M) {
    TCustomTabControl::CMFontChanged(M);
    UpdateAllTabTexts();
}

void TExPageControl::CMColorChanged(TMessage& M) {
    TCustomTabControl::CMColorChanged(M);
    Invalidate();
}
