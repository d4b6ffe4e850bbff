#include "core/data/profile.h"
#include "core/data/shared.h"
#include "core/import/waksettings.h"
#include "recordingports.h"
#include "testdatabase.h"

#include <gtest/gtest.h>

namespace tarvo::test {
namespace {

class WakSettingsTest : public ::testing::Test {
protected:
    TempFolder folder;
    Profile profile{folder.File("tarvo.ini")};
    RecordingMessages messages;
};

TEST_F(WakSettingsTest, DefaultsOfAnEmptySettingsFile) {
    const WakConnectionSettings s = WakConnectionSettings::Load(profile);
    EXPECT_EQ(s.server.server, "(local)");
    EXPECT_EQ(s.server.database, "");
    EXPECT_FALSE(s.server.windowsAuth);
    EXPECT_EQ(s.server.user, "sa");
    EXPECT_EQ(s.server.password, "");
    EXPECT_EQ(s.odbc, "");
    const WakImportParams p = WakImportParams::Load(profile, OleDate::FromParts(2010, 5, 15));
    EXPECT_TRUE(p.choices.products);
    EXPECT_TRUE(p.choices.documents);
    EXPECT_EQ(p.choices.existing, ExistingMode::Skip);
}

TEST_F(WakSettingsTest, PasswordIsStoredScrambledAndCredentialsSurviveWindowsAuth) {
    WakConnectionSettings s;
    s.server = {"wak01", "WAKDATA", "novak", "Heslo;1", true};
    ASSERT_TRUE(s.Save(profile));
    const std::string file = ReadFile(profile.Path());
    EXPECT_EQ(file.find("Heslo;1"), std::string::npos) << file;
    EXPECT_EQ(profile.GetString("ImportWAK", "Heslo"), ScrambleText("Heslo;1"));
    EXPECT_EQ(profile.GetString("ImportWAK", "Autentikace"), "1");

    const WakConnectionSettings read = WakConnectionSettings::Load(profile);
    EXPECT_TRUE(read.server.windowsAuth);
    EXPECT_EQ(read.server.user, "novak");
    EXPECT_EQ(read.server.password, "Heslo;1");
    EXPECT_FALSE(WakUserFieldsEnabled(read.server));

    // An empty password is stored as an empty text; a hand-set ODBC string
    // is read but never written by the page.
    ASSERT_TRUE(profile.WriteString("ImportWAK", "ODBC", "DSN=wak"));
    s.server.password.clear();
    ASSERT_TRUE(s.Save(profile));
    EXPECT_EQ(profile.GetString("ImportWAK", "Heslo", "x"), "");
    EXPECT_EQ(WakConnectionSettings::Load(profile).odbc, "DSN=wak");
}

struct ValidationCase {
    const char* title;
    WakServer typed;
    WakConnectionField focus;
    const char* message; // nullptr: accepted
};

void PrintTo(const ValidationCase& c, std::ostream* os) {
    *os << c.title;
}

class WakValidationTest : public ::testing::TestWithParam<ValidationCase> {};

TEST_P(WakValidationTest, ReportsTheFirstMissingValue) {
    const ValidationCase& c = GetParam();
    RecordingMessages messages;
    WakServer server = c.typed;
    EXPECT_EQ(ValidateWakConnection(server, messages), c.focus);
    if (c.message == nullptr) {
        EXPECT_TRUE(messages.shown.empty());
    } else {
        EXPECT_EQ(messages.shown, (std::vector<ShownMessage>{{c.message, MsgIcon::Exclamation}}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Page, WakValidationTest,
    ::testing::Values(
        ValidationCase{"BlankServer",
                       {"  ", "W", "sa", "", false},
                       WakConnectionField::Server,
                       "Zadejte server!"},
        ValidationCase{"BlankDatabase",
                       {"s", " \t", "sa", "", false},
                       WakConnectionField::Database,
                       "Zadejte databázi!"},
        ValidationCase{"BlankUser",
                       {"s", "W", "  ", "", false},
                       WakConnectionField::User,
                       "Zadejte uživatele!"},
        ValidationCase{
            "NoUserNeededForWindows", {"s", "W", "", "", true}, WakConnectionField::None, nullptr},
        ValidationCase{"PasswordLongerThanStorable",
                       {"s", "W", "sa", "123456789012345678901", false},
                       WakConnectionField::Password,
                       "Heslo může mít nejvýše 20 znaků (písmeno s diakritikou se počítá za dva)!"},
        ValidationCase{"Complete",
                       {"s", "W", "sa", "12345678901234567890", false},
                       WakConnectionField::None,
                       nullptr}),
    [](const ::testing::TestParamInfo<ValidationCase>& param) { return param.param.title; });

TEST(WakValidation, TrimmedValuesReplaceTheTypedOnes) {
    RecordingMessages messages;
    WakServer server{" wak01 ", "\tWAKDATA ", " sa", " heslo ", false};
    EXPECT_EQ(ValidateWakConnection(server, messages), WakConnectionField::None);
    EXPECT_EQ(server.server, "wak01");
    EXPECT_EQ(server.database, "WAKDATA");
    EXPECT_EQ(server.user, "sa");
    EXPECT_EQ(server.password, " heslo "); // a password is taken as typed
}

TEST(WakPreviousQuarter, IsTheWholeCalendarQuarterBeforeToday) {
    struct Case {
        OleDate today;
        OleDate from;
        OleDate to;
    };
    const OleDate q1from = OleDate::FromParts(2010, 1, 1);
    const OleDate q1to = OleDate::FromParts(2010, 3, 31, 23, 59, 59);
    std::vector<Case> cases;
    // Every day of April to June 2010.
    for (OleDate d = OleDate::FromParts(2010, 4, 1, 8, 30); d.Month() <= 6; d = d.AddDays(1))
        cases.push_back({d, q1from, q1to});
    const OleDate q4from = OleDate::FromParts(2009, 10, 1);
    const OleDate q4to = OleDate::FromParts(2009, 12, 31, 23, 59, 59);
    cases.push_back({OleDate::FromParts(2010, 1, 1), q4from, q4to});
    cases.push_back({OleDate::FromParts(2010, 2, 28), q4from, q4to});
    cases.push_back({OleDate::FromParts(2010, 3, 31, 23, 0), q4from, q4to});
    cases.push_back({OleDate::FromParts(2009, 5, 15), OleDate::FromParts(2009, 1, 1),
                     OleDate::FromParts(2009, 3, 31, 23, 59, 59)});
    cases.push_back({OleDate::FromParts(2012, 12, 31), OleDate::FromParts(2012, 7, 1),
                     OleDate::FromParts(2012, 9, 30, 23, 59, 59)});
    for (const Case& c : cases) {
        OleDate from, to;
        PreviousQuarter(c.today, from, to);
        EXPECT_EQ(from, c.from) << c.today.ToText();
        EXPECT_EQ(to, c.to) << c.today.ToText();
    }
}

TEST(WakParamsValidation, FinishChecksSelectionAndDocumentRange) {
    const OleDate may = OleDate::FromParts(2010, 5, 15, 14, 0);
    const OleDate april = OleDate::FromParts(2010, 4, 2, 9, 0);
    {
        RecordingMessages messages;
        WakImportParams p{{false, false, ExistingMode::Skip}, april, may};
        EXPECT_FALSE(ValidateWakParams(p, messages));
        EXPECT_EQ(messages.shown,
                  (std::vector<ShownMessage>{
                      {"Není vybrán import produktů ani dokladů!", MsgIcon::Exclamation}}));
    }
    {
        // Products only: the dates are neither compared nor changed.
        RecordingMessages messages;
        WakImportParams p{{true, false, ExistingMode::Skip}, may, april};
        EXPECT_TRUE(ValidateWakParams(p, messages));
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(p.from, may);
    }
    {
        RecordingMessages messages;
        WakImportParams p{{true, true, ExistingMode::Skip}, may, april};
        EXPECT_FALSE(ValidateWakParams(p, messages));
        EXPECT_EQ(messages.shown,
                  (std::vector<ShownMessage>{
                      {"Datum od nesmí být větší než datum do!", MsgIcon::Exclamation}}));
    }
    {
        // One day, "od" later in the day than "do": whole days make it valid.
        RecordingMessages messages;
        WakImportParams p{{false, true, ExistingMode::Skip}, may, may.WithTime(8, 0, 0)};
        EXPECT_TRUE(ValidateWakParams(p, messages));
        EXPECT_EQ(p.from, OleDate::FromParts(2010, 5, 15));
        EXPECT_EQ(p.to, OleDate::FromParts(2010, 5, 15, 23, 59, 59));
    }
}

} // namespace
} // namespace tarvo::test
