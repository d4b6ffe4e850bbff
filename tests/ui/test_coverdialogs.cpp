// The cover dialog, the covers filter dialog, the options dialog and the
// discard page, driven through their widgets; the help of every dialog.
#include "core/data/codelists.h"
#include "ui/dialogs/cdlgbackup.h"
#include "ui/dialogs/cdlgcomposition.h"
#include "ui/dialogs/cdlgcover.h"
#include "ui/dialogs/cdlgfiltercompcover.h"
#include "ui/dialogs/cdlgfiltercover.h"
#include "ui/dialogs/cdlgfiltermove.h"
#include "ui/dialogs/cdlgfilterprod.h"
#include "ui/dialogs/cdlgoptions.h"
#include "ui/dialogs/cdlgreportdata.h"
#include "ui/dialogs/cdlgvalidfrom.h"
#include "ui/framework/codecombo.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/helpcontexts.h"
#include "ui/framework/wizard.h"
#include "ui/pages/cpagedisc.h"
#include "uitestsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <functional>
#include <memory>

using namespace tarvo;
using namespace tarvo::test;

namespace {

void Choose(QComboBox* combo, int code) {
    const int index = combo->findData(code);
    combo->setCurrentIndex(index);
    // What a choice by hand sends; setCurrentIndex alone does not.
    emit combo->activated(index);
}

QPushButton* Button(QDialog& dialog, const QString& text) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

} // namespace

class TestCoverDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseCzechLocale(); }

    void coverValidation_data();
    void coverValidation();
    void coverAcceptsValidValues();
    void coverMaterialOrder();
    void coverCoupling_data();
    void coverCoupling();
    void coverSectionEnabling_data();
    void coverSectionEnabling();
    void coverSectionProposal();
    void compositionRefusesAnythingBut100();
    void filterValidation_data();
    void filterValidation();
    void optionsDialogReturnsTheTickedSwitches();
    void discardPageCouplesQuantityAndWeight();
    void discardPageIsAOnePageWizardRefusingZeroQuantity();
    void discardPageAsksTheDestinationOfRecycledOnly();
    void everyDialogOpensItsHelp();
};

void TestCoverDialogs::coverValidation_data() {
    QTest::addColumn<QString>("weight");
    QTest::addColumn<int>("filled"); // how many combos, in check order, are chosen
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");

    QTest::newRow("weight not a number") << "abc" << 5 << "Zadejte číslo."
                                         << "weight";
    QTest::newRow("weight too large") << "1000000000000000" << 5 << "Číslo je příliš velké."
                                      << "weight";
    QTest::newRow("weight zero, all chosen") << "0" << 5 << "Hmotnost musí být větší než 0!"
                                             << "weight";
    QTest::newRow("weight negative") << "-1,5" << 5 << "Hmotnost musí být větší než 0!"
                                     << "weight";
    QTest::newRow("nothing chosen") << "0,5" << 0 << "Není vybrán materiál!"
                                    << "material";
    QTest::newRow("material only") << "0,5" << 1 << "Není vybrán typ!"
                                   << "type";
    QTest::newRow("no origin") << "0,5" << 2 << "Není vybrán původ!"
                               << "origin";
    QTest::newRow("no payment") << "0,5" << 3 << "Není vybrána platba!"
                                << "payment";
    QTest::newRow("no statistics") << "0,5" << 4 << "Není vybrán údaj pro statistickou evidenci!"
                                   << "stat";
}

void TestCoverDialogs::coverValidation() {
    QFETCH(QString, weight);
    QFETCH(int, filled);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    UiDatabase db;
    CDlgCover dialog(db.Context());
    dialog.show();
    dialog.WeightEdit()->setText(weight);
    QComboBox* combos[] = {dialog.MaterialCombo(), dialog.TypeCombo(), dialog.OriginCombo(),
                           dialog.PaymentCombo(), dialog.StatCombo()};
    for (int i = 0; i < filled; ++i)
        combos[i]->setCurrentIndex(1);
    QTest::mouseClick(Button(dialog, "OK"), Qt::LeftButton);

    QCOMPARE(db.messages.shown.size(), size_t{1});
    QCOMPARE(QString::fromStdString(db.messages.shown[0].text), message);
    QCOMPARE(db.messages.shown[0].icon, MsgIcon::Exclamation);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), 0);
    QWidget* expected = focus == "weight"     ? static_cast<QWidget*>(dialog.WeightEdit())
                        : focus == "material" ? dialog.MaterialCombo()
                        : focus == "type"     ? dialog.TypeCombo()
                        : focus == "origin"   ? dialog.OriginCombo()
                        : focus == "payment"  ? dialog.PaymentCombo()
                                              : dialog.StatCombo();
    QCOMPARE(dialog.focusWidget(), expected);
}

void TestCoverDialogs::coverAcceptsValidValues() {
    UiDatabase db;
    CDlgCover dialog(db.Context());
    dialog.show();
    dialog.NameEdit()->setText("Paleta EUR");
    dialog.WeightEdit()->setText("1 234,5");
    Choose(dialog.StatCombo(), 1); // a pallet: the material becomes wood
    Choose(dialog.TypeCombo(), 2);
    Choose(dialog.OriginCombo(), 1);
    Choose(dialog.PaymentCombo(), 0);
    QTest::mouseClick(Button(dialog, "OK"), Qt::LeftButton);

    QVERIFY(db.messages.shown.empty());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Record().name, std::string("Paleta EUR"));
    QCOMPARE(dialog.Record().weight.Scaled(), 12345000LL);
    QCOMPARE(dialog.Record().material, 0);
    QCOMPARE(dialog.Record().stat, 1);
    QCOMPARE(dialog.Record().type, 2);
    QCOMPARE(dialog.Record().origin, 1);
    QCOMPARE(dialog.Record().payment, 0);
}

void TestCoverDialogs::coverMaterialOrder() {
    UiDatabase db;
    CoverRecord record;
    record.material = 5;
    CDlgCover dialog(db.Context(), record);
    QComboBox* combo = dialog.MaterialCombo();
    QCOMPARE(combo->count(), Materials.size);
    QCOMPARE(combo->itemText(0), QString("dřevo"));
    QCOMPARE(combo->itemData(1).toInt(), MaterialTextile);
    QCOMPARE(combo->itemText(1), QString("textil"));
    QCOMPARE(combo->itemData(2).toInt(), 1);
    QCOMPARE(combo->itemData(29).toInt(), 28);
    QCOMPARE(codecombo::Selected(combo), 5);
    // The other lists keep code order.
    QCOMPARE(dialog.StatCombo()->count(), StatCategories.size);
    QCOMPARE(dialog.StatCombo()->itemData(3).toInt(), 3);
    QCOMPARE(codecombo::Selected(dialog.TypeCombo()), -1);
}

void TestCoverDialogs::coverCoupling_data() {
    QTest::addColumn<int>("material"); // chosen first, -1 for none
    QTest::addColumn<int>("stat");     // chosen next, -1 for none
    QTest::addColumn<int>("expectMaterial");
    QTest::addColumn<int>("expectStat");

    QTest::newRow("cartons material sets cartons category") << 6 << -1 << 6 << 3;
    QTest::newRow("other material changes nothing") << 5 << -1 << 5 << -1;
    QTest::newRow("pallet category 1 sets wood") << 4 << 1 << 0 << 1;
    QTest::newRow("pallet category 2 sets wood") << -1 << 2 << 0 << 2;
    QTest::newRow("cartons category sets cartons material") << 2 << 3 << 6 << 3;
    QTest::newRow("category 0 keeps cartons material") << 6 << 0 << 6 << 0;
}

void TestCoverDialogs::coverCoupling() {
    QFETCH(int, material);
    QFETCH(int, stat);
    QFETCH(int, expectMaterial);
    QFETCH(int, expectStat);
    UiDatabase db;
    CDlgCover dialog(db.Context());
    dialog.show();
    if (material >= 0)
        Choose(dialog.MaterialCombo(), material);
    if (stat >= 0)
        Choose(dialog.StatCombo(), stat);
    QCOMPARE(codecombo::Selected(dialog.MaterialCombo()), expectMaterial);
    QCOMPARE(codecombo::Selected(dialog.StatCombo()), expectStat);
}

void TestCoverDialogs::coverSectionEnabling_data() {
    QTest::addColumn<int>("material"); // Materials2021
    QTest::addColumn<int>("littering");
    QTest::addColumn<bool>("shape");
    QTest::addColumn<bool>("composition");
    QTest::addColumn<bool>("plastic");

    QTest::newRow("PET transparentní") << 0 << 0 << true << false << false;
    QTest::newRow("nápojový karton") << 25 << 0 << true << true << false;
    QTest::newRow("papír, cup partly of plastic") << 30 << 4 << false << false << true;
    QTest::newRow("papír kompozitní") << 34 << 3 << false << true << false;
    QTest::newRow("nothing chosen") << -1 << 6 << true << false << true;
}

void TestCoverDialogs::coverSectionEnabling() {
    QFETCH(int, material);
    QFETCH(int, littering);
    QFETCH(bool, shape);
    QFETCH(bool, composition);
    QFETCH(bool, plastic);
    UiDatabase db;
    CDlgCover dialog(db.Context(), {}, CoverClassification{.material = 0, .shape = 1});
    dialog.show();
    Choose(dialog.Material2021Combo(), material);
    Choose(dialog.LitteringCombo(), littering);
    QCOMPARE(dialog.ShapeCombo()->isEnabled(), shape);
    QCOMPARE(dialog.CompositionButton()->isEnabled(), composition);
    QCOMPARE(dialog.PlasticEdit()->isEnabled(), plastic);
}

void TestCoverDialogs::coverSectionProposal() {
    UiDatabase db;
    CoverRecord record{.name = "Lahev", .weight = Quantity::FromUnits(1), .material = 9};
    record.type = record.origin = record.payment = record.stat = 0;
    CDlgCover proposed(db.Context(), record);
    // "PE - pevné duté": rigid, the colour class left to the user.
    QVERIFY(proposed.ProposalLabel()->isVisibleTo(&proposed));
    QCOMPARE(codecombo::Selected(proposed.Material2021Combo()), -1);
    QCOMPARE(codecombo::Selected(proposed.ShapeCombo()), 1);
    QVERIFY(proposed.ProposalLabel()->toolTip().contains("PE transparentní, PE barevné"));
    proposed.accept();
    QCOMPARE(proposed.Classification(), (CoverClassification{.shape = 1}));
    // Any choice in the section makes it the user's own.
    Choose(proposed.LitteringCombo(), 2);
    QVERIFY(!proposed.ProposalLabel()->isVisibleTo(&proposed));

    // A fault of the section keeps the dialog open with the rule's message.
    CDlgCover refused(db.Context(), record, CoverClassification{.material = 30});
    QVERIFY(!refused.ProposalLabel()->isVisibleTo(&refused));
    refused.ReusableBox()->setChecked(true);
    Choose(refused.LitteringCombo(), 2);
    refused.accept();
    QCOMPARE(refused.result(), 0);
    QCOMPARE(db.messages.Texts(),
             std::vector<std::string>{"Kategorie littering patří jen k obalům na jedno použití."});

    // Nothing proposed and nothing chosen: the cover stays unclassified.
    record.material = 1;
    CDlgCover untouched(db.Context(), record);
    QVERIFY(!untouched.ProposalLabel()->isVisibleTo(&untouched));
    untouched.accept();
    QCOMPARE(untouched.result(), int(QDialog::Accepted));
    QVERIFY(!untouched.Classification());
}

void TestCoverDialogs::compositionRefusesAnythingBut100() {
    UiDatabase db;
    CDlgComposition dialog(db.Context(), 25, {{9, Quantity::FromUnits(74)}});
    dialog.show();
    QTableWidget* grid = dialog.Grid();
    QCOMPARE(grid->rowCount(), Components.size);
    QCOMPARE(grid->item(9, 1)->text(), QString("74"));
    grid->item(1, 1)->setText("25");
    QCOMPARE(dialog.TotalLabel()->text(), QString("Celkem: 99 %"));
    dialog.accept();
    QCOMPARE(dialog.result(), 0);
    QCOMPARE(
        db.messages.Texts(),
        std::vector<std::string>{"Podíly složek dávají dohromady 99 %, musí dát právě 100 %."});
    grid->item(6, 1)->setText("1");
    QCOMPARE(dialog.TotalLabel()->text(), QString("Celkem: 100 %"));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Record(), (std::vector<CompositionPart>{{1, Quantity::FromUnits(25)},
                                                            {6, Quantity::FromUnits(1)},
                                                            {9, Quantity::FromUnits(74)}}));
}

void TestCoverDialogs::filterValidation_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("useWeight");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("useMaterial");
    QTest::addColumn<QString>("message"); // empty: accepted

    QTest::newRow("equal weights pass") << "0,5" << true << "0,5" << false << "";
    QTest::newRow("from above to refused")
        << "2" << true << "1,5" << false << "Hmotnost „Od“ nesmí být větší než hodnota „do“";
    QTest::newRow("unused weights not compared") << "2" << false << "1" << false << "";
    QTest::newRow("material used, none chosen")
        << "0" << false << "0" << true << "Není vybrán materiál";
    QTest::newRow("weight not a number") << "x" << true << "1" << false << "Zadejte číslo.";
}

void TestCoverDialogs::filterValidation() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(bool, useWeight);
    QFETCH(bool, useMaterial);
    QFETCH(QString, message);
    UiDatabase db;
    CDlgFilterCover dialog(db.Context());
    dialog.show();
    if (useWeight)
        QTest::mouseClick(dialog.UseWeightBox(), Qt::LeftButton);
    if (useMaterial)
        QTest::mouseClick(dialog.UseMaterialBox(), Qt::LeftButton);
    QCOMPARE(dialog.WeightFromEdit()->isEnabled(), useWeight);
    QCOMPARE(dialog.MaterialCombo()->isEnabled(), useMaterial);
    dialog.WeightFromEdit()->setText(from);
    dialog.WeightToEdit()->setText(to);
    QTest::mouseClick(Button(dialog, "OK"), Qt::LeftButton);
    if (message.isEmpty()) {
        QVERIFY(db.messages.shown.empty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Record().IsActive(), useWeight || useMaterial);
    } else {
        QCOMPARE(db.messages.Texts(), std::vector<std::string>{message.toStdString()});
        QVERIFY(dialog.isVisible());
    }
}

void TestCoverDialogs::optionsDialogReturnsTheTickedSwitches() {
    UiDatabase db;
    CDlgOptions dialog(db.Context(), PropagationSwitches{});
    dialog.show();
    QTest::mouseClick(dialog.Box(1), Qt::LeftButton);
    QTest::mouseClick(dialog.Box(3), Qt::LeftButton);
    dialog.accept();
    const PropagationSwitches& switches = dialog.Record();
    QVERIFY(switches.coverToCompCovers);
    QVERIFY(!switches.coverToPackaging);
    QVERIFY(switches.coverToDispatches);
    QVERIFY(!switches.packagingToDispatches);
}

void TestCoverDialogs::discardPageCouplesQuantityAndWeight() {
    UiDatabase db;
    const long long cover = db.AddCover("Krabice", 2500); // 0,25 kg
    Wizard wizard;
    auto* page = new CPageDisc(db.Context(), {cover, OleDate::Now(), 2, Quantity::FromUnits(2)});
    wizard.AddPage(page);
    wizard.show();
    QCOMPARE(page->WeightEdit()->text(), QString("0,5"));
    // Four-digit years, whatever the locale's short format.
    page->DateEdit()->setDate(QDate(2024, 3, 5));
    QCOMPARE(page->DateEdit()->text(), QString("5.3.2024"));
    page->QuantityEdit()->clear();
    QTest::keyClicks(page->QuantityEdit(), "3");
    QCOMPARE(page->WeightEdit()->text(), QString("0,75"));
    page->WeightEdit()->clear();
    QTest::keyClicks(page->WeightEdit(), "1");
    QCOMPARE(page->QuantityEdit()->text(), QString("4"));
    QVERIFY(page->KindButton(2)->isChecked());
}

void TestCoverDialogs::discardPageIsAOnePageWizardRefusingZeroQuantity() {
    UiDatabase db;
    const long long cover = db.AddCover("Krabice", 0); // no unit weight: fields independent
    Wizard wizard;
    auto* page = new CPageDisc(db.Context(), {cover, OleDate::Now()});
    wizard.AddPage(page);
    wizard.show();
    // A wizard of one page shows OK and Storno only.
    QCOMPARE(wizard.windowTitle(), QString("Vyřazení obalu"));
    QCOMPARE(wizard.button(QWizard::FinishButton)->text(), QString("OK"));
    QVERIFY(wizard.button(QWizard::FinishButton)->isVisible());
    QVERIFY(!wizard.button(QWizard::BackButton)->isVisible());
    QVERIFY(!wizard.button(QWizard::NextButton)->isVisible());
    QVERIFY(wizard.button(QWizard::CancelButton)->isVisible());
    QCOMPARE(wizard.button(QWizard::CancelButton)->text(), QString("Storno"));
    QTest::keyClicks(page->WeightEdit(), "7");
    QCOMPARE(page->QuantityEdit()->text(), QString("0"));
    QVERIFY(!page->validatePage());
    QCOMPARE(db.messages.Texts(), std::vector<std::string>{"Množství musí být větší než 0!"});
    QCOMPARE(wizard.focusWidget(), page->QuantityEdit());
}

void TestCoverDialogs::discardPageAsksTheDestinationOfRecycledOnly() {
    UiDatabase db;
    const long long cover = db.AddCover("Paleta", 2500);
    Wizard wizard;
    auto* page = new CPageDisc(db.Context(), {cover, OleDate::Now(), 2, Quantity::FromUnits(2)}, 4);
    wizard.AddPage(page);
    wizard.show();
    QComboBox* combo = page->DestinationCombo();
    QCOMPARE(combo->count(), 4);
    QCOMPARE(combo->currentText(), QString("oprava dřevěných obalů"));
    QVERIFY(combo->isEnabled());
    QVERIFY(page->validatePage());
    QCOMPARE(page->Destination(), 4);

    page->KindButton(0)->click();
    QVERIFY(!combo->isEnabled());
    QVERIFY(page->validatePage());
    QCOMPARE(page->Destination(), 3); // "energeticky využito", as its kind
    page->KindButton(2)->click();
    Choose(combo, 2);
    QVERIFY(page->validatePage());
    QCOMPARE(page->Destination(), 2);
}

// "Nápověda" and F1 of each dialog open its own page.
void TestCoverDialogs::everyDialogOpensItsHelp() {
    UiDatabase db;
    GuiContext context = db.Context();
    std::vector<int> shown;
    context.showHelp = [&](int page) { shown.push_back(page); };
    const std::pair<std::function<QDialog*()>, int> dialogs[] = {
        {[&] { return new CDlgCover(context); }, help::Cover},
        {[&] { return new CDlgFilterCover(context); }, help::CoverFilter},
        {[&] { return new CDlgFilterCompCover(context); }, help::CompCoverFilter},
        {[&] { return new CDlgFilterProd(context); }, help::ProductFilter},
        {[&] { return new CDlgFilterMove(context); }, help::DispatchFilter},
        {[&] { return new CDlgOptions(context, PropagationSwitches{}); }, help::Options},
        {[&] { return new CDlgValidFrom(context, {}); }, help::Packaging},
        {[&] { return new CDlgBackup(context, BackupMode::Restore); }, help::Backup},
        {[&] { return new CDlgReportData(context, OleDate::Today()); }, help::Report},
    };
    for (const auto& [make, page] : dialogs) {
        const std::unique_ptr<QDialog> dialog(make());
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        shown.clear();
        Button(*dialog, "Nápověda")->click();
        QTest::keyClick(dialog.get(), Qt::Key_F1);
        QCOMPARE(shown, (std::vector<int>{page, page}));
    }
}

QTEST_MAIN(TestCoverDialogs)
#include "test_coverdialogs.moc"
