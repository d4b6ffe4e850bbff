// The dispatches view driven through its lists, buttons, dialogs and
// wizards: the rows in the database, the rows the lists show and the
// messages are what the tests look at.
#include "core/data/shared.h"
#include "core/registers/moveregister.h"
#include "ui/dialogs/cdlgfiltermove.h"
#include "ui/dialogs/cdlgmove.h"
#include "ui/framework/ciconbutton.h"
#include "ui/framework/codecombo.h"
#include "ui/framework/commandids.h"
#include "ui/framework/listmodel.h"
#include "ui/framework/recordlist.h"
#include "ui/pages/cpagecover.h"
#include "ui/pages/cpagecovermove.h"
#include "ui/pages/cpageprod.h"
#include "ui/pages/cpageqty.h"
#include "ui/pages/pickerlist.h"
#include "ui/views/cviewmove.h"
#include "uitestsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWizard>

using namespace tarvo;
using namespace tarvo::test;

Q_DECLARE_METATYPE(ViewNotification)

namespace {

OleDate Day(int year, int month, int day, int hour = 0) {
    return OleDate::FromParts(year, month, day, hour);
}

// Two dispatches of one product whose packaging gives one "Krabice" per
// piece and one "Paleta" per ten pieces; the first dispatch has two lines
// (5 and 20 pieces), the second one line (7 pieces).
struct Fixture {
    UiDatabase db;
    MoveRegister reg{db.Store()};
    std::unique_ptr<CViewMove> view;
    RecordId box = db.AddCover("Krabice", 2000);
    RecordId pallet = db.AddCover("Paleta", 150000, 0, 1, 1, 1, 1);
    RecordId product = rows::Product(db.store, {"Jogurt", "J-1"});
    RecordId definition = rows::Definition(db.store, product, Day(2000, 1, 1),
                                           {{box, Q("1"), Q("1"), true, {}, {}, 0, 0, 0},
                                            {pallet, Q("1"), Q("10"), true, {}, {}, 1, 1, 1}});
    RecordId first = AddMove("V-001", Day(2024, 1, 15, 9));
    RecordId second = AddMove("V-002", Day(2024, 2, 1));
    RecordId small = *reg.AddLine(first, product, Quantity::FromUnits(5));
    RecordId large = *reg.AddLine(first, product, Quantity::FromUnits(20));
    RecordId other = *reg.AddLine(second, product, Quantity::FromUnits(7));

    RecordId AddMove(const char* number, OleDate date) {
        return *reg.Add({number, 0, date, false});
    }
    void Open() {
        view = std::make_unique<CViewMove>(db.Context());
        view->resize(1000, 600);
        view->InitialUpdate();
        view->show();
    }
    ListModel* Moves() const { return view->MainList()->Model(); }
    ListModel* Lines() const { return view->LineList()->Model(); }
    ListModel* Covers() const { return view->CoverList()->Model(); }
    void SelectMoves(std::initializer_list<RecordId> ids) {
        std::vector<int> rows;
        for (RecordId id : ids)
            rows.push_back(Moves()->RowOf(id));
        SelectRows(view->MainList(), rows);
    }
    void SelectLine(RecordId id) { view->LineList()->SelectRow(Lines()->RowOf(id)); }
    RecordId Selected(RecordList* list) const {
        const std::vector<int> rows = list->SelectedRows();
        return rows.empty() ? NoRecord : list->Model()->Id(rows.front());
    }
};

// Finishes a wizard after the action has filled its current page.
void OnWizard(std::function<void(QWizard*)> fill) {
    OnNextModal([fill](QWidget* modal) {
        auto* wizard = qobject_cast<QWizard*>(modal);
        QVERIFY(wizard);
        fill(wizard);
        wizard->button(QWizard::FinishButton)->click();
    });
}

void PickRow(PickerList* list, const QString& text) {
    for (int row = 0; row < list->Model()->Count(); ++row) {
        if (list->model()->index(row, 0).data().toString() == text) {
            list->SelectRow(row);
            return;
        }
    }
    QFAIL(qPrintable("no row " + text));
}

} // namespace

class TestViewMove : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseCzechLocale(); }

    void listsShowTheSelectedDispatch();
    void addDispatchForExport();
    void dispatchDialogChecks();
    void editDispatchUpdatesItsRow();
    void deleteDispatches_data();
    void deleteDispatches();
    void addLineDerivesItsCovers();
    void editLineQuantityDerivesCoversAgain();
    void deleteLine();
    void coverLineAddEditDelete();
    void enabling_data();
    void enabling();
    void toggleShowsAllCoversAndMovesThemUp();
    void coverMenuGreying();
    void reselectionAfterReload();
    void reloadWhileHidden_data();
    void reloadWhileHidden();
    void filter();
    void filterRefusesReversedDates();
};

void TestViewMove::listsShowTheSelectedDispatch() {
    Fixture f;
    f.Open();
    QCOMPARE(Column(f.Moves(), 0), QStringList({"V-001", "V-002"}));
    QCOMPARE(f.Selected(f.view->MainList()), f.first);
    QCOMPARE(Column(f.Lines(), 2), QStringList({"5,00", "20,00"}));
    // The first line's covers: 5 boxes of 0,2 kg and no pallet.
    QCOMPARE(Column(f.Covers(), 0), QStringList({"Krabice", "Paleta"}));
    QCOMPARE(Column(f.Covers(), 2), QStringList({"1", "0"}));
    f.SelectMoves({f.second});
    QCOMPARE(Column(f.Lines(), 2), QStringList({"7,00"}));
    QCOMPARE(Column(f.Covers(), 2), QStringList({"1,4", "0"}));
}

void TestViewMove::addDispatchForExport() {
    Fixture f;
    f.Open();
    OnNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<CDlgMove*>(modal);
        QVERIFY(dialog);
        dialog->NumberEdit()->setText("E-1");
        codecombo::Select(dialog->TypeCombo(), 2);
        dialog->DatePicker()->setDate(QDate(2024, 3, 31));
        dialog->ExportBox()->setChecked(true);
        dialog->accept();
    });
    f.view->OnCommand(cmd::Add);
    const int row = f.view->MainList()->SelectedRows().front();
    QCOMPARE(f.Moves()->Cell(row, 0), QString("E-1"));
    QCOMPARE(f.Moves()->Cell(row, 1), QString("31.03.2024"));
    QCOMPARE(f.Moves()->Cell(row, 2), QString("ano"));
    QCOMPARE(f.Lines()->Count(), 0);
}

void TestViewMove::dispatchDialogChecks() {
    UiDatabase db;
    MoveRecord undated;
    undated.date = OleDate();
    CDlgMove dialog(db.Context(), undated);
    // No date at all shows the first day of 1900.
    QCOMPARE(dialog.DatePicker()->date(), QDate(1900, 1, 1));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.accept();
    QVERIFY(dialog.isVisible());
    QCOMPARE(db.messages.Texts(), std::vector<std::string>{"Není vybrán typ výdeje!"});
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.TypeCombo()));
    // The picker changes the day; the time of day stays.
    MoveRecord afternoon;
    afternoon.date = Day(2024, 5, 6, 14);
    CDlgMove picked(db.Context(), afternoon);
    codecombo::Select(picked.TypeCombo(), 0);
    picked.DatePicker()->setDate(QDate(2024, 5, 9));
    picked.accept();
    QCOMPARE(picked.result(), int(QDialog::Accepted));
    QCOMPARE(picked.Record().date, Day(2024, 5, 9, 14));
}

void TestViewMove::editDispatchUpdatesItsRow() {
    Fixture f;
    f.Open();
    // Another dispatch's number is refused and the dialog comes back with
    // what was entered.
    OnNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<CDlgMove*>(modal);
        QVERIFY(dialog);
        QCOMPARE(dialog->NumberEdit()->text(), QString("V-001"));
        dialog->NumberEdit()->setText("v-002");
        OnNextModal([](QWidget* again) {
            auto* retry = qobject_cast<CDlgMove*>(again);
            QCOMPARE(retry->NumberEdit()->text(), QString("v-002"));
            retry->NumberEdit()->setText("V-001a");
            retry->DatePicker()->setDate(QDate(1999, 1, 1));
            retry->accept();
        });
        dialog->accept();
    });
    f.view->OnCommand(cmd::Edit);
    QCOMPARE(f.db.messages.Texts(),
             std::vector<std::string>{"Číslo dokladu „v-002“ již má výdej „V-002“ ze dne "
                                      "01.02.2024. Zadejte jiné číslo dokladu."});
    QCOMPARE(f.Moves()->Cell(f.Moves()->RowOf(f.first), 0), QString("V-001a"));
    QCOMPARE(f.Moves()->Cell(f.Moves()->RowOf(f.first), 1), QString("01.01.1999"));
}

void TestViewMove::deleteDispatches_data() {
    QTest::addColumn<bool>("answer");
    QTest::addColumn<long long>("moves");
    QTest::newRow("yes") << true << 1LL;
    QTest::newRow("no") << false << 3LL;
}

void TestViewMove::deleteDispatches() {
    QFETCH(bool, answer);
    QFETCH(long long, moves);
    Fixture f;
    f.AddMove("V-003", Day(2024, 3, 1));
    f.Open();
    f.SelectMoves({f.first, f.second});
    f.db.messages.yesNoAnswers = {answer};
    f.view->OnCommand(cmd::Delete);
    QCOMPARE(f.db.messages.Texts(),
             std::vector<std::string>{"Opravdu si přejete odstranit vybrané výdeje?"});
    QCOMPARE(f.db.Number("SELECT COUNT(*) FROM Move"), moves);
    QCOMPARE(f.Moves()->Count(), static_cast<int>(moves));
}

void TestViewMove::addLineDerivesItsCovers() {
    Fixture f;
    rows::Product(f.db.store, {"Tvaroh", "T-1"});
    f.Open();
    f.SelectMoves({f.second});
    OnWizard([](QWizard* wizard) {
        auto* products = qobject_cast<CPageProd*>(wizard->currentPage());
        QVERIFY(products);
        PickRow(products->List(), "Jogurt");
        wizard->next();
        auto* quantity = qobject_cast<CPageQty*>(wizard->currentPage());
        QVERIFY(quantity);
        quantity->QuantityEdit()->setText("30");
    });
    f.view->OnCommand(cmd::Add2);
    QCOMPARE(Column(f.Lines(), 2), QStringList({"7,00", "30,00"}));
    QCOMPARE(f.db.Number(Format("SELECT COUNT(*) FROM Move_Cover WHERE mvprod_id = %lld",
                                static_cast<long long>(f.Lines()->Id(1)))),
             2LL);
    // The line selected before stays selected.
    QCOMPARE(f.Selected(f.view->LineList()), f.other);
}

void TestViewMove::editLineQuantityDerivesCoversAgain() {
    Fixture f;
    f.reg.AddCoverLine(f.large, {NoRecord, NoRecord, f.box, Quantity::FromUnits(99), 2, 2, 2});
    f.Open();
    f.SelectLine(f.large);
    QCOMPARE(f.Covers()->Count(), 3);
    OnWizard([](QWizard* wizard) {
        auto* quantity = qobject_cast<CPageQty*>(wizard->currentPage());
        QVERIFY(quantity);
        QCOMPARE(quantity->QuantityEdit()->text(), QString("20"));
        quantity->QuantityEdit()->setText("40");
    });
    f.view->OnCommand(cmd::Edit2);
    // The hand-made cover line went with the old ones.
    QCOMPARE(Column(f.Covers(), 2), QStringList({"8", "60"}));
    QCOMPARE(f.Selected(f.view->LineList()), f.large);
    QCOMPARE(f.Lines()->Cell(f.Lines()->RowOf(f.large), 2), QString("40,00"));
}

void TestViewMove::deleteLine() {
    Fixture f;
    f.Open();
    f.SelectLine(f.large);
    f.db.messages.yesNoAnswers = {true};
    f.view->OnCommand(cmd::Delete2);
    QCOMPARE(f.db.messages.Texts(),
             std::vector<std::string>{"Opravdu si přejete odstranit ze seznamu produkt\n"
                                      "„Jogurt“?"});
    QCOMPARE(f.Lines()->Count(), 1);
    QCOMPARE(f.Selected(f.view->LineList()), f.small);
}

void TestViewMove::coverLineAddEditDelete() {
    Fixture f;
    f.Open();
    f.SelectLine(f.small);
    OnWizard([](QWizard* wizard) {
        auto* covers = qobject_cast<CPageCover*>(wizard->currentPage());
        QVERIFY(covers);
        PickRow(covers->CoverList(), "Paleta");
        wizard->next();
        auto* values = qobject_cast<CPageCoverMove*>(wizard->currentPage());
        QVERIFY(values);
        values->QuantityEdit()->setText("3");
    });
    f.view->OnCommand(cmd::Add3);
    QCOMPARE(Column(f.Covers(), 2), QStringList({"1", "0", "45"}));

    f.view->CoverList()->SelectRow(2);
    OnWizard([](QWizard* wizard) {
        auto* values = qobject_cast<CPageCoverMove*>(wizard->currentPage());
        QVERIFY(values);
        values->QuantityEdit()->setText("2");
    });
    f.view->OnCommand(cmd::Edit3);
    QCOMPARE(f.Covers()->Cell(2, 2), QString("30"));
    QCOMPARE(f.Selected(f.view->CoverList()), f.Covers()->Id(2));

    f.db.messages.yesNoAnswers = {true};
    f.view->OnCommand(cmd::Delete3);
    QCOMPARE(f.db.messages.Texts(),
             std::vector<std::string>{"Opravdu si přejete odstranit ze seznamu obal\n"
                                      "„Paleta“?"});
    QCOMPARE(f.Covers()->Count(), 2);
}

void TestViewMove::enabling_data() {
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("linesShown");
    QTest::addColumn<bool>("lists");       // both dependent lists, cover edit and delete
    QTest::addColumn<bool>("lineButtons"); // product-line buttons and cover add
    QTest::newRow("none, lines shown") << 0 << true << true << true;
    QTest::newRow("one, lines shown") << 1 << true << true << true;
    QTest::newRow("two, lines shown") << 2 << true << false << false;
    QTest::newRow("none, lines hidden") << 0 << false << true << false;
    QTest::newRow("one, lines hidden") << 1 << false << true << false;
    QTest::newRow("two, lines hidden") << 2 << false << false << false;
}

void TestViewMove::enabling() {
    QFETCH(int, selected);
    QFETCH(bool, linesShown);
    QFETCH(bool, lists);
    QFETCH(bool, lineButtons);
    Fixture f;
    f.Open();
    if (!linesShown)
        f.view->ToggleLines();
    if (selected == 0)
        f.SelectMoves({});
    else if (selected == 2)
        f.SelectMoves({f.first, f.second});
    QCOMPARE(f.view->LineList()->isEnabled(), lists);
    QCOMPARE(f.view->CoverList()->isEnabled(), lists);
    QCOMPARE(f.view->PaneButton(2, 1)->isEnabled(), lists);
    QCOMPARE(f.view->PaneButton(2, 2)->isEnabled(), lists);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(f.view->PaneButton(1, i)->isEnabled(), lineButtons);
    QCOMPARE(f.view->PaneButton(2, 0)->isEnabled(), lineButtons);
    QCOMPARE(f.view->IsCommandEnabled(cmd::Add3), lineButtons);
    QCOMPARE(f.view->IsCommandEnabled(cmd::Edit3), lists);
    // With none or several dispatches selected the right pane is empty.
    QCOMPARE(f.Lines()->Count() > 0, selected == 1);
    QCOMPARE(f.Covers()->Count() > 0, selected == 1);
}

void TestViewMove::toggleShowsAllCoversAndMovesThemUp() {
    Fixture f;
    f.Open();
    const int coverButtonsTop = f.view->PaneButton(2, 0)->y();
    QVERIFY(coverButtonsTop >= f.view->height() / 2);
    QVERIFY(f.view->PaneToggle(1)->IsHeldPressed());
    QTest::mouseClick(f.view->PaneToggle(1), Qt::LeftButton);
    QVERIFY(!f.view->LinesShown());
    QVERIFY(!f.view->PaneToggle(1)->IsHeldPressed());
    QVERIFY(!f.view->LineList()->isVisible());
    // The cover lines' row comes right under the product lines' buttons.
    const QWidget* lineButton = f.view->PaneButton(1, 0);
    QVERIFY(f.view->PaneButton(2, 0)->y() < lineButton->y() + 3 * lineButton->height());
    QCOMPARE(f.Covers()->Count(), 4);
    // Every cover of the dispatch, each with the product it left with.
    QVERIFY(!f.view->CoverList()->isColumnHidden(7));
    QCOMPARE(Column(f.Covers(), 7), QStringList(4, "Jogurt"));
    f.db.messages.shown.clear();
    f.view->OnCommand(cmd::Add3);
    QVERIFY(f.db.messages.shown.empty());

    QTest::mouseClick(f.view->PaneToggle(1), Qt::LeftButton);
    QVERIFY(f.view->LineList()->isVisible());
    QCOMPARE(f.view->PaneButton(2, 0)->y(), coverButtonsTop);
    QCOMPARE(f.Covers()->Count(), 2);
    QVERIFY(f.view->CoverList()->isColumnHidden(7));
}

void TestViewMove::coverMenuGreying() {
    Fixture f;
    f.Open();
    QList<bool> enabled;
    auto openMenu = [&] {
        enabled.clear();
        QTimer::singleShot(50, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction* action : menu->actions())
                enabled << action->isEnabled();
            menu->close();
        });
        RecordList* covers = f.view->CoverList();
        const QPoint onRow = covers->visualRect(covers->model()->index(0, 0)).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, onRow,
                                covers->viewport()->mapToGlobal(onRow));
        QApplication::sendEvent(covers->viewport(), &event);
    };
    openMenu();
    QCOMPARE(enabled, QList<bool>({true, true, true}));
    f.view->ToggleLines();
    openMenu();
    QCOMPARE(enabled, QList<bool>({false, true, true}));
}

void TestViewMove::reselectionAfterReload() {
    Fixture f;
    f.Open();
    f.SelectLine(f.large);
    f.view->CoverList()->SelectRow(1);
    const RecordId cover = f.Selected(f.view->CoverList());
    f.view->OnCommand(cmd::Refresh);
    QCOMPARE(f.Selected(f.view->LineList()), f.large);
    QCOMPARE(f.Selected(f.view->CoverList()), cover);
    // A re-sort of the lines keeps the line too.
    f.view->LineList()->ClickSort(2);
    f.view->LineList()->ClickSort(2);
    f.view->OnNotify(ViewNotification::ReloadItems);
    QCOMPARE(f.Selected(f.view->LineList()), f.large);
    // Another dispatch has no such line: its first line is selected.
    f.SelectMoves({f.second});
    QCOMPARE(f.Selected(f.view->LineList()), f.other);
}

void TestViewMove::reloadWhileHidden_data() {
    QTest::addColumn<ViewNotification>("notification");
    QTest::addColumn<int>("moves");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("covers");
    QTest::newRow("main") << ViewNotification::ReloadMain << 3 << 3 << 3;
    QTest::newRow("items") << ViewNotification::ReloadItems << 2 << 3 << 3;
    QTest::newRow("covers") << ViewNotification::ReloadCovers << 2 << 2 << 3;
}

void TestViewMove::reloadWhileHidden() {
    QFETCH(ViewNotification, notification);
    Fixture f;
    f.Open();
    f.view->hide();
    // What an import or a packaging change elsewhere writes meanwhile.
    f.AddMove("V-003", Day(2024, 3, 1));
    f.reg.AddLine(f.first, f.product, Quantity::FromUnits(1));
    f.reg.AddCoverLine(f.small, {NoRecord, NoRecord, f.pallet, Quantity::FromUnits(1), 0, 0, 0});
    f.view->OnNotify(notification);
    QTEST(f.Moves()->Count(), "moves");
    QTEST(f.Lines()->Count(), "lines");
    QTEST(f.Covers()->Count(), "covers");
    QCOMPARE(f.Selected(f.view->MainList()), f.first);
}

void TestViewMove::filter() {
    Fixture f;
    f.AddMove("V-003", Day(2024, 1, 31, 23));
    f.Open();
    OnNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<CDlgFilterMove*>(modal);
        QVERIFY(dialog);
        QVERIFY(!dialog->NumberEdit()->isEnabled());
        QVERIFY(!dialog->FromPicker()->isEnabled());
        QTest::mouseClick(dialog->UseNumberBox(), Qt::LeftButton);
        QTest::mouseClick(dialog->UseDateBox(), Qt::LeftButton);
        QVERIFY(dialog->NumberEdit()->isEnabled());
        QVERIFY(dialog->FromPicker()->isEnabled());
        dialog->NumberEdit()->setText("-00");
        dialog->NumberPartBox()->setChecked(true);
        dialog->FromPicker()->setDate(QDate(2024, 1, 1));
        dialog->ToPicker()->setDate(QDate(2024, 1, 31));
        dialog->accept();
    });
    f.view->OnCommand(cmd::Filter);
    QCOMPARE(Column(f.Moves(), 0), QStringList({"V-001", "V-003"}));
    QVERIFY(f.view->FilterButton()->IsHeldPressed());
}

void TestViewMove::filterRefusesReversedDates() {
    UiDatabase db;
    MoveFilter byDate;
    byDate.useDate = true;
    CDlgFilterMove dialog(db.Context(), byDate);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    const struct {
        QDate from, to;
        bool accepted;
    } cases[] = {{QDate(2024, 2, 1), QDate(2024, 1, 31), false},
                 {QDate(2024, 1, 31), QDate(2024, 1, 31), true}};
    for (const auto& c : cases) {
        db.messages.shown.clear();
        dialog.FromPicker()->setDate(c.from);
        dialog.ToPicker()->setDate(c.to);
        dialog.accept();
        QCOMPARE(dialog.result() == QDialog::Accepted, c.accepted);
        QCOMPARE(db.messages.Texts().size(), c.accepted ? 0u : 1u);
        if (!c.accepted) {
            QCOMPARE(db.messages.Texts().front(),
                     std::string("Datum „Od“ nesmí být větší než datum „do“"));
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.FromPicker()));
        }
    }
}

QTEST_MAIN(TestViewMove)
#include "test_viewmove.moc"
