// Drag and drop: the drag manager (drop target and drop source of a tree),
// the drag of the selection from a tree and the tracking of a drag over it.
#include "treeview/LazyTreesDragDrop.h"

#include "platform/controls/Forms.h"
#include "platform/controls/Timers.h"
#include "platform/core/Exceptions.h"
#include "treeview/LazyTreesClipboard.h"

// ---------------------------------------------------------------------------
// The drag manager

TLTDragManager::TLTDragManager(TBaseLazyTree* AOwner) : FOwnerId(AOwner->ExchangeId()) {}

TBaseLazyTree* TLTDragManager::Owner() const { return TBaseLazyTree::TreeOfExchangeId(FOwnerId); }

TBaseLazyTree* TLTDragManager::SourceTree() const { return TBaseLazyTree::TreeOfExchangeId(FDragSourceId); }

bool TLTDragManager::HasTargetHelper() const {
    const TDragImageInfo* image = CurrentDragImage();
    return image && image->Shown;
}

std::shared_ptr<IDataObject> TLTDragManager::TransferObject() {
    if (FDataObject) return FDataObject;
    TBaseLazyTree* owner = Owner();
    if (!owner) return nullptr;
    if (auto obj = owner->FireCreateDataObject()) return obj;
    return std::make_shared<TLTDataObject>(owner, false);
}

HRESULT TLTDragManager::DragEnter(IDataObject* data, std::uint32_t keyState, TPoint pt, std::uint32_t& effect) {
    TBaseLazyTree* owner = Owner();
    if (!owner) return E_FAIL;
    FDataObject.reset();
    FEnteredData = data;
    FIsDropTarget = true;
    TBaseLazyTree* source = owner->SourceTreeOf(data);
    FDragSourceId = source ? source->ExchangeId() : 0;
    return owner->HandleDragEnter(keyState, pt, effect);
}

HRESULT TLTDragManager::DragOver(std::uint32_t keyState, TPoint pt, std::uint32_t& effect) {
    TBaseLazyTree* owner = Owner();
    if (!owner) return E_FAIL;
    return owner->HandleDragOver(SourceTree(), keyState, dsDragMove, pt, effect);
}

HRESULT TLTDragManager::DragLeave() {
    if (TBaseLazyTree* owner = Owner()) owner->HandleDragLeave();
    FIsDropTarget = false;
    FDragSourceId = 0;
    FEnteredData = nullptr;
    return S_OK;
}

HRESULT TLTDragManager::Drop(IDataObject* data, std::uint32_t keyState, TPoint pt, std::uint32_t& effect) {
    TBaseLazyTree* owner = Owner();
    HRESULT result = E_FAIL;
    if (owner) result = owner->HandleDrop(data, keyState, pt, effect);
    // The source stays known until the next drag enters.
    FIsDropTarget = false;
    FEnteredData = nullptr;
    return result;
}

HRESULT TLTDragManager::QueryContinueDrag(bool escapePressed, std::uint32_t keyState) {
    if (escapePressed || ((keyState & MK_LBUTTON) && (keyState & MK_RBUTTON))) return DRAGDROP_S_CANCEL;
    if (keyState & (MK_LBUTTON | MK_RBUTTON)) return S_OK;
    return DRAGDROP_S_DROP;
}

HRESULT TLTDragManager::GiveFeedback(std::uint32_t) { return DRAGDROP_S_USEDEFAULTCURSORS; }

// ---------------------------------------------------------------------------
// The tree's side

std::shared_ptr<TLTDragManager> TBaseLazyTree::DragManager() {
    TLTExchangeState& x = Exchange();
    if (!x.DragManager) x.DragManager = std::make_shared<TLTDragManager>(this);
    return x.DragManager;
}

uint32_t TBaseLazyTree::LastDragEffect() { return Exchange().LastDragEffect; }

TShiftState TBaseLazyTree::DragShiftState(uint32_t KeyState) {
    TShiftState shift = KeysToShiftState(KeyState);
    if (KeyState & MK_ALT) shift = shift | ssAlt;
    if (FStates.Contains(tsLeftButtonDown)) shift = shift | ssLeft;
    if (FStates.Contains(tsMiddleButtonDown)) shift = shift | ssMiddle;
    if (FStates.Contains(tsRightButtonDown)) shift = shift | ssRight;
    return shift;
}

bool TBaseLazyTree::FireDragOver(TObject* Source, TShiftState Shift, TDragState State, TPoint Pt, TDropMode Mode,
                                 uint32_t& Effect) {
    bool accept = false;
    if (OnDragOver) OnDragOver(this, Source, Shift, State, Pt, Mode, Effect, accept);
    return accept;
}

void TBaseLazyTree::FireDragDrop(TObject* Source, IDataObject* DataObject, const QList<TClipFormat>& Formats,
                                 TShiftState Shift, TPoint Pt, uint32_t& Effect, TDropMode Mode) {
    if (OnDragDrop) OnDragDrop(this, Source, DataObject, Formats, Shift, Pt, Effect, Mode);
}

uint32_t TBaseLazyTree::ProposeDropEffect(TObject* Source, TShiftState Shift, TPoint, uint32_t Allowed) {
    uint32_t d;
    if (Source == this && (Allowed & DROPEFFECT_MOVE))
        d = DROPEFFECT_MOVE;
    else if (Source != this && (Allowed & DROPEFFECT_COPY))
        d = DROPEFFECT_COPY;
    else
        d = Allowed;
    const bool ctrl = Shift & ssCtrl, sh = Shift & ssShift, alt = Shift & ssAlt;
    if (ctrl && sh) return (Allowed & DROPEFFECT_LINK) ? uint32_t(DROPEFFECT_LINK) : d;
    if (ctrl) return (Allowed & DROPEFFECT_COPY) ? uint32_t(DROPEFFECT_COPY) : d;
    if (sh) return (Allowed & DROPEFFECT_MOVE) ? uint32_t(DROPEFFECT_MOVE) : d;
    if (alt) return (Allowed & DROPEFFECT_LINK) ? uint32_t(DROPEFFECT_LINK) : d;
    return d;
}

HRESULT TBaseLazyTree::HandleDragEnter(uint32_t KeyState, TPoint Pt, uint32_t& Effect) {
    try {
        FDragScrollStart = 0;
        const TShiftState shift = DragShiftState(KeyState);
        const TPoint p = ScreenToClient(Pt);
        TBaseLazyTree* source = DragManager()->SourceTree();
        Effect = ProposeDropEffect(source, shift, p, Effect);
        if (FireDragOver(source, shift, dsDragEnter, p, FLastDropMode, Effect)) {
            THitInfo hit;
            GetHitTestInfoAt(p.X, p.Y, true, hit);
            if (hit.HitNode) {
                FDropTargetNode = hit.HitNode;
                const TRect r = GetDisplayRect(hit.HitNode, MainColumn(), false);
                if (hit.HitPositions.Contains(hiOnItemLabel) ||
                    (hit.HitPositions.Contains(hiOnItem) && (FOptions->MiscOptions().Contains(toFullRowDrag) ||
                                                             FOptions->SelectionOptions().Contains(toFullRowSelect))))
                    FLastDropMode = dmOnNode;
                else
                    FLastDropMode = p.Y < (r.Top + r.Bottom) / 2 ? dmAbove : dmBelow;
            } else {
                FLastDropMode = dmNowhere;
            }
        } else {
            Effect = DROPEFFECT_NONE;
        }
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT TBaseLazyTree::HandleDragOver(TObject* Source, uint32_t KeyState, TDragState State, TPoint Pt,
                                      uint32_t& Effect) {
    try {
        const TPoint p = ScreenToClient(Pt);
        FScrollDirections = ComputeAutoScrollDirections(p.X, p.Y);
        int dx = 0, dy = 0;
        const int ch = ClientHeight(), cw = ClientWidth();
        const int incY = FScrollBarOptions->VerticalIncrement(), incX = FScrollBarOptions->HorizontalIncrement();
        if (FScrollDirections.Contains(sdUp)) {
            if (FOffsetY == 0) FScrollDirections.Exclude(sdUp);
            else dy = std::min(incY, ch);
        }
        if (FScrollDirections.Contains(sdDown)) {
            if (ch - FOffsetY == int(RangeY())) FScrollDirections.Exclude(sdDown);
            else dy = -std::min(incY, ch);
        }
        if (FScrollDirections.Contains(sdLeft)) {
            if (FEffectiveOffsetX == 0) FScrollDirections.Exclude(sdLeft);
            else dx = incX;
        }
        if (FScrollDirections.Contains(sdRight)) {
            if (cw + FEffectiveOffsetX == int(RangeX())) FScrollDirections.Exclude(sdRight);
            else dx = -incX;
        }
        // A tree's own drag image over this window is repainted around; with
        // the platform's drag picture (or a drag from elsewhere) plain
        // invalidation does.
        auto* sourceTree = dynamic_cast<TBaseLazyTree*>(Source);
        if (sourceTree && (DragManager()->HasTargetHelper() || !sourceTree->DragImage()->Visible()))
            sourceTree = nullptr;
        const TPoint screen = Pt;
        bool scrolled = false;
        if (!FScrollDirections.Empty() && (dx || dy))
            scrolled = ApplyScrollOffsets(Point(FOffsetX + dx, FOffsetY + dy),
                                          sourceTree ? TScrollUpdateOptions{suoRepaintScrollBars, suoUpdateNCArea}
                                                     : AllScrollUpdateOptions);
        const TShiftState shift = DragShiftState(KeyState);
        THitInfo hit;
        GetHitTestInfoAt(p.X, p.Y, true, hit);
        TRect r = hit.HitNode ? GetDisplayRect(hit.HitNode, NoColumn, false) : TRect();
        const TDropMode mode = DropModeAtPoint(p, hit, r);
        const bool imageMoves = sourceTree && sourceTree->DragImage()->WillMove(screen);
        const auto repaint = [&](TRect area) {
            if (!HandleAllocated()) return;
            if (sourceTree)
                RepaintAroundDragImage(sourceTree, scrolled ? ClientRect() : area, scrolled, !imageMoves);
            else
                InvalidateRect(this, &area, false);
        };
        if (hit.HitNode != FDropTargetNode || mode != FLastDropMode) {
            FLastDropMode = mode;
            if (hit.HitNode == FDropTargetNode) {
                repaint(r);
            } else {
                KillTreeTimer(ExpandTimer);
                PLazyNode old = FDropTargetNode;
                FDropTargetNode = hit.HitNode;
                if (FFocusedColumn < 0) FFocusedColumn = MainColumn();
                if (old && FDropTargetNode) {
                    TRect o = GetDisplayRect(old, NoColumn, false);
                    UnionRect(r, r, o);
                    repaint(r);
                } else if (old) {
                    repaint(GetDisplayRect(old, NoColumn, false));
                } else if (FDropTargetNode) {
                    repaint(r);
                }
                if (FDropTargetNode && FOptions->AutoOptions().Contains(toAutoDropExpand) &&
                    FDropTargetNode->States.Contains(vsHasChildren) && HandleAllocated())
                    SetTimer(this, ExpandTimer, AutoExpandDelay);
            }
        } else if ((dx || dy) && sourceTree && HandleAllocated()) {
            RepaintAroundDragImage(sourceTree, ClientRect(), scrolled, !imageMoves);
        }
        if (HandleAllocated()) Update();
        if (imageMoves) sourceTree->DragImage()->DragTo(screen, false);
        Effect = ProposeDropEffect(Source, shift, p, Effect);
        if (!FireDragOver(Source, shift, State, p, FLastDropMode, Effect)) Effect = DROPEFFECT_NONE;
        if (scrolled) Effect |= DROPEFFECT_SCROLL;
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

void TBaseLazyTree::RepaintAroundDragImage(TBaseLazyTree* SourceTree, TRect TreeRect, bool UpdateNCArea,
                                           bool ReshowDragImage) {
    if (!SourceTree || !HandleAllocated()) return;
    TRect R;
    if (!IntersectRect(R, TreeRect, ClientRect())) return;
    TLTDragImage* image = SourceTree->DragImage();
    image->RecaptureBackground(this, R, ReshowDragImage);
    // The image's place in client coordinates: painted into its saved
    // contents above, never on the screen.
    TRect hole;
    const TRect s = image->GetDragImageRect();
    if (!s.IsEmpty()) {
        const TPoint tl = ScreenToClient(Point(s.Left, s.Top));
        hole = Rect(tl.X, tl.Y, tl.X + s.Width(), tl.Y + s.Height());
    }
    if (UpdateNCArea && FHeader->Options().Contains(hoVisible)) FHeader->Invalidate(nullptr);
    // R less the hole: up to four bands.
    TRect cut;
    QList<TRect> bands;
    if (!IntersectRect(cut, R, hole)) {
        bands << R;
    } else {
        bands << Rect(R.Left, R.Top, R.Right, cut.Top) << Rect(R.Left, cut.Bottom, R.Right, R.Bottom)
              << Rect(R.Left, cut.Top, cut.Left, cut.Bottom) << Rect(cut.Right, cut.Top, R.Right, cut.Bottom);
    }
    for (const TRect& b : bands)
        if (!b.IsEmpty()) InvalidateRect(this, &b, false);
    Update();
}

void TBaseLazyTree::HandleDragLeave() {
    KillTreeTimer(ExpandTimer);
    if (FDropTargetNode) {
        RepaintNode(FDropTargetNode);
        FDropTargetNode = nullptr;
    }
    uint32_t effect = 0;
    FireDragOver(nullptr, TShiftState(), dsDragLeave, Point(0, 0), FLastDropMode, effect);
}

HRESULT TBaseLazyTree::HandleDrop(IDataObject* DataObject, uint32_t KeyState, TPoint Pt, uint32_t& Effect) {
    KillTreeTimer(ExpandTimer);
    KillTreeTimer(ScrollTimer);
    SwitchStates({}, {tsScrollPending, tsScrolling});
    HRESULT result = HandleDragOver(DragManager()->SourceTree(), KeyState, dsDragMove, Pt, Effect);
    if (result != S_OK || (Effect & ~DROPEFFECT_SCROLL) == DROPEFFECT_NONE) {
        result = E_FAIL;
    } else {
        TShiftState shift = KeysToShiftState(KeyState);
        if (KeyState & MK_ALT) shift = shift | ssAlt;
        shift = shift | (FStates.Contains(tsRightButtonDown)    ? ssRight
                         : FStates.Contains(tsMiddleButtonDown) ? ssMiddle
                                                                : ssLeft);
        const TPoint p = ScreenToClient(Pt);
        QList<TClipFormat> formats;
        std::shared_ptr<IEnumFORMATETC> e;
        if (DataObject && DataObject->EnumFormatEtc(DATADIR_GET, e) == S_OK && e) {
            e->Reset();
            FORMATETC f;
            std::uint32_t got = 0;
            while (e->Next(1, &f, &got) == S_OK && got == 1) formats << f.cfFormat;
        }
        try {
            Effect &= ~DROPEFFECT_SCROLL;
            FireDragDrop(DragManager()->SourceTree(), DataObject, formats, shift, p, Effect, FLastDropMode);
            result = S_OK;
        } catch (const Exception& e) {
            Application()->HandleException(e);
            result = E_UNEXPECTED;
        } catch (...) {
            result = E_UNEXPECTED;
        }
    }
    if (FDropTargetNode) {
        RepaintNode(FDropTargetNode);
        FDropTargetNode = nullptr;
    }
    return result;
}

void TBaseLazyTree::ExpandDropTarget() {
    KillTreeTimer(ExpandTimer);
    if (FDropTargetNode && FDropTargetNode->States.Contains(vsHasChildren) &&
        !FDropTargetNode->States.Contains(vsExpanded)) {
        ToggleNode(FDropTargetNode);
        if (HandleAllocated()) UpdateWindow(this);
    }
}

void TBaseLazyTree::RunOLEDragDrop(TPoint P) {
    if (IsEditing()) AbortEditing();
    if (FFocusedNode && !GetSelected(FFocusedNode)) {
        SetSelected(FFocusedNode, true);
        RepaintNode(FFocusedNode);
    }
    if (HandleAllocated()) UpdateWindow(this);
    TLTExchangeState& x = Exchange();
    std::shared_ptr<TLTDragManager> manager = DragManager();
    x.DragSelection = GetSortedSelection(true);
    SwitchStates({tsOLEDragging}, {tsOLEDragPending, tsClearPending});
    x.LastDragEffect = DROPEFFECT_NONE;
    try {
        std::shared_ptr<IDataObject> data = manager->TransferObject();
        PrepareDragImage(P, data.get());
        FLastDropMode = dmOnNode;
        uint32_t allowed = 0;
        if (DragOperations.Contains(doCopy)) allowed |= DROPEFFECT_COPY;
        if (DragOperations.Contains(doMove)) allowed |= DROPEFFECT_MOVE;
        if (DragOperations.Contains(doLink)) allowed |= DROPEFFECT_LINK;
        if (allowed == 0) allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        uint32_t effect = DROPEFFECT_NONE;
        if (data) DoDragDrop(data.get(), manager.get(), allowed, effect);
        x.LastDragEffect = effect;
    } catch (...) {
        DragImage()->EndDrag();
        x.DragSelection.clear();
        SwitchStates({}, {tsOLEDragging});
        throw;
    }
    DragImage()->EndDrag();
    // The drop moved the nodes somewhere this tree knows nothing of.
    if (x.LastDragEffect == DROPEFFECT_MOVE && FOptions->AutoOptions().Contains(toAutoDeleteMovedNodes))
        DeleteSelectedNodes();
    x.DragSelection.clear();
    SwitchStates({}, {tsOLEDragging});
}

TLTDragImage* TBaseLazyTree::DragImage() {
    TLTExchangeState& x = Exchange();
    if (!x.DragImage) {
        x.DragImage = std::make_unique<TLTDragImage>(this);
        x.DragImage->Fade = true;
        x.DragImage->Transparency = 200;
    }
    return x.DragImage.get();
}

void TBaseLazyTree::PrepareDragImage(TPoint HotSpot, IDataObject* DataObject) {
    if (DragImageKind == diNoImage) return;
    std::unique_ptr<TBitmap> picture = DragPicture(HotSpot);
    const TPoint at = ClientToScreen(Point(HotSpot.X - picture->Width() / 2, HotSpot.Y - picture->Height() / 2));
    // The untouched background becomes transparent.
    DragImage()->ColorKey = FColors->BackGroundColor();
    DragImage()->PrepareDrag(picture.get(), at, ClientToScreen(HotSpot), DataObject);
}

std::unique_ptr<TBitmap> TBaseLazyTree::DragPicture(TPoint HotSpot) {
    const int w = std::max(1, DragWidth), h = std::max(1, DragHeight);
    auto bmp = std::make_unique<TBitmap>(w, h, pf32bit);
    bmp->Canvas()->Brush().SetColor(FColors->BackGroundColor());
    bmp->Canvas()->FillRect(Rect(0, 0, w, h));
    const TPoint tree = Point(HotSpot.X - FOffsetX, HotSpot.Y - FOffsetY);
    TLTInternalPaintOptions options = {poDrawSelection, poSelectedOnly};
    if (DragImageKind == diMainColumnOnly) options.Include(poMainOnly);
    PaintTree(bmp->Canvas(), Rect(tree.X - w / 2, tree.Y - h / 2, tree.X - w / 2 + w, tree.Y - h / 2 + h),
              Point(0, 0), options, pf32bit);
    return bmp;
}

// ---------------------------------------------------------------------------
// Drags of the class library
// ---------------------------------------------------------------------------

namespace {
uint32_t KeyboardKeyState() {
    const TShiftState shift = KeyboardShiftState();
    uint32_t keys = 0;
    if (shift & ssShift) keys |= MK_SHIFT;
    if (shift & ssCtrl) keys |= MK_CONTROL;
    return keys;
}
}  // namespace

void TBaseLazyTree::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    if (State == dsDragEnter) {
        SwitchStates({tsVCLDragging}, {});
    } else if (State == dsDragLeave) {
        SwitchStates({tsVCLDragFinished}, {tsVCLDragging});
    } else {
        ArmAutoScroll(X, Y);
    }
    uint32_t effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    HandleDragOver(Source, KeyboardKeyState(), State, ClientToScreen(Point(X, Y)), effect);
    FLastVCLDragTarget = FDropTargetNode;
    FVCLDragEffect = effect;
    if (State == dsDragLeave && FDropTargetNode) {
        RepaintNode(FDropTargetNode);
        FDropTargetNode = nullptr;
    }
    Accept = effect != DROPEFFECT_NONE;
}

void TBaseLazyTree::DragDrop(TObject* Source, int X, int Y) {
    const uint32_t keys = KeyboardKeyState();
    if (FDropTargetNode) RepaintNode(FDropTargetNode);
    FDropTargetNode = FLastVCLDragTarget;
    try {
        uint32_t effect = FVCLDragEffect;
        FireDragDrop(Source, nullptr, {}, KeysToShiftState(keys), Point(X, Y), effect, FLastDropMode);
    } catch (...) {
        if (FDropTargetNode) RepaintNode(FDropTargetNode);
        FDropTargetNode = nullptr;
        FLastVCLDragTarget = nullptr;
        throw;
    }
    if (FDropTargetNode) RepaintNode(FDropTargetNode);
    FDropTargetNode = nullptr;
    FLastVCLDragTarget = nullptr;
}

void TBaseLazyTree::DoStartDrag(TDragObject*& DragObject) {
    TCustomControl::DoStartDrag(DragObject);
    if (DragObject) SwitchStates({tsUserDragObject}, {});
    // The drag runs: the pending press becomes a drag, no click follows.
    if (FStates.Contains(tsVCLDragPending))
        SwitchStates({tsVCLDragging}, {tsClearPending, tsEditPending, tsVCLDragPending});
}

void TBaseLazyTree::DragCanceled() {
    TCustomControl::DragCanceled();
    FinishDrag();
}

void TBaseLazyTree::FinishDrag() {
    if (!FStates.ContainsAny({tsOLEDragging, tsVCLDragging, tsVCLDragPending, tsVCLDragFinished})) return;
    SwitchStates({}, {tsUserDragObject, tsVCLDragging, tsVCLDragPending, tsVCLDragFinished});
    const TPoint p = HandleAllocated() ? ScreenToClient(GetCursorPos()) : Point(0, 0);
    unsigned msg = WM_LBUTTONUP;
    if (FStates.Contains(tsRightButtonDown)) msg = WM_RBUTTONUP;
    else if (FStates.Contains(tsMiddleButtonDown)) msg = WM_MBUTTONUP;
    Perform(msg, 0, MakeLParam(p.X, p.Y));
}
