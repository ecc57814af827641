// Check boxes with their propagation, expanding and collapsing nodes, and the
// areas an expand or collapse animation moves.
#include "treeview/LazyTrees.h"

#include "platform/controls/Forms.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// State tables
// ---------------------------------------------------------------------------

namespace {
struct TCheckStateRow {
    TCheckState Pressed, Released, Enabled, Toggled;
};
// Indexed by the current state, in the enumeration's order.
const TCheckStateRow CheckStateTable[] = {
    {csUncheckedPressed, csUncheckedNormal, csUncheckedNormal, csCheckedNormal},
    {csUncheckedPressed, csUncheckedNormal, csUncheckedPressed, csCheckedPressed},
    {csCheckedPressed, csCheckedNormal, csCheckedNormal, csUncheckedNormal},
    {csCheckedPressed, csCheckedNormal, csCheckedPressed, csUncheckedPressed},
    {csMixedPressed, csMixedNormal, csMixedNormal, csCheckedNormal},
    {csMixedPressed, csMixedNormal, csMixedPressed, csCheckedPressed},
    {csUncheckedDisabled, csUncheckedDisabled, csUncheckedNormal, csUncheckedDisabled},
    {csCheckedDisabled, csCheckedDisabled, csCheckedNormal, csCheckedDisabled},
    {csMixedDisabled, csMixedDisabled, csMixedNormal, csMixedDisabled},
};
static_assert(std::size(CheckStateTable) == csMixedDisabled + 1);

bool IsBoxType(TCheckType t) { return t == ctTriStateCheckBox || t == ctCheckBox; }
}  // namespace

TCheckState TBaseLazyTree::PressedCheckState(TCheckState s) { return CheckStateTable[s].Pressed; }
TCheckState TBaseLazyTree::ReleasedCheckState(TCheckState s) { return CheckStateTable[s].Released; }
TCheckState TBaseLazyTree::EnabledCheckState(TCheckState s) { return CheckStateTable[s].Enabled; }
TCheckState TBaseLazyTree::ToggledCheckState(TCheckState s) { return CheckStateTable[s].Toggled; }

bool TBaseLazyTree::IsCheckStateDisabled(TCheckState s) {
    return s == csUncheckedDisabled || s == csCheckedDisabled || s == csMixedDisabled;
}

bool TBaseLazyTree::IsCheckStateChecked(TCheckState s) {
    return s == csCheckedNormal || s == csCheckedPressed || s == csCheckedDisabled;
}

TCheckState TBaseLazyTree::CheckStateAfterClick(TCheckType Type, TCheckState State) const {
    switch (Type) {
    case ctTriStateCheckBox:
    case ctCheckBox: return ToggledCheckState(State);
    case ctRadioButton: return csCheckedNormal;
    case ctButton: return csUncheckedNormal;
    default: return csMixedNormal;
    }
}

// ---------------------------------------------------------------------------
// Changing check states
// ---------------------------------------------------------------------------

void TBaseLazyTree::SetCheckState(PLazyNode Node, TCheckState Value) {
    if (!Node || Node == FRoot) return;
    if (Node->CheckState == Value || Node->States.Contains(vsDisabled)) return;
    if (FireChecking(Node, Value)) CommitCheckState(Node, Value);
}

bool TBaseLazyTree::FireChecking(PLazyNode Node, TCheckState& NewState) {
    if (IsReadOnly()) return false;
    bool allowed = true;
    if (OnChecking) OnChecking(this, Node, NewState, allowed);
    return allowed;
}

void TBaseLazyTree::FireChecked(PLazyNode Node) {
    if (OnChecked) OnChecked(this, Node);
    NotifyAccessibleStateChange();
}

void TBaseLazyTree::CommitCheckState(PLazyNode Node, TCheckState Value) {
    if (ApplyCheckState(Node, Value)) FireChecked(Node);
}

bool TBaseLazyTree::ApplyCheckState(PLazyNode Node, TCheckState Value) {
    if (Node->States.Contains(vsChecking)) return false;
    Node->States.Include(vsChecking);
    bool result = true;
    bool counted = false;
    try {
        if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
        else if (Node->CheckState == Value) {
            Node->States.Exclude(vsChecking);
            return false;
        }
        if (FCheckPropagationCount == 0) SwitchStates({tsCheckPropagation}, {});
        ++FCheckPropagationCount;
        counted = true;
        const bool tracking = FOptions->AutoOptions().Contains(toAutoTristateTracking);

        // Children follow a tri-state parent.
        if (Node->CheckType == ctTriStateCheckBox && tracking &&
            (Value == csUncheckedNormal || Value == csCheckedNormal) && Node->ChildCount > 0) {
            int unchecked = 0, checked = 0, mixed = 0;
            for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling) {
                if (!IsBoxType(child->CheckType)) continue;
                if (!IsCheckStateDisabled(child->CheckState)) SetCheckState(child, Value);
                const TCheckState s = child->CheckState;
                if (Value == csUncheckedNormal) {
                    if (s == csUncheckedNormal || s == csUncheckedDisabled) ++unchecked;
                    else if (s == csCheckedNormal || s == csCheckedDisabled) ++checked;
                    else if (s == csMixedNormal) ++mixed;
                } else {
                    if (s == csUncheckedNormal) ++unchecked;
                    else if (s == csCheckedNormal) ++checked;
                    else if (s == csMixedNormal) ++mixed;
                }
            }
            if (mixed > 0 || (checked > 0 && unchecked > 0)) Value = csMixedNormal;
            else if (checked > 0 && unchecked == 0) Value = csCheckedNormal;
        }

        // Radio buttons exclude their siblings.
        if (Node->CheckType == ctRadioButton && Value == csCheckedNormal) {
            for (PLazyNode run = Node->Parent->FirstChild; run; run = run->NextSibling)
                if (run->CheckType == ctRadioButton) run->CheckState = csUncheckedNormal;
            InvalidateTree();
        }

        Node->CheckState = Value;
        PLazyNode parent = Node->Parent;
        if (parent != FRoot && !parent->States.Contains(vsInitialized)) InitializeNode(parent);

        // A tri-state parent follows its children.
        if (tracking && parent != FRoot && !parent->States.ContainsAny({vsChecking, vsDisabled}) &&
            IsBoxType(Node->CheckType) && parent->CheckType == ctTriStateCheckBox)
            result = DeriveParentCheckState(Node, Value);
        InvalidateNode(Node);
    } catch (...) {
        Node->States.Exclude(vsChecking);
        if (counted && --FCheckPropagationCount == 0) SwitchStates({}, {tsCheckPropagation});
        throw;
    }
    Node->States.Exclude(vsChecking);
    if (counted && --FCheckPropagationCount == 0) SwitchStates({}, {tsCheckPropagation});
    return result;
}

bool TBaseLazyTree::DeriveParentCheckState(PLazyNode Node, TCheckState NewState) {
    PLazyNode parent = Node->Parent;
    uint32_t total = 0, checked = 0;
    bool mixed = false;
    for (PLazyNode run = parent->FirstChild; run; run = run->NextSibling) {
        if (!IsBoxType(run->CheckType)) continue;
        const TCheckState s = run == Node ? NewState : run->CheckState;
        ++total;
        if (IsCheckStateChecked(s)) ++checked;
        if (s == csMixedNormal) mixed = true;
    }
    TCheckState state;
    if (checked == 0 && !mixed) state = csUncheckedNormal;
    else if (checked < total) state = csMixedNormal;
    else state = csCheckedNormal;
    const bool allowed = FireChecking(parent, state);
    if (allowed) CommitCheckState(parent, state);
    return allowed;
}

void TBaseLazyTree::SetCheckType(PLazyNode Node, TCheckType Value) {
    if (!Node || Node == FRoot || Node->CheckType == Value || IsReadOnly()) return;
    Node->CheckType = Value;
    if (Value != ctTriStateCheckBox && (Node->CheckState == csMixedNormal || Node->CheckState == csMixedPressed))
        Node->CheckState = csUncheckedNormal;
    PLazyNode parent = Node->Parent;
    if (FOptions->AutoOptions().Contains(toAutoTristateTracking) && IsBoxType(Value) && parent != FRoot) {
        if (!parent->States.Contains(vsInitialized)) InitializeNode(parent);
        if (parent->CheckType == ctTriStateCheckBox) {
            if (parent->CheckState == csUncheckedNormal || parent->CheckState == csUncheckedDisabled)
                SetCheckState(Node, csUncheckedNormal);
            else if (parent->CheckState == csCheckedNormal || parent->CheckState == csCheckedDisabled)
                SetCheckState(Node, csCheckedNormal);
        }
    }
    InvalidateNode(Node);
}

void TBaseLazyTree::SetCheckStateForAll(TCheckState aCheckState, bool pSelectedOnly, bool pExcludeDisabled) {
    Screen()->SetCursor(crHourGlass);
    BeginUpdate();
    try {
        PLazyNode run = pSelectedOnly ? GetFirstSelected(false) : GetFirst(false);
        while (run) {
            if (!(pExcludeDisabled && IsCheckStateDisabled(run->CheckState))) SetCheckState(run, aCheckState);
            run = pSelectedOnly ? GetNextSelected(run, false) : GetNext(run, false);
        }
    } catch (...) {
        EndUpdate();
        Screen()->SetCursor(crDefault);
        throw;
    }
    EndUpdate();
    Screen()->SetCursor(crDefault);
}

void TBaseLazyTree::ClearChecked() {
    for (PLazyNode run = GetFirstNoInit(false); run; run = GetNextNoInit(run, false))
        if (run->CheckState != csUncheckedNormal) SetCheckState(run, csUncheckedNormal);
}

bool TBaseLazyTree::PressCheckBox(PLazyNode Node, bool ByKey) {
    if (!Node || Node == FRoot || Node->States.Contains(vsDisabled)) return false;
    TCheckState newState = CheckStateAfterClick(Node->CheckType, Node->CheckState);
    if (!FireChecking(Node, newState)) return false;
    SwitchStates({ByKey ? tsKeyCheckPending : tsMouseCheckPending}, {});
    FCheckNode = Node;
    FPendingCheckState = newState;
    Node->CheckState = PressedCheckState(Node->CheckState);
    InvalidateNode(Node);
    return true;
}

void TBaseLazyTree::ReleaseCheckBox(bool OnSameNode) {
    PLazyNode node = FCheckNode;
    SwitchStates({}, {tsKeyCheckPending, tsMouseCheckPending});
    if (!node) return;
    FCheckNode = nullptr;
    if (OnSameNode) {
        // The pressed form goes first, so that the commit sees a change.
        node->CheckState = ReleasedCheckState(node->CheckState);
        CommitCheckState(node, FPendingCheckState);
    } else {
        node->CheckState = ReleasedCheckState(node->CheckState);
    }
    InvalidateNode(node);
}

// ---------------------------------------------------------------------------
// Expanding and collapsing
// ---------------------------------------------------------------------------

bool TBaseLazyTree::FireExpanding(PLazyNode Node) {
    bool allowed = true;
    if (OnExpanding) OnExpanding(this, Node, allowed);
    return allowed;
}

bool TBaseLazyTree::FireCollapsing(PLazyNode Node) {
    bool allowed = true;
    if (OnCollapsing) OnCollapsing(this, Node, allowed);
    return allowed;
}

void TBaseLazyTree::FireExpanded(PLazyNode Node) {
    if (OnExpanded) OnExpanded(this, Node);
    NotifyAccessibleStateChange();
}

void TBaseLazyTree::FireCollapsed(PLazyNode Node) {
    if (OnCollapsed) OnCollapsed(this, Node);
    NotifyAccessibleStateChange();
    if (FOptions->SelectionOptions().Contains(toAlwaysSelectNode)) {
        PLazyNode first = GetFirstSelected(false);
        if (first && !GetFullyVisible(first)) {
            SetSelected(first, false);
            PLazyNode parent = GetVisibleParent(first, false);
            if (parent != FRoot) SetSelected(parent, true);
        }
        if (FSelectionCount == 0) EnsureNodeSelected();
    }
}

void TBaseLazyTree::ToggleNode(PLazyNode Node) {
    LTAssert(Node != nullptr, QStringLiteral("Node must not be nil."));
    if (Node == FRoot || Node->States.ContainsAny({vsDeleting, vsToggling})) return;
    const bool wasToggling = FStates.Contains(tsToggling);
    // The node's own states change until the end: the worker waits for it.
    StopCacheValidation();
    ++FHoldValidation;
    auto done = [&] {
        Node->States.Exclude(vsToggling);
        if (!wasToggling) SwitchStates({}, {tsToggling});
        if (--FHoldValidation == 0 && FValidationHeld) {
            FValidationHeld = false;
            StartCacheValidation();
        }
    };
    SwitchStates({tsToggling}, {});
    Node->States.Include(vsToggling);
    try {
        ExpandOrCollapse(Node);
    } catch (...) {
        done();
        throw;
    }
    done();
}

// The measures of a toggle, taken before the node changes.
TLTToggleMeasures TBaseLazyTree::ToggleMeasures(PLazyNode Node, int ShownOrDelta) {
    TLTToggleMeasures m;
    const TRect r = GetDisplayRect(Node, NoColumn, false);
    m.R = {r.Left, r.Top, r.Right, r.Bottom};
    m.CH = ClientHeight();
    m.NH = Node->NodeHeight;
    m.OffsetY = FOffsetY;
    m.RangeY = int(RangeY());
    m.ShownOrDelta = ShownOrDelta;
    m.ChildrenAbove = FOptions->PaintOptions().Contains(toChildrenAbove);
    m.AdvancedAnimatedToggle = FOptions->AnimationOptions().Contains(toAdvancedAnimatedToggle);
    m.AutoScrollOnExpand = FOptions->AutoOptions().Contains(toAutoScrollOnExpand);
    return m;
}

void TBaseLazyTree::ExpandOrCollapse(PLazyNode Node) {
    bool allowed = false;
    // The view's measures matter only outside updates, on a window.
    const bool viewed = FUpdateCount == 0 && HandleAllocated();
    TLTToggleMeasures m;
    bool haveMeasures = false;
    bool repaintAll = false;
    if (Node->States.Contains(vsExpanded)) {
        if (!FireCollapsing(Node)) return;
        allowed = true;
        const int shown = int(Node->TotalHeight) - int(Node->NodeHeight);
        if (viewed) {
            m = ToggleMeasures(Node, shown);
            haveMeasures = true;
        }
        // The worker reads what follows: it lets go of this tree first.
        StopCacheValidation();
        if (FUpdateCount == 0 && FOptions->AnimationOptions().Contains(toAnimatedToggle) &&
            !FStates.Contains(tsCollapsing)) {
            CancelNodeHint();
            if (haveMeasures) {
                UpdateWindow(this);
                const TLTToggleBand band = CollapseBand(m);
                repaintAll = band.RepaintAll;
                if (band.Animate && m.CH > band.FirstArea.Top) RunToggleBand(band);
            }
        }
        const uint32_t shownDescendants = GetFullyVisible(Node) ? VisibleDescendantCount(Node) : 0;
        ShiftTotalHeight(Node, GetEffectivelyFiltered(Node) ? 0 : Node->NodeHeight, false);
        FVisibleCount = uint32_t(std::max<int64_t>(0, int64_t(FVisibleCount) - shownDescendants));
        Node->States.Exclude(vsExpanded);
        FireCollapsed(Node);
        if (FOptions->AutoOptions().Contains(toAutoFreeOnCollapse) && Node->ChildCount > 0) {
            DeleteChildren(Node, false);
            Node->States.Include(vsHasChildren);
        }
    } else {
        if (!FireExpanding(Node)) return;
        allowed = true;
        StopCacheValidation();
        if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
        if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0) InitializeChildren(Node);
        if (Node->ChildCount > 0) {
            int64_t delta = 0;
            for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling) {
                if (!child->States.Contains(vsVisible)) continue;
                MeasureItemHeight(child);
                delta += child->TotalHeight;
            }
            if (FUpdateCount == 0) {
                if (viewed) {
                    m = ToggleMeasures(Node, int(delta));
                    haveMeasures = true;
                }
                if (haveMeasures && m.R.Top < m.CH && !FStates.ContainsAny({tsExpanding, tsPainting}) &&
                    FOptions->AnimationOptions().Contains(toAnimatedToggle)) {
                    CancelNodeHint();
                    UpdateWindow(this);
                    const TLTToggleBand band = ExpandBand(m);
                    if (band.Animate && band.FirstArea.Top <= m.CH) RunToggleBand(band);
                }
                if (FOptions->AutoOptions().Contains(toAutoSort) && bool(OnCompareNodes))
                    Sort(Node, SortColumn(), SortDirection(), false);
            }
            Node->States.Include(vsExpanded);
            ShiftTotalHeight(Node, delta, true);
            if (GetFullyVisible(Node)) FVisibleCount += VisibleDescendantCount(Node);
            FireExpanded(Node);
        }
    }
    if (!allowed) return;
    InvalidatePositionCache();
    if (FUpdateCount > 0) {
        UpdateRanges();
        return;
    }
    StartCacheValidation();
    if (Node->ChildCount == 0) {
        InvalidateNode(Node);
        return;
    }
    UpdateRanges();
    UpdateScrollBars(true);
    if (haveMeasures && !FStates.ContainsAny({tsExpanding, tsPainting})) {
        const TLTExpandFits f = ExpandFits(m);
        const bool childrenAbove = FOptions->PaintOptions().Contains(toChildrenAbove);
        const bool autoScroll = FOptions->AutoOptions().Contains(toAutoScrollOnExpand);
        if (Node->States.Contains(vsExpanded) && childrenAbove) {
            if ((f.Tall && f.Room && f.RowIn) || !autoScroll) {
                SetOffsetY(FOffsetY - m.ShownOrDelta);
            } else if (f.Fits && f.RowIn) {
                if (PLazyNode child = GetFirstVisible(Node, true, false))
                    SetOffsetY(FOffsetY - GetDisplayRect(child, NoColumn, false).Top);
            } else {
                SetBottomNode(Node);
            }
            repaintAll = true;
        } else if (Node->States.Contains(vsExpanded) && autoScroll) {
            if (f.Fits) {
                if (ScrollIntoView(GetLastVisible(Node, true, false), false, false)) repaintAll = true;
            } else {
                SetTopNode(Node);
                repaintAll = true;
            }
        } else {
            if (childrenAbove) SetOffsetY(FOffsetY + m.ShownOrDelta);
            repaintAll = true;
        }
    }
    if (repaintAll) InvalidateTree();
    else InvalidateToBottom(Node);
}

void TBaseLazyTree::FullExpand(PLazyNode Node) {
    if (FRoot->TotalCount < 2) return;
    const bool was = FStates.Contains(tsExpanding);
    SwitchStates({tsExpanding}, {});
    OpenOperation(okExpand);
    BeginUpdate();
    auto done = [&] {
        EndUpdate();
        CloseOperation(okExpand);
        if (!was) SwitchStates({}, {tsExpanding});
    };
    try {
        PLazyNode stop = Node ? NextOutsideSubtree(Node) : nullptr;
        PLazyNode run = Node;
        if (run) {
            if (!run->States.Contains(vsInitialized)) InitializeNode(run);
        } else {
            run = GetFirst(false);
        }
        while (run && run != stop && !OperationCanceled()) {
            if (!run->States.Contains(vsExpanded)) ToggleNode(run);
            run = GetNext(run, false);
        }
    } catch (...) {
        done();
        throw;
    }
    done();
}

void TBaseLazyTree::FullCollapse(PLazyNode Node) {
    if (FRoot->TotalCount < 2) return;
    if (Node == FRoot) Node = nullptr;
    const bool was = FStates.Contains(tsCollapsing);
    SwitchStates({tsCollapsing}, {});
    BeginUpdate();
    auto done = [&] {
        EndUpdate();
        if (!was) SwitchStates({}, {tsCollapsing});
    };
    try {
        PLazyNode run = GetLastVisibleNoInit(Node, true, true);
        while (run && run != Node) {
            PLazyNode prev = GetPreviousNoInit(run, true);
            if (run->States.ContainsAll({vsExpanded, vsHasChildren})) ToggleNode(run);
            run = prev;
        }
        if (Node && Node->States.ContainsAll({vsExpanded, vsHasChildren})) ToggleNode(Node);
    } catch (...) {
        done();
        throw;
    }
    done();
}

// ---------------------------------------------------------------------------
// Animation bands
// ---------------------------------------------------------------------------

TLTToggleBand CollapseBand(const TLTToggleMeasures& m) {
    TLTToggleBand b;
    const TLTToggleRect& R = m.R;
    const int Shown = m.ShownOrDelta;
    b.FirstArea = R;
    b.SecondMode = tmStill;
    b.D1 = 0;
    if (m.ChildrenAbove) {
        if (!(m.CH > R.Top)) {
            b.Animate = false;
            return b;
        }
        if (Shown + m.OffsetY <= 0 || !m.AdvancedAnimatedToggle) {
            b.FirstMode = tmDown;
            b.FirstArea = {R.Left, 0, R.Right, R.Top};
            b.D1 = std::min(Shown, R.Top + 1);
        } else {
            b.FirstMode = tmUp;
            b.FirstArea = {R.Left, std::max(0, R.Top - Shown), R.Right, m.CH};
            b.D1 = m.OffsetY + Shown;
        }
    } else if (m.CH > m.RangeY + m.OffsetY - Shown && m.CH < m.RangeY && m.OffsetY != 0 && m.AdvancedAnimatedToggle) {
        // The content would end above the client bottom: everything above
        // the node's row slides down instead. The band reaches down to the
        // node's row bottom.
        b.FirstMode = tmDown;
        b.FirstArea = {R.Left, 0, R.Right, std::min(R.Bottom, m.CH)};
        b.D1 = std::min(m.CH - m.RangeY - m.OffsetY + Shown, -m.OffsetY);
        b.RepaintAll = true;
    } else {
        b.FirstMode = tmUp;
        b.FirstArea = {R.Left, R.Top + m.NH, R.Right, m.CH};
        b.D1 = std::min(Shown, m.CH - (R.Top + m.NH) + 1);
    }
    b.Animate = m.CH > b.FirstArea.Top;
    return b;
}

TLTExpandFits ExpandFits(const TLTToggleMeasures& m) {
    TLTExpandFits f;
    const int Delta = m.ShownOrDelta;
    f.Fits = m.NH + Delta <= m.CH;
    if (m.ChildrenAbove) {
        f.Tall = f.Fits && m.RangeY >= m.CH;
        f.Room = m.R.Top >= Delta;
        f.RowIn = m.R.Bottom <= m.CH;
    } else {
        f.Tall = f.Fits;
        f.Room = m.R.Bottom + Delta <= m.CH;
    }
    return f;
}

TLTToggleBand ExpandBand(const TLTToggleMeasures& m) {
    TLTToggleBand b;
    const TLTToggleRect& R = m.R;
    const int Delta = m.ShownOrDelta;
    const int CH = m.CH;
    const TLTExpandFits f = ExpandFits(m);
    b.FirstArea = {R.Left, R.Top, R.Right, CH};
    b.SecondMode = tmStill;
    if (m.ChildrenAbove) {
        if (!m.AdvancedAnimatedToggle || (f.Tall && ((f.RowIn && f.Room) || !m.AutoScrollOnExpand))) {
            b.FirstMode = tmUp;
            b.FirstArea = {R.Left, 0, R.Right, R.Top};
            b.D1 = std::min(R.Top, Delta);
        } else {
            b.FirstMode = tmDown;
            b.SecondMode = tmUp;
            b.SecondArea = {R.Left, 0, R.Right, R.Top};
            if (!m.AutoScrollOnExpand) {
                const int E = m.RangeY + Delta - CH;
                b.D1 = -m.OffsetY - std::max(0, E) + Delta;
                if (E <= 0) b.SecondMode = tmStill;
                else b.D2 = std::min(E, R.Top);
            } else {
                if (f.Fits && f.RowIn && CH < m.RangeY + Delta)
                    b.D1 = R.Top <= Delta ? Delta - R.Top : CH - m.RangeY;
                else if (CH >= m.RangeY + Delta) {
                    b.SecondMode = tmStill;
                    b.D1 = Delta;
                } else {
                    b.D1 = CH - R.Top - m.NH;
                }
                if (b.SecondMode != tmStill) {
                    if (b.D1 > 0) b.D2 = std::min(Delta - b.D1, R.Top);
                    else {
                        b.FirstMode = tmStill;
                        b.D2 = std::min(CH, Delta);
                    }
                }
            }
        }
    } else if ((f.Tall && f.Room) || !m.AutoScrollOnExpand || !m.AdvancedAnimatedToggle || R.Top <= 0) {
        b.FirstMode = tmDown;
        b.FirstArea = {R.Left, R.Top + m.NH, R.Right, CH};
        b.D1 = std::min(CH - R.Top - m.NH, Delta);
    } else {
        const int S = R.Top + m.NH + 1;
        b.FirstMode = tmUp;
        b.FirstArea = {R.Left, 0, R.Right, S};
        b.SecondMode = tmDown;
        b.SecondArea = {R.Left, S, R.Right, CH};
        b.D1 = std::min(Delta - (CH - S), R.Top + 1);
        b.D2 = CH - S;
    }
    b.Animate = b.FirstArea.Top <= CH;
    // Two moving areas run in step: the longer distance leads.
    if (b.FirstMode != tmStill && b.SecondMode != tmStill && b.D1 < b.D2) {
        std::swap(b.FirstArea, b.SecondArea);
        std::swap(b.FirstMode, b.SecondMode);
        std::swap(b.D1, b.D2);
    }
    return b;
}
