#include "core/records/coverline.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/records/findbyid.h"

#include <string>

namespace tarvo {

namespace {

struct TableNames {
    const char* table;
    const char* owner; // nullptr: the table has no owner column
    const char* key;
    const char* insert;
};

TableNames Names(CoverLineTable table) {
    switch (table) {
    case CoverLineTable::Packaging:
        return {"Prod_Cover", "dt_id", "cp_id",
                "INSERT INTO Prod_Cover (dt_id, cover_id, cp_qtycover, cp_qtyprod, cp_usealways, "
                "cp_usefrom, cp_useto, cover_type, cover_org, cover_pay) "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"};
    case CoverLineTable::CompCoverItems:
        return {"CompCover_Item", "ccover_id", "rowid",
                "INSERT INTO CompCover_Item (ccover_id, cover_id, cp_qtycover, cp_qtyprod, "
                "cp_usealways, cp_usefrom, cp_useto, cover_type, cover_org, cover_pay) "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"};
    case CoverLineTable::Scratch:
        break;
    }
    return {"TmpCover_Item", nullptr, "ti_id",
            "INSERT INTO TmpCover_Item (cover_id, cp_qtycover, cp_qtyprod, cp_usealways, "
            "cp_usefrom, cp_useto, cover_type, cover_org, cover_pay) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"};
}

} // namespace

std::optional<const char*> BandFault(const CoverLine& line) {
    if (line.useAlways || line.useFrom <= line.useTo)
        return std::nullopt;
    return "Hodnota „od“ musí být menší než „do“";
}

CoverLine ReadCoverLine(const Statement& st, int first) {
    CoverLine line;
    line.cover = st.IsNull(first) ? NoRecord : st.Int(first);
    line.qtyCover = st.GetQuantity(first + 1);
    line.qtyProd = st.GetQuantity(first + 2);
    line.useAlways = st.Int(first + 3) != 0;
    if (!line.useAlways) {
        line.useFrom = st.GetQuantity(first + 4);
        line.useTo = st.GetQuantity(first + 5);
    }
    const auto code = [&](int column) {
        return st.IsNull(column) ? -1 : static_cast<int>(st.Int(column));
    };
    line.type = code(first + 6);
    line.origin = code(first + 7);
    line.payment = code(first + 8);
    return line;
}

CoverLineWriter::CoverLineWriter(CDataStore& store, CoverLineTable table, AlwaysLimits alwaysLimits)
    : m_table(table), m_alwaysLimits(alwaysLimits), m_insert(store, Names(table).insert) {}

RecordId CoverLineWriter::Insert(RecordId owner, const CoverLine& line) {
    Statement& st = m_insert.Prepared();
    int index = 1;
    if (Names(m_table).owner)
        st.BindInt(index++, owner);
    if (line.cover == NoRecord)
        st.BindNull(index);
    else
        st.BindInt(index, line.cover);
    st.BindQuantity(index + 1, line.qtyCover)
        .BindQuantity(index + 2, line.qtyProd)
        .BindInt(index + 3, line.useAlways ? 1 : 0);
    if (line.useAlways && m_alwaysLimits == AlwaysLimits::Dropped)
        st.BindNull(index + 4).BindNull(index + 5);
    else
        st.BindQuantity(index + 4, line.useFrom).BindQuantity(index + 5, line.useTo);
    st.BindInt(index + 6, line.type)
        .BindInt(index + 7, line.origin)
        .BindInt(index + 8, line.payment);
    return m_insert.Run();
}

std::optional<CoverLine> FindCoverLine(CDataStore& store, CoverLineTable table, RecordId id) {
    const TableNames names = Names(table);
    return FindById(
        store, Format("SELECT %s FROM %s WHERE (%s = ?)", CoverLineColumns, names.table, names.key),
        id, [](const Statement& st) { return ReadCoverLine(st); });
}

std::vector<CoverLine> CoverLinesOf(CDataStore& store, CoverLineTable table, RecordId owner) {
    const TableNames names = Names(table);
    const std::string where = names.owner ? Format(" WHERE (%s = ?)", names.owner) : std::string();
    // Cached: a bulk path compares the lines of every owner it finds again.
    Statement& st = store.Cached(Format("SELECT %s FROM %s%s ORDER BY %s", CoverLineColumns,
                                        names.table, where.c_str(), names.key));
    if (names.owner)
        st.BindInt(1, owner);
    std::vector<CoverLine> lines;
    while (st.Step())
        lines.push_back(ReadCoverLine(st));
    return lines;
}

void UpdateCoverLine(CDataStore& store, CoverLineTable table, RecordId id, const CoverLine& line) {
    const TableNames names = Names(table);
    Statement st(store, Format(line.useAlways
                                   ? "UPDATE %s SET cp_qtycover = ?, cp_qtyprod = ?, "
                                     "cp_usealways = 1, cover_type = ?, cover_org = ?, "
                                     "cover_pay = ? WHERE (%s = ?)"
                                   : "UPDATE %s SET cp_qtycover = ?, cp_qtyprod = ?, "
                                     "cp_usealways = 0, cover_type = ?, cover_org = ?, "
                                     "cover_pay = ?, cp_usefrom = ?, cp_useto = ? WHERE (%s = ?)",
                               names.table, names.key));
    st.BindQuantity(1, line.qtyCover)
        .BindQuantity(2, line.qtyProd)
        .BindInt(3, line.type)
        .BindInt(4, line.origin)
        .BindInt(5, line.payment);
    if (line.useAlways) {
        st.BindInt(6, id);
    } else {
        st.BindQuantity(6, line.useFrom).BindQuantity(7, line.useTo).BindInt(8, id);
    }
    st.Run();
}

void DeleteCoverLine(CDataStore& store, CoverLineTable table, RecordId id) {
    const TableNames names = Names(table);
    Statement st(store, Format("DELETE FROM %s WHERE (%s = ?)", names.table, names.key));
    st.BindInt(1, id).Run();
}

void DeleteCoverLinesOf(CDataStore& store, CoverLineTable table, RecordId owner) {
    const TableNames names = Names(table);
    if (!names.owner) {
        store.ExecuteOrThrow(Format("DELETE FROM %s", names.table));
        return;
    }
    Statement st(store, Format("DELETE FROM %s WHERE (%s = ?)", names.table, names.owner));
    st.BindInt(1, owner).Run();
}

void CopyCoverLines(CDataStore& store, CoverLineTable from, RecordId fromOwner, CoverLineTable to,
                    RecordId toOwner) {
    const TableNames source = Names(from);
    const TableNames target = Names(to);
    const std::string ownerColumn = target.owner ? Format("%s, ", target.owner) : std::string();
    const std::string where =
        source.owner ? Format(" WHERE (%s = ?)", source.owner) : std::string();
    Statement st(store,
                 Format("INSERT INTO %s (%s%s) SELECT %s%s FROM %s%s ORDER BY %s", target.table,
                        ownerColumn.c_str(), CoverLineColumns, target.owner ? "?, " : "",
                        CoverLineColumns, source.table, where.c_str(), source.key));
    int index = 1;
    if (target.owner)
        st.BindInt(index++, toOwner);
    if (source.owner)
        st.BindInt(index, fromOwner);
    st.Run();
}

} // namespace tarvo
