#include "FakeMBusGateway.h"

#include "mbus/UMBusScanDecode.h"
#include "platform/sys/SerialPort.h"
#include "platform/xml/XmlDoc.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <array>

namespace {

QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

std::string HexOf(const QByteArray& b)
{
    return b.toHex(' ').toUpper().toStdString();
}

using Report = std::array<int32_t, 4>;

// A clock the test moves: every sleep of the engine advances it at once.
class TFakeClock : public IMBusClock {
public:
    uint32_t Tick() override { return Now; }
    void Sleep(uint32_t ms) override { Now += ms; }
    std::atomic<uint32_t> Now{100000};
};

// A UDP endpoint that can be told to fail every send.
class TFailingEndpoint : public Sys::FakeUdpEndpoint {
public:
    int SendTo(const QByteArray& data, const QString& address, quint16 port) override
    {
        if (Fail)
            throw ESysError(QStringLiteral("Network is unreachable"), 101);
        return FakeUdpEndpoint::SendTo(data, address, port);
    }
    std::atomic<bool> Fail{false};
};

class TFailingFactory : public Sys::IUdpFactory {
public:
    std::unique_ptr<Sys::IUdpEndpoint> Create() override
    {
        auto e = std::make_unique<TFailingEndpoint>();
        Last = e.get();
        return e;
    }
    TFailingEndpoint* Last = nullptr;
};

const QByteArray Meter5_Frame = Hex("68 15 15 68 08 05 72 78 56 34 12 42 04 01 07 2A 00 00 00 04 13 10 27 00 00 59 16");
const char* const Gateway = "127.0.0.2";

// Steps an engine that never runs its own thread, on the fake clock and a
// fake UDP endpoint, and plays the gateway with the fake gateway's script:
// what the engine sends in a step is answered before the next one.
class ScanStepTest : public ::testing::Test {
protected:
    struct Sent {
        QByteArray Data;
        uint32_t StepStart; // the clock when the step that sent it began
        uint32_t At;        // the clock when it was sent
    };

    void SetUp() override
    {
        List_Slaves_MBus.Free_All();
        List_Slaves_wMBus.Free_All();
        auto factory = std::make_unique<TFailingFactory>();
        Factory = factory.get();
        Sys::SetUdp(std::move(factory));
        Clock = std::make_shared<TFakeClock>();
        Engine = std::make_unique<TMBusScanDecode>(true, Clock);
        Endpoint = Factory->Last;
    }
    void TearDown() override
    {
        Engine.reset();
        Sys::SetUdp(nullptr);
        Sys::SetSerialPorts(nullptr);
        List_Slaves_MBus.Free_All();
        List_Slaves_wMBus.Free_All();
    }

    TUpdateSlaveList Recorder()
    {
        return [this](int32_t k, int32_t a, int32_t f, int32_t t) { Reports.append({k, a, f, t}); };
    }

    bool Start(TScanType type, bool appReset = false, bool sndNke = false, int cutAfter = 3)
    {
        return Engine->Start_Scan(type, shEthernet, QString::fromLatin1(Gateway), 2400, 1, appReset, sndNke,
                                  cutAfter, Recorder());
    }

    void Step()
    {
        const uint32_t start = Clock->Now;
        if (Wireless)
            Engine->Scan_Decode_Wireless();
        else
            Engine->Scan_Decode();
        const QList<Sys::FakeUdpEndpoint::Sent> all = Endpoint->SentData();
        for (qsizetype i = SentCount; i < all.size(); ++i) {
            EXPECT_EQ(all[i].Address, QString::fromLatin1(Gateway));
            EXPECT_EQ(all[i].Port, 10000);
            Datagrams.append({all[i].Data, start, Engine->Start_Send});
            if (const auto answer = Gateway_Script.Answer(all[i].Data))
                Engine->UDP_Data_Received({*answer, QString::fromLatin1(Gateway), 10000});
        }
        SentCount = all.size();
        Clock->Sleep(40);
        ++Steps;
    }

    // Steps until the scan has ended (bounded, so a fault fails instead of
    // hanging).
    void Run_To_End(int maxSteps = 200000)
    {
        while (Engine->InScan() && Steps < maxSteps)
            Step();
        ASSERT_FALSE(Engine->InScan()) << "the scan did not end";
    }

    QList<QByteArray> Sent_Data() const
    {
        QList<QByteArray> d;
        for (const Sent& s : Datagrams)
            d.append(s.Data);
        return d;
    }

    TFailingFactory* Factory = nullptr;
    TFailingEndpoint* Endpoint = nullptr;
    std::shared_ptr<TFakeClock> Clock;
    std::unique_ptr<TMBusScanDecode> Engine;
    TFakeGatewayScript Gateway_Script;
    QList<Sent> Datagrams;
    qsizetype SentCount = 0;
    QList<Report> Reports;
    int Steps = 0;
    bool Wireless = false;
};

// ---------------------------------------------------------------------------
// Frames, time-outs, start values

TEST(MBusFrames, AreBuiltByteForByte)
{
    struct Case {
        QByteArray Frame;
        const char* Bytes;
    };
    std::array<int32_t, 8> any;
    any.fill(-1);
    std::array<int32_t, 8> first = any;
    first[0] = 1;
    const Case cases[] = {
        {MBusFrame::SND_NKE(0xFF), "10 40 FF 3F 16"},
        {MBusFrame::SND_NKE(5), "10 40 05 45 16"},
        {MBusFrame::SND_NKE(0xFD), "10 40 FD 3D 16"},
        {MBusFrame::REQ_UD2(5, 0), "10 7B 05 80 16"},
        {MBusFrame::REQ_UD2(5, 1), "10 5B 05 60 16"},
        {MBusFrame::REQ_UD2(5, 2), "10 7B 05 80 16"},
        {MBusFrame::REQ_UD2(0xFD, 0), "10 7B FD 78 16"},
        {MBusFrame::App_Reset(5), "68 03 03 68 73 05 50 C8 16"},
        {MBusFrame::App_Reset(0xFF), "68 03 03 68 73 FF 50 C2 16"},
        {MBusFrame::Sec_Select(first), "68 0B 0B 68 73 FD 52 FF FF FF 1F FF FF FF FF DA 16"},
        {MBusFrame::Sec_Select({1, 2, 3, 4, 5, 6, 7, 8}), "68 0B 0B 68 73 FD 52 78 56 34 12 FF FF FF FF D2 16"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HexOf(c.Frame), HexOf(Hex(c.Bytes))) << c.Bytes;
}

TEST(MBusFrames, AnswerChecks)
{
    EXPECT_TRUE(MBusFrame::Is_Ack(Hex("E5")));
    EXPECT_FALSE(MBusFrame::Is_Ack(Hex("E5 E5")));
    EXPECT_TRUE(MBusFrame::Is_Valid_Long_Frame(Meter5_Frame));
    QByteArray badSum = Meter5_Frame;
    badSum[badSum.size() - 2] = char(0x5A);
    EXPECT_FALSE(MBusFrame::Is_Valid_Long_Frame(badSum));
    // Well formed, correct sum, but one byte short of the smallest frame.
    const QByteArray short21 = Fake_Meter_Frame(5, 0x12345678, 0x0442, 1, 7, QByteArray());
    ASSERT_EQ(short21.size(), 21);
    EXPECT_FALSE(MBusFrame::Is_Valid_Long_Frame(short21));
    EXPECT_TRUE(MBusFrame::Is_Valid_Long_Frame(Fake_Meter_Frame(5, 1, 0x0442, 1, 7, Hex("00"))));
    EXPECT_TRUE(MBusFrame::Is_No_Slave(QByteArray("NO_SLAVE\n\r")));
    EXPECT_FALSE(MBusFrame::Is_No_Slave(QByteArray("NO_SLAVE\r\n")));
    EXPECT_TRUE(MBusFrame::Is_Framed_Text(QByteArray("\n\rAnalyzer_Mode Enabled!\n\r"), "Analyzer_Mode Enabled!"));
    EXPECT_FALSE(MBusFrame::Is_Framed_Text(QByteArray("Analyzer_Mode Enabled!"), "Analyzer_Mode Enabled!"));
}

TEST(MBusFrames, TimeOutsFollowTheBaudRate)
{
    struct Case {
        int Baud, Short, Long;
    };
    const Case cases[] = {{300, 1350, 11066}, {2400, 387, 1602}, {9600, 284, 588}, {38400, 258, 334},
                          {0, 387, 1602},     {-9600, 387, 1602}};
    for (const Case& c : cases) {
        EXPECT_EQ(MBus_Short_Timeout(c.Baud), c.Short) << c.Baud;
        EXPECT_EQ(MBus_Long_Timeout(c.Baud), c.Long) << c.Baud;
    }
    EXPECT_EQ(MBus_Command_Timeout, 1000);
}

TEST_F(ScanStepTest, StartValues)
{
    EXPECT_EQ(Engine->ScanType, saPrimaryAddress);
    EXPECT_EQ(Engine->Select_Hardware, shEthernet);
    EXPECT_EQ(Engine->Baudrate, 2400);
    EXPECT_EQ(Engine->Parity, 1);
    EXPECT_FALSE(Engine->App_Reset);
    EXPECT_FALSE(Engine->SND_NKE);
    EXPECT_EQ(Engine->Cut_After, 0);
    EXPECT_EQ(Engine->Step_Scan, 0);
    EXPECT_EQ(Engine->MBusType, mtWired);
    EXPECT_FALSE(Engine->From_DLL);
    EXPECT_EQ(Engine->Result(), -1);
    EXPECT_FALSE(Engine->InScan());
    EXPECT_EQ(Engine->Local_Bind_Address, QString());
    EXPECT_EQ(Engine->Local_Port, 10000);
    EXPECT_EQ(Engine->Gateway_Port, 10000);
    // Nothing is bound before a scan.
    EXPECT_FALSE(Endpoint->IsBound());
    ASSERT_NE(Engine->Event_Run(), nullptr);
    EXPECT_EQ(Engine->Event_Run()->WaitFor(0), wrTimeout);
}

// ---------------------------------------------------------------------------
// Primary scan

TEST_F(ScanStepTest, PrimaryScanWithoutMetersPollsEveryAddressOnce)
{
    ASSERT_TRUE(Start(saPrimaryAddress));
    EXPECT_TRUE(Endpoint->IsBound());
    EXPECT_EQ(Endpoint->LocalPort(), 10000);
    Run_To_End();

    const QList<QByteArray> sent = Sent_Data();
    ASSERT_EQ(sent.size(), 1 + 1 + 251 + 1);
    EXPECT_EQ(sent[0], QByteArray("Tavlon_Enable_Analyzer_Mode"));
    EXPECT_EQ(HexOf(sent[1]), "10 40 FF 3F 16");
    for (int a = 0; a <= 250; ++a) {
        const Sent& s = Datagrams[2 + a];
        EXPECT_EQ(HexOf(s.Data), HexOf(MBusFrame::REQ_UD2(uint8_t(a), 0))) << a;
        EXPECT_GE(s.At - s.StepStart, 500u) << a;
    }
    EXPECT_EQ(sent.last(), QByteArray("Tavlon_Disable_Analyzer_Mode"));

    ASSERT_EQ(Reports.size(), 1 + 251 + 1);
    EXPECT_EQ(Reports.first(), (Report{1, 0, 0, 1}));
    for (int a = 0; a <= 250; ++a)
        EXPECT_EQ(Reports[1 + a], (Report{2, a, 0, 1}));
    EXPECT_EQ(Reports.last(), (Report{3, 0, 0, 1}));
    EXPECT_FALSE(Engine->InScan());
    EXPECT_EQ(Engine->Result(), 1);
    EXPECT_FALSE(Endpoint->IsBound());
    EXPECT_EQ(List_Slaves_MBus.Count(), 0);
}

TEST_F(ScanStepTest, WithBothOptionsEachAddressIsResetThenWokenThenRead)
{
    ASSERT_TRUE(Start(saPrimaryAddress, true, true));
    Run_To_End();
    const QList<QByteArray> sent = Sent_Data();
    ASSERT_EQ(sent.size(), 2 + 3 * 251 + 1);
    for (int a = 0; a <= 250; ++a) {
        const uint8_t address = uint8_t(a);
        EXPECT_EQ(HexOf(sent[2 + 3 * a]), HexOf(MBusFrame::App_Reset(address))) << a;
        EXPECT_EQ(HexOf(sent[3 + 3 * a]), HexOf(MBusFrame::SND_NKE(address))) << a;
        EXPECT_EQ(HexOf(sent[4 + 3 * a]), HexOf(MBusFrame::REQ_UD2(address, 0))) << a;
        for (int k = 0; k < 3; ++k)
            EXPECT_GE(Datagrams[2 + 3 * a + k].At - Datagrams[2 + 3 * a + k].StepStart, 500u);
    }
    EXPECT_EQ(Reports.last(), (Report{3, 0, 0, 1}));
}

TEST_F(ScanStepTest, AMeterAnsweringAValidFrameBecomesOneDevice)
{
    Gateway_Script.Meters.append({5, 0x12345678, {Meter5_Frame}, 0});
    ASSERT_TRUE(Start(saPrimaryAddress));
    Run_To_End();

    EXPECT_EQ(Reports[1 + 5], (Report{2, 5, 1, 1}));
    EXPECT_EQ(Reports[1 + 4], (Report{2, 4, 0, 1}));
    auto list = List_Slaves_MBus.Lock();
    ASSERT_EQ(list->size(), 1);
    const TSlave_MBus* d = (*list)[0];
    EXPECT_EQ(d->Primary_Addresss, 5);
    EXPECT_EQ(d->Secondary_Addresss, QStringLiteral("12345678"));
    EXPECT_EQ(d->Manufacture, 0x0442);
    EXPECT_EQ(d->descManufacture, QStringLiteral("ABB"));
    EXPECT_EQ(d->Version, 1);
    EXPECT_EQ(d->Medium, 7);
    EXPECT_EQ(d->descmedium, QStringLiteral("Water"));
    EXPECT_EQ(d->Status, 0);
    ASSERT_EQ(d->List_Var.size(), 1);
    EXPECT_EQ(d->List_Var[0]->Desc_Type_Data, QStringLiteral("Volume m3"));
    EXPECT_EQ(d->List_Var[0]->ValueStr, QStringLiteral("10"));
}

TEST_F(ScanStepTest, SecondaryAddressIsTheIdentificationNumberWithoutLeadingZeros)
{
    struct Case {
        uint32_t Id;
        const char* Text;
    };
    const Case cases[] = {
        {0x00012345, "12345"}, {0x00000002, "02"}, {0x12345678, "12345678"}, {0, "00"}, {0x00000100, "100"},
    };
    for (const Case& c : cases) {
        int index = -1;
        Engine->Store_Wired_Answer(index, Fake_Meter_Frame(5, c.Id, 0x0442, 1, 7, Hex("00")));
        auto list = List_Slaves_MBus.Lock();
        ASSERT_EQ(index + 1, list->size());
        EXPECT_EQ((*list)[index]->Secondary_Addresss, QString::fromLatin1(c.Text));
    }
}

TEST_F(ScanStepTest, TheScanReportIsOnDiskWhenTheEndIsReported)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/scan.xml");
    Gateway_Script.Meters.append({5, 0x12345678, {Meter5_Frame}, 0});
    Engine->SaveXMLFile = path;
    bool reportSeenAtEnd = false;
    ASSERT_TRUE(Engine->Start_Scan(saPrimaryAddress, shEthernet, QString::fromLatin1(Gateway), 2400, 1, false, false,
                                   3, [&](int32_t k, int32_t, int32_t, int32_t) {
                                       if (k == 3)
                                           reportSeenAtEnd = QFile::exists(path);
                                   }));
    Run_To_End();
    EXPECT_TRUE(reportSeenAtEnd);
    XmlDocument doc;
    doc.LoadFromFile(path);
    const XmlNode root = doc.DocumentElement();
    EXPECT_EQ(root.NodeName(), QStringLiteral("SCAN_M-Bus_Wired"));
    ASSERT_EQ(root.ChildElements().size(), 1);
    EXPECT_EQ(root.ChildElements()[0].Attribute(QStringLiteral("Primary_Address")).TextOr({}), QStringLiteral("5"));
}

TEST_F(ScanStepTest, AReportThatCannotBeWrittenStillEndsTheScan)
{
    Engine->SaveXMLFile = QStringLiteral("/nonexistent-dir-for-mbus/scan.xml");
    ASSERT_TRUE(Start(saPrimaryAddress));
    Run_To_End();
    EXPECT_FALSE(Engine->Last_Error().isEmpty());
    ASSERT_FALSE(Reports.isEmpty());
    EXPECT_EQ(Reports.last()[0], 3);
}

TEST_F(ScanStepTest, AnInvalidAnswerIsNotFoundAndMakesNoDevice)
{
    QByteArray badSum = Meter5_Frame;
    badSum[badSum.size() - 2] = char(0x58);
    const QByteArray cut = Meter5_Frame.left(21);
    const QByteArray short21 = Fake_Meter_Frame(5, 0x12345678, 0x0442, 1, 7, QByteArray());
    for (const QByteArray& answer : {badSum, cut, short21}) {
        TearDown();
        SetUp();
        Reports.clear();
        Datagrams.clear();
        SentCount = 0;
        Gateway_Script = TFakeGatewayScript();
        Gateway_Script.Meters.append({5, 0x12345678, {answer}, 0});
        ASSERT_TRUE(Start(saPrimaryAddress));
        Run_To_End();
        EXPECT_EQ(Reports[1 + 5], (Report{2, 5, 0, 1})) << HexOf(answer);
        EXPECT_EQ(Reports.last(), (Report{3, 0, 0, 1}));
        EXPECT_EQ(List_Slaves_MBus.Count(), 0) << HexOf(answer);
    }
}

TEST_F(ScanStepTest, AMeterAnnouncingMoreRecordsIsReadUpToCutAfterFrames)
{
    // Each frame holds one volume record and ends with DIF 1Fh: more follow.
    QList<QByteArray> frames;
    for (int i = 1; i <= 4; ++i)
        frames.append(Fake_Meter_Frame(5, 0x12345678, 0x0442, 1, 7,
                                       Hex("04 13") + QByteArray(1, char(i)) + Hex("00 00 00 1F")));
    struct Case {
        int CutAfter;
        int Requests;
    };
    // A meter that never stops announcing more is read 250 times at most.
    for (const Case c : {Case{3, 3}, Case{0, 1}, Case{-5, 1}, Case{1, 1}, Case{100000, 250}}) {
        TearDown();
        SetUp();
        Reports.clear();
        Datagrams.clear();
        SentCount = 0;
        Gateway_Script = TFakeGatewayScript();
        Gateway_Script.Meters.append({5, 0x12345678, frames, 0});
        ASSERT_TRUE(Start(saPrimaryAddress, false, false, c.CutAfter));
        Run_To_End();
        QList<QByteArray> to5;
        for (const QByteArray& d : Sent_Data())
            if (d.size() == 5 && uint8_t(d[0]) == 0x10 && uint8_t(d[2]) == 5)
                to5.append(d);
        ASSERT_EQ(to5.size(), c.Requests) << c.CutAfter;
        for (int i = 0; i < c.Requests; ++i)
            EXPECT_EQ(HexOf(to5[i]), i % 2 == 0 ? "10 7B 05 80 16" : "10 5B 05 60 16") << c.CutAfter;
        auto list = List_Slaves_MBus.Lock();
        ASSERT_EQ(list->size(), 1);
        ASSERT_EQ((*list)[0]->List_Var.size(), c.Requests) << c.CutAfter;
        for (int i = 0; i < c.Requests; ++i)
            EXPECT_EQ((*list)[0]->List_Var[i]->ValueStr, QString::number(double(std::min(i + 1, 4)) / 1000))
                << c.CutAfter;
        EXPECT_EQ(Reports[1 + 5], (Report{2, 5, 1, 1}));
        EXPECT_EQ(Reports.last(), (Report{3, 0, 0, 1}));
    }
}

TEST_F(ScanStepTest, AbortDuringAPrimaryScanEndsWithoutEndReport)
{
    ASSERT_TRUE(Start(saPrimaryAddress));
    for (int i = 0; i < 60; ++i)
        Step();
    ASSERT_TRUE(Engine->InScan());
    Engine->Abort_Scan();
    Run_To_End(Steps + 200);
    EXPECT_EQ(Sent_Data().last(), QByteArray("Tavlon_Disable_Analyzer_Mode"));
    EXPECT_EQ(Engine->Result(), 1);
    for (const Report& r : Reports)
        EXPECT_NE(r[0], 3);
    EXPECT_FALSE(Endpoint->IsBound());
    EXPECT_FALSE(Engine->AbortScan());
}

TEST_F(ScanStepTest, StopEndsAPrimaryScanWithItsEndReport)
{
    // The end report comes while the scan still counts as running: the
    // window cannot yet start another one and replace the callback.
    bool scanningAtEnd = false;
    ASSERT_TRUE(Engine->Start_Scan(saPrimaryAddress, shEthernet, QString::fromLatin1(Gateway), 2400, 1, false, false,
                                   3, [&](int32_t k, int32_t a, int32_t f, int32_t t) {
                                       Reports.append({k, a, f, t});
                                       if (k == 3)
                                           scanningAtEnd = Engine->InScan();
                                   }));
    for (int i = 0; i < 60; ++i)
        Step();
    Engine->Stop_Scan();
    Run_To_End(Steps + 200);
    EXPECT_EQ(Reports.last(), (Report{3, 0, 0, 1}));
    EXPECT_LT(Reports.size(), 1 + 251 + 1);
    EXPECT_TRUE(scanningAtEnd);
    EXPECT_FALSE(Engine->InScan());
}

TEST_F(ScanStepTest, AProgressCallbackThatRaisesDoesNotStopTheScan)
{
    int calls = 0;
    ASSERT_TRUE(Engine->Start_Scan(saPrimaryAddress, shEthernet, QString::fromLatin1(Gateway), 38400, 1, false, false,
                                   3, [&](int32_t, int32_t, int32_t, int32_t) {
                                       ++calls;
                                       throw std::runtime_error("window gone");
                                   }));
    Run_To_End();
    EXPECT_EQ(calls, 253);
    EXPECT_EQ(Engine->Result(), 1);
}

// ---------------------------------------------------------------------------
// Gateway failures and refusals

TEST_F(ScanStepTest, ASilentGatewayEndsTheScanAfterThreeAttemptsToLeaveAnalyzerMode)
{
    Gateway_Script.Silent = true;
    ASSERT_TRUE(Start(saPrimaryAddress));
    const uint32_t started = Clock->Now;
    while (Engine->Result() != 2 && Steps < 1000)
        Step();
    EXPECT_GE(Clock->Now - started, 1000u);
    EXPECT_LE(Clock->Now - started, 1000u + 2 * 40);
    Run_To_End(Steps + 1000);
    const QList<QByteArray> sent = Sent_Data();
    ASSERT_EQ(sent.size(), 4);
    EXPECT_EQ(sent[0], QByteArray("Tavlon_Enable_Analyzer_Mode"));
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(sent[i], QByteArray("Tavlon_Disable_Analyzer_Mode"));
        if (i > 1) {
            EXPECT_GE(Datagrams[i].At - Datagrams[i - 1].At, 1000u);
        }
    }
    EXPECT_EQ(Engine->Result(), 2);
    EXPECT_FALSE(Engine->InScan());
    EXPECT_FALSE(Endpoint->IsBound());
    EXPECT_TRUE(Reports.isEmpty());
}

TEST_F(ScanStepTest, AGatewayAnsweringAnotherTextFailsTheScan)
{
    Gateway_Script.Mode_Answer_Override = QByteArray("\n\rConfiguration_Mode Enabled!\n\r");
    ASSERT_TRUE(Start(saSecondaryAddress));
    Run_To_End(1000);
    EXPECT_EQ(Engine->Result(), 2);
    EXPECT_TRUE(Reports.isEmpty());
    // Every disable attempt got the wrong text too.
    EXPECT_EQ(Sent_Data().count(QByteArray("Tavlon_Disable_Analyzer_Mode")), 3);
}

TEST_F(ScanStepTest, ASendThatFailsEndsTheScanAsAGatewayFailureAndTheNextScanRuns)
{
    ASSERT_TRUE(Start(saPrimaryAddress));
    for (int i = 0; i < 10; ++i)
        Step();
    Endpoint->Fail = true;
    Run_To_End(Steps + 1000);
    EXPECT_EQ(Engine->Result(), 2);
    EXPECT_FALSE(Endpoint->IsBound());
    EXPECT_FALSE(Engine->Last_Error().isEmpty());

    Endpoint->Fail = false;
    Reports.clear();
    ASSERT_TRUE(Start(saPrimaryAddress));
    for (int i = 0; i < 10; ++i)
        Step();
    EXPECT_TRUE(Engine->InScan());
    EXPECT_EQ(Engine->Result(), 1);
    EXPECT_EQ(Reports.first(), (Report{1, 0, 0, 1}));
}

TEST_F(ScanStepTest, StartScanRefusesAnythingButOneUnicastAddress)
{
    for (const char* address : {"300.1.1.1", "", "255.255.255.255", "0.0.0.0", "224.0.0.1", "239.1.2.3",
                                "255.0.0.1", "127.0.0", "127.0.0.1.5", "gateway", " 127.0.0.2", "127.0.0.2 "}) {
        EXPECT_FALSE(Engine->Start_Scan(saPrimaryAddress, shEthernet, QString::fromLatin1(address), 2400, 1, false,
                                        false, 3, Recorder()))
            << address;
        EXPECT_FALSE(Engine->InScan());
        EXPECT_FALSE(Engine->Last_Error().isEmpty());
    }
    EXPECT_TRUE(Endpoint->SentData().isEmpty());
    EXPECT_FALSE(Endpoint->IsBound());
}

TEST_F(ScanStepTest, StartScanWhileAScanRunsIsRefused)
{
    ASSERT_TRUE(Start(saPrimaryAddress));
    Step();
    EXPECT_FALSE(Start(saSecondaryAddress));
    EXPECT_EQ(Engine->ScanType, saPrimaryAddress);
    EXPECT_EQ(Engine->Step_Scan, 1);
}

TEST_F(ScanStepTest, ABaudRateOfZeroOrLessKeeps2400)
{
    for (int baud : {0, -9600}) {
        Engine->Baudrate = 1234;
        ASSERT_TRUE(Engine->Start_Scan(saPrimaryAddress, shEthernet, QString::fromLatin1(Gateway), baud, 1, false,
                                       false, 3, Recorder()));
        EXPECT_EQ(Engine->Baudrate, 2400);
        Engine->Abort_Scan();
        Gateway_Script.Silent = true;
        Run_To_End(1000);
    }
}

TEST_F(ScanStepTest, OnlyTheGatewaysDatagramsAreAnswersAndALongOneIsCut)
{
    ASSERT_TRUE(Start(saPrimaryAddress));
    Step(); // the enable command is out (and answered)
    const QByteArray enabled = Engine->Answer();

    Engine->Send_Command(QByteArray("probe"), 10000);
    Engine->UDP_Data_Received({Hex("E5"), QStringLiteral("127.0.0.3"), 10000});
    EXPECT_FALSE(Engine->Answer_Arrived());
    EXPECT_EQ(Engine->Answer(), enabled);

    QByteArray big(3000, 'x');
    for (int i = 0; i < big.size(); ++i)
        big[i] = char(i * 7);
    Engine->UDP_Data_Received({big, QString::fromLatin1(Gateway), 4321});
    EXPECT_TRUE(Engine->Answer_Arrived());
    EXPECT_EQ(Engine->Answer(), big.left(2051));
}

TEST_F(ScanStepTest, ASocketThatCannotBeBoundRefusesTheScanWithTheReason)
{
    Engine.reset();
    Sys::SetUdp(nullptr); // the real service
    Sys::RealUdpEndpoint holder;
    holder.Bind(QStringLiteral("127.0.0.1"), 0);
    Engine = std::make_unique<TMBusScanDecode>(true, Clock);
    Engine->Local_Bind_Address = QStringLiteral("127.0.0.1");
    Engine->Local_Port = holder.LocalPort();
    EXPECT_FALSE(Start(saPrimaryAddress));
    EXPECT_FALSE(Engine->InScan());
    EXPECT_TRUE(Engine->Last_Error().contains(QString::number(holder.LocalPort())))
        << Engine->Last_Error().toStdString();
    EXPECT_FALSE(Engine->UDP_Server()->Active());
}

// ---------------------------------------------------------------------------
// Secondary search, stepped

TEST_F(ScanStepTest, SecondarySearchWithTheOptionsSendsTheirFramesFirst)
{
    Gateway_Script.Meters.append({5, 0x12345678, {Meter5_Frame}, 0});
    ASSERT_TRUE(Start(saSecondaryAddress, true, true));
    Run_To_End();
    const QList<QByteArray> sent = Sent_Data();
    ASSERT_GE(sent.size(), 5);
    EXPECT_EQ(HexOf(sent[1]), "10 40 FD 3D 16");
    EXPECT_EQ(HexOf(sent[2]), "68 03 03 68 73 FF 50 C2 16");
    EXPECT_EQ(HexOf(sent[3]), "10 40 FF 3F 16");
    const Report expected[] = {{1, 0, 0, 2}, {2, 0x12345678, 1, 2}, {3, 0, 0, 2}};
    ASSERT_EQ(Reports.size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Reports[i], expected[i]);
}

TEST_F(ScanStepTest, StopDuringTheSecondarySearchSendsNoEndReport)
{
    ASSERT_TRUE(Start(saSecondaryAddress));
    for (int i = 0; i < 8; ++i)
        Step();
    Engine->Stop_Scan();
    Run_To_End(Steps + 200);
    EXPECT_EQ(Reports.size(), 1);
    EXPECT_EQ(Engine->Result(), 1);
}

TEST_F(ScanStepTest, ACollisionAtTheLastDigitMovesOnWithoutEndlessDescent)
{
    // Two meters with one number: every selection that matches collides.
    Gateway_Script.Meters.append({1, 0x00000007, {Meter5_Frame}, 0});
    Gateway_Script.Meters.append({2, 0x00000007, {Meter5_Frame}, 0});
    ASSERT_TRUE(Start(saSecondaryAddress));
    Run_To_End();
    EXPECT_EQ(Reports.last(), (Report{3, 0, 0, 2}));
    EXPECT_EQ(List_Slaves_MBus.Count(), 0);
    // The full path down to 0000000x was searched.
    EXPECT_TRUE(Sent_Data().contains(MBusFrame::Sec_Select({0, 0, 0, 0, 0, 0, 0, 9})));
}

// ---------------------------------------------------------------------------
// Serial path

// The fake port of the serial service, kept reachable after the component
// has closed and dropped it.
class TKeptPorts : public Sys::ISerialPorts {
public:
    class TPort : public Sys::FakeSerialPort {
    public:
        explicit TPort(std::atomic<int>& closes) : FCloses(closes) {}
        void Close() override
        {
            ++FCloses;
            FakeSerialPort::Close();
        }

    private:
        std::atomic<int>& FCloses;
    };
    std::unique_ptr<Sys::ISerialPort> Create() override
    {
        auto p = std::make_unique<TPort>(Closes);
        Last = p.get();
        return p;
    }
    QStringList List() override { return {QStringLiteral("/dev/ttyFAKE0")}; }
    TPort* Last = nullptr;
    std::atomic<int> Closes{0};
};

TEST_F(ScanStepTest, TheSerialPathWritesFramesWithoutModeCommandsAndClosesThePortAtTheEnd)
{
    auto ports = std::make_unique<TKeptPorts>();
    TKeptPorts* kept = ports.get();
    Sys::SetSerialPorts(std::move(ports));
    ASSERT_TRUE(Engine->Start_Scan(saPrimaryAddress, shSerial, QStringLiteral("/dev/ttyFAKE0"), 2400, 1, false, false,
                                   3, Recorder()));
    ASSERT_NE(kept->Last, nullptr);
    EXPECT_TRUE(Engine->Comm()->Enabled());
    for (int i = 0; i < 2; ++i)
        Step();
    EXPECT_EQ(HexOf(kept->Last->Written()), "10 40 FF 3F 16");
    Engine->Stop_Scan();
    while (Engine->InScan() && Engine->Step_Scan != 203 && Steps < 1000)
        Step();
    ASSERT_EQ(Engine->Step_Scan, 203);
    EXPECT_TRUE(Engine->Comm()->Enabled());
    EXPECT_EQ(kept->Closes, 0);
    Step();
    EXPECT_FALSE(Engine->InScan());
    EXPECT_FALSE(Engine->Comm()->Enabled());
    EXPECT_EQ(kept->Closes, 1);
    EXPECT_TRUE(Endpoint->SentData().isEmpty()); // nothing went over UDP
    EXPECT_EQ(Reports.last(), (Report{3, 0, 0, 1}));
}

// ---------------------------------------------------------------------------
// Over real loopback UDP, with the engine's own thread

class ScanLoopbackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        List_Slaves_MBus.Free_All();
        Engine = NewObject<TMBusScanDecode>(false);
        Engine->Local_Bind_Address = QStringLiteral("127.0.0.1");
        Engine->Local_Port = 0;
        Engine->Gateway_Port = Gateway.Port();
        // Signalled at once: the thread must not lose it to a reset of its own.
        Engine->Event_Run()->SetEvent();
    }
    void TearDown() override
    {
        Engine->Free();
        List_Slaves_MBus.Free_All();
    }

    bool Start()
    {
        return Engine->Start_Scan(saSecondaryAddress, shEthernet, QString::fromLatin1(FakeMBusGateway::Address), 2400,
                                  1, false, false, 3, [this](int32_t k, int32_t a, int32_t f, int32_t t) {
                                      std::lock_guard g(FLock);
                                      Reports.append({k, a, f, t});
                                  });
    }
    // Waits for the end of the scan (bounded).
    bool Wait_End(int timeoutMs = 30000)
    {
        for (int waited = 0; waited < timeoutMs; waited += 10) {
            if (!Engine->InScan())
                return true;
            Sleep(10);
        }
        return false;
    }
    QList<Report> Got()
    {
        std::lock_guard g(FLock);
        return Reports;
    }

    static QByteArray Select(uint32_t pattern)
    {
        std::array<int32_t, 8> d;
        for (int i = 0; i < 8; ++i) {
            const int nibble = int(pattern >> (28 - 4 * i)) & 0xF;
            d[size_t(i)] = nibble == 0xF ? -1 : nibble;
        }
        return MBusFrame::Sec_Select(d);
    }

    FakeMBusGateway Gateway;
    TMBusScanDecode* Engine = nullptr;
    std::mutex FLock;
    QList<Report> Reports;
};

TEST_F(ScanLoopbackTest, SecondarySearchFindsOneMeter)
{
    Gateway.Add_Meter(5, 0x12345678, {Meter5_Frame});
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Wait_End());

    QList<QByteArray> expected{QByteArray("Tavlon_Enable_Analyzer_Mode"), MBusFrame::SND_NKE(0xFF),
                               Select(0x0FFFFFFF), Select(0x1FFFFFFF), MBusFrame::REQ_UD2(0xFD, 0)};
    for (uint32_t d = 2; d <= 9; ++d)
        expected.append(Select(d << 28 | 0x0FFFFFFF));
    expected.append(QByteArray("Tavlon_Disable_Analyzer_Mode"));
    const QList<QByteArray> got = Gateway.Data();
    ASSERT_EQ(got.size(), expected.size());
    for (int i = 0; i < got.size(); ++i)
        EXPECT_EQ(HexOf(got[i]), HexOf(expected[i])) << i;
    for (const FakeMBusGateway::Received& r : Gateway.Datagrams())
        EXPECT_EQ(r.From, QStringLiteral("127.0.0.1"));

    const QList<Report> reports = Got();
    ASSERT_EQ(reports.size(), 3);
    EXPECT_EQ(reports[0], (Report{1, 0, 0, 2}));
    EXPECT_EQ(reports[1], (Report{2, 0x12345678, 1, 2}));
    EXPECT_EQ(reports[2], (Report{3, 0, 0, 2}));
    EXPECT_EQ(Engine->Result(), 1);
    EXPECT_FALSE(Engine->UDP_Server()->Active());
    EXPECT_EQ(List_Slaves_MBus.Count(), 1);
}

TEST_F(ScanLoopbackTest, TwoMetersCollideAndTheSearchDescendsOneDigit)
{
    Gateway.Add_Meter(5, 0x12345678, {Meter5_Frame});
    Gateway.Add_Meter(6, 0x15555555, {Fake_Meter_Frame(6, 0x15555555, 0x0442, 1, 7, Hex("04 13 10 27 00 00"))});
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Wait_End());

    QList<QByteArray> selections;
    for (const QByteArray& d : Gateway.Data())
        if (d.size() == 17)
            selections.append(d);
    QList<QByteArray> expected{Select(0x0FFFFFFF), Select(0x1FFFFFFF)};
    for (uint32_t d = 0; d <= 9; ++d)
        expected.append(Select(0x10FFFFFF | d << 24));
    for (uint32_t d = 2; d <= 9; ++d)
        expected.append(Select(d << 28 | 0x0FFFFFFF));
    ASSERT_EQ(selections.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(HexOf(selections[i]), HexOf(expected[i])) << i;
    // Each meter was read right after its own selection.
    const QList<QByteArray> all = Gateway.Data();
    EXPECT_EQ(all[all.indexOf(Select(0x12FFFFFF)) + 1], MBusFrame::REQ_UD2(0xFD, 0));
    EXPECT_EQ(all[all.indexOf(Select(0x15FFFFFF)) + 1], MBusFrame::REQ_UD2(0xFD, 0));

    const QList<Report> reports = Got();
    ASSERT_EQ(reports.size(), 4);
    EXPECT_EQ(reports[1], (Report{2, 0x12345678, 1, 2}));
    EXPECT_EQ(reports[2], (Report{2, 0x15555555, 1, 2}));
    EXPECT_EQ(reports[3], (Report{3, 0, 0, 2}));
}

TEST_F(ScanLoopbackTest, DatagramsFromAnotherHostAndOversizedOnesChangeNothing)
{
    Gateway.Add_Meter(5, 0x12345678, {Meter5_Frame});
    const QByteArray firstSelection = Select(0x0FFFFFFF);
    std::atomic<quint16> enginePort{0};
    Gateway.Before_Answer = [&](const QByteArray& d) {
        if (d != firstSelection)
            return;
        // A stranger "acknowledges" the selection, and sends far more than
        // an answer can hold, before the gateway's own NO_SLAVE.
        FakeMBusGateway::Send_From(QStringLiteral("127.0.0.3"), Hex("E5"), QStringLiteral("127.0.0.1"), enginePort);
        FakeMBusGateway::Send_From(QStringLiteral("127.0.0.3"), QByteArray(3000, char(0xE5)),
                                   QStringLiteral("127.0.0.1"), enginePort);
        Sleep(60);
    };
    ASSERT_TRUE(Start());
    enginePort = Engine->UDP_Server()->LocalPort();
    ASSERT_TRUE(Wait_End());
    const QList<Report> reports = Got();
    ASSERT_EQ(reports.size(), 3);
    EXPECT_EQ(reports[1], (Report{2, 0x12345678, 1, 2}));
    const QList<QByteArray> all = Gateway.Data();
    EXPECT_EQ(all[all.indexOf(firstSelection) + 1], Select(0x1FFFFFFF));
}

TEST_F(ScanLoopbackTest, AMeterAnsweringMoreThanTheBufferHoldsIsSkipped)
{
    QByteArray huge = Meter5_Frame;
    huge.insert(19, QByteArray(3000 - huge.size(), char(0x2F))); // fillers
    Gateway.Add_Meter(5, 0x12345678, {huge});
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Wait_End());
    const QList<Report> reports = Got();
    ASSERT_EQ(reports.size(), 2);
    EXPECT_EQ(reports[1], (Report{3, 0, 0, 2}));
    EXPECT_EQ(List_Slaves_MBus.Count(), 0);
    EXPECT_EQ(Engine->Result(), 1);
}

TEST_F(ScanLoopbackTest, ASilentGatewayFailsTheScanAndReleasesTheSocket)
{
    Gateway.Script([](TFakeGatewayScript& s) { s.Silent = true; });
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Wait_End(15000));
    EXPECT_EQ(Engine->Result(), 2);
    const QList<FakeMBusGateway::Received> got = Gateway.Datagrams();
    ASSERT_EQ(got.size(), 4);
    for (int i = 2; i < 4; ++i)
        EXPECT_GE(got[i].AtMs - got[i - 1].AtMs, 1000);
    EXPECT_FALSE(Engine->UDP_Server()->Active());
    EXPECT_FALSE(Engine->UDP_Server()->Endpoint()->IsBound());
    EXPECT_TRUE(Got().isEmpty());
}

TEST(ScanEngineThread, EndsWhenFreedWhileBlockedOrScanning)
{
    // Blocked on its event (never signalled).
    TMBusScanDecode* idle = NewObject<TMBusScanDecode>(false);
    Sleep(30);
    idle->Free();

    // In the middle of a scan whose gateway never answers.
    FakeMBusGateway gateway;
    gateway.Script([](TFakeGatewayScript& s) { s.Silent = true; });
    TMBusScanDecode* busy = NewObject<TMBusScanDecode>(false);
    busy->Local_Bind_Address = QStringLiteral("127.0.0.1");
    busy->Local_Port = 0;
    busy->Gateway_Port = gateway.Port();
    busy->Event_Run()->SetEvent();
    ASSERT_TRUE(busy->Start_Scan(saPrimaryAddress, shEthernet, QString::fromLatin1(FakeMBusGateway::Address), 2400,
                                 1, false, false, 3, nullptr));
    ASSERT_TRUE(gateway.Wait_Until([](const auto& r) { return !r.isEmpty(); }, 5000));
    busy->Free();
}

// ---------------------------------------------------------------------------
// The wireless scan

QByteArray Cr(const char* text)
{
    return QByteArray(text) + '\r';
}

const QByteArray Telegram_T = Hex("14 44 42 04 78 56 34 12 01 07 7A 2A 00 00 00 04 13 10 27 00 00 00 50");

class WirelessStepTest : public ScanStepTest {
protected:
    void SetUp() override
    {
        ScanStepTest::SetUp();
        Wireless = true;
    }
    bool Start_Wireless(TFakeRadio kind, int mode, int channel = 0)
    {
        Gateway_Script.Radio.Kind = kind;
        return Engine->Start_Scan_Wireless(shEthernet, QString::fromLatin1(Gateway), 10000, mode, channel,
                                           [this](int32_t i, const TWirelessSlaveRow* row) {
                                               Rows.append({i, row ? std::optional(*row) : std::nullopt});
                                           },
                                           false);
    }
    // Steps until the scan receives (bounded).
    void Run_To_Receiving()
    {
        for (int i = 0; i < 2000 && !Engine->Wireless_Receive_Message && Engine->InScan(); ++i)
            Step();
        ASSERT_TRUE(Engine->Wireless_Receive_Message) << "state " << Engine->Step_Scan;
    }
    void Telegram(const QByteArray& t)
    {
        Engine->UDP_Data_Received({t, QString::fromLatin1(Gateway), 10000});
    }
    QList<QPair<int32_t, std::optional<TWirelessSlaveRow>>> Rows;
};

TEST_F(WirelessStepTest, TheFirstKindIsConfiguredCommandByCommand)
{
    struct Case {
        int Mode;
        bool N;
    } cases[] = {{5, false}, {15, true}, {17, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Mode);
        Datagrams.clear();
        Gateway_Script.Radio = TFakeRadioModule();
        ASSERT_TRUE(Start_Wireless(TFakeRadio::Telit, c.Mode));
        Run_To_Receiving();
        EXPECT_EQ(Engine->Step_Scan, 134);
        EXPECT_EQ(Engine->RadioModule, rmTelit);
        QList<QByteArray> expected = {"Tavlon_Enable_Configuration_Mode", "Tavlon_Type_Radio_Module", "+++"};
        const char* all[] = {"ATR",      "ATS400=", "ATS401=0", "ATS402=191", "ATS420=0", "ATS421=0",
                             "ATS422=3", "ATS430=5", "ATS431=5", "ATS440=0",   "ATS441=0", "ATS442=0",
                             "ATS452=0", "ATS453=0", "ATS454=0", "ATO"};
        for (const char* a : all) {
            const QByteArray cmd(a);
            if (c.N && (cmd == "ATS421=0" || cmd == "ATS442=0" || cmd == "ATS454=0"))
                continue;
            expected.append(cmd == "ATS400=" ? Cr(("ATS400=" + QByteArray::number(c.Mode)).constData())
                                             : Cr(a));
        }
        EXPECT_EQ(Sent_Data(), expected);
        EXPECT_EQ(Gateway_Script.Radio.Received.size(), c.N ? 14 : 17); // "+++" and the AT commands
        Engine->Stop_Scan();
        Run_To_End();
        EXPECT_EQ(Sent_Data().last(), QByteArray("Tavlon_Disable_Configuration_Mode"));
        EXPECT_EQ(Engine->Result(), 1);
    }
}

TEST_F(WirelessStepTest, TheSecondKindIsConfiguredAndItsSlotsErased)
{
    struct Case {
        int Mode;
        uint8_t M;
    } cases[] = {{5, 1}, {11, 10}, {15, 17}, {17, 16}, {1, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Mode);
        Datagrams.clear();
        Gateway_Script.Radio = TFakeRadioModule();
        ASSERT_TRUE(Start_Wireless(TFakeRadio::RadioCrafts, c.Mode));
        Run_To_Receiving();
        EXPECT_EQ(Engine->Step_Scan, 320);
        EXPECT_EQ(Engine->Index_RadioCrafts_Position_Used, 1);
        QList<QByteArray> expected = {"Tavlon_Enable_Configuration_Mode", "Tavlon_Type_Radio_Module", Hex("00"),
                                      Hex("30"), Hex("4D")};
        QByteArray block = Hex("03 01 04 00 05 01 12 01 16 17 3A 01 3D 02 37 01");
        block[1] = char(c.M);
        expected << block << Hex("FF") << Hex("42");
        for (int slot = 1; slot <= 64; ++slot)
            expected << QByteArray(1, char(slot)) << QByteArray(8, '\0');
        expected << Hex("58");
        EXPECT_EQ(Sent_Data(), expected);
        Engine->Abort_Scan();
        Run_To_End();
    }
}

TEST_F(WirelessStepTest, AWrongOrMissingAnswerFailsTheConfiguration)
{
    Gateway_Script.Radio.Kind = TFakeRadio::Telit;
    Gateway_Script.Silent = true;
    ASSERT_TRUE(Start_Wireless(TFakeRadio::Telit, 5));
    Run_To_End();
    EXPECT_EQ(Engine->Result(), 2);
    EXPECT_FALSE(Engine->Wireless_Receive_Message);
    EXPECT_EQ(Sent_Data().count(QByteArray("Tavlon_Disable_Configuration_Mode")), 3);
}

TEST_F(WirelessStepTest, TelegramsBecomeDevices)
{
    ASSERT_TRUE(Start_Wireless(TFakeRadio::Telit, 5));
    Run_To_Receiving();
    Telegram(Telegram_T);
    {
        auto list = List_Slaves_wMBus.Lock();
        ASSERT_EQ(list->size(), 1);
        const TSlave_wMBus* d = (*list)[0];
        EXPECT_EQ(d->Message_Type, 0x44);
        EXPECT_EQ(d->LLA_Manu_str, QStringLiteral("ABB"));
        EXPECT_EQ(d->ALA_Manu_str, QStringLiteral("ABB"));
        EXPECT_EQ(d->LLA_Address, 0x12345678);
        EXPECT_EQ(d->ALA_Address, 0x12345678);
        EXPECT_EQ(d->ALA_Version, 1);
        EXPECT_EQ(d->ALA_DeviceType, 7);
        EXPECT_EQ(d->RSSI, -82);
        EXPECT_FALSE(d->Cripted);
        ASSERT_EQ(d->List_Var.size(), 1);
        EXPECT_EQ(d->List_Var[0]->Desc_Type_Data, QStringLiteral("Volume m3"));
        EXPECT_EQ(d->List_Var[0]->ValueStr, QStringLiteral("10"));
    }
    ASSERT_EQ(Rows.size(), 1);
    EXPECT_EQ(Rows[0].first, 0);
    ASSERT_TRUE(Rows[0].second);
    EXPECT_EQ(Rows[0].second->Records.size(), 1);

    // The same meter again: records replaced, first RSSI and C field kept.
    QByteArray again = Telegram_T;
    again[1] = char(0x46);
    again[17] = char(0x20); // 20000 litres
    again[18] = char(0x4E);
    again[again.size() - 1] = char(0x30);
    Telegram(again);
    {
        auto list = List_Slaves_wMBus.Lock();
        ASSERT_EQ(list->size(), 1);
        const TSlave_wMBus* d = (*list)[0];
        EXPECT_EQ(d->Message_Type, 0x44);
        EXPECT_EQ(d->RSSI, -82);
        ASSERT_EQ(d->List_Var.size(), 1);
        EXPECT_EQ(d->List_Var[0]->ValueStr, QStringLiteral("20"));
    }

    // Lengths that do not match the L field are ignored.
    Telegram(Telegram_T.left(22));
    Telegram(Telegram_T + Hex("00"));
    EXPECT_EQ(Rows.size(), 2);

    // Mode 5 with data not starting 2F 2F: encrypted, records emptied.
    QByteArray secret = Telegram_T;
    secret[14] = char(0x05);
    Telegram(secret);
    {
        auto list = List_Slaves_wMBus.Lock();
        EXPECT_TRUE((*list)[0]->Cripted);
        EXPECT_TRUE((*list)[0]->List_Var.isEmpty());
    }
    // Mode 5 decrypted by the module (2F 2F first): readable again.
    Telegram(Hex("16 44 42 04 78 56 34 12 01 07 7A 2A 00 00 05 2F 2F 04 13 10 27 00 00 00 50"));
    {
        auto list = List_Slaves_wMBus.Lock();
        EXPECT_FALSE((*list)[0]->Cripted);
        EXPECT_EQ((*list)[0]->List_Var.size(), 3); // two fillers and the volume
    }
}

TEST_F(WirelessStepTest, LongHeadersAndCutOffHeaders)
{
    ASSERT_TRUE(Start_Wireless(TFakeRadio::Telit, 5));
    Run_To_Receiving();
    // Two meters behind one repeater (the same link address).
    const QByteArray a = Hex("1E 44 42 04 11 11 11 11 01 07 72 78 56 34 12 42 04 01 07 2A 00 00 00 2F 2F 04 13 10 27 "
                             "00 00 00 50");
    QByteArray b = a;
    b[11] = char(0x79);
    Telegram(a);
    Telegram(b);
    {
        auto list = List_Slaves_wMBus.Lock();
        ASSERT_EQ(list->size(), 2);
        EXPECT_EQ((*list)[0]->LLA_Address, 0x11111111);
        EXPECT_EQ((*list)[0]->ALA_Address, 0x12345678);
        EXPECT_EQ((*list)[1]->ALA_Address, 0x12345679);
        EXPECT_FALSE((*list)[0]->Cripted);
    }
    // Headers shorter than the CI needs: ignored, nothing read past the end.
    const QByteArray cut[] = {
        Hex("0B 44 42 04 78 56 34 12 01 07 7A 2A 00 50"),       // CI 7Ah without byte 15, 16
        Hex("12 44 42 04 78 56 34 12 01 07 72 78 56 34 12 42 04 01 07 00 50"), // CI 72h without 19..24
        Hex("08 44 42 04 78 56 34 12 01 07 50"),                 // no CI
    };
    for (const QByteArray& t : cut)
        EXPECT_FALSE(Engine->Process_Wireless_Frame(t)) << HexOf(t);
    EXPECT_EQ(List_Slaves_wMBus.Count(), 2);
}

TEST_F(WirelessStepTest, TheSecondKindsLengthAndRssi)
{
    ASSERT_TRUE(Start_Wireless(TFakeRadio::RadioCrafts, 5));
    Run_To_Receiving();
    QByteArray t = Telegram_T.left(Telegram_T.size() - 1);
    t[0] = char(t.size()); // L + 1 bytes with the RSSI byte
    t.append(char(0xA0));
    Telegram(t);
    Telegram(Telegram_T); // the first kind's length: ignored
    auto list = List_Slaves_wMBus.Lock();
    ASSERT_EQ(list->size(), 1);
    EXPECT_EQ((*list)[0]->RSSI, -47);
}

TEST(WirelessRssi, IsHeldToItsField)
{
    auto clock = std::make_shared<TFakeClock>();
    Sys::SetUdp(std::make_unique<TFailingFactory>());
    List_Slaves_wMBus.Free_All();
    {
        TMBusScanDecode engine(true, clock);
        QByteArray t = Telegram_T;
        t[t.size() - 1] = char(0xFF); // -255 - 2
        ASSERT_TRUE(engine.Process_Wireless_Frame(t));
        auto list = List_Slaves_wMBus.Lock();
        EXPECT_EQ((*list)[0]->RSSI, -128);
    }
    List_Slaves_wMBus.Free_All();
    Sys::SetUdp(nullptr);
}

TEST_F(WirelessStepTest, AKeyIsInstalledInTheFirstKind)
{
    ASSERT_TRUE(Start_Wireless(TFakeRadio::Telit, 5));
    std::array<uint8_t, 16> key;
    for (int i = 0; i < 16; ++i)
        key[size_t(i)] = uint8_t(i);
    // Not receiving yet (no device either): refused.
    EXPECT_FALSE(Engine->Insert_Wireless_Key(0, key));
    Run_To_Receiving();
    Telegram(Telegram_T);
    EXPECT_FALSE(Engine->Insert_Wireless_Key(1, key));
    EXPECT_FALSE(Engine->Insert_Wireless_Key(-1, key));
    Datagrams.clear();
    ASSERT_TRUE(Engine->Insert_Wireless_Key(0, key));
    EXPECT_EQ(Engine->Step_Scan, 200);
    Step();
    EXPECT_FALSE(Engine->Wireless_Receive_Message);
    Run_To_Receiving();
    QList<QByteArray> expected = {"+++"};
    for (const char* a : {"ATS461=66", "ATS462=4", "ATS463=120", "ATS464=86", "ATS465=52", "ATS466=18", "ATS467=1",
                          "ATS468=7"})
        expected << Cr(a);
    for (int i = 0; i < 16; ++i)
        expected << Cr(("ATS" + QByteArray::number(470 + i) + "=" + QByteArray::number(i)).constData());
    expected << Cr("ATS460=5") << Cr("ATO");
    EXPECT_EQ(Sent_Data(), expected);
    EXPECT_EQ(Engine->Step_Scan, 134);
    auto list = List_Slaves_wMBus.Lock();
    EXPECT_TRUE((*list)[0]->Enable_Key);
    EXPECT_EQ((*list)[0]->Key, key);
}

TEST_F(WirelessStepTest, AKeyIsInstalledInTheSecondKindInAFreeSlot)
{
    ASSERT_TRUE(Start_Wireless(TFakeRadio::RadioCrafts, 5));
    Run_To_Receiving();
    Telegram([] {
        QByteArray t = Telegram_T.left(Telegram_T.size() - 1);
        t[0] = char(t.size());
        return t + Hex("A0");
    }());
    std::array<uint8_t, 16> key;
    for (int i = 0; i < 16; ++i)
        key[size_t(i)] = uint8_t(0xA0 + i);
    Datagrams.clear();
    ASSERT_TRUE(Engine->Insert_Wireless_Key(0, key));
    EXPECT_EQ(Engine->Step_Scan, 400);
    Step();
    Run_To_Receiving();
    QByteArray keyBytes(reinterpret_cast<const char*>(key.data()), 16);
    const QList<QByteArray> expected = {Hex("00"), Hex("42"), Hex("01"), Hex("78 56 34 12 42 04 01 07"),
                                        Hex("4B"), Hex("01"), keyBytes,  Hex("41"),
                                        Hex("01"), Hex("00 40"), Hex("58")};
    EXPECT_EQ(Sent_Data(), expected);
    EXPECT_EQ(Engine->Step_Scan, 320);
    {
        auto list = List_Slaves_wMBus.Lock();
        EXPECT_EQ((*list)[0]->RadioCrafts_Ind_Tab_Decript, 1);
    }
    EXPECT_EQ(Engine->Index_RadioCrafts_Position_Used, 2);

    // Every slot given: the next device's key is refused and nothing is sent.
    Engine->Index_RadioCrafts_Position_Used = 65;
    QByteArray other = Telegram_T.left(Telegram_T.size() - 1);
    other[0] = char(other.size());
    other[4] = char(0x79);
    Telegram(other + Hex("A0"));
    ASSERT_EQ(List_Slaves_wMBus.Count(), 2);
    Datagrams.clear();
    EXPECT_FALSE(Engine->Insert_Wireless_Key(1, key));
    Step();
    EXPECT_TRUE(Sent_Data().isEmpty());
    auto list = List_Slaves_wMBus.Lock();
    EXPECT_FALSE((*list)[1]->Enable_Key);
    EXPECT_EQ((*list)[1]->RadioCrafts_Ind_Tab_Decript, -1);
}

TEST_F(WirelessStepTest, TheWirelessReportIsWrittenAtTheEnd)
{
    QTemporaryDir dir;
    Engine->SaveXMLFile = dir.path() + QStringLiteral("/wireless.xml");
    ASSERT_TRUE(Start_Wireless(TFakeRadio::Telit, 5));
    Run_To_Receiving();
    Telegram(Telegram_T);
    Engine->Stop_Scan();
    Run_To_End();
    XmlDocument doc;
    doc.LoadFromFile(Engine->SaveXMLFile);
    const XmlNode root = doc.DocumentElement();
    EXPECT_EQ(root.NodeName(), QStringLiteral("SCAN_M-Bus_Wireless"));
    ASSERT_EQ(root.ChildElements().size(), 1);
    EXPECT_EQ(root.ChildElements()[0].Attribute(QStringLiteral("Address")).TextOr({}), QStringLiteral("12345678"));
}

} // namespace
