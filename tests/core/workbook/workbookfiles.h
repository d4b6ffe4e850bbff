#pragma once

#include <map>
#include <string>

namespace tarvo {
class Worksheet;
}

namespace tarvo::test {

// Direct access to the parts of a workbook file, independent of the
// workbook layer under test.
std::string ZipEntry(const std::string& path, const std::string& name);
bool HasZipEntry(const std::string& path, const std::string& name);
// Adds or replaces one part.
void PutZipEntry(const std::string& path, const std::string& name, const std::string& data);

// Every cell of a sheet as "address" -> "s<style> <t> f:<formula> v:<value> is:<inline text>",
// so that two files can be compared cell by cell, styles and formulas included.
std::map<std::string, std::string> SheetCells(const std::string& path, const std::string& sheet);
// The archive entry of a sheet, found through the workbook's relationships.
std::string SheetPart(const std::string& path, const std::string& sheet);

// A workbook of one sheet, "List", of that XML, with those shared strings
// (an sst element) when not empty.
void MakeWorkbook(const std::string& path, const std::string& sheetXml,
                  const std::string& sharedStringsXml = {});

// The rows as the row reader gives them, e.g. "1:Ta||N2.4;3:": each row its
// number and cells, each cell its kind's letter (T, N, B, E) and text, an
// empty cell nothing. A damaged sheet ends the text with "!".
std::string RowsText(Worksheet& sheet);

// The cell's text as the workbook layer reads it; fails the test on an error.
std::string CellText(const std::string& path, const std::string& sheet, const std::string& address);

} // namespace tarvo::test
