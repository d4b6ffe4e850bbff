#pragma once

#include "core/records/covers.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace tarvo {

struct GuiContext;

// "Detail obalu": one cover record, edited in memory. The caller hands in
// the record, runs the dialog and, on OK, hands Record() to the register.
class CDlgCover : public QDialog {
    Q_OBJECT
public:
    explicit CDlgCover(const GuiContext& context, CoverRecord record = {},
                       QWidget* parent = nullptr);

    const CoverRecord& Record() const { return m_record; }

    void accept() override;

    QLineEdit* NameEdit() const { return m_name; }
    QLineEdit* WeightEdit() const { return m_weight; }
    QLineEdit* NoteEdit() const { return m_note; }
    QComboBox* MaterialCombo() const { return m_material; }
    QComboBox* StatCombo() const { return m_stat; }
    QComboBox* TypeCombo() const { return m_type; }
    QComboBox* OriginCombo() const { return m_origin; }
    QComboBox* PaymentCombo() const { return m_payment; }
    QCheckBox* ReusableBox() const { return m_reusable; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void LoadControls();
    void OnMaterialChosen();
    void OnStatChosen();
    void Warn(const char* text);

    const GuiContext& m_context;
    CoverRecord m_record;

    QLineEdit* m_name;
    QLineEdit* m_weight;
    QComboBox* m_stat;
    QCheckBox* m_reusable;
    QComboBox* m_material;
    QComboBox* m_origin;
    QComboBox* m_type;
    QComboBox* m_payment;
    QLineEdit* m_note;
};

} // namespace tarvo
