// Round trips of a large grid of awkward texts through every exchange the
// grid has: each cell must come back equal, but for what a format cannot
// carry, which the table below names with its reason.
#include "GridData3Fixture.h"

#include "platform/core/CodePages.h"

#include <QTemporaryDir>
#include <functional>

namespace {

const int kCols = 6;
const int kRows = 10000;

// Commas, quotes, tabs, line breaks of every kind, blanks at the ends,
// characters beyond ASCII and empty texts, alone and mixed.
const QStringList& Awkward()
{
    static const QStringList pool = {
        QString(),
        QStringLiteral("plain"),
        QStringLiteral("a,b,c"),
        QStringLiteral("say \"hi\""),
        QStringLiteral("\"quoted\""),
        QStringLiteral("\""),
        QStringLiteral("tab\there"),
        QStringLiteral("two\r\nlines"),
        QStringLiteral("lf\nonly"),
        QStringLiteral("cr\ronly"),
        QStringLiteral("x\r\n"),
        QStringLiteral("\nfirst"),
        QStringLiteral("\r\n\r\n"),
        QStringLiteral("  lead"),
        QStringLiteral("trail  "),
        QStringLiteral("   "),
        QString::fromUtf8("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xC3\xB1 \xE6\x97\xA5\xE6\x9C\xAC"),
        QStringLiteral("semi;colon"),
        QStringLiteral(" mix,\t\"a\"\r\n\n\r;end "),
        QStringLiteral("back\\slash\\n"),
        QStringLiteral("tab\tand\r\nbreak"),
        QStringLiteral("; ,"),
    };
    return pool;
}

// Column 0 names its row, so that a shifted row shows at once.
QString CellText(int c, int r)
{
    const QStringList& pool = Awkward();
    const QString& v = pool[(c * 5 + r * 3 + r / pool.size()) % pool.size()];
    return c == 0 ? QString::number(r) + v : v;
}

// What each exchange gives back for a text it cannot carry whole.
QString Unchanged(const QString& v) { return v; }
// The ANSI code page has no place for the other characters.
QString ThroughAnsi(const QString& v) { return DecodeAnsi(EncodeAnsi(v)); }
// A CSV field stores every line break as one vertical tab, which reads back
// as CR LF: a lone CR or LF comes back as CR LF.
QString LineBreaksAsCrLf(const QString& v)
{
    QString s = v;
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    s.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return s;
}

class GridRoundTripTest : public GridData3Test {
protected:
    TExStringGrid* Filled()
    {
        auto* g = NewGrid(kCols, kRows, 0, 0);
        g->Multilinecells = true;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                g->SetCells(c, r, CellText(c, r));
        return g;
    }
    TExStringGrid* Empty()
    {
        auto* g = NewGrid(2, 2, 0, 0);
        g->Multilinecells = true;
        return g;
    }
    // Every cell against the expectation; stops after a few differences.
    static void ExpectCells(TExStringGrid* g, const std::function<QString(const QString&)>& expected,
                            const char* what)
    {
        ASSERT_EQ(g->ColCount(), kCols) << what;
        ASSERT_EQ(g->RowCount(), kRows) << what;
        int wrong = 0;
        for (int r = 0; r < kRows && wrong < 5; ++r)
            for (int c = 0; c < kCols && wrong < 5; ++c) {
                const QString want = expected(CellText(c, r));
                if (g->Cells(c, r) != want) {
                    ++wrong;
                    ADD_FAILURE() << what << ": cell (" << c << ", " << r << ") is \""
                                  << g->Cells(c, r).toStdString() << "\", expected \"" << want.toStdString() << "\"";
                }
            }
    }
    QString Path(const QString& name) const { return Dir.filePath(name); }
    QTemporaryDir Dir;
};

TEST_F(GridRoundTripTest, EveryExchangeGivesTheCellsBack)
{
    auto* g = Filled();
    struct Case {
        const char* What;
        std::function<void(TExStringGrid* from, TExStringGrid* to)> Trip;
        // Unchanged, or the format's limit with its reason (see above).
        QString (*Expected)(const QString&);
    };
    const QString txt = Path("g.txt"), ansi = Path("a.txt"), bin = Path("g.bin"), csv = Path("g.csv"),
                  xml = Path("g.xml");
    const std::vector<Case> cases = {
        {"grid text file, Unicode",
         [&](auto* f, auto* t) {
             f->SaveToFile(txt, true);
             t->LoadFromFile(txt);
         },
         Unchanged},
        {"grid text file, ANSI",
         [&](auto* f, auto* t) {
             f->SaveToFile(ansi, false);
             t->LoadFromFile(ansi);
         },
         ThroughAnsi},
        {"binary cell file",
         [&](auto* f, auto* t) {
             f->SaveToBinFile(bin);
             t->LoadFromBinFile(bin);
         },
         Unchanged},
        {"CSV, comma",
         [&](auto* f, auto* t) {
             f->Delimiter = t->Delimiter = QLatin1Char(',');
             f->SaveToCSV(csv, true);
             t->LoadFromCSV(csv);
         },
         LineBreaksAsCrLf},
        {"CSV, semicolon",
         [&](auto* f, auto* t) {
             f->Delimiter = t->Delimiter = QLatin1Char(';');
             f->SaveToCSV(csv, true);
             t->LoadFromCSV(csv);
         },
         LineBreaksAsCrLf},
        {"XML",
         [&](auto* f, auto* t) {
             f->SaveToXML(xml, "LIST", "REC", nullptr, true);
             t->LoadFromXML(xml);
         },
         Unchanged},
        {"clipboard within the grid",
         [&](auto* f, auto* t) {
             f->SetSelection(TGridRect{0, 0, kCols - 1, kRows - 1});
             f->CopySelectionToClipboard();
             t->SetColCount(kCols);
             t->SetRowCount(kRows);
             t->SetSelection(TGridRect{0, 0, 0, 0});
             t->PasteSelectionFromClipboard();
         },
         Unchanged},
    };
    for (const Case& k : cases) {
        auto* t = Empty();
        k.Trip(g, t);
        ExpectCells(t, k.Expected, k.What);
    }
}

} // namespace
