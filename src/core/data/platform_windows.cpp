#include "core/data/platform.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace tarvo::platform {

namespace {

// The Win32 error as the errno value the messages of the POSIX build name;
// anything not listed is an input/output error.
std::error_code LastError() {
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return {ENOENT, std::generic_category()};
    case ERROR_ACCESS_DENIED:
        return {EACCES, std::generic_category()};
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return {EBUSY, std::generic_category()};
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return {ENOSPC, std::generic_category()};
    case ERROR_WRITE_PROTECT:
        return {EROFS, std::generic_category()};
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return {EEXIST, std::generic_category()};
    case ERROR_FILENAME_EXCED_RANGE:
        return {ENAMETOOLONG, std::generic_category()};
    case ERROR_NOT_SAME_DEVICE:
        return {EXDEV, std::generic_category()};
    case ERROR_TOO_MANY_OPEN_FILES:
        return {EMFILE, std::generic_category()};
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
        return {EINVAL, std::generic_category()};
    default:
        return {EIO, std::generic_category()};
    }
}

// The wide form of a UTF-8 path for the W functions; the narrow ones would
// read it in the ANSI code page and miss a folder like C:\Users\Jiří.
std::wstring Wide(const std::string& path) {
    if (path.empty())
        return {};
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(), size);
    return wide;
}

// A file handle closed by scope.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle() {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    HANDLE Get() const { return m_handle; }
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

// Opens an existing file; other programs may go on reading, writing and
// renaming it, as they may on POSIX.
HANDLE OpenExisting(const std::wstring& path, DWORD access) {
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool SameFile(HANDLE a, HANDLE b) {
    BY_HANDLE_FILE_INFORMATION first{};
    BY_HANDLE_FILE_INFORMATION second{};
    return GetFileInformationByHandle(a, &first) && GetFileInformationByHandle(b, &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

// Flushes a file written through another handle (FlushFileBuffers needs
// write access).
std::error_code Flush(const std::wstring& path) {
    FileHandle file(OpenExisting(path, GENERIC_WRITE));
    if (!file.IsOpen() || !FlushFileBuffers(file.Get()))
        return LastError();
    return {};
}

} // namespace

std::error_code CopyFileDurably(const std::string& from, const std::string& to) {
    const std::wstring source = Wide(from);
    const std::wstring target = Wide(to);
    {
        FileHandle in(OpenExisting(source, 0));
        if (!in.IsOpen())
            return LastError();
        // Copying the source onto itself would fail on its own lock or empty it.
        FileHandle out(OpenExisting(target, 0));
        if (out.IsOpen() && SameFile(in.Get(), out.Get()))
            return {};
    }
    if (!CopyFileW(source.c_str(), target.c_str(), FALSE))
        return LastError();
    return Flush(target);
}

std::error_code RenameDurably(const std::string& from, const std::string& to) {
    // Write-through returns only when the move is on the disk, which is what
    // the folder's fsync gives on POSIX.
    if (!MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return LastError();
    return {};
}

std::error_code RemoveFile(const std::string& path) {
    if (!DeleteFileW(Wide(path).c_str())) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            return LastError();
    }
    return {};
}

std::error_code SyncFile(const std::string& path) {
    return Flush(Wide(path));
}

std::string ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (size == 0)
            return {};
        if (size < path.size()) {
            path.resize(size);
            break;
        }
        path.resize(path.size() * 2);
    }
    path.resize(path.find_last_of(L"\\/"));
    const int size = WideCharToMultiByte(CP_UTF8, 0, path.data(), static_cast<int>(path.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string folder(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), folder.data(), size,
                        nullptr, nullptr);
    return folder;
}

std::tm LocalTime(std::time_t time) {
    std::tm local{};
    localtime_s(&local, &time);
    return local;
}

void PrepareStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
}

bool StdinIsTerminal() {
    return _isatty(_fileno(stdin)) != 0;
}

bool StderrIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

} // namespace tarvo::platform
