#include "core/report/formoffer.h"
#include "dev/syntheticform.h"
#include "testdatabase.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tarvo {
namespace {

namespace fs = std::filesystem;

// The report dialog offers the form of the chosen quarter (2022 Q1) from the
// forms folder, else the newest file there. Files are listed oldest first:
// a name and the quarter of its form, 0 for a file that is no workbook.
TEST(FormOfferTest, OffersTheQuartersFormElseTheNewest) {
    struct Case {
        std::vector<std::pair<const char*, int>> oldestFirst;
        const char* offered; // nullptr: nothing
    };
    const Case cases[] = {
        {{}, nullptr},
        {{{"vykaz.txt", 0}}, nullptr},
        {{{"vykaz.xlsx", 2}}, "vykaz.xlsx"}, // the check on OK tells what is wrong
        {{{"b.xlsx", 1}, {"a.XLSX", 2}, {"c.xlsx", 0}}, "b.xlsx"},
        {{{"a.xlsx", 3}, {"b.XLSX", 2}}, "b.XLSX"},
        {{{"a.xlsx", 1}, {"b.xlsx", 2}, {"~$a.xlsx", 1}}, "a.xlsx"}, // Office's lock file
    };
    for (const Case& c : cases) {
        test::TempFolder data;
        const DataFolder folder{data.Folder()};
        const std::string forms = FormsFolder(folder);
        int hoursAgo = static_cast<int>(c.oldestFirst.size());
        for (const auto& [name, quarter] : c.oldestFirst) {
            fs::create_directories(forms);
            if (quarter)
                SyntheticForm(2022, quarter).Write(forms + name);
            else
                test::WriteFile(forms + name, "no workbook");
            fs::last_write_time(forms + name,
                                fs::file_time_type::clock::now() - std::chrono::hours(hoursAgo--));
        }
        SCOPED_TRACE(c.offered ? c.offered : "nothing");
        EXPECT_EQ(OfferedFormFile(folder, 2022, 1),
                  c.offered ? std::optional(forms + c.offered) : std::nullopt);
    }
}

} // namespace
} // namespace tarvo
