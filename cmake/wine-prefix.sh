#!/bin/sh
# Creates or destroys the throwaway Wine prefix that one test run shares.
#   wine-prefix.sh create DIR   a fresh prefix with a persistent server
#   wine-prefix.sh destroy DIR  stops that server and deletes the prefix
# Everything Wine starts here writes to a log file, never to our standard
# output: a server or desktop process that inherited a pipe from the test
# runner would keep it open and the runner would wait forever.
set -eu
action=$1
dir=$2
bin=/usr/lib/wine
WINE=${PELLMOOR_WINE:-$bin/wine64}
SERVER=${PELLMOOR_WINESERVER:-$bin/wineserver}
[ -x "$SERVER" ] || SERVER=$bin/wineserver64
export WINEPREFIX="$dir" WINEDEBUG=-all
here=$(cd "$(dirname "$0")" && pwd)

case "$action" in
create)
  if [ -d "$dir" ]; then "$SERVER" -k >/dev/null 2>&1 || true; rm -rf "$dir"; fi
  mkdir -p "$dir"
  log="$dir.log"
  "$SERVER" -p >"$log" 2>&1 </dev/null
  "$WINE" wineboot --init >>"$log" 2>&1 </dev/null
  "$WINE" regedit /S "Z:$(printf %s "$here/wine-settings.reg" | tr / '\\')" >>"$log" 2>&1 </dev/null
  # The null graphics driver is read when the desktop process starts: restart.
  "$SERVER" -k >>"$log" 2>&1 || true
  "$SERVER" -w >>"$log" 2>&1 || true
  "$SERVER" -p >>"$log" 2>&1 </dev/null
  "$WINE" wineboot >>"$log" 2>&1 </dev/null
  ;;
destroy)
  "$SERVER" -k >/dev/null 2>&1 || true
  "$SERVER" -w >/dev/null 2>&1 || true
  rm -rf "$dir" "$dir.log"
  ;;
*)
  echo "usage: wine-prefix.sh create|destroy DIR" >&2
  exit 2
  ;;
esac
