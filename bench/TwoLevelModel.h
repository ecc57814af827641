// The Qt peer's item model for the tree benchmarks: Parents top-level rows,
// each with Children child rows, one column. Top-level rows have internal id
// 0, a child row an id made from the number of its parent plus one, spread
// over all its bits (as a pointer would be): the view keeps a persistent
// index per expanded row in a hash keyed by row and id, and small consecutive
// ids made that hash cluster so badly that expanding and freeing the view took
// time quadratic in the rows (1 000 000 rows never finished).
#pragma once

#include <QAbstractItemModel>

class TTwoLevelModel : public QAbstractItemModel {
public:
    TTwoLevelModel(int Parents, int Children) : FParents(Parents), FChildren(Children) {}

    QModelIndex index(int row, int column, const QModelIndex& parent) const override {
        if (column != 0 || row < 0) return {};
        if (!parent.isValid()) return row < FParents ? createIndex(row, 0, quintptr(0)) : QModelIndex();
        if (parent.internalId() != 0 || row >= FChildren) return {};
        return createIndex(row, 0, quintptr((quint64(parent.row()) + 1) * kSpread));
    }
    QModelIndex parent(const QModelIndex& child) const override {
        if (!child.isValid() || child.internalId() == 0) return {};
        return createIndex(int(quint64(child.internalId()) * kUnspread - 1), 0, quintptr(0));
    }
    int rowCount(const QModelIndex& parent) const override {
        if (!parent.isValid()) return FParents;
        return parent.internalId() == 0 ? FChildren : 0;
    }
    int columnCount(const QModelIndex&) const override { return 1; }
    QVariant data(const QModelIndex&, int) const override { return {}; }

private:
    static constexpr quint64 kSpread = 0x9E3779B97F4A7C15ull;   // odd: invertible modulo 2^64
    static constexpr quint64 kUnspread = 0xF1DE83E19937733Dull;  // kSpread * kUnspread == 1
    int FParents, FChildren;
};
