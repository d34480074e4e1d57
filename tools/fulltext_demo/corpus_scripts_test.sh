#!/usr/bin/env bash
# Tests of the awk programs that turn the demo's corpus into INSERT
# statements: bible_chapters.awk, fortune_records.awk, documents_to_sql.awk.
#   bash corpus_scripts_test.sh
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
source "$here/expect.sh"

# Shows records with their separators as | and #.
visible() { tr '\037\036' '|#'; }
run_awk() { LC_ALL=C awk "$@"; }

# The bible program's layout: a title between blank lines, indented verse
# numbers, verses running on in unindented lines.
printf '\nGenesis 1\n\n  1 In the beginning.\n  2 And the earth was\nwithout form.\n\n1 Kings 2\n\n  1 Now the days\nof David drew nigh\nthat he should die.\n' \
  > "$tmp/bible.txt"
expect "chapters: a record per title, verses one a line, run-on lines joined" \
  "Genesis 1|1 In the beginning.
2 And the earth was without form.#1 Kings 2|1 Now the days of David drew nigh that he should die.#" \
  "$(run_awk -f "$here/bible_chapters.awk" "$tmp/bible.txt" | visible)"
expect "chapters: nothing from an empty dump" "" "$(run_awk -f "$here/bible_chapters.awk" /dev/null | visible)"

# Fortune files: fortunes parted by lines of %, some with CRLF line ends.
mkdir -p "$tmp/fortunes"
printf 'First one.\n%%\nSecond,\n\t-- Author\n%%\n\n%%\n' > "$tmp/fortunes/love"
printf 'Only one.\r\n%%\r\n' > "$tmp/fortunes/work"
expect "fortunes: titled by file and number, blank ones skipped, CR dropped" \
  "love 1|First one.#love 2|Second,
	-- Author#work 1|Only one.#" \
  "$(run_awk -f "$here/fortune_records.awk" "$tmp/fortunes/love" "$tmp/fortunes/work" | visible)"
printf 'No separator at the end' > "$tmp/fortunes/last"
expect "fortunes: the last one of a file needs no separator" "last 1|No separator at the end#work 1|Only one.#" \
  "$(run_awk -f "$here/fortune_records.awk" "$tmp/fortunes/last" "$tmp/fortunes/work" | visible)"

# Windows-1251 bytes pass unchanged: "Привет" and a quote to double.
printf 'x 1\037\xcf\xf0\xe8\xe2\xe5\xf2 it'"'"'s\036' > "$tmp/win1251.records"
expect "inserts: Windows-1251 bytes kept, quotes doubled" \
  "$(printf "INSERT INTO DOCUMENTS (ID, TITLE, BODY) VALUES (7, 'x 1', '\xcf\xf0\xe8\xe2\xe5\xf2 it''s');\nCOMMIT;")" \
  "$(run_awk -v first_id=7 -f "$here/documents_to_sql.awk" "$tmp/win1251.records")"

printf "a\037it's A\036b\037B\nline 2\036c\037C\036" > "$tmp/three.records"
expect "inserts: numbered from first_id, a COMMIT after each batch and at the end" \
  "INSERT INTO DOCUMENTS (ID, TITLE, BODY) VALUES (10, 'a', 'it''s A');
INSERT INTO DOCUMENTS (ID, TITLE, BODY) VALUES (11, 'b', 'B
line 2');
COMMIT;
INSERT INTO DOCUMENTS (ID, TITLE, BODY) VALUES (12, 'c', 'C');
COMMIT;" \
  "$(run_awk -v first_id=10 -v batch=2 -f "$here/documents_to_sql.awk" "$tmp/three.records")"
expect "inserts: a title's quote is doubled too" \
  "INSERT INTO DOCUMENTS (ID, TITLE, BODY) VALUES (1, 'O''Brien', 'x');
COMMIT;" \
  "$(printf "O'Brien\037x\036" | run_awk -v first_id=1 -f "$here/documents_to_sql.awk")"
expect "inserts: only a COMMIT for no records" "COMMIT;" \
  "$(run_awk -v first_id=1 -f "$here/documents_to_sql.awk" /dev/null)"

report_and_exit
