#include "ui/pages/wizard.h"

#include <QAbstractButton>

namespace tarvo {

CWizard::CWizard(QWidget* parent) : QWizard(parent) {
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::HaveHelpButton, false);
    setOption(QWizard::NoBackButtonOnStartPage, true);
    setButtonText(QWizard::BackButton, QStringLiteral("< &Zpět"));
    setButtonText(QWizard::NextButton, QStringLiteral("&Další >"));
    setButtonText(QWizard::FinishButton, QStringLiteral("Dokončit"));
    setButtonText(QWizard::CancelButton, QStringLiteral("Storno"));
    connect(this, &QWizard::currentIdChanged, this, &CWizard::UpdateForPage);
}

void CWizard::AddPage(QWizardPage* page) {
    addPage(page);
}

void CWizard::UpdateForPage(int id) {
    QWizardPage* page = this->page(id);
    if (!page)
        return;
    setWindowTitle(page->title());
    const bool alone = pageIds().size() == 1;
    setButtonText(QWizard::FinishButton, alone ? QStringLiteral("OK") : QStringLiteral("Dokončit"));
}

void CWizard::Advance() {
    if (!currentPage())
        return;
    if (currentPage()->nextId() == -1)
        accept();
    else
        next();
}

bool CWizard::Run() {
    return exec() == QDialog::Accepted;
}

} // namespace tarvo
