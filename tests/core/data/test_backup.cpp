#include "core/data/backup.h"
#include "core/data/cdatastore.h"
#include "core/data/oledate.h"
#include "core/data/schema.h"
#include "core/data/shared.h"
#include "core/data/transaction.h"
#include "rows.h"
#include "testdatabase.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <sqlite3.h>

namespace tarvo::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* CannotClose = "Nepodařilo se vytvoři uzavřít právě používanou databázi!";
constexpr const char* BackupExit = "Během zálohování došlo k chybě. Program bude ukončen!";
constexpr const char* RestoreExit = "Během obnovování zálohy došlo k chybě. Program bude ukončen!";

// The one message shown.
std::vector<ShownMessage> Only(const std::string& text, MsgIcon icon) {
    return {{text, icon}};
}

// Straight to the engine, so that the test data do not depend on the
// program's own SQL translation.
void Exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string text = error ? error : "";
    sqlite3_free(error);
    if (rc != SQLITE_OK)
        throw std::runtime_error(sql + ": " + text);
}

// Covers, dispatches with their product lines and cover lines.
void Seed(CDataStore& store, int covers, int moves) {
    const std::string n =
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ";
    Exec(store.Handle(), n + std::to_string(covers) +
                             ") INSERT INTO Cover (cover_name, cover_weight, cover_note) "
                             "SELECT 'Obal č. ' || i, i * 10000, hex(randomblob(200)) FROM n");
    Exec(store.Handle(), n + std::to_string(moves) +
                             ") INSERT INTO Move (move_num, move_date, move_type) "
                             "SELECT 'DL' || i, 41000 + i, 0 FROM n");
    Exec(store.Handle(), "INSERT INTO Move_Prod (move_id, prod_id, mvprod_qty) "
                         "SELECT move_id, 1, 10000 FROM Move");
    Exec(store.Handle(), "INSERT INTO Move_Cover (move_id, mvprod_id, cover_id, mvcover_qty) "
                         "SELECT move_id, mvprod_id, 1, 20000 FROM Move_Prod");
    // Every new cover classified as a composite of paper and aluminium, and
    // every tenth discarded, with a destination of its own.
    Exec(store.Handle(), n + std::to_string(covers) +
                             ") INSERT INTO CoverDiscard (cover_id, disc_date, disc_type, "
                             "disc_qty) SELECT i, 41000 + i, 2, 10000 FROM n WHERE i % 10 = 0");
    Exec(store.Handle(),
         "INSERT INTO Cover_Part (cover_id, part_comp, part_share) "
         "SELECT cover_id, c, CASE c WHEN 6 THEN 250000 ELSE 750000 END FROM Cover, "
         "(SELECT 6 AS c UNION ALL SELECT 9) WHERE cover_id NOT IN "
         "(SELECT cover_id FROM Cover_Class)");
    Exec(store.Handle(), "INSERT INTO Cover_Class (cover_id, cls_beverage, cls_mat, cls_shape, "
                         "cls_recycled, cls_litter) SELECT cover_id, cover_id % 2, 26, 1, "
                         "cover_id * 100, 0 FROM Cover WHERE cover_id NOT IN "
                         "(SELECT cover_id FROM Cover_Class)");
    Exec(store.Handle(),
         "INSERT INTO Discard_Dest (disc_id, dest_code) SELECT disc_id, 1 "
         "FROM CoverDiscard WHERE disc_id NOT IN (SELECT disc_id FROM Discard_Dest)");
}

// What the user would see of the data: the rows of every table and the sum
// of the cover weights.
using Fingerprint = std::map<std::string, long long>;

std::optional<Fingerprint> ReadFingerprint(const std::string& path) {
    RecordingMessages messages;
    CDataStore store(messages);
    store.SetDatabasePath(path);
    if (!store.OpenDatabase())
        return std::nullopt;
    Fingerprint print;
    auto scalar = [&](const std::string& sql) -> std::optional<long long> {
        sqlite3_stmt* stmt = nullptr;
        std::optional<long long> value;
        if (sqlite3_prepare_v2(store.Handle(), sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            value = sqlite3_column_int64(stmt, 0);
        sqlite3_finalize(stmt);
        return value;
    };
    for (const TableInfo& table : Tables()) {
        const auto count = scalar("SELECT COUNT(*) FROM " + std::string(table.name));
        if (!count)
            return std::nullopt;
        print[std::string(table.name)] = *count;
    }
    const auto weight = scalar("SELECT TOTAL(cover_weight) FROM Cover");
    const auto classified = scalar("SELECT TOTAL(cls_recycled) + TOTAL(part_share) FROM "
                                   "Cover_Class JOIN Cover_Part USING (cover_id)");
    const auto intact = scalar("SELECT quick_check = 'ok' FROM pragma_quick_check");
    if (!weight || !classified || !intact || !*intact)
        return std::nullopt;
    print["weight"] = *weight;
    print["classified"] = *classified;
    return print;
}

// A working database with other data than the one of the fixture.
void MakeDatabase(const std::string& path, int covers, int moves) {
    CDataStore::CreateEmptyDatabase(path);
    RecordingMessages messages;
    CDataStore store(messages);
    store.SetDatabasePath(path);
    if (!store.OpenDatabase())
        throw std::runtime_error("cannot open " + path);
    Seed(store, covers, moves);
}

// Records the end of the process instead of ending the test run.
class ExitRecorder {
public:
    ExitRecorder() {
        m_previous = SetExitHook([this](int code) { codes.push_back(code); });
    }
    ~ExitRecorder() { SetExitHook(std::move(m_previous)); }
    ExitRecorder(const ExitRecorder&) = delete;
    ExitRecorder& operator=(const ExitRecorder&) = delete;

    std::vector<int> codes;

private:
    ExitHook m_previous;
};

// The real files, except that the n-th change (counted from 1) fails the way
// a full or failing disk makes it fail: a copy leaves half a file behind.
class FaultyFiles final : public IFileSystem {
public:
    explicit FaultyFiles(int failAt) : m_failAt(failAt) {}

    int Changes() const { return m_changes; }

    bool IsFile(const std::string& path) override { return m_real.IsFile(path); }
    std::error_code CreateDirectories(const std::string& path) override {
        return Fails() ? Failure() : m_real.CreateDirectories(path);
    }
    std::error_code CopyFile(const std::string& from, const std::string& to) override {
        if (!Fails())
            return m_real.CopyFile(from, to);
        const std::string bytes = ReadFile(from);
        WriteFile(to, bytes.substr(0, bytes.size() / 2));
        return Failure();
    }
    std::error_code Rename(const std::string& from, const std::string& to) override {
        return Fails() ? Failure() : m_real.Rename(from, to);
    }
    std::error_code Remove(const std::string& path) override {
        return Fails() ? Failure() : m_real.Remove(path);
    }
    std::error_code SyncFile(const std::string& path) override {
        return Fails() ? Failure() : m_real.SyncFile(path);
    }

private:
    bool Fails() { return ++m_changes == m_failAt; }
    static std::error_code Failure() { return std::make_error_code(std::errc::io_error); }

    IFileSystem& m_real = RealFileSystem();
    int m_failAt;
    int m_changes = 0;
};

// A working database with data, in its own data folder, with recorded
// messages, notifications and process exits.
struct Env {
    Env() {
        Seed(db.store, 60, 25);
        original = *ReadFingerprint(db.DatabasePath());
    }

    bool Shown(const std::string& text) const {
        for (const ShownMessage& m : db.messages.shown) {
            if (m.text == text)
                return true;
        }
        return false;
    }
    bool ShownStartingWith(const std::string& start) const {
        for (const ShownMessage& m : db.messages.shown) {
            if (m.text.rfind(start, 0) == 0)
                return true;
        }
        return false;
    }

    TestDatabase db;
    DataFolder data{db.folder.Folder()};
    RecordingNotifier views;
    ExitRecorder exits;
    Fingerprint original;

    // Set by the fault cases.
    std::string target;
    std::optional<std::string> targetBefore;
    Fingerprint before;
    Fingerprint success;
    std::string workingBefore;
};

class Backup : public ::testing::Test, public Env {};

// --- the dialog -----------------------------------------------------------

TEST_F(Backup, DialogProposesTodaysBackupAndThenTheLastOne) {
    EXPECT_EQ(DefaultBackupPath(data, 2012, 12, 6), data.folder + "Zalohy/Zaloha20121206.mdb");
    EXPECT_EQ(DefaultBackupPath(data, 2013, 1, 31), data.folder + "Zalohy/Zaloha20130131.mdb");

    const BackupDialogSetup backup = SetupBackupDialog(BackupMode::Backup, data);
    EXPECT_EQ(backup.title, "Záloha dat");
    EXPECT_EQ(backup.label, "Zálohovat do souboru:");
    EXPECT_EQ(backup.actionText, "Vytvořit zálohu");
    EXPECT_EQ(backup.initialPath, DefaultBackupPath(data));
    EXPECT_TRUE(backup.saveDialog);

    BackupDialogSetup restore = SetupBackupDialog(BackupMode::Restore, data);
    EXPECT_EQ(restore.label, "Obnovit ze souboru:");
    EXPECT_EQ(restore.actionText, "Obnovit zálohu");
    EXPECT_EQ(restore.initialPath, "");
    EXPECT_FALSE(restore.saveDialog);

    // The first backup makes the folder Zalohy.
    const std::string path = backup.initialPath;
    ASSERT_FALSE(fs::exists(data.folder + "Zalohy"));
    ASSERT_TRUE(
        RunBackupAction(BackupMode::Backup, "  " + path + " ", db.store, data, db.messages, views));
    EXPECT_EQ(
        db.messages.shown.back(),
        (ShownMessage{"Záloha '" + path + "' byla úspěšně vytvořena!", MsgIcon::Information}));
    EXPECT_EQ(ReadFingerprint(path), original);
    EXPECT_EQ(SetupBackupDialog(BackupMode::Restore, data).initialPath, path);
    EXPECT_EQ(LastBackupPath(data), path);
}

TEST(BackupDialog, BrowseOffersTheFileNamePart) {
    const std::pair<const char*, const char*> cases[] = {
        {"/data/Zalohy/Zaloha20121206.mdb", "Zaloha20121206.mdb"},
        {"/data/Zalohy/Zaloha.mdb  ", "Zaloha.mdb"},
        {"/data/Zalohy/ /", "Zalohy"},
        {"/Zaloha.mdb", ""},
        {"Zaloha.mdb", ""},
        {"", ""},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(BrowseFileName(text), expected) << text;
}

// --- backup ---------------------------------------------------------------

TEST_F(Backup, CopyMakesMissingFoldersAndOpensAsTheSameDatabase) {
    const std::string path = db.folder.File("a/b/c/kopie.mdb");
    ASSERT_TRUE(BackupDatabase(db.store, data, path, db.messages, views));
    EXPECT_TRUE(db.messages.shown.empty());
    EXPECT_EQ(views.sent, std::vector<ViewNotification>{ViewNotification::Refresh});
    EXPECT_TRUE(db.store.IsOpen());
    EXPECT_EQ(ReadFingerprint(path), original);
    for (const char* leftover : {"-journal", "-wal", "-shm", ".tmp"})
        EXPECT_FALSE(fs::exists(path + leftover)) << leftover;
    // The reopened connection works.
    rows::Cover(db.store, {.name = "po záloze"});
    EXPECT_EQ(db.Count("Cover"), original["Cover"] + 1);
}

TEST_F(Backup, NoToOverwriteLeavesEverythingAsItWas) {
    const std::string path = db.folder.File("stara.mdb");
    WriteFile(path, "stará záloha");
    db.messages.yesNoAnswers = {false};
    EXPECT_FALSE(RunBackupAction(BackupMode::Backup, path, db.store, data, db.messages, views));
    EXPECT_EQ(db.messages.shown, Only("Soubor '" + path + "' již existuje. Přejete si ho přepsat?",
                                      MsgIcon::Question));
    EXPECT_EQ(ReadFile(path), "stará záloha");
    EXPECT_TRUE(db.store.IsOpen());
    EXPECT_TRUE(views.sent.empty());
    EXPECT_EQ(LastBackupPath(data), "");

    db.messages.yesNoAnswers = {true};
    EXPECT_TRUE(BackupDatabase(db.store, data, path, db.messages, views));
    EXPECT_EQ(ReadFingerprint(path), original);
}

TEST_F(Backup, UnfinishedUnitOfWorkKeepsTheConnection) {
    Transaction unit(db.store);
    rows::Cover(db.store, {.name = "rozepsané"});
    const std::string path = db.folder.File("kopie.mdb");
    EXPECT_FALSE(BackupDatabase(db.store, data, path, db.messages, views));
    EXPECT_FALSE(RestoreDatabase(db.store, data, db.DatabasePath(), db.messages, views));
    EXPECT_EQ(db.messages.Texts(), (std::vector<std::string>{CannotClose, CannotClose}));
    EXPECT_FALSE(CompactWorkingDatabase(db.store, data));
    EXPECT_TRUE(db.store.IsOpen());
    EXPECT_FALSE(fs::exists(path));
    unit.Commit();
    EXPECT_EQ(db.Count("Cover"), original["Cover"] + 1);
}

TEST_F(Backup, DatabaseThatCannotBeReopenedEndsTheProgram) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows renames no database that is open";
#else
    // The working file vanishes while the connection is open.
    const std::string path = db.folder.File("kopie.mdb");
    fs::rename(db.DatabasePath(), db.folder.File("jinde.mdb"));
    EXPECT_FALSE(BackupDatabase(db.store, data, path, db.messages, views));
    EXPECT_TRUE(Shown(BackupExit));
    EXPECT_EQ(exits.codes, std::vector<int>{1});
    EXPECT_TRUE(views.sent.empty());
#endif
}

// --- restore --------------------------------------------------------------

TEST_F(Backup, RestoreBringsTheBackupsDataAndKeepsThePreviousOnes) {
    const std::string path = db.folder.File("zaloha.mdb");
    MakeDatabase(path, 7, 3);
    const Fingerprint restored = *ReadFingerprint(path);
    // The question names the day the backup was written; No changes nothing.
    fs::last_write_time(
        path, std::chrono::file_clock::from_sys(
                  std::chrono::sys_seconds{std::chrono::sys_days{std::chrono::year{2024} / 3 / 9}} +
                  std::chrono::hours{12}));
    const std::vector<ShownMessage> question{
        {"Obnovením nahradíte všechna současná data stavem ze zálohy z 09.03.2024. Pokračovat?",
         MsgIcon::Question}};
    EXPECT_FALSE(RunBackupAction(BackupMode::Restore, path, db.store, data, db.messages, views));
    EXPECT_EQ(db.messages.shown, question);
    EXPECT_TRUE(views.sent.empty());
    EXPECT_EQ(ReadFingerprint(db.DatabasePath()), original);

    db.messages.shown.clear();
    db.messages.yesNoAnswers = {true};
    ASSERT_TRUE(RunBackupAction(BackupMode::Restore, path, db.store, data, db.messages, views));
    EXPECT_EQ(db.messages.Texts(),
              (std::vector<std::string>{question[0].text,
                                        "Data ze zálohy '" + path + "' byla obnovena!"}));
    EXPECT_EQ(views.sent, std::vector<ViewNotification>{ViewNotification::Refresh});
    EXPECT_EQ(db.Count("Cover"), 7);
    EXPECT_EQ(ReadFingerprint(db.DatabasePath()), restored);
    EXPECT_EQ(ReadFingerprint(data.TempDatabasePath()), original);
    EXPECT_FALSE(fs::exists(data.folder + "TarvoNew.MDB"));

    // Going back to the previous data from the temporary copy works too.
    ASSERT_TRUE(RestoreDatabase(db.store, data, data.TempDatabasePath(), db.messages, views));
    EXPECT_EQ(ReadFingerprint(db.DatabasePath()), original);
}

TEST_F(Backup, RestoreOfTheMissingFileDoesNothing) {
    for (const std::string& path : {db.folder.File("neni.mdb"), db.folder.Folder()}) {
        db.messages.shown.clear();
        EXPECT_FALSE(RestoreDatabase(db.store, data, path, db.messages, views));
        EXPECT_EQ(db.messages.shown,
                  Only("Nemohu nalézt soubor '" + path + "'!", MsgIcon::Exclamation));
        EXPECT_TRUE(db.store.IsOpen());
    }
    EXPECT_FALSE(fs::exists(data.TempDatabasePath()));
}

TEST_F(Backup, RestoreFromWhatIsNoTarvoDatabaseKeepsTheData) {
    const std::string good = db.folder.File("dobra.mdb");
    MakeDatabase(good, 3000, 10);
    const std::string goodBytes = ReadFile(good);

    struct Source {
        const char* name;
        std::function<void(const std::string& path)> make;
    };
    const Source sources[] = {
        {"text", [](const std::string& p) { WriteFile(p, "Toto není databáze.\n"); }},
        {"foreign",
         [](const std::string& p) {
             sqlite3* other = nullptr;
             sqlite3_open(p.c_str(), &other);
             Exec(other, "CREATE TABLE Faktura (id INTEGER); INSERT INTO Faktura VALUES (1)");
             sqlite3_close(other);
         }},
        {"truncated", [&](const std::string& p) { WriteFile(p, goodBytes.substr(0, 200000)); }},
        {"damaged",
         [&](const std::string& p) {
             std::string bytes = goodBytes;
             bytes.replace(bytes.size() / 2, 4096, std::string(4096, '\xA5'));
             WriteFile(p, bytes);
         }},
    };
    ASSERT_GT(goodBytes.size(), 400000u);
    for (const Source& source : sources) {
        SCOPED_TRACE(source.name);
        const std::string path = db.folder.File(std::string(source.name) + ".mdb");
        source.make(path);
        db.messages.shown.clear();
        db.messages.yesNoAnswers = {true};
        views.sent.clear();

        EXPECT_FALSE(
            RunBackupAction(BackupMode::Restore, path, db.store, data, db.messages, views));
        // One clear message after the question, and no success message.
        db.messages.shown.erase(db.messages.shown.begin());
        EXPECT_EQ(db.messages.shown, Only("Soubor '" + path +
                                              "' není použitelnou zálohou dat, obnovení se "
                                              "nezdařilo. Data zůstala beze změny.",
                                          MsgIcon::Exclamation));
        EXPECT_TRUE(exits.codes.empty());
        EXPECT_TRUE(db.store.IsOpen());
        EXPECT_EQ(views.sent, std::vector<ViewNotification>{ViewNotification::Refresh});
        EXPECT_EQ(ReadFingerprint(db.DatabasePath()), original);
        EXPECT_FALSE(fs::exists(data.folder + "TarvoNew.MDB"));
    }
}

TEST_F(Backup, RestoreIgnoresJournalsOfTheOldFile) {
    const std::string path = db.folder.File("zaloha.mdb");
    MakeDatabase(path, 5, 2);
    const Fingerprint restored = *ReadFingerprint(path);

    // A unit of work on a copy of the working file, interrupted after the
    // engine wrote into the file: its journal would roll any file with that
    // name back to the old pages.
    const std::string scratch = db.folder.File("scratch.mdb");
    fs::copy_file(db.DatabasePath(), scratch);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(scratch.c_str(), &other), SQLITE_OK);
    Exec(other, "PRAGMA cache_size = 1");
    Exec(other, "BEGIN");
    Exec(other, "UPDATE Cover SET cover_note = hex(randomblob(300))");
    const std::string journal = ReadFile(scratch + "-journal");
    Exec(other, "ROLLBACK");
    sqlite3_close(other);
    ASSERT_FALSE(journal.empty());
    WriteFile(db.DatabasePath() + "-journal", journal);
    WriteFile(db.DatabasePath() + "-wal", std::string(5000, 'w'));
    WriteFile(db.DatabasePath() + "-shm", std::string(5000, 's'));

    ASSERT_TRUE(RestoreDatabase(db.store, data, path, db.messages, views));
    db.store.CloseDatabase();
    EXPECT_EQ(ReadFingerprint(db.DatabasePath()), restored);
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        EXPECT_FALSE(fs::exists(db.DatabasePath() + suffix)) << suffix;
}

// --- compaction -----------------------------------------------------------

TEST_F(Backup, CompactionShrinksTheFileAndKeepsEveryRow) {
    Seed(db.store, 4000, 500);
    const std::string working = db.DatabasePath();
    const Fingerprint full = *ReadFingerprint(working);

    // A healthy file keeps every row of every table.
    ASSERT_TRUE(CompactWorkingDatabase(db.store, data));
    EXPECT_FALSE(db.store.IsOpen());
    EXPECT_EQ(ReadFingerprint(working), full);

    ASSERT_TRUE(db.store.OpenDatabase());
    db.Run("DELETE FROM Cover WHERE cover_id > 100");
    db.Run("DELETE FROM Move_Cover WHERE move_id > 10");
    const Fingerprint kept = *ReadFingerprint(working);
    const auto size = fs::file_size(working);
    ASSERT_TRUE(CompactWorkingDatabase(db.store, data));
    EXPECT_LT(fs::file_size(working), size / 2);
    EXPECT_EQ(ReadFingerprint(working), kept);
    for (const char* name : {"TarvoTmp.MDB", "TarvoOld.MDB", "Tarvo.mdb-journal"})
        EXPECT_FALSE(fs::exists(data.folder + name)) << name;
    EXPECT_TRUE(db.messages.shown.empty());
}

TEST_F(Backup, CompactionLeavesABrokenOrMissingFileAlone) {
    // After a failed restore the temporary copy may hold the only good data.
    db.store.CloseDatabase();
    fs::copy_file(db.DatabasePath(), data.TempDatabasePath());
    WriteFile(db.DatabasePath(), "poškozený soubor");
    EXPECT_FALSE(CompactWorkingDatabase(db.store, data));
    EXPECT_EQ(ReadFile(db.DatabasePath()), "poškozený soubor");
    EXPECT_EQ(ReadFingerprint(data.TempDatabasePath()), original);

    fs::remove(db.DatabasePath());
    EXPECT_FALSE(CompactWorkingDatabase(db.store, data));
    EXPECT_FALSE(fs::exists(db.DatabasePath()));
    EXPECT_EQ(ReadFingerprint(data.TempDatabasePath()), original);
    EXPECT_TRUE(db.messages.shown.empty());
}

// --- every file operation failing in turn ---------------------------------

struct FaultCase {
    const char* name;
    bool succeeds; // without faults
    bool mayEnd;   // some failure leaves neither database openable
    // Prepares the folder and says what the data are before and after.
    std::function<void(Env& env)> prepare;
    std::function<bool(Env& env, IFileSystem& files)> run;
};

void SetTarget(Env& env, const std::string& path) {
    env.target = path;
    if (fs::exists(path))
        env.targetBefore = ReadFile(path);
}

bool RunDialog(BackupMode mode, Env& env, IFileSystem& files) {
    return RunBackupAction(mode, env.target, env.db.store, env.data, env.db.messages, env.views,
                           files);
}

const FaultCase FaultCases[] = {
    {"backup to a new folder", true, false,
     [](Env& env) {
         SetTarget(env, env.db.folder.File("Zalohy/nova.mdb"));
         env.before = env.success = env.original;
     },
     [](Env& env, IFileSystem& files) { return RunDialog(BackupMode::Backup, env, files); }},
    {"backup over an older backup", true, false,
     [](Env& env) {
         MakeDatabase(env.db.folder.File("stara.mdb"), 4, 1);
         SetTarget(env, env.db.folder.File("stara.mdb"));
         env.db.messages.yesNoAnswers = {true};
         env.before = env.success = env.original;
     },
     [](Env& env, IFileSystem& files) { return RunDialog(BackupMode::Backup, env, files); }},
    {"restore of a good backup", true, false,
     [](Env& env) {
         MakeDatabase(env.db.folder.File("zaloha.mdb"), 9, 4);
         SetTarget(env, env.db.folder.File("zaloha.mdb"));
         env.db.messages.yesNoAnswers = {true};
         env.before = env.original;
         env.success = *ReadFingerprint(env.target);
     },
     [](Env& env, IFileSystem& files) { return RunDialog(BackupMode::Restore, env, files); }},
    {"restore of a file that is no database", false, true,
     [](Env& env) {
         WriteFile(env.db.folder.File("nesmysl.mdb"), std::string(100000, 'x'));
         SetTarget(env, env.db.folder.File("nesmysl.mdb"));
         env.db.messages.yesNoAnswers = {true};
         env.before = env.original;
     },
     [](Env& env, IFileSystem& files) { return RunDialog(BackupMode::Restore, env, files); }},
    {"compaction", true, false,
     [](Env& env) {
         env.db.Run("DELETE FROM Cover WHERE cover_id > 10");
         env.db.store.CloseDatabase();
         env.workingBefore = ReadFile(env.db.DatabasePath());
         env.before = env.success = *ReadFingerprint(env.db.DatabasePath());
     },
     [](Env& env, IFileSystem& files) {
         return CompactWorkingDatabase(env.db.store, env.data, files);
     }},
};

// Whatever single file operation fails, the working database opens with all
// its rows (the old ones, or the new ones on success), or the program ends
// with the rows safe in the temporary copy. A failure never shows a success
// message, and an older backup of the same name survives a failed backup.
TEST(BackupFaultInjection, EveryFailingFileOperationKeepsTheData) {
    for (const FaultCase& c : FaultCases) {
        int changes = 0;
        {
            Env env;
            c.prepare(env);
            FaultyFiles files(0);
            EXPECT_EQ(c.run(env, files), c.succeeds) << c.name;
            changes = files.Changes();
        }
        ASSERT_GT(changes, 2) << c.name;

        const bool compaction = std::string(c.name) == "compaction";
        const bool backup = std::string(c.name).rfind("backup", 0) == 0;
        int ends = 0;
        for (int failAt = 1; failAt <= changes; ++failAt) {
            SCOPED_TRACE(std::string(c.name) + ", change " + std::to_string(failAt) + " fails");
            Env env;
            c.prepare(env);
            FaultyFiles files(failAt);
            const bool result = c.run(env, files);
            EXPECT_TRUE(c.succeeds || !result);

            if (!env.exits.codes.empty()) {
                ++ends;
                EXPECT_EQ(env.exits.codes, std::vector<int>{1});
                EXPECT_FALSE(result);
                EXPECT_TRUE(env.Shown(BackupExit) || env.Shown(RestoreExit));
                EXPECT_EQ(ReadFingerprint(env.data.TempDatabasePath()), env.before);
                continue;
            }
            EXPECT_EQ(ReadFingerprint(env.db.DatabasePath()), result ? env.success : env.before);
            EXPECT_EQ(env.db.store.IsOpen(), !compaction);
            EXPECT_FALSE(fs::exists(env.data.folder + "TarvoNew.MDB"));
            if (!compaction) {
                EXPECT_EQ(env.ShownStartingWith("Došlo k chybě č."), !result);
            }
            EXPECT_FALSE(!result && env.ShownStartingWith("Záloha '"));
            EXPECT_FALSE(!result && env.ShownStartingWith("Data ze zálohy"));
            if (compaction && !result) {
                EXPECT_TRUE(ReadFile(env.db.DatabasePath()) == env.workingBefore);
            }
            if (backup && result) {
                EXPECT_EQ(ReadFingerprint(env.target), env.before);
            }
            if (backup && !result && env.targetBefore) {
                EXPECT_TRUE(ReadFile(env.target) == *env.targetBefore);
            }
            if (backup) {
                EXPECT_FALSE(fs::exists(env.target + ".tmp"));
            }
        }
        // Only a failure while the previous data come back ends the program.
        EXPECT_EQ(ends > 0, c.mayEnd) << c.name;
    }
}

int RunCli(const TempFolder& base, const std::string& args) {
    const char* cli = std::getenv("TARVO_CLI");
    return test::RunShell(Format("'%s' --data-dir '%s' %s >'%s' 2>'%s'", cli,
                                 base.File("data").c_str(), args.c_str(), base.File("out").c_str(),
                                 base.File("err").c_str()));
}

TEST(BackupCli, BackupRestoreAndCompactReportFailuresInCzech) {
    if (!std::getenv("TARVO_CLI"))
        GTEST_SKIP() << "TARVO_CLI is set by CTest";
    TempFolder base;
    const DataFolder data{base.Folder() + "data/"};
    ASSERT_EQ(RunCli(base, "init"), 0);

    // The default file, then No to overwriting it (no terminal to ask).
    ASSERT_EQ(RunCli(base, "backup"), 0);
    const std::string path = DefaultBackupPath(data);
    EXPECT_EQ(ReadFile(base.File("out")), path + "\n");
    EXPECT_EQ(ReadFile(base.File("err")), "Záloha '" + path + "' byla úspěšně vytvořena!\n");
    EXPECT_EQ(LastBackupPath(data), path);
    EXPECT_EQ(RunCli(base, "backup"), 1);
    EXPECT_EQ(RunCli(base, "backup --yes"), 0);

    const std::string junk = base.File("junk.mdb");
    WriteFile(junk, "nic");
    EXPECT_EQ(RunCli(base, "restore '" + junk + "' --yes"), 1);
    EXPECT_EQ(ReadFile(base.File("err")), "Obnovením nahradíte všechna současná data stavem ze "
                                          "zálohy z " +
                                              OleDate::Today().ToText() +
                                              ". Pokračovat?\nSoubor '" + junk +
                                              "' není použitelnou zálohou dat, obnovení se "
                                              "nezdařilo. Data zůstala beze změny.\n");
    EXPECT_EQ(RunCli(base, "restore '" + base.File("neni.mdb") + "'"), 1);
    EXPECT_EQ(ReadFile(base.File("err")),
              "Nemohu nalézt soubor '" + base.File("neni.mdb") + "'!\n");
    EXPECT_EQ(RunCli(base, "restore"), 2);
    // Without --yes and without a terminal to ask, the data stay.
    EXPECT_EQ(RunCli(base, "restore '" + path + "'"), 1);
    EXPECT_EQ(RunCli(base, "restore '" + path + "' --yes"), 0);
    EXPECT_TRUE(
        ReadFile(base.File("err")).ends_with("Data ze zálohy '" + path + "' byla obnovena!\n"));

    EXPECT_EQ(RunCli(base, "compact"), 0);
    EXPECT_EQ(ReadFingerprint(data.DatabasePath()), ReadFingerprint(path));
    WriteFile(data.DatabasePath(), "poškozeno");
    EXPECT_NE(RunCli(base, "compact"), 0);
    EXPECT_FALSE(ReadFile(base.File("err")).empty());
    EXPECT_EQ(ReadFile(data.DatabasePath()), "poškozeno");
}

} // namespace
} // namespace tarvo::test
