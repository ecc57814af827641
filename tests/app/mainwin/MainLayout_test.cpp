// The main window's per-model layout and its step dispatch.
#include "app/UComon.h"
#include "app/UKalmetoreFirmWare.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

using B = TMainButton;

struct StepCase {
    int Code;
    int Steps;
    // Model buttons from step 3 on with (left, top).
    std::vector<TPlacedButton> Model_Buttons;
    int Update_Top;
};

const StepCase Step_Cases[] = {
    {9, 6, {{B::KNX_Access, 80, 200}, {B::J1939_Rec_Frame, 80, 244}, {B::J1939_Send_Frame, 80, 288},
            {B::CreateBin, 80, 332}}, 332},
    {1, 5, {{B::KNX_Access, 80, 200}, {B::ModM_SetAccess, 80, 244}, {B::CreateBin, 80, 288}}, 288},
    {1003, 5, {{B::KNX_Access, 80, 200}, {B::ModM_SetAccess, 80, 244}, {B::CreateBin, 80, 288}}, 288},
    {13, 4, {{B::KNX_Access, 80, 200}, {B::CreateBin, 80, 244}}, 244},
    {5, 6, {{B::KNX_Access, 80, 200}, {B::CAN_Rec_Frame, 80, 244}, {B::CAN_Send_Frame, 80, 288},
            {B::CreateBin, 80, 332}}, 332},
    {6, 8, {{B::KNX_Access, 80, 200}, {B::SDO_Server_CANopen, 80, 244}, {B::SDO_Client_CANopen, 80, 288},
            {B::PDO_CANopen, 80, 332}, {B::CANopen_EDS, 80, 376}, {B::CreateBin, 80, 420}}, 420},
    {7, 5, {{B::KNX_Access, 80, 200}, {B::DNet_Net, 80, 244}, {B::DNet_Offset, 258, 244},
            {B::CreateBin, 80, 288}}, 288},
    {10, 5, {{B::KNX_Access, 80, 200}, {B::MBus, 80, 244}, {B::CreateBin, 80, 288}, {B::ScanDecode, 516, 70}}, 288},
    {1011, 5, {{B::KNX_Access, 80, 200}, {B::DMX_Default, 80, 244}, {B::CreateBin, 80, 288}}, 288},
    {12, 5, {{B::KNX_Access, 80, 200}, {B::PROFINET_XML, 80, 244}, {B::CreateBin, 80, 288}}, 288},
    {14, 3, {{B::CreateBin, 80, 200}}, 200},
};

} // namespace

TEST(MainLayout, EachModelShowsItsStepsAtTheirPlaces)
{
    for (const StepCase& c : Step_Cases) {
        SCOPED_TRACE(c.Code);
        const TMainLayout l = Main_Layout(c.Code);
        EXPECT_EQ(l.Steps, c.Steps);
        // The fixed buttons and step 1 and 2 stand for every model.
        const std::map<B, std::pair<int, int>> fixed = {
            {B::Info, {516, 8}}, {B::Opz, {574, 8}}, {B::Close, {632, 8}},
            {B::New, {80, 112}}, {B::Open, {258, 112}}, {B::Prm_Gen, {80, 156}}};
        for (const auto& [id, at] : fixed) {
            const TPlacedButton* p = l.Find(id);
            ASSERT_NE(p, nullptr) << Main_Button(id).Name;
            EXPECT_EQ(p->Left, at.first);
            EXPECT_EQ(p->Top, at.second);
        }
        for (const TPlacedButton& want : c.Model_Buttons) {
            const TPlacedButton* p = l.Find(want.Id);
            ASSERT_NE(p, nullptr) << Main_Button(want.Id).Name;
            EXPECT_EQ(p->Left, want.Left) << Main_Button(want.Id).Name;
            EXPECT_EQ(p->Top, want.Top) << Main_Button(want.Id).Name;
        }
        // Nothing else is shown.
        EXPECT_EQ(l.Buttons.size(), qsizetype(fixed.size() + c.Model_Buttons.size()));
        EXPECT_EQ(l.Rule_Top, c.Update_Top + 51);
        EXPECT_EQ(l.Rule_Left, 10);
        EXPECT_EQ(l.Rule_Width, 674);
        EXPECT_EQ(l.Rule_Height, 1);
        EXPECT_EQ(l.Client_Width, 694);
        EXPECT_EQ(l.Client_Height, c.Update_Top + 152);
        EXPECT_EQ(l.Tavlon_Top, Step_Label_Top(c.Steps));
    }
}

TEST(MainLayout, ModelNineIsSixStepsInA694By484Window)
{
    const TMainLayout l = Main_Layout(9);
    EXPECT_EQ(l.Rule_Top, 383);
    EXPECT_EQ(l.Client_Height, 484);
    EXPECT_TRUE(l.Tavlon_Visible);
    EXPECT_EQ(l.Tavlon_Left, 565);
    EXPECT_EQ(l.Tavlon_Top, 348);
    EXPECT_FALSE(l.Brimel_Visible);
    EXPECT_EQ(l.Find(B::ScanDecode), nullptr);
    EXPECT_EQ(l.Find(B::CAN_Rec_Info), nullptr);
}

TEST(MainLayout, PartnerEditionsShowTheLogoInsteadOfTheAddress)
{
    for (int code : {1001, 1003, 1010, 1011, 1012, 1014}) {
        SCOPED_TRACE(code);
        const TMainLayout l = Main_Layout(code);
        EXPECT_FALSE(l.Tavlon_Visible);
        EXPECT_TRUE(l.Brimel_Visible);
        EXPECT_EQ(l.Brimel_Left, 444);
        EXPECT_EQ(l.Brimel_Top, Step_Label_Top(l.Steps) - 38);
    }
    EXPECT_NE(Main_Layout(1010).Find(B::ScanDecode), nullptr);
}

TEST(MainLayout, ButtonTableMatchesTheEnumeration)
{
    for (int i = 0; i < Main_Button_Count; ++i)
        EXPECT_EQ(int(Main_Buttons[i].Id), i) << Main_Buttons[i].Name;
    EXPECT_EQ(Main_Button(B::ScanDecode).Width, 166);
    EXPECT_EQ(Main_Button(B::Info).Width, 50);
    EXPECT_EQ(Main_Button(B::CreateBin).Text, 17);
}

TEST(StepDispatch, ProjectStepsNeedAnOpenProject)
{
    // Every button that any model shows from step 2 on.
    for (const TMainButtonInfo& info : Main_Buttons) {
        const B b = info.Id;
        const bool free = b == B::New || b == B::Open || b == B::Info || b == B::Opz || b == B::Close;
        for (int code : {1, 3, 6, 9, 10, 14, 1003}) {
            const TStepAction a = Step_Action(b, code, false);
            if (free)
                EXPECT_NE(a, TStepAction::Project_Not_Valid) << info.Name;
            else
                EXPECT_EQ(a, TStepAction::Project_Not_Valid) << info.Name << " model " << code;
        }
    }
}

TEST(StepDispatch, OpenProjectRunsTheStepOfTheButton)
{
    using A = TStepAction;
    struct Case {
        B Button;
        int Code;
        A Action;
    } cases[] = {
        {B::New, 9, A::Create_New_Project},   {B::Open, 9, A::Open_Project},
        {B::Close, 9, A::Close},              {B::Info, 9, A::About},
        {B::Opz, 9, A::Options},              {B::Prm_Gen, 9, A::ParGen},
        {B::KNX_Access, 9, A::KNXAccess},     {B::J1939_Rec_Frame, 9, A::ReceiveJ1939},
        {B::J1939_Send_Frame, 9, A::TransmitJ1939}, {B::CreateBin, 9, A::Update_Device},
        {B::ModM_SetAccess, 1, A::SetAccess}, {B::ModM_SetAccess, 1001, A::SetAccess},
        {B::ModM_SetAccess, 3, A::Modbus_TCP_Master_Set_Access},
        {B::ModM_SetAccess, 1003, A::Modbus_TCP_Master_Set_Access},
        {B::ModM_SetAccess, 9, A::Nothing},   {B::CAN_Rec_Info, 5, A::Nothing},
        {B::CAN_Send_Info, 5, A::Nothing},    {B::CANopen_EDS, 6, A::Build_EDS_File},
        {B::ScanDecode, 10, A::Scan_Decode},  {B::PROFINET_XML, 12, A::PROFINET_XML},
        {B::MBus, 10, A::Meter_Bus},          {B::DNet_Offset, 7, A::DefOffset},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Step_Action(c.Button, c.Code, true), c.Action)
            << Main_Button(c.Button).Name << " model " << c.Code;
}
