#include "core/data/statement.h"
#include "core/registers/findreplace.h"
#include "rows.h"
#include "testdatabase.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace tarvo::test {
namespace {

struct FindCase {
    const char* name;
    Value find;
    bool partMatch;
    std::vector<RecordId> expected;
};

class FindMatchingCases : public ::testing::TestWithParam<FindCase> {};

// Covers 1 to 5: names with Czech capitals and a wildcard character, codes
// and flags.
void FillCovers(TestDatabase& db) {
    // name, weight, reusable, type, material
    for (const CoverRecord& cover :
         {CoverRecord{"Čepice", {}, true, 0, 3}, CoverRecord{"ČEPICE", {}, false, 0, 4},
          CoverRecord{"čepice velká", {}, false, 0, 3}, CoverRecord{"50% papír", {}, true, 0, 5},
          CoverRecord{"50 papír", {}, false, 0, 3}})
        rows::Cover(db.store, cover);
}

TEST_P(FindMatchingCases, FindsTheRecordsOfTheCriterion) {
    const FindCase& c = GetParam();
    TestDatabase db;
    FillCovers(db);
    const FindReplaceSpec spec{"Cover",
                               "cover_id",
                               c.find.GetKind() == Value::Kind::Text   ? "cover_name"
                               : c.find.GetKind() == Value::Kind::Bool ? "cover_reusable"
                                                                       : "cover_mat",
                               c.find,
                               Value(),
                               c.partMatch};
    const auto found = FindMatching(db.store, spec);
    ASSERT_TRUE(found);
    std::vector<RecordId> ids(found->begin(), found->end());
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, c.expected);
    EXPECT_TRUE(db.messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    FindReplace, FindMatchingCases,
    ::testing::Values(FindCase{"WholeTextIgnoresCzechCase", Value("čepice"), false, {1, 2}},
                      FindCase{"PartOfText", Value("ČEP"), true, {1, 2, 3}},
                      FindCase{"PercentIsAnOrdinaryCharacter", Value("50%"), true, {4}},
                      FindCase{"ApostropheCannotEndTheText", Value("d'Art"), true, {}},
                      FindCase{"Code", Value(int32_t{3}), false, {1, 3, 5}},
                      FindCase{"YesNo", Value(true), false, {1, 4}}),
    [](const auto& param) { return std::string(param.param.name); });

struct ReplaceCase {
    const char* name;
    const char* column;
    Value find;
    Value replacement;
    bool partMatch;
    const char* expected; // the column of covers 1, 2, 3 after the replacement
};

class ReplaceCases : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceCases, WritesEveryRecordOfTheList) {
    const ReplaceCase& c = GetParam();
    TestDatabase db;
    rows::Cover(db.store, {"abcab", {}, true, 0, 1});
    rows::Cover(db.store, {"ABCAB", {}, false, 0, 2});
    rows::Cover(db.store, {"xyz", {}, true, 0, 1});
    const FindReplaceSpec spec{"Cover", "cover_id", c.column, c.find, c.replacement, c.partMatch};
    EXPECT_EQ(ReplaceInRecords(db.store, spec, {1, 2}), Outcome::Done);
    Statement st(db.store, std::string("SELECT group_concat(") + c.column + ", ',') FROM (SELECT " +
                               c.column + " FROM Cover ORDER BY cover_id)");
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(st.Text(0), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    FindReplace, ReplaceCases,
    ::testing::Values(
        // Inside a text every occurrence with its letter case, as typed.
        ReplaceCase{"PartOfText", "cover_name", Value("ab"), Value("x"), true, "xcx,ABCAB,xyz"},
        ReplaceCase{"WholeValue", "cover_name", Value("abcab"), Value("n"), false, "n,n,xyz"},
        ReplaceCase{"Code", "cover_mat", Value(int32_t{1}), Value(int32_t{9}), false, "9,9,1"},
        ReplaceCase{"YesNo", "cover_reusable", Value(true), Value(false), false, "0,0,1"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(FindReplace, AFailingReplacementLeavesEveryRecordAsItWas) {
    TestDatabase db;
    rows::Cover(db.store, {.name = "a"});
    rows::Cover(db.store, {.name = "a"});
    // The second write breaks a rule of the table halfway through the run.
    db.Run("CREATE TRIGGER refuse BEFORE UPDATE ON Cover "
           "BEGIN SELECT CASE WHEN OLD.cover_id = 2 THEN RAISE(ABORT, 'zamčeno') END; END");
    const FindReplaceSpec spec{"Cover", "cover_id", "cover_name", Value("a"), Value("b"), false};
    EXPECT_EQ(ReplaceInRecords(db.store, spec, {1, 2}), Outcome::Failed);
    Statement st(db.store, "SELECT group_concat(cover_name, ',') FROM Cover");
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(st.Text(0), "a,a");
    EXPECT_EQ(db.messages.shown.size(), 1u);
}

} // namespace
} // namespace tarvo::test
