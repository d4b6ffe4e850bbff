#include "ui/dialogs/cdlgvalidfrom.h"

#include "ui/framework/datepicker.h"
#include "ui/framework/formbuilder.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/helpcontexts.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

QCheckBox* MakeCopyPreviousBox(bool checked, QWidget* parent) {
    auto* box = new QCheckBox(QStringLiteral("&převzít obaly z předchozí platnosti"), parent);
    box->setChecked(checked);
    box->setToolTip(QStringLiteral("Nová platnost začne obaly platnosti, která platí den před ní; "
                                   "bez nich by od jejího dne ostatní obaly produktu přestaly "
                                   "platit."));
    return box;
}

CDlgValidFrom::CDlgValidFrom(const GuiContext& context, DefinitionRecord record,
                             std::optional<bool> copyPrevious, QWidget* parent)
    : QDialog(parent), m_context(context), m_record(record), m_picker(MakeDatePicker(this)) {
    setWindowTitle(QStringLiteral("Definice časové platnosti"));
    FormGrid form(this);
    form.AddRow(QStringLiteral("Od:"), m_picker);
    if (copyPrevious) {
        m_copy = MakeCopyPreviousBox(*copyPrevious, this);
        form.AddUnderFields(m_copy);
    }
    QDialogButtonBox* buttons = MakeDialogButtons(this, context, help::Packaging);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form.Layout());
    layout->addWidget(buttons);
    ShowDate(m_picker, m_record.from);
    m_picker->setFocus();
}

bool CDlgValidFrom::CopyPrevious() const {
    return m_copy && m_copy->isChecked();
}

void CDlgValidFrom::accept() {
    if (!ConfirmUnusualDate(m_picker, m_context.messages))
        return;
    m_record.from = PickedDate(m_picker, m_record.from);
    QDialog::accept();
}

} // namespace tarvo
