#pragma once

#include "core/data/idlist.h"
#include "core/data/recordid.h"
#include "core/data/rowsource.h"
#include "ui/framework/recordlist.h"

#include <QLineEdit>
#include <functional>
#include <memory>

namespace tarvo {

class IMessagePort;

// The list of a page that picks one record: a report list with grid lines,
// single whole-row selection and movable columns, not sorted by its headers.
// It is filled once, on the first call of Fill(), and every column then fits
// its header and contents.
class PickerList : public RecordList {
    Q_OBJECT
public:
    // Loads the identifiers in list order; shows the error and returns false
    // on a database error.
    using IdLoader = std::function<bool(IdList& ids)>;

    PickerList(IMessagePort& messages, std::unique_ptr<IRowSource> rows, IdLoader loader,
               QWidget* parent = nullptr);

    // Fills the list the first time, its first row selected; later calls
    // keep it.
    void Fill();
    // The record of the selected row, or NoRecord.
    RecordId SelectedId() const;
    // Selects the first row whose name (the first column) begins with the
    // text, else the first that holds it, letter case and diacritics aside;
    // no row when none does. An empty text selects the first row.
    void SelectMatching(const QString& text);

private:
    IdLoader m_loader;
    bool m_filled = false;
};

// The search box above a picker's list ("&Hledat:" is its label): typing
// selects the first matching row of the list it serves; the arrow and page
// keys move in that list.
class PickerSearch : public QLineEdit {
    Q_OBJECT
public:
    explicit PickerSearch(QWidget* parent = nullptr);

    // The list it serves (the cover picker has one for each tab).
    void SetList(PickerList* list);
    // The row and the label for a page's layout.
    QLayout* MakeRow();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    PickerList* m_list = nullptr;
};

} // namespace tarvo
