#include "core/engine/runpagecache.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"

namespace tarvo {

RunPageCache::RunPageCache(CDataStore& store, long kilobytes) : m_store(store) {
    Statement read(store, "PRAGMA cache_size");
    if (read.Step())
        m_previous = read.Int(0);
    store.ExecuteOrThrow(Format("PRAGMA cache_size = -%li", kilobytes));
}

RunPageCache::~RunPageCache() {
    try {
        m_store.ExecuteOrThrow(
            Format("PRAGMA cache_size = %lli", static_cast<long long>(m_previous)));
    } catch (const ComError&) {
        // Only the cache stays larger until the connection closes.
    }
}

} // namespace tarvo
