#include "ui/pages/pickerlist.h"

#include "ui/framework/clistmodel.h"

#include <QHeaderView>

namespace tarvo {

CPickerList::CPickerList(IMessagePort& messages, std::unique_ptr<IRowSource> rows, IdLoader loader,
                         QWidget* parent)
    : CRecordList(new CListModel(messages, std::move(rows)), false, parent),
      m_loader(std::move(loader)) {
    SetSortable(false);
    setShowGrid(true);
    horizontalHeader()->setSectionsMovable(true);
}

void CPickerList::Fill() {
    if (m_filled)
        return;
    m_filled = true;
    // After an error the list shows the rows read before it.
    Model()->Load(m_loader);
    FitColumns();
}

RecordId CPickerList::SelectedId() const {
    const std::vector<int> rows = SelectedRows();
    return rows.empty() ? NoRecord : Model()->Id(rows.front());
}

} // namespace tarvo
