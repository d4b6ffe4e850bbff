#include "core/report/formlines.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/records/classification.h"
#include "core/registers/classification.h"
#include "core/report/reportbuild.h"
#include "core/report/reportfills.h"

#include <algorithm>

namespace tarvo {

namespace {

using Classifications = std::map<RecordId, CoverClassification>;

// What decides a line's cells, in the same columns for the visit and the
// grouped summary: the cover as the line names it, whether it exists, and
// the codes.
constexpr const char* DispatchFacts =
    "Move_Cover.cover_id, Cover.cover_id, Cover.cover_reusable, Move.move_export, "
    "Move_Cover.cover_type, Move_Cover.cover_org, Move_Cover.cover_pay";
constexpr int DispatchFactCount = 7;
constexpr const char* DispatchTables =
    " FROM (Move INNER JOIN Move_Cover ON Move.move_id = Move_Cover.move_id) LEFT JOIN Cover ON "
    "Move_Cover.cover_id = Cover.cover_id WHERE ";
constexpr const char* DispatchWeight = "Move_Cover.mvcover_qty*Cover.cover_weight";

constexpr const char* DiscardFacts =
    "CoverDiscard.cover_id, Cover.cover_id, Cover.cover_reusable, Cover.cover_type, "
    "CoverDiscard.disc_type, Discard_Dest.dest_code";
constexpr int DiscardFactCount = 6;
constexpr const char* DiscardTables =
    " FROM (CoverDiscard LEFT JOIN Cover ON CoverDiscard.cover_id = Cover.cover_id) LEFT JOIN "
    "Discard_Dest ON Discard_Dest.disc_id = CoverDiscard.disc_id WHERE ";
constexpr const char* DiscardWeight = "CoverDiscard.disc_qty*Cover.cover_weight";

int Code(const Statement& s, int column) {
    return s.IsNull(column) ? -1 : static_cast<int>(s.Int(column));
}

FormPlacement LeaveOut(FormLeftOut reason, std::string detail) {
    FormPlacement placement;
    placement.leftOut = FormLeftOutLine{reason, std::move(detail)};
    return placement;
}

// A line whose cover is missing, or whose flag is not known, has no cell
// whatever its classification. A flag reads as set when it is not 0.
std::optional<FormPlacement> CoverProblem(const Statement& s, int first) {
    if (s.IsNull(first + 1))
        return LeaveOut(FormLeftOut::MissingCover,
                        s.IsNull(first)
                            ? std::string("řádek nemá obal")
                            : Format("obal %lld neexistuje", static_cast<long long>(s.Int(first))));
    if (s.IsNull(first + 2))
        return LeaveOut(FormLeftOut::MissingCode, "vratnost");
    return std::nullopt;
}

const CoverClassification* ClassificationOf(const Classifications& all, RecordId cover) {
    const auto it = all.find(cover);
    return it == all.end() ? nullptr : &it->second;
}

FormPlacement PlaceDispatchFacts(const Statement& s, const Classifications& all, Quantity kilograms,
                                 Quantity pieces) {
    if (auto problem = CoverProblem(s, 0))
        return std::move(*problem);
    if (s.IsNull(3))
        return LeaveOut(FormLeftOut::MissingCode, "vývoz");
    FormDispatch line;
    line.reusable = s.Int(2) != 0;
    line.exported = s.Int(3) != 0;
    line.type = Code(s, 4);
    line.origin = Code(s, 5);
    line.payment = Code(s, 6);
    line.classification = ClassificationOf(all, s.Int(1));
    line.kilograms = kilograms;
    line.pieces = pieces;
    return PlaceDispatch(line);
}

FormPlacement PlaceDiscardFacts(const Statement& s, const Classifications& all,
                                Quantity kilograms) {
    if (auto problem = CoverProblem(s, 0))
        return std::move(*problem);
    FormDiscard line;
    line.reusable = s.Int(2) != 0;
    line.type = Code(s, 3);
    line.destination = s.IsNull(5) ? DestinationOfKind(Code(s, 4)) : Code(s, 5);
    line.classification = ClassificationOf(all, s.Int(1));
    line.kilograms = kilograms;
    return PlaceDiscard(line);
}

// A grouped weight as the placement of its lines sees it: invalid when the
// lines' weight is unknown, 0 when they weigh nothing.
Quantity GroupWeight(const Statement& s, int weighs, int sum) {
    if (s.Int(weighs) < 0)
        return Quantity::Invalid();
    return s.Int(weighs) > 0 ? s.GetQuantity(sum) : Quantity::FromUnits(0);
}

std::string WeighsCase(const char* weight) {
    return Format("CASE WHEN %s IS NULL THEN -1 WHEN %s > 0 THEN 1 ELSE 0 END", weight, weight);
}

} // namespace

void ForEachFormLine(CDataStore& store, int year, int quarter,
                     const std::function<void(const FormLine&, FormPlacement&)>& visit) {
    const QuarterDays period = QuarterPeriod(year, quarter);
    const Classifications all = AllClassifications(store);

    Statement dispatches(store, std::string("SELECT ") + DispatchFacts +
                                    ", Move_Cover.mvcover_id, Move.move_id, Move.move_date, "
                                    "Move_Cover.mvcover_qty, " +
                                    DispatchWeight + DispatchTables +
                                    PeriodCondition("move_date", period.first, period.last));
    constexpr int d = DispatchFactCount;
    while (dispatches.Step()) {
        FormLine line;
        line.kind = FormLine::CoverLine;
        line.coverId = dispatches.IsNull(0) ? 0 : dispatches.Int(0);
        line.id = dispatches.Int(d);
        line.moveId = dispatches.Int(d + 1);
        line.date = dispatches.Date(d + 2);
        line.kilograms = dispatches.GetQuantity(d + 4);
        FormPlacement placement =
            PlaceDispatchFacts(dispatches, all, line.kilograms, dispatches.GetQuantity(d + 3));
        visit(line, placement);
    }

    Statement discards(store, std::string("SELECT ") + DiscardFacts +
                                  ", CoverDiscard.disc_id, CoverDiscard.disc_date, " +
                                  DiscardWeight + DiscardTables +
                                  PeriodCondition("disc_date", period.first, period.last));
    constexpr int r = DiscardFactCount;
    while (discards.Step()) {
        FormLine line;
        line.kind = FormLine::Discard;
        line.coverId = discards.IsNull(0) ? 0 : discards.Int(0);
        line.id = discards.Int(r);
        line.date = discards.Date(r + 1);
        line.kilograms = discards.GetQuantity(r + 2);
        FormPlacement placement = PlaceDiscardFacts(discards, all, line.kilograms);
        visit(line, placement);
    }
}

void LeaveOutHiddenSheets(FormPlacement& placement, const std::vector<bool>& hidden) {
    for (const FormTarget& t : placement.targets) {
        if (hidden[t.sheet]) {
            placement.leftOut = FormLeftOutLine{
                FormLeftOut::SheetMissing, Format("list %s je ve formuláři skrytý",
                                                  std::string(FormSheets()[t.sheet].name).c_str())};
            placement.targets.clear();
            return;
        }
    }
}

void FormLeftOutSummary::Add(FormLeftOut reason, size_t count, Quantity linesKilograms) {
    lines += count;
    byReason[reason] += count;
    if (linesKilograms.IsValid())
        kilograms = kilograms + linesKilograms;
}

std::string FormLeftOutSummary::Text() const {
    if (lines == 0)
        return {};
    std::string weight = QuantityToPlainText(kilograms);
    std::replace(weight.begin(), weight.end(), '.', ',');
    std::string text = Format("%zu řádků obalů (%s kg) nepůjde do výkazu: ", lines, weight.c_str());
    bool first = true;
    for (const auto& [reason, count] : byReason) {
        text += Format("%s%s (%zu)", first ? "" : "; ", FormLeftOutText(reason), count);
        first = false;
    }
    return text;
}

FormLeftOutSummary SummarizeLeftOut(CDataStore& store, int year, int quarter) {
    const QuarterDays period = QuarterPeriod(year, quarter);
    const Classifications all = AllClassifications(store);
    FormLeftOutSummary summary;
    auto count = [&summary](const FormPlacement& placement, const Statement& s, int first) {
        if (placement.leftOut)
            summary.Add(placement.leftOut->reason, static_cast<size_t>(s.Int(first)),
                        s.GetQuantity(first + 1));
    };

    const std::string dispatchWeighs = WeighsCase(DispatchWeight);
    Statement dispatches(store, std::string("SELECT ") + DispatchFacts + ", COUNT(*), SUM(" +
                                    DispatchWeight + "), " + dispatchWeighs + " AS Weighs" +
                                    DispatchTables +
                                    PeriodCondition("move_date", period.first, period.last) +
                                    " GROUP BY " + DispatchFacts + ", Weighs");
    constexpr int d = DispatchFactCount;
    while (dispatches.Step())
        count(PlaceDispatchFacts(dispatches, all, GroupWeight(dispatches, d + 2, d + 1),
                                 Quantity::FromUnits(0)),
              dispatches, d);

    const std::string discardWeighs = WeighsCase(DiscardWeight);
    Statement discards(store, std::string("SELECT ") + DiscardFacts + ", COUNT(*), SUM(" +
                                  DiscardWeight + "), " + discardWeighs + " AS Weighs" +
                                  DiscardTables +
                                  PeriodCondition("disc_date", period.first, period.last) +
                                  " GROUP BY " + DiscardFacts + ", Weighs");
    constexpr int r = DiscardFactCount;
    while (discards.Step())
        count(PlaceDiscardFacts(discards, all, GroupWeight(discards, r + 2, r + 1)), discards, r);
    return summary;
}

} // namespace tarvo
