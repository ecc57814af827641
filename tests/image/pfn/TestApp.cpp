// The dialog of these tests needs the toolkit's application object; the tests
// run headless.
#include <QApplication>

namespace {
struct ToolkitApp {
    ToolkitApp()
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "pfn_test";
        static char* argv[] = {name, nullptr};
        static QApplication app(argc, argv);
    }
} gToolkitApp;
} // namespace
