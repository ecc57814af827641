#include "TestKit.h"

TEST_F(ControlsTest, RegisteredMessagesAreStablePerNameFrom0xC000) {
    const unsigned a = RegisterWindowMessage("GridEditDone");
    const unsigned b = RegisterWindowMessage("GridEditDone");
    const unsigned c = RegisterWindowMessage("TreeWorkerDone");
    EXPECT_GE(a, 0xC000u);
    EXPECT_LE(a, 0xFFFFu);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_GE(c, 0xC000u);
}

TEST_F(ControlsTest, PostedMessagesWaitForTheQueueAndSkipFreedControls) {
    NewForm();
    auto* a = new TProbe(Form, Form, "A", &Log);
    auto* b = new TProbe(Form, Form, "B", &Log);
    const unsigned msg = RegisterWindowMessage("ProbeTimerLike");
    ASSERT_TRUE(PostMessage(a->Handle(), WM_TIMER, 7));
    ASSERT_TRUE(PostMessage(b->Handle(), WM_TIMER, 8));
    ASSERT_TRUE(PostMessage(a->Handle(), msg, 1));
    EXPECT_TRUE(Log.isEmpty());
    EXPECT_EQ(PostedMessageCount(), 3);

    const HWND bh = b->Handle();
    delete b;
    EXPECT_EQ(DrainPostedMessages(), 2);
    EXPECT_EQ(Log, QStringList({"A:TIMER(7)"}));
    EXPECT_EQ(PostedMessageCount(), 0);
    // A window that is gone takes no more posts.
    EXPECT_FALSE(PostMessage(bh, WM_TIMER, 1));
}

TEST_F(ControlsTest, AMessageThatPostsItselfAgainWaitsForTheNextRound) {
    NewForm();
    auto* a = new TProbe(Form, Form, "A", &Log);
    const unsigned again = RegisterWindowMessage("PostAgain");
    int seen = 0;
    a->WindowProc = [&, original = a->WindowProc](TMessage& m) {
        if (m.Msg == again) {
            ++seen;
            PostMessage(a->Handle(), again);
            return;
        }
        original(m);
    };
    PostMessage(a->Handle(), again);
    EXPECT_EQ(DrainPostedMessages(), 1);
    EXPECT_EQ(seen, 1);
    Application()->ProcessMessages();
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(PostedMessageCount(), 1);
    delete a;  // the pending post is dropped with its window
    EXPECT_EQ(DrainPostedMessages(), 0);
}

TEST_F(ControlsTest, ReplacedWindowProcSeesTheMessageFirstAndCanSwallowIt) {
    NewForm();
    auto* a = new TProbe(Form, Form, "A", &Log);
    TWndMethod original = a->WindowProc;
    a->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_KEYDOWN) Log << "dialog:KEYDOWN";
        if (m.Msg == WM_KEYDOWN && m.WParam == VK_F4) return;  // kept from the control
        original(m);
    };
    a->Perform(WM_KEYDOWN, 'Q', KeyDataFor('Q', false, false, false));
    a->Perform(WM_KEYDOWN, VK_F4, KeyDataFor(VK_F4, false, false, false));
    EXPECT_EQ(Log, QStringList({"dialog:KEYDOWN", "A:KEYDOWN", "A:KeyDown(81)", "dialog:KEYDOWN"}));
}

TEST_F(ControlsTest, KeyDataCarriesExtendedAltAndReleaseBits) {
    struct Case { unsigned vk; bool ext, alt, up; LPARAM expect; };
    const Case cases[] = {
        // Bits 16-23 hold the key's scan code.
        {'A', false, false, false, 1 | (LPARAM(0x1E) << 16)},
        {VK_LEFT, true, false, false, 1 | (LPARAM(0x4B) << 16) | (LPARAM(1) << 24)},
        {'X', false, true, false, 1 | (LPARAM(0x2D) << 16) | (LPARAM(1) << 29)},
        {'X', false, false, true, 1 | (LPARAM(0x2D) << 16) | (LPARAM(1) << 30) | (LPARAM(1) << 31)},
        // The keypad's decimal key and the main block's full stop differ in bit 22.
        {VK_DECIMAL, false, false, false, 1 | (LPARAM(0x53) << 16)},
        {0xBE, false, false, false, 1 | (LPARAM(0x34) << 16)},
    };
    for (const Case& c : cases) EXPECT_EQ(KeyDataFor(c.vk, c.ext, c.alt, c.up), c.expect) << c.vk;
    EXPECT_TRUE(Input::IsExtendedKey(VK_DELETE));
    EXPECT_FALSE(Input::IsExtendedKey(VK_RETURN));
}

TEST_F(ControlsTest, KeyboardStateAnswersAndGenericShiftKeysFollowTheirHalves) {
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
    SetKeyDown(VK_RSHIFT, true);
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_LT(GetAsyncKeyState(VK_RSHIFT), 0);
    SetKeyDown(VK_LSHIFT, true);
    SetKeyDown(VK_RSHIFT, false);
    EXPECT_LT(GetKeyState(VK_SHIFT), 0) << "the left key is still held";
    SetKeyDown(VK_LSHIFT, false);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
    SetKeyToggled(VK_CAPITAL, true);
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
    EXPECT_EQ(GetKeyState(300), 0) << "out of range reads as up";
}

TEST_F(ControlsTest, PlatformAnswersAreSettableByTests) {
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 17);
    EXPECT_EQ(GetSystemMetrics(SM_CXEDGE), 2);
    EXPECT_EQ(WheelScrollLines(), 3);
    SetSystemMetric(SM_CXVSCROLL, 20);
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 20);
    SetSystemMetric(SM_CXVSCROLL, 17);
    SetCursorPos(Point(12, 34));
    EXPECT_EQ(GetCursorPos(), Point(12, 34));
    SetTickCountForTest(5000);
    EXPECT_EQ(TickCount(), 5000u);
    EXPECT_EQ(Screen()->PixelsPerInch(), 96);
}

TEST_F(ControlsTest, AcceleratorsAndHintTexts) {
    struct Case { QChar ch; QString caption; bool accel; };
    const Case cases[] = {
        {'o', "&OK", true},  {'O', "&OK", true},   {'k', "&OK", false},
        {'s', "Save &as", false}, {'a', "Save &as", true},
        {'b', "R&&b", false},  // a doubled "&" is a literal
        {'x', "x&", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsAccel(c.ch, c.caption), c.accel) << c.caption.toStdString() << c.ch.toLatin1();
    EXPECT_EQ(StripHotkey("&Open && close"), "Open & close");
    EXPECT_EQ(GetShortHint("Short|Long text"), "Short");
    EXPECT_EQ(GetLongHint("Short|Long text"), "Long text");
    EXPECT_EQ(GetShortHint("Only"), "Only");
}

TEST_F(ControlsTest, MessageNumbersAreThePlatforms) {
    struct Case { unsigned value, expect; };
    const Case cases[] = {
        {WM_KEYDOWN, 0x0100},        {WM_CHAR, 0x0102},          {WM_SYSKEYDOWN, 0x0104},
        {WM_GETDLGCODE, 0x0087},     {WM_TIMER, 0x0113},         {WM_MOUSEWHEEL, 0x020A},
        {CM_DIALOGKEY, 0xB005},      {CM_DIALOGCHAR, 0xB006},    {CM_MOUSEENTER, 0xB013},
        {CM_MOUSELEAVE, 0xB014},     {CM_ENTER, 0xB01A},         {CM_EXIT, 0xB01B},
        {CM_WANTSPECIALKEY, 0xB01E}, {CM_HINTSHOW, 0xB030},      {CN_COMMAND, 0xBD11},
        {DLGC_WANTARROWS, 0x01},     {DLGC_WANTTAB, 0x02},       {DLGC_WANTALLKEYS, 0x04},
        {DLGC_WANTCHARS, 0x80},      {WS_EX_TRANSPARENT, 0x20},  {ES_MULTILINE, 0x04},
        {ES_PASSWORD, 0x20},         {ES_AUTOHSCROLL, 0x80},     {ES_WANTRETURN, 0x1000},
    };
    for (const Case& c : cases) EXPECT_EQ(c.value, c.expect) << std::hex << c.expect;
}
