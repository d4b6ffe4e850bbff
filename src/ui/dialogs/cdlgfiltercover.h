#pragma once

#include "core/registers/coverfilter.h"

#include <QDialog>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tarvo {

struct GuiContext;

// "Filtr obalů": edits a copy of the view's CoverFilter.
class CDlgFilterCover : public QDialog {
    Q_OBJECT
public:
    explicit CDlgFilterCover(const GuiContext& context, CoverFilter filter = {},
                             QWidget* parent = nullptr);

    const CoverFilter& Record() const { return m_filter; }

    void accept() override;

    QCheckBox* UseNameBox() const { return m_useName; }
    QCheckBox* UseWeightBox() const { return m_useWeight; }
    QCheckBox* UseMaterialBox() const { return m_useMaterial; }
    QCheckBox* UseTypeBox() const { return m_useType; }
    QCheckBox* UseOriginBox() const { return m_useOrigin; }
    QCheckBox* UsePaymentBox() const { return m_usePayment; }
    QCheckBox* UseReusableBox() const { return m_useReusable; }
    QLineEdit* NameEdit() const { return m_name; }
    QCheckBox* NamePartBox() const { return m_namePart; }
    QLineEdit* WeightFromEdit() const { return m_weightFrom; }
    QLineEdit* WeightToEdit() const { return m_weightTo; }
    QComboBox* MaterialCombo() const { return m_material; }
    QComboBox* TypeCombo() const { return m_type; }
    QComboBox* OriginCombo() const { return m_origin; }
    QComboBox* PaymentCombo() const { return m_payment; }
    QCheckBox* ReusableBox() const { return m_reusable; }
    QCheckBox* IncompleteBox() const { return m_onlyIncomplete; }
    QCheckBox* WithDeletedBox() const { return m_withDeleted; }

private:
    void LoadControls();
    void UpdateEnabling();

    const GuiContext& m_context;
    CoverFilter m_filter;

    QCheckBox* m_useName;
    QCheckBox* m_useWeight;
    QCheckBox* m_useMaterial;
    QCheckBox* m_useType;
    QCheckBox* m_useOrigin;
    QCheckBox* m_usePayment;
    QCheckBox* m_useReusable;
    QLineEdit* m_name;
    QCheckBox* m_namePart;
    QLineEdit* m_weightFrom;
    QLineEdit* m_weightTo;
    QComboBox* m_type;
    QComboBox* m_material;
    QComboBox* m_origin;
    QComboBox* m_payment;
    QCheckBox* m_reusable;
    QCheckBox* m_onlyIncomplete;
    QCheckBox* m_withDeleted;
};

} // namespace tarvo
