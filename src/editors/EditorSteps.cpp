#include "editors/EditorSteps.h"

#include "app/UKalmetoreFirmWare.h"
#include "editors/UReceiveJ1939.h"
#include "editors/UTransmitJ1939.h"

void Register_Editor_Steps()
{
    Register_Step(TStepAction::ReceiveJ1939, [] { FReceiveJ1939->ShowModal(); });
    Register_Step(TStepAction::TransmitJ1939, [] { FTransmitJ1939->ShowModal(); });
    Register_Language_Listener([] { FReceiveJ1939->Set_Lang(); });
    Register_Language_Listener([] { FTransmitJ1939->Set_Lang(); });
}
