#include "app/UComon.h"

#include "platform/core/Files.h"
#include "platform/sys/SerialPort.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Restores the model code and the folders a test changes.
class ModelScope {
public:
    explicit ModelScope(int code) : FSaved(Model_Code) { Model_Code = code; }
    ~ModelScope()
    {
        Model_Code = FSaved;
        Set_Model_Texts();
    }

private:
    int FSaved;
};

} // namespace

TEST(ModelTable, BuildModelIsJ1939)
{
    EXPECT_EQ(Model_Code, 9);
    Set_Model_Texts();
    EXPECT_EQ(SW_Code, "CF31A06");
    EXPECT_EQ(SW_Desc, "J1939 / KNX - Converter");
    EXPECT_EQ(Program_Title, "www.tavlon.example - Configurator CF31A06 - J1939 / KNX ");
    EXPECT_EQ(Get_Version(9), "1.100");
    EXPECT_EQ(Get_Doc_Code(9), "MN31A06");
    EXPECT_EQ(Get_HW_Code(9), "GW31A06");
}

TEST(ModelTable, EveryCodeHasItsRow)
{
    struct Row {
        int code;
        const char* sw;
        const char* pair;
        const char* version;
        const char* doc;
        const char* hw;
    };
    const Row rows[] = {
        {1, "CF31A08", "Modbus Master / KNX", "1.202", "MN31A08", "GW31A08"},
        {2, "CF31A09", "Modbus Slave / KNX", "1.200", "MN31A09", "GW31A09"},
        {3, "CF31A10", "Modbus TCP Master / KNX", "1.102", "MN31A10", "GW31A10"},
        {4, "CF31A11", "Modbus TCP Slave / KNX", "1.200", "MN31A11", "GW31A11"},
        {5, "CF31A01", "CAN / KNX", "1.101", "MN31A01", "GW31A01"},
        {6, "CF31A02", "CANopen / KNX", "1.000", "MN31A02", "GW31A02"},
        {7, "CF31A04", "DeviceNet Master / KNX", "1.000", "MN31A04", "GW31A04"},
        {8, "CF31A05", "DeviceNet Slave / KNX", "1.000", "MN31A05", "GW31A05"},
        {10, "CF31A07", "M-Bus Master / KNX", "1.203", "MN31A07", "GW31A07"},
        {11, "CF31A14", "DMX / KNX", "1.104", "MN31A14", "GW31A14"},
        {12, "CF31A12", "PROFINET Slave / KNX", "1.100", "MN31A12", "GW31A12"},
        {13, "CF31A03", "EtherNet/IP / KNX", "1.002", "MN31A03", "GW31A03"},
        {14, "CF31A15", "Ethernet / KNX", "1.004", "MN31A15", "GW31A15"},
        {15, "CF31A13", "SNMP / KNX", "1.002", "MN31A13", "GW31A13"},
        {1001, "OS-GW-103-TP-485", "Modbus Master / KNX", "1.202", "MCOSGW103TP485", "GW31A08"},
        {1003, "OS-GW-103-TP-TCP", "Modbus Master / KNX", "1.102", "MCOSGW103TPTCP", "GW31A08"},
        {1010, "OS-GW-105-TP", "M-Bus Master / KNX", "1.203", "MCOSGW105TP", "GW31A08"},
        {1011, "OS-GW-104-TP", "DMX / KNX", "1.104", "MCOSGW104TP", "GW31A08"},
        {1012, "OS-GW-106-TP", "PROFINET Slave / KNX", "1.100", "MCOSGW106TP", "GW31A08"},
        {1014, "OS-GW-102-TP", "Ethernet / KNX", "1.004", "MCOSGW102TP", "GW31A08"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.code);
        EXPECT_EQ(Get_SW_Code(r.code), r.sw);
        EXPECT_EQ(Get_Version(r.code), r.version);
        EXPECT_EQ(Get_Doc_Code(r.code), r.doc);
        EXPECT_EQ(Get_HW_Code(r.code), r.hw);
        const QString company = r.code > 1000 ? "Brimel" : "www.tavlon.example";
        EXPECT_EQ(Get_Program_Title(r.code),
                  company + " - Configurator " + r.sw + " - " + r.pair + " ");
        if (r.code <= 15) {
            EXPECT_EQ(QString::fromLatin1(Table_SW_Code_Check[r.code - 1]), r.sw);
        }
    }
}

TEST(ModelTable, PartnerEditionTakesItsOwnCodeAndBrimelTitle)
{
    ModelScope scope(1012);
    Set_Model_Texts();
    EXPECT_EQ(SW_Code, "OS-GW-106-TP");
    EXPECT_EQ(SW_Desc, "Gateway PROFINET - KNX TP");
    EXPECT_EQ(Program_Title, "Brimel - Configurator OS-GW-106-TP - PROFINET Slave / KNX ");
    EXPECT_EQ(Get_Program_Title(1003),
              "Brimel - Configurator OS-GW-103-TP-TCP - Modbus Master / KNX ");
    EXPECT_EQ(Base_Model_Code(1012), 12);
    EXPECT_EQ(Base_Model_Code(12), 12);
}

TEST(ModelTable, UnknownCodes)
{
    for (int code : {0, 16, 1002, -1}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(Find_Model(code), nullptr);
        EXPECT_EQ(Get_SW_Code(code), "");
        EXPECT_EQ(Get_HW_Code(code), "GW31A08");
        EXPECT_FALSE(Is_Partner_Model(code));
    }
}

TEST(SharedState, NoProjectMeansEmptyPaths)
{
    Dir_Project.clear();
    Set_Files();
    const QString* all[] = {&File_ParGen, &File_KNX_SetAccess, &File_ModbusM_SetAccess,
                            &File_ModbusTCPM_SetAccess, &File_CAN_Rec_Frames, &File_CAN_Send_Frames,
                            &File_CAN_Rec_Info, &File_CAN_Send_Info, &File_SDO_Server_CANopen,
                            &File_SDO_Client_CANopen, &File_PDO_CANopen, &File_DNETM_Net,
                            &File_DNETM_DefOff, &File_J1939_Rec_Frames, &File_J1939_Send_Frames,
                            &File_M_Bus, &File_DMX_Default_Values};
    for (const QString* p : all)
        EXPECT_TRUE(p->isEmpty()) << p->toStdString();
}

TEST(SharedState, SetFilesJoinsTheProjectFolder)
{
    Dir_Project = "/data/PROJECTS/Plant";
    Set_Files();
    EXPECT_EQ(File_ParGen, "/data/PROJECTS/Plant/ParGen.xml");
    EXPECT_EQ(File_KNX_SetAccess, "/data/PROJECTS/Plant/KNX_SetAccess.xml");
    EXPECT_EQ(File_J1939_Rec_Frames, "/data/PROJECTS/Plant/J1939_Rec_Frames.xml");
    EXPECT_EQ(File_J1939_Send_Frames, "/data/PROJECTS/Plant/J1939_Send_Frames.xml");
    EXPECT_EQ(File_M_Bus, "/data/PROJECTS/Plant/M_Bus.xml");
    EXPECT_EQ(File_DMX_Default_Values, "/data/PROJECTS/Plant/DMX_Default_Values.xml");
    Dir_Project.clear();
    Set_Files();
}

TEST(SharedState, ProgramFolders)
{
    Set_Program_Folders("/opt/kal/");
    EXPECT_EQ(Dir_Program, "/opt/kal");
    EXPECT_EQ(Dir_Master, "/opt/kal/MASTER");
    EXPECT_EQ(Dir_Projects, "/opt/kal/PROJECTS");
    EXPECT_EQ(Dir_Language, "/opt/kal/LANGUAGE");
}

TEST(SharedState, ProjectNameMustBeAPlainFolderName)
{
    const struct {
        const char* name;
        bool valid;
    } cases[] = {
        {"Plant 1", true}, {"a.b", true},    {"", false},      {".", false},
        {"..", false},     {"../x", false},  {"a/b", false},   {"a\\b", false},
        {"a\tb", false},   {"a\nb", false},  {"/etc", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Is_Valid_Project_Name(QString::fromUtf8(c.name)), c.valid) << c.name;
}

TEST(SharedState, StoredProjectOpensOnlyWhenItsFolderExists)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    Set_Program_Folders(tmp.path());
    Force_Program_Folders();
    EXPECT_TRUE(DirectoryExists(PathJoin(tmp.path(), "MASTER")));
    EXPECT_TRUE(DirectoryExists(PathJoin(tmp.path(), "LANGUAGE")));
    ASSERT_TRUE(DirectoryExists(Dir_Projects));
    ASSERT_TRUE(ForceDirectories(PathJoin(Dir_Projects, "Plant")));

    Name_Project = "Plant";
    EXPECT_TRUE(Open_Stored_Project());
    EXPECT_EQ(Dir_Project, PathJoin(Dir_Projects, "Plant"));
    EXPECT_EQ(File_ParGen, PathJoin(Dir_Projects, "Plant/ParGen.xml"));

    // A deleted folder: none open, but the stored name is kept for the settings.
    Name_Project = "Gone";
    EXPECT_FALSE(Open_Stored_Project());
    EXPECT_EQ(Dir_Project, "");
    EXPECT_EQ(File_ParGen, "");
    EXPECT_EQ(Name_Project, "Gone");

    // A name that climbs out of the projects folder never opens it.
    Name_Project = "..";
    EXPECT_FALSE(Open_Stored_Project());
    EXPECT_EQ(Dir_Project, "");
    Name_Project.clear();
}

TEST(KnxCodes, TextsToCodes)
{
    const struct {
        const char* text;
        int rw, priority, conversion;
    } cases[] = {
        {"Write", 128, 1, 0},
        {"READ", 0, 1, 0},
        {"77", 77, 1, 0},
        {"abc", 0, 1, 0},
        {"", 0, 1, 0},
        {"low", 0, 3, 0},
        {"System", 0, 0, 0},
        {"Urgent", 0, 2, 0},
        {"Normal", 0, 1, 0},
        {" Low", 0, 1, 0}, // no blanks are removed
        {"None", 0, 1, 0},
        {"Swap16", 0, 1, 0x1000},
        {"Swap32", 0, 1, 0x2000},
        {"swap all", 0, 1, 0x3000},
        {"Swap All", 0, 1, 0x3000},
        {"Int to Float", 0, 1, 0x4000},
        {"Float to Int", 0, 1, 0x5000},
        {"Float16 to Float32", 0, 1, 0x6000},
        {"Float16 to Int", 0, 1, 0x7000},
        {"Float16 to Int * 10", 0, 1, 0x8000},
        {"Float16 to Int * 100", 0, 1, 0x9000},
        {"SWAP 16", 0, 1, 0},
        // Case is ignored for a to z only: a long s does not stand for "S".
        {"\xC5\xBFystem", 0, 1, 0},
        {"\xC5\xBFwap16", 0, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QString t = QString::fromUtf8(c.text);
        EXPECT_EQ(Get_RW_Flag(t), c.rw);
        EXPECT_EQ(Get_Priority(t), c.priority);
        EXPECT_EQ(Get_Conversion(t), c.conversion);
    }
}

TEST(KnxCodes, NoDecimalPoint)
{
    EXPECT_TRUE(No_Decimal_Point("1/2/3"));
    EXPECT_TRUE(No_Decimal_Point("4660"));
    EXPECT_FALSE(No_Decimal_Point("1.1.10"));
}

TEST(KnxAddress, GroupAndIndividualForms)
{
    const struct {
        const char* text;
        bool group, zero;
        int expected;
    } cases[] = {
        // group form
        {"31/2047", true, true, 0},
        {"31/7/255", true, true, 0},
        {"0/1", true, false, 0},
        {"0/0/1", true, false, 0},
        {"0/0", true, true, 1},
        {"0/0/0", true, true, 1},
        {"32/1", true, true, 1},
        {"1/2048", true, true, 1},
        {"1/8/1", true, true, 1},
        {"1/1/256", true, true, 1},
        {"1/2/3/4", true, true, 1},
        {"1.2", true, true, 1},
        {"1", true, true, 0},
        {"65535", true, true, 0},
        {"0", true, true, 1},
        {"65536", true, true, 1},
        {" 1 / 2 ", true, true, 0}, // parts lose their blanks
        {"1//2", true, true, 1},
        {"a/1", true, true, 1},
        {"0x1/1", true, true, 1}, // decimal only
        {"-1/1", true, true, 1},
        {"\xC2\xA0" "1/2", true, true, 1}, // a no-break space is not a blank
        // individual form
        {"15.15.255", false, false, 0},
        {"1.1.200", false, false, 0},
        {" 1 . 1 . 200 ", false, false, 0},
        {"1.1.200\xC2\xA0", false, false, 1},
        {"16.1.1", false, false, 1},
        {"1.16.1", false, false, 1},
        {"1.1.256", false, false, 1},
        {"1.2", false, true, 1},
        {"1.2.3.4", false, true, 1},
        {"0.0.0", false, true, 0},
        {"0.0.0", false, false, 1},
        {"65535", false, false, 0},
        {"0", false, true, 1},
        {"65536", false, false, 1},
        {"1/2", false, true, 1},
        {"", false, true, 1},
        {"", true, true, 1},
        {"1.1.99999999999999999999", false, true, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Check_KNX_Address(QString::fromUtf8(c.text), c.group, c.zero), c.expected)
            << c.text << " group=" << c.group << " zero=" << c.zero;
}

TEST(ModelQueries, MBusModelsOnly)
{
    const struct {
        int code, dev, isMBus;
    } cases[] = {{9, 0, 0}, {10, 15, 1}, {1010, 15, 1}, {1, 0, 0}, {11, 0, 0}};
    for (const auto& c : cases) {
        ModelScope scope(c.code);
        EXPECT_EQ(MBus_XML_Code_Dev(), c.dev) << c.code;
        EXPECT_EQ(Is_MBus_Model(), c.isMBus) << c.code;
    }
    EXPECT_EQ(BACnet_No_Units(), 95);
}

TEST(SerialPorts, PortsFollowThePlatformList)
{
    auto fake = std::make_unique<Sys::FakeSerialPorts>();
    // A port in use by another program is still listed by the platform.
    fake->Ports = {"/dev/ttyS0", "/dev/ttyS3", "/dev/ttyUSB0"};
    Sys::SetSerialPorts(std::move(fake));
    EXPECT_EQ(List_COM_Ports(), QStringList({"1", "2", "3"}));
    EXPECT_EQ(COM_Port_Device(1), "/dev/ttyS0");
    EXPECT_EQ(COM_Port_Device(3), "/dev/ttyUSB0");
    EXPECT_EQ(COM_Port_Device(0), "");
    EXPECT_EQ(COM_Port_Device(4), "");

    QStringList many;
    for (int i = 0; i < 300; ++i)
        many.append(QString("/dev/ttyUSB%1").arg(i));
    const QStringList ports = List_COM_Ports_From(many);
    EXPECT_EQ(ports.size(), 256);
    EXPECT_EQ(ports.last(), "256");
    EXPECT_TRUE(List_COM_Ports_From({}).isEmpty());
    Sys::SetSerialPorts(nullptr);
}
