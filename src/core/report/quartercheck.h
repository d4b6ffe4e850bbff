#pragma once

#include "core/data/oledate.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo {

class CDataStore;

// What the statement of a quarter would silently leave out for want of data,
// counted over the same dispatches and discards the statement selects.
struct QuarterGaps {
    // Product lines whose product has no packaging valid on the dispatch's
    // date: no definition from that day or earlier, or one without lines.
    int64_t linesWithoutPackaging = 0;
    // Covers of the quarter's dispatch cover lines and reusable discards
    // whose weight is missing or 0 kg.
    int64_t coversWithoutWeight = 0;

    bool Empty() const { return linesWithoutPackaging == 0 && coversWithoutWeight == 0; }
};
QuarterGaps CountQuarterGaps(CDataStore& store, int year, int quarter);

struct UnpackagedLine {
    std::string product;
    std::string dispatch;
    OleDate date;
};
// The lines counted in linesWithoutPackaging, by date, then dispatch number.
std::vector<UnpackagedLine> ListLinesWithoutPackaging(CDataStore& store, int year, int quarter);

// The names of the covers counted in coversWithoutWeight, in Czech order.
std::vector<std::string> ListCoversWithoutWeight(CDataStore& store, int year, int quarter);

// "12 řádků výdejů bez platného balení, 2 obaly bez hmotnosti." or, with
// nothing missing, that every line has both.
std::string QuarterGapsText(const QuarterGaps& gaps);

} // namespace tarvo
