#pragma once
// The ground of every test that puts controls on a form: message boxes are
// answered by the test's script, the keyboard starts released, and what a
// test leaves behind (its form, the focus, the capture, a mouse over a
// control) is cleared before the next one.
#include "platform/controls/Controls.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Input.h"

#include <QStringList>
#include <gtest/gtest.h>

// The texts of the message boxes the script answered, in order.
inline QStringList MessageBoxTexts(const TDialogScript& script)
{
    QStringList texts;
    for (const TDialogRecord& r : script.Shown)
        if (r.Kind == TDialogKind::MessageBox)
            texts.append(r.Text);
    return texts;
}

class ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallDialogScript(&Script);
        ResetKeyboardState();
    }
    void TearDown() override
    {
        Input::MouseLeave();
        delete Form;
        Form = nullptr;
        InstallDialogScript(nullptr);
        SetFocusedWindowQuietly(nullptr);
        SetCaptureControl(nullptr);
    }

    // The test's borderless form of W x H at the origin, made and shown on
    // first use.
    TForm* ShownForm(int W = 600, int H = 400)
    {
        if (!Form) {
            Form = NewObject<TForm>(nullptr);
            Form->SetBorderStyle(bsNone);
            Form->SetBounds(0, 0, W, H);
            Form->Show();
        }
        return Form;
    }

    TDialogScript Script;
    TForm* Form = nullptr;
};
