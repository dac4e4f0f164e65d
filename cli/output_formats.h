// The three output formats of vornik: the window's text blocks, CSV with a
// header row, and one JSON document. Output is written to stdout as each
// analysis finishes, so a batch streams.
#pragma once

#include "analysis.h"

#include <string>
#include <utility>
#include <vector>

enum class OutputFormat { Text, Csv, Json };

// The settings of the whole output and how far it has got.
struct OutputStream {
    OutputFormat format = OutputFormat::Text;
    bool crlf = false;      // CR LF line ends instead of LF
    bool batch = false;     // analyses come from a batch file
    bool complete = false;  // which search
    double tolerance = 0, prefilterTolerance = 0;
    long long analysesWritten = 0;
    bool failed = false;    // a write failed
    std::vector<std::pair<long long, std::string>> refusedRows;  // for JSON
};

// Reads "text", "csv" or "json". False for anything else.
bool ReadOutputFormat(const std::string& text, OutputFormat& format);

// Writes what comes before the first analysis (CSV header, JSON opening).
void BeginOutput(OutputStream& out);
// Writes one analysis; in a batch, id is its id (or line number) and line
// its line in the file.
void WriteAnalysis(OutputStream& out, const AnalysisRun& run,
                   const std::string& id, long long line);
// Writes a refused batch row's record (JSON only keeps them).
void NoteRefusedRow(OutputStream& out, long long line, const std::string& message);
// Closes the output. False when any write failed.
bool EndOutput(OutputStream& out);
