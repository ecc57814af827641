// Edits and memos driven through the layer's messages.
#include "StdKit.h"

#include <functional>

namespace {

// An edit with its own window procedure, as the grid's in-place editor has:
// it records what reached it and the text at that moment.
class TWatchedEdit : public TEdit {
public:
    explicit TWatchedEdit(TComponent* owner) : TEdit(owner) {}
    QStringList Seen;
    bool SwallowPaste = false;

protected:
    void WndProc(TMessage& M) override {
        if (M.Msg == WM_CHAR) Seen << QStringLiteral("CHAR %1 text=%2").arg(M.WParam).arg(Text());
        if (M.Msg == WM_PASTE) {
            Seen << QStringLiteral("PASTE clip=%1 text=%2").arg(Clipboard()->AsText(), Text());
            if (SwallowPaste) return;
        }
        TEdit::WndProc(M);
    }
};

// An edit that asks for a multi-line window, as the grid's in-place editor does.
class TMultiLineEdit : public TEdit {
public:
    explicit TMultiLineEdit(TComponent* owner) : TEdit(owner) {}

protected:
    void CreateParams(TCreateParams& P) override {
        TEdit::CreateParams(P);
        P.Style |= ES_MULTILINE | ES_WANTRETURN;
        P.Style &= ~ES_AUTOHSCROLL;
    }
};

// A multi-line edit whose window is created right-aligned through its style
// bits alone, as a grid's in-place editor asks for a right-justified cell.
class TRightStyledEdit : public TMultiLineEdit {
public:
    explicit TRightStyledEdit(TComponent* owner) : TMultiLineEdit(owner) {}

protected:
    void CreateParams(TCreateParams& P) override {
        TMultiLineEdit::CreateParams(P);
        P.Style |= ES_RIGHT;
    }
};

using EditTest = StdTest;

TEST_F(EditTest, MaxLengthRefusesTheFifthTypedCharacterAndCutsAPaste) {
    auto* e = Place<TEdit>(10, 10);
    e->SetMaxLength(4);
    int changes = 0;
    e->OnChange = [&](TObject*) { ++changes; };
    e->SetFocus();
    const int beeps = MessageBeepCount();
    Type("12345");
    EXPECT_EQ(e->Text(), "1234");
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(MessageBeepCount(), beeps + 1);

    // With two characters selected there is room for two again.
    e->SetSelStart(1);
    e->SetSelLength(2);
    Clipboard()->SetAsText("abcdef");
    e->PasteFromClipboard();
    EXPECT_EQ(e->Text(), "1ab4");
    EXPECT_EQ(e->SelStart(), 3);

    // Text set by the program is not cut (the limit is for typing).
    e->SetText("1234567");
    EXPECT_EQ(e->Text(), "1234567");
}

TEST_F(EditTest, PasswordCharHidesTheTextWhenDrawnAndKeepsItOffTheClipboard) {
    auto* secret = Place<TEdit>(10, 10, 100, 21);
    secret->SetPasswordChar('*');
    secret->SetText("secret");
    auto* stars = Place<TEdit>(10, 40, 100, 21);
    stars->SetText("******");
    auto* plain = Place<TEdit>(10, 70, 100, 21);
    plain->SetText("secret");
    EXPECT_EQ(Render(secret), Render(stars));
    EXPECT_NE(Render(secret), Render(plain));
    EXPECT_TRUE(secret->Params().Style & ES_PASSWORD);

    secret->SelectAll();
    secret->CopyToClipboard();
    secret->CutToClipboard();
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(secret->Text(), "secret");
}

TEST_F(EditTest, AnOverridingWndProcSeesCharAndPasteBeforeTheTextChanges) {
    auto* e = new TWatchedEdit(Form);
    e->SetParent(Form);
    e->SetFocus();
    Type("ab");
    Clipboard()->SetAsText("x\r\n");
    Input::KeyStroke('V', ssCtrl);
    ASSERT_EQ(e->Seen.size(), 4);
    EXPECT_EQ(e->Seen[0], "CHAR 97 text=");
    EXPECT_EQ(e->Seen[1], "CHAR 98 text=a");
    EXPECT_EQ(e->Seen[2], "CHAR 22 text=ab");
    EXPECT_EQ(e->Seen[3], "PASTE clip=x\r\n text=ab");
    // A one-line edit takes the pasted text up to its line break.
    EXPECT_EQ(e->Text(), "abx");

    // A handler that swallows the paste keeps the text as it was.
    e->SwallowPaste = true;
    e->PasteFromClipboard();
    EXPECT_EQ(e->Text(), "abx");
    EXPECT_TRUE(e->Seen.last().startsWith("PASTE"));
}

TEST_F(EditTest, OnKeyPressCanDropACharacterAndSeesEnter) {
    auto* e = Place<TEdit>(10, 10);
    QList<int> keys;
    e->OnKeyPress = [&](TObject*, QChar& k) {
        keys << k.unicode();
        if (k == QLatin1Char('x')) k = QChar();
    };
    e->SetFocus();
    Type("axb");
    Input::KeyStroke(VK_RETURN);
    EXPECT_EQ(e->Text(), "ab");
    EXPECT_EQ(keys, (QList<int>{'a', 'x', 'b', 13}));
}

TEST_F(EditTest, KeysMoveTheCaretAndExtendTheSelection) {
    auto* e = Place<TEdit>(10, 10);
    e->SetText("one two");
    e->SetFocus();
    e->SetSelStart(7);
    Input::KeyStroke(VK_LEFT, ssCtrl | ssShift);
    EXPECT_EQ(e->SelText(), "two");
    // The anchor stays where the selection began.
    Input::KeyStroke(VK_HOME, ssShift);
    EXPECT_EQ(e->SelText(), "one two");
    EXPECT_EQ(e->CaretPos(), 0);
    Input::KeyStroke(VK_RIGHT);
    EXPECT_EQ(e->SelLength(), 0);
    EXPECT_EQ(e->SelStart(), 7);
    Input::KeyStroke(VK_BACK);
    Input::KeyStroke(VK_HOME);
    Input::KeyStroke(VK_DELETE);
    EXPECT_EQ(e->Text(), "ne tw");
    Input::KeyStroke('Z', ssCtrl);
    EXPECT_EQ(e->Text(), "one tw");
}

TEST_F(EditTest, ReadOnlyCharCaseAndSelText) {
    auto* e = Place<TEdit>(10, 10);
    e->SetCharCase(ecUpperCase);
    e->SetFocus();
    Type("ab");
    EXPECT_EQ(e->Text(), "AB");
    e->SetText("mixed");
    EXPECT_EQ(e->Text(), "MIXED");
    e->SetSelStart(1);
    e->SetSelLength(3);
    e->SetSelText("o");
    EXPECT_EQ(e->Text(), "MOD");

    e->SetReadOnly(true);
    Type("z");
    Input::KeyStroke(VK_BACK);
    EXPECT_EQ(e->Text(), "MOD");
    e->SelectAll();
    e->CopyToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), "MOD");
}

TEST_F(EditTest, OnChangeFiresForCodeAndUserChangesOnce) {
    auto* e = Place<TEdit>(10, 10);
    QStringList seen;
    e->OnChange = [&](TObject*) { seen << e->Text(); };
    e->SetText("a");
    e->SetText("a");
    e->SetFocus();
    e->SetSelStart(1);
    Type("b");
    EXPECT_EQ(seen, (QStringList{"a", "ab"}));
    EXPECT_TRUE(e->Modified());
}

// A change handler that completes the text and selects the completed tail
// keeps that selection, however the change came: a typed character, a
// paste, a deletion, an undo.
TEST_F(EditTest, SelectionMadeByTheChangeHandlerStays) {
    struct Case {
        const char* What;
        std::function<void(TEdit*)> Act;
    };
    const Case cases[] = {
        {"typed", [](TEdit*) { Input::Char(QLatin1Char('b')); }},
        {"pasted",
         [](TEdit* e) {
             Clipboard()->SetAsText("b");
             e->PasteFromClipboard();
         }},
        {"deleted",
         [](TEdit* e) {
             e->SetText("bx");
             e->SetSelStart(2);
             Input::KeyStroke(VK_BACK);
         }},
        {"undone",
         [](TEdit* e) {
             Input::Char(QLatin1Char('q'));
             e->SetText("");
             Input::Char(QLatin1Char('b'));
             Input::Char(QLatin1Char('x'));
             e->Undo();
         }},
    };
    for (const Case& k : cases) {
        auto* e = Place<TEdit>(10, 10);
        e->SetFocus();
        bool inside = false;
        e->OnChange = [&](TObject*) {
            if (inside || e->Text() != "b") return;
            inside = true;
            e->SetText("banana");
            e->SetSelStart(1);
            e->SetSelLength(5);
            inside = false;
        };
        k.Act(e);
        EXPECT_EQ(e->Text(), "banana") << k.What;
        EXPECT_EQ(e->SelStart(), 1) << k.What;
        EXPECT_EQ(e->SelLength(), 5) << k.What;
    }
}

TEST_F(EditTest, AutoSelectOnKeyboardEntryOnly) {
    auto* first = Place<TEdit>(10, 10);
    auto* e = Place<TEdit>(10, 40);
    e->SetText("hello");
    first->SetFocus();
    Input::KeyStroke(VK_TAB);
    ASSERT_TRUE(e->Focused());
    EXPECT_EQ(e->SelLength(), 5);

    first->SetFocus();
    Input::Click(e, 2, 10);
    EXPECT_EQ(e->SelLength(), 0);
}

TEST_F(EditTest, BalloonTipShowsUntilTheNextKey) {
    auto* e = Place<TEdit>(10, 10);
    e->SetFocus();
    e->ShowBalloonTip("Invalid", "Only digits", TTI_ERROR);
    EXPECT_TRUE(e->BalloonTipShowing());
    EXPECT_EQ(e->BalloonTitle(), "Invalid");
    EXPECT_EQ(e->BalloonText(), "Only digits");
    EXPECT_EQ(e->BalloonIcon(), TTI_ERROR);
    // It shows below the edit.
    ASSERT_NE(e->BalloonWindow(), nullptr);
    EXPECT_TRUE(e->BalloonWindow()->Active());
    EXPECT_EQ(e->BalloonWindow()->ScreenRect().TopLeft(), e->ClientToScreen(Point(0, e->Height())));
    EXPECT_EQ(e->BalloonWindow()->Caption(), "Invalid\nOnly digits");
    Type("1");
    EXPECT_FALSE(e->BalloonTipShowing());
    EXPECT_FALSE(e->BalloonWindow()->Active());
}

TEST_F(EditTest, CaretQueriesOfAOneLineEdit) {
    auto* e = Place<TEdit>(10, 10, 200, 21);
    e->SetText("abcdef");
    const TRect fr = e->FormattingRect();
    // Each character boundary maps to a point and back.
    for (int i = 0; i <= 6; ++i) {
        const TPoint p = e->PosFromChar(i);
        EXPECT_EQ(LoWord(e->Perform(EM_CHARFROMPOS, 0, MakeLParam(p.X, p.Y))), i) << i;
    }
    EXPECT_EQ(e->PosFromChar(0).X, fr.Left);
    // EM_SETRECTNP moves the text.
    const TRect r = Rect(3, 3, e->Width() - 2, e->Height());
    e->Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
    TRect back;
    e->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&back));
    EXPECT_EQ(back, r);
    EXPECT_EQ(e->PosFromChar(0), Point(3, 3));
}

TEST_F(EditTest, AlignmentComesFromTheWindowStyleForEveryLine) {
    auto* single = Place<TEdit>(10, 10, 200, 21);
    single->SetText("abc");
    single->SetAlignment(taRightJustify);
    auto* styled = Place<TRightStyledEdit>(10, 40, 200, 60);
    styled->SetText("ab\r\nlonger line");
    auto* centred = Place<TMultiLineEdit>(10, 110, 200, 60);
    centred->SetAlignment(taCenter);
    centred->SetText("ab\r\nlonger line");
    // The end of each line, with where it should stand, and the line's start.
    struct Case { const char* name; TCustomEdit* e; int endPos, startPos; bool centre; };
    const Case cases[] = {
        {"one line, right", single, 3, 0, false},
        {"style bit, line 1", styled, 2, 0, false},
        {"style bit, line 2", styled, 15, 4, false},
        {"centred, line 1", centred, 2, 0, true},
        {"centred, line 2", centred, 15, 4, true},
    };
    for (const Case& c : cases) {
        const TRect fr = c.e->FormattingRect();
        const int start = c.e->PosFromChar(c.startPos).X, end = c.e->PosFromChar(c.endPos).X;
        ASSERT_GT(end, start) << c.name;
        if (c.centre) EXPECT_NEAR(start - fr.Left, fr.Right - end, 1) << c.name;
        else EXPECT_EQ(end, fr.Right) << c.name;
        // Points map back to the same characters.
        EXPECT_EQ(c.e->CharFromPos(Point(end, c.e->PosFromChar(c.endPos).Y + 1)), c.endPos) << c.name;
        EXPECT_EQ(c.e->CharFromPos(Point(start + 1, c.e->PosFromChar(c.startPos).Y + 1)), c.startPos) << c.name;
    }
    // Drawn as placed: the short first line's ink stands at the right.
    const QImage img = Render(styled);
    const TRect fr = styled->FormattingRect();
    const int lineH = styled->PosFromChar(4).Y - styled->PosFromChar(0).Y;
    int inkLeft = fr.Right;
    for (int y = fr.Top; y < fr.Top + lineH; ++y)
        for (int x = fr.Left; x < fr.Right; ++x)
            if (img.pixel(x, y) != Rgb(clWindow)) inkLeft = std::min(inkLeft, x);
    EXPECT_GE(inkLeft, styled->PosFromChar(0).X);
    EXPECT_GT(inkLeft, fr.Left + fr.Width() / 2);
}

TEST_F(EditTest, AnEditWithAMultiLineWindowKeepsLines) {
    auto* e = Place<TMultiLineEdit>(10, 10, 150, 60);
    e->SetText("ab\r\ncd");
    EXPECT_EQ(e->LineCount(), 2);
    e->SetFocus();
    e->SetSelStart(4);
    Input::KeyStroke(VK_UP);
    EXPECT_EQ(e->LineFromChar(-1), 0);
    EXPECT_EQ(e->SelStart(), 0);  // the nearest place on the line above
    Input::KeyStroke(VK_END);
    Input::KeyStroke(VK_RETURN);
    EXPECT_EQ(e->Text(), "ab\r\n\r\ncd");
}

TEST_F(EditTest, MemoLinesAndLineQueries) {
    auto* m = Place<TMemo>(10, 10, 200, 100);
    m->Lines()->Add("first");
    m->Lines()->Add("second");
    m->Lines()->Add("");
    m->Lines()->Add("fourth");
    // Each added line ends with a line break, as the class library's memo
    // writes them; the edit counts the empty line after the last break.
    EXPECT_EQ(m->Text(), "first\r\nsecond\r\n\r\nfourth\r\n");
    EXPECT_EQ(m->Lines()->Count(), 4);
    EXPECT_EQ(m->LineCount(), 5);
    EXPECT_EQ(m->LineIndex(1), 7);
    EXPECT_EQ(m->LineIndex(3), 17);
    EXPECT_EQ(m->LineFromChar(7), 1);
    EXPECT_EQ(m->LineFromChar(5), 0);  // at the line break: still the first line
    EXPECT_EQ(m->Perform(EM_LINELENGTH, 8), 6);
    // A point on a line gives that line's character.
    const TPoint p = m->PosFromChar(9);
    int line = -1;
    EXPECT_EQ(m->CharFromPos(p, &line), 9);
    EXPECT_EQ(line, 1);

    m->Lines()->Delete(0);
    EXPECT_EQ(m->Lines()->Strings(0), "second");
    m->Lines()->SetStrings(1, "third");
    EXPECT_EQ(m->Text(), "second\r\nthird\r\nfourth\r\n");
    m->SetText("no break at the end");
    EXPECT_EQ(m->Lines()->Count(), 1);
}

TEST_F(EditTest, MemoEnterAndTabFollowWantReturnsAndWantTabs) {
    auto* m = Place<TMemo>(10, 10, 200, 100);
    auto* after = Place<TEdit>(10, 150);
    m->SetFocus();
    Type("a");
    Input::KeyStroke(VK_RETURN);
    Type("b");
    EXPECT_EQ(m->Text(), "a\r\nb");
    EXPECT_EQ(m->Lines()->Count(), 2);
    Input::KeyStroke(VK_BACK);
    Input::KeyStroke(VK_BACK);
    EXPECT_EQ(m->Text(), "a");

    m->SetWantTabs(true);
    Input::KeyStroke(VK_TAB);
    EXPECT_EQ(m->Text(), "a\t");
    m->SetWantTabs(false);
    Input::KeyStroke(VK_TAB);
    EXPECT_TRUE(after->Focused());
}

TEST_F(EditTest, MemoScrollsToTheCaretAndWithTheWheel) {
    auto* m = Place<TMemo>(10, 10, 150, 60);
    for (int i = 0; i < 20; ++i) m->Lines()->Add(QStringLiteral("line %1").arg(i));
    const int visible = m->FormattingRect().Height() / m->Canvas()->TextHeight("Wg");
    ASSERT_GT(visible, 0);
    m->SetFocus();
    Input::KeyStroke(VK_END, ssCtrl);
    EXPECT_EQ(m->FirstVisibleLine(), m->LineCount() - visible);
    Input::Wheel(m, WHEEL_DELTA);
    EXPECT_EQ(m->FirstVisibleLine(), m->LineCount() - visible - WheelScrollLines());
    // The character at the top-left is the first one of the first visible line.
    const TRect fr = m->FormattingRect();
    EXPECT_EQ(m->CharFromPos(Point(fr.Left, fr.Top + 1)), m->LineIndex(m->FirstVisibleLine()));
    Input::KeyStroke(VK_HOME, ssCtrl);
    EXPECT_EQ(m->FirstVisibleLine(), 0);
}

TEST_F(EditTest, MemoScrollBarSitsInsideTheBorderWithItsArrowsAndThumb) {
    auto* m = Place<TMemo>(10, 10, 150, 60);
    m->SetScrollBars(ssVertical);
    m->Lines()->Add("one line");
    const int W = m->Width(), H = m->Height(), e = 2, sw = GetSystemMetrics(SM_CXVSCROLL);
    const int barX = W - e - sw / 2, trackTop = e + sw, trackBottom = H - e - sw;
    auto darkIn = [](const QImage& img, int left, int top, int size) {
        int n = 0;
        for (int y = top; y < top + size; ++y)
            for (int x = left; x < left + size; ++x) n += img.pixel(x, y) == Rgb(clBtnText);
        return n;
    };
    QImage img = Render(m);
    // The sunken border goes on round the bar.
    EXPECT_EQ(img.pixel(W - 1, H / 2), Rgb(clBtnHighlight));
    EXPECT_EQ(img.pixel(W - 2, H / 2), Rgb(cl3DLight));
    // Nothing to scroll: greyed arrows and no thumb.
    EXPECT_EQ(darkIn(img, W - e - sw, e, sw), 0);
    EXPECT_NE(img.pixel(barX, e + sw / 2), Rgb(clBtnFace)) << "an arrow is drawn";
    EXPECT_EQ(img.pixel(barX, (trackTop + trackBottom) / 2), Rgb(clScrollBar));

    for (int i = 0; i < 20; ++i) m->Lines()->Add(QStringLiteral("line %1").arg(i));
    img = Render(m);
    EXPECT_GT(darkIn(img, W - e - sw, e, sw), 0) << "the up arrow is live";
    EXPECT_GT(darkIn(img, W - e - sw, H - e - sw, sw), 0) << "the down arrow is live";
    // The thumb stands at the top of the track, and at its bottom at the end.
    EXPECT_EQ(img.pixel(barX, trackTop + 4), Rgb(clBtnFace));
    EXPECT_EQ(img.pixel(barX, trackBottom - 3), Rgb(clScrollBar));
    m->SetFocus();
    Input::KeyStroke(VK_END, ssCtrl);
    img = Render(m);
    EXPECT_EQ(img.pixel(barX, trackTop + 2), Rgb(clScrollBar));
    EXPECT_EQ(img.pixel(barX, trackBottom - 4), Rgb(clBtnFace));
}

TEST_F(EditTest, MemoWordWrapBreaksAfterABlank) {
    auto* m = Place<TMemo>(10, 10, 60, 100);
    TCanvas* c = m->Canvas();
    c->Font().Assign(*m->Font());
    // Two words that do not fit on one line together.
    QString a = "aaaa", b = "bbbb";
    while (c->TextWidth(a + " " + b) <= m->FormattingRect().Width()) {
        a += "a";
        b += "b";
    }
    ASSERT_LE(c->TextWidth(a + " "), m->FormattingRect().Width());
    m->SetText(a + " " + b);
    EXPECT_EQ(m->LineCount(), 2);
    EXPECT_EQ(m->LineIndex(1), a.size() + 1);
    EXPECT_EQ(m->Lines()->Count(), 1);  // Lines are the text's own lines
    m->SetWordWrap(false);
    EXPECT_EQ(m->LineCount(), 1);
}

}  // namespace
