#!/usr/bin/env bash
# Firebird with Vexa beside PostgreSQL 15 and SQLite FTS5 on the same corpus:
# each system builds a full-text index committing every batch of documents,
# with its full durability, then runs the same searches; a Markdown table of
# build time, size and search latency comes out, and one of how each system
# grows from one size to the next (WORK/table.md). With --substring, each
# builds a substring index of the corpus as well (Vexa's trigram index
# searched with FT_CONTAINING, and Firebird's own CONTAINING without an
# index; pg_trgm with ILIKE; FTS5's trigram tokenizer with LIKE) and runs the
# same patterns of 3, 5 and 10 characters; their table follows.
#
#   bash bench/scale/run.sh [options] [SIZE...]
#     SIZE           bible (the 1189 chapters) or a number of documents of the
#                    pool (verses, fortunes, manual page paragraphs: 562,047
#                    real documents on Debian 12, topped up past them with
#                    synthetic ones, see make_corpus.sh); default
#                    "bible 25000 250000 1000000"
#     --work DIR     where everything goes (default /tmp/vexa-scale-bench)
#     --corpus DIR   where the corpus is made, or kept from an earlier run
#                    (default WORK/corpus)
#     --systems LIST comma-separated: fts5, postgresql, firebird (default all)
#     --install LABEL=FILE,FILE...   a Firebird installation: the SQL files run
#                    in order into a new database, UTF8 when LABEL says UTF8,
#                    else WIN1251 (repeatable; default: UDF
#                    splitting, UDR splitting when sql/ has it, and the
#                    segment design when sql/ has fulltext_udr.sql, in a
#                    WIN1251 and in a UTF8 database, see below)
#     --sql-dir DIR  where the default installations' files are (default sql/)
#     --module-dir DIR  Vexa.so (and libvexa_udr.so) with their configuration;
#                    default: the build's modules with conf/'s files
#     --root-script FILE  the script that lays out a private Firebird root
#                    (default tools/firebird_root.sh)
#     --batch N      documents per commit (default 100)
#     --max-build-seconds S  stop loading after the batch that passes S
#                    seconds, and search what was loaded (the table says
#                    "stopped after N of M"): a bound for a slow system on the
#                    larger sizes
#     --driver FILE --module FILE   a built vexa_scale_bench and Vexa.so
#                    (default: built in build-scale/)
#     --substring    the substring benchmark as well
#     --substring-only  the substring benchmark alone
#     --substring-sql FILE,FILE...  the SQL files of the Firebird trigram
#                    index (default: splitting_udr.sql, fulltext_udr.sql,
#                    fulltext_indexes.sql and the file of sql/ that declares
#                    FT_CONTAINING, when there is one)
#     --substring-charset CS  the Firebird substring databases' character set
#                    (default UTF8)
#     --smoke        a small corpus, every hit compared across the systems,
#                    the substring searches' too (the CTest test); no table
#
# Runs as root on Debian 12 (it installs what it needs; PostgreSQL runs as
# the postgres user in a private cluster that the script starts and stops).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
work=/tmp/vexa-scale-bench
systems=fts5,postgresql,firebird
installs=()
sql_dir=$root/sql
module_dir=
batch=100
extra_run_options=()
root_script=$root/tools/firebird_root.sh
driver=
module=
smoke=0
words=1
substring=0
substring_sql=
substring_charset=UTF8
corpus=
sizes=()
command_line="bash bench/scale/run.sh $*"

fail() { echo "run.sh: $*" >&2; exit 1; }
while [ $# -gt 0 ]; do
  case "$1" in
    --work) work=$2; shift 2 ;;
    --corpus) corpus=$2; shift 2 ;;
    --systems) systems=$2; shift 2 ;;
    --install) installs+=("$2"); shift 2 ;;
    --sql-dir) sql_dir=$(cd "$2" && pwd); shift 2 ;;
    --module-dir) module_dir=$(cd "$2" && pwd); shift 2 ;;
    --batch) batch=$2; shift 2 ;;
    --max-build-seconds) extra_run_options+=(--max-build-seconds "$2"); shift 2 ;;
    --root-script) root_script=$2; shift 2 ;;
    --driver) driver=$2; shift 2 ;;
    --module) module=$2; shift 2 ;;
    --substring) substring=1; shift ;;
    --substring-only) substring=1; words=0; shift ;;
    --substring-sql) substring_sql=$2; shift 2 ;;
    --substring-charset) substring_charset=$2; shift 2 ;;
    --smoke) smoke=1; substring=1; shift ;;
    -*) fail "unknown option $1" ;;
    *) sizes+=("$1"); shift ;;
  esac
done
[ ${#sizes[@]} -gt 0 ] || sizes=(bible 25000 250000 1000000)
[ "$smoke" -eq 0 ] || sizes=(200)
mkdir -p "$work"
work=$(cd "$work" && pwd)

# pg_trgm, for the substring benchmark, ships in postgresql-15 itself.
bash "$root/tools/install_packages.sh" cmake ninja-build g++ libsqlite3-dev libpq-dev postgresql-15 \
  firebird3.0-server-core firebird3.0-utils libib-util firebird-dev libfbclient2 \
  bible-kjv bible-kjv-text fortunes fortunes-min fortunes-ru manpages man-db >/dev/null

if [ -z "$driver" ]; then
  cmake -S "$root" -B "$root/build-scale" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXA_BUILD_TESTS=ON \
    -DVEXA_WARNINGS_AS_ERRORS=ON >/dev/null
  targets=(vexa_scale_bench Vexa)
  if cmake --build "$root/build-scale" --target help | grep -q '^vexa_udr:'; then targets+=(vexa_udr); fi
  nice cmake --build "$root/build-scale" -j2 --target "${targets[@]}" >/dev/null
  driver=$root/build-scale/bench/scale/vexa_scale_bench
  module=$root/build-scale/Vexa.so
fi

# The module directory: the modules with the sample configuration.
if [ -z "$module_dir" ] && [[ ",$systems," == *,firebird,* ]]; then
  [ -f "$module" ] || fail "no module: give --module or --module-dir"
  module_dir=$work/module
  rm -rf "$module_dir"
  mkdir -p "$module_dir"
  cp "$module" "$root/conf/"{Vexa.ini,Vexa_skip.lst,Vexa_tkn.lst} "$module_dir/"
  udr=$(dirname "$module")/libvexa_udr.so
  udr_built=$(find "$(dirname "$module")" -name libvexa_udr.so -print -quit 2>/dev/null || true)
  [ -f "$udr" ] || udr=$udr_built
  [ -z "$udr" ] || cp "$udr" "$module_dir/"
fi

# The default installations, from whatever sql/ holds: the portable index
# over the splitting primitives of the UDFs or of the UDR module when their
# files are there, else over the UDFs as the index used them before; and the
# segment design, served by the UDR module, when its file is there.
if [ ${#installs[@]} -eq 0 ] && [[ ",$systems," == *,firebird,* ]]; then
  index=("$sql_dir/fulltext_index.sql")
  [ ! -f "$sql_dir/fulltext_search.sql" ] || index+=("$sql_dir/fulltext_search.sql")
  [ ! -f "$sql_dir/fulltext_query.sql" ] || index+=("$sql_dir/fulltext_query.sql")
  index+=("$sql_dir/example_documents.sql")
  list() { local IFS=,; echo "$*"; }
  if [ -f "$sql_dir/splitting_udf.sql" ]; then
    installs+=("Firebird UDF=$(list "$sql_dir/vexa_functions.sql" "$sql_dir/splitting_udf.sql" "${index[@]}")")
  else
    installs+=("Firebird UDF=$(list "$sql_dir/vexa_functions.sql" "${index[@]}")")
  fi
  if [ -f "$sql_dir/splitting_udr.sql" ]; then
    if [ -f "$module_dir/libvexa_udr.so" ]; then
      installs+=("Firebird UDR=$(list "$sql_dir/splitting_udr.sql" "${index[@]}")")
      if [ -f "$sql_dir/fulltext_udr.sql" ]; then
        installs+=("Firebird segments=$(list "$sql_dir/splitting_udr.sql" "$sql_dir/fulltext_udr.sql" "$sql_dir/example_documents.sql")")
        # The same in a UTF8 database, where the index is a Unicode one (its
        # words are not the others', so the smoke run's hit check leaves it out).
        [ "$smoke" -eq 1 ] ||
          installs+=("Firebird segments UTF8=$(list "$sql_dir/splitting_udr.sql" "$sql_dir/fulltext_udr.sql" "$sql_dir/example_documents.sql")")
      fi
    else
      echo "run.sh: $sql_dir has splitting_udr.sql but $module_dir has no libvexa_udr.so: no UDR run" >&2
    fi
  fi
fi

# The Firebird trigram index: the segment design with its named indexes, and
# the file that declares FT_CONTAINING when it is another.
if [ "$substring" -eq 1 ] && [ -z "$substring_sql" ] && [[ ",$systems," == *,firebird,* ]]; then
  declaring=$(grep -l -E 'PROCEDURE +FT_CONTAINING' "$sql_dir"/*.sql 2>/dev/null | head -n 1 || true)
  if [ -z "$declaring" ]; then
    echo "run.sh: no file of $sql_dir declares FT_CONTAINING: the substring runs leave out Vexa's trigram index" >&2
  elif [ ! -f "$module_dir/libvexa_udr.so" ]; then
    echo "run.sh: $module_dir has no libvexa_udr.so: the substring runs leave out Vexa's trigram index" >&2
  else
    files=("$sql_dir/splitting_udr.sql" "$sql_dir/fulltext_udr.sql" "$sql_dir/fulltext_indexes.sql")
    [[ " ${files[*]} " == *" $declaring "* ]] || files+=("$declaring")
    substring_sql=$(IFS=,; echo "${files[*]}")
  fi
fi

# The corpus.
[ -n "$corpus" ] || corpus=$work/corpus
if [ "$smoke" -eq 1 ]; then
  [ -f "$corpus/first-200.records" ] || bash "$here/make_corpus.sh" --man-pages 30 "$corpus" 200 >/dev/null
else
  # Smaller sizes are the beginning of the largest one's order: a new size
  # makes them all again.
  missing=0
  counts=()
  for size in "${sizes[@]}"; do
    [ "$size" = bible ] || counts+=("$size")
    [ "$size" = bible ] || [ -f "$corpus/first-$size.source" ] || missing=1
  done
  for made in "$corpus"/first-*.records; do
    [ ! -f "$made" ] || counts+=("$(basename "$made" .records | sed 's/^first-//')")
  done
  if [ ! -f "$corpus/bible.source" ] || [ "$missing" -eq 1 ]; then
    rm -f "$corpus"/first-*.records "$corpus"/first-*.source
    bash "$here/make_corpus.sh" "$corpus" $(printf '%s\n' "${counts[@]}" | sort -un)
  fi
fi

# PostgreSQL: a private cluster on a Unix socket only, fsync and
# synchronous_commit on (the defaults), stopped when the script ends.
pg_bin=/usr/lib/postgresql/15/bin
pg_dir=$work/postgresql
pg_user=$(id -un)
as_pg() { "$@"; }
if [ "$(id -u)" -eq 0 ]; then
  pg_user=postgres
  as_pg() { runuser -u postgres -- "$@"; }
fi
pg_started=0
stop_postgresql() { [ "$pg_started" -eq 0 ] || as_pg "$pg_bin/pg_ctl" -D "$pg_dir/data" -m fast -w stop >/dev/null || true; }
trap stop_postgresql EXIT
case ",$systems," in *,postgresql,*)
  rm -rf "$pg_dir"
  mkdir -p "$pg_dir/socket"
  [ "$(id -u)" -ne 0 ] || chown -R postgres "$pg_dir"
  as_pg "$pg_bin/initdb" -D "$pg_dir/data" -U "$pg_user" --auth=trust --encoding=UTF8 --locale=C.UTF-8 >"$pg_dir/initdb.log"
  as_pg "$pg_bin/pg_ctl" -D "$pg_dir/data" -l "$pg_dir/server.log" -w start \
    -o "-c listen_addresses='' -c unix_socket_directories='$pg_dir/socket' -c fsync=on -c synchronous_commit=on" >/dev/null
  pg_started=1
esac
conninfo="host=$pg_dir/socket user=$pg_user dbname=postgres"

# Firebird: a private root allowed to load the module directory, shared by
# the installations (each gets a database of its own).
case ",$systems," in *,firebird,*)
  eval "$(bash "$root_script" "$work/firebird" "$module_dir")"
esac

max_rows=20
runs=3
[ "$smoke" -eq 0 ] || { max_rows=1000000; runs=1; }
results=()
substring_results=()
for size in "${sizes[@]}"; do
  file=$corpus/first-$size.records
  [ "$size" != bible ] || file=$corpus/bible.records
  run_dir=$work/runs/$size
  rm -rf "$run_dir"
  mkdir -p "$run_dir"
  # run COMMAND SEARCHES NAME SYSTEM [OPTION VALUE]...: a run of the driver,
  # its result added to the list of its table
  run() {
    local command=$1 searches=$2 name=$3 system=$4
    shift 4
    echo "$name: started at $(date -u +%H:%M:%S), $(uptime | sed 's/.*load/load/')"
    "$driver" "$command" "$system" "$file" "$searches" "$run_dir/$name" --label "$label" --batch "$batch" \
      --max-rows "$max_rows" --runs "$runs" ${extra_run_options[@]+"${extra_run_options[@]}"} "$@"
    if [ "$command" = run ]; then results+=("$run_dir/$name/result.txt"); else substring_results+=("$run_dir/$name/result.txt"); fi
    dirs+=("$run_dir/$name")
    grep -E '^(build_ms|indexed|postings|index_bytes)' "$run_dir/$name/result.txt" | tr '\n' ' '
    echo
  }
  if [ "$words" -eq 1 ]; then
    queries=$run_dir/queries.tsv
    "$driver" queries "$file" "$root/conf/Vexa_skip.lst" "$root/conf/Vexa_tkn.lst" "$queries"
    echo "== $size: $(tr -cd '\036' < "$file" | wc -c) documents, $(wc -l < "$queries") queries"
    dirs=()
    case ",$systems," in *,fts5,*) label="SQLite FTS5"; run run "$queries" fts5 fts5 ;; esac
    case ",$systems," in *,postgresql,*) label="PostgreSQL 15"; run run "$queries" postgresql postgresql --conninfo "$conninfo" ;; esac
    case ",$systems," in *,firebird,*)
      for install in "${installs[@]}"; do
        label=${install%%=*}
        charset=WIN1251
        [[ "$label" != *UTF8* ]] || charset=UTF8
        run run "$queries" "$(echo "$label" | tr -c 'A-Za-z0-9\n' '-' | tr 'A-Z' 'a-z')" firebird --sql "${install#*=}" --charset "$charset"
      done
    esac
    [ "$smoke" -eq 0 ] || "$driver" check "${dirs[@]}"
  fi
  if [ "$substring" -eq 1 ]; then
    patterns=$run_dir/patterns.tsv
    "$driver" patterns "$file" "$patterns"
    echo "== $size: $(tr -cd '\036' < "$file" | wc -c) documents, $(wc -l < "$patterns") substring patterns"
    dirs=()
    case ",$systems," in *,fts5,*) label="SQLite FTS5 trigram"; run substring "$patterns" substring-fts5 fts5 ;; esac
    case ",$systems," in *,postgresql,*)
      label="PostgreSQL 15 pg_trgm"; run substring "$patterns" substring-postgresql postgresql --conninfo "$conninfo" ;;
    esac
    case ",$systems," in *,firebird,*)
      if [ -n "$substring_sql" ]; then
        label="Firebird + Vexa trigram"
        run substring "$patterns" substring-firebird firebird --sql "$substring_sql" --charset "$substring_charset"
      fi
      label="Firebird CONTAINING"; run substring "$patterns" substring-firebird-scan firebird-scan --charset "$substring_charset"
    esac
    [ "$smoke" -eq 0 ] || "$driver" substring-check "${dirs[@]}"
  fi
done

if [ "$smoke" -eq 0 ]; then
  rm -f "$work/table.md"
  [ "$words" -eq 0 ] || "$driver" table "$command_line" "${results[@]}" | tee "$work/table.md"
  [ "$substring" -eq 0 ] || "$driver" substring-table "$command_line" "${substring_results[@]}" | tee -a "$work/table.md"
fi
