#include "core/data/rowlist.h"
#include "core/data/statement.h"
#include "core/registers/compcoverregister.h"
#include "core/registers/compcoverrows.h"
#include "rows.h"
#include "testdatabase.h"

#include <gtest/gtest.h>

namespace tarvo::test {
namespace {

Quantity Q(int64_t units) {
    return Quantity::FromUnits(units);
}

CoverLine Always(RecordId cover, int64_t qtyCover, int64_t qtyProd, int code = 0) {
    return {cover, Q(qtyCover), Q(qtyProd), true, {}, {}, code, code, code};
}

CoverLine Band(RecordId cover, int64_t from, int64_t to, int code = 1) {
    return {cover, Q(1), Q(10), false, Q(from), Q(to), code, code, code};
}

struct Registered : TestDatabase {
    CompCoverRegister register_{store};

    // The stored items of a composite cover, in the order they were written.
    std::vector<CoverLine> StoredItems(RecordId id) {
        Statement st(store, "SELECT cover_id, cp_qtycover, cp_qtyprod, cp_usealways, cp_usefrom, "
                            "cp_useto, cover_type, cover_org, cover_pay FROM CompCover_Item "
                            "WHERE ccover_id = ? ORDER BY rowid");
        st.BindInt(1, id);
        std::vector<CoverLine> items;
        while (st.Step()) {
            CoverLine item{st.Int(0),
                           st.GetQuantity(1),
                           st.GetQuantity(2),
                           st.Int(3) != 0,
                           {},
                           {},
                           static_cast<int>(st.Int(6)),
                           static_cast<int>(st.Int(7)),
                           static_cast<int>(st.Int(8))};
            if (!item.useAlways) {
                item.useFrom = st.GetQuantity(4);
                item.useTo = st.GetQuantity(5);
            }
            items.push_back(item);
        }
        return items;
    }

    // A stored composite cover made through the editor's steps.
    RecordId Make(const std::string& name, const std::vector<CoverLine>& items,
                  const std::string& note = "") {
        EXPECT_TRUE(register_.BeginEditing(NoRecord));
        for (const CoverLine& item : items)
            EXPECT_TRUE(register_.AddItem(item));
        const std::optional<RecordId> id = register_.Add({name, note});
        EXPECT_TRUE(id);
        return id.value_or(NoRecord);
    }

    std::vector<RecordId> ScratchIds() {
        std::vector<RecordId> ids;
        Statement st(store, "SELECT ti_id FROM TmpCover_Item ORDER BY ti_id");
        while (st.Step())
            ids.push_back(st.Int(0));
        return ids;
    }

    RecordId AddCover(const std::string& name, int grams) {
        return rows::Cover(store, {.name = name, .weight = Quantity::FromScaled(grams * 10)});
    }
};

struct AddCase {
    const char* what;
    std::vector<CoverLine> items;
};

TEST(CompCoverRegister, AddStoresTheRecordWithEveryScratchItem) {
    const AddCase cases[] = {
        {"one item used always", {Always(7, 2, 1)}},
        {"one item with a band", {Band(7, 0, 500)}},
        {"the same cover twice", {Always(7, 1, 1), Always(7, 3, 100, 2)}},
        {"three covers in the order added", {Band(9, 1, 2), Always(3, 1, 1), Band(5, 10, 20)}},
    };
    for (const AddCase& c : cases) {
        SCOPED_TRACE(c.what);
        Registered db;
        const RecordId id = db.Make("Paleta s fólií", c.items, "poznámka");
        const auto read = db.register_.Read(id);
        ASSERT_TRUE(read);
        EXPECT_EQ(*read, (CompCoverRecord{"Paleta s fólií", "poznámka"}));
        EXPECT_EQ(db.StoredItems(id), c.items);
        EXPECT_TRUE(db.messages.shown.empty());
    }
}

TEST(CompCoverRegister, EditingStartsFromTheStoredItemsAndReplacesThemOnSave) {
    Registered db;
    const RecordId other = db.Make("jiný", {Always(1, 1, 1)});
    const RecordId id = db.Make("sada", {Always(7, 2, 1), Band(8, 0, 100)});

    ASSERT_TRUE(db.register_.BeginEditing(id));
    std::vector<RecordId> scratch = db.ScratchIds();
    ASSERT_EQ(scratch.size(), 2u);
    EXPECT_EQ(*db.register_.ReadItem(scratch[0]), Always(7, 2, 1));
    EXPECT_EQ(*db.register_.ReadItem(scratch[1]), Band(8, 0, 100));

    // Change the first item to a band, drop the second, add a new one.
    EXPECT_EQ(db.register_.UpdateItem(scratch[0], Band(7, 5, 50, 2)), Outcome::Done);
    EXPECT_EQ(db.register_.DeleteItem(scratch[1]), Outcome::Done);
    ASSERT_TRUE(db.register_.AddItem(Always(9, 4, 1)));
    EXPECT_EQ(db.register_.Update(id, {"sada 2", "nová"}), Outcome::Done);

    EXPECT_EQ(db.StoredItems(id), (std::vector<CoverLine>{Band(7, 5, 50, 2), Always(9, 4, 1)}));
    EXPECT_EQ(db.register_.Read(id)->name, "sada 2");
    EXPECT_EQ(db.StoredItems(other), std::vector<CoverLine>{Always(1, 1, 1)});
    EXPECT_TRUE(db.messages.shown.empty());
}

TEST(CompCoverRegister, ItemChangedToAlwaysKeepsItsNewCodes) {
    Registered db;
    const RecordId id = db.Make("sada", {Band(7, 5, 50, 1)});
    ASSERT_TRUE(db.register_.BeginEditing(id));
    const RecordId item = db.ScratchIds().at(0);
    EXPECT_EQ(db.register_.UpdateItem(item, Always(7, 3, 2, 2)), Outcome::Done);
    EXPECT_EQ(*db.register_.ReadItem(item), Always(7, 3, 2, 2));
}

TEST(CompCoverRegister, FailureWhileWritingItemsLeavesTheOldState) {
    Registered db;
    const RecordId id = db.Make("sada", {Always(7, 2, 1), Band(8, 0, 100)});
    // Any item written beyond the two stored ones fails, as a full disk would.
    db.Run("CREATE TRIGGER fail AFTER INSERT ON CompCover_Item WHEN "
           "(SELECT COUNT(*) FROM CompCover_Item) > 2 "
           "BEGIN SELECT RAISE(ABORT, 'disk full'); END");

    ASSERT_TRUE(db.register_.BeginEditing(id));
    db.register_.AddItem(Always(9, 1, 1));
    EXPECT_EQ(db.register_.Update(id, {"přejmenovaná", ""}), Outcome::Failed);
    EXPECT_EQ(db.register_.Read(id)->name, "sada");
    EXPECT_EQ(db.StoredItems(id), (std::vector<CoverLine>{Always(7, 2, 1), Band(8, 0, 100)}));

    EXPECT_FALSE(db.register_.Add({"nová", ""}));
    EXPECT_EQ(db.Count("CompCover"), 1);
    EXPECT_EQ(db.Count("CompCover_Item"), 2);
    ASSERT_EQ(db.messages.shown.size(), 2u);
    EXPECT_EQ(db.messages.shown[0].icon, MsgIcon::Error);
}

struct VanishCase {
    const char* what;
    Outcome (*run)(Registered& db, RecordId id);
};

TEST(CompCoverRegister, RecordRemovedMeanwhileIsReportedAndNothingIsWritten) {
    const VanishCase cases[] = {
        {"update",
         [](Registered& db, RecordId id) {
             return db.register_.Update(id, {"x", ""});
         }},
        {"read", [](Registered& db, RecordId id) { return db.register_.Read(id).outcome; }},
        {"read item", [](Registered& db, RecordId) { return db.register_.ReadItem(999).outcome; }},
        {"update item",
         [](Registered& db, RecordId) { return db.register_.UpdateItem(999, Always(1, 1, 1)); }},
    };
    for (const VanishCase& c : cases) {
        SCOPED_TRACE(c.what);
        Registered db;
        const RecordId id = db.Make("sada", {Always(7, 2, 1)});
        db.Run("DELETE FROM CompCover");
        ASSERT_TRUE(db.register_.BeginEditing(NoRecord));
        EXPECT_EQ(c.run(db, id), Outcome::Vanished);
        EXPECT_EQ(db.messages.shown,
                  (std::vector<ShownMessage>{
                      {"Záznam byl odstraněn jinou aplikací!", MsgIcon::Information}}));
        EXPECT_EQ(db.Count("CompCover"), 0);
        EXPECT_EQ(db.Count("TmpCover_Item"), 0);
    }
}

struct DeleteCase {
    const char* what;
    std::vector<int> selected; // indexes of the three composite covers
    bool answer;
    Outcome outcome;
    std::vector<ShownMessage> shown;
    std::vector<int> left;
};

TEST(CompCoverRegister, DeleteRemovesTheSelectionWithItsItems) {
    const ShownMessage question{"Opravdu si přejete odstranit vybrané obaly?", MsgIcon::Question};
    const DeleteCase cases[] = {
        {"two of three", {0, 2}, true, Outcome::Done, {question}, {1}},
        {"answer No", {0, 2}, false, Outcome::Unchanged, {question}, {0, 1, 2}},
        {"nothing selected",
         {},
         true,
         Outcome::Unchanged,
         {{"Není vybrán obal!", MsgIcon::Exclamation}},
         {0, 1, 2}},
        {"all", {0, 1, 2}, true, Outcome::Done, {question}, {}},
    };
    for (const DeleteCase& c : cases) {
        SCOPED_TRACE(c.what);
        Registered db;
        const RecordId ids[] = {db.Make("a", {Always(1, 1, 1), Always(2, 1, 1)}),
                                db.Make("b", {Always(1, 1, 1)}), db.Make("c", {Band(3, 1, 2)})};
        // Left over from an earlier deletion: must not be deleted again.
        db.Run("INSERT INTO TmpID (id) VALUES (" + std::to_string(ids[1]) + ")");
        std::vector<RecordId> selected;
        for (int index : c.selected)
            selected.push_back(ids[index]);
        db.messages.yesNoAnswers.push_back(c.answer);

        EXPECT_EQ(db.register_.DeleteSelection(selected), c.outcome);
        EXPECT_EQ(db.messages.shown, c.shown);
        long items = 0;
        for (int index : c.left)
            items += static_cast<long>(db.StoredItems(ids[index]).size());
        EXPECT_EQ(db.Count("CompCover"), static_cast<long>(c.left.size()));
        EXPECT_EQ(db.Count("CompCover_Item"), items);
    }
}

struct FilterCase {
    const char* what;
    CompCoverFilter filter;
    ListSort sort;
    std::vector<std::string> names;
};

TEST(CompCoverRows, FilterAndSortOfTheList) {
    const FilterCase cases[] = {
        {"inactive, Czech order", {}, {}, {"50%", "Čep", "Krabice", "krabice velká", "Víko d'Or"}},
        {"descending", {}, {0, true}, {"Víko d'Or", "krabice velká", "Krabice", "Čep", "50%"}},
        {"by note", {}, {1, false}, {"Víko d'Or", "50%", "krabice velká", "Krabice", "Čep"}},
        {"exact name, any letter case", {.useName = true, .name = "KRABICE"}, {}, {"Krabice"}},
        {"name part",
         {.useName = true, .name = "krabice", .namePart = true},
         {},
         {"Krabice", "krabice velká"}},
        {"a percent sign is a character",
         {.useName = true, .name = "0%", .namePart = true},
         {},
         {"50%"}},
        {"an underscore is a character", {.useName = true, .name = "_", .namePart = true}, {}, {}},
        {"an apostrophe", {.useName = true, .name = "víko d'or"}, {}, {"Víko d'Or"}},
        {"note part, Czech letters in any case",
         {.useNote = true, .note = "PAPÍR", .notePart = true},
         {},
         {"Krabice", "krabice velká"}},
        {"both must hold",
         {.useName = true,
          .name = "velká",
          .namePart = true,
          .useNote = true,
          .note = "papír",
          .notePart = true},
         {},
         {"krabice velká"}},
        {"unused name text is ignored",
         {.name = "nic", .useNote = true, .note = "ŽELEZO"},
         {},
         {"Čep"}},
    };
    Registered db;
    db.Make("Krabice", {}, "papír a lepenka");
    db.Make("krabice velká", {}, "Papír");
    db.Make("50%", {}, "kov");
    db.Make("Víko d'Or", {}, "");
    db.Make("Čep", {}, "železo");
    RowList list(db.messages, MakeCompCoverRows(db.store));
    for (const FilterCase& c : cases) {
        SCOPED_TRACE(c.what);
        IdList ids;
        ASSERT_TRUE(LoadCompCoverIds(db.store, c.filter, c.sort, ids));
        list.SetIds(std::move(ids));
        std::vector<std::string> names;
        for (int row = 0; row < list.Count(); ++row)
            names.push_back(list.Cell(row, 0));
        EXPECT_EQ(names, c.names);
    }
    EXPECT_TRUE(db.messages.shown.empty());
}

TEST(CompCoverRows, ItemListShowsNineColumnsInCoverNameOrder) {
    Registered db;
    const RecordId box = db.AddCover("Krabice", 420);
    const RecordId foil = db.AddCover("Fólie", 35);
    const RecordId pallet = db.AddCover("Čtyřcestná paleta", 25000);
    ASSERT_TRUE(db.register_.BeginEditing(NoRecord));
    db.register_.AddItem(Always(box, 2, 12, 0));
    db.register_.AddItem({pallet, Q(1), Q(480), false, Q(100), Q(1000), 1, 2, 0});
    db.register_.AddItem(Always(foil, 3, 480, 2));
    db.register_.AddItem(Always(box, 1, 1, 1));

    IdList ids;
    ASSERT_TRUE(LoadCoverItemIds(db.store, ids));
    RowList list(db.messages, MakeCoverItemRows(db.store));
    ASSERT_EQ(list.ColumnCount(), 9);
    list.SetIds(std::move(ids));
    std::vector<RowCells> rows;
    for (int row = 0; row < list.Count(); ++row)
        rows.push_back(*list.Cells(row));
    const std::vector<RowCells> expected = {
        {"Čtyřcestná paleta", "1,00", "25", "480,00", "100,00", "1000,00", "skupinový",
         "vyrobený v ČR", "neplacený"},
        {"Fólie", "3,00", "0,105", "480,00", "-", "-", "prodejní", "vyrobený v ČR", "předplacený"},
        {"Krabice", "2,00", "0,84", "12,00", "-", "-", "přepravní", "dovezený do ČR", "neplacený"},
        {"Krabice", "1,00", "0,42", "1,00", "-", "-", "skupinový", "nakoupený v ČR", "zpoplatněný"},
    };
    EXPECT_EQ(rows, expected);
    EXPECT_TRUE(db.messages.shown.empty());
}

} // namespace
} // namespace tarvo::test
