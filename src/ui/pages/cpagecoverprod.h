#pragma once

// moc cannot parse the C++20 library headers these bring in; it needs none
// of their declarations.
#ifndef Q_MOC_RUN
#include "core/data/quantity.h"
#include "core/data/recordid.h"
#endif

#include <QWizardPage>

class QAbstractSpinBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace tarvo {

struct GuiContext;
class QuantityCoupling;

// One packaging line of a product, or one item of a composite cover, as the
// page edits it. Band kind 0: the line applies to any number of products
// dispatched; 1: only when that number lies between bandFrom and bandTo.
struct PackagingLineValues {
    RecordId cover = NoRecord;
    Quantity coverQty = Quantity::FromUnits(1);
    Quantity totalWeight = Quantity::FromUnits(0);
    int type = -1;
    int origin = -1;
    int payment = -1;
    Quantity prodQty = Quantity::FromUnits(1);
    int bandKind = 0;
    Quantity bandFrom = Quantity::FromUnits(0);
    Quantity bandTo = Quantity::FromUnits(1000);
};

// "Údaje balení": the data of a packaging line. The caller hands in the
// values (for a new line the cover comes from the cover picker before it, see
// SetCover) and reads them back after the wizard's success.
class CPageCoverProd : public QWizardPage {
    Q_OBJECT
public:
    explicit CPageCoverProd(const GuiContext& context, PackagingLineValues values = {},
                            QWidget* parent = nullptr);

    const PackagingLineValues& Values() const { return m_values; }
    // The cover chosen on the page before, with its codes as the defaults of
    // the line.
    void SetCover(RecordId cover, int type, int origin, int payment);
    // The cover's weight of one piece, read when the page became active.
    Quantity UnitWeight() const;

    void initializePage() override;
    bool validatePage() override;

    QLineEdit* QuantityEdit() const { return m_quantity; }
    QLineEdit* WeightEdit() const { return m_weight; }
    QComboBox* TypeCombo() const { return m_type; }
    QComboBox* OriginCombo() const { return m_origin; }
    QComboBox* PaymentCombo() const { return m_payment; }
    QAbstractSpinBox* ProductsBox() const { return m_products; }
    QLineEdit* ProductsEdit() const;
    QRadioButton* BandButton(int kind) const { return m_band[kind]; }
    QLineEdit* FromEdit() const { return m_from; }
    QLineEdit* ToEdit() const { return m_to; }

private:
    void Open();
    void EnableBand();

    const GuiContext& m_context;
    PackagingLineValues m_values;
    bool m_opened = false;
    QLineEdit* m_quantity;
    QLineEdit* m_weight;
    QComboBox* m_type;
    QComboBox* m_origin;
    QComboBox* m_payment;
    QAbstractSpinBox* m_products;
    QRadioButton* m_band[2];
    QLineEdit* m_from;
    QLineEdit* m_to;
    QuantityCoupling* m_coupling;
};

} // namespace tarvo
