#!/bin/sh
# Runs the end-to-end driver under Wine with its standard error going to a file that the driver
# reads back: Wine writes there the traces of the programs the driver starts.
#
#   run_e2e.sh DRIVER_EXE FARTHOM_EXE TRACE_FILE [GOOGLETEST_FLAG...]
set -eu
driver=$1 farthom=$2 trace=$3
shift 3

if [ -z "${DISPLAY:-}" ]; then
  echo "The end-to-end tests show real dialogs and need a display: run them under xvfb-run" \
       "(scripts/run-tests does)." >&2
  exit 1
fi

# Wine sees the Linux file system as drive Z:.
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }

: > "$trace"
status=0
wine "$driver" --farthom="$(windows_path "$farthom")" --trace="$(windows_path "$trace")" "$@" \
  2>>"$trace" || status=$?
if [ "$status" -ne 0 ]; then
  echo "--- the last messages from Wine and the programs (all of them in $trace):"
  tail -n 20 "$trace"
fi
exit "$status"
