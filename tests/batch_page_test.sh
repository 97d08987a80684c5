#!/usr/bin/env bash
# Opens the index page of a batch run in headless Chromium and checks what a
# browser shows against what the run reported: one row per keyboard with its
# name, file and status, the filter hiding the clean ones, a row opening on
# its findings and preview. Takes screenshots at a desktop's and a phone's
# width (copied into the folder DRAVONIX_PAGE_SHOTS names, when set); with
# DRAVONIX_UPDATE_DOCS=1 the first becomes docs/batch-index.png.
# Usage: batch_page_test.sh path/to/dravonix-batch SOURCE_DIR
set -euo pipefail
batch=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

browser=$(command -v chromium || true)
if [ -z "$browser" ]; then
  echo "FAIL: chromium is not installed (scripts/setup.sh installs it)"
  exit 1
fi

# The bundled examples, one in a nested folder, and one that cannot be read.
mkdir -p "$work/in/nested folder"
cp "$source_dir"/examples/*.kbd "$work/in/"
cp "$source_dir"/examples/compact_pad.kbd "$work/in/nested folder/Kompakt Übersicht.kbd"
ln -s "$work/nowhere.kbd" "$work/in/unreadable.kbd"
status=0
"$batch" "$work/in" "$work/out" > "$work/summary" 2> "$work/lines" || status=$?
[ "$status" = 2 ] || { echo "FAIL: exit $status, not 2"; cat "$work/summary" "$work/lines"; exit 1; }

# What the run said of each keyboard: "STATUS PATH", sorted.
sed -E -n 's/^(converted) +(.*)$/clean \2/p; s/^(warnings) +(.*) \([0-9]+\)$/warnings \2/p;
           s/^failed +([^:]*): .*$/failed \1/p' "$work/lines" | sort > "$work/expected"

run_browser() {
  timeout 120 "$browser" --headless --no-sandbox --disable-gpu --disable-background-networking \
    --disable-component-update --disable-sync --no-first-run --hide-scrollbars \
    --user-data-dir="$work/profile" "$@" 2>/dev/null
}

# The rows as the browser built them, after the page's script ran.
run_browser --dump-dom "file://$work/out/index.html" > "$work/dom"
grep -o '<tr id="k[0-9]*" class="keyboard[^"]*"><td>.*<small class="file">[^<]*<.*class="status [a-z]*"' "$work/dom" |
  sed -E 's/^.*<small class="file">([^<]*)<.*class="status ([a-z]*)"$/\2 \1/' | sort > "$work/shown"
if ! diff "$work/expected" "$work/shown"; then
  echo "FAIL: the page's rows differ from the run (< run, > page)"
  exit 1
fi
[ -s "$work/expected" ] || { echo "FAIL: no keyboards"; exit 1; }

# The filter for warnings and failures hides every clean row.
run_browser --dump-dom "file://$work/out/index.html#problems" > "$work/dom-problems"
visible_clean=$(grep -o '<tr id="k[0-9]*" class="keyboard"[^>]*>' "$work/dom-problems" |
  grep -vc 'hidden' || true)
hidden_problems=$(grep -o '<tr id="k[0-9]*" class="keyboard problem"[^>]*>' "$work/dom-problems" |
  grep -c 'hidden' || true)
if [ "$visible_clean" != 0 ] || [ "$hidden_problems" != 0 ]; then
  echo "FAIL: the filter shows $visible_clean clean rows and hides $hidden_problems others"
  exit 1
fi

# Opening a converted keyboard's row shows its findings and its preview.
first=$(grep -o '<tr id="k[0-9]*" class="keyboard[^"]*"><td><span class="name">[^<]*</span><br><small class="file">compact_pad.kbd' "$work/dom" |
  sed -E 's/^<tr id="(k[0-9]*)".*/\1/')
run_browser --dump-dom "file://$work/out/index.html#open=$first" > "$work/dom-open"
if ! grep -q '<tr class="details"><td colspan="7"><ul class="findings"><li>line 7: image .*<img [^>]*src="compact_pad.svg"' "$work/dom-open"; then
  echo "FAIL: opening row $first shows no findings and preview"
  exit 1
fi
# Screenshots at a desktop's width and a phone's.
for size in 1000,900 390,844; do
  run_browser --window-size=$size --virtual-time-budget=3000 --run-all-compositor-stages-before-draw --screenshot="$work/shot-$size.png" \
    "file://$work/out/index.html#open=$first" >/dev/null
  if [ "$(head -c 8 "$work/shot-$size.png" | od -An -tx1 | tr -d ' \n')" != 89504e470d0a1a0a ]; then
    echo "FAIL: no screenshot at $size"
    exit 1
  fi
done
cp "$work/shot-1000,900.png" "$work/shot.png"
if [ -n "${DRAVONIX_PAGE_SHOTS:-}" ]; then cp "$work"/shot-*.png "$DRAVONIX_PAGE_SHOTS"/; fi
if [ "${DRAVONIX_UPDATE_DOCS:-0}" = 1 ]; then
  mkdir -p "$source_dir/docs"
  cp "$work/shot.png" "$source_dir/docs/batch-index.png"
fi
echo "batch page: $(wc -l < "$work/expected") rows as the run reported, filter and preview work"
