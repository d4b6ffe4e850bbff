#include "core/engine/bulkresolution.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/transaction.h"
#include "core/engine/coverderivation.h"
#include "core/engine/linerewriter.h"
#include "core/engine/runpagecache.h"
#include "core/ports/messageport.h"
#include "core/ports/notifyport.h"
#include "core/ports/progressport.h"
#include "core/records/dispatches.h"

#include <algorithm>
#include <optional>

namespace tarvo {

namespace {

constexpr const char* LinesSql =
    "SELECT Move.move_date, Move_Prod.mvprod_id, Move_Prod.move_id, Move_Prod.prod_id, "
    "Move_Prod.mvprod_qty FROM Move INNER JOIN Move_Prod ON Move.move_id = Move_Prod.move_id "
    "ORDER BY Move_Prod.mvprod_id";
constexpr const char* CountSql =
    "SELECT COUNT(*) FROM Move INNER JOIN Move_Prod ON Move.move_id = Move_Prod.move_id";

constexpr int BarRange = 200;

// Walks the product lines in key order, handing each to apply, with a report
// and a cancel check every hundredth of the lines, the position on 0..range.
// False when cancelled. The lines are read as they are rewritten: the runs
// touch only Move_Cover, so the list stays as it was counted, and a million
// lines need no memory of their own.
template <typename Apply>
bool WalkLines(CDataStore& store, IProgressPort& progress, int range, BulkResult& result,
               Apply apply) {
    const long n = result.total;
    const long step = std::max(1L, n / 100);
    Statement lines(store, LinesSql);
    long i = 0;
    while (lines.Step()) {
        if (i % step == 0) {
            if (progress.CheckCancel())
                return false;
            progress.SetSecondaryStatus(Format("%li z %li", i + 1, n));
            progress.SetPos(static_cast<int>((i + 1) * range / n));
        }
        ++i;
        apply(ProductLine{lines.Int(1), lines.Int(2), lines.Int(3), lines.GetQuantity(4),
                          lines.Date(0)});
        result.processed = i;
    }
    return true;
}

// The line-by-line run. A cancel commits what is done; the batches themselves
// are committed by the rewriter, because a commit waits for the disk and a
// hundred of them would cost more than the work.
bool RewriteLines(CDataStore& store, IProgressPort& progress, BulkResult& result,
                  std::optional<LineRewriter>& rewriter) {
    rewriter.emplace(store);
    const bool completed = WalkLines(store, progress, BarRange, result,
                                     [&](const ProductLine& line) { rewriter->Rewrite(line); });
    rewriter->CommitBatch();
    return completed;
}

// After an error the lines finished so far keep their new covers. No line is
// half-written here: the rewriter undoes a failing line before it returns.
void KeepFinishedLines(std::optional<LineRewriter>& rewriter) {
    if (!rewriter)
        return;
    try {
        rewriter->CommitBatch();
    } catch (const ComError&) {
        // The batch cannot be kept; it goes back to the old covers as a whole.
    }
}

// The rebuild in one unit: nothing is committed unless every line is done.
bool RebuildCovers(CDataStore& store, IProgressPort& progress, BulkResult& result) {
    Transaction unit(store);
    ClearProductLineCovers(store);
    CoverDerivation derivation(store, true);
    DerivedCoverWriter writer(store, true);
    const bool completed =
        WalkLines(store, progress, BarRange, result, [&](const ProductLine& line) {
            writer.Queue(line.mvprodId, line.moveId,
                         derivation.Derive(line.prodId, line.qty, line.moveDate));
        });
    if (!completed)
        return false;
    writer.Flush();
    unit.Commit();
    return true;
}

} // namespace

BulkResult ResolveAllMoveCovers(CDataStore& store, IProgressPort& progress, IViewNotifier& views,
                                long rebuildFrom) {
    IMessagePort& messages = store.Messages();
    BulkResult result;
    if (!messages.AskYesNo("Opravdu si přejete upravit výdeje obalů podle nadefinovaných balení "
                           "produktů?\nZtratíte tak ručně provedné změny ve výdejích obalů!",
                           MsgIcon::Question))
        return result;

    progress.SetRange(0, BarRange);
    result.outcome = BulkOutcome::Completed;
    std::optional<LineRewriter> rewriter;
    try {
        {
            Statement count(store, CountSql);
            count.Step();
            result.total = static_cast<long>(count.Int(0));
        }
        if (result.total > 0) {
            progress.SetStatus("Aktualizuji obaly u vydaných produktů");
            progress.SetPos(0);
            const RunPageCache cache(store);
            const bool completed = result.total >= rebuildFrom
                                       ? RebuildCovers(store, progress, result)
                                       : RewriteLines(store, progress, result, rewriter);
            if (!completed)
                result.outcome = BulkOutcome::Cancelled;
        }
    } catch (const ComError& e) {
        ShowComError(messages, e);
        KeepFinishedLines(rewriter);
        messages.ShowMessage("Během aktualizace výdejů došlo k chybě!", MsgIcon::None);
        result.outcome = BulkOutcome::Failed;
    }
    if (result.outcome == BulkOutcome::Cancelled)
        messages.ShowMessage("Aktualizace byla přerušena!", MsgIcon::None);
    views.NotifyAllViews(ViewNotification::ReloadCovers);
    return result;
}

} // namespace tarvo
