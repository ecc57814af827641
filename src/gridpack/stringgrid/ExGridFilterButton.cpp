// The header's two drop-downs: the filter button of the filter row, which
// opens the column's filter list below the header cell, and the drop-down
// part of a hovered header, which pops up the header menu.
#include "gridpack/stringgrid/ExGrid.h"

#include "gridpack/gridexchange/GridDropLists.h"
#include "platform/controls/Messages.h"

bool TExStringGrid::FilterButtonRelease(int X, int Y)
{
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    if (ACol >= 0 && ARow >= 0 && ARow == FilterDropDownRow) {
        const int realCol = RealColIndex(ACol);
        const TRect R = CellRect(ACol, ARow);
        if (realCol != FFilterColumn && X > R.Right - 16 && X < R.Right - 3 && Y < R.Top + 19 &&
            GetColumnFilter(realCol)) {
            ShowFilterList(realCol, R);
            return true;
        }
    }
    if (FDropList && FDropList->Visible())
        FDropList->SetVisible(false);
    FFilterColumn = -1;
    return false;
}

void TExStringGrid::ShowFilterList(int RealCol, const TRect& R)
{
    // Fills the list in use from FilterList and sets FFilterColumn.
    OpenFilterList(RealCol);
    TCustomListBox* list = FilterDropDownCheck ? static_cast<TCustomListBox*>(FDropCheckList)
                                               : static_cast<TCustomListBox*>(FDropList);
    list->SetColor(FFilterDropDown->Color);
    list->SetFont(*Font());
    if (!FilterDropDownCheck && list->Items()->Count() > 0)
        list->SetItemIndex(0);
    int widest = 0;
    for (int i = 0; i < list->Items()->Count(); ++i)
        widest = std::max(widest, Canvas()->TextWidth(list->Items()->Strings(i)) + 8);
    int w = FFilterDropDown->Width, h = FFilterDropDown->Height;
    if (FFilterDropDown->AutoSize) {
        h = list->Items()->Count() * list->ItemHeight() + 2 * GetSystemMetrics(SM_CYEDGE);
        w = 2 * GetSystemMetrics(SM_CXEDGE) + widest;
    }
    int left = R.Right - 16;
    const int top = R.Top + 16;
    if (FFilterDropDown->ColumnWidth) {
        left = R.Left;
        w = R.Right - R.Left;
    }
    if (left + w > Width()) {
        const TRect head = CellRect(DisplColIndex(RealCol), 0);
        left = std::max(0, head.Right - w);
    }
    list->SetParent(this);
    list->SetBounds(left, top, w, h);
    list->SetVisible(true);
    if (list->CanFocus())
        list->SetFocus();
}

bool TExStringGrid::HeaderDropDownPress(int ACol, int ARow, int X)
{
    if (ACol < 0 || ARow < 0)
        return false;
    const TRect R = CellRect(ACol, ARow);
    const int right = (Options() & goColSizing) ? R.Right - 2 : R.Right;
    if (!(X > R.Right - 16 && X < right) || !IsHoverFixedCell(ACol, ARow) || !ControlLook()->FixedDropDownButton)
        return false;
    FDropDownDown = true;
    bool keep = false;
    if (!FixedDropDownMenu() && !OnFixedDropDownClick)
        return false;
    FNoMouseLeave = true;
    TPopupMenu* menu = FixedDropDownMenu();
    if (menu)
        menu->Tag = ACol;
    if (OnFixedDropDownClick)
        OnFixedDropDownClick(this, ACol, ARow, menu, keep);
    if (menu) {
        FMouseDownMove = false;
        FHoverFixedCell = TGridCoord{ACol, ARow};
        InvalidateCell(ACol, ARow);
        const TPoint at = ClientToScreen(TPoint{R.Right - 16, R.Bottom});
        menu->Popup(at.X, at.Y);
        FHoverFixedCell = TGridCoord{-1, -1};
        InvalidateCell(ACol, ARow);
    }
    FNoMouseLeave = keep;
    return true;
}
