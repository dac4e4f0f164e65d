#!/bin/sh
# The engine and command-line tests in a build with AddressSanitizer and
# UndefinedBehaviorSanitizer (any finding aborts the test that made it),
# then each fuzz target for a short fixed time.
#   scripts/sanitize-test.sh [SECONDS per fuzz target, default 20]
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-20}

cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize

scripts/fuzz.sh "$seconds"
echo "sanitize-test.sh: sanitizer tests and fuzzing passed"
