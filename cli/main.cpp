// vornik: the formula search on the command line. Prints the run block that
// the window would put on top of an empty results box.
#include "engine.h"
#include "options.h"
#include "run_hooks.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int ExitFound = 0, ExitNotFound = 1, ExitRefused = 2;

const char* const helpText =
    "Usage: vornik [options] C H N\n"
    "Find molecular formulas that fit an elemental analysis: C, H and N are\n"
    "the measured mass percentages (C at least 1, each from 0 to 100).\n"
    "\n"
    "Options:\n"
    "  -e, --elements LIST  further elements that may be present, comma-\n"
    "                       separated, any of Br,Cl,F,I,O,S (default: none)\n"
    "      --max-c N        largest number of carbon atoms (default 20)\n"
    "      --max-fw W       largest formula weight in g/mol (default 800)\n"
    "      --crlf           end lines with CR LF, as the window's results\n"
    "  -h, --help           show this help and exit\n"
    "      --version        show the version and exit\n"
    "\n"
    "Exit status: 0 formulas found, 1 none found, 2 usage error or input\n"
    "refused. Ctrl-C stops a long search and prints what it found so far.\n"
    "\n"
    "Example: vornik -e O 71.09 6.71 10.36\n";

// The text of a value as a message quotes it: long ones are shortened.
std::string Quoted(const std::string& text)
{
    if (text.size() <= 40)
        return "'" + text + "'";
    return "'" + text.substr(0, 32) + "...' (" + std::to_string(text.size()) +
           " characters)";
}

int Refuse(const std::string& message)
{
    std::fprintf(stderr, "vornik: %s (try 'vornik --help')\n", message.c_str());
    return ExitRefused;
}

// Reads text wholly as a finite number. Returns an empty string when it is
// one, else what is wrong with it.
std::string ReadNumber(const std::string& what, const std::string& text,
                       double& value)
{
    const char* end = nullptr;
    value = ConvertNumber(text.c_str(), &end);
    while (*end == ' ' || *end == '\t')
        ++end;
    if (end == text.c_str() || *end != '\0')
        return what + " " + Quoted(text) + " is not a number";
    if (!std::isfinite(value))
        return what + " " + Quoted(text) + " is not a finite number";
    return "";
}

std::string CheckPercentages(const CliOptions& o)
{
    static const char* const names[3] = {"C", "H", "N"};
    for (int k = 0; k < 3; ++k) {
        const std::string what = std::string(names[k]) + " percentage";
        double value;
        std::string problem = ReadNumber(what, o.percent[k], value);
        if (!problem.empty())
            return problem;
        if (value < 0 || value > 100)
            return what + " " + Quoted(o.percent[k]) + " is outside 0 to 100";
        if (k == 0 && value < 1)
            return "C percentage " + Quoted(o.percent[k]) +
                   " is below 1; the search needs carbon";
    }
    return "";
}

std::string CheckLimits(const CliOptions& o)
{
    double value;
    if (o.maxCarbonGiven) {
        std::string problem = ReadNumber("--max-c", o.maxCarbon, value);
        if (!problem.empty())
            return problem;
        if (value < 1)
            return "--max-c " + Quoted(o.maxCarbon) + " is below 1";
    }
    if (o.maxFormulaWeightGiven) {
        std::string problem =
            ReadNumber("--max-fw", o.maxFormulaWeight, value);
        if (!problem.empty())
            return problem;
        if (value < 12)
            return "--max-fw " + Quoted(o.maxFormulaWeight) + " is below 12";
    }
    return "";
}

// Sets the element choices from a list such as "O,S,Br" (any case).
std::string ReadElements(const std::string& list, RunInputs& in)
{
    struct Choice { const char* symbol; bool RunInputs::*use; };
    static const Choice choices[] = {
        {"br", &RunInputs::useBr}, {"cl", &RunInputs::useCl},
        {"f", &RunInputs::useF},   {"i", &RunInputs::useI},
        {"o", &RunInputs::useO},   {"s", &RunInputs::useS},
    };
    if (list.find_first_not_of(' ') == std::string::npos)
        return "";  // no further elements
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = list.find(',', start);
        if (comma == std::string::npos)
            comma = list.size();
        const std::string name = list.substr(start, comma - start);
        std::string lower;
        for (char c : name)
            if (c != ' ')
                lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        bool known = false;
        for (const Choice& c : choices)
            if (lower == c.symbol) {
                in.*c.use = true;
                known = true;
            }
        if (!known)
            return "unknown element " + Quoted(name) +
                   " in --elements; choose from Br,Cl,F,I,O,S";
        start = comma + 1;
    }
    return "";
}

// Writes the block, turning CR LF into LF unless the window's bytes are
// wanted. Returns false when the output could not be written.
bool WriteBlock(const char* text, bool crlf)
{
    std::string out;
    for (const char* p = text; *p != '\0'; ++p) {
        if (!crlf && p[0] == '\r' && p[1] == '\n')
            continue;
        out += *p;
    }
    return std::fwrite(out.data(), 1, out.size(), stdout) == out.size() &&
           std::fflush(stdout) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
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

    RunInputs in{};
    if (!(problem = CheckPercentages(options)).empty() ||
        !(problem = CheckLimits(options)).empty() ||
        !(problem = ReadElements(options.elements, in)).empty())
        return Refuse(problem);
    in.textC = options.percent[0].c_str();
    in.textH = options.percent[1].c_str();
    in.textN = options.percent[2].c_str();
    in.textMaxC = options.maxCarbon.c_str();
    in.textMaxFW = options.maxFormulaWeight.c_str();

    ResultsLog[0] = '\0';
    BeginRunHooks();
    const bool ran = RunCalculation(in, nullptr, nullptr);
    const bool interrupted = EndRunHooks();
    if (!ran)  // cannot happen after the checks above; say so if it does
        return Refuse("the input was turned away");
    const bool found = LineBuffer[0] != '\0';

    if (!WriteBlock(ResultsLog, options.crlf)) {
        std::fprintf(stderr, "vornik: cannot write the results: %s\n",
                     std::strerror(errno));
        return ExitRefused;
    }
    if (std::strlen(ResultsLog) == LogCapacity)
        std::fprintf(stderr, "vornik: the results filled the log's %zu characters;"
                             " the rest was cut off\n", LogCapacity);
    if (interrupted)
        std::fputs("vornik: interrupted; the lines above are those found so far\n",
                   stderr);
    return found ? ExitFound : ExitNotFound;
}
