#include "image/UEds.h"
#include "project/TableFile.h"

#include "project/Models.h"
#include "project/OpenProject.h"
#include "project/ProjectFiles.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"
#include "platform/xml/XmlDoc.h"

#include <QHash>

#include <algorithm>

PDO_Entry PDO_List[2][Max_PDO];
int32_t Num_RPDO = 0;
int32_t Num_TPDO = 0;
QList<SDO_Index> SDO_List;

const char* const RPDO_Var_Prefix[Max_PDO] = {
    "b",  "c",  "d",  "e",  "f",  "g",  "h",  "j",  "k",  "i",
    "aa", "ab", "ac", "ad", "ae", "af", "ag", "ah", "ai", "al",
    "am", "an", "ao", "ap", "aq", "ar", "as", "at", "au", "av",
};
const char* const TPDO_Var_Prefix[Max_PDO] = {
    "l",  "m",  "n",  "o",  "p",  "q",  "r",  "s",  "t",  "u",
    "ca", "cb", "cc", "cd", "ce", "cf", "cg", "ch", "ci", "cl",
    "cm", "cn", "co", "cp", "cq", "cr", "cs", "ct", "cu", "cv",
};

const QString EDS_File_Name = QStringLiteral("CANopen_KNX.eds");
const QString EDS_Product_Name = QStringLiteral("Converter CANopen / KNX");
const QString EDS_Order_Code = QStringLiteral("GW31A02");
// A neutral placeholder: the data sheet needs three decimal digits here.
const QString EDS_Product_Number = QStringLiteral("000");

namespace {

// A PDO maps at most the 8 bytes of one CAN frame; a larger dimension would
// give sub-indexes and mapping entries the format cannot hold.
constexpr int Max_PDO_Dimension = 8;

// ---------------------------------------------------------------------------
// Reading the table files

XmlNode Required_List(const XmlNode& root, const QString& name, const QString& path)
{
    const XmlNode list = root.IsNull() ? XmlNode() : root.ChildElement(name);
    if (list.IsNull())
        throw EEdsError(QStringLiteral("%1: the list \"%2\" is missing.").arg(path, name));
    return list;
}

// One list of the PDO file into a table; COB-ID falls back to 0 and Dimension
// to 8 when missing or not a number.
int Load_PDO_Table(const XmlNode& list, PDO_Entry* table, const QString& path)
{
    const QList<XmlNode> rows = list.ChildElements();
    if (rows.size() > Max_PDO)
        throw EEdsError(QStringLiteral("%1: \"%2\" holds %3 PDOs; at most %4 are allowed.")
                            .arg(path, list.NodeName())
                            .arg(rows.size())
                            .arg(Max_PDO));
    for (int i = 0; i < rows.size(); ++i) {
        PDO_Entry& e = table[i];
        e.COB_ID = StrToIntDef(rows[i].Attribute(ProjectFiles::CANopenXml::COB_ID).TextOr(QString()), 0);
        e.Dimension = StrToIntDef(rows[i].Attribute(ProjectFiles::CANopenXml::Dimension).TextOr(QString()),
                                  Max_PDO_Dimension);
        if (e.Dimension < 0 || e.Dimension > Max_PDO_Dimension)
            throw EEdsError(QStringLiteral("%1: PDO %2 of \"%3\" has the dimension %4; it must be 0 to %5.")
                                .arg(path)
                                .arg(i + 1)
                                .arg(list.NodeName())
                                .arg(e.Dimension)
                                .arg(Max_PDO_Dimension));
    }
    return int(rows.size());
}

// An SDO row attribute: an integer within [lo, hi], no fallback.
int SDO_Row_Value(const XmlNode& row, const QString& name, int lo, int hi, int rowNo,
                  const QString& listName, const QString& path)
{
    const XmlValue v = row.Attribute(name);
    const QString where = QStringLiteral("%1: row %2 of \"%3\"").arg(path).arg(rowNo).arg(listName);
    if (v.IsNull())
        throw EEdsError(QStringLiteral("%1 has no \"%2\".").arg(where, name));
    int n = 0;
    if (!TryStrToInt(v.TextOr(QString()), n))
        throw EConvertError(QStringLiteral("%1: '%2' is not a valid integer value for \"%3\".")
                                .arg(where, v.TextOr(QString()), name));
    if (n < lo || n > hi)
        throw EEdsError(QStringLiteral("%1: \"%2\" is %3; it must be %4 to %5.")
                            .arg(where, name)
                            .arg(n)
                            .arg(lo)
                            .arg(hi));
    return n;
}

// Where each object index stands in SDO_List while the file is read: a
// thousand rows are placed in one look-up each, not a walk of the list.
QHash<int, int> SDO_Positions;

void Add_SDO_Sub(int index, const SDO_Sub_Type& sub)
{
    const auto at = SDO_Positions.constFind(index);
    if (at != SDO_Positions.constEnd()) {
        SDO_List[*at].Sub_Indexs.append(sub);
        return;
    }
    SDO_Index entry;
    entry.Index = uint16_t(index);
    entry.Sub_Indexs.append(sub);
    SDO_Positions.insert(index, int(SDO_List.size()));
    SDO_List.append(entry);
}

void Load_SDO_Rows(const XmlNode& list, bool readonly, const QString& path)
{
    const QString name = list.NodeName();
    // Counted before anything is read: a list longer than the image's SDO
    // table is refused whole.
    int count = 0;
    for (XmlNode n = list.FirstChildElement(); !n.IsNull(); n = n.NextSiblingElement())
        if (++count > Max_SDO_Rows)
            throw EEdsError(QStringLiteral("%1: \"%2\" holds more than %3 rows, the size of the SDO server table.")
                                .arg(path, name)
                                .arg(Max_SDO_Rows));
    int i = 0;
    for (XmlNode row = list.FirstChildElement(); !row.IsNull(); row = row.NextSiblingElement()) {
        ++i;
        const int index = SDO_Row_Value(row, ProjectFiles::CANopenXml::Index, 0, 0xFFFF, i, name, path);
        SDO_Sub_Type sub;
        sub.Sub = uint8_t(SDO_Row_Value(row, ProjectFiles::CANopenXml::SubIndex, 0, 0xFF, i, name, path));
        sub.Quantity = uint8_t(SDO_Row_Value(row, ProjectFiles::CANopenXml::NByte, 0, 0xFF, i, name, path));
        sub.Readonly = readonly;
        Add_SDO_Sub(index, sub);
    }
}

// ---------------------------------------------------------------------------
// Composing the text

QString Hex(int64_t v, int digits)
{
    return IntToHex(v, digits);
}

QString Hex8(int32_t v)
{
    return IntToHex(int64_t(uint32_t(v)), 8);
}

QString Section_Name(int index)
{
    return QStringLiteral("[") + Hex(index, 4) + QStringLiteral("]");
}

QString Sub_Section_Name(int index, int sub)
{
    return QStringLiteral("[") + Hex(index, 4) + QStringLiteral("sub") + Hex(sub, 1) + QStringLiteral("]");
}

class TEdsText {
public:
    QStringList Lines;

    void Section(const QString& header) { Lines.append(header); }
    void Add(const QString& key, const QString& value) { Lines.append(key + QLatin1Char('=') + value); }
    void Add(const QString& key, int64_t value) { Add(key, QString::number(value)); }
    void Blank() { Lines.append(QString()); }

    // A variable or sub-object in the usual line order; an empty value
    // leaves its line out.
    void Object(const QString& header, const QString& name, const QString& objectType,
                const QString& dataType, const QString& access, const QString& def,
                const QString& pdoMapping)
    {
        Section(header);
        Add(QStringLiteral("ParameterName"), name);
        Add(QStringLiteral("ObjectType"), objectType);
        if (!dataType.isEmpty())
            Add(QStringLiteral("DataType"), dataType);
        if (!access.isEmpty())
            Add(QStringLiteral("AccessType"), access);
        if (!def.isEmpty())
            Add(QStringLiteral("DefaultValue"), def);
        if (!pdoMapping.isEmpty())
            Add(QStringLiteral("PDOMapping"), pdoMapping);
    }

    // A record or array header: SubNumber, ParameterName, ObjectType.
    void Record(const QString& header, int64_t subNumber, const QString& name, const QString& objectType)
    {
        Section(header);
        Add(QStringLiteral("SubNumber"), subNumber);
        Add(QStringLiteral("ParameterName"), name);
        Add(QStringLiteral("ObjectType"), objectType);
    }
};

void Header_Sections(TEdsText& t, const QString& date, const QString& time)
{
    t.Section(QStringLiteral("[FileInfo]"));
    t.Add(QStringLiteral("FileName"), EDS_File_Name);
    t.Add(QStringLiteral("FileVersion"), 1);
    t.Add(QStringLiteral("FileRevision"), 0);
    t.Add(QStringLiteral("EDSVersion"), QStringLiteral("4.0"));
    t.Add(QStringLiteral("Description"), EDS_Product_Name);
    t.Add(QStringLiteral("CreationTime"), time);
    t.Add(QStringLiteral("CreationDate"), date);
    t.Add(QStringLiteral("CreatedBy"), Company_Label);
    t.Add(QStringLiteral("ModificationTime"), time);
    t.Add(QStringLiteral("ModificationDate"), date);
    t.Add(QStringLiteral("ModifiedBy"), Company_Label);
    t.Blank();

    static const char* const Device_Info_Fixed[] = {
        "BaudRate_10=1",        "BaudRate_20=1",
        "BaudRate_50=1",        "BaudRate_125=1",
        "BaudRate_250=1",       "BaudRate_500=1",
        "BaudRate_800=0",       "BaudRate_1000=1",
        "DynamicChannelsSupported=0", "GroupMessaging=0",
        "LSS_Supported=0",      "Granularity=0",
        "SimpleBootUpSlave=1",  "SimpleBootUpMaster=0",
    };
    t.Section(QStringLiteral("[DeviceInfo]"));
    t.Add(QStringLiteral("VendorName"), Company_Label);
    t.Add(QStringLiteral("VendorNumber"), QStringLiteral("0x00"));
    t.Add(QStringLiteral("ProductName"), EDS_Product_Name);
    t.Add(QStringLiteral("ProductNumber"), EDS_Product_Number);
    t.Add(QStringLiteral("RevisionNumber"), QStringLiteral("0x0"));
    t.Add(QStringLiteral("OrderCode"), EDS_Order_Code);
    for (const char* line : Device_Info_Fixed)
        t.Lines.append(QString::fromLatin1(line));
    t.Add(QStringLiteral("NrOfRXPDO"), Num_RPDO);
    t.Add(QStringLiteral("NrOfTXPDO"), Num_TPDO);
    t.Blank();

    t.Section(QStringLiteral("[Comments]"));
    t.Add(QStringLiteral("Lines"), 0);
    t.Blank();

    t.Section(QStringLiteral("[DummyUsage]"));
    for (int i = 1; i <= 7; ++i)
        t.Add(QStringLiteral("Dummy000") + QString::number(i), 0);
    t.Blank();

    t.Section(QStringLiteral("[MandatoryObjects]"));
    t.Add(QStringLiteral("SupportedObjects"), 3);
    t.Add(QStringLiteral("1"), QStringLiteral("0x1000"));
    t.Add(QStringLiteral("2"), QStringLiteral("0x1001"));
    t.Add(QStringLiteral("3"), QStringLiteral("0x1018"));
    t.Blank();
}

// The six groups of PDO objects, in the order their sections are written.
struct TPdoGroup {
    int Base;  // object index of PDO 0
    int Table; // RPDO_Table or TPDO_Table
};
const TPdoGroup Pdo_Groups[6] = {
    {0x1400, RPDO_Table}, {0x1600, RPDO_Table}, {0x1800, TPDO_Table},
    {0x1A00, TPDO_Table}, {0x7000, RPDO_Table}, {0x7050, TPDO_Table},
};

int Pdo_Count(int table)
{
    return table == RPDO_Table ? Num_RPDO : Num_TPDO;
}

void Object_Lists(TEdsText& t)
{
    static const char* const Optional_Fixed[8] = {
        "0x1005", "0x1006", "0x1008", "0x1014", "0x1016", "0x1017", "0x1029", "0x1280",
    };
    t.Section(QStringLiteral("[OptionalObjects]"));
    t.Add(QStringLiteral("SupportedObjects"), 8 + 3 * int64_t(Num_RPDO) + 3 * int64_t(Num_TPDO));
    int k = 1;
    for (const char* index : Optional_Fixed)
        t.Add(QString::number(k++), QString::fromLatin1(index));
    for (const TPdoGroup& g : Pdo_Groups)
        for (int n = 0; n < Pdo_Count(g.Table); ++n)
            t.Add(QString::number(k++), QStringLiteral("0x") + Hex(g.Base + n, 4));
    t.Blank();

    t.Section(QStringLiteral("[ManufacturerObjects]"));
    t.Add(QStringLiteral("SupportedObjects"), SDO_List.size());
    for (int i = 0; i < SDO_List.size(); ++i)
        t.Add(QString::number(i + 1), QStringLiteral("0x") + Hex(SDO_List[i].Index, 4));
    t.Blank();
}

// The standard communication objects. A null column leaves its line out;
// SubNumber -1 means no SubNumber line.
struct TFixedObject {
    const char* Section;
    int SubNumber;
    const char* Name;
    const char* ObjectType;
    const char* DataType;
    const char* Access;
    const char* Default;
    bool PDOMapping;
};
const TFixedObject Fixed_Objects[] = {
    {"[1000]", -1, "Device Type", "0x07", "0x0007", "const", "0x000101A4", true},
    {"[1001]", -1, "Error Register", "0x07", "0x0005", "ro", "0x00", true},
    {"[1005]", -1, "COB-ID SYNC", "0x07", "0x0007", "rw", "0x80000080", true},
    {"[1006]", -1, "Communication Cycle Period", "0x07", "0x0007", "rw", "0x00000000", true},
    {"[1008]", -1, "Manufacturer Device Name", "0x07", "0x0009", "const", "s1", true},
    {"[1014]", -1, "COB-ID EMCY", "0x07", "0x0007", "ro", "$NODEID+0x80", true},
    {"[1016]", 3, "Heartbeat Consumer Entries", "0x08", nullptr, nullptr, nullptr, false},
    {"[1016sub0]", -1, "Number of Entries", "0x07", "0x0005", "ro", "0x02", true},
    {"[1016sub1]", -1, "Consumer Heartbeat Time 1", "0x07", "0x0007", "rw", "0x00000000", true},
    {"[1016sub2]", -1, "Consumer Heartbeat Time 2", "0x07", "0x0007", "rw", "0x00000000", true},
    {"[1017]", -1, "Producer Heartbeat Time", "0x07", "0x0006", "rw", "0x000003E8", true},
    {"[1018]", 5, "Identity Object", "0x09", nullptr, nullptr, nullptr, false},
    {"[1018sub0]", -1, "number of entries", "0x07", "0x0005", "ro", "0x4", true},
    {"[1018sub1]", -1, "Vendor Id", "0x07", "0x0007", "ro", nullptr, true},
    {"[1018sub2]", -1, "Product Code", "0x07", "0x0007", "ro", nullptr, true},
    {"[1018sub3]", -1, "Revision number", "0x07", "0x0007", "ro", nullptr, true},
    {"[1018sub4]", -1, "Serial number", "0x07", "0x0007", "ro", nullptr, true},
    {"[1029]", 2, "Error Behaviour", "0x08", nullptr, nullptr, nullptr, false},
    {"[1029sub0]", -1, "Number of Entries", "0x07", "0x0005", "ro", "1", true},
    {"[1029sub1]", -1, "Communication Error", "0x07", "0x0005", "rw", "0x0", true},
    {"[1280]", 4, "Client SDO Parameter 1", "0x09", nullptr, nullptr, nullptr, false},
    {"[1280sub0]", -1, "Number of Entries", "0x07", "0x0005", "ro", "0x03", true},
    {"[1280sub1]", -1, "COB-ID Client -> Server", "0x07", "0x0007", "rw", nullptr, true},
    {"[1280sub2]", -1, "COB-ID Server -> Client", "0x07", "0x0007", "rw", nullptr, true},
    {"[1280sub3]", -1, "Node ID of the SDO Server", "0x07", "0x0005", "rw", nullptr, true},
};

QString Text(const char* s)
{
    return s ? QString::fromLatin1(s) : QString();
}

void Fixed_Sections(TEdsText& t)
{
    const int count = int(std::size(Fixed_Objects));
    for (int i = 0; i < count; ++i) {
        const TFixedObject& o = Fixed_Objects[i];
        if (o.SubNumber >= 0)
            t.Record(Text(o.Section), o.SubNumber, Text(o.Name), Text(o.ObjectType));
        else
            t.Object(Text(o.Section), Text(o.Name), Text(o.ObjectType), Text(o.DataType), Text(o.Access),
                     Text(o.Default), o.PDOMapping ? QStringLiteral("0") : QString());
        // The last one, [1280sub3], runs straight into the next section.
        if (i + 1 < count)
            t.Blank();
    }
}

void Communication_Object(TEdsText& t, int base, int n, const PDO_Entry& pdo, const QString& direction)
{
    const int index = base + n;
    const QString zero = QStringLiteral("0");
    t.Record(Section_Name(index), 4,
             direction + QStringLiteral(" PDO Communication Parameter ") + QString::number(n + 1),
             QStringLiteral("0x09"));
    t.Blank();
    t.Object(Sub_Section_Name(index, 0), QStringLiteral("Number of Entries"), QStringLiteral("0x07"),
             QStringLiteral("0x0005"), QStringLiteral("ro"), QStringLiteral("0x03"), zero);
    t.Blank();
    t.Object(Sub_Section_Name(index, 1), QStringLiteral("COB-ID"), QStringLiteral("0x07"),
             QStringLiteral("0x0007"), QStringLiteral("rw"), QStringLiteral("0x") + Hex8(pdo.COB_ID), zero);
    t.Blank();
    t.Object(Sub_Section_Name(index, 2), QStringLiteral("Transmission Type"), QStringLiteral("0x07"),
             QStringLiteral("0x0005"), QStringLiteral("rw"), QStringLiteral("0xFE"), zero);
    t.Blank();
    t.Object(Sub_Section_Name(index, 3), QStringLiteral("Inhibit Time"), QStringLiteral("0x07"),
             QStringLiteral("0x0006"), QStringLiteral("rw"), QStringLiteral("0x0"), zero);
    t.Blank();
}

void Mapping_Object(TEdsText& t, int base, int dataBase, int n, const PDO_Entry& pdo, bool receive)
{
    const int index = base + n;
    const int d = pdo.Dimension;
    const QString zero = QStringLiteral("0");
    // The receive mapping record carries no number in its name.
    const QString name = receive ? QStringLiteral("Receive PDO Mapping Parameter")
                                 : QStringLiteral("Transmit PDO Mapping Parameter ") + QString::number(n + 1);
    t.Record(Section_Name(index), d + 1, name, QStringLiteral("0x09"));
    t.Blank();
    t.Object(Sub_Section_Name(index, 0), QStringLiteral("Number of Entries"), QStringLiteral("0x07"),
             QStringLiteral("0x0005"), QStringLiteral("ro"), QStringLiteral("0x") + Hex(d, 2), zero);
    t.Blank();
    for (int j = 1; j <= d; ++j) {
        // Object index, sub-index and bit length (8) of the mapped byte.
        const QString entry = QStringLiteral("0x") + Hex(dataBase + n, 4) + Hex(j, 2) + QStringLiteral("08");
        t.Object(Sub_Section_Name(index, j), QStringLiteral("Mapping Entry ") + QString::number(j),
                 QStringLiteral("0x07"), QStringLiteral("0x0007"), QStringLiteral("ro"), entry, zero);
        t.Blank();
    }
}

void Data_Object(TEdsText& t, int base, int n, const PDO_Entry& pdo, bool receive)
{
    const int index = base + n;
    const int d = pdo.Dimension;
    const QString name = (receive ? QStringLiteral("RPDO") : QStringLiteral("TPDO")) + QString::number(n + 1);
    const QString prefix = QString::fromLatin1(receive ? RPDO_Var_Prefix[n] : TPDO_Var_Prefix[n]);
    t.Record(Section_Name(index), d + 1, name, QStringLiteral("0x08"));
    t.Blank();
    t.Object(Sub_Section_Name(index, 0), QStringLiteral("Number of Entries"), QStringLiteral("0x07"),
             QStringLiteral("0x0005"), receive ? QStringLiteral("ro") : QStringLiteral("rw"),
             QStringLiteral("0x") + Hex(d, 2), QStringLiteral("0"));
    t.Blank();
    for (int j = 1; j <= d; ++j) {
        t.Object(Sub_Section_Name(index, j), prefix + QString::number(j), QStringLiteral("0x07"),
                 QStringLiteral("0x0005"), receive ? QStringLiteral("rww") : QStringLiteral("rwr"),
                 QStringLiteral("0x00"), QStringLiteral("1"));
        t.Blank();
    }
}

void PDO_Sections(TEdsText& t)
{
    for (int n = 0; n < Num_RPDO; ++n)
        Communication_Object(t, 0x1400, n, PDO_List[RPDO_Table][n], QStringLiteral("Receive"));
    for (int n = 0; n < Num_RPDO; ++n)
        Mapping_Object(t, 0x1600, 0x7000, n, PDO_List[RPDO_Table][n], true);
    for (int n = 0; n < Num_TPDO; ++n)
        Communication_Object(t, 0x1800, n, PDO_List[TPDO_Table][n], QStringLiteral("Transmit"));
    for (int n = 0; n < Num_TPDO; ++n)
        Mapping_Object(t, 0x1A00, 0x7050, n, PDO_List[TPDO_Table][n], false);
    for (int n = 0; n < Num_RPDO; ++n)
        Data_Object(t, 0x7000, n, PDO_List[RPDO_Table][n], true);
    for (int n = 0; n < Num_TPDO; ++n)
        Data_Object(t, 0x7050, n, PDO_List[TPDO_Table][n], false);
}

// Data type and limits of an application variable by its size in bytes.
struct TVarType {
    const char* DataType;
    const char* Low;
    const char* High;
    const char* Default;
};
const TVarType &Var_Type(int quantity)
{
    static const TVarType Byte{"0x0005", "0x00", "0xFF", "0x00"};
    static const TVarType Word{"0x0006", "0x0000", "0xFFFF", "0x0000"};
    static const TVarType DWord{"0x0007", "0x00000000", "0xFFFFFFFF", "0x00000000"};
    return quantity == 1 ? Byte : quantity == 2 ? Word : DWord;
}

void Manufacturer_Sections(TEdsText& t)
{
    for (const SDO_Index& entry : SDO_List) {
        const int first = entry.Sub_Indexs.first().Sub;
        const int largest = entry.Sub_Indexs.last().Sub;
        const bool needSub0 = first != 0;
        t.Record(Section_Name(entry.Index), entry.Sub_Indexs.size() + (needSub0 ? 1 : 0),
                 QStringLiteral("App Vars"), QStringLiteral("0x9"));
        t.Blank();
        if (needSub0) {
            t.Object(Sub_Section_Name(entry.Index, 0), QStringLiteral("Largest Sub-Index supported"),
                     QStringLiteral("0x7"), QStringLiteral("0x0005"), QStringLiteral("ro"),
                     QStringLiteral("0x") + Hex(largest, 2), QStringLiteral("0"));
            t.Blank();
        }
        for (const SDO_Sub_Type& sub : entry.Sub_Indexs) {
            const TVarType& type = Var_Type(sub.Quantity);
            t.Section(Sub_Section_Name(entry.Index, sub.Sub));
            t.Add(QStringLiteral("ParameterName"), QStringLiteral("Application Variable"));
            t.Add(QStringLiteral("ObjectType"), QStringLiteral("0x7"));
            t.Add(QStringLiteral("DataType"), Text(type.DataType));
            t.Add(QStringLiteral("LowLimit"), Text(type.Low));
            t.Add(QStringLiteral("HighLimit"), Text(type.High));
            t.Add(QStringLiteral("DefaultValue"), Text(type.Default));
            t.Add(QStringLiteral("AccessType"), sub.Readonly ? QStringLiteral("ro") : QStringLiteral("rw"));
            t.Add(QStringLiteral("PDOMapping"), 0);
            t.Blank();
        }
    }
}

QString Two(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

} // namespace

// ---------------------------------------------------------------------------

void EDS_Load_PDO()
{
    Num_RPDO = 0;
    Num_TPDO = 0;
    const QString path = File_PDO_CANopen;
    if (!Project_File_Present(path))
        return;
    XmlDocument doc;
    doc.LoadFromFile(path);
    const XmlNode root = doc.DocumentElement();
    // Both lists are checked before either count is set, so a faulty file
    // leaves no PDOs behind.
    const XmlNode receive = Required_List(root, ProjectFiles::CANopenXml::List_Receive_PDO, path);
    const XmlNode transmit = Required_List(root, ProjectFiles::CANopenXml::List_Transmit_PDO, path);
    const int nr = Load_PDO_Table(receive, PDO_List[RPDO_Table], path);
    const int nt = Load_PDO_Table(transmit, PDO_List[TPDO_Table], path);
    Num_RPDO = nr;
    Num_TPDO = nt;
}

void EDS_Load_SDO_Server()
{
    SDO_Positions.clear();
    for (int i = 0; i < SDO_List.size(); ++i)
        SDO_Positions.insert(SDO_List[i].Index, i);
    const QString path = File_SDO_Server_CANopen;
    if (!FileExists(path))
        return;
    XmlDocument doc;
    doc.LoadFromFile(path);
    const XmlNode root = doc.DocumentElement();
    const XmlNode reads = Required_List(root, ProjectFiles::CANopenXml::List_SDO_Read, path);
    const XmlNode writes = Required_List(root, ProjectFiles::CANopenXml::List_SDO_Write, path);
    Load_SDO_Rows(reads, true, path);
    Load_SDO_Rows(writes, false, path);
}

int EDS_Find_SDO_Index(int index)
{
    for (int i = 0; i < SDO_List.size(); ++i)
        if (SDO_List[i].Index == index)
            return i;
    return -1;
}

void EDS_Sort_Sub_Indexs()
{
    for (SDO_Index& entry : SDO_List)
        std::stable_sort(entry.Sub_Indexs.begin(), entry.Sub_Indexs.end(),
                         [](const SDO_Sub_Type& a, const SDO_Sub_Type& b) { return a.Sub < b.Sub; });
}

// Composed here rather than through the format settings, whose separators
// the user's tools do not expect to change.
QString EDS_Date_Text(TDateTime date)
{
    int y = 0, m = 0, d = 0;
    DecodeDate(date, y, m, d);
    return Two(m) + QLatin1Char('-') + Two(d) + QLatin1Char('-') + QString::number(y);
}

QString EDS_Time_Text(TDateTime time)
{
    int h = 0, n = 0, sec = 0, ms = 0;
    DecodeTime(time, h, n, sec, ms);
    const int h12 = h % 12 == 0 ? 12 : h % 12;
    return Two(h12) + QLatin1Char(':') + Two(n) + (h < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

QStringList EDS_Lines(TDateTime now)
{
    TEdsText t;
    Header_Sections(t, EDS_Date_Text(now), EDS_Time_Text(now));
    Object_Lists(t);
    Fixed_Sections(t);
    PDO_Sections(t);
    Manufacturer_Sections(t);
    t.Blank();
    return t.Lines;
}

void Write_EDS_File(const QString& path)
{
    SDO_List.clear();
    EDS_Load_PDO();
    EDS_Load_SDO_Server();
    EDS_Sort_Sub_Indexs();

    // One moment for both the creation and the modification stamp.
    const QStringList lines = EDS_Lines(Now());
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toLatin1();
        bytes += "\r\n";
    }
    WriteFileWhole(path, bytes);
}

void Build_EDS_File(const TEdsChooseFile& choose)
{
    if (!choose)
        throw EInvalidOperation(QStringLiteral("No save dialog is connected for the EDS file."));
    QString fileName;
    if (!choose(Dir_Project, QStringLiteral("Electronic Data Sheet (*.eds)|*.eds"), QStringLiteral("*.eds"),
                fileName))
        return;
    Write_EDS_File(fileName);
}
