#!/usr/bin/env bash
# Builds GoogleTest for 64-bit Windows from the sources that Debian's
# googletest package keeps in /usr/src/googletest (libgtest-dev has Linux
# libraries only). Installs it into build/windows-deps/googletest (a CMake
# package: GTest::gtest, GTest::gtest_main) and prints nothing more when that
# is already complete:
#
#   bash scripts/windows-googletest.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
toolchain=$root/cmake/mingw-w64-x86_64.cmake
source_dir=/usr/src/googletest
prefix=$root/build/windows-deps/googletest
work=$root/build/windows-deps/googletest.work
stamp=$prefix/.complete

# The stamp is written last: an interrupted run leaves none.
version=$(dpkg-query -W -f='${Version}' googletest 2>/dev/null || true)
recipe="googletest ${version:-unknown} $(cat "$0" "$toolchain" | sha256sum | cut -c1-16)"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$recipe" ]; then
  exit 0
fi
if [ ! -f "$source_dir/CMakeLists.txt" ]; then
  echo "windows-googletest.sh: $source_dir is missing (bash scripts/setup.sh installs it)" >&2
  exit 1
fi

echo "== GoogleTest for Windows: building into ${prefix#"$root"/}"
rm -rf "$work" "$prefix"
mkdir -p "$work"
log=$work/log
start=$SECONDS
if ! { cmake -S "$source_dir" -B "$work" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
         -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF \
         -DINSTALL_GTEST=ON &&
       nice -n 10 cmake --build "$work" -j 2 &&
       cmake --install "$work"; } >"$log" 2>&1; then
  echo "windows-googletest.sh: the build failed; the last lines of $log:" >&2
  tail -n 40 "$log" >&2
  exit 1
fi
echo "   built and installed in $((SECONDS - start)) s"

echo "$recipe" >"$stamp"
rm -rf "$work"
