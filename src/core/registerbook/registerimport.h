#pragma once

#include "core/import/importframework.h"

#include <string>
#include <vector>

namespace tarvo {

class CDataStore;
class IProgressPort;
class IViewNotifier;
struct PropagationSwitches;

// A fault of one cell (or of a whole row or sheet, with column or row empty).
struct RegisterFault {
    std::string sheet;
    int row = 0;        // 0: the sheet as a whole
    std::string column; // its header; empty: the row as a whole
    std::string text;

    // "List Balení, řádek 14, sloupec Obal: obal „Karton 40x30“ neexistuje"
    std::string Message() const;
};

// What happened, or in a dry run would happen, to the records of one kind.
struct ChangeCounts {
    long added = 0;
    long changed = 0;
    long kept = 0; // found and left as they are: the same, skipped, or answered No
    // Of the kept: found with differences and left as they are anyway (the
    // mode "přeskočit", or the answer No), i.e. skipped as already present.
    long skipped = 0;

    bool operator==(const ChangeCounts&) const = default;
};

struct RegisterImportSummary {
    ChangeCounts covers;
    ChangeCounts compCovers;
    ChangeCounts products;
    // A packaging definition is a product's packaging from one day on, with
    // its lines; it is found again by the product and the day.
    ChangeCounts definitions;
    // Products whose dispatch covers were derived again after their packaging
    // changed.
    long rederived = 0;
};

// The summary in lines, one per kind: "Obaly: přidáno 3, změněno 1,
// ponecháno 10", followed by " (z toho přeskočeno jako již existující 2)"
// when some were skipped. A dry run speaks of what would be done; in the ask mode its
// changes are the most that the answers can give.
std::string RegisterImportSummaryText(const RegisterImportSummary& summary, bool dryRun,
                                      ExistingMode mode);

// The section of tarvo.ini that remembers the window's choice of the mode
// for records found again (key "Existujici zaznamy", as the other imports).
inline constexpr std::string_view RegisterImportSection = "ImportEvidenci";

struct RegisterImportOptions {
    // For records found again: covers and composite covers by name, products
    // by their source and identifier in it (else catalogue number, else
    // name), definitions by product and day.
    ExistingMode existing = ExistingMode::Skip;
    // Checks the file and counts what would be done; writes nothing and asks
    // nothing.
    bool dryRun = false;
};

enum class RegisterImportStatus {
    Done,      // imported (or, in a dry run, checked) as the summary says
    Faults,    // the file has faults; nothing was written
    Cancelled, // the user cancelled; nothing was written
    Failed,    // the file could not be read or the database failed (told); nothing written
};

struct RegisterImportResult {
    RegisterImportStatus status = RegisterImportStatus::Failed;
    RegisterImportSummary summary;
    // With status Faults: every fault found, in sheet and row order.
    std::vector<RegisterFault> faults;
};

// Imports the registers from a workbook in the export's layout; any sheet may
// be missing. Every row is checked against the file and the database before
// anything is written, and the whole file is then written as one unit of work.
// Codes are matched by their labels without regard to letter case; numbers may
// have a decimal comma or point; dates may be spreadsheet dates or "d.M.yyyy".
// A cover's classification is refused by the rules of the covers register as a
// fault of its cell; a sheet of covers without the classification's columns
// leaves the stored ones alone. A cover whose type, origin or payment changed
// carries them into the records that copied them, and the dispatch covers of
// products whose packaging changed are derived again, each as the switches
// say, as a change made by hand does. Errors of the file as a whole and of the
// database are told through the store's message port; the views are told to
// reload what changed.
RegisterImportResult ImportRegisters(CDataStore& store, const std::string& path,
                                     const RegisterImportOptions& options,
                                     const PropagationSwitches& switches, IProgressPort& progress,
                                     IViewNotifier& notifier);

} // namespace tarvo
