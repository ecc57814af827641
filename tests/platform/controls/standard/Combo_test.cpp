// Combo boxes driven through keys, clicks and messages.
#include "StdKit.h"

#include "platform/controls/ScrollBars.h"

namespace {

class ComboTest : public StdTest {
protected:
    TComboBox* NewCombo(TComboBoxStyle style, const QStringList& items) {
        auto* c = Place<TComboBox>(20, 20, 120, 21);
        c->SetStyle(style);
        for (const QString& s : items) c->Items()->Add(s);
        c->OnChange = [this](TObject*) { Events << "change"; };
        c->OnSelect = nullptr;
        c->OnClick = [this](TObject*) { Events << "click"; };
        c->OnDropDown = [this](TObject*) { Events << "dropdown"; };
        c->OnCloseUp = [this](TObject*) { Events << "closeup"; };
        return c;
    }
    // Clicks on item `i` of the dropped list.
    void ClickItem(TComboBox* c, int i) {
        TComboListWindow* list = c->ListWindow();
        ASSERT_TRUE(list && list->Showing());
        const TRect r = list->ItemRect(i);
        Input::Click(list, r.Left + 3, r.Top + 2);
    }
    QStringList Events;
};

const QStringList kRates = {"Apple", "Banana", "Cherry", "Blueberry", "Date"};

TEST_F(ComboTest, TypingALetterSelectsTheNextItemStartingWithIt) {
    auto* c = NewCombo(csDropDownList, kRates);
    c->SetFocus();
    struct Step {
        QChar typed;
        int expected;
    };
    // From no selection: the first "B"; again: the next one; a letter no
    // item starts with changes nothing.
    const Step steps[] = {{'b', 1}, {'b', 3}, {'B', 1}, {'x', 1}, {'d', 4}};
    for (const Step& s : steps) {
        SetTickCountForTest(TickCount() + 2000);  // each letter a new search
        Input::Char(s.typed);
        EXPECT_EQ(c->ItemIndex(), s.expected) << QString(s.typed).toStdString();
        EXPECT_EQ(c->Text(), kRates[s.expected]);
    }
    // Four changes (x changed nothing), each one OnClick then OnChange.
    EXPECT_EQ(Events.count("change"), 4);
    EXPECT_EQ(Events.count("click"), 4);
}

TEST_F(ComboTest, LettersTypedQuicklySearchByPrefix) {
    auto* c = NewCombo(csDropDownList, kRates);
    c->SetFocus();
    Input::Char('b');
    Input::Char('l');
    EXPECT_EQ(c->Text(), "Blueberry");
}

TEST_F(ComboTest, OnChangeOncePerUserChangeAndNeverFromCode) {
    auto* c = NewCombo(csDropDownList, kRates);
    c->SetItemIndex(2);
    c->SetText("Banana");
    EXPECT_EQ(c->ItemIndex(), 1);
    c->SetItemIndex(-1);
    EXPECT_TRUE(Events.isEmpty());

    c->SetFocus();
    Input::KeyStroke(VK_DOWN);
    Input::KeyStroke(VK_DOWN);
    EXPECT_EQ(c->ItemIndex(), 1);
    EXPECT_EQ(Events.count("change"), 2);
    // At the last item Down changes nothing and says nothing.
    Events.clear();
    Input::KeyStroke(VK_END);
    Input::KeyStroke(VK_DOWN);
    EXPECT_EQ(Events, (QStringList{"click", "change"}));
}

TEST_F(ComboTest, OnSelectTakesThePlaceOfOnChangeForAChoiceFromTheList) {
    auto* c = NewCombo(csDropDownList, kRates);
    c->OnSelect = [this](TObject*) { Events << "select"; };
    c->SetFocus();
    Input::KeyStroke(VK_DOWN);
    EXPECT_EQ(Events, (QStringList{"click", "select"}));
}

TEST_F(ComboTest, ItemIndexMinusOneShowsNoText) {
    for (TComboBoxStyle style : {csDropDownList, csDropDown}) {
        auto* c = NewCombo(style, kRates);
        c->SetItemIndex(3);
        EXPECT_EQ(c->Text(), "Blueberry");
        c->SetItemIndex(-1);
        EXPECT_EQ(c->Text(), "") << style;
        c->SetItemIndex(7);  // outside the list: none
        EXPECT_EQ(c->ItemIndex(), -1);
        EXPECT_EQ(c->Text(), "");
        delete c;
    }
}

TEST_F(ComboTest, TheListOpensBelowAndAReplacedProcedureSeesMessage308) {
    auto* c = NewCombo(csDropDownList, kRates);
    c->SetDroppedWidth(300);
    // The dialog's procedure in front of the combo's: it lines the list's
    // right edge up with the combo's, as the wide lists of the M-Bus dialog do.
    TWndMethod old = c->WindowProc;
    QList<LPARAM> colourAsks;
    struct Restore {
        TComboBox* c;
        TWndMethod old;
        ~Restore() { c->WindowProc = old; }
    } restore{c, old};
    c->WindowProc = [&, old](TMessage& m) {
        if (m.Msg == 308) {
            colourAsks << m.LParam;
            TWinControl* list = FindControl(HWND(m.LParam));
            const TPoint comboRight = c->ClientToScreen(Point(c->Width(), 0));
            if (list && list->Left() + list->Width() != comboRight.X)
                list->SetBounds(comboRight.X - list->Width(), list->Top(), list->Width(), list->Height());
        }
        old(m);
    };
    Input::Click(c, 110, 10);
    ASSERT_TRUE(c->DroppedDown());
    EXPECT_EQ(Events, (QStringList{"dropdown"}));
    TComboListWindow* list = c->ListWindow();
    ASSERT_EQ(colourAsks.size(), 1);
    EXPECT_EQ(colourAsks[0], LPARAM(list->Handle()));
    const TPoint below = c->ClientToScreen(Point(0, c->Height()));
    EXPECT_EQ(list->Top(), below.Y);
    EXPECT_EQ(list->Width(), 300);
    EXPECT_EQ(list->Left() + list->Width(), below.X + c->Width());

    // A click on an item chooses it and closes the list.
    ClickItem(c, 2);
    EXPECT_FALSE(c->DroppedDown());
    EXPECT_EQ(c->ItemIndex(), 2);
    EXPECT_EQ(Events, (QStringList{"dropdown", "click", "change", "closeup"}));
}

TEST_F(ComboTest, TheListShowsDropDownCountItemsAndOpensAboveWhenBelowHasNoRoom) {
    QStringList many;
    for (int i = 0; i < 12; ++i) many << QStringLiteral("Item %1").arg(i);
    auto* c = NewCombo(csDropDownList, many);
    c->SetItemHeight(15);
    struct Case { const char* name; int count, items; };
    const Case cases[] = {{"default count", 8, 12}, {"three", 3, 12}, {"fewer items than the count", 8, 2}};
    for (const Case& tc : cases) {
        c->SetDropDownCount(tc.count);
        while (c->Items()->Count() > tc.items) c->Items()->Delete(c->Items()->Count() - 1);
        c->SetDroppedDown(true);
        ASSERT_TRUE(c->DroppedDown()) << tc.name;
        // One pixel of frame above and below the items shown.
        EXPECT_EQ(c->ListWindow()->Height(), 2 + 15 * std::min(tc.count, tc.items)) << tc.name;
        c->SetDroppedDown(false);
    }

    // Near the bottom of the work area the list goes above the combo.
    const TRect work = ScreenWorkArea();
    struct RestoreWork {
        TRect r;
        ~RestoreWork() { SetScreenWorkArea(r); }
    } restore{work};
    c->SetDropDownCount(8);
    for (int i = c->Items()->Count(); i < 12; ++i) c->Items()->Add(QStringLiteral("Item %1").arg(i));
    const int comboTop = c->ClientToScreen(Point(0, 0)).Y, comboBottom = comboTop + c->Height();
    SetScreenWorkArea(Rect(work.Left, work.Top, work.Right, comboBottom + 40));
    c->SetDroppedDown(true);
    EXPECT_EQ(c->ListWindow()->Top() + c->ListWindow()->Height(), comboTop);
    c->SetDroppedDown(false);
    // With more room below than above, it stays below even when cut.
    SetScreenWorkArea(Rect(work.Left, comboTop - 10, work.Right, comboBottom + 40));
    c->SetDroppedDown(true);
    EXPECT_EQ(c->ListWindow()->Top(), comboBottom);
    c->SetDroppedDown(false);
}

TEST_F(ComboTest, ALongListScrollsThroughThePlatformScrollBar) {
    QStringList many;
    for (int i = 0; i < 12; ++i) many << QStringLiteral("Item %1").arg(i);
    auto* c = NewCombo(csDropDownList, many);
    c->SetItemHeight(15);
    c->SetDropDownCount(5);
    c->SetFocus();
    Input::Click(c, 110, 10);
    ASSERT_TRUE(c->DroppedDown());
    TComboListWindow* list = c->ListWindow();

    // The bar takes 17 pixels of the list's width, out of its client area,
    // and holds the list's range and page.
    EXPECT_EQ(list->ClientWidth(), list->Width() - 17);
    EXPECT_EQ(list->ClientHeight(), list->Height());
    TScrollInfo si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(list, SB_VERT, si));
    EXPECT_EQ(si.nMin, 0);
    EXPECT_EQ(si.nMax, 11);
    EXPECT_EQ(si.nPage, 5u);
    EXPECT_EQ(si.nPos, 0);
    // It is painted in the strip, where the items are not.
    const QImage shot = list->RenderClient();
    int face = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = list->ClientWidth(); x < shot.width(); ++x) face += shot.pixel(x, y) == Rgb(clBtnFace);
    EXPECT_GT(face, 0);

    // A click on the down arrow scrolls one item; the list stays down and
    // the combo keeps the mouse.
    QList<int> codes;
    const TWndMethod old = list->WindowProc;
    list->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_VSCROLL) codes << LoWord(LPARAM(m.WParam));
        old(m);
    };
    const int barX = list->ClientWidth() + 8;
    Input::Click(list, barX, list->Height() - 5);
    EXPECT_EQ(codes.value(0, -1), int(SB_LINEDOWN));
    EXPECT_EQ(codes.value(codes.size() - 1, -1), int(SB_ENDSCROLL));
    EXPECT_EQ(list->TopIndex(), 1);
    EXPECT_EQ(GetScrollPos(list, SB_VERT), 1);
    EXPECT_TRUE(c->DroppedDown());
    EXPECT_EQ(GetCaptureControl(), c);

    // The thumb dragged past the bottom shows the last item.
    const TRect thumb = list->ScrollBarsState()->PartRect(SB_VERT, sbpThumb);
    ASSERT_FALSE(thumb.IsEmpty());
    const int tx = (thumb.Left + thumb.Right) / 2, ty = (thumb.Top + thumb.Bottom) / 2;
    Input::MouseDown(list, mbLeft, tx, ty);
    Input::MouseMove(list, tx, ty + list->Height());
    EXPECT_TRUE(codes.contains(int(SB_THUMBTRACK)));
    EXPECT_EQ(list->TopIndex(), 7);
    Input::MouseUp(list, mbLeft, tx, ty + list->Height());
    EXPECT_EQ(list->TopIndex(), 7);
    EXPECT_LE(list->ItemRect(11).Bottom, list->ClientHeight());
    EXPECT_TRUE(c->DroppedDown());
    list->WindowProc = old;

    // A click on an item still chooses it.
    ClickItem(c, 11);
    EXPECT_FALSE(c->DroppedDown());
    EXPECT_EQ(c->ItemIndex(), 11);
}

TEST_F(ComboTest, KeysInTheOpenListMoveAHighlightUntilEnter) {
    auto* c = NewCombo(csDropDownList, kRates);
    auto* ok = Place<TButton>(200, 200);
    ok->SetDefault(true);
    int okClicks = 0;
    ok->OnClick = [&](TObject*) { ++okClicks; };
    c->SetFocus();
    Input::KeyStroke(VK_DOWN, ssAlt);
    ASSERT_TRUE(c->DroppedDown());
    Input::KeyStroke(VK_DOWN);
    Input::KeyStroke(VK_DOWN);
    EXPECT_EQ(c->HighlightIndex(), 1);
    EXPECT_EQ(c->ItemIndex(), -1);
    // Escape drops the highlight; the dialog's Cancel does not see it.
    Input::KeyStroke(VK_ESCAPE);
    EXPECT_FALSE(c->DroppedDown());
    EXPECT_EQ(c->ItemIndex(), -1);
    EXPECT_EQ(Events.count("change"), 0);

    Input::KeyStroke(VK_F4);
    Input::KeyStroke(VK_DOWN);
    Input::KeyStroke(VK_RETURN);
    EXPECT_FALSE(c->DroppedDown());
    EXPECT_EQ(c->ItemIndex(), 0);
    EXPECT_EQ(Events.count("change"), 1);
    EXPECT_EQ(okClicks, 0);
    // Closed again, Enter is the dialog's.
    Input::KeyStroke(VK_RETURN);
    EXPECT_EQ(okClicks, 1);
}

TEST_F(ComboTest, AClickOutsideOrLosingTheFocusClosesWithoutChange) {
    auto* c = NewCombo(csDropDownList, kRates);
    auto* other = Place<TEdit>(20, 200);
    Input::Click(c, 110, 10);
    ASSERT_TRUE(c->DroppedDown());
    Input::Click(other, 5, 5);
    EXPECT_FALSE(c->DroppedDown());
    EXPECT_EQ(c->ItemIndex(), -1);

    Input::Click(c, 110, 10);
    ASSERT_TRUE(c->DroppedDown());
    // The combo's own button closes it again.
    Input::Click(c, 110, 10);
    EXPECT_FALSE(c->DroppedDown());
    EXPECT_EQ(Events.count("closeup"), 2);
    EXPECT_EQ(Events.count("change"), 0);
}

TEST_F(ComboTest, EditStyleTypingChangesTextAndTracksTheMatchingItem) {
    auto* c = NewCombo(csDropDown, kRates);
    c->SetMaxLength(6);
    c->SetFocus();
    Type("cherry");
    EXPECT_EQ(c->Text(), "cherry");
    EXPECT_EQ(c->ItemIndex(), 2);
    EXPECT_EQ(Events.count("change"), 6);
    Type("x");
    EXPECT_EQ(c->Text(), "cherry");
    Input::KeyStroke(VK_BACK);
    EXPECT_EQ(c->ItemIndex(), -1);
    // Text set in code: no change, and the selection stays as it is.
    Events.clear();
    c->SetItemIndex(4);
    c->SetText("Plum");
    EXPECT_EQ(c->ItemIndex(), 4);
    EXPECT_TRUE(Events.isEmpty());
}

TEST_F(ComboTest, ItemsKeepTheirObjectsAndTheSelectionFollowsItsItem) {
    auto* c = NewCombo(csDropDownList, {});
    TObject a, b;
    c->Items()->AddObject("one", &a);
    c->Items()->AddObject("three", &b);
    c->SetItemIndex(1);
    c->Items()->Insert(0, "zero");
    EXPECT_EQ(c->ItemIndex(), 2);
    EXPECT_EQ(c->Items()->Objects(c->ItemIndex()), &b);
    c->Items()->Delete(2);
    EXPECT_EQ(c->ItemIndex(), -1);
    EXPECT_EQ(c->Text(), "");

    c->SetSorted(true);
    c->Items()->Add("a-first");
    EXPECT_EQ(c->Items()->Strings(0), "a-first");
}

TEST_F(ComboTest, OwnerDrawnItemsAreDrawnAndMeasuredByTheHandlers) {
    auto* c = NewCombo(csOwnerDrawVariable, kRates);
    QList<int> drawn, measured;
    c->OnMeasureItem = [&](TWinControl*, int i, int& h) {
        measured << i;
        h = 10 + i;
    };
    c->OnDrawItem = [&](TWinControl*, int i, TRect, TOwnerDrawState st) {
        if (!(st & odComboBoxEdit)) drawn << i;
    };
    c->SetItemIndex(1);
    c->SetDroppedDown(true);
    ASSERT_TRUE(c->DroppedDown());
    // The list is as high as the measured items plus its frame.
    EXPECT_EQ(c->ListWindow()->Height(), 10 + 11 + 12 + 13 + 14 + 2);
    Render(c->ListWindow());
    EXPECT_EQ(drawn, (QList<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(measured.contains(4));
    c->SetDroppedDown(false);
}

TEST_F(ComboTest, NotificationsReachTheParent) {
    auto* c = NewCombo(csDropDownList, kRates);
    QList<int> codes;
    const TWndMethod old = Form->WindowProc;
    struct Restore {
        TForm* f;
        TWndMethod old;
        ~Restore() { f->WindowProc = old; }
    } restore{Form, old};
    Form->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_COMMAND && m.LParam == LPARAM(c->Handle())) codes << HiWord(LPARAM(m.WParam));
        old(m);
    };
    c->SetFocus();
    Input::KeyStroke(VK_DOWN);
    c->SetDroppedDown(true);
    c->SetDroppedDown(false);
    EXPECT_EQ(codes, (QList<int>{CBN_SETFOCUS, CBN_SELCHANGE, CBN_DROPDOWN, CBN_CLOSEUP, CBN_SELENDCANCEL}));
}

}  // namespace
