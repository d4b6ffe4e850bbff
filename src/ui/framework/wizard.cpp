#include "ui/framework/wizard.h"

#include <QAbstractButton>
#include <QShortcut>

namespace tarvo {

namespace {
constexpr const char* CaptionProperty = "tarvoCaption";
constexpr const char* HelpProperty = "tarvoHelp";
} // namespace

Wizard::Wizard(QWidget* parent, std::function<void(int)> showHelp)
    : QWizard(parent), m_showHelp(std::move(showHelp)) {
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::HaveHelpButton, false);
    setButtonText(QWizard::HelpButton, QStringLiteral("Nápověda"));
    setOption(QWizard::NoBackButtonOnStartPage, true);
    setButtonText(QWizard::BackButton, QStringLiteral("< &Zpět"));
    setButtonText(QWizard::NextButton, QStringLiteral("&Další >"));
    setButtonText(QWizard::FinishButton, QStringLiteral("Dokončit"));
    setButtonText(QWizard::CancelButton, QStringLiteral("Storno"));
    connect(this, &QWizard::currentIdChanged, this, &Wizard::UpdateForPage);
    connect(this, &QWizard::helpRequested, this, &Wizard::ShowHelp);
    // The frame's F1 does not reach a modal wizard.
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, &Wizard::ShowHelp);
}

void Wizard::AddPage(QWizardPage* page, int helpContext) {
    page->setProperty(HelpProperty, helpContext);
    // The page's title is the sheet's caption only; a heading inside the
    // page would say the same again.
    page->setProperty(CaptionProperty, page->title());
    page->setTitle(QString());
    addPage(page);
}

void Wizard::UpdateForPage(int id) {
    QWizardPage* page = this->page(id);
    if (!page)
        return;
    setWindowTitle(page->property(CaptionProperty).toString());
    const bool alone = pageIds().size() == 1;
    setButtonText(QWizard::FinishButton, alone ? QStringLiteral("OK") : QStringLiteral("Dokončit"));
    setOption(QWizard::HaveHelpButton, page->property(HelpProperty).toInt() > 0);
    button(QWizard::HelpButton)->setEnabled(static_cast<bool>(m_showHelp));
}

void Wizard::ShowHelp() {
    const int help = currentPage() ? currentPage()->property(HelpProperty).toInt() : 0;
    if (help > 0 && m_showHelp)
        m_showHelp(help);
}

void Wizard::showEvent(QShowEvent* event) {
    QWizard::showEvent(event);
    // QWizard opens at a fixed size that can be smaller than its pages need;
    // the list pages would be cut off on the right.
    if (!m_sized) {
        m_sized = true;
        resize(size().expandedTo(sizeHint()));
    }
}

void Wizard::Advance() {
    if (!currentPage())
        return;
    if (currentPage()->nextId() == -1)
        accept();
    else
        next();
}

bool Wizard::Run() {
    return exec() == QDialog::Accepted;
}

} // namespace tarvo
