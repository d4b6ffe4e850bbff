#pragma once

#include "core/report/formplacement.h"
#include "core/workbook/workbook.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// Why the form file the user chose cannot be filled, as the user is told.
struct FormRefusal {
    std::string message;
};

// The title page of the form.
inline constexpr const char* FormIntroSheet = "Úvod";

// A label as the filler compares it: white space collapsed, a trailing
// footnote marker "(3)" or "(2,10)" dropped, letter case folded.
std::string NormalizeFormLabel(std::string_view text);

// The defined name of a sheet's input cells: "J1-1A" -> "J11A_HODNOTY".
std::string FormInputName(std::string_view sheet);

// Whether the open workbook is the form of the chosen quarter: every data
// sheet and the title page present, the quarter in Úvod!D4 and the year in
// the text of Úvod!E4 the chosen ones. The refusal names the file (path).
std::optional<std::string> CheckFormWorkbook(Workbook& book, const std::string& path, int year,
                                             int quarter);
// The same for a file, which is only read: also whether it is a readable xlsx.
std::optional<std::string> CheckFormFile(const std::string& path, int year, int quarter);

// Which sheets of FormSheets the form hides (a client's variant without
// prepaid or unpaid packaging): their lines are left out.
std::vector<bool> HiddenFormSheets(const Workbook& book);

// The cells of the targets in an open form, found by the labels the form
// prints: the row by its labels in columns A-D (a group or kind carried down
// to the rows below it), the column by the header labels above the table the
// row belongs to (a merged header covering its columns). A target is accepted
// only in a row and column of the sheet's <SHEET>_HODNOTY name and in a cell
// that is not locked; so a form of another layout stops with a message
// instead of taking a value into a wrong cell. Cells outside that name (the
// form's own check formulas among them) are never resolved.
class FormLayout {
public:
    FormLayout(Workbook& book, std::string path);
    ~FormLayout();
    FormLayout(const FormLayout&) = delete;
    FormLayout& operator=(const FormLayout&) = delete;

    // The cell of a target; throws FormRefusal. Workbook errors throw ComError.
    CellRef Resolve(const FormTarget& target);

private:
    struct SheetLayout;
    SheetLayout& Layout(int sheet);
    [[noreturn]] void Refuse(const std::string& what) const;

    Workbook& m_book;
    std::string m_path;
    std::map<int, std::unique_ptr<SheetLayout>> m_sheets;
    std::map<uint32_t, CellRef> m_resolved;
};

} // namespace tarvo
