// Header painting: the column strip is painted into the header bitmap (the
// fixed columns and the scrolling ones separately) and copied into the
// window's non-client area. Each visible column is a button cell with its
// image or check box, caption and sort glyph placed by its alignment and
// layout, or is drawn by the application.
#include "treeview/LazyTrees.h"
#include "treeview/LazyTrees.Utils.h"

#include <algorithm>

namespace {
constexpr int kUtilityList = 7;  // "LT_UTILITIES": drop marks and sort glyphs
enum : int { kDropMarkLeft = 0, kDropMarkRight = 1, kSortDescending = 2, kSortAscending = 3 };

TAlignment Mirror(TAlignment a) {
    if (a == taLeftJustify) return taRightJustify;
    if (a == taRightJustify) return taLeftJustify;
    return a;
}
}  // namespace

THeaderEdge HeaderCellEdge(TLTHeaderStyle Style, bool Pressed, bool Hot, bool RightBorder) {
    const unsigned right = RightBorder ? BF_RIGHT : 0u;
    switch (Style) {
    case hsThickButtons:
        if (Pressed) return {EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_SOFT | BF_ADJUST | BF_FLAT};
        return {EDGE_RAISED, BF_LEFT | BF_TOP | BF_BOTTOM | BF_MIDDLE | BF_SOFT | BF_ADJUST | right};
    case hsFlatButtons:
        if (Pressed) return {BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE | BF_ADJUST};
        return {BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_BOTTOM | BF_MIDDLE | BF_ADJUST | right};
    case hsPlates:
        if (Pressed) return {BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE | BF_ADJUST};
        if (Hot) return {BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_BOTTOM | BF_MIDDLE | BF_ADJUST | right};
        return {BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_BOTTOM | BF_MIDDLE | BF_SOFT | BF_ADJUST | right};
    }
    return {};
}

// ---------------------------------------------------------------------------
// Placing the parts of a cell
// ---------------------------------------------------------------------------

void TLazyTreeColumn::PlaceHeaderCellContent(TCanvas* DC, const TRect& Client, bool UseHeaderGlyph,
                                             bool UseSortGlyph, TPoint& HeaderGlyphPos, TPoint& SortGlyphPos,
                                             TSize& SortGlyphSize, TRect& TextBounds, unsigned DrawFormat) {
    TLTHeader* header = Header();
    TBaseLazyTree* tree = Tree();
    const int W = Client.Width(), H = Client.Height();
    const bool hasText = !FText.isEmpty();
    if (!hasText && !UseHeaderGlyph && !UseSortGlyph) return;
    const bool mirrored = FBiDiMode != bdLeftToRight;
    const TAlignment alignment = mirrored ? Mirror(CaptionAlignment()) : CaptionAlignment();

    // Sizes of the parts.
    int GW = 0, GH = 0;
    if (UseHeaderGlyph) {
        if (FCheckBox) {
            if (TImageList* checks = tree ? tree->CheckImages() : nullptr) {
                GW = checks->Width();
                GH = checks->Height();
            }
        } else if (header && header->Images()) {
            GW = header->Images()->Width();
            GH = header->Images()->Height();
        }
    }
    int SW = 0, SH = 0;
    if (UseSortGlyph) {
        if (TImageList* utilities = TBaseLazyTree::InternalImageList(kUtilityList)) {
            SW = utilities->Width();
            SH = utilities->Height();
        }
        SortGlyphPos.Y = (H - SH) / 2;
    }
    SortGlyphSize = TSize{SW, SH};
    int TW = 0, TH = 0, S = 0;
    if (hasText) {
        S = FSpacing;
        if (!FOptions.Contains(coWrapCaption)) {
            FCaptionText = FText;
            const TSize e = DC->TextExtent(FText);
            TW = e.cx + 2;
            TH = e.cy;
        } else {
            if (FCaptionText.isEmpty() || FCaptionTextSource != FText) {
                FCaptionText = WrapText(DC, FText, Client, (DrawFormat & DT_RTLREADING) != 0, DrawFormat);
                FCaptionTextSource = FText;
            }
            TW = W;
            TRect measure = Rect(0, 0, W, 0);
            DC->DrawText(FCaptionText, measure, DrawFormat | DT_CALCRECT);
            TH = measure.Height();
        }
    }
    TextBounds = Rect(0, 0, TW, TH);
    const bool glyph = UseHeaderGlyph && (GW > 0 || GH > 0);
    int TextX = 0, TextY = 0;

    if (!hasText && !glyph) {
        // Only a sort glyph.
        SortGlyphPos = Point((W - SW) / 2, (H - SH) / 2);
    } else {
        // Vertical placement.
        if (FLayout == blGlyphLeft || FLayout == blGlyphRight || !glyph) {
            HeaderGlyphPos.Y = (H - GH) / 2;
            TextY = std::max((H - TH) / 2, -5);
        } else if (FLayout == blGlyphTop) {
            HeaderGlyphPos.Y = (H - GH - TH - S) / 2;
            TextY = HeaderGlyphPos.Y + GH + S;
        } else {
            TextY = (H - GH - TH - S) / 2;
            HeaderGlyphPos.Y = TextY + TH + S;
        }
        const bool vertical = FLayout == blGlyphTop || FLayout == blGlyphBottom;
        // Horizontal placement.
        switch (alignment) {
        case taLeftJustify: {
            int X = FMargin;
            if (mirrored && UseSortGlyph) {
                SortGlyphPos.X = X;
                X += SW + FSpacing;
            }
            if (vertical) {
                TextX = X;
                if (glyph) {
                    HeaderGlyphPos.X = std::max((W - GW) / 2, X);
                    X = std::max(HeaderGlyphPos.X + GW + FSpacing, TextX + TW + S);
                } else {
                    X = TextX + TW + S;
                }
            } else {
                if (FLayout == blGlyphLeft && glyph) {
                    HeaderGlyphPos.X = X;
                    X += GW + FSpacing;
                }
                TextX = X;
                X += S + TW;
                if (FLayout == blGlyphRight && glyph) {
                    HeaderGlyphPos.X = X;
                    X += GW + FSpacing;
                }
            }
            if (!mirrored && UseSortGlyph) SortGlyphPos.X = X;
            break;
        }
        case taCenter: {
            if (vertical) {
                HeaderGlyphPos.X = (W - GW) / 2;
                TextX = (W - TW) / 2;
                if (UseSortGlyph) TextX -= SW / 2;
            } else {
                int X = (W - GW - S - TW) / 2;
                if (FLayout == blGlyphLeft && glyph) {
                    HeaderGlyphPos.X = X;
                    X += GW + S;
                }
                TextX = X;
                X += S + TW;
                if (FLayout == blGlyphRight && glyph) HeaderGlyphPos.X = X;
            }
            int MinX = TextX, MaxX = TextX + TW;
            if (glyph) {
                MinX = std::min(TextX, HeaderGlyphPos.X);
                MaxX = std::max(TextX + TW, HeaderGlyphPos.X + GW);
            }
            if (UseSortGlyph) SortGlyphPos.X = mirrored ? MinX - FSpacing - SW : MaxX + FSpacing;
            break;
        }
        case taRightJustify: {
            int X = W - FMargin;
            if (!mirrored && UseSortGlyph) {
                X -= SW;
                SortGlyphPos.X = X;
                X -= FSpacing;
            }
            if (vertical) {
                TextX = X - TW;
                if (glyph) {
                    HeaderGlyphPos.X = (W - GW) / 2;
                    if (HeaderGlyphPos.X + GW + FSpacing > X) HeaderGlyphPos.X = X - GW - FSpacing;
                    X = std::min(TextX - S, HeaderGlyphPos.X - FSpacing);
                } else {
                    X = TextX - S;
                }
            } else {
                if (FLayout == blGlyphRight && glyph) {
                    HeaderGlyphPos.X = X - GW;
                    X = HeaderGlyphPos.X - FSpacing;
                }
                TextX = X - TW;
                X = TextX - S;
                if (FLayout == blGlyphLeft && glyph) {
                    HeaderGlyphPos.X = X - GW;
                    X = HeaderGlyphPos.X - FSpacing;
                }
            }
            if (mirrored && UseSortGlyph) SortGlyphPos.X = X - SW;
            break;
        }
        }
    }

    // Clamping into the client.
    int MinX = FMargin, MaxX = W - FMargin;
    if (UseSortGlyph) {
        if (!mirrored) {
            if (SortGlyphPos.X + SW > MaxX) SortGlyphPos.X = MaxX - SW;
            MaxX = SortGlyphPos.X - FSpacing;
        }
        SortGlyphPos.X = std::max(SortGlyphPos.X, MinX);
        if (mirrored) MinX = SortGlyphPos.X + SW + FSpacing;
        SortGlyphPos.X += Client.Left;
        SortGlyphPos.Y += Client.Top;
    }
    if (glyph) {
        if (HeaderGlyphPos.X + GW > MaxX) HeaderGlyphPos.X = MaxX - GW;
        if (FLayout == blGlyphRight) MaxX = HeaderGlyphPos.X - FSpacing;
        HeaderGlyphPos.X = std::max(HeaderGlyphPos.X, MinX);
        if (FLayout == blGlyphLeft) MinX = HeaderGlyphPos.X + GW + FSpacing;
        const bool mainImage = header && Index() == header->MainColumn() && !FCheckBox;
        if (!mainImage) HeaderGlyphPos.X -= 2;
        HeaderGlyphPos.X += Client.Left;
        HeaderGlyphPos.Y += Client.Top;
    }
    if (hasText) {
        TextX = std::max(TextX, MinX);
        OffsetRect(TextBounds, TextX, TextY);
        if (TextBounds.Right > MaxX) TextBounds.Right = MaxX;
        OffsetRect(TextBounds, Client.Left, Client.Top);
        if (FOptions.Contains(coWrapCaption)) {
            FCaptionText = WrapText(DC, FText, TextBounds, (DrawFormat & DT_RTLREADING) != 0, DrawFormat);
            FCaptionTextSource = FText;
        }
    }
}

// ---------------------------------------------------------------------------
// Captions
// ---------------------------------------------------------------------------

void TLazyTreeColumns::DrawHeaderCaption(TCanvas* DC, const QString& Caption, TRect Bounds, bool Enabled,
                                         bool Hot, unsigned DrawFormat, bool WrapCaption) {
    QString text = Caption;
    if (!WrapCaption && DC->TextWidth(text) > Bounds.Width()) text = ShortenText(DC, text, Bounds.Width());
    DC->SetBkMode(TRANSPARENT);
    TBaseLazyTree* tree = Tree();
    if (Enabled) {
        TColor color = FHeader->Font()->Color();
        if (tree) color = Hot ? tree->Colors()->GetColor(TLTColors::HeaderHotColor) : tree->Colors()->HeaderFontColor();
        DC->Font().SetColor(color);
        DC->DrawText(text, Bounds, DrawFormat);
    } else {
        // Embossed: the highlight one pixel off, the shadow on top.
        TRect r = Bounds;
        OffsetRect(r, 1, 1);
        DC->Font().SetColor(clBtnHighlight);
        DC->DrawText(text, r, DrawFormat);
        DC->Font().SetColor(clBtnShadow);
        DC->DrawText(text, Bounds, DrawFormat);
    }
}

// ---------------------------------------------------------------------------
// Painting the strip
// ---------------------------------------------------------------------------

void TLazyTreeColumns::PaintHeader(TCanvas* DC, const TRect& R, int HOffset) {
    TBaseLazyTree* tree = Tree();
    if (!tree) return;
    const TRect headerRect = tree->HeaderRect();
    const int w = std::max(R.Width(), headerRect.Right);
    const int h = headerRect.Bottom;
    if (w <= 0 || h <= 0) return;
    if (!FHeaderBitmap) FHeaderBitmap = std::make_unique<TBitmap>(w, h, pf32bit);
    else if (FHeaderBitmap->Width() != w || FHeaderBitmap->Height() != h) FHeaderBitmap->SetSize(w, h);
    TCanvas* c = FHeaderBitmap->Canvas();
    const int F = GetVisibleFixedWidth();
    const int rtl = tree->UseRightToLeftAlignment() ? tree->RightToLeftColumnShift(false) : 0;
    auto fixedPart = [&] {
        if (F >= 1) PaintHeader(c, Rect(0, 0, std::min(R.Right, F), R.Height()), Point(R.Left, R.Top), rtl);
    };
    if (rtl == 0) fixedPart();
    PaintHeader(c, Rect(F - HOffset, 0, R.Right + F - HOffset, R.Height()), Point(R.Left + F, R.Top), rtl);
    if (rtl != 0) fixedPart();
    BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), c, R.Left, R.Top, SRCCOPY);
}

void TLazyTreeColumns::PaintHeader(TCanvas* TargetCanvas, TRect R, TPoint Target, int RTLOffset) {
    if (R.IsEmpty()) return;
    TBaseLazyTree* tree = Tree();
    const bool ownerDraw = FHeader->Options().Contains(hoOwnerDraw) && tree;
    const bool advanced = ownerDraw && tree->OnAdvancedHeaderDraw && tree->OnHeaderDrawQueryElements;
    const bool plain = ownerDraw && !advanced && tree->OnHeaderDraw;
    THeaderPaintInfo info;
    info.TargetCanvas = TargetCanvas;
    TargetCanvas->Font().Assign(*FHeader->Font());
    const int headerHeight = FHeader->Height();

    // Background.
    THeaderPaintElements elements;
    if (advanced) {
        info.PaintRectangle = R;
        tree->OnHeaderDrawQueryElements(FHeader, info, elements);
    }
    const TRect background = Rect(Target.X, Target.Y, Target.X + R.Width(), Target.Y + headerHeight);
    if (elements.Contains(hpeBackground)) {
        info.PaintRectangle = background;
        tree->OnAdvancedHeaderDraw(FHeader, info, {hpeBackground});
    } else {
        TargetCanvas->Brush().SetColor(FHeader->Background());
        TargetCanvas->FillRect(background);
    }

    R.Left = std::max(R.Left, 0);
    R.Top = std::max(R.Top, 0);
    R.Right = std::min(R.Right, TotalWidth());
    R.Bottom = std::min(R.Bottom, headerHeight);
    const int rightEdge = Target.X + R.Right - R.Left;
    TColumnIndex run = ColumnFromPosition(Point(R.Left + RTLOffset, 0), false);
    if (!IsValidColumn(run)) return;
    TRect cell;
    cell.Top = Target.Y;
    cell.Bottom = Target.Y + R.Height();
    cell.Left = Items(run)->FLeft + Target.X - R.Left + RTLOffset;
    info.ShowRightBorder = !(FHeader->Style() != hsThickButtons && FHeader->Options().Contains(hoAutoResize) &&
                             tree && tree->BevelKind() != bkNone);
    while (IsValidColumn(run) && cell.Left < rightEdge) {
        cell.Right = cell.Left + Items(run)->FWidth;
        ClipCanvasTo(TargetCanvas, Rect(std::max(Target.X, cell.Left), Target.Y + R.Top, std::min(cell.Right, rightEdge),
                                         cell.Bottom));
        info.Column = Items(run);
        info.PaintRectangle = cell;
        PaintColumnHeader(info, advanced, plain);
        TargetCanvas->SelectClipRgn(nullptr);
        cell.Left = cell.Right;
        run = GetNextVisibleColumn(run);
    }
}

void TLazyTreeColumns::PaintColumnHeader(THeaderPaintInfo& Info, bool AdvancedOwnerDraw, bool PlainOwnerDraw) {
    TBaseLazyTree* tree = Tree();
    TLazyTreeColumn* column = Info.Column;
    TCanvas* DC = Info.TargetCanvas;
    const TColumnIndex index = column->Index();
    const TLTColumnOptions options = column->FOptions;
    Info.IsHoverIndex = index == FHoverIndex && FHeader->Options().Contains(hoHotTrack) && options.Contains(coEnabled);
    Info.IsDownIndex = index == FDownIndex && !FCheckBoxHit;
    Info.DropMark = dmmNone;
    if (options.Contains(coShowDropMark) && index == FDropTarget && index != FDragIndex)
        Info.DropMark = FDropBefore ? dmmLeft : dmmRight;
    Info.IsEnabled = options.Contains(coEnabled) && (!tree || tree->Enabled());
    Info.ShowHeaderGlyph = FHeader->Options().Contains(hoShowImages) &&
                           ((FHeader->Images() && column->FImageIndex >= 0) || column->FCheckBox);
    Info.ShowSortGlyph = index == FHeader->SortColumn() && FHeader->Options().Contains(hoShowSortGlyphs);
    const bool wrapCaption = options.Contains(coWrapCaption);
    TRect cell = Info.PaintRectangle;

    if (PlainOwnerDraw && column->FStyle == vsOwnerDraw) {
        tree->OnHeaderDraw(FHeader, DC, column, cell, Info.IsHoverIndex, Info.IsDownIndex, Info.DropMark);
        return;
    }
    THeaderPaintElements elements;
    if (AdvancedOwnerDraw) tree->OnHeaderDrawQueryElements(FHeader, Info, elements);
    const bool rightBorder = Info.ShowRightBorder || index < Count() - 1;

    // The cell's button.
    if (elements.Contains(hpeBackground)) {
        tree->OnAdvancedHeaderDraw(FHeader, Info, {hpeBackground});
    } else {
        const bool hot = FHeader->Style() == hsPlates && Info.IsHoverIndex && options.Contains(coAllowClick) &&
                         options.Contains(coEnabled);
        const THeaderEdge e = HeaderCellEdge(FHeader->Style(), Info.IsDownIndex, hot, rightBorder);
        TRect r = cell;
        DC->Brush().SetColor(FHeader->Background());
        DC->DrawEdge(r, e.Edge, e.Flags);
    }

    TRect client = cell;
    InflateRect(client, -2, -2);
    unsigned format = DT_NOPREFIX;
    switch (column->CaptionAlignment()) {
    case taLeftJustify: format |= DT_LEFT; break;
    case taRightJustify: format |= DT_RIGHT; break;
    case taCenter: format |= DT_CENTER; break;
    }
    if (column->UseRightToLeftReading()) format |= DT_RTLREADING;
    if (wrapCaption) format |= DT_WORDBREAK;
    TSize sortSize{0, 0};
    column->PlaceHeaderCellContent(DC, client, Info.ShowHeaderGlyph, Info.ShowSortGlyph, Info.GlyphPos,
                                   Info.SortGlyphPos, sortSize, Info.TextRectangle, format);
    if (Info.IsDownIndex) {
        OffsetRect(Info.TextRectangle, 1, 1);
        Info.GlyphPos.X += 1;
        Info.GlyphPos.Y += 1;
        Info.SortGlyphPos.X += 1;
        Info.SortGlyphPos.Y += 1;
    }
    THeaderPaintElements draw = elements;
    draw.Exclude(hpeBackground);
    column->FHasImage = false;

    // The image or check box, unless the sort glyph would cover it.
    if (!draw.Contains(hpeHeaderGlyph) && Info.ShowHeaderGlyph) {
        TImageList* list = nullptr;
        if (column->FCheckBox) list = tree ? tree->CheckImages() : nullptr;
        else list = FHeader->Images();
        const int imageWidth = list ? list->Width() : 0;
        if (list && (!Info.ShowSortGlyph || column->UseRightToLeftReading() ||
                     Info.GlyphPos.X + imageWidth <= Info.SortGlyphPos.X)) {
            if (column->FCheckBox) {
                const int image = tree->CheckImageIndex(nullptr, column->FCheckType, column->FCheckState, Info.IsEnabled);
                list->Draw(DC, Info.GlyphPos.X, Info.GlyphPos.Y, image, true);
            } else {
                list->Draw(DC, Info.GlyphPos.X, Info.GlyphPos.Y, column->FImageIndex, Info.IsEnabled);
            }
            column->FHasImage = true;
            column->FImageRect = Bounds(Info.GlyphPos.X, Info.GlyphPos.Y, list->Width(), list->Height());
        }
    }

    // The caption.
    if (!draw.Contains(hpeText) && !column->FText.isEmpty()) {
        const QString text = wrapCaption ? column->FCaptionText : column->FText;
        const bool hot = Info.IsHoverIndex && FHeader->Options().Contains(hoHotTrack);
        DrawHeaderCaption(DC, text, Info.TextRectangle, Info.IsEnabled, hot, format, wrapCaption);
    }

    // The sort glyph.
    if (!draw.Contains(hpeSortGlyph) && Info.ShowSortGlyph) {
        if (TImageList* utilities = TBaseLazyTree::InternalImageList(kUtilityList)) {
            const int image = FHeader->SortDirection() == sdAscending ? kSortAscending : kSortDescending;
            utilities->Draw(DC, Info.SortGlyphPos.X, Info.SortGlyphPos.Y, image, true);
        }
    }

    // The drop mark, on the unshrunk cell.
    if (!draw.Contains(hpeDropMark) && Info.DropMark != dmmNone) {
        if (TImageList* utilities = TBaseLazyTree::InternalImageList(kUtilityList)) {
            const int y = (cell.Top + cell.Bottom - utilities->Height()) / 2;
            if (Info.DropMark == dmmLeft) utilities->Draw(DC, cell.Left, y, kDropMarkLeft, true);
            else utilities->Draw(DC, cell.Right - 16, y, kDropMarkRight, true);
        }
    }

    if (draw.Bits() != 0) tree->OnAdvancedHeaderDraw(FHeader, Info, draw);
}

void TLazyTreeColumns::SetHoverIndex(TColumnIndex Value) {
    if (FHoverIndex == Value) return;
    FHoverIndex = Value;
    FHeader->Invalidate(nullptr);
}

void TLazyTreeColumns::SetDownIndex(TColumnIndex Value, bool OnCheckBox) {
    if (FDownIndex == Value && FCheckBoxHit == OnCheckBox) return;
    FDownIndex = Value;
    FCheckBoxHit = OnCheckBox;
    FHeader->Invalidate(nullptr);
}
