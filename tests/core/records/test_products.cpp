#include "core/data/statement.h"
#include "core/records/products.h"
#include "testdatabase.h"

#include <gtest/gtest.h>

namespace tarvo::test {
namespace {

// The identifier in the source goes in as the imports have it and comes back
// in the kind it was stored as: a number column keeps a number given as text
// as the number, any other text as the text, an exact text as it is.
struct SourceIdCase {
    const char* name;
    std::optional<ProductSourceId> given;
    const char* storedType;
    std::optional<ProductSourceId> read;
};

const SourceIdCase SourceIdCases[] = {
    {"none", std::nullopt, "null", std::nullopt},
    {"number", int64_t{1001}, "integer", int64_t{1001}},
    {"card abbreviation", std::string("ABC-7"), "text", std::string("ABC-7")},
    {"number as text", std::string("1001"), "integer", int64_t{1001}},
    // A Money card's abbreviation "0123" is not the card "123".
    {"exact text", ExactText{"0123"}, "blob", ExactText{"0123"}},
};

class ProductSourceIds : public ::testing::TestWithParam<SourceIdCase> {};

TEST_P(ProductSourceIds, AreStoredAndReadInTheirKind) {
    TestDatabase db;
    const SourceIdCase& c = GetParam();
    const RecordId id = ProductWriter(db.store).Insert({"Sušenky", "S-1", "ks", 1, c.given});
    Statement st(db.store, "SELECT typeof(prod_scrid) FROM Product WHERE prod_id = ?");
    st.BindInt(1, id);
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(st.Text(0), c.storedType);
    EXPECT_EQ(FindProduct(db.store, id)->sourceId, c.read);
    EXPECT_EQ(AllProducts(db.store).at(0).record.sourceId, c.read);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ProductSourceIds, ::testing::ValuesIn(SourceIdCases),
                         [](const ::testing::TestParamInfo<SourceIdCase>& param) {
                             std::string name = param.param.name;
                             std::erase(name, ' ');
                             return name;
                         });

TEST(ProductRevival, ADeletedProductIsListedAndComesBackWithoutPackaging) {
    TestDatabase db;
    ProductWriter products(db.store);
    const RecordId kept = products.Insert({"Džem", "D-1", "ks", 0, std::nullopt});
    const RecordId gone = products.Insert({"Med", "M-1", "kg", 2, int64_t{5}});
    const RecordId dtId = DefinitionWriter(db.store).Insert({gone, OleDate::FromParts(2024, 1, 1)});
    CoverLineWriter(db.store, CoverLineTable::Packaging).Insert(dtId, {});
    // By the day they start, not the order they were added in.
    const RecordId earlier =
        DefinitionWriter(db.store).Insert({gone, OleDate::FromParts(2023, 6, 1)});
    ASSERT_EQ(DefinitionsOf(db.store, gone).size(), 2u);
    EXPECT_EQ(DefinitionsOf(db.store, gone).front().dtId, earlier);
    MarkProductsDeleted(db.store, {gone});

    std::vector<StoredProduct> all = AllProducts(db.store);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].id, kept);
    EXPECT_FALSE(all[0].deleted);
    EXPECT_TRUE(all[1].deleted);

    ReviveProduct(db.store, gone);
    EXPECT_FALSE(AllProducts(db.store)[1].deleted);
    EXPECT_TRUE(DefinitionsOf(db.store, gone).empty());
    EXPECT_EQ(db.Count("Prod_Cover"), 0);
}

} // namespace
} // namespace tarvo::test
