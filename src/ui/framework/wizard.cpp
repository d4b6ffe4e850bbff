#include "ui/framework/wizard.h"

#include <QAbstractButton>

namespace tarvo {

namespace {
constexpr const char* CaptionProperty = "tarvoCaption";
} // namespace

Wizard::Wizard(QWidget* parent) : QWizard(parent) {
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::HaveHelpButton, false);
    setOption(QWizard::NoBackButtonOnStartPage, true);
    setButtonText(QWizard::BackButton, QStringLiteral("< &Zpět"));
    setButtonText(QWizard::NextButton, QStringLiteral("&Další >"));
    setButtonText(QWizard::FinishButton, QStringLiteral("Dokončit"));
    setButtonText(QWizard::CancelButton, QStringLiteral("Storno"));
    connect(this, &QWizard::currentIdChanged, this, &Wizard::UpdateForPage);
}

void Wizard::AddPage(QWizardPage* page) {
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
