#include "../engine/enginedata.h"
#include "core/data/statement.h"
#include "core/registers/moveregister.h"

#include <functional>
#include <gtest/gtest.h>

namespace tarvo::test {
namespace {

constexpr const char* RecordGone = "Záznam byl odstraněn jinou aplikací!";

OleDate Day(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return OleDate::FromParts(year, month, day, hour, minute, second);
}

// Two dispatches of one product whose packaging changed on 1 January 2020:
// one cover per piece before, two covers per piece from then on.
struct Dispatches : EngineData {
    MoveRegister reg{store};
    int64_t oldCover = AddCover();
    int64_t newCover = AddCover();
    int64_t product = rows::Product(store, {"výrobek"});
    int64_t move = AddMove(Day(2021, 6, 15, 10, 30));
    int64_t other = AddMove(Day(2019, 3, 1));

    Dispatches() {
        AddLine(rows::Definition(store, product, Day(2010, 1, 1)), {.coverId = oldCover});
        AddLine(rows::Definition(store, product, Day(2020, 1, 1)),
                {.coverId = newCover, .qtyCover = "2"});
    }

    long Rows(const std::string& where) { return Count("Move_Cover WHERE " + where); }
    std::string LineQuantity(int64_t line) {
        Statement st(store, "SELECT mvprod_qty FROM Move_Prod WHERE mvprod_id = ?");
        st.BindInt(1, line);
        return st.Step() ? QuantityToPlainText(st.GetQuantity(0)) : "gone";
    }
    // From now on every new cover line fails: a derivation fails after the
    // line's own writes (the product line, its quantity, the deletion of its
    // old covers) are done.
    void FailCoverInserts() {
        Run("CREATE TRIGGER fail_covers BEFORE INSERT ON Move_Cover BEGIN SELECT RAISE(ABORT, "
            "'disk full'); END");
    }
};

TEST(MoveRegister, HeaderAddReadUpdateKeepsLinesAndTheirCovers) {
    Dispatches d;
    MoveRecord record{"FV-2021/17", 2, Day(2021, 12, 31, 23, 59, 59), true};
    const ReadResult<RecordId> id = d.reg.Add(record);
    ASSERT_TRUE(id);
    EXPECT_EQ(d.Count("Move WHERE move_source IS NULL AND move_id = " + std::to_string(*id)), 1);
    EXPECT_EQ(d.reg.Read(*id).record, record);

    const std::optional<RecordId> line = d.reg.AddLine(*id, d.product, Q("3"));
    ASSERT_TRUE(line);
    record.date = Day(2015, 1, 1);
    record.type = -1;
    EXPECT_EQ(d.reg.Update(*id, record), Outcome::Done);
    EXPECT_EQ(d.reg.Read(*id).record, record);
    // A new date does not derive the covers again.
    EXPECT_EQ(d.Covers(*line), (std::vector<CoverRow>{{d.newCover, "6", 0, 0, 0}}));
    EXPECT_TRUE(d.messages.shown.empty());
}

TEST(MoveRegister, ANumberAnotherDispatchHasIsRefusedWhateverItsLetterCase) {
    Dispatches d; // its two dispatches share "V1", as older imports left some
    const RecordId taken = rows::Move(d.store, {"FV-Ž02", 0, Day(2024, 3, 12, 23, 59, 59)});
    const auto refusal = [](const std::string& typed) {
        return ShownMessage{"Číslo dokladu „" + typed +
                                "“ již má výdej „FV-Ž02“ ze dne "
                                "12.03.2024. Zadejte jiné číslo dokladu.",
                            MsgIcon::Exclamation};
    };
    EXPECT_EQ(d.reg.Update(d.move, {"fv-ž02"}), Outcome::Refused);
    EXPECT_EQ(d.reg.Add({"FV-Ž02"}).outcome, Outcome::Refused);
    EXPECT_EQ(d.messages.shown, (std::vector{refusal("fv-ž02"), refusal("FV-Ž02")}));
    EXPECT_EQ(d.Count("Move"), 3);
    EXPECT_EQ(d.reg.Read(d.move)->number, "V1");
    // Its own number in another case, a shared number kept, empty numbers.
    d.messages.shown.clear();
    EXPECT_EQ(d.reg.Update(taken, {"fv-ž02"}), Outcome::Done);
    EXPECT_EQ(d.reg.Update(d.move, {"V1", 1, Day(2022, 1, 1)}), Outcome::Done);
    EXPECT_TRUE(d.reg.Add({}) && d.reg.Add({}));
    EXPECT_TRUE(d.messages.shown.empty());
}

TEST(MoveRegister, VanishedRecordsAreToldAndLeftAlone) {
    Dispatches d;
    const int64_t line = rows::MoveLine(d.store, d.move, d.product, Q("1"));
    d.AddMoveCover(d.move, line, d.oldCover, "1");
    const struct {
        const char* what;
        std::function<Outcome(MoveRegister&)> run;
    } cases[] = {
        {"read dispatch", [](MoveRegister& r) { return r.Read(999).outcome; }},
        {"update dispatch", [](MoveRegister& r) { return r.Update(999, MoveRecord{}); }},
        {"read line", [](MoveRegister& r) { return r.ReadLine(999).outcome; }},
        {"line quantity", [](MoveRegister& r) { return r.UpdateLineQuantity(999, Q("2")); }},
        {"delete line", [](MoveRegister& r) { return r.DeleteLine(999); }},
        {"read cover line", [](MoveRegister& r) { return r.ReadCoverLine(999).outcome; }},
        {"cover quantity", [](MoveRegister& r) { return r.UpdateCoverLineQuantity(999, Q("2")); }},
        {"delete cover line", [](MoveRegister& r) { return r.DeleteCoverLine(999); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        d.messages.shown.clear();
        EXPECT_EQ(c.run(d.reg), Outcome::Vanished);
        EXPECT_EQ(d.messages.shown,
                  (std::vector<ShownMessage>{{RecordGone, MsgIcon::Information}}));
        EXPECT_EQ(d.Count("Move"), 2);
        EXPECT_EQ(d.Count("Move_Prod"), 1);
        EXPECT_EQ(d.Count("Move_Cover"), 1);
    }
}

TEST(MoveRegister, DeletingASelectionRemovesOnlyItsDispatchesWithTheirLines) {
    const struct {
        const char* what;
        bool selectFirst, selectSecond;
        bool answer;
        Outcome outcome;
        long moves, lines, covers;
        std::vector<std::string> texts;
    } cases[] = {
        {"nothing selected",
         false,
         false,
         true,
         Outcome::Unchanged,
         3,
         3,
         5,
         {"Není vybrán doklad!"}},
        {"answer No",
         true,
         true,
         false,
         Outcome::Unchanged,
         3,
         3,
         5,
         {"Opravdu si přejete odstranit vybrané výdeje?"}},
        {"one",
         true,
         false,
         true,
         Outcome::Done,
         2,
         1,
         2,
         {"Opravdu si přejete odstranit vybrané výdeje?"}},
        {"two",
         true,
         true,
         true,
         Outcome::Done,
         1,
         0,
         0,
         {"Opravdu si přejete odstranit vybrané výdeje?"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Dispatches d;
        const int64_t third = d.AddMove(Day(2022, 1, 1));
        // The first dispatch: two lines with two covers and one; the second:
        // one line with two covers; the third: nothing.
        const int64_t first = rows::MoveLine(d.store, d.move, d.product, Q("1"));
        d.AddMoveCover(d.move, first, d.oldCover, "1");
        d.AddMoveCover(d.move, first, d.newCover, "1");
        d.AddMoveCover(d.move, rows::MoveLine(d.store, d.move, d.product, Q("2")), d.oldCover, "1");
        const int64_t second = rows::MoveLine(d.store, d.other, d.product, Q("1"));
        d.AddMoveCover(d.other, second, d.oldCover, "1");
        d.AddMoveCover(d.other, second, d.newCover, "1");
        std::vector<RecordId> ids;
        if (c.selectFirst)
            ids.push_back(d.move);
        if (c.selectSecond)
            ids.push_back(d.other);
        d.messages.yesNoAnswers = {c.answer};
        EXPECT_EQ(d.reg.DeleteSelection(ids), c.outcome);
        EXPECT_EQ(d.messages.Texts(), c.texts);
        EXPECT_EQ(d.Count("Move"), c.moves);
        EXPECT_EQ(d.Count("Move_Prod"), c.lines);
        EXPECT_EQ(d.Count("Move_Cover"), c.covers);
        EXPECT_EQ(d.Count("Move WHERE move_id = " + std::to_string(third)), 1);
    }
}

TEST(MoveRegister, NewLineDerivesItsCoversFromThePackagingOfTheDispatchDate) {
    const struct {
        const char* what;
        bool dispatchThere;
        OleDate date;
        bool newPackaging;
        const char* expectedQty;
    } cases[] = {
        {"after the change", true, Day(2021, 6, 15), true, "6"},
        {"before the change", true, Day(2019, 12, 31, 23, 59, 59), false, "3"},
        // Nobody can tell its date any more: the line takes the present
        // moment, so the packaging valid now.
        {"dispatch removed meanwhile", false, Day(2019, 1, 1), true, "6"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Dispatches d;
        const int64_t move = d.AddMove(c.date);
        if (!c.dispatchThere)
            d.Run("DELETE FROM Move WHERE move_id = " + std::to_string(move));
        const std::optional<RecordId> line = d.reg.AddLine(move, d.product, Q("3"));
        ASSERT_TRUE(line);
        EXPECT_EQ(d.reg.ReadLine(*line).record, (MoveLineRecord{move, d.product, Q("3")}));
        EXPECT_EQ(d.Covers(*line), (std::vector<CoverRow>{{c.newPackaging ? d.newCover : d.oldCover,
                                                           c.expectedQty, 0, 0, 0}}));
        EXPECT_EQ(d.Rows("move_id = " + std::to_string(move)), 1);
        EXPECT_TRUE(d.messages.shown.empty());
    }
}

TEST(MoveRegister, LineQuantityChangeDerivesAllItsCoversAgainOrNothing) {
    const struct {
        const char* what;
        const char* newQty;
        bool fail;
        Outcome outcome;
        const char* storedQty;
        std::vector<std::string> coverQtys; // the line's covers afterwards
    } cases[] = {
        // The hand-made cover line goes with the others.
        {"new quantity", "5", false, Outcome::Done, "5", {"10"}},
        {"same quantity", "3", false, Outcome::Unchanged, "3", {"6", "1"}},
        {"same quantity written otherwise", "3,0000", false, Outcome::Unchanged, "3", {"6", "1"}},
        // A failure halfway through the derivation keeps the old quantity
        // and every old cover line, the hand-made one included.
        {"failure halfway", "5", true, Outcome::Failed, "3", {"6", "1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Dispatches d;
        const RecordId line = *d.reg.AddLine(d.move, d.product, Q("3"));
        d.AddMoveCover(d.move, line, d.oldCover, "1");
        const RecordId untouched = *d.reg.AddLine(d.move, d.product, Q("4"));
        if (c.fail)
            d.FailCoverInserts();
        EXPECT_EQ(d.reg.UpdateLineQuantity(line, Q(c.newQty)), c.outcome);
        EXPECT_EQ(d.LineQuantity(line), c.storedQty);
        std::vector<std::string> quantities;
        for (const CoverRow& row : d.Covers(line))
            quantities.push_back(row.qty);
        EXPECT_EQ(quantities, c.coverQtys);
        EXPECT_EQ(d.Covers(untouched).size(), 1u);
        EXPECT_EQ(d.messages.shown.size(), c.fail ? 1u : 0u);
        if (c.fail) {
            EXPECT_EQ(d.messages.shown.front().icon, MsgIcon::Error);
        }
    }
}

TEST(MoveRegister, ANewLineWhoseDerivationFailsIsNotStored) {
    Dispatches d;
    d.FailCoverInserts();
    EXPECT_FALSE(d.reg.AddLine(d.move, d.product, Q("3")));
    EXPECT_EQ(d.Count("Move_Prod"), 0);
    EXPECT_EQ(d.Count("Move_Cover"), 0);
    EXPECT_EQ(d.messages.shown.size(), 1u);
}

TEST(MoveRegister, DeletingALineNamesItsProductAndTakesItsCovers) {
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes);
        Dispatches d;
        const RecordId line = *d.reg.AddLine(d.move, d.product, Q("3"));
        d.AddMoveCover(d.move, line, d.oldCover, "1");
        const RecordId kept = *d.reg.AddLine(d.move, d.product, Q("1"));
        d.messages.yesNoAnswers = {yes};
        EXPECT_EQ(d.reg.DeleteLine(line), yes ? Outcome::Done : Outcome::Unchanged);
        EXPECT_EQ(d.messages.shown,
                  (std::vector<ShownMessage>{
                      {"Opravdu si přejete odstranit ze seznamu produkt\n„výrobek“?",
                       MsgIcon::Question}}));
        EXPECT_EQ(d.Covers(line).size(), yes ? 0u : 2u);
        EXPECT_EQ(d.LineQuantity(line), yes ? "gone" : "3");
        EXPECT_EQ(d.Covers(kept).size(), 1u);
    }
}

TEST(MoveRegister, CoverLinesByHand) {
    Dispatches d;
    const RecordId line = *d.reg.AddLine(d.move, d.product, Q("3"));
    const MoveCoverRecord typed{NoRecord, NoRecord, d.oldCover, Q("2,5"), 1, 2, 0};
    ASSERT_EQ(d.reg.AddCoverLine(line, typed), Outcome::Done);
    const RecordId added = d.store.LastInsertId();
    // The line and the dispatch come from the product line, not the caller.
    EXPECT_EQ(d.reg.ReadCoverLine(added).record,
              (MoveCoverRecord{d.move, line, d.oldCover, Q("2,5"), 1, 2, 0}));

    const struct {
        const char* qty;
        Outcome outcome;
    } edits[] = {{"2,5", Outcome::Unchanged}, {"4", Outcome::Done}, {"-1", Outcome::Done}};
    for (const auto& e : edits) {
        SCOPED_TRACE(e.qty);
        EXPECT_EQ(d.reg.UpdateCoverLineQuantity(added, Q(e.qty)), e.outcome);
        EXPECT_EQ(d.reg.ReadCoverLine(added).record,
                  (MoveCoverRecord{d.move, line, d.oldCover, Q(e.qty), 1, 2, 0}));
    }
    d.messages.yesNoAnswers = {true};
    EXPECT_EQ(d.reg.DeleteCoverLine(added), Outcome::Done);
    EXPECT_EQ(d.messages.Texts(),
              std::vector<std::string>{"Opravdu si přejete odstranit ze seznamu obal\n„obal“?"});
    EXPECT_EQ(d.Covers(line).size(), 1u);
}

TEST(MoveRegister, ACoverLineForAVanishedProductLineClearsWhatItLeft) {
    Dispatches d;
    const RecordId line = *d.reg.AddLine(d.move, d.product, Q("3"));
    d.Run("DELETE FROM Move_Prod WHERE mvprod_id = " + std::to_string(line));
    EXPECT_EQ(d.reg.AddCoverLine(line, {NoRecord, NoRecord, d.oldCover, Q("1"), 0, 0, 0}),
              Outcome::Vanished);
    EXPECT_EQ(d.messages.shown,
              (std::vector<ShownMessage>{
                  {"Údaje o produktu byly odstraněny jinou aplikací!", MsgIcon::Information}}));
    EXPECT_EQ(d.Count("Move_Cover"), 0);
}

} // namespace
} // namespace tarvo::test
