#include "TestKit.h"

#include <QFile>
#include <thread>

class FormsTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        NewForm();
        Edit = new TProbe(Form, Form, "E", &Log, DLGC_WANTCHARS | DLGC_WANTARROWS);
        Ok = new TTestButton(Form, Form, "OK");
        Ok->ModalResult = mrOk;
        Ok->Default = true;
        Cancel = new TTestButton(Form, Form, "Cancel");
        Cancel->ModalResult = mrCancel;
        Cancel->Cancel = true;
    }
    TProbe* Edit;
    TTestButton *Ok, *Cancel;
};

TEST_F(FormsTest, ModalFormsEndWithTheResultTheScriptGives) {
    Form->SetCaption("Options");
    Script.AnswerModal([](TCustomForm* f) { f->SetModalResult(mrOk); });
    EXPECT_EQ(Form->ShowModal(), 1);
    EXPECT_FALSE(Form->Visible());
    EXPECT_FALSE(Form->IsModal());
    ASSERT_EQ(Script.Count(TDialogKind::ModalForm), 1);
    EXPECT_EQ(Script.Last().Caption, "Options");
    EXPECT_EQ(Script.Last().Result, 1);

    // The keys a person presses: Escape reaches the cancel button.
    Script.AnswerModal([](TCustomForm*) { Input::KeyStroke(VK_ESCAPE); });
    EXPECT_EQ(Form->ShowModal(), 2);
    EXPECT_EQ(Cancel->Clicks, 1);
    // Enter in the edit reaches the default button.
    Script.AnswerModal([this](TCustomForm*) {
        EXPECT_TRUE(Edit->Focused());
        Input::KeyStroke(VK_RETURN);
    });
    EXPECT_EQ(Form->ShowModal(), 1);
    // The close box answers Cancel.
    Script.AnswerModal([](TCustomForm* f) { f->Close(); });
    EXPECT_EQ(Form->ShowModal(), mrCancel);
    // A script that leaves the form open does not hang the test.
    Script.AnswerModal([](TCustomForm*) {});
    EXPECT_EQ(Form->ShowModal(), mrCancel);
}

TEST_F(FormsTest, CloseQueryCanKeepAModalFormOpen) {
    int asked = 0;
    Form->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++asked > 1; };
    QStringList closing;
    Form->OnClose = [&](TObject*, TCloseAction&) { closing << "close"; };
    Script.AnswerModal([this](TCustomForm* f) {
        Input::Click(Ok, 2, 2);  // refused by OnCloseQuery: the form stays
        // The person clicks again once the loop has gone on.
        Application()->Queue([this, f] {
            EXPECT_EQ(f->ModalResult(), 0);
            EXPECT_TRUE(f->Visible());
            Input::Click(Ok, 2, 2);
        });
    });
    EXPECT_EQ(Form->ShowModal(), mrOk);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(closing.size(), 1);
}

TEST_F(FormsTest, AModalFormCancelsTheMouseCaptureElsewhere) {
    auto* other = NewObject<TForm>(nullptr);
    auto* probe = new TProbe(other, other, "P", &Log);
    other->Show();
    Input::MouseDown(probe, mbLeft, 2, 2);
    ASSERT_EQ(GetCaptureControl(), probe);
    bool cancelled = false;
    probe->WindowProc = [&, original = probe->WindowProc](TMessage& m) {
        if (m.Msg == WM_CANCELMODE) cancelled = true;
        original(m);
    };
    Script.AnswerModal([](TCustomForm* f) { f->SetModalResult(mrOk); });
    Form->ShowModal();
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(GetCaptureControl(), nullptr);
    delete other;
}

TEST_F(FormsTest, ShowingAVisibleFormModallyIsRefused) {
    Form->Show();
    EXPECT_THROW(Form->ShowModal(), EInvalidOperation);
}

TEST_F(FormsTest, AnExceptionFromOnClickEndsInOneErrorBoxAndTheNextClickWorks) {
    Form->Show();
    int clicks = 0;
    Ok->OnClick = [&](TObject*) {
        if (++clicks == 1) throw Exception("Error row 3: address out of range");
    };
    Input::Click(Ok, 2, 2);
    ASSERT_EQ(Script.Count(TDialogKind::MessageBox), 1);
    EXPECT_EQ(Script.Last().Text, "Error row 3: address out of range.");
    EXPECT_EQ(Script.Last().Buttons, QList<int>({mrOk}));
    EXPECT_EQ(Script.Last().Type, mtError);
    Input::Click(Ok, 2, 2);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(Script.Count(TDialogKind::MessageBox), 1);
}

TEST_F(FormsTest, ErrorBoxTextAddsAFullStopAsTheClassLibraryDoes) {
    struct Case { QString in, out; };
    const Case cases[] = {
        {"Bad value", "Bad value."}, {"Done.", "Done."}, {"Why?", "Why?."},
        {"Failed!", "Failed!"},      {"(code 5)", "(code 5)"}, {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(TApplication::ErrorBoxText(c.in), c.out) << c.in.toStdString();
    // The silent exception shows nothing.
    Application()->Guard([] { throw EAbort("quiet"); });
    EXPECT_EQ(Script.Count(TDialogKind::MessageBox), 0);
    Application()->Guard([] { throw std::runtime_error("plain"); });
    EXPECT_EQ(Script.Last().Text, "plain.");
}

TEST_F(FormsTest, ClientSizeBorderStylesAndCentring) {
    struct Case { TFormBorderStyle style; bool caption; };
    const Case cases[] = {{bsNone, false}, {bsDialog, true}, {bsSingle, true}, {bsSizeable, true}};
    for (const Case& c : cases) {
        Form->SetBorderStyle(c.style);
        Form->SetClientSize(300, 200);
        EXPECT_EQ(Form->ClientWidth(), 300);
        EXPECT_EQ(Form->ClientHeight(), 200);
        EXPECT_EQ(Form->Width() > 300, c.style != bsNone);
        EXPECT_EQ((Form->Params().Style & WS_CAPTION) != 0, c.caption);
    }
    SetScreenSize(TSize(1000, 800));
    SetScreenWorkArea(Rect(0, 0, 1000, 760));
    Form->SetBorderStyle(bsDialog);
    Form->SetPosition(poScreenCenter);
    Form->Show();
    // Centred in the work area, which leaves out the task bar.
    EXPECT_EQ(Form->Left(), (1000 - Form->Width()) / 2);
    EXPECT_EQ(Form->Top(), (760 - Form->Height()) / 2);
    SetScreenSize(TSize(1920, 1080));
    SetScreenWorkArea(Rect(0, 0, 1920, 1040));
}

TEST_F(FormsTest, ResizeListenersHearEveryResizeUntilRemoved) {
    int a = 0, b = 0;
    const int ida = Form->AddResizeListener([&](TObject*) { ++a; });
    Form->AddResizeListener([&](TObject*) { ++b; });
    Form->SetWidth(400);
    Form->SetBounds(5, 5, 400, 300);
    EXPECT_EQ(a, 2);
    Form->SetLeft(50);
    EXPECT_EQ(a, 2) << "a move is no resize";
    Form->RemoveResizeListener(ida);
    Form->SetHeight(100);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 3);
}

TEST_F(FormsTest, AlignedChildrenShareTheClientArea) {
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, 300, 200);
    auto* top = new TProbe(Form, Form, "T", nullptr);
    top->SetHeight(30);
    top->SetAlign(alTop);
    auto* left = new TProbe(Form, Form, "L", nullptr);
    left->SetWidth(40);
    left->SetAlign(alLeft);
    auto* client = new TProbe(Form, Form, "C", nullptr);
    client->SetAlign(alClient);
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 300, 30));
    EXPECT_EQ(left->BoundsRect(), Rect(0, 30, 40, 200));
    EXPECT_EQ(client->BoundsRect(), Rect(40, 30, 300, 200));
    Form->SetBounds(0, 0, 400, 250);
    EXPECT_EQ(client->BoundsRect(), Rect(40, 30, 400, 250));
    top->SetVisible(false);
    EXPECT_EQ(left->BoundsRect(), Rect(0, 0, 40, 250));
}

TEST_F(FormsTest, ParentFontAndColourFollowDownTheTreeUntilSetOnTheChild) {
    auto* box = new TProbe(Form, Form, "Box", nullptr);
    auto* inner = new TProbe(Form, box, "Inner", nullptr);
    auto* own = new TProbe(Form, Form, "Own", nullptr);
    EXPECT_TRUE(inner->ParentFont());
    EXPECT_TRUE(inner->ParentColor());

    Form->Font()->SetName("Verdana");
    Form->Font()->SetSize(11);
    Form->SetColor(clInfoBk);
    for (TControl* c : {static_cast<TControl*>(box), static_cast<TControl*>(inner)}) {
        EXPECT_EQ(c->Font()->Name(), "Verdana") << c->Name().toStdString();
        EXPECT_EQ(c->Font()->Size(), 11) << c->Name().toStdString();
        EXPECT_EQ(c->Color(), clInfoBk) << c->Name().toStdString();
        EXPECT_TRUE(c->ParentFont()) << "taking the parent's font is no change of its own";
    }
    // A font or colour set on the control itself cuts it off from its parent.
    own->Font()->SetSize(14);
    own->SetColor(clRed);
    EXPECT_FALSE(own->ParentFont());
    EXPECT_FALSE(own->ParentColor());
    Form->Font()->SetSize(9);
    Form->SetColor(clWindow);
    EXPECT_EQ(own->Font()->Size(), 14);
    EXPECT_EQ(own->Color(), clRed);
    EXPECT_EQ(inner->Font()->Size(), 9);
    EXPECT_EQ(inner->Color(), clWindow);
    // Turning the flags back on takes the parent's again at once.
    own->SetParentFont(true);
    own->SetParentColor(true);
    EXPECT_EQ(own->Font()->Size(), 9);
    EXPECT_EQ(own->Color(), clWindow);
    // A control placed later takes its new parent's font and colour.
    auto* late = new TProbe(Form, nullptr, "Late", nullptr);
    late->SetParent(box);
    EXPECT_EQ(late->Font()->Size(), 9);
    EXPECT_EQ(late->Color(), clWindow);
}

TEST_F(FormsTest, ReleasedFormsGoOnceTheQueueIsHandled) {
    bool destroyed = false;
    auto* other = NewObject<TForm>(nullptr);
    other->OnDestroy = [&](TObject*) { destroyed = true; };
    other->Release();
    EXPECT_FALSE(destroyed);
    Application()->ProcessMessages();
    EXPECT_TRUE(destroyed);
}

TEST_F(FormsTest, OtherThreadsReachTheUserInterfaceThroughIt) {
    std::atomic<bool> ranOnUi{false};
    std::atomic<bool> workerDone{false};
    const auto uiThread = std::this_thread::get_id();
    std::thread worker([&] {
        Application()->Synchronize([&] { ranOnUi = std::this_thread::get_id() == uiThread; });
        workerDone = true;
    });
    for (int i = 0; i < 2000 && !workerDone; ++i) {
        Application()->ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    worker.join();
    EXPECT_TRUE(ranOnUi);
    // A queued call waits for the loop.
    int queued = 0;
    std::thread([&] { Application()->Queue([&] { ++queued; }); }).join();
    EXPECT_EQ(queued, 0);
    Application()->ProcessMessages();
    EXPECT_EQ(queued, 1);
}

TEST_F(FormsTest, AnyFormRendersToAPngShownOrNot) {
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, 120, 80);
    Form->SetColor(clWhite);
    const QString path = QString(KAL_BUILD_DIR) + "/controls_render_test.png";
    QFile::remove(path);
    RenderFormToPng(Form, path);
    QImage img(path);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.size(), QSize(120, 80));
    EXPECT_EQ(img.pixelColor(119, 79), QColor(255, 255, 255));
}

// A control that paints a red square through its canvas, and can watch
// its own paint message.
class TRedSquare : public TCustomControl {
public:
    explicit TRedSquare(TComponent* owner) : TCustomControl(owner) {}
    QStringList* Log = nullptr;

protected:
    void WMPaint(TMessage& m) override {
        if (Log) *Log << "paint " + Name();
        TCustomControl::WMPaint(m);
    }
    void Paint() override {
        Canvas()->Brush().SetColor(clRed);
        Canvas()->FillRect(Rect(2, 2, Width() - 2, Height() - 2));
    }
};

TEST_F(FormsTest, ControlsPaintThroughThePaintMessageAtTheirPlace) {
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, 100, 60);
    Form->SetColor(clWhite);
    auto* panel = new TProbe(Form, Form, "P", nullptr);
    panel->SetBounds(20, 10, 60, 40);
    auto* square = new TRedSquare(Form);
    square->SetName("S");
    square->Log = &Log;
    square->SetParent(panel);
    square->SetBounds(5, 5, 20, 20);
    const QImage img = Form->RenderClient();
    EXPECT_EQ(Log, QStringList({"paint S"}));
    // Panel at (20,10), square at (5,5) in it, red from (2,2) to (17,17).
    EXPECT_EQ(img.pixelColor(27, 17), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(42, 32), QColor(255, 0, 0));
    EXPECT_NE(img.pixelColor(43, 33), QColor(255, 0, 0)) << "right and bottom edges excluded";
    EXPECT_NE(img.pixelColor(26, 16), QColor(255, 0, 0));
    square->SetVisible(false);
    Log.clear();
    const QImage hidden = Form->RenderClient();
    EXPECT_TRUE(Log.isEmpty());
    EXPECT_NE(hidden.pixelColor(27, 17), QColor(255, 0, 0));
}

// A form whose creation step reaches an override, as the second
// construction phase allows.
class TSetupForm : public TForm {
public:
    explicit TSetupForm(TComponent* owner) : TForm(owner) {
        OnCreate = [this](TObject*) { Texts = Set_Lang(); };
    }
    virtual QString Set_Lang() { return "base"; }
    QString Texts;
};
class TGermanForm : public TSetupForm {
public:
    explicit TGermanForm(TComponent* owner) : TSetupForm(owner) {}
    QString Set_Lang() override { return "Deutsch"; }
};

TEST_F(FormsTest, CreationStepRunsInTheSecondPhaseWithOverrides) {
    TGermanForm* f = nullptr;
    TCustomForm* mainBefore = Application()->MainForm();
    Application()->CreateForm(f);
    EXPECT_EQ(f->Texts, "Deutsch");
    EXPECT_EQ(f->Owner(), Application());
    if (!mainBefore) {
        EXPECT_EQ(Application()->MainForm(), f);
    }
    delete f;
    EXPECT_EQ(Application()->MainForm(), mainBefore == f ? nullptr : mainBefore);
}
