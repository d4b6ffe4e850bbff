#include "core/data/statement.h"
#include "core/records/dispatches.h"
#include "core/records/products.h"
#include "testdatabase.h"

#include <gtest/gtest.h>

namespace tarvo::test {
namespace {

// A stored value with its storage class: "integer 42", "text ABC", "null ".
std::string Stored(TestDatabase& db, const char* sql, RecordId id) {
    CStatement st(db.store, sql);
    st.BindInt(1, id);
    return st.Step() ? st.Text(0) : "gone";
}

// The imports find their records again by source and source id: a record
// entered by hand stores neither, so no import ever takes it for its own.
TEST(ImportSources, ProductStoresItsSourceAndIdAsTheColumnAffinityMakesThem) {
    struct Case {
        int64_t source;
        std::optional<int64_t> number;
        std::optional<std::string> text;
        const char* stored; // source, then the id
    };
    const Case cases[] = {
        {0, std::nullopt, std::nullopt, "null  null "},
        {1, 1234, std::nullopt, "integer 1 integer 1234"},
        // A card's abbreviation stays text; one that reads as a whole
        // number is stored as that number, as the table import keys it.
        {3, std::nullopt, "ABC-1", "integer 3 text ABC-1"},
        {3, std::nullopt, "42", "integer 3 integer 42"},
    };
    TestDatabase db;
    ProductWriter writer(db.store);
    for (const Case& c : cases) {
        ProductRecord product{"Voda", "K1", "ks", c.source, c.number, c.text};
        EXPECT_EQ(Stored(db,
                         "SELECT typeof(prod_source) || ' ' || IFNULL(prod_source, '') || ' ' || "
                         "typeof(prod_scrid) || ' ' || IFNULL(prod_scrid, '') FROM Product "
                         "WHERE prod_id = ?",
                         writer.Insert(product)),
                  c.stored);
    }
}

TEST(ImportSources, DispatchStoresItsSourceOnlyWhenImported) {
    TestDatabase db;
    MoveWriter writer(db.store);
    const MoveRecord move{"FV-1", 0, OleDate::FromParts(2024, 3, 1), false};
    const char* sql = "SELECT typeof(move_source) || ' ' || IFNULL(move_source, '') FROM Move "
                      "WHERE move_id = ?";
    // Imported first, so a source left bound would show in the next row.
    EXPECT_EQ(Stored(db, sql, writer.Insert(move, 2)), "integer 2");
    EXPECT_EQ(Stored(db, sql, writer.Insert(move)), "null ");
    EXPECT_EQ(FindMove(db.store, writer.Insert(move, 1)), move);
}

} // namespace
} // namespace tarvo::test
