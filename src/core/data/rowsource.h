#pragma once

#include "core/data/recordid.h"

#include <functional>
#include <span>
#include <string>
#include <vector>

namespace tarvo {

class CDataStore;
class Statement;

// The cells of one list row as the list shows them, UTF-8.
using RowCells = std::vector<std::string>;

// Where a list gets the cells of its rows from.
class IRowSource {
public:
    virtual ~IRowSource() = default;

    virtual const std::vector<std::string>& Headers() const = 0;
    // The cells of the records, in the order of ids; a record that another
    // program removed meanwhile gives an empty row. Throws ComError.
    virtual std::vector<RowCells> Read(std::span<const RecordId> ids) = 0;
};

// Rows read by one prepared statement whose identifiers are bound: select
// ends in "WHERE <id column> IN " and gets a list of BatchSize parameters.
// The statement is prepared once per connection (CDataStore::Cached); a
// short batch binds the unused parameters to NoRecord, which no record has.
class StatementRowSource final : public IRowSource {
public:
    static constexpr int BatchSize = 128;
    // Turns the current row of the statement (first column: the identifier)
    // into the row's cells.
    using CellReader = std::function<RowCells(const Statement&)>;

    StatementRowSource(CDataStore& store, std::vector<std::string> headers, std::string_view select,
                       CellReader reader);

    const std::vector<std::string>& Headers() const override { return m_headers; }
    std::vector<RowCells> Read(std::span<const RecordId> ids) override;

private:
    CDataStore& m_store;
    std::vector<std::string> m_headers;
    std::string m_sql;
    CellReader m_reader;
};

} // namespace tarvo
