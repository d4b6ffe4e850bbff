// The report dialog's wiring for the statement since 2021.
#include "app/cmainframe.h"
#include "core/data/profile.h"
#include "core/data/shared.h"
#include "core/report/breakdown.h"
#include "core/report/formlayout.h"
#include "core/report/formoffer.h"
#include "core/workbook/workbook.h"
#include "dev/syntheticform.h"
#include "ui/commands/reportcommand.h"
#include "ui/dialogs/cdlgformchecks.h"
#include "ui/dialogs/cdlgreportdata.h"
#include "ui/dialogs/reportformgroup.h"
#include "ui/framework/commandids.h"
#include "ui/views/cviewcover.h"
#include "uitestsupport.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <filesystem>

using namespace tarvo;
using namespace tarvo::test;

namespace {

// Three boxes of 1 kg without a classification for the new form, dispatched
// in the first quarter of 2021 on one line.
struct Quarter {
    Quarter() {
        const RecordId move = rows::Move(db.store, {"V-1", 0, OleDate::FromParts(2021, 2, 5)});
        rows::MoveCover(db.store, {move, 0, db.AddCover("Krabice", 10000, 7), Q("3"), 1, 0, 1});
    }
    // The form of a quarter of 2021, in the forms folder or beside it.
    std::string Form(int quarter, const std::string& folder = "Formulare/") {
        const std::string path = db.Folder() + folder + Format("q%d.xlsx", quarter);
        std::filesystem::create_directories(db.Folder() + folder);
        SyntheticForm(2021, quarter).Write(path);
        return path;
    }
    UiDatabase db;
};

void SetPeriod(CDlgReportData* dialog, int year, int quarter) {
    dialog->YearBox()->setValue(year);
    dialog->QuarterBox()->setValue(quarter);
}

} // namespace

class TestReportForm : public QObject {
    Q_OBJECT
private slots:
    void formFollowsThePeriodAndIsCheckedOnOk();
    void warningButtonShowsTheIncompleteCovers();
    void failedChecksAskBeforeWriting_data();
    void failedChecksAskBeforeWriting();
};

void TestReportForm::formFollowsThePeriodAndIsCheckedOnOk() {
    Quarter q;
    const std::string first = q.Form(1);
    const std::string second = q.Form(2, "jinde/");
    CDlgReportData dialog(q.db.Context(), OleDate::FromParts(2021, 2, 1));
    ReportFormGroup* group = dialog.FormGroup();
    QVERIFY(!group->IsShown()); // the fourth quarter of 2020: the old form
    SetPeriod(&dialog, 2021, 1);
    QVERIFY(group->IsShown());
    // The path is shown with the system's own separators.
    QTRY_COMPARE(group->PathEdit()->text(),
                 QDir::toNativeSeparators(QString::fromStdString(first)));
    QCOMPARE(group->LeftOutLabel()->text(),
             QString("1 řádek obalů (3 kg) nepůjde do výkazu: obal nemá úplné zařazení pro "
                     "výkaz od roku 2021 (1)"));
    QVERIFY(group->CoversButton()->isVisibleTo(&dialog));

    // "..." opens in the folder of the form shown; another quarter's form is
    // refused.
    QString browsedIn;
    group->SetBrowseFile([&](QWidget*, const QString& folder) {
        browsedIn = folder;
        return QString::fromStdString(second);
    });
    dialog.show();
    group->BrowseButton()->click();
    QCOMPARE(browsedIn + "/", QString::fromStdString(FormsFolder(q.db.Context().folder)));
    dialog.accept();
    QVERIFY(dialog.isVisible());
    QCOMPARE(q.db.messages.Texts(), std::vector{*CheckFormFile(second, 2021, 1)});
    QCOMPARE(dialog.focusWidget(), static_cast<QWidget*>(group->PathEdit()));

    // OK at once after the quarter changed checks the form for the new one.
    dialog.QuarterBox()->setValue(2);
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.FormParams().formPath, second);
    QVERIFY(!group->LeftOutLabel()->isVisibleTo(&dialog));
    QCOMPARE(LoadFormFolder(Profile(q.db.Context().folder.SettingsPath())) + "/",
             q.db.Folder() + "jinde/");
}

void TestReportForm::warningButtonShowsTheIncompleteCovers() {
    Quarter q;
    CMainFrame frame;
    frame.Open(q.db.Context());
    frame.SwitchView(cmd::ViewProducts);
    OnNextModalOf<CDlgReportData>([](CDlgReportData* dialog) {
        SetPeriod(dialog, 2021, 1);
        QTRY_VERIFY(dialog->FormGroup()->CoversButton()->isVisibleTo(dialog));
        dialog->FormGroup()->CoversButton()->click();
    });
    frame.RunCommand(cmd::Report);
    QCOMPARE(frame.ActiveTable(), int(cmd::ViewCovers));
    auto* covers = static_cast<CViewCover*>(frame.ActiveView());
    QVERIFY(covers->Filter().onlyIncomplete);
}

void TestReportForm::failedChecksAskBeforeWriting_data() {
    QTest::addColumn<bool>("write");
    QTest::newRow("written all the same") << true;
    QTest::newRow("not written") << false;
}

void TestReportForm::failedChecksAskBeforeWriting() {
    QFETCH(bool, write);
    Quarter q;
    q.Form(1);
    OnNextModalOf<CDlgReportData>([](CDlgReportData* dialog) {
        SetPeriod(dialog, 2021, 1);
        dialog->FormGroup()->OrderEdit()->setText("OBJ-7");
        dialog->BreakdownBox()->setChecked(true);
        dialog->accept();
    });
    QString failures;
    OnNextModalOf<CDlgFormChecks>([&](CDlgFormChecks* dialog) {
        failures = dialog->List()->toPlainText();
        (write ? dialog->WriteButton() : dialog->CancelButton())->click();
    });
    QStringList opened;
    QWidget frame;
    RunReportCommand(q.db.Context(), &frame, [&](const QString& path) {
        opened << path;
        return true;
    });
    QCOMPARE(failures, QString("List Úvod, buňka F14: EKOKOM-ID chybí (Nastavení, údaje o "
                               "společnosti)."));
    const std::string statement = q.db.Folder() + "Vykazy/vykaz_2021_1_radny.xlsx";
    // The statement is opened with its breakdown.
    const QStringList both = {QString::fromStdString(statement),
                              QString::fromStdString(BreakdownPath(statement))};
    QCOMPARE(opened, write ? both : QStringList{});
    if (write) {
        Workbook book;
        book.Open(statement);
        QCOMPARE(book.Sheet("Úvod")->GetText("B14"), std::string("OBJ-7"));
    }
}

QTEST_MAIN(TestReportForm)
#include "test_reportform.moc"
