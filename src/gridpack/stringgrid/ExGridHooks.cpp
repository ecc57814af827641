// The per-cell questions the string grid asks while it paints, measures,
// edits, filters or shows a hint. Each is a virtual hook with the grid's own
// answer; most then fire an event through which the program changes it. The
// column grid overrides them with per-column answers and calls these.
#include "gridpack/stringgrid/ExGrid.h"

#include "gridpack/basegrid/RorIdad.h"
#include "platform/controls/Forms.h"
#include "platform/core/StrUtils.h"

#include <algorithm>

namespace {
// The graphic kinds under which a cell's own brush colour is painted; other
// kinds (check boxes, pictures, bars ...) draw their own background.
const TCellTypes kOwnBrushKinds = CellTypeSet(ctIcon, ctNone, ctImageList, ctEmpty, ctImages, ctComment);
} // namespace

// ---------------------------------------------------------------------------
// Settings of this part
// ---------------------------------------------------------------------------

namespace {
// clNone stays "no colour"; anything else is kept as plain RGB.
TColor GradientRGB(TColor v) { return v == clNone ? clNone : ColorToRGB(v); }
} // namespace

void TExStringGrid::SetQORGradientFrom(TColor v)
{
    FQORGradientFrom = GradientRGB(v);
    Invalidate();
}

void TExStringGrid::SetQORGradientTo(TColor v)
{
    FQORGradientTo = GradientRGB(v);
    Invalidate();
}

void TExStringGrid::SetQORGradientMirrorFrom(TColor v)
{
    FQORGradientMirrorFrom = GradientRGB(v);
    Invalidate();
}

void TExStringGrid::SetQORGradientMirrorTo(TColor v)
{
    FQORGradientMirrorTo = GradientRGB(v);
    Invalidate();
}

// ---------------------------------------------------------------------------
// Hooks that only remember or relay
// ---------------------------------------------------------------------------

void TExStringGrid::RecalcColumn(int ACol, int) { CalcFooter(ACol); }

void TExStringGrid::StoreOldCell(int ACol, int ARow)
{
    FOldCol = ACol;
    FOldRow = ARow;
    const QString raw = Cells(RemapColToReal(ACol), ARow);
    FOldCellText = raw;
    FOldCellTextWide = DecodeWideText(raw);
    FOldModifiedValue = Modified;
}

void TExStringGrid::CanEditCell(int ACol, int ARow, bool& CanEdit)
{
    if (OnCanEditCell)
        OnCanEditCell(this, ARow, ACol, CanEdit);
}

void TExStringGrid::SearchFooterAction(const QString& Value, int ACol, int ARow, TSearchAction SearchAction)
{
    if (OnSearchFooterAction)
        OnSearchFooterAction(this, Value, ACol, ARow, SearchAction);
}

void TExStringGrid::ButtonClick(int ACol, int ARow)
{
    if (OnButtonClick)
        OnButtonClick(this, ACol, ARow);
}

void TExStringGrid::ExpandClick(int ACol, int ARow, bool Expanded)
{
    if (OnExpandClick)
        OnExpandClick(this, ACol, ARow, Expanded);
    // The expanded and collapsed heights live in the base cell's graphic.
    const TPoint b = BaseCell(ACol, ARow);
    const TCellGraphic* g = GetCellGraphic(b.X, b.Y);
    if (g && g->CellType == ctExpand)
        SetRowHeights(ARow, Expanded ? g->CellAngle : g->CellIndex);
}

void TExStringGrid::ComboCloseUp(int ARow, int ACol)
{
    if (OnComboCloseUp)
        OnComboCloseUp(this, ARow, ACol);
}

void TExStringGrid::ComboDropDown(int ARow, int ACol)
{
    if (OnComboDropDown)
        OnComboDropDown(this, ARow, ACol);
}

void TExStringGrid::GetCellCursor(int ACol, int ARow, int X, int Y)
{
    if (!OnGetCellCursor)
        return;
    TCursor cursor = Cursor();
    OnGetCellCursor(this, ACol, ARow, X, Y, cursor);
    // Shown for this moment only: the screen-wide cursor would stay over
    // every other cell and window.
    if (cursor != Cursor())
        ::SetCursor(cursor);
}

void TExStringGrid::CellsLoaded() { CalcFooter(-1); }

void TExStringGrid::GridHint(int ACol, int ARow, QString& hintstr, QString& widehint)
{
    if (OnGridHint)
        OnGridHint(this, ARow, ACol, hintstr);
    if (OnGridWideHint)
        OnGridWideHint(this, ARow, ACol, widehint);
    if (!widehint.isEmpty())
        hintstr = EncodeWideText(widehint);
}

// ---------------------------------------------------------------------------
// Colours, borders, alignment, formats
// ---------------------------------------------------------------------------

void TExStringGrid::GetCellColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont)
{
    // The headers of the current cell: its row in the last fixed column and
    // its column in the last fixed row.
    if (ActiveCellShow()) {
        const int d = RemapColToDispl(ACol);
        const bool rowHeader = ARow == Row() && d == FixedCols() - 1 && FixedCols() > 0;
        const bool colHeader = d == Col() && ARow == FixedRows() - 1 && FixedRows() > 0;
        if (rowHeader || colHeader) {
            AFont->Assign(*ActiveCellFont());
            ABrush->SetColor(ActiveCellColor());
        }
    }

    if (const TCellProperties* p = PropsOf(ACol, ARow)) {
        if ((kOwnBrushKinds & CellTypeBit(GetCellType(ACol, ARow))) && p->BrushColor() != clNone)
            ABrush->SetColor(p->BrushColor());
        if (p->FontColor != clNone)
            AFont->SetColor(p->FontColor);
        if (p->FontStyle != 0)
            AFont->SetStyle(p->FontStyle);
        if (p->FontSize != 0)
            AFont->SetSize(p->FontSize);
        if (!p->FontName.isEmpty())
            AFont->SetName(p->FontName);
    }

    if (OnGetCellColor)
        OnGetCellColor(this, ARow, ACol, AState, ABrush, AFont);
}

void TExStringGrid::GetCellPrintColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont)
{
    if (OnGetCellPrintColor)
        OnGetCellPrintColor(this, ARow, ACol, AState, ABrush, AFont);
}

void TExStringGrid::GetCellBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders)
{
    if (OnGetCellBorder)
        OnGetCellBorder(this, ARow, ACol, APen, Borders);
}

void TExStringGrid::GetCellPrintBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders)
{
    if (OnGetCellPrintBorder)
        OnGetCellPrintBorder(this, ARow, ACol, APen, Borders);
}

void TExStringGrid::GetCellAlign(int ACol, int ARow, TAlignment& HAlign, TVAlignment& VAlign)
{
    if (ACol == 0 && FMouseActions->HotmailRowSelect())
        HAlign = taCenter;
    if (OnGetAlignment)
        OnGetAlignment(this, ARow, ACol, HAlign, VAlign);
}

void TExStringGrid::GetCellFormat(int ACol, TSortStyle& AStyle, QString& aPrefix, QString& aSuffix)
{
    if (OnGetFormat)
        OnGetFormat(this, ACol, AStyle, aPrefix, aSuffix);
}

// ---------------------------------------------------------------------------
// Editing questions
// ---------------------------------------------------------------------------

void TExStringGrid::GetCellEditorType(int ACol, int ARow, TEditorType& AEditor)
{
    if (OnGetEditorType)
        OnGetEditorType(this, ACol, ARow, AEditor);
}

void TExStringGrid::GetCellEditor(int ACol, int ARow, TEditorType& AEditor)
{
    if (OnGetEditorType)
        OnGetEditorType(this, ACol, ARow, AEditor);
}

bool TExStringGrid::IsNoEditorCell(int ACol, int ARow)
{
    if (!OnGetEditorType)
        return false;
    TEditorType editor = edNormal;
    OnGetEditorType(this, ACol, ARow, editor);
    return editor == edNone;
}

void TExStringGrid::IsFixedCell(int ACol, int ARow, bool& IsFixed)
{
    if (IsFixed)
        return;
    // A grid shrunk to its requested header rows or columns still treats
    // them all as fixed, though the library had to keep one fewer.
    IsFixed = (FixedRowAlways && ARow <= FFixedRowsMin && RowCount() == FFixedRowsMin) ||
              (FixedColAlways && ACol < FFixedColsMin && ColCount() == FFixedColsMin) || ACol < FixedCols() ||
              ARow < FixedRows();
    if (!IsFixed && OnIsFixedCell)
        OnIsFixedCell(this, ARow, ACol, IsFixed);
}

void TExStringGrid::QueryCellEdit(int ACol, int ARow, bool& CanEdit)
{
    const TPoint b = BaseCell(ACol, ARow);
    if (CanEdit && PropsOf(b.X, b.Y)) {
        CanEdit = !GetReadOnly(b.X, b.Y);
        if (!(Options() & goEditing) && !FEditDisable && !FMouseActions->RangeSelectAndEdit)
            CanEdit = false;
    }
    if (b.X < ColCount() + NumHiddenColumns())
        CanEditCell(b.X, b.Y, CanEdit);
    else
        CanEdit = true;
}

void TExStringGrid::IsPasswordCell(int ACol, int ARow, bool& IsPassword)
{
    if (OnIsPasswordCell)
        OnIsPasswordCell(this, ARow, ACol, IsPassword);
}

void TExStringGrid::GetCellWordWrap(int ACol, int ARow, bool& WordWrap)
{
    if (OnGetWordWrap)
        OnGetWordWrap(this, ACol, ARow, WordWrap);
}

bool TExStringGrid::HasComboBox(int ACol, int ARow)
{
    bool has = false;
    if (OnHasComboBox) {
        OnHasComboBox(this, ACol, ARow, has);
        return has;
    }
    if (FControlLook->DropDownAlwaysVisible()) {
        TEditorType editor = DefaultEditor;
        GetCellEditor(ACol, ARow, editor);
        has = editor == edComboEdit || editor == edComboList;
    }
    return has;
}

bool TExStringGrid::HasSpinEdit(int ACol, int ARow)
{
    if (ACol < FixedCols() || ARow < FixedRows())
        return false;
    bool has = false;
    if (OnHasSpinEdit) {
        OnHasSpinEdit(this, ACol, ARow, has);
        return has;
    }
    if (FControlLook->SpinButtonsAlwaysVisible()) {
        TEditorType editor = DefaultEditor;
        GetCellEditorType(ACol, ARow, editor);
        has = editor == edSpinEdit || editor == edFloatSpinEdit || editor == edTimeSpinEdit ||
              editor == edDateSpinEdit;
    }
    return has;
}

void TExStringGrid::GetCheckTrue(int ACol, int ARow, QString& Value)
{
    Value = CheckTrue;
    if (OnGetCheckTrue)
        OnGetCheckTrue(this, ACol, ARow, Value);
}

void TExStringGrid::GetCheckFalse(int ACol, int ARow, QString& Value)
{
    Value = CheckFalse;
    if (OnGetCheckFalse)
        OnGetCheckFalse(this, ACol, ARow, Value);
}

// ---------------------------------------------------------------------------
// Filter values of a column
// ---------------------------------------------------------------------------

namespace {
// A value with a blank is listed as a name=value pair: the plain text to
// show and the quoted condition to filter by.
QString FilterEntry(const QString& text)
{
    if (!text.contains(QLatin1Char(' ')))
        return text;
    return text + QStringLiteral("=\"") + text + QLatin1Char('"');
}
} // namespace

bool TExStringGrid::GetColumnFilter(int Column)
{
    TStringList* list = FFilterList;
    list->Clear();
    if (FilterDropDownAuto && (Column >= FixedCols() || FilterDropDownColumns == fdAll)) {
        list->SetSorted(true);
        for (int r = FixedRows(); r < RowCount() - FixedFooters(); ++r)
            list->Add(FilterEntry(Trim(GetCellEx(Column, r))));
        // Rows hidden by an earlier filter offer their values too.
        if (!FilterIncremental) {
            for (int i = 0; i < FGridItems->Count(); ++i) {
                const TStringList* texts = FGridItems->Item(i)->Items();
                if (Column >= 0 && Column < texts->Count())
                    list->Add(FilterEntry(Trim(texts->Strings(Column))));
            }
        }
        list->SetSorted(false);
        if (!FilterDropDownClear.isEmpty())
            list->Insert(0, FilterDropDownClear);
    }
    if (OnGetColumnFilter)
        OnGetColumnFilter(this, Column, list);
    return list->Count() > 0;
}

// ---------------------------------------------------------------------------
// Fonts and new cell properties
// ---------------------------------------------------------------------------

TFont* TExStringGrid::GetCellFont(int i, int j)
{
    const TCellProperties* p = PropsOf(i, j);
    if (!p)
        return Font();
    FCellFont.SetName(p->FontName);
    FCellFont.SetSize(p->FontSize);
    FCellFont.SetStyle(p->FontStyle);
    FCellFont.SetColor(p->FontColor);
    return &FCellFont;
}

void TExStringGrid::GridButtonClick(TObject*)
{
    if (OnButtonClick)
        OnButtonClick(this, Col(), Row());
}

void TExStringGrid::GetCellDefaults(int ACol, int ARow, TFont* AFont, TBrush* ABrush, TColor& AColorTo,
                                    TColor& AMirrorColor, TColor& AMirrorColorTo, TAlignment& HA, TVAlignment& VA,
                                    bool& WW, TCellGradientDirection& GD)
{
    // The grid's font and colour first, then the cell's look as painting
    // would see it, without selection.
    TBaseGrid::GetCellDefaults(ACol, ARow, AFont, ABrush, AColorTo, AMirrorColor, AMirrorColorTo, HA, VA, WW, GD);
    TGridDrawState state = 0;
    GetVisualProperties(ACol, ARow, state, false, false, false, ABrush, AColorTo, AMirrorColor, AMirrorColorTo,
                        AFont, HA, VA, WW, GD);
    // A cell's own properties never freeze a header, band, background or
    // selection colour: no colour means paint what the grid would paint.
    const bool backdrop = Bands()->Active() || BackGround()->Display == bdGradientHorz ||
                          BackGround()->Display == bdGradientVert;
    if (IsFixed(ACol, ARow) || backdrop || (state & gdSelected)) {
        ABrush->SetColor(clNone);
        AColorTo = clNone;
    }
}

// ---------------------------------------------------------------------------
// Row check box of column 0
// ---------------------------------------------------------------------------

bool TExStringGrid::RowCheckSelected(int ARow) { return GetRowSelect(RealRowIndex(ARow)); }

void TExStringGrid::SetRowCheckSelected(int ARow, bool State) { SetRowSelect(RealRowIndex(ARow), State); }

int TExStringGrid::RowCheckSelectedCount() { return SelectedRowList()->Count(); }
