#include "core/workbook/ziparchive.h"

#include <zip.h>

namespace tarvo {

ZipEntryReader::~ZipEntryReader() {
    if (m_file)
        zip_fclose(m_file);
}

int64_t ZipEntryReader::Read(char* buffer, size_t size) {
    return zip_fread(m_file, buffer, size);
}

ZipArchive::~ZipArchive() {
    Discard();
}

bool ZipArchive::Open(const std::string& path, Mode mode) {
    Discard();
    const int flags = mode == Mode::Read      ? 0
                      : mode == Mode::Replace ? ZIP_CREATE | ZIP_TRUNCATE
                                              : ZIP_CREATE | ZIP_EXCL;
    int code = 0;
    m_zip = zip_open(path.c_str(), flags, &code);
    if (!m_zip) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        m_error = zip_error_strerror(&error);
        zip_error_fini(&error);
    }
    return m_zip != nullptr;
}

bool ZipArchive::Close() {
    if (!m_zip)
        return false;
    if (zip_close(m_zip) != 0) {
        m_error = zip_strerror(m_zip);
        Discard();
        return false;
    }
    m_zip = nullptr;
    return true;
}

void ZipArchive::Discard() {
    if (m_zip)
        zip_discard(m_zip);
    m_zip = nullptr;
}

std::string ZipArchive::ErrorText() const {
    return m_zip ? zip_strerror(m_zip) : m_error;
}

bool ZipArchive::Has(const std::string& name) const {
    return zip_name_locate(m_zip, name.c_str(), 0) >= 0;
}

ZipEntryReader ZipArchive::OpenEntry(const std::string& name) const {
    const zip_int64_t index = zip_name_locate(m_zip, name.c_str(), 0);
    if (index < 0)
        return ZipEntryReader(nullptr, std::nullopt);
    zip_stat_t st;
    zip_stat_init(&st);
    const bool sized = zip_stat_index(m_zip, static_cast<zip_uint64_t>(index), 0, &st) == 0 &&
                       (st.valid & ZIP_STAT_SIZE);
    return ZipEntryReader(zip_fopen_index(m_zip, static_cast<zip_uint64_t>(index), 0),
                          sized ? std::optional<uint64_t>(st.size) : std::nullopt);
}

bool ZipArchive::AddData(const std::string& name, std::string_view data, bool overwrite) {
    zip_source_t* source = zip_source_buffer(m_zip, data.data(), data.size(), 0);
    if (!source)
        return false;
    const zip_flags_t flags = ZIP_FL_ENC_UTF_8 | (overwrite ? ZIP_FL_OVERWRITE : 0);
    if (zip_file_add(m_zip, name.c_str(), source, flags) < 0) {
        zip_source_free(source);
        return false;
    }
    return true;
}

bool ZipArchive::AddFile(const std::string& name, const std::string& path, int level) {
    zip_source_t* source = zip_source_file(m_zip, path.c_str(), 0, -1);
    if (!source)
        return false;
    const zip_int64_t index = zip_file_add(m_zip, name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        return false;
    }
    return zip_set_file_compression(m_zip, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE,
                                    static_cast<zip_uint32_t>(level)) == 0;
}

void ZipArchive::Remove(const std::string& name) {
    const zip_int64_t index = zip_name_locate(m_zip, name.c_str(), 0);
    if (index >= 0)
        zip_delete(m_zip, static_cast<zip_uint64_t>(index));
}

} // namespace tarvo
