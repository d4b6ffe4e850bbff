#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tarvo::test {

// Converts each file with LibreOffice (soffice --headless --convert-to
// filter, e.g. "xlsx") into outDir, which is created when missing, and gives
// the paths the converted files take (outDir/<stem>.<extension of filter>;
// a filter exporting one sheet of several adds the sheet's name to the stem),
// in order. One soffice run converts them all, with a user profile of its own in
// outDir, so that tests running at once never share one. With recalculate
// the profile makes LibreOffice compute every formula of an xlsx on load;
// without it LibreOffice keeps the results the file carries. Nothing when
// LibreOffice is not installed (the test then skips); throws when it fails.
std::optional<std::vector<std::string>>
ConvertWithLibreOffice(const std::vector<std::string>& files, const std::string& outDir,
                       const std::string& filter, bool recalculate = false);

// The workbook saved again by LibreOffice as xlsx with every formula
// recalculated: the checks and totals a spreadsheet program would show.
std::optional<std::string> RecalculateWithLibreOffice(const std::string& xlsx,
                                                      const std::string& outDir);

// Names of the archive entries whose bytes differ, or that only one of the
// two files has, in name order.
std::vector<std::string> DifferingZipEntries(const std::string& a, const std::string& b);

} // namespace tarvo::test
