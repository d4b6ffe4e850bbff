#include "core/registers/pickerrows.h"

#include "core/data/cdatastore.h"
#include "core/data/codelists.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/registers/listloading.h"

namespace tarvo {

namespace {

// Orders the rows of a query (identifier, name) by the name in the Czech order.
bool LoadByName(CDataStore& store, const char* sql, IdList& ids) {
    return LoadListIds(store, sql, SqlClause{}, IdList::SortValue::CzechText, false, ids);
}

// A weight as the lists show it; nothing for an empty field.
std::string OptionalWeightCell(const Statement& st, int column) {
    return st.IsNull(column) ? std::string() : WeightCell(st, column);
}

int Code(const Statement& st, int column) {
    return st.IsNull(column) ? -1 : static_cast<int>(st.Int(column));
}

} // namespace

std::unique_ptr<IRowSource> MakeCoverPickerRows(CDataStore& store) {
    return std::make_unique<StatementRowSource>(
        store,
        std::vector<std::string>{"Název", "Typ", "Původ", "Platba", "Materiál", "Hmotnost [kg]",
                                 "Opakované použití"},
        "SELECT cover_id, cover_name, cover_type, cover_org, cover_pay, cover_mat, cover_weight, "
        "cover_reusable FROM Cover WHERE cover_id IN ",
        [](const Statement& st) {
            return RowCells{st.Text(1),
                            CoverTypes.Label(Code(st, 2)),
                            Origins.Label(Code(st, 3)),
                            Payments.Label(Code(st, 4)),
                            Materials.Label(Code(st, 5)),
                            OptionalWeightCell(st, 6),
                            st.Int(7) != 0 ? "ano" : "ne"};
        });
}

bool LoadCoverPickerIds(CDataStore& store, IdList& ids) {
    return LoadByName(store, "SELECT cover_id, cover_name FROM Cover WHERE deleted = FALSE", ids);
}

std::unique_ptr<IRowSource> MakeCompCoverPickerRows(CDataStore& store) {
    return std::make_unique<StatementRowSource>(
        store, std::vector<std::string>{"Název", "Poznámka"},
        "SELECT ccover_id, ccover_name, ccover_note FROM CompCover WHERE ccover_id IN ",
        [](const Statement& st) {
            return RowCells{st.Text(1), st.Text(2)};
        });
}

bool LoadCompCoverPickerIds(CDataStore& store, IdList& ids) {
    return LoadByName(store, "SELECT ccover_id, ccover_name FROM CompCover", ids);
}

std::unique_ptr<IRowSource> MakeProductPickerRows(CDataStore& store) {
    return std::make_unique<StatementRowSource>(
        store, std::vector<std::string>{"Název", "Kat. č.", "Jednotka"},
        "SELECT prod_id, prod_name, prod_katalog, prod_unit FROM Product WHERE prod_id IN ",
        [](const Statement& st) {
            return RowCells{st.Text(1), st.Text(2), st.Text(3)};
        });
}

bool LoadProductPickerIds(CDataStore& store, IdList& ids) {
    return LoadByName(store, "SELECT prod_id, prod_name FROM Product WHERE Product.deleted = FALSE",
                      ids);
}

std::optional<CoverFacts> ReadCoverFacts(CDataStore& store, RecordId cover) {
    try {
        Statement st(store, "SELECT cover_weight, cover_type, cover_org, cover_pay, cover_mat, "
                            "cover_stat, cover_reusable, cover_name FROM Cover WHERE cover_id = ?");
        st.BindInt(1, cover);
        if (!st.Step())
            return std::nullopt;
        CoverFacts facts;
        if (!st.IsNull(0))
            facts.unitWeight = st.GetQuantity(0);
        facts.type = Code(st, 1);
        facts.origin = Code(st, 2);
        facts.payment = Code(st, 3);
        facts.material = Code(st, 4);
        facts.stat = Code(st, 5);
        facts.reusable = !st.IsNull(6) && st.Int(6) != 0;
        facts.name = st.Text(7);
        return facts;
    } catch (const ComError& e) {
        ShowComError(store.Messages(), e);
        return std::nullopt;
    }
}

std::optional<std::string> ProductCaption(CDataStore& store, RecordId product) {
    try {
        Statement st(store, "SELECT prod_name, prod_unit FROM Product WHERE prod_id = ?");
        st.BindInt(1, product);
        if (!st.Step())
            return std::nullopt;
        const std::string unit = st.Text(1);
        return Format("Produkt: %s", st.Text(0).c_str()) +
               (unit.empty() ? std::string() : Format(" (jednotka: %s)", unit.c_str()));
    } catch (const ComError& e) {
        ShowComError(store.Messages(), e);
        return std::nullopt;
    }
}

std::string CoverCaption(const CoverFacts& cover) {
    return Format("Obal: %s (%s kg/ks)", cover.name.c_str(),
                  QuantityToText(cover.unitWeight).c_str());
}

} // namespace tarvo
