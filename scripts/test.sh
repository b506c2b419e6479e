#!/bin/bash
# Runs the tests and prints a summary: unit (native, and again under
# AddressSanitizer and UndefinedBehaviorSanitizer), a short fuzz run of the
# parsers, then end-to-end under Wine: the host's Wine 8 and Wine 10 from a
# Debian 13 root (FW_ENGINES, default "8 10", chooses).
# Usage: test.sh [all|unit|fuzz|e2e|soak]
set -uo pipefail
FW_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$FW_ROOT/scripts/lib/build.sh"
BUILD=$FW_BUILD
what=${1:-all}
summary=()
failed=0

count() {  # the number of tests a GoogleTest log says ran and passed
  local log=$1 ran passed
  ran=$(grep -aE '^\[==========\] [0-9]+ tests? from .* ran' "$log" | tail -1 | sed -E 's/^\[==========\] ([0-9]+).*/\1/')
  passed=$(grep -aE '^\[  PASSED  \] [0-9]+' "$log" | tail -1 | sed -E 's/^\[  PASSED  \] ([0-9]+).*/\1/')
  skipped=$(grep -aE '^\[  SKIPPED \] [0-9]+ test' "$log" | tail -1 | sed -E 's/^\[  SKIPPED \] ([0-9]+).*/\1/')
  echo "${ran:-0} ran, ${passed:-0} passed${skipped:+, $skipped skipped}"
}

# The time since a start, as "4m05s".
took() {  # start (SECONDS)
  local s=$((SECONDS - $1))
  printf '%dm%02ds' $((s / 60)) $((s % 60))
}

run_suite() {  # name, log, command...
  local name=$1 log=$2 start=$SECONDS
  shift 2
  echo "=== $name"
  "$@" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  # A suite that ran no test did not pass.
  if [ "$rc" -eq 0 ] && ! grep -aqE '^\[  PASSED  \] [1-9]' "$log"; then rc=1; fi
  if [ "$rc" -ne 0 ]; then failed=1; fi
  summary+=("$(printf '%-40s %s%s  [%s]' "$name:" "$(count "$log")" "$([ "$rc" -ne 0 ] && echo "  FAILED (exit $rc)")" "$(took $start)")")
}

# The end-to-end runs go under each engine in turn: the host's Wine 8 and
# Wine 10 from its root (scripts/lib/engine.sh), the same tests under both.
# Each engine's name and version is the one it reports (prepare_engines).
ENGINES=${FW_ENGINES:-8 10}
declare -A engine_names
suffix_of() {  # engine; the suffix of its runs' names (scripts/e2e.sh)
  [ "$1" = 10 ] && echo -wine10 || true
}

# Makes each engine ready (the Wine 10 root, made once per machine) and
# notes its name and version as it reports them ("Wine 10.0"), where it
# comes from and how long that took; one that cannot be had fails the run.
ready_engines=()
prepare_engines() {
  local e start info
  for e in $ENGINES; do
    start=$SECONDS
    echo "=== engine: Wine $e"
    info=$(FW_WINE=$e FW_ROOT=$FW_ROOT bash -c '. "$FW_ROOT/scripts/lib/wine.sh" && fw_detect_arch &&
      echo "$(fw_wine_name)|${FW_WINE10_ROOT:-}"')
    if [ -n "${info%%|*}" ]; then
      ready_engines+=("$e")
      engine_names[$e]=${info%%|*}
      where=${info#*|}
      [ -n "$where" ] || where="installed on the host"
      summary+=("$(printf '%-40s %s  [%s]' "engine ${info%%|*}:" "$where" "$(took $start)")")
    else
      failed=1
      summary+=("$(printf '%-40s %s' "engine Wine $e:" "FAILED (could not be made ready)")")
    fi
  done
}

if [ "$what" = all ] || [ "$what" = unit ]; then
  echo "=== layers"
  if "$FW_ROOT/scripts/check-layers.sh" --self-test && "$FW_ROOT/scripts/check-layers.sh"; then
    summary+=("$(printf '%-40s %s' "layers:" "dependencies point down")")
  else
    failed=1
    summary+=("$(printf '%-40s %s' "layers:" "FAILED")")
  fi
  run_suite "unit (native)" "$BUILD/unit.log" "$BUILD/native/unit_tests"
  run_suite "unit (asan+ubsan)" "$BUILD/unit-sanitize.log" \
    env ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
    "$BUILD/native-sanitize/unit_tests"
fi

if [ "$what" = all ] || [ "$what" = fuzz ]; then
  echo "=== fuzz"
  if "$FW_ROOT/scripts/fuzz.sh" "${FW_FUZZ_SECONDS:-25}"; then
    summary+=("$(printf '%-40s %s' "fuzz (libFuzzer):" "no crash in ${FW_FUZZ_SECONDS:-25}s per target")")
  else
    failed=1
    summary+=("$(printf '%-40s %s' "fuzz (libFuzzer):" "FAILED")")
  fi
fi

if [ "$what" = all ] || [ "$what" = e2e ]; then
  # The shipped 32-bit program must be a PE32 GUI executable that needs no
  # DLL beyond Windows' own, with its manifest's display scaling (the
  # end-to-end run reads the whole manifest of the build it runs).
  echo "=== i686 executable"
  exe=$BUILD/i686/bin/Framewick.exe
  if file "$exe" | grep -q 'PE32 executable (GUI) Intel 80386' &&
     ! i686-w64-mingw32-objdump -p "$exe" | grep 'DLL Name' | grep -viE \
       'kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|winmm|winspool|msvcrt|uxtheme' &&
     grep -aq '>PerMonitorV2, PerMonitor</dpiAwareness>' "$exe"; then
    summary+=("$(printf '%-40s %s' "i686 executable:" "PE32 GUI, Windows DLLs only, aware of the scaling")")
  else
    failed=1
    summary+=("$(printf '%-40s %s' "i686 executable:" "FAILED")")
  fi
  # The release artifacts; the end-to-end run installs and uninstalls one.
  echo "=== release"
  if "$FW_ROOT/scripts/release.sh" >"$BUILD/release.log" 2>&1; then
    summary+=("$(printf '%-40s %s' "release:" "zips and installers built")")
  else
    failed=1
    cat "$BUILD/release.log"
    summary+=("$(printf '%-40s %s' "release:" "FAILED")")
  fi
  prepare_engines
  for e in "${ready_engines[@]}"; do
    name=${engine_names[$e]} sfx=$(suffix_of "$e")
    run_suite "end-to-end ($name)" "$BUILD/e2e$sfx-run.log" \
      env FW_WINE=$e "$FW_ROOT/scripts/e2e.sh" --gtest_filter='-Palette.*:Soak.*:CrashSafety.*:Monitors.*'
    # The palette path of the capture engine needs a 256-colour display.
    run_suite "end-to-end, 8-bit screen ($name)" "$BUILD/e2e-8bit$sfx-run.log" \
      env FW_WINE=$e FW_SCREEN=1024x768x8 FW_E2E_NAME=e2e-8bit "$FW_ROOT/scripts/e2e.sh" --gtest_filter='Palette.*'
    # Two monitors, the second left of the primary and lower (negative
    # coordinates, uncovered corners of the virtual screen), on a dummy Xorg
    # server (scripts/lib/wine.sh, FW_MONITORS).
    run_suite "end-to-end, two monitors ($name)" "$BUILD/e2e-monitors$sfx-run.log" \
      env FW_WINE=$e FW_MONITORS="1024x768+800+0 800x600+0+84" FW_E2E_NAME=e2e-monitors "$FW_ROOT/scripts/e2e.sh" \
      --gtest_filter='Monitors.*'
    # Display scaling at 150 % and 200 %: the system DPI of a Wine prefix of
    # their own, on a screen the larger windows fit on.
    for dpi in 144 192; do
      run_suite "end-to-end, $dpi dpi ($name)" "$BUILD/e2e-dpi$dpi$sfx-run.log" \
        env FW_WINE=$e FW_DPI=$dpi FW_SCREEN=1920x1200x24 FW_E2E_NAME=e2e-dpi$dpi "$FW_ROOT/scripts/e2e.sh" --gtest_filter='Dpi.*'
    done
  done
fi

# Many hotkey captures with automatic saving, on a small screen so the
# files stay small (`make soak` runs 10,000).
if [ "$what" = all ] || [ "$what" = soak ]; then
  [ "$what" = soak ] && prepare_engines
  for e in "${ready_engines[@]}"; do
    name=${engine_names[$e]} sfx=$(suffix_of "$e")
    # A small screen keeps the files small. Wine 10 keeps a window within
    # the screen, as Windows does, so on a 320x240 screen the main window
    # becomes exactly the screen's size, and Wine 10's X11 driver without a
    # window manager stops answering for a window that covers the whole
    # screen (a full-screen window; Windows and Wine 8 do not). 640x480
    # holds the whole window.
    screen=320x240x24
    [ "$e" = 10 ] && screen=640x480x24
    run_suite "soak, ${FW_SOAK_CAPTURES:-1000} captures ($name)" "$BUILD/e2e-soak$sfx-run.log" \
      env FW_WINE=$e FW_SCREEN=$screen FW_E2E_NAME=e2e-soak FW_SOAK_CAPTURES="${FW_SOAK_CAPTURES:-1000}" \
      FW_E2E_TIMEOUT=$((600 + ${FW_SOAK_CAPTURES:-1000})) "$FW_ROOT/scripts/e2e.sh" --gtest_filter='Soak.*'
    grep -a '^soak:' "$BUILD/e2e-soak$sfx.log" | tr -d '\r' | sed 's/^/  /' > "$BUILD/soak-figures$sfx.txt"
    summary+=("$(cat "$BUILD/soak-figures$sfx.txt")")
    # The program killed inside its automatic saves (`make soak` runs 1,000
    # captures).
    run_suite "crash safety, ${FW_KILL_CAPTURES:-200} captures ($name)" "$BUILD/e2e-crash$sfx-run.log" \
      env FW_WINE=$e FW_SCREEN=$screen FW_E2E_NAME=e2e-crash FW_KILL_CAPTURES="${FW_KILL_CAPTURES:-200}" \
      FW_E2E_TIMEOUT=$((600 + 2 * ${FW_KILL_CAPTURES:-200})) "$FW_ROOT/scripts/e2e.sh" --gtest_filter='CrashSafety.*'
    summary+=("$(grep -a '^crash safety: .* runs, each killed' "$BUILD/e2e-crash$sfx.log" | tr -d '\r' | sed 's/^/  /')")
  done
fi

echo
echo "=== summary ($(took 0) in all)"
for line in "${summary[@]}"; do echo "$line"; done
[ $failed -eq 0 ] && echo "all tests passed" || echo "SOME TESTS FAILED"
exit $failed
