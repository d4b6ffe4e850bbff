#include "ui/dialogs/cdlgreportdata.h"

#include "core/data/comerror.h"
#include "core/data/profile.h"
#include "core/data/shared.h"
#include "core/ports/messageport.h"
#include "core/report/quartercheck.h"
#include "ui/dialogs/cdlgquartergaps.h"
#include "ui/dialogs/reportformgroup.h"
#include "ui/framework/formbuilder.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/helpcontexts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tarvo {

namespace {

// The company texts as the form lists them, with the member each one edits.
struct CompanyFieldDef {
    const char* label;
    std::string CompanyData::*member;
};

constexpr CompanyFieldDef CompanyFields[CDlgReportData::CompanyFieldCount] = {
    {"&Společnost:", &CompanyData::name},
    {"Sí&dlo:", &CompanyData::seat},
    {"&IČ:", &CompanyData::ico},
    {"DI&Č:", &CompanyData::dic},
    {"&EKO-KOM ID:", &CompanyData::ekokomId},
    {"E-&mail pro příjem faktur:", &CompanyData::mailInvoices},
    {"&Kontaktní osoba:", &CompanyData::contactPerson},
    {"e-m&ail:", &CompanyData::mail},
    {"&Tel.:", &CompanyData::phone},
    {"&Fax:", &CompanyData::fax},
};

QSpinBox* NumberBox(int minimum, int maximum, int value, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(minimum, maximum);
    box->setValue(value);
    // Plain integers: a year reads 2026, not 2 026.
    box->setGroupSeparatorShown(false);
    return box;
}

} // namespace

CDlgReportData::CDlgReportData(const GuiContext& context, OleDate today, QWidget* parent)
    : QDialog(parent), m_context(context) {
    setWindowTitle(QStringLiteral("Údaje uvedené na výkazu"));
    const ReportPeriod period = DefaultReportPeriod(today);
    m_params.quarter = period.quarter;
    m_params.year = period.year;
    const Profile settings(context.folder.SettingsPath());
    m_params.company = LoadCompanyData(settings);
    m_params.breakdown = LoadBreakdownChoice(settings);

    m_quarter = NumberBox(1, 4, m_params.quarter, this);
    m_year = NumberBox(MinReportYear, MaxReportYear, m_params.year, this);
    auto* periodRow = new QHBoxLayout;
    auto* intro = new QLabel(QStringLiteral("&Výkaz za"), this);
    intro->setBuddy(m_quarter);
    periodRow->addWidget(intro);
    periodRow->addWidget(m_quarter);
    periodRow->addWidget(new QLabel(QStringLiteral(". čtvrtletí"), this));
    periodRow->addWidget(m_year);
    periodRow->addSpacing(16);
    m_regular = new QRadioButton(QStringLiteral("řádný"), this);
    m_corrective = new QRadioButton(QStringLiteral("opravný"), this);
    auto* kind = new QButtonGroup(this);
    kind->addButton(m_regular);
    kind->addButton(m_corrective);
    m_regular->setChecked(true);
    periodRow->addWidget(m_regular);
    periodRow->addWidget(m_corrective);
    periodRow->addStretch();

    auto* formHolder = new QWidget(this);
    FormGrid form(formHolder);
    for (int i = 0; i < CompanyFieldCount; ++i) {
        m_company[i] = new QLineEdit(
            QString::fromStdString(m_params.company.*CompanyFields[i].member), formHolder);
        m_company[i]->setMinimumWidth(320);
        form.AddRow(QString::fromUtf8(CompanyFields[i].label), m_company[i]);
    }
    MakeFormGroup(form, formHolder);
    form.Layout()->setContentsMargins(0, 0, 0, 0);
    formHolder->setLayout(form.Layout());

    // For the audit of the statement: every cell taken apart into its lines.
    m_breakdown = new QCheckBox(QStringLiteral("sestavit také &rozpis výkazu"), this);
    m_breakdown->setChecked(m_params.breakdown);

    m_check = new QLabel(this);
    m_check->setWordWrap(true);
    m_gaps = new QPushButton(QStringLiteral("Se&znam..."), this);
    m_gaps->setAutoDefault(false);
    auto* checkRow = new QHBoxLayout;
    checkRow->addWidget(m_check, 1);
    checkRow->addWidget(m_gaps);
    connect(m_gaps, &QPushButton::clicked, this, &CDlgReportData::ListGaps);
    connect(m_quarter, &QSpinBox::valueChanged, this, &CDlgReportData::CheckQuarter);
    connect(m_year, &QSpinBox::valueChanged, this, &CDlgReportData::CheckQuarter);
    CheckQuarter();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(periodRow);
    layout->addLayout(checkRow);
    layout->addSpacing(6);
    layout->addWidget(formHolder);
    layout->addWidget(m_breakdown);
    layout->addWidget(MakeDialogButtons(this, context, help::Report));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_quarter->setFocus();
    m_quarter->selectAll();
}

void CDlgReportData::CheckQuarter() {
    QuarterGaps gaps;
    try {
        gaps = CountQuarterGaps(m_context.store, m_year->value(), m_quarter->value());
    } catch (const ComError& e) {
        m_check->clear();
        m_gaps->setEnabled(false);
        ShowComError(m_context.messages, e);
        return;
    }
    m_check->setText(QString::fromStdString(QuarterGapsText(gaps)));
    m_gaps->setEnabled(!gaps.Empty());
}

void CDlgReportData::ListGaps() {
    CDlgQuarterGaps(m_context, m_year->value(), m_quarter->value(), this).exec();
}

void CDlgReportData::MakeFormGroup(FormGrid& form, QWidget* owner) {
    m_form = new ReportFormGroup(m_context, form, owner);
    const auto period = [this] { m_form->SetPeriod(m_year->value(), m_quarter->value()); };
    connect(m_quarter, &QSpinBox::valueChanged, m_form, period);
    connect(m_year, &QSpinBox::valueChanged, m_form, period);
    connect(m_form, &ReportFormGroup::ShowIncompleteCovers, this,
            [this] { done(ShowCoversResult); });
    period();
}

FormReportParams CDlgReportData::FormParams() const {
    FormReportParams form;
    form.year = m_params.year;
    form.quarter = m_params.quarter;
    form.corrective = m_params.corrective;
    form.orderNumber = m_form->OrderNumber();
    form.company = m_params.company;
    form.formPath = m_form->FormPath();
    return form;
}

void CDlgReportData::accept() {
    // A half-typed number ("20" for a year) is refused, not silently replaced
    // by the value the box held before.
    for (QSpinBox* box : {m_quarter, m_year}) {
        if (!box->hasAcceptableInput()) {
            m_context.messages.ShowMessage(
                Format("Zadejte celé číslo mezi %i a %i.", box->minimum(), box->maximum()),
                MsgIcon::Exclamation);
            box->setFocus();
            box->selectAll();
            return;
        }
    }
    m_params.quarter = m_quarter->value();
    m_params.year = m_year->value();
    if (UsesCurrentForm(m_params.year) && !m_form->CheckChoice())
        return;
    m_params.corrective = m_corrective->isChecked();
    for (int i = 0; i < CompanyFieldCount; ++i)
        m_params.company.*CompanyFields[i].member = m_company[i]->text().toStdString();
    // A settings file that cannot be written costs only the remembering: the
    // report goes on with what was entered.
    m_params.breakdown = m_breakdown->isChecked();
    Profile profile(m_context.folder.SettingsPath());
    StoreCompanyData(profile, m_params.company);
    StoreBreakdownChoice(profile, m_params.breakdown);
    QDialog::accept();
}

} // namespace tarvo
