// Highlighting and error-marking texts in cell ranges, the cell checker
// calls over ranges, and the four fills.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/basegrid/SgHTMLE.h"
#include "gridpack/basegrid/sgcheck.h"
#include "platform/core/Format.h"

#include <random>

namespace {

const QString kHilightTag = QStringLiteral("hi");
const QString kMarkTag = QStringLiteral("e");

struct TCellRange {
    int C1, R1, C2, R2;
};

// The ranges of the operations (real columns): DoFixed widens to every
// column and row; H adds the hidden columns at the right end.
TCellRange ColRange(TExStringGrid* g, int Col, bool DoFixed)
{
    return DoFixed ? TCellRange{Col, 0, Col, g->RowCount() - 1}
                   : TCellRange{Col, g->FixedRows(), Col, g->RowCount() - 1 - g->FixedFooters()};
}

TCellRange RowRange(TExStringGrid* g, int Row, bool DoFixed, int H)
{
    return DoFixed ? TCellRange{0, Row, g->ColCount() - 1 + H, Row}
                   : TCellRange{g->FixedCols(), Row, g->ColCount() - 1 - g->FixedRightCols() + H, Row};
}

TCellRange GridRange(TExStringGrid* g, bool DoFixed, int HFixed, int HNormal)
{
    return DoFixed ? TCellRange{0, 0, g->ColCount() - 1 + HFixed, g->RowCount() - 1}
                   : TCellRange{g->FixedCols(), g->FixedRows(), g->ColCount() - 1 - g->FixedRightCols() + HNormal,
                                g->RowCount() - 1 - g->FixedFooters()};
}

QString TagSource(TExStringGrid* g, int c, int r)
{
    return g->OnGetDisplText ? g->GetCellEx(c, r) : g->GetGridCell(c, r);
}

// Every base cell of the range: its own characters become entities so the
// tags are the only markup, then each occurrence is wrapped.
void TagCellRange(TExStringGrid* g, const QString& Text, const QString& Tag, const TCellRange& R, bool DoCase)
{
    const QString search = EncodeEntities(Text, false);
    for (int r = R.R1; r <= R.R2; ++r)
        for (int c = R.C1; c <= R.C2; ++c) {
            if (g->IsMergedNonBaseCell(c, r))
                continue;
            const QString s = EncodeEntities(TagSource(g, c, r), false);
            g->SetCellEx(c, r, TagMatches(s, search, Tag, DoCase));
        }
}

void UntagCellRange(TExStringGrid* g, const QString& Tag, const TCellRange& R)
{
    for (int r = R.R1; r <= R.R2; ++r)
        for (int c = R.C1; c <= R.C2; ++c) {
            if (g->IsMergedNonBaseCell(c, r))
                continue;
            g->SetCellEx(c, r, UntagAll(DecodeEntities(TagSource(g, c, r), false), Tag));
        }
}

template <class F>
void FillRange(TExStringGrid* g, bool DoFixed, F cell)
{
    const TCellRange R = GridRange(g, DoFixed, 0, 0);
    for (int r = R.R1; r <= R.R2; ++r)
        for (int c = R.C1; c <= R.C2; ++c)
            cell(c, r);
    g->CellsLoaded();
}

} // namespace

QString HilightText(bool DoCase, const QString& S, const QString& Text) { return TagMatches(S, Text, kHilightTag, DoCase); }
QString UnHilightText(const QString& S) { return UntagAll(S, kHilightTag); }
QString MarkText(bool DoCase, const QString& S, const QString& Text) { return TagMatches(S, Text, kMarkTag, DoCase); }
QString UnMarkText(const QString& S) { return UntagAll(S, kMarkTag); }

// --- highlight
void TExStringGrid::HilightInCell(int Col, int Row, const QString& HiText, bool DoCase)
{
    TagCellRange(this, HiText, kHilightTag, TCellRange{Col, Row, Col, Row}, DoCase);
}
void TExStringGrid::HilightInCol(int Col, const QString& HiText, bool DoFixed, bool DoCase)
{
    TagCellRange(this, HiText, kHilightTag, ColRange(this, Col, DoFixed), DoCase);
}
void TExStringGrid::HilightInRow(int Row, const QString& HiText, bool DoFixed, bool DoCase)
{
    TagCellRange(this, HiText, kHilightTag, RowRange(this, Row, DoFixed, 0), DoCase);
}
void TExStringGrid::HilightInGrid(const QString& HiText, bool DoFixed, bool DoCase)
{
    TagCellRange(this, HiText, kHilightTag, GridRange(this, DoFixed, 0, NumHiddenColumns()), DoCase);
}
void TExStringGrid::UnHilightInCell(int Col, int Row)
{
    UntagCellRange(this, kHilightTag, TCellRange{Col, Row, Col, Row});
}
void TExStringGrid::UnHilightInCol(int Col, bool DoFixed) { UntagCellRange(this, kHilightTag, ColRange(this, Col, DoFixed)); }
void TExStringGrid::UnHilightInRow(int Row, bool DoFixed)
{
    UntagCellRange(this, kHilightTag, RowRange(this, Row, DoFixed, NumHiddenColumns()));
}
void TExStringGrid::UnHilightInGrid(bool DoFixed)
{
    UntagCellRange(this, kHilightTag, GridRange(this, DoFixed, NumHiddenColumns(), NumHiddenColumns()));
}

// --- error marks
void TExStringGrid::MarkInCell(int Col, int Row, const QString& HiText, bool DoCase)
{
    TagCellRange(this, HiText, kMarkTag, TCellRange{Col, Row, Col, Row}, DoCase);
}
void TExStringGrid::MarkInCol(int Col, const QString& HiText, bool DoFixed, bool DoCase)
{
    TagCellRange(this, HiText, kMarkTag, ColRange(this, Col, DoFixed), DoCase);
}
void TExStringGrid::MarkInRow(int Row, const QString& HiText, bool DoFixed, bool DoCase)
{
    TagCellRange(this, HiText, kMarkTag, RowRange(this, Row, DoFixed, 0), DoCase);
}
void TExStringGrid::MarkInGrid(const QString& HiText, bool DoFixed, bool DoCase)
{
    TagCellRange(this, HiText, kMarkTag, GridRange(this, DoFixed, 0, 0), DoCase);
}
void TExStringGrid::UnMarkInCell(int Col, int Row) { UntagCellRange(this, kMarkTag, TCellRange{Col, Row, Col, Row}); }
void TExStringGrid::UnMarkInCol(int Col, bool DoFixed) { UntagCellRange(this, kMarkTag, ColRange(this, Col, DoFixed)); }
void TExStringGrid::UnMarkInRow(int Row, bool DoFixed)
{
    UntagCellRange(this, kMarkTag, RowRange(this, Row, DoFixed, NumHiddenColumns()));
}
void TExStringGrid::UnMarkInGrid(bool DoFixed)
{
    UntagCellRange(this, kMarkTag, GridRange(this, DoFixed, NumHiddenColumns(), NumHiddenColumns()));
}

// --- the cell checker
bool TExStringGrid::CheckCell(int Col, int Row)
{
    ROroRoravaZuzoZovor* checker = CellChecker();
    if (!checker)
        return true;
    const QString s = UnMarkText(GetCellEx(Col, Row));
    if (checker->GotoCell()) {
        const int dc = RemapColToDispl(Col);
        if (dc >= 0 && dc < ColCount() && Row >= 0 && Row < RowCount())
            MoveColRow(dc, Row, true, true);
    }
    QString result = s;
    if (checker->UseCorrect())
        result = checker->Correct(Col, Row, s);
    // marks are computed from the unmarked text, so they win over a correction
    if (checker->UseMarkError())
        result = checker->MarkError(Col, Row, s);
    SetCellEx(Col, Row, result);
    return result == s;
}

bool TExStringGrid::CheckCells(int FromCol, int FromRow, int ToCol, int ToRow)
{
    ROroRoravaZuzoZovor* checker = CellChecker();
    if (!checker)
        return true;
    checker->StartCheck();
    const int oldCol = Col(), oldRow = Row();
    bool all = true;
    for (int r = FromRow; r <= ToRow; ++r)
        for (int c = FromCol; c <= ToCol; ++c)
            all = CheckCell(c, r) && all;
    checker->StopCheck();
    if (checker->GotoCell() && oldCol < ColCount() && oldRow < RowCount())
        MoveColRow(oldCol, oldRow, true, true);
    return all;
}

bool TExStringGrid::CheckCol(int Col, bool DoFixed)
{
    const TCellRange R = ColRange(this, Col, DoFixed);
    return CheckCells(R.C1, R.R1, R.C2, R.R2);
}

bool TExStringGrid::CheckRow(int Row, bool DoFixed)
{
    const TCellRange R = RowRange(this, Row, DoFixed, 0);
    return CheckCells(R.C1, R.R1, R.C2, R.R2);
}

bool TExStringGrid::CheckGrid(bool DoFixed)
{
    const TCellRange R = GridRange(this, DoFixed, 0, 0);
    return CheckCells(R.C1, R.R1, R.C2, R.R2);
}

// --- fills
void TExStringGrid::TextFill(bool DoFixed, const QString& Txt)
{
    FillRange(this, DoFixed, [&](int c, int r) { SetCellEx(c, r, Txt); });
}

void TExStringGrid::FormatFill(bool DoFixed, const QString& Fmt)
{
    FillRange(this, DoFixed, [&](int c, int r) { SetCellEx(c, r, Format(Fmt, {c, r})); });
}

void TExStringGrid::RandomFill(bool DoFixed, int Rnd)
{
    static std::mt19937 engine{std::random_device{}()};
    // A bound of 0 or less writes 0 everywhere.
    FillRange(this, DoFixed, [&](int c, int r) {
        SetInts(c, r, Rnd > 0 ? std::uniform_int_distribution<int>(0, Rnd - 1)(engine) : 0);
    });
}

void TExStringGrid::LinearFill(bool DoFixed)
{
    FillRange(this, DoFixed,
              [&](int c, int r) { SetCellEx(c, r, QString::number(c) + QLatin1Char(':') + QString::number(r)); });
}
