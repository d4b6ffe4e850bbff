#pragma once

#include "core/records/dispatches.h"

#include <QWizardPage>

class QLabel;
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

    // The product counted, chosen on the page before.
    void SetProduct(RecordId product) { m_record.product = product; }
    // "Produkt: Jogurt (jednotka: ks)".
    QLabel* Caption() const { return m_caption; }
    QLineEdit* QuantityEdit() const { return m_edit; }

private:
    const GuiContext& m_context;
    MoveLineRecord m_record;
    bool m_opened = false;
    QLineEdit* m_edit;
    QLabel* m_caption;
};

} // namespace tarvo
