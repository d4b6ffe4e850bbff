#include "core/data/cdatastore.h"

#include "core/data/criterion.h"
#include "core/data/jetdialect.h"
#include "core/data/paths.h"
#include "core/data/schema.h"
#include "core/data/shared.h"
#include "core/data/sqlfunctions.h"
#include "core/data/statement.h"
#include "core/ports/messageport.h"

#include <filesystem>
#include <set>
#include <span>
#include <sqlite3.h>

namespace tarvo {

namespace {

// SQLite counts its memory under a global mutex at every allocation, and
// nothing here reads the count: a long import allocates at every row. Set
// before the library starts, so once, before the first connection.
void ConfigureSqlite() {
    static const int configured = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    static_cast<void>(configured);
}

void Exec(sqlite3* db, const char* sql) {
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const std::string message = error ? error : sqlite3_errmsg(db);
        sqlite3_free(error);
        throw SqliteError(rc, message);
    }
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Throws unless the database holds the tables with their columns.
void CheckSchema(sqlite3* db, std::span<const TableInfo> tables) {
    for (const TableInfo& table : tables) {
        sqlite3_stmt* stmt = nullptr;
        const std::string sql = Format("PRAGMA table_info(\"%s\")", table.name.data());
        int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
        if (rc != SQLITE_OK)
            throw SqliteError(rc, sqlite3_errmsg(db));
        std::set<std::string> present;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
            present.insert(Lower(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1))));
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            throw SqliteError(rc, sqlite3_errmsg(db));
        for (const ColumnInfo& column : table.columns) {
            if (!present.contains(Lower(column.name)))
                throw ComError(ComError::Fail, Format("V databázi chybí sloupec %s.%s.",
                                                      table.name.data(), column.name.data()));
        }
    }
}

// An older database gets the classification's tables; one that has them is
// not written to.
void AddClassificationTables(sqlite3* db) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(
        db, "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = ?", -1, &stmt,
        nullptr);
    if (rc != SQLITE_OK)
        throw SqliteError(rc, sqlite3_errmsg(db));
    bool missing = false;
    for (const TableInfo& table : ClassificationTables()) {
        sqlite3_reset(stmt);
        sqlite3_bind_text(stmt, 1, table.name.data(), static_cast<int>(table.name.size()),
                          SQLITE_STATIC);
        rc = sqlite3_step(stmt);
        if (rc != SQLITE_ROW) {
            sqlite3_finalize(stmt);
            throw SqliteError(rc, sqlite3_errmsg(db));
        }
        missing = missing || sqlite3_column_int(stmt, 0) == 0;
    }
    sqlite3_finalize(stmt);
    if (!missing)
        return;
    // All of them or none, should the file refuse the write half-way.
    Exec(db, "BEGIN IMMEDIATE");
    try {
        Exec(db, Schema2021Sql());
        Exec(db, "COMMIT");
    } catch (const ComError&) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

Value ReadColumn(sqlite3_stmt* stmt, int i, std::optional<ColumnKind> kind) {
    const int type = sqlite3_column_type(stmt, i);
    if (type == SQLITE_NULL)
        return Value();
    if (kind) {
        switch (*kind) {
        case ColumnKind::Identifier:
        case ColumnKind::Reference:
        case ColumnKind::Code:
        case ColumnKind::Integer:
            return Value(static_cast<int64_t>(sqlite3_column_int64(stmt, i)));
        case ColumnKind::Quantity:
            return Value(Quantity::FromScaled(sqlite3_column_int64(stmt, i)));
        case ColumnKind::Date:
            return Value(OleDate::FromValue(sqlite3_column_double(stmt, i)));
        case ColumnKind::Flag:
            return Value(sqlite3_column_int64(stmt, i) != 0);
        case ColumnKind::Text:
            break;
        }
    } else {
        switch (type) {
        case SQLITE_INTEGER:
            return Value(static_cast<int64_t>(sqlite3_column_int64(stmt, i)));
        case SQLITE_FLOAT:
            return Value(sqlite3_column_double(stmt, i));
        default:
            break;
        }
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
    return Value(std::string(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(stmt, i))));
}

} // namespace

CDataStore::CDataStore(IMessagePort& messages) : m_messages(messages) {}

CDataStore::~CDataStore() {
    CloseDatabase();
}

bool CDataStore::OpenDatabase() {
    if (m_db)
        return true;
    std::error_code ec;
    sqlite3* db = nullptr;
    try {
        // Never create the file here: a missing database is an error, not an
        // invitation to start empty.
        if (!std::filesystem::is_regular_file(PathOf(m_path), ec))
            throw ComError(ComError::Fail, "Soubor neexistuje.");
        ConfigureSqlite();
        // One thread uses the connection at a time: without SQLite's own
        // mutex, reading a column costs no lock (a tenth of a long list's
        // load).
        int rc = sqlite3_open_v2(m_path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                                 nullptr);
        if (rc != SQLITE_OK)
            throw SqliteError(rc, db ? sqlite3_errmsg(db) : "sqlite3_open_v2");
        sqlite3_busy_timeout(db, 2000);
        RegisterSqlFunctions(db);
        // Reading the schema is what tells a damaged or foreign file apart;
        // only a Tarvo database gets the tables it lacks.
        CheckSchema(db, OriginalTables());
        AddClassificationTables(db);
        CheckSchema(db, ClassificationTables());
        Exec(db, "PRAGMA foreign_keys = OFF");
        // Units of work are savepoints inside larger batches; their undo pages
        // stay in memory, where a temporary file would cost a write per page.
        Exec(db, "PRAGMA temp_store = MEMORY");
    } catch (const ComError&) {
        sqlite3_close_v2(db);
        m_messages.ShowMessage(Format("Nemohu otevřít databázi '%s'", m_path.c_str()),
                               MsgIcon::Error);
        return false;
    }
    m_db = db;
    return true;
}

bool CDataStore::CloseDatabase() {
    m_cache.clear();
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    return true;
}

sqlite3* CDataStore::Handle() const {
    if (!m_db)
        throw ComError(ComError::InvalidPointer, "Databáze není otevřena.");
    return m_db;
}

int64_t CDataStore::LastInsertId() const {
    return sqlite3_last_insert_rowid(Handle());
}

Statement& CDataStore::Cached(std::string_view sql) {
    auto it = m_cache.find(sql);
    if (it == m_cache.end())
        it = m_cache.emplace(std::string(sql), std::make_unique<Statement>(*this, sql)).first;
    it->second->Reset();
    return *it->second;
}

void CDataStore::ExecuteOrThrow(std::string_view sql) {
    Statement statement(*this, sql);
    statement.Run();
}

bool CDataStore::Execute(std::string_view sql) {
    try {
        ExecuteOrThrow(sql);
        return true;
    } catch (const ComError& e) {
        ShowComError(m_messages, e);
        return false;
    }
}

void CDataStore::OpenRecordsetOrThrow(Recordset& rs, std::string_view source,
                                      CommandOption option) {
    rs.Close();
    if (option == CommandOption::Table) {
        const TableInfo* table = FindTable(Trim(source));
        Handle();
        if (!table)
            throw ComError(ComError::Fail, Format("Tabulka '%.*s' neexistuje.",
                                                  static_cast<int>(source.size()), source.data()));
        for (const ColumnInfo& c : table->columns)
            rs.m_columns.push_back(
                {std::string(c.name), std::string(table->name), std::string(c.name)});
        rs.m_appendTable = std::string(table->name);
        rs.m_store = this;
        return;
    }

    const TranslatedSql translated = TranslateJetSql(source);
    sqlite3* db = Handle();
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, translated.sql.c_str(), -1, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        throw SqliteError(rc, sqlite3_errmsg(db));
    }
    const int count = sqlite3_column_count(stmt);
    std::vector<std::optional<ColumnKind>> kinds;
    for (int i = 0; i < count; ++i) {
        const char* name = sqlite3_column_name(stmt, i);
        const char* table = sqlite3_column_table_name(stmt, i);
        const char* origin = sqlite3_column_origin_name(stmt, i);
        rs.m_columns.push_back({name ? name : "", table ? table : "", origin ? origin : ""});
        std::optional<ColumnKind> kind;
        if (origin) {
            kind = KindOfColumn(origin);
        } else if (name) {
            for (const std::string& q : translated.quantityResults) {
                if (EqualsNoCase(q, name))
                    kind = ColumnKind::Quantity;
            }
        }
        kinds.push_back(kind);
    }
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        std::vector<Value> row;
        row.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            row.push_back(ReadColumn(stmt, i, kinds[static_cast<size_t>(i)]));
        rs.m_rows.push_back(std::move(row));
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) {
        rs.Close();
        throw SqliteError(rc, sqlite3_errmsg(db));
    }
    rs.m_store = this;
    rs.m_pos = 0;
}

bool CDataStore::OpenRecordset(Recordset& rs, std::string_view source, CursorType, LockType,
                               CommandOption option) {
    // Every cursor is a static snapshot that can be written back; the cursor
    // and lock types of the callers need no other treatment here.
    try {
        OpenRecordsetOrThrow(rs, source, option);
        return true;
    } catch (const ComError& e) {
        rs.Close();
        ShowComError(m_messages, e);
        return false;
    }
}

namespace {

bool SearchForward(Recordset& rs, const Criterion& criterion) {
    for (; !rs.IsEOF(); rs.MoveNext()) {
        if (criterion.Matches(rs.Field(criterion.Column())))
            return true;
    }
    return false;
}

Criterion ParseCriterion(std::string_view text) {
    const auto criterion = Criterion::Parse(text);
    if (!criterion)
        throw ComError(ComError::Fail, Format("Neplatné kritérium hledání: %.*s",
                                              static_cast<int>(text.size()), text.data()));
    return *criterion;
}

} // namespace

bool CDataStore::FindFirst(Recordset& rs, std::string_view criterion) {
    try {
        const Criterion c = ParseCriterion(criterion);
        rs.MoveFirst();
        SearchForward(rs, c);
        return true;
    } catch (const ComError& e) {
        ShowComError(m_messages, e);
        return false;
    }
}

bool CDataStore::FindInRecordset(Recordset& rs, std::string_view criterion, long n) {
    try {
        if (n < 0 || n >= rs.RecordCount())
            return false;
        const Criterion c = ParseCriterion(criterion);
        rs.MoveTo(n);
        return SearchForward(rs, c);
    } catch (const ComError& e) {
        ShowComError(m_messages, e);
        return false;
    }
}

void CDataStore::CreateEmptyDatabase(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::exists(PathOf(path), ec))
        throw ComError(ComError::Fail, Format("Soubor '%s' již existuje.", path.c_str()));
    sqlite3* db = nullptr;
    ConfigureSqlite();
    int rc =
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    try {
        if (rc != SQLITE_OK)
            throw SqliteError(rc, db ? sqlite3_errmsg(db) : "sqlite3_open_v2");
        Exec(db, "BEGIN");
        Exec(db, SchemaSql());
        Exec(db, Schema2021Sql());
        Exec(db, "COMMIT");
    } catch (const ComError&) {
        sqlite3_close_v2(db);
        std::filesystem::remove(PathOf(path), ec);
        throw;
    }
    sqlite3_close_v2(db);
}

} // namespace tarvo
