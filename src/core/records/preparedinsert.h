#pragma once

#include "core/data/recordid.h"

#include <memory>
#include <string_view>

namespace tarvo {

class CDataStore;
class Statement;

// The INSERT of a record writer, prepared once for all the rows it adds.
class PreparedInsert {
public:
    PreparedInsert(CDataStore& store, std::string_view sql);
    ~PreparedInsert();
    PreparedInsert(const PreparedInsert&) = delete;
    PreparedInsert& operator=(const PreparedInsert&) = delete;

    // For binding the row's values.
    Statement& Prepared() { return *m_statement; }
    // Runs the bound row; the new row's key.
    RecordId Run();

private:
    CDataStore& m_store;
    std::unique_ptr<Statement> m_statement;
};

} // namespace tarvo
