#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/registers/prodfilter.h"
#include "core/registers/productregister.h"
#include "core/registers/productrows.h"
#include "core/registers/propagationswitches.h"
#include "enginedata.h"

#include <functional>
#include <gtest/gtest.h>
#include <tuple>

namespace tarvo::test {
namespace {

OleDate At(int day, int hour = 0, int minute = 0, int second = 0) {
    return OleDate::FromParts(2024, 3, day, hour, minute, second);
}

// The dispatch cover lines a product's packaging gives, derived by one SQL
// statement of its own, independent of the engine: the definition valid at
// the dispatch, its lines that apply to the quantity, whole packs.
constexpr const char* ExpectedCoversSql = R"(
SELECT mp.mvprod_id || ':' || pc.cover_id || ':' ||
       ((CASE WHEN pc.cp_qtyprod < 0 THEN 10000
              WHEN pc.cp_qtyprod = 0 THEN 0
              ELSE (mp.mvprod_qty * 10000 / pc.cp_qtyprod) / 10000 * 10000 END)
            * pc.cp_qtycover / 10000) || ':' || pc.cover_type || pc.cover_org || pc.cover_pay
FROM Move_Prod mp JOIN Move m ON m.move_id = mp.move_id
JOIN Prod_Cover pc ON pc.dt_id =
     (SELECT d.dt_id FROM Prod_CoverDT d
      WHERE d.prod_id = mp.prod_id AND d.dt_from IS NOT NULL AND d.dt_from <= m.move_date
      ORDER BY d.dt_from DESC, d.dt_id DESC LIMIT 1)
WHERE mp.prod_id = %li AND
      (pc.cp_usealways <> 0 OR (pc.cp_usefrom <= mp.mvprod_qty AND pc.cp_useto >= mp.mvprod_qty))
ORDER BY mp.mvprod_id, pc.cp_id)";

constexpr const char* StoredCoversSql =
    "SELECT mvprod_id || ':' || cover_id || ':' || mvcover_qty || ':' || cover_type || "
    "cover_org || cover_pay FROM Move_Cover WHERE mvprod_id IN (SELECT mvprod_id FROM Move_Prod "
    "WHERE prod_id = %li) ORDER BY mvprod_id, mvcover_id";

// A product dispatched twice (before and after its second definition), a
// second product that no change of the first may touch, covers, and a
// composite cover of two items.
struct Packaging : EngineData {
    PropagationSwitches switches;
    RecordingNotifier notifier;
    RecordingProgress progress;
    ProductRegister reg{store, switches, notifier, progress};

    int64_t box = AddCover();
    int64_t foil = AddCover();
    int64_t prod = rows::Product(store, {"výrobek"});
    int64_t other = rows::Product(store, {"výrobek"});
    int64_t older = rows::Definition(store, prod, At(1));
    int64_t newer = rows::Definition(store, prod, At(10));
    int64_t moveEarly = AddMove(At(5, 12));
    int64_t moveLate = AddMove(At(20, 12));
    int64_t lineEarly = rows::MoveLine(store, moveEarly, prod, Q("250"));
    int64_t lineLate = rows::MoveLine(store, moveLate, prod, Q("40"));
    int64_t lineOther = rows::MoveLine(store, moveLate, other, Q("7"));
    int64_t composite = 0;

    Packaging() {
        AddLine(older, {.coverId = box, .qtyCover = "1", .qtyProd = "100"});
        AddLine(newer, {.coverId = foil, .qtyCover = "2", .qtyProd = "10", .type = 1});
        composite = rows::CompCover(store, {"sada"},
                                    {{box, Q("1"), Q("100"), true, {}, {}, 1, 2, 0},
                                     {foil, Q("3"), Q("1"), false, Q("1"), Q("50"), 3, 0, 1}});
        // Hand-made covers, which only a derivation replaces.
        AddMoveCover(moveEarly, lineEarly, foil, "99");
        AddMoveCover(moveLate, lineOther, box, "5");
    }

    std::vector<std::string> Rows(const char* sql) {
        std::vector<std::string> rows;
        Statement query(store, sql);
        while (query.Step())
            rows.push_back(query.Text(0));
        return rows;
    }
    // Everything a packaging change may touch, as text.
    std::vector<std::string> Snapshot() {
        std::vector<std::string> rows =
            Rows("SELECT 'dt ' || dt_id || ' ' || prod_id || ' ' || dt_from FROM Prod_CoverDT "
                 "UNION ALL SELECT 'cp ' || cp_id || ' ' || dt_id || ' ' || cover_id || ' ' || "
                 "cp_qtycover || ' ' || cp_qtyprod || ' ' || cp_usealways || ' ' || "
                 "IFNULL(cp_usefrom, '-') || ' ' || IFNULL(cp_useto, '-') || ' ' || cover_type || "
                 "cover_org || cover_pay FROM Prod_Cover ORDER BY 1");
        for (const std::string& row : Rows("SELECT mvcover_id || ' ' || mvprod_id || ' ' || "
                                           "cover_id || ' ' || mvcover_qty FROM Move_Cover"))
            rows.push_back("mc " + row);
        return rows;
    }
    // The dispatch covers of a product as stored, and as its packaging gives them.
    std::vector<std::string> Stored(int64_t prodId) {
        return Rows(Format(StoredCoversSql, static_cast<long>(prodId)).c_str());
    }
    std::vector<std::string> Expected(int64_t prodId) {
        return Rows(Format(ExpectedCoversSql, static_cast<long>(prodId)).c_str());
    }
    int64_t LineOf(int64_t dtId) {
        Statement query(store, "SELECT MIN(cp_id) FROM Prod_Cover WHERE dt_id = ?");
        query.BindInt(1, dtId);
        query.Step();
        return query.Int(0);
    }
    LineChoice SimpleLine() const {
        LineChoice choice;
        choice.line = {.cover = box,
                       .qtyCover = Q("3"),
                       .qtyProd = Q("50"),
                       .useAlways = false,
                       .useFrom = Q("1"),
                       .useTo = Q("300"),
                       .type = 2,
                       .origin = 1,
                       .payment = 0};
        return choice;
    }
};

// One change of packaging, as a person makes it in the products view.
struct Change {
    const char* name;
    std::function<Outcome(Packaging&)> run;
    bool notifiesWithSwitchOff; // bulk assignment does, as designed
};

const Change Changes[] = {
    {"add definition",
     [](Packaging& d) { return d.reg.AddDefinition(d.prod, At(15), NewDefinition::Empty); }, false},
    {"change date", [](Packaging& d) { return d.reg.ChangeDefinitionDate(d.newer, At(25)); },
     false},
    {"delete definition",
     [](Packaging& d) {
         d.messages.yesNoAnswers.push_back(true);
         return d.reg.DeleteDefinition(d.newer);
     },
     false},
    {"add line", [](Packaging& d) { return d.reg.AddLines(d.older, d.SimpleLine()); }, false},
    {"add composite",
     [](Packaging& d) {
         LineChoice choice;
         choice.compositeId = d.composite;
         return d.reg.AddLines(d.newer, choice);
     },
     false},
    {"edit line",
     [](Packaging& d) {
         const RecordId id = d.LineOf(d.newer);
         CoverLine line = *d.reg.ReadLine(id);
         line.qtyCover = Q("7");
         line.payment = 2;
         return d.reg.UpdateLine(id, line);
     },
     false},
    {"delete line",
     [](Packaging& d) {
         d.messages.yesNoAnswers.push_back(true);
         return d.reg.DeleteLine(d.LineOf(d.older));
     },
     false},
    {"bulk assignment",
     [](Packaging& d) {
         return d.reg.AssignToProducts({d.prod}, At(10, 18), d.SimpleLine(),
                                       NewDefinition::CopyPrevious)
                    ? Outcome::Done
                    : Outcome::Failed;
     },
     true},
};

void PrintTo(const Change& change, std::ostream* out) {
    *out << change.name;
}

class PackagingChange : public ::testing::TestWithParam<Change> {};

TEST_P(PackagingChange, SwitchOnDerivesTheProductsDispatchesAgainInTheSameUnit) {
    Packaging d;
    const std::vector<std::string> other = d.Stored(d.other);
    ASSERT_NE(d.Stored(d.prod), d.Expected(d.prod));
    EXPECT_EQ(GetParam().run(d), Outcome::Done);
    EXPECT_EQ(d.Stored(d.prod), d.Expected(d.prod));
    EXPECT_EQ(d.Stored(d.other), other);
    EXPECT_EQ(d.notifier.sent, std::vector{ViewNotification::ReloadCovers});
    for (const ShownMessage& message : d.messages.shown)
        EXPECT_NE(message.icon, MsgIcon::Error) << message.text;
}

TEST_P(PackagingChange, SwitchOffCarriesNothing) {
    Packaging d;
    d.switches.packagingToDispatches = false;
    const std::vector<std::string> before = d.Stored(d.prod);
    EXPECT_EQ(GetParam().run(d), Outcome::Done);
    EXPECT_EQ(d.Stored(d.prod), before);
    EXPECT_NE(d.Expected(d.prod), before);
    EXPECT_EQ(d.notifier.sent.size(), GetParam().notifiesWithSwitchOff ? 1u : 0u);
}

TEST_P(PackagingChange, AFailingDerivationLeavesPackagingAndDispatchesAsTheyWere) {
    Packaging d;
    // Writing a derived row fails after the packaging was written and the
    // old dispatch covers deleted: the whole unit is undone.
    for (const char* change : {"INSERT", "UPDATE", "DELETE"})
        d.Run(Format("CREATE TRIGGER fail_%s BEFORE %s ON Move_Cover BEGIN "
                     "SELECT RAISE(ABORT, 'disk full'); END",
                     change, change));
    const std::vector<std::string> before = d.Snapshot();
    EXPECT_EQ(GetParam().run(d), Outcome::Failed);
    EXPECT_EQ(d.Snapshot(), before);
    EXPECT_TRUE(d.notifier.sent.empty());
    ASSERT_FALSE(d.messages.shown.empty());
    EXPECT_NE(d.messages.shown.back().text.find("disk full"), std::string::npos);
    EXPECT_EQ(d.messages.shown.back().icon, MsgIcon::Error);
}

INSTANTIATE_TEST_SUITE_P(ProductRegister, PackagingChange, ::testing::ValuesIn(Changes),
                         [](const auto& param) {
                             std::string name = param.param.name;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

// The lines of a definition as stored, every column but the keys.
std::vector<std::string> RawLines(Packaging& d, int64_t dtId) {
    return d.Rows(Format("SELECT cover_id || ' ' || cp_qtycover || ' ' || cp_qtyprod || ' ' || "
                         "cp_usealways || ' ' || IFNULL(cp_usefrom, '-') || ' ' || "
                         "IFNULL(cp_useto, '-') || ' ' || cover_type || cover_org || cover_pay "
                         "FROM Prod_Cover WHERE dt_id = %li ORDER BY cp_id",
                         static_cast<long>(dtId))
                      .c_str());
}

TEST(ProductRegister, ANewDefinitionStartsAsACopyOfTheOneInForceJustBeforeIt) {
    // bulk, day of March, start, switch on
    const std::tuple<bool, int, NewDefinition, bool> cases[] = {
        {false, 15, NewDefinition::CopyPrevious, true},
        {false, 5, NewDefinition::CopyPrevious, true},
        {false, 15, NewDefinition::CopyPrevious, false},
        {false, 15, NewDefinition::Empty, true},
        {true, 15, NewDefinition::CopyPrevious, true},
    };
    for (const auto& [bulk, day, start, switchOn] : cases) {
        SCOPED_TRACE(testing::Message()
                     << bulk << day << (start == NewDefinition::Empty) << switchOn);
        Packaging d;
        d.switches.packagingToDispatches = switchOn;
        // A line used always that kept its limits, and the "always" flag as
        // older data stored it (-1): both copied exactly as they are.
        d.Run(Format("INSERT INTO Prod_Cover (dt_id, cover_id, cp_qtycover, cp_qtyprod, "
                     "cp_usealways, cp_usefrom, cp_useto, cover_type, cover_org, cover_pay) "
                     "VALUES (%li, 1, 10000, 10000, 1, 50000, 70000, 1, 2, 0), "
                     "(%li, 2, 30000, 10000, -1, NULL, NULL, 0, 1, 2)",
                     static_cast<long>(d.newer), static_cast<long>(d.newer)));
        // A definition without a day is never in force, so never copied.
        rows::Definition(d.store, d.prod, OleDate());
        const std::vector<std::string> storedBefore = d.Stored(d.prod);
        const std::vector<std::string> expectedBefore = d.Expected(d.prod);

        RecordId added = NoRecord;
        if (bulk) {
            EXPECT_EQ(d.reg.AssignToProducts({d.prod, d.other}, At(day), d.SimpleLine(), start),
                      (AssignSummary{2, 2, 2}));
        } else {
            d.reg.AddDefinition(d.prod, At(day), start, &added);
        }
        std::vector<std::string> lines;
        if (start == NewDefinition::CopyPrevious)
            lines = RawLines(d, day > 10 ? d.newer : d.older);
        if (bulk) {
            added = *DefinitionOnDay(d.store, d.prod, At(day));
            lines.push_back(
                Format("%li 30000 500000 0 10000 3000000 210", static_cast<long>(d.box)));
            // A product without packaging before has nothing to copy.
            EXPECT_EQ(RawLines(d, *DefinitionOnDay(d.store, d.other, At(day))),
                      std::vector<std::string>{lines.back()});
        }
        EXPECT_EQ(RawLines(d, added), lines);
        EXPECT_EQ(d.Stored(d.prod), switchOn ? d.Expected(d.prod) : storedBefore);
        // Copied, the dispatches from the new day on keep the covers they had.
        EXPECT_EQ(d.Expected(d.prod) == expectedBefore,
                  start == NewDefinition::CopyPrevious && !bulk);
    }
}

struct SameDayCase {
    OleDate existing;
    OleDate added;
    bool refused;
};

TEST(ProductRegister, AddingADefinitionOnADayThatHasOneIsRefusedWhateverTheTime) {
    const SameDayCase cases[] = {
        {At(5), At(5, 23, 59, 59), true},  {At(5, 23, 59, 59), At(5), true},
        {At(5, 12), At(5, 12), true},      {At(5, 23, 59, 59), At(6), false},
        {At(6), At(5, 23, 59, 59), false},
    };
    for (const SameDayCase& c : cases) {
        Packaging d;
        d.switches.packagingToDispatches = false;
        const int64_t dt = rows::Definition(d.store, d.other, c.existing);
        RecordId added = NoRecord;
        SCOPED_TRACE(std::to_string(c.existing.Value()) + " / " + std::to_string(c.added.Value()));
        EXPECT_EQ(d.reg.AddDefinition(d.other, c.added, NewDefinition::CopyPrevious, &added),
                  c.refused ? Outcome::Refused : Outcome::Done);
        EXPECT_EQ(d.Count(Format("Prod_CoverDT WHERE prod_id = %li", static_cast<long>(d.other))),
                  c.refused ? 1 : 2);
        if (c.refused) {
            const ShownMessage refusal{"Databáze již obsahuje datum „05.03.2024“!", MsgIcon::None};
            EXPECT_EQ(d.messages.shown, std::vector<ShownMessage>{refusal});
        } else {
            EXPECT_TRUE(d.messages.shown.empty());
            EXPECT_NE(added, dt);
        }
    }
}

TEST(ProductRegister, ChangingTheDateIsNotCheckedAndStopsWhenNothingChanged) {
    Packaging d;
    // Onto the day of the other definition: accepted, as designed.
    EXPECT_EQ(d.reg.ChangeDefinitionDate(d.newer, At(1, 8)), Outcome::Done);
    EXPECT_EQ(d.reg.ChangeDefinitionDate(d.newer, At(1, 8)), Outcome::Unchanged);
    EXPECT_EQ(d.notifier.sent.size(), 1u);
    EXPECT_EQ(d.reg.ReadDefinition(d.newer)->from, At(1, 8));
}

TEST(ProductRegister, ACompositeCoverBecomesOneOrdinaryLinePerItem) {
    Packaging d;
    d.switches.packagingToDispatches = false;
    LineChoice choice;
    choice.compositeId = d.composite;
    const std::vector<std::string> items =
        d.Rows("SELECT cover_id || ' ' || cp_qtycover || ' ' || cp_qtyprod || ' ' || "
               "cp_usealways || ' ' || IFNULL(cp_usefrom, '-') || ' ' || IFNULL(cp_useto, '-') "
               "|| ' ' || cover_type || cover_org || cover_pay FROM CompCover_Item ORDER BY rowid");
    const char* linesSql =
        "SELECT cover_id || ' ' || cp_qtycover || ' ' || cp_qtyprod || ' ' || cp_usealways || ' ' "
        "|| IFNULL(cp_usefrom, '-') || ' ' || IFNULL(cp_useto, '-') || ' ' || cover_type || "
        "cover_org || cover_pay FROM Prod_Cover WHERE dt_id = %li ORDER BY cp_id";

    // One definition; two products by bulk, twice: lines are added, never replaced.
    const RecordId fresh = rows::Definition(d.store, d.other, At(2));
    EXPECT_EQ(d.reg.AddLines(fresh, choice), Outcome::Done);
    EXPECT_EQ(d.Rows(Format(linesSql, static_cast<long>(fresh)).c_str()), items);

    for (int run = 0; run < 2; ++run)
        EXPECT_EQ(d.reg.AssignToProducts({d.other, d.prod}, At(2, 9), choice, NewDefinition::Empty),
                  (AssignSummary{2, run == 0 ? 1 : 0, 4}));
    std::vector<std::string> twice = items;
    twice.insert(twice.end(), items.begin(), items.end());
    std::vector<std::string> thrice = twice;
    thrice.insert(thrice.end(), items.begin(), items.end());
    EXPECT_EQ(d.Rows(Format(linesSql, static_cast<long>(fresh)).c_str()), thrice);
    const std::vector<std::string> prodDefinitions =
        d.Rows(Format("SELECT dt_id FROM Prod_CoverDT WHERE prod_id = %li AND dt_from >= %f AND "
                      "dt_from < %f",
                      static_cast<long>(d.prod), At(2).Value(), At(3).Value())
                   .c_str());
    ASSERT_EQ(prodDefinitions.size(), 1u);
    EXPECT_EQ(d.Rows(Format(linesSql, std::stol(prodDefinitions[0])).c_str()), twice);
    // Told twice, with the switch off.
    EXPECT_EQ(d.notifier.sent.size(), 2u);
}

TEST(ProductRegister, DeletingProductsDropsTheirPackagingAndKeepsTheirDispatches) {
    Packaging d;
    const std::vector<std::string> covers = d.Snapshot();
    EXPECT_EQ(d.reg.DeleteSelection({d.prod}), Outcome::Unchanged); // the user said No
    d.messages.yesNoAnswers.push_back(true);
    EXPECT_EQ(d.reg.DeleteSelection({d.prod, d.other}), Outcome::Done);
    EXPECT_EQ(d.Count("Prod_CoverDT"), 0);
    EXPECT_EQ(d.Count("Prod_Cover"), 0);
    EXPECT_EQ(d.Count("Product WHERE deleted <> 0"), 2);
    EXPECT_EQ(d.Count("Move_Prod"), 3);
    std::vector<std::string> after = d.Snapshot();
    EXPECT_TRUE(
        std::equal(after.begin(), after.end(), covers.end() - static_cast<long>(after.size())));
    EXPECT_EQ(d.messages.Texts(),
              std::vector<std::string>(2, "Opravdu si přejete odstranit vybrané produkty?"));
}

TEST(ProductRegister, RestoreBringsADeletedProductBackUnlessAnotherHasItsImportKey) {
    Packaging d;
    d.Run("INSERT INTO Product (prod_name, prod_source, prod_scrid, deleted) VALUES "
          "('starý dovoz', 1, 77, 1), ('nový dovoz', 1, 77, 0), ('jiný zdroj', 2, 77, 1)");
    const RecordId old = d.store.LastInsertId() - 2;
    d.Run("UPDATE Product SET deleted = 1 WHERE prod_id = " + std::to_string(d.other));
    ProdFilter withDeleted;
    withDeleted.withDeleted = true;
    IdList ids;
    ASSERT_TRUE(LoadProductIds(d.store, withDeleted, {1, false}, ids));
    EXPECT_EQ(MakeProductRows(d.store)->Read(ids.Ids()).front(),
              (RowCells{"77", "jiný zdroj (odstraněný)", "", ""}));
    ASSERT_TRUE(LoadProductIds(d.store, {}, {1, false}, ids));
    EXPECT_EQ(ids.Count(), 2);

    EXPECT_EQ(d.reg.RestoreSelection({old, d.other}), Outcome::Refused);
    EXPECT_EQ(d.messages.Texts(),
              std::vector<std::string>{"Produkt „starý dovoz“ nelze obnovit: produkt „nový "
                                       "dovoz“ v evidenci má stejné označení z importu."});
    EXPECT_EQ(d.Count("Product WHERE deleted <> 0"), 3);
    // By hand, and from another source under the same number: both come back.
    EXPECT_EQ(d.reg.RestoreSelection({d.other, old + 2, d.prod}), Outcome::Done);
    EXPECT_EQ(d.Count("Product WHERE deleted <> 0"), 1);
    EXPECT_EQ(d.reg.RestoreSelection({d.prod}), Outcome::Unchanged);
}

struct MissingCase {
    const char* name;
    std::function<Outcome(Packaging&)> run;
    Outcome outcome;
    ShownMessage message;
};

TEST(ProductRegister, NothingSelectedOrARecordGoneIsToldAndChangesNothing) {
    const ShownMessage noProduct{"Není vybrán produkt!", MsgIcon::Exclamation};
    const ShownMessage noDate{"Není vybráno datum!", MsgIcon::Exclamation};
    const ShownMessage noLine{"Není vybrán obal!", MsgIcon::Exclamation};
    const ShownMessage gone{"Záznam byl odstraněn jinou aplikací!", MsgIcon::Information};
    const MissingCase cases[] = {
        {"delete products", [](Packaging& d) { return d.reg.DeleteSelection({}); },
         Outcome::Unchanged, noProduct},
        {"bulk",
         [](Packaging& d) {
             return d.reg.AssignToProducts({}, At(1), {}, NewDefinition::CopyPrevious)
                        ? Outcome::Done
                        : Outcome::Refused;
         },
         Outcome::Refused, noProduct},
        {"add definition",
         [](Packaging& d) {
             return d.reg.AddDefinition(NoRecord, At(1), NewDefinition::CopyPrevious);
         },
         Outcome::Refused, noProduct},
        {"add line", [](Packaging& d) { return d.reg.AddLines(NoRecord, d.SimpleLine()); },
         Outcome::Refused, noDate},
        {"delete definition", [](Packaging& d) { return d.reg.DeleteDefinition(NoRecord); },
         Outcome::Refused, noDate},
        {"delete line", [](Packaging& d) { return d.reg.DeleteLine(NoRecord); }, Outcome::Refused,
         noLine},
        {"edit vanished product", [](Packaging& d) { return d.reg.Update(999, ProductRecord()); },
         Outcome::Vanished, gone},
        {"read vanished product", [](Packaging& d) { return d.reg.Read(999).outcome; },
         Outcome::Vanished, gone},
        {"change vanished date",
         [](Packaging& d) { return d.reg.ChangeDefinitionDate(999, At(1)); }, Outcome::Vanished,
         gone},
        {"add line to vanished date",
         [](Packaging& d) { return d.reg.AddLines(999, d.SimpleLine()); }, Outcome::Vanished, gone},
        {"edit vanished line", [](Packaging& d) { return d.reg.UpdateLine(999, CoverLine()); },
         Outcome::Vanished, gone},
        {"delete vanished line", [](Packaging& d) { return d.reg.DeleteLine(999); },
         Outcome::Vanished, gone},
    };
    for (const MissingCase& c : cases) {
        SCOPED_TRACE(c.name);
        Packaging d;
        const std::vector<std::string> before = d.Snapshot();
        EXPECT_EQ(c.run(d), c.outcome);
        EXPECT_EQ(d.messages.shown, std::vector<ShownMessage>{c.message});
        EXPECT_EQ(d.Snapshot(), before);
        EXPECT_TRUE(d.notifier.sent.empty());
    }
}

TEST(ProductRegister, ProductsAreWrittenAsTheDialogGaveThemAndReadBack) {
    Packaging d;
    ProductRecord record;
    record.name = "Džem 'Babička'";
    record.katalog = "K-1";
    record.unit = "ks";
    const std::optional<RecordId> id = d.reg.Add(record);
    ASSERT_TRUE(id);
    ProductRecord read = *d.reg.Read(*id);
    EXPECT_EQ(read, record); // no source: entered by hand
    read.unit = "kg";
    EXPECT_EQ(d.reg.Update(*id, read), Outcome::Done);
    EXPECT_EQ(d.Count("Product WHERE prod_unit = 'kg' AND prod_source IS NULL AND deleted = 0"), 1);
}

ProdFilter Name(const char* text, bool part = false, int packaging = ProdFilter::AllProducts) {
    ProdFilter filter;
    filter.useName = true;
    filter.name = text;
    filter.namePart = part;
    filter.packaging = packaging;
    return filter;
}

ProdFilter KatalogPart(const char* text) {
    ProdFilter filter;
    filter.useKatalog = true;
    filter.katalog = text;
    filter.katalogPart = true;
    return filter;
}

ProdFilter Unit(const char* text) {
    ProdFilter filter;
    filter.useUnit = true;
    filter.unit = text;
    return filter;
}

ProdFilter Packed(int packaging) {
    ProdFilter filter;
    filter.packaging = packaging;
    return filter;
}

struct FilterCase {
    const char* name;
    ProdFilter filter;
    std::vector<std::string> expected;
};

TEST(ProdFilter, SelectsByTextsAndPackaging) {
    // "bez řádků" has a definition without lines: it counts as without packaging.
    const FilterCase cases[] = {
        {"nothing", {}, {"bez řádků", "Džus 50% 'ovoce'", "výrobek", "výrobek", "ŽLUŤOUČKÝ kůň"}},
        {"exact name ignores Czech case", Name("žluťoučký KŮŇ"), {"ŽLUŤOUČKÝ kůň"}},
        {"exact name is not a part", Name("kůň"), {}},
        {"part of the name", Name("KŮŇ", true), {"ŽLUŤOUČKÝ kůň"}},
        {"apostrophe and percent are plain text", Name("50% 'ovoce'", true), {"Džus 50% 'ovoce'"}},
        {"exact with a wildcard character matches only itself", Name("Džus 50_ 'ovoce'"), {}},
        {"catalogue part", KatalogPart("b-"), {"ŽLUŤOUČKÝ kůň"}},
        {"unit exactly", Unit("KS"), {"Džus 50% 'ovoce'"}},
        {"only with packaging", Packed(ProdFilter::WithPackaging), {"výrobek"}},
        {"only without packaging",
         Packed(ProdFilter::WithoutPackaging),
         {"bez řádků", "Džus 50% 'ovoce'", "výrobek", "ŽLUŤOUČKÝ kůň"}},
        {"criteria combine", Name("výrobek", false, ProdFilter::WithoutPackaging), {"výrobek"}},
    };
    Packaging d;
    // Products without catalogue number and unit (NULL), as older imports left them.
    d.Run("INSERT INTO Product (prod_name, prod_katalog, prod_unit) VALUES "
          "('ŽLUŤOUČKÝ kůň', 'AB-1', 'kg'), ('Džus 50% ''ovoce''', 'x', 'ks'), "
          "('bez řádků', NULL, NULL), ('smazaný', NULL, NULL)");
    d.Run("UPDATE Product SET deleted = 1 WHERE prod_name = 'smazaný'");
    rows::Definition(d.store, d.store.LastInsertId() - 1, At(1));
    for (const FilterCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.filter.IsActive(), std::string(c.name) != "nothing");
        IdList ids;
        EXPECT_TRUE(LoadProductIds(d.store, c.filter, {1, false}, ids));
        std::vector<std::string> names;
        for (RecordId id : ids.Ids())
            names.push_back(d.reg.Read(id)->name);
        EXPECT_EQ(names, c.expected);
        EXPECT_TRUE(d.messages.shown.empty());
    }
}

std::vector<RowCells> Cells(IRowSource& source, const IdList& ids) {
    return source.Read(ids.Ids());
}

TEST(ProductRows, ListsShowTheirCellsInTheirOrder) {
    Packaging d;
    // NULL texts and a hand-entered product stored with source 0: older data.
    d.Run("INSERT INTO Product (prod_name, prod_katalog, prod_unit, prod_source, prod_scrid) "
          "VALUES ('dovoz', 'K2', 'ks', 1, 77), ('ruční', NULL, NULL, 0, 5)");
    d.Run("UPDATE Product SET deleted = 1 WHERE prod_id = " + std::to_string(d.other));
    const int64_t february =
        rows::Definition(d.store, d.prod, OleDate::FromParts(2024, 2, 1, 13, 0));
    d.AddLine(d.newer, {.coverId = d.box,
                        .qtyCover = "0,5",
                        .qtyProd = "4",
                        .useAlways = false,
                        .useFrom = "10",
                        .useTo = "99",
                        .type = 2,
                        .org = 1,
                        .pay = 2});
    // No upper limit, as older data stored it.
    d.AddLine(d.newer, {.coverId = d.box,
                        .qtyCover = "0,25",
                        .useAlways = false,
                        .useFrom = "100",
                        .useTo = "9999999999,9999",
                        .type = 2,
                        .org = 1,
                        .pay = 2});
    d.Run("UPDATE Cover SET cover_weight = 2"); // kilograms, as the SQL of the program writes them

    IdList ids;
    ASSERT_TRUE(LoadProductIds(d.store, {}, {0, true}, ids));
    const std::vector<RowCells> products = {
        {"77", "dovoz", "K2", "ks"}, {"", "ruční", "", ""}, {"", "výrobek", "", ""}};
    EXPECT_EQ(Cells(*MakeProductRows(d.store), ids), products);

    ASSERT_TRUE(LoadDefinitionIds(d.store, d.prod, ids));
    EXPECT_EQ(ids.Ids(), (std::vector<RecordId>{february, d.older, d.newer}));
    const std::vector<RowCells> dates = {{"01.02.2024"}, {"01.03.2024"}, {"10.03.2024"}};
    EXPECT_EQ(Cells(*MakeDefinitionRows(d.store), ids), dates);

    ASSERT_TRUE(LoadPackagingLineIds(d.store, d.newer, {1, true}, ids));
    const std::vector<RowCells> lines = {
        {"obal", "2,00", "4", "10,00", "-", "-", "skupinový", "dovezený do ČR", "neplacený"},
        {"obal", "0,50", "1", "4,00", "10,00", "99,00", "prodejní", "nakoupený v ČR",
         "předplacený"},
        {"obal", "0,25", "0,5", "1,00", "100,00", "", "prodejní", "nakoupený v ČR", "předplacený"}};
    EXPECT_EQ(Cells(*MakePackagingLineRows(d.store), ids), lines);
    EXPECT_TRUE(d.messages.shown.empty());
}

} // namespace
} // namespace tarvo::test
