// A scan's devices saved as nodes of the network file, and the scan reports.
#include "mbus/MBusDecoder.h"
#include "mbus/MBusNetwork.h"
#include "mbus/MBusScanSave.h"
#include "platform/core/Files.h"
#include "platform/xml/XmlDoc.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

class TTick : public TMBusTreeNode {
public:
    explicit TTick(int state) : State(state) {}
    bool Checked() const override
    {
        if (State < 0)
            throw std::runtime_error("the tree node is gone");
        return State == 1;
    }
    int State;
};

// The ABB meter 12345678 at primary address 5, version 1, medium 7.
TSlave_MBus* Meter(const char* records)
{
    auto* d = new TSlave_MBus;
    d->Primary_Addresss = 5;
    d->Secondary_Addresss = QStringLiteral("12345678");
    d->Manufacture = 0x0442;
    d->descManufacture = Manufacturer_Text(0x0442);
    d->Version = 1;
    d->Medium = 7;
    Decode_Data_Records(Hex(records), mtWired, d->List_Var);
    return d;
}

TVariable_MBus* Record(uint8_t dataField, int bytes = 0)
{
    auto* v = new TVariable_MBus;
    v->dimension = dataField;
    v->nbyte = bytes;
    v->type_data = 2;
    v->Desc_Type_Data = QStringLiteral("Volume m3");
    return v;
}

QList<QPair<QString, QString>> Attrs(const XmlNode& e)
{
    return e.Attributes();
}

QString Attr(const XmlNode& e, const char* name)
{
    return e.Attribute(QString::fromLatin1(name)).TextOr(QStringLiteral("<none>"));
}

class MBusScanSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        List_Slaves_MBus.Free_All();
        List_Slaves_wMBus.Free_All();
        In.File_Name = Path();
    }
    void TearDown() override
    {
        List_Slaves_MBus.Free_All();
        List_Slaves_wMBus.Free_All();
    }
    QString Path() const { return Dir.path() + QStringLiteral("/M_Bus.xml"); }
    XmlNode Load()
    {
        Doc.LoadFromFile(Path());
        return Doc.DocumentElement();
    }

    QTemporaryDir Dir;
    TSaveConfXML In;
    XmlDocument Doc;
};

TEST_F(MBusScanSave, OneWiredMeterIsWrittenWithTheAttributesInOrder)
{
    List_Slaves_MBus.Add(Meter("04 13 10 27 00 00"));
    In.XML_Code_Dev = 15;
    In.Mod_Start = 1;
    In.Cut_After = 3;
    int32_t next = 0;
    ASSERT_TRUE(Save_XML_Conf_Wired(In, List_Slaves_MBus, &next));
    EXPECT_EQ(next, 3);

    const QByteArray bytes = ReadFileWhole(Path());
    EXPECT_FALSE(bytes.contains("<?xml"));
    EXPECT_FALSE(bytes.contains("SW_VERSION"));
    const XmlNode root = Load();
    EXPECT_EQ(root.NodeName(), QStringLiteral("M-Bus_Network"));
    const QList<XmlNode> nodes = root.ChildElements();
    ASSERT_EQ(nodes.size(), 1);
    EXPECT_EQ(nodes[0].NodeName(), QStringLiteral("Nodo"));
    using L = QList<QPair<QString, QString>>;
    const L node = {{"Enable_Node", "1"}, {"ID_Primary", "5"},    {"ID_Secondary", "12345678"},
                    {"Node_ID_Type", "0"}, {"Descrizione", "ABB"}, {"Send_SND_NKE", "0"},
                    {"Reset_App", "0"},    {"Cut_After", "2"}};
    EXPECT_EQ(Attrs(nodes[0]), node);
    const QList<XmlNode> vars = nodes[0].ChildElements();
    ASSERT_EQ(vars.size(), 1);
    EXPECT_EQ(vars[0].NodeName(), QStringLiteral("Variabile"));
    const L var = {{"Enable", "1"},  {"Position", "1"}, {"Desc", "Volume m3 (U0S0T0)"},
                   {"Type", "2"},    {"VIF_ASCII", ""}, {"Fun_Field", "0"},
                   {"Length", "0"},  {"ModReg", "1"},   {"Dim", "2"},
                   {"Unit", "0"},    {"StoNumber", "0"}, {"Tariff", "0"},
                   {"VIFE", "0"},    {"ModScale", "0"}, {"BCDtoINT", "0"},
                   {"SWAP", "0"}};
    EXPECT_EQ(Attrs(vars[0]), var);

    // The network dialog reads it back: three frames.
    const TNodoList read = Read_MBus_Network(Path());
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0]->Cut_After + 1, 3);
    EXPECT_EQ(read[0]->Node_ID_Secondary, 12345678);
}

// The description is the record's text and its unit, storage number and
// tariff; a percent sign in the text is written as it stands.
TEST_F(MBusScanSave, DescriptionJoinsTextUnitStorageAndTariff)
{
    auto* d = new TSlave_MBus;
    d->Secondary_Addresss = QStringLiteral("1");
    TVariable_MBus* v = Record(4);
    v->Desc_Type_Data = QStringLiteral("Energy %2 Wh");
    v->device = 3;
    v->storage_number = 12;
    v->tarif = 2;
    d->List_Var.append(v);
    List_Slaves_MBus.Add(d);
    ASSERT_TRUE(Save_XML_Conf_Wired(In, List_Slaves_MBus));
    const XmlNode var = Load().FirstChildElement().FirstChildElement();
    EXPECT_EQ(Attr(var, "Desc"), QStringLiteral("Energy %2 Wh (U3S12T2)"));
    EXPECT_EQ(Attr(var, "Unit"), QStringLiteral("3"));
    EXPECT_EQ(Attr(var, "StoNumber"), QStringLiteral("12"));
}

TEST_F(MBusScanSave, RegistersFollowTheDataSizes)
{
    auto* d = Meter("");
    // 32-bit, 16-bit, 8-digit BCD, variable length of 5 bytes.
    d->List_Var = {Record(4), Record(2), Record(12), Record(13, 5)};
    List_Slaves_MBus.Add(d);
    In.Mod_Start = 1;
    int32_t next = 0;
    ASSERT_TRUE(Save_XML_Conf_Wired(In, List_Slaves_MBus, &next));
    EXPECT_EQ(next, 9);
    const QList<XmlNode> vars = Load().ChildElements()[0].ChildElements();
    ASSERT_EQ(vars.size(), 4);
    const char* regs[] = {"1", "3", "4", "6"};
    const char* dims[] = {"2", "1", "2", "7"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Attr(vars[i], "ModReg"), QString::fromLatin1(regs[i])) << i;
        EXPECT_EQ(Attr(vars[i], "Dim"), QString::fromLatin1(dims[i])) << i;
        EXPECT_EQ(Attr(vars[i], "Position"), QString::number(i + 1));
    }
    EXPECT_EQ(Attr(vars[3], "Length"), QStringLiteral("5"));
}

TEST(MBusRegisterUse, TableOfDataFields)
{
    struct Case {
        int DataField, Bytes, Dim, Registers;
    } cases[] = {
        {1, 0, 0, 1},  {9, 0, 0, 1},  {2, 0, 1, 1},  {10, 0, 1, 1},  {3, 0, 4, 2},  {11, 0, 4, 2},
        {4, 0, 2, 2},  {12, 0, 2, 2}, {5, 0, 6, 2},  {6, 0, 5, 3},   {14, 0, 5, 3}, {7, 0, 3, 4},
        {13, 5, 7, 3}, {13, 4, 7, 2}, {13, 6, 7, 4}, {13, 1, 7, 1},  {13, 0, 7, 0}, {13, 2, 7, 2},
        {0, 0, 255, 0}, {8, 0, 255, 0}, {15, 0, 255, 0},
    };
    for (const Case& c : cases) {
        const TMBusRegisterUse u = MBus_Register_Use(c.DataField, c.Bytes);
        EXPECT_EQ(u.Dim, c.Dim) << c.DataField << " " << c.Bytes;
        EXPECT_EQ(u.Registers, c.Registers) << c.DataField << " " << c.Bytes;
    }
}

TEST_F(MBusScanSave, TicksComeFromTheTreeAndPerNodeModeSkipsUntickedRecords)
{
    TTick off(0), on(1), broken(-1);
    auto* a = Meter("");
    a->Node = &off;
    a->List_Var = {Record(4), Record(4), Record(4)};
    a->List_Var[0]->Node = &off;
    a->List_Var[1]->Node = &broken;
    auto* b = Meter("");
    b->Node = &broken;
    b->List_Var = {Record(2)};
    List_Slaves_MBus.Add(a);
    List_Slaves_MBus.Add(b);
    In.StartModnode = 1;
    In.XML_Code_Dev = 1;
    In.En_NodeState = true;
    In.En_IdeNum = true;
    In.SMN_Array = {100}; // none for the second device: it goes on from the counter
    int32_t next = 0;
    ASSERT_TRUE(Save_XML_Conf_Wired(In, List_Slaves_MBus, &next));
    const QList<XmlNode> nodes = Load().ChildElements();
    ASSERT_EQ(nodes.size(), 2);
    EXPECT_EQ(Attr(nodes[0], "Enable_Node"), QStringLiteral("0"));
    EXPECT_EQ(Attr(nodes[1], "Enable_Node"), QStringLiteral("1"));
    EXPECT_EQ(Attr(nodes[0], "Node_State"), QStringLiteral("100"));
    EXPECT_EQ(Attr(nodes[0], "Ident_Num"), QStringLiteral("102"));
    const QList<XmlNode> vars = nodes[0].ChildElements();
    EXPECT_EQ(Attr(vars[0], "Enable"), QStringLiteral("0"));
    EXPECT_EQ(Attr(vars[1], "Enable"), QStringLiteral("1"));
    EXPECT_EQ(Attr(vars[2], "Enable"), QStringLiteral("1"));
    // The unticked record keeps the register the next one takes.
    EXPECT_EQ(Attr(vars[0], "ModReg"), QStringLiteral("103"));
    EXPECT_EQ(Attr(vars[1], "ModReg"), QStringLiteral("103"));
    EXPECT_EQ(Attr(vars[2], "ModReg"), QStringLiteral("105"));
    EXPECT_EQ(Attr(nodes[1], "Node_State"), QStringLiteral("107"));
    EXPECT_EQ(Attr(nodes[1], "Ident_Num"), QStringLiteral("109"));
    EXPECT_EQ(Attr(nodes[1].ChildElements()[0], "ModReg"), QStringLiteral("110"));
    EXPECT_EQ(next, 111);
}

TEST_F(MBusScanSave, DeviceCodesDecideTheExtraAttributes)
{
    List_Slaves_MBus.Add(Meter("04 13 10 27 00 00"));
    In.XML_Code_Dev = 4;
    In.Index_Baud = 2;
    In.Index_Par = 1;
    ASSERT_TRUE(Save_XML_Conf_Wired(In, List_Slaves_MBus));
    XmlNode root = Load();
    const XmlNode group = root.ChildElements()[0];
    EXPECT_EQ(group.NodeName(), QStringLiteral("Group"));
    EXPECT_EQ(Attrs(group), (QList<QPair<QString, QString>>{{"Baudrate", "2"}, {"Parity", "1"}}));
    const XmlNode node = group.ChildElements()[0];
    EXPECT_EQ(Attr(node, "ID"), QStringLiteral("5"));
    EXPECT_EQ(Attr(node, "Secondary_address"), QStringLiteral("12345678"));

    In.XML_Code_Dev = 12;
    ASSERT_TRUE(Save_XML_Conf_Wired(In, List_Slaves_MBus));
    root = Load();
    const XmlNode n12 = root.ChildElements()[0];
    EXPECT_EQ(n12.NodeName(), QStringLiteral("Nodo"));
    EXPECT_EQ(Attr(n12, "MBus_Type"), QStringLiteral("1"));
    EXPECT_EQ(Attr(n12, "IN_VarType"), QStringLiteral("0"));
    const XmlNode v12 = n12.ChildElements()[0];
    EXPECT_EQ(Attr(v12, "ModReg"), QStringLiteral("<none>"));
    EXPECT_EQ(Attr(v12, "BACnet_EngUnits"), QStringLiteral("95"));
    EXPECT_EQ(Attr(v12, "ModScale"), QStringLiteral("<none>"));
}

TEST_F(MBusScanSave, AppendingKeepsTheFileAndAnEmptyListWritesNothing)
{
    WriteFileWhole(Path(), "<M-Bus_Network><Nodo Descrizione=\"old\"/></M-Bus_Network>");
    EXPECT_FALSE(Save_XML_Conf_Wired(In, List_Slaves_MBus));
    EXPECT_FALSE(Save_XML_Conf_Wireless(In, List_Slaves_wMBus));
    EXPECT_EQ(ReadFileWhole(Path()), QByteArray("<M-Bus_Network><Nodo Descrizione=\"old\"/></M-Bus_Network>"));

    List_Slaves_MBus.Add(Meter("04 13 10 27 00 00"));
    In.Append = 1;
    ASSERT_TRUE(Save_XML_Conf_Wired(In, List_Slaves_MBus));
    const QList<XmlNode> nodes = Load().ChildElements();
    ASSERT_EQ(nodes.size(), 2);
    EXPECT_EQ(Attr(nodes[0], "Descrizione"), QStringLiteral("old"));
    EXPECT_EQ(Attr(nodes[1], "Descrizione"), QStringLiteral("ABB"));
}

TEST_F(MBusScanSave, AppendingToAFileThatCannotBeLoadedRaisesAndLeavesIt)
{
    List_Slaves_MBus.Add(Meter("04 13 10 27 00 00"));
    In.Append = 1;
    EXPECT_ANY_THROW(Save_XML_Conf_Wired(In, List_Slaves_MBus)); // no file
    EXPECT_FALSE(FileExists(Path()));
    WriteFileWhole(Path(), "<M-Bus_Network><Nodo");
    EXPECT_ANY_THROW(Save_XML_Conf_Wired(In, List_Slaves_MBus));
    EXPECT_EQ(ReadFileWhole(Path()), QByteArray("<M-Bus_Network><Nodo"));
    WriteFileWhole(Path(), "<!-- nothing -->");
    EXPECT_ANY_THROW(Save_XML_Conf_Wired(In, List_Slaves_MBus));
    EXPECT_EQ(ReadFileWhole(Path()), QByteArray("<!-- nothing -->"));
}

TSlave_wMBus* RadioMeter()
{
    auto* d = new TSlave_wMBus;
    d->ALA_Manufacturer = 0x0442;
    d->ALA_Manu_str = QStringLiteral("ABB");
    d->ALA_Address = int32_t(0x92345678u);
    d->ALA_Version = 1;
    d->ALA_DeviceType = 7;
    d->Enable_Key = true;
    for (int k = 0; k < 16; ++k)
        d->Key[size_t(k)] = uint8_t(k * 16);
    Decode_Data_Records(Hex("2F 04 13 10 27 00 00 2F 02 13 05 00"), mtWireless, d->List_Var);
    return d;
}

TEST_F(MBusScanSave, WirelessMetersWriteTheirIdentityAndKeyAndSkipPlaceholders)
{
    TSlave_wMBus* d = RadioMeter();
    ASSERT_EQ(d->List_Var.size(), 4);
    ASSERT_FALSE(d->List_Var[0]->Real_Wireless_Var);
    d->List_Var[3]->Enable = false;
    List_Slaves_wMBus.Add(d);
    int32_t next = 0;
    ASSERT_TRUE(Save_XML_Conf_Wireless(In, List_Slaves_wMBus, &next));
    EXPECT_EQ(next, 4);
    const XmlNode node = Load().ChildElements()[0];
    using L = QList<QPair<QString, QString>>;
    L expected = {{"Enable_Node", "1"},   {"ID_Primary", "1"},     {"ID_Secondary", "1"},
                  {"Node_ID_Type", "0"},  {"Descrizione", "ABB"},  {"Send_SND_NKE", "0"},
                  {"Reset_App", "0"},     {"Cut_After", "2"},      {"MBus_Type", "0"},
                  {"wMBus_ManID", "1090"}, {"wMBus_Add", "-1842063752"}, {"wMBus_Ver", "1"},
                  {"wMBus_DevType", "7"}, {"wMBus_En_Key", "1"}};
    for (int k = 0; k < 16; ++k)
        expected.append({QStringLiteral("wMBus_Key_%1").arg(k + 1), QString::number(k * 16)});
    EXPECT_EQ(Attrs(node), expected);
    const QList<XmlNode> vars = node.ChildElements();
    ASSERT_EQ(vars.size(), 2);
    EXPECT_EQ(Attr(vars[0], "Position"), QStringLiteral("2"));
    EXPECT_EQ(Attr(vars[1], "Position"), QStringLiteral("4"));
    EXPECT_EQ(Attr(vars[1], "Enable"), QStringLiteral("0"));
    EXPECT_EQ(Attr(vars[1], "ModReg"), QStringLiteral("3"));

    const TNodoList read = Read_MBus_Network(Path());
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0]->MBus_Type, 0);
    EXPECT_EQ(read[0]->wMBus_Add, QStringLiteral("-1842063752"));
}

TEST_F(MBusScanSave, ScanReports)
{
    List_Slaves_MBus.Add(Meter("04 13 10 27 00 00"));
    const QString path = Dir.path() + QStringLiteral("/report.xml");
    Save_Wired_Scan_Report(path, List_Slaves_MBus);
    XmlDocument doc;
    doc.LoadFromFile(path);
    XmlNode root = doc.DocumentElement();
    EXPECT_EQ(root.NodeName(), QStringLiteral("SCAN_M-Bus_Wired"));
    const XmlNode node = root.ChildElements()[0];
    EXPECT_EQ(Attrs(node), (QList<QPair<QString, QString>>{{"Primary_Address", "5"},
                                                            {"Secondary_Address", "12345678"},
                                                            {"Manufacturer", "ABB (1090)"},
                                                            {"Version", "1"},
                                                            {"Type", "7"}}));
    const XmlNode var = node.ChildElements()[0];
    EXPECT_EQ(var.NodeName(), QStringLiteral("Variable"));
    EXPECT_EQ(Attr(var, "UST"), QStringLiteral("(U0S0T0)"));
    QStringList names;
    for (const XmlNode& c : var.ChildElements())
        names << c.NodeName();
    EXPECT_EQ(names, QStringList({"Storage_Number", "Tariff", "Unit", "Data_Field", "Function_Field", "Type",
                                  "Value", "DIF", "VIF", "DIFE", "VIFE", "DATA"}));
    EXPECT_EQ(var.ChildElement(QStringLiteral("DATA")).Text(), QStringLiteral("$10270000"));
    EXPECT_EQ(var.ChildElement(QStringLiteral("VIF")).Text(), QStringLiteral("$13"));
    EXPECT_EQ(var.ChildElement(QStringLiteral("Value")).Text(), Attr(var, "Value"));

    List_Slaves_wMBus.Add(RadioMeter());
    Save_Wireless_Scan_Report(path, List_Slaves_wMBus);
    doc.LoadFromFile(path);
    root = doc.DocumentElement();
    EXPECT_EQ(root.NodeName(), QStringLiteral("SCAN_M-Bus_Wireless"));
    const XmlNode w = root.ChildElements()[0];
    EXPECT_EQ(Attrs(w), (QList<QPair<QString, QString>>{{"Manufacturer", "ABB"},
                                                         {"Address", "92345678"},
                                                         {"Version", "1"},
                                                         {"Device_Type", "7"},
                                                         {"Cripted", "False"}}));
    EXPECT_EQ(w.ChildElements().size(), 4); // placeholders included
}

} // namespace
