#pragma once

// moc cannot parse the C++20 library headers these bring in; it needs none
// of their declarations.
#ifndef Q_MOC_RUN
#include "core/data/recordid.h"
#include "core/data/rowlist.h"
#endif

#include <QTableView>
#include <functional>

namespace tarvo {

class PickerModel;

// The list of a page that picks one record: report style with grid lines,
// single whole-row selection and movable columns, no sorting by header. It is
// filled once, on the first call of Fill(), and every column fits its header
// and contents.
class CPickerList : public QTableView {
    Q_OBJECT
public:
    // Loads the identifiers in list order; shows the error and returns false
    // on a database error.
    using IdLoader = std::function<bool(IdList& ids)>;

    CPickerList(RowList rows, IdLoader loader, QWidget* parent = nullptr);

    // Fills the list the first time; later calls keep it.
    void Fill();
    bool IsFilled() const { return m_filled; }
    int RowCount() const;
    // The record of the selected row, or NoRecord.
    RecordId SelectedId() const;
    void SelectRow(int row);

signals:
    // A double click on a row.
    void rowActivated();

private:
    PickerModel* m_model;
    IdLoader m_loader;
    bool m_filled = false;
};

} // namespace tarvo
