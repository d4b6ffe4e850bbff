#include "ui/dialogs/cdlgfiltercover.h"

#include "core/data/codelists.h"
#include "core/ports/messageport.h"
#include "ui/framework/codecombo.h"
#include "ui/framework/formbuilder.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/helpcontexts.h"
#include "ui/framework/localenumber.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

CDlgFilterCover::CDlgFilterCover(const GuiContext& context, CoverFilter filter, QWidget* parent)
    : QDialog(parent), m_context(context), m_filter(std::move(filter)) {
    setWindowTitle(QStringLiteral("Filtr obalů"));
    m_useName = new QCheckBox(QStringLiteral("Název:"), this);
    m_useWeight = new QCheckBox(QStringLiteral("Hmotnost:"), this);
    m_useMaterial = new QCheckBox(QStringLiteral("Materiál:"), this);
    m_useType = new QCheckBox(QStringLiteral("Typ:"), this);
    m_useOrigin = new QCheckBox(QStringLiteral("Původ:"), this);
    m_usePayment = new QCheckBox(QStringLiteral("Platba:"), this);
    m_useReusable = new QCheckBox(QStringLiteral("Použití:"), this);
    m_name = new QLineEdit(this);
    m_name->setMaxLength(50);
    m_namePart = new QCheckBox(QStringLiteral("část"), this);
    m_weightFrom = new QLineEdit(this);
    m_weightTo = new QLineEdit(this);
    m_type = codecombo::Make(this);
    m_material = codecombo::Make(this);
    m_origin = codecombo::Make(this);
    m_payment = codecombo::Make(this);
    m_reusable = new QCheckBox(QStringLiteral("obal je opakovaně používaný"), this);
    m_onlyIncomplete =
        new QCheckBox(QStringLiteral("jen obaly s neúplným zařazením pro výkaz 2021"), this);
    m_withDeleted = new QCheckBox(QStringLiteral("zobrazit i &odstraněné"), this);

    auto* grid = new QGridLayout;
    grid->addWidget(m_useName, 0, 0);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(m_name, 1);
    nameRow->addWidget(m_namePart);
    grid->addLayout(nameRow, 0, 1);
    grid->addWidget(m_useWeight, 1, 0);
    auto* weightRow = new QHBoxLayout;
    weightRow->addWidget(new QLabel(QStringLiteral("Od"), this));
    weightRow->addWidget(m_weightFrom);
    weightRow->addWidget(new QLabel(QStringLiteral("do"), this));
    weightRow->addWidget(m_weightTo);
    weightRow->addWidget(new QLabel(QStringLiteral("[kg]"), this));
    grid->addLayout(weightRow, 1, 1);
    grid->addWidget(m_useMaterial, 2, 0);
    grid->addWidget(m_material, 2, 1);
    grid->addWidget(m_useType, 3, 0);
    grid->addWidget(m_type, 3, 1);
    grid->addWidget(m_useOrigin, 4, 0);
    grid->addWidget(m_origin, 4, 1);
    grid->addWidget(m_usePayment, 5, 0);
    grid->addWidget(m_payment, 5, 1);
    grid->addWidget(m_useReusable, 6, 0);
    grid->addWidget(m_reusable, 6, 1);
    grid->addWidget(m_onlyIncomplete, 7, 0, 1, 2);
    grid->addWidget(m_withDeleted, 8, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    QDialogButtonBox* buttons = MakeDialogButtons(this, context, help::CoverFilter);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    for (QCheckBox* box : {m_useName, m_useWeight, m_useMaterial, m_useType, m_useOrigin,
                           m_usePayment, m_useReusable})
        connect(box, &QCheckBox::clicked, this, [this] { UpdateEnabling(); });
    LoadControls();
}

void CDlgFilterCover::LoadControls() {
    m_useName->setChecked(m_filter.useName);
    m_useWeight->setChecked(m_filter.useWeight);
    m_useMaterial->setChecked(m_filter.useMaterial);
    m_useType->setChecked(m_filter.useType);
    m_useOrigin->setChecked(m_filter.useOrigin);
    m_usePayment->setChecked(m_filter.usePayment);
    m_useReusable->setChecked(m_filter.useReusable);
    m_name->setText(QString::fromStdString(m_filter.name));
    m_namePart->setChecked(m_filter.namePart);
    m_weightFrom->setText(QuantityToLocaleText(m_filter.weightFrom));
    m_weightTo->setText(QuantityToLocaleText(m_filter.weightTo));
    m_reusable->setChecked(m_filter.reusable);
    m_onlyIncomplete->setChecked(m_filter.onlyIncomplete);
    m_withDeleted->setChecked(m_filter.withDeleted);
    codecombo::FillAll(m_material, Materials, m_filter.material);
    codecombo::FillAll(m_type, CoverTypes, m_filter.type);
    codecombo::FillAll(m_origin, Origins, m_filter.origin);
    codecombo::FillAll(m_payment, Payments, m_filter.payment);
    UpdateEnabling();
}

void CDlgFilterCover::UpdateEnabling() {
    m_name->setEnabled(m_useName->isChecked());
    m_namePart->setEnabled(m_useName->isChecked());
    m_weightFrom->setEnabled(m_useWeight->isChecked());
    m_weightTo->setEnabled(m_useWeight->isChecked());
    m_material->setEnabled(m_useMaterial->isChecked());
    m_type->setEnabled(m_useType->isChecked());
    m_origin->setEnabled(m_useOrigin->isChecked());
    m_payment->setEnabled(m_usePayment->isChecked());
    m_reusable->setEnabled(m_useReusable->isChecked());
}

void CDlgFilterCover::accept() {
    IMessagePort& messages = m_context.messages;
    const std::optional<Quantity> from = QuantityFromLocaleText(m_weightFrom->text());
    const std::optional<Quantity> to = QuantityFromLocaleText(m_weightTo->text());
    if (!from || !to) {
        messages.ShowMessage(RefusedNumberText((from ? m_weightTo : m_weightFrom)->text()),
                             MsgIcon::Exclamation);
        (from ? m_weightTo : m_weightFrom)->setFocus();
        return;
    }
    CoverFilter result = m_filter;
    result.useName = m_useName->isChecked();
    result.useWeight = m_useWeight->isChecked();
    result.useMaterial = m_useMaterial->isChecked();
    result.useType = m_useType->isChecked();
    result.useOrigin = m_useOrigin->isChecked();
    result.usePayment = m_usePayment->isChecked();
    result.useReusable = m_useReusable->isChecked();
    result.name = m_name->text().toStdString();
    result.namePart = m_namePart->isChecked();
    result.weightFrom = *from;
    result.weightTo = *to;
    result.reusable = m_reusable->isChecked();
    result.onlyIncomplete = m_onlyIncomplete->isChecked();
    result.withDeleted = m_withDeleted->isChecked();
    if (result.useWeight && result.weightFrom > result.weightTo) {
        messages.ShowMessage("Hmotnost „Od“ nesmí být větší než hodnota „do“",
                             MsgIcon::Exclamation);
        m_weightFrom->setFocus();
        m_weightFrom->selectAll();
        return;
    }
    struct Check {
        bool use;
        QComboBox* combo;
        int* code;
        const char* message;
    };
    const Check checks[] = {
        {result.useMaterial, m_material, &result.material, "Není vybrán materiál"},
        {result.useType, m_type, &result.type, "Není vybrán typ"},
        {result.useOrigin, m_origin, &result.origin, "Není vybrán původ"},
        {result.usePayment, m_payment, &result.payment, "Není vybrána platba"}};
    for (const Check& check : checks) {
        if (!check.use)
            continue;
        const int code = codecombo::Selected(check.combo);
        if (code < 0) {
            messages.ShowMessage(check.message, MsgIcon::Exclamation);
            check.combo->setFocus();
            return;
        }
        *check.code = code;
    }
    m_filter = result;
    QDialog::accept();
}

} // namespace tarvo
