// The tree as a control: what the process makes once for every tree (check
// image lists, cursors), the colours, the border in the non-client area, the
// window's create parameters, the look notifications and the plain property
// writers.
#include "treeview/LazyTrees.h"
#include "treeview/LazyTreesClipboard.h"
#include "treeview/LazyTreesDragDrop.h"

#include "platform/controls/Clipboard.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Timers.h"
#include "platform/core/MathUtils.h"
#include "platform/graphics/Resources.h"

#include <array>
#include <memory>
#include <mutex>

// ---------------------------------------------------------------------------
// Process resources
// ---------------------------------------------------------------------------

namespace {
struct TProcessResources {
    std::recursive_mutex Lock;
    // The platform answers as a version above 5 with MMX; both decide only
    // looks that have no branch here.
    bool HasMMX = true;
    bool IsWinVistaOrAbove = true;
    TClipFormat ReferenceFormat = 0;
    std::array<std::unique_ptr<TImageList>, 9> Lists;
};

TProcessResources& Resources() {
    static TProcessResources r;
    return r;
}

std::once_flag gResourcesMade;

// Cuts a bitmap strip into square images, each masked with the colour of the
// strip's top-left pixel.
void LoadImageStrip(TImageList& List, const QString& Name, bool MapColors) {
    std::lock_guard<std::recursive_mutex> lock(Resources().Lock);
    TBitmap strip;
    const bool loaded = MapColors ? LoadMappedResourceBitmap(&strip, Name) : LoadResourceBitmap(&strip, Name);
    LTAssert(loaded && strip.Height() >= 1,
             QStringLiteral("Internal image \"") + Name + QStringLiteral("\" is missing or corrupt."));
    const int h = strip.Height();
    List.Clear();
    List.SetSize(h, h);
    const TColor mask = strip.Canvas()->Pixels(0, 0);
    for (int i = 0; i < strip.Width() / h; ++i) {
        TBitmap one(h, h);
        TRect to = Rect(0, 0, h, h), from = Rect(i * h, 0, i * h + h, h);
        one.Canvas()->CopyRect(to, strip.Canvas(), from);
        List.AddMasked(&one, mask);
    }
}

// The system's own check boxes and radio buttons, drawn by the platform in
// every state.
void CreateSystemCheckImages(TImageList& List, bool Flat) {
    const int w = GetSystemMetrics(SM_CXMENUCHECK), h = GetSystemMetrics(SM_CYMENUCHECK);
    List.Clear();
    List.SetSize(w, h);
    const TColor maskColor = clRed;
    auto add = [&](const std::function<void(TCanvas*)>& draw) {
        TBitmap b(w, h);
        TCanvas* c = b.Canvas();
        c->Brush().SetColor(maskColor);
        c->FillRect(Rect(0, 0, w, h));
        if (draw) draw(c);
        List.AddMasked(&b, maskColor);
    };
    add(nullptr);
    for (int i = 0; i < 20; ++i) {
        unsigned flags = i < 8 ? DFCS_BUTTONRADIO : (i >= 16 ? DFCS_BUTTON3STATE : DFCS_BUTTONCHECK);
        switch (i % 4) {
        case 1: flags |= DFCS_HOT; break;
        case 2: flags |= DFCS_PUSHED; break;
        case 3: flags |= DFCS_INACTIVE; break;
        default: break;
        }
        if ((i >= 4 && i <= 7) || i >= 12) flags |= DFCS_CHECKED;
        if (Flat) flags |= DFCS_FLAT;
        add([&](TCanvas* c) {
            TRect r = Rect(0, 0, w, h);
            c->DrawFrameControl(r, DFC_BUTTON, flags);
        });
    }
    // The last four come from the strip lists, centred.
    TImageList* from = Resources().Lists[Flat ? 4 : 1].get();
    for (int i = 21; i <= 24; ++i)
        add([&](TCanvas* c) {
            if (from && i < from->Count()) from->Draw(c, (w - from->Width()) / 2, (h - from->Height()) / 2, i);
        });
}
}  // namespace

void TBaseLazyTree::InitializeProcessResources() {
    std::call_once(gResourcesMade, [] {
        TProcessResources& r = Resources();
        r.ReferenceFormat = RegisterClipboardFormat(QStringLiteral("Lazy Tree Reference"));
        RegisterTreeClipboardFormats();
        static const char* const strips[7] = {"LT_CHECK_LIGHT", "LT_CHECK_DARK", "LT_TICK_LIGHT", "LT_TICK_DARK",
                                               "LT_FLAT",        "LT_XP",         "LT_UTILITIES"};
        for (int i = 0; i < 7; ++i) {
            r.Lists[i] = std::make_unique<TImageList>(16, 16);
            LoadImageStrip(*r.Lists[i], QString::fromLatin1(strips[i]), i != 5);
        }
        r.Lists[7] = std::make_unique<TImageList>();
        CreateSystemCheckImages(*r.Lists[7], false);
        r.Lists[8] = std::make_unique<TImageList>();
        CreateSystemCheckImages(*r.Lists[8], true);
        // The header's sizing cursors, made when first shown.
        RegisterNamedCursor(63, QStringLiteral("LT_HEADERSPLIT"));
        RegisterNamedCursor(62, QStringLiteral("LT_VERTSPLIT"));
    });
}

TImageList* TBaseLazyTree::InternalImageList(int Number) {
    if (Number < 1 || Number > 9) return nullptr;
    return Resources().Lists[Number - 1].get();
}

TImageList* TBaseLazyTree::CheckImages() const {
    switch (FCheckImageKind) {
    case ckLightCheck: return InternalImageList(1);
    case ckDarkCheck: return InternalImageList(2);
    case ckLightTick: return InternalImageList(3);
    case ckDarkTick: return InternalImageList(4);
    case ckFlat: return InternalImageList(5);
    case ckXP: return InternalImageList(6);
    case ckCustom: return FCustomCheckImages;
    case ckSystemFlat: return InternalImageList(9);
    case ckSystemDefault: return InternalImageList(8);
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Construction
// ---------------------------------------------------------------------------

void TBaseLazyTree::ConstructControl() {
    InitializeProcessResources();
    // The companions first: setting the bounds already asks them.
    FColors = std::make_unique<TLTColors>(this);
    FScrollBarOptions = std::make_unique<TScrollBarOptions>(this);
    FHeader = HeaderClass();
    ControlStyle = (ControlStyle & ~unsigned(csSetCaption)) | csCaptureMouse | csOpaque | csDoubleClicks;
    FNodeDataSize = -1;
    SetBounds(Left(), Top(), 200, 100);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    FDefaultNodeHeight = 18;
    FFocusedColumn = NoColumn;
    FIndent = 18;
    FCheckImageKind = ckSystemDefault;
    auto repaint = [this](TObject*) { ChangeLinkChanged(); };
    FImageChangeLink.OnChange = repaint;
    FStateChangeLink.OnChange = repaint;
    FCustomCheckChangeLink.OnChange = repaint;
    FMargin = 4;
    FTextMargin = 4;
    FAnimationDuration = 200;
    RegisterTree();
    AcquireWorker();
    RefreshStyleEnabled();
}

std::unique_ptr<TLTHeader> TBaseLazyTree::HeaderClass() { return std::make_unique<TLTHeader>(this); }

std::function<TCollectionItem*(TCollection*)> TBaseLazyTree::ColumnClass() {
    return TCollection::ItemClass<TLazyTreeColumn>();
}

void TBaseLazyTree::ReleaseControl() {
    if (FControlReleased) return;
    FControlReleased = true;
    FStyleScrollBarsHook.reset();
    StopCacheValidation();
    ReleaseWorker();
    UnregisterTree();
}

void TBaseLazyTree::ChangeLinkChanged() {
    if (!IsDestroying()) InvalidateTree();
}

void TBaseLazyTree::RaiseTreeError(const QString& Msg, int HelpContext) {
    throw ELazyTreeError(Msg, HelpContext);
}

// ---------------------------------------------------------------------------
// Window
// ---------------------------------------------------------------------------

void TBaseLazyTree::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    switch (FScrollBarOptions->ScrollBars()) {
    case ssHorizontal: Params.Style |= WS_HSCROLL; break;
    case ssVertical: Params.Style |= WS_VSCROLL; break;
    case ssBoth: Params.Style |= WS_HSCROLL | WS_VSCROLL; break;
    default: break;
    }
    if (FBorderStyle == bsSingle) {
        if (FCtl3D) Params.ExStyle |= WS_EX_CLIENTEDGE;
        else Params.Style |= WS_BORDER;
    } else {
        Params.Style &= ~WS_BORDER;
    }
}

void TBaseLazyTree::CreateWnd() {
    SwitchStates({tsWindowCreating}, {});
    try {
        TCustomControl::CreateWnd();
    } catch (...) {
        SwitchStates({}, {tsWindowCreating});
        throw;
    }
    SwitchStates({}, {tsWindowCreating});
    // No visual styles: neither theme state is entered.
    SwitchStates({}, {tsUseThemes, tsUseExplorerTheme});
    AutoScaleNodeHeight();
    FHeader->ReapplyHeaderLimits();
    UpdateScrollBars(true);
    RecalcHeaderRect();
    if (FOptions->MiscOptions().Contains(toAcceptOLEDrop)) RegisterDragDrop(this, DragManager());
}

TPoint TBaseLazyTree::BorderDimensions() {
    TPoint r(0, 0);
    const TCreateParams& p = Params();
    if (p.Style & WS_BORDER) {
        r.X -= 1;
        r.Y -= 1;
    }
    if (p.Style & WS_THICKFRAME) {
        r.X -= GetSystemMetrics(SM_CXDLGFRAME);
        r.Y -= GetSystemMetrics(SM_CYDLGFRAME);
    }
    if (p.ExStyle & WS_EX_CLIENTEDGE) {
        r.X -= GetSystemMetrics(SM_CXEDGE);
        r.Y -= GetSystemMetrics(SM_CYEDGE);
    }
    return r;
}

namespace {
// The pixels a bevel of the given cuts takes on each of its edges.
int BevelSize(TBevelCut inner, TBevelCut outer, int width) {
    return (inner != bvNone ? width : 0) + (outer != bvNone ? width : 0);
}
}  // namespace

void TBaseLazyTree::RecalcHeaderRect() {
    TRect R = Rect(0, 0, Width(), Height());
    const TPoint b = BorderDimensions();
    InflateRect(R, b.X, b.Y);
    int edgeX = FBorderWidth, edgeY = FBorderWidth;
    if (FBevelKind != bkNone) {
        const int w = BevelSize(FBevelInner, FBevelOuter, FBevelWidth);
        if (FBevelEdges.Contains(beLeft)) edgeX += w;
        if (FBevelEdges.Contains(beTop)) edgeY += w;
    }
    R.Left += edgeX;
    R.Right -= edgeX;
    R.Top += edgeY;
    R.Bottom -= edgeY;
    if (FHeader->Options().Contains(hoVisible)) {
        if (R.Left <= R.Right) R.Bottom = R.Top + FHeader->Height();
        else R = TRect();
    } else {
        R.Bottom = R.Top;
    }
    FHeaderRect = R;
}

void TBaseLazyTree::WMNCCalcSize(TMessage& M) {
    if (M.LParam) {
        auto& r = *reinterpret_cast<TRect*>(M.LParam);
        const TPoint b = BorderDimensions();
        int left = -b.X + FBorderWidth, top = -b.Y + FBorderWidth, right = left, bottom = top;
        if (FBevelKind != bkNone) {
            const int w = BevelSize(FBevelInner, FBevelOuter, FBevelWidth);
            if (FBevelEdges.Contains(beLeft)) left += w;
            if (FBevelEdges.Contains(beTop)) top += w;
            if (FBevelEdges.Contains(beRight)) right += w;
            if (FBevelEdges.Contains(beBottom)) bottom += w;
        }
        r.Left += left;
        r.Top += top;
        r.Right = std::max(r.Left, r.Right - right);
        r.Bottom = std::max(r.Top, r.Bottom - bottom);
    }
    TCustomControl::WMNCCalcSize(M);
    if (M.LParam && FHeader && FHeader->Options().Contains(hoVisible)) {
        auto& r = *reinterpret_cast<TRect*>(M.LParam);
        r.Top = std::min(r.Bottom, r.Top + FHeader->Height());
    }
}

void TBaseLazyTree::WMNCPaint(TMessage& M) {
    TCustomControl::WMNCPaint(M);
    if (!M.WParam) return;
    TCanvas c;
    reinterpret_cast<const TPaintTarget*>(M.WParam)->AttachCanvas(c);
    const TCreateParams& p = Params();
    TRect edge = Rect(0, 0, Width(), Height());
    if (p.ExStyle & WS_EX_CLIENTEDGE) {
        c.DrawEdge(edge, EDGE_SUNKEN, BF_RECT);
    } else if (p.Style & WS_BORDER) {
        c.Brush().SetColor(clWindowFrame);
        c.FrameRect(edge);
    }
    if (FHeader->Options().Contains(hoVisible) && !FHeaderRect.IsEmpty())
        FHeader->Columns()->PaintHeader(&c, FHeaderRect, -FEffectiveOffsetX);
    PaintControlBorder(&c);
}

void TBaseLazyTree::PaintControlBorder(TCanvas* DC) {
    if (FBevelKind == bkNone && FBorderWidth == 0) return;
    TRect R = Rect(0, 0, Width(), Height());
    const TPoint b = BorderDimensions();
    InflateRect(R, b.X, b.Y);
    const TRect whole = R;
    if (FBevelKind != bkNone) {
        unsigned inner = FBevelInner == bvLowered ? BDR_SUNKENINNER : FBevelInner == bvRaised ? BDR_RAISEDINNER : 0u;
        unsigned outer = FBevelOuter == bvLowered ? BDR_SUNKENOUTER : FBevelOuter == bvRaised ? BDR_RAISEDOUTER : 0u;
        unsigned edges = (FBevelEdges.Contains(beLeft) ? BF_LEFT : 0u) | (FBevelEdges.Contains(beTop) ? BF_TOP : 0u) |
                         (FBevelEdges.Contains(beRight) ? BF_RIGHT : 0u) |
                         (FBevelEdges.Contains(beBottom) ? BF_BOTTOM : 0u);
        unsigned kind = FBevelKind == bkSoft ? BF_SOFT : FBevelKind == bkFlat ? BF_FLAT : 0u;
        if (!FCtl3D) kind |= BF_MONO;
        TRect e = R;
        DC->DrawEdge(e, inner | outer, edges | kind);
        const int w = BevelSize(FBevelInner, FBevelOuter, FBevelWidth);
        if (FBevelEdges.Contains(beLeft)) R.Left += w;
        if (FBevelEdges.Contains(beTop)) R.Top += w;
        if (FBevelEdges.Contains(beRight)) R.Right -= w;
        if (FBevelEdges.Contains(beBottom)) R.Bottom -= w;
    }
    if (FBorderWidth == 0) return;
    // The ring between the bevel and the client edge takes the border colour.
    const TRect outer = R;
    InflateRect(R, -FBorderWidth, -FBorderWidth);
    DC->Brush().SetColor(FColors->GetColor(TLTColors::BorderColor));
    DC->FillRect(Rect(outer.Left, outer.Top, outer.Right, R.Top));
    DC->FillRect(Rect(outer.Left, R.Bottom, outer.Right, outer.Bottom));
    DC->FillRect(Rect(outer.Left, R.Top, R.Left, R.Bottom));
    DC->FillRect(Rect(R.Right, R.Top, outer.Right, R.Bottom));
    (void)whole;
}

void TBaseLazyTree::WMSize(TMessage& M) {
    TCustomControl::WMSize(M);
    if (!HandleAllocated() || IsDestroying()) return;
    SwitchStates({tsSizing}, {});
    try {
        RecalcHeaderRect();
        FHeader->ReapplyHeaderLimits();
        FHeader->DistributeSpringWidth();
        if (FHeader->Options().Contains(hoAutoResize)) FHeader->Columns()->FitAutoSizeColumn(InvalidColumn, false);
        UpdateScrollBars(true);
        // Without columns the editor's cell follows the width.
        if (FStates.Contains(tsEditing) && !HeaderUsesColumns()) PlaceEditor();
    } catch (...) {
        SwitchStates({}, {tsSizing});
        throw;
    }
    SwitchStates({}, {tsSizing});
}

void TBaseLazyTree::SetStyledScrollBars(bool Value) {
    if (Value == StyledScrollBars()) return;
    SetStyleScrollBarsHook(Value ? std::make_unique<TVclStyleScrollBarsHook>(this) : nullptr);
}

void TBaseLazyTree::SetStyleScrollBarsHook(std::unique_ptr<TVclStyleScrollBarsHook> Hook) {
    FStyleScrollBarsHook = std::move(Hook);
    if (FStyleScrollBarsHook && HandleAllocated()) {
        FStyleScrollBarsHook->MeasureScrollBars();
        FStyleScrollBarsHook->PlaceScrollBarWindows();
        FStyleScrollBarsHook->RepaintScrollBars();
    }
}

void TBaseLazyTree::StyleHookDefault(TMessage& M) {
    const bool was = FInStyleHookDefault;
    FInStyleHookDefault = true;
    try {
        WndProc(M);
    } catch (...) {
        FInStyleHookDefault = was;
        throw;
    }
    FInStyleHookDefault = was;
}

void TBaseLazyTree::WndProc(TMessage& M) {
    // The styled scroll bars see the messages first, then the header.
    if (FStyleScrollBarsHook && !FInStyleHookDefault && FStyleScrollBarsHook->HandleMessage(M)) return;
    // The header sees every message first and may keep it.
    if (FHeader && HandleAllocated() && FHeader->HandleHeaderMessage(M)) return;
    if (InputWndProc(M)) return;
    switch (M.Msg) {
    case WM_CHANGESTATE: WMChangeState(M); return;
    case WM_PRINTCLIENT: WMPrintClient(M); return;
    case WM_VSCROLL: WMVScroll(M); return;
    case WM_HSCROLL: WMHScroll(M); return;
    case CM_CTL3DCHANGED:
        TCustomControl::WndProc(M);
        if (FBorderStyle == bsSingle) RecreateWnd();
        return;
    case CM_BIDIMODECHANGED: {
        TCustomControl::WndProc(M);
        if (UseRightToLeftAlignment()) FEffectiveOffsetX = int(FRangeX) + FOffsetX - ClientWidth();
        else FEffectiveOffsetX = -FOffsetX;
        if (FEffectiveOffsetX < 0) FEffectiveOffsetX = 0;
        if (FOptions->AutoOptions().Contains(toAutoBidiColumnOrdering))
            FHeader->Columns()->ResetPositions(UseRightToLeftAlignment());
        FHeader->Invalidate(nullptr);
        return;
    }
    case CM_BORDERCHANGED: TCustomControl::WndProc(M); return;
    case CM_BASE + 0x50: return;  // parent double-buffering changed: nothing to do
    case CM_BASE + 0x51:          // style changed
        RefreshStyleEnabled();
        RecreateWnd();
        return;
    case 0xB7D0: M.Result = 1; return;
    case CM_SYSCOLORCHANGE:
        // The system colours changed: the strip lists are made again with
        // the new colours mapped.
        M.Msg = WM_SYSCOLORCHANGE;
        TCustomControl::WndProc(M);
        return;
    default: break;
    }
    TCustomControl::WndProc(M);
}

void TBaseLazyTree::CMColorChanged(TMessage& M) {
    TCustomControl::CMColorChanged(M);
    if (IsLoading()) return;
    if (HandleAllocated()) InvalidateTree();
    for (int i = 0; i < FHeader->Columns()->Count(); ++i) FHeader->Columns()->Items(i)->ParentColorChanged();
}

void TBaseLazyTree::HookFontChange(TCanvas* Canvas) {
    if (!Canvas || FFontHooked) return;
    FOldFontChange = Canvas->Font().OnChange;
    Canvas->Font().OnChange = [this](TGraphicsObject*) { FontChangeHandler(nullptr); };
    FFontHooked = true;
}

void TBaseLazyTree::FontChangeHandler(TObject*) {
    FFontChanged = true;
    if (FOldFontChange) FOldFontChange(nullptr);
}

void TBaseLazyTree::ApplyWindowTheme(const QString&) {
    // Setting a window theme tells the window of the change at once; the
    // flag marks that change as the tree's own (no re-creation follows).
    FChangingTheme = true;
    if (HandleAllocated()) Perform(WM_THEMECHANGED, 0, 0);
    FChangingTheme = false;
}

void TBaseLazyTree::KillTreeTimer(unsigned ID) {
    if (HandleAllocated()) KillTimer(this, ID);
}

// ---------------------------------------------------------------------------
// Loading, notification, copying, scaling
// ---------------------------------------------------------------------------

void TBaseLazyTree::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent != this) {
        if (AComponent == FImages) {
            FImages = nullptr;
            if (!IsDestroying()) InvalidateTree();
        }
        if (AComponent == FStateImages) {
            FStateImages = nullptr;
            if (!IsDestroying()) InvalidateTree();
        }
        if (AComponent == FCustomCheckImages) {
            FCustomCheckImages = nullptr;
            FCheckImageKind = ckSystemDefault;
            if (!IsDestroying()) InvalidateTree();
        }
        if (AComponent == FHeader->Images()) FHeader->SetImages(nullptr);
        if (FHeader->PopupMenu && AComponent == FHeader->PopupMenu) FHeader->PopupMenu = nullptr;
    }
    TCustomControl::Notification(AComponent, Operation);
}

void TBaseLazyTree::Assign(const TPersistent* Source) {
    const auto* src = dynamic_cast<const TBaseLazyTree*>(Source);
    if (!src || IsReadOnly()) {
        TCustomControl::Assign(Source);
        return;
    }
    SetAlign(src->Align());
    AutoScrollDelay = src->AutoScrollDelay;
    SetAutoScrollInterval(src->AutoScrollInterval());
    SetBevelEdges(src->BevelEdges());
    SetBevelInner(src->BevelInner());
    SetBevelKind(src->BevelKind());
    SetBevelOuter(src->BevelOuter());
    SetBevelWidth(src->BevelWidth());
    SetBiDiMode(src->BiDiMode());
    SetBorderStyle(src->BorderStyle());
    SetBorderWidth(src->BorderWidth());
    ChangeDelay = src->ChangeDelay;
    SetCheckImageKind(src->CheckImageKind());
    SetColor(src->Color());
    SetColors(src->Colors());
    SetCtl3D(src->Ctl3D());
    SetDefaultNodeHeight(src->DefaultNodeHeight());
    DefaultPasteMode = src->DefaultPasteMode;
    SetDragCursor(src->DragCursor());
    DragImageKind = src->DragImageKind;
    SetDragMode(src->DragMode());
    SetEnabled(src->Enabled());
    Font()->Assign(*const_cast<TBaseLazyTree*>(src)->Font());
    SetHeader(src->Header());
    HintAnimation = src->HintAnimation;
    HotCursor = src->HotCursor;
    SetImages(src->Images());
    SetIndent(src->Indent());
    SetMargin(src->Margin());
    SetNodeAlignment(src->NodeAlignment());
    SetNodeDataSize(src->NodeDataSize());
    SetTreeOptions(src->TreeOptions());
    SetParentColor(src->ParentColor());
    SetParentFont(src->ParentFont());
    SetParentShowHint(src->ParentShowHint());
    SetPopupMenu(src->PopupMenu());
    SetRootNodeCount(0);
    Clear();
    SetRootNodeCount(src->RootNodeCount());
    SetScrollBarOptions(src->ScrollBarOptions());
    SetShowHint(src->ShowHint());
    SetStateImages(src->StateImages());
    SetTabStop(src->TabStop());
    TControl::SetVisible(src->Visible());
    SelectionCurveRadius = src->SelectionCurveRadius;
    SelectionBlendFactor = src->SelectionBlendFactor;
    SetEmptyListMessage(src->EmptyListMessage());
}

void TBaseLazyTree::ChangeScale(int M, int D) {
    if (M != D && FOptions->AutoOptions().Contains(toAutoChangeScale)) {
        FHeader->ScaleHeader(M, D);
        SetDefaultNodeHeight(uint32_t(MulDiv(int(FDefaultNodeHeight), M, D)));
        SetIndent(uint32_t(MulDiv(int(FIndent), M, D)));
    }
}

void TBaseLazyTree::AutoScaleNodeHeight() {
    if (!FOptions->AutoOptions().Contains(toAutoChangeScale)) return;
    TCanvas* c = Canvas();
    c->Font().Assign(*Font());
    const int h = c->TextHeight(QStringLiteral("Tg"));
    if (h > int(FDefaultNodeHeight)) SetDefaultNodeHeight(uint32_t(h));
}

TDropMode TBaseLazyTree::DropModeAtPoint(TPoint P, const THitInfo& HitInfo, const TRect& NodeRect) {
    const bool fullRow = HitInfo.HitPositions.Contains(hiOnItem) &&
                         (FOptions->MiscOptions().Contains(toFullRowDrag) ||
                          FOptions->SelectionOptions().Contains(toFullRowSelect));
    const bool outside = !HitInfo.HitPositions.ContainsAny({hiOnItemLabel, hiOnNormalIcon, hiOnStateIcon});
    PLazyNode node = HitInfo.HitNode;
    if (FOptions->MiscOptions().Contains(toReportMode) && !fullRow && (outside || HitInfo.HitColumn != MainColumn()))
        node = nullptr;
    if (!node) return dmNowhere;
    if (outside && FOptions->PaintOptions().Contains(toShowDropmark))
        return P.Y < (NodeRect.Top + NodeRect.Bottom) / 2 ? dmAbove : dmBelow;
    return dmOnNode;
}

void TBaseLazyTree::MarkSelectedForClipboard() {
    for (PLazyNode n : GetSortedSelection(false))
        if (!n->States.Contains(vsDisabled)) n->States.Include(vsCutOrCopy);
}

void TBaseLazyTree::BeginDrag(bool Immediate, int Threshold) {
    if (DragType == dtVCL) {
        SwitchStates({tsVCLDragPending}, {});
        TCustomControl::BeginDrag(Immediate, Threshold);
        return;
    }
    if (FStates.ContainsAny({tsOLEDragging, tsOLEDragPending})) return;
    FDragThreshold = Threshold < 0 ? GetSystemMetrics(SM_CXDOUBLECLK) + 1 : Threshold;
    // The system drag that carries the data comes with the exchange steps;
    // until then an immediate start also waits for the mouse to move.
    SwitchStates({tsOLEDragPending}, {});
    (void)Immediate;
}

void TBaseLazyTree::RepaintNode(PLazyNode Node) {
    if (!Node || Node == FRoot || !HandleAllocated()) return;
    TRect r = GetDisplayRect(Node, NoColumn, false);
    if (r.IsEmpty()) return;
    RepaintArea(r);
}

// ---------------------------------------------------------------------------
// Property writers
// ---------------------------------------------------------------------------

void TBaseLazyTree::SetIndent(uint32_t Value) {
    if (Value == FIndent) return;
    FIndent = Value;
    if (!IsLoading() && FUpdateCount == 0 && HandleAllocated()) {
        UpdateScrollBars(true);
        InvalidateTree();
    }
}

void TBaseLazyTree::SetLineMode(TLTLineMode Value) {
    if (Value == FLineMode) return;
    FLineMode = Value;
    if (HandleAllocated() && !IsLoading()) InvalidateTree();
}

void TBaseLazyTree::SetMargin(int Value) {
    if (Value == FMargin) return;
    FMargin = Value;
    if (HandleAllocated() && !IsLoading()) InvalidateTree();
}

void TBaseLazyTree::SetTextMargin(int Value) {
    if (Value == FTextMargin) return;
    FTextMargin = Value;
    if (HandleAllocated() && !IsLoading()) InvalidateTree();
}

void TBaseLazyTree::SetLineStyle(TLTLineStyle Value) {
    if (Value == FLineStyle) return;
    FLineStyle = Value;
    if (!IsLoading() && HandleAllocated()) InvalidateTree();
}

void TBaseLazyTree::SetNodeAlignment(TLTNodeAlignment Value) {
    if (Value == FNodeAlignment) return;
    FNodeAlignment = Value;
    if (HandleAllocated() && !IsLoading()) InvalidateTree();
}

void TBaseLazyTree::SetEmptyListMessage(const QString& Value) {
    if (Value == FEmptyListMessage) return;
    FEmptyListMessage = Value;
    InvalidateTree();
}

namespace {
// Moves a change link and the free notification from one list to another.
void SwapImageList(TBaseLazyTree* tree, TCustomImageList*& field, TCustomImageList* value, TChangeLink& link) {
    if (field) {
        field->UnRegisterChanges(&link);
        field->RemoveFreeNotification(tree);
    }
    field = value;
    if (field) {
        field->RegisterChanges(&link);
        field->FreeNotification(tree);
    }
}
}  // namespace

void TBaseLazyTree::SetImages(TCustomImageList* Value) {
    if (Value == FImages) return;
    SwapImageList(this, FImages, Value, FImageChangeLink);
    if (!IsLoading()) InvalidateTree();
}

void TBaseLazyTree::SetStateImages(TCustomImageList* Value) {
    if (Value == FStateImages) return;
    SwapImageList(this, FStateImages, Value, FStateChangeLink);
    if (!IsLoading()) InvalidateTree();
}

void TBaseLazyTree::SetCustomCheckImages(TCustomImageList* Value) {
    if (Value == FCustomCheckImages) return;
    SwapImageList(this, FCustomCheckImages, Value, FCustomCheckChangeLink);
    if (FCustomCheckImages) FCheckImageKind = ckCustom;
    else if (FCheckImageKind == ckCustom) FCheckImageKind = ckSystemDefault;
    if (!IsLoading()) InvalidateTree();
}

void TBaseLazyTree::SetCheckImageKind(TCheckImageKind Value) {
    if (Value == FCheckImageKind) return;
    FCheckImageKind = Value;
    if (!IsLoading()) InvalidateTree();
}

void TBaseLazyTree::SetAnimationDuration(uint32_t Value) {
    FAnimationDuration = Value;
    TLTAnimationOptions a = FOptions->AnimationOptions();
    if (Value == 0) a.Exclude(toAnimatedToggle);
    else a.Include(toAnimatedToggle);
    FOptions->SetAnimationOptions(a);
}

void TBaseLazyTree::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    if (!IsLoading()) InvalidateTree();
}

void TBaseLazyTree::SetBorderStyle(TBorderStyle Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    RecreateWnd();
    if (HandleAllocated()) RecalcNCArea();
}

namespace {
// A change of the frame: the non-client area and the header rectangle are
// computed again.
void FrameChanged(TBaseLazyTree* tree) {
    if (!tree->HandleAllocated()) return;
    tree->RecalcNCArea();
    tree->RecalcHeaderRect();
}
}  // namespace

void TBaseLazyTree::SetBorderWidth(int Value) {
    if (Value < 0) Value = 0;
    if (Value == FBorderWidth) return;
    FBorderWidth = Value;
    FrameChanged(this);
}

void TBaseLazyTree::SetBevelKind(TBevelKind Value) {
    if (Value == FBevelKind) return;
    FBevelKind = Value;
    FrameChanged(this);
}

void TBaseLazyTree::SetBevelInner(TBevelCut Value) {
    if (Value == FBevelInner) return;
    FBevelInner = Value;
    FrameChanged(this);
}

void TBaseLazyTree::SetBevelOuter(TBevelCut Value) {
    if (Value == FBevelOuter) return;
    FBevelOuter = Value;
    FrameChanged(this);
}

void TBaseLazyTree::SetBevelEdges(TBevelEdges Value) {
    if (Value == FBevelEdges) return;
    FBevelEdges = Value;
    FrameChanged(this);
}

void TBaseLazyTree::SetBevelWidth(int Value) {
    if (Value < 1) Value = 1;
    if (Value == FBevelWidth) return;
    FBevelWidth = Value;
    FrameChanged(this);
}

void TBaseLazyTree::SetCtl3D(bool Value) {
    if (Value == FCtl3D) return;
    FCtl3D = Value;
    Perform(CM_CTL3DCHANGED);
}

void TBaseLazyTree::SetBiDiMode(TBiDiMode Value) {
    if (Value == FBiDiMode) return;
    FBiDiMode = Value;
    for (int i = 0; i < FHeader->Columns()->Count(); ++i) FHeader->Columns()->Items(i)->ParentBiDiModeChanged();
    Perform(CM_BIDIMODECHANGED);
}

// ---------------------------------------------------------------------------
// TLTColors
// ---------------------------------------------------------------------------

TLTColors::TLTColors(TBaseLazyTree* AOwner) : FOwner(AOwner) {
    static constexpr TColor defaults[Count] = {
        clBtnShadow, clHighlight, clHighlight, clHighlight, clBtnFace, clBtnShadow, clBtnFace, clBtnFace,
        clWindowText, clHighlight, clBtnFace, clHighlight, clHighlight, clHighlight, clBtnShadow, clHighlightText,
        clBtnFace,
    };
    for (int i = 0; i < Count; ++i) FColors[i] = defaults[i];
}

TPersistent* TLTColors::GetOwner() const { return FOwner; }

void TLTColors::SetColor(int Index, TColor Value) {
    if (Index < 0 || Index >= Count || FColors[Index] == Value) return;
    FColors[Index] = Value;
    if (!FOwner || FOwner->IsLoading() || !FOwner->HandleAllocated()) return;
    if (Index == BorderColor) {
        RedrawWindow(FOwner, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOERASE | RDW_NOCHILDREN);
    } else {
        // The tree-line colour also colours the buttons, which are drawn
        // from it on every paint.
        FOwner->InvalidateTree();
    }
}

TColor TLTColors::BackGroundColor() const { return FOwner ? FOwner->Color() : clWindow; }

TColor TLTColors::HeaderFontColor() const { return FOwner ? FOwner->Header()->Font()->Color() : clWindowText; }

TColor TLTColors::NodeFontColor() const { return FOwner ? FOwner->Font()->Color() : clWindowText; }

void TLTColors::Assign(const TPersistent* Source) {
    const auto* src = dynamic_cast<const TLTColors*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    for (int i = 0; i < Count; ++i) FColors[i] = src->FColors[i];
    if (FOwner && FOwner->UpdateCount() == 0) FOwner->InvalidateTree();
}

// ---------------------------------------------------------------------------
// TScrollBarOptions
// ---------------------------------------------------------------------------

TPersistent* TScrollBarOptions::GetOwner() const { return FOwner; }

void TScrollBarOptions::SetAlwaysVisible(bool Value) {
    if (Value == FAlwaysVisible) return;
    FAlwaysVisible = Value;
    if (FOwner && FOwner->HandleAllocated() && !FOwner->IsLoading()) {
        FOwner->RecreateWnd();
        FOwner->UpdateScrollBars(true);
    }
}

void TScrollBarOptions::SetScrollBars(TScrollStyle Value) {
    if (Value == FScrollBars) return;
    FScrollBars = Value;
    if (FOwner && FOwner->HandleAllocated() && !FOwner->IsLoading()) {
        FOwner->RecreateWnd();
        FOwner->UpdateScrollBars(true);
    }
}

void TScrollBarOptions::Assign(const TPersistent* Source) {
    const auto* src = dynamic_cast<const TScrollBarOptions*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    SetAlwaysVisible(src->AlwaysVisible());
    SetHorizontalIncrement(src->HorizontalIncrement());
    SetScrollBars(src->ScrollBars());
    ScrollBarStyle = src->ScrollBarStyle;
    SetVerticalIncrement(src->VerticalIncrement());
}
