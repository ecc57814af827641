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
#include "app/USoftOptions.h"
#include "image/UEds.h"
#include "image/USaveBincc.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"

#include <QApplication>
#include <QByteArray>

#include <cstdio>

namespace {

// Without a display the toolkit would stop with a message about plug-ins;
// the user is told plainly instead.
bool Display_Reachable()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// The steps whose work lies in the layers above the shell.
void Connect_Steps()
{
    Device_Image_Writer = [] {
        Build_Bin();
        Write_Bin();
    };
    EDS_File_Writer = [](const QString& path) { Write_EDS_File(path); };
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
    Register_Step(TStepAction::ParGen, [] { FParGen->ShowModal(); });
    // Re-texted after a language change, in this order, after the main window.
    Register_Language_Listener([] { FBootTCP->Set_Lang(); });
    Register_Language_Listener([] { FNew_Project->Set_Lang(); });
    Register_Language_Listener([] { FOpenConf->Set_Lang(); });
    Register_Language_Listener([] { FSoftOptions->Set_Lang(); });
    Register_Language_Listener([] { FParGen->Set_Lang(); });
}

} // namespace

int main(int argc, char** argv)
{
    if (!Display_Reachable()) {
        std::fprintf(stderr,
                     "Kalmetor needs a display to show its windows, and this session has none\n"
                     "(neither DISPLAY nor WAYLAND_DISPLAY is set). Start it from a desktop\n"
                     "session or over ssh -X.\n");
        return 1;
    }
    QApplication toolkit(argc, argv);
    TApplication* app = Application();
    Connect_Steps();
    Create_Dialogs(app);
    app->Title = Program_Title;
    app->Run();
    return 0;
}
