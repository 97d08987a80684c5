#!/usr/bin/env bash
# End-to-end checks of dravonix-render, through rsvg-convert and xmllint:
#  - a keyboard read from .kbd and one read from XML (all four shape kinds)
#    give well-formed SVG; rendered to PNG, a pixel inside a key of each kind
#    has that kind's fill (60 % over white), a pixel of the panel image its
#    colour, and pixels outside every key the white background;
#  - absurd coordinates and empty panels give a file that renders, at most
#    4096 pixels across;
#  - a wrong argument count, an unreadable input and an unsavable output
#    fail with the usual exit codes.
# Needs rsvg-convert (librsvg2-bin), xmllint (libxml2-utils) and python3.
# Usage: tests/render_test.sh path/to/dravonix-render
set -u
cd "$(dirname "$0")/.."
render=$1
pixels=tests/png_pixels.py
passed=0
failed=0
pass() { passed=$((passed + 1)); }
fail() {
    failed=$((failed + 1))
    echo "FAIL: $*"
}
for tool in rsvg-convert xmllint python3; do
    if ! command -v "$tool" >/dev/null; then
        echo "FAIL: $tool is not installed"
        exit 1
    fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A 300 x 30 PNG of one grey, written with the standard library.
mkdir -p "$work/Pics"
python3 - "$work/Pics/Band.PNG" <<'PY'
import struct, sys, zlib
w, h = 300, 30
raw = b"".join(b"\x00" + bytes([128, 128, 128]) * w for _ in range(h))
def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
open(sys.argv[1], "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
                              + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))
PY

cat >"$work/pixels.kbd" <<'KBD'
[KEYDEF]
Pixel test
xres=keys
normal jpeg=pics\band.png
[NOT INFLUENCED BY SHIFT]
[0,40,100,40,100,100,0,100], 1, 1, 65, 0, ' '
[100,40,200,40,200,100,100,100], 1, 16, "target"
[200,40,300,40,300,100,200,100], 1, 7, -1, 0, 'm'
16,1
.MACROENDS
[/NOT INFLUENCED BY SHIFT]
[SHIFT/CAPS OFF]
[0,100,100,100,100,160,0,160], 1, 1, -1, 0, 'q'
[/SHIFT/CAPS OFF]
[SHIFT/CAPS ON]
[0,100,100,100,100,160,0,160], 1, 1, -1, 0, 'Q'
[/SHIFT/CAPS ON]
[/KEYDEF]
KBD

cat >"$work/shapes.XML" <<'XML'
<keydef name="Shapes"><subkeydef name="shapes" type="big">
<nonshiftkeys>
<key type="1" vkey="65"><shape><ellipse x1="0" y1="0" x2="100" y2="60"/></shape></key>
<key type="1" vkey="66"><shape><rect x1="200" y1="60" x2="100" y2="0"/></shape></key>
<key type="1" vkey="67"><shape><roundrect x1="200" y1="0" x2="300" y2="60" widthellipse="40" heightellipse="40"/></shape></key>
</nonshiftkeys></subkeydef></keydef>
XML

# The translation of each panel view and the picture's scale, from the SVG.
views() {
    python3 - "$1" <<'PY'
import re, sys
import xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
box = root.get("viewBox").split()
scale = float(root.get("width")) / float(box[2])
for g in root.iter("{http://www.w3.org/2000/svg}g"):
    if g.get("class") == "view":
        x, y = re.match(r"translate\(([-\d.]+) ([-\d.]+)\)", g.get("transform")).groups()
        print(scale, x, y)
PY
}

# check SVG PNG VIEW "X Y R G B WHAT"...: the pixel at panel point X, Y of
# the given view has the colour R G B, give or take 3 per channel.
check() {
    local svg=$1 png=$2 view=$3
    shift 3
    local scale tx ty
    read -r scale tx ty < <(views "$svg" | sed -n "$((view + 1))p")
    local points=()
    for probe in "$@"; do
        read -r x y _ <<<"$probe"
        points+=($(awk -v s="$scale" -v tx="$tx" -v ty="$ty" -v x="$x" -v y="$y" \
            'BEGIN { printf "%d %d", (tx + x) * s, (ty + y) * s }'))
    done
    local colours
    mapfile -t colours < <(python3 "$pixels" "$png" "${points[@]}")
    local i=0
    for probe in "$@"; do
        read -r x y r g b what <<<"$probe"
        if awk -v got="${colours[$i]}" -v want="$r $g $b" 'BEGIN {
                n = split(got, a, " "); split(want, b, " ")
                if (n != 3) exit 1
                for (k = 1; k <= 3; k++) if (a[k] - b[k] > 3 || b[k] - a[k] > 3) exit 1
            }'; then
            pass
        else
            fail "$what at ($x, $y) of view $view is ${colours[$i]}, expected $r $g $b"
        fi
        i=$((i + 1))
    done
}

draw() {  # draw INPUT NAME: renders into $work/NAME.svg and .png
    if ! "$render" "$1" "$work/$2.svg" >"$work/out" 2>&1; then
        fail "dravonix-render $1 failed: $(cat "$work/out")"
        return 1
    fi
    if ! xmllint --noout "$work/$2.svg"; then
        fail "$2.svg is not well-formed"
        return 1
    fi
    if ! rsvg-convert "$work/$2.svg" -o "$work/$2.png"; then
        fail "rsvg-convert cannot render $2.svg"
        return 1
    fi
    pass
}

if draw "$work/pixels.kbd" pixels; then
    check "$work/pixels.svg" "$work/pixels.png" 0 \
        "10 50 154 210 242 key-without-shift" \
        "110 50 246 239 142 type-16-key" \
        "210 50 224 175 202 macro" \
        "10 110 102 197 171 shift-off-key" \
        "150 15 128 128 128 panel-image" \
        "150 130 255 255 255 background"
    check "$work/pixels.svg" "$work/pixels.png" 1 \
        "10 110 240 197 102 shift-on-key" \
        "10 50 255 255 255 no-key-here"
fi
if draw "$work/shapes.XML" shapes; then
    check "$work/shapes.svg" "$work/shapes.png" 0 \
        "20 30 154 210 242 ellipse" \
        "97 3 255 255 255 corner-outside-the-ellipse" \
        "110 10 154 210 242 rect-given-right-to-left" \
        "215 30 154 210 242 round-rect" \
        "202 2 255 255 255 rounded-corner"
fi

# Saturated numbers, a polygon without points, empty panels.
cat >"$work/absurd.kbd" <<'KBD'
[KEYDEF]
xres=absurd
[NOT INFLUENCED BY SHIFT]
[-2147483648,-2147483648,2147483647,-2147483648,2147483647,2147483647], 1, 1, -1, 0, '<'
[], 1, 1, -1, 0, '&'
[99999999999,5,6,-99999999999], -1, 1, 2147483647, 0, '"'
[/NOT INFLUENCED BY SHIFT]
[/KEYDEF]
[KEYDEF]
[/KEYDEF]
KBD
if draw "$work/absurd.kbd" absurd; then
    read -r width height < <(python3 "$pixels" "$work/absurd.png" size)
    if [ "$width" -le 4096 ] && [ "$height" -le 4096 ] && [ "$width" -ge 1 ]; then
        pass
    else
        fail "absurd.png is $width x $height"
    fi
fi

# Exit codes: -1 (255) with the usage for a wrong argument count, -2 (254)
# with a reason on standard error for an input or output that fails.
"$render" >"$work/out" 2>&1
code=$?
if [ $code -eq 255 ] && grep -q "dravonix-render" "$work/out"; then pass; else fail "no arguments: exit $code"; fi
for args in "$work/missing.kbd $work/x.svg" "$work/pixels.kbd $work/no/such/x.svg" \
    "$work/Pics $work/x.svg"; do
    # shellcheck disable=SC2086
    "$render" $args >"$work/out" 2>"$work/err"
    code=$?
    if [ $code -eq 254 ] && grep -q "^dravonix-render: " "$work/err"; then
        pass
    else
        fail "dravonix-render $args: exit $code, standard error: $(cat "$work/err")"
    fi
done

echo "render: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
