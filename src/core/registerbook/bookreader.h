#pragma once

#include "core/data/oledate.h"
#include "core/data/quantity.h"
#include "core/records/classification.h"
#include "core/records/covers.h"
#include "core/registerbook/registerimport.h"

#include <optional>
#include <string>
#include <vector>

namespace tarvo {

class Workbook;
class IProgressPort;

// The records of an imported workbook as its rows give them, before any is
// looked up in the database: covers and products are named, not numbered.

// An item of a composite cover or a line of a packaging definition.
struct BookLine {
    int row = 0;
    std::string cover; // the cover's name as written
    Quantity qtyCover;
    Quantity qtyProd;
    bool useAlways = true;
    Quantity useFrom = Quantity::FromUnits(0);
    Quantity useTo = Quantity::FromUnits(0);
    // -1: left empty, the cover's own code is meant.
    int type = -1;
    int origin = -1;
    int payment = -1;
};

struct BookCover {
    int row = 0;
    CoverRecord record;
    bool deleted = false;
    // Whether the file states the classification for the statement in force
    // since 2021: a workbook made before it had none of its columns, and its
    // covers keep theirs. Stated, nothing means not classified.
    bool classGiven = false;
    std::optional<CoverClassification> classification;
};

struct BookCompCover {
    int row = 0;
    std::string name;
    std::string note;
    std::vector<BookLine> items;
};

// How a row names a product: by its source and identifier in it, else by
// catalogue number, else by name; column is the column that names it.
struct ProductRef {
    enum class By { Source, Katalog, Name };
    By by = By::Name;
    int source = 0;
    std::string text; // the identifier, catalogue number or name
    std::string column;

    // What the fault of a product not found says.
    std::string Described() const;
};

struct BookProduct {
    int row = 0;
    ProductRef key;
    std::string name;
    std::string katalog;
    std::string unit;

    // The identifier in the source; empty for a product made by hand.
    std::string SourceId() const {
        return key.by == ProductRef::By::Source ? key.text : std::string();
    }
};

// A packaging definition: the rows of one product and one day.
struct BookDefinition {
    int row = 0;
    ProductRef product;
    OleDate from;
    std::vector<BookLine> lines;
};

struct Book {
    std::vector<BookCover> covers;
    std::vector<BookCompCover> compCovers;
    std::vector<BookProduct> products;
    std::vector<BookDefinition> definitions;
    // False when a sheet lacks a column it needs: its rows were not read,
    // so looking up what they name would only report them missing.
    bool complete = true;
};

// Reads the four sheets that the workbook has (none is required, but one of
// them must be there) and the compositions of the covers, checking each cell
// on its own and adding a fault for every one it cannot take, with
// duplicates within a sheet and classifications the rules refuse. Checks for a
// cancel now and then (throws ImportCancelled).
Book ReadBook(Workbook& workbook, std::vector<RegisterFault>& faults, IProgressPort& progress);

} // namespace tarvo
