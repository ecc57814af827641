// Clipboard copy, cut and paste of the string grid. A copy puts the cells as
// tab and line text, adds the top-left cell's rich text (AllowRTFClipboard)
// and the binary cell stream of the rectangle under "TExStringGrid Cells"
// (AllowFmtClipboard); when a value holds a tab or a line break, which the
// text changes, the values as the cells hold them go along under "TExStringGrid
// Text". A paste takes the richest form there is: grid cells, then rich
// text, then text (the program's own block when it belongs to the text);
// text goes cell by cell through the paste events and the undo list, and
// with AllowSmartClipboard a single value fills the selection or two values
// continue as a series.
//
// Clipboard blocks may come from other programs: the cell stream's first
// record is checked before the grid grows or rows are inserted, and rich
// text without its terminating zero is read to the block's end only.
#include "gridpack/gridexchange/ExchangeText.h"
#include "gridpack/basegrid/RorIdad.h"
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/Clipboard.h"
#include "platform/controls/RichText.h"
#include "platform/core/BinComponentStream.h"
#include "platform/core/CodePages.h"
#include "platform/core/DateTime.h"
#include "platform/core/FloatConv.h"
#include "platform/core/Format.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/IntConv.h"
#include "platform/core/Streams.h"

#include <algorithm>

namespace {

TClipFormat RichTextFormat()
{
    static const TClipFormat f = RegisterClipboardFormat(QStringLiteral("Rich Text Format"));
    return f;
}

// The program's own copy of a text block with its values as the cells hold
// them: UTF-16, a first line with the length and checksum of the text it
// belongs to, then the block of escaped values.
TClipFormat ExactTextFormat()
{
    static const TClipFormat f = RegisterClipboardFormat(QStringLiteral("TExStringGrid Text"));
    return f;
}

QString ExactTextStamp(const QString& Text)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(Text.utf16()), Text.size() * 2);
    return QString::number(Text.size()) + QLatin1Char(',') + QString::number(qChecksum(bytes));
}

QByteArray ExactTextBlock(const QString& Text, const QString& Exact)
{
    const QString all = ExactTextStamp(Text) + QLatin1String("\r\n") + Exact;
    return QByteArray(reinterpret_cast<const char*>(all.utf16()), all.size() * 2);
}

// The escaped block that belongs to Text, when the clipboard holds one made
// with this very text (another program's text never comes with it).
bool ReadExactText(const QByteArray& Block, const QString& Text, QString& Exact)
{
    const QString all(reinterpret_cast<const QChar*>(Block.constData()), Block.size() / 2);
    const qsizetype eol = all.indexOf(QLatin1String("\r\n"));
    if (eol < 0 || all.left(eol) != ExactTextStamp(Text))
        return false;
    Exact = all.mid(eol + 2);
    return true;
}

// The escaped block of a text whose values hold no tab and no line break:
// its tabs and line ends are the block's own, only backslashes and NULs are
// escaped.
QString EscapedBlockSoFar(const QString& Text)
{
    if (!Text.contains(QLatin1Char('\\')) && !Text.contains(QChar(0)))
        return Text;
    QString out = Text;
    out.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    out.replace(QChar(0), QLatin1String("\\0"));
    return out;
}

// Appends a value to the escaped block; most values need no escape.
void AppendEscaped(QString& Out, const QString& Value)
{
    for (QChar c : Value) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'\r' || u == u'\n' || u == u'\t' || u == 0) {
            Out += GridExchange::EscapeControls(Value);
            return;
        }
    }
    Out += Value;
}

// Zero-terminated UTF-16 of the text.
QByteArray Utf16Block(const QString& Text)
{
    QByteArray b(reinterpret_cast<const char*>(Text.utf16()), Text.size() * 2);
    b.append(2, '\0');
    return b;
}

// UTF-16 units up to the first zero or the block's end (a block from
// another program may lack its terminator; an odd last byte is dropped).
QString Utf16UpToZero(const QByteArray& Block)
{
    const qsizetype units = Block.size() / 2;
    const auto* p = reinterpret_cast<const char16_t*>(Block.constData());
    qsizetype n = 0;
    while (n < units && p[n] != 0)
        ++n;
    return QString(reinterpret_cast<const QChar*>(p), n);
}

// The counts and the window id of a cell stream's first record; false when
// the record is missing or its counts are negative or past the limits.
bool ReadCellsHead(const QByteArray& Data, int& Cols, int& Rows, int64_t& Id)
{
    try {
        qsizetype pos = 0;
        const TBinRecord head = ReadBinRecord(Data, pos);
        if (head.ClassName != QByteArrayView("TGridPropIO"))
            return false;
        auto num = [&](const char* name, int64_t& v) {
            const TBinValue* p = head.Find(name);
            if (!p || p->Type != TBinValue::vtInt)
                return false;
            v = p->Int;
            return true;
        };
        int64_t c = 0, r = 0;
        if (!num("ColCount", c) || !num("RowCount", r))
            return false;
        if (c < 0 || r < 0 || c > TExStringGrid::MaxRealCols || r > GridExchange::MaxDeclaredRows)
            return false;
        Id = 0;
        num("ID", Id);
        Cols = int(c);
        Rows = int(r);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

// A value looks like a date or time: the date separator twice and not
// first, or the time separator anywhere.
bool LooksLikeDateTime(const QString& v)
{
    const TFormatSettings& fs = ActiveFormatSettings();
    const qsizetype first = v.indexOf(fs.DateSeparator);
    return (first > 0 && v.count(fs.DateSeparator) == 2) || v.contains(fs.TimeSeparator);
}

// Closes the clipboard on every path.
struct TClipboardOpen {
    TClipboardOpen() { Clipboard()->Open(); }
    ~TClipboardOpen() { Clipboard()->Close(); }
};

// Ends an update bracket on every path.
struct TUpdateBracket {
    TExStringGrid* G;
    explicit TUpdateBracket(TExStringGrid* g) : G(g) { G->BeginUpdate(); }
    ~TUpdateBracket() { G->EndUpdate(); }
};

} // namespace

// ---------------------------------------------------------------------------
// Copying
// ---------------------------------------------------------------------------

QString TExStringGrid::ClipboardTextOf(const TGridRect& R, bool Disjunct, QString* Exact)
{
    bool exactNeeded = false;
    if (Exact)
        Exact->clear();
    TMouseActions* ma = MouseActions();
    TNavigation* nav = Navigation();
    FClipTopLeft = TPoint{R.Left, R.Top};
    ExportNotification(0, -1);
    const bool rowFilter = ma->DisjunctRowSelect() && Disjunct && !ma->DisjunctColSelect();
    const bool colFilter = ma->DisjunctColSelect() && Disjunct;
    std::vector<int> cols;
    for (int c = R.Left; c <= R.Right; ++c)
        if (!colFilter || GetColSelect(c))
            cols.push_back(c);
    // Rich text is wanted as the cell holds it, not as the export hook
    // would flatten it for a file.
    struct TKeepRTF {
        bool& F;
        bool Old;
        ~TKeepRTF() { F = Old; }
    } keep{SaveWithRTF, SaveWithRTF};
    SaveWithRTF = true;
    QString out;
    QString v;
    for (int r = R.Top; r <= R.Bottom; ++r) {
        ExportNotification(1, r);
        if (rowFilter && !GetRowSelect(ma->RowSelectPersistent ? RealRowIndex(r) : r))
            continue;
        bool first = true;
        for (int c : cols) {
            const int rc = RemapColToReal(c);
            SaveCell(rc, r, v);
            // One pass finds what the value needs.
            bool hasCR = false, rich = false, tags = false, breakOrTab = false;
            const QChar* p = v.constData();
            const qsizetype len = v.size();
            for (qsizetype i = 0; i < len; ++i) {
                const char16_t ch = p[i].unicode();
                if (ch == u'\r')
                    hasCR = breakOrTab = true;
                else if (ch == u'\n' || ch == u'\t')
                    breakOrTab = true;
                else if (ch == u'{' && i + 1 < len && p[i + 1] == QLatin1Char('\\'))
                    rich = true;
                else if (ch == u'<' && i + 1 < len && p[i + 1] == QLatin1Char('/'))
                    tags = true;
            }
            // A value replaced below is looked at again.
            bool replaced = rich;
            if (rich) {
                v = ReadRtf(GetCellEx(rc, r).toLatin1()).Text();
                v.replace(QLatin1String("\r\n"), QLatin1String("\n"));
                v.replace(QLatin1Char('\r'), QLatin1Char('\n'));
                v.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
                while (v.endsWith(QLatin1String("\r\n")))
                    v.chop(2);
            } else {
                if (len >= 2 && p[0] == QLatin1Char('|') && p[1] == QLatin1Char('\\')) {
                    v = DecodeWideText(v);
                    hasCR = v.contains(QLatin1Char('\r'));
                    replaced = true;
                }
                if (tags && !nav->CopyHTMLTagsToClipboard) {
                    v = GetStrippedCell(rc, r);
                    hasCR = false;
                    replaced = true;
                }
            }
            if (replaced)
                breakOrTab = v.contains(QLatin1Char('\r')) || v.contains(QLatin1Char('\n')) ||
                             v.contains(QLatin1Char('\t'));
            if (Exact) {
                // The value as the cell holds it, before the text's steps. The
                // block starts with the first value the text changes: up to
                // there the text holds every value as it is.
                if (!exactNeeded && breakOrTab) {
                    *Exact = EscapedBlockSoFar(out);
                    exactNeeded = true;
                }
                if (exactNeeded) {
                    if (!first)
                        *Exact += QLatin1Char('\t');
                    AppendEscaped(*Exact, v);
                }
            }
            if (hasCR) {
                v.replace(QLatin1Char('\r'), QLatin1Char('\n'));
                v = QLatin1Char('"') + v + QLatin1Char('"');
            }
            if (ExcelClipboardFormat && CountTextLines(v, Multilinecells) > 1)
                QuoteMultiLineText(v);
            if (!first)
                out += QLatin1Char('\t');
            first = false;
            out += v;
        }
        if (R.Top < R.Bottom) {
            out += QLatin1String("\r\n");
            if (exactNeeded)
                *Exact += QLatin1String("\r\n");
        }
        // The first row tells about how long the text gets (with room for
        // longer rows further down).
        if (r == R.Top && R.Bottom - R.Top > 16)
            out.reserve(qsizetype(double(out.size()) * (R.Bottom - R.Top + 1) * 1.5));
    }
    ExportNotification(2, -1);
    return out;
}

namespace {
void CopyRect(TExStringGrid* g, const TGridRect& R, bool Disjunct)
{
    // The copy replaces the clipboard: its old content goes first, so a
    // large copy does not hold two texts at once.
    Clipboard()->Clear();
    QString exact;
    const QString text = g->ClipboardTextOf(R, Disjunct, &exact);
    TNavigation* nav = g->Navigation();
    QByteArray rtf, cells;
    if (nav->AllowRTFClipboard) {
        const QString raw = g->GetCellEx(g->RemapColToReal(R.Left), R.Top);
        if (raw.contains(QLatin1String("{\\")))
            rtf = Utf16Block(raw);
    }
    if (nav->AllowFmtClipboard) {
        // The stream names the grid's window: a paste back into this grid
        // knows where the cells came from.
        g->HandleNeeded();
        TMemoryStream ms;
        g->SaveRectToBinStream(TRect{R.Left, R.Top, R.Right, R.Bottom}, &ms);
        cells = ms.Bytes();
    }
    TClipboardOpen open;
    Clipboard()->SetAsText(text);
    if (!exact.isEmpty())
        Clipboard()->SetAsBytes(ExactTextFormat(), ExactTextBlock(text, exact));
    if (!rtf.isEmpty())
        Clipboard()->SetAsBytes(RichTextFormat(), rtf);
    if (nav->AllowFmtClipboard)
        Clipboard()->SetAsBytes(GridCellsClipboardFormat(), cells);
}

// The selection, widened to whole merged blocks at its corners.
TGridRect WidenedSelection(TExStringGrid* g)
{
    TGridRect s = g->Selection();
    const int lr = g->RemapColToReal(s.Left);
    if (g->IsMergedCell(lr, s.Top)) {
        const TPoint b = g->BaseCell(lr, s.Top);
        s.Left = g->DisplColIndex(b.X);
        s.Top = b.Y;
    }
    const int rr = g->RemapColToReal(s.Right);
    if (g->IsMergedCell(rr, s.Bottom)) {
        const TPoint b = g->BaseCell(rr, s.Bottom);
        const TPoint span = g->CellSpan(b.X, b.Y);
        s.Right = std::max(s.Right, g->DisplColIndex(b.X) + span.X);
        s.Bottom = std::max(s.Bottom, b.Y + span.Y);
    }
    return s;
}

TGridRect SaveRange(TExStringGrid* g)
{
    return TGridRect{g->SaveStartCol(), g->SaveStartRow(), g->SaveEndCol(), g->SaveEndRow()};
}
} // namespace

void TExStringGrid::CopySelectionToClipboard()
{
    TMouseActions* ma = MouseActions();
    const bool fmt = Navigation()->AllowFmtClipboard;
    const TGridRect s = WidenedSelection(this);
    if (ma->DisjunctRowSelect() && !fmt) {
        const TGridRect save = SaveRange(this);
        CopyRect(this, TGridRect{FixedCols(), save.Top, ColCount() - FixedRightCols() - 1, save.Bottom}, true);
    } else if (ma->DisjunctColSelect() && !fmt) {
        CopyRect(this, SaveRange(this), true);
    } else {
        CopyRect(this, s, false);
    }
    FClipLastOp = coCopy;
}

void TExStringGrid::CopyToClipBoard()
{
    CopyRect(this, SaveRange(this), false);
    FClipLastOp = coCopy;
}

void TExStringGrid::CutToClipboard()
{
    const TGridRect R = SaveRange(this);
    CopyRect(this, R, false);
    const bool always = Navigation()->AllowClipboardAlways;
    {
        TUpdateBracket upd(this);
        for (int r = R.Top; r <= R.Bottom; ++r) {
            for (int c = R.Left; c <= R.Right; ++c) {
                const int rc = RemapColToReal(c);
                if (always || IsEditable(rc, r))
                    SetCellEx(rc, r, QString());
            }
            if (ShowModified()->Enabled)
                SetRowModified(r, true);
        }
    }
    FClipLastOp = coCut;
}

void TExStringGrid::CutSelectionToClipboard()
{
    CopySelectionToClipboard();
    TMouseActions* ma = MouseActions();
    const bool always = Navigation()->AllowClipboardAlways;
    const TGridRect s = Selection();
    {
        TUpdateBracket upd(this);
        if (ma->DisjunctRowSelect()) {
            for (int r = FixedRows(); r < RowCount(); ++r)
                if (GetRowSelect(ma->RowSelectPersistent ? RealRowIndex(r) : r)) {
                    ClearRows(r, 1);
                    if (ShowModified()->Enabled)
                        SetRowModified(r, true);
                }
        } else if (ma->DisjunctColSelect()) {
            for (int c = FixedCols(); c < ColCount(); ++c)
                if (GetColSelect(c))
                    ClearCols(c, 1);
        } else {
            TExGridUndoRedo* undo = UndoRedo();
            if (undo)
                undo->StartSequence();
            for (int r = s.Top; r <= s.Bottom; ++r) {
                for (int c = s.Left; c <= s.Right; ++c) {
                    const int rc = RemapColToReal(c);
                    if (!always && !IsEditable(rc, r))
                        continue;
                    if (undo)
                        undo->RegisterChange(rc, r, GetCellEx(rc, r), QString());
                    SetCellEx(rc, r, QString());
                }
                if (ShowModified()->Enabled)
                    SetRowModified(r, true);
            }
            if (undo)
                undo->StopSequence();
            if (Navigation()->AllowFmtClipboard)
                FreeCellPropertiesRange(RemapColToReal(s.Left), s.Top, RemapColToReal(s.Right), s.Bottom);
        }
    }
    FClipLastOp = coCut;
    CellsChanged(TRect{s.Left, s.Top, s.Right, s.Bottom});
    if (NumHiddenColumns() > 0)
        Invalidate();
}

void TExStringGrid::CopyToClipBoardAsHTML()
{
    QByteArray block = EncodeAnsi(SaveToHTMLString(QString()));
    WrapClipboardHTML(block);
    const QString asText = DecodeAnsi(block);
    TClipboardOpen open;
    Clipboard()->SetAsBytes(RegisterClipboardFormat(QStringLiteral("HTML Format")), block);
    Clipboard()->SetAsText(asText);
}

QString TExStringGrid::GetSelectionAsText() { return ClipboardTextOf(WidenedSelection(this), false); }

// ---------------------------------------------------------------------------
// Paste hooks
// ---------------------------------------------------------------------------

void TExStringGrid::PasteCell(int ACol, int ARow, const QString& Value)
{
    const int rc = RemapColToReal(ACol);
    if (TExGridUndoRedo* undo = UndoRedo())
        undo->RegisterChange(rc, ARow, GetCellEx(rc, ARow), Value);
    if (HasCheckBox(rc, ARow))
        SetCheckBoxState(rc, ARow, Value == CheckTrue);
    else
        SetCellEx(rc, ARow, Value);
    if (rc != ACol)
        RepaintCell(ACol, ARow);
}

void TExStringGrid::PastedRange(TPoint Source, const TGridRect& Range, TClipOperation Op)
{
    (void)Source;
    (void)Op;
    if (!ShowModified()->Enabled)
        return;
    for (int r = Range.Top; r <= Range.Bottom; ++r)
        SetRowModified(r, true);
}

bool TExStringGrid::UseFmtClipboard() { return Navigation()->AllowFmtClipboard; }

// ---------------------------------------------------------------------------
// Text blocks
// ---------------------------------------------------------------------------

namespace {

// A multi-line value of a text block: one leading and one closing quote are
// dropped and vertical tabs become CR LF. Other values stay as they are.
void UnquoteBlockValue(QString& v)
{
    if (!v.contains(QLatin1Char('\n')))
        return;
    if (v.startsWith(QLatin1Char('"')))
        v.remove(0, 1);
    const qsizetype q = v.indexOf(QLatin1Char('"'));
    if (q >= 0 && q == v.size() - 1)
        v.chop(1);
    v.replace(QLatin1Char('\x0B'), QLatin1String("\r\n"));
}

// Walks a text block whose lines end in CR or CR LF and whose values are
// split by tabs, starting at ACol, ARow. For each line onLine(row, notEmpty)
// runs first, then onValue(col, row, value) for each unquoted value, then
// onLineEnd(values) with the count of values of the line. The empty rest
// after a final line break is a line of one value of its own on the same
// row: counted, never passed to onValue. onNextRow(row) runs when a further
// line moves to the next row.
// With Exact the values are unescaped (EscapeControls) instead.
template <class LineFn, class ValueFn, class LineEndFn, class NextRowFn>
void WalkTextBlock(const QString& Text, int ACol, int ARow, LineFn onLine, ValueFn onValue, LineEndFn onLineEnd,
                   NextRowFn onNextRow, bool Exact = false)
{
    const qsizetype n = Text.size();
    qsizetype pos = 0;
    int row = ARow;
    for (;;) {
        const qsizetype cr = Text.indexOf(QLatin1Char('\r'), pos);
        const qsizetype end = cr < 0 ? n : cr;
        onLine(row, end > pos);
        int col = ACol;
        int values = 0;
        qsizetype vstart = pos;
        for (;;) {
            qsizetype tab = Text.indexOf(QLatin1Char('\t'), vstart);
            if (tab < 0 || tab > end)
                tab = end;
            ++values;
            if (!(tab == end && vstart == n)) {
                QString v;
                if (Exact) {
                    v = GridExchange::UnescapeControls(QStringView(Text).mid(vstart, tab - vstart));
                } else {
                    v = Text.mid(vstart, tab - vstart);
                    UnquoteBlockValue(v);
                }
                onValue(col, row, v);
            }
            ++col;
            if (tab >= end)
                break;
            vstart = tab + 1;
        }
        onLineEnd(values);
        if (cr < 0)
            break;
        pos = cr + 1;
        if (pos < n && Text[pos] == QLatin1Char('\n'))
            ++pos;
        if (pos < n) {
            ++row;
            onNextRow(row);
        }
    }
}

} // namespace

void TExStringGrid::MeasureTextBlock(const QString& Text, int& Cols, int& Rows)
{
    Cols = 0;
    Rows = 0;
    qsizetype pos = 0;
    const qsizetype n = Text.size();
    while (pos <= n) {
        const qsizetype cr = Text.indexOf(QLatin1Char('\r'), pos);
        const qsizetype end = cr < 0 ? n : cr;
        const QStringView line = QStringView(Text).mid(pos, end - pos);
        Cols = std::max(Cols, int(line.count(QLatin1Char('\t'))) + 1);
        if (cr >= 0)
            ++Rows;
        if (line.isEmpty())
            --Rows;
        if (cr < 0)
            break;
        pos = cr + 1;
        if (pos < n && Text[pos] == QLatin1Char('\n'))
            ++pos;
    }
}

int TExStringGrid::PasteTextBlock(int ACol, int ARow, const QString& Text, int& Lines, int& LastLineValues,
                                  bool Exact)
{
    Lines = 0;
    LastLineValues = 0;
    TNavigation* nav = Navigation();
    if (ACol < 0 || ARow < 0)
        return 0;
    if (!(Options() & goEditing) && !nav->AllowClipboardAlways && !MouseActions()->RangeSelectAndEdit)
        return 0;
    const bool always = nav->AllowClipboardAlways;
    const bool insert = nav->ClipboardPasteAction == paInsert;
    const int colLimit = MaxRealCols - NumHiddenColumns();
    TExGridUndoRedo* undo = UndoRedo();
    int count = 0;
    int maxCol = ACol, maxRow = ARow;
    {
        TUpdateBracket upd(this);
        if (undo)
            undo->StartSequence();
        WalkTextBlock(
            Text, ACol, ARow,
            [&](int row, bool notEmpty) {
                ++Lines;
                ImportNotification(FPasteAll ? 1 : 3, row);
                if (notEmpty && insert)
                    InsertRows(row, 1, true);
            },
            [&](int col, int row, QString v) {
                if (nav->AllowClipboardColGrow && col >= ColCount() && col < colLimit)
                    SetColCount(col + 1);
                if (col < ColCount() && row < RowCount() && (always || IsEditable(RemapColToReal(col), row))) {
                    bool allow = true;
                    const bool wide = v.startsWith(QLatin1String("|\\"));
                    if (wide) {
                        QString w = DecodeWideText(v);
                        if (OnClipboardBeforePasteWideCell)
                            OnClipboardBeforePasteWideCell(this, col, row, w, allow);
                        v = EncodeWideText(w);
                    } else if (OnClipboardBeforePasteCell) {
                        OnClipboardBeforePasteCell(this, col, row, v, allow);
                    }
                    if (allow) {
                        PasteCell(col, row, v);
                        maxCol = std::max(maxCol, col);
                        maxRow = std::max(maxRow, row);
                        if (wide) {
                            if (OnClipboardAfterPasteWideCell)
                                OnClipboardAfterPasteWideCell(this, col, row, DecodeWideText(v));
                        } else if (OnClipboardAfterPasteCell) {
                            OnClipboardAfterPasteCell(this, col, row, v);
                        }
                    }
                }
            },
            [&](int values) {
                count += values;
                LastLineValues = values;
            },
            [&](int row) {
                const bool footer = FloatingFooter()->Visible && FloatingFooter()->FooterStyle == fsFixedLastRow;
                if (row >= RowCount() - (footer ? 1 : 0) && nav->AllowClipboardRowGrow)
                    SetRowCount(RowCount() + 1);
            },
            Exact);
        if (undo)
            undo->StopSequence();
    }
    PastedRange(FClipTopLeft, TGridRect{ACol, ARow, maxCol, maxRow}, FClipLastOp);
    CellsChanged(TRect{RemapColToReal(ACol), ARow, RemapColToReal(std::min(maxCol, ColCount() - 1)), maxRow});
    return count;
}

void TExStringGrid::SetSelectionAsText(const QString& Value)
{
    const TGridRect s = Selection();
    const int colLimit = MaxRealCols - NumHiddenColumns();
    int maxCol = s.Left, maxRow = s.Top;
    {
        TUpdateBracket upd(this);
        WalkTextBlock(
            Value, s.Left, s.Top, [](int, bool) {},
            [&](int col, int row, const QString& v) {
                if (col >= ColCount() && col < colLimit)
                    SetColCount(col + 1);
                if (col < ColCount() && row < RowCount()) {
                    SetGridCell(RemapColToReal(col), row, v);
                    maxCol = std::max(maxCol, col);
                    maxRow = std::max(maxRow, row);
                }
            },
            [](int) {},
            [&](int row) {
                const bool footer = FloatingFooter()->Visible && FloatingFooter()->FooterStyle == fsFixedLastRow;
                if (row >= RowCount() - (footer ? 1 : 0))
                    SetRowCount(RowCount() + 1);
            });
    }
    CellsChanged(TRect{RemapColToReal(s.Left), s.Top, RemapColToReal(maxCol), maxRow});
    Invalidate();
}

// ---------------------------------------------------------------------------
// Pasting
// ---------------------------------------------------------------------------

int TExStringGrid::PasteClipboardData(int ACol, int ARow, int& PRows, int& PCols)
{
    PRows = 0;
    PCols = 0;
    TNavigation* nav = Navigation();
    TClipboard* cb = Clipboard();
    const TClipFormat cellsFmt = GridCellsClipboardFormat();
    if (UseFmtClipboard() && cb->HasFormat(cellsFmt)) {
        const QByteArray data = cb->GetAsBytes(cellsFmt);
        int hc = 0, hr = 0;
        int64_t id = 0;
        if (!data.isEmpty()) {
            if (!ReadCellsHead(data, hc, hr, id))
                throw EReadError(QStringLiteral("Invalid grid cell stream: size"));
            BeginPaste();
            struct TEnd {
                TExStringGrid* G;
                ~TEnd() { G->EndPaste(); }
            } end{this};
            PCols = hc;
            PRows = hr;
            const bool insert = nav->ClipboardPasteAction == paInsert;
            if (nav->AllowClipboardRowGrow || nav->AllowClipboardColGrow || insert) {
                if (nav->AllowClipboardColGrow && ACol + hc >= ColCount())
                    SetColCount(std::min(ACol + hc, MaxRealCols - NumHiddenColumns()));
                if (nav->AllowClipboardRowGrow && ARow + hr >= RowCount())
                    SetRowCount(ARow + hr);
                PCols = ColCount();
                PRows = RowCount();
                if (insert && hr > 0)
                    InsertRows(ARow, hr, true);
            }
            TMemoryStream ms;
            ms.Write(data.constData(), data.size());
            ms.SetPosition(0);
            LoadAtPointFromBinStream(TPoint{ACol, ARow}, &ms);
            const bool same = HandleAllocated() && id != 0 && id == int64_t(int32_t(Handle()));
            PastedRange(same ? FClipTopLeft : TPoint{-1, -1}, TGridRect{ACol, ARow, ACol + hc - 1, ARow + hr - 1},
                        FClipLastOp);
            return hc * hr;
        }
    }
    if (nav->AllowRTFClipboard && cb->HasFormat(RichTextFormat())) {
        const QString text = Utf16UpToZero(cb->GetAsBytes(RichTextFormat()));
        if (IsEditable(RemapColToReal(ACol), ARow))
            PasteCell(ACol, ARow, text);
        PRows = 1;
        PCols = 1;
        return 0;
    }
    if (cb->HasFormat(CF_TEXT) || cb->HasFormat(CF_UNICODETEXT)) {
        int lines = 0, last = 0;
        const QString text = cb->AsText();
        // A block this program copied comes with its values as the cells
        // held them: the paste takes those.
        QString exact;
        const bool isExact =
            cb->HasFormat(ExactTextFormat()) && ReadExactText(cb->GetAsBytes(ExactTextFormat()), text, exact);
        const int n = PasteTextBlock(ACol, ARow, isExact ? exact : text, lines, last, isExact);
        PRows = lines;
        PCols = last;
        return n;
    }
    return 0;
}

void TExStringGrid::PasteFromClipboard()
{
    ImportNotification(0, -1);
    FPasteAll = true;
    int rows = 0, cols = 0;
    struct TReset {
        bool& F;
        ~TReset() { F = false; }
    } reset{FPasteAll};
    PasteClipboardData(SaveStartCol(), SaveStartRow(), rows, cols);
    ImportNotification(2, -1);
    CellsLoaded();
}

namespace {
// Writes one value of a smart fill or series into a cell: the paste events
// (not for the top-left cell), PasteCell and the pasted range. Returns
// whether the value was placed.
enum TAfterVeto { avKeepRange, avSkipAll };
bool SmartPut(TExStringGrid* g, int c, int r, QString v, bool topLeft, TAfterVeto veto, bool range = true)
{
    bool allow = true;
    if (!topLeft && g->OnClipboardBeforePasteCell)
        g->OnClipboardBeforePasteCell(g, c, r, v, allow);
    if (allow)
        g->PasteCell(c, r, v);
    else if (veto == avSkipAll)
        return false;
    if (range)
        g->PastedRange(g->FClipTopLeft, TGridRect{c, r, c, r}, coCopy);
    if (!topLeft && g->OnClipboardAfterPasteCell)
        g->OnClipboardAfterPasteCell(g, c, r, v);
    return allow;
}
} // namespace

void TExStringGrid::PasteSelectionFromClipboard()
{
    ImportNotification(0, -1);
    FPasteAll = false;
    TNavigation* nav = Navigation();
    const bool always = nav->AllowClipboardAlways;
    const TGridRect s = WidenedSelection(this);
    const int pasteCol = (Options() & goRowSelect) ? FixedCols() : s.Left;
    int prows = 0, pcols = 0;
    const int n = PasteClipboardData(pasteCol, s.Top, prows, pcols);
    const int k = (s.Right - s.Left + 1) * (s.Bottom - s.Top + 1);
    auto finish = [&] {
        ImportNotification(2, -1);
        CellsLoaded();
    };
    if (!nav->AllowSmartClipboard || n == k + 1) {
        finish();
        return;
    }
    const TRect sel{RemapColToReal(s.Left), s.Top, RemapColToReal(s.Right), s.Bottom};
    auto editable = [&](int c, int r) { return always || IsEditable(RemapColToReal(c), r); };
    const bool oneCol = s.Left == s.Right, oneRow = s.Top == s.Bottom;

    if (n == 1 && k > 1) {
        // One value into every cell of the selection.
        BeginPaste();
        struct TEnd {
            TExStringGrid* G;
            ~TEnd() { G->EndPaste(); }
        } end{this};
        const int lc = RemapColToReal(s.Left);
        QString v = GetCellEx(lc, s.Top);
        if (HasCheckBox(lc, s.Top)) {
            bool state = false;
            GetCheckBoxState(lc, s.Top, state);
            v = state ? CheckTrue : CheckFalse;
        }
        TUpdateBracket upd(this);
        for (int c = s.Left; c <= s.Right; ++c)
            for (int r = s.Top; r <= s.Bottom; ++r)
                if (editable(c, r))
                    SmartPut(this, c, r, v, c == s.Left && r == s.Top, avKeepRange);
    } else if (n > 1 && (oneCol || oneRow) && k > 1) {
        const int lc = RemapColToReal(s.Left);
        const QString x = GetCellEx(lc, s.Top);
        const QString y = oneCol ? GetCellEx(lc, s.Top + 1) : GetCellEx(RemapColToReal(s.Left + 1), s.Top);
        const TFormatSettings& fs = ActiveFormatSettings();
        int xi = 0, yi = 0;
        enum { kDate, kFloat, kInt, kText } kind;
        if (LooksLikeDateTime(x) && LooksLikeDateTime(y))
            kind = kDate;
        else if (x.contains(fs.DecimalSeparator) || y.contains(fs.DecimalSeparator))
            kind = kFloat;
        else if (TryStrToInt(x, xi) && TryStrToInt(y, yi))
            kind = kInt;
        else
            kind = kText;
        auto cells = [&](auto&& put) {
            TUpdateBracket upd(this);
            int i = 0;
            for (int c = s.Left; c <= s.Right; ++c)
                for (int r = s.Top; r <= s.Bottom; ++r, ++i)
                    if (editable(c, r) && !put(c, r, i))
                        return;
        };
        if (kind != kText) {
            if (kind == kDate) {
                const bool asTime = !x.contains(fs.DateSeparator);
                TDateTime dx = 0, dy = 0;
                const bool ok = asTime ? TryStrToTime(x, dx) && TryStrToTime(y, dy)
                                       : TryStrToDateTime(x, dx) && TryStrToDateTime(y, dy);
                if (ok) {
                    int y1, m1, d1, y2, m2, d2;
                    DecodeDate(dx, y1, m1, d1);
                    DecodeDate(dy, y2, m2, d2);
                    const int sy = y2 - y1, sm = m2 - m1, sd = d2 - d1;
                    cells([&](int c, int r, int i) {
                        TDateTime v;
                        try {
                            v = ShiftDate(int16_t(sy * i), int16_t(sm * i), int16_t(sd * i), dx, (dy - dx) * i);
                        } catch (const EConvertError&) {
                            return false;
                        }
                        SmartPut(this, c, r, asTime ? TimeToStr(v) : DateToStr(v), i == 0, avKeepRange);
                        return true;
                    });
                }
            } else if (kind == kFloat) {
                double fx = 0, fy = 0;
                if (TryStrToFloat(x, fx) && TryStrToFloat(y, fy)) {
                    cells([&](int c, int r, int i) {
                        QString t;
                        try {
                            t = Format(FloatFormat, {fx + (fy - fx) * i});
                        } catch (const Exception&) {
                            return false;
                        }
                        SmartPut(this, c, r, t, i == 0, avSkipAll);
                        return true;
                    });
                }
            } else {
                cells([&](int c, int r, int i) {
                    SmartPut(this, c, r, QString::number(qint64(xi) + qint64(yi - xi) * i), i == 0, avSkipAll);
                    return true;
                });
            }
            CellsChanged(sel);
            finish();
            return;
        }
        // Texts: the pasted block repeats over the rest of the selection.
        const int step = n - 1;
        TUpdateBracket upd(this);
        if (oneCol) {
            for (int r = s.Top + step; r <= s.Bottom; ++r)
                if (editable(s.Left, r))
                    SmartPut(this, s.Left, r, GetCellEx(lc, r - step), false, avSkipAll, false);
            if (s.Top + step <= s.Bottom)
                PastedRange(TPoint{s.Left, s.Top}, TGridRect{s.Left, s.Top + step, s.Left, s.Bottom}, coCopy);
        } else {
            for (int c = s.Left + step; c <= s.Right; ++c)
                if (editable(c, s.Top))
                    SmartPut(this, c, s.Top, GetCellEx(RemapColToReal(c - step), s.Top), false, avSkipAll, false);
            if (s.Left + step <= s.Right)
                PastedRange(TPoint{s.Left, s.Top}, TGridRect{s.Left + step, s.Top, s.Right, s.Top}, coCopy);
        }
    }
    if (!oneCol && !oneRow && !(n == 1 && k > 1)) {
        // A single line or a single column of values repeats over the
        // further rows or columns of the selection.
        int r2 = 0, c2 = 0;
        if (prows == 1)
            for (int r = s.Top + 1; r <= s.Bottom; ++r)
                PasteClipboardData(s.Left, r, r2, c2);
        else if (pcols == 1)
            for (int c = s.Left + 1; c <= s.Right; ++c)
                PasteClipboardData(c, s.Top, r2, c2);
        SetSelection(s);
    }
    ImportNotification(2, -1);
    CellsChanged(sel);
    CellsLoaded();
}
