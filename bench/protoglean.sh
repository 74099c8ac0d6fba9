#!/usr/bin/env bash
# Measures protoglean against wc -l and ctags on a corpus of real C code,
# marked as its author would mark it (bench/mark_sources.py) and replicated
# to the size asked for, side by side: wall time over the same files (the
# best of five runs, in rounds that take turns between wc -l and
# protoglean and a reference build in four cases: the output deleted
# before each run, the output there and unchanged, as in most builds, and
# the output there but changed, halfway through (as when one of the middle
# sources changed a declaration) or in its last byte (the run compares all
# of it before it writes); ctags once), and protoglean's peak memory for one
# file, for all of them in those cases and for a copied line of 100 MB,
# which streams through. Its output on the corpus, standard error
# included, must be byte for byte the reference's: otherwise the script
# fails, and records no figures.
# Usage: bench/protoglean.sh [corpus size in MB, default 256]
# BENCH_SOURCES="<file>..." are the C sources to mark and replicate; by
# default the project's own (its programs' .cpp files, which are written
# much as C is) and examples/protoglean.
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
if [ -n "${BENCH_SOURCES:-}" ]; then
  read -r -a sources <<<"$BENCH_SOURCES"
  sources_name="${#sources[@]} files named in BENCH_SOURCES, from $(printf '%s\n' "${sources[@]}" |
    xargs -n1 dirname | sort -u | tr '\n' ' ' | sed 's/ $//')"
else
  mapfile -t sources < <(cd "$top" && git ls-files 'common/*.cpp' 'pravtweak/*.cpp' \
    'protoglean/*.cpp' 'examples/protoglean/*.c' | grep -v '_test\.cpp$' | sed "s|^|$top/|")
  sources_name="the project's own sources (${#sources[@]} files: common/, pravtweak/, \
protoglean/ without the tests, examples/protoglean/)"
fi
# A corpus of its own for each set of sources and each marking.
key=$(cat "$top/bench/mark_sources.py" "${sources[@]}" | sha1sum | cut -c1-10)
corpus="$data/marked-$size-$key"
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

[ -d "$corpus" ] || python3 "$top/bench/mark_sources.py" "$corpus" "$size" "${sources[@]}"
rm -rf "$work" && mkdir -p "$work"
files=("$corpus"/*.c)

# rounds ROUNDS RUNS NAME PREPARE CMD... [-- NAME PREPARE CMD...]...: for
# each command, the best wall time in seconds of RUNS runs in each of ROUNDS
# rounds, the commands taking turns run by run, output discarded. Prints
# "NAME LOWEST HIGHEST" of the rounds' bests, then "RATIO LOWEST HIGHEST"
# of the command's time over the first command's: the lowest times' ratio,
# then the range of the ratios round by round. PREPARE, done before each
# run and not timed, is "-" (nothing), "delete=FILE" (so that no run pays
# for emptying the previous run's output), "middle=FILE" or "end=FILE" (the
# byte halfway through the file, or its last byte, becomes another one).
rounds() {
  python3 - "$@" <<'PY'
import os, subprocess, sys, time
rounds, runs, args = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3:]
commands = []
while args:
    end = args.index("--") if "--" in args else len(args)
    commands.append((args[0], args[1], args[2:end]))
    args = args[end + 1:]

def prepare(how):
    action, _, path = how.partition("=")
    if action == "delete" and os.path.exists(path):
        os.remove(path)
    elif action in ("middle", "end"):
        with open(path, "r+b") as f:
            at = os.path.getsize(path) // 2 if action == "middle" else os.path.getsize(path) - 1
            f.seek(at)
            byte = f.read(1)
            f.seek(at)
            f.write(b"x" if byte != b"x" else b"y")

bests = {name: [] for name, _, _ in commands}
for _ in range(rounds):
    times = {name: [] for name, _, _ in commands}
    for _ in range(runs):
        for name, how, cmd in commands:
            prepare(how)
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
# protoglean expands the pattern itself; its output goes to a file, which
# each case leaves as the case needs it. An unchanged output stays as the
# first run of the case wrote it.
cases=()
for build in new reference; do
  exe=$PROTOGLEAN
  [ $build = new ] || exe=$PROTOGLEAN_REFERENCE
  cases+=(-- "$build-deleted" "delete=$work/$build-deleted.h" "$exe" "$corpus/*.c" "$work/$build-deleted.h")
  cases+=(-- "$build-same" - "$exe" "$corpus/*.c" "$work/$build-same.h")
  for at in middle end; do
    cases+=(-- "$build-$at" "$at=$work/$build-$at.h" "$exe" "$corpus/*.c" "$work/$build-$at.h")
  done
  for output in same middle end; do cp "$work/all.h" "$work/$build-$output.h"; done
done
timings=$(rounds "$rounds" 5 wc - wc -l "${files[@]}" "${cases[@]}")
range() { echo "$(field "$1" 2)-$(field "$1" 3)"; }
ratios() { echo "$(field "$1" 4) x wc -l [$(field "$1" 5)-$(field "$1" 6)]"; }
# figures CASE: "SECONDS [RANGE] = RATIO x wc -l [RANGE]" of the new build in
# the case, and the reference's time and ratio.
figures() {
  echo "$(field "new-$1" 2) s [$(range "new-$1")] = $(ratios "new-$1"); reference $(field "reference-$1" 2) s = $(field "reference-$1" 4) x"
}
ctags_time=$(rounds 1 1 ctags - ctags -x --kinds-c=fp -f "$work/tags" "${files[@]}" |
  cut -d' ' -f2)
peak_one=$(peak_kb "$PROTOGLEAN" "${files[0]}" "$work/one.h")
rm -f "$work/peak.h"
peak_deleted=$(peak_kb "$PROTOGLEAN" "$corpus/*.c" "$work/peak.h")
peak_same=$(peak_kb "$PROTOGLEAN" "$corpus/*.c" "$work/peak.h")
python3 -c "import sys; f = open(sys.argv[1], 'r+b'); f.seek(-1, 2); f.write(b'x')" "$work/peak.h"
peak_changed=$(peak_kb "$PROTOGLEAN" "$corpus/*.c" "$work/peak.h")
{ echo _copy; head -c 100000000 /dev/zero | tr '\0' x; echo; echo _uncopy; } > "$work/line.c"
peak_line=$(peak_kb "$PROTOGLEAN" "$work/line.c" "$work/line.h")

report="corpus:      ${#files[@]} files, $(du -sm "$corpus" | cut -f1) MB, $(cat "${files[@]}" | wc -l) lines: $sources_name, marked by bench/mark_sources.py and replicated
times:       best of 5 runs taking turns, best of $rounds rounds [range over the rounds]
wc -l:       $(field wc 2) s [$(range wc)]
protoglean, output deleted before each run:   $(figures deleted)
protoglean, output there and unchanged:       $(figures same)
protoglean, output changed halfway through:   $(figures middle)
protoglean, output changed in its last byte:  $(figures end)
reference:   $reference_name; output $(du -k "$work/all.h" | cut -f1) KB, $same
ctags -x:    ${ctags_time} s = $(ratio "$ctags_time" "$(field new-same 2)") x protoglean (unchanged output)
peak memory: ${peak_one} KB for one file; for all files ${peak_deleted} KB (output deleted), ${peak_same} KB (unchanged), ${peak_changed} KB (changed in its last byte); ${peak_line} KB for a 100 MB copied line"
echo "$report"
rm -rf "$work"
# Figures of a build whose output differs are no figures of protoglean.
[[ $same == identical* ]] || exit 1
echo "$report" > "$top/bench/protoglean.txt"
