#!/bin/bash
# The benchmarks, headless: on a private Xvfb screen of each size, in one run,
# Framewick's figures side by side with their floors and peers:
#   hotkey to picture held      vs XGetImage of the root window (native)
#   capture plus BMP written    vs xwd -root and scrot writing a .bmp
#   cold start to window shown  vs a Wine program that opens an empty window
#   peak memory                 vs that program's, plus two frames
# Prints a table per screen, then one "goal:" line per goal and screen.
# Figures, not pass/fail. FW_BENCH_RUNS (default 20), FW_BENCH_SCREENS.
set -uo pipefail
FW_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$FW_ROOT/scripts/lib/wine.sh"
fw_detect_arch
# A Wine prefix (and so a Wine server) of its own, so a benchmark run and a
# test run on the same machine do not stop each other's server.
export WINEPREFIX=$FW_BUILD/wine-bench-$FW_ARCH
BIN=$FW_BUILD/$FW_ARCH/bin
RUNS=${FW_BENCH_RUNS:-20}
WORK=$FW_BUILD/bench-work
LOG=$FW_BUILD/bench-figures.log
cleanup() { fw_wineserver_stop; fw_xvfb_stop; }
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
fw_prefix || exit 2

floor=$FW_BUILD/xgetimage_floor
cc -O2 -o "$floor" "$FW_ROOT/bench/native/xgetimage_floor.c" -lX11 || exit 2

now_ns() { date +%s%N; }

# Median and minimum (ms) of a command run $RUNS times.
time_command() {  # name, command...
  local name=$1
  shift
  local i t0 t1 times=()
  "$@" >/dev/null 2>&1  # warm-up
  for ((i = 0; i < RUNS; i++)); do
    t0=$(now_ns)
    "$@" >/dev/null 2>&1
    t1=$(now_ns)
    times+=("$(( (t1 - t0) / 1000 ))")
  done
  printf '%s\n' "${times[@]}" | sort -n | awk -v n="$name" \
    '{a[NR]=$1} END {printf "figure: %s %.2f %.2f\n", n, a[int((NR+1)/2)]/1000, a[1]/1000}'
}

goals=()
for size in ${FW_BENCH_SCREENS:-1920x1080x24 3840x2160x24}; do
  res=${size%x*}
  rm -rf "$WORK"
  mkdir -p "$WORK"
  fw_xvfb_start "$size" || exit 2
  fw_wineserver_start
  "$WINE" wineboot >/dev/null 2>&1 </dev/null
  : >"$LOG"
  "$floor" "$RUNS" >>"$LOG"
  "$WINE" "$BIN/capture_bench.exe" "$RUNS" >"$WORK/capture.log" 2>&1 </dev/null
  tr -d '\r' <"$WORK/capture.log" | grep '^figure:' >>"$LOG"
  "$WINE" "$BIN/program_bench.exe" "$(fw_winpath "$BIN")" "$(fw_winpath "$WORK")" "$RUNS" \
    >"$WORK/program.log" 2>&1 </dev/null
  tr -d '\r' <"$WORK/program.log" | grep '^figure:' >>"$LOG"
  time_command xwd sh -c "xwd -root -silent -display $DISPLAY > '$WORK/x.xwd'" >>"$LOG"
  time_command scrot scrot -o "$WORK/s.bmp" >>"$LOG"
  fw_wineserver_stop
  fw_xvfb_stop

  fig() { awk -v n="$1" -v c="$2" '$1=="figure:" && $2==n {print $c}' "$LOG"; }
  echo
  echo "== screen $res ($FW_ARCH build under $("$WINE" --version), $RUNS runs each)"
  printf '%-34s %12s %12s\n' "figure" "median" "min"
  awk '$1=="figure:" {u = ($2 ~ /memory|frame/) ? " MB" : " ms";
        m = ($2 ~ /memory|frame/) ? $3/1048576 : $3; n = ($2 ~ /memory|frame/) ? $4/1048576 : $4;
        if ($3 == "none") printf "%-34s %12s %12s\n", $2, "none", "none";
        else printf "%-34s %9.2f%s %9.2f%s\n", $2, m, u, n, u}' "$LOG"

  ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "" || b == "" || b == 0 || a == "none") print "nan"; else printf "%.2f", a / b }'; }
  goal() {  # name, ratio, bound
    local verdict=missed
    if [ "$2" != nan ] && awk -v r="$2" -v b="$3" 'BEGIN { exit !(r <= b) }'; then verdict=met; fi
    goals+=("goal: $1@$res $2 <= $3 $verdict")
  }
  goal hotkey_to_picture_vs_xgetimage "$(ratio "$(fig hotkey_to_picture 3)" "$(fig xgetimage 3)")" 1.25
  best_peer=$(awk -v a="$(fig xwd 3)" -v b="$(fig scrot 3)" 'BEGIN { print (a < b ? a : b) }')
  goal capture_plus_bmp_vs_faster_of_xwd_scrot "$(ratio "$(fig capture_plus_bmp 3)" "$best_peer")" 1.00
  goal cold_start_vs_empty_window "$(ratio "$(fig cold_start_program 3)" "$(fig cold_start_empty_window 3)")" 1.15
  extra=$(awk -v p="$(fig peak_memory_program 3)" -v e="$(fig peak_memory_empty_window 3)" 'BEGIN { print p - e }')
  goal peak_memory_frames_over_baseline "$(ratio "$extra" "$(fig frame_bytes 3)")" 2.00
  # For reading that figure: how much of it the captures themselves take.
  own=$(awk -v p="$(fig peak_memory_program 3)" -v e="$(fig peak_memory_program_idle 3)" 'BEGIN { print p - e }')
  echo "the captures' own peak over the idle program: $(ratio "$own" "$(fig frame_bytes 3)") frames"
done

echo
for g in "${goals[@]}"; do echo "$g"; done
