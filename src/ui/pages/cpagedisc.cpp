#include "ui/pages/cpagedisc.h"

#include "core/data/codelists.h"
#include "core/data/shared.h"
#include "core/ports/messageport.h"
#include "core/registers/classification.h"
#include "core/registers/coverregister.h"
#include "ui/framework/codecombo.h"
#include "ui/framework/datepicker.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/localenumber.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tarvo {

namespace {
constexpr int KindRecycled = 2;
// The destinations of a recycled cover, as DiscardDestinations has them.
const std::vector<int> RecycledDestinations = {0, 1, 2, 4};
} // namespace

CPageDisc::CPageDisc(const GuiContext& context, DiscardRecord record, int destination,
                     QWidget* parent)
    : QWizardPage(parent), m_context(context), m_record(record), m_destination(destination) {
    setTitle(QStringLiteral("Vyřazení obalu"));
    m_date = MakeDatePicker(this);
    m_quantity = new QLineEdit(this);
    m_weight = new QLineEdit(this);
    auto* group = new QGroupBox(QStringLiteral("Způsob vyřazení"), this);
    m_kinds[0] = new QRadioButton(QStringLiteral("Energenticky využito"), group);
    m_kinds[1] = new QRadioButton(QStringLiteral("Odstraněno"), group);
    m_kinds[2] = new QRadioButton(QStringLiteral("Recyklováno"), group);
    m_destinationCombo = codecombo::Make(group);
    auto* destinationLabel = new QLabel(QStringLiteral("Kam:"), group);
    destinationLabel->setBuddy(m_destinationCombo);
    auto* groupLayout = new QGridLayout(group);
    for (int i = 0; i < 3; ++i)
        groupLayout->addWidget(m_kinds[i], i, 0, 1, 3);
    groupLayout->addWidget(destinationLabel, 3, 1);
    groupLayout->addWidget(m_destinationCombo, 3, 2);
    groupLayout->setColumnMinimumWidth(0, 16);
    groupLayout->setColumnStretch(2, 1);
    // Only a recycled cover has a destination to choose.
    connect(m_kinds[KindRecycled], &QRadioButton::toggled, m_destinationCombo,
            &QWidget::setEnabled);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Datum vyřazení:"), this), 0, 0);
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
    ShowDate(m_date, m_record.date);
    m_quantity->setText(QuantityToLocaleText(m_record.quantity));
    m_weight->setText(QuantityToLocaleText(CurMul(m_record.quantity, m_unitWeight)));
    const int kind = m_record.kind >= 0 && m_record.kind < 3 ? m_record.kind : KindRecycled;
    m_kinds[kind]->setChecked(true);
    const int destination = DestinationFitsKind(m_destination, KindRecycled)
                                ? m_destination
                                : DestinationOfKind(KindRecycled);
    codecombo::Fill(m_destinationCombo, DiscardDestinations, RecycledDestinations, destination);
    m_destinationCombo->setEnabled(kind == KindRecycled);
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
        m_context.messages.ShowMessage(RefusedNumberText((q ? m_weight : m_quantity)->text()),
                                       MsgIcon::Exclamation);
        (q ? m_weight : m_quantity)->setFocus();
        return false;
    }
    if (q->Scaled() <= 0) {
        m_context.messages.ShowMessage("Množství musí být větší než 0!", MsgIcon::Exclamation);
        m_quantity->setFocus();
        m_quantity->selectAll();
        return false;
    }
    if (!ConfirmUnusualDate(m_date, m_context.messages))
        return false;
    m_record.quantity = *q;
    // The page shows the day only; the time of day the value carried stays.
    m_record.date = PickedDate(m_date, m_record.date);
    for (int i = 0; i < 3; ++i) {
        if (m_kinds[i]->isChecked())
            m_record.kind = i;
    }
    m_destination = m_record.kind == KindRecycled ? codecombo::Selected(m_destinationCombo)
                                                  : DestinationOfKind(m_record.kind);
    return true;
}

} // namespace tarvo
