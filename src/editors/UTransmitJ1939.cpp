#include "editors/UTransmitJ1939.h"

#include "app/UComon.h"
#include "platform/core/IntConv.h"
#include "project/ProjectFiles.h"
#include "project/TableFile.h"

namespace {

namespace X = ProjectFiles::J1939SendXml;
using D = TMapDefault;

constexpr const char* Data_Pages[] = {"0", "1"};
constexpr std::span<const char* const> No_Items;
constexpr TColor Identity = RGB(0xE0, 0xFA, 0xFE);
constexpr TColor Size = RGB(0xFF, 0xFF, 0xA8);
constexpr TColor Sending = RGB(0xCA, 0xFF, 0xCA);

constexpr int Max_Priority = 7;
constexpr int Max_PGN = 0x1FFFF;
constexpr int Max_SA = 255;
constexpr int Max_Send_Timer = 65535;

} // namespace

extern constexpr TMapColumn Transmit_J1939_Columns[TJ_Count] = {
    {698, edNormal,       No_Items,   40,  clWindow, nullptr,             D::Missing,          "",  false},
    {699, edNormal,       No_Items,   50,  Identity, &X::Priority,        D::Missing,          "",  false},
    {700, edComboList,    Data_Pages, 65,  Identity, &X::DP,              D::Missing,          "",  false},
    {701, edNormal,       No_Items,   85,  Identity, &X::PGN,             D::Missing,          "",  true},
    {702, edNormal,       No_Items,   95,  Identity, &X::SA,              D::Missing,          "",  false},
    {704, edNormal,       No_Items,   60,  Size,     &X::TP_NByte,        D::Missing_Or_Empty, "8", false},
    {705, edDataCheckBox, No_Items,   55,  Sending,  &X::On_Request,      D::Missing,          "N", false},
    {703, edDataCheckBox, No_Items,   80,  Sending,  &X::On_Data_Change,  D::Missing,          "N", false},
    {708, edDataCheckBox, No_Items,   60,  Sending,  &X::On_Timer,        D::Missing,          "N", false},
    {706, edNormal,       No_Items,   70,  Sending,  &X::SendTimer,       D::Missing,          "",  false},
    {707, edNormal,       No_Items,   115, clWhite,  &X::Mnemonic,        D::Missing,          "",  false},
};
// A row left out would leave a zero column at the end; the key is the PGN.
static_assert(Transmit_J1939_Columns[TJ_Mnemonic].Header == 707 && Transmit_J1939_Columns[TJ_Mnemonic].Width == 115);
static_assert(Transmit_J1939_Columns[TJ_PGN].Key);


const TMapEditorInfo Transmit_J1939_Info = {
    "FTransmitJ1939", Transmit_J1939_Columns, 62, 800, 337,
    692, 693, 694, 695, 696, 697, 709, 718,
    &X::Root, &X::Row, &ProjectFiles::VersionComment, &File_J1939_Send_Frames,
};

TFTransmitJ1939* FTransmitJ1939 = nullptr;

TFTransmitJ1939::TFTransmitJ1939(TComponent* AOwner) : TFMapEditor(AOwner, Transmit_J1939_Info) {}

TFTransmitJ1939::~TFTransmitJ1939()
{
    if (FTransmitJ1939 == this)
        FTransmitJ1939 = nullptr;
}

void TFTransmitJ1939::AfterConstruction()
{
    FTransmitJ1939 = this;
    TFMapEditor::AfterConstruction();
}

void TFTransmitJ1939::Load_Row(const TRowReader& reader, int row)
{
    TFMapEditor::Load_Row(reader, row);
    if (!reader.Has(X::T_Type))
        return;
    const QString type = reader.Text(X::T_Type).toUpper();
    Set_Cell(TJ_On_Request, row, QStringLiteral("N"));
    Set_Cell(TJ_On_Data_Change, row, type == QLatin1String("ON DATA CHANGE") ? "Y" : "N");
    Set_Cell(TJ_On_Timer, row, type == QLatin1String("ON TIMER") ? "Y" : "N");
}

// ---------------------------------------------------------------------------
// Checks

namespace {

int Number(const QString& s)
{
    return StrToIntDef(s, -1);
}

bool In(int v, int lo, int hi)
{
    return v >= lo && v <= hi;
}

// One row's rules before the byte total: the failing rule's text or 0.
int Check_Frame(const TFMapEditor& f, int r, int maxBytes)
{
    if (!In(Number(f.Cell(TJ_Priority, r)), 0, Max_Priority))
        return 710;
    if (f.Cell(TJ_DP, r).isEmpty())
        return 711;
    if (!In(Number(f.Cell(TJ_PGN, r)), 0, Max_PGN))
        return 712;
    if (!In(Number(f.Cell(TJ_SA, r)), 0, Max_SA))
        return 713;
    if (!In(Number(f.Cell(TJ_TP_NByte, r)), 1, maxBytes))
        return 714;
    return 0;
}

bool Send_Timer_Ok(const TFMapEditor& f, int r)
{
    if (f.Cell(TJ_On_Timer, r) != QLatin1String("Y"))
        return true;
    return In(Number(f.Cell(TJ_SendTimer, r)), 1, Max_Send_Timer);
}

} // namespace

bool TFTransmitJ1939::Controllo_Dati()
{
    int total = 0;
    const int end = Table_End();
    for (int r = 1; r < end; ++r) {
        if (const int rule = Check_Frame(*this, r, NUM_BYTE_OUT)) {
            // The byte limit follows its rule's text directly.
            Show_Row_Error(r, rule, rule == 714 ? QString::number(NUM_BYTE_OUT) : QString());
            return false;
        }
        total += Number(Cell(TJ_TP_NByte, r));
        if (total > NUM_BYTE_OUT) {
            Show_Error(Text_Of(715) + QString::number(NUM_BYTE_OUT));
            return false;
        }
        if (!Send_Timer_Ok(*this, r)) {
            Show_Row_Error(r, 717);
            return false;
        }
    }
    return true;
}
