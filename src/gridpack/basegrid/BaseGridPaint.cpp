// The base grid's cell painter: background (plain, gradient, hover row,
// active row or selection frame), its own grid lines, and the content
// rectangle handed to RenderCell; a merged block is painted once per pass.
#include "gridpack/basegrid/BaseGrid.h"

#include "gridpack/basegrid/RorIdad.h"

namespace {
// The colours handed to PaintSelectionFrame: ColorFrom, ColorTo, MirrorFrom,
// MirrorTo, InnerTopColor, InnerBottomColor, BorderColor, CornerColor.
struct TSelectionColors {
    TColor c[8];
};
constexpr TSelectionColors kVistaFocused{
    {0xFDF8F1, 0xFCEFD5, clNone, clNone, 0xFDFBF6, 0xFDF5E7, 0xFDDE99, 0xFCEDCB}};
constexpr TSelectionColors kWin7Focused{
    {0xFCEBDC, 0xFCDBC1, clNone, clNone, 0xFDF4EB, 0xFDEADB, 0xCEA27D, 0xE0C5AE}};
constexpr TSelectionColors kOffice2007Focused{
    {0xD7FFFD, 0x58D4FC, 0x58D4FC, 0xB3F1FC, 0xF4FEFF, 0xCAF8FF, 0x8DD7D3, 0xC3D9DF}};
constexpr TSelectionColors kUnfocused{
    {0xF8F8F8, 0xE5E5E5, clNone, clNone, 0xFBFAFA, 0xF0F0F0, 0xD9D9D9, 0xEFEFEF}};

const TSelectionColors& SelectionColors(TGridSelectionStyle style, bool focused)
{
    if (!focused)
        return kUnfocused;
    switch (style) {
    case ssVista: return kVistaFocused;
    case ssWin7: return kWin7Focused;
    default: return kOffice2007Focused;
    }
}
} // namespace

void TBaseGrid::Paint()
{
    TObjStringGrid::Paint();
    ++FPaintID;
}

void TBaseGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState)
{
    PaintGridCell(Canvas(), ACol, ARow, ARect, AState, true);
}

void TBaseGrid::PaintCell(TCanvas* ACanvas, int ACol, int ARow, const TRect& ARect, TGridDrawState AState)
{
    PaintGridCell(ACanvas, ACol, ARow, ARect, AState, true);
}

void TBaseGrid::PaintCellExt(TCanvas* ACanvas, int ACol, int ARow, const TRect& ARect, TGridDrawState AState)
{
    PaintGridCell(ACanvas, ACol, ARow, ARect, AState, false);
}

void TBaseGrid::PaintGridCell(TCanvas* Canvas, int ACol, int ARow, const TRect& ARect, TGridDrawState AState,
                              bool Content)
{
    // 1. A last row that the footer shows is left blank.
    if (ARow == RowCount() - 1 && FHideLastRow) {
        Canvas->Brush().SetColor(Color());
        Canvas->Pen().SetColor(Color());
        Canvas->Rectangle(ARect);
        return;
    }

    // 2. A covered cell paints its block through the base, once per pass.
    if (TCellProperties* p = PropsOf(ACol, ARow); p && !p->IsBaseCell) {
        const TPoint b = p->GetBaseCell(ACol, ARow);
        TCellProperties* bp = PropsOf(b.X, b.Y);
        if (bp) {
            if (bp->PaintID == FPaintID)
                return;
            bp->PaintID = FPaintID;
        }
        if (b.X >= 0 && b.Y >= 0)
            PaintCell(Canvas, b.X, b.Y, ARect, AState);
        return;
    }

    // 3.1
    if (Content && IsFixed(ACol, ARow)) {
        AState |= gdFixed;
        AState &= ~gdSelected;
    }
    const bool fixed = (AState & gdFixed) != 0;
    const bool selected = (AState & gdSelected) != 0;

    // 3.2
    TRect R = Content ? CellRect(ACol, ARow) : ARect;

    // 3.3 A scrollable block reaching under the fixed cells stays right of
    // and below them. Only a rectangle in the grid's own coordinates (from
    // CellRect) is compared with the fixed cells; the rectangle of
    // PaintCellExt is the caller's and is painted as given.
    const int fw = ACol >= FixedCols() ? FixedColsWidth() : 0;
    const int fh = ARow >= FixedRows() ? FixedRowsHeight() : 0;
    TRegion savedClip;
    bool clipped = false;
    bool hadClip = false;
    if (Content && ((FixedCols() > 0 && ACol >= FixedCols() && R.Left < fw) ||
                    (FixedRows() > 0 && ARow >= FixedRows() && R.Top < fh))) {
        hadClip = Canvas->GetClipRgn(savedClip) != 0;
        const TRect client = ClientRect();
        Canvas->IntersectClipRect(fw, fh, client.Right, client.Bottom);
        clipped = true;
    }

    // 3.4 - 3.6
    Canvas->Pen().SetWidth(1);
    Canvas->Font().Assign(*Font());
    // Starting values for a grid class that does not set them itself.
    TColor startBrush = Color();
    if (fixed)
        startBrush = FixedColor();
    else if (selected)
        startBrush = clHighlight;
    else if (TCellProperties* p = PropsOf(ACol, ARow); p && p->BrushColor() != clNone)
        startBrush = p->BrushColor();
    Canvas->Brush().SetColor(startBrush);
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    bool ww = WordWrap;
    TCellGradientDirection gd = GradientVertical;
    GetVisualProperties(ACol, ARow, AState, false, true, true, &Canvas->Brush(), colorTo, mirror, mirrorTo,
                        &Canvas->Font(), ha, va, ww, gd);
    Canvas->Pen().SetColor(Canvas->Brush().Color());

    // 3.7 Hover row.
    if (ARow == FHoverRowIdx && HoverRow &&
        !(selected && !(HoverRowCells & HoverRowCellBit(hcSelected))) &&
        !(fixed && !(HoverRowCells & HoverRowCellBit(hcFixed)))) {
        Canvas->Brush().SetColor(HoverRowColor);
        colorTo = HoverRowColorTo;
        mirror = clNone;
        mirrorTo = clNone;
        gd = GradientVertical;
    }

    // 3.8 Active row; it wins over the hover row.
    if ((FActiveRowShow && ARow == Row() && ACol >= FixedCols() && (ACol != Col() || !FShowSel)) ||
        (!Content && selected)) {
        Canvas->Brush().SetColor(FActiveRowColor);
        colorTo = FActiveRowColorTo;
        mirror = FActiveRowMirrorColor;
        mirrorTo = FActiveRowMirrorColorTo;
    }

    // 3.9
    Canvas->Pen().SetColor(Canvas->Brush().Color());

    // 3.10 Background.
    if (selected && FSelectionStyle != ssDefault && FShowSel) {
        const TGridRect sel = Selection();
        const int l = std::min(sel.Left, sel.Right);
        const int rt = std::max(sel.Left, sel.Right);
        uint8_t piece = 0;
        if (l == ACol && ACol < rt)
            piece = 1;
        else if (rt == ACol && ACol > l)
            piece = 2;
        else if (l < ACol && ACol < rt)
            piece = 3;
        TRect frame = R;
        if (!(Options() & goHorzLine))
            frame.Bottom += 1;
        if (!(Options() & goVertLine))
            frame.Right += 1;
        const bool focused = Focused() || (Options() & goDrawFocusSelected);
        const TSelectionColors& sc = SelectionColors(FSelectionStyle, focused);
        PaintSelectionFrame(Canvas, sc.c[0], sc.c[1], sc.c[2], sc.c[3], sc.c[4], sc.c[5], sc.c[6], sc.c[7], Color(),
                            frame, piece);
    } else if (!(StyleActive() && (fixed || selected))) {
        const TColor brush = Canvas->Brush().Color();
        if (mirrorTo == clNone)
            FillGradient(Canvas, brush, colorTo, 64, R, gd == GradientHorizontal);
        else
            FillCellBackground(Canvas, R, brush, colorTo, mirror, mirrorTo, true, clNone, false, true);
    }

    // 3.11 Grid lines: the bottom and right edges only.
    int h;
    if (fixed) {
        Canvas->Pen().SetColor(FGridFixedLineColor);
        Canvas->Pen().SetWidth(1);
        h = 1;
    } else {
        if (FGridLineWidthValue > 0)
            Canvas->Pen().SetColor(FGridLineColor);
        Canvas->Pen().SetWidth(FGridLineWidthValue);
        h = (FGridLineWidthValue + 1) / 2;
    }
    const TGridOptions opts = Options();
    if (!(ACol == 0 && HasNodeRows()) &&
        (((opts & goHorzLine) && !fixed) || ((opts & goFixedHorzLine) && fixed))) {
        Canvas->MoveTo(R.Left - h + 1, R.Bottom - h);
        Canvas->LineTo(R.Right - h + 1, R.Bottom - h);
    }
    if (((opts & goVertLine) && !fixed) || ((opts & goFixedVertLine) && fixed)) {
        Canvas->MoveTo(R.Right - h, R.Bottom - h);
        Canvas->LineTo(R.Right - h, R.Top - h);
    }

    // 3.12 Content.
    if (fixed) {
        R.Right -= 1;
        R.Bottom -= 2;
    } else {
        InflateRect(R, -FGridLineWidthValue, -FGridLineWidthValue);
    }
    if (Content)
        RenderCell(Canvas, ACol, ARow, R, AState);

    // 3.13
    if (clipped)
        Canvas->SelectClipRgn(hadClip ? &savedClip : nullptr);
    Canvas->Brush().SetStyle(bsSolid);
    Canvas->Pen().SetStyle(psSolid);
}
