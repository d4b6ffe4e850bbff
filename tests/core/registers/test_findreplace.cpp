#include "core/data/statement.h"
#include "core/registers/findreplace.h"
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
    db.Run("INSERT INTO Cover (cover_id, cover_name, cover_mat, cover_reusable, deleted) VALUES "
           "(1, 'Čepice', 3, 1, 0), (2, 'ČEPICE', 4, 0, 0), (3, 'čepice velká', 3, 0, 0), "
           "(4, '50% papír', 5, 1, 0), (5, '50 papír', 3, 0, 0)");
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
    db.Run("INSERT INTO Cover (cover_id, cover_name, cover_mat, cover_reusable, deleted) VALUES "
           "(1, 'abcab', 1, 1, 0), (2, 'ABCAB', 2, 0, 0), (3, 'xyz', 1, 1, 0)");
    const FindReplaceSpec spec{"Cover", "cover_id", c.column, c.find, c.replacement, c.partMatch};
    EXPECT_EQ(ReplaceInRecords(db.store, spec, {1, 2}), Outcome::Done);
    CStatement st(db.store, std::string("SELECT group_concat(") + c.column +
                                ", ',') FROM (SELECT " + c.column +
                                " FROM Cover ORDER BY cover_id)");
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
    db.Run("INSERT INTO Cover (cover_id, cover_name, deleted) VALUES (1, 'a', 0), (2, 'a', 0)");
    // The second write breaks a rule of the table halfway through the run.
    db.Run("CREATE TRIGGER refuse BEFORE UPDATE ON Cover "
           "BEGIN SELECT CASE WHEN OLD.cover_id = 2 THEN RAISE(ABORT, 'zamčeno') END; END");
    const FindReplaceSpec spec{"Cover", "cover_id", "cover_name", Value("a"), Value("b"), false};
    EXPECT_EQ(ReplaceInRecords(db.store, spec, {1, 2}), Outcome::Failed);
    CStatement st(db.store, "SELECT group_concat(cover_name, ',') FROM Cover");
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(st.Text(0), "a,a");
    EXPECT_EQ(db.messages.shown.size(), 1u);
}

} // namespace
} // namespace tarvo::test
