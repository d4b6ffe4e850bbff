#pragma once

#include "core/records/products.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QDateEdit;

namespace tarvo {

struct GuiContext;

// "převzít obaly z předchozí platnosti", as the validity date dialog and the
// bulk assignment's date page ask it.
QCheckBox* MakeCopyPreviousBox(bool checked, QWidget* parent);

// "Definice časové platnosti": the first day of a packaging definition. A
// new definition is asked also whether it takes the covers of the one in
// force before it (copyPrevious, the check box's first state); a date being
// changed is not.
class CDlgValidFrom : public QDialog {
    Q_OBJECT
public:
    CDlgValidFrom(const GuiContext& context, DefinitionRecord record,
                  std::optional<bool> copyPrevious = {}, QWidget* parent = nullptr);

    bool CopyPrevious() const;
    // Nothing when the dialog does not ask.
    QCheckBox* CopyBox() const { return m_copy; }

    // After OK the first day is the date picked, at the time of day the date
    // handed in had.
    const DefinitionRecord& Record() const { return m_record; }

    void accept() override;

    QDateEdit* DatePicker() const { return m_picker; }

private:
    const GuiContext& m_context;
    DefinitionRecord m_record;
    QDateEdit* m_picker;
    QCheckBox* m_copy = nullptr;
};

} // namespace tarvo
