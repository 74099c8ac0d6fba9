#!/usr/bin/env bash
# Checks the format of every C++ file, builds and checks the release
# packages, builds both programs for POSIX and for Windows (mingw-w64, run
# under Wine) and runs every test of both builds, runs each fuzz target for
# a minute, and last runs every test again in a build with AddressSanitizer,
# UndefinedBehaviorSanitizer and leak checks; the output ends with the
# summary of the last test run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

echo "checking the format of the C++ files"
find common pravtweak protoglean tests fuzz -name '*.cpp' -o -name '*.h' | sort |
  xargs clang-format --dry-run --Werror

# Prepare the Wine prefix once, before tests start Wine in parallel.
export WINEDEBUG=-all
[ -f "${WINEPREFIX:-$HOME/.wine}/system.reg" ] || wineboot -i >/dev/null 2>&1 || true
status=0
bash scripts/check-release.sh || status=1
for target in ini edit extract; do
  bash scripts/fuzz.sh "$target" 60 || status=1
done
for preset in windows posix asan; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" || status=1
done
exit $status
