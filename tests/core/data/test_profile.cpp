#include "core/data/profile.h"
#include "testdatabase.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

TEST(Profile, MissingFileOrKeyGivesTheDefault) {
    TempFolder folder;
    const Profile profile(folder.File("tarvo.ini"));
    EXPECT_EQ(profile.GetString("Moznosti", "Cokoliv", "výchozí"), "výchozí");
    EXPECT_EQ(profile.GetInt("Moznosti", "UpdateProdCover", 1), 1);
    EXPECT_FALSE(std::filesystem::exists(folder.File("tarvo.ini")));
}

TEST(Profile, SectionsAndKeysIgnoreCaseAndValuesAreTrimmedAndCut) {
    TempFolder folder;
    WriteFile(folder.File("tarvo.ini"), "; komentář\r\n[Spolecnost]\r\nNazev = Kolmara s.r.o. \r\n"
                                        "ICO=\"12345678\"\r\n[Import]\r\nProdukty=0\r\n"
                                        "Existujici zaznamy=2 a víc\r\nVydaje=x\r\n");
    const Profile profile(folder.File("tarvo.ini"));
    EXPECT_EQ(profile.GetString("SPOLECNOST", "nazev"), "Kolmara s.r.o.");
    EXPECT_EQ(profile.GetString("Spolecnost", "ICO"), "12345678");
    EXPECT_EQ(profile.GetString("Spolecnost", "Nazev", "", 4), "Kolm");
    EXPECT_EQ(profile.GetString("Import", "Nazev", "nic"), "nic");
    EXPECT_EQ(profile.GetInt("import", "PRODUKTY", 1), 0);
    EXPECT_EQ(profile.GetInt("Import", "Existujici zaznamy", 1), 2);
    EXPECT_EQ(profile.GetInt("Import", "Vydaje", 1), 1);
}

TEST(Profile, WriteCreatesFileAndSectionAndKeepsTheRest) {
    TempFolder folder;
    Profile profile(folder.File("tarvo.ini"));
    ASSERT_TRUE(profile.WriteString("Zalohovani", "Posledni zaloha", "/data/Zalohy/Záloha.mdb"));
    ASSERT_TRUE(profile.WriteInt("Moznosti", "UpdateMoveCover", 0));
    ASSERT_TRUE(profile.WriteInt("moznosti", "UpdateProdCover", 1));
    ASSERT_TRUE(profile.WriteString("ZALOHOVANI", "posledni ZALOHA", "/jinam.mdb"));
    EXPECT_EQ(ReadFile(folder.File("tarvo.ini")), "[Zalohovani]\nposledni ZALOHA=/jinam.mdb\n\n"
                                                  "[Moznosti]\nUpdateMoveCover=0\n"
                                                  "UpdateProdCover=1\n");
    EXPECT_EQ(profile.GetString("Zalohovani", "Posledni zaloha"), "/jinam.mdb");
}

TEST(Profile, LegacyWindows1250FileIsReadAndRewrittenAsUtf8) {
    TempFolder folder;
    // "Žlutý kůň" and "Č" in Windows-1250.
    WriteFile(folder.File("tarvo.ini"), "[Spolecnost]\r\nNazev=\x8Elut\xFD k\xF9\xF2\r\nObec=\xC8"
                                        "esk\xE1 L\xEDpa\r\n");
    Profile profile(folder.File("tarvo.ini"));
    EXPECT_EQ(profile.GetString("Spolecnost", "Nazev"), "Žlutý kůň");
    ASSERT_TRUE(profile.WriteString("Spolecnost", "Ulice", "Dlouhá"));
    EXPECT_EQ(profile.GetString("Spolecnost", "Nazev"), "Žlutý kůň");
    EXPECT_EQ(ReadFile(folder.File("tarvo.ini")),
              "[Spolecnost]\nNazev=Žlutý kůň\nObec=Česká Lípa\nUlice=Dlouhá\n");
}

} // namespace
} // namespace tarvo
