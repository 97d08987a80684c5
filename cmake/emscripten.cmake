# Building for WebAssembly with Debian's Emscripten, for the web page:
#
#   NODE_PATH=/usr/share/nodejs cmake -S . -B build/web-core -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/emscripten.cmake \
#         -DCMAKE_FIND_ROOT_PATH=<prefix of libxml2>
#
# (scripts/web.sh does this.) Emscripten's own CMake platform file does the
# work; this file only finds it and keeps library and package searches below
# Emscripten's sysroot and the prefixes given in CMAKE_FIND_ROOT_PATH (see
# scripts/web-libxml2.sh), never among the build machine's own. With
# Debian's Node.js, Emscripten's tools find their JavaScript modules only
# through NODE_PATH=/usr/share/nodejs, which the caller sets.
#
set(DRAVONIX_EMSCRIPTEN_ROOT /usr/share/emscripten CACHE PATH "Emscripten's installation")
include(${DRAVONIX_EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake)

set(CMAKE_FIND_PACKAGE_PREFER_CONFIG ON)
set(CMAKE_DISABLE_FIND_PACKAGE_PkgConfig ON)
