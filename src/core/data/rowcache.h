#pragma once

#include <cstddef>
#include <list>
#include <unordered_map>
#include <vector>

namespace tarvo {

// The rows of a long list that have been shown lately, in chunks of
// consecutive rows, the least recently used chunk dropped first. A list of a
// million records keeps only a few hundred rows in memory.
template <typename Row> class RowCache {
public:
    RowCache(int chunkSize, int maxChunks) : m_chunkSize(chunkSize), m_maxChunks(maxChunks) {}

    int ChunkSize() const { return m_chunkSize; }
    int ChunkOf(int row) const { return row / m_chunkSize; }

    // The row, or nullptr when its chunk is not loaded (or the row was
    // dropped from it).
    const Row* Find(int row) {
        auto it = m_chunks.find(ChunkOf(row));
        if (it == m_chunks.end())
            return nullptr;
        Touch(it->second);
        const size_t offset = static_cast<size_t>(row % m_chunkSize);
        if (offset >= it->second.rows.size() || !it->second.valid[offset])
            return nullptr;
        return &it->second.rows[offset];
    }

    // Stores the rows of one chunk (fewer than the chunk size at the end of
    // the list), dropping the oldest chunk when the cache is full.
    void Store(int chunk, std::vector<Row> rows) {
        auto it = m_chunks.find(chunk);
        if (it != m_chunks.end()) {
            m_order.erase(it->second.order);
            m_chunks.erase(it);
        }
        while (static_cast<int>(m_chunks.size()) >= m_maxChunks && !m_order.empty()) {
            m_chunks.erase(m_order.back());
            m_order.pop_back();
        }
        m_order.push_front(chunk);
        Entry entry;
        entry.valid.assign(rows.size(), true);
        entry.rows = std::move(rows);
        entry.order = m_order.begin();
        m_chunks.emplace(chunk, std::move(entry));
    }

    // One row changed: it is read again the next time it is shown.
    void Invalidate(int row) {
        auto it = m_chunks.find(ChunkOf(row));
        const size_t offset = static_cast<size_t>(row % m_chunkSize);
        if (it != m_chunks.end() && offset < it->second.valid.size())
            it->second.valid[offset] = false;
    }

    void Clear() {
        m_chunks.clear();
        m_order.clear();
    }

    int ChunkCount() const { return static_cast<int>(m_chunks.size()); }

private:
    struct Entry {
        std::vector<Row> rows;
        std::vector<bool> valid;
        std::list<int>::iterator order;
    };

    void Touch(Entry& entry) {
        m_order.splice(m_order.begin(), m_order, entry.order);
        entry.order = m_order.begin();
    }

    int m_chunkSize;
    int m_maxChunks;
    std::unordered_map<int, Entry> m_chunks;
    std::list<int> m_order;
};

} // namespace tarvo
