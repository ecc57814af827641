// The detail drop-down: completion while typing, Enter and Esc, the page
// keys in the popup and the layout of a row.
#include "DropDownKit.h"
#include "gridpack/dropdown/ExDetailDropDown.h"

class DetailTest : public DropDownTest {
protected:
    void SetUp() override {
        DropDownTest::SetUp();
        Detail = NewObject<TExDetailDropDown>(Form);
        Detail->SetParent(Form);
        Detail->SetBounds(10, 40, 200, 21);
        Detail->OnSelect = [this](TObject*) { ++Selects; };
        for (const char* c : {"Apple", "Apricot"}) Detail->Items()->Add()->SetCaption(c);
        Form->Show();
        Detail->SetFocus();
    }
    QString Selected() const { return Detail->WholeText().mid(Detail->SelStart(), Detail->SelLength()); }
    TExDetailDropDown* Detail = nullptr;
    int Selects = 0;
};

TEST_F(DetailTest, TypingCompletesWithTheFirstCaption) {
    Key('A');
    EXPECT_EQ(Detail->WholeText(), QStringLiteral("apple")) << "the typed part keeps its case";
    EXPECT_EQ(Selected(), QStringLiteral("pple"));
    EXPECT_EQ(Detail->ItemIndex(), 0);
    EXPECT_EQ(Selects, 0);
    Key('P');
    Key('R');
    EXPECT_EQ(Detail->WholeText(), QStringLiteral("apricot"));
    EXPECT_EQ(Selected(), QStringLiteral("icot"));
    EXPECT_EQ(Detail->ItemIndex(), 1);
    // Backspace removes the tail and does not complete again.
    Key(VK_BACK);
    EXPECT_EQ(Detail->WholeText(), QStringLiteral("apr"));
    // The next letter completes again.
    Key('I');
    EXPECT_EQ(Detail->WholeText(), QStringLiteral("apricot"));
    // A text no caption begins keeps what stands left of the caret.
    Detail->SetText(QString());
    Type("xyz");
    EXPECT_EQ(Detail->WholeText(), QStringLiteral("xyz"));
}

// A character that arrives without its key-up keeps the completed tail
// selected: the change handling selects it.
TEST_F(DetailTest, CompletedTailIsSelectedWithoutTheKeyUp) {
    Detail->Items()->Clear();
    for (const char* c : {"Apple", "Banana", "Blueberry"}) Detail->Items()->Add()->SetCaption(c);
    Input::Char(QLatin1Char('b'));
    EXPECT_EQ(Detail->WholeText(), QStringLiteral("banana"));
    EXPECT_EQ(Detail->SelStart(), 1);
    EXPECT_EQ(Detail->SelLength(), 5);
    EXPECT_EQ(Detail->ItemIndex(), 1);
}

TEST_F(DetailTest, EnterSelectsTheExactCaptionOnly) {
    Detail->SetText("Apple");
    ASSERT_EQ(Detail->ItemIndex(), -1);
    Key(VK_END);
    Key(VK_RETURN);
    EXPECT_EQ(Detail->ItemIndex(), 0);
    EXPECT_EQ(Selects, 1);
    Detail->SetItemIndex(-1);
    Detail->SetText("apple");
    Key(VK_RETURN);
    EXPECT_EQ(Detail->ItemIndex(), -1) << "the caption is matched with case";
}

TEST_F(DetailTest, PopupKeysAndCancel) {
    for (int i = 0; i < 8; ++i) Detail->Items()->Add()->SetCaption(QStringLiteral("Item %1").arg(i));
    Detail->SetItemIndex(0);
    Detail->DropDownHeader()->SetVisible(false);
    Detail->DropDownFooter()->SetVisible(false);
    Detail->SetDropDownHeight(4 * 22 + 2);
    Detail->ShowDropDown();
    ASSERT_TRUE(Detail->DroppedDown());
    TExCustomItemSelector* s = Detail->ItemSelector();
    TRect first;
    s->SelectorPanel()->GetItemRect(0, first);
    ASSERT_EQ(s->GetVisibleItemCount(), 4) << s->Height() << " " << first.Height();
    Detail->Perform(WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(Detail->ItemIndex(), 0) << "Up on the first row stays";
    Detail->Perform(WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_EQ(Detail->ItemIndex(), 4);
    EXPECT_TRUE(Detail->DroppedDown());
    Detail->Perform(WM_KEYDOWN, VK_NEXT, 0);
    Detail->Perform(WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_EQ(Detail->ItemIndex(), 9) << "never past the last item";
    // Esc restores the index of the opening.
    Detail->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(Detail->DroppedDown());
    EXPECT_EQ(Detail->ItemIndex(), 0);
    // A row height of 0 counts no visible rows: the page keys do nothing.
    Detail->SetItemHeight(0);
    Detail->ShowDropDown();
    Detail->Perform(WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_EQ(Detail->ItemIndex(), 0);
}

TEST_F(DetailTest, RowLayout) {
    TCustomItemSelector* panel = nullptr;
    Detail->ShowDropDown();
    panel = Detail->ItemSelector()->SelectorPanel();
    TCanvas* c = panel->Canvas();
    QImage img(16, 10, QImage::Format_RGB32);
    img.fill(Qt::blue);
    auto bmp = std::make_unique<TBitmap>();
    bmp->Assign(img);
    TDetailItem* it = Detail->Items()->Item(0);
    it->Image()->SetGraphic(std::move(bmp));
    const TRect row = Rect(0, 0, 200, 40);
    TDetailRowLayout l = Detail->GetRowLayout(0, c, row);
    EXPECT_EQ(l.Picture.Left, 2);
    EXPECT_EQ(l.Picture.Top, 15);
    EXPECT_EQ(l.Caption.Left, row.Left + 16 + 8) << "the picture's width, then 4 and 4 more";
    EXPECT_EQ(l.Caption.Top, 2);
    EXPECT_TRUE(l.Notes.IsEmpty());
    it->Notes = QStringLiteral("<b>notes</b>");
    l = Detail->GetRowLayout(0, c, row);
    c->Font().Assign(*Detail->CaptionFont());
    EXPECT_EQ(l.Notes.Top - l.Caption.Top, c->TextHeight("gh"));
    it->SetCaption(QString());
    l = Detail->GetRowLayout(0, c, row);
    EXPECT_EQ(l.Picture.Left, (200 - 16) / 2) << "no caption: centred";
    // Assign carries the notes.
    TDetailItems copy(nullptr);
    copy.Assign(Detail->Items());
    EXPECT_EQ(copy.Item(0)->Notes, QStringLiteral("<b>notes</b>"));
}
