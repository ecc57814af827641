// The scan window's view over its real controls: the two trees (their own
// unit) and the wireless grid SG_Wireless.
#include "mbus/UScanDecode.h"
#include "mbus/UScanDecodeTrees.h"

#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/ImgList.h"
#include "platform/graphics/Graphics.h"

#include <memory>
#include <vector>

namespace {

const char* const Wireless_Headers[] = {"N",
                                        "Date Time",
                                        "Message Type",
                                        "Manufacturer (LLA)",
                                        "Address (LLA)",
                                        "Version (LLA)",
                                        "Device Type (LLA)",
                                        "Manufacturer (ALA)",
                                        "Address (ALA)",
                                        "Version (ALA)",
                                        "Device Type (ALA)",
                                        "RSSI",
                                        "Cripted"};
constexpr int Wireless_Widths[] = {40, 65, 90, 120, 90, 85, 110, 120, 90, 85, 110, 50, 70};
static_assert(std::size(Wireless_Headers) == std::size(Wireless_Widths));
constexpr int Wireless_Columns = int(std::size(Wireless_Widths));

// Image 0 an encrypted meter (a red cross), 1 a readable one (a green tick).
void Add_Wireless_Images(TCustomImageList* list)
{
    for (int kind = 0; kind < 2; ++kind) {
        TBitmap b;
        b.SetSize(16, 16);
        TCanvas* c = b.Canvas();
        c->Brush().SetColor(clFuchsia);
        c->FillRect(Rect(0, 0, 16, 16));
        c->Pen().SetWidth(2);
        c->Pen().SetColor(kind == 0 ? clRed : clGreen);
        if (kind == 0) {
            c->MoveTo(3, 3);
            c->LineTo(13, 13);
            c->MoveTo(12, 3);
            c->LineTo(2, 13);
        } else {
            c->MoveTo(3, 8);
            c->LineTo(7, 12);
            c->LineTo(13, 3);
        }
        list->AddMasked(&b, clFuchsia);
    }
}

class TScanDecodeControls : public IScanDecodeView {
public:
    explicit TScanDecodeControls(TFScanDecode* w) : FWindow(w)
    {
        Trees = Make_Scan_Trees(w);
        IL_Wireless_Table = new TCustomImageList(w, 16, 16);
        IL_Wireless_Table->SetName(QStringLiteral("IL_Wireless_Table"));
        Add_Wireless_Images(IL_Wireless_Table);

        SG_Wireless = new TExStringGrid(w);
        SG_Wireless->SetName(QStringLiteral("SG_Wireless"));
        SG_Wireless->SetParent(w->P_W_Table);
        SG_Wireless->SetAlign(alClient);
        SG_Wireless->SetColCount(Wireless_Columns);
        SG_Wireless->SetRowCount(2);
        SG_Wireless->SetFixedRows(1);
        SG_Wireless->SetFixedCols(0);
        SG_Wireless->SetOptions(SG_Wireless->Options() | goRowSelect | goColSizing);
        SG_Wireless->GridImages = IL_Wireless_Table;
        // One line per cell: a header such as "Manufacturer (LLA)" fits its
        // column and would lose its second word to a wrap.
        SG_Wireless->SetWordWrapEx(false);
        for (int c = 0; c < Wireless_Columns; ++c) {
            SG_Wireless->SetColWidths(c, Wireless_Widths[c]);
            SG_Wireless->SetCellEx(c, 0, QString::fromLatin1(Wireless_Headers[c]));
        }
        SG_Wireless->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int X, int Y) {
            int col = -1, row = -1;
            SG_Wireless->MouseToCell(X, Y, col, row);
            FLastRow = row;
            FLastCol = col;
            if (row >= 1)
                FWindow->SG_WirelessClickCell(col, row);
        };
        SG_Wireless->OnDblClick = [this](TObject*) {
            if (FLastRow >= 1)
                FWindow->SG_WirelessDblClickCell(FLastCol, FLastRow);
        };
    }

    ~TScanDecodeControls() override
    {
        // The grid outlives this view: its events must not reach it.
        SG_Wireless->OnMouseUp = nullptr;
        SG_Wireless->OnDblClick = nullptr;
    }

    void Show_Tree(TScanTree tree, bool visible) override { Trees->Show_Tree(tree, visible); }
    void Clear_Tree(TScanTree tree) override { Trees->Clear_Tree(tree); }
    TMBusTreeNode* Add_Node(TScanTree tree, TMBusTreeNode* parent, const QString& text, bool checkBox,
                            bool checked) override
    {
        return Trees->Add_Node(tree, parent, text, checkBox, checked);
    }

    void Clear_Wireless_Grid() override
    {
        SG_Wireless->SetRowCount(2);
        for (int c = 0; c < Wireless_Columns; ++c) {
            SG_Wireless->SetCellEx(c, 1, QString());
            SG_Wireless->SetColors(c, 1, clWhite);
        }
        SG_Wireless->RemoveImageIdx(Wireless_Columns - 1, 1);
    }

    int Wireless_Row_Count() override { return SG_Wireless->RowCount(); }
    void Set_Wireless_Row_Count(int rows) override { SG_Wireless->SetRowCount(rows); }

    void Set_Wireless_Row(int row, const QStringList& cells, TColor color, int image) override
    {
        for (int c = 0; c < cells.size() && c < Wireless_Columns; ++c)
            SG_Wireless->SetCellEx(c, row, cells[c]);
        for (int c = 0; c < Wireless_Columns; ++c)
            SG_Wireless->SetColors(c, row, color);
        SG_Wireless->RemoveImageIdx(Wireless_Columns - 1, row);
        SG_Wireless->AddImageIdx(Wireless_Columns - 1, row, image, haCenter, vaCenter);
    }

    std::unique_ptr<IScanTrees> Trees;
    TExStringGrid* SG_Wireless = nullptr;
    TCustomImageList* IL_Wireless_Table = nullptr;

private:
    TFScanDecode* FWindow;
    int FLastRow = -1, FLastCol = -1;
};

} // namespace

std::unique_ptr<IScanDecodeView> Make_Scan_Decode_View(TFScanDecode* window)
{
    return std::make_unique<TScanDecodeControls>(window);
}
