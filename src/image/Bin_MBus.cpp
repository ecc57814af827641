#include "image/Bin_MBus.h"

#include "project/KNXCodes.h"
#include "project/MBusCodes.h"
#include "project/ProjectFiles.h"
#include "platform/core/IntConv.h"

#include <optional>

namespace {

constexpr int64_t Max_Data_Address = 65535;
constexpr qsizetype Max_Wired_Nodes = 255;


// Block bytes 636..731 are a gap of zeros that the record does not hold.
constexpr int Block_Gap_Start = 636;
constexpr int Block_Gap_Size = 96;

constexpr uint32_t Ip(uint8_t a, uint8_t b, uint8_t c, uint8_t d)
{
    // Dotted-quad bytes in reading order once written little-endian.
    return uint32_t(a) | uint32_t(b) << 8 | uint32_t(c) << 16 | uint32_t(d) << 24;
}

struct TMBusDefault {
    int Offset;
    int Bytes;
    uint32_t Value;
};

// Every non-zero default of the M-Bus general block, by block offset.
constexpr TMBusDefault MBus_Defaults[] = {
    {0, 4, 250000},
    {4, 4, 250000},
    {8, 4, 9600},
    {40, 4, Ip(192, 168, 0, 5)},
    {44, 4, Ip(255, 255, 255, 0)},
    {48, 4, Ip(255, 255, 255, 255)},
    {52, 2, 10000},
    {59, 1, 1},
    {60, 4, 9600},
    {72, 4, Ip(192, 168, 0, 10)},
    {500, 4, 38400},
    {526, 1, 1},
    {527, 1, 1},
    {529, 1, 1},
    {532, 1, 8},
    {533, 1, 8},
    {535, 1, 8},
    {570, 1, 191},
    {590, 1, 1},
    {596, 4, 0x68800},
    {600, 4, 120000},
    {620, 2, 3671},
    {628, 2, 50000},
    {630, 2, 50001},
    {632, 2, 50002},
};

// Meter bit rate by the Meter_Baud item index.
constexpr uint32_t Meter_Bit_Rates[] = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400};
constexpr uint32_t Meter_Bit_Rate_Other = 2400;

// Wireless mode code by the wMBus_Mode item index (S1, T1, N1, N2).
constexpr uint8_t Wireless_Modes[] = {1, 5, 15, 17};
constexpr uint8_t Wireless_Mode_Other = 1;

using MBusCodes::Dim_Variable_Length;
using MBusCodes::Type_VIF_ASCII;
namespace X = ProjectFiles::MBusXml;

constexpr int Stream_Header_Size = 13;
constexpr int Node_Header_Size = 23;
constexpr int Variable_Record_Size = 25;
constexpr uint8_t Stream_Tag = 64;

int recordIndex(int blockOffset)
{
    return blockOffset < Block_Gap_Start ? blockOffset : blockOffset - Block_Gap_Size;
}

// ---------------------------------------------------------------------------
// Reading values

std::optional<int> intOf(const XmlValue& v)
{
    int n;
    if (v.IsNull() || !TryStrToInt(v.TextOr(QString()), n))
        return std::nullopt;
    return n;
}

std::optional<int64_t> int64Of(const XmlValue& v)
{
    int64_t n;
    if (v.IsNull() || !TryStrToInt64(v.TextOr(QString()), n))
        return std::nullopt;
    return n;
}

int attrInt(const XmlNode& e, const QString& name, int fallback)
{
    return intOf(e.Attribute(name)).value_or(fallback);
}

uint32_t attrLow32(const XmlNode& e, const QString& name, int64_t fallback)
{
    return uint32_t(int64Of(e.Attribute(name)).value_or(fallback));
}

bool attrIsOne(const XmlNode& e, const QString& name)
{
    return e.Attribute(name).TextOr(QString()) == QLatin1String("1");
}

std::optional<int> keyIntOf(const TParGenFile& par, const char* key)
{
    QString text;
    int n;
    if (!par.Text(QString::fromLatin1(key), text) || !TryStrToInt(text, n))
        return std::nullopt;
    return n;
}

int keyInt(const TParGenFile& par, const char* key, int fallback)
{
    return keyIntOf(par, key).value_or(fallback);
}

int requiredKeyInt(const TParGenFile& par, const char* key)
{
    const std::optional<int> v = keyIntOf(par, key);
    if (!v)
        throw EImageError(QStringLiteral("%1: \"%2\" is missing or not an integer")
                                  .arg(ProjectFiles::ParGen, QString::fromLatin1(key)));
    return *v;
}

// ---------------------------------------------------------------------------
// The stream

// Appends to the stream, never past its buffer.
class TBank2Writer {
public:
    int Position() const { return int(FBytes.size()); }
    const QByteArray& Bytes() const { return FBytes; }
    void Byte(uint32_t v) { Put(uint8_t(v)); }
    void Word(uint32_t v) { Put(uint8_t(v)); Put(uint8_t(v >> 8)); }
    void DWord(uint32_t v) { Word(v); Word(v >> 16); }
    void DWordBigEndian(uint32_t v) { Put(uint8_t(v >> 24)); Put(uint8_t(v >> 16)); Put(uint8_t(v >> 8)); Put(uint8_t(v)); }
    // Rewrites four bytes already written.
    void DWordAt(int position, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            FBytes[position + i] = char(uint8_t(v >> (8 * i)));
    }

private:
    void Put(uint8_t b)
    {
        if (FBytes.size() >= Bank2_Buffer_Size)
            throw EImageError(QStringLiteral("The M-Bus stream (bank2) is longer than its buffer of %1 bytes")
                                  .arg(Bank2_Buffer_Size));
        FBytes.append(char(b));
    }
    QByteArray FBytes;
};

// ---------------------------------------------------------------------------
// Nodes and variables

struct TNodeReading {
    TMBus_Nodo Node;
    bool Wireless = false;
    TMBus_Node_Record Table_Record;
};

void readCommonNodeFields(const XmlNode& e, TMBus_Nodo& n)
{
    n.Node_State = uint8_t(attrInt(e, X::Node_State, 0));
    n.Ident_Num = uint8_t(attrInt(e, X::Ident_Num, 0));
    n.BCDtoINT_IN = uint8_t(attrInt(e, X::BCDtoINT_IN, 0));
    n.Swap_IN = uint8_t(attrInt(e, X::Swap_IN, 0));
    n.Var_Type = uint8_t(attrInt(e, X::Var_List_Type, 0));
}

TNodeReading readWiredNode(const XmlNode& e, int nodeNo)
{
    TNodeReading r;
    TMBus_Nodo& n = r.Node;
    n.ID_Type = uint8_t(attrInt(e, X::Node_ID_Type, 0));
    const std::optional<int64_t> id = int64Of(e.Attribute(X::ID));
    if (id)
        n.ID = uint32_t(*id);
    else
        n.ID = attrLow32(e, n.ID_Type == 0 ? X::ID_Primary : X::ID_Secondary, 1);
    n.SND_NKE = uint8_t(attrInt(e, X::Send_SND_NKE, 0));
    n.Reset_App = uint8_t(attrInt(e, X::Reset_App, 0));
    readCommonNodeFields(e, n);
    // The file keeps the telegram count minus one; the count is one byte.
    const int64_t cutAfter = attrInt(e, X::Cut_After, 249);
    if (cutAfter < 0 || cutAfter > 254)
        throw EImageError(QStringLiteral("%1: node %2: the attribute \"Cut_After\" is %3, outside 0 to 254")
                              .arg(ProjectFiles::M_Bus)
                              .arg(nodeNo)
                              .arg(cutAfter));
    n.Cut_After = uint8_t(cutAfter + 1);
    return r;
}

TNodeReading readWirelessNode(const XmlNode& e)
{
    TNodeReading r;
    r.Wireless = true;
    TMBus_Node_Record& t = r.Table_Record;
    t.ManID = uint16_t(attrInt(e, X::wMBus_ManID, 0));
    t.Add = attrLow32(e, X::wMBus_Add, 0);
    t.Ver = uint8_t(attrInt(e, X::wMBus_Ver, 0));
    t.DevType = uint8_t(attrInt(e, X::wMBus_DevType, 0));
    t.En_Key = uint8_t(attrInt(e, X::wMBus_En_Key, 0));
    if (t.En_Key == 1)
        for (int k = 0; k < 16; ++k)
            t.Keys[k] = uint8_t(attrInt(e, X::wMBus_Key(k + 1), 0));
    TMBus_Nodo& n = r.Node;
    n.ID = t.Add;
    readCommonNodeFields(e, n);
    return r;
}

int requiredVarInt(const XmlNode& v, const QString& name, int node, int var)
{
    const std::optional<int> n = intOf(v.Attribute(name));
    if (!n)
        throw EImageError(QStringLiteral("%1: node %2, variable %3: \"%4\" is missing or not an integer")
                                  .arg(ProjectFiles::M_Bus)
                                  .arg(node)
                                  .arg(var)
                                  .arg(name));
    return *n;
}

TMBus_Variabile readVariable(const XmlNode& e, int node, int var)
{
    TMBus_Variabile v;
    v.Type_Of_Data = uint8_t(requiredVarInt(e, X::Type, node, var));
    v.Function_Field = uint8_t(MBusCodes::Function_Data_Field(requiredVarInt(e, X::Fun_Field, node, var)));
    v.Dimension = uint8_t(requiredVarInt(e, X::Dim, node, var));
    v.Unita = uint8_t(attrInt(e, X::Unit, 0));
    v.Storage_Num = attrLow32(e, X::StoNumber, 0);
    v.Tarif = attrLow32(e, X::Tariff, 0);
    v.VIFE = uint8_t(attrInt(e, X::VIFE, 0));
    v.BCDtoINT = uint8_t(attrInt(e, X::BCDtoINT, 0));
    v.VIF_ASCII = e.Attribute(X::VIF_ASCII).TextOr(QString());
    if (v.Type_Of_Data == Type_VIF_ASCII) {
        v.Len_VIF_ASCII = uint8_t(v.VIF_ASCII.size());
    } else {
        v.Len_VIF_ASCII = 0;
        v.VIF_ASCII.clear();
    }
    v.Length = uint8_t(attrInt(e, X::Length, 0));
    v.Conv_Float = 0;
    if (attrIsOne(e, X::Conv_Float))
        v.Conv_Float |= 0x01;
    if (attrIsOne(e, X::Force_Int32))
        v.Conv_Float |= 0x02;
    if (attrIsOne(e, X::TP_Mod_Regs))
        v.Conv_Float |= 0x04;
    if (v.Dimension != Dim_Variable_Length)
        v.Length = 0;
    v.Position = uint8_t(attrInt(e, X::Position, 1));
    v.Post_Ope = uint8_t(attrInt(e, X::Post_Operation, 0));
    return v;
}

// The meter's text is reversed for the gateway, one byte per character.
void writeReversedText(TBank2Writer& w, const QString& text, int count)
{
    for (int i = count - 1; i >= 0; --i)
        w.Byte(i < text.size() ? text[i].unicode() & 0xFF : 0);
}

void appendWireless(TMBus_Image& img, const TNodeReading& r)
{
    const int n = int(img.Field(MBusBlock::Wireless_Count, 1));
    if (n >= MBus_Node_Table_Records)
        throw EImageError(QStringLiteral("%1: more than %2 wireless M-Bus nodes, the size of the wireless node table")
                              .arg(ProjectFiles::M_Bus)
                              .arg(MBus_Node_Table_Records));
    img.MBus_Node_Table[n] = r.Table_Record;
    img.Set_Field(MBusBlock::Wireless_Count, 1, uint32_t(n + 1));
    img.MBus_Wireless_Nodes.append(r.Node);
}

// Takes every node of the network file whose kind is present.
void readNetwork(TMBus_Image& img, const XmlNode& root, bool wirePresent, bool wirelessPresent)
{
    int nodeNo = 0;
    for (const XmlNode& e : root.ChildElements()) {
        ++nodeNo;
        if (attrInt(e, X::Enable_Node, 1) != 1)
            continue;
        const bool wired = attrInt(e, X::MBus_Type, 1) == 1;
        if (wired ? !wirePresent : !wirelessPresent)
            continue;
        TNodeReading r = wired ? readWiredNode(e, nodeNo) : readWirelessNode(e);
        int varNo = 0;
        for (const XmlNode& ve : e.ChildElements()) {
            ++varNo;
            if (ve.Attribute(X::Enable).TextOr(QString()) != QLatin1String("1"))
                continue;
            r.Node.Vars.append(readVariable(ve, nodeNo, varNo));
        }
        // A node without any used variable takes no header and no table record.
        if (r.Node.Vars.isEmpty())
            continue;
        if (r.Wireless)
            appendWireless(img, r);
        else
            img.MBus_Wired_Nodes.append(r.Node);
    }
}

// Wired nodes first, then wireless: the order of headers, records and texts.
template <typename F>
void forEachNode(TMBus_Image& img, F f)
{
    for (TMBus_Nodo& n : img.MBus_Wired_Nodes)
        f(n);
    for (TMBus_Nodo& n : img.MBus_Wireless_Nodes)
        f(n);
}

// Stream offsets of every node's variable records and every VIF text.
void layoutStream(TMBus_Image& img)
{
    uint32_t offset = Stream_Header_Size
        + Node_Header_Size * uint32_t(img.MBus_Wired_Nodes.size() + img.MBus_Wireless_Nodes.size());
    forEachNode(img, [&](TMBus_Nodo& n) {
        n.Add = offset;
        offset += Variable_Record_Size * uint32_t(n.Vars.size());
    });
    forEachNode(img, [&](TMBus_Nodo& n) {
        for (TMBus_Variabile& v : n.Vars) {
            v.Address_VIF_ASCII = offset;
            offset += v.Len_VIF_ASCII;
        }
    });
}

// What a variable adds to its node's share of the data area. A variable-length
// value counts its Length here even where its flags size its own slot as 4 or
// 8 bytes: the gateway places the next node after this total.
int nodeTotalSize(const TMBus_Variabile& v, const TMBus_Nodo& node)
{
    return v.Dimension == Dim_Variable_Length ? v.Length : MBus_Data_Size(v, node);
}

// Data addresses are 16-bit words in the stream: a network whose data area
// reaches past 65535 is refused instead of wrapping onto its own start.
void checkDataAddress(int64_t address)
{
    if (address > Max_Data_Address)
        throw EImageError(QStringLiteral("%1: the network's data area reaches address %2, beyond %3")
                              .arg(ProjectFiles::M_Bus)
                              .arg(address)
                              .arg(Max_Data_Address));
}

void assignDataAddresses(TMBus_Image& img)
{
    int64_t address = 0;
    forEachNode(img, [&](TMBus_Nodo& n) {
        n.Add_NS = uint16_t(address);
        if (n.Node_State == 1)
            address += 1;
        n.Add_IN = uint16_t(address);
        if (n.Ident_Num == 1)
            address += 4;
        checkDataAddress(address);
        n.Appoggio_Add_Variabili = int32_t(address);
        for (const TMBus_Variabile& v : n.Vars) {
            checkDataAddress(address);
            address += nodeTotalSize(v, n);
        }
    });
}

void writeNodeHeader(TBank2Writer& w, const TMBus_Nodo& n)
{
    w.Byte(n.ID_Type);
    w.DWordBigEndian(n.ID);
    w.Word(uint32_t(n.Vars.size()));
    w.DWord(n.Add);
    w.Byte(n.SND_NKE);
    w.Byte(n.Reset_App);
    w.Byte(n.Node_State);
    w.Word(n.Add_NS);
    w.Byte(n.Ident_Num);
    w.Word(n.Add_IN);
    w.Byte(n.BCDtoINT_IN);
    w.Byte(n.Swap_IN);
    w.Byte(n.Var_Type);
    w.Byte(n.Cut_After);
}

void writeVariableRecord(TBank2Writer& w, const TMBus_Variabile& v, int32_t dataAddress)
{
    w.Byte(v.Type_Of_Data);
    w.Byte(v.Function_Field);
    w.Byte(MBus_Dimension_Code(v.Dimension));
    w.Word(uint32_t(dataAddress));
    w.Byte(v.Unita);
    w.DWord(v.Storage_Num);
    w.DWord(v.Tarif);
    w.Byte(v.VIFE);
    w.Byte(v.BCDtoINT);
    w.Byte(v.Length);
    w.Byte(v.Len_VIF_ASCII);
    w.DWord(v.Address_VIF_ASCII);
    w.Byte(v.Position);
    w.Byte(v.Post_Ope);
    w.Byte(v.Conv_Float);
}

void writeStreamBody(TMBus_Image& img, TBank2Writer& w)
{
    forEachNode(img, [&](TMBus_Nodo& n) { writeNodeHeader(w, n); });
    forEachNode(img, [&](TMBus_Nodo& n) {
        int64_t address = n.Appoggio_Add_Variabili;
        for (const TMBus_Variabile& v : n.Vars) {
            checkDataAddress(address);
            writeVariableRecord(w, v, int32_t(address));
            address += MBus_Data_Size(v, n);
        }
    });
    forEachNode(img, [&](TMBus_Nodo& n) {
        for (const TMBus_Variabile& v : n.Vars)
            writeReversedText(w, v.VIF_ASCII, v.Len_VIF_ASCII);
    });
}

uint32_t meterBitRate(int index)
{
    return index >= 0 && index < int(std::size(Meter_Bit_Rates)) ? Meter_Bit_Rates[index] : Meter_Bit_Rate_Other;
}

uint8_t wirelessMode(int index)
{
    return index >= 0 && index < int(std::size(Wireless_Modes)) ? Wireless_Modes[index] : Wireless_Mode_Other;
}

// The trailer of general parameters, and the general block fields beside it.
void writeTrailer(TMBus_Image& img, TBank2Writer& w, const TParGenFile& par)
{
    static const char* const addressKeys[12] = {
        "Modbus_TCP_Slave_IP1", "Modbus_TCP_Slave_IP2", "Modbus_TCP_Slave_IP3", "Modbus_TCP_Slave_IP4",
        "Modbus_TCP_Slave_SM1", "Modbus_TCP_Slave_SM2", "Modbus_TCP_Slave_SM3", "Modbus_TCP_Slave_SM4",
        "Modbus_TCP_Slave_GAT1", "Modbus_TCP_Slave_GAT2", "Modbus_TCP_Slave_GAT3", "Modbus_TCP_Slave_GAT4"};
    for (int i = 0; i < 12; ++i) {
        const uint8_t octet = uint8_t(requiredKeyInt(par, addressKeys[i]));
        w.Byte(octet);
        img.Set_Field(MBusBlock::IP_Address + i, 1, octet);
    }
    const int enGat = requiredKeyInt(par, "Modbus_TCP_Slave_EN_GAT");
    w.Byte(uint32_t(enGat));
    if (enGat == 0)
        img.Set_Field(MBusBlock::Gateway_Address, 4, Ip(255, 255, 255, 255));
    w.Word(10001);
    img.Set_Field(MBusBlock::Service_Port, 2, 10001);
    img.Set_Field(MBusBlock::Service_Port_Copy, 2, 10001);
    img.Set_Field(MBusBlock::Fixed_600, 4, 120000);
    const int baud = requiredKeyInt(par, "Meter_Baud");
    w.Byte(uint32_t(baud));
    img.Set_Field(MBusBlock::Meter_Bit_Rate, 4, meterBitRate(baud));
    const int64_t parity = requiredKeyInt(par, "Meter_Par");
    // The trailer keeps the index and the block one more, each in a byte.
    if (parity < 0 || parity > 254)
        throw EImageError(QStringLiteral("%1: \"Meter_Par\" is %2, outside 0 to 254").arg(ProjectFiles::ParGen).arg(parity));
    w.Byte(uint32_t(parity));
    // The list reads NONE, EVEN, ODD; the gateway counts 0 none, 2 even, 3 odd.
    img.Set_Field(MBusBlock::Meter_Parity, 1, uint32_t(parity == 0 ? 0 : parity + 1));
    w.Byte(0);
    w.Word(uint32_t(requiredKeyInt(par, "Meter_Req_Delay")));
    w.Byte(uint32_t(img.MBus_Wired_Nodes.size()));
    w.Word(0);
    w.Byte(uint32_t(keyInt(par, "Meter_NS_Error_Code", 255)));
    w.Byte(uint32_t(img.MBus_Wireless_Nodes.size()));
    img.Set_Field(MBusBlock::Wireless_Count, 1, uint32_t(img.MBus_Wireless_Nodes.size()));
    w.Word(0);

    img.Set_Field(MBusBlock::Wireless_Mode, 1, wirelessMode(keyInt(par, "wMBus_Mode", 0)));
    img.Set_Field(MBusBlock::Radio_Channel, 1, uint32_t(keyInt(par, "wMBus_Radio_Channel", 0)));
    img.Set_Field(MBusBlock::Fixed_504, 4, 19200);
    img.Set_Field(MBusBlock::Fixed_522, 1, 0);
    img.Set_Field(MBusBlock::Fixed_528, 1, 1);
    img.Set_Field(MBusBlock::Fixed_534, 1, 8);
    img.Set_Field(MBusBlock::Fixed_584, 1, 3);
    img.Set_Field(MBusBlock::Fixed_585, 1, 5);
    img.Set_Field(MBusBlock::Fixed_586, 1, 5);
    img.Set_Field(MBusBlock::Table_Address_KNX, 4, 0x68C00);
    img.Set_Field(MBusBlock::Fixed_608, 4, 0x6B400);
    QString id;
    img.Set_Field(MBusBlock::KNX_Individual_Address, 2,
                  par.Text(QStringLiteral("KNX_ID_DEV"), id) ? uint32_t(Par_Gen_Individual_Address(id)) : 4552u);
}

} // namespace

// ---------------------------------------------------------------------------

uint32_t TMBus_Image::Field(int blockOffset, int bytes) const
{
    const int r = recordIndex(blockOffset);
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | MBus_Par_Gen[size_t(r + i)];
    return v;
}

void TMBus_Image::Set_Field(int blockOffset, int bytes, uint32_t value)
{
    const int r = recordIndex(blockOffset);
    for (int i = 0; i < bytes; ++i)
        MBus_Par_Gen[size_t(r + i)] = uint8_t(value >> (8 * i));
}

void TMBus_Image::Init_MBus_Par_Gen()
{
    MBus_Par_Gen.fill(0);
    for (const TMBusDefault& d : MBus_Defaults)
        Set_Field(d.Offset, d.Bytes, d.Value);
}

void TMBus_Image::Init_MBus_Node_Table()
{
    MBus_Node_Table.fill(TMBus_Node_Record{});
}

int MBus_Data_Size(const TMBus_Variabile& v, const TMBus_Nodo& node)
{
    MBusCodes::TVariableSize size;
    size.Dimension = v.Dimension;
    size.Length = v.Length;
    size.Type_Of_Data = v.Type_Of_Data;
    size.Conv_Float = (v.Conv_Float & 0x01) != 0;
    size.Force_Int32 = (v.Conv_Float & 0x02) != 0;
    size.TP_Mod_Regs = (v.Conv_Float & 0x04) != 0;
    return MBusCodes::Variable_Data_Bytes(size, node.Var_Type);
}

uint8_t MBus_Dimension_Code(uint8_t dim)
{
    return MBusCodes::Dimension_Code(dim).Data_Field;
}

void Load_MBus_Network(TImageBuild& build, TMBus_Image& img)
{
    img.MBus_Wired_Nodes.clear();
    img.MBus_Wireless_Nodes.clear();
    TBank2Writer w;
    w.Byte(Stream_Tag);
    w.DWord(Stream_Header_Size);
    w.DWord(0); // first wireless header, known once the nodes are read
    w.DWord(0); // trailer offset

    bool wirePresent = false;
    bool wirelessPresent = false;
    bool hasParGen = false;
    {
        const TParGenFile par(build);
        hasParGen = par.Exists();
        if (hasParGen) {
            wirePresent = keyInt(par, "MBus_Options_Wire_Present", 0) == 1;
            wirelessPresent = keyInt(par, "MBus_Options_Wireless_Present", 0) == 1;
        }
    }
    if (build.Has_File(ProjectFiles::M_Bus)) {
        const TProjectFile network = build.Load_File(ProjectFiles::M_Bus);
        readNetwork(img, network.Root(), wirePresent, wirelessPresent);
    }
    // The trailer counts the wired nodes in one byte.
    if (img.MBus_Wired_Nodes.size() > Max_Wired_Nodes)
        throw EImageError(QStringLiteral("%1: %2 wired M-Bus nodes are used, more than %3")
                              .arg(ProjectFiles::M_Bus)
                              .arg(img.MBus_Wired_Nodes.size())
                              .arg(Max_Wired_Nodes));

    w.DWordAt(5, Stream_Header_Size + Node_Header_Size * uint32_t(img.MBus_Wired_Nodes.size()));
    layoutStream(img);
    assignDataAddresses(img);
    writeStreamBody(img, w);
    w.DWordAt(9, uint32_t(w.Position()));
    if (hasParGen)
        writeTrailer(img, w, TParGenFile(build));
    build.Bank2 = w.Bytes();
}

int Save_MBus_Par_Gen(const TMBus_Image& img, int position, TBinBuffer& buffer)
{
    const uint8_t* rec = img.MBus_Par_Gen.data();
    buffer.PutBytes(position, rec, Block_Gap_Start);
    buffer.Fill(position + Block_Gap_Start, 0, Block_Gap_Size);
    buffer.PutBytes(position + Block_Gap_Start + Block_Gap_Size, rec + Block_Gap_Start,
                    MBus_Par_Gen_Size - Block_Gap_Start);
    uint32_t sum = 0;
    for (int i = 0; i < MBus_Block_Size - 4; ++i)
        sum += buffer.At(position + i);
    buffer.Put32(position + MBus_Block_Size - 4, sum);
    return position + MBus_Block_Size;
}

int Save_MBus_Node_Table(const TMBus_Image& img, int position, TBinBuffer& buffer)
{
    for (const TMBus_Node_Record& t : img.MBus_Node_Table) {
        buffer.Fill(position, 0, MBus_Node_Record_Size);
        buffer.Put16(position, t.ManID);
        buffer.Put32(position + 2, t.Add);
        buffer.Put8(position + 6, t.Ver);
        buffer.Put8(position + 7, t.DevType);
        buffer.PutBytes(position + 8, t.Keys.data(), int(t.Keys.size()));
        buffer.Put8(position + 24, t.En_Key);
        position += MBus_Node_Record_Size;
    }
    return position;
}

void Build_Bin_MBus(TImageBuild& build)
{
    TMBus_Image img;
    img.Init_MBus_Par_Gen();
    build.KNX_Table.Init_KNX_Table();
    img.Init_MBus_Node_Table();
    img.Set_Field(MBusBlock::Stream_Tag, 1, Stream_Tag);
    Load_MBus_Network(build, img);
    Load_KNX_Table(build);
    img.Set_Field(MBusBlock::KNX_Read_Count, 4, uint32_t(build.KNX_Table.KNX_Read_Count));
    img.Set_Field(MBusBlock::KNX_Object_Count, 4, uint32_t(build.KNX_Table.KNX_Object_Count));
    TBinBuffer& bin = build.Bin;
    bin.Bin_Count = 0;
    bin.Bin_Count = Save_MBus_Par_Gen(img, bin.Bin_Count, bin);
    bin.Bin_Count = Save_MBus_Node_Table(img, bin.Bin_Count, bin);
    Save_KNX_Table(build);
}
