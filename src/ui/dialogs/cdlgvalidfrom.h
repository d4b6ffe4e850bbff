#pragma once

#include "core/records/products.h"

#include <QDialog>

class QDateEdit;

namespace tarvo {

struct GuiContext;

// "Definice časové platnosti": the first day of a packaging definition.
class CDlgValidFrom : public QDialog {
    Q_OBJECT
public:
    CDlgValidFrom(const GuiContext& context, DefinitionRecord record, QWidget* parent = nullptr);

    // After OK the first day is the date picked, at the time of day the date
    // handed in had.
    const DefinitionRecord& Record() const { return m_record; }

    void accept() override;

    QDateEdit* DatePicker() const { return m_picker; }

private:
    const GuiContext& m_context;
    DefinitionRecord m_record;
    QDateEdit* m_picker;
};

} // namespace tarvo
