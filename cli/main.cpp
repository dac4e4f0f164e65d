// vornik: the formula search on the command line. By default prints the run
// block that the window would put on top of an empty results box.
#include "analysis.h"
#include "batch.h"
#include "options.h"
#include "output_formats.h"

#include <cstdio>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {


const char* const helpText =
    "Usage: vornik [options] C H N\n"
    "       vornik [options] --batch FILE\n"
    "Find molecular formulas that fit an elemental analysis: C, H and N are\n"
    "the measured mass percentages (C at least 1, each from 0 to 100).\n"
    "\n"
    "Options:\n"
    "  -e, --elements LIST  further elements that may be present, comma-\n"
    "                       separated, any of Br,Cl,F,I,O,S (default: none)\n"
    "      --max-c N        largest number of carbon atoms (default 20)\n"
    "      --max-fw W       largest formula weight in g/mol (default 800)\n"
    "      --complete       list every formula within the limits, not only\n"
    "                       those near multiples of the C:H:N ratio\n"
    "      --tolerance T    each of C, H and N must be less than T points\n"
    "                       from the measured value (default 0.51)\n"
    "      --format F       text (default), csv or json\n"
    "      --batch FILE     one search per row of a CSV file ('-': standard\n"
    "                       input) with a header row naming the columns C, H,\n"
    "                       N and optionally id, elements, max_c, max_fw\n"
    "      --crlf           end lines with CR LF, as the window's results\n"
    "  -h, --help           show this help and exit\n"
    "      --version        show the version and exit\n"
    "\n"
    "Exit status: 0 formulas found, 1 none found, 2 usage error or input\n"
    "refused (in a batch: any row refused). Ctrl-C stops a long search and\n"
    "prints what it found so far.\n"
    "\n"
    "Example: vornik -e O 71.09 6.71 10.36\n";

int Refuse(const std::string& message)
{
    std::fprintf(stderr, "vornik: %s (try 'vornik --help')\n", message.c_str());
    return ExitRefused;
}

// The window's pre-filter widened in proportion to the tolerance: both
// bound deviations of the same kind, which grow in step with it. T / 0.51
// is exactly 1 for the default, which keeps 0.7 exactly.
double PrefilterFor(double tolerance) { return tolerance / 0.51 * 0.7; }

// Checks the options that hold for the whole run. Returns an empty string
// or what is wrong.
std::string CheckRunOptions(const CliOptions& o, OutputStream& out)
{
    double value;
    if (o.toleranceGiven) {
        std::string problem = ReadNumber("--tolerance", o.tolerance, value);
        if (!problem.empty())
            return problem;
        if (value <= 0)
            return "--tolerance " + Quoted(o.tolerance) + " is not above 0";
        out.tolerance = value;
    }
    if (o.formatGiven && !ReadOutputFormat(o.format, out.format))
        return "--format " + Quoted(o.format) + " is not one of text, csv, json";
    // A limit given empty would otherwise mean its default.
    if (o.maxCarbonGiven && o.maxCarbon.empty())
        return "--max-c '' is not a number";
    if (o.maxFormulaWeightGiven && o.maxFormulaWeight.empty())
        return "--max-fw '' is not a number";
    if (o.batchGiven && o.batch.empty())
        return "--batch needs a file name, or - for standard input";
    return "";
}

int RunSingle(const CliOptions& options, const AnalysisTexts& texts,
              OutputStream& out)
{
    AnalysisRun run;
    const std::string problem = RunAnalysis(texts, options.complete, run);
    if (!problem.empty())
        return Refuse(problem);
    BeginOutput(out);
    WriteAnalysis(out, run, "", 0);
    if (!EndOutput(out)) {
        std::perror("vornik: cannot write the results");
        return ExitRefused;
    }
    if (!run.cutNote.empty())
        std::fprintf(stderr, "vornik: %s\n", run.cutNote.c_str());
    if (run.interrupted)
        std::fputs("vornik: interrupted; the lines above are those found so far\n",
                   stderr);
    return run.formulas.empty() ? ExitNotFound : ExitFound;
}

}  // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    // Exact bytes on Windows too: text mode would turn each LF into CR LF,
    // so --crlf would write CR CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    CliOptions options;
    std::string problem = ParseCommandLine(argc, argv, options);
    if (!problem.empty())
        return Refuse(problem);
    if (options.help) {
        std::fputs(helpText, stdout);
        return ExitFound;
    }
    if (options.version) {
        std::puts("vornik 1.0.4");
        return ExitFound;
    }

    OutputStream out;
    out.tolerance = 0.51;
    if (!(problem = CheckRunOptions(options, out)).empty())
        return Refuse(problem);
    out.crlf = options.crlf;
    out.complete = options.complete;
    out.batch = options.batchGiven;
    out.prefilterTolerance = PrefilterFor(out.tolerance);
    agreementTolerance = out.tolerance;
    prefilterTolerance = out.prefilterTolerance;

    AnalysisTexts texts;
    for (int k = 0; k < 3; ++k)
        texts.percent[k] = options.percent[k];
    texts.elements = options.elements;
    texts.maxCarbon = options.maxCarbon;
    texts.maxFormulaWeight = options.maxFormulaWeight;
    if (options.batchGiven) {
        if (!(problem = CheckElementsAndLimits(texts)).empty())
            return Refuse(problem);
        return RunBatch(options.batch, texts, options.complete, out);
    }
    return RunSingle(options, texts, out);
}
