#!/usr/bin/env bash
# Installs what the builds need from Debian's packages, only when missing:
# the native toolchain, clang-format, GoogleTest's sources, and for the
# Windows build the mingw-w64 cross compiler and Wine to run its tests; for
# the release checks the manual-page linters, lintian, man-db and the tools
# that build a .deb; for the sanitizer and fuzz builds clang with its
# sanitizer and libFuzzer runtimes. "posix" asks for the native build only,
# "fuzz" for it and clang.
set -euo pipefail

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed'; }

need=()
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(g++)
command -v ninja >/dev/null || need+=(ninja-build)
command -v python3 >/dev/null || need+=(python3)
command -v clang-format >/dev/null || need+=(clang-format)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
if [ "${1:-all}" = all ]; then
  command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64)
  command -v wine >/dev/null || need+=(wine wine64)
  command -v gcc >/dev/null || need+=(gcc)
  command -v mandoc >/dev/null || need+=(mandoc)
  command -v groff >/dev/null || need+=(groff-base)
  command -v lintian >/dev/null || need+=(lintian)
  command -v dpkg-shlibdeps >/dev/null || need+=(dpkg-dev)
  installed man-db || need+=(man-db)
fi
if [ "${1:-all}" != posix ]; then
  command -v clang++ >/dev/null || need+=(clang)
  [ -f "$(clang++ -print-runtime-dir 2>/dev/null)/libclang_rt.fuzzer-$(uname -m).a" ] ||
    need+=(libclang-rt-dev)
fi

if [ ${#need[@]} -gt 0 ]; then
  echo "installing: ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${need[@]}"
fi
