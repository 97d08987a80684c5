#!/usr/bin/env bash
# Builds the commands (not the tests, benchmarks or fuzz targets) and
# converts every example keyboard in examples/ into out/NAME.xml (those in
# examples/code_pages/ with the code page their name ends with); then runs
# dravonix-batch on examples/ into out/batch/ (each keyboard in the code page
# its text reads best in), whose index.html shows every keyboard with its
# check report and preview. Quiet apart from the result.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh >/dev/null

build=build/release
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! { cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release &&
       cmake --build "$build" -j "$(nproc)" --target dravonix dravonix-resave dravonix-batch; } \
     >"$log" 2>&1; then
  cat "$log" >&2
  echo "run.sh: the build failed (its output is above)" >&2
  exit 1
fi

mkdir -p out
for input in examples/*.kbd; do
  output=out/$(basename "${input%.kbd}").xml
  "$build/driver/dravonix" "$input" "$output"
  echo "$input -> $output"
done
# The keyboards in other scripts, each in the code page its name ends with.
for input in examples/code_pages/*.kbd; do
  output=out/$(basename "${input%.kbd}").xml
  page=${input%.kbd}
  "$build/driver/dravonix" --code-page="${page##*_}" "$input" "$output"
  echo "$input -> $output (code page ${page##*_})"
done
status=0
"$build/driver/dravonix-batch" --force --code-page=auto examples out/batch 2>/dev/null ||
  status=$?
if [ "$status" -gt 1 ]; then
  echo "run.sh: dravonix-batch failed (exit $status)" >&2
  exit "$status"
fi
echo "open out/batch/index.html in a browser to see every keyboard"
