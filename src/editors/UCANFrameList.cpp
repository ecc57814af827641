#include "editors/UCANFrameList.h"

#include "app/UComon.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/core/IntConv.h"

namespace {

constexpr int Row_Height = 21;
constexpr int Max_CobID_11 = 2047;
constexpr int Max_CobID_29 = 536870911;
constexpr int Max_Time = 10000000;

bool In(int v, int lo, int hi)
{
    return v >= lo && v <= hi;
}

} // namespace

TFCANFrameList::TFCANFrameList(TComponent* AOwner, const TCANFrameListInfo& info)
    : TFMapEditor(AOwner, *info.Base), FList(info)
{
    sga->SetDefaultRowHeight(Row_Height);
}

bool TFCANFrameList::controllo_dati()
{
    const int end = Table_End();
    for (int r = 1; r < end; ++r) {
        const int cobId = StrToIntDef(Cell(1, r), -1);
        const QString type = Cell(2, r).trimmed();
        int rule = 0;
        if (type.isEmpty())
            rule = FList.Type;
        else if (type.toUpper() == QLatin1String("2.0A (11 BITS)"))
            rule = In(cobId, 0, Max_CobID_11) ? 0 : FList.CobID_11;
        else
            rule = In(cobId, 0, Max_CobID_29) ? 0 : FList.CobID_29;
        if (!rule && !In(StrToIntDef(Cell(3, r), -1), 1, 8))
            rule = FList.Dimension;
        if (!rule && !In(StrToIntDef(Cell(FList.Time_Column, r), -1), 0, Max_Time))
            rule = FList.Time;
        if (rule) {
            Show_Row_Error(r, rule);
            return false;
        }
    }
    return true;
}

bool TFCANFrameList::Writes_Version() const
{
    return Model_Code == 5;
}
