#include "editors/UMapListEditor.h"

#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/UDialogLook.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/TabControls.h"
#include "platform/core/Files.h"
#include "platform/xml/XmlDoc.h"
#include "project/TableFile.h"

TFMapListEditor::TFMapListEditor(TComponent* AOwner, const TMapListInfo& info)
    : TFMapEditor(AOwner, *info.Base), FList(info)
{
    PageControl1 = new TPageControl(this);
    PageControl1->SetName(QStringLiteral("PageControl1"));
    PageControl1->SetParent(this);
    PageControl1->SetAlign(alClient);
    for (int p = 0; p < 2; ++p) {
        Sheet[p] = new TTabSheet(this);
        Sheet[p]->SetName(QString::fromLatin1(info.Pages[p].Sheet));
        Sheet[p]->SetPageControl(PageControl1);
    }
    // The family's grid moves onto the first page; the second page's grid
    // is built from its own column table.
    sga->SetName(QString::fromLatin1(info.Pages[0].Grid));
    sga->SetParent(Sheet[0]);
    sgb = new TExColumnGrid(this);
    sgb->SetName(QString::fromLatin1(info.Pages[1].Grid));
    sgb->SetParent(Sheet[1]);
    sgb->SetAlign(alClient);
    Build_Grid(sgb, info.Pages[1].Columns, info.Pages[1].Data_Rows);
    // A click on a row number selects the whole row.
    for (TExColumnGrid* g : {sga, sgb})
        g->OnClickCell = [this](TObject* Sender, int ARow, int ACol) { ClickCell(Sender, ARow, ACol); };

    if (info.Copy_Buttons) {
        Btn_CopyRow = Make_Button(this, P_Button, Map_Button_Left[4], 6, Map_Button_Width, Map_Button_Height);
        Btn_CopyRow->OnClick = [this](TObject* Sender) { Btn_CopyRowClick(Sender); };
        Btn_PasteRow = Make_Button(this, P_Button, Map_Button_Left[5], 6, Map_Button_Width, Map_Button_Height);
        Btn_PasteRow->OnClick = [this](TObject* Sender) { Btn_PasteRowClick(Sender); };
        for (TLbButton* b : {Btn_CopyRow, Btn_PasteRow})
            b->SetColor(Dialog_Color);
    }
}

void TFMapListEditor::Set_Lang()
{
    TFMapEditor::Set_Lang();
    for (int p = 0; p < 2; ++p) {
        Sheet[p]->SetCaption(Text_Of(FList.Pages[p].Caption));
        Set_Headers(Grid(p), FList.Pages[p].Columns);
    }
    if (Btn_CopyRow) {
        Btn_CopyRow->SetCaption(FList.Copy_Caption ? Text_Of(FList.Copy_Caption) : QStringLiteral("Copy Row"));
        Btn_PasteRow->SetCaption(FList.Paste_Caption ? Text_Of(FList.Paste_Caption) : QStringLiteral("Paste Row"));
    }
}

// ---------------------------------------------------------------------------
// Pages and cells

QString TFMapListEditor::Cell(int page, int col, int row) const
{
    return Grid(page)->GetCellEx(col, row);
}

void TFMapListEditor::Set_Cell(int page, int col, int row, const QString& text)
{
    Grid(page)->SetCellEx(col, row, text);
}

int TFMapListEditor::Page_End(int page) const
{
    return Table_End(Grid(page), Key_Column(FList.Pages[page].Columns), FList.Key_Trimmed);
}

int TFMapListEditor::Active_Page() const
{
    return PageControl1->ActivePage() == Sheet[1] ? 1 : 0;
}

void TFMapListEditor::Set_Active_Page(int page)
{
    PageControl1->SetActivePage(Sheet[page == 1 ? 1 : 0]);
}

TExColumnGrid* TFMapListEditor::Active_Grid() const
{
    return Grid(Active_Page());
}

// ---------------------------------------------------------------------------
// Showing, loading and writing

void TFMapListEditor::Reset_Rows()
{
    for (int p = 0; p < 2; ++p) {
        TExColumnGrid* g = Grid(p);
        const int cols = g->AllColCount();
        g->BeginUpdate();
        for (int r = 1; r < g->RowCount(); ++r) {
            g->SetCellEx(0, r, QString::number(r));
            for (int c = 1; c < cols; ++c)
                g->SetCellEx(c, r, QString());
            if (FList.Enable_Preset)
                g->SetCellEx(1, r, QStringLiteral("Y"));
        }
        g->EndUpdate();
    }
    Set_Active_Page(0);
}

void TFMapListEditor::Load_File()
{
    const QString path = *Info().File;
    sga->BeginUpdate();
    sgb->BeginUpdate();
    int loaded[2] = {0, 0};
    try {
        if (Begin_Load(path)) {
            const TProjectFile file(path);
            for (int p = 0; p < 2; ++p) {
                const TMapPage& page = FList.Pages[p];
                const XmlNode list = file.Required_List(*page.List);
                TExColumnGrid* g = Grid(p);
                Note_Rows(list.ChildNodeCount(), g, *page.List);
                int row = 1;
                for (XmlNode n = list.FirstChild(); n && row < g->RowCount(); n = n.NextSibling(), ++row) {
                    Fill_Row(g, page.Columns, TRowReader(n, file.Name(), row, *page.List), row);
                    loaded[p] = row;
                }
            }
        }
    } catch (const Exception& e) {
        // The rows read so far stay; the rest of the file is not loaded.
        Load_Failed(e);
    }
    for (int p = 0; p < 2; ++p)
        Note_Table_End(Grid(p), FList.Pages[p].Columns, loaded[p], FList.Key_Trimmed, *FList.Pages[p].List);
    sgb->EndUpdate();
    sga->EndUpdate();
    End_Load();
    Do_Copy_In_Read = false;
    Do_Copy_In_Write = false;
}

bool TFMapListEditor::Writes_Version() const
{
    if (FList.Version_Models.empty())
        return true;
    for (int m : FList.Version_Models)
        if (m == Model_Code)
            return true;
    return false;
}

void TFMapListEditor::Write_File()
{
    XmlDocument doc;
    XmlNode root = doc.CreateRoot(*Info().Root);
    if (Writes_Version())
        doc.AppendComment(*Info().Version);
    for (int p = 0; p < 2; ++p) {
        XmlNode list = root.AppendElement(*FList.Pages[p].List);
        const int end = Page_End(p);
        for (int r = 1; r < end; ++r)
            Write_Row(list, *Info().Row, Grid(p), FList.Pages[p].Columns, r);
    }
    doc.SaveToFile(*Info().File);
}

// ---------------------------------------------------------------------------
// Checks

bool TFMapListEditor::Row_Enabled(int page, int row) const
{
    // As the image builders read Enable: a row they build is a row checked.
    return !FList.Enable_Preset || Cell(page, 1, row).trimmed().toUpper() == QLatin1String("Y");
}

bool TFMapListEditor::Check_Pages()
{
    for (int p = 0; p < 2; ++p) {
        const int end = Page_End(p);
        for (int r = 1; r < end; ++r) {
            if (!Row_Enabled(p, r))
                continue;
            QString limit;
            if (const int rule = Check_Row(p, r, limit)) {
                Show_Row_Error(r, rule, limit);
                return false;
            }
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// Row commands

void TFMapListEditor::Btn_CopyRowClick(TObject*)
{
    TExColumnGrid* g = Active_Grid();
    Grid_Copy_Row(g, g->Row());
    Do_Copy_In_Read = g == sga;
    Do_Copy_In_Write = g == sgb;
}

void TFMapListEditor::Btn_PasteRowClick(TObject*)
{
    TExColumnGrid* g = Active_Grid();
    Grid_Paste_Row(g, g->Row(), g == sga ? Do_Copy_In_Read : Do_Copy_In_Write);
}

void TFMapListEditor::ClickCell(TObject* Sender, int ARow, int ACol)
{
    TExColumnGrid* g = Sender == sgb ? sgb : sga;
    if (ACol == 0 && ARow >= 1 && ARow < g->RowCount())
        g->SelectRows(ARow, 1);
}
