#pragma once

#include "core/data/oledate.h"
#include "core/report/reportbuild.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tarvo {

struct GuiContext;

// "Údaje uvedené na výkazu": the quarter, the year, regular or corrective,
// and the company texts of the intro sheet. The period is proposed from the
// day; the company texts come from the settings and are stored there on OK
// only. Under the period the dialog says what the chosen quarter's statement
// would leave out for want of packaging or weights, with a list of it.
class CDlgReportData : public QDialog {
    Q_OBJECT
public:
    CDlgReportData(const GuiContext& context, OleDate today, QWidget* parent = nullptr);

    // What the user confirmed; valid after OK.
    const ReportParams& Params() const { return m_params; }

    void accept() override;

    QSpinBox* QuarterBox() const { return m_quarter; }
    QSpinBox* YearBox() const { return m_year; }
    QRadioButton* RegularButton() const { return m_regular; }
    QRadioButton* CorrectiveButton() const { return m_corrective; }
    // The company fields in the order of the form (name first, fax last).
    QLineEdit* CompanyField(int index) const { return m_company[index]; }
    QCheckBox* BreakdownBox() const { return m_breakdown; }
    QLabel* CheckLabel() const { return m_check; }
    QPushButton* GapsButton() const { return m_gaps; }
    static constexpr int CompanyFieldCount = 10;

private:
    void CheckQuarter();
    void ListGaps();

    const GuiContext& m_context;
    ReportParams m_params;
    QSpinBox* m_quarter;
    QSpinBox* m_year;
    QRadioButton* m_regular;
    QRadioButton* m_corrective;
    QLineEdit* m_company[CompanyFieldCount];
    QCheckBox* m_breakdown;
    QLabel* m_check;
    QPushButton* m_gaps;
};

} // namespace tarvo
