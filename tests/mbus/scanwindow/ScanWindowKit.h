#pragma once
// The Scan & Decode window over a recording view, with its side dialogs, the
// default texts, scripted message boxes and a project folder of its own.
// A test that needs the engine to run a scan either steps a suspended engine
// against the fake gateway's script (Use_Stepped_Engine) or lets the
// window's own engine thread talk to the fake gateway over loopback.
#include "../FakeMBusGateway.h"
#include "app/UComon.h"
#include "app/ULanguage.h"
#include "mbus/UInsertKeyWireless.h"
#include "mbus/UModbusStartAdd_SD.h"
#include "mbus/UScanDecode.h"
#include "mbus/UScanModbusStart.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/Files.h"
#include "platform/sys/Udp.h"
#include "project/OpenProject.h"
#include "support/ToolkitApp.h"
#include "support/ToolkitTest.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

inline QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// Meter 12345678 at primary address 5, ABB, version 1, water (7): one
// record, 10000 litres as a 32-bit integer.
inline const QByteArray Meter5_Records = Hex("04 13 10 27 00 00");
// The same meter heard by radio (short header, RSSI 50h).
inline const QByteArray Telegram_T = Hex("14 44 42 04 78 56 34 12 01 07 7A 2A 00 00 00 04 13 10 27 00 00 00 50");
// Its encrypted form (security mode 5, no idle filler).
inline QByteArray Telegram_Cripted()
{
    QByteArray t = Telegram_T;
    t[14] = char(0x05);
    return t;
}

// A tree node as the recording view keeps it.
struct TRecNode : TMBusTreeNode {
    QString Text;
    bool CheckBox = false;
    bool Tick = false;
    TRecNode* Parent = nullptr;
    int Level = 0;
    bool Checked() const override { return Tick; }
};

class TRecordingView : public IScanDecodeView {
public:
    struct Row {
        QStringList Cells;
        TColor Color = clNone;
        int Image = -1;
    };

    void Show_Tree(TScanTree tree, bool visible) override { Visible[Slot(tree)] = visible; }
    void Clear_Tree(TScanTree tree) override { Nodes[Slot(tree)].clear(); }
    TMBusTreeNode* Add_Node(TScanTree tree, TMBusTreeNode* parent, const QString& text, bool checkBox,
                            bool checked) override
    {
        auto n = std::make_unique<TRecNode>();
        n->Text = text;
        n->CheckBox = checkBox;
        n->Tick = checked;
        n->Parent = static_cast<TRecNode*>(parent);
        n->Level = n->Parent ? n->Parent->Level + 1 : 0;
        Nodes[Slot(tree)].push_back(std::move(n));
        return Nodes[Slot(tree)].back().get();
    }
    void Clear_Wireless_Grid() override
    {
        Rows.clear();
        Row_Count = 2;
        ++Grid_Clears;
    }
    int Wireless_Row_Count() override { return Row_Count; }
    void Set_Wireless_Row_Count(int rows) override { Row_Count = rows; }
    void Set_Wireless_Row(int row, const QStringList& cells, TColor color, int image) override
    {
        Rows[row] = {cells, color, image};
        ++Row_Writes;
    }

    QStringList Texts(TScanTree tree) const
    {
        QStringList l;
        for (const auto& n : Nodes[Slot(tree)])
            l << n->Text;
        return l;
    }
    std::vector<TRecNode*> Top(TScanTree tree) const
    {
        std::vector<TRecNode*> r;
        for (const auto& n : Nodes[Slot(tree)])
            if (!n->Parent)
                r.push_back(n.get());
        return r;
    }
    std::vector<TRecNode*> Children(TScanTree tree, const TRecNode* parent) const
    {
        std::vector<TRecNode*> r;
        for (const auto& n : Nodes[Slot(tree)])
            if (n->Parent == parent)
                r.push_back(n.get());
        return r;
    }

    std::vector<std::unique_ptr<TRecNode>> Nodes[2];
    bool Visible[2] = {false, true};
    std::map<int, Row> Rows;
    int Row_Count = 2;
    int Row_Writes = 0;
    int Grid_Clears = 0;

private:
    static int Slot(TScanTree tree) { return tree == TScanTree::Wired ? 0 : 1; }
};

// A clock the test moves: every sleep of the engine advances it at once.
class TStepClock : public IMBusClock {
public:
    uint32_t Tick() override { return Now; }
    void Sleep(uint32_t ms) override { Now += ms; }
    std::atomic<uint32_t> Now{100000};
};

// The wireless grid of a window with its real view (defined beside the grid
// tests): the grid as a control and the centre of one of its cells.
TControl* Wireless_Grid(TFScanDecode* w);
TPoint Wireless_Cell_Centre(TFScanDecode* w, int col, int row);
// A mouse click in the middle of the window's push button of that name.
void Click_Button(TFScanDecode* w, const QString& name);

class ScanWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { KalTest::EnsureToolkitApp(); }
    void SetUp() override
    {
        ASSERT_TRUE(Tmp.isValid());
        Load_Default_Texts();
        Saved_ParGen = File_ParGen;
        Saved_Code = SW_Code;
        File_ParGen = Tmp.path() + "/ParGen.xml";
        SW_Code = "CF31A10";
        List_Slaves_MBus.Free_All();
        List_Slaves_wMBus.Free_All();
        InstallDialogScript(&Script);
        Key = new TFInsertKeyWireless(nullptr);
        Key->AfterConstruction();
        Start = new TFScanModbusStart(nullptr);
        Start->AfterConstruction();
        PerNode = new TFModbusStartAdd_SD(nullptr);
        PerNode->AfterConstruction();
        W = new TFScanDecode(nullptr);
        W->AfterConstruction();
        if (Recording_View) {
            auto view = std::make_unique<TRecordingView>();
            View = view.get();
            W->Set_View(std::move(view));
        }
        W->FileName_MBus = Tmp.path() + "/M_Bus.xml";
    }
    void TearDown() override
    {
        delete W;
        delete PerNode;
        delete Start;
        delete Key;
        if (Stepped)
            Sys::SetUdp(nullptr);
        List_Slaves_MBus.Free_All();
        List_Slaves_wMBus.Free_All();
        InstallDialogScript(nullptr);
        SetFocusedWindowQuietly(nullptr);
        File_ParGen = Saved_ParGen;
        SW_Code = Saved_Code;
    }

    // The window as the M-Bus models open it.
    void Open(int code = 15, int formType = 1, bool wireless = false)
    {
        W->XML_Code_Dev = code;
        W->Form_Type = formType;
        W->CB_ScanMethod->SetItemIndex(wireless ? 1 : 0);
        W->FormShow(nullptr);
    }
    void Set_IP(const QString& a, const QString& b, const QString& c, const QString& d)
    {
        W->E_IP1->SetText(a);
        W->E_IP2->SetText(b);
        W->E_IP3->SetText(c);
        W->E_IP4->SetText(d);
    }
    QStringList Messages() const { return MessageBoxTexts(Script); }
    static QString Text(int n) { return Text_Of(n); }

    // -- a suspended engine stepped against the gateway script
    void Use_Stepped_Engine()
    {
        auto factory = std::make_unique<Sys::FakeUdpFactory>();
        Factory = factory.get();
        Sys::SetUdp(std::move(factory));
        Stepped = true;
        W->TR_ScanDecode->Free();
        W->TR_ScanDecode = NewObject<TMBusScanDecode>(true, Clock);
        Endpoint = Factory->Created.last();
    }
    void Step()
    {
        TMBusScanDecode* e = W->TR_ScanDecode;
        e->Step();
        const QList<Sys::FakeUdpEndpoint::Sent> all = Endpoint->SentData();
        for (qsizetype i = Sent; i < all.size(); ++i)
            if (const auto answer = Gateway_Script.Answer(all[i].Data))
                e->UDP_Data_Received({*answer, all[i].Address, all[i].Port});
        Sent = all.size();
        Clock->Sleep(40);
    }
    // Steps until the predicate holds or the scan ends (bounded).
    template <class F>
    void Step_Until(F done, int maxSteps = 200000)
    {
        for (int i = 0; i < maxSteps && W->TR_ScanDecode->InScan() && !done(); ++i)
            Step();
    }
    // Runs what the engine handed to this thread.
    static void Run_Queued() { Application()->ProcessMessages(); }

    // False: the window keeps its real trees and grid.
    bool Recording_View = true;
    QTemporaryDir Tmp;
    TDialogScript Script;
    TFScanDecode* W = nullptr;
    TRecordingView* View = nullptr;
    TFInsertKeyWireless* Key = nullptr;
    TFScanModbusStart* Start = nullptr;
    TFModbusStartAdd_SD* PerNode = nullptr;
    QString Saved_ParGen, Saved_Code;

    Sys::FakeUdpFactory* Factory = nullptr;
    Sys::FakeUdpEndpoint* Endpoint = nullptr;
    std::shared_ptr<TStepClock> Clock = std::make_shared<TStepClock>();
    TFakeGatewayScript Gateway_Script;
    qsizetype Sent = 0;
    bool Stepped = false;
};
