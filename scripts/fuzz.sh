#!/bin/sh
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehavior-
# Sanitizer) and runs each for a fixed time, starting from the seed corpora
# in tests/fuzz/corpus. Exits non-zero on the first crash, sanitizer finding,
# broken invariant, input slower than 10 s or memory blow-up; the input that
# caused it is left in build/fuzz/artifacts/.
#   scripts/fuzz.sh [SECONDS [TARGET...]]   default: 600 s, run and number
# Reproduce a finding: build/fuzz/run_fuzz build/fuzz/artifacts/crash-...
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-600}
[ $# -gt 0 ] && shift
targets=${*:-run number}

cmake -S tests/fuzz -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/fuzz -j2

mkdir -p build/fuzz/artifacts
for t in $targets; do
    # New inputs go to the work corpus in the build folder; the seeds in
    # the repository stay as they are.
    mkdir -p "build/fuzz/corpus/$t"
    log="build/fuzz/$t.log"
    echo "fuzz.sh: ${t}_fuzz for $seconds s"
    status=0
    ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=64}" \
    "build/fuzz/${t}_fuzz" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 \
        -artifact_prefix=build/fuzz/artifacts/ \
        "build/fuzz/corpus/$t" "tests/fuzz/corpus/$t" >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    corpus=$(ls "build/fuzz/corpus/$t" | wc -l)
    if [ "$status" != 0 ]; then
        grep -E 'ERROR|SUMMARY|invariant|differs' "$log" | head -n 20 >&2 || true
        echo "fuzz.sh: ${t}_fuzz FAILED (status $status), see $log" >&2
        exit 1
    fi
    echo "fuzz.sh: ${t}_fuzz: ${runs:-?} runs in $seconds s (${rate:-?}/s), corpus $corpus inputs, no finding"
done
