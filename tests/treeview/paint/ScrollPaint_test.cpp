// Scrolling a shown tree moves the rows already drawn: only the strip that
// comes into view is painted, fixed columns stay, and the picture is the one
// a full paint of the scrolled tree gives.
#include "PaintKit.h"

namespace {
class TreeScrollTest : public PaintTest {
protected:
    // A shown tree of 40 expanded parents with 3 children each, every cell
    // with its own text, selection and focus on a child.
    TPaintTree* ShownTree(int columns) {
        TPaintTree* t = NewTree(260, 200);
        Form->SetBorderStyle(bsNone);
        Form->SetClientSize(300, 240);
        t->SetBounds(10, 20, 260, 200);
        for (int i = 0; i < columns; ++i) t->Header()->Columns()->Add()->SetWidth(90);
        t->OnGetText = [](TBaseLazyTree* s, PLazyNode n, TColumnIndex c, TVSTTextType, QString& text) {
            text = QStringLiteral("L%1 N%2 C%3").arg(s->GetNodeLevel(n)).arg(n->Index).arg(c);
        };
        t->BeginUpdate();
        t->SetRootNodeCount(40);
        for (PLazyNode p = t->GetFirst(); p; p = p->NextSibling) t->SetChildCount(p, 3);
        t->EndUpdate();
        t->FullExpand();
        PLazyNode focus = t->GetFirst()->FirstChild->NextSibling;
        t->SetFocusedNode(focus);
        t->SetSelected(focus, true);
        Form->Show();
        Form->RenderClient();
        return t;
    }
    // The tree's client area in the form's coordinates.
    static QRect ClientInForm(TBaseLazyTree* t) {
        TRect r;
        EXPECT_TRUE(t->VisibleRectInForm(r));
        return QRect(r.Left, r.Top, t->ClientWidth(), t->ClientHeight());
    }
    void ExpectSurfaceIsAFullPaint() {
        Form->PaintPending();
        const QImage scrolled = Form->Surface()->copy();
        const QImage full = Form->RenderClient();
        EXPECT_TRUE(scrolled == full) << "the moved rows differ from a full paint";
    }
};
}  // namespace

TEST_F(TreeScrollTest, OneRowPaintsOnlyTheRowThatComesIntoView) {
    TPaintTree* t = ShownTree(0);
    const QRect client = ClientInForm(t);
    const int h = t->ClientHeight(), w = t->ClientWidth(), row = int(t->DefaultNodeHeight());
    struct Case {
        const char* What;
        int OffsetY;
        QRect Strip;  // form coordinates
    } cases[] = {
        {"one row down", -row, QRect(client.left(), client.top() + h - row, w, row)},
        {"another row down", -2 * row, QRect(client.left(), client.top() + h - row, w, row)},
        {"one row up", -row, QRect(client.left(), client.top(), w, row)},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.What);
        t->Drawn.clear();
        t->SetOffsetY(k.OffsetY);
        EXPECT_EQ(Form->UpdateRegion() & client, QRegion(k.Strip)) << "only the new row's strip waits";
        Form->PaintPending();
        EXPECT_LE(t->Drawn.size(), 2) << "only the nodes the strip meets are drawn again";
        ExpectSurfaceIsAFullPaint();
    }
}

TEST_F(TreeScrollTest, SidewaysTheColumnsMoveAndFixedColumnsStay) {
    TPaintTree* t = ShownTree(5);
    const QRect client = ClientInForm(t);
    t->SetOffsetX(-30);
    EXPECT_EQ(Form->UpdateRegion() & client, QRegion(client.right() + 1 - 30, client.top(), 30, client.height()));
    ExpectSurfaceIsAFullPaint();
    // Down and sideways together.
    t->SetOffsetXY(Point(-50, -3 * int(t->DefaultNodeHeight())));
    ExpectSurfaceIsAFullPaint();

    // A fixed column is never moved nor painted again by a sideways scroll.
    t->SetOffsetXY(Point(0, 0));
    TLazyTreeColumn* fixed = t->Header()->Columns()->Items(0);
    fixed->SetOptions(fixed->Options() + TLTColumnOptions{coFixed});
    Form->RenderClient();
    const QImage before = Form->Surface()->copy();
    t->SetOffsetX(-30);
    EXPECT_EQ(Form->UpdateRegion() & client, QRegion(client.right() + 1 - 30, client.top(), 30, client.height()));
    Form->PaintPending();
    const QRect fixedPart(client.left(), client.top(), 90, client.height());
    EXPECT_TRUE(before.copy(fixedPart) == Form->Surface()->copy(fixedPart)) << "the fixed column changed";
}

TEST_F(TreeScrollTest, ARowWaitingToBePaintedIsStillWaitingWhereItMovedTo) {
    TPaintTree* t = ShownTree(0);
    const QRect client = ClientInForm(t);
    const int row = int(t->DefaultNodeHeight());
    PLazyNode n = t->GetFirst()->NextSibling;  // the fifth row
    t->InvalidateNode(n);
    const QRect waiting = Form->UpdateRegion().boundingRect();
    t->SetOffsetY(-row);
    const QRect strip(client.left(), client.bottom() + 1 - row, client.width(), row);
    EXPECT_EQ(Form->UpdateRegion() & client, QRegion(waiting.translated(0, -row)) + QRegion(strip));
    ExpectSurfaceIsAFullPaint();
}
