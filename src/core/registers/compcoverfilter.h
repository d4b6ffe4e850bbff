#pragma once

#include "core/data/sqlclause.h"

#include <string>

namespace tarvo {

// The composite covers view's filter: name and note, each counted only while
// its use flag is set, matched whole or (part) anywhere in the text.
struct CompCoverFilter {
    bool useName = false;
    std::string name{};
    bool namePart = false;
    bool useNote = false;
    std::string note{};
    bool notePart = false;

    bool IsActive() const { return useName || useNote; }
    bool operator==(const CompCoverFilter&) const = default;
};

// The filter's conditions on CompCover's columns, name first; texts compare
// without regard to letter case.
SqlClause CompCoverCriterion(const CompCoverFilter& filter);

} // namespace tarvo
