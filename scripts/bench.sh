#!/bin/bash
# Runs the benchmarks under Wine on a private Xvfb display and prints their
# tables. Figures, not pass/fail.
set -uo pipefail
FW_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$FW_ROOT/scripts/lib/wine.sh"
fw_detect_arch
BIN=$FW_BUILD/$FW_ARCH/bin
fw_prefix
cleanup() { fw_wineserver_stop; fw_xvfb_stop; }
trap cleanup EXIT

run_on_screen() {  # screen size, program, args...
  local size=$1
  shift
  fw_xvfb_start "$size" || return 2
  fw_wineserver_start
  "$WINE" wineboot >/dev/null 2>&1 </dev/null
  local log=$FW_BUILD/bench.log
  "$WINE" "$@" >"$log" 2>&1 </dev/null
  tr -d '\r' <"$log"
  fw_wineserver_stop
  fw_xvfb_stop
}

echo "bench: $FW_ARCH build under $("$WINE" --version)"
for size in ${FW_BENCH_SCREENS:-1024x768x24 1920x1080x24}; do
  echo
  echo "== screen $size"
  run_on_screen "$size" "$BIN/fw_bench.exe" "${FW_BENCH_RUNS:-50}"
done
