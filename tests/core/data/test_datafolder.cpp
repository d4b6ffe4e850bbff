#include "core/data/datafolder.h"
#include "core/data/profile.h"
#include "core/data/shared.h"
#include "core/setup/datafoldersetup.h"
#include "core/setup/firststart.h"
#include "testdatabase.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace tarvo {
namespace {

using test::TempFolder;

// Sets an environment variable for the life of the object (an empty value
// removes it).
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        Set(value);
    }
    ~ScopedEnv() { Set(m_old.value_or("")); }

private:
    void Set(const std::string& value) {
#ifdef _WIN32
        _putenv_s(m_name, value.c_str());
#else
        if (value.empty())
            unsetenv(m_name);
        else
            setenv(m_name, value.c_str(), 1);
#endif
    }

    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(DataFolder, ResolutionOrder) {
    TempFolder portable;
    TempFolder home;
    TempFolder chosen;
    ScopedEnv noEnv("TARVO_DATA_DIR", "");
#ifdef _WIN32
    ScopedEnv appData("APPDATA", home.Path().string());
    const std::string user = home.Path().generic_string() + "/Kolmara/Tarvo/";
#else
    ScopedEnv homeEnv("HOME", home.Path().string());
    ScopedEnv noXdg("XDG_DATA_HOME", "");
    const std::string user = home.Path().string() + "/.local/share/Kolmara/Tarvo/";
#endif

    EXPECT_EQ(ResolveDataFolder(chosen.Path().string(), portable.Path().string()).folder,
              chosen.Folder());
    // Without Tarvo.mdb beside the program, the per-user folder.
    EXPECT_EQ(ResolveDataFolder(std::nullopt, portable.Path().string()).folder, user);
    test::WriteFile(portable.File("Tarvo.mdb"), "");
    EXPECT_EQ(ResolveDataFolder(std::nullopt, portable.Path().string()).folder, portable.Folder());
    {
        ScopedEnv env("TARVO_DATA_DIR", chosen.Path().string());
        EXPECT_EQ(ResolveDataFolder(std::nullopt, portable.Path().string()).folder,
                  chosen.Folder());
    }
}

#ifdef _WIN32
TEST(DataFolder, InstalledResourceFolderIsTheProgramsFolder) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Program Files\\Tarvo", "C:/Program Files/Tarvo/"},
        {"C:/Program Files/Tarvo/", "C:/Program Files/Tarvo/"},
        {"", ""},
    };
    for (const auto& [exe, resources] : cases)
        EXPECT_EQ(InstalledResourceFolder(exe), resources) << exe;
#else
TEST(DataFolder, InstalledResourceFolderIsShareBesideBin) {
    const std::pair<std::string, std::string> cases[] = {
        {"/usr/bin", "/usr/share/tarvo/"},
        {"/usr/bin/", "/usr/share/tarvo/"},
        {"/opt/tarvo/bin/../bin", "/opt/tarvo/share/tarvo/"},
        {"/", "/share/tarvo/"},
        {"", ""},
    };
    for (const auto& [exe, resources] : cases)
        EXPECT_EQ(InstalledResourceFolder(exe), resources) << exe;
    // A relative folder is taken from the working folder.
    EXPECT_EQ(InstalledResourceFolder("bin"),
              (std::filesystem::current_path() / "share/tarvo/").string());
#endif

    // Every way of finding the data folder keeps the program's resources.
    TempFolder portable;
    test::WriteFile(portable.File("Tarvo.mdb"), "");
    const std::string installed = InstalledResourceFolder(portable.Path().string());
    EXPECT_EQ(ResolveDataFolder(std::string("/srv/tarvo"), portable.Path().string()).resources,
              installed);
    EXPECT_EQ(ResolveDataFolder(std::nullopt, portable.Path().string()).resources, installed);
}

TEST(DataFolder, NewFolderGetsAnEmptyDatabaseExistingOneMustHaveIt) {
    TempFolder base;
    const DataFolder fresh{base.Folder() + "a/b/"};
    EXPECT_EQ(PrepareDataFolder(fresh), PrepareResult::Created);
    test::RecordingMessages messages;
    CDataStore store(messages);
    store.SetDatabasePath(fresh.DatabasePath());
    EXPECT_TRUE(store.OpenDatabase());
    EXPECT_EQ(PrepareDataFolder(fresh), PrepareResult::Ready);

    const DataFolder existing{base.Folder()};
    EXPECT_EQ(PrepareDataFolder(existing), PrepareResult::MissingDatabase);
    EXPECT_FALSE(std::filesystem::exists(existing.DatabasePath()));
}

// One record of any register, deleted or not, ends the first start; the
// guide's switch is on until it was stored off, whatever else the file says.
TEST(FirstStart, AnyRecordEndsItAndTheGuideIsOnUntilSwitchedOff) {
    for (const char* insert : {"INSERT INTO Cover (cover_name, deleted) VALUES ('x', 1)",
                               "INSERT INTO CompCover (ccover_name) VALUES ('x')",
                               "INSERT INTO Product (prod_name, deleted) VALUES ('x', 1)",
                               "INSERT INTO Move (move_num) VALUES ('x')"}) {
        test::TestDatabase db;
        EXPECT_TRUE(HoldsNoRecords(db.store));
        db.Run(insert);
        EXPECT_FALSE(HoldsNoRecords(db.store)) << insert;
    }
    TempFolder folder;
    Profile profile(folder.File("tarvo.ini"));
    EXPECT_TRUE(LoadGuideChoice(profile));
    test::WriteFile(profile.Path(), "[Zaciname]\nZobrazovat=-1\n");
    EXPECT_TRUE(LoadGuideChoice(profile));
    ASSERT_TRUE(StoreGuideChoice(profile, false));
    EXPECT_FALSE(LoadGuideChoice(profile));
    ASSERT_TRUE(StoreGuideChoice(profile, true));
    EXPECT_EQ(test::ReadFile(profile.Path()), "[Zaciname]\nZobrazovat=1\n");
}

TEST(Cli, InitRefusesAnExistingDatabaseAndInfoCountsRows) {
    const char* cli = std::getenv("TARVO_CLI");
    if (!cli)
        GTEST_SKIP() << "TARVO_CLI is set by CTest";
    TempFolder base;
    const std::string dir = base.Folder() + "data";
    const auto run = [&](const std::string& args) {
        return test::RunShell(Format("'%s' --data-dir '%s' %s >'%s' 2>'%s'", cli, dir.c_str(),
                                     args.c_str(), base.File("out").c_str(),
                                     base.File("err").c_str()));
    };
    EXPECT_EQ(run("init"), 0);
    EXPECT_EQ(run("init"), 1);
    const std::string database = dir + "/Tarvo.mdb";
    EXPECT_EQ(test::ReadFile(base.File("err")),
              "Databáze '" + database + "' již existuje, inicializace ji nepřepíše.\n");
    EXPECT_EQ(run("info"), 0);
    const std::string info = test::ReadFile(base.File("out"));
    EXPECT_NE(info.find("Move_Cover       0\n"), std::string::npos) << info;
    EXPECT_EQ(run("info --bogus"), 2);

    std::filesystem::remove(dir + "/Tarvo.mdb");
    EXPECT_EQ(run("info"), 1);
    EXPECT_EQ(test::ReadFile(base.File("err")), "Nemohu otevřít databázi '" + database + "'\n");
}

TEST(Cli, VersionIsTheBuildsAndTouchesNoDataFolder) {
    const char* cli = std::getenv("TARVO_CLI");
    if (!cli)
        GTEST_SKIP() << "TARVO_CLI is set by CTest";
    TempFolder base;
    const std::string dir = base.Folder() + "data";
    for (const char* args : {"--version", "--version init"}) {
        const std::string line = Format("'%s' --data-dir '%s' %s >'%s' 2>&1", cli, dir.c_str(),
                                        args, base.File("out").c_str());
        EXPECT_EQ(test::RunShell(line), 0) << args;
        EXPECT_EQ(test::ReadFile(base.File("out")), "tarvo-cli " TARVO_VERSION "\n") << args;
        EXPECT_FALSE(std::filesystem::exists(dir)) << args;
    }
}

} // namespace
} // namespace tarvo
