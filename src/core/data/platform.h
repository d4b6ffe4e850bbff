#pragma once

#include <ctime>
#include <string>
#include <system_error>

// The few operating-system calls the core needs beyond the standard library:
// files written so that they survive a power cut, the local time and the
// terminal check of tarvo-cli. Everything POSIX-specific stays in platform.cpp,
// everything Windows-specific in platform_windows.cpp. Paths are UTF-8, and
// the errors are errno values (generic category) on both, so that a message
// names the same cause with the same number everywhere.
namespace tarvo::platform {

// Copies from to to and flushes the copy to the disk. Copying a file onto
// itself does nothing (opening it for writing would empty it).
std::error_code CopyFileDurably(const std::string& from, const std::string& to);
// Renames and makes the rename durable in the folder.
std::error_code RenameDurably(const std::string& from, const std::string& to);
// Removes a file; a missing file is no error.
std::error_code RemoveFile(const std::string& path);
// Flushes a written file to the disk.
std::error_code SyncFile(const std::string& path);
// The folder of the running program's executable; empty when unknown.
std::string ExecutableFolder();
// The calendar fields of a moment in the local time zone.
std::tm LocalTime(std::time_t time);
// Makes the standard output and error take the program's UTF-8 texts as
// they are: '\n' ends a line (no "\r\n" in redirected output) and a console
// shows Czech letters. Nothing to do on POSIX.
void PrepareStandardStreams();
// Whether the standard input is a terminal a person can answer on.
bool StdinIsTerminal();
// Whether the standard error goes to a terminal (not to a log file or a pipe).
bool StderrIsTerminal();

} // namespace tarvo::platform
