// The Scan & Decode window over a recording view: layout, refusals, the
// progress list, the device trees and the wireless grid, key entry, saving.
#include "ScanWindowKit.h"

#include "app/LbButton.h"

#include "gridpack/stringgrid/ExCGrid.h"
#include "platform/controls/Messages.h"
#include "platform/core/DateTime.h"
#include "platform/sys/SerialPort.h"
#include "platform/xml/XmlDoc.h"

#include <thread>

namespace {

const QString Gateway = QStringLiteral("127.0.0.2");

QByteArray Meter5_Frame()
{
    return Fake_Meter_Frame(5, 0x12345678, 0x0442, 1, 7, Meter5_Records);
}

// The nodes of a written network file, each with its attributes and its
// variables' attributes.
struct TWrittenNode {
    QMap<QString, QString> Attr;
    QList<QMap<QString, QString>> Vars;
};
QList<TWrittenNode> Read_Network(const QString& path)
{
    XmlDocument doc;
    doc.LoadFromFile(path);
    QList<TWrittenNode> nodes;
    for (const XmlNode& n : doc.DocumentElement().ChildElements()) {
        if (n.NodeName() != QStringLiteral("Nodo"))
            continue;
        TWrittenNode w;
        for (const auto& a : n.Attributes())
            w.Attr.insert(a.first, a.second);
        for (const XmlNode& v : n.ChildElements()) {
            QMap<QString, QString> m;
            for (const auto& a : v.Attributes())
                m.insert(a.first, a.second);
            w.Vars.append(m);
        }
        nodes.append(w);
    }
    return nodes;
}

// ---------------------------------------------------------------------------
// Layout

TEST_F(ScanWindowTest, LayoutFollowsFormTypeMethodAndDeviceCode)
{
    struct Case {
        int FormType, Code;
        bool Wireless;
        int Height;
        bool Method, ScanBy, Port;
        const char* PortText;
        bool PortEnabled;
    };
    const Case cases[] = {
        {1, 15, false, 539, true, true, false, "502", true},
        {0, 0, false, 491, false, true, false, "502", true},
        {1, 15, true, 539, true, false, true, "10001", false},
        {1, 0, true, 539, true, false, true, "502", true},
        {0, 15, true, 491, false, true, false, "502", true}, // wired only: the method is not offered
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.FormType << "/" << c.Code << "/" << c.Wireless);
        W->E_Port->SetText(QStringLiteral("502"));
        W->E_Port->SetEnabled(true);
        Open(c.Code, c.FormType, c.Wireless);
        EXPECT_EQ(W->ClientHeight(), c.Height);
        EXPECT_EQ(W->L_ScanMethod->Visible(), c.Method);
        EXPECT_EQ(W->L_ScanBy->Visible(), c.ScanBy);
        EXPECT_EQ(W->E_Port->Visible(), c.Port);
        EXPECT_EQ(W->E_Port->Text(), QString::fromLatin1(c.PortText));
        EXPECT_EQ(W->E_Port->Enabled(), c.PortEnabled);
        // The first row is the method when offered, else "Scan By".
        TControl* first = c.Method ? static_cast<TControl*>(W->CB_ScanMethod) : W->CB_ScanBy;
        EXPECT_EQ(first->Top(), 16);
        const bool radio = c.FormType == 1 && c.Wireless;
        EXPECT_EQ(W->CB_wMBus_Mode->Visible(), radio);
        EXPECT_EQ(W->CB_wMBus_Radio_Channel->Visible(), radio);
        EXPECT_EQ(W->CB_MBus_Baud->Visible(), !radio);
        EXPECT_EQ(W->E_Opt_Cut_After->Visible(), !radio);
        EXPECT_EQ(W->Screen(), 1);
        EXPECT_FALSE(W->CB_HardwareType->Enabled());
    }
}

TEST_F(ScanWindowTest, TheAddressIsTakenFromParGenKeyByKey)
{
    WriteFileWhole(File_ParGen, QByteArray("<?xml version=\"1.0\"?><ParGen>"
                                           "<Modbus_TCP_Slave_IP1>10</Modbus_TCP_Slave_IP1>"
                                           "<Modbus_TCP_Slave_IP2>1</Modbus_TCP_Slave_IP2>"
                                           "<Modbus_TCP_Slave_IP3>2</Modbus_TCP_Slave_IP3>"
                                           "<IP_1>172</IP_1></ParGen>"));
    struct Case {
        int Code;
        QStringList Expected;
    };
    const Case cases[] = {
        {15, {"10", "1", "2", "205"}},  // the fourth key is missing: kept
        {0, {"172", "168", "2", "205"}}, // another family's keys
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Code);
        Set_IP("192", "168", "2", "205");
        Open(c.Code);
        EXPECT_EQ((QStringList{W->E_IP1->Text(), W->E_IP2->Text(), W->E_IP3->Text(), W->E_IP4->Text()}),
                  c.Expected);
    }
    // A file that cannot be read leaves the address as it is.
    WriteFileWhole(File_ParGen, QByteArray("<ParGen><IP_1>"));
    Set_IP("192", "168", "2", "205");
    Open(0);
    EXPECT_EQ(W->E_IP1->Text(), QStringLiteral("192"));
    EXPECT_TRUE(Messages().isEmpty());
}

// ---------------------------------------------------------------------------
// Refusals

TEST_F(ScanWindowTest, ABadAddressStartsNothing)
{
    const QStringList bad[] = {
        {"192", "168", "2", "300"}, {"255", "255", "255", "255"}, {"0", "0", "0", "0"},
        {"224", "0", "0", "1"},     {"127", "0", "0", "x1"},      {"127", "0", "", "1"},
        {"127", "0", "0", "+1"},    {"127", "0", "0", "$1"},
    };
    for (bool wireless : {false, true}) {
        for (const QStringList& ip : bad) {
            SCOPED_TRACE(ip.join('.').toStdString());
            Script.Shown.clear();
            Open(0, 1, wireless);
            View->Grid_Clears = 0;
            Set_IP(ip[0], ip[1], ip[2], ip[3]);
            W->BtnClick(W->Btn_StartScan);
            EXPECT_EQ(Messages(), QStringList{"Invalid IP address: " + ip.join('.')});
            EXPECT_FALSE(W->TR_ScanDecode->InScan());
            EXPECT_EQ(W->Screen(), 1);
            EXPECT_EQ(View->Grid_Clears, 0);
        }
    }
}

TEST_F(ScanWindowTest, AWirelessPortOutsideItsRangeStartsNothing)
{
    for (const char* port : {"70000", "abc", "-1", "65536", ""}) {
        SCOPED_TRACE(port);
        Script.Shown.clear();
        Open(0, 1, true);
        Set_IP("127", "0", "0", "2");
        W->E_Port->SetText(QString::fromLatin1(port));
        View->Grid_Clears = 0;
        W->BtnClick(W->Btn_StartScan);
        EXPECT_EQ(Messages(), QStringList{Text(1238)});
        EXPECT_FALSE(W->TR_ScanDecode->InScan());
        EXPECT_EQ(W->Screen(), 1);
        EXPECT_EQ(View->Grid_Clears, 0);
    }
}

// ---------------------------------------------------------------------------
// Progress

TEST_F(ScanWindowTest, ProgressLinesAndHowTheyAreDrawn)
{
    W->Scan_Event_Reported(1, 0, 0, 2);
    W->Scan_Event_Reported(2, 5, 0, 1);
    W->Scan_Event_Reported(2, 7, 1, 1);
    W->Scan_Event_Reported(2, 0x00012345, 1, 2);
    W->Scan_Event_Reported(2, int32_t(0x90000001u), 1, 2); // digits from 8 on read negative
    W->Scan_Event_Reported(3, 0, 0, 2);
    QStringList lines;
    for (int i = 0; i < W->LB_AvailableDevice->Items()->Count(); ++i)
        lines << W->LB_AvailableDevice->Items()->Strings(i);
    EXPECT_EQ(lines, (QStringList{Text(1227), "ID = 5\t[NOT FOUND]", "ID = 7\t", "ID = 00012345", "ID = 90000001",
                                  Text(1228)}));

    struct Case {
        QString Line;
        QList<TProgressPart> Parts;
    };
    const Case cases[] = {
        {"ID = 5\t[NOT FOUND]", {{"ID = 5", 0, clRed}, {"[NOT FOUND]", 70, clRed}}},
        {"ID = 7\t", {{"ID = 7\t", 0, clBlue}}},
        {"ID = 00012345", {{"ID = 00012345", 0, clBlue}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Line.toStdString());
        const QList<TProgressPart> got = Progress_Line_Parts(c.Line);
        ASSERT_EQ(got.size(), c.Parts.size());
        for (qsizetype i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].Text, c.Parts[i].Text);
            EXPECT_EQ(got[i].X, c.Parts[i].X);
            EXPECT_EQ(got[i].Color, c.Parts[i].Color);
        }
    }
}

// Pixels of one colour in a band of x of a list box line as drawn.
int Pixels_Of(const QImage& img, TRect line, int fromX, int toX, TColor color)
{
    const QRgb want = qRgb(GetRValue(color), GetGValue(color), GetBValue(color));
    int n = 0;
    for (int y = line.Top; y < line.Bottom; ++y)
        for (int x = line.Left + fromX; x < std::min(line.Left + toX, line.Right); ++x)
            n += img.pixel(x, y) == want ? 1 : 0;
    return n;
}

TEST_F(ScanWindowTest, ProgressLinesAreDrawnInTheirColoursAndTheLastOneStaysInView)
{
    Open(15, 1, false);
    W->Show();
    W->Form_Style(2);
    TListBox* lb = W->LB_AvailableDevice;
    W->Scan_Event_Reported(2, 5, 0, 1);
    W->Scan_Event_Reported(2, 7, 1, 1);
    EXPECT_EQ(lb->TopIndex(), 0);
    const QImage img = W->RenderClient();
    const TPoint at = W->ScreenToClient(lb->ClientToScreen(Point(0, 0)));
    const int h = lb->ItemHeight();
    const TRect notFound = Rect(at.X, at.Y, at.X + lb->ClientWidth(), at.Y + h);
    const TRect found = Rect(at.X, at.Y + h, at.X + lb->ClientWidth(), at.Y + 2 * h);
    // "ID = 5" red in the first 70 pixels, "[NOT FOUND]" red from 70 on.
    EXPECT_GT(Pixels_Of(img, notFound, 0, 70, clRed), 0);
    EXPECT_GT(Pixels_Of(img, notFound, 70, 200, clRed), 0);
    EXPECT_EQ(Pixels_Of(img, notFound, 0, 200, clBlue), 0);
    EXPECT_GT(Pixels_Of(img, found, 0, 70, clBlue), 0);
    EXPECT_EQ(Pixels_Of(img, found, 0, 200, clRed), 0);

    // A long scan: the newest line stays in view at the bottom.
    for (int a = 8; a < 250; ++a)
        W->Scan_Event_Reported(2, a, 0, 1);
    const int last = lb->Items()->Count() - 1;
    EXPECT_GT(lb->TopIndex(), 0);
    EXPECT_LE(lb->TopIndex(), last);
    const int rows = lb->ClientHeight() / lb->ItemHeight();
    EXPECT_GE(rows, 10);
    EXPECT_EQ(lb->TopIndex() + rows, last + 1);
    W->Hide();
}

TEST_F(ScanWindowTest, ReportsFromAnotherThreadWaitForThisOne)
{
    TUpdateSlaveList wired = W->Queued_Scan_Report();
    TUpdateListWirelessSlave wireless = W->Queued_Wireless_Report();
    TWirelessSlaveRow row;
    row.LLA_Manu_str = QStringLiteral("ABB");
    std::thread t([&] {
        wired(2, 9, 1, 1);
        wireless(0, &row);
        wireless(1, nullptr); // a caller without a grid: nothing to show
    });
    t.join();
    EXPECT_EQ(W->LB_AvailableDevice->Items()->Count(), 0);
    EXPECT_EQ(View->Row_Writes, 0);
    Run_Queued();
    EXPECT_EQ(W->LB_AvailableDevice->Items()->Count(), 1);
    EXPECT_EQ(View->Row_Writes, 1);

    // A report still queued when the window goes applies to nothing.
    std::thread late([&] { wired(2, 10, 1, 1); });
    late.join();
    delete W;
    W = nullptr;
    Run_Queued();
}

// ---------------------------------------------------------------------------
// Wired scans, stepped against the gateway's script

class SteppedScanTest : public ScanWindowTest {
protected:
    void SetUp() override
    {
        ScanWindowTest::SetUp();
        Use_Stepped_Engine();
        Gateway_Script.Meters.append({5, 0x12345678, {Meter5_Frame()}, 0});
    }
    void Start_Wired(bool secondary)
    {
        Open(15, 1, false);
        Set_IP("127", "0", "0", "2");
        W->CB_ScanBy->SetItemIndex(secondary ? 1 : 0);
        W->BtnClick(W->Btn_StartScan);
        ASSERT_TRUE(W->TR_ScanDecode->InScan()) << W->TR_ScanDecode->Last_Error().toStdString();
        EXPECT_EQ(W->Screen(), 2);
        EXPECT_TRUE(W->T_InScan->Enabled());
        EXPECT_FALSE(View->Visible[0]);
    }
    QStringList Lines() const
    {
        QStringList l;
        for (int i = 0; i < W->LB_AvailableDevice->Items()->Count(); ++i)
            l << W->LB_AvailableDevice->Items()->Strings(i);
        return l;
    }
    // The poll's timer as it fires when the scan has ended.
    void Poll()
    {
        Step_Until([] { return false; });
        ASSERT_FALSE(W->TR_ScanDecode->InScan());
        Run_Queued();
        W->T_InScanTimer(nullptr);
    }
};

TEST_F(SteppedScanTest, APrimaryScanListsEveryAddressThenShowsTheTree)
{
    Start_Wired(false);
    // The poll keeps waiting while the engine scans.
    W->T_InScanTimer(nullptr);
    EXPECT_TRUE(W->T_InScan->Enabled());
    EXPECT_EQ(W->Screen(), 2);
    Poll();
    const QStringList lines = Lines();
    EXPECT_TRUE(lines.contains("ID = 5\t"));
    EXPECT_TRUE(lines.contains("ID = 7\t[NOT FOUND]"));
    EXPECT_EQ(W->Screen(), 3);
    EXPECT_FALSE(W->T_InScan->Enabled());
    EXPECT_TRUE(View->Visible[0]);
    EXPECT_EQ(W->L_Num_Slave->Caption(), QStringLiteral("1"));

    const auto tops = View->Top(TScanTree::Wired);
    ASSERT_EQ(tops.size(), 1u);
    EXPECT_EQ(tops[0]->Text, QStringLiteral("Primary Address = 5 - Secondary Address = 12345678 - Manufacturer = "
                                            "ABB(1090) - Version = 1 - Type = 7"));
    EXPECT_TRUE(tops[0]->CheckBox && tops[0]->Tick);
    const auto records = View->Children(TScanTree::Wired, tops[0]);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0]->Text, QStringLiteral("Value = 10 - Type = Volume m3 (U0S0T0)"));
    EXPECT_TRUE(records[0]->CheckBox && records[0]->Tick);
    const auto details = View->Children(TScanTree::Wired, records[0]);
    QStringList texts;
    for (const TRecNode* d : details) {
        texts << d->Text;
        EXPECT_FALSE(d->CheckBox);
        EXPECT_EQ(d->Level, 2);
    }
    ASSERT_EQ(texts.size(), 12);
    EXPECT_EQ(texts.first(), QStringLiteral("Storage Number = 0"));
    EXPECT_EQ(texts[8], QStringLiteral("VIF = $13"));
    EXPECT_EQ(texts.last(), QStringLiteral("DATA = $10270000"));
    // The writers find the device's and record's places.
    auto list = List_Slaves_MBus.Lock();
    ASSERT_EQ(list->size(), 1);
    EXPECT_EQ((*list)[0]->Node, tops[0]);
    EXPECT_EQ((*list)[0]->List_Var[0]->Node, records[0]);
}

TEST_F(SteppedScanTest, ASecondaryScanShowsIdentificationNumbersBetweenItsStartAndEnd)
{
    Gateway_Script.Meters.append({9, 0x00012345, {Fake_Meter_Frame(9, 0x00012345, 0x0442, 1, 7, Meter5_Records)}, 0});
    Start_Wired(true);
    Poll();
    const QStringList lines = Lines();
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines.first(), Text(1227));
    EXPECT_EQ(lines.last(), Text(1228));
    EXPECT_TRUE(lines.contains("ID = 00012345"));
    EXPECT_TRUE(lines.contains("ID = 12345678"));
    const auto tops = View->Top(TScanTree::Wired);
    ASSERT_EQ(tops.size(), 2u);
    QStringList shown;
    for (const TRecNode* t : tops)
        shown << t->Text;
    // The progress line counts eight digits; the device shows its number.
    EXPECT_TRUE(shown.filter(QStringLiteral("Secondary Address = 12345 - ")).size() == 1) << shown.join('|').toStdString();
}

TEST_F(SteppedScanTest, AScanAskedWhileOneRunsIsRefused)
{
    Start_Wired(false);
    Step_Until([] { return List_Slaves_MBus.Count() == 1; });
    ASSERT_EQ(List_Slaves_MBus.Count(), 1);
    const qsizetype sent = Endpoint->SentData().size();
    W->BtnClick(W->Btn_StartScan);
    EXPECT_EQ(Messages(), QStringList{Text(1226)});
    EXPECT_EQ(List_Slaves_MBus.Count(), 1); // nothing emptied
    EXPECT_EQ(Endpoint->SentData().size(), sent);
    EXPECT_EQ(W->Screen(), 2);
}

TEST_F(SteppedScanTest, AGatewayThatDoesNotAnswerEndsOnTheFirstScreen)
{
    Gateway_Script.Silent = true;
    Start_Wired(false);
    Poll();
    EXPECT_EQ(W->TR_ScanDecode->Result(), 2);
    EXPECT_EQ(Messages(), QStringList{Text(1229)});
    EXPECT_EQ(W->Screen(), 1);
}

TEST_F(SteppedScanTest, CutAfterIsHeldToTheFramesTheEngineReads)
{
    struct Case {
        const char* Typed;
        int Frames;
    };
    const Case cases[] = {{"999", 250}, {"0", 1}, {"-5", 1}, {"abc", 3}, {"", 3}, {"250", 250}, {"7", 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Typed);
        W->E_Opt_Cut_After->SetText(QString::fromLatin1(c.Typed));
        EXPECT_EQ(W->Cut_After_Frames(), c.Frames);
    }
    W->E_Opt_Cut_After->SetText(QStringLiteral("999"));
    Start_Wired(false);
    EXPECT_EQ(W->TR_ScanDecode->Cut_After, 250);
}

// ---------------------------------------------------------------------------
// Wireless scans

class SteppedWirelessTest : public ScanWindowTest {
protected:
    void SetUp() override
    {
        ScanWindowTest::SetUp();
        Use_Stepped_Engine();
        Gateway_Script.Radio.Kind = TFakeRadio::Telit;
        Open(15, 1, true);
        Set_IP("127", "0", "0", "2");
        W->BtnClick(W->Btn_StartScan);
        ASSERT_TRUE(W->TR_ScanDecode->InScan()) << W->TR_ScanDecode->Last_Error().toStdString();
        Step_Until([this] { return bool(W->TR_ScanDecode->Wireless_Receive_Message); }, 5000);
        ASSERT_TRUE(W->TR_ScanDecode->Wireless_Receive_Message);
    }
    void Hear(const QByteArray& telegram)
    {
        W->TR_ScanDecode->UDP_Data_Received({telegram, Gateway, 10001});
        Run_Queued();
    }
};

TEST_F(SteppedWirelessTest, ATelegramFillsItsRow)
{
    EXPECT_EQ(W->Screen(), 4);
    EXPECT_EQ(W->TR_ScanDecode->wMBusMode, 1); // "S"
    Hear(Telegram_T);
    ASSERT_EQ(View->Rows.count(1), 1u);
    EXPECT_EQ(View->Row_Count, 2);
    double when = 0;
    {
        auto list = List_Slaves_wMBus.Lock();
        ASSERT_EQ(list->size(), 1);
        when = (*list)[0]->DateTime;
    }
    const TRecordingView::Row& r = View->Rows[1];
    EXPECT_EQ(r.Cells, (QStringList{"1", DateTimeToStr(when), "0x44", "ABB(0442)", "12345678", "1 (01)", "7 (07)",
                                    "ABB(0442)", "12345678", "1 (01)", "7 (07)", "-82"}));
    EXPECT_EQ(r.Color, Wireless_Readable_Color);
    EXPECT_EQ(r.Image, 1);

    // The same meter encrypted: the same row, now red with the lock.
    Hear(Telegram_Cripted());
    EXPECT_EQ(View->Rows[1].Color, Wireless_Cripted_Color);
    EXPECT_EQ(View->Rows[1].Image, 0);
    EXPECT_EQ(View->Row_Count, 2);

    // The poll ends on the wireless screen.
    W->TR_ScanDecode->Stop_Scan();
    Step_Until([] { return false; });
    W->T_InScanTimer(nullptr);
    EXPECT_EQ(W->Screen(), 5);
    EXPECT_FALSE(W->Btn_SaveConfManual->Visible());
}

TEST_F(SteppedWirelessTest, ARowClickShowsItsMeterAndTicksReachTheList)
{
    Hear(Telegram_T);
    W->SG_WirelessClickCell(0, 1);
    const auto tops = View->Top(TScanTree::Wireless);
    ASSERT_EQ(tops.size(), 1u);
    EXPECT_EQ(tops[0]->Text,
              QStringLiteral("Manufacturer = ABB - Address = 12345678 - Version = 1 - Device Type = 7"));
    const auto records = View->Children(TScanTree::Wireless, tops[0]);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0]->Text, QStringLiteral("Value = 10 - Type = Volume m3 (U0S0T0)"));
    EXPECT_EQ(View->Children(TScanTree::Wireless, records[0]).size(), 12u);
    EXPECT_TRUE(tops[0]->Tick && records[0]->Tick);

    W->VST_WirelessChecked(records[0], false);
    W->VST_WirelessChecked(tops[0], false);
    {
        auto list = List_Slaves_wMBus.Lock();
        EXPECT_FALSE((*list)[0]->Enable);
        EXPECT_FALSE((*list)[0]->List_Var[0]->Enable);
    }
    // Clicked again, the boxes start from what the list holds.
    W->SG_WirelessClickCell(0, 1);
    EXPECT_FALSE(View->Top(TScanTree::Wireless)[0]->Tick);

    // A click on the header row or past the devices shows nothing.
    W->SG_WirelessClickCell(0, 5);
    EXPECT_TRUE(View->Nodes[1].empty());
}

TEST_F(SteppedWirelessTest, AKeyIsTypedForAnEncryptedMeterOnly)
{
    Hear(Telegram_T);
    W->SG_WirelessDblClickCell(0, 1);
    EXPECT_EQ(Script.Count(TDialogKind::ModalForm), 0); // readable: no key asked

    Hear(Telegram_Cripted());
    W->SG_WirelessClickCell(0, 1);
    EXPECT_TRUE(View->Top(TScanTree::Wireless)[0]->Text.endsWith(" - CRIPTED!!"));
    // Near the window's bottom-right corner: the dialog stays inside.
    SetCursorPos(Point(W->Left() + W->Width() - 3, W->Top() + W->Height() - 3));
    TRect placed;
    Script.AnswerModal([&placed](TCustomForm* f) {
        auto* k = static_cast<TFInsertKeyWireless*>(f);
        placed = k->BoundsRect();
        k->E_Key->SetText(QStringLiteral("000102030405060708090A0B0C0D0E0F"));
        k->Btn_OKClick(nullptr);
    });
    W->SG_WirelessDblClickCell(0, 1);
    EXPECT_LE(placed.Right, W->Left() + W->Width());
    EXPECT_LE(placed.Bottom, W->Top() + W->Height());
    std::array<uint8_t, 16> expected{};
    for (int i = 0; i < 16; ++i)
        expected[size_t(i)] = uint8_t(i);
    auto list = List_Slaves_wMBus.Lock();
    EXPECT_TRUE((*list)[0]->Enable_Key);
    EXPECT_EQ((*list)[0]->Key, expected);
}

// ---------------------------------------------------------------------------
// Saving

class SaveTest : public ScanWindowTest {
protected:
    void SetUp() override
    {
        ScanWindowTest::SetUp();
        Open(15, 1, false);
    }
    // One wired meter found and shown.
    void Found()
    {
        int index = -1;
        W->TR_ScanDecode->Store_Wired_Answer(index, Meter5_Frame());
        W->Show_Slave_in_Tree();
    }
    QString File() const { return W->FileName_MBus; }
};

TEST_F(SaveTest, ANewFileIsWrittenAndConfirmed)
{
    Found();
    View->Top(TScanTree::Wired)[0]->Tick = false; // unticked in the tree
    W->BtnClick(W->Btn_SaveConf);
    EXPECT_EQ(Messages(), QStringList{Text(1230)});
    const QList<TWrittenNode> nodes = Read_Network(File());
    ASSERT_EQ(nodes.size(), 1);
    EXPECT_EQ(nodes[0].Attr.value("Enable_Node"), QStringLiteral("0"));
    EXPECT_EQ(nodes[0].Attr.value("Cut_After"), QStringLiteral("2"));
    ASSERT_EQ(nodes[0].Vars.size(), 1);
    EXPECT_EQ(nodes[0].Vars[0].value("ModReg"), QStringLiteral("1"));
}

TEST_F(SaveTest, AnExistingFileIsAppendedOverwrittenOrLeft)
{
    struct Case {
        int Answer;
        int Nodes; // -1: the file is untouched
        QStringList Messages;
    };
    const Case cases[] = {
        {mrYes, 2, {Text(1237), Text(1230)}},
        {mrNo, 1, {Text(1237), Text(1230)}},
        {mrCancel, -1, {Text(1237)}},
    };
    Found();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Answer);
        QFile::remove(File());
        W->Select_SaveXML(0);
        const QByteArray before = ReadFileWhole(File());
        Script.Shown.clear();
        Script.Answer(c.Answer);
        W->Select_SaveXML(0);
        EXPECT_EQ(Messages(), c.Messages);
        EXPECT_EQ(Script.Count(TDialogKind::ModalForm), 0); // code 15: no register asked
        if (c.Nodes < 0) {
            EXPECT_EQ(ReadFileWhole(File()), before);
        } else {
            EXPECT_EQ(Read_Network(File()).size(), c.Nodes);
        }
    }
}

TEST_F(SaveTest, AnAppendForAFamilyWithRegistersAsksTheFirstOne)
{
    W->XML_Code_Dev = 0;
    Found();
    W->Select_SaveXML(0);
    Script.Shown.clear();
    Script.Answer(mrYes);
    Script.AnswerModal([](TCustomForm* f) {
        auto* s = static_cast<TFScanModbusStart*>(f);
        s->E_StartModAdd->SetText(QStringLiteral("100"));
        s->Btn_OKClick(nullptr);
    });
    W->Select_SaveXML(0);
    const QList<TWrittenNode> nodes = Read_Network(File());
    ASSERT_EQ(nodes.size(), 2);
    EXPECT_EQ(nodes[1].Vars[0].value("ModReg"), QStringLiteral("100"));

    // Cancel in the register dialog writes nothing.
    const QByteArray before = ReadFileWhole(File());
    Script.Answer(mrYes);
    Script.AnswerModal([](TCustomForm* f) { f->SetModalResult(mrCancel); });
    W->Select_SaveXML(0);
    EXPECT_EQ(ReadFileWhole(File()), before);
}

// The identification number as the meter writes it: its BCD digits without
// leading zeros, at least two, in the tree, the start-address grid and the
// network file.
TEST_F(SaveTest, IdentificationNumbersShowAndSaveWithoutLeadingZeros)
{
    W->XML_Code_Dev = 0;
    for (uint32_t id : {0x00012345u, 0x00000002u}) {
        int index = -1;
        W->TR_ScanDecode->Store_Wired_Answer(index, Fake_Meter_Frame(uint8_t(id & 0xFF), id, 0x0442, 1, 7, Meter5_Records));
    }
    W->Show_Slave_in_Tree();
    const auto tops = View->Top(TScanTree::Wired);
    ASSERT_EQ(tops.size(), 2u);
    EXPECT_TRUE(tops[0]->Text.startsWith(QStringLiteral("Primary Address = 69 - Secondary Address = 12345 - ")))
        << tops[0]->Text.toStdString();
    EXPECT_TRUE(tops[1]->Text.startsWith(QStringLiteral("Primary Address = 2 - Secondary Address = 02 - ")))
        << tops[1]->Text.toStdString();
    Script.AnswerModal([](TCustomForm* f) {
        auto* d = static_cast<TFModbusStartAdd_SD*>(f);
        EXPECT_EQ(d->sga->GetCellEx(0, 1), QStringLiteral("69 - 12345"));
        EXPECT_EQ(d->sga->GetCellEx(0, 2), QStringLiteral("2 - 02"));
        d->Btn_OKClick(nullptr);
    });
    W->Select_SaveXML(1);
    const QList<TWrittenNode> nodes = Read_Network(File());
    ASSERT_EQ(nodes.size(), 2);
    EXPECT_EQ(nodes[0].Attr.value("ID_Secondary"), QStringLiteral("12345"));
    EXPECT_EQ(nodes[1].Attr.value("ID_Secondary"), QStringLiteral("02"));
}

TEST_F(SaveTest, TheManualSaveTakesEachDevicesStartAddress)
{
    W->XML_Code_Dev = 0;
    Found();
    Script.AnswerModal([](TCustomForm* f) {
        auto* d = static_cast<TFModbusStartAdd_SD*>(f);
        EXPECT_EQ(d->sga->RowCount(), 2);
        EXPECT_EQ(d->sga->GetCellEx(0, 1), QStringLiteral("5 - 12345678"));
        EXPECT_EQ(d->sga->GetCellEx(1, 1), QStringLiteral("1"));
        d->sga->SetCellEx(1, 1, QStringLiteral("200"));
        d->Btn_OKClick(nullptr);
    });
    W->Select_SaveXML(1);
    EXPECT_EQ(Messages(), QStringList{Text(1230)});
    const QList<TWrittenNode> nodes = Read_Network(File());
    ASSERT_EQ(nodes.size(), 1);
    EXPECT_EQ(nodes[0].Vars[0].value("ModReg"), QStringLiteral("200"));
}

TEST_F(SaveTest, NothingFoundWritesAndShowsNothing)
{
    for (int type : {0, 1}) {
        W->Select_SaveXML(type);
        EXPECT_FALSE(FileExists(File()));
        EXPECT_TRUE(Script.Shown.isEmpty());
    }
    WriteFileWhole(File(), QByteArray("<M-Bus_Network/>"));
    W->Select_SaveXML(0);
    EXPECT_TRUE(Script.Shown.isEmpty());
}

TEST_F(SaveTest, ASaveThatFailsShowsWhyAndLeavesTheFile)
{
    Found();
    // A file to append to that cannot be read.
    WriteFileWhole(File(), QByteArray("<M-Bus_Network><Nodo"));
    Script.Answer(mrYes);
    W->Select_SaveXML(0);
    ASSERT_EQ(Messages().size(), 2);
    EXPECT_NE(Messages()[1], Text(1230));
    EXPECT_EQ(Script.Shown[1].Type, mtError);
    EXPECT_EQ(ReadFileWhole(File()), QByteArray("<M-Bus_Network><Nodo"));

    // A folder that is not there.
    Script.Shown.clear();
    W->FileName_MBus = Tmp.path() + "/missing/M_Bus.xml";
    W->Select_SaveXML(0);
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_EQ(Script.Shown[0].Type, mtError);
    EXPECT_FALSE(FileExists(W->FileName_MBus));
}

TEST_F(SaveTest, TheManualSaveButtonByScreenAndFamily)
{
    struct Case {
        int Code, Screen;
        bool Shown;
    };
    const Case cases[] = {{15, 3, false}, {15, 5, false}, {6, 3, false}, {11, 3, false},
                          {6, 5, true},   {0, 3, true},   {0, 5, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Code << " on " << c.Screen);
        W->XML_Code_Dev = c.Code;
        W->Form_Style(c.Screen);
        EXPECT_EQ(W->Btn_SaveConfManual->Visible(), c.Shown);
        EXPECT_TRUE(W->Btn_NewScan->Visible());
        EXPECT_TRUE(W->Btn_SaveConf->Visible());
        EXPECT_FALSE(W->Btn_StartScan->Visible());
        EXPECT_EQ(W->Btn_SaveConf->Left(), W->Btn_NewScan->Left() + W->Btn_NewScan->Width() + 8);
    }
}

TEST_F(SaveTest, NewScanEmptiesTheWiredListOnly)
{
    Found();
    auto* wireless = new TSlave_wMBus;
    List_Slaves_wMBus.Add(wireless);
    W->Form_Style(3);
    W->BtnClick(W->Btn_NewScan);
    EXPECT_EQ(List_Slaves_MBus.Count(), 0);
    EXPECT_TRUE(View->Nodes[0].empty());
    EXPECT_EQ(List_Slaves_wMBus.Count(), 1);
    EXPECT_EQ(W->Screen(), 1);
}

} // namespace

namespace {

TEST_F(ScanWindowTest, SerialPortsAreListedAsCOMNumbers)
{
    auto ports = std::make_unique<Sys::FakeSerialPorts>();
    ports->Ports = {"/dev/ttyS0", "/dev/ttyUSB0"};
    Sys::SetSerialPorts(std::move(ports));
    Open();
    QStringList items;
    for (int i = 0; i < W->CB_ComPort->Items()->Count(); ++i)
        items << W->CB_ComPort->Items()->Strings(i);
    EXPECT_EQ(items, (QStringList{"COM1", "COM2"}));
    EXPECT_EQ(W->CB_ComPort->ItemIndex(), 0);
    Sys::SetSerialPorts(std::make_unique<Sys::FakeSerialPorts>());
    W->Btn_COM_ListClick(nullptr);
    EXPECT_EQ(W->CB_ComPort->Items()->Count(), 0);
    EXPECT_EQ(W->CB_ComPort->ItemIndex(), -1);
    Sys::SetSerialPorts(nullptr);
}

TEST_F(ScanWindowTest, ADotInTheAddressMovesToTheNextPart)
{
    Open();
    W->Show();
    const std::array<TEdit*, 4> edits{W->E_IP1, W->E_IP2, W->E_IP3, W->E_IP4};
    for (TEdit* e : edits)
        e->SetText(QString());
    SetFocusedWindow(W->E_IP1);
    for (QChar ch : QStringLiteral("10.0.0.42."))
        Input::Char(ch);
    EXPECT_EQ((QStringList{W->E_IP1->Text(), W->E_IP2->Text(), W->E_IP3->Text(), W->E_IP4->Text()}),
              (QStringList{"10", "0", "0", "42"}));
    EXPECT_EQ(FocusedControl(), W->E_IP4); // the last part has no next
    W->Hide();
}

} // namespace
