// The windows of these tests need the toolkit's application object; they
// run headless.
#include <QApplication>

namespace {
struct ToolkitApp {
    ToolkitApp()
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "mainwin_test";
        static char* argv[] = {name, nullptr};
        static QApplication app(argc, argv);
    }
} gToolkitApp;
} // namespace
