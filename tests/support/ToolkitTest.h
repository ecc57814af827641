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

    TDialogScript Script;
    TForm* Form = nullptr;
};
