#include "core/registers/compcoverregister.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/transaction.h"
#include "core/ports/messageport.h"
#include "core/registers/recordaccess.h"

namespace tarvo {

namespace {

constexpr const char* NoCover = "Není vybrán obal!";
constexpr const char* DeleteQuestion = "Opravdu si přejete odstranit vybrané obaly?";

// The editor's scratch items become the composite cover's items.
void StoreScratchItems(CDataStore& store, RecordId compCover) {
    CopyCoverLines(store, CoverLineTable::Scratch, NoRecord, CoverLineTable::CompCoverItems,
                   compCover);
}

} // namespace

CompCoverRegister::CompCoverRegister(CDataStore& store) : m_store(store) {}

ReadResult<CompCoverRecord> CompCoverRegister::Read(RecordId id) {
    return ReadFound<CompCoverRecord>(m_store, [&] { return FindCompCover(m_store, id); });
}

std::optional<RecordId> CompCoverRegister::Add(const CompCoverRecord& compCover) {
    try {
        // The composite cover and its items are stored together: a failure
        // leaves neither, never a composite cover with part of its items.
        Transaction transaction(m_store);
        const RecordId id = CompCoverWriter(m_store).Insert(compCover);
        StoreScratchItems(m_store, id);
        transaction.Commit();
        return id;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return std::nullopt;
    }
}

Outcome CompCoverRegister::Update(RecordId id, const CompCoverRecord& compCover) {
    try {
        Transaction transaction(m_store);
        if (RecordGone(m_store, FindCompCover(m_store, id).has_value()))
            return Outcome::Vanished;
        UpdateCompCover(m_store, id, compCover);
        // The items are replaced as a whole, in the same unit as the name: a
        // failure while writing them keeps the old items and the old name.
        DeleteCoverLinesOf(m_store, CoverLineTable::CompCoverItems, id);
        StoreScratchItems(m_store, id);
        transaction.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return Outcome::Failed;
    }
}

Outcome CompCoverRegister::DeleteSelection(const std::vector<RecordId>& ids) {
    IMessagePort& messages = m_store.Messages();
    if (ids.empty()) {
        messages.ShowMessage(NoCover, MsgIcon::Exclamation);
        return Outcome::Unchanged;
    }
    if (!messages.AskYesNo(DeleteQuestion, MsgIcon::Question))
        return Outcome::Unchanged;
    try {
        Transaction transaction(m_store);
        DeleteCompCovers(m_store, ids);
        transaction.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(messages, e);
        return Outcome::Failed;
    }
}

bool CompCoverRegister::BeginEditing(RecordId id) {
    try {
        Transaction transaction(m_store);
        DeleteCoverLinesOf(m_store, CoverLineTable::Scratch, NoRecord);
        CopyCoverLines(m_store, CoverLineTable::CompCoverItems, id, CoverLineTable::Scratch,
                       NoRecord);
        transaction.Commit();
        return true;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return false;
    }
}

std::optional<RecordId> CompCoverRegister::AddItem(const CoverLine& item) {
    try {
        return CoverLineWriter(m_store, CoverLineTable::Scratch).Insert(NoRecord, item);
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return std::nullopt;
    }
}

ReadResult<CoverLine> CompCoverRegister::ReadItem(RecordId itemId) {
    return ReadFound<CoverLine>(
        m_store, [&] { return FindCoverLine(m_store, CoverLineTable::Scratch, itemId); });
}

Outcome CompCoverRegister::UpdateItem(RecordId itemId, const CoverLine& item) {
    try {
        Transaction transaction(m_store);
        if (RecordGone(m_store,
                       FindCoverLine(m_store, CoverLineTable::Scratch, itemId).has_value()))
            return Outcome::Vanished;
        // Type, origin and payment are written for every item: the page lets
        // the user change them for an item used always, too.
        UpdateCoverLine(m_store, CoverLineTable::Scratch, itemId, item);
        transaction.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return Outcome::Failed;
    }
}

Outcome CompCoverRegister::DeleteItem(RecordId itemId) {
    try {
        DeleteCoverLine(m_store, CoverLineTable::Scratch, itemId);
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return Outcome::Failed;
    }
}

} // namespace tarvo
