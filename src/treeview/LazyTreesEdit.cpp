// The lazy tree's in-place editing: when an edit may start, how it starts
// (at once, after a delay, after a double click), where the editor sits and
// how the edit ends or is cancelled. The editor itself is reached only
// through its edit link.
#include "treeview/LazyTrees.h"

#include <algorithm>

bool TBaseLazyTree::CanEdit(PLazyNode Node, TColumnIndex Column) {
    bool allowed = FOptions->MiscOptions().Contains(toEditable) && Enabled() && !IsReadOnly() &&
                   (Column < 0 || (IsValidColumn(Column) &&
                                   FHeader->Columns()->Items(Column)->Options().Contains(coEditable)));
    FireEditing(Node, Column, allowed);
    return allowed;
}

void TBaseLazyTree::FireEditing(PLazyNode Node, TColumnIndex Column, bool& Allowed) {
    if (OnEditing) OnEditing(this, Node == FRoot ? nullptr : Node, Column, Allowed);
}

void TBaseLazyTree::FireCreateEditor(PLazyNode Node, TColumnIndex Column, ILTEditLinkRef& EditLink) {
    EditLink.reset();
    if (OnCreateEditor) OnCreateEditor(this, Node, Column, EditLink);
}

bool TBaseLazyTree::EditNode(PLazyNode Node, TColumnIndex Column) {
    LTAssert(Node != nullptr, QStringLiteral("Node must not be nil."));
    LTAssert(Column >= NoColumn && Column < FHeader->Columns()->Count(),
             QStringLiteral("Column must be a valid column index (-1 if no header is shown)."));
    if (FStates.Contains(tsEditing) || IsReadOnly()) return FStates.Contains(tsEditing);
    SetFocusedNode(Node);
    if (FFocusedNode != Node || !CanEdit(Node, Column)) return false;
    FEditColumn = Column;
    if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
    BeginEditing();
    return FStates.Contains(tsEditing);
}

void TBaseLazyTree::BeginEditing() {
    Application()->CancelHint();
    KillTreeTimer(ScrollTimer);
    KillTreeTimer(EditTimer);
    SwitchStates({}, {tsEditPending});
    if (!FFocusedNode || FFocusedNode->States.Contains(vsDisabled) || IsReadOnly() || FEditLink) return;
    ILTEditLinkRef link;
    FireCreateEditor(FFocusedNode, FEditColumn, link);
    if (!link) return;
    FEditLink = link;
    SwitchStates({tsEditing}, {tsToggleFocusedSelection, tsClearPending, tsDrawSelPending, tsDrawSelecting,
                               tsMouseCheckPending, tsOLEDragging, tsOLEDragPending, tsScrolling, tsScrollPending});
    ScrollIntoView(FFocusedNode, FOptions->SelectionOptions().Contains(toCenterScrollIntoView),
                   !FOptions->AutoOptions().Contains(toDisableAutoscrollOnEdit));
    if (link->PrepareEdit(this, FFocusedNode, FEditColumn)) {
        PlaceEditor();
        InvalidateNode(FFocusedNode);
        if (!link->BeginEdit()) SwitchStates({}, {tsEditing});
    } else {
        SwitchStates({}, {tsEditing});
    }
    if (!FStates.Contains(tsEditing)) FEditLink.reset();
}

bool TBaseLazyTree::FinishEditing() {
    KillTreeTimer(EditTimer);
    bool success = false;
    if (FStates.Contains(tsEditing) && FEditLink) {
        // The link may be dropped while it stores the value.
        ILTEditLinkRef keep = FEditLink;
        success = keep->EndEdit();
    }
    if (success) {
        SwitchStates({}, {tsEditing});
        FEditLink.reset();
        if (OnEdited) OnEdited(this, FFocusedNode, FEditColumn);
    }
    SwitchStates({}, {tsEditPending});
    return success;
}

bool TBaseLazyTree::AbortEditing() {
    KillTreeTimer(EditTimer);
    SwitchStates({}, {tsEditPending});
    bool success = false;
    if (FStates.Contains(tsEditing) && FEditLink) {
        ILTEditLinkRef keep = FEditLink;
        success = keep->CancelEdit();
    }
    if (success) {
        SwitchStates({}, {tsEditing});
        if (OnEditCancelled) OnEditCancelled(this, FEditColumn);
        if (!IsDestroying()) FEditLink.reset();
    }
    return success;
}

bool TBaseLazyTree::EndEditNode() {
    if (FStates.ContainsAny({tsEditing, tsEditPending})) return FinishEditing();
    return true;
}

bool TBaseLazyTree::CancelEditNode() {
    if (!HandleAllocated()) return true;
    if (FStates.ContainsAny({tsEditing, tsEditPending})) return AbortEditing();
    return true;
}

void TBaseLazyTree::CancelEditPending() {
    if (!FStates.Contains(tsEditPending)) return;
    KillTreeTimer(EditTimer);
    SwitchStates({}, {tsEditPending});
}

void TBaseLazyTree::PlaceEditor() {
    if (!FStates.Contains(tsEditing) || !FFocusedNode || !FEditLink || !Application()->IsUIThread()) return;
    if (HeaderUsesColumns() ? FEditColumn >= FHeader->Columns()->Count() : FEditColumn != NoColumn) return;
    TRect r = GetDisplayRect(FFocusedNode, FEditColumn, true, !FFocusedNode->States.Contains(vsMultiline));
    if (FOptions->MiscOptions().Contains(toGridExtensions)) {
        TAlignment alignment = FAlignment;
        bool rtl = UseRightToLeftReading();
        if (IsValidColumn(FEditColumn)) {
            alignment = FHeader->Columns()->Items(FEditColumn)->Alignment();
            rtl = FHeader->Columns()->Items(FEditColumn)->BiDiMode() != bdLeftToRight;
        }
        if (rtl) {
            if (alignment == taLeftJustify) alignment = taRightJustify;
            else if (alignment == taRightJustify) alignment = taLeftJustify;
        }
        int left = 0, right = 0;
        FHeader->Columns()->GetColumnBounds(FEditColumn, left, right);
        if (alignment == taLeftJustify) r.Right = right;
        else r.Left = left;
    }
    if (FOptions->PaintOptions().Contains(toShowHorzGridLines)) r.Bottom -= 1;
    const TRect current = FEditLink->GetBounds();
    r.Bottom = r.Top + std::max(current.Height(), r.Height());
    FEditLink->SetBounds(r);
}

void TBaseLazyTree::DropEdit() {
    if (!FStates.Contains(tsEditing)) return;
    if (AbortEditing() || !FStates.Contains(tsEditing)) return;
    SwitchStates({}, {tsEditing});
    if (OnEditCancelled) OnEditCancelled(this, FEditColumn);
    FEditLink.reset();
}
