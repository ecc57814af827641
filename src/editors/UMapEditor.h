#pragma once
// What every mapping-table dialog shares: the title and button bands, one
// grid described by a table of columns, and the life cycle of its table file.
//
// Life cycle: creation fixes the size and applies the texts; every showing
// resets the data rows (the row number in column 0, every other cell empty)
// and loads the file when it exists; OK runs the member's validator and only
// when it passes writes the file whole and closes; Cancel closes and writes
// nothing, so the next showing starts again from the file.
//
// The table file: the root element, then the version comment after it at
// document level, then one row element per grid row from row 1 down to the
// row before the first one whose key cell is empty (not trimmed); its
// attributes are the columns from 1 on, in column order, each the cell text as
// the grid holds it. Reading takes the document element as the root whatever
// stands before it (a declaration or a comment), matches attributes by name
// and fills row i + 1 from the root's i-th child; a column without a default
// must be present, and a row that lacks it ends the load with a message.
#include "gridpack/basegrid/ExObj.h"
#include "platform/controls/Forms.h"

#include <QString>
#include <QStringList>

#include <span>

class TExColumnGrid;
class TGridColumnItem;
class TExStringGrid;
class TLabel;
class TLbButton;
class TPanel;
class TRowReader;
class XmlNode;
class Exception;

// How a column's cell is filled from its attribute.
enum class TMapDefault {
    Required,          // the attribute must be present
    Missing,           // Default when the attribute is absent
    Missing_Or_Empty,  // Default when it is absent or empty
};

// One column of a mapping table. Column 0, the row number, has no attribute.
struct TMapColumn {
    int Header;                           // text number of the header
    TEditorType Editor;                   // edNormal, edComboList, edDataCheckBox ...
    std::span<const char* const> Combo;   // the items a combo column offers
    int Width;                            // pixels
    TColor Color;                         // cell background
    const QString* Attribute;             // name in the file; nullptr: not stored
    TMapDefault Rule;
    const char* Default;                  // the cell when the attribute gives none
    bool Key;                             // an empty cell here ends the table
};

// What tells one member of the family from another.
struct TMapEditorInfo {
    const char* Name;                     // the form's name ("FReceiveJ1939")
    std::span<const TMapColumn> Columns;  // column 0 first
    int Data_Rows;                        // RowCount - 1
    int Client_Width, Client_Height;
    // Text numbers: caption, description, the four buttons, the row-message
    // prefix ("Error in row ") and the delete question.
    int Caption, Desc, Ok, Cancel, Del_Row, Ins_Row, Row_Prefix, Delete_Question;
    const QString* Root;
    const QString* Row;
    const QString* Version;               // the comment after the root
    const QString* File;                  // the table file's project path
};

// The family's look.
inline constexpr int Map_Button_Width = 110;
inline constexpr int Map_Button_Height = 28;
inline constexpr int Map_Button_Left[6] = {16, 134, 252, 370, 488, 606};

class TFMapEditor : public TForm {
    KAL_CLASS(TFMapEditor, TForm)
public:
    TFMapEditor(TComponent* AOwner, const TMapEditorInfo& info);
    // The second construction phase runs FormCreate.
    void AfterConstruction() override;

    TPanel* P_Title = nullptr;
    TLabel* L_SW_Code = nullptr;
    TLabel* L_SW_Desc = nullptr;
    TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;
    TLbButton* Btn_DelRow = nullptr;
    TLbButton* Btn_InsRow = nullptr;
    TExColumnGrid* sga = nullptr;

    const TMapEditorInfo& Info() const { return FInfo; }

    void FormCreate();
    // Captions, headers and hints from the text table; members with more
    // controls extend it.
    virtual void Set_Lang();
    void FormShow(TObject* Sender);
    // Validator, then the file written whole and the dialog closed with OK.
    void Btn_OKClick(TObject* Sender);
    // Asks the delete question for the current row (1 .. RowCount - 1 only).
    void Btn_DelRowClick(TObject* Sender);
    // Inserts at the current row without asking.
    void Btn_InsRowClick(TObject* Sender);
    void Delete_Row(int row);
    void Delete_Row(int row, TExStringGrid* grid);
    void Insert_Row(int row, TExStringGrid* grid);
    // The grid the row buttons act on (the active page's in members with
    // two lists).
    virtual TExColumnGrid* Active_Grid() const { return sga; }

    // The member's checks: shows at most one message, answers whether every
    // row passed.
    virtual bool Controllo_Dati() = 0;

    // -- the family's steps, public for the members and the tests
    // Every data row: its number in column 0, the other cells empty.
    virtual void Reset_Rows();
    // Loads the table file into the reset rows when it exists; a file that
    // cannot be read is reported and leaves the rows as they are. Members
    // whose file holds named lists read and write it themselves.
    virtual void Load_File();
    // Writes rows 1 .. Table_End() - 1 to the table file; raises when the
    // file cannot be written.
    virtual void Write_File();
    // The first row whose key cell is empty (RowCount when none is).
    int Table_End() const;
    QString Cell(int col, int row) const;
    void Set_Cell(int col, int row, const QString& text);

    // -- one grid described by a column table, for the members with more
    // than one grid
    // Columns, rows, fixed row and column, and each column item's look.
    static void Build_Grid(TExColumnGrid* grid, std::span<const TMapColumn> cols, int dataRows);
    static void Set_Headers(TExColumnGrid* grid, std::span<const TMapColumn> cols);
    // Sizes the header row to the tallest header's wrapped lines, at least
    // the grid's own row height.
    static void Fit_Header_Row(TExColumnGrid* grid);
    // Fills grid row `row` from a row element by the columns' default rules.
    static void Fill_Row(TExColumnGrid* grid, std::span<const TMapColumn> cols, const TRowReader& reader, int row);
    // One row element under `parent` with an attribute per stored column.
    static void Write_Row(XmlNode parent, const QString& name, TExColumnGrid* grid,
                          std::span<const TMapColumn> cols, int row);
    // The first row whose `key` cell (trimmed when asked) is empty.
    static int Table_End(TExColumnGrid* grid, int key, bool trimmed);
    // The column that ends a table.
    static int Key_Column(std::span<const TMapColumn> cols);
    // A position column's items: "None" first when asked, then "0" .. count - 1.
    static void Fill_Positions(TExColumnGrid* grid, int col, int count, bool none = false);
    // Whether a key cell holding only blanks ends the table.
    virtual bool Key_Trimmed() const { return false; }
    // Whether OK writes rows only up to the first empty key cell (the DMX
    // table writes every row).
    virtual bool Ends_At_Key() const { return true; }
    // Whether the version comment follows the root (members of one model
    // write it only for that model).
    virtual bool Writes_Version() const { return true; }
    // The list element that holds the rows inside the root; nullptr: the
    // rows stand directly in the root.
    virtual const QString* Row_List() const { return nullptr; }

    // The name a damaged table file is kept under beside itself when OK
    // replaces it (".damaged", then ".damaged.1" ...).
    static inline const QString Damaged_Suffix = QStringLiteral(".damaged");

protected:
    // -- what a load finds that OK would not save as it stands, told in one
    // message box when the load ends, so the user can still cancel
    // Starts the load of `path`: false when the file is missing (the rows
    // stay reset); raises when something stands there that cannot be read.
    bool Begin_Load(const QString& path);
    // The load stopped at `e` (nothing read, or the rows before the error):
    // when the file stands, OK keeps it beside itself under the damaged name
    // before replacing it, and the message says so.
    void Load_Failed(const Exception& e);
    // The list holds `fileRows` rows and `grid` keeps fewer.
    void Note_Rows(int fileRows, TExColumnGrid* grid, const QString& list = QString());
    // Rows 1 .. `loaded` were filled from the file: a row among them whose
    // key cell is empty ends the table, and OK would drop the rows from it on.
    void Note_Table_End(TExColumnGrid* grid, std::span<const TMapColumn> cols, int loaded, bool trimmed,
                        const QString& list = QString());
    // Shows what the load noted (nothing when all is well).
    void End_Load();
    // Before OK writes: the damaged file is kept beside itself; raises when
    // it cannot be, and then nothing is written.
    void Keep_Damaged_File();

    // Fills grid row `row` from one row element; members that read more than
    // the column table says extend it.
    virtual void Load_Row(const TRowReader& reader, int row);
    // The member's values set on every showing before the file is read.
    virtual void Reset_Limits() {}

    // "<prefix><row><rule text><limit>" in an error box.
    void Show_Row_Error(int row, int text, const QString& limit = QString());
    // A message about the whole table, without the row prefix.
    void Show_Error(const QString& msg);

private:
    void Create_Controls();
    static void Apply_Column(TGridColumnItem* item, const TMapColumn& col);

    const TMapEditorInfo& FInfo;
    // The load under way: its file, what it noted, whether it failed.
    QString FLoad_Path;
    QStringList FLoad_Notes;
    bool FLoad_Error = false;
    // The file OK keeps under the damaged name before it replaces it.
    QString FKeep_Aside;
};
