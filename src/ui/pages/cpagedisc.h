#pragma once

#include "core/records/covers.h"

#include <QWizardPage>

class QDateEdit;
class QLineEdit;
class QRadioButton;

namespace tarvo {

struct GuiContext;

// "Vyřazení obalu": one discard record of a cover, edited in memory. The
// caller hands in the record, runs the wizard and, on success, hands
// Record() to the covers register. The weight shown beside the quantity is
// the quantity times the cover's unit weight; it is not stored.
class CPageDisc : public QWizardPage {
    Q_OBJECT
public:
    explicit CPageDisc(const GuiContext& context, DiscardRecord record = {NoRecord, OleDate::Now()},
                       QWidget* parent = nullptr);

    const DiscardRecord& Record() const { return m_record; }

    // The cover's unit weight as read when the page opened.
    Quantity UnitWeight() const { return m_unitWeight; }

    void initializePage() override;
    bool validatePage() override;

    QDateEdit* DateEdit() const { return m_date; }
    QLineEdit* QuantityEdit() const { return m_quantity; }
    QLineEdit* WeightEdit() const { return m_weight; }
    QRadioButton* KindButton(int code) const { return m_kinds[code]; }

private:
    void OnQuantityEdited();
    void OnWeightEdited();

    const GuiContext& m_context;
    DiscardRecord m_record;

    QDateEdit* m_date;
    QLineEdit* m_quantity;
    QLineEdit* m_weight;
    QRadioButton* m_kinds[3];
    Quantity m_unitWeight = Quantity::FromUnits(0);
};

} // namespace tarvo
