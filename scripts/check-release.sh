#!/usr/bin/env bash
# Release checks: builds both packages, lints the manual pages and the .deb,
# compares what `cmake --install` and the packages hold with what they
# should, builds the protoglean example against an installed tree that was
# moved, counts the runs of protoglean and the compiler that edits of it
# cost with ninja, make and the manual page's make rules, installs the .deb
# and runs the installed tools. The .deb is purged
# again at the end. Scratch files go to build/release-check/.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$PWD/build/release-check
rm -rf "$work" && mkdir -p "$work"
export WINEDEBUG=-all

fail() { echo "FAILED: $*" >&2; exit 1; }
ok() { echo "ok: $*"; }
# Runs a command and fails unless it ends with the given status.
expect_status() {
  local want=$1 status=0
  shift
  "$@" >"$work/out" 2>&1 || status=$?
  [ "$status" -eq "$want" ] || { cat "$work/out"; fail "$* ended with $status, not $want"; }
}
same_list() { diff -u <(printf '%s\n' "${@:2}" | sort) "$1" || fail "unexpected contents, see above"; }

bash scripts/package.sh
deb=$(echo build/packages/*.deb)
zip=$(echo build/packages/*.zip)

echo "== manual pages"
mandoc -T lint -W warning man/pravtweak.1 man/protoglean.1 || fail "mandoc -T lint reports warnings"
groff -mdoc -Tutf8 -ww -z man/pravtweak.1 man/protoglean.1 2>"$work/groff"
[ ! -s "$work/groff" ] || { cat "$work/groff"; fail "groff warns"; }
ok "mandoc -T lint and groff -ww are clean"

echo "== cmake --install with DESTDIR"
DESTDIR=$work/stage cmake --install build/posix --prefix /usr >/dev/null
(cd "$work/stage" && find . -type f | sed 's|^\./||' | sort) >"$work/installed"
# What both the installed tree and the .deb hold, besides the manual pages.
common_files=(
  usr/bin/pravtweak usr/bin/protoglean
  usr/lib/cmake/protoglean/protogleanConfig.cmake
  usr/lib/cmake/protoglean/protogleanConfigVersion.cmake
  usr/lib/cmake/protoglean/protogleanTargets-release.cmake
  usr/lib/cmake/protoglean/protogleanTargets.cmake
  usr/share/doc/pravtweak/examples/organ.ini usr/share/doc/pravtweak/examples/organ.xml)
same_list "$work/installed" "${common_files[@]}" \
  usr/share/man/man1/pravtweak.1 usr/share/man/man1/protoglean.1
ok "installed tree"

echo "== .deb"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort >"$work/deb"
same_list "$work/deb" "${common_files[@]}" \
  usr/share/doc/pravtweak/changelog.gz usr/share/doc/pravtweak/copyright \
  usr/share/man/man1/pravtweak.1.gz usr/share/man/man1/protoglean.1.gz
status=0
lintian --fail-on error --display-level '>=warning' "$deb" >"$work/lintian" 2>&1 || status=$?
grep -v 'root privileges' "$work/lintian" || true
[ "$status" -eq 0 ] || fail "lintian reports errors"
ok "package contents; lintian reports no error"

echo "== .zip"
python3 - "$zip" "$work/zip" <<'PY' || fail "zip contents"
import sys, zipfile
archive = zipfile.ZipFile(sys.argv[1])
top = archive.namelist()[0].split("/")[0]
files = {n[len(top) + 1:] for n in archive.namelist() if not n.endswith("/")}
want = {"pravtweak.exe", "protoglean.exe", "README.txt", "LICENSE.txt",
        "examples/organ.xml", "examples/organ.ini"}
assert files == want, f"zip holds {sorted(files)}"
for name in ["README.txt", "LICENSE.txt", "examples/organ.ini", "examples/organ.xml"]:
    text = archive.read(f"{top}/{name}")
    assert text.endswith(b"\r\n") and text.count(b"\n") == text.count(b"\r\n"), \
        f"{name} has lines that do not end in CR LF"
for name in ["pravtweak.exe", "protoglean.exe"]:
    assert archive.read(f"{top}/{name}")[:2] == b"MZ", f"{name} is no Windows program"
archive.extractall(sys.argv[2])
PY
expect_status 5 wine "$work"/zip/*/pravtweak.exe -r
grep -q '^Pipravox40X' "$work/out" || fail "the zipped pravtweak.exe lists no models"
ok "zip contents; the zipped pravtweak.exe runs"

echo "== protoglean example against an installed tree, moved after installing"
cmake --install build/posix --prefix "$work/prefix" >/dev/null
mv "$work/prefix" "$work/moved"
cp -r examples/protoglean "$work/example-src"
cmake -S "$work/example-src" -B "$work/example" -G Ninja -DCMAKE_PREFIX_PATH="$work/moved" >/dev/null
grep -qx "protoglean_DIR:PATH=$work/moved/lib/cmake/protoglean" "$work/example/CMakeCache.txt" \
  || fail "the example did not find the moved package"
cmake --build "$work/example"
"$work/example/shapes" >"$work/out"
diff -u - "$work/out" <<'TEXT' || fail "the example prints something else"
circle of radius 1: 3.14 m2
door: 1.80 m2
2 shapes measured
TEXT

# The builds below count what they run: protoglean and the compiler each
# log every call.
cp -r "$work/moved" "$work/counted"
mv "$work/counted/bin/protoglean" "$work/counted/bin/protoglean.real"
printf '#!/bin/sh\necho protoglean >>"%s"\nexec "%s" "$@"\n' \
  "$work/runs" "$work/counted/bin/protoglean.real" >"$work/counted/bin/protoglean"
printf '#!/bin/sh\necho compiler >>"%s"\nexec "$@"\n' "$work/runs" >"$work/log-cc"
chmod +x "$work/counted/bin/protoglean" "$work/log-cc"
# expect_runs GLEANS COMPILES WHAT CMD...: CMD builds, running protoglean
# and the compiler as often as given.
expect_runs() {
  local gleans=$1 compiles=$2 what=$3
  shift 3
  : >"$work/runs"
  "$@" >"$work/out" 2>&1 || { cat "$work/out"; fail "$what: the build failed"; }
  local ran_gleans ran_compiles
  ran_gleans=$(grep -c '^protoglean$' "$work/runs" || true)
  ran_compiles=$(grep -c '^compiler$' "$work/runs" || true)
  [ "$ran_gleans $ran_compiles" = "$gleans $compiles" ] || { cat "$work/out"; fail "$what: \
protoglean ran $ran_gleans times and the compiler $ran_compiles, not $gleans and $compiles"; }
}
# rebuilds WHAT SOURCES HEADER CMD...: after a changed function body,
# protoglean runs once and leaves HEADER as it was, and only that source is
# compiled; a new function reaches HEADER and every source is compiled
# again; the builds after each do nothing.
rebuilds() {
  local what=$1 sources=$2 header=$3
  shift 3
  expect_runs 1 3 "$what, first build" "$@"
  expect_runs 0 0 "$what, the build after it" "$@"
  sed -i 's/return PI \* radius \* radius;/return radius * radius * PI;/' "$sources/shapes.c"
  expect_runs 1 1 "$what, a changed function body" "$@"
  expect_runs 0 0 "$what, the build after it" "$@"
  printf '\n_f int report_count(void) {\n    return 1;\n}\n' >>"$sources/report.c"
  expect_runs 1 3 "$what, a new function" "$@"
  grep -qx 'int report_count(void);' "$header" || fail "$what: $header was not written again"
  expect_runs 0 0 "$what, the build after it" "$@"
}
for generator in Ninja "Unix Makefiles"; do
  dir="$work/example-${generator// /-}"
  cp -r examples/protoglean "$dir-src"
  cmake -S "$dir-src" -B "$dir" -G "$generator" -DCMAKE_PREFIX_PATH="$work/counted" \
    -DCMAKE_C_COMPILER_LAUNCHER="$work/log-cc" >/dev/null
  rebuilds "$generator" "$dir-src" "$dir/proto.h" cmake --build "$dir"
done
# The manual page's make rules, with rules for the program beside them
# (linked without the launcher, as CMake links).
mkdir "$work/make-rule"
cp examples/protoglean/*.c examples/protoglean/marks.h "$work/make-rule/"
{
  printf 'shapes: main.o shapes.o report.o\n\tcc -o $@ main.o shapes.o report.o\n'
  printf 'main.o shapes.o report.o: proto.h\n'
  sed -n '/^proto\.h: proto\.stamp/,/^\.Ed$/p' man/protoglean.1 | sed '$d'
} >"$work/make-rule/Makefile"
grep -q '^proto.stamp:' "$work/make-rule/Makefile" || fail "no make rule found in the manual page"
rebuilds "the manual page's make rule" "$work/make-rule" "$work/make-rule/proto.h" \
  env PATH="$work/counted/bin:$PATH" make -C "$work/make-rule" CC="$work/log-cc cc"
ok "example built and run; with ninja, make and the manual page's rule a changed body runs \
protoglean once and compiles one file, a new function reaches proto.h, and the builds after \
them do nothing"

echo "== installing the .deb"
if [ "$(id -u)" -ne 0 ]; then
  echo "SKIPPED: installing the .deb needs root"
elif dpkg-query -W pravtweak >/dev/null 2>&1; then
  echo "SKIPPED: a pravtweak package is installed already; remove it (dpkg -r pravtweak) to check"
else
  trap 'dpkg --purge pravtweak >/dev/null' EXIT
  # Slim images tell dpkg to leave out manual pages and documentation.
  include=()
  if grep -qs '^path-exclude' /etc/dpkg/dpkg.cfg /etc/dpkg/dpkg.cfg.d/*; then
    echo "note: dpkg leaves out some paths here; installing ours all the same"
    include=(--path-include='/usr/share/man/man1/p*' --path-include='/usr/share/doc/pravtweak/*')
  fi
  dpkg "${include[@]}" -i "$deb" >/dev/null
  expect_status 5 /usr/bin/pravtweak -r
  [ "$(head -1 "$work/out")" = Pipravox40X ] && [ "$(wc -l <"$work/out")" -eq 69 ] \
    || fail "pravtweak -r lists something else"
  expect_status 2 /usr/bin/protoglean
  [ "$(man -w pravtweak)" = /usr/share/man/man1/pravtweak.1.gz ] || fail "man -w pravtweak"
  [ "$(man -w protoglean)" = /usr/share/man/man1/protoglean.1.gz ] || fail "man -w protoglean"
  mkdir "$work/organ" && cp /usr/share/doc/pravtweak/examples/organ.* "$work/organ/"
  (cd "$work/organ" && expect_status 0 /usr/bin/pravtweak organ.ini)
  [ -f "$work/organ/organ.b~k" ] || fail "the installed pravtweak left no backup"
  ok "installed tools run; man finds both pages"
fi
echo "release checks passed"
