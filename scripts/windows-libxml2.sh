#!/usr/bin/env bash
# Builds libxml2 for 64-bit Windows as a static library, from Debian's own
# source package with Debian's patches applied, so that the Windows build
# parses XML with the same fixes as the Linux one. Installs it into
# build/windows-deps/libxml2 (a CMake package: LibXml2::LibXml2) and prints
# nothing more when that is already complete:
#
#   bash scripts/windows-libxml2.sh
#
# The source comes through a private apt configuration whose deb-src entries
# are derived from the machine's own apt sources, so only the archives the
# machine already uses are asked, and the machine's apt state is not touched.
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

for tool in apt-get dpkg-source x86_64-w64-mingw32-gcc-posix; do
  if ! command -v "$tool" >/dev/null; then
    echo "windows-libxml2.sh: $tool is missing (bash scripts/setup.sh installs it)" >&2
    exit 1
  fi
done

echo "== libxml2 for Windows: building into ${prefix#"$root"/}"
rm -rf "$work" "$prefix"
mkdir -p "$work/apt/sources.list.d" "$work/apt/state/lists/partial" \
  "$work/apt/cache/archives/partial" "$work/src"
log=$work/log
fail() {
  echo "windows-libxml2.sh: $1 failed; the last lines of $log:" >&2
  tail -n 40 "$log" >&2
  exit 1
}

# Source entries of every archive the machine installs from. One-line lists:
# "deb [options] URI SUITE..." becomes "deb-src ...". deb822 files: the Types
# field becomes deb-src; everything else (URIs, suites, keys) stays.
for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -f "$list" ] || continue
  sed -nE 's/^[[:space:]]*deb([[:space:]])/deb-src\1/p' "$list"
done >"$work/apt/sources.list"
n=0
for sources in /etc/apt/sources.list.d/*.sources; do
  [ -f "$sources" ] || continue
  n=$((n + 1))
  sed -E 's/^Types:.*/Types: deb-src/I' "$sources" >"$work/apt/sources.list.d/$n.sources"
done
apt_options=(-o "Dir::Etc::SourceList=$work/apt/sources.list"
             -o "Dir::Etc::SourceParts=$work/apt/sources.list.d"
             -o "Dir::State=$work/apt/state" -o "Dir::State::status=/var/lib/dpkg/status"
             -o "Dir::Cache=$work/apt/cache" -o "APT::Sandbox::User=root" -q)

start=$SECONDS
# An archive without sources only warns; a missing libxml2 fails below.
apt-get "${apt_options[@]}" update >>"$log" 2>&1 || echo "(apt-get update reported errors)" >>"$log"
(
  cd "$work/src"
  if [ -z "$wanted" ] || ! apt-get "${apt_options[@]}" source --download-only "libxml2=$wanted" \
      >>"$log" 2>&1; then
    apt-get "${apt_options[@]}" source --download-only libxml2 >>"$log" 2>&1
  fi
) || fail "fetching the source package"
dsc=$(ls "$work"/src/libxml2_*.dsc)
dpkg-source -x "$dsc" "$work/src/libxml2" >>"$log" 2>&1 || fail "unpacking $(basename "$dsc")"
echo "   source $(basename "$dsc" .dsc) fetched and unpacked in $((SECONDS - start)) s"

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
