// The window's real device trees: node texts in the node records, check
// boxes, and ticks that reach the writer and the wireless list.
#include "ScanWindowKit.h"
#include "TreeKit.h"

#include "mbus/UScanDecodeTrees.h"
#include "platform/controls/Input.h"
#include "platform/xml/XmlDoc.h"
#include "treeview/LazyTrees.h"

#include <QFile>

namespace {

class RealTreeTest : public ScanWindowTest {
protected:
    void SetUp() override
    {
        Recording_View = false;
        ScanWindowTest::SetUp();
        VST = dynamic_cast<TLazyStringTree*>(W->FindComponent(QStringLiteral("VST")));
        VST_Wireless = dynamic_cast<TLazyStringTree*>(W->FindComponent(QStringLiteral("VST_Wireless")));
        ASSERT_TRUE(VST && VST_Wireless);
    }
    static QString Caption(TLazyStringTree* t, PLazyNode n) { return t->GetNodeRecord<TMyRec>(n)->Caption; }
    static std::vector<PLazyNode> Children(PLazyNode n)
    {
        std::vector<PLazyNode> r;
        for (PLazyNode c = n->FirstChild; c; c = c->NextSibling)
            r.push_back(c);
        return r;
    }
    TLazyStringTree* VST = nullptr;
    TLazyStringTree* VST_Wireless = nullptr;
};

TEST_F(RealTreeTest, TheWiredTreeHoldsTheTextsAndTheUsersTicksReachTheFile)
{
    Open(15, 1, false);
    int index = -1;
    W->TR_ScanDecode->Store_Wired_Answer(index, Fake_Meter_Frame(5, 0x12345678, 0x0442, 1, 7, Meter5_Records));
    W->Form_Style(3);
    W->Show_Slave_in_Tree();
    EXPECT_TRUE(VST->Visible());
    const auto tops = Children(VST->RootNode());
    ASSERT_EQ(tops.size(), 1u);
    EXPECT_EQ(Caption(VST, tops[0]), QStringLiteral("Primary Address = 5 - Secondary Address = 12345678 - "
                                                    "Manufacturer = ABB(1090) - Version = 1 - Type = 7"));
    EXPECT_EQ(VST->GetCheckType(tops[0]), ctTriStateCheckBox);
    EXPECT_EQ(VST->GetCheckState(tops[0]), csCheckedNormal);
    EXPECT_EQ(VST->GetNodeLevel(tops[0]), 0u);
    const auto records = Children(tops[0]);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(Caption(VST, records[0]), QStringLiteral("Value = 10 - Type = Volume m3 (U0S0T0)"));
    const auto details = Children(records[0]);
    ASSERT_EQ(details.size(), 12u);
    EXPECT_EQ(VST->GetCheckType(details[0]), ctNone);
    EXPECT_EQ(Caption(VST, details[11]), QStringLiteral("DATA = $10270000"));

    // The record unticked in the tree is written disabled; the meter, left
    // with no ticked record, follows it.
    VST->SetCheckState(records[0], csUncheckedNormal);
    EXPECT_EQ(VST->GetCheckState(tops[0]), csUncheckedNormal);
    W->Select_SaveXML(0);
    XmlDocument doc;
    doc.LoadFromFile(W->FileName_MBus);
    const XmlNode node = doc.DocumentElement().ChildElement(QStringLiteral("Nodo"));
    ASSERT_TRUE(node);
    EXPECT_EQ(node.Attribute(QStringLiteral("Enable_Node")).ToString(), QStringLiteral("0"));
    EXPECT_EQ(node.ChildElement(QStringLiteral("Variabile")).Attribute(QStringLiteral("Enable")).ToString(),
              QStringLiteral("0"));

    // A new scan's emptying leaves no node behind.
    W->BtnClick(W->FindComponent(QStringLiteral("Btn_NewScan")));
    EXPECT_EQ(VST->RootNodeCount(), 0u);
}

TEST_F(RealTreeTest, AGridClickShowsTheMeterAndTicksChangeTheList)
{
    auto* d = new TSlave_wMBus;
    d->ALA_Manu_str = QStringLiteral("ABB");
    d->ALA_Address = 0x12345678;
    d->ALA_Version = 1;
    d->ALA_DeviceType = 7;
    for (bool real : {true, false}) {
        auto* v = new TVariable_MBus;
        v->Real_Wireless_Var = real;
        v->ValueStr = QStringLiteral("10");
        v->Desc_Type_Data = QStringLiteral("Volume m3");
        d->List_Var.append(v);
    }
    d->List_Var[1]->Enable = false;
    List_Slaves_wMBus.Add(d);
    TWirelessSlaveRow row;
    row.ALA_Manu_str = QStringLiteral("ABB");
    Open(15, 1, true);
    W->Form_Style(5);
    W->Wireless_Slave_Updated(0, row);

    const TPoint p = Wireless_Cell_Centre(W, 2, 1);
    Input::Click(Wireless_Grid(W), p.X, p.Y);
    const auto tops = Children(VST_Wireless->RootNode());
    ASSERT_EQ(tops.size(), 1u);
    EXPECT_EQ(Caption(VST_Wireless, tops[0]),
              QStringLiteral("Manufacturer = ABB - Address = 12345678 - Version = 1 - Device Type = 7"));
    const auto records = Children(tops[0]);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(Caption(VST_Wireless, records[1]), QStringLiteral("Idle Filler"));
    EXPECT_EQ(VST_Wireless->GetCheckState(records[0]), csCheckedNormal);
    EXPECT_EQ(VST_Wireless->GetCheckState(records[1]), csUncheckedNormal);
    EXPECT_EQ(VST_Wireless->GetCheckState(tops[0]), csMixedNormal) << "one of two records ticked";
    EXPECT_TRUE(d->Enable);

    VST_Wireless->SetCheckState(records[0], csUncheckedNormal);
    EXPECT_FALSE(d->List_Var[0]->Enable);
    EXPECT_EQ(VST_Wireless->GetCheckState(tops[0]), csUncheckedNormal);
    EXPECT_FALSE(d->Enable) << "no record ticked: the meter is off";
    VST_Wireless->SetCheckState(records[1], csCheckedNormal);
    EXPECT_TRUE(d->List_Var[1]->Enable);
    EXPECT_TRUE(d->Enable);
    // The meter ticked carries the tick to every record.
    VST_Wireless->SetCheckState(tops[0], csCheckedNormal);
    EXPECT_TRUE(d->List_Var[0]->Enable && d->List_Var[1]->Enable && d->Enable);
    VST_Wireless->SetCheckState(tops[0], csUncheckedNormal);
    EXPECT_FALSE(d->List_Var[0]->Enable || d->List_Var[1]->Enable || d->Enable);
}

// A meter's tick and its records' ticks follow each other, and Save Conf.
// writes what the tree shows.
TEST_F(RealTreeTest, AMetersTickAndItsRecordsTicksFollowEachOtherIntoTheFile)
{
    Open(15, 1, false);
    int index = -1;
    // Meter 5 with three records.
    W->TR_ScanDecode->Store_Wired_Answer(
        index, Fake_Meter_Frame(5, 0x12345678, 0x0442, 1, 7, Hex("04 13 10 27 00 00 02 5A 2C 01 04 13 20 4E 00 00")));
    W->Form_Style(3);
    W->Show_Slave_in_Tree();
    const auto tops = Children(VST->RootNode());
    ASSERT_EQ(tops.size(), 1u);
    const auto records = Children(tops[0]);
    ASSERT_EQ(records.size(), 3u);
    PLazyNode meter = tops[0];
    auto states = [&] {
        QStringList r;
        for (PLazyNode n : {meter, records[0], records[1], records[2]}) {
            const TCheckState s = VST->GetCheckState(n);
            r << (s == csCheckedNormal ? "on" : s == csUncheckedNormal ? "off" : s == csMixedNormal ? "mixed" : "?");
        }
        return r;
    };
    auto written = [&] {
        QFile::remove(W->FileName_MBus);  // each save on its own, not added to the last
        W->Select_SaveXML(0);
        XmlDocument doc;
        doc.LoadFromFile(W->FileName_MBus);
        const XmlNode node = doc.DocumentElement().ChildElement(QStringLiteral("Nodo"));
        QStringList r{node.Attribute(QStringLiteral("Enable_Node")).ToString()};
        for (const XmlNode& v : node.ChildElements())
            if (v.NodeName() == QStringLiteral("Variabile"))
                r << v.Attribute(QStringLiteral("Enable")).ToString();
        return r;
    };
    struct Step {
        PLazyNode node;
        TCheckState to;
        QStringList shown, saved;
    } steps[] = {
        {meter, csUncheckedNormal, {"off", "off", "off", "off"}, {"0", "0", "0", "0"}},
        {meter, csCheckedNormal, {"on", "on", "on", "on"}, {"1", "1", "1", "1"}},
        {records[1], csUncheckedNormal, {"mixed", "on", "off", "on"}, {"1", "1", "0", "1"}},
        {records[0], csUncheckedNormal, {"mixed", "off", "off", "on"}, {"1", "0", "0", "1"}},
        {records[2], csUncheckedNormal, {"off", "off", "off", "off"}, {"0", "0", "0", "0"}},
        {records[0], csCheckedNormal, {"mixed", "on", "off", "off"}, {"1", "1", "0", "0"}},
        {meter, csCheckedNormal, {"on", "on", "on", "on"}, {"1", "1", "1", "1"}},
    };
    int i = 0;
    for (const Step& step : steps) {
        VST->SetCheckState(step.node, step.to);
        EXPECT_EQ(states(), step.shown) << "step " << i;
        EXPECT_EQ(written(), step.saved) << "step " << i;
        ++i;
    }
}

} // namespace

namespace {

TEST_F(RealTreeTest, EachNodesImageIsItsLevel)
{
    Open(15, 1, false);
    int index = -1;
    W->TR_ScanDecode->Store_Wired_Answer(index, Fake_Meter_Frame(5, 0x12345678, 0x0442, 1, 7, Meter5_Records));
    W->Show_Slave_in_Tree();
    PLazyNode top = VST->RootNode()->FirstChild;
    ASSERT_TRUE(top && top->FirstChild && top->FirstChild->FirstChild);
    const PLazyNode nodes[] = {top, top->FirstChild, top->FirstChild->FirstChild->NextSibling};
    for (int level = 0; level < 3; ++level) {
        for (TLTImageKind kind : {ikNormal, ikSelected}) {
            bool ghosted = false;
            int image = -1;
            TCustomImageList* list = VST->Images();
            VST->OnGetImageIndexEx(VST, nodes[level], kind, 0, ghosted, image, list);
            EXPECT_EQ(image, level);
        }
    }
    EXPECT_EQ(VST->Images()->Count(), 3);
}

TEST_F(RealTreeTest, AClickOnAWirelessCheckBoxReachesTheList)
{
    auto* d = new TSlave_wMBus;
    auto* v = new TVariable_MBus;
    v->Real_Wireless_Var = true;
    d->List_Var.append(v);
    List_Slaves_wMBus.Add(d);
    Open(15, 1, true);
    W->Show();
    W->Form_Style(5);
    W->Show_Slave_in_Tree_Wireless(0);
    PLazyNode top = VST_Wireless->RootNode()->FirstChild;
    ASSERT_TRUE(top);
    TPoint p;
    ASSERT_TRUE(Check_Box_Point(VST_Wireless, top, p));
    Input::Click(VST_Wireless, p.X, p.Y);
    EXPECT_FALSE(TBaseLazyTree::IsCheckStateChecked(VST_Wireless->GetCheckState(top)));
    EXPECT_FALSE(d->Enable);
    Input::Click(VST_Wireless, p.X, p.Y);
    EXPECT_TRUE(d->Enable);
    W->Hide();
}

} // namespace
