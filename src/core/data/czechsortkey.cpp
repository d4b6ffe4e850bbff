#include "core/data/czechsortkey.h"

#include <algorithm>
#include <memory>

namespace tarvo {

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
