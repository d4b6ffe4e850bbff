#pragma once

#include "core/data/datafolder.h"

#include <functional>
#include <string>
#include <system_error>

namespace tarvo {

class CDataStore;
class IMessagePort;
class IViewNotifier;

// The file operations of backup, restore and compaction. They go through this
// interface so that a test can make any one of them fail and check that the
// working database survives it.
class IFileSystem {
public:
    virtual ~IFileSystem() = default;

    // True when a regular file (not a folder) exists at path.
    virtual bool IsFile(const std::string& path) = 0;
    // Creates the folder with every missing parent.
    virtual std::error_code CreateDirectories(const std::string& path) = 0;
    // Copies a file, replacing the target; the target is flushed to the disk.
    virtual std::error_code CopyFile(const std::string& from, const std::string& to) = 0;
    // Renames a file, atomically replacing an existing target.
    virtual std::error_code Rename(const std::string& from, const std::string& to) = 0;
    // Removes a file; a file that is not there is no error.
    virtual std::error_code Remove(const std::string& path) = 0;
    // Flushes a file written by somebody else (the database engine) to the disk.
    virtual std::error_code SyncFile(const std::string& path) = 0;
};

// The operating system's files.
IFileSystem& RealFileSystem();

// Ends the process with the given code, at once and without the program's
// normal exit processing: what happens when the working database cannot be
// reopened after a backup or a restore. Every such exit goes through here, so
// a test can replace it with a hook that only records the call; the operation
// then returns false with the database closed.
using ExitHook = std::function<void(int exitCode)>;
// Installs a hook (an empty one restores the real exit); returns the previous.
ExitHook SetExitHook(ExitHook hook);
void EndProcess(int exitCode);

// Copies the working database to path (asking before overwriting a file),
// creating missing folders; the connection is closed while the file is
// copied and reopened afterwards, then every view is refreshed. True when the
// file was copied. A failure to reopen ends the process with code 1.
bool BackupDatabase(CDataStore& store, const DataFolder& data, const std::string& path,
                    IMessagePort& messages, IViewNotifier& views,
                    IFileSystem& files = RealFileSystem());

// Replaces the working database by the backup at path; the previous database
// stays in TarvoTmp.MDB. When the backup does not open as a Tarvo database,
// the previous data are put back, the user is told, and the result is false.
// True only when the backup's data are now the working data. When neither can
// be opened the process ends with code 1.
bool RestoreDatabase(CDataStore& store, const DataFolder& data, const std::string& path,
                     IMessagePort& messages, IViewNotifier& views,
                     IFileSystem& files = RealFileSystem());

// At program exit: closes the connection and rewrites the working database
// compactly through TarvoTmp.MDB. False (without a message) when that was not
// possible; the working database is then the previous one, intact. The
// connection stays closed.
bool CompactWorkingDatabase(CDataStore& store, const DataFolder& data,
                            IFileSystem& files = RealFileSystem());

// The logic of the dialog "Záloha dat", which serves backup and restore.
enum class BackupMode { Backup, Restore };

struct BackupDialogSetup {
    std::string title;            // "Záloha dat"
    std::string label;            // above the path box
    std::string actionText;       // the action button
    std::string initialPath;      // the path box
    bool saveDialog;              // "..." opens a save dialog (backup) or an open dialog
    std::string defaultExtension; // "mdb"
    std::string fileFilter;       // "Záloha dat (*.mdb)"
};

BackupDialogSetup SetupBackupDialog(BackupMode mode, const DataFolder& data);

// "Zalohy/ZalohaYYYYMMDD.mdb" in the data folder, for the given day or today
// (local time).
std::string DefaultBackupPath(const DataFolder& data, int year, int month, int day);
std::string DefaultBackupPath(const DataFolder& data);

// The path of the last successful backup (section "Zalohovani", key
// "Posledni zaloha" of tarvo.ini); empty when there was none.
std::string LastBackupPath(const DataFolder& data);

// The file name the "..." button offers: trailing blanks and separators
// removed, the text after the last separator when that stands after the first
// character, otherwise nothing.
std::string BrowseFileName(const std::string& pathText);

// The action button: trims the path, runs the backup or restore and on
// success records the backup path and shows the success message. True when
// the dialog closes; on false it stays open (the reason has been shown).
bool RunBackupAction(BackupMode mode, const std::string& pathText, CDataStore& store,
                     const DataFolder& data, IMessagePort& messages, IViewNotifier& views,
                     IFileSystem& files = RealFileSystem());

} // namespace tarvo
