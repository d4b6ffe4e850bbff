#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace tarvo {

// The storage kind of a column of the working database.
enum class ColumnKind { Identifier, Reference, Code, Integer, Quantity, Date, Flag, Text };

struct ColumnInfo {
    std::string_view name;
    ColumnKind kind;
};

struct TableInfo {
    std::string_view name;
    std::string_view idColumn; // empty when the table has no identifier of its own
    std::span<const ColumnInfo> columns;
};

// The schema script that creates an empty working database.
const char* SchemaSql();

// The twelve tables, in the order of the schema.
std::span<const TableInfo> Tables();
// Case-insensitive, as Jet compared names.
const TableInfo* FindTable(std::string_view name);
// A column's kind by its name alone; a column name means the same in every table.
std::optional<ColumnKind> KindOfColumn(std::string_view column);

} // namespace tarvo
