#!/usr/bin/env bash
# Builds the release packages into build/packages/: the .deb from the posix
# preset and the Windows .zip from the windows preset.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
rm -rf build/packages
for preset in posix windows; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target pravtweak protoglean
  cpack --config "build/$preset/CPackConfig.cmake" -B build/packages
done
rm -rf build/packages/_CPack_Packages
ls -l build/packages
