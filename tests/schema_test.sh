#!/usr/bin/env bash
# Ties the XML writer to schema/keyboard.xsd: every XML file the two commands
# produce here must validate against the schema.
#  - converts examples/*.kbd, several generated keyboards, an empty file and a
#    file full of awkward text (markup characters, control bytes, every high
#    byte of Windows-1252) with dravonix;
#  - resaves every result with dravonix-resave; a resave of a converted file
#    must be byte-identical to it (the reader and the writer agree), except
#    for the awkward file whose control bytes come back as "?";
#  - validates all of them with xmllint --schema.
# Usage: tests/schema_test.sh path/to/dravonix path/to/dravonix-resave path/to/kbd_generator
set -u
cd "$(dirname "$0")/.."

if [ $# -ne 3 ]; then
    echo "usage: $0 DRAVONIX DRAVONIX_RESAVE KBD_GENERATOR" >&2
    exit 2
fi
converter=$1
resaver=$2
generator=$3
schema=$PWD/schema/keyboard.xsd
passed=0
failed=0

pass() { passed=$((passed + 1)); }
fail() {
    failed=$((failed + 1))
    echo "FAIL: $*"
}

workdir=$(mktemp -d)
trap 'rm -rf "$workdir"' EXIT

# The inputs: the examples, generated keyboards of a few sizes and seeds, and
# two hand-made edge cases.
inputs=()
for input in examples/*.kbd; do
    cp "$input" "$workdir/example_$(basename "$input")"
    inputs+=("$workdir/example_$(basename "$input")")
done
for entry in 0:1 60000:2 300000:3 1500000:4; do
    file=$workdir/generated_${entry%%:*}_${entry##*:}.kbd
    if "$generator" "${entry%%:*}" "${entry##*:}" "$file"; then
        inputs+=("$file")
    else
        fail "$generator ${entry%%:*} ${entry##*:} failed"
    fi
done
: >"$workdir/empty.kbd"
inputs+=("$workdir/empty.kbd")
{
    printf '[KEYDEF]\n'
    printf 'Name <&> "quoted" \x01\x07 tab\there \x80\x81\x9d\xa0\xff\n'
    printf 'xres=1024\nnormal jpeg=a&b<c>.jpg\n'
    printf '[SOUNDS]\n-1=negative.wav\n2=x"y\x85.wav\n2=second.wav\n3=not defined\n[/SOUNDS]\n'
    printf '[NOT INFLUENCED BY SHIFT]\n'
    printf '[0,0,10,0,10,10], 2, 16, "<&\x27\x01\xfe>"\n'
    printf "[0,0,10,0,10,10], 2, 1, -1, 0, '\x03'\n"
    printf "[0,0,10,0,10,10], 2, 1, -1, 0, '<'\n"
    printf "[1,1,2,2], 99, 7, -1, 0, 'm'\n16,1\n-1,0,'&'\n-1,0,'\x01'\n.MACROENDS\n"
    printf '[/NOT INFLUENCED BY SHIFT]\n[SHIFT/CAPS ON]\n'
    printf "[-5,-5,2147483647,-2147483648], 1, 1, -1, 0, '\xe9'\n"
    printf '[/SHIFT/CAPS ON]\n[/KEYDEF]\n[KEYDEF]\nunfinished panel\n'
} >"$workdir/awkward.kbd"
inputs+=("$workdir/awkward.kbd")

outputs=()
for input in "${inputs[@]}"; do
    output=${input%.kbd}.xml
    resaved=${input%.kbd}.resaved.xml
    if ! "$converter" "$input" "$output" >/dev/null; then
        fail "dravonix $(basename "$input") failed"
        continue
    fi
    outputs+=("$output")
    if ! "$resaver" "$output" "$resaved" >/dev/null; then
        fail "dravonix-resave $(basename "$output") failed"
        continue
    fi
    outputs+=("$resaved")
    if [ "$(basename "$input")" = awkward.kbd ] || cmp -s "$output" "$resaved"; then
        pass
    else
        fail "resaving $(basename "$output") changed it"
    fi
done

# One xmllint run for all files; it names each one that does not validate.
if [ ${#outputs[@]} -gt 0 ]; then
    report=$(xmllint --noout --schema "$schema" "${outputs[@]}" 2>&1)
    for output in "${outputs[@]}"; do
        if grep -qxF "$output validates" <<<"$report"; then
            pass
        else
            fail "$(basename "$output") does not validate:"
            grep -F "$output" <<<"$report" | head -20
        fi
    done
fi

echo "schema: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
