// The formula search: finds molecular formulas whose computed C, H and N
// percentages agree with an elemental analysis. Platform-free: no window,
// file or system call happens in here. All state is process-wide and lives
// for the whole process; the front ends (window, command line, tests) reach
// the search through the run hooks at the end of this header.
#pragma once

#include <cstddef>

// ---- Element table --------------------------------------------------------

// Index order of every per-element array of the search.
enum ElementIndex {
    IndexC = 0, IndexH, IndexN,                        // measured
    IndexBr, IndexCl, IndexF, IndexI, IndexO, IndexS,  // permitted heteroatoms
    ElementCount
};

struct ElementTableRecord {
    const char* symbol[ElementCount];
    double atomicWeight[ElementCount];  // grams per mole
};
extern ElementTableRecord ElementTable;

// Element indices in the order their pieces appear in formula text (Hill
// order: C, H, then the rest alphabetically, so N comes after the halogens).
extern const int FormulaOrder[ElementCount];

// ---- Search settings ------------------------------------------------------

struct SearchSettingsRecord {
    double percentC, percentH, percentN;  // measured, mass percent
    int maxCarbonCount;                   // maxCarbon truncated (derived)
    int useBr, useCl, useF, useI, useO, useS;
    double maxCarbon;                     // as entered (fraction kept)
    double maxFormulaWeight;              // grams per mole
    int countLimit[ElementCount];         // heteroatom limits (derived)
};
extern SearchSettingsRecord SearchSettings;

// Agreement limits, in percentage points. A formula is accepted when each of
// its computed C, H and N percentages lies strictly closer than
// agreementTolerance to the measured one; the seed scan hands on candidates
// whose C:H:N proportions lie strictly closer than prefilterTolerance. The
// window always uses 0.51 and 0.7; only the command line changes them.
extern double agreementTolerance;
extern double prefilterTolerance;

// Sets maxCarbonCount, countLimit and the element weights from the inputs of
// SearchSettings; the seed scan calls it first thing.
void SetDerivedSettings();

// ---- Text buffers ---------------------------------------------------------

constexpr std::size_t LogCapacity = 131071;  // characters, without the zero
constexpr std::size_t LineBufferSize = 256;

extern char ResultsLog[LogCapacity + 1];  // newest run block first
extern char RunLines[LogCapacity + 1];    // lines of the run in progress
extern std::size_t RunLinesLength;        // strlen(RunLines), kept in step
extern char LineBuffer[LineBufferSize];   // header, then each result line
extern int resultsUnsaved;                // 1 after a run, 0 after a save

// Appends at most capacity - length characters of text to dest, keeps the
// terminating zero and updates length. What does not fit is cut off.
void AppendBounded(char* dest, std::size_t& length, std::size_t capacity,
                   const char* text);

// Empties RunLines (and its length).
void ClearRunLines();

// ---- The search -----------------------------------------------------------

void RunFormulaSearch();
// Returns 1 when the search is to stop: cancelled, or (with the extra
// bounds) RunLines is full, so that nothing can change the run's block.
int EnumerateHeteroatoms(int nC, int nH, int nN, double estimatedFW,
                         double chnWeight);
int HasCommonFactor(const int* counts, int n);
int Gcd(int a, int b);
double Max3(double a, double b, double c);
double Min3(double a, double b, double c);

// Floating value to 32-bit int, truncating toward zero. The search's policy
// for values outside the int range: NaN gives 0, larger magnitudes give the
// nearest end of the range (so a MAX C of 1e300 means 2147483647 atoms).
int TruncToInt(long double value);

// What the last search did, for tests and benchmarks. Reset by every scan.
struct SearchCountersRecord {
    long long slots;         // candidate slots visited
    long long candidates;    // slots that passed the 0.7 pre-filter
    long long combinations;  // heteroatom combinations tried
    long long levelStarts;   // enumeration levels started (loop set-ups)
    long long accepted;      // result lines formatted
    int progressSteps;       // StepProgress calls
};
extern SearchCountersRecord SearchCounters;

// 1 (the default): the search skips the work that provably cannot change
// the run's block. 0 runs the plain loops; only the tests switch it off, to
// prove that both give the same block.
extern int extraBoundsEnabled;

// Test instrumentation: called for every candidate handed to the
// enumeration, with its arguments. Null in the programs.
extern void (*candidateObserver)(int nC, int nH, int nN, double estimatedFW,
                                 double chnWeight);

// ---- Calculation run ------------------------------------------------------

// The page's inputs: five field texts (zero-terminated; the window cuts each
// to 15 characters) and six element choices.
struct RunInputs {
    const char* textC;
    const char* textH;
    const char* textN;
    const char* textMaxC;
    const char* textMaxFW;
    bool useBr, useCl, useF, useI, useO, useS;
};

// Converts the leading decimal number of text (after white space) to a
// double; 0 when there is none. "+INF", "-INF", "+NAN", "-NAN" give the
// infinite and NaN values. When end is given it receives the first
// character after the number (text itself when there was none).
double ConvertNumber(const char* text, const char** end = nullptr);

// The first steps of a run: fills the inputs of SearchSettings from the
// field texts and composes the run header in LineBuffer. Returns whether a
// run takes place for these inputs.
bool PrepareRun(const RunInputs& inputs);

// Fills SearchSettings, composes the header, runs the search and puts the
// new block on top of ResultsLog. beforeSearch and afterSearch (each may be
// null) are called right around the search, and only when one takes place.
// Returns true when a run took place.
bool RunCalculation(const RunInputs& inputs, void (*beforeSearch)(),
                    void (*afterSearch)());

// ---- Run hooks, defined by each front end ---------------------------------

extern int cancelRequested;  // 1 once the user asked the run to stop
void PumpPendingMessages();  // handles what is waiting; never waits
void StepProgress();         // advances the progress display by 1/20
