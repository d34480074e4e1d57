#!/usr/bin/env bash
# Builds Vexa and runs every test. Installs what it needs with apt-get when it
# runs as root on Debian; elsewhere the packages below must be there.
#   bash tools/test.sh            build in build-test/ and run all tests
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-test"

packages=(cmake ninja-build g++ libgtest-dev libgmock-dev valgrind binutils zlib1g-dev)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
