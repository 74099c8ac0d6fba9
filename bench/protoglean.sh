#!/usr/bin/env bash
# Measures protoglean against wc -l and ctags on a generated corpus of marked
# C sources, side by side: wall time over the same files (the best of five
# runs, in rounds that take turns between wc -l, protoglean and a reference
# build; ctags once), and protoglean's peak memory for one file, for all of
# them and for a copied line of 100 MB, which streams through. Its output on
# the corpus, standard error included, must be byte for byte the reference's:
# otherwise the script fails, and records no figures.
# Usage: bench/protoglean.sh [corpus size in MB, default 256]
# PROTOGLEAN=<exe> measures that program instead of the posix preset's build.
# PROTOGLEAN_REFERENCE=<exe> is the reference; by default it is built in
# bench/data from the commit PROTOGLEAN_REFERENCE_COMMIT names (by default
# the one where HEAD left main).
# ROUNDS=<n> sets the number of rounds (default 3); each figure is the best
# round's, with the range over the rounds in brackets.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
size=${1:-256}
rounds=${ROUNDS:-3}
data="$top/bench/data"
corpus="$data/csources-$size"
work="$data/protoglean-run"
if [ -z "${PROTOGLEAN:-}" ]; then
  cmake --preset posix >/dev/null && cmake --build --preset posix --target protoglean >/dev/null
  PROTOGLEAN="$top/build/posix/protoglean/protoglean"
fi
if [ -z "${PROTOGLEAN_REFERENCE:-}" ]; then
  commit=$(git -C "$top" rev-parse --short \
    "${PROTOGLEAN_REFERENCE_COMMIT:-$(git -C "$top" merge-base HEAD main)}")
  reference_dir="$data/reference-$commit"
  PROTOGLEAN_REFERENCE="$reference_dir/build/protoglean/protoglean"
  if [ ! -x "$PROTOGLEAN_REFERENCE" ]; then
    echo "building the reference protoglean of $commit in $reference_dir" >&2
    rm -rf "$reference_dir" && mkdir -p "$reference_dir/src"
    git -C "$top" archive "$commit" | tar -x -C "$reference_dir/src"
    cmake -S "$reference_dir/src" -B "$reference_dir/build" -G Ninja \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$reference_dir/build" --target protoglean >/dev/null
  fi
  reference_name="the build of $commit"
else
  reference_name=$PROTOGLEAN_REFERENCE
fi

[ -d "$corpus" ] || python3 "$top/bench/make_csources.py" "$corpus" "$size"
rm -rf "$work" && mkdir -p "$work"
files=("$corpus"/*.c)

# rounds ROUNDS RUNS NAME FILE CMD... [-- NAME FILE CMD...]...: for each
# command, the best wall time in seconds of RUNS runs in each of ROUNDS
# rounds, the commands taking turns run by run, output discarded. Prints
# "NAME LOWEST HIGHEST" of the rounds' bests, then "RATIO LOWEST HIGHEST"
# of the command's time over the first command's: the lowest times' ratio,
# then the range of the ratios round by round. FILE (the
# command's own output, or "-") is deleted before each run, so that no run
# pays for emptying the previous run's output.
rounds() {
  python3 - "$@" <<'PY'
import os, subprocess, sys, time
rounds, runs, args = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3:]
commands = []
while args:
    end = args.index("--") if "--" in args else len(args)
    commands.append((args[0], args[1], args[2:end]))
    args = args[end + 1:]
bests = {name: [] for name, _, _ in commands}
for _ in range(rounds):
    times = {name: [] for name, _, _ in commands}
    for _ in range(runs):
        for name, fresh, cmd in commands:
            if fresh != "-" and os.path.exists(fresh):
                os.remove(fresh)
            start = time.perf_counter()
            subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
            times[name].append(time.perf_counter() - start)
    for name in bests:
        bests[name].append(min(times[name]))
first = bests[commands[0][0]]
for name, b in bests.items():
    ratios = [t / f for t, f in zip(b, first)]
    print("%s %.3f %.3f %.1f %.1f %.1f" % (name, min(b), max(b),
                                          min(b) / min(first), min(ratios), max(ratios)))
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
# field NAME COLUMN: a column of the rounds' line for NAME.
field() { awk -v name="$1" -v column="$2" '$1 == name { print $column }' <<<"$timings"; }

# The output and the messages of both builds, compared byte for byte.
"$PROTOGLEAN" "$corpus/*.c" "$work/all.h" 2>"$work/all.err"
"$PROTOGLEAN_REFERENCE" "$corpus/*.c" "$work/reference.h" 2>"$work/reference.err"
if cmp -s "$work/all.h" "$work/reference.h" && cmp -s "$work/all.err" "$work/reference.err"; then
  same="identical to that of $reference_name"
else
  same="DIFFERENT from that of $reference_name"
fi

cat "${files[@]}" > /dev/null  # warm the page cache for all of them
# protoglean expands the pattern itself; its output goes to a file.
timings=$(rounds "$rounds" 5 wc - wc -l "${files[@]}" \
  -- new "$work/all.h" "$PROTOGLEAN" "$corpus/*.c" "$work/all.h" \
  -- reference "$work/reference.h" "$PROTOGLEAN_REFERENCE" "$corpus/*.c" "$work/reference.h")
wc_time=$(field wc 2) glean_time=$(field new 2) reference_time=$(field reference 2)
range() { echo "$(field "$1" 2)-$(field "$1" 3)"; }
ratios() { echo "$(field "$1" 4) x wc -l [$(field "$1" 5)-$(field "$1" 6)]"; }
ctags_time=$(rounds 1 1 ctags "$work/tags" ctags -x --kinds-c=fp -f "$work/tags" "${files[@]}" |
  cut -d' ' -f2)
peak_one=$(peak_kb "$PROTOGLEAN" "${files[0]}" "$work/one.h")
rm -f "$work/all.h"
peak_all=$(peak_kb "$PROTOGLEAN" "$corpus/*.c" "$work/all.h")
{ echo _copy; head -c 100000000 /dev/zero | tr '\0' x; echo; echo _uncopy; } > "$work/line.c"
peak_line=$(peak_kb "$PROTOGLEAN" "$work/line.c" "$work/line.h")

report="corpus:      ${#files[@]} files, $(du -sm "$corpus" | cut -f1) MB, $(cat "${files[@]}" | wc -l) lines
times:       best of 5 runs taking turns, best of $rounds rounds [range over the rounds]
wc -l:       ${wc_time} s [$(range wc)]
protoglean:  ${glean_time} s [$(range new)] = $(ratios new); output $(du -k "$work/all.h" | cut -f1) KB
reference:   ${reference_time} s [$(range reference)] = $(ratios reference): $reference_name
output:      $same
ctags -x:    ${ctags_time} s = $(ratio "$ctags_time" "$glean_time") x protoglean
peak memory: ${peak_one} KB for one file, ${peak_all} KB for all files, ${peak_line} KB for a 100 MB copied line"
echo "$report"
rm -rf "$work"
# Figures of a build whose output differs are no figures of protoglean.
[[ $same == identical* ]] || exit 1
echo "$report" > "$top/bench/protoglean.txt"
