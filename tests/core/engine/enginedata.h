#pragma once

#include "core/data/oledate.h"
#include "core/data/quantity.h"
#include "testdatabase.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::test {

// Quantities written as the user types them: "0,5", "-250".
Quantity Q(const char* text);

// One cover line of Move_Cover as a test compares it.
struct CoverRow {
    int64_t coverId;
    std::string qty; // with a decimal point, as QuantityToPlainText writes it
    int64_t type;
    int64_t org;
    int64_t pay;
    bool operator==(const CoverRow&) const = default;
};

// A fresh database with helpers that add the rows the engine reads.
struct EngineData : TestDatabase {
    int64_t AddCover(bool deleted = false);
    int64_t AddProduct();
    // dt_from: an invalid date stores NULL.
    int64_t AddDefinition(int64_t prodId, OleDate from);
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
    void AddLine(int64_t dtId, const Line& line);
    int64_t AddMove(OleDate date);
    int64_t AddMoveProd(int64_t moveId, int64_t prodId, const char* qty);
    // A hand-made cover line.
    void AddMoveCover(int64_t moveId, int64_t mvprodId, int64_t coverId, const char* qty);

    // The cover lines of a product line in the order written.
    std::vector<CoverRow> Covers(int64_t mvprodId);
};

} // namespace tarvo::test
