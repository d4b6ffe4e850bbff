#include "core/data/codelists.h"
#include "core/data/quantity.h"
#include "core/data/shared.h"
#include "core/data/value.h"
#include "recordingports.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tarvo {
namespace {

Quantity Q(const char* text) {
    return *ParseQuantity(text);
}

struct TextCase {
    const char* value;
    int64_t unit;
    char mode;
    const char* expected;
};

class CurrencyToTextCases : public ::testing::TestWithParam<TextCase> {};

TEST_P(CurrencyToTextCases, FormatsWithDecimalComma) {
    const TextCase& c = GetParam();
    EXPECT_EQ(CurrencyToText(Q(c.value), c.unit, c.mode), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rounding, CurrencyToTextCases,
    ::testing::Values(
        TextCase{"1234.5678", 100, 'M', "1234,57"}, TextCase{"-0.005", 100, 'M', "-0,01"},
        TextCase{"0", 100, 'M', "0,00"}, TextCase{"1234.5678", 1, 'M', "1234,5678"},
        TextCase{"1234.5678", 10000, 'M', "1235"}, TextCase{"1234.4999", 10000, 'M', "1234"},
        TextCase{"1.2345", 100, 'D', "1,23"}, TextCase{"1.2301", 100, 'U', "1,24"},
        TextCase{"1.2300", 100, 'U', "1,23"}, TextCase{"-1.2399", 100, 'U', "-1,23"},
        TextCase{"-1.2399", 100, 'D', "-1,23"}, TextCase{"-1.2350", 100, 'M', "-1,24"},
        TextCase{"1.2399", 100, 'X', "1,23"}, TextCase{"5.5", 0, 'M', "5,5000"},
        // Whole units past 2^32: a 32-bit long (Windows) would cut them.
        TextCase{"5000000000.125", 100, 'M', "5000000000,13"},
        TextCase{"-4294967297.5", 1, 'M', "-4294967297,5000"}));

// A weight keeps every stored decimal: 0,125 kg is not 0,13.
TEST(Quantity, WeightTextKeepsTheStoredDecimals) {
    const std::pair<const char*, const char*> cases[] = {{"0.125", "0,125"},
                                                         {"0.0001", "0,0001"},
                                                         {"12", "12"},
                                                         {"12.5000", "12,5"},
                                                         {"-1.05", "-1,05"},
                                                         {"0", "0"},
                                                         {"1234.5678", "1234,5678"},
                                                         {"5000000000.0625", "5000000000,0625"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(QuantityToText(Q(value)), text) << value;
    EXPECT_EQ(QuantityToText(Quantity::Invalid()), "-");
}

// A number refused only for its size says so; other text asks for a number.
TEST(Quantity, RefusedTextGetsItsReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"922337203685478", "Číslo je příliš velké."},
        {"-99999999999999999999,5", "Číslo je příliš velké."},
        {" 1000000000000000000 ", "Číslo je příliš velké."},
        {"abc", "Zadejte číslo."},
        {"1,23456", "Zadejte číslo."},
        {"1,2,3", "Zadejte číslo."},
        {"", "Zadejte číslo."}};
    for (const auto& [text, message] : cases) {
        EXPECT_FALSE(ParseQuantity(text)) << text;
        EXPECT_EQ(RefusedQuantityMessage(text), message) << text;
    }
    EXPECT_TRUE(ParseQuantity("922337203685477"));
}

TEST(Quantity, InvalidShowsAsDash) {
    EXPECT_EQ(CurrencyToText(Quantity::Invalid(), 100, 'M'), "-");
    EXPECT_EQ(VariantToText(Value(Quantity::Invalid())), "-");
}

TEST(Quantity, ArithmeticTruncatesTowardZero) {
    EXPECT_EQ(CurMul(Q("0.0001"), Q("0.0001")), Q("0"));
    EXPECT_TRUE(CurMul(Q("0.0001"), Q("0.0001")).IsValid());
    EXPECT_EQ(CurMul(Q("2.5"), Q("0.3333")), Q("0.8332"));
    EXPECT_EQ(CurMul(Q("-2.5"), Q("0.3333")), Q("-0.8332"));
    EXPECT_EQ(CurDiv(Q("1"), Q("3")), Q("0.3333"));
    EXPECT_EQ(CurDiv(Q("-1"), Q("3")), Q("-0.3333"));
    EXPECT_EQ(CurDiv(Q("7"), Q("0")), Q("0"));
    EXPECT_TRUE(CurDiv(Q("7"), Q("0")).IsValid());
    // Large scaled operands must not overflow on the way.
    EXPECT_EQ(CurMul(Q("1000000"), Q("1000000")), Quantity::FromUnits(1000000000000));
}

TEST(Quantity, ParsesCommaAndPointAndRejectsTheRest) {
    EXPECT_EQ(ParseQuantity("0,5")->Scaled(), 5000);
    EXPECT_EQ(ParseQuantity(" 12.25 ")->Scaled(), 122500);
    EXPECT_EQ(ParseQuantity("-3")->Scaled(), -30000);
    for (const char* bad : {"", "abc", "1,2,3", "1.23456", "1 000", "--1", ","})
        EXPECT_FALSE(ParseQuantity(bad).has_value()) << bad;
    EXPECT_EQ(QuantityToPlainText(Q("0,5")), "0.5");
    EXPECT_EQ(QuantityToPlainText(Q("-12")), "-12");
    EXPECT_EQ(QuantityToPlainText(Q("-4294967297.25")), "-4294967297.25");
}

TEST(VariantToText, EveryKind) {
    EXPECT_EQ(VariantToText(Value(int16_t{-7})), "-7");
    EXPECT_EQ(VariantToText(Value(int64_t{123456})), "123456");
    EXPECT_EQ(VariantToText(Value(int64_t{-4294967297})), "-4294967297");
    EXPECT_EQ(VariantToText(Value(1.25f)), "1.2");
    EXPECT_EQ(VariantToText(Value(1.255)), "1.25");
    EXPECT_EQ(VariantToText(Value(Q("1234.5678"))), "1234,57");
    EXPECT_EQ(VariantToText(Value(OleDate::FromParts(2012, 3, 5, 14, 30))), "05.03.2012");
    EXPECT_EQ(VariantToText(Value("Paleta")), "Paleta");
    EXPECT_EQ(VariantToText(Value(true)), "ano");
    EXPECT_EQ(VariantToText(Value(false)), "ne");
    EXPECT_EQ(VariantToText(Value()), "");
}

TEST(OleDate, ConversionsAndLiteral) {
    const OleDate d = OleDate::FromParts(2012, 3, 5, 23, 59, 59);
    EXPECT_EQ(d.SqlLiteral(), "#3/5/2012#");
    EXPECT_EQ(d.ToText(), "05.03.2012");
    EXPECT_EQ(d.Hour(), 23);
    EXPECT_EQ(d.Second(), 59);
    EXPECT_EQ(OleDate::FromParts(1899, 12, 30).Value(), 0.0);
    EXPECT_EQ(OleDate::FromParts(1900, 1, 1).Value(), 2.0);
    EXPECT_EQ(OleDate::FromParts(2012, 3, 5).DayNumber(), 40973);
    EXPECT_FALSE(OleDate::FromParts(2013, 2, 29).IsValid());
    EXPECT_FALSE(OleDate::FromParts(2012, 13, 1).IsValid());
    // Before 1899 the fraction counts forward from midnight: -1.25 is 29.12.1899 06:00.
    const OleDate early = OleDate::FromValue(-1.25);
    EXPECT_EQ(early.Day(), 29);
    EXPECT_EQ(early.Hour(), 6);
    EXPECT_EQ(OleDate::FromParts(1899, 12, 29, 6).Value(), -1.25);
    EXPECT_EQ(ParseCzechDate("5.3.2012 14:30").Minute(), 30);
    EXPECT_FALSE(ParseCzechDate("5.3.2012 nonsense").IsValid());
    EXPECT_FALSE(ParseCzechDate("31.4.2012").IsValid());
}

// A date kept for a record is questioned when it is most likely a slip; the
// days count as they are shown, also a moment before midnight.
TEST(OleDate, UnusualDateQuestion) {
    const OleDate now = OleDate::FromParts(2026, 12, 7, 23, 59, 59);
    const OleDate leapDay = OleDate::FromParts(2028, 2, 29, 10);
    const double halfSecond = 0.5 / 86400.0;
    const struct {
        OleDate date;
        OleDate now;
        const char* question; // nullptr: none
    } cases[] = {
        {OleDate::FromParts(1800, 5, 3), now,
         "Zadané datum 03.05.1800 je před rokem 1990. Opravdu?"},
        {OleDate::FromParts(1989, 12, 31, 23, 59, 59), now,
         "Zadané datum 31.12.1989 je před rokem 1990. Opravdu?"},
        // Shown as 01.01.1990.
        {OleDate::FromValue(OleDate::FromParts(1990, 1, 1).Value() - halfSecond / 2), now, nullptr},
        {OleDate::FromParts(1990, 1, 1), now, nullptr},
        {OleDate::FromParts(2027, 12, 7, 23, 59, 59), now, nullptr},
        {OleDate::FromParts(2027, 12, 8), now,
         "Zadané datum 08.12.2027 je více než rok v budoucnosti. Opravdu?"},
        // Shown as 08.12.2027.
        {OleDate::FromValue(OleDate::FromParts(2027, 12, 8).Value() - halfSecond / 2), now,
         "Zadané datum 08.12.2027 je více než rok v budoucnosti. Opravdu?"},
        {OleDate::FromParts(2029, 2, 28), leapDay, nullptr},
        {OleDate::FromParts(2029, 3, 1), leapDay,
         "Zadané datum 01.03.2029 je více než rok v budoucnosti. Opravdu?"},
        {OleDate(), now, nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> question = UnusualDateQuestion(c.date, c.now);
        EXPECT_EQ(question.value_or("none"), c.question ? c.question : "none") << c.date.Value();
    }
}

TEST(WholeDayRange, CoversBothDaysCompletely) {
    OleDate from = OleDate::FromParts(2012, 1, 1, 13, 0);
    OleDate to = OleDate::FromParts(2012, 3, 31, 8, 15);
    WholeDayRange(from, to);
    EXPECT_EQ(from, OleDate::FromParts(2012, 1, 1));
    EXPECT_EQ(to, OleDate::FromParts(2012, 3, 31, 23, 59, 59));
}

TEST(Scrambler, RoundTripsAndRejectsWrongLength) {
    for (const std::string password : {"a", "heslo123", "01234567890123456789", "Žluťoučký"}) {
        const std::string scrambled = ScrambleText(password);
        EXPECT_EQ(scrambled.size(), 40U);
        EXPECT_EQ(scrambled.find_first_not_of("0123456789ABCDEF"), std::string::npos);
        EXPECT_EQ(UnscrambleText(scrambled), password);
    }
    EXPECT_EQ(ScrambleText(""), "");
    EXPECT_EQ(UnscrambleText(""), "");
    EXPECT_EQ(UnscrambleText(std::string(39, 'A')), "");
    EXPECT_EQ(UnscrambleText(std::string(41, 'A')), "");
    // Only the first twenty characters are kept.
    EXPECT_EQ(UnscrambleText(ScrambleText("0123456789012345678901234")), "01234567890123456789");
}

TEST(SplitText, TrimsPiecesAndUpperCasesTheRest) {
    std::vector<std::string> pieces;
    SplitText(";Česká republika ;ČR", ';', pieces);
    EXPECT_EQ(pieces, (std::vector<std::string>{"", "Česká republika", "ČR"}));
    pieces.clear();
    SplitText(" sk ; de ;at", ';', pieces);
    EXPECT_EQ(pieces, (std::vector<std::string>{"sk", "de", "AT"}));
    pieces.clear();
    SplitText("a;", ';', pieces);
    EXPECT_EQ(pieces, (std::vector<std::string>{"a"}));
}

// Plain ASCII takes a short way; both ways give Unicode's capitals.
TEST(ToUpperText, AsciiAndCzechAlike) {
    EXPECT_EQ(ToUpperText("fv-7a `az{ Z"), "FV-7A `AZ{ Z");
    EXPECT_EQ(ToUpperText("žluťoučký kůň ch"), "ŽLUŤOUČKÝ KŮŇ CH");
    EXPECT_EQ(ToUpperText(""), "");
}

TEST(ErrorBoxes, ExactTexts) {
    test::RecordingMessages messages;
    ShowComError(messages, ComError(0x80004005, "Popis"));
    ShowComError(messages, ComError(0x800A03EC, "Popis"), "Předpona");
    ShowErrorCode(messages, 0x2, nullptr);
    ShowSysError(messages, std::error_code(ENOENT, std::generic_category()), "Kopie");
    ShowSysError(messages, std::error_code(99999, std::generic_category()));
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::string>{
                  "Došlo k chybě COM č.0x80004005\n\nPopis",
                  "Předpona\n\nCOM chyba č.0x800A03EC. Popis",
                  "Došlo k chybě č.0x00000002\n\nSystém nemůže nalézt uvedený soubor.",
                  "Kopie\n\nChyba č.2. Systém nemůže nalézt uvedený soubor.",
                  "Došlo k chybě č.99999\n\nNeznámá chyba",
              }));
    for (const auto& m : messages.shown)
        EXPECT_EQ(m.icon, MsgIcon::Error);
}

TEST(CodeLists, LabelsInCodeOrderAndUnknownCodes) {
    EXPECT_EQ(Materials.size, 30);
    EXPECT_EQ(Materials.Label(0), "dřevo");
    EXPECT_EQ(Materials.Label(28), "jiný materiál");
    EXPECT_EQ(Materials.Label(MaterialTextile), "textil");
    EXPECT_EQ(Materials.Label(30), "???");
    EXPECT_EQ(Materials.Label(-1), "???");
    EXPECT_EQ(CoverTypes.Label(3), "průmyslový");
    EXPECT_EQ(Origins.Label(0), "dovezený do ČR");
    EXPECT_EQ(Payments.Label(2), "předplacený");
    EXPECT_EQ(StatCategories.Label(1), "paleta EUR (ČSN 269110)");
    EXPECT_EQ(DiscardKinds.Label(2), "recyklováno");
    EXPECT_EQ(MoveTypes.Label(2), "prodejka");
    EXPECT_EQ(MoveTypes.Label(4), "???");
    const int sizes[] = {CoverTypes.size,     Origins.size,      Payments.size,
                         StatCategories.size, DiscardKinds.size, MoveTypes.size};
    EXPECT_EQ(std::vector<int>(std::begin(sizes), std::end(sizes)),
              (std::vector<int>{4, 3, 3, 4, 3, 4}));
}

TEST(FolderUtilities, CreatePathMakesEveryParent) {
    const std::string base = ::testing::TempDir() + "tarvo-createpath";
    std::filesystem::remove_all(base);
    EXPECT_TRUE(CreatePath(base + "/a/b/c/  "));
    EXPECT_TRUE(DirectoryExists(base + "/a/b/c"));
    EXPECT_TRUE(CreatePath(base + "/a/b/c"));
    EXPECT_FALSE(DirectoryExists(base + "/missing"));
    std::filesystem::remove_all(base);
}

} // namespace
} // namespace tarvo
