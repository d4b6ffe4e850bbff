#include "core/records/preparedinsert.h"

#include "core/data/cdatastore.h"
#include "core/data/statement.h"

namespace tarvo {

PreparedInsert::PreparedInsert(CDataStore& store, std::string_view sql)
    : m_store(store), m_statement(std::make_unique<Statement>(store, sql)) {}

PreparedInsert::~PreparedInsert() = default;

RecordId PreparedInsert::Run() {
    m_statement->Run();
    return m_store.LastInsertId();
}

} // namespace tarvo
