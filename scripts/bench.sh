#!/bin/bash
# The benchmarks, headless: on a private Xvfb screen of each size, in one run,
# Framewick's figures side by side with the floors a Wine program can reach,
# timed in turn with them (bench/include/bare_capture.h):
#   hotkey to picture held      vs a bare BitBlt of the screen
#   hotkey to BMP on disk       vs that capture written durably the same way
#   hotkey to PNG, JPEG on disk vs that capture encoded by the system's
#                               encoder and written durably the same way,
#                               of a busy desktop (a painted scene); the
#                               sizes of the three files of one capture
#   cold start to window shown  vs a Wine program with the program's look
#                               (its manifest, one button and one tooltip of
#                               the same common controls), with a profile of
#                               the start, step by step; an empty window for
#                               context
#   idle memory                 vs the empty window's
#   peak memory of captures     vs the idle program, in frames
#   peak memory of PNG saves    vs that of as many BMP saves, over the idle
#                               program, each in a fresh process
#   Ctrl+F11 to picture held    vs a bare BitBlt of the window's rectangle
#                               (a window as large as the screen)
#   Ctrl+Shift+F10 to picture   vs a bare BitBlt of the virtual screen, on
#                               two monitors (FW_BENCH_MONITORS)
# and, for context, XGetImage of the root window (native), xwd and scrot.
# Prints a table per screen, then one "goal:" line per goal and screen.
# Figures, not pass/fail. FW_BENCH_RUNS (default 20), FW_BENCH_SCREENS,
# FW_BENCH_MONITORS (FW_MONITORS's form; empty: no two-monitor pass).
set -uo pipefail
FW_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$FW_ROOT/scripts/lib/wine.sh"
fw_detect_arch || exit 2
# A Wine prefix (and so a Wine server) of its own, so a benchmark run and a
# test run on the same machine do not stop each other's server.
export WINEPREFIX=$FW_BUILD/$(fw_engine_prefix_name)-bench-$FW_ARCH
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

# Medians of the "profile:" lines of many start-ups, one line per step.
profile_medians() {  # log, prefix
  tr -d '\r' <"$1" | awk -v p="$2" '$1==p { n[$2]++; v[$2, n[$2]] = $3; if (!($2 in seen)) { seen[$2]=1; order[++k]=$2 } }
    END { for (i = 1; i <= k; i++) { s = order[i]; m = n[s];
            for (a = 1; a <= m; a++) x[a] = v[s, a];
            for (a = 1; a <= m; a++) for (b = a + 1; b <= m; b++) if (x[b] < x[a]) { t = x[a]; x[a] = x[b]; x[b] = t }
            printf "%s %.2f\n", s, x[int((m + 1) / 2)] } }'
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
  # The start-up profile: the program's steps, the controls window's and the
  # empty window's, in turn.
  : >"$WORK/profile.log"
  "$WINE" "$BIN/startup_profile.exe" >/dev/null 2>&1 </dev/null  # warm-up
  for ((i = 0; i < RUNS; i++)); do
    "$WINE" "$BIN/startup_profile.exe" >>"$WORK/profile.log" 2>/dev/null </dev/null
    "$WINE" "$BIN/controls_window.exe" --profile >>"$WORK/profile.log" 2>/dev/null </dev/null
    "$WINE" "$BIN/empty_window.exe" --profile >>"$WORK/profile.log" 2>/dev/null </dev/null
  done
  # As many captures as program_bench gives the program: a warm-up, the
  # runs and the rounds past 10,000 earlier names.
  "$WINE" "$BIN/bare_probe.exe" "$(fw_winpath "$WORK")" $((1 + RUNS + (RUNS < 5 ? RUNS : 5))) 2>/dev/null </dev/null | tr -d '\r' | grep '^figure:' >>"$LOG"
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
  awk '$1=="figure:" {mem = ($2 ~ /memory|frame|module|file_size/); u = mem ? " MB" : " ms";
        m = mem ? $3/1048576 : $3; n = mem ? $4/1048576 : $4;
        if ($3 == "none") printf "%-34s %12s %12s\n", $2, "none", "none";
        else printf "%-34s %9.2f%s %9.2f%s\n", $2, m, u, n, u}' "$LOG"

  echo "start-up, step by step (medians, ms; loader: process creation to WinMain)"
  printf '  %-26s %10s %16s %14s\n' "step" "program" "controls window" "empty window"
  profile_medians "$WORK/profile.log" profile: >"$WORK/profile.program"
  profile_medians "$WORK/profile.log" profile_controls: >"$WORK/profile.controls"
  profile_medians "$WORK/profile.log" profile_empty: >"$WORK/profile.empty"
  awk 'FILENAME == ARGV[1] { c[$1] = $2; next } FILENAME == ARGV[2] { e[$1] = $2; next }
    { printf "  %-26s %10.2f %16s %14s\n", $1, $2, ($1 in c) ? c[$1] : "-", ($1 in e) ? e[$1] : "-" }' \
    "$WORK/profile.controls" "$WORK/profile.empty" "$WORK/profile.program"
  # They differ in where the display's set-up falls (the common controls a
  # program imports start it in the loader), so the sum is the figure to
  # compare.
  awk 'FILENAME == ARGV[1] { c[$1] = $2; next } FILENAME == ARGV[2] { e[$1] = $2; next } { p[$1] = $2 }
    END { printf "  %-26s %10.2f %16.2f %14.2f\n", "loader_plus_to_painted", p["loader"] + p["total_to_painted"],
            c["loader"] + c["total_to_painted"], e["loader"] + e["total_to_painted"] }' \
    "$WORK/profile.controls" "$WORK/profile.empty" "$WORK/profile.program"
  tr -d '\r' <"$WORK/program.log" | grep '^modules:' | sed 's/^/  /'

  ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "" || b == "" || b == 0 || a == "none") print "nan"; else printf "%.2f", a / b }'; }
  goal() {  # name, ratio, bound
    local verdict=missed
    if [ "$2" != nan ] && awk -v r="$2" -v b="$3" 'BEGIN { exit !(r <= b) }'; then verdict=met; fi
    goals+=("goal: $1@$res $2 <= $3 $verdict")
  }
  echo "ratios are of medians; each pair was timed in turn within every run"
  goal hotkey_to_picture_vs_bare_bitblt "$(ratio "$(fig hotkey_to_picture 3)" "$(fig bare_bitblt 3)")" 1.05
  goal window_hotkey_to_picture_vs_bare_bitblt "$(ratio "$(fig hotkey_window_to_picture 3)" "$(fig bare_bitblt_window 3)")" 1.05
  goal hotkey_to_bmp_on_disk_vs_bare_capture_and_write \
    "$(ratio "$(fig hotkey_to_bmp_on_disk 3)" "$(fig bare_capture_and_write 3)")" 1.10
  goal cold_start_vs_controls_window "$(ratio "$(fig cold_start_program 3)" "$(fig cold_start_controls_window 3)")" 1.15
  echo "context: cold start over the empty window's: $(ratio "$(fig cold_start_program 3)" "$(fig cold_start_empty_window 3)")"
  goal hotkey_to_png_on_disk_vs_bare_capture_and_png \
    "$(ratio "$(fig hotkey_to_png_on_disk 3)" "$(fig bare_capture_and_png 3)")" 1.10
  goal hotkey_to_jpeg_on_disk_vs_bare_capture_and_jpeg \
    "$(ratio "$(fig hotkey_to_jpeg_on_disk 3)" "$(fig bare_capture_and_jpeg 3)")" 1.10
  # One capture of the busy desktop: each compressed file against the
  # bitmap of the same capture.
  goal png_file_vs_bmp_file "$(ratio "$(fig file_size_png 3)" "$(fig file_size_bmp 3)")" 1.00
  goal jpeg_file_vs_bmp_file "$(ratio "$(fig file_size_jpeg 3)" "$(fig file_size_bmp 3)")" 1.00
  # A PNG save's peak over the idle program may exceed a BMP save's by 1 MB.
  goal png_save_peak_over_bmp_save_peak_mb \
    "$(awk -v p="$(fig peak_memory_png_saves_over_idle 3)" -v b="$(fig peak_memory_bmp_saves_over_idle 3)" \
      'BEGIN { if (p == "" || b == "" || p == 0 || b == 0) print "nan"; else printf "%.2f", (p - b) / 1048576 }')" 1.00
  echo "context: library images the PNG saves loaded, less those the BMP saves loaded:" \
    "$(awk -v p="$(fig module_images_png_saves_loaded 3)" -v b="$(fig module_images_bmp_saves_loaded 3)" \
      'BEGIN { printf "%.2f MB", (p - b) / 1048576 }')"
  # Peak of the captures over the idle program, in frames; the bound is two
  # frames and one megabyte.
  own=$(awk -v p="$(fig peak_memory_program 3)" -v e="$(fig peak_memory_program_idle 3)" 'BEGIN { print p - e }')
  frame=$(fig frame_bytes 3)
  goal capture_peak_over_idle_in_frames "$(ratio "$own" "$frame")" \
    "$(awk -v f="$frame" 'BEGIN { if (f > 0) printf "%.2f", 2 + 1048576 / f; else print "nan" }')"
  # What Wine's BitBlt itself holds at its peak over as many captures, in a
  # bare process: the floor under the figure above.
  bare=$(awk -v p="$(fig bare_peak_memory_bitblt 3)" -v e="$(fig bare_peak_memory_idle 3)" 'BEGIN { print p - e }')
  echo "context: peak of as many bare BitBlts over their idle process: $(ratio "$bare" "$frame") frames"
  idle_mb=$(awk -v p="$(fig peak_memory_program_idle 3)" -v e="$(fig peak_memory_empty_window 3)" \
    'BEGIN { if (p == "" || e == "") print "nan"; else printf "%.2f", (p - e) / 1048576 }')
  goal idle_memory_over_empty_window_mb "$idle_mb" 3.00
  echo "context: bare BitBlt / XGetImage (Wine's own cost of a screen capture): $(ratio "$(fig bare_bitblt 3)" "$(fig xgetimage 3)")"
  echo "context: hotkey to picture / XGetImage: $(ratio "$(fig hotkey_to_picture 3)" "$(fig xgetimage 3)")"
  best_peer=$(awk -v a="$(fig xwd 3)" -v b="$(fig scrot 3)" 'BEGIN { print (a < b ? a : b) }')
  echo "context: hotkey to BMP on disk / faster of xwd and scrot: $(ratio "$(fig hotkey_to_bmp_on_disk 3)" "$best_peer")"
  echo "context: library images mapped at idle over the empty window's:" \
    "$(awk -v p="$(fig module_images_program_idle 3)" -v e="$(fig module_images_empty_window 3)" \
      'BEGIN { printf "%.2f MB", (p - e) / 1048576 }')"
done

# Every monitor, on two monitors side by side (the second left of the
# primary): Ctrl+Shift+F10 against a bare BitBlt of the virtual screen.
monitors=${FW_BENCH_MONITORS-1920x1080+1920+0 1920x1080+0+0}
if [ -n "$monitors" ] && [ "$(id -u)" != 0 ]; then
  echo "bench: the two-monitor pass needs root (a dummy Xorg server); left out"
elif [ -n "$monitors" ]; then
  export FW_MONITORS=$monitors WINEPREFIX=$FW_BUILD/wine-bench-$FW_ARCH-monitors
  fw_prefix || exit 2
  fw_xvfb_start || exit 2
  fw_wineserver_start
  "$WINE" wineboot >/dev/null 2>&1 </dev/null
  mkdir -p "$WORK"
  "$WINE" "$BIN/capture_bench.exe" "$RUNS" >"$WORK/monitors.log" 2>&1 </dev/null
  fw_wineserver_stop
  fw_xvfb_stop
  mfig() { tr -d '\r' <"$WORK/monitors.log" | awk -v n="$1" '$1=="figure:" && $2==n {print $3}'; }
  echo
  echo "== two monitors: $monitors ($RUNS runs each)"
  tr -d '\r' <"$WORK/monitors.log" | grep -E '^(window|figure: (bare_bitblt_all_monitors|hotkey_all_monitors))' | sed 's/^/  /'
  goal all_monitors_hotkey_to_picture_vs_bare_bitblt \
    "$(ratio "$(mfig hotkey_all_monitors_to_picture)" "$(mfig bare_bitblt_all_monitors)")" 1.05
fi

echo
for g in "${goals[@]}"; do echo "$g"; done
