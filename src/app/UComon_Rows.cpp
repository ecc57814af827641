// The row commands the mapping editors share: they move cell texts between
// rows of one grid, or between a row and the row clipboard.
#include "app/UComon.h"

#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/controls/Dialogs.h"

#include <algorithm>

namespace {

bool Is_Data_Row(const TExStringGrid* grid, int row)
{
    return row >= 1 && row < grid->RowCount();
}

// The last column of the table, hidden columns counted.
int Last_Column(const TExStringGrid* grid)
{
    return grid->AllColCount() - 1;
}

void Copy_Row_Cells(TExStringGrid* grid, int from, int to)
{
    const int last = Last_Column(grid);
    for (int c = 1; c <= last; ++c)
        grid->SetCellEx(c, to, grid->GetCellEx(c, from));
}

void Empty_Row_Cells(TExStringGrid* grid, int row)
{
    const int last = Last_Column(grid);
    for (int c = 1; c <= last; ++c)
        grid->SetCellEx(c, row, QString());
}

} // namespace

void Grid_Insert_Row(int row, TExStringGrid* grid)
{
    if (!Is_Data_Row(grid, row))
        return;
    for (int r = grid->RowCount() - 2; r >= row; --r)
        Copy_Row_Cells(grid, r, r + 1);
    Empty_Row_Cells(grid, row);
}

void Grid_Delete_Row(int row, TExStringGrid* grid)
{
    if (!Is_Data_Row(grid, row))
        return;
    for (int r = row + 1; r < grid->RowCount(); ++r)
        Copy_Row_Cells(grid, r, r - 1);
    Empty_Row_Cells(grid, grid->RowCount() - 1);
}

void Grid_Copy_Row(TExStringGrid* grid, int row)
{
    if (!Is_Data_Row(grid, row))
        return;
    Row_Clipboard.clear();
    const int last = Last_Column(grid);
    for (int c = 1; c <= last; ++c)
        Row_Clipboard.append(grid->GetCellEx(c, row));
}

namespace {

// Any text, after trimming, in a column that is not a check box: ticked and
// unticked boxes alone leave a row unused.
bool Row_Used(TExColumnGrid* grid, int row)
{
    const int last = std::min(Last_Column(grid), grid->Columns()->Count() - 1);
    for (int c = 1; c <= last; ++c)
        if (grid->Columns()->Items(c)->Editor() != edDataCheckBox && !grid->GetCellEx(c, row).trimmed().isEmpty())
            return true;
    return false;
}

} // namespace

void Grid_Paste_Row(TExColumnGrid* grid, int row, bool copied)
{
    if (!copied) {
        MessageDlg(Text_Of(348), mtError, MsgDlgButtons({mbOK}));
        return;
    }
    if (grid->AllColCount() != Row_Clipboard.size() + 1) {
        MessageDlg(Text_Of(347), mtError, MsgDlgButtons({mbOK}));
        return;
    }
    if (!Is_Data_Row(grid, row))
        return;
    if (Row_Used(grid, row) &&
        MessageDlg(Text_Of(346), mtConfirmation, MsgDlgButtons({mbYes, mbNo})) != mrYes)
        return;
    for (int k = 0; k < Row_Clipboard.size(); ++k)
        grid->SetCellEx(k + 1, row, Row_Clipboard.at(k));
}
