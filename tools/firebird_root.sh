#!/usr/bin/env bash
# Lays out a private Firebird 3.0 root in which external functions (UDFs) and
# UDR modules may be loaded from one directory, without touching /etc: the
# packaged root's libraries, plug-ins and messages by symbolic links, its
# character sets copied (the engine refuses a charset module that resolves
# outside its root), and a firebird.conf and a plugins.conf of its own (the
# UDR engine looks for lib<name>.so in the module directory). Prints the
# environment that selects it.
#
#   eval "$(bash tools/firebird_root.sh ROOT_DIR MODULE_DIR [ServerMode])"
#
# ROOT_DIR is made (or made anew); MODULE_DIR is where Vexa.so and its
# configuration lie, and libvexa_udr.so unless FIREBIRD_UDR_DIR names another
# directory for it; ServerMode is Classic (the default: several processes
# may open one database), Super or SuperClassic. Extra firebird.conf lines may
# be given in FIREBIRD_CONF_EXTRA.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: firebird_root.sh ROOT_DIR MODULE_DIR [ServerMode]" >&2
  exit 2
fi
root=$1
module_dir=$(cd "$2" && pwd)
server_mode=${3:-Classic}
packaged=/usr/lib/x86_64-linux-gnu/firebird/3.0
[ -d "$packaged" ] || { echo "firebird_root.sh: no Firebird 3.0 in $packaged" >&2; exit 1; }

rm -rf "$root"
mkdir -p "$root/intl" "$root/lock" "$root/tmp"
root=$(cd "$root" && pwd)
for entry in lib plugins firebird.msg; do ln -s "$packaged/$entry" "$root/$entry"; done
cp -L "$packaged"/intl/* "$root/intl/"
cat > "$root/firebird.conf" <<CONF
UdfAccess = Restrict $module_dir
ServerMode = $server_mode
${FIREBIRD_CONF_EXTRA:-}
CONF
cat > "$root/plugins.conf" <<CONF
Plugin = UDR {
	Module = \$(dir_plugins)/udr_engine
	Config = UDR_config
}

Config = UDR_config {
	path = ${FIREBIRD_UDR_DIR:-$module_dir}
}
CONF

echo "export FIREBIRD='$root' FIREBIRD_LOCK='$root/lock' FIREBIRD_TMP='$root/tmp'"
