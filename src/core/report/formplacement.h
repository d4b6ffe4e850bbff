#pragma once

#include "core/data/quantity.h"
#include "core/records/classification.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// Where a cover line goes on the EKO-KOM statement in force since 2021: the
// sheet, its row and column named by the labels the form prints there, and
// the exact kilograms (or pieces). Pure and table-driven: the form's facts
// (which sheet has which rows and columns, which material goes to which row)
// are the tables of formplacement.cpp, so a new form version changes data.
// The workbook layout resolves the labels to cells.

// Up to four labels as the form prints them, without footnote markers; an
// empty label ends the list. A row is named by its labels in columns A-D
// (group, kind, colour), a column by its header labels from top to bottom.
using FormLabels = std::array<std::string_view, 4>;

// The layouts of the data sheets.
enum class FormSheetKind : uint8_t {
    Sales,            // J1-1A, J1-2A, O1-1A, O1-2A
    GroupedTransport, // J1-1B, J1-2B, O1-1B, O1-2B
    Industrial,       // J1-3, O1-3
    CompositeSplit,   // J1-1K, J1-2K, O1-1K, O1-2K
    CompositeSplit3,  // J1-3K, O1-3K
    ByType,           // J2, J3, J4, O2, O3, O4
    Littering,        // L
    Withdrawn,        // S1
};

struct FormSheet {
    std::string_view name;
    FormSheetKind kind;
    bool reusable;
};

// The sheets the statement fills, in the workbook's order.
std::span<const FormSheet> FormSheets();
// The index of a sheet in FormSheets, or -1.
int FindFormSheet(std::string_view name);

// The rows and columns of a sheet kind, by their labels.
std::span<const FormLabels> FormRows(FormSheetKind kind);
std::span<const FormLabels> FormColumns(FormSheetKind kind);
// Whether the column counts pieces rather than tonnes (the bags on L).
bool IsPiecesColumn(FormSheetKind kind, int column);

// One amount for one cell.
struct FormTarget {
    uint8_t sheet = 0; // index into FormSheets
    uint8_t row = 0;   // index into FormRows of the sheet's kind
    uint8_t column = 0;
    // Kilograms, or pieces in a pieces column.
    Quantity amount = Quantity::FromUnits(0);

    bool operator==(const FormTarget&) const = default;
};

// Why a line has no cell. The detail names the value that decides it.
enum class FormLeftOut : uint8_t {
    MissingCover,          // the line names no cover, or one that does not exist
    MissingCode,           // type, payment, origin or destination missing or unknown
    NotClassified,         // the cover is not (completely) classified for this form
    ZeroWeight,            // the line weighs nothing or less, or the cover weight is unknown
    GlassGroupedTransport, // glass as grouped or transport packaging
    FlexibleBeverageCarton,
    ReusableBeverageCarton,
    BeverageCartonNotSales, // beverage carton as grouped, transport or industrial packaging
    SingleUseDiscard,       // only reusable covers are withdrawn on S1
    Disposed,               // a discard "odstraněno": S1 has no column for it
    RepairNotWood,          // "oprava dřevěných obalů" of a cover not made of wood
    SheetMissing,           // the sheet is not in the user's form
};
// The reason as the summary and the breakdown name it.
const char* FormLeftOutText(FormLeftOut reason);

struct FormLeftOutLine {
    FormLeftOut reason = FormLeftOut::MissingCode;
    std::string detail;
};

// What the placement knows of a dispatched cover line. Codes are those of
// CoverTypes, Payments and Origins; -1 for a missing one.
struct FormDispatch {
    bool reusable = false;
    int type = -1;
    int payment = -1;
    int origin = -1;
    bool exported = false;
    const CoverClassification* classification = nullptr; // nothing: not classified
    Quantity kilograms;                                  // invalid: weight unknown
    Quantity pieces = Quantity::FromUnits(0);            // covers on the line
};

// What it knows of a discard of a cover. destination: DiscardDestinations,
// the one chosen or the one its kind implies; -1 when neither is known.
struct FormDiscard {
    bool reusable = false;
    int type = -1;
    int destination = -1;
    const CoverClassification* classification = nullptr;
    Quantity kilograms;
};

// The cells of one line: its main cells (a line split by recyclate share or
// composition has several; a composite on J1/O1 is in its row and split on
// the K sheet), the littering cells in addition, or why it has none.
// The main amounts on the sheet of the row (K split apart) add up to the
// line's kilograms exactly, and so do those of the K split.
struct FormPlacement {
    std::vector<FormTarget> targets;
    std::optional<FormLeftOutLine> leftOut;
};

FormPlacement PlaceDispatch(const FormDispatch& line);
FormPlacement PlaceDiscard(const FormDiscard& line);

// share % of an amount, truncated toward zero: a recycled share or a plastic
// share is never claimed above what was proven.
Quantity ShareOf(Quantity amount, Quantity percent);

// Tonnes of a kilogram sum as the exact decimal text of a number ("0.0125",
// "12"), never rounded.
std::string KilogramsToTonnesText(Quantity kilograms);

// "J1-1A | Plasty PET transparentní | Měkké, flexibilní primární importované do ČR":
// for messages and tests.
std::string DescribeTarget(const FormTarget& target);

} // namespace tarvo
