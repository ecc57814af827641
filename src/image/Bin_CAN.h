#pragma once
// Device image of the CAN / KNX gateway (model 5): the CAN frame table of
// 1024 records in front of the KNX table and the general block. Receive
// frames come from CAN_Rec_Frames.xml, send frames from CAN_Send_Frames.xml;
// both files share the table and its count, receive frames first.
#include "image/ImageBuild.h"

#include <array>
#include <cstdint>

class TBinBuffer;

// One frame, 32 bytes in the image.
struct TCAN_Record {
    uint32_t Identifier = 0;      // COBID, bit 31 set for a 29-bit identifier
    uint32_t Send_Period = 0;     // send frames: Time
    uint32_t Receive_Timeout = 0; // receive frames: TimeOut
    uint8_t Reserved_12 = 0;
    uint8_t Flags = 0;            // send frames: see CANFlag
    uint8_t Data_Length = 0;      // Dim
    uint8_t Reserved_15 = 0;
    // Data-area address of each byte of the frame; 0xFFFF for none.
    std::array<uint16_t, 8> Byte_Address{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
};

namespace CANFlag {
inline constexpr uint8_t Send = 0x01;
inline constexpr uint8_t On_Change = 0x02;
inline constexpr uint8_t On_Timer = 0x04;
inline constexpr uint8_t On_Command = 0x08;
} // namespace CANFlag

inline constexpr uint32_t CAN_Extended_Identifier = 0x80000000u;

struct TCAN_Table {
    static constexpr int Records = 1024;
    static constexpr int Record_Size = 32;
    static constexpr int Table_Size = Records * Record_Size;

    std::array<TCAN_Record, Records> Record{};
    int32_t CAN_Frame_Count = 0;

    // Every record to the empty record (16 zero bytes, eight 0xFFFF).
    void Init_CAN_Table();
};

void Load_Par_Gen_CAN(TImageBuild& build);
// Reads both frame files into the table and stores CAN_Frame_Count in the
// general block. More used rows than the table holds raise EImageError.
void Load_CAN_Frames(TImageBuild& build, TCAN_Table& table);
// Writes the 1024 records at `position`; returns position + 32768.
int Save_CAN_Table(const TCAN_Table& table, int position, TBinBuffer& buffer);

// CAN table at 0, KNX table at 32768, general block at 53248: 55296 bytes.
void Build_Bin_CAN(TImageBuild& build);
