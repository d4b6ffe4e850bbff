#include "core/engine/coverderivation.h"

#include "core/data/cdatastore.h"
#include "core/data/statement.h"

namespace tarvo {

namespace {

// Stable orders: the dt_id breaks a tie of two equal dt_from values the same
// way every time, and the lines come out in the order they were entered.
constexpr const char* SqlTexts[] = {
    "SELECT dt_id, dt_from FROM Prod_CoverDT WHERE prod_id = ? ORDER BY dt_from, dt_id",
    "SELECT cover_id, cp_qtycover, cp_qtyprod, cp_usealways, cp_usefrom, cp_useto, cover_type, "
    "cover_org, cover_pay FROM Prod_Cover WHERE dt_id = ? ORDER BY cp_id",
    "DELETE FROM Move_Cover WHERE mvprod_id = ?",
};

std::optional<int64_t> OptionalInt(const Statement& s, int column) {
    if (s.IsNull(column))
        return std::nullopt;
    return s.Int(column);
}

} // namespace

bool LineApplies(const PackagingLine& line, Quantity qty) {
    if (line.useAlways)
        return true;
    return line.useFrom.Scaled() <= qty.Scaled() && line.useTo.Scaled() >= qty.Scaled();
}

Quantity CoverQuantity(const PackagingLine& line, Quantity qty) {
    Quantity packs = Quantity::FromUnits(1);
    // A negative cp_qtyprod counts as one pack per line; 0 divides to 0.
    if (line.qtyProd.Scaled() >= 0)
        packs = Quantity::FromUnits(CurDiv(qty, line.qtyProd).WholeUnits());
    return CurMul(packs, line.qtyCover);
}

CoverDerivation::CoverDerivation(CDataStore& store, bool keep)
    : m_store(store), m_keep(keep), m_writer(store, keep) {}

CoverDerivation::~CoverDerivation() = default;

Statement& CoverDerivation::Prepared(Sql which) {
    if (!m_keep)
        return m_store.Cached(SqlTexts[which]);
    auto& statement = m_statements[which];
    if (!statement)
        statement = std::make_unique<Statement>(m_store, SqlTexts[which]);
    else
        statement->Reset();
    return *statement;
}

std::vector<PackagingDefinition> CoverDerivation::ReadDefinitions(RecordId prodId) {
    Statement& s = Prepared(Definitions);
    s.BindInt(1, prodId);
    std::vector<PackagingDefinition> definitions;
    while (s.Step())
        definitions.push_back({s.Int(0), s.Date(1)});
    s.Reset();
    return definitions;
}

std::vector<PackagingLine> CoverDerivation::ReadLines(int64_t dtId) {
    Statement& s = Prepared(Lines);
    s.BindInt(1, dtId);
    std::vector<PackagingLine> lines;
    while (s.Step()) {
        PackagingLine line;
        line.coverId = OptionalInt(s, 0);
        line.qtyCover = s.GetQuantity(1);
        line.qtyProd = s.GetQuantity(2);
        line.useAlways = s.Int(3) != 0;
        line.useFrom = s.GetQuantity(4);
        line.useTo = s.GetQuantity(5);
        line.coverType = OptionalInt(s, 6);
        line.coverOrg = OptionalInt(s, 7);
        line.coverPay = OptionalInt(s, 8);
        lines.push_back(line);
    }
    s.Reset();
    return lines;
}

std::vector<DerivedCover> CoverDerivation::Derive(RecordId prodId, Quantity qty,
                                                  const OleDate& moveDate) {
    std::vector<DerivedCover> rows;
    if (!moveDate.IsValid())
        return rows;

    std::optional<int64_t> dtId;
    if (m_keep) {
        auto it = m_definitions.find(prodId);
        if (it == m_definitions.end())
            it = m_definitions.emplace(prodId, ReadDefinitions(prodId)).first;
        dtId = ChooseDefinition(it->second, moveDate);
    } else {
        dtId = ChooseDefinition(ReadDefinitions(prodId), moveDate);
    }
    if (!dtId)
        return rows;

    std::vector<PackagingLine> read;
    const std::vector<PackagingLine>* lines = &read;
    if (m_keep) {
        auto it = m_lines.find(*dtId);
        if (it == m_lines.end())
            it = m_lines.emplace(*dtId, ReadLines(*dtId)).first;
        lines = &it->second;
    } else {
        read = ReadLines(*dtId);
    }
    for (const PackagingLine& line : *lines) {
        if (LineApplies(line, qty))
            rows.push_back({line.coverId, CoverQuantity(line, qty), line.coverType, line.coverOrg,
                            line.coverPay});
    }
    return rows;
}

long CoverDerivation::Append(RecordId mvprodId, RecordId moveId, RecordId prodId, Quantity qty,
                             const OleDate& moveDate) {
    if (!moveDate.IsValid())
        return -1;
    const std::vector<DerivedCover> rows = Derive(prodId, qty, moveDate);
    m_writer.Append(mvprodId, moveId, rows);
    return static_cast<long>(rows.size());
}

void CoverDerivation::DeleteCovers(int64_t mvprodId) {
    Statement& s = Prepared(Delete);
    s.BindInt(1, mvprodId);
    s.Run();
}

} // namespace tarvo
