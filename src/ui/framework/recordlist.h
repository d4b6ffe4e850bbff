#pragma once

#include <QTableView>
#include <cstdint>
#include <vector>

namespace tarvo {

class ListModel;

// A list of records in report style: grid lines, whole rows selected, the
// selection always shown, columns that can be dragged into another order,
// and a sort state that a click on a header changes.
class RecordList : public QTableView {
    Q_OBJECT
public:
    RecordList(ListModel* model, bool multiSelect, QWidget* parent = nullptr);

    ListModel* Model() const { return m_model; }

    int SortColumn() const { return m_sortColumn; }
    bool SortDescending() const { return m_sortDescending; }
    void SetSort(int column, bool descending);
    // The click rule: another column sorts ascending, the same column flips.
    void ClickSort(int column);
    void ShowSortArrow();
    // A list whose order is fixed (the products' validity dates): its
    // headers take no clicks and show no sort arrow, and its columns cannot
    // be dragged into another order.
    void SetSortable(bool sortable);
    bool IsSortable() const { return m_sortable; }

    std::vector<int> SelectedRows() const;
    int SelectedCount() const;
    bool HasSelection() const;
    // The focused row, or -1.
    int FocusedRow() const;
    // Scrolls the row into view and makes it selected and focused.
    void SelectRow(int row);
    void ClearSelectionAndFocus();
    // Sizes every column to its header and the rows shown.
    void FitColumns();
    // FitColumns after a load, until the user has sized a column by hand
    // or the widths the user left last time were set with SetColumnWidths:
    // from then on the list keeps the user's widths.
    void FitColumnsAfterLoad();
    void SetColumnWidths(const std::vector<int>& widths);

signals:
    void headerClicked(int column);
    void rowActivated(int row);
    // row is -1 when the click was not on a row.
    void contextMenuRequested(int row, const QPoint& globalPos);
    // The selection state of some rows changed; becameSelected tells whether
    // a row was added to the selection.
    void selectionChangedRows(bool becameSelected);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    ListModel* m_model;
    int m_sortColumn = 0;
    bool m_sortDescending = false;
    bool m_sortable = true;
    bool m_fitting = false;
    bool m_sizedByUser = false;
};

} // namespace tarvo
