#include "ui/pages/cpagecovermove.h"

#include "core/data/codelists.h"
#include "core/registers/pickerrows.h"
#include "ui/framework/codecombo.h"
#include "ui/framework/formbuilder.h"
#include "ui/framework/guicontext.h"
#include "ui/pages/pagecheck.h"
#include "ui/pages/quantitycoupling.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tarvo {

CPageCoverMove::CPageCoverMove(const GuiContext& context, MoveCoverRecord record, QWidget* parent)
    : QWizardPage(parent), m_context(context), m_record(record) {
    setTitle(QStringLiteral("Zadejte množství"));
    m_caption = new QLabel(this);
    m_quantity = new QLineEdit(this);
    m_weight = new QLineEdit(this);
    m_material = codecombo::Make(this);
    m_type = codecombo::Make(this);
    m_origin = codecombo::Make(this);
    m_payment = codecombo::Make(this);
    m_stat = codecombo::Make(this);
    m_reusable = new QCheckBox(QStringLiteral("obal je opakovaně používaný"), this);
    m_coupling = new QuantityCoupling(m_quantity, m_weight, this);

    FormGrid form(this);
    form.AddAcross(m_caption);
    form.AddRow(QStringLiteral("Množství obalu:"), m_quantity, new QLabel(QStringLiteral("ks")));
    form.AddRow(QString(), m_weight, new QLabel(QStringLiteral("[kg]")));
    form.AddRow(QStringLiteral("Materiál:"), m_material);
    form.AddRow(QStringLiteral("Typ:"), m_type);
    form.AddRow(QStringLiteral("Původ:"), m_origin);
    form.AddRow(QStringLiteral("Platba:"), m_payment);
    form.AddRow(QStringLiteral("Statistické údaje:"), m_stat);
    form.AddUnderFields(m_reusable);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form.Layout());
    layout->addStretch();
}

Quantity CPageCoverMove::UnitWeight() const {
    return m_coupling->UnitWeight();
}

void CPageCoverMove::SetCover(RecordId cover, int type, int origin, int payment) {
    m_record.cover = cover;
    m_record.type = type;
    m_record.origin = origin;
    m_record.payment = payment;
}

void CPageCoverMove::Open() {
    if (!m_record.quantity.IsValid())
        m_record.quantity = Quantity::FromUnits(1);
    // The line keeps the cover's description; only its quantity is edited.
    for (QWidget* shown : std::initializer_list<QWidget*>{m_material, m_type, m_origin, m_payment,
                                                          m_stat, m_reusable})
        shown->setEnabled(false);
    codecombo::FillAll(m_material, Materials, -1);
    codecombo::FillAll(m_type, CoverTypes, m_record.type);
    codecombo::FillAll(m_origin, Origins, m_record.origin);
    codecombo::FillAll(m_payment, Payments, m_record.payment);
    codecombo::FillAll(m_stat, StatCategories, -1);
}

void CPageCoverMove::initializePage() {
    if (!m_opened) {
        m_opened = true;
        Open();
    }
    codecombo::Select(m_type, m_record.type);
    codecombo::Select(m_origin, m_record.origin);
    codecombo::Select(m_payment, m_record.payment);
    // Without its cover the line shows no weight to go with the quantity.
    Quantity weight = Quantity::FromUnits(0);
    m_coupling->SetUnitWeight(Quantity::FromUnits(0));
    m_caption->clear();
    if (const std::optional<CoverFacts> cover = ReadCoverFacts(m_context.store, m_record.cover)) {
        m_caption->setText(QString::fromStdString(CoverCaption(*cover)));
        m_coupling->SetUnitWeight(cover->unitWeight);
        weight = CurMul(m_record.quantity, cover->unitWeight);
        m_reusable->setChecked(cover->reusable);
        codecombo::Select(m_material, cover->material);
        codecombo::Select(m_stat, cover->stat);
    }
    m_coupling->Show(m_record.quantity, weight);
    FocusAll(m_quantity);
}

bool CPageCoverMove::validatePage() {
    IMessagePort& messages = m_context.messages;
    const std::optional<Quantity> quantity = ReadNumber(messages, m_quantity);
    if (!quantity)
        return false;
    if (!ReadNumber(messages, m_weight))
        return false;
    m_record.quantity = *quantity;
    if (quantity->Scaled() <= 0) {
        Refuse(messages, "Množství obalu musí být větší než 0", m_quantity);
        return false;
    }
    return true;
}

} // namespace tarvo
