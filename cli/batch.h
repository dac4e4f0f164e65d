// Batch files: a CSV file with a header row naming its columns, one
// analysis per row, searched and written out as each row is read.
#pragma once

#include "analysis.h"
#include "output_formats.h"

#include <string>

// Runs every row of the file at path ("-" for standard input). defaults
// holds the command line's elements and limits, which fill empty cells.
// Returns the exit status: 2 when the file could not be read or any row was
// refused, else 0 when any formula was found and 1 when none was.
int RunBatch(const std::string& path, const AnalysisTexts& defaults,
             bool complete, OutputStream& out);
