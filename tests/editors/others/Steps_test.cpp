// The main window's steps of each model open that model's editor, and a
// language change re-texts every editor but the two CAN frame editors.
#include "OthersKit.h"

#include "app/UKalmetoreFirmWare.h"
#include "editors/EditorSteps.h"
#include "editors/UCAN_Rec_Frames.h"
#include "editors/UCAN_Send_Frame.h"
#include "editors/UDMXDefVal.h"
#include "editors/UDNet.h"
#include "editors/UDefOffset.h"
#include "editors/UModbus_TCP_Master_Set_Access.h"
#include "editors/UReceiveCAN.h"
#include "editors/USetAccess.h"
#include "editors/USet_PDO_Access.h"
#include "editors/USet_SDO_Client_Access.h"
#include "editors/USet_SDO_Server_Access.h"
#include "editors/UTransmitCAN.h"
#include "editors/U_Rec_Info.h"
#include "editors/U_Sen_Info.h"
#include "platform/controls/TabControls.h"
#include "platform/sys/LinkOpener.h"

namespace {

// The main window of a chosen model in a program folder of its own, with
// every editor of this folder made.
class OthersSteps : public OthersTest {
protected:
    void SetUp() override
    {
        OthersTest::SetUp();
        Saved_Dir_Project = Dir_Project;
        Language = QStringLiteral("English");
        Enable_Internet = 0;
        Enable_Update = 0;
        Set_Program_Folders(Program.path());
        Force_Program_Folders();
        Sys::SetLinks(std::make_unique<Sys::FakeLinkOpener>());
        Set_Program_Start_Folder(Program.path());
        Make<TFSetAccess>();
        Make<TFModbus_TCP_Master_Set_Access>();
        Make<TFReceiveCAN>();
        Make<TFTransmitCAN>();
        Make<TFSet_SDO_Server_Access>();
        Make<TFSet_SDO_Client_Access>();
        Make<TFSet_PDO_Access>();
        Make<TFDNet>();
        Make<TFDefOffset>();
        Make<TFDMXDefVal>();
        Make<TFCAN_Rec_Frames>();
        Make<TF_Sen_Info>();
        Register_Editor_Steps();
    }
    void TearDown() override
    {
        Clear_Language_Listeners();
        Clear_Steps();
        delete Main;
        FKalmetoreFirmWare = nullptr;
        Set_Program_Start_Folder(QString());
        Sys::SetLinks(nullptr);
        Dir_Project = Saved_Dir_Project;
        OthersTest::TearDown();
    }
    // The main window of `model` with the project "T1" open.
    void Open(int model)
    {
        delete Main;
        Model_Code = model;
        Name_Project.clear();
        Dir_Project.clear();
        Set_Files();
        Main = new TFKalmetoreFirmWare(nullptr);
        Main->AfterConstruction();
        ASSERT_TRUE(ForceDirectories(PathJoin(Dir_Projects, QStringLiteral("T1"))));
        ASSERT_TRUE(Open_Project_Named(QStringLiteral("T1")));
    }
    QTemporaryDir Program;
    TFKalmetoreFirmWare* Main = nullptr;
    QString Saved_Dir_Project;
};

} // namespace

TEST_F(OthersSteps, EachModelsButtonsOpenItsEditors)
{
    const struct {
        int model;
        TMainButton button;
        TCustomForm* form;
    } cases[] = {
        {1, TMainButton::ModM_SetAccess, FSetAccess},
        {1001, TMainButton::ModM_SetAccess, FSetAccess},
        {3, TMainButton::ModM_SetAccess, FModbus_TCP_Master_Set_Access},
        {1003, TMainButton::ModM_SetAccess, FModbus_TCP_Master_Set_Access},
        {5, TMainButton::CAN_Rec_Frame, FReceiveCAN},
        {5, TMainButton::CAN_Send_Frame, FTransmitCAN},
        {6, TMainButton::SDO_Server_CANopen, FSet_SDO_Server_Access},
        {6, TMainButton::SDO_Client_CANopen, FSet_SDO_Client_Access},
        {6, TMainButton::PDO_CANopen, FSet_PDO_Access},
        {7, TMainButton::DNet_Net, FDNet},
        {7, TMainButton::DNet_Offset, FDefOffset},
        {11, TMainButton::DMX_Default, FDMXDefVal},
        {1011, TMainButton::DMX_Default, FDMXDefVal},
    };
    for (const auto& c : cases) {
        Open(c.model);
        TCustomForm* shown = nullptr;
        Script.AnswerModal([&shown](TCustomForm* f) {
            shown = f;
            f->SetModalResult(mrCancel);
        });
        Main->Button(c.button)->Click();
        EXPECT_EQ(shown, c.form) << c.model;
    }
    // The CAN info buttons open nothing.
    Open(5);
    Script.Shown.clear();
    Main->Button(TMainButton::CAN_Rec_Info)->Click();
    Main->Button(TMainButton::CAN_Send_Info)->Click();
    EXPECT_TRUE(Script.Shown.isEmpty());
}

TEST_F(OthersSteps, ALanguageChangeRetextsAllButTheCanFrameEditors)
{
    Open(9);
    Texts[230] = QStringLiteral("Modbus-Zugriff");
    Texts[625] = QStringLiteral("DeviceNet-Netz");
    Texts[479] = QStringLiteral("SDO lesen");
    Texts[386] = QStringLiteral("Kennung");
    Texts[448] = QStringLiteral("Sendeinfo");
    Texts[1000] = QStringLiteral("Empfang");
    Main->Change_Language();
    EXPECT_EQ(FSetAccess->Caption(), "Modbus-Zugriff");
    EXPECT_EQ(FDNet->Caption(), "DeviceNet-Netz");
    EXPECT_EQ(FSet_SDO_Server_Access->Sheet[0]->Caption(), "SDO lesen");
    EXPECT_EQ(FCAN_Rec_Frames->Cell(RL_Cob_Id, 0), "Kennung");
    EXPECT_EQ(F_Sen_Info->Caption(), "Sendeinfo");
    EXPECT_EQ(FReceiveCAN->Caption(), "Receive CAN Frames Set Access");
}

// Every dialog of this folder and of the Modbus masters at its fixed client
// size, whatever the model.
TEST_F(OthersTest, EveryEditorKeepsItsClientSize)
{
    const struct {
        TCustomForm* form;
        int width, height;
    } cases[] = {
        {Make<TFSetAccess>(), 956, 337},
        {Make<TFModbus_TCP_Master_Set_Access>(), 1007, 337},
        {Make<TFDMXDefVal>(), 475, 337},
        {Make<TFReceiveCAN>(), 1010, 337},
        {Make<TFTransmitCAN>(), 1100, 337},
        {Make<TFCAN_Rec_Frames>(), 759, 337},
        {Make<TFCAN_Send_Frame>(), 759, 337},
        {Make<TF_Rec_Info>(), 654, 508},
        {Make<TF_Sen_Info>(), 654, 508},
        {Make<TFSet_SDO_Server_Access>(), 749, 337},
        {Make<TFSet_SDO_Client_Access>(), 798, 337},
        {Make<TFSet_PDO_Access>(), 798, 337},
        {Make<TFDNet>(), 609, 337},
        {Make<TFDefOffset>(), 482, 610},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.form->ClientWidth(), c.width) << c.form->Name().toStdString();
        EXPECT_EQ(c.form->ClientHeight(), c.height) << c.form->Name().toStdString();
        // A showing keeps the size.
        ASSERT_TRUE(bool(c.form->OnShow)) << c.form->Name().toStdString();
        c.form->OnShow(c.form);
        EXPECT_EQ(c.form->ClientWidth(), c.width) << c.form->Name().toStdString();
        EXPECT_EQ(c.form->ClientHeight(), c.height) << c.form->Name().toStdString();
    }
}
