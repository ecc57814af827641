#include "editors/EditorSteps.h"

#include "app/UKalmetoreFirmWare.h"
#include "editors/UKNXAccess.h"
#include "editors/UReceiveJ1939.h"
#include "editors/UTransmitJ1939.h"

void Register_Editor_Steps()
{
    // A program that made no KNX editor (a test of the other steps) leaves
    // its step without effect.
    Register_Step(TStepAction::KNXAccess, [] {
        if (FKNXAccess)
            FKNXAccess->ShowModal();
    });
    Register_Step(TStepAction::ReceiveJ1939, [] { FReceiveJ1939->ShowModal(); });
    Register_Step(TStepAction::TransmitJ1939, [] { FTransmitJ1939->ShowModal(); });
    Register_Language_Listener([] {
        if (FKNXAccess)
            FKNXAccess->Set_Lang();
    });
    Register_Language_Listener([] { FReceiveJ1939->Set_Lang(); });
    Register_Language_Listener([] { FTransmitJ1939->Set_Lang(); });
}
