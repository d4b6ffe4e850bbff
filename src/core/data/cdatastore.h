#pragma once

#include "core/data/codelists.h"
#include "core/data/comerror.h"
#include "core/data/recordset.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>

struct sqlite3;

namespace tarvo {

class IMessagePort;
class Statement;

// The one connection to the working database (Tarvo.mdb, an SQLite file) and
// the code lists. Every part reaches the database through it: SQL text in the
// Jet dialect the program was designed with (translated on the way, see
// jetdialect.h), recordsets, and prepared statements for the long runs.
//
// Failures are shown to the user through the message port, with the texts of
// the error boxes, and the operation returns false.
class CDataStore {
public:
    explicit CDataStore(IMessagePort& messages);
    virtual ~CDataStore();
    CDataStore(const CDataStore&) = delete;
    CDataStore& operator=(const CDataStore&) = delete;

    // The full path of Tarvo.mdb; OpenDatabase opens this file.
    void SetDatabasePath(std::string path) { m_path = std::move(path); }
    const std::string& DatabasePath() const { return m_path; }

    IMessagePort& Messages() const { return m_messages; }

    // Opens and checks the file: it must be an SQLite database holding the
    // twelve tables. Otherwise "Nemohu otevřít databázi '%s'" and false. A
    // missing file is never created here; a database without the
    // classification's tables gets them.
    bool OpenDatabase();
    bool CloseDatabase();
    bool IsOpen() const { return m_db != nullptr; }

    // Runs one statement that returns no rows; errors are shown.
    bool Execute(std::string_view sql);
    // Opens rs on an SQL text (CommandOption::Text) or a table name
    // (CommandOption::Table, an append cursor); errors are shown and rs is
    // closed.
    bool OpenRecordset(Recordset& rs, std::string_view source,
                       CursorType cursor = CursorType::Keyset, LockType lock = LockType::Optimistic,
                       CommandOption option = CommandOption::Text);
    // Moves to the first row and searches forward for the first row meeting
    // the criterion ("column op value"); true when the search ran (test
    // IsEOF() for the result).
    bool FindFirst(Recordset& rs, std::string_view criterion);
    // Searches forward from row n (included); true when a row was found.
    bool FindInRecordset(Recordset& rs, std::string_view criterion, long n);

    // The variants that throw ComError instead of showing it, for operations
    // that handle the error themselves.
    void ExecuteOrThrow(std::string_view sql);
    void OpenRecordsetOrThrow(Recordset& rs, std::string_view source,
                              CommandOption option = CommandOption::Text);

    // Label look-ups of the code lists: the label, or "???" outside the list.
    std::string MaterialLabel(int code) const { return Materials.Label(code); }
    std::string CoverTypeLabel(int code) const { return CoverTypes.Label(code); }
    std::string OriginLabel(int code) const { return Origins.Label(code); }
    std::string PaymentLabel(int code) const { return Payments.Label(code); }
    std::string StatCategoryLabel(int code) const { return StatCategories.Label(code); }
    std::string DiscardKindLabel(int code) const { return DiscardKinds.Label(code); }
    std::string MoveTypeLabel(int code) const { return MoveTypes.Label(code); }

    // The open connection; throws ComError when the database is closed.
    sqlite3* Handle() const;
    // A prepared statement kept for the life of the connection, for SQL that
    // runs many times: texts with parameters, never with values spliced in.
    // Reset before it is handed out, so one text must not be used in a loop
    // over itself.
    Statement& Cached(std::string_view sql);
    // The identifier given to the row inserted last on this connection.
    int64_t LastInsertId() const;

    // Creates a new, empty working database at path (which must not exist).
    static void CreateEmptyDatabase(const std::string& path);

private:
    IMessagePort& m_messages;
    std::string m_path;
    sqlite3* m_db = nullptr;
    std::map<std::string, std::unique_ptr<Statement>, std::less<>> m_cache;
};

} // namespace tarvo
