// Each kind of window the program makes, shown on a real X server and read
// back from the server's screen: a window that should show text must not be
// uniform or black.
#include "display/ScreenReadBack.h"

#include "app/UComon.h"
#include "app/ULanguage.h"
#include "editors/UKNXAccess.h"
#include "editors/UReceiveJ1939.h"
#include "gridpack/stringgrid/ExCGrid.h"
#include "gridpack/stringgrid/ExGrid.h"
#include "mbus/UInsertKeyWireless.h"
#include "mbus/UModbusStartAdd_SD.h"
#include "mbus/UScanDecode.h"
#include "mbus/UScanModbusStart.h"
#include "gridpack/dropdown/ExCalculator.h"
#include "platform/controls/DateTimePicker.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/FormHost.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/DateTime.h"
#include "platform/core/Files.h"
#include "platform/graphics/ProgramFonts.h"
#include "project/OpenProject.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {


// Runs the program's loop for `ms` of real time: the server needs real time
// to map, expose and show a window.
void PumpFor(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        Application()->ProcessMessages();
        QThread::msleep(5);
    }
}

// Runs the loop until `done` holds, for at most `ms` of real time; answers
// whether it came to hold.
template <class Done>
bool PumpUntil(Done done, int ms = 3000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        Application()->ProcessMessages();
        QThread::msleep(5);
    }
    return true;
}

QRect ScreenRectOf(QWidget* w)
{
    return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
}

// What the screen shows where the window stands, given up to `ms` to show
// something; kept as a PNG under the build folder.
QImage ReadBack(QWidget* w, const QString& name, int ms = 1500)
{
    QImage img;
    QElapsedTimer t;
    t.start();
    do {
        QCoreApplication::processEvents();
        img = ScreenReadBack::GrabScreenRect(ScreenRectOf(w));
        if (ScreenReadBack::ShowsSomething(img))
            break;
        QThread::msleep(20);
    } while (t.elapsed() < ms);
    ScreenReadBack::Keep(img, QStringLiteral("windows"), name);
    return img;
}

// Waits (in the loop the box runs) for the real message box to show, reads
// it back from the screen under `name` and presses its first button. A box
// that does not come within five seconds is a failure; one that stays would
// hold the test, so it is answered in any case.
void AnswerBoxWhenShown(const QString& name, QImage& grab, QString* text = nullptr, int triesLeft = 100)
{
    QTimer::singleShot(50, [=, &grab] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (triesLeft > 0)
                AnswerBoxWhenShown(name, grab, text, triesLeft - 1);
            else
                ADD_FAILURE() << "no message box came for " << qPrintable(name);
            return;
        }
        // Give the server a moment to map and show the box.
        QTimer::singleShot(250, box, [=, &grab] {
            if (text)
                *text = box->text();
            grab = ReadBack(box, name);
            if (!box->buttons().isEmpty())
                box->buttons().first()->click();
            else
                box->reject();
        });
    });
}

class WindowsOnScreen : public ::testing::Test {
protected:
    // The toolkit as the program starts it (its faces registered).
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "kal_display_test";
        static char* argv[] = {name, nullptr};
        InitializeToolkit(argc, argv);
    }
    void SetUp() override
    {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb")) << "needs a real X server";
        SetFormHostsEnabled(true);
    }
};

// The program's start-up registers the metric-compatible Tahoma a Debian
// machine keeps outside its font folders, and maps Segoe UI to it.
TEST_F(WindowsOnScreen, TheProgramsStartUpRegistersTheCompatibleTahoma)
{
    if (!QFileInfo::exists(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf")))
        GTEST_SKIP() << "fonts-wine is not installed";
    EXPECT_TRUE(TProgramFonts::TahomaAvailable());
    EXPECT_EQ(TProgramFonts::ResolvedFamily(QStringLiteral("Tahoma")), QStringLiteral("Tahoma"));
    EXPECT_EQ(TProgramFonts::ResolvedFamily(QStringLiteral("Segoe UI")), QStringLiteral("Tahoma"));
}

TForm* NewTextForm(const QString& text)
{
    auto* f = NewObject<TForm>(nullptr);
    f->SetBounds(100, 100, 300, 160);
    f->SetCaption(QStringLiteral("A form"));
    auto* l = NewObject<TLabel>(f);
    l->SetParent(f);
    l->SetBounds(20, 20, 200, 20);
    l->SetCaption(text);
    return f;
}

TEST_F(WindowsOnScreen, AFormShowsItsText)
{
    TForm* f = NewTextForm(QStringLiteral("Hello from a form"));
    f->Show();
    PumpFor(200);
    const QImage img = ReadBack(f->HostWidget(), QStringLiteral("form"));
    EXPECT_TRUE(ScreenReadBack::ShowsSomething(img));
    delete f;
}

TEST_F(WindowsOnScreen, AModalFormShowsItsText)
{
    TForm* f = NewTextForm(QStringLiteral("Hello from a modal form"));
    QImage img;
    QTimer::singleShot(300, [&] {
        img = ReadBack(f->HostWidget(), QStringLiteral("modal_form"));
        f->SetModalResult(mrOk);
    });
    EXPECT_EQ(f->ShowModal(), mrOk);
    EXPECT_TRUE(ScreenReadBack::ShowsSomething(img));
    delete f;
}

TEST_F(WindowsOnScreen, MessageBoxesOfEachKindShowTheirText)
{
    struct Case {
        TMsgDlgType Type;
        const char* Name;
    };
    const Case cases[] = {{mtError, "box_error"}, {mtWarning, "box_warning"}, {mtInformation, "box_information"},
                          {mtConfirmation, "box_confirmation"}, {mtCustom, "box_plain"}};
    TForm* owner = NewTextForm(QStringLiteral("The owner"));
    owner->Show();
    PumpFor(200);
    for (const Case& c : cases) {
        QImage img;
        AnswerBoxWhenShown(QString::fromLatin1(c.Name), img);
        MessageDlg(QStringLiteral("Error in row 2!! PGN must be between 0x0000 and 0xFFFF"), c.Type,
                   MsgDlgButtons({mbOK}));
        EXPECT_TRUE(ScreenReadBack::ShowsSomething(img)) << c.Name;
    }
    delete owner;
}

} // namespace

namespace {

// The pop-up windows: a hint, a drop-down editor's popup and the date/time
// picker's calendar, each a frameless window of its own over its form.
TEST_F(WindowsOnScreen, PopupsShowTheirContents)
{
    TForm* owner = NewTextForm(QStringLiteral("The owner"));
    owner->SetBounds(100, 100, 500, 400);
    auto* calc = NewObject<TExCalculatorDropdown>(owner);
    calc->SetParent(owner);
    calc->SetBounds(20, 60, 200, 21);
    calc->SetText(QStringLiteral("0"));
    auto* date = new TDateTimePicker(owner);
    date->SetParent(owner);
    date->SetBounds(260, 60, 160, 22);
    date->SetDateTime(EncodeDate(2026, 12, 10));
    owner->Show();
    PumpFor(300);

    auto* hint = NewObject<THintWindow>(owner);
    const TRect hr = hint->CalcHintRect(300, QStringLiteral("A hint over the form"), nullptr);
    hint->ActivateHint(Rect(150, 130, 150 + hr.Width(), 130 + hr.Height()), QStringLiteral("A hint over the form"));
    PumpFor(300);
    ASSERT_NE(hint->HostWidget(), nullptr);
    EXPECT_TRUE(ScreenReadBack::ShowsSomething(ReadBack(hint->HostWidget(), QStringLiteral("hint"))));
    hint->ReleaseHandle();

    calc->SetFocus();
    calc->ShowDropDown();
    PumpFor(300);
    ASSERT_TRUE(calc->DroppedDown());
    ASSERT_NE(calc->DropDownForm()->HostWidget(), nullptr);
    EXPECT_TRUE(ScreenReadBack::ShowsSomething(ReadBack(calc->DropDownForm()->HostWidget(), QStringLiteral("dropdown_calculator"))));
    calc->HideDropDown(true);
    PumpFor(100);

    date->SetFocus();
    date->DropDown();
    PumpFor(300);
    ASSERT_TRUE(date->DroppedDown());
    TCustomForm* calendar = GetParentForm(date->MonthCalendar());
    ASSERT_NE(calendar, nullptr);
    ASSERT_NE(calendar->HostWidget(), nullptr);
    EXPECT_TRUE(ScreenReadBack::ShowsSomething(ReadBack(calendar->HostWidget(), QStringLiteral("date_picker_calendar"))));
    date->CloseUp(false);
    PumpFor(100);
    delete owner;
}


// A grid scrolled a row at a time (with a hint over it for part of the way)
// shows on the server what a full repaint of the form shows: the window's
// moved pixels, the strips painted after each move and what the hint
// covered all agree with the form's picture.
TEST_F(WindowsOnScreen, AScrolledGridShowsWhatAFullRepaintShows)
{
    TForm* owner = NewTextForm(QStringLiteral("Scrolling"));
    owner->SetBounds(100, 100, 520, 380);
    auto* grid = NewObject<TExStringGrid>(owner);
    grid->SetParent(owner);
    grid->SetBounds(10, 40, 480, 300);
    grid->SetColCount(4);
    grid->SetRowCount(300);
    for (int r = 0; r < 300; ++r)
        for (int c = 0; c < 4; ++c)
            grid->SetCells(c, r, QStringLiteral("r%1 c%2").arg(r).arg(c));
    owner->Show();
    PumpFor(300);
    ASSERT_NE(owner->HostWidget(), nullptr);
    const QImage before = ReadBack(owner->HostWidget(), QStringLiteral("scroll_before"));

    auto* hint = NewObject<THintWindow>(owner);
    const TRect hr = hint->CalcHintRect(300, QStringLiteral("A hint over the grid"), nullptr);
    for (int step = 0; step < 12; ++step) {
        if (step == 3)
            hint->ActivateHint(Rect(200, 250, 200 + hr.Width(), 250 + hr.Height()),
                               QStringLiteral("A hint over the grid"));
        if (step == 8)
            hint->ReleaseHandle();
        grid->SetTopRow(grid->TopRow() + 1);
        PumpFor(40);
    }
    ASSERT_EQ(grid->TopRow(), 13);
    PumpFor(200);
    const QImage scrolled = ReadBack(owner->HostWidget(), QStringLiteral("scroll_after"));
    EXPECT_GT(ScreenReadBack::Differing(before, scrolled), 0) << "the grid did not move on the screen";

    owner->Invalidate();
    PumpFor(300);
    const QImage full = ReadBack(owner->HostWidget(), QStringLiteral("scroll_full_repaint"));
    EXPECT_EQ(ScreenReadBack::Differing(scrolled, full), 0);
    delete owner;
}

// A pop-up with a picture of its own alpha (the platform's layered window)
// asks the server for no alpha channel: it shows the picture's opaque pixels,
// and where the picture is transparent the window is a hole through which
// what lies below shows. So does a colour-key window's key colour.
TEST_F(WindowsOnScreen, ALayeredPopupShowsItsPictureAndItsHoles)
{
    auto* owner = NewObject<TForm>(nullptr);
    owner->SetBorderStyle(bsNone);
    owner->SetColor(clWhite);
    owner->SetBounds(100, 100, 300, 200);
    owner->Show();
    PumpFor(200);

    QImage picture(60, 40, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            if (x < 4 || y < 4 || x >= 56 || y >= 36)
                picture.setPixel(x, y, qRgba(255, 0, 0, 255));
    auto* layered = NewObject<TPopupForm>(owner);
    layered->SetBounds(150, 150, 60, 40);
    layered->SetLayeredImage(picture);
    layered->Show();

    auto* keyed = NewObject<TPopupForm>(owner);
    keyed->SetColor(clLime);
    keyed->SetBounds(250, 150, 60, 40);
    SetLayeredWindowAttributes(keyed, clLime, 255, LWA_COLORKEY);
    keyed->Show();
    PumpFor(400);

    const QImage a = ReadBack(layered->HostWidget(), QStringLiteral("layered_popup"));
    ASSERT_EQ(a.size(), QSize(60, 40));
    EXPECT_EQ(a.pixel(1, 1) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(a.pixel(30, 20) & 0xFFFFFF, 0xFFFFFFu); // the owner's white through the hole
    const QImage k = ScreenReadBack::GrabScreenRect(QRect(250, 150, 60, 40));
    ScreenReadBack::Keep(k, QStringLiteral("windows"), QStringLiteral("colour_key_popup"));
    EXPECT_EQ(k.pixel(30, 20) & 0xFFFFFF, 0xFFFFFFu);
    delete owner;
}
} // namespace

namespace {

// ---------------------------------------------------------------------------
// The program's own windows: the editors and the Scan & Decode window, shown
// modally as the main window shows them, driven by the X server's own keys.

// Presses keys through the X server (xdotool), as a person's keyboard does.
void PressKeys(const QStringList& keys)
{
    QProcess::execute(QStringLiteral("xdotool"), QStringList{QStringLiteral("key"), QStringLiteral("--delay"),
                                                             QStringLiteral("60")} + keys);
}

void ClickAt(QPoint screen)
{
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("mousemove"), QString::number(screen.x()), QString::number(screen.y()),
                       QStringLiteral("click"), QStringLiteral("1")});
}

class ProgramWindowsOnScreen : public WindowsOnScreen {
protected:
    void SetUp() override
    {
        WindowsOnScreen::SetUp();
        ASSERT_TRUE(Tmp.isValid());
        Load_Default_Texts();
        Saved_Dir = Dir_Project;
        Saved_Code = SW_Code;
        Saved_Model = Model_Code;
        Saved_Files = {File_KNX_SetAccess, File_ParGen, File_J1939_Rec_Frames};
        Dir_Project = Tmp.path();
        SW_Code = QStringLiteral("CF31A06");
        Model_Code = 9;
        File_KNX_SetAccess = PathJoin(Tmp.path(), QStringLiteral("KNX_SetAccess.xml"));
        File_ParGen = PathJoin(Tmp.path(), QStringLiteral("ParGen.xml"));
        File_J1939_Rec_Frames = PathJoin(Tmp.path(), QStringLiteral("J1939_Rec_Frames.xml"));
    }
    void TearDown() override
    {
        Dir_Project = Saved_Dir;
        SW_Code = Saved_Code;
        Model_Code = Saved_Model;
        File_KNX_SetAccess = Saved_Files[0];
        File_ParGen = Saved_Files[1];
        File_J1939_Rec_Frames = Saved_Files[2];
        SetFocusedWindowQuietly(nullptr);
    }
    QTemporaryDir Tmp;
    QString Saved_Dir, Saved_Code;
    QStringList Saved_Files;
    int Saved_Model = 9;
};

TEST_F(ProgramWindowsOnScreen, TheReceiveEditorsPgnBoxShowsItsText)
{
    auto* rec = new TFReceiveJ1939(nullptr);
    rec->AfterConstruction();
    QImage box;
    QString boxText;
    int result = 0;
    QTimer::singleShot(400, [&] {
        rec->Set_Cell(1, 1, QStringLiteral("0"));
        rec->Set_Cell(2, 1, QStringLiteral("70000"));
        AnswerBoxWhenShown(QStringLiteral("receive_editor_pgn_box"), box, &boxText);
        rec->Btn_OKClick(nullptr);
        rec->SetModalResult(mrCancel);
    });
    result = rec->ShowModal();
    EXPECT_EQ(result, mrCancel);
    EXPECT_TRUE(boxText.contains(QStringLiteral("PGN must be between 0x0000 and 0xFFFF"))) << qPrintable(boxText);
    EXPECT_TRUE(ScreenReadBack::ShowsSomething(box));
    delete rec;
}

TEST_F(ProgramWindowsOnScreen, TheKnxPriorityListShowsItsTextStepsWithDownAndCommitsWithReturn)
{
    auto* knx = new TFKNXAccess(nullptr);
    knx->AfterConstruction();
    QImage list, editor;
    QString after;
    bool wasDropped = false;
    int start = -1;
    QTimer::singleShot(400, [&] {
        editor = ReadBack(knx->HostWidget(), QStringLiteral("knx_editor"));
        TExColumnGrid* g = knx->ACG_KNX_in_Write;
        const TRect cell = g->CellRect(KA_Priority, 1);
        const TPoint at = g->ClientToScreen(Point(cell.Left + 5, (cell.Top + cell.Bottom) / 2));
        ClickAt(QPoint(at.X, at.Y));
        PumpUntil([&] { return g->Col() == KA_Priority && g->Row() == 1; });
        PressKeys({QStringLiteral("F2"), QStringLiteral("alt+Down")});
        PumpUntil([&] { return g->Combobox() && g->Combobox()->DroppedDown(); });
        if (TGridCombo* cb = g->Combobox(); cb && cb->DroppedDown()) {
            wasDropped = true;
            start = cb->ItemIndex();
            list = ReadBack(cb->ListWindow()->HostWidget(), QStringLiteral("knx_priority_list"));
        }
        PressKeys({QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")});
        PumpUntil([&] { return !g->Combobox()->DroppedDown(); });
        PumpFor(100);
        after = knx->Cell(KA_Priority, 1);
        knx->SetModalResult(mrCancel);
    });
    knx->ShowModal();
    EXPECT_TRUE(ScreenReadBack::ShowsSomething(editor));
    EXPECT_TRUE(wasDropped);
    EXPECT_TRUE(ScreenReadBack::ShowsSomething(list));
    // The list opens on the item its editor shows (the first for an empty
    // cell): two steps down from there.
    const QStringList items = {QStringLiteral("System"), QStringLiteral("Urgent"), QStringLiteral("Normal"),
                               QStringLiteral("Low")};
    ASSERT_GE(start, 0);
    EXPECT_EQ(after, items.value(std::min(start + 2, 3)));
    delete knx;
}

TEST_F(ProgramWindowsOnScreen, TheScanByListShowsBothItemsAndTakesDownAndReturn)
{
    auto* key = new TFInsertKeyWireless(nullptr);
    key->AfterConstruction();
    auto* start = new TFScanModbusStart(nullptr);
    start->AfterConstruction();
    auto* perNode = new TFModbusStartAdd_SD(nullptr);
    perNode->AfterConstruction();
    auto* w = new TFScanDecode(nullptr);
    w->AfterConstruction();
    w->XML_Code_Dev = 15;
    w->Form_Type = 1;
    w->FileName_MBus = PathJoin(Tmp.path(), QStringLiteral("M_Bus.xml"));
    QImage list;
    int listHeight = 0, items = 0, before = -1, after = -1;
    QTimer::singleShot(400, [&] {
        TComboBox* cb = w->CB_ScanBy;
        before = cb->ItemIndex();
        const TPoint at = cb->ClientToScreen(Point(cb->Width() / 2, cb->Height() / 2));
        ClickAt(QPoint(at.X, at.Y));
        PumpUntil([&] { return cb->DroppedDown(); });
        if (cb->DroppedDown()) {
            QWidget* lw = cb->ListWindow()->HostWidget();
            listHeight = lw->height();
            items = cb->Items()->Count();
            list = ReadBack(lw, QStringLiteral("scan_by_list"));
        }
        PressKeys({QStringLiteral("Down"), QStringLiteral("Return")});
        PumpUntil([&] { return !cb->DroppedDown(); });
        PumpFor(100);
        after = cb->ItemIndex();
        w->SetModalResult(mrCancel);
    });
    w->ShowModal();
    EXPECT_TRUE(ScreenReadBack::ShowsSomething(list));
    EXPECT_EQ(items, 2);
    // Tall enough for both items and the list's frame.
    EXPECT_GE(listHeight, 2 * w->CB_ScanBy->ItemHeight() + 2);
    EXPECT_EQ(before, 0);
    EXPECT_EQ(after, 1);
    delete w;
    delete perNode;
    delete start;
    delete key;
}

} // namespace
