// The string tree's text painting: shortening, alignment of cut texts,
// multi-line centring, column spanning, the static text, text colours.
#include "PaintKit.h"

#include <QHash>

namespace {
struct TTexts {
    QHash<QPair<PLazyNode, int>, QString> Normal;
    QHash<PLazyNode, QString> Static;
    void Attach(TLazyStringTree* t) {
        t->OnGetText = [this](TBaseLazyTree*, PLazyNode n, TColumnIndex c, TVSTTextType type, QString& text) {
            text = type == ttNormal ? Normal.value({n, c}) : Static.value(n);
        };
    }
};

void AddColumns(TBaseLazyTree* t, int n, int width) {
    for (int i = 0; i < n; ++i) t->Header()->Columns()->Add()->SetWidth(width);
}

const TPaintTree::TDrawn* DrawnIn(const TPaintTree* t, TColumnIndex c) {
    for (const auto& d : t->Drawn)
        if (d.Column == c) return &d;
    return nullptr;
}

const QString LongText = QStringLiteral("Heat meter 12345678 energy register");
}  // namespace

TEST_F(PaintTest, ATreeWithoutColumnsNeverShortens) {
    TPaintTree* t = NewTree(60, 40);
    TTexts texts;
    texts.Attach(t);
    PLazyNode n = t->AddChild(nullptr);
    texts.Normal[{n, NoColumn}] = LongText;
    int shortened = 0;
    t->OnShortenString = [&](TBaseLazyTree*, TCanvas*, PLazyNode, TColumnIndex, const QString&, int, QString&,
                             bool&) { ++shortened; };
    Render(t);
    ASSERT_EQ(t->Drawn.size(), 1);
    EXPECT_EQ(t->Drawn[0].Text, LongText);
    EXPECT_EQ(shortened, 0);
}

TEST_F(PaintTest, CutTextsEndInAnEllipsisAndCentredOnesStartLeft) {
    TPaintTree* t = NewTree(300, 40);
    TTexts texts;
    texts.Attach(t);
    AddColumns(t, 2, 80);
    PLazyNode n = t->AddChild(nullptr);
    texts.Normal[{n, 0}] = LongText;
    texts.Normal[{n, 1}] = LongText;
    TLazyTreeColumn* second = t->Header()->Columns()->Items(1);
    struct Case {
        TAlignment alignment;
        unsigned alignFlag;
    } cases[] = {{taLeftJustify, DT_LEFT}, {taCenter, DT_LEFT}, {taRightJustify, DT_RIGHT}};
    for (const Case& c : cases) {
        second->SetAlignment(c.alignment);
        t->Drawn.clear();
        Render(t);
        const auto* d = DrawnIn(t, 1);
        ASSERT_NE(d, nullptr);
        EXPECT_TRUE(d->Text.endsWith(QStringLiteral("..."))) << d->Text.toStdString();
        EXPECT_TRUE(LongText.startsWith(d->Text.chopped(3)));
        EXPECT_LE(t->Canvas()->TextWidth(d->Text), d->Rect.Width() + 1);
        EXPECT_EQ(d->Format & (DT_CENTER | DT_RIGHT), c.alignFlag) << int(c.alignment);
    }
    // A text that fits keeps its alignment.
    texts.Normal[{n, 1}] = QStringLiteral("ok");
    second->SetAlignment(taCenter);
    t->Drawn.clear();
    Render(t);
    EXPECT_EQ(DrawnIn(t, 1)->Text, QStringLiteral("ok"));
    EXPECT_EQ(DrawnIn(t, 1)->Format & (DT_CENTER | DT_RIGHT), unsigned(DT_CENTER));
}

TEST_F(PaintTest, AMultiLineTextLowerThanItsRowIsCentred) {
    TPaintTree* t = NewTree(200, 120);
    TTexts texts;
    texts.Attach(t);
    PLazyNode n = t->AddChild(nullptr);
    texts.Normal[{n, NoColumn}] = QStringLiteral("two words");
    t->SetMultiline(n, true);
    t->SetNodeHeight(n, 60);
    Render(t);
    ASSERT_EQ(t->Drawn.size(), 1);
    const auto& d = t->Drawn[0];
    const int above = d.Rect.Top - d.ContentRect.Top, below = d.ContentRect.Bottom - d.Rect.Bottom;
    EXPECT_GT(above, 10);
    EXPECT_EQ(above, below);
    EXPECT_TRUE(d.Format & DT_WORDBREAK);
    // A taller text starts at the top of its rectangle.
    t->SetNodeHeight(n, 8);
    t->Drawn.clear();
    Render(t);
    EXPECT_EQ(t->Drawn[0].Rect.Top, t->Drawn[0].ContentRect.Top);
}

TEST_F(PaintTest, TextsSpanEmptyCellsUpToARightToLeftColumn) {
    TPaintTree* t = NewTree(400, 40);
    TTexts texts;
    texts.Attach(t);
    AddColumns(t, 4, 60);
    t->TreeOptions()->SetAutoOptions(t->TreeOptions()->AutoOptions() + TLTAutoOptions{toAutoSpanColumns});
    t->RecordOnly = true;
    PLazyNode n = t->AddChild(nullptr);
    texts.Normal[{n, 0}] = LongText;
    texts.Normal[{n, 3}] = QStringLiteral("end");
    Render(t);
    ASSERT_NE(DrawnIn(t, 0), nullptr);
    // Three cells of 60 less the text margin.
    EXPECT_EQ(DrawnIn(t, 0)->Rect.Right, 180 - 4);
    EXPECT_NE(DrawnIn(t, 3), nullptr);
    // A right-to-left column stops the spanning.
    t->Header()->Columns()->Items(2)->SetBiDiMode(bdRightToLeft);
    t->Drawn.clear();
    Render(t);
    EXPECT_EQ(DrawnIn(t, 0)->Rect.Right, 120 - 4);
    // Without the option every cell keeps its own width.
    t->TreeOptions()->SetAutoOptions(t->TreeOptions()->AutoOptions() - TLTAutoOptions{toAutoSpanColumns});
    t->Drawn.clear();
    Render(t);
    EXPECT_EQ(DrawnIn(t, 0)->Rect.Right, 60 - 4);
}

TEST_F(PaintTest, StaticTextOnlyForLeftOrRightAlignedSingleLineNodes) {
    TPaintTree* t = NewTree(300, 60);
    TTexts texts;
    texts.Attach(t);
    t->SetStringOptions(t->StringOptions() + TLTStringOptions{toShowStaticText});
    PLazyNode n = t->AddChild(nullptr);
    texts.Normal[{n, NoColumn}] = QStringLiteral("Meter");
    texts.Static[n] = QStringLiteral("(3 values)");
    Render(t);
    EXPECT_EQ(t->StaticTextCalls, 1);
    EXPECT_GT(t->NodeExtraWidth(n, NoColumn), 0);
    t->SetAlignment(taCenter);
    Render(t);
    EXPECT_EQ(t->StaticTextCalls, 1);
    EXPECT_EQ(t->NodeExtraWidth(n, NoColumn), 0);
    t->SetAlignment(taLeftJustify);
    t->SetMultiline(n, true);
    Render(t);
    EXPECT_EQ(t->StaticTextCalls, 1);
    // Without the option there is none.
    t->SetMultiline(n, false);
    t->SetStringOptions({});
    Render(t);
    EXPECT_EQ(t->StaticTextCalls, 1);
    EXPECT_EQ(t->NodeExtraWidth(n, NoColumn), 0);
}

TEST_F(PaintTest, TheMainColumnWidthIsMeasuredOnceUntilInvalidated) {
    TPaintTree* t = NewTree(200, 60);
    int normalCalls = 0;
    t->OnGetText = [&](TBaseLazyTree*, PLazyNode, TColumnIndex, TVSTTextType type, QString& text) {
        if (type == ttNormal) ++normalCalls;
        text = QStringLiteral("Meter");
    };
    PLazyNode n = t->AddChild(nullptr);
    const int w = t->NodeWidth(n, NoColumn);
    EXPECT_EQ(w, 2 * t->TextMargin() + t->Canvas()->TextWidth(QStringLiteral("Meter")));
    EXPECT_EQ(normalCalls, 1);
    t->NodeWidth(n, NoColumn);
    EXPECT_EQ(normalCalls, 1);
    t->InvalidateNode(n);
    t->NodeWidth(n, NoColumn);
    EXPECT_EQ(normalCalls, 2);
    // A handler that makes the font bold measures with the bold font.
    t->OnPaintText = [](TBaseLazyTree*, TCanvas* c, PLazyNode, TColumnIndex, TVSTTextType) {
        c->Font().SetStyle(fsBold);
    };
    t->InvalidateNode(n);
    TBitmap scratch(10, 10);
    scratch.Canvas()->Font().Assign(*t->Font());
    scratch.Canvas()->Font().SetStyle(fsBold);
    EXPECT_EQ(t->NodeWidth(n, NoColumn), 2 * t->TextMargin() + scratch.Canvas()->TextWidth(QStringLiteral("Meter")));
}

TEST_F(PaintTest, TextDrawnWithoutAHandlerShowsTheDefaultText) {
    TPaintTree* t = NewTree(200, 60);
    t->RecordOnly = true;
    t->AddChild(nullptr);
    Render(t);
    ASSERT_EQ(t->Drawn.size(), 1);
    EXPECT_EQ(t->Drawn[0].Text, QStringLiteral("Node"));
    // A handler that gives nothing leaves the cell empty.
    t->OnGetText = [](TBaseLazyTree*, PLazyNode, TColumnIndex, TVSTTextType, QString&) {};
    t->Drawn.clear();
    Render(t);
    EXPECT_TRUE(t->Drawn.isEmpty());
}

TEST_F(PaintTest, TextColoursForSelectionHotAndDisabledNodes) {
    TPaintTree* t = NewTree(200, 80);
    TCustomLazyTreeOptions* o = t->TreeOptions();
    o->SetPaintOptions(o->PaintOptions() + TLTPaintOptions{toPopupMode, toHotTrack, toHideFocusRect});
    t->Colors()->SetColor(TLTColors::HotColor, clRed);
    t->Colors()->SetColor(TLTColors::DisabledColor, clOlive);
    PLazyNode sel = t->AddChild(nullptr);
    PLazyNode hot = t->AddChild(nullptr);
    PLazyNode off = t->AddChild(nullptr);
    t->SetSelected(sel, true);
    t->SetHotNode(hot);
    t->SetDisabled(off, true);
    auto img = Render(t);
    auto rowHas = [&](int row, TColor c) {
        for (int y = row * 18; y < row * 18 + 18; ++y)
            for (int x = 0; x < 200; ++x)
                if (PixelAt(img.get(), x, y) == ColorToRGB(c)) return true;
        return false;
    };
    EXPECT_TRUE(rowHas(0, clHighlightText));
    EXPECT_TRUE(rowHas(1, clRed));
    EXPECT_TRUE(rowHas(2, clOlive));
    EXPECT_FALSE(rowHas(2, clWindowText));
}
