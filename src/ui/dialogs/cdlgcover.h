#pragma once

// moc cannot parse the C++20 library headers these bring in; it needs none
// of their declarations.
#ifndef Q_MOC_RUN
#include "core/registers/coverregister.h"
#endif

#include <QDialog>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace tarvo {

struct GuiContext;

// "Detail obalu": one cover record, edited in memory. The caller sets the
// record, runs the dialog and, on OK, hands the record to the register.
class CDlgCover : public QDialog {
    Q_OBJECT
public:
    explicit CDlgCover(const GuiContext& context, QWidget* parent = nullptr);

    CoverRecord cover;

    // Fills the controls from the values; exec() does it too.
    void LoadControls();
    int exec() override;
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

private:
    void OnMaterialChosen();
    void OnStatChosen();
    void Warn(const char* text);

    const GuiContext& m_context;

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
