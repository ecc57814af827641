#include "editors/EditorSteps.h"

#include "app/UKalmetoreFirmWare.h"
#include "editors/UCAN_Rec_Frames.h"
#include "editors/UCAN_Send_Frame.h"
#include "editors/UDMXDefVal.h"
#include "editors/UDNet.h"
#include "editors/UDefOffset.h"
#include "editors/UKNXAccess.h"
#include "editors/UModbus_TCP_Master_Set_Access.h"
#include "editors/UReceiveCAN.h"
#include "editors/UReceiveJ1939.h"
#include "editors/USetAccess.h"
#include "editors/USet_PDO_Access.h"
#include "editors/USet_SDO_Client_Access.h"
#include "editors/USet_SDO_Server_Access.h"
#include "editors/UTransmitCAN.h"
#include "editors/UTransmitJ1939.h"
#include "editors/U_Rec_Info.h"
#include "editors/U_Sen_Info.h"

namespace {

// A step that shows `form` while it exists: a program that made only some
// of the editors (a test of the other steps) leaves the others' steps
// without effect.
template <class Form>
void Show_Step(TStepAction action, Form*& form)
{
    Register_Step(action, [&form] {
        if (form)
            form->ShowModal();
    });
}

template <class Form>
void Retext(Form*& form)
{
    Register_Language_Listener([&form] {
        if (form)
            form->Set_Lang();
    });
}

} // namespace

void Register_Editor_Steps()
{
    Show_Step(TStepAction::KNXAccess, FKNXAccess);
    Show_Step(TStepAction::ReceiveJ1939, FReceiveJ1939);
    Show_Step(TStepAction::TransmitJ1939, FTransmitJ1939);
    Show_Step(TStepAction::SetAccess, FSetAccess);
    Show_Step(TStepAction::Modbus_TCP_Master_Set_Access, FModbus_TCP_Master_Set_Access);
    Show_Step(TStepAction::ReceiveCAN, FReceiveCAN);
    Show_Step(TStepAction::TransmitCAN, FTransmitCAN);
    Show_Step(TStepAction::DMXDefVal, FDMXDefVal);
    Show_Step(TStepAction::Set_SDO_Server_Access, FSet_SDO_Server_Access);
    Show_Step(TStepAction::Set_SDO_Client_Access, FSet_SDO_Client_Access);
    Show_Step(TStepAction::Set_PDO_Access, FSet_PDO_Access);
    Show_Step(TStepAction::DNet, FDNet);
    Show_Step(TStepAction::DefOffset, FDefOffset);
    Retext(FKNXAccess);
    Retext(FReceiveJ1939);
    Retext(FTransmitJ1939);
    Retext(FSetAccess);
    Retext(FModbus_TCP_Master_Set_Access);
    // The CAN frame editors take their texts when created and rebuild their
    // header hints on every showing; a language change leaves them be.
    Retext(FDMXDefVal);
    Retext(FSet_SDO_Server_Access);
    Retext(FSet_SDO_Client_Access);
    Retext(FSet_PDO_Access);
    Retext(FDNet);
    Retext(FDefOffset);
    // No step shows the older CAN dialogs; they follow the language all the same.
    Retext(FCAN_Rec_Frames);
    Retext(FCAN_Send_Frame);
    Retext(F_Rec_Info);
    Retext(F_Sen_Info);
}
