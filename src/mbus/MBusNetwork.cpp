#include "mbus/MBusNetwork.h"

#include "project/MBusCodes.h"
#include "project/ProjectFiles.h"
#include "project/TableFile.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"

#include <limits>
#include <utility>

namespace X = ProjectFiles::MBusXml;

const std::array<const char*, 26> Type_Texts = {
    "Energy (Wh)",
    "Energy (J)",
    "Volume (m³)",
    "Mass (Kg)",
    "On Time",
    "Operating Time",
    "Power (W)",
    "Power (J/h)",
    "Volume Flow (m³/h)",
    "Volume Flow Ext. (m³/min)",
    "Volume Flow Ext. (m³/s)",
    "Mass Flow (Kg/h)",
    "Flow Temperature (°C)",
    "Return Temperature (°C)",
    "Temperature Difference (K)",
    "External Temperature (°C)",
    "Pressure (bar)",
    "Averaging Duration ",
    "Actuality Duration",
    "Type of  Data in VIFE",
    "Time Point",
    "VIF is in ASCII",
    "Unit for H.C.A.",
    "Fabrication No",
    "(Enhanced) Identification",
    "Bus Address",
};

const std::array<TFunctionCode, 4> Function_Codes = {{
    {"Instantaneous Value", 0},
    {"Minimun Value", 2},
    {"Maximum Value", 1},
    {"Value During Error State", 3},
}};

const std::array<const char*, 8> Dimension_Texts = {
    "8", "16", "32", "64", "24", "48", "32 Real", "Variable Length",
};
static_assert(std::tuple_size_v<decltype(Dimension_Texts)> == MBusCodes::Dimension_Codes.size());

const std::array<const char*, 13> Post_Operation_Texts = {
    "None",      " : 10",     " : 100",     " : 1000",     " : 10000",     " : 100000",     " : 1000000",
    " * 10",     " * 100",    " * 1000",    " * 10000",    " * 100000",    " * 1000000",
};

const std::array<const char*, 126> VIFE_Texts = {
    "Not Selected",
    // The FDh extension table
    "Credit of the nominal local legal currency units",
    "Debit of the nominal local legal currency units",
    "Access Number (transmission count)",
    "Medium (as in fixed header)",
    "Manufacturer (as in fixed header)",
    "Parameter set identification",
    "Model/Version",
    "Hardware Version #",
    "Firmware Version #",
    "Software Version #",
    "Customer Location",
    "Customer",
    "Access Code User",
    "Access Code Operator",
    "Access Code System Operator",
    "Access Code Developer",
    "Password",
    "Error flags (binary)",
    "Error mask",
    "Digital Output (binary)",
    "Digital Input (binary)",
    "Baudrate [Baud]",
    "response delay time [bittimes]",
    "Retry",
    "First storage # for cyclic storage",
    "Last storage # for cyclic storage",
    "Size of storage block",
    "Storage interval [sec(s)..day(s)]",
    "Storage interval month(s)",
    "Storage interval year(s)",
    "Duration since last readout[sec(s)..day(s)]",
    "Start (date/time) of tariff",
    "Duration of tariff (nn=01..11:min to day)",
    "Period of tariff [sec(s) to day(s)]",
    "Period of tariff months(s)",
    "Period of tariff year(s)",
    "dimensionless/ no VIF",
    "Volts ",
    "Ampere",
    "Reset counter",
    "Comulation counter",
    "Control signal",
    "Day of week",
    "Week number",
    "Time point of day change",
    "State of parameter activation",
    "Special supplier information",
    "Duration since last comulation [hour(s)..year(s)]",
    "Operation time battery [hour(s)..year(s)]",
    "Date and time of battery change",
    // The FBh extension table
    "Energy MWh",
    "Energy GJ",
    "Volume ",
    "Mass",
    "Volume 0,1 feet^3",
    "Volume 0,1 american gallon",
    "Volume 1 american gallon",
    "Volume flow 0,001 american gallon/min",
    "Volume flow 1 american gallon/min",
    "Volume flow 1 american gallon/h",
    "Power MW",
    "Power GJ/h",
    "Flow Temperature",
    "Return Temperature",
    "Temperature Difference",
    "External Temperature",
    "Cold/Warm Temperature Limit °F",
    "Cold/Worm Temperature Limit °C",
    "Cumul. count max power",
    // The combinable VIFEs
    "per second",
    "per minute",
    "per hour",
    "per day",
    "per week",
    "per month",
    "per year",
    "per revolution/measurement",
    "increment per input pulse on input channel",
    "increment per output pulse on output channel",
    "per liter",
    "per m^3",
    "per kg",
    "per K (Kelvin)",
    "per kWh",
    "per GJ",
    "per kW",
    "per (K*l)(Kelvin*liter) ",
    "per V (Volt)",
    "per A (Ampere)",
    "multiplied by sek",
    "multiplied by sek/V",
    "multiplied by sek/A",
    "start date(/time) of",
    "VIF contains uncorrected unit instead of corrected unit",
    "Accumulation only if positive contributions",
    "Accumulation of abs value only if negative contributions",
    "upper/lower limit value",
    "# of exceeds of lower/upper limit",
    "Date(/time) of begin/end of first/last lower/upper limit exceed",
    "Duration of limit exceed",
    "Duration of first/last",
    "Date(/time) of first/last begin/end",
    "Multiplicative currection factor",
    "Additive correction constant * unit of VIF (offset)",
    "Moltiplicative correction factor: 10^3",
    "future value",
    "next VIFE's and data of this block are manufacturer specific",
    // The record errors
    "None",
    "Too many DIFE's",
    "Storage number not implemented",
    "Unit number not implemented",
    "Tariff number not implemented",
    "Function not implemented",
    "Data class not implemented",
    "Data size not implemented",
    "Too many VIFE's",
    "Illegal VIF-Group",
    "Illegal VIF-Exponent",
    "VIF/DIF mismatch",
    "Unimplemented action",
    "No data available (undefined value)",
    "Data overflow",
    "Data underflow",
    "Data error",
    "Premature end of record ",
};

QString Code_Text(const char* text)
{
    return QString::fromUtf8(text);
}

namespace {

static_assert(MBusCodes::Function_Data_Field(1) == 2 && MBusCodes::Function_Data_Field(2) == 1);

// ---------------------------------------------------------------------------
// Reading

// A storage number is an unsigned 32-bit value: read through the 64-bit
// conversion so 4294967295 comes back as written; anything outside is
// malformed and takes the default.
uint32_t storageNumber(const TRowReader& r)
{
    const int64_t v = r.Number64_Or(X::StoNumber, -1, 0);
    return v >= 0 && v <= int64_t(std::numeric_limits<uint32_t>::max()) ? uint32_t(v) : 0;
}

// `list` names the node in messages.
std::unique_ptr<TVariabile> readVariable(const XmlNode& e, const QString& fileName, const QString& list, int varNo)
{
    const TRowReader r(e, fileName, varNo, list);
    auto v = std::make_unique<TVariabile>();
    v->Enable = r.Text_Is(X::Enable, QLatin1String("1"));
    v->Description = r.Text_Or(X::Desc, QString());
    v->Type_Of_Data = r.Integer(X::Type);
    v->Function_Field = r.Integer(X::Fun_Field);
    v->Dimension = r.Integer(X::Dim);
    v->Unita = r.Number_Or(X::Unit, 0, 0);
    v->Storage_Number = storageNumber(r);
    v->Tariff = r.Number_Or(X::Tariff, 0, 0);
    v->VIFE = uint8_t(r.Number_Or(X::VIFE, 0, 0));
    v->BCDtoINT = r.Text_Is(X::BCDtoINT, QLatin1String("1"));
    v->VIF_ASCII = r.Text_Or(X::VIF_ASCII, QString());
    v->Length = r.Number_Or(X::Length, 0, 0);
    v->Conv_Float = r.Text_Is(X::Conv_Float, QLatin1String("1"));
    v->Force_Int32 = r.Text_Is(X::Force_Int32, QLatin1String("1"));
    v->TP_Mod_Regs = r.Text_Is(X::TP_Mod_Regs, QLatin1String("1"));
    v->Position = uint8_t(r.Number_Or(X::Position, 1, 1));
    v->Post_Operation = uint8_t(r.Number_Or(X::Post_Operation, 0, 0));
    return v;
}

std::unique_ptr<TNodo> readNode(const XmlNode& e, const QString& fileName, int nodeNo)
{
    const TRowReader r(e, fileName, nodeNo);
    auto n = std::make_unique<TNodo>();
    // Enable_Node, the description and the address kind come first: the
    // address read next depends on the kind.
    n->Enable = !r.Text_Is(X::Enable_Node, QLatin1String("0"));
    n->Description = r.Text_Or(X::Descrizione, QString());
    n->Node_ID_Type = uint8_t(r.Number_Or(X::Node_ID_Type, 0, 0));
    int64_t id = 0;
    if (r.Has(X::ID) && TryStrToInt64(r.Text(X::ID), id)) {
        // The address of the kind the node uses; the other one is 1.
        if (n->Node_ID_Type == 0) {
            n->Node_ID_Primary = int32_t(id);
            n->Node_ID_Secondary = 1;
        } else {
            n->Node_ID_Secondary = int32_t(id);
            n->Node_ID_Primary = 1;
        }
    } else {
        n->Node_ID_Primary = r.Number_Or(X::ID_Primary, 1, 1);
        n->Node_ID_Secondary = r.Number_Or(X::ID_Secondary, 1, 1);
    }
    n->Send_SNK = uint8_t(r.Number_Or(X::Send_SND_NKE, 0, 0));
    n->Reset_App = uint8_t(r.Number_Or(X::Reset_App, 0, 0));
    n->Node_State = uint8_t(r.Number_Or(X::Node_State, 0, 0));
    n->Ident_Num = uint8_t(r.Number_Or(X::Ident_Num, 0, 0));
    n->BCDtoINT_IN = uint8_t(r.Number_Or(X::BCDtoINT_IN, 0, 0));
    n->Swap_Ident = r.Number_Or(X::Swap_IN, 0, 0);
    n->Var_List_Type = uint8_t(r.Number_Or(X::Var_List_Type, 0, 0));
    n->Cut_After = uint8_t(r.Number_Or(X::Cut_After, 0, 0));
    n->MBus_Type = uint8_t(r.Number_Or(X::MBus_Type, 1, 1));
    n->wMBus_ManID = r.Text_Or(X::wMBus_ManID, QString());
    n->wMBus_Add = r.Text_Or(X::wMBus_Add, QString());
    n->wMBus_Ver = r.Text_Or(X::wMBus_Ver, QString());
    n->wMBus_DevType = r.Text_Or(X::wMBus_DevType, QString());
    n->wMBus_En_Key = uint8_t(r.Number_Or(X::wMBus_En_Key, 0, 0));
    static const std::array<QString, 16> keyNames = [] {
        std::array<QString, 16> a;
        for (size_t k = 0; k < a.size(); ++k)
            a[k] = X::wMBus_Key(int(k) + 1);
        return a;
    }();
    for (size_t k = 0; k < keyNames.size(); ++k)
        n->wMBus_Key[k] = r.Text_Or(keyNames[k], QString());

    const QString list = QStringLiteral("node %1").arg(nodeNo);
    int varNo = 0;
    for (XmlNode ve = e.FirstChildElement(); !ve.IsNull(); ve = ve.NextSiblingElement())
        n->Var_List.push_back(readVariable(ve, fileName, list, ++varNo));
    return n;
}

// ---------------------------------------------------------------------------
// Writing: one row per attribute, in the order written. A row's name is
// converted to UTF-8 once; its value is a number or one of the model's texts,
// so writing a network makes no text of its own per attribute.

struct TAttrValue {
    const QString* Text = nullptr; // null: the value is Number
    int64_t Number = 0;
};

TAttrValue num(int64_t v)
{
    return {nullptr, v};
}

TAttrValue text(const QString& t)
{
    return {&t, 0};
}

template <class T>
struct TAttrWriter {
    QString Name;
    TAttrValue (*Value)(const T&);
    QByteArray Utf8 = Name.toUtf8();
};

template <size_t K>
TAttrValue keyValue(const TNodo& n)
{
    return text(n.wMBus_Key[K]);
}

template <size_t... K>
void appendKeyWriters(std::vector<TAttrWriter<TNodo>>& a, std::index_sequence<K...>)
{
    (a.push_back({X::wMBus_Key(int(K) + 1), &keyValue<K>}), ...);
}

const std::vector<TAttrWriter<TNodo>>& nodeWriters()
{
    static const std::vector<TAttrWriter<TNodo>> w = [] {
        std::vector<TAttrWriter<TNodo>> a = {
            {X::Enable_Node, [](const TNodo& n) { return num(n.Enable); }},
            {X::ID_Primary, [](const TNodo& n) { return num(n.Node_ID_Primary); }},
            {X::ID_Secondary, [](const TNodo& n) { return num(n.Node_ID_Secondary); }},
            {X::Descrizione, [](const TNodo& n) { return text(n.Description); }},
            {X::Send_SND_NKE, [](const TNodo& n) { return num(n.Send_SNK); }},
            {X::Reset_App, [](const TNodo& n) { return num(n.Reset_App); }},
            {X::Node_State, [](const TNodo& n) { return num(n.Node_State); }},
            {X::Ident_Num, [](const TNodo& n) { return num(n.Ident_Num); }},
            {X::BCDtoINT_IN, [](const TNodo& n) { return num(n.BCDtoINT_IN); }},
            {X::Swap_IN, [](const TNodo& n) { return num(n.Swap_Ident); }},
            {X::Node_ID_Type, [](const TNodo& n) { return num(n.Node_ID_Type); }},
            {X::Var_List_Type, [](const TNodo& n) { return num(n.Var_List_Type); }},
            {X::Cut_After, [](const TNodo& n) { return num(n.Cut_After); }},
            {X::MBus_Type, [](const TNodo& n) { return num(n.MBus_Type); }},
            {X::wMBus_ManID, [](const TNodo& n) { return text(n.wMBus_ManID); }},
            {X::wMBus_Add, [](const TNodo& n) { return text(n.wMBus_Add); }},
            {X::wMBus_Ver, [](const TNodo& n) { return text(n.wMBus_Ver); }},
            {X::wMBus_DevType, [](const TNodo& n) { return text(n.wMBus_DevType); }},
            {X::wMBus_En_Key, [](const TNodo& n) { return num(n.wMBus_En_Key); }},
        };
        appendKeyWriters(a, std::make_index_sequence<std::tuple_size_v<decltype(TNodo::wMBus_Key)>>());
        return a;
    }();
    return w;
}

const std::vector<TAttrWriter<TVariabile>>& variableWriters()
{
    static const std::vector<TAttrWriter<TVariabile>> w = {
        {X::Enable, [](const TVariabile& v) { return num(v.Enable); }},
        {X::Desc, [](const TVariabile& v) { return text(v.Description); }},
        {X::Type, [](const TVariabile& v) { return num(v.Type_Of_Data); }},
        {X::Fun_Field, [](const TVariabile& v) { return num(v.Function_Field); }},
        {X::Dim, [](const TVariabile& v) { return num(v.Dimension); }},
        {X::Unit, [](const TVariabile& v) { return num(v.Unita); }},
        {X::StoNumber, [](const TVariabile& v) { return num(v.Storage_Number); }},
        {X::Tariff, [](const TVariabile& v) { return num(v.Tariff); }},
        {X::VIFE, [](const TVariabile& v) { return num(v.VIFE); }},
        {X::BCDtoINT, [](const TVariabile& v) { return num(v.BCDtoINT); }},
        {X::VIF_ASCII, [](const TVariabile& v) { return text(v.VIF_ASCII); }},
        {X::Length, [](const TVariabile& v) { return num(v.Length); }},
        {X::Conv_Float, [](const TVariabile& v) { return num(v.Conv_Float); }},
        {X::Force_Int32, [](const TVariabile& v) { return num(v.Force_Int32); }},
        {X::TP_Mod_Regs, [](const TVariabile& v) { return num(v.TP_Mod_Regs); }},
        {X::Position, [](const TVariabile& v) { return num(v.Position); }},
        {X::Post_Operation, [](const TVariabile& v) { return num(v.Post_Operation); }},
    };
    return w;
}

template <class T>
void writeAttributes(XmlStreamWriter& out, const std::vector<TAttrWriter<T>>& writers, const T& item)
{
    for (const TAttrWriter<T>& w : writers) {
        const TAttrValue v = w.Value(item);
        if (v.Text)
            out.Attribute(w.Utf8, *v.Text);
        else
            out.AttributeInt(w.Utf8, v.Number);
    }
}

template <class T>
QStringList namesOf(const std::vector<TAttrWriter<T>>& writers)
{
    QStringList names;
    for (const TAttrWriter<T>& w : writers)
        names << w.Name;
    return names;
}

} // namespace

TNodoList Read_MBus_Nodes(const XmlNode& root, const QString& fileName)
{
    TNodoList nodes;
    int nodeNo = 0;
    for (XmlNode e = root.FirstChildElement(); !e.IsNull(); e = e.NextSiblingElement())
        nodes.push_back(readNode(e, fileName, ++nodeNo));
    return nodes;
}

TNodoList Read_MBus_Network(const QString& path)
{
    if (!FileExists(path))
        return {};
    const TProjectFile file(path, ProjectFiles::M_Bus);
    return Read_MBus_Nodes(file.Root(), file.Name());
}

const QStringList& MBus_Node_Attributes()
{
    static const QStringList names = namesOf(nodeWriters());
    return names;
}

const QStringList& MBus_Variable_Attributes()
{
    static const QStringList names = namesOf(variableWriters());
    return names;
}

QByteArray MBus_Network_Document(const TNodoList& nodes)
{
    // Written as it is built: a network of a few hundred nodes would
    // otherwise be built as a document first and saved after.
    static const QByteArray root = X::Root.toUtf8();
    static const QByteArray node = X::Node.toUtf8();
    static const QByteArray variable = X::Variable.toUtf8();
    static const QByteArray version = X::Version_Comment.toUtf8();
    XmlStreamWriter out;
    out.StartElement(root);
    for (const std::unique_ptr<TNodo>& n : nodes) {
        out.StartElement(node);
        writeAttributes(out, nodeWriters(), *n);
        for (const std::unique_ptr<TVariabile>& v : n->Var_List) {
            out.StartElement(variable);
            writeAttributes(out, variableWriters(), *v);
            out.EndElement();
        }
        out.EndElement();
    }
    out.EndElement();
    out.Comment(version);
    return out.Take();
}

void Write_MBus_Network(const QString& path, const TNodoList& nodes)
{
    WriteFileWhole(path, MBus_Network_Document(nodes));
}

XmlNode Open_MBus_Network_Document(XmlDocument& doc, const QString& path, bool append)
{
    if (!append)
        return doc.CreateRoot(X::Root);
    doc.LoadFromFile(path);
    XmlNode root = doc.DocumentElement();
    if (root.IsNull())
        throw ETableFileError(QStringLiteral("%1: the file holds no network element").arg(path));
    return root;
}

void Save_MBus_Network_Document(const XmlDocument& doc, const QString& path)
{
    doc.SaveToFile(path);
}
