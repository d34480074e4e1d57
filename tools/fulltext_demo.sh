#!/usr/bin/env bash
# A full-text index in an embedded Firebird 3.0 database, end to end:
#  - builds Vexa.so, the UDR module libvexa_udr.so and the Snowball stemming
#    filter (Release) and lays them out with the sample configuration of conf/
#    (Cyrillic word characters, English and Russian stop words, tokens), the
#    stemmer added to its filters;
#  - makes a private Firebird root that may load it, and a WIN1251 database;
#  - installs the index: VEXA_INDEX=segments, the default, is the segment
#    index of the UDR module (sql/splitting_udr.sql, sql/fulltext_udr.sql);
#    VEXA_INDEX=rows the portable row design (sql/fulltext_index.sql,
#    sql/fulltext_search.sql, sql/fulltext_query.sql) over the splitting
#    procedures of VEXA_SPLITTING=udr (sql/splitting_udr.sql, the default) or
#    udf (sql/vexa_functions.sql and sql/splitting_udf.sql over Vexa.so);
#    then sql/example_documents.sql, as they stand;
#  - loads the King James Bible (a document per chapter) and the Russian
#    fortunes (a document per fortune, in Windows-1251) into DOCUMENTS, whose
#    triggers index them, and times it;
#  - runs searches of every kind in English and Russian and shows the ranked
#    documents with their snippets and the time of each search;
#  - (segment index) makes a named index over DOCUMENTS' title and body with
#    FT_CREATE_INDEX (sql/fulltext_indexes.sql), the title weighted, and
#    shows FT_INDEX_INFO, a column search, a highlight and FT_CHECK;
#  - (segment index) makes a substring index over the same columns
#    (analyzer trigram) and shows CONTAINING, LIKE and STARTING WITH beside
#    FT_CONTAINING, FT_LIKE and FT_STARTING_WITH: the same rows, both times;
#  - (segment index) makes a UTF8 database with articles in seven languages
#    (tools/fulltext_demo/multilingual.sql), a Unicode index and a stemming
#    one over them, and searches each language with snippets.
#
#   bash tools/fulltext_demo.sh [WORK_DIR]       (default /tmp/vexa-fulltext-demo)
#   VEXA_INDEX=rows bash tools/fulltext_demo.sh  (the portable design)
#   VEXA_INDEX=rows VEXA_SPLITTING=udf bash tools/fulltext_demo.sh  (over the legacy functions)
#
# Runs as root on a fresh Debian 12 machine: it installs what it needs. The
# work directory keeps the database afterwards (see the last lines printed).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
here="$root/tools/fulltext_demo"
build="$root/build-fulltext-demo"
work=${1:-/tmp/vexa-fulltext-demo}
marker=.vexa-fulltext-demo
english_first_id=1
design=${VEXA_INDEX:-segments}
splitting=${VEXA_SPLITTING:-udr}
case "$design/$splitting" in
  segments/udr) index_sql=("$root/sql/splitting_udr.sql" "$root/sql/fulltext_udr.sql" "$root/sql/fulltext_indexes.sql") ;;
  rows/udr) index_sql=("$root/sql/splitting_udr.sql") ;;
  rows/udf) index_sql=("$root/sql/vexa_functions.sql" "$root/sql/splitting_udf.sql") ;;
  *) echo "fulltext_demo.sh: VEXA_INDEX is segments or rows, VEXA_SPLITTING udr or udf (rows only), not $design/$splitting" >&2
     exit 2 ;;
esac
# Where the documents are listed with their lengths (a table of the row
# design, a procedure of the segment index), and the index's tables.
document_table=FT_DOCUMENTS
index_tables='FT_(INDEXES|CHANGE|STRUCTURE|SEGMENT_PAGE|INDEX_SOURCES|INDEX_COLUMNS)'
if [ "$design" = rows ]; then
  index_sql+=("$root/sql/fulltext_index.sql" "$root/sql/fulltext_search.sql" "$root/sql/fulltext_query.sql")
  document_table=FT_DOCUMENT
  index_tables='FT_(DOCUMENT|POSTING|WORD|STATS|TERM_DOCS|TERM_TOTAL)'
fi
module_targets=(Vexa vexa vexa_snowball)
[ "$splitting" = udf ] || module_targets+=(vexa_udr)
russian_first_id=100001

fail() { echo "fulltext_demo.sh: $*" >&2; exit 1; }
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
seconds_since() { awk -v a="$1" -v b="$(now_ms)" 'BEGIN { printf "%.1f", (b - a) / 1000 }'; }
started=$(now_ms)

# The work directory is made anew; one that holds anything else is left alone.
case "$work" in *\'*) fail "the work directory's path may not hold a quote: $work" ;; esac
if [ -e "$work" ]; then
  if [ -f "$work/$marker" ]; then
    rm -rf "$work"
  elif [ -n "$(ls -A "$work" 2>/dev/null || echo file)" ]; then
    fail "$work is not empty and was not made by this demo"
  fi
fi
mkdir -p "$work"/{module,corpus,logs}
work=$(cd "$work" && pwd)
touch "$work/$marker"
db="$work/documents.fdb"

# Runs a program with its output in a log, which is shown when it fails.
logged() {
  local log="$work/logs/$1.log"
  shift
  "$@" > "$log" 2>&1 || { cat "$log" >&2; fail "$* failed (log: $log)"; }
}

echo "== Packages and build"
phase=$(now_ms)
logged packages bash "$root/tools/install_packages.sh" cmake ninja-build g++ libstemmer-dev libboost-dev firebird-dev \
  firebird3.0-server-core firebird3.0-utils libib-util bible-kjv bible-kjv-text fortunes-ru
echo "packages ready in $(seconds_since "$phase") s"
phase=$(now_ms)
logged configure cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXA_BUILD_TESTS=OFF -DVEXA_BUILD_TOOLS=ON
logged build cmake --build "$build" --target "${module_targets[@]}"
echo "${module_targets[*]} built in $(seconds_since "$phase") s ($build)"

echo
echo "== Module directory $work/module"
cp "$build/Vexa.so" "$build/filters/snowball/vexa_snowball.so" "$root/conf/Vexa.ini" "$root/conf/Vexa_skip.lst" \
  "$root/conf/Vexa_tkn.lst" "$work/module/"
# Words of both languages are stored as their stems: the forms of a word meet.
printf '\n[Filters]\nvexa_snowball.so=\n' >> "$work/module/Vexa.ini"
if [ "$splitting" = udr ]; then
  udr_module=$(find "$build" -name libvexa_udr.so -print -quit)
  [ -n "$udr_module" ] || fail "the build made no libvexa_udr.so"
  cp "$udr_module" "$work/module/"
fi
ls "$work/module"
echo "word lists: $("$build/tools/vexa/vexa" lists "$work/module")"

echo
echo "== Embedded Firebird in a private root, database $db"
bash "$root/tools/firebird_root.sh" "$work/firebird" "$work/module" > "$work/firebird.env"
# shellcheck disable=SC1091
source "$work/firebird.env"
printf "CREATE DATABASE '%s' PAGE_SIZE 16384 DEFAULT CHARACTER SET WIN1251;\n" "$db" > "$work/create_database.sql"
logged create_database isql-fb -q -b -i "$work/create_database.sql"
# Forced writes stay on, as a new database has them; a 64 MiB page cache.
logged page_buffers gfix -buffers 4096 "$db"
echo "index: $design, splitting: $splitting"
for script in "${index_sql[@]}" "$root/sql/example_documents.sql" "$here/search_report.sql"; do
  logged "install_$(basename "$script" .sql)" isql-fb -q -b -ch UTF8 -i "$script" "$db"
  echo "installed ${script#"$root"/}"
done

# Runs SQL from standard input in the database over a UTF-8 connection and
# prints its rows without headings, blank lines or trailing blanks.
query() {
  { echo "SET HEADING OFF;"; cat; } | isql-fb -q -b -ch UTF8 "$db" | sed -e 's/[[:space:]]*$//' -e '/^$/d'
}

echo
echo "== Corpus"
phase=$(now_ms)
bible "Gen1:1-Rev22:21" < /dev/null > "$work/corpus/bible.txt"
LC_ALL=C awk -f "$here/bible_chapters.awk" "$work/corpus/bible.txt" > "$work/corpus/bible.records"
fortunes=/usr/share/games/fortunes/ru
mapfile -t fortune_files < <(find "$fortunes" -maxdepth 1 -type f ! -name '*.dat' | sort)
[ ${#fortune_files[@]} -gt 0 ] || fail "no fortune files in $fortunes"
LC_ALL=C awk -f "$here/fortune_records.awk" "${fortune_files[@]}" |
  iconv -f UTF-8 -t WINDOWS-1251//TRANSLIT > "$work/corpus/fortunes.records"

# Prints "DOCUMENTS BYTES" of a file of records: titles and bodies together.
record_sizes() {
  LC_ALL=C awk 'BEGIN { RS = "\036"; FS = "\037" } NF >= 2 { n++; bytes += length($1) + length($2) }
    END { print n + 0, bytes + 0 }' "$1"
}
read -r english_docs english_bytes < <(record_sizes "$work/corpus/bible.records")
read -r russian_docs russian_bytes < <(record_sizes "$work/corpus/fortunes.records")
[ "$english_docs" -eq 1189 ] || fail "the Bible splits into $english_docs chapters, not 1189"
[ "$russian_docs" -gt 10000 ] || fail "only $russian_docs Russian fortunes"
LC_ALL=C awk -v first_id="$english_first_id" -v batch=200 -f "$here/documents_to_sql.awk" \
  "$work/corpus/bible.records" > "$work/corpus/bible_inserts.sql"
LC_ALL=C awk -v first_id="$russian_first_id" -v batch=2000 -f "$here/documents_to_sql.awk" \
  "$work/corpus/fortunes.records" > "$work/corpus/fortunes_inserts.sql"
mb() { awk -v b="$1" 'BEGIN { printf "%.2f MB", b / 1e6 }'; }
echo "King James Bible: $english_docs chapters, $(mb "$english_bytes") (ids $english_first_id..)"
echo "Russian fortunes: $russian_docs fortunes, $(mb "$russian_bytes") in Windows-1251 (ids $russian_first_id..)"
echo "INSERT scripts written in $(seconds_since "$phase") s"

echo
echo "== Indexing: INSERT INTO DOCUMENTS, whose trigger calls FT_INDEX"
# Loads an INSERT script written in Windows-1251 and reports the rate.
load() {
  local name=$1 script=$2 docs=$3 bytes=$4 first_id=$5 last_id=$(($5 + $3 - 1)) t0 ms words
  t0=$(now_ms)
  logged "load_$(basename "$script" .sql)" isql-fb -q -b -ch WIN1251 -i "$script" "$db"
  ms=$(($(now_ms) - t0))
  words=$(query <<< "SELECT SUM(WORD_COUNT) FROM $document_table WHERE DOC_ID BETWEEN $first_id AND $last_id;")
  awk -v name="$name" -v docs="$docs" -v bytes="$bytes" -v ms="$ms" -v words="$words" 'BEGIN {
    s = ms / 1000
    printf "%-17s %5d documents, %.2f MB in %4.1f s: %5.0f docs/s, %.2f MB/s (%d words stored, %.0f/s)\n",
      name ":", docs, bytes / 1e6, s, docs / s, bytes / 1e6 / s, words, words / s }'
}
load "King James Bible" "$work/corpus/bible_inserts.sql" "$english_docs" "$english_bytes" "$english_first_id"
load "Russian fortunes" "$work/corpus/fortunes_inserts.sql" "$russian_docs" "$russian_bytes" "$russian_first_id"
# Windows-1251 in, UTF-8 out: the first fortune reads back as its source.
written=$(LC_ALL=C awk 'BEGIN { RS = "\036"; FS = "\037" } NR == 1 { print $2 }' "$work/corpus/fortunes.records" |
  iconv -f WINDOWS-1251 -t UTF-8 | sed -e 's/[[:space:]]*$//' -e '/^$/d')
read_back=$(query <<< "SELECT CAST(BODY AS VARCHAR(8000)) FROM DOCUMENTS WHERE ID = $russian_first_id;")
[ "$written" == "$read_back" ] || fail "document $russian_first_id reads back as \"$read_back\", not \"$written\""
echo "document $russian_first_id read back over UTF-8: $(echo "$read_back" | head -1)"
# The index's size: rows and pages of its tables (those of the design in
# use) and bytes a posting (an occurrence of a stored word). gstat is fbstat
# in Debian's packages.
index_report() {
  local postings
  postings=$(query <<< "SELECT COALESCE(SUM(WORD_COUNT), 0) FROM $document_table;")
  query <<< "SELECT 'index: ' || COUNT(*) || ' documents, ' || COALESCE(SUM(WORD_COUNT), 0) || ' words stored' FROM $document_table;"
  echo "database file: $(awk -v b="$(stat -c %s "$db")" 'BEGIN { printf "%.1f MB", b / 1e6 }')"
  local gstat_program
  gstat_program=$(command -v fbstat || command -v gstat || true)
  [ -n "$gstat_program" ] || return 0
  "$gstat_program" -r "$db" 2>/dev/null | awk -v page=16384 -v tables="^$index_tables\$" -v postings="$postings" '
    /^[A-Z_$0-9]+ \([0-9]+\)$/ { table = $1; next }
    table !~ tables { next }
    /total records:/ { gsub(",", ""); for (i = 1; i <= NF; i++) if ($i == "records:") records[table] = $(i + 1) }
    /^ *Data pages:/ { gsub(",", ""); data[table] = $3 }
    /blob pages:/ { gsub(",", ""); for (i = 1; i <= NF; i++) if ($i == "pages:") blobs[table] += $(i + 1) }
    /leaf buckets:/ { gsub(",", ""); for (i = 1; i <= NF; i++) if ($i == "buckets:") leaves[table] += $(i + 1) }
    END {
      for (t in data) {
        pages = data[t] + blobs[t] + leaves[t]
        total += pages
        printf "  %-20s %8d rows, %6d data and blob pages, %5d index leaf pages: %5.1f MB\n", t, records[t],
          data[t] + blobs[t], leaves[t], pages * page / 1e6
      }
      printf "  the index tables together: %.1f MB; %.1f bytes a posting (%d postings)\n", total * page / 1e6,
        total * page / (postings > 0 ? postings : 1), postings }'
}
index_report
# After a bulk load: FT_MAINTAIN merges the index (the segment index into one
# segment); the statistics of the index's indexes, made on empty tables, are
# measured again; a sweep removes the record versions nobody needs any more.
# The work is done when the statements commit.
phase=$(now_ms)
query <<'SQL'
SET TERM ^ ;
EXECUTE BLOCK
AS
  DECLARE NAME VARCHAR(63);
BEGIN
  FOR SELECT TRIM(RDB$INDEX_NAME) FROM RDB$INDICES
      WHERE RDB$RELATION_NAME STARTING WITH 'FT_' AND RDB$INDEX_NAME NOT STARTING WITH 'RDB$' INTO :NAME DO
    EXECUTE STATEMENT 'SET STATISTICS INDEX "' || NAME || '"';
END^
SET TERM ; ^
COMMIT;
EXECUTE PROCEDURE FT_MAINTAIN;
COMMIT;
SQL
logged sweep gfix -sweep "$db"
echo "FT_MAINTAIN, SET STATISTICS INDEX on the index's indexes and a sweep: $(seconds_since "$phase") s"
index_report

# Writes the SQL that shows one search: KIND QUERY [MAX_ROWS].
search() { printf "SELECT LINE FROM DEMO_SEARCH('%s', '%s', %d);\n" "$1" "${2//\'/\'\'}" "${3:-5}"; }

echo
echo "== Searches: rank, id, title, score, snippet; the times are those of the search procedure, run twice"
# The first call loads the module into this connection; it is not a search.
{
  echo "SELECT '' FROM RDB\$DATABASE WHERE FT_SOUND_CODE('warm') < 0;"
  search words 'faith hope charity'
  search words 'shepherd green pastures'
  search phrase 'thou shalt not kill'
  search phrase 'the valley of the shadow of death'
  search prefix 'pestil'
  search sound 'Nebucadnezar'
  search words 'любовь деньги'
  search phrase 'чувство юмора'
  search prefix 'программист'
  search sound 'Иванофф'
  search words '"son of man" -daniel'
  search words 'любовь OR деньги -жена'
} | query | sed -e 's/^\([A-Z_]*(\)/\n\1/'

echo
echo "== Keeping the index current"
query <<'SQL'
SET TERM ^ ;
EXECUTE BLOCK RETURNS (LINE VARCHAR(200))
AS
  DECLARE STARTED TIMESTAMP;
  DECLARE ID BIGINT;
  DECLARE TXT BLOB SUB_TYPE TEXT;
  DECLARE CHANGED SMALLINT;
  DECLARE DOCS INTEGER = 0;
  DECLARE CHANGES INTEGER = 0;
BEGIN
  STARTED = CAST('NOW' AS TIMESTAMP);
  FOR SELECT ID, COALESCE(TITLE, '') || ' ' || COALESCE(BODY, '') FROM DOCUMENTS WHERE ID < 100000 INTO :ID, :TXT DO
  BEGIN
    EXECUTE PROCEDURE FT_INDEX (:ID, :TXT) RETURNING_VALUES :CHANGED;
    DOCS = DOCS + 1;
    CHANGES = CHANGES + CHANGED;
  END
  LINE = 'FT_INDEX of the ' || DOCS || ' chapters again: ' || CHANGES || ' with other words (by their CRC), '
    || CAST(DATEDIFF(MILLISECOND FROM STARTED TO CAST('NOW' AS TIMESTAMP)) AS INTEGER) || ' ms';
  SUSPEND;
END^
SET TERM ; ^
COMMIT;
SQL
query <<'SQL' | sed -e 's/^\([A-Z_]*(\)/\n\1/'
INSERT INTO DOCUMENTS (ID, TITLE, BODY) VALUES (900001, 'A new note', 'Firebird keeps this note in its full-text index. Заметка о Firebird.');
COMMIT;
SELECT 'inserted document 900001' FROM RDB$DATABASE;
SELECT LINE FROM DEMO_SEARCH('words', 'firebird заметка');
DELETE FROM DOCUMENTS WHERE ID = 900001;
COMMIT;
SELECT 'deleted document 900001' FROM RDB$DATABASE;
SELECT LINE FROM DEMO_SEARCH('words', 'firebird заметка');
SQL

# Makes the index NAME over DOCUMENTS' COLUMNS (FT_CREATE_INDEX's further
# arguments after them, if any: ", 'trigram'"), merges it and says how long each took.
create_named_index() {
  local phase
  phase=$(now_ms)
  query <<< "EXECUTE PROCEDURE FT_CREATE_INDEX('$1', 'DOCUMENTS', 'ID', '$2'$3); COMMIT;"
  echo "FT_CREATE_INDEX indexed every row and made the index's trigger in $(seconds_since "$phase") s"
  phase=$(now_ms)
  query <<< "EXECUTE PROCEDURE FT_MAINTAIN('$1'); COMMIT;"
  echo "FT_MAINTAIN merged it into one segment in $(seconds_since "$phase") s"
}

if [ "$design" = segments ]; then
  echo
  echo "== A named index over DOCUMENTS' columns: FT_CREATE_INDEX, the title weighted 3 to the body's 1"
  create_named_index DOCUMENTS_TEXT 'TITLE^3, BODY' ''
  query <<'SQL'
SELECT 'FT_INDEX_INFO: ' || DOCUMENTS || ' documents, ' || WORDS || ' words (' || DISTINCT_WORDS || ' distinct), '
  || SEGMENTS || ' segments (' || SEGMENTS_PER_LEVEL || '), ' || PENDING_ROWS || ' change rows pending, '
  || INDEX_BYTES || ' bytes of segment pages'
  FROM FT_INDEX_INFO('DOCUMENTS_TEXT');
SELECT 'FT_SEARCH(''title:psalms shepherd'') finds ' || D.TITLE || ', score ' || CAST(S.SCORE AS NUMERIC(9, 3))
  FROM FT_SEARCH('title:psalms shepherd', 3, 'DOCUMENTS_TEXT') S JOIN DOCUMENTS D ON D.ID = S.DOC_ID;
SELECT 'FT_SEARCH(''shepherd'') finds ' || D.TITLE || ', score ' || CAST(S.SCORE AS NUMERIC(9, 3))
  FROM FT_SEARCH('shepherd', 3, 'DOCUMENTS_TEXT') S JOIN DOCUMENTS D ON D.ID = S.DOC_ID;
SELECT FIRST 1 'FT_HIGHLIGHT: ' || CAST(FT_HIGHLIGHT(LEFT(D.BODY, 240), 'title:psalms "still waters" shepherd', '[', ']',
  'DOCUMENTS_TEXT', 'BODY') AS VARCHAR(2000))
  FROM FT_SEARCH('title:psalms "still waters"', 1, 'DOCUMENTS_TEXT') S JOIN DOCUMENTS D ON D.ID = S.DOC_ID;
SELECT 'FT_CHECK: ' || COUNT(*) || ' problems' FROM FT_CHECK('DOCUMENTS_TEXT');
SQL
fi

if [ "$design" = segments ]; then
  echo
  echo "== A substring index over DOCUMENTS: FT_CREATE_INDEX with the analyzer trigram, beside CONTAINING"
  create_named_index DOCUMENTS_SUBSTRINGS 'TITLE, BODY' ", 'trigram'"
  query <<'SQL'
SELECT 'FT_INDEX_INFO: ' || DOCUMENTS || ' documents, ' || WORDS || ' trigrams (' || DISTINCT_WORDS || ' distinct), '
  || INDEX_BYTES || ' bytes of segment pages'
  FROM FT_INDEX_INFO('DOCUMENTS_SUBSTRINGS');
SQL
  # Each pattern: the rows of the table's own predicate and of the index's
  # procedure, their times (ms), and how many rows one has that the other has
  # not (the procedure's keys are distinct: those of its rows that satisfy
  # the predicate, counted twice, against both counts).
  for search in "CONTAINING|nebuchad" "CONTAINING|ighteousnes" "CONTAINING|ПРОГРАММ" "CONTAINING|ёж" \
                "LIKE|%shepherd_%" "STARTING WITH|Psalms"; do
    predicate=${search%%|*}
    pattern=${search#*|}
    procedure=FT_$(echo "$predicate" | tr ' ' _)
    query <<SQL
SET TERM ^ ;
EXECUTE BLOCK RETURNS (LINE VARCHAR(300))
AS
  DECLARE P VARCHAR(100) CHARACTER SET UTF8 = '$pattern';
  DECLARE STARTED TIMESTAMP;
  DECLARE TABLE_ROWS INTEGER;
  DECLARE TABLE_MS INTEGER;
  DECLARE INDEX_ROWS INTEGER;
  DECLARE INDEX_MS INTEGER;
  DECLARE DIFFERENT INTEGER;
BEGIN
  STARTED = CAST('NOW' AS TIMESTAMP);
  SELECT COUNT(*) FROM DOCUMENTS WHERE TITLE $predicate :P OR BODY $predicate :P INTO TABLE_ROWS;
  TABLE_MS = DATEDIFF(MILLISECOND FROM STARTED TO CAST('NOW' AS TIMESTAMP));
  STARTED = CAST('NOW' AS TIMESTAMP);
  SELECT COUNT(*) FROM $procedure(:P, 'DOCUMENTS_SUBSTRINGS') INTO INDEX_ROWS;
  INDEX_MS = DATEDIFF(MILLISECOND FROM STARTED TO CAST('NOW' AS TIMESTAMP));
  SELECT COUNT(*) FROM $procedure(:P, 'DOCUMENTS_SUBSTRINGS') F JOIN DOCUMENTS D ON D.ID = F.DOC_ID
    WHERE D.TITLE $predicate :P OR D.BODY $predicate :P INTO DIFFERENT;
  DIFFERENT = TABLE_ROWS + INDEX_ROWS - 2 * DIFFERENT;
  LINE = RPAD('$predicate ''' || P || '''', 30) || ': ' || TABLE_ROWS || ' rows in ' || TABLE_MS || ' ms; '
    || '$procedure: ' || INDEX_ROWS || ' rows in ' || INDEX_MS || ' ms; rows that differ: ' || DIFFERENT;
  SUSPEND;
END^
SET TERM ; ^
SQL
  done
fi

if [ "$design" = segments ]; then
  echo
  echo "== A UTF8 database: articles in seven languages, a Unicode index made without naming an analyzer"
  utf8_db="$work/multilingual.fdb"
  rm -f "$utf8_db"
  printf "CREATE DATABASE '%s' PAGE_SIZE 16384 DEFAULT CHARACTER SET UTF8;\n" "$utf8_db" > "$work/create_utf8_database.sql"
  logged create_utf8_database isql-fb -q -b -i "$work/create_utf8_database.sql"
  for script in "${index_sql[@]}" "$here/multilingual.sql"; do
    logged "utf8_install_$(basename "$script" .sql)" isql-fb -q -b -ch UTF8 -i "$script" "$utf8_db"
  done
  utf8_query() {
    { echo "SET HEADING OFF;"; cat; } | isql-fb -q -b -ch UTF8 "$utf8_db" | sed -e 's/[[:space:]]*$//' -e '/^$/d'
  }
  utf8_query <<'SQL'
SELECT INDEX_NAME || ': ' || ANALYZER FROM FT_INDEXES ORDER BY INDEX_ID;
SELECT 'FT_WORDS(''Über die Straße München Größe''): ' || CAST(LIST(WORD, ' ') AS VARCHAR(500))
  FROM (SELECT WORD FROM FT_WORDS('Über die Straße München Größe', 0, 'ARTICLES_TEXT') ORDER BY POS);
SQL
  for search in "ARTICLES_TEXT|strasse MUNCHEN" "ARTICLES_TEXT|программисты ЕЛКИ" "ARTICLES_TEXT|cafe ecole" \
                "ARTICLES_TEXT|αθηνα" "ARTICLES_TEXT|gdansku żółte" "ARTICLES_TEXT|東京" "ARTICLES_TEXT|京都 OR 首都" \
                "ARTICLES_TEXT|дан*" "ARTICLES_STEMMED|haus" "ARTICLES_STEMMED|ёлка"; do
    index=${search%%|*}
    words=${search#*|}
    echo "FT_SEARCH('$words', 3, '$index'):"
    utf8_query <<SQL
SELECT '  ' || A.LANG || ' ' || A.ID || ' ' || A.TITLE || ' | '
  || FT_SNIPPET(A.BODY, '$words', '[', ']', 12, '...', '$index', 'BODY')
  FROM FT_SEARCH('$words', 3, '$index') S JOIN ARTICLES A ON A.ID = S.DOC_ID;
SQL
  done
fi

echo
echo "== Done in $(seconds_since "$started") s"
echo "To look around: source $work/firebird.env && isql-fb -ch UTF8 $db"
