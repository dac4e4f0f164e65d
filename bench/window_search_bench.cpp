// Times the window's search with its extra bounds and with the plain loops,
// on the worked examples, typical analyses and hard cases, in one run.
//
//   window_search_bench [budget-seconds]     the suite (plain side stops
//                                             at the budget: "> budget")
//   window_search_bench --hunt N [seed]      draws N/2 inputs with MAX FW up
//                                             to 10000, climbs N/2 steps from
//                                             the worst, prints each new worst
#include "engine.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

int cancelRequested;

namespace {

using Clock = std::chrono::steady_clock;
Clock::time_point deadline;
bool deadlineSet;
long long pumps;

}  // namespace

// The plain side stops at the time budget, as if CANCEL were pressed.
void PumpPendingMessages()
{
    if (deadlineSet && (++pumps & 1023) == 0 && Clock::now() > deadline)
        cancelRequested = 1;
}

void StepProgress() {}

namespace {

struct Case {
    const char* name;
    const char *c, *h, *n, *maxC, *maxFW;
    bool br, cl, f, i, o, s;
};

struct Timing {
    double seconds;
    long long combinations;
    long long work;  // slots + level starts + combinations
    bool overBudget;
    std::string block;
};

Timing Time(const Case& k, bool bounds, double budget)
{
    RunInputs in{k.c, k.h, k.n, k.maxC, k.maxFW, k.br, k.cl, k.f, k.i, k.o, k.s};
    extraBoundsEnabled = bounds ? 1 : 0;
    cancelRequested = 0;
    ResultsLog[0] = '\0';
    ClearRunLines();
    const Clock::time_point start = Clock::now();
    deadline = start + std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double>(budget));
    deadlineSet = !bounds;
    pumps = 0;
    RunCalculation(in, nullptr, nullptr);
    Timing t;
    t.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    t.combinations = SearchCounters.combinations;
    t.work = SearchCounters.slots + SearchCounters.levelStarts +
             SearchCounters.combinations;
    t.overBudget = cancelRequested != 0;
    t.block = ResultsLog;
    return t;
}

const Case suite[] = {
    {"acetanilide", "71.09", "6.71", "10.36", "", "", 0, 0, 0, 0, 1, 0},
    {"acetanilide MAX C 100000", "71.09", "6.71", "10.36", "100000", "", 0, 0, 0, 0, 1, 0},
    {"2-naphthol (C, H only)", "83.31", "5.59", "", "", "", 0, 0, 0, 0, 1, 0},
    {"guanine-like C5H5N5O", "39.74", "3.34", "46.35", "", "", 0, 0, 0, 0, 1, 0},
    {"sulfonamide C6H8N2O2S", "41.85", "4.68", "16.27", "", "", 0, 0, 0, 0, 1, 1},
    {"chloro-bromo aryl", "37.62", "2.11", "7.31", "", "", 1, 1, 0, 0, 1, 0},
    {"fluoro amide", "51.63", "3.32", "8.60", "", "", 0, 0, 1, 0, 1, 0},
    {"iodo ester", "33.61", "2.82", "0", "", "", 0, 0, 0, 1, 1, 0},
    {"all six, typical", "45.12", "3.90", "9.57", "", "", 1, 1, 1, 1, 1, 1},
    {"all six, MAX FW 2000", "45.12", "3.90", "9.57", "", "2000", 1, 1, 1, 1, 1, 1},
    {"C 1 H 0 N 0, all six", "1", "0", "0", "", "", 1, 1, 1, 1, 1, 1},
    {"C 10 H 1 N 1, all six, FW 2000", "10", "1", "1", "", "2000", 1, 1, 1, 1, 1, 1},
    {"C 20 H 2 N 20, all six, FW 10000", "20", "2", "20", "100000", "10000", 1, 1, 1, 1, 1, 1},
};

int RunSuite(double budget)
{
    std::printf("%-34s %14s %9s %14s %9s %9s %s\n", "input", "plain comb.", "plain s",
                "bounded comb.", "bound s", "ratio", "same");
    for (const Case& k : suite) {
        const Timing plain = Time(k, false, budget);
        Timing bounded = Time(k, true, budget);
        for (int repeat = 0; repeat < 4; ++repeat) {  // the fastest of five
            const Timing again = Time(k, true, budget);
            if (again.seconds < bounded.seconds)
                bounded = again;
        }
        char plainTime[32], ratio[32];
        if (plain.overBudget) {
            std::snprintf(plainTime, sizeof plainTime, "> %.0f", budget);
            std::snprintf(ratio, sizeof ratio, "> %.0f", budget / (bounded.seconds + 1e-9));
        } else {
            std::snprintf(plainTime, sizeof plainTime, "%.4f", plain.seconds);
            std::snprintf(ratio, sizeof ratio, "%.1f", plain.seconds / (bounded.seconds + 1e-9));
        }
        const char* same = plain.overBudget ? "(budget)"
                           : plain.block == bounded.block ? "yes" : "NO";
        std::printf("%-34s %14lld %9s %14lld %9.4f %9s %s\n", k.name, plain.combinations,
                    plainTime, bounded.combinations, bounded.seconds, ratio, same);
    }
    return 0;
}

// One drawn input of the hunt: percentages, limits and element choices.
struct Draw {
    double c, h, n, maxC, maxFW;
    unsigned elements;  // bit k: Br, Cl, F, I, O, S
};

Timing TimeDraw(const Draw& d, std::string& text)
{
    char c[32], h[32], n[32], maxC[32], maxFW[32];
    std::snprintf(c, sizeof c, "%.2f", d.c);
    std::snprintf(h, sizeof h, "%.2f", d.h);
    std::snprintf(n, sizeof n, "%.2f", d.n);
    std::snprintf(maxC, sizeof maxC, "%.0f", d.maxC);
    std::snprintf(maxFW, sizeof maxFW, "%.0f", d.maxFW);
    const unsigned e = d.elements;
    Case kase{"hunt", c, h, n, maxC, maxFW, bool(e & 1), bool(e & 2), bool(e & 4),
              bool(e & 8), bool(e & 16), bool(e & 32)};
    char line[200];
    std::snprintf(line, sizeof line, "C %s H %s N %s MAX C %s MAX FW %s elements %c%c%c%c%c%c",
                  c, h, n, maxC, maxFW, e & 1 ? 'B' : '-', e & 2 ? 'C' : '-',
                  e & 4 ? 'F' : '-', e & 8 ? 'I' : '-', e & 16 ? 'O' : '-',
                  e & 32 ? 'S' : '-');
    text = line;
    return Time(kase, true, 0);
}

// Random hard inputs: all kinds of percentages, element choices and limits,
// MAX FW up to 10000, then a hill climb from the worst one. Prints every
// input that sets a new maximum of work (slots, level starts and
// combinations: a count that the machine's load does not disturb, unlike
// the time printed beside it).
int Hunt(int count, unsigned seed)
{
    std::mt19937 random(seed);
    auto unit = [&] { return random() / 4294967296.0; };
    auto clamp = [](double v, double lo, double hi) { return v < lo ? lo : v > hi ? hi : v; };
    std::normal_distribution<double> step(0, 1);
    long long worst = 0;
    Draw best{};
    for (int k = 0; k < count; ++k) {
        Draw d;
        if (k < count / 2 || worst == 0) {
            d = {1 + unit() * 99, unit() < 0.3 ? 0 : unit() * 12, unit() < 0.3 ? 0 : unit() * 50,
                 unit() < 0.5 ? 1e9 : 1 + unit() * 1000, unit() < 0.5 ? 10000 : 12 + unit() * 9988,
                 unit() < 0.5 ? 63u : (unsigned)(random() % 64)};
        } else {  // climb: a small step away from the worst so far
            d = best;
            d.c = clamp(d.c + step(random), 1, 100);
            d.h = clamp(d.h + 0.3 * step(random), 0, 100);
            d.n = clamp(d.n + step(random), 0, 100);
            d.maxFW = clamp(d.maxFW + 200 * step(random), 12, 10000);
            if (unit() < 0.1)
                d.elements ^= 1u << (random() % 6);
        }
        std::string text;
        const Timing t = TimeDraw(d, text);
        if (t.work > worst) {
            worst = t.work;
            best = d;
            std::printf("%.4f s %11lld work %9lld comb.: %s\n", t.seconds, t.work,
                        t.combinations, text.c_str());
            std::fflush(stdout);
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--hunt") == 0)
        return Hunt(std::atoi(argv[2]), argc >= 4 ? (unsigned)std::atoi(argv[3]) : 1u);
    return RunSuite(argc >= 2 ? std::atof(argv[1]) : 10.0);
}
