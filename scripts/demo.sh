#!/bin/sh
# Installs what is missing, builds vornik and runs it on the built-in
# example: acetanilide, C 71.09 %, H 6.71 %, N 10.36 %, oxygen allowed.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native --target vornik
echo
echo "$ vornik -e O 71.09 6.71 10.36"
build/native/cli/vornik -e O 71.09 6.71 10.36
