#!/usr/bin/env bash
# Deploys Vexa as the README's "Deploying to a Firebird server" says, and uses
# it as a web application would:
#   1. installs the Debian package with apt-get (tools/package.sh builds it);
#   2. takes the system's firebird.conf and changes in it what the package's
#      install said to change, in a private server root: the system's own
#      configuration is never touched;
#   3. starts the firebird3.0-server package's server on 127.0.0.1 and a free
#      port, its UDR engine loading from the packaged UDR directory, creates a
#      WIN1251 database and a UTF8 one over TCP and installs the packaged SQL
#      of the segment index into both with isql;
#   4. runs search_client.js, a Node.js program on the npm registry's
#      node-firebird, which indexes and searches in UTF-8, Cyrillic in and
#      out, and in the UTF8 database a Unicode index in six languages.
# Removes the package again unless it was installed before. Run as root.
#   bash tests/deploy/deploy_test.sh [VEXA_DEB]
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
[ "$(id -u)" -eq 0 ] || { echo "deploy_test.sh: installs a package, run it as root" >&2; exit 1; }

bash "$root/tools/install_packages.sh" firebird3.0-server firebird3.0-utils libib-util
command -v npm >/dev/null || bash "$root/tools/install_packages.sh" nodejs npm

deb=${1:-}
if [ -z "$deb" ]; then
  deb=$(bash "$root/tools/package.sh" deb | tail -n 1)
fi
deb=$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")

work=$(mktemp -d "${TMPDIR:-/tmp}/vexa-deploy-XXXXXX")
server_pid=
installed_before=$(dpkg-query -W -f='${Status}' vexa 2>/dev/null | grep -c 'install ok installed' || true)
cleanup() {
  # The server now and then ignores SIGTERM: SIGKILL when it has not ended 5 s later.
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$server_pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  [ "$installed_before" -ne 0 ] || apt-get purge -y -q vexa >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

step() { echo "== $*"; }

step "install $(basename "$deb")"
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$deb" 2>&1 | tee "$work/install.log"
udf_dir=$(dpkg -L vexa | sed -n 's|/Vexa\.so$||p')
udr_dir=$(dpkg -L vexa | sed -n 's|/libvexa_udr\.so$||p')
[ -n "$udr_dir" ] || { echo "the package holds no UDR module" >&2; exit 1; }
sql_dir=$(dpkg -L vexa | sed -n 's|/vexa_functions\.sql$||p')

step "private server root, with the system's firebird.conf changed as the install said"
eval "$(FIREBIRD_UDR_DIR=$udr_dir bash "$root/tools/firebird_root.sh" "$work/root" "$udf_dir" Super)"
wanted=$(tr -d '\r' <"$work/install.log" | grep -A1 '^with$' | sed -n 's/^ *\(UdfAccess = .*\)$/\1/p')
[ -n "$wanted" ] || { echo "the install did not say how to set UdfAccess" >&2; exit 1; }
sed "s|^UdfAccess = .*|$wanted|" /etc/firebird/3.0/firebird.conf >"$FIREBIRD/firebird.conf"
grep -qx "$wanted" "$FIREBIRD/firebird.conf"
port=$(node -e 'const s = require("net").createServer().listen(0, "127.0.0.1", () => { console.log(s.address().port); s.close(); })')
cat >>"$FIREBIRD/firebird.conf" <<CONF
RemoteServicePort = $port
RemoteBindAddress = 127.0.0.1
SecurityDatabase = $work/security3.fdb
CONF
export ISC_USER=SYSDBA ISC_PASSWORD=deploytest
printf "CREATE DATABASE '%s';\nCREATE USER %s PASSWORD '%s' USING PLUGIN Srp;\nCOMMIT;\n" \
  "$work/security3.fdb" "$ISC_USER" "$ISC_PASSWORD" | isql-fb -q -bail

step "server on 127.0.0.1:$port"
/usr/sbin/firebird >"$work/server.log" 2>&1 &
server_pid=$!
for _ in $(seq 300); do
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
  kill -0 "$server_pid" 2>/dev/null || { cat "$work/server.log" "$FIREBIRD/firebird.log" >&2; exit 1; }
  sleep 0.1
done

step "database over TCP, and the packaged SQL"
database="$work/fulltext.fdb"
remote="127.0.0.1/$port:$database"
echo "CREATE DATABASE '$remote' DEFAULT CHARACTER SET WIN1251;" | isql-fb -q -bail
for script in splitting_udr fulltext_udr fulltext_indexes example_documents; do
  isql-fb -q -bail -i "$sql_dir/$script.sql" "$remote"
done
unicode_database="$work/unicode.fdb"
echo "CREATE DATABASE '127.0.0.1/$port:$unicode_database' DEFAULT CHARACTER SET UTF8;" | isql-fb -q -bail
for script in splitting_udr fulltext_udr fulltext_indexes; do
  isql-fb -q -bail -i "$sql_dir/$script.sql" "127.0.0.1/$port:$unicode_database"
done

step "the module's own words for the client's sample text"
sample=$(sed -n "s/^const SAMPLE_TEXT = '\(.*\)';$/\1/p" "$here/search_client.js")
vexa split "$udf_dir" "$(printf '%s' "$sample" | iconv -f UTF-8 -t WINDOWS-1251)" |
  sed '/^crc /,$d' | iconv -f WINDOWS-1251 -t UTF-8 >"$work/expected_words.txt"

step "Node.js client (node-firebird, UTF8)"
mkdir "$work/client"
cp "$here/package.json" "$here/package-lock.json" "$here/search_client.js" "$work/client/"
(cd "$work/client" && npm ci --no-audit --no-fund --loglevel=error)
export FIREBIRD_HOST=127.0.0.1 FIREBIRD_PORT=$port FIREBIRD_DATABASE=$database FIREBIRD_UNICODE_DATABASE=$unicode_database
# node-firebird refuses some Srp logins the server accepts (isql logs in with
# them), every time for the same password verifier: a new verifier (the
# password set again, with a new salt) until the driver logs in.
login_probe='require("node-firebird").attach({ host: process.env.FIREBIRD_HOST, port: Number(process.env.FIREBIRD_PORT),
  database: process.env.FIREBIRD_DATABASE, user: process.env.ISC_USER, password: process.env.ISC_PASSWORD },
  (error, db) => { if (error) { console.error(error.message); process.exit(1); } db.detach(() => process.exit(0)); });'
for attempt in 1 2 3 4 5; do
  (cd "$work/client" && node -e "$login_probe") && break
  [ "$attempt" -lt 5 ] || { echo "node-firebird could not log in with five verifiers" >&2; exit 1; }
  echo "ALTER USER $ISC_USER PASSWORD '$ISC_PASSWORD' USING PLUGIN Srp; COMMIT;" | isql-fb -q -bail "$remote"
done
node "$work/client/search_client.js" "$work/expected_words.txt"
