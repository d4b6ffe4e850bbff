#include "core/report/breakdown.h"

#include "core/data/cdatastore.h"
#include "core/data/packagingdefinition.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/report/reportbuild.h"

#include <algorithm>
#include <tuple>

namespace tarvo {

namespace {

std::optional<int64_t> OptionalInt(const Statement& s, int column) {
    if (s.IsNull(column))
        return std::nullopt;
    return s.Int(column);
}

RecordId IdOrZero(const Statement& s, int column) {
    return s.IsNull(column) ? 0 : s.Int(column);
}

// Which code of a key leaves a line that met a sheet's condition out of
// every cell, in the terms of the form's own tables.
std::pair<LeftOutReason, std::string> NoCellReason(const ReportSheet& sheet, const SheetKey& key,
                                                   Quantity version) {
    const auto& [a, b, c] = key.codes;
    if (sheet.fill == ReportSheet::Statistics) {
        const bool reusable = b.value_or(0) != 0;
        return {LeftOutReason::CodeWithoutCell,
                Format("kategorie %lld, %s", static_cast<long long>(a.value_or(0)),
                       reusable ? "vratný" : "nevratný")};
    }
    const char* third = sheet.fill == ReportSheet::Discard ? "způsob odstranění" : "původ";
    if (!a)
        return {LeftOutReason::MissingCode, "materiál"};
    if (!b)
        return {LeftOutReason::MissingCode, "druh obalu"};
    if (!c)
        return {LeftOutReason::MissingCode, third};
    const int material = static_cast<int>(*a);
    const int type = static_cast<int>(*b);
    const long long code = static_cast<long long>(*c);
    if (!TypeHasBlock(type, version))
        return {LeftOutReason::CodeWithoutCell, Format("druh obalu %d", type)};
    if (code < 0 || code > 2)
        return {LeftOutReason::CodeWithoutCell, Format("%s %lld", third, code)};
    const bool reusable = sheet.fill == ReportSheet::Discard || sheet.reusable;
    if (MaterialRow(material, reusable, version) == 0)
        return {LeftOutReason::CodeWithoutCell,
                Format("materiál %d%s", material, reusable ? " (vratný)" : "")};
    return {LeftOutReason::CodeWithoutCell,
            Format("materiál %d s druhem obalu %d", material, type)};
}

// A line whose weight adds nothing to a cell.
std::optional<std::string> ZeroWeightDetail(const BreakdownLine& line, bool weightKnown,
                                            Quantity coverWeight) {
    if (line.kilograms.IsValid() && line.kilograms.Scaled() != 0)
        return std::nullopt;
    if (!weightKnown)
        return std::string("hmotnost obalu chybí");
    if (coverWeight.Scaled() == 0)
        return std::string("hmotnost obalu 0 kg");
    if (!line.coverQty.IsValid())
        return std::string("množství chybí");
    if (line.coverQty.Scaled() == 0)
        return std::string("množství 0");
    return std::string("hmotnost pod 0,0001 kg");
}

// A flag that is neither 0 nor 1 is in none of the sheets that ask for it.
std::optional<std::pair<LeftOutReason, std::string>> FlagProblem(const std::optional<int64_t>& flag,
                                                                 const char* name) {
    if (!flag)
        return std::make_pair(LeftOutReason::MissingCode, std::string(name));
    if (*flag != 0 && *flag != 1)
        return std::make_pair(LeftOutReason::CodeWithoutCell,
                              Format("%s %lld", name, static_cast<long long>(*flag)));
    return std::nullopt;
}

class BreakdownBuilder {
public:
    BreakdownBuilder(CDataStore& store, Breakdown& result)
        : m_store(store), m_result(result), m_period(QuarterPeriod(result.year, result.quarter)) {}

    void Run() {
        ReadNames();
        ReadDefinitions();
        ReadMoves();
        ReadCoverLines();
        ReadDiscards();
        ReadProductLinesWithoutCovers();
        ReadUndatedDispatches();
        Sort();
    }

private:
    void ReadNames() {
        Statement products(m_store, "SELECT prod_id, prod_name, prod_katalog FROM Product");
        while (products.Step())
            m_result.products[products.Int(0)] = {products.Text(1), products.Text(2)};
        Statement covers(m_store, "SELECT cover_id, cover_name, cover_weight FROM Cover");
        while (covers.Step()) {
            m_result.coverNames[covers.Int(0)] = covers.Text(1);
            m_coverWeights[covers.Int(0)] = covers.GetQuantity(2);
        }
    }

    void ReadDefinitions() {
        // The order in which the derivation compares them.
        Statement s(m_store, "SELECT prod_id, dt_id, dt_from FROM Prod_CoverDT ORDER BY "
                             "prod_id, dt_from, dt_id");
        while (s.Step())
            m_definitions[IdOrZero(s, 0)].push_back({s.Int(1), s.Date(2)});
        for (const auto& [prod, definitions] : m_definitions) {
            for (const PackagingDefinition& definition : definitions)
                m_definitionFrom[definition.dtId] = definition.from;
        }
    }

    OleDate DefinitionOn(RecordId prodId, const OleDate& date) const {
        const auto it = m_definitions.find(prodId);
        if (it == m_definitions.end() || !date.IsValid())
            return OleDate();
        const std::optional<int64_t> dtId = ChooseDefinition(it->second, date);
        return dtId ? m_definitionFrom.at(*dtId) : OleDate();
    }

    void ReadMoves() {
        Statement s(m_store, "SELECT move_id, move_num, move_export FROM Move WHERE (" +
                                 PeriodCondition("move_date", m_period.first, m_period.last) +
                                 ") OR move_date IS NULL");
        while (s.Step())
            m_result.moves[s.Int(0)] = {s.Text(1), OptionalInt(s, 2)};
    }

    uint32_t AddLine(const BreakdownLine& line) {
        m_result.lines.push_back(line);
        return static_cast<uint32_t>(m_result.lines.size() - 1);
    }

    void Contribute(int sheet, const ReportCell& cell, uint32_t line) {
        m_result.contributions.push_back({sheet, cell, line});
    }

    void LeaveOut(int sheet, LeftOutReason reason, std::string detail, uint32_t line) {
        m_result.leftOut.push_back({sheet, reason, std::move(detail), line});
    }

    // Puts a line that met a sheet's condition into its cell, or says why not.
    void Place(int sheet, const SheetKey& key, uint32_t index, bool weightKnown,
               Quantity coverWeight) {
        const ReportSheet& data = ReportSheets[static_cast<size_t>(sheet)];
        const std::optional<ReportCell> cell = CellOfKey(data, key, m_result.version);
        if (!cell) {
            auto [reason, detail] = NoCellReason(data, key, m_result.version);
            LeaveOut(sheet, reason, std::move(detail), index);
            return;
        }
        const BreakdownLine& line = m_result.lines[index];
        if (auto zero = ZeroWeightDetail(line, weightKnown, coverWeight)) {
            LeaveOut(sheet, LeftOutReason::ZeroWeight, std::move(*zero), index);
            return;
        }
        Contribute(sheet, *cell, index);
    }

    // Which of the dispatch sheets a line goes to: the sheets' own conditions,
    // tried in the statement's order (they exclude each other).
    std::string DispatchSheetCase() const {
        std::string sql = "CASE WHEN Cover.cover_id IS NULL THEN -1";
        for (size_t i = 0; i < ReportSheets.size(); ++i) {
            if (ReportSheets[i].fill == ReportSheet::Dispatch)
                sql += Format(" WHEN %s THEN %d", SheetQueryOf(ReportSheets[i]).condition.c_str(),
                              static_cast<int>(i));
        }
        return sql + " ELSE -1 END";
    }

    void ReadCoverLines() {
        const int statistics = 9;
        const SheetQuery dispatch = SheetQueryOf(ReportSheets[0]);
        const SheetQuery stats = SheetQueryOf(ReportSheets[statistics]);
        // The sheets join Cover with INNER JOIN; here a line without its
        // cover stays in the result (Cover.cover_id IS NULL) to be named.
        Statement s(m_store,
                    "SELECT " + dispatch.keys + ", " + stats.keys +
                        ", Move_Cover.mvcover_id, Move_Cover.move_id, Move_Cover.cover_id, "
                        "Move_Cover.mvcover_qty, Move_Cover.cover_pay, Move.move_date, "
                        "Move.move_export, Cover.cover_id, " +
                        dispatch.weight + " AS LineWeight, " + DispatchSheetCase() +
                        " AS DispatchSheet, CASE WHEN Cover.cover_id IS NOT NULL AND " +
                        stats.condition +
                        " THEN 1 ELSE 0 END AS StatisticsSheet, "
                        "Move_Prod.prod_id, Move_Prod.mvprod_qty FROM ((Move INNER JOIN "
                        "Move_Cover ON Move.move_id = Move_Cover.move_id) LEFT JOIN Cover ON "
                        "Move_Cover.cover_id = Cover.cover_id) LEFT JOIN Move_Prod ON "
                        "Move_Prod.mvprod_id = Move_Cover.mvprod_id WHERE " +
                        PeriodCondition("move_date", m_period.first, m_period.last));
        while (s.Step()) {
            BreakdownLine line;
            line.kind = BreakdownLine::CoverLine;
            line.material = OptionalInt(s, 0);
            line.type = OptionalInt(s, 1);
            line.origin = OptionalInt(s, 2);
            line.category = OptionalInt(s, 3);
            line.reusable = OptionalInt(s, 4);
            line.id = s.Int(5);
            line.moveId = IdOrZero(s, 6);
            line.coverId = IdOrZero(s, 7);
            line.coverQty = s.GetQuantity(8);
            line.payment = OptionalInt(s, 9);
            line.date = s.Date(10);
            const std::optional<int64_t> exported = OptionalInt(s, 11);
            const bool coverExists = !s.IsNull(12);
            line.kilograms = s.GetQuantity(13);
            const int dispatchSheet = static_cast<int>(s.Int(14));
            const bool onStatistics = s.Int(15) != 0;
            line.prodId = IdOrZero(s, 16);
            line.productQty = s.GetQuantity(17);
            line.definitionFrom = DefinitionOn(line.prodId, line.date);
            const uint32_t index = AddLine(line);

            Quantity coverWeight;
            bool weightKnown = false;
            if (coverExists) {
                coverWeight = m_coverWeights[line.coverId];
                weightKnown = coverWeight.IsValid();
            }
            if (dispatchSheet >= 0)
                Place(dispatchSheet, ReadSheetKey(ReportSheets[0], s, 0), index, weightKnown,
                      coverWeight);
            else
                LeaveOutOfDispatchSheets(line, coverExists, exported, index);
            if (onStatistics)
                Place(statistics, ReadSheetKey(ReportSheets[statistics], s, 3), index, weightKnown,
                      coverWeight);
        }
    }

    void LeaveOutOfDispatchSheets(const BreakdownLine& line, bool coverExists,
                                  const std::optional<int64_t>& exported, uint32_t index) {
        if (!coverExists) {
            LeaveOut(-1, LeftOutReason::MissingCover,
                     line.coverId
                         ? Format("obal %lld neexistuje", static_cast<long long>(line.coverId))
                         : std::string("řádek nemá obal"),
                     index);
            return;
        }
        for (const auto& [flag, name] :
             {std::pair{line.reusable, "vratnost"}, std::pair{exported, "vývoz"}}) {
            if (auto problem = FlagProblem(flag, name)) {
                LeaveOut(-1, problem->first, std::move(problem->second), index);
                return;
            }
        }
        if (!line.payment) {
            LeaveOut(-1, LeftOutReason::MissingCode, "platba", index);
            return;
        }
        LeaveOut(-1, LeftOutReason::CodeWithoutCell,
                 Format("platba %lld", static_cast<long long>(*line.payment)), index);
    }

    void ReadDiscards() {
        const int sheet = 8;
        const SheetQuery discard = SheetQueryOf(ReportSheets[sheet]);
        Statement s(m_store,
                    "SELECT " + discard.keys +
                        ", CoverDiscard.disc_id, CoverDiscard.cover_id, CoverDiscard.disc_date, "
                        "CoverDiscard.disc_qty, Cover.cover_id, Cover.cover_reusable, " +
                        discard.weight +
                        " AS LineWeight, CASE WHEN Cover.cover_id IS NOT NULL "
                        "AND " +
                        discard.condition +
                        " THEN 1 ELSE 0 END AS OnSheet FROM CoverDiscard LEFT JOIN Cover ON "
                        "CoverDiscard.cover_id = Cover.cover_id WHERE " +
                        PeriodCondition("disc_date", m_period.first, m_period.last));
        while (s.Step()) {
            BreakdownLine line;
            line.kind = BreakdownLine::Discard;
            line.material = OptionalInt(s, 0);
            line.type = OptionalInt(s, 1);
            line.discardKind = OptionalInt(s, 2);
            line.id = s.Int(3);
            line.coverId = IdOrZero(s, 4);
            line.date = s.Date(5);
            line.coverQty = s.GetQuantity(6);
            const bool coverExists = !s.IsNull(7);
            line.reusable = OptionalInt(s, 8);
            line.kilograms = s.GetQuantity(9);
            const bool onSheet = s.Int(10) != 0;
            const uint32_t index = AddLine(line);
            if (!coverExists) {
                LeaveOut(sheet, LeftOutReason::MissingCover,
                         line.coverId
                             ? Format("obal %lld neexistuje", static_cast<long long>(line.coverId))
                             : std::string("řádek nemá obal"),
                         index);
            } else if (!onSheet) {
                LeaveOut(sheet, LeftOutReason::NonReusableDiscard,
                         line.reusable
                             ? Format("vratnost %lld", static_cast<long long>(*line.reusable))
                             : std::string("vratnost chybí"),
                         index);
            } else {
                const Quantity weight = m_coverWeights[line.coverId];
                Place(sheet, ReadSheetKey(ReportSheets[sheet], s, 0), index, weight.IsValid(),
                      weight);
            }
        }
    }

    void AddProductLine(const Statement& s, LeftOutReason reason) {
        BreakdownLine line;
        line.kind = BreakdownLine::ProductLine;
        line.id = IdOrZero(s, 0);
        line.moveId = s.Int(1);
        line.prodId = IdOrZero(s, 2);
        line.productQty = s.GetQuantity(3);
        line.date = s.Date(4);
        line.definitionFrom = DefinitionOn(line.prodId, line.date);
        std::string detail;
        if (reason == LeftOutReason::NoCovers)
            detail = line.definitionFrom.IsValid()
                         ? Format("definice balení platná od %s nedává žádný obal",
                                  line.definitionFrom.ToText().c_str())
                         : std::string("žádná definice balení platná k datu výdeje");
        else
            detail = line.id ? "výdej nemá datum" : "výdej nemá datum ani řádky";
        LeaveOut(-1, reason, std::move(detail), AddLine(line));
    }

    void ReadProductLinesWithoutCovers() {
        Statement s(m_store,
                    "SELECT Move_Prod.mvprod_id, Move.move_id, Move_Prod.prod_id, "
                    "Move_Prod.mvprod_qty, Move.move_date FROM Move INNER JOIN Move_Prod ON "
                    "Move.move_id = Move_Prod.move_id WHERE " +
                        PeriodCondition("move_date", m_period.first, m_period.last) +
                        " AND NOT EXISTS (SELECT 1 FROM Move_Cover WHERE Move_Cover.mvprod_id "
                        "= Move_Prod.mvprod_id)");
        while (s.Step())
            AddProductLine(s, LeftOutReason::NoCovers);
    }

    void ReadUndatedDispatches() {
        Statement s(m_store, "SELECT Move_Prod.mvprod_id, Move.move_id, Move_Prod.prod_id, "
                             "Move_Prod.mvprod_qty, Move.move_date FROM Move LEFT JOIN "
                             "Move_Prod ON Move.move_id = Move_Prod.move_id WHERE "
                             "Move.move_date IS NULL");
        while (s.Step())
            AddProductLine(s, LeftOutReason::NoValidDate);
    }

    void Sort() {
        const std::vector<BreakdownLine>& lines = m_result.lines;
        std::sort(m_result.contributions.begin(), m_result.contributions.end(),
                  [&](const Contribution& a, const Contribution& b) {
                      const BreakdownLine& la = lines[a.line];
                      const BreakdownLine& lb = lines[b.line];
                      return std::tuple(a.sheet, a.cell.row, a.cell.column, la.date.Value(),
                                        la.id) <
                             std::tuple(b.sheet, b.cell.row, b.cell.column, lb.date.Value(), lb.id);
                  });
        std::stable_sort(m_result.leftOut.begin(), m_result.leftOut.end(),
                         [](const LeftOutLine& a, const LeftOutLine& b) {
                             return std::tuple(a.sheet, static_cast<int>(a.reason)) <
                                    std::tuple(b.sheet, static_cast<int>(b.reason));
                         });
    }

    CDataStore& m_store;
    Breakdown& m_result;
    QuarterDays m_period;
    std::unordered_map<RecordId, Quantity> m_coverWeights;
    std::unordered_map<RecordId, std::vector<PackagingDefinition>> m_definitions;
    std::unordered_map<int64_t, OleDate> m_definitionFrom;
};

} // namespace

const char* LeftOutReasonText(LeftOutReason reason) {
    switch (reason) {
    case LeftOutReason::CodeWithoutCell:
        return "kód, pro který výkaz nemá buňku";
    case LeftOutReason::MissingCode:
        return "chybí kód";
    case LeftOutReason::MissingCover:
        return "obal neexistuje";
    case LeftOutReason::NonReusableDiscard:
        return "odstraněný obal není vratný";
    case LeftOutReason::NoValidDate:
        return "výdej bez platného data";
    case LeftOutReason::NoCovers:
        return "řádek výrobku bez obalů";
    case LeftOutReason::ZeroWeight:
        return "nulová hmotnost";
    }
    return "";
}

std::vector<CellTotal> Breakdown::CellTotals() const {
    std::vector<CellTotal> totals;
    for (const Contribution& c : contributions) {
        if (totals.empty() || totals.back().sheet != c.sheet || !(totals.back().cell == c.cell))
            totals.push_back({c.sheet, c.cell, Quantity::FromUnits(0), Quantity::FromUnits(0), 0});
        CellTotal& total = totals.back();
        total.kilograms = total.kilograms + lines[c.line].kilograms;
        ++total.lines;
    }
    for (CellTotal& total : totals)
        total.tonnes = KilogramsToTonnes(total.kilograms);
    return totals;
}

Breakdown ComputeBreakdown(CDataStore& store, int year, int quarter, Quantity version) {
    Breakdown result;
    result.year = year;
    result.quarter = quarter;
    result.version = version;
    BreakdownBuilder(store, result).Run();
    return result;
}

std::string BreakdownPath(const std::string& statementPath) {
    const size_t dot = statementPath.rfind('.');
    const size_t slash = statementPath.find_last_of("/\\");
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? statementPath.substr(0, dot) : statementPath) + "_rozpis.xlsx";
}

} // namespace tarvo
