#pragma once

#include "core/data/oledate.h"
#include "core/data/quantity.h"
#include "rows.h"
#include "testdatabase.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::test {

// One cover line of Move_Cover as a test compares it.
struct CoverRow {
    int64_t coverId;
    std::string qty; // with a decimal point, as QuantityToPlainText writes it
    int64_t type;
    int64_t org;
    int64_t pay;
    bool operator==(const CoverRow&) const = default;
};

// A fresh database with helpers that add the rows the engine reads, with the
// codes its tests compare.
struct EngineData : TestDatabase {
    // "obal" of 1 kg, type 3, origin 2, payment 2.
    int64_t AddCover(bool deleted = false);
    struct Line {
        int64_t coverId;
        const char* qtyCover = "1";
        const char* qtyProd = "1";
        bool useAlways = true;
        const char* useFrom = "0";
        const char* useTo = "0";
        int type = 0;
        int org = 0;
        int pay = 0;
    };
    int64_t AddLine(int64_t dtId, const Line& line);
    // Number "V1", type 0.
    int64_t AddMove(OleDate date);
    // A hand-made cover line with the codes 1, 1, 1.
    void AddMoveCover(int64_t moveId, int64_t mvprodId, int64_t coverId, const char* qty);

    // The cover lines of a product line in the order written.
    std::vector<CoverRow> Covers(int64_t mvprodId);
};

} // namespace tarvo::test
