// vornik --batch: one search per row, malformed rows reported with their
// line numbers and skipped, output in each format, file-level refusals.
#include "run_vornik.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::string acetanilideBlock =
    "For C:71.09 H: 6.71 N:10.36 using C, H, N, O\n"
    "C8H9NO               (FW 135.16): C:71.09 H: 6.71 N:10.36 MAX_ERR: 0.00\n"
    "\n";

// Two good rows around five bad ones and a blank line; CR LF line ends.
const std::string mixedRows =
    "id,C,H,N,elements\r\n"
    "acetanilide,71.09,6.71,10.36,O\r\n"
    "typo,71.O9,6.71,10.36,O\r\n"
    "\r\n"
    "short,71.09,6.71\r\n"
    "\"no, such\",71.09,6.71,10.36,Xe\r\n"
    "esc,\x1b[2J\r9,6.71,10.36,O\r\n"
    "\"open,71.09,6.71,10.36,O\r\n"
    "nothing,68.85,4.95,0,\r\n";

TEST(VornikBatch, SkipsMalformedRowsWithTheirLineNumbers)
{
    const std::string path = WriteTempFile("rows.csv", mixedRows);
    Outcome o = RunVornik({"--batch", path});
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, acetanilideBlock +
                         "For C:68.85 H: 4.95 N: 0.00 using C, H, N\n"
                         "NOT FOUND\n\n");
    const std::string p = "vornik: " + path + ":";
    EXPECT_EQ(o.err,
              p + "3: C percentage '71.O9' is not a number\n" +
              p + "5: the row has 3 fields; the header row names 5 columns\n" +
              p + "6: unknown element 'Xe' in column elements; choose from Br,Cl,F,I,O,S\n" +
              p + "7: C percentage '?[2J?9' is not a number\n" +
              p + "8: a quoted field is not closed\n");
}

TEST(VornikBatch, CommandLineFillsEmptyCellsAndCellsWin)
{
    const std::string rows =
        "C,H,N,elements,max_c\n"
        "71.09,6.71,10.36,,\n"       // -e O and --max-c 7: C8 is too many
        "71.09,6.71,10.36,,9\n"      // its own max_c
        "71.09,6.71,10.36,\"S O\",9\n";
    Outcome o = RunVornik({"-e", "O", "--max-c", "7", "--batch", "-"}, 0, &rows);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "For C:71.09 H: 6.71 N:10.36 using C, H, N, O\nNOT FOUND\n\n" +
                         acetanilideBlock +
                         "For C:71.09 H: 6.71 N:10.36 using C, H, N, O, S\n"
                         "C8H9NO               (FW 135.16): C:71.09 H: 6.71 N:10.36 MAX_ERR: 0.00\n\n");
}

TEST(VornikBatch, CsvAndJsonCarryTheRowsIds)
{
    const std::string rows =
        "N,H,C,ID,Elements\n"
        "10.36,6.71,71.09,\"a,1\",O\n"
        "20.20,4.45,61.66,b\"2,\"O;S\"\n"
        "0,4.95,68.85,c\xff,\n"  // not UTF-8: JSON gets U+FFFD
        "0,x,68.85,d4,\n";
    Outcome csv = RunVornik({"--complete", "--batch", "-", "--format", "csv"}, 0, &rows);
    EXPECT_EQ(csv.status, 2);  // the last row, and the quote in b"2
    Outcome json = RunVornik({"--complete", "--batch", "-", "--format", "json"}, 0, &rows);
    EXPECT_EQ(json.status, 2);
    EXPECT_EQ(json.err.find("vornik: standard input:3: a quote inside an unquoted field\n"), 0u)
        << json.err;
    const std::string script =
        "import csv, json, sys\n"
        "rows = list(csv.DictReader(open(sys.argv[1])))\n"
        "assert list(rows[0]) == ['id', 'formula', 'fw', 'C', 'H', 'N', 'max_error'], rows[0]\n"
        "assert {r['id'] for r in rows} == {'a,1'}, rows\n"
        "assert 'C8H9NO' in [r['formula'] for r in rows]\n"
        "doc = json.load(open(sys.argv[2]))\n"
        "assert doc['settings']['search'] == 'complete'\n"
        "assert [(a['line'], a['id']) for a in doc['analyses']] == [(2, 'a,1'), (4, 'c\\ufffd')], doc\n"
        "assert doc['analyses'][1]['formulas'] == []\n"
        "assert [r['line'] for r in doc['refused']] == [3, 5], doc['refused']\n"
        "assert doc['refused'][1]['message'] == \"H percentage 'x' is not a number\"\n";
    const std::string scriptPath = WriteTempFile("batch_check.py", script);
    const std::string command = "python3 " + scriptPath + " " +
                                WriteTempFile("batch.csv", csv.out) + " " +
                                WriteTempFile("batch.json", json.out) + " 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << csv.out << json.out;
}

TEST(VornikBatch, RefusesUnreadableFilesWithOneLine)
{
    struct Case { std::string text; const char* says; };
    const Case cases[] = {
        {"", "is empty; it needs a header row naming the columns C, H and N"},
        {"\n  \n", "is empty"},
        {"C,H\n71,5\n", ":1: the header row names no column N; it needs C, H and N"},
        {"C,H,N,notes\n", ":1: unknown column 'notes' in the header row"},
        {"C,H,N,c\n", ":1: column 'c' is named twice"},
        {"71.09,6.71,10.36\n", ":1: unknown column '71.09'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        Outcome o = RunVornik({"--batch", WriteTempFile("bad.csv", c.text)});
        EXPECT_EQ(o.status, 2);
        EXPECT_EQ(o.out, "");
        EXPECT_NE(o.err.find(c.says), std::string::npos) << o.err;
        EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << o.err;
    }
    Outcome missing = RunVornik({"--batch", "/nonexistent/rows.csv"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "vornik: cannot open the batch file '/nonexistent/rows.csv'\n");
    // A bad default is refused before any row is read.
    Outcome badDefault = RunVornik({"--batch", "-", "-e", "Xe"});
    EXPECT_EQ(badDefault.status, 2);
    EXPECT_NE(badDefault.err.find("unknown element 'Xe' in --elements"), std::string::npos);
    // A header without rows: nothing searched, nothing found.
    const std::string headerOnly = "C,H,N\n";
    Outcome none = RunVornik({"--format", "csv", "--batch", "-"}, 0, &headerOnly);
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "id,formula,fw,C,H,N,max_error\n");
}

}  // namespace
