#pragma once
// A string grid on a shown form with the keyboard, for the editing tests.
// The grid has 5 columns (1 fixed) and 10 rows (1 fixed); its current cell
// starts at (1, 1).
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/stringgrid/ExInplaceEdit.h"
#include "platform/controls/Clipboard.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Input.h"
#include "platform/controls/StdMessages.h"
#include "support/ToolkitTest.h"

#include <QStringList>
#include <gtest/gtest.h>

class EditingTest : public ToolkitTest {
protected:
    void TearDown() override
    {
        ToolkitTest::TearDown();
        DrainPostedMessages();
    }
    // Options: goEditing unless `editing` is false.
    TExStringGrid* NewGrid(bool editing = true)
    {
        Form = NewObject<TForm>(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 600, 400);
        Grid = NewObject<TExStringGrid>(Form);
        Grid->SetParent(Form);
        Grid->SetBounds(0, 0, 500, 300);
        if (editing)
            Grid->SetOptions(Grid->Options() | goEditing);
        for (int c = 0; c < Grid->ColCount(); ++c)
            for (int r = 0; r < Grid->RowCount(); ++r)
                Grid->SetCells(c, r, QString("%1%2").arg(QChar('a' + c)).arg(r));
        Form->Show();
        Grid->SetFocus();
        DrainPostedMessages();
        return Grid;
    }
    void Key(unsigned vk, TShiftState shift = 0)
    {
        Input::KeyStroke(vk, shift);
        DrainPostedMessages();
    }
    void Type(const QString& text)
    {
        for (QChar ch : text) {
            Input::Char(ch);
            DrainPostedMessages();
        }
    }
    TExInplaceEdit* Ed() const { return Grid->NormalEdit(); }
    bool EditorUp() const { return Grid->EditorMode() && Ed() && Ed()->Visible(); }
    // Opens the text editor on (c, r) with F2, its text all selected.
    void EditCell(int c, int r)
    {
        Grid->SetRow(r);
        Grid->SetCol(c);
        // The cell the edit is compared with, as the grid's key handling
        // takes it on F2.
        Grid->StoreOldCell(c, r);
        Key(VK_F2);
        ASSERT_TRUE(EditorUp());
        Ed()->SelectAll();
    }

    TExStringGrid* Grid = nullptr;
};
