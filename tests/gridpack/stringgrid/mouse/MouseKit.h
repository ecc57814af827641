#pragma once
// A column grid as the table editors place it, with the mouse: column 1
// plain text, 2 a list-only combo (Low, Normal, High), 3 data check boxes,
// 4 an editable combo (alpha, beta); rows 1..9 are data rows. The grid has
// no goEditing of its own.
#include "gridpack/stringgrid/inplace/EditTestKit.h"
#include "gridpack/stringgrid/ExCGrid.h"

class MouseTest : public EditingTest {
protected:
    void SetUp() override
    {
        EditingTest::SetUp();
        Form = NewObject<TForm>(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 600, 400);
        CGrid = NewObject<TExColumnGrid>(Form);
        CGrid->SetParent(Form);
        CGrid->SetBounds(0, 0, 500, 300);
        CGrid->SetOptions(CGrid->Options() | goRangeSelect);
        TGridColumnItem* list = CGrid->Columns()->Items(2);
        list->SetEditor(edComboList);
        for (const char* s : {"Low", "Normal", "High"})
            list->ComboItems()->Add(QString::fromLatin1(s));
        CGrid->Columns()->Items(3)->SetEditor(edDataCheckBox);
        TGridColumnItem* edit = CGrid->Columns()->Items(4);
        edit->SetEditor(edComboEdit);
        for (const char* s : {"alpha", "beta"})
            edit->ComboItems()->Add(QString::fromLatin1(s));
        Grid = CGrid;
        for (int r = 1; r < Grid->RowCount(); ++r) {
            Grid->SetCells(1, r, QString("t%1").arg(r));
            Grid->SetCells(2, r, "Normal");
            Grid->SetCells(3, r, "N");
        }
        Form->Show();
        Grid->SetFocus();
        DrainPostedMessages();
    }
    TPoint Middle(int c, int r)
    {
        const TRect rc = Grid->CellRect(c, r);
        return Point((rc.Left + rc.Right) / 2, (rc.Top + rc.Bottom) / 2);
    }
    void ClickCell(int c, int r)
    {
        const TPoint p = Middle(c, r);
        Input::Click(Grid, p.X, p.Y);
        DrainPostedMessages();
    }
    void DoubleClickCell(int c, int r)
    {
        const TPoint p = Middle(c, r);
        Input::DoubleClick(Grid, p.X, p.Y);
        DrainPostedMessages();
    }
    TGridCombo* Combo() const { return Grid->Combobox(); }
    bool ComboUp() const { return Combo() && Combo()->Visible() && Grid->EditMode; }
    // Opens the combo editor of (c, r) with F2.
    void OpenCombo(int c, int r)
    {
        Grid->SetCol(c);
        Grid->SetRow(r);
        Key(VK_F2);
        ASSERT_TRUE(ComboUp());
    }
    TExColumnGrid* CGrid = nullptr;
};
