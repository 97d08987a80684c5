#!/usr/bin/env bash
# Installs a build into a temporary prefix and uses it as a user would:
#  - the files are where the install layout puts them;
#  - the installed commands convert the installed examples, and the results
#    (and their resaves) validate against the installed schema;
#  - examples/consumer, configured against the prefix with find_package,
#    builds, runs, and writes the same file as the installed converter.
# Usage: tests/install_test.sh BUILD_DIR [C++ compiler for the consumer]
set -u
cd "$(dirname "$0")/.."

if [ $# -lt 1 ]; then
    echo "usage: $0 BUILD_DIR [CXX]" >&2
    exit 2
fi
build=$1
compiler=${2:-}
passed=0
failed=0

pass() { passed=$((passed + 1)); }
fail() {
    failed=$((failed + 1))
    echo "FAIL: $*"
}
finish() {
    echo "install: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
    exit
}

workdir=$(mktemp -d)
trap 'rm -rf "$workdir"' EXIT
prefix=$workdir/prefix

if ! log=$(cmake --install "$build" --prefix "$prefix" 2>&1); then
    fail "cmake --install failed:"
    echo "$log"
    finish
fi

for file in bin/dravonix bin/dravonix-resave bin/dravonix-check bin/dravonix-render \
    bin/dravonix-batch share/man/man1/dravonix.1 share/man/man1/dravonix-resave.1 \
    share/man/man1/dravonix-check.1 share/man/man1/dravonix-render.1 share/man/man1/dravonix-batch.1 \
    share/dravonix/keyboard.xsd \
    share/dravonix/examples/compact_pad.kbd share/dravonix/examples/consumer/CMakeLists.txt \
    include/dravonix/kbd/kbd_reader.h include/dravonix/model/key_definition.h; do
    if [ -f "$prefix/$file" ]; then pass; else fail "$file is not installed"; fi
done
# The installed pages name the schema and examples where this install put them.
for page in dravonix.1 dravonix-resave.1 dravonix-batch.1; do
    text=$(cat "$prefix/share/man/man1/$page" 2>/dev/null)
    if [[ "$text" == *"/usr/share/dravonix"* ]] || [[ "$text" != *"$prefix/share/dravonix"* ]]; then
        fail "$page does not name the install prefix $prefix"
    else
        pass
    fi
done
libs=("$prefix"/lib*/libdravonix_core.a)
configs=("$prefix"/lib*/cmake/dravonix/dravonix-config.cmake)
[ -f "${libs[0]}" ] && pass || fail "libdravonix_core.a is not installed"
[ -f "${configs[0]}" ] && pass || fail "dravonix-config.cmake is not installed"
if find "$prefix/include" -name '*test*' | grep -q .; then
    fail "test helpers were installed: $(find "$prefix/include" -name '*test*')"
else
    pass
fi

schema=$prefix/share/dravonix/keyboard.xsd
examples=("$prefix"/share/dravonix/examples/*.kbd)
for input in "${examples[@]}"; do
    name=$(basename "${input%.kbd}")
    output=$workdir/$name.xml
    if ! "$prefix/bin/dravonix" "$input" "$output" ||
        ! "$prefix/bin/dravonix-resave" "$output" "$workdir/$name.resaved.xml"; then
        fail "the installed commands failed on $name.kbd"
    elif ! xmllint --noout --schema "$schema" "$output" "$workdir/$name.resaved.xml" 2>&1 |
        grep -v ' validates$'; then
        pass
    else
        fail "the output for $name.kbd does not validate"
    fi
done

# The consumer: a separate CMake project that finds the package in the prefix.
consumer=$workdir/consumer
flags=(-DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release)
[ -n "$compiler" ] && flags+=(-DCMAKE_CXX_COMPILER="$compiler")
command -v ninja >/dev/null && flags+=(-G Ninja)
if ! log=$(cmake -S "$prefix/share/dravonix/examples/consumer" -B "$consumer" "${flags[@]}" 2>&1 &&
    cmake --build "$consumer" 2>&1); then
    fail "the consumer example does not build against the installed package:"
    echo "$log"
    finish
fi
pass
input=${examples[0]}
expected=$workdir/$(basename "${input%.kbd}").xml
if ! summary=$("$consumer/kbd2xml" "$input" "$workdir/consumer.xml"); then
    fail "the consumer failed on $input"
elif ! cmp -s "$workdir/consumer.xml" "$expected"; then
    fail "the consumer's output differs from the converter's"
elif [[ "$summary" != *'panel(s)'* ]]; then
    fail "the consumer printed '$summary'"
else
    pass
fi

finish
