#include "core/data/packagingdefinition.h"

namespace tarvo {

std::optional<int64_t> ChooseDefinition(const std::vector<PackagingDefinition>& definitions,
                                        const OleDate& moveDate) {
    std::optional<int64_t> chosen;
    for (const PackagingDefinition& definition : definitions) {
        if (!definition.from.IsValid())
            continue;
        if (moveDate.Value() < definition.from.Value())
            break;
        chosen = definition.dtId;
    }
    return chosen;
}

} // namespace tarvo
