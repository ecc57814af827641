#include "editors/UCANopenRules.h"

#include "platform/core/IntConv.h"

namespace CANopenRules {

bool In(const QString& cell, int lo, int hi)
{
    const int v = StrToIntDef(cell, -1);
    return v >= lo && v <= hi;
}

bool NByte_Ok(const QString& cell)
{
    const int v = StrToIntDef(cell, -1);
    return v == 1 || v == 2 || v == 4;
}

int Check_SDO_Bytes(int nByte, std::span<const QString> cells, int positions, int firstText)
{
    const int used = nByte == 4 ? 4 : nByte == 2 ? 2 : 1;
    for (int k = 0; k < used; ++k)
        if (!In(cells[size_t(k)], 0, positions - 1))
            return firstText + k;
    return 0;
}

} // namespace CANopenRules
