#!/usr/bin/env bash
# Checks that the Debian packages the build needs are installed, and installs
# the missing ones when run as root. Sourced or run by the other scripts.
set -euo pipefail

packages=(cmake ninja-build g++ libxml2-dev libxml2-utils libgtest-dev libbenchmark-dev
          libuchardet-dev  # the code page guess of legacy keyboards
          zlib1g-dev       # bitmaps embedded in pictures as PNG
          clang libclang-rt-14-dev clang-format
          lld  # the quick start of the converter and the picture (cmake/lean_start.cmake)
          groff-base dpkg-dev file  # manual page check; .deb dependency scan by CPack
          groff                     # the manual pages as HTML for the Windows zip (groff -Thtml)
          librsvg2-bin python3      # pictures of dravonix-render as PNG, read back by the tests
          fonts-droid-fallback      # the Japanese example's letters in its picture
          chromium fonts-dejavu-core  # the batch index page, opened in a real browser
          # The web page: the core compiled to WebAssembly, and the page driven
          # in headless Chromium by its test.
          emscripten chromium-driver python3-selenium
          # Windows build: MinGW-w64 cross compilers (posix threads) and Wine
          # to run its tests; googletest holds the sources it is built from.
          g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine wine64 googletest)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  else
    echo "Missing packages: ${missing[*]}" >&2
    echo "Install them with: sudo apt-get install ${missing[*]}" >&2
    exit 1
  fi
fi
