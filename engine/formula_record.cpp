// Judging one formula by the acceptance tests, its formula text and its
// result line: shared by the window's enumeration, the complete search and
// the front ends that print results in other formats.
#include "complete_search.h"

#include <cmath>
#include <cstdio>
#include <cstring>

bool JudgeFormula(const int* counts, FormulaRecord& record)
{
    // One arithmetic for every search: any other could accept or refuse a
    // formula on the 0.51 boundary differently.
    const long long oddValence = (long long)counts[IndexH] + counts[IndexN] +
                                 counts[IndexBr] + counts[IndexCl] +
                                 counts[IndexF] + counts[IndexI];
    if (oddValence % 2 != 0)
        return false;

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
        return false;
    const double dH = std::fabs(pH - s.percentH);
    if (dH >= agreementTolerance)
        return false;
    const double dN = std::fabs(pN - s.percentN);
    if (dN >= agreementTolerance)
        return false;
    if (counts[IndexC] > s.maxCarbon)
        return false;
    if (fw > s.maxFormulaWeight)
        return false;
    if (HasCommonFactor(counts, ElementCount) == 1)
        return false;

    std::memcpy(record.counts, counts, sizeof record.counts);
    record.formulaWeight = fw;
    record.percentC = pC;
    record.percentH = pH;
    record.percentN = pN;
    record.maxError = Max3(dC, dH, dN);
    return true;
}

std::string FormulaText(const int* counts)
{
    std::string text;
    for (int k = 0; k < ElementCount; ++k) {
        const int element = FormulaOrder[k];
        const int count = counts[element];
        if (count == 0)
            continue;
        text += ElementTable.symbol[element];
        if (count != 1)
            text += std::to_string(count);
    }
    return text;
}

bool ParseFormulaText(const std::string& text, int* counts)
{
    for (int i = 0; i < ElementCount; ++i)
        counts[i] = 0;
    bool seen[ElementCount] = {};
    std::size_t at = 0;
    while (at < text.size()) {
        int element = -1;
        for (int i = 0; i < ElementCount; ++i) {
            const char* symbol = ElementTable.symbol[i];
            const std::size_t length = std::strlen(symbol);
            // The longer symbol wins: "Cl" is not C followed by l.
            if (text.compare(at, length, symbol) == 0 &&
                (element < 0 || length > std::strlen(ElementTable.symbol[element])))
                element = i;
        }
        if (element < 0 || seen[element])
            return false;
        seen[element] = true;
        at += std::strlen(ElementTable.symbol[element]);
        long long count = 0;
        std::size_t digits = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 11) {
            count = count * 10 + (text[at] - '0');
            ++at;
            ++digits;
        }
        if (digits == 0)
            count = 1;
        if (count == 0 || count > 2147483647 ||
            (at < text.size() && text[at] >= '0' && text[at] <= '9'))
            return false;
        counts[element] = (int)count;
    }
    return !text.empty();
}

std::string ResultLine(const FormulaRecord& r)
{
    char line[LineBufferSize];
    std::snprintf(line, sizeof line,
                  "%-20s (FW %6.2f): C:%5.2f H:%5.2f N:%5.2f MAX_ERR:%5.2f",
                  FormulaText(r.counts).c_str(), r.formulaWeight, r.percentC,
                  r.percentH, r.percentN, r.maxError);
    return line;
}
