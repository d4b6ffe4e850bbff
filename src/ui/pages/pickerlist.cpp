#include "ui/pages/pickerlist.h"

#include "ui/framework/listmodel.h"

#include <QHeaderView>

namespace tarvo {

PickerList::PickerList(IMessagePort& messages, std::unique_ptr<IRowSource> rows, IdLoader loader,
                       QWidget* parent)
    : RecordList(new ListModel(messages, std::move(rows)), false, parent),
      m_loader(std::move(loader)) {
    SetSortable(false);
    setShowGrid(true);
    horizontalHeader()->setSectionsMovable(true);
}

void PickerList::Fill() {
    if (m_filled)
        return;
    m_filled = true;
    // After an error the list shows the rows read before it.
    Model()->Load(m_loader);
    FitColumns();
}

RecordId PickerList::SelectedId() const {
    const std::vector<int> rows = SelectedRows();
    return rows.empty() ? NoRecord : Model()->Id(rows.front());
}

} // namespace tarvo
