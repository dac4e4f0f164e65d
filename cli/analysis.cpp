// Checks one analysis's texts the way the command line refuses input, then
// runs the window's search through RunCalculation (the block is then the
// window's, byte for byte) or the complete search, whose block has the same
// header and result lines in its own order.
#include "analysis.h"

#include "run_hooks.h"

#include <cmath>
#include <set>

namespace {

std::string CheckPercentages(const AnalysisTexts& t)
{
    static const char* const names[3] = {"C", "H", "N"};
    for (int k = 0; k < 3; ++k) {
        const std::string what = std::string(names[k]) + " percentage";
        double value;
        std::string problem = ReadNumber(what, t.percent[k], value);
        if (!problem.empty())
            return problem;
        if (value < 0 || value > 100)
            return what + " " + Quoted(t.percent[k]) + " is outside 0 to 100";
        if (k == 0 && value < 1)
            return "C percentage " + Quoted(t.percent[k]) +
                   " is below 1; the search needs carbon";
    }
    return "";
}

// A limit given as text must be a number of at least minimum; an empty text
// means the limit was not given.
std::string CheckLimit(const std::string& name, const std::string& text,
                       double minimum, const char* minimumText)
{
    if (text.empty())
        return "";
    double value;
    std::string problem = ReadNumber(name, text, value);
    if (!problem.empty())
        return problem;
    if (value < minimum)
        return name + " " + Quoted(text) + " is below " + minimumText;
    return "";
}

std::string CheckLimits(const AnalysisTexts& t)
{
    std::string problem = CheckLimit(t.maxCarbonName, t.maxCarbon, 1, "1");
    if (problem.empty())
        problem = CheckLimit(t.maxFormulaWeightName, t.maxFormulaWeight, 12, "12");
    return problem;
}

// Sets the element choices from a list such as "O,S,Br" (any case).
std::string ReadElements(const std::string& list, const std::string& what,
                         RunInputs& in)
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
            return "unknown element " + Quoted(name) + " in " + what +
                   "; choose from Br,Cl,F,I,O,S";
        start = comma + 1;
    }
    return "";
}

void RunComplete(const RunInputs& in, AnalysisRun& run)
{
    PrepareRun(in);  // the checks ensure a run
    run.block = std::string(LineBuffer) + "\r\n";
    BeginRunHooks();
    SetDerivedSettings();
    const CompleteSearchLimits limits = DefaultCompleteLimits();
    const CompleteSearchEnd end = RunCompleteSearch(limits, run.formulas);
    run.interrupted = EndRunHooks();
    if (end == CompleteFull)
        run.cutNote = "the complete search stopped at " +
                      std::to_string(limits.maxResults) +
                      " formulas; narrow MAX C, MAX FW or the tolerance";
    SortByError(run.formulas);
    if (run.formulas.empty()) {
        run.block += "NOT FOUND\r\n\r\n";
        return;
    }
    for (const FormulaRecord& r : run.formulas)
        run.block += ResultLine(r) + "\r\n";
    run.block += "\r\n";
}

// The window's search; its formulas are read back from the block's lines
// (a line cut off by a full log is left out) and judged again for their
// numbers, with the same arithmetic that accepted them. The window lists a
// formula twice when its scan reaches the same C/H/N counts from two
// multiples; the formula list keeps the first.
void RunWindow(const RunInputs& in, AnalysisRun& run)
{
    ResultsLog[0] = '\0';
    BeginRunHooks();
    RunCalculation(in, nullptr, nullptr);  // the checks ensure a run
    run.interrupted = EndRunHooks();
    run.block = ResultsLog;
    if (run.block.size() == LogCapacity)
        run.cutNote = "the results filled the log's " +
                      std::to_string(LogCapacity) +
                      " characters; the rest was cut off";
    if (LineBuffer[0] == '\0')
        return;
    std::set<std::string> listed;
    std::size_t at = run.block.find("\r\n") + 2;
    for (std::size_t end; (end = run.block.find("\r\n", at)) != std::string::npos &&
                          end > at;
         at = end + 2) {
        const std::string line = run.block.substr(at, end - at);
        const std::string formula = line.substr(0, line.find(' '));
        int counts[ElementCount];
        FormulaRecord record;
        if (listed.insert(formula).second && ParseFormulaText(formula, counts) &&
            JudgeFormula(counts, record))
            run.formulas.push_back(record);
    }
}

}  // namespace

std::string Quoted(const std::string& text)
{
    // Control characters become '?': a message stays one line and cannot
    // steer the terminal, whatever a batch file holds.
    std::string shown = text.size() <= 40 ? text : text.substr(0, 32);
    for (char& c : shown)
        if ((unsigned char)c < 0x20 || c == 0x7f)
            c = '?';
    if (text.size() <= 40)
        return "'" + shown + "'";
    return "'" + shown + "...' (" + std::to_string(text.size()) + " characters)";
}

std::string ReadNumber(const std::string& what, const std::string& text,
                       double& value)
{
    const char* end = nullptr;
    value = ConvertNumber(text.c_str(), &end);
    const bool none = end == text.c_str();  // blanks alone are no number
    while (*end == ' ' || *end == '\t')
        ++end;
    if (none || *end != '\0')
        return what + " " + Quoted(text) + " is not a number";
    if (!std::isfinite(value))
        return what + " " + Quoted(text) + " is not a finite number";
    return "";
}

std::string CheckElementsAndLimits(const AnalysisTexts& texts)
{
    RunInputs in{};
    std::string problem = CheckLimits(texts);
    return problem.empty() ? ReadElements(texts.elements, texts.elementsName, in)
                           : problem;
}

std::string RunAnalysis(const AnalysisTexts& texts, bool complete,
                        AnalysisRun& run)
{
    RunInputs in{};
    std::string problem;
    if (!(problem = CheckPercentages(texts)).empty() ||
        !(problem = CheckLimits(texts)).empty() ||
        !(problem = ReadElements(texts.elements, texts.elementsName, in)).empty())
        return problem;
    in.textC = texts.percent[0].c_str();
    in.textH = texts.percent[1].c_str();
    in.textN = texts.percent[2].c_str();
    in.textMaxC = texts.maxCarbon.c_str();
    in.textMaxFW = texts.maxFormulaWeight.c_str();

    if (complete)
        RunComplete(in, run);
    else
        RunWindow(in, run);
    const SearchSettingsRecord& s = SearchSettings;
    run.percent[0] = s.percentC;
    run.percent[1] = s.percentH;
    run.percent[2] = s.percentN;
    run.maxCarbon = s.maxCarbon;
    run.maxFormulaWeight = s.maxFormulaWeight;
    const int use[6] = {s.useBr, s.useCl, s.useF, s.useI, s.useO, s.useS};
    for (int k = 0; k < 6; ++k)
        run.elements[k] = use[k] ? ElementTable.symbol[IndexBr + k] : "";
    return "";
}
