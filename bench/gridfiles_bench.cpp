// The string grid's file exchange against plain code doing the same work, in
// one run:
//  - CSV: loading a file of 10 fields per row, 5 % of them quoted (100,000
//    rows, about 10 MB; 1,000,000 rows, about 100 MB, with KAL_BENCH_FULL set)
//    at most 3 times a plain reader that decodes the file, splits lines and
//    splits fields at commas into strings; writing it back at most 2 times a
//    plain writer;
//  - XML: LoadFromXML of 100,000 records x 5 fields at most 2 times parsing
//    the file and walking it with the XML library alone;
//  - HTML: SaveToHTMLString of 100,000 x 5 cells in 3 looks at most 2 times a
//    plain builder of the same <TD> elements;
//  - binary: a round trip of 100 x 100 cells, half with properties, at most 5
//    times the grid text stream round trip of the same cells;
//  - CSV and XML loading and CSV saving also against a QTableView over a
//    simple model filled by the same plain code, with the same limits.
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/controls/Forms.h"
#include "platform/core/CodePages.h"
#include "platform/core/Files.h"
#include "platform/core/Streams.h"
#include "platform/xml/XmlDoc.h"

#include "BenchMain.h"
#include "BenchMedian.h"
#include "SimpleTableModel.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

int CsvRows() { return qEnvironmentVariableIsSet("KAL_BENCH_FULL") ? 1000000 : 100000; }
constexpr int kFields = 10;
constexpr int kXmlRecords = 100000, kXmlFields = 5;
constexpr int kHtmlRows = 100000, kHtmlCols = 5;

QTemporaryDir& Dir()
{
    static QTemporaryDir dir;
    return dir;
}
QString PathOf(const char* name) { return Dir().filePath(QLatin1String(name)); }

const QString& CsvFile()
{
    static const QString path = [] {
        QString text;
        int n = 0;
        for (int r = 0; r < CsvRows(); ++r) {
            for (int c = 0; c < kFields; ++c) {
                if (c)
                    text += QLatin1Char(',');
                // every twentieth field quoted, holding the delimiter
                if (++n % 20 == 0)
                    text += QStringLiteral("\"q,%1\"").arg(r);
                else
                    text += QStringLiteral("value%1").arg(r % 1000);
            }
            text += QLatin1String("\r\n");
        }
        const QString p = PathOf("big.csv");
        WriteFileWhole(p, EncodeAnsi(text));
        return p;
    }();
    return path;
}

const QString& XmlFile()
{
    static const QString path = [] {
        QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<LIST>\r\n");
        for (int r = 0; r < kXmlRecords; ++r) {
            text += QLatin1String("<REC>\r\n");
            for (int c = 0; c < kXmlFields; ++c)
                text += QStringLiteral("<FIELD%1>v%2</FIELD%1>\r\n").arg(c).arg(r);
            text += QLatin1String("</REC>\r\n");
        }
        text += QLatin1String("</LIST>\r\n");
        const QString p = PathOf("big.xml");
        WriteFileWhole(p, EncodeAnsi(text));
        return p;
    }();
    return path;
}

struct TGridForm {
    std::unique_ptr<TForm> Form;
    TExStringGrid* Grid = nullptr;
    TGridForm()
    {
        Form.reset(NewObject<TForm>(nullptr));
        Form->SetBounds(0, 0, 800, 600);
        Grid = NewObject<TExStringGrid>(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetFixedRows(0);
        Grid->SetFixedCols(0);
    }
};

// --- CSV

void BM_CSV_Load(benchmark::State& state)
{
    const QString& file = CsvFile();
    for (auto _ : state) {
        TGridForm f;
        f.Grid->LoadFromCSV(file);
        benchmark::DoNotOptimize(f.Grid->RowCount());
    }
}
BENCHMARK(BM_CSV_Load)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(7);

std::vector<QStringList> PlainRead(const QString& file)
{
    const QString text = DecodeText(ReadFileWhole(file));
    std::vector<QStringList> rows;
    for (const QString& line : text.split(QLatin1String("\r\n"), Qt::SkipEmptyParts))
        rows.push_back(line.split(QLatin1Char(',')));
    return rows;
}

void BM_CSV_PlainRead(benchmark::State& state)
{
    const QString& file = CsvFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(PlainRead(file).size());
}
BENCHMARK(BM_CSV_PlainRead)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(7);

// What a Qt developer writes to show a CSV file: the plain reader's fields
// put into a table model, which is then set on its view.
void BM_CSV_QTableViewLoad(benchmark::State& state)
{
    const QString& file = CsvFile();
    for (auto _ : state) {
        const QString text = DecodeText(ReadFileWhole(file));
        std::vector<std::vector<QString>> rows;
        for (const QStringView line : QStringView(text).split(u"\r\n", Qt::SkipEmptyParts)) {
            std::vector<QString> fields;
            fields.reserve(kFields);
            for (const QStringView f : line.split(QLatin1Char(',')))
                fields.push_back(f.toString());
            rows.push_back(std::move(fields));
        }
        TSimpleTableModel model(std::move(rows), kFields);
        QTableView view;
        SetOnView(view, &model);
        benchmark::DoNotOptimize(model.rowCount());
    }
}
BENCHMARK(BM_CSV_QTableViewLoad)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(7);

void BM_CSV_Save(benchmark::State& state)
{
    TGridForm f;
    f.Grid->LoadFromCSV(CsvFile());
    for (auto _ : state)
        f.Grid->SaveToCSV(PathOf("out.csv"));
}
BENCHMARK(BM_CSV_Save)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(7);

void BM_CSV_PlainWrite(benchmark::State& state)
{
    const std::vector<QStringList> rows = PlainRead(CsvFile());
    for (auto _ : state) {
        QString out;
        for (const QStringList& r : rows) {
            for (qsizetype i = 0; i < r.size(); ++i) {
                if (i)
                    out += QLatin1Char(',');
                out += r[i];
            }
            out += QLatin1String("\r\n");
        }
        WriteFileWhole(PathOf("plain.csv"), EncodeAnsi(out));
    }
}
BENCHMARK(BM_CSV_PlainWrite)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(7);

// The same file written from a QTableView's model, through the model's data.
void BM_CSV_QTableViewSave(benchmark::State& state)
{
    std::vector<std::vector<QString>> rows;
    for (const QStringList& r : PlainRead(CsvFile()))
        rows.emplace_back(r.begin(), r.end());
    TSimpleTableModel model(std::move(rows), kFields);
    QTableView view;
    SetOnView(view, &model);
    for (auto _ : state) {
        QString out;
        const int n = model.rowCount(), m = model.columnCount();
        for (int r = 0; r < n; ++r) {
            for (int c = 0; c < m; ++c) {
                if (c)
                    out += QLatin1Char(',');
                out += model.data(model.index(r, c), Qt::DisplayRole).toString();
            }
            out += QLatin1String("\r\n");
        }
        WriteFileWhole(PathOf("view.csv"), EncodeAnsi(out));
    }
}
BENCHMARK(BM_CSV_QTableViewSave)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(7);

// --- XML

void BM_XML_Load(benchmark::State& state)
{
    const QString& file = XmlFile();
    for (auto _ : state) {
        TGridForm f;
        f.Grid->LoadFromXML(file);
        benchmark::DoNotOptimize(f.Grid->RowCount());
    }
}
BENCHMARK(BM_XML_Load)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(7);

void BM_XML_Plain(benchmark::State& state)
{
    const QString& file = XmlFile();
    for (auto _ : state) {
        XmlDocument doc;
        doc.LoadFromFile(file);
        std::vector<QString> texts;
        for (XmlNode rec = doc.DocumentElement().FirstChild(); rec; rec = rec.NextSibling())
            for (XmlNode f = rec.FirstChild(); f; f = f.NextSibling())
                texts.push_back(f.Text());
        benchmark::DoNotOptimize(texts.size());
    }
}
BENCHMARK(BM_XML_Plain)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(7);

// The same records shown in a QTableView: the parsed texts put into a table
// model that is then set on its view.
void BM_XML_QTableViewLoad(benchmark::State& state)
{
    const QString& file = XmlFile();
    for (auto _ : state) {
        XmlDocument doc;
        doc.LoadFromFile(file);
        std::vector<std::vector<QString>> rows;
        for (XmlNode rec = doc.DocumentElement().FirstChild(); rec; rec = rec.NextSibling()) {
            std::vector<QString> fields;
            fields.reserve(kXmlFields);
            for (XmlNode f = rec.FirstChild(); f; f = f.NextSibling())
                fields.push_back(f.Text());
            rows.push_back(std::move(fields));
        }
        TSimpleTableModel model(std::move(rows), kXmlFields);
        QTableView view;
        SetOnView(view, &model);
        benchmark::DoNotOptimize(model.rowCount());
    }
}
BENCHMARK(BM_XML_QTableViewLoad)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(7);

// --- HTML

TGridForm& HtmlGrid()
{
    static TGridForm f = [] {
        TGridForm g;
        g.Grid->SetColCount(kHtmlCols);
        g.Grid->SetRowCount(kHtmlRows);
        for (int r = 0; r < kHtmlRows; ++r)
            for (int c = 0; c < kHtmlCols; ++c)
                g.Grid->SetGridCell(c, r, QStringLiteral("cell %1").arg(r));
        // three looks: plain, coloured, bold
        for (int r = 0; r < kHtmlRows; r += 3) {
            g.Grid->SetColors(1, r, TColor(0x00FFFF));
            g.Grid->SetFontStyles(2, r, fsBold);
        }
        return g;
    }();
    return f;
}

void BM_HTML_String(benchmark::State& state)
{
    TExStringGrid* g = HtmlGrid().Grid;
    for (auto _ : state)
        benchmark::DoNotOptimize(g->SaveToHTMLString(QStringLiteral("/tmp/")).size());
}
BENCHMARK(BM_HTML_String)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(7);

void BM_HTML_Plain(benchmark::State& state)
{
    TExStringGrid* g = HtmlGrid().Grid;
    for (auto _ : state) {
        QString out;
        for (int r = 0; r < kHtmlRows; ++r) {
            out += QLatin1String("<TR>\r\n");
            for (int c = 0; c < kHtmlCols; ++c)
                out += QLatin1String("<TD class=\"c0\">") + g->GetGridCell(c, r) + QLatin1String("</td>\r\n");
            out += QLatin1String("</TR>\r\n");
        }
        benchmark::DoNotOptimize(out.size());
    }
}
BENCHMARK(BM_HTML_Plain)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(7);

// --- binary against text stream

TGridForm& SmallGrid()
{
    static TGridForm f = [] {
        TGridForm g;
        g.Grid->SetColCount(100);
        g.Grid->SetRowCount(100);
        for (int r = 0; r < 100; ++r)
            for (int c = 0; c < 100; ++c) {
                g.Grid->SetGridCell(c, r, QStringLiteral("%1/%2").arg(c).arg(r));
                if ((r + c) % 2 == 0)
                    g.Grid->SetColors(c, r, TColor(0x102030));
            }
        return g;
    }();
    return f;
}

void BM_Binary_RoundTrip(benchmark::State& state)
{
    TExStringGrid* g = SmallGrid().Grid;
    TGridForm target;
    for (auto _ : state) {
        TMemoryStream s;
        g->SaveToBinStream(&s);
        s.SetPosition(0);
        target.Grid->LoadFromBinStream(&s);
    }
}
BENCHMARK(BM_Binary_RoundTrip)->Unit(benchmark::kMillisecond)->Repetitions(7);

void BM_TextStream_RoundTrip(benchmark::State& state)
{
    TExStringGrid* g = SmallGrid().Grid;
    TGridForm target;
    for (auto _ : state) {
        TMemoryStream s;
        g->SaveToStream(&s);
        s.SetPosition(0);
        target.Grid->LoadFromStream(&s);
    }
}
BENCHMARK(BM_TextStream_RoundTrip)->Unit(benchmark::kMillisecond)->Repetitions(7);

} // namespace

// Ends non-zero when a limit is passed. The limits against a QTableView over
// a simple model are those against plain code: the view's peer does the plain
// code's work and fills a model besides. HTML and binary have no Qt view
// counterpart (a Qt developer writes the plain builder above over the model).
int main(int argc, char** argv)
{
    // Processor time, medians of seven repetitions run interleaved: wall time
    // of the saves flapped around the limit with the disk shared by others.
    std::vector<char*> args = WithInterleaving(argc, argv);
    int n = int(args.size());
    return RunRatioBenchmarks<TCpuRatioReporter>(n, args.data(), [](const TCpuRatioReporter& reporter) {
        bool ok = true;
        const char* load = "BM_CSV_Load/iterations:3";
        const char* save = "BM_CSV_Save/iterations:3";
        const char* xml = "BM_XML_Load/iterations:3";
        ok &= reporter.Within(load, "BM_CSV_PlainRead/iterations:3", 3.0, "CSV load / plain reader");
        ok &= reporter.Within(load, "BM_CSV_QTableViewLoad/iterations:3", 3.0, "CSV load / QTableView over a model");
        ok &= reporter.Within(save, "BM_CSV_PlainWrite/iterations:3", 2.0, "CSV save / plain writer");
        ok &= reporter.Within(save, "BM_CSV_QTableViewSave/iterations:3", 2.0, "CSV save / QTableView's model");
        ok &= reporter.Within(xml, "BM_XML_Plain/iterations:3", 2.0, "XML load / XML layer alone");
        ok &= reporter.Within(xml, "BM_XML_QTableViewLoad/iterations:3", 2.0, "XML load / QTableView over a model");
        ok &= reporter.Within("BM_HTML_String/iterations:3", "BM_HTML_Plain/iterations:3", 2.0, "HTML string");
        ok &= reporter.Within("BM_Binary_RoundTrip", "BM_TextStream_RoundTrip", 5.0, "binary round trip");
        return ok;
    });
}
