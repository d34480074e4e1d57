#!/usr/bin/env bash
# Builds what a user deploys, into dist/:
#   vexa_VERSION_ARCH.deb          the Debian package (cpack), for this machine's
#                                  architecture: the module, its configuration,
#                                  the SQL, the tools and the docs;
#   vexa-VERSION-windows.zip       Vexa.dll for 64-bit and for 32-bit servers,
#                                  each in a UDF\ folder with its configuration,
#                                  the SQL, and DEPLOY.txt.
#   bash tools/package.sh [deb|windows|all]     (default all)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
what=${1:-all}
dist="$root/dist"
jobs=2  # the machines have two cores, shared
mkdir -p "$dist"

build_debian_package() {
  # firebird-dev and libboost-dev: the UDR module is built and packaged too.
  bash "$root/tools/install_packages.sh" cmake ninja-build g++ dpkg-dev file firebird-dev libboost-dev
  local build="$root/build-package"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXA_WARNINGS_AS_ERRORS=ON \
    -DVEXA_BUILD_TOOLS=ON -DVEXA_BUILD_TESTS=OFF >/dev/null
  nice cmake --build "$build" -j "$jobs"
  (cd "$build" && cpack -G DEB >/dev/null)
  cp "$build"/vexa_*.deb "$dist/"
  ls "$build"/vexa_*.deb | sed "s|.*/|$dist/|"
}

build_windows_zip() {
  bash "$root/tools/install_packages.sh" cmake ninja-build g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix zip
  local version
  version=$(sed -n 's/^project(Vexa VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
  local stage="$root/build-package-windows/vexa-$version-windows"
  rm -rf "$stage"
  local arch folder
  for arch in x86_64 i686; do
    folder=$([ "$arch" = x86_64 ] && echo win64 || echo win32)
    local build="$root/build-package-win-$arch"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXA_WARNINGS_AS_ERRORS=ON \
      -DVEXA_BUILD_TESTS=OFF -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-w64-$arch.cmake" >/dev/null
    nice cmake --build "$build" -j "$jobs" --target Vexa
    cmake --install "$build" --component module --prefix "$stage/$folder" >/dev/null
  done
  # One copy of what does not depend on the bitness; the sample copies of
  # the configuration are already in each UDF folder.
  cmake --install "$root/build-package-win-x86_64" --component sql --prefix "$stage" >/dev/null
  rm -rf "$stage"/win64/share "$stage"/win32/share "$stage/share/vexa/conf"
  mv "$stage/share/vexa/sql" "$stage/sql"
  rm -rf "$stage/share"
  sed 's/$/\r/' "$root/cmake/windows/DEPLOY.txt" >"$stage/DEPLOY.txt"
  cp "$root/README.md" "$stage/README.md"
  local zip_file="$dist/vexa-$version-windows.zip"
  rm -f "$zip_file"
  (cd "$(dirname "$stage")" && zip -qr "$zip_file" "$(basename "$stage")")
  echo "$zip_file"
}

case "$what" in
  deb) build_debian_package ;;
  windows) build_windows_zip ;;
  all) build_debian_package; build_windows_zip ;;
  *) echo "usage: package.sh [deb|windows|all]" >&2; exit 2 ;;
esac
