#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan + UBSan) in build/fuzz and
# runs each of them for SECONDS seconds, all at once and at low priority.
# Fails when a target finds a crash, a leak, a timeout or a failed check;
# the input that caused it is left in build/fuzz/artifacts/.
#
#   bash scripts/fuzz.sh SECONDS [TARGET...]
#
# Targets: kbd_reader_fuzzer, xml_load_fuzzer, round_trip_fuzzer, check_fuzzer,
#          render_fuzzer, bmp_decode_fuzzer (default: all).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 1 ] || ! [[ "$1" =~ ^[0-9]+$ ]]; then
  echo "usage: bash scripts/fuzz.sh SECONDS [TARGET...]" >&2
  exit 2
fi
seconds=$1
shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(kbd_reader_fuzzer xml_load_fuzzer round_trip_fuzzer check_fuzzer render_fuzzer
           bmp_decode_fuzzer)
fi

dir=build/fuzz
echo "== fuzz build"
CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRAVONIX_FUZZ=ON \
  -DDRAVONIX_TESTS=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"

# Seeds (read only) and dictionary of each target. New inputs go to the
# target's own corpus folder under build/fuzz, never into the repository.
seeds_of() {
  case "$1" in
    kbd_reader_fuzzer | round_trip_fuzzer | render_fuzzer) echo "fuzz/corpus/kbd examples" ;;
    xml_load_fuzzer) echo "fuzz/corpus/xml schema/testdata" ;;
    check_fuzzer) echo "fuzz/corpus/kbd fuzz/corpus/xml examples schema/testdata" ;;
    bmp_decode_fuzzer) echo "fuzz/corpus/bmp" ;;
    *) echo "unknown fuzz target: $1" >&2; return 1 ;;
  esac
}
dict_of() {
  case "$1" in
    xml_load_fuzzer | check_fuzzer) echo fuzz/xml.dict ;;
    bmp_decode_fuzzer) echo fuzz/bmp.dict ;;
    *) echo fuzz/kbd.dict ;;
  esac
}

# The longest input a target is given. The round trip and the picture spend
# their time after the reader, in the writer and the painter, whose cost grows
# with the keyboard: at 1 KiB they run several times as many inputs in the
# minute and reach the same code. The reader's own paths that need longer
# inputs (lines longer than its 4 KiB pieces, key lines at the limit of
# points) are kbd_reader_fuzzer's, which gets inputs as long as its seeds.
max_len_of() {
  case "$1" in
    round_trip_fuzzer | render_fuzzer) echo "-max_len=1024" ;;
    *) echo "" ;;
  esac
}

mkdir -p "$dir/artifacts" "$dir/logs"
pids=()
for target in "${targets[@]}"; do
  seeds=$(seeds_of "$target")
  corpus=$dir/corpus/$target
  mkdir -p "$corpus"
  # Inputs that once failed are replayed first, whole (the fuzzing would cut
  # them at the target's longest input), then they seed the fuzzing.
  regressions=()
  if [ -d "fuzz/regressions/$target" ]; then
    regressions=("fuzz/regressions/$target")
    if ! "$dir/fuzz/$target" -timeout=10 -rss_limit_mb=2048 "fuzz/regressions/$target"/* \
      >"$dir/logs/$target-regressions.log" 2>&1; then
      echo "== $target FAILED on an input of fuzz/regressions/$target"
      tail -n 60 "$dir/logs/$target-regressions.log"
      exit 1
    fi
  fi
  echo "== fuzzing $target for ${seconds}s"
  # shellcheck disable=SC2046,SC2086
  nice -n 10 "$dir/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    $(max_len_of "$target") -dict="$(dict_of "$target")" \
    -artifact_prefix="$dir/artifacts/$target-" -print_final_stats=1 \
    "$corpus" ${regressions[@]+"${regressions[@]}"} $seeds >"$dir/logs/$target.log" 2>&1 &
  pids+=($!)
done

failed=0
for i in "${!targets[@]}"; do
  target=${targets[$i]}
  log=$dir/logs/$target.log
  if wait "${pids[$i]}"; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    echo "== $target: no finding in ${seconds}s, ${runs:-?} executions"
  else
    failed=1
    echo "== $target FAILED (log: $log)"
    tail -n 60 "$log"
  fi
done
exit $failed
