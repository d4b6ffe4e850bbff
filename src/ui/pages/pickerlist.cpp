#include "ui/pages/pickerlist.h"

#include <QAbstractTableModel>
#include <QHeaderView>

namespace tarvo {

// Shows a RowList; its cells are read when a row is first painted.
class PickerModel : public QAbstractTableModel {
public:
    PickerModel(RowList rows, QObject* parent)
        : QAbstractTableModel(parent), m_rows(std::move(rows)) {}

    RowList& Rows() { return m_rows; }
    void SetIds(IdList ids) {
        beginResetModel();
        m_rows.SetIds(std::move(ids));
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : m_rows.Count();
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : m_rows.ColumnCount();
    }
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return QString::fromStdString(m_rows.Cell(index.row(), index.column()));
    }
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override {
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal ||
            section >= m_rows.ColumnCount())
            return {};
        return QString::fromStdString(m_rows.Headers()[section]);
    }

private:
    // Reading cells fills the row cache, which data() cannot do on a const list.
    mutable RowList m_rows;
};

CPickerList::CPickerList(RowList rows, IdLoader loader, QWidget* parent)
    : QTableView(parent), m_model(new PickerModel(std::move(rows), this)),
      m_loader(std::move(loader)) {
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(true);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit rowActivated();
    });
}

void CPickerList::Fill() {
    if (m_filled)
        return;
    m_filled = true;
    IdList ids;
    // After an error the list shows the rows read before it.
    m_loader(ids);
    m_model->SetIds(std::move(ids));
    resizeColumnsToContents();
}

int CPickerList::RowCount() const {
    return m_model->rowCount();
}

RecordId CPickerList::SelectedId() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? NoRecord : m_model->Rows().Id(rows.first().row());
}

void CPickerList::SelectRow(int row) {
    if (row < 0 || row >= RowCount())
        return;
    const QModelIndex index = m_model->index(row, 0);
    scrollTo(index);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
}

} // namespace tarvo
