#include "core/registerbook/registerbook.h"

namespace tarvo::book {

namespace {

// Codes 1 to 3 are the imports' ImportSource values; 0 is a product made by
// hand, shown as an empty cell.
constexpr std::string_view SourceLabels[] = {"", "Money S3", "WAK INTRA", "Money S3 XML"};
constexpr std::string_view YesNoLabels[] = {No, Yes};

} // namespace

const CodeList Sources{SourceLabels, 4};
const CodeList YesNo{YesNoLabels, 2};

} // namespace tarvo::book
