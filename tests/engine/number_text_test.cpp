// Number conversion of the page's fields.
#include "engine.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace {

const double inf = std::numeric_limits<double>::infinity();

struct Conversion {
    const char* text;
    double value;
    int consumed;  // characters up to the end of the number
};

const Conversion conversions[] = {
    {"", 0, 0},           {"60", 60, 2},          {"60 %", 60, 2},
    {"  71.09", 71.09, 7}, {"\t\n3", 3, 3},        {"abc", 0, 0},
    {"12abc", 12, 2},     {"1,5", 1, 1},          {"+5", 5, 2},
    {"-2.5e-1", -0.25, 7}, {".5", 0.5, 2},         {"5.", 5, 2},
    {".", 0, 0},          {"-", 0, 0},            {"+.", 0, 0},
    {"1e3", 1000, 3},     {"1E+3x", 1000, 4},     {"1e", 1, 1},
    {"1e+", 1, 1},        {"2e-", 2, 1},          {"00012", 12, 5},
    {"1e0005", 1e5, 6},   {"0x10", 0, 1},         {"inf", 0, 0},
    {"INF", 0, 0},        {"NAN", 0, 0},          {"infinity", 0, 0},
    {"+inf", 0, 0},       {"nan", 0, 0},          {"+INF", inf, 4},
    {"-INF", -inf, 4},    {"+INFINITY", inf, 4},  {"1e400", inf, 5},
    {"-1e400", -inf, 6},  {"1e-400", 0, 6},       {"0.000000001e-320", 0, 16},
    {"123456789012345678901234567890", 1.2345678901234568e29, 30},
    {"1e99999999999999999999", inf, 22},
};

TEST(NumberConversion, ReadsTheLeadingDecimalNumber)
{
    for (const Conversion& c : conversions) {
        const char* end = nullptr;
        const double value = ConvertNumber(c.text, &end);
        EXPECT_EQ(value, c.value) << "text \"" << c.text << "\"";
        EXPECT_EQ(end - c.text, c.consumed) << "text \"" << c.text << "\"";
    }
}

TEST(NumberConversion, SignedNanKeepsItsSign)
{
    const double plus = ConvertNumber("+NAN");
    const double minus = ConvertNumber("-NAN5");
    EXPECT_TRUE(std::isnan(plus));
    EXPECT_TRUE(std::isnan(minus));
    EXPECT_FALSE(std::signbit(plus));
    EXPECT_TRUE(std::signbit(minus));
}

TEST(NumberConversion, RoundsLikeACorrectDecimalReader)
{
    // Halfway and near-halfway decimals must land on the nearest double.
    EXPECT_EQ(ConvertNumber("0.1"), 0.1);
    EXPECT_EQ(ConvertNumber("71.09"), 71.09);
    EXPECT_EQ(ConvertNumber("9007199254740993"), 9007199254740992.0);
    EXPECT_EQ(ConvertNumber("2.2250738585072011e-308"), 2.2250738585072011e-308);
}

TEST(TruncationToInt, TruncatesTowardZeroAndSaturates)
{
    EXPECT_EQ(TruncToInt(2.9L), 2);
    EXPECT_EQ(TruncToInt(-2.9L), -2);
    EXPECT_EQ(TruncToInt(2147483647.5L), INT_MAX);
    EXPECT_EQ(TruncToInt(1e300L), INT_MAX);
    EXPECT_EQ(TruncToInt(-1e300L), INT_MIN);
    EXPECT_EQ(TruncToInt(std::numeric_limits<long double>::quiet_NaN()), 0);
    EXPECT_EQ(TruncToInt(std::numeric_limits<long double>::infinity()), INT_MAX);
}

}  // namespace
