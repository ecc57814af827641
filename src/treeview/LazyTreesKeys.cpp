// The lazy tree's keyboard: navigation, selection, expansion, check boxes by
// the space bar, popup, help and edit keys, and the incremental search.
#include "treeview/LazyTrees.h"

#include "platform/controls/Input.h"
#include "platform/controls/StdMessages.h"

#include <algorithm>

namespace {

TShiftState KeyDataShift() { return KeyboardShiftState() & (ssShift | ssAlt | ssCtrl); }

// The character a key makes on the main keyboard with the Ctrl key left
// out: "*", "+", "-" and "/" act as the numeric pad's keys.
unsigned PadEquivalent(unsigned key, TShiftState shift) {
    const QChar ch = Input::CharForKey(key, shift & ~ssCtrl);
    switch (ch.unicode()) {
    case '*': return VK_MULTIPLY;
    case '+': return VK_ADD;
    case '-': return VK_SUBTRACT;
    case '/': return VK_DIVIDE;
    default: return key;
    }
}

}  // namespace

bool TBaseLazyTree::FireKeyAction(uint16_t& CharCode, TShiftState& Shift) {
    bool doDefault = true;
    if (OnKeyAction) OnKeyAction(this, CharCode, Shift, doDefault);
    return doDefault;
}

int TBaseLazyTree::FireIncrementalSearch(PLazyNode Node, const QString& Text) {
    int result = 0;
    if (OnIncrementalSearch) OnIncrementalSearch(this, Node, Text, result);
    return result;
}

void TBaseLazyTree::SetIncrementalSearch(TLTIncrementalSearch Value) {
    if (IncrementalSearch == Value) return;
    IncrementalSearch = Value;
    if (Value == isNone) {
        KillTreeTimer(SearchTimer);
        ResetIncrementalSearch();
        SwitchStates({}, {tsIncrementalSearching});
    }
}

void TBaseLazyTree::ResetIncrementalSearch() {
    FSearchBuffer.clear();
    FLastSearchNode = nullptr;
}

void TBaseLazyTree::WMGetDlgCode(TMessage& M) {
    M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (WantTabs) M.Result |= DLGC_WANTTAB;
}

// ---------------------------------------------------------------------------
// Key down
// ---------------------------------------------------------------------------

void TBaseLazyTree::WMKeyDown(TMessage& M) {
    // The class library's handling first (OnKeyDown may swallow the key).
    TCustomControl::WMKeyDown(M);
    if (M.WParam == 0) return;
    uint16_t charCode = uint16_t(M.WParam);
    TShiftState shift = KeyDataShift();
    if (!FireKeyAction(charCode, shift)) return;

    if (FStates.Contains(tsKeyCheckPending) && charCode != VK_SPACE) {
        SwitchStates({}, {tsKeyCheckPending});
        if (PLazyNode n = FCheckNode) {
            n->CheckState = ReleasedCheckState(n->CheckState);
            InvalidateNode(n);
        }
        FCheckNode = nullptr;
    }

    const bool navigation = charCode == VK_BACK || charCode == VK_TAB || (charCode >= VK_PRIOR && charCode <= VK_DOWN);
    if (navigation && FRoot->ChildCount > 0) {
        NavigationKey(charCode, shift);
        return;
    }

    const unsigned key = PadEquivalent(charCode, shift);
    const bool ctrl = (shift & ssCtrl) != 0, alt = (shift & ssAlt) != 0;
    const bool searching = FStates.Contains(tsIncrementalSearching);
    auto searched = [&] { SwitchStates({tsIncrementalSearchPending}, {}); };
    switch (key) {
    case VK_ESCAPE:
        if (FStates.ContainsAny({tsDrawSelPending, tsDrawSelecting})) {
            SwitchStates({}, {tsDrawSelPending, tsDrawSelecting});
            Invalidate();
        } else if (FStates.Contains(tsEditing)) {
            CancelEditNode();
        }
        break;
    case VK_SPACE:
        if (FOptions->MiscOptions().Contains(toCheckSupport) && FFocusedNode && FFocusedNode->CheckType != ctNone) {
            if (!FStates.ContainsAny({tsKeyCheckPending, tsMouseCheckPending}) &&
                !FFocusedNode->States.Contains(vsDisabled))
                PressCheckBox(FFocusedNode, true);
        } else {
            searched();
        }
        break;
    case 'A':
        if (ctrl) SelectAll(true);
        else searched();
        break;
    case VK_APPS:
        if (FFocusedNode) {
            const TRect r = GetDisplayRect(FFocusedNode, FFocusedColumn, true);
            int limit = ClientWidth();
            if (IsValidColumn(FFocusedColumn)) limit = FHeader->Columns()->Items(FFocusedColumn)->Width();
            const int w = std::min(NodeWidth(FFocusedNode, FFocusedColumn, nullptr), limit);
            ShowNodePopup(FFocusedNode, FFocusedColumn, TPoint(w / 2 + r.Left, (r.Top + r.Bottom) / 2));
        } else {
            ShowNodePopup(nullptr, FFocusedColumn, TPoint(-1, -1));
        }
        break;
    case VK_MULTIPLY:
        if (searching) searched();
        else FullExpand(FFocusedNode);
        break;
    case VK_ADD:
        if (searching) {
            searched();
        } else if (ctrl) {
            // Fitting the columns belongs to the header's auto-fit step.
            if (FOptions->MiscOptions().Contains(toReverseFullExpandHotKey) != ((shift & ssShift) != 0))
                FullExpand(nullptr);
        } else if (FFocusedNode && !FFocusedNode->States.Contains(vsExpanded)) {
            ToggleNode(FFocusedNode);
        }
        break;
    case VK_SUBTRACT:
        if (searching) {
            searched();
        } else if (ctrl) {
            if (FOptions->MiscOptions().Contains(toReverseFullExpandHotKey) != ((shift & ssShift) != 0))
                FullCollapse(nullptr);
        } else if (FFocusedNode && FFocusedNode->States.Contains(vsExpanded)) {
            ToggleNode(FFocusedNode);
        }
        break;
    case VK_DIVIDE:
        if (searching) searched();
        else FullCollapse(FFocusedNode);
        break;
    case VK_F1: ShowHelpForFocused(); break;
    case VK_F2:
        if (shift == 0 && FFocusedNode && CanEdit(FFocusedNode, FFocusedColumn)) {
            FEditColumn = FFocusedColumn;
            BeginEditing();
        }
        break;
    default:
        if (alt != ctrl || charCode < 32) break;
        searched();
        break;
    }
}

void TBaseLazyTree::ShowHelpForFocused() {
    if (!OnGetHelpContext) return;
    int context = 0;
    for (PLazyNode run = FFocusedNode; run && run != FRoot && context == 0; run = run->Parent)
        OnGetHelpContext(this, run, std::max(FFocusedColumn, 0), context);
    for (TControl* c = this; c && context == 0; c = c->Parent()) context = c->HelpContext;
    if (context != 0) Application()->HelpContext(context);
}

void TBaseLazyTree::NavigationKey(uint16_t CharCode, TShiftState Shift) {
    const TLTSelectionOptions sel = FOptions->SelectionOptions();
    const TLTMiscOptions misc = FOptions->MiscOptions();
    const bool ctrl = (Shift & ssCtrl) != 0, alt = (Shift & ssAlt) != 0, shiftKey = (Shift & ssShift) != 0;
    const bool extendSelection = shiftKey && sel.Contains(toMultiSelect) && !FStates.Contains(tsEditing);
    bool rangeToggle = extendSelection && (CharCode == VK_PRIOR || CharCode == VK_NEXT || CharCode == VK_END ||
                                           CharCode == VK_HOME);
    const bool repaint = rangeToggle || FSelectionCount > 1;
    const bool clearNeeded = !(Shift != 0 && (!misc.Contains(toGridExtensions) || shiftKey) &&
                               sel.Contains(toMultiSelect) && CharCode != VK_BACK && CharCode != VK_TAB);
    PLazyNode lastFocused = FFocusedNode;
    if (Shift != 0 && !lastFocused) lastFocused = GetFirstVisible(nullptr, true);
    if (!FRangeAnchor) FRangeAnchor = GetFirstSelected(false) ? GetFirstSelected(false) : GetFirst(false);
    const int dir = UseRightToLeftAlignment() ? -1 : 1;
    const int cw = ClientWidth(), ch = ClientHeight();
    TLazyTreeColumns* columns = FHeader->Columns();
    bool selectionCleared = false;
    const PLazyNode before = FFocusedNode;

    switch (CharCode) {
    case VK_BACK:
        if (FStates.Contains(tsIncrementalSearching)) {
            SwitchStates({tsIncrementalSearchPending}, {});
            return;
        }
        if (FFocusedNode && FFocusedNode->Parent != FRoot) SetFocusedNode(FFocusedNode->Parent);
        break;
    case VK_TAB: {
        if (!sel.Contains(toExtendedFocus) || !HeaderUsesColumns()) return;
        PLazyNode node = FFocusedNode ? FFocusedNode : GetFirstVisible(nullptr, true);
        TColumnIndex column = FFocusedColumn;
        while (node) {
            column = shiftKey ? columns->GetPreviousVisibleColumn(column, true)
                              : columns->GetNextVisibleColumn(column, true);
            if (column <= NoColumn) {
                node = shiftKey ? GetPreviousVisible(node, true) : GetNextVisible(node, true);
                if (!node) break;
                column = shiftKey ? columns->GetLastVisibleColumn(true) : columns->GetFirstVisibleColumn(true);
                if (column <= NoColumn) break;
            }
            if (FireFocusChanging(FFocusedNode, node, FFocusedColumn, column)) {
                FocusNodeAndColumn(node, column);
                break;
            }
        }
        return;
    }
    case VK_PRIOR:
        if (ctrl && shiftKey) {
            SetOffsetX(FOffsetX + cw);
        } else if (alt && shiftKey) {
            TColumnIndex c = FFocusedColumn >= 0 ? FFocusedColumn : columns->GetFirstVisibleColumn();
            int sum = columns->GetVisibleFixedWidth();
            while (c >= 0) {
                const TColumnIndex prev = columns->GetPreviousVisibleColumn(c);
                if (prev < 0 || columns->Items(prev)->Options().Contains(coFixed)) break;
                if (sum + columns->Items(c)->Width() >= cw) break;
                sum += columns->Items(c)->Width();
                c = prev;
            }
            if (c >= 0) SetFocusedColumn(c);
        } else if (ctrl) {
            SetOffsetY(FOffsetY + ch);
        } else {
            PLazyNode node = FFocusedNode;
            if (!node) {
                node = GetFirstVisible(nullptr, true);
            } else {
                int passed = 0;
                for (PLazyNode prev = GetPreviousVisible(node, true); prev; prev = GetPreviousVisible(node, true)) {
                    passed += int(GetNodeHeight(prev));
                    if (passed >= ch) break;
                    node = prev;
                }
            }
            if (node) SetFocusedNode(node);
        }
        break;
    case VK_NEXT:
        if (ctrl && shiftKey) {
            SetOffsetX(FOffsetX - cw);
        } else if (alt && shiftKey) {
            TColumnIndex c = FFocusedColumn >= 0 ? FFocusedColumn : columns->GetFirstVisibleColumn();
            int sum = columns->GetVisibleFixedWidth();
            while (c >= 0) {
                const TColumnIndex next = columns->GetNextVisibleColumn(c);
                if (next < 0 || sum + columns->Items(c)->Width() >= cw) break;
                sum += columns->Items(c)->Width();
                c = next;
            }
            if (c >= 0) SetFocusedColumn(c);
        } else if (ctrl) {
            SetOffsetY(FOffsetY - ch);
        } else {
            PLazyNode node = FFocusedNode;
            if (!node) {
                node = GetLastVisible(nullptr, true);
            } else {
                int passed = int(GetNodeHeight(node));
                for (PLazyNode next = GetNextVisible(node, true); next; next = GetNextVisible(node, true)) {
                    passed += int(GetNodeHeight(next));
                    if (passed >= ch) break;
                    node = next;
                }
            }
            if (node) SetFocusedNode(node);
        }
        break;
    case VK_HOME:
    case VK_END: {
        const bool home = (CharCode == VK_HOME) != UseRightToLeftAlignment();
        PLazyNode target = home ? GetFirstVisible(nullptr, true) : GetLastVisible(nullptr, true);
        TColumnIndex column = NoColumn;
        if (HeaderUsesColumns()) {
            column = home ? columns->GetFirstVisibleColumn(true) : columns->GetLastVisibleColumn(true);
            if (column <= NoColumn) return;
        }
        if (ctrl && !shiftKey && !alt && !misc.Contains(toGridExtensions)) {
            if (target)
                ScrollIntoView(target, sel.Contains(toCenterScrollIntoView),
                               !FOptions->AutoOptions().Contains(toDisableAutoscrollOnFocus));
            SetOffsetX((CharCode == VK_HOME && !UseRightToLeftAlignment()) ? 0 : -2147483647);
        } else {
            if (!(misc.Contains(toGridExtensions) && !ctrl) && target) SetFocusedNode(target);
            if (misc.Contains(toGridExtensions) && !sel.Contains(toFullRowSelect) && column != NoColumn)
                SetFocusedColumn(column);
        }
        break;
    }
    case VK_LEFT:
    case VK_RIGHT: {
        const bool left = CharCode == VK_LEFT;
        if (ctrl) {
            const int step = dir * columns->GetScrollWidth();
            SetOffsetX(left ? FOffsetX + step : FOffsetX - step);
        } else if (sel.Contains(toExtendedFocus) && misc.Contains(toGridExtensions)) {
            const TColumnIndex c = left ? columns->GetPreviousVisibleColumn(FFocusedColumn, true)
                                        : columns->GetNextVisibleColumn(FFocusedColumn, true);
            if (c > NoColumn) SetFocusedColumn(c);
        } else if (!FFocusedNode) {
            if (PLazyNode first = GetFirstVisible(nullptr, true)) SetFocusedNode(first);
        } else if (left) {
            if (Shift == 0 && FFocusedNode->States.Contains(vsExpanded) && FFocusedNode->ChildCount > 0 &&
                GetFirstVisibleChild(FFocusedNode)) {
                ToggleNode(FFocusedNode);
            } else if (FFocusedNode->Parent != FRoot) {
                PLazyNode node = FFocusedNode, parent = node->Parent;
                if (extendSelection) {
                    if (GetFirstChild(parent) != node) rangeToggle = true;
                    else if (CompareNodeOrder(parent, FRangeAnchor, true) > 0) RemoveFromSelection(node);
                }
                SetFocusedNode(parent);
            }
        } else {
            if (Shift == 0 && !FFocusedNode->States.Contains(vsExpanded) &&
                FFocusedNode->States.Contains(vsHasChildren)) {
                ToggleNode(FFocusedNode);
            } else if (PLazyNode child = GetFirstVisibleChild(FFocusedNode)) {
                if (extendSelection && CompareNodeOrder(child, FRangeAnchor, true) < 0)
                    RemoveFromSelection(FFocusedNode);
                SetFocusedNode(child);
            }
        }
        break;
    }
    case VK_UP:
    case VK_DOWN: {
        const bool up = CharCode == VK_UP;
        if (ctrl) {
            SetOffsetY(up ? FOffsetY + int(FDefaultNodeHeight) : FOffsetY - int(FDefaultNodeHeight));
            break;
        }
        PLazyNode target = FFocusedNode ? (up ? GetPreviousVisible(FFocusedNode, true)
                                              : GetNextVisible(FFocusedNode, true))
                                        : (up ? GetLastVisible(nullptr, true) : GetFirstVisible(nullptr, true));
        if (!target) {
            if (FFocusedNode) InvalidateNode(FFocusedNode);
            break;
        }
        if (FStates.Contains(tsEditing) && !EndEditNode()) return;
        if (FFocusedNode && FFocusedNode->States.Contains(vsSelected)) {
            const int order = lastFocused ? CompareNodeOrder(lastFocused, FRangeAnchor, true) : 0;
            if (!extendSelection || (up ? order > 0 : order < 0)) RemoveFromSelection(FFocusedNode);
        }
        if (FFocusedColumn < 0) FFocusedColumn = MainColumn();
        SetFocusedNode(target);
        break;
    }
    default: break;
    }

    const bool moved = FFocusedNode != before;
    if (clearNeeded && (moved || FSelectionCount != 1)) {
        ClearSelection();
        selectionCleared = true;
    }
    if (Shift == 0 && FFocusedNode) {
        FRangeAnchor = FFocusedNode;
        FLastSelectionLevel = int(GetNodeLevel(FFocusedNode));
    }
    if (FFocusedNode) {
        if (rangeToggle && lastFocused) ToggleRange(lastFocused, FFocusedNode);
        if ((moved || selectionCleared) && !FFocusedNode->States.Contains(vsSelected)) AddToSelection(FFocusedNode);
    }
    if (repaint) Invalidate();
}

// ---------------------------------------------------------------------------
// Key up, characters
// ---------------------------------------------------------------------------

void TBaseLazyTree::WMKeyUp(TMessage& M) {
    TCustomControl::WMKeyUp(M);
    if (M.WParam == VK_TAB) {
        AssureFocusedNode();
    } else if (M.WParam == VK_SPACE && FStates.Contains(tsKeyCheckPending)) {
        // Released after the focus moved elsewhere: the old state stays.
        ReleaseCheckBox(FCheckNode && FCheckNode == FFocusedNode);
    }
}

void TBaseLazyTree::WMChar(TMessage& M) {
    if (FStates.Contains(tsIncrementalSearchPending)) {
        SearchKeyTyped(uint16_t(M.WParam));
        SwitchStates({}, {tsIncrementalSearchPending});
    }
    TCustomControl::WMChar(M);
}

// ---------------------------------------------------------------------------
// Incremental search
// ---------------------------------------------------------------------------

void TBaseLazyTree::SearchKeyTyped(uint16_t CharCode) {
    KillTreeTimer(SearchTimer);
    if (IncrementalSearch == isNone) return;
    if (CharCode != 0) {
        SwitchStates({tsIncrementalSearching}, {});
        const bool doBackspace = CharCode == VK_BACK;
        if (!(doBackspace && FSearchBuffer.isEmpty())) {
            PLazyNode start = nullptr;
            switch (IncrementalSearchStart) {
            case ssAlwaysStartOver: break;
            case ssLastHit: start = FLastSearchNode; break;
            case ssFocusedNode: start = FFocusedNode; break;
            }
            if (start && IncrementalSearch == isInitializedOnly && !start->States.Contains(vsInitialized))
                start = nullptr;
            if (start && IncrementalSearch == isVisibleOnly && (!GetFullyVisible(start) || GetEffectivelyFiltered(start)))
                start = nullptr;
            bool forward = IncrementalSearchDirection == sdForward;
            if (doBackspace) forward = !forward;
            const QChar ch(CharCode);
            bool repeatedChar = !doBackspace && FSearchBuffer.size() == 1 && FSearchBuffer.at(0) == ch;
            if (repeatedChar && start && FireIncrementalSearch(start, FSearchBuffer + ch) == 0) repeatedChar = false;

            auto step = [&](PLazyNode n) -> PLazyNode {
                switch (IncrementalSearch) {
                case isInitializedOnly: return forward ? GetNextNoInit(n) : GetPreviousNoInit(n);
                case isVisibleOnly: return forward ? GetNextVisible(n, true) : GetPreviousVisible(n, true);
                default: return forward ? GetNext(n) : GetPrevious(n);
                }
            };
            auto first = [&]() -> PLazyNode {
                switch (IncrementalSearch) {
                case isInitializedOnly: return forward ? GetFirstNoInit() : GetLastNoInit();
                case isVisibleOnly: return forward ? GetFirstVisible(nullptr, true) : GetLastVisible(nullptr, true);
                default: return forward ? GetFirst() : GetLast();
                }
            };
            PLazyNode run = start;
            if (FSearchBuffer.isEmpty() || !start || repeatedChar || doBackspace) {
                run = start ? step(start) : nullptr;
                if (!run) run = first();
            }
            if (run) {
                QString text;
                if (repeatedChar) {
                    text = FSearchBuffer;
                } else if (doBackspace) {
                    FSearchBuffer.chop(1);
                    text = FSearchBuffer;
                } else {
                    text = FSearchBuffer + ch;
                }
                PLazyNode match = nullptr;
                PLazyNode node = run;
                while (node) {
                    if (FireIncrementalSearch(node, text) == 0) {
                        match = node;
                        break;
                    }
                    node = step(node);
                    if (!node) node = start ? first() : nullptr;
                    if (node == start || node == run) break;
                }
                if (match) {
                    ClearSelection();
                    FSearchBuffer = text;
                    FLastSearchNode = match;
                    SetFocusedNode(match);
                    SetSelected(match, true);
                } else if (start && FireIncrementalSearch(start, text) != 0) {
                    MessageBeep(0);
                }
            }
        }
    }
    SetTimer(this, SearchTimer, IncrementalSearchTimeout);
}
