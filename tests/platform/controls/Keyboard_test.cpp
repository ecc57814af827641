#include "TestKit.h"
#include <QKeyEvent>

// A form with an edit-like probe A (wants characters and arrows), a plain
// probe B and a plain probe C, all tab stops, shown and A focused.
class KeyboardTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        NewForm();
        A = new TProbe(Form, Form, "A", &Log, DLGC_WANTCHARS | DLGC_WANTARROWS);
        B = new TProbe(Form, Form, "B", &Log);
        C = new TProbe(Form, Form, "C", &Log);
        Form->Show();
        A->SetFocus();
        Log.clear();
    }
    TProbe *A, *B, *C;
};

TEST_F(KeyboardTest, OneKeyStrokeInOrder) {
    Input::KeyStroke('Q');
    EXPECT_EQ(Log, QStringList({"A:KEYDOWN", "A:KeyDown(81)", "A:CHAR(113)", "A:KeyPress(113)", "A:KEYUP",
                                "A:KeyUp(81)"}));
}

TEST_F(KeyboardTest, CharactersOfKeysWithShiftStates) {
    struct Case { unsigned vk; TShiftState shift; int ch; };
    const Case cases[] = {
        {'C', ssCtrl, 3},        {'A', ssCtrl, 1},       {'Z', ssCtrl, 26},
        {VK_RETURN, ssCtrl, 10}, {VK_RETURN, 0, 13},     {'A', ssShift, 'A'},
        {'A', 0, 'a'},           {'7', 0, '7'},          {VK_BACK, 0, 8},
        {VK_ADD, 0, '+'},        {VK_NUMPAD0 + 5, 0, '5'},
    };
    for (const Case& c : cases) {
        Log.clear();
        Input::KeyStroke(c.vk, c.shift);
        EXPECT_TRUE(Log.contains(QString("A:CHAR(%1)").arg(c.ch))) << c.vk << " " << Log.join(' ').toStdString();
    }
    Log.clear();
    Input::KeyStroke(VK_F2);
    EXPECT_EQ(Log.filter("CHAR").size(), 0) << "a function key makes no character";
}

TEST_F(KeyboardTest, KeyDownSeesTheShiftStateAndTheKeyboard) {
    TShiftState seen = 0;
    bool ctrlDownInHandler = false;
    A->OnKeyDown = [&](TObject*, unsigned&, TShiftState s) {
        seen = s;
        ctrlDownInHandler = GetKeyState(VK_CONTROL) < 0;
    };
    Input::KeyStroke('C', ssCtrl | ssShift);
    EXPECT_EQ(seen, ssCtrl | ssShift);
    EXPECT_TRUE(ctrlDownInHandler);
    EXPECT_GE(GetKeyState(VK_CONTROL), 0) << "released after the stroke";
}

TEST_F(KeyboardTest, AltCombinationComesAsSystemKeys) {
    Input::KeyStroke('X', ssAlt);
    EXPECT_EQ(Log, QStringList({"A:SYSKEYDOWN", "A:KeyDown(88)", "A:SYSCHAR(120)", "A:SYSKEYUP", "A:KeyUp(88)"}));
    const auto sys = std::find_if(A->Seen.begin(), A->Seen.end(), [](const TMessage& m) { return m.Msg == WM_SYSKEYDOWN; });
    ASSERT_NE(sys, A->Seen.end());
    EXPECT_TRUE(sys->LParam & (LPARAM(1) << 29)) << "context bit while Alt is held";
}

TEST_F(KeyboardTest, KeyPreviewGivesTheFormTheKeyFirst) {
    Form->SetKeyPreview(true);
    Form->OnKeyDown = [&](TObject*, unsigned& key, TShiftState) {
        Log << "F:KeyDown";
        if (key == 'S') key = 0;  // the form's own shortcut
    };
    Form->OnKeyPress = [&](TObject*, QChar& ch) {
        Log << "F:KeyPress";
        if (ch == QChar('s')) ch = QChar(0);
    };
    Input::KeyStroke('S');
    EXPECT_EQ(Log, QStringList({"A:KEYDOWN", "F:KeyDown", "A:CHAR(115)", "F:KeyPress", "A:KEYUP", "A:KeyUp(83)"}));
}

TEST_F(KeyboardTest, TabMovesTheFocusUnlessTheControlClaimsIt) {
    Input::KeyStroke(VK_TAB);
    EXPECT_TRUE(B->Focused());
    EXPECT_FALSE(Log.contains("A:KEYDOWN")) << "Tab went to the dialog, not the control";
    EXPECT_EQ(Log.filter("CHAR").size(), 0);
    Input::KeyStroke(VK_TAB, ssShift);
    EXPECT_TRUE(A->Focused());
    // Tab past the last control wraps to the first.
    C->SetFocus();
    Input::KeyStroke(VK_TAB);
    EXPECT_TRUE(A->Focused());

    A->DlgCode |= DLGC_WANTTAB;
    Log.clear();
    Input::KeyStroke(VK_TAB);
    EXPECT_TRUE(A->Focused());
    EXPECT_TRUE(Log.contains("A:KeyDown(9)"));
    EXPECT_TRUE(Log.contains("A:CHAR(9)"));

    A->DlgCode = 0;
    A->WantSpecial = true;
    Input::KeyStroke(VK_TAB);
    EXPECT_TRUE(A->Focused()) << "CM_WANTSPECIALKEY keeps Tab too";
}

TEST_F(KeyboardTest, WantingAllKeysClaimsEnterAndEscapeButNotTabOrArrows) {
    // A multi-line edit without tabs: Enter stays, Tab and arrows move on
    // unless their own bits are wanted.
    A->DlgCode = DLGC_WANTCHARS | DLGC_WANTALLKEYS;
    Input::KeyStroke(VK_RETURN);
    EXPECT_TRUE(Log.contains("A:KeyDown(13)"));
    Input::KeyStroke(VK_TAB);
    EXPECT_TRUE(B->Focused());
    A->SetFocus();
    Input::KeyStroke(VK_DOWN);
    EXPECT_TRUE(B->Focused()) << "arrows are not claimed by wanting all keys";
}

TEST_F(KeyboardTest, PostedKeyDownPassesTheDialogKeyboard) {
    // A Tab a control posts itself moves the focus as a typed one does.
    PostMessage(A->Handle(), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(A->Focused()) << "nothing happens before the loop delivers it";
    EXPECT_EQ(DrainPostedMessages(), 1);
    EXPECT_TRUE(B->Focused());
    EXPECT_FALSE(Log.contains("A:KEYDOWN"));
    // Claimed, the posted key reaches the control itself.
    A->SetFocus();
    A->DlgCode |= DLGC_WANTTAB;
    Log.clear();
    PostMessage(A->Handle(), WM_KEYDOWN, VK_TAB, 0);
    DrainPostedMessages();
    EXPECT_TRUE(A->Focused());
    EXPECT_TRUE(Log.contains("A:KeyDown(9)"));
    // Other posted messages are delivered as they are.
    Log.clear();
    PostMessage(A->Handle(), WM_KEYUP, VK_TAB, 0);
    DrainPostedMessages();
    EXPECT_TRUE(Log.contains("A:KEYUP"));
}

TEST_F(KeyboardTest, TabSkipsControlsThatCannotTakeTheFocus) {
    B->SetEnabled(false);
    Input::KeyStroke(VK_TAB);
    EXPECT_TRUE(C->Focused());
    B->SetEnabled(true);
    B->SetTabStop(false);
    A->SetFocus();
    Input::KeyStroke(VK_TAB);
    EXPECT_TRUE(C->Focused());
    B->SetTabStop(true);
    B->SetTabOrder(0);  // B first, then A, C
    C->SetFocus();
    Input::KeyStroke(VK_TAB);
    EXPECT_TRUE(B->Focused());
}

TEST_F(KeyboardTest, ArrowsMoveAmongSiblingsWhenNotWanted) {
    Input::KeyStroke(VK_DOWN);
    EXPECT_TRUE(A->Focused()) << "A wants arrows";
    EXPECT_TRUE(Log.contains("A:KeyDown(40)"));
    B->SetFocus();
    Input::KeyStroke(VK_RIGHT);
    EXPECT_TRUE(C->Focused());
    Input::KeyStroke(VK_UP);
    EXPECT_TRUE(B->Focused());
}

TEST_F(KeyboardTest, AcceleratorsFireOnAltAndOnPlainLettersNotWanted) {
    auto* ok = new TTestButton(Form, Form, "&Open");
    // A wants characters: a plain "o" is typed into it.
    Input::KeyStroke('O');
    EXPECT_EQ(ok->Clicks, 0);
    EXPECT_TRUE(Log.contains("A:CHAR(111)"));
    // Alt+O fires the accelerator and makes no SYSCHAR.
    Log.clear();
    Input::KeyStroke('O', ssAlt);
    EXPECT_EQ(ok->Clicks, 1);
    EXPECT_FALSE(Log.contains("A:SYSCHAR(111)"));
    // B does not want characters: the plain letter is the accelerator.
    B->SetFocus();
    Log.clear();
    Input::KeyStroke('O');
    EXPECT_EQ(ok->Clicks, 2);
    EXPECT_EQ(Log.filter("B:CHAR").size(), 0);
    // A disabled button's accelerator does nothing.
    ok->SetEnabled(false);
    Input::KeyStroke('O');
    EXPECT_EQ(ok->Clicks, 2);
}

TEST_F(KeyboardTest, EnterAndEscapeReachDefaultAndCancelButtons) {
    auto* ok = new TTestButton(Form, Form, "OK");
    auto* cancel = new TTestButton(Form, Form, "Cancel");
    ok->Default = true;
    cancel->Cancel = true;
    Input::KeyStroke(VK_RETURN);
    EXPECT_EQ(ok->Clicks, 1);
    EXPECT_FALSE(Log.contains("A:KEYDOWN")) << "the dialog took Enter";
    Input::KeyStroke(VK_ESCAPE);
    EXPECT_EQ(cancel->Clicks, 1);
    // A control that wants all keys keeps Enter.
    A->DlgCode |= DLGC_WANTALLKEYS;
    Input::KeyStroke(VK_RETURN);
    EXPECT_EQ(ok->Clicks, 1);
    EXPECT_TRUE(Log.contains("A:KeyDown(13)"));
}

TEST_F(KeyboardTest, ToolkitKeyEventsTakeTheSamePath) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, "\x03");
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_C, Qt::ControlModifier, "\x03");
    EXPECT_TRUE(Input::TranslateQtEvent(Form, &press));
    EXPECT_TRUE(Input::TranslateQtEvent(Form, &release));
    EXPECT_EQ(Log, QStringList({"A:KEYDOWN", "A:KeyDown(67)", "A:CHAR(3)", "A:KeyPress(3)", "A:KEYUP", "A:KeyUp(67)"}));

    Log.clear();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier, "\r");
    A->DlgCode |= DLGC_WANTALLKEYS;
    Input::TranslateQtEvent(Form, &enter);
    ASSERT_FALSE(A->Seen.isEmpty());
    EXPECT_EQ(A->Seen.back().Msg, unsigned(WM_CHAR));
    const TMessage keyDown = A->Seen[A->Seen.size() - 2];
    EXPECT_EQ(keyDown.WParam, WPARAM(VK_RETURN));
    EXPECT_TRUE(keyDown.LParam & KF_EXTENDED_BIT) << "keypad Enter is an extended key";

    Log.clear();
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_Z, Qt::ShiftModifier, "Z");
    Input::TranslateQtEvent(Form, &typed);
    EXPECT_TRUE(Log.contains("A:CHAR(90)"));
}
