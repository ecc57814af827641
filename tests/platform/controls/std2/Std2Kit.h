#pragma once
// What the tests of the tab, tree, date, rich-text and clipboard controls
// share: a headless form and the program-wide state reset between tests.
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Input.h"

#include <QStringList>
#include <gtest/gtest.h>

class Std2Test : public ::testing::Test {
protected:
    void SetUp() override {
        InstallDialogScript(&Script);
        ResetKeyboardState();
        Form = NewObject<TForm>(nullptr);
        Form->SetName("F");
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 400, 300);
    }
    void TearDown() override {
        Input::MouseLeave();
        delete Form;
        Form = nullptr;
        InstallDialogScript(nullptr);
        SetFocusedWindowQuietly(nullptr);
        SetCaptureControl(nullptr);
        Application()->ProcessMessages();
        ResetKeyboardState();
    }
    // The centre of a rectangle.
    static TPoint Mid(const TRect& r) { return Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); }
    TDialogScript Script;
    TForm* Form = nullptr;
    QStringList Log;
};
