// The covers view driven through its lists, buttons and dialogs: rows in
// the database and the messages shown are what the tests look at.
#include "core/data/oledate.h"
#include "core/data/shared.h"
#include "ui/dialogs/cdlgcover.h"
#include "ui/dialogs/cdlgfiltercover.h"
#include "ui/framework/ciconbutton.h"
#include "ui/framework/codecombo.h"
#include "ui/framework/commandids.h"
#include "ui/framework/listmodel.h"
#include "ui/framework/recordlist.h"
#include "ui/pages/cpagedisc.h"
#include "ui/views/cviewcover.h"
#include "uitestsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSplitterHandle>
#include <QTest>
#include <QTimer>
#include <QWizard>

using namespace tarvo;
using namespace tarvo::test;

namespace {

class RecordingBroadcast final : public IViewBroadcast {
public:
    void NotifyAllViews(TableView* sender, ViewNotification what) override {
        senders.push_back(sender);
        sent.push_back(what);
    }
    std::vector<TableView*> senders;
    std::vector<ViewNotification> sent;
};

// A covers view as the frame shows it.
struct Fixture {
    UiDatabase db;
    RecordingBroadcast broadcast;
    std::unique_ptr<CViewCover> view;

    void Open() {
        view = std::make_unique<CViewCover>(db.Context());
        view->SetBroadcast(&broadcast);
        view->resize(900, 500);
        view->InitialUpdate();
        view->show();
    }
    ListModel* Covers() const { return view->MainList()->Model(); }
    ListModel* Discards() const { return view->DiscardList()->Model(); }
    QStringList CoverNames() const { return Column(Covers(), 0); }
    void SelectCovers(const std::vector<int>& rows) { SelectRows(view->MainList(), rows); }
};

void PressOk(QWidget* modal) {
    if (auto* wizard = qobject_cast<QWizard*>(modal))
        wizard->button(QWizard::FinishButton)->click();
    else if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->accept();
}

} // namespace

class TestViewCover : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseCzechLocale(); }

    void addCoverStoresRowAndSelectsIt();
    void editCoverWritesDialogValues();
    void editWithoutFocusedRowWarns();
    void editVanishedCoverRemovesRow();
    void editCarriesCodesAsSwitched();
    void deleteAsksAndTheListFollows_data();
    void deleteAsksAndTheListFollows();
    void filterWithDecimalComma();
    void filterOfIncompleteClassification();
    void deletedCoverShownByTheFilterAndRestored();
    void proposeClassificationsOverTheSelection();
    void discardAddedIsListed();
    void discardAt2359KeepsItsDay();
    void discardDeleteAsksWithDate();
    void vanishedDiscardLeavesNoPage();
    void discardsFollowSingleSelection();
    void discardWeightFollowsCoverWeight();
    void headerClickedTwiceFlipsOrder();
    void splitBarCollapsesRightPane();
    void contextMenuGreying();
};

void TestViewCover::addCoverStoresRowAndSelectsIt() {
    Fixture f;
    f.db.AddCover("Bedna", 10000);
    f.Open();
    OnNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<CDlgCover*>(modal);
        QVERIFY(dialog);
        dialog->NameEdit()->setText("Archová lepenka");
        dialog->WeightEdit()->setText("0,125");
        codecombo::Select(dialog->MaterialCombo(), 3);
        codecombo::Select(dialog->TypeCombo(), 1);
        codecombo::Select(dialog->OriginCombo(), 2);
        codecombo::Select(dialog->PaymentCombo(), 1);
        codecombo::Select(dialog->StatCombo(), 0);
        dialog->ReusableBox()->setChecked(true);
        dialog->NoteEdit()->setText("pozn.");
        PressOk(dialog);
    });
    f.view->OnCommand(cmd::Add);

    QVERIFY(f.db.messages.shown.empty());
    QCOMPARE(f.db.Number("SELECT cover_weight FROM Cover WHERE cover_name = 'Archová lepenka'"),
             1250LL);
    QCOMPARE(f.db.Text("SELECT cover_mat || cover_type || cover_org || cover_pay || cover_stat || "
                       "cover_reusable || cover_note || deleted FROM Cover WHERE cover_id = 2"),
             std::string("312101pozn.0"));
    QCOMPARE(f.CoverNames(), QStringList({"Archová lepenka", "Bedna"}));
    QCOMPARE(f.view->MainList()->FocusedRow(), 0);
    QCOMPARE(f.Covers()->Cell(0, 2), QString("0,125"));
    QCOMPARE(f.Covers()->Cell(0, 6), QString("ano"));
}

void TestViewCover::editCoverWritesDialogValues() {
    Fixture f;
    f.db.AddCover("Fólie", 500, 4);
    f.Open();
    OnNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<CDlgCover*>(modal);
        QCOMPARE(dialog->NameEdit()->text(), QString("Fólie"));
        QCOMPARE(dialog->WeightEdit()->text(), QString("0,05"));
        QCOMPARE(codecombo::Selected(dialog->MaterialCombo()), 4);
        dialog->NameEdit()->setText("Fólie PE");
        dialog->WeightEdit()->setText("0,06");
        PressOk(dialog);
    });
    f.view->OnCommand(cmd::Edit);
    QCOMPARE(f.db.Number("SELECT cover_weight FROM Cover"), 600LL);
    // The proposal the section showed ("kovy nad 5l - hliník AL": hliník Al)
    // is stored with the cover.
    QCOMPARE(f.db.Number("SELECT cls_mat FROM Cover_Class"), 21LL);
    QCOMPARE(f.Covers()->Cell(0, 0), QString("Fólie PE"));
    QVERIFY(f.broadcast.sent.empty());
}

void TestViewCover::editWithoutFocusedRowWarns() {
    Fixture f;
    f.Open();
    f.view->OnCommand(cmd::Edit);
    f.view->OnCommand(cmd::Delete);
    f.view->OnCommand(cmd::Add2);
    f.view->OnCommand(cmd::Edit2);
    f.view->OnCommand(cmd::Delete2);
    QCOMPARE(
        f.db.messages.Texts(),
        (std::vector<std::string>{"Není vybrán obal!", "Není vybrán obal!", "Není vybrán obal!",
                                  "Není vybrán vyřazený obal!", "Není vybrán vyřazený obal!"}));
    for (const ShownMessage& m : f.db.messages.shown)
        QCOMPARE(m.icon, MsgIcon::Exclamation);
}

void TestViewCover::editVanishedCoverRemovesRow() {
    Fixture f;
    f.db.AddCover("A", 100);
    f.db.AddCover("B", 100);
    f.Open();
    f.db.Run("DELETE FROM Cover WHERE cover_name = 'A'");
    f.view->OnCommand(cmd::Edit);
    QCOMPARE(f.db.messages.shown.size(), size_t{1});
    QCOMPARE(f.db.messages.shown[0].text, std::string("Záznam byl odstraněn jinou aplikací!"));
    QCOMPARE(f.db.messages.shown[0].icon, MsgIcon::Information);
    QCOMPARE(f.CoverNames(), QStringList({"B"}));
}

// Which tables an edit carries the codes into is the register's rule; here,
// that the view hands it the switches and tells the other views.
void TestViewCover::editCarriesCodesAsSwitched() {
    Fixture f;
    const long long cover = f.db.AddCover("Krabice", 1000, 0, 1, 1, 1);
    rows::PackagingLine(f.db.store, 1, {.cover = cover, .type = 3, .origin = 0, .payment = 0});
    rows::MoveCover(f.db.store, {.move = 1, .cover = cover, .type = 3, .origin = 0, .payment = 0});
    f.db.switches.coverToPackaging = true;
    f.db.switches.coverToDispatches = false;
    f.Open();
    OnNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<CDlgCover*>(modal);
        codecombo::Select(dialog->PaymentCombo(), 2);
        PressOk(dialog);
    });
    f.view->OnCommand(cmd::Edit);
    const char* values = "SELECT cover_type || cover_org || cover_pay FROM ";
    QCOMPARE(f.db.Text(std::string(values) + "Prod_Cover"), std::string("112"));
    QCOMPARE(f.db.Text(std::string(values) + "Move_Cover"), std::string("300"));
    QCOMPARE(f.broadcast.sent, std::vector<ViewNotification>{ViewNotification::ReloadCovers});
    QCOMPARE(f.broadcast.senders.front(), f.view.get());
}

void TestViewCover::deleteAsksAndTheListFollows_data() {
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("yes") << true << QStringList({"B"});
    QTest::newRow("no") << false << QStringList({"A", "B", "C"});
}

void TestViewCover::deleteAsksAndTheListFollows() {
    QFETCH(bool, answer);
    Fixture f;
    for (const char* name : {"A", "B", "C"})
        f.db.AddCover(name, 100);
    f.Open();
    f.SelectCovers({0, 2});
    f.db.messages.yesNoAnswers = {answer};
    f.view->OnCommand(cmd::Delete);
    QCOMPARE(f.db.messages.Texts(),
             std::vector<std::string>{"Opravdu si přejete odstranit vybrané obaly?"});
    QTEST(f.CoverNames(), "listed");
    QCOMPARE(f.db.Number("SELECT COUNT(*) FROM Cover WHERE deleted <> 0"), answer ? 2LL : 0LL);
}

void TestViewCover::filterWithDecimalComma() {
    Fixture f;
    for (long long weight : {4000, 5000, 7500, 10000, 12000})
        f.db.AddCover(std::to_string(weight), weight);
    f.Open();
    QCOMPARE(f.Covers()->Count(), 5);
    OnNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<CDlgFilterCover*>(modal);
        QTest::mouseClick(dialog->UseWeightBox(), Qt::LeftButton);
        dialog->WeightFromEdit()->setText("0,5");
        dialog->WeightToEdit()->setText("1");
        PressOk(dialog);
    });
    f.view->OnCommand(cmd::Filter);
    QVERIFY(f.db.messages.shown.empty());
    QCOMPARE(f.CoverNames(), QStringList({"10000", "5000", "7500"}));
    QVERIFY(f.view->FilterButton()->IsHeldPressed());
    QVERIFY(f.view->Filter().IsActive());
    // Storno keeps the filter and the list.
    OnNextModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    f.view->OnCommand(cmd::Filter);
    QCOMPARE(f.CoverNames(), QStringList({"10000", "5000", "7500"}));
    QVERIFY(f.view->FilterButton()->IsHeldPressed());
}

void TestViewCover::filterOfIncompleteClassification() {
    Fixture f;
    f.db.AddCover("Krabice", 5000);
    f.db.AddCover("Paleta", 5000);
    f.db.Run("INSERT INTO Cover_Class (cover_id, cls_beverage, cls_mat, cls_recycled, cls_litter) "
             "SELECT cover_id, 0, 35, 0, 0 FROM Cover WHERE cover_name = 'Paleta'");
    f.Open();
    QCOMPARE(Column(f.Covers(), 7), QStringList({"neúplné", "dřevo a dřevotříska"}));
    OnNextModal([](QWidget* modal) {
        QTest::mouseClick(qobject_cast<CDlgFilterCover*>(modal)->IncompleteBox(), Qt::LeftButton);
        PressOk(modal);
    });
    f.view->OnCommand(cmd::Filter);
    QCOMPARE(f.CoverNames(), QStringList({"Krabice"}));
    QVERIFY(f.view->Filter().onlyIncomplete);
}

void TestViewCover::deletedCoverShownByTheFilterAndRestored() {
    Fixture f;
    f.db.AddCover("A", 100);
    f.db.AddCover("B", 100);
    f.db.Run("UPDATE Cover SET deleted = 1 WHERE cover_name = 'A'");
    f.Open();
    QCOMPARE(f.CoverNames(), QStringList({"B"}));
    OnNextModal([](QWidget* modal) {
        qobject_cast<CDlgFilterCover*>(modal)->WithDeletedBox()->click();
        PressOk(modal);
    });
    f.view->OnCommand(cmd::Filter);
    QCOMPARE(f.CoverNames(), QStringList({"A (odstraněný)", "B"}));
    f.SelectCovers({0});
    f.view->OnCommand(cmd::Undelete);
    QCOMPARE(f.CoverNames(), QStringList({"A", "B"}));
    QCOMPARE(f.db.Number("SELECT COUNT(*) FROM Cover WHERE deleted <> 0"), 0LL);
}

void TestViewCover::proposeClassificationsOverTheSelection() {
    Fixture f;
    f.db.AddCover("Krabice", 5000, 7); // "papír": proposed completely
    f.db.AddCover("Lahev", 5000, 9);   // "PE - pevné duté": the colour class left
    f.db.AddCover("Paleta", 5000, 0);  // not selected
    f.Open();
    f.SelectCovers({0, 1});
    f.view->OnCommand(cmd::ProposeClassifications);
    QCOMPARE(f.db.messages.shown.size(), size_t{1});
    QCOMPARE(f.db.messages.shown[0].icon, MsgIcon::Information);
    QVERIFY(f.db.messages.shown[0].text.starts_with("Návrh zařazení pro výkaz 2021"));
    QCOMPARE(Column(f.Covers(), 7), QStringList({"papír", "neúplné", "neúplné"}));
    QCOMPARE(f.db.Number("SELECT COUNT(*) FROM Cover_Class"), 2LL);
}

void TestViewCover::discardAddedIsListed() {
    Fixture f;
    const long long cover = f.db.AddCover("Krabice", 2500);
    f.Open();
    OnNextModal([](QWidget* modal) {
        auto* wizard = qobject_cast<QWizard*>(modal);
        auto* page = qobject_cast<CPageDisc*>(wizard->currentPage());
        page->DateEdit()->setDate(QDate(2024, 3, 15));
        page->QuantityEdit()->setText("4");
        page->KindButton(1)->setChecked(true);
        PressOk(wizard);
    });
    f.view->OnCommand(cmd::Add2);
    QVERIFY(f.db.messages.shown.empty());
    QCOMPARE(f.db.Number(Format("SELECT COUNT(*) FROM CoverDiscard WHERE cover_id = %lld", cover)),
             1LL);
    QCOMPARE(f.Discards()->Count(), 1);
    QCOMPARE(f.Discards()->Cell(0, 0), QString("15.03.2024"));
    QCOMPARE(f.Discards()->Cell(0, 1), QString("odstraněno"));
    QCOMPARE(f.Discards()->Cell(0, 2), QString("1"));
}

void TestViewCover::discardAt2359KeepsItsDay() {
    Fixture f;
    const long long cover = f.db.AddCover("Krabice", 2500);
    const OleDate lateEvening = OleDate::FromParts(2024, 3, 15, 23, 59, 0);
    // With its time, as an older database may hold it: the program stores the
    // day alone.
    f.db.Run(Format("INSERT INTO CoverDiscard (cover_id, disc_date, disc_type, disc_qty) "
                    "VALUES (%lld, %.10f, 2, 10000)",
                    cover, lateEvening.Value()));
    f.Open();
    QCOMPARE(f.Discards()->Cell(0, 0), QString("15.03.2024"));
    OnNextModal([](QWidget* modal) {
        auto* wizard = qobject_cast<QWizard*>(modal);
        auto* page = qobject_cast<CPageDisc*>(wizard->currentPage());
        QCOMPARE(page->DateEdit()->date(), QDate(2024, 3, 15));
        page->QuantityEdit()->setText("2");
        PressOk(wizard);
    });
    f.view->OnCommand(cmd::Edit2);
    QCOMPARE(f.Discards()->Cell(0, 0), QString("15.03.2024"));
    QCOMPARE(f.Discards()->Cell(0, 2), QString("0,5"));
}

void TestViewCover::discardDeleteAsksWithDate() {
    Fixture f;
    const long long cover = f.db.AddCover("Krabice", 2500);
    rows::Discard(f.db.store, {cover, OleDate::FromParts(2023, 1, 2), 2, Q("1")});
    f.Open();
    f.db.messages.yesNoAnswers = {true};
    f.view->OnCommand(cmd::Delete2);
    QCOMPARE(f.db.messages.shown.back().text,
             std::string("Opravdu si přejete odstranit ze seznamu obal vyřazený „02.01.2023“?"));
    QCOMPARE(f.db.Number("SELECT COUNT(*) FROM CoverDiscard"), 0LL);
    QCOMPARE(f.Discards()->Count(), 0);
}

void TestViewCover::vanishedDiscardLeavesNoPage() {
    Fixture f;
    const long long cover = f.db.AddCover("Krabice", 2500);
    rows::Discard(f.db.store, {cover, OleDate::FromValue(45000), 2, Q("1")});
    f.Open();
    f.db.Run("DELETE FROM CoverDiscard");
    f.view->OnCommand(cmd::Edit2);
    QCOMPARE(f.db.messages.Texts(),
             std::vector<std::string>{"Záznam byl odstraněn jinou aplikací!"});
    QCOMPARE(f.Discards()->Count(), 0);
    // No discard page was made for the record that is gone.
    for (QWidget* widget : QApplication::allWidgets())
        QVERIFY(!qobject_cast<CPageDisc*>(widget));
}

void TestViewCover::discardsFollowSingleSelection() {
    Fixture f;
    const long long a = f.db.AddCover("A", 100);
    const long long b = f.db.AddCover("B", 100);
    for (long long id : {a, b, b})
        rows::Discard(f.db.store, {id, OleDate::FromValue(45000), 0, Q("1")});
    f.Open();
    QCOMPARE(f.Discards()->Count(), 1);
    f.SelectCovers({0, 1});
    QVERIFY(!f.view->DiscardList()->isEnabled());
    QVERIFY(!f.view->PaneButton(1, 0)->isEnabled());
    QCOMPARE(f.Discards()->Count(), 0);
    f.SelectCovers({1});
    QVERIFY(f.view->DiscardList()->isEnabled());
    QVERIFY(f.view->PaneButton(1, 0)->isEnabled());
    QCOMPARE(f.Discards()->Count(), 2);
}

void TestViewCover::discardWeightFollowsCoverWeight() {
    Fixture f;
    const long long cover = f.db.AddCover("A", 2500);
    rows::Discard(f.db.store, {cover, OleDate::FromValue(45000), 0, Q("4")});
    f.Open();
    QCOMPARE(f.Discards()->Cell(0, 2), QString("1"));
    OnNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<CDlgCover*>(modal);
        codecombo::Select(dialog->TypeCombo(), 0);
        codecombo::Select(dialog->OriginCombo(), 0);
        codecombo::Select(dialog->PaymentCombo(), 0);
        codecombo::Select(dialog->StatCombo(), 0);
        dialog->WeightEdit()->setText("0,5");
        PressOk(dialog);
    });
    f.view->OnCommand(cmd::Edit);
    QCOMPARE(f.Discards()->Cell(0, 2), QString("2"));
}

void TestViewCover::headerClickedTwiceFlipsOrder() {
    Fixture f;
    f.db.AddCover("Bedna", 30000, 1);
    f.db.AddCover("Archy", 10000, 2);
    f.db.AddCover("Čep", 20000, 0);
    f.Open();
    QCOMPARE(f.CoverNames(), QStringList({"Archy", "Bedna", "Čep"}));
    QHeaderView* header = f.view->MainList()->horizontalHeader();
    auto clickHeader = [&](int column) {
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
    };
    clickHeader(2); // weight
    QCOMPARE(f.CoverNames(), QStringList({"Archy", "Čep", "Bedna"}));
    QCOMPARE(header->sortIndicatorSection(), 2);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    clickHeader(2);
    QCOMPARE(f.CoverNames(), QStringList({"Bedna", "Čep", "Archy"}));
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
}

void TestViewCover::splitBarCollapsesRightPane() {
    Fixture f;
    f.Open();
    QSplitterHandle* bar = f.view->SplitBar();
    const int width = f.view->width();
    auto drag = [&](int toX) {
        const QPointF start(2, 10);
        QMouseEvent press(QEvent::MouseButtonPress, start, bar->mapToGlobal(start), Qt::LeftButton,
                          Qt::LeftButton, {});
        QApplication::sendEvent(bar, &press);
        const QPointF end(start.x() + toX - bar->x(), 10);
        QMouseEvent move(QEvent::MouseMove, end, bar->mapToGlobal(end), Qt::NoButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(bar, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, end, bar->mapToGlobal(end), Qt::LeftButton,
                            Qt::NoButton, {});
        QApplication::sendEvent(bar, &release);
    };
    QVERIFY(f.view->DiscardList()->isVisible());
    drag(width - 100);
    QVERIFY(f.view->IsRightPaneCollapsed());
    QCOMPARE(bar->x(), width - 7);
    QVERIFY(!f.view->DiscardList()->isVisible());
    QVERIFY(f.view->MainList()->isVisible());
    drag(width / 2);
    QVERIFY(!f.view->IsRightPaneCollapsed());
    QVERIFY(f.view->DiscardList()->isVisible());
    QCOMPARE(bar->x(), width / 2);
    drag(60);
    QVERIFY(f.view->IsLeftPaneCollapsed());
    QCOMPARE(bar->x(), 2);
    QVERIFY(!f.view->MainList()->isVisible());
    QVERIFY(f.view->DiscardList()->isVisible());
}

void TestViewCover::contextMenuGreying() {
    Fixture f;
    f.db.AddCover("A", 100);
    f.Open();
    // Right click on empty space under the rows: edit and delete greyed.
    QMenu* shown = nullptr;
    QList<bool> enabled;
    auto capture = [&] {
        QTimer::singleShot(50, [&] {
            shown = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!shown)
                return;
            for (QAction* action : shown->actions()) {
                if (!action->isSeparator())
                    enabled << action->isEnabled();
            }
            shown->close();
        });
    };
    capture();
    RecordList* list = f.view->MainList();
    QContextMenuEvent empty(
        QContextMenuEvent::Mouse, QPoint(5, list->viewport()->height() - 5),
        list->viewport()->mapToGlobal(QPoint(5, list->viewport()->height() - 5)));
    QApplication::sendEvent(list->viewport(), &empty);
    QVERIFY(shown);
    QCOMPARE(enabled, QList<bool>({true, false, false, false, true, true, true}));
    // In the discards pane: add available while a cover is selected.
    shown = nullptr;
    enabled.clear();
    capture();
    RecordList* discards = f.view->DiscardList();
    QContextMenuEvent onPane(QContextMenuEvent::Mouse, QPoint(5, 40),
                             discards->viewport()->mapToGlobal(QPoint(5, 40)));
    QApplication::sendEvent(discards->viewport(), &onPane);
    QVERIFY(shown);
    QCOMPARE(enabled, QList<bool>({true, false, false}));
}

QTEST_MAIN(TestViewCover)
#include "test_viewcover.moc"
