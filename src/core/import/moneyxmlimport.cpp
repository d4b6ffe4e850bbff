#include "core/import/moneyxmlimport.h"

#include "core/data/cdatastore.h"
#include "core/data/profile.h"
#include "core/data/shared.h"
#include "core/data/sqlfunctions.h"
#include "core/data/statement.h"
#include "core/data/transaction.h"
#include "core/import/moneyxmlfile.h"
#include "core/ports/messageport.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <iterator>
#include <optional>
#include <system_error>
#include <unordered_map>
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
// one document, its move type and the mark that tells it from a document of
// another kind with the same number. Money numbers each kind in a series of
// its own, so an issue slip and a sales slip may share a number: the second
// one stored is kept as "number (mark)". The marks are short, so that a
// number with its mark stays within the 20 characters that the dispatch
// dialog admits (Money's numbers have at most 10).
struct DocumentList {
    const char* list;
    const char* document;
    int type;
    const char* mark;
};
constexpr DocumentList StockLists[] = {
    {"SeznamVydejka", "Vydejka", TypeIssue, "VY"},
    {"SeznamDLVyd", "DLVyd", TypeDeliveryNote, "DL"},
    {"SeznamProdejka", "Prodejka", TypeSale, "PR"},
};
constexpr DocumentList InvoiceList = {"SeznamFaktVyd", "FaktVyd", TypeInvoice, "FV"};

// Kinds of linked documents that are not delivery notes (orders, invoices,
// receivables, payables): a link to one of them never leaves a note out.
constexpr std::string_view OtherLinkedKinds[] = {"OP", "OV", "FV", "FP", "PH", "ZV"};

// An xs:boolean or a number: anything but empty, "0" and "false" is set.
bool IsSet(const std::string& value) {
    return !value.empty() && value != "0" && ToUpperText(value) != "FALSE";
}

// What a card of the file says about itself: a listed card, or the card a
// line names, with the line's own name for it.
struct CardFacts {
    std::string key;
    std::string name;
    std::string katalog;
    std::string unit;

    bool operator==(const CardFacts&) const = default;
};

struct CardFactsHash {
    size_t operator()(const CardFacts& card) const {
        const std::hash<std::string> hash;
        size_t value = hash(card.key);
        for (const std::string* text : {&card.name, &card.katalog, &card.unit})
            value = value * 31 + hash(*text);
        return value;
    }
};

ImportedProduct ProductOf(const CardFacts& card) {
    return ImportedProduct{SourceKey(card.key), card.name, card.katalog, card.unit};
}

// The value a card and a product are matched by: the catalogue number, or the
// name when there is none ("" when neither).
std::string MatchValue(const std::string& katalog, const std::string& name) {
    if (const std::string k = Trim(katalog); !k.empty())
        return "K" + FoldCase(k);
    if (const std::string n = Trim(name); !n.empty())
        return "N" + FoldCase(n);
    return {};
}

// Money's table import keys a product by the card's internal number, which
// the XML export does not carry. So that a user who moves to the XML export
// keeps the products and their packaging, a card new to the XML source takes
// over the live product of the table import with the same catalogue number
// (the same name when the card has none), once: the product gets the XML
// source and the card's key, and the existing-records mode then treats it as
// found. Only a value that names one card of the file and one such product
// counts, so that nothing is taken by a guess. Returns how many were taken.
long TakeOverTableProducts(CDataStore& store, const std::vector<CardFacts>& cards) {
    std::unordered_set<std::string> known;
    Statement xml(store, "SELECT prod_scrid FROM Product WHERE prod_source = ? AND "
                         "prod_scrid IS NOT NULL");
    xml.BindInt(1, static_cast<int>(ImportSource::MoneyS3Xml));
    while (xml.Step())
        known.insert(xml.Text(0));

    // Match value -> the one card (or product) that has it; "" when several.
    std::unordered_map<std::string, std::string> fileCards;
    std::unordered_set<std::string> keys;
    for (const CardFacts& card : cards) {
        // A card without a key stops the import when it is met: nothing to
        // take over for it.
        const std::string value = MatchValue(card.katalog, card.name);
        if (card.key.empty() || value.empty() || !keys.insert(card.key).second)
            continue;
        const auto [it, added] = fileCards.emplace(value, card.key);
        if (!added)
            it->second.clear();
    }
    std::unordered_map<std::string, std::optional<int64_t>> tableProducts;
    Statement table(store, "SELECT prod_id, prod_katalog, prod_name FROM Product WHERE "
                           "prod_source = ? AND deleted = 0");
    table.BindInt(1, static_cast<int>(ImportSource::MoneyS3));
    while (table.Step()) {
        const std::string value = MatchValue(table.Text(1), table.Text(2));
        const auto [it, added] = tableProducts.emplace(value, table.Int(0));
        if (!added)
            it->second.reset();
    }

    long taken = 0;
    Transaction unit(store);
    Statement rekey(store, "UPDATE Product SET prod_source = ?, prod_scrid = ? WHERE prod_id = ?");
    for (const auto& [value, key] : fileCards) {
        const auto product = tableProducts.find(value);
        if (key.empty() || known.count(key) > 0 || product == tableProducts.end() ||
            !product->second)
            continue;
        rekey.BindInt(1, static_cast<int>(ImportSource::MoneyS3Xml));
        SourceKey(key).Bind(rekey, 2);
        rekey.BindInt(3, *product->second);
        rekey.Run();
        ++taken;
    }
    unit.Commit();
    return taken;
}

// A listed card. error: the message that stops the import when the card's
// turn comes (it has no key).
struct ListedCard {
    CardFacts card;
    std::string error;
};

// A stock line: the card it names (in XmlExport::lineCards) and how many.
struct XmlLine {
    size_t card = 0;
    Quantity quantity = Quantity::FromScaled(0);
};

// An outgoing document of the chosen sources, as the import writes it.
struct XmlDocument {
    const DocumentList* kind = nullptr;
    std::string number;
    OleDate date;
    bool exportFlag = false;
    // An invoice cancelled or deleted in Money: it moves no goods.
    bool cancelled = false;
    // Its stock lines: XmlExport::lines from firstLine up to endLine.
    size_t firstLine = 0;
    size_t endLine = 0;
    // The message that stops the import when the document's turn comes (no
    // number, a date that is none).
    std::string error;
};

// What the import keeps of the export: read, with the whole file checked,
// before anything is written, and then written without the file. A value the
// import cannot take stops it only when its record's turn comes, so that the
// records before it are kept.
struct XmlExport {
    // The cards of the first card list, then those of the first list of
    // stores, as the file has them.
    std::vector<ListedCard> listedCards;
    std::vector<XmlDocument> documents;
    std::vector<XmlLine> lines;
    // The message that stops the import when a line's turn comes, by the
    // line's place in lines: the few lines kept small.
    std::unordered_map<size_t, std::string> lineErrors;
    // The cards the lines name, each once.
    std::vector<CardFacts> lineCards;
    // The delivery notes an invoice of this import takes the goods of, by
    // their place among the documents.
    std::unordered_set<long> invoicedNotes;

    // The cards the import will write, each as it is first met: those
    // listed, then those the lines name.
    std::vector<CardFacts> Cards() const {
        std::vector<CardFacts> cards;
        std::unordered_set<std::string> keys;
        // A card is taken over by what its first mention says: later ones
        // are not kept.
        const auto add = [&](const CardFacts& card) {
            if (!card.key.empty() && keys.insert(card.key).second)
                cards.push_back(card);
        };
        for (const ListedCard& listed : listedCards)
            add(listed.card);
        for (const XmlLine& line : lines)
            add(lineCards[line.card]);
        return cards;
    }
};

// The links between invoices and delivery notes: a note is left out when an
// invoice of this import takes its goods, because the invoice names the note
// among its links or the note names the invoice. An invoice that is cancelled
// or has no stock lines takes nothing, and its note is imported.
class NoteLinks {
public:
    void Add(const XmlDocument& document, pugi::xml_node node, long ordinal) {
        if (document.kind->type == TypeInvoice) {
            if (document.firstLine == document.endLine || document.cancelled)
                return;
            m_takingInvoices.insert(FoldCase(document.number));
            ForEachLink(node, [&](pugi::xml_node link) {
                const std::string kind = ToUpperText(XmlText(link, "Doklad/Druh"));
                if (std::find(std::begin(OtherLinkedKinds), std::end(OtherLinkedKinds), kind) ==
                    std::end(OtherLinkedKinds))
                    m_linkedNumbers.insert(FoldCase(XmlText(link, "Doklad/Cislo")));
            });
        } else if (document.kind->type == TypeDeliveryNote) {
            Note note{ordinal, FoldCase(document.number), {}};
            ForEachLink(node, [&](pugi::xml_node link) {
                if (ToUpperText(XmlText(link, "Doklad/Druh")) == "FV")
                    note.invoices.push_back(FoldCase(XmlText(link, "Doklad/Cislo")));
            });
            m_notes.push_back(std::move(note));
        }
    }

    std::unordered_set<long> InvoicedNotes() const {
        std::unordered_set<long> invoiced;
        for (const Note& note : m_notes) {
            bool taken = m_linkedNumbers.count(note.number) > 0;
            for (const std::string& invoice : note.invoices)
                taken = taken || m_takingInvoices.count(invoice) > 0;
            if (taken)
                invoiced.insert(note.ordinal);
        }
        return invoiced;
    }

private:
    struct Note {
        long ordinal;
        std::string number;
        std::vector<std::string> invoices;
    };

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

    std::unordered_set<std::string> m_takingInvoices;
    std::unordered_set<std::string> m_linkedNumbers;
    std::vector<Note> m_notes;
};

// Reads the export in one pass into what the import keeps of it.
class XmlExportReader {
public:
    XmlExportReader(const MoneyXmlImportParams& params, XmlExport& data)
        : m_params(params), m_data(data) {
        SplitText(ToUpperText(params.money.nonExportCountries), ';', m_domestic);
    }

    // The cards when products, the documents when documents; the file's error
    // code when it cannot be read (see MoneyXmlFile::Read).
    std::error_code Read(bool products, bool documents) {
        std::vector<ListedCard> storeCards;
        const std::error_code error = m_file.Read(
            m_params.file,
            [&](const MoneyXmlFile::List& list) {
                return (products && list.first &&
                        (list.name == "SeznamKmKarta" || list.name == "SeznamZasoba")) ||
                       (documents && ChosenKind(list.name) != nullptr);
            },
            [&](const MoneyXmlFile::List& list, pugi::xml_node item) {
                const std::string_view name = item.name();
                if (list.name == "SeznamKmKarta") {
                    if (name == "KmKarta")
                        m_data.listedCards.push_back(Listed(item));
                } else if (list.name == "SeznamZasoba") {
                    if (pugi::xml_node card = item.child("KmKarta"); card && name == "Zasoba")
                        storeCards.push_back(Listed(card));
                } else if (const DocumentList* kind = ChosenKind(list.name)) {
                    if (name == kind->document)
                        AddDocument(*kind, item);
                }
            });
        if (error)
            return error;
        m_data.listedCards.insert(m_data.listedCards.end(),
                                  std::make_move_iterator(storeCards.begin()),
                                  std::make_move_iterator(storeCards.end()));
        m_data.invoicedNotes = m_links.InvoicedNotes();
        return {};
    }

private:
    bool TakesFromNotes() const { return m_params.sources == MoneyXmlSources::Both; }

    // The kind of documents a list holds when its documents are imported.
    const DocumentList* ChosenKind(const std::string& list) const {
        const bool stock = m_params.sources != MoneyXmlSources::Invoices;
        const bool invoices = m_params.sources != MoneyXmlSources::Stock;
        for (const DocumentList& kind : StockLists) {
            if (stock && list == kind.list)
                return &kind;
        }
        return invoices && list == InvoiceList.list ? &InvoiceList : nullptr;
    }

    ListedCard Listed(pugi::xml_node card) const {
        ListedCard listed{{XmlText(card, "Zkrat"), XmlText(card, "Popis"), XmlText(card, "Katalog"),
                           XmlText(card, "MJ")},
                          {}};
        if (listed.card.key.empty())
            listed.error = Format("Kmenová karta na řádku %li souboru \"%s\" nemá zkratku "
                                  "(element Zkrat).",
                                  m_file.LineOf(card), m_file.Path().c_str());
        return listed;
    }

    // A document as Money wrote it, with its stock lines.
    void AddDocument(const DocumentList& kind, pugi::xml_node node) {
        XmlDocument document;
        document.kind = &kind;
        const bool invoice = kind.type == TypeInvoice;
        const char* const numberElement = invoice ? "Doklad" : "CisloDokla";
        document.number = XmlText(node, numberElement);
        document.cancelled =
            invoice && (IsSet(XmlText(node, "Storno")) || IsSet(XmlText(node, "Del")));
        document.exportFlag = IsExport(node.child("DodOdb").child("ObchAdresa"));
        if (document.number.empty())
            document.error = Format("Doklad na řádku %li souboru \"%s\" nemá číslo (element %s).",
                                    m_file.LineOf(node), m_file.Path().c_str(), numberElement);
        else
            ReadDate(node, document);

        document.firstLine = m_data.lines.size();
        if (invoice) {
            // Only the stock lines of an invoice move goods.
            for (pugi::xml_node line : node.child("SeznamPolozek").children("Polozka")) {
                if (line.child("SklPolozka"))
                    AddLine(line);
            }
        } else {
            for (pugi::xml_node line : node.children("Polozka"))
                AddLine(line);
        }
        document.endLine = m_data.lines.size();
        if (TakesFromNotes())
            m_links.Add(document, node, static_cast<long>(m_data.documents.size()));
        m_data.documents.push_back(std::move(document));
    }

    // The day of the stock movement, else the document's own date.
    void ReadDate(pugi::xml_node node, XmlDocument& document) const {
        const char* const invoiceDates[] = {"DatSkPoh", "PlnenoDPH", "Vystaveno"};
        const char* const stockDates[] = {"DatSkPoh", "Datum"};
        const auto pick = [&](auto& names) {
            for (const char* name : names) {
                const pugi::xml_node element = node.child(name);
                const std::string text = Trim(element.child_value());
                if (text.empty())
                    continue;
                if (const std::optional<OleDate> date = ParseDate(text))
                    document.date = *date;
                else
                    document.error =
                        Format("Datum \"%s\" v elementu %s na řádku %li souboru "
                               "\"%s\" není platné.",
                               text.c_str(), name, m_file.LineOf(element), m_file.Path().c_str());
                return;
            }
        };
        if (document.kind->type == TypeInvoice)
            pick(invoiceDates);
        else
            pick(stockDates);
    }

    // xs:date: yyyy-mm-dd, a time zone after it is of no interest.
    static std::optional<OleDate> ParseDate(const std::string& text) {
        int parts[3] = {0, 0, 0};
        const char* at = text.data();
        const char* const end = text.data() + text.size();
        for (int i = 0; i < 3; ++i) {
            const auto [next, error] = std::from_chars(at, end, parts[i]);
            const bool separatorOk = i == 2 || (next != end && *next == '-');
            if (error != std::errc() || !separatorOk)
                return std::nullopt;
            at = i == 2 ? next : next + 1;
        }
        if (parts[1] < 1 || parts[1] > 12 || parts[2] < 1 || parts[2] > 31)
            return std::nullopt;
        const OleDate date = OleDate::FromParts(parts[0], parts[1], parts[2]);
        if (!date.IsValid())
            return std::nullopt;
        return date;
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
        // The card stands in the line's stock part (an invoice's), else in
        // the line itself.
        pugi::xml_node stock = line.child("SklPolozka");
        if (!stock)
            stock = line;
        const pugi::xml_node card = stock.child("KmKarta");
        // A card the export does not list is made from the line, as the
        // table import makes it.
        std::string name = XmlText(stock, "Nazev");
        if (name.empty())
            name = XmlText(card, "Popis");
        XmlLine kept;
        kept.card = CardIndex({XmlText(card, "Zkrat"), std::move(name), XmlText(card, "Katalog"),
                               XmlText(card, "MJ")});
        std::string error;
        if (m_data.lineCards[kept.card].key.empty()) {
            error = Format("Položka dokladu na řádku %li souboru \"%s\" nemá kmenovou "
                           "kartu (element KmKarta/Zkrat).",
                           m_file.LineOf(line), m_file.Path().c_str());
        } else {
            pugi::xml_node count = line.child("PocetMJ");
            if (!count)
                count = stock.child("PocetMJ");
            const std::string text = Trim(count.child_value());
            std::optional<Quantity> quantity = kept.quantity;
            if (!text.empty())
                quantity = ParseQuantity(text);
            if (quantity)
                kept.quantity = *quantity;
            else
                error = Format("Množství \"%s\" v elementu PocetMJ na řádku %li souboru "
                               "\"%s\" není číslo.",
                               text.c_str(), m_file.LineOf(count), m_file.Path().c_str());
        }
        if (!error.empty())
            m_data.lineErrors.emplace(m_data.lines.size(), std::move(error));
        m_data.lines.push_back(kept);
    }

    // Where the card stands in XmlExport::lineCards, added when new: most
    // lines name a card named before.
    size_t CardIndex(CardFacts card) {
        const auto known = m_cardIndex.find(card);
        if (known != m_cardIndex.end())
            return known->second;
        const size_t index = m_data.lineCards.size();
        m_data.lineCards.push_back(card);
        m_cardIndex.emplace(std::move(card), index);
        return index;
    }

    const MoneyXmlImportParams& m_params;
    XmlExport& m_data;
    MoneyXmlFile m_file;
    std::vector<std::string> m_domestic;
    NoteLinks m_links;
    std::unordered_map<CardFacts, size_t, CardFactsHash> m_cardIndex;
};

class MoneyXmlImport {
public:
    MoneyXmlImport(const XmlExport& data, ImportWriter& writer, ExistingRecords& existing,
                   ImportProgress& progress, const MoneyXmlImportParams& params,
                   ImportCounters& counters)
        : m_data(data), m_writer(writer), m_existing(existing), m_progress(progress),
          m_params(params), m_counters(counters) {}

    void ImportProducts() {
        if (m_data.listedCards.empty())
            return;
        m_progress.BeginPhase("Importuji kmenové karty",
                              static_cast<long>(m_data.listedCards.size()));
        // A card held in several stores comes once for each of them.
        std::unordered_set<std::string> done;
        long row = 0;
        for (const ListedCard& listed : m_data.listedCards) {
            m_progress.Row(++row);
            if (!listed.error.empty())
                throw ImportError(listed.error);
            if (!done.insert(listed.card.key).second)
                continue;
            const ImportedProduct product = ProductOf(listed.card);
            m_writer.ImportProduct(product, m_existing, [&product] {
                return Format("Produkt \"%s, kat.č. %s\" byl již z Money importován. Přejete "
                              "si jej aktualizovat?",
                              product.name.c_str(), product.katalog.c_str());
            });
        }
    }

    void ImportDocuments() {
        if (m_params.sources == MoneyXmlSources::Both)
            m_counters.invoicedNotes = 0;
        if (m_data.lines.empty())
            return;

        m_progress.BeginPhase("Importuji skladové pohyby", static_cast<long>(m_data.lines.size()));
        long row = 0;
        for (size_t ordinal = 0; ordinal < m_data.documents.size(); ++ordinal) {
            const XmlDocument& document = m_data.documents[ordinal];
            const bool invoiced = m_data.invoicedNotes.count(static_cast<long>(ordinal)) > 0;
            bool writing = false;
            for (size_t i = document.firstLine; i < document.endLine; ++i) {
                const bool first = i == document.firstLine;
                // A document is complete when the next one starts: stored
                // before the cancel check, so a cancel drops only a document
                // half read.
                if (first)
                    m_writer.FinishDocument();
                m_progress.Row(++row);
                if (first)
                    writing = BeginDocument(document, invoiced);
                if (writing)
                    AddLine(i);
            }
        }
        m_writer.FinishDocument();
    }

private:
    bool BeginDocument(const XmlDocument& document, bool invoiced) {
        if (document.cancelled)
            return false;
        if (invoiced) {
            ++*m_counters.invoicedNotes;
            return false;
        }
        if (!document.error.empty())
            throw ImportError(document.error);
        ImportedDocument header;
        header.type = document.kind->type;
        header.kindMark = document.kind->mark;
        header.number = document.number;
        header.date = document.date;
        header.exportFlag = document.exportFlag;
        return m_writer.BeginDocument(header, m_existing, [](const std::string& number) {
            return Format("Doklad \"%s\" byl již z Money importován. Přejete si jej aktualizovat?",
                          number.c_str());
        });
    }

    // The line at that place in XmlExport::lines.
    void AddLine(size_t place) {
        if (const auto error = m_data.lineErrors.find(place); error != m_data.lineErrors.end())
            throw ImportError(error->second);
        const XmlLine& line = m_data.lines[place];
        const CardFacts& card = m_data.lineCards[line.card];
        m_writer.AddLine(SourceKey(card.key), line.quantity, [&card] { return ProductOf(card); });
    }

    const XmlExport& m_data;
    ImportWriter& m_writer;
    ExistingRecords& m_existing;
    ImportProgress& m_progress;
    const MoneyXmlImportParams& m_params;
    ImportCounters& m_counters;
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

MoneyXmlImportParams ReadMoneyXmlImportSettings(const Profile& profile) {
    MoneyXmlImportParams params;
    params.money = ReadMoneyImportSettings(profile);
    params.file = profile.GetString(MoneyImportSection, "Soubor XML", "", 1000);
    const int sources = profile.GetInt(MoneyImportSection, "Doklady XML", 2);
    if (sources >= 0 && sources <= 2)
        params.sources = static_cast<MoneyXmlSources>(sources);
    return params;
}

bool WriteMoneyXmlImportSettings(Profile& profile, const MoneyXmlImportParams& params) {
    return WriteMoneyImportSettings(profile, params.money) &&
           profile.WriteString(MoneyImportSection, "Soubor XML", params.file) &&
           profile.WriteInt(MoneyImportSection, "Doklady XML", static_cast<int>(params.sources));
}

bool ImportMoneyXml(CDataStore& store, IMessagePort& messages, IProgressPort& progressPort,
                    const MoneyXmlImportParams& params, ImportCounters& counters) {
    const ImportChoices& choices = params.money.choices;
    if (!choices.products && !choices.documents)
        return false;
    XmlExport data;
    if (const std::error_code error =
            XmlExportReader(params, data).Read(choices.products, choices.documents)) {
        messages.ShowMessage(Format("Nemohu otevřít soubor XML \"%s\"\n%s", params.file.c_str(),
                                    SystemErrorText(error).c_str()),
                             MsgIcon::Error);
        return false;
    }
    ImportProgress progress(progressPort);
    ExistingRecords existing(messages, choices.existing);
    ImportWriter writer(store, ImportSource::MoneyS3, counters, ImportSource::MoneyS3Xml);
    counters.takenOver = TakeOverTableProducts(store, data.Cards());
    MoneyXmlImport import(data, writer, existing, progress, params, counters);
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
