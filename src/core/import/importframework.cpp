#include "core/import/importframework.h"

#include "core/data/cdatastore.h"
#include "core/data/comerror.h"
#include "core/data/profile.h"
#include "core/data/shared.h"
#include "core/data/sqlfunctions.h"
#include "core/data/statement.h"
#include "core/engine/coverderivation.h"
#include "core/ports/messageport.h"
#include "core/ports/notifyport.h"
#include "core/ports/progressport.h"

#include <algorithm>
#include <chrono>

namespace tarvo {

namespace {

constexpr int ProgressRange = 200;

// Finished units are stored together: one commit per unit would make a large
// import wait on the disk for every document. A batch is committed after a
// second, so a crash costs at most that much finished work.
constexpr auto BatchTime = std::chrono::seconds(1);

// Product lines of several documents go in by one INSERT of about this many.
constexpr size_t LinesPerInsert = 32;

} // namespace

ImportChoices ReadImportChoices(const Profile& profile, std::string_view section) {
    ImportChoices choices;
    choices.products = profile.GetInt(section, "Produkty", 1) != 0;
    choices.documents = profile.GetInt(section, "Vydaje", 1) != 0;
    const int mode = profile.GetInt(section, "Existujici zaznamy", 1);
    choices.existing =
        mode >= 0 && mode <= 2 ? static_cast<ExistingMode>(mode) : ExistingMode::Skip;
    return choices;
}

bool WriteImportChoices(Profile& profile, std::string_view section, const ImportChoices& choices) {
    return profile.WriteInt(section, "Produkty", choices.products ? 1 : 0) &&
           profile.WriteInt(section, "Vydaje", choices.documents ? 1 : 0) &&
           profile.WriteInt(section, "Existujici zaznamy", static_cast<int>(choices.existing));
}

std::string ImportSummaryText(ImportResult result, const ImportCounters& counters) {
    const char* text = "Import dokončen úspěšně!";
    if (result == ImportResult::Failed)
        text = "Během importu došlo k chybě!";
    else if (result == ImportResult::Interrupted)
        text = "Import byl přerušen!";
    std::string summary = Format("%s\n\nNaimportováno:\n   Produktů ~ %li\n   Dokladů ~ %li", text,
                                 counters.products, counters.documents);
    if (counters.invoicedNotes)
        summary += Format("\n\nVynecháno jako již fakturované:\n   Dodacích listů ~ %li",
                          *counters.invoicedNotes);
    if (counters.takenOver > 0)
        summary += Format("\n\nPřevzato z importu tabulek Money S3:\n   Produktů ~ %li",
                          counters.takenOver);
    if (counters.numbersWithKind > 0)
        summary += Format("\n\nUloženo s druhem za číslem (stejné číslo má doklad jiného "
                          "druhu):\n   Dokladů ~ %li",
                          counters.numbersWithKind);
    if (counters.skippedProducts > 0 || counters.skippedDocuments > 0)
        summary += Format("\n\nVynecháno jako již importované:\n   Produktů ~ %li\n   "
                          "Dokladů ~ %li",
                          counters.skippedProducts, counters.skippedDocuments);
    return summary;
}

ImportResult RunImport(IMessagePort& messages, IViewNotifier& views, const Importer& importer,
                       ImportCounters& counters) {
    counters = ImportCounters{};
    ImportResult result = ImportResult::Succeeded;
    try {
        if (!importer(counters))
            return ImportResult::NotRun;
    } catch (const ComError& e) {
        ShowComError(messages, e);
        result = ImportResult::Failed;
    } catch (const ImportError& e) {
        messages.ShowMessage(e.what(), MsgIcon::Error);
        result = ImportResult::Failed;
    } catch (const std::exception&) {
        // The user's cancel and anything unforeseen.
        result = ImportResult::Interrupted;
    }
    messages.ShowMessage(ImportSummaryText(result, counters), MsgIcon::Information);
    if (counters.products > 0)
        views.NotifyAllViews(ViewNotification::ReloadMain);
    if (counters.documents > 0)
        views.NotifyAllViews(ViewNotification::ReloadItems);
    return result;
}

ImportProgress::ImportProgress(IProgressPort& progress) : m_progress(progress) {
    m_progress.SetRange(0, ProgressRange);
}

void ImportProgress::BeginPhase(const std::string& status, long rowCount) {
    m_progress.SetStatus(status);
    m_count = rowCount;
    m_step = std::max(rowCount / ProgressRange, 1L);
    m_progress.SetPos(0);
}

void ImportProgress::Row(long row) {
    const bool due = (row - 1) % m_step == 0;
    // The last row is shown too, so that a phase ends at its full count and
    // 100 %; the cancel check keeps its rhythm.
    if (!due && row != m_count)
        return;
    if (due && m_progress.CheckCancel())
        throw ImportCancelled();
    m_progress.SetSecondaryStatus(Format("%li z %li", row, m_count));
    m_progress.SetPos(m_count > 0 ? static_cast<int>(row * ProgressRange / m_count) : 0);
}

ExistingRecords::ExistingRecords(IMessagePort& messages, ExistingMode chosen)
    : m_messages(messages), m_chosen(chosen), m_mode(chosen) {}

bool ExistingRecords::Overwrite(const std::string& question) {
    switch (m_mode) {
    case ExistingMode::Overwrite:
        return true;
    case ExistingMode::Skip:
        return false;
    case ExistingMode::Ask:
        break;
    }
    switch (m_messages.AskOverwrite(question)) {
    case OverwriteAnswer::Yes:
        return true;
    case OverwriteAnswer::No:
        return false;
    case OverwriteAnswer::YesToAll:
        m_mode = ExistingMode::Overwrite;
        return true;
    case OverwriteAnswer::NoToAll:
        m_mode = ExistingMode::Skip;
        return false;
    }
    return false;
}

ImportWriter::ImportWriter(CDataStore& store, ImportSource source, ImportCounters& counters,
                           std::optional<ImportSource> productSource)
    : m_store(store), m_source(static_cast<int>(source)),
      m_productSource(static_cast<int>(productSource.value_or(source))), m_counters(counters),
      m_productWriter(store), m_moveWriter(store), m_lineWriter(store), m_coverWriter(store, true) {
}

ImportWriter::~ImportWriter() {
    // Leaving by an exception: the document in progress, never written, is
    // dropped; every finished unit is kept.
    try {
        Flush();
    } catch (...) {
        // The batch has rolled back; the error that brought us here is the
        // one the user sees.
    }
}

void ImportWriter::OpenBatch() {
    if (!m_batch) {
        m_batch = std::make_unique<Transaction>(m_store);
        m_batchStart = std::chrono::steady_clock::now();
        m_batchCounts = {m_counters.products, m_counters.documents, m_counters.numbersWithKind};
    }
}

void ImportWriter::AbandonBatch() {
    m_batch.reset();
    // Nothing waiting is tried again: part of it may have gone in before
    // the failure, and went back with the batch.
    m_moveWriter.Discard();
    m_waitingLines.clear();
    m_waitingDates.clear();
    m_coverWriter.Discard();
    m_counters.products = m_batchCounts.products;
    m_counters.documents = m_batchCounts.documents;
    m_counters.numbersWithKind = m_batchCounts.numbersWithKind;
}

void ImportWriter::UnitDone() {
    if (std::chrono::steady_clock::now() - m_batchStart >= BatchTime)
        Flush();
}

void ImportWriter::Flush() {
    if (!m_batch)
        return;
    try {
        WriteWaiting();
        m_batch->Commit();
    } catch (...) {
        AbandonBatch();
        throw;
    }
    m_batch.reset();
    // The keys are read again in the next batch.
    m_moveWriter.Discard();
}

void SourceKey::Bind(Statement& statement, int index) const {
    if (const int64_t* number = std::get_if<int64_t>(&m_value))
        statement.BindInt(index, *number);
    else
        statement.BindBlob(index, std::get<std::string>(m_value));
}

void SourceKey::SetOn(ProductRecord& product) const {
    if (const int64_t* number = std::get_if<int64_t>(&m_value))
        product.sourceId = *number;
    else
        product.sourceId = ExactText{std::get<std::string>(m_value)};
}

std::optional<ImportWriter::FoundProduct> ImportWriter::FindProduct(const SourceKey& scrid) {
    if (const auto known = m_products.find(scrid); known != m_products.end())
        return known->second;
    Statement& find = m_store.Cached(
        "SELECT prod_id, deleted FROM Product WHERE prod_source = ? AND prod_scrid = ?");
    find.BindInt(1, m_productSource);
    scrid.Bind(find, 2);
    if (!find.Step())
        return std::nullopt;
    const FoundProduct found{find.Int(0), find.Int(1) != 0};
    m_products.emplace(scrid, found);
    return found;
}

std::optional<int64_t> ImportWriter::FindDocument(const std::string& number) {
    WriteHeaders();
    // The number is bound, never pasted into the text: a quote in it is data.
    Statement& find =
        m_store.Cached("SELECT move_id FROM Move WHERE move_source = ? AND move_num = ?");
    find.BindInt(1, m_source).BindText(2, number);
    if (find.Step())
        return find.Int(0);
    // Document numbers compare without regard to letter case, as the
    // program's text comparisons always have: "fv-7" imported again as "FV-7"
    // is the same document, never a second one counted twice in the report.
    if (!m_foldedNumbers)
        LoadFoldedNumbers();
    const auto it = m_foldedNumbers->find(FoldCase(number));
    if (it == m_foldedNumbers->end())
        return std::nullopt;
    return it->second.front().id;
}

std::optional<int64_t> ImportWriter::FindDocumentOfKind(const ImportedDocument& document,
                                                        std::string& stored) {
    // Every number is compared case-folded here, so the documents of the
    // source are read at once.
    if (!m_foldedNumbers)
        LoadFoldedNumbers();
    const std::string marked = document.number + " (" + document.kindMark + ")";
    for (const std::string& number : {document.number, marked}) {
        const auto it = m_foldedNumbers->find(FoldCase(number));
        if (it == m_foldedNumbers->end())
            continue;
        for (const FoldedDocument& found : it->second) {
            if (found.type == document.type) {
                stored = number;
                return found.id;
            }
        }
    }
    // New: the number as it is, unless a document of another kind holds it.
    stored = m_foldedNumbers->count(FoldCase(document.number)) > 0 ? marked : document.number;
    return std::nullopt;
}

void ImportWriter::WriteHeaders() {
    try {
        m_moveWriter.Flush();
    } catch (...) {
        AbandonBatch();
        throw;
    }
}

void ImportWriter::LoadFoldedNumbers() {
    WriteHeaders();
    m_foldedNumbers.emplace();
    Statement all(m_store, "SELECT move_id, move_num, move_type FROM Move WHERE move_source = ? "
                           "AND move_num IS NOT NULL ORDER BY move_id");
    all.BindInt(1, m_source);
    while (all.Step())
        (*m_foldedNumbers)[FoldCase(all.Text(1))].push_back(
            {all.Int(0), all.IsNull(2) ? 0 : static_cast<int>(all.Int(2))});
}

int64_t ImportWriter::WriteProduct(std::optional<int64_t> id, const ImportedProduct& product) {
    if (id) {
        m_store
            .Cached(
                "UPDATE Product SET prod_name = ?, prod_katalog = ?, prod_unit = ?, deleted = 0 "
                "WHERE prod_id = ?")
            .BindText(1, product.name)
            .BindText(2, product.katalog)
            .BindText(3, product.unit)
            .BindInt(4, *id)
            .Run();
        m_products.insert_or_assign(product.scrid, FoundProduct{*id, false});
        return *id;
    }
    ProductRecord record;
    record.name = product.name;
    record.katalog = product.katalog;
    record.unit = product.unit;
    record.source = m_productSource;
    product.scrid.SetOn(record);
    const int64_t added = m_productWriter.Insert(record);
    m_products.insert_or_assign(product.scrid, FoundProduct{added, false});
    return added;
}

bool ImportWriter::ImportProduct(const ImportedProduct& product, ExistingRecords& existing,
                                 const std::function<std::string()>& question) {
    FinishDocument();
    const std::optional<FoundProduct> found = FindProduct(product.scrid);
    // A product deleted by hand comes back with the source's data, unasked.
    if (found && !found->deleted && !existing.Overwrite(question())) {
        ++m_counters.skippedProducts;
        return false;
    }
    OpenBatch();
    WriteProduct(found ? std::optional<int64_t>(found->id) : std::nullopt, product);
    ++m_counters.products;
    UnitDone();
    return true;
}

bool ImportWriter::BeginDocument(const ImportedDocument& document, ExistingRecords& existing,
                                 const std::function<std::string(const std::string&)>& question) {
    FinishDocument();
    std::string stored = document.number;
    const std::optional<int64_t> found = document.kindMark.empty()
                                             ? FindDocument(document.number)
                                             : FindDocumentOfKind(document, stored);
    if (found && !existing.Overwrite(question(stored))) {
        ++m_counters.skippedDocuments;
        return false;
    }
    m_open = PendingDocument{document, std::move(stored), found, {}, {}};
    return true;
}

void ImportWriter::AddLine(const SourceKey& prodScrid, Quantity quantity,
                           const std::function<ImportedProduct()>& product) {
    if (!m_open)
        return;
    PendingLine line{0, 0, quantity};
    // A product found is used even when deleted by hand: the line is real.
    if (const std::optional<FoundProduct> found = FindProduct(prodScrid)) {
        line.productId = found->id;
    } else {
        std::vector<ImportedProduct>& created = m_open->created;
        line.created = static_cast<size_t>(
            std::find_if(created.begin(), created.end(),
                         [&prodScrid](const ImportedProduct& p) { return p.scrid == prodScrid; }) -
            created.begin());
        if (line.created == created.size()) {
            created.push_back(product());
            created.back().scrid = prodScrid;
        }
    }
    m_open->lines.push_back(line);
}

void ImportWriter::FinishDocument() {
    if (!m_open)
        return;
    const PendingDocument document = std::move(*m_open);
    m_open.reset();
    OpenBatch();
    try {
        WriteDocument(document);
    } catch (...) {
        AbandonBatch();
        throw;
    }
    ++m_counters.documents;
    m_counters.products += static_cast<long>(document.created.size());
    if (!document.found && document.stored != document.header.number)
        ++m_counters.numbersWithKind;
    UnitDone();
}

void ImportWriter::WriteDocument(const PendingDocument& document) {
    const ImportedDocument& header = document.header;
    int64_t moveId = 0;
    if (document.found) {
        moveId = *document.found;
        // The lines waiting may be the document's own, written earlier in
        // this import.
        WriteWaiting();
        m_store.Cached("DELETE FROM Move_Cover WHERE move_id = ?").BindInt(1, moveId).Run();
        m_store.Cached("DELETE FROM Move_Prod WHERE move_id = ?").BindInt(1, moveId).Run();
        m_store
            .Cached(
                "UPDATE Move SET move_export = ?, move_type = ?, move_date = ? WHERE move_id = ?")
            .BindInt(1, header.exportFlag ? 1 : 0)
            .BindInt(2, header.type)
            .BindDate(3, header.date)
            .BindInt(4, moveId)
            .Run();
    } else {
        moveId = m_moveWriter.Queue(
            MoveRecord{document.stored, header.type, header.date, header.exportFlag}, m_source);
        if (m_foldedNumbers)
            (*m_foldedNumbers)[FoldCase(document.stored)].push_back({moveId, header.type});
    }
    std::vector<int64_t> createdIds;
    createdIds.reserve(document.created.size());
    for (const ImportedProduct& product : document.created)
        createdIds.push_back(WriteProduct(std::nullopt, product));

    for (const PendingLine& line : document.lines) {
        m_waitingLines.push_back({moveId,
                                  line.productId != 0 ? line.productId : createdIds[line.created],
                                  line.quantity});
        m_waitingDates.push_back(header.date);
    }
    if (m_waitingLines.size() >= LinesPerInsert)
        WriteLines();
}

void ImportWriter::WriteLines() {
    if (m_waitingLines.empty())
        return;
    const RecordId firstLine = m_lineWriter.InsertAll(m_waitingLines);
    if (!m_covers)
        m_covers = std::make_unique<CoverDerivation>(m_store, true);
    for (size_t i = 0; i < m_waitingLines.size(); ++i) {
        const MoveLineRecord& line = m_waitingLines[i];
        m_coverWriter.Queue(firstLine + static_cast<RecordId>(i), line.move,
                            m_covers->Derive(line.product, line.quantity, m_waitingDates[i]));
    }
    m_waitingLines.clear();
    m_waitingDates.clear();
}

void ImportWriter::WriteWaiting() {
    m_moveWriter.Flush();
    WriteLines();
    m_coverWriter.Flush();
}

} // namespace tarvo
