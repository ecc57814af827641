// Tree nodes dragged out of the program.
#include "DragOutFixture.h"

#include "treeview/LazyTrees.h"

namespace {

// ---------------------------------------------------------------------------
// Tree nodes
// ---------------------------------------------------------------------------

class TreeDragOutTest : public DragOutTest {
protected:
    TLazyStringTree* SourceTree()
    {
        ShownForm(600, 400);
        auto* t = NewObject<TLazyStringTree>(Form);
        t->SetParent(Form);
        t->SetBorderStyle(bsNone);
        t->SetBounds(0, 0, 300, 300);
        t->SetClipboardFormats({"Unicode text", "HTML Format"});
        t->TreeOptions()->SetSelectionOptions(t->TreeOptions()->SelectionOptions().Include(toMultiSelect));
        t->TreeOptions()->SetAutoOptions(t->TreeOptions()->AutoOptions().Include(toAutoDeleteMovedNodes));
        t->SetDragMode(dmAutomatic);
        t->OnGetText = [](TBaseLazyTree*, PLazyNode n, TColumnIndex, TVSTTextType, QString& text) {
            text = kRow.value(int(n->Index));
        };
        for (int i = 0; i < 3; ++i)
            t->AddChild(nullptr);
        t->SetSelected(t->GetFirst(), true);
        t->SetSelected(t->GetNext(t->GetFirst()), true);
        Application()->ProcessMessages();
        return t;
    }
    static int Count(TLazyStringTree* t)
    {
        int n = 0;
        for (PLazyNode p = t->GetFirst(); p; p = t->GetNext(p))
            ++n;
        return n;
    }
};

TEST_F(TreeDragOutTest, NodesLeaveAsTextAndHtml)
{
    const struct {
        const char* Name;
        const char* Mode;
        bool Ctrl;
        const char* Action;
        int Left;  // nodes the tree keeps
    } cases[] = {
        {"move", "accept", false, "move", 1},
        {"copy", "accept", true, "copy", 3},
        {"refused", "refuse", false, "", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TLazyStringTree* t = SourceTree();
        StartReceiver(QString::fromLatin1(c.Mode));
        DragWithMouse(ScreenPoint(t, Point(40, 9)), DropPoint, c.Ctrl);
        const TReceived got = Received(*c.Action ? 5000 : 1500);
        if (*c.Action) {
            EXPECT_EQ(got.value("@action"), QByteArray(c.Action));
            const QByteArray text = got.value("text/plain;charset=utf-8");
            EXPECT_TRUE(text.contains("alpha") && text.contains("beta") && !text.contains("gamma")) << text.constData();
            const QByteArray html = got.value("text/html");
            EXPECT_TRUE(html.contains("<html") || html.contains("<HTML")) << html.constData();
            EXPECT_TRUE(html.contains("alpha") && html.contains("beta")) << html.constData();
            EXPECT_FALSE(html.contains("StartHTML"));
        } else {
            EXPECT_TRUE(got.isEmpty());
        }
        EXPECT_EQ(Count(t), c.Left);
        StopReceiver();
        delete Form;
        Form = nullptr;
    }
}

} // namespace
