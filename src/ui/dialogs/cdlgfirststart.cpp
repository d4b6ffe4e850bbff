#include "ui/dialogs/cdlgfirststart.h"

#include "core/data/comerror.h"
#include "core/data/profile.h"
#include "core/setup/firststart.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/helpcontexts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

namespace {

constexpr const char* StepsText =
    "<p>Databáze je zatím prázdná. Než sestavíte první výkaz:</p>"
    "<ol>"
    "<li><b>Obaly</b> – zapište obaly, které s výrobky vydáváte, s hmotností jednoho kusu "
    "(tabulka Obaly, klávesa Ins).</li>"
    "<li><b>Produkty a jejich balení</b> – u každého produktu zadejte, od kterého dne "
    "a jakými obaly je zabalen (tabulka Produkty).</li>"
    "<li><b>Import</b> – výdeje a produkty načtěte z Money S3 nebo WAK INTRA "
    "(Záznamy → Importovat z); obaly výdejů program dopočítá podle balení.</li>"
    "<li><b>Výkaz</b> – po skončení čtvrtletí zvolte Soubor → Sestavit výkaz.</li>"
    "</ol>"
    "<p>Podrobný postup popisuje nápověda: <a href=\"zaciname\">Začínáme</a>.</p>";

} // namespace

CDlgFirstStart::CDlgFirstStart(const GuiContext& context, QWidget* parent)
    : QDialog(parent), m_context(context) {
    setWindowTitle(QStringLiteral("Začínáme"));
    m_steps = new QLabel(QString::fromUtf8(StepsText), this);
    m_steps->setWordWrap(true);
    m_steps->setTextFormat(Qt::RichText);
    m_steps->setTextInteractionFlags(Qt::TextBrowserInteraction);
    connect(m_steps, &QLabel::linkActivated, this, &CDlgFirstStart::ShowGettingStarted);
    m_dontShow = new QCheckBox(QStringLiteral("Při spuštění &nezobrazovat"), this);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* help =
        buttons->addButton(QStringLiteral("&Začínáme v nápovědě"), QDialogButtonBox::HelpRole);
    help->setEnabled(static_cast<bool>(m_context.showHelp));
    connect(help, &QPushButton::clicked, this, &CDlgFirstStart::ShowGettingStarted);
    QPushButton* close = buttons->addButton(QStringLiteral("Zavřít"), QDialogButtonBox::RejectRole);
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_steps);
    layout->addWidget(m_dontShow);
    layout->addWidget(buttons);
    setMinimumWidth(520);
}

void CDlgFirstStart::ShowGettingStarted() {
    if (m_context.showHelp)
        m_context.showHelp(help::GettingStarted);
}

void CDlgFirstStart::done(int result) {
    // Only a switch turned off is written: a data folder whose user never
    // touched it keeps no key for it.
    if (m_dontShow->isChecked()) {
        Profile profile(m_context.folder.SettingsPath());
        StoreGuideChoice(profile, false);
    }
    QDialog::done(result);
}

void ShowFirstStartGuide(const GuiContext& context, QWidget* frame) {
    try {
        if (!LoadGuideChoice(Profile(context.folder.SettingsPath())) ||
            !HoldsNoRecords(context.store))
            return;
    } catch (const ComError&) {
        // A database that cannot be read is reported by the views that list it.
        return;
    }
    auto* guide = new CDlgFirstStart(context, frame);
    guide->setAttribute(Qt::WA_DeleteOnClose);
    guide->show();
}

} // namespace tarvo
