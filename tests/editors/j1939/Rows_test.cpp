// The family's shared rules: the integer conversion every check uses, the row
// commands on a grid with a hidden column, and the delete question.
#include "J1939Kit.h"

#include "platform/core/IntConv.h"

TEST(IntegerConversion, PrefixesBlanksAndTheDefault)
{
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"31", 31}, {"0x1F", 31}, {"0X1F", 31}, {"$1F", 31}, {"x1F", 31}, {"X1F", 31}, {" 31", 31},
        {"-5", -5}, {"+7", 7}, {"31 ", -1}, {"", -1}, {" ", -1}, {"1F", -1}, {"0x", -1},
        {"2147483648", -1}, {"3.5", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrToIntDef(QString::fromLatin1(c.text), -1), c.value) << '"' << c.text << '"';
}

namespace {

// Five data rows of four columns (column 0 the number), column 2 hidden;
// each cell holds "<column><row>".
class RowCommands : public ::testing::Test {
protected:
    static void SetUpTestSuite() { KalTest::EnsureToolkitApp(); }
    void SetUp() override
    {
        G = new TExStringGrid(nullptr);
        G->SetColCount(4);
        G->SetRowCount(6);
        for (int r = 1; r < 6; ++r) {
            G->SetCellEx(0, r, QString::number(r));
            for (int c = 1; c < 4; ++c)
                G->SetCellEx(c, r, QStringLiteral("%1%2").arg(QChar('a' + c - 1)).arg(r));
        }
        G->HideColumn(2);
        ASSERT_EQ(G->ColCount(), 3);
    }
    void TearDown() override { delete G; }
    // Rows 1..5 as "a b c" texts (the hidden column included).
    QStringList Rows() const
    {
        QStringList l;
        for (int r = 1; r < 6; ++r)
            l << QStringLiteral("%1 %2 %3").arg(G->GetCellEx(1, r), G->GetCellEx(2, r), G->GetCellEx(3, r));
        return l;
    }
    QStringList Numbers() const
    {
        QStringList l;
        for (int r = 1; r < 6; ++r)
            l << G->GetCellEx(0, r);
        return l;
    }
    TExStringGrid* G = nullptr;
};

} // namespace

TEST_F(RowCommands, InsertMovesTheRowsBelowDownAndDropsTheLast)
{
    Grid_Insert_Row(2, G);
    EXPECT_EQ(Rows(), QStringList({"a1 b1 c1", "  ", "a2 b2 c2", "a3 b3 c3", "a4 b4 c4"}));
    EXPECT_EQ(Numbers(), QStringList({"1", "2", "3", "4", "5"}));
}

TEST_F(RowCommands, InsertOnTheLastRowEmptiesIt)
{
    Grid_Insert_Row(5, G);
    EXPECT_EQ(Rows(), QStringList({"a1 b1 c1", "a2 b2 c2", "a3 b3 c3", "a4 b4 c4", "  "}));
}

TEST_F(RowCommands, DeleteMovesTheRowsBelowUpAndEmptiesTheLast)
{
    Grid_Delete_Row(2, G);
    EXPECT_EQ(Rows(), QStringList({"a1 b1 c1", "a3 b3 c3", "a4 b4 c4", "a5 b5 c5", "  "}));
    EXPECT_EQ(Numbers(), QStringList({"1", "2", "3", "4", "5"}));
    Grid_Delete_Row(5, G);
    EXPECT_EQ(Rows(), QStringList({"a1 b1 c1", "a3 b3 c3", "a4 b4 c4", "a5 b5 c5", "  "}));
    Grid_Delete_Row(4, G);
    EXPECT_EQ(Rows(), QStringList({"a1 b1 c1", "a3 b3 c3", "a4 b4 c4", "  ", "  "}));
}

TEST_F(RowCommands, RowsOutsideTheTableChangeNothing)
{
    const QStringList before = Rows();
    for (int r : {0, 6, -1}) {
        Grid_Insert_Row(r, G);
        Grid_Delete_Row(r, G);
    }
    EXPECT_EQ(Rows(), before);
    Row_Clipboard = QStringList({"kept"});
    Grid_Copy_Row(G, 0);
    EXPECT_EQ(Row_Clipboard, QStringList({"kept"}));
}

TEST_F(RowCommands, CopyTakesEveryColumnFromOneOn)
{
    Row_Clipboard = QStringList({"old", "old", "old", "old", "old"});
    Grid_Copy_Row(G, 3);
    EXPECT_EQ(Row_Clipboard, QStringList({"a3", "b3", "c3"}));
    Row_Clipboard.clear();
}

TEST_F(J1939Test, DeleteRowAsksForTheCurrentRowAndDeletesOnlyOnYes)
{
    for (TFMapEditor* f : {static_cast<TFMapEditor*>(Rec), static_cast<TFMapEditor*>(Send)}) {
        f->FormShow(nullptr);
        for (int r = 1; r <= 4; ++r)
            f->Set_Cell(3, r, QString::number(100 + r));
        f->sga->SetRow(2);
        Script.Shown.clear();
        Script.Answer(mrNo);
        f->Btn_DelRowClick(nullptr);
        ASSERT_EQ(Script.Shown.size(), 1);
        EXPECT_EQ(Script.Last().Text, QStringLiteral("Are you sure to delete the Row number 2"));
        EXPECT_EQ(Script.Last().Type, mtConfirmation);
        EXPECT_EQ(Script.Last().Buttons, QList<int>({mrYes, mrNo}));
        EXPECT_EQ(f->Cell(3, 2), "102");
        Script.Answer(mrYes);
        f->Btn_DelRowClick(nullptr);
        EXPECT_EQ(f->Cell(3, 2), "103");
        EXPECT_EQ(f->Cell(3, 3), "104");
        EXPECT_EQ(f->Cell(3, 4), "");
        EXPECT_EQ(f->Cell(0, 2), "2");
        // Insert Row asks nothing.
        Script.Shown.clear();
        f->Btn_InsRowClick(nullptr);
        EXPECT_TRUE(Script.Shown.isEmpty());
        EXPECT_EQ(f->Cell(3, 2), "");
        EXPECT_EQ(f->Cell(3, 3), "103");
    }
}

TEST_F(J1939Test, TheRowCommandsTakeEveryColumnOfTheTable)
{
    Rec->FormShow(nullptr);
    const QStringList row = {"1", "61444", "0", "Y", "0", "20", "Y", "Y", "500", "engine"};
    Fill(Rec, 62, row);
    Rec->Delete_Row(61);
    EXPECT_EQ(RowOf(Rec, 61), row);
    EXPECT_EQ(RowOf(Rec, 62), QStringList(10, QString()));
    Rec->Insert_Row(1, Rec->sga);
    EXPECT_EQ(RowOf(Rec, 62), row);
    EXPECT_EQ(Rec->Cell(0, 62), "62");
}

namespace {

// A column grid of three data rows: column 1 text, column 2 a check box,
// column 3 text and hidden.
class PasteRow : public ToolkitTest {
protected:
    static void SetUpTestSuite() { KalTest::EnsureToolkitApp(); }
    void SetUp() override
    {
        ToolkitTest::SetUp();
        Load_Default_Texts();
        G = new TExColumnGrid(nullptr);
        G->SetColCount(4);
        G->SetRowCount(4);
        G->Columns()->Items(2)->SetEditor(edDataCheckBox);
        G->HideColumn(3);
        Row_Clipboard = QStringList({"x", "Y", "hidden"});
    }
    void TearDown() override
    {
        delete G;
        Row_Clipboard.clear();
        ToolkitTest::TearDown();
    }
    QStringList RowOf(int r) const { return {G->GetCellEx(1, r), G->GetCellEx(2, r), G->GetCellEx(3, r)}; }
    TExColumnGrid* G = nullptr;
};

} // namespace

TEST_F(PasteRow, RefusedWithoutACopyOrWithAnotherColumnCount)
{
    Grid_Paste_Row(G, 1, false);
    EXPECT_EQ(MessageBoxTexts(Script), QStringList({"Error!!! Copy a valid row before Paste it"}));
    EXPECT_EQ(RowOf(1), QStringList({"", "", ""}));
    Row_Clipboard = QStringList({"x", "Y"}); // the hidden column counts
    Grid_Paste_Row(G, 1, true);
    EXPECT_EQ(MessageBoxTexts(Script).last(), "Error in the Copy values!!! Copy a valid row before Paste it");
    EXPECT_EQ(Script.Last().Type, mtError);
    EXPECT_EQ(RowOf(1), QStringList({"", "", ""}));
}

TEST_F(PasteRow, AnUnusedRowIsPastedWithoutAQuestion)
{
    G->SetCellEx(2, 1, "Y"); // a ticked box alone leaves the row unused
    G->SetCellEx(1, 2, " ");
    Grid_Paste_Row(G, 1, true);
    Grid_Paste_Row(G, 2, true);
    EXPECT_TRUE(Script.Shown.isEmpty());
    EXPECT_EQ(RowOf(1), QStringList({"x", "Y", "hidden"}));
    EXPECT_EQ(RowOf(2), QStringList({"x", "Y", "hidden"}));
}

TEST_F(PasteRow, AUsedRowIsOverwrittenOnlyOnYes)
{
    for (int c : {1, 3}) {
        G->SetCellEx(1, 1, "");
        G->SetCellEx(3, 1, "");
        G->SetCellEx(c, 1, "old");
        Script.Shown.clear();
        Script.Answer(mrNo);
        Grid_Paste_Row(G, 1, true);
        ASSERT_EQ(MessageBoxTexts(Script), QStringList({"Row Already used. Do you want to overwrite the values?"}));
        EXPECT_EQ(Script.Last().Type, mtConfirmation);
        EXPECT_EQ(G->GetCellEx(c, 1), "old");
        Script.Answer(mrYes);
        Grid_Paste_Row(G, 1, true);
        EXPECT_EQ(RowOf(1), QStringList({"x", "Y", "hidden"})) << c;
    }
}
