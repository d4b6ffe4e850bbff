#include "ui/framework/czechsortkey.h"

#include <algorithm>
#include <memory>
#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>
#include <vector>

namespace tarvo {

namespace {

icu::Collator* Collator() {
    static std::unique_ptr<icu::Collator> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Collator> c(
            icu::Collator::createInstance(icu::Locale("cs", "CZ"), status));
        return U_FAILURE(status) ? nullptr : std::move(c);
    }();
    return collator.get();
}

} // namespace

void AppendCzechSortKey(std::string_view text, std::string& out) {
    if (icu::Collator* collator = Collator()) {
        const icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(
            icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
        uint8_t buffer[512];
        const int32_t size = collator->getSortKey(unicode, buffer, sizeof buffer);
        if (size <= static_cast<int32_t>(sizeof buffer)) {
            out.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(size));
        } else {
            std::vector<uint8_t> big(static_cast<size_t>(size));
            collator->getSortKey(unicode, big.data(), size);
            out.append(reinterpret_cast<const char*>(big.data()), big.size());
        }
        // The key ends in its zero byte, which no other byte of it is; the
        // text's own bytes after it order texts that collate equal.
    }
    out.append(text);
}

std::string_view CzechKeyArena::Add(std::string_view text) {
    m_scratch.clear();
    AppendCzechSortKey(text, m_scratch);
    return AddText(m_scratch);
}

std::string_view CzechKeyArena::AddText(std::string_view text) {
    if (m_blocks.empty() || m_used + text.size() > m_size) {
        constexpr size_t BlockSize = 4 << 20;
        m_size = std::max(BlockSize, text.size());
        m_blocks.push_back(std::make_unique<char[]>(m_size));
        m_used = 0;
    }
    char* at = m_blocks.back().get() + m_used;
    std::copy(text.begin(), text.end(), at);
    m_used += text.size();
    return std::string_view(at, text.size());
}

} // namespace tarvo
