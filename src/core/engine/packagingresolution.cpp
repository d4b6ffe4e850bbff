#include "core/engine/packagingresolution.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/transaction.h"
#include "core/engine/coverderivation.h"
#include "core/engine/linerewriter.h"

#include <vector>

namespace tarvo {

namespace {

// Derives one line's covers as one unit, after deleting its old ones when
// asked: a failure leaves the line exactly as it was.
long DeriveAsUnit(CDataStore& store, RecordId mvprodId, RecordId moveId, RecordId prodId,
                  Quantity qty, const OleDate& moveDate, bool deleteOld) {
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

long ResolveMoveCovers(CDataStore& store, RecordId mvprodId, RecordId moveId, RecordId prodId,
                       Quantity qty, const OleDate& moveDate) {
    if (!moveDate.IsValid())
        return -1;
    return DeriveAsUnit(store, mvprodId, moveId, prodId, qty, moveDate, false);
}

long ReplaceLineCovers(CDataStore& store, RecordId mvprodId, RecordId moveId, RecordId prodId,
                       Quantity qty, const OleDate& moveDate) {
    return DeriveAsUnit(store, mvprodId, moveId, prodId, qty, moveDate, true);
}

long ResolveProdMoves(CDataStore& store, RecordId prodId) {
    try {
        // Read first, write afterwards: the lines of one product are few
        // enough to hold, and the list does not change under the writes.
        std::vector<ProductLine> lines;
        {
            CStatement query(store, "SELECT Move.move_date, Move_Prod.mvprod_id, "
                                    "Move_Prod.move_id, Move_Prod.mvprod_qty FROM Move INNER "
                                    "JOIN Move_Prod ON Move.move_id = Move_Prod.move_id WHERE "
                                    "(Move_Prod.prod_id=?) ORDER BY Move_Prod.mvprod_id");
            query.BindInt(1, prodId);
            while (query.Step())
                lines.push_back(
                    {query.Int(1), query.Int(2), prodId, query.GetQuantity(3), query.Date(0)});
        }
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

} // namespace tarvo
