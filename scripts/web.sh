#!/usr/bin/env bash
# Builds the web page into build/web/ (index.html, dravonix-web.js,
# dravonix-web.wasm) and its release zip, build/web-core/dravonix-web-VERSION.zip
# (the page's files and README-web.txt in one folder):
#
#   bash scripts/web.sh
#   python3 -m http.server -d build/web 8000     # then open http://localhost:8000/
#
# The core is compiled to WebAssembly with Debian's Emscripten in
# build/web-core (cmake/emscripten.cmake), against libxml2 and zlib built for
# it once into build/web-deps (scripts/web-libxml2.sh, scripts/zlib-static.sh). Only the page's module is
# built: no tests, tools or benchmarks.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh >/dev/null
# With Debian's Node.js, Emscripten's tools find their modules only so.
export NODE_PATH=/usr/share/nodejs

bash scripts/web-libxml2.sh
bash scripts/zlib-static.sh web
dir=build/web-core
echo "== web build"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/emscripten.cmake \
  -DCMAKE_FIND_ROOT_PATH="$PWD/build/web-deps/libxml2;$PWD/build/web-deps/zlib" \
  -DDRAVONIX_UCHARDET=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)" --target dravonix-web
rm -rf build/web
cmake --install "$dir" --prefix build/web --component page >/dev/null
rm -f "$dir"/dravonix-web-*.zip
(cd "$dir" && cpack >/dev/null)
echo "   build/web/ and $dir/$(cd "$dir" && ls dravonix-web-*.zip)"
