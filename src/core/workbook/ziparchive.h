#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

typedef struct zip zip_t;
typedef struct zip_file zip_file_t;

namespace tarvo {

// One entry of an archive opened for reading; closed with its scope.
class ZipEntryReader {
public:
    ~ZipEntryReader();
    ZipEntryReader(const ZipEntryReader&) = delete;
    ZipEntryReader& operator=(const ZipEntryReader&) = delete;

    // False when the archive has no such entry or it cannot be opened.
    explicit operator bool() const { return m_file != nullptr; }
    // The uncompressed size, when the archive states it.
    std::optional<uint64_t> Size() const { return m_size; }
    // Reads the next piece into buffer; its length, 0 at the end, -1 when
    // the entry is damaged.
    int64_t Read(char* buffer, size_t size);

private:
    friend class ZipArchive;
    ZipEntryReader(zip_file_t* file, std::optional<uint64_t> size) : m_file(file), m_size(size) {}

    zip_file_t* m_file;
    std::optional<uint64_t> m_size;
};

// A zip archive (the package of a workbook) owned by its scope: an archive
// left without a successful Close is discarded, so a failure halfway through
// writing leaves neither a half-written file nor a changed one behind.
//
// Failures are results, not exceptions: each caller words its own error
// message, and ErrorText gives libzip's description of the last failure to
// put into it.
class ZipArchive {
public:
    enum class Mode {
        Read,    // an existing archive; Close writes the changes into it
        Replace, // a new archive; Close replaces a file of that name
        New,     // a new archive; a file of that name already there is a failure
    };

    ZipArchive() = default;
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // Discards an archive still open first.
    bool Open(const std::string& path, Mode mode);
    bool IsOpen() const { return m_zip != nullptr; }
    // Writes the changes; on failure the archive is discarded all the same.
    bool Close();
    // Closes without writing anything.
    void Discard();
    std::string ErrorText() const;

    bool Has(const std::string& name) const;
    ZipEntryReader OpenEntry(const std::string& name) const;

    // Adds an entry, or replaces one of that name when overwrite is set. The
    // data is read when the archive is closed, so it must live until then.
    bool AddData(const std::string& name, std::string_view data, bool overwrite = false);
    // Adds the content of a file, read when the archive is closed, deflated
    // at level (1 fastest, 9 smallest).
    bool AddFile(const std::string& name, const std::string& path, int level);
    // Removes the entry when the archive has it.
    void Remove(const std::string& name);

private:
    zip_t* m_zip = nullptr;
    std::string m_error; // the last failure that left no archive open
};

} // namespace tarvo
