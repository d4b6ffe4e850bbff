#include "core/data/statement.h"

#include "core/data/cdatastore.h"
#include "core/data/jetdialect.h"

#include <sqlite3.h>

namespace tarvo {

Statement::Statement(CDataStore& store, std::string_view sql) : m_db(store.Handle()) {
    const std::string translated = TranslateJetSql(sql).sql;
    const int rc = sqlite3_prepare_v2(m_db, translated.c_str(), static_cast<int>(translated.size()),
                                      &m_stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw SqliteError(rc, sqlite3_errmsg(m_db));
    }
    if (!m_stmt)
        throw ComError(ComError::Fail, "Prázdný příkaz SQL.");
}

Statement::~Statement() {
    sqlite3_finalize(m_stmt);
}

namespace {

void CheckBind(sqlite3* db, int rc) {
    if (rc != SQLITE_OK)
        throw SqliteError(rc, sqlite3_errmsg(db));
}

} // namespace

Statement& Statement::Bind(int index, const Value& value) {
    switch (value.GetKind()) {
    case Value::Kind::Empty:
        return BindNull(index);
    case Value::Kind::Int16:
    case Value::Kind::Long:
    case Value::Kind::Bool:
        return BindInt(index, value.ToLong());
    case Value::Kind::Single:
    case Value::Kind::Double:
        CheckBind(m_db, sqlite3_bind_double(m_stmt, index, value.ToDouble()));
        return *this;
    case Value::Kind::Currency:
        return BindQuantity(index, value.ToQuantity());
    case Value::Kind::Date:
        return BindDate(index, value.ToDate());
    case Value::Kind::Text:
        return BindText(index, value.ToString());
    }
    return *this;
}

Statement& Statement::BindNull(int index) {
    CheckBind(m_db, sqlite3_bind_null(m_stmt, index));
    return *this;
}

Statement& Statement::BindInt(int index, int64_t value) {
    CheckBind(m_db, sqlite3_bind_int64(m_stmt, index, value));
    return *this;
}

Statement& Statement::BindQuantity(int index, Quantity value) {
    if (!value.IsValid())
        return BindNull(index);
    return BindInt(index, value.Scaled());
}

Statement& Statement::BindDate(int index, OleDate value) {
    if (!value.IsValid())
        return BindNull(index);
    CheckBind(m_db, sqlite3_bind_double(m_stmt, index, value.Value()));
    return *this;
}

Statement& Statement::BindText(int index, std::string_view value) {
    CheckBind(m_db, sqlite3_bind_text(m_stmt, index, value.data(), static_cast<int>(value.size()),
                                      SQLITE_TRANSIENT));
    return *this;
}

Statement& Statement::BindBlob(int index, std::string_view value) {
    CheckBind(m_db, sqlite3_bind_blob(m_stmt, index, value.data(), static_cast<int>(value.size()),
                                      SQLITE_TRANSIENT));
    return *this;
}

bool Statement::Step() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const std::string message = sqlite3_errmsg(m_db);
    sqlite3_reset(m_stmt);
    throw SqliteError(rc, message);
}

void Statement::Run() {
    while (Step()) {
    }
    Reset();
}

void Statement::Reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int Statement::ColumnCount() const {
    return sqlite3_column_count(m_stmt);
}

bool Statement::IsNull(int column) const {
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

int64_t Statement::Int(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}

Quantity Statement::GetQuantity(int column) const {
    if (IsNull(column))
        return Quantity::Invalid();
    return Quantity::FromScaled(sqlite3_column_int64(m_stmt, column));
}

OleDate Statement::Date(int column) const {
    if (IsNull(column))
        return OleDate();
    return OleDate::FromValue(sqlite3_column_double(m_stmt, column));
}

std::string Statement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(m_stmt, column)))
                : std::string();
}

double Statement::Double(int column) const {
    return sqlite3_column_double(m_stmt, column);
}

} // namespace tarvo
