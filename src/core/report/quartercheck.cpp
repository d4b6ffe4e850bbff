#include "core/report/quartercheck.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/report/reportbuild.h"
#include "core/report/reportfills.h"

namespace tarvo {

namespace {

// The product lines of the quarter's dispatches whose product has no
// definition on the dispatch's date, or whose definition then has no lines:
// the derivation picks the definition by the same order (the latest valid
// dt_from not after the date, ties by the larger dt_id), and a missing one
// makes the inner comparison false for every line.
std::string UnpackagedLinesFrom(const QuarterDays& days) {
    return "FROM Move INNER JOIN Move_Prod ON Move.move_id = Move_Prod.move_id WHERE " +
           PeriodCondition("Move.move_date", days.first, days.last) +
           " AND NOT EXISTS (SELECT 1 FROM Prod_Cover WHERE Prod_Cover.dt_id = (SELECT "
           "Prod_CoverDT.dt_id FROM Prod_CoverDT WHERE Prod_CoverDT.prod_id = Move_Prod.prod_id "
           "AND Prod_CoverDT.dt_from IS NOT NULL AND Prod_CoverDT.dt_from <= Move.move_date "
           "ORDER BY Prod_CoverDT.dt_from DESC, Prod_CoverDT.dt_id DESC LIMIT 1))";
}

// Covers that the statement weighs in this quarter (dispatched, or discarded
// as reusable) and that weigh nothing.
std::string WeightlessCoversFrom(const QuarterDays& days) {
    return "FROM Cover WHERE (Cover.cover_weight IS NULL OR Cover.cover_weight = 0) AND "
           "(Cover.cover_id IN (SELECT Move_Cover.cover_id FROM Move INNER JOIN Move_Cover ON "
           "Move.move_id = Move_Cover.move_id WHERE " +
           PeriodCondition("Move.move_date", days.first, days.last) +
           ") OR Cover.cover_id IN (SELECT CoverDiscard.cover_id FROM CoverDiscard WHERE " +
           PeriodCondition("CoverDiscard.disc_date", days.first, days.last) +
           " AND Cover.cover_reusable=TRUE))";
}

int64_t Count(CDataStore& store, const std::string& from) {
    Statement s(store, "SELECT COUNT(*) " + from);
    s.Step();
    return s.Int(0);
}

// Czech counts take three forms: 1, 2-4 and 0 or 5 and more.
const char* Form(int64_t count, const char* one, const char* few, const char* many) {
    if (count == 1)
        return one;
    return count >= 2 && count <= 4 ? few : many;
}

} // namespace

QuarterGaps CountQuarterGaps(CDataStore& store, int year, int quarter) {
    const QuarterDays days = QuarterPeriod(year, quarter);
    return {Count(store, UnpackagedLinesFrom(days)), Count(store, WeightlessCoversFrom(days))};
}

std::vector<UnpackagedLine> ListLinesWithoutPackaging(CDataStore& store, int year, int quarter) {
    Statement s(store, "SELECT (SELECT prod_name FROM Product WHERE Product.prod_id = "
                       "Move_Prod.prod_id), Move.move_num, Move.move_date " +
                           UnpackagedLinesFrom(QuarterPeriod(year, quarter)) +
                           " ORDER BY Move.move_date, Move.move_num, Move_Prod.mvprod_id");
    std::vector<UnpackagedLine> lines;
    while (s.Step())
        lines.push_back({s.Text(0), s.Text(1), s.Date(2)});
    return lines;
}

std::vector<std::string> ListCoversWithoutWeight(CDataStore& store, int year, int quarter) {
    Statement s(store, "SELECT cover_name " + WeightlessCoversFrom(QuarterPeriod(year, quarter)) +
                           " ORDER BY cover_name");
    std::vector<std::string> names;
    while (s.Step())
        names.push_back(s.Text(0));
    return names;
}

std::string QuarterGapsText(const QuarterGaps& gaps) {
    if (gaps.Empty())
        return "Všechny řádky výdejů čtvrtletí mají platné balení a všechny jejich obaly "
               "hmotnost.";
    const long long lines = gaps.linesWithoutPackaging;
    const long long covers = gaps.coversWithoutWeight;
    return Format("%lld %s bez platného balení, %lld %s bez hmotnosti.", lines,
                  Form(lines, "řádek výdeje", "řádky výdejů", "řádků výdejů"), covers,
                  Form(covers, "obal", "obaly", "obalů"));
}

} // namespace tarvo
