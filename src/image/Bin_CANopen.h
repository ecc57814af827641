#pragma once
// Device image of the CANopen / KNX gateway (model 6): six tables of one
// 32-byte record (SDO server read and write, SDO client read and write,
// receive and transmit PDOs) in front of the KNX table and the general block.
//
// The tables are read from SDO_Server_CANopen.xml, SDO_Client_CANopen.xml and
// PDO_CANopen.xml with no fallbacks: a file without one of its lists, a row
// without an attribute its table reads or with one that is not an integer, or
// a list longer than its table raise EImageError naming the file, and no bank
// file is written.
#include "image/ImageBuild.h"

#include <QList>
#include <QString>
#include <array>
#include <cstdint>

class TBinBuffer;

struct TCANopen_Record {
    uint32_t COB_ID = 0;         // PDOs
    uint16_t Index = 0;          // SDOs
    uint8_t SubIndex = 0;        // SDOs
    uint8_t Device_ID = 0;       // SDO client: node ID of the remote device
    uint32_t Time = 0;           // client Poll_Time, receive TimeOut, transmit Send_Time
    // Data-area addresses of the data bytes; 0xFFFF in an empty record.
    std::array<uint16_t, 8> Address{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    uint8_t Size = 0;            // NByte or Dimension
    uint8_t Mode = 0;            // 0 read, 1 write, 3 write on change
    uint16_t Reserved_30 = 0;
};

// The six tables in image order.
enum class TCANopenTable : int {
    SDO_Server_Read,
    SDO_Server_Write,
    SDO_Client_Read,
    SDO_Client_Write,
    RPDO,
    TPDO,
    Count
};

struct TCANopen_Table_Info {
    TCANopenTable Table;
    const char* Name;     // for messages
    int Records;
    uint32_t Device_Address;
    const QString* File;  // the project file (a name of project/ProjectFiles.h)
    const QString* List;  // the list element of the rows
};
const TCANopen_Table_Info& CANopen_Table_Info(TCANopenTable t);

struct TCANopen_Tables {
    static constexpr int Record_Size = 32;
    static constexpr int Tables_Size = 57344;

    std::array<QList<TCANopen_Record>, int(TCANopenTable::Count)> Table;
    std::array<int32_t, int(TCANopenTable::Count)> Count{};

    TCANopen_Tables() { Init_CANopen_Tables(); }
    // Every record of the six tables to the empty record, every count to 0.
    void Init_CANopen_Tables();
};

void Load_Par_Gen_CANopen(TImageBuild& build);
// Reads the three files into the six tables and stores the six counts.
void Load_CANopen_Tables(TImageBuild& build, TCANopen_Tables& tables);
// Writes the six tables one after the other from `position`; returns the
// position after them (position + 57344).
int Save_CANopen_Tables(const TCANopen_Tables& tables, int position, TBinBuffer& buffer);

// The CANopen tables at 0, KNX table at 57344, general block at 77824: 79872.
void Build_Bin_CANopen(TImageBuild& build);
