#include "editors/UCANFrames.h"

#include "app/LbButton.h"
#include "app/UComon.h"
#include "app/UDialogLook.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/core/IntConv.h"
#include "project/ProjectFiles.h"

namespace {

namespace X = ProjectFiles::CANFramesXml;

constexpr int Max_CobID_11 = 2047;
constexpr int Max_CobID_29 = 536870911;
constexpr int Max_Dimension = 8;
constexpr int Row_Height = 22;

int Number(const QString& s)
{
    return StrToIntDef(s, -1);
}

} // namespace

namespace CANRules {

int Check_CobID(const QString& cobId, const QString& type, int text11, int text29)
{
    const bool extended = type.trimmed() == X::Type_29_Bits;
    const int v = Number(cobId);
    if (v < 0 || v > (extended ? Max_CobID_29 : Max_CobID_11))
        return extended ? text29 : text11;
    return 0;
}

bool Dimension_Ok(const QString& dim)
{
    const int v = Number(dim);
    return v >= 1 && v <= Max_Dimension;
}

bool Byte_Ok(const QString& cell, int maxByte)
{
    const QString t = cell.trimmed();
    if (t.isEmpty() || t == X::No_Byte)
        return true;
    const int v = Number(cell);
    return v >= 0 && v < maxByte;
}

} // namespace CANRules

TFCANFrames::TFCANFrames(TComponent* AOwner, const TCANFramesInfo& info)
    : TFMapEditor(AOwner, *info.Base), FFrames(info)
{
    Btn_CopyRow = Make_Button(this, P_Button, Map_Button_Left[4], 6, Map_Button_Width, Map_Button_Height);
    Btn_CopyRow->OnClick = [this](TObject* Sender) { Btn_CopyRowClick(Sender); };
    Btn_PasteRow = Make_Button(this, P_Button, Map_Button_Left[5], 6, Map_Button_Width, Map_Button_Height);
    Btn_PasteRow->OnClick = [this](TObject* Sender) { Btn_PasteRowClick(Sender); };
    for (TLbButton* b : {Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow}) {
        b->SetColor(Dialog_Color);
        b->SetShowHint(true);
    }
    sga->SetDefaultRowHeight(Row_Height);
    sga->SetShowHint(true);
    sga->OnGridHint = [this](TObject* Sender, int ARow, int ACol, QString& hint) { GridHint(Sender, ARow, ACol, hint); };
    sga->OnDblClickCell = [this](TObject* Sender, int ARow, int ACol) { DblClickCell(Sender, ARow, ACol); };
    sga->OnKeyPress = [this](TObject* Sender, QChar& Key) { KeyPress(Sender, Key); };
}

bool TFCANFrames::Model_Is_CAN()
{
    return Model_Code == 5;
}

void TFCANFrames::Fill_Hints()
{
    FHints.clear();
    for (int text : FFrames.Header_Hints)
        FHints.append(Text_Of(text));
}

void TFCANFrames::Set_Lang()
{
    TFMapEditor::Set_Lang();
    Btn_CopyRow->SetCaption(Text_Of(FFrames.Copy_Caption));
    Btn_PasteRow->SetCaption(Text_Of(FFrames.Paste_Caption));
    TLbButton* buttons[6] = {Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow};
    for (int k = 0; k < 6; ++k)
        buttons[k]->SetHint(Text_Of(FFrames.Button_Hints[k]));
    Fill_Hints();
}

void TFCANFrames::GridHint(TObject*, int ARow, int ACol, QString& hintstr)
{
    if (ARow == 0 && ACol >= 1 && ACol - 1 < FHints.size())
        hintstr = FHints.at(ACol - 1);
    else
        hintstr.clear();
}

void TFCANFrames::Reset_Rows()
{
    TFMapEditor::Reset_Rows();
    for (int r = 1; r < sga->RowCount(); ++r)
        Set_Cell(1, r, QStringLiteral("Y"));
}

void TFCANFrames::Reset_Limits()
{
    MAX_Byte = 1439;
    // The hints follow the texts loaded when the dialog is shown.
    Fill_Hints();
    // The 1440 items are built once; the other byte columns share their texts.
    Fill_Positions(sga, FFrames.First_Byte, MAX_Byte, true);
    const TStrings* items = sga->Columns()->Items(FFrames.First_Byte)->ComboItems();
    for (int k = 1; k < 8; ++k)
        sga->Columns()->Items(FFrames.First_Byte + k)->ComboItems()->Assign(items);
}

void TFCANFrames::Load_File()
{
    TFMapEditor::Load_File();
    Do_Copy = false;
    if (sga->CanFocus())
        sga->SetFocus();
}

bool TFCANFrames::Check_Frames()
{
    const int end = Table_End();
    for (int r = 1; r < end; ++r) {
        if (Cell(1, r).trimmed().toUpper() != QLatin1String("Y"))
            continue;
        if (const int rule = CANRules::Check_CobID(Cell(2, r), Cell(3, r), FFrames.CobID_11, FFrames.CobID_29)) {
            Show_Row_Error(r, rule);
            return false;
        }
        if (!CANRules::Dimension_Ok(Cell(4, r))) {
            Show_Row_Error(r, FFrames.Dimension);
            return false;
        }
        if (const int rule = Check_Timing(r)) {
            Show_Row_Error(r, rule);
            return false;
        }
        const int dim = StrToIntDef(Cell(4, r), -1);
        for (int k = 1; k <= dim; ++k) {
            if (CANRules::Byte_Ok(Cell(FFrames.First_Byte + k - 1, r), MAX_Byte))
                continue;
            const int text = k == 1 ? FFrames.Byte1 : FFrames.Byte2 + k - 2;
            Show_Row_Error(r, text, QString::number(MAX_Byte - 1) + Text_Of(FFrames.Or_None));
            return false;
        }
    }
    return true;
}

void TFCANFrames::Btn_CopyRowClick(TObject*)
{
    Grid_Copy_Row(sga, sga->Row());
    Do_Copy = true;
}

void TFCANFrames::Btn_PasteRowClick(TObject*)
{
    Grid_Paste_Row(sga, sga->Row(), Do_Copy);
}
