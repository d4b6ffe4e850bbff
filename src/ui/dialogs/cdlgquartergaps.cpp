#include "ui/dialogs/cdlgquartergaps.h"

#include "core/data/comerror.h"
#include "core/data/shared.h"
#include "core/report/quartercheck.h"
#include "ui/framework/guicontext.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarvo {

namespace {

QTreeWidgetItem* Group(QTreeWidget* tree, const QString& caption, size_t count) {
    auto* item = new QTreeWidgetItem(tree, {QStringLiteral("%1 (%2)").arg(caption).arg(count)});
    item->setFirstColumnSpanned(true);
    item->setExpanded(true);
    return item;
}

} // namespace

CDlgQuarterGaps::CDlgQuarterGaps(const GuiContext& context, int year, int quarter, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Kontrola údajů za %1. čtvrtletí %2").arg(quarter).arg(year));
    m_tree = new QTreeWidget(this);
    m_tree->setHeaderLabels(
        {QStringLiteral("Výrobek / obal"), QStringLiteral("Výdej"), QStringLiteral("Datum")});
    m_tree->setRootIsDecorated(true);
    m_tree->setUniformRowHeights(true);
    try {
        const std::vector<UnpackagedLine> lines =
            ListLinesWithoutPackaging(context.store, year, quarter);
        QTreeWidgetItem* group =
            Group(m_tree, QStringLiteral("Řádky výdejů bez platného balení"), lines.size());
        for (const UnpackagedLine& line : lines)
            new QTreeWidgetItem(group, {QString::fromStdString(line.product),
                                        QString::fromStdString(line.dispatch),
                                        QString::fromStdString(line.date.ToText())});
        const std::vector<std::string> covers =
            ListCoversWithoutWeight(context.store, year, quarter);
        group = Group(m_tree, QStringLiteral("Obaly bez hmotnosti"), covers.size());
        for (const std::string& cover : covers)
            new QTreeWidgetItem(group, {QString::fromStdString(cover)});
    } catch (const ComError& e) {
        ShowComError(context.messages, e);
    }
    m_tree->header()->resizeSections(QHeaderView::ResizeToContents);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("Zavřít"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tree);
    layout->addWidget(buttons);
    resize(640, 420);
}

} // namespace tarvo
