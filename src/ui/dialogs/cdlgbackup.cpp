#include "ui/dialogs/cdlgbackup.h"

#include "ui/framework/formbuilder.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/helpcontexts.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tarvo {

CDlgBackup::CDlgBackup(const GuiContext& context, BackupMode mode, QWidget* parent)
    : QDialog(parent), m_context(context), m_mode(mode),
      m_setup(SetupBackupDialog(mode, context.folder)) {
    setWindowTitle(QString::fromStdString(m_setup.title));
    m_path = new QLineEdit(QString::fromStdString(m_setup.initialPath), this);
    m_path->setMinimumWidth(380);
    m_label = new QLabel(QString::fromStdString(m_setup.label), this);
    m_label->setBuddy(m_path);
    m_browseButton = new QPushButton(QStringLiteral("..."), this);
    m_browseButton->setFixedWidth(m_browseButton->fontMetrics().horizontalAdvance("....") + 16);
    m_action = new QPushButton(QString::fromStdString(m_setup.actionText), this);
    m_action->setDefault(true);
    m_close = new QPushButton(QStringLiteral("Zavřít"), this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_label, 0, 0, 1, 2);
    layout->addWidget(m_path, 1, 0);
    layout->addWidget(m_browseButton, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_action);
    buttons->addWidget(m_close);
    buttons->addWidget(MakeHelpButton(this, context, help::Backup));
    layout->addLayout(buttons, 2, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_browseButton, &QPushButton::clicked, this, &CDlgBackup::Browse);
    connect(m_action, &QPushButton::clicked, this, &CDlgBackup::Act);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    m_path->setFocus();
}

QString CDlgBackup::RunFileDialog(QWidget* parent, const BackupDialogSetup& setup,
                                  const QString& proposed) {
    QFileDialog dialog(parent, QString::fromStdString(setup.title), proposed,
                       QString::fromStdString(setup.fileFilter));
    dialog.setAcceptMode(setup.saveDialog ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(setup.saveDialog ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QString::fromStdString(setup.defaultExtension));
    // The save dialog asks nothing: the backup itself asks before it
    // replaces a file.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

void CDlgBackup::Browse() {
    // The dialog opens in the folder of the typed path (when there is one)
    // with its file name proposed.
    const QString name = QString::fromStdString(BrowseFileName(m_path->text().toStdString()));
    const QFileInfo typed(m_path->text().trimmed());
    const QString folder = typed.absolutePath();
    const QString proposed =
        QDir(folder).exists() && !name.isEmpty() ? QDir(folder).filePath(name) : name;
    const QString chosen = m_browse(this, m_setup, proposed);
    if (!chosen.isEmpty())
        m_path->setText(QDir::toNativeSeparators(chosen));
}

void CDlgBackup::Act() {
    if (RunBackupAction(m_mode, m_path->text().toStdString(), m_context.store, m_context.folder,
                        m_context.messages, m_context.notifier))
        accept();
}

} // namespace tarvo
