#include "ui/dialogs/cdlgfilterprod.h"

#include "core/ports/messageport.h"
#include "ui/framework/formbuilder.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/helpcontexts.h"

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

namespace {

// The packaging criteria in the order the combo shows them.
const struct {
    const char* text;
    int value;
} PackagingItems[] = {
    {"všechny produkty", ProdFilter::AllProducts},
    {"jen produkty s definovanými obaly", ProdFilter::WithPackaging},
    {"jen produkty bez obalů", ProdFilter::WithoutPackaging},
};

} // namespace

CDlgFilterProd::CDlgFilterProd(const GuiContext& context, ProdFilter filter, QWidget* parent)
    : QDialog(parent), m_context(context), m_filter(std::move(filter)) {
    setWindowTitle(QStringLiteral("Filtr produktů"));
    m_useName = new QCheckBox(QStringLiteral("Název:"), this);
    m_name = new QLineEdit(QString::fromStdString(m_filter.name), this);
    m_name->setMaxLength(50);
    m_namePart = new QCheckBox(QStringLiteral("část"), this);
    m_useKatalog = new QCheckBox(QStringLiteral("Katalog:"), this);
    m_katalog = new QLineEdit(QString::fromStdString(m_filter.katalog), this);
    m_katalog->setMaxLength(20);
    m_katalogPart = new QCheckBox(QStringLiteral("část"), this);
    m_useUnit = new QCheckBox(QStringLiteral("Jednotka:"), this);
    m_unit = new QLineEdit(QString::fromStdString(m_filter.unit), this);
    m_unit->setMaxLength(10);
    m_packaging = new QComboBox(this);
    for (const auto& item : PackagingItems)
        m_packaging->addItem(QString::fromUtf8(item.text), item.value);
    // A value that is none of the three leaves the combo without a choice.
    m_packaging->setCurrentIndex(m_packaging->findData(m_filter.packaging));

    m_useName->setChecked(m_filter.useName);
    m_namePart->setChecked(m_filter.namePart);
    m_useKatalog->setChecked(m_filter.useKatalog);
    m_katalogPart->setChecked(m_filter.katalogPart);
    m_useUnit->setChecked(m_filter.useUnit);

    // The criteria's check boxes are their labels, so the rows are laid out
    // here rather than as labelled fields.
    auto* grid = new QGridLayout;
    auto addRow = [&](int row, QCheckBox* use, QLineEdit* edit, QCheckBox* part) {
        grid->addWidget(use, row, 0);
        grid->addWidget(edit, row, 1);
        if (part)
            grid->addWidget(part, row, 2);
    };
    addRow(0, m_useName, m_name, m_namePart);
    addRow(1, m_useKatalog, m_katalog, m_katalogPart);
    addRow(2, m_useUnit, m_unit, nullptr);
    auto* criterion = new QLabel(QStringLiteral("&Dle přiřazených obalů"), this);
    criterion->setBuddy(m_packaging);
    grid->addWidget(criterion, 3, 0);
    grid->addWidget(m_packaging, 3, 1, 1, 2);
    m_withDeleted = new QCheckBox(QStringLiteral("zobrazit i &odstraněné"), this);
    m_withDeleted->setChecked(m_filter.withDeleted);
    grid->addWidget(m_withDeleted, 4, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    QDialogButtonBox* buttons = MakeDialogButtons(this, context, help::ProductFilter);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    for (QCheckBox* box : {m_useName, m_useKatalog, m_useUnit})
        connect(box, &QCheckBox::clicked, this, &CDlgFilterProd::UpdateEnabling);
    UpdateEnabling();
}

void CDlgFilterProd::UpdateEnabling() {
    m_name->setEnabled(m_useName->isChecked());
    m_namePart->setEnabled(m_useName->isChecked());
    m_katalog->setEnabled(m_useKatalog->isChecked());
    m_katalogPart->setEnabled(m_useKatalog->isChecked());
    m_unit->setEnabled(m_useUnit->isChecked());
}

void CDlgFilterProd::accept() {
    if (m_packaging->currentIndex() < 0) {
        m_context.messages.ShowMessage("Není vybráno kriterium balení!", MsgIcon::Exclamation);
        return;
    }
    m_filter.useName = m_useName->isChecked();
    m_filter.name = m_name->text().toStdString();
    m_filter.namePart = m_namePart->isChecked();
    m_filter.useKatalog = m_useKatalog->isChecked();
    m_filter.katalog = m_katalog->text().toStdString();
    m_filter.katalogPart = m_katalogPart->isChecked();
    m_filter.useUnit = m_useUnit->isChecked();
    m_filter.unit = m_unit->text().toStdString();
    m_filter.packaging = m_packaging->currentData().toInt();
    m_filter.withDeleted = m_withDeleted->isChecked();
    QDialog::accept();
}

} // namespace tarvo
