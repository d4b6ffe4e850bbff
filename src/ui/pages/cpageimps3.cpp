#include "ui/pages/cpageimps3.h"

#include "core/ports/messageport.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/wizard.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

namespace tarvo {

namespace {

constexpr int YearColumnWidth = 80;

QString FolderDialog(QWidget* parent) {
    return QFileDialog::getExistingDirectory(parent, QStringLiteral("Vyberte účetní rok Money"));
}

QString FileDialog(QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Vyberte XML export Money S3"),
                                        QString(),
                                        QStringLiteral("Soubory XML (*.xml);;Všechny soubory (*)"));
}

QPushButton* BrowseButtonFor(QWidget* parent, const QString& tooltip) {
    auto* button = new QPushButton(QStringLiteral("..."), parent);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance("....") + 16);
    button->setToolTip(tooltip);
    return button;
}

} // namespace

CPageImpS3::CPageImpS3(const GuiContext& context, std::string dosDevices,
                       const MoneyXmlImportParams& storedXml, QWidget* parent)
    : QWizardPage(parent), m_context(context), m_dosDevices(std::move(dosDevices)),
      m_browse(&FolderDialog), m_browseFile(&FileDialog) {
    setTitle(QStringLiteral("Vyberte účetní rok Money"));
    m_fromInstallation =
        new QRadioButton(QStringLiteral("z dat &Money S3 na tomto počítači"), this);
    m_fromXml = new QRadioButton(QStringLiteral("ze souboru &XML exportu Money S3"), this);
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setHeaderLabels({QStringLiteral("Název agendy"), QStringLiteral("Rok")});
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(1, QHeaderView::Fixed);
    m_list->header()->resizeSection(1, YearColumnWidth);
    m_list->setMinimumSize(420, 200);
    // Said on the page, not in a message box before it: a user of the XML
    // export needs no Money here.
    m_notInstalled = new QLabel(
        QStringLiteral("Na tomto počítači pravděpodobně nejsou nainstalovány MoneyS3."), this);
    m_notInstalled->setWordWrap(true);
    m_notInstalled->hide();
    m_folderLine = new QLabel(this);
    m_folderLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long folder must not widen the page; the whole path is in the tooltip.
    m_folderLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_browseButton = BrowseButtonFor(this, QStringLiteral("Vybrat složku účetního roku"));
    m_xmlFile = new QLineEdit(QString::fromStdString(storedXml.file), this);
    m_xmlBrowseButton = BrowseButtonFor(this, QStringLiteral("Vybrat soubor XML"));
    m_xmlSources = new QComboBox(this);
    // In the order of MoneyXmlSources.
    m_xmlSources->addItems({QStringLiteral("skladové doklady"), QStringLiteral("faktury vydané"),
                            QStringLiteral("skladové doklady i faktury vydané")});
    m_xmlSources->setCurrentIndex(static_cast<int>(storedXml.sources));
    auto* sourcesLabel = new QLabel(QStringLiteral("D&oklady:"), this);
    sourcesLabel->setBuddy(m_xmlSources);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_fromInstallation, 0, 0, 1, 3);
    layout->addWidget(m_notInstalled, 1, 0, 1, 3);
    layout->addWidget(m_list, 2, 0, 1, 2);
    layout->addWidget(m_folderLine, 3, 0, 1, 2);
    layout->addWidget(m_browseButton, 3, 2);
    layout->addWidget(m_fromXml, 4, 0, 1, 3);
    layout->addWidget(m_xmlFile, 5, 0, 1, 2);
    layout->addWidget(m_xmlBrowseButton, 5, 2);
    layout->addWidget(sourcesLabel, 6, 0);
    layout->addWidget(m_xmlSources, 6, 1);
    layout->setColumnStretch(1, 1);
    (storedXml.file.empty() ? m_fromInstallation : m_fromXml)->setChecked(true);
    UpdateEnabling();

    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CPageImpS3::ShowSelectedFolder);
    connect(m_browseButton, &QPushButton::clicked, this, &CPageImpS3::Browse);
    connect(m_xmlBrowseButton, &QPushButton::clicked, this, &CPageImpS3::BrowseXml);
    connect(m_fromInstallation, &QRadioButton::toggled, this, &CPageImpS3::UpdateEnabling);
    // A double click chooses the row and goes on, as "Další" would.
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (auto* sheet = qobject_cast<Wizard*>(wizard()))
            sheet->Advance();
    });
}

void CPageImpS3::initializePage() {
    m_list->clear();
    m_rows.clear();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const MoneyInstallation installation = FindMoneyInstallation(m_dosDevices, m_context.messages);
    QApplication::restoreOverrideCursor();
    m_notInstalled->setVisible(!installation.found);
    for (const MoneyYearRow& row : installation.rows)
        AddRow(row);
}

void CPageImpS3::AddRow(const MoneyYearRow& row) {
    m_rows.push_back(row);
    auto* item = new QTreeWidgetItem(
        m_list, {QString::fromStdString(row.agendaName), QString::fromStdString(row.yearName)});
    item->setData(0, Qt::UserRole, static_cast<int>(m_rows.size() - 1));
}

void CPageImpS3::ShowSelectedFolder() {
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    m_folderLine->setText(
        selected.isEmpty()
            ? QString()
            : QString::fromStdString(
                  m_rows[selected.front()->data(0, Qt::UserRole).toInt()].yearFolder));
}

void CPageImpS3::Browse() {
    const QString folder = m_browse(this);
    if (folder.isEmpty())
        return;
    const std::optional<MoneyYearRow> row =
        MoneyRowForYearFolder(folder.toStdString(), m_context.messages);
    if (!row)
        return;
    // A year already listed is selected, not listed twice.
    const QString yearFolder = QString::fromStdString(row->yearFolder);
    QTreeWidgetItem* item = nullptr;
    for (int i = 0; i < m_list->topLevelItemCount() && !item; ++i) {
        QTreeWidgetItem* candidate = m_list->topLevelItem(i);
        const MoneyYearRow& listed = m_rows[candidate->data(0, Qt::UserRole).toInt()];
        if (QString::fromStdString(listed.yearFolder).compare(yearFolder, Qt::CaseInsensitive) == 0)
            item = candidate;
    }
    if (!item) {
        AddRow(*row);
        item = m_list->topLevelItem(m_list->topLevelItemCount() - 1);
    }
    m_list->setCurrentItem(item);
    m_list->scrollToItem(item);
}

void CPageImpS3::UpdateEnabling() {
    const bool installation = m_fromInstallation->isChecked();
    m_list->setEnabled(installation);
    m_folderLine->setEnabled(installation);
    m_browseButton->setEnabled(installation);
    m_xmlFile->setEnabled(!installation);
    m_xmlBrowseButton->setEnabled(!installation);
    m_xmlSources->setEnabled(!installation);
}

void CPageImpS3::BrowseXml() {
    const QString file = m_browseFile(this);
    if (!file.isEmpty())
        m_xmlFile->setText(file);
}

bool CPageImpS3::validatePage() {
    if (m_fromXml->isChecked()) {
        const QString file = m_xmlFile->text().trimmed();
        if (!QFileInfo(file).isFile()) {
            m_context.messages.ShowMessage("Není vybrán soubor XML!", MsgIcon::Exclamation);
            m_xmlFile->setFocus();
            return false;
        }
        MoneySource source;
        source.xmlFile = file.toStdString();
        source.xmlSources = static_cast<MoneyXmlSources>(m_xmlSources->currentIndex());
        m_source = source;
        return true;
    }
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) {
        m_context.messages.ShowMessage("Není vybrána agenda!", MsgIcon::Exclamation);
        m_list->setFocus();
        return false;
    }
    m_source = MoneySource{
        m_rows[selected.front()->data(0, Qt::UserRole).toInt()], {}, MoneyXmlSources::Both};
    return true;
}

} // namespace tarvo
