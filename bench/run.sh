#!/usr/bin/env bash
# Benchmarks the commands against xmllint and against the disk, in one run:
#  - a realistic 50 KiB keyboard, a generated 90 KiB one and generated
#    keyboards of 4, 16 and 64 MiB are converted (whole process), and
#    `xmllint --noout` parses each XML file the converter wrote (whole
#    process); a table is printed, then the linear-cost check and one line
#    with the three headline ratios;
#  - the XML of the 4 and 64 MiB keyboards is resaved with dravonix-resave
#    and with `xmllint --output` (parse and write the same XML), in turn;
#  - the write floor: the time to write a conversion's output with fsync
#    (dd conv=fsync), for the 90 KiB and the 64 MiB keyboards;
#  - the 4 MiB keyboard is drawn with dravonix-render and converted, in turn;
#  - every measurement is the median of BENCH_REPS runs (at least 5), with
#    the peak resident memory.
# The micro-benchmarks run first (skip them with BENCH_MICRO=0). Then a batch
# of 1000 realistic keyboards is converted with dravonix-batch (XML alone,
# and with reports and previews) and with one dravonix per file through
# xargs -P on as many processors (skip it with BENCH_BATCH=0). The goal
# ratios are the last lines. Builds what it needs with CMake in
# build/release. Usage: bench/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."

reps=${BENCH_REPS:-5}
if [ "$reps" -lt 5 ]; then reps=5; fi

bash scripts/setup.sh
build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
targets=(dravonix dravonix-resave dravonix-render dravonix-batch kbd_generator bench_measure)
if [ "${BENCH_MICRO:-1}" != 0 ]; then targets+=(micro_bench); fi
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

converter=$build/driver/dravonix
measure=$build/bench/bench_measure
data=$build/bench-data
mkdir -p "$data"

if [ "${BENCH_MICRO:-1}" != 0 ]; then
  echo "== micro-benchmarks"
  "$build/bench/micro_bench" --benchmark_min_time=0.5
fi

# The inputs: name, size in bytes, seed. Same seed and size, same bytes.
cases=("realistic-50KiB 51200 1" "generated-90KiB 92160 9" "generated-4MiB 4194304 4"
       "generated-16MiB 16777216 16" "generated-64MiB 67108864 64")

# median VALUES...: the middle value (the mean of the two middle ones for an
# even count).
median() {
  printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1} END {
    if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# measure_once COMMAND...: runs the command once; sets t and kb (seconds and
# peak KiB). Stops the script when the command fails.
measure_once() {
  local code
  read -r t kb code <<<"$("$measure" "$@")"
  if [ "$code" != 0 ]; then
    echo "failed (exit $code): $*" >&2
    exit 1
  fi
}

# run_pair INPUT OUTPUT: converts and then parses the result, reps times, in
# turn, so that both see the same load of the machine; sets conv_s, conv_kb,
# lint_s and lint_kb to the medians.
run_pair() {
  local conv_t=() conv_m=() lint_t=() lint_m=()
  for ((i = 0; i < reps; i++)); do
    measure_once "$converter" "$1" "$2"
    conv_t+=("$t")
    conv_m+=("$kb")
    measure_once xmllint --noout "$2"
    lint_t+=("$t")
    lint_m+=("$kb")
  done
  conv_s=$(median "${conv_t[@]}")
  conv_kb=$(median "${conv_m[@]}")
  lint_s=$(median "${lint_t[@]}")
  lint_kb=$(median "${lint_m[@]}")
}

human() {  # bytes -> KiB or MiB
  awk -v b="$1" 'BEGIN { if (b < 1048576) printf "%.1f KiB", b / 1024;
                         else printf "%.1f MiB", b / 1048576 }'
}

echo "== conversions and xmllint --noout, medians of $reps runs"
declare -A result
for entry in "${cases[@]}"; do
  read -r name size seed <<<"$entry"
  input=$data/$name.kbd
  output=$data/$name.xml
  "$build/bench/kbd_generator" "$size" "$seed" "$input"
  run_pair "$input" "$output"
  result[$name.conv_s]=$conv_s
  result[$name.conv_kb]=$conv_kb
  result[$name.lint_s]=$lint_s
  result[$name.lint_kb]=$lint_kb
  result[$name.in]=$(stat -c %s "$input")
  result[$name.out]=$(stat -c %s "$output")
  echo "  $name done"
done

echo
printf '%-16s %11s %11s %11s %9s %10s %10s %10s\n' \
  input "input size" "output size" "convert s" "MiB/s" "xmllint s" "time ratio" "mem ratio"
for entry in "${cases[@]}"; do
  read -r name _ _ <<<"$entry"
  awk -v n="$name" -v in_b="${result[$name.in]}" -v out_b="${result[$name.out]}" \
      -v cs="${result[$name.conv_s]}" -v ck="${result[$name.conv_kb]}" \
      -v ls="${result[$name.lint_s]}" -v lk="${result[$name.lint_kb]}" \
      -v ih="$(human "${result[$name.in]}")" -v oh="$(human "${result[$name.out]}")" \
      'BEGIN { printf "%-16s %11s %11s %11.4f %9.1f %10.4f %10.3f %10.3f\n",
               n, ih, oh, cs, in_b / 1048576 / cs, ls, cs / ls, ck / lk }'
done
echo "(mem ratio: peak resident memory of the converter / of xmllint; peaks" \
  "${result[realistic-50KiB.conv_kb]} / ${result[realistic-50KiB.lint_kb]} KiB at 50 KiB," \
  "${result[generated-64MiB.conv_kb]} / ${result[generated-64MiB.lint_kb]} KiB at 64 MiB)"
echo

awk -v s4="${result[generated-4MiB.conv_s]}" -v b4="${result[generated-4MiB.in]}" \
    -v s64="${result[generated-64MiB.conv_s]}" -v b64="${result[generated-64MiB.in]}" \
    'BEGIN { r = (s64 / b64) / (s4 / b4);
             printf "linear cost: s per input MiB at 64 MiB / at 4 MiB = %.3f (goal <= 1.25: %s)\n",
                    r, r <= 1.25 ? "met" : "NOT met" }'
awk -v c50="${result[realistic-50KiB.conv_s]}" -v l50="${result[realistic-50KiB.lint_s]}" \
    -v c64="${result[generated-64MiB.conv_s]}" -v l64="${result[generated-64MiB.lint_s]}" \
    -v m64="${result[generated-64MiB.conv_kb]}" -v n64="${result[generated-64MiB.lint_kb]}" \
    'BEGIN { t50 = c50 / l50; t64 = c64 / l64; m = m64 / n64;
             printf "headline ratios: 50KiB time %.3f (goal <= 1: %s), 64MiB time %.3f (goal <= 0.5: %s), 64MiB memory %.3f (goal <= 0.4: %s)\n",
                    t50, t50 <= 1 ? "met" : "NOT met", t64, t64 <= 0.5 ? "met" : "NOT met",
                    m, m <= 0.4 ? "met" : "NOT met" }'

# run_turns NAME_A COMMAND_A... -- NAME_B COMMAND_B...: runs both commands
# reps times, in turn, so that both see the same load of the machine; sets
# result[NAME.s] and result[NAME.kb] to the medians of each.
run_turns() {
  local a_name=$1 b_name a=() b=() a_t=() a_m=() b_t=() b_m=()
  shift
  while [ "$1" != -- ]; do a+=("$1"); shift; done
  shift
  b_name=$1
  shift
  b=("$@")
  for ((i = 0; i < reps; i++)); do
    measure_once "${a[@]}"
    a_t+=("$t")
    a_m+=("$kb")
    measure_once "${b[@]}"
    b_t+=("$t")
    b_m+=("$kb")
  done
  result[$a_name.s]=$(median "${a_t[@]}")
  result[$a_name.kb]=$(median "${a_m[@]}")
  result[$b_name.s]=$(median "${b_t[@]}")
  result[$b_name.kb]=$(median "${b_m[@]}")
}

# goal_runs LABEL DIR: measures the commands in DIR (dravonix, dravonix-resave,
# dravonix-render) for the goals, each in turn with what it is compared with;
# results under LABEL.
goal_runs() {
  local label=$1 dir=$2
  for name in generated-4MiB generated-64MiB; do
    run_turns "$label.$name.resave" "$dir/dravonix-resave" "$data/$name.xml" \
      "$data/$name.resaved.xml" -- \
      "$label.$name.lint_out" xmllint --output "$data/$name.linted.xml" "$data/$name.xml"
    rm -f "$data/$name.resaved.xml" "$data/$name.linted.xml"
    echo "  $label: $name resaved"
  done
  for name in generated-90KiB generated-64MiB; do
    run_turns "$label.$name.floor" dd if="$data/$name.xml" of="$data/floor.xml" bs=1M \
      conv=fsync -- "$label.$name.conv" "$dir/dravonix" "$data/$name.kbd" "$data/$name.out.xml"
    rm -f "$data/floor.xml" "$data/$name.out.xml"
    echo "  $label: $name against its write floor"
  done
  run_turns "$label.render" "$dir/dravonix-render" "$data/generated-4MiB.kbd" \
    "$data/generated-4MiB.svg" -- \
    "$label.render_conv" "$dir/dravonix" "$data/generated-4MiB.kbd" "$data/generated-4MiB.out.xml"
  rm -f "$data/generated-4MiB.svg" "$data/generated-4MiB.out.xml"
  echo "  $label: generated-4MiB drawn"
}

# goal_ratios LABEL: the goal ratios of the commands measured under LABEL.
goal_ratios() {
  local label=$1
  for name in generated-4MiB generated-64MiB; do
    awk -v l="$label" -v n="$name" -v rs="${result[$label.$name.resave.s]}" \
        -v ls="${result[$label.$name.lint_out.s]}" -v rk="${result[$label.$name.resave.kb]}" \
        -v lk="${result[$label.$name.lint_out.kb]}" \
        'BEGIN { t = rs / ls; m = rk / lk;
                 printf "%s: resave %s: %.2f s, %.0f MiB; time %.3f x xmllint --output (goal <= 1: %s), peak memory %.3f x (goal <= 0.5: %s)\n",
                        l, n, rs, rk / 1024, t, t <= 1 ? "met" : "NOT met", m, m <= 0.5 ? "met" : "NOT met" }'
  done
  awk -v l="$label" -v c="${result[$label.generated-64MiB.conv.s]}" \
      -v f="${result[$label.generated-64MiB.floor.s]}" \
      -v k="${result[$label.generated-64MiB.conv.kb]}" -v b="${result[generated-64MiB.in]}" \
      'BEGIN { t = c / f; m = k * 1024 / b;
               printf "%s: convert generated-64MiB: %.2f s, %.0f MiB; time %.2f x writing its output with fsync (goal <= 5: %s), peak memory %.2f x its input (goal <= 10: %s)\n",
                      l, c, k / 1024, t, t <= 5 ? "met" : "NOT met", m, m <= 10 ? "met" : "NOT met" }'
  awk -v l="$label" -v c="${result[$label.generated-90KiB.conv.s]}" \
      -v f="${result[$label.generated-90KiB.floor.s]}" \
      'BEGIN { t = c / f;
               printf "%s: convert generated-90KiB: %.4f s; time %.2f x writing its output with fsync (goal < 2: %s)\n",
                      l, c, t, t < 2 ? "met" : "NOT met" }'
  awk -v l="$label" -v r="${result[$label.render.s]}" -v c="${result[$label.render_conv.s]}" \
      'BEGIN { t = r / c;
               printf "%s: render generated-4MiB: %.3f s; time %.3f x convert (goal <= 1: %s)\n",
                      l, r, t, t <= 1 ? "met" : "NOT met" }'
}

# The goals: these commands, and with BENCH_BEFORE=DIR also the commands in
# DIR (say, a previous release), in the same run.
echo "== resave and xmllint --output, the write floor, render and convert; medians of $reps runs"
labels=(this)
goal_runs this "$build/driver"
if [ -n "${BENCH_BEFORE:-}" ]; then
  labels=(before this)
  goal_runs before "$BENCH_BEFORE"
fi

if [ "${BENCH_BATCH:-1}" != 0 ]; then
  echo
  echo "== a batch of 1000 realistic keyboards on $(nproc) processors, medians of $reps runs"
  batch_in=$PWD/$data/batch-in
  batch_out=$PWD/$data/batch-out
  if [ ! -f "$batch_in/k999.kbd" ]; then
    mkdir -p "$batch_in"
    for ((i = 0; i < 1000; i++)); do
      "$build/bench/kbd_generator" 51200 $((1000 + i)) "$batch_in/k$i.kbd"
    done
  fi
  batcher=$build/driver/dravonix-batch
  xargs_t=() xml_t=() full_t=()
  for ((r = 0; r < reps; r++)); do
    rm -rf "$batch_out"
    mkdir -p "$batch_out"
    measure_once sh -c "cd '$batch_in' && find . -name '*.kbd' -print0 |
      xargs -0 -P $(nproc) -I{} '$PWD/$converter' {} '$batch_out/{}.xml' 2>/dev/null"
    xargs_t+=("$t")
    rm -rf "$batch_out"
    measure_once sh -c "'$batcher' --xml-only '$batch_in' '$batch_out' >/dev/null 2>&1; [ \$? -le 1 ]"
    xml_t+=("$t")
    rm -rf "$batch_out"
    measure_once sh -c "'$batcher' '$batch_in' '$batch_out' >/dev/null 2>&1; [ \$? -le 1 ]"
    full_t+=("$t")
  done
  xargs_s=$(median "${xargs_t[@]}")
  xml_s=$(median "${xml_t[@]}")
  full_s=$(median "${full_t[@]}")
  awk -v x="$xargs_s" -v b="$xml_s" -v f="$full_s" \
    'BEGIN { printf "xargs -P with dravonix: %.3f s; dravonix-batch --xml-only: %.3f s (%s); with reports and previews: %.3f s (%.2f x the xargs run, goal <= 2: %s)\n",
             x, b, b < x ? "faster: met" : "NOT faster", f, f / x, f <= 2 * x ? "met" : "NOT met" }'
fi

echo
echo "== goal ratios"
for label in "${labels[@]}"; do goal_ratios "$label"; done
