// Find and replace on the covers list through the modeless dialog.
#include "ui/framework/cdlgfindreplace.h"
#include "ui/framework/commandids.h"
#include "ui/framework/findreplaceowner.h"
#include "ui/framework/helpcontexts.h"
#include "ui/framework/listmodel.h"
#include "ui/framework/recordlist.h"
#include "ui/views/cviewcover.h"
#include "uitestsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

using namespace tarvo;
using namespace tarvo::test;

namespace {

struct Fixture {
    UiDatabase db;
    std::unique_ptr<CViewCover> view;
    std::vector<int> help;
    FindReplaceOwner finder{db.messages, [this](int page) { help.push_back(page); }};

    explicit Fixture(std::initializer_list<const char*> names) {
        int material = 0;
        for (const char* name : names)
            db.AddCover(name, 1000, material++ % 3);
        view = std::make_unique<CViewCover>(db.Context());
        view->resize(800, 400);
        view->InitialUpdate();
        view->show();
    }
    ~Fixture() { finder.Close(); }

    // The find or replace command as the frame runs it for its active view.
    CDlgFindReplace* Command(int command) {
        return finder.Open(*view, command == cmd::Replace ? FindReplaceOwner::ReplaceTab
                                                          : FindReplaceOwner::FindTab);
    }
    CDlgFindReplace* Open(int command, const QString& column) {
        CDlgFindReplace* dialog = Command(command);
        QComboBox* columns = dialog->ColumnCombo();
        columns->setCurrentIndex(columns->findText(column));
        emit columns->activated(columns->currentIndex());
        return dialog;
    }
    ListModel* Model() const { return view->MainList()->Model(); }
    int Focused() const { return view->MainList()->FocusedRow(); }
};

// The cover names in the order they were added.
std::string Names(UiDatabase& db) {
    return db.Text("SELECT group_concat(cover_name, ',') FROM (SELECT cover_name FROM Cover "
                   "ORDER BY cover_id)");
}

} // namespace

class TestFindReplace : public QObject {
    Q_OBJECT
private slots:
    void dialogPreselectsClickedColumnAndTab();
    void findNextFromLastRowWraps();
    void findNextDoesNotWrapFromMiddle();
    void replaceOnNonMatchingRowOnlyMoves();
    void replaceAllPartMatch();
    void replaceCodedColumnWritesCode();
    void requestChecks_data();
    void requestChecks();
    void stornoAndEscapeDestroyDialog();
};

void TestFindReplace::dialogPreselectsClickedColumnAndTab() {
    Fixture f({"a"});
    // A click into the type column makes it the search area; the list is
    // sorted by name.
    RecordList* list = f.view->MainList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(f.Model()->index(0, 3)).center());
    QCOMPARE(f.Command(cmd::Find)->ColumnCombo()->currentText(), QString("Typ"));
    f.finder.Close();
    // A column without a search area (the weight) falls back to the name.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(f.Model()->index(0, 2)).center());
    CDlgFindReplace* dialog = f.Command(cmd::Replace);
    QVERIFY(dialog);
    QCOMPARE(dialog->Tab(), 1);
    QCOMPARE(dialog->ColumnCombo()->currentText(), QString("Název"));
    QCOMPARE(dialog->ColumnCombo()->count(), 6);
    QVERIFY(dialog->ReplaceCombo()->isVisible());
    QVERIFY(!dialog->PartMatchBox()->isChecked());
    QCOMPARE(f.Command(cmd::Find), dialog);
    QCOMPARE(dialog->Tab(), 0);
    QVERIFY(!dialog->ReplaceCombo()->isVisible());
    // A coded column offers its labels, sorted, in both boxes; the typed
    // text stays.
    dialog->FindCombo()->setEditText("ano");
    QComboBox* columns = dialog->ColumnCombo();
    columns->setCurrentIndex(columns->findText("Opakovaně používaný"));
    emit columns->activated(columns->currentIndex());
    QCOMPARE(dialog->FindCombo()->count(), 2);
    QCOMPARE(dialog->FindCombo()->itemText(0), QString("ano"));
    QCOMPARE(dialog->FindCombo()->currentText(), QString("ano"));
    QCOMPARE(dialog->ReplaceCombo()->count(), 2);
    // F1 from a field opens the dialog's help page.
    QTest::keyClick(dialog->FindCombo(), Qt::Key_F1);
    QCOMPARE(f.help, std::vector<int>{help::Find});
}

void TestFindReplace::findNextFromLastRowWraps() {
    Fixture f({"ab1", "cd", "ab2"}); // list order: ab1, ab2, cd
    CDlgFindReplace* dialog = f.Open(cmd::Find, "Název");
    dialog->FindCombo()->setEditText("AB");
    dialog->PartMatchBox()->setChecked(true);
    f.view->MainList()->SelectRow(2);
    QTest::mouseClick(dialog->FindNextButton(), Qt::LeftButton);
    QCOMPARE(f.Focused(), 0);
    QTest::mouseClick(dialog->FindNextButton(), Qt::LeftButton);
    QCOMPARE(f.Focused(), 1);
    QVERIFY(f.db.messages.shown.empty());
}

void TestFindReplace::findNextDoesNotWrapFromMiddle() {
    Fixture f({"ab", "cd", "ef"});
    CDlgFindReplace* dialog = f.Open(cmd::Find, "Název");
    dialog->FindCombo()->setEditText("ab");
    f.view->MainList()->SelectRow(1);
    QTest::mouseClick(dialog->FindNextButton(), Qt::LeftButton);
    QCOMPARE(f.Focused(), -1);
    QVERIFY(!f.view->MainList()->HasSelection());
}

void TestFindReplace::replaceOnNonMatchingRowOnlyMoves() {
    Fixture f({"aa", "bb", "cc"});
    CDlgFindReplace* dialog = f.Open(cmd::Replace, "Název");
    dialog->FindCombo()->setEditText("cc");
    dialog->ReplaceCombo()->setEditText("zz");
    f.view->MainList()->SelectRow(0);
    QTest::mouseClick(dialog->ReplaceButton(), Qt::LeftButton);
    QCOMPARE(f.db.Number("SELECT COUNT(*) FROM Cover WHERE cover_name = 'zz'"), 0LL);
    QCOMPARE(f.Focused(), 2);
    QTest::mouseClick(dialog->ReplaceButton(), Qt::LeftButton);
    QCOMPARE(Names(f.db), std::string("aa,bb,zz"));
    QCOMPARE(f.Model()->Cell(2, 0), QString("zz"));
}

void TestFindReplace::replaceAllPartMatch() {
    Fixture f({"abcab", "xyz", "cab"});
    CDlgFindReplace* dialog = f.Open(cmd::Replace, "Název");
    dialog->FindCombo()->setEditText("ab");
    dialog->ReplaceCombo()->setEditText("x");
    dialog->PartMatchBox()->setChecked(true);
    QTest::mouseClick(dialog->ReplaceAllButton(), Qt::LeftButton);
    QCOMPARE(Names(f.db), std::string("xcx,xyz,cx"));
    QCOMPARE(f.Model()->Cell(0, 0), QString("xcx"));
    QVERIFY(!f.view->MainList()->HasSelection());
}

void TestFindReplace::replaceCodedColumnWritesCode() {
    Fixture f({"a", "b", "c"}); // materials 0, 1, 2
    CDlgFindReplace* dialog = f.Open(cmd::Replace, "Materiál");
    QComboBox* find = dialog->FindCombo();
    QComboBox* replace = dialog->ReplaceCombo();
    find->setCurrentIndex(find->findData(1));
    replace->setCurrentIndex(replace->findData(5));
    QTest::mouseClick(dialog->ReplaceAllButton(), Qt::LeftButton);
    QCOMPARE(f.db.Text("SELECT group_concat(cover_mat, ',') FROM (SELECT cover_mat FROM Cover "
                       "ORDER BY cover_id)"),
             std::string("0,5,2"));
}

void TestFindReplace::requestChecks_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<QString>("message");
    const struct {
        const char *name, *column, *find, *replace, *message;
    } rows[] = {
        {"empty find", "Název", "", "x", "Zadejte hledaný text."},
        {"same value", "Název", "ab", "ab", "Nová hodnota je stejná jako stará hodnota!"},
        {"no column", "", "ab", "x", "Vyberte oblast hledání!"},
        {"coded value typed", "Typ", "nic", "x", "Není vybrána výchozí hodnota!"},
        {"case differs is fine", "Název", "ab", "AB", ""},
    };
    for (const auto& r : rows)
        QTest::newRow(r.name) << QString(r.column) << QString(r.find) << QString(r.replace)
                              << QString(r.message);
}

void TestFindReplace::requestChecks() {
    QFETCH(QString, column);
    QFETCH(QString, find);
    QFETCH(QString, replace);
    QFETCH(QString, message);
    Fixture f({"ab"});
    CDlgFindReplace* dialog = f.Open(cmd::Replace, column);
    if (column.isEmpty())
        dialog->ColumnCombo()->setCurrentIndex(-1);
    if (column == "Typ")
        dialog->FindCombo()->setEditable(true);
    dialog->FindCombo()->setEditText(find);
    dialog->ReplaceCombo()->setEditText(replace);
    QTest::mouseClick(dialog->ReplaceButton(), Qt::LeftButton);
    if (message.isEmpty()) {
        QVERIFY(f.db.messages.shown.empty());
    } else {
        QCOMPARE(f.db.messages.Texts(), std::vector<std::string>{message.toStdString()});
        QCOMPARE(f.db.messages.shown[0].icon, MsgIcon::Exclamation);
        QCOMPARE(f.db.Text("SELECT cover_name FROM Cover"), std::string("ab"));
    }
}

void TestFindReplace::stornoAndEscapeDestroyDialog() {
    Fixture f({"a"});
    CDlgFindReplace* dialog = f.Open(cmd::Find, "Název");
    dialog->PartMatchBox()->setChecked(true);
    QTest::keyClick(dialog, Qt::Key_Escape);
    QTRY_VERIFY(!f.finder.Dialog());
    dialog = f.Open(cmd::Replace, "Název");
    // A new dialog starts with part match off; the tab comes from the command.
    QVERIFY(!dialog->PartMatchBox()->isChecked());
    QCOMPARE(dialog->Tab(), 1);
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->text() == "Storno")
            button->click();
    }
    QTRY_VERIFY(!f.finder.Dialog());
}

QTEST_MAIN(TestFindReplace)
#include "test_findreplace.moc"
