#include "core/data/codelists.h"
#include "core/data/statement.h"
#include "core/records/classification.h"
#include "core/registers/classification.h"
#include "core/registers/coverfilter.h"
#include "core/registers/coverrows.h"
#include "rows.h"
#include "testdatabase.h"

#include <functional>
#include <gtest/gtest.h>

namespace tarvo::test {
namespace {

struct FilterCase {
    const char* name;
    std::function<void(CoverFilter&)> set;
    std::vector<std::string> expected; // cover names in the list's Czech order
};

class CoverFilterRows : public ::testing::TestWithParam<FilterCase> {};

TEST_P(CoverFilterRows, SelectsTheCoversThatPass) {
    TestDatabase db;
    // name, weight, reusable, type, material, origin, payment
    for (const CoverRecord& cover : {CoverRecord{"žluťoučký", Q("0,25"), false, 0, 1, 0, 0},
                                     CoverRecord{"ŽLUŤOUČKÝ", Q("0,5"), true, 1, 2, 1, 1},
                                     CoverRecord{"Žluťoučký kůň", Q("1"), true, 1, 2, 2, 0},
                                     CoverRecord{"Paleta 50%", Q("1,0001"), false, 2, 3, 0, 1},
                                     CoverRecord{"Paleta 50 x", Q("0,4999"), false, 2, 3, 0, 1},
                                     CoverRecord{"d'Artagnan", Q("0,7"), true, 0, 1, 1, 2}})
        rows::Cover(db.store, cover);
    rows::Cover(db.store, {"žluťoučký", Q("0,5"), false, 0, 1, 0, 0}, true); // deleted
    CoverFilter filter;
    GetParam().set(filter);
    IdList ids;
    ASSERT_TRUE(LoadCoverIds(db.store, filter, {}, ids));
    std::vector<std::string> names;
    for (RecordId id : ids.Ids()) {
        Statement st(db.store, "SELECT cover_name FROM Cover WHERE cover_id = ?");
        st.BindInt(1, id);
        ASSERT_TRUE(st.Step());
        names.push_back(st.Text(0));
    }
    EXPECT_EQ(names, GetParam().expected);
    EXPECT_TRUE(db.messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Criteria, CoverFilterRows,
                         ::testing::Values(FilterCase{"NoneShowsEveryLiveCover",
                                                      [](CoverFilter&) {},
                                                      {"d'Artagnan", "Paleta 50 x", "Paleta 50%",
                                                       "žluťoučký", "ŽLUŤOUČKÝ", "Žluťoučký kůň"}},
                                           FilterCase{"ExactNameIgnoresCaseOfCzechLetters",
                                                      [](CoverFilter& f) {
                                                          f.useName = true;
                                                          f.name = "ŽLUŤOUČKÝ";
                                                      },
                                                      {"žluťoučký", "ŽLUŤOUČKÝ"}},
                                           FilterCase{"PartOfName",
                                                      [](CoverFilter& f) {
                                                          f.useName = true;
                                                          f.namePart = true;
                                                          f.name = "luťou";
                                                      },
                                                      {"žluťoučký", "ŽLUŤOUČKÝ", "Žluťoučký kůň"}},
                                           FilterCase{"PercentSignIsNoWildcard",
                                                      [](CoverFilter& f) {
                                                          f.useName = true;
                                                          f.namePart = true;
                                                          f.name = "50%";
                                                      },
                                                      {"Paleta 50%"}},
                                           FilterCase{"UnderscoreIsNoWildcard",
                                                      [](CoverFilter& f) {
                                                          f.useName = true;
                                                          f.name = "Paleta 50_x";
                                                      },
                                                      {}},
                                           FilterCase{"ApostropheInName",
                                                      [](CoverFilter& f) {
                                                          f.useName = true;
                                                          f.name = "D'ARTAGNAN";
                                                      },
                                                      {"d'Artagnan"}},
                                           FilterCase{"WeightBoundsIncluded",
                                                      [](CoverFilter& f) {
                                                          f.useWeight = true;
                                                          f.weightFrom =
                                                              Quantity::FromScaled(5000); // 0,5 kg
                                                          f.weightTo = Quantity::FromUnits(1);
                                                      },
                                                      {"d'Artagnan", "ŽLUŤOUČKÝ", "Žluťoučký kůň"}},
                                           FilterCase{"CodesTogether",
                                                      [](CoverFilter& f) {
                                                          f.useMaterial = true;
                                                          f.material = 2;
                                                          f.useOrigin = true;
                                                          f.origin = 2;
                                                      },
                                                      {"Žluťoučký kůň"}},
                                           FilterCase{"TypeAndPayment",
                                                      [](CoverFilter& f) {
                                                          f.useType = true;
                                                          f.type = 2;
                                                          f.usePayment = true;
                                                          f.payment = 1;
                                                      },
                                                      {"Paleta 50 x", "Paleta 50%"}},
                                           FilterCase{"NotReusable",
                                                      [](CoverFilter& f) { f.useReusable = true; },
                                                      {"Paleta 50 x", "Paleta 50%", "žluťoučký"}},
                                           FilterCase{"ReusableWithName",
                                                      [](CoverFilter& f) {
                                                          f.useReusable = true;
                                                          f.reusable = true;
                                                          f.useName = true;
                                                          f.namePart = true;
                                                          f.name = "Ž";
                                                      },
                                                      {"ŽLUŤOUČKÝ", "Žluťoučký kůň"}}),
                         [](const auto& p) { return std::string(p.param.name); });

// The column "Výkaz 2021" and the filter "jen obaly s neúplným zařazením"
// judge each classification as the rules do.
TEST(NewFormClassification, ColumnAndFilterAgreeWithTheRules) {
    enum { PetClear = 0, BeverageCarton = 25, Paper = 30 };
    const std::vector<CompositionPart> carton{{9, Q("80")}, {1, Q("20")}};
    const std::vector<std::optional<CoverClassification>> cases = {
        std::nullopt,
        CoverClassification{.material = PetClear, .shape = 1},
        CoverClassification{.material = PetClear},
        CoverClassification{.material = Paper},
        CoverClassification{.material = BeverageCarton, .shape = 1},
        CoverClassification{.material = BeverageCarton, .shape = 1, .composition = carton},
        CoverClassification{.material = Paper, .littering = 4},
        CoverClassification{.material = Paper, .littering = 4, .plastic = Q("0")},
        CoverClassification{.shape = 1},
    };
    TestDatabase db;
    std::vector<RecordId> ids;
    std::vector<RecordId> incomplete;
    for (const auto& c : cases) {
        ids.push_back(rows::Cover(db.store, {"Obal", Q("1"), false, 0, 1, 0, 0}));
        if (c)
            WriteClassification(db.store, ids.back(), *c);
        if (!c || !IsCompleteForNewForm(*c))
            incomplete.push_back(ids.back());
    }
    rows::Cover(db.store, {"Smazaný", Q("1"), false, 0, 1, 0, 0}, true);

    const std::vector<std::string> expected = {"neúplné", "PET transparentní", "neúplné", "papír",
                                               "neúplné", "nápojový karton",   "neúplné", "papír",
                                               "neúplné"};
    const auto rows = MakeCoverRows(db.store)->Read(ids);
    ASSERT_EQ(rows.size(), cases.size());
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].at(7), expected[i]) << i;

    CoverFilter filter;
    filter.onlyIncomplete = true;
    IdList listed;
    ASSERT_TRUE(LoadCoverIds(db.store, filter, {}, listed));
    std::vector<RecordId> found = listed.Ids();
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, incomplete);
}

} // namespace
} // namespace tarvo::test
