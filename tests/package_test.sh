#!/usr/bin/env bash
# Builds the Debian packages of a build with CPack and checks them:
#  - dravonix depends on the libxml2 run-time library (found by
#    dpkg-shlibdeps) and dravonix-dev on libxml2-dev;
#  - unpacked with dpkg -x into a temporary root, the packaged commands
#    convert the packaged examples into files that validate against the
#    packaged schema, and the manual pages are there.
# Needs dpkg-dev (dpkg-shlibdeps) and file, which CPack calls.
# Usage: tests/package_test.sh BUILD_DIR
set -u

if [ $# -ne 1 ]; then
    echo "usage: $0 BUILD_DIR" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
passed=0
failed=0

pass() { passed=$((passed + 1)); }
fail() {
    failed=$((failed + 1))
    echo "FAIL: $*"
}
finish() {
    echo "package: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
    exit
}

workdir=$(mktemp -d)
trap 'rm -rf "$workdir"' EXIT

if ! log=$(cpack --config "$build/CPackConfig.cmake" -G DEB -B "$workdir/out" 2>&1); then
    fail "cpack failed:"
    echo "$log"
    finish
fi
tools=("$workdir"/out/dravonix_*.deb)
dev=("$workdir"/out/dravonix-dev_*.deb)
if [ ! -f "${tools[0]}" ] || [ ! -f "${dev[0]}" ]; then
    fail "cpack made $(ls "$workdir/out"), not dravonix_*.deb and dravonix-dev_*.deb"
    finish
fi
pass

depends=$(dpkg-deb -f "${tools[0]}" Depends)
for package in libxml2 libc6 libstdc++6; do
    if [[ ", $depends" == *", $package ("* ]]; then
        pass
    else
        fail "dravonix does not depend on $package: Depends: $depends"
    fi
done
if [[ "$(dpkg-deb -f "${dev[0]}" Depends)" == *libxml2-dev* ]]; then
    pass
else
    fail "dravonix-dev does not depend on libxml2-dev"
fi

root=$workdir/root
dpkg -x "${tools[0]}" "$root"
for file in usr/share/man/man1/dravonix.1 usr/share/man/man1/dravonix-resave.1 \
    usr/share/man/man1/dravonix-check.1 usr/bin/dravonix-check usr/share/man/man1/dravonix-render.1 \
    usr/bin/dravonix-render usr/share/man/man1/dravonix-batch.1 usr/bin/dravonix-batch; do
    if [ -f "$root/$file" ]; then pass; else fail "the package lacks /$file"; fi
done
if dpkg-deb -c "${tools[0]}" | grep -q '\.a$\|\.h$'; then
    fail "the dravonix package holds development files"
else
    pass
fi

schema=$root/usr/share/dravonix/keyboard.xsd
for input in "$root"/usr/share/dravonix/examples/*.kbd; do
    output=$workdir/$(basename "${input%.kbd}").xml
    if ! "$root/usr/bin/dravonix" "$input" "$output"; then
        fail "the packaged dravonix failed on $(basename "$input")"
    elif ! xmllint --noout --schema "$schema" "$output" 2>/dev/null; then
        fail "the packaged converter's output for $(basename "$input") does not validate"
    elif ! "$root/usr/bin/dravonix-resave" "$output" "$output.resaved" ||
        ! cmp -s "$output" "$output.resaved"; then
        fail "the packaged dravonix-resave does not give back $(basename "$output")"
    else
        pass
    fi
done
# Without arguments the converter prints its usage and exits with 255.
"$root/usr/bin/dravonix" >/dev/null
status=$?
if [ "$status" -eq 255 ]; then pass; else fail "dravonix without arguments exited $status"; fi

finish
