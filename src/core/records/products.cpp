#include "core/records/products.h"

#include "core/data/cdatastore.h"
#include "core/data/statement.h"
#include "core/records/selection.h"

namespace tarvo {

ProductWriter::ProductWriter(CDataStore& store)
    : m_insert(store, "INSERT INTO Product (prod_name, prod_katalog, prod_unit, "
                      "prod_source, prod_scrid) VALUES (?, ?, ?, ?, ?)") {}

RecordId ProductWriter::Insert(const ProductRecord& product) {
    CStatement& st = m_insert.Statement();
    st.BindText(1, product.name).BindText(2, product.katalog).BindText(3, product.unit);
    if (product.source == 0)
        st.BindNull(4);
    else
        st.BindInt(4, product.source);
    if (product.sourceText)
        st.BindText(5, *product.sourceText);
    else if (product.sourceId)
        st.BindInt(5, *product.sourceId);
    else
        st.BindNull(5);
    return m_insert.Run();
}

std::optional<ProductRecord> FindProduct(CDataStore& store, RecordId id) {
    CStatement st(store, "SELECT prod_name, prod_katalog, prod_unit, prod_source, prod_scrid "
                         "FROM Product WHERE (prod_id = ?)");
    st.BindInt(1, id);
    if (!st.Step())
        return std::nullopt;
    ProductRecord product;
    product.name = st.Text(0);
    product.katalog = st.Text(1);
    product.unit = st.Text(2);
    product.source = st.IsNull(3) ? 0 : st.Int(3);
    product.sourceId = st.IsNull(4) ? std::nullopt : std::optional<int64_t>(st.Int(4));
    return product;
}

bool ProductExists(CDataStore& store, RecordId id) {
    CStatement st(store, "SELECT 1 FROM Product WHERE (prod_id = ?)");
    st.BindInt(1, id);
    return st.Step();
}

void UpdateProduct(CDataStore& store, RecordId id, const ProductRecord& product) {
    CStatement st(store, "UPDATE Product SET prod_name = ?, prod_katalog = ?, prod_unit = ? "
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

DefinitionWriter::DefinitionWriter(CDataStore& store)
    : m_insert(store, "INSERT INTO Prod_CoverDT (prod_id, dt_from) VALUES (?, ?)") {}

RecordId DefinitionWriter::Insert(const DefinitionRecord& definition) {
    CStatement& st = m_insert.Statement();
    st.BindInt(1, definition.prodId).BindDate(2, definition.from);
    return m_insert.Run();
}

std::optional<DefinitionRecord> FindDefinition(CDataStore& store, RecordId dtId) {
    CStatement st(store, "SELECT prod_id, dt_from FROM Prod_CoverDT WHERE (dt_id = ?)");
    st.BindInt(1, dtId);
    if (!st.Step())
        return std::nullopt;
    return DefinitionRecord{st.Int(0), st.Date(1)};
}

std::optional<RecordId> DefinitionOnDay(CDataStore& store, RecordId prodId, const OleDate& from) {
    CStatement st(store, "SELECT dt_id FROM Prod_CoverDT WHERE (prod_id = ?) AND "
                         "DATEDIFF(\"d\", ?, dt_from)=0 ORDER BY dt_id");
    st.BindInt(1, prodId).BindDate(2, from);
    if (!st.Step())
        return std::nullopt;
    return st.Int(0);
}

void UpdateDefinitionDate(CDataStore& store, RecordId dtId, const OleDate& from) {
    CStatement st(store, "UPDATE Prod_CoverDT SET dt_from = ? WHERE (dt_id = ?)");
    st.BindDate(1, from).BindInt(2, dtId).Run();
}

void DeleteDefinition(CDataStore& store, RecordId dtId) {
    DeleteCoverLinesOf(store, CoverLineTable::Packaging, dtId);
    CStatement st(store, "DELETE FROM Prod_CoverDT WHERE (dt_id = ?)");
    st.BindInt(1, dtId).Run();
}

std::optional<RecordId> ProductOfLine(CDataStore& store, RecordId cpId) {
    CStatement st(store, "SELECT Prod_CoverDT.prod_id FROM Prod_Cover INNER JOIN Prod_CoverDT ON "
                         "Prod_Cover.dt_id = Prod_CoverDT.dt_id WHERE (Prod_Cover.cp_id = ?)");
    st.BindInt(1, cpId);
    if (!st.Step())
        return std::nullopt;
    return st.Int(0);
}

} // namespace tarvo
