#!/usr/bin/env bash
# The top 10 of FT_SEARCH beside SQLite FTS5's bm25() for a fixed set of
# queries on the King James Bible's 1189 chapters, indexed as the main job
# indexes them (DOCUMENTS' trigger, the sample configuration of conf/).
# FTS5 indexes the same chapters twice:
#   same words  the words the index stored for each chapter (stop words and
#               short words left out, as the module splits them), with the
#               ascii tokenizer: only the ranking formulas differ;
#   raw text    the chapter's text as it stands, with the unicode61
#               tokenizer: its own tokens, stop words counted in lengths.
# Each is queried with the words FT_SEARCH searches for (the query's plan).
# A third column ranks the "same words" index with FT_SEARCH's own formula,
# computed from FTS5's vocabulary: it shows what is left once the formulas
# agree. Prints, per query, how many documents each finds and the overlap of
# each top 10 with FT_SEARCH's.
#
#   bash bench/ranking/compare_fts5.sh [WORK_DIR]      (default /tmp/vexa-ranking)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=${1:-/tmp/vexa-ranking}
build="$root/build-ranking"
demo="$root/tools/fulltext_demo"

queries=(
  "faith hope charity" "shepherd green pastures" "love" "lord god" "king david jerusalem" "bread wine"
  "light darkness" "water" "sword" "abraham isaac jacob" "holy spirit" "mercy truth" "fire brimstone"
  "thou shalt not kill" "the valley of the shadow of death" "son of man" "heaven earth" "blood lamb"
)

bash "$root/tools/install_packages.sh" cmake ninja-build g++ firebird3.0-server-core firebird3.0-utils \
  libib-util bible-kjv bible-kjv-text sqlite3 > /dev/null
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXA_BUILD_TESTS=OFF > /dev/null
cmake --build "$build" --target Vexa > /dev/null

rm -rf "$work"
mkdir -p "$work/module"
cp "$build/Vexa.so" "$root/conf/Vexa.ini" "$root/conf/Vexa_skip.lst" "$root/conf/Vexa_tkn.lst" \
  "$work/module/"
bash "$root/tools/firebird_root.sh" "$work/firebird" "$work/module" > "$work/firebird.env"
# shellcheck disable=SC1091
source "$work/firebird.env"
db="$work/bible.fdb"
printf "CREATE DATABASE '%s' PAGE_SIZE 16384 DEFAULT CHARACTER SET WIN1251;\n" "$db" > "$work/create.sql"
isql-fb -q -b -i "$work/create.sql"
gfix -write async "$db"
for script in vexa_functions splitting_udf fulltext_index fulltext_search fulltext_query example_documents; do
  isql-fb -q -b -ch UTF8 -i "$root/sql/$script.sql" "$db"
done

bible "Gen1:1-Rev22:21" < /dev/null | LC_ALL=C awk -f "$demo/bible_chapters.awk" > "$work/chapters.records"
LC_ALL=C awk -v first_id=1 -v batch=200 -f "$demo/documents_to_sql.awk" "$work/chapters.records" > "$work/inserts.sql"
isql-fb -q -b -ch WIN1251 -i "$work/inserts.sql" "$db"

# Rows of SQL from standard input, without headings or trailing blanks.
fb() { { echo "SET HEADING OFF;"; cat; } | isql-fb -q -b -ch WIN1251 "$db" | sed -e 's/[[:space:]]*$//' -e '/^$/d'; }
quoted() { printf "%s" "${1//\'/\'\'}"; }

# FTS5's two indexes of the same chapters: id TAB text, one a line.
fb <<'SQL' > "$work/same_words.tsv"
SET LIST OFF;
SET BLOB ALL;
SELECT DOC_ID || ASCII_CHAR(9) || CAST(LIST(WORD, ' ') AS VARCHAR(32000)) FROM FT_OCCURRENCE GROUP BY DOC_ID;
SQL
LC_ALL=C awk 'BEGIN { RS = "\036"; FS = "\037" } NF >= 2 { t = $1 " " $2; gsub(/[\t\n]/, " ", t); print NR "\t" t }' \
  "$work/chapters.records" > "$work/raw_text.tsv"
sqlite3 "$work/fts5.db" <<SQL
CREATE VIRTUAL TABLE same_words USING fts5(body, tokenize = "ascii tokenchars '_'");
CREATE VIRTUAL TABLE raw_text USING fts5(body, tokenize = "unicode61");
CREATE TABLE load(id INTEGER, body TEXT);
.mode tabs
.import $work/same_words.tsv load
INSERT INTO same_words(rowid, body) SELECT id, body FROM load;
DELETE FROM load;
.import $work/raw_text.tsv load
INSERT INTO raw_text(rowid, body) SELECT id, body FROM load;
DROP TABLE load;
CREATE VIRTUAL TABLE same_words_terms USING fts5vocab(same_words, instance);
CREATE VIRTUAL TABLE same_words_rows USING fts5vocab(same_words, row);
SQL

# The top 10 of a ranking, ids separated by blanks.
top10() { awk '{ print $1 }' | tr '\n' ' ' | sed -e 's/ *$//'; }
overlap() { comm -12 <(tr ' ' '\n' <<< "$1" | sort) <(tr ' ' '\n' <<< "$2" | sort) | grep -c . || true; }

printf "%-34s %-24s %6s %6s %6s  %s\n" "query" "searched for" "found" "FTS5" "FTS5" "top 10 shared with FT_SEARCH:"
printf "%-34s %-24s %6s %6s %6s  %s\n" "" "" "Vexa" "same" "raw" "same words / raw text / same words, Vexa's formula"
total_same=0 total_raw=0 total_formula=0 possible=0
for query in "${queries[@]}"; do
  words=$(fb <<< "SELECT WORD FROM FT_QUERY_PLAN('$(quoted "$query")');" | top10)
  vexa=$(fb <<< "SELECT DOC_ID FROM FT_SEARCH('$(quoted "$query")', 10);" | top10)
  vexa_found=$(fb <<< "SELECT COUNT(*) FROM FT_SEARCH('$(quoted "$query")', 100000);" | top10)
  match=$(sed -e 's/[^ ][^ ]*/"&"/g' <<< "$words")
  in_list=$(sed -e "s/[^ ][^ ]*/'&'/g" -e 's/ /, /g' <<< "${words,,}")
  terms=$(wc -w <<< "$words")
  mapfile -t fts5 < <(sqlite3 "$work/fts5.db" <<SQL
SELECT group_concat(id, ' ') FROM (SELECT rowid AS id FROM same_words WHERE same_words MATCH '$match' ORDER BY bm25(same_words), rowid LIMIT 10);
SELECT count(*) FROM same_words WHERE same_words MATCH '$match';
SELECT group_concat(id, ' ') FROM (SELECT rowid AS id FROM raw_text WHERE raw_text MATCH '$match' ORDER BY bm25(raw_text), rowid LIMIT 10);
SELECT count(*) FROM raw_text WHERE raw_text MATCH '$match';
WITH lengths AS (SELECT doc, count(*) AS len FROM same_words_terms GROUP BY doc),
  stats AS (SELECT count(*) AS n, avg(len) AS avg_len FROM lengths),
  tf AS (SELECT term, doc, count(*) AS tf FROM same_words_terms WHERE term IN ($in_list) GROUP BY term, doc),
  df AS (SELECT term, count(*) AS df FROM tf GROUP BY term),
  scored AS (SELECT tf.doc, sum(ln(1 + (n - df + 0.5) / (df + 0.5)) * tf * 2.2
                 / (tf + 1.2 * (0.25 + 0.75 * len / avg_len))) AS score, count(*) AS matched
             FROM tf JOIN df USING (term) JOIN lengths USING (doc), stats GROUP BY tf.doc)
SELECT group_concat(doc, ' ') FROM (SELECT doc FROM scored WHERE matched = $terms ORDER BY score DESC, doc LIMIT 10);
SELECT group_concat(term, ' ') FROM same_words_rows
  WHERE term IN ($in_list) AND doc > (SELECT count(*) FROM same_words) / 2.0;
SQL
  )
  same=${fts5[0]:-} same_found=${fts5[1]:-0} raw=${fts5[2]:-} raw_found=${fts5[3]:-0} formula=${fts5[4]:-} common=${fts5[5]:-}
  s=$(overlap "$vexa" "$same"); r=$(overlap "$vexa" "$raw"); f=$(overlap "$vexa" "$formula")
  possible=$((possible + (vexa_found < 10 ? vexa_found : 10)))
  total_same=$((total_same + s)); total_raw=$((total_raw + r)); total_formula=$((total_formula + f))
  printf "%-34s %-24s %6s %6s %6s  %2d / %2d / %2d   %s\n" "$query" "${words,,}" "$vexa_found" \
    "$same_found" "$raw_found" "$s" "$r" "$f" "${common:+in over half the chapters: $common}"
done
printf "%-34s %-24s %20s  %2d / %2d / %2d of %d\n" "all queries" "" "" "$total_same" "$total_raw" "$total_formula" \
  "$possible"

# What a search and a snippet cost here: FT_SEARCH run ten times after a
# first run, then FT_SNIPPET of each of its top 10, in one transaction.
echo
echo "FT_SEARCH and FT_SNIPPET times (ms, average; one transaction per query):"
for query in "${queries[@]}"; do
  q=$(quoted "$query")
  fb <<SQL
SET TERM ^ ;
EXECUTE BLOCK RETURNS (LINE VARCHAR(200))
AS
  DECLARE STARTED TIMESTAMP;
  DECLARE I INTEGER = 0;
  DECLARE N INTEGER;
  DECLARE BODY BLOB SUB_TYPE TEXT;
  DECLARE SNIPPET VARCHAR(8000);
  DECLARE SEARCH_MS DOUBLE PRECISION;
BEGIN
  SELECT COUNT(*) FROM FT_SEARCH('$q', 10) INTO :N;
  STARTED = CAST('NOW' AS TIMESTAMP);
  WHILE (I < 10) DO
  BEGIN
    SELECT COUNT(*) FROM FT_SEARCH('$q', 10) INTO :N;
    I = I + 1;
  END
  SEARCH_MS = DATEDIFF(MILLISECOND FROM STARTED TO CAST('NOW' AS TIMESTAMP)) / 10.0;
  STARTED = CAST('NOW' AS TIMESTAMP);
  N = 0;
  FOR SELECT D.BODY FROM FT_SEARCH('$q', 10) S JOIN DOCUMENTS D ON D.ID = S.DOC_ID INTO :BODY DO
  BEGIN
    SNIPPET = FT_SNIPPET(BODY, '$q');
    N = N + 1;
  END
  LINE = RPAD('$q', 34) || LPAD(CAST(SEARCH_MS AS NUMERIC(9, 1)), 8) || ' a search'
    || LPAD(CAST(DATEDIFF(MILLISECOND FROM STARTED TO CAST('NOW' AS TIMESTAMP)) / MAXVALUE(N, 1) AS NUMERIC(9, 1)), 8)
    || ' a snippet';
  SUSPEND;
END^
SQL
done
