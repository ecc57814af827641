#pragma once
// The 2048-byte general block that ends every device image (the M-Bus models
// have their own): the record that mirrors it, its field table with the
// defaults, the reading of ParGen.xml into it and its serialization with the
// closing checksum.
#include "project/TableFile.h"
#include "platform/xml/XmlDoc.h"

#include <QString>
#include <array>
#include <optional>
#include <cstdint>

class TBinBuffer;
class TImageBuild;

// The fields of the block. `Fixed_<offset>` fields hold values the gateway
// expects and nothing ever changes. `J1939_Delete_Time` is kept beside the
// block for the J1939 tables and is not written into it.
enum class TParGenField : int {
    Fieldbus_Baud_Rate,
    Fixed_12,
    Fixed_16,
    Modbus_Slave_ID,
    J1939_Address,
    Master_Timeout,
    Master_Cycle,
    IP_Address,
    Subnet_Mask,
    Gateway_Address,
    Fixed_52,
    Service_Port,
    Service_Port_Copy,
    Fixed_60,
    Fixed_64,
    Modbus_Row_Count,
    Station_Name,
    Serial_RS232,
    CAN_Frame_Count,
    Input_Bytes,
    Output_Bytes,
    J1939_Rec_Count,
    J1939_Send_Count,
    J1939_Options,
    CANopen_Node_ID,
    CANopen_Options,
    CANopen_Start_Delay,
    CANopen_SDO_Timeout,
    CANopen_Table_Counts,
    Table_Address_Modbus,
    Table_Address_CAN,
    Table_Address_J1939_Rec,
    Table_Address_J1939_Send,
    Table_Address_CANopen,
    Diagnostic_Register,
    Serial_Baud_Rate,
    Fixed_404,
    Serial_Parity,
    Serial_Stop_Bits,
    Fixed_431,
    Serial_Data_Bits,
    Fixed_437,
    Table_Address_KNX_Read,
    Table_Address_KNX_Write,
    KNX_Read_Count,
    KNX_Object_Count,
    Fixed_460,
    KNX_Individual_Address,
    KNX_Tunnel_Address,
    KNX_Management_Address,
    KNX_Control_Port,
    KNX_Tunnel_Port,
    KNX_Management_Port,
    DMX_In_Channels,
    DMX_Out_Channels,
    Table_Address_Extra,
    KNX_Packet_Delay,
    J1939_Delete_Time,
    Count
};

// One row of the block's layout: `Count` elements of `Size` bytes (1, 2 or 4)
// from `Offset`; element i starts with `Defaults[i]` (a single default is
// repeated over the elements). Offset -1: kept beside the block, not written.
struct TParGenFieldInfo {
    TParGenField Field;
    int Offset;
    int Size;
    int Count;
    std::array<uint32_t, 4> Defaults;
    bool RepeatDefault;
};

const TParGenFieldInfo& Par_Gen_Field_Info(TParGenField f);

class TBin_Par_Gen {
public:
    static constexpr int Block_Size = 2048;
    static constexpr int Checksum_Offset = 2044;

    TBin_Par_Gen() { Init_Par_Gen(); }

    // Every field to its default, every other byte to zero.
    void Init_Par_Gen();

    // Stores the value cut to the field's width (element `index` of a
    // multi-element field). An index outside the field raises.
    void Set(TParGenField f, int64_t value, int index = 0);
    uint32_t Get(TParGenField f, int index = 0) const;
    // Text into a byte field (the station name), cut so a terminating zero
    // always remains; the rest of the field is zero.
    void SetText(TParGenField f, const QByteArray& text);

    // Writes the block at `position`; offsets 1904..1911 are written as zero
    // and the last 4 bytes are the 32-bit sum of the 2044 bytes before them.
    // Bin_Count is not changed.
    void Save_Par_Gen(TBinBuffer& buffer, int position) const;

    // The block as it will be serialized (checksum included).
    std::array<uint8_t, Block_Size> Block() const;

private:
    std::array<uint8_t, Block_Size> FBytes{};
    int32_t FJ1939_Delete_Time = 0;
};

// ---------------------------------------------------------------------------
// Reading ParGen.xml

// How a key's text becomes a field value.
enum class TKeyConversion {
    Number,               // integer, or the default when not one
    Number_Times_1000,    // integer × 1000
    Flag_Bit,             // sets `Bit` when the text is exactly "1"
    RS232,                // 1 when the text is exactly "0" (the dialog's "RS232")
    Speed_J1939,          // item index through a speed table
    Speed_CANopen,
    Speed_CAN,
    Speed_Serial,
    Individual_Address,   // "a.l.d" → a × 4096 + l × 256 + d
};

struct TParGenKey {
    const char* Key;
    TParGenField Field;
    int Index;            // element of a multi-element field
    TKeyConversion Conversion;
    int64_t Default;      // when the text does not convert
    int64_t Missing;      // when the element is missing
    uint32_t Bit = 0;     // Flag_Bit only
};

// The speed in bit/s of a drop-down item index; indices outside the table
// give the table's last-resort speed.
int Speed_Of(TKeyConversion table, int index);


// ParGen.xml as the loaders read it: keys looked up by name under the root.
// Every name must be a key of the ParGen key table (project/ParGen.h): a
// name that is not raises EInvalidOperation, so a misspelt key cannot fall
// back to its default unnoticed.
class TParGenFile {
public:
    // Loads the project's ParGen.xml when it exists; a file that is not
    // well-formed raises with the file's name. The file is owned here.
    explicit TParGenFile(const TImageBuild& build);
    bool Exists() const { return FFile.has_value(); }
    // The element's text; false when the element is missing.
    bool Text(const QString& key, QString& text) const;
    // Converts and stores one key (a missing element stores its Missing value).
    void Load_Key(TBin_Par_Gen& record, const TParGenKey& key) const;

private:
    std::optional<TProjectFile> FFile;
};

// Stores the keys of a table in order.
template <size_t N>
void Load_Keys(const TParGenFile& file, TBin_Par_Gen& record, const TParGenKey (&keys)[N])
{
    for (const TParGenKey& k : keys)
        file.Load_Key(record, k);
}

// KNX_TYPE and KNX_ID_DEV: every model reads them first; the individual
// address takes `missingAddress` when the element is missing.
void Load_Par_Gen_KNX(const TParGenFile& file, TBin_Par_Gen& record, int64_t missingAddress);
// The gateway's own address, mask and gateway from the keys `<prefix>IP1` ...
// `<prefix>EN_GAT`; the gateway becomes 255.255.255.255 unless the enable key
// is exactly "1". `ip4Default` is the default of the fourth address byte.
void Load_Par_Gen_Ethernet(const TParGenFile& file, TBin_Par_Gen& record, const QString& prefix,
                           int ip4Default = 5);

// The KNX table's location, stored by the loader of every model with one.
void Store_KNX_Table_Addresses(TBin_Par_Gen& record);

// Model 9: constants, then KNX, J1939 and Ethernet keys when the file exists.
void Load_Par_Gen_J1939(TImageBuild& build);
