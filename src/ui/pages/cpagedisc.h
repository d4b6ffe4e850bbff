#pragma once

// moc cannot parse the C++20 library headers these bring in; it needs none
// of their declarations.
#ifndef Q_MOC_RUN
#include "core/registers/coverregister.h"
#endif

#include <QWizardPage>
#include <cstdint>

class QDateEdit;
class QLineEdit;
class QRadioButton;

namespace tarvo {

struct GuiContext;

// "Vyřazení obalu": one discard record of a cover, edited in memory. The
// caller sets the record, runs the wizard and, on success, hands the record
// to the covers register.
class CPageDisc : public QWizardPage {
    Q_OBJECT
public:
    explicit CPageDisc(const GuiContext& context, QWidget* parent = nullptr);

    DiscardRecord discard{NoRecord, OleDate::Now()};
    // The discarded weight: the quantity times the cover's unit weight.
    Quantity weight = Quantity::FromUnits(0);

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

    QDateEdit* m_date;
    QLineEdit* m_quantity;
    QLineEdit* m_weight;
    QRadioButton* m_kinds[3];
    Quantity m_unitWeight = Quantity::FromUnits(0);
};

} // namespace tarvo
