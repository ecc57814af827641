// A press held while what it was pressed on goes away: the window that hid
// must not keep the mouse, or the next click anywhere does nothing.
#include "StdKit.h"

#include "platform/controls/Dialogs.h"
#include "platform/controls/ScrollBars.h"

#include <functional>

namespace {

class HeldPressTest : public StdTest {
protected:
    void TearDown() override {
        InstallDialogScript(nullptr);
        Dialog.reset();
        StdTest::TearDown();
    }
    template <class T> T* On(TWinControl* parent, int x, int y, int w, int h) {
        auto* c = new T(parent);
        c->AfterConstruction();
        c->SetParent(parent);
        c->SetBounds(x, y, w, h);
        return c;
    }
    TComboBox* LongCombo(TWinControl* parent) {
        auto* c = On<TComboBox>(parent, 10, 10, 120, 21);
        for (int i = 0; i < 12; ++i) c->Items()->Add(QStringLiteral("Item %1").arg(i));
        c->SetDropDownCount(5);
        return c;
    }
    // A press on the dropped list's scroll bar thumb, not released.
    static void HoldListBar(TComboBox* c) {
        TComboListWindow* list = c->ListWindow();
        const TRect thumb = list->ScrollBarsState()->PartRect(SB_VERT, sbpThumb);
        Input::MouseDown(list, mbLeft, (thumb.Left + thumb.Right) / 2, (thumb.Top + thumb.Bottom) / 2);
    }
    std::unique_ptr<TForm> Dialog;
    TDialogScript Script;
};

TEST_F(HeldPressTest, TheNextClickOnTheMainFormClicksAfterThePressedWindowWentAway) {
    auto* target = Place<TButton>(10, 250);
    int clicks = 0;
    target->OnClick = [&](TObject*) { ++clicks; };
    struct Case {
        const char* what;
        std::function<void()> sequence;
    } cases[] = {
        {"a modal dialog closed by Escape while a button of it is held",
         [&] {
             Dialog.reset(NewObject<TForm>(nullptr));
             Dialog->SetBounds(150, 150, 300, 200);
             auto* held = On<TButton>(Dialog.get(), 10, 10, 75, 25);
             int heldClicks = 0;
             held->OnClick = [&](TObject*) { ++heldClicks; };
             auto* cancel = On<TButton>(Dialog.get(), 100, 10, 75, 25);
             cancel->SetCancel(true);
             cancel->SetModalResult(mrCancel);
             InstallDialogScript(&Script);
             Script.AnswerModal([&](TCustomForm*) {
                 Input::MouseDown(held, mbLeft, 5, 5);
                 Input::KeyStroke(VK_ESCAPE);
             });
             EXPECT_EQ(Dialog->ShowModal(), mrCancel);
             InstallDialogScript(nullptr);
             EXPECT_EQ(GetCaptureControl(), nullptr);
             // Released over the button after all, it does not click either.
             Input::MouseUp(held, mbLeft, 5, 5);
             EXPECT_EQ(heldClicks, 0);
         }},
        {"a modal dialog closed by Escape while the list of its combo box is down",
         [&] {
             Dialog.reset(NewObject<TForm>(nullptr));
             Dialog->SetBounds(150, 150, 300, 200);
             auto* combo = LongCombo(Dialog.get());
             auto* cancel = On<TButton>(Dialog.get(), 100, 100, 75, 25);
             cancel->SetCancel(true);
             cancel->SetModalResult(mrCancel);
             InstallDialogScript(&Script);
             Script.AnswerModal([&](TCustomForm*) {
                 Input::Click(combo, 110, 10);
                 ASSERT_TRUE(combo->DroppedDown());
                 HoldListBar(combo);
                 Input::KeyStroke(VK_ESCAPE);
                 Input::KeyStroke(VK_ESCAPE);
             });
             Dialog->ShowModal();
             InstallDialogScript(nullptr);
             EXPECT_FALSE(combo->DroppedDown());
         }},
        {"a list closed by Escape while its scroll bar is held",
         [&] {
             auto* combo = LongCombo(Form);
             combo->SetFocus();
             Input::Click(combo, 110, 10);
             ASSERT_TRUE(combo->DroppedDown());
             HoldListBar(combo);
             Input::KeyStroke(VK_ESCAPE);
             EXPECT_FALSE(combo->DroppedDown());
         }},
    };
    for (const auto& tc : cases) {
        clicks = 0;
        tc.sequence();
        EXPECT_EQ(GetCaptureControl(), nullptr) << tc.what;
        Input::Click(target, 5, 5);
        EXPECT_EQ(clicks, 1) << tc.what;
        SetKeyDown(VK_LBUTTON, false);
    }
}

} // namespace
