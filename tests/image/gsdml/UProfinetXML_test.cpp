#include "image/UProfinetXML.h"

#include "app/UComon.h"
#include "app/ULanguage.h"
#include "platform/core/Files.h"
#include "platform/xml/XmlDoc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
        FSavedTexts = Texts;
        Model_Code = 12;
        Load_Default_Texts();
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
        Texts = FSavedTexts;
        Dir_Project.clear();
        Set_Files();
    }
    void ParGen(const QByteArray& keys)
    {
        WriteFileWhole(File_ParGen, "<Par_Gen><KNX_TYPE>0</KNX_TYPE>" + keys + "</Par_Gen><!--SW_VERSION = 1.100-->");
    }
    QByteArray Saved(const QString& name)
    {
        Save_GSDML_File(name);
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
    QStringList FSavedTexts;
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
    Save_GSDML_File(Name);
    EXPECT_EQ(Questions, QStringList{Overwrite_Question});
    EXPECT_EQ(ReadFileWhole(path), QByteArray("earlier"));

    Yes = true;
    Save_GSDML_File(Name);
    EXPECT_EQ(Questions.size(), 2);
    EXPECT_TRUE(ReadFileWhole(path).startsWith("<?xml"));

    // Nobody to answer: the file stays as it is.
    WriteFileWhole(path, "earlier");
    GSDML_Dialogs.AskYesNo = nullptr;
    Save_GSDML_File(Name);
    EXPECT_EQ(ReadFileWhole(path), QByteArray("earlier"));
}

TEST_F(GsdmlProject, CancelOrAnotherModelWritesNothing)
{
    Confirm = false;
    Save_GSDML_File(Name);
    EXPECT_FALSE(FileExists(PathJoin(Other, Name)));

    Confirm = true;
    Model_Code = 9;
    Save_GSDML_File(Name);
    EXPECT_FALSE(FileExists(PathJoin(Other, Name)));

    GSDML_Dialogs.ChooseFile = nullptr;
    EXPECT_THROW(Save_GSDML_File(Name), EInvalidOperation);
}

TEST_F(GsdmlProject, AFolderThatCannotBeWrittenRaises)
{
    GSDML_Dialogs.ChooseFile = [this](const QString&, const QString&, const QString&, QString& fileName) {
        fileName = PathJoin(FDir.path(), QStringLiteral("gone/x.xml"));
        return true;
    };
    EXPECT_THROW(Save_GSDML_File(Name), EFCreateError);
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
        EXPECT_THROW(Save_GSDML_File(parts.Compose()), EFCreateError);
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
