#pragma once
// The J1939 / KNX gateway's frame tables: 512 receive and 512 send records of
// 32 bytes, filled from J1939_Rec_Frames.xml and J1939_Send_Frames.xml, and
// the model's image builder.
#include <array>
#include <cstdint>

class TBinBuffer;
class TImageBuild;

// Both tables share this 32-byte layout; the meaning of some fields differs.
struct TJ1939_Record {
    uint32_t Identifier;  // 29-bit CAN identifier
    uint32_t Time_4;      // send: period in ms when On_Timer; receive: 0
    uint32_t Time_8;      // receive: delete time in ms; send: 0xFFFFFFFF
    uint16_t Data_Offset; // sum of the byte counts of the records before
    uint16_t Start_Byte;  // receive: TP_Start; send: 0
    uint16_t Byte_Count;
    uint16_t Reserved_18;
    uint32_t Time_20;     // receive: request time in ms; send: 0xFFFFFFFF
    uint32_t Reserved_24;
    uint16_t TP_Flag;     // transport protocol
    uint8_t Flags;        // see J1939Flag
    uint8_t Reserved_31;
};

namespace J1939Flag {
inline constexpr uint8_t Send_Always = 0x01;
inline constexpr uint8_t On_Timer = 0x10;
inline constexpr uint8_t On_Data_Change = 0x20;
inline constexpr uint8_t On_Request = 0x40;
inline constexpr uint8_t Rec_On_Request = 0x80;
} // namespace J1939Flag

// The pattern of a record no row fills.
inline constexpr TJ1939_Record J1939_Empty_Record{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0, 0, 0, 0,
                                                  0xFFFFFFFF, 0, 0, 0, 0};

struct TJ1939_Tables {
    static constexpr int Records = 512;
    static constexpr int Record_Size = 32;
    static constexpr int Table_Size = Records * Record_Size;

    std::array<TJ1939_Record, Records> J1939_Rec_Table;
    std::array<TJ1939_Record, Records> J1939_Send_Table;
    int32_t J1939_Rec_Count = 0;
    int32_t J1939_Send_Count = 0;

    TJ1939_Tables() { Init_J1939_Tables(); }
    // Every record of both tables to the empty pattern, both counts to 0.
    void Init_J1939_Tables();
};

// Reads both frame files (a missing one leaves its table empty) and stores the
// two counts in the general block. Uses the peer-to-peer option and the delete
// time, so the general parameters are loaded first. More rows than a table
// holds is an error naming the table.
void Load_J1939_Frames(TImageBuild& build, TJ1939_Tables& tables);

// Writes the receive records, then the send records, from `position`;
// returns the position after them (position + 32768).
int Save_J1939_Tables(const TJ1939_Tables& tables, int position, TBinBuffer& buffer);

// Model 9: J1939 tables at 0 and 16384, KNX table at 32768, general block at
// 53248; 55296 bytes.
void Build_Bin_J1939(TImageBuild& build);
