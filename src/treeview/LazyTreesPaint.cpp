// The tree's painting pipeline: Paint and WM_PRINTCLIENT hand a rectangle of
// tree coordinates to PaintTree, which walks the visible nodes from the top
// of the rectangle down, composes each row in a bitmap one node high (or
// straight on the target when asked to) and copies it to the target; the
// area below the last row gets the background. The paint events and the
// base answers of the hooks the string tree overrides live here too.
#include "treeview/LazyTrees.h"
#include "treeview/LazyTrees.Utils.h"

#include "platform/controls/Forms.h"

#include <cmath>

// ---------------------------------------------------------------------------
// Paint events
// ---------------------------------------------------------------------------

void TBaseLazyTree::FireBeforePaint(TCanvas* Canvas) {
    if (OnBeforePaint) OnBeforePaint(this, Canvas);
}

void TBaseLazyTree::FireAfterPaint(TCanvas* Canvas) {
    if (OnAfterPaint) OnAfterPaint(this, Canvas);
}

bool TBaseLazyTree::FireBeforeItemPaint(TCanvas* Canvas, PLazyNode Node, const TRect& ItemRect) {
    bool customDraw = false;
    if (OnBeforeItemPaint) OnBeforeItemPaint(this, Canvas, Node, ItemRect, customDraw);
    return customDraw;
}

void TBaseLazyTree::FireAfterItemPaint(TCanvas* Canvas, PLazyNode Node, const TRect& ItemRect) {
    if (OnAfterItemPaint) OnAfterItemPaint(this, Canvas, Node, ItemRect);
}

void TBaseLazyTree::FireBeforeItemErase(TCanvas* Canvas, PLazyNode Node, const TRect& ItemRect, TColor& Color,
                                        TItemEraseAction& EraseAction) {
    if (OnBeforeItemErase) OnBeforeItemErase(this, Canvas, Node, ItemRect, Color, EraseAction);
}

void TBaseLazyTree::FireAfterItemErase(TCanvas* Canvas, PLazyNode Node, const TRect& ItemRect) {
    if (OnAfterItemErase) OnAfterItemErase(this, Canvas, Node, ItemRect);
}

void TBaseLazyTree::FireBeforeCellPaint(TCanvas* Canvas, PLazyNode Node, TColumnIndex Column, TLTCellPaintMode Mode,
                                        const TRect& CellRect, TRect& ContentRect) {
    if (!OnBeforeCellPaint) return;
    if (Mode == cpmGetContentMargin) {
        // Measuring a margin paints nothing: the window's redrawing is off
        // around the event and what was waiting to be painted is kept.
        const bool switchRedraw = Visible() && HandleAllocated() && FUpdateCount == 0;
        TRect pending;
        const bool hadPending = HandleAllocated() && GetUpdateRect(this, &pending, false);
        if (switchRedraw) Perform(WM_SETREDRAW, 0, 0);
        try {
            OnBeforeCellPaint(this, Canvas, Node, Column, Mode, CellRect, ContentRect);
        } catch (...) {
            if (switchRedraw) Perform(WM_SETREDRAW, 1, 0);
            throw;
        }
        if (switchRedraw) Perform(WM_SETREDRAW, 1, 0);
        if (hadPending) InvalidateRect(this, &pending, false);
        return;
    }
    OnBeforeCellPaint(this, Canvas, Node, Column, Mode, CellRect, ContentRect);
}

void TBaseLazyTree::FireAfterCellPaint(TCanvas* Canvas, PLazyNode Node, TColumnIndex Column, const TRect& CellRect) {
    if (OnAfterCellPaint) OnAfterCellPaint(this, Canvas, Node, Column, CellRect);
}

bool TBaseLazyTree::FirePaintBackground(TCanvas* Canvas, const TRect& R) {
    bool handled = false;
    if (OnPaintBackground) OnPaintBackground(this, Canvas, R, handled);
    return handled;
}

// ---------------------------------------------------------------------------
// Hooks the string tree answers for its texts
// ---------------------------------------------------------------------------

void TBaseLazyTree::NextPaintColumn(TLTPaintInfo& PaintInfo, TColumnIndex& NextNonEmpty) {
    NextNonEmpty = FHeader->Columns()->GetNextVisibleColumn(PaintInfo.Column);
}

// ---------------------------------------------------------------------------
// Colours of the current focus
// ---------------------------------------------------------------------------

bool TBaseLazyTree::HasPaintFocus() const {
    return Focused() || FOptions->PaintOptions().Contains(toPopupMode);
}

TColor TBaseLazyTree::SelectionColor() const {
    return FColors->GetColor(HasPaintFocus() ? TLTColors::FocusedSelectionColor : TLTColors::UnfocusedSelectionColor);
}

TColor TBaseLazyTree::SelectionBorderColor() const {
    return FColors->GetColor(HasPaintFocus() ? TLTColors::FocusedSelectionBorderColor
                                             : TLTColors::UnfocusedSelectionBorderColor);
}

void TBaseLazyTree::SetHotNode(PLazyNode Node, TColumnIndex Column, bool OnButton) {
    if (Node == FCurrentHotNode && Column == FCurrentHotColumn && OnButton == FHotNodeButtonHit) return;
    PLazyNode old = FCurrentHotNode;
    FCurrentHotNode = Node;
    FCurrentHotColumn = Column;
    FHotNodeButtonHit = OnButton;
    if (old) InvalidateNode(old);
    if (Node && Node != old) InvalidateNode(Node);
}

// ---------------------------------------------------------------------------
// Paint, WM_PRINTCLIENT
// ---------------------------------------------------------------------------

void TBaseLazyTree::Paint() {
    FUpdateRect = Canvas()->ClipRect();
    if (FUpdateRect.IsEmpty()) return;
    const int C = UseRightToLeftAlignment() && HeaderUsesColumns() ? RightToLeftColumnShift(false) : 0;
    const int F = HeaderUsesColumns() ? FHeader->Columns()->GetVisibleFixedWidth() : 0;
    const TRect client = ClientRect();
    if (F > 0) {
        TRect fixed = client;
        fixed.Right = F;
        TRect window = fixed;
        OffsetRect(window, -C, -FOffsetY);
        PaintTree(Canvas(), window, client.TopLeft(), WindowPaintOptions, pfDevice);
        if (client.Width() >= F) {
            TRect rest = client;
            rest.Left = F;
            window = rest;
            OffsetRect(window, FEffectiveOffsetX - C, -FOffsetY);
            PaintTree(Canvas(), window, rest.TopLeft(), WindowPaintOptions, pfDevice);
        }
        return;
    }
    TRect window = FUpdateRect;
    OffsetRect(window, FEffectiveOffsetX - C, -FOffsetY);
    PaintTree(Canvas(), window, FUpdateRect.TopLeft(), WindowPaintOptions, pfDevice);
}

namespace {
constexpr unsigned PRF_CHECKVISIBLE = 0x1;
}

void TBaseLazyTree::WMPrintClient(TMessage& M) {
    if ((M.LParam & PRF_CHECKVISIBLE) && !Visible()) return;
    auto* target = reinterpret_cast<TCanvas*>(M.WParam);
    if (!target) return;
    const TRect client = ClientRect();
    TRect window = client;
    OffsetRect(window, FEffectiveOffsetX, -FOffsetY);
    PaintTree(target, window, client.TopLeft(), PrintClientPaintOptions, pfDevice);
}

// ---------------------------------------------------------------------------
// PaintTree
// ---------------------------------------------------------------------------

namespace {
// Sets every pixel of a 32-bit bitmap opaque, as a copy to a window sees it
// (blending leaves the alpha byte blended).
void MakeOpaque(TBitmap* bmp) {
    if (bmp->PixelFormat() != pf32bit) return;
    for (int y = 0; y < bmp->Height(); ++y) {
        TRGBQuad* row = bmp->ScanLine(y);
        for (int x = 0; x < bmp->Width(); ++x) row[x].rgbReserved = 255;
    }
}

// A column's bounds in the tree coordinates PaintTree draws in. The
// column's own bounds are where it shows in the client area: scrolled by
// the horizontal offset, except a fixed column, which never scrolls.
void TreeColumnBounds(const TLazyTreeColumns* columns, TColumnIndex column, int effectiveOffsetX, int& left,
                      int& right) {
    columns->GetColumnBounds(column, left, right);
    if (column >= 0 && !columns->Items(column)->Options().ContainsAll({coVisible, coFixed})) {
        left += effectiveOffsetX;
        right += effectiveOffsetX;
    }
}

TAlignment Mirrored(TAlignment a) {
    if (a == taLeftJustify) return taRightJustify;
    if (a == taRightJustify) return taLeftJustify;
    return a;
}
}  // namespace

void TBaseLazyTree::PaintTree(TCanvas* TargetCanvas, const TRect& Window, TPoint Target,
                              TLTInternalPaintOptions PaintOptions, TPixelFormat PixelFormat) {
    if (FStates.Contains(tsPainting) || !TargetCanvas) return;
    SwitchStates({tsPainting}, {});
    const bool unbuffered = PaintOptions.Contains(poUnbuffered);
    int savedTarget = 0;
    std::unique_ptr<TBitmap> nodeBitmap;
    // Leaves the painting state, and the target as it was, on every way out.
    struct TPaintScope {
        TBaseLazyTree* Tree;
        TCanvas* Target;
        int Saved;
        ~TPaintScope() {
            Tree->FPaintBitmap = nullptr;
            if (Saved > 0) Target->RestoreState(Saved);
            Tree->SwitchStates({}, {tsPainting});
        }
    } scope{this, TargetCanvas, 0};
    FireBeforePaint(TargetCanvas);
    if (!FButtonsBuilt || FButtonKey != ButtonBitmapKey()) BuildButtonBitmaps(true, true);

    const TLTPaintOptions paintOpts = FOptions->PaintOptions();
    const TLTSelectionOptions selOpts = FOptions->SelectionOptions();
    const TLTMiscOptions miscOpts = FOptions->MiscOptions();
    TCanvas* canvas = nullptr;
    if (unbuffered) {
        savedTarget = TargetCanvas->SaveState();
        scope.Saved = savedTarget;
        canvas = TargetCanvas;
    } else {
        const bool blend = CpuHasMmx() && (DrawSelectionMode == smBlendedRectangle || FStates.Contains(tsUseThemes) ||
                                           paintOpts.Contains(toUseBlendedSelection));
        nodeBitmap = std::make_unique<TBitmap>();
        nodeBitmap->SetPixelFormat(blend || PixelFormat == pf32bit ? pf32bit : pf24bit);
        nodeBitmap->SetSize(std::max(0, Window.Width()), 0);
        canvas = nodeBitmap->Canvas();
        FPaintBitmap = nodeBitmap.get();
    }
    const TPoint targetOrg = TargetCanvas->WindowOrg();

    // The rubber band of a mouse selection.
    TRect selectionRect = OrderedRect(FNewSelRect);
    const bool showSelectionRect = FStates.Contains(tsDrawSelecting) && !selectionRect.IsEmpty() &&
                                   GetKeyState(VK_LBUTTON) < 0;

    const bool useBackground =
        paintOpts.Contains(toShowBackground) && FBackground.Graphic() && PaintOptions.Contains(poBackground);
    const bool showImages = FImages != nullptr;
    const bool showStateImages = FStateImages != nullptr;
    TImageList* checkImages = CheckImages();
    const bool showCheckImages = checkImages && miscOpts.Contains(toCheckSupport);
    const bool useColumns = HeaderUsesColumns();
    TLazyTreeColumns* columns = FHeader->Columns();

    if (paintOpts.Contains(toAlwaysHideSelection) || (!Focused() && paintOpts.Contains(toHideSelection)))
        PaintOptions.Exclude(poDrawSelection);
    if (paintOpts.Contains(toHideFocusRect)) PaintOptions.Exclude(poDrawFocusRect);

    int nodeTop = 0;
    PLazyNode node = GetNodeAt(0, Window.Top, false, nodeTop);
    if (!node) nodeTop = Window.Top;
    if (showSelectionRect) OffsetRect(selectionRect, 0, -nodeTop);

    TargetCanvas->Font().Assign(*Font());
    const int buttonWidth = FPlusBM ? FPlusBM->Width() : 9;
    const int buttonHeight = FPlusBM ? FPlusBM->Height() : 9;
    // The button's offset in its indent column; half pixels go to the even side.
    const int baseButtonX = int(std::nearbyint((int(FIndent) - buttonWidth) / 2.0)) + 1;
    const int maxWidth = std::max(0, Window.Width());
    const TRect itemBase = Rect(0, 0, std::max(ClientWidth(), int(FRangeX)), 0);

    TLTPaintInfo PI;
    PI.Canvas = canvas;
    TLineImage lineImage;

    while (node && nodeTop < Window.Bottom) {
        const int selectLevelAncestors = BuildLineImages(node, lineImage);
        int selectLevel = selectLevelAncestors;
        const int indentSize = int(lineImage.size());
        if (!node->States.Contains(vsInitialized)) InitializeNode(node);
        if (node->States.Contains(vsSelected) && !paintOpts.Contains(toChildrenAbove)) ++selectLevel;
        MeasureItemHeight(canvas, node);
        const int nh = node->NodeHeight;
        const TRect R = Bounds(Target.X, Target.Y + nodeTop - Window.Top, maxWidth, nh);
        PI.BrushOrigin = Point(Window.Left & 1, nodeTop & 1);
        nodeTop += nh;

        if (!(selectLevel == 0 && PaintOptions.Contains(poSelectedOnly)) && nh > 0) {
            if (!unbuffered) {
                if (nodeBitmap->Height() != nh || nodeBitmap->Width() != maxWidth) {
                    // Emptied first, so the new row starts blank.
                    nodeBitmap->SetSize(maxWidth, 0);
                    nodeBitmap->SetSize(maxWidth, nh);
                }
                canvas->SetWindowOrg(Window.Left, 0);
                canvas->SelectClipRgn(nullptr);
            } else {
                canvas->RestoreState(savedTarget);
                savedTarget = canvas->SaveState();
                scope.Saved = savedTarget;
                canvas->SetWindowOrg(targetOrg.X + Window.Left - R.Left, targetOrg.Y - R.Top);
                canvas->IntersectClipRect(Window.Left, 0, Window.Right, std::min(nh, Target.Y + Window.Height() - R.Top));
            }
            canvas->SetBrushOrigin(PI.BrushOrigin.X, PI.BrushOrigin.Y);

            // Where images and the button sit vertically.
            int normalHeight = 0, stateHeight = 0;
            if (showImages) {
                bool ghosted = false;
                int index = -1;
                TImageList* list = FireGetImageIndex(node, node->States.Contains(vsSelected) ? ikSelected : ikNormal,
                                                     MainColumn(), ghosted, index);
                if (index >= 0) normalHeight = (list ? list : FImages)->Height();
            }
            if (!normalHeight && showStateImages) {
                bool ghosted = false;
                int index = -1;
                TImageList* list = FireGetImageIndex(node, ikState, MainColumn(), ghosted, index);
                if (index >= 0) stateHeight = (list ? list : FStateImages)->Height();
            }
            const TNodeVerticalPosition vp = VerticalPosition(node, nh, normalHeight, stateHeight, buttonHeight);
            const int VAlign = vp.VAlign, ButtonY = vp.ButtonTop;

            TRect itemRect = itemBase;
            itemRect.Bottom = nh;
            if (!FireBeforeItemPaint(canvas, node, itemRect)) {
                PI.PaintOptions = PaintOptions;
                PI.Node = node;
                EraseNodeBackground(PI, useBackground, Rect(Window.Left, R.Top, Window.Right, R.Bottom));
                PI.CellRect = itemRect;
                TColumnIndex column = NoColumn;
                bool haveColumn = true;
                if (useColumns) {
                    column = columns->GetFirstVisibleColumn();
                    haveColumn = column >= 0;
                    if (haveColumn) {
                        TreeColumnBounds(columns, column, FEffectiveOffsetX, PI.CellRect.Left, PI.CellRect.Right);
                        PI.Position = columns->Items(column)->Position();
                    }
                }
                while (haveColumn && PI.CellRect.Left < Window.Right) {
                    PI.Column = column;
                    TLazyTreeColumn* col = useColumns ? columns->Items(column) : nullptr;
                    PI.BidiMode = col ? col->BiDiMode() : FBiDiMode;
                    PI.Alignment = col ? col->Alignment() : FAlignment;
                    if (PI.BidiMode != bdLeftToRight) PI.Alignment = Mirrored(PI.Alignment);
                    const bool rtl = PI.BidiMode != bdLeftToRight;
                    PI.PaintOptions = PaintOptions;
                    if (FStates.Contains(tsEditing) && node == FFocusedNode && (column == FEditColumn || !useColumns))
                        PI.PaintOptions.Exclude(poDrawSelection);
                    if (!useColumns ||
                        (node->States.Contains(vsSelected) && selOpts.Contains(toFullRowSelect) &&
                         PaintOptions.Contains(poDrawSelection)) ||
                        (col && col->Options().Contains(coParentColor)))
                        PI.PaintOptions.Exclude(poColumnColor);
                    const bool isMain = column == MainColumn();
                    const bool painted = (!col || col->Options().Contains(coVisible)) &&
                                         !(PaintOptions.Contains(poMainOnly) && !isMain);
                    TColumnIndex next = InvalidColumn;
                    if (painted) {
                        NextPaintColumn(PI, next);
                        if (PI.CellRect.Right > Window.Left) {
                            PI.NodeWidth = NodeWidth(node, column, canvas);
                            PI.ContentRect = PI.CellRect;
                            if (rtl) PI.ContentRect.Right -= FMargin;
                            else PI.ContentRect.Left += FMargin;
                            for (TLTImageInfo& info : PI.ImageInfo) info = TLTImageInfo();
                            if (isMain && showCheckImages) {
                                const int index = CheckImageIndex(node, node->CheckType, node->CheckState,
                                                                  !node->States.Contains(vsDisabled) && Enabled());
                                if (index >= 0) {
                                    PI.ImageInfo[iiCheck].ImageIndex = index;
                                    PI.ImageInfo[iiCheck].Images = checkImages;
                                    PI.ImageInfo[iiCheck].Ghosted = false;
                                    PlaceImage(checkImages, rtl, PI.ImageInfo[iiCheck], PI.ContentRect, VAlign);
                                }
                            }
                            if (showStateImages) {
                                QueryImageIndex(PI, ikState, iiState, FStateImages);
                                if (PI.ImageInfo[iiState].ImageIndex >= 0) PlaceImage(PI.ImageInfo[iiState].Images, rtl, PI.ImageInfo[iiState], PI.ContentRect, VAlign);
                            }
                            if (showImages) {
                                QueryImageIndex(PI, node->States.Contains(vsSelected) ? ikSelected : ikNormal, iiNormal,
                                                FImages);
                                if (PI.ImageInfo[iiNormal].ImageIndex >= 0) PlaceImage(PI.ImageInfo[iiNormal].Images, rtl, PI.ImageInfo[iiNormal], PI.ContentRect, VAlign);
                            }
                            if (isMain) {
                                int offset = (paintOpts.Contains(toFixedIndent) ? 1 : indentSize) * int(FIndent);
                                if (rtl) {
                                    PI.ContentRect.Right -= offset;
                                    offset = -offset;
                                } else {
                                    PI.ContentRect.Left += offset;
                                }
                                for (int i = iiNormal; i <= iiCheck; ++i) PI.ImageInfo[i].XPos += offset;
                            }
                            if (useColumns) {
                                TRect clip = PI.CellRect;
                                if (unbuffered) {
                                    clip.Left = std::max(clip.Left, Window.Left);
                                    clip.Right = std::min(clip.Right, Window.Right);
                                    clip.Bottom = std::min(clip.Bottom, Target.Y + Window.Height() - R.Top);
                                }
                                ClipCanvasTo(canvas, clip);
                            }
                            // Grid lines.
                            if (PaintOptions.Contains(poGridLines)) {
                                if (paintOpts.Contains(toShowHorzGridLines)) {
                                    canvas->Font().SetColor(FColors->GetColor(TLTColors::GridLineColor));
                                    if (isMain && FLineMode == lmBands) {
                                        const int indentWidth =
                                            (paintOpts.Contains(toFixedIndent) ? 1 : indentSize) * int(FIndent);
                                        if (rtl)
                                            DrawDottedHorzLine(PI, PI.CellRect.Left, PI.CellRect.Right - indentWidth - 1,
                                                               PI.CellRect.Bottom - 1);
                                        else
                                            DrawDottedHorzLine(PI, PI.CellRect.Left + indentWidth, PI.CellRect.Right - 1,
                                                               PI.CellRect.Bottom - 1);
                                    } else {
                                        DrawDottedHorzLine(PI, PI.CellRect.Left, PI.CellRect.Right,
                                                           PI.CellRect.Bottom - 1);
                                    }
                                    --PI.CellRect.Bottom;
                                    --PI.ContentRect.Bottom;
                                }
                                if (useColumns && paintOpts.Contains(toShowVertGridLines)) {
                                    const bool lastAuto = FHeader->Options().Contains(hoAutoResize) &&
                                                          column == columns->GetLastVisibleColumn();
                                    const bool atClientEdge =
                                        PI.CellRect.Right - Window.Left + Target.X == ClientWidth();
                                    const bool emptyRtl = rtl && FireGetCellIsEmpty(node, column);
                                    if (!lastAuto && (!atClientEdge || col->Options().Contains(coFixed)) && !emptyRtl) {
                                        const bool selBk = PaintOptions.Contains(poDrawSelection) &&
                                                           selOpts.Contains(toFullRowSelect) &&
                                                           node->States.Contains(vsSelected) &&
                                                           !paintOpts.Contains(toUseBlendedSelection) &&
                                                           !FStates.Contains(tsUseExplorerTheme);
                                        canvas->Font().SetColor(FColors->GetColor(TLTColors::GridLineColor));
                                        DrawDottedVertLine(PI, PI.CellRect.Top, PI.CellRect.Bottom - 1,
                                                           PI.CellRect.Right - 1, selBk);
                                        --PI.CellRect.Right;
                                        --PI.ContentRect.Right;
                                    }
                                }
                            }
                            PaintCellBackground(PI, Window.Left, maxWidth);
                            if (isMain) {
                                if (paintOpts.Contains(toShowTreeLines) &&
                                    !(paintOpts.Contains(toHideTreeLinesIfThemed) && FStates.Contains(tsUseThemes)))
                                    DrawNodeLines(PI, VAlign, indentSize, lineImage);
                                if (paintOpts.Contains(toShowButtons) && node->States.Contains(vsHasChildren) &&
                                    !(node->States.Contains(vsAllChildrenHidden) &&
                                      FOptions->AutoOptions().Contains(toAutoHideButtons))) {
                                    const int buttonX = paintOpts.Contains(toFixedIndent)
                                                            ? baseButtonX
                                                            : baseButtonX + (indentSize - 1) * int(FIndent);
                                    PaintExpandButton(canvas, node, column, PI.CellRect, buttonX, ButtonY, PI.BidiMode);
                                }
                                if (PI.ImageInfo[iiCheck].ImageIndex >= 0)
                                    DrawCheckImage(canvas, PI.ImageInfo[iiCheck], node->States.Contains(vsSelected));
                            }
                            if (PI.ImageInfo[iiState].ImageIndex >= 0) PaintNodeImage(PI, iiState, false);
                            if (PI.ImageInfo[iiNormal].ImageIndex >= 0) PaintNodeImage(PI, iiNormal, true);
                            if (!(FStates.Contains(tsEditing) && node == FFocusedNode &&
                                  (column == FEditColumn || !useColumns)))
                                PaintNodeContent(PI);
                            FireAfterCellPaint(canvas, node, column, PI.CellRect);
                        }
                    } else if (useColumns) {
                        next = columns->GetNextVisibleColumn(column);
                    }
                    if (!useColumns) break;
                    if (unbuffered) {
                        canvas->RestoreState(savedTarget);
                        savedTarget = canvas->SaveState();
                        scope.Saved = savedTarget;
                        canvas->SetWindowOrg(targetOrg.X + Window.Left - R.Left, targetOrg.Y - R.Top);
                        canvas->IntersectClipRect(Window.Left, 0, Window.Right,
                                                  std::min(nh, Target.Y + Window.Height() - R.Top));
                        canvas->SetBrushOrigin(PI.BrushOrigin.X, PI.BrushOrigin.Y);
                    } else {
                        canvas->SelectClipRgn(nullptr);
                    }
                    if (next < 0) break;
                    column = next;
                    TreeColumnBounds(columns, column, FEffectiveOffsetX, PI.CellRect.Left, PI.CellRect.Right);
                    PI.Position = columns->Items(column)->Position();
                    PI.CellRect.Top = 0;
                    PI.CellRect.Bottom = nh;
                    PI.ContentRect.Bottom = nh;
                }
                FireAfterItemPaint(canvas, node, itemRect);
                if (node == FDropTargetNode && paintOpts.Contains(toShowDropmark) &&
                    PaintOptions.Contains(poDrawDropMark))
                    PaintDropMark(canvas, node, itemRect);
            }
            if (showSelectionRect) {
                DrawRubberBandRect(canvas, Window.Left, selectionRect, Rect(0, 0, maxWidth, nh));
                OffsetRect(selectionRect, 0, -nh);
            }
            if (!unbuffered) {
                MakeOpaque(nodeBitmap.get());
                BitBlt(TargetCanvas, R.Left, R.Top, maxWidth, nh, canvas, Window.Left, 0, SRCCOPY);
            }
        }
        node = GetNextVisible(node, true);
    }

    // The area below the last row.
    const int restTop = Target.Y + nodeTop - Window.Top;
    const int restHeight = Target.Y + Window.Height() - restTop;
    if (restHeight > 0 && maxWidth > 0) {
        const TRect R = Rect(Window.Left, 0, Window.Right, restHeight);
        if (!unbuffered) {
            nodeBitmap->SetPixelFormat(pf32bit);
            nodeBitmap->SetSize(maxWidth, restHeight);
            canvas->SetWindowOrg(Window.Left, 0);
            canvas->SelectClipRgn(nullptr);
        } else {
            canvas->RestoreState(savedTarget);
            savedTarget = canvas->SaveState();
            scope.Saved = savedTarget;
            canvas->SetWindowOrg(targetOrg.X + Window.Left - Target.X, targetOrg.Y - restTop);
            canvas->IntersectClipRect(R.Left, R.Top, R.Right, R.Bottom);
        }
        if (!FirePaintBackground(canvas, R)) {
            if (useBackground) {
                TBitmap* picture = FBackground.Bitmap();
                const TPoint offset(-FEffectiveOffsetX, restTop);
                if (paintOpts.Contains(toStaticBackground)) PaintStaticBackground(picture, canvas, R, offset);
                else PaintTiledBackground(picture, canvas, R, offset);
            } else if (useColumns) {
                int right = R.Left;
                const TColumnIndex last = columns->GetLastVisibleColumn();
                for (TColumnIndex c = columns->GetFirstVisibleColumn(); c >= 0; c = columns->GetNextVisibleColumn(c)) {
                    TLazyTreeColumn* col = columns->Items(c);
                    int l = 0, r = 0;
                    TreeColumnBounds(columns, c, FEffectiveOffsetX, l, r);
                    canvas->Brush().SetColor(col->Options().Contains(coParentColor) ? FColors->BackGroundColor()
                                                                                    : col->Color());
                    canvas->FillRect(Rect(l, R.Top, r, R.Bottom));
                    if (PaintOptions.Contains(poGridLines) && paintOpts.Contains(toShowVertGridLines) &&
                        paintOpts.Contains(toFullVertGridLines) &&
                        !(c == last && FHeader->Options().Contains(hoAutoResize))) {
                        TLTPaintInfo gi;
                        gi.Canvas = canvas;
                        canvas->Font().SetColor(FColors->GetColor(TLTColors::GridLineColor));
                        DrawDottedVertLine(gi, R.Top, R.Bottom - 1, r - 1);
                    }
                    right = std::max(right, r);
                }
                if (right < R.Right) {
                    canvas->Brush().SetColor(FColors->BackGroundColor());
                    canvas->FillRect(Rect(right, R.Top, R.Right, R.Bottom));
                }
            } else {
                canvas->Brush().SetColor(FColors->BackGroundColor());
                canvas->FillRect(R);
            }
        }
        if (showSelectionRect) DrawRubberBandRect(canvas, Window.Left, selectionRect, Rect(0, 0, maxWidth, restHeight));
        if (!unbuffered) {
            MakeOpaque(nodeBitmap.get());
            BitBlt(TargetCanvas, Target.X, restTop, maxWidth, restHeight, canvas, Window.Left, 0, SRCCOPY);
        }
    }

    if (unbuffered) {
        TargetCanvas->RestoreState(savedTarget);
        scope.Saved = 0;
    }
    // The message of an empty tree.
    if (FRoot->ChildCount == 0 && !FEmptyListMessage.isEmpty()) {
        TargetCanvas->Font().Assign(*Font());
        TargetCanvas->Font().SetColor(clGrayText);
        TargetCanvas->Brush().SetStyle(bsClear);
        const int oldMode = TargetCanvas->SetBkMode(TRANSPARENT);
        TRect r = Rect(FOffsetX + 2, 2, FOffsetX + ClientWidth(), ClientHeight() - 2);
        TargetCanvas->DrawText(FEmptyListMessage, r, DT_LEFT | DT_WORDBREAK | DT_NOCLIP | DT_NOPREFIX);
        TargetCanvas->SetBkMode(oldMode);
        TargetCanvas->Brush().SetStyle(bsSolid);
    }
    FireAfterPaint(TargetCanvas);
}
