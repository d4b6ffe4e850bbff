#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QWidget;

namespace tarvo {

class FormGrid;
struct GuiContext;

// The rows of the report dialog for the statement in force since 2021: the
// form EKO-KOM sent for the quarter ("..." chooses it, opening in the folder
// it was last chosen from; a form in the data folder's "Formulare" is offered
// first), the order number for the title page, and the warning of the
// quarter's cover lines that will not go into the statement, with a button
// for the covers that lack their classification. The rows are added to the
// dialog's form, so their fields line up with the others, and are shown only
// for quarters of that statement.
class ReportFormGroup : public QObject {
    Q_OBJECT
public:
    ReportFormGroup(const GuiContext& context, FormGrid& form, QWidget* owner);

    bool IsShown() const { return m_shown; }
    // A new period: the rows show or hide; the warning is counted again,
    // and the offered form follows the period until the user picks or types
    // one. After the first period this waits for the period to settle, so a
    // year spun through is not counted at every step.
    void SetPeriod(int year, int quarter);
    // On OK: whether the form is there and is the one of the period; the
    // reason is shown otherwise. The folder of an accepted form is
    // remembered.
    bool CheckChoice();
    std::string FormPath() const;
    // "Číslo Vaší objednávky" of the title page; empty leaves it out.
    std::string OrderNumber() const;

    // The file dialog of "...": given the folder to open, returns the chosen
    // file or an empty text. Tests replace it.
    using BrowseFile = std::function<QString(QWidget* parent, const QString& folder)>;
    void SetBrowseFile(BrowseFile browse) { m_browse = std::move(browse); }
    static QString RunFileDialog(QWidget* parent, const QString& folder);

    QLineEdit* PathEdit() const { return m_path; }
    QPushButton* BrowseButton() const { return m_browseButton; }
    QLineEdit* OrderEdit() const { return m_order; }
    QLabel* LeftOutLabel() const { return m_leftOut; }
    QPushButton* CoversButton() const { return m_covers; }

signals:
    // The user wants to complete the covers the statement cannot take.
    void ShowIncompleteCovers();

private:
    void Browse();
    // Where "..." opens: the folder of the form in the field, the one
    // remembered, the forms folder, the data folder; the first that exists.
    QString BrowseFolder() const;
    // The offer and the warning for the period set last.
    void Refresh();
    void CountLeftOut();

    const GuiContext& m_context;
    QWidget* m_owner;
    // The rows' widgets, labels included, that show and hide together.
    std::vector<QWidget*> m_rows;
    bool m_shown = true;
    int m_year = 0;
    int m_quarter = 0;
    // Set while the field holds a form the user picked or typed; the offer
    // does not replace it.
    bool m_chosen = false;
    QTimer* m_periodPause;
    BrowseFile m_browse = &ReportFormGroup::RunFileDialog;
    QLineEdit* m_path;
    QPushButton* m_browseButton;
    QLineEdit* m_order;
    // The icon, the text and the button of the warning, in one row.
    QWidget* m_warning;
    QLabel* m_leftOut;
    QPushButton* m_covers;
};

} // namespace tarvo
