#include "cli/commands.h"
#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/ports/notifyport.h"
#include "core/records/covers.h"
#include "core/registers/coverregister.h"
#include "core/registers/propagationswitches.h"

#include <cstdlib>
#include <ostream>

namespace tarvo::cli {

namespace {

// The covers named by --all (every cover not deleted) or by --id N…, where
// the numbers after the first --id may follow it without repeating it.
std::vector<RecordId> SelectedCovers(CliArgs& args, CDataStore& store) {
    const bool all = args.Flag("all");
    std::vector<RecordId> ids;
    while (const std::optional<long> id = args.Number("id"))
        ids.push_back(*id);
    if (!ids.empty()) {
        while (const std::optional<std::string> word = args.Positional()) {
            char* end = nullptr;
            const long id = std::strtol(word->c_str(), &end, 10);
            if (*end != '\0')
                throw CliError{"Volba --id vyžaduje celé číslo, ne '" + *word + "'."};
            ids.push_back(id);
        }
    }
    args.ExpectEnd();
    if (all == !ids.empty())
        throw CliError{"Zadejte buď --all, nebo --id N…"};
    if (all) {
        for (const StoredCover& cover : AllCovers(store)) {
            if (!cover.deleted)
                ids.push_back(cover.id);
        }
    }
    return ids;
}

} // namespace

int CmdCoversUnclassified(CliContext& context) {
    context.args.ExpectEnd();
    CDataStore store(context.messages);
    if (!OpenWorkingDatabase(context, store))
        return 1;
    PropagationSwitches switches;
    NullNotifier views;
    CoverRegister covers(store, switches, views);
    const auto list = covers.Unclassified();
    if (!list)
        return 1;
    for (const UnclassifiedCover& cover : *list)
        context.out << cover.id << "\t" << cover.name << "\t" << cover.missing << "\n";
    context.out << "Obaly s neúplným zařazením pro výkaz 2021: " << list->size() << std::endl;
    return 0;
}

int CmdProposeClassification(CliContext& context) {
    // The summary is the command's result: it goes to standard output.
    InformationToOutput messages(context.messages, context.out);
    CDataStore store(messages);
    if (!OpenWorkingDatabase(context, store))
        return 1;
    std::vector<RecordId> ids;
    try {
        ids = SelectedCovers(context.args, store);
    } catch (const ComError& e) {
        ShowComError(context.messages, e);
        return 1;
    }
    if (ids.empty()) {
        context.out << ProposalSummary{}.Text() << std::endl;
        return 0;
    }
    PropagationSwitches switches;
    NullNotifier views;
    CoverRegister covers(store, switches, views);
    return covers.ProposeClassifications(ids) ? 0 : 1;
}

} // namespace tarvo::cli
