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

// The schema script that creates the twelve tables of an empty working
// database.
const char* SchemaSql();
// The script that adds the classification for the statement in force since
// 2021; it runs on a new database after SchemaSql and on an older one when it
// is opened, and changes nothing where the tables are there.
const char* Schema2021Sql();

// Every table, in the order of the scripts: the twelve, then the
// classification's.
std::span<const TableInfo> Tables();
// The twelve tables every working database has had.
std::span<const TableInfo> OriginalTables();
// The tables Schema2021Sql adds.
std::span<const TableInfo> ClassificationTables();
// Case-insensitive, as Jet compared names.
const TableInfo* FindTable(std::string_view name);
// A column's kind by its name alone; a column name means the same in every table.
std::optional<ColumnKind> KindOfColumn(std::string_view column);

} // namespace tarvo
