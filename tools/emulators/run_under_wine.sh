#!/usr/bin/env bash
# Runs a Windows x86-64 program under wine64, headless and quiet, with the
# ANSI code page Windows-1251 (what ru_RU gives), in a Wine prefix of its own:
# $VEXA_WINEPREFIX when set, else one per user under the temporary directory,
# created on first use.
#
#   run_under_wine.sh PROGRAM.exe [ARGUMENT...]
set -euo pipefail

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || { echo "run_under_wine.sh: $wine not found (package wine64)" >&2; exit 127; }

export WINEPREFIX=${VEXA_WINEPREFIX:-${TMPDIR:-/tmp}/vexa-wine-$(id -u)}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  # Several tests may start at once: one of them creates the prefix.
  exec 9>"$WINEPREFIX.lock"
  flock 9
  [ -f "$WINEPREFIX/system.reg" ] || { env LC_ALL=ru_RU.UTF-8 "$wine" wineboot --init >/dev/null 2>&1 || true; /usr/lib/wine/wineserver -w || true; }
  flock -u 9
fi
# Debian's wineserver wrapper starts the server with -p0, so that it quits the
# moment its last program ends, and a program started in that moment fails to
# connect. Started here first, it lingers for ten seconds after the last one.
/usr/lib/wine/wineserver64 -p10 >/dev/null 2>&1 || true
exec env LC_ALL=ru_RU.UTF-8 "$wine" "$@"
