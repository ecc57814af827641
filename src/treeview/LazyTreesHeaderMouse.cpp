// The header's mouse and keyboard handling: hot and pressed columns (timer 3
// clears them once the mouse left), clicks with check boxes, automatic
// sorting and the column menu, width tracking at the column splitters,
// height tracking at the bottom edge, double-click auto-fit, and column
// drags with their picture and drop mark. The tree hands every window
// message to HandleHeaderMessage before its own handling.
#include "treeview/LazyTrees.h"

#include "platform/controls/DragControls.h"
#include "platform/controls/FormHost.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Timers.h"
#include "treeview/LazyTreesDragImage.h"

#include <cmath>
#include <cstdlib>

namespace {
TShiftState HeaderShift() { return KeyboardShiftState() & (ssShift | ssAlt | ssCtrl); }
TPoint MessagePoint(const TMessage& M) { return Point(GetXLParam(M.LParam), GetYLParam(M.LParam)); }
bool IsNonClient(unsigned Msg) { return Msg >= WM_NCMOUSEMOVE && Msg <= WM_NCMBUTTONDBLCLK; }
constexpr unsigned HeaderHoverPeriod = 50;
// The column picture's looks: 140 of 255 opaque, darkened by 50 first.
constexpr int ColumnDragTransparency = 140;
constexpr int ColumnDragPreBlendBias = -50;

// The layered pop-up that carries a dragged column's picture over the screen.
class TLTColumnDragWindow : public TPopupForm {
public:
    explicit TLTColumnDragWindow(TComponent* AOwner) : TPopupForm(AOwner) { SetClickThrough(true); }
    void MoveTo(TPoint At) {
        SetBounds(At.X, At.Y, Width(), Height());
        if (FHost) FHost->SyncGeometry();
    }
};
}  // namespace

// ---------------------------------------------------------------------------
// Hit tests
// ---------------------------------------------------------------------------

bool TLazyTreeColumns::UpdateHoverIndex(TPoint P) {
    const TColumnIndex column = ColumnFromPosition(Point(P.X, P.Y + FHeader->Height()), true);
    if (column == FHoverIndex) return false;
    if (IsValidColumn(FHoverIndex)) FHeader->Invalidate(Items(FHoverIndex));
    FHoverIndex = column;
    if (IsValidColumn(column)) FHeader->Invalidate(Items(column));
    return true;
}

TColumnIndex TLazyTreeColumns::UpdateDownIndex(TPoint P) {
    const TPoint headerPoint = Point(P.X, P.Y + FHeader->Height());
    const TColumnIndex column = ColumnFromPosition(headerPoint, true);
    if (IsValidColumn(column) && column != FDownIndex &&
        Items(column)->FOptions.ContainsAll({coAllowClick, coEnabled})) {
        if (IsValidColumn(FDownIndex)) FHeader->Invalidate(Items(FDownIndex));
        FDownIndex = column;
        TLazyTreeColumn* c = Items(column);
        FCheckBoxHit = c->FHasImage && c->FImageRect.Contains(headerPoint) && c->FCheckBox;
        FHeader->Invalidate(c);
    }
    return column;
}

bool TLazyTreeColumns::CanSplitterResize(TPoint P, TColumnIndex Column) {
    bool allowed = IsValidColumn(Column) && Items(Column)->FOptions.ContainsAll({coResizable, coVisible});
    TBaseLazyTree* tree = Tree();
    if (tree && tree->OnCanSplitterResizeColumn) tree->OnCanSplitterResizeColumn(FHeader, P, Column, allowed);
    return allowed;
}

bool TLTHeader::FindSplitterColumn(TPoint P) {
    if (FColumns->Count() == 0 || !FOwner) return false;
    FColumns->FTrackIndex = NoColumn;
    const int F = FColumns->GetVisibleFixedWidth();
    const int T = SplitterHitTolerance;
    const int right = int(std::nearbyint(T * 0.6));  // to nearest, half to even
    const int left = T - right;
    const int offset = FOwner->EffectiveOffsetX();
    const TIndexArray& order = FColumns->PositionToIndex();
    if (!FOwner->UseRightToLeftAlignment()) {
        int edge = int(FOwner->RangeX()) - offset;
        for (int p = int(order.size()) - 1; p >= 0; --p) {
            const TColumnIndex i = order[p];
            if (!FColumns->IsValidColumn(i)) continue;
            TLazyTreeColumn* c = FColumns->Items(i);
            if (!c->FOptions.Contains(coVisible)) continue;
            const bool fixed = c->FOptions.Contains(coFixed);
            const int e = edge + (fixed ? offset : 0);
            if (e - left < P.X && P.X < e + right && (fixed || P.X > F) && FColumns->CanSplitterResize(P, i)) {
                FColumns->FTrackIndex = i;
                FTrackPoint = Point(edge - c->FWidth + (fixed ? offset : 0), P.Y);
                return true;
            }
            edge -= c->FWidth;
        }
    } else {
        int edge = -offset;
        const int range = int(FOwner->RangeX());
        if (range < FOwner->ClientWidth()) edge += FOwner->ClientWidth() - range;
        for (TColumnIndex i : order) {
            if (!FColumns->IsValidColumn(i)) continue;
            TLazyTreeColumn* c = FColumns->Items(i);
            if (!c->FOptions.Contains(coVisible)) continue;
            const bool fixed = c->FOptions.Contains(coFixed);
            const int e = edge + (fixed ? offset : 0);
            if (e - right < P.X && P.X < e + left && (fixed || P.X > F) && FColumns->CanSplitterResize(P, i)) {
                FColumns->FTrackIndex = i;
                FTrackPoint = Point(edge + c->FWidth + (fixed ? offset : 0), P.Y);
                return true;
            }
            edge += c->FWidth;
        }
    }
    return false;
}

bool TLTHeader::IsInColumnSplitter(TPoint P) {
    if (!FOptions.Contains(hoColumnResize) || !FindSplitterColumn(P)) return false;
    if (InHeader(P)) return true;
    // In the client area only the border between the fixed and the
    // scrolling columns counts, down to the last node.
    const TColumnIndex track = FColumns->FTrackIndex;
    if (!FColumns->IsValidColumn(track) || !FColumns->Items(track)->FOptions.Contains(coFixed)) return false;
    const TColumnIndex next = FColumns->GetNextVisibleColumn(track);
    if (!FColumns->IsValidColumn(next) || FColumns->Items(next)->FOptions.Contains(coFixed)) return false;
    return P.Y <= int(FOwner->RangeY());
}

bool TLTHeader::CanResizeHeight(TPoint P) {
    bool allowed = FOptions.Contains(hoHeightResize);
    if (FOwner && FOwner->OnCanSplitterResizeHeader) FOwner->OnCanSplitterResizeHeader(this, P, allowed);
    return allowed;
}

// ---------------------------------------------------------------------------
// Clicks
// ---------------------------------------------------------------------------

void TBaseLazyTree::ToggleColumnCheckState(TColumnIndex Column) {
    if (!IsValidColumn(Column)) return;
    TLazyTreeColumn* c = FHeader->Columns()->Items(Column);
    TCheckState next = c->CheckState();
    switch (c->CheckType()) {
    case ctRadioButton: next = csCheckedNormal; break;
    case ctButton:
    case ctNone: break;
    default:
        next = (c->CheckState() == csCheckedNormal || c->CheckState() == csCheckedPressed) ? csUncheckedNormal
                                                                                           : csCheckedNormal;
        break;
    }
    c->SetCheckState(next);
}

void TLazyTreeColumns::EvaluateHeaderClick(TPoint P, TMouseButton Button, bool Force, bool DblClick) {
    TBaseLazyTree* tree = Tree();
    if (!tree) return;
    TLTHeaderHitInfo hit;
    hit.X = P.X;
    hit.Y = P.Y + FHeader->Height();
    hit.Button = Button;
    hit.Shift = HeaderShift() | (DblClick ? TShiftState(ssDouble) : 0);
    const TPoint headerPoint = Point(hit.X, hit.Y);
    TColumnIndex column = ColumnFromPosition(headerPoint, true);
    if (IsValidColumn(column) && Items(column)->FOptions.Contains(coAllowClick) && (Force || column == FDownIndex)) {
        FClickIndex = column;
        TLazyTreeColumn* c = Items(column);
        hit.HitPosition = {hhiOnColumn};
        if (c->FHasImage && c->FImageRect.Contains(headerPoint)) {
            hit.HitPosition.Include(hhiOnIcon);
            if (c->FCheckBox) {
                hit.HitPosition.Include(hhiOnCheckbox);
                if (Button == mbLeft) tree->ToggleColumnCheckState(column);
            }
        }
    } else {
        FClickIndex = NoColumn;
        column = NoColumn;
        hit.HitPosition = {hhiNoWhere};
    }
    hit.Column = column;
    if (DblClick) {
        if (tree->OnHeaderDblClick) tree->OnHeaderDblClick(FHeader, hit);
    } else {
        if (FHeader->Options().Contains(hoHeaderClickAutoSort) && Button == mbLeft &&
            !hit.HitPosition.Contains(hhiOnCheckbox) && column >= 0) {
            if (column == FHeader->SortColumn()) {
                FHeader->SetSortDirection(FHeader->SortDirection() == sdAscending ? sdDescending : sdAscending);
            } else {
                FHeader->SetSortColumn(column);
                FHeader->SetSortDirection(Items(column)->DefaultSortDirection);
            }
        }
        if (Button == mbRight && FHeader->Options().Contains(hoAutoColumnPopupMenu))
            PopupColumnMenu(Point(P.X, P.Y + FHeader->Height()));
        if (tree->OnHeaderClick) tree->OnHeaderClick(FHeader, hit);
    }
    if (!hit.HitPosition.Contains(hhiNoWhere)) FHeader->Invalidate(Items(column));
    if (IsValidColumn(FClickIndex) && FClickIndex != column) FHeader->Invalidate(Items(FClickIndex));
}

// ---------------------------------------------------------------------------
// Messages
// ---------------------------------------------------------------------------

bool TLTHeader::HandleHeaderMessage(TMessage& M) {
    if (!FOwner) return false;
    TBaseLazyTree* tree = FOwner;
    const bool busy = !FStates.Empty();
    TPoint P = MessagePoint(M);
    if (IsNonClient(M.Msg)) P = tree->ScreenToClient(P);
    switch (M.Msg) {
    case WM_SETCURSOR: {
        if (busy) {
            M.Result = 1;
            return true;
        }
        const TPoint c = tree->ScreenToClient(GetCursorPos());
        const bool H = IsInColumnSplitter(c);
        const bool V = InHeaderSplitterArea(c) && CanResizeHeight(c);
        if (!H && !V) return false;
        TCursor cursor = tree->Cursor();
        if (V && FOptions.Contains(hoHeightResize)) cursor = TCursor(62);
        else if (H) cursor = TCursor(63);
        if (tree->OnGetHeaderCursor) tree->OnGetHeaderCursor(this, cursor);
        if (cursor == crDefault) return false;
        SetCursor(cursor);
        M.Result = 1;
        return true;
    }
    case WM_NCMOUSEMOVE:
        if (tree->OnHeaderMouseMove) tree->OnHeaderMouseMove(this, HeaderShift(), P.X, P.Y + FHeight);
        if (InHeader(P)) {
            const bool changed = FColumns->UpdateHoverIndex(P);
            if (changed || (FColumns->FDownIndex >= 0 && FColumns->FDownIndex != FColumns->FHoverIndex))
                SetTimer(tree, TBaseLazyTree::HeaderTimer, HeaderHoverPeriod);
        }
        return false;
    case WM_NCLBUTTONDOWN:
    case WM_LBUTTONDOWN: return HeaderButtonDown(M, P);
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP: return HeaderButtonUp(M, P);
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDBLCLK:
    case WM_LBUTTONDBLCLK: return HeaderDoubleClick(M, P);
    case WM_NCRBUTTONDOWN:
        if (InHeader(P) && tree->OnHeaderMouseDown)
            tree->OnHeaderMouseDown(this, mbRight, HeaderShift(), P.X, P.Y + FHeight);
        return false;
    case WM_NCRBUTTONUP: return HeaderRightButtonUp(M, P);
    case WM_NCMBUTTONDOWN:
        if (InHeader(P) && tree->OnHeaderMouseDown)
            tree->OnHeaderMouseDown(this, mbMiddle, HeaderShift(), P.X, P.Y + FHeight);
        return false;
    case WM_NCMBUTTONUP:
        if (InHeader(P)) {
            FColumns->EvaluateHeaderClick(P, mbMiddle, true, false);
            if (tree->OnHeaderMouseUp) tree->OnHeaderMouseUp(this, mbMiddle, HeaderShift(), P.X, P.Y + FHeight);
            FColumns->FDownIndex = NoColumn;
            FColumns->FCheckBoxHit = false;
        }
        return false;
    case WM_TIMER: {
        if (M.WParam != TBaseLazyTree::HeaderTimer) return false;
        const TPoint c = tree->ScreenToClient(GetCursorPos());
        if (!InHeader(c) || (FColumns->FDownIndex >= 0 && FColumns->FDownIndex != FColumns->FHoverIndex)) {
            tree->KillTreeTimer(TBaseLazyTree::HeaderTimer);
            FColumns->FHoverIndex = FColumns->FClickIndex = FColumns->FDownIndex = NoColumn;
            FColumns->FCheckBoxHit = false;
            Invalidate(nullptr);
        }
        M.Result = 0;
        return true;
    }
    case WM_MOUSEMOVE: return TrackHeaderMouseMove(M);
    case WM_KEYDOWN:
        if (M.WParam == VK_ESCAPE) return HeaderCancel(M);
        return false;
    case WM_KILLFOCUS: HeaderCancel(M); return false;
    default: return false;
    }
}

bool TLTHeader::HeaderButtonDown(TMessage& M, TPoint P) {
    TBaseLazyTree* tree = FOwner;
    Application()->CancelHint();
    tree->KillTreeTimer(TBaseLazyTree::ScrollTimer);
    tree->KillTreeTimer(TBaseLazyTree::EditTimer);
    tree->SwitchStates({}, {tsScrolling, tsScrollPending, tsEditPending});
    if (M.Msg == WM_NCLBUTTONDOWN) FDragStart = MessagePoint(M);
    const bool inHeader = InHeader(P);
    const bool V = InHeaderSplitterArea(P) && CanResizeHeight(P);
    const bool H = !V && IsInColumnSplitter(P);
    if (V || H) {
        FTrackStart = P;
        FColumns->FHoverIndex = NoColumn;
        if (V) {
            if (tree->OnBeforeHeaderHeightTracking) tree->OnBeforeHeaderHeightTracking(this, HeaderShift());
            FStates.Include(hsHeightTrackPending);
        } else {
            if (tree->OnBeforeColumnWidthTracking)
                tree->OnBeforeColumnWidthTracking(this, FColumns->FTrackIndex, HeaderShift());
            FStates.Include(hsColumnWidthTrackPending);
        }
        tree->SetMouseCapture(true);
        M.Result = 0;
        return true;
    }
    if (inHeader) {
        const TColumnIndex column = FColumns->UpdateDownIndex(P);
        if (FOptions.Contains(hoDrag) && FColumns->IsValidColumn(column) &&
            FColumns->Items(column)->Options().Contains(coDraggable)) {
            FStates.Include(hsDragPending);
            tree->SetMouseCapture(true);
            M.Result = 0;
            return true;
        }
        if (tree->OnHeaderMouseDown) tree->OnHeaderMouseDown(this, mbLeft, HeaderShift(), P.X, P.Y + FHeight);
    }
    return false;
}

bool TLTHeader::TrackHeaderMouseMove(TMessage& M) {
    TBaseLazyTree* tree = FOwner;
    const TPoint P = MessagePoint(M);
    if (FStates.Contains(hsColumnWidthTrackPending)) {
        tree->KillTreeTimer(TBaseLazyTree::HeaderTimer);
        FStates.Exclude(hsColumnWidthTrackPending);
        FStates.Include(hsColumnWidthTracking);
        return true;
    }
    if (FStates.Contains(hsHeightTrackPending)) {
        tree->KillTreeTimer(TBaseLazyTree::HeaderTimer);
        FStates.Exclude(hsHeightTrackPending);
        FStates.Include(hsHeightTracking);
        return true;
    }
    if (FStates.Contains(hsColumnWidthTracking)) {
        const TColumnIndex track = FColumns->FTrackIndex;
        bool allowed = true;
        if (tree->OnColumnWidthTracking) tree->OnColumnWidthTracking(this, track, HeaderShift(), FTrackPoint, P, allowed);
        if (allowed && FColumns->IsValidColumn(track)) {
            TLazyTreeColumn* c = FColumns->Items(track);
            const bool rtl = tree->UseRightToLeftAlignment();
            const int newWidth = rtl ? FTrackPoint.X - P.X : P.X - FTrackPoint.X;
            const TColumnIndex next =
                rtl ? FColumns->GetPreviousVisibleColumn(track) : FColumns->GetNextVisibleColumn(track);
            if (FOptions.Contains(hoAutoResize) && track == FAutoSizeIndex && FColumns->IsValidColumn(next) &&
                FColumns->Items(next)->Options().Contains(coResizable) && c->MinWidth() < newWidth &&
                newWidth < c->MaxWidth()) {
                TLazyTreeColumn* n = FColumns->Items(next);
                n->SetWidth(n->Width() + c->Width() - newWidth);
            } else {
                c->SetWidth(newWidth);
            }
        }
        return true;
    }
    if (FStates.Contains(hsHeightTracking)) {
        TPoint p = P;
        bool allowed = true;
        if (tree->OnHeaderHeightTracking) tree->OnHeaderHeightTracking(this, p, HeaderShift(), allowed);
        if (allowed) SetHeight(FHeight + p.Y);
        return true;
    }
    if (FStates.Contains(hsDragPending)) {
        const TPoint screen = tree->ClientToScreen(P);
        if (!FOptions.Contains(hoDrag)) return false;
        bool allowed = true;
        if (tree->OnHeaderDragging) tree->OnHeaderDragging(this, FColumns->FDownIndex, allowed);
        if (!allowed) return false;
        const int threshold = DefaultDragThreshold;
        if (std::abs(FDragStart.X - screen.X) <= threshold && std::abs(FDragStart.Y - screen.Y) <= threshold)
            return false;
        tree->KillTreeTimer(TBaseLazyTree::HeaderTimer);
        if (FColumns->IsValidColumn(FColumns->FDownIndex)) Invalidate(FColumns->Items(FColumns->FDownIndex));
        FColumns->FDownIndex = NoColumn;
        FColumns->FHoverIndex = NoColumn;
        StartColumnDrag(screen, FDragStart);
        FStates.Exclude(hsDragPending);
        FStates.Include(hsDragging);
        return true;
    }
    if (FStates.Contains(hsDragging)) {
        MoveColumnDrag(tree->ClientToScreen(P));
        return true;
    }
    return false;
}

void TLTHeader::StartColumnDrag(TPoint P, TPoint Start) {
    TBaseLazyTree* tree = FOwner;
    FColumns->FDropTarget = NoColumn;
    const TPoint start = tree->ScreenToClient(Start);
    const TColumnIndex dragged = FColumns->ColumnFromPosition(Point(start.X, start.Y + FHeight), true);
    FColumns->FDragIndex = dragged;
    if (!FColumns->IsValidColumn(dragged)) return;
    TLazyTreeColumn* c = FColumns->Items(dragged);
    const int shift = tree->UseRightToLeftAlignment() ? tree->RightToLeftColumnShift(false) : 0;
    FDragImage = std::make_unique<TBitmap>(std::max(1, c->Width()), std::max(1, FHeight), pf32bit);
    TCanvas* canvas = FDragImage->Canvas();
    canvas->Brush().SetColor(clBtnFace);
    canvas->FillRect(Rect(0, 0, c->Width(), FHeight));
    FColumns->PaintHeader(canvas, Rect(c->FLeft + shift, 0, c->FLeft + shift + c->Width(), FHeight), Point(0, 0),
                          shift);
    int left = c->Left();
    if (tree->UseRightToLeftAlignment()) left += tree->RightToLeftColumnShift(true);
    FDragImagePosition = tree->ClientToScreen(Point(left, -FHeight));
    FDragHotSpot = Point(P.X - FDragImagePosition.X, P.Y - FDragImagePosition.Y);
    FColumnDragImage = std::make_unique<TLTDragImage>(tree);
    FColumnDragImage->Transparency = ColumnDragTransparency;
    FColumnDragImage->PreBlendBias = ColumnDragPreBlendBias;
    FColumnDragImage->MoveRestriction = FOptions.Contains(hoRestrictDrag) ? dmrHorizontalOnly : dmrNone;
    FColumnDragImage->PrepareDrag(FDragImage.get(), FDragImagePosition, P, nullptr);
    FColumnDragImage->ShowDragImage();
    ShowDragWindow();
}

void TLTHeader::ShowDragWindow() {
    TBitmap* prepared = FColumnDragImage ? FColumnDragImage->DragImageBitmap() : nullptr;
    if (!prepared) return;
    // The prepared picture with its alpha channel, scaled by the image's
    // transparency and premultiplied, as the layered window takes it.
    const int w = prepared->Width(), h = prepared->Height();
    FDragWindowImage = std::make_unique<TBitmap>(w, h, pf32bit);
    const int t = FColumnDragImage->Transparency;
    for (int y = 0; y < h; ++y) {
        const TRGBQuad* s = prepared->ScanLine(y);
        TRGBQuad* d = FDragWindowImage->ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const int a = (s[x].rgbReserved * t + 127) / 255;
            d[x].rgbReserved = uint8_t(a);
            d[x].rgbRed = uint8_t((s[x].rgbRed * a + 127) / 255);
            d[x].rgbGreen = uint8_t((s[x].rgbGreen * a + 127) / 255);
            d[x].rgbBlue = uint8_t((s[x].rgbBlue * a + 127) / 255);
        }
    }
    if (!FDragWindow) FDragWindow = NewObject<TLTColumnDragWindow>(nullptr);
    auto* window = static_cast<TLTColumnDragWindow*>(FDragWindow);
    window->SetBounds(FDragImagePosition.X, FDragImagePosition.Y, w, h);
    UpdateLayeredWindow(window, FDragWindowImage.get());
    ShowWindow(window, SW_SHOWNOACTIVATE);
    window->MoveTo(FDragImagePosition);
}

void TLTHeader::MoveColumnDrag(TPoint P) {
    TBaseLazyTree* tree = FOwner;
    const TPoint client = tree->ScreenToClient(P);
    const TColumnIndex column = FColumns->ColumnFromPosition(Point(client.X, client.Y + FHeight), true);
    bool repaint = column != InvalidColumn && column != FColumns->FDropTarget;
    if (column >= 0) {
        int l = 0, r = 0;
        FColumns->GetColumnBounds(column, l, r);
        const bool before = client.X < (l + r) / 2;
        if (before != FColumns->FDropBefore) {
            FColumns->FDropBefore = before;
            repaint = true;
        }
    }
    if (repaint) {
        if (FColumns->IsValidColumn(FColumns->FDropTarget)) {
            const TColumnIndex old = FColumns->FDropTarget;
            FColumns->FDropTarget = NoColumn;
            Invalidate(FColumns->Items(old));
        }
        if (column >= 0) {
            FColumns->FDropTarget = column;
            Invalidate(FColumns->Items(column));
        }
    }
    // The picture moves with the mouse; a restricted drag only sideways.
    const TPoint moved = Point(P.X - FDragHotSpot.X, FOptions.Contains(hoRestrictDrag) ? FDragImagePosition.Y
                                                                                       : P.Y - FDragHotSpot.Y);
    FDragImagePosition = moved;
    if (FColumnDragImage) FColumnDragImage->DragTo(P, repaint);
    if (FDragWindow) static_cast<TLTColumnDragWindow*>(FDragWindow)->MoveTo(FDragImagePosition);
}

void TLTHeader::EndDragImage() {
    if (FDragWindow) {
        FDragWindow->Hide();
        FDragWindow->Free();
        FDragWindow = nullptr;
    }
    FDragWindowImage.reset();
    if (FColumnDragImage) FColumnDragImage->EndDrag();
    FColumnDragImage.reset();
    FDragImage.reset();
}

void TLTHeader::LeaveTrackingStates() {
    FStates.Exclude(hsDragging);
    FStates.Exclude(hsDragPending);
    FStates.Exclude(hsColumnWidthTracking);
    FStates.Exclude(hsColumnWidthTrackPending);
    FStates.Exclude(hsHeightTracking);
    FStates.Exclude(hsHeightTrackPending);
}

bool TLTHeader::HeaderButtonUp(TMessage& M, TPoint P) {
    TBaseLazyTree* tree = FOwner;
    Application()->CancelHint();
    const bool busy = !FStates.Empty();
    bool handled = false;
    if (busy) {
        tree->SetMouseCapture(false);
        if (FStates.Contains(hsDragging)) {
            EndDragImage();
            const TPoint screen = IsNonClient(M.Msg) ? MessagePoint(M) : tree->ClientToScreen(P);
            const TColumnIndex target = FColumns->FDropTarget;
            const TColumnIndex dragged = FColumns->FDragIndex;
            TRect window = tree->BoundsRect();
            const TPoint origin = tree->Parent() ? tree->Parent()->ClientToScreen(Point(window.Left, window.Top))
                                                 : Point(window.Left, window.Top);
            window = Bounds(origin.X, origin.Y, window.Width(), window.Height());
            if (target >= 0 && target != dragged && FColumns->IsValidColumn(dragged) && window.Contains(screen)) {
                TLazyTreeColumn* d = FColumns->Items(dragged);
                const int oldPosition = int(d->Position());
                const int targetPosition = int(FColumns->Items(target)->Position());
                const bool fromLeft = oldPosition < targetPosition;
                int position = 0;
                if (FColumns->FDropBefore) position = fromLeft ? std::max(0, targetPosition - 1) : targetPosition;
                else position = fromLeft ? targetPosition : targetPosition + 1;
                d->SetPosition(TColumnPosition(position));
                if (tree->OnHeaderDragged) tree->OnHeaderDragged(this, dragged, oldPosition);
            } else if (tree->OnHeaderDraggedOut) {
                tree->OnHeaderDraggedOut(this, dragged, screen);
            }
            FColumns->FDropTarget = NoColumn;
            Invalidate(nullptr);
            M.Result = 0;
            handled = true;
        }
    }
    if (M.Msg == WM_NCLBUTTONUP) {
        FColumns->EvaluateHeaderClick(P, mbLeft, false, false);
        if (tree->OnHeaderMouseUp) tree->OnHeaderMouseUp(this, mbLeft, HeaderShift(), P.X, P.Y + FHeight);
    } else {
        if (FColumns->FDownIndex >= 0) FColumns->EvaluateHeaderClick(P, mbLeft, false, false);
        if (busy && tree->OnHeaderMouseUp) tree->OnHeaderMouseUp(this, mbLeft, HeaderShift(), P.X, P.Y);
    }
    if (FColumns->FTrackIndex >= 0) {
        if (FStates.Contains(hsColumnWidthTracking) && tree->OnAfterColumnWidthTracking)
            tree->OnAfterColumnWidthTracking(this, FColumns->FTrackIndex);
        if (FColumns->IsValidColumn(FColumns->FTrackIndex)) Invalidate(FColumns->Items(FColumns->FTrackIndex));
        FColumns->FTrackIndex = NoColumn;
    }
    if (FColumns->FDownIndex >= 0) {
        if (FColumns->IsValidColumn(FColumns->FDownIndex)) Invalidate(FColumns->Items(FColumns->FDownIndex));
        FColumns->FDownIndex = NoColumn;
    }
    if (FStates.Contains(hsHeightTracking) && tree->OnAfterHeaderHeightTracking) tree->OnAfterHeaderHeightTracking(this);
    LeaveTrackingStates();
    return handled || busy;
}

bool TLTHeader::HeaderDoubleClick(TMessage& M, TPoint P) {
    TBaseLazyTree* tree = FOwner;
    if (FOptions.Contains(hoHeightDblClickResize) && InHeaderSplitterArea(P) && FDefaultHeight > 0) {
        TPoint p = P;
        bool allowed = true;
        if (tree->OnHeaderHeightDblClickResize) tree->OnHeaderHeightDblClickResize(this, p, HeaderShift(), allowed);
        if (allowed) SetHeight(FDefaultHeight);
        return true;
    }
    const bool left = M.Msg == WM_NCLBUTTONDBLCLK || M.Msg == WM_LBUTTONDBLCLK;
    if (left && FOptions.Contains(hoDblClickResize) && IsInColumnSplitter(P) &&
        FColumns->IsValidColumn(FColumns->FTrackIndex)) {
        const TColumnIndex track = FColumns->FTrackIndex;
        bool allowed = true;
        if (tree->OnColumnWidthDblClickResize) tree->OnColumnWidthDblClickResize(this, track, HeaderShift(), P, allowed);
        if (allowed) {
            const int position = int(FColumns->Items(track)->Position());
            AutoFitColumns(true, smaUseColumnOption, position, position);
        }
        M.Result = 0;
        return true;
    }
    if (IsNonClient(M.Msg) && InHeader(P)) {
        const TMouseButton button = M.Msg == WM_NCRBUTTONDBLCLK ? mbRight
                                    : M.Msg == WM_NCMBUTTONDBLCLK ? mbMiddle
                                                                  : mbLeft;
        if (button == mbLeft) FColumns->UpdateDownIndex(P);
        FColumns->EvaluateHeaderClick(P, button, true, true);
    }
    return false;
}

bool TLTHeader::HeaderRightButtonUp(TMessage& M, TPoint P) {
    TBaseLazyTree* tree = FOwner;
    Application()->CancelHint();
    if (InHeader(P)) {
        FColumns->EvaluateHeaderClick(P, mbRight, true, false);
        if (tree->OnHeaderMouseUp) tree->OnHeaderMouseUp(this, mbRight, HeaderShift(), P.X, P.Y + FHeight);
        FColumns->FDownIndex = FColumns->FTrackIndex = NoColumn;
        FColumns->FCheckBoxHit = false;
        TPopupMenu* menu = PopupMenu;
        if (!menu && tree->OnGetPopupMenu) {
            bool askParent = true;
            const TPoint headerPoint = Point(P.X, P.Y + FHeight);
            tree->OnGetPopupMenu(tree, nullptr, FColumns->ColumnFromPosition(headerPoint, true), headerPoint,
                                 askParent, menu);
        }
        if (menu) {
            tree->KillTreeTimer(TBaseLazyTree::ScrollTimer);
            tree->KillTreeTimer(TBaseLazyTree::HeaderTimer);
            FColumns->FHoverIndex = NoColumn;
            tree->SwitchStates({}, {tsScrolling, tsScrollPending});
            menu->PopupComponent = tree;
            const TPoint screen = MessagePoint(M);
            menu->Popup(screen.X, screen.Y);
        }
        return true;
    }
    return false;
}

bool TLTHeader::HeaderCancel(TMessage& M) {
    TBaseLazyTree* tree = FOwner;
    bool handled = false;
    if (FStates.Contains(hsDragging)) {
        tree->SetMouseCapture(false);
        EndDragImage();
        FStates.Exclude(hsDragging);
        FColumns->FDropTarget = NoColumn;
        Invalidate(nullptr);
        M.Result = 0;
        handled = true;
    } else if (FStates.ContainsAny({hsColumnWidthTracking, hsHeightTracking})) {
        tree->SetMouseCapture(false);
        if (FStates.Contains(hsColumnWidthTracking)) {
            if (tree->OnAfterColumnWidthTracking) tree->OnAfterColumnWidthTracking(this, FColumns->FTrackIndex);
        } else if (tree->OnAfterHeaderHeightTracking) {
            tree->OnAfterHeaderHeightTracking(this);
        }
        M.Result = 0;
        handled = true;
    }
    FStates.Exclude(hsColumnWidthTracking);
    FStates.Exclude(hsColumnWidthTrackPending);
    FStates.Exclude(hsHeightTracking);
    FStates.Exclude(hsHeightTrackPending);
    return handled;
}
