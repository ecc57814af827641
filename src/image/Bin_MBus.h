#pragma once
// Device image of the M-Bus master models (10, 1010).
//
// These models are configured with two files: bank1.bin, a fixed image of the
// M-Bus general block, the table of wireless meters and the KNX object table,
// and bank2.bin, a variable-length stream that describes every meter (node)
// and every value (variable) the gateway reads, closed by a trailer of
// general parameters. Both are compiled from M_Bus.xml, ParGen.xml and
// KNX_SetAccess.xml.
//
// A reading that cannot complete (a file that cannot be parsed, a used
// variable without an integer Type, Fun_Field or Dim, a trailer key that is
// missing or not an integer, more than 32 wireless meters, a stream longer
// than its buffer) raises EImageError: the build stops and neither bank
// file is written, so the device never receives a half-read network.
#include "image/ImageBuild.h"

#include <QList>
#include <QString>

#include <array>
#include <cstdint>


// One value the gateway takes from a meter's answers.
struct TMBus_Variabile {
    uint8_t Type_Of_Data = 0;   // the network file's Type code 0..25 (20 time point, 21 VIF in ASCII)
    uint8_t Function_Field = 0; // 0 instantaneous, 1 maximum, 2 minimum, 3 value during error state
    uint8_t Dimension = 0;      // the network file's Dim code 0..7
    uint8_t Unita = 0;
    uint32_t Storage_Num = 0;
    uint32_t Tarif = 0;
    uint8_t VIFE = 0;
    uint8_t BCDtoINT = 0;
    uint8_t Length = 0;         // bytes of a variable-length value; 0 for every other dimension
    uint8_t Len_VIF_ASCII = 0;  // characters of VIF_ASCII; 0 unless Type_Of_Data is 21
    uint32_t Address_VIF_ASCII = 0;
    QString VIF_ASCII;
    uint8_t Position = 0;
    uint8_t Post_Ope = 0;
    uint8_t Conv_Float = 0;     // bit 0 convert in float, bit 1 force int32, bit 2 eight-byte time point
    QString Desc;
};

// One meter that contributes to the stream.
struct TMBus_Nodo {
    uint32_t ID = 0;            // primary or secondary address; wireless: the wireless address
    uint8_t SND_NKE = 0;
    uint8_t Reset_App = 0;
    uint32_t Add = 0;           // stream offset of the node's first variable record
    uint8_t Node_State = 0;
    uint16_t Add_NS = 0;
    uint8_t Ident_Num = 0;
    uint16_t Add_IN = 0;
    uint8_t BCDtoINT_IN = 0;
    uint8_t Swap_IN = 0;
    uint8_t ID_Type = 0;        // 0 primary, 1 secondary address
    uint8_t Var_Type = 0;       // 0 "By Type", 1 "By Position"
    uint8_t Cut_After = 0;      // answer telegrams to read
    QList<TMBus_Variabile> Vars;
    QString Desc;
    int32_t Appoggio_Add_Variabili = 0; // data address of the node's first variable
};

// One wireless meter of the node table.
struct TMBus_Node_Record {
    uint16_t ManID = 0;
    uint32_t Add = 0;
    uint8_t Ver = 0;
    uint8_t DevType = 0;
    std::array<uint8_t, 16> Keys{};
    uint8_t En_Key = 0;
};

inline constexpr int MBus_Node_Table_Records = 32;
inline constexpr int MBus_Node_Record_Size = 32;
inline constexpr int MBus_Par_Gen_Size = 1948;
inline constexpr int MBus_Block_Size = 2048;
inline constexpr int Bank2_Buffer_Size = 100000;
inline constexpr int MBus_Bank1_Length = 23552;

// Block offsets of the M-Bus general block fields that the build changes.
namespace MBusBlock {
inline constexpr int IP_Address = 40;
inline constexpr int Subnet_Mask = 44;
inline constexpr int Gateway_Address = 48;
inline constexpr int Service_Port = 54;
inline constexpr int Service_Port_Copy = 56;
inline constexpr int Stream_Tag = 59;
inline constexpr int Fixed_504 = 504;
inline constexpr int Meter_Bit_Rate = 508;
inline constexpr int Fixed_522 = 522;
inline constexpr int Meter_Parity = 523;
inline constexpr int Fixed_528 = 528;
inline constexpr int Fixed_534 = 534;
inline constexpr int Wireless_Count = 564;
inline constexpr int Wireless_Mode = 568;
inline constexpr int Radio_Channel = 582;
inline constexpr int Fixed_584 = 584;
inline constexpr int Fixed_585 = 585;
inline constexpr int Fixed_586 = 586;
inline constexpr int Fixed_600 = 600;
inline constexpr int Table_Address_KNX = 604;
inline constexpr int Fixed_608 = 608;
inline constexpr int KNX_Read_Count = 612;
inline constexpr int KNX_Object_Count = 616;
inline constexpr int KNX_Individual_Address = 622;
} // namespace MBusBlock

// The records of one M-Bus build.
struct TMBus_Image {
    // The general record: record bytes 0..635 are block bytes 0..635, record
    // bytes 636..1947 are block bytes 732..2043.
    std::array<uint8_t, MBus_Par_Gen_Size> MBus_Par_Gen{};
    std::array<TMBus_Node_Record, MBus_Node_Table_Records> MBus_Node_Table{};
    QList<TMBus_Nodo> MBus_Wired_Nodes;
    QList<TMBus_Nodo> MBus_Wireless_Nodes;

    // A field of the general record by its block offset (little-endian).
    uint32_t Field(int blockOffset, int bytes) const;
    void Set_Field(int blockOffset, int bytes, uint32_t value);

    void Init_MBus_Par_Gen();
    void Init_MBus_Node_Table();
};

// Reads ParGen.xml and M_Bus.xml into the node lists, the node table, the
// general record and the stream (build.Bank2).
void Load_MBus_Network(TImageBuild& build, TMBus_Image& image);
// Write into the buffer at the position; return the position after.
int Save_MBus_Par_Gen(const TMBus_Image& image, int position, TBinBuffer& buffer);
int Save_MBus_Node_Table(const TMBus_Image& image, int position, TBinBuffer& buffer);

// Models 10 and 1010: bank1 image in the build's buffer (Bin_Count 23552),
// the stream in build.Bank2.
void Build_Bin_MBus(TImageBuild& build);

// Data bytes a variable takes in the gateway's data area, as the variable
// addresses inside its node advance.
int MBus_Data_Size(const TMBus_Variabile& v, const TMBus_Nodo& node);
// Data field code of EN 13757-3 written for a Dim code.
uint8_t MBus_Dimension_Code(uint8_t dim);
