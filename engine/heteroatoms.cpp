// The heteroatom enumeration: fills the mass that a C/H/N candidate leaves
// with every admissible number of Br, Cl, F, I, O and S atoms, keeps the
// formulas that agree with the measurement and appends their result lines.
#include "engine.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Formula text in Hill order; counts of 1 print the bare symbol.
void ComposeFormulaText(const int* counts, char* formulaText, std::size_t size)
{
    std::size_t length = 0;
    formulaText[0] = '\0';
    for (int k = 0; k < ElementCount; ++k) {
        const int element = FormulaOrder[k];
        const int count = counts[element];
        if (count == 0)
            continue;
        char elementPiece[32];
        if (count == 1)
            std::snprintf(elementPiece, sizeof elementPiece, "%s",
                          ElementTable.symbol[element]);
        else
            std::snprintf(elementPiece, sizeof elementPiece, "%s%d",
                          ElementTable.symbol[element], count);
        AppendBounded(formulaText, length, size - 1, elementPiece);
    }
}

void AcceptFormula(const int* counts, double fw, double pC, double pH,
                   double pN, double dC, double dH, double dN)
{
    char formulaText[128];
    ComposeFormulaText(counts, formulaText, sizeof formulaText);
    const double maxError = Max3(dC, dH, dN);
    std::snprintf(LineBuffer, LineBufferSize,
                  "%-20s (FW %6.2f): C:%5.2f H:%5.2f N:%5.2f MAX_ERR:%5.2f\r\n",
                  formulaText, fw, pC, pH, pN, maxError);
    AppendBounded(RunLines, RunLinesLength, LogCapacity, LineBuffer);
    ++SearchCounters.accepted;
}

// One combination of heteroatom counts. Returns 1 when the run was
// cancelled, else 0.
int TryCombination(const int* counts)
{
    PumpPendingMessages();
    ++SearchCounters.combinations;
    if (cancelRequested != 0)
        return 1;

    // Rings plus double bonds must be a whole number: hydrogen, nitrogen
    // and the halogens together have an even count.
    const long long oddValence = (long long)counts[IndexH] + counts[IndexN] +
                                 counts[IndexBr] + counts[IndexCl] +
                                 counts[IndexF] + counts[IndexI];
    if (oddValence % 2 != 0)
        return 0;

    const double* w = ElementTable.atomicWeight;
    double fw = 0;
    for (int i = 0; i < ElementCount; ++i)
        fw += counts[i] * w[i];

    const SearchSettingsRecord& s = SearchSettings;
    const double pC = counts[IndexC] * w[IndexC] / fw * 100;
    const double pH = counts[IndexH] * w[IndexH] / fw * 100;
    const double pN = counts[IndexN] * w[IndexN] / fw * 100;
    const double dC = std::fabs(pC - s.percentC);
    if (dC >= agreementTolerance)
        return 0;
    const double dH = std::fabs(pH - s.percentH);
    if (dH >= agreementTolerance)
        return 0;
    const double dN = std::fabs(pN - s.percentN);
    if (dN >= agreementTolerance)
        return 0;
    if (counts[IndexC] > s.maxCarbon)
        return 0;
    if (fw > s.maxFormulaWeight)
        return 0;
    if (HasCommonFactor(counts, ElementCount) == 1)
        return 0;

    AcceptFormula(counts, fw, pC, pH, pN, dC, dH, dN);
    return 0;
}

// One enumeration level: the heteroatom `element` (Br .. S), with the mass
// left for it and the levels inside it, and the halogen room that the
// hydrogen count leaves. Levels nest Br (outermost) to S (innermost).
int EnumerateLevel(int element, double remainingMass, long long halogenRoom,
                   int* counts)
{
    const bool halogen = element <= IndexI;
    const long long cap = halogen ? halogenRoom : 3LL * counts[IndexC];
    const double w = ElementTable.atomicWeight[element];
    const int bound =
        TruncToInt(Min3(SearchSettings.countLimit[element], (double)cap,
                        remainingMass / w + 1));

    for (long long n = 0; n <= bound; ++n) {
        counts[element] = (int)n;
        const int cancelled =
            element == IndexS
                ? TryCombination(counts)
                : EnumerateLevel(element + 1, remainingMass - n * w,
                                 halogen ? halogenRoom - n : halogenRoom,
                                 counts);
        if (cancelled)
            return 1;
    }
    return 0;
}

}  // namespace

int EnumerateHeteroatoms(int nC, int nH, int nN, double estimatedFW,
                         double chnWeight)
{
    int counts[ElementCount] = {nC, nH, nN, 0, 0, 0, 0, 0, 0};
    const long long monovalentBudget = 2LL * nC + 2LL * nN + 3 - nH;
    return EnumerateLevel(IndexBr, estimatedFW - chnWeight, monovalentBudget,
                          counts);
}

int HasCommonFactor(const int* counts, int n)
{
    int copy[10];
    if (n > 10)
        n = 10;
    std::memcpy(copy, counts, sizeof(int) * (n > 0 ? n : 0));
    if (n <= 0)
        return 1;
    int g = copy[0];
    for (int i = 1; i < n; ++i) {
        if (g == 1 || copy[i] == 0)
            continue;
        if (g > copy[i])
            g = Gcd(g, copy[i]);
        else if (g < copy[i])
            g = Gcd(copy[i], g);
    }
    return g != 1 ? 1 : 0;
}

int Gcd(int a, int b)
{
    if (a <= 0 || b <= 0)
        return 0;
    const int r = a % b;
    return r == 0 ? b : Gcd(b, r);
}

double Max3(double a, double b, double c)
{
    const double m = a < b ? b : a;
    return m < c ? c : m;
}

double Min3(double a, double b, double c)
{
    const double m = a > b ? b : a;
    return m > c ? c : m;
}
