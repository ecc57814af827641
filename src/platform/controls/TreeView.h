#pragma once
// The class library's tree view: a tree of items (TTreeNode) kept by
// TTreeNodes, shown one item a row with indentation, lines, expand buttons,
// images and a selection. The keyboard and the mouse move the selection and
// expand and collapse items; every change of the selection, by the user or in
// code, asks OnChanging and tells OnChange.
#include "platform/controls/Controls.h"

#include <QList>
#include <QString>
#include <functional>

class TTreeNode;
class TTreeNodes;
class TCustomTreeView;

using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVChangingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVExpandingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;

// Where a point lies relative to an item.
enum THitTest : unsigned {
    htAbove = 0x1, htBelow = 0x2, htNowhere = 0x4, htOnItem = 0x8, htOnButton = 0x10, htOnIcon = 0x20,
    htOnIndent = 0x40, htOnLabel = 0x80, htOnRight = 0x100, htOnStateIcon = 0x200, htToLeft = 0x400,
    htToRight = 0x800,
};
using THitTests = unsigned;

class TTreeNode {
public:
    TTreeNodes* Owner() const { return FOwner; }
    TCustomTreeView* TreeView() const;
    TTreeNode* Parent() const { return FParent; }

    QString Text() const { return FText; }
    void SetText(const QString& v);
    void* Data() const { return FData; }
    void SetData(void* v) { FData = v; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    int SelectedIndex() const { return FSelectedIndex; }
    void SetSelectedIndex(int v);

    int Count() const { return int(FChildren.size()); }
    // Raises EListError outside the children.
    TTreeNode* Item(int i) const;
    bool HasChildren() const { return !FChildren.isEmpty(); }
    int Index() const;
    int Level() const;
    int AbsoluteIndex() const;
    TTreeNode* getFirstChild() const { return FChildren.isEmpty() ? nullptr : FChildren.first(); }
    TTreeNode* GetLastChild() const { return FChildren.isEmpty() ? nullptr : FChildren.last(); }
    TTreeNode* getNextSibling() const;
    TTreeNode* getPrevSibling() const;
    // The next item in depth-first order, nullptr after the last.
    TTreeNode* GetNext() const;
    TTreeNode* GetPrev() const;
    // The next and previous items on a row (through expanded parents only).
    TTreeNode* GetNextVisible() const;
    TTreeNode* GetPrevVisible() const;
    bool HasAsParent(const TTreeNode* p) const;
    // Every parent up to the root level is expanded.
    bool IsVisible() const;

    bool Expanded() const { return FExpanded; }
    void SetExpanded(bool v);
    void Expand(bool Recurse);
    void Collapse(bool Recurse);
    void MakeVisible();
    bool Selected() const;
    void SetSelected(bool v);
    bool Focused() const { return Selected(); }
    // The row of the item (or only its text) in client coordinates; empty
    // when the item is not on a shown row.
    TRect DisplayRect(bool TextOnly) const;

    void Delete();
    void DeleteChildren();

private:
    friend class TTreeNodes;
    friend class TCustomTreeView;
    explicit TTreeNode(TTreeNodes* owner) : FOwner(owner) {}
    ~TTreeNode();
    TTreeNodes* FOwner;
    TTreeNode* FParent = nullptr;
    QList<TTreeNode*> FChildren;
    QString FText;
    void* FData = nullptr;
    int FImageIndex = -1, FSelectedIndex = -1;
    bool FExpanded = false;
};

class TTreeNodes {
public:
    explicit TTreeNodes(TCustomTreeView* owner) : FOwner(owner) {}
    ~TTreeNodes();
    TTreeNodes(const TTreeNodes&) = delete;
    TTreeNodes& operator=(const TTreeNodes&) = delete;
    TCustomTreeView* Owner() const { return FOwner; }

    // Every item of the tree, counted depth first.
    int Count() const;
    // The item of a depth-first index; raises EListError outside.
    TTreeNode* Item(int i) const;
    TTreeNode* GetFirstNode() const { return FRoots.isEmpty() ? nullptr : FRoots.first(); }
    QList<TTreeNode*> RootNodes() const { return FRoots; }

    // After the last sibling of `Sibling` (at the root level without one).
    TTreeNode* Add(TTreeNode* Sibling, const QString& S) { return AddObject(Sibling, S, nullptr); }
    TTreeNode* AddObject(TTreeNode* Sibling, const QString& S, void* Ptr);
    TTreeNode* AddFirst(TTreeNode* Sibling, const QString& S);
    // After the last child of `Parent` (at the root level without one).
    TTreeNode* AddChild(TTreeNode* Parent, const QString& S) { return AddChildObject(Parent, S, nullptr); }
    TTreeNode* AddChildObject(TTreeNode* Parent, const QString& S, void* Ptr);
    TTreeNode* AddChildFirst(TTreeNode* Parent, const QString& S);
    // Before `Sibling` (at the end of the root level without one).
    TTreeNode* Insert(TTreeNode* Sibling, const QString& S) { return InsertObject(Sibling, S, nullptr); }
    TTreeNode* InsertObject(TTreeNode* Sibling, const QString& S, void* Ptr);
    void Delete(TTreeNode* Node);
    void Clear();
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();

private:
    friend class TTreeNode;
    friend class TCustomTreeView;
    TTreeNode* InsertAt(TTreeNode* Parent, int index, const QString& S, void* Ptr);
    QList<TTreeNode*>& Siblings(TTreeNode* parent) { return parent ? parent->FChildren : FRoots; }
    void Changed();
    TCustomTreeView* FOwner;
    QList<TTreeNode*> FRoots;
    int FUpdateCount = 0;
};

class TCustomTreeView : public TCustomControl {
    KAL_CLASS(TCustomTreeView, TCustomControl)
public:
    explicit TCustomTreeView(TComponent* AOwner);
    ~TCustomTreeView() override;

    TTreeNodes* Items() { return &FItems; }
    TTreeNode* Selected() const { return FSelected; }
    // Asks OnChanging, moves the selection, tells OnChange.
    void SetSelected(TTreeNode* Node);

    // -- looks and behaviour
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool v);
    bool ShowRoot() const { return FShowRoot; }
    void SetShowRoot(bool v);
    bool ShowLines() const { return FShowLines; }
    void SetShowLines(bool v);
    bool ShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool v);
    // When false the selection stays drawn while the tree has no focus.
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool v);
    bool RightClickSelect() const { return FRightClickSelect; }
    void SetRightClickSelect(bool v) { FRightClickSelect = v; }
    bool AutoExpand() const { return FAutoExpand; }
    void SetAutoExpand(bool v) { FAutoExpand = v; }
    int Indent() const { return FIndent; }
    void SetIndent(int v);
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* v);

    // -- rows
    int ItemHeight();
    // The first item on the top row.
    TTreeNode* TopItem() const { return FTopItem; }
    void SetTopItem(TTreeNode* Node);
    // How many whole rows the client area shows.
    int VisibleRowCount();
    TTreeNode* GetNodeAt(int X, int Y);
    THitTests GetHitTestInfoAt(int X, int Y);
    void FullExpand();
    void FullCollapse();

    TTVChangedEvent OnChange;
    TTVChangingEvent OnChanging;
    TTVExpandingEvent OnExpanding;
    TTVCollapsingEvent OnCollapsing;
    TTVExpandedEvent OnExpanded, OnCollapsed;
    TTVExpandedEvent OnDeletion;

protected:
    friend class TTreeNode;
    friend class TTreeNodes;
    virtual bool CanChange(TTreeNode* Node);
    virtual void Change(TTreeNode* Node);
    virtual bool CanExpand(TTreeNode* Node);
    virtual void Expand(TTreeNode* Node);
    virtual bool CanCollapse(TTreeNode* Node);
    virtual void Collapse(TTreeNode* Node);
    virtual void Delete(TTreeNode* Node);

    void Paint() override;
    // The border and the vertical scroll bar are the tree's non-client area.
    void WMNCCalcSize(TMessage& M) override;
    void WMNCPaint(TMessage& M) override;
    virtual void WMVScroll(TMessage& M);
    void WndProc(TMessage& M) override {
        if (M.Msg == WM_VSCROLL) WMVScroll(M);
        else TCustomControl::WndProc(M);
    }
    void SyncScrollBar(bool redraw);
    void WMLButtonDown(TMessage& M) override;
    void WMLButtonDblClk(TMessage& M) override;
    void WMRButtonDown(TMessage& M) override;
    void WMGetDlgCode(TMessage& M) override;
    void WMSetFocus(TMessage& M) override;
    void WMKillFocus(TMessage& M) override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;

    // The items on rows, from the first item at the top of the tree.
    QList<TTreeNode*> VisibleNodes() const;
    // The x where an item's own part (button column excluded) starts.
    int ItemLeft(const TTreeNode* Node) const;
    TRect TextRect(TTreeNode* Node);
    void NodeExpandedChange(TTreeNode* Node, bool expand, bool recurse);
    // A node is going: the selection and the top row leave it first.
    void NodeRemoving(TTreeNode* Node);
    void EnsureVisible(TTreeNode* Node);
    void NodesChanged();

private:
    void MoveSelectionTo(TTreeNode* n);
    TTreeNodes FItems;
    TTreeNode* FSelected = nullptr;
    TTreeNode* FTopItem = nullptr;
    TTreeNode* FPendingSelection = nullptr;
    bool FDeletingSelection = false;
    bool FReadOnly = false, FRowSelect = false, FShowRoot = true, FShowLines = true, FShowButtons = true;
    bool FHideSelection = true, FRightClickSelect = false, FAutoExpand = false;
    int FIndent = 19;
    TImageList* FImages = nullptr;
    bool FClearing = false;
};

class TTreeView : public TCustomTreeView {
    KAL_CLASS(TTreeView, TCustomTreeView)
public:
    explicit TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}
};
