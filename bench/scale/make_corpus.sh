#!/usr/bin/env bash
# Writes the scale benchmark's corpora into DIR from Debian's packages, as
# records of UTF-8 text: a title, "\037", the document, "\036".
#   bible.records   the King James Bible, a document per chapter (1189)
#   pool.records    every verse of the Bible, every English and Russian
#                   fortune, and paragraphs of the English and Russian manual
#                   pages up to the largest N, in an order shuffled with a
#                   fixed seed; past the real text (562,047 documents on
#                   Debian 12), synthetic documents made from its word
#                   frequencies (synthetic_documents.pl)
#   first-N.records the first N documents of the pool, for each N given
#   first-N.source  how many of them are real and how many synthetic
#                   ("real R", "synthetic S"; bible.source too)
# Every text is cut down to what Windows-1251 can hold (the Firebird side
# gets it in that code page), so that every system indexes the same text.
#
#   make_corpus.sh [--man-pages K] DIR [N...]   (e.g. make_corpus.sh /tmp/corpus 25000 250000 1000000)
# --man-pages K takes only the first K manual pages (for a quick small corpus).
set -euo pipefail

man_pages=0
if [ "${1:-}" = --man-pages ]; then man_pages=$2; shift 2; fi
[ $# -ge 1 ] || { echo "usage: $0 [--man-pages K] DIR [N...]" >&2; exit 2; }
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
out=$1
shift
fail() { echo "make_corpus.sh: $*" >&2; exit 1; }

bash "$root/tools/install_packages.sh" bible-kjv bible-kjv-text fortunes fortunes-min fortunes-ru manpages man-db
mkdir -p "$out/sources"

# Keeps what Windows-1251 holds (transliterated where it can be, else dropped;
# iconv -c exits 1 when it drops something).
through_1251() { { iconv -c -f UTF-8 -t WINDOWS-1251//TRANSLIT || [ $? -eq 1 ]; } | iconv -f WINDOWS-1251 -t UTF-8; }
count() { tr -cd '\036' < "$1" | wc -c; }

bible "Gen1:1-Rev22:21" < /dev/null > "$out/sources/kjv.txt"
LC_ALL=C awk -f "$root/tools/fulltext_demo/bible_chapters.awk" "$out/sources/kjv.txt" > "$out/bible.records"
[ "$(count "$out/bible.records")" -eq 1189 ] || fail "the Bible splits into $(count "$out/bible.records") chapters"
printf 'real 1189\nsynthetic 0\n' > "$out/bible.source"
LC_ALL=C awk -f "$here/bible_verses.awk" "$out/sources/kjv.txt" > "$out/sources/verses.records"
[ "$(count "$out/sources/verses.records")" -eq 31102 ] || fail "the Bible splits into $(count "$out/sources/verses.records") verses"

fortune_files() { find "$1" -maxdepth 1 -type f ! -name '*.dat' ! -name '*.u8' | sort; }
mapfile -t english < <(fortune_files /usr/share/games/fortunes)
mapfile -t russian < <(fortune_files /usr/share/games/fortunes/ru)
LC_ALL=C awk -f "$root/tools/fulltext_demo/fortune_records.awk" "${english[@]}" | through_1251 > "$out/sources/fortunes-en.records"
LC_ALL=C awk -f "$root/tools/fulltext_demo/fortune_records.awk" "${russian[@]}" | through_1251 > "$out/sources/fortunes-ru.records"

# The manual pages take minutes: their paragraphs are kept for the next run
# (delete sources/man-*.records to read the pages again).
man=$out/sources/man-${man_pages/#0/all}.records
if [ ! -s "$man" ]; then
  mapfile -d '' pages < <(find /usr/share/man/man[1-8] /usr/share/man/ru/man[1-8] -name '*.gz' -print0 2>/dev/null | sort -z)
  [ "$man_pages" -eq 0 ] || pages=("${pages[@]:0:$man_pages}")
  printf '%s\0' "${pages[@]}" | xargs -0 perl "$here/man_paragraphs.pl" | through_1251 > "$man.part"
  mv "$man.part" "$man"
fi
cp "$man" "$out/sources/man.records"

for source in verses fortunes-en fortunes-ru man; do
  echo "$source: $(count "$out/sources/$source.records") documents"
done | tee "$out/sources/counts.txt"

# The pool's order. Sizes up to 250,000 keep the order they have always had:
# the largest of them takes every verse and fortune and as many paragraphs of
# the manual pages as it needs, shuffled together with a fixed seed (the same
# on every run: perl's srand/rand are drand48), and each smaller size is the
# beginning of that order. Larger sizes go on with the other paragraphs in
# their shuffled order and, past the real text, with synthetic documents
# (synthetic_documents.pl), so that a size holds only real documents while
# the real text lasts.
kept_order=250000
largest=0
for n in "$@"; do [ "$n" -le "$largest" ] || largest=$n; done
perl -e '
  use strict;
  my ($largest, $kept_order, $man, @others) = @ARGV;
  srand(20261209);
  local $/ = "\036";
  sub shuffled { my @r = @_; for (my $i = $#r; $i > 0; $i--) { my $j = int(rand($i + 1)); @r[$i, $j] = @r[$j, $i]; } @r }
  sub records { open(my $in, "<", $_[0]) or die "$_[0]: $!"; my @r = <$in>; @r }
  my @texts = map { records($_) } @others;
  my @paragraphs = shuffled(records($man));
  my $first = $largest < $kept_order ? $largest : $kept_order;
  my $wanted = $first > @texts ? $first - @texts : 0;
  $wanted = @paragraphs if $wanted > @paragraphs;
  print shuffled(@texts, @paragraphs[0 .. $wanted - 1]);
  my $more = $largest - @texts - $wanted;
  $more = @paragraphs - $wanted if $more > @paragraphs - $wanted;
  print @paragraphs[$wanted .. $wanted + $more - 1] if $more > 0;
' "$largest" "$kept_order" "$out/sources/man.records" "$out/sources/"{verses,fortunes-en,fortunes-ru}.records > "$out/pool.records"
real=$(count "$out/pool.records")
synthetic=0
if [ "$largest" -gt "$real" ]; then
  synthetic=$((largest - real))
  perl "$here/synthetic_documents.pl" "$synthetic" 20261209 "$out/sources/"{verses,fortunes-en,fortunes-ru,man}.records \
    >> "$out/pool.records"
fi
echo "pool: $((real + synthetic)) documents ($real real, $synthetic synthetic)"
for n in "$@"; do
  perl -e '$/ = "\036"; my $n = shift; while (<STDIN>) { print; last if --$n == 0 }' "$n" < "$out/pool.records" \
    > "$out/first-$n.records"
  [ "$(count "$out/first-$n.records")" -eq "$n" ] || fail "first-$n holds $(count "$out/first-$n.records") documents"
  real_n=$((n < real ? n : real))
  printf 'real %d\nsynthetic %d\n' "$real_n" "$((n - real_n))" > "$out/first-$n.source"
  echo "first-$n: $n documents ($real_n real, $((n - real_n)) synthetic), $(stat -c %s "$out/first-$n.records") bytes"
done
