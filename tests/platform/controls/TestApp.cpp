// Every test program of the controls needs the toolkit's application object
// (fonts, images); it runs headless.
#include <QApplication>
#include <QByteArray>

namespace {
struct ToolkitApp {
    ToolkitApp() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "controls_test";
        static char* argv[] = {name, nullptr};
        // Kept to the end of the process: destroying it among the static
        // destructors would tear down toolkit windows after the toolkit's own
        // thread storage is gone.
        new QApplication(argc, argv);
    }
} gToolkitApp;
}  // namespace
