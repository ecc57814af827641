// Rich-text cells: the grid's hidden rich editor loads the cell's RTF and
// formats it onto the canvas inside the cell, less the text margins.
#include "gridpack/stringgrid/ExGrid.h"

#include "platform/controls/RichEdit.h"

TRichEdit* TExStringGrid::CellRichEdit()
{
    if (!FCellRichEdit) {
        // Never shown: it only lays the cell's text out.
        FCellRichEdit = NewObject<TRichEdit>(this);
        FCellRichEdit->SetVisible(false);
    }
    return FCellRichEdit;
}

void TExStringGrid::PaintRichTextCell(int ACol, int ARow, const TRect& R, TCanvas* Canvas)
{
    if (ComponentState() & csDesigning)
        return;
    TRichEdit* rich = CellRichEdit();
    CellToRich(RemapColToReal(ACol), ARow, rich);
    rich->SetTransparent(true);

    // A selected cell shows its text in the selection text colour, unless
    // the grid keeps the rich text's own colours.
    const bool focusedCurrent = ACol == Col() && ARow == Row() && !(Options() & goDrawFocusSelected);
    bool selected = IsCellSelected(ACol, ARow) && !focusedCurrent;
    if (FMouseActions->DisjunctRowSelect() && ARow < RowCount() && GetRowSelect(RealRowIndex(ARow)))
        selected = true;
    if (FMouseActions->DisjunctColSelect() && GetColSelect(ACol))
        selected = true;
    if (selected && !SelectionRTFKeep && SelectionTextColor() != clNone) {
        rich->SelectAll();
        rich->SelAttributes()->SetColor(SelectionTextColor());
    }

    // The canvas is the screen's: 96 pixels per inch, so the margins are the
    // text offsets as they stand.
    const TPoint m = XYOffset();
    const TRect r{R.Left + m.X, R.Top + m.Y, R.Right - m.X, R.Bottom - m.Y};
    if (r.Right > r.Left && r.Bottom > r.Top)
        rich->DrawTo(Canvas, r);
}
