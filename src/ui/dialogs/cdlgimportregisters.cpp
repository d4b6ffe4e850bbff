#include "ui/dialogs/cdlgimportregisters.h"

#include "core/data/profile.h"
#include "core/ports/notifyport.h"
#include "core/ports/progressport.h"
#include "ui/framework/existingrecordsgroup.h"
#include "ui/framework/formbuilder.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/helpcontexts.h"
#include "ui/framework/waitcursor.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <limits>

namespace tarvo {

std::string RegisterFaultsText(const std::vector<RegisterFault>& faults, size_t maxLines) {
    std::string text = "Soubor obsahuje chyby, nic nebylo importováno:";
    for (size_t i = 0; i < faults.size(); ++i) {
        if (i == maxLines) {
            text += "\n…";
            break;
        }
        text += "\n" + faults[i].Message();
    }
    return text;
}

CDlgImportRegisters::CDlgImportRegisters(const GuiContext& context, const QString& path,
                                         QWidget* parent)
    : QDialog(parent), m_context(context), m_path(path.toStdString()) {
    setWindowTitle(QStringLiteral("Import evidencí"));
    m_file = new QLineEdit(QDir::toNativeSeparators(path), this);
    m_file->setReadOnly(true);
    m_file->setMinimumWidth(420);
    const ImportChoices choices =
        ReadImportChoices(Profile(context.folder.SettingsPath()), RegisterImportSection);
    m_mode = new ExistingRecordsGroup(choices.existing, this);
    m_check = new QPlainTextEdit(this);
    m_check->setReadOnly(true);
    m_check->setMinimumHeight(140);

    FormGrid form(this);
    form.AddRow(QStringLiteral("&Soubor:"), m_file);
    form.AddAcross(m_mode);
    auto* checkLabel = new QLabel(QStringLiteral("&Kontrola souboru:"), this);
    checkLabel->setBuddy(m_check);
    form.AddAcross(checkLabel);
    form.AddAcross(m_check);
    form.Layout()->setRowStretch(form.RowCount() - 1, 1);
    QDialogButtonBox* buttons = MakeDialogButtons(this, context, help::RegisterImport);
    for (QAbstractButton* button : buttons->buttons()) {
        if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole) {
            m_import = qobject_cast<QPushButton*>(button);
            m_import->setText(QStringLiteral("Importovat"));
        }
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form.Layout());
    layout->addWidget(buttons);

    for (ExistingMode mode : {ExistingMode::Overwrite, ExistingMode::Skip, ExistingMode::Ask}) {
        connect(m_mode->Button(mode), &QRadioButton::toggled, this, [this](bool checked) {
            if (checked)
                Check();
        });
    }
    Check();
    m_mode->Button(Mode())->setFocus();
}

ExistingMode CDlgImportRegisters::Mode() const {
    return m_mode->Mode();
}

// The file is read anew each time: the check counts against the database as
// it is now.
void CDlgImportRegisters::Check() {
    RegisterImportOptions options;
    options.existing = Mode();
    options.dryRun = true;
    RegisterImportResult result;
    {
        WaitCursor wait;
        NullProgress progress;
        NullNotifier views;
        result =
            ImportRegisters(m_context.store, m_path, options, m_context.switches, progress, views);
    }
    m_status = result.status;
    switch (result.status) {
    case RegisterImportStatus::Done:
        m_check->setPlainText(QString::fromStdString(
            RegisterImportSummaryText(result.summary, true, options.existing)));
        break;
    case RegisterImportStatus::Faults:
        m_check->setPlainText(QString::fromStdString(
            RegisterFaultsText(result.faults, std::numeric_limits<size_t>::max())));
        break;
    case RegisterImportStatus::Cancelled:
    case RegisterImportStatus::Failed:
        m_check->clear();
        break;
    }
    m_import->setEnabled(result.status == RegisterImportStatus::Done);
}

void CDlgImportRegisters::accept() {
    if (m_status == RegisterImportStatus::Done)
        QDialog::accept();
}

// The mode chosen is offered next time, also after Storno.
void CDlgImportRegisters::done(int result) {
    Profile profile(m_context.folder.SettingsPath());
    ImportChoices choices = ReadImportChoices(profile, RegisterImportSection);
    choices.existing = Mode();
    WriteImportChoices(profile, RegisterImportSection, choices);
    QDialog::done(result);
}

} // namespace tarvo
