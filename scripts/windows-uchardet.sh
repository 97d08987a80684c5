#!/usr/bin/env bash
# Builds uchardet (the character-set detector behind the code page guess) for
# 64-bit Windows as a static library, from Debian's own source package with
# Debian's patches applied, as scripts/windows-libxml2.sh does for libxml2.
# Installs it into build/windows-deps/uchardet (include/uchardet/uchardet.h,
# lib/libuchardet.a) and prints nothing more when that is already complete:
#
#   bash scripts/windows-uchardet.sh
#
# The version is the one of the installed libuchardet-dev (the one the Linux
# build uses), or the newest the archive has when that one is gone.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
toolchain=$root/cmake/mingw-w64-x86_64.cmake
prefix=$root/build/windows-deps/uchardet
work=$root/build/windows-deps/uchardet.work
stamp=$prefix/.complete

# The stamp is written last: an interrupted run leaves none.
wanted=$(dpkg-query -W -f='${source:Version}' libuchardet-dev 2>/dev/null || true)
recipe="uchardet ${wanted:-newest} $(cat "$0" "$toolchain" | sha256sum | cut -c1-16)"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$recipe" ]; then
  exit 0
fi
for tool in x86_64-w64-mingw32-g++-posix; do
  if ! command -v "$tool" >/dev/null; then
    echo "windows-uchardet.sh: $tool is missing (bash scripts/setup.sh installs it)" >&2
    exit 1
  fi
done

echo "== uchardet for Windows: building into ${prefix#"$root"/}"
rm -rf "$work" "$prefix"
bash scripts/debian-source.sh uchardet "$wanted" "$work"
log=$work/log
fail() {
  echo "windows-uchardet.sh: $1 failed; the last lines of $log:" >&2
  tail -n 40 "$log" >&2
  exit 1
}

start=$SECONDS
# uchardet's CMakeLists.txt asks for an old CMake, whose policies would
# refuse the toolchain file's IN_LIST.
cmake -S "$work/src/uchardet" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
  -DBUILD_STATIC=ON -DBUILD_BINARY=OFF -DCMAKE_POLICY_DEFAULT_CMP0057=NEW \
  -Wno-dev >>"$log" 2>&1 || fail "configuring"
nice -n 10 cmake --build "$work/build" -j 2 >>"$log" 2>&1 || fail "building"
cmake --install "$work/build" >>"$log" 2>&1 || fail "installing"
echo "   built and installed in $((SECONDS - start)) s"

echo "$recipe" >"$stamp"
rm -rf "$work"
