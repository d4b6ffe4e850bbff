// import-money-xml: the import from Money S3's XML export without the wizard.
// The wizard's choices come from the options, the rest from the "Import"
// section of tarvo.ini.
#include "cli/commands.h"
#include "cli/importcommand.h"
#include "core/data/cdatastore.h"
#include "core/data/profile.h"
#include "core/import/moneyxmlimport.h"

namespace tarvo::cli {

int CmdImportMoneyXml(CliContext& context) {
    CliArgs& args = context.args;
    const std::optional<std::string> sources = args.Option("sources");
    const std::optional<std::string> existing = args.Option("existing");
    const std::optional<bool> products = args.YesNo("products");
    const std::optional<bool> documents = args.YesNo("documents");
    const std::optional<bool> setExport = args.YesNo("set-export");
    const std::optional<std::string> countries = args.Option("non-export-countries");
    const std::optional<std::string> file = args.Positional();
    args.ExpectEnd();
    if (!file)
        throw CliError{"Chybí SOUBOR: XML export Money S3."};

    MoneyXmlImportParams params = ReadMoneyXmlImportSettings(Profile(context.data.SettingsPath()));
    params.file = *file;
    if (sources) {
        const std::optional<MoneyXmlSources> chosen = MoneyXmlSourcesFromName(*sources);
        if (!chosen)
            throw CliError{"Volba --sources přijímá stock, invoices nebo both, ne '" + *sources +
                           "'."};
        params.sources = *chosen;
    }
    ImportChoices& choices = params.money.choices;
    if (products)
        choices.products = *products;
    if (documents)
        choices.documents = *documents;
    if (existing)
        choices.existing = ExistingOption(*existing);
    if (setExport)
        params.money.setExport = *setExport;
    if (countries)
        params.money.nonExportCountries = *countries;
    if (!choices.products && !choices.documents) {
        context.messages.ShowMessage("Není vybrán import produktů ani dokladů!",
                                     MsgIcon::Exclamation);
        return 1;
    }

    CDataStore store(context.messages);
    if (!OpenWorkingDatabase(context, store))
        return 1;
    return RunImportCommand(
        context, choices.existing,
        [&](IMessagePort& messages, IProgressPort& progress, ImportCounters& counters) {
            return ImportMoneyXml(store, messages, progress, params, counters);
        });
}

} // namespace tarvo::cli
