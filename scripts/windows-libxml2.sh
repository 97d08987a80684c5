#!/usr/bin/env bash
# Builds libxml2 for 64-bit Windows as a static library, from Debian's own
# source package with Debian's patches applied, so that the Windows build
# parses XML with the same fixes as the Linux one. Installs it into
# build/windows-deps/libxml2 (a CMake package: LibXml2::LibXml2) and prints
# nothing more when that is already complete:
#
#   bash scripts/windows-libxml2.sh
#
# The source comes through scripts/debian-source.sh, which asks only the
# archives the machine already uses and leaves its apt state untouched.
# The version is the one of the installed libxml2-dev (the one the Linux build
# uses), or the newest the archive has when that one is gone.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
toolchain=$root/cmake/mingw-w64-x86_64.cmake
prefix=$root/build/windows-deps/libxml2
work=$root/build/windows-deps/libxml2.work
stamp=$prefix/.complete

# The stamp names what the cache was built from; it is written last, so an
# interrupted run leaves no stamp and the next run starts again.
wanted=$(dpkg-query -W -f='${source:Version}' libxml2-dev 2>/dev/null || true)
recipe="libxml2 ${wanted:-newest} $(cat "$0" "$toolchain" | sha256sum | cut -c1-16)"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$recipe" ]; then
  exit 0
fi

for tool in x86_64-w64-mingw32-gcc-posix; do
  if ! command -v "$tool" >/dev/null; then
    echo "windows-libxml2.sh: $tool is missing (bash scripts/setup.sh installs it)" >&2
    exit 1
  fi
done

echo "== libxml2 for Windows: building into ${prefix#"$root"/}"
rm -rf "$work" "$prefix"
bash scripts/debian-source.sh libxml2 "$wanted" "$work"
log=$work/log
fail() {
  echo "windows-libxml2.sh: $1 failed; the last lines of $log:" >&2
  tail -n 40 "$log" >&2
  exit 1
}

start=$SECONDS
cmake -S "$work/src/libxml2" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
  -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_ZLIB=OFF -DLIBXML2_WITH_LZMA=OFF \
  -DLIBXML2_WITH_PYTHON=OFF -DLIBXML2_WITH_HTTP=OFF -DLIBXML2_WITH_FTP=OFF \
  -DLIBXML2_WITH_PROGRAMS=OFF -DLIBXML2_WITH_TESTS=OFF >>"$log" 2>&1 || fail "configuring"
nice -n 10 cmake --build "$work/build" -j 2 >>"$log" 2>&1 || fail "building"
cmake --install "$work/build" >>"$log" 2>&1 || fail "installing"
echo "   built and installed in $((SECONDS - start)) s"

echo "$recipe" >"$stamp"
rm -rf "$work"
