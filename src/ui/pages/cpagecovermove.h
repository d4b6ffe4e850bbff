#pragma once

// moc cannot parse the C++20 library headers these bring in; it needs none
// of their declarations.
#ifndef Q_MOC_RUN
#include "core/data/quantity.h"
#include "core/data/recordid.h"
#endif

#include <QWizardPage>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tarvo {

struct GuiContext;
class QuantityCoupling;

// One cover line of a dispatch as the page edits it: only the quantity (and
// the weight it makes) can change; the cover and its codes are handed in.
struct CoverLineValues {
    RecordId cover = NoRecord;
    Quantity coverQty = Quantity::FromUnits(0);
    Quantity totalWeight = Quantity::FromUnits(0);
    int type = -1;
    int origin = -1;
    int payment = -1;
};

// "Zadejte množství": the quantity of a dispatch cover line, with the cover's
// material, codes, statistics category and reusability shown disabled.
class CPageCoverMove : public QWizardPage {
    Q_OBJECT
public:
    explicit CPageCoverMove(const GuiContext& context, CoverLineValues values = {},
                            QWidget* parent = nullptr);

    const CoverLineValues& Values() const { return m_values; }
    // The cover chosen on the page before, with the codes the line takes.
    void SetCover(RecordId cover, int type, int origin, int payment);
    Quantity UnitWeight() const;

    void initializePage() override;
    bool validatePage() override;

    QLineEdit* QuantityEdit() const { return m_quantity; }
    QLineEdit* WeightEdit() const { return m_weight; }
    QComboBox* MaterialCombo() const { return m_material; }
    QComboBox* TypeCombo() const { return m_type; }
    QComboBox* OriginCombo() const { return m_origin; }
    QComboBox* PaymentCombo() const { return m_payment; }
    QComboBox* StatCombo() const { return m_stat; }
    QCheckBox* ReusableBox() const { return m_reusable; }

private:
    void Open();

    const GuiContext& m_context;
    CoverLineValues m_values;
    bool m_opened = false;
    QLineEdit* m_quantity;
    QLineEdit* m_weight;
    QComboBox* m_material;
    QComboBox* m_type;
    QComboBox* m_origin;
    QComboBox* m_payment;
    QComboBox* m_stat;
    QCheckBox* m_reusable;
    QuantityCoupling* m_coupling;
};

} // namespace tarvo
