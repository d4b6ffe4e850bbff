#include "core/data/platform.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvo::platform {

namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

// A file descriptor closed by scope.
class FileHandle {
public:
    explicit FileHandle(int fd) : m_fd(fd) {}
    ~FileHandle() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    int Get() const { return m_fd; }
    // Closes now, so that a failing close is reported.
    std::error_code Close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 ? std::error_code() : LastError();
    }

private:
    int m_fd;
};

std::error_code WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return LastError();
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return {};
}

// Makes a rename in the folder durable; the rename itself has happened
// already, so a failure here changes nothing for the caller.
void SyncFolderOf(const std::string& path) {
    std::string folder = std::filesystem::path(path).parent_path().string();
    if (folder.empty())
        folder = ".";
    FileHandle dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0)
        ::fsync(dir.Get());
}

} // namespace

std::error_code CopyFileDurably(const std::string& from, const std::string& to) {
    FileHandle in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0)
        return LastError();
    struct stat source {};
    if (::fstat(in.Get(), &source) != 0)
        return LastError();
    // Opening the source itself for writing would truncate it.
    struct stat target {};
    if (::stat(to.c_str(), &target) == 0 && target.st_dev == source.st_dev &&
        target.st_ino == source.st_ino)
        return {};
    FileHandle out(::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (out.Get() < 0)
        return LastError();
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(in.Get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return LastError();
        }
        if (got == 0)
            break;
        if (std::error_code ec = WriteAll(out.Get(), buffer, static_cast<size_t>(got)))
            return ec;
    }
    if (::fsync(out.Get()) != 0)
        return LastError();
    return out.Close();
}

std::error_code RenameDurably(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0)
        return LastError();
    SyncFolderOf(to);
    return {};
}

std::error_code RemoveFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return LastError();
    return {};
}

std::error_code SyncFile(const std::string& path) {
    FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0)
        return LastError();
    if (::fsync(file.Get()) != 0)
        return LastError();
    return file.Close();
}

std::string ExecutableFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

std::tm LocalTime(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    return local;
}

void PrepareStandardStreams() {}

bool StdinIsTerminal() {
    return isatty(STDIN_FILENO) != 0;
}

bool StderrIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

} // namespace tarvo::platform
