#pragma once

#include "core/registerbook/registerimport.h"

#include <QDialog>
#include <string>
#include <vector>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tarvo {

struct GuiContext;
class ExistingRecordsGroup;

// "Import evidencí": the workbook chosen, what to do with records found
// again, and what the import would do with the file in that mode, checked
// at once and again whenever the mode changes. A file with faults cannot be
// imported. The mode is taken from and kept in the settings; the import
// itself is the caller's, after Importovat.
class CDlgImportRegisters : public QDialog {
    Q_OBJECT
public:
    CDlgImportRegisters(const GuiContext& context, const QString& path, QWidget* parent = nullptr);

    ExistingMode Mode() const;
    // How the last check ended; Failed when the file could not be read (the
    // reason has been shown).
    RegisterImportStatus CheckStatus() const { return m_status; }

    QLineEdit* FileEdit() const { return m_file; }
    ExistingRecordsGroup* ModeGroup() const { return m_mode; }
    QPlainTextEdit* CheckText() const { return m_check; }
    QPushButton* ImportButton() const { return m_import; }

    void accept() override;
    void done(int result) override;

private:
    void Check();

    const GuiContext& m_context;
    std::string m_path;
    RegisterImportStatus m_status = RegisterImportStatus::Failed;
    QLineEdit* m_file;
    ExistingRecordsGroup* m_mode;
    QPlainTextEdit* m_check;
    QPushButton* m_import = nullptr;
};

// The heading "Soubor obsahuje chyby, nic nebylo importováno:" and the faults,
// one a line; at most maxLines of them, the rest left as "…".
std::string RegisterFaultsText(const std::vector<RegisterFault>& faults, size_t maxLines);

} // namespace tarvo
