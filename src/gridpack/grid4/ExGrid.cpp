#include "gridpack/grid4/ExGrid.h"

#include "gridpack/grid3/SgHTMLE.h"
#include "gridpack/grid3/RorIdad.h"
#include "platform/controls/Clipboard.h"
#include "platform/controls/Messages.h"
#include "platform/controls/Timers.h"
#include "platform/core/Format.h"
#include "platform/core/IntConv.h"
#include "platform/core/StrUtils.h"

#include <algorithm>

namespace {
const char* const kNoInteger = "Cell does not contain integer value";
const char* const kNoFloat = "Cell does not contain a float value";

// The grid's version: 6.2.1.3, most significant byte first.
constexpr unsigned kVersionNr = (6u << 24) | (2u << 16) | (1u << 8) | 3u;
} // namespace

unsigned GridEditDoneMsg()
{
    static const unsigned msg = RegisterWindowMessage(QStringLiteral("GridEditDone"));
    return msg;
}

unsigned GridDTPShiftFocusMsg()
{
    static const unsigned msg = RegisterWindowMessage(QStringLiteral("DTPShiftFocus"));
    return msg;
}

unsigned GridCellsClipboardFormat()
{
    static const unsigned fmt = RegisterClipboardFormat(QStringLiteral("TExStringGrid Cells"));
    return fmt;
}

unsigned GetModuleFileVersion(const QString& ModuleName)
{
    // The grid only asks about the common controls; their flat scroll bars
    // and look are the ones of version 6.10.
    if (ModuleName.compare(QStringLiteral("COMCTL32.DLL"), Qt::CaseInsensitive) == 0)
        return (6u << 16) | 10u;
    return 0;
}

// ---------------------------------------------------------------------------
// Construction
// ---------------------------------------------------------------------------

TExStringGrid::TExStringGrid(TComponent* AOwner) : TBaseGrid(AOwner)
{
    FVisibleCol.fill(1);
    FAllColWidths.fill(0);
    FSortSettings = NewObject<TSortSettings>();
    FColumnSize = NewObject<TColumnSize>();
    FPrintSettings = NewObject<TPrintSettings>();
    FFilter = NewObject<TFilterCollection>();
    FFilterDropDown = NewObject<TFilterDropDown>();
    CreateCellObjects();

    ControlStyle |= csAcceptsControls;
    SetColCount(5);
    SetRowCount(10);
    SetFixedCols(1);
    SetFixedRows(1);
    SetDefaultRowHeight(22);
    FFixedRowHeight = 22;
    SetBounds(Left(), Top(), 400, 250);
}

TExStringGrid::~TExStringGrid()
{
    // Hidden columns come back first so every cell is cleared with its row.
    if (FNumHidden > 0)
        UnHideColumnsAll();
    FreeCellObjects();
    FFilterDropDown->Free();
    FFilter->Free();
    FPrintSettings->Free();
    FColumnSize->Free();
    FSortSettings->Free();
}

void TExStringGrid::CreateWnd()
{
    if (ComponentState() & csDestroying)
        return;
    TBaseGrid::CreateWnd();
    if (!Parent())
        return;
    FGridTimerID = SetTimer(this, GridTimerIdent, 500);
}

void TExStringGrid::DestroyWnd()
{
    if (FGridTimerID != 0) {
        KillTimer(this, GridTimerIdent);
        FGridTimerID = 0;
    }
    TBaseGrid::DestroyWnd();
}

bool TExStringGrid::Loading() const { return (ComponentState() & csLoading) != 0; }

unsigned TExStringGrid::GetVersionNr() { return kVersionNr; }

QString TExStringGrid::Version()
{
    const unsigned v = GetVersionNr();
    return QStringLiteral("%1.%2.%3.%4")
        .arg((v >> 24) & 0xFF)
        .arg((v >> 16) & 0xFF)
        .arg((v >> 8) & 0xFF)
        .arg(v & 0xFF);
}

QString TExStringGrid::GetVersionString() { return Version() + QStringLiteral(" Sep, 2012"); }

// ---------------------------------------------------------------------------
// Dimensions
// ---------------------------------------------------------------------------

void TExStringGrid::SetRowCount(int v)
{
    TBaseGrid::SetRowCount(v);
    if (FixedRowAlways && TBaseGrid::RowCount() > FFixedRowsMin && TBaseGrid::FixedRows() != FFixedRowsMin)
        TBaseGrid::SetFixedRows(FFixedRowsMin);
    FMaxRowCount = std::max(FMaxRowCount, v);
    FNormalRowCount = v;
}

void TExStringGrid::SetColCount(int v)
{
    TBaseGrid::SetColCount(v);
    if (FixedColAlways && TBaseGrid::ColCount() > FFixedColsMin && TBaseGrid::FixedCols() != FFixedColsMin)
        TBaseGrid::SetFixedCols(FFixedColsMin);
    FMaxColCount = std::max(FMaxColCount, v);
}

int TExStringGrid::FixedRows() const
{
    const int n = TBaseGrid::FixedRows();
    return n == 0 && FixedRowAlways ? 1 : n;
}

void TExStringGrid::SetFixedRows(int v)
{
    const int applied = v >= RowCount() && FixedRowAlways ? RowCount() - 1 : v;
    TBaseGrid::SetFixedRows(applied);
    if (!Loading())
        FFixedRowsMin = v;
}

int TExStringGrid::FixedCols() const
{
    const int n = TBaseGrid::FixedCols();
    return n == 0 && FixedColAlways ? 1 : n;
}

void TExStringGrid::SetFixedCols(int v)
{
    const int applied = v >= ColCount() && FixedColAlways ? ColCount() - 1 : v;
    TBaseGrid::SetFixedCols(applied);
    if (!Loading())
        FFixedColsMin = v;
}

void TExStringGrid::SetDefaultRowHeight(int v) { TBaseGrid::SetDefaultRowHeight(v); }

void TExStringGrid::SetFixedColWidth(int v)
{
    if (Loading() || v == DefaultColWidth())
        return;
    for (int i = 0; i < TBaseGrid::FixedCols(); ++i)
        SetColWidths(i, v);
}

void TExStringGrid::SetFixedRowHeight(int v)
{
    FFixedRowHeight = v;
    if (Loading())
        return;
    if (v == DefaultRowHeight()) {
        // The library skips an unchanged default, so every row is set here.
        TBaseGrid::SetDefaultRowHeight(v);
        for (int i = 0; i < RowCount(); ++i)
            SetRowHeights(i, v);
    } else {
        for (int i = 0; i < TBaseGrid::FixedRows(); ++i)
            SetRowHeights(i, v);
    }
}

void TExStringGrid::SetWordWrapEx(bool v)
{
    FWordWrapEx = v;
    WordWrap = v;
    if (FUpdateCount == 0)
        Invalidate();
}

void TExStringGrid::SetScrollBars(TScrollStyle v) { TBaseGrid::SetScrollBars(v); }

void TExStringGrid::StretchColumnToFit(int n)
{
    if (ComponentState() & (csLoading | csDestroying))
        return;
    if (n == -1)
        n = ColCount() - 1;
    if (n >= ColCount())
        throw EInvalidGridOperation(QStringLiteral("Stretch column index out of range"));
    if (ColCount() == 0 || !FColumnSize->Stretch || FIsColChanging || n < 0)
        return;
    FIsColChanging = true;
    ColchgFlg = false;
    const TRect client = ClientRect();
    if (ColCount() == 1) {
        SetColWidths(0, client.Right);
    } else {
        int sum = 0;
        for (int i = 0; i < ColCount(); ++i)
            if (i != n)
                sum += ColWidths(i);
        if (sum < client.Width())
            SetColWidths(n, client.Right - client.Left - sum - 1);
        else if (LeftCol() == TBaseGrid::FixedCols())
            SetColWidths(n, DefaultColWidth());
    }
    ColchgFlg = true;
    FIsColChanging = false;
}

// ---------------------------------------------------------------------------
// Update lock
// ---------------------------------------------------------------------------

void TExStringGrid::BeginUpdate()
{
    if (!Visible())
        return;
    ++FUpdateCount;
}

void TExStringGrid::EndUpdate()
{
    if (!Visible())
        return;
    if (FUpdateCount > 0)
        --FUpdateCount;
    if ((ComponentState() & csDestroying) || FUpdateCount > 0)
        return;
    FSelChange = false;
    Invalidate();
}

void TExStringGrid::Paint()
{
    // The library's redraw switch does nothing, so the lock is kept here.
    if (FUpdateCount > 0)
        return;
    TBaseGrid::Paint();
}

void TExStringGrid::Invalidate()
{
    if (FEditChange) {
        FEditChange = false;
        return;
    }
    TBaseGrid::Invalidate();
}

void TExStringGrid::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    const int R = DefaultRowHeight();
    if (FIntegralHeight && FUpdateCount == 0 && R > 0) {
        const int h = VisibleColCount() + FixedCols() < ColCount() ? GetSystemMetrics(SM_CYHSCROLL) : 0;
        const int b = BorderStyle() == bsSingle ? 2 : 0;
        AHeight = h + 2 * b + ((AHeight - h - b) / R) * R;
    }
    TBaseGrid::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TExStringGrid::SetIntegralHeight(bool v)
{
    FIntegralHeight = v;
    SetBounds(Left(), Top(), Width(), Height());
}

// ---------------------------------------------------------------------------
// Hidden columns
// ---------------------------------------------------------------------------

bool TExStringGrid::IsHiddenColumn(int ColIndex) const
{
    if (ColIndex < 0 || ColIndex >= MaxRealCols - 1)
        return false;
    return FVisibleCol[ColIndex] == 0;
}

int TExStringGrid::RemapColToDispl(int RealCol) const
{
    if (RealCol >= MaxRealCols - 1 || FNumHidden == 0 || RealCol < 0)
        return RealCol;
    int hidden = 0;
    for (int i = 0; i < RealCol; ++i)
        hidden += FVisibleCol[i] == 0;
    return RealCol - hidden;
}

int TExStringGrid::RemapColToReal(int DisplCol) const
{
    if (DisplCol >= MaxRealCols - 1 || FNumHidden == 0 || DisplCol < 0)
        return DisplCol;
    int shown = 0;
    for (int j = 0; j < MaxRealCols - 1; ++j) {
        if (FVisibleCol[j] == 0)
            continue;
        if (shown == DisplCol)
            return j;
        ++shown;
    }
    return 0;
}

void TExStringGrid::HideColumns(int FromCol, int ToCol)
{
    SetEditorMode(false);
    for (int c = std::max(FromCol, 0); c <= ToCol && c < MaxRealCols; ++c) {
        if (FVisibleCol[c] != 1 || c >= ColCount() + FNumHidden || ColCount() <= 1)
            continue;
        const int d = RemapColToDispl(c);
        FAllColWidths[c] = int16_t(ColWidths(d));
        for (int i = d + 1; i < ColCount(); ++i)
            SetColWidths(i - 1, ColWidths(i));
        ++FNumHidden;
        FVisibleCol[c] = 0;
        if (Col() == ColCount() - 1 && Col() > 0)
            TBaseGrid::SetCol(Col() - 1);
        SetColCount(ColCount() - 1);
    }
    Invalidate();
}

void TExStringGrid::UnHideColumns(int FromCol, int ToCol)
{
    SetEditorMode(false);
    for (int c = std::max(FromCol, 0); c <= ToCol && c < MaxRealCols; ++c) {
        if (FVisibleCol[c] != 0)
            continue;
        --FNumHidden;
        FVisibleCol[c] = 1;
        SetColCount(ColCount() + 1);
        const int d = RemapColToDispl(c);
        for (int i = ColCount() - 1; i > d; --i)
            SetColWidths(i, ColWidths(i - 1));
        SetColWidths(d, FAllColWidths[c]);
    }
    Invalidate();
}

int TExStringGrid::AllColWidths(int ACol) const
{
    if (IsHiddenColumn(ACol))
        return FAllColWidths[ACol];
    return ColWidths(RemapColToDispl(ACol));
}

void TExStringGrid::SetAllColWidths(int ACol, int v)
{
    if (ACol >= 0 && ACol < MaxRealCols)
        FAllColWidths[ACol] = int16_t(v);
    if (!IsHiddenColumn(ACol))
        SetColWidths(RemapColToDispl(ACol), v);
}

// ---------------------------------------------------------------------------
// Current cell
// ---------------------------------------------------------------------------

void TExStringGrid::SetRow(int v)
{
    if (Col() < 0 || Col() >= ColCount())
        MoveToCell(FixedCols(), v);
    TBaseGrid::SetRow(v);
    if (Row() != FOldRowSel && OnRowUpdate) {
        OnRowUpdate(this, FOldRowSel, Row());
        FOldRowSel = Row();
    }
}

void TExStringGrid::SetCol(int v) { TBaseGrid::SetCol(v); }

void TExStringGrid::SetTopRow(int v)
{
    if (v >= FixedRows() && v <= RowCount() - 1)
        TBaseGrid::SetTopRow(v);
}

void TExStringGrid::FocusCell(int ACol, int ARow) { SetSelection(TGridRect{ACol, ARow, ACol, ARow}); }

// ---------------------------------------------------------------------------
// Typed values
// ---------------------------------------------------------------------------

QString TExStringGrid::GetStrippedCell(int ACol, int ARow) { return StripMarkup(GetCellEx(ACol, ARow)); }

int TExStringGrid::GetLinesInCell(int ACol, int ARow)
{
    const QString s = GetCellEx(ACol, ARow);
    return int(s.count(QLatin1Char('\n'))) + 1;
}

int TExStringGrid::GetInts(int ACol, int ARow)
{
    QString s = Trim(GetStrippedCell(ACol, ARow));
    if (s.isEmpty() || s == QLatin1String("-"))
        return 0;
    int v = 0;
    if (!TryStrToInt(s, v))
        throw DOriVireZuvez(QString::fromLatin1(kNoInteger));
    return v;
}

void TExStringGrid::SetInts(int ACol, int ARow, int Value)
{
    SetCellEx(ACol, ARow, IntToStr(Value));
    if (FNumHidden > 0)
        RepaintRealCell(ACol, ARow);
}

double TExStringGrid::GetFloats(int ACol, int ARow)
{
    const QString s = NormalizeFloatText(GetStrippedCell(ACol, ARow));
    if (s.isEmpty() || s == QLatin1String("-"))
        return 0.0;
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (!ok)
        throw DOriVireZuvez(QString::fromLatin1(kNoFloat));
    return v;
}

void TExStringGrid::GetFloatFormat(int, int, QString& Fmt) { Fmt = FloatFormat; }

void TExStringGrid::SetFloats(int ACol, int ARow, double Value)
{
    QString fmt;
    GetFloatFormat(ACol, ARow, fmt);
    SetCellEx(ACol, ARow, Format(fmt, {Value}));
}

// ---------------------------------------------------------------------------
// Selection
// ---------------------------------------------------------------------------

void TExStringGrid::SetSelection(const TGridRect& r) { TBaseGrid::SetSelection(r); }

void TExStringGrid::SelectRows(int RowIndex, int RCount)
{
    if (RowIndex + RCount > RowCount())
        RCount = RowCount() - RowIndex;
    SetSelection(TGridRect{FixedCols(), RowIndex, ColCount() - 1, RowIndex + RCount - 1});
    FSelChange = false;
}

void TExStringGrid::SelectCols(int ColIndex, int CCount)
{
    SetSelection(TGridRect{ColIndex, FixedRows(), ColIndex + CCount - 1, RowCount() - 1});
}

void TExStringGrid::SelectRange(int FromCol, int ToCol, int FromRow, int ToRow)
{
    SetRow(ToRow);
    SetCol(ToCol);
    SetSelection(TGridRect{FromCol, FromRow, ToCol, ToRow});
}

int TExStringGrid::RowSelectCount() const
{
    const TGridRect s = Selection();
    return std::abs(s.Bottom - s.Top) + 1;
}

// ---------------------------------------------------------------------------
// Per-cell properties
// ---------------------------------------------------------------------------

void TExStringGrid::RepaintRealCell(int ACol, int ARow) { RepaintCell(DisplColIndex(ACol), ARow); }

TColor TExStringGrid::GetColors(int ACol, int ARow)
{
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p ? p->BrushColor() : clNone;
}

void TExStringGrid::SetColors(int ACol, int ARow, TColor v)
{
    GetCellProperties(ACol, ARow)->SetBrushColor(v);
    if (FUpdateCount == 0)
        RepaintRealCell(ACol, ARow);
}

TColor TExStringGrid::GetColorsTo(int ACol, int ARow)
{
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p ? p->BrushColorTo() : clNone;
}

void TExStringGrid::SetColorsTo(int ACol, int ARow, TColor v)
{
    GetCellProperties(ACol, ARow)->SetBrushColorTo(v);
    RepaintRealCell(ACol, ARow);
}

TCellGradientDirection TExStringGrid::GetGradientDir(int ACol, int ARow)
{
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p ? p->GradientDirection : GradientVertical;
}

void TExStringGrid::SetGradientDir(int ACol, int ARow, TCellGradientDirection v)
{
    GetCellProperties(ACol, ARow)->GradientDirection = v;
    RepaintRealCell(ACol, ARow);
}

bool TExStringGrid::GetReadOnly(int ACol, int ARow)
{
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p ? p->ReadOnly : false;
}

void TExStringGrid::SetReadOnly(int ACol, int ARow, bool v)
{
    GetCellProperties(ACol, ARow)->ReadOnly = v;
    RepaintRealCell(ACol, ARow);
}

bool TExStringGrid::GetWordWraps(int ACol, int ARow) { return GetCellProperties(ACol, ARow)->WordWrap(); }

void TExStringGrid::SetWordWraps(int ACol, int ARow, bool v)
{
    GetCellProperties(ACol, ARow)->SetWordWrap(v);
    RepaintRealCell(ACol, ARow);
}

TColor TExStringGrid::GetFontColors(int ACol, int ARow)
{
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p ? p->FontColor : clNone;
}

void TExStringGrid::SetFontColors(int ACol, int ARow, TColor v)
{
    GetCellProperties(ACol, ARow)->FontColor = v;
    RepaintRealCell(ACol, ARow);
}

TFontStyles TExStringGrid::GetFontStyles(int ACol, int ARow)
{
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p ? p->FontStyle : TFontStyles(0);
}

void TExStringGrid::SetFontStyles(int ACol, int ARow, TFontStyles v)
{
    GetCellProperties(ACol, ARow)->FontStyle = v;
    RepaintRealCell(ACol, ARow);
}

QString TExStringGrid::GetFontNames(int ACol, int ARow)
{
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p ? p->FontName : QString();
}

void TExStringGrid::SetFontNames(int ACol, int ARow, const QString& v)
{
    GetCellProperties(ACol, ARow)->FontName = v;
    RepaintRealCell(ACol, ARow);
}

int TExStringGrid::GetFontSizes(int ACol, int ARow)
{
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p ? p->FontSize : 0;
}

void TExStringGrid::SetFontSizes(int ACol, int ARow, int v)
{
    GetCellProperties(ACol, ARow)->FontSize = v;
    RepaintRealCell(ACol, ARow);
}

TAlignment TExStringGrid::GetAlignments(int ACol, int ARow)
{
    const TCellProperties* p = PropsOf(ACol, ARow);
    return p ? p->Alignment : taLeftJustify;
}

void TExStringGrid::SetAlignments(int ACol, int ARow, TAlignment v)
{
    GetCellProperties(ACol, ARow)->Alignment = v;
    RepaintRealCell(ACol, ARow);
}
