// The extra bounds of the search must not change a single byte of a run's
// block. Every input runs twice, with the bounds and with the plain loops;
// the blocks must be equal. Inputs for which the plain loops would take too
// long stop after a budget of combinations on the plain side only: its
// lines so far must then begin the bounded block's lines.
#include "test_hooks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr long long PlainBudget = 400000;  // combinations

struct Input {
    std::string c, h, n, elements, maxC, maxFW;
};

struct Outcome {
    std::string block;
    bool capped;
    long long combinations;
};

Outcome RunOnce(const Input& in, bool bounds)
{
    ResetEngineState();
    extraBoundsEnabled = bounds ? 1 : 0;
    if (!bounds)
        hooks.cancelAtPump = PlainBudget;  // the budget, as a CANCEL
    const RunInputs inputs = MakeInputs(in.c.c_str(), in.h.c_str(), in.n.c_str(),
                                        in.elements, in.maxC.c_str(), in.maxFW.c_str());
    Outcome o;
    o.block = RunBlock(inputs);
    o.capped = cancelRequested != 0;
    o.combinations = SearchCounters.combinations;
    extraBoundsEnabled = 1;
    return o;
}

// The result lines of a block: what lies between the header and the
// closing empty line (empty for NOT FOUND).
std::string LinesOf(const std::string& block)
{
    const std::size_t start = block.find("\r\n") + 2;
    if (block.compare(start, 11, "NOT FOUND\r\n") == 0)
        return "";
    return block.substr(start, block.size() - start - 2);
}

// Returns a description of the difference, or an empty string; capped
// tells whether the plain side ran out of its budget.
std::string Compare(const Input& in, bool& capped)
{
    const Outcome plain = RunOnce(in, false);
    capped = plain.capped;
    const Outcome bounded = RunOnce(in, true);
    const std::string what = "C " + in.c + " H " + in.h + " N " + in.n + " [" +
                             in.elements + "] maxC '" + in.maxC + "' maxFW '" +
                             in.maxFW + "'";
    if (bounded.combinations > plain.combinations && !plain.capped)
        return what + ": the bounds tried more combinations";
    if (!plain.capped)
        return plain.block == bounded.block ? "" : what + ": blocks differ";
    const std::string plainLines = LinesOf(plain.block);
    return LinesOf(bounded.block).compare(0, plainLines.size(), plainLines) == 0
               ? ""
               : what + ": capped plain lines are not a prefix";
}

TEST(ExtraBounds, SameBlockOnTheWorkedAndHardExamples)
{
    const Input inputs[] = {
        {"71.09", "6.71", "10.36", "", "", ""},
        {"71.09", "6.71", "10.36", "O", "", ""},
        {"71.09", "6.71", "10.36", "O", "100000", ""},
        {"68.85", "4.95", "0", "", "", ""},
        {"40.00", "6.71", "0.50", "O", "", ""},
        {"54.54", "3.05", "42.41", "", "", ""},
        {"54.54", "3.05", "42.41", "", "3", ""},
        {"52.00", "13.00", "0.00", "O", "", ""},
        {"1", "0", "0", "Br Cl F I O S", "", ""},
        {"10", "1", "1", "Br Cl F I O S", "", "2000"},
        {"60", "5", "10", "Br S", "", ""},
        {"40", "6.7", "", "O S", "12", ""},
        {"-1", "", "", "", "", ""},
        {"50", "-0.3", "5", "O", "", ""},
    };
    for (const Input& in : inputs) {
        bool capped;
        EXPECT_EQ(Compare(in, capped), "");
    }
}

// Draws inputs as users type them: analyses of real-looking formulas,
// rounded to two decimals and a little off, element choices around the
// formula's own, limits at and next to the formula's counts and weight,
// and percentages that land on the 0.51 and 0.7 limits of a formula.
struct Drawer {
    std::mt19937 random{20261211};

    int Below(int n) { return (int)(random() % (unsigned)n); }
    double Unit() { return random() / 4294967296.0; }

    static std::string Text(double v, const char* format = "%.2f")
    {
        char text[40];
        std::snprintf(text, sizeof text, format, v);
        return text;
    }

    Input Draw()
    {
        static const char* const symbols[6] = {"Br", "Cl", "F", "I", "O", "S"};
        const double* w = ElementTable.atomicWeight;
        int counts[ElementCount] = {};
        counts[IndexC] = 1 + Below(Below(4) == 0 ? 60 : 25);
        counts[IndexN] = Below(4) == 0 ? 0 : Below(7);
        counts[IndexH] = Below(2 * counts[IndexC] + counts[IndexN] + 3);
        std::string elements;
        for (int k = 0; k < 6; ++k) {
            const bool inFormula = Below(3) == 0;
            if (inFormula)
                counts[IndexBr + k] = 1 + Below(k >= 4 ? 5 : 3);
            if (inFormula ? Below(8) != 0 : Below(6) == 0)
                elements += std::string(symbols[k]) + " ";
        }
        double fw = 0;
        for (int i = 0; i < ElementCount; ++i)
            fw += counts[i] * w[i];
        double p[3];
        for (int i = 0; i < 3; ++i)
            p[i] = counts[i] * w[i] / fw * 100;

        Input in;
        std::string* fields[3] = {&in.c, &in.h, &in.n};
        const int style = Below(10);
        for (int i = 0; i < 3; ++i) {
            if (style < 6)  // a measurement: rounded and a little off
                *fields[i] = Text(p[i] + (Unit() - 0.5) * 0.6);
            else if (style < 8)  // exactly on an agreement or pre-filter limit
                *fields[i] = Text(p[i] + (Below(2) ? 1 : -1) * (Below(2) ? 0.51 : 0.7),
                                  "%.17g");
            else
                *fields[i] = Text(p[i], "%.17g");
        }
        if (p[1] < 0.7 && Below(2))
            in.h = "0";
        if (counts[IndexN] == 0 && Below(2))
            in.n = "";
        in.elements = elements;

        switch (Below(6)) {
        case 0: in.maxC = ""; break;
        case 1: in.maxC = Text(counts[IndexC], "%.0f"); break;
        case 2: in.maxC = Text(counts[IndexC] + Below(3) - 1, "%.0f"); break;
        case 3: in.maxC = Text(counts[IndexC] + Unit(), "%.3f"); break;
        case 4: in.maxC = Text(1 + Below(80), "%.0f"); break;
        default: in.maxC = Text(1000 + Below(100000), "%.0f"); break;
        }
        switch (Below(6)) {
        case 0: in.maxFW = ""; break;
        case 1: in.maxFW = Text(fw, "%.17g"); break;
        case 2: in.maxFW = Text(std::nextafter(fw, 0), "%.17g"); break;
        case 3: in.maxFW = Text(fw + (Unit() - 0.5) * 2); break;
        case 4: in.maxFW = Text(12 + Unit() * 3000); break;
        default: in.maxFW = Text(fw * (1 + Unit())); break;
        }
        return in;
    }
};

TEST(ExtraBounds, SameBlockOnARandomSweep)
{
    Drawer drawer;
    int differences = 0, capped = 0;
    const int inputs = 3000;
    for (int k = 0; k < inputs; ++k) {
        const Input in = drawer.Draw();
        bool wasCapped;
        const std::string difference = Compare(in, wasCapped);
        if (!difference.empty() && ++differences <= 10)
            ADD_FAILURE() << difference;
        capped += wasCapped;
    }
    EXPECT_EQ(differences, 0);
    // Most inputs must be compared in full, or the sweep proves little.
    EXPECT_LT(capped, inputs / 4);
    std::printf("sweep: %d inputs, %d capped by the plain side's budget\n", inputs, capped);
}

}  // namespace
