#pragma once

#include "core/import/importframework.h"
#include "core/import/moneys3import.h"

#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

class CDataStore;
class Profile;
class IMessagePort;
class IProgressPort;

// Which documents of the export become dispatches. Money issues the goods of
// a sale either on a stock document or on an invoice's stock lines, and an
// invoice made from a delivery note names it: with both, such a note is left
// to its invoice so that its goods are counted once.
enum class MoneyXmlSources : int { Stock = 0, Invoices = 1, Both = 2 };

// "stock", "invoices", "both".
std::optional<MoneyXmlSources> MoneyXmlSourcesFromName(std::string_view name);

// What the wizard collects for an import from Money's XML export. The export
// rule, the choices and the existing-records mode are the Money import's own.
struct MoneyXmlImportParams {
    std::string file;
    MoneyXmlSources sources = MoneyXmlSources::Both;
    MoneyImportParams money;
};

// The "Import" section of tarvo.ini as for the Money import, and the keys of
// the XML source: "Soubor XML" (the file last imported) and "Doklady XML"
// (0 stock documents, 1 invoices, 2 both; default 2).
MoneyXmlImportParams ReadMoneyXmlImportSettings(const Profile& profile);
bool WriteMoneyXmlImportSettings(Profile& profile, const MoneyXmlImportParams& params);

// The importer of Money S3's XML export: products from the stock cards
// (SeznamKmKarta, and the cards of SeznamZasoba), keyed by their abbreviation;
// then the issue slips, delivery notes, sales slips and issued invoices of
// the chosen sources with their stock lines, the covers of every line
// derived. See Importer for the result and the exceptions.
bool ImportMoneyXml(CDataStore& store, IMessagePort& messages, IProgressPort& progress,
                    const MoneyXmlImportParams& params, ImportCounters& counters);

} // namespace tarvo
