#include "ui/pages/cpagecoverprod.h"

#include "core/data/cdatastore.h"
#include "core/data/codelists.h"
#include "core/registers/pickerrows.h"
#include "ui/framework/codecombo.h"
#include "ui/framework/formbuilder.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/localenumber.h"
#include "ui/pages/pagecheck.h"
#include "ui/pages/quantitycoupling.h"

#include <QAbstractSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tarvo {

namespace {

// The number of products in a package: any number may be typed, the arrows
// step by whole products between 1 and 65535.
class ProductsSpinBox : public QAbstractSpinBox {
public:
    using QAbstractSpinBox::lineEdit;
    using QAbstractSpinBox::QAbstractSpinBox;

    void stepBy(int steps) override {
        const std::optional<Quantity> value = QuantityFromLocaleText(text());
        const int64_t whole = value ? value->Scaled() / Quantity::Scale : 0;
        const int64_t stepped = std::clamp<int64_t>(whole + steps, Minimum, Maximum);
        lineEdit()->setText(QuantityToLocaleText(Quantity::FromUnits(stepped)));
        lineEdit()->selectAll();
    }

protected:
    StepEnabled stepEnabled() const override {
        const std::optional<Quantity> value = QuantityFromLocaleText(text());
        if (!value)
            return StepUpEnabled | StepDownEnabled;
        StepEnabled enabled = StepNone;
        if (value->Scaled() < Maximum * Quantity::Scale)
            enabled |= StepUpEnabled;
        if (value->Scaled() > Minimum * Quantity::Scale)
            enabled |= StepDownEnabled;
        return enabled;
    }

private:
    static constexpr int64_t Minimum = 1;
    static constexpr int64_t Maximum = 65535;
};

} // namespace

CPageCoverProd::CPageCoverProd(const GuiContext& context, CoverLine record, QWidget* parent)
    : QWizardPage(parent), m_context(context), m_record(record) {
    setTitle(QStringLiteral("Údaje balení"));
    m_caption = new QLabel(this);
    m_quantity = new QLineEdit(this);
    m_weight = new QLineEdit(this);
    m_type = codecombo::Make(this);
    m_origin = codecombo::Make(this);
    m_payment = codecombo::Make(this);
    m_products = new ProductsSpinBox(this);
    m_coupling = new QuantityCoupling(m_quantity, m_weight, this);

    FormGrid form(this);
    form.AddAcross(m_caption);
    form.AddRow(QStringLiteral("Množství obalu:"), m_quantity, new QLabel(QStringLiteral("ks")));
    form.AddRow(QString(), m_weight, new QLabel(QStringLiteral("[kg]")));
    form.AddRow(QStringLiteral("Typ:"), m_type);
    form.AddRow(QStringLiteral("Původ:"), m_origin);
    form.AddRow(QStringLiteral("Platba:"), m_payment);
    form.AddRow(QStringLiteral("Počet produktů v balení:"), m_products);

    auto* group = new QGroupBox(QStringLiteral("Použít"), this);
    m_band[0] = new QRadioButton(QStringLiteral("při výdeji jakéhokoliv počtu produktů"), group);
    m_band[1] = new QRadioButton(QStringLiteral("při výdeji od"), group);
    // Made after the buttons, so that Tab goes from the choice to its limits.
    m_from = new QLineEdit(group);
    m_to = new QLineEdit(group);
    auto* bandRow = new QHBoxLayout;
    bandRow->addWidget(m_band[1]);
    bandRow->addWidget(m_from);
    bandRow->addWidget(new QLabel(QStringLiteral("do"), group));
    bandRow->addWidget(m_to);
    bandRow->addWidget(new QLabel(QStringLiteral("produktů"), group));
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_band[0]);
    groupLayout->addLayout(bandRow);
    form.AddAcross(group);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form.Layout());
    layout->addStretch();

    for (QRadioButton* button : m_band)
        connect(button, &QRadioButton::clicked, this, &CPageCoverProd::EnableBand);
}

QLineEdit* CPageCoverProd::ProductsEdit() const {
    return static_cast<ProductsSpinBox*>(m_products)->lineEdit();
}

Quantity CPageCoverProd::UnitWeight() const {
    return m_coupling->UnitWeight();
}

void CPageCoverProd::SetCover(RecordId cover, int type, int origin, int payment) {
    m_record.cover = cover;
    m_record.type = type;
    m_record.origin = origin;
    m_record.payment = payment;
}

void CPageCoverProd::Open() {
    if (!m_record.qtyCover.IsValid())
        m_record.qtyCover = Quantity::FromUnits(1);
    if (!m_record.qtyProd.IsValid())
        m_record.qtyProd = Quantity::FromUnits(1);
    const bool band = !m_record.useAlways;
    const Quantity from =
        band && m_record.useFrom.IsValid() ? m_record.useFrom : Quantity::FromUnits(0);
    const Quantity to =
        band && m_record.useTo.IsValid() ? m_record.useTo : Quantity::FromUnits(1000);
    codecombo::FillAll(m_type, CoverTypes, m_record.type);
    codecombo::FillAll(m_origin, Origins, m_record.origin);
    codecombo::FillAll(m_payment, Payments, m_record.payment);
    ProductsEdit()->setText(QuantityToLocaleText(m_record.qtyProd));
    m_band[band ? 1 : 0]->setChecked(true);
    m_from->setText(QuantityToLocaleText(from));
    m_to->setText(IsOpenBandEnd(to) ? QString() : QuantityToLocaleText(to));
    EnableBand();
}

void CPageCoverProd::initializePage() {
    if (!m_opened) {
        m_opened = true;
        Open();
    }
    // The cover may have been chosen anew on the page before: its codes and
    // its weight of one piece are the line's again.
    codecombo::Select(m_type, m_record.type);
    codecombo::Select(m_origin, m_record.origin);
    codecombo::Select(m_payment, m_record.payment);
    const std::optional<CoverFacts> cover = ReadCoverFacts(m_context.store, m_record.cover);
    m_caption->setText(cover ? QString::fromStdString(CoverCaption(*cover)) : QString());
    m_coupling->SetUnitWeight(cover ? cover->unitWeight : Quantity::FromUnits(0));
    m_coupling->Show(m_record.qtyCover, CurMul(m_record.qtyCover, m_coupling->UnitWeight()));
    FocusAll(m_quantity);
}

void CPageCoverProd::EnableBand() {
    const bool band = m_band[1]->isChecked();
    m_from->setEnabled(band);
    m_to->setEnabled(band);
}

bool CPageCoverProd::validatePage() {
    IMessagePort& messages = m_context.messages;
    const std::optional<Quantity> quantity = ReadNumber(messages, m_quantity);
    if (!quantity)
        return false;
    if (!ReadNumber(messages, m_weight))
        return false;
    const std::optional<Quantity> products = ReadNumber(messages, ProductsEdit());
    if (!products)
        return false;
    // The band limits are read only while they can be edited: a disabled box
    // cannot take the focus to be corrected.
    const bool band = m_band[1]->isChecked();
    std::optional<Quantity> from = m_record.useFrom;
    std::optional<Quantity> to = m_record.useTo;
    if (band && !(from = ReadNumber(messages, m_from)))
        return false;
    // An empty "do" is a band without an upper limit.
    if (band && m_to->text().trimmed().isEmpty())
        to = OpenBandEnd;
    else if (band && !(to = ReadNumber(messages, m_to)))
        return false;
    m_record.qtyCover = *quantity;
    m_record.qtyProd = *products;
    m_record.useAlways = !band;
    m_record.useFrom = *from;
    m_record.useTo = *to;

    if (quantity->Scaled() <= 0) {
        Refuse(messages, "Množství obalu musí být větší než 0", m_quantity);
        return false;
    }
    if (products->Scaled() <= 0) {
        Refuse(messages, "Počet balených produktů musí být větší než 0", ProductsEdit());
        return false;
    }
    struct CodeCheck {
        QComboBox* combo;
        const char* message;
        int& code;
    };
    const CodeCheck checks[] = {{m_type, "Není vybrán typ", m_record.type},
                                {m_origin, "Není vybrán původ", m_record.origin},
                                {m_payment, "Není vybrána platba", m_record.payment}};
    for (const CodeCheck& check : checks) {
        const int code = codecombo::Selected(check.combo);
        if (code < 0) {
            Refuse(messages, check.message, check.combo);
            return false;
        }
        check.code = code;
    }
    if (const std::optional<const char*> fault = BandFault(m_record)) {
        Refuse(messages, *fault, m_from);
        return false;
    }
    return true;
}

} // namespace tarvo
