#pragma once
// A drop-down edit on a headless form, driven through the input layer and
// the platform's messages, with a fixed screen and tick counter.
#include "gridpack/dropdown/ExDropDown.h"
#include "platform/controls/Clipboard.h"
#include "platform/controls/Input.h"
#include "platform/core/FormatSettings.h"
#include "support/ToolkitTest.h"

#include <QImage>
#include <gtest/gtest.h>

class DropDownTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        SavedSettings = FormatSettings;
        FormatSettings.DecimalSeparator = QLatin1Char('.');
        FormatSettings.ThousandSeparator = QLatin1Char(',');
        SavedScreen = ScreenSize();
        SavedWork = ScreenWorkArea();
        SetScreenSize(TSize(1024, 768));
        SetScreenWorkArea(Rect(0, 0, 1024, 738));
        SetTickCountForTest(100000);
        Form = NewObject<TForm>(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 400, 300);
        Edit = NewObject<TExCustomDropDown>(Form);
        Edit->SetParent(Form);
        Edit->SetBounds(10, 10, 200, 21);
        Other = NewObject<TEdit>(Form);
        Other->SetParent(Form);
        Other->SetBounds(10, 100, 100, 21);
    }
    void TearDown() override {
        if (Edit && Edit->DroppedDown()) Edit->HideDropDown(false);
        ToolkitTest::TearDown();
        Application()->ProcessMessages();
        DrainPostedMessages();
        ResetKeyboardState();
        FormatSettings = SavedSettings;
        SetScreenSize(SavedScreen);
        SetScreenWorkArea(SavedWork);
        SetTickCountForTest(-1);
    }
    // Shows the form and puts the focus on the edit.
    void Focus() {
        Form->Show();
        Edit->SetFocus();
    }
    // Types characters one by one, as the keyboard would.
    void Type(const QString& s) {
        for (QChar c : s) Input::Char(c);
    }
    void Key(unsigned vk, TShiftState shift = 0) { Input::KeyStroke(vk, shift); }
    // The caret (nothing selected) at a position of the whole text.
    void Caret(int pos) { Edit->Perform(EM_SETSEL, WPARAM(pos), LPARAM(pos)); }

    TFormatSettings SavedSettings;
    TSize SavedScreen;
    TRect SavedWork;
    TExCustomDropDown* Edit = nullptr;
    TEdit* Other = nullptr;
};
