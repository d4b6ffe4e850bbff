#pragma once

#include "core/data/datafolder.h"
#include "core/data/recordid.h"
#include "core/report/formlines.h"
#include "core/report/reportdata.h"

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

class CDataStore;
class IProgressPort;

// The statement in force since 2021, for the report dialog and tarvo-cli:
//
//   UsesCurrentForm(year)            which form a quarter takes (formlines.h)
//   CheckFormFile(path, year, q)     whether a chosen file is the quarter's form
//                                    (formlayout.h): the refusal, or nothing
//   SummarizeLeftOut(store, year, q) the lines that will not go in (formlines.h)
//   BuildFormReport(...)             the filled statement, below
//   BuildFormBreakdown(...)          its breakdown, and ExplainFormReportCell
//
// EKO-KOM sends each client the form of the quarter; the user chooses that
// file, which is only read: the statement is a copy of it in the data
// folder's "Vykazy" (StatementPath), its breakdown beside it.

// What the user confirmed for one statement.
struct FormReportParams {
    int year = CurrentFormFirstYear;
    int quarter = 1;
    bool corrective = false;
    // "Číslo Vaší objednávky", written into Úvod!B14 when not empty.
    std::string orderNumber;
    // Written into the title fields the form leaves empty.
    CompanyData company;
    // The form file EKO-KOM sent for the quarter.
    std::string formPath;
    // Asked with the failed checks of the user's data (each naming sheet,
    // row and the covers concerned) whether to write the statement all the
    // same; not asked when every check passes. Without it nothing is written
    // after a failed check.
    std::function<bool(const std::vector<std::string>& failures)> writeDespiteFailures;
};

// Builds the statement of a quarter into the form (see above). Returns the
// path of the statement; on a refusal, a failed check the user did not
// accept or an error the reason has been shown through the store's message
// port and no file is left behind.
std::optional<std::string> BuildFormReport(CDataStore& store, IProgressPort& progress,
                                           const DataFolder& dataFolder,
                                           const FormReportParams& params);

// The newest statement of the quarter in the report folder (the file the
// breakdown and explain read the form's cells from); nothing when none.
std::optional<std::string> FindFormStatement(const std::string& reportFolder, int year,
                                             int quarter);

// Writes the breakdown beside a statement (or for a form) of the quarter:
// "<name>_rozpis.xlsx" (BreakdownPath). Returns its path; on a failure the
// reason has been shown.
std::optional<std::string> BuildFormBreakdown(CDataStore& store, const std::string& statementPath,
                                              int year, int quarter);

// The parts of a cell of the quarter's statement as ExplainFormCell gives
// them (the sheet a sheet of FormSheets, the address a cell's), the cells
// found in the form file. Nothing when the form is refused or cannot be
// read: the reason has been shown.
std::optional<std::vector<std::string>> ExplainFormReportCell(CDataStore& store,
                                                              const std::string& formPath, int year,
                                                              int quarter, std::string_view sheet,
                                                              std::string_view address);

} // namespace tarvo
