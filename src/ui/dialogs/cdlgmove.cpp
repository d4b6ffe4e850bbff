#include "ui/dialogs/cdlgmove.h"

#include "core/data/codelists.h"
#include "core/ports/messageport.h"
#include "ui/framework/codecombo.h"
#include "ui/framework/datepicker.h"
#include "ui/framework/formbuilder.h"
#include "ui/framework/guicontext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tarvo {

namespace {
constexpr int HelpContext = 6;
} // namespace

CDlgMove::CDlgMove(const GuiContext& context, MoveRecord record, QWidget* parent)
    : QDialog(parent), m_context(context), m_record(std::move(record)) {
    setWindowTitle(QStringLiteral("Výdej produktů a obalů"));
    m_number = new QLineEdit(this);
    m_number->setMaxLength(20);
    m_type = codecombo::Make(this);
    m_date = MakeDatePicker(this);
    m_export = new QCheckBox(QStringLiteral("zboží na export"), this);

    FormGrid form(this);
    form.AddRow(QStringLiteral("Číslo dokumentu:"), m_number);
    form.AddRow(QStringLiteral("Typ výdeje:"), m_type);
    form.AddRow(QStringLiteral("Datum:"), m_date);
    form.AddUnderFields(m_export);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form.Layout());
    layout->addWidget(MakeDialogButtons(this, context, HelpContext));
    setMinimumWidth(340);
    LoadControls();
}

void CDlgMove::LoadControls() {
    // A date that is no date at all shows the first day the pickers know.
    if (!m_record.date.IsValid())
        m_record.date = OleDate::FromParts(1900, 1, 1);
    m_number->setText(QString::fromStdString(m_record.number));
    codecombo::FillAll(m_type, MoveTypes, m_record.type);
    ShowDate(m_date, m_record.date);
    m_export->setChecked(m_record.exported);
}

void CDlgMove::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_number->setFocus();
    m_number->selectAll();
}

void CDlgMove::accept() {
    const int type = codecombo::Selected(m_type);
    if (type < 0) {
        m_context.messages.ShowMessage("Není vybrán typ výdeje!", MsgIcon::Exclamation);
        m_type->setFocus();
        return;
    }
    if (!ConfirmUnusualDate(m_date, m_context.messages))
        return;
    m_record.number = m_number->text().toStdString();
    m_record.type = type;
    m_record.date = PickedDate(m_date, m_record.date);
    m_record.exported = m_export->isChecked();
    QDialog::accept();
}

} // namespace tarvo
