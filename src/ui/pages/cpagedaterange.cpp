#include "ui/pages/cpagedaterange.h"

#include "ui/framework/datepicker.h"
#include "ui/framework/formbuilder.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QVBoxLayout>

namespace tarvo {

CPageDateRange::CPageDateRange(OleDate date, QWidget* parent)
    : QWizardPage(parent), m_date(date), m_picker(MakeDatePicker(this)) {
    setTitle(QStringLiteral("Zadejte časovou platnost"));
    FormGrid form(this);
    form.AddRow(QStringLiteral("Balení platné od:"), m_picker);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form.Layout());
    layout->addStretch();
    ShowDate(m_picker, m_date);
}

void CPageDateRange::initializePage() {
    m_picker->setFocus();
}

bool CPageDateRange::validatePage() {
    m_date = PickedDate(m_picker, m_date);
    return true;
}

} // namespace tarvo
