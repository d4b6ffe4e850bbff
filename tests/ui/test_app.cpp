// Start-up, the main frame and the end of the program, with the real
// application object on a temporary data folder.
#include "app/cmainframe.h"
#include "app/ctarvoapp.h"
#include "app/singleinstance.h"
#include "core/data/cdatastore.h"
#include "core/data/profile.h"
#include "core/data/recordset.h"
#include "recordingports.h"
#include "support/aboutbox.h"
#include "support/helpwindow.h"
#include "ui/dialogs/cdlgfirststart.h"
#include "ui/dialogs/cdlgoptions.h"
#include "ui/framework/cdlgfindreplace.h"
#include "ui/framework/commandids.h"
#include "ui/framework/commands.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/listmodel.h"
#include "ui/framework/recordlist.h"
#include "ui/views/cviewcompcover.h"
#include "ui/views/cviewcover.h"
#include "uitestsupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QSplitterHandle>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <functional>
#include <map>
#include <set>

using namespace tarvo;
using namespace tarvo::test;

class TestApp : public QObject {
    Q_OBJECT
public:
    TestApp(CTarvoApp& app, RecordingMessages& messages, const QString& dataDir)
        : m_app(app), m_messages(messages), m_dataDir(dataDir) {}

private slots:
    void startUpMakesDataFolderAndShowsCovers();
    void missingSettingsGiveFourSwitchesOn();
    void menuAndBars();
    void everyCommandOfTheMenusAndBarsIsEnabledAsDesigned();
    void secondInstanceRaisesFirst();
    void notifyAllViewsSkipsSender();
    void findDialogKeepsTheFrameKeysAway();
    void optionsChangeSwitches();
    void helpAboutAndCompositeTable();
    void exitWritesSwitchesAndClosesDatabase();

private:
    CTarvoApp& m_app;
    RecordingMessages& m_messages;
    QString m_dataDir;
};

void TestApp::startUpMakesDataFolderAndShowsCovers() {
    QVERIFY(!QFile::exists(m_dataDir));
    QVERIFY(m_app.InitInstance());
    QVERIFY(m_messages.shown.empty());
    QVERIFY(QFile::exists(m_dataDir + "/Tarvo.mdb"));
    CMainFrame* frame = m_app.MainFrame();
    QVERIFY(frame && frame->isVisible());
    QCOMPARE(frame->windowTitle(), QString("Tarvo"));
    QCOMPARE(frame->minimumSize(), QSize(600, 400));
    QCOMPARE(frame->ActiveTable(), int(cmd::ViewCovers));
    auto* covers = qobject_cast<CViewCover*>(frame->ActiveView());
    QVERIFY(covers);
    QCOMPARE(covers->MainList()->Model()->Count(), 0);
    QCOMPARE(covers->MainList()->Model()->headerData(0, Qt::Horizontal).toString(),
             QString("Název"));
    // The split bar stands 240 pixels left of the frame's right edge as the
    // window is shown, not as it was before it had its size.
    QCOMPARE(covers->SplitBar()->x(), frame->centralWidget()->width() - 240);
    // An empty database opens with the guide, which does not hold the frame.
    auto* guide = frame->findChild<CDlgFirstStart*>();
    QVERIFY(guide && guide->isVisible() && !guide->isModal());
    guide->close();
}

void TestApp::missingSettingsGiveFourSwitchesOn() {
    QVERIFY(!QFile::exists(m_dataDir + "/tarvo.ini"));
    const PropagationSwitches& s = m_app.Switches();
    QVERIFY(s.coverToCompCovers && s.coverToPackaging && s.coverToDispatches &&
            s.packagingToDispatches);
}

void TestApp::menuAndBars() {
    CMainFrame* frame = m_app.MainFrame();
    struct Item {
        int command;
        const char* text;
        QKeySequence key;
        bool enabled;
    };
    const Item items[] = {
        {cmd::Add, "&Přidat\tIns", QKeySequence(Qt::Key_Insert), true},
        {cmd::Edit, "&Upravit\tEnter", QKeySequence(Qt::Key_Return), true},
        {cmd::Delete, "&Odstranit\tDel", QKeySequence(Qt::Key_Delete), true},
        {cmd::Find, "&Najít...\tCtrl+F", QKeySequence("Ctrl+F"), true},
        {cmd::Replace, "Na&hradit...\tCtrl+H", QKeySequence("Ctrl+H"), true},
        {cmd::Filter, "Fil&tr...\tCtrl+T", QKeySequence("Ctrl+T"), true},
        {cmd::Refresh, "&Aktualizovat\tF5", QKeySequence(Qt::Key_F5), true},
        {cmd::Options, "&Možnosti...", QKeySequence(), true},
        {cmd::ViewCovers, "&Obaly", QKeySequence(), true},
        {cmd::ViewProducts, "&Produkty", QKeySequence(), true},
        {cmd::Report, "Sestavit &výkaz", QKeySequence(), true},
        {cmd::ImportMoney, "&Money S3", QKeySequence(), true},
        {cmd::Help, "Nápověda pro Tarvo\tF1", QKeySequence(Qt::Key_F1), true},
        {cmd::ViewCompCovers, "&Složené obaly", QKeySequence(), true},
        {cmd::About, "O &aplikaci Tarvo...", QKeySequence(), true},
        {cmd::Add2, "&Přidat\tCtrl+Ins", QKeySequence(Qt::CTRL | Qt::Key_Insert), true},
        {cmd::Add3, "&Přidat\tAlt+Ins", QKeySequence(Qt::ALT | Qt::Key_Insert),
         false}, // no third pane
    };
    frame->UpdateCommands();
    for (const Item& item : items) {
        QAction* action = frame->Action(item.command);
        QVERIFY(action);
        QCOMPARE(action->text(), QString::fromUtf8(item.text));
        QCOMPARE(action->shortcut(), item.key);
        QCOMPARE(action->isEnabled(), item.enabled);
    }
    QCOMPARE(frame->Action(cmd::Filter)->statusTip(),
             QString("Nastavit/zrušit filtr pro zobrazení záznamů"));
    QCOMPARE(frame->Action(cmd::Filter)->toolTip(), QString("Filtr"));
    QVERIFY(frame->Action(cmd::ViewCovers)->isChecked());
    QVERIFY(!frame->Action(cmd::ViewDispatches)->isChecked());

    // The tool bar toggle follows the bar.
    QVERIFY(frame->Action(cmd::ToggleToolBar)->isChecked());
    frame->RunCommand(cmd::ToggleToolBar);
    QVERIFY(!frame->ToolBar()->isVisible());
    QVERIFY(!frame->Action(cmd::ToggleToolBar)->isChecked());
    frame->RunCommand(cmd::ToggleToolBar);
    QVERIFY(frame->ToolBar()->isVisible());
    QVERIFY(frame->ToolBar()->isMovable() && frame->TableBar()->isMovable());
    QCOMPARE(frame->TableBar()->actions().size(), 4);
    QCOMPARE(frame->ToolBar()->actions().size(), 4); // two imports, separator, report
    QCOMPARE(frame->statusBar()->findChild<QLabel*>()->text(), QString("Hotovo"));
}

// Walks the menus and both tool bars of the frame showing the covers view:
// every command the frame shows is enabled there, as designed.
void TestApp::everyCommandOfTheMenusAndBarsIsEnabledAsDesigned() {
    CMainFrame* frame = m_app.MainFrame();
    const std::set<int> expected = {
        cmd::Report,         cmd::ExportRegisters, cmd::ImportRegisters,
        cmd::Backup,         cmd::Restore,         cmd::Exit,
        cmd::ViewCovers,     cmd::ViewCompCovers,  cmd::ViewProducts,
        cmd::ViewDispatches, cmd::Refresh,         cmd::ImportMoney,
        cmd::ImportWak,      cmd::ResolveAll,      cmd::Add,
        cmd::Edit,           cmd::Delete,          cmd::Find,
        cmd::Replace,        cmd::Filter,          cmd::Options,
        cmd::ToggleTableBar, cmd::ToggleToolBar,   cmd::ToggleStatusBar,
        cmd::Help,           cmd::About,           cmd::ProposeClassifications,
        cmd::Undelete,
    };
    std::map<QAction*, int> ids;
    for (const CommandInfo& command : Commands())
        ids[frame->Action(command.id)] = command.id;

    std::set<int> seen;
    std::function<void(const QList<QAction*>&)> walk = [&](const QList<QAction*>& actions) {
        for (QAction* action : actions) {
            if (action->isSeparator())
                continue;
            if (action->menu()) {
                walk(action->menu()->actions());
                continue;
            }
            QVERIFY2(ids.count(action), qPrintable(action->text()));
            const int id = ids[action];
            seen.insert(id);
            QVERIFY2(expected.count(id), qPrintable(action->text()));
            QVERIFY2(action->isEnabled(), qPrintable(action->text()));
        }
    };
    frame->UpdateCommands();
    walk(frame->menuBar()->actions());
    walk(frame->TableBar()->actions());
    walk(frame->ToolBar()->actions());
    QCOMPARE(seen.size(), expected.size());
}

void TestApp::secondInstanceRaisesFirst() {
    // Two instance objects on one name stand for two starts of the program.
    const QString name =
        QStringLiteral("tarvo-test-raise-%1").arg(QCoreApplication::applicationPid());
    SingleInstance first(name);
    QVERIFY(first.Acquire());
    QSignalSpy raised(&first, &SingleInstance::raiseRequested);
    SingleInstance second(name);
    QVERIFY(!second.Acquire());
    QVERIFY(!second.IsOwner());
#ifdef _WIN32
    // A pipe whose client has written and gone before the first instance in
    // the same thread accepted it is not read there; two programs are two
    // threads, and the installer check starts the program twice.
    QSKIP("the request of a second start is read only across processes here");
#endif
    QTRY_COMPARE(raised.count(), 1);
    // The real first instance answers a second start by coming to the front.
    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &other);
    SingleInstance again(SingleInstance::DefaultName() + "-test");
    QVERIFY(!again.Acquire());
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(m_app.MainFrame()));
}

void TestApp::notifyAllViewsSkipsSender() {
    CMainFrame* frame = m_app.MainFrame();
    auto* covers = qobject_cast<CViewCover*>(frame->ActiveView());
    rows::Cover(m_app.Context()->store, {.name = "Nový"});
    frame->NotifyAllViews(covers, ViewNotification::Refresh);
    QCOMPARE(covers->MainList()->Model()->Count(), 0);
    frame->NotifyAllViews(nullptr, ViewNotification::Refresh);
    QCOMPARE(covers->MainList()->Model()->Count(), 1);
    // Core operations reach every view through the context, without a sender.
    rows::Cover(m_app.Context()->store, {.name = "Druhý"});
    m_app.Context()->notifier.NotifyAllViews(ViewNotification::Refresh);
    QCOMPARE(covers->MainList()->Model()->Count(), 2);
    m_app.Context()->store.Execute("DELETE FROM Cover WHERE cover_name = 'Druhý'");
    frame->RunCommand(cmd::Refresh);
}

void TestApp::findDialogKeepsTheFrameKeysAway() {
    CMainFrame* frame = m_app.MainFrame();
    RecordList* list = frame->ActiveView()->MainList();
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    list->ClearSelectionAndFocus();
    frame->RunCommand(cmd::Find);
    CDlgFindReplace* dialog = frame->FindReplace().Dialog();
    QVERIFY(dialog);
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    dialog->FindCombo()->setEditText("Nov");
    dialog->PartMatchBox()->setChecked(true);
    // A key of the frame would open a dialog (Ins, Ctrl+T), delete (Del) or
    // reload (F5); none of them may reach the view behind.
    bool modalOpened = false;
    OnNextModal([&](QWidget* modal) {
        modalOpened = true;
        modal->close();
    });
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Insert), QKeySequence(Qt::Key_Delete),
                                    QKeySequence("Ctrl+T"), QKeySequence(Qt::Key_F5)})
        QTest::keySequence(dialog->FindCombo(), key);
    QTest::qWait(50);
    QVERIFY(!modalOpened);
    QVERIFY(m_messages.shown.empty());
    // Enter means "Najít další" there.
    QTest::keyClick(dialog->FindCombo(), Qt::Key_Return);
    QCOMPARE(list->FocusedRow(), 0);
    QVERIFY(!modalOpened);
    frame->FindReplace().Close();
    // The watcher for a dialog that never came takes this one instead.
    QDialog drain;
    drain.exec();
    QCoreApplication::processEvents();
}

void TestApp::optionsChangeSwitches() {
    // Storno leaves the switches as they were.
    OnNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<CDlgOptions*>(modal);
        QVERIFY(dialog);
        dialog->Box(1)->setChecked(false);
        dialog->reject();
    });
    m_app.MainFrame()->RunCommand(cmd::Options);
    QVERIFY(m_app.Switches().coverToPackaging);
    OnNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<CDlgOptions*>(modal);
        QVERIFY(dialog);
        dialog->Box(0)->setChecked(false);
        dialog->accept();
    });
    m_app.MainFrame()->RunCommand(cmd::Options);
    QVERIFY(!m_app.Switches().coverToCompCovers);
    QVERIFY(m_app.Switches().coverToPackaging);
}

void TestApp::helpAboutAndCompositeTable() {
    CMainFrame* frame = m_app.MainFrame();
    // F1 opens the program's help window at the contents; a dialog's help
    // context opens its page in the same window.
    QAction* help = frame->Action(cmd::Help);
    QCOMPARE(help->shortcut(), QKeySequence(Qt::Key_F1));
    help->trigger();
    HelpWindow* window = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<HelpWindow*>(widget))
            window = found;
    }
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->CurrentPage(), QStringLiteral("index.html"));
    m_app.Context()->showHelp(13);
    QCOMPARE(window->CurrentPage(), QStringLiteral("dlg-slozeny-obal.html"));
    window->close();

    QString aboutTitle;
    OnNextModal([&](QWidget* modal) {
        aboutTitle = modal->windowTitle();
        modal->close();
    });
    frame->RunCommand(cmd::About);
    QCOMPARE(aboutTitle, QStringLiteral("O aplikaci Tarvo"));

    frame->RunCommand(cmd::ViewCompCovers);
    QVERIFY(qobject_cast<CViewCompCover*>(frame->ActiveView()));
    QVERIFY(frame->Action(cmd::ViewCompCovers)->isChecked());
    frame->RunCommand(cmd::ViewCovers);
}

void TestApp::exitWritesSwitchesAndClosesDatabase() {
    m_app.ExitInstance();
    QVERIFY(!m_app.MainFrame());
    Profile profile((m_dataDir + "/tarvo.ini").toStdString());
    QCOMPARE(profile.GetString("Moznosti", "Zmenu obalu promitnout do slozenych obalu"),
             std::string("0"));
    for (const char* key : {"Zmenu obalu promitnout v balenich", "Zmenu obalu promitnout do vydeju",
                            "Zmenu baleni promitnout do vydeju"})
        QCOMPARE(profile.GetString("Moznosti", key), std::string("1"));
    // The database was compacted and closed, with every row kept.
    QVERIFY(!QFile::exists(m_dataDir + "/TarvoTmp.MDB"));
    RecordingMessages messages;
    CDataStore store(messages);
    store.SetDatabasePath((m_dataDir + "/Tarvo.mdb").toStdString());
    QVERIFY(store.OpenDatabase());
    Recordset rs;
    QVERIFY(store.OpenRecordset(rs, "SELECT cover_name FROM Cover"));
    QCOMPARE(rs.RecordCount(), 1L);
    QCOMPARE(rs.GetText("cover_name"), std::string("Nový"));
}

int main(int argc, char** argv) {
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir temp;
    const QString dataDir = temp.path() + "/data";
    qputenv("TARVO_DATA_DIR", dataDir.toUtf8());
    CTarvoApp app(argc, argv);
    RecordingMessages messages;
    app.SetMessagePort(&messages);
    app.SetInstanceName(SingleInstance::DefaultName() + "-test");
    TestApp test(app, messages, dataDir);
    return QTest::qExec(&test, argc, argv);
}

#include "test_app.moc"
