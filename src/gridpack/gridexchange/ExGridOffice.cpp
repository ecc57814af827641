// The office exchange of the string grid: workbooks through the spreadsheet
// server, tables into documents through the word processor, and database
// tables through the data-access components, every member called by name.
#include "gridpack/gridexchange/ExGridOffice.h"

#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/Forms.h"
#include "platform/core/Files.h"
#include "platform/sys/Automation.h"

namespace GridOffice {

namespace {
QChar Letter(int k) { return QChar(ushort(64 + k)); }

int Number(const QString& s)
{
    bool ok = false;
    const int v = s.toInt(&ok);
    return ok ? v : -1;
}

// "B$3" -> column B, row 3.
void Corner(const QString& s, int& col, int& row)
{
    const qsizetype d = s.indexOf(QLatin1Char('$'));
    if (d < 0) {
        col = row = -1;
        return;
    }
    col = XLSColumnNumber(s.left(d));
    row = Number(s.mid(d + 1));
}
} // namespace

int XLSColumnNumber(const QString& Letters)
{
    const QString u = Letters.toUpper();
    auto pos = [](QChar c) { return c >= QLatin1Char('A') && c <= QLatin1Char('Z') ? c.unicode() - 64 : -1; };
    if (u.size() == 1)
        return pos(u[0]);
    if (u.size() == 2 && pos(u[0]) > 0 && pos(u[1]) > 0)
        return pos(u[0]) * 26 + pos(u[1]);
    return -1;
}

TXLSRange ParseXLSAddress(const QString& Address)
{
    TXLSRange r;
    const qsizetype colon = Address.indexOf(QLatin1Char(':'));
    if (colon >= 0) {
        QString first = Address.left(colon);
        QString second = Address.mid(colon + 1, 255);
        if (first.startsWith(QLatin1Char('$')))
            first.remove(0, 1);
        if (second.startsWith(QLatin1Char('$')))
            second.remove(0, 1);
        if (!first.contains(QLatin1Char('$'))) {
            // Whole rows.
            r.FirstCol = 1;
            r.LastCol = 256;
            r.FirstRow = Number(first);
            r.LastRow = Number(second);
        } else {
            Corner(first, r.FirstCol, r.FirstRow);
            Corner(second, r.LastCol, r.LastRow);
        }
        return r;
    }
    if (!Address.contains(QLatin1Char('$'))) {
        r.FirstCol = r.FirstRow = r.LastCol = r.LastRow = 1;
        return r;
    }
    const qsizetype d1 = Address.indexOf(QLatin1Char('$'));
    const qsizetype d2 = Address.indexOf(QLatin1Char('$'), d1 + 1);
    if (d2 < 0)
        return r;
    r.FirstCol = r.LastCol = XLSColumnNumber(Address.mid(d1 + 1, d2 - d1 - 1));
    r.FirstRow = r.LastRow = Number(Address.mid(d2 + 1));
    return r;
}

QString RebuildXLSRange(const TXLSRange& r, int ColCount)
{
    QString s = Letter(r.FirstCol) + QString::number(r.FirstRow) + QLatin1Char(':');
    if (ColCount < 27) {
        s += Letter(r.LastCol);
    } else {
        const int n = r.LastCol - r.FirstCol;
        s += Letter(n / 26);
        s += Letter(n % 26 + 1);
    }
    return s + QString::number(r.LastRow);
}

QString XLSEndColumn(int n)
{
    if (n < 27)
        return QString(Letter(n));
    if (n % 26 != 0)
        return QString(Letter(n / 26)) + Letter(n % 26);
    return QString(Letter(n / 26 - 1)) + QLatin1Char('Z');
}

} // namespace GridOffice

using namespace GridOffice;

namespace {

const QString kExcel = QStringLiteral("excel.application");
const QString kWord = QStringLiteral("word.application");

// The hour-glass while a server works; the cursor before comes back on every
// path.
struct THourGlass {
    THourGlass()
    {
        if (TScreen* s = Screen()) {
            Saved = s->Cursor();
            s->SetCursor(crHourGlass);
        }
    }
    ~THourGlass()
    {
        if (TScreen* s = Screen())
            s->SetCursor(Saved);
    }
    TCursor Saved = crDefault;
};

TAutoRef Obj(TAutoObject* o, const QString& name, const TOleArgs& args = {})
{
    return OleObject(o->Get(name, args), name);
}

// A new server, or (Attach) the running one first; Created tells which.
TAutoRef StartServer(const QString& progId, bool attach, bool& created, const char* notFound)
{
    created = false;
    if (attach) {
        try {
            return GetActiveOleObject(progId);
        } catch (const Exception&) {
        }
    }
    try {
        TAutoRef s = CreateOleObject(progId);
        created = true;
        return s;
    } catch (const Exception&) {
        throw DOriVireZuvez(QString::fromLatin1(notFound));
    }
}

// Quits a server the operation created, whatever happens after.
struct TQuit {
    TAutoRef Server;
    bool Created = false;
    ~TQuit()
    {
        if (Server && Created) {
            try {
                Server->Call(QStringLiteral("Quit"));
            } catch (const Exception&) {
            }
        }
    }
};

int SaveCol(TExStringGrid* g, int c) { return g->SaveHiddenCells ? c : g->RemapColToReal(c); }

} // namespace

TStringList* TExStringGrid::GetXLSSheets(const QString& FileName)
{
    THourGlass hourGlass;
    bool created = false;
    TQuit quit{StartServer(kExcel, false, created, "Excel OLE server not found"), created};
    TAutoObject* xls = quit.Server.get();
    TAutoRef book = OleObject(Obj(xls, QStringLiteral("WorkBooks"))->Call(QStringLiteral("Open"), {FileName}),
                              QStringLiteral("Open"));
    auto list = std::make_unique<TStringList>();
    TAutoRef sheets = Obj(book.get(), QStringLiteral("WorkSheets"));
    const int n = sheets->Get(QStringLiteral("Count")).ToInt();
    for (int i = 1; i <= n; ++i)
        list->Add(Obj(sheets.get(), QStringLiteral("Item"), {i})->Get(QStringLiteral("Name")).ToString());
    book->Put(QStringLiteral("Saved"), true);
    return list.release();
}

void TExStringGrid::LoadFromXLS(const QString& Filename) { LoadFromXLSSheet(Filename, QString()); }

void TExStringGrid::LoadFromXLSSheet(const QString& Filename, const QString& SheetName)
{
    THourGlass hourGlass;
    bool created = false;
    TQuit quit{StartServer(kExcel, false, created, "Excel OLE server not found"), created};
    TAutoObject* xls = quit.Server.get();
    // 1.
    TAutoRef book = OleObject(Obj(xls, QStringLiteral("WorkBooks"))->Call(QStringLiteral("Open"), {Filename}),
                              QStringLiteral("Open"));
    struct TClose {
        TAutoRef Book;
        ~TClose()
        {
            try {
                Book->Call(QStringLiteral("Close"), {false});
            } catch (const Exception&) {
            }
        }
    } close{book};
    TAutoRef sheet;
    if (!SheetName.isEmpty()) {
        const int n = Obj(book.get(), QStringLiteral("Sheets"))->Get(QStringLiteral("Count")).ToInt();
        for (int i = 1; i <= n; ++i) {
            TAutoRef s = Obj(book.get(), QStringLiteral("Sheets"), {i});
            if (s->Get(QStringLiteral("Name")).ToString() == SheetName)
                sheet = s;
        }
        if (!sheet)
            throw DOriVireZuvez(QStringLiteral("Excel worksheet ") + SheetName + QStringLiteral(" not found"));
    } else {
        sheet = Obj(xls, QStringLiteral("ActiveSheet"));
    }
    // 2.
    const QString address = Obj(sheet.get(), QStringLiteral("UsedRange"))->Get(QStringLiteral("Address")).ToString();
    const TXLSRange range = ParseXLSAddress(address);
    const bool oneCell = !address.contains(QLatin1Char(':'));
    // 3.
    const int fixedCols = FixedCols(), fixedRows = FixedRows();
    struct TLoaded {
        TExStringGrid* G;
        ~TLoaded()
        {
            G->CellsChanged(TRect(0, 0, G->ColCount() - 1, G->RowCount() - 1));
            G->CellsLoaded();
        }
    } loaded{this};
    BeginUpdate();
    struct TEnd {
        TExStringGrid* G;
        ~TEnd() { G->EndUpdate(); }
    } end{this};
    if (range.Valid()) {
        SetColCount(range.LastCol - range.FirstCol + 1);
        SetRowCount(range.LastRow - range.FirstRow + 1);
    }
    // 4.
    const QString readAddress = RebuildXLSRange(range, ColCount());
    // 5.
    const int colOffset = SaveFixedCells || SaveFixedCols ? 0 : fixedCols;
    const int rowOffset = SaveFixedCells || SaveFixedRows ? 0 : fixedRows;
    SetColCount(ColCount() + colOffset);
    SetRowCount(RowCount() + rowOffset);
    if (fixedCols < ColCount())
        SetFixedCols(fixedCols);
    if (fixedRows < RowCount())
        SetFixedRows(fixedRows);
    // 6.
    if (oneCell) {
        TOleVariant v = Obj(sheet.get(), QStringLiteral("Rows"))->Get(QStringLiteral("Cells"), {range.FirstRow, range.FirstCol});
        if (v.IsObject())
            v = v.Object->Get(QStringLiteral("Value"));
        if (!v.IsEmpty() && !v.IsError && !v.IsArray)
            LoadCell(colOffset, rowOffset, v.ToString());
    } else {
        try {
            const TOleVariant values =
                Obj(sheet.get(), QStringLiteral("Range"), {readAddress})->Get(QStringLiteral("Value"));
            if (!values.IsArray)
                throw EOleError(QStringLiteral("no array"));
            for (int r = 1; r <= RowCount() - rowOffset; ++r)
                for (int c = 1; c <= ColCount() - colOffset; ++c) {
                    if (size_t(r - 1) >= values.Rows.size() || size_t(c - 1) >= values.Rows[size_t(r - 1)].size())
                        continue;
                    const TOleVariant& v = values.Rows[size_t(r - 1)][size_t(c - 1)];
                    if (v.IsEmpty())
                        LoadCell(c + colOffset - 1, r + rowOffset - 1, QString());
                    else if (!v.IsObject() && !v.IsError && !v.IsArray)
                        LoadCell(c + colOffset - 1, r + rowOffset - 1, v.ToString());
                }
        } catch (const Exception&) {
            throw Exception(QStringLiteral("Incorrect XLS file"));
        }
    }
}

void TExStringGrid::SaveToXLS(const QString& Filename, bool CreateNewSheet)
{
    THourGlass hourGlass;
    bool created = false;
    TQuit quit{StartServer(kExcel, true, created, "Excel OLE server not found"), created};
    TAutoObject* xls = quit.Server.get();
    TAutoRef books = Obj(xls, QStringLiteral("WorkBooks"));
    TAutoRef book, sheet;
    int firstRow = 1;
    if (CreateNewSheet || books->Get(QStringLiteral("Count")).ToInt() == 0) {
        book = OleObject(books->Call(QStringLiteral("Add")), QStringLiteral("Add"));
        sheet = Obj(book.get(), QStringLiteral("Sheets"), {1});
    } else {
        book = Obj(xls, QStringLiteral("ActiveWorkBook"));
        sheet = Obj(xls, QStringLiteral("ActiveSheet"));
        firstRow = Obj(xls, QStringLiteral("ActiveCell"))->Get(QStringLiteral("Row")).ToInt();
    }
    WriteXLSBlock(sheet.get(), firstRow);
    try {
        book->Call(QStringLiteral("SaveAs"), {Filename});
    } catch (const Exception&) {
    }
}

void TExStringGrid::SaveToXLSSheet(const QString& Filename, const QString& SheetName)
{
    THourGlass hourGlass;
    bool created = false;
    TQuit quit{StartServer(kExcel, true, created, "Excel OLE server not found"), created};
    TAutoObject* xls = quit.Server.get();
    TAutoRef books = Obj(xls, QStringLiteral("WorkBooks"));
    TAutoRef book;
    const bool opened = FileExists(Filename);
    try {
        book = OleObject(opened ? books->Call(QStringLiteral("Open"), {Filename}) : books->Call(QStringLiteral("Add")),
                         QStringLiteral("Open"));
    } catch (const Exception&) {
        return; // no workbook to write into: nothing is done
    }
    TAutoRef sheet;
    const int n = Obj(book.get(), QStringLiteral("Sheets"))->Get(QStringLiteral("Count")).ToInt();
    for (int i = 1; i <= n; ++i) {
        TAutoRef s = Obj(book.get(), QStringLiteral("Sheets"), {i});
        if (s->Get(QStringLiteral("Name")).ToString() == SheetName)
            sheet = s;
    }
    if (!sheet) {
        sheet = OleObject(Obj(book.get(), QStringLiteral("WorkSheets"))->Call(QStringLiteral("Add")),
                          QStringLiteral("Add"));
        sheet->Put(QStringLiteral("Name"), SheetName);
    }
    WriteXLSBlock(sheet.get(), 1);
    try {
        if (opened)
            book->Call(QStringLiteral("Save"));
        else
            book->Call(QStringLiteral("SaveAs"), {Filename});
    } catch (const Exception&) {
    }
}

void TExStringGrid::WriteXLSBlock(TAutoObject* Sheet, int FirstRow)
{
    std::vector<std::vector<TOleVariant>> rows;
    ExportNotification(0, SaveStartRow());
    for (int r = SaveStartRow(); r <= RowCount() - 1; ++r) {
        ExportNotification(5, r);
        std::vector<TOleVariant> row;
        for (int c = SaveStartCol(); c <= ColCount() - 1; ++c) {
            QString t = GetCellsEx(SaveCol(this, c), r);
            SaveCell(SaveCol(this, c), r, t);
            t.remove(QLatin1Char('\r'));
            row.emplace_back(t);
        }
        rows.push_back(std::move(row));
    }
    ExportNotification(2, -1);
    if (rows.empty() || rows.front().empty())
        return;
    const QString address = QStringLiteral("A%1:%2%3")
                                .arg(FirstRow)
                                .arg(XLSEndColumn(int(rows.front().size())))
                                .arg(FirstRow + int(rows.size()) - 1);
    Obj(Sheet, QStringLiteral("Range"), {address})->Put(QStringLiteral("Value"), TOleVariant::Array(std::move(rows)));
}

void TExStringGrid::SaveToDOC(const QString& Filename, bool CreateNewDocument)
{
    WriteDocTable(Filename, CreateNewDocument, false, QString());
}

void TExStringGrid::AppendToDoc(const QString& Filename, const QString& Bookmark)
{
    WriteDocTable(Filename, false, true, Bookmark);
}

void TExStringGrid::WriteDocTable(const QString& Filename, bool CreateNew, bool Append, const QString& Bookmark)
{
    THourGlass hourGlass;
    bool created = false;
    TQuit quit{StartServer(kWord, true, created, "Word OLE server not found"), created};
    TAutoObject* word = quit.Server.get();
    // 1.
    TAutoRef docs = Obj(word, QStringLiteral("Documents"));
    TAutoRef doc;
    if (Append)
        doc = OleObject(docs->Call(QStringLiteral("Open"), {Filename}), QStringLiteral("Open"));
    else if (!CreateNew && docs->Get(QStringLiteral("Count")).ToInt() > 0)
        doc = Obj(word, QStringLiteral("ActiveDocument"));
    else
        doc = OleObject(docs->Call(QStringLiteral("Add")), QStringLiteral("Add"));
    doc->Put(QStringLiteral("ShowSpellingErrors"), false);
    // 2.
    TAutoRef sel = Obj(word, QStringLiteral("Selection"));
    sel->Call(QStringLiteral("TypeText"), {Text()});
    sel->Call(QStringLiteral("TypeParaGraph"));
    // 3.
    TOleVariant where;
    if (Append && !Bookmark.isEmpty() &&
        Obj(doc.get(), QStringLiteral("Bookmarks"))->Call(QStringLiteral("Exists"), {Bookmark}).ToBool()) {
        where = doc->Call(QStringLiteral("Goto"), {-1, Bookmark});
    } else if (Append) {
        Obj(doc.get(), QStringLiteral("Paragraphs"))->Call(QStringLiteral("Add"));
        sel->Call(QStringLiteral("Goto"), {3, -1});
        const TOleVariant e = sel->Get(QStringLiteral("End"));
        where = doc->Call(QStringLiteral("Range"), {e, e});
    } else {
        where = doc->Call(QStringLiteral("Range"), {0, 0});
    }
    // 4.
    TAutoRef table = OleObject(
        Obj(doc.get(), QStringLiteral("Tables"))->Call(QStringLiteral("Add"), {where, RowCount(), ColCount()}),
        QStringLiteral("Add"));
    // 5.
    ExportNotification(0, 0);
    for (int r = 0; r < RowCount(); ++r) {
        ExportNotification(5, r + 1);
        for (int c = 0; c < ColCount(); ++c) {
            QString t = GetCellsEx(SaveCol(this, c), r);
            SaveCell(SaveCol(this, c), r, t);
            TAutoRef range = Obj(OleObject(table->Call(QStringLiteral("Cell"), {r + 1, c + 1}), QStringLiteral("Cell")).get(),
                                 QStringLiteral("Range"));
            range->Call(QStringLiteral("InsertAfter"), {t});
            TAlignment ha = taLeftJustify;
            TVAlignment va = vtaTop;
            GetCellAlignment(c, r, ha, va);
            if (ha == taRightJustify || ha == taCenter)
                Obj(range.get(), QStringLiteral("ParagraphFormat"))
                    ->Put(QStringLiteral("Alignment"), ha == taRightJustify ? 2 : 1);
        }
    }
    ExportNotification(2, -1);
    // 6.
    doc->Call(QStringLiteral("SaveAs"), {Filename});
}

void TExStringGrid::LoadFromMDBTable(const QString& Filename, const QString& Table)
{
    LoadFromMDBSQL(Filename, QStringLiteral("SELECT * FROM ") + Table);
}

void TExStringGrid::LoadFromMDBSQL(const QString& Filename, const QString& SQL)
{
    // 1. Errors of the components pass to the caller as they are.
    TAutoRef conn = CreateOleObject(QStringLiteral("ADODB.Connection"));
    conn->Call(QStringLiteral("Open"), {QStringLiteral("Driver={Microsoft Access Driver (*.mdb)};DBQ=") + Filename});
    TAutoRef rs = CreateOleObject(QStringLiteral("ADODB.RecordSet"));
    rs->Put(QStringLiteral("ActiveConnection"), conn);
    rs->Call(QStringLiteral("Open"), {SQL});
    // 2.
    TAutoRef fields = Obj(rs.get(), QStringLiteral("Fields"));
    const int n = fields->Get(QStringLiteral("Count")).ToInt();
    SetColCount(n + FixedCols());
    if (FixedRows() > 0)
        for (int i = 0; i < n; ++i)
            SetCells(FixedCols() + i, FixedRows() - 1,
                     Obj(fields.get(), QStringLiteral("Item"), {i})->Get(QStringLiteral("Name")).ToString());
    // 3.
    const int records = rs->Get(QStringLiteral("RecordCount")).ToInt();
    if (records > 0)
        SetRowCount(FixedRows() + records);
    // 4.
    int row = FixedRows();
    while (!rs->Get(QStringLiteral("Eof")).ToBool()) {
        if (row >= RowCount())
            SetRowCount(RowCount() + 1);
        for (int i = 0; i < n; ++i) {
            TAutoRef f = Obj(fields.get(), QStringLiteral("Item"), {i});
            const bool has = f->Get(QStringLiteral("ActualSize")).ToInt() > 0;
            LoadCell(FixedCols() + i, row, has ? f->Get(QStringLiteral("Value")).ToString() : QString());
        }
        rs->Call(QStringLiteral("MoveNext"));
        ++row;
    }
    // 5.
    rs->Call(QStringLiteral("Close"));
    conn->Call(QStringLiteral("Close"));
}
