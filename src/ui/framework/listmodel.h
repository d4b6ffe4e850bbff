#pragma once

#include "core/data/rowlist.h"

#include <QAbstractTableModel>
#include <functional>
#include <memory>

namespace tarvo {

class IMessagePort;

// The Qt face of one list: the rows of a RowList (the identifiers in list
// order, the cells of the rows shown read in chunks by the row source), with
// the model resets and change signals the item view needs. The ordering and
// the reading live in the core.
class ListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    ListModel(IMessagePort& messages, std::unique_ptr<IRowSource> source,
              QObject* parent = nullptr);
    ~ListModel() override;

    // Fills a new identifier list with the loader (a register's ordered
    // load) and shows it; the row of keep is found at once (IdList::Keep).
    // Returns the loader's result: false after a database error, which the
    // loader has shown; the rows read before it are shown.
    bool Load(const std::function<bool(IdList&)>& loader, RecordId keep = NoRecord);
    void Clear();

    RecordId Id(int row) const { return m_rows.Id(row); }
    // The first row holding the identifier, or -1.
    int RowOf(RecordId id) const { return m_rows.RowOf(id); }
    const std::vector<RecordId>& Ids() const { return m_rows.Ids().Ids(); }
    int Count() const { return m_rows.Count(); }

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
    // Reading cells fills the row cache, also from the const item-view calls.
    mutable RowList m_rows;
};

} // namespace tarvo
