#!/bin/sh
# Runs a cross-built Windows program under Wine, in the prefix named by
# WINEPREFIX (the test fixture in cmake/wine.cmake creates it once per run).
if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-run.sh: WINEPREFIX is not set; run the tests through ctest" >&2
  exit 2
fi
WINEDEBUG=${WINEDEBUG:--all}
export WINEPREFIX WINEDEBUG
WINE=${PELLMOOR_WINE:-/usr/lib/wine/wine64}
[ -x "$WINE" ] || WINE=$(command -v wine64 || command -v wine)
exec "$WINE" "$@"
