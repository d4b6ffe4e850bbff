#include "ui/dialogs/cdlgcomposition.h"

#include "core/data/codelists.h"
#include "core/ports/messageport.h"
#include "core/registers/classification.h"
#include "ui/framework/formbuilder.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/helpcontexts.h"
#include "ui/framework/localenumber.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace tarvo {

namespace {
constexpr int ShareColumn = 1;
} // namespace

CDlgComposition::CDlgComposition(const GuiContext& context, int material,
                                 std::vector<CompositionPart> record, QWidget* parent)
    : QDialog(parent), m_context(context), m_material(material), m_record(std::move(record)) {
    setWindowTitle(QStringLiteral("Složení obalu"));
    auto* heading = new QLabel(
        QStringLiteral("Materiál: %1").arg(QString::fromStdString(Materials2021.Label(m_material))),
        this);
    m_grid = new QTableWidget(Components.size, 2, this);
    m_grid->setHorizontalHeaderLabels({QStringLiteral("Složka"), QStringLiteral("Podíl [%]")});
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int code = 0; code < Components.size; ++code) {
        auto* name = new QTableWidgetItem(QString::fromStdString(Components.Label(code)));
        name->setFlags(Qt::ItemIsEnabled);
        m_grid->setItem(code, 0, name);
        auto* share = new QTableWidgetItem;
        share->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_grid->setItem(code, ShareColumn, share);
    }
    for (const CompositionPart& part : m_record) {
        if (part.component >= 0 && part.component < Components.size)
            m_grid->item(part.component, ShareColumn)->setText(QuantityToLocaleText(part.share));
    }
    m_grid->setWordWrap(false);
    m_grid->resizeRowsToContents();
    // Typing a number goes straight into the share of the current row.
    m_grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    const int first =
        m_record.empty() ? 0 : std::clamp(m_record.front().component, 0, Components.size - 1);
    m_grid->setCurrentCell(first, ShareColumn);
    m_total = new QLabel(this);

    QDialogButtonBox* buttons = MakeDialogButtons(this, m_context, help::Classification);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_grid);
    layout->addWidget(m_total);
    layout->addWidget(buttons);
    resize(340, 420);

    connect(m_grid, &QTableWidget::itemChanged, this, [this] { ShowTotal(); });
    ShowTotal();
}

std::optional<std::vector<CompositionPart>> CDlgComposition::Parts() {
    std::vector<CompositionPart> parts;
    for (int code = 0; code < Components.size; ++code) {
        const QString text = m_grid->item(code, ShareColumn)->text().trimmed();
        if (text.isEmpty())
            continue;
        const std::optional<Quantity> share = QuantityFromLocaleText(text);
        if (!share) {
            m_grid->setCurrentCell(code, ShareColumn);
            return std::nullopt;
        }
        parts.push_back({code, *share});
    }
    return parts;
}

void CDlgComposition::ShowTotal() {
    Quantity total = Quantity::FromUnits(0);
    bool numbers = true;
    for (int code = 0; code < Components.size; ++code) {
        const QString text = m_grid->item(code, ShareColumn)->text().trimmed();
        if (text.isEmpty())
            continue;
        if (const std::optional<Quantity> share = QuantityFromLocaleText(text))
            total = total + *share;
        else
            numbers = false;
    }
    m_total->setText(numbers ? QStringLiteral("Celkem: %1 %").arg(QuantityToLocaleText(total))
                             : QStringLiteral("Celkem: ? %"));
}

void CDlgComposition::accept() {
    const std::optional<std::vector<CompositionPart>> parts = Parts();
    if (!parts) {
        m_context.messages.ShowMessage("Zadejte číslo.", MsgIcon::Exclamation);
        m_grid->setFocus();
        return;
    }
    // The rules of the stored composition decide, so the dialog and the
    // register never disagree about what sums to 100 %.
    CoverClassification check{.material = m_material, .composition = *parts};
    if (const std::optional<std::string> fault = ClassificationFault(check, false)) {
        m_context.messages.ShowMessage(*fault, MsgIcon::Exclamation);
        m_grid->setFocus();
        return;
    }
    m_record = *parts;
    QDialog::accept();
}

} // namespace tarvo
