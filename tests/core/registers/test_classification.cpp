#include "core/data/codelists.h"
#include "core/data/statement.h"
#include "core/registers/classification.h"
#include "core/registers/coverregister.h"
#include "rows.h"
#include "testdatabase.h"

#include <gtest/gtest.h>

namespace tarvo::test {
namespace {

// Codes of Materials2021, Components and LitteringKinds the cases use.
enum Material { PetClear = 0, PeColoured = 4, BeverageCarton = 25, CompositeMaterial = 26 };
enum Material2 { Paper = 30, PaperComposite = 34, Wood = 35 };
enum Component { PE = 1, Aluminium = 6, PaperBoard = 9 };

// A single-use cover 1 classified as paper, a reusable cover 2 without a
// classification, and a discard of cover 2.
struct Classified : ::testing::Test {
    TestDatabase db;
    PropagationSwitches switches;
    RecordingNotifier notifier;
    CoverRegister covers{db.store, switches, notifier};
    const CoverClassification paper{.material = Paper};

    Classified() {
        rows::Cover(db.store, {.name = "Krabice", .weight = Q("0,2"), .material = 7});
        rows::Cover(db.store,
                    {.name = "Paleta", .weight = Q("25"), .reusable = true, .material = 0});
        rows::Discard(db.store, {2, OleDate::FromValue(45000), 2, Q("4")});
        EXPECT_EQ(covers.SetClassification(1, paper), Outcome::Done);
    }

    std::string Snapshot() {
        std::string all;
        for (const char* table : {"Cover", "Cover_Class", "Cover_Part", "Discard_Dest"}) {
            Statement st(db.store, std::string("SELECT * FROM ") + table + " ORDER BY rowid");
            while (st.Step()) {
                for (int c = 0; c < st.ColumnCount(); ++c)
                    all += st.Text(c) + "|";
                all += "\n";
            }
        }
        return all;
    }

    std::optional<CoverClassification> Stored(RecordId cover) {
        const auto read = covers.ReadClassification(cover);
        EXPECT_EQ(read.outcome, Outcome::Done);
        return read.record;
    }
};

struct RuleCase {
    const char* name;
    RecordId cover;
    CoverClassification classification;
    const char* refusal; // nullptr: stored
    bool complete;
};

class Rules : public Classified, public ::testing::WithParamInterface<RuleCase> {};

TEST_P(Rules, RefuseWithTheirMessageAndStoreNothingOrStoreExactly) {
    const RuleCase& c = GetParam();
    const std::string before = Snapshot();
    db.messages.shown.clear();
    const Outcome outcome = covers.SetClassification(c.cover, c.classification);
    if (c.refusal) {
        EXPECT_EQ(outcome, Outcome::Refused);
        EXPECT_EQ(db.messages.shown,
                  (std::vector<ShownMessage>{{c.refusal, MsgIcon::Exclamation}}));
        EXPECT_EQ(Snapshot(), before);
        return;
    }
    EXPECT_EQ(outcome, Outcome::Done);
    EXPECT_TRUE(db.messages.shown.empty());
    EXPECT_EQ(Stored(c.cover), c.classification);
    EXPECT_EQ(IsCompleteForNewForm(c.classification), c.complete);
}

const std::vector<CompositionPart> Carton{
    {PaperBoard, Q("75")}, {PE, Q("20")}, {Aluminium, Q("5")}};
const char* const CompositeOnly = "Složení se vyplňuje jen u kompozitních materiálů.";
const char* const CompositeMaterialText =
    "Materiál 'nápojový karton' je kompozitní: vyplňte jeho složení.";
const char* const Recyclate = "Recyklát musí být od 0 do 100 %.";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, Rules, ::testing::Values(
    RuleCase{"PetBottle", 1, {.material = PetClear, .shape = 1, .recycled = Q("25")}, nullptr, true},
    RuleCase{"BeverageCartonWithItsComposition", 1,
             {.beverage = true, .material = BeverageCarton, .shape = 1, .composition = Carton}, nullptr, true},
    RuleCase{"CarrierBag", 1, {.material = PeColoured, .shape = 0, .littering = 7}, nullptr, true},
    RuleCase{"PartlyPlasticCupAtTheLimits", 1, {.material = PaperComposite, .recycled = Q("100"), .littering = 4,
             .plastic = Q("0"), .composition = {{PaperBoard, Q("99,9999")}, {PE, Q("0,0001")}}}, nullptr, true},
    RuleCase{"ReusableWoodenPallet", 2, {.material = Wood}, nullptr, true},
    RuleCase{"ShapeKnownMaterialNot", 1, {.shape = 1}, nullptr, false},
    RuleCase{"PartlyPlasticWithoutItsShare", 1, {.material = Paper, .littering = 6}, nullptr, false},
    RuleCase{"ShapeOfPaper", 1, {.material = Paper, .shape = 1},
             "Materiál 'papír' se podle tvaru nedělí: tvar nevyplňujte.", false},
    RuleCase{"FlexibleBeverageCarton", 1, {.material = BeverageCarton, .shape = 0, .composition = Carton},
             "Nápojový karton nemůže být měkký, flexibilní.", false},
    RuleCase{"CompositeWithoutComposition", 1, {.material = BeverageCarton, .shape = 1}, CompositeMaterialText, false},
    RuleCase{"CompositionOfASimpleMaterial", 1, {.material = Paper, .composition = {{PaperBoard, Q("100")}}},
             CompositeOnly, false},
    RuleCase{"CompositionWithoutMaterial", 1, {.composition = {{PaperBoard, Q("100")}}}, CompositeOnly, false},
    RuleCase{"CompositionOf99", 1, {.material = CompositeMaterial,
             .composition = {{PaperBoard, Q("74")}, {Aluminium, Q("25")}}},
             "Podíly složek dávají dohromady 99 %, musí dát právě 100 %.", false},
    RuleCase{"CompositionOver100", 1, {.material = CompositeMaterial,
             .composition = {{PaperBoard, Q("75,5")}, {Aluminium, Q("25")}}},
             "Podíly složek dávají dohromady 100,5 %, musí dát právě 100 %.", false},
    RuleCase{"ComponentTwice", 1, {.material = CompositeMaterial,
             .composition = {{Aluminium, Q("50")}, {Aluminium, Q("50")}}},
             "Složka 'hliník Al' je ve složení víckrát.", false},
    RuleCase{"ComponentOfNothing", 1, {.material = CompositeMaterial,
             .composition = {{PaperBoard, Q("100")}, {PE, Q("0")}}},
             "Podíl složky 'PE' musí být větší než 0 a nejvýš 100 %.", false},
    RuleCase{"ComponentOutsideItsList", 1, {.material = CompositeMaterial, .composition = {{13, Q("100")}}},
             "Složka ve složení má neplatnou hodnotu.", false},
    RuleCase{"RecyclateOver100", 1, {.material = Paper, .recycled = Q("100,0001")}, Recyclate, false},
    RuleCase{"RecyclateNegative", 1, {.material = Paper, .recycled = Q("-1")}, Recyclate, false},
    RuleCase{"PlasticShareOver100", 1, {.material = Paper, .littering = 4, .plastic = Q("101")},
             "Podíl plastu musí být od 0 do 100 %.", false},
    RuleCase{"PlasticShareOfAWhollyPlasticCup", 1, {.material = PeColoured, .shape = 1, .littering = 3,
             .plastic = Q("100")}, "Podíl plastu se vyplňuje jen u kategorií littering „částečně z plastu“.", false},
    RuleCase{"LitteringOfAReusableCover", 2, {.material = Wood, .littering = 1},
             "Kategorie littering patří jen k obalům na jedno použití.", false},
    RuleCase{"MaterialOutsideItsList", 1, {.material = 39}, "Materiál pro výkaz 2021 má neplatnou hodnotu.", false},
    RuleCase{"ShapeOutsideItsList", 1, {.material = PetClear, .shape = 3}, "Tvar má neplatnou hodnotu.", false},
    RuleCase{"LitteringStoredAsMinusOne", 1, {.material = Paper, .littering = -1},
             "Kategorie littering má neplatnou hodnotu.", false}),
    [](const auto& p) { return std::string(p.param.name); });
// clang-format on

TEST_F(Classified, AClassifiedCoverWithLitteringIsNotMadeReusable) {
    ASSERT_EQ(covers.SetClassification(1, {.material = Paper, .littering = 2}), Outcome::Done);
    CoverRecord cover = *covers.Read(1);
    cover.reusable = true;
    const std::string before = Snapshot();
    db.messages.shown.clear();
    EXPECT_EQ(covers.Update(1, cover), Outcome::Refused);
    EXPECT_EQ(db.messages.Texts(),
              std::vector<std::string>{"Kategorie littering patří jen k obalům na jedno použití."});
    EXPECT_EQ(Snapshot(), before);
}

// The cover dialog's one OK: the cover and its classification together, or
// nothing of either.
TEST_F(Classified, CoverEditAndItsClassificationAreOneUnit) {
    CoverRecord cover = *covers.Read(1);
    cover.name = "Kelímek";
    const CoverClassification cup{.material = PaperComposite,
                                  .littering = 4,
                                  .plastic = Q("10"),
                                  .composition = {{PaperBoard, Q("90")}, {PE, Q("10")}}};
    EXPECT_EQ(covers.Update(1, cover, cup), Outcome::Done);
    EXPECT_EQ(covers.Read(1)->name, "Kelímek");
    EXPECT_EQ(Stored(1), cup);

    // Made reusable with a littering category: neither the cover nor the
    // classification changes, whichever of the two brings the fault.
    cover.reusable = true;
    std::string before = Snapshot();
    db.messages.shown.clear();
    EXPECT_EQ(covers.Update(1, cover, CoverClassification{.material = Paper, .littering = 2}),
              Outcome::Refused);
    EXPECT_EQ(
        covers.Update(2, *covers.Read(2), CoverClassification{.material = Wood, .littering = 1}),
        Outcome::Refused);
    EXPECT_EQ(
        db.messages.Texts(),
        (std::vector<std::string>(2, "Kategorie littering patří jen k obalům na jedno použití.")));
    EXPECT_EQ(Snapshot(), before);

    // A new cover with a classification the rules refuse is not added.
    db.messages.shown.clear();
    EXPECT_EQ(covers.Add({.name = "Lahev", .weight = Q("0,03"), .material = 3},
                         CoverClassification{.material = BeverageCarton, .shape = 1}),
              std::nullopt);
    EXPECT_EQ(db.messages.Texts(), std::vector<std::string>{CompositeMaterialText});
    EXPECT_EQ(Snapshot(), before);
    const std::optional<RecordId> added =
        covers.Add({.name = "Lahev", .weight = Q("0,03"), .material = 3},
                   CoverClassification{.material = PetClear, .shape = 1});
    ASSERT_TRUE(added);
    EXPECT_EQ(Stored(*added), (CoverClassification{.material = PetClear, .shape = 1}));
}

TEST_F(Classified, ClassifyingACoverAnotherProgramRemovedTellsItAndWritesNothing) {
    db.Run("DELETE FROM Cover WHERE cover_id = 1");
    const std::string before = Snapshot();
    db.messages.shown.clear();
    EXPECT_EQ(covers.SetClassification(1, paper), Outcome::Vanished);
    EXPECT_EQ(covers.ReadClassification(1).outcome, Outcome::Vanished);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(db.messages.Texts(),
              (std::vector<std::string>{"Záznam byl odstraněn jinou aplikací!",
                                        "Záznam byl odstraněn jinou aplikací!"}));
}

// --- the proposal from the old material code ------------------------------

struct ProposalCase {
    int oldMaterial;
    std::vector<int> materials;
    int material;
    int shape;
    bool beverage;
    std::vector<std::string> missing;
};

const std::vector<std::string> NeedsMaterial{"materiál"};
const std::vector<std::string> NeedsShape{"tvar"};

// Every code of the old list, in its order.
const ProposalCase Proposals[] = {
    {0, {35}, 35, -1, false, {}},                  // dřevo
    {1, {26}, -1, -1, false, NeedsMaterial},       // kombinované materiály
    {2, {21}, 21, -1, false, NeedsShape},          // kovy - hliník AL
    {3, {22}, 22, -1, false, NeedsShape},          // kovy - železo FE
    {4, {21}, 21, -1, false, NeedsShape},          // kovy nad 5l - hliník AL
    {5, {22}, 22, -1, false, NeedsShape},          // kovy nad 5l - železo FE
    {6, {25}, -1, -1, true, NeedsMaterial},        // nápojové kartony
    {7, {30}, 30, -1, false, {}},                  // papír
    {8, {3, 4}, -1, 0, false, NeedsMaterial},      // PE - měkké
    {9, {3, 4}, -1, 1, false, NeedsMaterial},      // PE - pevné duté
    {10, {3, 4}, -1, -1, false, NeedsMaterial},    // PE - pevné duté nad 5l
    {11, {0, 1, 2}, -1, 0, false, NeedsMaterial},  // PET - měkké
    {12, {0, 1, 2}, -1, 1, false, NeedsMaterial},  // PET - pevné duté
    {13, {0, 1, 2}, -1, -1, false, NeedsMaterial}, // PET - pevné duté nad 5l
    {14, {5, 6}, -1, 0, false, NeedsMaterial},     // PP - měkké
    {15, {5, 6}, -1, 1, false, NeedsMaterial},     // PP - pevné duté
    {16, {5, 6}, -1, -1, false, NeedsMaterial},    // PP - pevné duté nad 5l
    {17, {7, 8}, -1, 0, false, NeedsMaterial},     // PS - měkké
    {18, {7, 8}, -1, 1, false, NeedsMaterial},     // PS - pevné duté
    {19, {7, 8}, -1, -1, false, NeedsMaterial},    // PS - pevné duté nad 5l
    {20, {13, 14}, -1, 0, false, NeedsMaterial},   // PVC - měkké
    {21, {13, 14}, -1, 1, false, NeedsMaterial},   // PVC - pevné duté
    {22, {13, 14}, -1, -1, false, NeedsMaterial},  // PVC - pevné duté nad 5l
    {23, {15, 16}, -1, 0, false, NeedsMaterial},   // plasty jiné - měkké
    {24, {15, 16}, -1, 1, false, NeedsMaterial},   // plasty jiné - pevné duté
    {25, {15, 16}, -1, -1, false, NeedsMaterial},  // plasty jiné - pevné duté nad 5l
    {26, {27, 28}, -1, -1, false, NeedsMaterial},  // sklo
    {27, {32}, 32, -1, false, {}},                 // vlnitá lepenka
    {28, {38}, 38, -1, false, {}},                 // jiný materiál
    {29, {37}, 37, -1, false, {}},                 // textil
};

TEST(Proposal, EveryOldMaterialCodeSuggestsWhatItTellsAndNoMore) {
    ASSERT_EQ(std::size(Proposals), static_cast<size_t>(Materials.size));
    for (const ProposalCase& c : Proposals) {
        SCOPED_TRACE(Materials.Label(c.oldMaterial));
        const ClassificationProposal p = ProposeClassification(c.oldMaterial);
        EXPECT_EQ(p.materials, c.materials);
        EXPECT_EQ(p.classification.material, c.material);
        EXPECT_EQ(p.classification.shape, c.shape);
        EXPECT_EQ(p.classification.beverage, c.beverage);
        EXPECT_EQ(MissingForNewForm(p.classification), c.missing);
        // Whatever is proposed may be stored, on any cover.
        EXPECT_EQ(ClassificationFault(p.classification, true), std::nullopt);
    }
    for (const int outside : {-1, 30})
        EXPECT_TRUE(ProposeClassification(outside).materials.empty());
}

TEST_F(Classified, ProposalClassifiesOnlyCoversWithoutOneAndSaysHowFar) {
    rows::Cover(db.store, {.name = "Láhev", .material = 26}); // sklo
    rows::Cover(db.store, {.name = "Fólie", .material = 8});  // PE - měkké
    db.messages.shown.clear();
    const auto summary = covers.ProposeClassifications({1, 2, 3, 4, 99});
    ASSERT_TRUE(summary);
    EXPECT_EQ(*summary, (ProposalSummary{.complete = 1, .incomplete = 2, .kept = 1}));
    EXPECT_EQ(db.messages.shown,
              (std::vector<ShownMessage>{{"Návrh zařazení pro výkaz 2021\n"
                                          "Úplně zařazené obaly: 1\n"
                                          "Obaly, u nichž zbývá volba: 2\n"
                                          "Obaly zařazené už dříve (beze změny): 1",
                                          MsgIcon::Information}}));
    EXPECT_EQ(Stored(1), paper);
    EXPECT_EQ(Stored(2), (CoverClassification{.material = Wood}));
    EXPECT_EQ(Stored(4), (CoverClassification{.shape = 0}));

    const auto list = covers.Unclassified();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 2u);
    EXPECT_EQ((*list)[0].missing, "materiál (sklo transparentní / sklo barevné)");
    EXPECT_EQ((*list)[1].missing, "materiál (PE transparentní / PE barevné)");

    db.messages.shown.clear();
    EXPECT_EQ(covers.ProposeClassifications({}), std::nullopt);
    EXPECT_EQ(db.messages.Texts(), std::vector<std::string>{"Není vybrán obal!"});
}

// --- where a discarded reusable cover went -------------------------------

// The discard page's one OK: the discard and its destination together.
TEST_F(Classified, DiscardWithItsDestinationIsOneUnit) {
    const DiscardRecord recycled{2, OleDate::FromValue(45100), 2, Q("3")};
    const std::optional<RecordId> added = covers.AddDiscard(recycled, 2);
    ASSERT_TRUE(added);
    EXPECT_EQ(*covers.ReadDiscardDestination(*added), 2);
    // The destination the kind implies is kept as nothing stored.
    EXPECT_EQ(covers.UpdateDiscard(*added, recycled, 0), Outcome::Done);
    EXPECT_EQ(db.Count("Discard_Dest"), 0);

    const std::string before = Snapshot();
    db.messages.shown.clear();
    EXPECT_EQ(covers.UpdateDiscard(*added, {2, OleDate::FromValue(45200), 1, Q("9")}, 4),
              Outcome::Refused);
    EXPECT_EQ(covers.AddDiscard(recycled, 5), std::nullopt);
    EXPECT_EQ(
        db.messages.Texts(),
        (std::vector<std::string>{"Vyřazení 'odstraněno' nemůže mít cíl 'oprava dřevěných obalů'.",
                                  "Vyřazení 'recyklováno' nemůže mít cíl 'odstraněno'."}));
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(*covers.ReadDiscard(*added), recycled);
    EXPECT_EQ(db.Count("CoverDiscard"), 2);
}

TEST_F(Classified, DiscardDestinationFollowsItsKindUnlessChosenAndGoesWithIt) {
    for (const auto& [kind, destination] : {std::pair{0, 3}, {1, 5}, {2, 0}}) {
        ASSERT_EQ(covers.UpdateDiscard(1, {2, OleDate::FromValue(45000), kind, Q("4")}),
                  Outcome::Done);
        EXPECT_EQ(*covers.ReadDiscardDestination(1), destination) << DiscardKinds.Label(kind);
    }
    EXPECT_EQ(covers.SetDiscardDestination(1, 1), Outcome::Done);
    EXPECT_EQ(*covers.ReadDiscardDestination(1), 1);

    const std::string before = Snapshot();
    db.messages.shown.clear();
    EXPECT_EQ(covers.SetDiscardDestination(1, 3), Outcome::Refused);
    EXPECT_EQ(
        db.messages.Texts(),
        std::vector<std::string>{"Vyřazení 'recyklováno' nemůže mít cíl 'energeticky využito'."});
    EXPECT_EQ(Snapshot(), before);

    // Another kind drops a destination that no longer fits it.
    ASSERT_EQ(covers.UpdateDiscard(1, {2, OleDate::FromValue(45000), 0, Q("4")}), Outcome::Done);
    EXPECT_EQ(db.Count("Discard_Dest"), 0);
    ASSERT_EQ(covers.UpdateDiscard(1, {2, OleDate::FromValue(45000), 2, Q("4")}), Outcome::Done);
    ASSERT_EQ(covers.SetDiscardDestination(1, 4), Outcome::Done);
    db.messages.yesNoAnswers = {true};
    ASSERT_EQ(covers.DeleteSelection({2}), Outcome::Done);
    // The discard of a deleted cover stays with where it went.
    EXPECT_EQ(db.Count("Discard_Dest"), 1);
}

} // namespace
} // namespace tarvo::test
