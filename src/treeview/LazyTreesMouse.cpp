// The lazy tree's mouse: the three buttons, clicks and double clicks, the
// rubber band, node height tracking and the node popup menu.
#include "treeview/LazyTrees.h"

#include "platform/controls/DragControls.h"

#include <algorithm>

namespace {

TPoint MessagePoint(const TMessage& M) { return TPoint(GetXLParam(M.LParam), GetYLParam(M.LParam)); }

// Shift, Alt and Ctrl of a mouse message's key flags.
TShiftState KeyShift(const TMessage& M) { return KeysToShiftState(M.WParam) & (ssShift | ssAlt | ssCtrl); }

// The left button is held for this press (a double click's press too).
bool LeftButtonHeld(const TMessage& M) {
    return M.Msg == WM_LBUTTONDOWN || M.Msg == WM_LBUTTONDBLCLK || (M.WParam & MK_LBUTTON) != 0;
}

TRect Ordered(TRect r) {
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
    return r;
}

}  // namespace

// ---------------------------------------------------------------------------
// Event dispatchers
// ---------------------------------------------------------------------------

void TBaseLazyTree::FireNodeClick(const THitInfo& HitInfo) {
    if (OnNodeClick) OnNodeClick(this, HitInfo);
}

void TBaseLazyTree::FireNodeDblClick(const THitInfo& HitInfo) {
    if (OnNodeDblClick) OnNodeDblClick(this, HitInfo);
}

bool TBaseLazyTree::FireNodeHeightTracking(PLazyNode Node, TColumnIndex Column, TShiftState Shift,
                                           TPoint& TrackPoint, TPoint P) {
    bool allowed = true;
    if (OnNodeHeightTracking) OnNodeHeightTracking(this, Node, Column, Shift, TrackPoint, P, allowed);
    return allowed;
}

bool TBaseLazyTree::FireNodeHeightDblClickResize(PLazyNode Node, TColumnIndex Column, TShiftState Shift, TPoint P) {
    bool allowed = true;
    if (OnNodeHeightDblClickResize) OnNodeHeightDblClickResize(this, Node, Column, Shift, P, allowed);
    return allowed;
}

void TBaseLazyTree::FireColumnClick(TColumnIndex Column, TShiftState Shift) {
    if (OnColumnClick) OnColumnClick(this, Column, Shift);
}

void TBaseLazyTree::FireColumnDblClick(TColumnIndex Column, TShiftState Shift) {
    if (OnColumnDblClick) OnColumnDblClick(this, Column, Shift);
}

bool TBaseLazyTree::FireDragAllowed(PLazyNode Node, TColumnIndex Column) {
    bool allowed = false;
    if (OnDragAllowed) OnDragAllowed(this, Node, Column, allowed);
    return allowed;
}

// ---------------------------------------------------------------------------
// The node popup menu
// ---------------------------------------------------------------------------

TPopupMenu* TBaseLazyTree::FireGetPopupMenu(PLazyNode Node, TColumnIndex Column, TPoint P) {
    if (!OnGetPopupMenu) return nullptr;
    TPopupMenu* menu = nullptr;
    bool askParent = true;
    if (!Node || Node == FRoot) {
        OnGetPopupMenu(this, nullptr, NoColumn, P, askParent, menu);
        return menu;
    }
    for (PLazyNode run = Node; run && run != FRoot; run = run->Parent) {
        OnGetPopupMenu(this, run, Column, P, askParent, menu);
        if (menu || !askParent) break;
    }
    return menu;
}

void TBaseLazyTree::ShowNodePopup(PLazyNode Node, TColumnIndex Column, TPoint P) {
    TPopupMenu* menu = FireGetPopupMenu(Node, Column, P);
    if (!menu) return;
    SwitchStates({tsPopupMenuShown}, {});
    KillTreeTimer(EditTimer);
    menu->PopupComponent = this;
    const TPoint s = ClientToScreen(P);
    menu->Popup(s.X, s.Y);
}

bool TBaseLazyTree::NodeHasPopup(PLazyNode Node, TColumnIndex Column, TPoint P) {
    return PopupMenu() != nullptr || FireGetPopupMenu(Node, Column, P) != nullptr;
}

void TBaseLazyTree::WMContextMenu(TMessage& M) {
    SwitchStates({}, {tsClearPending, tsEditPending, tsOLEDragPending, tsVCLDragPending});
    if (!FStates.Contains(tsPopupMenuShown)) TCustomControl::WMContextMenu(M);
}

// ---------------------------------------------------------------------------
// Button messages
// ---------------------------------------------------------------------------

void TBaseLazyTree::WMLButtonDown(TMessage& M) {
    SwitchStates({tsLeftButtonDown}, {});
    TCustomControl::WMLButtonDown(M);
    THitInfo hit;
    const TPoint p = MessagePoint(M);
    GetHitTestInfoAt(p.X, p.Y, true, hit);
    MouseButtonPressed(M, hit);
}

void TBaseLazyTree::WMLButtonUp(TMessage& M) {
    SwitchStates({}, {tsNodeHeightTracking, tsNodeHeightTrackPending, tsLeftButtonDown});
    THitInfo hit;
    const TPoint p = MessagePoint(M);
    GetHitTestInfoAt(p.X, p.Y, true, hit);
    MouseButtonReleased(M, hit);
    TCustomControl::WMLButtonUp(M);
}

void TBaseLazyTree::WMLButtonDblClk(TMessage& M) {
    SwitchStates({tsLeftDblClick}, {});
    TCustomControl::WMLButtonDblClk(M);
    THitInfo hit;
    const TPoint p = MessagePoint(M);
    GetHitTestInfoAt(p.X, p.Y, true, hit);
    try {
        MouseDoubleClicked(M, hit);
    } catch (...) {
        SwitchStates({}, {tsLeftDblClick});
        throw;
    }
    SwitchStates({}, {tsLeftDblClick});
}

void TBaseLazyTree::WMMButtonDown(TMessage& M) {
    SwitchStates({tsMiddleButtonDown}, {});
    TCustomControl::WMMButtonDown(M);
    if (!FHeader->States().Empty()) return;
    const TPoint p = MessagePoint(M);
    const bool panning = FStates.ContainsAny({tsWheelPanning, tsWheelScrolling});
    if (FOptions->MiscOptions().Contains(toWheelPanning) && !panning &&
        (int64_t(RangeX()) > ClientWidth() || int64_t(RangeY()) > ClientHeight())) {
        FLastClickPos = p;
        BeginWheelPanning(p);
        return;
    }
    EndWheelPanning();
    if (FOptions->SelectionOptions().Contains(toMiddleClickSelect)) {
        THitInfo hit;
        GetHitTestInfoAt(p.X, p.Y, true, hit);
        MouseButtonPressed(M, hit);
    }
}

void TBaseLazyTree::WMMButtonUp(TMessage& M) {
    SwitchStates({}, {tsMiddleButtonDown});
    TCustomControl::WMMButtonUp(M);
    if (FStates.ContainsAny({tsWheelPanning, tsWheelScrolling})) {
        // Not moved yet: panning goes on until the next click.
        if (FStates.Contains(tsWheelScrolling)) SwitchStates({}, {tsWheelPanning});
        else EndWheelPanning();
        return;
    }
    if (!FHeader->States().Empty()) return;
    if (FOptions->SelectionOptions().Contains(toMiddleClickSelect)) {
        THitInfo hit;
        const TPoint p = MessagePoint(M);
        GetHitTestInfoAt(p.X, p.Y, true, hit);
        MouseButtonReleased(M, hit);
    }
}

void TBaseLazyTree::WMMButtonDblClk(TMessage& M) {
    SwitchStates({tsMiddleDblClick}, {});
    TCustomControl::WMMButtonDown(M);
    if (FOptions->SelectionOptions().Contains(toMiddleClickSelect)) {
        THitInfo hit;
        const TPoint p = MessagePoint(M);
        GetHitTestInfoAt(p.X, p.Y, true, hit);
        MouseDoubleClicked(M, hit);
    }
    SwitchStates({}, {tsMiddleDblClick});
}

void TBaseLazyTree::WMRButtonDown(TMessage& M) {
    SwitchStates({tsRightButtonDown}, {});
    TCustomControl::WMRButtonDown(M);
    if (!FHeader->States().Empty()) return;
    if (FOptions->SelectionOptions().Contains(toRightClickSelect)) {
        THitInfo hit;
        const TPoint p = MessagePoint(M);
        GetHitTestInfoAt(p.X, p.Y, true, hit);
        MouseButtonPressed(M, hit);
    }
}

void TBaseLazyTree::WMRButtonUp(TMessage& M) {
    SwitchStates({}, {tsRightButtonDown, tsPopupMenuShown});
    TCustomControl::WMRButtonUp(M);
    if (!FHeader->States().Empty()) return;
    Application()->CancelHint();
    if (FStates.ContainsAny({tsDrawSelPending, tsDrawSelecting}) && PopupMenu()) {
        SwitchStates({}, {tsDrawSelPending, tsDrawSelecting});
        Invalidate();
    }
    const TPoint p = MessagePoint(M);
    THitInfo hit;
    GetHitTestInfoAt(p.X, p.Y, true, hit);
    if (FOptions->SelectionOptions().Contains(toRightClickSelect)) MouseButtonReleased(M, hit);
    if (!PopupMenu()) ShowNodePopup(hit.HitNode, hit.HitColumn, p);
}

void TBaseLazyTree::WMRButtonDblClk(TMessage& M) {
    SwitchStates({tsRightDblClick}, {});
    TCustomControl::WMRButtonDown(M);
    if (FOptions->SelectionOptions().Contains(toRightClickSelect)) {
        THitInfo hit;
        const TPoint p = MessagePoint(M);
        GetHitTestInfoAt(p.X, p.Y, true, hit);
        MouseDoubleClicked(M, hit);
    }
    SwitchStates({}, {tsRightDblClick});
}

// ---------------------------------------------------------------------------
// Mouse down
// ---------------------------------------------------------------------------

void TBaseLazyTree::MouseButtonPressed(TMessage& Message, THitInfo& HitInfo) {
    if (FStates.ContainsAny({tsWheelPanning, tsWheelScrolling})) {
        EndWheelPanning();
        return;
    }
    FEditFromDblClick = false;
    if (FStates.Contains(tsEditPending)) {
        KillTreeTimer(EditTimer);
        SwitchStates({}, {tsEditPending});
    }
    if (FStates.Contains(tsEditing) && !EndEditNode()) return;

    const TPoint p = MessagePoint(Message);
    if (!Focused() && CanFocus()) {
        SetFocus();
        GetHitTestInfoAt(p.X, p.Y, true, HitInfo);
    }
    FHeader->Columns()->FClickIndex = HitInfo.HitColumn;

    const TLTSelectionOptions sel = FOptions->SelectionOptions();
    const TLTMiscOptions misc = FOptions->MiscOptions();
    const THitPositions pos = HitInfo.HitPositions;

    // The column the focus moves to.
    bool columnChange = false;
    TColumnIndex newColumn = FFocusedColumn;
    if (pos.Contains(hiOnItemLabel) || sel.Contains(toFullRowSelect) || misc.Contains(toGridExtensions)) {
        columnChange = HitInfo.HitColumn != FFocusedColumn;
        newColumn = sel.Contains(toExtendedFocus) ? HitInfo.HitColumn : MainColumn();
        if (columnChange && !ColumnAllowsFocus(newColumn)) {
            newColumn = FFocusedColumn;
            columnChange = false;
        }
    }
    const bool nodeChange = HitInfo.HitNode != FFocusedNode;
    TShiftState shiftState = KeyShift(Message);
    const bool altPressed = (shiftState & ssAlt) != 0;
    shiftState &= ~ssAlt;

    const bool isLabelHit = !altPressed && !sel.Contains(toSimpleDrawSelection) &&
                            pos.ContainsAny({hiOnItemLabel, hiOnNormalIcon});
    const bool isCellHit = !altPressed && !isLabelHit && HitInfo.HitNode &&
                           !pos.ContainsAny({hiNowhere, hiOnItemButton, hiOnItemCheckbox}) &&
                           (sel.Contains(toFullRowSelect) || (misc.Contains(toGridExtensions) && HitInfo.HitColumn > -1));
    const bool isAnyHit = isLabelHit || isCellHit;
    const bool nodeSelected = isAnyHit && HitInfo.HitNode->States.Contains(vsSelected);
    const bool multiSelect = sel.Contains(toMultiSelect);
    const bool shiftEmpty = shiftState == 0;
    bool fullRowDrag;
    if (!multiSelect || sel.Contains(toDisableDrawSelection))
        fullRowDrag = misc.Contains(toFullRowDrag);
    else
        fullRowDrag = misc.Contains(toFullRowDrag) && isCellHit && !pos.Contains(hiNowhere) &&
                      (nodeSelected || pos.ContainsAny({hiOnItemLabel, hiOnNormalIcon}));
    const bool isHeightTracking = Message.Msg == WM_LBUTTONDOWN && pos.Contains(hiOnItem) &&
                                  pos.ContainsAny({hiUpperSplitter, hiLowerSplitter});
    bool autoDrag = (DragMode() == dmAutomatic || Dragging()) && (!isCellHit || fullRowDrag);
    if (!autoDrag && HitInfo.HitNode && DragMode() == dmManual)
        autoDrag = FireDragAllowed(HitInfo.HitNode, newColumn) && (fullRowDrag || isLabelHit);

    // Node height tracking.
    if (isHeightTracking) {
        PLazyNode track = pos.Contains(hiUpperSplitter) ? GetPreviousVisible(HitInfo.HitNode, true) : HitInfo.HitNode;
        if (SplitterMayResizeNode(HitInfo.HitPoint, track, HitInfo.HitColumn)) {
            FHeightTrackNode = track;
            FHeightTrackColumn = HitInfo.HitColumn;
            const TRect r = GetDisplayRect(track, FHeightTrackColumn, false);
            FHeightTrackPoint = TPoint(r.Left, r.Top);
            SwitchStates({tsNodeHeightTrackPending}, {});
            return;
        }
    }
    // The expand button.
    if (pos.Contains(hiOnItemButton) && HitInfo.HitNode && HitInfo.HitNode->States.Contains(vsHasChildren)) {
        ToggleNode(HitInfo.HitNode);
        return;
    }
    // The check box: pressed now, decided at the release.
    if (pos.Contains(hiOnItemCheckbox)) {
        if (FStates.ContainsAny({tsKeyCheckPending, tsMouseCheckPending}) || !HitInfo.HitNode ||
            HitInfo.HitNode->States.Contains(vsDisabled))
            return;
        if (LeftButtonHeld(Message)) PressCheckBox(HitInfo.HitNode, false);
        return;
    }

    if ((shiftEmpty && FRoot->ChildCount > 0) || FSelectionCount == 0) {
        PLazyNode levelNode = HitInfo.HitNode ? HitInfo.HitNode : GetLastVisible(nullptr, true);
        if (levelNode) FLastSelectionLevel = int(GetNodeLevel(levelNode));
    }
    if (multiSelect && shiftEmpty && isAnyHit && autoDrag && nodeSelected && !SelectionLocked)
        SwitchStates({tsClearPending}, {});

    bool mayChangeSelection = !autoDrag;
    if (mayChangeSelection && FStates.Contains(tsRightButtonDown) &&
        NodeHasPopup(HitInfo.HitNode, HitInfo.HitColumn, p))
        mayChangeSelection = false;

    // The rubber band is armed; it starts once the mouse moved far enough.
    if (!sel.Contains(toDisableDrawSelection) && !(isLabelHit || fullRowDrag) && multiSelect) {
        SetMouseCapture(true);
        SwitchStates({tsDrawSelPending}, {});
        FDrawSelShiftState = shiftState;
        FNewSelRect = Rect(p.X + FEffectiveOffsetX, p.Y - FOffsetY, p.X + FEffectiveOffsetX, p.Y - FOffsetY);
        FLastSelRect = Rect(0, 0, 0, 0);
    }

    if (!SelectionLocked &&
        ((multiSelect && !isAnyHit && !fullRowDrag && shiftEmpty) ||
         (isAnyHit && (!nodeSelected || mayChangeSelection) && (shiftEmpty || !multiSelect)))) {
        if (nodeSelected ||
            (altPressed && HitInfo.HitNode && HitInfo.HitColumn == MainColumn() && !pos.Contains(hiNowhere))) {
            const bool needChange = FSelectionCount > 1;
            DropSelection(false);
            IncludeOne(HitInfo.HitNode, true);
            if (needChange) {
                Invalidate();
                RequestChange(nullptr);
            }
        } else if (!(pos.Contains(hiNowhere) && sel.Contains(toAlwaysSelectNode))) {
            ClearSelection();
        }
    }

    if (Focused() && (pos.Contains(hiOnItemLabel) || (misc.Contains(toGridExtensions) && pos.Contains(hiOnItem))) &&
        nodeSelected && !columnChange && shiftEmpty)
        SwitchStates({tsEditPending}, {});

    // A rubber band or a click on empty space changes no focus.
    if (!sel.Contains(toDisableDrawSelection) && !(isLabelHit || fullRowDrag) &&
        (multiSelect || pos.Contains(hiNowhere)) && !isCellHit)
        return;

    FLastClickPos = p;
    if (isAnyHit && FireFocusChanging(FFocusedNode, HitInfo.HitNode, FFocusedColumn, newColumn)) {
        if (columnChange) {
            InvalidateColumn(FFocusedColumn);
            InvalidateColumn(newColumn);
            FFocusedColumn = newColumn;
        }
        const PLazyNode lastFocused = FFocusedNode;
        if (nodeChange) MoveFocus(HitInfo.HitNode, false);
        if (multiSelect && !shiftEmpty) {
            ApplyClickSelection(lastFocused, HitInfo.HitNode, autoDrag, shiftState);
        } else {
            if (shiftEmpty) FRangeAnchor = HitInfo.HitNode;
            if (!nodeSelected && !HitInfo.HitNode->States.Contains(vsSelected)) AddToSelection(HitInfo.HitNode);
        }
        if (nodeChange || columnChange) {
            ScrollIntoView(FFocusedNode, sel.Contains(toCenterScrollIntoView),
                           !FOptions->AutoOptions().Contains(toDisableAutoscrollOnFocus) &&
                               !sel.Contains(toFullRowSelect));
            FireFocusChanged(FFocusedNode, FFocusedColumn);
        }
    }
    if (FSelectionCount == 0) RequestChange(nullptr);

    if (autoDrag && isAnyHit && FStates.ContainsAny({tsLeftButtonDown, tsMiddleButtonDown, tsRightButtonDown}))
        BeginDrag(false, -1);
}

void TBaseLazyTree::ApplyClickSelection(PLazyNode LastFocused, PLazyNode NewNode, bool AutoDrag,
                                        TShiftState ShiftState) {
    (void)LastFocused;
    const bool ctrl = (ShiftState & ssCtrl) != 0, shift = (ShiftState & ssShift) != 0;
    if (ctrl) {
        if (shift) {
            SelectVisibleRange(FRangeAnchor, NewNode, true);
        } else {
            if (!FOptions->SelectionOptions().Contains(toSiblingSelectConstraint)) FRangeAnchor = NewNode;
            if (AutoDrag) SwitchStates({tsToggleFocusedSelection}, {});
            else if (NewNode->States.Contains(vsSelected)) RemoveFromSelection(NewNode);
            else AddToSelection(NewNode);
        }
        Invalidate();
    } else if (shift) {
        if (!FRangeAnchor) FRangeAnchor = GetFirst(false);
        SelectVisibleRange(FRangeAnchor, NewNode, false);
        Invalidate();
    } else {
        if (!NewNode->States.Contains(vsSelected)) {
            AddToSelection(NewNode);
            InvalidateNode(NewNode);
        }
        FRangeAnchor = NewNode;
    }
}

// ---------------------------------------------------------------------------
// Mouse up
// ---------------------------------------------------------------------------

void TBaseLazyTree::MouseButtonReleased(TMessage& Message, THitInfo& HitInfo) {
    if (GetCaptureControl() == this) SetMouseCapture(false);
    if (FStates.Contains(tsVCLDragPending)) return;
    if (FStates.ContainsAny({tsDrawSelPending, tsDrawSelecting})) {
        SwitchStates({}, {tsDrawSelPending, tsDrawSelecting, tsToggleFocusedSelection});
        Invalidate();
    }
    if (FStates.Contains(tsClearPending)) {
        const bool wasSelected = FFocusedNode && FFocusedNode->States.Contains(vsSelected);
        ClearSelection();
        if (wasSelected) AddToSelection(FFocusedNode);
    }
    if (FStates.Contains(tsToggleFocusedSelection) && HitInfo.HitNode && HitInfo.HitNode == FFocusedNode) {
        PLazyNode n = HitInfo.HitNode;
        if (n->States.Contains(vsSelected)) {
            if (!(FOptions->SelectionOptions().Contains(toAlwaysSelectNode) && FSelectionCount == 1))
                RemoveFromSelection(n);
        } else {
            AddToSelection(n);
        }
        InvalidateNode(n);
    }
    SwitchStates({}, {tsToggleFocusedSelection, tsClearPending, tsDrawSelPending, tsOLEDragging, tsOLEDragPending,
                      tsScrolling, tsScrollPending});
    KillTreeTimer(ScrollTimer);

    if (FStates.Contains(tsMouseCheckPending)) {
        // Released anywhere on the pressed node's row commits; elsewhere the
        // old state comes back.
        ReleaseCheckBox(FCheckNode && HitInfo.HitNode == FCheckNode && HitInfo.HitPositions.Contains(hiOnItem));
        SwitchStates({}, {tsMouseCheckPending});
    }
    if (FHeader->Columns()->FClickIndex > NoColumn && FHeader->Columns()->FClickIndex == HitInfo.HitColumn)
        FireColumnClick(HitInfo.HitColumn, KeysToShiftState(Message.WParam));
    if (HitInfo.HitNode) FireNodeClick(HitInfo);

    if (FEditFromDblClick) {
        // The release that ends a double click leaves its edit starting at
        // once, neither delayed nor dropped.
        FEditFromDblClick = false;
    } else if (FStates.Contains(tsEditPending)) {
        if (HitInfo.HitNode && HitInfo.HitNode == FFocusedNode && HitInfo.HitPositions.Contains(hiOnItem) &&
            FOptions->MiscOptions().Contains(toEditOnClick) && HitInfo.HitColumn == FFocusedColumn &&
            CanEdit(FFocusedNode, HitInfo.HitColumn)) {
            FEditColumn = FFocusedColumn;
            SetTimer(this, EditTimer, EditDelay);
        } else {
            SwitchStates({}, {tsEditPending});
        }
    }
}

// ---------------------------------------------------------------------------
// Double click
// ---------------------------------------------------------------------------

void TBaseLazyTree::MouseDoubleClicked(TMessage& Message, THitInfo& HitInfo) {
    bool canStartEdit = !FStates.Contains(tsEditing) && FOptions->MiscOptions().Contains(toEditOnDblClick);
    if (FStates.Contains(tsEditPending)) {
        KillTreeTimer(EditTimer);
        SwitchStates({}, {tsEditPending});
    }
    const THitPositions pos = HitInfo.HitPositions;
    if (!(FStates.Contains(tsEditing) && !EndEditNode())) {
        const TShiftState shift = KeysToShiftState(Message.WParam);
        if (HitInfo.HitColumn == FHeader->Columns()->FClickIndex) FireColumnDblClick(HitInfo.HitColumn, shift);
        if (HitInfo.HitNode) FireNodeDblClick(HitInfo);

        PLazyNode heightNode = nullptr;
        if (pos.Contains(hiOnItem) && IsValidColumn(HitInfo.HitColumn) &&
            FHeader->Columns()->Items(HitInfo.HitColumn)->Options().Contains(coFixed)) {
            if (pos.Contains(hiUpperSplitter)) heightNode = GetPreviousVisible(HitInfo.HitNode, true);
            else if (pos.Contains(hiLowerSplitter)) heightNode = HitInfo.HitNode;
        }
        if (heightNode && heightNode != FRoot && FOptions->MiscOptions().Contains(toNodeHeightDblClickResize) &&
            FireNodeHeightDblClickResize(heightNode, HitInfo.HitColumn, shift, MessagePoint(Message))) {
            SetNodeHeight(heightNode, FDefaultNodeHeight);
            UpdateWindow(this);
            canStartEdit = false;
        } else if (pos.Contains(hiOnItemCheckbox)) {
            // A double click on a box clicks it again.
            if (HitInfo.HitNode && !FStates.ContainsAny({tsKeyCheckPending, tsMouseCheckPending}) &&
                !HitInfo.HitNode->States.Contains(vsDisabled) && LeftButtonHeld(Message) &&
                PressCheckBox(HitInfo.HitNode, false))
                canStartEdit = false;
        } else if (HitInfo.HitNode &&
                   (pos.Contains(hiOnItemButton) ||
                    (FOptions->MiscOptions().Contains(toToggleOnDblClick) &&
                     (pos.ContainsAny({hiOnItemButton, hiOnItemLabel, hiOnNormalIcon, hiOnStateIcon}) ||
                      FOptions->SelectionOptions().Contains(toFullRowSelect))))) {
            ToggleNode(HitInfo.HitNode);
            canStartEdit = false;
        }
    } else {
        canStartEdit = false;
    }
    if (canStartEdit && HitInfo.HitNode && HitInfo.HitNode == FFocusedNode && HitInfo.HitColumn == FFocusedColumn &&
        CanEdit(FFocusedNode, HitInfo.HitColumn)) {
        SwitchStates({tsEditPending}, {});
        FEditColumn = FFocusedColumn;
        SetTimer(this, EditTimer, 0);
        FEditFromDblClick = true;
    }
}

// ---------------------------------------------------------------------------
// Mouse move
// ---------------------------------------------------------------------------

void TBaseLazyTree::MouseMove(TShiftState Shift, int X, int Y) {
    if (FStates.Contains(tsNodeHeightTrackPending)) {
        Application()->CancelHint();
        EndWheelPanning();
        for (unsigned id : {ExpandTimer, EditTimer, HeaderTimer, ScrollTimer, SearchTimer}) KillTreeTimer(id);
        FSearchBuffer.clear();
        FLastSearchNode = nullptr;
        SwitchStates({tsNodeHeightTracking},
                     {tsEditPending, tsNodeHeightTrackPending, tsIncrementalSearching, tsOLEDragPending, tsScrolling,
                      tsScrollPending, tsVCLDragPending});
    }
    if (FStates.Contains(tsDrawSelPending)) {
        if (TrackSelectionRect(X, Y)) {
            const TRect r = Ordered(FNewSelRect);
            TRect c = r;
            OffsetRect(c, -FEffectiveOffsetX, FOffsetY);
            InvalidateRect(this, &c, false);
            UpdateWindow(this);
        }
        const TRect r = Ordered(FNewSelRect);
        if (r.Width() > DefaultDragThreshold || r.Height() > DefaultDragThreshold) {
            if (FStates.Contains(tsClearPending)) {
                SwitchStates({}, {tsClearPending});
                ClearSelection();
            }
            SwitchStates({tsDrawSelecting}, {tsDrawSelPending});
            FFocusedColumn = MainColumn();
            if (UpdateRubberBandSelection()) Invalidate();
        }
        return;
    }
    if (FStates.Contains(tsNodeHeightTracking)) {
        // The tracked node is gone when it was freed meanwhile.
        if (!FHeightTrackNode) return;
        if (FireNodeHeightTracking(FHeightTrackNode, FHeightTrackColumn, KeyboardShiftState(), FHeightTrackPoint,
                                   TPoint(X, Y))) {
            const int height = std::max(Y, FHeightTrackPoint.Y + 1) - FHeightTrackPoint.Y;
            SetNodeHeight(FHeightTrackNode, uint32_t(height));
            UpdateWindow(this);
        }
        return;
    }
    if (FStates.ContainsAll({tsWheelPanning, tsWheelScrolling}) &&
        (std::abs(FLastClickPos.X - X) >= DefaultDragThreshold ||
         std::abs(FLastClickPos.Y - Y) >= DefaultDragThreshold))
        SwitchStates({}, {tsWheelScrolling});
    if (FStates.Contains(tsOLEDragPending) &&
        (std::abs(FLastClickPos.X - X) >= FDragThreshold || std::abs(FLastClickPos.Y - Y) >= FDragThreshold)) {
        RunOLEDragDrop(FLastClickPos);
        return;
    }
    if (AutoScrollAllowed()) ArmAutoScroll(X, Y);
    if (FStates.ContainsAny({tsWheelPanning, tsWheelScrolling})) ChoosePanningCursor(X, Y);
    if (!IsMouseSelecting()) {
        TrackHotNode(X, Y);
        TCustomControl::MouseMove(Shift, X, Y);
        return;
    }
    // The rubber band runs.
    if (FStates.Contains(tsScrolling) || !TrackSelectionRect(X, Y)) return;
    if (UpdateRubberBandSelection()) {
        Invalidate();
    } else {
        TRect u = Ordered(FNewSelRect);
        const TRect l = Ordered(FLastSelRect);
        u = Rect(std::min(u.Left, l.Left), std::min(u.Top, l.Top), std::max(u.Right, l.Right) + 1,
                 std::max(u.Bottom, l.Bottom) + 1);
        OffsetRect(u, -FEffectiveOffsetX, FOffsetY);
        InvalidateRect(this, &u, false);
    }
    UpdateWindow(this);
}

// ---------------------------------------------------------------------------
// The rubber band
// ---------------------------------------------------------------------------

bool TBaseLazyTree::TrackSelectionRect(int X, int Y) {
    if (FStates.Contains(tsDrawSelecting)) FLastSelRect = FNewSelRect;
    const int maxX = int(std::max<int64_t>(ClientWidth(), RangeX()));
    const int maxY = int(std::max<int64_t>(ClientHeight(), RangeY()));
    const int nx = std::clamp(X + FEffectiveOffsetX, 0, maxX);
    const int ny = std::clamp(Y - FOffsetY, 0, maxY);
    const bool changed = nx != FNewSelRect.Right || ny != FNewSelRect.Bottom;
    FNewSelRect.Right = nx;
    FNewSelRect.Bottom = ny;
    return changed;
}

bool TBaseLazyTree::UpdateRubberBandSelection() {
    if (FRoot->TotalCount <= 2 || !FStates.Contains(tsDrawSelecting)) return false;
    const TRect oldRect = Ordered(FLastSelRect);
    const TRect newRect = Ordered(FNewSelRect);
    ResetTempCache();

    const TColumnIndex main = MainColumn();
    TBiDiMode bidi = FBiDiMode;
    TAlignment alignment = FAlignment;
    int colLeft = 0, colRight = ClientWidth();
    if (IsValidColumn(main)) {
        TLazyTreeColumn* c = FHeader->Columns()->Items(main);
        bidi = c->BiDiMode();
        alignment = c->Alignment();
        colLeft = c->Left() - FEffectiveOffsetX;
        colRight = colLeft + c->Width();
    }
    const bool rtl = bidi != bdLeftToRight;
    const TLTSelectionOptions sel = FOptions->SelectionOptions();
    const bool simple = rtl ? sel.Contains(toSimpleDrawSelection)
                            : sel.ContainsAny({toSimpleDrawSelection, toFullRowSelect});
    const bool withColumns = HeaderUsesColumns();
    const int totalWidth = withColumns ? FHeader->Columns()->TotalWidth() : 0;
    const bool ctrl = (FDrawSelShiftState & ssCtrl) != 0;
    const bool checks = FOptions->MiscOptions().Contains(toCheckSupport) && CheckImages();
    const bool showRoot = FOptions->PaintOptions().Contains(toShowRoot);
    const bool autoSpan = FOptions->AutoOptions().Contains(toAutoSpanColumns);

    // Whether a node lies inside a rectangle (tree coordinates).
    auto inside = [&](PLazyNode node, int top, int height, const TRect& r) {
        if (top > r.Bottom || top + height <= r.Top) return false;
        const int level = int(GetNodeLevel(node)) + (showRoot ? 1 : 0);
        int start = FMargin + level * int(FIndent);
        if (checks && node->CheckType != ctNone) start += CheckImages()->Width() + 2;
        if (FImages && NodeHasImage(node, ikNormal, main)) start += NodeImageSize(node).X + 2;
        if (FStateImages && NodeHasImage(node, ikState, main)) start += FStateImages->Width() + 2;
        if (simple) {
            if (rtl) return true;
            if (withColumns && r.Left >= totalWidth) return false;
            return colLeft + start < r.Right;
        }
        // The text box.
        int limitRight = colRight;
        if (autoSpan && !rtl && withColumns && main >= 0)
            for (TColumnIndex next = FHeader->Columns()->GetNextVisibleColumn(main);
                 next >= 0 && FireGetCellIsEmpty(node, next); next = FHeader->Columns()->GetNextVisibleColumn(next))
                limitRight += FHeader->Columns()->Items(next)->Width();
        const int width = NodeWidth(node, main, nullptr);
        int boxLeft, boxRight;
        if (!rtl) {
            const int textStart = colLeft + start;
            const int space = limitRight - textStart;
            if ((textStart > oldRect.Left && textStart > newRect.Left && alignment == taLeftJustify) ||
                width > space) {
                boxLeft = textStart;
                boxRight = limitRight;
            } else if (alignment == taCenter) {
                boxLeft = textStart + (space - width) / 2;
                boxRight = boxLeft + width;
            } else if (alignment == taRightJustify) {
                boxLeft = limitRight - width;
                boxRight = limitRight;
            } else {
                boxLeft = textStart;
                boxRight = textStart + width;
            }
        } else {
            const int textEnd = colRight - start;
            const int space = textEnd - colLeft;
            if (width > space) {
                boxLeft = colLeft;
                boxRight = textEnd;
            } else if (alignment == taCenter) {
                boxLeft = colLeft + (space - width) / 2;
                boxRight = boxLeft + width;
            } else if (alignment == taLeftJustify) {
                boxLeft = colLeft;
                boxRight = colLeft + width;
            } else {
                boxLeft = textEnd - width;
                boxRight = textEnd;
            }
        }
        return boxLeft < r.Right && boxRight > r.Left;
    };

    bool changed = false;
    const int minTop = std::min(oldRect.Top, newRect.Top);
    const int maxBottom = std::max(oldRect.Bottom, newRect.Bottom);
    int top = 0;
    PLazyNode run = GetNodeAt(0, minTop, false, top);
    while (run && top <= maxBottom) {
        const int h = int(GetNodeHeight(run));
        const bool wasIn = inside(run, top, h, oldRect);
        const bool isIn = inside(run, top, h, newRect);
        if (wasIn != isIn) {
            if (ctrl) {
                if (run->States.Contains(vsSelected)) DetachFromSelection(run);
                else StageForSelection(run);
            } else if (isIn) {
                if (!run->States.Contains(vsSelected)) StageForSelection(run);
            } else if (run->States.Contains(vsSelected)) {
                DetachFromSelection(run);
            }
            changed = true;
        }
        top += h;
        run = GetNextVisibleNoInit(run, true);
    }
    if (changed) {
        const int n = CompactSelection(FSelection.size(), FSelection);
        FSelection.resize(n < 0 ? 0 : n);
        IncludeNodesInSelection(FTempNodeCache, int(FTempNodeCount), false);
        ResetTempCache();
        RequestChange(nullptr);
    }
    return changed;
}
