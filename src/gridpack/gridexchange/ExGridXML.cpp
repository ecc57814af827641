// The XML record list: one element per row holding one element per cell,
// written as text in the declared encoding and read back through the
// platform's document object.
#include "gridpack/gridexchange/ExchangeText.h"
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/core/CodePages.h"
#include "platform/core/Files.h"
#include "platform/core/StringList.h"
#include "platform/xml/XmlDoc.h"

#include <algorithm>

using namespace GridExchange;

namespace {

int SourceCol(const TExStringGrid* g, int c) { return g->SaveHiddenCells ? c : g->RemapColToReal(c); }

struct TUpdateGuard {
    explicit TUpdateGuard(TExStringGrid* g) : G(g) { G->BeginUpdate(); }
    ~TUpdateGuard() { G->EndUpdate(); }
    TExStringGrid* G;
};

// Escapes the markup characters as XML does; a CR travels as a character
// reference (a parser would fold CR LF into LF), and the control characters
// XML cannot hold are left out. A text of white space only goes as
// character references throughout: the document object drops white space
// standing alone in an element.
QString EscapeXmlText(const QString& Text)
{
    const bool blankOnly = !Text.isEmpty() && std::all_of(Text.begin(), Text.end(), [](QChar c) {
        return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
    });
    if (blankOnly) {
        QString refs;
        for (QChar c : Text)
            refs += QLatin1String("&#") + QString::number(c.unicode()) + QLatin1Char(';');
        return refs;
    }
    QString out;
    out.reserve(Text.size() + 8);
    for (QChar c : Text) {
        switch (c.unicode()) {
        case u'&': out += QLatin1String("&amp;"); break;
        case u'<': out += QLatin1String("&lt;"); break;
        case u'>': out += QLatin1String("&gt;"); break;
        case u'"': out += QLatin1String("&quot;"); break;
        case u'\r': out += QLatin1String("&#13;"); break;
        default:
            if (c.unicode() >= 0x20 || c == u'\t' || c == u'\n')
                out += c;
        }
    }
    return out;
}

enum class TXmlCharset { Utf8, Latin1, Ansi, Ascii };

TXmlCharset CharsetOf(const QString& Encoding)
{
    const QString e = Encoding.trimmed().toUpper();
    if (e == QLatin1String("UTF-8") || e == QLatin1String("UTF8"))
        return TXmlCharset::Utf8;
    if (e == QLatin1String("ISO-8859-1") || e == QLatin1String("LATIN1") || e == QLatin1String("ISO8859-1"))
        return TXmlCharset::Latin1;
    if (e == QLatin1String("WINDOWS-1252") || e == QLatin1String("CP1252"))
        return TXmlCharset::Ansi;
    return TXmlCharset::Ascii;
}

// The text's bytes in the charset; what it cannot hold becomes a numeric
// character reference (the text is already escaped, so only character data
// reaches this point with such characters).
QByteArray EncodeXml(const QString& Text, TXmlCharset Set)
{
    if (Set == TXmlCharset::Utf8)
        return Text.toUtf8();
    QByteArray out;
    out.reserve(Text.size());
    for (qsizetype i = 0; i < Text.size(); ++i) {
        char32_t cp = Text[i].unicode();
        if (Text[i].isHighSurrogate() && i + 1 < Text.size() && Text[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(Text[i], Text[i + 1]);
            ++i;
        }
        if (cp < 0x80 || (Set == TXmlCharset::Latin1 && cp < 0x100)) {
            out.append(char(cp));
            continue;
        }
        if (Set == TXmlCharset::Ansi && cp < 0x10000 && IsAnsiRepresentable(QString(QChar(char16_t(cp))))) {
            out.append(EncodeAnsi(QString(QChar(char16_t(cp)))));
            continue;
        }
        out.append("&#" + QByteArray::number(uint(cp)) + ';');
    }
    return out;
}

QString UnescapeXmlText(QString Text)
{
    // Files of older writers carry "$amp;" for an ampersand; everything else
    // the document object has unescaped already.
    if (Text.contains(u'$'))
        Text.replace(QLatin1String("$amp;"), QLatin1String("&"));
    return Text;
}

// The record walk. Nesting below the limit is not read, so a deep file
// cannot exhaust the stack.
constexpr int kMaxDepth = 200;

struct TXmlWalk {
    TExStringGrid* G;
    bool LevelToRow;
    bool LoadFieldDescr;
    bool NamesInRow0;
    int StartCol, StartRow;
    int MaxCol, MaxRow;
    int ColCnt = 0, RowCnt = 0, Level = 1;

    int Col() const { return StartCol + ColCnt; }
    int Row() const { return StartRow + RowCnt; }
    // The grid grows to hold (c, r); rows in steps, trimmed at the end.
    void Grow(int c, int r)
    {
        if (c < 0 || r < 0)
            return;
        if (c >= G->ColCount()) {
            if (c >= TExStringGrid::MaxRealCols)
                throw DOriVireZuvez(QStringLiteral("Too many columns"));
            G->SetColCount(c + 1);
        }
        if (r >= G->RowCount())
            G->SetRowCount(r + 1000);
    }
    void Store(int c, int r, const QString& Text)
    {
        if (c < 0 || r < 0)
            return;
        G->LoadCell(c, r, Text);
        MaxCol = std::max(MaxCol, c);
        MaxRow = std::max(MaxRow, r);
    }
    void Walk(const XmlNode& Node, int Depth)
    {
        if (Depth > kMaxDepth)
            return;
        bool newRow = false;
        if (Node.IsElement() && Node.Raw().first_attribute()) {
            const auto attrs = Node.Attributes();
            for (const auto& a : attrs) {
                Grow(Col(), Row());
                if (NamesInRow0 && G->GetGridCell(Col(), 0).isEmpty())
                    G->LoadCell(Col(), 0, a.first);
                Store(Col(), Row(), UnescapeXmlText(a.second));
                ++ColCnt;
            }
            if (LevelToRow && !attrs.isEmpty()) {
                ++RowCnt;
                ColCnt = Level;
                newRow = true;
            }
        }
        int children = 0;
        for (XmlNode c = Node.FirstChild(); c && children < 2; c = c.NextSibling())
            ++children;
        if (children > 1) {
            if (LevelToRow && !newRow) {
                ++RowCnt;
                ColCnt = 0;
            }
            ++Level;
            for (XmlNode c = Node.FirstChild(); c; c = c.NextSibling())
                Walk(c, Depth + 1);
        } else if (children == 0) {
            if (Col() >= 0 && Row() >= 0 && Col() < G->ColCount() && Row() < G->RowCount())
                G->LoadCell(Col(), Row(), QString());
            ++ColCnt;
        } else {
            Grow(Col(), Row());
            if (LoadFieldDescr && NamesInRow0 && G->GetGridCell(Col(), 0).isEmpty())
                G->LoadCell(Col(), 0, Node.NodeName());
            QString text = UnescapeXmlText(Node.Text());
            if (G->QuoteEmptyCells && text == QLatin1String("\"\""))
                text.clear();
            Store(Col(), Row(), text);
            ++ColCnt;
        }
    }
};

} // namespace

void TExStringGrid::SaveToXML(const QString& FileName, const QString& ListDescr, const QString& RecordDescr,
                              TStrings* FieldDescr, bool ExportEmptyCells)
{
    const int h = SaveHiddenCells ? NumHiddenColumns() : 0;
    QString out;
    out += QStringLiteral("<?xml version=\"1.0\" encoding=\"") + XMLEncoding + QStringLiteral("\" ?>\r\n");
    out += QLatin1Char('<') + ListDescr + QStringLiteral(">\r\n");
    TProgress progress(this, OnFileProgress);
    ExportNotification(0, SaveStartRow());
    QString text;
    for (int r = SaveStartRow(); r <= SaveEndRow(); ++r) {
        ExportNotification(5, r);
        out += QLatin1Char('<') + RecordDescr + QStringLiteral(">\r\n");
        for (int c = SaveStartCol(); c <= SaveEndCol() + h; ++c) {
            const int k = SourceCol(this, c);
            if (!IsBaseCell(k, r))
                continue;
            SaveCell(k, r, text);
            if (text.isEmpty() && !ExportEmptyCells)
                continue;
            if (text.isEmpty() && QuoteEmptyCells)
                text = QStringLiteral("\"\"");
            const int idx = c - SaveStartCol();
            const QString name = FieldDescr && idx < FieldDescr->Count() ? FieldDescr->Strings(idx)
                                                                          : QStringLiteral("FIELD") + QString::number(idx);
            out += QLatin1Char('<') + name + QLatin1Char('>') + EscapeXmlText(text) + QStringLiteral("</") + name +
                   QStringLiteral(">\r\n");
        }
        out += QStringLiteral("</") + RecordDescr + QStringLiteral(">\r\n");
        if (progress.Active())
            progress.Report(Percent(r, SaveEndRow() - SaveStartRow()));
    }
    out += QStringLiteral("</") + ListDescr + QStringLiteral(">\r\n");
    ExportNotification(2, -1);
    try {
        WriteFileWhole(FileName, EncodeXml(out, CharsetOf(XMLEncoding)));
    } catch (const EFileStreamError&) {
        throw DOriVireZuvez(QStringLiteral("Cannot Create file ") + FileName);
    } catch (const EWriteError&) {
        throw DOriVireZuvez(QStringLiteral("Cannot Create file ") + FileName);
    }
}

void TExStringGrid::LoadFromXML(const QString& FileName, bool LevelToRow, bool LoadFieldDescr)
{
    if (!FileExists(FileName))
        throw Exception(QStringLiteral("XML file not found"));
    XmlDocument doc;
    try {
        doc.LoadFromFile(FileName);
    } catch (const EXmlError& e) {
        if (e.Status() == 0)
            throw;
        throw Exception(QStringLiteral("XMLDOM Parsing error ") + QString::number(e.Status()) +
                        QStringLiteral(" on line ") + QString::number(e.Line()));
    }
    const bool fixedSaved = SaveFixedCells || SaveFixedRows;
    TXmlWalk w{this, LevelToRow, LoadFieldDescr, fixedSaved, SaveStartCol(),
               !fixedSaved || LoadFieldDescr ? FixedRows() : 0, 0, 0};
    w.MaxCol = w.StartCol;
    w.MaxRow = w.StartRow;
    TUpdateGuard update(this);
    int i = 0;
    for (XmlNode rec = doc.DocumentElement().FirstChild(); rec; rec = rec.NextSibling(), ++i) {
        w.ColCnt = 0;
        w.Level = 1;
        if (LevelToRow && i == 0 && (!rec.IsElement() || !rec.Raw().first_attribute()))
            w.RowCnt = -1;
        w.Walk(rec, 1);
        if (!LevelToRow)
            ++w.RowCnt;
    }
    SetColCount(w.MaxCol + 1);
    SetRowCount(w.MaxRow + 1);
    CellsLoaded();
}
