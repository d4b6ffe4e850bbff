#include "core/import/moneys3import.h"

#include "core/data/cdatastore.h"
#include "core/data/paths.h"
#include "core/data/profile.h"
#include "core/data/shared.h"
#include "core/import/moneytable.h"
#include "core/ports/messageport.h"
#include "core/ports/progressport.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace tarvo {

namespace {

namespace fs = std::filesystem;

// Move types of the code list.
constexpr int TypeDeliveryNote = 0; // dodací list
constexpr int TypeInvoice = 1;      // faktura
constexpr int TypeSale = 2;         // prodejka
constexpr int TypeIssue = 3;        // výdejka

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

bool IsFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(PathOf(path), ec);
}

// A name kept by Money in an INI file of the folder, or else in its table.
std::string MoneyName(const std::string& folder, const char* iniName, const char* datName,
                      const char* section, const char* datSection, const char* key) {
    const std::string ini = FindEntryNoCase(folder, iniName);
    if (IsFile(ini))
        return Profile(ini).GetString(section, key, NoMoneyName, 260);
    MoneyTable table;
    try {
        if (table.Open(WithSlash(folder) + datName))
            return NoMoneyName;
        table.SetIndex("Section1+Variable");
        if (!table.Seek(datSection, key))
            return NoMoneyName;
        return table.Field("Value");
    } catch (const ImportError&) {
        // A damaged table names nothing; the folder is simply not offered.
        return NoMoneyName;
    }
}

std::vector<std::string> SubfoldersMatching(const std::string& folder, std::string_view prefix) {
    std::vector<std::string> found;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(PathOf(folder), ec)) {
        const std::string name = PathText(entry.path().filename());
        std::error_code dirError;
        if (name.size() >= prefix.size() &&
            ToUpperText(name.substr(0, prefix.size())) == ToUpperText(prefix) &&
            entry.is_directory(dirError))
            found.push_back(WithSlash(PathText(entry.path())));
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::string ParentFolder(const std::string& folder) {
    std::string trimmed = folder;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    return WithSlash(PathText(PathOf(trimmed).parent_path()));
}

// Money's documents of one year: lines, stock documents and invoices.
class MoneyDocuments {
public:
    MoneyDocuments(ImportWriter& writer, ExistingRecords& existing, const MoneyImportParams& params,
                   std::vector<std::string> domestic)
        : m_writer(writer), m_existing(existing), m_params(params),
          m_domestic(std::move(domestic)) {}

    void Import(MoneyTable& lines, MoneyTable& stockDocs, MoneyTable& invoices,
                ImportProgress& progress) {
        lines.RequireFields({"CDokladu", "TypDokladu", "CisloPoloz", "CKmenKarty", "Nazev",
                             "Katalog", "MJ", "PocetMJ"});
        stockDocs.RequireFields({"CDokladu", "CisloDokla", "Datum", "Typ", "A_Stat"});
        invoices.RequireFields({"Cislo", "Doklad", "DatSkPoh", "Storno", "FlagDel", "O_Stat"});
        lines.SetIndex("TypDokladu+CDokladu+CisloPoloz");
        stockDocs.SetIndex("CDokladu");
        invoices.SetIndex("Cislo");

        const long count = lines.RecordCount();
        progress.BeginPhase("Importuji skladové pohyby", count);
        const int keyColumn = lines.ColumnOf("CDokladu");
        const int kindColumn = lines.ColumnOf("TypDokladu");
        std::string lastField, lastKindField, lastKey, lastKind;
        bool writing = false;
        bool first = true;
        long row = 0;
        for (lines.MoveFirst(); !lines.IsEOF(); lines.MoveNext()) {
            // The lines of a document mostly spell its key alike: only a key
            // spelled otherwise is compared without regard to case.
            const std::string& field = lines.Field(keyColumn);
            const std::string& kindField = lines.Field(kindColumn);
            bool starts = false;
            if (first || field != lastField || kindField != lastKindField) {
                lastField = field;
                lastKindField = kindField;
                std::string key = ToUpperText(Trim(field));
                std::string kind = ToUpperText(Trim(kindField));
                starts = first || key != lastKey || kind != lastKind;
                lastKey = std::move(key);
                lastKind = std::move(kind);
            }
            // A document is complete when the next one starts: stored before
            // the cancel check, so a cancel drops only a document half read.
            if (starts)
                m_writer.FinishDocument();
            progress.Row(++row);
            if (starts) {
                first = false;
                writing = BeginDocument(lastKey, lastKind, stockDocs, invoices);
            }
            if (!writing)
                continue;
            m_writer.AddLine(lines.Whole("CKmenKarty"), lines.Number("PocetMJ"), [&lines] {
                return ImportedProduct{0, lines.Field("Nazev"), lines.Field("Katalog"),
                                       lines.Field("MJ")};
            });
        }
        m_writer.FinishDocument();
    }

private:
    bool BeginDocument(const std::string& key, const std::string& kind, MoneyTable& stockDocs,
                       MoneyTable& invoices) {
        ImportedDocument document;
        std::string country;
        if (kind == "S") {
            if (!stockDocs.Seek(key))
                return Skip();
            const std::string type = ToUpperText(Trim(stockDocs.Field("Typ")));
            if (type == "V")
                document.type = TypeIssue;
            else if (type == "D")
                document.type = TypeDeliveryNote;
            else if (type == "P")
                document.type = TypeSale;
            else
                return Skip();
            document.number = stockDocs.Field("CisloDokla");
            document.date = stockDocs.Date("Datum");
            country = stockDocs.Field("A_Stat");
        } else if (kind == "V") {
            if (!invoices.Seek(key) || invoices.Number("Storno").Scaled() != 0 ||
                invoices.Flag("FlagDel"))
                return Skip();
            document.type = TypeInvoice;
            document.number = invoices.Field("Doklad");
            document.date = invoices.Date("DatSkPoh");
            country = invoices.Field("O_Stat");
        } else {
            return Skip();
        }
        document.exportFlag = IsExport(country);
        return m_writer.BeginDocument(document, m_existing, [](const std::string& number) {
            return Format("Doklad \"%s\" byl již z Money importován. Přejete si jej aktualizovat?",
                          number.c_str());
        });
    }

    // The document before an invalid one is finished all the same.
    bool Skip() {
        m_writer.FinishDocument();
        return false;
    }

    bool IsExport(const std::string& country) const {
        if (!m_params.setExport)
            return false;
        const std::string text = ToUpperText(Trim(country));
        return std::find(m_domestic.begin(), m_domestic.end(), text) == m_domestic.end();
    }

    ImportWriter& m_writer;
    ExistingRecords& m_existing;
    const MoneyImportParams& m_params;
    std::vector<std::string> m_domestic;
};

} // namespace

MoneyImportParams ReadMoneyImportSettings(const Profile& profile) {
    MoneyImportParams params;
    params.choices = ReadImportChoices(profile, MoneyImportSection);
    params.setExport = profile.GetInt(MoneyImportSection, "Nastavovat Export", 1) != 0;
    params.nonExportCountries =
        profile.GetString(MoneyImportSection, "Neexportni zeme", params.nonExportCountries, 1000);
    return params;
}

bool WriteMoneyImportSettings(Profile& profile, const MoneyImportParams& params) {
    return WriteImportChoices(profile, MoneyImportSection, params.choices) &&
           profile.WriteInt(MoneyImportSection, "Nastavovat Export", params.setExport ? 1 : 0) &&
           profile.WriteString(MoneyImportSection, "Neexportni zeme", params.nonExportCountries);
}

std::string MoneyAgendaName(const std::string& agendaFolder, IMessagePort& messages,
                            bool reportErrors) {
    std::string name = MoneyName(agendaFolder, "Agenda.ini", "Agenda.dat", "Údaje o firmě",
                                 "Údaje o firme", "Název");
    if (name == NoMoneyName && reportErrors)
        messages.ShowMessage(
            Format("Adresář \"%s\" neobsahuje informace o agendě Money!", agendaFolder.c_str()),
            MsgIcon::Error);
    return name;
}

std::string MoneyYearName(const std::string& yearFolder, IMessagePort& messages,
                          bool reportErrors) {
    std::string name =
        MoneyName(yearFolder, "Rok.ini", "Rok.dat", "Global", "Global", "Účetní rok");
    if (name == NoMoneyName && reportErrors)
        messages.ShowMessage(
            Format("Adresář \"%s\" neobsahuje informace o účetním roce Money!", yearFolder.c_str()),
            MsgIcon::Error);
    return name;
}

std::string DefaultDosDevices() {
#ifdef _WIN32
    return {};
#else
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix)
        return WithSlash(prefix) + "dosdevices";
    const char* home = std::getenv("HOME");
    return WithSlash(home ? home : "") + ".wine/dosdevices";
#endif
}

std::string LocalMoneyPath(const std::string& windowsPath, const std::string& dosDevices) {
    std::string path = windowsPath;
    std::replace(path.begin(), path.end(), '\\', '/');
    if (dosDevices.empty())
        return path;
    const bool driveLetter =
        path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
    if (!driveLetter)
        return path;
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
    std::string local = WithSlash(dosDevices) + letter + ":";
    // Windows names ignore case; the files under Wine keep whatever case
    // they were created with.
    size_t start = 2;
    while (start < path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        if (!part.empty()) {
            const std::string found = FindEntryNoCase(local, part);
            local = found.empty() ? local + "/" + part : found;
        }
        start = end + 1;
    }
    if (path.back() == '/')
        local = WithSlash(local);
    return local;
}

MoneyInstallation FindMoneyInstallation(const std::string& dosDevices, IMessagePort& messages) {
    MoneyInstallation installation;
    std::string setup;
    for (char letter = 'C'; letter <= 'Z' && setup.empty(); ++letter) {
        const std::string candidate = LocalMoneyPath(
            Format("%c:\\Program Files\\CIGLER SOFTWARE\\Common Files\\Setup.ini", letter),
            dosDevices);
        if (IsFile(candidate))
            setup = candidate;
    }
    if (setup.empty())
        return installation;
    installation.found = true;
    installation.programFolder = WithSlash(
        LocalMoneyPath(Profile(setup).GetString("InstParams", "LocalPath", "", 260), dosDevices));
    std::string root = Profile(installation.programFolder + "MonS3.ini")
                           .GetString("Directory", "DataRoot", "", 260);
    while (!root.empty() && (root.back() == ' ' || root.back() == '\\' || root.back() == '/'))
        root.pop_back();
    installation.dataRoot = WithSlash(LocalMoneyPath(root + "\\", dosDevices));

    for (const std::string& agenda : SubfoldersMatching(installation.dataRoot, "Agenda.")) {
        const std::string agendaName = MoneyAgendaName(agenda, messages, false);
        if (agendaName == NoMoneyName)
            continue;
        for (const std::string& year : SubfoldersMatching(agenda, "Rok.")) {
            const std::string yearName = MoneyYearName(year, messages, false);
            if (yearName != NoMoneyName)
                installation.rows.push_back({agendaName, yearName, agenda, year});
        }
    }
    std::stable_sort(installation.rows.begin(), installation.rows.end(),
                     [](const MoneyYearRow& a, const MoneyYearRow& b) {
                         const std::string ka = ToUpperText(a.agendaName);
                         const std::string kb = ToUpperText(b.agendaName);
                         if (ka != kb)
                             return ka < kb;
                         return ToUpperText(a.yearName) < ToUpperText(b.yearName);
                     });
    return installation;
}

std::optional<MoneyYearRow> MoneyRowForYearFolder(const std::string& yearFolder,
                                                  IMessagePort& messages) {
    MoneyYearRow row;
    row.yearFolder = WithSlash(yearFolder);
    row.agendaFolder = ParentFolder(row.yearFolder);
    row.agendaName = MoneyAgendaName(row.agendaFolder, messages, true);
    row.yearName = MoneyYearName(row.yearFolder, messages, true);
    if (row.agendaName == NoMoneyName || row.yearName == NoMoneyName)
        return std::nullopt;
    return row;
}

bool ImportMoneyS3(CDataStore& store, IMessagePort& messages, IProgressPort& progressPort,
                   const MoneyImportParams& params, ImportCounters& counters) {
    if (!params.choices.products && !params.choices.documents)
        return false;
    ImportProgress progress(progressPort);
    ExistingRecords existing(messages, params.choices.existing);
    ImportWriter writer(store, ImportSource::MoneyS3, counters);

    if (params.choices.products) {
        MoneyTable cards;
        if (!OpenMoneyTable(cards, WithSlash(params.agendaFolder) + "SKKMKART.DAT", messages, true))
            return false;
        cards.RequireFields({"Cislo", "Popis", "Katalog", "MJ"});
        if (cards.RecordCount() > 0) {
            progress.BeginPhase("Importuji kmenové karty", cards.RecordCount());
            long row = 0;
            for (cards.MoveFirst(); !cards.IsEOF(); cards.MoveNext()) {
                progress.Row(++row);
                const ImportedProduct product{cards.Whole("Cislo"), cards.Field("Popis"),
                                              cards.Field("Katalog"), cards.Field("MJ")};
                writer.ImportProduct(product, existing, [&product] {
                    return Format("Produkt \"%s, kat.č. %s\" byl již z Money importován. Přejete "
                                  "si jej aktualizovat?",
                                  product.name.c_str(), product.katalog.c_str());
                });
            }
        }
        writer.Flush();
    }

    if (params.choices.documents) {
        existing.ResetMode();
        const std::string year = WithSlash(params.yearFolder);
        MoneyTable lines, stockDocs, invoices;
        if (!OpenMoneyTable(lines, year + "SKSEZPOL.DAT", messages, true) ||
            !OpenMoneyTable(stockDocs, year + "SKSEZDOK.DAT", messages, true) ||
            !OpenMoneyTable(invoices, year + "VFAKTURY.DAT", messages, true) ||
            lines.RecordCount() == 0)
            return true;
        std::vector<std::string> domestic;
        SplitText(ToUpperText(params.nonExportCountries), ';', domestic);
        MoneyDocuments documents(writer, existing, params, std::move(domestic));
        documents.Import(lines, stockDocs, invoices, progress);
        writer.Flush();
    }
    return true;
}

} // namespace tarvo
