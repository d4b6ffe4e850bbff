#include "ui/dialogs/cdlgcover.h"

#include "core/data/codelists.h"
#include "core/ports/messageport.h"
#include "ui/framework/codecombo.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/localenumber.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

namespace {
constexpr int MaterialWood = 0;
constexpr int MaterialCartons = 6;
constexpr int StatCartons = 3;
} // namespace

CDlgCover::CDlgCover(const GuiContext& context, CoverRecord record, QWidget* parent)
    : QDialog(parent), m_context(context), m_record(std::move(record)) {
    setWindowTitle(QStringLiteral("Detail obalu"));
    m_name = new QLineEdit(this);
    m_name->setMaxLength(50);
    m_weight = new QLineEdit(this);
    m_stat = codecombo::Make(this);
    m_reusable = new QCheckBox(QStringLiteral("obal je opakovaně používaný"), this);
    m_material = codecombo::Make(this);
    m_origin = codecombo::Make(this);
    m_type = codecombo::Make(this);
    m_payment = codecombo::Make(this);
    m_note = new QLineEdit(this);
    m_note->setMaxLength(255);

    auto* grid = new QGridLayout;
    int row = 0;
    auto addRow = [&](const char* label, QWidget* field, QWidget* unit = nullptr) {
        auto* text = new QLabel(QString::fromUtf8(label), this);
        text->setBuddy(field);
        grid->addWidget(text, row, 0);
        grid->addWidget(field, row, 1, 1, unit ? 1 : 2);
        if (unit)
            grid->addWidget(unit, row, 2);
        ++row;
    };
    addRow("Název:", m_name);
    addRow("Hmotnost:", m_weight, new QLabel(QStringLiteral("[kg]"), this));
    addRow("Statistické údaje:", m_stat);
    grid->addWidget(m_reusable, row++, 1, 1, 2);
    addRow("Materiál:", m_material);
    addRow("*) Původ:", m_origin);
    addRow("*) Typ:", m_type);
    addRow("*) Platba:", m_payment);
    auto* remark = new QLabel(
        QStringLiteral("\"Původ\", \"Typ\" a \"Platba\" nastavené na této obrazovce slouží jako "
                       "výchozí hodnoty obalu při definování nových balení produktů. U "
                       "jednotlivých balení, skupinových obalů či výdajů je však možné tyto "
                       "parametry obalu individuálně změnit. "),
        this);
    remark->setWordWrap(true);
    grid->addWidget(remark, row++, 0, 1, 3);
    addRow("Poznámka:", m_note);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Storno"), QDialogButtonBox::RejectRole);
    // Help pages come with the help system; until then the button is there
    // but does nothing.
    buttons->addButton(QStringLiteral("Nápověda"), QDialogButtonBox::HelpRole)->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    setMinimumWidth(420);

    // Only a choice by hand couples the two lists: activated() is not sent
    // when the program selects an item.
    connect(m_material, &QComboBox::activated, this, [this] { OnMaterialChosen(); });
    connect(m_stat, &QComboBox::activated, this, [this] { OnStatChosen(); });
    LoadControls();
}

void CDlgCover::LoadControls() {
    m_name->setText(QString::fromStdString(m_record.name));
    m_weight->setText(QuantityToLocaleText(m_record.weight));
    m_reusable->setChecked(m_record.reusable);
    m_note->setText(QString::fromStdString(m_record.note));
    // Materials: "dřevo", then "textil" (code 29), then codes 1 to 28.
    std::vector<int> materials = {0, MaterialTextile};
    for (int code = 1; code < MaterialTextile; ++code)
        materials.push_back(code);
    codecombo::Fill(m_material, Materials, materials, m_record.material);
    codecombo::FillAll(m_type, CoverTypes, m_record.type);
    codecombo::FillAll(m_origin, Origins, m_record.origin);
    codecombo::FillAll(m_payment, Payments, m_record.payment);
    codecombo::FillAll(m_stat, StatCategories, m_record.stat);
}

void CDlgCover::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_name->setFocus();
    m_name->selectAll();
}

void CDlgCover::OnMaterialChosen() {
    if (codecombo::Selected(m_material) == MaterialCartons)
        codecombo::Select(m_stat, StatCartons);
}

void CDlgCover::OnStatChosen() {
    const int category = codecombo::Selected(m_stat);
    if (category == 1 || category == 2)
        codecombo::Select(m_material, MaterialWood);
    else if (category == StatCartons)
        codecombo::Select(m_material, MaterialCartons);
}

void CDlgCover::Warn(const char* text) {
    m_context.messages.ShowMessage(text, MsgIcon::Exclamation);
}

void CDlgCover::accept() {
    const std::optional<Quantity> parsed = QuantityFromLocaleText(m_weight->text());
    if (!parsed) {
        Warn("Zadejte číslo.");
        m_weight->setFocus();
        m_weight->selectAll();
        return;
    }
    if (parsed->Scaled() <= 0) {
        Warn("Hmotnost musí být větší než 0!");
        m_weight->setFocus();
        m_weight->selectAll();
        return;
    }
    struct Check {
        QComboBox* combo;
        const char* message;
    };
    const Check checks[] = {{m_material, "Není vybrán materiál!"},
                            {m_type, "Není vybrán typ!"},
                            {m_origin, "Není vybrán původ!"},
                            {m_payment, "Není vybrána platba!"},
                            {m_stat, "Není vybrán údaj pro statistickou evidenci!"}};
    for (const Check& check : checks) {
        if (codecombo::Selected(check.combo) < 0) {
            Warn(check.message);
            check.combo->setFocus();
            return;
        }
    }
    m_record.name = m_name->text().toStdString();
    m_record.weight = *parsed;
    m_record.reusable = m_reusable->isChecked();
    m_record.note = m_note->text().toStdString();
    m_record.material = codecombo::Selected(m_material);
    m_record.type = codecombo::Selected(m_type);
    m_record.origin = codecombo::Selected(m_origin);
    m_record.payment = codecombo::Selected(m_payment);
    m_record.stat = codecombo::Selected(m_stat);
    QDialog::accept();
}

} // namespace tarvo
