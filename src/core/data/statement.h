#pragma once

#include "core/data/value.h"

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace tarvo {

class CDataStore;

// One prepared statement; finalised by its destructor. The SQL text passes
// through the Jet-dialect translation first, so the program's SQL texts run as
// they stand. Errors throw ComError.
class Statement {
public:
    Statement(CDataStore& store, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters are numbered from 1.
    Statement& Bind(int index, const Value& value);
    Statement& BindNull(int index);
    Statement& BindInt(int index, int64_t value);
    Statement& BindQuantity(int index, Quantity value);
    Statement& BindDate(int index, OleDate value);
    Statement& BindText(int index, std::string_view value);
    // The bytes as they are: a column's type affinity never turns them into
    // a number.
    Statement& BindBlob(int index, std::string_view value);

    // True while there is a row to read.
    bool Step();
    // Runs a statement that returns no rows.
    void Run();
    // Ready for another run with new bindings.
    void Reset();

    int ColumnCount() const;
    bool IsNull(int column) const;
    int64_t Int(int column) const;
    Quantity GetQuantity(int column) const;
    OleDate Date(int column) const;
    std::string Text(int column) const;
    double Double(int column) const;

    sqlite3_stmt* Handle() const { return m_stmt; }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

} // namespace tarvo
