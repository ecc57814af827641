// The program's start: an exception that escapes start-up reaches the user
// in the error box and the program ends with exit status 1.
#include "app/UProgram.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"
#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// A form whose creation fails, as one reading a broken settings file would.
class TFailingForm : public TForm {
public:
    explicit TFailingForm(TComponent* owner) : TForm(owner)
    {
        throw EFOpenError(QStringLiteral("Cannot open file \"Kalmetor.xml\""));
    }
};

TEST(ProgramStart, AnExceptionAtStartUpIsShownAndEndsWithStatusOne)
{
    TDialogScript script;
    InstallDialogScript(&script);
    TApplication* app = Application();
    const QString savedTitle = app->Title;
    app->Title = QStringLiteral("Kalmetor");
    const struct {
        const char* what;
        std::function<void()> startUp;
        QString shown;
    } cases[] = {
        {"a form's creation",
         [app] {
             TFailingForm* f = nullptr;
             app->CreateForm(f);
         },
         QStringLiteral("Cannot open file \"Kalmetor.xml\"")},
        {"a standard exception", [] { throw std::runtime_error("bad language file"); },
         QStringLiteral("bad language file.")},
    };
    for (const auto& c : cases) {
        script.Shown.clear();
        EXPECT_EQ(Run_Program(app, c.startUp), 1) << c.what;
        ASSERT_EQ(script.Shown.size(), 1) << c.what;
        EXPECT_EQ(script.Last().Text, c.shown) << c.what;
        EXPECT_EQ(script.Last().Type, mtError) << c.what;
        EXPECT_EQ(script.Last().Caption, QStringLiteral("Kalmetor")) << c.what;
    }
    app->Title = savedTitle;
    InstallDialogScript(nullptr);
}

} // namespace
