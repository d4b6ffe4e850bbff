#include "core/report/formoffer.h"
#include "dev/syntheticform.h"
#include "testdatabase.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace tarvo {
namespace {

namespace fs = std::filesystem;

// A file of the forms folder: a form of a quarter of 2022, or (quarter 0)
// something that only has the name of one.
struct FolderFile {
    const char* name;
    int quarter;
};

struct OfferCase {
    const char* what; // the test's name
    std::vector<FolderFile> oldestFirst;
    const char* offered; // nullptr: nothing
};

class FormOfferTest : public ::testing::TestWithParam<OfferCase> {};

// The report dialog offers the form of the chosen quarter (2022 Q1) from the
// forms folder, whatever the order of the files' times and names.
TEST_P(FormOfferTest, OffersTheQuartersFormElseTheNewest) {
    const OfferCase& c = GetParam();
    test::TempFolder data;
    const DataFolder folder{data.Folder()};
    const auto now = fs::file_time_type::clock::now();
    int age = static_cast<int>(c.oldestFirst.size());
    for (const FolderFile& file : c.oldestFirst) {
        const std::string path = FormsFolder(folder) + file.name;
        fs::create_directories(FormsFolder(folder));
        if (file.quarter)
            SyntheticForm(2022, file.quarter).Write(path);
        else
            std::ofstream(path) << "not a workbook";
        fs::last_write_time(path, now - std::chrono::hours(age--));
    }
    const std::optional<std::string> offered = OfferedFormFile(folder, 2022, 1);
    if (c.offered)
        EXPECT_EQ(offered, FormsFolder(folder) + c.offered);
    else
        EXPECT_EQ(offered, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, FormOfferTest,
    ::testing::Values(
        OfferCase{"NoFormsFolder", {}, nullptr},
        OfferCase{"OnlyATextFile", {{"vykaz.txt", 0}}, nullptr},
        OfferCase{"OneFormOfAnotherQuarterWaitsForTheCheckOnOk", {{"vykaz.xlsx", 2}}, "vykaz.xlsx"},
        OfferCase{"TheQuartersFormBeforeANewerOne",
                  {{"b.xlsx", 1}, {"a.XLSX", 2}, {"c.xlsx", 0}},
                  "b.xlsx"},
        OfferCase{"NoneFitsTheNewest", {{"a.xlsx", 3}, {"b.XLSX", 2}}, "b.XLSX"},
        OfferCase{"AnOpenFormsLockFileIsNoForm",
                  {{"a.xlsx", 1}, {"b.xlsx", 2}, {"~$a.xlsx", 1}},
                  "a.xlsx"}),
    [](const ::testing::TestParamInfo<OfferCase>& p) { return std::string(p.param.what); });

} // namespace
} // namespace tarvo
