#include "ui/pages/cpageimpwakparam.h"

#include "ui/framework/datepicker.h"
#include "ui/framework/existingrecordsgroup.h"
#include "ui/framework/guicontext.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tarvo {

namespace {

OleDate FromQDate(const QDate& date) {
    return OleDate::FromParts(date.year(), date.month(), date.day());
}

QDateEdit* DateBox(OleDate date, QWidget* parent) {
    QDateEdit* box = MakeDatePicker(parent);
    ShowDate(box, date);
    return box;
}

} // namespace

CPageImpWAKParam::CPageImpWAKParam(const GuiContext& context, const WakImportParams& stored,
                                   QWidget* parent)
    : QWizardPage(parent), m_context(context) {
    setTitle(QStringLiteral("Parametry importu"));
    m_products = new QCheckBox(QStringLiteral("importovat &produkty"), this);
    m_products->setChecked(stored.choices.products);
    m_documents = new QCheckBox(QStringLiteral("importovat &výdaje od"), this);
    m_documents->setChecked(stored.choices.documents);
    m_from = DateBox(stored.from, this);
    m_to = DateBox(stored.to, this);
    m_existing = new ExistingRecordsGroup(stored.choices.existing, this);

    auto* range = new QHBoxLayout;
    range->addWidget(m_documents);
    range->addWidget(m_from);
    auto* to = new QLabel(QStringLiteral("&do"), this);
    to->setBuddy(m_to);
    range->addWidget(to);
    range->addWidget(m_to);
    range->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_products);
    layout->addLayout(range);
    layout->addSpacing(6);
    layout->addWidget(m_existing);
    layout->addStretch();

    connect(m_documents, &QCheckBox::toggled, this, &CPageImpWAKParam::UpdateEnabling);
    UpdateEnabling();
}

void CPageImpWAKParam::UpdateEnabling() {
    m_from->setEnabled(m_documents->isChecked());
    m_to->setEnabled(m_documents->isChecked());
}

WakImportParams CPageImpWAKParam::Params() const {
    WakImportParams params;
    params.choices.products = m_products->isChecked();
    params.choices.documents = m_documents->isChecked();
    params.choices.existing = m_existing->Mode();
    params.from = FromQDate(m_from->date());
    params.to = FromQDate(m_to->date());
    return params;
}

bool CPageImpWAKParam::validatePage() {
    WakImportParams params = Params();
    if (!ValidateWakParams(params, m_context.messages))
        return false;
    m_validated = params;
    return true;
}

} // namespace tarvo
