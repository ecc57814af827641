// The request checks of both Modbus master editors and their messages.
#include "ModbusKit.h"

namespace {

struct TCase {
    const char* name;
    QList<QStringList> read, write;
    QString message; // empty: passes
};

} // namespace

TEST_F(ModbusTest, RtuChecksStopAtTheFirstFailingRule)
{
    const QString R = "Error row 1!! [Modbus Read] ";
    const QString W = "Error row 1!! [Modbus Write] ";
    QStringList badSlave = RtuRead("Coil Status", "1", "0");
    badSlave[1] = "248";
    QStringList hexSlave = RtuRead("Coil Status", "1", "0");
    hexSlave[1] = "0xF7";
    QStringList disabled = RtuRead("", "x", "y");
    disabled[0] = " n";
    QStringList blankEnable = RtuRead("", "x", "y");
    blankEnable[0] = "";
    QStringList spaced = RtuRead("Holding Register", "1", "0");
    spaced[0] = " Y ";
    QStringList lower = RtuRead("", "1", "0");
    lower[0] = " y";
    QStringList badAddress = RtuRead("Coil Status", "1", "0");
    badAddress[3] = "65536";
    QStringList badError = RtuRead("Coil Status", "1", "0");
    badError[6] = "100000001";
    const TCase cases[] = {
        {"register at 1437", {RtuRead("Holding Register", "1", "1437")}, {}, ""},
        {"register at 1438", {RtuRead("Holding Register", "1", "1438")}, {},
         R + "Too many bytes to save starting from the Position indicate"},
        {"coils 8 at 1438 bit 0", {RtuRead("Coil Status", "8", "1438", "0")}, {}, ""},
        {"coils 8 at 1438 bit 1", {RtuRead("Coil Status", "8", "1438", "1")}, {},
         R + "Too many bytes to save starting from the Position indicate"},
        {"register 125", {RtuRead("Holding Register", "125", "0")}, {}, ""},
        {"register 126", {RtuRead("Holding Register", "126", "0")}, {}, R + "NPoint must be between 1 and 125"},
        {"input register 126", {RtuRead("input register ", "126", "0")}, {}, R + "NPoint must be between 1 and 125"},
        {"coils 2000", {RtuRead("Coil Status", "2000", "0")}, {}, ""},
        {"inputs 2001", {RtuRead("Input Status", "2001", "0")}, {}, R + "NPoint must be between 1 and 2000"},
        {"npoint 0", {RtuRead("Coil Status", "0", "0")}, {}, R + "NPoint must be between 1 and 2000"},
        {"read poll 0", {RtuRead("Coil Status", "1", "0", "0", "0")}, {}, R + "Poll Time must be between 1 and 100000000"},
        {"write poll 0", {}, {RtuWrite("Coil Status", "1", "0", "0", "0")}, ""},
        {"write poll -1", {}, {RtuWrite("Coil Status", "1", "0", "0", "-1")}, W + "Poll Time must be between 0 and 100000000"},
        {"slave 248", {badSlave}, {}, R + "Slave ID must be between 1 and 247"},
        {"slave in hexadecimal", {hexSlave}, {}, ""},
        {"empty type", {RtuRead("", "1", "0")}, {},
         R + "Type must be Coil Status or Input Status or Holding Register or Input Register"},
        {"write input register", {}, {RtuWrite("Input Register", "1", "0")},
         W + "Type must be Coil Status or Holding Register"},
        {"address 65536", {badAddress}, {}, R + "Address must be between 0 and 65535"},
        {"max error", {badError}, {}, R + "Max Error must be between 0 and 100000000"},
        {"position 1439", {RtuRead("Coil Status", "1", "1439")}, {}, R + "Position must be between 0 and 1438"},
        {"bit empty", {RtuRead("Coil Status", "1", "0", "")}, {}, R + "Bit must be between 0 and 7"},
        {"register ignores the bit", {RtuRead("Holding Register", "1", "0", "")}, {}, ""},
        {"write register 123", {}, {RtuWrite("Holding Register", "123", "0")}, ""},
        {"write register 124", {}, {RtuWrite("Holding Register", "124", "0")}, W + "NPoint must be between 1 and 123"},
        {"write coils 1969", {}, {RtuWrite("Coil Status", "1969", "0")}, W + "NPoint must be between 1 and 1968"},
        {"write bit empty", {}, {RtuWrite("Coil Status", "1", "0", "")}, W + "Bit must be between 0 and 7"},
        {"write span", {}, {RtuWrite("Holding Register", "2", "1436")},
         W + "Too many bytes to read starting from the Position indicate"},
        {"disabled row is not checked", {disabled}, {}, ""},
        {"an emptied Enable counts as disabled", {blankEnable}, {}, ""},
        {"enable is trimmed", {spaced}, {}, ""},
        {"a lower-case enable is checked, as the builder builds it", {lower}, {},
         R + "Type must be Coil Status or Input Status or Holding Register or Input Register"},
        {"the read table comes first", {RtuRead("Coil Status", "0", "0")}, {RtuWrite("Coil Status", "0", "0")},
         R + "NPoint must be between 1 and 2000"},
        {"second row", {RtuRead("Coil Status", "1", "0"), RtuRead("Coil Status", "1", "1439")}, {},
         "Error row 2!! [Modbus Read] Position must be between 0 and 1438"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Check(Rtu, c.read, c.write), c.message) << c.name;
}

TEST_F(ModbusTest, TcpChecksStopAtTheFirstFailingRule)
{
    const QString R = "Error row 1!! [Modbus Read] ";
    const QString W = "Error row 1!! [Modbus Write] ";
    QStringList badPort = TcpRead("1.2.3.4", "Coil Status", "1", "0");
    badPort[2] = "65536";
    QStringList badWritePort = TcpWrite("1.2.3.4", "Coil Status", "1", "0");
    badWritePort[2] = "";
    QStringList disabled = TcpRead("no address", "", "0", "");
    disabled[0] = "N";
    const QList<QStringList> ok = {TcpRead("1.2.3.4", "Coil Status", "1", "0")};
    const TCase cases[] = {
        {"leading zeros", {TcpRead("192.168.001.010", "Coil Status", "1", "0")}, {}, ""},
        {"three parts", {TcpRead("1.2.3", "Coil Status", "1", "0")}, {},
         R + "Slave IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)"},
        {"write address", {}, {TcpWrite("256.1.1.1", "Coil Status", "1", "0")},
         W + "Slave IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)"},
        {"port", {badPort}, {}, R + "Port must be between 0 and 65535"},
        {"write port", {}, {badWritePort}, W + "Port must be between 0 and 65535"},
        {"register 200 in row 3", {ok[0], ok[0], TcpRead("1.2.3.4", "Holding Register", "200", "0")}, {},
         "Error row 3!! [Modbus Read] NPoint must be between 1 and 125"},
        {"coil at 1438 bit 7", {TcpRead("1.2.3.4", "Coil Status", "1", "1438", "7")}, {}, ""},
        {"coils 2 at 1438 bit 7", {TcpRead("1.2.3.4", "Coil Status", "2", "1438", "7")}, {},
         R + "Too many bytes to save starting from the Position indicate"},
        {"read bit empty", {TcpRead("1.2.3.4", "Input Status", "1", "0", "")}, {}, R + "Bit must be between 0 and 7"},
        {"write register 124", {}, {TcpWrite("1.2.3.4", "Holding Register", "124", "0")},
         W + "NPoint must be between 1 and 123"},
        {"write coils 1968", {}, {TcpWrite("1.2.3.4", "Coil Status", "1968", "0")}, ""},
        {"write coils 1969", {}, {TcpWrite("1.2.3.4", "Coil Status", "1969", "0")}, W + "NPoint must be between 1 and 1968"},
        {"read poll 0", {TcpRead("1.2.3.4", "Coil Status", "1", "0", "0", "0")}, {},
         R + "Poll Time must be between 1 and 100000000"},
        {"write poll 0", {}, {TcpWrite("1.2.3.4", "Coil Status", "1", "0", "0", "0")}, ""},
        {"write type from a hand-edited file", {}, {TcpWrite("1.2.3.4", "Input Register", "1", "0")},
         W + "Type must be Coil Status or Holding Register"},
        {"type in other letters", {TcpRead("1.2.3.4", " HOLDING register", "1", "0")}, {}, ""},
        {"disabled", {disabled}, {}, ""},
        {"write position", {}, {TcpWrite("1.2.3.4", "Coil Status", "1", "-1")}, W + "Position must be between 0 and 1438"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Check(Tcp, c.read, c.write), c.message) << c.name;
}

TEST(ModbusRules, IpAddresses)
{
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"192.168.1.125", true}, {"192.168.001.010", true}, {"0.0.0.0", true}, {"255.255.255.255", true},
        {"0x7F.0.0.1", true},    {"1.2.3", false},          {"1.2.3.4.5", false}, {"256.1.1.1", false},
        {"10.0.0", false},       {"", false},               {"1.2.3.4 ", false},  {"1..3.4", false},
        {"a.b.c.d", false},      {"1.2.3.-1", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TFModbus_TCP_Master_Set_Access::Check_IP_Address(QString::fromLatin1(c.text)), !c.valid)
            << '"' << c.text << '"';
}

TEST(ModbusRules, TheLastByteOfARequest)
{
    EXPECT_EQ(ModbusRules::Last_Byte(false, 1437, 1, 0), 1438);
    EXPECT_EQ(ModbusRules::Last_Byte(true, 1438, 8, 0), 1438);
    EXPECT_EQ(ModbusRules::Last_Byte(true, 1438, 8, 1), 1439);
    EXPECT_EQ(ModbusRules::Last_Byte(true, 0, 2000, 7), 250);
    // A Start Bit far out of its range does not overflow.
    EXPECT_EQ(ModbusRules::Last_Byte(true, 0, 1, 2147483647), 268435455);
}

TEST_F(ModbusTest, AFailingOkWritesNothingAndKeepsTheCells)
{
    Rtu->FormShow(nullptr);
    FillPage(Rtu, 1, 1, RtuWrite("Holding Register", "124", "0"));
    Rtu->Set_Active_Page(1);
    EXPECT_FALSE(Ok(Rtu));
    EXPECT_FALSE(FileExists(File_ModbusM_SetAccess));
    EXPECT_EQ(Messages(), QStringList({"Error row 1!! [Modbus Write] NPoint must be between 1 and 123"}));
    EXPECT_EQ(Script.Last().Type, mtError);
    EXPECT_EQ(Rtu->Cell(1, MW_NPoint, 1), "124");
    EXPECT_EQ(Rtu->Active_Page(), 1);
}
