#include "mbus/MBusScanSave.h"

#include "app/UComon.h"
#include "mbus/MBusNetwork.h"
#include "project/ProjectFiles.h"
#include "platform/core/IntConv.h"

namespace X = ProjectFiles::MBusXml;

namespace {

const QString Group = QStringLiteral("Group");
const QString Baudrate = QStringLiteral("Baudrate");
const QString Parity = QStringLiteral("Parity");
const QString Secondary_address = QStringLiteral("Secondary_address");
const QString ModReg = QStringLiteral("ModReg");
const QString ModScale = QStringLiteral("ModScale");
const QString SWAP = QStringLiteral("SWAP");
const QString BACnet_EngUnits = QStringLiteral("BACnet_EngUnits");
const QString BACnet_DataType = QStringLiteral("BACnet_DataType");

QString num(int64_t v)
{
    return QString::number(v);
}

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// A tree node that is absent or cannot be read counts as ticked.
bool ticked(const TMBusTreeNode* node)
{
    if (!node)
        return true;
    try {
        return node->Checked();
    } catch (...) {
        return true;
    }
}

bool codeIn(int code, std::initializer_list<int> codes)
{
    for (int c : codes)
        if (c == code)
            return true;
    return false;
}

bool hasId(int code) { return codeIn(code, {2, 4, 5, 7, 8, 10}); }
bool hasSecondaryAddress(int code) { return codeIn(code, {4, 7}); }
bool hasNodeRegisters(int code) { return codeIn(code, {0, 1, 9, 13, 14}); }

// The register counter of one save.
class TRegisterCounter {
public:
    explicit TRegisterCounter(const TSaveConfXML& in) : FIn(in), FNext(in.Mod_Start) {}

    bool Per_Node() const { return FIn.StartModnode == 1; }

    // The start of device i: its own register in per-node mode (the running
    // counter when the list has none for it).
    void Start_Device(int i)
    {
        if (Per_Node() && i >= 0 && i < FIn.SMN_Array.size())
            FNext = FIn.SMN_Array[i];
    }
    int32_t Take(int registers)
    {
        const int32_t r = FNext;
        FNext += registers;
        return r;
    }
    int32_t Next() const { return FNext; }

    // Node_State and Ident_Num of a node, for the codes that have them in
    // per-node mode.
    void Node_Registers(XmlNode& node)
    {
        if (!Per_Node() || !hasNodeRegisters(FIn.XML_Code_Dev))
            return;
        node.AppendAttribute(X::Node_State, FIn.En_NodeState ? num(Take(2)) : QStringLiteral("0"));
        node.AppendAttribute(X::Ident_Num, FIn.En_IdeNum ? num(Take(1)) : QStringLiteral("0"));
    }

private:
    const TSaveConfXML& FIn;
    int32_t FNext;
};

void writeVariable(XmlNode& parent, const TSaveConfXML& in, TRegisterCounter& counter, const TVariable_MBus& v,
                   int position, bool enabled)
{
    const int code = in.XML_Code_Dev;
    const int df = v.dimension;
    const bool variableLength = df == 13;
    const TMBusRegisterUse use = MBus_Register_Use(df, v.nbyte);

    XmlNode e = parent.AppendElement(X::Variable);
    e.AppendAttribute(X::Enable, flag(enabled));
    e.AppendAttributeInt(X::Position, position);
    // "<text> (U<unit>S<storage>T<tariff>)", joined a field at a time: a
    // percent sign and digit in the text stay as they are.
    QString desc;
    desc.reserve(v.Desc_Type_Data.size() + 32);
    desc.append(v.Desc_Type_Data)
        .append(QLatin1String(" (U"))
        .append(QString::number(v.device))
        .append(QLatin1Char('S'))
        .append(QString::number(v.storage_number))
        .append(QLatin1Char('T'))
        .append(QString::number(v.tarif))
        .append(QLatin1Char(')'));
    e.AppendAttribute(X::Desc, desc);
    e.AppendAttributeInt(X::Type, v.type_data);
    e.AppendAttribute(X::VIF_ASCII, v.type_data == 21 ? v.VIF_ASCII : QString());
    // The file stores maximum as 2 and minimum as 1, the DIF the other way.
    const int fun = v.function_fild == 1 ? 2 : v.function_fild == 2 ? 1 : v.function_fild;
    e.AppendAttributeInt(X::Fun_Field, fun);
    e.AppendAttributeInt(X::Length, variableLength ? v.nbyte : 0);
    // In per-node mode an unticked record takes no registers.
    const int registers = counter.Per_Node() && !enabled ? 0 : use.Registers;
    const int32_t reg = counter.Take(registers);
    if (code != 12)
        e.AppendAttributeInt(ModReg, reg);
    e.AppendAttributeInt(X::Dim, use.Dim);
    e.AppendAttributeInt(X::Unit, v.device);
    e.AppendAttributeInt(X::StoNumber, v.storage_number);
    e.AppendAttributeInt(X::Tariff, v.tarif);
    e.AppendAttributeInt(X::VIFE, v.Type_Data_Vife);
    if (code == 12) {
        e.AppendAttributeInt(BACnet_EngUnits, BACnet_No_Units());
        e.AppendAttribute(BACnet_DataType, QStringLiteral("0"));
        e.AppendAttribute(X::Post_Operation, QStringLiteral("0"));
    } else {
        e.AppendAttribute(ModScale, QStringLiteral("0"));
    }
    e.AppendAttribute(X::BCDtoINT, QStringLiteral("0"));
    e.AppendAttribute(SWAP, QStringLiteral("0"));
}

void appendCode12NodeDefaults(XmlNode& node, bool withType)
{
    if (withType)
        node.AppendAttribute(X::MBus_Type, QStringLiteral("1"));
    for (const QString& a : {X::Node_State, X::Ident_Num, X::BCDtoINT_IN, X::Swap_IN, X::Var_List_Type,
                             QStringLiteral("NS_VarType"), QStringLiteral("IN_VarType")})
        node.AppendAttribute(a, QStringLiteral("0"));
}

// The report's twelve children of a record, after its three attributes.
void reportVariable(XmlNode& parent, const TVariable_MBus& v)
{
    XmlNode e = parent.AppendElement(QStringLiteral("Variable"));
    e.AppendAttribute(QStringLiteral("Value"), v.ValueStr);
    e.AppendAttribute(QStringLiteral("Type"), v.Desc_Type_Data);
    e.AppendAttribute(QStringLiteral("UST"),
                      QStringLiteral("(U%1S%2T%3)").arg(v.device).arg(v.storage_number).arg(v.tarif));
    const std::pair<const char*, QString> children[] = {
        {"Storage_Number", num(v.storage_number)},
        {"Tariff", num(v.tarif)},
        {"Unit", num(v.device)},
        {"Data_Field", v.DataFieldStr},
        {"Function_Field", v.FunctionFieldStr},
        {"Type", v.Desc_Type_Data},
        {"Value", v.ValueStr},
        {"DIF", v.DIF},
        {"VIF", QStringLiteral("$") + IntToHex(v.VIF, 2)},
        {"DIFE", v.DIFE},
        {"VIFE", v.VIFE},
        {"DATA", QStringLiteral("$") + v.totdati},
    };
    for (const auto& [name, text] : children)
        e.AppendElement(QString::fromLatin1(name)).SetText(text);
}

} // namespace

TMBusRegisterUse MBus_Register_Use(int dataField, int bytes)
{
    switch (dataField) {
    case 1:
    case 9:
        return {0, 1};
    case 2:
    case 10:
        return {1, 1};
    case 3:
    case 11:
        return {4, 2};
    case 4:
    case 12:
        return {2, 2};
    case 5:
        return {6, 2};
    case 6:
    case 14:
        return {5, 3};
    case 7:
        return {3, 4};
    case 13: {
        // (n + 1) / 2 to the nearest integer, a half to the even neighbour:
        // odd n gives an integer, even n = 2k gives k + 1/2.
        const int n = bytes < 0 ? 0 : bytes;
        if (n % 2 == 1)
            return {7, (n + 1) / 2};
        const int k = n / 2;
        return {7, k % 2 == 0 ? k : k + 1};
    }
    default:
        return {255, 0};
    }
}

bool Save_XML_Conf_Wired(const TSaveConfXML& DataIn, TMBusSlaveList<TSlave_MBus>& list, int32_t* nextRegister)
{
    auto devices = list.Lock();
    if (devices->isEmpty())
        return false;
    const int code = DataIn.XML_Code_Dev;
    XmlDocument doc;
    XmlNode network = Open_MBus_Network_Document(doc, DataIn.File_Name, DataIn.Append == 1);
    XmlNode parent = network;
    if (code == 4 || code == 7) {
        parent = network.AppendElement(Group);
        parent.AppendAttributeInt(Baudrate, DataIn.Index_Baud);
        parent.AppendAttributeInt(Parity, DataIn.Index_Par);
    }
    TRegisterCounter counter(DataIn);
    for (int i = 0; i < devices->size(); ++i) {
        const TSlave_MBus& d = *(*devices)[i];
        counter.Start_Device(i);
        XmlNode n = parent.AppendElement(X::Node);
        n.AppendAttribute(X::Enable_Node, flag(ticked(d.Node)));
        if (hasId(code))
            n.AppendAttributeInt(X::ID, d.Primary_Addresss);
        if (hasSecondaryAddress(code))
            n.AppendAttribute(Secondary_address, d.Secondary_Addresss);
        n.AppendAttributeInt(X::ID_Primary, d.Primary_Addresss);
        n.AppendAttribute(X::ID_Secondary, d.Secondary_Addresss);
        n.AppendAttributeInt(X::Node_ID_Type, DataIn.Node_ID_Type);
        n.AppendAttribute(X::Descrizione, Manufacturer_Text(uint16_t(d.Manufacture)));
        n.AppendAttribute(X::Send_SND_NKE, flag(DataIn.SND_NKE == 1));
        n.AppendAttribute(X::Reset_App, flag(DataIn.Reset_App == 1));
        n.AppendAttributeInt(X::Cut_After, DataIn.Cut_After - 1);
        if (code == 12)
            appendCode12NodeDefaults(n, true);
        else if (code == 13 || code == 14)
            n.AppendAttribute(X::MBus_Type, QStringLiteral("1"));
        counter.Node_Registers(n);
        for (int r = 0; r < d.List_Var.size(); ++r) {
            const TVariable_MBus& v = *d.List_Var[r];
            writeVariable(n, DataIn, counter, v, r + 1, ticked(v.Node));
        }
    }
    Save_MBus_Network_Document(doc, DataIn.File_Name);
    if (nextRegister)
        *nextRegister = counter.Next();
    return true;
}

bool Save_XML_Conf_Wireless(const TSaveConfXML& DataIn, TMBusSlaveList<TSlave_wMBus>& list, int32_t* nextRegister)
{
    auto devices = list.Lock();
    if (devices->isEmpty())
        return false;
    const int code = DataIn.XML_Code_Dev;
    XmlDocument doc;
    XmlNode network = Open_MBus_Network_Document(doc, DataIn.File_Name, DataIn.Append == 1);
    TRegisterCounter counter(DataIn);
    const QString one = QStringLiteral("1");
    const QString zero = QStringLiteral("0");
    for (int i = 0; i < devices->size(); ++i) {
        const TSlave_wMBus& d = *(*devices)[i];
        counter.Start_Device(i);
        XmlNode n = network.AppendElement(X::Node);
        n.AppendAttribute(X::Enable_Node, flag(d.Enable));
        if (hasId(code))
            n.AppendAttribute(X::ID, one);
        if (hasSecondaryAddress(code))
            n.AppendAttribute(Secondary_address, one);
        n.AppendAttribute(X::ID_Primary, one);
        n.AppendAttribute(X::ID_Secondary, one);
        n.AppendAttribute(X::Node_ID_Type, zero);
        n.AppendAttribute(X::Descrizione, d.ALA_Manu_str);
        n.AppendAttribute(X::Send_SND_NKE, zero);
        n.AppendAttribute(X::Reset_App, zero);
        n.AppendAttribute(X::Cut_After, QStringLiteral("2"));
        if (code == 12)
            appendCode12NodeDefaults(n, false);
        else
            counter.Node_Registers(n);
        n.AppendAttribute(X::MBus_Type, zero);
        n.AppendAttributeInt(X::wMBus_ManID, d.ALA_Manufacturer);
        n.AppendAttributeInt(X::wMBus_Add, d.ALA_Address);
        n.AppendAttributeInt(X::wMBus_Ver, d.ALA_Version);
        n.AppendAttributeInt(X::wMBus_DevType, d.ALA_DeviceType);
        n.AppendAttribute(X::wMBus_En_Key, flag(d.Enable_Key));
        for (int k = 0; k < 16; ++k)
            n.AppendAttributeInt(X::wMBus_Key(k + 1), d.Key[size_t(k)]);
        for (int r = 0; r < d.List_Var.size(); ++r) {
            const TVariable_MBus& v = *d.List_Var[r];
            // Idle-filler placeholders are not variables, but they keep
            // their place in the telegram's positions.
            if (!v.Real_Wireless_Var)
                continue;
            writeVariable(n, DataIn, counter, v, r + 1, v.Enable);
        }
    }
    Save_MBus_Network_Document(doc, DataIn.File_Name);
    if (nextRegister)
        *nextRegister = counter.Next();
    return true;
}

void Save_Wired_Scan_Report(const QString& path, TMBusSlaveList<TSlave_MBus>& list)
{
    XmlDocument doc;
    XmlNode root = doc.CreateRoot(QStringLiteral("SCAN_M-Bus_Wired"));
    auto devices = list.Lock();
    for (const TSlave_MBus* d : *devices) {
        XmlNode n = root.AppendElement(QStringLiteral("Node"));
        n.AppendAttributeInt(QStringLiteral("Primary_Address"), d->Primary_Addresss);
        n.AppendAttribute(QStringLiteral("Secondary_Address"), d->Secondary_Addresss);
        n.AppendAttribute(QStringLiteral("Manufacturer"), QStringLiteral("%1 (%2)")
                                                             .arg(Manufacturer_Text(uint16_t(d->Manufacture)))
                                                             .arg(uint16_t(d->Manufacture)));
        n.AppendAttributeInt(QStringLiteral("Version"), d->Version);
        n.AppendAttributeInt(QStringLiteral("Type"), d->Medium);
        for (const TVariable_MBus* v : d->List_Var)
            reportVariable(n, *v);
    }
    doc.SaveToFile(path);
}

void Save_Wireless_Scan_Report(const QString& path, TMBusSlaveList<TSlave_wMBus>& list)
{
    XmlDocument doc;
    XmlNode root = doc.CreateRoot(QStringLiteral("SCAN_M-Bus_Wireless"));
    auto devices = list.Lock();
    for (const TSlave_wMBus* d : *devices) {
        XmlNode n = root.AppendElement(QStringLiteral("Node"));
        n.AppendAttribute(QStringLiteral("Manufacturer"), d->ALA_Manu_str);
        n.AppendAttribute(QStringLiteral("Address"), IntToHex(uint32_t(d->ALA_Address), 8));
        n.AppendAttributeInt(QStringLiteral("Version"), d->ALA_Version);
        n.AppendAttributeInt(QStringLiteral("Device_Type"), d->ALA_DeviceType);
        n.AppendAttribute(QStringLiteral("Cripted"), d->Cripted ? QStringLiteral("True") : QStringLiteral("False"));
        for (const TVariable_MBus* v : d->List_Var)
            reportVariable(n, *v);
    }
    doc.SaveToFile(path);
}
