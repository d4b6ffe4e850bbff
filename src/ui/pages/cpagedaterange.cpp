#include "ui/pages/cpagedaterange.h"

#include "ui/dialogs/cdlgvalidfrom.h"
#include "ui/framework/datepicker.h"
#include "ui/framework/formbuilder.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tarvo {

CPageDateRange::CPageDateRange(IMessagePort& messages, OleDate date, bool copyPrevious,
                               QWidget* parent)
    : QWizardPage(parent), m_messages(messages), m_date(date), m_picker(MakeDatePicker(this)),
      m_copy(MakeCopyPreviousBox(copyPrevious, this)), m_count(new QLabel(this)) {
    setTitle(QStringLiteral("Zadejte časovou platnost"));
    FormGrid form(this);
    form.AddRow(QStringLiteral("Balení platné od:"), m_picker);
    form.AddUnderFields(m_copy);
    m_count->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_count);
    layout->addLayout(form.Layout());
    layout->addStretch();
    ShowDate(m_picker, m_date);
}

void CPageDateRange::ShowProductCount(size_t count) {
    m_count->setText(
        count == 1 ? QStringLiteral("Obaly budou přiřazeny 1 vybranému produktu.")
                   : QStringLiteral("Obaly budou přiřazeny %1 vybraným produktům.").arg(count));
    m_count->show();
}

void CPageDateRange::initializePage() {
    m_picker->setFocus();
}

bool CPageDateRange::CopyPrevious() const {
    return m_copy->isChecked();
}

bool CPageDateRange::validatePage() {
    // A mistyped year would give every selected product a definition on it.
    if (!ConfirmUnusualDate(m_picker, m_messages))
        return false;
    m_date = PickedDate(m_picker, m_date);
    return true;
}

} // namespace tarvo
