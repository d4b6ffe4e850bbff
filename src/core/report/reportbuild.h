#pragma once

#include "core/data/datafolder.h"
#include "core/data/oledate.h"
#include "core/data/quantity.h"
#include "core/report/reportdata.h"

#include <optional>
#include <string>

namespace tarvo {

class CDataStore;
class IProgressPort;

// The caption of the progress window of the report run; it has no cancel.
constexpr const char* ReportProgressCaption = "Sestavení výkazu";

// What the user confirmed for one report.
struct ReportParams {
    int year = MinReportYear;
    int quarter = 1;
    bool corrective = false;
    CompanyData company;
    // Also the breakdown of the statement (BuildReportBreakdown).
    bool breakdown = false;
};

// First and last day of a quarter, both at 00:00; any quarter other than
// 1-3 is the fourth.
struct QuarterDays {
    OleDate first;
    OleDate last;
};
QuarterDays QuarterPeriod(int year, int quarter);

// "<folder>vykaz<year>_<quarter>.tpl" and "<folder>vykaz<year>.tpl".
std::string QuarterTemplatePath(const std::string& folder, int year, int quarter);
std::string YearTemplatePath(const std::string& folder, int year);

// The template a report uses: the quarter's own; from 2009 on an earlier
// quarter's of the same year; else the year's. Each of these names is looked
// for in the data folder, then in the installed resource folder, so the
// quarter's own template of the installation wins over an earlier quarter's
// in the data folder. Nothing when none exists.
std::optional<std::string> FindReportTemplate(const DataFolder& data, int year, int quarter);

// The name of a quarter's statement in the report folder, by period and kind:
// "vykaz_2022_4_radny.xlsx", "vykaz_2022_4_opravny.xlsx"; when that statement
// or its breakdown exists, "vykaz_2022_4_radny_2.xlsx", "_3" and so on, so
// an earlier statement is never overwritten.
std::string StatementPath(const std::string& reportFolder, int year, int quarter, bool corrective);

// Version text of a template's A1 ("2.9" is 2.09, "2.10" is 2.10) with ','
// already read as '.'.
Quantity ParseTemplateVersion(const std::string& text);
// Whether a template of this version (and, from 2.11 on, quarter) belongs to
// the chosen year and quarter.
bool TemplateMatches(const std::string& versionText, Quantity version, int templateQuarter,
                     int year, int quarter);

// Builds the report workbook of a quarter: copies the template (see
// FindReportTemplate) into the folder "Vykazy" of the data folder, checks it, writes the company
// data and the ten data sheets and saves it. Returns the path of the workbook; on a failure the
// reason has been shown and, once the copy was opened, the copy is deleted again.
std::optional<std::string> BuildReport(CDataStore& store, IProgressPort& progress,
                                       const DataFolder& dataFolder, const ReportParams& params);

// The form version of a report workbook or template (A1 of "Úvod", ',' read
// as '.'). Throws ComError when the file cannot be read or has no "Úvod".
Quantity ReadReportVersion(const std::string& path);

// Writes the breakdown of a statement beside it ("<name>_rozpis.xlsx"), for
// the form version the statement carries. Returns its path; on a failure the
// reason has been shown.
std::optional<std::string> BuildReportBreakdown(CDataStore& store, const std::string& statementPath,
                                                int year, int quarter);

} // namespace tarvo
