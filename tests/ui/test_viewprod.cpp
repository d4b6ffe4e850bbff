// The products view and its dialogs driven through lists, buttons, dialogs and
// wizards: rows in the database, the lists and the messages shown are what
// the tests look at. The rules behind (same-day check, re-derivation) are
// tested in the core; here, that the view calls them and follows them.
#include "core/data/oledate.h"
#include "core/data/shared.h"
#include "ui/dialogs/cdlgfilterprod.h"
#include "ui/dialogs/cdlgprod.h"
#include "ui/dialogs/cdlgvalidfrom.h"
#include "ui/framework/ciconbutton.h"
#include "ui/framework/commandids.h"
#include "ui/framework/listmodel.h"
#include "ui/framework/recordlist.h"
#include "ui/pages/cpagecover.h"
#include "ui/pages/cpagecoverprod.h"
#include "ui/pages/cpagedaterange.h"
#include "ui/pages/pickerlist.h"
#include "ui/views/cviewprod.h"
#include "uitestsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QWizard>

using namespace tarvo;
using namespace tarvo::test;

namespace {

// What the view tells the other views goes to the recording notifier of the
// database, where the tests read it.
class ForwardingBroadcast final : public IViewBroadcast {
public:
    explicit ForwardingBroadcast(IViewNotifier& notifier) : m_notifier(notifier) {}
    void NotifyAllViews(TableView*, ViewNotification what) override {
        m_notifier.NotifyAllViews(what);
    }

private:
    IViewNotifier& m_notifier;
};

QString Date(int day, int month, int year) {
    return QString::fromStdString(OleDate::FromParts(year, month, day).ToText());
}

// A products view as the frame shows it, on a database with a cover "Krabice"
// (1 kg, type 1, origin 2, payment 0) and a composite cover of two items.
struct Fixture {
    UiDatabase db;
    ForwardingBroadcast broadcast{db.notifier};
    std::unique_ptr<CViewProd> view;
    long long box = db.AddCover("Krabice", 10000, 0, 1, 2, 0);
    long long foil = db.AddCover("Fólie", 2500, 4, 0, 0, 1);

    long long AddDefinition(long long prod, int day, int month, int year) {
        return rows::Definition(db.store, prod, OleDate::FromParts(year, month, day));
    }
    long long AddLine(long long dt, long long cover, bool always = true) {
        return rows::PackagingLine(db.store, dt,
                                   {cover, Q("2"), Q("10"), always, Q("1"), Q("5"), 1, 1, 1});
    }
    // A dispatch of the product on a day, with a hand-made cover line that
    // only a re-derivation replaces.
    void AddDispatch(long long prod, int day, int month, int year) {
        const RecordId move =
            rows::Move(db.store, {"V", 0, OleDate::FromParts(year, month, day, 12)});
        const RecordId line = rows::MoveLine(db.store, move, prod, Q("50"));
        rows::MoveCover(db.store, {move, line, foil, Q("99"), 0, 0, 0});
    }

    void Open() {
        view = std::make_unique<CViewProd>(db.Context());
        view->SetBroadcast(&broadcast);
        view->resize(1000, 600);
        view->InitialUpdate();
        view->show();
    }
    ListModel* Products() const { return view->MainList()->Model(); }
    ListModel* Dates() const { return view->DateList()->Model(); }
    ListModel* Lines() const { return view->LineList()->Model(); }
    static QStringList Row(ListModel* model, int row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells << model->Cell(row, column);
        return cells;
    }
    void SelectProducts(const std::vector<int>& rows) { SelectRows(view->MainList(), rows); }
    QStringList Texts() const {
        QStringList texts;
        for (const ShownMessage& m : db.messages.shown)
            texts << QString::fromStdString(m.text);
        return texts;
    }
};

// Picks the cover of a row on the picker page (tab 0 simple, 1 composite)
// and goes on: Next to the line page, or Finish for a composite cover.
void PickCover(QWizard* wizard, int tab, int row) {
    auto* page = qobject_cast<CPageCover*>(wizard->currentPage());
    QVERIFY(page);
    page->Tabs()->setCurrentIndex(tab);
    PickerList* list = tab == 0 ? page->CoverList() : page->CompCoverList();
    list->SelectRow(row);
    wizard->button(tab == 0 ? QWizard::NextButton : QWizard::FinishButton)->click();
}

} // namespace

class TestViewProd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseCzechLocale(); }

    void listsShowTheSelectedProductsPackaging();
    void severalProductsDisableTheRightPane();
    void productAddEditDelete();
    void productDialogTrimsAndRequiresNameOrCatalogue_data();
    void productDialogTrimsAndRequiresNameOrCatalogue();
    void definitionAddEditDelete();
    void lineAddEditDelete();
    void compositeCoverAddsOneLinePerItem();
    void changesAreCarriedIntoDispatches();
    void filterDialogOrderAndCriterion();
    void filterSelectsProducts();
    void bulkAssignmentToSelectedProducts();
    void reloadFromOtherViews();
};

void TestViewProd::listsShowTheSelectedProductsPackaging() {
    Fixture f;
    const long long chair = rows::Product(f.db.store, {"Židle", "K", "ks"});
    rows::Product(f.db.store, {"Stůl", "K", "ks"});
    f.AddDefinition(chair, 1, 7, 2024);
    const long long january = f.AddDefinition(chair, 1, 1, 2024);
    f.AddLine(january, f.box);
    const long long july = f.db.Number("SELECT MIN(dt_id) FROM Prod_CoverDT");
    f.AddLine(july, f.foil, false);
    f.AddLine(july, f.box);
    f.Open();

    QCOMPARE(Column(f.Products(), 1), QStringList({"Stůl", "Židle"}));
    f.SelectProducts({1});
    QCOMPARE(Column(f.Dates(), 0), QStringList({Date(1, 1, 2024), Date(1, 7, 2024)}));
    QCOMPARE(f.view->DateList()->SelectedRows(), std::vector<int>{1});
    QCOMPARE(Column(f.Lines(), 0), QStringList({"Fólie", "Krabice"}));
    QCOMPARE(f.view->LineList()->SelectedRows(), std::vector<int>{0});
    // The older definition shows its own line.
    f.view->DateList()->SelectRow(0);
    QCOMPARE(Column(f.Lines(), 0), QStringList({"Krabice"}));
}

void TestViewProd::severalProductsDisableTheRightPane() {
    Fixture f;
    const long long a = rows::Product(f.db.store, {"A", "K", "ks"});
    rows::Product(f.db.store, {"B", "K", "ks"});
    f.AddDefinition(a, 1, 1, 2024);
    f.Open();
    f.SelectProducts({0});
    QCOMPARE(f.Dates()->Count(), 1);
    f.SelectProducts({0, 1});
    QVERIFY(!f.view->DateList()->isEnabled());
    QVERIFY(!f.view->LineList()->isEnabled());
    for (int button = 0; button < 3; ++button) {
        QVERIFY(!f.view->PaneButton(1, button)->isEnabled());
        QVERIFY(!f.view->PaneButton(2, button)->isEnabled());
    }
    QVERIFY(!f.view->IsCommandEnabled(cmd::Add2));
    // A command that arrives anyway does nothing.
    f.view->OnCommand(cmd::Add2);
    QVERIFY(f.db.messages.shown.empty());
    QCOMPARE(f.db.Number("SELECT COUNT(*) FROM Prod_CoverDT"), 1LL);
    // A click on one of the selected products leaves it alone selected.
    RecordList* list = f.view->MainList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(f.Products()->index(0, 1)).center());
    QCOMPARE(list->SelectedCount(), 1);
    QVERIFY(f.view->DateList()->isEnabled());
    QVERIFY(f.view->PaneButton(2, 0)->isEnabled());
    QCOMPARE(f.Dates()->Count(), 1);
}

void TestViewProd::productAddEditDelete() {
    Fixture f;
    rows::Product(f.db.store, {"Bedna", "K", "ks"});
    f.Open();
    OnNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<CDlgProd*>(modal);
        QVERIFY(dialog);
        dialog->NameEdit()->setText("Archy");
        dialog->KatalogEdit()->setText("A-1");
        dialog->UnitEdit()->setText("bal");
        dialog->accept();
    });
    f.view->OnCommand(cmd::Add);
    QCOMPARE(Column(f.Products(), 1), QStringList({"Archy", "Bedna"}));
    QCOMPARE(f.view->MainList()->SelectedRows(), std::vector<int>{0});

    OnNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<CDlgProd*>(modal);
        QVERIFY(dialog);
        QCOMPARE(dialog->NameEdit()->text(), QString("Archy"));
        dialog->NameEdit()->setText("Cihly");
        dialog->accept();
    });
    f.view->OnCommand(cmd::Edit);
    QCOMPARE(Column(f.Products(), 1), QStringList({"Bedna", "Cihly"}));

    f.SelectProducts({0, 1});
    f.db.messages.yesNoAnswers.push_back(true);
    f.view->OnCommand(cmd::Delete);
    QCOMPARE(f.Products()->Count(), 0);
    QCOMPARE(f.Texts(), QStringList({"Opravdu si přejete odstranit vybrané produkty?"}));

    // Nothing to edit, and a product another program removed.
    f.view->OnCommand(cmd::Edit);
    QCOMPARE(f.Texts().last(), QString("Není vybrán produkt!"));
    rows::Product(f.db.store, {"Dveře", "K", "ks"});
    f.view->OnCommand(cmd::Refresh);
    f.db.Run("DELETE FROM Product WHERE prod_name = 'Dveře'");
    f.view->OnCommand(cmd::Edit);
    QCOMPARE(f.Texts().last(), QString("Záznam byl odstraněn jinou aplikací!"));
    QCOMPARE(f.Products()->Count(), 0);
}

void TestViewProd::productDialogTrimsAndRequiresNameOrCatalogue_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("katalog");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("storedName");
    QTest::addColumn<QString>("storedKatalog");
    QTest::newRow("name only") << "Krabice  "
                               << "" << true << "Krabice"
                               << "";
    QTest::newRow("catalogue only") << ""
                                    << "K-7 " << true << ""
                                    << "K-7";
    QTest::newRow("blanks alone") << "   "
                                  << "  " << false << ""
                                  << "";
    QTest::newRow("leading blanks stay") << "  A"
                                         << "" << true << "  A"
                                         << "";
}

void TestViewProd::productDialogTrimsAndRequiresNameOrCatalogue() {
    QFETCH(QString, name);
    QFETCH(QString, katalog);
    QFETCH(bool, accepted);
    QFETCH(QString, storedName);
    QFETCH(QString, storedKatalog);
    UiDatabase db;
    CDlgProd dialog(db.Context());
    QCOMPARE(dialog.NameEdit()->maxLength(), 50);
    QCOMPARE(dialog.KatalogEdit()->maxLength(), 20);
    QCOMPARE(dialog.UnitEdit()->maxLength(), 10);
    dialog.show();
    dialog.NameEdit()->setText(name);
    dialog.KatalogEdit()->setText(katalog);
    dialog.UnitEdit()->setText("ks ");
    dialog.accept();
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    if (accepted) {
        QCOMPARE(QString::fromStdString(dialog.Record().name), storedName);
        QCOMPARE(QString::fromStdString(dialog.Record().katalog), storedKatalog);
        QCOMPARE(dialog.Record().unit, std::string("ks ")); // the unit is not trimmed
        QVERIFY(db.messages.shown.empty());
    } else {
        QCOMPARE(db.messages.shown, std::vector<ShownMessage>({{"Musíte zadat jméno nebo katalog!",
                                                                MsgIcon::Exclamation}}));
        QVERIFY(dialog.isVisible());
    }
}

void TestViewProd::definitionAddEditDelete() {
    Fixture f;
    const long long prod = rows::Product(f.db.store, {"Židle", "K", "ks"});
    const long long dt = f.AddDefinition(prod, 1, 3, 2024);
    f.AddLine(dt, f.box);
    f.Open();
    f.SelectProducts({0});

    // A later day: it becomes the last row and is selected, with the covers
    // of the day before (asked by default); the choice is remembered.
    const auto addOn = [&](int day, bool offered, bool copy) {
        OnNextModal([=](QWidget* modal) {
            auto* dialog = qobject_cast<CDlgValidFrom*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->CopyBox()->isChecked(), offered);
            dialog->DatePicker()->setDate(QDate(2024, 3, day));
            dialog->CopyBox()->setChecked(copy);
            dialog->accept();
        });
        f.view->OnCommand(cmd::Add2);
    };
    addOn(5, true, true);
    QCOMPARE(Column(f.Dates(), 0), QStringList({Date(1, 3, 2024), Date(5, 3, 2024)}));
    QCOMPARE(f.view->DateList()->SelectedRows(), std::vector<int>{1});
    QCOMPARE(Column(f.Lines(), 0), QStringList({"Krabice"}));

    // The first date moved after the second: the list reorders.
    f.view->DateList()->SelectRow(0);
    OnNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<CDlgValidFrom*>(modal);
        QCOMPARE(dialog->DatePicker()->date(), QDate(2024, 3, 1));
        QVERIFY(!dialog->CopyBox()); // a date being changed takes nothing
        dialog->DatePicker()->setDate(QDate(2024, 3, 9));
        dialog->accept();
    });
    f.view->OnCommand(cmd::Edit2);
    QCOMPARE(Column(f.Dates(), 0), QStringList({Date(5, 3, 2024), Date(9, 3, 2024)}));
    QCOMPARE(Column(f.Lines(), 0), QStringList({"Krabice"}));

    f.db.messages.yesNoAnswers.push_back(true);
    f.view->OnCommand(cmd::Delete2);
    QCOMPARE(f.Texts().last(),
             QString("Opravdu si přejete odstranit ze seznamu platnost\n„09.03.2024“?"));
    QCOMPARE(Column(f.Dates(), 0), QStringList({Date(5, 3, 2024)}));
    QCOMPARE(Column(f.Lines(), 0), QStringList({"Krabice"}));

    addOn(7, true, false);
    QCOMPARE(f.Lines()->Count(), 0);
    addOn(8, false, false);
}

void TestViewProd::lineAddEditDelete() {
    Fixture f;
    const long long prod = rows::Product(f.db.store, {"Židle", "K", "ks"});
    f.AddDefinition(prod, 1, 3, 2024);
    f.Open();
    f.SelectProducts({0});

    // Cover "Krabice" (the second by name), three per ten products.
    OnNextModal([](QWidget* modal) {
        auto* wizard = qobject_cast<QWizard*>(modal);
        QVERIFY(wizard);
        PickCover(wizard, 0, 1);
        auto* page = qobject_cast<CPageCoverProd*>(wizard->currentPage());
        QVERIFY(page);
        page->QuantityEdit()->setText("3");
        page->ProductsEdit()->setText("10");
        wizard->button(QWizard::FinishButton)->click();
    });
    f.view->OnCommand(cmd::Add3);
    QCOMPARE(f.Row(f.Lines(), 0).mid(0, 5), QStringList({"Krabice", "3,00", "3", "10,00", "-"}));

    // The one-page wizard shows the line; a band from 1 to 5 products.
    OnNextModal([](QWidget* modal) {
        auto* wizard = qobject_cast<QWizard*>(modal);
        QVERIFY(wizard);
        auto* page = qobject_cast<CPageCoverProd*>(wizard->currentPage());
        QVERIFY(page);
        QCOMPARE(page->QuantityEdit()->text(), QString("3"));
        page->BandButton(1)->click();
        page->FromEdit()->setText("1");
        page->ToEdit()->setText("5");
        wizard->button(QWizard::FinishButton)->click();
    });
    f.view->OnCommand(cmd::Edit3);
    QCOMPARE(f.Row(f.Lines(), 0).mid(4, 2), QStringList({"1,00", "5,00"}));

    f.db.messages.yesNoAnswers.push_back(true);
    f.view->OnCommand(cmd::Delete3);
    QCOMPARE(f.Texts().last(), QString("Opravdu si přejete odstranit ze seznamu obal\n„Krabice“?"));
    QCOMPARE(f.Lines()->Count(), 0);
    f.view->OnCommand(cmd::Edit3);
    QCOMPARE(f.Texts().last(), QString("Není vybrán obal!"));
}

void TestViewProd::compositeCoverAddsOneLinePerItem() {
    Fixture f;
    const long long prod = rows::Product(f.db.store, {"Židle", "K", "ks"});
    f.AddDefinition(prod, 1, 3, 2024);
    const RecordId set = rows::CompCover(f.db.store, {"Sada", ""});
    rows::CompCoverItem(f.db.store, set, {.cover = f.box});
    rows::CompCoverItem(f.db.store, set, {.cover = f.foil});
    f.Open();
    f.SelectProducts({0});
    OnNextModal([](QWidget* modal) { PickCover(qobject_cast<QWizard*>(modal), 1, 0); });
    f.view->OnCommand(cmd::Add3);
    QCOMPARE(Column(f.Lines(), 0), QStringList({"Fólie", "Krabice"}));
    QCOMPARE(f.db.Number("SELECT COUNT(*) FROM Prod_Cover"), 2LL);
}

void TestViewProd::changesAreCarriedIntoDispatches() {
    Fixture f;
    f.db.switches.packagingToDispatches = true;
    const long long prod = rows::Product(f.db.store, {"Židle", "K", "ks"});
    const long long dt = f.AddDefinition(prod, 1, 3, 2024);
    f.AddLine(dt, f.box);
    f.AddDispatch(prod, 10, 3, 2024);
    f.Open();
    f.SelectProducts({0});
    f.db.messages.yesNoAnswers.push_back(true);
    f.view->OnCommand(cmd::Delete3);
    // The dispatch lost its covers with the line.
    QCOMPARE(f.db.Number("SELECT COUNT(*) FROM Move_Cover"), 0LL);
    QCOMPARE(f.db.notifier.sent.size(), 1u);
}

void TestViewProd::filterDialogOrderAndCriterion() {
    UiDatabase db;
    ProdFilter filter;
    filter.packaging = ProdFilter::WithoutPackaging;
    CDlgFilterProd dialog(db.Context(), filter);
    QComboBox* combo = dialog.PackagingCombo();
    QCOMPARE(combo->count(), 3);
    const QStringList texts = {"všechny produkty", "jen produkty s definovanými obaly",
                               "jen produkty bez obalů"};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(combo->itemText(i), texts[i]);
        QCOMPARE(combo->itemData(i).toInt(), QList<int>({0, 2, 1})[i]);
    }
    QCOMPARE(combo->currentIndex(), 2);
    // Each criterion's fields follow its check box.
    QVERIFY(!dialog.NameEdit()->isEnabled());
    dialog.UseNameBox()->click();
    QVERIFY(dialog.NameEdit()->isEnabled());
    QVERIFY(dialog.NamePartBox()->isEnabled());
    QVERIFY(!dialog.UnitEdit()->isEnabled());
    combo->setCurrentIndex(-1);
    dialog.accept();
    QCOMPARE(db.messages.shown,
             std::vector<ShownMessage>({{"Není vybráno kriterium balení!", MsgIcon::Exclamation}}));
    QVERIFY(dialog.result() != QDialog::Accepted);
}

void TestViewProd::filterSelectsProducts() {
    Fixture f;
    rows::Product(f.db.store, {"Kůň", "K", "ks"});
    f.AddLine(f.AddDefinition(rows::Product(f.db.store, {"koňak", "K", "ks"}), 1, 1, 2024), f.box);
    rows::Product(f.db.store, {"Žlutý kůň", "K", "ks"});
    f.Open();
    OnNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<CDlgFilterProd*>(modal);
        QVERIFY(dialog);
        dialog->UseNameBox()->click();
        dialog->NameEdit()->setText("kůň");
        dialog->NamePartBox()->setChecked(true);
        dialog->PackagingCombo()->setCurrentIndex(2); // without packaging
        dialog->accept();
    });
    f.view->OnCommand(cmd::Filter);
    const QStringList listed = {"Kůň", "Žlutý kůň"};
    QCOMPARE(Column(f.Products(), 1), listed);
    QVERIFY(f.view->FilterButton()->IsHeldPressed());
    // Cancel keeps the filter and the list.
    OnNextModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    f.view->OnCommand(cmd::Filter);
    QCOMPARE(Column(f.Products(), 1), listed);
    QVERIFY(f.view->FilterButton()->IsHeldPressed());
}

void TestViewProd::bulkAssignmentToSelectedProducts() {
    Fixture f;
    f.db.switches.packagingToDispatches = false;
    const long long a = rows::Product(f.db.store, {"A", "K", "ks"});
    const long long b = rows::Product(f.db.store, {"B", "K", "ks"});
    rows::Product(f.db.store, {"C", "K", "ks"});
    const long long existing = f.AddDefinition(b, 2, 4, 2024);
    f.AddLine(existing, f.foil);
    f.Open();
    f.SelectProducts({0, 1});
    OnNextModal([](QWidget* modal) {
        auto* wizard = qobject_cast<QWizard*>(modal);
        QVERIFY(wizard);
        auto* date = qobject_cast<CPageDateRange*>(wizard->currentPage());
        QVERIFY(date);
        date->DatePicker()->setDate(QDate(2024, 4, 2));
        wizard->button(QWizard::NextButton)->click();
        PickCover(wizard, 0, 1);
        wizard->button(QWizard::FinishButton)->click();
    });
    f.view->OnCommand(cmd::AssignCovers);
    // A gets a new definition; B's definition of that day gets a second line.
    QCOMPARE(f.db.Number(Format("SELECT COUNT(*) FROM Prod_CoverDT WHERE prod_id = %lld", a)), 1LL);
    QCOMPARE(f.db.Number("SELECT COUNT(*) FROM Prod_Cover"), 3LL);
    // Told with the switch off, as designed.
    QCOMPARE(f.db.notifier.sent, std::vector<ViewNotification>{ViewNotification::ReloadCovers});

    // Without a selection the wizard does not open.
    f.view->MainList()->ClearSelectionAndFocus();
    f.view->OnCommand(cmd::AssignCovers);
    QCOMPARE(f.Texts(),
             QStringList({"Obaly byly přiřazeny.\n\nZměněno produktů: 2\nVytvořeno platností: 1\n"
                          "Přidáno řádků balení: 2",
                          "Není vybrán produkt!"}));
}

void TestViewProd::reloadFromOtherViews() {
    Fixture f;
    const long long prod = rows::Product(f.db.store, {"Židle", "K", "ks"});
    const long long dt = f.AddDefinition(prod, 1, 3, 2024);
    f.Open();
    f.SelectProducts({0});
    // An import added a product, another view changed the packaging lines.
    rows::Product(f.db.store, {"Almara", "K", "ks"});
    f.AddLine(dt, f.box);
    f.view->OnNotify(ViewNotification::ReloadMain);
    QCOMPARE(Column(f.Products(), 1), QStringList({"Almara", "Židle"}));
    QCOMPARE(f.view->MainList()->SelectedRows(), std::vector<int>{1});
    QCOMPARE(Column(f.Lines(), 0), QStringList({"Krabice"}));
    f.AddLine(dt, f.foil);
    f.view->OnNotify(ViewNotification::ReloadCovers);
    QCOMPARE(Column(f.Lines(), 0), QStringList({"Fólie", "Krabice"}));
}

QTEST_MAIN(TestViewProd)
#include "test_viewprod.moc"
