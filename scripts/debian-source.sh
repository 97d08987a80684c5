#!/usr/bin/env bash
# Fetches a Debian source package and unpacks it with Debian's patches
# applied, through a private apt configuration whose deb-src entries are
# derived from the machine's own apt sources: only the archives the machine
# already uses are asked, and the machine's apt state is not touched.
#
#   bash scripts/debian-source.sh PACKAGE VERSION WORK_DIR
#
# VERSION is the one wanted ("" for the newest the archive has; when the
# archive no longer has it, the newest is taken). The unpacked tree ends up
# in WORK_DIR/src/PACKAGE; the apt state and the log (WORK_DIR/log) stay in
# WORK_DIR. Prints one line with what was unpacked and how long it took.
set -euo pipefail
package=$1
wanted=$2
mkdir -p "$3"
work=$(cd "$3" && pwd)  # apt takes absolute paths only

for tool in apt-get dpkg-source; do
  if ! command -v "$tool" >/dev/null; then
    echo "debian-source.sh: $tool is missing (bash scripts/setup.sh installs it)" >&2
    exit 1
  fi
done

mkdir -p "$work/apt/sources.list.d" "$work/apt/state/lists/partial" \
  "$work/apt/cache/archives/partial" "$work/src"
log=$work/log
fail() {
  echo "debian-source.sh: $1 failed; the last lines of $log:" >&2
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
# An archive without sources only warns; a missing package fails below.
apt-get "${apt_options[@]}" update >>"$log" 2>&1 || echo "(apt-get update reported errors)" >>"$log"
(
  cd "$work/src"
  if [ -z "$wanted" ] || ! apt-get "${apt_options[@]}" source --download-only "$package=$wanted" \
      >>"$log" 2>&1; then
    apt-get "${apt_options[@]}" source --download-only "$package" >>"$log" 2>&1
  fi
) || fail "fetching the source package $package"
dsc=$(ls "$work/src/${package}_"*.dsc)
dpkg-source -x "$dsc" "$work/src/$package" >>"$log" 2>&1 || fail "unpacking $(basename "$dsc")"
echo "   source $(basename "$dsc" .dsc) fetched and unpacked in $((SECONDS - start)) s"
