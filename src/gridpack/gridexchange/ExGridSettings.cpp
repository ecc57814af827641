// Column widths and order in an INI file or the registry's stand-in, the
// one-line column state text, and the visual-properties file.
#include "gridpack/stringgrid/ExGrid.h"
#include "platform/core/IniFiles.h"
#include "platform/core/IntConv.h"
#include "platform/core/RegistryIni.h"

#include <memory>
#include <vector>

namespace {

// The store ColumnSize names, or none when its key or section is empty.
std::unique_ptr<TMemIniFile> OpenStore(const TColumnSize* cs)
{
    if (cs->Key.isEmpty() || cs->Section.isEmpty())
        return nullptr;
    if (cs->Location == clIniFile)
        return std::make_unique<TMemIniFile>(cs->Key);
    return std::make_unique<TRegistryIniFile>(cs->Key);
}

QString KeyName(const char* prefix, int n) { return QLatin1String(prefix) + QString::number(n); }

// True when the values are 0 .. size - 1, each once.
bool IsPermutation(const std::vector<int>& v)
{
    std::vector<bool> seen(v.size(), false);
    for (int x : v) {
        if (x < 0 || size_t(x) >= v.size() || seen[size_t(x)])
            return false;
        seen[size_t(x)] = true;
    }
    return true;
}

// Moves the columns into the order list `order` (entry p: the index the
// column at position p had) and keeps the list as read.
void ApplyColumnOrder(TExStringGrid* g, const std::vector<int>& order)
{
    std::vector<int> inverted(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        inverted[size_t(order[i])] = int(i);
    TIntList* list = g->ColumnOrder();
    list->Clear();
    for (int v : inverted)
        list->Insert(list->Count(), v);
    g->ResetColumnOrder();
    list->Clear();
    for (int v : order)
        list->Insert(list->Count(), v);
}

std::vector<int> StrictInts(const QString& Field)
{
    std::vector<int> v;
    if (Field.isEmpty())
        return v;
    for (const QString& p : Field.split(QLatin1Char(',')))
        v.push_back(StrToInt(p));
    return v;
}

} // namespace

void TExStringGrid::SaveColSizes()
{
    auto store = OpenStore(ColumnSize());
    if (!store)
        return;
    for (int n = 0; n < ColCount(); ++n)
        store->WriteInteger(ColumnSize()->Section, KeyName("Col", n), ColWidths(n));
    store->UpdateFile();
}

void TExStringGrid::LoadColSizes()
{
    auto store = OpenStore(ColumnSize());
    if (!store)
        return;
    for (int n = 0; n < ColCount(); ++n) {
        const int w = store->ReadInteger(ColumnSize()->Section, KeyName("Col", n), ColWidths(n));
        if (w != ColWidths(n) && w >= 0)
            SetColWidths(n, w);
    }
    store->UpdateFile();
}

void TExStringGrid::SaveColPositions()
{
    auto store = OpenStore(ColumnSize());
    if (!store)
        return;
    for (int n = 0; n < ColumnOrder()->Count(); ++n)
        store->WriteInteger(ColumnSize()->Section, KeyName("Pos", n), ColumnOrder()->GetInteger(n));
    store->UpdateFile();
}

void TExStringGrid::LoadColPositions()
{
    auto store = OpenStore(ColumnSize());
    if (!store)
        return;
    const QString& section = ColumnSize()->Section;
    if (store->ReadInteger(section, QStringLiteral("Pos0"), -1) == -1) {
        store->UpdateFile();
        return;
    }
    std::vector<int> order;
    for (int n = 0; n < AllColCount(); ++n) {
        const int v = store->ReadInteger(section, KeyName("Pos", n), -1);
        if (v != -1)
            order.push_back(v);
    }
    store->UpdateFile();
    // Only a full order of the columns is applied.
    if (int(order.size()) != AllColCount() || !IsPermutation(order))
        return;
    std::vector<int> hidden;
    for (int c = 0; c < AllColCount(); ++c)
        if (IsHiddenColumn(c))
            hidden.push_back(c);
    BeginUpdate();
    UnHideColumnsAll();
    ApplyColumnOrder(this, order);
    for (int c : hidden)
        HideColumn(c);
    EndUpdate();
}

QString TExStringGrid::ColumnStatesToString()
{
    const int total = AllColCount();
    QStringList widths, order, shown;
    for (int c = 0; c < total; ++c) {
        widths.append(QString::number(AllColWidths(c)));
        shown.append(IsHiddenColumn(c) ? QStringLiteral("0") : QStringLiteral("1"));
    }
    if (ColumnOrder()->Count() == 0)
        for (int c = 0; c < total; ++c)
            order.append(QString::number(c));
    else
        for (int i = 0; i < ColumnOrder()->Count(); ++i)
            order.append(QString::number(ColumnOrder()->GetInteger(i)));
    return QString::number(total) + QLatin1Char('#') + widths.join(QLatin1Char(',')) + QLatin1Char('#') +
           order.join(QLatin1Char(',')) + QLatin1Char('#') + shown.join(QLatin1Char(','));
}

void TExStringGrid::StringToColumnStates(const QString& Value)
{
    if (!Value.contains(QLatin1Char('#')))
        return;
    // Every field is read and checked before anything changes.
    const QStringList f = Value.split(QLatin1Char('#'));
    const int count = StrToInt(f.value(0));
    if (count < 1 || count > MaxRealCols)
        throw DOriVireZuvez(QStringLiteral("Invalid column count in column states"));
    const std::vector<int> widths = StrictInts(f.value(1));
    std::vector<int> order;
    for (int v : StrictInts(f.value(2)))
        if (v != -1 && int(order.size()) < count)
            order.push_back(v);
    if (!order.empty() && (int(order.size()) != count || !IsPermutation(order)))
        throw DOriVireZuvez(QStringLiteral("Invalid column order in column states"));
    const std::vector<int> shown = StrictInts(f.value(3));

    BeginUpdate();
    ColumnOrder()->Clear();
    UnHideColumnsAll();
    SetColCount(count);
    if (!order.empty())
        ApplyColumnOrder(this, order);
    for (int c = std::min(count, int(shown.size())) - 1; c >= 0; --c)
        if (shown[size_t(c)] == 0)
            HideColumn(c);
    TColumnSize* cs = ColumnSize();
    const bool stretch = cs->Stretch;
    if (stretch) {
        const int sc = cs->StretchColumn == -1 ? ColCount() - 1 : cs->StretchColumn;
        if (sc >= 0 && sc < ColCount())
            SetDefaultColWidth(ColWidths(sc));
    }
    cs->Stretch = false;
    for (int i = 0; i < std::min(count, int(widths.size())); ++i)
        if (widths[size_t(i)] >= 0)
            SetAllColWidths(i, widths[size_t(i)]);
    cs->Stretch = stretch;
    EndUpdate();
}
