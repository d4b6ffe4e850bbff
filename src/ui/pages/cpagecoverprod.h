#pragma once

#include "core/records/coverline.h"

#include <QWizardPage>

class QAbstractSpinBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace tarvo {

struct GuiContext;
class QuantityCoupling;

// "Údaje balení": the data of a packaging line of a product or of an item of
// a composite cover. The caller hands in the line (for a new line the cover
// comes from the cover picker before it, see SetCover) and reads Record()
// back after the wizard's success. The weight beside the quantity is shown,
// not kept: the quantity times the cover's weight of one piece. The band
// limits of a line used always are not shown; it offers 0 to 1000.
class CPageCoverProd : public QWizardPage {
    Q_OBJECT
public:
    explicit CPageCoverProd(const GuiContext& context, CoverLine record = {},
                            QWidget* parent = nullptr);

    const CoverLine& Record() const { return m_record; }
    // The cover chosen on the page before, with its codes as the defaults of
    // the line.
    void SetCover(RecordId cover, int type, int origin, int payment);
    // The cover's weight of one piece, read when the page became active.
    Quantity UnitWeight() const;

    void initializePage() override;
    bool validatePage() override;

    // "Obal: Krabice (0,125 kg/ks)": the cover the quantity counts.
    QLabel* Caption() const { return m_caption; }
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
    CoverLine m_record;
    bool m_opened = false;
    QLabel* m_caption;
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
