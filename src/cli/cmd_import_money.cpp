// import-money: the Money S3 import without the wizard. The wizard's choices
// come from the options, the rest from the "Import" section of tarvo.ini.
#include "cli/commands.h"
#include "cli/importcommand.h"
#include "core/data/cdatastore.h"
#include "core/data/profile.h"
#include "core/import/moneys3import.h"

#include <ostream>

namespace tarvo::cli {

namespace {

int ListInstallation(CliContext& context) {
    context.args.ExpectEnd();
    const MoneyInstallation installation =
        FindMoneyInstallation(DefaultDosDevices(), context.messages);
    if (!installation.found) {
        context.messages.ShowMessage(
            "Na tomto počítači pravděpodobně nejsou nainstalovány MoneyS3.", MsgIcon::Exclamation);
        return 1;
    }
    for (const MoneyYearRow& row : installation.rows)
        context.out << row.agendaName << '\t' << row.yearName << '\t' << row.agendaFolder << '\t'
                    << row.yearFolder << '\n';
    return 0;
}

} // namespace

int CmdImportMoney(CliContext& context) {
    CliArgs& args = context.args;
    if (args.Flag("list"))
        return ListInstallation(context);

    const std::optional<std::string> yearFolder = args.Option("year-folder");
    const std::optional<std::string> agendaFolder = args.Option("agenda-folder");
    const std::optional<bool> products = args.YesNo("products");
    const std::optional<bool> documents = args.YesNo("documents");
    const std::optional<std::string> existing = args.Option("existing");
    const std::optional<bool> setExport = args.YesNo("set-export");
    const std::optional<std::string> countries = args.Option("non-export-countries");
    args.ExpectEnd();
    if (!yearFolder)
        throw CliError{"Chybí volba --year-folder SLOŽKA (složka účetního roku Money)."};

    CDataStore store(context.messages);
    if (!OpenWorkingDatabase(context, store))
        return 1;

    MoneyImportParams params = ReadMoneyImportSettings(Profile(context.data.SettingsPath()));
    if (products)
        params.choices.products = *products;
    if (documents)
        params.choices.documents = *documents;
    if (existing)
        params.choices.existing = ExistingOption(*existing);
    if (setExport)
        params.setExport = *setExport;
    if (countries)
        params.nonExportCountries = *countries;

    // The folders must be Money's, as when chosen by hand in the wizard.
    if (agendaFolder) {
        const bool agendaKnown =
            MoneyAgendaName(*agendaFolder, context.messages, true) != NoMoneyName;
        const bool yearKnown = MoneyYearName(*yearFolder, context.messages, true) != NoMoneyName;
        if (!agendaKnown || !yearKnown)
            return 1;
        params.agendaFolder = *agendaFolder;
        params.yearFolder = *yearFolder;
    } else {
        const std::optional<MoneyYearRow> row =
            MoneyRowForYearFolder(*yearFolder, context.messages);
        if (!row)
            return 1;
        params.agendaFolder = row->agendaFolder;
        params.yearFolder = row->yearFolder;
    }

    if (!params.choices.products && !params.choices.documents) {
        context.messages.ShowMessage("Není vybrán import produktů ani dokladů!",
                                     MsgIcon::Exclamation);
        return 1;
    }
    return RunImportCommand(
        context, params.choices.existing,
        [&](IMessagePort& messages, IProgressPort& progress, ImportCounters& counters) {
            return ImportMoneyS3(store, messages, progress, params, counters);
        });
}

} // namespace tarvo::cli
