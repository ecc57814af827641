#include "editors/UMapEditor.h"

#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/UDialogLook.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"
#include "platform/xml/XmlDoc.h"
#include "project/TableFile.h"

// ---------------------------------------------------------------------------
// Construction

TFMapEditor::TFMapEditor(TComponent* AOwner, const TMapEditorInfo& info) : TForm(AOwner), FInfo(info)
{
    SetName(QString::fromLatin1(info.Name));
    Apply_Dialog_Look(this);
    Create_Controls();
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void TFMapEditor::AfterConstruction()
{
    TForm::AfterConstruction();
    FormCreate();
}

void TFMapEditor::Create_Controls()
{
    // The bands share the dialog's colour; the title band holds the code
    // and the table's description.
    P_Title = Make_Band(this, alTop, 69, Dialog_Color);
    P_Title->SetName(QStringLiteral("P_Title"));
    L_SW_Code = Make_Label(this, P_Title, 16, 8);
    Style_Code_Label(L_SW_Code);
    L_SW_Desc = Make_Label(this, P_Title, 16, 42);
    Style_Grey_Bold(L_SW_Desc);

    P_Button = Make_Band(this, alBottom, 40, Dialog_Color);
    P_Button->SetName(QStringLiteral("P_Button"));
    auto button = [this](int k) {
        return Make_Button(this, P_Button, Map_Button_Left[k], 6, Map_Button_Width, Map_Button_Height);
    };
    Btn_OK = button(0);
    Btn_OK->OnClick = [this](TObject* Sender) { Btn_OKClick(Sender); };
    Btn_Cancel = button(1);
    Btn_Cancel->SetModalResult(mrCancel);
    Btn_Cancel->SetCancel(true);
    Btn_DelRow = button(2);
    Btn_DelRow->OnClick = [this](TObject* Sender) { Btn_DelRowClick(Sender); };
    Btn_InsRow = button(3);
    Btn_InsRow->OnClick = [this](TObject* Sender) { Btn_InsRowClick(Sender); };
    for (TLbButton* b : {Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow}) {
        b->SetColor(Dialog_Color);
    }

    sga = new TExColumnGrid(this);
    sga->SetName(QStringLiteral("sga"));
    sga->SetParent(this);
    sga->SetAlign(alClient);
    Build_Grid(sga, FInfo.Columns, FInfo.Data_Rows);
}

void TFMapEditor::Build_Grid(TExColumnGrid* grid, std::span<const TMapColumn> cols, int dataRows)
{
    grid->SetParentFont(false);
    grid->Font()->SetName(QStringLiteral("Tahoma"));
    grid->Font()->SetHeight(-11);
    grid->SetColCount(int(cols.size()));
    grid->SetRowCount(dataRows + 1);
    grid->SetFixedCols(1);
    grid->SetFixedRows(1);
    for (int c = 0; c < int(cols.size()); ++c)
        Apply_Column(grid->Columns()->Items(c), cols[c]);
}

void TFMapEditor::Set_Headers(TExColumnGrid* grid, std::span<const TMapColumn> cols)
{
    for (int c = 0; c < int(cols.size()); ++c)
        grid->Columns()->Items(c)->SetHeader(Text_Of(cols[c].Header));
    Fit_Header_Row(grid);
}

void TFMapEditor::Fit_Header_Row(TExColumnGrid* grid)
{
    // The widths were made for the Tahoma metrics; with a wider face (or a
    // longer translation) a header wraps, and the header row grows to show
    // every line rather than cut the text after the first (and comes back
    // to its own height when the texts fit again). A header is laid
    // out as the grid paints it: inside the grid line and the text offsets,
    // in its column's header font.
    const TPoint off = grid->XYOffset();
    const int frame = grid->GridLineWidth();
    TCanvas* c = grid->Canvas();
    int need = grid->DefaultRowHeight();
    for (int col = 0; col < grid->ColCount(); ++col) {
        TGridColumnItem* item = grid->Columns()->Items(col);
        if (item->Header().isEmpty())
            continue;
        c->Font().Assign(*item->HeaderFont());
        TRect r = Rect(0, 0, grid->ColWidths(col) - frame - 2 * off.X, 0);
        c->DrawText(item->Header(), r, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
        need = std::max(need, r.Height() + 2 * off.Y + frame);
    }
    if (need != grid->RowHeights(0))
        grid->SetRowHeights(0, need);
}

void TFMapEditor::Fill_Positions(TExColumnGrid* grid, int col, int count, bool none)
{
    TStrings* items = grid->Columns()->Items(col)->ComboItems();
    items->BeginUpdate();
    items->Clear();
    if (none)
        items->Add(QStringLiteral("None"));
    for (int i = 0; i < count; ++i)
        items->Add(QString::number(i));
    items->EndUpdate();
}

void TFMapEditor::Apply_Column(TGridColumnItem* item, const TMapColumn& col)
{
    item->SetWidth(col.Width);
    item->SetColor(col.Color);
    item->SetEditor(col.Editor);
    item->HeaderFont()->SetStyle(fsBold);
    item->ComboItems()->Clear();
    for (const char* text : col.Combo)
        item->ComboItems()->Add(QString::fromUtf8(text));
}

void TFMapEditor::FormCreate()
{
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(FInfo.Client_Width, FInfo.Client_Height);
    Set_Lang();
}

void TFMapEditor::Set_Lang()
{
    SetCaption(Text_Of(FInfo.Caption));
    L_SW_Desc->SetCaption(Text_Of(FInfo.Desc));
    Btn_OK->SetCaption(Text_Of(FInfo.Ok));
    Btn_Cancel->SetCaption(Text_Of(FInfo.Cancel));
    Btn_DelRow->SetCaption(Text_Of(FInfo.Del_Row));
    Btn_InsRow->SetCaption(Text_Of(FInfo.Ins_Row));
    Set_Headers(sga, FInfo.Columns);
}

// ---------------------------------------------------------------------------
// Cells

QString TFMapEditor::Cell(int col, int row) const
{
    return sga->GetCellEx(col, row);
}

void TFMapEditor::Set_Cell(int col, int row, const QString& text)
{
    sga->SetCellEx(col, row, text);
}

int TFMapEditor::Key_Column(std::span<const TMapColumn> cols)
{
    for (int c = 0; c < int(cols.size()); ++c)
        if (cols[c].Key)
            return c;
    return 1;
}

int TFMapEditor::Table_End(TExColumnGrid* grid, int key, bool trimmed)
{
    int r = 1;
    while (r < grid->RowCount()) {
        const QString text = grid->GetCellEx(key, r);
        if (trimmed ? text.trimmed().isEmpty() : text.isEmpty())
            break;
        ++r;
    }
    return r;
}

int TFMapEditor::Table_End() const
{
    return Table_End(sga, Key_Column(FInfo.Columns), Key_Trimmed());
}

// ---------------------------------------------------------------------------
// Showing and loading

void TFMapEditor::FormShow(TObject*)
{
    Reset_Rows();
    Reset_Limits();
    Load_File();
}

void TFMapEditor::Reset_Rows()
{
    const int cols = sga->AllColCount();
    sga->BeginUpdate();
    for (int r = 1; r < sga->RowCount(); ++r) {
        Set_Cell(0, r, QString::number(r));
        for (int c = 1; c < cols; ++c)
            Set_Cell(c, r, QString());
    }
    sga->EndUpdate();
}

void TFMapEditor::Load_Row(const TRowReader& reader, int row)
{
    Fill_Row(sga, FInfo.Columns, reader, row);
}

void TFMapEditor::Fill_Row(TExColumnGrid* grid, std::span<const TMapColumn> cols, const TRowReader& reader, int row)
{
    for (int c = 1; c < int(cols.size()); ++c) {
        const TMapColumn& col = cols[c];
        if (!col.Attribute)
            continue;
        const QString def = QString::fromUtf8(col.Default ? col.Default : "");
        QString text;
        switch (col.Rule) {
        case TMapDefault::Required:
            text = reader.Text(*col.Attribute);
            break;
        case TMapDefault::Missing:
            text = reader.Text_Or(*col.Attribute, def);
            break;
        case TMapDefault::Missing_Or_Empty:
            text = reader.Text_Or(*col.Attribute, def);
            if (text.isEmpty())
                text = def;
            break;
        }
        grid->SetCellEx(c, row, text);
    }
}

void TFMapEditor::Load_File()
{
    const QString path = *FInfo.File;
    sga->BeginUpdate();
    int loaded = 0;
    try {
        if (Begin_Load(path)) {
            const TProjectFile file(path);
            const QString* list = Row_List();
            const XmlNode parent = list ? file.Required_List(*list) : file.Root();
            Note_Rows(parent.ChildNodeCount(), sga, list ? *list : QString());
            // Every child of the list is a row, whatever its kind: one without
            // attributes loads as a row of defaults.
            int row = 1;
            for (XmlNode n = parent.FirstChild(); n && row < sga->RowCount(); n = n.NextSibling(), ++row) {
                Load_Row(TRowReader(n, file.Name(), row, list ? *list : QString()), row);
                loaded = row;
            }
        }
    } catch (const Exception& e) {
        // The rows read so far stay; the rest of the file is not loaded.
        Load_Failed(e);
    }
    if (Ends_At_Key())
        Note_Table_End(sga, FInfo.Columns, loaded, Key_Trimmed(), Row_List() ? *Row_List() : QString());
    sga->EndUpdate();
    End_Load();
}

// ---------------------------------------------------------------------------
// What a load tells the user

bool TFMapEditor::Begin_Load(const QString& path)
{
    FLoad_Path = path;
    FLoad_Notes.clear();
    FLoad_Error = false;
    FKeep_Aside.clear();
    return !path.isEmpty() && Project_File_Present(path);
}

namespace {

QString whereIn(const QString& path, const QString& list)
{
    return list.isEmpty() ? path : QStringLiteral("%1, list \"%2\"").arg(path, list);
}

} // namespace

void TFMapEditor::Load_Failed(const Exception& e)
{
    FLoad_Error = true;
    QString note = e.Message();
    // A file that stands is kept as it is when OK replaces it: nothing of
    // what could not be read is lost. A folder or a link to nothing cannot
    // be replaced by OK at all, and says so then.
    if (FileExists(FLoad_Path)) {
        FKeep_Aside = FLoad_Path;
        note += QStringLiteral("\n\nOK replaces this file with the table shown, and keeps the file as it is now "
                               "as \"%1\".")
                    .arg(FreeNameBeside(FLoad_Path, Damaged_Suffix));
    }
    FLoad_Notes.append(note);
}

void TFMapEditor::Note_Rows(int fileRows, TExColumnGrid* grid, const QString& list)
{
    const int kept = grid->RowCount() - 1;
    if (fileRows <= kept)
        return;
    FLoad_Notes.append(QStringLiteral("%1: the file holds %2 rows; this table keeps %3. The rows after row %3 are "
                                      "not shown, and OK saves only the rows shown. Press Cancel to keep the file as "
                                      "it is.")
                           .arg(whereIn(FLoad_Path, list))
                           .arg(fileRows)
                           .arg(kept));
}

void TFMapEditor::Note_Table_End(TExColumnGrid* grid, std::span<const TMapColumn> cols, int loaded, bool trimmed,
                                 const QString& list)
{
    const int key = Key_Column(cols);
    const int end = Table_End(grid, key, trimmed);
    if (end > loaded)
        return;
    const QString rows = end == loaded ? QStringLiteral("row %1").arg(end)
                                       : QStringLiteral("rows %1 to %2").arg(end).arg(loaded);
    FLoad_Notes.append(QStringLiteral("%1: row %2 has no %3, so the table ends there: OK does not save %4. Fill in "
                                      "row %2, or press Cancel to keep the file as it is.")
                           .arg(whereIn(FLoad_Path, list))
                           .arg(end)
                           .arg(Text_Of(cols[key].Header).trimmed(), rows));
}

void TFMapEditor::End_Load()
{
    if (!FLoad_Notes.isEmpty())
        MessageDlg(FLoad_Notes.join(QStringLiteral("\n\n")), FLoad_Error ? mtError : mtWarning,
                   MsgDlgButtons({mbOK}));
    FLoad_Notes.clear();
}

void TFMapEditor::Keep_Damaged_File()
{
    if (FKeep_Aside.isEmpty())
        return;
    if (FileExists(FKeep_Aside))
        KeepFileBeside(FKeep_Aside, Damaged_Suffix);
    // Kept once: a second OK after a failed write keeps no second copy.
    FKeep_Aside.clear();
}

// ---------------------------------------------------------------------------
// Writing

void TFMapEditor::Write_File()
{
    XmlDocument doc;
    XmlNode root = doc.CreateRoot(*FInfo.Root);
    if (Writes_Version())
        doc.AppendComment(*FInfo.Version);
    const QString* list = Row_List();
    XmlNode parent = list ? root.AppendElement(*list) : root;
    const int end = Table_End();
    for (int r = 1; r < end; ++r)
        Write_Row(parent, *FInfo.Row, sga, FInfo.Columns, r);
    doc.SaveToFile(*FInfo.File);
}

void TFMapEditor::Write_Row(XmlNode parent, const QString& name, TExColumnGrid* grid,
                            std::span<const TMapColumn> cols, int r)
{
    XmlNode row = parent.AppendElement(name);
    for (int c = 1; c < int(cols.size()); ++c)
        if (const QString* attr = cols[c].Attribute)
            row.AppendAttribute(*attr, grid->GetCellEx(c, r));
}

void TFMapEditor::Btn_OKClick(TObject*)
{
    if (!Controllo_Dati())
        return;
    try {
        Keep_Damaged_File();
        Write_File();
    } catch (const Exception& e) {
        // The dialog stays open with every cell as it was.
        Application()->ShowException(e);
        return;
    }
    SetModalResult(mrOk);
}

// ---------------------------------------------------------------------------
// Row commands

void TFMapEditor::Delete_Row(int row)
{
    Grid_Delete_Row(row, Active_Grid());
}

void TFMapEditor::Delete_Row(int row, TExStringGrid* grid)
{
    Grid_Delete_Row(row, grid);
}

void TFMapEditor::Insert_Row(int row, TExStringGrid* grid)
{
    Grid_Insert_Row(row, grid);
}

void TFMapEditor::Btn_DelRowClick(TObject*)
{
    TExColumnGrid* grid = Active_Grid();
    const int row = grid->Row();
    if (row < 1 || row > grid->RowCount() - 1)
        return;
    const QString question = Text_Of(FInfo.Delete_Question) + QString::number(row);
    if (MessageDlg(question, mtConfirmation, MsgDlgButtons({mbYes, mbNo})) == mrYes)
        Delete_Row(row, grid);
}

void TFMapEditor::Btn_InsRowClick(TObject*)
{
    TExColumnGrid* grid = Active_Grid();
    Insert_Row(grid->Row(), grid);
}

// ---------------------------------------------------------------------------
// Messages

void TFMapEditor::Show_Row_Error(int row, int text, const QString& limit)
{
    Show_Error(Text_Of(FInfo.Row_Prefix) + QString::number(row) + Text_Of(text) + limit);
}

void TFMapEditor::Show_Error(const QString& msg)
{
    MessageDlg(msg, mtError, MsgDlgButtons({mbOK}));
}
