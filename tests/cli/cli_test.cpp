// Runs the built vornik as a user would and checks its bytes, messages and
// exit status.
#include "run_vornik.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string acetanilide =
    "For C:71.09 H: 6.71 N:10.36 using C, H, N, O\n"
    "C8H9NO               (FW 135.16): C:71.09 H: 6.71 N:10.36 MAX_ERR: 0.00\n"
    "\n";

TEST(Vornik, PrintsTheRunBlock)
{
    Outcome o = RunVornik({"-e", "O", "71.09", "6.71", "10.36"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, acetanilide);
    EXPECT_EQ(o.err, "");

    // Options after the operands, the = form and the short form glued on.
    EXPECT_EQ(RunVornik({"71.09", "6.71", "10.36", "--elements=o"}).out, acetanilide);
    EXPECT_EQ(RunVornik({"-eO", "71.09", "6.71", "10.36", "--max-c", "20"}).out, acetanilide);
}

TEST(Vornik, CrlfGivesTheWindowsBytes)
{
    Outcome o = RunVornik({"--crlf", "-e", "O", "71.09", "6.71", "10.36"});
    std::string expected;
    for (char c : acetanilide) {
        if (c == '\n')
            expected += '\r';
        expected += c;
    }
    EXPECT_EQ(o.out, expected);
}

TEST(Vornik, NotFoundExitsWithOne)
{
    Outcome o = RunVornik({"68.85", "4.95", "0"});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "For C:68.85 H: 4.95 N: 0.00 using C, H, N\nNOT FOUND\n\n");
}

TEST(Vornik, HelpAndVersion)
{
    Outcome o = RunVornik({"--version"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "vornik 1.0.4\n");
    o = RunVornik({"-h"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out.rfind("Usage: vornik [options] C H N\n", 0), 0u);
}

TEST(Vornik, RefusesBadInputWithOneLine)
{
    struct Case { std::vector<std::string> args; const char* says; };
    const Case cases[] = {
        {{}, "expected three percentages C H N, got 0"},
        {{"71.09", "6.71"}, "got 2"},
        {{"1", "2", "3", "4"}, "got 4"},
        {{"71.09x", "6.71", "10.36"}, "C percentage '71.09x' is not a number"},
        {{"", "6.71", "10.36"}, "C percentage '' is not a number"},
        {{"71", "abc", "1"}, "H percentage 'abc' is not a number"},
        {{"71", "5", "+NAN"}, "N percentage '+NAN' is not a finite number"},
        {{"+INF", "5", "1"}, "is not a finite number"},
        {{"1e300", "5", "1"}, "C percentage '1e300' is outside 0 to 100"},
        {{"-1", "5", "1"}, "C percentage '-1' is outside 0 to 100"},
        {{"50", "-0.5", "1"}, "H percentage '-0.5' is outside 0 to 100"},
        {{"0.5", "5", "1"}, "C percentage '0.5' is below 1"},
        {{"--max-c", "0", "71", "5", "1"}, "--max-c '0' is below 1"},
        {{"--max-c", "ten", "71", "5", "1"}, "--max-c 'ten' is not a number"},
        {{"--max-fw", "11.9", "71", "5", "1"}, "--max-fw '11.9' is below 12"},
        {{"--max-fw=", "71", "5", "1"}, "--max-fw '' is not a number"},
        {{"-e", "O,Xe", "71", "5", "1"}, "unknown element 'Xe' in --elements"},
        {{"-e", "O,", "71", "5", "1"}, "unknown element ''"},
        {{"--max-c", "5", "--max-c", "6", "71", "5", "1"}, "option --max-c is given twice"},
        {{"--max-fw"}, "option --max-fw needs a value"},
        {{"--frobnicate", "71", "5", "1"}, "unknown option '--frobnicate'"},
        {{"-x", "71", "5", "1"}, "unknown option '-x'"},
        {{std::string(5000, '7'), "5", "1"}, "'77777777777777777777777777777777...' (5000 characters) is not a finite"},
        {{"\xe7\xa9\xba", "5", "1"}, "is not a number"},
        // "-1" after "--" is an operand, refused for its value.
        {{"--", "-1", "5", "1"}, "C percentage '-1' is outside"},
    };
    for (const Case& c : cases)
        ExpectRefused(c.args, c.says);
}

TEST(Vornik, InterruptPrintsTheLinesFoundSoFar)
{
    // A search that runs for a long time without finding anything: limits
    // far beyond any analysis.
    Outcome o = RunVornik({"--max-c", "1e9", "--max-fw", "1e12", "40", "6.7", "0"}, 400);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "For C:40.00 H: 6.70 N: 0.00 using C, H, N\nNOT FOUND\n\n");
    EXPECT_NE(o.err.find("interrupted"), std::string::npos) << o.err;
    // The block ends with its empty line, unless its lines filled the log.
    if (o.err.find("filled the log") == std::string::npos) {
        EXPECT_EQ(o.out.substr(o.out.size() - 2), "\n\n");
    }
}

}  // namespace
