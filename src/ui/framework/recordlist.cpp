#include "ui/framework/recordlist.h"

#include "ui/framework/listmodel.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHeaderView>

namespace tarvo {

RecordList::RecordList(ListModel* model, bool multiSelect, QWidget* parent)
    : QTableView(parent), m_model(model) {
    setModel(model);
    model->setParent(this);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(multiSelect ? QAbstractItemView::ExtendedSelection
                                 : QAbstractItemView::SingleSelection);
    setShowGrid(true);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(false);
    setTabKeyNavigation(false);
    // Uniform rows: the view never measures a million of them.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setStretchLastSection(true);
    // Fitting a column measures the rows shown and the rows around them up
    // to this many: Qt's default of a thousand read and measured 8,000 cells
    // of a long list at every load, a sixth of a second.
    horizontalHeader()->setResizeContentsPrecision(100);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &RecordList::headerClicked);
    // A column dragged wider or narrower (the mouse is down while it
    // changes) is the user's; the list fitting itself and the last column
    // stretching with the list are not.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (!m_fitting && QGuiApplication::mouseButtons().testFlag(Qt::LeftButton))
            m_sizedByUser = true;
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && index.row() < m_model->Count())
            emit rowActivated(index.row());
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection&) {
                emit selectionChangedRows(!selected.isEmpty());
            });
}

void RecordList::SetSort(int column, bool descending) {
    m_sortColumn = column;
    m_sortDescending = descending;
}

void RecordList::ClickSort(int column) {
    if (column != m_sortColumn)
        SetSort(column, false);
    else
        m_sortDescending = !m_sortDescending;
}

void RecordList::SetSortable(bool sortable) {
    m_sortable = sortable;
    horizontalHeader()->setSectionsClickable(sortable);
    horizontalHeader()->setSectionsMovable(sortable);
    horizontalHeader()->setSortIndicatorShown(sortable);
    setShowGrid(sortable);
}

void RecordList::ShowSortArrow() {
    if (!m_sortable)
        return;
    horizontalHeader()->setSortIndicator(m_sortColumn, m_sortDescending ? Qt::DescendingOrder
                                                                        : Qt::AscendingOrder);
}

std::vector<int> RecordList::SelectedRows() const {
    std::vector<int> rows;
    // Ranges, not indexes: selecting a million rows stays one range.
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            if (rows.empty() || rows.back() != row)
                rows.push_back(row);
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int RecordList::SelectedCount() const {
    // Up to two is all the cascade needs to know, and stays cheap.
    int count = 0;
    int lastRow = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (range.top() == range.bottom() && range.top() == lastRow)
            continue;
        count += range.bottom() - range.top() + 1;
        lastRow = range.bottom();
        if (count > 1)
            return count;
    }
    return count;
}

bool RecordList::HasSelection() const {
    return selectionModel()->hasSelection();
}

int RecordList::FocusedRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

void RecordList::SelectRow(int row) {
    if (row < 0 || row >= m_model->Count())
        return;
    const QModelIndex index = m_model->index(row, 0);
    scrollTo(index);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
}

void RecordList::ClearSelectionAndFocus() {
    selectionModel()->clearSelection();
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void RecordList::FitColumns() {
    m_fitting = true;
    horizontalHeader()->setStretchLastSection(false);
    resizeColumnsToContents();
    horizontalHeader()->setStretchLastSection(true);
    m_fitting = false;
}

void RecordList::FitColumnsAfterLoad() {
    if (!m_sizedByUser)
        FitColumns();
}

void RecordList::SetColumnWidths(const std::vector<int>& widths) {
    for (size_t column = 0; column < widths.size(); ++column) {
        if (widths[column] > 0)
            setColumnWidth(static_cast<int>(column), widths[column]);
    }
    m_sizedByUser = true;
}

void RecordList::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex index = indexAt(viewport()->mapFromGlobal(event->globalPos()));
    emit contextMenuRequested(index.isValid() ? index.row() : -1, event->globalPos());
}

} // namespace tarvo
