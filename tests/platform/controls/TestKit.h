#pragma once
// Small controls that record what reaches them, for the controls' tests.
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Input.h"
#include "support/ToolkitTest.h"

#include <QStringList>
#include <gtest/gtest.h>

inline QString MessageName(unsigned m) {
    switch (m) {
    case WM_KEYDOWN: return "KEYDOWN";
    case WM_KEYUP: return "KEYUP";
    case WM_CHAR: return "CHAR";
    case WM_SYSKEYDOWN: return "SYSKEYDOWN";
    case WM_SYSKEYUP: return "SYSKEYUP";
    case WM_SYSCHAR: return "SYSCHAR";
    case WM_SETFOCUS: return "SETFOCUS";
    case WM_KILLFOCUS: return "KILLFOCUS";
    case CM_ENTER: return "CM_ENTER";
    case CM_EXIT: return "CM_EXIT";
    case WM_LBUTTONDOWN: return "LBUTTONDOWN";
    case WM_LBUTTONUP: return "LBUTTONUP";
    case WM_LBUTTONDBLCLK: return "LBUTTONDBLCLK";
    case WM_RBUTTONDOWN: return "RBUTTONDOWN";
    case WM_RBUTTONUP: return "RBUTTONUP";
    case WM_MOUSEMOVE: return "MOUSEMOVE";
    case CM_MOUSEENTER: return "CM_MOUSEENTER";
    case CM_MOUSELEAVE: return "CM_MOUSELEAVE";
    case WM_TIMER: return "TIMER";
    case WM_MOUSEWHEEL: return "MOUSEWHEEL";
    case CM_ACTIVATE: return "CM_ACTIVATE";
    case CM_DEACTIVATE: return "CM_DEACTIVATE";
    default: return QString();
    }
}

// A focusable windowed control that logs its messages and key steps into a
// shared list, as "<name>:<what>". Its WM_GETDLGCODE answer is chosen per test.
class TProbe : public TCustomControl {
public:
    TProbe(TComponent* owner, TWinControl* parent, const QString& name, QStringList* log, unsigned dlgCode = 0)
        : TCustomControl(owner), DlgCode(dlgCode), FLog(log) {
        SetName(name);
        SetTabStop(true);
        SetBounds(0, 0, 50, 20);
        if (parent) SetParent(parent);
    }
    unsigned DlgCode;
    bool WantSpecial = false;
    QList<TMessage> Seen;  // every logged message with its parameters
    QString Who(WPARAM h) const {
        TWinControl* c = FindControl(static_cast<HWND>(h));
        return c ? c->Name() : QStringLiteral("none");
    }

protected:
    void WndProc(TMessage& m) override {
        const QString n = MessageName(m.Msg);
        if (!n.isEmpty() && FLog) {
            QString line = Name() + ":" + n;
            if (m.Msg == WM_SETFOCUS || m.Msg == WM_KILLFOCUS) line += "(" + Who(m.WParam) + ")";
            if (m.Msg == WM_CHAR || m.Msg == WM_SYSCHAR) line += "(" + QString::number(m.WParam) + ")";
            if (m.Msg == WM_TIMER) line += "(" + QString::number(m.WParam) + ")";
            FLog->append(line);
            Seen << m;
        }
        if (m.Msg == WM_GETDLGCODE) {
            m.Result = DlgCode;
            return;
        }
        if (m.Msg == CM_WANTSPECIALKEY) {
            m.Result = WantSpecial ? 1 : 0;
            return;
        }
        TCustomControl::WndProc(m);
    }
    void KeyDown(unsigned& key, TShiftState shift) override {
        if (FLog) FLog->append(Name() + ":KeyDown(" + QString::number(key) + ")");
        TCustomControl::KeyDown(key, shift);
    }
    void KeyPress(QChar& key) override {
        if (FLog) FLog->append(Name() + ":KeyPress(" + QString::number(key.unicode()) + ")");
        TCustomControl::KeyPress(key);
    }
    void KeyUp(unsigned& key, TShiftState shift) override {
        if (FLog) FLog->append(Name() + ":KeyUp(" + QString::number(key) + ")");
        TCustomControl::KeyUp(key, shift);
    }

private:
    QStringList* FLog;
};

// A push button as a dialog has it: Enter on a default one and Escape on a
// cancel one click it, a click sets the form's modal result, and its caption
// accelerator clicks it.
class TTestButton : public TCustomControl {
public:
    TTestButton(TComponent* owner, TWinControl* parent, const QString& caption)
        : TCustomControl(owner) {
        SetCaption(caption);
        SetTabStop(true);
        SetBounds(0, 0, 75, 25);
        if (parent) SetParent(parent);
    }
    bool Default = false, Cancel = false;
    int ModalResult = 0;
    int Clicks = 0;
    void Click() override {
        ++Clicks;
        TCustomControl::Click();
        if (ModalResult)
            if (TCustomForm* f = GetParentForm(this)) f->SetModalResult(ModalResult);
    }

protected:
    void CMDialogKey(TMessage& m) override {
        if ((m.WParam == VK_RETURN && Default) || (m.WParam == VK_ESCAPE && Cancel)) {
            Click();
            m.Result = 1;
        }
    }
    void CMDialogChar(TMessage& m) override {
        if (IsAccel(QChar(char16_t(m.WParam)), Caption()) && Enabled() && Visible()) {
            Click();
            m.Result = 1;
        }
    }
};

// Resets the program-wide state each test touches.
class ControlsTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        SetTickCountForTest(100000);
    }
    void TearDown() override {
        ToolkitTest::TearDown();
        Application()->CancelHint();
        Application()->ProcessMessages();
        SetTickCountForTest(-1);
    }
    TForm* NewForm() {
        Form = NewObject<TForm>(nullptr);
        Form->SetName("F");
        return Form;
    }
    QStringList Log;
};
