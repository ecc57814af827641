// The lazy tree's answers to the window system: the input timers, focus,
// cancel mode, mouse enter and leave, the hint decision, theme changes,
// accessibility and the emulated tree-view messages.
#include "treeview/LazyTrees.h"

#include "platform/controls/StdMessages.h"
#include "treeview/LazyTreesHint.h"

#include <algorithm>
#include <cstring>

// ---------------------------------------------------------------------------
// The window procedure's part for input
// ---------------------------------------------------------------------------

bool TBaseLazyTree::InputWndProc(TMessage& M) {
    switch (M.Msg) {
    case WM_LBUTTONDOWN:
        // The tree starts its drags itself: the press is not handed to the
        // class library's automatic drag start.
        WMLButtonDown(M);
        return true;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(M); return true;
    case WM_MBUTTONDBLCLK: WMMButtonDblClk(M); return true;
    case WM_RBUTTONDBLCLK: WMRButtonDblClk(M); return true;
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        if (!Focused() && CanFocus()) SetFocus();
        return false;
    case WM_CANCELMODE: WMCancelMode(M); return true;
    case WM_ERASEBKGND: M.Result = 1; return true;
    case WM_THEMECHANGED: WMThemeChanged(M); return true;
    case WM_GETOBJECT: WMGetObject(M); return true;
    case CM_HINTSHOWPAUSE: CMHintShowPause(M); return true;
    case TVM_GETITEMW: TVMGetItem(M); return true;
    case TVM_GETITEMRECT: TVMGetItemRect(M); return true;
    case TVM_GETNEXTITEM: TVMGetNextItem(M); return true;
    case WM_CUT: CutToClipboard(); return true;
    case WM_COPY: CopyToClipboard(); return true;
    case WM_PASTE: PasteFromClipboard(); return true;
    default: return false;
    }
}

void TBaseLazyTree::InputTimer(unsigned ID) {
    switch (ID) {
    case ExpandTimer: ExpandDropTarget(); break;
    case EditTimer:
        KillTreeTimer(EditTimer);
        BeginEditing();
        break;
    case HeaderTimer: KillTreeTimer(HeaderTimer); break;
    case SearchTimer:
        SwitchStates({}, {tsIncrementalSearching});
        KillTreeTimer(SearchTimer);
        ResetIncrementalSearch();
        break;
    case ThemeChangedTimer:
        KillTreeTimer(ThemeChangedTimer);
        RecreateWnd();
        break;
    default: break;
    }
}

void TBaseLazyTree::WMCancelMode(TMessage& M) {
    for (unsigned id : {ExpandTimer, EditTimer, HeaderTimer, ScrollTimer, SearchTimer, ThemeChangedTimer})
        KillTreeTimer(id);
    ResetIncrementalSearch();
    SwitchStates({}, {tsClearPending, tsDrawSelPending, tsDrawSelecting, tsEditPending, tsIncrementalSearching,
                      tsOLEDragPending, tsVCLDragPending});
    TCustomControl::WndProc(M);
}

void TBaseLazyTree::WMThemeChanged(TMessage&) {
    // No visual styles: the themed state stays off.
    SwitchStates({}, {tsUseThemes});
    if (!FChangingTheme) SetTimer(this, ThemeChangedTimer, 500);
    FChangingTheme = false;
}

void TBaseLazyTree::WMNCHitTest(TMessage& M) {
    TCustomControl::WMNCHitTest(M);
    if (FHeader->Options().Contains(hoVisible)) {
        const TPoint p = ScreenToClient(TPoint(GetXLParam(M.LParam), GetYLParam(M.LParam)));
        TRect header = FHeaderRect;
        const TRect insets = NCInsets();
        OffsetRect(header, -insets.Left, -insets.Top);
        if (header.Contains(p)) M.Result = HTBORDER;
    }
}

void TBaseLazyTree::CMFontChanged(TMessage& M) {
    TCustomControl::CMFontChanged(M);
    if (IsLoading()) return;
    // A larger font needs taller rows (with toAutoChangeScale).
    AutoScaleNodeHeight();
    if (HandleAllocated()) Invalidate();
}

// ---------------------------------------------------------------------------
// Focus
// ---------------------------------------------------------------------------

bool TBaseLazyTree::CanFocus() const {
    if (!TCustomControl::CanFocus()) return false;
    if (TCustomForm* form = GetParentForm(this)) return form->Enabled() && form->Visible();
    return true;
}

void TBaseLazyTree::WMSetFocus(TMessage& M) {
    TCustomControl::WMSetFocus(M);
    if (!(FSelectionCount == 0 && FOptions->PaintOptions().Contains(toGhostedIfUnfocused))) Invalidate();
}

void TBaseLazyTree::WMKillFocus(TMessage& M) {
    TCustomControl::WMKillFocus(M);
    if (FStates.Contains(tsHint)) {
        CancelNodeHint();
        SwitchStates({}, {tsHint});
    }
    EndWheelPanning();
    // A pending or running edit cannot outlive the focus.
    CancelEditPending();
    for (unsigned id : {ExpandTimer, EditTimer, HeaderTimer, ScrollTimer, SearchTimer}) KillTreeTimer(id);
    ResetIncrementalSearch();
    SwitchStates({}, {tsEditPending, tsNodeHeightTracking, tsNodeHeightTrackPending, tsIncrementalSearching,
                      tsLeftButtonDown, tsMiddleButtonDown, tsOLEDragPending, tsRightButtonDown, tsScrolling,
                      tsScrollPending, tsVCLDragPending});
    if (FSelectionCount == 0 && FOptions->PaintOptions().Contains(toGhostedIfUnfocused)) {
        if (FFocusedNode) InvalidateNode(FFocusedNode);
    } else {
        Invalidate();
    }
}

void TBaseLazyTree::CMEnter(TMessage& M) {
    TCustomControl::CMEnter(M);
    EnsureNodeSelected();
}

// ---------------------------------------------------------------------------
// Mouse enter and leave
// ---------------------------------------------------------------------------

void TBaseLazyTree::FireMouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
}

void TBaseLazyTree::FireMouseLeave() {
    if (OnMouseLeave) OnMouseLeave(this);
}

void TBaseLazyTree::CMMouseEnter(TMessage&) { FireMouseEnter(); }

void TBaseLazyTree::CMMouseLeave(TMessage&) {
    FLastHintRect = TRect();
    SwitchStates({}, {tsHint});
    if (!FStates.ContainsAny({tsWheelPanning, tsWheelScrolling})) {
        KillTreeTimer(ScrollTimer);
        SwitchStates({}, {tsScrolling, tsScrollPending});
    }
    if (FCurrentHotNode) {
        FireHotChange(FCurrentHotNode, nullptr);
        if (FOptions->PaintOptions().Contains(toHotTrack) || FOptions->MiscOptions().Contains(toCheckSupport))
            InvalidateNode(FCurrentHotNode);
        FCurrentHotNode = nullptr;
    }
    FHeader->Columns()->FHoverIndex = NoColumn;
    FHeader->Columns()->FDownIndex = NoColumn;
    FHeader->Columns()->FCheckBoxHit = false;
    FireMouseLeave();
}

// ---------------------------------------------------------------------------
// Hints
// ---------------------------------------------------------------------------

void TBaseLazyTree::CancelNodeHint() {
    if (Application()->HintControl() == this) Application()->CancelHint();
    FHintData.Node = nullptr;
}

QString TBaseLazyTree::NodeHint(PLazyNode, TColumnIndex, TLTTooltipLineBreakStyle& LineBreakStyle) {
    LineBreakStyle = hlbDefault;
    return Hint();
}

QString TBaseLazyTree::NodeTooltip(PLazyNode, TColumnIndex, TLTTooltipLineBreakStyle& LineBreakStyle) {
    LineBreakStyle = hlbDefault;
    return Hint();
}

void TBaseLazyTree::HintKindOf(PLazyNode Node, TColumnIndex Column, TLTHintKind& Kind) {
    if (OnGetHintKind) {
        Kind = vhkText;
        OnGetHintKind(this, Node, Column, Kind);
    } else {
        Kind = DefaultHintKind();
    }
}

void TBaseLazyTree::FireGetHintSize(PLazyNode Node, TColumnIndex Column, TRect& R) {
    if (OnGetHintSize) OnGetHintSize(this, Node, Column, R);
}

void TBaseLazyTree::FireDrawHint(TCanvas* HintCanvas, PLazyNode Node, TRect R, TColumnIndex Column) {
    // The handler gets a copy: what it does to the rectangle stays with it.
    if (OnDrawHint) OnDrawHint(this, HintCanvas, Node, R, Column);
}

THintWindowClass TBaseLazyTree::HintWindowClass() {
    return [](TComponent* Owner) -> THintWindow* { return new TLazyTreeHintWindow(Owner); };
}

THintAnimationType TBaseLazyTree::EffectiveHintAnimation() const {
    // The system's tooltip animation is off; every processor here has MMX.
    return HintAnimation == hatSystemDefault ? hatNone : HintAnimation;
}

void TBaseLazyTree::CMHintShowPause(TMessage& M) {
    auto* pause = reinterpret_cast<int*>(M.LParam);
    if (!pause) return;
    const TPoint p = ScreenToClient(GetCursorPos());
    bool overHeader = false;
    if (FHeader->Options().ContainsAll({hoVisible, hoShowHint})) {
        TRect header = FHeaderRect;
        const TRect insets = NCInsets();
        OffsetRect(header, -insets.Left, -insets.Top);
        overHeader = header.Contains(p);
    }
    if (HintMode == hmTooltip ||
        (overHeader && !(Application()->HintWindow() && Application()->HintWindow()->Active())))
        *pause = 0;
}

void TBaseLazyTree::CMHintShow(TMessage& M) {
    M.Result = 1;
    auto* info = reinterpret_cast<THintInfo*>(M.LParam);
    if (!info) return;
    const TPoint cp = info->CursorPos;
    if (FLastHintRect.Contains(cp)) return;

    THitInfo hit;
    GetHitTestInfoAt(cp.X, cp.Y, true, hit);
    bool showAllowed;
    if (FStates.Contains(tsEditing)) showAllowed = hit.HitNode != FFocusedNode;
    else showAllowed = GetParentForm(this) != nullptr || Focused();

    bool show = false;
    TLTHintData data;
    data.Tree = this;
    if (!GetCaptureControl() && ShowHint() && !Dragging() && !IsMouseSelecting() && !FStates.Contains(tsScrolling) &&
        FHeader->States().Empty() && showAllowed) {
        show = true;
        info->HintStr = QStringLiteral(" ");
        TRect header = FHeaderRect;
        const TRect insets = NCInsets();
        OffsetRect(header, -insets.Left, -insets.Top);
        if (FHeader->Options().ContainsAll({hoVisible, hoShowHint}) && header.Contains(cp)) {
            info->CursorRect = header;
            const TColumnIndex column = FHeader->Columns()->ColumnFromPosition(TPoint(cp.X, 0));
            if (column < 0 || GetKeyState(VK_LBUTTON) < 0) {
                show = false;
            } else {
                data.Column = column;
                data.DefaultHint = FHeader->Columns()->Items(column)->Hint;
                show = !data.DefaultHint.isEmpty();
            }
        } else if (HintMode != hmDefault && hit.HitNode) {
            data.Node = hit.HitNode;
            data.Column = hit.HitColumn;
            TLTHintKind kind = vhkText;
            HintKindOf(hit.HitNode, hit.HitColumn, kind);
            if (kind == vhkOwnerDraw) {
                TRect r;
                FireGetHintSize(hit.HitNode, hit.HitColumn, r);
                data.HintRect = r;
                if (r.IsEmpty()) show = false;
            }
            // The span of the cell, over following empty cells.
            int spanLeft = 0, spanRight = ClientWidth();
            if (IsValidColumn(hit.HitColumn)) {
                FHeader->Columns()->GetColumnBounds(hit.HitColumn, spanLeft, spanRight);
                spanLeft -= FEffectiveOffsetX;
                spanRight -= FEffectiveOffsetX;
                if (FOptions->AutoOptions().Contains(toAutoSpanColumns))
                    for (TColumnIndex next = FHeader->Columns()->GetNextVisibleColumn(hit.HitColumn);
                         next >= 0 && FireGetCellIsEmpty(hit.HitNode, next);
                         next = FHeader->Columns()->GetNextVisibleColumn(next))
                        spanRight += FHeader->Columns()->Items(next)->Width();
            }
            data.DefaultHint.clear();
            if (show && HintMode == hmTooltip) {
                if (!hit.HitNode->States.Contains(vsMultiline)) {
                    const TRect text = GetDisplayRect(hit.HitNode, hit.HitColumn, true, true, true);
                    const TPoint margin = CellContentMargin(hit.HitNode, hit.HitColumn, ccmtBottomRightOnly);
                    const bool cut = text.Right + margin.X > std::min(spanRight - 1, ClientWidth()) ||
                                     text.Left < std::max(spanLeft, 0) ||
                                     text.Bottom + margin.Y > ClientHeight() || text.Top < 0;
                    show = text.Contains(cp) && cp.X >= spanLeft && cp.X < spanRight && cut;
                    if (show) {
                        info->HintPos = ClientToScreen(TPoint(text.Left, text.Top));
                        info->CursorRect = text;
                    }
                } else {
                    show = hit.HitPositions.Contains(hiOnItemLabel);
                    if (show) {
                        const TRect text = GetDisplayRect(hit.HitNode, hit.HitColumn, true);
                        info->HintPos = ClientToScreen(TPoint(text.Left, text.Top));
                        info->CursorRect = text;
                    }
                }
            } else if (show) {
                TRect cell = GetDisplayRect(hit.HitNode, hit.HitColumn, false);
                cell.Left = std::max(cell.Left, spanLeft);
                cell.Right = std::min(cell.Right, spanRight);
                info->CursorRect = cell;
                info->HintPos.Y = std::max(info->HintPos.Y, ClientToScreen(TPoint(0, cell.Bottom)).Y) + 2;
            }
        } else if (HintMode == hmHintAndDefault || HintMode == hmDefault) {
            data.DefaultHint = GetShortHint(Hint());
            show = !data.DefaultHint.isEmpty();
        } else {
            show = false;
        }
    }
    if (show) {
        M.Result = 0;
        FHintData = data;
        info->HintWindowClass = HintWindowClass();
        info->HintData = &FHintData;
        FLastHintRect = info->CursorRect;
        SwitchStates({tsHint}, {});
    } else {
        M.Result = 1;
        FLastHintRect = TRect();
        SwitchStates({}, {tsHint});
    }
}

// ---------------------------------------------------------------------------
// Accessibility and the tree-view messages
// ---------------------------------------------------------------------------

void TBaseLazyTree::WMGetObject(TMessage& M) {
    // No accessibility provider is registered in this program.
    M.Result = 0;
}

void TBaseLazyTree::TVMGetItem(TMessage& M) {
    auto* item = reinterpret_cast<TVITEMW*>(M.LParam);
    M.Result = 0;
    if (!item || !(item->mask & TVIF_HANDLE) || !item->hItem) return;
    auto* node = static_cast<PLazyNode>(item->hItem);
    M.Result = 1;
    if (item->mask & TVIF_CHILDREN) item->cChildren = int(node->ChildCount);
    bool ghosted = false;
    if (item->mask & TVIF_IMAGE) {
        int index = -1;
        FireGetImageIndex(node, ikNormal, NoColumn, ghosted, index);
        item->iImage = index;
    }
    if (item->mask & TVIF_SELECTEDIMAGE) {
        int index = -1;
        FireGetImageIndex(node, ikSelected, NoColumn, ghosted, index);
        item->iSelectedImage = index;
    }
    if (item->mask & TVIF_STATE) {
        item->stateMask = 0xFF2F;
        unsigned state = 0;
        if (node == FFocusedNode) state |= TVIS_FOCUSED;
        if (node->States.Contains(vsSelected)) state |= TVIS_SELECTED;
        if (node->States.Contains(vsCutOrCopy)) state |= TVIS_CUT;
        if (node == FDropTargetNode) state |= TVIS_DROPHILITED;
        if (node->States.Contains(vsExpanded)) state |= TVIS_EXPANDED;
        int stateIndex = -1, overlayIndex = -1;
        FireGetImageIndex(node, ikState, NoColumn, ghosted, stateIndex);
        FireGetImageIndex(node, ikOverlay, NoColumn, ghosted, overlayIndex);
        if (stateIndex >= 0) state |= INDEXTOSTATEIMAGEMASK(unsigned(stateIndex));
        if (overlayIndex >= 0) state |= INDEXTOOVERLAYMASK(unsigned(overlayIndex));
        item->state = state;
    }
    // A buffer of no characters receives nothing, not even the end mark.
    if ((item->mask & TVIF_TEXT) && item->pszText && item->cchTextMax > 0) {
        TRect r;
        QString text;
        GetTextInfo(node, NoColumn, Font(), r, text);
        const int n = std::min<int>(int(text.size()), item->cchTextMax - 1);
        std::memcpy(item->pszText, text.utf16(), size_t(n) * sizeof(char16_t));
        item->pszText[n] = u'\0';
    }
}

void TBaseLazyTree::TVMGetItemRect(TMessage& M) {
    M.Result = 0;
    if (!M.LParam) return;
    PLazyNode node = nullptr;
    std::memcpy(&node, reinterpret_cast<void*>(M.LParam), sizeof(node));
    if (!node || node == FRoot || !GetFullyVisible(node)) return;
    const TRect r = GetDisplayRect(node, NoColumn, M.WParam != 0);
    std::memcpy(reinterpret_cast<void*>(M.LParam), &r, sizeof(r));
    M.Result = 1;
}

void TBaseLazyTree::TVMGetNextItem(TMessage& M) {
    auto* node = reinterpret_cast<PLazyNode>(M.LParam);
    if (node == FRoot) node = nullptr;
    PLazyNode result = nullptr;
    switch (unsigned(M.WParam)) {
    case TVGN_ROOT: result = GetFirst(); break;
    case TVGN_NEXT: result = node ? GetNextSibling(node) : nullptr; break;
    case TVGN_PREVIOUS: result = node ? GetPreviousSibling(node) : nullptr; break;
    case TVGN_PARENT: result = node && node->Parent != FRoot ? node->Parent : nullptr; break;
    case TVGN_CHILD: result = node ? GetFirstChild(node) : nullptr; break;
    case TVGN_FIRSTVISIBLE: result = GetFirstVisible(nullptr, true); break;
    case TVGN_NEXTVISIBLE: result = node ? GetNextVisible(node, true) : nullptr; break;
    case TVGN_PREVIOUSVISIBLE: result = node ? GetPreviousVisible(node, true) : nullptr; break;
    case TVGN_DROPHILITE: result = FDropTargetNode; break;
    case TVGN_CARET: result = FFocusedNode; break;
    case TVGN_LASTVISIBLE: result = GetLastVisible(nullptr, true); break;
    default: break;
    }
    M.Result = LRESULT(reinterpret_cast<intptr_t>(result));
}
