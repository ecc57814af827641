#include "TestKit.h"
#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMessageBox>

TEST_F(ControlsTest, MessageDialogsAreRecordedAndAnsweredByTheScript) {
    Script.Answer(mrNo);
    EXPECT_EQ(MessageDlg("Overwrite the row?", mtConfirmation, mbYesNoCancel), mrNo);
    const TDialogRecord& r = Script.Last();
    EXPECT_EQ(r.Text, "Overwrite the row?");
    EXPECT_EQ(r.Type, mtConfirmation);
    EXPECT_EQ(r.Buttons, QList<int>({mrYes, mrNo, mrCancel}));
    // Unanswered, the first button.
    EXPECT_EQ(MessageDlg("Saved", mtInformation, MsgDlgButtons({mbOK})), mrOk);
    ShowMessage("Hello");
    EXPECT_EQ(Script.Last().Buttons, QList<int>({mrOk}));
    EXPECT_EQ(Script.Count(TDialogKind::MessageBox), 3);
}

TEST_F(ControlsTest, MessageBoxFlagsGiveButtonsIconAndDefault) {
    struct Case { unsigned flags; QList<int> buttons; TMsgDlgType type; int unanswered; };
    const Case cases[] = {
        {MB_OK | MB_ICONERROR, {IDOK}, mtError, IDOK},
        {MB_YESNO | MB_ICONQUESTION, {IDYES, IDNO}, mtConfirmation, IDYES},
        {MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2, {IDYES, IDNO, IDCANCEL}, mtWarning, IDNO},
        {MB_OKCANCEL | MB_ICONINFORMATION, {IDOK, IDCANCEL}, mtInformation, IDOK},
        {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, mtCustom, IDRETRY},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MessageBox("text", "caption", c.flags), c.unanswered);
        EXPECT_EQ(Script.Last().Buttons, c.buttons);
        EXPECT_EQ(Script.Last().Type, c.type);
        EXPECT_EQ(Script.Last().Caption, "caption");
    }
    Script.Answer(IDCANCEL);
    EXPECT_EQ(MessageBox("text", "caption", MB_OKCANCEL), IDCANCEL);
}

TEST_F(ControlsTest, FileAndFolderPromptsTakeTheScriptedName) {
    TSaveDialog save;
    save.Filter = "Electronic Data Sheet|*.eds";
    save.InitialDir = "/projects/P1";
    save.DefaultExt = "eds";
    Script.AnswerFile("/projects/P1/device");
    ASSERT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName, "/projects/P1/device.eds");
    EXPECT_EQ(Script.Last().Kind, TDialogKind::SaveFile);
    EXPECT_EQ(Script.Last().Filter, "Electronic Data Sheet|*.eds");
    EXPECT_EQ(Script.Last().InitialDir, "/projects/P1");

    TOpenDialog open;
    open.FileName = "keep.xml";
    Script.AnswerFile("");  // cancelled
    EXPECT_FALSE(open.Execute());
    EXPECT_EQ(open.FileName, "keep.xml");

    QString dir = "/start";
    Script.AnswerFile("/chosen");
    EXPECT_TRUE(SelectDirectory("Folder", "", dir));
    EXPECT_EQ(dir, "/chosen");
    EXPECT_EQ(Script.Last().InitialDir, "/start");
    EXPECT_FALSE(SelectDirectory("Folder", "", dir)) << "no answer left: cancelled";
}

TEST_F(ControlsTest, EscapeAndTheCloseBoxCannotAnswerAYesNoBox) {
    TDialogRecord rec;
    rec.Text = QStringLiteral("Overwrite M_Bus.xml?");
    rec.Type = mtConfirmation;
    rec.Buttons = {mrYes, mrNo};
    const auto box = CreateMessageBox(rec, 0);
    box->show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(box.get(), &escape);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->clickedButton(), nullptr);
    EXPECT_FALSE(box->close());
    EXPECT_TRUE(box->isVisible());
    // Ended by the toolkit without a click, it answers No, never Cancel.
    EXPECT_EQ(MessageBoxAnswer(*box, rec), mrNo);
    box->buttons().at(0)->click();
    EXPECT_EQ(MessageBoxAnswer(*box, rec), mrYes);

    // With a Cancel button, Escape is Cancel.
    rec.Buttons = {mrYes, mrNo, mrCancel};
    const auto withCancel = CreateMessageBox(rec, 0);
    withCancel->show();
    QKeyEvent escape2(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(withCancel.get(), &escape2);
    EXPECT_FALSE(withCancel->isVisible());
    EXPECT_EQ(MessageBoxAnswer(*withCancel, rec), mrCancel);
}
