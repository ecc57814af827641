// The look-specific steps of painting a fixed cell: the header background
// of the gradient looks (hover and pressed headers with their drop-down
// part, the active-cell headers, the sorted column's header), the list-view
// header, the header edges of every look and the outline of fixed right
// columns. RenderCell calls them in its order of layers.
#include "gridpack/stringgrid/ExGrid.h"

#include "gridpack/basegrid/RorIdad.h"

namespace {
// The looks whose headers are gradients.
bool GradientLook(TGridLook l)
{
    return l == glQOR || l == glXP || l == glVista || l == glWin7 || l == glOffice2007;
}

void Line(TCanvas* c, int x1, int y1, int x2, int y2)
{
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
}
} // namespace

void TExStringGrid::PaintLookHeader(TCanvas* Canvas, int ACol, int ARow, TRect& R, TColor ColorTo, TColor Mirror,
                                    TColor MirrorTo, TCellGradientDirection GD)
{
    if (!GradientLook(Look))
        return;
    const int C = RemapColToReal(ACol);
    TRect r = R;
    r.Bottom += 1;

    // 1. the header under the mouse, or the one pressed or being moved
    const bool moving = ColMoveFlg && FMouseDown && Movecell == ACol && ARow < FixedRows();
    const bool hover = IsHoverFixedCell(ACol, ARow) &&
                       ((FHoverFixedCell.X == ACol && FHoverFixedCell.Y == ARow) || moving) &&
                       !(ComponentState() & csDesigning);
    if (hover) {
        const bool down = FMouseDown || moving;
        const auto fillHover = [&](const TRect& rr) {
            FillCellBackground(Canvas, rr, QORGradientHoverFrom, QORGradientHoverTo, QORGradientHoverMirrorFrom,
                               QORGradientHoverMirrorTo, true, QORGradientHoverBorder, false, true);
        };
        const auto fillDown = [&](const TRect& rr) {
            FillCellBackground(Canvas, rr, QORGradientDownFrom, QORGradientDownTo, QORGradientDownMirrorFrom,
                               QORGradientDownMirrorTo, true, QORGradientDownBorder, false, true);
        };
        const bool dropDown = FControlLook->FixedDropDownButton && CanShowFixedDropDown(C);
        if (dropDown && FMouseDown) {
            const TRect part{r.Right - 16, r.Top, r.Right, r.Bottom};
            const TRect rest{r.Left, r.Top, r.Right - 16, r.Bottom};
            if (FHeaderDropDownPressed) {
                fillDown(part);
                fillHover(rest);
            } else {
                fillHover(part);
                fillDown(rest);
            }
        } else if (down) {
            fillDown(r);
        } else {
            fillHover(r);
        }
        if (dropDown) {
            Canvas->Pen().SetWidth(1);
            Canvas->Pen().SetColor(FMouseDown ? QORGradientDownBorder : QORGradientHoverBorder);
            Line(Canvas, R.Right - 16, r.Top, R.Right - 16, r.Bottom);
            PaintDownTriangle(Canvas, R.Right - 8, R.Top + 8, clBlack);
            R.Right -= 16;
        }
        return;
    }

    // 2. the headers of the current cell
    const bool activeHeader = ActiveCellShow() && ((ARow == Row() && ACol == FixedCols() - 1 && FixedCols() > 0) ||
                                                   (ACol == Col() && ARow == FixedRows() - 1 && FixedRows() > 0));
    if (activeHeader) {
        FillCellBackground(Canvas, r, ActiveCellColor(), ActiveCellColorTo(), clNone, clNone, true, clNone, false,
                           true);
        return;
    }

    // 3. the sorted column's header
    const TSortSettings* s = FSortSettings;
    if (s->Column != -1 && s->Column == C && s->HeaderColor != clNone && ARow == FixedRows() - 1 &&
        (ACol >= FixedCols() || s->FixedCols)) {
        FillCellBackground(Canvas, r, s->HeaderColor, s->HeaderColorTo, s->HeaderMirrorColor, s->HeaderMirrorColorTo,
                           true, clNone, false, true);
        return;
    }

    // 4. the cell's own gradient
    if (Flat())
        return;
    const bool vista = Look == glVista;
    FillCellBackground(Canvas, r, Canvas->Brush().Color(), ColorTo, Mirror, MirrorTo, GD == GradientVertical,
                       vista ? clWhite : clNone, vista, true);
}

void TExStringGrid::PaintListViewHeader(TCanvas* Canvas, const TRect& R)
{
    // Visual styles are never active, so the list view's header is the one
    // it had before them: a button-face cell with a white frame.
    if (Look != glListView || Flat())
        return;
    Canvas->Brush().SetStyle(bsSolid);
    Canvas->Brush().SetColor(clBtnFace);
    Canvas->Pen().SetWidth(1);
    Canvas->Pen().SetColor(clWhite);
    Canvas->Rectangle(R.Left, R.Top, R.Right, R.Bottom + 1);
}

void TExStringGrid::PaintLookHeaderEdges(TCanvas* Canvas, TRect R)
{
    if (Flat())
        return;
    const TGridOptions o = Options();
    Canvas->Pen().SetWidth(1);
    switch (Look) {
    case glClassic: {
        R = TRect{R.Left + 1, R.Top + 1, R.Right + 1, R.Bottom + 1};
        TRect e = R;
        Canvas->DrawEdge(e, BDR_RAISEDINNER, BF_LEFT | BF_TOP);
        e = R;
        Canvas->DrawEdge(e, EDGE_RAISED, BF_RIGHT | BF_BOTTOM);
        Canvas->Pen().SetColor(clBlack);
        Canvas->MoveTo(R.Right - 1, R.Top);
        Canvas->LineTo(R.Right - 1, R.Bottom - 1);
        Canvas->LineTo(R.Left - 1, R.Bottom - 1);
        break;
    }
    case glQOR:
    case glXP:
        if (o & goFixedHorzLine) {
            const int bottom = R.Bottom + 1;
            Canvas->Pen().SetColor(HalveColor(ColorToRGB(FixedColor())));
            Line(Canvas, R.Left, bottom - 1, R.Right - 1, bottom - 1);
            Canvas->Pen().SetColor(clWhite);
            Canvas->MoveTo(R.Right - 2, R.Top + 1);
            Canvas->LineTo(R.Left + 1, R.Top + 1);
            Canvas->LineTo(R.Left + 1, bottom - 1);
        }
        break;
    case glSoft:
        // The 3-D look is on whenever the grid is not flat.
        R.Right += 1;
        R.Bottom += 1;
        if (o & goFixedHorzLine) {
            Canvas->Pen().SetColor(HalveColor(ColorToRGB(FixedColor())));
            Line(Canvas, R.Left, R.Bottom - 1, R.Right - 1, R.Bottom - 1);
            Canvas->Pen().SetColor(clWhite);
            Canvas->MoveTo(R.Right, R.Top + 1);
            Canvas->LineTo(R.Left + 1, R.Top + 1);
            Canvas->LineTo(R.Left + 1, R.Bottom - 1);
        }
        if (o & goFixedVertLine) {
            Canvas->Pen().SetColor(HalveColor(ColorToRGB(FixedColor())));
            Line(Canvas, R.Right - 2, R.Top, R.Right - 2, R.Bottom - 1);
            Canvas->Pen().SetColor(clWhite);
            Line(Canvas, R.Right - 1, R.Top, R.Right - 1, R.Bottom - 1);
        }
        break;
    default:
        break;
    }
}

void TExStringGrid::PaintFixedRightEdges(TCanvas* Canvas, int ACol, const TRect& R)
{
    // The 3-D look is off exactly when the grid is flat.
    if (FFixedRightCols <= 0 || ACol < ColCount() - FFixedRightCols || Look == glClassic || !Flat())
        return;
    const TGridOptions o = Options();
    Canvas->Pen().SetWidth(1);
    Canvas->Pen().SetColor(Flat() ? TColor(0x808080) : clBlack);
    if (o & goFixedHorzLine) {
        Line(Canvas, R.Left, R.Top, R.Right, R.Top);
        Line(Canvas, R.Left, R.Bottom - 1, R.Right, R.Bottom - 1);
    }
    if (o & goFixedVertLine) {
        Line(Canvas, R.Left, R.Top, R.Left, R.Bottom);
        Line(Canvas, R.Right - 1, R.Top, R.Right - 1, R.Bottom);
    }
}

void TExStringGrid::PaintAlwaysVisibleButtons(TCanvas* Canvas, int C, int ARow, bool Fixed, TRect& R)
{
    const TControlLook* l = FControlLook;
    if (Fixed || !(l->DropDownAlwaysVisible() || l->SpinButtonsAlwaysVisible()))
        return;
    // The themed button (0) needs visual styles; the classic one (1) stands
    // in without them.
    uint8_t style = l->FlatButton() ? 2 : (FIsWinXP && IsThemedComCtl6() ? 0 : 1);
    if (Flat() && FTones.Background.BrushColor != clNone)
        style = 3;
    bool canEdit = true;
    QueryCellEdit(C, ARow, canEdit);
    const uint8_t state = canEdit ? 0 : 3;
    if (l->DropDownAlwaysVisible() && HasComboBox(C, ARow)) {
        PaintComboButton(Canvas, 0, TRect{R.Left - 2, R.Top - 1, R.Right + 1, R.Bottom}, style, state, FTones);
        R.Right -= 16;
    }
    if (l->SpinButtonsAlwaysVisible() && HasSpinEdit(C, ARow)) {
        PaintSpinButtons(Canvas, 0, R, style, state, FTones);
        R.Right -= 16;
    }
}
