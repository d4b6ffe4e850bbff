#pragma once

#include "core/registers/movefilter.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QLineEdit;

namespace tarvo {

struct GuiContext;

// "Filtr výdejů": edits a copy of the dispatches view's MoveFilter.
class CDlgFilterMove : public QDialog {
    Q_OBJECT
public:
    explicit CDlgFilterMove(const GuiContext& context, MoveFilter filter = {},
                            QWidget* parent = nullptr);

    const MoveFilter& Record() const { return m_filter; }

    void accept() override;

    QCheckBox* UseNumberBox() const { return m_useNumber; }
    QCheckBox* UseDateBox() const { return m_useDate; }
    QCheckBox* UseExportBox() const { return m_useExport; }
    QLineEdit* NumberEdit() const { return m_number; }
    QCheckBox* NumberPartBox() const { return m_numberPart; }
    QDateEdit* FromPicker() const { return m_from; }
    QDateEdit* ToPicker() const { return m_to; }
    QCheckBox* ExportBox() const { return m_export; }

private:
    void LoadControls();
    void UpdateEnabling();

    const GuiContext& m_context;
    MoveFilter m_filter;
    QCheckBox* m_useNumber;
    QCheckBox* m_useDate;
    QCheckBox* m_useExport;
    QLineEdit* m_number;
    QCheckBox* m_numberPart;
    QDateEdit* m_from;
    QDateEdit* m_to;
    QCheckBox* m_export;
};

} // namespace tarvo
