#include "image/UProfinetXML.h"

#include "project/Models.h"
#include "project/OpenProject.h"
#include "platform/core/Files.h"
#include "platform/xml/XmlDoc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/QtPrinters.h"

namespace {

const QString Overwrite_Question = QStringLiteral("File already exists! Do you want to overwrite the file?");

TEST(GsdmlFileName, FixedPartsAndTheUserPart)
{
    const TDateTime started = EncodeDate(2018, 5, 28) + EncodeTime(23, 59, 59, 999);
    EXPECT_EQ(GSDML_Fix_Part_1(12), "GSDML-V2.31-Tavlon-GW31A12");
    EXPECT_EQ(GSDML_Fix_Part_1(1012), "GSDML-V2.31-Brimel-GW31A12");
    EXPECT_EQ(GSDML_Fix_Part_2(started), "-20180528.xml");
    EXPECT_EQ(GSDML_Fix_Part_2(EncodeDate(2031, 1, 2)), "-20310102.xml");

    const struct {
        const char* user;
        const char* name;
    } cases[] = {
        {"", "GSDML-V2.31-Tavlon-GW31A12-20180528.xml"},
        {"   ", "GSDML-V2.31-Tavlon-GW31A12-20180528.xml"},
        {"\t ", "GSDML-V2.31-Tavlon-GW31A12-20180528.xml"},
        {"lab", "GSDML-V2.31-Tavlon-GW31A12_lab-20180528.xml"},
        {"_lab", "GSDML-V2.31-Tavlon-GW31A12_lab-20180528.xml"},
        // Not trimmed: the part goes in as typed.
        {" lab ", "GSDML-V2.31-Tavlon-GW31A12_ lab -20180528.xml"},
        {"__x", "GSDML-V2.31-Tavlon-GW31A12__x-20180528.xml"},
    };
    TProfinetFileNameParts parts = TProfinetFileNameParts::Create(12, started);
    for (const auto& c : cases) {
        parts.User_Part = QString::fromLatin1(c.user);
        EXPECT_EQ(parts.Compose(), QString::fromLatin1(c.name)) << '"' << c.user << '"';
        EXPECT_EQ(parts.Name_File_XML, QString::fromLatin1(c.name));
    }

    TProfinetFileNameParts partner = TProfinetFileNameParts::Create(1012, started);
    partner.User_Part = QStringLiteral("lab");
    EXPECT_EQ(partner.Compose(), "GSDML-V2.31-Brimel-GW31A12_lab-20180528.xml");
}

TEST(GsdmlFileName, TheDialogKeepsTheDateOfItsCreation)
{
    const int savedModel = Model_Code;
    Model_Code = 12;
    SetNowHook([] { return EncodeDate(2018, 5, 28) + EncodeTime(9, 15, 0, 0); });
    TProfinetFileNameParts parts = TProfinetFileNameParts::Create();
    // The program runs on past midnight; the name keeps its start date.
    SetNowHook([] { return EncodeDate(2018, 5, 29) + EncodeTime(0, 1, 0, 0); });
    EXPECT_EQ(parts.Compose(), "GSDML-V2.31-Tavlon-GW31A12-20180528.xml");
    parts.User_Part = QStringLiteral("lab");
    parts.Compose();
    EXPECT_EQ(parts.Compose(), "GSDML-V2.31-Tavlon-GW31A12_lab-20180528.xml") << "the user part stays";

    Model_Code = 1012;
    EXPECT_EQ(TProfinetFileNameParts::Create().Fix_Part_1, "GSDML-V2.31-Brimel-GW31A12");
    SetNowHook(nullptr);
    Model_Code = savedModel;
}

// A PROFINET project folder with scripted answers to the save dialog and the
// overwrite question.
class GsdmlProject : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        FSavedModel = Model_Code;
        Model_Code = 12;
        Dir_Project = FDir.path();
        Set_Files();
        Other = PathJoin(FDir.path(), QStringLiteral("other"));
        ASSERT_TRUE(ForceDirectories(Other));
        GSDML_Dialogs.ChooseFile = [this](const QString& dir, const QString& filter, const QString& proposed,
                                          QString& fileName) {
            Asked_Dir = dir;
            Asked_Filter = filter;
            Asked_Name = proposed;
            fileName = PathJoin(Other, QStringLiteral("typed by the user.xml"));
            return Confirm;
        };
        GSDML_Dialogs.AskYesNo = [this](const QString& text) {
            Questions.append(text);
            return Yes;
        };
    }
    void TearDown() override
    {
        GSDML_Dialogs = TGSDMLDialogs();
        Model_Code = FSavedModel;
        Dir_Project.clear();
        Set_Files();
    }
    void ParGen(const QByteArray& keys)
    {
        WriteFileWhole(File_ParGen, "<Par_Gen><KNX_TYPE>0</KNX_TYPE>" + keys + "</Par_Gen><!--SW_VERSION = 1.100-->");
    }
    QByteArray Saved(const QString& name)
    {
        Save_GSDML_File(name, Overwrite_Question);
        return ReadFileWhole(PathJoin(Other, name));
    }

    QTemporaryDir FDir;
    QString Other;
    bool Confirm = true;
    bool Yes = true;
    QString Asked_Dir, Asked_Filter, Asked_Name;
    QStringList Questions;
    const QString Name = QStringLiteral("GSDML-V2.31-Tavlon-GW31A12_lab-20180528.xml");

private:
    int FSavedModel = 0;
};

// Elements of a parsed description, found by name anywhere below `n`.
void Collect(const XmlNode& n, const QString& name, QList<XmlNode>& out)
{
    for (const XmlNode& c : n.ChildElements()) {
        if (c.NodeName() == name)
            out.append(c);
        Collect(c, name, out);
    }
}
QList<XmlNode> All(const XmlDocument& doc, const char* name)
{
    QList<XmlNode> out;
    Collect(doc.Node(), QString::fromLatin1(name), out);
    return out;
}
QStringList Names(const QList<QPair<QString, QString>>& attrs)
{
    QStringList out;
    for (const auto& a : attrs)
        out.append(a.first);
    return out;
}

} // namespace

TEST_F(GsdmlProject, OnlyTheChosenFolderCountsAndTheFileIsWellFormedAscii)
{
    ParGen("<PROFINET_NB_IN>20</PROFINET_NB_IN><PROFINET_NB_OUT>10</PROFINET_NB_OUT>");
    const QByteArray bytes = Saved(Name);

    EXPECT_EQ(Asked_Dir, FDir.path());
    EXPECT_EQ(Asked_Filter, "PROFINET XML (*.xml)|" + Name);
    EXPECT_EQ(Asked_Name, Name);
    EXPECT_FALSE(FileExists(PathJoin(Other, QStringLiteral("typed by the user.xml"))));
    EXPECT_TRUE(Questions.isEmpty()) << "no question for a new file";

    // No byte-order mark in front of the declaration, ASCII only, CR LF lines.
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"
                                 "<!-- A fieldbus integration example. -->\r\n<ISO15745Profile "));
    EXPECT_TRUE(bytes.endsWith("</ISO15745Profile>\r\n"));
    for (char c : bytes)
        ASSERT_TRUE(uchar(c) < 0x80) << int(uchar(c));
    EXPECT_FALSE(QByteArray(bytes).replace("\r\n", "").contains('\n'));
    EXPECT_FALSE(QByteArray(bytes).replace("\r\n", "").contains('\r'));
    const int lines = int(bytes.count("\r\n"));
    EXPECT_GT(lines, 150);
    EXPECT_LT(lines, 200);

    XmlDocument doc;
    ASSERT_NO_THROW(doc.LoadFromBytes(bytes, Name));
    const XmlNode root = doc.DocumentElement();
    EXPECT_EQ(root.NodeName(), "ISO15745Profile");
    EXPECT_EQ(root.Attribute(QStringLiteral("xmlns")).TextOr(QString()),
              "http://www.profibus.com/GSDML/2003/11/DeviceProfile");
    EXPECT_EQ(root.Attribute(QStringLiteral("xsi:schemaLocation")).TextOr(QString()),
              "http://www.profibus.com/GSDML/2003/11/DeviceProfile ..\\xsd\\GSDML-DeviceProfile-v2.31.xsd");

    // The module's input is the gateway's output and the other way round.
    const XmlNode ioData = All(doc, "IOData").last();
    EXPECT_EQ(ioData.ChildElement(QStringLiteral("Input")).FirstChildElement().Attribute(QStringLiteral("Length")).TextOr(QString()), "10");
    EXPECT_EQ(ioData.ChildElement(QStringLiteral("Output")).FirstChildElement().Attribute(QStringLiteral("Length")).TextOr(QString()), "20");
}

TEST_F(GsdmlProject, LengthsFallBackTo1438)
{
    const struct {
        const char* what;
        bool file;
        QByteArray keys;
        int in, out;
    } cases[] = {
        {"no ParGen.xml", false, "", 1438, 1438},
        {"no PROFINET keys", true, "<KNX_ID_DEV>1.1.200</KNX_ID_DEV>", 1438, 1438},
        {"not numbers", true, "<PROFINET_NB_IN>abc</PROFINET_NB_IN><PROFINET_NB_OUT></PROFINET_NB_OUT>", 1438, 1438},
        {"one of them", true, "<PROFINET_NB_OUT>0x10</PROFINET_NB_OUT>", 1438, 16},
        {"both", true, "<PROFINET_NB_OUT>7</PROFINET_NB_OUT><PROFINET_NB_IN>512</PROFINET_NB_IN>", 512, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(File_ParGen);
        if (c.file)
            ParGen(c.keys);
        Read_PROFINET_Sizes();
        EXPECT_EQ(PROFINET_Size_In, c.in);
        EXPECT_EQ(PROFINET_Size_Out, c.out);
    }
}

TEST_F(GsdmlProject, AnExistingFileIsReplacedOnlyAfterYes)
{
    const QString path = PathJoin(Other, Name);
    WriteFileWhole(path, "earlier");

    Yes = false;
    Save_GSDML_File(Name, Overwrite_Question);
    EXPECT_EQ(Questions, QStringList{Overwrite_Question});
    EXPECT_EQ(ReadFileWhole(path), QByteArray("earlier"));

    Yes = true;
    Save_GSDML_File(Name, Overwrite_Question);
    EXPECT_EQ(Questions.size(), 2);
    EXPECT_TRUE(ReadFileWhole(path).startsWith("<?xml"));

    // Nobody to answer: the file stays as it is.
    WriteFileWhole(path, "earlier");
    GSDML_Dialogs.AskYesNo = nullptr;
    Save_GSDML_File(Name, Overwrite_Question);
    EXPECT_EQ(ReadFileWhole(path), QByteArray("earlier"));
}

TEST_F(GsdmlProject, CancelOrAnotherModelWritesNothing)
{
    Confirm = false;
    Save_GSDML_File(Name, Overwrite_Question);
    EXPECT_FALSE(FileExists(PathJoin(Other, Name)));

    Confirm = true;
    Model_Code = 9;
    Save_GSDML_File(Name, Overwrite_Question);
    EXPECT_FALSE(FileExists(PathJoin(Other, Name)));

    GSDML_Dialogs.ChooseFile = nullptr;
    EXPECT_THROW(Save_GSDML_File(Name, Overwrite_Question), EInvalidOperation);
}

TEST_F(GsdmlProject, AFolderThatCannotBeWrittenRaises)
{
    GSDML_Dialogs.ChooseFile = [this](const QString&, const QString&, const QString&, QString& fileName) {
        fileName = PathJoin(FDir.path(), QStringLiteral("gone/x.xml"));
        return true;
    };
    EXPECT_THROW(Save_GSDML_File(Name, Overwrite_Question), EFCreateError);
}

// A user part with characters a file name cannot hold fails the saving and
// never reaches a file outside the chosen folder.
TEST_F(GsdmlProject, AUserPartThatIsNoFileNameFails)
{
    TProfinetFileNameParts parts = TProfinetFileNameParts::Create(12, EncodeDate(2018, 5, 28));
    const char* users[] = {"../../escape", "a/b", "a\\b", "tab\tx", "nl\nx"};
    for (const char* user : users) {
        SCOPED_TRACE(user);
        parts.User_Part = QString::fromLatin1(user);
        EXPECT_THROW(Save_GSDML_File(parts.Compose(), Overwrite_Question), EFCreateError);
    }
    EXPECT_EQ(QDir(FDir.path()).entryList(QDir::Files).size(), 0);
    EXPECT_EQ(QDir(Other).entryList(QDir::Files).size(), 0);
    EXPECT_FALSE(FileExists(PathJoin(QFileInfo(FDir.path()).path(), QStringLiteral("escape-20180528.xml"))));
}

TEST(GsdmlTemplate, VendorAndBrandByModel)
{
    const struct {
        int model;
        QString vendor;
        const char* info;
    } cases[] = {
        {12, Company_Label, "Tavlon Gateways"},
        {1012, QStringLiteral("Brimel"), "Brimel Gateways"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        XmlDocument doc;
        doc.LoadFromText(GSDML_Lines(c.model, 1438, 1438).join(QLatin1Char('\n')));
        const QList<XmlNode> vendors = All(doc, "VendorName");
        ASSERT_EQ(vendors.size(), 2);
        for (const XmlNode& v : vendors)
            EXPECT_EQ(v.Attribute(QStringLiteral("Value")).TextOr(QString()), c.vendor);
        const XmlNode info = All(doc, "Text").first();
        EXPECT_EQ(info.Attribute(QStringLiteral("TextId")).TextOr(QString()), "IDT_INFO_Device");
        EXPECT_EQ(info.Attribute(QStringLiteral("Value")).TextOr(QString()), QString::fromLatin1(c.info));

        const XmlNode identity = All(doc, "DeviceIdentity").first();
        EXPECT_EQ(Names(identity.Attributes()), (QStringList{"VendorID", "DeviceID"}));
        for (const auto& a : identity.Attributes())
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^0x[0-9A-F]{4}$")).match(a.second).hasMatch()) << a.second.toStdString();
    }
}

TEST(GsdmlTemplate, AccessPointModuleAndTexts)
{
    XmlDocument doc;
    doc.LoadFromText(GSDML_Lines(12, 1438, 1438).join(QLatin1Char('\n')));

    const XmlNode dap = All(doc, "DeviceAccessPointItem").first();
    EXPECT_EQ(Names(dap.Attributes()),
              (QStringList{"PNIO_Version", "RequiredSchemaVersion", "ID", "PhysicalSlots", "ModuleIdentNumber",
                           "MinDeviceInterval", "ImplementationType", "DNS_CompatibleName", "FixedInSlots",
                           "ObjectUUID_LocalIndex", "MultipleWriteSupported", "MaxSupportedRecordSize",
                           "ParameterizationSpeedupSupported", "PowerOnToCommReady", "DeviceAccessSupported",
                           "SharedDeviceSupported", "CheckDeviceID_Allowed", "NameOfStationNotTransferable"}));
    QStringList subslots;
    for (const XmlNode& s : All(doc, "SubslotItem"))
        subslots << s.Attribute(QStringLiteral("SubslotNumber")).TextOr(QString()) + '/' +
                        s.Attribute(QStringLiteral("TextId")).TextOr(QString());
    EXPECT_EQ(subslots, (QStringList{"0/IDT_SUBSLOT_1", "32768/IDT_SUBSLOT_Interface", "32769/IDT_SUBSLOT_Port1",
                                     "32770/IDT_SUBSLOT_Port2"}));
    const XmlNode io = All(doc, "IOConfigData").first();
    EXPECT_EQ(io.Attributes(), (QList<QPair<QString, QString>>{{"MaxInputLength", "1440"},
                                                              {"MaxOutputLength", "1440"},
                                                              {"MaxDataLength", "2880"}}));
    QStringList ports;
    for (const XmlNode& p : All(doc, "PortSubmoduleItem"))
        ports << p.Attribute(QStringLiteral("ID")).TextOr(QString()) + '/' +
                     p.Attribute(QStringLiteral("SubslotNumber")).TextOr(QString());
    EXPECT_EQ(ports, (QStringList{"IDS_P1/32769", "IDS_P2/32770"}));

    const XmlNode ref = All(doc, "Ref").first();
    EXPECT_EQ(ref.Attributes(), (QList<QPair<QString, QString>>{{"TextId", "IDT_REF_reaction_to_cpu_stop"},
                                                               {"ID", "IDT_REF_reaction_to_cpu_stop"},
                                                               {"Visible", "true"},
                                                               {"DataType", "BitArea"},
                                                               {"ByteOffset", "0"},
                                                               {"BitOffset", "0"},
                                                               {"BitLength", "2"},
                                                               {"DefaultValue", "2"},
                                                               {"AllowedValues", "0..2"},
                                                               {"ValueItemTarget", "IDV_reaction_to_cpu_stop"}}));
    QStringList assigns;
    for (const XmlNode& a : All(doc, "Assign"))
        assigns << a.Attribute(QStringLiteral("Content")).TextOr(QString());
    EXPECT_EQ(assigns, (QStringList{"0", "1", "2"}));

    // The texts, in order; the last three are written value first.
    const QList<XmlNode> texts = All(doc, "Text");
    ASSERT_EQ(texts.size(), 40);
    for (int i = 0; i < texts.size(); ++i)
        EXPECT_EQ(Names(texts[i].Attributes()),
                  i < 37 ? QStringList({"TextId", "Value"}) : QStringList({"Value", "TextId"}))
            << i;
    EXPECT_EQ(texts[20].Attribute(QStringLiteral("TextId")).TextOr(QString()), "IDT_NAME_M_PB1");
    EXPECT_EQ(texts[20].Attribute(QStringLiteral("Value")).TextOr(QString()), "KNXSlave ");
    EXPECT_EQ(texts[39].Attribute(QStringLiteral("TextId")).TextOr(QString()), "IDT_ASSIGN_do_continue_counting");
    EXPECT_EQ(texts[39].Attribute(QStringLiteral("Value")).TextOr(QString()), "Continue operation");

    // Comments of the template survive as comments, the "normal" one quoted.
    const QString text = GSDML_Lines(12, 1438, 1438).join(QLatin1Char('\n'));
    EXPECT_TRUE(text.contains(QStringLiteral("<!-- The \"normal\" module carrying the FAP. -->")));
    EXPECT_TRUE(text.contains(QStringLiteral("<!--<FieldbusIntegrationSlots MaxSupported=\"127\" Range=\"100..9999\"/>-->")));
}

namespace {

// An element as one line: its name, then each attribute as name=value in
// written order, then the text of child elements that hold only text.
QString Describe(const XmlNode& n)
{
    QStringList parts{n.NodeName()};
    for (const auto& a : n.Attributes())
        parts << a.first + '=' + a.second;
    for (const XmlNode& c : n.ChildElements())
        if (c.ChildElements().isEmpty() && !c.Text().isEmpty())
            parts << c.NodeName() + ':' + c.Text();
    return parts.join(QLatin1Char(' '));
}

QStringList Child_Names(const XmlNode& n)
{
    QStringList out;
    for (const XmlNode& c : n.ChildElements())
        out << c.NodeName();
    return out;
}

} // namespace

TEST(GsdmlTemplate, HeaderAccessPointAndModuleValues)
{
    XmlDocument doc;
    doc.LoadFromText(GSDML_Lines(12, 1438, 1438).join(QLatin1Char('\n')));

    EXPECT_EQ(Child_Names(doc.DocumentElement()), (QStringList{"ProfileHeader", "ProfileBody"}));
    EXPECT_EQ(Child_Names(All(doc, "ProfileBody").first()),
              (QStringList{"DeviceIdentity", "DeviceFunction", "ApplicationProcess"}));
    EXPECT_EQ(Child_Names(All(doc, "ApplicationProcess").first()),
              (QStringList{"DeviceAccessPointList", "ModuleList", "ValueList", "CategoryList", "ExternalTextList"}));
    EXPECT_EQ(Child_Names(All(doc, "DeviceAccessPointItem").first()),
              (QStringList{"ModuleInfo", "SubslotList", "IOConfigData", "UseableModules", "VirtualSubmoduleList",
                           "SystemDefinedSubmoduleList"}));

    const struct {
        const char* element;
        int nth; // among the elements of that name, in document order
        const char* described;
    } cases[] = {
        {"ProfileHeader", 0,
         "ProfileHeader ProfileIdentification:PROFINET Device Profile ProfileRevision:1.00 "
         "ProfileName:Device Profile for PROFINET Devices ProfileSource:PROFIBUS Nutzerorganisation e. V. (PNO) "
         "ProfileClassID:Device"},
        {"ISO15745Reference", 0, "ISO15745Reference ISO15745Part:4 ISO15745Edition:1 ProfileTechnology:GSDML"},
        {"Family", 0, "Family MainFamily=Gateway ProductFamily=GW31A12"},
        {"DeviceAccessPointItem", 0,
         "DeviceAccessPointItem PNIO_Version=V2.3 RequiredSchemaVersion=V2.25 ID=IDD_1 PhysicalSlots=0..4 "
         "ModuleIdentNumber=0x00000001 MinDeviceInterval=64 ImplementationType=SERIAL DNS_CompatibleName=SERIAL "
         "FixedInSlots=0 ObjectUUID_LocalIndex=1 MultipleWriteSupported=true MaxSupportedRecordSize=8192 "
         "ParameterizationSpeedupSupported=true PowerOnToCommReady=350 DeviceAccessSupported=true "
         "SharedDeviceSupported=true CheckDeviceID_Allowed=false NameOfStationNotTransferable=true"},
        {"Name", 0, "Name TextId=IDT_NAME_DAP1"},
        {"InfoText", 1, "InfoText TextId=IDT_INFO_DAP1"},
        {"OrderNumber", 0, "OrderNumber Value=GW31A12-A1"},
        {"ModuleItemRef", 0, "ModuleItemRef ModuleItemTarget=IDM_1 FixedInSlots=1"},
        {"VirtualSubmoduleItem", 0, "VirtualSubmoduleItem ID=IDS_V1 SubmoduleIdentNumber=0x00000000"},
        {"IOData", 0, "IOData IOPS_Length=1 IOCS_Length=1"},
        {"Name", 1, "Name TextId=IDT_NAME_VS1"},
        {"InfoText", 2, "InfoText TextId=IDT_INFO_VS1"},
        {"InterfaceSubmoduleItem", 0,
         "InterfaceSubmoduleItem ID=IDS_I SubmoduleIdentNumber=0x00000001 SubslotNumber=32768 TextId=IDT_NAME_IS "
         "SupportedRT_Classes=RT_CLASS_1 SupportedProtocols=SNMP;LLDP SupportedMibs=MIB2"},
        {"TimingProperties", 0, "TimingProperties SendClock=32 ReductionRatio=1 2 4 8 16 32 64 128 256 512"},
        {"PortSubmoduleItem", 0,
         "PortSubmoduleItem ID=IDS_P1 SubmoduleIdentNumber=0x00000002 SubslotNumber=32769 TextId=IDT_NAME_PS1 "
         "MaxPortRxDelay=350 MaxPortTxDelay=160"},
        {"PortSubmoduleItem", 1,
         "PortSubmoduleItem ID=IDS_P2 SubmoduleIdentNumber=0x00000002 SubslotNumber=32770 TextId=IDT_NAME_PS2 "
         "MaxPortRxDelay=350 MaxPortTxDelay=160"},
        {"ModuleItem", 0, "ModuleItem ID=IDM_1 ModuleIdentNumber=0x00000001"},
        {"Name", 2, "Name TextId=IDT_NAME_M1"},
        {"InfoText", 3, "InfoText TextId=IDT_INFO_M1"},
        {"OrderNumber", 1, "OrderNumber Value=12345-0040-M"},
        {"VirtualSubmoduleItem", 1, "VirtualSubmoduleItem ID=IDM_1 SubmoduleIdentNumber=0x00000001"},
        {"IOData", 1, "IOData IOPS_Length=1 IOCS_Length=1"},
        {"ParameterRecordDataItem", 0, "ParameterRecordDataItem Index=128 Length=2"},
        {"Name", 3, "Name TextId=IDT_NAME_M1_IDT_REF_channel"},
        {"Const", 0, "Const ByteOffset=0 Data=0x00,0x00"},
        {"MenuItem", 0, "MenuItem ID=IDT_NAME_M1_IDT_REF_channel"},
        {"MenuRef", 0, "MenuRef MenuTarget=IDT_NAME_M1_Base_Parameters"},
        {"MenuItem", 1, "MenuItem ID=IDT_NAME_M1_Base_Parameters"},
        {"ParameterRef", 0, "ParameterRef ParameterTarget=IDT_REF_reaction_to_cpu_stop"},
        {"ValueItem", 0, "ValueItem ID=IDV_reaction_to_cpu_stop"},
        {"Assign", 0, "Assign TextId=IDT_ASSIGN_do_set_substitude_values Content=0"},
        {"Assign", 1, "Assign TextId=IDT_ASSIGN_do_values_will_hold Content=1"},
        {"Assign", 2, "Assign TextId=IDT_ASSIGN_do_continue_counting Content=2"},
        {"CategoryItem", 0, "CategoryItem ID=IDC_DI TextId=IDT_CATEGORY_DI"},
        {"CategoryItem", 1, "CategoryItem ID=IDC_DO TextId=IDT_CATEGORY_DO"},
    };
    for (const auto& c : cases) {
        const QList<XmlNode> found = All(doc, c.element);
        ASSERT_GT(found.size(), c.nth) << c.element << ' ' << c.nth;
        EXPECT_EQ(Describe(found[c.nth]), QString::fromUtf8(c.described)) << c.element << ' ' << c.nth;
    }

    // The module's record: its name, constant, reference and menus, then the
    // submodule's own info, in this order.
    EXPECT_EQ(Child_Names(All(doc, "ParameterRecordDataItem").first()),
              (QStringList{"Name", "Const", "Ref", "MenuList"}));
    EXPECT_EQ(Child_Names(All(doc, "VirtualSubmoduleItem")[1]), (QStringList{"IOData", "RecordDataList", "ModuleInfo"}));
    EXPECT_EQ(Child_Names(All(doc, "MenuItem")[0]), (QStringList{"Name", "MenuRef"}));
    EXPECT_EQ(Child_Names(All(doc, "MenuItem")[1]), (QStringList{"Name", "ParameterRef"}));
    QStringList categoryInfos;
    for (const XmlNode& item : All(doc, "CategoryItem"))
        for (const XmlNode& info : item.ChildElements())
            categoryInfos << Describe(info);
    EXPECT_EQ(categoryInfos, (QStringList{"InfoText TextId=IDT_INFO_DI", "InfoText TextId=IDT_INFO_DO"}));
}

TEST(GsdmlTemplate, ExternalTextsInOrder)
{
    XmlDocument doc;
    doc.LoadFromText(GSDML_Lines(12, 1438, 1438).join(QLatin1Char('\n')));
    const QStringList expected{
        "IDT_INFO_Device=Tavlon Gateways",
        "IDT_NAME_DAP1=KNXSlave",
        "IDT_INFO_DAP1=KNX Adapter",
        "IDT_SUBSLOT_1=Subslot 1",
        "IDT_SUBSLOT_Interface=Interface",
        "IDT_SUBSLOT_Port1=Port 1",
        "IDT_SUBSLOT_Port2=Port 2",
        "IDT_RECORD_NAME_Head=Parameters of head module",
        "IDT_REF_Power=Percent power",
        "IDT_NAME_VS1=Submodule V1",
        "IDT_INFO_VS1=Description of submodule V1",
        "IDT_NAME_IS=I",
        "IDT_NAME_PS1=P1",
        "IDT_NAME_PS2=P2",
        "IDT_NAME_M1=Module",
        "IDT_INFO_M1=device KNXSlave",
        "IDT_NAME_FAP=FAP for KNXSlave",
        "IDT_INFO_FAP=Description of FAP for KNXSlave",
        "IDT_RECORD_NAME_SlotCluster=Parameters of the FAP",
        "IDT_REF_SlotClusterBegin=Beginning of slot cluster",
        "IDT_NAME_M_PB1=KNXSlave ",
        "IDT_INFO_M_PB1=Description of KNXSlave",
        "IDT_NAME_S_PB1=Module of a KNXSlave",
        "IDT_INFO_S_PB1=Description of module of a KNXSlave",
        "IDT_PB_Input=Digital input KNXSlave",
        "IDT_PB_InputBit0=Digital input bit KNXSlave",
        "IDT_NAME_S1=Submodule 1",
        "IDT_INFO_S1=Description of submodule 1",
        "IDT_Input_1=Input byte",
        "IDT_Output_1=Output word",
        "IDT_CATEGORY_DI=Digital Input",
        "IDT_INFO_DI=Description of digital input",
        "IDT_CATEGORY_DO=Digital output",
        "IDT_INFO_DO=Description of digital output",
        "IDT_NAME_M1_IDT_REF_channel=Canale x",
        "IDT_REF_reaction_to_cpu_stop=Reaction to CPU STOP",
        "IDT_NAME_M1_Base_Parameters=Base Parameters",
        "IDT_ASSIGN_do_set_substitude_values=Output substitute value",
        "IDT_ASSIGN_do_values_will_hold=Keep last value",
        "IDT_ASSIGN_do_continue_counting=Continue operation",
    };
    QStringList texts;
    for (const XmlNode& t : All(doc, "Text"))
        texts << t.Attribute(QStringLiteral("TextId")).TextOr(QString()) + '=' +
                     t.Attribute(QStringLiteral("Value")).TextOr(QString());
    EXPECT_EQ(texts, expected);
}
