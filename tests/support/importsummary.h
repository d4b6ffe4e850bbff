#pragma once

#include "core/data/shared.h"

#include <string>

namespace tarvo::test {

// The summary an import of products and documents ends with; records found
// again and left alone are counted last.
inline std::string ImportSummary(const char* result, long products, long documents,
                                 long skippedProducts = 0, long skippedDocuments = 0) {
    std::string text = Format("%s\n\nNaimportováno:\n   Produktů ~ %li\n   Dokladů ~ %li", result,
                              products, documents);
    if (skippedProducts > 0 || skippedDocuments > 0)
        text += Format("\n\nVynecháno jako již importované:\n   Produktů ~ %li\n   Dokladů ~ %li",
                       skippedProducts, skippedDocuments);
    return text;
}

} // namespace tarvo::test
