// Column-aligned text for reading by eye (written only) and fixed-width
// records (written with field widths, read by character positions).
#include "gridpack/gridexchange/ExchangeText.h"
#include "gridpack/basegrid/RorIdad.h"
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/core/CodePages.h"
#include "platform/core/Files.h"

#include <algorithm>
#include <vector>

using namespace GridExchange;

namespace {

int SourceCol(const TExStringGrid* g, int c) { return g->SaveHiddenCells ? c : g->RemapColToReal(c); }

struct TUpdateGuard {
    explicit TUpdateGuard(TExStringGrid* g) : G(g) { G->BeginUpdate(); }
    ~TUpdateGuard() { G->EndUpdate(); }
    TExStringGrid* G;
};

QStringList CellLines(const QString& Text) { return Text.split(QLatin1String("\r\n")); }

// The text aligned within w characters.
QString AlignPiece(QString s, int w, TAlignment a)
{
    if (a == taRightJustify) {
        if (s.size() < w)
            s.prepend(QString(w - s.size(), QLatin1Char(' ')));
    } else if (a == taCenter) {
        while (s.size() < w)
            s = QLatin1Char(' ') + s + QLatin1Char(' ');
    }
    return s;
}

QString PadTo(QString s, qsizetype w)
{
    if (s.size() < w)
        s += QString(w - s.size(), QLatin1Char(' '));
    return s;
}

void WriteASCII(TExStringGrid* g, const QString& FileName, bool Unicode, bool Append)
{
    QStringList lines;
    if (Append && FileExists(FileName))
        lines = SplitLines(DecodeText(ReadFileWhole(FileName)));
    const int h = g->SaveHiddenCells ? g->NumHiddenColumns() : 0;
    const int startCol = g->SaveFixedCells || g->SaveFixedCols ? 0 : g->FixedCols();
    const int startRow = g->SaveFixedCells || g->SaveFixedRows ? 0 : g->FixedRows();
    const int endCol = g->ColCount() + h - 1;

    // Widths: the longest text line of each column over all rows.
    std::vector<int> width(size_t(std::max(0, endCol - startCol + 1)), 0);
    QString text;
    for (int c = startCol; c <= endCol; ++c) {
        int w = 0;
        for (int r = startRow; r < g->RowCount(); ++r) {
            g->SaveCell(SourceCol(g, c), r, text);
            const QStringList parts = CellLines(text);
            for (qsizetype i = 0; i < (g->Multilinecells ? parts.size() : 1); ++i)
                w = std::max(w, int(parts[i].size()));
        }
        width[size_t(c - startCol)] = w;
    }

    g->ExportNotification(0, startRow);
    for (int r = startRow; r < g->RowCount(); ++r) {
        g->ExportNotification(5, r);
        QString main;
        QStringList more;
        int left = 0;
        for (int c = startCol; c <= endCol; ++c) {
            const int k = SourceCol(g, c);
            const int w = width[size_t(c - startCol)];
            g->SaveCell(k, r, text);
            TAlignment ha = taLeftJustify;
            TVAlignment va = vtaTop;
            g->GetCellAlignment(k, r, ha, va);
            const QStringList parts = CellLines(text);
            main += PadTo(AlignPiece(parts[0], w, ha), w + 1);
            if (g->Multilinecells) {
                for (qsizetype i = 1; i < parts.size(); ++i) {
                    if (more.size() < i)
                        more.append(QString());
                    QString& l = more[i - 1];
                    l = PadTo(l, left) + AlignPiece(parts[i], w, ha);
                }
            }
            left += w + 1;
        }
        lines.append(main);
        lines.append(more);
    }
    g->ExportNotification(2, -1);
    WriteTextWhole(FileName, JoinLines(lines), Unicode ? teUTF16LE : teAnsi);
}

} // namespace

void TExStringGrid::SaveToASCII(const QString& FileName, bool Unicode) { WriteASCII(this, FileName, Unicode, false); }

void TExStringGrid::AppendToASCII(const QString& FileName, bool Unicode)
{
    WriteASCII(this, FileName, Unicode, true);
}

// ---------------------------------------------------------------------------
// Fixed width
// ---------------------------------------------------------------------------

void TExStringGrid::SaveToFixed(const QString& FileName, TIntList* positions)
{
    const int h = SaveHiddenCells ? NumHiddenColumns() : 0;
    const int c0 = SaveStartCol();
    const int c1 = SaveEndCol() + h;
    QString text;
    // Missing widths: each column's longest text line + 1.
    for (int c = c0; c <= c1; ++c) {
        if (c - c0 < positions->Count())
            continue;
        int w = 0;
        for (int r = SaveStartRow(); r <= SaveEndRow(); ++r) {
            SaveCell(SourceCol(this, c), r, text);
            for (const QString& part : CellLines(text))
                w = std::max(w, int(part.size()));
        }
        positions->Add(w + 1);
    }
    QStringList lines;
    ExportNotification(0, SaveStartRow());
    for (int r = SaveStartRow(); r <= SaveEndRow(); ++r) {
        ExportNotification(5, r);
        QString line;
        for (int c = c0; c <= c1; ++c) {
            const int w = std::max(0, positions->GetInteger(c - c0));
            SaveCell(SourceCol(this, c), r, text);
            line += text.size() > w ? text.left(w) : PadTo(text, w);
        }
        lines.append(line);
    }
    ExportNotification(2, -1);
    try {
        WriteTextWhole(FileName, JoinLines(lines), teAnsi);
    } catch (const EFileStreamError&) {
        throw DOriVireZuvez(QStringLiteral("Cannot Create file ") + FileName);
    } catch (const EWriteError&) {
        throw DOriVireZuvez(QStringLiteral("Cannot Create file ") + FileName);
    }
}

void TExStringGrid::LoadFromFixed(const QString& FileName, TIntList* positions, bool DoTrim, int MaxRows)
{
    QByteArray bytes;
    try {
        bytes = ReadFileWhole(FileName);
    } catch (const EFileStreamError&) {
        throw DOriVireZuvez(QStringLiteral("File ") + FileName + QStringLiteral(" not found"));
    }
    const int fields = positions->Count() - 1;
    if (fields < 1)
        return;
    if (FixedCols() + fields > MaxRealCols)
        throw DOriVireZuvez(QStringLiteral("Too many columns"));
    const QStringList lines = SplitLines(DecodeText(bytes, nullptr));
    TUpdateGuard update(this);
    SetColCount(FixedCols() + fields);
    std::vector<int> pos;
    for (int i = 0; i < positions->Count(); ++i)
        pos.push_back(positions->GetInteger(i));
    std::sort(pos.begin(), pos.end());
    for (int i = 0; i < positions->Count(); ++i)
        positions->SetInteger(i, pos[size_t(i)]);

    int row = SaveStartRow();
    for (qsizetype li = 0; li < lines.size(); ++li) {
        const QString& line = lines[li];
        for (int j = 1; j <= fields; ++j) {
            const int from = std::max(0, pos[size_t(j - 1)] - 1);
            QString f = line.mid(from, std::max(0, pos[size_t(j)] - pos[size_t(j - 1)]));
            if (DoTrim)
                f = f.trimmed();
            if (row < RowCount())
                LoadCell(SourceCol(this, SaveStartCol() + j - 1), row, f);
        }
        if (MaxRows != -1 && li + 1 >= std::max(1, MaxRows))
            break;
        if (row + 1 >= RowCount() && li + 1 < lines.size())
            SetRowCount(row + 2);
        ++row;
    }
    CellsChanged(TRect{0, 0, ColCount(), RowCount()});
    CellsLoaded();
}
