#include "core/records/products.h"

#include "core/data/cdatastore.h"
#include "core/data/statement.h"
#include "core/records/findbyid.h"
#include "core/records/selection.h"

namespace tarvo {

namespace {

// The columns FindProduct and AllProducts read, the identifier in the source
// with its storage type so that a number and a text come back as they went
// in.
constexpr const char* ProductSelect = "SELECT prod_name, prod_katalog, prod_unit, prod_source, "
                                      "prod_scrid, typeof(prod_scrid), prod_id, deleted "
                                      "FROM Product";

ProductRecord ReadProduct(const Statement& st) {
    ProductRecord product;
    product.name = st.Text(0);
    product.katalog = st.Text(1);
    product.unit = st.Text(2);
    product.source = st.IsNull(3) ? 0 : st.Int(3);
    if (st.IsNull(4))
        product.sourceId = std::nullopt;
    else if (st.Text(5) == "integer")
        product.sourceId = st.Int(4);
    else if (st.Text(5) == "blob")
        product.sourceId = ExactText{st.Text(4)};
    else
        product.sourceId = st.Text(4);
    return product;
}

} // namespace

ProductWriter::ProductWriter(CDataStore& store)
    : m_insert(store, "INSERT INTO Product (prod_name, prod_katalog, prod_unit, "
                      "prod_source, prod_scrid) VALUES (?, ?, ?, ?, ?)") {}

RecordId ProductWriter::Insert(const ProductRecord& product) {
    Statement& st = m_insert.Prepared();
    st.BindText(1, product.name).BindText(2, product.katalog).BindText(3, product.unit);
    if (product.source == 0)
        st.BindNull(4);
    else
        st.BindInt(4, product.source);
    if (!product.sourceId)
        st.BindNull(5);
    else if (const int64_t* number = std::get_if<int64_t>(&*product.sourceId))
        st.BindInt(5, *number);
    else if (const ExactText* exact = std::get_if<ExactText>(&*product.sourceId))
        st.BindBlob(5, exact->text);
    else
        st.BindText(5, std::get<std::string>(*product.sourceId));
    return m_insert.Run();
}

std::optional<ProductRecord> FindProduct(CDataStore& store, RecordId id) {
    return FindById(store, std::string(ProductSelect) + " WHERE (prod_id = ?)", id,
                    [](const Statement& st) { return ReadProduct(st); });
}

std::vector<StoredProduct> AllProducts(CDataStore& store) {
    std::vector<StoredProduct> products;
    Statement st(store, std::string(ProductSelect) + " ORDER BY prod_id");
    while (st.Step())
        products.push_back({st.Int(6), ReadProduct(st), st.Int(7) != 0});
    return products;
}

bool ProductExists(CDataStore& store, RecordId id) {
    Statement st(store, "SELECT 1 FROM Product WHERE (prod_id = ?)");
    st.BindInt(1, id);
    return st.Step();
}

void UpdateProduct(CDataStore& store, RecordId id, const ProductRecord& product) {
    Statement st(store, "UPDATE Product SET prod_name = ?, prod_katalog = ?, prod_unit = ? "
                        "WHERE (prod_id = ?)");
    st.BindText(1, product.name)
        .BindText(2, product.katalog)
        .BindText(3, product.unit)
        .BindInt(4, id)
        .Run();
}

void MarkProductsDeleted(CDataStore& store, const std::vector<RecordId>& ids) {
    SelectIds(store, ids);
    // Lines first: they are found through the definitions.
    store.ExecuteOrThrow("DELETE FROM Prod_Cover WHERE (dt_id IN (SELECT dt_id FROM "
                         "Prod_CoverDT WHERE (prod_id IN (SELECT id FROM TmpID))))");
    store.ExecuteOrThrow("DELETE FROM Prod_CoverDT WHERE (prod_id IN (SELECT id FROM TmpID))");
    store.ExecuteOrThrow(
        "UPDATE Product SET deleted = true WHERE (prod_id IN (SELECT id FROM TmpID))");
}

void ReviveProduct(CDataStore& store, RecordId id) {
    Statement st(store, "UPDATE Product SET deleted = 0 WHERE (prod_id = ?)");
    st.BindInt(1, id).Run();
}

DefinitionWriter::DefinitionWriter(CDataStore& store)
    : m_insert(store, "INSERT INTO Prod_CoverDT (prod_id, dt_from) VALUES (?, ?)") {}

RecordId DefinitionWriter::Insert(const DefinitionRecord& definition) {
    Statement& st = m_insert.Prepared();
    st.BindInt(1, definition.prodId).BindDate(2, definition.from);
    return m_insert.Run();
}

std::optional<DefinitionRecord> FindDefinition(CDataStore& store, RecordId dtId) {
    return FindById(store, "SELECT prod_id, dt_from FROM Prod_CoverDT WHERE (dt_id = ?)", dtId,
                    [](const Statement& st) {
                        return DefinitionRecord{st.Int(0), st.Date(1)};
                    });
}

std::vector<PackagingDefinition> DefinitionsOf(CDataStore& store, RecordId prodId) {
    // Cached: a bulk path asks for the definitions of every product it
    // finds again.
    Statement& st = store.Cached(
        "SELECT dt_id, dt_from FROM Prod_CoverDT WHERE prod_id = ? ORDER BY dt_from, dt_id");
    st.BindInt(1, prodId);
    std::vector<PackagingDefinition> definitions;
    while (st.Step())
        definitions.push_back({st.Int(0), st.IsNull(1) ? OleDate() : st.Date(1)});
    return definitions;
}

std::optional<RecordId> DefinitionOnDay(CDataStore& store, RecordId prodId, const OleDate& from) {
    Statement st(store, "SELECT dt_id FROM Prod_CoverDT WHERE (prod_id = ?) AND "
                        "DATEDIFF(\"d\", ?, dt_from)=0 ORDER BY dt_id");
    st.BindInt(1, prodId).BindDate(2, from);
    if (!st.Step())
        return std::nullopt;
    return st.Int(0);
}

std::optional<RecordId> DefinitionBefore(CDataStore& store, RecordId prodId, const OleDate& from) {
    std::optional<RecordId> before;
    if (!from.IsValid())
        return before;
    for (const PackagingDefinition& definition : DefinitionsOf(store, prodId)) {
        if (!definition.from.IsValid())
            continue;
        if (definition.from.Value() >= from.Value())
            break;
        before = definition.dtId;
    }
    return before;
}

void UpdateDefinitionDate(CDataStore& store, RecordId dtId, const OleDate& from) {
    Statement st(store, "UPDATE Prod_CoverDT SET dt_from = ? WHERE (dt_id = ?)");
    st.BindDate(1, from).BindInt(2, dtId).Run();
}

void DeleteDefinition(CDataStore& store, RecordId dtId) {
    DeleteCoverLinesOf(store, CoverLineTable::Packaging, dtId);
    Statement st(store, "DELETE FROM Prod_CoverDT WHERE (dt_id = ?)");
    st.BindInt(1, dtId).Run();
}

std::optional<RecordId> ProductOfLine(CDataStore& store, RecordId cpId) {
    return FindById(store,
                    "SELECT Prod_CoverDT.prod_id FROM Prod_Cover INNER JOIN Prod_CoverDT ON "
                    "Prod_Cover.dt_id = Prod_CoverDT.dt_id WHERE (Prod_Cover.cp_id = ?)",
                    cpId, [](const Statement& st) { return st.Int(0); });
}

} // namespace tarvo
