// The string grid's cell drawing: the look of a cell (font, colours,
// selection, alignment) for the base painter and for new cell properties,
// and the layers drawn over the background the base painter filled: header
// look, text, cell graphics, borders and the focus rectangle.
#include "gridpack/stringgrid/ExGrid.h"

#include "gridpack/basegrid/GradientBands.h"
#include "gridpack/basegrid/RorIdad.h"
#include "gridpack/basegrid/RorIdadGraphics.h"
#include "gridpack/basegrid/SgHTMLE.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/MathUtils.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Resources.h"

#include <algorithm>

namespace {
bool IsCheckKind(TCellType t)
{
    return t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRowCheckBox ||
           t == ctTriStateCheckBox;
}
bool IsDataCheckKind(TCellType t) { return t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRowCheckBox; }

} // namespace

// ---------------------------------------------------------------------------
// Colours
// ---------------------------------------------------------------------------

TColor BlendColors(TColor C1, TColor C2, int Percent)
{
    if (Percent >= 100)
        return C1;
    if (Percent < 1 || C1 == clNone)
        return C2;
    if (C2 == clNone)
        return C1;
    const TColor a = ColorToRGB(C1), b = ColorToRGB(C2);
    const double f = Percent / 100.0;
    auto mix = [&](int shift) {
        const double v = f * ((a >> shift) & 0xFF) + (1.0 - f) * ((b >> shift) & 0xFF);
        return std::min<int64_t>(255, Round(v));
    };
    return TColor(mix(0) | (mix(8) << 8) | (mix(16) << 16));
}

TColor MixSelectionColor(TColor SelColor, TColor CellColor, bool Mixer, int Factor)
{
    return Mixer ? BlendColors(SelColor, CellColor, Factor) : SelColor;
}

// ---------------------------------------------------------------------------
// The look of a cell
// ---------------------------------------------------------------------------

void TExStringGrid::GetVisualProperties(int ACol, int ARow, TGridDrawState& AState, bool Print, bool Select,
                                        bool Remap, TBrush* ABrush, TColor& AColorTo, TColor& AMirrorColor,
                                        TColor& AMirrorColorTo, TFont* AFont, TAlignment& HA, TVAlignment& VA,
                                        bool& WW, TCellGradientDirection& GD)
{
    const int RCol = Remap ? RemapColToReal(ACol) : ACol;
    const bool normal = ACol >= FixedCols() && ARow >= FixedRows();

    // 1. font of normal or fixed cells
    if (Print && !PrintSettings()->UseDisplayFont)
        AFont->Assign(normal ? PrintSettings()->Font : PrintSettings()->FixedFont);
    else
        AFont->Assign(normal ? *Font() : *FixedFont());

    // 2. the row whose flags count
    const bool realRows = (FMouseActions->DisjunctRowSelect() && FMouseActions->RowSelectPersistent) ||
                          FUseEnabledRows;
    const int RRow = realRows ? RealRowIndex(ARow) : ARow;

    // 3, 4. the cell's own colours and font
    ABrush->SetColor(clNone);
    AColorTo = clNone;
    AMirrorColor = clNone;
    AMirrorColorTo = clNone;
    bool ownColour = false;
    if (const TCellProperties* p = PropsOf(RCol, ARow)) {
        if (p->BrushColor() != clNone) {
            ABrush->SetColor(p->BrushColor());
            const TCellType k = GetCellType(ACol, ARow);
            ownColour = k == ctNone || k == ctRotated || k == ctEmpty;
        }
        if (p->FontColor != clNone)
            AFont->SetColor(p->FontColor);
        if (p->FontStyle != 0)
            AFont->SetStyle(p->FontStyle);
        if (p->FontSize != 0)
            AFont->SetSize(p->FontSize);
        if (!p->FontName.isEmpty())
            AFont->SetName(p->FontName);
        WW = p->WordWrap();
        AColorTo = p->BrushColorTo();
        GD = p->GradientDirection;
    }
    // 5.
    if (AState & gdSelected)
        GD = GradientVertical;

    // 6. grid colour, bands, fixed areas
    if (ABrush->Color() == clNone) {
        ABrush->SetColor(Color());
        if (Bands()->Active() && (Bands()->Print == Print || !Print) && ACol >= FixedCols() &&
            ACol < ColCount() + NumHiddenColumns() - FixedRightCols() && ARow >= FixedRows() &&
            ARow < RowCount() - FixedFooters() && Bands()->TotalLength() > 0)
            ABrush->SetColor((ARow - FixedRows()) % Bands()->TotalLength() < Bands()->PrimaryLength()
                                 ? Bands()->PrimaryColor()
                                 : Bands()->SecondaryColor());
        if (ACol < FixedCols() || ARow < FixedRows() || ACol >= ColCount() - FixedRightCols() ||
            ARow >= RowCount() - FixedFooters())
            ABrush->SetColor(FixedColor());
    }

    // 7. fixed cells and the header gradient
    const bool fixed = IsFixed(ACol, ARow) || ACol < FixedCols() || ARow < FixedRows();
    if (fixed && !ownColour && !Print) {
        ABrush->SetColor(FixedColor());
        AFont->Assign(*FixedFont());
        AState |= gdFixed;
        if (Look >= glQOR) {
            ABrush->SetColor(QORGradientFrom());
            AColorTo = QORGradientTo();
            AMirrorColor = QORGradientMirrorFrom();
            AMirrorColorTo = QORGradientMirrorTo();
        }
    }

    // 8, 9. hooks
    if (Print)
        GetCellPrintColor(RCol, ARow, AState, ABrush, AFont);
    else
        GetCellColor(RCol, ARow, AState, ABrush, AFont);
    if (OnGetCellGradient) {
        TColor c = ABrush->Color();
        OnGetCellGradient(this, ARow, RCol, c, AColorTo, AMirrorColor, AMirrorColorTo, GD);
        ABrush->SetColor(c);
    }

    // 10, 11. selection
    const TColor cellColour = ABrush->Color();
    const auto select = [&](TColor brush) {
        // Without a selection colour an unfocused selection shows the
        // system's highlight.
        if (brush == clNone && !(AState & gdFocused))
            brush = clHighlight;
        ABrush->SetColor(brush);
        AColorTo = SelectionColorTo();
        AMirrorColor = SelectionMirrorColor();
        AMirrorColorTo = SelectionMirrorColorTo();
        if (SelectionTextColor() != clNone)
            AFont->SetColor(SelectionTextColor());
    };
    const bool rowDisjunct = FMouseActions->DisjunctRowSelect();
    const bool colDisjunct = FMouseActions->DisjunctColSelect();
    if (Select && !Print && ShowSelection() && normal) {
        if (rowDisjunct) {
            if (RRow < RowCount() + NumHiddenRows() && GetRowSelect(RRow)) {
                select(SelectionColor());
                AState = gdSelected;
            } else {
                AState &= ~gdSelected;
            }
        } else if (colDisjunct) {
            if (GetColSelect(ACol)) {
                select(SelectionColor());
                AState |= gdSelected;
            } else {
                AState &= ~gdSelected;
            }
        }
    }
    if (Select && !Print && ShowSelection() && !fixed && !rowDisjunct && !colDisjunct && IsCellSelected(ACol, ARow)) {
        select(cellColour == Color() ? SelectionColor()
                                     : MixSelectionColor(SelectionColor(), cellColour, SelectionColorMixer(),
                                                         SelectionColorMixerFactor()));
        AState |= gdSelected;
    }

    // 13. disabled rows and a disabled grid
    if (UseDisabledFont && ((FUseEnabledRows && !GetRowEnabled(RRow)) || !Enabled()))
        AFont->SetColor(DisabledFontColor);

    // 14. selected rows away from the current one are brightened
    if (rowDisjunct && (AState & gdSelected) && ARow != Row() && SelectionColorTo() == clNone)
        ABrush->SetColor(ScaleColorPercent(ABrush->Color(), 7));

    // 15.
    GetCellWordWrap(RCol, ARow, WW);
    GetCellAlignment(RCol, ARow, HA, VA);
}

bool TExStringGrid::IsCellSelected(int ACol, int ARow) const
{
    const TGridRect s = Selection();
    return ACol >= std::min(s.Left, s.Right) && ACol <= std::max(s.Left, s.Right) &&
           ARow >= std::min(s.Top, s.Bottom) && ARow <= std::max(s.Top, s.Bottom);
}

// ---------------------------------------------------------------------------
// The layers of a cell
// ---------------------------------------------------------------------------

void TExStringGrid::RenderCell(TCanvas* Canvas, int ACol, int ARow, const TRect& ARect, TGridDrawState AState)
{
    const int C = RemapColToReal(ACol);
    TRect R = ARect;

    // 3. a cell scroll bar takes the right edge; the text scrolls with it
    const int keptRight = R.Right;
    FCellScrollPos = PaintCellScrollBar(Canvas, C, ARow, R);

    // 4. the cell's look, without selection
    bool WW = WordWrap;
    TAlignment HA = taLeftJustify;
    TVAlignment VA = vtaTop;
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TCellGradientDirection GD = GradientVertical;
    GetVisualProperties(ACol, ARow, AState, false, false, true, &Canvas->Brush(), colorTo, mirror, mirrorTo,
                        &Canvas->Font(), HA, VA, WW, GD);
    // 5. column 0 of a node row makes room for the expand box
    TCellGraphicInfo info = GetCellGraphicInfo(C, ARow);
    if (C == 0 && info.Graphic && info.Graphic->CellType == ctNode)
        info.Width = RowLevel(ARow) * 12 + 4;
    // 6.
    if ((AState & gdSelected) && !(AState & gdFocused) && SelectionColor() == clNone)
        Canvas->Brush().SetColor(clHighlight);
    // 7.
    Canvas->Font().SetSize(Canvas->Font().Size() + ZoomFactor());
    const TColor keptBrush = Canvas->Brush().Color();
    const TColor keptFont = Canvas->Font().Color();
    // 8.
    const bool F = (IsFixed(ACol, ARow) || ACol < FixedCols() || ARow < FixedRows()) &&
                   !(HoverRow && ARow == FHoverRowIdx && (HoverRowCells & HoverRowCellBit(hcFixed)));

    // 10. header background by look; 12. the list-view header
    if (F && !StyleActive()) {
        PaintLookHeader(Canvas, ACol, ARow, R, colorTo, mirror, mirrorTo, GD);
        PaintListViewHeader(Canvas, R);
    }

    // 11. row indicator
    const int keptLeft = R.Left;
    PaintRowIndicator(Canvas, C, ARow, R);
    const int indicatorWidth = R.Left - keptLeft;

    // 13. modified mark
    PaintModifiedMark(Canvas, ACol, ARow, R);

    // 14.
    if (OnCustomCellBkgDraw)
        OnCustomCellBkgDraw(this, Canvas, C, ARow, AState, R, false);

    // 15. drop-down and spin buttons shown without an editor
    PaintAlwaysVisibleButtons(Canvas, C, ARow, F, R);

    // 16. an interfaced cell drawn behind the text, then the text
    if (info.Graphic && info.Graphic->CellType == ctInterface) {
        if (auto* d = dynamic_cast<IGridCellDrawer*>(info.Graphic->Interfaced()); d && d->CellDrawBehindText())
            d->CellDraw(Canvas, TRect{R.Left - 1, R.Top - 1, R.Right + 1, R.Bottom + 1}, this,
                        (AState & gdSelected) != 0, C, ARow);
    }
    FDrawnTextWidth = 0;
    const bool ownDraw = NoDefaultDraw && (OnDrawCell || OnCustomCellDraw);
    if (!(NoImageAndText && info.Graphic) && !ownDraw)
        RenderCellText(Canvas, ACol, ARow, R, AState, info, HA, VA, WW, keptBrush, keptFont);

    // 17. colours back, borders over the cell grown by 1
    R.Right = keptRight;
    FCellScrollPos = 0;
    Canvas->Brush().SetColor(keptBrush);
    Canvas->Font().SetColor(keptFont);
    R = TRect{R.Left - 1, R.Top - 1, R.Right + 1, R.Bottom + 1};
    RenderCellBorders(Canvas, C, ARow, R);
    R.Left -= indicatorWidth;

    // 18. header edges by look; 19. fixed right columns
    if (F && !StyleActive())
        PaintLookHeaderEdges(Canvas, R);
    PaintFixedRightEdges(Canvas, ACol, R);

    // 20. node tree
    if (C == 0 && HasNodeRows() && ARow >= FixedRows() && FCellNode->ShowTree())
        PaintNodeTree(Canvas, ARow, R);

    // 21. the cell graphic
    if (info.Graphic) {
        TRect G = R;
        if (F)
            G.Top += 1;
        PaintCellGraphic(Canvas, C, ARow, G, info, HA, VA);
    }
    if (info.Graphic && info.Graphic->CellType == ctNode)
        PaintNodeBox(Canvas, ARow, R, info.Graphic, (AState & gdSelected) != 0);

    // 22. the program's own drawing
    if (OnDrawCell) {
        const TRect r2{R.Left + 1, R.Top + 1, R.Right + 1 - GridLineWidth(), R.Bottom + 1 - GridLineWidth()};
        OnDrawCell(this, C, ARow, r2, AState);
    }
    // 23.
    if (OnCustomCellDraw)
        OnCustomCellDraw(this, Canvas, C, ARow, AState, R, false);

    // 24. focus rectangle inside the grid lines
    const TPoint b = BaseCell(ACol, ARow);
    if (!HideFocusRect && b.X == Col() && b.Y == Row() && Focused() && !(Options() & goRowSelect) &&
        Col() >= FixedCols() && Row() >= FixedRows()) {
        const int g = GridLineWidth() - 1;
        const TRect f{R.Left - g, R.Top - g, R.Right + g - 1, R.Bottom + g - 1};
        Canvas->Brush().SetColor(keptBrush);
        Canvas->Font().SetColor(clBlack);
        Canvas->DrawFocusRect(f);
    }
}

void TExStringGrid::PaintSelectionOutline(TCanvas* Canvas, int ACol, int ARow, const TRect& R)
{
    const TGridRect s = Selection();
    const int l = std::min(s.Left, s.Right), r = std::max(s.Left, s.Right);
    const int t = std::min(s.Top, s.Bottom), b = std::max(s.Top, s.Bottom);
    const int g = GridLineWidth();
    const TPen kept = Canvas->Pen();
    Canvas->Pen().SetColor(SelectionRectangleColor);
    Canvas->Pen().SetWidth(2);
    const int x0 = R.Left - g + 1, x1 = R.Right - 1, y0 = R.Top - g + 1, y1 = R.Bottom;
    if (ACol == l) {
        Canvas->MoveTo(x0, y0);
        Canvas->LineTo(x0, y1);
    }
    if (ACol == r) {
        Canvas->MoveTo(x1, y0);
        Canvas->LineTo(x1, y1);
    }
    if (ARow == t) {
        Canvas->MoveTo(x0, y0);
        Canvas->LineTo(x1, y0);
    }
    if (ARow == b) {
        Canvas->MoveTo(x0, y1);
        Canvas->LineTo(x1, y1);
    }
    Canvas->Pen().Assign(kept);
    if (SelectionResizer() && ACol == r && ARow == b) {
        const TColor keptBrush = Canvas->Brush().Color();
        Canvas->Brush().SetColor(SelectionRectangleColor);
        Canvas->FillRect(TRect{R.Right - 4, R.Bottom - 4, R.Right + 1, R.Bottom + 1});
        Canvas->Brush().SetColor(keptBrush);
    }
}

double TExStringGrid::CellFloat(int C, int ARow)
{
    try {
        return GetFloats(C, ARow);
    } catch (const Exception&) {
        return 0.0;
    }
}

int TExStringGrid::PaintCellScrollBar(TCanvas* Canvas, int C, int ARow, TRect& R)
{
    const TCellGraphic* sb = BaseScrollBar(C, ARow);
    if (!sb || !FPaintScrollBar || sb->CellAngle >= sb->CellErrFrom)
        return 0;
    const int w = GetSystemMetrics(SM_CXVSCROLL), h = R.Bottom - R.Top;
    if (w <= 0 || h <= 0 || R.Right - R.Left <= w)
        return 0;
    const int range = std::max(0, sb->CellErrFrom);
    FPaintScrollBar->SetKind(sbVertical);
    FPaintScrollBar->SetParams(std::clamp(sb->CellIndex, 0, range), 0, range);
    FPaintScrollBar->SetPageSize(std::max(0, sb->CellAngle));
    FPaintScrollBar->SetBounds(0, 0, w, h);
    TBitmap bar(w, h, pf24bit);
    FPaintScrollBar->PaintTo(bar.Image(), TPoint{0, 0});
    Canvas->Draw(R.Right - w, R.Top, &bar);
    R.Right -= w;
    return std::max(0, sb->CellIndex);
}

void TExStringGrid::PaintRowIndicator(TCanvas* Canvas, int C, int ARow, TRect& R)
{
    if (C != 0 || ARow != Row() || FixedCols() < 1 || !FRowIndicator || FRowIndicator->Empty())
        return;
    if (RowCount() == FixedRows() && FixedRowAlways)
        return;
    TBitmap* b = FRowIndicator.get();
    int y = R.Top;
    if (VAlignment() == vtaCenter)
        y = R.Top + (R.Bottom - R.Top - b->Height()) / 2;
    else if (VAlignment() == vtaBottom)
        y = R.Bottom - b->Height();
    b->SetTransparentMode(tmAuto);
    b->SetTransparent(true);
    Canvas->Draw(R.Left + 2, y, b);
    R.Left += b->Width() + 2;
}

void TExStringGrid::PaintModifiedMark(TCanvas* Canvas, int ACol, int ARow, const TRect& R)
{
    if (ACol != 0 || !FShowModified->Enabled || !GetRowModified(RealRowIndex(ARow)))
        return;
    const TColor keptBrush = Canvas->Brush().Color();
    const TPen keptPen = Canvas->Pen();
    Canvas->Brush().SetColor(FShowModified->Color());
    Canvas->Pen().SetColor(FShowModified->Color());
    Canvas->Pen().SetWidth(1);
    Canvas->Rectangle(R.Right - 4, R.Top, R.Right, R.Bottom);
    Canvas->Brush().SetColor(keptBrush);
    Canvas->Pen().Assign(keptPen);
}

void TExStringGrid::PaintFilterButton(TCanvas* Canvas, int C, const TRect& R)
{
    (void)C;
    TBitmap b;
    LoadResourceBitmap(&b, QStringLiteral("SGFILT"));
    DrawBitmapTransparent(Canvas, &b, FixedColor(), TRect{R.Right - 16, R.Top, R.Right, R.Top + 16});
}

void TExStringGrid::PaintSortGlyphInCell(TCanvas* Canvas, int C, const TRect& TR, TAlignment HA, TVAlignment VA,
                                         int TextWidth, int GraphicOffset, bool Html)
{
    int x;
    if (Html) {
        x = TR.Right + 2;
    } else {
        const int w = std::max(0, std::min(TR.Right - TR.Left - 16, TextWidth));
        if (HA == taRightJustify)
            x = TR.Right - w - 10;
        else if (HA == taCenter)
            x = TR.Left + 8;
        else
            x = TR.Left + w + GraphicOffset + 10;
    }
    const int y = VA == vtaCenter ? (TR.Top + TR.Bottom) / 2 : VA == vtaBottom ? TR.Bottom - 8 : TR.Top + 8;
    DrawSortGlyph(Canvas, C, y, x);
}

void TExStringGrid::RenderCellText(TCanvas* Canvas, int ACol, int ARow, const TRect& R, TGridDrawState AState,
                                   const TCellGraphicInfo& info, TAlignment HA, TVAlignment VA, bool WW,
                                   TColor KeptBrush, TColor KeptFont)
{
    const int C = RemapColToReal(ACol);
    const bool fixed = IsFixed(ACol, ARow) || ACol < FixedCols() || ARow < FixedRows();
    TColor urlColor = URLColor;

    // 1. selection colours
    const bool rowSel = (Options() & goRowSelect) && IsCellSelected(ACol, ARow) && C >= FixedCols() &&
                        C < ColCount() - FixedRightCols();
    if (((AState & gdSelected) || rowSel) && !fixed) {
        if (ShowSelection()) {
            if (SelectionColor() != clNone)
                Canvas->Brush().SetColor(SelectionColor());
            if (SelectionTextColor() != clNone && Enabled()) {
                Canvas->Font().SetColor(SelectionTextColor());
                urlColor = SelectionTextColor();
            }
        } else if (!Focused() || (info.Graphic && IsCheckKind(info.Graphic->CellType))) {
            Canvas->Brush().SetColor(KeptBrush);
            Canvas->Font().SetColor(KeptFont);
        }
    }

    // 2. the text as shown
    QString text = GetFormattedCell(C, ARow);
    const int kind = DetectTextKind(text, EnableHTML);
    bool password = false;
    IsPasswordCell(C, ARow, password);
    if (password)
        text = QString(text.size(), PasswordChar);

    // 3.
    TRect tr = R;
    if (fixed) {
        tr.Left += GridLineWidth();
        tr.Top += GridLineWidth();
    }

    // A scrolled cell shows its text moved up, cut to the cell; the clip
    // goes back on every way out.
    struct ClipScope {
        TCanvas* c;
        TRegion kept;
        bool had = false, on = false;
        ~ClipScope()
        {
            if (on)
                c->SelectClipRgn(had ? &kept : nullptr);
        }
    } clip{Canvas, TRegion(), false, false};
    if (FCellScrollPos > 0) {
        clip.had = Canvas->GetClipRgn(clip.kept) != 0;
        clip.on = true;
        Canvas->IntersectClipRect(R.Left, R.Top, R.Right, R.Bottom);
        tr.Top -= FCellScrollPos;
    }

    // 4. the filter button of the filter row
    const bool filterButton = ARow == FilterDropDownRow && (FilterDropDownAuto || OnGetColumnFilter) &&
                              GetColumnFilter(C);
    if (filterButton)
        PaintFilterButton(Canvas, C, R);

    // 8. the selection's outline
    if (SelectionRectangle() && !fixed && IsCellSelected(ACol, ARow))
        PaintSelectionOutline(Canvas, ACol, ARow, R);

    const bool sortGlyph = ShowsSortGlyph(C, ARow);
    if (!info.TextToo || (text.isEmpty() && !sortGlyph))
        return;

    // 9. the text rectangle beside the graphic
    const TPoint off = XYOffset();
    tr.Left += off.X;
    tr.Top += off.Y;
    if (!XYOffsetTopLeftOnly)
        tr.Right -= off.X;
    int graphicOffset = 0;
    if (info.Graphic) {
        if (info.HAlign == haBeforeText)
            tr.Left += info.Width;
        else if (info.HAlign == haAfterText)
            tr.Right -= info.Width;
        if (info.VAlign == vaAboveText)
            tr.Top += info.Height;
        else if (info.VAlign == vaUnderText)
            tr.Bottom -= info.Height;
        if (HA == taLeftJustify && (info.HAlign == haBeforeText || info.HAlign == haLeft))
            graphicOffset = info.Width;
    }
    // Rows below a node are indented with their level.
    if (C == 0 && HasNodeRows() && !IsNode(ARow))
        tr.Left += GetRowNodeIndent(ARow);
    if (filterButton) {
        tr.Right -= kind == 1 ? 18 : 16;
        if (kind == 1)
            tr.Left -= 1;
    }
    if (kind == 1 && sortGlyph)
        tr.Right -= 10;
    if (kind != 1 && HA == taCenter && FSortSettings->Show && ARow == FSortSettings->Row &&
        C == FSortSettings->Column)
        tr.Left += 10;

    Canvas->Brush().SetStyle(bsClear);
    int textWidth = 0;
    if (kind == 1 && !text.isEmpty()) {
        THTMLRenderParams p;
        p.Canvas = Canvas;
        p.Text = text;
        p.Rect = tr;
        p.Images = GetCellImageList(C, ARow);
        p.Container = PictureContainer();
        p.PictureCache = ImageCache();
        p.ShadowColor = clGray;
        p.LinkColor = urlColor;
        p.WordWrap = !EnhTextSize;
        RenderHTML(p);
        textWidth = p.Width;
        if (info.Graphic)
            FDrawnTextWidth = p.Width + 2;
    } else if (kind == 2) {
        // Rich text: the cell's background under it, then the rich editor's
        // layout of the text.
        Canvas->Brush().SetStyle(bsSolid);
        Canvas->Pen().SetColor(Canvas->Brush().Color());
        if (!((AState & gdSelected) && !(AState & gdFocused) && SelectionColor() == clNone))
            Canvas->FillRect(tr);
        PaintRichTextCell(ACol, ARow, tr, Canvas);
        Canvas->Font().SetColor(clBlack);
    } else if (!text.isEmpty()) {
        // A link shows without its scheme (unless URLFull), underlined in
        // the link colour.
        const bool link = URLShow && (text.contains(QStringLiteral("://")) ||
                                      text.contains(QStringLiteral("mailto:"), Qt::CaseInsensitive));
        if (link) {
            if (!URLFull)
                RemoveURLScheme(text);
            Canvas->Font().SetColor(urlColor);
            Canvas->Font().SetStyle(Canvas->Font().Style() | fsUnderline);
        }
        unsigned flags = DT_EDITCONTROL;
        if (CountTextLines(text, Multilinecells) == 1 && !WW) {
            QString rest = text;
            text = TakeFirstLine(rest, false);
            flags = DT_SINGLELINE | (EnhTextSize ? DT_END_ELLIPSIS : 0u);
        }
        if (WW && !Multilinecells && EnhTextSize)
            flags |= DT_END_ELLIPSIS;
        flags |= VA == vtaCenter ? DT_VCENTER : VA == vtaBottom ? DT_BOTTOM : DT_TOP;
        FVAlign = VA == vtaCenter ? DT_VCENTER : VA == vtaBottom ? DT_BOTTOM : DT_TOP;
        flags |= HA == taRightJustify ? DT_RIGHT : HA == taCenter ? DT_CENTER : DT_LEFT;
        flags |= DT_EXPANDTABS | DT_NOPREFIX;
        flags |= (WW || Multilinecells) ? (DT_WORDBREAK | DT_EDITCONTROL) : DT_SINGLELINE;
        if (info.Graphic || sortGlyph) {
            TRect m = tr;
            Canvas->DrawText(text, m, flags | DT_CALCRECT);
            textWidth = m.Right - m.Left;
            if (info.Graphic)
                FDrawnTextWidth = textWidth + 2;
        }
        Canvas->DrawText(text, tr, flags);
        if (link)
            Canvas->Font().SetStyle(Canvas->Font().Style() & ~unsigned(fsUnderline));
    }
    Canvas->Brush().SetStyle(bsSolid);

    // the sort glyph beside the text
    if (sortGlyph)
        PaintSortGlyphInCell(Canvas, C, tr, HA, VA, textWidth, graphicOffset, kind == 1);
}

void TExStringGrid::RenderCellBorders(TCanvas* Canvas, int C, int ARow, TRect R)
{
    TCellBorders borders = 0;
    const TPen saved = Canvas->Pen();
    GetCellBorder(C, ARow, &Canvas->Pen(), borders);
    if (!borders) {
        Canvas->Pen().Assign(saved);
        return;
    }
    TPen left = Canvas->Pen(), top = Canvas->Pen(), right = Canvas->Pen(), bottom = Canvas->Pen();
    if (OnGetCellBorderProp)
        OnGetCellBorderProp(this, ARow, C, &left, &top, &right, &bottom);
    int h = (Canvas->Pen().Width() + 1) / 2;
    const int v = (Options() & goVertLine) ? h : 0;
    if (!(Options() & goHorzLine))
        h = 0;
    R.Left += v;
    R.Bottom -= h;
    if (borders & CellBorderBit(cbLeft)) {
        Canvas->Pen().Assign(left);
        Canvas->MoveTo(std::max(0, R.Left), R.Top);
        Canvas->LineTo(std::max(0, R.Left), R.Bottom);
    }
    R.Right -= v;
    if (borders & CellBorderBit(cbRight)) {
        Canvas->Pen().Assign(right);
        Canvas->MoveTo(R.Right - 1, R.Top);
        Canvas->LineTo(R.Right - 1, R.Bottom);
    }
    if (borders & CellBorderBit(cbTop)) {
        Canvas->Pen().Assign(top);
        R.Top += h;
        const int y = GridLineWidth() > 0 ? std::max(0, R.Top - GridLineWidth()) : R.Top + 1;
        Canvas->MoveTo(R.Left, y);
        Canvas->LineTo(R.Right, y);
    }
    if (borders & CellBorderBit(cbBottom)) {
        Canvas->Pen().Assign(bottom);
        Canvas->MoveTo(R.Left - GridLineWidth() - 1, R.Bottom - 1);
        Canvas->LineTo(R.Right, R.Bottom - 1);
    }
    Canvas->Pen().Assign(saved);
}

// ---------------------------------------------------------------------------
// Cell graphics
// ---------------------------------------------------------------------------

TRect TExStringGrid::GraphicRect(const TRect& Cell, const TCellGraphicInfo& info, TAlignment A, TVAlignment CellVA,
                                 int T) const
{
    const TCellType kind = info.Graphic->CellType;
    const int w = info.Width, h = info.Height;
    TRect R = Cell;
    if (kind != ctNode && kind != ctProgress && kind != ctRangeIndicator && kind != ctXPProgress) {
        R.Left += XYOffset().X - 1;
        R.Right -= XYOffset().X - 1;
        R.Top += XYOffset().Y - 1;
        R.Bottom -= XYOffset().Y - 1;
    }
    const int rw = R.Right - R.Left, rh = R.Bottom - R.Top;
    TRect G{R.Left + 1, R.Top + 1, R.Left + 1 + w, R.Top + 1 + h};
    if (T > 0)
        T += 2;
    if (IsCheckKind(kind) || kind == ctRadioButton) {
        const bool data = IsDataCheckKind(kind);
        if (A == taRightJustify) {
            const int E = data ? R.Right : R.Right - T;
            G.Left = std::max(R.Left + 1, E - w - 1);
        } else if (A == taCenter) {
            G.Left = (data || T < 1) ? R.Left + std::max(0, rw - w) / 2 : R.Left + std::max(0, rw - T) / 2 - w;
            G.Left = std::max(G.Left, R.Left + 1);
        }
        G.Right = G.Left + w;
    } else {
        switch (info.HAlign) {
        case haRight:
            G.Right = R.Right - 1;
            G.Left = G.Right - w;
            break;
        case haCenter:
            G.Left = w < rw ? R.Left + (rw - w) / 2 : R.Left + 1;
            G.Right = G.Left + w;
            break;
        case haBeforeText:
            if (A == taRightJustify)
                G.Left = std::max(R.Left + 1, R.Right - T - w);
            else if (A == taCenter)
                G.Left = std::max(R.Left + 1, R.Left + (rw - T - w) / 2);
            G.Right = G.Left + w;
            break;
        case haAfterText:
            if (A == taRightJustify)
                G.Left = R.Right - 1 - w;
            else if (A == taCenter)
                G.Left = std::max(R.Left + 1, R.Left + T + (rw - T - w) / 2);
            else
                G.Left = R.Left + T;
            G.Right = G.Left + w;
            break;
        case haFull:
            G.Left = R.Left;
            G.Right = R.Right;
            break;
        default:
            break;
        }
    }
    TCellVAlign va = info.VAlign;
    if ((IsCheckKind(kind) || kind == ctRadioButton) && CellVA != VAlignment())
        va = CellVA == vtaCenter ? vaCenter : CellVA == vtaBottom ? vaBottom : vaTop;
    switch (va) {
    case vaBottom:
        G.Top = R.Bottom - h - 1;
        G.Bottom = R.Bottom - 1;
        break;
    case vaCenter:
        G.Top = h < rh ? R.Top + (rh - h) / 2 : R.Top + 1;
        G.Bottom = G.Top + h;
        break;
    case vaUnderText:
        G.Top = R.Bottom - h;
        G.Bottom = R.Bottom;
        break;
    case vaFull:
        G.Top = R.Top;
        G.Bottom = R.Bottom;
        break;
    default:
        G.Top = R.Top + 1;
        G.Bottom = G.Top + h;
        break;
    }
    return G;
}

void TExStringGrid::PaintCellGraphic(TCanvas* Canvas, int C, int ARow, const TRect& R, const TCellGraphicInfo& info,
                                     TAlignment HA, TVAlignment VA)
{
    const TCellGraphic* g = info.Graphic;
    const TRect G = GraphicRect(R, info, HA, VA, FDrawnTextWidth);
    switch (g->CellType) {
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctTriStateCheckBox: {
        TCheckBoxState state = cbUnchecked;
        if (g->CellType == ctRowCheckBox && ARow == 0 && g->CellAngle == 1)
            state = cbGrayed;
        else if (g->CellType == ctRowCheckBox)
            state = BoolToCheckBoxState(g->CellBoolean);
        else
            GetCheckBoxState(C, RealRowIndex(ARow), state);
        bool canEdit = true;
        QueryCellEdit(C, ARow, canEdit);
        const bool active = canEdit || FControlLook->CheckAlwaysActive || FControlLook->NoDisabledCheckRadioLook();
        DrawCheckGlyph(Canvas, G, state, active, g->CellTransparent);
        break;
    }
    case ctImageList:
    case ctDataImage: {
        TImageList* list = GetCellImageList(C, ARow);
        if (!list)
            break;
        int idx = g->CellIndex;
        if (g->CellType == ctDataImage) {
            try {
                idx += GetInts(C, ARow);
            } catch (const Exception&) {
                break;
            }
        }
        if (idx >= 0 && idx < list->Count())
            list->Draw(Canvas, G.Left, G.Top, idx);
        break;
    }
    case ctBitmap:
        if (TBitmap* b = g->Bitmap()) {
            if (g->CellTransparent)
                DrawBitmapTransparent(Canvas, b, Canvas->Brush().Color(), G);
            else
                Canvas->Draw(G.Left, G.Top, b);
        }
        break;
    case ctIcon:
        if (TIcon* i = g->CellIcon())
            Canvas->Draw(G.Left, G.Top, i);
        break;
    case ctRadioButton: {
        bool canEdit = true;
        QueryCellEdit(C, ARow, canEdit);
        const int S = FControlLook->RadioSize();
        const TRect r{G.Left + XYOffset().X, G.Top, G.Left + XYOffset().X + S, G.Top + S};
        DrawRadioGlyph(Canvas, r, 1.0, C, ARow, false, nullptr, !canEdit, false, g->CellBoolean ? 0 : -1, 1);
        break;
    }
    case ctRadio: {
        TStrings* items = GetRadioStrings(C, ARow);
        if (!items)
            break;
        bool canEdit = true;
        QueryCellEdit(C, ARow, canEdit);
        const bool selected = IsCellSelected(RemapColToDispl(C), ARow) && ShowSelection();
        DrawRadioGlyph(Canvas, G, 1.0, C, ARow, selected, items, !canEdit, g->CellBoolean, g->CellIndex,
                       items->Count());
        break;
    }
    case ctRotated: {
        // The angle in whole degrees; the graphic's text alignment decides
        // where the turned text stands.
        PaintRotatedCell(Canvas, C, ARow, R, g->CellAngle, VA, HA);
        break;
    }
    case ctInterface:
        // Drawn before the text when it asks to be behind it.
        if (auto* d = dynamic_cast<IGridCellDrawer*>(g->Interfaced()); d && !d->CellDrawBehindText())
            d->CellDraw(Canvas, TRect{R.Left - 1, R.Top - 1, R.Right, R.Bottom}, this,
                        IsCellSelected(RemapColToDispl(C), ARow), C, ARow);
        break;
    default:
        PaintCellGraphicKind(Canvas, C, ARow, R, G, info);
        break;
    }
}

// ---------------------------------------------------------------------------
// The look border in the non-client area
// ---------------------------------------------------------------------------

void TExStringGrid::PaintLookBorder(TCanvas* Canvas)
{
    const bool look = Look == glSoft || (Look >= glQOR && Look <= glOffice2007);
    if (!look || Flat() || BorderStyle() == bsNone || BorderColor() == clNone)
        return;
    Canvas->Brush().SetStyle(bsClear);
    Canvas->Pen().SetWidth(1);
    Canvas->Pen().SetColor(BorderColor());
    if (FitCellsInGrid) {
        Canvas->Rectangle(1, 1, Width() - 1, Height() - 1);
        // The outer ring in the parent's colour.
        if (Parent()) {
            Canvas->Pen().SetColor(Parent()->Color());
            Canvas->Rectangle(0, 0, Width(), Height());
        }
    } else if (FIsComCtl6) {
        Canvas->Rectangle(0, 0, Width(), Height());
    }
    Canvas->Brush().SetStyle(bsSolid);
}

void TExStringGrid::WMNCPaint(TMessage& M)
{
    TBaseGrid::WMNCPaint(M);
    if (!M.WParam || UpdateCount() > 0)
        return;
    TCanvas c;
    reinterpret_cast<const TPaintTarget*>(M.WParam)->AttachCanvas(c);
    PaintLookBorder(&c);
}

// ---------------------------------------------------------------------------
// The line of a column or row being sized
// ---------------------------------------------------------------------------

// Called as the pointer moves: the strips of the old and the new line are
// repainted, and the paint draws the line where the pointer now is.
void TExStringGrid::UpdateSizeLine()
{
    const TGridState st = GridState();
    // A fixed column or row sized by the grid itself has its own line.
    const bool fixedSizing = FSizingFixed || FSizingFixedR;
    const bool sizing = st == gsColSizing || st == gsRowSizing || fixedSizing;
    const bool cols = FSizingFixed || (!fixedSizing && st != gsRowSizing);
    const int pos = !sizing ? -1 : FSizingFixed ? FSizeFixedX : FSizingFixedR ? FSizeFixedY : SizingPosition();
    if (pos == FSizeLinePos && (!sizing || FSizeLineCols == cols))
        return;
    const auto strip = [&](int p, bool cols) {
        if (p < 0)
            return;
        const TRect r = cols ? TRect{p - 1, 0, p + 2, ClientHeight()} : TRect{0, p - 1, ClientWidth(), p + 2};
        InvalidateRect(r);
    };
    strip(FSizeLinePos, FSizeLineCols);
    FSizeLinePos = pos;
    FSizeLineCols = cols;
    strip(FSizeLinePos, FSizeLineCols);
}

void TExStringGrid::DrawSizeLine(TCanvas* Canvas)
{
    if (FSizeLinePos < 0)
        return;
    const TGridState st = GridState();
    if (st != gsColSizing && st != gsRowSizing && !FSizingFixed && !FSizingFixedR) {
        FSizeLinePos = -1;
        return;
    }
    const TPen kept = Canvas->Pen();
    Canvas->Pen().SetColor(clBlack);
    Canvas->Pen().SetStyle(psDot);
    Canvas->Pen().SetMode(pmNot);
    Canvas->Pen().SetWidth(1);
    if (FSizeLineCols) {
        const int bottom = std::max(Height(), CellRect(0, RowCount() - 1).Bottom);
        Canvas->MoveTo(FSizeLinePos, 0);
        Canvas->LineTo(FSizeLinePos, bottom);
    } else {
        const int right = std::max(Width(), CellRect(ColCount() - 1, 0).Right);
        Canvas->MoveTo(0, FSizeLinePos);
        Canvas->LineTo(right, FSizeLinePos);
    }
    Canvas->Pen().Assign(kept);
}

// ---------------------------------------------------------------------------
// After the cells
// ---------------------------------------------------------------------------

void TExStringGrid::PaintOverCells()
{
    TCanvas* c = Canvas();
    // 2. a frame round the cell being edited
    if (EditorMode()) {
        const TRect r = CellRect(Col(), Row());
        if (r.Right > r.Left) {
            const bool noLines = GridLineWidth() < 1 || !(Options() & (goHorzLine | goVertLine));
            c->Pen().SetWidth(1);
            c->Pen().SetStyle(psSolid);
            c->Pen().SetColor(noLines ? Color() : GridLineColor());
            c->Brush().SetStyle(bsClear);
            c->Rectangle(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1);
            c->Brush().SetStyle(bsSolid);
        }
    }
    // 3.
    c->Pen().SetColor(clBlack);
    if (!FBackGround->Bitmap()->Empty() || FBackGround->ColorTo != clNone)
        PaintGridBackground();
    DrawSizeLine(c);
    // 5.
    if (OnPainted)
        OnPainted(this);
}

