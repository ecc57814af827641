// Cell accessors of the string grid beyond texts at display positions:
// typed dates and times, CONTROL tag values, texts by real, sorted and
// load-time position, the current cell, header rows and columns, row-wide
// properties, embedded cell controls, the column order, zoom and the ranges
// the data operations export.
#include "gridpack/stringgrid/ExGrid.h"

#include "gridpack/basegrid/RorIdad.h"
#include "gridpack/basegrid/SgHTMLE.h"
#include "platform/core/Format.h"
#include "platform/core/IntConv.h"
#include "platform/core/StrUtils.h"

#include <algorithm>

#include <charconv>

namespace {
const char* const kNoInteger = "Cell does not contain integer value";
const char* const kNoFloat = "Cell does not contain a float value";

int ReadInteger(const QString& text)
{
    const QString s = Trim(text);
    if (s.isEmpty() || s == QLatin1String("-"))
        return 0;
    int v = 0;
    if (!TryStrToInt(s, v))
        throw DOriVireZuvez(QString::fromLatin1(kNoInteger));
    return v;
}

// Reads an ASCII text of fewer than 64 characters as one number on the
// stack, correctly rounded as toDouble reads it; false when a character is
// not ASCII or `accept` refuses it, or the whole text is not one number.
template <class Accept>
bool ReadAsciiNumber(const QString& text, double& v, Accept accept)
{
    const qsizetype n = text.size();
    if (n == 0 || n >= 64)
        return false;
    char buf[64];
    const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] >= 0x80 || !accept(p[i]))
            return false;
        buf[i] = char(p[i]);
    }
    const std::from_chars_result r = std::from_chars(buf, buf + n, v);
    return r.ec == std::errc() && r.ptr == buf + n;
}

// A cell that is already a plain number ("-12.5", "3e4"), with "." as the
// decimal separator and no thousand separator, reads the same with or
// without normalising: it is read in place, without the copies the
// normalising makes (a column sum reads every cell this way).
bool ReadPlainFloat(const QString& text, double& v)
{
    if (LocaleDecimalSeparator() != QLatin1Char('.'))
        return false;
    const char16_t thousand = LocaleThousandSeparator().unicode();
    // Only digits, sign, point and exponent: "inf" and "nan" take the
    // normalising path, which does not read them as numbers.
    return ReadAsciiNumber(text, v, [thousand](char16_t c) {
        return c != thousand &&
               ((c >= u'0' && c <= u'9') || c == u'.' || c == u'-' || c == u'e' || c == u'E');
    });
}

double ReadFloat(const QString& text)
{
    double plain = 0;
    if (ReadPlainFloat(text, plain))
        return plain;
    const QString s = NormalizeFloatText(text);
    if (s.isEmpty() || s == QLatin1String("-"))
        return 0.0;
    // Anything the stack read does not take (a leading "+", an incomplete
    // exponent, a value out of range) takes toDouble's path.
    double quick = 0;
    if (ReadAsciiNumber(s, quick, [](char16_t) { return true; }))
        return quick;
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (!ok)
        throw DOriVireZuvez(QString::fromLatin1(kNoFloat));
    return v;
}
} // namespace

// ---------------------------------------------------------------------------
// Typed values
// ---------------------------------------------------------------------------

QString TExStringGrid::GetStrippedCell(int ACol, int ARow) { return StripMarkup(GetCellEx(ACol, ARow)); }

int TExStringGrid::GetLinesInCell(int ACol, int ARow)
{
    const QString s = GetCellEx(ACol, ARow);
    return int(s.count(QLatin1Char('\n'))) + 1;
}

int TExStringGrid::GetInts(int ACol, int ARow) { return ReadInteger(GetStrippedCell(ACol, ARow)); }

void TExStringGrid::SetInts(int ACol, int ARow, int Value)
{
    SetCellEx(ACol, ARow, IntToStr(Value));
    if (FNumHidden > 0)
        RepaintRealCell(ACol, ARow);
}

int TExStringGrid::GetAllInts(int ACol, int ARow) { return ReadInteger(GetCellsEx(ACol, ARow)); }

void TExStringGrid::SetAllInts(int ACol, int ARow, int Value) { SetCellsEx(ACol, ARow, IntToStr(Value)); }

double TExStringGrid::GetFloats(int ACol, int ARow) { return ReadFloat(GetStrippedCell(ACol, ARow)); }

void TExStringGrid::GetFloatFormat(int, int, QString& Fmt) { Fmt = FloatFormat; }

void TExStringGrid::SetFloats(int ACol, int ARow, double Value)
{
    QString fmt;
    GetFloatFormat(ACol, ARow, fmt);
    SetCellEx(ACol, ARow, Format(fmt, {Value}));
}

double TExStringGrid::GetAllFloats(int ACol, int ARow) { return ReadFloat(GetCellsEx(ACol, ARow)); }

void TExStringGrid::SetAllFloats(int ACol, int ARow, double Value)
{
    SetCellsEx(ACol, ARow, Format(FloatFormat, {Value}));
}

TDateTime TExStringGrid::GetDates(int ACol, int ARow) { return StrToDate(GetCellEx(ACol, ARow)); }

void TExStringGrid::SetDates(int ACol, int ARow, TDateTime Value)
{
    SetCellEx(ACol, ARow, Value > 0 || ShowNullDates ? DateToStr(Value) : QString());
}

TDateTime TExStringGrid::GetTimes(int ACol, int ARow) { return StrToTime(GetCellEx(ACol, ARow)); }

void TExStringGrid::SetTimes(int ACol, int ARow, TDateTime Value) { SetCellEx(ACol, ARow, TimeToStr(Value)); }

QString TExStringGrid::GetCtrlVal(int ACol, int ARow, const QString& ID)
{
    QString v;
    if (!GetControlValue(GetCellEx(ACol, ARow), ID, v))
        return QString();
    return v;
}

void TExStringGrid::SetCtrlVal(int ACol, int ARow, const QString& ID, const QString& Value)
{
    QString s = GetCellEx(ACol, ARow);
    if (SetControlValue(s, ID, Value))
        SetCellEx(ACol, ARow, s);
}

// ---------------------------------------------------------------------------
// Merged columns
// ---------------------------------------------------------------------------

void TExStringGrid::MergeColumnCells(int ColIndex, bool MainMerge)
{
    const int last = RowCount() - FFixedFooters - 1;
    int start = FixedRows();
    for (int r = FixedRows() + 1; r <= last + 1; ++r) {
        const bool joins = r <= last && GetCellEx(ColIndex, r) == GetCellEx(ColIndex, r - 1) &&
                           (MainMerge || RowSpanIdentical(r - 1, r));
        if (joins)
            continue;
        if (r - start >= 2)
            MergeCells(ColIndex, start, 1, r - start);
        start = r;
    }
}

void TExStringGrid::SplitColumnCells(int ColIndex)
{
    int r = 0;
    while (r < RowCount() - FFixedFooters - 1) {
        if (IsYMergedCell(ColIndex, r)) {
            const int span = CellSpan(ColIndex, r).Y;
            SplitCells(ColIndex, r);
            r += span + 1;
        } else {
            ++r;
        }
    }
}

void TExStringGrid::MergedColumnsChanged()
{
    for (int c = 0; c < ColCount(); ++c)
        SplitColumnCells(c);
    for (int i = 0; i < FMergedColumns->Count(); ++i)
        MergeColumnCells(FMergedColumns->GetInteger(i), i == 0);
}

// ---------------------------------------------------------------------------
// Headers
// ---------------------------------------------------------------------------

void TExStringGrid::SetColumnHeaders(const TStrings* v)
{
    // The list's change notice shows the texts.
    if (FixedRows() > 0)
        ClearColumnHeaders();
    FColumnHeaders->Assign(v);
    ShowColumnHeaders();
}

void TExStringGrid::ShowColumnHeaders()
{
    if (FixedRows() <= 0)
        return;
    const int n = std::min(FColumnHeaders->Count(), TotalColCount());
    for (int i = 0; i < n; ++i)
        SetCellEx(i, 0, UnescapeNewlines(FColumnHeaders->Strings(i)));
}

void TExStringGrid::ClearColumnHeaders()
{
    for (int i = 0; i < ColCount(); ++i)
        SetCellEx(i, 0, QString());
}

void TExStringGrid::SetRowHeaders(const TStrings* v)
{
    if ((ComponentState() & csDesigning) && FixedCols() > 0)
        ClearRowHeaders();
    FRowHeaders->Assign(v);
    ShowRowHeaders();
}

void TExStringGrid::ShowRowHeaders()
{
    if (FixedCols() <= 0)
        return;
    const int n = std::min(FRowHeaders->Count(), RowCount());
    for (int i = 0; i < n; ++i)
        SetCellEx(0, i, UnescapeNewlines(FRowHeaders->Strings(i)));
}

void TExStringGrid::ClearRowHeaders()
{
    for (int i = 0; i < RowCount(); ++i)
        SetCellEx(0, i, QString());
}

void TExStringGrid::SetLookupItems(const TStrings* v)
{
    if (v)
        FLookupItems->Assign(v);
}

// ---------------------------------------------------------------------------
// Texts by real, sorted and load-time position
// ---------------------------------------------------------------------------

QString TExStringGrid::GetCellsEx(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        return QString();
    if (TGridItem* it = HiddenRowItem(ARow)) {
        QString v = ACol < it->Items()->Count() ? it->Items()->Strings(ACol) : QString();
        GetDisplayText(ACol, ARow, v);
        return v;
    }
    return GetCellEx(ACol, RemapRowToDispl(ARow));
}

void TExStringGrid::SetCellsEx(int ACol, int ARow, const QString& Value)
{
    if (ACol < 0 || ARow < 0)
        return;
    if (TGridItem* it = HiddenRowItem(ARow)) {
        while (it->Items()->Count() <= ACol)
            it->Items()->Add(QString());
        it->Items()->Put(ACol, Value);
        return;
    }
    const int r = RemapRowToDispl(ARow);
    SetCellEx(ACol, r, Value);
    if (DisplColIndex(ACol) != ACol)
        RepaintCell(DisplColIndex(ACol), r);
}

QString TExStringGrid::GetGridCellsEx(int ACol, int ARow) const
{
    if (ACol < 0 || ARow < 0)
        return QString();
    if (TGridItem* it = HiddenRowItem(ARow))
        return ACol < it->Items()->Count() ? it->Items()->Strings(ACol) : QString();
    return GetGridCell(ACol, RemapRowToDispl(ARow));
}

void TExStringGrid::SetGridCellsEx(int ACol, int ARow, const QString& Value)
{
    if (ACol < 0 || ARow < 0)
        return;
    if (TGridItem* it = HiddenRowItem(ARow)) {
        if (ACol < it->Items()->Count())
            it->Items()->Put(ACol, Value);
        return;
    }
    SetGridCell(ACol, RemapRowToDispl(ARow), Value);
}

TObject* TExStringGrid::GetGridObjectEx(int ACol, int ARow) const
{
    if (TGridItem* it = HiddenRowItem(ARow))
        return ACol >= 0 && ACol < it->Items()->Count() ? it->Items()->Objects(ACol) : nullptr;
    return GetGridObject(ACol, RemapRowToDispl(ARow));
}

TObject* TExStringGrid::GetObjectsEx(int ACol, int ARow)
{
    if (TGridItem* it = HiddenRowItem(ARow)) {
        TObject* o = ACol >= 0 && ACol < it->Items()->Count() ? it->Items()->Objects(ACol) : nullptr;
        if (auto* p = dynamic_cast<TCellProperties*>(o))
            return reinterpret_cast<TObject*>(p->CellObject);
        return o;
    }
    return GetObjectEx(ACol, RemapRowToDispl(ARow));
}

void TExStringGrid::SetObjectsEx(int ACol, int ARow, TObject* Value)
{
    if (TGridItem* it = HiddenRowItem(ARow)) {
        if (ACol < 0)
            return;
        while (it->Items()->Count() <= ACol)
            it->Items()->Add(QString());
        if (auto* p = dynamic_cast<TCellProperties*>(it->Items()->Objects(ACol)))
            p->CellObject = reinterpret_cast<std::uintptr_t>(Value);
        else
            it->Items()->PutObject(ACol, Value);
        return;
    }
    SetObjectEx(ACol, RemapRowToDispl(ARow), Value);
}

int TExStringGrid::SortedRowIndex(int ARow) const
{
    const int r = ARow >= 0 && ARow < FSortRowXRef->Count() ? FSortRowXRef->GetInteger(ARow) : ARow;
    return RealRowIndex(r);
}

int TExStringGrid::UnSortedRowIndex(int ARow) const
{
    if (FSortRowXRef->Count() == 0)
        return ARow;
    for (int i = 0; i < FSortRowXRef->Count(); ++i)
        if (FSortRowXRef->GetInteger(i) == ARow)
            return i;
    return FSortRowXRef->Count();
}

namespace {
int UnsortedPosition(const TIntList* xref, int ARow)
{
    if (xref->Count() < ARow)
        return ARow;
    for (int i = 0; i < xref->Count(); ++i)
        if (xref->GetInteger(i) == ARow)
            return i;
    return xref->Count();
}
} // namespace

QString TExStringGrid::GetUnSortedCell(int ACol, int ARow)
{
    return GetCellEx(ACol, UnsortedPosition(FSortRowXRef, ARow));
}

void TExStringGrid::SetUnSortedCell(int ACol, int ARow, const QString& Value)
{
    SetCellEx(ACol, UnsortedPosition(FSortRowXRef, ARow), Value);
}

QString TExStringGrid::GetOriginalCells(int ACol, int ARow) { return GetCellEx(ColumnPosition(ACol), ARow); }

void TExStringGrid::SetOriginalCells(int ACol, int ARow, const QString& Value)
{
    SetCellEx(ColumnPosition(ACol), ARow, Value);
}

// ---------------------------------------------------------------------------
// The current cell
// ---------------------------------------------------------------------------

QString TExStringGrid::GetCurrentCell()
{
    const TPoint b = BaseCell(RealCol(), Row());
    return GetGridCell(b.X, b.Y);
}

void TExStringGrid::SetCurrentCell(const QString& Value)
{
    const TPoint b = BaseCell(RealCol(), Row());
    SetCellEx(b.X, b.Y, Value);
}

QString TExStringGrid::GetCurrentCellText()
{
    const TPoint b = BaseCell(RealCol(), Row());
    return GetCellEx(b.X, b.Y);
}

void TExStringGrid::SetCurrentEditText(const QString& Value)
{
    if (IsBaseCell(Col(), Row())) {
        SetEditText(Col(), Row(), Value);
        return;
    }
    const TPoint b = BaseCell(Col(), Row());
    SetEditText(b.X, b.Y, Value);
}

// ---------------------------------------------------------------------------
// Row-wide properties, fonts and embedded controls
// ---------------------------------------------------------------------------

void TExStringGrid::SetCellFont(int ACol, int ARow, const TFont& Font)
{
    TCellProperties* p = GetCellProperties(ACol, ARow);
    p->FontName = Font.Name();
    p->FontSize = Font.Size();
    p->FontStyle = Font.Style();
    p->FontColor = Font.Color();
    if (FUpdateCount == 0)
        RepaintRealCell(ACol, ARow);
}

void TExStringGrid::SetRowColor(int ARow, TColor c)
{
    for (int col = FixedCols(); col < AllColCount(); ++col) {
        if (c == clNone) {
            if (!HasCellProperties(col, ARow))
                continue;
            if (GetGraphicObjectEx(col, ARow) == nullptr)
                FreeCellProperties(col, ARow);
            else
                GetCellProperties(col, ARow)->SetBrushColor(clNone);
        } else {
            GetCellProperties(col, ARow)->SetBrushColor(c);
        }
    }
    RepaintRow(ARow);
}

void TExStringGrid::SetRowColorTo(int ARow, TColor c)
{
    for (int col = FixedCols(); col < AllColCount(); ++col) {
        if (c == clNone)
            FreeCellProperties(col, ARow);
        else
            GetCellProperties(col, ARow)->SetBrushColorTo(c);
    }
    RepaintRow(ARow);
}

void TExStringGrid::SetRowFontColor(int ARow, TColor c)
{
    for (int col = FixedCols(); col < AllColCount(); ++col) {
        if (c == clNone) {
            if (HasCellProperties(col, ARow) && GetColors(col, ARow) == clNone)
                FreeCellProperties(col, ARow);
        } else {
            GetCellProperties(col, ARow)->FontColor = c;
        }
    }
    RepaintRow(ARow);
}

TControl* TExStringGrid::GetCellControls(int ACol, int ARow)
{
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p ? p->Control : nullptr;
}

void TExStringGrid::SetCellControls(int ACol, int ARow, TControl* Value)
{
    const int realRow = RealRowIndex(ARow);
    const int idx = FControlList->ControlIndex(ACol, realRow);
    const bool had = GetCellControls(ACol, ARow) != nullptr;
    if (idx >= 0)
        FControlList->RemoveControl(idx);
    if (!Value) {
        if (had) {
            --FNumCellControls;
            GetCellProperties(ACol, ARow)->Control = nullptr;
        }
        return;
    }
    if (!had)
        ++FNumCellControls;
    FControlList->AddControl(ACol, realRow, Value);
    GetCellProperties(ACol, ARow)->Control = Value;
    Value->SetParent(this);
    const TRect r = TCustomGrid::CellRect(DisplColIndex(ACol), ARow);
    Value->SetBounds(r.Left - 1, r.Top - 1, r.Width() + 1, r.Height() + 1);
}

// ---------------------------------------------------------------------------
// Column order, zoom, column widths at the end of loading
// ---------------------------------------------------------------------------

void TExStringGrid::SetColumnOrder()
{
    FColumnOrder->Clear();
    for (int i = 0; i < ColCount(); ++i)
        FColumnOrder->Insert(FColumnOrder->Count(), i);
}

int TExStringGrid::ColumnPosition(int ACol) const
{
    if (FColumnOrder->Count() == 0)
        return ACol;
    int p = ACol;
    for (int i = 0; i < FColumnOrder->Count(); ++i) {
        if (FColumnOrder->GetInteger(i) == ACol) {
            p = i;
            break;
        }
    }
    if (FGroupColumn != -1 && FGroupColumn <= ACol)
        --p;
    return p;
}

int TExStringGrid::ColumnAtPosition(int APos)
{
    if (FColumnOrder->Count() == 0) {
        SetColumnOrder();
        if (FColumnOrder->Count() == 0)
            return APos;
    }
    if (APos < 0 || APos >= FColumnOrder->Count())
        return APos;
    int v = FColumnOrder->GetInteger(APos);
    if (FGroupColumn != -1 && FGroupColumn <= v)
        ++v;
    return v;
}

void TExStringGrid::ResetColumnOrder()
{
    UnHideColumnsAll();
    if (FColumnOrder->Count() == 0) {
        SetColumnOrder();
        return;
    }
    const int n = std::min(ColCount(), FColumnOrder->Count());
    for (bool moved = true; moved;) {
        moved = false;
        for (int p = 0; p < n; ++p) {
            const int e = FColumnOrder->GetInteger(p);
            if (e < p && e >= 0) {
                MoveColumn(p, e);
                // The order list follows the moved column.
                FColumnOrder->Delete(p);
                FColumnOrder->Insert(e, e);
                moved = true;
            }
        }
    }
}

int TExStringGrid::ColumnByHeader(const QString& AValue)
{
    for (int i = 0; i < TotalColCount(); ++i)
        if (GetCellsEx(i, 0) == AValue)
            return i;
    return -1;
}

void TExStringGrid::Zoom(int x)
{
    const int z = FZoomFactor + x;
    if (z > 10 || z < -10)
        return;
    BeginUpdate();
    FZoomFactor = z;
    for (int c = 0; c < ColCount(); ++c) {
        const int w = ColWidths(c);
        if (w > 0 && w + x > 0)
            SetColWidths(c, w + x);
    }
    for (int r = 0; r < RowCount(); ++r) {
        const int h = RowHeights(r);
        if (h > 0 && h + x > 0)
            SetRowHeights(r, h + x);
    }
    EndUpdate();
}

void TExStringGrid::InitOrigColSizes()
{
    FOrigColSizes->Clear();
    for (int c = 0; c < ColCount(); ++c)
        FOrigColSizes->Insert(FOrigColSizes->Count(), ColWidths(c));
    FOrigWidth = Width();
}

// ---------------------------------------------------------------------------
// What the data operations ask
// ---------------------------------------------------------------------------

int TExStringGrid::MaxRowLineCount(int ARow)
{
    if (!Multilinecells)
        return 1;
    int n = 1;
    for (int c = 0; c < AllColCount(); ++c)
        n = std::max(n, CountTextLines(GetCellEx(c, ARow), true));
    return n;
}

int TExStringGrid::GetXYOffsetWidth() const { return XYOffsetTopLeftOnly ? FXYOffset.X : 2 * FXYOffset.X; }

int TExStringGrid::GetXYOffsetHeight() const { return XYOffsetTopLeftOnly ? FXYOffset.Y : 2 * FXYOffset.Y; }

int TExStringGrid::SaveStartCol() const { return SaveFixedCells || SaveFixedCols ? 0 : FixedCols(); }
int TExStringGrid::SaveStartRow() const { return SaveFixedCells || SaveFixedRows ? 0 : FixedRows(); }

int TExStringGrid::SaveEndCol() const
{
    return SaveFixedCells || SaveFixedCols ? ColCount() - 1 : ColCount() - FFixedRightCols - 1;
}

int TExStringGrid::SaveEndRow() const
{
    return SaveFixedCells || SaveFixedRows ? RowCount() - 1 : RowCount() - FFixedFooters - 1;
}

int TExStringGrid::SaveColCount() const
{
    return SaveFixedCells || SaveFixedCols ? ColCount() : ColCount() - FixedCols() - FFixedRightCols;
}

int TExStringGrid::SaveRowCount() const
{
    return SaveFixedCells || SaveFixedRows ? RowCount() : RowCount() - FixedRows() - FFixedFooters;
}

TGridRect TExStringGrid::UsedCells()
{
    TGridRect r{-1, -1, -1, -1};
    for (int row = 0; row < RowCount(); ++row) {
        for (int c = 0; c < ColCount(); ++c) {
            if (GetCellEx(RemapColToReal(c), row).isEmpty())
                continue;
            if (r.Left < 0) {
                r = TGridRect{c, row, c, row};
            } else {
                r.Left = std::min(r.Left, c);
                r.Right = std::max(r.Right, c);
                r.Bottom = row;
            }
        }
    }
    return r.Left < 0 ? TGridRect{0, 0, 0, 0} : r;
}

void TExStringGrid::ScreenToCell(TPoint P, int& ACol, int& ARow)
{
    const TPoint c = ScreenToClient(P);
    MouseToCell(c.X, c.Y, ACol, ARow);
}
