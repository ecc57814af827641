// The element painters of a row: its background and each cell's background
// with the selection, drop-target and focus looks, the rubber band, the drop
// mark, the background picture (static or tiled), the tree lines and bands
// with their pattern brush, and the expand buttons with their six bitmaps.
//
// No visual styles exist on this platform: the theme service never answers
// a theme, tsUseThemes and tsUseExplorerTheme stay off, and the classic looks
// apply. The themed branches keep their conditions so the looks are chosen
// in the same order.
#include "treeview/LazyTrees.h"
#include "treeview/LazyTrees.Utils.h"

#include "platform/graphics/Resources.h"

#include <cmath>

namespace {
// The theme service of this platform: never active, draws nothing.
struct TLTThemeServices {
    static bool Active() { return false; }
};

constexpr TColor ButtonKeyColor = TColor(0xFF00FF);  // magenta
constexpr uint16_t DottedPattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
constexpr uint16_t SolidPattern[8] = {0, 0, 0, 0, 0, 0, 0, 0};

int RoundHalfEven(double v) { return int(std::nearbyint(v)); }

void RoundRectOrRectangle(TCanvas* c, const TRect& r, int radius) {
    if (radius <= 0) c->Rectangle(r);
    else c->RoundRect(r, radius, radius);
}
}  // namespace

// ---------------------------------------------------------------------------
// Backgrounds
// ---------------------------------------------------------------------------

void TBaseLazyTree::SetBackground(const TPicture* Value) {
    FBackground.Assign(Value);
    if (HandleAllocated()) Invalidate();
}

void TBaseLazyTree::SetBackgroundOffset(int Index, int Value) {
    int& field = Index == 0 ? FBackgroundOffsetX : FBackgroundOffsetY;
    if (field == Value) return;
    field = Value;
    if (HandleAllocated()) Invalidate();
}

void TBaseLazyTree::EraseNodeBackground(TLTPaintInfo& PaintInfo, bool UseBackground, TRect R) {
    TCanvas* c = PaintInfo.Canvas;
    TColor itemColor = FColors->BackGroundColor();
    TItemEraseAction eraseAction = eaDefault;
    const TPoint offset(-FEffectiveOffsetX, R.Top);
    OffsetRect(R, 0, -R.Top);
    FireBeforeItemErase(c, PaintInfo.Node, R, itemColor, eraseAction);
    switch (eraseAction) {
    case eaColor:
        c->Brush().SetColor(itemColor);
        c->FillRect(R);
        break;
    case eaNone: break;
    case eaDefault: {
        const TLTPaintOptions paintOpts = FOptions->PaintOptions();
        const TLTSelectionOptions selOpts = FOptions->SelectionOptions();
        if (UseBackground) {
            if (paintOpts.Contains(toStaticBackground)) PaintStaticBackground(FBackground.Bitmap(), c, R, offset);
            else PaintTiledBackground(FBackground.Bitmap(), c, R, offset);
        } else if (PaintInfo.PaintOptions.Contains(poDrawSelection) && selOpts.Contains(toFullRowSelect) &&
                   PaintInfo.Node->States.Contains(vsSelected) && !paintOpts.Contains(toUseBlendedSelection) &&
                   !FStates.Contains(tsUseExplorerTheme)) {
            TRect r = R;
            if (paintOpts.Contains(toShowHorzGridLines)) {
                c->Brush().SetColor(itemColor);
                c->FillRect(Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom));
                --r.Bottom;
            }
            c->Brush().SetColor(SelectionColor());
            c->Pen().SetColor(SelectionBorderColor());
            c->Pen().SetStyle(psSolid);
            RoundRectOrRectangle(c, r, SelectionCurveRadius);
        } else {
            c->Brush().SetColor(itemColor);
            c->FillRect(R);
        }
        break;
    }
    }
    FireAfterItemErase(c, PaintInfo.Node, R);
}

void TBaseLazyTree::PaintCellBackground(TLTPaintInfo& PaintInfo, int WindowOrgX, int MaxWidth) {
    TCanvas* c = PaintInfo.Canvas;
    PLazyNode node = PaintInfo.Node;
    const TLTPaintOptions paintOpts = FOptions->PaintOptions();
    const TLTSelectionOptions selOpts = FOptions->SelectionOptions();
    const TLTMiscOptions miscOpts = FOptions->MiscOptions();
    const bool explorer = FStates.Contains(tsUseExplorerTheme) && TLTThemeServices::Active();
    TRect rowRect = Rect(0, PaintInfo.CellRect.Top, int(FRangeX), PaintInfo.CellRect.Bottom);
    if (!HeaderUsesColumns() && selOpts.Contains(toFullRowSelect)) rowRect.Right = std::max(rowRect.Right, ClientWidth());
    if (paintOpts.Contains(toShowVertGridLines)) --rowRect.Right;

    if (PaintInfo.PaintOptions.Contains(poColumnColor) && IsValidColumn(PaintInfo.Column)) {
        c->Brush().SetColor(FHeader->Columns()->Items(PaintInfo.Column)->Color());
        c->FillRect(PaintInfo.CellRect);
    }
    FireBeforeCellPaint(c, node, PaintInfo.Column, cpmPaint, PaintInfo.CellRect, PaintInfo.ContentRect);

    TRect inner = PaintInfo.ContentRect;
    if (!miscOpts.Contains(toGridExtensions)) {
        const int w = PaintInfo.NodeWidth;
        switch (PaintInfo.Alignment) {
        case taLeftJustify:
            if (inner.Left + w < inner.Right) inner.Right = inner.Left + w;
            break;
        case taRightJustify:
            if (w < inner.Width()) inner.Left = inner.Right - w;
            break;
        default:
            if (w < inner.Width()) {
                inner.Left = (inner.Left + inner.Right - w) / 2;
                inner.Right = inner.Left + w;
            }
            break;
        }
    }

    const bool selectionCell = PaintInfo.Column == FFocusedColumn || selOpts.Contains(toFullRowSelect);
    auto widen = [&] {
        if (miscOpts.Contains(toGridExtensions) || selOpts.Contains(toFullRowSelect)) inner = PaintInfo.CellRect;
    };
    // The selection shape: a blend into the row bitmap, or a (rounded)
    // rectangle in the brush and pen.
    auto drawSelection = [&] {
        if (inner.IsEmpty()) return;
        if (CpuHasMmx() && paintOpts.Contains(toUseBlendedSelection) && FPaintBitmap) {
            TRect r = inner;
            OffsetRect(r, -WindowOrgX, 0);
            r.Left = std::max(r.Left, 0);
            r.Right = std::min(r.Right, MaxWidth);
            AlphaBlendRect(nullptr, FPaintBitmap, r, TPoint(), bmConstantAlphaAndColor, SelectionBlendFactor,
                           int(ColorToRGB(c->Brush().Color())));
        } else {
            RoundRectOrRectangle(c, inner, SelectionCurveRadius);
        }
    };
    if (selectionCell && PaintInfo.PaintOptions.Contains(poDrawSelection)) {
        if (node == FDropTargetNode) {
            if (FLastDropMode == dmOnNode || node->States.Contains(vsSelected)) {
                c->Brush().SetColor(FColors->GetColor(TLTColors::DropTargetColor));
                c->Pen().SetColor(FColors->GetColor(TLTColors::DropTargetBorderColor));
                c->Pen().SetStyle(psSolid);
                widen();
                if (!explorer) drawSelection();
            } else {
                c->Brush().SetStyle(bsClear);
            }
        } else if (node->States.Contains(vsSelected)) {
            c->Brush().SetColor(SelectionColor());
            c->Pen().SetColor(SelectionBorderColor());
            c->Pen().SetStyle(psSolid);
            widen();
            if (!explorer) drawSelection();
        }
    }

    // The focus rectangle.
    if (selectionCell && PaintInfo.PaintOptions.Contains(poDrawFocusRect) && HasPaintFocus() &&
        node == FFocusedNode &&
        (PaintInfo.Column == FFocusedColumn ||
         (!selOpts.Contains(toExtendedFocus) && selOpts.Contains(toFullRowSelect) &&
          FStates.Contains(tsUseExplorerTheme)))) {
        TRect focusRect;
        if (!selOpts.Contains(toExtendedFocus) && selOpts.Contains(toFullRowSelect) &&
            FStates.Contains(tsUseExplorerTheme))
            focusRect = rowRect;
        else if (miscOpts.Contains(toGridExtensions))
            focusRect = PaintInfo.CellRect;
        else
            focusRect = inner;
        if (FStates.Contains(tsUseExplorerTheme)) InflateRect(focusRect, -1, -1);
        const TColor oldText = c->Font().Color();
        const TColor oldBk = c->BkColor();
        c->Font().SetColor(clWhite);
        c->SetBkColor(clBlack);
        if (!explorer) c->DrawFocusRect(focusRect);
        c->Font().SetColor(oldText);
        c->SetBkColor(oldBk);
    }
    c->Brush().SetStyle(bsSolid);
}

void TBaseLazyTree::DrawRubberBandRect(TCanvas* Canvas, int WindowOrgX, TRect SelectionRect, TRect TargetRect) {
    SelectionRect = OrderedRect(SelectionRect);
    if ((DrawSelectionMode == smBlendedRectangle || FStates.Contains(tsUseThemes)) && CpuHasMmx() && FPaintBitmap) {
        OffsetRect(TargetRect, WindowOrgX, 0);
        TRect inter;
        if (!IntersectRect(inter, SelectionRect, TargetRect)) return;
        OffsetRect(inter, -WindowOrgX, 0);
        AlphaBlendRect(nullptr, FPaintBitmap, inter, TPoint(), bmConstantAlphaAndColor, SelectionBlendFactor,
                       int(ColorToRGB(FColors->GetColor(TLTColors::SelectionRectangleBlendColor))));
        Canvas->Brush().SetColor(FColors->GetColor(TLTColors::SelectionRectangleBorderColor));
        Canvas->FrameRect(SelectionRect);
        return;
    }
    const TColor oldText = Canvas->Font().Color();
    const TColor oldBk = Canvas->BkColor();
    Canvas->Font().SetColor(clWhite);
    Canvas->SetBkColor(clBlack);
    Canvas->DrawFocusRect(SelectionRect);
    Canvas->Font().SetColor(oldText);
    Canvas->SetBkColor(oldBk);
}

void TBaseLazyTree::PaintDropMark(TCanvas* Canvas, PLazyNode, const TRect& R) {
    if (FLastDropMode != dmAbove && FLastDropMode != dmBelow) return;
    const TPenStyle oldStyle = Canvas->Pen().Style();
    const TColor oldColor = Canvas->Brush().Color();
    Canvas->Pen().SetStyle(psClear);
    Canvas->Brush().SetColor(FColors->GetColor(TLTColors::DropMarkColor));
    const int L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
    if (FLastDropMode == dmAbove)
        Canvas->Polygon({{L + 2, T}, {Rt - 2, T}, {Rt - 2, T + 6}, {Rt - 6, T + 2}, {L + 6, T + 2}, {L + 2, T + 6}});
    else
        Canvas->Polygon(
            {{L + 2, B - 1}, {Rt - 2, B - 1}, {Rt - 2, B - 8}, {Rt - 7, B - 3}, {L + 7, B - 3}, {L + 2, B - 8}});
    Canvas->Brush().SetColor(oldColor);
    Canvas->Pen().SetStyle(oldStyle);
}

void TBaseLazyTree::PaintStaticBackground(TBitmap* Picture, TCanvas* Canvas, const TRect& R, TPoint Offset) {
    Canvas->Brush().SetColor(Color());
    Canvas->FillRect(R);
    if (!Picture || Picture->Empty()) return;
    const TRect picRect = Bounds(FBackgroundOffsetX, FBackgroundOffsetY, Picture->Width(), Picture->Height());
    TRect moved = R;
    OffsetRect(moved, Offset.X, Offset.Y);
    TRect inter;
    if (!IntersectRect(inter, picRect, moved)) return;
    const int x = inter.Left - Offset.X, y = inter.Top - Offset.Y;
    const int sx = inter.Left - picRect.Left, sy = inter.Top - picRect.Top;
    if (Picture->Transparent()) {
        // The mask: black where the picture shows (copied), white where its
        // transparent colour keeps what is there.
        const TColor key = ColorToRGB(Picture->TransparentColor());
        TBitmap mask(Picture->Width(), Picture->Height());
        for (int py = 0; py < Picture->Height(); ++py) {
            const TRGBQuad* src = Picture->ScanLine(py);
            TRGBQuad* dst = mask.ScanLine(py);
            for (int px = 0; px < Picture->Width(); ++px) {
                const bool transparent = RGB(src[px].rgbRed, src[px].rgbGreen, src[px].rgbBlue) == key;
                const uint8_t v = transparent ? 255 : 0;
                dst[px] = TRGBQuad{v, v, v, 255};
            }
        }
        MaskBlt(Canvas, x, y, inter.Width(), inter.Height(), Picture->Canvas(), sx, sy, &mask, sx, sy, 0xCCAA0029u);
    } else {
        BitBlt(Canvas, x, y, inter.Width(), inter.Height(), Picture->Canvas(), sx, sy, SRCCOPY);
    }
}

void TBaseLazyTree::PaintTiledBackground(TBitmap* Picture, TCanvas* Canvas, const TRect& R, TPoint Offset) {
    if (!Picture || Picture->Empty()) return;
    const int W = Picture->Width(), H = Picture->Height();
    auto wrap = [](int v, int m) {
        v %= m;
        return v < 0 ? v + m : v;
    };
    int y1 = wrap(R.Top + Offset.Y + FBackgroundOffsetY, H);
    for (int top = R.Top; top < R.Bottom;) {
        int x1 = wrap(R.Left + Offset.X + FBackgroundOffsetX, W);
        const int bandHeight = std::min(R.Bottom - top, H - y1);
        for (int x = R.Left; x < R.Right;) {
            const int w = std::min(R.Right - x, W - x1);
            BitBlt(Canvas, x, top, w, bandHeight, Picture->Canvas(), x1, y1, SRCCOPY);
            x += W - x1;
            x1 = 0;
        }
        top += H - y1;
        y1 = 0;
    }
}

// ---------------------------------------------------------------------------
// Tree lines
// ---------------------------------------------------------------------------

namespace {
bool HasVisibleNext(const TBaseLazyTree* t, PLazyNode n) { return t->GetNextVisibleSiblingNoInit(n) != nullptr; }
bool HasVisiblePrevious(const TBaseLazyTree* t, PLazyNode n) {
    return t->GetPreviousVisibleSiblingNoInit(n) != nullptr;
}
}  // namespace

int TBaseLazyTree::BuildLineImages(PLazyNode Node, TLineImage& LineImage) {
    const TLTPaintOptions paintOpts = FOptions->PaintOptions();
    int count = paintOpts.Contains(toShowRoot) ? 1 : 0;
    int selectLevel = 0;
    for (PLazyNode run = Node->Parent; run && run != FRoot; run = run->Parent) {
        ++count;
        if (run->States.Contains(vsSelected)) ++selectLevel;
    }
    LineImage.fill(ltNone, count);
    if (!paintOpts.Contains(toShowTreeLines) ||
        (paintOpts.Contains(toHideTreeLinesIfThemed) && FStates.Contains(tsUseThemes)) || count == 0)
        return selectLevel;
    const bool topLevel = Node->Parent == FRoot;
    if (paintOpts.Contains(toChildrenAbove)) {
        if (HasVisiblePrevious(this, Node))
            LineImage[count - 1] = topLevel && !HasVisibleNext(this, Node) ? ltTopRight : ltTopDownRight;
        else
            LineImage[count - 1] = !topLevel || HasVisibleNext(this, Node) ? ltBottomRight : ltRight;
        int index = count - 2;
        for (PLazyNode run = Node->Parent; run && run != FRoot && index >= 0; run = run->Parent, --index)
            LineImage[index] = HasVisiblePrevious(this, run) ? ltTopDown : ltNone;
    } else {
        if (!topLevel) {
            LineImage[count - 1] = HasVisibleNext(this, Node) ? ltTopDownRight : ltTopRight;
            int index = count - 2;
            for (PLazyNode run = Node->Parent; run->Parent != FRoot && index >= 0; run = run->Parent, --index)
                LineImage[index] = HasVisibleNext(this, run) ? ltTopDown : ltNone;
        }
        if (paintOpts.Contains(toShowRoot)) {
            if (topLevel) {
                const bool first = !HasVisiblePrevious(this, Node), last = !HasVisibleNext(this, Node);
                LineImage[0] = first ? (last ? ltRight : ltBottomRight) : (last ? ltTopRight : ltTopDownRight);
            } else {
                PLazyNode top = Node;
                while (top->Parent != FRoot) top = top->Parent;
                LineImage[0] = HasVisibleNext(this, top) ? ltTopDown : ltNone;
            }
        }
    }
    if (FStates.Contains(tsUseExplorerTheme) && Node->States.Contains(vsHasChildren)) LineImage[count - 1] = ltNone;
    return selectLevel;
}

void TBaseLazyTree::FireBeforeDrawTreeLine(PLazyNode Node, int Level, int& PosX) {
    if (OnBeforeDrawTreeLine) OnBeforeDrawTreeLine(this, Node, Level, PosX);
}

void TBaseLazyTree::FireGetLineStyle(const uint16_t*& Bits) {
    if (OnGetLineStyle) OnGetLineStyle(this, Bits);
}

void TBaseLazyTree::DrawNodeLines(TLTPaintInfo& PaintInfo, int VAlign, int IndentSize, const TLineImage& LineImage) {
    const bool rtl = PaintInfo.BidiMode != bdLeftToRight;
    const bool showRoot = FOptions->PaintOptions().Contains(toShowRoot);
    const int indent = int(FIndent);
    const int nh = PaintInfo.Node->NodeHeight;
    TLineImage entries = LineImage.mid(0, IndentSize);
    int H = nh;
    if (FLineMode == lmBands) {
        if (!PaintInfo.PaintOptions.Contains(poGridLines)) return;
        PaintInfo.Canvas->Font().SetColor(FColors->GetColor(TLTColors::GridLineColor));
        H = nh - 1;
        const bool openWithChildren = PaintInfo.Node->States.Contains(vsExpanded) &&
                                      !PaintInfo.Node->States.Contains(vsAllChildrenHidden) &&
                                      PaintInfo.Node->ChildCount > 0;
        TLineImage bands(entries.size(), ltNone);
        for (int i = int(entries.size()) - 1; i >= 0; --i) {
            if (openWithChildren) {
                bands[i] = ltLeft;
                continue;
            }
            // A missing entry past the last column counts as ltNone.
            const TLTLineType nextLine = i + 1 < entries.size() ? entries[i + 1] : ltNone;
            const TLTLineType nextBand = i + 1 < bands.size() ? bands[i + 1] : ltNone;
            switch (entries[i]) {
            case ltBottomRight:
            case ltTopDownRight:
            case ltRight:
            case ltTopRight: bands[i] = ltLeftBottom; break;
            case ltNone:
            case ltTopDown: bands[i] = nextLine == ltNone || nextLine == ltTopRight ? nextBand : ltLeft; break;
            default: bands[i] = ltNone; break;
            }
        }
        entries = bands;
    } else {
        PaintInfo.Canvas->Font().SetColor(FColors->GetColor(TLTColors::TreeLineColor));
        VAlign = VAlign - 1;
    }
    int X = rtl ? PaintInfo.CellRect.Right - indent : PaintInfo.CellRect.Left;
    for (int i = 0; i < int(entries.size()); ++i) {
        int posX = X;
        FireBeforeDrawTreeLine(PaintInfo.Node, i + (showRoot ? 0 : 1), posX);
        DrawLineSegment(PaintInfo, posX, PaintInfo.CellRect.Top, H, VAlign, entries[i], rtl);
        X += rtl ? -indent : indent;
    }
}

void TBaseLazyTree::DrawLineSegment(TLTPaintInfo& PaintInfo, int X, int Y, int H, int VAlign, TLTLineType Style,
                                    bool Reverse) {
    const int indent = int(FIndent);
    const int half = RoundHalfEven(indent / 2.0);
    const int targetX = Reverse ? 0 : indent;
    auto branch = [&] { DrawDottedHorzLine(PaintInfo, X + half, X + targetX, Y + VAlign); };
    switch (Style) {
    case ltBottomRight:
        DrawDottedVertLine(PaintInfo, Y + VAlign, Y + H, X + half);
        branch();
        break;
    case ltTopDown: DrawDottedVertLine(PaintInfo, Y, Y + H, X + half); break;
    case ltTopDownRight:
        DrawDottedVertLine(PaintInfo, Y, Y + H, X + half);
        branch();
        break;
    case ltRight: branch(); break;
    case ltTopRight:
        DrawDottedVertLine(PaintInfo, Y, Y + VAlign, X + half);
        branch();
        break;
    case ltLeft: DrawDottedVertLine(PaintInfo, Y, Y + H, Reverse ? X + indent : X); break;
    case ltLeftBottom:
        DrawDottedVertLine(PaintInfo, Y, Y + H, Reverse ? X + indent : X);
        DrawDottedHorzLine(PaintInfo, X, X + indent, Y + H);
        break;
    default: break;
    }
}

namespace {
// Fills R with the line pattern: 0 bits in Fore, 1 bits in Back. The
// pattern brush is made once per pair of colours.
void FillPattern(TCanvas* c, const TRect& R, const uint16_t* pattern, TColor fore, TColor back,
                 std::unique_ptr<TBitmap>& brush, TColor& madeFore, TColor& madeBack) {
    bool solid = true;
    for (int i = 0; i < 8; ++i) solid = solid && (pattern[i] & 0xFF) == 0;
    if (solid) {
        c->Brush().SetColor(fore);
        c->FillRect(R);
        return;
    }
    if (!brush || madeFore != fore || madeBack != back) {
        brush = std::make_unique<TBitmap>(8, 8);
        for (int y = 0; y < 8; ++y) {
            TRGBQuad* row = brush->ScanLine(y);
            for (int x = 0; x < 8; ++x) {
                const TColor col = ColorToRGB(((pattern[y] >> (7 - x)) & 1) ? back : fore);
                row[x] = TRGBQuad{uint8_t(GetBValue(col)), uint8_t(GetGValue(col)), uint8_t(GetRValue(col)), 255};
            }
        }
        madeFore = fore;
        madeBack = back;
    }
    c->Brush().SetBitmap(brush.get());
    c->FillRect(R);
    c->Brush().SetBitmap(nullptr);
}
}  // namespace

void TBaseLazyTree::DrawDottedHorzLine(TLTPaintInfo& PaintInfo, int Left, int Right, int Top) {
    TCanvas* c = PaintInfo.Canvas;
    const TColor back = FColors->BackGroundColor();
    c->Brush().SetColor(back);
    FillPattern(c, Rect(std::min(Left, Right), Top, std::max(Left, Right) + 1, Top + 1), FLinePattern,
                c->Font().Color(), back, FDottedBrush, FDottedFore, FDottedBack);
}

void TBaseLazyTree::DrawDottedVertLine(TLTPaintInfo& PaintInfo, int Top, int Bottom, int Left,
                                       bool UseSelectedBkColor) {
    TCanvas* c = PaintInfo.Canvas;
    const TColor back = UseSelectedBkColor ? SelectionColor() : FColors->BackGroundColor();
    c->Brush().SetColor(back);
    FillPattern(c, Rect(Left, std::min(Top, Bottom), Left + 1, std::max(Top, Bottom) + 1), FLinePattern,
                c->Font().Color(), back, FDottedBrush, FDottedFore, FDottedBack);
}

// ---------------------------------------------------------------------------
// Expand buttons
// ---------------------------------------------------------------------------

void TBaseLazyTree::PaintExpandButton(TCanvas* Canvas, PLazyNode Node, TColumnIndex, const TRect& R, int ButtonX,
                                      int ButtonY, TBiDiMode BidiMode) {
    if (!FPlusBM) return;
    const int w = FPlusBM->Width();
    const int X = BidiMode != bdLeftToRight ? R.Right - ButtonX - w : R.Left + ButtonX;
    const int Y = R.Top + ButtonY;
    const bool hot = Node == FCurrentHotNode && FHotNodeButtonHit;
    const bool selected = Node->States.Contains(vsSelected);
    TBitmap* bmp;
    if (Node->States.Contains(vsExpanded))
        bmp = hot && selected ? FSelectedHotMinusBM.get() : hot ? FHotMinusBM.get() : FMinusBM.get();
    else
        bmp = hot && selected ? FSelectedHotPlusBM.get() : hot ? FHotPlusBM.get() : FPlusBM.get();
    Canvas->Draw(X, Y, bmp);
}

void TBaseLazyTree::SetButtonStyle(TLTButtonStyle Value) {
    if (Value == ButtonStyle) return;
    ButtonStyle = Value;
    if (IsLoading()) return;
    BuildButtonBitmaps(true, false);
    if (HandleAllocated()) Invalidate();
}

void TBaseLazyTree::SetButtonFillMode(TLTButtonFillMode Value) {
    if (Value == ButtonFillMode) return;
    ButtonFillMode = Value;
    if (IsLoading()) return;
    BuildButtonBitmaps(true, false);
    if (HandleAllocated()) Invalidate();
}

QList<uint64_t> TBaseLazyTree::ButtonBitmapKey() const {
    return {uint64_t(ButtonStyle),
            uint64_t(ButtonFillMode),
            uint64_t(uint32_t(Color())),
            uint64_t(uint32_t(const_cast<TBaseLazyTree*>(this)->Font()->Color())),
            uint64_t(uint32_t(FColors->GetColor(TLTColors::TreeLineColor))),
            uint64_t(FLineStyle),
            uint64_t(FOptions->PaintOptions().Bits())};
}

namespace {
void ClearButtonBitmap(std::unique_ptr<TBitmap>& bmp, TSize size, TColor key) {
    if (!bmp) bmp = std::make_unique<TBitmap>();
    bmp->SetSize(size.cx, size.cy);
    TCanvas* c = bmp->Canvas();
    c->Brush().SetStyle(bsSolid);
    c->Brush().SetColor(key);
    c->FillRect(Rect(0, 0, size.cx, size.cy));
    bmp->SetTransparentColor(key);
    bmp->SetTransparent(true);
}

void CopyBitmap(TBitmap* from, std::unique_ptr<TBitmap>& to) {
    if (!to) to = std::make_unique<TBitmap>();
    to->Assign(from);
    to->SetTransparentColor(from->TransparentColor());
    to->SetTransparent(from->Transparent());
}
}  // namespace

void TBaseLazyTree::BuildButtonBitmaps(bool NeedButtons, bool NeedLines) {
    const bool styled = TLTThemeServices::Active() && FVclStyleEnabled;
    TSize size(styled ? 11 : 9, styled ? 11 : 9);
    // Without visual styles the transparent colour is magenta; a themed look
    // would take the main column's colour.
    TColor key = ButtonKeyColor;
    if (styled || (FStates.Contains(tsUseThemes) && FOptions->PaintOptions().Contains(toUseExplorerTheme))) {
        const TColumnIndex main = MainColumn();
        key = main < 0 || FHeader->Columns()->Items(main)->Options().Contains(coParentColor)
                  ? FColors->BackGroundColor()
                  : FHeader->Columns()->Items(main)->Color();
    }
    if (NeedButtons) {
        if (OnPrepareButtonBitmaps) {
            for (auto* bmp : {&FPlusBM, &FHotPlusBM, &FSelectedHotPlusBM, &FMinusBM, &FHotMinusBM, &FSelectedHotMinusBM})
                ClearButtonBitmap(*bmp, size, key);
            OnPrepareButtonBitmaps(this, FPlusBM.get(), FHotPlusBM.get(), FSelectedHotPlusBM.get(), FMinusBM.get(),
                                   FHotMinusBM.get(), FSelectedHotMinusBM.get(), size);
        } else {
            for (const bool plus : {false, true}) {
                std::unique_ptr<TBitmap>& normal = plus ? FPlusBM : FMinusBM;
                std::unique_ptr<TBitmap>& hot = plus ? FHotPlusBM : FHotMinusBM;
                std::unique_ptr<TBitmap>& selHot = plus ? FSelectedHotPlusBM : FSelectedHotMinusBM;
                ClearButtonBitmap(normal, size, key);
                ClearButtonBitmap(hot, size, key);
                ClearButtonBitmap(selHot, size, key);
                TCanvas* c = normal->Canvas();
                const int w = size.cx;
                if (ButtonStyle == bsTriangle) {
                    c->Brush().SetColor(clBlack);
                    c->Pen().SetColor(clBlack);
                    c->Pen().SetStyle(psSolid);
                    if (plus) c->Polygon({{2, 0}, {6, 4}, {2, 8}});
                    else c->Polygon({{0, 2}, {8, 2}, {4, 6}});
                } else if (ButtonFillMode == fmShaded) {
                    LoadResourceBitmap(normal.get(), QString::fromLatin1(plus ? "LT_XPBUTTONPLUS" : "LT_XPBUTTONMINUS"));
                    normal->SetTransparentColor(normal->Canvas()->Pixels(0, normal->Height() - 1));
                    normal->SetTransparent(true);
                } else {
                    switch (ButtonFillMode) {
                    case fmTreeColor: c->Brush().SetColor(FColors->BackGroundColor()); break;
                    case fmWindowColor: c->Brush().SetColor(clWindow); break;
                    default: c->Brush().SetStyle(bsClear); break;
                    }
                    c->Pen().SetStyle(psSolid);
                    c->Pen().SetColor(FColors->GetColor(TLTColors::TreeLineColor));
                    c->Rectangle(0, 0, w, size.cy);
                    c->Pen().SetColor(FColors->NodeFontColor());
                    c->MoveTo(2, w / 2);
                    c->LineTo(w - 2, w / 2);
                    if (plus) {
                        c->MoveTo(w / 2, 2);
                        c->LineTo(w / 2, w - 2);
                    }
                    c->Brush().SetStyle(bsSolid);
                }
                CopyBitmap(normal.get(), hot);
                CopyBitmap(normal.get(), selHot);
            }
        }
    }
    if (NeedLines) {
        const uint16_t* bits = FLineStyle == lsSolid ? SolidPattern : DottedPattern;
        if (FLineStyle == lsCustomStyle) FireGetLineStyle(bits);
        if (!bits) bits = DottedPattern;
        std::copy(bits, bits + 8, FLinePattern);
        FDottedBrush.reset();
    }
    FButtonsBuilt = true;
    FButtonKey = ButtonBitmapKey();
}
