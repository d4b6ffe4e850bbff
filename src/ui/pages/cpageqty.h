#pragma once

#include "core/records/dispatches.h"

#include <QWizardPage>

class QLineEdit;

namespace tarvo {

struct GuiContext;

// "Zadejte množství": the quantity of a dispatch product line, the one value
// of the line a person edits; a new line starts with one unit.
class CPageQty : public QWizardPage {
    Q_OBJECT
public:
    explicit CPageQty(const GuiContext& context,
                      MoveLineRecord record = {NoRecord, NoRecord, Quantity::FromUnits(1)},
                      QWidget* parent = nullptr);

    const MoveLineRecord& Record() const { return m_record; }

    void initializePage() override;
    bool validatePage() override;

    QLineEdit* QuantityEdit() const { return m_edit; }

private:
    const GuiContext& m_context;
    MoveLineRecord m_record;
    bool m_opened = false;
    QLineEdit* m_edit;
};

} // namespace tarvo
