#pragma once

#include "core/data/oledate.h"
#include "core/report/formbuild.h"
#include "core/report/reportbuild.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tarvo {

class FormGrid;
struct GuiContext;
class ReportFormGroup;

// "Údaje uvedené na výkazu": the quarter, the year, regular or corrective,
// and the company texts of the intro sheet. The period is proposed from the
// day; the company texts come from the settings and are stored there on OK
// only. Under the period the dialog says what the chosen quarter's statement
// would leave out for want of packaging or weights, with a list of it.
// For a quarter from 2021 on it also asks for the form EKO-KOM sent
// (ReportFormGroup); the dialog then ends with ShowCoversResult when the user
// asks for the covers that keep lines out of the statement.
class CDlgReportData : public QDialog {
    Q_OBJECT
public:
    CDlgReportData(const GuiContext& context, OleDate today, QWidget* parent = nullptr);

    static constexpr int ShowCoversResult = 2;

    // What the user confirmed; valid after OK.
    const ReportParams& Params() const { return m_params; }
    // The same for a quarter from 2021 on, with the chosen form and the
    // order number; valid after OK.
    FormReportParams FormParams() const;

    void accept() override;

    QSpinBox* QuarterBox() const { return m_quarter; }
    QSpinBox* YearBox() const { return m_year; }
    QRadioButton* RegularButton() const { return m_regular; }
    QRadioButton* CorrectiveButton() const { return m_corrective; }
    ReportFormGroup* FormGroup() const { return m_form; }
    // The company fields in the order of the form (name first, fax last).
    QLineEdit* CompanyField(int index) const { return m_company[index]; }
    QCheckBox* BreakdownBox() const { return m_breakdown; }
    QLabel* CheckLabel() const { return m_check; }
    QPushButton* GapsButton() const { return m_gaps; }
    static constexpr int CompanyFieldCount = 10;

private:
    void CheckQuarter();
    void ListGaps();
    // The rows for the statement since 2021, following the period boxes.
    void MakeFormGroup(FormGrid& form, QWidget* owner);

    const GuiContext& m_context;
    ReportParams m_params;
    QSpinBox* m_quarter;
    QSpinBox* m_year;
    QRadioButton* m_regular;
    QRadioButton* m_corrective;
    ReportFormGroup* m_form;
    QLineEdit* m_company[CompanyFieldCount];
    QCheckBox* m_breakdown;
    QLabel* m_check;
    QPushButton* m_gaps;
};

} // namespace tarvo
