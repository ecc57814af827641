// The toolkit's application object for this test program (fonts, images,
// the clipboard); it runs headless.
#include <QApplication>

namespace {
struct ToolkitApp {
    ToolkitApp() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "std2_test";
        static char* argv[] = {name, nullptr};
        static QApplication app(argc, argv);
    }
} gToolkitApp;
}  // namespace
