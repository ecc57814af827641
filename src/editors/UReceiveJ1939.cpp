#include "editors/UReceiveJ1939.h"

#include "app/UComon.h"
#include "platform/core/IntConv.h"
#include "project/ProjectFiles.h"

namespace {

namespace X = ProjectFiles::J1939RecXml;
using D = TMapDefault;

constexpr const char* Data_Pages[] = {"0", "1"};
constexpr std::span<const char* const> No_Items;
constexpr TColor Identity = RGB(0xE0, 0xFA, 0xFE);
constexpr TColor Transport = RGB(0xFF, 0xFF, 0xA8);
constexpr TColor Data_Bytes = RGB(0xCA, 0xFF, 0xCA);
constexpr TColor Cancel = RGB(0xFC, 0xD6, 0xF4);
constexpr TColor Request = RGB(0xFF, 0xD8, 0xB0);

// The frame's data bytes fit in one frame of 8 bytes, or, under the
// transport protocol, in the 1785 bytes of a multi-packet message.
constexpr int Frame_Bytes = 8;
constexpr int Transport_Bytes = 1785;
constexpr int Max_PGN = 0xFFFF;
constexpr int Max_SA = 239;
// The device polls a requested group no faster than every 2 ms.
constexpr int Min_Request_Time = 2;
constexpr int Max_Request_Time = 10000000;

} // namespace

extern constexpr TMapColumn Receive_J1939_Columns[RJ_Count] = {
    {671, edNormal,       No_Items,   40,  clWindow,  nullptr,       D::Missing, "",     false},
    {672, edComboList,    Data_Pages, 65,  Identity,  &X::DP,        D::Missing, "",     false},
    {673, edNormal,       No_Items,   85,  Identity,  &X::PGN,       D::Missing, "",     true},
    {674, edNormal,       No_Items,   95,  Identity,  &X::SA,        D::Missing, "",     false},
    {675, edDataCheckBox, No_Items,   113, Transport, &X::TP,        D::Missing, "N",    false},
    {676, edNormal,       No_Items,   65,  Data_Bytes, &X::TP_Start, D::Missing, "",     false},
    {677, edNormal,       No_Items,   55,  Data_Bytes, &X::TP_NByte, D::Missing, "",     false},
    {678, edDataCheckBox, No_Items,   75,  Cancel,    &X::Delete,    D::Missing, "N",    false},
    {976, edDataCheckBox, No_Items,   75,  Request,   &X::OnRequest, D::Missing, "N",    false},
    {977, edNormal,       No_Items,   65,  Request,   &X::OnReq_Time, D::Missing, "1000", false},
    {679, edNormal,       No_Items,   120, clWhite,   &X::Mnemonic,  D::Missing, "",     false},
};
// A row left out would leave a zero column at the end; the key is the PGN.
static_assert(Receive_J1939_Columns[RJ_Mnemonic].Header == 679 && Receive_J1939_Columns[RJ_Mnemonic].Width == 120);
static_assert(Receive_J1939_Columns[RJ_PGN].Key);


const TMapEditorInfo Receive_J1939_Info = {
    "FReceiveJ1939", Receive_J1939_Columns, 62, 876, 337,
    665, 666, 667, 668, 669, 670, 680, 687,
    &X::Root, &X::Row, &ProjectFiles::VersionComment, &File_J1939_Rec_Frames,
};

TFReceiveJ1939* FReceiveJ1939 = nullptr;

TFReceiveJ1939::TFReceiveJ1939(TComponent* AOwner) : TFMapEditor(AOwner, Receive_J1939_Info) {}

TFReceiveJ1939::~TFReceiveJ1939()
{
    if (FReceiveJ1939 == this)
        FReceiveJ1939 = nullptr;
}

void TFReceiveJ1939::AfterConstruction()
{
    FReceiveJ1939 = this;
    TFMapEditor::AfterConstruction();
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

// One row's frame rules (data page to data bytes): the failing rule's text,
// or 0 with the bytes the row takes.
int Check_Frame(const TFMapEditor& f, int r, int& bytes)
{
    if (f.Cell(RJ_DP, r).isEmpty())
        return 681;
    if (!In(Number(f.Cell(RJ_PGN, r)), 0, Max_PGN))
        return 682;
    if (!In(Number(f.Cell(RJ_SA, r)), 0, Max_SA))
        return 683;
    const QString start = f.Cell(RJ_TP_Start, r);
    const QString count = f.Cell(RJ_TP_NByte, r);
    if (f.Cell(RJ_TP, r) == QLatin1String("Y")) {
        const int s = Number(start);
        const int n = Number(count);
        if (!In(s, 0, Transport_Bytes))
            return 684;
        if (n < 0 || s + n > Transport_Bytes)
            return 685;
        bytes = n;
        return 0;
    }
    const bool noStart = start.trimmed().isEmpty();
    const bool noCount = count.trimmed().isEmpty();
    if (noStart && noCount) {
        bytes = Frame_Bytes;
        return 0;
    }
    if (noStart || noCount)
        return 688;
    const int s = Number(start);
    const int n = Number(count);
    if (!In(s, 1, Frame_Bytes))
        return 689;
    if (!In(n, 1, Frame_Bytes))
        return 690;
    if (s + n > Frame_Bytes)
        return 691;
    bytes = n;
    return 0;
}

bool Request_Time_Ok(const TFMapEditor& f, int r)
{
    if (f.Cell(RJ_OnRequest, r) != QLatin1String("Y"))
        return true;
    return In(Number(f.Cell(RJ_OnReq_Time, r)), Min_Request_Time, Max_Request_Time);
}

} // namespace

bool TFReceiveJ1939::Controllo_Dati()
{
    int total = 0;
    const int end = Table_End();
    for (int r = 1; r < end; ++r) {
        int bytes = 0;
        if (const int rule = Check_Frame(*this, r, bytes)) {
            Show_Row_Error(r, rule);
            return false;
        }
        total += bytes;
        if (total > NUM_BYTE_IN) {
            Show_Error(Text_Of(686) + QString::number(NUM_BYTE_IN));
            return false;
        }
        if (!Request_Time_Ok(*this, r)) {
            Show_Row_Error(r, 978);
            return false;
        }
    }
    return true;
}
