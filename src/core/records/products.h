#pragma once

#include "core/data/oledate.h"
#include "core/data/packagingdefinition.h"
#include "core/data/recordid.h"
#include "core/records/coverline.h"
#include "core/records/preparedinsert.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tarvo {

class CDataStore;

// A key that must come back as exactly this text even where it reads as a
// number ("0123" is not "123"): stored as the text's bytes, which the
// column's number affinity leaves alone.
struct ExactText {
    std::string text;
    auto operator<=>(const ExactText&) const = default;
};

// A product's identifier in its source: a number for the table sources, text
// for a card named by its abbreviation (a text that reads as a number is
// stored as that number, as the table sources find it), or an exact text.
// Each is stored as it is given, so that the imports find the product again
// by it.
using ProductSourceId = std::variant<int64_t, std::string, ExactText>;

// One product as the product dialog edits it. Source and source id are read
// only there: the imports write them, a person never does. Source 0 is a
// product entered by hand, stored without a source.
struct ProductRecord {
    std::string name{};
    std::string katalog{};
    std::string unit{};
    int64_t source = 0;
    std::optional<ProductSourceId> sourceId{};

    bool operator==(const ProductRecord&) const = default;
};

// One packaging definition: how the product is packed from a day on. Its
// lines are cover lines of the table Prod_Cover (CoverLineTable::Packaging).
struct DefinitionRecord {
    RecordId prodId = NoRecord;
    OleDate from{};
};

// Every write below throws ComError and opens no unit of its own: the caller
// holds the Transaction.

// Adds products with the INSERT prepared once; the deleted flag takes its
// default.
class ProductWriter {
public:
    explicit ProductWriter(CDataStore& store);
    RecordId Insert(const ProductRecord& product);

private:
    PreparedInsert m_insert;
};

std::optional<ProductRecord> FindProduct(CDataStore& store, RecordId id);

// A product as stored, with its identifier and the deleted flag.
struct StoredProduct {
    RecordId id = NoRecord;
    ProductRecord record;
    bool deleted = false;
};

// Every product, deleted ones too.
std::vector<StoredProduct> AllProducts(CDataStore& store);
bool ProductExists(CDataStore& store, RecordId id);
// Name, catalogue number and unit; source and source id stay.
void UpdateProduct(CDataStore& store, RecordId id, const ProductRecord& product);
// The products' packaging goes; the products stay as rows, marked deleted,
// so that their dispatch lines still name them.
void MarkProductsDeleted(CDataStore& store, const std::vector<RecordId>& ids);
// A product marked deleted is in the register again, without packaging
// until some is given to it.
void ReviveProduct(CDataStore& store, RecordId id);

// Adds packaging definitions with the INSERT prepared once.
class DefinitionWriter {
public:
    explicit DefinitionWriter(CDataStore& store);
    RecordId Insert(const DefinitionRecord& definition);

private:
    PreparedInsert m_insert;
};

std::optional<DefinitionRecord> FindDefinition(CDataStore& store, RecordId dtId);
// The product's definitions by the day they start (ties in the order they
// were added); a definition without a day has an invalid from.
std::vector<PackagingDefinition> DefinitionsOf(CDataStore& store, RecordId prodId);
// The product's first definition on the calendar day of from, if any.
std::optional<RecordId> DefinitionOnDay(CDataStore& store, RecordId prodId, const OleDate& from);
// The definition in force just before from: the last one whose first day
// (a valid one) is earlier than from; nothing for an invalid from.
std::optional<RecordId> DefinitionBefore(CDataStore& store, RecordId prodId, const OleDate& from);
void UpdateDefinitionDate(CDataStore& store, RecordId dtId, const OleDate& from);
// The definition with its lines.
void DeleteDefinition(CDataStore& store, RecordId dtId);
// The product a packaging line belongs to, through its definition; nothing
// when the line or its definition is gone.
std::optional<RecordId> ProductOfLine(CDataStore& store, RecordId cpId);

} // namespace tarvo
