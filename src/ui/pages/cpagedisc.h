#pragma once

#include "core/records/covers.h"

#include <QWizardPage>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QRadioButton;

namespace tarvo {

struct GuiContext;

// "Vyřazení obalu": one discard record of a cover and its destination
// (DiscardDestinations), edited in memory. The caller hands in both, runs the
// wizard and, on success, hands Record() and Destination() to the covers
// register in one operation. A recycled cover went to one of the recycling
// destinations or to "oprava dřevěných obalů"; the other kinds have the one
// they imply. The weight shown beside the quantity is the quantity times the
// cover's unit weight; it is not stored.
class CPageDisc : public QWizardPage {
    Q_OBJECT
public:
    explicit CPageDisc(const GuiContext& context, DiscardRecord record = {NoRecord, OleDate::Now()},
                       int destination = -1, QWidget* parent = nullptr);

    const DiscardRecord& Record() const { return m_record; }
    int Destination() const { return m_destination; }

    // The cover's unit weight as read when the page opened.
    Quantity UnitWeight() const { return m_unitWeight; }

    void initializePage() override;
    bool validatePage() override;

    QDateEdit* DateEdit() const { return m_date; }
    QLineEdit* QuantityEdit() const { return m_quantity; }
    QLineEdit* WeightEdit() const { return m_weight; }
    QRadioButton* KindButton(int code) const { return m_kinds[code]; }
    QComboBox* DestinationCombo() const { return m_destinationCombo; }

private:
    void OnQuantityEdited();
    void OnWeightEdited();

    const GuiContext& m_context;
    DiscardRecord m_record;
    int m_destination;

    QDateEdit* m_date;
    QLineEdit* m_quantity;
    QLineEdit* m_weight;
    QRadioButton* m_kinds[3];
    QComboBox* m_destinationCombo;
    Quantity m_unitWeight = Quantity::FromUnits(0);
};

} // namespace tarvo
