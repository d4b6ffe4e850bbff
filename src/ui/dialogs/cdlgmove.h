#pragma once

// moc cannot parse the C++20 library headers these bring in; it needs none
// of their declarations.
#ifndef Q_MOC_RUN
#include "core/registers/moveregister.h"
#endif

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;

namespace tarvo {

struct GuiContext;

// "Výdej produktů a obalů": the header of one dispatch, edited in memory.
// The caller sets record, runs the dialog and, on OK, stores record itself.
class CDlgMove : public QDialog {
    Q_OBJECT
public:
    explicit CDlgMove(const GuiContext& context, QWidget* parent = nullptr);

    MoveRecord record;

    // Fills the controls from record; exec() does it too.
    void LoadControls();
    int exec() override;
    void accept() override;

    QLineEdit* NumberEdit() const { return m_number; }
    QComboBox* TypeCombo() const { return m_type; }
    QDateEdit* DatePicker() const { return m_date; }
    QCheckBox* ExportBox() const { return m_export; }

private:
    const GuiContext& m_context;
    QLineEdit* m_number;
    QComboBox* m_type;
    QDateEdit* m_date;
    QCheckBox* m_export;
};

} // namespace tarvo
