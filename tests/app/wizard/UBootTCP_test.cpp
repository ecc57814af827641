// The update wizard: address check, showing, the ping run on a scripted echo
// service and a fast clock, Next, the updater's parameter file and command
// lines, and Start_Program's bounded wait.
#include "WizardTestUtil.h"

#include "app/UBootTCP.h"
#include "platform/core/Files.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

using namespace wiztest;

// ---------------------------------------------------------------------------
// Valid_IP

struct TIPCase {
    const char* Text;
    bool Valid;
    QStringList Octets;
};

TEST(Valid_IP, AcceptsDottedOctetsOnly)
{
    const TIPCase cases[] = {
        {"192.168.2.205", true, {"192", "168", "2", "205"}},
        {"  192 . 168 .2.  205  ", true, {"192", "168", "2", "205"}},
        {"0.0.0.0", true, {"0", "0", "0", "0"}},
        {"255.255.255.255", true, {"255", "255", "255", "255"}},
        {"$FF.0x10.0.1", true, {"$FF", "0x10", "0", "1"}}, // the integer rule takes hexadecimal
        {"10.0.0", false, {}},
        {"10.0.0.256", false, {}},
        {"10.0.0.1.5", false, {}},
        {"a.b.c.d", false, {}},
        {"-1.0.0.0", false, {}},
        {"1..2.3", false, {}},
        {"", false, {}},
        {"gateway.local", false, {}},
    };
    for (const TIPCase& c : cases) {
        QStringList octets{"x"};
        EXPECT_EQ(Valid_IP(QString::fromLatin1(c.Text), &octets), c.Valid) << c.Text;
        EXPECT_EQ(octets, c.Valid ? c.Octets : QStringList{"x"}) << c.Text;
    }
}

// ---------------------------------------------------------------------------
// Showing

TEST_F(WizardTest, ShowFillsTheOctetsFromAValidLastAddressOnly)
{
    TBootTCP w;
    w.FormShow();
    EXPECT_EQ(w.E_IP, (std::array<QString, 4>{"192", "168", "2", "205"}));
    EXPECT_EQ(w.Page(), TBootTCP::TPage::Address);
    EXPECT_FALSE(w.Esegui_Ping());
    EXPECT_TRUE(w.CB_Firmware && w.CB_Read_Firm && w.CB_Conf && w.CB_Read_Conf);

    for (const char* bad : {"10.0.0", "10.0.0.256", "10.0.0.1.5", "a.b.c.d", ""}) {
        w.E_IP = {"127", "0", "0", "9"};
        Last_IP_Address = QString::fromLatin1(bad);
        w.FormShow();
        EXPECT_EQ(w.E_IP, (std::array<QString, 4>{"127", "0", "0", "9"})) << bad;
    }
}

TEST_F(WizardTest, PromptNamesTheHardwareCodeAfterTwoBlanks)
{
    const struct {
        int Code;
        const char* Prompt;
    } cases[] = {
        {9, "Insert the IP Address of  GW31A06"},
        {1, "Insert the IP Address of  GW31A08"},
        {13, "Insert the IP Address of  GW31A03"},
        {1001, "Insert the IP Address of  OS-GW-103-TP-485"},
        {1014, "Insert the IP Address of  OS-GW-101-TP"},
    };
    TBootTCP w;
    for (const auto& c : cases) {
        Model_Code = c.Code;
        EXPECT_EQ(w.Address_Prompt(), QString::fromLatin1(c.Prompt)) << c.Code;
    }
}

TEST(BootTCP, DotMovesOnFromTheFirstThreeOctetsOnly)
{
    EXPECT_EQ(TBootTCP::Octet_KeyPress(0, '.'), 1);
    EXPECT_EQ(TBootTCP::Octet_KeyPress(2, '.'), 3);
    EXPECT_EQ(TBootTCP::Octet_KeyPress(3, '.'), -1); // typed into the fourth
    EXPECT_EQ(TBootTCP::Octet_KeyPress(1, '5'), -1);
}

// ---------------------------------------------------------------------------
// Ping run

struct TPingCase {
    const char* Name;
    std::function<TTry(int)> Script;
    int Text;     // 69 found, 70 not found
    int Min_Tries, Max_Tries;
};

TEST_F(WizardTest, PingRunEndsOnTwoRepliesOrAfterTenSecondsAndTheLastTryDecides)
{
    const TPingCase cases[] = {
        {"answers every request", [](int) { return TTry{true, 1}; }, 69, 2, 2},
        {"never answers", [](int) { return TTry{false, 400}; }, 70, 24, 26},
        {"one reply, then silence", [](int n) { return TTry{n == 0, n == 0 ? 1 : 400}; }, 70, 24, 26},
        // 24 silent tries of 410 ms reach 9840 ms; the 25th answers and ends
        // past the limit: found, with a single reply.
        {"only the last try answers", [](int n) { return n < 24 ? TTry{false, 400} : TTry{true, 200}; }, 69, 25, 25},
        {"replies apart", [](int n) { return TTry{n % 5 == 4, n % 5 == 4 ? 1 : 400}; }, 69, 10, 10},
    };
    for (const TPingCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Echo->Addresses.clear();
        Echo->Script = c.Script;
        TBootTCP w;
        Use_Fake_Clock(w);
        w.E_IP = {"127", "0", "0", "1"};
        const uint32_t start = Clock.Now;
        w.LbButton1Click();
        EXPECT_EQ(w.LPing_Text(), Text_Of(c.Text));
        EXPECT_EQ(w.LPing_Color(), c.Text == 69 ? TBootTCP::Found_Color : TBootTCP::Not_Found_Color);
        EXPECT_EQ(w.Esegui_Ping(), c.Text == 69);
        EXPECT_EQ(w.Ping_(), c.Text == 69 ? 1 : 2);
        EXPECT_GE(Echo->Addresses.size(), c.Min_Tries);
        EXPECT_LE(Echo->Addresses.size(), c.Max_Tries);
        // At most one try longer than the limit.
        EXPECT_LE(Clock.Now - start, uint32_t(10000 + 410));
        if (c.Text == 70) {
            EXPECT_GT(Clock.Now - start, uint32_t(10000));
        }
        // Every request went to the typed address, 1024 bytes, 400 ms.
        EXPECT_EQ(QSet<QString>(Echo->Addresses.begin(), Echo->Addresses.end()), QSet<QString>{"127.0.0.1"});
        EXPECT_EQ(QSet<int>(Echo->Sizes.begin(), Echo->Sizes.end()), QSet<int>{1024});
        EXPECT_EQ(QSet<int>(Echo->Timeouts.begin(), Echo->Timeouts.end()), QSet<int>{400});
        Echo->Sizes.clear();
        Echo->Timeouts.clear();
    }
}

TEST_F(WizardTest, PingFailureShowsTextSeventyOneAndForgetsAnEarlierSuccess)
{
    TBootTCP w;
    Use_Fake_Clock(w);
    w.E_IP = {"127", "0", "0", "1"};
    w.LbButton1Click();
    ASSERT_TRUE(w.Esegui_Ping());

    Echo->Script = [](int) -> TTry { throw ESysError(QStringLiteral("no echo socket")); };
    w.LbButton1Click();
    EXPECT_FALSE(w.Esegui_Ping());
    EXPECT_EQ(w.LPing_Text(), "Error!!! Check the Ip Address");
    EXPECT_EQ(w.LPing_Color(), TBootTCP::Not_Found_Color);
    EXPECT_FALSE(w.Ping_Running());
}

TEST_F(WizardTest, MalformedAddressNeverReachesTheNetwork)
{
    Sys::SetIcmpEcho(std::make_unique<TLoopbackOnlyEcho>());
    TBootTCP w;
    Use_Fake_Clock(w);
    for (const std::array<QString, 4>& ip : {std::array<QString, 4>{"a", "b", "c", "d"},
                                             std::array<QString, 4>{"127", "0", "0", "256"},
                                             std::array<QString, 4>{"localhost", "", "", ""},
                                             std::array<QString, 4>{" 127", "0", "0", "1"}}) {
        w.E_IP = ip;
        w.LbButton1Click();
        EXPECT_EQ(w.LPing_Text(), Text_Of(71)) << w.Typed_Address().toStdString();
        EXPECT_FALSE(w.Esegui_Ping());
    }
}

TEST_F(WizardTest, ButtonsAreBusyOnlyWhileARunGoesOnAndASecondClickIsIgnored)
{
    TBootTCP w;
    QList<bool> busy;
    w.On_Busy_Changed = [&](bool b) { busy.append(b); };
    int pauses = 0;
    w.Wait_Step = [&] {
        ++pauses;
        EXPECT_TRUE(w.Ping_Running());
        w.LbButton1Click(); // a click that arrives while messages are processed
        Clock.Now += 10;
    };
    w.E_IP = {"127", "0", "0", "1"};
    w.LbButton1Click();
    EXPECT_EQ(Echo->Addresses.size(), 2);
    EXPECT_EQ(pauses, 2);
    EXPECT_EQ(busy, (QList<bool>{true, false}));
    EXPECT_FALSE(w.Ping_Running());

    busy.clear();
    Echo->Script = [](int) -> TTry { throw ESysError(QStringLiteral("no echo socket")); };
    w.LbButton1Click();
    EXPECT_EQ(busy, (QList<bool>{true, false}));
}

TEST_F(WizardTest, RealPingOfLoopbackFindsTheDevice)
{
    try {
        Sys::RealIcmpEcho().Echo(QStringLiteral("127.0.0.1"), 8, 400);
    } catch (const ESysError& e) {
        GTEST_SKIP() << "no ICMP echo socket on this machine: " << e.Message().toStdString();
    }
    SetTickCountHook({});
    Sys::SetIcmpEcho(std::make_unique<TLoopbackOnlyEcho>());
    TBootTCP w;
    w.E_IP = {"127", "0", "0", "1"};
    w.LbButton1Click();
    EXPECT_EQ(w.LPing_Text(), "Device Found!");
    EXPECT_EQ(w.LPing_Color(), 0x008000u);
    EXPECT_TRUE(w.Esegui_Ping());
}

// ---------------------------------------------------------------------------
// Next

TEST_F(WizardTest, NextNeedsAFoundDeviceAndStoresTheAddressAsItStandsThen)
{
    TBootTCP w;
    Use_Fake_Clock(w);
    w.FormShow();
    QString message;
    EXPECT_FALSE(w.LbButton2Click(&message));
    EXPECT_EQ(message, "Device not found in network");
    EXPECT_EQ(w.Page(), TBootTCP::TPage::Address);

    w.E_IP = {"127", "0", "0", "1"};
    Echo->Script = [](int) { return TTry{false, 400}; };
    w.LbButton1Click();
    EXPECT_EQ(w.LPing_Text(), "Device Not Found!");
    EXPECT_FALSE(w.LbButton2Click(&message));
    EXPECT_EQ(message, Text_Of(72));
    EXPECT_EQ(Last_IP_Address, "192.168.2.205");

    Echo->Script = [](int) { return TTry{true, 1}; };
    w.LbButton1Click();
    w.E_IP[3] = "2"; // edited after the ping
    EXPECT_TRUE(w.LbButton2Click(&message));
    EXPECT_EQ(w.Page(), TBootTCP::TPage::Options);
    EXPECT_EQ(Last_IP_Address, "127.0.0.2");
    EXPECT_EQ(w.Request().IP_Address, "127.0.0.2");

    // Showing again goes back to the address page and needs a new ping.
    w.FormShow();
    EXPECT_EQ(w.Page(), TBootTCP::TPage::Address);
    EXPECT_FALSE(w.LbButton2Click());
    EXPECT_EQ(w.E_IP, (std::array<QString, 4>{"127", "0", "0", "2"}));
}

// ---------------------------------------------------------------------------
// Per-model updaters

TEST(UpdaterTable, EveryModelHasOneRowAndGenericRowsCarryPlaceholderProtections)
{
    for (const TModelInfo& m : Model_Table) {
        const TUpdaterInfo* u = Find_Updater(m.Code);
        ASSERT_NE(u, nullptr) << m.Code;
        const bool generic = QList<int>{3, 6, 9, 10, 15, 1010}.contains(m.Code);
        EXPECT_EQ(u->Generic, generic) << m.Code;
        if (!generic)
            continue;
        const int count = m.Code == 10 || m.Code == 1010 ? 2 : 1;
        for (int i = 0; i < 2; ++i) {
            if (i >= count) {
                EXPECT_EQ(u->Protections[i], nullptr) << m.Code;
                continue;
            }
            ASSERT_NE(u->Protections[i], nullptr) << m.Code;
            EXPECT_TRUE(QRegularExpression("^0x[0-9A-F]{3}$").match(QString::fromLatin1(u->Protections[i])).hasMatch())
                << m.Code << " " << u->Protections[i];
        }
    }
    EXPECT_EQ(Find_Updater(16), nullptr);
}

TEST(UpdaterArguments, PerModelCommandLineIsOneArgumentPerPart)
{
    TUpdateRequest r;
    r.Model_Code = 1;
    r.IP_Address = "192.168.2.205";
    r.Dir_Program = "/opt/gw";
    r.Dir_Master = "/opt/gw/MASTER";
    r.Dir_Project = "/opt/gw/PROJECTS/My Plant";
    EXPECT_EQ(Updater_Path(r), "/opt/gw/TCP_31A08_Update.exe");
    EXPECT_EQ(Updater_Arguments(r),
              (QStringList{"192.168.2.205", "2007", "FW", "FR", "PW", "PR", "/opt/gw/MASTER/sim31A08.sim",
                           "/opt/gw/PROJECTS/My Plant/bin/bank.bin"}));

    // Each flag stands for its own box, whatever the others say.
    const struct {
        bool F, RF, C, RC;
        QStringList Flags;
    } flags[] = {
        {false, true, false, true, {"NO", "FR", "NO", "PR"}},
        {true, false, true, false, {"FW", "NO", "PW", "NO"}},
        {false, false, false, false, {"NO", "NO", "NO", "NO"}},
    };
    for (const auto& f : flags) {
        r.Firmware = f.F;
        r.Read_Firm = f.RF;
        r.Conf = f.C;
        r.Read_Conf = f.RC;
        EXPECT_EQ(Updater_Arguments(r).mid(2, 4), f.Flags);
    }

    const struct {
        int Code;
        const char* Program;
        const char* Firmware;
    } models[] = {
        {1001, "TCP_31A08_Brimel_Update.exe", "sim31A08.sim"}, {2, "TCP_31A09_Update.exe", "sim31A09.sim"},
        {1003, "TCP_31A10_Brimel_Update.exe", "sim31A10.sim"}, {4, "TCP_31A11_Update.exe", "sim31A11.sim"},
        {5, "TCP_31A01_Update.exe", "sim31A01.sim"},           {7, "TCP_31A04_Update.exe", "sim31A04.sim"},
        {8, "TCP_31A05_Update.exe", "sim31A05.sim"},           {11, "TCP_31A14_Update.exe", "sim31A14.sim"},
        {1011, "TCP_31A14_Brimel_Update.exe", "sim31A14.sim"}, {12, "TCP_31A12_Update.exe", "sim31A12.sim"},
        {1012, "TCP_31A12_Brimel_Update.exe", "sim31A12.sim"}, {13, "TCP_31A03_Update.exe", "sim31A03.sim"},
        {14, "TCP_31A15_Update.exe", "sim31A15.sim"},          {1014, "TCP_31A15_Brimel_Update.exe", "sim31A15.sim"},
    };
    for (const auto& m : models) {
        r.Model_Code = m.Code;
        EXPECT_EQ(Updater_Path(r), QStringLiteral("/opt/gw/") + m.Program);
        EXPECT_EQ(Updater_Arguments(r).value(6), QStringLiteral("/opt/gw/MASTER/") + m.Firmware);
    }

    for (int generic : {3, 6, 9, 10, 15, 1010}) {
        r.Model_Code = generic;
        EXPECT_TRUE(Updater_Arguments(r).isEmpty()) << generic;
    }
    r.Model_Code = 1010;
    EXPECT_EQ(Updater_Path(r), "/opt/gw/Ethernet_Update_Brimel.exe");
}

// ---------------------------------------------------------------------------
// The parameter file

namespace {

TUpdateRequest Request_Of(int code)
{
    TUpdateRequest r;
    r.Model_Code = code;
    r.IP_Address = "10.1.2.3";
    r.Dir_Program = "/p";
    r.Dir_Master = "/p/MASTER";
    r.Dir_Project = "/p/PROJECTS/A";
    return r;
}

QStringList Header(const QString& title, const QStringList& protections)
{
    QStringList h{"Ethernet_Update",          "  Version=1000",         "  Title=" + title,
                  "  IP_Address_Dev=10.1.2.3", "  Application_Port=10000", "  Boot_Port=2008",
                  "  Boot_Port_Sec=2007",      "  Address_Protection=0x78000", "  Protections"};
    for (const QString& p : protections)
        h.append("    Protection=" + p);
    h.append("  Operations");
    return h;
}

// One Operation as it must be written; `wid` adds the internal-data block.
QStringList Operation(const QString& file, const QString& start, const QString& bank, const QString& readBack,
                      const QString& writeCss, const QString& addressCss, bool wid, const QString& goToApp)
{
    QStringList o{"    Operation",
                  "      Ope_Protection_Enabled=",
                  "      Ope_GoToBoot_Before=0",
                  "      Ope_GoToApp_Before=0",
                  "      Ope_IP_Address=",
                  "      Ope_Port=2008",
                  "      Ope_Port_Sec=2007",
                  "      Ope_Erase_Memory=0",
                  "      Ope_FileName=" + file,
                  "      Ope_Start_Address=" + start,
                  "      Ope_Memory_Type=0",
                  "      Ope_Bank_Type=" + bank,
                  "      Ope_Read_Back=" + readBack,
                  "      Ope_Write_CSS=" + writeCss,
                  "      Ope_Address_CSS=" + addressCss,
                  "      Ope_Command_CSS=0x0B"};
    if (wid)
        o << "      Ope_Write_Internal_Data=1"
          << "      Ope_WID_Address=0x78200"
          << "      Ope_WID_Command=0x0B"
          << "      Ope_WID_Data=0x01, 0x00, 0x00, 0x00";
    o << "      Ope_GoToApp_After=" + goToApp;
    return o;
}

QStringList Built(const TUpdateRequest& r)
{
    XmlDocument doc;
    Build_Update_Parameters(r, doc);
    return Flatten(doc);
}

} // namespace

TEST(UpdateParameters, Model9WithEveryBoxTicked)
{
    const QStringList expected = Header("www.tavlon.example - CF31A06 Ethernet Update", {"0xA06"}) +
                                 Operation("/p/MASTER/Sim31A06.sim", "0x8000", "1", "1", "1", "0x78100", false, "0") +
                                 Operation("/p/PROJECTS/A/bin/bank.bin", "0x5B000", "2", "1", "0", "0x50100", false, "1");
    EXPECT_EQ(Built(Request_Of(9)), expected);
}

TEST(UpdateParameters, OperationsFollowTheTicks)
{
    TUpdateRequest r = Request_Of(9);
    r.Firmware = false;
    r.Read_Firm = false;
    r.Read_Conf = false;
    EXPECT_EQ(Built(r), Header("www.tavlon.example - CF31A06 Ethernet Update", {"0xA06"}) +
                            Operation("/p/PROJECTS/A/bin/bank.bin", "0x5B000", "2", "0", "0", "0x50100", false, "1"));

    // Firmware alone goes back to the application after it.
    r = Request_Of(9);
    r.Conf = false;
    r.Read_Firm = false;
    EXPECT_EQ(Built(r), Header("www.tavlon.example - CF31A06 Ethernet Update", {"0xA06"}) +
                            Operation("/p/MASTER/Sim31A06.sim", "0x8000", "1", "0", "1", "0x78100", false, "1"));

    // Nothing ticked: an empty list of operations.
    r.Firmware = false;
    QStringList empty = Header("www.tavlon.example - CF31A06 Ethernet Update", {"0xA06"});
    empty.last() = "  Operations=";
    EXPECT_EQ(Built(r), empty);
}

TEST(UpdateParameters, MBusModelsWriteTwoProtectionsAndTwoConfigurations)
{
    const QStringList tail =
        Operation("/p/MASTER/Sim31A07.sim", "0x8000", "1", "1", "1", "0x78100", false, "0") +
        Operation("/p/PROJECTS/A/bin/bank2.bin", "0x50800", "2", "1", "0", "0x50100", false, "0") +
        Operation("/p/PROJECTS/A/bin/bank1.bin", "0x68000", "2", "1", "0", "0x50100", true, "1");
    EXPECT_EQ(Built(Request_Of(10)), Header("www.tavlon.example - CF31A07 Ethernet Update", {"0xA07", "0xB07"}) + tail);
    EXPECT_EQ(Built(Request_Of(1010)), Header("OS-GW-105-TP Ethernet Update", {"0xA07", "0xB07"}) + tail);
}

TEST(UpdateParameters, PerModelTitleFirmwareAndStart)
{
    const struct {
        int Code;
        const char* Sw;
        const char* Firmware;
        const char* Start;
    } cases[] = {
        {3, "CF31A10", "Sim31A10.sim", "0x5B000"},
        {6, "CF31A02", "Sim31A02.sim", "0x55000"},
        {15, "CF31A13", "Sim31A13.sim", "0x63000"},
    };
    for (const auto& c : cases) {
        const QStringList b = Built(Request_Of(c.Code));
        EXPECT_EQ(b[2], QStringLiteral("  Title=www.tavlon.example - %1 Ethernet Update").arg(c.Sw));
        EXPECT_TRUE(b.contains(QStringLiteral("      Ope_FileName=/p/MASTER/") + c.Firmware)) << c.Code;
        EXPECT_TRUE(b.contains(QStringLiteral("      Ope_Start_Address=") + c.Start)) << c.Code;
    }
}

// ---------------------------------------------------------------------------
// Execute and Start_Program

namespace {

void Touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

} // namespace

TEST_F(WizardTest, ExecuteOfModel1StartsItsUpdaterWithTheEightArguments)
{
    Model_Code = 1;
    Touch(Dir_Program + "/TCP_31A08_Update.exe");
    TBootTCP w;
    w.E_IP = {"127", "0", "0", "1"};
    EXPECT_EQ(w.LbButton4Click(), TProgramEnd::Exited);
    ASSERT_EQ(Processes->Starts.size(), 1);
    EXPECT_EQ(Processes->Starts[0].Program, Dir_Program + "/TCP_31A08_Update.exe");
    EXPECT_EQ(Processes->Starts[0].Args,
              (QStringList{"127.0.0.1", "2007", "FW", "FR", "PW", "PR", Dir_Master + "/sim31A08.sim",
                           Dir_Project + "/bin/bank.bin"}));
    // A per-model updater gets no parameter file.
    EXPECT_FALSE(FileExists(Dir_Program + "/Ethernet_Update.xml"));
}

TEST_F(WizardTest, ExecuteOfModel9WritesTheParameterFileThenStartsTheGenericUpdater)
{
    Touch(Dir_Program + "/Ethernet_Update.exe");
    TBootTCP w;
    w.E_IP = {"127", "0", "0", "1"};
    w.CB_Firmware = false;
    w.LbButton4Click();
    ASSERT_EQ(Processes->Starts.size(), 1);
    EXPECT_EQ(Processes->Starts[0].Program, Dir_Program + "/Ethernet_Update.exe");
    EXPECT_TRUE(Processes->Starts[0].Args.isEmpty());

    XmlDocument doc;
    doc.LoadFromFile(Dir_Program + "/Ethernet_Update.xml");
    EXPECT_EQ(doc.DocumentElement().ChildElement("Operations").ChildElements().size(), 1);
    EXPECT_EQ(doc.DocumentElement().ChildElement("IP_Address_Dev").Text(), "127.0.0.1");
}

TEST_F(WizardTest, ParameterFileThatCannotBeWrittenStartsNothing)
{
    Touch(Dir_Program + "/Ethernet_Update.exe");
    ASSERT_TRUE(QDir().mkpath(Dir_Program + "/Ethernet_Update.xml")); // a folder in the way
    TBootTCP w;
    EXPECT_THROW(w.LbButton4Click(), Exception);
    EXPECT_TRUE(Processes->Starts.isEmpty());
}

TEST_F(WizardTest, StartProgramNamesAMissingOrUnstartableProgram)
{
    const QString missing = Dir_Program + "/Ethernet_Update.exe";
    try {
        Start_Program(missing, {}, false);
        ADD_FAILURE() << "no error for a missing program";
    } catch (const EStartProgramError& e) {
        EXPECT_TRUE(e.Message().contains(missing)) << e.Message().toStdString();
    }
    EXPECT_TRUE(Processes->Starts.isEmpty());

    Touch(missing);
    Processes->FailStartWith = QStringLiteral("Permission denied");
    try {
        Start_Program(missing, {}, false);
        ADD_FAILURE() << "no error for a program that cannot start";
    } catch (const EStartProgramError& e) {
        EXPECT_TRUE(e.Message().contains(missing));
        EXPECT_TRUE(e.Message().contains("Permission denied"));
    }
}

namespace {

// Records the waits asked of it; every program "runs" past any wait.
class TSlowProcesses : public Sys::FakeProcesses {
public:
    QList<int> Timeouts;
    Sys::WaitResult Wait(Sys::ProcessId pid, int timeoutMs) override
    {
        Timeouts.append(timeoutMs);
        (void)pid;
        return {Sys::WaitStatus::TimedOut, -1};
    }
};

} // namespace

TEST_F(WizardTest, StartProgramWaitsAtMostOneHundredFiftySecondsAndLeavesTheProgramRunning)
{
    auto slow = std::make_unique<TSlowProcesses>();
    TSlowProcesses* p = slow.get();
    Sys::SetProcesses(std::move(slow));
    const QString program = Dir_Program + "/TCP_31A08_Update.exe";
    Touch(program);
    EXPECT_EQ(Start_Program(program, {"a b", "c"}, false), TProgramEnd::Timed_Out);
    EXPECT_EQ(p->Timeouts, QList<int>{150000});
    ASSERT_EQ(p->Starts.size(), 1);
    EXPECT_EQ(p->Starts[0].Args, (QStringList{"a b", "c"}));
    EXPECT_EQ(p->Detached, QList<Sys::ProcessId>{p->Starts[0].Id});
    EXPECT_TRUE(p->Terminated.isEmpty());
}
