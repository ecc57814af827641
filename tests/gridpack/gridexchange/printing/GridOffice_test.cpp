// Office exchange: the A1 address helpers on their own, the operations
// without a server, and each read and write against scripted fake servers
// registered for the test.
#include "GridData4Fixture.h"

#include "gridpack/gridexchange/ExGridOffice.h"
#include "platform/sys/Automation.h"

#include <functional>
#include <map>
#include <set>

using namespace GridOffice;

namespace {

// --- a scripted automation object ----------------------------------------------

// Every member asked of any fake object, in order.
QStringList gCalls;

class TFake : public TAutoObject {
public:
    using TGet = std::function<TOleVariant(const TOleArgs&)>;
    using TPut = std::function<void(const TOleVariant&, const TOleArgs&)>;
    std::map<QString, TGet> Gets, Calls;
    std::map<QString, TPut> Puts;

    TOleVariant Get(const QString& Name, const TOleArgs& Args) override { return Run(Gets, Name, Args); }
    TOleVariant Call(const QString& Name, const TOleArgs& Args) override { return Run(Calls, Name, Args); }
    void Put(const QString& Name, const TOleVariant& Value, const TOleArgs& Args) override
    {
        gCalls << Name;
        const auto it = Puts.find(Name);
        if (it == Puts.end())
            throw EOleError("Unknown name " + Name);
        it->second(Value, Args);
    }

private:
    TOleVariant Run(std::map<QString, TGet>& m, const QString& Name, const TOleArgs& Args)
    {
        gCalls << Name;
        const auto it = m.find(Name);
        if (it == m.end())
            throw EOleError("Unknown name " + Name);
        return it->second(Args);
    }
};

std::shared_ptr<TFake> NewFake() { return std::make_shared<TFake>(); }

// A collection with Count and Item(i) (1-based).
std::shared_ptr<TFake> Collection(const std::vector<TAutoRef>& items)
{
    auto c = NewFake();
    c->Gets["Count"] = [items](const TOleArgs&) { return TOleVariant(int(items.size())); };
    c->Gets["Item"] = [items](const TOleArgs& a) { return TOleVariant(items.at(size_t(a.at(0).ToInt() - 1))); };
    return c;
}

struct TSheet {
    QString Name;
    QString Used;
    std::vector<std::vector<TOleVariant>> Values; // from A1
    QString ReadAddress, WriteAddress;
    TOleVariant Written;
    std::shared_ptr<TFake> Object;
};

// A spreadsheet server with one workbook of the sheets given.
struct TFakeExcel {
    std::vector<std::shared_ptr<TSheet>> Sheets;
    int ActiveRow = 1;
    int Quits = 0, Closes = 0, SaveAs = 0;
    bool Running = false;
    std::shared_ptr<TFake> App, Book;

    std::shared_ptr<TFake> SheetObject(const std::shared_ptr<TSheet>& s)
    {
        if (s->Object)
            return s->Object;
        auto o = NewFake();
        TSheet* sp = s.get();
        o->Gets["Name"] = [sp](const TOleArgs&) { return TOleVariant(sp->Name); };
        o->Puts["Name"] = [sp](const TOleVariant& v, const TOleArgs&) { sp->Name = v.ToString(); };
        o->Gets["UsedRange"] = [sp](const TOleArgs&) {
            auto u = NewFake();
            u->Gets["Address"] = [sp](const TOleArgs&) { return TOleVariant(sp->Used); };
            return TOleVariant(TAutoRef(u));
        };
        o->Gets["Range"] = [sp](const TOleArgs& a) {
            auto r = NewFake();
            const QString addr = a.at(0).ToString();
            r->Gets["Value"] = [sp, addr](const TOleArgs&) {
                sp->ReadAddress = addr;
                const TXLSRange g = ParseXLSAddress(addr.contains('$') ? addr : addr.section(':', 0, 0).insert(1, '$') +
                                                                                     ":" + addr.section(':', 1).insert(1, '$'));
                std::vector<std::vector<TOleVariant>> rows;
                for (int rr = g.FirstRow; rr <= g.LastRow; ++rr) {
                    std::vector<TOleVariant> row;
                    for (int cc = g.FirstCol; cc <= g.LastCol; ++cc) {
                        const size_t r0 = size_t(rr - 1), c0 = size_t(cc - 1);
                        row.push_back(r0 < sp->Values.size() && c0 < sp->Values[r0].size() ? sp->Values[r0][c0]
                                                                                            : TOleVariant());
                    }
                    rows.push_back(row);
                }
                return TOleVariant::Array(rows);
            };
            r->Puts["Value"] = [sp, addr](const TOleVariant& v, const TOleArgs&) {
                sp->WriteAddress = addr;
                sp->Written = v;
            };
            return TOleVariant(TAutoRef(r));
        };
        o->Gets["Rows"] = [sp](const TOleArgs&) {
            auto rows = NewFake();
            rows->Gets["Cells"] = [sp](const TOleArgs& a) {
                const size_t r = size_t(a.at(0).ToInt() - 1), c = size_t(a.at(1).ToInt() - 1);
                return r < sp->Values.size() && c < sp->Values[r].size() ? sp->Values[r][c] : TOleVariant();
            };
            return TOleVariant(TAutoRef(rows));
        };
        s->Object = o;
        return o;
    }

    void Register()
    {
        Book = NewFake();
        Book->Gets["WorkSheets"] = [this](const TOleArgs&) {
            std::vector<TAutoRef> items;
            for (auto& s : Sheets)
                items.push_back(SheetObject(s));
            auto c = Collection(items);
            c->Calls["Add"] = [this](const TOleArgs&) {
                Sheets.push_back(std::make_shared<TSheet>());
                return TOleVariant(TAutoRef(SheetObject(Sheets.back())));
            };
            return TOleVariant(TAutoRef(c));
        };
        Book->Gets["Sheets"] = [this](const TOleArgs& a) {
            if (!a.empty())
                return TOleVariant(TAutoRef(SheetObject(Sheets.at(size_t(a[0].ToInt() - 1)))));
            std::vector<TAutoRef> items;
            for (auto& s : Sheets)
                items.push_back(SheetObject(s));
            return TOleVariant(TAutoRef(Collection(items)));
        };
        Book->Puts["Saved"] = [](const TOleVariant&, const TOleArgs&) {};
        Book->Calls["Close"] = [this](const TOleArgs&) {
            ++Closes;
            return TOleVariant();
        };
        Book->Calls["SaveAs"] = [this](const TOleArgs&) {
            ++SaveAs;
            return TOleVariant();
        };
        Book->Calls["Save"] = [](const TOleArgs&) { return TOleVariant(); };
        App = NewFake();
        App->Gets["WorkBooks"] = [this](const TOleArgs&) {
            auto b = NewFake();
            b->Calls["Open"] = [this](const TOleArgs&) { return TOleVariant(TAutoRef(Book)); };
            b->Calls["Add"] = [this](const TOleArgs&) {
                if (Sheets.empty())
                    Sheets.push_back(std::make_shared<TSheet>());
                return TOleVariant(TAutoRef(Book));
            };
            b->Gets["Count"] = [this](const TOleArgs&) { return TOleVariant(Running ? 1 : 0); };
            return TOleVariant(TAutoRef(b));
        };
        App->Gets["ActiveSheet"] = [this](const TOleArgs&) { return TOleVariant(TAutoRef(SheetObject(Sheets.at(0)))); };
        App->Gets["ActiveWorkBook"] = [this](const TOleArgs&) { return TOleVariant(TAutoRef(Book)); };
        App->Gets["ActiveCell"] = [this](const TOleArgs&) {
            auto c = NewFake();
            c->Gets["Row"] = [this](const TOleArgs&) { return TOleVariant(ActiveRow); };
            return TOleVariant(TAutoRef(c));
        };
        App->Calls["Quit"] = [this](const TOleArgs&) {
            ++Quits;
            return TOleVariant();
        };
        RegisterAutomationServer("Excel.Application", [this] { return TAutoRef(App); },
                                 [this] { return Running ? TAutoRef(App) : TAutoRef(); });
    }
};

// The members the exchange may call, by server.
const std::set<QString> kNamedMembers = {
    "WorkBooks", "Open", "Add", "Count", "ActiveWorkBook", "ActiveSheet", "ActiveCell", "Row", "Quit",
    "WorkSheets", "Item", "Sheets", "Name", "Saved", "Close", "Save", "SaveAs", "UsedRange", "Address", "Range",
    "Value", "Rows", "Cells", "Documents", "ActiveDocument", "Selection", "TypeText", "TypeParaGraph", "Goto", "End",
    "ShowSpellingErrors", "Bookmarks", "Exists", "Paragraphs", "Tables", "Cell", "InsertAfter", "ParagraphFormat",
    "Alignment", "ActiveConnection", "Fields", "ActualSize", "RecordCount", "Eof", "MoveNext"};

class GridOfficeTest : public GridData4Test {
protected:
    void SetUp() override
    {
        GridData4Test::SetUp();
        gCalls.clear();
        for (const char* id : {"excel.application", "word.application", "ADODB.Connection", "ADODB.RecordSet"})
            UnregisterAutomationServer(id);
    }
    void TearDown() override
    {
        for (const QString& m : gCalls)
            EXPECT_TRUE(kNamedMembers.count(m)) << "unnamed member " << m.toStdString();
        for (const char* id : {"excel.application", "word.application", "ADODB.Connection", "ADODB.RecordSet"})
            UnregisterAutomationServer(id);
        GridData4Test::TearDown();
    }
};

// --- address helpers -------------------------------------------------------------

TEST(GridOfficeAddress, UsedRangeAddressesParse)
{
    struct {
        const char* Address;
        int Fc, Fr, Lc, Lr;
    } cases[] = {
        {"$B$3:$D$7", 2, 3, 4, 7}, {"$A$1:$AB$10", 1, 1, 28, 10}, {"1:10", 1, 1, 256, 10}, {"$A$1", 1, 1, 1, 1},
        {"A1", 1, 1, 1, 1},        {"$C$x:$D$4", 3, -1, 4, 4},     {"$AZ$2", 52, 2, 52, 2},
    };
    for (const auto& c : cases) {
        const TXLSRange r = ParseXLSAddress(c.Address);
        EXPECT_EQ(r.FirstCol, c.Fc) << c.Address;
        EXPECT_EQ(r.FirstRow, c.Fr) << c.Address;
        EXPECT_EQ(r.LastCol, c.Lc) << c.Address;
        EXPECT_EQ(r.LastRow, c.Lr) << c.Address;
    }
    EXPECT_FALSE(ParseXLSAddress("$C$x:$D$4").Valid());
}

TEST(GridOfficeAddress, RangesRebuildAndEndColumns)
{
    EXPECT_EQ(RebuildXLSRange(ParseXLSAddress("$B$3:$D$7"), 3), "B3:D7");
    EXPECT_EQ(RebuildXLSRange(ParseXLSAddress("$A$1:$AB$4"), 28), "A1:AB4");
    struct {
        int N;
        const char* End;
    } cases[] = {{1, "A"}, {26, "Z"}, {27, "AA"}, {28, "AB"}, {52, "AZ"}, {53, "BA"}, {78, "BZ"}};
    for (const auto& c : cases)
        EXPECT_EQ(XLSEndColumn(c.N), c.End) << c.N;
}

// --- without servers -------------------------------------------------------------

TEST_F(GridOfficeTest, WithoutServersTheOperationsRaiseAndLeaveTheGrid)
{
    TExStringGrid* g = NewGrid(3, 3);
    g->SetCells(1, 1, "keep");
    const std::vector<std::pair<std::function<void()>, QString>> ops = {
        {[&] { delete g->GetXLSSheets("a.xls"); }, "Excel OLE server not found"},
        {[&] { g->LoadFromXLS("a.xls"); }, "Excel OLE server not found"},
        {[&] { g->LoadFromXLSSheet("a.xls", "S"); }, "Excel OLE server not found"},
        {[&] { g->SaveToXLS("a.xls"); }, "Excel OLE server not found"},
        {[&] { g->SaveToDOC("a.doc"); }, "Word OLE server not found"},
        {[&] { g->AppendToDoc("a.doc", "b"); }, "Word OLE server not found"},
        {[&] { g->LoadFromMDBTable("a.mdb", "T"); }, "Invalid class string"},
    };
    for (const auto& [op, message] : ops) {
        try {
            op();
            ADD_FAILURE() << "no exception for " << message.toStdString();
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), message);
        }
        EXPECT_EQ(g->ColCount(), 3);
        EXPECT_EQ(g->RowCount(), 3);
        EXPECT_EQ(g->Cells(1, 1), "keep");
    }
}

// --- spreadsheet -----------------------------------------------------------------

TEST_F(GridOfficeTest, AUsedRangeSizesAndFillsTheGrid)
{
    TFakeExcel xls;
    auto s = std::make_shared<TSheet>();
    s->Name = "Data";
    s->Used = "$B$3:$D$7";
    s->Values.assign(7, std::vector<TOleVariant>(4));
    s->Values[2][1] = "b3";
    s->Values[6][3] = 42;
    s->Values[4][2] = TOleVariant::Error();
    xls.Sheets = {s};
    xls.Register();

    TExStringGrid* g = NewGrid(2, 2, 1, 1);
    g->LoadFromXLS("book.xls");
    EXPECT_EQ(g->ColCount(), 3);
    EXPECT_EQ(g->RowCount(), 5);
    EXPECT_EQ(s->ReadAddress, "B3:D7");
    EXPECT_EQ(xls.Quits, 1);
    EXPECT_EQ(xls.Closes, 1);

    // Fixed cells not saved: the block goes behind them.
    TExStringGrid* h = NewGrid(2, 2, 1, 1);
    h->SaveFixedCells = false;
    h->LoadFromXLSSheet("book.xls", "Data");
    EXPECT_EQ(h->ColCount(), 4);
    EXPECT_EQ(h->RowCount(), 6);
    EXPECT_EQ(h->FixedCols(), 1);
    EXPECT_EQ(h->FixedRows(), 1);
    // Range(B3:D7)'s values: B3 to the first cell behind the fixed ones, D7
    // to the last; an error value is not stored.
    EXPECT_EQ(h->Cells(1, 1), "b3");
    EXPECT_EQ(h->Cells(3, 5), "42");
    EXPECT_EQ(h->Cells(2, 3), "");
    EXPECT_EQ(g->Cells(0, 0), "b3");
    EXPECT_EQ(g->Cells(2, 4), "42");
}

TEST_F(GridOfficeTest, ASingleCellLoadsOneValue)
{
    TFakeExcel xls;
    auto s = std::make_shared<TSheet>();
    s->Used = "$A$1";
    s->Values = {{TOleVariant("only")}};
    xls.Sheets = {s};
    xls.Register();
    TExStringGrid* g = NewGrid(3, 3, 0, 0);
    g->LoadFromXLS("one.xls");
    EXPECT_EQ(g->ColCount(), 1);
    EXPECT_EQ(g->RowCount(), 1);
    EXPECT_EQ(g->Cells(0, 0), "only");
    EXPECT_TRUE(s->ReadAddress.isEmpty());
}

TEST_F(GridOfficeTest, AMissingSheetRaisesAndQuits)
{
    TFakeExcel xls;
    auto s = std::make_shared<TSheet>();
    s->Name = "Other";
    s->Used = "$A$1";
    xls.Sheets = {s};
    xls.Register();
    TExStringGrid* g = NewGrid(2, 2);
    try {
        g->LoadFromXLSSheet("b.xls", "Data");
        FAIL();
    } catch (const DOriVireZuvez& e) {
        EXPECT_EQ(e.Message(), "Excel worksheet Data not found");
    }
    EXPECT_EQ(xls.Quits, 1);
    EXPECT_EQ(xls.Closes, 1);
    EXPECT_EQ(g->ColCount(), 2);
}

TEST_F(GridOfficeTest, SheetNamesInOrder)
{
    TFakeExcel xls;
    for (const char* n : {"One", "Two", "Three"}) {
        xls.Sheets.push_back(std::make_shared<TSheet>());
        xls.Sheets.back()->Name = n;
    }
    xls.Register();
    std::unique_ptr<TStringList> names(NewGrid(2, 2)->GetXLSSheets("c.xls"));
    ASSERT_EQ(names->Count(), 3);
    EXPECT_EQ(names->Strings(2), "Three");
    EXPECT_EQ(xls.Quits, 1);
}

TEST_F(GridOfficeTest, WrittenBlocksEndAtTheirColumnLetters)
{
    for (const auto& [n, end] : std::vector<std::pair<int, QString>>{{26, "Z"}, {27, "AA"}, {28, "AB"}, {52, "AZ"}}) {
        TFakeExcel xls;
        xls.Register();
        TExStringGrid* g = NewGrid(n, 2, 0, 0);
        g->SetCells(0, 0, "a\r\nb");
        g->SaveToXLS(Path("w.xls"));
        ASSERT_EQ(xls.Sheets.size(), 1u);
        EXPECT_EQ(xls.Sheets[0]->WriteAddress, "A1:" + end + "2");
        ASSERT_TRUE(xls.Sheets[0]->Written.IsArray);
        EXPECT_EQ(xls.Sheets[0]->Written.Rows.size(), 2u);
        EXPECT_EQ(xls.Sheets[0]->Written.Rows[0][0].ToString(), "a\nb");
        EXPECT_EQ(xls.SaveAs, 1);
        EXPECT_EQ(xls.Quits, 1);
        UnregisterAutomationServer("excel.application");
    }
}

TEST_F(GridOfficeTest, WritingIntoARunningSpreadsheetStartsAtTheActiveRow)
{
    TFakeExcel xls;
    xls.Running = true;
    xls.ActiveRow = 5;
    xls.Sheets = {std::make_shared<TSheet>()};
    xls.Register();
    TExStringGrid* g = NewGrid(3, 4, 0, 0);
    g->SaveToXLS(Path("run.xls"), false);
    EXPECT_EQ(xls.Sheets[0]->WriteAddress, "A5:C8");
    EXPECT_EQ(xls.Quits, 0); // attached, left running
}

// --- word processor --------------------------------------------------------------

TEST_F(GridOfficeTest, ADocumentTableHoldsTheCells)
{
    int quits = 0, rows = 0, cols = 0;
    QStringList inserted, saved;
    std::vector<int> aligns;
    auto app = NewFake();
    auto doc = NewFake();
    auto sel = NewFake();
    auto table = NewFake();
    doc->Puts["ShowSpellingErrors"] = [](const TOleVariant&, const TOleArgs&) {};
    doc->Calls["Range"] = [](const TOleArgs&) { return TOleVariant(TAutoRef(NewFake())); };
    doc->Calls["SaveAs"] = [&](const TOleArgs& a) {
        saved << a.at(0).ToString();
        return TOleVariant();
    };
    doc->Gets["Tables"] = [&](const TOleArgs&) {
        auto t = NewFake();
        t->Calls["Add"] = [&](const TOleArgs& a) {
            rows = a.at(1).ToInt();
            cols = a.at(2).ToInt();
            return TOleVariant(TAutoRef(table));
        };
        return TOleVariant(TAutoRef(t));
    };
    table->Calls["Cell"] = [&](const TOleArgs&) {
        auto cell = NewFake();
        cell->Gets["Range"] = [&](const TOleArgs&) {
            auto r = NewFake();
            r->Calls["InsertAfter"] = [&](const TOleArgs& a) {
                inserted << a.at(0).ToString();
                return TOleVariant();
            };
            r->Gets["ParagraphFormat"] = [&](const TOleArgs&) {
                auto f = NewFake();
                f->Puts["Alignment"] = [&](const TOleVariant& v, const TOleArgs&) { aligns.push_back(v.ToInt()); };
                return TOleVariant(TAutoRef(f));
            };
            return TOleVariant(TAutoRef(r));
        };
        return TOleVariant(TAutoRef(cell));
    };
    sel->Calls["TypeText"] = [](const TOleArgs&) { return TOleVariant(); };
    sel->Calls["TypeParaGraph"] = [](const TOleArgs&) { return TOleVariant(); };
    app->Gets["Documents"] = [&](const TOleArgs&) {
        auto d = NewFake();
        d->Calls["Add"] = [&](const TOleArgs&) { return TOleVariant(TAutoRef(doc)); };
        return TOleVariant(TAutoRef(d));
    };
    app->Gets["Selection"] = [&](const TOleArgs&) { return TOleVariant(TAutoRef(sel)); };
    app->Calls["Quit"] = [&](const TOleArgs&) {
        ++quits;
        return TOleVariant();
    };
    RegisterAutomationServer("word.application", [&] { return TAutoRef(app); });

    TExStringGrid* g = NewGrid(2, 2, 0, 0);
    g->SetCells(0, 0, "a");
    g->SetCells(1, 1, "d");
    g->OnGetAlignment = [](TObject*, int ARow, int ACol, TAlignment& HA, TVAlignment&) {
        if (ACol == 1 && ARow == 1)
            HA = taRightJustify;
    };
    g->SaveToDOC(Path("t.doc"));
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(cols, 2);
    EXPECT_EQ(inserted, QStringList({"a", "", "", "d"}));
    EXPECT_EQ(aligns, std::vector<int>({2}));
    EXPECT_EQ(saved, QStringList({Path("t.doc")}));
    EXPECT_EQ(quits, 1);
}

// --- database ------------------------------------------------------------------------

TEST_F(GridOfficeTest, ATableOfThreeFieldsAndTenRecords)
{
    QString connected, query;
    int current = 0, closes = 0;
    auto conn = NewFake();
    conn->Calls["Open"] = [&](const TOleArgs& a) {
        connected = a.at(0).ToString();
        return TOleVariant();
    };
    conn->Calls["Close"] = [&](const TOleArgs&) {
        ++closes;
        return TOleVariant();
    };
    auto rs = NewFake();
    rs->Puts["ActiveConnection"] = [](const TOleVariant&, const TOleArgs&) {};
    rs->Calls["Open"] = [&](const TOleArgs& a) {
        query = a.at(0).ToString();
        return TOleVariant();
    };
    rs->Gets["RecordCount"] = [](const TOleArgs&) { return TOleVariant(10); };
    rs->Gets["Eof"] = [&](const TOleArgs&) { return TOleVariant(current >= 10); };
    rs->Calls["MoveNext"] = [&](const TOleArgs&) {
        ++current;
        return TOleVariant();
    };
    rs->Calls["Close"] = [&](const TOleArgs&) {
        ++closes;
        return TOleVariant();
    };
    rs->Gets["Fields"] = [&](const TOleArgs&) {
        auto f = NewFake();
        f->Gets["Count"] = [](const TOleArgs&) { return TOleVariant(3); };
        f->Gets["Item"] = [&](const TOleArgs& a) {
            const int i = a.at(0).ToInt();
            auto field = NewFake();
            field->Gets["Name"] = [i](const TOleArgs&) { return TOleVariant(QString("F%1").arg(i)); };
            field->Gets["ActualSize"] = [&, i](const TOleArgs&) { return TOleVariant(i == 2 ? 0 : 4); };
            field->Gets["Value"] = [&, i](const TOleArgs&) { return TOleVariant(QString("%1.%2").arg(current).arg(i)); };
            return TOleVariant(TAutoRef(field));
        };
        return TOleVariant(TAutoRef(f));
    };
    RegisterAutomationServer("ADODB.Connection", [&] { return TAutoRef(conn); });
    RegisterAutomationServer("ADODB.RecordSet", [&] { return TAutoRef(rs); });

    TExStringGrid* g = NewGrid(2, 2, 1, 1);
    g->SetCells(3, 11, "x"); // beyond the grid: nothing
    g->LoadFromMDBTable("db.mdb", "T");
    EXPECT_EQ(connected, "Driver={Microsoft Access Driver (*.mdb)};DBQ=db.mdb");
    EXPECT_EQ(query, "SELECT * FROM T");
    EXPECT_EQ(g->ColCount(), 4);
    EXPECT_EQ(g->RowCount(), 11);
    EXPECT_EQ(g->Cells(1, 0), "F0");
    EXPECT_EQ(g->Cells(3, 0), "F2");
    EXPECT_EQ(g->Cells(1, 1), "0.0");
    EXPECT_EQ(g->Cells(2, 10), "9.1");
    EXPECT_EQ(g->Cells(3, 5), ""); // no actual size
    EXPECT_EQ(closes, 2);
}

} // namespace
