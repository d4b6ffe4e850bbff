#include "core/data/textcodec.h"

#include <unicode/ucnv.h>

namespace tarvo {

bool IsValidUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        size_t extra;
        if (c < 0x80)
            extra = 0;
        else if ((c & 0xE0) == 0xC0 && c >= 0xC2)
            extra = 1;
        else if ((c & 0xF0) == 0xE0)
            extra = 2;
        else if ((c & 0xF8) == 0xF0 && c <= 0xF4)
            extra = 3;
        else
            return false;
        if (i + extra >= bytes.size() && extra > 0)
            return false;
        for (size_t k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += extra + 1;
    }
    return true;
}

std::string Cp1250ToUtf8(std::string_view bytes) {
    UErrorCode status = U_ZERO_ERROR;
    std::string out(bytes.size() * 3 + 1, '\0');
    const int32_t n =
        ucnv_convert("UTF-8", "windows-1250", out.data(), static_cast<int32_t>(out.size()),
                     bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status))
        return std::string(bytes);
    out.resize(static_cast<size_t>(n));
    return out;
}

std::string DecodeLegacyText(std::string_view bytes) {
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    return Cp1250ToUtf8(bytes);
}

} // namespace tarvo
