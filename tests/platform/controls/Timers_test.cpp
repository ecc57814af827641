#include "TestKit.h"

TEST_F(ControlsTest, TimerComponentFiresOncePerIntervalOfTheClock) {
    TTimer timer(nullptr);
    int fired = 0;
    timer.SetInterval(30);
    timer.OnTimer = [&](TObject*) { ++fired; };
    AdvanceTime(29);
    EXPECT_EQ(fired, 0);
    AdvanceTime(1);
    EXPECT_EQ(fired, 1);
    AdvanceTime(90);
    EXPECT_EQ(fired, 4);
    timer.SetEnabled(false);
    AdvanceTime(300);
    EXPECT_EQ(fired, 4);
    // Enabling starts a whole interval anew.
    timer.SetEnabled(true);
    AdvanceTime(29);
    EXPECT_EQ(fired, 4);
    AdvanceTime(1);
    EXPECT_EQ(fired, 5);
}

TEST_F(ControlsTest, TimersRunOnTheEventLoopOnceTheirTimeHasCome) {
    TTimer timer(nullptr);
    int fired = 0;
    timer.SetInterval(100);
    timer.OnTimer = [&](TObject*) { ++fired; };
    Application()->ProcessMessages();
    EXPECT_EQ(fired, 0);
    SetTickCountForTest(TickCount() + 100);
    Application()->ProcessMessages();
    EXPECT_EQ(fired, 1);
    Application()->ProcessMessages();
    EXPECT_EQ(fired, 1) << "not again before the next interval";
}

TEST_F(ControlsTest, WindowTimersArriveAsTimerMessagesById) {
    NewForm();
    auto* a = new TProbe(Form, Form, "A", &Log);
    SetTimer(a, 7, 50);
    SetTimer(a, 9, 120);
    AdvanceTime(120);
    EXPECT_EQ(Log, QStringList({"A:TIMER(7)", "A:TIMER(7)", "A:TIMER(9)"}));
    EXPECT_TRUE(KillTimer(a, 7));
    EXPECT_FALSE(KillTimer(a, 7));
    Log.clear();
    AdvanceTime(120);
    EXPECT_EQ(Log, QStringList({"A:TIMER(9)"}));
    Log.clear();
    EXPECT_TRUE(FireTimer(a, 9));
    EXPECT_FALSE(FireTimer(a, 7));
    EXPECT_EQ(Log, QStringList({"A:TIMER(9)"}));
    // A control that goes takes its timers with it.
    delete a;
    AdvanceTime(500);
    EXPECT_EQ(Log.size(), 1);
}

TEST_F(ControlsTest, ATimerHandlerThatFailsShowsTheErrorAndKeepsTicking) {
    TTimer timer(nullptr);
    int fired = 0;
    timer.SetInterval(10);
    timer.OnTimer = [&](TObject*) {
        if (++fired == 1) throw EConvertError("'x' is not a valid integer value");
    };
    AdvanceTime(20);
    EXPECT_EQ(fired, 2);
    ASSERT_EQ(Script.Count(TDialogKind::MessageBox), 1);
    EXPECT_EQ(Script.Last().Text, "'x' is not a valid integer value.");
    EXPECT_EQ(Script.Last().Type, mtError);
}
