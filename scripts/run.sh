#!/usr/bin/env bash
# Builds the converter and converts the example keyboards in examples/ into
# out/, printing where each XML file went.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)"
mkdir -p out
for input in examples/*.kbd; do
  output=out/$(basename "${input%.kbd}").xml
  build/release/driver/dravonix "$input" "$output"
  echo "$input -> $output"
done
