#pragma once
// The members whose table file holds two lists (a read and a write table, a
// receive and a transmit table): one grid per list, each on a page of its
// own. The family's grid `sga` is the first page's, `sgb` the second's; the
// row buttons act on the active page's grid.
//
// The file: the root, the version comment after it, then both list
// elements in their fixed order (written even when empty), each with one row
// element per grid row up to its table's end. Loading looks each list up by
// name; a missing list stops the load with the reader's message and keeps
// what was read before it.
#include "editors/UMapEditor.h"

class TPageControl;
class TTabSheet;

// One page: its grid, list element and tab caption.
struct TMapPage {
    const char* Grid;                     // the grid's name ("ACG_Modbus_Read")
    const char* Sheet;                    // the tab sheet's name
    int Caption;                          // text number of the tab
    std::span<const TMapColumn> Columns;  // column 0 first
    int Data_Rows;
    const QString* List;                  // the list element of the file
};

struct TMapListInfo {
    const TMapEditorInfo* Base;           // its Columns and Data_Rows are the first page's
    TMapPage Pages[2];
    bool Key_Trimmed;                     // a key cell of blanks ends a table
    bool Enable_Preset;                   // showing ticks column 1 of every row
    bool Copy_Buttons;                    // Copy Row and Paste Row are offered
    int Copy_Caption, Paste_Caption;      // text numbers; 0: the fixed English captions
    // The models whose files carry the version comment; empty: every model.
    std::span<const int> Version_Models;
};

class TFMapListEditor : public TFMapEditor {
    KAL_CLASS(TFMapListEditor, TFMapEditor)
public:
    TFMapListEditor(TComponent* AOwner, const TMapListInfo& info);

    TPageControl* PageControl1 = nullptr;
    TTabSheet* Sheet[2] = {nullptr, nullptr};
    TExColumnGrid* sgb = nullptr;
    TLbButton* Btn_CopyRow = nullptr;
    TLbButton* Btn_PasteRow = nullptr;
    // A row of that page's grid was copied in this showing.
    bool Do_Copy_In_Read = false;
    bool Do_Copy_In_Write = false;

    const TMapListInfo& List_Info() const { return FList; }
    TExColumnGrid* Grid(int page) const { return page == 0 ? sga : sgb; }
    QString Cell(int page, int col, int row) const;
    void Set_Cell(int page, int col, int row, const QString& text);
    using TFMapEditor::Cell;
    using TFMapEditor::Set_Cell;
    // The first row of the page's table whose key cell is empty.
    int Page_End(int page) const;
    int Active_Page() const;
    void Set_Active_Page(int page);

    void Set_Lang() override;
    TExColumnGrid* Active_Grid() const override;
    void Reset_Rows() override;
    void Load_File() override;
    void Write_File() override;
    bool Key_Trimmed() const override { return FList.Key_Trimmed; }
    bool Writes_Version() const override;

    void Btn_CopyRowClick(TObject* Sender);
    void Btn_PasteRowClick(TObject* Sender);
    // A click on a row's number selects that row of the grid clicked.
    void ClickCell(TObject* Sender, int ARow, int ACol);

protected:
    // The rules of one page's row: the failing rule's text or 0, with the
    // limit its message names. Used by Check_Pages.
    virtual int Check_Row(int page, int row, QString& limit) const
    {
        (void)page;
        (void)row;
        (void)limit;
        return 0;
    }
    // Whether a row is checked: members with an Enable column skip the
    // others.
    virtual bool Row_Enabled(int page, int row) const;
    // Both pages in order, up to their ends; the first failing row's
    // message. The family's validator for the members that need no more.
    bool Check_Pages();

private:
    const TMapListInfo& FList;
};
