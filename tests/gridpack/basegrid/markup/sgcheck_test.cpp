// The cell checker: the base accepts every text; a derived checker's marks
// are "e" tags that the grid strips before the next check.
#include "gridpack/basegrid/SgHTMLE.h"
#include "support/QtPrinters.h"
#include "gridpack/basegrid/sgcheck.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

// The grid's side of a check, as the string grid runs it over its cells:
// StartCheck, every cell row by row with its marks removed first, StopCheck.
bool CheckCells(ROroRoravaZuzoZovor& checker, std::vector<QStringList>& rows) {
    checker.StartCheck();
    bool all = true;
    for (size_t r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c) {
            const QString plain = UntagAll(rows[r][c], "e");
            QString result = plain;
            if (checker.UseCorrect()) result = checker.Correct(c, int(r), plain);
            if (checker.UseMarkError()) result = checker.MarkError(c, int(r), plain);
            rows[r][c] = result;
            all = all && result == plain;
        }
    checker.StopCheck();
    return all;
}

class CountingChecker : public ROroRoravaZuzoZovor {
public:
    using ROroRoravaZuzoZovor::ROroRoravaZuzoZovor;
    void StartCheck() override { ++Starts; }
    void StopCheck() override { ++Stops; }
    int Starts = 0, Stops = 0;
};

// Marks the word "teh" wherever it stands.
class SpellChecker : public ROroRoravaZuzoZovor {
public:
    using ROroRoravaZuzoZovor::ROroRoravaZuzoZovor;
    QString MarkError(int, int, const QString& s) override { return TagMatches(s, "teh", "e", true); }
};

} // namespace

TEST(CellChecker, TheBaseChangesNothingAndEveryCellPasses) {
    CountingChecker checker(nullptr);
    EXPECT_FALSE(checker.GotoCell());
    EXPECT_FALSE(checker.AutoCorrect());
    EXPECT_FALSE(checker.AutoMarkError());
    EXPECT_FALSE(checker.UseCorrect());
    EXPECT_FALSE(checker.UseMarkError());
    checker.SetUseCorrect(true);
    checker.SetUseMarkError(true);
    std::vector<QStringList> rows = {{"a", "<b>b</b>"}, {"", "x & y"}};
    const auto before = rows;
    EXPECT_TRUE(CheckCells(checker, rows));
    EXPECT_EQ(rows, before);
    EXPECT_EQ(checker.Starts, 1);
    EXPECT_EQ(checker.Stops, 1);
    EXPECT_EQ(checker.Correct(3, 4, "q"), "q");
    EXPECT_EQ(checker.MarkError(3, 4, "q"), "q");
}

TEST(CellChecker, MarkedCellsFailAndOldMarksGoBeforeTheNextCheck) {
    SpellChecker checker(nullptr);
    checker.SetUseMarkError(true);
    std::vector<QStringList> rows = {{"teh cat", "the dog"}};
    EXPECT_FALSE(CheckCells(checker, rows));
    EXPECT_EQ(rows[0][0], "<e>teh</e> cat");
    EXPECT_EQ(rows[0][1], "the dog");
    // Checked again, the cell is marked once, not twice.
    EXPECT_FALSE(CheckCells(checker, rows));
    EXPECT_EQ(rows[0][0], "<e>teh</e> cat");
}

TEST(CellChecker, IsAComponentOfItsOwner) {
    TComponent form(nullptr);
    auto* checker = new ROroRoravaZuzoZovor(&form);
    EXPECT_EQ(form.ComponentCount(), 1);
    EXPECT_EQ(form.Components(0), checker);
}
