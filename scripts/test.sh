#!/usr/bin/env bash
# Checks the formatting of the C++ files, builds everything and runs the
# whole test suite in three configurations: a normal build, a build with
# AddressSanitizer and UndefinedBehaviorSanitizer, and the Windows build
# (build/windows: cross-compiled with MinGW-w64, its tests run under Wine;
# scripts/windows-test.sh). A fourth, with ThreadSanitizer (build/tsan),
# builds only the batch, whose jobs run on threads, and the panel pipelines
# of the converter and of the picture, and runs their tests. Then
# it requires the Linux and Windows builds to convert and resave the same
# inputs into the same bytes (tests/windows_cross_check.sh), and runs every
# fuzz target for a minute. Between them it builds the web page
# (scripts/web.sh: the core compiled to WebAssembly) and drives it in
# headless Chromium (tests/web_page_test.py), comparing what it makes with
# the normal build's commands.
#
# DRAVONIX_WINDOWS=0 leaves out the Windows build and the cross-check;
# DRAVONIX_WEB=0 leaves out the web page.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

echo "== formatting"
find . \( -path ./build -o -path ./out -o -path ./.git \) -prune -o \
  \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format --dry-run --Werror

jobs=$(nproc)
for config in release asan; do
  dir=build/$config
  flags=(-DCMAKE_BUILD_TYPE=Release)
  if [ "$config" = asan ]; then
    flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRAVONIX_SANITIZE=ON)
  fi
  echo "== $config build"
  cmake -S . -B "$dir" -G Ninja "${flags[@]}" >/dev/null
  cmake --build "$dir" -j "$jobs"
  echo "== $config tests"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
done

# The threads under ThreadSanitizer: the batch and what it runs, and the
# panel pipelines of the converter and of the picture, and their tests, nothing else (the interrupted
# run, a test of signals that the other builds run, is left out: it takes
# half a minute here).
echo "== thread sanitizer build of the batch and the pipeline"
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Release -DDRAVONIX_SANITIZE=thread >/dev/null
cmake --build build/tsan -j "$jobs" --target batch_tests batch_e2e_tests pipeline_tests
echo "== thread sanitizer tests of the batch and the pipeline"
export TSAN_OPTIONS=halt_on_error=1
build/tsan/driver/pipeline_tests --gtest_brief=1
build/tsan/batch/batch_tests --gtest_brief=1
build/tsan/tests/batch_e2e_tests --gtest_brief=1 --gtest_filter=-PosixBatch.InterruptedRun*
unset TSAN_OPTIONS

if [ "${DRAVONIX_WEB:-1}" != 0 ]; then
  start=$SECONDS
  bash scripts/web.sh
  echo "== web page tests (headless Chromium)"
  /usr/bin/python3 tests/web_page_test.py "$(ls build/web-core/dravonix-web-*.zip)" build/release \
    . build/web-test
  echo "   web page built and tested in $((SECONDS - start)) s"
fi

if [ "${DRAVONIX_WINDOWS:-1}" != 0 ]; then
  bash scripts/windows-test.sh
  echo "== windows cross-check (under Wine)"
  bash tests/windows_cross_check.sh build/release build/windows
fi

echo "== fuzzing"
bash scripts/fuzz.sh 60
