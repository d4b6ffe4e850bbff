#pragma once

#include "core/data/backup.h"

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvo {

struct GuiContext;

// "Záloha dat": the file of a backup or of a restore, with "..." for the file
// dialog and the action button. The dialog closes when the action succeeded;
// otherwise it stays open (the reason has been shown).
class CDlgBackup : public QDialog {
    Q_OBJECT
public:
    CDlgBackup(const GuiContext& context, BackupMode mode, QWidget* parent = nullptr);

    // The file dialog of "...": given the proposed path, returns the chosen
    // one or an empty text. Tests replace it.
    using BrowseFile = std::function<QString(QWidget* parent, const BackupDialogSetup& setup,
                                             const QString& proposed)>;
    void SetBrowseFile(BrowseFile browse) { m_browse = std::move(browse); }
    static QString RunFileDialog(QWidget* parent, const BackupDialogSetup& setup,
                                 const QString& proposed);

    QLabel* Label() const { return m_label; }
    QLineEdit* PathEdit() const { return m_path; }
    QPushButton* BrowseButton() const { return m_browseButton; }
    QPushButton* ActionButton() const { return m_action; }
    QPushButton* CloseButton() const { return m_close; }

private:
    void Browse();
    void Act();

    const GuiContext& m_context;
    BackupMode m_mode;
    BackupDialogSetup m_setup;
    BrowseFile m_browse = &CDlgBackup::RunFileDialog;
    QLabel* m_label;
    QLineEdit* m_path;
    QPushButton* m_browseButton;
    QPushButton* m_action;
    QPushButton* m_close;
};

} // namespace tarvo
