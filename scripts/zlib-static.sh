#!/usr/bin/env bash
# Builds zlib (the PNG encoder's compression, render/png_encode.cpp) as a
# static library for 64-bit Windows or for WebAssembly, from Debian's own
# source package with Debian's patches applied, as scripts/windows-libxml2.sh
# does for libxml2. Installs include/zlib.h, include/zconf.h and lib/libz.a
# into build/windows-deps/zlib or build/web-deps/zlib, and prints nothing
# more when that is already complete:
#
#   bash scripts/zlib-static.sh windows|web
#
# The version is the one of the installed zlib1g-dev (the one the Linux build
# uses), or the newest the archive has when that one is gone. Only the parts
# that compress and check are built; zlib's own build, which makes a DLL as
# well, is not needed for that.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
case "${1:-}" in
  windows)
    cc=x86_64-w64-mingw32-gcc-posix
    ar=x86_64-w64-mingw32-ar
    prefix=$root/build/windows-deps/zlib
    ;;
  web)
    export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}  # Emscripten's tools need it with Debian's Node.js
    cc=emcc
    ar=emar
    prefix=$root/build/web-deps/zlib
    ;;
  *)
    echo "usage: scripts/zlib-static.sh windows|web" >&2
    exit 2
    ;;
esac
work=$prefix.work
stamp=$prefix/.complete

# The stamp names what the cache was built from; it is written last, so an
# interrupted run leaves no stamp and the next run starts again.
wanted=$(dpkg-query -W -f='${source:Version}' zlib1g-dev 2>/dev/null || true)
compiler=$("$cc" --version 2>/dev/null | head -n 1 || true)
recipe="zlib ${wanted:-newest} $1 ${compiler:-unknown} $(sha256sum <"$0" | cut -c1-16)"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$recipe" ]; then
  exit 0
fi
if ! command -v "$cc" >/dev/null; then
  echo "zlib-static.sh: $cc is missing (bash scripts/setup.sh installs it)" >&2
  exit 1
fi

echo "== zlib for $1: building into ${prefix#"$root"/}"
rm -rf "$work" "$prefix"
bash scripts/debian-source.sh zlib "$wanted" "$work"
log=$work/log
start=$SECONDS
mkdir -p "$work/objects" "$prefix/include" "$prefix/lib"
for part in adler32 compress crc32 deflate inffast inflate inftrees trees uncompr zutil; do
  if ! "$cc" -O2 -I "$work/src/zlib" -c "$work/src/zlib/$part.c" -o "$work/objects/$part.o" \
      >>"$log" 2>&1; then
    echo "zlib-static.sh: compiling $part.c failed; the last lines of $log:" >&2
    tail -n 40 "$log" >&2
    exit 1
  fi
done
"$ar" rcs "$prefix/lib/libz.a" "$work"/objects/*.o
cp "$work/src/zlib/zlib.h" "$work/src/zlib/zconf.h" "$prefix/include/"
echo "   built and installed in $((SECONDS - start)) s"

echo "$recipe" >"$stamp"
rm -rf "$work"
