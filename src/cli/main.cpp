// tarvo-cli: the core operations of Tarvo for scripts, tests and benchmarks.
#include "cli/commands.h"
#include "core/data/platform.h"

#include <algorithm>
#include <iostream>
#include <string_view>

namespace {

using tarvo::cli::CliContext;

struct Command {
    std::string_view name;
    int (*run)(CliContext&);
    std::string_view help;
};

constexpr Command Commands[] = {
    {"init", tarvo::cli::CmdInit, "vytvoří složku dat s prázdnou databází"},
    {"info", tarvo::cli::CmdInfo, "vypíše složku dat, databázi a počty záznamů tabulek"},
    {"resolve-all", tarvo::cli::CmdResolveAll,
     "[--yes] odvodí znovu obaly všech výdejů z definic balení"},
    {"generate", tarvo::cli::CmdGenerate,
     "--seed S --products N --dispatches N [--lines-per-dispatch K] [--covers N]\n"
     "                  [--covers-per-line C] [--composites N] [--discards N]\n"
     "                  [--first-year R] [--years N] [--no-derive] [--classify] naplní\n"
     "                  databázi zkušebními daty; s --classify i zařazením pro výkaz 2021"},
    {"backup", tarvo::cli::CmdBackup, "zálohuje databázi do souboru: [SOUBOR] [--yes]"},
    {"restore", tarvo::cli::CmdRestore, "obnoví databázi ze zálohy: SOUBOR [--yes]"},
    {"compact", tarvo::cli::CmdCompact, "zkomprimuje databázi"},
    {"import-money", tarvo::cli::CmdImportMoney,
     "--year-folder SLOŽKA [--agenda-folder SLOŽKA] [--products yes|no]\n"
     "                  [--documents yes|no] [--existing overwrite|skip|ask]\n"
     "                  [--set-export yes|no] [--non-export-countries ;ZEMĚ;…]\n"
     "                  importuje produkty a výdeje z Money S3 (--list: vypíše agendy a roky)"},
    {"import-money-xml", tarvo::cli::CmdImportMoneyXml,
     "SOUBOR [--sources stock|invoices|both] [--existing overwrite|skip|ask]\n"
     "                  [--products yes|no] [--documents yes|no] [--set-export yes|no]\n"
     "                  [--non-export-countries ;ZEMĚ;…] importuje z XML exportu Money S3"},
    {"import-wak", tarvo::cli::CmdImportWak,
     "[--from RRRR-MM-DD] [--to RRRR-MM-DD] [--products yes|no] [--documents yes|no]\n"
     "                  [--existing overwrite|skip|ask] importuje produkty a doklady\n"
     "                  z WAK INTRA (--test-connection: ověří spojení)"},
    {"export-registers", tarvo::cli::CmdExportRegisters,
     "SOUBOR.xlsx [--empty] vyexportuje obaly, složené obaly, produkty a balení\n"
     "                  do sešitu; s --empty jen prázdnou předlohu k vyplnění"},
    {"import-registers", tarvo::cli::CmdImportRegisters,
     "SOUBOR.xlsx [--dry-run] [--existing overwrite|skip|ask] importuje obaly,\n"
     "                  složené obaly, produkty a balení ze sešitu; s --dry-run jen\n"
     "                  zkontroluje soubor a vypíše, co by se změnilo"},
    {"covers-unclassified", tarvo::cli::CmdCoversUnclassified,
     "vypíše obaly s neúplným zařazením pro výkaz 2021 (číslo, název, co chybí)"},
    {"propose-classification", tarvo::cli::CmdProposeClassification,
     "[--all|--id N…] navrhne zařazení pro výkaz 2021 podle dosavadního\n"
     "                  materiálu obalům, které ho ještě nemají, a vypíše souhrn"},
    {"report", tarvo::cli::CmdReport,
     "sestaví čtvrtletní výkaz (--year R --quarter Č [--corrective] [--breakdown]);\n"
     "                  s --breakdown také rozpis výkazu; od roku 2021 do formuláře\n"
     "                  od EKO-KOM: --form SOUBOR.xlsx [--order-number TEXT]\n"
     "                  [--allow-check-failures]"},
    {"explain", tarvo::cli::CmdExplain,
     "vypíše řádky, z nichž se skládá buňka výkazu\n"
     "                  (--year R --quarter Č --sheet 1-1 --cell G25; od roku 2021\n"
     "                  --sheet J1-1A a [--form SOUBOR.xlsx], jinak poslední výkaz čtvrtletí)"},
    {"make-template", tarvo::cli::CmdMakeTemplate,
     "vytvoří předlohu výkazu (--year R --quarter Č [--out SOUBOR])"},
};

// "tarvo-cli PŘÍKAZ --help": the one command's line of the usage.
bool AsksForHelp(const std::vector<std::string>& words) {
    return std::find(words.begin(), words.end(), "--help") != words.end() ||
           std::find(words.begin(), words.end(), "-h") != words.end();
}

void PrintUsage(std::ostream& out) {
    out << "Použití: tarvo-cli [--data-dir SLOŽKA] PŘÍKAZ [VOLBY]\n"
           "        tarvo-cli --version\n\nPříkazy:\n";
    for (const Command& c : Commands) {
        // A name too long for the column puts its text on the next line.
        const std::string padding =
            c.name.size() < 16 ? std::string(16 - c.name.size(), ' ') : "\n" + std::string(18, ' ');
        out << "  " << c.name << padding << c.help << "\n";
    }
}

} // namespace

int main(int argc, char** argv) {
    tarvo::platform::PrepareStandardStreams();
    std::vector<std::string> words(argv + 1, argv + argc);
    std::optional<std::string> dataDir;
    // Global options stand before the command.
    while (!words.empty() && words.front().rfind("--", 0) == 0) {
        if (words.front() == "--data-dir" && words.size() >= 2) {
            dataDir = words[1];
            words.erase(words.begin(), words.begin() + 2);
        } else if (words.front().rfind("--data-dir=", 0) == 0) {
            dataDir = words.front().substr(11);
            words.erase(words.begin());
        } else if (words.front() == "--help") {
            PrintUsage(std::cout);
            return 0;
        } else if (words.front() == "--version") {
            std::cout << "tarvo-cli " TARVO_VERSION "\n";
            return 0;
        } else {
            std::cerr << "Neznámá volba: " << words.front() << "\n";
            PrintUsage(std::cerr);
            return 2;
        }
    }
    if (words.empty()) {
        PrintUsage(std::cerr);
        return 2;
    }
    const std::string name = words.front();
    words.erase(words.begin());
    for (const Command& command : Commands) {
        if (command.name != name)
            continue;
        if (AsksForHelp(words)) {
            std::cout << "Použití: tarvo-cli [--data-dir SLOŽKA] " << command.name << "\n\n  "
                      << command.help << "\n";
            return 0;
        }
        tarvo::cli::CliArgs args(std::move(words));
        tarvo::cli::CliMessagePort messages(std::cin, std::cerr);
        messages.SetInteractive(tarvo::platform::StdinIsTerminal());
        CliContext context{tarvo::ResolveDataFolder(dataDir, tarvo::platform::ExecutableFolder()),
                           args, messages, std::cout, std::cerr};
        try {
            return command.run(context);
        } catch (const tarvo::cli::CliError& e) {
            std::cerr << e.message << "\n";
            return 2;
        }
    }
    std::cerr << "Neznámý příkaz: " << name << "\n";
    PrintUsage(std::cerr);
    return 2;
}
