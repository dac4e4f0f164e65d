// The complete search: against a brute-force enumeration on small limits,
// against the window's own lines on a seeded random sweep, and its order,
// stops and formula texts.
#include "complete_search.h"
#include "test_hooks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

const double* const w = ElementTable.atomicWeight;

struct Analysis {
    double c, h, n;
    std::string elements;  // "O S Br"
    double maxC, maxFW;
    double tolerance;
};

void Apply(const Analysis& a)
{
    ResetEngineState();
    SearchSettingsRecord& s = SearchSettings;
    s.percentC = a.c;
    s.percentH = a.h;
    s.percentN = a.n;
    auto has = [&](const char* e) {
        return (" " + a.elements + " ").find(std::string(" ") + e + " ") !=
               std::string::npos;
    };
    s.useBr = has("Br");
    s.useCl = has("Cl");
    s.useF = has("F");
    s.useI = has("I");
    s.useO = has("O");
    s.useS = has("S");
    s.maxCarbon = a.maxC;
    s.maxFormulaWeight = a.maxFW;
    agreementTolerance = a.tolerance;
    prefilterTolerance = a.tolerance / 0.51 * 0.7;
    SetDerivedSettings();
}

std::vector<std::string> CompleteLines(const Analysis& a)
{
    Apply(a);
    std::vector<FormulaRecord> results;
    CompleteSearchLimits limits = DefaultCompleteLimits();
    limits.maxResults = 10000000;
    EXPECT_EQ(RunCompleteSearch(limits, results), CompleteFinished);
    SortByError(results);
    std::vector<std::string> lines;
    for (const FormulaRecord& r : results)
        lines.push_back(ResultLine(r));
    return lines;
}

// The window's lines for the same analysis, line ends removed.
std::vector<std::string> WindowLines(const Analysis& a)
{
    Apply(a);
    RunFormulaSearch();
    std::vector<std::string> lines;
    const std::string text = RunLines;
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos;
         at = end + 2)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

// Percentages of a formula, by the rules' own arithmetic.
Analysis Measured(const std::vector<int>& counts, const std::string& elements,
                  double maxC, double maxFW, double tolerance = 0.51)
{
    double fw = 0;
    for (int i = 0; i < ElementCount; ++i)
        fw += counts[i] * w[i];
    return {counts[0] * w[0] / fw * 100, counts[1] * w[1] / fw * 100,
            counts[2] * w[2] / fw * 100, elements, maxC, maxFW, tolerance};
}

int Gcd(long long a, long long b) { return b == 0 ? (int)a : Gcd(b, a % b); }

// Every formula in the box, judged by the rules as written, independently
// of the search: nothing is pruned except by mass and the stated caps.
std::vector<std::string> BruteForceLines(const Analysis& a)
{
    Apply(a);
    const SearchSettingsRecord& s = SearchSettings;
    std::vector<std::pair<double, std::string>> found;
    int c[ElementCount] = {};
    auto judge = [&]() {
        if ((c[1] + c[2] + c[3] + c[4] + c[5] + c[6]) % 2 != 0)
            return;
        int g = 0;
        for (int v : c)
            g = Gcd(g, v);
        if (g != 1)
            return;
        double fw = 0;
        for (int i = 0; i < ElementCount; ++i)
            fw += c[i] * w[i];
        if (fw > s.maxFormulaWeight)
            return;
        const double p[3] = {c[0] * w[0] / fw * 100, c[1] * w[1] / fw * 100,
                             c[2] * w[2] / fw * 100};
        const double m[3] = {s.percentC, s.percentH, s.percentN};
        double worst = 0;
        for (int k = 0; k < 3; ++k) {
            const double d = std::fabs(p[k] - m[k]);
            if (!(d < a.tolerance))
                return;
            worst = std::max(worst, d);
        }
        FormulaRecord r{};
        std::copy(c, c + ElementCount, r.counts);
        char line[256];
        std::snprintf(line, sizeof line,
                      "%-20s (FW %6.2f): C:%5.2f H:%5.2f N:%5.2f MAX_ERR:%5.2f",
                      FormulaText(c).c_str(), fw, p[0], p[1], p[2], worst);
        found.push_back({worst, line});
    };
    const int maxC = (int)a.maxC;
    std::vector<int> hetero;
    for (int e = IndexBr; e <= IndexS; ++e)
        if (s.countLimit[e] > 0)
            hetero.push_back(e);
    auto mass = [&]() {
        double m = 0;
        for (int i = 0; i < ElementCount; ++i)
            m += c[i] * w[i];
        return m;
    };
    // Heteroatoms one level after another, each within its limit and caps.
    std::function<void(std::size_t)> fill = [&](std::size_t k) {
        if (k == hetero.size()) {
            judge();
            return;
        }
        const int e = hetero[k];
        for (c[e] = 0; c[e] <= maxC && mass() <= a.maxFW; ++c[e]) {
            const int halogens = c[3] + c[4] + c[5] + c[6];
            if ((e == IndexO || e == IndexS) && c[e] > 3 * c[0])
                break;
            if (c[1] + halogens > 2 * c[0] + 2 * c[2] + 3)
                break;
            fill(k + 1);
        }
        c[e] = 0;
    };
    for (c[0] = 1; c[0] <= maxC; ++c[0])
        for (c[2] = 0; mass() <= a.maxFW; ++c[2]) {
            for (c[1] = 0; c[1] <= 2 * c[0] + 2 * c[2] + 3 && mass() <= a.maxFW; ++c[1])
                fill(0);
            c[1] = 0;
        }
    std::sort(found.begin(), found.end());
    std::vector<std::string> lines;
    for (auto& f : found)
        lines.push_back(f.second);
    return lines;
}

TEST(CompleteSearch, MatchesBruteForceOnSmallLimits)
{
    const Analysis cases[] = {
        {52.00, 13.00, 0.00, "O", 6, 200, 0.51},           // ethanol, H > T
        {7.81, 0.00, 0.00, "Cl", 4, 400, 0.51},            // CCl4: no H at all
        {40.00, 6.71, 0.00, "O", 8, 300, 2.0},             // wide tolerance
        Measured({6, 4, 1, 0, 1, 0, 0, 2, 0}, "Cl O", 7, 300),
        Measured({4, 4, 2, 0, 0, 0, 0, 0, 1}, "S", 6, 250, 1.2),
        Measured({3, 2, 1, 1, 1, 1, 0, 1, 1}, "Br Cl F I O S", 3, 300, 1.5),
        Measured({5, 5, 5, 0, 0, 0, 0, 0, 0}, "", 5.9, 200, 3.0),  // nC 5 of 5.9
    };
    for (const Analysis& a : cases) {
        SCOPED_TRACE(a.elements + " C " + std::to_string(a.c));
        const std::vector<std::string> expected = BruteForceLines(a);
        std::vector<std::string> got = CompleteLines(a);
        std::vector<std::string> sortedGot = got, sortedExpected = expected;
        std::sort(sortedGot.begin(), sortedGot.end());
        std::sort(sortedExpected.begin(), sortedExpected.end());
        EXPECT_EQ(sortedGot, sortedExpected);
        EXPECT_FALSE(expected.empty());
    }
}

TEST(CompleteSearch, FindsWhatTheWindowMisses)
{
    // C18H17N5OS from a published analysis: the rounded ratio 4:3:1 never
    // visits 18 carbon atoms.
    const Analysis a{61.66, 4.45, 20.20, "O S", 20, 800, 0.51};
    const std::string wanted = "C18H17N5OS           (FW 351.43)";
    auto listed = [&](const std::vector<std::string>& lines) {
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
            return l.rfind(wanted, 0) == 0;
        });
    };
    EXPECT_FALSE(listed(WindowLines(a)));
    EXPECT_TRUE(listed(CompleteLines(a)));
}

TEST(CompleteSearch, ListsEveryLineOfTheWindowOnARandomSweep)
{
    std::mt19937 random(20261211);
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random);
    };
    auto pick = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    const char* const names[6] = {"Br", "Cl", "F", "I", "O", "S"};
    const double tolerances[] = {0.51, 0.51, 0.3, 0.8};
    long long windowTotal = 0, completeOnly = 0;
    for (int run = 0; run < 300; ++run) {
        std::vector<int> counts(ElementCount, 0);
        counts[IndexC] = pick(1, 30);
        counts[IndexN] = pick(0, 5);
        counts[IndexH] = pick(0, 2 * counts[IndexC] + 2);
        std::string elements;
        for (int e = IndexBr; e <= IndexS; ++e) {
            if (pick(0, 2) == 0) {
                elements += std::string(" ") + names[e - IndexBr];
                counts[e] = e >= IndexO ? pick(0, 4) : pick(0, 2);
            }
        }
        Analysis a = Measured(counts, elements, pick(8, 40), uniform(200, 1000),
                              tolerances[pick(0, 3)]);
        a.c += uniform(-0.4, 0.4);
        a.h = std::max(0.0, a.h + uniform(-0.4, 0.4));
        a.n = std::max(0.0, a.n + uniform(-0.4, 0.4));
        if (a.c < 1)
            continue;
        const std::vector<std::string> window = WindowLines(a);
        const std::vector<std::string> complete = CompleteLines(a);
        const std::set<std::string> listed(complete.begin(), complete.end());
        ASSERT_EQ(listed.size(), complete.size()) << "a formula listed twice";
        for (const std::string& line : window)
            ASSERT_EQ(listed.count(line), 1u)
                << line << "\nrun " << run << " C " << a.c << " H " << a.h
                << " N " << a.n << " [" << a.elements << "] T " << a.tolerance;
        const std::set<std::string> windowSet(window.begin(), window.end());
        windowTotal += (long long)windowSet.size();
        completeOnly += (long long)(listed.size() - windowSet.size());
    }
    EXPECT_GT(windowTotal, 300);  // the sweep compares real lists
    EXPECT_GT(completeOnly, 0);
}

TEST(CompleteSearch, OrdersByErrorThenText)
{
    Apply({50.0, 5.0, 10.0, "O S Cl", 30, 900, 0.51});
    std::vector<FormulaRecord> results;
    ASSERT_EQ(RunCompleteSearch(DefaultCompleteLimits(), results), CompleteFinished);
    ASSERT_GT(results.size(), 20u);
    SortByError(results);
    // MAX_ERR as printed (the line's last five characters), then the text.
    int ties = 0;
    for (std::size_t i = 1; i < results.size(); ++i) {
        const std::string a = ResultLine(results[i - 1]), b = ResultLine(results[i]);
        const std::string errorA = a.substr(a.size() - 5), errorB = b.substr(b.size() - 5);
        ASSERT_LE(errorA, errorB) << a << "\n" << b;
        if (errorA == errorB) {
            ++ties;
            ASSERT_LT(FormulaText(results[i - 1].counts), FormulaText(results[i].counts));
        }
    }
    EXPECT_GT(ties, 0);
}

TEST(CompleteSearch, StopsWhenCancelledOrFull)
{
    Apply({50.0, 5.0, 10.0, "O S Cl", 30, 900, 0.51});
    CompleteSearchLimits limits = DefaultCompleteLimits();
    limits.maxResults = 3;
    std::vector<FormulaRecord> results;
    EXPECT_EQ(RunCompleteSearch(limits, results), CompleteFull);
    EXPECT_EQ(results.size(), 3u);

    Apply({50.0, 5.0, 10.0, "O S Cl", 30, 900, 0.51});
    hooks.cancelAtPump = 50;
    results.clear();
    EXPECT_EQ(RunCompleteSearch(DefaultCompleteLimits(), results), CompleteCancelled);
    EXPECT_EQ(hooks.pumps, 50);
}

TEST(CompleteSearch, RefusesNothingItCannotSearch)
{
    // Out-of-range input finds nothing and ends at once.
    const Analysis cases[] = {
        {0.5, 5, 5, "O", 20, 800, 0.51},
        {-3, 5, 5, "O", 20, 800, 0.51},
        {150, 5, 5, "O", 20, 800, 0.51},
        {NAN, 5, 5, "O", 20, 800, 0.51},
        {50, 5, 5, "O", 20, 800, NAN},
    };
    for (const Analysis& a : cases) {
        Apply(a);
        std::vector<FormulaRecord> results;
        EXPECT_EQ(RunCompleteSearch(DefaultCompleteLimits(), results), CompleteFinished);
        EXPECT_TRUE(results.empty());
    }
}

TEST(FormulaText, ReadsBackWhatItWrites)
{
    struct Case { const char* text; bool ok; std::vector<int> counts; };
    const Case cases[] = {
        {"C8H9NO", true, {8, 9, 1, 0, 0, 0, 0, 1, 0}},
        {"CH4", true, {1, 4, 0, 0, 0, 0, 0, 0, 0}},
        {"C2H3ClNO2", true, {2, 3, 1, 0, 1, 0, 0, 2, 0}},
        {"C3H11Br3Cl3F3I3N9O3S3", true, {3, 11, 9, 3, 3, 3, 3, 3, 3}},
        {"C2147483647", true, {2147483647, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"", false, {}},
        {"C0H4", false, {}},
        {"CH4C", false, {}},
        {"C2147483648", false, {}},
        {"C8Xe", false, {}},
        {"c8", false, {}},
    };
    for (const Case& c : cases) {
        int counts[ElementCount];
        EXPECT_EQ(ParseFormulaText(c.text, counts), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(std::vector<int>(counts, counts + ElementCount), c.counts);
            EXPECT_EQ(FormulaText(counts), c.text);
        }
    }
}

}  // namespace
