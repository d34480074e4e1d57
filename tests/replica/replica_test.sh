#!/usr/bin/env bash
# A read-only replica that serves searches: Debian's Firebird 4.0 (in the root
# of tools/firebird4_root.sh) publishes a primary's changes to a replica on
# this machine by journal files, and the segment index rides along in its
# tables. Documents indexed, updated and removed on the primary, and a merge
# there, are found on the replica once it has applied the journal, with the
# same documents and scores; READ COMMITTED searches on the replica meet more
# pending rows than a search would flush and answer without writing; FT_CHECK
# is clean on both.
#
#   bash tests/replica/replica_test.sh BUILD_DIR
#
# BUILD_DIR holds frame/udr/libvexa_udr.so. Runs as root on Debian 12.
set -euo pipefail

build=$(cd "${1:?usage: replica_test.sh BUILD_DIR}" && pwd)
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
fail() { echo "replica_test.sh: $*" >&2; exit 1; }
[ -f "$build/frame/udr/libvexa_udr.so" ] || fail "no UDR module in $build"

fb_root=$(bash "$root/tools/firebird4_root.sh")
fb_lib=/usr/lib/x86_64-linux-gnu/firebird/4.0
work=/vexa-replica  # inside the root
documents=150       # more than a search flushes, one commit each

# The module and its configuration where Firebird 4.0 looks for UDR modules
# (its packaged plugins.conf names $(dir_plugins)/udr).
cp "$build/frame/udr/libvexa_udr.so" "$root"/conf/* "$fb_root$fb_lib/plugins/udr/"
rm -rf "$fb_root$work"
mkdir -p "$fb_root$work/journal" "$fb_root$work/archive"
cp -r "$root/sql" "$fb_root$work/sql"

port=$(( 41000 + RANDOM % 8000 ))
while ss -ltn | grep -q ":$port "; do port=$(( port + 1 )); done
sed -i "s/^RemoteServicePort.*/RemoteServicePort = $port/" "$fb_root/etc/firebird/4.0/service-port.conf"
cat > "$fb_root$fb_lib/replication.conf" <<EOF
database
{
}
database = $work/primary.fdb
{
	journal_directory = $work/journal
	journal_archive_directory = $work/archive
	journal_archive_timeout = 1
}
database = $work/replica.fdb
{
	journal_source_directory = $work/archive
}
EOF
password=$(sed -n 's/^ISC_PASSWORD="\(.*\)"$/\1/p' "$fb_root/etc/firebird/4.0/SYSDBA.password")
[ -n "$password" ] || fail "no SYSDBA password in the root's /etc/firebird/4.0/SYSDBA.password"

in_root() { chroot "$fb_root" env ISC_USER=SYSDBA ISC_PASSWORD="$password" "$@"; }
# Runs SQL from standard input (embedded on a file before the server starts,
# else through the server: DATABASE is primary or replica).
embedded() { in_root "$fb_lib/bin/isql-fb" -q -b -ch UTF8 "$work/$1.fdb"; }
served() {
  { echo "SET HEADING OFF;"; cat; echo "COMMIT;"; } |
    in_root "$fb_lib/bin/isql-fb" -q -b -ch UTF8 "127.0.0.1/$port:$work/$1.fdb" 2> >(grep -v '^Rolling back work\.$' >&2) |
    sed -e 's/^[[:space:]]*//' -e 's/[[:space:]]*$//' -e '/^$/d'
}

printf "CREATE DATABASE '%s' PAGE_SIZE 16384 DEFAULT CHARACTER SET UTF8;\n" "$work/primary.fdb" |
  in_root "$fb_lib/bin/isql-fb" -q -b
version=$(embedded primary <<< "SET HEADING OFF; SELECT RDB\$GET_CONTEXT('SYSTEM', 'ENGINE_VERSION') FROM RDB\$DATABASE;" |
  tr -d ' \n')
echo "== a primary and a read-only replica on Firebird $version, port $port"
for script in splitting_udr fulltext_udr fulltext_indexes; do
  in_root "$fb_lib/bin/isql-fb" -q -b -ch UTF8 -i "$work/sql/$script.sql" "$work/primary.fdb"
done
embedded primary <<'SQL'
CREATE TABLE DOCS (ID INTEGER NOT NULL PRIMARY KEY, TITLE VARCHAR(200), BODY BLOB SUB_TYPE TEXT);
COMMIT;
EXECUTE PROCEDURE FT_CREATE_INDEX('DOCS_TEXT', 'DOCS', 'ID', 'TITLE^2, BODY');
COMMIT;
ALTER DATABASE ENABLE PUBLICATION;
ALTER DATABASE INCLUDE ALL TO PUBLICATION;
COMMIT;
SQL
cp "$fb_root$work/primary.fdb" "$fb_root$work/replica.fdb"
in_root "$fb_lib/bin/gfix" -replica read_only "$work/replica.fdb"

# (chroot and env each become the server, so that $! is its process.)
chroot "$fb_root" env ISC_USER=SYSDBA ISC_PASSWORD="$password" "$fb_lib/bin/firebird" > /dev/null 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true' EXIT
for _ in $(seq 1 50); do ss -ltn | grep -q ":$port " && break; sleep 0.2; done
ss -ltn | grep -q ":$port " || fail "the Firebird 4.0 server did not listen on $port"

# The state both must reach: the table's rows and the index's segments.
table_state() { served "$1" <<< "SELECT COUNT(*) || ' rows, ' || COALESCE(SUM(ID), 0) || ' ' || COALESCE(SUM(CHAR_LENGTH(TITLE)), 0) FROM DOCS;"; }
# Waits until the replica's table is the primary's; prints the seconds it took.
wait_for_replica() {
  local started=$SECONDS wanted
  wanted=$(table_state primary)
  until [ "$(table_state replica)" = "$wanted" ]; do
    [ $((SECONDS - started)) -lt 120 ] || fail "the replica has '$(table_state replica)', not '$wanted', after 120 s"
    sleep 0.5
  done
  echo $((SECONDS - started))
}
# Every search on both, READ ONLY READ COMMITTED as a search-only client
# starts it: the same documents and scores.
searches=("river" "stone" "river stone" '"stone river"' "riv*" "rivers OR stones" "quiet -river" "title:lake")
compare() {
  local query sql
  for query in "${searches[@]}"; do
    sql="SET TRANSACTION READ ONLY ISOLATION LEVEL READ COMMITTED;
      SELECT DOC_ID, CAST(SCORE AS NUMERIC(18, 9)) FROM FT_SEARCH('$query', 1000, 'DOCS_TEXT') ORDER BY 2 DESC, 1;
      COMMIT;"
    if ! diff <(served primary <<< "$sql") <(served replica <<< "$sql") > "$fb_root$work/differences"; then
      echo "primary: $(info primary); replica: $(info replica)" >&2
      head -20 "$fb_root$work/differences" >&2
      fail "FT_SEARCH('$query') differs on the replica after $1"
    fi
  done
  for database in primary replica; do
    [ "$(served "$database" <<< "SELECT COUNT(*) FROM FT_CHECK('DOCS_TEXT');")" = 0 ] || fail "FT_CHECK finds problems on the $database after $1"
  done
  echo "$1: ${#searches[@]} searches the same on both, FT_CHECK clean on both"
}
info() { served "$1" <<< "SELECT DOCUMENTS || ' documents, ' || SEGMENTS || ' segments, ' || PENDING_ROWS || ' rows pending' FROM FT_INDEX_INFO('DOCS_TEXT');"; }

words=(river stone lake quiet forest meadow)
for id in $(seq 1 "$documents"); do
  title="${words[id % 6]} ${words[(id / 6) % 6]}"
  body="document $id: ${words[id % 5]} ${words[id % 4]} ${words[id % 3]} rivers and stones"
  echo "INSERT INTO DOCS VALUES ($id, '$title', '$body'); COMMIT;"
done | served primary
echo "$documents documents indexed on the primary, a commit each: on the replica in $(wait_for_replica) s"
echo "replica: $(info replica)"
compare "indexing"

served primary <<'SQL'
UPDATE DOCS SET TITLE = 'quiet lake', BODY = 'changed: a quiet lake' WHERE MOD(ID, 7) = 0;
COMMIT;
DELETE FROM DOCS WHERE MOD(ID, 10) = 3;
COMMIT;
SQL
echo "updates and deletes on the primary: on the replica in $(wait_for_replica) s"
compare "updates and deletes"

served primary <<< "EXECUTE PROCEDURE FT_MAINTAIN('DOCS_TEXT'); COMMIT;"
started=$SECONDS
until [ "$(info replica)" = "$(info primary)" ]; do
  [ $((SECONDS - started)) -lt 120 ] || fail "the replica's index is '$(info replica)', the primary's '$(info primary)'"
  sleep 0.5
done
echo "FT_MAINTAIN on the primary ($(info primary)): on the replica in $((SECONDS - started)) s"
compare "the merge"
if served replica <<< "EXECUTE PROCEDURE FT_MAINTAIN('DOCS_TEXT');" 2> "$fb_root$work/maintain.err"; then
  fail "FT_MAINTAIN ran on the read-only replica"
fi
grep -q "takes no writes" "$fb_root$work/maintain.err" || fail "FT_MAINTAIN on the replica: $(cat "$fb_root$work/maintain.err")"
echo "FT_MAINTAIN on the replica is refused: the database takes no writes"
echo "== replica test passed"
