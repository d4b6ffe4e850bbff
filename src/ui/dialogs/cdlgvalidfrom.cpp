#include "ui/dialogs/cdlgvalidfrom.h"

#include "ui/framework/datepicker.h"
#include "ui/framework/formbuilder.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/helpcontexts.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

CDlgValidFrom::CDlgValidFrom(const GuiContext& context, DefinitionRecord record, QWidget* parent)
    : QDialog(parent), m_context(context), m_record(record), m_picker(MakeDatePicker(this)) {
    setWindowTitle(QStringLiteral("Definice časové platnosti"));
    FormGrid form(this);
    form.AddRow(QStringLiteral("Od:"), m_picker);
    QDialogButtonBox* buttons = MakeDialogButtons(this, context, help::Packaging);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form.Layout());
    layout->addWidget(buttons);
    ShowDate(m_picker, m_record.from);
    m_picker->setFocus();
}

void CDlgValidFrom::accept() {
    if (!ConfirmUnusualDate(m_picker, m_context.messages))
        return;
    m_record.from = PickedDate(m_picker, m_record.from);
    QDialog::accept();
}

} // namespace tarvo
