#!/usr/bin/env bash
# Builds pravtweak and runs it on a scratch copy of the example organ file
# and INI file, reporting what it changes (-v).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh posix
cmake --preset posix >/dev/null
cmake --build --preset posix --target pravtweak
rm -rf scratch && mkdir scratch && cp examples/organ.xml examples/organ.ini scratch/
cd scratch
echo "--- what pravtweak -v organ.ini changes:"
../build/posix/pravtweak/pravtweak -v organ.ini && echo "pravtweak ended with status $?"
echo "--- the previous organ file is kept as organ.b~k:"
ls -l
