// The export and import hooks, and the grid text format: a header line with
// the column and row counts, one "cw" line per column width and one line per
// non-empty cell ("column,row,text", line breaks escaped; a text the classic
// break escape cannot carry is escaped with backslashes and its row number
// marked, see EncodeCellLineText). The file variant
// writes absolute indexes in ANSI or UTF-16; the stream variant, used to copy
// cells between grids, writes UTF-16 without a mark and indexes relative to
// the save range, and stops reading where the next grid text begins.
#include "gridpack/gridexchange/ExchangeText.h"
#include "gridpack/basegrid/RorIdad.h"
#include "gridpack/basegrid/SgHTMLE.h"
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Messages.h"
#include "platform/controls/RichText.h"
#include "platform/core/CodePages.h"
#include "platform/core/Files.h"
#include "platform/core/IntConv.h"
#include "platform/core/Streams.h"

using namespace GridExchange;

namespace {

// The real column a writer or reader uses for column c of the save range:
// with SaveHiddenCells every real column is walked, else the shown ones.
int SourceCol(const TExStringGrid* g, int c) { return g->SaveHiddenCells ? c : g->RemapColToReal(c); }

QString CellLine(int c, int r, const QString& text)
{
    bool escaped = false;
    const QString t = EncodeCellLineText(text, escaped);
    QString line = QString::number(c) + QLatin1Char(',') + QString::number(r);
    if (escaped)
        line += QChar(EscapedCellMark);
    return line + QLatin1Char(',') + t;
}

// The row field of a cell line ends with the mark when its text is escaped.
bool EscapedRowField(QStringView Field) { return Field.endsWith(QChar(EscapedCellMark)); }

// Runs EndUpdate also when an exception passes.
struct TUpdateGuard {
    explicit TUpdateGuard(TExStringGrid* g) : G(g) { G->BeginUpdate(); }
    ~TUpdateGuard() { G->EndUpdate(); }
    TExStringGrid* G;
};

} // namespace

// ---------------------------------------------------------------------------
// Hooks
// ---------------------------------------------------------------------------

void TExStringGrid::SaveCell(int ACol, int ARow, QString& Value)
{
    Value = SaveVirtCells ? GetFormattedCell(ACol, ARow) : GetCellEx(ACol, ARow);
    if (Value.isEmpty() && HasCheckBox(ACol, ARow) && !HasDataCheckBox(ACol, ARow)) {
        bool state = false;
        GetCheckBoxState(ACol, RemapRowToReal(ARow), state);
        Value = state ? CheckTrue : CheckFalse;
    }
    if (Value.startsWith(QLatin1String("{\\"))) {
        // Rich text: kept with its line breaks taken out, or its plain text.
        if (SaveWithRTF) {
            Value.remove(QLatin1Char('\r'));
            Value.remove(QLatin1Char('\n'));
        } else {
            Value = ReadRtf(Value.toLatin1()).Text();
            Value.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            Value.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        }
    } else if (!SaveWithHTML && DetectTextKind(Value, true) == 1) {
        Value = StripMarkup(Value);
    }
    if (OnSaveCell)
        OnSaveCell(this, ACol, ARow, Value);
}

void TExStringGrid::LoadCell(int ACol, int ARow, const QString& Value)
{
    QString v = Value;
    if (OnLoadCell)
        OnLoadCell(this, ACol, ARow, v);
    SetGridCell(ACol, ARow, v);
}

void TExStringGrid::ExportNotification(int, int) {}

// ---------------------------------------------------------------------------
// Grid text file
// ---------------------------------------------------------------------------

void TExStringGrid::SaveToFile(const QString& FileName, bool Unicode)
{
    const int h = SaveHiddenCells ? NumHiddenColumns() : 0;
    const int lastCol = SaveEndCol() + h;
    QStringList lines;
    lines.append(QString::number(SaveColCount() + h) + QLatin1Char(',') + QString::number(SaveRowCount()));
    for (int c = SaveStartCol(); c <= lastCol; ++c)
        lines.append(QStringLiteral("cw ") + QString::number(c) + QLatin1Char(',') +
                     QString::number(AllColWidths(SourceCol(this, c))));

    TProgress progress(this, OnFileProgress);
    ExportNotification(0, SaveStartRow());
    QString text;
    for (int r = SaveStartRow(); r <= SaveEndRow(); ++r) {
        ExportNotification(5, r);
        for (int c = SaveStartCol(); c <= lastCol; ++c) {
            SaveCell(SourceCol(this, c), r, text);
            if (!text.isEmpty())
                lines.append(CellLine(c, r, text));
        }
        if (progress.Active())
            progress.Report(Percent(r, SaveRowCount() - 1));
    }
    ExportNotification(2, -1);
    WriteTextWhole(FileName, JoinLines(lines), Unicode ? teUTF16LE : teAnsi);
}

void TExStringGrid::LoadFromFile(const QString& FileName)
{
    const QStringList lines = SplitLines(DecodeText(ReadFileWhole(FileName)));
    const int a = SaveFixedCells || SaveFixedCols ? 0 : FixedCols();
    const int b = SaveFixedCells || SaveFixedRows ? 0 : FixedRows();

    // The header is checked before the grid changes.
    const QString corrupt = QStringLiteral("File contains no data or corrupt file ") + FileName;
    if (lines.isEmpty() || lines[0].isEmpty())
        throw DOriVireZuvez(corrupt);
    const QString& header = lines[0];
    const qsizetype comma = header.indexOf(QLatin1Char(','));
    const int cols = LenientInt(QStringView(header).left(comma < 0 ? header.size() : comma));
    const int rows = comma < 0 ? 0 : LenientInt(QStringView(header).mid(comma + 1));
    if (cols <= 0 || rows <= 0 || int64_t(a) + cols > MaxRealCols || int64_t(b) + rows > MaxDeclaredRows)
        throw DOriVireZuvez(corrupt);

    TUpdateGuard update(this);
    SetColCount(a + cols);
    SetRowCount(b + rows);
    TProgress progress(this, OnFileProgress);
    uint32_t lastEvents = TickCount();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.startsWith(QLatin1String("cw"))) {
            const qsizetype k = line.indexOf(QLatin1Char(','));
            const int idx = LenientInt(QStringView(line).mid(3, k < 0 ? -1 : k - 3));
            const int w = k < 0 ? 0 : LenientInt(QStringView(line).mid(k + 1, 255));
            if (idx >= 0 && idx < ColCount() && w >= 0)
                SetColWidths(idx, w);
            continue;
        }
        // column, row and the text after the second comma
        const qsizetype k1 = line.indexOf(QLatin1Char(','));
        const qsizetype k2 = k1 < 0 ? -1 : line.indexOf(QLatin1Char(','), k1 + 1);
        const int c = k1 < 0 ? 0 : LenientInt(QStringView(line).left(k1));
        const QStringView rowField = k1 < 0 ? QStringView() : QStringView(line).mid(k1 + 1, k2 < 0 ? -1 : k2 - k1 - 1);
        const int r = LenientInt(rowField);
        if (c < 0 || r < 0 || c >= ColCount() || r >= RowCount())
            continue;
        const QString rest = k2 >= 0 ? line.mid(k2 + 1) : (k1 < 0 ? line : QString());
        LoadCell(SourceCol(this, c), r, DecodeCellLineText(rest, k2 >= 0 && EscapedRowField(rowField), Multilinecells));
        if (progress.Active())
            progress.Report(Percent(r, RowCount() - 1));
        // The window stays painted during a long load; the user's input waits
        // until the load is done.
        if (TickCount() - lastEvents >= 100) {
            if (TApplication* app = Application())
                app->ProcessMessagesExceptInput();
            lastEvents = TickCount();
        }
    }
    CellsChanged(TRect{0, 0, ColCount(), RowCount()});
    CellsLoaded();
}

// ---------------------------------------------------------------------------
// Grid text stream
// ---------------------------------------------------------------------------

namespace {

void WriteWideLine(TStream* s, const QString& line)
{
    const QString l = line + QLatin1String("\r\n");
    QByteArray b(l.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < l.size(); ++i) {
        const char16_t u = l[i].unicode();
        b[2 * i] = char(u & 0xFF);
        b[2 * i + 1] = char(u >> 8);
    }
    s->WriteBuffer(b);
}

// One line of UTF-16 characters up to a CR or the stream's end; the character
// after the CR is read and dropped.
QString ReadWideLine(TStream* s)
{
    QString line;
    unsigned char b[2];
    while (s->Read(b, 2) == 2) {
        const char16_t u = char16_t(b[0] | (b[1] << 8));
        if (u == u'\r') {
            s->Read(b, 2);
            break;
        }
        line.append(QChar(u));
    }
    return line;
}

bool AtEnd(TStream* s) { return s->Position() >= s->Size(); }

} // namespace

void TExStringGrid::SaveToStream(TStream* Stream)
{
    WriteWideLine(Stream, QString::number(SaveColCount()) + QLatin1Char(',') + QString::number(SaveRowCount()));
    for (int c = 0; c < ColCount(); ++c)
        WriteWideLine(Stream, QStringLiteral("cw ") + QString::number(c) + QLatin1Char(',') +
                                  QString::number(ColWidths(c)));
    const int c0 = SaveStartCol();
    const int r0 = SaveStartRow();
    ExportNotification(0, r0);
    QString text;
    for (int r = r0; r <= SaveEndRow(); ++r) {
        ExportNotification(5, r);
        for (int c = c0; c <= SaveEndCol(); ++c) {
            SaveCell(RemapColToReal(c), r, text);
            if (!text.isEmpty())
                WriteWideLine(Stream, CellLine(c - c0, r - r0, text));
        }
    }
    ExportNotification(2, -1);
}

void TExStringGrid::LoadFromStream(TStream* Stream)
{
    if (AtEnd(Stream))
        return;
    const int64_t start = Stream->Position();
    const QString header = ReadWideLine(Stream);
    if (header.isEmpty()) {
        Stream->SetPosition(start);
        return;
    }
    const qsizetype comma = header.indexOf(QLatin1Char(','));
    const int64_t cols = int64_t(StrToInt(comma < 0 ? header : header.left(comma))) + SaveStartCol();
    const int64_t rows = int64_t(StrToInt(comma < 0 ? QString() : header.mid(comma + 1))) + SaveStartRow();
    if (cols <= 0 || cols > MaxRealCols || rows <= 0 || rows > MaxDeclaredRows) {
        Stream->SetPosition(start);
        throw DOriVireZuvez(QStringLiteral("Stream contains no grid data"));
    }
    TUpdateGuard update(this);
    SetColCount(int(cols));
    SetRowCount(int(rows));
    const int c0 = SaveStartCol();
    const int r0 = SaveStartRow();
    while (!AtEnd(Stream)) {
        const int64_t pos = Stream->Position();
        const QString line = ReadWideLine(Stream);
        if (line.startsWith(QLatin1String("cw"))) {
            const QString rest = line.mid(3);
            const qsizetype k = rest.indexOf(QLatin1Char(','));
            const int idx = StrToInt(k < 0 ? rest : rest.left(k));
            const int w = StrToInt(k < 0 ? QString() : rest.mid(k + 1));
            // A width for a column the grid does not have (the writer's fixed
            // right columns) is skipped.
            if (idx >= 0 && idx < ColCount() && w >= 0)
                SetColWidths(idx, w);
            continue;
        }
        const qsizetype k1 = line.indexOf(QLatin1Char(','));
        const qsizetype k2 = k1 < 0 ? -1 : line.indexOf(QLatin1Char(','), k1 + 1);
        if (k1 <= 0 || k2 < 0 || k2 == k1 + 1) {
            // Not a cell line: what follows belongs to the caller.
            Stream->SetPosition(pos);
            break;
        }
        const int64_t c = int64_t(StrToInt(line.left(k1))) + c0;
        QString rowField = line.mid(k1 + 1, k2 - k1 - 1);
        const bool escaped = EscapedRowField(rowField);
        if (escaped)
            rowField.chop(1);
        const int64_t r = int64_t(StrToInt(rowField)) + r0;
        if (c < 0 || r < 0 || c >= ColCount() || r >= RowCount())
            continue;
        LoadCell(RemapColToReal(int(c)), int(r), DecodeCellLineText(line.mid(k2 + 1), escaped, Multilinecells));
    }
    CellsChanged(TRect{0, 0, ColCount(), RowCount()});
    CellsLoaded();
}
