// Where nodes are in the window: display rectangles, invalidation, node
// measuring; the scroll offsets, ranges and scroll bars, the wheel and the
// automatic scrolling; the timed animation with the expand/collapse step.
#include "treeview/LazyTrees.h"

#include "platform/controls/Forms.h"
#include "platform/controls/ScrollBars.h"
#include "platform/controls/Timers.h"
#include "platform/core/Threads.h"

#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------------------
// Display rectangles
// ---------------------------------------------------------------------------

TRect TBaseLazyTree::GetDisplayRect(PLazyNode Node, TColumnIndex Column, bool TextOnly, bool Unclipped,
                                    bool ApplyCellContentMargin) {
    LTAssert(Node != nullptr, QStringLiteral("Node must not be nil."));
    LTAssert(Node != FRoot, QStringLiteral("Node must not be the hidden root node."));
    const bool mainColumnHit = Column == NoColumn || Column == MainColumn();
    if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
    TRect result;
    if (!GetEffectivelyVisible(Node)) return result;

    // Indentation, and whether every ancestor is open.
    int indent = 0;
    if (!FOptions->PaintOptions().Contains(toFixedIndent)) {
        for (PLazyNode run = Node; run != FRoot; run = run->Parent) {
            if (!run->States.Contains(vsVisible) ||
                (run->Parent != FRoot && !run->Parent->States.Contains(vsExpanded)))
                return TRect();
            if (mainColumnHit && run->Parent != FRoot) indent += int(FIndent);
        }
    } else if (!GetFullyVisible(Node)) {
        return TRect();
    }

    // The node's top, from the cache entry before it or from the first node.
    int64_t top = 0;
    PLazyNode run = nullptr;
    uint32_t cacheTop = 0;
    if (FStates.Contains(tsUseCache)) run = FindCacheEntryByNode(Node, cacheTop);
    if (run) {
        // Keyboard and mouse ask for neighbouring nodes one after the other:
        // the last node found is a nearer start than the cache entry.
        bool found = false;
        const uint64_t generation = FCacheGeneration;
        if (FTopMemoNode && FTopMemoGeneration == generation) {
            constexpr int reach = 64;
            int64_t t = FTopMemoTop;
            PLazyNode m = FTopMemoNode;
            for (int i = 0; i <= reach && m; ++i) {
                if (m == Node) {
                    top = t;
                    found = true;
                    break;
                }
                t += GetNodeHeight(m);
                m = GetNextVisibleNoInit(m, true);
            }
            t = FTopMemoTop;
            m = FTopMemoNode;
            for (int i = 0; i < reach && m && !found; ++i) {
                m = GetPreviousVisibleNoInit(m, true);
                if (!m) break;
                t -= GetNodeHeight(m);
                if (m == Node) {
                    top = t;
                    found = true;
                }
            }
        }
        if (!found) {
            top = cacheTop;
            while (run && run != Node) {
                top += GetNodeHeight(run);
                run = GetNextVisibleNoInit(run, true);
            }
        }
        // A height measured on the way makes the walk's result stale.
        if (FCacheGeneration == generation) {
            FTopMemoNode = Node;
            FTopMemoTop = top;
            FTopMemoGeneration = generation;
        }
    } else {
        for (run = GetPreviousVisibleNoInit(Node, true); run; run = GetPreviousVisibleNoInit(run, true))
            top += GetNodeHeight(run);
    }

    const int height = int(GetNodeHeight(Node));
    result = Rect(0, int(top), std::max(ClientWidth(), int(FRangeX)), int(top) + height);
    if (Column <= NoColumn || !IsValidColumn(Column)) {
        OffsetRect(result, -FEffectiveOffsetX, 0);
    } else {
        int l = 0, r = 0;
        FHeader->Columns()->GetColumnBounds(Column, l, r);
        result.Left = l;
        result.Right = r - 1;
    }
    OffsetRect(result, 0, FOffsetY);
    if (!TextOnly) return result;

    // The text area.
    const int offset = FMargin + indent + TextAreaExtra(Node, mainColumnHit);
    const bool rtl = IsValidColumn(Column) ? FHeader->Columns()->Items(Column)->UseRightToLeftReading()
                                           : UseRightToLeftReading();
    TAlignment alignment = IsValidColumn(Column) ? FHeader->Columns()->Items(Column)->Alignment() : FAlignment;
    if (rtl) {
        result.Right -= offset;
        if (alignment == taLeftJustify) alignment = taRightJustify;
        else if (alignment == taRightJustify) alignment = taLeftJustify;
    } else {
        result.Left += offset;
    }
    const int textWidth = NodeWidth(Node, Column, nullptr);
    const int rowHeight = result.Height();
    if (ApplyCellContentMargin && OnBeforeCellPaint) {
        TRect content = result;
        OnBeforeCellPaint(this, Canvas(), Node, Column, cpmGetContentMargin, result, content);
        result = content;
    }
    if (Unclipped) {
        if (result.Width() < textWidth - 1) alignment = rtl ? taRightJustify : taLeftJustify;
        const int lineHeight = std::min(Canvas()->TextHeight(QStringLiteral("Tg")), rowHeight);
        if (result.Height() < lineHeight) {
            const int grow = (lineHeight - result.Height() + 1) / 2;
            result.Top -= grow;
            result.Bottom += grow;
        }
        switch (alignment) {
        case taRightJustify: result.Left = result.Right - textWidth; break;
        case taCenter:
            result.Left = (result.Left + result.Right - textWidth) / 2;
            result.Right = result.Left + textWidth;
            break;
        default: result.Right = result.Left + textWidth - 1; break;
        }
    } else if (textWidth < result.Width()) {
        switch (alignment) {
        case taRightJustify: result.Left = result.Right - textWidth; break;
        case taCenter:
            result.Left = (result.Left + result.Right - textWidth) / 2;
            result.Right = result.Left + textWidth;
            break;
        default: result.Right = result.Left + textWidth; break;
        }
    }
    return result;
}

int TBaseLazyTree::TextAreaExtra(PLazyNode Node, bool MainColumnHit) const {
    int offset = 0;
    if (MainColumnHit) {
        if (FOptions->PaintOptions().Contains(toShowRoot)) offset += int(FIndent);
        if (FOptions->MiscOptions().Contains(toCheckSupport) && CheckImages() && Node->CheckType != ctNone)
            offset += CheckImages()->Width() + 2;
    }
    // Images (state and normal) come with the painting steps' image
    // queries; a tree without image lists has none.
    if (FStateImages) offset += FStateImages->Width() + 2;
    if (FImages) offset += FImages->Width() + 2;
    return offset;
}

int TBaseLazyTree::TextAreaOffset(PLazyNode Node, TColumnIndex Column) const {
    const bool main = Column == NoColumn || Column == MainColumn();
    int indent = 0;
    if (main && !FOptions->PaintOptions().Contains(toFixedIndent))
        for (PLazyNode run = Node->Parent; run && run != FRoot; run = run->Parent) indent += int(FIndent);
    return FMargin + indent + TextAreaExtra(Node, main);
}

// ---------------------------------------------------------------------------
// Invalidation
// ---------------------------------------------------------------------------

TRect TBaseLazyTree::InvalidateNode(PLazyNode Node) {
    if (FUpdateCount > 0 || !HandleAllocated() || !Node || Node == FRoot) return Rect(-1, -1, -1, -1);
    const TRect r = GetDisplayRect(Node, NoColumn, false);
    InvalidateRect(this, &r, false);
    return r;
}

void TBaseLazyTree::InvalidateChildren(PLazyNode Node, bool Recursive) {
    if (!Node) Node = FRoot;
    if (Node != FRoot) {
        if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
        InvalidateNode(Node);
    }
    if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0) InitializeChildren(Node);
    for (PLazyNode run = Node->FirstChild; run; run = run->NextSibling) {
        if (!run->States.Contains(vsInitialized)) InitializeNode(run);
        InvalidateNode(run);
        if (Recursive && run->ChildCount > 0) InvalidateChildren(run, true);
    }
}

void TBaseLazyTree::InvalidateColumn(TColumnIndex Column) {
    if (FUpdateCount > 0 || !HandleAllocated() || !IsValidColumn(Column)) return;
    TRect r = ClientRect();
    FHeader->Columns()->GetColumnBounds(Column, r.Left, r.Right);
    InvalidateRect(this, &r, false);
}

void TBaseLazyTree::InvalidateToBottom(PLazyNode Node) {
    if (FUpdateCount > 0 || !HandleAllocated()) return;
    if (!Node || Node == FRoot) {
        InvalidateTree();
        return;
    }
    if (!Node->States.Contains(vsInitialized) || !GetEffectivelyVisible(Node)) return;
    TRect r = GetDisplayRect(Node, NoColumn, false);
    if (r.IsEmpty() && r.Top == 0 && r.Bottom == 0) return;
    if (r.Top >= ClientHeight()) return;
    if (FOptions->PaintOptions().Contains(toChildrenAbove) && Node->States.Contains(vsExpanded))
        r.Top -= int(Node->NodeHeight + Node->TotalHeight);
    r.Left = 0;
    r.Right = ClientWidth();
    r.Bottom = ClientHeight();
    InvalidateRect(this, &r, false);
}

void TBaseLazyTree::RepaintArea(const TRect& R) {
    if (!HandleAllocated()) return;
    InvalidateRect(this, &R, false);
    UpdateWindow(this);
}

void TBaseLazyTree::InvalidateHeaderArea(const TRect& ClientArea) {
    // The header lies in the non-client area: the frame is repainted.
    (void)ClientArea;
    RedrawWindow(this, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOERASE | RDW_NOCHILDREN);
}

// ---------------------------------------------------------------------------
// Measuring
// ---------------------------------------------------------------------------

void TBaseLazyTree::MeasureItemHeight(TCanvas* Canvas, PLazyNode Node) {
    if (!Node || Node == FRoot || Node->States.Contains(vsHeightMeasured)) return;
    auto measure = [this, Canvas, Node] {
        Node->States.Include(vsHeightMeasured);
        if (!FOptions->MiscOptions().Contains(toVariableNodeHeight)) return;
        int newHeight = Node->NodeHeight;
        FireMeasureItem(Canvas ? Canvas : this->Canvas(), Node, newHeight);
        FSettingMeasuredHeight = true;
        try {
            SetNodeHeight(Node, uint32_t(std::max(0, newHeight)));
        } catch (...) {
            FSettingMeasuredHeight = false;
            throw;
        }
        FSettingMeasuredHeight = false;
    };
    if (Application()->IsUIThread()) measure();
    else TThread::Synchronize(nullptr, measure);
}

void TBaseLazyTree::FireMeasureItem(TCanvas* Canvas, PLazyNode Node, int& NodeHeight) {
    if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
    if (OnMeasureItem) OnMeasureItem(this, Canvas, Node, NodeHeight);
}

TPoint TBaseLazyTree::CellContentMargin(PLazyNode Node, TColumnIndex Column, TLTCellContentMarginType Type,
                                        TCanvas* Canvas) {
    if (!OnBeforeCellPaint) return TPoint(0, 0);
    const TRect R = GetDisplayRect(Node, Column, true);
    TRect C = R;
    OnBeforeCellPaint(this, Canvas ? Canvas : this->Canvas(), Node, Column, cpmGetContentMargin, R, C);
    switch (Type) {
    case ccmtTopLeftOnly: return TPoint(C.Left - R.Left, C.Top - R.Top);
    case ccmtBottomRightOnly: return TPoint(R.Right - C.Right, R.Bottom - C.Bottom);
    default: return TPoint((C.Left - R.Left) + (R.Right - C.Right), (C.Top - R.Top) + (R.Bottom - C.Bottom));
    }
}

void TBaseLazyTree::SetBottomSpace(uint32_t Value) {
    if (Value == FBottomSpace) return;
    FBottomSpace = Value;
    UpdateVerticalScrollBar(true);
}

int TBaseLazyTree::LevelDifference(PLazyNode Node1, PLazyNode Node2) const {
    LTAssert(Node1 && Node2, QStringLiteral("Both nodes must be Assigned."));
    return int(GetNodeLevel(Node2)) - int(GetNodeLevel(Node1));
}

namespace {
void ExpandAncestors(TBaseLazyTree* tree, PLazyNode Node) {
    for (PLazyNode run = Node->Parent; run && run != tree->RootNode(); run = run->Parent)
        if (!run->States.Contains(vsExpanded)) tree->ToggleNode(run);
}
}  // namespace

void TBaseLazyTree::SetTopNode(PLazyNode Value) {
    if (!Value || Value == FRoot) return;
    ExpandAncestors(this, Value);
    SetOffsetY(FOffsetY - GetDisplayRect(Value, MainColumn(), true).Top);
}

void TBaseLazyTree::SetBottomNode(PLazyNode Value) {
    if (!Value || Value == FRoot) return;
    ExpandAncestors(this, Value);
    const TRect r = GetDisplayRect(Value, MainColumn(), true);
    SetOffsetY(ClientHeight() + FOffsetY - r.Top - int(GetNodeHeight(Value)));
}

// ---------------------------------------------------------------------------
// Offsets and ranges
// ---------------------------------------------------------------------------

void TBaseLazyTree::SetOffsetX(int Value) { ApplyScrollOffsets(Point(Value, FOffsetY), AllScrollUpdateOptions); }

void TBaseLazyTree::SetOffsetY(int Value) { ApplyScrollOffsets(Point(FOffsetX, Value), AllScrollUpdateOptions); }

void TBaseLazyTree::SetOffsetXY(TPoint Value) { ApplyScrollOffsets(Value, AllScrollUpdateOptions); }

bool TBaseLazyTree::ApplyScrollOffsets(TPoint Value, TScrollUpdateOptions Options, const TRect* ClipRect) {
    const int cw = ClientWidth(), ch = ClientHeight();
    int x = std::max(Value.X, cw - int(RangeX()));
    x = std::min(x, 0);
    int deltaX = x - FOffsetX;
    if (UseRightToLeftAlignment()) deltaX = -deltaX;
    int y = std::max(Value.Y, ch - int(RangeY()));
    y = std::min(y, 0);
    const int deltaY = y - FOffsetY;
    if (deltaX == 0 && deltaY == 0) return false;
    FOffsetX = x;
    FOffsetY = y;
    FEffectiveOffsetX = UseRightToLeftAlignment() ? std::max(0, int(FRangeX) + FOffsetX - cw) : -FOffsetX;
    if (FStates.Contains(tsHint)) CancelNodeHint();
    if (FUpdateCount == 0) {
        if (Options.Contains(suoScrollClientArea) && !FStates.Contains(tsToggling) && HandleAllocated())
            ScrollClientArea(deltaX, deltaY, ClipRect);
        if (Options.Contains(suoUpdateNCArea)) {
            if (deltaX != 0) {
                if (Options.Contains(suoRepaintHeader) && FHeader->Options().Contains(hoVisible))
                    FHeader->Invalidate(nullptr);
                if (!FStates.Contains(tsSizing) && (FScrollBarOptions->ScrollBars() == ssHorizontal ||
                                                    FScrollBarOptions->ScrollBars() == ssBoth))
                    UpdateHorizontalScrollBar(Options.Contains(suoRepaintScrollBars));
            }
            if (deltaY != 0 && !FStates.ContainsAny({tsSizing, tsThumbTracking})) {
                UpdateVerticalScrollBar(Options.Contains(suoRepaintScrollBars));
                if (!HeaderUsesColumns() && !IsMouseSelecting())
                    UpdateHorizontalScrollBar(Options.Contains(suoRepaintScrollBars));
            }
        }
    }
    FireScroll(deltaX, deltaY);
    Perform(0xB802);
    return true;
}

void TBaseLazyTree::ScrollClientArea(int DeltaX, int DeltaY, const TRect* ClipRect) {
    if (FOptions->PaintOptions().Contains(toShowBackground) && dynamic_cast<TBitmap*>(FBackground.Graphic())) {
        // A background picture stays where it is while the nodes move over
        // it: the children move by the deltas and everything is painted again.
        for (int i = 0; i < ControlCount(); ++i) {
            TControl* c = Controls(i);
            c->SetBounds(c->Left() + DeltaX, c->Top() + DeltaY, c->Width(), c->Height());
        }
        InvalidateRect(this, nullptr, false);
        return;
    }
    const int fixed = HeaderUsesColumns() ? FHeader->Columns()->GetVisibleFixedWidth() : 0;
    if (DeltaX != 0 && fixed > 0) {
        // The fixed columns never move sideways.
        TRect right = ClientRect();
        right.Left = std::min(right.Right, fixed);
        ScrollWindow(this, DeltaX, 0, &right, &right);
        if (DeltaY != 0) ScrollWindow(this, 0, DeltaY, ClipRect, ClipRect);
        return;
    }
    ScrollWindow(this, DeltaX, DeltaY, ClipRect, ClipRect);
}

void TBaseLazyTree::FireScroll(int DeltaX, int DeltaY) {
    if (OnScroll) OnScroll(this, DeltaX, DeltaY);
}

void TBaseLazyTree::SetScrollBarVisible(int Bar, bool Show) {
    ShowScrollBar(this, Bar, Show);
    if (OnShowScrollBar) OnShowScrollBar(this, Bar, Show);
}

void TBaseLazyTree::UpdateVerticalRange() {
    FRangeYDirty = false;
    const int64_t h = int64_t(FRoot->TotalHeight) - FRoot->NodeHeight + FBottomSpace;
    FRangeY = uint32_t(std::max<int64_t>(0, h));
}

void TBaseLazyTree::UpdateHorizontalRange() {
    FRangeXDirty = false;
    if (HeaderUsesColumns()) {
        FRangeX = uint32_t(std::max(0, FHeader->Columns()->TotalWidth()));
        return;
    }
    // Without columns the content is as wide as the widest row in view: the
    // text area's start (as GetDisplayRect finds it) plus the text.
    int64_t widest = 0;
    if (HandleAllocated() && FRoot->ChildCount > 0) {
        int top = 0;
        PLazyNode run = GetNodeAt(0, 0, true, top);
        const int ch = ClientHeight();
        while (run && top < ch) {
            if (!run->States.Contains(vsInitialized)) InitializeNode(run);
            const int right = TextAreaOffset(run, NoColumn) + NodeWidth(run, NoColumn, nullptr) + FTextMargin;
            widest = std::max<int64_t>(widest, right);
            top += int(GetNodeHeight(run));
            run = GetNextVisibleNoInit(run, true);
        }
    }
    FRangeX = uint32_t(std::max<int64_t>(0, widest));
}

void TBaseLazyTree::UpdateRanges() {
    if (FUpdateCount > 0) {
        // Measured once when the update ends (or when a range is read).
        FRangeXDirty = FRangeYDirty = true;
        return;
    }
    UpdateVerticalRange();
    UpdateHorizontalRange();
}

uint32_t TBaseLazyTree::RangeY() {
    if (FRangeYDirty) UpdateVerticalRange();
    return FRangeY;
}

uint32_t TBaseLazyTree::RangeX() {
    if (FRangeXDirty) UpdateHorizontalRange();
    return FRangeX;
}

void TBaseLazyTree::UpdateScrollBars(bool DoRepaint) {
    if (!HandleAllocated()) return;
    UpdateVerticalScrollBar(DoRepaint);
    UpdateHorizontalScrollBar(DoRepaint);
    Perform(0xB802);
}

void TBaseLazyTree::UpdateVerticalScrollBar(bool DoRepaint) {
    if (FStates.Contains(tsUpdating)) {
        FRangeYDirty = true;
        return;
    }
    UpdateVerticalRange();
    if (!HandleAllocated()) return;
    const TScrollStyle bars = FScrollBarOptions->ScrollBars();
    if (bars != ssVertical && bars != ssBoth) {
        SetScrollBarVisible(SB_VERT, false);
        SetOffsetY(FOffsetY);
        return;
    }
    TScrollInfo si;
    si.fMask = SIF_ALL;
    GetScrollInfo(this, SB_VERT, si);
    const bool always = FScrollBarOptions->AlwaysVisible();
    const int ch = ClientHeight();
    if (ch < int(FRangeY) || always) {
        SetScrollBarVisible(SB_VERT, true);
        si.nMin = 0;
        si.nMax = int(FRangeY);
        si.nPos = -FOffsetY;
        si.nPage = unsigned(std::max(ClientHeight() + 1, 0));
        si.fMask = SIF_ALL | (always ? SIF_DISABLENOSCROLL : 0u);
        SetScrollInfo(this, SB_VERT, si, DoRepaint);
    } else {
        si.nMin = si.nMax = si.nPos = 0;
        si.nPage = 0;
        si.fMask = SIF_ALL;
        SetScrollBarVisible(SB_VERT, false);
        SetScrollInfo(this, SB_VERT, si, false);
    }
    SetOffsetY(-GetScrollPos(this, SB_VERT));
}

void TBaseLazyTree::UpdateHorizontalScrollBar(bool DoRepaint) {
    // Inside an update the content width is measured once, at its end: a
    // bulk expand would otherwise measure the rows in view for every node.
    if (FStates.Contains(tsUpdating)) {
        FRangeXDirty = true;
        return;
    }
    UpdateHorizontalRange();
    if (!HandleAllocated()) return;
    const int cw = ClientWidth();
    FEffectiveOffsetX = UseRightToLeftAlignment() ? std::max(0, int(FRangeX) + FOffsetX - cw) : -FOffsetX;
    const TScrollStyle bars = FScrollBarOptions->ScrollBars();
    int newOffset = FOffsetX;
    if (bars == ssHorizontal || bars == ssBoth) {
        TScrollInfo si;
        si.fMask = SIF_ALL;
        GetScrollInfo(this, SB_HORZ, si);
        const bool always = FScrollBarOptions->AlwaysVisible();
        if (cw < int(FRangeX) || always) {
            SetScrollBarVisible(SB_HORZ, true);
            si.nMin = 0;
            si.nMax = int(FRangeX);
            si.nPos = FEffectiveOffsetX;
            si.nPage = unsigned(std::max(ClientWidth() + 1, 0));
            si.fMask = SIF_ALL | (always ? SIF_DISABLENOSCROLL : 0u);
            SetScrollInfo(this, SB_HORZ, si, DoRepaint);
        } else {
            si.nMin = si.nMax = si.nPos = 0;
            si.nPage = 0;
            si.fMask = SIF_ALL;
            SetScrollBarVisible(SB_HORZ, false);
            SetScrollInfo(this, SB_HORZ, si, false);
        }
        FEffectiveOffsetX = GetScrollPos(this, SB_HORZ);
        newOffset = UseRightToLeftAlignment() ? ClientWidth() + FEffectiveOffsetX - int(FRangeX) : -FEffectiveOffsetX;
    } else {
        SetScrollBarVisible(SB_HORZ, false);
    }
    SetOffsetX(newOffset);
}

int TBaseLazyTree::RightToLeftColumnShift(bool ExcludeVScroll) {
    const TScrollStyle bars = FScrollBarOptions->ScrollBars();
    const bool vbar = ClientHeight() < int(RangeY()) && (bars == ssVertical || bars == ssBoth);
    int s = vbar ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    if (FHeaderRect.Width() >= s + int(FRangeX)) s = FHeaderRect.Width() - int(FRangeX);
    if (ExcludeVScroll && vbar) s -= GetSystemMetrics(SM_CXVSCROLL);
    return s;
}

// ---------------------------------------------------------------------------
// Scrolling into view
// ---------------------------------------------------------------------------

bool TBaseLazyTree::ScrollIntoView(PLazyNode Node, bool Center, bool Horizontally) {
    if (!Node || Node == FRoot) return false;
    ExpandAncestors(this, Node);
    TColumnIndex column = NoColumn;
    if (HeaderUsesColumns() && IsValidColumn(FFocusedColumn)) column = FFocusedColumn;
    const bool gridExt = FOptions->MiscOptions().Contains(toGridExtensions);
    TRect R = GetDisplayRect(Node, column, !gridExt, false, false);
    const int ch = ClientHeight(), cw = ClientWidth();
    bool scrolledV = false;
    if (R.Top < 0) {
        SetOffsetY(FOffsetY - R.Top + (Center ? ch / 2 : 0));
        scrolledV = true;
    } else if (R.Bottom > ch || Center) {
        int y = FOffsetY + (Center ? ch / 2 : ch) - R.Bottom;
        if (!HeaderUsesColumns()) {
            const TScrollStyle bars = FScrollBarOptions->ScrollBars();
            const bool hbarAllowed = bars == ssHorizontal || bars == ssBoth;
            const bool hbarShown = hbarAllowed && (FScrollBarOptions->AlwaysVisible() || cw < int(FRangeX));
            if (!hbarShown && cw < int(FRangeX)) y -= GetSystemMetrics(SM_CYHSCROLL);
        }
        SetOffsetY(y);
        scrolledV = true;
    }
    bool scrolledH = false;
    if (Horizontally) scrolledH = ScrollIntoView(FFocusedColumn, Center);
    return scrolledV || scrolledH;
}

bool TBaseLazyTree::ScrollIntoView(TColumnIndex Column, bool Center) {
    if (!HeaderUsesColumns() || !IsValidColumn(Column)) return false;
    TLazyTreeColumn* c = FHeader->Columns()->Items(Column);
    int L = 0, R = 0;
    c->UnscrolledBounds(L, R);
    const int W = c->Width(), E = FEffectiveOffsetX;
    const int fixed = FHeader->Columns()->GetVisibleFixedWidth();
    const int cw = ClientWidth();
    const bool rtl = UseRightToLeftAlignment();
    int N;
    if (Center) {
        N = L + E + W / 2 - fixed / 2 - cw / 2;
        if (N == E) return true;
        SetOffsetX(rtl ? cw + N - int(FRangeX) : -N);
        return true;
    }
    if (c->Options().Contains(coFixed)) return true;
    if (L + W > cw) N = L + W + E - cw;
    else if (L < fixed) N = E + L - fixed;
    else N = E;
    if (N != E) SetOffsetX(rtl ? N + cw - int(FRangeX) : -N);
    return true;
}

// ---------------------------------------------------------------------------
// Scroll-bar messages and the wheel
// ---------------------------------------------------------------------------

void TBaseLazyTree::WMVScroll(TMessage& M) {
    const int code = LoWord(LPARAM(M.WParam));
    const int ch = ClientHeight();
    switch (code) {
    case SB_LINEUP: SetOffsetY(FOffsetY + FScrollBarOptions->VerticalIncrement()); break;
    case SB_LINEDOWN: SetOffsetY(FOffsetY - FScrollBarOptions->VerticalIncrement()); break;
    case SB_PAGEUP: SetOffsetY(FOffsetY + ch); break;
    case SB_PAGEDOWN: SetOffsetY(FOffsetY - ch); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        SwitchStates({tsThumbTracking}, {});
        TScrollInfo si;
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(this, SB_VERT, si);
        SetOffsetY(-si.nTrackPos);
        break;
    }
    case SB_TOP: SetOffsetY(0); break;
    case SB_BOTTOM: SetOffsetY(-int(FRoot->TotalHeight)); break;
    case SB_ENDSCROLL:
        SwitchStates({}, {tsThumbTracking});
        UpdateScrollBars(true);
        RedrawWindow(this, nullptr, RDW_FRAME | RDW_NOCHILDREN | RDW_NOERASE | RDW_INVALIDATE);
        break;
    default: break;
    }
    M.Result = 0;
}

void TBaseLazyTree::WMHScroll(TMessage& M) {
    const int code = LoWord(LPARAM(M.WParam));
    const int dir = UseRightToLeftAlignment() ? -1 : 1;
    const int cw = ClientWidth();
    const int page = cw - FHeader->Columns()->GetVisibleFixedWidth();
    switch (code) {
    case SB_LINELEFT: SetOffsetX(FOffsetX + dir * FScrollBarOptions->HorizontalIncrement()); break;
    case SB_LINERIGHT: SetOffsetX(FOffsetX - dir * FScrollBarOptions->HorizontalIncrement()); break;
    case SB_PAGELEFT: SetOffsetX(FOffsetX + dir * page); break;
    case SB_PAGERIGHT: SetOffsetX(FOffsetX - dir * page); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        SwitchStates({tsThumbTracking}, {});
        TScrollInfo si;
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(this, SB_HORZ, si);
        SetOffsetX(UseRightToLeftAlignment() ? cw + si.nTrackPos - int(FRangeX) : -si.nTrackPos);
        break;
    }
    case SB_LEFT: SetOffsetX(0); break;
    case SB_RIGHT: SetOffsetX(-int(FRangeX)); break;
    case SB_ENDSCROLL:
        SwitchStates({}, {tsThumbTracking});
        UpdateHorizontalScrollBar(false);
        break;
    default: break;
    }
    M.Result = 0;
}

bool TBaseLazyTree::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    const double factor = double(WheelDelta) / WHEEL_DELTA;
    const int lines = WheelScrollLines();
    const bool pageScroll = lines < 0 || unsigned(lines) == 0xFFFFFFFFu;
    const int ch = ClientHeight(), cw = ClientWidth();
    if (int(RangeY()) > ch && !(Shift & ssShift)) {
        int amount;
        if ((Shift & ssCtrl) || pageScroll) amount = ch;
        else amount = lines * int(FDefaultNodeHeight);
        SetOffsetY(FOffsetY + int(std::trunc(amount * factor)));
    } else {
        int amount;
        const int page = cw - FHeader->Columns()->GetVisibleFixedWidth();
        if ((Shift & ssCtrl) || pageScroll) amount = page;
        else amount = lines * FHeader->Columns()->GetScrollWidth();
        int add = int(std::trunc(amount * factor));
        if (UseRightToLeftAlignment()) add = -add;
        SetOffsetX(FOffsetX + add);
    }
    return true;
}

void TBaseLazyTree::CMMouseWheel(TMessage& M) {
    const TShiftState shift = TShiftState(M.WParam & 0xFFFF);
    const int delta = short((M.WParam >> 16) & 0xFFFF);
    M.Result = DoMouseWheel(shift, delta, Point(GetXLParam(M.LParam), GetYLParam(M.LParam))) ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Automatic scrolling
// ---------------------------------------------------------------------------

bool TBaseLazyTree::AutoScrollAllowed() const {
    const bool panning = FStates.ContainsAny({tsWheelPanning, tsWheelScrolling});
    return (panning || FOptions->AutoOptions().Contains(toAutoScroll)) && FHeader->States().Empty() &&
           (FStates.ContainsAny({tsDrawSelPending, tsDrawSelecting}) || FStates.Contains(tsVCLDragging) ||
            FStates.Contains(tsOLEDragging) || panning);
}

TScrollDirections TBaseLazyTree::ComputeAutoScrollDirections(int X, int Y) {
    TScrollDirections result;
    if (!AutoScrollAllowed()) return result;
    if (FStates.ContainsAny({tsWheelPanning, tsWheelScrolling})) {
        if (X - FLastClickPos.X > 8) result.Include(sdRight);
        if (X - FLastClickPos.X < -8) result.Include(sdLeft);
        if (Y - FLastClickPos.Y < -8) result.Include(sdUp);
        if (Y - FLastClickPos.Y > 8) result.Include(sdDown);
        return result;
    }
    const int zone = int(FDefaultNodeHeight);
    const int cw = ClientWidth(), ch = ClientHeight();
    if (X < zone && FEffectiveOffsetX != 0) result.Include(sdLeft);
    if (cw + FEffectiveOffsetX < int(FRangeX) && X > cw - zone) result.Include(sdRight);
    if (Y < zone && FOffsetY != 0) result.Include(sdUp);
    if (ch - FOffsetY < int(RangeY()) && Y > ch - zone) result.Include(sdDown);
    if (!result.Empty() && FStates.ContainsAny({tsOLEDragging, tsVCLDragging})) {
        // A drag over the tree scrolls only after the mouse stayed a while.
        if (FDragScrollStart == 0) FDragScrollStart = TickCount();
        if (TickCount() - FDragScrollStart < AutoScrollDelay) result = {};
    } else if (result.Empty()) {
        FDragScrollStart = 0;
    }
    return result;
}

void TBaseLazyTree::ArmAutoScroll(int X, int Y) {
    FScrollDirections = ComputeAutoScrollDirections(X, Y);
    if (FStates.ContainsAny({tsWheelPanning, tsWheelScrolling})) return;
    if (FScrollDirections.Empty()) {
        if (FStates.ContainsAny({tsScrollPending, tsScrolling})) {
            KillTreeTimer(ScrollTimer);
            SwitchStates({}, {tsScrollPending, tsScrolling});
        }
    } else if (!FStates.ContainsAny({tsScrollPending, tsScrolling})) {
        SwitchStates({tsScrollPending}, {});
        SetTimer(this, ScrollTimer, AutoScrollDelay);
    }
}

void TBaseLazyTree::ScrollTimerTick() {
    const TPoint p = ScreenToClient(GetCursorPos());
    const TRect client = ClientRect();
    const bool inside = client.Contains(p);
    const bool panning = FStates.ContainsAny({tsWheelPanning, tsWheelScrolling});
    const bool banding = FStates.Contains(tsDrawSelecting);
    if (banding || inside || panning) {
        const int ch = ClientHeight(), cw = ClientWidth();
        int dy = 0, dx = 0;
        if (FScrollDirections.Contains(sdUp)) {
            if (panning) dy = FLastClickPos.Y - p.Y - 8;
            else if (inside) dy = std::min(ch, FScrollBarOptions->VerticalIncrement());
            else dy = FScrollBarOptions->VerticalIncrement() * std::abs(p.Y - client.Top);
            if (FOffsetY == 0) FScrollDirections.Exclude(sdUp);
        }
        if (FScrollDirections.Contains(sdDown)) {
            if (panning) dy = FLastClickPos.Y - p.Y + 8;
            else if (inside) dy = -std::min(ch, FScrollBarOptions->VerticalIncrement());
            else dy = -FScrollBarOptions->VerticalIncrement() * std::abs(p.Y - client.Bottom);
            if (ch - FOffsetY == int(RangeY())) FScrollDirections.Exclude(sdDown);
        }
        if (FScrollDirections.Contains(sdLeft)) {
            if (panning) dx = FLastClickPos.X - p.X - 8;
            else if (inside) dx = FScrollBarOptions->HorizontalIncrement();
            else dx = FScrollBarOptions->HorizontalIncrement() * std::abs(p.X - client.Left);
            if (FEffectiveOffsetX == 0) FScrollDirections.Exclude(sdLeft);
        }
        if (FScrollDirections.Contains(sdRight)) {
            if (panning) dx = FLastClickPos.X - p.X + 8;
            else if (inside) dx = -FScrollBarOptions->HorizontalIncrement();
            else dx = -FScrollBarOptions->HorizontalIncrement() * std::abs(p.X - client.Right);
            if (cw + FEffectiveOffsetX == int(FRangeX)) FScrollDirections.Exclude(sdRight);
        }
        if (UseRightToLeftAlignment()) dx = -dx;
        if (dx != 0 || dy != 0) ApplyScrollOffsets(Point(FOffsetX + dx, FOffsetY + dy), AllScrollUpdateOptions);
        UpdateWindow(this);
    }
    if (FScrollDirections.Empty() && !panning) {
        KillTreeTimer(ScrollTimer);
        SwitchStates({}, {tsScrolling, tsScrollPending});
    }
}

// ---------------------------------------------------------------------------
// Header notifications
// ---------------------------------------------------------------------------

void TBaseLazyTree::FireColumnResize(TColumnIndex Column) {
    if (OnColumnResize) OnColumnResize(FHeader.get(), Column);
}

void TBaseLazyTree::AfterMainColumnChange() { CancelEditNode(); }

// ---------------------------------------------------------------------------
// Timed animation
// ---------------------------------------------------------------------------

namespace {
std::function<void(uint32_t)>& AnimationSleep() {
    static std::function<void(uint32_t)> sleeper = [](uint32_t ms) { Sleep(ms); };
    return sleeper;
}
}  // namespace

void TBaseLazyTree::SetAnimationSleep(std::function<void(uint32_t)> Sleeper) {
    AnimationSleep() = Sleeper ? std::move(Sleeper) : [](uint32_t ms) { Sleep(ms); };
}

void TBaseLazyTree::RunAnimation(uint32_t Steps, uint32_t Duration, const TLTAnimationCallback& Callback,
                                 void* Data) {
    if (FStates.Contains(tsInAnimation) || Duration == 0) return;
    SwitchStates({tsInAnimation}, {});
    struct Leave {
        TBaseLazyTree* t;
        ~Leave() { t->SwitchStates({}, {tsInAnimation, tsCancelHintAnimation}); }
    } leave{this};
    int stepSize = int(std::lround(std::max(1.0, double(Steps) / Duration)));
    int numberOfSteps = int(Steps) / stepSize;
    int step = 0;
    int64_t remaining = Duration;
    auto terminating = [] { return Application()->Terminated(); };
    while (numberOfSteps > 0 && remaining > 0 && !terminating()) {
        const uint32_t start = TickCount();
        const uint32_t next = start + uint32_t(remaining / numberOfSteps);
        if (!Callback(step, stepSize, Data)) break;
        // Wait for the next step by sleeping, not spinning.
        for (;;) {
            const uint32_t now = TickCount();
            if (int32_t(now - next) >= 0) break;
            AnimationSleep()(std::min<uint32_t>(next - now, 1));
        }
        const int64_t elapsed = int64_t(TickCount() - start);
        if (elapsed > remaining) {
            remaining = 0;
            numberOfSteps = 0;
        } else {
            remaining -= elapsed;
            --numberOfSteps;
        }
        while (numberOfSteps > 0 && remaining / numberOfSteps < 1) {
            ++stepSize;
            numberOfSteps = int(remaining / stepSize);
        }
        step = int(Steps) - numberOfSteps;
    }
    if (!terminating()) Callback(0, 0, Data);
}

namespace {
// Moves an area up or down by Amount: what moved and the strip it uncovered
// are painted again at once.
void ScrollArea(TBaseLazyTree* tree, const TRect& R, TLTToggleMode mode, int amount) {
    if (amount <= 0 || mode == tmStill) return;
    tree->AnimationMoves.append({R, mode == tmUp ? -amount : amount});
    tree->RepaintArea(R);
}
}  // namespace

bool TBaseLazyTree::ToggleAnimationStep(int, int StepSize, void* Data) {
    if (StepSize <= 0) return true;
    auto* d = static_cast<TToggleAnimationData*>(Data);
    if (d->FirstMode != tmStill) ScrollArea(this, d->FirstArea, d->FirstMode, StepSize);
    int second = 0;
    if (d->FirstMode == tmStill) {
        second = StepSize;
    } else if (d->SecondMode != tmStill && d->ScaleFactor > 0) {
        second = int(std::lround((StepSize + d->MissedSteps) * d->ScaleFactor));
        d->MissedSteps = StepSize * d->ScaleFactor + d->MissedSteps - second;
    }
    if (d->SecondMode != tmStill) ScrollArea(this, d->SecondArea, d->SecondMode, second);
    return true;
}

void TBaseLazyTree::RunToggleBand(const TLTToggleBand& Band) {
    TToggleAnimationData d;
    d.Window = this;
    d.Brush = FColors->BackGroundColor();
    auto toRect = [](const TLTToggleRect& r) { return Rect(r.Left, r.Top, r.Right, r.Bottom); };
    d.FirstArea = toRect(Band.FirstArea);
    d.SecondArea = toRect(Band.SecondArea);
    d.FirstMode = Band.FirstMode;
    d.SecondMode = Band.SecondMode;
    int d1 = Band.D1, d2 = Band.D2;
    if (d.FirstMode != tmStill && d.SecondMode != tmStill && d1 < d2) {
        std::swap(d.FirstArea, d.SecondArea);
        std::swap(d.FirstMode, d.SecondMode);
        std::swap(d1, d2);
    }
    d.ScaleFactor = d1 != 0 ? double(d2) / d1 : 0;
    d.MissedSteps = 0;
    const int steps = d.FirstMode != tmStill ? d1 : d2;
    if (steps <= 0) return;
    AnimationMoves.clear();
    RunAnimation(uint32_t(steps), FAnimationDuration,
                 [this](int s, int size, void* data) { return ToggleAnimationStep(s, size, data); }, &d);
}
