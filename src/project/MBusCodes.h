#pragma once
// What the codes of M_Bus.xml stand for in the gateway, shared by the network
// dialog (its byte count) and the M-Bus image builder (the stream it writes):
// the EN 13757-3 data field and the data bytes of each Dim code, the DIF
// function field of each Fun_Field code, and the data bytes one variable
// takes in the gateway's data area.
#include <array>
#include <cstdint>

namespace MBusCodes {

// Dim code 7: the value's length is the variable's Length.
inline constexpr int Dim_Variable_Length = 7;
// Type code 20 "Time Point" and 21 "VIF is in ASCII".
inline constexpr int Type_Time_Point = 20;
inline constexpr int Type_VIF_ASCII = 21;

struct TDimensionCode {
    uint8_t Data_Field; // EN 13757-3 data field of the DIF
    int8_t Bytes;       // data bytes; -1: the variable's Length
};

// By Dim code 0..7: 8, 16, 32, 64, 24, 48 bit, 32-bit real, variable length.
inline constexpr std::array<TDimensionCode, 8> Dimension_Codes = {{
    {1, 1},
    {2, 2},
    {4, 4},
    {7, 8},
    {3, 3},
    {6, 6},
    {5, 4},
    {13, -1},
}};
static_assert(Dimension_Codes[Dim_Variable_Length].Bytes == -1);

// A Dim code outside the table counts as 16 bits.
inline constexpr TDimensionCode Dimension_Other = {2, 2};

inline constexpr TDimensionCode Dimension_Code(int dim)
{
    return dim >= 0 && dim < int(Dimension_Codes.size()) ? Dimension_Codes[size_t(dim)] : Dimension_Other;
}

// Data bytes of a Dim code (`length` for a variable-length value).
inline constexpr int Dimension_Bytes(int dim, int length)
{
    const TDimensionCode c = Dimension_Code(dim);
    return c.Bytes < 0 ? length : c.Bytes;
}

// The file counts Fun_Field 1 as minimum and 2 as maximum; the DIF's function
// field has them the other way round. 0 (instantaneous), 3 (value during
// error state) and any other code stay as they are.
inline constexpr int Function_Data_Field(int funField)
{
    return funField == 1 ? 2 : funField == 2 ? 1 : funField;
}

// One variable as far as its size depends on it.
struct TVariableSize {
    int Dimension = 0;
    int Length = 0;
    int Type_Of_Data = 0;
    bool Conv_Float = false;
    bool Force_Int32 = false;
    bool TP_Mod_Regs = false; // eight bytes for a time point
};

// Data bytes a variable takes in the gateway's data area, for a node whose
// Var_List_Type is `varListType` (0 "By Type", 1 "By Position"): eight for a
// time point with TP_Mod_Regs (any variable of a "By Position" node, only
// type 20 in a "By Type" node), four when converted to float or forced to a
// 32-bit integer, else the size of its Dim code.
inline constexpr int Variable_Data_Bytes(const TVariableSize& v, int varListType)
{
    if (v.TP_Mod_Regs && (varListType == 1 || (varListType == 0 && v.Type_Of_Data == Type_Time_Point)))
        return 8;
    if (v.Conv_Float || v.Force_Int32)
        return 4;
    return Dimension_Bytes(v.Dimension, v.Length);
}

} // namespace MBusCodes
