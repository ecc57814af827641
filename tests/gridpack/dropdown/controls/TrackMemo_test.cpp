// The track bar and memo drop-downs.
#include "DropDownKit.h"
#include "gridpack/dropdown/ExTrackMemo.h"

class TrackBarTest : public DropDownTest {
protected:
    void SetUp() override {
        DropDownTest::SetUp();
        Track = NewObject<TExTrackBarDropDown>(Form);
        Track->SetParent(Form);
        Track->SetBounds(10, 40, 200, 21);
    }
    TExTrackBarDropDown* Track = nullptr;
};

TEST_F(TrackBarTest, OpensWithItsDefaults) {
    Form->Show();
    Track->ShowDropDown();
    ASSERT_TRUE(Track->DroppedDown());
    TTrackBar* t = Track->TrackBar();
    EXPECT_EQ(t->Min(), 0);
    EXPECT_EQ(t->Max(), 10);
    EXPECT_EQ(t->Position(), 0);
    EXPECT_EQ(t->PageSize(), 2);
    EXPECT_EQ(t->Frequency(), 1);
    EXPECT_EQ(Track->DropDownControl(), t);
    EXPECT_EQ(t->Width(), Track->DropDownForm()->ClientWidth() - 2);
    EXPECT_FALSE(Track->DropDownForm()->CancelOnDeActivate());
    // The track bar's move is the edit's value.
    int changes = 0;
    Track->OnTrackChange = [&](TObject*) { ++changes; };
    t->SetPosition(7);
    EXPECT_EQ(Track->Position(), 7);
    EXPECT_EQ(Track->WholeText(), QStringLiteral("7"));
    EXPECT_EQ(changes, 1);
    // The track bar's limits clamp the writers.
    Track->SetPosition(40);
    EXPECT_EQ(Track->Position(), 10);
    Track->SetMax(5);
    EXPECT_EQ(Track->Max(), 5);
    EXPECT_EQ(Track->Position(), 5) << "the bar's move reaches the edit";
    EXPECT_EQ(Track->WholeText(), QStringLiteral("5"));
}

TEST_F(TrackBarTest, ArrowKeysStepByTheFrequency) {
    Form->Show();
    Track->SetFocus();
    struct Case { int freq, min, max, pos; unsigned key; int after; };
    const Case cases[] = {
        {1, 0, 10, 0, VK_UP, 0},   {1, 0, 10, 10, VK_DOWN, 10}, {3, 0, 10, 2, VK_UP, 2},
        {1, 0, 10, 4, VK_UP, 3},   {3, 0, 10, 2, VK_DOWN, 5},   {3, 0, 10, 8, VK_DOWN, 8},
    };
    for (const Case& c : cases) {
        Track->SetFrequency(c.freq);
        Track->SetMin(c.min);
        Track->SetMax(c.max);
        Track->SetPosition(c.pos);
        Key(c.key);
        EXPECT_EQ(Track->Position(), c.after) << c.freq << " " << c.pos << " " << c.key;
    }
    // Not with the editor enabled.
    Track->SetEditorEnabled(true);
    Track->SetPosition(4);
    Key(VK_UP);
    EXPECT_EQ(Track->Position(), 4);
}

TEST_F(TrackBarTest, DragAcrossTheEditMovesByPages) {
    Form->Show();
    Track->SetPosition(3);
    Track->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(20, 5));
    if (Track->DroppedDown()) Track->HideDropDown(false);
    Track->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(25, 5));
    EXPECT_EQ(Track->Position(), 5) << "5 pixels with page size 2";
    for (int x = 26; x <= 30; ++x) Track->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(x, 5));
    EXPECT_EQ(Track->Position(), 5) << "1-pixel moves add nothing";
    Track->SetPageSize(0);
    Track->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(60, 5));
    EXPECT_EQ(Track->Position(), 5) << "page size 0 moves nothing";
    Track->SetPageSize(2);
    Track->Perform(WM_LBUTTONUP, 0, MakeLParam(60, 5));
    Track->Perform(WM_MOUSEMOVE, 0, MakeLParam(90, 5));
    EXPECT_EQ(Track->Position(), 5) << "the drag ended";
}

TEST_F(TrackBarTest, EditTextSetsThePosition) {
    Form->Show();
    Track->ShowDropDown();
    Track->HideDropDown(false);
    Track->SetRawText("6");
    EXPECT_EQ(Track->Position(), 6);
    Track->SetRawText("abc");
    EXPECT_EQ(Track->Position(), 6) << "a text that is no integer leaves it";
    Track->SetRawText("0x3");
    EXPECT_EQ(Track->Position(), 6) << "decimal only";
}

class MemoTest : public DropDownTest {
protected:
    void SetUp() override {
        DropDownTest::SetUp();
        Memo = NewObject<TExMemoDropDown>(Form);
        Memo->SetParent(Form);
        Memo->SetBounds(10, 40, 200, 21);
        Form->Show();
    }
    void Lines(const QString& text) {
        TStringList l;
        l.SetText(text);
        Memo->SetMemoText(&l);
    }
    TExMemoDropDown* Memo = nullptr;
};

TEST_F(MemoTest, EditShowsTheFirstLine) {
    Memo->SetEditorEnabled(false);
    Lines("one\ntwo\nthree");
    EXPECT_EQ(Memo->WholeText(), QStringLiteral("one..."));
    Lines("only");
    EXPECT_EQ(Memo->WholeText(), QStringLiteral("only"));
    // A line that does not fit is shortened and ends in "...".
    const QString longLine(200, QLatin1Char('w'));
    Lines(longLine);
    const QString shown = Memo->WholeText();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("..."))) << shown.toStdString();
    EXPECT_LT(shown.size(), longLine.size());
    Memo->SetEditorEnabled(true);
    Lines("one\ntwo\nthree");
    EXPECT_EQ(Memo->WholeText(), QStringLiteral("one\r\ntwo\r\nthree").replace("\r\n", Memo->MemoText()->Text().contains("\r\n") ? "\r\n" : "\n"));
}

TEST_F(MemoTest, CancelDropsTheMemoEditsAndOutsideClickKeepsThem) {
    Memo->SetEditorEnabled(false);
    Lines("one\ntwo\nthree");
    Memo->ShowDropDown();
    ASSERT_TRUE(Memo->DroppedDown());
    EXPECT_EQ(Memo->Memo()->Lines()->Count(), 3);
    Memo->Memo()->Lines()->SetText("changed");
    Memo->HideDropDown(true);
    EXPECT_EQ(Memo->MemoText()->Count(), 3);
    EXPECT_EQ(Memo->MemoText()->Strings(2), QStringLiteral("three"));
    EXPECT_EQ(Memo->WholeText(), QStringLiteral("one..."));
    // Closing by deactivation accepts.
    Memo->ShowDropDown();
    Memo->Memo()->Lines()->SetText("new\nlines");
    EXPECT_FALSE(Memo->DropDownForm()->CancelOnDeActivate());
    Memo->HideDropDown(Memo->DropDownForm()->CancelOnDeActivate());
    EXPECT_EQ(Memo->MemoText()->Count(), 2);
    EXPECT_EQ(Memo->WholeText(), QStringLiteral("new..."));
    EXPECT_EQ(Memo->SelStart(), 0);
    EXPECT_EQ(Memo->SelLength(), 0);
}

TEST_F(MemoTest, AutoDropOpensOnFocusOnlyOnce) {
    Memo->SetAutoDrop(true);
    Memo->SetFocus();
    ASSERT_TRUE(Memo->DroppedDown());
    Memo->HideDropDown(false);
    EXPECT_FALSE(Memo->DroppedDown()) << "the edit took the focus back without reopening";
    EXPECT_TRUE(Memo->Focused());
    EXPECT_TRUE(Memo->AutoDrop());
}

TEST_F(MemoTest, MemoKeysStayInTheMemo) {
    Memo->ShowDropDown();
    unsigned enter = VK_RETURN;
    Memo->ControlKeyDown(enter, 0);
    EXPECT_TRUE(Memo->DroppedDown()) << "Enter makes a new line in the memo";
    unsigned esc = VK_ESCAPE;
    Memo->ControlKeyDown(esc, 0);
    EXPECT_FALSE(Memo->DroppedDown()) << "Esc reaches the edit";
}
