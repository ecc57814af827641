// M_Bus.xml as the network dialog reads and writes it, and as the image
// builder reads what the dialog wrote.
#include "mbus/MBusNetwork.h"
#include "mbus/MBusScanSave.h"

#include "image/Bin_MBus.h"
#include "project/ParGen.h"
#include "project/TableFile.h"
#include "platform/core/Files.h"
#include "platform/xml/XmlDoc.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstring>
#include <functional>

namespace {

class MBusNetwork : public ::testing::Test {
protected:
    QString Path() const { return Dir.path() + QStringLiteral("/M_Bus.xml"); }
    void WriteText(const QString& text) { WriteFileWhole(Path(), text.toUtf8()); }
    TNodoList ReadText(const QString& text)
    {
        WriteText(text);
        return Read_MBus_Network(Path());
    }
    QTemporaryDir Dir;
};

const QString Three = QStringLiteral("Type=\"2\" Fun_Field=\"0\" Dim=\"2\"");

std::unique_ptr<TNodo> FullNode()
{
    auto n = std::make_unique<TNodo>();
    n->Enable = false;
    n->Description = QStringLiteral("Heat meter <1> & \"2\"");
    n->Node_ID_Primary = 250;
    n->Node_ID_Secondary = 99999999;
    n->Send_SNK = 1;
    n->Reset_App = 1;
    n->Node_State = 1;
    n->Ident_Num = 1;
    n->BCDtoINT_IN = 1;
    n->Swap_Ident = 1;
    n->Node_ID_Type = 1;
    n->Var_List_Type = 1;
    n->Cut_After = 249;
    n->MBus_Type = 0;
    n->wMBus_ManID = QStringLiteral("$442");
    n->wMBus_Add = QStringLiteral("-2147483648");
    n->wMBus_Ver = QStringLiteral("0x1B");
    n->wMBus_DevType = QStringLiteral("7");
    n->wMBus_En_Key = 1;
    for (int k = 0; k < 16; ++k)
        n->wMBus_Key[size_t(k)] = QString::number(k * 16 + 15);
    auto v = std::make_unique<TVariabile>();
    v->Enable = true;
    v->Description = QStringLiteral("Volume");
    v->Type_Of_Data = 21;
    v->Function_Field = 3;
    v->Dimension = 7;
    v->Unita = 10;
    v->Storage_Number = 4294967295u;
    v->Tariff = 1048575;
    v->VIFE = 151;
    v->BCDtoINT = true;
    v->Length = 191;
    v->VIF_ASCII = QStringLiteral("m³/h");
    v->Conv_Float = true;
    v->Force_Int32 = true;
    v->TP_Mod_Regs = true;
    v->Position = 100;
    v->Post_Operation = 12;
    n->Var_List.push_back(std::move(v));
    n->Var_List.push_back(std::make_unique<TVariabile>());
    return n;
}

void ExpectSameVariable(const TVariabile& a, const TVariabile& b)
{
    EXPECT_EQ(a.Enable, b.Enable);
    EXPECT_EQ(a.Description, b.Description);
    EXPECT_EQ(a.Type_Of_Data, b.Type_Of_Data);
    EXPECT_EQ(a.Function_Field, b.Function_Field);
    EXPECT_EQ(a.Dimension, b.Dimension);
    EXPECT_EQ(a.Unita, b.Unita);
    EXPECT_EQ(a.Storage_Number, b.Storage_Number);
    EXPECT_EQ(a.Tariff, b.Tariff);
    EXPECT_EQ(a.VIFE, b.VIFE);
    EXPECT_EQ(a.BCDtoINT, b.BCDtoINT);
    EXPECT_EQ(a.Length, b.Length);
    EXPECT_EQ(a.VIF_ASCII, b.VIF_ASCII);
    EXPECT_EQ(a.Conv_Float, b.Conv_Float);
    EXPECT_EQ(a.Force_Int32, b.Force_Int32);
    EXPECT_EQ(a.TP_Mod_Regs, b.TP_Mod_Regs);
    EXPECT_EQ(a.Position, b.Position);
    EXPECT_EQ(a.Post_Operation, b.Post_Operation);
}

void ExpectSameNode(const TNodo& a, const TNodo& b)
{
    EXPECT_EQ(a.Enable, b.Enable);
    EXPECT_EQ(a.Description, b.Description);
    EXPECT_EQ(a.Node_ID_Primary, b.Node_ID_Primary);
    EXPECT_EQ(a.Node_ID_Secondary, b.Node_ID_Secondary);
    EXPECT_EQ(a.Send_SNK, b.Send_SNK);
    EXPECT_EQ(a.Reset_App, b.Reset_App);
    EXPECT_EQ(a.Node_State, b.Node_State);
    EXPECT_EQ(a.Ident_Num, b.Ident_Num);
    EXPECT_EQ(a.BCDtoINT_IN, b.BCDtoINT_IN);
    EXPECT_EQ(a.Swap_Ident, b.Swap_Ident);
    EXPECT_EQ(a.Node_ID_Type, b.Node_ID_Type);
    EXPECT_EQ(a.Var_List_Type, b.Var_List_Type);
    EXPECT_EQ(a.Cut_After, b.Cut_After);
    EXPECT_EQ(a.MBus_Type, b.MBus_Type);
    EXPECT_EQ(a.wMBus_ManID, b.wMBus_ManID);
    EXPECT_EQ(a.wMBus_Add, b.wMBus_Add);
    EXPECT_EQ(a.wMBus_Ver, b.wMBus_Ver);
    EXPECT_EQ(a.wMBus_DevType, b.wMBus_DevType);
    EXPECT_EQ(a.wMBus_En_Key, b.wMBus_En_Key);
    EXPECT_EQ(a.wMBus_Key, b.wMBus_Key);
    ASSERT_EQ(a.Var_List.size(), b.Var_List.size());
    for (size_t i = 0; i < a.Var_List.size(); ++i)
        ExpectSameVariable(*a.Var_List[i], *b.Var_List[i]);
}

} // namespace

TEST_F(MBusNetwork, ANodeWithoutAttributes)
{
    const TNodoList nodes = ReadText(QStringLiteral("<M-Bus_Network><Nodo/></M-Bus_Network>"));
    ASSERT_EQ(nodes.size(), 1u);
    const TNodo& n = *nodes[0];
    EXPECT_TRUE(n.Enable);
    EXPECT_EQ(n.MBus_Type, 1);
    EXPECT_EQ(n.Node_ID_Primary, 1);
    EXPECT_EQ(n.Node_ID_Secondary, 1);
    EXPECT_EQ(n.Node_ID_Type, 0);
    EXPECT_EQ(n.Cut_After, 0);
    EXPECT_EQ(n.Send_SNK + n.Reset_App + n.Node_State + n.Ident_Num + n.BCDtoINT_IN + n.wMBus_En_Key, 0);
    EXPECT_EQ(n.Swap_Ident, 0);
    EXPECT_EQ(n.Var_List_Type, 0);
    EXPECT_TRUE(n.Description.isEmpty());
    EXPECT_TRUE(n.wMBus_ManID.isEmpty());
    EXPECT_TRUE(n.Var_List.empty());
}

TEST_F(MBusNetwork, AVariableWithOnlyItsThreeCodes)
{
    const TNodoList nodes = ReadText(QStringLiteral("<M-Bus_Network><Nodo><Variabile %1/></Nodo></M-Bus_Network>").arg(Three));
    ASSERT_EQ(nodes[0]->Var_List.size(), 1u);
    const TVariabile& v = *nodes[0]->Var_List[0];
    EXPECT_FALSE(v.Enable);
    EXPECT_EQ(v.Type_Of_Data, 2);
    EXPECT_EQ(v.Dimension, 2);
    EXPECT_EQ(v.Position, 1);
    EXPECT_EQ(v.Post_Operation, 0);
    EXPECT_EQ(v.Storage_Number, 0u);
    EXPECT_FALSE(v.Conv_Float);
}

TEST_F(MBusNetwork, AttributeReadingRules)
{
    struct Case {
        const char* Name;
        QString Attrs;
        std::function<void(const TNodo&)> Check;
    };
    const Case cases[] = {
        {"Enable_Node no stays enabled", QStringLiteral("Enable_Node=\"no\""), [](const TNodo& n) { EXPECT_TRUE(n.Enable); }},
        {"Enable_Node 0 disables", QStringLiteral("Enable_Node=\"0\""), [](const TNodo& n) { EXPECT_FALSE(n.Enable); }},
        {"ID with secondary addressing",
         QStringLiteral("ID=\"17\" Node_ID_Type=\"1\" ID_Primary=\"5\" ID_Secondary=\"6\""),
         [](const TNodo& n) {
             EXPECT_EQ(n.Node_ID_Secondary, 17);
             EXPECT_EQ(n.Node_ID_Primary, 1);
         }},
        {"ID with primary addressing", QStringLiteral("ID=\"$11\" ID_Primary=\"5\" ID_Secondary=\"6\""),
         [](const TNodo& n) {
             EXPECT_EQ(n.Node_ID_Primary, 17);
             EXPECT_EQ(n.Node_ID_Secondary, 1);
         }},
        {"an ID that is no number leaves the two addresses",
         QStringLiteral("ID=\"x\" Node_ID_Type=\"1\" ID_Primary=\"5\" ID_Secondary=\"6\""),
         [](const TNodo& n) {
             EXPECT_EQ(n.Node_ID_Primary, 5);
             EXPECT_EQ(n.Node_ID_Secondary, 6);
         }},
        {"malformed numbers take their defaults", QStringLiteral("ID_Primary=\"one\" Cut_After=\"x\" MBus_Type=\"\""),
         [](const TNodo& n) {
             EXPECT_EQ(n.Node_ID_Primary, 1);
             EXPECT_EQ(n.Cut_After, 0);
             EXPECT_EQ(n.MBus_Type, 1);
         }},
        {"wireless texts kept as typed", QStringLiteral("wMBus_ManID=\"$442\" wMBus_Key_16=\"0xFF\""),
         [](const TNodo& n) {
             EXPECT_EQ(n.wMBus_ManID, QStringLiteral("$442"));
             EXPECT_EQ(n.wMBus_Key[15], QStringLiteral("0xFF"));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const TNodoList nodes = ReadText(QStringLiteral("<M-Bus_Network><Nodo %1/></M-Bus_Network>").arg(c.Attrs));
        ASSERT_EQ(nodes.size(), 1u);
        c.Check(*nodes[0]);
    }
}

TEST_F(MBusNetwork, StorageNumbersAreUnsigned32Bit)
{
    struct Case {
        const char* Text;
        uint32_t Value;
    };
    const Case cases[] = {{"4294967295", 4294967295u}, {"4294967296", 0}, {"-1", 0}, {"$FFFFFFFF", 4294967295u}};
    for (const Case& c : cases) {
        const TNodoList nodes = ReadText(QStringLiteral("<M-Bus_Network><Nodo><Variabile %1 StoNumber=\"%2\"/></Nodo></M-Bus_Network>")
                                             .arg(Three, QString::fromLatin1(c.Text)));
        EXPECT_EQ(nodes[0]->Var_List[0]->Storage_Number, c.Value) << c.Text;
    }
}

TEST_F(MBusNetwork, AVariableWithoutItsCodesStopsTheReading)
{
    for (const char* attrs : {"Type=\"2\" Fun_Field=\"0\"", "Type=\"2\" Dim=\"1\"", "Fun_Field=\"0\" Dim=\"1\"",
                              "Type=\"2\" Fun_Field=\"0\" Dim=\"x\""}) {
        WriteText(QStringLiteral("<M-Bus_Network><Nodo/><Nodo><Variabile %1/><Variabile %2/></Nodo></M-Bus_Network>")
                      .arg(Three, QString::fromLatin1(attrs)));
        try {
            Read_MBus_Network(Path());
            ADD_FAILURE() << "read as whole: " << attrs;
        } catch (const ETableFileError& e) {
            EXPECT_TRUE(e.Message().contains(QStringLiteral("node 2"))) << e.Message().toStdString();
            EXPECT_TRUE(e.Message().contains(QStringLiteral("row 2"))) << e.Message().toStdString();
        }
    }
}

TEST_F(MBusNetwork, TheNetworkIsTheDocumentElement)
{
    // A declaration, a comment or an instruction before the root does not
    // hide the nodes.
    for (const char* prolog : {"<?xml version=\"1.0\"?>", "<!--SW_VERSION = 1.203-->", "<?pi x?>"}) {
        const TNodoList nodes = ReadText(QString::fromLatin1(prolog) +
                                         QStringLiteral("\n<Other><A/><B><C %1/></B></Other>").arg(Three));
        ASSERT_EQ(nodes.size(), 2u) << prolog;
        EXPECT_EQ(nodes[1]->Var_List.size(), 1u);
    }
}

TEST_F(MBusNetwork, MissingFileIsAnEmptyNetwork)
{
    EXPECT_TRUE(Read_MBus_Network(Path()).empty());
    WriteText(QStringLiteral("<M-Bus_Network><Nodo"));
    EXPECT_THROW(Read_MBus_Network(Path()), EXmlError);
}

TEST_F(MBusNetwork, WrittenAndReadBackFieldForField)
{
    TNodoList nodes;
    nodes.push_back(FullNode());
    nodes.push_back(std::make_unique<TNodo>());
    Write_MBus_Network(Path(), nodes);
    const TNodoList back = Read_MBus_Network(Path());
    ASSERT_EQ(back.size(), nodes.size());
    for (size_t i = 0; i < nodes.size(); ++i)
        ExpectSameNode(*nodes[i], *back[i]);
}

TEST_F(MBusNetwork, WrittenDocument)
{
    // A file the scanner wrote, with attributes of its own.
    const TNodoList nodes = ReadText(
        QStringLiteral("<M-Bus_Network><Nodo Node_Enable=\"1\" ModReg=\"3\"><Variabile %1 ModReg=\"1\" ModScale=\"2\" "
                       "SWAP=\"0\"/></Nodo></M-Bus_Network>")
            .arg(Three));
    Write_MBus_Network(Path(), nodes);
    const QByteArray bytes = ReadFileWhole(Path());
    EXPECT_FALSE(bytes.startsWith("<?xml"));

    XmlDocument doc;
    doc.LoadFromBytes(bytes);
    const XmlNode root = doc.FirstChild();
    EXPECT_EQ(root.NodeName(), QStringLiteral("M-Bus_Network"));
    const XmlNode comment = root.NextSibling();
    ASSERT_TRUE(comment.IsComment());
    EXPECT_EQ(QString::fromUtf8(comment.Raw().value()), QStringLiteral("SW_VERSION = 1.203"));
    EXPECT_TRUE(comment.NextSibling().IsNull());

    QStringList nodeAttrs = {"Enable_Node", "ID_Primary", "ID_Secondary", "Descrizione", "Send_SND_NKE", "Reset_App",
                             "Node_State", "Ident_Num", "BCDtoINT_IN", "Swap_IN", "Node_ID_Type", "Var_List_Type",
                             "Cut_After", "MBus_Type", "wMBus_ManID", "wMBus_Add", "wMBus_Ver", "wMBus_DevType",
                             "wMBus_En_Key"};
    for (int k = 1; k <= 16; ++k)
        nodeAttrs << QStringLiteral("wMBus_Key_%1").arg(k);
    const QStringList varAttrs = {"Enable", "Desc", "Type", "Fun_Field", "Dim", "Unit", "StoNumber", "Tariff", "VIFE",
                                  "BCDtoINT", "VIF_ASCII", "Length", "Conv_Float", "Force_Int32", "TP_Mod_Regs",
                                  "Position", "Post_Operation"};
    auto names = [](const XmlNode& e) {
        QStringList n;
        for (const auto& a : e.Attributes())
            n << a.first;
        return n;
    };
    const QList<XmlNode> nodeElems = root.ChildElements();
    ASSERT_EQ(nodeElems.size(), 1);
    EXPECT_EQ(nodeElems[0].NodeName(), QStringLiteral("Nodo"));
    EXPECT_EQ(names(nodeElems[0]), nodeAttrs);
    const QList<XmlNode> varElems = nodeElems[0].ChildElements();
    ASSERT_EQ(varElems.size(), 1);
    EXPECT_EQ(varElems[0].NodeName(), QStringLiteral("Variabile"));
    EXPECT_EQ(names(varElems[0]), varAttrs);
    // Defaults of a node read without them, written out.
    EXPECT_EQ(nodeElems[0].Attribute(QStringLiteral("Enable_Node")).TextOr({}), QStringLiteral("1"));
    EXPECT_EQ(nodeElems[0].Attribute(QStringLiteral("MBus_Type")).TextOr({}), QStringLiteral("1"));
    EXPECT_EQ(varElems[0].Attribute(QStringLiteral("Enable")).TextOr({}), QStringLiteral("0"));
    EXPECT_EQ(varElems[0].Attribute(QStringLiteral("Position")).TextOr({}), QStringLiteral("1"));
    EXPECT_EQ(MBus_Node_Attributes(), nodeAttrs);
    EXPECT_EQ(MBus_Variable_Attributes(), varAttrs);
}

TEST_F(MBusNetwork, WrittenBytes)
{
    // One node with a variable and one without, texts that need escaping.
    TNodoList nodes;
    auto n = std::make_unique<TNodo>();
    n->Enable = true;
    n->Description = QStringLiteral("Heat <1> & \"2\" m³");
    n->Node_ID_Primary = 250;
    n->Node_ID_Secondary = -5;
    n->Cut_After = 249;
    n->MBus_Type = 1;
    n->wMBus_ManID = QStringLiteral("$442");
    n->wMBus_Key[15] = QStringLiteral("0xFF");
    auto v = std::make_unique<TVariabile>();
    v->Enable = true;
    v->Description = QStringLiteral("Volume\tm3");
    v->Type_Of_Data = 21;
    v->Storage_Number = 4294967295u;
    v->VIFE = 151;
    v->VIF_ASCII = QStringLiteral("m³/h");
    v->TP_Mod_Regs = true;
    v->Position = 100;
    v->Post_Operation = 12;
    n->Var_List.push_back(std::move(v));
    nodes.push_back(std::move(n));
    nodes.push_back(std::make_unique<TNodo>());
    Write_MBus_Network(Path(), nodes);

    QByteArray keys;
    for (int k = 1; k <= 16; ++k)
        keys += QStringLiteral(" wMBus_Key_%1=\"%2\"").arg(k).arg(k == 16 ? QStringLiteral("0xFF") : QString()).toUtf8();
    const QByteArray expected =
        "<M-Bus_Network>\n"
        "\t<Nodo Enable_Node=\"1\" ID_Primary=\"250\" ID_Secondary=\"-5\" Descrizione=\"Heat &lt;1> &amp; &quot;2&quot; "
        "m\xC2\xB3\" Send_SND_NKE=\"0\" Reset_App=\"0\" Node_State=\"0\" Ident_Num=\"0\" BCDtoINT_IN=\"0\" Swap_IN=\"0\" "
        "Node_ID_Type=\"0\" Var_List_Type=\"0\" Cut_After=\"249\" MBus_Type=\"1\" wMBus_ManID=\"$442\" wMBus_Add=\"\" "
        "wMBus_Ver=\"\" wMBus_DevType=\"\" wMBus_En_Key=\"0\"" + keys + ">\n"
        "\t\t<Variabile Enable=\"1\" Desc=\"Volume&#09;m3\" Type=\"21\" Fun_Field=\"0\" Dim=\"0\" Unit=\"0\" "
        "StoNumber=\"4294967295\" Tariff=\"0\" VIFE=\"151\" BCDtoINT=\"0\" VIF_ASCII=\"m\xC2\xB3/h\" Length=\"0\" "
        "Conv_Float=\"0\" Force_Int32=\"0\" TP_Mod_Regs=\"1\" Position=\"100\" Post_Operation=\"12\" />\n"
        "\t</Nodo>\n"
        "\t<Nodo Enable_Node=\"0\" ID_Primary=\"0\" ID_Secondary=\"0\" Descrizione=\"\" Send_SND_NKE=\"0\" "
        "Reset_App=\"0\" Node_State=\"0\" Ident_Num=\"0\" BCDtoINT_IN=\"0\" Swap_IN=\"0\" Node_ID_Type=\"0\" "
        "Var_List_Type=\"0\" Cut_After=\"0\" MBus_Type=\"0\" wMBus_ManID=\"\" wMBus_Add=\"\" wMBus_Ver=\"\" "
        "wMBus_DevType=\"\" wMBus_En_Key=\"0\"" + QByteArray(keys).replace("0xFF", "") + " />\n"
        "</M-Bus_Network>\n"
        "<!--SW_VERSION = 1.203-->\n";
    EXPECT_EQ(ReadFileWhole(Path()), expected);

    // An empty network is the root alone.
    Write_MBus_Network(Path(), {});
    EXPECT_EQ(ReadFileWhole(Path()), QByteArray("<M-Bus_Network />\n<!--SW_VERSION = 1.203-->\n"));
}

TEST_F(MBusNetwork, OnlyOneSetsAVariableFlag)
{
    for (const char* text : {"1", " 1", "01", "1 ", "true", "Y", "", "0"}) {
        const TNodoList nodes = ReadText(
            QStringLiteral("<M-Bus_Network><Nodo Enable_Node=\"%2\"><Variabile %1 Enable=\"%2\" BCDtoINT=\"%2\" "
                           "Conv_Float=\"%2\" Force_Int32=\"%2\" TP_Mod_Regs=\"%2\"/></Nodo></M-Bus_Network>")
                .arg(Three, QString::fromLatin1(text)));
        const bool set = std::strcmp(text, "1") == 0;
        const TVariabile& v = *nodes[0]->Var_List[0];
        EXPECT_EQ(v.Enable, set) << text;
        EXPECT_EQ(v.BCDtoINT, set) << text;
        EXPECT_EQ(v.Conv_Float, set) << text;
        EXPECT_EQ(v.Force_Int32, set) << text;
        EXPECT_EQ(v.TP_Mod_Regs, set) << text;
        // A node is disabled by "0" only.
        EXPECT_EQ(nodes[0]->Enable, std::strcmp(text, "0") != 0) << text;
    }
}

TEST_F(MBusNetwork, CodeTables)
{
    EXPECT_EQ(Code_Text(Type_Texts[2]), QStringLiteral("Volume (m³)"));
    EXPECT_EQ(Code_Text(Type_Texts[19]), QStringLiteral("Type of  Data in VIFE"));
    EXPECT_EQ(Code_Text(Type_Texts[25]), QStringLiteral("Bus Address"));
    EXPECT_EQ(Function_Codes[1].Data_Field, 2);
    EXPECT_EQ(Function_Codes[2].Data_Field, 1);
    EXPECT_EQ(Code_Text(Dimension_Texts[6]), QStringLiteral("32 Real"));
    EXPECT_EQ(Code_Text(Post_Operation_Texts[7]), QStringLiteral(" * 10"));
    EXPECT_EQ(Code_Text(VIFE_Texts[50]), QStringLiteral("Date and time of battery change"));
    EXPECT_EQ(Code_Text(VIFE_Texts[51]), QStringLiteral("Energy MWh"));
    EXPECT_EQ(Code_Text(VIFE_Texts[69]), QStringLiteral("Cumul. count max power"));
    EXPECT_EQ(Code_Text(VIFE_Texts[70]), QStringLiteral("per second"));
    EXPECT_EQ(Code_Text(VIFE_Texts[107]), QStringLiteral("next VIFE's and data of this block are manufacturer specific"));
    EXPECT_EQ(Code_Text(VIFE_Texts[108]), QStringLiteral("None"));
    EXPECT_EQ(Code_Text(VIFE_Texts[125]), QStringLiteral("Premature end of record "));
}

// ---------------------------------------------------------------------------
// What the image builder takes from a file the dialog wrote.

namespace {

void BuildFrom(const QString& dir, TMBus_Image& img)
{
    TParGenValues(10).Write_File(dir + QStringLiteral("/ParGen.xml"));
    TBinBuffer buffer;
    TImageBuild build(dir, 10, buffer);
    img.Init_MBus_Par_Gen();
    img.Init_MBus_Node_Table();
    Load_MBus_Network(build, img);
}

std::unique_ptr<TNodo> UsedNode(uint8_t type)
{
    auto n = std::make_unique<TNodo>();
    n->Enable = true;
    n->MBus_Type = type;
    n->Node_ID_Primary = 5;
    n->Node_ID_Secondary = 12345678;
    auto v = std::make_unique<TVariabile>();
    v->Enable = true;
    v->Dimension = 1;
    v->Function_Field = 1;
    n->Var_List.push_back(std::move(v));
    return n;
}

} // namespace

TEST_F(MBusNetwork, TheImageBuilderReadsTheWrittenFile)
{
    TNodoList nodes;
    nodes.push_back(UsedNode(1));
    nodes[0]->Cut_After = 2;
    nodes.push_back(UsedNode(1));
    nodes[1]->Node_ID_Type = 1;
    nodes.push_back(UsedNode(0));
    nodes[2]->wMBus_ManID = QStringLiteral("$442");
    nodes.push_back(UsedNode(0));
    nodes[3]->wMBus_ManID = QStringLiteral("1090");
    Write_MBus_Network(Path(), nodes);

    TMBus_Image img;
    BuildFrom(Dir.path(), img);
    ASSERT_EQ(img.MBus_Wired_Nodes.size(), 2);
    EXPECT_EQ(img.MBus_Wired_Nodes[0].Cut_After, 3); // frames
    EXPECT_EQ(img.MBus_Wired_Nodes[0].ID, 5u);
    EXPECT_EQ(img.MBus_Wired_Nodes[1].ID, 12345678u);
    EXPECT_EQ(img.MBus_Wired_Nodes[0].Vars[0].Function_Field, 2); // minimum
    ASSERT_EQ(img.MBus_Wireless_Nodes.size(), 2);
    EXPECT_EQ(img.MBus_Node_Table[0].ManID, 0x442);
    EXPECT_EQ(img.MBus_Node_Table[1].ManID, 0x442);
}

TEST_F(MBusNetwork, TheImageBuilderReadsAWirelessScanSaved)
{
    auto* d = new TSlave_wMBus;
    d->ALA_Manufacturer = 0x0442;
    d->ALA_Manu_str = QStringLiteral("ABB");
    d->ALA_Address = int32_t(0x92345678u);
    d->ALA_Version = 1;
    d->ALA_DeviceType = 7;
    auto* v = new TVariable_MBus;
    v->dimension = 4;
    v->type_data = 2;
    v->Real_Wireless_Var = true;
    d->List_Var.append(v);
    List_Slaves_wMBus.Free_All();
    List_Slaves_wMBus.Add(d);
    TSaveConfXML in;
    in.File_Name = Path();
    const bool saved = Save_XML_Conf_Wireless(in, List_Slaves_wMBus);
    List_Slaves_wMBus.Free_All();
    ASSERT_TRUE(saved);

    TMBus_Image img;
    BuildFrom(Dir.path(), img);
    ASSERT_EQ(img.MBus_Wireless_Nodes.size(), 1);
    EXPECT_EQ(img.MBus_Node_Table[0].Add, 0x92345678u);
    EXPECT_EQ(img.MBus_Node_Table[0].ManID, 0x442);
    EXPECT_EQ(img.MBus_Node_Table[0].Ver, 1);
    EXPECT_EQ(img.MBus_Node_Table[0].DevType, 7);
}
