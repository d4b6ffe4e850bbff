#include "core/data/schema.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/transaction.h"
#include "rows.h"
#include "testdatabase.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <span>
#include <sqlite3.h>

namespace tarvo {
namespace {

using test::RecordingMessages;
using test::TempFolder;
using test::TestDatabase;

// ---- Opening -------------------------------------------------------------

enum class FileKind { Missing, Text, Empty, ForeignSqlite, Truncated };

class OpenRejects : public ::testing::TestWithParam<FileKind> {};

TEST_P(OpenRejects, WithTheExactMessageAndWithoutCreatingAnything) {
    TempFolder folder;
    const std::string path = folder.File("Tarvo.mdb");
    switch (GetParam()) {
    case FileKind::Missing:
        break;
    case FileKind::Text:
        test::WriteFile(path, "Toto není databáze.\n");
        break;
    case FileKind::Empty:
        test::WriteFile(path, "");
        break;
    case FileKind::ForeignSqlite: {
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_exec(db, "CREATE TABLE Cover (x INTEGER)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        break;
    }
    case FileKind::Truncated: {
        CDataStore::CreateEmptyDatabase(path);
        const std::string bytes = test::ReadFile(path);
        test::WriteFile(path, bytes.substr(0, 1500));
        break;
    }
    }
    const bool existed = std::filesystem::exists(path);
    const std::string bytes = existed ? test::ReadFile(path) : "";
    RecordingMessages messages;
    CDataStore store(messages);
    store.SetDatabasePath(path);
    EXPECT_FALSE(store.OpenDatabase());
    EXPECT_FALSE(store.IsOpen());
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0],
              (test::ShownMessage{"Nemohu otevřít databázi '" + path + "'", MsgIcon::Error}));
    EXPECT_EQ(std::filesystem::exists(path), existed);
    // Not even the classification's tables are added to a file that is no
    // Tarvo database.
    if (existed) {
        EXPECT_EQ(test::ReadFile(path), bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, OpenRejects,
                         ::testing::Values(FileKind::Missing, FileKind::Text, FileKind::Empty,
                                           FileKind::ForeignSqlite, FileKind::Truncated));

// Every row of the tables as the engine itself reads them; "?" for a table
// that is not there.
std::string Dump(const std::string& path, std::span<const TableInfo> tables) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::string all;
    for (const TableInfo& table : tables) {
        const std::string sql = "SELECT * FROM " + std::string(table.name) + " ORDER BY rowid";
        auto row = [](void* out, int n, char** values, char**) {
            for (int i = 0; i < n; ++i)
                *static_cast<std::string*>(out) += std::string(values[i] ? values[i] : "") + "|";
            return 0;
        };
        if (sqlite3_exec(db, sql.c_str(), row, &all, nullptr) != SQLITE_OK)
            all += "?";
    }
    sqlite3_close(db);
    return all;
}

TEST(CDataStore, AnOlderDatabaseGetsTheClassificationTablesOnceAndKeepsEveryRow) {
    TempFolder folder;
    const std::string path = folder.File("Tarvo.mdb");
    // The twelve tables alone, as every earlier version of the program left
    // the file, with rows in each group.
    sqlite3* old = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &old), SQLITE_OK);
    const std::string rows =
        std::string(SchemaSql()) +
        "INSERT INTO Cover (cover_name, cover_weight, cover_mat, deleted) VALUES "
        "('Krabice', 2000, 7, 0), ('Paleta', 250000, 0, 1);"
        "INSERT INTO CoverDiscard (cover_id, disc_date, disc_type, disc_qty) "
        "VALUES (1, 45000, 2, 30000);"
        "INSERT INTO Product (prod_name) VALUES ('Mouka');"
        "INSERT INTO Move (move_num, move_date) VALUES ('DL1', 45001.5);"
        "INSERT INTO Move_Prod (move_id, prod_id, mvprod_qty) VALUES (1, 1, 10000);"
        "INSERT INTO Move_Cover (move_id, mvprod_id, cover_id, mvcover_qty) "
        "VALUES (1, 1, 1, 20000);";
    ASSERT_EQ(sqlite3_exec(old, rows.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(old);
    const std::string before = Dump(path, OriginalTables());
    ASSERT_EQ(Dump(path, ClassificationTables()), "???");

    RecordingMessages messages;
    CDataStore store(messages);
    store.SetDatabasePath(path);
    ASSERT_TRUE(store.OpenDatabase());
    store.CloseDatabase();
    EXPECT_EQ(Dump(path, OriginalTables()), before);
    EXPECT_EQ(Dump(path, ClassificationTables()), "");

    // Opening again changes nothing, not even the file.
    const std::string bytes = test::ReadFile(path);
    ASSERT_TRUE(store.OpenDatabase());
    store.CloseDatabase();
    EXPECT_EQ(test::ReadFile(path), bytes);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(CDataStore, ExecuteShowsDatabaseErrorsAndGoesOn) {
    TestDatabase db;
    EXPECT_FALSE(db.store.Execute("DELETE FROM NoSuchTable"));
    ASSERT_EQ(db.messages.shown.size(), 1U);
    EXPECT_EQ(db.messages.shown[0].icon, MsgIcon::Error);
    EXPECT_EQ(db.messages.shown[0].text.rfind("Došlo k chybě COM č.0x80004005\n\n", 0), 0U);
    EXPECT_TRUE(db.store.Execute("DELETE FROM TmpID"));

    Recordset rs;
    EXPECT_FALSE(db.store.OpenRecordset(rs, "SELECT nothing FROM Cover"));
    EXPECT_FALSE(rs.IsOpen());
    EXPECT_EQ(db.messages.shown.size(), 2U);
    // A recordset that failed to open reports the invalid-pointer error when used.
    try {
        rs.MoveFirst();
        FAIL() << "no error";
    } catch (const ComError& e) {
        EXPECT_EQ(e.Code(), ComError::InvalidPointer);
    }
}

// ---- Recordsets ------------------------------------------------------------

TEST(Recordset, AddUpdateAndReadTheNewIdentifierBack) {
    TestDatabase db;
    Recordset table;
    ASSERT_TRUE(db.store.OpenRecordset(table, "Cover", CursorType::Dynamic, LockType::Optimistic,
                                       CommandOption::Table));
    long ids[2] = {};
    for (long& id : ids) {
        table.AddNew();
        table.SetField("cover_name", Value("Paleta EUR"));
        table.SetField("cover_weight", Value(*ParseQuantity("25,5")));
        table.SetField("cover_mat", Value(0));
        table.SetField("cover_reusable", Value(true));
        table.Update();
        id = static_cast<long>(table.GetLong("cover_id"));
    }
    EXPECT_EQ(ids[0], 1);
    EXPECT_EQ(ids[1], 2);
    EXPECT_EQ(table.RecordCount(), 1); // an append cursor keeps only the last row

    Recordset rs;
    ASSERT_TRUE(db.store.OpenRecordset(rs, "SELECT * FROM Cover WHERE (cover_id = 2)"));
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.GetQuantity("cover_weight").Scaled(), 255000);
    EXPECT_TRUE(rs.GetBool("cover_reusable"));
    EXPECT_FALSE(rs.GetBool("deleted")); // the column default
    EXPECT_TRUE(rs.Field("cover_note").IsEmpty());
    rs.SetField("cover_note", Value("O'Brien"));
    rs.SetField("cover_weight", Value(*ParseQuantity("0,5")));
    rs.Update();

    Statement check(db.store, "SELECT cover_note, cover_weight FROM Cover WHERE cover_id = 2");
    ASSERT_TRUE(check.Step());
    EXPECT_EQ(check.Text(0), "O'Brien");
    EXPECT_EQ(check.Int(1), 5000);
    EXPECT_EQ(db.Count("Cover WHERE cover_note IS NULL"), 1);
}

TEST(Recordset, EditsThroughAJoinWriteTheRightTable) {
    TestDatabase db;
    const RecordId move = test::rows::Move(db.store, {"V1", -1, OleDate::FromParts(2012, 1, 2)});
    test::rows::MoveLine(db.store, move, 7, test::Q("3"));
    Recordset rs;
    ASSERT_TRUE(db.store.OpenRecordset(rs,
                                       "SELECT Move.move_date, Move_Prod.* FROM Move INNER JOIN "
                                       "Move_Prod ON Move.move_id = Move_Prod.move_id"));
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.GetDate("move_date"), OleDate::FromParts(2012, 1, 2));
    rs.SetField("mvprod_qty", Value(Quantity::FromUnits(5)));
    rs.Update();
    // Quantities in SQL text are written in units; the storage scale stays inside.
    EXPECT_EQ(db.Count("Move_Prod WHERE mvprod_qty = 5"), 1);
    EXPECT_EQ(rs.GetQuantity("Move_Prod.mvprod_qty"), Quantity::FromUnits(5));

    // A field of the other table in the same edit cannot be written.
    rs.SetField("mvprod_qty", Value(Quantity::FromUnits(6)));
    rs.SetField("move_date", Value(OleDate::FromParts(2013, 1, 1)));
    EXPECT_THROW(rs.Update(), ComError);
    rs.CancelUpdate();
    EXPECT_EQ(rs.GetQuantity("mvprod_qty"), Quantity::FromUnits(5));
}

TEST(Recordset, NavigationStopsAtBothEnds) {
    TestDatabase db;
    for (int i = 1; i <= 3; ++i)
        db.Run(Format("INSERT INTO TmpID (id) VALUES (%d)", i * 10));
    Recordset rs;
    ASSERT_TRUE(db.store.OpenRecordset(rs, "SELECT id FROM TmpID ORDER BY id"));
    EXPECT_EQ(rs.RecordCount(), 3);
    rs.MoveLast();
    EXPECT_EQ(rs.GetLong("id"), 30);
    rs.MoveNext();
    EXPECT_TRUE(rs.IsEOF());
    EXPECT_THROW(rs.Field("id"), ComError);
    rs.Move(-10);
    EXPECT_TRUE(rs.IsBOF());
    rs.MoveFirst();
    rs.Move(1);
    EXPECT_EQ(rs.GetLong("ID"), 20); // names compare without regard to case
    EXPECT_THROW(rs.Field("nothing"), ComError);

    Recordset empty;
    ASSERT_TRUE(db.store.OpenRecordset(empty, "SELECT id FROM TmpID WHERE id < 0"));
    EXPECT_TRUE(empty.IsEOF());
    EXPECT_TRUE(empty.IsBOF());
}

TEST(Recordset, FindFirstAndFindInRecordset) {
    TestDatabase db;
    for (const char* name : {"Krabice", "Paleta", "Fólie", "paleta malá"})
        test::rows::Cover(db.store, {name, Quantity::FromUnits(1), name[0] == 'P'});
    Recordset rs;
    ASSERT_TRUE(db.store.OpenRecordset(rs, "SELECT * FROM Cover ORDER BY cover_id"));

    EXPECT_TRUE(db.store.FindFirst(rs, "cover_id = 3"));
    EXPECT_EQ(rs.GetText("cover_name"), "Fólie");
    EXPECT_TRUE(db.store.FindFirst(rs, "cover_id = 99"));
    EXPECT_TRUE(rs.IsEOF()); // the search ran and found nothing

    EXPECT_TRUE(db.store.FindInRecordset(rs, "cover_name LIKE '%PALETA%'", 0));
    EXPECT_EQ(rs.Position(), 1);
    EXPECT_TRUE(db.store.FindInRecordset(rs, "cover_name LIKE '%PALETA%'", 2));
    EXPECT_EQ(rs.Position(), 3);
    EXPECT_FALSE(db.store.FindInRecordset(rs, "cover_name LIKE '%PALETA%'", 4));
    EXPECT_FALSE(db.store.FindInRecordset(rs, "cover_name = 'krabice'", 1));
    EXPECT_TRUE(db.store.FindInRecordset(rs, "cover_name = 'krabice'", 0)); // case-insensitive
    EXPECT_TRUE(db.store.FindInRecordset(rs, "cover_reusable = TRUE", 0));
    EXPECT_EQ(rs.Position(), 1);
    EXPECT_TRUE(db.store.FindInRecordset(rs, "cover_weight = 1", 0));
    EXPECT_EQ(rs.Position(), 0);
    EXPECT_TRUE(db.store.FindInRecordset(rs, "cover_name = 'O''Brien' ", 0) == false);
    EXPECT_TRUE(db.messages.shown.empty());

    EXPECT_FALSE(db.store.FindFirst(rs, "nonsense"));
    EXPECT_FALSE(db.store.FindFirst(rs, "no_column = 1"));
    EXPECT_EQ(db.messages.shown.size(), 2U);
}

// ---- Units of work ---------------------------------------------------------

TEST(Transaction, RollsBackUnlessCommittedAndNests) {
    TestDatabase db;
    {
        Transaction unit(db.store);
        db.Run("INSERT INTO TmpID (id) VALUES (1)");
    }
    EXPECT_EQ(db.Count("TmpID"), 0);
    {
        Transaction outer(db.store);
        db.Run("INSERT INTO TmpID (id) VALUES (2)");
        {
            Transaction inner(db.store);
            db.Run("INSERT INTO TmpID (id) VALUES (3)");
        }
        {
            Transaction inner(db.store);
            db.Run("INSERT INTO TmpID (id) VALUES (4)");
            inner.Commit();
        }
        outer.Commit();
    }
    Recordset rs;
    ASSERT_TRUE(db.store.OpenRecordset(rs, "SELECT id FROM TmpID ORDER BY id"));
    ASSERT_EQ(rs.RecordCount(), 2);
    EXPECT_EQ(rs.GetLong("id"), 2);
    rs.MoveNext();
    EXPECT_EQ(rs.GetLong("id"), 4);
}

// ---- The file as other tools see it ----------------------------------------

TEST(Schema, ExternalSqliteToolReadsEveryTableWithTheContractTypes) {
    if (std::system("python3 -c 'import sqlite3' >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3 with sqlite3 is not installed";
    TempFolder folder;
    const char* cli = std::getenv("TARVO_CLI");
    if (!cli)
        GTEST_SKIP() << "TARVO_CLI is set by CTest";
    ASSERT_EQ(test::RunShell(
                  Format("'%s' --data-dir '%s' init >/dev/null", cli, folder.Folder().c_str())),
              0);
    const std::string out = folder.File("schema.txt");
    const std::string script = Format(
        "import sqlite3\n"
        "c = sqlite3.connect('%s')\n"
        "with open('%s', 'w') as f:\n"
        "    for (t,) in c.execute(\"SELECT name FROM sqlite_master WHERE type='table' AND name "
        "NOT LIKE 'sqlite_%%' ORDER BY rowid\"):\n"
        "        c.execute('SELECT * FROM ' + t).fetchall()\n"
        "        cols = c.execute('PRAGMA table_info(' + t + ')').fetchall()\n"
        "        f.write(t + ':' + ','.join(n + ' ' + ty + (' pk' if pk else '') for _, n, ty, _, "
        "_, "
        "pk in cols) + '\\n')\n",
        folder.File("Tarvo.mdb").c_str(), out.c_str());
    test::WriteFile(folder.File("read.py"), script);
    ASSERT_EQ(std::system(("python3 " + folder.File("read.py")).c_str()), 0);

    std::string expected;
    for (const TableInfo& table : Tables()) {
        expected += std::string(table.name) + ":";
        for (size_t i = 0; i < table.columns.size(); ++i) {
            const ColumnInfo& c = table.columns[i];
            const char* type = c.kind == ColumnKind::Text   ? "TEXT"
                               : c.kind == ColumnKind::Date ? "REAL"
                                                            : "INTEGER";
            expected += Format("%s%s %s%s", i ? "," : "", c.name.data(), type,
                               c.kind == ColumnKind::Identifier ? " pk" : "");
        }
        expected += "\n";
    }
    EXPECT_EQ(test::ReadFile(out), expected);
}

} // namespace
} // namespace tarvo
