#include "enginedata.h"

#include "core/data/statement.h"

namespace tarvo::test {

int64_t EngineData::AddCover(bool deleted) {
    return rows::Cover(store,
                       {.name = "obal",
                        .weight = Q("1"),
                        .type = 3,
                        .material = 0,
                        .origin = 2,
                        .payment = 2,
                        .stat = 0},
                       deleted);
}

int64_t EngineData::AddLine(int64_t dtId, const Line& line) {
    return rows::PackagingLine(store, dtId,
                               {.cover = line.coverId,
                                .qtyCover = Q(line.qtyCover),
                                .qtyProd = Q(line.qtyProd),
                                .useAlways = line.useAlways,
                                .useFrom = Q(line.useFrom),
                                .useTo = Q(line.useTo),
                                .type = line.type,
                                .origin = line.org,
                                .payment = line.pay});
}

int64_t EngineData::AddMove(OleDate date) {
    return rows::Move(store, {.number = "V1", .type = 0, .date = date});
}

void EngineData::AddMoveCover(int64_t moveId, int64_t mvprodId, int64_t coverId, const char* qty) {
    rows::MoveCover(store, {.move = moveId,
                            .line = mvprodId,
                            .cover = coverId,
                            .quantity = Q(qty),
                            .type = 1,
                            .origin = 1,
                            .payment = 1});
}

std::vector<CoverRow> EngineData::Covers(int64_t mvprodId) {
    Statement query(store, "SELECT cover_id, mvcover_qty, cover_type, cover_org, cover_pay, "
                           "move_id FROM Move_Cover WHERE mvprod_id = ? ORDER BY mvcover_id");
    query.BindInt(1, mvprodId);
    std::vector<CoverRow> rows;
    while (query.Step())
        rows.push_back({query.Int(0), QuantityToPlainText(query.GetQuantity(1)), query.Int(2),
                        query.Int(3), query.Int(4)});
    return rows;
}

} // namespace tarvo::test
