// Push buttons, check boxes, radio buttons and list boxes.
#include "platform/controls/ScrollBars.h"
#include "StdKit.h"

namespace {

using ButtonsTest = StdTest;

TEST_F(ButtonsTest, CheckBoxClickTogglesAndCodeChangesClickToo) {
    auto* cb = Place<TCheckBox>(10, 10);
    QList<bool> seen;
    cb->OnClick = [&](TObject*) { seen << cb->Checked(); };
    Input::Click(cb, 5, 5);
    EXPECT_TRUE(cb->Checked());
    Input::Click(cb, 5, 5);
    EXPECT_FALSE(cb->Checked());
    // Loading a value in code raises OnClick as well; an unchanged value not.
    cb->SetChecked(true);
    cb->SetChecked(true);
    EXPECT_EQ(seen, (QList<bool>{true, false, true}));
    // Space toggles the focused box; a press that leaves the box does not.
    Input::KeyStroke(VK_SPACE);
    EXPECT_FALSE(cb->Checked());
    Input::MouseDown(cb, mbLeft, 5, 5);
    Input::MouseMove(cb, 500, 5);
    Input::MouseUp(cb, mbLeft, 500, 5);
    EXPECT_FALSE(cb->Checked());
    EXPECT_EQ(seen.size(), 4);
}

// Tab onto a check box shows its focus mark on the screen, and Tab away
// takes it off: the surface painted is the form as it now is.
TEST_F(ButtonsTest, ACheckBoxShowsTheFocusMarkWhileItHasTheFocus) {
    auto* edit = Place<TEdit>(10, 10);
    auto* cb = Place<TCheckBox>(10, 40, 120, 20);
    cb->SetCaption(QStringLiteral("Enable"));
    auto* after = Place<TEdit>(10, 70);
    edit->SetFocus();
    const QImage unfocused = Form->RenderClient();
    Input::KeyStroke(VK_TAB);
    ASSERT_EQ(FocusedControl(), cb);
    Form->PaintPending();
    const QImage shown = *Form->Surface();
    EXPECT_EQ(shown, Form->RenderClient()) << "the focus mark is painted when the focus arrives";
    EXPECT_NE(shown.copy(10, 40, 120, 20), unfocused.copy(10, 40, 120, 20));
    Input::KeyStroke(VK_TAB);
    ASSERT_EQ(FocusedControl(), after);
    Form->PaintPending();
    EXPECT_EQ(Form->Surface()->copy(10, 40, 120, 20), unfocused.copy(10, 40, 120, 20))
        << "and taken off when it leaves";
}

TEST_F(ButtonsTest, CheckBoxStatesWithAllowGrayed) {
    auto* cb = Place<TCheckBox>(10, 10);
    cb->SetAllowGrayed(true);
    const TCheckBoxState expected[] = {cbGrayed, cbChecked, cbUnchecked, cbGrayed};
    for (TCheckBoxState s : expected) {
        Input::Click(cb, 5, 5);
        EXPECT_EQ(cb->State(), s);
    }
    EXPECT_FALSE(cb->Checked());
    EXPECT_EQ(cb->Perform(BM_GETCHECK), BST_INDETERMINATE);
}

TEST_F(ButtonsTest, RadioButtonsOfOneParentAreExclusive) {
    auto* a = Place<TRadioButton>(10, 10);
    auto* b = Place<TRadioButton>(10, 30);
    auto* group = Place<TGroupBox>(150, 10);
    auto* other = new TRadioButton(Form);
    other->SetParent(group);
    other->SetChecked(true);
    QStringList clicks;
    a->OnClick = [&](TObject*) { clicks << "a"; };
    b->OnClick = [&](TObject*) { clicks << "b"; };
    a->SetChecked(true);
    EXPECT_EQ(clicks, QStringList{"a"});
    Input::Click(b, 5, 5);
    EXPECT_TRUE(b->Checked());
    EXPECT_FALSE(a->Checked());
    // Clicking the checked one again changes nothing.
    Input::Click(b, 5, 5);
    EXPECT_EQ(clicks, (QStringList{"a", "b"}));
    // The group box's radio button is in another group.
    EXPECT_TRUE(other->Checked());
    // Only the checked button is a tab stop.
    EXPECT_TRUE(b->TabStop());
    EXPECT_FALSE(a->TabStop());
}

TEST_F(ButtonsTest, ButtonDefaultCancelAndModalResult) {
    auto* edit = Place<TEdit>(10, 10);
    auto* ok = Place<TButton>(10, 50);
    auto* cancel = Place<TButton>(100, 50);
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    // OnClick runs after the form took the result and may take it back.
    int resultInClick = -1;
    ok->OnClick = [&](TObject*) {
        resultInClick = Form->ModalResult();
        Form->SetModalResult(mrNone);
    };
    edit->SetFocus();
    Input::KeyStroke(VK_RETURN);
    EXPECT_EQ(resultInClick, mrOk);
    EXPECT_EQ(Form->ModalResult(), mrNone);
    Input::KeyStroke(VK_ESCAPE);
    EXPECT_EQ(Form->ModalResult(), mrCancel);

    // With another button focused, Enter is that button's.
    Form->SetModalResult(mrNone);
    cancel->SetFocus();
    Input::KeyStroke(VK_RETURN);
    EXPECT_EQ(Form->ModalResult(), mrCancel);
}

TEST_F(ButtonsTest, ButtonAcceleratorAndClickMessage) {
    auto* b = Place<TButton>(10, 10);
    b->SetCaption("&Apply");
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    Input::KeyStroke('A', ssAlt);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(b->Focused());
    b->Perform(BM_CLICK);
    EXPECT_EQ(clicks, 2);
    b->SetEnabled(false);
    b->Perform(BM_CLICK);
    EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonsTest, ListBoxSelectionByKeysClicksAndCode) {
    auto* lb = Place<TListBox>(10, 10, 120, 200);
    for (const char* s : {"Cherry", "apple", "banana", "Avocado"}) lb->Items()->Add(s);
    int clicks = 0;
    lb->OnClick = [&](TObject*) { ++clicks; };
    lb->SetItemIndex(2);
    EXPECT_EQ(clicks, 0);
    lb->SetFocus();
    Input::KeyStroke(VK_UP);
    EXPECT_EQ(lb->ItemIndex(), 1);
    Input::Char('a');
    EXPECT_EQ(lb->ItemIndex(), 3);
    const TRect r = lb->ItemRect(0);
    Input::Click(lb, r.Left + 2, r.Top + 1);
    EXPECT_EQ(lb->ItemIndex(), 0);
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(lb->ItemAtPos(Point(5, lb->ItemRect(3).Bottom + 1)), -1);

    lb->SetSorted(true);
    EXPECT_EQ(lb->Items()->Strings(0), "apple");
    EXPECT_EQ(lb->Items()->Strings(lb->ItemIndex()), "Cherry");
}

TEST_F(ButtonsTest, ListBoxMultiSelectWithShiftAndCtrl) {
    auto* lb = Place<TListBox>(10, 10, 120, 200);
    for (int i = 0; i < 6; ++i) lb->Items()->Add(QString::number(i));
    lb->SetMultiSelect(true);
    auto click = [&](int i, TShiftState s) {
        const TRect r = lb->ItemRect(i);
        Input::Click(lb, r.Left + 2, r.Top + 1, mbLeft, s);
    };
    click(1, 0);
    click(3, ssShift);
    click(5, ssCtrl);
    EXPECT_EQ(lb->SelCount(), 4);
    QList<bool> sel;
    for (int i = 0; i < 6; ++i) sel << lb->Selected(i);
    EXPECT_EQ(sel, (QList<bool>{false, true, true, true, false, true}));
    click(2, 0);
    EXPECT_EQ(lb->SelCount(), 1);
    EXPECT_THROW(lb->Selected(6), EListError);
}

TEST_F(ButtonsTest, OwnerDrawnListBoxHandsEachVisibleItemToTheHandler) {
    auto* lb = Place<TListBox>(10, 10, 120, 64);
    lb->SetStyle(lbOwnerDrawVariable);
    for (int i = 0; i < 10; ++i) lb->Items()->Add(QString::number(i));
    lb->OnMeasureItem = [](TWinControl*, int i, int& h) { h = i == 1 ? 30 : 10; };
    QList<QPair<int, unsigned>> drawn;
    lb->OnDrawItem = [&](TWinControl*, int i, TRect r, TOwnerDrawState st) {
        drawn << qMakePair(i, st & odSelected);
        lb->Canvas()->FillRect(r);
    };
    lb->SetItemIndex(1);
    Render(lb);
    // 60 client pixels: items 0 (10), 1 (30), 2 (10), 3 (10) and no more.
    ASSERT_EQ(drawn.size(), 4);
    EXPECT_EQ(drawn[1], qMakePair(1, unsigned(odSelected)));
    EXPECT_EQ(drawn[0].second, 0u);
    // Client coordinates: the border and the scroll bar (the items do not
    // all fit) are the list's non-client area.
    EXPECT_EQ(lb->ItemRect(2), Rect(0, 40, 120 - 4 - 17, 50));
    EXPECT_TRUE(lb->ScrollBarsState()->Bar(SB_VERT).Shown);
    EXPECT_EQ(lb->ItemAtPos(Point(5, 30)), 1);
}

TEST_F(ButtonsTest, ScrollBarStepsAndClamps) {
    auto* sb = Place<TScrollBar>(10, 10, 200, 17);
    sb->SetParams(0, 0, 10);
    sb->SetLargeChange(4);
    QList<int> changes;
    sb->OnChange = [&](TObject*) { changes << sb->Position(); };
    sb->SetFocus();
    Input::KeyStroke(VK_RIGHT);
    Input::KeyStroke(VK_NEXT);
    Input::KeyStroke(VK_END);
    Input::KeyStroke(VK_RIGHT);
    EXPECT_EQ(changes, (QList<int>{1, 5, 10}));
    // The left arrow button and the track left of the thumb.
    Input::Click(sb, 3, 8);
    EXPECT_EQ(sb->Position(), 9);
    EXPECT_THROW(sb->SetParams(0, 5, 4), EInvalidOperation);
}

}  // namespace
