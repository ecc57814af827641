// The window's own engine thread against the fake gateway over loopback:
// closing the window during a scan leaves the gateway and the socket as a
// finished scan does, and the next scan runs.
#include "ScanWindowKit.h"

#include "app/LbButton.h"

#include "platform/core/Threads.h"

namespace {

class ScanLoopbackWindowTest : public ScanWindowTest {
protected:
    void SetUp() override
    {
        ScanWindowTest::SetUp();
        TMBusScanDecode* e = W->TR_ScanDecode;
        e->Local_Bind_Address = QStringLiteral("127.0.0.1");
        e->Local_Port = 0;
        e->Gateway_Port = Gateway.Port();
        Gateway.Add_Meter(5, 0x12345678, {Fake_Meter_Frame(5, 0x12345678, 0x0442, 1, 7, Meter5_Records)});
    }
    void Start_Secondary()
    {
        Open(15, 1, false);
        Set_IP("127", "0", "0", "2");
        W->CB_ScanBy->SetItemIndex(1);
        W->BtnClick(W->Btn_StartScan);
        ASSERT_TRUE(W->TR_ScanDecode->InScan()) << W->TR_ScanDecode->Last_Error().toStdString();
    }
    bool Wait_End(int timeoutMs = 60000)
    {
        for (int waited = 0; waited < timeoutMs; waited += 10) {
            if (!W->TR_ScanDecode->InScan())
                return true;
            Sleep(10);
        }
        return false;
    }
    int Count(const QByteArray& datagram) const { return int(Gateway.Data().count(datagram)); }

    FakeMBusGateway Gateway;
};

TEST_F(ScanLoopbackWindowTest, ClosingDuringAScanRestoresTheGatewayAndTheNextScanRuns)
{
    const QByteArray disable("Tavlon_Disable_Analyzer_Mode");
    Start_Secondary();
    // Well into the scan: the gateway has seen some polls.
    ASSERT_TRUE(Gateway.Wait_Until([](const auto& r) { return r.size() >= 3; }, 20000));
    TCloseAction action = caHide;
    W->FormClose(nullptr, action);
    EXPECT_FALSE(W->TR_ScanDecode->InScan());
    EXPECT_EQ(Count(disable), 1);
    EXPECT_FALSE(W->TR_ScanDecode->UDP_Server()->Active());
    // The loop is blocked again: nothing more reaches the gateway.
    const qsizetype after = Gateway.Data().size();
    Sleep(200);
    EXPECT_EQ(Gateway.Data().size(), after);

    // Opened again, a scan runs to its end.
    Run_Queued();
    Script.Shown.clear();
    Start_Secondary();
    ASSERT_TRUE(Wait_End());
    Run_Queued();
    W->T_InScanTimer(nullptr);
    EXPECT_TRUE(Messages().isEmpty());
    EXPECT_EQ(W->Screen(), 3);
    EXPECT_EQ(Count(disable), 2);
    EXPECT_EQ(List_Slaves_MBus.Count(), 1);
    EXPECT_EQ(View->Top(TScanTree::Wired).size(), 1u);
    EXPECT_FALSE(W->TR_ScanDecode->UDP_Server()->Active());
}

} // namespace
