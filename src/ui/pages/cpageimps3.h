#pragma once

#include "core/import/moneys3import.h"
#include "core/import/moneyxmlimport.h"

#include <QWizardPage>
#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace tarvo {

struct GuiContext;

// Where the Money S3 data come from: an agenda and a year of the Money
// installation (found on this machine or chosen by hand), or a file of
// Money's XML export with the documents to take from it.
struct MoneySource {
    MoneyYearRow folders;
    std::string xmlFile; // empty: the installation's data
    MoneyXmlSources xmlSources = MoneyXmlSources::Both;
};

// "Vyberte účetní rok Money": the agendas and years of the Money S3 installed
// on this machine, and "..." for a year folder anywhere else; or the file of
// an XML export of Money S3, with the documents to import from it.
class CPageImpS3 : public QWizardPage {
    Q_OBJECT
public:
    // The folder dialog of "..."; returns the chosen folder or an empty text.
    using BrowseFolder = std::function<QString(QWidget* parent)>;

    // The XML source starts chosen when a file was imported last time.
    CPageImpS3(const GuiContext& context, std::string dosDevices,
               const MoneyXmlImportParams& storedXml = {}, QWidget* parent = nullptr);

    void SetBrowseFolder(BrowseFolder browse) { m_browse = std::move(browse); }
    // The file dialog of the XML source's "...".
    void SetBrowseFile(BrowseFolder browse) { m_browseFile = std::move(browse); }

    void initializePage() override;
    bool validatePage() override;

    // The source of the selected row; nothing before validatePage passed.
    const std::optional<MoneySource>& Source() const { return m_source; }

    QTreeWidget* List() const { return m_list; }
    QLabel* NotInstalledNote() const { return m_notInstalled; }
    QLabel* FolderLine() const { return m_folderLine; }
    QPushButton* BrowseButton() const { return m_browseButton; }
    QRadioButton* InstallationChoice() const { return m_fromInstallation; }
    QRadioButton* XmlChoice() const { return m_fromXml; }
    QLineEdit* XmlFileEdit() const { return m_xmlFile; }
    QPushButton* XmlBrowseButton() const { return m_xmlBrowseButton; }
    QComboBox* XmlSourcesBox() const { return m_xmlSources; }

private:
    void AddRow(const MoneyYearRow& row);
    void ShowSelectedFolder();
    void Browse();
    void BrowseXml();
    void UpdateEnabling();

    const GuiContext& m_context;
    std::string m_dosDevices;
    BrowseFolder m_browse;
    BrowseFolder m_browseFile;
    std::vector<MoneyYearRow> m_rows;
    std::optional<MoneySource> m_source;
    QLabel* m_notInstalled;
    QTreeWidget* m_list;
    QLabel* m_folderLine;
    QPushButton* m_browseButton;
    QRadioButton* m_fromInstallation;
    QRadioButton* m_fromXml;
    QLineEdit* m_xmlFile;
    QPushButton* m_xmlBrowseButton;
    QComboBox* m_xmlSources;
};

} // namespace tarvo
