// The calculation run: turns the page's inputs into SearchSettings, composes
// the run header, runs the search and puts the run's block on top of the
// results log.
#include "engine.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace {

// A run takes place when the C percentage is at least 1 in magnitude. The
// test truncates each percentage to a 32-bit integer, so values that do not
// fit one (NaN, infinities, magnitudes of 2^31 and more, which no analysis
// reports and whose header would not fit LineBuffer) turn the run away too,
// in any of the three fields.
bool RunTakesPlace(const SearchSettingsRecord& s)
{
    for (double p : {s.percentC, s.percentH, s.percentN})
        if (!(std::fabs(p) < 2147483648.0))
            return false;
    return std::fabs(std::trunc(s.percentC)) >= 1;
}

void ComposeHeader(const SearchSettingsRecord& s)
{
    // Bounded: a turned-away run may hold a percentage of any size here.
    std::snprintf(LineBuffer, LineBufferSize,
                  "For C:%5.2f H:%5.2f N:%5.2f using C, H, N", s.percentC,
                  s.percentH, s.percentN);
    std::size_t length = std::strlen(LineBuffer);
    const int use[6] = {s.useBr, s.useCl, s.useF, s.useI, s.useO, s.useS};
    for (int k = 0; k < 6; ++k) {
        if (use[k] == 1) {
            AppendBounded(LineBuffer, length, LineBufferSize - 1, ", ");
            AppendBounded(LineBuffer, length, LineBufferSize - 1,
                          ElementTable.symbol[IndexBr + k]);
        }
    }
}

char workText[LogCapacity + 1];

}  // namespace

bool PrepareRun(const RunInputs& inputs)
{
    SearchSettingsRecord& s = SearchSettings;
    s.percentC = ConvertNumber(inputs.textC);
    s.percentH = ConvertNumber(inputs.textH);
    s.percentN = ConvertNumber(inputs.textN);
    s.useBr = inputs.useBr ? 1 : 0;
    s.useCl = inputs.useCl ? 1 : 0;
    s.useF = inputs.useF ? 1 : 0;
    s.useI = inputs.useI ? 1 : 0;
    s.useO = inputs.useO ? 1 : 0;
    s.useS = inputs.useS ? 1 : 0;
    const double maxC = ConvertNumber(inputs.textMaxC);
    s.maxCarbon = maxC >= 1 ? maxC : 20;  // NaN is not at least 1 either
    const double maxFW = ConvertNumber(inputs.textMaxFW);
    s.maxFormulaWeight = maxFW >= 12 ? maxFW : 800;

    ComposeHeader(s);
    return RunTakesPlace(s);
}

bool RunCalculation(const RunInputs& inputs, void (*beforeSearch)(),
                    void (*afterSearch)())
{
    if (!PrepareRun(inputs))
        return false;

    resultsUnsaved = 1;
    std::size_t workLength = 0;
    workText[0] = '\0';
    AppendBounded(workText, workLength, LogCapacity, LineBuffer);
    AppendBounded(workText, workLength, LogCapacity, "\r\n");
    LineBuffer[0] = '\0';

    if (beforeSearch)
        beforeSearch();
    RunFormulaSearch();
    if (afterSearch)
        afterSearch();

    if (LineBuffer[0] != '\0') {
        AppendBounded(workText, workLength, LogCapacity, RunLines);
        AppendBounded(workText, workLength, LogCapacity, "\r\n");
    } else {
        AppendBounded(workText, workLength, LogCapacity, "NOT FOUND\r\n\r\n");
    }
    AppendBounded(workText, workLength, LogCapacity, ResultsLog);

    std::memcpy(ResultsLog, workText, workLength + 1);
    ClearRunLines();
    return true;
}
