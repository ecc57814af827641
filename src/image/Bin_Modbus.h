#pragma once
// Device images of the Modbus gateways: RTU master (1, 1001), RTU slave (2),
// TCP master (3, 1003) and TCP slave (4). The slaves carry the KNX table and
// the general block only; the masters put a table of 1024 Modbus requests in
// front of them, read from ModbusM_SetAccess.xml or ModbusTCPM_SetAccess.xml.
#include "image/ImageBuild.h"

#include <array>
#include <cstdint>

class TBinBuffer;

// One Modbus request of a master, 32 bytes in the image.
struct TModbus_Record {
    uint16_t Position = 0;  // data position in the gateway's exchange area
    uint16_t Bit = 0;
    uint32_t PollTime = 0;
    uint8_t Slave_ID = 0;
    uint8_t Function = 0;   // Modbus function code
    uint16_t Address = 0;   // first coil or register
    uint16_t NPoint = 0;    // number of coils or registers
    uint16_t Port = 0;      // TCP: the slave's port
    uint32_t IP_Address = 0; // TCP: first number in the most significant byte
    uint32_t Reserved_20 = 0;
    uint32_t MaxError = 0;
    uint16_t Reserved_28 = 0;
    uint8_t Data_Size = 0;  // bytes of data the request moves
    uint8_t Flags = 0;      // see ModbusFlag
};

namespace ModbusFlag {
inline constexpr uint8_t On_Change = 0x01;
inline constexpr uint8_t Swap = 0x04;
inline constexpr uint8_t On_Command = 0x10;
} // namespace ModbusFlag

// The master table of either master model.
struct TModbus_Table {
    static constexpr int Records = 1024;
    static constexpr int Record_Size = 32;
    static constexpr int Table_Size = Records * Record_Size;

    std::array<TModbus_Record, Records> Record{};
    int32_t Modbus_Row_Count = 0;

    // Every record and the count to zero (Init_ModbusM_Table, Init_ModbusTCPM_Table).
    void Init();
};

// The Modbus function code of a row of the read or the write list.
// `tcp` selects the TCP master's rule for a type it does not know (0).
uint8_t Modbus_Function_Code(const QString& type, bool writeList, int nPoint, bool tcp);
// Bytes moved by a request: (NPoint + 7) / 8 for the bit functions 1, 2, 5
// and 15, NPoint × 2 for the others, cut to 8 bits.
uint8_t Modbus_Data_Size(uint8_t function, int nPoint);

// The general-parameter loaders: constants, then ParGen.xml when it exists.
void Load_Par_Gen_ModbusM(TImageBuild& build);
void Load_Par_Gen_ModbusS(TImageBuild& build);
void Load_Par_Gen_ModbusTCPM(TImageBuild& build);
void Load_Par_Gen_ModbusTCPS(TImageBuild& build);

// Read the enabled rows of Modbus_Read, then of Modbus_Write, into the table
// and store Modbus_Row_Count in the general block. A row that lacks an
// attribute read without a fallback, a missing list, or more enabled rows
// than the table holds raise EImageError naming the file.
void Load_ModbusM_Table(TImageBuild& build, TModbus_Table& table);
void Load_ModbusTCPM_Table(TImageBuild& build, TModbus_Table& table);

// Writes the 1024 records at Bin_Count and advances Bin_Count by 32768.
void Save_Modbus_Table(const TModbus_Table& table, TBinBuffer& buffer);

// Masters: table at 0, KNX table at 32768, general block at 53248 (55296).
// Slaves: KNX table at 0, general block at 20480 (22528).
void Build_Bin_ModbusM(TImageBuild& build);
void Build_Bin_ModbusS(TImageBuild& build);
void Build_Bin_ModbusTCPM(TImageBuild& build);
void Build_Bin_ModbusTCPS(TImageBuild& build);
