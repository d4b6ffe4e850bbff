#pragma once

#include <string>

namespace tarvo {

class CDataStore;

// What an export wrote.
struct RegisterExportCounts {
    long covers = 0;
    long compCovers = 0;
    long compItems = 0;
    long products = 0;
    long definitions = 0;
    long lines = 0;
    // Items and packaging lines whose cover is missing from the database
    // altogether: there is no name to write for it.
    long linesLeftOut = 0;
};

// Writes the covers with their classification for the 2021 statement and its
// compositions, the composite covers with their items, the products and
// their packaging into a new workbook at path (replacing a file of that
// name), in the layout the import reads. With empty, only the header rows and
// the lists a person filling the sheets in picks the codes from: the template
// for registers kept in a spreadsheet so far. Deleted covers go with their
// mark, since the packaging that names them still gives dispatches their
// covers; deleted products are left out, as their packaging went with them.
// Throws ComError.
RegisterExportCounts ExportRegisters(CDataStore& store, const std::string& path,
                                     bool empty = false);

// "Exportováno: obalů 12, složených obalů 2 (položek 5), produktů 40, balení 61
// (řádků 150)." and, when some were left out, how many.
std::string ExportSummaryText(const RegisterExportCounts& counts);

} // namespace tarvo
