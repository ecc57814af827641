#pragma once
// What the tests of the tab, tree, date, rich-text and clipboard controls
// share: a headless form and the program-wide state reset between tests.
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Input.h"
#include "support/ToolkitTest.h"

#include <QStringList>
#include <gtest/gtest.h>

class Std2Test : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        Form = NewObject<TForm>(nullptr);
        Form->SetName("F");
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 400, 300);
    }
    void TearDown() override {
        ToolkitTest::TearDown();
        Application()->ProcessMessages();
        ResetKeyboardState();
    }
    // The centre of a rectangle.
    static TPoint Mid(const TRect& r) { return Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); }
    QStringList Log;
};
