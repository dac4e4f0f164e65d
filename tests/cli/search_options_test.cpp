// vornik's --complete, --tolerance and --format: what each prints, that
// CSV and JSON read back with standard tools, and the refusals.
#include "run_vornik.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// C18H17N5OS as published: the window's ratio never reaches 18 carbons.
const std::vector<std::string> thiadiazole = {"-e", "O,S", "61.66", "4.45", "20.20"};

const std::string thiadiazoleComplete =
    "For C:61.66 H: 4.45 N:20.20 using C, H, N, O, S\n"
    "C18H15N5OS           (FW 349.41): C:61.87 H: 4.33 N:20.04 MAX_ERR: 0.21\n"
    "C18H15N5O3           (FW 349.34): C:61.89 H: 4.33 N:20.05 MAX_ERR: 0.23\n"
    "C18H17N5O3           (FW 351.36): C:61.53 H: 4.88 N:19.93 MAX_ERR: 0.43\n"
    "C18H17N5OS           (FW 351.43): C:61.52 H: 4.88 N:19.93 MAX_ERR: 0.43\n"
    "\n";

std::vector<std::string> With(std::vector<std::string> args,
                              const std::vector<std::string>& more)
{
    args.insert(args.begin(), more.begin(), more.end());
    return args;
}

TEST(VornikComplete, ListsWhatTheWindowMissesInErrorOrder)
{
    Outcome window = RunVornik(thiadiazole);
    EXPECT_EQ(window.status, 1);
    Outcome o = RunVornik(With(thiadiazole, {"--complete"}));
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, thiadiazoleComplete);
    EXPECT_EQ(o.err, "");
    // The window's own find is in the complete list too, line for line.
    Outcome complete = RunVornik({"--complete", "-e", "O", "71.09", "6.71", "10.36"});
    EXPECT_NE(complete.out.find(
                  "C8H9NO               (FW 135.16): C:71.09 H: 6.71 N:10.36 MAX_ERR: 0.00\n"),
              std::string::npos);
}

TEST(VornikTolerance, NarrowsAndWidensBothSearches)
{
    // 0.3 keeps the two formulas within 0.3 points.
    Outcome narrow = RunVornik(With(thiadiazole, {"--complete", "--tolerance", "0.3"}));
    EXPECT_EQ(narrow.out,
              "For C:61.66 H: 4.45 N:20.20 using C, H, N, O, S\n"
              "C18H15N5OS           (FW 349.41): C:61.87 H: 4.33 N:20.04 MAX_ERR: 0.21\n"
              "C18H15N5O3           (FW 349.34): C:61.89 H: 4.33 N:20.05 MAX_ERR: 0.23\n"
              "\n");
    // The window at its default is unchanged by an explicit 0.51; a wider
    // tolerance lets it find formulas that it otherwise misses.
    EXPECT_EQ(RunVornik({"--tolerance=0.51", "-e", "O", "71.09", "6.71", "10.36"}).out,
              RunVornik({"-e", "O", "71.09", "6.71", "10.36"}).out);
    Outcome wide = RunVornik(With(thiadiazole, {"--tolerance", "1.2"}));
    EXPECT_EQ(wide.status, 0) << wide.out;
}

// Runs a Python check over a file; the check exits non-zero on a mismatch.
void CheckWithPython(const std::string& script, const std::string& file)
{
    const std::string scriptPath = WriteTempFile("check.py", script);
    const std::string command = "python3 " + scriptPath + " " + file + " 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

TEST(VornikFormats, CsvAndJsonReadBackToTheTextLines)
{
    const std::vector<std::string> args = With(thiadiazole, {"--complete"});
    const std::string csvPath =
        WriteTempFile("out.csv", RunVornik(With(args, {"--format", "csv"})).out);
    const std::string jsonPath =
        WriteTempFile("out.json", RunVornik(With(args, {"--format=json"})).out);
    const std::string textPath = WriteTempFile("out.txt", thiadiazoleComplete);
    // Each format's numbers, printed as the text line prints them, give the
    // text output's lines.
    const std::string script =
        "import csv, json, sys\n"
        "text = open(sys.argv[3]).read().split('\\n')[1:-2]\n"
        "def line(f, fw, c, h, n, e):\n"
        "    return '%-20s (FW %6.2f): C:%5.2f H:%5.2f N:%5.2f MAX_ERR:%5.2f' % (f, fw, c, h, n, e)\n"
        "rows = list(csv.DictReader(open(sys.argv[1])))\n"
        "assert [line(r['formula'], *(float(r[k]) for k in ('fw','C','H','N','max_error'))) for r in rows] == text, rows\n"
        "doc = json.load(open(sys.argv[2]))\n"
        "assert doc['settings'] == {'search': 'complete', 'tolerance': 0.51}, doc\n"
        "assert doc['inputs'] == {'C': 61.66, 'H': 4.45, 'N': 20.2, 'elements': ['O', 'S'], 'max_c': 20, 'max_fw': 800}, doc\n"
        "assert doc['cut_short'] is False\n"
        "assert [line(f['formula'], f['fw'], f['C'], f['H'], f['N'], f['max_error']) for f in doc['formulas']] == text\n";
    CheckWithPython(script, csvPath + " " + jsonPath + " " + textPath);
}

TEST(VornikFormats, WindowSearchAndNothingFound)
{
    // The window's lines in JSON, and an empty list (exit 1) in both.
    Outcome json = RunVornik({"--format", "json", "-e", "O", "71.09", "6.71", "10.36"});
    EXPECT_EQ(json.status, 0);
    EXPECT_NE(json.out.find("\"search\": \"window\", \"tolerance\": 0.51, "
                            "\"prefilter_tolerance\": 0.7"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("{\"formula\": \"C8H9NO\", \"fw\": 135.16316,"),
              std::string::npos);
    // The window lists C3H2N2 twice (two multiples reach it); CSV once.
    Outcome twice = RunVornik({"--format", "csv", "54.54", "3.05", "42.41"});
    EXPECT_EQ(twice.out, "formula,fw,C,H,N,max_error\n"
                         "C3H2N2,66.06138,54.54336557910234,3.0515257174464114,"
                         "42.40510870345125,0.004891296548748869\n");
    Outcome csv = RunVornik({"--format", "csv", "68.85", "4.95", "0"});
    EXPECT_EQ(csv.status, 1);
    EXPECT_EQ(csv.out, "formula,fw,C,H,N,max_error\n");
    Outcome crlf = RunVornik({"--format", "csv", "--crlf", "68.85", "4.95", "0"});
    EXPECT_EQ(crlf.out, "formula,fw,C,H,N,max_error\r\n");
    const std::string emptyJson = RunVornik({"--format", "json", "68.85", "4.95", "0"}).out;
    CheckWithPython("import json, sys\n"
                    "doc = json.load(open(sys.argv[1]))\n"
                    "assert doc['formulas'] == [] and doc['inputs']['N'] == 0\n",
                    WriteTempFile("empty.json", emptyJson));
}

TEST(VornikComplete, InterruptPrintsTheFormulasFoundSoFar)
{
    Outcome o = RunVornik({"--complete", "--max-c", "1e9", "--max-fw", "1e12",
                           "40", "6.7", "0"},
                          400);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "For C:40.00 H: 6.70 N: 0.00 using C, H, N\nNOT FOUND\n\n");
    EXPECT_NE(o.err.find("interrupted"), std::string::npos) << o.err;
}

TEST(VornikSearchOptions, RefusesBadValuesWithOneLine)
{
    struct Case { std::vector<std::string> args; const char* says; };
    const Case cases[] = {
        {{"--complete", "--complete", "71", "5", "1"}, "option --complete is given twice"},
        {{"--crlf", "--crlf", "71", "5", "1"}, "option --crlf is given twice"},
        {{"--format", "xml", "71", "5", "1"}, "--format 'xml' is not one of text, csv, json"},
        {{"--format", "CSV", "71", "5", "1"}, "is not one of"},
        {{"--format", "csv", "--format", "csv", "71", "5", "1"}, "option --format is given twice"},
        {{"--format"}, "option --format needs a value"},
        {{"--tolerance", "0", "71", "5", "1"}, "--tolerance '0' is not above 0"},
        {{"--tolerance", "-0.5", "71", "5", "1"}, "--tolerance '-0.5' is not above 0"},
        {{"--tolerance", "+INF", "71", "5", "1"}, "--tolerance '+INF' is not a finite number"},
        {{"--tolerance", "+NAN", "71", "5", "1"}, "is not a finite number"},
        {{"--tolerance", "1e999", "71", "5", "1"}, "is not a finite number"},
        {{"--tolerance", "half", "71", "5", "1"}, "--tolerance 'half' is not a number"},
        {{"--tolerance=", "71", "5", "1"}, "--tolerance '' is not a number"},
        {{"--tolerance", "1", "--tolerance", "2", "71", "5", "1"}, "is given twice"},
        {{"--batch", "x.csv", "71", "5", "1"}, "give no C H N operands"},
        {{"--batch", "a", "--batch", "b"}, "option --batch is given twice"},
        {{"--batch="}, "--batch needs a file name"},
        {{"--complete", "--max-fw", "5", "71", "5", "1"}, "--max-fw '5' is below 12"},
    };
    for (const Case& c : cases)
        ExpectRefused(c.args, c.says);
}

}  // namespace
