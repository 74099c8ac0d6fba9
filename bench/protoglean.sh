#!/usr/bin/env bash
# Measures protoglean against wc -l and ctags on a generated corpus of marked
# C sources, side by side: wall time over the same files (best of five; ctags
# once), and protoglean's peak memory for one file, for all of them and for a
# copied line of 100 MB, which streams through.
# Usage: bench/protoglean.sh [corpus size in MB, default 256]
# PROTOGLEAN=<exe> measures that program instead of the posix preset's build.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
size=${1:-256}
data="$top/bench/data"
corpus="$data/csources-$size"
work="$data/protoglean-run"
if [ -z "${PROTOGLEAN:-}" ]; then
  cmake --preset posix >/dev/null && cmake --build --preset posix --target protoglean >/dev/null
  PROTOGLEAN="$top/build/posix/protoglean/protoglean"
fi

[ -d "$corpus" ] || python3 "$top/bench/make_csources.py" "$corpus" "$size"
rm -rf "$work" && mkdir -p "$work"
files=("$corpus"/*.c)

# best RUNS FILE CMD...: the best wall time in seconds of RUNS runs, output
# discarded; FILE (the command's own output, or "-") is deleted before each
# run, so that no run pays for emptying the previous run's output.
best() {
  python3 - "$@" <<'PY'
import os, subprocess, sys, time
runs, fresh, cmd = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
times = []
for _ in range(runs):
    if fresh != "-" and os.path.exists(fresh):
        os.remove(fresh)
    start = time.perf_counter()
    subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    times.append(time.perf_counter() - start)
print("%.3f" % min(times))
PY
}
# peak_kb CMD...: peak resident memory of one run in KB.
peak_kb() {
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -v "$@" 2>&1 >/dev/null | sed -n 's/.*Maximum resident set size (kbytes): //p'
  else
    python3 - "$@" <<'PY'
import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)
PY
  fi
}
ratio() { python3 -c "print('%.1f' % ($1 / $2))"; }

cat "${files[@]}" > /dev/null  # warm the page cache for all three
wc_time=$(best 5 - wc -l "${files[@]}")
# protoglean expands the pattern itself; its output goes to a file.
glean_time=$(best 5 "$work/all.h" "$PROTOGLEAN" "$corpus/*.c" "$work/all.h")
ctags_time=$(best 1 "$work/tags" ctags -x --kinds-c=fp -f "$work/tags" "${files[@]}")
peak_one=$(peak_kb "$PROTOGLEAN" "${files[0]}" "$work/one.h")
rm -f "$work/all.h"
peak_all=$(peak_kb "$PROTOGLEAN" "$corpus/*.c" "$work/all.h")
{ echo _copy; head -c 100000000 /dev/zero | tr '\0' x; echo; echo _uncopy; } > "$work/line.c"
peak_line=$(peak_kb "$PROTOGLEAN" "$work/line.c" "$work/line.h")

report="corpus:      ${#files[@]} files, $(du -sm "$corpus" | cut -f1) MB, $(cat "${files[@]}" | wc -l) lines
wc -l:       ${wc_time} s
protoglean:  ${glean_time} s = $(ratio "$glean_time" "$wc_time") x wc -l; output $(du -k "$work/all.h" | cut -f1) KB
ctags -x:    ${ctags_time} s = $(ratio "$ctags_time" "$glean_time") x protoglean
peak memory: ${peak_one} KB for one file, ${peak_all} KB for all files, ${peak_line} KB for a 100 MB copied line"
echo "$report"
echo "$report" > "$top/bench/protoglean.txt"
rm -rf "$work"
