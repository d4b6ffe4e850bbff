#pragma once

#include "core/records/dispatches.h"

#include <QWizardPage>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace tarvo {

struct GuiContext;
class QuantityCoupling;

// "Zadejte množství": one cover line of a dispatch. Only its quantity can
// change (the weight beside it is shown, not kept); the cover and its codes
// are handed in and shown disabled, with the cover's material, statistics
// category and reusability.
class CPageCoverMove : public QWizardPage {
    Q_OBJECT
public:
    explicit CPageCoverMove(const GuiContext& context, MoveCoverRecord record = {},
                            QWidget* parent = nullptr);

    const MoveCoverRecord& Record() const { return m_record; }
    // The cover chosen on the page before, with the codes the line takes.
    void SetCover(RecordId cover, int type, int origin, int payment);
    Quantity UnitWeight() const;

    void initializePage() override;
    bool validatePage() override;

    // "Obal: Krabice (0,125 kg/ks)": the cover the quantity counts.
    QLabel* Caption() const { return m_caption; }
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
    MoveCoverRecord m_record;
    bool m_opened = false;
    QLabel* m_caption;
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
