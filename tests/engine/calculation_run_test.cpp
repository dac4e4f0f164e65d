// The calculation run: settings from the field texts, the header, the run
// decision, the block on top of the log and the log's capacity.
#include "test_hooks.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>

namespace {

class CalculationRun : public ::testing::Test {
protected:
    void SetUp() override { ResetEngineState(); }
};

const char* const acetanilideLine =
    "C8H9NO               (FW 135.16): C:71.09 H: 6.71 N:10.36 MAX_ERR: 0.00\r\n";

TEST_F(CalculationRun, AcetanilideWithOxygen)
{
    EXPECT_EQ(RunBlock(MakeInputs("71.09", "6.71", "10.36", "O")),
              std::string("For C:71.09 H: 6.71 N:10.36 using C, H, N, O\r\n") +
                  acetanilideLine + "\r\n");
    EXPECT_EQ(resultsUnsaved, 1);
}

TEST_F(CalculationRun, HeaderListsThePermittedElementsInOrder)
{
    RunBlock(MakeInputs("60", "5", "10", "S Br"));
    EXPECT_EQ(std::string(ResultsLog).substr(0, 51),
              "For C:60.00 H: 5.00 N:10.00 using C, H, N, Br, S\r\nN");
    RunBlock(MakeInputs("60", "5", "10", "Br Cl F I O S", "3"));
    EXPECT_EQ(std::string(ResultsLog).substr(0, 63),
              "For C:60.00 H: 5.00 N:10.00 using C, H, N, Br, Cl, F, I, O, S\r\n");
}

TEST_F(CalculationRun, NotFoundBlockStandsAboveTheOldText)
{
    std::strcpy(ResultsLog, "typed by the user\r\n");
    ASSERT_TRUE(RunCalculation(MakeInputs("68.85", "4.95", ""), nullptr, nullptr));
    EXPECT_STREQ(ResultsLog,
                 "For C:68.85 H: 4.95 N: 0.00 using C, H, N\r\nNOT FOUND\r\n\r\n"
                 "typed by the user\r\n");
    ASSERT_TRUE(RunCalculation(MakeInputs("71.09", "6.71", "10.36", "O"), nullptr, nullptr));
    EXPECT_EQ(std::string(ResultsLog),
              std::string("For C:71.09 H: 6.71 N:10.36 using C, H, N, O\r\n") +
                  acetanilideLine + "\r\n" +
                  "For C:68.85 H: 4.95 N: 0.00 using C, H, N\r\nNOT FOUND\r\n\r\n"
                  "typed by the user\r\n");
    EXPECT_EQ(RunLines[0], '\0');
}

int notifications;
void CountNotification() { ++notifications; }

TEST_F(CalculationRun, WhenARunTakesPlace)
{
    struct Case { const char *c, *h, *n; bool runs; };
    const Case cases[] = {
        {"", "", "", false},        {"0.99", "7", "3", false},
        {"-0.99", "", "", false},   {"1", "", "", true},
        {"-1", "", "", true},       {"abc", "5", "5", false},
        {"1.5 %", "", "", true},    {"1e1", "", "", true},
        // Outside the 32-bit range (NaN, infinities, 2^31 and more) in any
        // of the three fields: turned away.
        {"+INF", "", "", false},    {"-INF", "", "", false},
        {"+NAN", "", "", false},    {"1e300", "", "", false},
        {"2147483648", "", "", false}, {"50", "+NAN", "", false},
        {"50", "", "-1e10", false}, {"2147483647", "", "", true},
    };
    for (const Case& c : cases) {
        ResetEngineState();
        std::strcpy(ResultsLog, "old");
        notifications = 0;
        const bool ran =
            RunCalculation(MakeInputs(c.c, c.h, c.n), CountNotification, CountNotification);
        SCOPED_TRACE(testing::Message() << "C '" << c.c << "' H '" << c.h << "' N '" << c.n << "'");
        EXPECT_EQ(ran, c.runs);
        EXPECT_EQ(resultsUnsaved, c.runs ? 1 : 0);
        EXPECT_EQ(notifications, c.runs ? 2 : 0);
        EXPECT_LT(std::strlen(LineBuffer), LineBufferSize);
        if (!c.runs) {
            EXPECT_STREQ(ResultsLog, "old");
        }
    }
}

TEST_F(CalculationRun, NegativeAndImpossiblePercentagesFindNothing)
{
    for (const char* h : {"-1", "-0.3", "150"}) {
        const std::string block = RunBlock(MakeInputs("50", h, "5"));
        EXPECT_EQ(block.find("\r\nNOT FOUND\r\n\r\n"), block.find("\r\n"))
            << "H " << h;
    }
}

TEST_F(CalculationRun, LimitDefaults)
{
    struct Case { const char* text; double maxCarbon, maxFW; };
    const Case cases[] = {
        {"", 20, 800},       {"0", 20, 800},     {"0.5", 20, 800},
        {"abc", 20, 800},    {"-4", 20, 800},    {"+NAN", 20, 800},
        {"1", 1, 800},       {"11.5", 11.5, 800}, {"12", 12, 12},
        {"12.9", 12.9, 12.9},
    };
    for (const Case& c : cases) {
        RunInputs in = MakeInputs("", "", "");  // no run: settings only
        in.textMaxC = c.text;
        in.textMaxFW = c.text;
        EXPECT_FALSE(RunCalculation(in, nullptr, nullptr));
        EXPECT_EQ(SearchSettings.maxCarbon, c.maxCarbon) << c.text;
        EXPECT_EQ(SearchSettings.maxFormulaWeight, c.maxFW) << c.text;
    }
}

TEST_F(CalculationRun, CancelledRunKeepsTheLinesFoundSoFar)
{
    const std::string full = RunBlock(MakeInputs("40", "6.7", "", "O S", "12"));
    const std::size_t firstLine = full.find("\r\n") + 2;
    const std::size_t secondLine = full.find("\r\n", firstLine) + 2;
    const std::size_t thirdLine = full.find("\r\n", secondLine) + 2;
    ASSERT_NE(full.find("MAX_ERR", thirdLine), std::string::npos) << full;

    ResetEngineState();
    hooks.cancelAtAccepted = 2;
    EXPECT_EQ(RunBlock(MakeInputs("40", "6.7", "", "O S", "12")),
              full.substr(0, thirdLine) + "\r\n");

    ResetEngineState();
    hooks.cancelAtPump = 1;
    EXPECT_EQ(RunBlock(MakeInputs("40", "6.7", "", "O S", "12")),
              full.substr(0, firstLine) + "NOT FOUND\r\n\r\n");
}

TEST_F(CalculationRun, LogAtCapacityLosesItsEnd)
{
    std::memset(ResultsLog, 'x', LogCapacity);
    ResultsLog[LogCapacity] = '\0';
    ASSERT_TRUE(RunCalculation(MakeInputs("71.09", "6.71", "10.36", "O"), nullptr, nullptr));
    const std::string log = ResultsLog;
    const std::string block =
        std::string("For C:71.09 H: 6.71 N:10.36 using C, H, N, O\r\n") +
        acetanilideLine + "\r\n";
    EXPECT_EQ(log.size(), LogCapacity);
    EXPECT_EQ(log.substr(0, block.size()), block);
    EXPECT_EQ(log.find_first_not_of('x', block.size()), std::string::npos);
}

TEST_F(CalculationRun, HugeCarbonMaximumSaturates)
{
    RunInputs in = MakeInputs("", "", "");
    in.textMaxC = "1e300";
    RunCalculation(in, nullptr, nullptr);
    SetDerivedSettings();
    EXPECT_EQ(SearchSettings.maxCarbonCount, INT_MAX);
    in.textMaxC = "+INF";
    RunCalculation(in, nullptr, nullptr);
    EXPECT_TRUE(std::isinf(SearchSettings.maxCarbon));
}

TEST(Formatting, PrintfRoundsCorrectly)
{
    // The run's figures must not go through a formatter that rounds ties
    // away from zero: 0.125 prints as 0.12.
    char text[32];
    std::snprintf(text, sizeof text, "%5.2f|%6.2f|%5.2f", 0.125, 135.165, 2.675);
    EXPECT_STREQ(text, " 0.12|135.16| 2.67");
}

}  // namespace
