// vornik under malformed arguments: every one is refused with exit status
// 2, nothing on stdout and a one-line message on stderr, never a crash.
#include "run_vornik.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Args(std::initializer_list<std::string> words)
{
    return words;
}

TEST(VornikBadInput, RefusedWithStatusTwoAndOneLine)
{
    const std::string longDigits(100000, '9');
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    const std::vector<Case> cases = {
        // NaN and infinity in the forms the C library would read, and in
        // the signed forms the page's conversion reads.
        {Args({"nan", "5", "1"}), "C percentage 'nan' is not a number"},
        {Args({"inf", "5", "1"}), "C percentage 'inf' is not a number"},
        {Args({"infinity", "5", "1"}), "'infinity' is not a number"},
        {Args({"NaN", "5", "1"}), "'NaN' is not a number"},
        {Args({"--", "-INF", "5", "1"}), "C percentage '-INF' is not a finite number"},
        {Args({"--", "71", "5", "-NAN"}), "N percentage '-NAN' is not a finite number"},
        {Args({"-INF", "5", "1"}), "unknown option '-INF'"},  // no "--" before it
        {Args({"71", "+INF", "1"}), "H percentage '+INF' is not a finite number"},
        // Huge exponents, long digit strings.
        {Args({"1e99999", "5", "1"}), "C percentage '1e99999' is not a finite number"},
        {Args({"1e-99999", "5", "1"}), "C percentage '1e-99999' is below 1"},
        {Args({"71", "5", "1", "--max-fw", "1e999"}), "--max-fw '1e999' is not a finite number"},
        {Args({"71", "5", "1", "--max-c", longDigits}), "(100000 characters) is not a finite number"},
        {Args({"71", "5", "1", "--max-c=" + longDigits + "x"}), "(100001 characters) is not a number"},
        // Other non-numbers.
        {Args({"0x47", "5", "1"}), "C percentage '0x47' is not a number"},
        {Args({"71", "   ", "1"}), "H percentage '   ' is not a number"},
        {Args({"71.09 %", "5", "1"}), "'71.09 %' is not a number"},
        {Args({"71,09", "5", "1"}), "'71,09' is not a number"},
        {Args({"-", "5", "1"}), "C percentage '-' is not a number"},
        {Args({"71", "5", "1", "--max-c", "+NAN"}), "--max-c '+NAN' is not a finite number"},
        {Args({"71", "5", "1", "--max-c="}), "--max-c '' is not a number"},
        // Out of range and negative.
        {Args({"100.01", "5", "1"}), "C percentage '100.01' is outside 0 to 100"},
        {Args({"71", "5", "-0.01"}), "N percentage '-0.01' is outside 0 to 100"},
        {Args({"--max-c", "-4", "71", "5", "1"}), "--max-c '-4' is below 1"},
        {Args({"--max-fw", "-800", "71", "5", "1"}), "--max-fw '-800' is below 12"},
        // Non-ASCII text (UTF-8 and code page 932 bytes) and unknown elements.
        {Args({"\xef\xbc\x97\xef\xbc\x91", "5", "1"}), "is not a number"},
        {Args({"71", "\x82\x54", "1"}), "H percentage"},
        {Args({"-e", "\xc3\xa9", "71", "5", "1"}), "unknown element"},
        {Args({"-e", "Na", "71", "5", "1"}), "unknown element 'Na'"},
        {Args({"-e", "C", "71", "5", "1"}), "unknown element 'C'"},
        {Args({"-e", std::string(100000, 'O'), "71", "5", "1"}), "(100000 characters)"},
        {Args({"--\xe7\xa9\xba", "71", "5", "1"}), "unknown option"},
        // Control characters stay inside the one line.
        {Args({"71\n", "5", "1"}), "C percentage '71?' is not a number"},
        {Args({"-e", "O\r\nS", "71", "5", "1"}), "unknown element 'O??S'"},
        // Duplicate options, missing values and operands.
        {Args({"-e", "O", "-e", "S", "71", "5", "1"}), "option --elements is given twice"},
        {Args({"-eO", "--elements=S", "71", "5", "1"}), "option --elements is given twice"},
        {Args({"--max-fw", "500", "71", "5", "1", "--max-fw=600"}), "option --max-fw is given twice"},
        {Args({"71", "5", "1", "-e"}), "option -e needs a value"},
        {Args({"71", "5", "1", "--max-c"}), "option --max-c needs a value"},
        {Args({"--", "71", "5"}), "expected three percentages C H N, got 2"},
        {Args({"", "", ""}), "C percentage '' is not a number"},
        {std::vector<std::string>(10000, "5"), "got 10000"},
    };
    for (const Case& c : cases)
        ExpectRefused(c.args, c.says);
}

}  // namespace
