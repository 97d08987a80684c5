#!/usr/bin/env bash
# Checks that the pictures of the example keyboards in docs/ are current:
# each examples/NAME.kbd, and each examples/code_pages/NAME_CP.kbd in its
# code page CP, is drawn with dravonix-render, turned into PNG with
# rsvg-convert, and compared byte for byte with docs/NAME.png (NAME_CP.png),
# which the README must show. With --update the pictures are written instead.
# Needs rsvg-convert (librsvg2-bin) and, for the Japanese keyboard's letters,
# a font with them (fonts-droid-fallback).
# Usage: tests/render_docs_test.sh path/to/dravonix-render [--update]
set -u
cd "$(dirname "$0")/.."
render=$1
update=${2:-}
passed=0
failed=0
pass() { passed=$((passed + 1)); }
fail() {
    failed=$((failed + 1))
    echo "FAIL: $*"
}
if ! command -v rsvg-convert >/dev/null; then
    echo "FAIL: rsvg-convert is not installed (librsvg2-bin)"
    exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

shopt -s nullglob
examples=(examples/*.kbd examples/code_pages/*.kbd)
[ ${#examples[@]} -gt 0 ] || fail "no examples/*.kbd found"
for input in "${examples[@]}"; do
    name=$(basename "${input%.kbd}")
    picture=docs/$name.png
    code_page=()
    case $input in examples/code_pages/*) code_page=(--code-page="${name##*_}") ;; esac
    if ! "$render" "${code_page[@]}" "$input" "$work/$name.svg" >"$work/out" 2>&1 ||
        ! rsvg-convert "$work/$name.svg" -o "$work/$name.png"; then
        fail "$input cannot be drawn: $(cat "$work/out")"
        continue
    fi
    if [ "$update" = --update ]; then
        mkdir -p docs
        cp "$work/$name.png" "$picture"
        echo "wrote $picture"
    elif ! cmp -s "$work/$name.png" "$picture"; then
        fail "$picture is missing or stale; run: bash tests/render_docs_test.sh $render --update"
    else
        pass
    fi
    if grep -q "($picture)" README.md; then pass; else fail "README.md does not show $picture"; fi
done

echo "render docs: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
