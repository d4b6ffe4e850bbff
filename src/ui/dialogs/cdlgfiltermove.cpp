#include "ui/dialogs/cdlgfiltermove.h"

#include "core/ports/messageport.h"
#include "ui/framework/datepicker.h"
#include "ui/framework/formbuilder.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/helpcontexts.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

CDlgFilterMove::CDlgFilterMove(const GuiContext& context, MoveFilter filter, QWidget* parent)
    : QDialog(parent), m_context(context), m_filter(std::move(filter)) {
    setWindowTitle(QStringLiteral("Filtr výdejů"));
    m_useNumber = new QCheckBox(QStringLiteral("Č. dokladu:"), this);
    m_useDate = new QCheckBox(QStringLiteral("Datum:"), this);
    m_useExport = new QCheckBox(QStringLiteral("Export:"), this);
    m_number = new QLineEdit(this);
    m_number->setMaxLength(20);
    m_numberPart = new QCheckBox(QStringLiteral("část"), this);
    m_from = MakeDatePicker(this);
    m_to = MakeDatePicker(this);
    m_export = new QCheckBox(QStringLiteral("zboží na export"), this);

    // Each criterion's check box is its label; its controls follow it.
    auto* grid = new QGridLayout;
    grid->addWidget(m_useNumber, 0, 0);
    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(m_number, 1);
    numberRow->addWidget(m_numberPart);
    grid->addLayout(numberRow, 0, 1);
    grid->addWidget(m_useDate, 1, 0);
    auto* dateRow = new QHBoxLayout;
    auto* fromLabel = new QLabel(QStringLiteral("Od"), this);
    fromLabel->setBuddy(m_from);
    auto* toLabel = new QLabel(QStringLiteral("do"), this);
    toLabel->setBuddy(m_to);
    dateRow->addWidget(fromLabel);
    dateRow->addWidget(m_from, 1);
    dateRow->addWidget(toLabel);
    dateRow->addWidget(m_to, 1);
    grid->addLayout(dateRow, 1, 1);
    grid->addWidget(m_useExport, 2, 0);
    grid->addWidget(m_export, 2, 1);
    grid->setColumnStretch(1, 1);

    QDialogButtonBox* buttons = MakeDialogButtons(this, context, help::DispatchFilter);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    setMinimumWidth(380);

    for (QCheckBox* use : {m_useNumber, m_useDate, m_useExport})
        connect(use, &QCheckBox::clicked, this, [this] { UpdateEnabling(); });
    LoadControls();
}

void CDlgFilterMove::LoadControls() {
    m_useNumber->setChecked(m_filter.useNumber);
    m_useDate->setChecked(m_filter.useDate);
    m_useExport->setChecked(m_filter.useExport);
    m_number->setText(QString::fromStdString(m_filter.number));
    m_numberPart->setChecked(m_filter.numberPart);
    ShowDate(m_from, m_filter.from);
    ShowDate(m_to, m_filter.to);
    m_export->setChecked(m_filter.exported);
    UpdateEnabling();
}

void CDlgFilterMove::UpdateEnabling() {
    const bool number = m_useNumber->isChecked();
    m_number->setEnabled(number);
    m_numberPart->setEnabled(number);
    m_from->setEnabled(m_useDate->isChecked());
    m_to->setEnabled(m_useDate->isChecked());
    m_export->setEnabled(m_useExport->isChecked());
}

void CDlgFilterMove::accept() {
    const OleDate from = PickedDate(m_from, m_filter.from);
    const OleDate to = PickedDate(m_to, m_filter.to);
    if (m_useDate->isChecked() && from > to) {
        m_context.messages.ShowMessage("Datum „Od“ nesmí být větší než datum „do“",
                                       MsgIcon::Exclamation);
        m_from->setFocus();
        return;
    }
    m_filter.useNumber = m_useNumber->isChecked();
    m_filter.number = m_number->text().toStdString();
    m_filter.numberPart = m_numberPart->isChecked();
    m_filter.useDate = m_useDate->isChecked();
    m_filter.from = from;
    m_filter.to = to;
    m_filter.useExport = m_useExport->isChecked();
    m_filter.exported = m_export->isChecked();
    QDialog::accept();
}

} // namespace tarvo
