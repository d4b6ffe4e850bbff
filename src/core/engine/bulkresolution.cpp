#include "core/engine/bulkresolution.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/engine/linerewriter.h"
#include "core/engine/runpagecache.h"
#include "core/ports/messageport.h"
#include "core/ports/notifyport.h"
#include "core/ports/progressport.h"

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

} // namespace

BulkResult ResolveAllMoveCovers(CDataStore& store, IProgressPort& progress, IViewNotifier& views) {
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
        const long n = result.total;
        if (n > 0) {
            progress.SetStatus("Aktualizuji obaly u vydaných produktů");
            const long step = std::max(1L, n / 100);
            progress.SetPos(0);

            // The lines are read as they are rewritten: the run touches only
            // Move_Cover, so the list it walks stays as it was counted, and a
            // million lines need no memory of their own.
            const RunPageCache cache(store);
            rewriter.emplace(store);
            Statement lines(store, LinesSql);
            long i = 0;
            while (lines.Step()) {
                if (i % step == 0) {
                    // A cancel commits what is done below; the batches
                    // themselves are committed by the rewriter, because a
                    // commit waits for the disk and a hundred of them would
                    // cost more than the work.
                    if (progress.CheckCancel()) {
                        result.outcome = BulkOutcome::Cancelled;
                        break;
                    }
                    progress.SetSecondaryStatus(Format("%li z %li", i + 1, n));
                    progress.SetPos(static_cast<int>((i + 1) * BarRange / n));
                }
                ++i;
                rewriter->Rewrite({lines.Int(1), lines.Int(2), lines.Int(3), lines.GetQuantity(4),
                                   lines.Date(0)});
                result.processed = i;
            }
            rewriter->CommitBatch();
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
