#pragma once

#include "core/data/oledate.h"
#include "core/data/quantity.h"
#include "core/data/transaction.h"
#include "core/records/dispatches.h"
#include "core/records/products.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

namespace tarvo {

class CoverDerivation;
class CDataStore;
class Profile;
class Statement;
class IMessagePort;
class IProgressPort;
class IViewNotifier;

// What both importers share: the counters, the rule for records imported
// before, the progress rule with cancel, the writing of products, documents
// and their lines (covers derived), and the driver with its summary.

// prod_source / move_source of an imported record. Products from Money's XML
// export have a source of their own: they are keyed by the card's
// abbreviation, the table import by Money's internal card number, and the
// two must never be taken for each other. Their documents are Money S3's: a
// document number is the same in both exports.
enum class ImportSource : int { MoneyS3 = 1, WakIntra = 2, MoneyS3Xml = 3 };

// What happens to a record that was imported before (the value stored in the
// settings under "Existujici zaznamy").
enum class ExistingMode : int { Overwrite = 0, Skip = 1, Ask = 2 };

// Records written: products (new, revived, overwritten, created for a line)
// and documents (new or overwritten).
struct ImportCounters {
    long products = 0;
    long documents = 0;
    // Delivery notes passed over because an invoice of the same import took
    // their goods; only an import that can meet both says how many.
    std::optional<long> invoicedNotes;
    // Documents stored under their number with their kind added, because a
    // document of another kind holds the number (see ImportedDocument).
    long numbersWithKind = 0;
    // Products of the table import taken over by the XML import.
    long takenOver = 0;
    // Records imported before and left as they were (the choice "přeskočit",
    // or the answer No).
    long skippedProducts = 0;
    long skippedDocuments = 0;
};

// The keys every import section of tarvo.ini has.
struct ImportChoices {
    bool products = true;
    bool documents = true;
    ExistingMode existing = ExistingMode::Skip;
};

inline constexpr std::string_view MoneyImportSection = "Import";
inline constexpr std::string_view WakImportSection = "ImportWAK";

// "Produkty", "Vydaje", "Existujici zaznamy" (defaults 1, 1, 1; a mode outside
// 0-2 reads as the default).
ImportChoices ReadImportChoices(const Profile& profile, std::string_view section);
bool WriteImportChoices(Profile& profile, std::string_view section, const ImportChoices& choices);

// The user pressed cancel in the progress window.
class ImportCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "import cancelled"; }
};

// Source data the import cannot go on with (a malformed file, say). The text
// is a complete Czech message; the driver shows it and reports an error.
class ImportError : public std::runtime_error {
public:
    explicit ImportError(const std::string& message) : std::runtime_error(message) {}
};

// How an import ended, as the summary says it.
enum class ImportResult {
    NotRun,      // the importer returned false: nothing shown
    Succeeded,   // "Import dokončen úspěšně!"
    Failed,      // "Během importu došlo k chybě!"
    Interrupted, // "Import byl přerušen!"
};

// The importer: returns false when it ended before any record could be
// written (it has said why where a message belongs); throws ComError or
// ImportError on a failure, ImportCancelled on the user's cancel.
using Importer = std::function<bool(ImportCounters&)>;

// Runs the importer with fresh counters, shows the error (if any) and the
// summary "%s\n\nNaimportováno:\n   Produktů ~ %li\n   Dokladů ~ %li" (and the
// lines of the counts that only some imports have, the records skipped as
// imported before last), then
// broadcasts ReloadMain when products were written and ReloadItems when
// documents were. counters receives the final counts.
ImportResult RunImport(IMessagePort& messages, IViewNotifier& views, const Importer& importer,
                       ImportCounters& counters);

// The summary text for a result and the counts.
std::string ImportSummaryText(ImportResult result, const ImportCounters& counters);

// The progress rule: range 0-200; per phase a status text, then at every row i
// (from 1) where (i - 1) is a multiple of max(N / 200, 1) a cancel check
// (throws ImportCancelled), "%li z %li" and the position i * 200 / N; the
// last row sets "N z N" and 200 as well.
class ImportProgress {
public:
    explicit ImportProgress(IProgressPort& progress);

    void BeginPhase(const std::string& status, long rowCount);
    void Row(long row);

private:
    IProgressPort& m_progress;
    long m_count = 0;
    long m_step = 1;
};

// The rule for a record found again by (source, identifier). The mode that a
// "všem" answer switches to holds until ResetMode(), which each importer calls
// before its document phase.
class ExistingRecords {
public:
    ExistingRecords(IMessagePort& messages, ExistingMode chosen);

    // True when the record is to be overwritten; asks in the ask mode.
    bool Overwrite(const std::string& question);
    void ResetMode() { m_mode = m_chosen; }
    ExistingMode Mode() const { return m_mode; }

private:
    IMessagePort& m_messages;
    ExistingMode m_chosen;
    ExistingMode m_mode;
};

// A product's identifier in its source (prod_scrid). The table sources
// number their products; Money's XML export names a card by its abbreviation,
// which is kept as the text it is ("0123" is not "123"): bound as bytes, since
// the column's number affinity would read "0123" as 123.
class SourceKey {
public:
    SourceKey(int64_t number) : m_value(number) {} // NOLINT: a number is a key
    explicit SourceKey(std::string text) : m_value(std::move(text)) {}

    void Bind(Statement& statement, int index) const;
    // Stores the key as the product's source id.
    void SetOn(ProductRecord& product) const;
    bool operator==(const SourceKey&) const = default;

private:
    friend struct SourceKeyHash;
    std::variant<int64_t, std::string> m_value;
};

struct SourceKeyHash {
    size_t operator()(const SourceKey& key) const {
        return std::hash<std::variant<int64_t, std::string>>()(key.m_value);
    }
};

// The texts of a product the import writes.
struct ImportedProduct {
    SourceKey scrid = 0;
    std::string name;
    std::string katalog;
    std::string unit;
};

// The header of a document the import writes.
struct ImportedDocument {
    std::string number;
    OleDate date;
    int type = 0;
    bool exportFlag = false;
    // Empty: the document is found again by its number alone. Set, for a
    // source whose number series are per kind: found by number and type, and
    // a new document whose number a document of another kind already holds
    // is stored as "number (kindMark)", so that neither replaces the other.
    std::string kindMark;
};

// Writes the imported records for one source. Each product, and each document
// with all its lines and their covers, is one unit: it is stored whole or not
// at all, so an error, a cancel or a crash never leaves a document with part
// of its lines. A document is held until it is complete, its values read and
// its products found, and only then written: a bad value or a cancel in its
// middle has written nothing of it. Finished units are committed in batches
// for speed, the headers, lines and covers of several documents by one INSERT;
// whatever was finished is kept when the writer goes away, also by an
// exception. Only a database failure while documents are being written takes
// back the batch they belong to (the database may have kept part of one),
// and the counts of what it wrote with it.
class ImportWriter {
public:
    // Products are written with productSource when given, else with source.
    ImportWriter(CDataStore& store, ImportSource source, ImportCounters& counters,
                 std::optional<ImportSource> productSource = std::nullopt);
    ~ImportWriter();
    ImportWriter(const ImportWriter&) = delete;
    ImportWriter& operator=(const ImportWriter&) = delete;

    // Products phase: finds the product by its identifier; a new one is
    // added, a deleted one revived without a question, another one is
    // overwritten when existing.Overwrite(question()) says so. True when
    // written (and counted).
    bool ImportProduct(const ImportedProduct& product, ExistingRecords& existing,
                       const std::function<std::string()>& question);

    // Documents phase: decides a document at its first line. A document found
    // by its number (and type, see ImportedDocument::kindMark) is overwritten
    // only when existing.Overwrite(question(stored number)) says so;
    // overwriting replaces its cover and product lines. True when the
    // document is open for its lines; an unfinished document before it is
    // finished first.
    bool BeginDocument(const ImportedDocument& document, ExistingRecords& existing,
                       const std::function<std::string(const std::string&)>& question);
    // A product line of the open document; a product missing from the
    // database is made from product(), created with the document and counted.
    // Covers are derived when the document is written.
    void AddLine(const SourceKey& prodScrid, Quantity quantity,
                 const std::function<ImportedProduct()>& product);
    // Stores the open document (if any) and counts it.
    void FinishDocument();
    // Stores every finished unit now.
    void Flush();

private:
    struct FoundProduct {
        int64_t id;
        bool deleted;
    };
    // A line of the open document: its product's id, or 0 for a product the
    // document creates, created[created].
    struct PendingLine {
        int64_t productId;
        size_t created;
        Quantity quantity;
    };
    struct PendingDocument {
        ImportedDocument header;
        std::string stored; // the number it is stored under
        std::optional<int64_t> found;
        std::vector<ImportedProduct> created;
        std::vector<PendingLine> lines;
    };
    // The counts of the batch's start, for a batch taken back.
    struct Written {
        long products;
        long documents;
        long numbersWithKind;
    };

    std::optional<FoundProduct> FindProduct(const SourceKey& scrid);
    std::optional<int64_t> FindDocument(const std::string& number);
    std::optional<int64_t> FindDocumentOfKind(const ImportedDocument& document,
                                              std::string& stored);
    // Writes the headers waiting, for a query that must see them.
    void WriteHeaders();
    void LoadFoldedNumbers();
    int64_t WriteProduct(std::optional<int64_t> id, const ImportedProduct& product);
    void OpenBatch();
    void UnitDone();
    void WriteDocument(const PendingDocument& document);
    // Writes the lines waiting and queues their covers.
    void WriteLines();
    // Writes every header, line and cover waiting: before the batch's
    // commit, and before a document's lines are replaced.
    void WriteWaiting();
    // Rolls the batch back after a failed write, with what was counted of
    // it. The writer is not used again: the error ends the import.
    void AbandonBatch();

    CDataStore& m_store;
    int m_source;
    int m_productSource;
    ImportCounters& m_counters;
    // The rows are written through these, their INSERTs prepared once for
    // the whole run. New headers wait, like the lines, for an INSERT of
    // many.
    ProductWriter m_productWriter;
    MoveBatchWriter m_moveWriter;
    MoveLineWriter m_lineWriter;
    // The product lines of the documents written, with their documents'
    // dates, and then their cover lines wait for a full INSERT across
    // documents; the batch's commit writes the rest.
    std::vector<MoveLineRecord> m_waitingLines;
    std::vector<OleDate> m_waitingDates;
    DerivedCoverWriter m_coverWriter;
    std::unique_ptr<Transaction> m_batch;
    std::chrono::steady_clock::time_point m_batchStart;
    Written m_batchCounts{};
    std::optional<PendingDocument> m_open;
    // The documents of the source by their case-folded number, in the order
    // they were stored, read at the first number not found as it is written
    // (see FindDocument).
    struct FoldedDocument {
        int64_t id;
        int type;
    };
    std::optional<std::unordered_map<std::string, std::vector<FoldedDocument>>> m_foldedNumbers;
    // The products found or written so far by their key: nothing else writes
    // products while the import runs, and nearly every line names one met
    // before.
    std::unordered_map<SourceKey, FoundProduct, SourceKeyHash> m_products;
    // Packaging definitions do not change during an import: read once.
    std::unique_ptr<CoverDerivation> m_covers;
};

} // namespace tarvo
