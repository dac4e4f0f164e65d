#!/bin/sh
# Installs what is missing, builds both products and runs every test: the
# engine and vornik natively, again with AddressSanitizer and
# UndefinedBehaviorSanitizer plus a short fuzzing run, then the engine and
# the window under Wine.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows

cmake --preset native
cmake --build --preset native -j2
ctest --preset native

sh scripts/sanitize-test.sh 20

bash scripts/windows-test.sh
echo "test.sh: all tests passed"
