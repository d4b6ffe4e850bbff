#include "ui/framework/listmodel.h"

namespace tarvo {

ListModel::ListModel(IMessagePort& messages, std::unique_ptr<IRowSource> source, QObject* parent)
    : QAbstractTableModel(parent), m_rows(messages, std::move(source)) {}

ListModel::~ListModel() = default;

bool ListModel::Load(const std::function<bool(IdList&)>& loader, RecordId keep) {
    beginResetModel();
    // The old rows go first: a long list and its pending order must not be
    // held twice while the new one loads.
    m_rows.Clear();
    IdList ids;
    ids.Keep(keep);
    const bool ok = loader(ids);
    m_rows.SetIds(std::move(ids));
    endResetModel();
    return ok;
}

void ListModel::Clear() {
    beginResetModel();
    m_rows.Clear();
    endResetModel();
}

void ListModel::RefreshRow(int row) {
    if (row < 0 || row >= Count())
        return;
    m_rows.RefreshRow(row);
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void ListModel::RemoveRow(int row) {
    if (row < 0 || row >= Count())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.RemoveRow(row);
    endRemoveRows();
}

QString ListModel::Cell(int row, int column) const {
    return QString::fromStdString(m_rows.Cell(row, column));
}

int ListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

int ListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows.ColumnCount();
}

QVariant ListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return Cell(index.row(), index.column());
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_rows.ColumnCount())
        return {};
    return QString::fromStdString(m_rows.Headers()[static_cast<size_t>(section)]);
}

} // namespace tarvo
