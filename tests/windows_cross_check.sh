#!/usr/bin/env bash
# Converts and resaves the same inputs with a Linux build and with a Windows
# build (run under Wine) and requires the same bytes and exit codes of both:
# the examples, the fuzz corpora, the schema's test files, and COUNT keyboards
# made by the generator in varied sizes (default 200), each converted and the
# result resaved; and every code page over all its bytes (see below).
# Usage: tests/windows_cross_check.sh LINUX_BUILD WINDOWS_BUILD [COUNT]
set -euo pipefail

if [ $# -lt 2 ] || [ $# -gt 3 ]; then
    echo "usage: $0 LINUX_BUILD WINDOWS_BUILD [COUNT]" >&2
    exit 2
fi
source_dir=$(cd "$(dirname "$0")/.." && pwd)
linux=$(cd "$1" && pwd)
windows=$(cd "$2" && pwd)
count=${3:-200}
wine_run=(bash "$source_dir/scripts/wine-run.sh")
start=$SECONDS

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir in linux windows

# The inputs, under plain ASCII names (a batch file is read in the console's
# code page), k_ and x_ keeping the names of .kbd and .xml inputs apart.
for file in "$source_dir"/examples/*.kbd "$source_dir"/fuzz/corpus/kbd/*; do
    cp "$file" "in/k_$(basename "${file%.*}").kbd"
done
for file in "$source_dir"/fuzz/corpus/xml/* "$source_dir"/schema/testdata/*.xml; do
    cp "$file" "in/x_$(basename "${file%.*}").xml"
done
for ((seed = 1; seed <= count; seed++)); do
    # From a few lines to 64 KB, spread over the range.
    "$linux/bench/kbd_generator" $(((seed * 7919) % 65536 + 32)) "$seed" "in/gen_$seed.kbd"
done
kbds=(in/*.kbd)
xmls=(in/*.xml)

# Each input's jobs: convert NAME.kbd to NAME.xml and resave that to
# NAME.re.xml; resave NAME.xml to NAME.re.xml. Codes as a shell sees them.
for kbd in "${kbds[@]}"; do
    name=$(basename "$kbd" .kbd)
    status=0
    "$linux/driver/dravonix" "$kbd" "linux/$name.xml" >/dev/null || status=$?
    echo "$name.kbd $status" >>linux/codes
    status=0
    "$linux/driver/dravonix-resave" "linux/$name.xml" "linux/$name.re.xml" >/dev/null || status=$?
    echo "$name.xml $status" >>linux/codes
done
for xml in "${xmls[@]}"; do
    name=$(basename "$xml" .xml)
    status=0
    "$linux/driver/dravonix-resave" "$xml" "linux/$name.re.xml" >/dev/null || status=$?
    echo "$name.xml $status" >>linux/codes
done

# The same jobs as two batch files run side by side, each taking every
# other input.
converter=$("${wine_run[@]}" winepath -w "$windows/driver/dravonix.exe" 2>/dev/null)
resaver=$("${wine_run[@]}" winepath -w "$windows/driver/dravonix-resave.exe" 2>/dev/null)
converter=${converter%$'\r'}
resaver=${resaver%$'\r'}
for part in 0 1; do
    {
        printf '@echo off\r\n'
        for ((i = part; i < ${#kbds[@]}; i += 2)); do
            name=$(basename "${kbds[i]}" .kbd)
            printf '"%s" in\\%s.kbd windows\\%s.xml >NUL\r\n' "$converter" "$name" "$name"
            printf '>>windows\\codes%s echo %s.kbd %%ERRORLEVEL%%\r\n' "$part" "$name"
            printf '"%s" windows\\%s.xml windows\\%s.re.xml >NUL\r\n' "$resaver" "$name" "$name"
            printf '>>windows\\codes%s echo %s.xml %%ERRORLEVEL%%\r\n' "$part" "$name"
        done
        for ((i = part; i < ${#xmls[@]}; i += 2)); do
            name=$(basename "${xmls[i]}" .xml)
            printf '"%s" in\\%s.xml windows\\%s.re.xml >NUL\r\n' "$resaver" "$name" "$name"
            printf '>>windows\\codes%s echo %s.xml %%ERRORLEVEL%%\r\n' "$part" "$name"
        done
    } >"part$part.bat"
done
"${wine_run[@]}" cmd /c part0.bat >part0.log 2>&1 &
first=$!
"${wine_run[@]}" cmd /c part1.bat >part1.log 2>&1
wait "$first"
# cmd shows -1 and -2 where a shell sees 255 and 254.
cat windows/codes0 windows/codes1 | tr -d '\r' | awk '{ print $1, ($2 + 256) % 256 }' \
    >windows/codes
rm windows/codes0 windows/codes1

# Now and then Wine's cmd fails to start a program ("Can't recognize ...");
# such a job runs again on its own (a conversion with the resave after it).
retried=0
while read -r job; do
    retried=$((retried + 1))
    if [[ "$job" == *.kbd ]]; then
        name=$(basename "${job//\\//}" .kbd)
        status=0
        "${wine_run[@]}" "$converter" "$job" "windows\\$name.xml" >/dev/null || status=$?
        sed -i "s/^$name\.kbd .*/$name.kbd $status/" windows/codes
        job=windows\\$name.xml
    fi
    name=$(basename "${job//\\//}" .xml)
    status=0
    "${wine_run[@]}" "$resaver" "$job" "windows\\$name.re.xml" >/dev/null || status=$?
    sed -i "s/^$name\.xml .*/$name.xml $status/" windows/codes
done < <(cat part0.log part1.log | tr -d '\r' |
         sed -n "s/^Can't recognize '\"[^\"]*\" \([^ ]*\) .*/\1/p")
sort -o linux/codes linux/codes
sort -o windows/codes windows/codes

# Every code page: a keyboard whose keys hold every byte above 0x7F (as a
# key's character and in a text) and, in the double-byte pages, every lead
# byte with every byte after it, converted and resaved with --code-page by
# both builds. Under Wine with LANG=ru_RU.UTF-8 (active code page 1251) the
# Russian example converts without the option as the Linux build converts it
# with --code-page=1251, and with LANG=C as the Linux build without one.
pages=(874 1250 1251 1252 1253 1254 1255 1256 1257 1258 932 936 949 950 65001)
mkdir pages pages/linux pages/windows
python3 - "${pages[@]}" <<'PYTHON'
import sys
for page in sys.argv[1:]:
    shape = "[0,0,9,0,9,9,0,9], -1, "
    lines = ["[KEYDEF]", "page " + page, "[NOT INFLUENCED BY SHIFT]"]
    high = bytes(range(0x80, 0x100))
    lines += [shape + "1, -1, 0, '" + chr(b) + "'" for b in range(0x80, 0x100)]
    lines.append(shape + '16, "' + high.decode("latin-1") + '"')
    if page in ("932", "936", "949", "950"):
        for lead in range(0x81, 0xFF):
            pairs = b"".join(bytes([lead, trail]) for trail in range(0x40, 0xFF))
            lines.append(shape + '16, "' + pairs.decode("latin-1") + '"')
    lines += ["[/NOT INFLUENCED BY SHIFT]", "[/KEYDEF]", ""]
    with open("pages/cp_" + page + ".kbd", "wb") as out:
        out.write("\r\n".join(lines).encode("latin-1"))
PYTHON
cp "$source_dir/examples/code_pages/russian_1251.kbd" pages/russian.kbd
for page in "${pages[@]}"; do
    "$linux/driver/dravonix" -c "$page" "pages/cp_$page.kbd" "pages/linux/cp_$page.xml" \
        >/dev/null 2>&1 || true
    "$linux/driver/dravonix-resave" -c "$page" "pages/linux/cp_$page.xml" \
        "pages/linux/cp_$page.re.xml" >/dev/null 2>&1 || true
done
"$linux/driver/dravonix" -c 1251 pages/russian.kbd pages/linux/russian_ru.xml >/dev/null 2>&1
"$linux/driver/dravonix" pages/russian.kbd pages/linux/russian_c.xml >/dev/null 2>&1
{
    printf '@echo off\r\n'
    for page in "${pages[@]}"; do
        printf '"%s" -c %s pages\\cp_%s.kbd pages\\windows\\cp_%s.xml >NUL 2>NUL\r\n' \
            "$converter" "$page" "$page" "$page"
        printf '"%s" -c %s pages\\windows\\cp_%s.xml pages\\windows\\cp_%s.re.xml >NUL 2>NUL\r\n' \
            "$resaver" "$page" "$page" "$page"
    done
    printf '"%s" pages\\russian.kbd pages\\windows\\russian_c.xml >NUL 2>NUL\r\n' "$converter"
} >pages.bat
"${wine_run[@]}" cmd /c pages.bat >pages.log 2>&1
# wine-run.sh sets LC_ALL for file names; the active code page follows LANG
# when LC_ALL names no other character set, so the Russian run sets both.
LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8 WINEPREFIX=${WINEPREFIX:-$source_dir/build/wine-prefix} \
    WINEDEBUG=-all wine "$converter" 'pages\russian.kbd' 'pages\windows\russian_ru.xml' \
    >/dev/null 2>&1 || true
# Wine's cmd now and then fails to start a program here too (its message
# goes to NUL with the program's): each file left unwritten is made again,
# on its own (a resave after its conversion). A file the program itself
# fails to write is missing again, and the check below fails.
for page in "${pages[@]}"; do
    if [ ! -s "pages/windows/cp_$page.xml" ]; then
        "${wine_run[@]}" "$converter" -c "$page" "pages\\cp_$page.kbd" \
            "pages\\windows\\cp_$page.xml" >/dev/null 2>&1 || true
    fi
    if [ ! -s "pages/windows/cp_$page.re.xml" ]; then
        "${wine_run[@]}" "$resaver" -c "$page" "pages\\windows\\cp_$page.xml" \
            "pages\\windows\\cp_$page.re.xml" >/dev/null 2>&1 || true
    fi
done
if [ ! -s pages/windows/russian_c.xml ]; then
    "${wine_run[@]}" "$converter" 'pages\russian.kbd' 'pages\windows\russian_c.xml' \
        >/dev/null 2>&1 || true
fi
# Each build wrote every file: a conversion and a resave per code page, and
# the two Russian conversions.
for side in linux windows; do
    written=$(find "pages/$side" -name '*.xml' -size +0 | wc -l)
    if [ "$written" -ne $((2 * ${#pages[@]} + 2)) ]; then
        echo "FAIL: the $side build wrote $written of the code pages' $((2 * ${#pages[@]} + 2)) files"
        exit 1
    fi
done
if ! diff -r pages/linux pages/windows >pages.diff; then
    echo "FAIL: the Linux and Windows builds differ in the code pages:"
    head -n 20 pages.diff
    exit 1
fi

conversions=${#kbds[@]}
resaves=$((${#kbds[@]} + ${#xmls[@]}))
if ! diff -r linux windows >diff.txt; then
    echo "FAIL: the Linux and Windows builds differ ($conversions conversions, $resaves resaves):"
    head -n 20 diff.txt
    exit 1
fi
echo "cross-check: $conversions conversions and $resaves resaves byte-identical on Linux and" \
    "Windows, and ${#pages[@]} code pages over every byte and byte pair ($((SECONDS - start)) s; $retried job(s) Wine failed to start were run again)"
