#include "app/UProgram.h"

#include "platform/controls/Forms.h"
#include "platform/core/Exceptions.h"

#include <exception>

int Run_Program(TApplication* app, const std::function<void()>& startUp)
{
    try {
        startUp();
    } catch (const Exception& e) {
        app->ShowException(e);
        return 1;
    } catch (const std::exception& e) {
        app->ShowException(Exception(QString::fromUtf8(e.what())));
        return 1;
    } catch (...) {
        app->ShowException(Exception(QStringLiteral("Unknown exception")));
        return 1;
    }
    app->Run();
    return 0;
}
