// The general-parameters dialog's state: the layout of each model's groups,
// collapse and expand, change tracking, the M-Bus presence rule, the "." key
// of the address edits, and the OK / Cancel / close flow.
#include "app/UComon.h"
#include "app/ULanguage.h"
#include "app/UParGen.h"
#include "platform/core/Files.h"
#include "platform/xml/XmlDoc.h"

#include <gtest/gtest.h>

#include <functional>

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

namespace {

class ParGenDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Tmp.isValid());
        Load_Default_Texts();
        Path = Tmp.path() + "/ParGen.xml";
    }
    // A confirmation box that records its question and answers `yes`.
    std::function<bool(const QString&)> Answer(bool yes)
    {
        return [this, yes](const QString& q) {
            Questions.append(q);
            return yes;
        };
    }

    QTemporaryDir Tmp;
    QString Path;
    QStringList Questions;
};

TGroupFlags All_Expanded()
{
    TGroupFlags f;
    f.fill(true);
    return f;
}

struct TPlace {
    TParGenBox Box;
    int Top, Height;
};

QList<TPlace> Places(const TParGenLayout& l)
{
    QList<TPlace> p;
    for (const TGroupPlace& g : l.Groups) {
        EXPECT_EQ(g.Left, 8);
        p.append({g.Box, g.Top, g.Height});
    }
    return p;
}

bool operator==(const TPlace& a, const TPlace& b)
{
    return a.Box == b.Box && a.Top == b.Top && a.Height == b.Height;
}

void PrintTo(const TPlace& p, std::ostream* os)
{
    *os << "{" << int(p.Box) << ", " << p.Top << ", " << p.Height << "}";
}

} // namespace

// ---------------------------------------------------------------------------
// Layout

TEST(ParGenLayout, Model9WithEveryGroupExpanded)
{
    Load_Default_Texts();
    const TParGenLayout l = Move_GroupBoxs(9, All_Expanded());
    EXPECT_EQ(Places(l), (QList<TPlace>{{TParGenBox::KNX, 70, 91},
                                        {TParGenBox::J1939, 167, 159},
                                        {TParGenBox::Modbus_TCP_Slave, 332, 190}}));
    EXPECT_EQ(l.Buttons_Top, 535);
    EXPECT_EQ(l.Btn_OK_Left, 71);
    EXPECT_EQ(l.Btn_Cancel_Left, 192);
    EXPECT_EQ(l.Client_Width, 312);
    EXPECT_EQ(l.Client_Height, 576);
    EXPECT_STREQ(Find_RePosition(9)->Routine, "RePosition_Objects_31A06");
    EXPECT_EQ(Group_Caption(TParGenBox::Modbus_TCP_Slave, 9), 116);
    EXPECT_EQ(Text_Of(116), " Ethernet ");
}

// Heights from each routine's reference control: its top, its height (21 for
// an edit, 22 for a list) and 15.
struct TLayoutCase {
    int Code;
    QList<TPlace> Groups;
    int Client_Height;
};

TEST(ParGenLayout, EveryModelStacksItsGroupsOnItsReferenceControls)
{
    using B = TParGenBox;
    const TLayoutCase cases[] = {
        {1, {{B::KNX, 70, 91}, {B::Modbus_Master, 167, 191 + 21 + 15}, {B::Modbus_TCP_Slave, 400, 190}}, 644},
        {2, {{B::KNX, 70, 91}, {B::Modbus_Slave, 167, 192 + 21 + 15}, {B::Modbus_TCP_Slave, 401, 190}}, 645},
        {1003, {{B::KNX, 70, 91}, {B::Modbus_TCP_Master, 167, 222 + 21 + 15}}, 479},
        {4, {{B::KNX, 70, 91}, {B::Modbus_TCP_Slave, 167, 223 + 21 + 15}}, 480},
        {5, {{B::KNX, 70, 91}, {B::CAN, 167, 21 + 22 + 15}, {B::Modbus_TCP_Slave, 231, 190}}, 475},
        {6, {{B::KNX, 70, 91}, {B::CANopen, 167, 157 + 21 + 15}, {B::Modbus_TCP_Slave, 366, 190}}, 610},
        {7, {{B::KNX, 70, 91}, {B::DNET_Master, 167, 55 + 22 + 15}, {B::Modbus_TCP_Slave, 265, 190}}, 509},
        {8, {{B::KNX, 70, 91}, {B::DNET_Slave, 167, 123 + 21 + 15}, {B::Modbus_TCP_Slave, 332, 190}}, 576},
        {1010,
         {{B::KNX, 70, 91},
          {B::MBus_Options, 167, 55 + 22 + 15},
          {B::MBus, 265, 142 + 21 + 15},
          {B::wMBus, 449, 92},
          {B::Modbus_TCP_Slave, 547, 190}},
         791},
        {11, {{B::KNX, 70, 91}, {B::DMX, 167, 91}, {B::Modbus_TCP_Slave, 264, 190}}, 508},
        {12, {{B::KNX, 70, 89 + 21 + 15}, {B::PROFINET, 201, 310 + 21 + 15}}, 601},
        {13, {{B::KNX, 70, 91}, {B::EtherNetIP, 167, 256 + 21 + 15}}, 513},
        {1014, {{B::KNX, 70, 225 + 21 + 15}, {B::Modbus_TCP_Slave, 337, 190}}, 581},
        // SNMP: the station-name edit moves up to 191 + 19.
        {15, {{B::KNX, 70, 91}, {B::PROFINET, 167, 210 + 21 + 15}}, 467},
    };
    for (const TLayoutCase& c : cases) {
        const TParGenLayout l = Move_GroupBoxs(c.Code, All_Expanded());
        EXPECT_EQ(Places(l), c.Groups) << c.Code;
        EXPECT_EQ(l.Client_Height, c.Client_Height) << c.Code;
        EXPECT_EQ(l.Buttons_Top, c.Client_Height - 54 + 13) << c.Code;
    }
    EXPECT_EQ(Move_GroupBoxs(16, All_Expanded()).Groups.size(), 0);
}

TEST(ParGenLayout, MBusGroupsFollowTheirPresenceLists)
{
    using B = TParGenBox;
    const auto boxes = [](int wire, int wireless) {
        QList<B> b;
        for (const TGroupPlace& g : Move_GroupBoxs(10, All_Expanded(), wire, wireless).Groups)
            b.append(g.Box);
        return b;
    };
    EXPECT_EQ(boxes(1, 1), (QList<B>{B::KNX, B::MBus_Options, B::MBus, B::wMBus, B::Modbus_TCP_Slave}));
    EXPECT_EQ(boxes(0, 1), (QList<B>{B::KNX, B::MBus_Options, B::wMBus, B::Modbus_TCP_Slave}));
    EXPECT_EQ(boxes(1, 0), (QList<B>{B::KNX, B::MBus_Options, B::MBus, B::Modbus_TCP_Slave}));
    EXPECT_EQ(boxes(-1, -1), (QList<B>{B::KNX, B::MBus_Options, B::Modbus_TCP_Slave}));
    // With the wired group gone the wireless one moves up to its place.
    EXPECT_EQ(Move_GroupBoxs(10, All_Expanded(), 0, 1).Find(B::wMBus)->Top, 265);
}

TEST_F(ParGenDialogTest, CollapsingJ1939MovesEthernetUpAndTheStateOutlivesAReopening)
{
    TParGenDialogModel m(9);
    m.FormShow(Path);
    m.Btn_GB_Collapse(TParGenBox::J1939);
    TParGenLayout l = m.Move_GroupBoxs();
    EXPECT_EQ(l.Find(TParGenBox::J1939)->Height, 26);
    EXPECT_EQ(l.Find(TParGenBox::Modbus_TCP_Slave)->Top, 70 + 91 + 6 + 26 + 6);
    EXPECT_EQ(l.Client_Height, 199 + 190 + 54);
    EXPECT_FALSE(m.GB_Visible(TParGenBox::J1939));

    m.FormShow(Path); // closed and opened again
    EXPECT_EQ(m.Move_GroupBoxs().Find(TParGenBox::Modbus_TCP_Slave)->Top, 199);

    m.Btn_GB_Expande(TParGenBox::J1939);
    l = m.Move_GroupBoxs();
    EXPECT_EQ(l.Find(TParGenBox::Modbus_TCP_Slave)->Top, 332);
    EXPECT_EQ(l.Client_Height, 576);

    // Every group collapses alike.
    for (const TGroupBoxInfo& g : Group_Boxes())
        m.Btn_GB_Collapse(g.Box);
    l = m.Move_GroupBoxs();
    EXPECT_EQ(Places(l), (QList<TPlace>{{TParGenBox::KNX, 70, 26},
                                        {TParGenBox::J1939, 102, 26},
                                        {TParGenBox::Modbus_TCP_Slave, 134, 26}}));
}

TEST(ParGenGroups, NamesCaptionsAndFirstRows)
{
    EXPECT_EQ(Group_Boxes().size(), Group_Box_Count);
    for (int i = 0; i < Group_Box_Count; ++i)
        EXPECT_EQ(int(Group_Boxes()[i].Box), i);
    EXPECT_EQ(Collapse_Button_Name(TParGenBox::KNX), "Btn_KNX_Collapse");
    EXPECT_EQ(Expand_Button_Name(TParGenBox::Modbus_TCP_Slave), "Btn_Modbus_TCP_Slave_Expande");
    EXPECT_EQ(Expand_Button_Name(TParGenBox::EtherNetIP), "Btn_EtherNetIP_Expande");
    EXPECT_EQ(Group_Box(TParGenBox::EtherNetIP).First_Row, QStringList{"L_EtherNetIP_IP_Add"});
    EXPECT_EQ(Group_Box(TParGenBox::KNX).Expand_Height, 227);
    EXPECT_EQ(Group_Box(TParGenBox::J1939).Expand_Height, 179);
    EXPECT_EQ(Group_Caption(TParGenBox::Modbus_TCP_Slave, 4), 115);
    EXPECT_EQ(Group_Caption(TParGenBox::PROFINET, 15), 955);
    EXPECT_EQ(Group_Caption(TParGenBox::PROFINET, 12), 889);
    // The first-row inputs hidden on collapse are value controls of the model.
    EXPECT_EQ(Find_ParGen_Control("CB_Baud_J1939")->Name, QString("J1939_BAUDRATE"));
}

// ---------------------------------------------------------------------------
// Address entry

TEST(ParGenOctets, DotWalksTheAddressGroupsTheModelShows)
{
    const struct {
        int Code;
        const char* Edit;
        QChar Key;
        bool Swallowed;
        const char* Next;
    } cases[] = {
        {9, "E_IP1_Modbus_TCP_Slave", '.', true, "E_IP2_Modbus_TCP_Slave"},
        {9, "E_IP4_Modbus_TCP_Slave", '.', true, "E_SM1_Modbus_TCP_Slave"},
        {9, "E_SM4_Modbus_TCP_Slave", '.', true, "E_GAT1_Modbus_TCP_Slave"},
        {9, "E_GAT4_Modbus_TCP_Slave", '.', true, ""},
        {9, "E_IP1_Modbus_TCP_Slave", '1', false, ""},
        {9, "E_IP1", '.', false, ""}, // PROFINET is not shown by model 9
        {9, "E_ID_DEV_KNX", '.', false, ""},
        {3, "E_IP4_Modbus_TCP_Master", '.', true, "E_SM1_Modbus_TCP_Master"},
        {3, "E_IP4_Modbus_TCP_Slave", '.', false, ""},
        {15, "E_SM4", '.', true, "E_GAT1"},
        {13, "E_EtherNetIP_SM4", '.', true, "E_EtherNetIP_GAT1"},
        {13, "E_EtherNetIP_GAT4", '.', true, ""},
    };
    for (const auto& c : cases) {
        QString next = "unchanged";
        EXPECT_EQ(Octet_KeyPress(c.Code, c.Edit, c.Key, &next), c.Swallowed) << c.Code << " " << c.Edit;
        EXPECT_EQ(next, c.Swallowed ? QString::fromLatin1(c.Next) : QString("unchanged")) << c.Edit;
    }
    // Every octet edit is a value control of its group.
    for (TParGenBox b : {TParGenBox::Modbus_TCP_Master, TParGenBox::Modbus_TCP_Slave, TParGenBox::PROFINET,
                        TParGenBox::EtherNetIP})
        for (const QString& e : Octet_Edits(b))
            EXPECT_NE(Find_ParGen_Control(e), nullptr) << e.toStdString();
}

// ---------------------------------------------------------------------------
// OK, Cancel and close

TEST_F(ParGenDialogTest, OkWithTheDefaultsWritesTheModelsNineteenElements)
{
    TParGenDialogModel m(9);
    m.FormShow(Path);
    EXPECT_TRUE(m.Btn_OKClick(Path, [](const QString& e) { ADD_FAILURE() << e.toStdString(); }));

    XmlDocument doc;
    doc.LoadFromFile(Path);
    QStringList written;
    for (const XmlNode& e : doc.DocumentElement().ChildElements())
        written.append(e.NodeName() + "=" + e.Text());
    EXPECT_EQ(doc.DocumentElement().NodeName(), "Par_Gen");
    EXPECT_EQ(written, (QStringList{"KNX_TYPE=0",
                                    "KNX_ID_DEV=1.1.200",
                                    "Modbus_TCP_Slave_IP1=192",
                                    "Modbus_TCP_Slave_IP2=168",
                                    "Modbus_TCP_Slave_IP3=0",
                                    "Modbus_TCP_Slave_IP4=5",
                                    "Modbus_TCP_Slave_SM1=255",
                                    "Modbus_TCP_Slave_SM2=255",
                                    "Modbus_TCP_Slave_SM3=255",
                                    "Modbus_TCP_Slave_SM4=0",
                                    "Modbus_TCP_Slave_GAT1=192",
                                    "Modbus_TCP_Slave_GAT2=168",
                                    "Modbus_TCP_Slave_GAT3=0",
                                    "Modbus_TCP_Slave_GAT4=1",
                                    "Modbus_TCP_Slave_EN_GAT=0",
                                    "J1939_BAUDRATE=5",
                                    "J1939_TIMEOUT=0",
                                    "J1939_PEER_TO_PEER=0",
                                    "J1939_Device_ID=0"}));
}

TEST_F(ParGenDialogTest, RefusedValueKeepsTheDialogOpenAndWritesNothing)
{
    TParGenDialogModel m(9);
    m.FormShow(Path);
    m.On_Change("J1939_Device_ID", "240");
    QStringList shown;
    EXPECT_FALSE(m.Btn_OKClick(Path, [&](const QString& e) { shown.append(e); }));
    EXPECT_EQ(shown, QStringList{Text_Of(975)});
    EXPECT_FALSE(QFile::exists(Path));
    EXPECT_EQ(m.Values().Value("J1939_Device_ID"), "240"); // the user's value stays

    m.On_Change("J1939_Device_ID", "239");
    EXPECT_TRUE(m.Btn_OKClick(Path, [&](const QString& e) { shown.append(e); }));
    EXPECT_EQ(shown.size(), 1);
    TParGenValues back(9);
    back.Read_File(Path);
    EXPECT_EQ(back.Value("J1939_Device_ID"), "239");
}

TEST_F(ParGenDialogTest, CancelAndTheCloseBoxAskOnlyAfterAChange)
{
    TParGenDialogModel m(9);
    m.FormShow(Path);
    EXPECT_TRUE(m.Btn_CancelClick(Answer(false)));
    EXPECT_TRUE(m.FormCloseQuery(Answer(false)));
    EXPECT_TRUE(Questions.isEmpty());

    // Ticking and unticking is still a change.
    m.On_Click("J1939_PEER_TO_PEER", true);
    m.On_Click("J1939_PEER_TO_PEER", false);
    EXPECT_FALSE(m.Btn_CancelClick(Answer(false)));
    EXPECT_FALSE(m.FormCloseQuery(Answer(false)));
    EXPECT_TRUE(m.Btn_CancelClick(Answer(true)));
    EXPECT_EQ(Questions, QStringList(3, "Do you want to exit without saving changes?"));
    EXPECT_FALSE(QFile::exists(Path));

    // Showing again starts with no change, though filling set every value.
    m.FormShow(Path);
    EXPECT_FALSE(m.Is_Change());
    m.On_Change("KNX_ID_DEV", "1.1.5");
    EXPECT_TRUE(m.Is_Change());
}

TEST_F(ParGenDialogTest, ShowReadsTheFileAndNamesOneThatIsNotWellFormed)
{
    TParGenValues v(9);
    v.Set_Value("J1939_TIMEOUT", "7");
    v.Write_File(Path);
    TParGenDialogModel m(9);
    m.FormShow(Path);
    EXPECT_EQ(m.Values().Value("J1939_TIMEOUT"), "7");

    QFile f(Path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<Par_Gen><J1939_TIMEOUT>");
    f.close();
    try {
        m.FormShow(Path);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains("ParGen.xml")) << e.Message().toStdString();
    }
}

// A ParGen.xml that stands there but cannot be read is reported like one
// that cannot be parsed, never shown as the defaults of a missing file.
TEST_F(ParGenDialogTest, ShowNamesAFileThatCannotBeReadWithTheReason)
{
    struct TCase {
        const char* What;
        std::function<void()> Make;
        const char* Reason;
    };
    const TCase cases[] = {
        {"a folder", [&] { ASSERT_TRUE(QDir().mkdir(Path)); }, "it is a folder"},
        {"a link to nothing", [&] { ASSERT_TRUE(QFile::link(Tmp.path() + "/gone.xml", Path)); },
         "it is a link to a file that does not exist"},
        {"a link to itself", [&] { ASSERT_TRUE(QFile::link(Path, Path)); }, "Too many levels of symbolic links"},
    };
    for (const TCase& c : cases) {
        c.Make();
        TParGenDialogModel m(9);
        m.On_Change("J1939_TIMEOUT", "77");
        try {
            m.FormShow(Path);
            ADD_FAILURE() << c.What << ": no error";
        } catch (const Exception& e) {
            EXPECT_TRUE(e.Message().contains(Path)) << e.Message().toStdString();
            EXPECT_TRUE(e.Message().contains(c.Reason)) << e.Message().toStdString();
        }
        // Nothing was applied.
        EXPECT_EQ(m.Values().Value("J1939_TIMEOUT"), "77") << c.What;
        QDir().rmdir(Path);
        QFile::remove(Path);
    }
}

// A full disk at OK: the message names the file and the system's reason, and
// the old file stays as it was.
TEST_F(ParGenDialogTest, AFailedSaveNamesTheReasonAndKeepsTheOldFile)
{
    TParGenValues v(9);
    v.Set_Value("J1939_TIMEOUT", "7");
    v.Write_File(Path);
    const QByteArray before = ReadFileWhole(Path);
    TParGenDialogModel m(9);
    m.FormShow(Path);
    m.On_Change("J1939_TIMEOUT", "8");
    SetWriteFaultHook([&](const QString& p) { return p == Path; });
    try {
        m.Btn_OKClick(Path, [](const QString& msg) { ADD_FAILURE() << msg.toStdString(); });
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Error writing file \"%1\". No space left on device.").arg(Path));
    }
    SetWriteFaultHook(nullptr);
    EXPECT_EQ(ReadFileWhole(Path), before);
    EXPECT_EQ(QDir(Tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"ParGen.xml"});
}

TEST_F(ParGenDialogTest, AtLeastOneMBusPortStaysPresent)
{
    TParGenDialogModel m(10);
    m.FormShow(Path);
    // Wired off while wireless is present: the wired group goes, the rest moves up.
    EXPECT_EQ(m.On_Change("MBus_Options_Wire_Present", "0"), "");
    EXPECT_EQ(m.Move_GroupBoxs().Find(TParGenBox::MBus), nullptr);
    EXPECT_EQ(m.Move_GroupBoxs().Find(TParGenBox::wMBus)->Top, 265);

    // Wireless off too: refused, the list just changed goes back to Present.
    EXPECT_EQ(m.On_Change("MBus_Options_Wireless_Present", "0"), Text_Of(736));
    EXPECT_EQ(m.Values().Index("MBus_Options_Wireless_Present"), 1);
    EXPECT_EQ(m.Values().Index("MBus_Options_Wire_Present"), 0);
    EXPECT_NE(m.Move_GroupBoxs().Find(TParGenBox::wMBus), nullptr);

    EXPECT_EQ(m.On_Change("MBus_Options_Wire_Present", "1"), "");
    EXPECT_EQ(m.On_Change("MBus_Options_Wireless_Present", "0"), "");
    EXPECT_EQ(m.On_Change("MBus_Options_Wire_Present", "0"), Text_Of(736));
    EXPECT_EQ(m.Values().Index("MBus_Options_Wire_Present"), 1);
    EXPECT_NE(m.Move_GroupBoxs().Find(TParGenBox::MBus), nullptr);
    EXPECT_EQ(m.Move_GroupBoxs().Find(TParGenBox::wMBus), nullptr);

    // Other models have no presence lists: no rule, no message.
    TParGenDialogModel nine(9);
    EXPECT_EQ(nine.On_Change("MBus_Options_Wire_Present", "0"), "");
}

// ---------------------------------------------------------------------------
// Controls inside the groups

TEST(ParGenControls, EveryValueAModelWritesHasAControlItShowsInsideItsGroup)
{
    QSet<QString> names;
    for (const TParGenControl& c : ParGen_Controls())
        names.insert(c.Name);
    EXPECT_EQ(names.size(), ParGen_Controls().size()) << "a control name stands twice";

    for (const TModelInfo& m : Model_Table) {
        const TParGenLayout layout = Move_GroupBoxs(m.Code, All_Expanded());
        // Every key of the model is shown in one of its groups.
        for (const QString& key : ParGen_Model_Keys(m.Code)) {
            const QString control = QString::fromLatin1(Find_ParGen_Key(key)->Control);
            TParGenControl buf;
            const TParGenControl* c = Find_Control_Place(control, m.Code, &buf);
            ASSERT_NE(c, nullptr) << m.Code << " " << control.toStdString();
            EXPECT_TRUE(Control_Shown(control, m.Code)) << m.Code << " " << control.toStdString();
            EXPECT_NE(layout.Find(c->Box), nullptr) << m.Code << " " << control.toStdString();
        }
        // Every control shown lies inside its expanded group.
        for (const TGroupPlace& g : layout.Groups)
            for (const TParGenControl& c0 : ParGen_Controls()) {
                if (c0.Box != g.Box || !Control_Shown(c0.Name, m.Code))
                    continue;
                TParGenControl buf;
                const TParGenControl* c = Find_Control_Place(c0.Name, m.Code, &buf);
                EXPECT_LE(c->Top + c->Height, g.Height) << m.Code << " " << c->Name.toStdString();
                EXPECT_LE(c->Left + c->Width, g.Width) << m.Code << " " << c->Name.toStdString();
            }
    }
}

TEST(ParGenControls, RowGeometryAndModelPlaces)
{
    const struct {
        const char* Name;
        int Model;
        int Left, Top, Width, Height;
    } cases[] = {
        {"L_J1939_Baud", 9, 16, 24, 130, 13},
        {"CB_Baud_J1939", 9, 82, 21, 192, 22},
        {"E_TO_J1939", 9, 148, 55, 126, 21},
        {"E_J1939_DevID", 9, 148, 123, 126, 21},
        {"E_IP1_Modbus_TCP_Slave", 9, 16, 43, 60, 21},
        {"E_SM3_Modbus_TCP_Slave", 9, 148, 98, 60, 21},
        {"E_GAT4_Modbus_TCP_Slave", 9, 214, 154, 60, 21},
        {"E_KNX_Delay_Packets", 12, 148, 89, 126, 21},
        {"L_KNX_Delay_Packets", 12, 16, 92, 130, 13},
        {"E_NO_Delay_CANopen", 6, 239, 124, 35, 21},
        {"E_SDO_TO_CANopen", 6, 197, 157, 77, 21},
        {"E_Profinet_Name_Station", 12, 16, 242, 258, 21},
        {"E_Profinet_Name_Station", 15, 16, 210, 258, 21},
        {"L_PROFINET_Name_Station", 15, 16, 191, 130, 13},
    };
    for (const auto& c : cases) {
        TParGenControl buf;
        const TParGenControl* p = Find_Control_Place(c.Name, c.Model, &buf);
        ASSERT_NE(p, nullptr) << c.Name;
        EXPECT_EQ((std::array<int, 4>{p->Left, p->Top, p->Width, p->Height}),
                  (std::array<int, 4>{c.Left, c.Top, c.Width, c.Height}))
            << c.Name << " model " << c.Model;
    }
    TParGenControl buf;
    EXPECT_EQ(Find_Control_Place("E_Unknown", 9, &buf), nullptr);

    // Rows a model does not show.
    EXPECT_FALSE(Control_Shown("E_ID_Tun_KNX", 9));
    EXPECT_TRUE(Control_Shown("E_ID_Tun_KNX", 1014));
    EXPECT_FALSE(Control_Shown("E_Port_Modbus_TCP_Slave", 9));
    EXPECT_TRUE(Control_Shown("E_Port_Modbus_TCP_Slave", 4));
    EXPECT_FALSE(Control_Shown("E_NB_IN_PROFINET", 15));
    EXPECT_TRUE(Control_Shown("E_NB_IN_PROFINET", 12));

    // Captions, and the one that changes with the model.
    const TParGenControl* name = Find_Control_Place("L_PROFINET_Name_Station", 12, &buf);
    EXPECT_EQ(Control_Text(*name, 12), 894);
    EXPECT_EQ(Control_Text(*name, 15), 956);
    EXPECT_EQ(Find_Control_Place("CB_En_Peer_J1939", 9, &buf)->Kind, TControlKind::Check_Box);
    EXPECT_EQ(Find_Control_Place("CB_En_Peer_J1939", 9, &buf)->Text, 370);
    for (const TGroupBoxInfo& g : Group_Boxes())
        for (const QString& first : g.First_Row)
            EXPECT_EQ(Find_Control_Place(first, 9, &buf) ? Find_Control_Place(first, 9, &buf)->Box : TParGenBox(-1), g.Box)
                << first.toStdString();
}
