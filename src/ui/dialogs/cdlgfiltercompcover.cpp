#include "ui/dialogs/cdlgfiltercompcover.h"

#include "ui/framework/formbuilder.h"
#include "ui/framework/helpcontexts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

CDlgFilterCompCover::CDlgFilterCompCover(const GuiContext& context, CompCoverFilter filter,
                                         QWidget* parent)
    : QDialog(parent), m_filter(std::move(filter)) {
    setWindowTitle(QStringLiteral("Filtr složených obalů"));
    m_useName = new QCheckBox(QStringLiteral("Název:"), this);
    m_name = new QLineEdit(this);
    m_name->setMaxLength(50);
    m_namePart = new QCheckBox(QStringLiteral("část"), this);
    m_useNote = new QCheckBox(QStringLiteral("Poznámka:"), this);
    m_note = new QLineEdit(this);
    m_note->setMaxLength(255);
    m_notePart = new QCheckBox(QStringLiteral("část"), this);
    m_name->setMinimumWidth(240);

    auto* grid = new QGridLayout;
    grid->addWidget(m_useName, 0, 0);
    grid->addWidget(m_name, 0, 1);
    grid->addWidget(m_namePart, 0, 2);
    grid->addWidget(m_useNote, 1, 0);
    grid->addWidget(m_note, 1, 1);
    grid->addWidget(m_notePart, 1, 2);
    grid->setColumnStretch(1, 1);

    QDialogButtonBox* buttons = MakeDialogButtons(this, context, help::CompCoverFilter);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    for (QCheckBox* use : {m_useName, m_useNote})
        connect(use, &QCheckBox::clicked, this, &CDlgFilterCompCover::UpdateEnabling);
    LoadControls();
}

void CDlgFilterCompCover::LoadControls() {
    m_useName->setChecked(m_filter.useName);
    m_name->setText(QString::fromStdString(m_filter.name));
    m_namePart->setChecked(m_filter.namePart);
    m_useNote->setChecked(m_filter.useNote);
    m_note->setText(QString::fromStdString(m_filter.note));
    m_notePart->setChecked(m_filter.notePart);
    UpdateEnabling();
}

void CDlgFilterCompCover::UpdateEnabling() {
    const bool name = m_useName->isChecked();
    m_name->setEnabled(name);
    m_namePart->setEnabled(name);
    const bool note = m_useNote->isChecked();
    m_note->setEnabled(note);
    m_notePart->setEnabled(note);
}

void CDlgFilterCompCover::accept() {
    m_filter.useName = m_useName->isChecked();
    m_filter.name = m_name->text().toStdString();
    m_filter.namePart = m_namePart->isChecked();
    m_filter.useNote = m_useNote->isChecked();
    m_filter.note = m_note->text().toStdString();
    m_filter.notePart = m_notePart->isChecked();
    QDialog::accept();
}

} // namespace tarvo
