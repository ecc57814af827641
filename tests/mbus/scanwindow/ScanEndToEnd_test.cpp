// The window as a person uses it, with its real trees, against the fake
// gateway over loopback: a secondary scan finds two meters, the tree shows
// them, ticks are changed with the mouse, and Save Conf. writes the choice.
// The screens are rendered for review (build/review/mbus).
#include "ScanWindowKit.h"
#include "TreeKit.h"

#include "mbus/UScanDecodeTrees.h"
#include "platform/controls/Input.h"
#include "platform/core/Threads.h"
#include "platform/xml/XmlDoc.h"
#include "treeview/LazyTrees.h"

#include <QDir>
#include <QMap>

namespace {

// Meter 5 with two records: 10 m3 and a flow temperature of 30.0 °C.
const QByteArray Meter5_Two_Records = Hex("04 13 10 27 00 00 02 5A 2C 01");
// Meter 9 (gas, version 2) with one record: 20 m3.
const QByteArray Meter9_Records = Hex("04 13 20 4E 00 00");

class ScanEndToEndTest : public ScanWindowTest {
protected:
    void SetUp() override
    {
        Recording_View = false;
        ScanWindowTest::SetUp();
        VST = dynamic_cast<TLazyStringTree*>(W->FindComponent(QStringLiteral("VST")));
        ASSERT_TRUE(VST);
        TMBusScanDecode* e = W->TR_ScanDecode;
        e->Local_Bind_Address = QStringLiteral("127.0.0.1");
        e->Local_Port = 0;
        e->Gateway_Port = Gateway.Port();
        Gateway.Add_Meter(5, 0x12345678, {Fake_Meter_Frame(5, 0x12345678, 0x0442, 1, 7, Meter5_Two_Records)});
        Gateway.Add_Meter(9, 0x00012345, {Fake_Meter_Frame(9, 0x00012345, 0x0442, 2, 3, Meter9_Records)});
    }
    void TearDown() override
    {
        W->Hide();
        ScanWindowTest::TearDown();
    }
    bool Wait_End(int timeoutMs = 60000)
    {
        for (int waited = 0; waited < timeoutMs; waited += 10) {
            Run_Queued();
            if (!W->TR_ScanDecode->InScan())
                return true;
            Sleep(10);
        }
        return false;
    }
    void Click_Part(PLazyNode n, THitPosition part)
    {
        TPoint p;
        ASSERT_TRUE(Node_Part_Point(VST, n, part, p));
        Input::Click(VST, p.X, p.Y);
    }
    void Render(const QString& name)
    {
        Run_Queued();
        const QString dir = QStringLiteral(KAL_BUILD_DIR) + "/review/mbus";
        QDir().mkpath(dir);
        EXPECT_TRUE(W->RenderClient().save(dir + "/" + name));
    }
    std::vector<PLazyNode> Tops() const
    {
        std::vector<PLazyNode> r;
        for (PLazyNode c = VST->RootNode()->FirstChild; c; c = c->NextSibling)
            r.push_back(c);
        return r;
    }

    FakeMBusGateway Gateway;
    TLazyStringTree* VST = nullptr;
};

TEST_F(ScanEndToEndTest, MetersFoundAreShownTickedByTheMouseAndSavedAsTicked)
{
    Open(15, 1, false);
    W->Show();
    Render("scan_window_options.png");
    Set_IP("127", "0", "0", "2");
    W->CB_ScanBy->SetItemIndex(1);
    Click_Button(W, QStringLiteral("Btn_StartScan"));
    ASSERT_TRUE(W->TR_ScanDecode->InScan()) << W->TR_ScanDecode->Last_Error().toStdString();
    ASSERT_TRUE(Wait_End());
    Render("scan_window_progress.png");
    W->T_InScanTimer(nullptr);
    ASSERT_EQ(W->Screen(), 3);
    ASSERT_TRUE(Messages().isEmpty()) << Messages().join('|').toStdString();

    // Both meters, ticked, their texts shown by the tree itself.
    EXPECT_TRUE(VST->Visible());
    const auto tops = Tops();
    ASSERT_EQ(tops.size(), 2u);
    QStringList shown;
    for (PLazyNode t : tops)
        shown << VST->GetText(t, -1);
    EXPECT_TRUE(shown.contains(QStringLiteral("Primary Address = 5 - Secondary Address = 12345678 - "
                                              "Manufacturer = ABB(1090) - Version = 1 - Type = 7")))
        << shown.join('|').toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("Primary Address = 9 - Secondary Address = 12345 - "
                                              "Manufacturer = ABB(1090) - Version = 2 - Type = 3")))
        << shown.join('|').toStdString();
    for (PLazyNode t : tops)
        EXPECT_EQ(VST->GetCheckState(t), csCheckedNormal);
    const int first5 = shown[0].startsWith(QStringLiteral("Primary Address = 5 ")) ? 0 : 1;
    ASSERT_GE(first5, 0);
    PLazyNode meter5 = tops[size_t(first5)];
    PLazyNode meter9 = tops[size_t(1 - first5)];

    // Meter 5 opened by its button; its second record unticked by a click;
    // meter 9 unticked by a click, then ticked and unticked again.
    Click_Part(meter5, hiOnItemButton);
    ASSERT_TRUE(VST->GetExpanded(meter5));
    PLazyNode flow = meter5->FirstChild ? meter5->FirstChild->NextSibling : nullptr;
    ASSERT_TRUE(flow);
    EXPECT_TRUE(VST->GetText(flow, -1).startsWith(QStringLiteral("Value = 30 - Type = Flow Temperature")))
        << VST->GetText(flow, -1).toStdString();
    Click_Part(flow, hiOnItemCheckbox);
    EXPECT_EQ(VST->GetCheckState(flow), csUncheckedNormal);
    EXPECT_EQ(VST->GetCheckState(meter5), csMixedNormal) << "one of its two records ticked";
    for (int i = 0; i < 3; ++i)
        Click_Part(meter9, hiOnItemCheckbox);
    EXPECT_EQ(VST->GetCheckState(meter9), csUncheckedNormal);
    EXPECT_EQ(VST->GetCheckState(meter9->FirstChild), csUncheckedNormal) << "its record follows the meter";
    Render("scan_window_tree.png");

    // Save Conf. writes both meters as the tree shows them: what was
    // unticked is written disabled.
    Click_Button(W, QStringLiteral("Btn_SaveConf"));
    ASSERT_EQ(Messages(), QStringList{Text(1230)});
    XmlDocument doc;
    doc.LoadFromFile(W->FileName_MBus);
    QMap<QString, QStringList> written; // ID_Primary -> Enable_Node, then each record's Enable
    for (const XmlNode& n : doc.DocumentElement().ChildElements()) {
        if (n.NodeName() != QStringLiteral("Nodo"))
            continue;
        QStringList flags{n.Attribute(QStringLiteral("Enable_Node")).ToString()};
        for (const XmlNode& v : n.ChildElements())
            if (v.NodeName() == QStringLiteral("Variabile"))
                flags << v.Attribute(QStringLiteral("Enable")).ToString();
        written.insert(n.Attribute(QStringLiteral("ID_Primary")).ToString(), flags);
    }
    EXPECT_EQ(written.value(QStringLiteral("5")), (QStringList{"1", "1", "0"}));
    EXPECT_EQ(written.value(QStringLiteral("9")), (QStringList{"0", "0"}));
    EXPECT_EQ(written.size(), 2);
}

TEST_F(ScanEndToEndTest, WirelessMetersHeardAreListedTickedByTheMouseAndSavedAsTicked)
{
    TLazyStringTree* tree = dynamic_cast<TLazyStringTree*>(W->FindComponent(QStringLiteral("VST_Wireless")));
    ASSERT_TRUE(tree);
    Gateway.Script([](TFakeGatewayScript& s) { s.Radio.Kind = TFakeRadio::Telit; });
    Open(0, 1, true);
    W->Show();
    Set_IP("127", "0", "0", "2");
    W->E_Port->SetText(QString::number(Gateway.Port()));
    Click_Button(W, QStringLiteral("Btn_StartScan"));
    ASSERT_TRUE(W->TR_ScanDecode->InScan()) << W->TR_ScanDecode->Last_Error().toStdString();
    for (int waited = 0; waited < 20000 && !W->TR_ScanDecode->Wireless_Receive_Message; waited += 10)
        Sleep(10);
    ASSERT_TRUE(W->TR_ScanDecode->Wireless_Receive_Message);

    // Meter 12345678 readable, meter 87654321 encrypted, each heard twice.
    QByteArray other = Telegram_Cripted();
    other.replace(4, 4, Hex("21 43 65 87"));
    const quint16 enginePort = W->TR_ScanDecode->UDP_Server()->LocalPort();
    for (int i = 0; i < 2; ++i)
        for (const QByteArray& t : {Telegram_T, other})
            FakeMBusGateway::Send_From(QStringLiteral("127.0.0.2"), t, QStringLiteral("127.0.0.1"), enginePort);
    // Both rows shown: the grid has its header and two data rows.
    for (int waited = 0; waited < 20000 && W->View()->Wireless_Row_Count() < 3; waited += 10) {
        Sleep(10);
        Run_Queued();
    }
    ASSERT_EQ(List_Slaves_wMBus.Count(), 2);
    ASSERT_EQ(W->View()->Wireless_Row_Count(), 3);

    // The readable meter's row clicked: its tree; its record unticked.
    TPoint cell = Wireless_Cell_Centre(W, 4, 1);
    Input::Click(Wireless_Grid(W), cell.X, cell.Y);
    PLazyNode top = tree->RootNode()->FirstChild;
    ASSERT_TRUE(top);
    EXPECT_EQ(tree->GetText(top, -1),
              QStringLiteral("Manufacturer = ABB - Address = 12345678 - Version = 1 - Device Type = 7"));
    TPoint p;
    ASSERT_TRUE(Node_Part_Point(tree, top, hiOnItemButton, p));
    Input::Click(tree, p.X, p.Y);
    PLazyNode record = top->FirstChild;
    ASSERT_TRUE(record);
    ASSERT_TRUE(Check_Box_Point(tree, record, p));
    Input::Click(tree, p.X, p.Y);
    EXPECT_EQ(tree->GetCheckState(record), csUncheckedNormal);
    EXPECT_EQ(tree->GetCheckState(top), csUncheckedNormal) << "its only record unticked: the meter follows";
    Render("scan_window_wireless.png");

    // The encrypted meter's row clicked: the meter unticked.
    cell = Wireless_Cell_Centre(W, 4, 2);
    Input::Click(Wireless_Grid(W), cell.X, cell.Y);
    top = tree->RootNode()->FirstChild;
    ASSERT_TRUE(top);
    EXPECT_TRUE(tree->GetText(top, -1).endsWith(QStringLiteral(" - CRIPTED!!")));
    ASSERT_TRUE(Check_Box_Point(tree, top, p));
    Input::Click(tree, p.X, p.Y);
    EXPECT_EQ(tree->GetCheckState(top), csUncheckedNormal);

    Click_Button(W, QStringLiteral("Btn_StopScan"));
    ASSERT_TRUE(Wait_End());
    W->T_InScanTimer(nullptr);
    EXPECT_EQ(W->Screen(), 5);
    Click_Button(W, QStringLiteral("Btn_SaveConf"));
    ASSERT_EQ(Messages(), QStringList{Text(1230)});
    XmlDocument doc;
    doc.LoadFromFile(W->FileName_MBus);
    QMap<QString, QStringList> written; // address -> Enable_Node, then each record's Enable
    for (const XmlNode& n : doc.DocumentElement().ChildElements()) {
        if (n.NodeName() != QStringLiteral("Nodo"))
            continue;
        QStringList flags{n.Attribute(QStringLiteral("Enable_Node")).ToString()};
        for (const XmlNode& v : n.ChildElements())
            if (v.NodeName() == QStringLiteral("Variabile"))
                flags << v.Attribute(QStringLiteral("Enable")).ToString();
        written.insert(n.Attribute(QStringLiteral("wMBus_Add")).ToString(), flags);
    }
    EXPECT_EQ(written.value(QString::number(0x12345678)), (QStringList{"0", "0"}));
    EXPECT_EQ(written.value(QString::number(int32_t(0x87654321u))), QStringList{"0"});
    EXPECT_EQ(written.size(), 2);
}

} // namespace
