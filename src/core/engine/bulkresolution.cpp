#include "core/engine/bulkresolution.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/engine/linerewriter.h"
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

// The run touches every index of Move_Cover in two places at once (where old
// rows go and where new ones come); with SQLite's small default page cache
// those pages would be written out and read back again and again. The cache
// is larger for the run and back to what it was afterwards.
class CRunPageCache {
public:
    static constexpr long Kilobytes = 64 * 1024;

    explicit CRunPageCache(CDataStore& store) : m_store(store) {
        CStatement read(store, "PRAGMA cache_size");
        if (read.Step())
            m_previous = read.Int(0);
        store.ExecuteOrThrow(Format("PRAGMA cache_size = -%li", Kilobytes));
    }
    ~CRunPageCache() {
        try {
            m_store.ExecuteOrThrow(
                Format("PRAGMA cache_size = %lli", static_cast<long long>(m_previous)));
        } catch (const ComError&) {
            // Only the cache stays larger until the connection closes.
        }
    }
    CRunPageCache(const CRunPageCache&) = delete;
    CRunPageCache& operator=(const CRunPageCache&) = delete;

private:
    CDataStore& m_store;
    int64_t m_previous = -2000;
};

// After an error the lines finished so far keep their new covers. No line is
// half-written here: the rewriter undoes a failing line before it returns.
void KeepFinishedLines(std::optional<CLineRewriter>& rewriter) {
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
    std::optional<CLineRewriter> rewriter;
    try {
        {
            CStatement count(store, CountSql);
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
            const CRunPageCache cache(store);
            rewriter.emplace(store);
            CStatement lines(store, LinesSql);
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
