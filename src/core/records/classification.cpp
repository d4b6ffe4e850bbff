#include "core/records/classification.h"

#include "core/data/cdatastore.h"
#include "core/data/statement.h"
#include "core/records/findbyid.h"

namespace tarvo {

namespace {

constexpr const char* ClassColumns =
    "cls_beverage, cls_mat, cls_shape, cls_recycled, cls_litter, cls_plastic";

CoverClassification ReadClass(const Statement& st) {
    CoverClassification c;
    c.beverage = st.Int(0) != 0;
    c.material = static_cast<int>(st.Int(1));
    c.shape = static_cast<int>(st.Int(2));
    c.recycled = st.GetQuantity(3);
    c.littering = static_cast<int>(st.Int(4));
    if (!st.IsNull(5))
        c.plastic = st.GetQuantity(5);
    return c;
}

CompositionPart ReadPart(const Statement& st, int first) {
    return {static_cast<int>(st.Int(first)), st.GetQuantity(first + 1)};
}

} // namespace

std::optional<CoverClassification> FindClassification(CDataStore& store, RecordId cover) {
    std::optional<CoverClassification> found = FindById(
        store, std::string("SELECT ") + ClassColumns + " FROM Cover_Class WHERE cover_id = ?",
        cover, ReadClass);
    if (!found)
        return found;
    Statement parts(store, "SELECT part_comp, part_share FROM Cover_Part WHERE cover_id = ? "
                           "ORDER BY rowid");
    parts.BindInt(1, cover);
    while (parts.Step())
        found->composition.push_back(ReadPart(parts, 0));
    return found;
}

std::map<RecordId, CoverClassification> AllClassifications(CDataStore& store) {
    std::map<RecordId, CoverClassification> all;
    Statement classes(store, std::string("SELECT ") + ClassColumns + ", cover_id FROM Cover_Class");
    while (classes.Step())
        all[classes.Int(6)] = ReadClass(classes);
    Statement parts(store, "SELECT part_comp, part_share, cover_id FROM Cover_Part ORDER BY rowid");
    while (parts.Step()) {
        // A part without its classification row belongs to nothing the
        // program shows.
        if (auto it = all.find(parts.Int(2)); it != all.end())
            it->second.composition.push_back(ReadPart(parts, 0));
    }
    return all;
}

void DeleteClassification(CDataStore& store, RecordId cover) {
    for (const char* sql : {"DELETE FROM Cover_Part WHERE cover_id = ?",
                            "DELETE FROM Cover_Class WHERE cover_id = ?"}) {
        Statement st(store, sql);
        st.BindInt(1, cover).Run();
    }
}

void WriteClassification(CDataStore& store, RecordId cover, const CoverClassification& c) {
    DeleteClassification(store, cover);
    Statement row(store, std::string("INSERT INTO Cover_Class (cover_id, ") + ClassColumns +
                             ") VALUES (?, ?, ?, ?, ?, ?, ?)");
    row.BindInt(1, cover)
        .BindInt(2, c.beverage ? 1 : 0)
        .BindInt(3, c.material)
        .BindInt(4, c.shape)
        .BindQuantity(5, c.recycled)
        .BindInt(6, c.littering);
    if (c.plastic)
        row.BindQuantity(7, *c.plastic);
    else
        row.BindNull(7);
    row.Run();
    Statement part(store,
                   "INSERT INTO Cover_Part (cover_id, part_comp, part_share) VALUES (?, ?, ?)");
    for (const CompositionPart& p : c.composition) {
        part.BindInt(1, cover).BindInt(2, p.component).BindQuantity(3, p.share).Run();
    }
}

std::optional<int> FindDiscardDestination(CDataStore& store, RecordId discard) {
    return FindById(store, "SELECT dest_code FROM Discard_Dest WHERE disc_id = ?", discard,
                    [](const Statement& st) { return static_cast<int>(st.Int(0)); });
}

void WriteDiscardDestination(CDataStore& store, RecordId discard, int destination) {
    DeleteDiscardDestination(store, discard);
    Statement st(store, "INSERT INTO Discard_Dest (disc_id, dest_code) VALUES (?, ?)");
    st.BindInt(1, discard).BindInt(2, destination).Run();
}

void DeleteDiscardDestination(CDataStore& store, RecordId discard) {
    Statement st(store, "DELETE FROM Discard_Dest WHERE disc_id = ?");
    st.BindInt(1, discard).Run();
}

} // namespace tarvo
