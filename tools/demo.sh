#!/usr/bin/env bash
# Builds Vexa.so, lays it out with the sample configuration in conf/
# (Vexa.ini, stop words, tokens) and splits English and Russian text through
# the module's exports, the way the database server calls them.
#   bash tools/demo.sh ["some text to split"]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-demo"

bash "$root/tools/install_packages.sh" cmake ninja-build g++ >/dev/null

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target Vexa vexa_call >/dev/null

module_dir=$(mktemp -d)
trap 'rm -rf "$module_dir"' EXIT
cp "$build/Vexa.so" "$root"/conf/Vexa.ini "$root"/conf/Vexa_*.lst "$module_dir/"
call() { "$build/tools/vexa_call" "$module_dir/Vexa.so" "$@"; }
from1251() { iconv -f WINDOWS-1251 -t UTF-8; }
to1251() { printf '%s' "$1" | iconv -f UTF-8 -t WINDOWS-1251; }

english=${1:-"The R&D team ships TCP/IP and C++ code: the parser drops stop words and short words."}
russian="Съешь же ещё этих мягких французских булок, да выпей чаю — и не забудь про TCP/IP."

echo "== module and configuration in $module_dir"
ls "$module_dir"
echo
echo "== document parser: $english"
call split "$english"
echo
echo "== query parser (keeps stop words and short words): $english"
call split --query "$english"
echo
echo "== document parser, Windows-1251: $russian"
call split "$(to1251 "$russian")" | from1251
echo
echo "== phonetic codes"
for word in Robert Rupert Ashcraft Иванов Гоголь; do
  printf '%-10s %s\n' "$word" "$(call soundex "$(to1251 "$word")")"
done
