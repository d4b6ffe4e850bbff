// The wizard and its selection pages, driven through small wizards built
// here as the views build theirs, against a temporary database.
#include "core/data/codelists.h"
#include "ui/dialogs/cdlgvalidfrom.h"
#include "ui/framework/codecombo.h"
#include "ui/framework/datepicker.h"
#include "ui/framework/formbuilder.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/wizard.h"
#include "ui/pages/cpagecover.h"
#include "ui/pages/cpagecovermove.h"
#include "ui/pages/cpagecoverprod.h"
#include "ui/pages/cpagedaterange.h"
#include "ui/pages/cpageprod.h"
#include "ui/pages/cpageqty.h"
#include "ui/pages/pickerlist.h"
#include "uitestsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>

using namespace tarvo;
using namespace tarvo::test;

namespace {

// A context of the program on a temporary database.
struct Fixture {
    UiDatabase db;
    const GuiContext& context = db.Context();
};

// The visible buttons, left to right, by their texts.
QString Buttons(const QWizard& wizard) {
    QStringList shown;
    for (QWizard::WizardButton which :
         {QWizard::BackButton, QWizard::NextButton, QWizard::FinishButton, QWizard::CancelButton}) {
        if (wizard.button(which)->isVisible())
            shown << wizard.button(which)->text();
    }
    return shown.join(QLatin1Char('|'));
}

void DoubleClickRow(PickerList* list, int row) {
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

void Type(QLineEdit* box, const QString& text) {
    box->clear();
    QTest::keyClicks(box, text);
}

} // namespace

class TestPages : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseCzechLocale(); }

    void buttonsFollowThePagePlace_data();
    void buttonsFollowThePagePlace();
    void compositeChoiceEndsTheWizard();
    void coverPickerTabSwitchesNextAndFinishAndIsRemembered();
    void coverPickerRefusesNoChoice_data();
    void coverPickerRefusesNoChoice();
    void coverPickerListShowsCovers();
    void chosenCoverFillsTheLinePage();
    void vanishedCoverGivesNoDefaults();
    void couplingOfQuantityAndWeight_data();
    void couplingOfQuantityAndWeight();
    void packagingLineChecks_data();
    void packagingLineChecks();
    void packagingLineBandEnabling();
    void packagingLineShowsOnlyABandsLimits();
    void productsUpDownStepsWholeProducts();
    void coverLineShowsTheCoverDisabled();
    void quantityPageChecks_data();
    void quantityPageChecks();
    void productPicker();
    void onlyFinishOrOkSucceeds_data();
    void onlyFinishOrOkSucceeds();
    void datePickersShowFourDigitYears();
    void validFromKeepsTimeOfDay();
    void dateTypedOverTheSelection_data();
    void dateTypedOverTheSelection();
    void unusualDateIsAskedAboutOnce();
};

// Pages by letter: D date range, C cover picker, P packaging line, M dispatch
// cover line, R product picker, Q quantity.
void TestPages::buttonsFollowThePagePlace_data() {
    QTest::addColumn<QString>("pages");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QStringList>("captions");
    const QString next = "&Další >|Storno";
    const QString backFinish = "< &Zpět|Dokončit|Storno";
    QTest::newRow("quantity alone")
        << "Q" << QStringList{"OK|Storno"} << QStringList{"Zadejte množství"};
    QTest::newRow("packaging line alone")
        << "P" << QStringList{"OK|Storno"} << QStringList{"Údaje balení"};
    QTest::newRow("cover line alone")
        << "M" << QStringList{"OK|Storno"} << QStringList{"Zadejte množství"};
    QTest::newRow("product line") << "RQ" << QStringList{next, backFinish}
                                  << QStringList{"Vyberte produkt", "Zadejte množství"};
    QTest::newRow("cover line") << "CM" << QStringList{next, backFinish}
                                << QStringList{"Vyberte obal", "Zadejte množství"};
    QTest::newRow("bulk packaging")
        << "DCP" << QStringList{next, "< &Zpět|&Další >|Storno", backFinish}
        << QStringList{"Zadejte časovou platnost", "Vyberte obal", "Údaje balení"};
}

void TestPages::buttonsFollowThePagePlace() {
    QFETCH(QString, pages);
    QFETCH(QStringList, buttons);
    QFETCH(QStringList, captions);
    Fixture f;
    f.db.AddCover("Krabice", 2500);
    rows::Product(f.db.store, {"Mléko"});
    Wizard wizard;
    CPageCover* cover = nullptr;
    CPageProd* product = nullptr;
    for (QChar letter : pages) {
        switch (letter.toLatin1()) {
        case 'D':
            wizard.AddPage(new CPageDateRange(f.db.messages));
            break;
        case 'C':
            wizard.AddPage(cover = new CPageCover(f.context, false));
            break;
        case 'P':
            wizard.AddPage(new CPageCoverProd(f.context));
            break;
        case 'M':
            wizard.AddPage(new CPageCoverMove(f.context));
            break;
        case 'R':
            wizard.AddPage(product = new CPageProd(f.context));
            break;
        case 'Q':
            wizard.AddPage(new CPageQty(f.context));
            break;
        }
    }
    wizard.show();
    for (int i = 0; i < buttons.size(); ++i) {
        QCOMPARE(Buttons(wizard), buttons[i]);
        QCOMPARE(wizard.windowTitle(), captions[i]);
        if (wizard.currentPage() == cover)
            cover->CoverList()->SelectRow(0);
        if (wizard.currentPage() == product)
            product->List()->SelectRow(0);
        if (i + 1 < buttons.size())
            wizard.button(QWizard::NextButton)->click();
    }
    QVERIFY(f.db.messages.shown.empty());
}

void TestPages::compositeChoiceEndsTheWizard() {
    Fixture f;
    f.db.AddCover("Krabice", 2500);
    rows::CompCover(f.db.store, {"Sada A"});
    const long long chosen = rows::CompCover(f.db.store, {"Sada B"});
    Wizard wizard;
    auto* cover = new CPageCover(f.context, true);
    auto* line = new CPageCoverProd(f.context);
    cover->Link(line);
    wizard.AddPage(cover);
    wizard.AddPage(line);
    wizard.show();
    cover->Tabs()->setCurrentIndex(1);
    QCOMPARE(Buttons(wizard), QString("Dokončit|Storno"));
    DoubleClickRow(cover->CompCoverList(), 1);
    QCOMPARE(wizard.result(), int(QDialog::Accepted));
    QCOMPARE(cover->Choice().id, RecordId(chosen));
    QVERIFY(cover->Choice().composite);
    // The line page was never shown and received no cover.
    QCOMPARE(line->Record().cover, NoRecord);
    QCOMPARE(wizard.currentPage(), cover);
}

void TestPages::coverPickerTabSwitchesNextAndFinishAndIsRemembered() {
    Fixture f;
    {
        // The tab decides between Next and Finish, also in the middle.
        Wizard wizard;
        auto* cover = new CPageCover(f.context, true);
        wizard.AddPage(new CPageDateRange(f.db.messages));
        wizard.AddPage(cover);
        wizard.AddPage(new CPageCoverProd(f.context));
        wizard.show();
        wizard.button(QWizard::NextButton)->click();
        QCOMPARE(cover->ShownTab(), 0);
        QCOMPARE(Buttons(wizard), QString("< &Zpět|&Další >|Storno"));
        cover->Tabs()->setCurrentIndex(1);
        QCOMPARE(Buttons(wizard), QString("< &Zpět|Dokončit|Storno"));
        QVERIFY(wizard.button(QWizard::FinishButton)->isEnabled());
        cover->Tabs()->setCurrentIndex(0);
        QCOMPARE(Buttons(wizard), QString("< &Zpět|&Další >|Storno"));
        cover->Tabs()->setCurrentIndex(1);
    }
    {
        Wizard wizard;
        auto* cover = new CPageCover(f.context, true);
        wizard.AddPage(cover);
        wizard.AddPage(new CPageCoverProd(f.context));
        wizard.show();
        QCOMPARE(cover->ShownTab(), 1);
        QCOMPARE(cover->Tabs()->currentIndex(), 1);
        QCOMPARE(Buttons(wizard), QString("Dokončit|Storno"));
    }
    {
        // A picker without composite covers goes back to the simple ones.
        Wizard wizard;
        auto* cover = new CPageCover(f.context, false);
        wizard.AddPage(cover);
        wizard.AddPage(new CPageCoverMove(f.context));
        wizard.show();
        QVERIFY(!cover->Tabs()->isVisible());
        QCOMPARE(cover->ShownTab(), 0);
    }
    QCOMPARE(f.context.coverPickerTab, 0);
}

void TestPages::coverPickerRefusesNoChoice_data() {
    QTest::addColumn<int>("tab");
    QTest::newRow("simple covers, Next") << 0;
    QTest::newRow("composite covers, Finish") << 1;
}

void TestPages::coverPickerRefusesNoChoice() {
    QFETCH(int, tab);
    Fixture f;
    f.db.AddCover("Krabice", 2500);
    rows::CompCover(f.db.store, {"Sada"});
    Wizard wizard;
    auto* cover = new CPageCover(f.context, true);
    wizard.AddPage(cover);
    wizard.AddPage(new CPageCoverProd(f.context));
    wizard.show();
    cover->Tabs()->setCurrentIndex(tab);
    // Each list starts on its first row; a search that finds nothing leaves
    // none chosen, on either tab.
    QCOMPARE((tab == 0 ? cover->CoverList() : cover->CompCoverList())->SelectedRows(),
             std::vector<int>{0});
    QTest::keyClicks(cover->Search(), "nic");
    wizard.button(tab == 0 ? QWizard::NextButton : QWizard::FinishButton)->click();
    QCOMPARE(f.db.messages.shown.size(), size_t(1));
    QCOMPARE(f.db.messages.shown[0].text, std::string("Není vybrán obal!"));
    QCOMPARE(f.db.messages.shown[0].icon, MsgIcon::Exclamation);
    QCOMPARE(wizard.currentPage(), cover);
    QVERIFY(wizard.isVisible());
    QCOMPARE(wizard.focusWidget(), tab == 0 ? cover->CoverList() : cover->CompCoverList());
}

void TestPages::coverPickerListShowsCovers() {
    Fixture f;
    f.db.AddCover("Čep", 2500, 29, 1, 2, 0);
    f.db.AddCover("Cívka", 12345, 0, 3, 0, 1);
    f.db.AddCover("Smazaný", 1);
    f.db.Run("UPDATE Cover SET deleted = 1 WHERE cover_name = 'Smazaný'");
    Wizard wizard;
    auto* cover = new CPageCover(f.context, false);
    wizard.AddPage(cover);
    wizard.AddPage(new CPageCoverProd(f.context));
    wizard.show();
    QAbstractItemModel* model = cover->CoverList()->model();
    QStringList headers;
    for (int c = 0; c < model->columnCount(); ++c)
        headers << model->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(headers, QStringList({"Název", "Typ", "Původ", "Platba", "Materiál", "Hmotnost [kg]",
                                   "Opakované použití"}));
    auto row = [model](int r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            cells << model->index(r, c).data().toString();
        return cells;
    };
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(row(0), QStringList({"Cívka", "průmyslový", "dovezený do ČR", "zpoplatněný", "dřevo",
                                  "1,2345", "ne"}));
    QCOMPARE(row(1)[0], QString("Čep"));
}

void TestPages::chosenCoverFillsTheLinePage() {
    Fixture f;
    const long long chosen = f.db.AddCover("Krabice", 2500, 7, 2, 1, 2);
    Wizard wizard;
    auto* cover = new CPageCover(f.context, true);
    auto* line = new CPageCoverProd(f.context);
    cover->Link(line);
    wizard.AddPage(cover);
    wizard.AddPage(line);
    wizard.show();
    DoubleClickRow(cover->CoverList(), 0);
    QCOMPARE(wizard.currentPage(), line);
    QCOMPARE(codecombo::Selected(line->TypeCombo()), 2);
    QCOMPARE(codecombo::Selected(line->OriginCombo()), 1);
    QCOMPARE(codecombo::Selected(line->PaymentCombo()), 2);
    QCOMPARE(line->UnitWeight(), Quantity::FromScaled(2500));
    QCOMPARE(line->WeightEdit()->text(), QString("0,25"));
    QCOMPARE(wizard.focusWidget(), line->QuantityEdit());
    QCOMPARE(line->QuantityEdit()->selectedText(), QString("1"));

    // The line may differ from the cover's defaults; the cover keeps its own.
    line->TypeCombo()->setCurrentIndex(line->TypeCombo()->findData(0));
    wizard.button(QWizard::FinishButton)->click();
    QCOMPARE(wizard.result(), int(QDialog::Accepted));
    QCOMPARE(cover->Choice().id, RecordId(chosen));
    QVERIFY(!cover->Choice().composite);
    QCOMPARE(line->Record().cover, RecordId(chosen));
    QCOMPARE(line->Record().type, 0);
    QCOMPARE(f.db.Number("SELECT cover_type FROM Cover"), 2LL);
}

void TestPages::vanishedCoverGivesNoDefaults() {
    Fixture f;
    f.db.AddCover("Krabice", 2500, 7, 2, 1, 2);
    Wizard wizard;
    auto* cover = new CPageCover(f.context, false);
    auto* line = new CPageCoverMove(f.context);
    cover->Link(line);
    wizard.AddPage(cover);
    wizard.AddPage(line);
    wizard.show();
    cover->CoverList()->SelectRow(0);
    // Another program removes the cover while the list shows it.
    f.db.Run("DELETE FROM Cover");
    wizard.button(QWizard::NextButton)->click();
    QCOMPARE(wizard.currentPage(), line);
    QVERIFY(f.db.messages.shown.empty());
    QCOMPARE(codecombo::Selected(line->TypeCombo()), -1);
    QCOMPARE(codecombo::Selected(line->OriginCombo()), -1);
    QCOMPARE(codecombo::Selected(line->PaymentCombo()), -1);
    QCOMPARE(line->UnitWeight(), Quantity::FromUnits(0));
}

void TestPages::couplingOfQuantityAndWeight_data() {
    QTest::addColumn<bool>("dispatchLine");
    QTest::addColumn<qint64>("unitWeight");
    QTest::addColumn<bool>("typeWeight");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("other");
    for (bool dispatch : {false, true}) {
        const char* page = dispatch ? "cover line: " : "packaging line: ";
        QTest::addRow("%sweight of a quantity", page) << dispatch << qint64(2500) << false << "3"
                                                      << "0,75";
        QTest::addRow("%squantity of a weight", page) << dispatch << qint64(2500) << true << "1"
                                                      << "4";
        QTest::addRow("%sproduct truncates", page) << dispatch << qint64(3333) << false << "0,5"
                                                   << "0,1666";
        QTest::addRow("%squotient truncates", page) << dispatch << qint64(3333) << true << "1"
                                                    << "3,0003";
        QTest::addRow("%sno number leaves the other", page)
            << dispatch << qint64(2500) << false << "x" << (dispatch ? "0" : "0,25");
        QTest::addRow("%sunit weight 0: independent", page) << dispatch << qint64(0) << false << "3"
                                                            << "0";
        QTest::addRow("%sunit weight 0: weight alone", page)
            << dispatch << qint64(0) << true << "7" << (dispatch ? "0" : "1");
    }
}

void TestPages::couplingOfQuantityAndWeight() {
    QFETCH(bool, dispatchLine);
    QFETCH(qint64, unitWeight);
    QFETCH(bool, typeWeight);
    QFETCH(QString, typed);
    QFETCH(QString, other);
    Fixture f;
    const RecordId cover = f.db.AddCover("Krabice", unitWeight);
    Wizard wizard;
    QLineEdit* quantity;
    QLineEdit* weight;
    if (dispatchLine) {
        auto* page = new CPageCoverMove(f.context, {.cover = cover});
        wizard.AddPage(page);
        quantity = page->QuantityEdit();
        weight = page->WeightEdit();
    } else {
        auto* page = new CPageCoverProd(f.context, {.cover = cover});
        wizard.AddPage(page);
        quantity = page->QuantityEdit();
        weight = page->WeightEdit();
    }
    wizard.show();
    Type(typeWeight ? weight : quantity, typed);
    QCOMPARE((typeWeight ? quantity : weight)->text(), other);
}

void TestPages::packagingLineChecks_data() {
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("products");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("origin");
    QTest::addColumn<int>("payment");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    const struct {
        const char *name, *quantity, *products;
        int type, origin, payment;
        const char *message, *focus;
    } rows[] = {
        {"quantity no number", "abc", "0", -1, -1, -1, "Zadejte číslo.", "quantity"},
        {"quantity 0 before products 0", "0", "0", -1, -1, -1,
         "Množství obalu musí být větší než 0", "quantity"},
        {"negative quantity", "-1", "1", 0, 0, 0, "Množství obalu musí být větší než 0",
         "quantity"},
        {"products 0 before the codes", "1", "0", -1, -1, -1,
         "Počet balených produktů musí být větší než 0", "products"},
        {"no type", "1", "1", -1, -1, -1, "Není vybrán typ", "type"},
        {"no origin", "1", "1", 3, -1, -1, "Není vybrán původ", "origin"},
        {"no payment", "1", "1", 3, 2, -1, "Není vybrána platba", "payment"},
        {"all there", "1,5", "2", 3, 2, 1, "", ""},
    };
    for (const auto& r : rows)
        QTest::newRow(r.name) << QString(r.quantity) << QString(r.products) << r.type << r.origin
                              << r.payment << QString(r.message) << QString(r.focus);
}

void TestPages::packagingLineChecks() {
    QFETCH(QString, quantity);
    QFETCH(QString, products);
    QFETCH(int, type);
    QFETCH(int, origin);
    QFETCH(int, payment);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    Fixture f;
    Wizard wizard;
    auto* page =
        new CPageCoverProd(f.context, {.type = type, .origin = origin, .payment = payment});
    wizard.AddPage(page);
    wizard.show();
    Type(page->QuantityEdit(), quantity);
    Type(page->ProductsEdit(), products);
    wizard.button(QWizard::FinishButton)->click();
    if (message.isEmpty()) {
        QVERIFY(f.db.messages.shown.empty());
        QCOMPARE(wizard.result(), int(QDialog::Accepted));
        QCOMPARE(page->Record().qtyCover, Quantity::FromScaled(15000));
        QCOMPARE(page->Record().qtyProd, Quantity::FromUnits(2));
        QCOMPARE(page->Record().payment, 1);
        return;
    }
    QCOMPARE(f.db.messages.Texts(), std::vector<std::string>{message.toStdString()});
    QCOMPARE(f.db.messages.shown[0].icon, MsgIcon::Exclamation);
    QVERIFY(wizard.isVisible());
    const std::map<QString, QWidget*> fields = {{"quantity", page->QuantityEdit()},
                                                {"products", page->ProductsBox()},
                                                {"type", page->TypeCombo()},
                                                {"origin", page->OriginCombo()},
                                                {"payment", page->PaymentCombo()}};
    QCOMPARE(wizard.focusWidget(), fields.at(focus));
}

void TestPages::packagingLineBandEnabling() {
    Fixture f;
    Wizard wizard;
    auto* page = new CPageCoverProd(f.context, {.type = 0, .origin = 0, .payment = 0});
    wizard.AddPage(page);
    wizard.show();
    QVERIFY(page->BandButton(0)->isChecked());
    QVERIFY(!page->FromEdit()->isEnabled());
    QVERIFY(!page->ToEdit()->isEnabled());
    QCOMPARE(page->ToEdit()->text(), QString("1000"));
    QTest::mouseClick(page->BandButton(1), Qt::LeftButton);
    QVERIFY(page->FromEdit()->isEnabled());
    QVERIFY(page->ToEdit()->isEnabled());
    // A band that never applies is refused; an empty "do" has no upper limit.
    Type(page->FromEdit(), "50");
    Type(page->ToEdit(), "2");
    wizard.button(QWizard::FinishButton)->click();
    QCOMPARE(f.db.messages.Texts(),
             std::vector<std::string>{"Hodnota „od“ musí být menší než „do“"});
    Type(page->ToEdit(), "");
    wizard.button(QWizard::FinishButton)->click();
    QCOMPARE(wizard.result(), int(QDialog::Accepted));
    QVERIFY(!page->Record().useAlways);
    QCOMPARE(page->Record().useFrom, Quantity::FromUnits(50));
    QCOMPARE(page->Record().useTo, OpenBandEnd);

    Wizard again;
    auto* stored = new CPageCoverProd(f.context, {.useAlways = false});
    again.AddPage(stored);
    again.show();
    QVERIFY(stored->FromEdit()->isEnabled());
    QTest::mouseClick(stored->BandButton(0), Qt::LeftButton);
    QVERIFY(!stored->FromEdit()->isEnabled());
}

void TestPages::packagingLineShowsOnlyABandsLimits() {
    // A line used always may still hold the limits it had as a band; the page
    // offers 0 to 1000 for it, as for a new line.
    Fixture f;
    const struct {
        bool useAlways;
        QString from, to;
    } cases[] = {{true, "0", "1000"}, {false, "5", "20"}};
    for (const auto& c : cases) {
        Wizard wizard;
        auto* page = new CPageCoverProd(f.context, {.useAlways = c.useAlways,
                                                    .useFrom = Quantity::FromUnits(5),
                                                    .useTo = Quantity::FromUnits(20)});
        wizard.AddPage(page);
        wizard.show();
        QCOMPARE(page->FromEdit()->text(), c.from);
        QCOMPARE(page->ToEdit()->text(), c.to);
    }
}

void TestPages::productsUpDownStepsWholeProducts() {
    Fixture f;
    Wizard wizard;
    auto* page = new CPageCoverProd(f.context, {.qtyProd = Quantity::FromScaled(25000)});
    wizard.AddPage(page);
    wizard.show();
    QCOMPARE(page->ProductsEdit()->text(), QString("2,5"));
    page->ProductsBox()->stepUp();
    QCOMPARE(page->ProductsEdit()->text(), QString("3"));
    for (int i = 0; i < 5; ++i)
        page->ProductsBox()->stepDown();
    QCOMPARE(page->ProductsEdit()->text(), QString("1"));
    Type(page->ProductsEdit(), "65535");
    page->ProductsBox()->stepUp();
    QCOMPARE(page->ProductsEdit()->text(), QString("65535"));
}

void TestPages::coverLineShowsTheCoverDisabled() {
    Fixture f;
    const RecordId cover = f.db.AddCover("Paleta", 250000, 0, 0, 2, 1, 1);
    f.db.Run("UPDATE Cover SET cover_reusable = 1");
    Wizard wizard;
    auto* page = new CPageCoverMove(
        f.context, {.cover = cover, .quantity = Quantity::Invalid(), .type = 3, .origin = 0});
    wizard.AddPage(page);
    wizard.show();
    // The line's own codes, the cover's material and category, all fixed.
    QCOMPARE(codecombo::Selected(page->TypeCombo()), 3);
    QCOMPARE(codecombo::Selected(page->OriginCombo()), 0);
    QCOMPARE(codecombo::Selected(page->PaymentCombo()), -1);
    QCOMPARE(codecombo::Selected(page->MaterialCombo()), 0);
    QCOMPARE(codecombo::Selected(page->StatCombo()), 1);
    QCOMPARE(page->MaterialCombo()->count(), 30);
    QVERIFY(page->ReusableBox()->isChecked());
    for (QWidget* fixed : std::initializer_list<QWidget*>{page->MaterialCombo(), page->TypeCombo(),
                                                          page->OriginCombo(), page->PaymentCombo(),
                                                          page->StatCombo(), page->ReusableBox()})
        QVERIFY(!fixed->isEnabled());
    QCOMPARE(page->QuantityEdit()->text(), QString("1"));
    QCOMPARE(page->WeightEdit()->text(), QString("25"));

    Type(page->QuantityEdit(), "0");
    wizard.button(QWizard::FinishButton)->click();
    QCOMPARE(f.db.messages.Texts(),
             std::vector<std::string>{"Množství obalu musí být větší než 0"});
    QCOMPARE(wizard.focusWidget(), page->QuantityEdit());
    Type(page->QuantityEdit(), "2");
    wizard.button(QWizard::FinishButton)->click();
    QCOMPARE(wizard.result(), int(QDialog::Accepted));
    QCOMPARE(page->Record().quantity, Quantity::FromUnits(2));
    QCOMPARE(page->Record().type, 3);
}

void TestPages::quantityPageChecks_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<qint64>("stored");
    QTest::addColumn<QString>("message");
    QTest::newRow("zero") << "0" << qint64(10000) << "Množství musí být větší než 0!";
    QTest::newRow("negative") << "-2" << qint64(10000) << "Množství musí být větší než 0!";
    QTest::newRow("no number") << "1,2,3" << qint64(10000) << "Zadejte číslo.";
    QTest::newRow("decimal comma") << "2,5" << qint64(25000) << "";
    QTest::newRow("group separator") << "1 000" << qint64(10000000) << "";
}

void TestPages::quantityPageChecks() {
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(qint64, stored);
    Fixture f;
    Wizard wizard;
    auto* page = new CPageQty(f.context, {.quantity = Quantity::Invalid()});
    wizard.AddPage(page);
    wizard.show();
    QCOMPARE(page->QuantityEdit()->text(), QString("1"));
    QCOMPARE(page->QuantityEdit()->selectedText(), QString("1"));
    Type(page->QuantityEdit(), typed);
    wizard.button(QWizard::FinishButton)->click();
    if (!message.isEmpty()) {
        QVERIFY(wizard.isVisible());
        QCOMPARE(f.db.messages.Texts(), std::vector<std::string>{message.toStdString()});
        QCOMPARE(wizard.focusWidget(), page->QuantityEdit());
        QCOMPARE(page->QuantityEdit()->selectedText(), typed);
        return;
    }
    QCOMPARE(wizard.result(), int(QDialog::Accepted));
    QVERIFY(f.db.messages.shown.empty());
    QCOMPARE(page->Record().quantity.Scaled(), stored);
}

void TestPages::productPicker() {
    Fixture f;
    for (const char* name : {"Hrnek", "Chléb", "Cukr"})
        rows::Product(f.db.store, {name});
    const long long tea = rows::Product(f.db.store, {"Čaj", "K-Čaj"});
    MarkProductsDeleted(f.db.store, {rows::Product(f.db.store, {"Starý"})});
    Wizard wizard;
    auto* picker = new CPageProd(f.context);
    auto* quantity = new CPageQty(f.context);
    picker->Link(quantity);
    wizard.AddPage(picker);
    wizard.AddPage(quantity);
    wizard.show();
    QAbstractItemModel* model = picker->List()->model();
    QCOMPARE(model->columnCount(), 3);
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QString("Kat. č."));
    QStringList names;
    for (int r = 0; r < model->rowCount(); ++r)
        names << model->index(r, 0).data().toString();
    QCOMPARE(names, QStringList({"Cukr", "Čaj", "Hrnek", "Chléb"}));
    QCOMPARE(model->index(1, 1).data().toString(), QString("K-Čaj"));

    // The first row starts selected; the search box selects by the name,
    // letter case and diacritics aside, and a name holding the text when
    // none begins with it.
    QCOMPARE(picker->List()->SelectedRows(), std::vector<int>{0});
    QTRY_COMPARE(wizard.focusWidget(), picker->Search());
    QTest::keyClicks(picker->Search(), "caj");
    QCOMPARE(picker->List()->SelectedId(), RecordId(tea));
    picker->Search()->clear();
    QTest::keyClicks(picker->Search(), "LÉB");
    QCOMPARE(picker->List()->SelectedRows(), std::vector<int>{3});
    QTest::keyClick(picker->Search(), Qt::Key_Up);
    QCOMPARE(picker->List()->SelectedRows(), std::vector<int>{2});
    QTest::keyClicks(picker->Search(), "x");
    wizard.button(QWizard::NextButton)->click();
    QCOMPARE(f.db.messages.Texts(), std::vector<std::string>{"Není vybrán produkt!"});
    QCOMPARE(wizard.currentPage(), picker);
    QCOMPARE(wizard.focusWidget(), picker->List());

    DoubleClickRow(picker->List(), 1);
    QCOMPARE(wizard.currentPage(), quantity);
    QCOMPARE(picker->Product(), RecordId(tea));
    QVERIFY(quantity->Caption()->text().startsWith("Produkt: Čaj"));
    // Back keeps the choice; a double click on the last page finishes.
    wizard.button(QWizard::BackButton)->click();
    QCOMPARE(picker->List()->SelectedId(), RecordId(tea));
}

void TestPages::onlyFinishOrOkSucceeds_data() {
    QTest::addColumn<QString>("ending");
    QTest::addColumn<bool>("success");
    QTest::newRow("OK") << "ok" << true;
    QTest::newRow("Storno") << "cancel" << false;
    QTest::newRow("Escape") << "escape" << false;
    QTest::newRow("close box") << "close" << false;
}

void TestPages::onlyFinishOrOkSucceeds() {
    QFETCH(QString, ending);
    QFETCH(bool, success);
    Fixture f;
    Wizard wizard;
    wizard.AddPage(new CPageQty(f.context));
    OnNextModal([ending](QWidget* modal) {
        auto* sheet = qobject_cast<QWizard*>(modal);
        if (ending == "ok")
            sheet->button(QWizard::FinishButton)->click();
        else if (ending == "cancel")
            sheet->button(QWizard::CancelButton)->click();
        else if (ending == "escape")
            QTest::keyClick(sheet, Qt::Key_Escape);
        else
            sheet->close();
    });
    QCOMPARE(wizard.Run(), success);
}

void TestPages::datePickersShowFourDigitYears() {
    Fixture f;
    const OleDate day = OleDate::FromParts(1925, 3, 5, 14, 30);
    CPageDateRange page(f.db.messages, day);
    QCOMPARE(page.DatePicker()->text(), QString("5.3.1925"));
    CDlgValidFrom dialog(f.context, {NoRecord, OleDate::FromParts(2012, 11, 24)});
    QCOMPARE(dialog.DatePicker()->text(), QString("24.11.2012"));
    QCOMPARE(dialog.windowTitle(), QString("Definice časové platnosti"));
    QStringList texts;
    for (QAbstractButton* button : dialog.findChild<QDialogButtonBox*>()->buttons())
        texts << button->text();
    QCOMPARE(texts, QStringList({"OK", "Storno", "Nápověda"}));
}

void TestPages::validFromKeepsTimeOfDay() {
    Fixture f;
    const OleDate before = OleDate::FromParts(2020, 1, 31, 8, 15, 10);
    CDlgValidFrom dialog(f.context, {NoRecord, before});
    dialog.show();
    QCOMPARE(dialog.focusWidget(), dialog.DatePicker());
    // Wide enough for its whole title.
    QVERIFY(dialog.width() >= TitleWidth(&dialog));
    dialog.DatePicker()->setDate(QDate(2021, 2, 1));
    dialog.accept();
    QCOMPARE(dialog.Record().from, OleDate::FromParts(2021, 2, 1, 8, 15, 10));

    CDlgValidFrom cancelled(f.context, {NoRecord, before});
    cancelled.DatePicker()->setDate(QDate(2021, 2, 1));
    cancelled.reject();
    QCOMPARE(cancelled.Record().from, before);

    Wizard wizard;
    auto* page = new CPageDateRange(f.db.messages, before);
    wizard.AddPage(page);
    wizard.AddPage(new CPageQty(f.context));
    wizard.show();
    QCOMPARE(wizard.focusWidget(), page->DatePicker());
    page->DatePicker()->setDate(QDate(2019, 12, 24));
    wizard.button(QWizard::NextButton)->click();
    QCOMPARE(page->Date(), OleDate::FromParts(2019, 12, 24, 8, 15, 10));
}

void TestPages::dateTypedOverTheSelection_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDate>("day");
    const QDate before(2026, 2, 17);
    QTest::newRow("whole date") << "31.12.2026" << QDate(2026, 12, 31);
    QTest::newRow("short parts") << "1.1.2027" << QDate(2027, 1, 1);
    QTest::newRow("year 1800") << "5.3.1800" << QDate(1800, 3, 5);
    QTest::newRow("no such day") << "29.2.2023" << before;
    QTest::newRow("three-digit day") << "310.12.2026" << before;
    QTest::newRow("half typed") << "31.12" << before;
}

// Typing over the selected date replaces it; what is no day keeps the old one.
void TestPages::dateTypedOverTheSelection() {
    QFETCH(QString, typed);
    QFETCH(QDate, day);
    QWidget window;
    QDateEdit* picker = MakeDatePicker(&window);
    auto* next = new QLineEdit(&window);
    next->move(0, 40);
    picker->setDate(QDate(2026, 2, 17));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    next->setFocus();
    QTest::keyClick(next, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), picker);
    QTest::keyClicks(picker, typed);
    QTest::keyClick(picker, Qt::Key_Tab);
    QCOMPARE(picker->date(), day);
    QCOMPARE(picker->text(), day.toString("d.M.yyyy"));
}

// A day long past or far ahead is asked about when the dialog ends, once;
// No keeps the dialog open.
void TestPages::unusualDateIsAskedAboutOnce() {
    Fixture f;
    CDlgValidFrom dialog(f.context, {NoRecord, OleDate::FromParts(1985, 1, 1)});
    dialog.accept(); // the date it came with is not questioned
    QVERIFY(f.db.messages.shown.empty());
    dialog.DatePicker()->setDate(QDate(1800, 3, 5));
    dialog.show();
    dialog.accept();
    QCOMPARE(f.db.messages.Texts(),
             std::vector<std::string>{"Zadané datum 05.03.1800 je před rokem 1990. Opravdu?"});
    QVERIFY(dialog.isVisible());
    f.db.messages.yesNoAnswers = {true};
    dialog.accept();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.Record().from, OleDate::FromParts(1800, 3, 5));
    dialog.accept();
    QCOMPARE(f.db.messages.shown.size(), size_t(2));

    // The bulk assignment's date page asks before it lets the wizard go on.
    Wizard wizard;
    auto* page = new CPageDateRange(f.db.messages, OleDate::FromParts(2026, 2, 17));
    wizard.AddPage(page);
    wizard.AddPage(new CPageQty(f.context));
    wizard.show();
    page->DatePicker()->setDate(QDate(1800, 3, 5));
    wizard.button(QWizard::NextButton)->click();
    QCOMPARE(f.db.messages.shown.size(), size_t(3));
    QCOMPARE(wizard.currentPage(), page);
    f.db.messages.yesNoAnswers = {true};
    wizard.button(QWizard::NextButton)->click();
    QVERIFY(wizard.currentPage() != page);
    QCOMPARE(page->Date(), OleDate::FromParts(1800, 3, 5));
}

QTEST_MAIN(TestPages)
#include "test_pages.moc"
