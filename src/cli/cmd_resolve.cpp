#include "cli/commands.h"
#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/engine/bulkresolution.h"
#include "core/ports/notifyport.h"

#include <ostream>

namespace tarvo::cli {

int CmdResolveAll(CliContext& context) {
    const bool yes = context.args.Flag("yes");
    context.args.ExpectEnd();
    // Without --yes the question is only shown: the run replaces hand-made
    // cover lines, which a script must ask for explicitly.
    context.messages.SetAssumeYes(yes);
    context.messages.SetInteractive(false);
    CDataStore store(context.messages);
    if (!OpenWorkingDatabase(context, store))
        return 1;
    BulkResult result;
    {
        TerminalProgress progress(context.err);
        NullNotifier views;
        result = ResolveAllMoveCovers(store, progress, views);
    }
    if (result.outcome == BulkOutcome::Declined)
        return 1;
    context.out << Format("Zpracováno řádků výdejů: %li z %li", result.processed, result.total)
                << std::endl;
    return result.outcome == BulkOutcome::Completed && !context.messages.SawError() ? 0 : 1;
}

} // namespace tarvo::cli
