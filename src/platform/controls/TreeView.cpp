#include "platform/controls/TreeView.h"
#include "platform/controls/ScrollBars.h"

#include "platform/core/Exceptions.h"

#include <algorithm>

namespace {
// The sunken frame round the rows, the room before a text and the expand
// button's box.
constexpr int kBorder = 2;
constexpr int kTextPad = 2;
constexpr int kButtonSize = 9;

[[noreturn]] void ListIndexError(int i) {
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(i));
}
}  // namespace

// ---------------------------------------------------------------------------
// TTreeNode
// ---------------------------------------------------------------------------

TTreeNode::~TTreeNode() {
    for (TTreeNode* c : FChildren) delete c;
}

TCustomTreeView* TTreeNode::TreeView() const { return FOwner->Owner(); }

void TTreeNode::SetText(const QString& v) {
    FText = v;
    FOwner->Changed();
}

void TTreeNode::SetImageIndex(int v) {
    FImageIndex = v;
    FOwner->Changed();
}

void TTreeNode::SetSelectedIndex(int v) {
    FSelectedIndex = v;
    FOwner->Changed();
}

TTreeNode* TTreeNode::Item(int i) const {
    if (i < 0 || i >= FChildren.size()) ListIndexError(i);
    return FChildren[i];
}

int TTreeNode::Index() const { return int(FOwner->Siblings(FParent).indexOf(const_cast<TTreeNode*>(this))); }

int TTreeNode::Level() const {
    int n = 0;
    for (TTreeNode* p = FParent; p; p = p->FParent) ++n;
    return n;
}

int TTreeNode::AbsoluteIndex() const {
    int n = 0;
    for (TTreeNode* p = FOwner->GetFirstNode(); p; p = p->GetNext(), ++n)
        if (p == this) return n;
    return -1;
}

TTreeNode* TTreeNode::getNextSibling() const {
    const QList<TTreeNode*>& s = FOwner->Siblings(FParent);
    const int i = int(s.indexOf(const_cast<TTreeNode*>(this)));
    return i + 1 < s.size() ? s[i + 1] : nullptr;
}

TTreeNode* TTreeNode::getPrevSibling() const {
    const QList<TTreeNode*>& s = FOwner->Siblings(FParent);
    const int i = int(s.indexOf(const_cast<TTreeNode*>(this)));
    return i > 0 ? s[i - 1] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
    if (!FChildren.isEmpty()) return FChildren.first();
    for (const TTreeNode* n = this; n; n = n->FParent)
        if (TTreeNode* s = n->getNextSibling()) return s;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
    TTreeNode* s = getPrevSibling();
    if (!s) return FParent;
    while (!s->FChildren.isEmpty()) s = s->FChildren.last();
    return s;
}

TTreeNode* TTreeNode::GetNextVisible() const {
    if (FExpanded && !FChildren.isEmpty()) return FChildren.first();
    for (const TTreeNode* n = this; n; n = n->FParent)
        if (TTreeNode* s = n->getNextSibling()) return s;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrevVisible() const {
    TTreeNode* s = getPrevSibling();
    if (!s) return FParent;
    while (s->FExpanded && !s->FChildren.isEmpty()) s = s->FChildren.last();
    return s;
}

bool TTreeNode::HasAsParent(const TTreeNode* p) const {
    for (TTreeNode* n = FParent; n; n = n->FParent)
        if (n == p) return true;
    return false;
}

bool TTreeNode::IsVisible() const {
    for (TTreeNode* n = FParent; n; n = n->FParent)
        if (!n->FExpanded) return false;
    return true;
}

void TTreeNode::SetExpanded(bool v) {
    if (v) Expand(false);
    else Collapse(false);
}

void TTreeNode::Expand(bool Recurse) { TreeView()->NodeExpandedChange(this, true, Recurse); }
void TTreeNode::Collapse(bool Recurse) { TreeView()->NodeExpandedChange(this, false, Recurse); }

void TTreeNode::MakeVisible() {
    for (TTreeNode* p = FParent; p; p = p->FParent)
        if (!p->FExpanded) p->Expand(false);
    TreeView()->EnsureVisible(this);
}

bool TTreeNode::Selected() const { return TreeView()->Selected() == this; }

void TTreeNode::SetSelected(bool v) {
    if (v) TreeView()->SetSelected(this);
    else if (Selected()) TreeView()->SetSelected(nullptr);
}

TRect TTreeNode::DisplayRect(bool TextOnly) const {
    TCustomTreeView* tv = TreeView();
    const QList<TTreeNode*> rows = tv->VisibleNodes();
    const int at = int(rows.indexOf(const_cast<TTreeNode*>(this)));
    if (at < 0) return TRect();
    const int row = at - std::max(0, int(rows.indexOf(tv->TopItem())));
    const int h = tv->ItemHeight();
    const TRect r = Rect(kBorder, kBorder + row * h, tv->Width() - kBorder, kBorder + (row + 1) * h);
    return TextOnly ? tv->TextRect(const_cast<TTreeNode*>(this)) : r;
}

void TTreeNode::Delete() { FOwner->Delete(this); }

void TTreeNode::DeleteChildren() {
    while (!FChildren.isEmpty()) FOwner->Delete(FChildren.last());
}

// ---------------------------------------------------------------------------
// TTreeNodes
// ---------------------------------------------------------------------------

TTreeNodes::~TTreeNodes() {
    for (TTreeNode* n : FRoots) delete n;
}

int TTreeNodes::Count() const {
    int n = 0;
    for (TTreeNode* p = GetFirstNode(); p; p = p->GetNext()) ++n;
    return n;
}

TTreeNode* TTreeNodes::Item(int i) const {
    int k = 0;
    for (TTreeNode* p = GetFirstNode(); p; p = p->GetNext(), ++k)
        if (k == i) return p;
    ListIndexError(i);
}

TTreeNode* TTreeNodes::InsertAt(TTreeNode* Parent, int index, const QString& S, void* Ptr) {
    auto* n = new TTreeNode(this);
    n->FParent = Parent;
    n->FText = S;
    n->FData = Ptr;
    QList<TTreeNode*>& s = Siblings(Parent);
    s.insert(std::clamp(index, 0, int(s.size())), n);
    Changed();
    return n;
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const QString& S, void* Ptr) {
    TTreeNode* parent = Sibling ? Sibling->FParent : nullptr;
    return InsertAt(parent, int(Siblings(parent).size()), S, Ptr);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* Sibling, const QString& S) {
    return InsertAt(Sibling ? Sibling->FParent : nullptr, 0, S, nullptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const QString& S, void* Ptr) {
    return InsertAt(Parent, int(Siblings(Parent).size()), S, Ptr);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* Parent, const QString& S) { return InsertAt(Parent, 0, S, nullptr); }

TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const QString& S, void* Ptr) {
    if (!Sibling) return InsertAt(nullptr, int(FRoots.size()), S, Ptr);
    return InsertAt(Sibling->FParent, Sibling->Index(), S, Ptr);
}

void TTreeNodes::Delete(TTreeNode* Node) {
    if (!Node || Node->FOwner != this) return;
    FOwner->Delete(Node);
}

void TTreeNodes::Clear() {
    FOwner->FClearing = true;
    struct Done {
        TCustomTreeView* tv;
        ~Done() { tv->FClearing = false; }
    } done{FOwner};
    while (!FRoots.isEmpty()) FOwner->Delete(FRoots.last());
}

void TTreeNodes::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

void TTreeNodes::Changed() {
    if (FUpdateCount == 0) FOwner->NodesChanged();
}

// ---------------------------------------------------------------------------
// TCustomTreeView
// ---------------------------------------------------------------------------

TCustomTreeView::TCustomTreeView(TComponent* AOwner) : TCustomControl(AOwner), FItems(this) {
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetColor(clWindow);
    SetParentColor(false);
    ControlStyle |= csDoubleClicks;
}

TCustomTreeView::~TCustomTreeView() {
    // The items go without telling anyone: the tree is going too.
    FSelected = nullptr;
    FTopItem = nullptr;
}

void TCustomTreeView::NodesChanged() { Invalidate(); }

void TCustomTreeView::SetRowSelect(bool v) { FRowSelect = v; Invalidate(); }
void TCustomTreeView::SetShowRoot(bool v) { FShowRoot = v; Invalidate(); }
void TCustomTreeView::SetShowLines(bool v) { FShowLines = v; Invalidate(); }
void TCustomTreeView::SetShowButtons(bool v) { FShowButtons = v; Invalidate(); }
void TCustomTreeView::SetHideSelection(bool v) { FHideSelection = v; Invalidate(); }
void TCustomTreeView::SetIndent(int v) { FIndent = std::max(v, 1); Invalidate(); }
void TCustomTreeView::SetImages(TImageList* v) { FImages = v; Invalidate(); }

// -- selection ---------------------------------------------------------------

bool TCustomTreeView::CanChange(TTreeNode* Node) {
    bool allow = true;
    if (OnChanging) OnChanging(this, Node, allow);
    return allow;
}

void TCustomTreeView::Change(TTreeNode* Node) {
    if (OnChange) OnChange(this, Node);
}

void TCustomTreeView::SetSelected(TTreeNode* Node) {
    if (Node == FSelected) return;
    if (Node && Node->FOwner != &FItems) return;
    if (!CanChange(Node)) return;
    MoveSelectionTo(Node);
}

void TCustomTreeView::MoveSelectionTo(TTreeNode* n) {
    FSelected = n;
    if (n) {
        for (TTreeNode* p = n->FParent; p; p = p->FParent)
            if (!p->FExpanded) NodeExpandedChange(p, true, false);
        EnsureVisible(n);
        if (FAutoExpand && n->HasChildren() && !n->FExpanded) NodeExpandedChange(n, true, false);
    }
    Invalidate();
    Change(n);
}

// -- deletion ----------------------------------------------------------------

void TCustomTreeView::Delete(TTreeNode* Node) {
    // Where the selection goes when it is inside what leaves: the next
    // sibling, else the previous one, else the parent.
    const bool selectionGoes = FSelected && (FSelected == Node || FSelected->HasAsParent(Node));
    TTreeNode* next = nullptr;
    if (selectionGoes && !FClearing) {
        next = Node->getNextSibling();
        if (!next) next = Node->getPrevSibling();
        if (!next) next = Node->FParent;
    }
    NodeRemoving(Node);
    // Each item is told about, children before their parent.
    std::function<void(TTreeNode*)> tell = [&](TTreeNode* n) {
        for (TTreeNode* c : QList<TTreeNode*>(n->FChildren)) tell(c);
        if (OnDeletion) OnDeletion(this, n);
    };
    if (!InState(csDestroying)) tell(Node);
    FItems.Siblings(Node->FParent).removeAll(Node);
    if (selectionGoes) FSelected = nullptr;
    delete Node;
    // The new selection is announced once the item has left, so a handler
    // sees the tree as it now is.
    if (selectionGoes && !InState(csDestroying)) MoveSelectionTo(next);
    FItems.Changed();
}

void TCustomTreeView::NodeRemoving(TTreeNode* Node) {
    if (FTopItem && (FTopItem == Node || FTopItem->HasAsParent(Node))) {
        TTreeNode* above = Node->GetPrevVisible();
        FTopItem = above;
    }
}

// -- expansion ---------------------------------------------------------------

bool TCustomTreeView::CanExpand(TTreeNode* Node) {
    bool allow = true;
    if (OnExpanding) OnExpanding(this, Node, allow);
    return allow;
}

void TCustomTreeView::Expand(TTreeNode* Node) {
    if (OnExpanded) OnExpanded(this, Node);
}

bool TCustomTreeView::CanCollapse(TTreeNode* Node) {
    bool allow = true;
    if (OnCollapsing) OnCollapsing(this, Node, allow);
    return allow;
}

void TCustomTreeView::Collapse(TTreeNode* Node) {
    if (OnCollapsed) OnCollapsed(this, Node);
}

void TCustomTreeView::NodeExpandedChange(TTreeNode* Node, bool expand, bool recurse) {
    // An item without children has nothing to open or close.
    if (Node->HasChildren() && Node->FExpanded != expand) {
        if (expand) {
            if (CanExpand(Node)) {
                Node->FExpanded = true;
                Expand(Node);
            }
        } else if (CanCollapse(Node)) {
            Node->FExpanded = false;
            // A selection that disappears moves up to the closed item.
            if (FSelected && FSelected->HasAsParent(Node)) MoveSelectionTo(Node);
            if (FTopItem && FTopItem->HasAsParent(Node)) FTopItem = Node;
            Collapse(Node);
        }
    }
    if (recurse)
        for (TTreeNode* c : QList<TTreeNode*>(Node->FChildren)) NodeExpandedChange(c, expand, true);
    Invalidate();
}

void TCustomTreeView::FullExpand() {
    for (TTreeNode* n : QList<TTreeNode*>(FItems.FRoots)) NodeExpandedChange(n, true, true);
}

void TCustomTreeView::FullCollapse() {
    for (TTreeNode* n : QList<TTreeNode*>(FItems.FRoots)) NodeExpandedChange(n, false, true);
}

// -- rows --------------------------------------------------------------------

int TCustomTreeView::ItemHeight() {
    Canvas()->Font().Assign(*Font());
    int h = Canvas()->TextHeight(QStringLiteral("Wg")) + 3;
    if (FImages) h = std::max(h, FImages->Height() + 1);
    return h;
}

QList<TTreeNode*> TCustomTreeView::VisibleNodes() const {
    QList<TTreeNode*> rows;
    for (TTreeNode* n = FItems.GetFirstNode(); n; n = n->GetNextVisible()) rows << n;
    return rows;
}

int TCustomTreeView::VisibleRowCount() { return std::max(1, ClientHeight() / ItemHeight()); }

void TCustomTreeView::SetTopItem(TTreeNode* Node) {
    if (Node && !Node->IsVisible()) return;
    FTopItem = Node;
    SyncScrollBar(true);
    Invalidate();
}

void TCustomTreeView::WMNCCalcSize(TMessage& M) {
    if (M.LParam) InflateRect(*reinterpret_cast<TRect*>(M.LParam), -kBorder, -kBorder);
    TCustomControl::WMNCCalcSize(M);
}

void TCustomTreeView::WMNCPaint(TMessage& M) {
    // The bar shows the rows as they are now.
    SyncScrollBar(false);
    if (M.WParam) {
        TCanvas c;
        reinterpret_cast<const TPaintTarget*>(M.WParam)->AttachCanvas(c);
        TRect frame = Rect(0, 0, Width(), Height());
        c.DrawEdge(frame, EDGE_SUNKEN, BF_RECT);
    }
    TCustomControl::WMNCPaint(M);
}

void TCustomTreeView::SyncScrollBar(bool redraw) {
    const QList<TTreeNode*> rows = VisibleNodes();
    // The bar's room changes the rows shown: settle once more when it came
    // or went.
    for (int pass = 0; pass < 2; ++pass) {
        TScrollInfo si;
        si.fMask = SIF_ALL;
        si.nMin = 0;
        si.nMax = std::max(0, int(rows.size()) - 1);
        si.nPage = unsigned(VisibleRowCount());
        si.nPos = std::max(0, int(rows.indexOf(FTopItem)));
        const bool wasShown = ScrollBarsState()->Bar(SB_VERT).Shown;
        SetScrollInfo(this, SB_VERT, si, redraw);
        if (ScrollBarsState()->Bar(SB_VERT).Shown == wasShown) break;
    }
}

void TCustomTreeView::WMVScroll(TMessage& M) {
    const QList<TTreeNode*> rows = VisibleNodes();
    const int shown = VisibleRowCount();
    const int last = std::max(0, int(rows.size()) - shown);
    int top = std::max(0, int(rows.indexOf(FTopItem)));
    switch (M.WParam & 0xFFFF) {
    case SB_LINEUP: --top; break;
    case SB_LINEDOWN: ++top; break;
    case SB_PAGEUP: top -= shown; break;
    case SB_PAGEDOWN: top += shown; break;
    case SB_THUMBTRACK: case SB_THUMBPOSITION: top = int((M.WParam >> 16) & 0xFFFF); break;
    case SB_TOP: top = 0; break;
    case SB_BOTTOM: top = last; break;
    default: return;
    }
    SetTopItem(rows.value(std::clamp(top, 0, last)));
}

void TCustomTreeView::EnsureVisible(TTreeNode* Node) {
    const QList<TTreeNode*> rows = VisibleNodes();
    const int row = int(rows.indexOf(Node));
    if (row < 0) return;
    int top = FTopItem ? int(rows.indexOf(FTopItem)) : 0;
    if (top < 0) top = 0;
    const int shown = VisibleRowCount();
    if (row < top) top = row;
    else if (row >= top + shown) top = row - shown + 1;
    FTopItem = rows.value(top);
}

int TCustomTreeView::ItemLeft(const TTreeNode* Node) const {
    const int columns = Node->Level() + (FShowRoot ? 1 : 0);
    return columns * FIndent;
}

TRect TCustomTreeView::TextRect(TTreeNode* Node) {
    const QList<TTreeNode*> rows = VisibleNodes();
    const int top = std::max(0, int(rows.indexOf(FTopItem)));
    const int at = int(rows.indexOf(Node));
    if (at < 0) return TRect();
    const int row = at - top;
    const int h = ItemHeight();
    int x = ItemLeft(Node);
    if (FImages && FImages->Width() > 0) x += FImages->Width() + kTextPad;
    Canvas()->Font().Assign(*Font());
    const int w = Canvas()->TextWidth(Node->FText) + 2 * kTextPad;
    const int y = row * h;
    return Rect(x, y, x + w, y + h);
}

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y) {
    const unsigned hit = GetHitTestInfoAt(X, Y);
    if (!(hit & (htOnItem | htOnButton | htOnIndent | htOnRight))) return nullptr;
    const QList<TTreeNode*> rows = VisibleNodes();
    const int top = std::max(0, int(rows.indexOf(FTopItem)));
    return rows.value(top + Y / ItemHeight());
}

THitTests TCustomTreeView::GetHitTestInfoAt(int X, int Y) {
    // Client coordinates: the border is the tree's non-client area.
    if (Y < 0) return htAbove;
    if (Y >= ClientHeight()) return htBelow;
    if (X < 0) return htToLeft;
    if (X >= ClientWidth()) return htToRight;
    const QList<TTreeNode*> rows = VisibleNodes();
    const int top = std::max(0, int(rows.indexOf(FTopItem)));
    TTreeNode* n = rows.value(top + Y / ItemHeight());
    if (!n) return htNowhere;
    const int left = ItemLeft(n);
    const TRect text = TextRect(n);
    if (X < left) {
        // The button stands in the column just before the item.
        const bool hasButton = FShowButtons && n->HasChildren() && (n->FParent || FShowRoot);
        if (hasButton && X >= left - FIndent) return htOnButton;
        return htOnIndent;
    }
    if (X < text.Left) return htOnIcon | htOnItem;
    if (X < text.Right) return htOnLabel | htOnItem;
    return htOnRight;
}

// -- input -------------------------------------------------------------------

void TCustomTreeView::WMLButtonDown(TMessage& M) {
    const int x = GetXLParam(M.LParam), y = GetYLParam(M.LParam);
    if (CanFocus() && !Focused()) SetFocus();
    const THitTests hit = GetHitTestInfoAt(x, y);
    TTreeNode* n = GetNodeAt(x, y);
    if (n && (hit & htOnButton)) NodeExpandedChange(n, !n->FExpanded, false);
    else if (n && ((hit & htOnItem) || FRowSelect)) SetSelected(n);
    TCustomControl::WMLButtonDown(M);
}

void TCustomTreeView::WMLButtonDblClk(TMessage& M) {
    const int x = GetXLParam(M.LParam), y = GetYLParam(M.LParam);
    TTreeNode* n = GetNodeAt(x, y);
    if (n && (GetHitTestInfoAt(x, y) & htOnItem)) NodeExpandedChange(n, !n->FExpanded, false);
    TCustomControl::WMLButtonDblClk(M);
}

void TCustomTreeView::WMRButtonDown(TMessage& M) {
    if (FRightClickSelect)
        if (TTreeNode* n = GetNodeAt(GetXLParam(M.LParam), GetYLParam(M.LParam))) SetSelected(n);
    TCustomControl::WMRButtonDown(M);
}

void TCustomTreeView::WMGetDlgCode(TMessage& M) { M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

void TCustomTreeView::WMSetFocus(TMessage& M) {
    TCustomControl::WMSetFocus(M);
    Invalidate();
}

void TCustomTreeView::WMKillFocus(TMessage& M) {
    TCustomControl::WMKillFocus(M);
    Invalidate();
}

void TCustomTreeView::KeyDown(unsigned& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0) return;
    const QList<TTreeNode*> rows = VisibleNodes();
    if (rows.isEmpty()) return;
    TTreeNode* cur = FSelected;
    TTreeNode* to = nullptr;
    const int page = std::max(1, VisibleRowCount() - 1);
    const int at = cur ? int(rows.indexOf(cur)) : -1;
    switch (Key) {
    case VK_UP: to = cur ? cur->GetPrevVisible() : rows.first(); break;
    case VK_DOWN: to = cur ? cur->GetNextVisible() : rows.first(); break;
    case VK_HOME: to = rows.first(); break;
    case VK_END: to = rows.last(); break;
    case VK_PRIOR: to = rows.value(std::max(0, at - page)); break;
    case VK_NEXT: to = rows.value(std::min(int(rows.size()) - 1, std::max(0, at + page))); break;
    case VK_LEFT:
        if (cur && cur->FExpanded && cur->HasChildren()) NodeExpandedChange(cur, false, false);
        else if (cur) to = cur->FParent;
        break;
    case VK_RIGHT:
        if (cur && cur->HasChildren()) {
            if (!cur->FExpanded) NodeExpandedChange(cur, true, false);
            else to = cur->getFirstChild();
        }
        break;
    case VK_ADD:
        if (cur) NodeExpandedChange(cur, true, false);
        break;
    case VK_SUBTRACT:
        if (cur) NodeExpandedChange(cur, false, false);
        break;
    case VK_MULTIPLY:
        if (cur) NodeExpandedChange(cur, true, true);
        break;
    default: return;
    }
    if (to) SetSelected(to);
    Key = 0;
}

void TCustomTreeView::KeyPress(QChar& Key) {
    TCustomControl::KeyPress(Key);
    if (Key.isNull() || !Key.isLetterOrNumber()) return;
    // Typing a character selects the next item on a row that starts with it.
    const QList<TTreeNode*> rows = VisibleNodes();
    if (rows.isEmpty()) return;
    const int from = FSelected ? int(rows.indexOf(FSelected)) : -1;
    for (int k = 1; k <= rows.size(); ++k) {
        TTreeNode* n = rows[(from + k) % rows.size()];
        if (n->FText.startsWith(Key, Qt::CaseInsensitive)) {
            SetSelected(n);
            break;
        }
    }
    Key = QChar();
}

bool TCustomTreeView::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    const QList<TTreeNode*> rows = VisibleNodes();
    if (rows.isEmpty()) return false;
    const int top = std::max(0, int(rows.indexOf(FTopItem)));
    const int maxTop = std::max(0, int(rows.size()) - VisibleRowCount());
    const int lines = WheelScrollLines() * WheelDelta / WHEEL_DELTA;
    FTopItem = rows.value(std::clamp(top - lines, 0, maxTop));
    Invalidate();
    return true;
}

// -- painting ----------------------------------------------------------------

void TCustomTreeView::Paint() {
    TCanvas* c = Canvas();
    c->Brush().SetColor(Color());
    c->FillRect(ClientRect());
    c->Font().Assign(*Font());
    c->SetBkMode(TRANSPARENT);

    const QList<TTreeNode*> rows = VisibleNodes();
    const int top = std::max(0, int(rows.indexOf(FTopItem)));
    const int h = ItemHeight();
    const bool showSel = Focused() || !FHideSelection;
    for (int k = top; k < rows.size(); ++k) {
        TTreeNode* n = rows[k];
        const int y = (k - top) * h;
        if (y >= ClientHeight()) break;
        const int mid = y + h / 2;
        const int left = ItemLeft(n);
        const bool selected = n == FSelected && showSel;
        // A whole selected row is filled first: its lines and its expand
        // button stay visible on it.
        if (selected && FRowSelect) {
            c->Brush().SetColor(Focused() ? clHighlight : clBtnFace);
            c->FillRect(Rect(0, y, ClientWidth(), y + h));
        }
        // Lines: this item's own column, then every ancestor's column that
        // still has siblings below.
        if (FShowLines) {
            c->Pen().SetColor(clGrayText);
            c->Pen().SetStyle(psDot);
            const bool hasColumn = n->FParent || FShowRoot;
            if (hasColumn) {
                const int cx = left - FIndent / 2 - 1;
                c->MoveTo(cx, mid);
                c->LineTo(left - 1, mid);
                const bool first = !n->getPrevSibling() && !n->FParent;
                c->MoveTo(cx, first ? mid : y);
                c->LineTo(cx, n->getNextSibling() ? y + h : mid + 1);
            }
            for (TTreeNode* p = n->FParent; p; p = p->FParent) {
                if (!p->getNextSibling() || (!p->FParent && !FShowRoot)) continue;
                const int cx = ItemLeft(p) - FIndent / 2 - 1;
                c->MoveTo(cx, y);
                c->LineTo(cx, y + h);
            }
            c->Pen().SetStyle(psSolid);
        }
        if (FShowButtons && n->HasChildren() && (n->FParent || FShowRoot)) {
            const int cx = left - FIndent / 2 - 1;
            const TRect box = Bounds(cx - kButtonSize / 2, mid - kButtonSize / 2, kButtonSize, kButtonSize);
            c->Brush().SetColor(clWindow);
            c->Pen().SetColor(clGrayText);
            c->Rectangle(box);
            c->Pen().SetColor(clWindowText);
            c->MoveTo(box.Left + 2, mid);
            c->LineTo(box.Right - 2, mid);
            if (!n->FExpanded) {
                c->MoveTo(cx, box.Top + 2);
                c->LineTo(cx, box.Bottom - 2);
            }
        }
        int x = left;
        if (FImages && FImages->Width() > 0) {
            const int idx = n == FSelected && n->FSelectedIndex >= 0 ? n->FSelectedIndex : n->FImageIndex;
            if (idx >= 0 && idx < FImages->Count())
                FImages->Draw(c, x, y + (h - FImages->Height()) / 2, idx, Enabled());
            x += FImages->Width() + kTextPad;
        }
        TRect tr = TextRect(n);
        TColor textColor = Enabled() ? Font()->Color() : clGrayText;
        if (selected) {
            if (!FRowSelect) {
                c->Brush().SetColor(Focused() ? clHighlight : clBtnFace);
                c->FillRect(tr);
            }
            if (Focused()) textColor = clHighlightText;
        }
        c->Font().SetColor(textColor);
        TRect inner = tr;
        c->DrawText(n->FText, inner, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
        if (selected && Focused()) c->DrawFocusRect(FRowSelect ? Rect(0, y, ClientWidth(), y + h) : tr);
    }
}
