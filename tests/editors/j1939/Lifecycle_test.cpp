// Creation, showing, Cancel and OK of both editors, files that are missing,
// malformed or cannot be written, and the two steps of the main window.
#include "J1939Kit.h"

#include "app/UKalmetoreFirmWare.h"
#include "editors/EditorSteps.h"
#include "platform/controls/Input.h"
#include "platform/controls/StdMessages.h"
#include "platform/sys/LinkOpener.h"

#include <QDir>
#include <QFileInfo>

#include <functional>

TEST_F(J1939Test, CreationFixesSizesCodeAndTexts)
{
    EXPECT_EQ(Rec->ClientWidth(), 876);
    EXPECT_EQ(Rec->ClientHeight(), 337);
    EXPECT_EQ(Send->ClientWidth(), 800);
    EXPECT_EQ(Send->ClientHeight(), 337);
    EXPECT_EQ(Rec->L_SW_Code->Caption(), "CF31A06");
    EXPECT_EQ(Rec->Caption(), "Receive J1939 Frames");
    EXPECT_EQ(Send->L_SW_Desc->Caption(), "Transmit J1939 Frames");
    EXPECT_EQ(Rec->Btn_DelRow->Caption(), "Delete Row");
    EXPECT_EQ(Send->Btn_InsRow->Caption(), "Insert Row");
    EXPECT_EQ(Rec->sga->RowCount(), 63);
    EXPECT_EQ(Rec->sga->ColCount(), 11);
    EXPECT_EQ(Send->sga->ColCount(), 11);
    QStringList rec, send;
    for (int c = 0; c < 11; ++c) {
        rec << Rec->Cell(c, 0);
        send << Send->Cell(c, 0);
    }
    EXPECT_EQ(rec, QStringList({"N°", "Data Page", "PGN", "Source Address", "Transport Protocol", "Start Byte",
                                "N° Byte", "Cancel Data", "On Request", "Time(ms)", "Mnemonic"}));
    EXPECT_EQ(send, QStringList({"N°", "Priority", "Data Page", "PGN", "Source Address", "Num Byte", "Request",
                                 "Data Change", "On Timer", "Send Timer", "Mnemonic"}));
    EXPECT_EQ(Rec->sga->ColWidths(4), 113);
    EXPECT_EQ(Send->sga->ColWidths(10), 115);
    // Editor kinds, combo items and colours reach the column items.
    auto* rdp = Rec->sga->Columns()->Items(RJ_DP);
    EXPECT_EQ(rdp->Editor(), edComboList);
    ASSERT_EQ(rdp->ComboItems()->Count(), 2);
    EXPECT_EQ(rdp->ComboItems()->Strings(1), "1");
    EXPECT_EQ(rdp->Color(), TColor(0xFEFAE0));
    EXPECT_EQ(rdp->Header(), "Data Page");
    for (int c : {RJ_TP, RJ_Delete, RJ_OnRequest})
        EXPECT_EQ(Rec->sga->Columns()->Items(c)->Editor(), edDataCheckBox) << c;
    EXPECT_EQ(Rec->sga->Columns()->Items(RJ_OnRequest)->Color(), TColor(0xB0D8FF));
    for (int c : {TJ_On_Request, TJ_On_Data_Change, TJ_On_Timer})
        EXPECT_EQ(Send->sga->Columns()->Items(c)->Editor(), edDataCheckBox) << c;
    EXPECT_EQ(Send->sga->Columns()->Items(TJ_Priority)->Editor(), edNormal);
    EXPECT_EQ(Send->sga->Columns()->Items(TJ_Mnemonic)->Color(), clWhite);
}

TEST_F(J1939Test, TheDialogsRenderForAPerson)
{
    const QString dir = PathJoin(QStringLiteral(KAL_BUILD_DIR), QStringLiteral("screens"));
    ASSERT_TRUE(ForceDirectories(dir));
    WriteRec("<row DP=\"0\" PGN=\"61444\" SA=\"0\" TP=\"Y\" TP_Start=\"0\" TP_NByte=\"8\" OnRequest=\"Y\"/>");
    Rec->FormShow(nullptr);
    Send->FormShow(nullptr);
    RenderFormToPng(Rec, PathJoin(dir, QStringLiteral("receive_j1939.png")));
    RenderFormToPng(Send, PathJoin(dir, QStringLiteral("transmit_j1939.png")));
    EXPECT_TRUE(FileExists(PathJoin(dir, QStringLiteral("receive_j1939.png"))));
}

TEST_F(J1939Test, WithoutAFileTheRowsAreNumberedAndEmptyAndOkCreatesIt)
{
    for (TFMapEditor* f : {static_cast<TFMapEditor*>(Rec), static_cast<TFMapEditor*>(Send)}) {
        f->Set_Cell(3, 5, "left over");
        f->FormShow(nullptr);
        EXPECT_TRUE(Script.Shown.isEmpty());
        for (int r = 1; r <= 62; ++r) {
            ASSERT_EQ(f->Cell(0, r), QString::number(r));
            ASSERT_EQ(RowOf(f, r), QStringList(10, QString())) << r;
        }
        ASSERT_TRUE(Ok(f));
        EXPECT_EQ(Read(*f->Info().File), QByteArray("<Receive_J1939 />\n<!--SW_VERSION = 1.100-->\n"));
    }
}

TEST_F(J1939Test, CancelWritesNothingAndTheNextShowingReloads)
{
    const QByteArray file = "<Receive_J1939><row DP=\"0\" PGN=\"7\"/></Receive_J1939>";
    Write(File_J1939_Rec_Frames, file);
    Script.AnswerModal([this](TCustomForm* f) {
        EXPECT_EQ(f, Rec);
        EXPECT_EQ(Rec->Cell(RJ_PGN, 1), "7");
        Rec->Set_Cell(RJ_PGN, 1, "8");
        Rec->Set_Cell(RJ_PGN, 2, "9");
        Rec->Btn_Cancel->Click();
    });
    EXPECT_EQ(Rec->ShowModal(), mrCancel);
    EXPECT_EQ(Read(File_J1939_Rec_Frames), file);
    Rec->FormShow(nullptr);
    EXPECT_EQ(Rec->Cell(RJ_PGN, 1), "7");
    EXPECT_EQ(Rec->Cell(RJ_PGN, 2), "");
}

TEST_F(J1939Test, OkThroughTheButtonClosesWithOk)
{
    Script.AnswerModal([this](TCustomForm*) {
        Fill(Send, 1, {"6", "0", "61444", "0", "8", "N", "Y", "N", "", ""});
        Send->Btn_OK->Click();
    });
    EXPECT_EQ(Send->ShowModal(), mrOk);
    EXPECT_TRUE(Read(File_J1939_Send_Frames).contains("PGN=\"61444\""));
}

TEST_F(J1939Test, AMalformedFileShowsTheParserErrorAndOkOverwritesIt)
{
    Write(File_J1939_Rec_Frames, "<Receive_J1939><row DP=\"0\" PGN=\"7\"/><row");
    Rec->Set_Cell(RJ_PGN, 1, "left over");
    Rec->FormShow(nullptr);
    ASSERT_EQ(Script.Shown.size(), 1);
    EXPECT_EQ(Script.Last().Type, mtError);
    EXPECT_FALSE(Script.Last().Text.isEmpty());
    EXPECT_EQ(Rec->Cell(RJ_PGN, 1), "");
    EXPECT_EQ(Rec->Cell(0, 1), "1");
    Fill(Rec, 1, {"1", "100", "0", "N", "", "", "N", "N", "1000", ""});
    ASSERT_TRUE(Ok(Rec));
    EXPECT_TRUE(Read(File_J1939_Rec_Frames).startsWith("<Receive_J1939>\n\t<row DP=\"1\" PGN=\"100\""));
}

// A damaged file is replaced by OK only once it is kept beside itself, as the
// message at load says; an earlier kept file is never overwritten.
TEST_F(J1939Test, ADamagedFileIsKeptBesideTheTableOkWrites)
{
    struct TCase {
        const char* What;
        QByteArray Bytes;
        const char* Reason;
    };
    const TCase cases[] = {
        {"cut off", "<Receive_J1939><row DP=\"0\" PGN=\"7\"/><row", "line 1"},
        {"not UTF-8", "<Receive_J1939>\n<row DP=\"0\" PGN=\"7\" Mnemonic=\"caf\xE9\"/>\n</Receive_J1939>",
         "line 2, column 34: the byte E9 is not UTF-8 text"},
        {"FF and FE", "<Receive_J1939><row Mnemonic=\"\xFF\xFE\"/></Receive_J1939>", "the byte FF is not UTF-8"},
    };
    const QString kept = File_J1939_Rec_Frames + ".damaged";
    QStringList keptNames;
    for (const TCase& c : cases) {
        const QString name = keptNames.isEmpty() ? kept : QStringLiteral("%1.%2").arg(kept).arg(keptNames.size());
        keptNames << name;
        Script.Shown.clear();
        Write(File_J1939_Rec_Frames, c.Bytes);
        Rec->FormShow(nullptr);
        ASSERT_EQ(Script.Shown.size(), 1) << c.What;
        const QString text = Script.Last().Text;
        EXPECT_EQ(Script.Last().Type, mtError);
        EXPECT_TRUE(text.startsWith(File_J1939_Rec_Frames + ": ")) << text.toStdString();
        EXPECT_TRUE(text.contains(c.Reason)) << text.toStdString();
        EXPECT_TRUE(text.endsWith("OK replaces this file with the table shown, and keeps the file as it is now as \"" +
                                  name + "\"."))
            << text.toStdString();
        EXPECT_EQ(Rec->Cell(RJ_PGN, 1), "");
        // Cancel keeps everything as it was.
        Rec->FormShow(nullptr);
        EXPECT_EQ(Read(File_J1939_Rec_Frames), c.Bytes);
        EXPECT_FALSE(QFile::exists(name));

        Fill(Rec, 1, {"1", "100", "0", "N", "", "", "N", "N", "1000", ""});
        ASSERT_TRUE(Ok(Rec)) << LastMessage().toStdString();
        EXPECT_EQ(Read(name), c.Bytes) << c.What;
        EXPECT_TRUE(Read(File_J1939_Rec_Frames).startsWith("<Receive_J1939>\n\t<row DP=\"1\" PGN=\"100\""));
    }
    // Every damaged file is still there, each under its own name.
    EXPECT_EQ(Read(kept), cases[0].Bytes);
    EXPECT_EQ(Read(kept + ".2"), cases[2].Bytes);
    // A good file loads without a word and OK keeps nothing more.
    Script.Shown.clear();
    Rec->FormShow(nullptr);
    EXPECT_TRUE(Script.Shown.isEmpty());
    ASSERT_TRUE(Ok(Rec));
    EXPECT_FALSE(QFile::exists(kept + ".3"));
}

// Something that stands at the file's name but cannot be read is named with
// the reason, never taken for a missing file.
TEST_F(J1939Test, AFileThatCannotBeReadIsNamedWithTheReason)
{
    struct TCase {
        const char* What;
        std::function<void(const QString&)> Make;
        const char* Reason;
    };
    const TCase cases[] = {
        {"a folder", [](const QString& p) { ASSERT_TRUE(QDir().mkdir(p)); }, "it is a folder"},
        {"a link to nothing", [this](const QString& p) { ASSERT_TRUE(QFile::link(Tmp.path() + "/gone.xml", p)); },
         "it is a link to a file that does not exist"},
    };
    for (const TCase& c : cases) {
        Script.Shown.clear();
        c.Make(File_J1939_Send_Frames);
        Send->Set_Cell(TJ_PGN, 1, "left over");
        Send->FormShow(nullptr);
        ASSERT_EQ(Script.Shown.size(), 1) << c.What;
        EXPECT_EQ(Script.Last().Type, mtError);
        EXPECT_EQ(Script.Last().Text,
                  QStringLiteral("Cannot read file \"%1\": %2.").arg(File_J1939_Send_Frames, c.Reason));
        EXPECT_EQ(Send->Cell(TJ_PGN, 1), "");
        QDir().rmdir(File_J1939_Send_Frames);
        QFile::remove(File_J1939_Send_Frames);
    }
    // OK cannot put a file in a folder's place: it says why and stays open.
    ASSERT_TRUE(QDir().mkdir(File_J1939_Send_Frames));
    Send->FormShow(nullptr);
    Fill(Send, 1, {"6", "0", "1", "0", "8", "N", "N", "N", "", ""});
    EXPECT_FALSE(Ok(Send));
    EXPECT_TRUE(LastMessage().contains(File_J1939_Send_Frames)) << LastMessage().toStdString();
    EXPECT_TRUE(LastMessage().contains("Is a directory")) << LastMessage().toStdString();
    EXPECT_TRUE(QFileInfo(File_J1939_Send_Frames).isDir());
}

// A row without its key in the middle of the file ends the table at OK (the
// rows after it are not saved): the load says which row, so the user can
// fill it in or cancel.
TEST_F(J1939Test, ARowWithoutItsKeyIsSaidAtLoad)
{
    const QByteArray row = "<row DP=\"0\" PGN=\"%1\" SA=\"1\"/>";
    WriteRec(QByteArray(row).replace("%1", "1") + QByteArray(row).replace("%1", "2") +
             QByteArray(row).replace("%1", "3") + "<row/>" + QByteArray(row).replace("%1", "5"));
    Rec->FormShow(nullptr);
    ASSERT_EQ(Script.Shown.size(), 1);
    EXPECT_EQ(Script.Last().Type, mtWarning);
    EXPECT_EQ(Script.Last().Text, File_J1939_Rec_Frames +
                                      ": row 4 has no PGN, so the table ends there: OK does not save rows 4 to 5. "
                                      "Fill in row 4, or press Cancel to keep the file as it is.");
    // Filled in, every row is saved.
    Fill(Rec, 4, {"0", "4", "1"});
    ASSERT_TRUE(Ok(Rec)) << LastMessage().toStdString();
    EXPECT_EQ(Read(File_J1939_Rec_Frames).count("<row "), 5);
    // A file that ends with its table says nothing.
    Script.Shown.clear();
    Rec->FormShow(nullptr);
    EXPECT_TRUE(Script.Shown.isEmpty());
}

TEST_F(J1939Test, AFileThatCannotBeWrittenIsReportedAndTheDialogStaysOpen)
{
    File_J1939_Send_Frames = PathJoin(Tmp.path(), QStringLiteral("gone/J1939_Send_Frames.xml"));
    Send->FormShow(nullptr);
    Fill(Send, 1, {"6", "0", "1", "0", "8", "N", "N", "N", "", ""});
    EXPECT_FALSE(Ok(Send));
    ASSERT_EQ(Script.Shown.size(), 1);
    EXPECT_FALSE(Script.Last().Text.isEmpty());
    EXPECT_EQ(Send->Cell(TJ_PGN, 1), "1");
    EXPECT_FALSE(QDir(PathJoin(Tmp.path(), QStringLiteral("gone"))).exists());
}

namespace {

// The main window of model 9 in a program folder of its own.
class J1939Steps : public J1939Test {
protected:
    void SetUp() override
    {
        J1939Test::SetUp();
        Saved_Model = Model_Code;
        Start_Model9_Program_In(Program.path());
        Main = new TFKalmetoreFirmWare(nullptr);
        Main->AfterConstruction();
        Register_Editor_Steps();
    }
    void TearDown() override
    {
        Clear_Language_Listeners();
        Clear_Steps();
        delete Main;
        FKalmetoreFirmWare = nullptr;
        Set_Program_Start_Folder(QString());
        Sys::SetLinks(nullptr);
        Model_Code = Saved_Model;
        J1939Test::TearDown();
    }
    QTemporaryDir Program;
    TFKalmetoreFirmWare* Main = nullptr;
    int Saved_Model = 9;
};

} // namespace

TEST_F(J1939Steps, TheTwoStepsOpenTheirDialogsOnlyWithAProject)
{
    ASSERT_FALSE(Project_Is_Open());
    for (TMainButton b : {TMainButton::J1939_Rec_Frame, TMainButton::J1939_Send_Frame}) {
        Script.Shown.clear();
        Main->Button(b)->Click();
        ASSERT_EQ(Script.Shown.size(), 1);
        EXPECT_EQ(Script.Last().Text, "Error! Project not Valid");
    }

    ASSERT_TRUE(ForceDirectories(PathJoin(Dir_Projects, QStringLiteral("T1"))));
    ASSERT_TRUE(Open_Project_Named(QStringLiteral("T1")));
    Write(File_J1939_Rec_Frames, "<Receive_J1939><row DP=\"0\" PGN=\"42\"/></Receive_J1939>");
    Script.Shown.clear();
    TCustomForm* shown = nullptr;
    Script.AnswerModal([&shown](TCustomForm* f) {
        shown = f;
        f->SetModalResult(mrCancel);
    });
    Main->Button(TMainButton::J1939_Rec_Frame)->Click();
    EXPECT_EQ(shown, Rec);
    EXPECT_EQ(Rec->Cell(RJ_PGN, 1), "42");
    Script.AnswerModal([&shown](TCustomForm* f) {
        shown = f;
        static_cast<TFTransmitJ1939*>(f)->Btn_OK->Click();
    });
    Main->Button(TMainButton::J1939_Send_Frame)->Click();
    EXPECT_EQ(shown, Send);
    EXPECT_TRUE(Script.Shown.isEmpty() || Script.Last().Kind == TDialogKind::ModalForm);
    EXPECT_EQ(Read(PathJoin(Dir_Project, QStringLiteral("J1939_Send_Frames.xml"))),
              QByteArray("<Receive_J1939 />\n<!--SW_VERSION = 1.100-->\n"));
}

TEST_F(J1939Steps, TheLanguageChangeRetextsBothDialogs)
{
    Texts[673] = QStringLiteral("PGN (rx)");
    Texts[692] = QStringLiteral("Senden");
    Texts[697] = QStringLiteral("Zeile einfügen");
    Main->Change_Language();
    EXPECT_EQ(Rec->Cell(RJ_PGN, 0), "PGN (rx)");
    EXPECT_EQ(Send->Caption(), "Senden");
    EXPECT_EQ(Send->Btn_InsRow->Caption(), "Zeile einfügen");
}

// Typing into a plain cell goes through the grid's own text editor.
TEST_F(J1939Test, TypedCellsReachTheFileThroughOk)
{
    Rec->Show();
    DrainPostedMessages();
    Rec->sga->SetFocus();
    Rec->sga->SetRow(1);
    Rec->sga->SetCol(RJ_PGN);
    for (QChar ch : QStringLiteral("0xF004")) {
        Input::Char(ch);
        DrainPostedMessages();
    }
    Input::KeyStroke(VK_RETURN, 0);
    DrainPostedMessages();
    EXPECT_EQ(Rec->Cell(RJ_PGN, 1), "0xF004");
    // The data page is a drop-down list; its cell is set as the list would.
    Rec->Set_Cell(RJ_DP, 1, "0");
    Rec->Set_Cell(RJ_SA, 1, "0");
    Rec->Btn_OK->Click();
    EXPECT_EQ(Rec->ModalResult(), mrOk);
    EXPECT_TRUE(Read(File_J1939_Rec_Frames).contains("<row DP=\"0\" PGN=\"0xF004\" SA=\"0\""));
    Rec->Hide();
}

// Escape is the Cancel button's key: the editor closes and its file keeps
// every byte, whatever was typed in the grid.
TEST_F(J1939Test, EscapeClosesEitherEditorWithNothingWritten)
{
    WriteRec("<row DP=\"0\" PGN=\"61444\" SA=\"0\" TP=\"Y\" TP_Start=\"0\" TP_NByte=\"8\" OnRequest=\"Y\"/>");
    WriteSend("<row Priority=\"6\" DP=\"0\" PGN=\"61444\" SA=\"0\" NByte=\"8\"/>");
    for (TFMapEditor* f : {static_cast<TFMapEditor*>(Rec), static_cast<TFMapEditor*>(Send)}) {
        const QByteArray before = Read(*f->Info().File);
        bool answered = false;
        Script.AnswerModal([&](TCustomForm* shown) {
            ASSERT_EQ(shown, f);
            f->Set_Cell(3, 1, QStringLiteral("256"));
            f->Set_Cell(3, 2, QStringLiteral("512"));
            ASSERT_TRUE(FocusedControl());
            Input::KeyStroke(VK_ESCAPE);
            answered = f->ModalResult() == mrCancel;
        });
        EXPECT_EQ(f->ShowModal(), mrCancel);
        EXPECT_TRUE(answered) << f->Caption().toStdString() << ": Escape did not cancel";
        EXPECT_EQ(Read(*f->Info().File), before);
        EXPECT_TRUE(Messages().isEmpty());
    }
}
