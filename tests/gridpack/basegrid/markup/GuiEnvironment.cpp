// Text drawing needs the toolkit's application object; one for the program.
#include <QGuiApplication>
#include <gtest/gtest.h>
#include <memory>

namespace {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_gridpack_basegrid_markup";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance()) App = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { App.reset(); }
    std::unique_ptr<QGuiApplication> App;
};

const auto* const kEnv = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

} // namespace
