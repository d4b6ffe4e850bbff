#include "ui/pages/cpagedisc.h"

#include "core/data/shared.h"
#include "core/ports/messageport.h"
#include "core/registers/coverregister.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/localenumber.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tarvo {

CPageDisc::CPageDisc(const GuiContext& context, DiscardRecord record, QWidget* parent)
    : QWizardPage(parent), m_context(context), m_record(record) {
    setTitle(QStringLiteral("Vyřazení obalu"));
    m_date = new QDateEdit(this);
    m_date->setCalendarPopup(true);
    // Four-digit years: a short year is ambiguous in records kept for decades.
    m_date->setDisplayFormat(QStringLiteral("d.M.yyyy"));
    m_quantity = new QLineEdit(this);
    m_weight = new QLineEdit(this);
    auto* group = new QGroupBox(QStringLiteral("Způsob vyřazení"), this);
    m_kinds[0] = new QRadioButton(QStringLiteral("Energenticky využito"), group);
    m_kinds[1] = new QRadioButton(QStringLiteral("Odstraněno"), group);
    m_kinds[2] = new QRadioButton(QStringLiteral("Recyklováno"), group);
    auto* groupLayout = new QVBoxLayout(group);
    for (QRadioButton* button : m_kinds)
        groupLayout->addWidget(button);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Datum vyřazení"), this), 0, 0);
    grid->addWidget(m_date, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Vyřazené množství:"), this), 1, 0);
    grid->addWidget(m_quantity, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("ks"), this), 1, 2);
    grid->addWidget(m_weight, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("[kg]"), this), 2, 2);
    grid->addWidget(group, 3, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    // textEdited comes only from typing, so writing the other box does not
    // start the reverse computation.
    connect(m_quantity, &QLineEdit::textEdited, this, [this] { OnQuantityEdited(); });
    connect(m_weight, &QLineEdit::textEdited, this, [this] { OnWeightEdited(); });
}

void CPageDisc::initializePage() {
    if (!m_record.quantity.IsValid())
        m_record.quantity = Quantity::FromUnits(0);
    m_unitWeight = CoverRegister(m_context.store, m_context.switches, m_context.notifier)
                       .UnitWeight(m_record.cover);
    m_date->setDate(ToQDate(m_record.date.IsValid() ? m_record.date : OleDate::Today()));
    m_quantity->setText(QuantityToLocaleText(m_record.quantity));
    m_weight->setText(QuantityToLocaleText(CurMul(m_record.quantity, m_unitWeight)));
    m_kinds[m_record.kind >= 0 && m_record.kind < 3 ? m_record.kind : 2]->setChecked(true);
    m_quantity->setFocus();
    m_quantity->selectAll();
}

void CPageDisc::OnQuantityEdited() {
    if (m_unitWeight.Scaled() <= 0)
        return;
    if (const std::optional<Quantity> q = QuantityFromLocaleText(m_quantity->text()))
        m_weight->setText(QuantityToLocaleText(CurMul(*q, m_unitWeight)));
}

void CPageDisc::OnWeightEdited() {
    if (m_unitWeight.Scaled() <= 0)
        return;
    if (const std::optional<Quantity> w = QuantityFromLocaleText(m_weight->text()))
        m_quantity->setText(QuantityToLocaleText(CurDiv(*w, m_unitWeight)));
}

bool CPageDisc::validatePage() {
    const std::optional<Quantity> q = QuantityFromLocaleText(m_quantity->text());
    const std::optional<Quantity> w = QuantityFromLocaleText(m_weight->text());
    if (!q || !w) {
        m_context.messages.ShowMessage("Zadejte číslo.", MsgIcon::Exclamation);
        (q ? m_weight : m_quantity)->setFocus();
        return false;
    }
    if (q->Scaled() <= 0) {
        m_context.messages.ShowMessage("Množství musí být větší než 0 !", MsgIcon::Exclamation);
        m_quantity->setFocus();
        m_quantity->selectAll();
        return false;
    }
    m_record.quantity = *q;
    // The page shows the day only; the time of day the value carried stays.
    const QDate day = m_date->date();
    const OleDate& date = m_record.date;
    m_record.date =
        OleDate::FromParts(day.year(), day.month(), day.day(), date.IsValid() ? date.Hour() : 0,
                           date.IsValid() ? date.Minute() : 0, date.IsValid() ? date.Second() : 0);
    for (int i = 0; i < 3; ++i) {
        if (m_kinds[i]->isChecked())
            m_record.kind = i;
    }
    return true;
}

} // namespace tarvo
