#include "cli/commands.h"
#include "cli/importcommand.h"
#include "core/data/cdatastore.h"
#include "core/data/profile.h"
#include "core/data/shared.h"
#include "core/import/wakintra.h"

#include <cstdio>
#include <ostream>

namespace tarvo::cli {

namespace {

// "YYYY-MM-DD" as a date; a usage error otherwise.
OleDate IsoDate(const std::string& option, const std::string& text) {
    int year = 0, month = 0, day = 0;
    char end = 0;
    OleDate date;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &end) == 3)
        date = OleDate::FromParts(year, month, day);
    if (!date.IsValid())
        throw CliError{
            Format("Neplatné datum %s: %s (očekává se RRRR-MM-DD)", option.c_str(), text.c_str())};
    return date;
}

} // namespace

// The WAK INTRA import with the connection stored in tarvo.ini (section
// "ImportWAK") and the stored choices, which the options override for this
// run only.
int CmdImportWak(CliContext& context) {
    CliArgs& args = context.args;
    const bool testConnection = args.Flag("test-connection");
    Profile profile(context.data.SettingsPath());
    WakConnectionSettings connection = WakConnectionSettings::Load(profile);
    if (testConnection) {
        args.ExpectEnd();
        InformationToOutput messages(context.messages, context.out);
        return TestWakConnection(connection, messages) ? 0 : 1;
    }
    WakImportParams params = WakImportParams::Load(profile, OleDate::Today());
    if (const auto from = args.Option("from"))
        params.from = IsoDate("--from", *from);
    if (const auto to = args.Option("to"))
        params.to = IsoDate("--to", *to);
    if (const auto products = args.YesNo("products"))
        params.choices.products = *products;
    if (const auto documents = args.YesNo("documents"))
        params.choices.documents = *documents;
    if (const auto existing = args.Option("existing"))
        params.choices.existing = ExistingOption(*existing);
    args.ExpectEnd();

    if (ValidateWakConnection(connection.server, context.messages) != WakConnectionField::None ||
        !ValidateWakParams(params, context.messages))
        return 1;
    CDataStore store(context.messages);
    if (!OpenWorkingDatabase(context, store))
        return 1;
    return RunImportCommand(
        context, params.choices.existing,
        [&](IMessagePort& messages, IProgressPort& progress, ImportCounters& counters) {
            return ImportWakIntra(store, messages, progress, connection, params, counters);
        });
}

} // namespace tarvo::cli
