#include "ui/pages/cpageimps3param.h"

#include "core/ports/messageport.h"
#include "ui/framework/existingrecordsgroup.h"
#include "ui/framework/guicontext.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tarvo {

CPageImpS3Param::CPageImpS3Param(const GuiContext& context, const MoneyImportParams& stored,
                                 QWidget* parent)
    : QWizardPage(parent), m_context(context) {
    setTitle(QStringLiteral("Parametry importu"));
    m_products = new QCheckBox(QStringLiteral("importovat &produkty"), this);
    m_products->setChecked(stored.choices.products);
    m_documents = new QCheckBox(QStringLiteral("importovat &výdaje"), this);
    m_documents->setChecked(stored.choices.documents);
    m_setExport = new QCheckBox(
        QStringLiteral("nastavovat „&Export“ u výdejů, které v adrese mají jinou zemi než"), this);
    m_setExport->setChecked(stored.setExport);
    m_countries = new QLineEdit(QString::fromStdString(stored.nonExportCountries), this);
    m_countries->setMaxLength(1000);
    auto* note = new QLabel(QStringLiteral("*) jména zemí oddělená středníkem; samostatný "
                                           "středník představuje nevyplněnou zemi"),
                            this);
    note->setWordWrap(true);
    m_existing = new ExistingRecordsGroup(stored.choices.existing, this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_products);
    layout->addWidget(m_documents);
    layout->addSpacing(6);
    layout->addWidget(m_setExport);
    auto* countries = new QVBoxLayout;
    countries->setContentsMargins(20, 0, 0, 0);
    countries->addWidget(m_countries);
    countries->addWidget(note);
    layout->addLayout(countries);
    layout->addSpacing(6);
    layout->addWidget(m_existing);
    layout->addStretch();

    for (QCheckBox* box : {m_products, m_documents, m_setExport})
        connect(box, &QCheckBox::toggled, this, &CPageImpS3Param::UpdateEnabling);
    UpdateEnabling();
}

void CPageImpS3Param::UpdateEnabling() {
    // The export rule concerns documents only; the list of domestic countries
    // matters only while the rule is on.
    m_setExport->setEnabled(m_documents->isChecked());
    m_countries->setEnabled(m_documents->isChecked() && m_setExport->isChecked());
}

MoneyImportParams CPageImpS3Param::Params() const {
    MoneyImportParams params;
    params.choices.products = m_products->isChecked();
    params.choices.documents = m_documents->isChecked();
    params.choices.existing = m_existing->Mode();
    params.setExport = m_setExport->isChecked();
    params.nonExportCountries = m_countries->text().toStdString();
    return params;
}

bool CPageImpS3Param::validatePage() {
    if (!m_products->isChecked() && !m_documents->isChecked()) {
        m_context.messages.ShowMessage("Není vybrán import produktů ani dokladů!",
                                       MsgIcon::Exclamation);
        return false;
    }
    return true;
}

} // namespace tarvo
