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

// One outgoing document of the export with its stock lines.
struct XmlDocument {
    pugi::xml_node node;
    const DocumentList* kind;
    std::vector<pugi::xml_node> lines;
};

// What a card of the file says about itself, for the match below.
struct CardFacts {
    std::string key;
    std::string name;
    std::string katalog;
};

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

// What the import learns from the whole file before it writes anything.
struct XmlSurvey {
    // The cards the import will write, each as it is first met: those
    // listed (with products), then those the lines name (with documents).
    std::vector<CardFacts> cards;
    long listedCards = 0;
    long lineCount = 0;
    // The delivery notes an invoice of this import takes the goods of, by
    // their place among the documents of the import.
    std::unordered_set<long> invoicedNotes;
};

class MoneyXmlImport {
public:
    MoneyXmlImport(MoneyXmlFile& file, ImportWriter& writer, ExistingRecords& existing,
                   ImportProgress& progress, const MoneyXmlImportParams& params,
                   ImportCounters& counters)
        : m_file(file), m_writer(writer), m_existing(existing), m_progress(progress),
          m_params(params), m_counters(counters) {
        SplitText(ToUpperText(params.money.nonExportCountries), ';', m_domestic);
    }

    // One pass over the file for what the phases need to know beforehand.
    void Survey(bool products, bool documents) {
        // A card is taken over by what its first mention says: later ones
        // are not kept.
        std::unordered_set<std::string> keys;
        const auto addCard = [&](CardFacts facts) {
            if (!facts.key.empty() && keys.insert(facts.key).second)
                m_survey.cards.push_back(std::move(facts));
        };
        if (products) {
            ForEachListedCard([&](const MoneyXmlFile::List&, pugi::xml_node card) {
                ++m_survey.listedCards;
                addCard({XmlText(card, "Zkrat"), XmlText(card, "Popis"), XmlText(card, "Katalog")});
            });
        }
        if (!documents)
            return;
        NoteLinks links;
        long ordinal = 0;
        ForEachDocument([&](const XmlDocument& document) {
            for (pugi::xml_node line : document.lines) {
                const pugi::xml_node stock = StockLine(line);
                const pugi::xml_node card = stock.child("KmKarta");
                addCard({XmlText(card, "Zkrat"), LineName(stock, card), XmlText(card, "Katalog")});
            }
            m_survey.lineCount += static_cast<long>(document.lines.size());
            if (TakesFromNotes())
                links.Add(document, ordinal);
            ++ordinal;
        });
        m_survey.invoicedNotes = links.InvoicedNotes();
    }

    const std::vector<CardFacts>& Cards() const { return m_survey.cards; }

    void ImportProducts() {
        if (m_survey.listedCards == 0)
            return;
        m_progress.BeginPhase("Importuji kmenové karty", m_survey.listedCards);
        // A card held in several stores comes once for each of them.
        std::unordered_set<std::string> done;
        long row = 0;
        ForEachListedCard([&](const MoneyXmlFile::List&, pugi::xml_node card) {
            m_progress.Row(++row);
            const std::string key = XmlText(card, "Zkrat");
            if (key.empty())
                throw ImportError(Format("Kmenová karta na řádku %li souboru \"%s\" nemá "
                                         "zkratku (element Zkrat).",
                                         m_file.LineOf(card), m_file.Path().c_str()));
            if (!done.insert(key).second)
                return;
            const ImportedProduct product{SourceKey(key), XmlText(card, "Popis"),
                                          XmlText(card, "Katalog"), XmlText(card, "MJ")};
            m_writer.ImportProduct(product, m_existing, [&product] {
                return Format("Produkt \"%s, kat.č. %s\" byl již z Money importován. Přejete "
                              "si jej aktualizovat?",
                              product.name.c_str(), product.katalog.c_str());
            });
        });
    }

    void ImportDocuments() {
        if (TakesFromNotes())
            m_counters.invoicedNotes = 0;
        if (m_survey.lineCount == 0)
            return;

        m_progress.BeginPhase("Importuji skladové pohyby", m_survey.lineCount);
        long row = 0;
        long ordinal = 0;
        ForEachDocument([&](const XmlDocument& document) {
            const bool invoiced = m_survey.invoicedNotes.count(ordinal++) > 0;
            bool writing = false;
            for (size_t i = 0; i < document.lines.size(); ++i) {
                // A document is complete when the next one starts: stored
                // before the cancel check, so a cancel drops only a document
                // half read.
                if (i == 0)
                    m_writer.FinishDocument();
                m_progress.Row(++row);
                if (i == 0)
                    writing = BeginDocument(document, invoiced);
                if (writing)
                    AddLine(document.lines[i]);
            }
        });
        m_writer.FinishDocument();
    }

private:
    // The links between invoices and delivery notes: a note is left out when
    // an invoice of this import takes its goods, because the invoice names
    // the note among its links or the note names the invoice. An invoice that
    // is cancelled or has no stock lines takes nothing, and its note is
    // imported.
    class NoteLinks {
    public:
        void Add(const XmlDocument& document, long ordinal) {
            if (document.kind->type == TypeInvoice) {
                if (document.lines.empty() || Cancelled(document.node))
                    return;
                m_takingInvoices.insert(FoldCase(Number(document)));
                ForEachLink(document.node, [&](pugi::xml_node link) {
                    const std::string kind = ToUpperText(XmlText(link, "Doklad/Druh"));
                    if (std::find(std::begin(OtherLinkedKinds), std::end(OtherLinkedKinds), kind) ==
                        std::end(OtherLinkedKinds))
                        m_linkedNumbers.insert(FoldCase(XmlText(link, "Doklad/Cislo")));
                });
            } else if (document.kind->type == TypeDeliveryNote) {
                Note note{ordinal, FoldCase(Number(document)), {}};
                ForEachLink(document.node, [&](pugi::xml_node link) {
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
        std::unordered_set<std::string> m_takingInvoices;
        std::unordered_set<std::string> m_linkedNumbers;
        std::vector<Note> m_notes;
    };

    bool TakesFromNotes() const { return m_params.sources == MoneyXmlSources::Both; }

    // The cards of the first card list, then those of the first list of
    // stores, as the file has them.
    void ForEachListedCard(const MoneyXmlFile::ItemVisitor& visit) {
        m_file.ForEachItem(
            [](const MoneyXmlFile::List& list) {
                return list.first && list.name == "SeznamKmKarta";
            },
            [&](const MoneyXmlFile::List& list, pugi::xml_node card) {
                if (std::string_view(card.name()) == "KmKarta")
                    visit(list, card);
            });
        m_file.ForEachItem(
            [](const MoneyXmlFile::List& list) {
                return list.first && list.name == "SeznamZasoba";
            },
            [&](const MoneyXmlFile::List& list, pugi::xml_node stock) {
                if (std::string_view(stock.name()) != "Zasoba")
                    return;
                if (pugi::xml_node card = stock.child("KmKarta"))
                    visit(list, card);
            });
    }

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

    // The documents of the chosen sources, in the order of the file, as Money
    // wrote them.
    void ForEachDocument(const std::function<void(const XmlDocument&)>& visit) {
        m_file.ForEachItem(
            [this](const MoneyXmlFile::List& list) { return ChosenKind(list.name) != nullptr; },
            [&](const MoneyXmlFile::List& list, pugi::xml_node node) {
                const DocumentList& kind = *ChosenKind(list.name);
                if (std::string_view(node.name()) != kind.document)
                    return;
                XmlDocument document{node, &kind, {}};
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
                visit(document);
            });
    }

    static pugi::xml_node StockLine(pugi::xml_node line) {
        return line.child("SklPolozka") ? line.child("SklPolozka") : line;
    }

    // A card the export does not list is made from the line, as the table
    // import makes it.
    static std::string LineName(pugi::xml_node stock, pugi::xml_node card) {
        std::string name = XmlText(stock, "Nazev");
        return name.empty() ? XmlText(card, "Popis") : name;
    }

    static bool Cancelled(pugi::xml_node invoice) {
        return IsSet(XmlText(invoice, "Storno")) || IsSet(XmlText(invoice, "Del"));
    }

    static std::string Number(const XmlDocument& document) {
        return XmlText(document.node, document.kind->type == TypeInvoice ? "Doklad" : "CisloDokla");
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

    bool BeginDocument(const XmlDocument& document, bool invoiced) {
        if (document.kind->type == TypeInvoice && Cancelled(document.node))
            return false;
        if (invoiced) {
            ++*m_counters.invoicedNotes;
            return false;
        }
        ImportedDocument header;
        header.type = document.kind->type;
        header.kindMark = document.kind->mark;
        header.number = Number(document);
        if (header.number.empty())
            throw ImportError(Format("Doklad na řádku %li souboru \"%s\" nemá číslo (element %s).",
                                     m_file.LineOf(document.node), m_file.Path().c_str(),
                                     document.kind->type == TypeInvoice ? "Doklad" : "CisloDokla"));
        header.date = DocumentDate(document);
        header.exportFlag = IsExport(document.node.child("DodOdb").child("ObchAdresa"));
        return m_writer.BeginDocument(header, m_existing, [](const std::string& number) {
            return Format("Doklad \"%s\" byl již z Money importován. Přejete si jej aktualizovat?",
                          number.c_str());
        });
    }

    // The day of the stock movement, else the document's own date.
    OleDate DocumentDate(const XmlDocument& document) const {
        const bool invoice = document.kind->type == TypeInvoice;
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
        const pugi::xml_node stock = StockLine(line);
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
            return ImportedProduct{SourceKey(key), LineName(stock, card), XmlText(card, "Katalog"),
                                   XmlText(card, "MJ")};
        });
    }

    MoneyXmlFile& m_file;
    ImportWriter& m_writer;
    ExistingRecords& m_existing;
    ImportProgress& m_progress;
    const MoneyXmlImportParams& m_params;
    ImportCounters& m_counters;
    std::vector<std::string> m_domestic;
    XmlSurvey m_survey;
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
    MoneyXmlFile file;
    if (const std::error_code error = file.Open(params.file)) {
        messages.ShowMessage(Format("Nemohu otevřít soubor XML \"%s\"\n%s", params.file.c_str(),
                                    SystemErrorText(error).c_str()),
                             MsgIcon::Error);
        return false;
    }
    ImportProgress progress(progressPort);
    ExistingRecords existing(messages, choices.existing);
    ImportWriter writer(store, ImportSource::MoneyS3, counters, ImportSource::MoneyS3Xml);
    MoneyXmlImport import(file, writer, existing, progress, params, counters);
    import.Survey(choices.products, choices.documents);
    counters.takenOver = TakeOverTableProducts(store, import.Cards());
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
