#pragma once

#include <cstdint>

namespace tarvo {

class CDataStore;
class IProgressPort;

// What the generator makes. The same seed and options give the same rows.
struct GeneratorOptions {
    uint64_t seed = 1;
    long covers = 40;       // Cover rows; at least one per material
    long composites = 10;   // composite covers with two to four items each
    long products = 100;    // each with one to three packaging definitions
    long dispatches = 1000; // documents, spread over the years
    long linesPerDispatch = 3;
    // Cover rows derived for every product line: that many minus one
    // always-lines plus one line of a band, the bands of a definition
    // covering every quantity. So Move_Cover ends with exactly
    // dispatches x linesPerDispatch x coversPerLine rows.
    long coversPerLine = 3;
    long discards = -1; // -1: one for every ten dispatches
    int firstYear = 2019;
    int years = 4;
    bool deriveCovers = true;
    // Also the covers' classification for the statement since 2021 and the
    // destinations of recycled discards.
    bool classify = false;
};

struct GeneratorCounts {
    long covers = 0;
    long composites = 0;
    long products = 0;
    long definitions = 0;
    long packagingLines = 0;
    long dispatches = 0;
    long lines = 0;
    long coverLines = 0;
    long discards = 0;
};

// Appends realistic test data to the open database: covers that use every
// code of every list, reusable and not; composite covers; products with one
// to three packaging definitions, each with bands and always-lines; domestic
// and export dispatches of every kind over the years, hand-entered and
// imported; their product lines with the derived cover lines; and discards.
// With classify, then, from a random stream of its own (so the rows above
// stay the same for a seed), the covers' classification for the statement since 2021 (every
// material, shape and littering entry, compositions summing to 100 %, every
// thirteenth cover left unclassified) and destinations of recycled discards.
// Commits in batches; throws ComError on a database error (the batch under
// way is rolled back). Reports progress as per mille of the rows to write.
GeneratorCounts GenerateData(CDataStore& store, const GeneratorOptions& options,
                             IProgressPort& progress);

} // namespace tarvo
