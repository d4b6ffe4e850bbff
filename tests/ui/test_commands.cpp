// The main window's commands driven through their dialogs and wizards to the
// end, on real files: the report, backup and restore, the bulk run and the
// two imports.
#include "app/qtmessageport.h"
#include "core/data/backup.h"
#include "core/data/profile.h"
#include "core/data/shared.h"
#include "core/import/moneyxmlimport.h"
#include "core/report/breakdown.h"
#include "core/report/reportbuild.h"
#include "core/report/reporttemplate.h"
#include "core/setup/firststart.h"
#include "core/workbook/workbook.h"
#include "recordingports.h"
#include "ui/commands/backupcommand.h"
#include "ui/commands/bulkcommand.h"
#include "ui/commands/importcommands.h"
#include "ui/commands/reportcommand.h"
#include "ui/dialogs/cdlgbackup.h"
#include "ui/dialogs/cdlgfirststart.h"
#include "ui/dialogs/cdlgoverwrite.h"
#include "ui/dialogs/cdlgquartergaps.h"
#include "ui/dialogs/cdlgreportdata.h"
#include "ui/framework/cprogresswnd.h"
#include "ui/framework/existingrecordsgroup.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/helpcontexts.h"
#include "ui/framework/wizard.h"
#include "ui/pages/cpageimps3param.h"
#include "ui/pages/cpageimpwak.h"
#include "ui/pages/cpageimpwakparam.h"
#include "uitestsupport.h"
#ifndef _WIN32
#include "wakserver.h"
#endif

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

using namespace tarvo;
using namespace tarvo::test;

namespace {

namespace fs = std::filesystem;

// A GUI context on a temporary database, as the application makes one, with
// the messages recorded or given to another port.
struct Context {
    explicit Context(IMessagePort* port = nullptr)
        : context{db.Store(),  port ? *port : static_cast<IMessagePort&>(db.messages),
                  db.switches, DataFolder{db.Folder()},
                  db.notifier, {}} {}

    UiDatabase db;
    RecordingNotifier& notifier = db.notifier;
    GuiContext context;
};

void WriteText(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// A message port that records everything and answers the overwrite question
// with the program's own dialog, as the running program does.
class OverwriteByDialog final : public IMessagePort {
public:
    void ShowMessage(const std::string& text, MsgIcon icon) override {
        shown.push_back({text, icon});
    }
    bool AskYesNo(const std::string& text, MsgIcon icon) override {
        shown.push_back({text, icon});
        return false;
    }
    OverwriteAnswer AskOverwrite(const std::string& text) override {
        shown.push_back({text, MsgIcon::Question});
        return QtMessagePort().AskOverwrite(text);
    }
    std::vector<ShownMessage> shown;
};

// A Money S3 installation under a Wine prefix of its own, holding a copy of
// the sample agenda.
struct MoneyMachine {
    MoneyMachine() {
        const std::string c = dosDevices + "/c:/";
        WriteText(c + "Program Files/CIGLER SOFTWARE/Common Files/Setup.ini",
                  "[InstParams]\r\nLocalPath=C:\\Money S3\r\n");
        WriteText(c + "Money S3/MonS3.ini", "[Directory]\r\nDataRoot=C:\\Data\\\r\n");
        fs::copy(TARVO_FIXTURES "/money", c + "Data", fs::copy_options::recursive);
    }
    QTemporaryDir dir;
    std::string dosDevices = dir.path().toStdString() + "/dosdevices";
    std::string YearFolder() const { return dosDevices + "/c:/Data/Agenda.001/Rok.2024/"; }
};

} // namespace

class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void enterAnswersTheDefaultOfTheQuestion_data();
    void enterAnswersTheDefaultOfTheQuestion();
    void overwriteDialogReturnsTheButton_data();
    void overwriteDialogReturnsTheButton();
    void reportDialogProposesThePeriodAndStoresOnOkOnly_data();
    void reportDialogProposesThePeriodAndStoresOnOkOnly();
    void reportDialogRefusesAHalfTypedYear();
    void reportDialogChecksTheQuarter();
    void firstStartGuideLinksToHelpAndCanBeSwitchedOff();
    void reportFromTheDialog_data();
    void reportFromTheDialog();
    void backupAndRestoreThroughTheDialog();
    void bulkRun_data();
    void bulkRun();
    void moneyWizardChecksItsPagesAndStoresSettingsOnStorno();
    void moneyImportAsksWithTheOverwriteDialog();
    void moneyWizardImportsTheXmlExport();
    void wakImportAgainstTheTestServer();
};

void TestCommands::overwriteDialogReturnsTheButton_data() {
    QTest::addColumn<int>("button"); // 0 = Escape, -1 = Enter
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("answer");
    QTest::newRow("Ano") << int(CDlgOverwrite::Yes) << 1091 << int(OverwriteAnswer::Yes);
    QTest::newRow("Ne") << int(CDlgOverwrite::No) << 1094 << int(OverwriteAnswer::No);
    QTest::newRow("Ano všem") << int(CDlgOverwrite::YesToAll) << 1093
                              << int(OverwriteAnswer::YesToAll);
    QTest::newRow("Ne všem") << int(CDlgOverwrite::NoToAll) << 1092
                             << int(OverwriteAnswer::NoToAll);
    QTest::newRow("Enter") << -1 << 1091 << int(OverwriteAnswer::Yes);
    QTest::newRow("Escape") << 0 << 2 << int(OverwriteAnswer::No);
}

// Enter answers Yes to an ordinary question, No to one before what cannot
// be undone (the restore).
void TestCommands::enterAnswersTheDefaultOfTheQuestion_data() {
    QTest::addColumn<bool>("defaultNo");
    QTest::newRow("ordinary") << false;
    QTest::newRow("cannot be undone") << true;
}

void TestCommands::enterAnswersTheDefaultOfTheQuestion() {
    QFETCH(bool, defaultNo);
    OnNextModalOf<QMessageBox>(
        [](QMessageBox* box) { QTest::keyClick(box->defaultButton(), Qt::Key_Return); });
    QtMessagePort port;
    QCOMPARE(defaultNo ? port.AskYesNoDefaultNo("Pokračovat?")
                       : port.AskYesNo("Pokračovat?", MsgIcon::Question),
             !defaultNo);
}

void TestCommands::overwriteDialogReturnsTheButton() {
    QFETCH(int, button);
    QFETCH(int, result);
    QFETCH(int, answer);
    auto press = [button](CDlgOverwrite* dialog) {
        if (button == 0)
            QTest::keyClick(dialog, Qt::Key_Escape);
        else if (button == -1)
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
        else
            dialog->Button(static_cast<CDlgOverwrite::Result>(button))->click();
    };
    OnNextModalOf<CDlgOverwrite>([&](CDlgOverwrite* dialog) {
        QCOMPARE(dialog->windowTitle(), QString("Tarvo"));
        QVERIFY(dialog->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly));
        press(dialog);
    });
    CDlgOverwrite dialog(
        "Doklad \"FV-1\" byl již z Money importován. Přejete si jej aktualizovat?");
    QCOMPARE(dialog.exec(), result);
    OnNextModalOf<CDlgOverwrite>(press);
    QCOMPARE(int(QtMessagePort().AskOverwrite("?")), answer);
}

void TestCommands::reportDialogProposesThePeriodAndStoresOnOkOnly_data() {
    QTest::addColumn<QDate>("today");
    QTest::addColumn<int>("quarter");
    QTest::addColumn<int>("year");
    QTest::addColumn<bool>("ok");
    QTest::newRow("March: last year's fourth") << QDate(2010, 3, 31) << 4 << 2009 << true;
    QTest::newRow("December: the third") << QDate(2026, 12, 7) << 3 << 2026 << false;
}

void TestCommands::reportDialogProposesThePeriodAndStoresOnOkOnly() {
    QFETCH(QDate, today);
    QFETCH(int, quarter);
    QFETCH(int, year);
    QFETCH(bool, ok);
    Context c;
    Profile profile(c.context.folder.SettingsPath());
    profile.WriteString("Spolecnost", "Nazev", "Kolmara s.r.o.");
    profile.WriteString("Spolecnost", "Fax", "+420 1");
    CDlgReportData dialog(c.context, OleDate::FromParts(today.year(), today.month(), today.day()));
    QCOMPARE(dialog.windowTitle(), QString("Údaje uvedené na výkazu"));
    QCOMPARE(dialog.QuarterBox()->value(), quarter);
    QCOMPARE(dialog.YearBox()->value(), year);
    QCOMPARE(dialog.YearBox()->maximum(), 2099);
    QVERIFY(dialog.RegularButton()->isChecked());
    QCOMPARE(dialog.CompanyField(0)->text(), QString("Kolmara s.r.o."));
    QCOMPARE(dialog.CompanyField(9)->text(), QString("+420 1"));

    dialog.CompanyField(9)->clear();
    dialog.CompanyField(2)->setText("12345678");
    dialog.CorrectiveButton()->setChecked(true);
    ok ? dialog.accept() : dialog.reject();
    const CompanyData stored = LoadCompanyData(profile);
    QCOMPARE(stored.fax, ok ? std::string() : std::string("+420 1"));
    QCOMPARE(stored.ico, ok ? std::string("12345678") : std::string());
    if (ok) {
        QCOMPARE(dialog.Params().corrective, true);
        QCOMPARE(dialog.Params().company.ico, std::string("12345678"));
    }
}

void TestCommands::reportDialogRefusesAHalfTypedYear() {
    Context c;
    CDlgReportData dialog(c.context, OleDate::FromParts(2026, 5, 5));
    dialog.show();
    dialog.YearBox()->selectAll();
    QTest::keyClicks(dialog.YearBox(), "20");
    dialog.accept();
    QVERIFY(dialog.isVisible());
    QCOMPARE(c.db.messages.Texts(),
             std::vector<std::string>{"Zadejte celé číslo mezi 2000 a 2099."});
    QCOMPARE(dialog.focusWidget(), static_cast<QWidget*>(dialog.YearBox()));
}

void TestCommands::reportDialogChecksTheQuarter() {
    Context c;
    const RecordId product = rows::Product(c.db.store, {"Šroubky"});
    const RecordId move = rows::Move(c.db.store, {"V-7", 0, OleDate::FromParts(2026, 8, 3)});
    rows::MoveLine(c.db.store, move, product, Q("2"));
    CDlgReportData dialog(c.context, OleDate::FromParts(2026, 12, 7));
    QCOMPARE(dialog.CheckLabel()->text(),
             QString("1 řádek výdeje bez platného balení, 0 obalů bez hmotnosti."));
    OnNextModalOf<CDlgQuarterGaps>([](CDlgQuarterGaps* list) {
        QCOMPARE(list->windowTitle(), QString("Kontrola údajů za 3. čtvrtletí 2026"));
        QTreeWidgetItem* lines = list->Tree()->topLevelItem(0);
        QCOMPARE(lines->text(0), QString("Řádky výdejů bez platného balení (1)"));
        QCOMPARE(lines->child(0)->text(0) + lines->child(0)->text(1) + lines->child(0)->text(2),
                 QString("ŠroubkyV-703.08.2026"));
        list->reject();
    });
    dialog.GapsButton()->click();
    dialog.QuarterBox()->setValue(2);
    QVERIFY(!dialog.GapsButton()->isEnabled());
    QVERIFY(dialog.CheckLabel()->text().startsWith("Všechny řádky"));
}

void TestCommands::firstStartGuideLinksToHelpAndCanBeSwitchedOff() {
    Context c;
    std::vector<int> helpAsked;
    c.context.showHelp = [&](int context) { helpAsked.push_back(context); };
    QWidget frame;
    ShowFirstStartGuide(c.context, &frame);
    auto* guide = frame.findChild<CDlgFirstStart*>();
    QVERIFY(guide && guide->isVisible());
    emit guide->Steps()->linkActivated("zaciname");
    QCOMPARE(helpAsked, std::vector<int>{help::GettingStarted});
    guide->DontShowBox()->click();
    guide->close();
    QVERIFY(!LoadGuideChoice(Profile(c.context.folder.SettingsPath())));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ShowFirstStartGuide(c.context, &frame);
    QVERIFY(!frame.findChild<CDlgFirstStart*>());
}

void TestCommands::reportFromTheDialog_data() {
    QTest::addColumn<bool>("templateThere");
    QTest::addColumn<bool>("createOwn");
    QTest::addColumn<bool>("built");
    QTest::addColumn<bool>("breakdown");
    QTest::addColumn<bool>("openable");
    QTest::newRow("the quarter's template") << true << false << true << false << true;
    QTest::newRow("with its breakdown") << true << false << true << true << true;
    QTest::newRow("no spreadsheet program") << true << false << true << true << false;
    QTest::newRow("none, own one made") << false << true << true << false << true;
    QTest::newRow("none, not made") << false << false << false << true << true;
}

void TestCommands::reportFromTheDialog() {
    QFETCH(bool, templateThere);
    QFETCH(bool, createOwn);
    QFETCH(bool, built);
    QFETCH(bool, breakdown);
    QFETCH(bool, openable);
    Context c;
    const std::string folder = c.context.folder.folder;
    // A year of the old form that the new data folder has no templates of.
    const int year = 2020;
    if (templateThere)
        MakeReportTemplate(QuarterTemplatePath(folder, year, 2), year, 2);
    c.db.messages.yesNoAnswers.push_back(createOwn);
    const long long cover = c.db.AddCover("Krabice", 10000, 7); // papír, 1 kg
    const RecordId move = rows::Move(c.db.store, {"V-1", 0, OleDate::FromParts(year, 5, 5)});
    rows::MoveCover(c.db.store, {move, 0, cover, Q("3"), 1, 0, 1});

    OnNextModalOf<CDlgReportData>([&](CDlgReportData* dialog) {
        dialog->QuarterBox()->setValue(2);
        dialog->YearBox()->setValue(year);
        dialog->CompanyField(0)->setText("Kolmara s.r.o.");
        QVERIFY(!dialog->BreakdownBox()->isChecked());
        QCOMPARE(dialog->BreakdownBox()->text(), QString("sestavit také &rozpis výkazu"));
        if (breakdown)
            dialog->BreakdownBox()->click();
        QTest::keyClick(dialog->CompanyField(0), Qt::Key_Return);
    });
    QStringList opened;
    QWidget frame;
    // The progress window shows only once the template was found.
    QSet<QString> progressShown;
    QTimer watcher;
    watcher.setInterval(0);
    connect(&watcher, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<CProgressWnd*>(w) && w->isVisible())
                progressShown << w->windowTitle();
        }
    });
    watcher.start();
    // Without a program for workbooks the message names both files and
    // offers their folder.
    QString whereSaved;
    if (!openable) {
        OnNextModalOf<QMessageBox>([&](QMessageBox* box) {
            whereSaved = box->text();
            for (QAbstractButton* button : box->buttons()) {
                if (button->text() == "Otevřít &složku")
                    button->click();
            }
        });
    }
    RunReportCommand(c.context, &frame, [&](const QString& path) {
        opened << path;
        return openable || QFileInfo(path).isDir();
    });
    watcher.stop();
    QCOMPARE(progressShown, built ? QSet<QString>{"Sestavení výkazu"} : QSet<QString>{});

    const std::string missing =
        Format("Nemohu najít soubor s předlohou výkazu \"%svykaz%i.tpl_2\"", folder.c_str(), year);
    const std::string offer =
        Format("Pro 2. čtvrtletí %i není k dispozici předloha výkazu.\nPřejete si vytvořit "
               "předlohu programu „%svykaz%i_2.tpl“?",
               year, folder.c_str(), year);
    std::vector<std::string> messages;
    if (!templateThere)
        messages.push_back(offer);
    if (!built)
        messages.push_back(missing);
    QCOMPARE(c.db.messages.Texts(), messages);
    QCOMPARE(opened.size(), built ? (breakdown ? 2 : 1) + (openable ? 0 : 1) : 0);
    QVERIFY(frame.isEnabled());
    // The choice is remembered for the next report.
    CDlgReportData next(c.context, OleDate::FromParts(year, 5, 5));
    QCOMPARE(next.BreakdownBox()->isChecked(), breakdown);
    if (!built)
        return;
    if (breakdown)
        QCOMPARE(opened[1].toStdString(), BreakdownPath(opened[0].toStdString()));
    if (!openable) {
        QCOMPARE(whereSaved, "Sešit se nepodařilo otevřít: na tomto počítači chybí program pro "
                             "sešity .xlsx (například LibreOffice Calc nebo Excel).\n\nJsou "
                             "uloženy v souborech:\n" +
                                 QDir::toNativeSeparators(opened[0]) + "\n" +
                                 QDir::toNativeSeparators(opened[1]));
        QCOMPARE(opened[2].toStdString() + "/", folder + "Vykazy/");
    }
    const std::string workbook = opened.front().toStdString();
    QVERIFY(workbook.rfind(folder + "Vykazy/vykaz_", 0) == 0);
    Workbook book;
    book.Open(workbook);
    QCOMPARE(book.Sheet("Úvod")->GetText("D7:D7"), std::string("Kolmara s.r.o."));
    QCOMPARE(LoadCompanyData(Profile(c.context.folder.SettingsPath())).name,
             std::string("Kolmara s.r.o."));
}

void TestCommands::backupAndRestoreThroughTheDialog() {
    Context c;
    const std::string target = c.context.folder.folder + "jinde/kopie.mdb";
    c.db.AddCover("Před zálohou", 10000);

    OnNextModalOf<CDlgBackup>([&](CDlgBackup* dialog) {
        QCOMPARE(dialog->windowTitle(), QString("Záloha dat"));
        QCOMPARE(dialog->Label()->text(), QString("Zálohovat do souboru:"));
        QCOMPARE(dialog->ActionButton()->text(), QString("Vytvořit zálohu"));
        QCOMPARE(dialog->PathEdit()->text().toStdString(), DefaultBackupPath(c.context.folder));
        QString proposed;
        bool saveDialog = false;
        dialog->SetBrowseFile(
            [&](QWidget*, const BackupDialogSetup& setup, const QString& name) -> QString {
                saveDialog = setup.saveDialog;
                proposed = name;
                return QString::fromStdString(target);
            });
        dialog->PathEdit()->setText("  /nikde/Zaloha.mdb/  ");
        dialog->BrowseButton()->click();
        QCOMPARE(proposed, QString("Zaloha.mdb"));
        QVERIFY(saveDialog);
        QCOMPARE(dialog->PathEdit()->text(),
                 QDir::toNativeSeparators(QString::fromStdString(target)));
        dialog->ActionButton()->click();
    });
    QWidget frame;
    RunBackupCommand(c.context, BackupMode::Backup, &frame);
    QVERIFY(fs::is_regular_file(target));
    QCOMPARE(c.db.messages.Texts(),
             std::vector<std::string>{
                 "Záloha '" +
                 QDir::toNativeSeparators(QString::fromStdString(target)).toStdString() +
                 "' byla úspěšně vytvořena!"});
    QCOMPARE(c.notifier.sent, std::vector<ViewNotification>{ViewNotification::Refresh});

    c.db.AddCover("Po záloze", 10000);
    c.db.messages.shown.clear();
    OnNextModalOf<CDlgBackup>([&](CDlgBackup* dialog) {
        QCOMPARE(dialog->Label()->text(), QString("Obnovit ze souboru:"));
        QCOMPARE(dialog->ActionButton()->text(), QString("Obnovit zálohu"));
        // The last backup is proposed.
        QCOMPARE(dialog->PathEdit()->text(),
                 QDir::toNativeSeparators(QString::fromStdString(target)));
        dialog->ActionButton()->click();
    });
    c.db.messages.yesNoAnswers = {true};
    RunBackupCommand(c.context, BackupMode::Restore, &frame);
    QCOMPARE(c.db.messages.Texts().size(), size_t(2));
    QVERIFY(c.db.messages.Texts()[0].starts_with("Obnovením nahradíte všechna současná data"));
    QCOMPARE(c.db.messages.Texts()[1],
             "Data ze zálohy '" +
                 QDir::toNativeSeparators(QString::fromStdString(target)).toStdString() +
                 "' byla obnovena!");
    QCOMPARE(c.notifier.sent.size(), size_t(2));
    QCOMPARE(c.db.Text("SELECT group_concat(cover_name) FROM Cover"), std::string("Před zálohou"));

    // A restore from a file that is not there keeps the dialog open.
    c.db.messages.shown.clear();
    OnNextModalOf<CDlgBackup>([&](CDlgBackup* dialog) {
        dialog->PathEdit()->setText("/nikde/nic.mdb");
        dialog->ActionButton()->click();
        QVERIFY(dialog->isVisible());
        dialog->CloseButton()->click();
    });
    RunBackupCommand(c.context, BackupMode::Restore, &frame);
    QCOMPARE(c.db.messages.Texts(),
             std::vector<std::string>{"Nemohu nalézt soubor '/nikde/nic.mdb'!"});
}

void TestCommands::bulkRun_data() {
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<int>("handLinesLeft");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("declined") << false << 10 << QStringList();
    QTest::newRow("cancelled after the first line")
        << true << 9 << QStringList{"Aktualizace byla přerušena!"};
}

void TestCommands::bulkRun() {
    QFETCH(bool, confirm);
    QFETCH(int, handLinesLeft);
    QFETCH(QStringList, messages);
    Context c;
    const long long cover = c.db.AddCover("Krabice", 10000);
    const RecordId product = rows::Product(c.db.store, {"Výrobek"});
    for (int i = 1; i <= 10; ++i) {
        const RecordId move =
            rows::Move(c.db.store, {Format("V-%i", i), 0, OleDate::FromParts(2026, 1, i)});
        const RecordId line = rows::MoveLine(c.db.store, move, product, Q("1"));
        rows::MoveCover(c.db.store, {move, line, cover, Q("1"), 0, 0, 0});
    }
    c.db.messages.shown.clear();
    c.db.messages.yesNoAnswers.push_back(confirm);

    // Stops the run as soon as its window shows the first line.
    QString caption;
    bool cancelVisible = false;
    QTimer stopper;
    stopper.setInterval(0);
    connect(&stopper, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* progress = qobject_cast<CProgressWnd*>(w);
            if (progress && progress->isVisible() && !progress->SecondaryStatus().isEmpty()) {
                caption = progress->windowTitle();
                cancelVisible = progress->CancelButton()->isVisible();
                progress->CancelButton()->click();
                stopper.stop();
            }
        }
    });
    stopper.start();
    QWidget frame;
    frame.show();
    RunBulkCommand(c.context, &frame);
    stopper.stop();

    const std::vector<std::string> texts = c.db.messages.Texts();
    QCOMPARE(texts.front().rfind("Opravdu si přejete upravit výdeje obalů", 0), size_t(0));
    QStringList shown;
    for (size_t i = 1; i < texts.size(); ++i)
        shown << QString::fromStdString(texts[i]);
    QCOMPARE(shown, messages);
    QCOMPARE(c.db.Number("SELECT COUNT(*) FROM Move_Cover"), handLinesLeft);
    QCOMPARE(c.notifier.sent.size(), size_t(confirm ? 1 : 0));
    if (confirm) {
        QCOMPARE(c.notifier.sent.front(), ViewNotification::ReloadCovers);
        QCOMPARE(caption, QString("Úprava vydaných obalů"));
        QVERIFY(cancelVisible);
    } else {
        QVERIFY(caption.isEmpty()); // no window without a Yes
    }
    QVERIFY(frame.isEnabled());
}

void TestCommands::moneyWizardChecksItsPagesAndStoresSettingsOnStorno() {
    Context c;
    MoneyMachine money;
    MoneyWizardOptions options;
    options.dosDevices = money.dir.path().toStdString() + "/nowine"; // no Money installed
    options.browseFolder = [&](QWidget*) { return QString::fromStdString(money.YearFolder()); };

    OnNextModalOf<Wizard>([&](Wizard* wizard) {
        auto* page = qobject_cast<CPageImpS3*>(wizard->currentPage());
        QCOMPARE(wizard->windowTitle(), QString("Vyberte účetní rok Money"));
        QCOMPARE(page->List()->topLevelItemCount(), 0);
        QVERIFY(page->NotInstalledNote()->isVisible());
        QVERIFY(!wizard->button(QWizard::FinishButton)->isVisible());
        wizard->next();
        QCOMPARE(wizard->currentPage(), page); // nothing selected
        page->BrowseButton()->click();
        QCOMPARE(page->List()->topLevelItemCount(), 1);
        QCOMPARE(page->List()->topLevelItem(0)->text(0), QString("Pekárna Žitná s.r.o."));
        QCOMPARE(page->FolderLine()->text().toStdString(), money.YearFolder());
        page->BrowseButton()->click(); // the same year again is not listed twice
        QCOMPARE(page->List()->topLevelItemCount(), 1);
        wizard->next();

        auto* params = qobject_cast<CPageImpS3Param*>(wizard->currentPage());
        QVERIFY(params);
        QCOMPARE(wizard->windowTitle(), QString("Parametry importu"));
        QVERIFY(params->CountriesEdit()->isEnabled());
        params->ExportBox()->setChecked(false);
        QVERIFY(!params->CountriesEdit()->isEnabled());
        params->DocumentsBox()->setChecked(false);
        QVERIFY(!params->ExportBox()->isEnabled());
        params->ProductsBox()->setChecked(false);
        wizard->button(QWizard::FinishButton)->click();
        QVERIFY(wizard->isVisible());
        params->Existing()->Button(ExistingMode::Ask)->setChecked(true);
        wizard->reject();
    });
    QWidget frame;
    RunMoneyImportCommand(c.context, &frame, options);

    QCOMPARE(c.db.messages.Texts(),
             (std::vector<std::string>{"Není vybrána agenda!",
                                       "Není vybrán import produktů ani dokladů!"}));
    const MoneyImportParams stored =
        ReadMoneyImportSettings(Profile(c.context.folder.SettingsPath()));
    QVERIFY(!stored.choices.products && !stored.choices.documents && !stored.setExport);
    QCOMPARE(stored.choices.existing, ExistingMode::Ask);
    QCOMPARE(c.db.Number("SELECT COUNT(*) FROM Product"), 0);
    QVERIFY(c.notifier.sent.empty());
}

void TestCommands::moneyImportAsksWithTheOverwriteDialog() {
    OverwriteByDialog messages;
    Context c(&messages);
    MoneyMachine money;
    MoneyImportParams first;
    first.agendaFolder = money.dosDevices + "/c:/Data/Agenda.001/";
    first.yearFolder = money.YearFolder();
    first.choices.existing = ExistingMode::Overwrite;
    ImportCounters counters;
    NullProgress quiet;
    QVERIFY(ImportMoneyS3(c.db.Store(), messages, quiet, first, counters));
    const long long moves = c.db.Number("SELECT COUNT(*) FROM Move");

    MoneyWizardOptions options;
    options.dosDevices = money.dosDevices;
    std::vector<QString> questions;
    // Products: no to all; documents: asked again, yes to all.
    auto answer = [&](CDlgOverwrite* dialog, CDlgOverwrite::Result button) {
        questions.push_back(dialog->findChildren<QLabel*>().back()->text());
        dialog->Button(button)->click();
    };
    OnNextModalOf<Wizard>([&](Wizard* wizard) {
        auto* page = qobject_cast<CPageImpS3*>(wizard->currentPage());
        QCOMPARE(page->List()->topLevelItemCount(), 1);
        const QPoint row = page->List()->visualItemRect(page->List()->topLevelItem(0)).center();
        QTest::mouseClick(page->List()->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(page->List()->viewport(), Qt::LeftButton, {}, row);
        auto* params = qobject_cast<CPageImpS3Param*>(wizard->currentPage());
        QVERIFY(params);
        params->Existing()->Button(ExistingMode::Ask)->setChecked(true);
        OnNextModalOf<CDlgOverwrite>([&](CDlgOverwrite* products) {
            OnNextModalOf<CDlgOverwrite>(
                [&](CDlgOverwrite* documents) { answer(documents, CDlgOverwrite::YesToAll); });
            answer(products, CDlgOverwrite::NoToAll);
        });
        wizard->button(QWizard::FinishButton)->click();
    });
    QWidget frame;
    frame.show();
    RunMoneyImportCommand(c.context, &frame, options);

    QCOMPARE(questions.size(), size_t(2));
    QVERIFY(questions[0].startsWith("Produkt \""));
    QVERIFY(questions[1].startsWith("Doklad \""));
    QCOMPARE(messages.shown.back().text,
             std::string("Import dokončen úspěšně!\n\nNaimportováno:\n   Produktů ~ 0\n   "
                         "Dokladů ~ 7\n\nVynecháno jako již importované:\n   Produktů ~ 12\n   "
                         "Dokladů ~ 0"));
    QCOMPARE(messages.shown.back().icon, MsgIcon::Information);
    QCOMPARE(c.db.Number("SELECT COUNT(*) FROM Move"), moves);
    QCOMPARE(c.notifier.sent, std::vector<ViewNotification>{ViewNotification::ReloadItems});
    QCOMPARE(ReadMoneyImportSettings(Profile(c.context.folder.SettingsPath())).choices.existing,
             ExistingMode::Ask);
    QVERIFY(frame.isEnabled());
}

// The XML export as the source: its file chosen with "...", the documents of
// the chosen kind imported with the shared parameter page, and the source
// offered first next time, without a word about the Money installation.
void TestCommands::moneyWizardImportsTheXmlExport() {
    Context c;
    MoneyWizardOptions options;
    options.dosDevices = c.db.Folder() + "nowine"; // no Money installed
    const std::string file = TARVO_FIXTURES "/moneyxml/export-cp1250.xml";
    options.browseFile = [&](QWidget*) { return QString::fromStdString(file); };
    OnNextModalOf<Wizard>([&](Wizard* wizard) {
        auto* page = qobject_cast<CPageImpS3*>(wizard->currentPage());
        QVERIFY(page->InstallationChoice()->isChecked());
        QVERIFY(!page->XmlBrowseButton()->isEnabled());
        QTest::mouseClick(page->XmlChoice(), Qt::LeftButton);
        QVERIFY(page->XmlChoice()->isChecked());
        QVERIFY(page->XmlBrowseButton()->isEnabled());
        QVERIFY(!page->List()->isEnabled());
        wizard->next();
        QCOMPARE(wizard->currentPage(), page); // no file yet
        page->XmlBrowseButton()->click();
        QCOMPARE(page->XmlFileEdit()->text().toStdString(), file);
        page->XmlSourcesBox()->setCurrentIndex(static_cast<int>(MoneyXmlSources::Stock));
        wizard->next();
        auto* params = qobject_cast<CPageImpS3Param*>(wizard->currentPage());
        QVERIFY(params);
        params->ProductsBox()->setChecked(false);
        wizard->button(QWizard::FinishButton)->click();
    });
    QWidget frame;
    frame.show();
    RunMoneyImportCommand(c.context, &frame, options);

    // Without the cards, each product is made from the first line naming it.
    QCOMPARE(c.db.messages.Texts(),
             (std::vector<std::string>{
                 "Není vybrán soubor XML!",
                 "Import dokončen úspěšně!\n\nNaimportováno:\n   Produktů ~ 4\n   Dokladů ~ 8"}));
    QCOMPARE(c.db.Number("SELECT COUNT(*) FROM Move"), 8);
    QCOMPARE(c.notifier.sent, (std::vector<ViewNotification>{ViewNotification::ReloadMain,
                                                             ViewNotification::ReloadItems}));
    const MoneyXmlImportParams stored =
        ReadMoneyXmlImportSettings(Profile(c.context.folder.SettingsPath()));
    QCOMPARE(stored.file, file);
    QCOMPARE(stored.sources, MoneyXmlSources::Stock);
    QVERIFY(!stored.money.choices.products);

    c.db.messages.shown.clear();
    OnNextModalOf<Wizard>([&](Wizard* wizard) {
        auto* page = qobject_cast<CPageImpS3*>(wizard->currentPage());
        QVERIFY(page->XmlChoice()->isChecked());
        QCOMPARE(page->XmlFileEdit()->text().toStdString(), file);
        QCOMPARE(page->XmlSourcesBox()->currentIndex(), static_cast<int>(MoneyXmlSources::Stock));
        wizard->reject();
    });
    RunMoneyImportCommand(c.context, &frame, options);
    QVERIFY(c.db.messages.shown.empty());
}

void TestCommands::wakImportAgainstTheTestServer() {
#ifdef _WIN32
    QSKIP("the WAK INTRA test server (PostgreSQL and its ODBC driver) runs on Linux only");
#else
    Context c;
    WakTestDatabase wak;
    wak.AddProduct(1, "Láhev žlutá", "L1", "ks");
    wak.AddLine(10, "PRO", "P-1", "2010-02-03 10:00", 0, 1, "2.5");
    wak.AddLine(11, "pro", "P-2", "2010-03-31 22:00", 1, 1, "3");
    wak.AddLine(13, "PRO", "P-3", "2010-04-01", 0, 1, "7"); // after the range
    Profile profile(c.context.folder.SettingsPath());
    profile.WriteString("ImportWAK", "Server", "  testserver ");
    profile.WriteString("ImportWAK", "Databaze", wak.Name());
    profile.WriteString("ImportWAK", "ODBC", wak.ConnectionString());

    OnNextModalOf<Wizard>([&](Wizard* wizard) {
        auto* page = qobject_cast<CPageImpWAK*>(wizard->currentPage());
        QCOMPARE(wizard->windowTitle(), QString("Připojení k databázi WAK "));
        QCOMPARE(page->UserEdit()->text(), QString("sa"));
        page->WindowsAuth()->setChecked(true);
        QVERIFY(!page->UserEdit()->isEnabled() && !page->PasswordEdit()->isEnabled());
        page->SqlServerAuth()->setChecked(true);
        QVERIFY(page->UserEdit()->isEnabled());
        page->TestButton()->click();
        QCOMPARE(page->ServerEdit()->text(), QString("testserver"));
        wizard->next();

        auto* params = qobject_cast<CPageImpWAKParam*>(wizard->currentPage());
        QVERIFY(params);
        params->FromEdit()->setDate(QDate(2010, 3, 31));
        params->ToEdit()->setDate(QDate(2010, 1, 1));
        wizard->button(QWizard::FinishButton)->click(); // the range runs backwards
        QVERIFY(wizard->isVisible());
        params->FromEdit()->setDate(QDate(2010, 1, 1));
        params->ToEdit()->setDate(QDate(2010, 3, 31));
        params->DocumentsBox()->setChecked(false);
        QVERIFY(!params->FromEdit()->isEnabled());
        params->DocumentsBox()->setChecked(true);
        wizard->button(QWizard::FinishButton)->click();
    });
    QWidget frame;
    frame.show();
    RunWakImportCommand(c.context, &frame);

    QCOMPARE(c.db.messages.Texts(),
             (std::vector<std::string>{"Spojení s databází vytvořeno!",
                                       "Datum od nesmí být větší než datum do!",
                                       "Import dokončen úspěšně!\n\nNaimportováno:\n   Produktů "
                                       "~ 1\n   Dokladů ~ 2"}));
    QCOMPARE(c.notifier.sent, (std::vector<ViewNotification>{ViewNotification::ReloadMain,
                                                             ViewNotification::ReloadItems}));
    QCOMPARE(profile.GetString("ImportWAK", "Server"), std::string("testserver"));
    QVERIFY(frame.isEnabled());
#endif
}

QTEST_MAIN(TestCommands)
#include "test_commands.moc"
