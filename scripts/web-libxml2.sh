#!/usr/bin/env bash
# Builds libxml2 for WebAssembly (Emscripten) as a static library, from
# Debian's own source package with Debian's patches applied, so that the page
# parses and validates XML with the same fixes as the Linux build. Installs
# it into build/web-deps/libxml2 (a CMake package: LibXml2::LibXml2) and
# prints nothing more when that is already complete:
#
#   bash scripts/web-libxml2.sh
#
# The version is the one of the installed libxml2-dev (the one the Linux
# build uses), or the newest the archive has when that one is gone. Only the
# parts the converter and its check use are built (parser, tree, schemas and
# what they need), without threads, which the page does not have.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
toolchain=$root/cmake/emscripten.cmake
checks=$root/cmake/emscripten-libxml2-checks.cmake
prefix=$root/build/web-deps/libxml2
work=$root/build/web-deps/libxml2.work
stamp=$prefix/.complete
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}  # Emscripten's tools need it with Debian's Node.js

# The stamp names what the cache was built from; it is written last, so an
# interrupted run leaves no stamp and the next run starts again.
wanted=$(dpkg-query -W -f='${source:Version}' libxml2-dev 2>/dev/null || true)
emscripten=$(dpkg-query -W -f='${Version}' emscripten 2>/dev/null || true)
recipe="libxml2 ${wanted:-newest} emscripten ${emscripten:-unknown}"
recipe+=" $(cat "$0" "$toolchain" "$checks" | sha256sum | cut -c1-16)"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$recipe" ]; then
  exit 0
fi
if ! command -v emcc >/dev/null; then
  echo "web-libxml2.sh: emcc is missing (bash scripts/setup.sh installs emscripten)" >&2
  exit 1
fi

echo "== libxml2 for WebAssembly: building into ${prefix#"$root"/}"
rm -rf "$work" "$prefix"
bash scripts/debian-source.sh libxml2 "$wanted" "$work"
log=$work/log
fail() {
  echo "web-libxml2.sh: $1 failed; the last lines of $log:" >&2
  tail -n 40 "$log" >&2
  exit 1
}

start=$SECONDS
off=()
for feature in C14N CATALOG DEBUG DOCB FTP HTML HTTP ICONV LEGACY LZMA MODULES PROGRAMS PYTHON \
               READER SCHEMATRON TESTS THREADS WRITER XINCLUDE XPTR ZLIB; do
  off+=("-DLIBXML2_WITH_$feature=OFF")
done
cmake -C "$checks" -S "$work/src/libxml2" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
  "${off[@]}" >>"$log" 2>&1 || fail "configuring"
nice -n 10 cmake --build "$work/build" -j 2 >>"$log" 2>&1 || fail "building"
cmake --install "$work/build" >>"$log" 2>&1 || fail "installing"
echo "   built and installed in $((SECONDS - start)) s"

echo "$recipe" >"$stamp"
rm -rf "$work"
