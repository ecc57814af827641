// The cell questions the editing engine asks, with the string grid's own
// answers; a descendant (the column grid) answers per column and calls these.
// Columns are real columns.
#include "gridpack/grid4/ExGrid.h"

void TExStringGrid::RecalcColumn(int, int) {}

void TExStringGrid::StoreOldCell(int ACol, int ARow)
{
    FOldCol = ACol;
    FOldRow = ARow;
    const int rc = RealColIndex(ACol);
    FOldCellText = GetGridCell(rc, ARow);
    FOldCellTextWide = FOldCellText;
    FOldModifiedValue = Modified;
}

void TExStringGrid::CanEditCell(int ACol, int ARow, bool& CanEdit)
{
    if (OnCanEditCell)
        OnCanEditCell(this, ARow, ACol, CanEdit);
}

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
    TEditorType e = edNormal;
    OnGetEditorType(this, ACol, ARow, e);
    return e == edNone;
}

void TExStringGrid::IsFixedCell(int ACol, int ARow, bool& IsFixed)
{
    if (!IsFixed)
        IsFixed = ACol < FixedCols() || ARow < FixedRows();
    if (!IsFixed && OnIsFixedCell)
        OnIsFixedCell(this, ARow, ACol, IsFixed);
}

void TExStringGrid::QueryCellEdit(int ACol, int ARow, bool& CanEdit)
{
    int bc = ACol, br = ARow;
    if (IsMergedNonBaseCell(ACol, ARow)) {
        const TPoint b = BaseCell(ACol, ARow);
        bc = b.X;
        br = b.Y;
    }
    if (HasCellProperties(bc, br) && CanEdit) {
        CanEdit = !GetReadOnly(bc, br);
        if (!(Options() & goEditing) && !FEditDisable && !MouseActions()->RangeSelectAndEdit)
            CanEdit = false;
    }
    if (bc < ColCount() + NumHiddenColumns())
        CanEditCell(bc, br, CanEdit);
    else
        CanEdit = true;
}

void TExStringGrid::IsPasswordCell(int ACol, int ARow, bool& IsPassword)
{
    if (OnIsPasswordCell)
        OnIsPasswordCell(this, ARow, ACol, IsPassword);
}

bool TExStringGrid::HasComboBox(int, int) { return false; }

bool TExStringGrid::HasCellControl(int, int) { return false; }

void TExStringGrid::AddRow() { SetRowCount(RowCount() + 1); }
