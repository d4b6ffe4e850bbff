#pragma once

#include "core/records/dispatches.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;

namespace tarvo {

struct GuiContext;

// "Výdej produktů a obalů": the header of one dispatch, edited in memory.
// The caller hands in the record, runs the dialog and, on OK, stores
// Record() itself.
class CDlgMove : public QDialog {
    Q_OBJECT
public:
    explicit CDlgMove(const GuiContext& context, MoveRecord record = {}, QWidget* parent = nullptr);

    const MoveRecord& Record() const { return m_record; }

    void accept() override;

    QLineEdit* NumberEdit() const { return m_number; }
    QComboBox* TypeCombo() const { return m_type; }
    QDateEdit* DatePicker() const { return m_date; }
    QCheckBox* ExportBox() const { return m_export; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void LoadControls();

    const GuiContext& m_context;
    MoveRecord m_record;
    QLineEdit* m_number;
    QComboBox* m_type;
    QDateEdit* m_date;
    QCheckBox* m_export;
};

} // namespace tarvo
