#pragma once

// moc cannot parse the C++20 library headers these bring in; it needs none
// of their declarations.
#ifndef Q_MOC_RUN
#include "core/import/moneys3import.h"
#endif

#include <QWizardPage>
#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace tarvo {

struct GuiContext;

// Where the Money S3 data come from. Today an agenda and a year of the Money
// installation (found on this machine or chosen by hand); the page keeps the
// source as one value so that other kinds of source can join it.
struct MoneySource {
    MoneyYearRow folders;
};

// "Vyberte účetní rok Money": the agendas and years of the Money S3 installed
// on this machine, and "..." for a year folder anywhere else.
class CPageImpS3 : public QWizardPage {
    Q_OBJECT
public:
    // The folder dialog of "..."; returns the chosen folder or an empty text.
    using BrowseFolder = std::function<QString(QWidget* parent)>;

    CPageImpS3(const GuiContext& context, std::string dosDevices, QWidget* parent = nullptr);

    void SetBrowseFolder(BrowseFolder browse) { m_browse = std::move(browse); }

    void initializePage() override;
    bool validatePage() override;

    // The source of the selected row; nothing before validatePage passed.
    const std::optional<MoneySource>& Source() const { return m_source; }

    QTreeWidget* List() const { return m_list; }
    QLabel* FolderLine() const { return m_folderLine; }
    QPushButton* BrowseButton() const { return m_browseButton; }

private:
    void AddRow(const MoneyYearRow& row);
    void ShowSelectedFolder();
    void Browse();

    const GuiContext& m_context;
    std::string m_dosDevices;
    BrowseFolder m_browse;
    std::vector<MoneyYearRow> m_rows;
    std::optional<MoneySource> m_source;
    QTreeWidget* m_list;
    QLabel* m_folderLine;
    QPushButton* m_browseButton;
};

} // namespace tarvo
