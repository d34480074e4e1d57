#!/usr/bin/env bash
# Writes the benchmark corpora into DIR from Debian's packages:
#   english.txt       the King James Bible (bible-kjv, bible-kjv-text), ASCII
#   russian-1251.txt  the Russian fortunes (fortunes-ru), in Windows-1251
# Each text is repeated until the file holds at least 8 MiB.
#
#   fetch_corpus.sh DIR
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: $0 DIR" >&2; exit 2; }
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out_dir=$1
min_bytes=$((8 * 1024 * 1024))
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "fetch_corpus.sh: $*" >&2; exit 1; }

# Concatenates copies of SOURCE into TARGET until TARGET holds min_bytes.
repeat_to_min_size() {
  local source=$1 target=$2
  : > "$target"
  while [ "$(stat -c %s "$target")" -lt "$min_bytes" ]; do
    cat "$source" >> "$target"
  done
}

# iconv comes with libc-bin, which every Debian system has.
bash "$here/../../tools/install_packages.sh" bible-kjv bible-kjv-text fortunes-ru
mkdir -p "$out_dir"

# English: the bible program prints a range of verses; Genesis 1:1 to
# Revelation 22:21 is the whole book, 1189 chapters and 31102 verses.
bible "Gen1:1-Rev22:21" < /dev/null > "$work/kjv.txt"
verses=$(grep -cE '^ +[0-9]+ ' "$work/kjv.txt" || true)
[ "$verses" -eq 31102 ] || fail "the bible dump holds $verses verses, not 31102"
grep -q 'The grace of our Lord Jesus Christ be with you all. Amen.' "$work/kjv.txt" ||
  fail "the bible dump does not end with Revelation 22:21"
[ "$(stat -c %s "$work/kjv.txt")" -gt $((4 * 1024 * 1024)) ] || fail "the bible dump is under 4 MiB"
repeat_to_min_size "$work/kjv.txt" "$out_dir/english.txt"

# Russian: the fortune files are UTF-8, one fortune after another, parted by
# lines that hold only %; the .dat indexes and .u8 links are left out.
fortunes=/usr/share/games/fortunes/ru
mapfile -t files < <(find "$fortunes" -maxdepth 1 -type f ! -name '*.dat' | sort)
[ ${#files[@]} -gt 0 ] || fail "no fortune files in $fortunes"
cat "${files[@]}" | grep -v -E $'^%\r?$' | iconv -f UTF-8 -t WINDOWS-1251//TRANSLIT > "$work/ru.txt"
[ "$(stat -c %s "$work/ru.txt")" -gt $((1024 * 1024)) ] || fail "the Russian text is under 1 MiB"
cyrillic=$(LC_ALL=C grep -c $'[\xC0-\xFF]' "$work/ru.txt" || true)
[ "$cyrillic" -gt 10000 ] || fail "the Russian text has only $cyrillic lines with Cyrillic letters"
repeat_to_min_size "$work/ru.txt" "$out_dir/russian-1251.txt"

ls -l "$out_dir/english.txt" "$out_dir/russian-1251.txt"
