#pragma once

#include "core/data/oledate.h"
#include "core/data/recordid.h"
#include "core/records/coverline.h"
#include "core/records/preparedinsert.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvo {

class CDataStore;

// One product as the product dialog edits it. Source and source id are read
// only there: the imports write them, a person never does. Source 0 is a
// product entered by hand, stored without a source.
struct ProductRecord {
    std::string name;
    std::string katalog;
    std::string unit;
    int64_t source = 0;
    std::optional<int64_t> sourceId;
    // A source id the source gives as text (a Money card's abbreviation),
    // stored in place of sourceId as the column's affinity makes it.
    std::optional<std::string> sourceText{};

    bool operator==(const ProductRecord&) const = default;
};

// One packaging definition: how the product is packed from a day on. Its
// lines are cover lines of the table Prod_Cover (CoverLineTable::Packaging).
struct DefinitionRecord {
    RecordId prodId = NoRecord;
    OleDate from;
};

// Every write below throws ComError and opens no unit of its own: the caller
// holds the CTransaction.

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
bool ProductExists(CDataStore& store, RecordId id);
// Name, catalogue number and unit; source and source id stay.
void UpdateProduct(CDataStore& store, RecordId id, const ProductRecord& product);
// The products' packaging goes; the products stay as rows, marked deleted,
// so that their dispatch lines still name them.
void MarkProductsDeleted(CDataStore& store, const std::vector<RecordId>& ids);

// Adds packaging definitions with the INSERT prepared once.
class DefinitionWriter {
public:
    explicit DefinitionWriter(CDataStore& store);
    RecordId Insert(const DefinitionRecord& definition);

private:
    PreparedInsert m_insert;
};

std::optional<DefinitionRecord> FindDefinition(CDataStore& store, RecordId dtId);
// The product's first definition on the calendar day of from, if any.
std::optional<RecordId> DefinitionOnDay(CDataStore& store, RecordId prodId, const OleDate& from);
void UpdateDefinitionDate(CDataStore& store, RecordId dtId, const OleDate& from);
// The definition with its lines.
void DeleteDefinition(CDataStore& store, RecordId dtId);
// The product a packaging line belongs to, through its definition; nothing
// when the line or its definition is gone.
std::optional<RecordId> ProductOfLine(CDataStore& store, RecordId cpId);

} // namespace tarvo
