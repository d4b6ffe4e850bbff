#include "ui/pages/cpagedaterange.h"

#include "ui/dialogs/cdlgvalidfrom.h"
#include "ui/framework/datepicker.h"
#include "ui/framework/formbuilder.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QVBoxLayout>

namespace tarvo {

CPageDateRange::CPageDateRange(OleDate date, bool copyPrevious, QWidget* parent)
    : QWizardPage(parent), m_date(date), m_picker(MakeDatePicker(this)),
      m_copy(MakeCopyPreviousBox(copyPrevious, this)) {
    setTitle(QStringLiteral("Zadejte časovou platnost"));
    FormGrid form(this);
    form.AddRow(QStringLiteral("Balení platné od:"), m_picker);
    form.AddUnderFields(m_copy);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form.Layout());
    layout->addStretch();
    ShowDate(m_picker, m_date);
}

void CPageDateRange::initializePage() {
    m_picker->setFocus();
}

bool CPageDateRange::CopyPrevious() const {
    return m_copy->isChecked();
}

bool CPageDateRange::validatePage() {
    m_date = PickedDate(m_picker, m_date);
    return true;
}

} // namespace tarvo
