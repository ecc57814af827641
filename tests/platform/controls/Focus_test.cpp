#include "TestKit.h"

TEST_F(ControlsTest, FocusMovesWithKillThenSetThenExitThenEnter) {
    NewForm();
    auto* a = new TProbe(Form, Form, "A", &Log);
    auto* b = new TProbe(Form, Form, "B", &Log);
    Form->Show();
    a->SetFocus();
    Log.clear();
    QStringList events;
    a->OnExit = [&](TObject*) { events << "A exit"; };
    b->OnEnter = [&](TObject*) { events << "B enter"; };
    b->SetFocus();
    EXPECT_EQ(Log, QStringList({"A:KILLFOCUS(B)", "B:SETFOCUS(A)", "A:CM_EXIT", "B:CM_ENTER"}));
    EXPECT_EQ(events, QStringList({"A exit", "B enter"}));
    EXPECT_TRUE(b->Focused());
    EXPECT_FALSE(a->Focused());
    EXPECT_EQ(Form->ActiveControl(), b);
    EXPECT_EQ(Screen()->ActiveControl(), b);
}

TEST_F(ControlsTest, EnterAndExitFollowTheParentChains) {
    NewForm();
    auto* left = new TProbe(Form, Form, "L", &Log);
    auto* right = new TProbe(Form, Form, "R", &Log);
    left->SetTabStop(false);
    right->SetTabStop(false);
    auto* a = new TProbe(Form, left, "A", &Log);
    auto* b = new TProbe(Form, right, "B", &Log);
    auto* a2 = new TProbe(Form, left, "A2", &Log);
    Form->Show();
    a->SetFocus();
    Log.clear();
    b->SetFocus();
    EXPECT_EQ(Log, QStringList({"A:KILLFOCUS(B)", "B:SETFOCUS(A)", "A:CM_EXIT", "L:CM_EXIT", "R:CM_ENTER",
                                "B:CM_ENTER"}));
    Log.clear();
    a->SetFocus();
    a2->SetFocus();
    EXPECT_EQ(Log.filter("L:").size(), 1) << "moving inside L leaves L once only: " << Log.join(' ').toStdString();
}

TEST_F(ControlsTest, FocusInAFormNotShownOnlyChoosesTheActiveControl) {
    NewForm();
    auto* a = new TProbe(Form, Form, "A", &Log);
    auto* b = new TProbe(Form, Form, "B", &Log);
    b->SetFocus();
    EXPECT_TRUE(Log.isEmpty());
    EXPECT_EQ(Form->ActiveControl(), b);
    EXPECT_FALSE(b->Focused());
    Form->Show();
    EXPECT_TRUE(b->Focused());
    EXPECT_FALSE(a->Focused());
}

TEST_F(ControlsTest, ShowFocusesTheFirstTabStop) {
    NewForm();
    auto* a = new TProbe(Form, Form, "A", &Log);
    auto* b = new TProbe(Form, Form, "B", &Log);
    a->SetTabStop(false);
    bool shown = false;
    Form->OnShow = [&](TObject*) { shown = true; };
    Form->Show();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(b->Focused());
    EXPECT_TRUE(Form->Active());
}

TEST_F(ControlsTest, VisibleIsTheControlsOwnFlag) {
    NewForm();
    auto* a = new TProbe(Form, nullptr, "A", &Log);
    a->SetVisible(false);
    a->SetParent(Form);
    EXPECT_FALSE(a->Visible());
    a->SetVisible(true);
    EXPECT_TRUE(a->Visible()) << "set so, though its form is not shown";
    EXPECT_FALSE(a->Showing());
    Form->Show();
    EXPECT_TRUE(a->Showing());
    a->SetVisible(false);
    EXPECT_FALSE(a->Showing());
}

TEST_F(ControlsTest, ControlsThatCannotTakeTheFocusRefuseIt) {
    NewForm();
    auto* a = new TProbe(Form, Form, "A", &Log);
    auto* b = new TProbe(Form, Form, "B", &Log);
    Form->Show();
    struct Case { bool visible, enabled, can; };
    const Case cases[] = {{true, true, true}, {false, true, false}, {true, false, false}};
    for (const Case& c : cases) {
        b->SetVisible(c.visible);
        b->SetEnabled(c.enabled);
        EXPECT_EQ(b->CanFocus(), c.can);
        if (!c.can) {
            try {
                b->SetFocus();
                ADD_FAILURE() << "no exception";
            } catch (const EInvalidOperation& e) {
                EXPECT_EQ(e.Message(), "Cannot focus a disabled or invisible window");
            }
        }
    }
    // A focused control that is hidden gives the focus back to its form.
    b->SetVisible(true);
    b->SetEnabled(true);
    a->SetFocus();
    a->SetVisible(false);
    EXPECT_FALSE(a->Focused());
    EXPECT_EQ(FocusedControl(), Form);
    EXPECT_EQ(Form->ActiveControl(), nullptr);
}

TEST_F(ControlsTest, FreeingTheFocusedControlLeavesNoDanglingFocus) {
    NewForm();
    auto* a = new TProbe(Form, Form, "A", &Log);
    auto* b = new TProbe(Form, Form, "B", &Log);
    Form->Show();
    a->SetFocus();
    delete a;
    EXPECT_EQ(FocusedControl(), nullptr);
    EXPECT_EQ(Form->ActiveControl(), nullptr);
    Input::KeyStroke(VK_TAB);  // goes to the form, which picks the next control
    EXPECT_TRUE(b->Focused());
}

TEST_F(ControlsTest, APopupOpeningIsNotAnExit) {
    NewForm();
    auto* a = new TProbe(Form, Form, "A", &Log);
    Form->Show();
    a->SetFocus();
    auto* popup = NewObject<TPopupForm>(Form);
    auto* list = new TProbe(popup, popup, "P", &Log);
    int deactivations = 0;
    popup->OnDeactivate = [&](TObject*) { ++deactivations; };
    popup->Popup(100, 200);
    EXPECT_TRUE(popup->IsShownOnScreen());
    EXPECT_TRUE(a->Focused()) << "showing the popup leaves the focus where it was";
    EXPECT_EQ(popup->Left(), 100);
    EXPECT_EQ(popup->Params().ExStyle & WS_EX_TOPMOST, WS_EX_TOPMOST);
    EXPECT_EQ(popup->Params().Style & WS_CAPTION, 0u);
    Log.clear();
    list->SetFocus();
    EXPECT_EQ(Log.filter("A:CM_EXIT").size(), 0) << Log.join(' ').toStdString();
    EXPECT_TRUE(Log.contains("A:KILLFOCUS(P)"));
    EXPECT_EQ(Form->ActiveControl(), a) << "the owner form keeps its control";
    // The focus going back to the owner form deactivates the popup.
    a->SetFocus();
    EXPECT_EQ(deactivations, 1);
    EXPECT_EQ(Log.filter("A:CM_ENTER").size(), 0);
    // A click outside the popup also reports its deactivation.
    Input::Click(a, 1, 1);
    EXPECT_EQ(deactivations, 2);
}
