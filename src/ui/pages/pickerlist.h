#pragma once

#include "core/data/idlist.h"
#include "core/data/recordid.h"
#include "core/data/rowsource.h"
#include "ui/framework/recordlist.h"

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

    // Fills the list the first time; later calls keep it.
    void Fill();
    // The record of the selected row, or NoRecord.
    RecordId SelectedId() const;

private:
    IdLoader m_loader;
    bool m_filled = false;
};

} // namespace tarvo
