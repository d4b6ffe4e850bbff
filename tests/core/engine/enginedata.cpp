#include "enginedata.h"

#include "core/data/shared.h"
#include "core/data/statement.h"

namespace tarvo::test {

Quantity Q(const char* text) {
    return ParseQuantity(text).value();
}

namespace {

std::string Scaled(const char* text) {
    return std::to_string(Q(text).Scaled());
}

} // namespace

int64_t EngineData::AddCover(bool deleted) {
    Run(Format("INSERT INTO Cover (cover_name, cover_weight, cover_mat, cover_type, cover_org, "
               "cover_pay, cover_stat, cover_reusable, deleted) VALUES ('obal', 10000, 0, 3, 2, "
               "2, 0, 0, %i)",
               deleted ? 1 : 0));
    return store.LastInsertId();
}

int64_t EngineData::AddProduct() {
    Run("INSERT INTO Product (prod_name) VALUES ('výrobek')");
    return store.LastInsertId();
}

int64_t EngineData::AddDefinition(int64_t prodId, OleDate from) {
    CStatement insert(store, "INSERT INTO Prod_CoverDT (prod_id, dt_from) VALUES (?, ?)");
    insert.BindInt(1, prodId).BindDate(2, from).Run();
    return store.LastInsertId();
}

void EngineData::AddLine(int64_t dtId, const Line& line) {
    Run(Format("INSERT INTO Prod_Cover (dt_id, cover_id, cp_qtycover, cp_qtyprod, cp_usealways, "
               "cp_usefrom, cp_useto, cover_type, cover_org, cover_pay) VALUES (%li, %li, %s, "
               "%s, %i, %s, %s, %i, %i, %i)",
               static_cast<long>(dtId), static_cast<long>(line.coverId),
               Scaled(line.qtyCover).c_str(), Scaled(line.qtyProd).c_str(), line.useAlways ? 1 : 0,
               Scaled(line.useFrom).c_str(), Scaled(line.useTo).c_str(), line.type, line.org,
               line.pay));
}

int64_t EngineData::AddMove(OleDate date) {
    CStatement insert(store, "INSERT INTO Move (move_num, move_date, move_type, move_export) "
                             "VALUES ('V1', ?, 0, 0)");
    insert.BindDate(1, date).Run();
    return store.LastInsertId();
}

int64_t EngineData::AddMoveProd(int64_t moveId, int64_t prodId, const char* qty) {
    Run(Format("INSERT INTO Move_Prod (move_id, prod_id, mvprod_qty) VALUES (%li, %li, %s)",
               static_cast<long>(moveId), static_cast<long>(prodId), Scaled(qty).c_str()));
    return store.LastInsertId();
}

void EngineData::AddMoveCover(int64_t moveId, int64_t mvprodId, int64_t coverId, const char* qty) {
    Run(Format("INSERT INTO Move_Cover (move_id, mvprod_id, cover_id, mvcover_qty, cover_type, "
               "cover_org, cover_pay) VALUES (%li, %li, %li, %s, 1, 1, 1)",
               static_cast<long>(moveId), static_cast<long>(mvprodId), static_cast<long>(coverId),
               Scaled(qty).c_str()));
}

std::vector<CoverRow> EngineData::Covers(int64_t mvprodId) {
    CStatement query(store, "SELECT cover_id, mvcover_qty, cover_type, cover_org, cover_pay, "
                            "move_id FROM Move_Cover WHERE mvprod_id = ? ORDER BY mvcover_id");
    query.BindInt(1, mvprodId);
    std::vector<CoverRow> rows;
    while (query.Step())
        rows.push_back({query.Int(0), QuantityToPlainText(query.GetQuantity(1)), query.Int(2),
                        query.Int(3), query.Int(4)});
    return rows;
}

} // namespace tarvo::test
