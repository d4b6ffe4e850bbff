#include "core/registers/compcoverfilter.h"

namespace tarvo {

SqlClause CompCoverCriterion(const CompCoverFilter& filter) {
    SqlClause clause;
    const struct {
        bool use;
        const char* column;
        const std::string& text;
        bool part;
    } texts[] = {{filter.useName, "ccover_name", filter.name, filter.namePart},
                 {filter.useNote, "ccover_note", filter.note, filter.notePart}};
    for (const auto& text : texts) {
        if (!text.use)
            continue;
        if (text.part)
            AndTextContains(clause, text.column, text.text);
        else
            AndTextEquals(clause, text.column, text.text);
    }
    return clause;
}

} // namespace tarvo
