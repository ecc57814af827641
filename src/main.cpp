// The program's main block: every dialog is created once, the main window
// first (its creation prepares the shared state the others read), then the
// message loop runs until the main window closes.
#include "app/UAbout.h"
#include "app/UBootTCP.h"
#include "app/UComon.h"
#include "app/UKalmetoreFirmWare.h"
#include "app/UNew_Project.h"
#include "app/UOpenConf.h"
#include "app/UParGen.h"
#include "app/UProgram.h"
#include "app/USoftOptions.h"
#include "image/UEds.h"
#include "image/USaveBincc.h"
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"

#include "editors/EditorSteps.h"
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
#include "editors/U_Rec_Info.h"
#include "editors/U_Sen_Info.h"
#include "editors/UTransmitJ1939.h"
#include "image/dialogs/UProfinetFileName.h"
#include "mbus/UMeter_Bus.h"
#include "mbus/UInsertKeyWireless.h"
#include "mbus/UModbusStartAdd_SD.h"
#include "mbus/UNewIDNode.h"
#include "mbus/UScanDecode.h"
#include "mbus/UScanModbusStart.h"

#include <cstdio>

namespace {

// The steps whose work lies in the layers above the shell.
void Connect_Steps()
{
    Device_Image_Writer = Write_Device_Image;
}

// The Scan & Decode window on the open project's network file.
void Scan_Decode_Step()
{
    FScanDecode->XML_Code_Dev = MBus_XML_Code_Dev();
    FScanDecode->FileName_MBus = File_M_Bus;
    FScanDecode->Form_Type = Is_MBus_Model();
    FScanDecode->ShowModal();
}

void Create_Dialogs(TApplication* app)
{
    app->CreateForm(FKalmetoreFirmWare);
    app->CreateForm(FBootTCP);
    app->CreateForm(FNew_Project);
    app->CreateForm(FOpenConf);
    app->CreateForm(FAbout);
    app->CreateForm(FSoftOptions);
    app->CreateForm(FParGen);
    app->CreateForm(FProfinetFileName);
    app->CreateForm(FKNXAccess);
    app->CreateForm(FReceiveJ1939);
    app->CreateForm(FTransmitJ1939);
    app->CreateForm(FSetAccess);
    app->CreateForm(FModbus_TCP_Master_Set_Access);
    app->CreateForm(FReceiveCAN);
    app->CreateForm(FTransmitCAN);
    app->CreateForm(FDMXDefVal);
    app->CreateForm(FSet_SDO_Server_Access);
    app->CreateForm(FSet_SDO_Client_Access);
    app->CreateForm(FSet_PDO_Access);
    app->CreateForm(FDNet);
    app->CreateForm(FDefOffset);
    app->CreateForm(FCAN_Rec_Frames);
    app->CreateForm(FCAN_Send_Frame);
    app->CreateForm(F_Rec_Info);
    app->CreateForm(F_Sen_Info);
    // The M-Bus dialogs exist in every model; their texts are applied once.
    app->CreateForm(FMeter_Bus);
    app->CreateForm(FNewIDNode);
    app->CreateForm(FScanDecode);
    app->CreateForm(FInsertKeyWireless);
    app->CreateForm(FScanModbusStart);
    app->CreateForm(FModbusStartAdd_SD);
    Connect_Device_Description_Dialogs();
    Register_Step(TStepAction::ParGen, [] { FParGen->ShowModal(); });
    Register_Step(TStepAction::PROFINET_XML, PROFINET_XML_Step);
    Register_Step(TStepAction::Build_EDS_File, Build_EDS_File_Step);
    Register_Step(TStepAction::Meter_Bus, [] { FMeter_Bus->ShowModal(); });
    Register_Step(TStepAction::Scan_Decode, Scan_Decode_Step);
    // Re-texted after a language change, in this order, after the main window.
    Register_Language_Listener([] { FBootTCP->Set_Lang(); });
    Register_Language_Listener([] { FNew_Project->Set_Lang(); });
    Register_Language_Listener([] { FOpenConf->Set_Lang(); });
    Register_Language_Listener([] { FSoftOptions->Set_Lang(); });
    Register_Language_Listener([] { FParGen->Set_Lang(); });
    Register_Editor_Steps();
}

} // namespace

int main(int argc, char** argv)
{
    QString why;
    if (!DisplayAvailable(&why)) {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        return 1;
    }
    InitializeToolkit(argc, argv);
    TApplication* app = Application();
    // A failing start-up is shown in the error box and ends with status 1.
    return Run_Program(app, [app] {
        // The grid unit's hook and shared names, before any form makes a grid.
        GridUnitStartup();
        Connect_Steps();
        Create_Dialogs(app);
        app->Title = Program_Title;
    });
}
