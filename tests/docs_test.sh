#!/usr/bin/env bash
# Checks the documentation artefacts:
#  - the manual pages render without any groff warning, and each one's SEE
#    ALSO names the other four tools;
#  - schema/testdata/valid*.xml validate against schema/keyboard.xsd;
#  - schema/testdata/invalid*.xml are well-formed but rejected by the schema.
# With a converter path as argument it also converts examples/*.kbd and
# validates the results, which ties the schema to what the writer produces.
# Needs groff (groff-base) and xmllint (libxml2-utils).
# Usage: tests/docs_test.sh [path/to/dravonix]
set -u
cd "$(dirname "$0")/.."

converter=${1:-}
schema=schema/keyboard.xsd
passed=0
failed=0

pass() { passed=$((passed + 1)); }
fail() {
    failed=$((failed + 1))
    echo "FAIL: $*"
}

for tool in groff xmllint; do
    if ! command -v "$tool" >/dev/null; then
        echo "FAIL: $tool is not installed"
        echo "docs: 0 passed, 1 failed"
        exit 1
    fi
done

# Any output of groff in warning mode is a defect of the page.
for page in man/*.1; do
    output=$(groff -man -ww -z "$page" 2>&1)
    if [ -n "$output" ]; then
        fail "$page: groff reports:"
        echo "$output"
    else
        pass
    fi
done

# Each page's SEE ALSO names every other tool, so that a reader of one finds
# all five.
tools=(dravonix dravonix-resave dravonix-check dravonix-render dravonix-batch)
for tool in "${tools[@]}"; do
    see_also=$(sed -n '/^\.SH "SEE ALSO"/,$p' "man/$tool.1" | sed 's/\\-/-/g')
    for other in "${tools[@]}"; do
        [ "$other" = "$tool" ] && continue
        if grep -q "^\.BR $other (1)" <<<"$see_also"; then
            pass
        else
            fail "man/$tool.1: SEE ALSO does not name $other(1)"
        fi
    done
done

shopt -s nullglob
valid=(schema/testdata/valid*.xml)
invalid=(schema/testdata/invalid*.xml)
[ ${#valid[@]} -gt 0 ] || fail "no schema/testdata/valid*.xml found"
[ ${#invalid[@]} -gt 0 ] || fail "no schema/testdata/invalid*.xml found"

for file in "${valid[@]}"; do
    if output=$(xmllint --noout --schema "$schema" "$file" 2>&1); then
        pass
    else
        fail "$file should validate:"
        echo "$output"
    fi
done

# An invalid sample must still be well-formed, so that its rejection comes
# from the schema and not from the parser.
for file in "${invalid[@]}"; do
    if ! xmllint --noout "$file" 2>/dev/null; then
        fail "$file is not well-formed XML"
    elif xmllint --noout --schema "$schema" "$file" >/dev/null 2>&1; then
        fail "$file should be rejected by the schema"
    else
        pass
    fi
done

if [ -n "$converter" ]; then
    workdir=$(mktemp -d)
    trap 'rm -rf "$workdir"' EXIT
    for input in examples/*.kbd; do
        output=$workdir/$(basename "${input%.kbd}").xml
        if ! "$converter" "$input" "$output" >/dev/null; then
            fail "$converter $input failed"
        elif ! result=$(xmllint --noout --schema "$schema" "$output" 2>&1); then
            fail "output of $input does not validate:"
            echo "$result"
        else
            pass
        fi
    done
fi

echo "docs: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
