#pragma once
// The tab control of the class library (TCustomTabControl) and the page
// control built on it (TPageControl with its TTabSheet pages).
//
// The tab control keeps a list of tab texts, each with an attached object,
// lays the tabs out on one of the four sides (one row, or several rows with
// MultiLine), answers the rectangle of a tab and the tab under a point, and
// paints them itself or lets an owner draw them. A click on another tab asks
// CanChange (OnChanging may veto) before the selection moves and calls Change
// (OnChange) after; setting TabIndex in code does neither.
#include "platform/controls/Controls.h"

#include <QList>
#include <QString>
#include <functional>

class TCustomTabControl;
class TPageControl;

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;
using TDrawTabEvent =
    std::function<void(TCustomTabControl* Control, int TabIndex, const TRect& Rect, bool Active)>;
using TTabGetImageEvent = std::function<void(TObject* Sender, int TabIndex, int& ImageIndex)>;

// The tab texts with their attached objects. Every change lays the tabs out
// again.
class TTabStrings {
public:
    explicit TTabStrings(TCustomTabControl* control) : FControl(control) {}
    int Count() const { return int(FItems.size()); }
    // Raise EListError "List index out of bounds (<index>)" outside the list.
    QString Strings(int i) const;
    TObject* Objects(int i) const;
    void Put(int i, const QString& s);
    void PutObject(int i, TObject* o);
    int Add(const QString& s) { return AddObject(s, nullptr); }
    int AddObject(const QString& s, TObject* o);
    void Insert(int i, const QString& s) { InsertObject(i, s, nullptr); }
    void InsertObject(int i, const QString& s, TObject* o);
    void Delete(int i);
    void Move(int cur, int dest);
    void Clear();
    int IndexOf(const QString& s) const;
    int IndexOfObject(const TObject* o) const;

private:
    struct Item {
        QString Text;
        TObject* Object = nullptr;
        bool Highlighted = false;
    };
    friend class TCustomTabControl;
    void Check(int i) const;
    TCustomTabControl* FControl;
    QList<Item> FItems;
};

class TCustomTabControl : public TCustomControl {
    KAL_CLASS(TCustomTabControl, TCustomControl)
public:
    explicit TCustomTabControl(TComponent* AOwner);
    ~TCustomTabControl() override;

    TTabStrings* Tabs() { return &FTabs; }
    // The selected tab, -1 for none. Setting it in code asks nobody.
    int TabIndex() const { return FTabIndex; }
    void SetTabIndex(int v);

    // -- layout
    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition v);
    // The thickness of a row of tabs (0: from the font and the images).
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int v);
    // A fixed length for every tab (0: from its text).
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int v);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool v);
    // Rows are not stretched to the full length when set.
    bool RaggedRight() const { return FRaggedRight; }
    void SetRaggedRight(bool v);
    // The row of the selected tab moves to the far side instead of next to
    // the page.
    bool ScrollOpposite() const { return FScrollOpposite; }
    void SetScrollOpposite(bool v);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool v) { FHotTrack = v; Invalidate(); }
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool v);
    // Room of the image size is kept in every tab whose image index is not
    // negative.
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* v);

    // The rectangle of tab i in client coordinates; empty outside the list
    // or when the tab is scrolled out of a single row.
    TRect TabRect(int i);
    // The tab under a client point, -1 for none.
    int IndexOfTabAt(int X, int Y);
    // The area left for the pages.
    TRect DisplayRect();
    // Rows of tabs the layout needs.
    int RowCount();
    // The first tab shown in a single row that does not fit.
    int FirstVisibleTab() const { return FFirstVisible; }
    void ScrollTabs(int delta);

    // The platform's highlight state of a tab.
    void SetTabHighlighted(int i, bool on);
    bool TabHighlighted(int i) const;

    // Docking: a site accepts windows dropped on it.
    bool DockSite() const { return FDockSite; }
    void SetDockSite(bool v) { FDockSite = v; }
    // A control is docked into (or leaves) this site; the site hears it
    // through CM_DOCKCLIENT / CM_UNDOCKCLIENT and the virtual steps below.
    void DockDrop(TControl* Client, int X, int Y);
    bool UndockClient(TControl* Client);
    QList<TControl*> DockClients() const { return FDockClients; }

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;
    TDrawTabEvent OnDrawTab;
    TTabGetImageEvent OnGetImageIndex;

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    friend class TTabStrings;
    // Asked before the user moves the selection; false keeps it.
    virtual bool CanChange();
    // Told after the user moved the selection.
    virtual void Change();
    // Whether tab i may be selected by the user.
    virtual bool CanShowTab(int TabIndex);
    virtual int GetImageIndex(int TabIndex);
    // Paints one tab when OwnerDraw is on.
    virtual void DrawTab(int TabIndex, const TRect& Rect, bool Active);
    // The tabs changed: count, texts, sizes or side.
    virtual void TabsChanged();
    // Docking steps.
    virtual void DoAddDockClient(TControl* Client, const TRect& ARect);
    virtual void DoRemoveDockClient(TControl* Client);

    // The user's selection step: asks, moves, tells. True when it moved.
    bool SelectTabByUser(int i);
    void Paint() override;
    void WMLButtonDown(TMessage& M) override;
    void WMGetDlgCode(TMessage& M) override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void CMFontChanged(TMessage& M) override;
    void Resize() override;

    // Paints the default face of a tab (frame, image, text).
    void PaintTabFace(int i, const TRect& r, bool active);
    bool IsVertical() const { return FTabPosition == tpLeft || FTabPosition == tpRight; }

private:
    // Where every tab stands; worked out again after each change.
    struct TTabLayout {
        bool Valid = false;
        QList<TRect> Rects;  // per tab, empty when scrolled out
        QList<int> RowOf;    // per tab, counted from the row next to the page
        int Rows = 0;
        int StripDepth = 0;  // from the control's edge to the page frame
        bool Overflow = false;
    };
    void InvalidateLayout();
    const TTabLayout& GetLayout();
    int TabLength(int i);
    int RowThickness();
    TRect ScrollButtonsRect();

    TTabStrings FTabs;
    int FTabIndex = -1;
    TTabPosition FTabPosition = tpTop;
    int FTabHeight = 0, FTabWidth = 0;
    bool FMultiLine = false, FRaggedRight = false, FScrollOpposite = false, FHotTrack = false;
    bool FOwnerDraw = false, FDockSite = false;
    TImageList* FImages = nullptr;
    int FFirstVisible = 0;
    QList<TControl*> FDockClients;
    TTabLayout FLayout;
};

// A control with tabs and nothing more; the pages are the application's.
class TTabControl : public TCustomTabControl {
    KAL_CLASS(TTabControl, TCustomTabControl)
public:
    explicit TTabControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}
};

// ---------------------------------------------------------------------------
// Page control
// ---------------------------------------------------------------------------

class TTabSheet : public TCustomControl {
    KAL_CLASS(TTabSheet, TCustomControl)
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return FPageControl; }
    // Moves the sheet to another page control (nullptr: to none).
    void SetPageControl(TPageControl* v);
    // The position among all pages; raises EListError outside the pages.
    int PageIndex() const;
    void SetPageIndex(int v);
    // The position among the shown tabs, -1 when the tab is hidden.
    int TabIndex() const;
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool v);
    bool Highlighted() const { return FHighlighted; }
    void SetHighlighted(bool v);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);

    TNotifyEvent OnShow, OnHide;

protected:
    friend class TPageControl;
    void CMTextChanged(TMessage& M) override;
    void CMVisibleChanged(TMessage& M) override;
    void Paint() override;
    // The text given to the tab; a page control with its own tab texts
    // derives them here.
    virtual QString TabCaption() const { return Caption(); }

private:
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true, FHighlighted = false;
    int FImageIndex = -1;
};

class TPageControl : public TCustomTabControl {
    KAL_CLASS(TPageControl, TCustomTabControl)
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    int PageCount() const { return int(FPages.size()); }
    // Raises EListError outside the pages.
    TTabSheet* Pages(int i) const;
    TTabSheet* ActivePage() const { return FActivePage; }
    // Shows the sheet; asks nobody and tells nobody. A sheet of another
    // control is ignored.
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int v);
    // The next page after CurPage in page order, wrapping round.
    TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible);
    // The user's step to the next or previous page with a shown tab: asks
    // OnChanging and tells OnChange.
    void SelectNextPage(bool GoForward, bool CheckTabVisible = true);
    // The page under a client point, -1 for none.
    int IndexOfPageAt(int X, int Y);

protected:
    friend class TTabSheet;
    void Change() override;
    bool CanShowTab(int TabIndex) override;
    int GetImageIndex(int TabIndex) override;
    void TabsChanged() override;
    void CMDialogKey(TMessage& M) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Makes the sheet of the selected tab the active page.
    virtual void UpdateActivePage();

    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void ShowSheetTab(TTabSheet* page);
    void HideSheetTab(TTabSheet* page);
    void UpdateTab(TTabSheet* page);
    void PlaceSheets();
    // Page index and tab index converted by counting hidden tabs.
    int PageIndexOfTab(int tab) const;

    QList<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
};
