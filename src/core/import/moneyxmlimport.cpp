#include "core/import/moneyxmlimport.h"

#include "core/data/cdatastore.h"
#include "core/data/profile.h"
#include "core/data/shared.h"
#include "core/data/sqlfunctions.h"
#include "core/import/moneyxmlfile.h"
#include "core/ports/messageport.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <unordered_set>
#include <vector>

namespace tarvo {

namespace {

// Move types of the code list.
constexpr int TypeDeliveryNote = 0; // dodací list
constexpr int TypeInvoice = 1;      // faktura
constexpr int TypeSale = 2;         // prodejka
constexpr int TypeIssue = 3;        // výdejka

// The lists of the export that hold outgoing documents, with the element of
// one document and its move type.
struct DocumentList {
    const char* list;
    const char* document;
    int type;
};
constexpr DocumentList StockLists[] = {
    {"SeznamVydejka", "Vydejka", TypeIssue},
    {"SeznamDLVyd", "DLVyd", TypeDeliveryNote},
    {"SeznamProdejka", "Prodejka", TypeSale},
};
constexpr DocumentList InvoiceList = {"SeznamFaktVyd", "FaktVyd", TypeInvoice};

// Kinds of linked documents that are not delivery notes (orders, invoices,
// receivables, payables): a link to one of them never leaves a note out.
constexpr std::string_view OtherLinkedKinds[] = {"OP", "OV", "FV", "FP", "PH", "ZV"};

// An xs:boolean or a number: anything but empty, "0" and "false" is set.
bool IsSet(const std::string& value) {
    return !value.empty() && value != "0" && ToUpperText(value) != "FALSE";
}

// One outgoing document of the export with its stock lines.
struct XmlDocument {
    pugi::xml_node node;
    int type;
    std::vector<pugi::xml_node> lines;
};

class CMoneyXmlImport {
public:
    CMoneyXmlImport(const CMoneyXmlFile& file, CImportWriter& writer, CExistingRecords& existing,
                    CImportProgress& progress, const MoneyXmlImportParams& params,
                    ImportCounters& counters)
        : m_file(file), m_writer(writer), m_existing(existing), m_progress(progress),
          m_params(params), m_counters(counters) {
        SplitText(ToUpperText(params.money.nonExportCountries), ';', m_domestic);
    }

    void ImportProducts() {
        std::vector<pugi::xml_node> cards;
        const pugi::xml_node root = m_file.Root();
        for (pugi::xml_node card : root.child("SeznamKmKarta").children("KmKarta"))
            cards.push_back(card);
        for (pugi::xml_node stock : root.child("SeznamZasoba").children("Zasoba")) {
            if (pugi::xml_node card = stock.child("KmKarta"))
                cards.push_back(card);
        }
        if (cards.empty())
            return;
        m_progress.BeginPhase("Importuji kmenové karty", static_cast<long>(cards.size()));
        // A card held in several stores comes once for each of them.
        std::unordered_set<std::string> done;
        long row = 0;
        for (pugi::xml_node card : cards) {
            m_progress.Row(++row);
            const std::string key = XmlText(card, "Zkrat");
            if (key.empty())
                throw ImportError(Format("Kmenová karta na řádku %li souboru \"%s\" nemá "
                                         "zkratku (element Zkrat).",
                                         m_file.LineOf(card), m_file.Path().c_str()));
            if (!done.insert(key).second)
                continue;
            const ImportedProduct product{SourceKey(key), XmlText(card, "Popis"),
                                          XmlText(card, "Katalog"), XmlText(card, "MJ")};
            m_writer.ImportProduct(product, m_existing, [&product] {
                return Format("Produkt \"%s, kat.č. %s\" byl již z Money importován. Přejete "
                              "si jej aktualizovat?",
                              product.name.c_str(), product.katalog.c_str());
            });
        }
    }

    void ImportDocuments() {
        const bool stock = m_params.sources != MoneyXmlSources::Invoices;
        const bool invoices = m_params.sources != MoneyXmlSources::Stock;
        if (stock && invoices)
            m_counters.invoicedNotes = 0;

        // In the order of the file, as Money wrote them.
        std::vector<XmlDocument> documents;
        long lineCount = 0;
        for (pugi::xml_node list : m_file.Root().children()) {
            const std::string_view name = list.name();
            for (const DocumentList& kind : StockLists) {
                if (stock && name == kind.list)
                    Collect(list, kind, documents, lineCount);
            }
            if (invoices && name == InvoiceList.list)
                Collect(list, InvoiceList, documents, lineCount);
        }
        if (stock && invoices)
            FindInvoicedNotes(documents);
        if (lineCount == 0)
            return;

        m_progress.BeginPhase("Importuji skladové pohyby", lineCount);
        long row = 0;
        for (const XmlDocument& document : documents) {
            bool writing = false;
            for (size_t i = 0; i < document.lines.size(); ++i) {
                // A document is complete when the next one starts: stored
                // before the cancel check, so a cancel drops only a document
                // half read.
                if (i == 0)
                    m_writer.FinishDocument();
                m_progress.Row(++row);
                if (i == 0)
                    writing = BeginDocument(document);
                if (writing)
                    AddLine(document.lines[i]);
            }
        }
        m_writer.FinishDocument();
    }

private:
    void Collect(pugi::xml_node list, const DocumentList& kind, std::vector<XmlDocument>& documents,
                 long& lineCount) {
        for (pugi::xml_node node : list.children(kind.document)) {
            XmlDocument document{node, kind.type, {}};
            if (kind.type == TypeInvoice) {
                // Only the stock lines of an invoice move goods.
                for (pugi::xml_node line : node.child("SeznamPolozek").children("Polozka")) {
                    if (line.child("SklPolozka"))
                        document.lines.push_back(line);
                }
            } else {
                for (pugi::xml_node line : node.children("Polozka"))
                    document.lines.push_back(line);
            }
            lineCount += static_cast<long>(document.lines.size());
            documents.push_back(std::move(document));
        }
    }

    static bool Cancelled(pugi::xml_node invoice) {
        return IsSet(XmlText(invoice, "Storno")) || IsSet(XmlText(invoice, "Del"));
    }

    static std::string Number(const XmlDocument& document) {
        return XmlText(document.node, document.type == TypeInvoice ? "Doklad" : "CisloDokla");
    }

    // Every link (SeznamVazeb/Vazba) of the document, its lines' included.
    static void ForEachLink(pugi::xml_node node, const std::function<void(pugi::xml_node)>& visit) {
        for (pugi::xml_node child : node.children()) {
            if (std::string_view(child.name()) == "SeznamVazeb") {
                for (pugi::xml_node link : child.children("Vazba"))
                    visit(link);
            } else if (child.first_child()) {
                ForEachLink(child, visit);
            }
        }
    }

    // A delivery note is left out when an invoice of this import takes its
    // goods: the invoice names the note among its links, or the note names
    // the invoice. An invoice that is cancelled or has no stock lines takes
    // nothing, and its note is imported.
    void FindInvoicedNotes(const std::vector<XmlDocument>& documents) {
        std::unordered_set<std::string> takingInvoices;
        std::unordered_set<std::string> linkedNumbers;
        for (const XmlDocument& document : documents) {
            if (document.type != TypeInvoice || document.lines.empty() || Cancelled(document.node))
                continue;
            takingInvoices.insert(FoldCase(Number(document)));
            ForEachLink(document.node, [&](pugi::xml_node link) {
                const std::string kind = ToUpperText(XmlText(link, "Doklad/Druh"));
                if (std::find(std::begin(OtherLinkedKinds), std::end(OtherLinkedKinds), kind) ==
                    std::end(OtherLinkedKinds))
                    linkedNumbers.insert(FoldCase(XmlText(link, "Doklad/Cislo")));
            });
        }
        for (const XmlDocument& document : documents) {
            if (document.type != TypeDeliveryNote)
                continue;
            bool invoiced = linkedNumbers.count(FoldCase(Number(document))) > 0;
            ForEachLink(document.node, [&](pugi::xml_node link) {
                if (ToUpperText(XmlText(link, "Doklad/Druh")) == "FV" &&
                    takingInvoices.count(FoldCase(XmlText(link, "Doklad/Cislo"))) > 0)
                    invoiced = true;
            });
            if (invoiced)
                m_invoicedNotes.insert(document.node.internal_object());
        }
    }

    bool BeginDocument(const XmlDocument& document) {
        if (document.type == TypeInvoice && Cancelled(document.node))
            return false;
        if (m_invoicedNotes.count(document.node.internal_object()) > 0) {
            ++*m_counters.invoicedNotes;
            return false;
        }
        ImportedDocument header;
        header.type = document.type;
        header.number = Number(document);
        if (header.number.empty())
            throw ImportError(Format("Doklad na řádku %li souboru \"%s\" nemá číslo (element %s).",
                                     m_file.LineOf(document.node), m_file.Path().c_str(),
                                     document.type == TypeInvoice ? "Doklad" : "CisloDokla"));
        header.date = DocumentDate(document);
        header.exportFlag = IsExport(document.node.child("DodOdb").child("ObchAdresa"));
        return m_writer.BeginDocument(
            header, m_existing,
            Format("Doklad \"%s\" byl již z Money importován. Přejete si jej aktualizovat?",
                   header.number.c_str()));
    }

    // The day of the stock movement, else the document's own date.
    OleDate DocumentDate(const XmlDocument& document) const {
        const bool invoice = document.type == TypeInvoice;
        const char* const invoiceDates[] = {"DatSkPoh", "PlnenoDPH", "Vystaveno"};
        const char* const stockDates[] = {"DatSkPoh", "Datum"};
        const auto pick = [&](auto& names) -> OleDate {
            for (const char* name : names) {
                const pugi::xml_node element = document.node.child(name);
                const std::string text = Trim(element.child_value());
                if (!text.empty())
                    return ParseDate(element, text);
            }
            return OleDate();
        };
        return invoice ? pick(invoiceDates) : pick(stockDates);
    }

    // xs:date: yyyy-mm-dd, a time zone after it is of no interest.
    OleDate ParseDate(pugi::xml_node element, const std::string& text) const {
        int parts[3] = {0, 0, 0};
        const char* at = text.data();
        const char* const end = text.data() + text.size();
        for (int i = 0; i < 3; ++i) {
            const auto [next, error] = std::from_chars(at, end, parts[i]);
            const bool separatorOk = i == 2 || (next != end && *next == '-');
            if (error != std::errc() || !separatorOk)
                FailDate(element, text);
            at = i == 2 ? next : next + 1;
        }
        if (parts[1] < 1 || parts[1] > 12 || parts[2] < 1 || parts[2] > 31)
            FailDate(element, text);
        const OleDate date = OleDate::FromParts(parts[0], parts[1], parts[2]);
        if (!date.IsValid())
            FailDate(element, text);
        return date;
    }

    [[noreturn]] void FailDate(pugi::xml_node element, const std::string& text) const {
        throw ImportError(Format("Datum \"%s\" v elementu %s na řádku %li souboru \"%s\" není "
                                 "platné.",
                                 text.c_str(), element.name(), m_file.LineOf(element),
                                 m_file.Path().c_str()));
    }

    // An ISO country code decides when there is one (CZ is domestic);
    // otherwise the country's name is compared with the domestic list.
    bool IsExport(pugi::xml_node address) const {
        if (!m_params.money.setExport)
            return false;
        const std::string code = ToUpperText(XmlText(address, "KodStatu"));
        if (!code.empty())
            return code != "CZ";
        const std::string name = ToUpperText(XmlText(address, "Stat"));
        return std::find(m_domestic.begin(), m_domestic.end(), name) == m_domestic.end();
    }

    void AddLine(pugi::xml_node line) {
        const pugi::xml_node stock = line.child("SklPolozka") ? line.child("SklPolozka") : line;
        const pugi::xml_node card = stock.child("KmKarta");
        const std::string key = XmlText(card, "Zkrat");
        if (key.empty())
            throw ImportError(Format("Položka dokladu na řádku %li souboru \"%s\" nemá kmenovou "
                                     "kartu (element KmKarta/Zkrat).",
                                     m_file.LineOf(line), m_file.Path().c_str()));
        pugi::xml_node count = line.child("PocetMJ");
        if (!count)
            count = stock.child("PocetMJ");
        const std::string text = Trim(count.child_value());
        std::optional<Quantity> quantity = Quantity::FromScaled(0);
        if (!text.empty())
            quantity = ParseQuantity(text);
        if (!quantity)
            throw ImportError(Format("Množství \"%s\" v elementu PocetMJ na řádku %li souboru "
                                     "\"%s\" není číslo.",
                                     text.c_str(), m_file.LineOf(count), m_file.Path().c_str()));
        m_writer.AddLine(SourceKey(key), *quantity, [&] {
            // A card the export does not list is made from the line, as the
            // table import makes it.
            std::string name = XmlText(stock, "Nazev");
            if (name.empty())
                name = XmlText(card, "Popis");
            return ImportedProduct{SourceKey(key), name, XmlText(card, "Katalog"),
                                   XmlText(card, "MJ")};
        });
    }

    const CMoneyXmlFile& m_file;
    CImportWriter& m_writer;
    CExistingRecords& m_existing;
    CImportProgress& m_progress;
    const MoneyXmlImportParams& m_params;
    ImportCounters& m_counters;
    std::vector<std::string> m_domestic;
    std::unordered_set<const void*> m_invoicedNotes;
};

} // namespace

std::optional<MoneyXmlSources> MoneyXmlSourcesFromName(std::string_view name) {
    if (name == "stock")
        return MoneyXmlSources::Stock;
    if (name == "invoices")
        return MoneyXmlSources::Invoices;
    if (name == "both")
        return MoneyXmlSources::Both;
    return std::nullopt;
}

MoneyXmlImportParams ReadMoneyXmlImportSettings(const CProfile& profile) {
    MoneyXmlImportParams params;
    params.money = ReadMoneyImportSettings(profile);
    params.file = profile.GetString(MoneyImportSection, "Soubor XML", "", 1000);
    const int sources = profile.GetInt(MoneyImportSection, "Doklady XML", 2);
    if (sources >= 0 && sources <= 2)
        params.sources = static_cast<MoneyXmlSources>(sources);
    return params;
}

bool WriteMoneyXmlImportSettings(CProfile& profile, const MoneyXmlImportParams& params) {
    return WriteMoneyImportSettings(profile, params.money) &&
           profile.WriteString(MoneyImportSection, "Soubor XML", params.file) &&
           profile.WriteInt(MoneyImportSection, "Doklady XML", static_cast<int>(params.sources));
}

bool ImportMoneyXml(CDataStore& store, IMessagePort& messages, IProgressPort& progressPort,
                    const MoneyXmlImportParams& params, ImportCounters& counters) {
    const ImportChoices& choices = params.money.choices;
    if (!choices.products && !choices.documents)
        return false;
    CMoneyXmlFile file;
    if (const std::error_code error = file.Open(params.file)) {
        messages.ShowMessage(Format("Nemohu otevřít soubor XML \"%s\"\n%s", params.file.c_str(),
                                    SystemErrorText(error).c_str()),
                             MsgIcon::Error);
        return false;
    }
    CImportProgress progress(progressPort);
    CExistingRecords existing(messages, choices.existing);
    CImportWriter writer(store, ImportSource::MoneyS3, counters);
    CMoneyXmlImport import(file, writer, existing, progress, params, counters);
    if (choices.products) {
        import.ImportProducts();
        writer.Flush();
    }
    if (choices.documents) {
        existing.ResetMode();
        import.ImportDocuments();
        writer.Flush();
    }
    return true;
}

} // namespace tarvo
