#include "core/data/shared.h"

#include "core/data/paths.h"
#include "core/ports/messageport.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace tarvo {

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int size = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(size > 0 ? static_cast<size_t>(size) : 0, '\0');
    if (size > 0)
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    return text;
}

std::string SqlEscape(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size() + 2);
    for (char c : text) {
        escaped += c;
        if (c == '\'')
            escaped += '\'';
    }
    return escaped;
}

std::string SqlQuote(std::string_view text) {
    return "'" + SqlEscape(text) + "'";
}

std::string SystemErrorText(std::error_code error) {
    // The system's own texts are English here; the user reads Czech.
    struct Entry {
        int code;
        const char* text;
    };
    static constexpr Entry Texts[] = {
        {ENOENT, "Systém nemůže nalézt uvedený soubor."},
        {EACCES, "Přístup byl odepřen."},
        {EPERM, "Operace není povolena."},
        {ENOSPC, "Na disku není dost místa."},
        {EEXIST, "Soubor již existuje."},
        {EROFS, "Médium je chráněno proti zápisu."},
        {EIO, "Chyba vstupu/výstupu."},
        {ENOTDIR, "Zadaná cesta není složka."},
        {EISDIR, "Zadaná cesta je složka."},
        {EBUSY, "Soubor je používán jiným procesem."},
        {ENAMETOOLONG, "Název souboru je příliš dlouhý."},
        {EINVAL, "Parametr není správný."},
        {EXDEV, "Soubor nelze přesunout na jiný disk."},
        {EMFILE, "Je otevřeno příliš mnoho souborů."},
    };
    if (error.category() == std::generic_category() || error.category() == std::system_category()) {
        for (const Entry& e : Texts) {
            if (e.code == error.value())
                return e.text;
        }
    }
    return "Neznámá chyba";
}

void ShowSysError(IMessagePort& messages, std::error_code error, const char* prefix) {
    const std::string text = SystemErrorText(error);
    messages.ShowMessage(prefix
                             ? Format("%s\n\nChyba č.%i. %s", prefix, error.value(), text.c_str())
                             : Format("Došlo k chybě č.%i\n\n%s", error.value(), text.c_str()),
                         MsgIcon::Error);
}

void ShowErrorCode(IMessagePort& messages, uint32_t code, const char* prefix) {
    const std::string text =
        SystemErrorText(std::error_code(static_cast<int>(code), std::generic_category()));
    const unsigned long c = code;
    messages.ShowMessage(prefix ? Format("%s\n\nChyba č.0x%08lX. %s", prefix, c, text.c_str())
                                : Format("Došlo k chybě č.0x%08lX\n\n%s", c, text.c_str()),
                         MsgIcon::Error);
}

void ShowComError(IMessagePort& messages, const ComError& error, const char* prefix) {
    const unsigned long c = error.Code();
    const char* description = error.Description().c_str();
    messages.ShowMessage(prefix ? Format("%s\n\nCOM chyba č.0x%08lX. %s", prefix, c, description)
                                : Format("Došlo k chybě COM č.0x%08lX\n\n%s", c, description),
                         MsgIcon::Error);
}

namespace {

std::string TrimPathEnd(const std::string& path) {
    std::string p = path;
    while (!p.empty() && (p.back() == ' ' || p.back() == '/' || p.back() == '\\'))
        p.pop_back();
    return p;
}

} // namespace

bool CreatePath(const std::string& path) {
    const std::string trimmed = TrimPathEnd(path);
    if (trimmed.empty())
        return false;
    std::error_code ec;
    std::filesystem::create_directories(PathOf(trimmed), ec);
    return std::filesystem::is_directory(PathOf(trimmed), ec);
}

bool DirectoryExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(PathOf(path), ec);
}

std::string Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

std::string ToUpperText(std::string_view text) {
    // Codes, keys and document kinds are plain ASCII: a long import asks for
    // them by the hundred thousand, and their capitals need no locale.
    if (std::all_of(text.begin(), text.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        std::string out(text);
        for (char& c : out) {
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        }
        return out;
    }
    static const icu::Locale czech("cs", "CZ");
    icu::UnicodeString u = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    u.toUpper(czech);
    std::string out;
    u.toUTF8String(out);
    return out;
}

void SplitText(const std::string& text, char separator, std::vector<std::string>& pieces) {
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == separator) {
            pieces.push_back(Trim(std::string_view(text).substr(start, i - start)));
            start = i + 1;
        }
    }
    if (start < text.size())
        pieces.push_back(ToUpperText(Trim(std::string_view(text).substr(start))));
}

void WholeDayRange(OleDate& from, OleDate& to) {
    from = from.WithTime(0, 0, 0);
    to = to.WithTime(23, 59, 59);
}

namespace {

constexpr std::array<uint8_t, 20> ScrambleKey = {0x5A, 0xC3, 0x17, 0x8E, 0x2B, 0xF0, 0x64,
                                                 0x9D, 0x31, 0xB7, 0x48, 0xE2, 0x0F, 0x7C,
                                                 0xA5, 0x53, 0xD9, 0x26, 0x81, 0x6E};

uint8_t SwapHalves(uint8_t b) {
    return static_cast<uint8_t>((b << 4) | (b >> 4));
}

} // namespace

std::string ScrambleText(const std::string& text) {
    if (text.empty())
        return {};
    std::array<uint8_t, 20> bytes = ScrambleKey;
    for (size_t i = 0; i < text.size() && i < bytes.size(); ++i)
        bytes[i] ^= SwapHalves(static_cast<uint8_t>(text[i]));
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 2)
        out += Format("%04X", static_cast<unsigned>(bytes[i] | (bytes[i + 1] << 8)));
    return out;
}

std::string UnscrambleText(const std::string& text) {
    if (text.size() != 40)
        return {};
    std::string out;
    for (size_t group = 0; group < 10; ++group) {
        unsigned word = 0;
        for (size_t k = 0; k < 4; ++k) {
            const char c = text[group * 4 + k];
            unsigned digit;
            if (c >= '0' && c <= '9')
                digit = static_cast<unsigned>(c - '0');
            else if (c >= 'A' && c <= 'F')
                digit = static_cast<unsigned>(c - 'A' + 10);
            else if (c >= 'a' && c <= 'f')
                digit = static_cast<unsigned>(c - 'a' + 10);
            else
                return {};
            word = word * 16 + digit;
        }
        const uint8_t pair[2] = {static_cast<uint8_t>(word & 0xFF),
                                 static_cast<uint8_t>(word >> 8)};
        for (size_t k = 0; k < 2; ++k) {
            const uint8_t b =
                SwapHalves(static_cast<uint8_t>(pair[k] ^ ScrambleKey[group * 2 + k]));
            if (b == 0)
                return out;
            out += static_cast<char>(b);
        }
    }
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

} // namespace tarvo
