#pragma once
// TExPageControl: a page control on the class library's custom tab control
// whose pages are TExTabSheet children, one tab per page whose tab is
// visible, the active page filling the page area. Beyond the plain page
// control it paints its tabs itself (two styles, solid or gradient colours
// per tab, rotated captions for tabs on the left or right, images, background
// pictures, hover colours and outline), puts close buttons on the tabs with a
// list of closed pages that can be reopened, keeps margins inside each tab,
// pads the active tab's text for a bold or italic active font, switches pages
// on Ctrl+Tab and takes docked windows as pages.
//
// Tab text rule: the tab control is given a tab caption derived from the
// sheet's Caption (with a close button: Caption + one blank; without:
// Caption less its last two characters), which decides the tab's size; the
// text painted on the tab is always the plain Caption. A caption that ends in
// blanks therefore leaves room after the painted text.
//
// Margins: the tab control keeps room for an image in every tab. The control
// hands it an image list without images whose size is that room (images +
// left and right margins for tabs on the top or bottom, images + top and
// right margins for tabs on the left or right), and every tab reports an
// image, so each tab grows by the room.
#include "platform/controls/TabControls.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>

class TExPageControl;
class TExTabSheet;
class TStringList;

enum TTabStyle { tsClassic, tsDotNet };
using TMarginSize = int32_t;
// 0..15
using TTabOverlapSize = int;

using TCanCloseEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TCanChangeEvent = std::function<void(TObject* Sender, int FromPage, int ToPage, bool& AllowChange)>;
// NewValue, OldValue, Index: 0 left, 1 top, 2 right.
using TMarginChange = std::function<void(TMarginSize NewValue, TMarginSize OldValue, int Index)>;

// The three margins inside each tab.
class TTabMargin : public TPersistent {
    KAL_CLASS(TTabMargin, TPersistent)
public:
    TMarginSize LeftMargin() const { return FLeftMargin; }
    void SetLeftMargin(TMarginSize v) { Set(FLeftMargin, v, 0); }
    TMarginSize TopMargin() const { return FTopMargin; }
    void SetTopMargin(TMarginSize v) { Set(FTopMargin, v, 1); }
    TMarginSize RightMargin() const { return FRightMargin; }
    void SetRightMargin(TMarginSize v) { Set(FRightMargin, v, 2); }
    // From another TTabMargin the three values, without the change event;
    // any other source is ignored.
    void Assign(const TPersistent* source) override;

private:
    friend class TExPageControl;
    // The change is told before the value is stored, and only for a change.
    void Set(TMarginSize& field, TMarginSize v, int index);
    TMarginSize FLeftMargin = 0, FTopMargin = 0, FRightMargin = 0;
    TMarginChange FOnMarginChange;
};

class TExTabSheet : public TCustomControl {
    KAL_CLASS(TExTabSheet, TCustomControl)
public:
    explicit TExTabSheet(TComponent* AOwner);
    ~TExTabSheet() override;

    TExPageControl* ExPageControl() const { return FPageControl; }
    // Moves the sheet to another control (nullptr: to none).
    void SetExPageControl(TExPageControl* v);
    // Position among all pages, -1 without a control. Raises EListError
    // outside 0 .. PageCount - 1; nothing moves then.
    int PageIndex() const;
    void SetPageIndex(int v);
    // Position among the shown tabs, -1 when the tab is not shown.
    int TabIndex() const;
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool v);
    // Raises "Can not disable active tab." for the control's active page.
    bool TabEnable() const { return FTabEnable; }
    void SetTabEnable(bool v);
    bool ShowClose() const { return FShowClose; }
    void SetShowClose(bool v);
    bool Highlighted() const { return FHighlighted; }
    void SetHighlighted(bool v);
    // Negative values are stored as -1.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    TColor TextColor() const { return FTextColor; }
    void SetTextColor(TColor v);
    TColor TabColor() const { return FTabColor; }
    void SetTabColor(TColor v);
    TColor TabColorTo() const { return FTabColorTo; }
    void SetTabColorTo(TColor v);
    TGradientDirection TabGradientDirection() const { return FTabGradientDirection; }
    void SetTabGradientDirection(TGradientDirection v);
    TGradientDirection HoverGradientDirection() const { return FHoverGradientDirection; }
    void SetHoverGradientDirection(TGradientDirection v) { FHoverGradientDirection = v; }
    // Not clNone: the page is a vertical gradient from Color to ColorTo.
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v);

    // The text the tab control is given (before the active tab's padding).
    QString TabCaption() const { return FTabCaption; }
    bool TabShowing() const { return FTabShowing; }

    TNotifyEvent OnShow, OnHide, OnClose;
    TCanCloseEvent OnCanClose;

protected:
    friend class TExPageControl;
    void Paint() override;
    void CMTextChanged(TMessage& M) override;
    void CMVisibleChanged(TMessage& M) override;
    void CMColorChanged(TMessage& M) override;

private:
    void UpdateTabCaption();
    void SetTabShowing(bool v);
    void UpdateTabShowing();
    void Changed();

    TExPageControl* FPageControl = nullptr;
    bool FTabVisible = true, FTabEnable = true, FShowClose = false, FHighlighted = false;
    bool FTabShowing = false;
    int FImageIndex = -1;
    // The image index the tab control is given: 0 without an image of the
    // sheet's own, so the margin room is kept in every tab.
    int FImageIndexDummy = 0;
    QString FTabCaption;
    TColor FTextColor = clBlack, FTabColor = clNone, FTabColorTo = clNone, FColorTo = clNone;
    TGradientDirection FTabGradientDirection = gdVertical, FHoverGradientDirection = gdVertical;
    // A control docked into this sheet, and its own window procedure.
    TControl* FDockedClient = nullptr;
    TWndMethod FDockedClientProc;
};

class TExPageControl : public TCustomTabControl {
    KAL_CLASS(TExPageControl, TCustomTabControl)
public:
    static constexpr uint32_t VersionNr = 0x01040000;

    explicit TExPageControl(TComponent* AOwner);
    ~TExPageControl() override;
    void AfterConstruction() override;

    // -- pages
    int PageCount() const { return int(FPages.size()); }
    // Raises EListError outside the pages.
    TExTabSheet* GetPage(int Index) const;
    TExTabSheet* Pages(int Index) const { return GetPage(Index); }
    TExTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TExTabSheet* Page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int v);
    TExTabSheet* FindNextPage(TExTabSheet* CurPage, bool GoForward, bool CheckTabVisible);
    void SelectNextPage(bool GoForward);
    // Showing one of the control's sheets makes it the active page.
    void ShowControl(TControl* AControl);
    // Puts the closed sheet of that component name back as the last page.
    bool OpenClosedTab(const QString& TabName);
    void OpenAllClosedTabs();
    // The closed-tab list: sheet names with the sheets attached.
    TStringList* ClosedTabList() const { return FClosedTabList.get(); }
    // The pages in page order, and a page moved to a position.
    QList<TExTabSheet*> GetChildren() const { return FPages; }
    void SetChildOrder(TExTabSheet* Child, int Order);
    // Page under a client point (-1 none), and the tab index of a page.
    int PageIndexAt(int X, int Y);
    int PageToTabIndex(int PageIndex) const;
    int TabToPageIndex(int TabIndex) const;

    // -- looks
    TTabStyle TabStyle() const { return FTabStyle; }
    void SetTabStyle(TTabStyle v);
    bool TabBorder3D() const { return FTabBorder3D; }
    void SetTabBorder3D(bool v);
    TColor DefaultTextColor() const { return FDefaultTextColor; }
    void SetDefaultTextColor(TColor v);
    TColor DefaultTabColor() const { return FDefaultTabColor; }
    void SetDefaultTabColor(TColor v);
    TColor DefaultTabColorTo() const { return FDefaultTabColorTo; }
    void SetDefaultTabColorTo(TColor v);
    TColor ActiveColor() const { return FActiveColor; }
    void SetActiveColor(TColor v) { SetColorProp(FActiveColor, v); }
    TColor ActiveColorTo() const { return FActiveColorTo; }
    void SetActiveColorTo(TColor v) { SetColorProp(FActiveColorTo, v); }
    TFont* ActiveFont() { return &FActiveFont; }
    void SetActiveFont(const TFont& f) { FActiveFont.Assign(f); }
    TColor TabBorderColor() const { return FTabBorderColor; }
    void SetTabBorderColor(TColor v) { SetColorProp(FTabBorderColor, v); }
    bool TabSheet3D() const { return FTabSheet3D; }
    void SetTabSheet3D(bool v);
    TColor TabSheetBorderColor() const { return FTabSheetBorderColor; }
    void SetTabSheetBorderColor(TColor v) { SetColorProp(FTabSheetBorderColor, v); }
    TColor TabHoverColor() const { return FTabHoverColor; }
    void SetTabHoverColor(TColor v) { SetColorProp(FTabHoverColor, v); }
    TColor TabHoverColorTo() const { return FTabHoverColorTo; }
    void SetTabHoverColorTo(TColor v) { SetColorProp(FTabHoverColorTo, v); }
    TColor TabHoverBorder() const { return FTabHoverBorder; }
    void SetTabHoverBorder(TColor v) { SetColorProp(FTabHoverBorder, v); }
    TColor TabBackGroundColor() const { return FTabBackGroundColor; }
    void SetTabBackGroundColor(TColor v) { SetColorProp(FTabBackGroundColor, v); }
    TBitmap* TabBackGround() const { return FTabBackGround.get(); }
    void SetTabBackGround(const TBitmap* v);
    TBitmap* TabBackGroundActive() const { return FTabBackGroundActive.get(); }
    void SetTabBackGroundActive(const TBitmap* v);
    TTabMargin* TabMargin() { return &FTabMargin; }
    TTabOverlapSize TabOverlap() const { return FTabOverlap; }
    void SetTabOverlap(TTabOverlapSize v);
    // Raises "TabSplitLine must be false when TabStyle is tsDotNet".
    bool TabSplitLine() const { return FTabSplitLine; }
    void SetTabSplitLine(bool v);
    bool RoundEdges() const { return FRoundEdges; }
    void SetRoundEdges(bool v);
    int LowerActive() const { return FLowerActive; }
    void SetLowerActive(int v);
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool v);
    bool FreeOnClose() const { return FFreeOnClose; }
    void SetFreeOnClose(bool v) { FFreeOnClose = v; }
    TBitmap* CloseGlyph() const { return FCloseGlyph.get(); }
    void SetCloseGlyph(const TBitmap* v);
    // The tab images (the tab control itself is given the room list).
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* v);
    void SetTabPosition(TTabPosition v);
    QString Version() const;
    void SetVersion(const QString&) {}

    // OnChange (of the base) is told after the user changed the page.
    TCanChangeEvent OnCanChange;

    // -- state for painting and tests
    int HoverTab() const { return FHoverTab; }
    bool HoverClosedButton() const { return FHoverClosedButton; }
    enum TCloseButtonState { cbsNormal, cbsHot, cbsPressed };
    TCloseButtonState CloseButtonState() const { return FCloseButtonState; }
    // The close button of a page's tab (empty when the tab is not shown).
    TRect CloseButtonRect(int PageIndex);
    // The room the tab control keeps in every tab.
    TImageList* DummyImages() const { return FDummyImages.get(); }
    bool PropertiesLoaded() const { return FPropertiesLoaded; }

    // The gradient of tabs and pages: band n of N has, per channel,
    // A + round(n * (B - A) / N) and starts round(n * length / N) in,
    // round(length / N) + 1 long. N = 1 when 0 is asked.
    static void DrawGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, int Steps, const TRect& R,
                             bool Horizontal);

protected:
    friend class TExTabSheet;
    virtual void SyncActivePage();
    void Loaded() override;
    bool CanChange() override;
    void Change() override;
    bool CanShowTab(int TabIndex) override;
    int GetImageIndex(int TabIndex) override;
    void DrawTab(int TabIndex, const TRect& Rect, bool Active) override;
    void DoAddDockClient(TControl* Client, const TRect& ARect) override;
    void DoRemoveDockClient(TControl* Client) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMDialogKey(TMessage& M) override;
    void CMMouseLeave(TMessage& M) override;
    void CMFontChanged(TMessage& M) override;
    void CMColorChanged(TMessage& M) override;
    void WMLButtonDblClk(TMessage& M) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Paint() override;
    void TabsChanged() override;

private:
    // -- pages and tabs
    void InsertPage(TExTabSheet* Page);
    void RemovePage(TExTabSheet* Page);
    void ChangeActivePage(TExTabSheet* Page);
    void ShowSheetTab(TExTabSheet* Page);
    void HideSheetTab(TExTabSheet* Page);
    void MoveTab(int CurIndex, int NewIndex);
    void UpdateTabText(TExTabSheet* Page);
    void UpdateAllTabTexts();
    QString TabTextOf(TExTabSheet* Page);
    bool CanChangeTo(int ToPage);
    void PlaceSheets();
    void CloseActivePage();
    void ForgetClosedSheet(TExTabSheet* Sheet);
    void SetColorProp(TColor& field, TColor v);
    void DefaultChanged(TColor TExTabSheet::*field, TColor& own, TColor v);
    void MarginChanged(TMarginSize NewValue, TMarginSize OldValue, int Index);
    void UpdateMarginRoom();
    void SetMarginRoom(TMarginSize Left, TMarginSize Top, TMarginSize Right);
    void InvalidatePageTab(int PageIndex);
    bool HoverActive() const;

    // -- painting (ExPageControlPaint.cpp)
    struct TPaintPass;
    void PaintTabs();
    void DrawOneTab(TPaintPass& P, int PageIndex, bool Last);
    void DrawCloseButton(TCanvas* C, int X, int Y, TCloseButtonState State);
    void DrawTabFocus(TCanvas* C, const TRect& R, bool Last);
    void DrawThreeSliced(TCanvas* C, TBitmap* Bmp, int X, int Y, int Length);

    QList<TExTabSheet*> FPages;
    TExTabSheet* FActivePage = nullptr;
    std::unique_ptr<TStringList> FClosedTabList;
    int FHoverTab = -1;
    bool FHoverClosedButton = false;
    TCloseButtonState FCloseButtonState = cbsNormal;
    bool FPropertiesLoaded = false;
    std::unique_ptr<TImageList> FDummyImages;
    TExTabSheet* FNewDockSheet = nullptr;
    // Where the mouse last was: the page a change of tab goes to.
    TPoint FMousePoint{-1, -1};
    TExTabSheet* FUndockingPage = nullptr;

    TTabStyle FTabStyle = tsClassic;
    bool FTabBorder3D = false, FTabSheet3D = false, FTabSplitLine = false, FRoundEdges = false;
    bool FShowFocus = false, FFreeOnClose = false;
    TColor FDefaultTextColor = clBlack, FDefaultTabColor = clBtnFace, FDefaultTabColorTo = clNone;
    TColor FActiveColor = clBtnFace, FActiveColorTo = clNone;
    TColor FTabBorderColor = clGray, FTabSheetBorderColor = clGray;
    TColor FTabHoverColor = clNone, FTabHoverColorTo = clNone, FTabHoverBorder = clNone;
    TColor FTabBackGroundColor = clBtnFace;
    TFont FActiveFont;
    std::unique_ptr<TBitmap> FTabBackGround, FTabBackGroundActive, FCloseGlyph;
    TTabMargin FTabMargin;
    TTabOverlapSize FTabOverlap = 0;
    int FLowerActive = 2;
    TImageList* FImages = nullptr;
};
