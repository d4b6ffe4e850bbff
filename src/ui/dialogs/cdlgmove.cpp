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

CDlgMove::CDlgMove(const GuiContext& context, QWidget* parent)
    : QDialog(parent), m_context(context) {
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
    if (!record.date.IsValid())
        record.date = OleDate::FromParts(1900, 1, 1);
    m_number->setText(QString::fromStdString(record.number));
    codecombo::FillAll(m_type, MoveTypes, record.type);
    ShowDate(m_date, record.date);
    m_export->setChecked(record.exported);
    m_number->setFocus();
    m_number->selectAll();
}

int CDlgMove::exec() {
    LoadControls();
    return QDialog::exec();
}

void CDlgMove::accept() {
    const int type = codecombo::Selected(m_type);
    if (type < 0) {
        m_context.messages.ShowMessage("Není vybrán typ výdeje!", MsgIcon::Exclamation);
        m_type->setFocus();
        return;
    }
    record.number = m_number->text().toStdString();
    record.type = type;
    record.date = PickedDate(m_date, record.date);
    record.exported = m_export->isChecked();
    QDialog::accept();
}

} // namespace tarvo
