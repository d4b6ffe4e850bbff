#include "core/records/compcovers.h"

#include "core/data/cdatastore.h"
#include "core/data/statement.h"
#include "core/records/findbyid.h"
#include "core/records/selection.h"

namespace tarvo {

CompCoverWriter::CompCoverWriter(CDataStore& store)
    : m_insert(store, "INSERT INTO CompCover (ccover_name, ccover_note) VALUES (?, ?)") {}

RecordId CompCoverWriter::Insert(const CompCoverRecord& compCover) {
    Statement& st = m_insert.Prepared();
    st.BindText(1, compCover.name).BindText(2, compCover.note);
    return m_insert.Run();
}

std::optional<CompCoverRecord> FindCompCover(CDataStore& store, RecordId id) {
    return FindById(store, "SELECT ccover_name, ccover_note FROM CompCover WHERE ccover_id = ?", id,
                    [](const Statement& st) {
                        return CompCoverRecord{st.Text(0), st.Text(1)};
                    });
}

std::vector<std::pair<RecordId, CompCoverRecord>> AllCompCovers(CDataStore& store) {
    std::vector<std::pair<RecordId, CompCoverRecord>> compCovers;
    Statement st(store,
                 "SELECT ccover_id, ccover_name, ccover_note FROM CompCover ORDER BY ccover_id");
    while (st.Step())
        compCovers.emplace_back(st.Int(0), CompCoverRecord{st.Text(1), st.Text(2)});
    return compCovers;
}

void UpdateCompCover(CDataStore& store, RecordId id, const CompCoverRecord& compCover) {
    Statement st(store,
                 "UPDATE CompCover SET ccover_name = ?, ccover_note = ? WHERE ccover_id = ?");
    st.BindText(1, compCover.name).BindText(2, compCover.note).BindInt(3, id).Run();
}

void DeleteCompCovers(CDataStore& store, const std::vector<RecordId>& ids) {
    SelectIds(store, ids);
    store.ExecuteOrThrow("DELETE FROM CompCover_Item WHERE ccover_id IN (SELECT id FROM TmpID)");
    store.ExecuteOrThrow("DELETE FROM CompCover WHERE ccover_id IN (SELECT id FROM TmpID)");
}

} // namespace tarvo
