#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// The sort key of a text in the Czech order: keys compare byte by byte as
// their texts compare under the Czech collation (the order of ORDER BY text
// COLLATE CZECH), texts that collate equal ordered by their own bytes.
// Sorting a long list by keys computes each key once instead of collating at
// every comparison. The collator is the one behind CzechCompare and the
// database's CZECH collation: the whole program has one Czech order.
//
// Appends the key of a UTF-8 text to out.
void AppendCzechSortKey(std::string_view text, std::string& out);

// Keys (or texts) of many rows kept in large blocks that never move, so that
// a million of them cost no copying as they are added.
class CzechKeyArena {
public:
    // The key of text, valid as long as the arena.
    std::string_view Add(std::string_view text);
    // A copy of the text itself.
    std::string_view AddText(std::string_view text);

private:
    std::vector<std::unique_ptr<char[]>> m_blocks;
    size_t m_used = 0;
    size_t m_size = 0;
    std::string m_scratch;
};

} // namespace tarvo
