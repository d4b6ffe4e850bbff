#include "core/data/sqlfunctions.h"

#include "core/data/comerror.h"
#include "core/data/czechsortkey.h"
#include "core/data/shared.h"

#include <cmath>
#include <memory>
#include <sqlite3.h>
#include <unicode/coll.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>
#include <vector>

namespace tarvo {

// Products of two scaled quantities need more than 64 bits on the way.
__extension__ typedef __int128 Int128;

namespace {

std::u32string FoldedCodePoints(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    int32_t i = 0;
    const auto* s = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    while (i < length) {
        UChar32 c;
        U8_NEXT(s, i, length, c);
        if (c < 0)
            c = 0xFFFD;
        out += static_cast<char32_t>(u_foldCase(c, U_FOLD_CASE_DEFAULT));
    }
    return out;
}

bool Match(const std::u32string& p, size_t pi, const std::u32string& s, size_t si, char32_t esc) {
    while (pi < p.size()) {
        const char32_t c = p[pi];
        if (esc != 0 && c == esc && pi + 1 < p.size()) {
            if (si >= s.size() || s[si] != p[pi + 1])
                return false;
            pi += 2;
            ++si;
        } else if (c == U'%') {
            while (pi < p.size() && p[pi] == U'%')
                ++pi;
            if (pi == p.size())
                return true;
            for (size_t k = si; k <= s.size(); ++k) {
                if (Match(p, pi, s, k, esc))
                    return true;
            }
            return false;
        } else if (c == U'_') {
            if (si >= s.size())
                return false;
            ++pi;
            ++si;
        } else {
            if (si >= s.size() || s[si] != c)
                return false;
            ++pi;
            ++si;
        }
    }
    return si == s.size();
}

std::string_view TextArg(sqlite3_value* v) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return text ? std::string_view(text, static_cast<size_t>(sqlite3_value_bytes(v)))
                : std::string_view();
}

void LikeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    char32_t escape = 0;
    if (argc == 3) {
        const std::u32string e = FoldedCodePoints(TextArg(argv[2]));
        escape = e.size() == 1 ? e[0] : 0;
    }
    // like(X, Y) is "Y LIKE X".
    sqlite3_result_int(ctx, JetLike(TextArg(argv[0]), TextArg(argv[1]), escape) ? 1 : 0);
}

double DayOf(double oleDate) {
    return std::trunc(oleDate);
}

void DateDiffFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[1]) == SQLITE_NULL || sqlite3_value_type(argv[2]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    // Whole days ("d", or "y" for days of the year, which counts the same);
    // the program compares periods by whole days only.
    const std::string interval(TextArg(argv[0]));
    if (EqualsNoCase(interval, "d") || EqualsNoCase(interval, "y")) {
        const double a = sqlite3_value_double(argv[1]);
        const double b = sqlite3_value_double(argv[2]);
        sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(DayOf(b) - DayOf(a)));
        return;
    }
    sqlite3_result_error(ctx, "DATEDIFF: nepodporovaný interval", -1);
}

void CurMulFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const Int128 product =
        static_cast<Int128>(sqlite3_value_int64(argv[0])) * sqlite3_value_int64(argv[1]);
    sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(product / 10000));
}

icu::Collator& CzechCollator() {
    static std::unique_ptr<icu::Collator> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Collator> c(
            icu::Collator::createInstance(icu::Locale("cs", "CZ"), status));
        if (U_FAILURE(status) || !c)
            throw ComError(ComError::Fail, "Nelze vytvořit české řazení (ICU).");
        return c;
    }();
    return *collator;
}

int CollateFunction(void*, int aLength, const void* a, int bLength, const void* b) {
    return CzechCompare(
        std::string_view(static_cast<const char*>(a), static_cast<size_t>(aLength)),
        std::string_view(static_cast<const char*>(b), static_cast<size_t>(bLength)));
}

void Check(sqlite3* db, int rc) {
    if (rc != SQLITE_OK)
        throw SqliteError(rc, sqlite3_errmsg(db));
}

} // namespace

bool JetLike(std::string_view pattern, std::string_view text, char32_t escape) {
    return Match(FoldedCodePoints(pattern), 0, FoldedCodePoints(text), 0,
                 escape ? static_cast<char32_t>(
                              u_foldCase(static_cast<UChar32>(escape), U_FOLD_CASE_DEFAULT))
                        : 0);
}

std::string FoldCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char32_t c : FoldedCodePoints(text)) {
        // Every code point is valid here: broken input was read as U+FFFD.
        uint8_t buffer[U8_MAX_LENGTH];
        int32_t length = 0;
        U8_APPEND_UNSAFE(buffer, length, static_cast<UChar32>(c));
        out.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(length));
    }
    return out;
}

int CzechCompare(std::string_view a, std::string_view b) {
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r = CzechCollator().compareUTF8(
        icu::StringPiece(a.data(), static_cast<int32_t>(a.size())),
        icu::StringPiece(b.data(), static_cast<int32_t>(b.size())), status);
    if (r != UCOL_EQUAL || U_FAILURE(status))
        return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
    // Equal under the collation: keep a stable, total order.
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

void AppendCzechSortKey(std::string_view text, std::string& out) {
    const icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    uint8_t buffer[512];
    const int32_t size = CzechCollator().getSortKey(unicode, buffer, sizeof buffer);
    if (size <= static_cast<int32_t>(sizeof buffer)) {
        out.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(size));
    } else {
        std::vector<uint8_t> big(static_cast<size_t>(size));
        CzechCollator().getSortKey(unicode, big.data(), size);
        out.append(reinterpret_cast<const char*>(big.data()), big.size());
    }
    // The key ends in its zero byte, which no other byte of it is; the text's
    // own bytes after it order texts that collate equal, as CzechCompare does.
    out.append(text);
}

void RegisterSqlFunctions(sqlite3* db) {
    constexpr int Flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    Check(db,
          sqlite3_create_function(db, "like", 2, Flags, nullptr, LikeFunction, nullptr, nullptr));
    Check(db,
          sqlite3_create_function(db, "like", 3, Flags, nullptr, LikeFunction, nullptr, nullptr));
    Check(db, sqlite3_create_function(db, "DATEDIFF", 3, Flags, nullptr, DateDiffFunction, nullptr,
                                      nullptr));
    Check(db, sqlite3_create_function(db, "CURMUL", 2, Flags, nullptr, CurMulFunction, nullptr,
                                      nullptr));
    Check(db, sqlite3_create_collation(db, "CZECH", SQLITE_UTF8, nullptr, CollateFunction));
}

} // namespace tarvo
