#pragma once

#include "core/data/rowcache.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tarvo {

class CDataStore;
class CStatement;

// The rows of one list: the record identifiers in the order of the list's
// query, and the cells of only those rows that are shown, read in chunks
// when the view asks for them. The identifiers of a million records take
// 8 MB; the text of their cells is never all in memory.
class CListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Reads the cells of the current row of rowSql (whose first column is the
    // identifier).
    using CellReader = std::function<QStringList(const CStatement&)>;

    // rowSql selects the identifier and the shown columns of the rows whose
    // identifiers are in "(%s)", for example
    // "SELECT cover_id, cover_name FROM Cover WHERE cover_id IN (%s)".
    CListModel(QStringList headers, std::string rowSql, CellReader reader,
               QObject* parent = nullptr);
    ~CListModel() override;

    // Runs idSql (one column: the identifier, in list order) and shows its
    // rows. Errors are shown through the message port; the list then keeps
    // what was read. Returns false on an error.
    bool Load(CDataStore& store, const std::string& idSql);

    // What the second column of a sorted load is compared as.
    enum class SortValue { Number, CzechText };
    // Runs sql (identifier, sort value; in any order) and orders the rows
    // here: a sort in memory is several times faster than the database's on
    // a million rows. Rows with equal values keep the query's order; an
    // empty value sorts first, as in SQL. Only the first screens are put in
    // order at once; the rest is ordered the first time a row beyond them
    // (or the whole list) is asked for, so a long list shows sooner.

    bool LoadSorted(CDataStore& store, const std::string& sql, SortValue kind, bool descending);
    void Clear();

    int64_t Id(int row) const;
    // The first row holding the identifier, or -1.
    int RowOf(int64_t id) const;
    const std::vector<int64_t>& Ids() const;
    int Count() const { return static_cast<int>(m_ids.size()); }

    // The record of the row changed: its cells are read again.
    void RefreshRow(int row);
    void RemoveRow(int row);
    // Cell text of a shown row (reads it when needed).
    QString Cell(int row, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct PendingSort;
    // Puts the rest of the list in order when row lies beyond the ordered
    // head (any row when row is -1).
    void EnsureOrdered(int row) const;
    const QStringList* RowCells(int row) const;
    void ReadChunk(int chunk) const;

    CDataStore* m_store = nullptr;
    QStringList m_headers;
    std::string m_rowSql;
    CellReader m_reader;
    mutable std::vector<int64_t> m_ids;
    mutable std::unique_ptr<PendingSort> m_pending;
    mutable size_t m_orderedRows = 0;
    mutable RowCache<QStringList> m_cache;
};

} // namespace tarvo
