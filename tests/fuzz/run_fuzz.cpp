// Fuzz target: one GO of the calculation page on arbitrary input, checked
// against what must hold after every run.
//
// The input is read as lines:
//   1-5  the C, H, N, MAX C and MAX FW field texts, each cut to its first 15
//        characters as the page cuts them
//   6    the element choices: 'B' Br, 'C' Cl, 'F', 'I', 'O', 'S' anywhere in
//        the line (so "Br Cl F I O S" chooses all six); after a ';' the
//        agreement tolerance, which the command line lets the user set (any
//        finite value above 0; otherwise the window's 0.51)
//   7    the length of the previous results log, in decimal (at most 200000)
//   rest the log's text, repeated up to that length; without a length (or
//        with 0) the rest is the log as it stands. The page's copy of its results box
//        keeps at most 131071 characters, so longer logs are cut there.
//
// After the run: the log is zero-terminated within its 131071 characters,
// RunLines is empty, the settings hold the converted fields; a refused run
// changed nothing else; a run put a block on top whose first line is the
// header, whose result lines each have the line format and agree with a
// recomputation of their formula's weight, percentages and acceptance rules,
// and below which the old log follows unchanged as far as it fits; and the
// plain loops of the search, without its extra bounds, give the same log.
#include "engine.h"
#include "reference_number.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// ---- Run hooks ------------------------------------------------------------
// An extreme input (a huge MAX C or MAX FW) can keep the search busy for
// minutes. The pump plays the CANCEL button after a fixed amount of work
// (pumps, or enumeration levels started, which can outnumber the pumps many
// times over), so every input ends quickly; a cancelled run must satisfy the
// same checks. The fuzzer's per-input timeout then catches a search that
// stops calling the pump.

int cancelRequested;

namespace {

constexpr long long pumpBudget = 50000;
constexpr long long levelStartBudget = 500000;
long long pumps;
int progressSteps;
int notifications;

}  // namespace

void PumpPendingMessages()
{
    if (++pumps >= pumpBudget || SearchCounters.levelStarts >= levelStartBudget)
        cancelRequested = 1;
}

void StepProgress() { ++progressSteps; }

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail = "")
{
    std::fprintf(stderr, "run invariant broken: %s\n%s\n", what, detail.c_str());
    std::abort();
}

void Check(bool holds, const char* what, const std::string& detail = "")
{
    if (!holds)
        Fail(what, detail);
}

// ---- The input ------------------------------------------------------------

constexpr std::size_t fieldLength = 15;
constexpr std::size_t longestLog = 200000;

struct FuzzInput {
    std::string field[5];  // C, H, N, MAX C, MAX FW
    bool use[6] = {};      // Br, Cl, F, I, O, S
    double tolerance = 0.51;
    std::string log;       // the previous log, possibly past the capacity
};

FuzzInput ReadInput(const char* data, std::size_t size)
{
    FuzzInput in;
    std::size_t pos = 0;
    auto nextLine = [&](std::string& line) {
        if (pos >= size)
            return false;
        const void* nl = std::memchr(data + pos, '\n', size - pos);
        const std::size_t end =
            nl ? static_cast<const char*>(nl) - data : size;
        line.assign(data + pos, end - pos);
        pos = nl ? end + 1 : size;
        return true;
    };
    std::string line;
    for (std::string& f : in.field)
        if (nextLine(line))
            f = line.substr(0, fieldLength);
    if (nextLine(line)) {
        const std::size_t semicolon = line.find(';');
        const std::string letters = line.substr(0, semicolon);
        for (int k = 0; k < 6; ++k)
            in.use[k] = letters.find("BCFIOS"[k]) != std::string::npos;
        if (semicolon != std::string::npos) {
            std::size_t consumed;
            const double t = ReferenceConvert(line.c_str() + semicolon + 1, consumed);
            if (std::isfinite(t) && t > 0)
                in.tolerance = t;
        }
    }
    const bool lengthGiven = nextLine(line);
    const std::string pattern(data + pos, size - pos);
    if (!lengthGiven)
        return in;
    std::size_t length = 0;
    for (char c : line) {
        if (c < '0' || c > '9')
            break;
        length = length * 10 + (c - '0');
        if (length > longestLog) {
            length = longestLog;
            break;
        }
    }
    if (pattern.empty() || length == 0) {
        in.log = length == 0 ? pattern : std::string(length, 'x');
        return in;
    }
    in.log = pattern.substr(0, length);
    while (in.log.size() < length)  // doubling: a one-byte pattern is common
        in.log.append(in.log, 0, std::min(in.log.size(), length - in.log.size()));
    return in;
}

// ---- Independent recomputation --------------------------------------------

const char* const symbols[ElementCount] = {"C",  "H", "N", "Br", "Cl",
                                           "F",  "I", "O", "S"};
const double weights[ElementCount] = {12.0107, 1.00794, 14.0067,
                                      79.904,  35.453,  18.9984032,
                                      126.90447, 15.9994, 32.065};
// Engine indices in formula text order: C, H, the halogens, N, O, S.
const int hillOrder[ElementCount] = {0, 1, 3, 4, 5, 6, 2, 7, 8};

struct Expected {
    double percent[3];     // C, H, N as converted
    double maxCarbon, maxFormulaWeight;
    bool use[6];
    double tolerance;
    bool refused;          // C below 1 in magnitude, or NaN
    bool mustRun;          // within the 32-bit range and C at least 1
    std::string header;    // without CR LF
};

Expected ExpectedFor(const FuzzInput& in)
{
    Expected e{};
    std::size_t consumed;
    for (int k = 0; k < 3; ++k)
        e.percent[k] = ReferenceConvert(in.field[k].c_str(), consumed);
    const double maxC = ReferenceConvert(in.field[3].c_str(), consumed);
    const double maxFW = ReferenceConvert(in.field[4].c_str(), consumed);
    e.maxCarbon = maxC >= 1 ? maxC : 20;
    e.maxFormulaWeight = maxFW >= 12 ? maxFW : 800;
    for (int k = 0; k < 6; ++k)
        e.use[k] = in.use[k];
    e.tolerance = in.tolerance;

    bool inRange = true;
    for (double p : e.percent)
        inRange = inRange && std::fabs(p) < 2147483648.0;
    const bool carbonPresent = std::fabs(e.percent[0]) >= 1;
    e.refused = !carbonPresent;
    e.mustRun = inRange && carbonPresent;

    std::vector<char> text(4096);
    std::snprintf(text.data(), text.size(),
                  "For C:%5.2f H:%5.2f N:%5.2f using C, H, N", e.percent[0],
                  e.percent[1], e.percent[2]);
    e.header = text.data();
    for (int k = 0; k < 6; ++k)
        if (e.use[k])
            e.header += std::string(", ") + symbols[IndexBr + k];
    return e;
}

long long Gcd(long long a, long long b) { return b == 0 ? a : Gcd(b, a % b); }

// Reads a formula text back into counts: pieces in the order C, H, Br, Cl,
// F, I, N, O, S, each a symbol and a count of 2 or more, or the bare symbol
// for 1.
bool ParseFormula(const std::string& text, long long counts[ElementCount])
{
    std::fill(counts, counts + ElementCount, 0LL);
    std::size_t pos = 0;
    int nextRank = 0;
    while (pos < text.size()) {
        int rank = -1;
        for (int r = nextRank; r < ElementCount && rank < 0; ++r) {
            const std::string s = symbols[hillOrder[r]];
            const bool longer = pos + 1 < text.size() && s.size() == 1 &&
                                text[pos + 1] >= 'a' && text[pos + 1] <= 'z';
            if (text.compare(pos, s.size(), s) == 0 && !longer)
                rank = r;
        }
        if (rank < 0)
            return false;
        pos += std::strlen(symbols[hillOrder[rank]]);
        long long count = 0;
        const std::size_t digitsStart = pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            count = count * 10 + (text[pos] - '0');
            if (count > 2147483647)
                return false;
            ++pos;
        }
        const std::size_t digits = pos - digitsStart;
        if (digits == 0)
            count = 1;
        else if (text[digitsStart] == '0' || count < 2)
            return false;  // no leading zeros, no explicit 0 or 1
        counts[hillOrder[rank]] = count;
        nextRank = rank + 1;
    }
    return pos > 0;
}

// One result line without its CR LF: the formula text, then the figures,
// each recomputed from the counts, and the acceptance rules.
void CheckResultLine(const std::string& line, const Expected& e)
{
    const std::size_t textEnd = line.find(' ');
    Check(textEnd != std::string::npos, "result line without a blank", line);
    const std::string formula = line.substr(0, textEnd);
    long long n[ElementCount];
    Check(ParseFormula(formula, n), "formula text unreadable", line);

    double fw = 0;
    for (int i = 0; i < ElementCount; ++i)
        fw += n[i] * weights[i];
    double computed[3], deviation[3];
    for (int k = 0; k < 3; ++k) {
        computed[k] = n[k] * weights[k] / fw * 100;
        deviation[k] = std::fabs(computed[k] - e.percent[k]);
    }
    const double maxError = std::fmax(deviation[0], std::fmax(deviation[1], deviation[2]));

    char expected[512];
    std::snprintf(expected, sizeof expected,
                  "%-20s (FW %6.2f): C:%5.2f H:%5.2f N:%5.2f MAX_ERR:%5.2f",
                  formula.c_str(), fw, computed[0], computed[1], computed[2],
                  maxError);
    Check(line == expected, "result line differs from its recomputation",
          line + "\n" + expected);

    for (int k = 0; k < 3; ++k)
        Check(deviation[k] < e.tolerance, "listed formula does not agree", line);
    Check(n[IndexC] >= 1, "listed formula without carbon", line);
    Check((n[IndexH] + n[IndexN] + n[IndexBr] + n[IndexCl] + n[IndexF] +
           n[IndexI]) % 2 == 0,
          "listed formula fails the parity rule", line);
    Check(n[IndexC] <= e.maxCarbon, "listed formula above MAX C", line);
    Check(fw <= e.maxFormulaWeight, "listed formula above MAX FW", line);
    long long g = 0;
    for (long long c : n)
        g = Gcd(g, c);
    Check(g == 1, "listed formula not in lowest terms", line);

    const long long limit = static_cast<long long>(
        std::fmin(std::trunc(e.maxCarbon), 2147483647.0));
    for (int k = 0; k < 6; ++k) {
        const long long c = n[IndexBr + k];
        Check(e.use[k] ? c <= limit : c == 0,
              "heteroatom not chosen or above its limit", line);
    }
    Check(n[IndexBr] + n[IndexCl] + n[IndexF] + n[IndexI] <=
              2 * n[IndexC] + 2 * n[IndexN] + 3 - n[IndexH],
          "halogens beyond what the hydrogen count leaves", line);
    Check(n[IndexO] <= 3 * n[IndexC] && n[IndexS] <= 3 * n[IndexC],
          "O or S beyond three per carbon", line);
}

// The new log: header, result lines and empty line (or NOT FOUND and empty
// line), then the old log as far as it fits.
void CheckBlock(const std::string& log, const std::string& oldLog,
                const Expected& e)
{
    const std::string header = e.header + "\r\n";
    Check(log.compare(0, header.size(), header) == 0, "block does not start with the header",
          log.substr(0, 200) + "\nexpected: " + header);
    std::size_t pos = header.size();
    const long long accepted = SearchCounters.accepted;

    const std::string notFound = "NOT FOUND\r\n\r\n";
    if (accepted == 0) {
        Check(log.compare(pos, notFound.size(), notFound) == 0,
              "a run without results lacks NOT FOUND", log.substr(0, 200));
        pos += notFound.size();
    } else {
        long long lines = 0;
        bool cut = false;
        for (;;) {
            if (log.compare(pos, 2, "\r\n") == 0) {  // the closing empty line
                pos += 2;
                break;
            }
            const std::size_t eol = log.find("\r\n", pos);
            if (eol == std::string::npos) {
                // The run's own lines filled the log: the last one is cut
                // (or none is) and nothing follows.
                Check(log.size() == LogCapacity, "block ends before the log is full",
                      log.substr(pos));
                pos = log.size();
                cut = true;
                break;
            }
            CheckResultLine(log.substr(pos, eol - pos), e);
            ++lines;
            pos = eol + 2;
        }
        Check(lines <= accepted, "more lines than formulas accepted");
        Check(cut || lines == accepted,
              "a result line was lost although the log had room");
    }

    const std::size_t kept = std::min(oldLog.size(), LogCapacity - std::min(pos, LogCapacity));
    Check(log.size() == pos + kept, "log length is not block plus what fits of the old log");
    Check(log.compare(pos, kept, oldLog, 0, kept) == 0,
          "old log not carried along unchanged");
}

void Notify() { ++notifications; }

// One GO on a log holding the first length bytes of text.
bool RunOnce(const RunInputs& inputs, const char* text, std::size_t length)
{
    std::memcpy(ResultsLog, text, length);
    ResultsLog[length] = '\0';
    cancelRequested = 0;
    resultsUnsaved = 0;
    pumps = 0;
    progressSteps = 0;
    notifications = 0;
    return RunCalculation(inputs, Notify, Notify);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const FuzzInput in = ReadInput(reinterpret_cast<const char*>(data), size);
    const Expected e = ExpectedFor(in);

    RunInputs inputs{};
    inputs.textC = in.field[0].c_str();
    inputs.textH = in.field[1].c_str();
    inputs.textN = in.field[2].c_str();
    inputs.textMaxC = in.field[3].c_str();
    inputs.textMaxFW = in.field[4].c_str();
    inputs.useBr = in.use[0];
    inputs.useCl = in.use[1];
    inputs.useF = in.use[2];
    inputs.useI = in.use[3];
    inputs.useO = in.use[4];
    inputs.useS = in.use[5];

    // The page copies its results box into the log, as much as fits.
    const std::size_t copied = std::min(in.log.size(), LogCapacity);
    const std::string oldLog = in.log.substr(0, copied).c_str();  // to a zero byte
    // As the command line sets them; the window keeps 0.51 and 0.7.
    agreementTolerance = in.tolerance;
    prefilterTolerance = in.tolerance / 0.51 * 0.7;
    extraBoundsEnabled = 1;
    const bool ran = RunOnce(inputs, in.log.data(), copied);

    Check(std::memchr(ResultsLog, '\0', LogCapacity + 1) != nullptr,
          "log not zero-terminated within its capacity");
    Check(RunLines[0] == '\0' && RunLinesLength == 0, "RunLines not emptied");
    Check(std::memchr(LineBuffer, '\0', LineBufferSize) != nullptr,
          "LineBuffer not zero-terminated");

    const SearchSettingsRecord& s = SearchSettings;
    Check(SameDouble(s.percentC, e.percent[0]) && SameDouble(s.percentH, e.percent[1]) &&
              SameDouble(s.percentN, e.percent[2]),
          "percentages differ from the converted fields");
    Check(SameDouble(s.maxCarbon, e.maxCarbon) &&
              SameDouble(s.maxFormulaWeight, e.maxFormulaWeight),
          "MAX C or MAX FW differ from the converted fields");
    const int use[6] = {s.useBr, s.useCl, s.useF, s.useI, s.useO, s.useS};
    for (int k = 0; k < 6; ++k)
        Check(use[k] == (e.use[k] ? 1 : 0), "element choice not taken over");

    if (e.refused)
        Check(!ran, "a run took place with C below 1");
    if (e.mustRun)
        Check(ran, "a run was refused with C at least 1");

    if (!ran) {
        Check(oldLog == ResultsLog, "a refused run changed the log");
        Check(resultsUnsaved == 0 && notifications == 0,
              "a refused run marked the log or notified");
        // The header stays in LineBuffer, as much of it as fits.
        const std::string kept = LineBuffer;
        Check(kept == e.header.substr(0, kept.size()),
              "a refused run left something else than its header",
              kept + "\n" + e.header);
        return 0;
    }

    Check(resultsUnsaved == 1 && notifications == 2,
          "a run did not mark the log unsaved or notify twice");
    Check((LineBuffer[0] != '\0') == (SearchCounters.accepted > 0),
          "LineBuffer does not tell whether anything was found");
    CheckBlock(ResultsLog, oldLog, e);

    // The search's extra bounds skip only work that cannot change the
    // block: the plain loops must give the same log, byte for byte. Runs
    // that the pump budget cut short end at different points and are not
    // compared.
    if (cancelRequested == 0) {
        const std::string bounded = ResultsLog;
        extraBoundsEnabled = 0;
        RunOnce(inputs, in.log.data(), copied);
        extraBoundsEnabled = 1;
        if (cancelRequested == 0)
            Check(bounded == ResultsLog, "the extra bounds changed the block",
                  bounded.substr(0, 2000) + "\n--- plain loops:\n" +
                      std::string(ResultsLog).substr(0, 2000));
    }
    return 0;
}
