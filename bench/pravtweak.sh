#!/usr/bin/env bash
# Measures pravtweak's copy loop against cat on a generated organ file:
# wall time of each (best of five) and pravtweak's peak memory.
# Usage: bench/pravtweak.sh [size in MB, default 1024]
# PRAVTWEAK=<exe> measures that program instead of the posix preset's build.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
size=${1:-1024}
# A RAM-backed directory keeps the disk's write-back out of the figures;
# BENCH_DIR=bench/data measures on the disk instead.
if [ -z "${BENCH_DIR:-}" ] && [ -d /dev/shm ]; then BENCH_DIR=/dev/shm/pravtweak-bench; fi
data="${BENCH_DIR:-$top/bench/data}"
mkdir -p "$data"
if [ -z "${PRAVTWEAK:-}" ]; then
  cmake --preset posix >/dev/null && cmake --build --preset posix --target pravtweak >/dev/null
  PRAVTWEAK="$top/build/posix/pravtweak/pravtweak"
fi
exe=$PRAVTWEAK

organ="$data/organ-$size.xml"
[ -f "$organ" ] || python3 "$top/bench/make_organ.py" "$organ" "$size"
work="$data/run"
rm -rf "$work" && mkdir -p "$work"
printf '[prav]\npipravox=Pipravox40X\nxml=%s\n' "$work/organ.xml" > "$work/bench.ini"

measure() {  # runs a command, prints "seconds peak-KB"
  /usr/bin/time -o "$work/time.txt" -f '%e %M' "$@" >/dev/null 2>&1
  cat "$work/time.txt"
}
min() { python3 -c "import sys; print(min(float(x) for x in sys.argv[1:]))" "$@"; }

cat "$organ" > /dev/null  # warm the page cache for both
cat_times=() tweak_times=() peak=0
for _ in 1 2 3 4 5; do
  r=$(measure sh -c "cat '$organ' > '$work/cat.out'"); cat_times+=("${r% *}")
  rm -f "$work/cat.out"
  cp "$organ" "$work/organ.xml"; rm -f "$work/organ.b~k" "$work"/*.Q~V
  r=$(cd "$work" && measure "$exe" bench.ini); tweak_times+=("${r% *}")
  [ "${r#* }" -gt "$peak" ] && peak=${r#* }
done
cat_time=$(min "${cat_times[@]}")
tweak_time=$(min "${tweak_times[@]}")
cmp -s <(head -c 1000 "$organ") <(head -c 1000 "$work/organ.b~k") || { echo "backup differs"; exit 1; }
ratio=$(python3 -c "print(round($tweak_time / $cat_time, 2))")
report="file: $(du -m "$organ" | cut -f1) MB
cat to a file: ${cat_time} s
pravtweak:     ${tweak_time} s (${ratio} x cat)
peak memory:   ${peak} KB"
echo "$report"
echo "$report" > "$top/bench/pravtweak.txt"
rm -rf "$work"
