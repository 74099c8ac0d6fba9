#!/usr/bin/env bash
# Builds pravtweak and runs it on a scratch copy of the example organ file
# and INI file, then shows what changed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh posix
cmake --preset posix >/dev/null
cmake --build --preset posix --target pravtweak
rm -rf scratch && mkdir scratch && cp examples/organ.xml examples/organ.ini scratch/
cd scratch
../build/posix/pravtweak/pravtweak organ.ini && echo "pravtweak ended with status $?"
echo "--- previous organ file kept as organ.b~k; what changed:"
diff <(tr -d '\r' < organ.b~k) <(tr -d '\r' < organ.xml) || true
ls -l
