#!/usr/bin/env bash
# Builds both programs for POSIX and for Windows (mingw-w64, run under Wine)
# and runs every test of both builds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# Prepare the Wine prefix once, before tests start Wine in parallel.
export WINEDEBUG=-all
[ -f "${WINEPREFIX:-$HOME/.wine}/system.reg" ] || wineboot -i >/dev/null 2>&1 || true
status=0
for preset in windows posix; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" || status=1
done
exit $status
