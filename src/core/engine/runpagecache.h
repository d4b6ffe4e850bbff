#pragma once

#include <cstdint>

namespace tarvo {

class CDataStore;

// A long run over Move_Cover touches every index of the table in two places
// at once (where old rows go and where new ones come); with SQLite's small
// default page cache those pages would be written out and read back again
// and again, and inside one transaction every page written out halfway costs
// a sync of the journal. The cache is larger while the object lives and back
// to what it was afterwards.
class RunPageCache {
public:
    static constexpr long Kilobytes = 64 * 1024;

    // Throws ComError when the cache cannot be set.
    explicit RunPageCache(CDataStore& store, long kilobytes = Kilobytes);
    ~RunPageCache();
    RunPageCache(const RunPageCache&) = delete;
    RunPageCache& operator=(const RunPageCache&) = delete;

private:
    CDataStore& m_store;
    int64_t m_previous = -2000;
};

} // namespace tarvo
