#!/usr/bin/env bash
# Tests of search_report.sql (DEMO_SEARCH) in an embedded
# Firebird 3.0 database with the project's SQL and a built module.
#   bash search_report_test.sh PATH/TO/Vexa.so
# Exits 77 (skipped) where Firebird 3.0 and isql-fb are not installed.
set -uo pipefail

[ $# -eq 1 ] || { echo "usage: $0 PATH/TO/Vexa.so" >&2; exit 2; }
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
if ! command -v isql-fb > /dev/null || [ ! -d /usr/lib/x86_64-linux-gnu/firebird/3.0 ]; then
  echo "skipped: no Firebird 3.0 with isql-fb"
  exit 77
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
source "$here/expect.sh"

mkdir -p "$tmp/module"
cp "$1" "$root/conf/Vexa.ini" "$root/conf/Vexa_skip.lst" "$root/conf/Vexa_tkn.lst" "$tmp/module/"
eval "$(bash "$root/tools/firebird_root.sh" "$tmp/firebird" "$tmp/module")"
db="$tmp/test.fdb"
printf "CREATE DATABASE '%s' DEFAULT CHARACTER SET WIN1251;\n" "$db" > "$tmp/create.sql"
isql-fb -q -b -i "$tmp/create.sql" > "$tmp/setup.log" 2>&1 || { cat "$tmp/setup.log"; exit 1; }
for script in "$root/sql/vexa_functions.sql" "$root/sql/splitting_udf.sql" "$root/sql/fulltext_index.sql" \
  "$root/sql/fulltext_search.sql" "$root/sql/fulltext_query.sql" \
  "$root/sql/example_documents.sql" "$here/search_report.sql"; do
  isql-fb -q -b -ch UTF8 -i "$script" "$db" > "$tmp/setup.log" 2>&1 || { cat "$tmp/setup.log"; exit 1; }
done

# Rows of the SQL on standard input, without headings or trailing blanks;
# errors too.
sql() { { echo "SET HEADING OFF;"; cat; } | isql-fb -q -ch UTF8 "$db" 2>&1 | sed -e 's/[[:space:]]*$//' -e '/^$/d'; }
sql > /dev/null <<'SQL'
INSERT INTO DOCUMENTS (ID, TITLE, BODY) VALUES (1, 'Fox', 'The quick brown fox jumps over the lazy dog.');
INSERT INTO DOCUMENTS (ID, TITLE, BODY) VALUES (2, 'Foxes', 'A fox and a fox and a fox, and a dog.');
INSERT INTO DOCUMENTS (ID, TITLE, BODY) VALUES (3, 'Булки', 'Съешь же ещё этих мягких французских булок.');
COMMIT;
SQL
words=$(sql <<< "SELECT LINE FROM DEMO_SEARCH('words', 'fox dog');")
expect_match "search: a line of the procedure, the count and two times" \
  "^FT_SEARCH\('fox dog'\)  2 documents in [0-9]+ ms, [0-9]+ ms again"$'\n' "$words"
expect_match "search: ranked lines of rank, id, title, score and snippet" \
  $'\n   1\\.      2  Foxes +[0-9]+\\.[0-9]{2}  A <b>fox</b> and a <b>fox</b> and a <b>fox</b>, and a <b>dog</b>\\.\n   2\\.      1  Fox +[0-9]+\\.[0-9]{2}  The quick brown <b>fox</b> jumps over the lazy <b>dog</b>\\.$' \
  "$words"
expect "search: one document, phrase scores with two decimals" \
  "FT_SEARCH_PHRASE('brown fox')  1 document in X ms, X ms again
   1.      1  Fox                   1.00  The quick <b>brown</b> <b>fox</b> jumps over the lazy dog." \
  "$(sql <<< "SELECT LINE FROM DEMO_SEARCH('phrase', 'brown fox');" | sed -E 's/[0-9]+ ms/X ms/g')"
expect "search: a sounds-alike search shows a word it matched (the title is indexed too)" \
  "   1.      3  Булки                 2.00  [БУЛКИ] Съешь же ещё этих мягких французских булок." \
  "$(sql <<< "SELECT LINE FROM DEMO_SEARCH('sound', 'Булок');" | tail -n +2)"
expect "search: a prefix search, at most MAX_ROWS" \
  "FT_SEARCH_PREFIX('fo')  1 document in X ms, X ms again
   1.      2  Foxes                 4.00  A <b>fox</b> and a <b>fox</b> and a <b>fox</b>, and a dog." \
  "$(sql <<< "SELECT LINE FROM DEMO_SEARCH('prefix', 'fo', 1);" | sed -E 's/[0-9]+ ms/X ms/g')"
expect "search: a search-box query, its words marked" \
  "FT_SEARCH('\"brown fox\" -quick OR dog -lazy')  1 document in X ms, X ms again
   1.      2  Foxes                 0.51  A <b>fox</b> and a <b>fox</b> and a <b>fox</b>, and a <b>dog</b>." \
  "$(sql <<< "SELECT LINE FROM DEMO_SEARCH('words', '\"brown fox\" -quick OR dog -lazy');" | sed -E 's/[0-9]+ ms/X ms/g')"
expect "search: none found" "FT_SEARCH('absent')  0 documents in X ms, X ms again" \
  "$(sql <<< "SELECT LINE FROM DEMO_SEARCH('words', 'absent');" | sed -E 's/[0-9]+ ms/X ms/g')"
expect_match "search: an unknown kind is an error" "unknown kind of search" \
  "$(sql <<< "SELECT LINE FROM DEMO_SEARCH('fuzzy', 'fox');")"

report_and_exit
