#!/usr/bin/env bash
# Cross-builds for 64-bit Windows with MinGW-w64 in build/windows and runs
# that build's tests under Wine. libxml2, uchardet, zlib and GoogleTest for Windows are built
# first, once, into build/windows-deps; Wine keeps its state in
# build/wine-prefix. Needs no display and no standard input.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc)
dir=build/windows
deps=$PWD/build/windows-deps
export WINEPREFIX=$PWD/build/wine-prefix WINEDEBUG=-all
bash scripts/windows-libxml2.sh
bash scripts/windows-uchardet.sh
bash scripts/zlib-static.sh windows
bash scripts/windows-googletest.sh

echo "== windows build"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_FIND_ROOT_PATH="$deps/libxml2;$deps/uchardet;$deps/zlib;$deps/googletest" >/dev/null
cmake --build "$dir" -j "$jobs"
echo "== windows tests (under Wine)"
ctest --test-dir "$dir" --output-on-failure -j "$jobs"
