#include "moon/MoonReport.h"
#include "settings/Convert.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace vx {
namespace {

TEST(Convert, WholeNumbersRoundHalfToEvenAndRefuseWhatIsNotANumber)
{
    constexpr long long kMax = std::numeric_limits<long long>::max();
    constexpr long long kMin = std::numeric_limits<long long>::min();
    const struct {
        const char* text;
        std::optional<long long> expected;
    } cases[] = {
        {"1185.5", 1186}, {"1184.5", 1184}, {"-0.5", 0}, {"-1.5", -2}, {"2.5", 2}, {"2.51", 3}, {"-2.49", -2},
        {" 42 ", 42}, {"\t-300\t", -300}, {"+7", 7}, {".5", 0}, {".51", 1}, {"5.", 5}, {"0.9", 1},
        {"0.49999999999999999999", 0}, {"0.50000000000000000001", 1}, {"00000000000000000000000001", 1},
        {"1e3", 1000}, {"1.5E+1", 15}, {"25e-1", 2}, {"35e-1", 4}, {"1e-99999999999999999999", 0},
        {"9223372036854775807", kMax}, {"-9223372036854775808", kMin}, {"9223372036854775807.5", std::nullopt},
        {"9223372036854775808", std::nullopt}, {"1e19", std::nullopt}, {"1e99999999999999999999", std::nullopt},
        {"", std::nullopt}, {" ", std::nullopt}, {"abc", std::nullopt}, {"12abc", std::nullopt},
        {"1 2", std::nullopt}, {"1e", std::nullopt}, {"e5", std::nullopt}, {".", std::nullopt},
        {"-", std::nullopt}, {"--1", std::nullopt}, {"0x10", std::nullopt}, {"1,5", std::nullopt},
        {"nan", std::nullopt}, {"inf", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToWholeNumber(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Convert, BooleansAcceptWordsInAnyCaseOrNumbers)
{
    const struct {
        const char* text;
        std::optional<bool> expected;
    } cases[] = {
        {"True", true}, {"false", false}, {"TRUE", true}, {" False ", false}, {"0", false}, {"1", true},
        {"-1", true}, {"0.0", false}, {"0.4", true}, {"1e400", true}, {"yes", std::nullopt},
        {"", std::nullopt}, {"Truee", std::nullopt}, {"T", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToBoolean(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Convert, SingleTextHasSevenSignificantDigitsAtMost)
{
    const struct {
        double value;
        const char* expected;
    } cases[] = {
        {1185, "1185"}, {-300, "-300"}, {1185.5, "1185.5"}, {0, "0"}, {-0.0, "0"}, {0.5, "0.5"},
        {0.1, "0.1"}, {-1234.567, "-1234.567"}, {9999999, "9999999"}, {1e7, "1E+07"},
        {16777217, "1.677722E+07"}, {123456789, "1.234568E+08"}, {0.0001, "0.0001"}, {0.00001, "1E-05"},
        {-0.000015, "-1.5E-05"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SingleText(c.value), c.expected) << c.value;
}

// Window positions are saved with SingleText and read back with ToWholeNumber.
TEST(Convert, EveryTwipPositionSurvivesTheRoundTrip)
{
    for (long long twips = -200000; twips <= 200000; ++twips)
        ASSERT_EQ(ToWholeNumber(SingleText(static_cast<double>(twips))), twips);
}

// Qt puts the C library into the user's locale; numbers in files and in the report keep their ".".
TEST(Convert, NumberTextsAreTheSameUnderALocaleWithADecimalComma)
{
    const double values[] = {18510, 15, 1185.5, -1234.567, 16777217, 0.00001, 12.3456, 29.530588, 5.78e-05};
    const auto texts = [&values] {
        std::vector<std::string> out;
        for (double v : values)
            out.push_back(SingleText(v) + " " + NumberText(v) + " " + AgeText(v));
        return out;
    };
    const std::vector<std::string> plain = texts();
    // Made with localedef where the system has no such locale.
#ifdef _WIN32
    const char* german = "German_Germany.1252";
#else
    const char* german = "de_DE.UTF-8";
    test::TempDir made;
    if (!std::setlocale(LC_ALL, german)) {
        (void)!std::system(("localedef -i de_DE -f UTF-8 " + made.file("de_DE.UTF-8") + " >/dev/null 2>&1").c_str());
        ::setenv("LOCPATH", made.str().c_str(), 1);
    }
#endif
    if (!std::setlocale(LC_ALL, german) || std::string(std::localeconv()->decimal_point) != ",")
        GTEST_SKIP() << "no de_DE.UTF-8 locale with its decimal comma, and localedef could not make one";
    const std::vector<std::string> comma = texts();
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(comma, plain);
    EXPECT_EQ(plain[0], "18510 18510 1851");
}

} // namespace
} // namespace vx
