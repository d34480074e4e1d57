#!/usr/bin/env bash
# Writes the UTF-8 corpora of the Unicode benchmark into DIR from Debian's
# packages, each text repeated until its file holds at least 4 MiB:
#   english.txt   the King James Bible (bible-kjv)
#   german.txt    the German fortunes (fortunes-de)
#   russian.txt   the Russian fortunes (fortunes-ru)
#   japanese.txt  the Japanese manual pages (manpages-ja), roff requests left out
#
#   fetch_unicode_corpus.sh DIR
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: $0 DIR" >&2; exit 2; }
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out_dir=$1
min_bytes=$((4 * 1024 * 1024))
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "fetch_unicode_corpus.sh: $*" >&2; exit 1; }

repeat_to_min_size() {
  local source=$1 target=$2
  [ "$(stat -c %s "$source")" -gt 100000 ] || fail "$source holds under 100 kB"
  : > "$target"
  while [ "$(stat -c %s "$target")" -lt "$min_bytes" ]; do cat "$source" >> "$target"; done
}

fortunes() {
  find "/usr/share/games/fortunes/$1" -maxdepth 1 -type f ! -name '*.dat' | sort | xargs cat | grep -v -E $'^%\r?$'
}

bash "$here/../../tools/install_packages.sh" bible-kjv bible-kjv-text fortunes-de fortunes-ru manpages-ja
mkdir -p "$out_dir"
bible "Gen1:1-Rev22:21" < /dev/null > "$work/english.txt"
fortunes de | iconv -f UTF-8 -t UTF-8 -c > "$work/german.txt"
fortunes ru | iconv -f UTF-8 -t UTF-8 -c > "$work/russian.txt"
find /usr/share/man/ja -name '*.gz' | sort | xargs zcat | grep -v -E '^[.'"'"']' | iconv -f UTF-8 -t UTF-8 -c \
  > "$work/japanese.txt"
for language in english german russian japanese; do
  repeat_to_min_size "$work/$language.txt" "$out_dir/$language.txt"
done
ls -l "$out_dir"/*.txt
