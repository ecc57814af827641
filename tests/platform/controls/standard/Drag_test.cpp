// Dragging controls onto others inside the program.
#include "StdKit.h"
#include "platform/controls/DragControls.h"
#include "platform/controls/ExtCtrls.h"

namespace {

class DragTest : public StdTest {
protected:
    void SetUp() override {
        StdTest::SetUp();
        Source = Place<TLabel>(10, 10);
        Source->SetCaption("drag me");
        Source->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { Source->BeginDrag(false); };
        Source->OnStartDrag = [this](TObject*, TDragObject*&) { Log << "start"; };
        Source->OnEndDrag = [this](TObject*, TObject* target, int x, int y) {
            Log << QStringLiteral("end %1 %2,%3").arg(target ? static_cast<TComponent*>(target)->Name() : "none").arg(x).arg(y);
        };
        Target = Place<TPanel>(200, 100, 100, 80);
        Target->SetName("Target");
        Target->OnDragOver = [this](TObject*, TObject* src, int x, int y, TDragState st, bool& accept) {
            static const char* names[] = {"enter", "leave", "move"};
            Log << QStringLiteral("%1 %2,%3").arg(names[st]).arg(x).arg(y);
            accept = src == Source && x < 50;
        };
        Target->OnDragDrop = [this](TObject*, TObject* src, int x, int y) {
            Log << QStringLiteral("drop %1,%2 %3").arg(x).arg(y).arg(src == Source ? "label" : "other");
        };
    }
    TLabel* Source = nullptr;
    TPanel* Target = nullptr;
    QStringList Log;
};

TEST_F(DragTest, ADragPastTheThresholdEntersMovesAndDrops) {
    Input::MouseDown(Source, mbLeft, 2, 2);
    EXPECT_TRUE(Source->Dragging());
    EXPECT_EQ(Log, QStringList{"start"});
    // Within the threshold nothing is dragged yet.
    Input::MouseMove(Source, 4, 4);
    EXPECT_EQ(Log.size(), 1);
    Input::MouseMove(Target, 10, 10);
    Input::MouseMove(Target, 20, 15);
    EXPECT_EQ(Screen()->Cursor(), crDrag);
    Input::MouseUp(Target, mbLeft, 20, 15);
    EXPECT_FALSE(Source->Dragging());
    EXPECT_EQ(Log, (QStringList{"start", "enter 10,10", "move 20,15", "leave 20,15", "drop 20,15 label",
                                "end Target 20,15"}));
    EXPECT_EQ(Screen()->Cursor(), crDefault);
    EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST_F(DragTest, ARefusedPlaceGetsNoDropAndTheSourceHearsNoTarget) {
    Input::MouseDown(Source, mbLeft, 2, 2);
    Input::MouseMove(Target, 70, 10);  // the target refuses its right part
    EXPECT_EQ(Screen()->Cursor(), crNoDrop);
    Input::MouseUp(Target, mbLeft, 70, 10);
    EXPECT_EQ(Log, (QStringList{"start", "enter 70,10", "leave 70,10", "end none 0,0"}));
}

TEST_F(DragTest, EscapeCancelsAndAPressWithoutMovingEndsQuietly) {
    Input::MouseDown(Source, mbLeft, 2, 2);
    Input::MouseMove(Target, 10, 10);
    Input::KeyStroke(VK_ESCAPE);
    EXPECT_FALSE(Source->Dragging());
    EXPECT_EQ(Log.last(), "end none 0,0");
    EXPECT_TRUE(Log.contains("leave 10,10"));
    Input::MouseUp(Target, mbLeft, 10, 10);
    EXPECT_FALSE(Log.join(" ").contains("drop"));

    Log.clear();
    Input::Click(Source, 2, 2);
    EXPECT_EQ(Log, (QStringList{"start", "end none 0,0"}));
}

TEST_F(DragTest, AutomaticDragStartsWithThePressInsteadOfAClick) {
    auto* e = Place<TEdit>(10, 50);
    e->SetName("Edit");
    e->SetDragMode(dmAutomatic);
    int clicks = 0;
    e->OnClick = [&](TObject*) { ++clicks; };
    Input::MouseDown(e, mbLeft, 2, 2);
    EXPECT_TRUE(e->Dragging());
    Input::MouseMove(Target, 5, 5);
    Input::MouseUp(Target, mbLeft, 5, 5);
    EXPECT_EQ(clicks, 0);
    // The target's rule takes only the label.
    EXPECT_FALSE(Log.join(" ").contains("drop"));
}

TEST_F(DragTest, AnOwnDragObjectIsTheSourceTheTargetsSee) {
    struct TRows : TDragObject {
        QString What = "rows 3-5";
    } rows;
    Source->OnStartDrag = [&](TObject*, TDragObject*& obj) { obj = &rows; };
    TObject* seen = nullptr;
    Target->OnDragOver = [&](TObject*, TObject* src, int, int, TDragState, bool& accept) {
        seen = src;
        accept = true;
    };
    Input::MouseDown(Source, mbLeft, 2, 2);
    Input::MouseMove(Target, 5, 5);
    EXPECT_EQ(ActiveDragObject(), &rows);
    Input::MouseUp(Target, mbLeft, 5, 5);
    EXPECT_EQ(seen, &rows);
    EXPECT_EQ(rows.DragTarget, Target);
}

TEST_F(DragTest, ASourceFreedDuringTheDragEndsIt) {
    Input::MouseDown(Source, mbLeft, 2, 2);
    Input::MouseMove(Target, 5, 5);
    delete Source;
    EXPECT_EQ(ActiveDragSource(), nullptr);
    // A new drag can start.
    auto* again = Place<TLabel>(10, 10);
    again->BeginDrag(true);
    EXPECT_TRUE(again->Dragging());
    again->EndDrag(false);
    EXPECT_FALSE(again->Dragging());
}

}  // namespace
