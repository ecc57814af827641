#pragma once
// The table model a Qt developer writes for a large grid shown in a
// QTableView: the texts in one vector of rows, display and edit roles,
// row insertion and removal. The peer of the string grid's benchmarks.
#include <QAbstractTableModel>
#include <QHeaderView>
#include <QTableView>

#include <vector>

class TSimpleTableModel : public QAbstractTableModel {
public:
    TSimpleTableModel(int rows, int cols) : FCols(cols), FRows(size_t(rows), std::vector<QString>(size_t(cols))) {}
    // Over rows a reader has already split into texts.
    TSimpleTableModel(std::vector<std::vector<QString>> rows, int cols) : FCols(cols), FRows(std::move(rows)) {}
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(FRows.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : FCols; }
    QVariant data(const QModelIndex& i, int role) const override
    {
        if (role != Qt::DisplayRole && role != Qt::EditRole)
            return {};
        return FRows[size_t(i.row())][size_t(i.column())];
    }
    bool setData(const QModelIndex& i, const QVariant& v, int role) override
    {
        if (role != Qt::EditRole)
            return false;
        FRows[size_t(i.row())][size_t(i.column())] = v.toString();
        emit dataChanged(i, i, {role});
        return true;
    }
    Qt::ItemFlags flags(const QModelIndex&) const override
    {
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    }
    bool insertRows(int row, int count, const QModelIndex& parent = {}) override
    {
        beginInsertRows(parent, row, row + count - 1);
        FRows.insert(FRows.begin() + row, size_t(count), std::vector<QString>(size_t(FCols)));
        endInsertRows();
        return true;
    }
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override
    {
        beginRemoveRows(parent, row, row + count - 1);
        FRows.erase(FRows.begin() + row, FRows.begin() + row + count);
        endRemoveRows();
        return true;
    }
    // Direct access for filling before a view is set, as a model's owner does.
    QString& Cell(int r, int c) { return FRows[size_t(r)][size_t(c)]; }
    const QString& Cell(int r, int c) const { return FRows[size_t(r)][size_t(c)]; }
    // Tells the view once about a block written through Cell.
    void CellsChanged(int r0, int c0, int r1, int c1) { emit dataChanged(index(r0, c0), index(r1, c1)); }

private:
    int FCols;
    std::vector<std::vector<QString>> FRows;
};

// Sets a filled model on its view the way a Qt developer does for a large
// table: every row and column keeps the default size (no measuring of
// contents), so the headers need no per-section work.
inline void SetOnView(QTableView& view, QAbstractItemModel* model)
{
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.setModel(model);
}
