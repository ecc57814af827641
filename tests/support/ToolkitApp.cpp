#include "support/ToolkitApp.h"
#include <QApplication>
#include <QByteArray>

namespace KalTest {

void EnsureToolkitApp()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kal_test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

} // namespace KalTest
