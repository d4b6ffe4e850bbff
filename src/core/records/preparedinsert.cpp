#include "core/records/preparedinsert.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"

namespace tarvo {

PreparedInsert::PreparedInsert(CDataStore& store, std::string_view sql)
    : m_store(store), m_statement(std::make_unique<Statement>(store, sql)) {}

PreparedInsert::~PreparedInsert() = default;

RecordId PreparedInsert::Run() {
    m_statement->Run();
    return m_store.LastInsertId();
}

std::string InsertRowsSql(std::string_view table, std::string_view columns, size_t rows) {
    std::string row = "(?";
    for (char c : columns)
        if (c == ',')
            row += ", ?";
    row += ")";
    std::string sql = Format("INSERT INTO %.*s (%.*s) VALUES ", static_cast<int>(table.size()),
                             table.data(), static_cast<int>(columns.size()), columns.data()) +
                      row;
    for (size_t i = 1; i < rows; ++i)
        sql += ", " + row;
    return sql;
}

RowInserts::RowInserts(CDataStore& store, std::string_view table, std::string_view columns,
                       bool keep)
    : m_store(store), m_table(table), m_columns(columns), m_keep(keep) {}

RowInserts::~RowInserts() = default;

Statement& RowInserts::For(size_t rows) {
    if (!m_keep)
        return m_store.Cached(InsertRowsSql(m_table, m_columns, rows));
    auto& statement = m_statements.at(rows - 1);
    if (!statement)
        statement = std::make_unique<Statement>(m_store, InsertRowsSql(m_table, m_columns, rows));
    return *statement;
}

} // namespace tarvo
