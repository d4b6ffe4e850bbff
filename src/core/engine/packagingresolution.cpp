#include "core/engine/packagingresolution.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/transaction.h"
#include "core/engine/coverderivation.h"
#include "core/engine/linerewriter.h"
#include "core/engine/runpagecache.h"
#include "core/ports/progressport.h"

#include <algorithm>
#include <vector>

namespace tarvo {

namespace {

constexpr const char* ProductLinesSql =
    "SELECT Move.move_date, Move_Prod.mvprod_id, Move_Prod.move_id, Move_Prod.mvprod_qty FROM "
    "Move INNER JOIN Move_Prod ON Move.move_id = Move_Prod.move_id WHERE (Move_Prod.prod_id=?) "
    "ORDER BY Move_Prod.mvprod_id";

std::vector<ProductLine> ReadProductLines(CDataStore& store, RecordId prodId) {
    std::vector<ProductLine> lines;
    CStatement query(store, ProductLinesSql);
    query.BindInt(1, prodId);
    while (query.Step())
        lines.push_back({query.Int(1), query.Int(2), static_cast<long>(prodId),
                         query.GetQuantity(3), query.Date(0)});
    return lines;
}

// Derives one line's covers as one unit, after deleting its old ones when
// asked: a failure leaves the line exactly as it was.
long DeriveAsUnit(CDataStore& store, int64_t mvprodId, int64_t moveId, long prodId, Quantity qty,
                  const OleDate& moveDate, bool deleteOld) {
    try {
        CTransaction unit(store);
        CCoverDerivation derivation(store, false);
        if (deleteOld)
            derivation.DeleteCovers(mvprodId);
        const long count = derivation.Append(mvprodId, moveId, prodId, qty, moveDate);
        unit.Commit();
        return count;
    } catch (const ComError& e) {
        ShowComError(store.Messages(), e);
        return -1;
    } catch (...) {
        return -1;
    }
}

} // namespace

long ResolveMoveCovers(CDataStore& store, int64_t mvprodId, int64_t moveId, long prodId,
                       Quantity qty, const OleDate& moveDate) {
    if (!moveDate.IsValid())
        return -1;
    return DeriveAsUnit(store, mvprodId, moveId, prodId, qty, moveDate, false);
}

long ReplaceLineCovers(CDataStore& store, int64_t mvprodId, int64_t moveId, long prodId,
                       Quantity qty, const OleDate& moveDate) {
    return DeriveAsUnit(store, mvprodId, moveId, prodId, qty, moveDate, true);
}

long ResolveProdMoves(CDataStore& store, long prodId) {
    try {
        // Read first, write afterwards: the lines of one product are few
        // enough to hold, and the list does not change under the writes.
        const std::vector<ProductLine> lines = ReadProductLines(store, prodId);
        CLineRewriter rewriter(store);
        long count = 0;
        for (const ProductLine& line : lines) {
            rewriter.Rewrite(line);
            ++count;
        }
        rewriter.CommitBatch();
        return count;
    } catch (const ComError& e) {
        ShowComError(store.Messages(), e);
        return -1;
    }
}

long RederiveProdMoves(CDataStore& store, RecordId prodId, IProgressPort& progress) {
    const std::vector<ProductLine> lines = ReadProductLines(store, prodId);
    if (lines.empty())
        return 0;
    const CRunPageCache cache(store);
    // The old covers of all the lines go in one statement; the new ones are
    // appended line by line with the definitions read once.
    CStatement remove(store, "DELETE FROM Move_Cover WHERE mvprod_id IN (SELECT "
                             "Move_Prod.mvprod_id FROM Move INNER JOIN Move_Prod ON "
                             "Move.move_id = Move_Prod.move_id WHERE (Move_Prod.prod_id=?))");
    remove.BindInt(1, prodId);
    remove.Run();

    constexpr int BarRange = 100;
    const size_t n = lines.size();
    const size_t step = std::max<size_t>(1, n / BarRange);
    progress.SetRange(0, BarRange);
    progress.SetStatus("Aktualizuji obaly u vydaných produktů");
    CCoverDerivation derivation(store, true);
    for (size_t i = 0; i < n; ++i) {
        if (i % step == 0)
            progress.SetPos(static_cast<int>(i * BarRange / n));
        const ProductLine& line = lines[i];
        derivation.Append(line.mvprodId, line.moveId, line.prodId, line.qty, line.moveDate);
    }
    progress.SetPos(BarRange);
    return static_cast<long>(n);
}

} // namespace tarvo
