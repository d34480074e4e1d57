#!/usr/bin/env bash
# Builds Vexa.so and vexa, lays the module out with the sample configuration
# in conf/ (Vexa.ini, stop words, tokens) and shows, piece by piece,
# what the module makes of English and Russian text through its exports,
# the way the database server calls them.
#   bash tools/demo.sh ["some text to split"]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-demo"

bash "$root/tools/install_packages.sh" cmake ninja-build g++ >/dev/null

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target Vexa vexa >/dev/null

module_dir=$(mktemp -d)
trap 'rm -rf "$module_dir"' EXIT
cp "$build/Vexa.so" "$root"/conf/Vexa.ini "$root"/conf/Vexa_*.lst "$module_dir/"
# The texts are typed in UTF-8 and shown in UTF-8; the module gets Windows-1251.
vexa() { "$build/tools/vexa/vexa" "$1" --utf8 "$module_dir" "${@:2}"; }

english=${1:-"The R&D team ships TCP/IP and C++ code: the parser drops stop words and short words."}
russian="Съешь же ещё этих мягких французских булок, да выпей чаю — и не забудь про TCP/IP."

echo "== document parser"
vexa explain "$english"
echo
echo "== query parser (keeps stop words and short words)"
vexa explain --query "$english"
echo
echo "== document parser, Russian"
vexa explain "$russian"
echo
echo "== phonetic codes"
words=(Robert Rupert Ashcraft Иванов Гоголь)
paste <(printf '%s\n' "${words[@]}") <(vexa soundex "${words[@]}")
