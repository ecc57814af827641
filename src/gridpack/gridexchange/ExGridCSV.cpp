// Delimiter-separated values: writing with quoting, multi-line cells kept on
// one line (every line break a vertical tab inside quotes, or "~" in the Java
// convention; the reader gives each back as CR LF), fields with a blank at
// either end quoted,
// reading with delimiter detection and quoted fields; and the numeric reading
// of a cell text.
#include "gridpack/gridexchange/ExchangeText.h"
#include "gridpack/basegrid/RorIdad.h"
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/core/CodePages.h"
#include "platform/core/Files.h"
#include "platform/core/FloatConv.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/Streams.h"

using namespace GridExchange;

namespace {

const QChar kQuote = QLatin1Char('"');

int SourceCol(const TExStringGrid* g, int c) { return g->SaveHiddenCells ? c : g->RemapColToReal(c); }

struct TUpdateGuard {
    explicit TUpdateGuard(TExStringGrid* g) : G(g) { G->BeginUpdate(); }
    ~TUpdateGuard() { G->EndUpdate(); }
    TExStringGrid* G;
};

const QChar kBlank = QLatin1Char(' ');

bool HasLineBreak(const QString& Text)
{
    return Text.contains(QLatin1Char('\r')) || Text.contains(QLatin1Char('\n'));
}

// Every line break (CR LF, a lone CR, a lone LF) becomes Replacement, so
// that the field stays on its record's line.
void ReplaceLineBreaks(QString& Text, const QString& Replacement)
{
    Text.replace(QLatin1String("\r\n"), Replacement);
    Text.replace(QLatin1Char('\r'), Replacement);
    Text.replace(QLatin1Char('\n'), Replacement);
}

// Most fields need nothing: no quote, delimiter or line break, and no blank
// at either end (the reader skips leading blanks of a field).
bool PlainCSVField(const TExStringGrid* g, const QString& Text, QChar d)
{
    if (Text.isEmpty() || g->AlwaysQuotes || g->OemConvert)
        return false;
    if (Text.front() == kBlank || Text.back() == kBlank)
        return false;
    for (QChar c : Text)
        if (c == kQuote || c == d || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return false;
    return true;
}

// One field as the writer puts it into the line.
QString EncodeCSVField(const TExStringGrid* g, const QString& Text, QChar d)
{
    if (PlainCSVField(g, Text, d))
        return Text;
    QString s = DoubleQuoteChars(Text);
    if (g->OemConvert)
        TextToOEM(s);
    bool quoted = false;
    // A blank at either end is kept only inside quotes: the reader skips the
    // leading blanks of an unquoted field.
    if (g->AlwaysQuotes || (s.contains(kQuote) && !s.contains(d)) ||
        (!s.isEmpty() && (s.front() == kBlank || s.back() == kBlank))) {
        s = kQuote + s + kQuote;
        quoted = true;
    }
    if (s.isEmpty()) {
        if (g->JavaCSV)
            s = QStringLiteral("^");
        else if (g->QuoteEmptyCells)
            s = QStringLiteral("\"\"");
    }
    const bool hasDelim = s.contains(d);
    if (!hasDelim && !HasLineBreak(s))
        return s;
    // A line break of any kind goes into the line as one mark the reader
    // turns into CR LF: a lone CR or LF would otherwise end the record.
    if (g->JavaCSV) {
        ReplaceLineBreaks(s, QStringLiteral("~"));
        // A field holding the delimiter must still come back as one field.
        if (hasDelim && !quoted)
            s = kQuote + s + kQuote;
    } else if (quoted) {
        // Already enclosed: its line breaks become vertical tabs in place.
        ReplaceLineBreaks(s, QString(QChar(11)));
    } else if (HasLineBreak(s)) {
        ReplaceLineBreaks(s, QString(QChar(11)));
        s = kQuote + s + kQuote;
    } else {
        // A field holding the delimiter only: enclosed as it is.
        s = kQuote + s + kQuote;
    }
    return s;
}

// Odd-length runs of Ch in the line (pass 1 of the delimiter detection).
int SingleOccurrences(QChar Ch, const QString& Line)
{
    int n = 0;
    for (qsizetype i = 0; i < Line.size();) {
        if (Line[i] != Ch) {
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < Line.size() && Line[j] == Ch)
            ++j;
        if ((j - i) % 2 == 1)
            ++n;
        i = j;
    }
    return n;
}

QChar DetectDelimiter(const std::vector<QStringView>& Lines)
{
    static const QString candidates = QStringLiteral(",;#\t|@*-+&");
    const QString first = Lines.empty() ? QString() : Lines[0].toString();
    const QString second = Lines.size() < 2 ? QString() : Lines[1].toString();
    QChar found;
    int best = 0;
    for (QChar c : candidates) {
        const int n1 = SingleOccurrences(c, first);
        if (n1 == SingleOccurrences(c, second) && n1 > best) {
            best = n1;
            found = c;
        }
    }
    if (!found.isNull())
        return found;
    for (QChar c : candidates) {
        const int n1 = int(first.count(c));
        if (n1 == int(second.count(c)) && n1 > best) {
            best = n1;
            found = c;
        }
    }
    if (!found.isNull())
        return found;
    for (QChar c : candidates) {
        const int n1 = int(first.count(c));
        const int n2 = int(second.count(c));
        if (n1 > best || n2 > best) {
            best = std::max(n1, n2);
            found = c;
        }
    }
    return found;
}

// Where the quoted field starting at From (just after its opening quote)
// closes: the last quote of the first odd-length run, or a quote that ends
// the line; -1 when none.
qsizetype ClosingQuote(QStringView Line, qsizetype From)
{
    for (qsizetype i = From; i < Line.size();) {
        if (Line[i] != kQuote) {
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < Line.size() && Line[j] == kQuote)
            ++j;
        if (j == Line.size() || (j - i) % 2 == 1)
            return j - 1;
        i = j;
    }
    return -1;
}

} // namespace

// ---------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------

namespace {

// The file's text goes straight into its bytes: ANSI as it is built, UTF-8
// (rare) from the text at the end.
class TCSVSink {
public:
    explicit TCSVSink(bool Unicode) : FUnicode(Unicode) {}
    void Put(QStringView s)
    {
        if (FUnicode)
            FText += s;
        else
            AppendAnsi(FBytes, s);
    }
    void Put(QChar c)
    {
        if (!FUnicode && c.unicode() < 0x80)
            FBytes += char(c.unicode());
        else
            Put(QStringView(&c, 1));
    }
    void Write(const QString& FileName) const
    {
        if (FUnicode)
            WriteTextWhole(FileName, FText, teUTF8);
        else
            WriteFileWhole(FileName, FBytes);
    }

private:
    bool FUnicode;
    QString FText;
    QByteArray FBytes;
};

void WriteCSV(TExStringGrid* g, const QString& FileName, bool Unicode, bool Append)
{
    static const QString kCrLf = QStringLiteral("\r\n");
    const int h = g->SaveHiddenCells ? g->NumHiddenColumns() : 0;
    const QChar d = g->Delimiter.isNull() ? QChar(QLatin1Char(',')) : g->Delimiter;
    TCSVSink out(Unicode);
    if (Append)
        out.Put(JoinLines(SplitLines(DecodeText(ReadFileWhole(FileName)))));
    GridExchange::TProgress progress(g, g->OnFileProgress);
    g->ExportNotification(0, g->SaveStartRow());
    QString text;
    for (int r = g->SaveStartRow(); r <= g->SaveEndRow(); ++r) {
        g->ExportNotification(5, r);
        for (int c = g->SaveStartCol(); c <= g->SaveEndCol() + h; ++c) {
            if (c > g->SaveStartCol())
                out.Put(d);
            g->SaveCell(SourceCol(g, c), r, text);
            if (PlainCSVField(g, text, d))
                out.Put(text);
            else
                out.Put(EncodeCSVField(g, text, d));
        }
        out.Put(kCrLf);
        if (progress.Active())
            progress.Report(Percent(r, g->RowCount() - 1));
    }
    g->ExportNotification(2, -1);
    out.Write(FileName);
}

} // namespace

void TExStringGrid::SaveToCSV(const QString& FileName, bool Unicode) { WriteCSV(this, FileName, Unicode, false); }

void TExStringGrid::AppendToCSV(const QString& FileName, bool Unicode) { WriteCSV(this, FileName, Unicode, true); }

// ---------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------

namespace {

void ConvertField(const TExStringGrid* g, QString& s)
{
    if (g->JavaCSV)
        TildeToCRLF(s);
    else
        VTToCRLF(s);
}

qsizetype SkipBlanks(QStringView Line, qsizetype i)
{
    while (i < Line.size() - 1 && Line[i] == QLatin1Char(' '))
        ++i;
    return i;
}

// Reads the lines into the grid from StartRow on.
void ReadCSVLines(TExStringGrid* g, const std::vector<QStringView>& Lines, int MaxRows, bool Insert)
{
    if (Lines.empty())
        throw Exception(QStringLiteral("File is empty"));
    const int startCol = g->SaveStartCol();
    int row = Insert ? g->RowCount() : g->SaveStartRow();
    const bool footer = g->FloatingFooter()->Visible;
    QStringList footerTexts;
    if (Insert && footer && g->RowCount() > 0) {
        const int last = g->RowCount() - 1;
        for (int c = 0; c < g->AllColCount(); ++c)
            footerTexts.append(g->GetGridCell(c, last));
        g->ClearRowCells(last);
        row = last;
    }

    QChar d = g->Delimiter;
    if (d.isNull())
        d = DetectDelimiter(Lines);

    TUpdateGuard update(g);
    const qsizetype first = g->LoadFirstRow ? 0 : 1;
    const int records = int(qsizetype(Lines.size()) - first);
    GridExchange::TProgress progress(g, g->OnFileProgress);
    if (progress.Active())
        g->SetRowCount(Insert ? g->RowCount() + int(Lines.size()) : row + int(Lines.size()) + g->FixedFooters());
    const int a = g->SaveHiddenCells ? g->NumHiddenColumns() : 0;
    bool tooMany = false;

    // Stores one field; false when it would need a column past the limit.
    auto store = [&](int col, QString text) {
        if (col + 1 > TExStringGrid::MaxRealCols - a) {
            tooMany = true;
            return false;
        }
        ConvertField(g, text);
        if (col + 1 > g->ColCount() + a)
            g->SetColCount(col + 1 - a);
        g->LoadCell(SourceCol(g, col), row, text);
        return true;
    };

    int read = 0;
    QString oemLine;
    for (qsizetype li = first; li < qsizetype(Lines.size()) && !tooMany; ++li) {
        if (MaxRows > 0 && read >= MaxRows)
            break;
        QStringView line = Lines[size_t(li)];
        if (g->OemConvert) {
            oemLine = line.toString();
            OEMToText(oemLine);
            line = oemLine;
        }
        if (row >= g->RowCount() - g->FixedFooters())
            g->SetRowCount(row + 1000);
        int col = startCol;
        qsizetype pos = 0;
        const bool hasDelim = !d.isNull();
        while (hasDelim && !tooMany) {
            qsizetype dp = line.indexOf(d, pos);
            if (dp < 0)
                break;
            pos = SkipBlanks(line, pos);
            QString field;
            if (line[pos] == kQuote) {
                const qsizetype close = ClosingQuote(line, pos + 1);
                if (close >= 0) {
                    field = line.mid(pos + 1, close - pos - 1).toString();
                    field.replace(QLatin1String("\"\""), QString(kQuote));
                    pos = close + 1;
                }
                // Characters between the closing quote and the delimiter go.
                dp = line.indexOf(d, pos);
                if (dp < 0)
                    dp = line.size();
            } else {
                field = line.mid(pos, dp - pos).toString();
            }
            if (!store(col, field))
                break;
            pos = dp + 1;
            ++col;
        }
        if (!tooMany && pos < line.size()) {
            pos = SkipBlanks(line, pos);
            QString field = line.mid(pos).toString();
            if (field.startsWith(kQuote)) {
                field.remove(0, 1);
                if (field.endsWith(kQuote))
                    field.chop(1);
                field.replace(QLatin1String("\"\""), QString(kQuote));
            }
            store(col, field);
        }
        ++row;
        ++read;
        if (progress.Active())
            progress.Report(Percent(read, records));
    }

    g->SetRowCount(row + g->FixedFooters());
    g->FMaxRowCount = g->RowCount();
    if (footer && g->RowCount() > 0) {
        const int last = g->RowCount() - 1;
        for (int c = 0; c < g->AllColCount(); ++c)
            g->SetGridCell(c, last, footerTexts.value(c));
    }
    g->CellsChanged(TRect{0, 0, g->ColCount(), g->RowCount()});
    g->CellsLoaded();
    if (tooMany)
        throw DOriVireZuvez(QStringLiteral("Too many columns"));
}

void ReadCSVFile(TExStringGrid* g, const QString& FileName, int MaxRows, bool Insert)
{
    const QByteArray bytes = ReadFileWhole(FileName);
    if (bytes.isEmpty())
        return;
    const QString text = DecodeText(bytes);
    ReadCSVLines(g, SplitLineViews(text), MaxRows, Insert);
}

} // namespace

void TExStringGrid::LoadFromCSV(const QString& FileName, int MaxRows) { ReadCSVFile(this, FileName, MaxRows, false); }

void TExStringGrid::InsertFromCSV(const QString& FileName, int MaxRows)
{
    ReadCSVFile(this, FileName, MaxRows, true);
}

void TExStringGrid::LoadFromCSVStream(TStream* AStream, int MaxRows)
{
    QByteArray bytes;
    const int64_t left = AStream->Size() - AStream->Position();
    if (left > 0) {
        bytes.resize(left);
        bytes.resize(AStream->Read(bytes.data(), left));
    }
    const QString text = DecodeText(bytes);
    ReadCSVLines(this, SplitLineViews(text), MaxRows, false);
}

// ---------------------------------------------------------------------------
// CellToReal
// ---------------------------------------------------------------------------

double TExStringGrid::CellToReal(int ACol, int ARow)
{
    const QString text = GetCellEx(ACol, ARow);
    if (text.isEmpty())
        return 0;
    // The text as NormalizeFloatText sees it, but with whatever follows the
    // number kept, so that a stray character is reported where it stands.
    QString t = text;
    bool negative = t.startsWith(QLatin1Char('(')) && t.endsWith(QLatin1Char(')'));
    if (negative)
        t = t.mid(1, t.size() - 2);
    const QChar thousand = LocaleThousandSeparator();
    const QChar decimal = LocaleDecimalSeparator();
    while (t.size() >= 2 && !IsDigitChar(t[0]) && t[0] != decimal && t[0] != QLatin1Char('+')) {
        if (t[0] == QLatin1Char('-'))
            negative = true;
        t.remove(0, 1);
    }
    QString s;
    for (QChar c : t) {
        if (c == thousand)
            continue;
        s += c == decimal ? QChar(QLatin1Char('.')) : c;
    }
    if (negative)
        s.prepend(QLatin1Char('-'));

    // The longest number at the start: sign, digits, fraction, exponent.
    qsizetype i = 0;
    const qsizetype n = s.size();
    auto digits = [&] {
        const qsizetype from = i;
        while (i < n && IsDigitChar(s[i]))
            ++i;
        return i > from;
    };
    if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+')))
        ++i;
    bool any = digits();
    if (i < n && s[i] == QLatin1Char('.')) {
        ++i;
        any = digits() || any;
    }
    if (any && i < n && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
        const qsizetype e = i++;
        if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+')))
            ++i;
        if (!digits())
            i = e + 1 < n ? std::max(e + 1, i) : e;
    }
    if (!any || i < n) {
        const qsizetype at = any ? i : std::min<qsizetype>(i, n);
        throw DOriVireZuvez(QStringLiteral("Error at position: ") + QString::number(at + 1) +
                            QStringLiteral(" in Cell [") + QString::number(ACol) + QStringLiteral(", ") +
                            QString::number(ARow) + QStringLiteral("]."));
    }
    TFormatSettings fs = ActiveFormatSettings();
    fs.DecimalSeparator = QLatin1Char('.');
    return StrToFloat(s, fs);
}
