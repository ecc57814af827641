// Sorting the string grid's rows: the cell compare rules, the quicksort with
// its pivot in a scratch row, indexed sorting, undoing sorts and the sort
// state text.
//
// The quicksort keeps the classic partition (rows comparing equal are never
// swapped) but recurses only into the smaller part and loops over the larger
// one, so the stack stays logarithmic; a range that still nests too deep
// (patterned columns that defeat the middle pivot) is finished by a stable
// merge of its rows, applied by row swaps so the cross-reference keeps step.
//
// A range sort reads, classifies and parses each cell text once: the facts
// the compare rules take from a text are kept per row record (TSortKeys) and
// the records follow the rows through swaps and the pivot copy. The rules
// themselves are unchanged, so every comparison gives what comparing the
// texts afresh would give. Where a text could change as its row moves
// (display-text hooks, merged cells, SingleColumn) or a format hook could
// answer differently from one comparison to the next, the texts are read
// afresh at every comparison as before.
#include "gridpack/stringgrid/ExGrid.h"
#include "gridpack/basegrid/RorIdad.h"
#include "platform/core/DateTime.h"
#include "platform/core/FloatConv.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/IntConv.h"
#include "platform/core/StrUtils.h"

#include <algorithm>
#include <memory>
#include <numeric>
#include <vector>

namespace {

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Upper case of the letters a..z only.
QString UpperAscii(const QString& s)
{
    QString r = s;
    for (QChar& c : r)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 32);
    return r;
}

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

int CompareDoubles(double a, double b) { return a > b ? 1 : (a < b ? -1 : 0); }

// Cleared before checked.
int CompareCheckBoxes(TExStringGrid* g, int ACol, int Row1, int Row2)
{
    bool c1 = false, c2 = false;
    g->GetCheckBoxState(ACol, Row1, c1);
    g->GetCheckBoxState(ACol, Row2, c2);
    return int(c1) - int(c2);
}

// The number of a numeric or financial cell: suffix, then prefix removed,
// thousands gone for financial texts, the decimal separator made ".". The
// text is left as matched for the blank rule.
bool SortNumber(QString& t, const QString& prefix, const QString& suffix, bool financial, double& v)
{
    if (!suffix.isEmpty()) {
        const qsizetype at = t.indexOf(suffix);
        if (at >= 0)
            t.remove(at, suffix.size());
    }
    if (!prefix.isEmpty()) {
        const qsizetype at = t.indexOf(prefix);
        if (at >= 0)
            t.remove(at, prefix.size());
    }
    const TFormatSettings& fs = ActiveFormatSettings();
    if (financial)
        t.remove(fs.ThousandSeparator);
    QString n = t;
    if (fs.DecimalSeparator != QLatin1Char('.')) {
        const qsizetype at = n.indexOf(fs.DecimalSeparator);
        if (at >= 0)
            n[at] = QLatin1Char('.');
        TFormatSettings dot = fs;
        dot.DecimalSeparator = QLatin1Char('.');
        return TryStrToFloat(n, v, dot);
    }
    return TryStrToFloat(n, v);
}

TDateTime DateOrZero(const QString& t, bool timeOnly)
{
    if (t.isEmpty())
        return 0;
    TDateTime v = 0;
    const bool ok = timeOnly ? TryStrToTime(t, v) : TryStrToDateTime(t, v);
    return ok ? v : TDateTime(0);
}

TDateTime ShortDateOrZero(const QString& t, bool dmy)
{
    try {
        return dmy ? ParseDateDMY(t) : ParseDateMDY(t);
    } catch (const Exception&) {
        return 0;
    }
}

// The automatic style of a text column from the first row's text.
TSortStyle TextStyle(const QString& s1, const QString& s2, bool ignoreCase)
{
    TSortStyle style = ignoreCase ? ssAlphaNoCase : ssAlphabetic;
    const TFormatSettings& fs = ActiveFormatSettings();
    const auto sepTest = [&](QChar sep, bool& inRange) {
        const qsizetype p = s1.indexOf(sep) + 1; // 1-based, 0 when absent
        inRange = p >= 2 && p <= 3 && p != s1.size();
        return inRange && IsDigit(s1[p - 2]) && IsDigit(s1[p]);
    };
    bool inRange = false;
    if (sepTest(fs.DateSeparator, inRange)) {
        if (s2.contains(fs.DateSeparator))
            style = s1.contains(fs.TimeSeparator) ? ssDateTime : ssDate;
    } else if (!inRange && sepTest(fs.TimeSeparator, inRange)) {
        if (s2.contains(fs.TimeSeparator))
            style = ssTime;
    }
    return style;
}

bool IsNumberClass(const QString& s)
{
    const int k = ClassifyNumberText(s);
    return k == 0 || k == 1 || k == 5;
}

// Column 0's texts kept out of a sort (NormalCellsOnly with fixed columns).
struct TColumnZero {
    TExStringGrid* G;
    bool Active;
    QStringList Texts;
    TColumnZero(TExStringGrid* g, bool active) : G(g), Active(active)
    {
        if (Active)
            for (int r = 0; r < G->RowCount(); ++r)
                Texts.append(G->GetGridCell(0, r));
    }
    void Restore()
    {
        if (Active)
            for (int r = 0; r < int(Texts.size()) && r < G->RowCount(); ++r)
                G->SetGridCell(0, r, Texts[r]);
    }
};

} // namespace

// ---------------------------------------------------------------------------
// The per-sort cell facts
// ---------------------------------------------------------------------------

struct TExStringGrid::TSortKeys {
    // What the comparisons read most, small and by row position, so that a
    // partition's scan walks memory in order; the keys move with their rows.
    struct TKey {
        double Number = 0;
        uint32_t Flags = 0;
        int32_t Record = 0; // the row's position when the sort began
    };
    enum : uint32_t {
        kKnown = 1u << 0,
        kNumberClass = 1u << 1,
        // The date test of the automatic style: the separator at position 2
        // or 3 (not last) between digits, and whether it is in that range.
        kDateSepDigits = 1u << 2,
        kDateSepInRange = 1u << 3,
        kTimeSepDigits = 1u << 4,
        kHasDateSep = 1u << 5,
        kHasTimeSep = 1u << 6,
        kNumberKnown = 1u << 7,
        kNumberOk = 1u << 8,
        kNumberBlank = 1u << 9, // empty once prefix and suffix are gone
        kUpperKnown = 1u << 10,
        kDateKnown = 1u << 11,
        kTimeKnown = 1u << 12,
        kShortDateKnown = 1u << 13,
    };
    // The rest, by record, made at the column's first text or date
    // comparison: a column of numbers never needs it.
    struct TMore {
        bool HasText = false;
        QString Text;
        QString Upper;
        double Date = 0;
        double Time = 0;
        double ShortDate = 0;
    };
    struct TColumn {
        bool Fast = false;
        TSortStyle Style = ssAutomatic;
        QString Prefix;
        QString Suffix;
        // Made at the column's first comparison.
        std::vector<TKey> Keys; // by row position
        // The record's key as far as it is known, which a second key of the
        // same record (the scratch row's copy of the pivot) takes instead
        // of reading the text again.
        std::vector<TKey> Stash; // by record
        std::vector<TMore> More; // by record
    };
    std::vector<TColumn> Columns; // by real column
    // The row each position holds, by its position when the sort began:
    // the scratch row and the pivot's own row hold the same.
    std::vector<int32_t> Row;
    void Swap(int a, int b)
    {
        std::swap(Row[size_t(a)], Row[size_t(b)]);
        for (TColumn& c : Columns)
            if (!c.Keys.empty())
                std::swap(c.Keys[size_t(a)], c.Keys[size_t(b)]);
    }
    // The scratch row takes the pivot's key.
    void Copy(int from, int to)
    {
        Row[size_t(to)] = Row[size_t(from)];
        for (TColumn& c : Columns)
            if (!c.Keys.empty())
                c.Keys[size_t(to)] = c.Keys[size_t(from)];
    }
};

namespace {

bool KeyedStyle(TSortStyle s)
{
    switch (s) {
    case ssAutomatic:
    case ssAlphabetic:
    case ssAlphaCase:
    case ssAlphaNoCase:
    case ssNumeric:
    case ssFinancial:
    case ssDate:
    case ssDateTime:
    case ssTime:
    case ssShortDateEU:
    case ssShortDateUS:
    case ssAlphaNumeric:
    case ssAlphaNumericNoCase:
    case ssCheckBox:
        return true;
    default:
        return false;
    }
}

} // namespace

bool TExStringGrid::SortKeysApply(int L, int R)
{
    if (FSortSettings->SingleColumn || OnGetFormat)
        return false;
    if (!FSortSettings->SortOnVirtualCells)
        return true;
    if (OnGetDisplText || OnGetDisplWideText || URLShowInText || FGrouping->ShowGroupCount)
        return false;
    if (FHasCellProps) {
        const int cols = AllColCount();
        for (int r = L; r <= R; ++r)
            for (int c = 0; c < cols; ++c)
                if (TCellProperties* p = PropsOf(c, r)) {
                    const TPoint b = p->GetBaseCell(c, r);
                    if (b.X != c || b.Y != r)
                        return false;
                }
    }
    return true;
}

int TExStringGrid::CompareSortKeys(int ACol, int Row1, int Row2, bool Ascending)
{
    using K = TSortKeys;
    ++Compares;
    const TSortSettings* ss = FSortSettings;
    K::TColumn& col = FSortKeys->Columns[size_t(ACol)];
    // A row against its own copy (the pivot in the scratch row, which the
    // partition meets on every pass): the same text compares equal in every
    // style and the blanks rule leaves that; only check boxes, whose state
    // is asked at the two rows, take the whole way.
    if (FSortKeys->Row[size_t(Row1)] == FSortKeys->Row[size_t(Row2)]) {
        if (col.Style == ssAutomatic) {
            const TCellType t = GetCellType(ACol, Row1);
            if (t != ctCheckBox && t != ctDataCheckBox && t != ctVirtCheckBox && t != ctRowCheckBox)
                return 0;
        } else if (col.Style != ssCheckBox) {
            return 0;
        }
    }
    if (col.Keys.empty()) {
        col.Keys.resize(size_t(RowCount()));
        for (size_t r = 0; r < col.Keys.size(); ++r)
            col.Keys[r].Record = int32_t(r);
        col.Stash.resize(size_t(RowCount()));
    }
    const auto text = [&](int row) { return ss->SortOnVirtualCells ? GetCellEx(ACol, row) : GetGridCell(ACol, row); };
    const auto key = [&](int row) -> K::TKey& {
        K::TKey& k = col.Keys[size_t(row)];
        if (!(k.Flags & K::kKnown)) {
            K::TKey& stash = col.Stash[size_t(k.Record)];
            if (stash.Flags & K::kKnown) {
                k = stash;
                return k;
            }
            const TFormatSettings& fs = ActiveFormatSettings();
            const QString s = text(row);
            uint32_t f = K::kKnown;
            if (IsNumberClass(s))
                f |= K::kNumberClass;
            const auto sepTest = [&](QChar sep, bool& inRange) {
                const qsizetype p = s.indexOf(sep) + 1; // 1-based, 0 when absent
                inRange = p >= 2 && p <= 3 && p != s.size();
                return inRange && IsDigit(s[p - 2]) && IsDigit(s[p]);
            };
            bool inRange = false;
            if (sepTest(fs.DateSeparator, inRange))
                f |= K::kDateSepDigits;
            if (inRange)
                f |= K::kDateSepInRange;
            if (sepTest(fs.TimeSeparator, inRange))
                f |= K::kTimeSepDigits;
            if (s.contains(fs.DateSeparator))
                f |= K::kHasDateSep;
            if (s.contains(fs.TimeSeparator))
                f |= K::kHasTimeSep;
            k.Flags = f;
            stash = k;
        }
        return k;
    };
    K::TKey& k1 = key(Row1);
    K::TKey& k2 = key(Row2);
    // The record's text and dates, for the comparisons that read them.
    const auto more = [&](int row, const K::TKey& k) -> K::TMore& {
        if (col.More.empty())
            col.More.resize(col.Keys.size());
        K::TMore& m = col.More[size_t(k.Record)];
        if (!m.HasText) {
            m.HasText = true;
            m.Text = text(row);
        }
        return m;
    };

    TSortStyle style = col.Style;
    if (style == ssAutomatic) {
        const TCellType t = GetCellType(ACol, Row1);
        if (t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRowCheckBox)
            style = ssCheckBox;
        else if (k1.Flags & K::kNumberClass)
            style = ssNumeric;
        else {
            // As TextStyle, from the kept separator tests.
            style = ss->IgnoreCase ? ssAlphaNoCase : ssAlphabetic;
            if (k1.Flags & K::kDateSepDigits) {
                if (k2.Flags & K::kHasDateSep)
                    style = (k1.Flags & K::kHasTimeSep) ? ssDateTime : ssDate;
            } else if (!(k1.Flags & K::kDateSepInRange) && (k1.Flags & K::kTimeSepDigits)) {
                if (k2.Flags & K::kHasTimeSep)
                    style = ssTime;
            }
        }
    }
    if (style == ssAlphaNumeric || style == ssAlphaNumericNoCase) {
        if ((k1.Flags & K::kNumberClass) && (k2.Flags & K::kNumberClass))
            style = ssNumeric;
        else
            style = style == ssAlphaNumeric ? ssAlphabetic : ssAlphaNoCase;
    }

    int res = 0;
    bool blank1 = false, blank2 = false;
    bool textBlanks = true;
    switch (style) {
    case ssAlphabetic:
    case ssAlphaCase:
        res = Sign(CompareStr(more(Row1, k1).Text, more(Row2, k2).Text));
        break;
    case ssAlphaNoCase: {
        K::TMore& m1 = more(Row1, k1);
        K::TMore& m2 = more(Row2, k2);
        for (auto [k, m] : {std::pair{&k1, &m1}, std::pair{&k2, &m2}})
            if (!(k->Flags & K::kUpperKnown)) {
                k->Flags |= K::kUpperKnown;
                m->Upper = UpperAscii(m->Text);
            }
        res = Sign(CompareStr(m1.Upper, m2.Upper));
        break;
    }
    case ssNumeric:
    case ssFinancial: {
        // Only a financial column style gets here as financial: the
        // automatic and alphanumeric styles resolve to plain numbers.
        for (auto [k, row] : {std::pair{&k1, Row1}, std::pair{&k2, Row2}})
            if (!(k->Flags & K::kNumberKnown)) {
                K::TKey& stash = col.Stash[size_t(k->Record)];
                if (stash.Flags & K::kNumberKnown) {
                    *k = stash;
                    continue;
                }
                k->Flags |= K::kNumberKnown;
                QString t = text(row);
                double v = 0;
                if (SortNumber(t, col.Prefix, col.Suffix, style == ssFinancial, v))
                    k->Flags |= K::kNumberOk;
                else
                    v = 0;
                k->Number = v;
                if (t.isEmpty())
                    k->Flags |= K::kNumberBlank;
                stash = *k;
            }
        const bool ok1 = k1.Flags & K::kNumberOk, ok2 = k2.Flags & K::kNumberOk;
        res = !ok1 && !ok2 ? 0 : CompareDoubles(k1.Number, k2.Number);
        blank1 = k1.Flags & K::kNumberBlank;
        blank2 = k2.Flags & K::kNumberBlank;
        textBlanks = false;
        break;
    }
    case ssCheckBox:
        res = CompareCheckBoxes(this, ACol, Row1, Row2);
        break;
    case ssDate:
    case ssDateTime: {
        K::TMore& m1 = more(Row1, k1);
        K::TMore& m2 = more(Row2, k2);
        for (auto [k, m] : {std::pair{&k1, &m1}, std::pair{&k2, &m2}})
            if (!(k->Flags & K::kDateKnown)) {
                k->Flags |= K::kDateKnown;
                m->Date = DateOrZero(m->Text, false);
            }
        res = CompareDoubles(m1.Date, m2.Date);
        break;
    }
    case ssTime: {
        K::TMore& m1 = more(Row1, k1);
        K::TMore& m2 = more(Row2, k2);
        for (auto [k, m] : {std::pair{&k1, &m1}, std::pair{&k2, &m2}})
            if (!(k->Flags & K::kTimeKnown)) {
                k->Flags |= K::kTimeKnown;
                m->Time = DateOrZero(m->Text, true);
            }
        res = CompareDoubles(m1.Time, m2.Time);
        break;
    }
    case ssShortDateEU:
    case ssShortDateUS: {
        // The column's own style: one kind of short date per column.
        K::TMore& m1 = more(Row1, k1);
        K::TMore& m2 = more(Row2, k2);
        for (auto [k, m] : {std::pair{&k1, &m1}, std::pair{&k2, &m2}})
            if (!(k->Flags & K::kShortDateKnown)) {
                k->Flags |= K::kShortDateKnown;
                m->ShortDate = ShortDateOrZero(m->Text, style == ssShortDateEU);
            }
        res = CompareDoubles(m1.ShortDate, m2.ShortDate);
        break;
    }
    default:
        break;
    }

    if (ss->IgnoreBlanks) {
        if (textBlanks) {
            blank1 = more(Row1, k1).Text.isEmpty();
            blank2 = more(Row2, k2).Text.isEmpty();
        }
        if (blank1 != blank2) {
            const bool last = ss->BlankPos == blLast;
            res = blank1 ? (last ? 1 : -1) : (last ? -1 : 1);
            if (!Ascending)
                res = -res;
        }
    }
    return res;
}

// ---------------------------------------------------------------------------
// Compare rules
// ---------------------------------------------------------------------------

int TExStringGrid::CompareSortCells(int ACol, int Row1, int Row2, bool Ascending)
{
    if (FSortKeys && ACol >= 0 && ACol < int(FSortKeys->Columns.size()) && FSortKeys->Columns[size_t(ACol)].Fast)
        return CompareSortKeys(ACol, Row1, Row2, Ascending);
    // 1. – 3.
    ++Compares;
    const TSortSettings* ss = FSortSettings;
    TSortStyle style = ss->AutoFormat ? ssAutomatic : (ss->IgnoreCase ? ssAlphaNoCase : ssAlphabetic);
    QString prefix, suffix;
    GetCellFormat(ACol, style, prefix, suffix);
    QString s1 = ss->SortOnVirtualCells ? GetCellEx(ACol, Row1) : GetGridCell(ACol, Row1);
    QString s2 = ss->SortOnVirtualCells ? GetCellEx(ACol, Row2) : GetGridCell(ACol, Row2);

    // 4. the automatic style from the first row's cell
    if (style == ssAutomatic) {
        const TCellType t = GetCellType(ACol, Row1);
        if (t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRowCheckBox)
            style = ssCheckBox;
        else if (IsNumberClass(s1))
            style = ssNumeric;
        else
            style = TextStyle(s1, s2, ss->IgnoreCase);
    }
    // 5.
    if (style == ssAlphaNumeric || style == ssAlphaNumericNoCase) {
        if (IsNumberClass(s1) && IsNumberClass(s2))
            style = ssNumeric;
        else
            style = style == ssAlphaNumeric ? ssAlphabetic : ssAlphaNoCase;
    }

    // 6.
    int res = 0;
    switch (style) {
    case ssAlphabetic:
    case ssAlphaCase:
        res = Sign(CompareStr(s1, s2));
        break;
    case ssAlphaNoCase:
        s1 = UpperAscii(s1);
        s2 = UpperAscii(s2);
        res = Sign(CompareStr(s1, s2));
        break;
    case ssAnsiAlphaCase:
        res = Sign(AnsiCompareStr(s1, s2));
        break;
    case ssAnsiAlphaNoCase:
        res = Sign(AnsiCompareText(s1, s2));
        break;
    case ssNumeric:
    case ssFinancial: {
        // A text that does not parse counts as 0; two failures are equal.
        double v1 = 0, v2 = 0;
        const bool ok1 = SortNumber(s1, prefix, suffix, style == ssFinancial, v1);
        const bool ok2 = SortNumber(s2, prefix, suffix, style == ssFinancial, v2);
        if (!ok1)
            v1 = 0;
        if (!ok2)
            v2 = 0;
        res = !ok1 && !ok2 ? 0 : CompareDoubles(v1, v2);
        break;
    }
    case ssHTML:
        s1 = GetStrippedCell(ACol, Row1);
        s2 = GetStrippedCell(ACol, Row2);
        res = Sign(CompareStr(s1, s2));
        break;
    case ssCustom:
        if (OnCustomCompare)
            OnCustomCompare(this, s1, s2, res);
        break;
    case ssRaw:
        if (OnRawCompare)
            OnRawCompare(this, ACol, Row1, Row2, res);
        break;
    case ssImages:
        res = GetCellImageKey(ACol, Row1) > GetCellImageKey(ACol, Row2)
                  ? 1
                  : (GetCellImageKey(ACol, Row1) < GetCellImageKey(ACol, Row2) ? -1 : 0);
        break;
    case ssCheckBox:
        res = CompareCheckBoxes(this, ACol, Row1, Row2);
        break;
    case ssDate:
    case ssDateTime:
        res = CompareDoubles(DateOrZero(s1, false), DateOrZero(s2, false));
        break;
    case ssTime:
        res = CompareDoubles(DateOrZero(s1, true), DateOrZero(s2, true));
        break;
    case ssShortDateEU:
    case ssShortDateUS:
        res = CompareDoubles(ShortDateOrZero(s1, style == ssShortDateEU), ShortDateOrZero(s2, style == ssShortDateEU));
        break;
    default:
        break;
    }

    // 7. blanks first or last whatever the direction
    if (ss->IgnoreBlanks && (s1.isEmpty() != s2.isEmpty())) {
        const bool last = ss->BlankPos == blLast;
        res = s1.isEmpty() ? (last ? 1 : -1) : (last ? -1 : 1);
        if (!Ascending)
            res = -res;
    }
    return res;
}

int TExStringGrid::CompareSortRows(int ACol, int Row1, int Row2)
{
    const bool asc = FSortSettings->Direction != sdDescending;
    const int last = AllColCount() - 1;
    int col = ACol;
    for (;;) {
        const int res = IsIgnoredColumn(col) ? 0 : CompareSortCells(col, Row1, Row2, asc);
        if (res != 0 || !FSortSettings->Full || col >= last)
            return res;
        ++col;
    }
}

int TExStringGrid::CompareIndexedRows(int Row1, int Row2)
{
    const int n = FSortIndexes->Count();
    for (int i = 0; i < n; ++i) {
        const unsigned entry = unsigned(FSortIndexes->GetInteger(i));
        const int col = int(entry & 0x7FFFFFFFu);
        const bool desc = (entry & 0x80000000u) != 0;
        int res = IsIgnoredColumn(col) ? 0 : CompareSortCells(col, Row1, Row2, !desc);
        if (desc)
            res = -res;
        if (res != 0 || !FSortSettings->Full)
            return res;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Row exchange and the cross-reference
// ---------------------------------------------------------------------------

void TExStringGrid::InitSortXRef()
{
    FSortRowXRef->Clear();
    for (int r = 0; r < RowCount(); ++r)
        FSortRowXRef->Add(r);
}

void TExStringGrid::SortExchangeRows(int ARow1, int ARow2)
{
    ++Swaps;
    const int n = FSortRowXRef->Count();
    if (ARow1 >= 0 && ARow2 >= 0 && ARow1 < n && ARow2 < n) {
        const int x = FSortRowXRef->GetInteger(ARow1);
        FSortRowXRef->SetInteger(ARow1, FSortRowXRef->GetInteger(ARow2));
        FSortRowXRef->SetInteger(ARow2, x);
    }
    if (FSortSettings->SingleColumn) {
        const int c = FSortSettings->Column;
        const QString t = GetCellEx(c, ARow1);
        TObject* o1 = GetGridObject(c, ARow1);
        TObject* o2 = GetGridObject(c, ARow2);
        SetCellEx(c, ARow1, GetCellEx(c, ARow2));
        SetCellEx(c, ARow2, t);
        SetObjects(c, ARow1, o2);
        SetObjects(c, ARow2, o1);
    } else {
        // The stored rows change places as whole records (no cell-by-cell
        // writes, no repaints inside the update bracket); the heights follow.
        TStringGrid::SwapRowData(ARow1, ARow2);
        const int h1 = RowHeights(ARow1), h2 = RowHeights(ARow2);
        if (h1 != h2) {
            TBaseGrid::SetRowHeights(ARow1, h2);
            TBaseGrid::SetRowHeights(ARow2, h1);
        }
        if (MouseActions()->DisjunctRowSelect() && Navigation()->MoveRowOnSort) {
            const int r1 = NumHiddenRows() > 0 ? RemapRowToReal(ARow1) : ARow1;
            const int r2 = NumHiddenRows() > 0 ? RemapRowToReal(ARow2) : ARow2;
            const bool s1 = GetRowSelect(r1), s2 = GetRowSelect(r2);
            if (s1 != s2) {
                SetRowSelect(r1, s2);
                SetRowSelect(r2, s1);
            }
        }
        if (ShowModified()->Enabled) {
            const bool m1 = GetRowModified(ARow1), m2 = GetRowModified(ARow2);
            if (m1 != m2) {
                SetRowModified(ARow1, m2);
                SetRowModified(ARow2, m1);
            }
        }
    }
    if (SortRow == ARow1)
        SortRow = ARow2;
    else if (SortRow == ARow2)
        SortRow = ARow1;
    if (FSortKeys)
        FSortKeys->Swap(ARow1, ARow2);
}

// ---------------------------------------------------------------------------
// The range sort
// ---------------------------------------------------------------------------

namespace {

int DepthLimit(int n)
{
    int d = 0;
    while (n > 1) {
        n >>= 1;
        ++d;
    }
    return 2 * d + 8;
}

} // namespace

void TExStringGrid::QuickSortRows(int ACol, int L, int R, bool Indexed, int Depth)
{
    // The outermost call keeps the cell facts for the whole range sort.
    std::unique_ptr<TSortKeys> keys;
    if (Depth == 0 && !FSortKeys && L < R && SortKeysApply(L, R)) {
        keys = std::make_unique<TSortKeys>();
        keys->Row.resize(size_t(RowCount()));
        std::iota(keys->Row.begin(), keys->Row.end(), 0);
        keys->Columns.resize(size_t(AllColCount()));
        for (int c = 0; c < AllColCount(); ++c) {
            TSortKeys::TColumn& k = keys->Columns[size_t(c)];
            k.Style = FSortSettings->AutoFormat ? ssAutomatic
                                                : (FSortSettings->IgnoreCase ? ssAlphaNoCase : ssAlphabetic);
            GetCellFormat(c, k.Style, k.Prefix, k.Suffix);
            k.Fast = KeyedStyle(k.Style);
        }
        FSortKeys = keys.get();
    }
    struct TKeysGone {
        TExStringGrid* G;
        bool Own;
        ~TKeysGone()
        {
            if (Own)
                G->FSortKeys = nullptr;
        }
    } keysGone{this, keys != nullptr};

    const int want = Indexed ? 1 : SortDir;
    const auto cmp = [&](int a, int b) { return Indexed ? CompareIndexedRows(a, b) : CompareSortRows(ACol, a, b); };
    const int scratch = RowCount() - 2;
    const int limit = DepthLimit(R - L + 1) + Depth;
    while (L < R) {
        if (Depth > limit) {
            MergeSortRows(ACol, L, R, Indexed);
            return;
        }
        // the pivot row, once per partition
        CopyRowData((L + R) / 2, scratch);
        if (FSortKeys)
            FSortKeys->Copy((L + R) / 2, scratch);
        int i = L, j = R;
        do {
            while (cmp(scratch, i) == want && i < R)
                ++i;
            while (cmp(j, scratch) == want && j > L)
                --j;
            if (i <= j) {
                if (i != j && (Indexed || cmp(i, j) != 0))
                    SortExchangeRows(i, j);
                ++i;
                --j;
            }
        } while (i <= j);
        ++Depth;
        // the smaller part by recursion, the larger by the loop
        if (j - L < R - i) {
            if (L < j)
                QuickSortRows(ACol, L, j, Indexed, Depth);
            L = i;
        } else {
            if (i < R)
                QuickSortRows(ACol, i, R, Indexed, Depth);
            R = j;
        }
    }
}

void TExStringGrid::MergeSortRows(int ACol, int L, int R, bool Indexed)
{
    const int want = Indexed ? 1 : SortDir;
    std::vector<int> order(size_t(R - L + 1));
    std::iota(order.begin(), order.end(), L);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = Indexed ? CompareIndexedRows(a, b) : CompareSortRows(ACol, a, b);
        return c == -want;
    });
    // Put the rows in that order by swaps: at[p] is the original row now at
    // p, where[o] the place of original row o.
    const size_t n = order.size();
    std::vector<int> at(n), where(n);
    for (size_t k = 0; k < n; ++k)
        at[k] = where[k] = int(k);
    for (size_t k = 0; k < n; ++k) {
        const int wanted = order[k] - L;
        const int from = where[size_t(wanted)];
        if (from == int(k))
            continue;
        SortExchangeRows(L + int(k), L + from);
        const int displaced = at[k];
        at[size_t(from)] = displaced;
        where[size_t(displaced)] = from;
        at[k] = wanted;
        where[size_t(wanted)] = int(k);
    }
}

void TExStringGrid::QuickSort(int Col, int Left, int Right)
{
    SortDir = FSortSettings->Direction == sdDescending ? -1 : 1;
    const int rows = RowCount();
    SetRowCount(rows + 3);
    for (int r = rows; r < rows + 3; ++r)
        ClearRowData(r);
    try {
        QuickSortRows(Col, Left, Right, false, 0);
    } catch (...) {
        for (int r = rows; r < rows + 3; ++r)
            ClearRowData(r);
        SetRowCount(rows);
        throw;
    }
    for (int r = rows; r < rows + 3; ++r)
        ClearRowData(r);
    SetRowCount(rows);
}

void TExStringGrid::QuickSortIndexed(int Left, int Right)
{
    const int rows = RowCount();
    SetRowCount(rows + 3);
    for (int r = rows; r < rows + 3; ++r)
        ClearRowData(r);
    try {
        QuickSortRows(0, Left, Right, true, 0);
    } catch (...) {
        for (int r = rows; r < rows + 3; ++r)
            ClearRowData(r);
        SetRowCount(rows);
        throw;
    }
    for (int r = rows; r < rows + 3; ++r)
        ClearRowData(r);
    SetRowCount(rows);
}

bool TExStringGrid::SortLine(int Col, int ARow1, int ARow2)
{
    const bool asc = FSortSettings->Direction != sdDescending;
    const int last = AllColCount() - 1;
    for (int c = Col; c <= last; ++c) {
        const int res = IsIgnoredColumn(c) ? 0 : CompareSortCells(c, ARow1, ARow2, asc);
        if (res == SortDir) {
            SortExchangeRows(ARow1, ARow2);
            return true;
        }
        if (res != 0)
            return false;
    }
    return false;
}

// ---------------------------------------------------------------------------
// The sort bracket shared by QSort, QSortIndexed and QUnSort
// ---------------------------------------------------------------------------

void TExStringGrid::RunRowSort(const std::function<void(int, int)>& Work, bool ToBottom, bool SearchPanelRepaint)
{
    const int oldRows = RowCount();
    // 2.
    TColumnZero col0(this, FSortSettings->NormalCellsOnly && FixedCols() > 0);
    const int top = TopRow();
    BeginUpdate();
    const bool footerVisible = FloatingFooter()->Visible;
    FloatingFooter()->Visible = false;
    const int footers = FixedFooters();
    // 3. three scratch rows the display hooks leave alone
    SetRowCount(oldRows + 3);
    for (int r = oldRows; r < oldRows + 3; ++r)
        ClearRowData(r);
    FNormalRowCount = oldRows;
    const int lastWidth = ColCount() > 0 ? ColWidths(ColCount() - 1) : 0;
    // 4.
    SortRow = Row();
    SortDir = FSortSettings->Direction == sdDescending ? -1 : 1;
    const int oldRow = Row();

    // 8. also when the sort raises
    const auto finish = [&] {
        // 6.
        for (int r = oldRows; r < oldRows + 3; ++r)
            ClearRowData(r);
        SetRowCount(oldRows);
        if (ColCount() > 0 && ColWidths(ColCount() - 1) != lastWidth)
            SetColWidths(ColCount() - 1, lastWidth);
        // 7.
        const bool move = Navigation()->MoveRowOnSort;
        if (!MouseActions()->DisjunctRowSelect() && move && SortRow >= FixedRows() && SortRow < RowCount()) {
            TBaseGrid::SetRow(SortRow);
            FOldRowSel = -1;
        }
        if (OnRowUpdate && !move)
            OnRowUpdate(this, oldRow, SortRow);
        col0.Restore();
        if (Navigation()->KeepScrollOnSort && top < RowCount())
            SetTopRow(top);
        FloatingFooter()->Visible = footerVisible;
        if (FixedFooters() != footers)
            SetFixedFooters(footers);
        EndUpdate();
        if (footerVisible && FooterPanel())
            FooterPanel()->Invalidate();
        if (SearchPanelRepaint && SearchFooter()->Visible() && SearchPanel())
            SearchPanel()->Invalidate();
    };
    try {
        // 5. fixed rows and fixed footer rows stay
        Work(ToBottom ? 0 : FixedRows(), ToBottom ? oldRows - 1 : oldRows - 1 - footers);
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TExStringGrid::QSort()
{
    // 1.
    if (FSortSettings->Column < 0)
        return;
    if (RowCount() != FSortRowXRef->Count())
        InitSortXRef();
    FSortIndexes->Clear();
    const int col = FSortSettings->Column;
    RunRowSort([&](int L, int R) { QuickSortRows(col, L, R, false, 0); }, false, true);
}

void TExStringGrid::QSortIndexed()
{
    if (FSortIndexes->Count() == 0)
        throw DOriVireZuvez(QStringLiteral("No indexes specified for indexed sort"));
    if (RowCount() != FSortRowXRef->Count())
        InitSortXRef();
    RunRowSort([&](int L, int R) { QuickSortRows(0, L, R, true, 0); }, false, false);
}

void TExStringGrid::QUnSort()
{
    if (RowCount() != FSortRowXRef->Count())
        InitSortXRef();
    FUnSortRowXRef->Clear();
    std::vector<int> key(size_t(FSortRowXRef->Count()));
    for (int i = 0; i < FSortRowXRef->Count(); ++i) {
        key[size_t(i)] = FSortRowXRef->GetInteger(i);
        FUnSortRowXRef->Add(key[size_t(i)]);
    }
    // The quicksort on the remembered places; the working entries move with
    // their rows. The smaller part recurses, the larger loops.
    const std::function<void(int, int)> sortRange = [&](int L, int R) {
        while (L < R) {
            const int v = key[size_t((L + R) / 2)];
            int i = L, j = R;
            do {
                while (key[size_t(i)] < v && i < R)
                    ++i;
                while (v < key[size_t(j)] && j > L)
                    --j;
                if (i <= j) {
                    if (i != j && key[size_t(i)] != key[size_t(j)]) {
                        SortExchangeRows(i, j);
                        std::swap(key[size_t(i)], key[size_t(j)]);
                        FUnSortRowXRef->SetInteger(i, key[size_t(i)]);
                        FUnSortRowXRef->SetInteger(j, key[size_t(j)]);
                    }
                    ++i;
                    --j;
                }
            } while (i <= j);
            if (j - L < R - i) {
                if (L < j)
                    sortRange(L, j);
                L = i;
            } else {
                if (i < R)
                    sortRange(i, R);
                R = j;
            }
        }
    };
    RunRowSort([&](int L, int R) { sortRange(L, R); }, true, false);
}

void TExStringGrid::Sort(int Column, TSortDirection Direction)
{
    FSortSettings->Column = Column;
    FSortSettings->Direction = Direction;
    QSort();
}

void TExStringGrid::SortByColumn(int Col)
{
    if (RowCount() > 1) {
        FSortSettings->Column = Col;
        QSort();
    }
}

// ---------------------------------------------------------------------------
// TSortSettings: the operations that need the grid
// ---------------------------------------------------------------------------

void TSortSettings::SetRow(int v)
{
    if (FGrid && v > FGrid->FixedRows())
        throw Exception(QStringLiteral("Sort row should be smaller than number of fixed rows"));
    Row = v;
}

QString TSortSettings::SaveToString() const
{
    if (IndexShow)
        return QStringLiteral("i;") + (FGrid ? FGrid->SortIndexes()->SaveToString() : QString());
    return (Direction == sdDescending ? QStringLiteral("d") : QStringLiteral("u")) + QString::number(Column);
}

void TSortSettings::LoadFromString(const QString& Value)
{
    if (Value.isEmpty())
        return;
    Show = true;
    if (Value.size() < 2)
        throw Exception(QStringLiteral("Invalid sort settings specifier"));
    if (Value.contains(QLatin1String("i;"))) {
        IndexShow = true;
        const QString rest = Value.mid(2);
        if (!rest.isEmpty() && FGrid) {
            FGrid->SortIndexes()->LoadFromString(rest);
            FGrid->QSortIndexed();
        }
        return;
    }
    IndexShow = false;
    Direction = Value.contains(QLatin1Char('u')) ? sdAscending : sdDescending;
    int col = 0;
    if (TryStrToInt(Value.mid(1), col)) {
        Column = col;
        if (FGrid)
            FGrid->QSort();
    }
}

void TSortSettings::Remove()
{
    Column = -1;
    if (!FGrid)
        return;
    FGrid->SortIndexes()->Clear();
    if (FGrid->FixedRows() > 0)
        FGrid->RepaintRow(FGrid->FixedRows() - 1);
}
