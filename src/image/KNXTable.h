#pragma once
// The KNX object table that every image but the Ethernet / KNX interface's
// carries: 1024 records of 20 bytes, filled from the enabled rows of
// KNX_SetAccess.xml.
#include <QString>
#include <array>
#include <cstdint>

class TBinBuffer;
class TImageBuild;

struct TKNX_Record {
    uint32_t Poll_Time = 0;   // ms, when On_Timer is set
    uint32_t Reserved_4 = 0;
    uint8_t Priority = 0;
    uint8_t Length = 0;
    uint16_t Flags = 0;       // the flag bits below and the conversion in bits 12..15
    uint16_t RW_Code = 0;     // 0 read, 128 write, or the number typed
    uint16_t Source = 0;
    uint16_t Destination = 0;
    uint16_t Position = 0;    // byte position, or byte × 8 + bit in bit mode
};

namespace KNXFlag {
inline constexpr uint16_t On_Change = 0x0001;
inline constexpr uint16_t ReTest = 0x0002;
inline constexpr uint16_t On_Command = 0x0008;
inline constexpr uint16_t Extended = 0x0010;
inline constexpr uint16_t Group = 0x0020;
inline constexpr uint16_t Bit_Mode = 0x0040;
} // namespace KNXFlag

class TKNX_Table {
public:
    static constexpr int Records = 1024;
    static constexpr int Record_Size = 20;
    static constexpr int Table_Size = Records * Record_Size;

    std::array<TKNX_Record, Records> Record{};
    int32_t KNX_Object_Count = 0;
    int32_t KNX_Read_Count = 0;

    // Every record and both counts to zero.
    void Init_KNX_Table();
};

// Reads KNX_SetAccess.xml when it exists into the build's KNX table and
// stores both counts in the general block. Every enabled row takes the next
// record. Raises when the list "KNX_in_Write" is missing, when a row lacks an
// attribute read without a fallback, or when more rows are enabled than the
// table holds. The DMX models read DMX_In_Channels from the general block, so
// their general parameters are loaded first.
void Load_KNX_Table(TImageBuild& build);

// Writes the 1024 records at Bin_Count and advances Bin_Count by 20480.
void Save_KNX_Table(TImageBuild& build);

// The end of every image but the M-Bus ones: the KNX table at Bin_Count, the
// general block after it, Bin_Count left behind the block.
void Save_KNX_Table_And_Par_Gen(TImageBuild& build);

// The image of the models with no table of their own: the general
// parameters (read by loadParGen), then the KNX table, laid out from byte 0.
void Build_KNX_And_Par_Gen_Image(TImageBuild& build, void (*loadParGen)(TImageBuild&));

