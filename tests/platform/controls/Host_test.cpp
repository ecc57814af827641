#include "TestKit.h"

#include "platform/controls/FormHost.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

// With toolkit windows (as a person has them), input sent to the form's
// window takes the same path as the input layer's own calls.
class HostTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        SetFormHostsEnabled(true);
        NewForm();
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(50, 60, 200, 100);
        A = new TProbe(Form, Form, "A", &Log, DLGC_WANTCHARS);
        A->SetBounds(10, 10, 50, 20);
        B = new TProbe(Form, Form, "B", &Log);
        B->SetBounds(100, 10, 50, 20);
    }
    void TearDown() override {
        ControlsTest::TearDown();
        SetFormHostsEnabled(false);
    }
    void Send(QEvent* e) { QCoreApplication::sendEvent(Form->HostWidget(), e); }
    TProbe *A, *B;
};

TEST_F(HostTest, TheFormsWindowCarriesKeysMouseAndTheCloseBox) {
    Form->Show();
    QWidget* w = Form->HostWidget();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->geometry(), QRect(50, 60, 200, 100));
    Log.clear();

    QKeyEvent press(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, "q");
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Q, Qt::NoModifier, "q");
    Send(&press);
    Send(&release);
    EXPECT_EQ(Log, QStringList({"A:KEYDOWN", "A:KeyDown(81)", "A:CHAR(113)", "A:KeyPress(113)", "A:KEYUP", "A:KeyUp(81)"}));

    // Tab is the dialog's, not the toolkit's focus chain.
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, "\t");
    Send(&tab);
    EXPECT_TRUE(B->Focused());

    Log.clear();
    QMouseEvent down(QEvent::MouseButtonPress, QPointF(12, 15), QPointF(62, 75), Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
    Send(&down);
    EXPECT_EQ(Log, QStringList({"A:LBUTTONDOWN"}));
    QMouseEvent up(QEvent::MouseButtonRelease, QPointF(12, 15), QPointF(62, 75), Qt::LeftButton, Qt::NoButton,
                   Qt::NoModifier);
    Send(&up);

    QCloseEvent close;
    Send(&close);
    EXPECT_FALSE(Form->IsShownOnScreen());
    EXPECT_FALSE(w->isVisible());
}

TEST_F(HostTest, ModalFormsBlockTheOtherWindowsAndHintsFloat) {
    bool modalWindow = false;
    Script.AnswerModal([&](TCustomForm* f) {
        modalWindow = f->HostWidget() && f->HostWidget()->windowModality() == Qt::ApplicationModal;
        f->SetModalResult(mrOk);
    });
    EXPECT_EQ(Form->ShowModal(), mrOk);
    EXPECT_TRUE(modalWindow);

    Form->Show();
    A->SetHint("Row");
    A->SetShowHint(true);
    Input::MouseMove(A, 5, 5);
    AdvanceTime(Application()->HintPause);
    THintWindow* hint = Application()->HintWindow();
    ASSERT_NE(hint, nullptr);
    ASSERT_NE(hint->HostWidget(), nullptr);
    EXPECT_TRUE(hint->HostWidget()->isVisible());
    Input::MouseLeave();
    EXPECT_FALSE(hint->HostWidget()->isVisible());
}
