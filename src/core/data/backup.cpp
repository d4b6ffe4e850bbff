#include "core/data/backup.h"

#include "core/data/cdatastore.h"
#include "core/data/oledate.h"
#include "core/data/paths.h"
#include "core/data/platform.h"
#include "core/data/profile.h"
#include "core/data/shared.h"
#include "core/ports/messageport.h"
#include "core/ports/notifyport.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <sqlite3.h>

namespace tarvo {

namespace {

constexpr const char* SettingsSection = "Zalohovani";
constexpr const char* SettingsKey = "Posledni zaloha";

class RealFiles final : public IFileSystem {
public:
    bool IsFile(const std::string& path) override {
        std::error_code ec;
        return !path.empty() && std::filesystem::is_regular_file(PathOf(path), ec);
    }

    std::error_code CreateDirectories(const std::string& path) override {
        std::error_code ec;
        std::filesystem::create_directories(PathOf(path), ec);
        return ec;
    }

    std::error_code CopyFile(const std::string& from, const std::string& to) override {
        return platform::CopyFileDurably(from, to);
    }

    std::error_code Rename(const std::string& from, const std::string& to) override {
        return platform::RenameDurably(from, to);
    }

    std::error_code Remove(const std::string& path) override { return platform::RemoveFile(path); }

    std::error_code SyncFile(const std::string& path) override { return platform::SyncFile(path); }
};

ExitHook& CurrentExitHook() {
    static ExitHook hook;
    return hook;
}

// Swallows the messages of a connection the user need not hear about.
class SilentMessages final : public IMessagePort {
public:
    void ShowMessage(const std::string&, MsgIcon) override {}
    bool AskYesNo(const std::string&, MsgIcon) override { return false; }
    OverwriteAnswer AskOverwrite(const std::string&) override { return OverwriteAnswer::No; }
};

std::string TrimPathEnd(std::string path) {
    while (!path.empty() &&
           (path.back() == ' ' || path.back() == '\t' ||
            std::string_view(PathSeparators).find(path.back()) != std::string_view::npos))
        path.pop_back();
    return path;
}

// The folder part of a path: up to its last separator, when that stands after
// the first character and before the end.
std::string FolderPart(const std::string& path) {
    const size_t slash = path.find_last_of(PathSeparators);
    if (slash == std::string::npos || slash == 0 || slash + 1 >= path.size())
        return {};
    return path.substr(0, slash);
}

// The file that is about to get new contents takes them through a copy beside
// it and a rename, so that it is either the old file or the whole new one.
std::error_code ReplaceByCopy(IFileSystem& files, const std::string& from, const std::string& to,
                              const std::string& staging) {
    std::error_code ec = files.CopyFile(from, staging);
    if (!ec)
        ec = files.Rename(staging, to);
    if (ec)
        files.Remove(staging);
    return ec;
}

// A journal left beside the working database would be played back into the
// file that takes its place, so the journals go before a new file comes.
std::error_code RemoveJournals(IFileSystem& files, const std::string& database) {
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        if (std::error_code ec = files.Remove(database + suffix))
            return ec;
    }
    return {};
}

// Closes the connection so that the file on the disk holds every committed
// change and nothing else. A unit of work still open would leave the file
// half-written; then the connection is not closed.
bool CloseForCopy(CDataStore& store) {
    if (store.IsOpen() && !sqlite3_get_autocommit(store.Handle()))
        return false;
    return store.CloseDatabase();
}

bool CloseOrSay(CDataStore& store, IMessagePort& messages) {
    if (CloseForCopy(store))
        return true;
    messages.ShowMessage("Nepodařilo se vytvoři uzavřít právě používanou databázi!",
                         MsgIcon::Exclamation);
    return false;
}

// True when the file opens as a Tarvo database and every page of it can be
// read: a backup cut short may pass the check of the tables but not this one.
// Nothing is shown; the caller tells the user what it means.
bool IsUsableDatabase(const std::string& path) {
    SilentMessages silent;
    CDataStore probe(silent);
    probe.SetDatabasePath(path);
    if (!probe.OpenDatabase())
        return false;
    sqlite3_stmt* stmt = nullptr;
    bool intact = false;
    if (sqlite3_prepare_v2(probe.Handle(), "PRAGMA quick_check(1)", -1, &stmt, nullptr) ==
            SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(stmt, 0);
        intact = text && std::string_view(reinterpret_cast<const char*>(text)) == "ok";
    }
    sqlite3_finalize(stmt);
    return intact;
}

constexpr const char* BackupFailed = "Během zálohování došlo k chybě. Program bude ukončen!";
constexpr const char* RestoreFailed =
    "Během obnovování zálohy došlo k chybě. Program bude ukončen!";

// The program cannot go on without its database.
void End(IMessagePort& messages, const char* why) {
    messages.ShowMessage(why, MsgIcon::Exclamation);
    EndProcess(1);
}

// Opens the connection again after the file was copied and has every view
// reload; when the database does not open, the program ends.
bool Reopen(CDataStore& store, IMessagePort& messages, IViewNotifier& views, const char* why) {
    if (!store.OpenDatabase()) {
        End(messages, why);
        return false;
    }
    views.NotifyAllViews(ViewNotification::Refresh);
    return true;
}

std::string StagingPath(const DataFolder& data) {
    return data.folder + "TarvoNew.MDB";
}
std::string AsidePath(const DataFolder& data) {
    return data.folder + "TarvoOld.MDB";
}

// The day the backup was written ("dd.mm.yyyy", local time); empty when the
// file's time cannot be read.
std::string BackupDate(const std::string& path) {
    std::error_code ec;
    const auto written = std::filesystem::last_write_time(PathOf(path), ec);
    if (ec)
        return {};
    const std::time_t time =
        std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(written));
    const std::tm local = platform::LocalTime(time);
    return OleDate::FromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday).ToText();
}

} // namespace

IFileSystem& RealFileSystem() {
    static RealFiles files;
    return files;
}

ExitHook SetExitHook(ExitHook hook) {
    ExitHook previous = std::move(CurrentExitHook());
    CurrentExitHook() = std::move(hook);
    return previous;
}

void EndProcess(int exitCode) {
    if (const ExitHook& hook = CurrentExitHook()) {
        hook(exitCode);
        return;
    }
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

bool BackupDatabase(CDataStore& store, const DataFolder& data, const std::string& path,
                    IMessagePort& messages, IViewNotifier& views, IFileSystem& files) {
    if (path.empty()) {
        ShowSysError(messages, std::make_error_code(std::errc::no_such_file_or_directory));
        return false;
    }
    if (files.IsFile(path) &&
        !messages.AskYesNo(Format("Soubor '%s' již existuje. Přejete si ho přepsat?", path.c_str()),
                           MsgIcon::Question))
        return false;
    // A folder that cannot be made shows up as the failure of the copy.
    if (const std::string folder = FolderPart(path); !folder.empty())
        files.CreateDirectories(folder);
    if (!CloseOrSay(store, messages))
        return false;

    // Through a copy beside the target: a copy that fails half-way leaves an
    // older backup of the same name as it was.
    const std::error_code ec = ReplaceByCopy(files, data.DatabasePath(), path, path + ".tmp");
    if (ec)
        ShowSysError(messages, ec);

    return Reopen(store, messages, views, BackupFailed) && !ec;
}

bool RestoreDatabase(CDataStore& store, const DataFolder& data, const std::string& path,
                     IMessagePort& messages, IViewNotifier& views, IFileSystem& files) {
    if (!files.IsFile(path)) {
        messages.ShowMessage(Format("Nemohu nalézt soubor '%s'!", path.c_str()),
                             MsgIcon::Exclamation);
        return false;
    }
    if (!CloseOrSay(store, messages))
        return false;

    const std::string working = data.DatabasePath();
    const std::string temp = data.TempDatabasePath();
    const std::string staging = StagingPath(data);

    // The backup is read first, before TarvoTmp.MDB is written: a restore
    // from TarvoTmp.MDB itself (or from the working file) stays possible. The
    // working file is replaced only by a rename, never by a copy cut short,
    // and only when the previous data are safe in TarvoTmp.MDB.
    std::error_code ec = files.CopyFile(path, staging);
    if (!ec)
        ec = files.CopyFile(working, temp);
    if (!ec)
        ec = RemoveJournals(files, working);
    if (!ec)
        ec = files.Rename(staging, working);
    if (ec) {
        // The working file is as it was.
        files.Remove(staging);
        ShowSysError(messages, ec);
        Reopen(store, messages, views, RestoreFailed);
        return false;
    }
    if (IsUsableDatabase(working) && store.OpenDatabase()) {
        views.NotifyAllViews(ViewNotification::Refresh);
        return true;
    }

    // The new file is no usable Tarvo database: the previous one comes back
    // from the temporary copy.
    ec = RemoveJournals(files, working);
    if (!ec)
        ec = ReplaceByCopy(files, temp, working, staging);
    if (ec) {
        End(messages, RestoreFailed);
        return false;
    }
    if (Reopen(store, messages, views, RestoreFailed))
        messages.ShowMessage(
            Format("Soubor '%s' není použitelnou zálohou dat, obnovení se nezdařilo. "
                   "Data zůstala beze změny.",
                   path.c_str()),
            MsgIcon::Exclamation);
    return false;
}

bool CompactWorkingDatabase(CDataStore& store, const DataFolder& data, IFileSystem& files) {
    if (!CloseForCopy(store))
        return false;
    const std::string working = data.DatabasePath();
    const std::string temp = data.TempDatabasePath();
    const std::string aside = AsidePath(data);
    if (!files.IsFile(working))
        return false;

    {
        // A working file that does not open as a Tarvo database is left as it
        // is, and so is TarvoTmp.MDB: after a failed restore it may hold the
        // last good data.
        SilentMessages silent;
        CDataStore source(silent);
        source.SetDatabasePath(working);
        if (!source.OpenDatabase())
            return false;
        if (files.Remove(temp))
            return false;
        const std::string sql = "VACUUM INTO " + SqlQuote(temp);
        if (sqlite3_exec(source.Handle(), sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            source.CloseDatabase();
            files.Remove(temp);
            return false;
        }
    }
    // The engine does not flush the copy; it must be on the disk before the
    // old file goes.
    if (files.SyncFile(temp) || RemoveJournals(files, working)) {
        files.Remove(temp);
        return false;
    }

    // The old file steps aside before the compacted one takes its name, and
    // goes only when the new one is in place.
    if (files.Rename(working, aside)) {
        files.Remove(temp);
        return false;
    }
    if (files.Rename(temp, working)) {
        if (files.Rename(aside, working))
            files.CopyFile(aside, working);
        return false;
    }
    files.Remove(aside);
    return true;
}

BackupDialogSetup SetupBackupDialog(BackupMode mode, const DataFolder& data) {
    BackupDialogSetup setup;
    setup.title = "Záloha dat";
    setup.defaultExtension = "mdb";
    setup.fileFilter = "Záloha dat (*.mdb)";
    if (mode == BackupMode::Backup) {
        setup.label = "Zálohovat do souboru:";
        setup.actionText = "Vytvořit zálohu";
        setup.initialPath = DefaultBackupPath(data);
        setup.saveDialog = true;
    } else {
        setup.label = "Obnovit ze souboru:";
        setup.actionText = "Obnovit zálohu";
        setup.initialPath = LastBackupPath(data);
        setup.saveDialog = false;
    }
    return setup;
}

std::string DefaultBackupPath(const DataFolder& data, int year, int month, int day) {
    return Format("%sZalohy/Zaloha%04i%02i%02i.mdb", data.folder.c_str(), year, month, day);
}

std::string DefaultBackupPath(const DataFolder& data) {
    const std::time_t now = std::time(nullptr);
    const std::tm local = platform::LocalTime(now);
    return DefaultBackupPath(data, local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::string LastBackupPath(const DataFolder& data) {
    return Profile(data.SettingsPath()).GetString(SettingsSection, SettingsKey, "", 1000);
}

std::string BrowseFileName(const std::string& pathText) {
    const std::string path = TrimPathEnd(pathText);
    const size_t slash = path.find_last_of(PathSeparators);
    if (slash == std::string::npos || slash == 0)
        return {};
    return path.substr(slash + 1);
}

bool RunBackupAction(BackupMode mode, const std::string& pathText, CDataStore& store,
                     const DataFolder& data, IMessagePort& messages, IViewNotifier& views,
                     IFileSystem& files) {
    const std::string path = Trim(pathText);
    if (mode == BackupMode::Backup) {
        if (!BackupDatabase(store, data, path, messages, views, files))
            return false;
        Profile(data.SettingsPath()).WriteString(SettingsSection, SettingsKey, path);
        messages.ShowMessage(Format("Záloha '%s' byla úspěšně vytvořena!", path.c_str()),
                             MsgIcon::Information);
        return true;
    }
    // A missing file is told by the restore itself; the question is only
    // worth asking about a backup that is there.
    if (files.IsFile(path) &&
        !messages.AskYesNoDefaultNo(
            Format("Obnovením nahradíte všechna současná data stavem ze zálohy z %s. Pokračovat?",
                   BackupDate(path).c_str())))
        return false;
    if (!RestoreDatabase(store, data, path, messages, views, files))
        return false;
    messages.ShowMessage(Format("Data ze zálohy '%s' byla obnovena!", path.c_str()),
                         MsgIcon::Information);
    return true;
}

} // namespace tarvo
