#include "BaseGridKit.h"

#include "support/QtPrinters.h"

namespace {
class UndoRedoTest : public BaseGridTest {
protected:
    void SetUp() override
    {
        BaseGridTest::SetUp();
        NewGrid();
        Grid->SetColCount(6);
        Grid->SetRowCount(6);
        Recorder = new TExGridUndoRedo(Form);
        Grid->SetUndoRedo(Recorder);
        Recorder->OnUndo = [this](TObject*, TBaseGrid*, int c, int r, const QString& o, const QString& n) {
            Log << QString("undo %1,%2 %3>%4").arg(c).arg(r).arg(o, n);
        };
        Recorder->OnRedo = [this](TObject*, TBaseGrid*, int c, int r, const QString& o, const QString& n) {
            Log << QString("redo %1,%2 %3>%4").arg(c).arg(r).arg(o, n);
        };
    }
    // A cell edit as the string grid records it.
    void Edit(int c, int r, const QString& v)
    {
        Recorder->RegisterChange(c, r, Grid->GetCellEx(c, r), v);
        Grid->SetCellEx(c, r, v);
    }
    TExGridUndoRedo* Recorder = nullptr;
    QStringList Log;
};
} // namespace

TEST_F(UndoRedoTest, SingleChangesStepBackAndForth)
{
    EXPECT_EQ(Recorder->Grid, Grid);
    Edit(1, 1, "A");
    Edit(2, 2, "B");
    Recorder->Undo();
    EXPECT_EQ(Grid->GetCellEx(2, 2), "");
    EXPECT_EQ(Grid->Col(), 2); // the changed cell becomes current
    Recorder->Undo();
    EXPECT_EQ(Grid->GetCellEx(1, 1), "");
    EXPECT_FALSE(Recorder->CanUndo());
    EXPECT_TRUE(Recorder->CanRedo());
    Recorder->Redo();
    EXPECT_EQ(Grid->GetCellEx(1, 1), "A");
    EXPECT_EQ(Log, QStringList({"undo 2,2 B>", "undo 1,1 A>", "redo 1,1 >A"}));

    // A new change after undone ones: they stay, but Redo has nothing left.
    Recorder->Undo();
    Edit(3, 3, "C");
    EXPECT_EQ(Recorder->Items()->Count(), 3);
    EXPECT_EQ(Recorder->Level(), 3);
    EXPECT_FALSE(Recorder->CanRedo());
}

TEST_F(UndoRedoTest, SequenceUndoesAndRedoesAsOne)
{
    Edit(1, 1, "before");
    Recorder->StartSequence();
    Edit(1, 2, "A");
    Edit(1, 3, "B");
    Recorder->StopSequence();
    Log.clear();
    Recorder->Undo();
    EXPECT_EQ(Log, QStringList({"undo 1,3 B>", "undo 1,2 A>"}));
    EXPECT_EQ(Recorder->Level(), 1);
    EXPECT_EQ(Grid->GetCellEx(1, 1), "before");
    Log.clear();
    Recorder->Redo();
    EXPECT_EQ(Log, QStringList({"redo 1,2 >A", "redo 1,3 >B"}));
    EXPECT_EQ(Recorder->Level(), 5);
}

TEST_F(UndoRedoTest, MaxLevelDropsTheOldest)
{
    Recorder->MaxLevel = 2;
    Edit(1, 1, "A");
    Edit(1, 2, "B");
    Edit(1, 3, "C");
    EXPECT_EQ(Recorder->Items()->Count(), 2);
    EXPECT_EQ(Recorder->Items()->Item(0)->Value, "B");
}

TEST_F(UndoRedoTest, StopMarkerWithoutItsStartStopsAtLevelZero)
{
    Recorder->MaxLevel = 2;
    Recorder->StartSequence();
    Edit(1, 1, "A");
    Edit(1, 2, "B"); // drops the start marker
    Recorder->StopSequence();
    Recorder->Undo();
    EXPECT_EQ(Recorder->Level(), 0);
    EXPECT_EQ(Grid->GetCellEx(1, 1), "");
    EXPECT_EQ(Grid->GetCellEx(1, 2), "");
    Recorder->Undo(); // nothing below 0
    EXPECT_EQ(Recorder->Level(), 0);
    EXPECT_NO_THROW(Recorder->Redo());
    EXPECT_EQ(Grid->GetCellEx(1, 1), "A");
}

TEST_F(UndoRedoTest, OpenSequenceReplaysEveryChange)
{
    Recorder->StartSequence();
    Edit(1, 1, "A");
    Edit(1, 2, "B");
    Recorder->Undo(); // B alone
    Recorder->Undo(); // A alone
    Recorder->Undo(); // the start marker is stepped over
    EXPECT_EQ(Recorder->Level(), 0);
    Log.clear();
    Recorder->Redo();
    EXPECT_EQ(Log, QStringList({"redo 1,1 >A", "redo 1,2 >B"}));
    EXPECT_EQ(Grid->GetCellEx(1, 2), "B");
    EXPECT_EQ(Recorder->Level(), 3);
}

TEST_F(UndoRedoTest, ResetAndUnlinkedRecorder)
{
    Edit(1, 1, "A");
    Recorder->Reset();
    EXPECT_EQ(Recorder->Level(), 0);
    EXPECT_FALSE(Recorder->CanUndo());
    TExGridUndoRedo loose(nullptr);
    loose.RegisterChange(1, 1, "", "x");
    EXPECT_NO_THROW(loose.Undo());
    EXPECT_EQ(loose.Level(), 1);
}
