#pragma once

// moc cannot parse the C++20 library headers these bring in; it needs none
// of their declarations.
#ifndef Q_MOC_RUN
#include "core/data/oledate.h"
#include "core/data/quantity.h"
#include "core/data/recordid.h"
#endif

#include <QWizardPage>
#include <cstdint>

class QDateEdit;
class QLineEdit;
class QRadioButton;

namespace tarvo {

struct GuiContext;

// "Vyřazení obalu": one discard of a cover. The caller sets the values (and
// the cover), runs the wizard and writes the discard on success.
class CPageDisc : public QWizardPage {
    Q_OBJECT
public:
    explicit CPageDisc(const GuiContext& context, QWidget* parent = nullptr);

    OleDate date = OleDate::Now();
    Quantity quantity = Quantity::FromUnits(0);
    Quantity weight = Quantity::FromUnits(0);
    int kind = 2; // "Recyklováno"
    RecordId coverId = NoRecord;

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
