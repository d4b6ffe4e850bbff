#include "core/data/statement.h"
#include "core/registers/coverregister.h"
#include "rows.h"
#include "testdatabase.h"

#include <functional>
#include <gtest/gtest.h>
#include <tuple>

namespace tarvo::test {
namespace {

constexpr const char* RecordGone = "Záznam byl odstraněn jinou aplikací!";

using Codes = std::vector<std::tuple<int64_t, int64_t, int64_t>>;

// Two covers, each used by a composite cover item, a packaging line, a
// dispatch cover line and a discard. Cover 1's lines carry its codes (1, 1, 1)
// except one line per table whose codes were set apart (7, 7, 7).
struct Covers {
    TestDatabase db;
    PropagationSwitches switches;
    RecordingNotifier notifier;
    CoverRegister covers{db.store, switches, notifier};

    Covers() {
        rows::Cover(db.store, {"Paleta", Q("5"), true, 1, 3, 1, 1, 2, "n"});
        rows::Cover(db.store, {"Fólie", Q("0,25"), false, 2, 4, 2, 2, 1, ""});
        for (const CoverLine& line :
             {CoverLine{.cover = 1, .type = 1, .origin = 1, .payment = 1},
              CoverLine{.cover = 1, .type = 7, .origin = 7, .payment = 7},
              CoverLine{.cover = 2, .type = 2, .origin = 2, .payment = 2}}) {
            rows::CompCoverItem(db.store, NoRecord, line);
            rows::PackagingLine(db.store, NoRecord, line);
            rows::MoveCover(db.store, {.cover = line.cover,
                                       .type = line.type,
                                       .origin = line.origin,
                                       .payment = line.payment});
        }
        rows::Discard(db.store, {1, OleDate::FromValue(45000), 0, Q("2")});
        rows::Discard(db.store, {2, OleDate::FromValue(45001), 1, Q("3")});
    }

    // The codes of every line of the cover in a table, in row order.
    Codes LineCodes(const std::string& table, RecordId cover) {
        Statement st(db.store, "SELECT cover_type, cover_org, cover_pay FROM " + table +
                                   " WHERE cover_id = " + std::to_string(cover) +
                                   " ORDER BY rowid");
        Codes codes;
        while (st.Step())
            codes.emplace_back(st.Int(0), st.Int(1), st.Int(2));
        return codes;
    }

    // Every row of the tables a cover operation writes, for "nothing changed".
    std::string Snapshot() {
        std::string all;
        for (const char* table :
             {"Cover", "CompCover_Item", "Prod_Cover", "Move_Cover", "CoverDiscard"}) {
            Statement st(db.store, std::string("SELECT * FROM ") + table + " ORDER BY rowid");
            while (st.Step()) {
                for (int c = 0; c < st.ColumnCount(); ++c)
                    all += st.Text(c) + "|";
                all += "\n";
            }
        }
        return all;
    }

    CoverRecord Stored(RecordId id) {
        const ReadResult<CoverRecord> read = covers.Read(id);
        EXPECT_EQ(read.outcome, Outcome::Done);
        return read.record;
    }
};

struct CoverData : ::testing::Test, Covers {};

// The three switches: composite covers, packaging, dispatches.
class Propagation : public CoverData,
                    public ::testing::WithParamInterface<std::tuple<bool, bool, bool>> {};

TEST_P(Propagation, CarriesNewCodesIntoEveryLineOfTheSwitchedTables) {
    const auto [compCovers, packaging, dispatches] = GetParam();
    switches = {compCovers, packaging, dispatches, true};
    CoverRecord cover = Stored(1);
    cover.type = 3;
    cover.origin = 4;
    cover.payment = 5;
    ASSERT_EQ(covers.Update(1, cover), Outcome::Done);

    const Codes carried{{3, 4, 5}, {3, 4, 5}};
    const Codes kept{{1, 1, 1}, {7, 7, 7}};
    const struct {
        const char* table;
        bool on;
    } tables[] = {
        {"CompCover_Item", compCovers}, {"Prod_Cover", packaging}, {"Move_Cover", dispatches}};
    for (const auto& t : tables) {
        EXPECT_EQ(LineCodes(t.table, 1), t.on ? carried : kept) << t.table;
        EXPECT_EQ(LineCodes(t.table, 2), (Codes{{2, 2, 2}})) << t.table;
    }
    EXPECT_EQ(Stored(1), cover);
    // The other views reload their cover lines whichever switches are on.
    EXPECT_EQ(notifier.sent, std::vector<ViewNotification>{ViewNotification::ReloadCovers});
    EXPECT_TRUE(db.messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(AllSwitches, Propagation,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool(),
                                            ::testing::Bool()));

struct EditCase {
    const char* name;
    std::function<void(CoverRecord&)> edit;
    Codes expected; // cover 1's lines in every table afterwards
    bool notified;
};

class CoverEdit : public CoverData, public ::testing::WithParamInterface<EditCase> {};

TEST_P(CoverEdit, CarriesOnlyTypeOriginAndPayment) {
    CoverRecord cover = Stored(1);
    GetParam().edit(cover);
    ASSERT_EQ(covers.Update(1, cover), Outcome::Done);
    for (const char* table : {"CompCover_Item", "Prod_Cover", "Move_Cover"})
        EXPECT_EQ(LineCodes(table, 1), GetParam().expected) << table;
    EXPECT_EQ(Stored(1), cover);
    EXPECT_EQ(notifier.sent.size(), GetParam().notified ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, CoverEdit,
    ::testing::Values(
        EditCase{"NameWeightNoteAndMaterial",
                 [](CoverRecord& c) {
                     c.name = "Paleta EUR";
                     c.weight = Quantity::FromScaled(2500);
                     c.material = 5;
                     c.stat = 0;
                     c.reusable = false;
                     c.note = "d'Artagnan";
                 },
                 {{1, 1, 1}, {7, 7, 7}},
                 false},
        EditCase{
            "PaymentOnly", [](CoverRecord& c) { c.payment = 0; }, {{1, 1, 0}, {1, 1, 0}}, true},
        EditCase{"SameCodesAgain", [](CoverRecord&) {}, {{1, 1, 1}, {7, 7, 7}}, false}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(CoverData, AddReadsBackWhatWasWritten) {
    CoverRecord cover;
    cover.name = "Krabice 'A'";
    cover.weight = Quantity::FromScaled(1234);
    cover.reusable = true;
    cover.type = 1;
    cover.material = 29;
    cover.origin = 0;
    cover.payment = 2;
    cover.stat = 3;
    cover.note = "pozn.";
    const std::optional<RecordId> id = covers.Add(cover);
    ASSERT_TRUE(id);
    EXPECT_EQ(Stored(*id), cover);
    EXPECT_EQ(db.Count("Cover WHERE deleted = 0"), 3);
}

TEST_F(CoverData, DeleteSelectionSaysWhatUsesTheCoversAndKeepsTheirDiscards) {
    db.messages.yesNoAnswers = {true, true};
    ASSERT_EQ(covers.DeleteSelection({1}), Outcome::Done);
    const RecordId unused = rows::Cover(db.store, {"Víčko"});
    ASSERT_EQ(covers.DeleteSelection({unused}), Outcome::Done);
    EXPECT_EQ(db.messages.shown,
              (std::vector<ShownMessage>{
                  {"Opravdu si přejete odstranit vybrané obaly?\n\nVybrané obaly jsou použity:\n"
                   "- v řádcích balení produktů: 2 (zůstanou, obal v nich zůstane uveden)\n"
                   "- ve složených obalech: 1 (obaly z nich budou odebrány)\n"
                   "- ve vyřazeních: 1 (zůstanou, patří k vykázaným čtvrtletím)",
                   MsgIcon::Question},
                  {"Opravdu si přejete odstranit vybrané obaly?", MsgIcon::Question}}));
    EXPECT_EQ(db.Count("Cover WHERE deleted <> 0"), 2);
    EXPECT_EQ(db.Count("Cover WHERE cover_id = 1 AND deleted <> 0"), 1);
    // A corrective statement of an earlier quarter still finds the discard.
    EXPECT_EQ(db.Count("CoverDiscard WHERE cover_id = 1"), 1);
    EXPECT_EQ(db.Count("CompCover_Item WHERE cover_id = 1"), 0);
    // Packaging definitions and dispatches keep the cover.
    EXPECT_EQ(db.Count("Prod_Cover WHERE cover_id = 1"), 2);
    EXPECT_EQ(db.Count("Move_Cover WHERE cover_id = 1"), 2);
    EXPECT_EQ(db.Count("CompCover_Item WHERE cover_id = 2"), 1);
}

TEST(CoverRegister, RestoreOffersADeletedCoverAgainUnlessItsNameIsTaken) {
    const ShownMessage taken{"Obal „Paleta“ nelze obnovit: v evidenci již je obal „PALETA“. "
                             "Jeden z nich nejprve přejmenujte.",
                             MsgIcon::Exclamation};
    const struct {
        const char* name;
        bool nameTaken; // "PALETA" is in the register meanwhile
        std::vector<RecordId> selection;
        Outcome outcome;
        std::vector<ShownMessage> shown;
    } cases[] = {
        {"deleted and one not deleted", false, {2, 1}, Outcome::Done, {}},
        {"name taken in another case", true, {1}, Outcome::Refused, {taken}},
        {"none deleted", false, {2}, Outcome::Unchanged, {}},
        {"removed by another program",
         false,
         {99},
         Outcome::Vanished,
         {{RecordGone, MsgIcon::Information}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Covers d;
        d.db.Run("UPDATE Cover SET deleted = 1 WHERE cover_id = 1");
        if (c.nameTaken)
            rows::Cover(d.db.store, {"PALETA"});
        EXPECT_EQ(d.covers.RestoreSelection(c.selection), c.outcome);
        EXPECT_EQ(d.db.messages.shown, c.shown);
        EXPECT_EQ(d.db.Count("Cover WHERE deleted <> 0"), c.outcome == Outcome::Done ? 0 : 1);
    }
    // Two deleted covers of one name: restoring both would repeat it.
    Covers d;
    d.db.Run("UPDATE Cover SET deleted = 1 WHERE cover_id = 1");
    rows::Cover(d.db.store, {"PALETA"}, true);
    EXPECT_EQ(d.covers.RestoreSelection({1, 3}), Outcome::Refused);
    EXPECT_EQ(d.db.Count("Cover WHERE deleted <> 0"), 2);
}

TEST_F(CoverData, DeleteSelectionWithoutSelectionOrConsentChangesNothing) {
    const std::string before = Snapshot();
    EXPECT_EQ(covers.DeleteSelection({}), Outcome::Unchanged);
    db.messages.yesNoAnswers = {false};
    EXPECT_EQ(covers.DeleteSelection({1, 2}), Outcome::Unchanged);
    ASSERT_EQ(db.messages.Texts().size(), 2u);
    EXPECT_EQ(db.messages.Texts().front(), "Není vybrán obal!");
    EXPECT_EQ(Snapshot(), before);
}

struct FailureCase {
    const char* name;
    const char* trigger; // makes one statement of the unit fail
    std::function<Outcome(CoverRegister&)> run;
};

class FailingStatement : public CoverData, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailingStatement, LeavesNothingOfTheUnit) {
    db.messages.yesNoAnswers = {true};
    db.Run(GetParam().trigger);
    const std::string before = Snapshot();
    EXPECT_EQ(GetParam().run(covers), Outcome::Failed);
    EXPECT_EQ(Snapshot(), before);
    ASSERT_FALSE(db.messages.shown.empty());
    EXPECT_EQ(db.messages.shown.back().icon, MsgIcon::Error);
    EXPECT_NE(db.messages.shown.back().text.find("zamčeno"), std::string::npos);
    EXPECT_TRUE(notifier.sent.empty());
}

CoverRecord Retyped() {
    CoverRecord cover;
    cover.name = "Paleta";
    cover.type = 3;
    cover.origin = 4;
    cover.payment = 5;
    return cover;
}

INSTANTIATE_TEST_SUITE_P(
    Units, FailingStatement,
    ::testing::Values(FailureCase{"UpdateAtDispatchLines",
                                  "CREATE TRIGGER t BEFORE UPDATE ON Move_Cover "
                                  "BEGIN SELECT RAISE(ABORT, 'zamčeno'); END",
                                  [](CoverRegister& r) { return r.Update(1, Retyped()); }},
                      FailureCase{"UpdateAtPackagingLines",
                                  "CREATE TRIGGER t BEFORE UPDATE ON Prod_Cover "
                                  "BEGIN SELECT RAISE(ABORT, 'zamčeno'); END",
                                  [](CoverRegister& r) { return r.Update(1, Retyped()); }},
                      FailureCase{"DeleteAtMarkingCovers",
                                  "CREATE TRIGGER t BEFORE UPDATE ON Cover "
                                  "BEGIN SELECT RAISE(ABORT, 'zamčeno'); END",
                                  [](CoverRegister& r) {
                                      return r.DeleteSelection({1, 2});
                                  }},
                      FailureCase{"DeleteAtCompositeItems",
                                  "CREATE TRIGGER t BEFORE DELETE ON CompCover_Item "
                                  "BEGIN SELECT RAISE(ABORT, 'zamčeno'); END",
                                  [](CoverRegister& r) { return r.DeleteSelection({1}); }},
                      FailureCase{"AddCover",
                                  "CREATE TRIGGER t BEFORE INSERT ON Cover "
                                  "BEGIN SELECT RAISE(ABORT, 'zamčeno'); END",
                                  [](CoverRegister& r) {
                                      return r.Add(Retyped()) ? Outcome::Done : Outcome::Failed;
                                  }}),
    [](const auto& p) { return std::string(p.param.name); });

struct VanishedCase {
    const char* name;
    std::function<Outcome(CoverRegister&)> run;
};

class VanishedRecord : public CoverData, public ::testing::WithParamInterface<VanishedCase> {};

TEST_P(VanishedRecord, IsToldAndWritesNothing) {
    const std::string before = Snapshot();
    EXPECT_EQ(GetParam().run(covers), Outcome::Vanished);
    EXPECT_EQ(db.messages.shown, (std::vector<ShownMessage>{{RecordGone, MsgIcon::Information}}));
    EXPECT_EQ(Snapshot(), before);
    EXPECT_TRUE(notifier.sent.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Operations, VanishedRecord,
    ::testing::Values(
        VanishedCase{"Read", [](CoverRegister& r) { return r.Read(99).outcome; }},
        VanishedCase{"Update", [](CoverRegister& r) { return r.Update(99, Retyped()); }},
        VanishedCase{"ReadDiscard", [](CoverRegister& r) { return r.ReadDiscard(99).outcome; }},
        VanishedCase{"UpdateDiscard",
                     [](CoverRegister& r) { return r.UpdateDiscard(99, DiscardRecord{}); }},
        VanishedCase{"DeleteDiscard", [](CoverRegister& r) { return r.DeleteDiscard(99); }}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(CoverData, DiscardKeepsTheDayWithoutItsTime) {
    DiscardRecord discard;
    discard.cover = 2;
    discard.date = OleDate::FromParts(2024, 3, 5, 23, 59, 0);
    discard.kind = 0;
    discard.quantity = Quantity::FromScaled(15000);
    const std::optional<RecordId> id = covers.AddDiscard(discard);
    ASSERT_TRUE(id);
    DiscardRecord expected = discard;
    expected.date = OleDate::FromParts(2024, 3, 5);
    EXPECT_EQ(covers.ReadDiscard(*id).record, expected);

    discard.date = OleDate::FromParts(2024, 4, 1, 12, 0, 0);
    discard.kind = 1;
    discard.cover = 1; // the discard stays with its cover
    ASSERT_EQ(covers.UpdateDiscard(*id, discard), Outcome::Done);
    expected = {2, OleDate::FromParts(2024, 4, 1), 1, discard.quantity};
    EXPECT_EQ(covers.ReadDiscard(*id).record, expected);

    db.messages.yesNoAnswers = {false, true};
    EXPECT_EQ(covers.DeleteDiscard(*id), Outcome::Unchanged);
    EXPECT_EQ(covers.DeleteDiscard(*id), Outcome::Done);
    EXPECT_EQ(db.messages.shown.back(),
              (ShownMessage{"Opravdu si přejete odstranit ze seznamu obal vyřazený "
                            "„01.04.2024“?",
                            MsgIcon::Question}));
    EXPECT_EQ(db.Count("CoverDiscard"), 2);
}

TEST_F(CoverData, UnitWeightIsZeroForAGoneCover) {
    EXPECT_EQ(covers.UnitWeight(1), Quantity::FromUnits(5));
    EXPECT_EQ(covers.UnitWeight(99), Quantity::FromUnits(0));
    EXPECT_TRUE(db.messages.shown.empty());
}

} // namespace
} // namespace tarvo::test
