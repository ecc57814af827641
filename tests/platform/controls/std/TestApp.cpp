// The controls need the toolkit's application object (fonts, images); the
// tests run headless.
#include <QApplication>
#include <QByteArray>

namespace {
struct ToolkitApp {
    ToolkitApp() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "std_controls_test";
        static char* argv[] = {name, nullptr};
        static QApplication app(argc, argv);
    }
} gToolkitApp;
}  // namespace
