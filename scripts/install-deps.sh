#!/bin/sh
# Installs the Debian 12 packages that the build needs and that are missing.
#   scripts/install-deps.sh          the Linux build: vornik and its tests
#   scripts/install-deps.sh windows  everything the test command needs: also
#                                    sanitizers, fuzzing, Windows tool chain, Wine
set -eu

# Enough to build vornik and its tests.
packages="cmake ninja-build g++ googletest"
if [ "${1:-}" = "windows" ]; then
  # Everything the test command runs: python3 reads the CSV and JSON output
  # back; clang with its sanitizer and libFuzzer runtimes and llvm-symbolizer
  # for the sanitizer build and the fuzz targets; the Windows tool chain,
  # Wine, an X server, the Japanese font and locale for the window.
  packages="$packages python3 clang libclang-rt-14-dev llvm-14
            g++-mingw-w64-x86-64 wine wine64 xvfb fonts-ipafont-gothic
            locales imagemagick x11-utils"
fi

missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" ||
    missing="$missing $p"
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" != 0 ]; then
  echo "install-deps: missing packages:$missing (run as root to install them)" >&2
  exit 1
fi
echo "install-deps: installing$missing"
apt-get update -qq
# No recommended packages: they pull in fonts that break Wine's Japanese text.
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
