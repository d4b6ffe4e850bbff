#include "ui/dialogs/cdlgcover.h"

#include "core/data/codelists.h"
#include "core/ports/messageport.h"
#include "core/registers/classification.h"
#include "ui/dialogs/cdlgcomposition.h"
#include "ui/framework/codecombo.h"
#include "ui/framework/formbuilder.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/helpcontexts.h"
#include "ui/framework/localenumber.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
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

CDlgCover::CDlgCover(const GuiContext& context, CoverRecord record,
                     std::optional<CoverClassification> classification, QWidget* parent)
    : QDialog(parent), m_context(context), m_record(std::move(record)),
      m_classification(std::move(classification)) {
    setWindowTitle(QStringLiteral("Detail obalu"));
    m_name = new QLineEdit(this);
    m_name->setMaxLength(50);
    m_weight = new QLineEdit(this);
    m_stat = codecombo::Make(this);
    m_reusable = new QCheckBox(QStringLiteral("obal je opakovaně po&užívaný"), this);
    m_material = codecombo::Make(this);
    m_origin = codecombo::Make(this);
    m_type = codecombo::Make(this);
    m_payment = codecombo::Make(this);
    m_note = new QLineEdit(this);
    m_note->setMaxLength(255);

    FormGrid form(this);
    form.AddRow(QStringLiteral("&Název:"), m_name);
    form.AddRow(QStringLiteral("&Hmotnost:"), m_weight, new QLabel(QStringLiteral("[kg]"), this));
    form.AddRow(QStringLiteral("&Statistické údaje:"), m_stat);
    form.AddUnderFields(m_reusable);
    form.AddRow(QStringLiteral("&Materiál:"), m_material);
    form.AddRow(QStringLiteral("*) &Původ:"), m_origin);
    form.AddRow(QStringLiteral("*) &Typ:"), m_type);
    form.AddRow(QStringLiteral("*) Pl&atba:"), m_payment);
    auto* remark = new QLabel(
        QStringLiteral("„Původ“, „Typ“ a „Platba“ nastavené na této obrazovce slouží jako "
                       "výchozí hodnoty obalu při definování nových balení produktů. U "
                       "jednotlivých balení, skupinových obalů či výdejů je však možné tyto "
                       "parametry obalu individuálně změnit. "),
        this);
    remark->setWordWrap(true);
    form.AddAcross(remark);
    form.AddRow(QStringLiteral("P&oznámka:"), m_note);

    QDialogButtonBox* buttons = MakeDialogButtons(this, context, help::Cover);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form.Layout());
    layout->addWidget(MakeClassificationSection());
    layout->addWidget(buttons);
    setMinimumWidth(420);

    // Only a choice by hand couples the two lists: activated() is not sent
    // when the program selects an item.
    connect(m_material, &QComboBox::activated, this, [this] { OnMaterialChosen(); });
    connect(m_stat, &QComboBox::activated, this, [this] { OnStatChosen(); });
    LoadControls();
}

QWidget* CDlgCover::MakeClassificationSection() {
    auto* box = new QGroupBox(QStringLiteral("Výkaz od roku 2021"), this);
    m_beverage = new QCheckBox(QStringLiteral("Nápojový o&bal"), box);
    m_material2021 = codecombo::Make(box);
    m_shape = codecombo::Make(box);
    m_recycled = new QLineEdit(box);
    m_compositionButton = new QPushButton(QStringLiteral("Slo&žení…"), box);
    m_littering = codecombo::Make(box);
    m_plastic = new QLineEdit(box);
    m_proposal = new QLabel(QStringLiteral("návrh"), box);
    m_proposal->setStyleSheet(QStringLiteral("color: #a05a00; font-weight: bold;"));

    FormGrid form(box);
    form.AddUnderFields(m_beverage, m_proposal);
    form.AddRow(QStringLiteral("Mat&eriál:"), m_material2021, m_compositionButton);
    form.AddRow(QStringLiteral("T&var:"), m_shape);
    form.AddRow(QStringLiteral("&Recyklát [%]:"), m_recycled);
    form.AddRow(QStringLiteral("&Littering:"), m_littering);
    form.AddRow(QStringLiteral("Po&díl plastu [%]:"), m_plastic);
    box->setLayout(form.Layout());

    connect(m_material2021, &QComboBox::activated, this, [this] {
        SectionEdited();
        EnableClassification();
    });
    connect(m_littering, &QComboBox::activated, this, [this] {
        SectionEdited();
        EnableClassification();
    });
    connect(m_shape, &QComboBox::activated, this, [this] { SectionEdited(); });
    connect(m_beverage, &QCheckBox::clicked, this, [this] { SectionEdited(); });
    connect(m_recycled, &QLineEdit::textEdited, this, [this] { SectionEdited(); });
    connect(m_plastic, &QLineEdit::textEdited, this, [this] { SectionEdited(); });
    connect(m_compositionButton, &QPushButton::clicked, this, [this] { EditComposition(); });
    return box;
}

void CDlgCover::LoadClassification(const CoverClassification& c) {
    m_beverage->setChecked(c.beverage);
    codecombo::FillAll(m_material2021, Materials2021, c.material);
    codecombo::FillAll(m_shape, Shapes, c.shape);
    m_recycled->setText(QuantityToLocaleText(c.recycled));
    codecombo::FillAll(m_littering, LitteringKinds, c.littering);
    m_plastic->setText(c.plastic ? QuantityToLocaleText(*c.plastic) : QString());
    m_composition = c.composition;
    // An old material that suggests nothing leaves nothing to mark.
    m_proposal->setVisible(m_proposed && c != CoverClassification{});
    EnableClassification();
}

void CDlgCover::EnableClassification() {
    const int material = codecombo::Selected(m_material2021);
    // A shape the old material code told stays choosable until the material
    // is chosen, so the proposal "pevný" of "PE - pevné duté" is kept.
    m_shape->setEnabled(material < 0 || HasShape(material));
    m_compositionButton->setEnabled(IsComposite(material));
    m_plastic->setEnabled(IsPartlyPlastic(codecombo::Selected(m_littering)));
}

void CDlgCover::SectionEdited() {
    m_proposed = false;
    m_proposal->hide();
}

void CDlgCover::EditComposition() {
    CDlgComposition dialog(m_context, codecombo::Selected(m_material2021), m_composition, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_composition = dialog.Record();
    SectionEdited();
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
    m_proposed = !m_classification;
    if (m_classification)
        LoadClassification(*m_classification);
    else
        LoadProposal(m_record.material);
}

void CDlgCover::LoadProposal(int oldMaterial) {
    const ClassificationProposal proposal = ProposeClassification(oldMaterial);
    // The materials the old code leaves open are named where the user looks
    // for them: beside the mark of the proposal.
    QString candidates;
    for (const int material : proposal.materials)
        candidates += (candidates.isEmpty() ? QString() : QStringLiteral(", ")) +
                      QString::fromStdString(Materials2021.Label(material));
    m_proposal->setToolTip(
        candidates.isEmpty()
            ? QStringLiteral("Zařazení navržené podle materiálu obalu; uloží se tlačítkem OK.")
            : QStringLiteral("Zařazení navržené podle materiálu obalu; uloží se tlačítkem OK.\n"
                             "Materiál pro výkaz 2021 může být: %1")
                  .arg(candidates));
    LoadClassification(proposal.classification);
}

void CDlgCover::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_name->setFocus();
    m_name->selectAll();
}

void CDlgCover::OnMaterialChosen() {
    const int material = codecombo::Selected(m_material);
    if (material == MaterialCartons)
        codecombo::Select(m_stat, StatCartons);
    // A proposal the user has not touched follows the material it came from.
    if (m_proposed)
        LoadProposal(material);
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
        Warn(RefusedNumberText(m_weight->text()).c_str());
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
    std::optional<CoverClassification> classification = SectionValues();
    if (!classification)
        return;
    if (const auto fault = ClassificationFault(*classification, m_reusable->isChecked())) {
        m_context.messages.ShowMessage(*fault, MsgIcon::Exclamation);
        m_material2021->setFocus();
        return;
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
    if (m_classification || *classification != CoverClassification{})
        m_classification = std::move(classification);
    QDialog::accept();
}

std::optional<CoverClassification> CDlgCover::SectionValues() {
    CoverClassification c;
    c.beverage = m_beverage->isChecked();
    c.material = codecombo::Selected(m_material2021);
    // Fields the material or the littering category does not ask for are
    // disabled and not stored, whatever they showed before.
    if (m_shape->isEnabled())
        c.shape = codecombo::Selected(m_shape);
    if (m_compositionButton->isEnabled())
        c.composition = m_composition;
    c.littering = std::max(0, codecombo::Selected(m_littering));
    std::optional<Quantity> recycled;
    if (!ReadShare(m_recycled, recycled))
        return std::nullopt;
    c.recycled = recycled.value_or(Quantity::FromUnits(0));
    if (m_plastic->isEnabled() && !ReadShare(m_plastic, c.plastic))
        return std::nullopt;
    return c;
}

bool CDlgCover::ReadShare(QLineEdit* edit, std::optional<Quantity>& value) {
    const QString text = edit->text().trimmed();
    if (text.isEmpty()) {
        value.reset();
        return true;
    }
    value = QuantityFromLocaleText(text);
    if (value)
        return true;
    Warn(RefusedNumberText(text).c_str());
    edit->setFocus();
    edit->selectAll();
    return false;
}

} // namespace tarvo
