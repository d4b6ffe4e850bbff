#pragma once

#include <string>
#include <vector>

namespace tarvo {

// The form version the program's own templates carry in A1 of "Úvod".
constexpr const char* BuiltInTemplateVersion = "2.19";

// Writes a report template for a year and quarter: a workbook with the
// intro sheet "Úvod" (version text in A1, quarter in D4, the company cells)
// and the data sheets "1-1" ... "4-1" with their row labels, column headers,
// the cells the report fills and total formulas. The layout follows the
// version text, so that older forms can be made as well. An existing file is
// never overwritten. Throws ComError.
void MakeReportTemplate(const std::string& path, int year, int quarter,
                        const std::string& versionText = BuiltInTemplateVersion);

// Writes those of the four quarter templates of a year (vykaz<year>_<q>.tpl
// in the folder, which ends with '/') that do not exist yet; returns the
// paths written. Throws ComError when one cannot be written.
std::vector<std::string> WriteQuarterTemplates(const std::string& folder, int year);

} // namespace tarvo
