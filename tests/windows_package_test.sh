#!/usr/bin/env bash
# Builds the Windows zip of a build with CPack and checks it:
#  - it is dravonix-VERSION-win64.zip and holds one folder of that name with
#    the five programs, the schema, the examples, the manual pages as HTML
#    and README-windows.txt (CR LF line ends, speaking of every program),
#    nothing else;
#  - its programs import only DLLs that come with Windows;
#  - run from the unpacked folder (through RUNNER, Wine here), they convert
#    and resave a file under a name that is not ASCII into the reviewed text,
#    which validates against the zip's schema, and print their usage with
#    CR LF line ends and exit -1 (255) without arguments.
# Usage: tests/windows_package_test.sh BUILD_DIR VERSION OBJDUMP RUNNER...
set -u

if [ $# -lt 4 ]; then
    echo "usage: $0 BUILD_DIR VERSION OBJDUMP RUNNER..." >&2
    exit 2
fi
build=$(cd "$1" && pwd)
version=$2
objdump=$3
shift 3
runner=("$@")
source_dir=$(cd "$(dirname "$0")/.." && pwd)
passed=0
failed=0

pass() { passed=$((passed + 1)); }
fail() {
    failed=$((failed + 1))
    echo "FAIL: $*"
}
finish() {
    echo "windows package: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
    exit
}

workdir=$(mktemp -d)
trap 'rm -rf "$workdir"' EXIT

name=dravonix-$version-win64
if ! log=$(cpack --config "$build/CPackConfig.cmake" -G ZIP -B "$workdir/out" 2>&1); then
    fail "cpack failed:"
    echo "$log"
    finish
fi
if [ ! -f "$workdir/out/$name.zip" ]; then
    fail "cpack made $(ls "$workdir/out" | tr '\n' ' '), not $name.zip"
    finish
fi
pass

(cd "$workdir" && cmake -E tar xf "out/$name.zip")
root=$workdir/$name
expected=$(
    cd "$source_dir"
    printf '%s\n' README-windows.txt dravonix-batch.exe dravonix-check.exe dravonix-render.exe dravonix-resave.exe dravonix.exe keyboard.xsd \
        examples/*.kbd manual/dravonix.html manual/dravonix-resave.html manual/dravonix-check.html \
        manual/dravonix-render.html manual/dravonix-batch.html |
        LC_ALL=C sort
)
actual=$(cd "$workdir" && find . -type f ! -path ./out/\* | sed 's|^\./||' | LC_ALL=C sort)
if [ "$actual" = "$(sed "s|^|$name/|" <<<"$expected")" ]; then
    pass
else
    fail "the zip holds:" $actual
fi
readme=$root/README-windows.txt
if [ -f "$readme" ] && ! grep -qv $'\r$' "$readme" && grep -q "^dravonix $version" "$readme"; then
    pass
else
    fail "README-windows.txt does not have CR LF line ends and the version throughout"
fi

# The manual pages as web pages, and a README that speaks of every program.
for program in dravonix dravonix-resave dravonix-check dravonix-render dravonix-batch; do
    if ! grep -q "<title>${program^^}</title>" "$root/manual/$program.html" 2>/dev/null; then
        fail "manual/$program.html is not the manual page of $program"
    elif ! grep -q "$program.exe" "$readme"; then
        fail "README-windows.txt does not speak of $program.exe"
    else
        pass
    fi
done

if bash "$source_dir/tests/windows_imports_test.sh" "$objdump" "$root/dravonix.exe" \
    "$root/dravonix-resave.exe" >/dev/null; then
    pass
else
    fail "the zip's programs need DLLs that Windows lacks"
fi

reviewed=$source_dir/tests/expected/compact_pad.xml
input="$workdir/Tastatur Übersicht €.kbd"
output="$workdir/клавиатура 键盘.xml"
cp "$root/examples/compact_pad.kbd" "$input"
if ! out=$("${runner[@]}" "$root/dravonix.exe" "$input" "$output" 2>&1); then
    fail "the zip's dravonix.exe failed on a non-ASCII name: $out"
elif ! cmp -s "$output" "$reviewed"; then
    fail "the zip's dravonix.exe did not write the reviewed text"
elif ! xmllint --noout --schema "$root/keyboard.xsd" "$output" 2>/dev/null; then
    fail "the output does not validate against the zip's schema"
else
    pass
fi
again="$workdir/wieder Übersicht.xml"
if ! out=$("${runner[@]}" "$root/dravonix-resave.exe" "$output" "$again" 2>&1) ||
    ! cmp -s "$again" "$reviewed"; then
    fail "the zip's dravonix-resave.exe did not give back the same text: $out"
else
    pass
fi

for program in dravonix dravonix-resave; do
    "${runner[@]}" "$root/$program.exe" >"$workdir/usage" 2>/dev/null </dev/null
    status=$?
    usage=$(head -c 12 "$workdir/usage" | od -An -c | tr -s ' \n' ' ')
    if [ "$status" -ne 255 ]; then
        fail "$program.exe without arguments exited $status, not 255"
    elif [[ "$usage" != " \\r \\n V a n t o r e l"* ]]; then
        fail "$program.exe's usage does not start with CR LF: $usage"
    else
        pass
    fi
done

finish
