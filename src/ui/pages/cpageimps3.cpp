#include "ui/pages/cpageimps3.h"

#include "core/ports/messageport.h"
#include "ui/framework/guicontext.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace tarvo {

namespace {

constexpr int YearColumnWidth = 80;

QString FolderDialog(QWidget* parent) {
    return QFileDialog::getExistingDirectory(parent, QStringLiteral("Vyberte účetní rok Money"));
}

} // namespace

CPageImpS3::CPageImpS3(const GuiContext& context, std::string dosDevices, QWidget* parent)
    : QWizardPage(parent), m_context(context), m_dosDevices(std::move(dosDevices)),
      m_browse(&FolderDialog) {
    setTitle(QStringLiteral("Vyberte účetní rok Money"));
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
    m_folderLine = new QLabel(this);
    m_folderLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long folder must not widen the page; the whole path is in the tooltip.
    m_folderLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_browseButton = new QPushButton(QStringLiteral("..."), this);
    m_browseButton->setFixedWidth(m_browseButton->fontMetrics().horizontalAdvance("....") + 16);
    m_browseButton->setToolTip(QStringLiteral("Vybrat složku účetního roku"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_list, 0, 0, 1, 2);
    layout->addWidget(m_folderLine, 1, 0);
    layout->addWidget(m_browseButton, 1, 1);
    layout->setColumnStretch(0, 1);

    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CPageImpS3::ShowSelectedFolder);
    connect(m_browseButton, &QPushButton::clicked, this, &CPageImpS3::Browse);
    // A double click chooses the row and goes on, as "Další" would.
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (wizard())
            wizard()->next();
    });
}

void CPageImpS3::initializePage() {
    m_list->clear();
    m_rows.clear();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const MoneyInstallation installation = FindMoneyInstallation(m_dosDevices, m_context.messages);
    QApplication::restoreOverrideCursor();
    if (!installation.found) {
        m_context.messages.ShowMessage(
            "Na tomto počítači pravděpodobně nejsou nainstalovány MoneyS3.", MsgIcon::Exclamation);
        return;
    }
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

bool CPageImpS3::validatePage() {
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) {
        m_context.messages.ShowMessage("Není vybrána agenda!", MsgIcon::Exclamation);
        m_list->setFocus();
        return false;
    }
    m_source = MoneySource{m_rows[selected.front()->data(0, Qt::UserRole).toInt()]};
    return true;
}

} // namespace tarvo
