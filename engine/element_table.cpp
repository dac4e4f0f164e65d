// The element table and the search settings with their derived limits.
#include "engine.h"

ElementTableRecord ElementTable = {
    {"C", "H", "N", "Br", "Cl", "F", "I", "O", "S"},
    {12.0107, 1.00794, 14.0067, 79.904, 35.453, 18.9984032, 126.90447,
     15.9994, 32.065},
};

const int FormulaOrder[ElementCount] = {IndexC,  IndexH, IndexBr,
                                        IndexCl, IndexF, IndexI,
                                        IndexN,  IndexO, IndexS};

SearchSettingsRecord SearchSettings;
double agreementTolerance = 0.51;
double prefilterTolerance = 0.7;

void SetDerivedSettings()
{
    SearchSettingsRecord& s = SearchSettings;
    s.maxCarbonCount = TruncToInt(s.maxCarbon);
    s.countLimit[IndexC] = s.maxCarbonCount;
    s.countLimit[IndexBr] = s.useBr * s.maxCarbonCount;
    s.countLimit[IndexCl] = s.useCl * s.maxCarbonCount;
    s.countLimit[IndexF] = s.useF * s.maxCarbonCount;
    s.countLimit[IndexI] = s.useI * s.maxCarbonCount;
    s.countLimit[IndexO] = s.useO * s.maxCarbonCount;
    s.countLimit[IndexS] = s.useS * s.maxCarbonCount;

    static const double weights[ElementCount] = {
        12.0107, 1.00794, 14.0067, 79.904, 35.453, 18.9984032, 126.90447,
        15.9994, 32.065};
    for (int i = 0; i < ElementCount; ++i)
        ElementTable.atomicWeight[i] = weights[i];
}
