#include "core/data/profile.h"
#include "core/report/reportdata.h"
#include "testdatabase.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(ReportPeriodDefaults, ProposeTheQuarterThatEndedLast) {
    struct Case {
        int year, month, day;
        int quarter, proposedYear;
    };
    const Case cases[] = {
        {2010, 1, 1, 4, 2009},  {2010, 3, 31, 4, 2009}, {2010, 4, 1, 1, 2010},
        {2010, 6, 30, 1, 2010}, {2010, 7, 1, 2, 2010},  {2010, 9, 30, 2, 2010},
        {2010, 10, 1, 3, 2010}, {2026, 12, 7, 3, 2026}, {2010, 12, 31, 3, 2010},
    };
    for (const Case& c : cases) {
        const ReportPeriod p = DefaultReportPeriod(OleDate::FromParts(c.year, c.month, c.day));
        EXPECT_EQ(p.quarter, c.quarter) << c.day << "." << c.month;
        EXPECT_EQ(p.year, c.proposedYear) << c.day << "." << c.month;
    }
}

TEST(CompanyDataSettings, StoredTextsComeBackAndEmptyOnesStayEmpty) {
    test::TempFolder folder;
    Profile profile(folder.File("tarvo.ini"));
    EXPECT_EQ(LoadCompanyData(profile), CompanyData{}); // no file yet

    CompanyData company{"Kolmara s.r.o.", "Brno, Údolní 5", "123",    "CZ123", "EK",
                        "faktury@k.cz",   "Jana",           "j@k.cz", "1",     "2"};
    ASSERT_TRUE(StoreCompanyData(profile, company));
    EXPECT_EQ(LoadCompanyData(profile), company);

    company.fax.clear();
    company.name = "Kolmara & syn; s.r.o.";
    ASSERT_TRUE(StoreCompanyData(profile, company));
    EXPECT_EQ(LoadCompanyData(profile), company);
    const std::string ini = test::ReadFile(profile.Path());
    EXPECT_NE(ini.find("[Spolecnost]"), std::string::npos);
    EXPECT_NE(ini.find("Fax=\n"), std::string::npos) << ini; // written, not deleted
    EXPECT_NE(ini.find("EKOKOM_ID=EK"), std::string::npos);
    EXPECT_NE(ini.find("KontaktniOsoba=Jana"), std::string::npos);
}

TEST(CompanyDataSettings, LongValuesAreCutAtAThousandCharacters) {
    test::TempFolder folder;
    Profile profile(folder.File("tarvo.ini"));
    CompanyData company;
    company.seat = std::string(600, 'a') + std::string(600, 'b');
    StoreCompanyData(profile, company);
    EXPECT_EQ(LoadCompanyData(profile).seat, std::string(600, 'a') + std::string(400, 'b'));
}

TEST(CompanyDataSettings, UnwritableFileIsReportedToTheCaller) {
    test::TempFolder folder;
    Profile profile(folder.File("missing/dir/tarvo.ini"));
    CompanyData company;
    company.name = "x";
    EXPECT_FALSE(StoreCompanyData(profile, company));
}

} // namespace
} // namespace tarvo
